#pragma once
// The FileHasher over Qt's SHA-256, with one worker thread that the hasher
// owns and joins in its destructor. Answers reach the owner's thread through
// its event loop.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <fstream>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/file_hasher.h"

class QObject;

namespace rs {

class QtFileHasher final : public FileHasher {
  public:
    QtFileHasher();
    ~QtFileHasher() override;
    QtFileHasher(const QtFileHasher&) = delete;
    QtFileHasher& operator=(const QtFileHasher&) = delete;

    HashResult hash_file(const std::string& path) override;
    std::string hash_bytes(std::string_view bytes) override;
    void hash_file_later(const std::string& path,
                         std::function<void(const HashResult&)> done) override;
    void finish() override;

  private:
    struct Job {
        std::string path;
        std::unique_ptr<std::ifstream> file;  // opened at the request
        HashResult result;                    // set by the worker
        std::function<void(const HashResult&)> done;
        bool hashed = false;
    };
    void run();
    void deliver();

    std::mutex mutex_;
    std::condition_variable wake_;           // a job queued, or stopping
    std::condition_variable idle_;           // a job hashed
    std::deque<std::shared_ptr<Job>> jobs_;  // asked for, in order, until delivered
    bool stopping_ = false;
    std::unique_ptr<QObject> receiver_;  // lives on the owner's thread
    std::thread worker_;
};

}  // namespace rs
