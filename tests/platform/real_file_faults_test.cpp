// Frame exactness on the faults of real AVI files, each made from a
// generated video whose frames carry their numbers in their pixels: key
// flags on pictures that are none, frames not coded, an index that covers
// part of the file, a capture cut short, a second video stream, a file over
// 1 GB with OpenDML indexes, pictures too large to take.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "platform/ffmpeg_video_file.h"
#include "tests/platform/avi_edit.h"
#include "tests/platform/test_videos.h"
#include "tests/support/temp_dir.h"

namespace rs {
namespace {

using test::make_video;
using test::read_mark;
using test::VideoRecipe;

std::unique_ptr<VideoFile> open_video(const std::string& path) {
    std::string error;
    auto file = VideoFile::open(path, &error);
    EXPECT_TRUE(file) << error;
    return file;
}

int mark(VideoFile& file, std::int64_t n) {
    std::string error;
    FramePtr pic = file.frame(n, &error);
    EXPECT_TRUE(pic) << "frame " << n << ": " << error;
    return pic ? read_mark(*pic) : -1;
}

// Every frame of a fresh opening, backwards (each group started again from
// its key) and then forwards; and a few frames each from a cold opening.
void expect_every_frame(const std::string& path, const std::vector<int>& expected) {
    auto file = open_video(path);
    ASSERT_TRUE(file);
    ASSERT_EQ(file->frame_count(), static_cast<std::int64_t>(expected.size()));
    for (std::int64_t n = file->frame_count() - 1; n >= 0; --n)
        ASSERT_EQ(mark(*file, n), expected[static_cast<size_t>(n)]) << "frame " << n;
    for (std::int64_t n = 0; n < file->frame_count(); ++n)
        ASSERT_EQ(mark(*file, n), expected[static_cast<size_t>(n)]) << "frame " << n;
    for (std::int64_t n : {std::int64_t{13}, file->frame_count() / 2, file->frame_count() - 2}) {
        auto cold = open_video(path);
        ASSERT_TRUE(cold);
        EXPECT_EQ(mark(*cold, n), expected[static_cast<size_t>(n)]) << "cold frame " << n;
    }
}

std::vector<int> numbers(int count) {
    std::vector<int> v(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        v[static_cast<size_t>(i)] = i;
    return v;
}

std::string made(test::TempDir& dir, const VideoRecipe& recipe) {
    const std::string path = dir.file(recipe.name + "." + recipe.container);
    EXPECT_TRUE(make_video(recipe, path)) << recipe.name;
    return path;
}

// Frames as FFmpeg's own decoder counts them.
long ffmpeg_frame_count(const std::string& path) {
    const std::string cmd =
        "ffprobe -v error -count_frames -select_streams v:0 -show_entries "
        "stream=nb_read_frames -of csv=p=0 '" +
        path + "'";
    FILE* pipe = popen(cmd.c_str(), "r");
    if (!pipe)
        return -1;
    long n = -1;
    if (std::fscanf(pipe, "%ld", &n) != 1)
        n = -1;
    pclose(pipe);
    return n;
}

TEST(RealFileFaults, KeyFlagsOnPicturesThatAreNoneAreNotBelieved) {
    // Capture programs that flag every frame as a key frame, over codecs
    // with a real key picture only every 12 frames: MPEG-4 and DivX 3.
    test::TempDir dir;
    for (const VideoRecipe& recipe :
         {VideoRecipe{"mpeg4", "avi", "-c:v mpeg4 -q:v 2 -bf 0 -g 12", 320, 240, "30", 40, ""},
          VideoRecipe{"div3", "avi", "-c:v msmpeg4 -vtag DIV3 -q:v 2 -g 12", 320, 240, "30", 40,
                      ""}}) {
        SCOPED_TRACE(recipe.name);
        std::string avi = test::slurp(made(dir, recipe));
        ASSERT_FALSE(test::avi_frame_entries(avi).empty());
        test::flag_every_frame_key(avi);
        const std::string path = dir.file(recipe.name + "_allkeys.avi");
        test::spit(path, avi);
        expect_every_frame(path, numbers(40));
    }
}

TEST(RealFileFaults, AFrameNotCodedShowsThePictureBeforeAndShiftsNothing) {
    // Frame 20 repeats frame 19; its packet is then made a "not coded"
    // picture, as encoders write for a frame that did not change.
    test::TempDir dir;
    const std::string source = dir.file("nvop.avi");
    {
        const std::string cmd =
            "ffmpeg -hide_banner -loglevel error -y -f rawvideo -pix_fmt bgr24 "
            "-s 320x240 -r 30 -i - -c:v mpeg4 -q:v 2 -bf 0 -g 12 '" +
            source + "'";
        FILE* pipe = popen(cmd.c_str(), "w");
        ASSERT_TRUE(pipe);
        for (int n = 0; n < 40; ++n) {
            auto frame = test::marked_frame(n == 20 ? 19 : n, 320, 240);
            std::fwrite(frame.data(), 1, frame.size(), pipe);
        }
        ASSERT_EQ(pclose(pipe), 0);
    }
    std::string avi = test::slurp(source);
    const auto entries = test::avi_frame_entries(avi);
    ASSERT_EQ(entries.size(), 40u);
    // The picture header: start code, coding type (2 bits), the seconds
    // (1s ended by a 0), a marker, the time increment (5 bits at 30 fps), a
    // marker, then the "coded" bit.
    const size_t vop = avi.find(std::string("\0\0\1\xB6", 4), entries[20].data_at);
    ASSERT_LT(vop, entries[20].data_at + 16);
    size_t bit = (vop + 4) * 8 + 2;
    auto bit_at = [&](size_t b) {
        return (static_cast<unsigned char>(avi[b / 8]) >> (7 - b % 8)) & 1;
    };
    while (bit_at(bit))
        ++bit;
    bit += 1;
    ASSERT_EQ(bit_at(bit), 1) << "marker";
    bit += 1 + 5;
    ASSERT_EQ(bit_at(bit), 1) << "marker";
    bit += 1;
    ASSERT_EQ(bit_at(bit), 1) << "coded";
    avi[bit / 8] = static_cast<char>(avi[bit / 8] & ~(1 << (7 - bit % 8)));
    const std::string path = dir.file("not_coded.avi");
    test::spit(path, avi);

    std::vector<int> expected = numbers(40);
    expected[20] = 19;
    expect_every_frame(path, expected);
}

TEST(RealFileFaults, XvidPackedBPicturesAreExact) {
    // A reference and a B-picture stored in one chunk, a small placeholder
    // chunk where the reference is shown, one chunk a frame as Xvid's
    // capture codec writes them. The ffmpeg tool leaves two empty chunks at
    // the start for the encoder's delay and no placeholder after the last
    // packed chunk: the file is laid out again as a capture has it.
    if (!test::have_encoder("libxvid"))
        GTEST_SKIP() << "this ffmpeg has no Xvid encoder";
    test::TempDir dir;
    const std::string source =
        made(dir, {"xvid", "avi", "-c:v libxvid -q:v 2 -bf 2 -g 12", 320, 240, "30", 62, ""});
    const std::string original = test::slurp(source);
    std::string placeholder;
    for (const auto& e : test::avi_frame_entries(original)) {
        if (e.size > 0 && e.size <= 8 && placeholder.empty())
            placeholder = original.substr(e.data_at, e.size);
    }
    ASSERT_FALSE(placeholder.empty()) << "no packed B-pictures";
    const std::string path = dir.file("xvid_packed.avi");
    test::spit(path, test::without_empty_chunks(original, placeholder));
    auto file = open_video(path);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->problem(), "");
    std::vector<int> expected = numbers(static_cast<int>(file->frame_count()));
    EXPECT_EQ(file->frame_count(), 61);
    expect_every_frame(path, expected);
}

TEST(RealFileFaults, AnIndexCoveringPartOfTheFileIsCompletedByReading) {
    test::TempDir dir;
    for (const VideoRecipe& recipe :
         {VideoRecipe{"mjpeg", "avi", "-c:v mjpeg -q:v 3", 320, 240, "30", 40, ""},
          VideoRecipe{"mpeg4", "avi", "-c:v mpeg4 -q:v 2 -bf 0 -g 12", 320, 240, "30", 40, ""}}) {
        SCOPED_TRACE(recipe.name);
        std::string avi = test::slurp(made(dir, recipe));
        test::cut_index(avi, 15);
        const std::string path = dir.file(recipe.name + "_part_index.avi");
        test::spit(path, avi);
        expect_every_frame(path, numbers(40));
    }
}

TEST(RealFileFaults, ACaptureCutShortGivesEveryFrameThatDecodes) {
    // MPEG-4 with B-pictures, cut at 60% of its bytes: no index at the end.
    test::TempDir dir;
    const std::string full =
        made(dir, {"bframes", "avi", "-c:v mpeg4 -q:v 2 -bf 2 -g 12", 320, 240, "30", 180, ""});
    const std::string cut = dir.file("cut.avi");
    std::filesystem::copy_file(full, cut);
    std::filesystem::resize_file(cut, std::filesystem::file_size(full) * 6 / 10);
    const long decoded = ffmpeg_frame_count(cut);
    ASSERT_GT(decoded, 60);
    auto file = open_video(cut);
    ASSERT_TRUE(file);
    // FFmpeg counts the picture of the packet cut in half; the last
    // reference picture, whose place after the lost B-pictures cannot be
    // known, is left out too.
    EXPECT_GE(file->frame_count(), decoded - 2);
    EXPECT_LE(file->frame_count(), decoded);
    expect_every_frame(cut, numbers(static_cast<int>(file->frame_count())));
}

TEST(RealFileFaults, AFrameWhoseBytesAreLostIsRefusedWithAReason) {
    // A bad sector: frame 3's chunk keeps its size and loses its bytes.
    // The frames around it are given; frame 3 is refused with its reason,
    // with the index and without one.
    test::TempDir dir;
    std::string avi =
        test::slurp(made(dir, {"lost", "avi", "-c:v mjpeg -q:v 5", 64, 48, "30", 8, ""}));
    const auto entries = test::avi_frame_entries(avi);
    ASSERT_GT(entries.size(), 3u);
    avi.replace(entries[3].data_at, entries[3].size, std::string(entries[3].size, '\0'));
    const std::string indexed = dir.file("indexed.avi");
    test::spit(indexed, avi);
    test::cut_index(avi, 0);
    const std::string unindexed = dir.file("unindexed.avi");
    test::spit(unindexed, avi);
    for (const std::string& path : {indexed, unindexed}) {
        SCOPED_TRACE(path);
        auto file = open_video(path);
        ASSERT_TRUE(file);
        for (std::int64_t n : {4, 3, 2}) {
            std::string why;
            FramePtr pic = file->frame(n, &why);
            if (n == 3) {
                EXPECT_FALSE(pic);
                EXPECT_NE(why.find("frame 3 of " + path), std::string::npos) << why;
            } else {
                ASSERT_TRUE(pic) << why;
                EXPECT_EQ(read_mark(*pic), n);
            }
        }
    }
}

TEST(RealFileFaults, TheFirstVideoStreamIsTheOneShown) {
    // A second, larger video stream that FFmpeg's own choice would take.
    test::TempDir dir;
    const std::string path = dir.file("two.avi");
    const std::string cmd =
        "ffmpeg -hide_banner -loglevel error -y -f rawvideo -pix_fmt bgr24 -s 320x240 -r 30 -i - "
        "-f lavfi -i testsrc=size=640x480:rate=30 -map 0:v -map 1:v -c:v mjpeg -q:v 3 -shortest '" +
        path + "'";
    FILE* pipe = popen(cmd.c_str(), "w");
    ASSERT_TRUE(pipe);
    for (int n = 0; n < 20; ++n) {
        auto frame = test::marked_frame(n, 320, 240);
        std::fwrite(frame.data(), 1, frame.size(), pipe);
    }
    ASSERT_EQ(pclose(pipe), 0);
    auto file = open_video(path);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->width(), 320);
    EXPECT_EQ(file->height(), 240);
    EXPECT_EQ(mark(*file, 7), 7);
}

TEST(RealFileFaults, PicturesLargerThanTheProgramTakesAreRefused) {
    test::TempDir dir;
    const std::string path =
        made(dir, {"wide", "avi", "-c:v mjpeg -q:v 10", kMaxPictureSide + 16, 16, "30", 2, ""});
    std::string error;
    EXPECT_FALSE(VideoFile::open(path, &error));
    EXPECT_NE(error.find("8208 x 16 pixels"), std::string::npos) << error;
    EXPECT_NE(error.find("8192"), std::string::npos) << error;
}

// Over 1 GB: the AVI is written as OpenDML, with a second RIFF and the
// second-level indexes; every frame is there, the last ones past 1 GB.
TEST(RealFileFaults, AnOpenDmlFileOverOneGigabyteGivesEveryFrame) {
    test::TempDir dir;
    const VideoRecipe recipe{"big", "avi", "-c:v rawvideo -pix_fmt bgr24", 1920, 1080, "25",
                             185,   ""};
    const std::string path = made(dir, recipe);
    ASSERT_GT(std::filesystem::file_size(path), std::uintmax_t{1} << 30);
    auto file = open_video(path);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->frame_count(), 185);
    for (std::int64_t n : {0, 1, 90, 172, 173, 183, 184})
        EXPECT_EQ(mark(*file, n), n);
}

}  // namespace
}  // namespace rs
