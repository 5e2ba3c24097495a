#include "app/log_lines.h"

#include "core/text_lines.h"
#include "platform/file_reader.h"
#include "platform/paths.h"

namespace rs {

namespace {
constexpr std::string_view kFileLabel = "File:";

bool valid_utf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        size_t extra = 0;
        if (c < 0x80)
            extra = 0;
        else if ((c & 0xE0) == 0xC0 && c >= 0xC2)
            extra = 1;
        else if ((c & 0xF0) == 0xE0)
            extra = 2;
        else if ((c & 0xF8) == 0xF0 && c <= 0xF4)
            extra = 3;
        else
            return false;
        if (i + extra >= text.size() && extra > 0)
            return false;
        for (size_t k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        i += extra + 1;
    }
    return true;
}
}  // namespace

bool log_line_ends_in(std::string_view line, std::string_view ending) {
    return line.size() >= ending.size() && line.substr(line.size() - ending.size()) == ending;
}

bool log_line_has_path(std::string_view line) {
    return line.find(kFileLabel) != std::string_view::npos;
}

std::string log_line_path(std::string_view line) {
    const size_t at = line.find(kFileLabel);
    // The label and the blank written after it.
    const size_t skip = kFileLabel.size() + 1;
    if (at == std::string_view::npos || at + skip >= line.size())
        return {};
    return std::string(line.substr(at + skip));
}

std::vector<std::string> log_lines_ending_in(const std::string& text, std::string_view ending) {
    std::vector<std::string> out;
    for (std::string& line : split_lines(text))
        if (log_line_ends_in(line, ending))
            out.push_back(std::move(line));
    return out;
}

std::string day_log_path(const std::string& video_folder, const std::string& log_name) {
    if (video_folder.empty() || log_name.empty())
        return {};
    return join_path(video_folder, log_name);
}

LogListing read_log_listing(const std::string& path, std::string_view ending) {
    LogListing listing;
    if (path.empty() || !FileExists(path))
        return listing;
    listing.found = true;
    std::string error;
    const auto text = read_whole_file(path, kTextFileLimit, &error);
    if (!text) {
        listing.error = error;
        return listing;
    }
    listing.lines = log_lines_ending_in(*text, ending);
    return listing;
}

size_t text_length(std::string_view text) {
    if (!valid_utf8(text))
        return text.size();
    size_t n = 0;
    for (char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++n;
    return n;
}

std::string widest_list_entry(const std::vector<std::string>& entries) {
    const std::string* widest = nullptr;
    size_t widest_length = 0;
    for (const std::string& e : entries) {
        const size_t n = text_length(e);
        if (!widest || n > widest_length) {
            widest = &e;
            widest_length = n;
        }
    }
    return (widest ? *widest : std::string()) + " ";
}

}  // namespace rs
