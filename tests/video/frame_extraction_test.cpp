#include "video/frame_extraction.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/ffmpeg_video_file.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"
#include "tests/video/avi_test_files.h"
#include "video/avi_info.h"
#include "video/dib.h"

namespace rs {
namespace {

using test::ScriptedDialogs;
using test::slurp;
using test::spit;
using test::TempDir;

// A video of count frames, each a flat colour that names its index
// (blue = n, green = 255 - n); frames listed in broken cannot be decoded.
class FakeVideo final : public VideoFile {
  public:
    FakeVideo(std::string path, std::int64_t count, std::vector<std::int64_t> broken,
              std::vector<std::int64_t>* requested)
        : path_(std::move(path)),
          count_(count),
          broken_(std::move(broken)),
          requested_(requested) {}
    const std::string& path() const override { return path_; }
    std::int64_t frame_count() const override { return count_; }
    double frame_rate() const override { return 30.0; }
    int width() const override { return 7; }
    int height() const override { return 3; }
    FramePtr frame(std::int64_t n, std::string* error) override {
        requested_->push_back(n);
        if (n < 0 || n >= count_ || std::find(broken_.begin(), broken_.end(), n) != broken_.end()) {
            if (error)
                *error = "no frame " + std::to_string(n);
            return nullptr;
        }
        auto p = std::make_shared<Picture24>();
        p->width = 7;
        p->height = 3;
        for (int i = 0; i < 7 * 3; ++i) {
            p->bgr.push_back(static_cast<std::uint8_t>(n));
            p->bgr.push_back(static_cast<std::uint8_t>(255 - n));
            p->bgr.push_back(0);
        }
        return p;
    }
    std::vector<std::int64_t> requested;

  private:
    std::string path_;
    std::int64_t count_;
    std::vector<std::int64_t> broken_;
    std::vector<std::int64_t>* requested_;
};

struct Extraction : ::testing::Test {
    FileWriter files;
    TempDir tmp;
    std::string app_folder = tmp.make_dir("app");
    std::string rsio = tmp.make_dir("rsio");
    std::string bmp = app_folder + "/currentcapture.bmp";
    FixedClock clock{DateTime{2007, 3, 1, 9, 5, 3}};
    DebugLog log{files, rsio, clock};
    ScriptedDialogs dialogs;
    std::vector<std::int64_t> requested;  // frames asked of the videos opened

    VideoOpener opener(std::int64_t count, std::vector<std::int64_t> broken = {}) {
        return [this, count, broken](const std::string& path,
                                     std::string* error) -> std::unique_ptr<VideoFile> {
            if (path.find("missing") != std::string::npos) {
                if (error)
                    *error = "cannot open " + path + ": No such file or directory";
                return nullptr;
            }
            return std::make_unique<FakeVideo>(path, count, broken, &requested);
        };
    }

