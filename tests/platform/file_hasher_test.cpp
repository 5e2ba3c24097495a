#include "platform/qt_file_hasher.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/fifo.h"
#include "tests/support/temp_dir.h"

namespace rs {
namespace {

// SHA-256 of "abc" (FIPS 180-2, appendix B.1).
constexpr const char* kAbc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
// SHA-256 of no bytes.
constexpr const char* kEmpty = "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";

TEST(QtFileHasher, KnownDigestsOfBytesAndFiles) {
    test::TempDir tmp;
    QtFileHasher h;
    EXPECT_EQ(h.hash_bytes("abc"), kAbc);
    EXPECT_EQ(h.hash_bytes(""), kEmpty);
    const std::string f = tmp.file("abc.txt");
    test::spit(f, "abc");
    EXPECT_EQ(h.hash_file(f).sha256, kAbc);
    // Larger than one read block: the same digest as the bytes in one piece.
    std::string big(3 * (1 << 20) + 17, '\0');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7 + i / 4096);
    test::spit(tmp.file("big.bin"), big);
    EXPECT_EQ(h.hash_file(tmp.file("big.bin")).sha256, h.hash_bytes(big));

    const HashResult missing = h.hash_file(tmp.file("none.avi"));
    EXPECT_FALSE(missing.ok());
    EXPECT_NE(missing.error.find("none.avi"), std::string::npos);
    EXPECT_FALSE(h.hash_file(tmp.path()).ok());  // a folder
    const std::string fifo = tmp.file("video.avi");
    if (test::make_fifo(fifo)) {
        const auto r = test::returns_at_once(fifo, [&] { return h.hash_file(fifo); });
        ASSERT_TRUE(r) << "a FIFO given as a video blocked the hasher";
        EXPECT_FALSE(r->ok());
    }
}

TEST(QtFileHasher, LaterHashesAnswerInOrderOnTheOwnersThreadEvenForAFileErasedMeanwhile) {
    test::TempDir tmp;
    QtFileHasher h;
    const std::string a = tmp.file("a.avi"), b = tmp.file("b.avi");
    test::spit(a, std::string(5 << 20, 'x'));
    test::spit(b, "abc");
    std::vector<std::string> answers;
    const auto owner = std::this_thread::get_id();
    auto keep = [&](const HashResult& r) {
        EXPECT_EQ(std::this_thread::get_id(), owner);
        answers.push_back(r.ok() ? r.sha256 : "error");
    };
    h.hash_file_later(a, keep);
    h.hash_file_later(tmp.file("missing.avi"), keep);
    h.hash_file_later(b, keep);
#ifndef _WIN32
    // Erased by the video policy right after the request: the file opened
    // at the request is still hashed.
    std::filesystem::remove(b);
#endif
    h.finish();
    ASSERT_EQ(answers.size(), 3u);
    EXPECT_EQ(answers[0], h.hash_bytes(std::string(5 << 20, 'x')));
    EXPECT_EQ(answers[1], "error");
    EXPECT_EQ(answers[2], kAbc);
}

TEST(QtFileHasher, AnswersArriveThroughTheEventLoop) {
    test::TempDir tmp;
    QtFileHasher h;
    test::spit(tmp.file("abc"), "abc");
    std::string got;
    h.hash_file_later(tmp.file("abc"), [&](const HashResult& r) { got = r.sha256; });
    for (int i = 0; i < 500 && got.empty(); ++i) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_EQ(got, kAbc);
}

}  // namespace
}  // namespace rs
