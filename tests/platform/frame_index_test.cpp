// The frame index from packet lists as demuxers deliver them, and the
// cache window the worker fills.

#include <gtest/gtest.h>

#include <limits>

#include "platform/frame_cache.h"
#include "platform/frame_index.h"

namespace rs {
namespace {

PacketInfo pkt(std::int64_t dts, std::int64_t pts, bool key) {
    PacketInfo p;
    p.dts = dts;
    p.pts = pts;
    p.key = key;
    // A byte position that grows with the time; times far out of any real
    // range (the overflow test's) get none.
    const bool in_range = dts >= 0 && dts < std::numeric_limits<std::int64_t>::max() / 20;
    p.pos = in_range ? 1000 + dts * 10 : -1;
    return p;
}

TEST(FrameIndex, PresentationTimesOrderThePicturesAndGroupsStartAtKeys) {
    // I0 P3 B1 B2 | I4 P7 B5 B6, as a container with pts (MP4) stores them,
    // in a time base of 512 per frame starting at 1024.
    std::vector<PacketInfo> packets;
    const int pts_frames[] = {0, 3, 1, 2, 4, 7, 5, 6};
    for (int i = 0; i < 8; ++i)
        packets.push_back(pkt(i * 512, 1024 + pts_frames[i] * 512, i % 4 == 0));
    auto ix = FrameIndex::build(packets, 512.0);
    EXPECT_FALSE(ix.decoder_orders());
    EXPECT_EQ(ix.frame_count(), 8);
    EXPECT_EQ(ix.problem(), "");
    EXPECT_EQ(ix.gop_count(), 2);
    for (int p = 0; p < 8; ++p)
        EXPECT_EQ(ix.picture_of_packet(p), pts_frames[p]) << p;
    EXPECT_EQ(ix.gop_of_picture(3), 0);  // P3 is packet 1
    EXPECT_EQ(ix.gop_of_picture(4), 1);
    EXPECT_EQ(ix.gop_of_picture(6), 1);
    // Found by presentation time whatever decode time the demuxer guessed.
    EXPECT_EQ(ix.find_packet(kNoTime, 1024 + 5 * 512, -1), 6);
    EXPECT_EQ(ix.find_packet(3 * 512, 1024 + 5 * 512, -1), 6);
    EXPECT_EQ(ix.find_packet(5 * 512, 1024 + 5 * 512 + 1, -1), -1);  // not one of ours
    EXPECT_EQ(ix.find_packet(5 * 512 + 1, kNoTime, -1), -1);
}

TEST(FrameIndex, WithoutPresentationTimesTheDecoderOrdersAndDtsGivesTheSlots) {
    // AVI: decode timestamps are frame slots; an empty chunk at slot 5 (a
    // dropped frame) leaves a gap.
    std::vector<PacketInfo> packets;
    for (std::int64_t slot : {0, 1, 2, 3, 4, 6, 7})
        packets.push_back(pkt(slot, kNoTime, true));
    auto ix = FrameIndex::build(packets, 1.0);
    EXPECT_TRUE(ix.decoder_orders());
    EXPECT_EQ(ix.picture_count(), 7);
    ASSERT_EQ(ix.frame_count(), 8);
    const std::int64_t pictures[] = {0, 1, 2, 3, 4, 4, 5, 6};
    for (int n = 0; n < 8; ++n)
        EXPECT_EQ(ix.picture_of_frame(n), pictures[n]) << n;
    EXPECT_EQ(ix.frame_of_picture(5), 6);
    EXPECT_EQ(ix.find_packet(6, 6, -1), 5);  // AVI: decode time is the slot
    EXPECT_EQ(ix.missing_frames(), 1);
    EXPECT_EQ(ix.problem(), "1 frame is missing: frame 5 (the frame before is shown in place)");
}

TEST(FrameIndex, DuplicatesAreCountedAndShownOnce) {
    std::vector<PacketInfo> packets{pkt(0, 0, true), pkt(1, 1, true), pkt(2, 1, true),
                                    pkt(3, 3, true), pkt(4, 5, true)};
    auto ix = FrameIndex::build(packets, 1.0);
    EXPECT_EQ(ix.duplicate_frames(), 1);
    EXPECT_EQ(ix.missing_frames(), 2);
    EXPECT_EQ(ix.frame_count(), 6);
    EXPECT_EQ(ix.frame_of_picture(2), -1);  // the second copy is never shown
    EXPECT_EQ(ix.problem(),
              "2 frames are missing: frames 2, 4 (the frame before is shown in place); 1 frame is "
              "stored twice: frame 1");
}

TEST(FrameIndex, PacketsBeforeTheFirstKeyAreDroppedAndBadTimesDoNotExplode) {
    std::vector<PacketInfo> packets{pkt(0, kNoTime, false), pkt(1, kNoTime, false),
                                    pkt(2, kNoTime, true), pkt(3, kNoTime, false)};
    auto ix = FrameIndex::build(packets, 1.0);
    EXPECT_EQ(ix.frame_count(), 2);
    EXPECT_EQ(ix.key_packet(0), 0);
    EXPECT_EQ(ix.packet(0).dts, 2);

    // One absurd timestamp must not make billions of frames.
    std::vector<PacketInfo> wild{pkt(0, 0, true), pkt(1, 1, true), pkt(2, 1'000'000'000'000, true)};
    auto w = FrameIndex::build(wild, 1.0);
    EXPECT_EQ(w.frame_count(), 3);

    // No rate: frames are the pictures in order.
    auto r = FrameIndex::build({pkt(0, 0, true), pkt(1, 40, true)}, 0);
    EXPECT_EQ(r.frame_count(), 2);
    EXPECT_EQ(r.problem(), "");

    EXPECT_EQ(FrameIndex::build({}, 1.0).frame_count(), 0);
}

TEST(FrameIndex, ACutFileKeepsThePicturesThatDecodeAndAllItsPackets) {
    // 40 packets with a key every 30, no pts; decoding the end showed that
    // 36 pictures come out.
    std::vector<PacketInfo> packets;
    for (int i = 0; i < 40; ++i)
        packets.push_back(pkt(i, kNoTime, i % 30 == 0));
    auto cut = FrameIndex::build(packets, 1.0);
    EXPECT_EQ(cut.frame_count(), 40);
    cut.limit_pictures(36);
    EXPECT_EQ(cut.frame_count(), 36);
    EXPECT_EQ(cut.picture_count(), 36);
    EXPECT_EQ(cut.packet_count(), 40);  // still decoded on the way
    EXPECT_EQ(cut.picture_of_frame(35), 35);
    EXPECT_EQ(cut.frame_of_picture(36), -1);
    cut.limit_pictures(50);  // never grows
    EXPECT_EQ(cut.frame_count(), 36);
}

TEST(FrameIndex, MissingAndDoubledFramesAreNamed) {
    // Frames 3 and 4 missing, 7 stored twice, with pts (a reordering file).
    std::vector<PacketInfo> packets;
    for (int t : {0, 1, 2, 5, 6, 7, 7, 8})
        packets.push_back(pkt(t, t, t == 0));
    auto ix = FrameIndex::build(packets, 1.0);
    EXPECT_EQ(ix.missing_list(), (std::vector<std::int64_t>{3, 4}));
    EXPECT_EQ(ix.duplicate_list(), (std::vector<std::int64_t>{7}));
    EXPECT_EQ(ix.problem(),
              "2 frames are missing: frames 3, 4 (the frame before is shown in place); 1 frame is "
              "stored twice: frame 7");
    // A long list is cut short.
    std::vector<PacketInfo> sparse;
    for (int i = 0; i < 14; ++i)
        sparse.push_back(pkt(i * 2, i * 2, i == 0));
    EXPECT_NE(FrameIndex::build(sparse, 1.0)
                  .problem()
                  .find("frames 1, 3, 5, 7, 9, 11, 13, 15, "
                        "17, 19 and 3 more"),
              std::string::npos);
}

TEST(FrameIndex, TimestampsWhoseSpanOverflowsAreRefused) {
    const std::int64_t huge = std::numeric_limits<std::int64_t>::max() - 5;
    auto ix = FrameIndex::build({pkt(-huge, -huge, true), pkt(huge, huge, false)}, 1.0);
    EXPECT_TRUE(ix.damaged());
    EXPECT_FALSE(FrameIndex::build({pkt(0, 0, true), pkt(1, 1, false)}, 1.0).damaged());
}

TEST(FrameIndex, PositionsGoWellBeyondSixteenBits) {
    // Over 18 minutes at 60 frames per second, a key every 60 packets.
    std::vector<PacketInfo> packets;
    for (std::int64_t i = 0; i < 70000; ++i)
        packets.push_back(pkt(i, kNoTime, i % 60 == 0));
    auto ix = FrameIndex::build(packets, 1.0);
    ASSERT_EQ(ix.frame_count(), 70000);
    for (std::int64_t n : {32767, 32768, 65535, 65536, 69999}) {
        EXPECT_EQ(ix.picture_of_frame(n), n);
        EXPECT_EQ(ix.gop_of_picture(n), n / 60);
        EXPECT_EQ(ix.find_packet(n, kNoTime, -1), n);
    }
}

FramePtr picture() {
    return std::make_shared<Picture24>();
}

TEST(FrameCache, HoldsTwiceAsMuchBehindAsAheadAndEvictsTheFarthest) {
    FrameCache cache(10);
    EXPECT_EQ(cache.behind(), 6);
    EXPECT_EQ(cache.ahead(), 3);
    cache.set_position(100);
    cache.put(93, picture());  // outside the window
    cache.put(104, picture());
    EXPECT_EQ(cache.size(), 0);
    for (std::int64_t q = 94; q <= 103; ++q)
        cache.put(q, picture());
    EXPECT_EQ(cache.size(), 10);
    // Moving forward: the new frame comes in, the farthest behind goes.
    cache.set_position(101);
    EXPECT_EQ(cache.put(104, picture()).size(), 1u);  // handed back, to be freed unlocked
    EXPECT_EQ(cache.size(), 10);
    EXPECT_FALSE(cache.get(94));
    EXPECT_TRUE(cache.get(95));
    EXPECT_TRUE(cache.get(104));
    // Moving back: the farthest ahead goes.
    cache.set_position(99);
    cache.put(93, picture());
    EXPECT_FALSE(cache.get(104));
    EXPECT_TRUE(cache.get(93));
    EXPECT_EQ(cache.size(), 10);
}

TEST(FrameCache, WorkStartsAtAHoleNearThePositionAndFillsTheWindowNearestFirst) {
    FrameCache cache(10);  // 6 behind, 3 ahead
    cache.set_position(50);
    EXPECT_EQ(cache.next_missing(1000), 50);
    for (std::int64_t q = 44; q <= 53; ++q)
        cache.put(q, picture());
    EXPECT_EQ(cache.next_missing(1000), -1);
    // One step back: 43 is missing but far from the position: no work yet,
    // so a group is not decoded again for every step.
    cache.set_position(49);
    EXPECT_EQ(cache.next_missing(1000), -1);
    cache.set_position(47);  // 3 behind now hold 44..46: still enough
    EXPECT_EQ(cache.next_missing(1000), -1);
    cache.set_position(46);  // 43 is within half the window behind
    EXPECT_EQ(cache.next_missing(1000), 43);
    // Ends of the video are not holes; failures are not retried.
    FrameCache edge(10);
    edge.set_position(0);
    edge.put(0, picture());
    edge.put(1, picture());
    EXPECT_EQ(edge.next_missing(2), -1);
    edge.set_position(2);
    edge.mark_failed(2);
    EXPECT_EQ(edge.next_missing(5), 3);
}

}  // namespace
}  // namespace rs
