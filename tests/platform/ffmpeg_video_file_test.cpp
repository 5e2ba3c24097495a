// Frame-exact decoding of generated videos: every frame carries its number
// in its pixels, so a picture off by one (the classic fault of seeking in a
// stream with B-frames) is caught wherever it happens.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <thread>

#include "platform/ffmpeg_video_file.h"
#include "tests/platform/test_videos.h"
#include "tests/support/fifo.h"
#include "tests/support/temp_dir.h"

namespace rs {
namespace {

using test::make_video;
using test::read_mark;
using test::VideoRecipe;

std::vector<VideoRecipe> recipes() {
    return {
        {"mjpeg_avi", "avi", "-c:v mjpeg -q:v 3", 320, 240, "30000/1001", 40, ""},
        {"raw_bgr_avi", "avi", "-c:v rawvideo -pix_fmt bgr24", 320, 240, "25", 30, ""},
        {"long_gop_avi", "avi", test::long_gop_args(12), 320, 240, "30", 62, ""},
        {"long_gop_mp4", "mp4", test::long_gop_args(12), 320, 240, "30", 62, ""},
        // Open groups whose leading B-pictures a decoder drops after a seek.
        {"mpeg4_open_gop_avi", "avi", "-c:v mpeg4 -q:v 2 -bf 2 -g 12", 320, 240, "30", 62, ""},
        {"mpeg2_mkv", "mkv", "-c:v mpeg2video -q:v 2 -bf 2 -g 12", 320, 240, "25", 62, ""},
        {"div3_avi", "avi", "-c:v msmpeg4 -vtag DIV3 -q:v 2 -g 12", 320, 240, "30", 62, ""},
        // DV as a camcorder records it (type 2), NTSC at 30000/1001.
        {"dv_avi", "avi", "-c:v dvvideo -pix_fmt yuv411p", 720, 480, "30000/1001", 40, ""},
    };
}

// Videos are made once for the whole suite.
class Videos {
  public:
    static Videos& get() {
        static Videos videos;
        return videos;
    }
    std::string path(const VideoRecipe& recipe) {
        auto it = made_.find(recipe.name);
        if (it != made_.end())
            return it->second;
        std::string p = dir_.file(recipe.name + "." + recipe.container);
        if (!make_video(recipe, p))
            p.clear();
        made_[recipe.name] = p;
        return p;
    }

