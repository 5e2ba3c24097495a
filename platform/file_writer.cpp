#include "platform/file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "core/text_lines.h"
#include "platform/file_reader.h"

namespace rs {

namespace {

#ifdef _WIN32
constexpr int kNoFollow = 0;
constexpr int kCloexec = 0;
constexpr int kBinary = O_BINARY;
int sys_close(int fd) {
    return ::_close(fd);
}
int current_pid() {
    return ::_getpid();
}
#else
constexpr int kNoFollow = O_NOFOLLOW;
constexpr int kCloexec = O_CLOEXEC;
constexpr int kBinary = 0;
int sys_close(int fd) {
    return ::close(fd);
}
int current_pid() {
    return static_cast<int>(::getpid());
}
#endif

std::string reason(const std::string& path, int err) {
    return path + ": " + std::strerror(err);
}

#ifndef _WIN32
std::string folder_of(const std::string& path) {
    const auto cut = path.find_last_of("/\\");
    if (cut == std::string::npos)
        return ".";
    return cut == 0 ? path.substr(0, 1) : path.substr(0, cut);
}
#endif

// A rename is only on disk once the folder that holds the name is.
void flush_folder(const std::string& path) {
#ifndef _WIN32
    int fd = ::open(folder_of(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
#else
    (void)path;
#endif
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::atomic<unsigned> temporary_counter{0};

// Largest old file of a group kept in memory to be put back.
constexpr std::size_t kGroupRestoreLimit = 16u << 20;

}  // namespace

long FileWriter::sys_write(int fd, const void* data, std::size_t size) {
#ifdef _WIN32
    return ::_write(fd, data, static_cast<unsigned>(size));
#else
    return static_cast<long>(::write(fd, data, size));
#endif
}

int FileWriter::sys_fsync(int fd) {
#ifdef _WIN32
    return ::_commit(fd);
#else
    return ::fsync(fd);
#endif
}

int FileWriter::sys_rename(const char* from, const char* to) {
#ifdef _WIN32
    // Windows refuses to rename over an existing file unless asked to.
    if (::MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    switch (::GetLastError()) {
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            errno = EACCES;
            break;
        case ERROR_NOT_SAME_DEVICE:
            errno = EXDEV;
            break;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            errno = ENOENT;
            break;
        default:
            errno = EIO;
    }
    return -1;
#else
    return std::rename(from, to);
#endif
}

WriteResult FileWriter::write_all(int fd, const std::string& path,
                                  const std::vector<std::string_view>& parts) {
    for (std::string_view part : parts) {
        const char* p = part.data();
        std::size_t left = part.size();
        while (left > 0) {
            long n = sys_write(fd, p, left);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return WriteResult::failure(reason(path, n < 0 ? errno : ENOSPC));
            p += n;
            left -= static_cast<std::size_t>(n);
        }
    }
    return WriteResult::success();
}

WriteResult FileWriter::append(const std::string& path, std::string_view bytes, Flush flush) {
    if (path.empty())
        return WriteResult::failure("no file name given");
    const bool existed = exists(path);
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | kCloexec | kBinary, 0644);
    if (fd < 0)
        return WriteResult::failure(reason(path, errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int err = errno ? errno : EINVAL;
        sys_close(fd);
        return WriteResult::failure(reason(path, S_ISREG(st.st_mode) ? err : EINVAL));
    }
    const auto old_size = st.st_size;
    WriteResult result = write_all(fd, path, {bytes});
    if (result && flush == Flush::ToDisk && sys_fsync(fd) != 0)
        result = WriteResult::failure(reason(path, errno));
    if (!result) {
        // No half line may stay behind for the next reader.
#ifdef _WIN32
        (void)::_chsize_s(fd, old_size);
#else
        (void)::ftruncate(fd, old_size);
        (void)::fsync(fd);
#endif
    }
    if (sys_close(fd) != 0 && result)
        result = WriteResult::failure(reason(path, errno));
    if (!result && !existed)
        std::remove(path.c_str());
    return result;
}

WriteResult FileWriter::append_lines(const std::string& path, const std::vector<std::string>& lines,
                                     Flush flush) {
    return append(path, join_crlf(lines), flush);
}

WriteResult FileWriter::write_temporary(const std::string& path,
                                        const std::vector<std::string_view>& parts, Flush flush,
                                        std::string* temporary) {
    temporary->clear();
    if (path.empty())
        return WriteResult::failure("no file name given");
    int fd = -1;
    std::string name;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        name = path + ".~" + std::to_string(current_pid()) + "-" +
               std::to_string(temporary_counter.fetch_add(1)) + ".tmp";
        // Exclusive and without following links: a name planted beforehand
        // (a link to another file) makes this attempt fail, never redirects it.
        fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | kNoFollow | kCloexec | kBinary,
                    0644);
        if (fd < 0 && errno != EEXIST)
            return WriteResult::failure(reason(path, errno));
    }
    if (fd < 0)
        return WriteResult::failure(reason(path, EEXIST));
    WriteResult result = write_all(fd, path, parts);
    if (result && flush == Flush::ToDisk && sys_fsync(fd) != 0)
        result = WriteResult::failure(reason(path, errno));
    if (sys_close(fd) != 0 && result)
        result = WriteResult::failure(reason(path, errno));
    if (!result) {
        std::remove(name.c_str());
        return result;
    }
    *temporary = name;
    return result;
}

WriteResult FileWriter::rename_over(const std::string& temporary, const std::string& path) {
    if (sys_rename(temporary.c_str(), path.c_str()) != 0) {
        const int err = errno;
        std::remove(temporary.c_str());
        return WriteResult::failure(reason(path, err));
    }
    return WriteResult::success();
}

WriteResult FileWriter::replace(const std::string& path, std::string_view bytes, Flush flush) {
    return replace_parts(path, {bytes}, flush);
}

WriteResult FileWriter::replace_parts(const std::string& path,
                                      const std::vector<std::string_view>& parts, Flush flush) {
    std::string temporary;
    WriteResult result = write_temporary(path, parts, flush, &temporary);
    if (!result)
        return result;
    result = rename_over(temporary, path);
    if (result && flush == Flush::ToDisk)
        flush_folder(path);
    return result;
}

WriteResult FileWriter::replace_all(const std::vector<FileContent>& files) {
    std::vector<std::string> temporaries;
    auto discard = [&](std::size_t from) {
        for (std::size_t i = from; i < temporaries.size(); ++i)
            std::remove(temporaries[i].c_str());
    };
    for (const auto& f : files) {
        std::string temporary;
        WriteResult result = write_temporary(f.path, {f.bytes}, Flush::ToDisk, &temporary);
        if (!result) {
            discard(0);
            return result;
        }
        temporaries.push_back(temporary);
    }
    // What each file held before, so that a rename failing after another
    // succeeded can put the group back as it was (these are small files: a
    // set-up and its check buoy).
    struct Before {
        bool existed = false;
        std::optional<std::string> bytes;
    };
    std::vector<Before> before(files.size());
    for (std::size_t i = 0; i + 1 < files.size(); ++i) {
        before[i].existed = exists(files[i].path);
        if (before[i].existed)
            before[i].bytes = read_whole_file(files[i].path, kGroupRestoreLimit);
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        WriteResult result = rename_over(temporaries[i], files[i].path);
        if (!result) {
            discard(i + 1);
            for (std::size_t j = 0; j < i; ++j) {
                if (before[j].bytes)
                    (void)replace(files[j].path, *before[j].bytes);
                else if (!before[j].existed)
                    std::remove(files[j].path.c_str());
            }
            return result;
        }
        flush_folder(files[i].path);
    }
    return WriteResult::success();
}

WriteResult FileWriter::copy(const std::string& from, const std::string& to) {
    // Only a file is copied: a FIFO would be waited on, a device never end.
    std::string why;
    if (!is_regular_file(from, &why))
        return WriteResult::failure(from + ": " + why);
    std::FILE* in = std::fopen(from.c_str(), "rb");
    if (!in)
        return WriteResult::failure(reason(from, errno));
    std::string bytes;
    char buffer[1 << 16];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0)
        bytes.append(buffer, n);
    const bool failed = std::ferror(in) != 0;
    const int err = errno;
    std::fclose(in);
    if (failed)
        return WriteResult::failure(reason(from, err ? err : EIO));
    return replace(to, bytes);
}

WriteResult FileWriter::move(const std::string& from, const std::string& to) {
    if (!exists(from))
        return WriteResult::failure(reason(from, ENOENT));
    if (exists(to))
        return WriteResult::failure(reason(to, EEXIST));
    if (sys_rename(from.c_str(), to.c_str()) == 0) {
        flush_folder(to);
        return WriteResult::success();
    }
    if (errno != EXDEV)
        return WriteResult::failure(reason(to, errno));
    // Another file system: the copy must be whole on disk before the
    // original goes.
    WriteResult result = copy(from, to);
    if (!result)
        return result;
    return remove(from);
}

WriteResult FileWriter::remove(const std::string& path) {
    if (std::remove(path.c_str()) != 0 && errno != ENOENT)
        return WriteResult::failure(reason(path, errno));
    return WriteResult::success();
}

}  // namespace rs
