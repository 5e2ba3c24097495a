// The recordings officials bring from camcorders and capture cards: DV in
// both AVI layouts (one interleaved stream, or video and sound streams),
// interlaced MJPEG with a field pair a chunk, and the NTSC rate of
// 30000/1001 in MJPEG, H.264 and MPEG-4. Each is generated with every frame
// marked with its number and must step, seek and extract exactly, with the
// information record agreeing with the frames the decoder gives.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <random>

#include "platform/clock.h"
#include "platform/ffmpeg_video_file.h"
#include "tests/platform/dv_and_field_avi.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"
#include "video/avi_info.h"
#include "video/dib.h"
#include "video/frame_extraction.h"

namespace rs {
namespace {

using test::read_mark;

struct Kind {
    std::string name;
    int width;
    int height;
    std::uint32_t scale;
    std::uint32_t rate;
    int frames;
    bool fields;  // the field band is drawn and must come out in place
    std::function<bool(const std::string& path, const Kind&)> make;
};

void PrintTo(const Kind& kind, std::ostream* os) {
    *os << kind.name;
}

std::string rate_text(const Kind& k) {
    return std::to_string(k.rate) + (k.scale == 1 ? "" : "/" + std::to_string(k.scale));
}

// Made by the ffmpeg tool's own AVI writer.
Kind by_ffmpeg(std::string name, std::string args, int width, int height, std::uint32_t scale,
               std::uint32_t rate, int frames) {
    return {name,
            width,
            height,
            scale,
            rate,
            frames,
            false,
            [args](const std::string& path, const Kind& k) {
                return test::make_video(
                    {k.name, "avi", args, k.width, k.height, rate_text(k), k.frames, ""}, path);
            }};
}

// Sound beside the DV video, as a type 2 file from a camcorder carries it.
const char* const kWithSound =
    "-f lavfi -i sine=frequency=440:sample_rate=48000 -shortest -c:a pcm_s16le -ac 2 ";

std::vector<Kind> kinds() {
    std::vector<Kind> v = {
        {"dv_type1_ntsc", 720, 480, 1001, 30000, 30, false,
         [](const std::string& path, const Kind& k) {
             return test::make_dv_type1_avi(path, k.frames, true);
         }},
        {"dv_type1_pal", 720, 576, 1, 25, 30, false,
         [](const std::string& path, const Kind& k) {
             return test::make_dv_type1_avi(path, k.frames, false);
         }},
        by_ffmpeg("dv_type2_pal", std::string(kWithSound) + "-c:v dvvideo -pix_fmt yuv420p", 720,
                  576, 1, 25, 30),
        by_ffmpeg("dv_type2_ntsc", std::string(kWithSound) + "-c:v dvvideo -pix_fmt yuv411p", 720,
                  480, 1001, 30000, 30),
        {"field_mjpeg_pal", 720, 576, 1, 25, 30, true,
         [](const std::string& path, const Kind& k) {
             return test::make_field_mjpeg_avi(path, k.frames, k.width, k.height, rate_text(k));
         }},
        {"field_mjpeg_ntsc", 640, 480, 1001, 30000, 30, true,
         [](const std::string& path, const Kind& k) {
             return test::make_field_mjpeg_avi(path, k.frames, k.width, k.height, rate_text(k));
         }},
        by_ffmpeg("mjpeg_ntsc", "-c:v mjpeg -q:v 3", 320, 240, 1001, 30000, 40),
        by_ffmpeg("long_gop_ntsc", test::long_gop_args(12), 320, 240, 1001, 30000, 62),
        by_ffmpeg("mpeg4_ntsc", "-c:v mpeg4 -q:v 2 -bf 2 -g 12", 320, 240, 1001, 30000, 62),
    };
    return v;
}

// Each video is made once for the suite.
const std::string& video_of(const Kind& kind) {
    static test::TempDir dir;
    static std::map<std::string, std::string> made;
    auto it = made.find(kind.name);
    if (it == made.end()) {
        std::string path = dir.file(kind.name + ".avi");
        if (!kind.make(path, kind))
            path.clear();
        it = made.emplace(kind.name, path).first;
    }
    return it->second;
}

class CamcorderFormats : public ::testing::TestWithParam<Kind> {
  protected:
    void SetUp() override {
        path_ = video_of(GetParam());
        ASSERT_FALSE(path_.empty()) << "could not make " << GetParam().name;
    }
    std::unique_ptr<VideoFile> open() {
        std::string error;
        auto file = open_video_file(path_, &error);
        EXPECT_TRUE(file) << error;
        return file;
    }
    // The number marked on a picture; -2 when it is not a whole frame with
    // its fields in place.
    int number_on(const Picture24& pic) const {
        if (pic.width != GetParam().width || pic.height != GetParam().height)
            return -2;
        if (GetParam().fields && !test::fields_in_place(pic))
            return -2;
        return read_mark(pic);
    }
    int mark(VideoFile& file, std::int64_t n) const {
        std::string error;
        FramePtr pic = file.frame(n, &error);
        EXPECT_TRUE(pic) << "frame " << n << ": " << error;
        return pic ? number_on(*pic) : -1;
    }
    std::string path_;
};

TEST_P(CamcorderFormats, TheInformationRecordAgreesWithTheDecoder) {
    const Kind& k = GetParam();
    auto file = open();
    ASSERT_TRUE(file);
    EXPECT_EQ(file->frame_count(), k.frames);
    EXPECT_DOUBLE_EQ(file->frame_rate(), double(k.rate) / k.scale);
    EXPECT_EQ(file->width(), k.width);
    EXPECT_EQ(file->height(), k.height);
    EXPECT_EQ(file->problem(), "");

    // What the frame selection screen reads: its length in frames must be
    // the frames there are, its rate the whole rate it times the run with.
    AviFileInfoRecord r;
    ASSERT_EQ(read_avi_info(path_, r), AviReadStatus::Ok);
    EXPECT_EQ(r.dwLength, static_cast<std::uint32_t>(k.frames));
    EXPECT_EQ(r.dwScale, k.scale);
    EXPECT_EQ(r.dwRate, k.rate);
    EXPECT_EQ(avi_frame_rate(r.dwRate, r.dwScale), k.scale == 1001 ? 30u : 25u);
    EXPECT_EQ(r.dwWidth, static_cast<std::uint32_t>(k.width));
    EXPECT_EQ(r.dwHeight, static_cast<std::uint32_t>(k.height));
    EXPECT_NE(r.dwCaps & kAviCapsCanRead, 0u);
    EXPECT_EQ(r.dwCaps & kAviCapsNoCompression, 0u);
}

TEST_P(CamcorderFormats, EveryFrameStepsForwardsAndBackwardsExactly) {
    auto file = open();
    ASSERT_TRUE(file);
    const std::int64_t count = file->frame_count();
    for (std::int64_t n = 0; n < count; ++n)
        ASSERT_EQ(mark(*file, n), n);
    for (std::int64_t n = count - 1; n >= 0; --n)
        ASSERT_EQ(mark(*file, n), n);
}

TEST_P(CamcorderFormats, RandomSeeksLandOnTheFrameAskedFor) {
    auto file = open();
    ASSERT_TRUE(file);
    const std::int64_t count = file->frame_count();
    std::mt19937 rng(11);
    for (int i = 0; i < 30; ++i) {
        const std::int64_t n = std::uniform_int_distribution<std::int64_t>(0, count - 1)(rng);
        ASSERT_EQ(mark(*file, n), n);
    }
    // And from a fresh opening, as the extraction does.
    for (std::int64_t n : {count - 1, count / 2, std::int64_t{13}, std::int64_t{1}}) {
        auto cold = open();
        ASSERT_TRUE(cold);
        EXPECT_EQ(mark(*cold, n), n);
    }
}

TEST_P(CamcorderFormats, ARecordingCutShortGivesEveryFrameBeforeTheCut) {
    // The recorder stopped with no index written: the file is read chunk by
    // chunk.
    if (GetParam().name.rfind("dv_type1", 0) == 0) {
        // Known fault: FFmpeg's DV reader inside an AVI with no index seeks
        // to the end of the file, so no frame of such a file decodes yet.
        GTEST_SKIP() << "a DV type 1 file with no index cannot be sought in yet";
    }
    test::TempDir tmp;
    const std::string cut = tmp.file("cut.avi");
    std::string bytes = test::slurp(path_);
    bytes.resize(bytes.size() * 6 / 10);
    test::spit(cut, bytes);
    std::string error;
    auto file = open_video_file(cut, &error);
    ASSERT_TRUE(file) << error;
    const std::int64_t count = file->frame_count();
    EXPECT_GT(count, GetParam().frames / 3);
    EXPECT_LT(count, GetParam().frames);
    for (std::int64_t n = count - 1; n >= 0; --n)
        ASSERT_EQ(mark(*file, n), n);
}

TEST_P(CamcorderFormats, TheExtractedBitmapHoldsTheFrame) {
    test::TempDir tmp;
    FileWriter files;
    const std::string app_folder = tmp.make_dir("app");
    FixedClock clock{DateTime{2007, 3, 1, 9, 5, 3}};
    DebugLog log{files, tmp.make_dir("rsio"), clock};
    test::ScriptedDialogs dialogs;
    const std::int64_t last = GetParam().frames - 1;
    for (std::int64_t n : {last, std::int64_t{2}, last / 2, std::int64_t{0}}) {
        ASSERT_EQ(ExtractFrameToBitmap(path_, n, app_folder, files, dialogs, &log, open_video_file),
                  ExtractOutcome::Written)
            << "frame " << n;
        cDIB dib;
        ASSERT_TRUE(dib.CreateFromFile(app_folder + "/" + kCurrentCaptureName, dialogs));
        ASSERT_EQ(dib.BitCount(), 24);
        Picture24 pic;
        pic.width = dib.Width();
        pic.height = dib.Height();
        const std::uint32_t stride = bmp_row_stride(pic.width, 24);
        for (int y = pic.height - 1; y >= 0; --y) {
            const std::uint8_t* row = dib.PointerToBits() + static_cast<size_t>(y) * stride;
            pic.bgr.insert(pic.bgr.end(), row, row + pic.width * 3);
        }
        EXPECT_EQ(number_on(pic), n);
    }
    EXPECT_TRUE(dialogs.prompts().empty());
}

INSTANTIATE_TEST_SUITE_P(Recordings, CamcorderFormats, ::testing::ValuesIn(kinds()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace rs
