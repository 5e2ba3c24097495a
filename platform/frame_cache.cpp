#include "platform/frame_cache.h"

#include <algorithm>

namespace rs {

FrameCache::FrameCache(std::int64_t capacity) : capacity_(std::max<std::int64_t>(capacity, 1)) {
    behind_ = capacity_ * 2 / 3;
    ahead_ = std::max<std::int64_t>(0, capacity_ - behind_ - 1);
}

FramePtr FrameCache::get(std::int64_t q) const {
    auto it = pictures_.find(q);
    return it == pictures_.end() ? nullptr : it->second;
}

std::vector<FramePtr> FrameCache::put(std::int64_t q, FramePtr picture) {
    std::vector<FramePtr> dropped;
    if (!picture || !in_window(q))
        return dropped;
    pictures_[q] = std::move(picture);
    while (size() > capacity_) {
        // The end lying farther out of its side of the window goes first,
        // measured in window lengths; pictures ahead are cheaper to make
        // again than pictures behind, so at equal reach they go first.
        auto first = pictures_.begin();
        auto last = std::prev(pictures_.end());
        const double reach_behind =
            static_cast<double>(position_ - first->first) / static_cast<double>(behind_);
        const double reach_ahead =
            static_cast<double>(last->first - position_) / static_cast<double>(ahead_);
        auto out = reach_behind > reach_ahead ? first : last;
        dropped.push_back(std::move(out->second));
        pictures_.erase(out);
    }
    return dropped;
}

void FrameCache::set_position(std::int64_t q) {
    position_ = q;
}

bool FrameCache::wanted(std::int64_t q) const {
    return in_window(q) && !pictures_.count(q) && !failed_.count(q);
}

std::int64_t FrameCache::next_missing(std::int64_t pictures) const {
    auto valid = [&](std::int64_t q) { return q >= 0 && q < pictures; };
    auto hole_within = [&](std::int64_t reach_behind, std::int64_t reach_ahead) -> std::int64_t {
        for (std::int64_t d = 0; d <= std::max(reach_behind, reach_ahead); ++d) {
            std::int64_t fwd = position_ + d;
            if (d <= reach_ahead && valid(fwd) && wanted(fwd))
                return fwd;
            std::int64_t back = position_ - d;
            if (d > 0 && d <= reach_behind && valid(back) && wanted(back))
                return back;
        }
        return -1;
    };
    if (hole_within(behind_ / 2, ahead_ / 2) < 0)
        return -1;
    return hole_within(behind_, ahead_);
}

void FrameCache::clear() {
    pictures_.clear();
    failed_.clear();
}

}  // namespace rs
