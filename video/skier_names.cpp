#include "video/skier_names.h"

#include "app/rtf_text.h"
#include "app/text_fields.h"
#include "core/text_lines.h"
#include "platform/file_reader.h"
#include "platform/paths.h"

namespace rs {

namespace {

bool kept(char c) {
    return c == ' ' || c == '-' || c == '_' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
           (c >= 'a' && c <= 'z');
}

void append_utf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// A text saved as "Unicode" by Windows editors is UTF-16 behind a byte
// order mark. Taken byte by byte, every letter would be followed by a zero
// and every line end would make an empty line, so it is decoded first.
std::optional<std::string> from_utf16(const std::string& bytes) {
    if (bytes.size() < 2)
        return std::nullopt;
    const auto b0 = static_cast<unsigned char>(bytes[0]);
    const auto b1 = static_cast<unsigned char>(bytes[1]);
    bool little;
    if (b0 == 0xFF && b1 == 0xFE)
        little = true;
    else if (b0 == 0xFE && b1 == 0xFF)
        little = false;
    else
        return std::nullopt;
    std::string out;
    out.reserve(bytes.size() / 2);
    char32_t high = 0;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const auto lo = static_cast<unsigned char>(bytes[little ? i : i + 1]);
        const auto hi = static_cast<unsigned char>(bytes[little ? i + 1 : i]);
        const char32_t unit = static_cast<char32_t>(hi << 8 | lo);
        if (unit >= 0xD800 && unit < 0xDC00) {
            high = unit;
            continue;
        }
        if (unit >= 0xDC00 && unit < 0xE000) {
            if (high != 0)
                append_utf8(out, 0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
            high = 0;
            continue;
        }
        high = 0;
        append_utf8(out, unit);
    }
    return out;
}

// The text of a file written by an editor: UTF-16 decoded, a UTF-8 byte
// order mark left out (its bytes would otherwise lead the first name).
std::string editor_text(const std::string& bytes) {
    if (auto unicode = from_utf16(bytes))
        return std::move(*unicode);
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        return bytes.substr(3);
    return bytes;
}

bool is_rich_text(const std::string& text) {
    size_t i = 0;
    while (i < text.size() &&
           (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
        ++i;
    return text.compare(i, 5, "{\\rtf") == 0;
}

}  // namespace

std::string clean_skier_name(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    for (char c : line) {
        if (c == '\t')
            out.push_back(' ');
        else if (kept(c))
            out.push_back(c);
    }
    return out;
}

std::string rotate_at_commas(std::string text) {
    for (size_t comma = text.find(','); comma != std::string::npos; comma = text.find(',')) {
        text = text.substr(comma + 1) + " " + text.substr(0, comma);
    }
    return text;
}

std::string imported_plain_text(const std::string& bytes) {
    const std::string text = editor_text(bytes);
    return is_rich_text(text) ? rtf_to_plain_text(text) : text;
}

std::vector<std::string> cleaned_lines(const std::string& plain_text) {
    std::vector<std::string> lines = split_lines(plain_text);
    for (auto& line : lines)
        line = clean_skier_name(line);
    return lines;
}

SkierImport import_skier_names(FileWriter& files, const std::string& source,
                               const std::string& app_folder) {
    SkierImport result;
    auto bytes = read_whole_file(source, kImportFileLimit, &result.error);
    if (!bytes)
        return result;
    const std::string plain = imported_plain_text(*bytes);
    const std::vector<std::string> names = cleaned_lines(plain);
    const WriteResult written = files.replace_all(
        {{join_path(app_folder, kTempSkierNamesFile), join_crlf(split_lines(plain))},
         {join_path(app_folder, kSkierNamesFile), join_crlf(names)}});
    if (!written) {
        result.error = written.error();
        return result;
    }
    result.ok = true;
    if (!names.empty())
        result.last_name = names.back();
    return result;
}

std::optional<std::vector<std::string>> skier_list(const std::string& app_folder,
                                                   std::string* error) {
    auto bytes = read_whole_file(join_path(app_folder, kSkierNamesFile), kImportFileLimit, error);
    if (!bytes)
        return std::nullopt;
    return cleaned_lines(editor_text(*bytes));
}

std::string capture_default_name(const std::string& app_folder, const std::string& current) {
    auto bytes = read_whole_file(join_path(app_folder, kSkierNamesFile), kImportFileLimit);
    if (!bytes)
        return kNoListSkierName;
    const std::vector<std::string> lines = split_lines(editor_text(*bytes));
    if (lines.empty() || lines.front().empty())
        return current;
    return rotate_at_commas(lines.front());
}

std::optional<std::string> scoring_name_from_text(const std::string& bytes) {
    const std::vector<std::string> lines = split_lines(bytes);
    if (lines.empty())
        return std::nullopt;
    const std::vector<TextField> fields = split_text_fields({lines.front()});
    if (fields.empty() || fields.front().text.empty())
        return std::nullopt;
    return fields.front().text;
}

std::optional<std::string> scoring_program_name(const std::string& exchange_folder,
                                                std::string* error) {
    const std::string path = join_path(exchange_folder, kScoringNameFile);
    auto bytes = read_whole_file(path, kScoringNameLimit, error);
    if (!bytes)
        return std::nullopt;
    auto name = scoring_name_from_text(*bytes);
    if (!name && error)
        *error = path + ": no name on its first line";
    return name;
}

}  // namespace rs
