#pragma once
// A FileWriter whose system calls fail on request: after N bytes have been
// written, at the flush, or at the rename. Everything else is the real
// writer, so a test sees exactly what the program leaves on disk when a
// disk fills or a folder goes away half-way.

#include <cerrno>
#include <cstdint>
#include <limits>

#include "platform/file_writer.h"

namespace rs::test {

class FailingFileWriter final : public FileWriter {
  public:
    // The write that would pass the N-th byte from now writes up to it and
    // then fails with "No space left on device".
    void fail_after_bytes(std::uint64_t n) { bytes_left_ = n; }
    void fail_at_flush(bool on = true) { fail_flush_ = on; }
    void fail_at_rename(bool on = true) { fail_rename_ = on; }
    // Only the n-th rename from now (1 for the next) fails; the others pass.
    void fail_at_rename_number(int n) { rename_to_fail_ = n; }
    void heal() {
        bytes_left_ = std::numeric_limits<std::uint64_t>::max();
        fail_flush_ = fail_rename_ = false;
        rename_to_fail_ = 0;
    }
    int renames() const { return renames_; }

  protected:
    long sys_write(int fd, const void* data, std::size_t size) override {
        if (bytes_left_ == 0) {
            errno = ENOSPC;
            return -1;
        }
        const std::size_t n = size < bytes_left_ ? size : static_cast<std::size_t>(bytes_left_);
        if (bytes_left_ != std::numeric_limits<std::uint64_t>::max())
            bytes_left_ -= n;
        return FileWriter::sys_write(fd, data, n);
    }
    int sys_fsync(int fd) override {
        if (fail_flush_) {
            errno = EIO;
            return -1;
        }
        return FileWriter::sys_fsync(fd);
    }
    int sys_rename(const char* from, const char* to) override {
        if (rename_to_fail_ > 0 && --rename_to_fail_ == 0) {
            errno = EACCES;
            return -1;
        }
        if (fail_rename_) {
            errno = EACCES;
            return -1;
        }
        ++renames_;
        return FileWriter::sys_rename(from, to);
    }

  private:
    std::uint64_t bytes_left_ = std::numeric_limits<std::uint64_t>::max();
    bool fail_flush_ = false;
    bool fail_rename_ = false;
    int rename_to_fail_ = 0;
    int renames_ = 0;
};

}  // namespace rs::test
