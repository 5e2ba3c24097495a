#include "platform/frame_index.h"

#include <algorithm>
#include <cmath>

namespace rs {

namespace {

// Timestamps that would spread the pictures over more frames than this are
// taken as damaged rather than as a long gap, so a bad timestamp cannot make
// the frame list explode.
std::int64_t max_frames_for(std::int64_t pictures) {
    return pictures * 4 + 1000;
}

}  // namespace

FrameIndex FrameIndex::build(std::vector<PacketInfo> packets, double frame_duration) {
    FrameIndex ix;

    // Packets before the first key packet refer to pictures the file does not
    // hold; a decoder cannot make anything of them.
    auto first_key =
        std::find_if(packets.begin(), packets.end(), [](const PacketInfo& p) { return p.key; });
    if (first_key == packets.end()) {
        // No key flags at all: only a decode from the very start is safe.
        if (!packets.empty())
            packets.front().key = true;
    } else {
        packets.erase(packets.begin(), first_key);
    }
    ix.packets_ = std::move(packets);
    const auto& pk = ix.packets_;
    const auto n_packets = static_cast<std::int64_t>(pk.size());
    if (n_packets == 0)
        return ix;

    for (std::int64_t p = 0; p < n_packets; ++p) {
        if (pk[p].key)
            ix.keys_.push_back(p);
        if (pk[p].dts == kNoTime || (p > 0 && pk[p].dts <= pk[p - 1].dts)) {
            ix.dts_increasing_ = false;
        }
    }
    ix.decoder_orders_ = std::any_of(
        pk.begin(), pk.end(), [](const PacketInfo& p) { return !p.discard && p.pts == kNoTime; });

    // Presentation timestamps of the pictures, in presentation order.
    std::vector<std::int64_t> ts;
    if (ix.decoder_orders_) {
        ix.picture_count_ = n_packets;
        for (std::int64_t p = 0; p < ix.picture_count_; ++p)
            ts.push_back(ix.dts_increasing_ ? pk[p].dts : kNoTime);
    } else {
        std::vector<std::pair<std::int64_t, std::int64_t>> order;
        for (std::int64_t p = 0; p < n_packets; ++p) {
            if (!pk[p].discard)
                order.emplace_back(pk[p].pts, p);
        }
        std::sort(order.begin(), order.end());
        ix.packet_picture_.assign(pk.size(), -1);
        for (const auto& [pts, p] : order) {
            ix.packet_picture_[p] = static_cast<std::int64_t>(ix.picture_packet_.size());
            ix.picture_packet_.push_back(p);
            ix.picture_pts_.push_back(pts);
            ts.push_back(pts);
        }
        ix.picture_count_ = static_cast<std::int64_t>(order.size());
    }
    if (ix.picture_count_ == 0)
        return ix;

    // Frame slot of each picture: its distance from the first picture in
    // frame durations, or its rank when the stream has no usable rate.
    std::vector<std::int64_t> slot(ts.size());
    bool timed = frame_duration > 0 && ts.front() != kNoTime;
    if (timed) {
        for (size_t q = 0; q < ts.size(); ++q) {
            std::int64_t span = 0;
            if (ts[q] == kNoTime || __builtin_sub_overflow(ts[q], ts.front(), &span)) {
                ix.damaged_ = true;
                return ix;
            }
            double s = static_cast<double>(span) / frame_duration;
            if (!std::isfinite(s) || s > static_cast<double>(max_frames_for(ix.picture_count_))) {
                timed = false;
                break;
            }
            slot[q] = std::llround(s);
        }
    }
    if (!timed) {
        for (size_t q = 0; q < slot.size(); ++q)
            slot[q] = static_cast<std::int64_t>(q);
    }

    ix.picture_frame_.assign(slot.size(), -1);
    std::int64_t last_slot = -1;
    std::int64_t last_shown = 0;
    for (size_t q = 0; q < slot.size(); ++q) {
        const auto s = slot[q];
        if (static_cast<std::int64_t>(q) > 0 && s <= last_slot) {
            ++ix.duplicates_;
            ix.duplicate_at_.push_back(s);  // slots and frames are numbered alike
            continue;
        }
        for (std::int64_t gap = last_slot + 1; gap < s; ++gap) {
            ix.missing_at_.push_back(static_cast<std::int64_t>(ix.frame_picture_.size()));
            ix.frame_picture_.push_back(last_shown);
            ++ix.missing_;
        }
        last_slot = s;
        last_shown = static_cast<std::int64_t>(q);
        ix.picture_frame_[q] = static_cast<std::int64_t>(ix.frame_picture_.size());
        ix.frame_picture_.push_back(last_shown);
    }
    return ix;
}

void FrameIndex::limit_pictures(std::int64_t n) {
    n = std::max<std::int64_t>(0, n);
    if (n >= picture_count_)
        return;
    picture_count_ = n;
    while (!frame_picture_.empty() && frame_picture_.back() >= n)
        frame_picture_.pop_back();
    if (static_cast<std::int64_t>(picture_frame_.size()) > n)
        picture_frame_.resize(static_cast<size_t>(n));
    if (!decoder_orders_) {
        for (auto& pic : packet_picture_)
            if (pic >= n)
                pic = -1;
        picture_packet_.resize(static_cast<size_t>(n));
        picture_pts_.resize(static_cast<size_t>(n));
    }
    const auto frames = static_cast<std::int64_t>(frame_picture_.size());
    std::erase_if(missing_at_, [&](std::int64_t f) { return f >= frames; });
    std::erase_if(duplicate_at_, [&](std::int64_t f) { return f >= frames; });
    missing_ = static_cast<std::int64_t>(missing_at_.size());
    duplicates_ = static_cast<std::int64_t>(duplicate_at_.size());
}

std::int64_t FrameIndex::frame_of_picture(std::int64_t q) const {
    if (q < 0 || q >= static_cast<std::int64_t>(picture_frame_.size()))
        return -1;
    return picture_frame_[static_cast<size_t>(q)];
}

std::int64_t FrameIndex::gop_of_packet(std::int64_t p) const {
    auto it = std::upper_bound(keys_.begin(), keys_.end(), p);
    return it == keys_.begin() ? 0 : static_cast<std::int64_t>(it - keys_.begin()) - 1;
}

std::int64_t FrameIndex::gop_of_picture(std::int64_t q) const {
    if (decoder_orders_)
        return gop_of_packet(q);
    return gop_of_packet(picture_packet_[static_cast<size_t>(q)]);
}

std::int64_t FrameIndex::find_packet(std::int64_t dts, std::int64_t pts, std::int64_t pos) const {
    if (!decoder_orders_ && pts != kNoTime) {
        auto [lo, hi] = std::equal_range(picture_pts_.begin(), picture_pts_.end(), pts);
        std::int64_t found = -1;
        for (auto it = lo; it != hi; ++it) {
            const std::int64_t p = picture_packet_[static_cast<size_t>(it - picture_pts_.begin())];
            // Two pictures with one time: the byte position tells them apart.
            if (found < 0 || (pos >= 0 && packets_[p].pos == pos))
                found = p;
        }
        return found;
    }
    if (dts_increasing_) {
        if (dts == kNoTime)
            return -1;
        auto it = std::lower_bound(packets_.begin(), packets_.end(), dts,
                                   [](const PacketInfo& p, std::int64_t t) { return p.dts < t; });
        if (it == packets_.end() || it->dts != dts)
            return -1;
        return static_cast<std::int64_t>(it - packets_.begin());
    }
    if (pos < 0)
        return -1;
    for (size_t p = 0; p < packets_.size(); ++p) {
        if (packets_[p].pos == pos)
            return static_cast<std::int64_t>(p);
    }
    return -1;
}

namespace {

// "frame 5" or "frames 5, 9, 12 and 3 more".
std::string name_frames(const std::vector<std::int64_t>& frames) {
    constexpr size_t kNamed = 10;
    std::string text = frames.size() == 1 ? "frame " : "frames ";
    for (size_t i = 0; i < frames.size() && i < kNamed; ++i)
        text += (i ? ", " : "") + std::to_string(frames[i]);
    if (frames.size() > kNamed)
        text += " and " + std::to_string(frames.size() - kNamed) + " more";
    return text;
}

}  // namespace

std::string FrameIndex::problem() const {
    std::string text;
    if (missing_ > 0) {
        text += std::to_string(missing_) + (missing_ == 1 ? " frame is" : " frames are") +
                " missing: " + name_frames(missing_at_) + " (the frame before is shown in place)";
    }
    if (duplicates_ > 0) {
        if (!text.empty())
            text += "; ";
        text += std::to_string(duplicates_) + (duplicates_ == 1 ? " frame is" : " frames are") +
                " stored twice: " + name_frames(duplicate_at_);
    }
    return text;
}

}  // namespace rs
