#pragma once
// Splitting a text into lines and joining lines with CR LF, the line end of
// every text file the program writes.

#include <string>
#include <vector>

namespace rs {

// Lines of a text with CR LF, LF or CR ends; the last line may lack its end.
std::vector<std::string> split_lines(const std::string& text);

// Lines joined, each ended with CR LF.
std::string join_crlf(const std::vector<std::string>& lines);

}  // namespace rs
