#pragma once
// Decoded pictures kept around the operator's position, so that a step
// backwards is served from memory like a step forwards. The cache holds at
// most a fixed number of pictures: a window reaching further behind the
// position than ahead of it, because decoding forwards is one picture per
// step while decoding backwards means starting again at a group's key
// picture. Not thread-safe: its owner guards it.

#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "platform/video_file.h"

namespace rs {

class FrameCache {
  public:
    // capacity: pictures held at most (at least 1: a budget smaller than
    // one picture still holds the one shown).
    explicit FrameCache(std::int64_t capacity);

    std::int64_t capacity() const { return capacity_; }
    std::int64_t behind() const { return behind_; }
    std::int64_t ahead() const { return ahead_; }
    std::int64_t size() const { return static_cast<std::int64_t>(pictures_.size()); }

    FramePtr get(std::int64_t q) const;
    // Keeps the picture when it lies in the window, evicting the pictures
    // farthest from the position to stay within capacity. What it lets go
    // is returned, so the caller can free it (megabytes, a costly unmap)
    // after releasing its lock.
    std::vector<FramePtr> put(std::int64_t q, FramePtr picture);
    // Moves the window; pictures outside it are dropped lazily, on put.
    void set_position(std::int64_t q);
    std::int64_t position() const { return position_; }

    bool in_window(std::int64_t q) const {
        return q >= position_ - behind_ && q <= position_ + ahead_;
    }
    // In the window, not held, and not known to fail.
    bool wanted(std::int64_t q) const;

    // The picture to decode next, or -1 when there is nothing worth doing.
    // Work starts only once a hole appears within half the window of the
    // position, and then fills the whole window, nearest pictures first, so
    // that a group of pictures is decoded in one batch rather than once per
    // step. pictures: how many the stream holds.
    std::int64_t next_missing(std::int64_t pictures) const;

    // A picture that could not be decoded is not asked for again.
    void mark_failed(std::int64_t q) { failed_.insert(q); }
    void clear();

  private:
    std::int64_t capacity_;
    std::int64_t behind_;
    std::int64_t ahead_;
    std::int64_t position_ = 0;
    std::map<std::int64_t, FramePtr> pictures_;
    std::set<std::int64_t> failed_;
};

}  // namespace rs
