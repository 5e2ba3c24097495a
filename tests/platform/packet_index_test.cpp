// The packet index readers and the decoder, each on its own, over generated
// videos: the container's index checked against the file, a read error
// while reading the packets, and the decoder driven by hand.

#include "platform/packet_index.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "platform/video_decoder.h"
#include "tests/platform/avi_edit.h"
#include "tests/platform/test_videos.h"
#include "tests/support/temp_dir.h"

namespace rs {
namespace {

// A file in memory that fails to read past a given byte, as a disk with a
// bad sector or a network share that goes away.
struct FailingSource {
    std::string data;
    std::int64_t pos = 0;
    std::int64_t fail_at = 0;

    static int read(void* opaque, std::uint8_t* buf, int size) {
        auto* s = static_cast<FailingSource*>(opaque);
        if (s->pos >= static_cast<std::int64_t>(s->data.size()))
            return AVERROR_EOF;
        if (s->pos >= s->fail_at)
            return AVERROR(EIO);
        const std::int64_t end = std::min<std::int64_t>(
            {s->pos + size, s->fail_at, static_cast<std::int64_t>(s->data.size())});
        if (end <= s->pos)
            return AVERROR_EOF;
        std::memcpy(buf, s->data.data() + s->pos, static_cast<size_t>(end - s->pos));
        const int n = static_cast<int>(end - s->pos);
        s->pos = end;
        return n;
    }
    static std::int64_t seek(void* opaque, std::int64_t offset, int whence) {
        auto* s = static_cast<FailingSource*>(opaque);
        const auto size = static_cast<std::int64_t>(s->data.size());
        if (whence & AVSEEK_SIZE)
            return size;
        whence &= ~AVSEEK_FORCE;
        const std::int64_t to = whence == SEEK_SET   ? offset
                                : whence == SEEK_CUR ? s->pos + offset
                                                     : size + offset;
        if (to < 0 || to > size)
            return -1;
        s->pos = to;
        return to;
    }
};

struct IoFree {
    void operator()(AVIOContext* io) const {
        av_freep(&io->buffer);
        avio_context_free(&io);
    }
};

TEST(PacketIndex, AReadErrorPartWayIsAProblemNotAShorterVideo) {
    test::TempDir dir;
    const std::string path = dir.file("v.avi");
    ASSERT_TRUE(test::make_video({"v", "avi", "-c:v mjpeg -q:v 3", 320, 240, "30", 40, ""}, path));
    std::string avi = test::slurp(path);
    const auto entries = test::avi_frame_entries(avi);
    ASSERT_EQ(entries.size(), 40u);

    for (bool fails : {false, true}) {
        SCOPED_TRACE(fails);
        FailingSource src{avi, 0,
                          fails ? static_cast<std::int64_t>(entries[25].data_at)
                                : std::numeric_limits<std::int64_t>::max()};
        auto* buffer = static_cast<unsigned char*>(av_malloc(4096));
        std::unique_ptr<AVIOContext, IoFree> io(avio_alloc_context(
            buffer, 4096, 0, &src, &FailingSource::read, nullptr, &FailingSource::seek));
        AVFormatContext* raw = avformat_alloc_context();
        raw->pb = io.get();
        raw->flags |= AVFMT_FLAG_CUSTOM_IO;
        ASSERT_GE(avformat_open_input(&raw, nullptr, nullptr, nullptr), 0);
        FormatPtr fmt(raw);
        std::vector<PacketInfo> packets;
        std::string problem;
        ASSERT_TRUE(index_by_reading(fmt.get(), 0, &packets, &problem));
        if (fails) {
            EXPECT_LT(packets.size(), 26u);
            EXPECT_GT(packets.size(), 20u);
            EXPECT_EQ(problem.rfind("the file cannot be read after frame ", 0), 0u) << problem;
            EXPECT_NE(problem.find("Input/output error"), std::string::npos) << problem;
        } else {
            EXPECT_EQ(packets.size(), 40u);
            EXPECT_EQ(problem, "");
        }
    }
}

TEST(PacketIndex, AnIndexIsCheckedAgainstTheChunksOfTheFile) {
    test::TempDir dir;
    const std::string path = dir.file("v.avi");
    ASSERT_TRUE(test::make_video({"v", "avi", "-c:v mjpeg -q:v 3", 320, 240, "30", 30, ""}, path));
    std::string avi = test::slurp(path);
    const auto entries = test::avi_frame_entries(avi);
    // After the last frame chunk nothing follows; after the tenth, the
    // eleventh does.
    const auto end_of = [&](size_t i) {
        return static_cast<std::int64_t>(entries[i].data_at + entries[i].size);
    };
    EXPECT_FALSE(avi_chunk_follows(path, 0, end_of(29)));
    EXPECT_TRUE(avi_chunk_follows(path, 0, end_of(9)));
    EXPECT_FALSE(avi_chunk_follows(path, 1, end_of(9)));  // another stream's number

    auto read = [&](const std::string& file) {
        FormatPtr fmt = open_container(file, nullptr);
        EXPECT_TRUE(fmt);
        return read_packet_index(fmt.get(), 0, file, true);
    };
    const PacketScan whole = read(path);
    EXPECT_FALSE(whole.scanned);
    EXPECT_FALSE(whole.index_incomplete);
    EXPECT_EQ(whole.packets.size(), 30u);
    EXPECT_EQ(whole.packets[3].pos, static_cast<std::int64_t>(entries[3].data_at));

    test::cut_index(avi, 10);
    const std::string part = dir.file("part.avi");
    test::spit(part, avi);
    const PacketScan scanned = read(part);
    EXPECT_TRUE(scanned.scanned);
    EXPECT_TRUE(scanned.index_incomplete);
    ASSERT_EQ(scanned.packets.size(), 30u);
    EXPECT_EQ(scanned.packets[3].pos, whole.packets[3].pos);
    EXPECT_EQ(scanned.problem, "");
}

// The decoder without the video file around it: the pictures on the way
// to the one asked for are offered and stored, and going on forwards
// costs one picture a step.
TEST(VideoDecoderAlone, DecodesPictureQAndOffersThoseOnTheWay) {
    test::TempDir dir;
    const std::string path = dir.file("g.avi");
    ASSERT_TRUE(test::make_video(
        {"g", "avi", "-c:v mpeg4 -q:v 2 -bf 0 -g 10", 320, 240, "25", 30, ""}, path));
    StreamInfo info;
    info.path = path;
    info.avi = true;
    info.stream = 0;
    FormatPtr fmt = open_container(path, nullptr);
    ASSERT_TRUE(fmt);
    info.time_base = fmt->streams[0]->time_base;
    info.params.reset(avcodec_parameters_alloc());
    ASSERT_GE(avcodec_parameters_copy(info.params.get(), fmt->streams[0]->codecpar), 0);
    PacketScan scan = read_packet_index(fmt.get(), 0, path, true);
    for (auto& p : scan.packets)
        p.pts = kNoTime;
    info.index = FrameIndex::build(scan.packets, 1.0);
    ASSERT_EQ(info.index.gop_count(), 3);

    VideoDecoder decoder(info, PicturePool::create());
    std::string error;
    ASSERT_TRUE(decoder.open(std::move(fmt), &error)) << error;
    EXPECT_EQ(decoder.cost_to(17), 8);  // from the key picture at 10
    std::vector<std::int64_t> offered;
    std::vector<int> stored;
    auto keep = [&](std::int64_t x) {
        offered.push_back(x);
        return x >= 15;
    };
    auto store = [&](std::int64_t x, const FramePtr& pic) {
        EXPECT_EQ(test::read_mark(*pic), x);
        stored.push_back(static_cast<int>(x));
    };
    FramePtr out;
    ASSERT_EQ(decoder.decode_to(
                  17, keep, store, [] { return false; }, &out, &error),
              VideoDecoder::Outcome::Done)
        << error;
    EXPECT_EQ(test::read_mark(*out), 17);
    EXPECT_EQ(offered, (std::vector<std::int64_t>{10, 11, 12, 13, 14, 15, 16}));
    EXPECT_EQ(stored, (std::vector<int>{15, 16, 17}));
    EXPECT_EQ(decoder.cost_to(18), 1);
    ASSERT_EQ(decoder.decode_to(
                  18, keep, store, [] { return false; }, &out, &error),
              VideoDecoder::Outcome::Done);
    EXPECT_EQ(test::read_mark(*out), 18);
    // Abandoned between pictures when asked to.
    EXPECT_EQ(decoder.decode_to(
                  5, [](std::int64_t) { return false; }, store, [] { return true; }, &out, &error),
              VideoDecoder::Outcome::Abandoned);
    EXPECT_EQ(decoder.decodable_pictures(), 30);
}

}  // namespace
}  // namespace rs
