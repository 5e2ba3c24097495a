#pragma once
// Reading a whole file that came from outside. Only regular files are read:
// a FIFO, a device or a folder given by mistake is refused at once instead
// of blocking the screen, and a file larger than its kind can be is refused
// before anything is read.

#include <cstdint>
#include <optional>
#include <string>

namespace rs {

// Limits suited to each kind of text file the program reads.
inline constexpr std::uint64_t kSetupFileLimit = 64 * 1024;        // .ipt, .cb
inline constexpr std::uint64_t kSmallTextLimit = 1024 * 1024;      // names, flags
inline constexpr std::uint64_t kTextFileLimit = 64 * 1024 * 1024;  // logs, results, manual

// The whole file as bytes, or nothing when it cannot be read, is not a
// regular file, or is larger than limit; error (when given) then receives
// "<path>: <reason>".
std::optional<std::string> read_whole_file(const std::string& path,
                                           std::uint64_t limit = kTextFileLimit,
                                           std::string* error = nullptr);

// True when path names a regular file (not a FIFO, a device or a folder);
// otherwise why (when given) receives the reason in the system's words, or
// "not a regular file".
bool is_regular_file(const std::string& path, std::string* why = nullptr);

}  // namespace rs
