#include "platform/file_reader.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace rs {

namespace {

#ifdef _WIN32
constexpr int kReadFlags = O_RDONLY | O_BINARY;
int close_fd(int fd) {
    return ::_close(fd);
}
long read_fd(int fd, void* buf, std::size_t n) {
    return ::_read(fd, buf, static_cast<unsigned>(n));
}
#else
// Non-blocking, so that opening a FIFO with no writer returns at once.
constexpr int kReadFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK;
int close_fd(int fd) {
    return ::close(fd);
}
long read_fd(int fd, void* buf, std::size_t n) {
    return static_cast<long>(::read(fd, buf, n));
}
#endif

std::optional<std::string> fail(std::string* error, const std::string& path, const char* why) {
    if (error)
        *error = path + ": " + why;
    return std::nullopt;
}

}  // namespace

bool is_regular_file(const std::string& path, std::string* why) {
    auto refuse = [&](const char* reason) {
        if (why)
            *why = reason;
        return false;
    };
    if (path.empty())
        return refuse("no file name given");
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return refuse(std::strerror(errno));
    if (!S_ISREG(st.st_mode))
        return refuse("not a regular file");
    return true;
}

std::optional<std::string> read_whole_file(const std::string& path, std::uint64_t limit,
                                           std::string* error) {
    if (path.empty())
        return fail(error, path, "no file name given");
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return fail(error, path, std::strerror(errno));
    if (!S_ISREG(st.st_mode))
        return fail(error, path, "not a regular file");
    if (static_cast<std::uint64_t>(st.st_size) > limit)
        return fail(error, path, "too large for this kind of file");
    int fd = ::open(path.c_str(), kReadFlags);
    if (fd < 0)
        return fail(error, path, std::strerror(errno));
    // The name may have been swapped for something else since the stat.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close_fd(fd);
        return fail(error, path, "not a regular file");
    }
    std::string bytes;
    char buffer[1 << 16];
    for (;;) {
        long n = read_fd(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int err = errno;
            close_fd(fd);
            return fail(error, path, std::strerror(err));
        }
        if (n == 0)
            break;
        if (bytes.size() + static_cast<std::uint64_t>(n) > limit) {
            close_fd(fd);
            return fail(error, path, "too large for this kind of file");
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    close_fd(fd);
    return bytes;
}

}  // namespace rs
