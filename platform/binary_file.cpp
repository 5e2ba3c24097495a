#include "platform/binary_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "core/text_forms.h"
#include "platform/paths.h"

namespace rs {

namespace {

#ifdef _WIN32
// Windows has no FIFOs to wait on; files open in binary mode.
constexpr int kOpenFlags = O_RDONLY | O_BINARY;
int close_fd(int fd) {
    return ::_close(fd);
}
// Reads at an offset without moving a shared file position, as pread does.
long read_at_offset(int fd, void* buf, std::size_t n, std::uint64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    const DWORD want = n > 0x40000000u ? 0x40000000u : static_cast<DWORD>(n);
    auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    if (!::ReadFile(handle, buf, want, &got, &at)) {
        if (::GetLastError() == ERROR_HANDLE_EOF)
            return 0;
        errno = EIO;
        return -1;
    }
    return static_cast<long>(got);
}
#else
// Non-blocking, so that a FIFO with no writer is refused at once instead of
// holding the screen; reads of a regular file never block anyway.
constexpr int kOpenFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK;
int close_fd(int fd) {
    return ::close(fd);
}
long read_at_offset(int fd, void* buf, std::size_t n, std::uint64_t offset) {
    return static_cast<long>(::pread(fd, buf, n, static_cast<off_t>(offset)));
}
#endif

}  // namespace

BinaryFile::~BinaryFile() {
    if (fd_ >= 0)
        close_fd(fd_);
}

BinaryFile::BinaryFile(BinaryFile&& other) noexcept : fd_(other.fd_), size_(other.size_) {
    other.fd_ = -1;
    other.size_ = 0;
}

BinaryFile& BinaryFile::operator=(BinaryFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            close_fd(fd_);
        fd_ = other.fd_;
        size_ = other.size_;
        other.fd_ = -1;
        other.size_ = 0;
    }
    return *this;
}

std::optional<BinaryFile> BinaryFile::open(const std::string& path, OpenError* error,
                                           std::string* description) {
    auto fail = [&](int err) -> std::optional<BinaryFile> {
        if (error)
            *error = (err == EACCES || err == EPERM) ? OpenError::Locked : OpenError::Other;
        if (description)
            *description = std::strerror(err);
        return std::nullopt;
    };
    int fd = ::open(path.c_str(), kOpenFlags);
    if (fd < 0)
        return fail(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
        close_fd(fd);
        return fail(err == 0 ? EINVAL : err);
    }
#ifndef _WIN32
    (void)::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
#endif
    BinaryFile f;
    f.fd_ = fd;
    f.size_ = static_cast<std::uint64_t>(st.st_size);
    if (error)
        *error = OpenError::None;
    return f;
}

bool BinaryFile::read_at(std::uint64_t offset, void* buf, std::size_t n) const {
    if (fd_ < 0 || offset > size_ || n > size_ - offset)
        return false;
    auto* p = static_cast<char*>(buf);
    while (n > 0) {
        long got = read_at_offset(fd_, p, n, offset);
        if (got < 0 && errno == EINTR)
            continue;
        // The file may have shrunk since it was opened.
        if (got <= 0)
            return false;
        p += got;
        offset += static_cast<std::uint64_t>(got);
        n -= static_cast<std::size_t>(got);
    }
    return true;
}

std::optional<BinaryFile> open_reporting(const std::string& path, Dialogs& dialogs) {
    const std::string crlf(kCrLf);
    if (!FileExists(path)) {
        dialogs.ok("File does not exist:" + crlf + path, MsgIcon::Critical);
        return std::nullopt;
    }
    BinaryFile::OpenError error = BinaryFile::OpenError::None;
    std::string description;
    auto file = BinaryFile::open(path, &error, &description);
    if (!file) {
        if (error == BinaryFile::OpenError::Locked) {
            dialogs.ok("File is locked - cannot access:" + crlf + path, MsgIcon::Critical);
        } else {
            dialogs.ok(description, MsgIcon::Information);
        }
    }
    return file;
}

}  // namespace rs
