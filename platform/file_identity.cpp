#include "platform/file_identity.h"

#include <chrono>
#include <filesystem>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

namespace rs {

std::optional<FileIdentity> file_identity(const std::string& path) {
    FileIdentity id;
#if defined(_WIN32)
    std::error_code ec;
    const std::filesystem::path p(path);
    if (!std::filesystem::is_regular_file(p, ec))
        return std::nullopt;
    id.size = std::filesystem::file_size(p, ec);
    if (ec)
        return std::nullopt;
    const auto when = std::filesystem::last_write_time(p, ec);
    if (ec)
        return std::nullopt;
    id.modified_ns =
        std::chrono::duration_cast<std::chrono::nanoseconds>(when.time_since_epoch()).count();
#else
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    id.device = static_cast<std::uint64_t>(st.st_dev);
    id.number = static_cast<std::uint64_t>(st.st_ino);
    id.size = static_cast<std::uint64_t>(st.st_size);
    id.modified_ns = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 +
                     static_cast<std::int64_t>(st.st_mtim.tv_nsec);
#endif
    return id;
}

}  // namespace rs
