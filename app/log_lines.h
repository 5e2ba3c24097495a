#pragma once
// Reading the measurement log back for the log viewers: which lines they
// list, the path a line records, and the entry the list's sideways
// scrolling has to reach.

#include <string>
#include <string_view>
#include <vector>

namespace rs {

// The endings the viewers list, as the measurement screen writes them: video
// lines end in "avi", picture lines in "bmp" (case as written).
inline constexpr std::string_view kVideoLineEnding = "avi";
inline constexpr std::string_view kPictureLineEnding = "bmp";

// True when the line's last three characters are exactly `ending`.
bool log_line_ends_in(std::string_view line, std::string_view ending);

// Whether a line records a path: it holds "File:".
bool log_line_has_path(std::string_view line);

// The path a line records: everything after the first "File:" and the one
// blank that follows it, to the end of the line. Empty when the line holds no
// "File:" or nothing follows it.
std::string log_line_path(std::string_view line);

// The lines of a log text that end in `ending`, verbatim and in file order
// (CR LF, LF or CR line ends).
std::vector<std::string> log_lines_ending_in(const std::string& text, std::string_view ending);

// The day's measurement log: video folder + log name; empty when there is no
// video folder (and so no log of the day).
std::string day_log_path(const std::string& video_folder, const std::string& log_name);

// What a log file gives a viewer's list.
struct LogListing {
    bool found = false;              // the file exists
    std::vector<std::string> lines;  // its lines that end in the viewer's ending
    std::string error;               // "<path>: <reason>" when found but unreadable
};
LogListing read_log_listing(const std::string& path, std::string_view ending);

// Characters of a text: UTF-8 sequences count once; a text that is not UTF-8
// (an older log in the 8-bit code page) counts its bytes.
size_t text_length(std::string_view text);

// The text the list's horizontal extent is measured on: its longest entry by
// character count (the first of equally long ones) followed by one blank; a
// single blank for an empty list.
std::string widest_list_entry(const std::vector<std::string>& entries);

}  // namespace rs
