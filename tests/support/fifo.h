#pragma once
// FIFOs put where the program expects a file, and a guard that proves a
// reader refuses them at once instead of waiting for a writer.

#include <fcntl.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <chrono>
#include <future>
#include <optional>
#include <string>

namespace rs::test {

// Makes a FIFO at path; false when the system has none (the test skips).
inline bool make_fifo(const std::string& path) {
#ifdef _WIN32
    (void)path;
    return false;
#else
    return ::mkfifo(path.c_str(), 0600) == 0;
#endif
}

// Runs read_it and returns what it returned, or nothing when it was still
// waiting after a few seconds: then the FIFO is opened for writing and
// closed, which ends any wait, so a faulty reader fails the test instead of
// hanging the suite.
template <typename F>
auto returns_at_once(const std::string& fifo, F read_it) -> std::optional<decltype(read_it())> {
    auto done = std::async(std::launch::async, read_it);
    if (done.wait_for(std::chrono::seconds(5)) == std::future_status::ready)
        return done.get();
    while (done.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
#ifndef _WIN32
        const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0)
            ::close(fd);
#endif
    }
    (void)done.get();
    return std::nullopt;
}

}  // namespace rs::test
