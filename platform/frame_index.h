#pragma once
// Where every frame of a video stream lies, built from what the demuxer says
// about its packets (timestamps and key-frame flags) without decoding any.
//
// Three numberings meet here:
//  - packets, in decode order as the demuxer delivers them;
//  - pictures, the decoded images in presentation order;
//  - frames, the positions the operator sees: one per frame duration from
//    the first picture presented. A frame whose picture is missing from the
//    file shows the picture before it, as a player would; a picture stored
//    twice for one frame is shown once. Both are counted, so a damaged file
//    is told apart from a good one.
//
// Groups of pictures (GOPs) run from one key packet to the next; decoding
// always starts at a group's key packet.

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace rs {

inline constexpr std::int64_t kNoTime = std::numeric_limits<std::int64_t>::min();

struct PacketInfo {
    std::int64_t dts = kNoTime;  // stream time base
    std::int64_t pts = kNoTime;  // stream time base; kNoTime when the container has none
    std::int64_t pos = -1;       // byte position of its data in the file, -1 when unknown
    std::int64_t size = 0;       // bytes
    bool key = false;
    bool discard = false;  // decoded as a reference but never presented
};

class FrameIndex {
  public:
    FrameIndex() = default;

    // packets in decode order. frame_duration is one frame in stream time
    // base units; 0 when the stream does not declare a rate, and frames are
    // then simply the pictures in order.
    static FrameIndex build(std::vector<PacketInfo> packets, double frame_duration);

    // Keeps the first n pictures and the frames that show them: a file cut
    // short holds packets whose pictures cannot be decoded. The packets stay
    // (they are still decoded on the way).
    void limit_pictures(std::int64_t n);

    // Timestamps so far apart that their span does not fit in a number: the
    // stream is refused rather than guessed at.
    bool damaged() const { return damaged_; }

    std::int64_t frame_count() const { return static_cast<std::int64_t>(frame_picture_.size()); }
    std::int64_t picture_count() const { return picture_count_; }
    std::int64_t packet_count() const { return static_cast<std::int64_t>(packets_.size()); }
    const PacketInfo& packet(std::int64_t p) const { return packets_[static_cast<size_t>(p)]; }

    // The picture shown at frame n (0 <= n < frame_count()).
    std::int64_t picture_of_frame(std::int64_t n) const {
        return frame_picture_[static_cast<size_t>(n)];
    }
    // The first frame at which picture q is shown; -1 when it never is.
    std::int64_t frame_of_picture(std::int64_t q) const;

    // True when the container carries no presentation timestamps (AVI): the
    // decoder's output order is then the presentation order, and the k-th
    // picture a group puts out is the group's k-th picture.
    bool decoder_orders() const { return decoder_orders_; }

    std::int64_t gop_count() const { return static_cast<std::int64_t>(keys_.size()); }
    std::int64_t key_packet(std::int64_t g) const { return keys_[static_cast<size_t>(g)]; }
    std::int64_t gop_of_packet(std::int64_t p) const;
    std::int64_t gop_of_picture(std::int64_t q) const;
    // With decoder_orders(): the first picture of group g.
    std::int64_t first_picture_of_gop(std::int64_t g) const { return key_packet(g); }
    // Without decoder_orders(): the picture a packet holds; -1 when none.
    std::int64_t picture_of_packet(std::int64_t p) const {
        return packet_picture_[static_cast<size_t>(p)];
    }

    // The packet a demuxed packet is; -1 when it is not one of the indexed
    // packets. Found by its presentation timestamp where the container
    // stores those (the decode timestamps a demuxer works out for such a
    // container can change after a seek), else by its decode timestamp, or
    // when neither is usable by its byte position.
    std::int64_t find_packet(std::int64_t dts, std::int64_t pts, std::int64_t pos) const;

    std::int64_t missing_frames() const { return missing_; }
    std::int64_t duplicate_frames() const { return duplicates_; }
    // The frames whose picture is missing (they show the one before), and
    // the frames whose picture is stored a second time, in order.
    const std::vector<std::int64_t>& missing_list() const { return missing_at_; }
    const std::vector<std::int64_t>& duplicate_list() const { return duplicate_at_; }
    // Empty for a sound stream; otherwise what is wrong with it, in words,
    // naming the frames.
    std::string problem() const;

  private:
    std::vector<PacketInfo> packets_;
    std::vector<std::int64_t> keys_;            // packet numbers of key packets
    std::vector<std::int64_t> packet_picture_;  // pts order: picture of each packet
    std::vector<std::int64_t> picture_packet_;  // pts order: packet of each picture
    std::vector<std::int64_t> picture_pts_;     // pts order: pts of each picture
    std::vector<std::int64_t> frame_picture_;
    std::vector<std::int64_t> picture_frame_;
    std::int64_t picture_count_ = 0;
    bool decoder_orders_ = false;
    bool dts_increasing_ = true;
    std::int64_t missing_ = 0;
    std::int64_t duplicates_ = 0;
    std::vector<std::int64_t> missing_at_;
    std::vector<std::int64_t> duplicate_at_;
    bool damaged_ = false;
};

}  // namespace rs
