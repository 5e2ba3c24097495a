// The frame index on any packet list a demuxer could report: every frame
// maps to a picture and back, and every lookup stays inside the index.

#include <cstring>

#include "fuzz/fuzz_support.h"
#include "platform/frame_index.h"

namespace {

// Reads a value of type T from the input, or zero when it is used up.
template <typename T>
T take(const std::uint8_t*& p, const std::uint8_t* end) {
    T v{};
    if (static_cast<std::size_t>(end - p) >= sizeof v) {
        std::memcpy(&v, p, sizeof v);
        p += sizeof v;
    } else {
        p = end;
    }
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::uint8_t* p = data;
    const std::uint8_t* end = data + size;
    const auto mode = take<std::uint8_t>(p, end);
    // Durations as streams declare them, and the odd one they should not.
    const double durations[] = {0, 1, 512, 1001, 3003, 0.5, 1e-300, 1e300};
    const double duration = durations[mode % 8];
    std::vector<rs::PacketInfo> packets;
    while (p < end && packets.size() < 4096) {
        rs::PacketInfo info;
        const auto flags = take<std::uint8_t>(p, end);
        // Small steps most of the time, so that the lists look like streams;
        // whole 64-bit values (the extremes included) now and then.
        if (flags & 0x80) {
            info.dts = take<std::int64_t>(p, end);
            info.pts = take<std::int64_t>(p, end);
        } else {
            const std::int64_t base = packets.empty() ? 0 : packets.back().dts;
            const auto step = take<std::int16_t>(p, end);
            const auto shown_later = take<std::int8_t>(p, end);
            // Wrapping sums: the harness itself must not overflow.
            auto plus = [](std::int64_t a, std::int64_t b) {
                return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) +
                                                 static_cast<std::uint64_t>(b));
            };
            info.dts = (flags & 0x10) ? rs::kNoTime : plus(base, step);
            info.pts = (flags & 0x20) ? rs::kNoTime : plus(plus(base, step), shown_later);
        }
        info.pos = (flags & 0x40) ? -1 : static_cast<std::int64_t>(packets.size()) * 100;
        info.key = flags & 1;
        info.discard = flags & 2;
        packets.push_back(info);
    }
    rs::FrameIndex index = rs::FrameIndex::build(packets, duration);
    // A file cut short: only the pictures before the cut decode.
    if (mode & 0x40)
        index.limit_pictures(index.picture_count() / 2);
    (void)index.problem();
    const std::int64_t frames = index.frame_count();
    const std::int64_t pictures = index.picture_count();
    for (std::int64_t n = 0; n < frames; ++n) {
        const std::int64_t q = index.picture_of_frame(n);
        if (q < 0 || q >= pictures)
            rs::fuzz::broken("a frame shows a picture outside the index");
        const std::int64_t first = index.frame_of_picture(q);
        if (first < 0 || first > n)
            rs::fuzz::broken("a picture's first frame comes after a frame showing it");
        const std::int64_t g = index.gop_of_picture(q);
        if (g < 0 || g >= index.gop_count())
            rs::fuzz::broken("a picture outside every group");
    }
    for (std::int64_t k = 0; k < index.packet_count(); ++k) {
        const rs::PacketInfo& info = index.packet(k);
        const std::int64_t found = index.find_packet(info.dts, info.pts, info.pos);
        if (found < -1 || found >= index.packet_count())
            rs::fuzz::broken("a packet lookup outside the index");
        const std::int64_t g = index.gop_of_packet(k);
        if (g >= index.gop_count())
            rs::fuzz::broken("a packet in a group that does not exist");
        if (!index.decoder_orders()) {
            const std::int64_t q = index.picture_of_packet(k);
            if (q < -1 || q >= pictures)
                rs::fuzz::broken("a packet holds a picture outside the index");
        }
    }
    return 0;
}
