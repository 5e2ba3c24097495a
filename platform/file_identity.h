#pragma once
// Which file a path names right now: its identity on the disk (device and
// file number where the system has them), size and time of last change. A
// file recorded again under the same name, or replaced by a copy, differs
// in at least one of them.

#include <cstdint>
#include <optional>
#include <string>

namespace rs {

struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t number = 0;
    std::uint64_t size = 0;
    std::int64_t modified_ns = 0;

    bool operator==(const FileIdentity&) const = default;
};

// Nothing when the path names no regular file that can be looked at.
std::optional<FileIdentity> file_identity(const std::string& path);

}  // namespace rs
