#pragma once
// Whole-file and line-appending text I/O. Every file is opened, written and
// closed in one call; appends are flushed to disk before the call returns.

#include <optional>
#include <string>
#include <vector>

namespace rs {

// Appends each line followed by CR LF; creates the file when missing.
// False when the file cannot be opened or the write fails (nothing thrown).
[[nodiscard]] bool append_lines(const std::string& path, const std::vector<std::string>& lines);

// Replaces the file with content: written to a temporary file beside it and
// renamed over the old one, so a reader never sees half a file.
[[nodiscard]] bool write_file_atomic(const std::string& path, const std::string& content);

// The whole file as bytes, or nothing when it cannot be read.
std::optional<std::string> read_whole_file(const std::string& path);

// Lines of a text with CR LF, LF or CR ends; the last line may lack its end.
std::vector<std::string> split_lines(const std::string& text);

// Lines joined, each ended with CR LF.
std::string join_crlf(const std::vector<std::string>& lines);

}  // namespace rs
