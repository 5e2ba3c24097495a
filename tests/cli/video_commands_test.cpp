#include <gtest/gtest.h>

#include <sstream>

#include "cli/command_registry.h"
#include "tests/cli/cli_run.h"
#include "tests/support/fifo.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"
#include "tests/video/avi_test_files.h"
#include "video/dib.h"

namespace rs::cli {
namespace {

using test::slurp;
using test::spit;
using test::TempDir;

using test::CliRun;
CliRun run(const std::vector<std::string>& args) {
    return test::cli(args);
}

// The frame index shown by the middle pixel of a BMP of a marked video.
int frame_in_bmp(const std::string& path) {
    test::ScriptedDialogs dialogs;
    cDIB dib;
    if (!dib.CreateFromFile(path, dialogs))
        return -2;
    const std::uint32_t stride = bmp_row_stride(dib.Width(), 24);
    const std::uint8_t* px =
        dib.PointerToBits() + (dib.Height() / 2) * stride + (dib.Width() / 2) * 3;
    return test::marked_frame(px[2], px[1]);
}

TEST(VideoCommands, DescribePrintsTheInformationLines) {
    TempDir tmp;
    const std::string path = tmp.file("d.avi");
    spit(path, test::build_avi({}));
    CliRun r = run({"describe", path});
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_EQ(r.out.substr(0, r.out.find("\n\n")),
              "Filename: " + path +
                  "\nFile Type: AVI file\nHeight: 480\nWidth: 640\nLength: 100 frames\nRate: "
                  "30fps");
    EXPECT_NE(r.out.find("\nInterleaved: True\n"), std::string::npos);

    const std::string wave = tmp.file("w.wav");
    spit(wave, "RIFF" + test::le32_bytes(4) + "WAVE");
    r = run({"describe", wave});
    EXPECT_EQ(r.status, kExitUsage);
    EXPECT_NE(r.err.find("Unable to open file: " + wave), std::string::npos);
    EXPECT_EQ(run({"describe"}).status, kExitUsage);
}

TEST(VideoCommands, ExtractWritesExactlyFrameN) {
    TempDir tmp;
    const struct {
        const char* name;
        const char* codec_args;
    } videos[] = {
        {"mjpeg.avi", "-c:v mjpeg -q:v 2"},
        {"raw.avi", "-c:v rawvideo -pix_fmt bgr24"},
        {"h264.avi", "-c:v libx264 -g 10 -bf 2 -pix_fmt yuv420p"},
    };
    for (const auto& v : videos) {
        const std::string path = tmp.file(v.name);
        if (!test::make_marked_video(path, 30, v.codec_args))
            GTEST_SKIP() << "ffmpeg is not available";
        const std::string out = tmp.file(std::string(v.name) + ".bmp");
        for (int n : {0, 1, 13, 17, 29}) {
            CliRun r = run({"extract", path, std::to_string(n), out});
            ASSERT_EQ(r.status, kExitOk) << v.name << " " << r.err;
            EXPECT_EQ(frame_in_bmp(out), n) << v.name;
        }
        // Beyond the end: status 3, and the picture already there stays.
        const std::string before = slurp(out);
        CliRun r = run({"extract", path, "30", out});
        EXPECT_EQ(r.status, kExitNoImage) << v.name;
        EXPECT_NE(r.err.find("beyond the end"), std::string::npos);
        EXPECT_EQ(slurp(out), before);
    }
}

TEST(VideoCommands, ExtractRefusesWhatItCannotRead) {
    TempDir tmp;
    const std::string out = tmp.file("out.bmp");
    const std::string junk = tmp.file("junk.avi");
    spit(junk, "RIFF" + test::le32_bytes(4) + "AVI " + std::string(100, 'x'));
    EXPECT_EQ(run({"extract", junk, "0", out}).status, kExitUsage);
    EXPECT_EQ(run({"extract", tmp.file("none.avi"), "0", out}).status, kExitUsage);
    EXPECT_FALSE(std::filesystem::exists(out));
    for (const char* n : {"-1", "x", "1.5", "", "12a"})
        EXPECT_EQ(run({"extract", junk, n, out}).status, kExitUsage) << n;
    EXPECT_EQ(run({"extract", junk, "1"}).status, kExitUsage);
}

TEST(VideoCommands, AVideoThatIsNotAFileIsRefusedAtOnce) {
    TempDir tmp;
    const std::string fifo = tmp.file("fifo.avi");
    if (!test::make_fifo(fifo))
        GTEST_SKIP() << "no FIFOs here";
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"describe", fifo}, {"extract", fifo, "0", tmp.file("o.bmp")}}) {
        auto r = test::returns_at_once(fifo, [&] { return run(args); });
        ASSERT_TRUE(r) << args[0] << " waited on a FIFO";
        EXPECT_EQ(r->status, kExitUsage) << args[0];
        EXPECT_NE(r->err.find(fifo), std::string::npos) << r->err;
    }
    // A device and a folder neither.
    EXPECT_EQ(run({"extract", "/dev/zero", "0", tmp.file("o.bmp")}).status, kExitUsage);
    EXPECT_EQ(run({"extract", tmp.path(), "0", tmp.file("o.bmp")}).status, kExitUsage);
    EXPECT_EQ(run({"describe", "/dev/zero"}).status, kExitUsage);
    // A name is a file name, never another of FFmpeg's protocols.
    CliRun r = run({"extract", "pipe:0", "0", tmp.file("o.bmp")});
    EXPECT_EQ(r.status, kExitUsage);
    EXPECT_FALSE(std::filesystem::exists(tmp.file("o.bmp")));
}

TEST(VideoCommands, ExtractNamesThePictureItCannotWrite) {
    TempDir tmp;
    const std::string video = tmp.file("raw.avi");
    if (!test::make_marked_video(video, 3, "-c:v rawvideo -pix_fmt bgr24"))
        GTEST_SKIP() << "ffmpeg is not available";
    const std::string out = tmp.file("no such folder/o.bmp");
    CliRun r = run({"extract", video, "1", out});
    EXPECT_EQ(r.status, kExitWriteFailed);
    EXPECT_NE(r.err.find("cannot write " + out + ": No such file or directory"), std::string::npos)
        << r.err;
}

}  // namespace
}  // namespace rs::cli
