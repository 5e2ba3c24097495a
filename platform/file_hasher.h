#pragma once
// SHA-256 of files and of bytes, as 64 lower-case hexadecimal digits. A
// video of a gigabyte takes seconds to hash, so a file can be hashed on a
// worker thread owned by the hasher: the file is opened at the request (so
// a video erased by the video policy a moment later is still hashed as it
// was) and the answer is handed back on the thread that owns the hasher.

#include <functional>
#include <string>
#include <string_view>

namespace rs {

struct HashResult {
    std::string sha256;  // empty when the file could not be read
    std::string error;   // "<path>: <reason>"
    bool ok() const { return error.empty(); }
};

class FileHasher {
  public:
    virtual ~FileHasher() = default;

    // Hashes a file now, on the calling thread (set-up files, pictures).
    virtual HashResult hash_file(const std::string& path) = 0;
    virtual std::string hash_bytes(std::string_view bytes) = 0;

    // Opens the file now and hashes it on the worker. `done` runs later on
    // the owner's thread (from its event loop, or inside finish()), never on
    // the worker, and in the order the hashes were asked for.
    virtual void hash_file_later(const std::string& path,
                                 std::function<void(const HashResult&)> done) = 0;
    // Waits for every hash asked for and runs the `done` calls not run yet.
    virtual void finish() = 0;
};

}  // namespace rs