  private:
    test::TempDir dir_;
    std::map<std::string, std::string> made_;
};

double declared_rate(const std::string& rate) {
    auto slash = rate.find('/');
    if (slash == std::string::npos)
        return std::stod(rate);
    return std::stod(rate.substr(0, slash)) / std::stod(rate.substr(slash + 1));
}

class DecodeTest : public ::testing::TestWithParam<VideoRecipe> {
  protected:
    void SetUp() override {
        if (GetParam().codec_args.find("libxvid") != std::string::npos &&
            !test::have_encoder("libxvid"))
            GTEST_SKIP() << "this ffmpeg has no Xvid encoder";
        path_ = Videos::get().path(GetParam());
        ASSERT_FALSE(path_.empty()) << "ffmpeg could not make " << GetParam().name;
    }
    std::unique_ptr<VideoFile> open(VideoOpenOptions options = {}) {
        std::string error;
        auto file = open_ffmpeg_video(path_, options, &error);
        EXPECT_TRUE(file) << error;
        return file;
    }
    // The number marked on frame n, or -1 (with the reason in the failure).
    static int mark(VideoFile& file, std::int64_t n) {
        std::string error;
        FramePtr pic = file.frame(n, &error);
        EXPECT_TRUE(pic) << "frame " << n << ": " << error;
        return pic ? read_mark(*pic) : -1;
    }
    std::string path_;
};

TEST_P(DecodeTest, CountRateAndSizeComeFromTheStream) {
    auto file = open();
    ASSERT_TRUE(file);
    EXPECT_EQ(file->frame_count(), GetParam().frames);
    EXPECT_NEAR(file->frame_rate(), declared_rate(GetParam().rate), 1e-9);
    EXPECT_EQ(file->width(), GetParam().width);
    EXPECT_EQ(file->height(), GetParam().height);
    EXPECT_EQ(file->problem(), "");
    EXPECT_EQ(file->path(), path_);
}

TEST_P(DecodeTest, ColdOpenGivesExactlyFrameN) {
    const std::int64_t last = GetParam().frames - 1;
    // Both sides of the group boundaries at 12 and 24, the ends, the middle.
    for (std::int64_t n : {std::int64_t{0}, std::int64_t{1}, std::int64_t{11}, std::int64_t{12},
                           std::int64_t{13}, std::int64_t{23}, last / 2, last - 1, last}) {
        auto file = open();
        ASSERT_TRUE(file);
        EXPECT_EQ(mark(*file, n), n);
    }
}

TEST_P(DecodeTest, SteppingForwardsThenBackwardsIsExact) {
    auto file = open();
    ASSERT_TRUE(file);
    const std::int64_t count = file->frame_count();
    for (std::int64_t n = 0; n < count; ++n)
        ASSERT_EQ(mark(*file, n), n);
    for (std::int64_t n = count - 1; n >= 0; --n)
        ASSERT_EQ(mark(*file, n), n);
}

TEST_P(DecodeTest, ATinyCacheStaysExactAcrossGroups) {
    // Room for four pictures: the window keeps moving out from under the
    // worker, which must give up and start again without mixing numbers up.
    VideoOpenOptions options;
    options.cache_bytes = std::size_t(GetParam().width) * GetParam().height * 3 * 4;
    auto file = open(options);
    ASSERT_TRUE(file);
    const std::int64_t count = file->frame_count();
    for (std::int64_t n = count - 1; n >= count / 2; --n)
        ASSERT_EQ(mark(*file, n), n);
    std::mt19937 rng(7);
    for (int i = 0; i < 25; ++i) {
        std::int64_t n = std::uniform_int_distribution<std::int64_t>(0, count - 1)(rng);
        ASSERT_EQ(mark(*file, n), n);
    }
}

TEST_P(DecodeTest, ReadyFramesArriveExactAtTheOperatorsPace) {
    auto file = open();
    ASSERT_TRUE(file);
    const std::int64_t count = file->frame_count();
    auto wait_ready = [&](std::int64_t n) -> int {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            if (FramePtr pic = file->ready_frame(n))
                return read_mark(*pic);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return -2;
    };
    // Start at the end and walk back over every group boundary, as an
    // operator holding the left arrow does.
    for (std::int64_t n = count - 1; n >= 0; --n)
        ASSERT_EQ(wait_ready(n), n);
    for (std::int64_t n = 0; n < count; n += 3)
        ASSERT_EQ(wait_ready(n), n);
    EXPECT_FALSE(file->ready_frame(count));
}

TEST_P(DecodeTest, FramesOutsideTheVideoAreRefusedWithAReason) {
    auto file = open();
    ASSERT_TRUE(file);
    for (std::int64_t n : {std::int64_t{-1}, file->frame_count(), std::int64_t{1} << 40}) {
        std::string error;
        EXPECT_FALSE(file->frame(n, &error));
        EXPECT_NE(error.find("beyond the end"), std::string::npos) << error;
    }
    // The file still works afterwards.
    EXPECT_EQ(mark(*file, 3), 3);
}

TEST_P(DecodeTest, AFileCutInTheMiddleGivesTheFramesBeforeTheCut) {
    test::TempDir dir;
    const std::string cut = dir.file("cut." + GetParam().container);
    const auto size = std::filesystem::file_size(path_);
    std::filesystem::copy_file(path_, cut);
    std::filesystem::resize_file(cut, size / 2);

    std::string error;
    auto file = open_ffmpeg_video(cut, {}, &error);
    if (GetParam().container == "mp4") {
        // An MP4 keeps its index at the end: cut in half there is nothing
        // to read, and that must be said, not crash.
        if (!file) {
            EXPECT_EQ(error.rfind("cannot open " + cut, 0), 0u) << error;
            return;
        }
    }
    ASSERT_TRUE(file) << error;
    const std::int64_t count = file->frame_count();
    EXPECT_GT(count, GetParam().frames / 3);
    EXPECT_LT(count, GetParam().frames);
    for (std::int64_t n = count - 1; n >= 0; --n)
        ASSERT_EQ(mark(*file, n), n);
}

INSTANTIATE_TEST_SUITE_P(Codecs, DecodeTest, ::testing::ValuesIn(recipes()),
                         [](const auto& info) { return info.param.name; });

TEST(VideoFileGaps, AMissingFrameIsDetectedAndShowsTheFrameBefore) {
    test::TempDir dir;
    VideoRecipe recipe{"gap", "avi", "-c:v mjpeg -q:v 3",      320, 240,
                       "30",  12,    "select='not(eq(n\\,5))'"};
    const std::string path = dir.file("gap.avi");
    ASSERT_TRUE(make_video(recipe, path));
    std::string error;
    auto file = VideoFile::open(path, &error);
    ASSERT_TRUE(file) << error;
    // Positions stay true to time: frame 6 is still the seventh frame.
    EXPECT_EQ(file->frame_count(), 12);
    EXPECT_NE(file->problem().find("1 frame is missing"), std::string::npos) << file->problem();
    const int expected[] = {0, 1, 2, 3, 4, 4, 6, 7, 8, 9, 10, 11};
    for (int n = 11; n >= 0; --n) {
        FramePtr pic = file->frame(n, &error);
        ASSERT_TRUE(pic) << error;
        EXPECT_EQ(read_mark(*pic), expected[n]) << "frame " << n;
    }
}

TEST(VideoFileOpen, WhatIsNotAVideoIsRefusedWithTheFileNamed) {
    test::TempDir dir;
    const std::string text = dir.file("notes.avi");
    test::spit(text, "RIFF....AVI this is not really a video at all");
    const std::string missing = dir.file("missing.avi");
    const std::string empty = dir.file("empty.avi");
    test::spit(empty, "");
    for (const auto& path : {text, missing, empty}) {
        std::string error;
        EXPECT_FALSE(VideoFile::open(path, &error));
        EXPECT_EQ(error.rfind("cannot open " + path + ": ", 0), 0u) << error;
    }
}

TEST(VideoFileOpen, AFifoADeviceOrAFolderIsRefusedAtOnce) {
    test::TempDir dir;
    const std::string fifo = dir.file("fifo.avi");
    ASSERT_TRUE(test::make_fifo(fifo));
    for (const std::string& path : {fifo, std::string("/dev/zero"), dir.path()}) {
        std::string error;
        auto opened = test::returns_at_once(fifo, [&] { return VideoFile::open(path, &error); });
        ASSERT_TRUE(opened) << path << " was waited on";
        EXPECT_FALSE(*opened);
        EXPECT_EQ(error, "cannot open " + path + ": not a regular file");
    }
    // A name that FFmpeg would take for another protocol is a missing file.
    std::string error;
    EXPECT_FALSE(VideoFile::open("pipe:0", &error));
    EXPECT_EQ(error.rfind("cannot open pipe:0: ", 0), 0u) << error;
}

}  // namespace
}  // namespace rs
