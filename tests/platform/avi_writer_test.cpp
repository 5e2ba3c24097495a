// MJPEG AVI files written by the program and read back by its own decoder:
// every frame carries its number in its pixels, so a frame lost, repeated
// or out of order is caught.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "platform/avi_writer.h"
#include "platform/ffmpeg_video_file.h"
#include "tests/platform/test_videos.h"
#include "tests/support/temp_dir.h"

namespace rs {
namespace {

Picture24 marked_picture(int n, int width, int height) {
    Picture24 p;
    p.width = width;
    p.height = height;
    auto bgr = test::marked_frame(n, width, height);
    p.bgr.assign(bgr.begin(), bgr.end());
    return p;
}

std::vector<std::uint8_t> marked_jpeg(int n, int width, int height) {
    Picture24 p = marked_picture(n, width, height);
    QImage image(p.bgr.data(), width, height, width * 3, QImage::Format_BGR888);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 85);
    return {bytes.begin(), bytes.end()};
}

std::vector<int> marks_of(const std::string& path, std::int64_t* count = nullptr,
                          double* rate = nullptr) {
    std::string error;
    auto video = VideoFile::open(path, &error);
    EXPECT_TRUE(video) << error;
    if (!video)
        return {};
    if (count)
        *count = video->frame_count();
    if (rate)
        *rate = video->frame_rate();
    std::vector<int> marks;
    for (std::int64_t n = 0; n < video->frame_count(); ++n) {
        auto pic = video->frame(n, &error);
        EXPECT_TRUE(pic) << "frame " << n << ": " << error;
        marks.push_back(pic ? test::read_mark(*pic) : -1);
    }
    return marks;
}

std::vector<int> counting(int frames) {
    std::vector<int> v(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i)
        v[static_cast<size_t>(i)] = i;
    return v;
}

TEST(AviWriter, EncodedPicturesReadBackInNumberAndOrderAtTheDeclaredRate) {
    test::TempDir dir;
    const std::string path = dir.file("Smithjump1.avi");
    std::string error;
    auto writer = AviWriter::create(path, {320, 240, 30000, 1001, 90}, &error);
    ASSERT_TRUE(writer) << error;
    for (int n = 0; n < 45; ++n)
        ASSERT_TRUE(writer->write_picture(marked_picture(n, 320, 240), &error)) << error;
    EXPECT_EQ(writer->frames_written(), 45);
    ASSERT_TRUE(writer->finish(&error)) << error;
    EXPECT_TRUE(writer->finish(&error)) << "a second finish does nothing";
    EXPECT_FALSE(writer->write_picture(marked_picture(45, 320, 240), &error));
    EXPECT_EQ(writer->frames_written(), 45);

    std::int64_t count = 0;
    double rate = 0;
    EXPECT_EQ(marks_of(path, &count, &rate), counting(45));
    EXPECT_EQ(count, 45);
    EXPECT_NEAR(rate, 30000.0 / 1001.0, 1e-6);
}

TEST(AviWriter, ColoursSurviveInFullRange) {
    // A studio-range mix-up shifts every level by up to 16 and flattens
    // black and white; a good round trip stays within a few levels.
    test::TempDir dir;
    const std::string path = dir.file("colours.avi");
    const std::uint8_t colours[][3] = {{0, 0, 0}, {255, 255, 255}, {200, 100, 30}, {20, 140, 235}};
    std::string error;
    auto writer = AviWriter::create(path, {64, 48, 30, 1, 95}, &error);
    ASSERT_TRUE(writer) << error;
    for (const auto& c : colours) {
        Picture24 p;
        p.width = 64;
        p.height = 48;
        p.bgr.resize(64 * 48 * 3);
        for (size_t i = 0; i < p.bgr.size(); i += 3)
            std::copy(c, c + 3, p.bgr.begin() + static_cast<std::ptrdiff_t>(i));
        ASSERT_TRUE(writer->write_picture(p, &error)) << error;
    }
    ASSERT_TRUE(writer->finish(&error)) << error;
    auto video = VideoFile::open(path, &error);
    ASSERT_TRUE(video) << error;
    for (int n = 0; n < 4; ++n) {
        auto pic = video->frame(n, &error);
        ASSERT_TRUE(pic) << error;
        const std::uint8_t* px = pic->row(24) + 32 * 3;
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(px[k], colours[n][k], 4) << "frame " << n << " channel " << k;
    }
}

TEST(AviWriter, PictureQualityFollowsTheOption) {
    test::TempDir dir;
    auto size_at = [&](int quality) {
        const std::string path = dir.file("q" + std::to_string(quality) + ".avi");
        std::string error;
        auto writer = AviWriter::create(path, {320, 240, 30, 1, quality}, &error);
        EXPECT_TRUE(writer) << error;
        for (int n = 0; n < 5 && writer; ++n)
            EXPECT_TRUE(writer->write_picture(marked_picture(n, 320, 240), &error)) << error;
        EXPECT_TRUE(writer && writer->finish(&error)) << error;
        EXPECT_EQ(marks_of(path), counting(5));
        return std::filesystem::file_size(path);
    };
    EXPECT_LT(size_at(10), size_at(60));
    EXPECT_LT(size_at(60), size_at(100));
}

TEST(AviWriter, JpegFramesAreStoredByteForByteAndMixWithEncodedOnes) {
    test::TempDir dir;
    const std::string path = dir.file("capture.avi");
    std::string error;
    auto writer = AviWriter::create(path, {256, 144, 25, 1, 90}, &error);
    ASSERT_TRUE(writer) << error;
    std::vector<std::vector<std::uint8_t>> jpegs;
    for (int n = 0; n < 12; ++n) {
        if (n == 6) {
            ASSERT_TRUE(writer->write_picture(marked_picture(n, 256, 144), &error)) << error;
            continue;
        }
        jpegs.push_back(marked_jpeg(n, 256, 144));
        ASSERT_TRUE(writer->write_jpeg(jpegs.back().data(), jpegs.back().size(), &error)) << error;
    }
    ASSERT_TRUE(writer->finish(&error)) << error;

    const std::string file = test::slurp(path);
    for (const auto& jpeg : jpegs)
        EXPECT_NE(file.find(std::string(jpeg.begin(), jpeg.end())), std::string::npos);
    EXPECT_EQ(marks_of(path), counting(12));
}

TEST(AviWriter, RefusesWhatDoesNotFitWithTheFileInItsMessage) {
    test::TempDir dir;
    const std::string path = dir.file("v.avi");
    std::string error;
    EXPECT_FALSE(AviWriter::create(path, {0, 240, 30, 1, 90}, &error));
    EXPECT_FALSE(AviWriter::create(path, {320, 240, 30, 0, 90}, &error));
    EXPECT_FALSE(AviWriter::create(path, {320, 240, 30, 1, 0}, &error));
    EXPECT_FALSE(AviWriter::create(path, {320, 240, 30, 1, 101}, &error));
    EXPECT_EQ(error.rfind(path + ": ", 0), 0u) << error;
    const std::string nowhere = dir.file("missing/folder/v.avi");
    EXPECT_FALSE(AviWriter::create(nowhere, {320, 240, 30, 1, 90}, &error));
    EXPECT_EQ(error.rfind(nowhere + ": cannot create the file: ", 0), 0u) << error;

    auto writer = AviWriter::create(path, {320, 240, 30, 1, 90}, &error);
    ASSERT_TRUE(writer) << error;
    EXPECT_FALSE(writer->write_picture(marked_picture(0, 322, 240), &error));
    EXPECT_NE(error.find("322x240"), std::string::npos) << error;
    Picture24 short_rows = marked_picture(0, 320, 240);
    short_rows.bgr.resize(100);
    EXPECT_FALSE(writer->write_picture(short_rows, &error));

    const auto other_size = marked_jpeg(0, 256, 144);
    EXPECT_FALSE(writer->write_jpeg(other_size.data(), other_size.size(), &error));
    EXPECT_NE(error.find("256x144"), std::string::npos) << error;
    const std::uint8_t not_jpeg[] = {'R', 'I', 'F', 'F', 0, 0, 0, 0};
    EXPECT_FALSE(writer->write_jpeg(not_jpeg, sizeof not_jpeg, &error));
    auto cut = marked_jpeg(0, 320, 240);
    EXPECT_FALSE(writer->write_jpeg(cut.data(), 10, &error)) << "cut before the frame header";
    EXPECT_FALSE(writer->write_jpeg(nullptr, 0, &error));
    EXPECT_EQ(writer->frames_written(), 0);

    ASSERT_TRUE(writer->write_jpeg(cut.data(), cut.size(), &error)) << error;
    ASSERT_TRUE(writer->finish(&error)) << error;
    EXPECT_EQ(marks_of(path), counting(1));
}

TEST(AviWriter, JpegFrameHeaderIsFoundPastOtherSegments) {
    auto jpeg = marked_jpeg(3, 200, 100);
    int w = 0, h = 0;
    ASSERT_TRUE(jpeg_picture_size(jpeg.data(), jpeg.size(), &w, &h));
    EXPECT_EQ(w, 200);
    EXPECT_EQ(h, 100);
    // A segment length running past the end is not read beyond it.
    std::vector<std::uint8_t> lying = {0xFF, 0xD8, 0xFF, 0xE0, 0xFF, 0xF0, 0, 0};
    EXPECT_FALSE(jpeg_picture_size(lying.data(), lying.size(), &w, &h));
}

TEST(AviWriter, AWriterDroppedWithoutFinishingLeavesAFinishedFile) {
    test::TempDir dir;
    const std::string path = dir.file("dropped.avi");
    std::string error;
    {
        auto writer = AviWriter::create(path, {320, 240, 30, 1, 80}, &error);
        ASSERT_TRUE(writer) << error;
        for (int n = 0; n < 7; ++n)
            ASSERT_TRUE(writer->write_picture(marked_picture(n, 320, 240), &error)) << error;
    }
    std::int64_t count = 0;
    EXPECT_EQ(marks_of(path, &count), counting(7));
    EXPECT_EQ(count, 7);
}

TEST(AviWriter, FramesOfAProgramThatEndedWhileWritingCanBeRead) {
    test::TempDir dir;
    const std::string path = dir.file("killed.avi");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The child ends without finishing, without running a destructor.
        std::string error;
        auto writer = AviWriter::create(path, {320, 240, 30, 1, 80}, &error);
        for (int n = 0; writer && n < 10; ++n) {
            if (!writer->write_picture(marked_picture(n, 320, 240), &error))
                _exit(2);
        }
        _exit(writer ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(marks_of(path), counting(10));
}

}  // namespace
}  // namespace rs