    // Blue of the bottom-left pixel of the picture file: the frame index.
    int frame_in_file() {
        const std::string f = slurp(bmp);
        return f.size() > 54 ? static_cast<std::uint8_t>(f[54]) : -1;
    }
};

TEST_F(Extraction, WritesExactlyTheCurrentFrame) {
    for (std::int64_t n : {0, 41, 99}) {
        EXPECT_EQ(
            ExtractFrameToBitmap("/v/jump.avi", n, app_folder, files, dialogs, &log, opener(100)),
            ExtractOutcome::Written);
        EXPECT_EQ(frame_in_file(), n);
        EXPECT_EQ(requested, std::vector<std::int64_t>{n});
        requested.clear();
    }
    EXPECT_TRUE(dialogs.prompts().empty());
    // A 7-pixel row of 21 bytes is padded to 24.
    EXPECT_EQ(slurp(bmp).size(), 54u + 24 * 3);
    // Frame numbers are not limited to 16 bits.
    EXPECT_EQ(
        ExtractFrameToBitmap("/v/long.avi", 40000, app_folder, files, dialogs, &log, opener(50000)),
        ExtractOutcome::Written);
    EXPECT_EQ(frame_in_file(), 40000 % 256);
}

TEST_F(Extraction, FrameBeyondTheEndKeepsTheOldPicture) {
    ASSERT_EQ(ExtractFrameToBitmap("/v/jump.avi", 7, app_folder, files, dialogs, &log, opener(100)),
              ExtractOutcome::Written);
    const std::string before = slurp(bmp);
    for (std::int64_t n : {100, 5000}) {
        dialogs.clear();
        EXPECT_EQ(
            ExtractFrameToBitmap("/v/jump.avi", n, app_folder, files, dialogs, &log, opener(100)),
            ExtractOutcome::BeyondEnd);
        EXPECT_EQ(dialogs.messages(),
                  std::vector<std::string>{"Frame " + std::to_string(n) +
                                           " is beyond the end of the video:\r\n/v/jump.avi"});
        EXPECT_EQ(dialogs.last().icon, MsgIcon::Information);
        EXPECT_EQ(slurp(bmp), before);
    }
    EXPECT_NE(slurp(log.path())
                  .find("Frame extraction failed: frame 100 is outside the 100 "
                        "frames of /v/jump.avi"),
              std::string::npos);
}

TEST_F(Extraction, FailuresAreToldAndLeaveThePictureAlone) {
    spit(bmp, "earlier picture");

    EXPECT_EQ(
        ExtractFrameToBitmap("/v/missing.avi", 1, app_folder, files, dialogs, &log, opener(10)),
        ExtractOutcome::CannotOpen);
    EXPECT_EQ(dialogs.last().text, "There was an error working with the file:\r\n/v/missing.avi");
    EXPECT_EQ(dialogs.last().icon, MsgIcon::Information);

    EXPECT_EQ(
        ExtractFrameToBitmap("/v/jump.avi", 3, app_folder, files, dialogs, &log, opener(10, {3})),
        ExtractOutcome::NoFrame);
    EXPECT_EQ(dialogs.last().text, "No suitable decompressor found for this video stream!");
    EXPECT_EQ(slurp(bmp), "earlier picture");

    const std::string log_text = slurp(log.path());
    EXPECT_NE(log_text.find("No such file or directory"), std::string::npos);
    EXPECT_NE(log_text.find("no frame 3"), std::string::npos);

    // The application folder gone: the operator must not measure on an
    // earlier picture unawares.
    dialogs.clear();
    const std::string gone = tmp.file("gone");
    EXPECT_EQ(ExtractFrameToBitmap("/v/jump.avi", 3, gone, files, dialogs, &log, opener(10)),
              ExtractOutcome::WriteFailed);
    EXPECT_EQ(dialogs.messages(), std::vector<std::string>{"Unable to write the picture file:\r\n" +
                                                           gone + "/currentcapture.bmp"});
    EXPECT_EQ(dialogs.last().icon, MsgIcon::Critical);
}

TEST_F(Extraction, AStreamWithNoDecoderIsSaidSo) {
    spit(bmp, "earlier picture");
    auto no_decoder = [](const std::string& path, std::string* error) {
        if (error)
            *error = "cannot open " + path + ": " + kNoDecoderText;
        return std::unique_ptr<VideoFile>();
    };
    EXPECT_EQ(ExtractFrameToBitmap("/v/odd.avi", 3, app_folder, files, dialogs, &log, no_decoder),
              ExtractOutcome::NoDecoder);
    EXPECT_EQ(dialogs.messages(),
              std::vector<std::string>{"No suitable decompressor found for this video stream!"});
    EXPECT_EQ(dialogs.last().icon, MsgIcon::Information);
    EXPECT_EQ(slurp(bmp), "earlier picture");
}

// The take writes the picture it is given, as decoded for the screen: no
// video is opened and nothing is decoded again.
TEST_F(Extraction, TheTakeWritesThePictureShown) {
    Picture24 shown;
    shown.width = 7;
    shown.height = 3;
    for (int i = 0; i < 7 * 3; ++i) {
        shown.bgr.push_back(42);
        shown.bgr.push_back(0);
        shown.bgr.push_back(static_cast<std::uint8_t>(i));
    }
    EXPECT_EQ(TakePictureToBitmap(shown, "/v/jump.avi", 42, app_folder, files, dialogs, &log),
              ExtractOutcome::Written);
    EXPECT_EQ(frame_in_file(), 42);
    EXPECT_TRUE(dialogs.prompts().empty());
    // Byte for byte what the extraction of the same picture writes.
    const std::string taken = slurp(bmp);
    auto same = [&](const std::string&, std::string*) -> std::unique_ptr<VideoFile> {
        struct One final : VideoFile {
            explicit One(const Picture24& p) : pic(std::make_shared<Picture24>(p)) {}
            const std::string& path() const override { return name; }
            std::int64_t frame_count() const override { return 50; }
            double frame_rate() const override { return 30; }
            int width() const override { return 7; }
            int height() const override { return 3; }
            FramePtr frame(std::int64_t, std::string*) override { return pic; }
            FramePtr pic;
            std::string name = "one";
        };
        return std::make_unique<One>(shown);
    };
    ASSERT_EQ(ExtractFrameToBitmap("/v/jump.avi", 42, app_folder, files, dialogs, &log, same),
              ExtractOutcome::Written);
    EXPECT_EQ(slurp(bmp), taken);

    // A picture that cannot be written leaves the earlier one, with the
    // operator told.
    const std::string gone = tmp.file("gone");
    EXPECT_EQ(TakePictureToBitmap(shown, "/v/jump.avi", 42, gone, files, dialogs, &log),
              ExtractOutcome::WriteFailed);
    EXPECT_EQ(dialogs.last().icon, MsgIcon::Critical);
    Picture24 empty;
    EXPECT_EQ(TakePictureToBitmap(empty, "/v/jump.avi", 42, app_folder, files, dialogs, &log),
              ExtractOutcome::Refused);
    EXPECT_EQ(slurp(bmp), taken);
}

TEST_F(Extraction, QuietExtractionForTheCommandLine) {
    const std::string out = tmp.file("out.bmp");
    std::string detail;
    EXPECT_EQ(extract_frame_to_bmp(files, "/v/jump.avi", -1, out, opener(10), &detail),
              ExtractOutcome::BeyondEnd);
    EXPECT_EQ(extract_frame_to_bmp(files, "/v/jump.avi", 9, out, opener(10), &detail),
              ExtractOutcome::Written);
    cDIB dib;
    ASSERT_TRUE(dib.CreateFromFile(out, dialogs));
    EXPECT_EQ(dib.Width(), 7);
    EXPECT_EQ(dib.Height(), 3);
    EXPECT_EQ(dib.PointerToBits()[0], 9);
    EXPECT_TRUE(dialogs.prompts().empty());
}

// Through the program's own decoder: the picture holds exactly the frame
// asked for, in an intra-only video and in one with B-frames.
TEST_F(Extraction, RealVideosGiveTheExactFrame) {
    for (const char* codec : {"-c:v mjpeg -q:v 2", "-c:v libx264 -g 8 -bf 2 -pix_fmt yuv420p"}) {
        const std::string video = tmp.file("jump.avi");
        if (!test::make_marked_video(video, 24, codec, "66x50"))
            GTEST_SKIP() << "ffmpeg is not available";
        for (std::int64_t n : {23, 2, 9, 8, 0}) {
            ASSERT_EQ(
                ExtractFrameToBitmap(video, n, app_folder, files, dialogs, &log, open_video_file),
                ExtractOutcome::Written)
                << codec;
            cDIB dib;
            ASSERT_TRUE(dib.CreateFromFile(bmp, dialogs));
            ASSERT_EQ(dib.Width(), 66);
            ASSERT_EQ(dib.Height(), 50);
            const std::uint8_t* px = dib.PointerToBits() + 25 * bmp_row_stride(66, 24) + 33 * 3;
            EXPECT_EQ(test::marked_frame(px[2], px[1]), n) << codec;
        }
        const std::string before = slurp(bmp);
        EXPECT_EQ(
            ExtractFrameToBitmap(video, 24, app_folder, files, dialogs, &log, open_video_file),
            ExtractOutcome::BeyondEnd);
        EXPECT_EQ(slurp(bmp), before);
        EXPECT_EQ(dialogs.messages(),
                  std::vector<std::string>{"Frame 24 is beyond the end of the video:\r\n" + video});
        dialogs.clear();
    }
}

// A capture cut off in the middle (the recorder stopped, the disk filled):
// its headers still read, and the frames before the cut can be taken.
TEST_F(Extraction, CutOffVideoStillGivesItsEarlyFrames) {
    const std::string video = tmp.file("whole.avi");
    if (!test::make_marked_video(video, 24, "-c:v mjpeg -q:v 2", "66x50"))
        GTEST_SKIP() << "ffmpeg is not available";
    const std::string whole = slurp(video);
    const std::string cut = tmp.file("cut.avi");
    spit(cut, whole.substr(0, whole.size() * 3 / 4));

    AviFileInfoRecord r;
    EXPECT_EQ(read_avi_info(cut, r), AviReadStatus::Ok);
    EXPECT_EQ(r.dwWidth, 66u);
    ASSERT_EQ(ExtractFrameToBitmap(cut, 3, app_folder, files, dialogs, &log, open_video_file),
              ExtractOutcome::Written);
    cDIB dib;
    ASSERT_TRUE(dib.CreateFromFile(bmp, dialogs));
    const std::uint8_t* px = dib.PointerToBits() + 25 * bmp_row_stride(66, 24) + 33 * 3;
    EXPECT_EQ(test::marked_frame(px[2], px[1]), 3);
    EXPECT_TRUE(dialogs.prompts().empty());
    // The last frames went with the cut.
    EXPECT_EQ(ExtractFrameToBitmap(cut, 23, app_folder, files, dialogs, &log, open_video_file),
              ExtractOutcome::BeyondEnd);
}

}  // namespace
}  // namespace rs
