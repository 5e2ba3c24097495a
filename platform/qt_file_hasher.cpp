#include "platform/qt_file_hasher.h"

#include <QByteArrayView>
#include <QCryptographicHash>
#include <QObject>

#include "platform/file_reader.h"

namespace rs {

namespace {

std::string hex(const QByteArray& digest) {
    return digest.toHex().toStdString();
}

// Hashes what the stream holds from its start, in blocks of 1 MiB.
HashResult hash_stream(std::istream& in, const std::string& path) {
    QCryptographicHash sha(QCryptographicHash::Sha256);
    std::vector<char> block(1 << 20);
    while (in) {
        in.read(block.data(), static_cast<std::streamsize>(block.size()));
        const std::streamsize n = in.gcount();
        if (n > 0)
            sha.addData(QByteArrayView(block.data(), static_cast<qsizetype>(n)));
    }
    if (in.bad())
        return {{}, path + ": read error"};
    return {hex(sha.result()), {}};
}

std::unique_ptr<std::ifstream> open_regular(const std::string& path, std::string& error) {
    // A FIFO or a device would block the reader: refused before opening.
    std::string why;
    if (!is_regular_file(path, &why)) {
        error = path + ": " + why;
        return nullptr;
    }
    auto in = std::make_unique<std::ifstream>(path, std::ios::binary);
    if (!*in) {
        error = path + ": cannot be opened";
        return nullptr;
    }
    return in;
}

}  // namespace

QtFileHasher::QtFileHasher() : receiver_(std::make_unique<QObject>()) {
    worker_ = std::thread([this] { run(); });
}

QtFileHasher::~QtFileHasher() {
    finish();
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    worker_.join();
}

HashResult QtFileHasher::hash_file(const std::string& path) {
    std::string error;
    auto in = open_regular(path, error);
    if (!in)
        return {{}, error};
    return hash_stream(*in, path);
}

std::string QtFileHasher::hash_bytes(std::string_view bytes) {
    return hex(
        QCryptographicHash::hash(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())),
                                 QCryptographicHash::Sha256));
}

void QtFileHasher::hash_file_later(const std::string& path,
                                   std::function<void(const HashResult&)> done) {
    auto job = std::make_shared<Job>();
    job->path = path;
    job->done = std::move(done);
    std::string error;
    job->file = open_regular(path, error);
    if (!job->file) {
        job->result.error = error;
        job->hashed = true;
    }
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(job);
    }
    wake_.notify_all();
    if (job->hashed)
        QMetaObject::invokeMethod(
            receiver_.get(), [this] { deliver(); }, Qt::QueuedConnection);
}

void QtFileHasher::run() {
    for (;;) {
        std::shared_ptr<Job> job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] {
                if (stopping_)
                    return true;
                for (const auto& j : jobs_)
                    if (!j->hashed)
                        return true;
                return false;
            });
            for (const auto& j : jobs_) {
                if (!j->hashed) {
                    job = j;
                    break;
                }
            }
            if (!job)
                return;  // stopping, nothing left to hash
        }
        HashResult result;
        try {
            result = hash_stream(*job->file, job->path);
        } catch (const std::exception& e) {
            result = {{}, job->path + ": " + e.what()};
        }
        {
            std::lock_guard lock(mutex_);
            job->result = std::move(result);
            job->file.reset();
            job->hashed = true;
        }
        idle_.notify_all();
        QMetaObject::invokeMethod(
            receiver_.get(), [this] { deliver(); }, Qt::QueuedConnection);
    }
}

void QtFileHasher::deliver() {
    // Answers go out in the order asked for: a quick one waits for a slow
    // one asked before it.
    for (;;) {
        std::shared_ptr<Job> job;
        {
            std::lock_guard lock(mutex_);
            if (jobs_.empty() || !jobs_.front()->hashed)
                return;
            job = jobs_.front();
            jobs_.pop_front();
        }
        if (job->done)
            job->done(job->result);
    }
}

void QtFileHasher::finish() {
    {
        std::unique_lock lock(mutex_);
        idle_.wait(lock, [&] {
            for (const auto& j : jobs_)
                if (!j->hashed)
                    return false;
            return true;
        });
    }
    deliver();
}

}  // namespace rs
