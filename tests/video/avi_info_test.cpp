#include "video/avi_info.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"
#include "tests/video/avi_test_files.h"

namespace rs {
namespace {

using test::AviSpec;
using test::build_avi;
using test::ScriptedDialogs;
using test::spit;
using test::TempDir;

TEST(IsAviFile, AcceptsOnlyRiffAviExactly) {
    TempDir tmp;
    ScriptedDialogs dialogs;
    struct Case {
        std::string bytes;
        bool is_avi;
    } cases[] = {
        {build_avi({}), true},
        {"RIFF" + test::le32_bytes(4) + "AVI ", true},
        {"RIFF" + test::le32_bytes(4) + "WAVE" + std::string(40, '\0'), false},
        {"RIFF" + test::le32_bytes(4) + "avi " + std::string(40, '\0'), false},
        {"riff" + test::le32_bytes(4) + "AVI " + std::string(40, '\0'), false},
        {"RIFF" + test::le32_bytes(4) + "AVI", false},  // 11 bytes
        {"RIFF", false},
        {"", false},
    };
    int i = 0;
    for (const auto& c : cases) {
        const std::string path = tmp.file("probe" + std::to_string(i++) + ".avi");
        spit(path, c.bytes);
        EXPECT_EQ(IsAviFile(path, dialogs), c.is_avi) << "case " << i;
    }
    // A file that is simply not an AVI is refused without a word.
    EXPECT_TRUE(dialogs.prompts().empty());
}

TEST(IsAviFile, MissingFileOrFolderIsReported) {
    TempDir tmp;
    ScriptedDialogs dialogs;
    const std::string missing = tmp.file("none.avi");
    EXPECT_FALSE(IsAviFile(missing, dialogs));
    ASSERT_EQ(dialogs.prompts().size(), 1u);
    EXPECT_EQ(dialogs.last().text, "File does not exist:\r\n" + missing);
    EXPECT_EQ(dialogs.last().icon, MsgIcon::Critical);
    EXPECT_EQ(dialogs.last().title, "Rampsight Measurement");

    EXPECT_FALSE(IsAviFile(tmp.path(), dialogs));
    EXPECT_EQ(dialogs.prompts().size(), 2u);
}

TEST(AviInfo, ReadsTheVideoStreamHeaders) {
    TempDir tmp;
    AviSpec layout;
    layout.flags = 0x10 | 0x100 | 0x10000;
    layout.width = 720;
    layout.height = 576;
    layout.length = 1234;
    layout.total_frames = 999;  // first RIFF part only; the stream counts all
    layout.audio_first = true;  // video is stream 1: index entries "01dc"
    layout.index = test::idx1_entry("00wb", 0) + test::idx1_entry("01dc", 0x10) +
                   test::idx1_entry("01dc", 0x10);
    const std::string path = tmp.file("a.avi");
    spit(path, build_avi(layout));

    AviFileInfoRecord r;
    ASSERT_EQ(read_avi_info(path, r), AviReadStatus::Ok);
    EXPECT_EQ(r.dwFlags, 0x10110u);
    EXPECT_EQ(r.dwWidth, 720u);
    EXPECT_EQ(r.dwHeight, 576u);
    EXPECT_EQ(r.dwScale, 1001u);
    EXPECT_EQ(r.dwRate, 30000u);
    EXPECT_EQ(r.dwLength, 1234u);
    EXPECT_EQ(r.szFileType, "AVI file");
    // Readable, compressed, and the index marks every video chunk a key
    // frame (the audio entry without the flag does not count).
    EXPECT_EQ(r.dwCaps, kAviCapsCanRead | kAviCapsAllKeyFrames);
}

TEST(AviInfo, CapabilitiesFollowTheIndexAndTheCodec) {
    TempDir tmp;
    auto caps_of = [&](const AviSpec& layout) {
        const std::string path = tmp.file("c.avi");
        spit(path, build_avi(layout));
        AviFileInfoRecord r;
        EXPECT_EQ(read_avi_info(path, r), AviReadStatus::Ok);
        return r.dwCaps;
    };
    AviSpec h264;
    h264.handler = "H264";
    h264.compression = "H264";
    // No index: a long-GOP codec is not all key frames.
    EXPECT_EQ(caps_of(h264), kAviCapsCanRead);
    // An index with one delta frame says so too, with or without the codec.
    h264.index = test::idx1_entry("00dc", 0x10) + test::idx1_entry("00dc", 0);
    EXPECT_EQ(caps_of(h264), kAviCapsCanRead);
    AviSpec mjpeg;
    mjpeg.index = h264.index;
    EXPECT_EQ(caps_of(mjpeg), kAviCapsCanRead);
    // No index: MJPEG has nothing but key frames.
    mjpeg.index.clear();
    EXPECT_EQ(caps_of(mjpeg), kAviCapsCanRead | kAviCapsAllKeyFrames);

    AviSpec raw;
    raw.handler = "DIB ";
    raw.compression = std::string(4, '\0');
    EXPECT_EQ(caps_of(raw), kAviCapsCanRead | kAviCapsAllKeyFrames | kAviCapsNoCompression);
}

TEST(AviInfo, FrameRateRoundsHalfToEven) {
    EXPECT_EQ(avi_frame_rate(30000, 1001), 30u);
    EXPECT_EQ(avi_frame_rate(25, 2), 12u);  // 12.5
    EXPECT_EQ(avi_frame_rate(27, 2), 14u);  // 13.5
    EXPECT_EQ(avi_frame_rate(30, 1), 30u);
    EXPECT_EQ(avi_frame_rate(2997, 100), 30u);
    EXPECT_EQ(avi_frame_rate(1499, 100), 15u);
    EXPECT_EQ(avi_frame_rate(30, 0), 0u);
    EXPECT_EQ(avi_frame_rate(0, 1), 0u);
    // No overflow at the ends of the 32-bit fields.
    EXPECT_EQ(avi_frame_rate(0xffffffffu, 1), 0xffffffffu);
    EXPECT_EQ(avi_frame_rate(0xffffffffu, 0xfffffffeu), 1u);
    EXPECT_EQ(avi_frame_rate(0x80000001u, 0xfffffffeu), 1u);
}

TEST(AviInfo, DescribeGivesTheNineteenLines) {
    TempDir tmp;
    AviSpec layout;
    layout.flags = 0x10 | 0x20 | 0x100 | 0x10000 | 0x20000;
    layout.scale = 2;
    layout.rate = 25;
    layout.length = 40000;  // beyond 16 bits
    const std::string path = tmp.file("d.avi");
    spit(path, build_avi(layout));
    ScriptedDialogs dialogs;
    const std::vector<std::string> expected = {
        "Filename: " + path,
        "File Type: AVI file",
        "Height: 480",
        "Width: 640",
        "Length: 40000 frames",
        "Rate: 12fps",
        "",
        "=== dwCaps ===",
        "Compressed: True",
        "All Key Frames: True",
        "Can Read: True",
        "Can Write: False",
        "",
        "=== dwFlags ===",
        "Contains Copyright Info: True",
        "Capture File: True",
        "Has Index: True",
        "Must Use Index: True",
        "Interleaved: True",
    };
    EXPECT_EQ(DescribeAviFile(path, dialogs), expected);
    EXPECT_TRUE(dialogs.prompts().empty());
}

TEST(AviInfo, UnreadableFileGivesOneMessageAndEmptyValues) {
    TempDir tmp;
    const std::string wave = tmp.file("w.avi");
    spit(wave, "RIFF" + test::le32_bytes(40) + "WAVE" + std::string(40, '\0'));
    ScriptedDialogs dialogs;
    auto lines = DescribeAviFile(wave, dialogs);
    ASSERT_EQ(lines.size(), 19u);
    EXPECT_EQ(lines[1], "File Type: ");
    EXPECT_EQ(lines[2], "Height: 0");
    EXPECT_EQ(lines[5], "Rate: 0fps");
    EXPECT_EQ(lines[8], "Compressed: False");
    EXPECT_EQ(lines[10], "Can Read: False");
    EXPECT_EQ(dialogs.messages(), std::vector<std::string>{"Unable to open file:\r\n" + wave});
    EXPECT_EQ(dialogs.last().icon, MsgIcon::Critical);

    // An AVI without its main header opens but has no information.
    const std::string headless = tmp.file("h.avi");
    spit(headless, test::riff_avi(test::riff_list("hdrl", test::riff_list("strl", ""))));
    dialogs.clear();
    EXPECT_EQ(AviFrameRate(headless, dialogs), 0u);
    EXPECT_FALSE(AviCompressed(headless, dialogs));
    EXPECT_EQ(dialogs.messages(),
              (std::vector<std::string>{"Unable to read AVI file info from:\r\n" + headless,
                                        "Unable to read AVI file info from:\r\n" + headless}));
}

TEST(AviInfo, CutOrDamagedFilesNeverReadOutsideThemselves) {
    TempDir tmp;
    AviSpec layout;
    layout.audio_first = true;
    layout.index = test::idx1_entry("01dc", 0x10) + test::idx1_entry("01dc", 0);
    const std::string whole = build_avi(layout);
    const std::string path = tmp.file("cut.avi");
    AviFileInfoRecord r;
    // Every prefix: the walk must stop at the end of the bytes there are.
    // (Each version is a new file: rewriting one file in place makes the
    // file system flush it every time.)
    for (std::size_t n = 0; n <= whole.size(); ++n) {
        const std::string cut = tmp.file("cut" + std::to_string(n));
        spit(cut, whole.substr(0, n));
        const AviReadStatus st = read_avi_info(cut, r);
        if (n < 12) {
            EXPECT_EQ(st, AviReadStatus::CannotOpen) << n;
        }
        if (n == whole.size()) {
            EXPECT_EQ(st, AviReadStatus::Ok);
        }
    }

    // Sizes that claim gigabytes, at the top level and inside the headers.
    std::string hostile = whole;
    hostile.replace(4, 4, test::le32_bytes(0xffffffff));
    hostile.replace(16, 4, test::le32_bytes(0xfffffff0));  // LIST hdrl
    spit(path, hostile);
    EXPECT_EQ(read_avi_info(path, r), AviReadStatus::Ok);

    // A main header too short to hold the frame size.
    spit(path, test::riff_avi(test::riff_list("hdrl", test::riff_chunk("avih", "12345678"))));
    EXPECT_EQ(read_avi_info(path, r), AviReadStatus::BadHeader);

    // Lists nested far deeper than any real file.
    std::string nest = test::avih_chunk(0, 1, 2, 3);
    for (int i = 0; i < 200; ++i)
        nest = test::riff_list("odml", nest);
    spit(path, test::riff_avi(test::riff_list("hdrl", nest)));
    EXPECT_EQ(read_avi_info(path, r), AviReadStatus::BadHeader);

    // Random damage to a good file: any answer is fine, a wild read is not
    // (the sanitizer build turns one into a failure).
    std::mt19937 rng(5);
    for (int round = 0; round < 1000; ++round) {
        std::string bytes = whole;
        for (int k = 0; k < 6; ++k) {
            std::size_t at = 12 + rng() % (bytes.size() - 12);
            bytes[at] = static_cast<char>(rng() % 4 == 0 ? 0xff : rng());
        }
        const std::string damaged = tmp.file("damaged" + std::to_string(round));
        spit(damaged, bytes);
        (void)read_avi_info(damaged, r);
    }
}

struct MadeVideo {
    const char* codec_args;
    bool compressed;
    bool all_key;
};

TEST(AviInfo, VideosMadeByFfmpeg) {
    TempDir tmp;
    const MadeVideo videos[] = {
        {"-c:v mjpeg -q:v 5", true, true},
        {"-c:v rawvideo -pix_fmt bgr24", false, true},
        {"-c:v libx264 -g 12 -bf 2 -pix_fmt yuv420p", true, false},
    };
    for (const auto& v : videos) {
        const std::string path = tmp.file("made.avi");
        if (!test::make_video_with_ffmpeg(path, 25, "30000/1001", "160x120", v.codec_args))
            GTEST_SKIP() << "ffmpeg is not available";
        ScriptedDialogs dialogs;
        EXPECT_TRUE(IsAviFile(path, dialogs));
        AviFileInfoRecord r;
        ASSERT_TRUE(ReadAviFileInfo(path, r, dialogs)) << v.codec_args;
        EXPECT_EQ(r.dwWidth, 160u);
        EXPECT_EQ(r.dwHeight, 120u);
        EXPECT_EQ(r.dwLength, 25u) << v.codec_args;
        EXPECT_EQ(avi_frame_rate(r.dwRate, r.dwScale), 30u);
        EXPECT_EQ(AviCompressed(path, dialogs), v.compressed) << v.codec_args;
        EXPECT_EQ(AviAllKeyFrames(path, dialogs), v.all_key) << v.codec_args;
        EXPECT_TRUE(AviHasIndex(path, dialogs));
        EXPECT_TRUE(dialogs.prompts().empty());
    }
}

}  // namespace
}  // namespace rs
