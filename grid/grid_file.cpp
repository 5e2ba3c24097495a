#include "grid/grid_file.h"

#include <vector>

#include "app/text_fields.h"
#include "core/text_forms.h"
#include "core/text_lines.h"
#include "platform/file_reader.h"

namespace rs {

std::string check_buoy_path(const std::string& setup_path) {
    return setup_path + ".cb";
}

std::string format_setup_file(const std::string& path, const std::string& description,
                              const GridDefinition& g, int n) {
    std::vector<std::string> lines;
    lines.push_back("Initialization Points for file: " + path);
    lines.push_back(description);
    for (const GridPoint& p : g.corners)
        lines.push_back(print_number(p.screen_x) + "," + print_number(p.screen_y) + "," +
                        print_number(p.survey_x) + "," + print_number(p.survey_y));
    for (double c : g.c)
        lines.push_back(print_number(c));
    lines.push_back(print_number(g.jump_x));
    lines.push_back(print_number(g.jump_y));
    lines.push_back(print_number(10));
    lines.push_back(print_number(2));
    lines.push_back(print_number(n));
    return join_crlf(lines);
}

std::string format_check_buoy_file(const GridPoint& cb) {
    return join_crlf({print_number(cb.screen_x), print_number(cb.screen_y),
                      print_number(cb.survey_x), print_number(cb.survey_y)});
}

WriteResult write_setup_pair(FileWriter& files, const std::string& setup_path,
                             const std::string& setup_text, const std::string& check_buoy_text) {
    return files.replace_all(
        {{setup_path, setup_text}, {check_buoy_path(setup_path), check_buoy_text}});
}

WriteResult write_setup_files(FileWriter& files, const std::string& path,
                              const std::string& description, const GridDefinition& grid, int n) {
    return write_setup_pair(files, path, format_setup_file(path, description, grid, n),
                            format_check_buoy_file(grid.check_buoy));
}

namespace {

// A whole line as a text field: surrounding blanks dropped, and the quotes
// of a quoted field removed.
std::string whole_line(const std::string& line) {
    std::string t = trim(line);
    if (t.size() >= 2 && t.front() == '"' && t.back() == '"')
        t = t.substr(1, t.size() - 2);
    return t;
}

class NumberReader {
  public:
    explicit NumberReader(std::vector<TextField> fields) : fields_(std::move(fields)) {}
    // The next field as a number, or nothing with error() set.
    std::optional<double> next(const std::string& what) {
        if (at_ >= fields_.size()) {
            error_ = "the file ends before " + what;
            return std::nullopt;
        }
        const TextField& f = fields_[at_++];
        if (!is_number_text(f.text)) {
            // A damaged file can hold anything: quote only the start of it.
            const std::string shown = f.text.size() > 40 ? f.text.substr(0, 40) + "..." : f.text;
            error_ = "line " + std::to_string(f.line) + ": \"" + shown + "\" is not a number (" +
                     what + ")";
            return std::nullopt;
        }
        return text_to_number(f.text);
    }
    const std::string& error() const { return error_; }

  private:
    std::vector<TextField> fields_;
    size_t at_ = 0;
    std::string error_;
};

// A text the screen's conversion reads a number from: after blanks, a digit,
// or a sign or point followed by one.
bool starts_with_number(const std::string& text) {
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    if (i < text.size() && text[i] == '.')
        ++i;
    return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

const char* const kCornerNames[4] = {"upper right", "lower right", "upper left", "lower left"};
const char* const kCornerValues[4] = {"screen X", "screen Y", "survey X", "survey Y"};

}  // namespace

FileRead<SetupFileData> parse_setup_file(const std::string& content) {
    const std::vector<std::string> lines = split_lines(content);
    if (lines.size() < 2)
        return {std::nullopt, "the file has no description line (line 2)"};
    SetupFileData d;
    d.description = whole_line(lines[1]);
    NumberReader in(split_text_fields(lines, 2));
    for (int i = 0; i < 4; ++i) {
        double* v[4] = {&d.corners[i].screen_x, &d.corners[i].screen_y, &d.corners[i].survey_x,
                        &d.corners[i].survey_y};
        for (int k = 0; k < 4; ++k) {
            auto n = in.next(std::string(kCornerNames[i]) + " " + kCornerValues[k]);
            if (!n)
                return {std::nullopt, in.error()};
            *v[k] = *n;
        }
    }
    for (int i = 0; i < 8; ++i) {
        auto n = in.next("c" + std::to_string(i + 1));
        if (!n)
            return {std::nullopt, in.error()};
        d.c[static_cast<size_t>(i)] = *n;
    }
    auto jx = in.next("jump X");
    if (!jx)
        return {std::nullopt, in.error()};
    auto jy = in.next("jump Y");
    if (!jy)
        return {std::nullopt, in.error()};
    d.jump_x = *jx;
    d.jump_y = *jy;
    for (int i = 0; i < 3; ++i) {
        auto n = in.next("line " + std::to_string(17 + i));
        if (!n)
            return {std::nullopt, in.error()};
        d.trailer[static_cast<size_t>(i)] = *n;
    }
    return {d, {}};
}

FileRead<CheckBuoyData> parse_check_buoy_file(const std::string& content) {
    const std::vector<std::string> lines = split_lines(content);
    CheckBuoyData d;
    double* v[4] = {&d.screen_x, &d.screen_y, &d.survey_x, &d.survey_y};
    const char* names[4] = {"check buoy screen X", "check buoy screen Y", "check buoy survey X",
                            "check buoy survey Y"};
    for (size_t k = 0; k < 4; ++k) {
        if (k >= lines.size())
            return {std::nullopt, std::string("the file ends before ") + names[k]};
        const std::string text = trim(lines[k]);
        const bool typed = k >= 2;
        if (is_number_text(text) || (typed && starts_with_number(text))) {
            *v[k] = text_to_number(text);
            continue;
        }
        const std::string shown = text.size() > 40 ? text.substr(0, 40) + "..." : text;
        return {std::nullopt, "line " + std::to_string(k + 1) + ": \"" + shown +
                                  "\" is not a number (" + names[k] + ")"};
    }
    return {d, {}};
}

FileRead<SetupFileData> read_setup_file(const std::string& path) {
    std::string why;
    auto content = read_whole_file(path, kSetupFileLimit, &why);
    if (!content)
        return {std::nullopt, "cannot read " + why};
    auto r = parse_setup_file(*content);
    if (!r.value)
        r.error = path + ": " + r.error;
    return r;
}

FileRead<CheckBuoyData> read_check_buoy_file(const std::string& path) {
    std::string why;
    auto content = read_whole_file(path, kSetupFileLimit, &why);
    if (!content)
        return {std::nullopt, "cannot read " + why};
    auto r = parse_check_buoy_file(*content);
    if (!r.value)
        r.error = path + ": " + r.error;
    return r;
}

}  // namespace rs
