#pragma once
// The one way the program writes a file. Results, exchange files, logs,
// set-up files, settings, pictures and ".info" files all go through a
// FileWriter, so that no file the officials or the scoring program read is
// ever half-written:
//   - an append is flushed to disk before the call returns, and a write that
//     fails half-way is cut back to the file's old length (no half line);
//   - a replacement is written to a temporary file beside the target
//     (created exclusively, never through a link planted at its path),
//     flushed, and renamed over the target, so a reader sees the old file or
//     the new one, never a mixture;
//   - several files replaced together are all written and flushed before
//     the first is renamed, and a later rename that fails undoes the earlier.
// The system calls sit behind virtual members so a test double can make the
// write fail after N bytes, at the flush or at the rename, and every
// caller's failure path runs the same recovery code as production.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rs {

// Success, or the reason a write failed: "<path>: <system's words>".
class [[nodiscard]] WriteResult {
  public:
    static WriteResult success() { return WriteResult(); }
    static WriteResult failure(std::string message) { return WriteResult(std::move(message)); }

    explicit operator bool() const { return !failed_; }
    bool ok() const { return !failed_; }
    const std::string& error() const { return error_; }

  private:
    WriteResult() = default;
    explicit WriteResult(std::string message) : failed_(true), error_(std::move(message)) {}
    bool failed_ = false;
    std::string error_;
};

// Whether a replaced file must reach the disk before the call returns.
// Pictures rewritten for every frame taken ("currentcapture.bmp") are worth
// nothing after a power cut and skip the flush; everything an official or
// the scoring program reads is flushed.
enum class Flush { ToDisk, No };

// The new content of one file of a group replaced together.
struct FileContent {
    std::string path;
    std::string bytes;
};

class FileWriter {
  public:
    FileWriter() = default;
    virtual ~FileWriter() = default;
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    // Appends bytes to the end of path (created when missing) and flushes
    // them to disk. On failure the file keeps its old length.
    // Flush::No (the debug log) still never leaves a half line.
    WriteResult append(const std::string& path, std::string_view bytes,
                       Flush flush = Flush::ToDisk);
    // Each line followed by CR LF, in one append.
    WriteResult append_lines(const std::string& path, const std::vector<std::string>& lines,
                             Flush flush = Flush::ToDisk);

    // Replaces path with the concatenation of parts, atomically.
    WriteResult replace(const std::string& path, std::string_view bytes,
                        Flush flush = Flush::ToDisk);
    WriteResult replace_parts(const std::string& path, const std::vector<std::string_view>& parts,
                              Flush flush = Flush::ToDisk);
    // Replaces every file of the group: all new contents are written and
    // flushed before the first rename. A failure before the renames leaves
    // every old file as it was; a rename failing after others succeeded puts
    // those back as they were (their old bytes, or no file).
    WriteResult replace_all(const std::vector<FileContent>& files);

    // Renames from to to; to must not exist (an existing file is never
    // overwritten by a move). Across file systems the bytes are copied,
    // flushed, and only then is from removed.
    WriteResult move(const std::string& from, const std::string& to);
    // Replaces to with a copy of from's bytes (atomically, flushed).
    WriteResult copy(const std::string& from, const std::string& to);
    // Removes a file; a file that is already gone counts as removed.
    WriteResult remove(const std::string& path);

  protected:
    // The system calls. Each returns what its POSIX namesake returns and
    // leaves errno set on failure.
    virtual long sys_write(int fd, const void* data, std::size_t size);
    virtual int sys_fsync(int fd);
    virtual int sys_rename(const char* from, const char* to);

  private:
    WriteResult write_all(int fd, const std::string& path,
                          const std::vector<std::string_view>& parts);
    // Creates a temporary file beside path and writes parts into it; the
    // returned name is empty on failure.
    WriteResult write_temporary(const std::string& path, const std::vector<std::string_view>& parts,
                                Flush flush, std::string* temporary);
    WriteResult rename_over(const std::string& temporary, const std::string& path);
};

}  // namespace rs
