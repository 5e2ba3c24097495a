#pragma once
// Picture buffers handed back when the last holder lets go of a picture, so
// that stepping through a video does not allocate (and fault in) several
// megabytes per frame. The spare buffers kept never exceed a byte budget,
// whatever the picture size: a huge picture is simply freed. Pictures may
// outlive the decoder that made them: the pool lives as long as the last of
// them. Thread-safe.

#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/video_file.h"

namespace rs {

class PicturePool : public std::enable_shared_from_this<PicturePool> {
  public:
    // spare_bytes: what the buffers kept for reuse may hold at most.
    static std::shared_ptr<PicturePool> create(std::size_t spare_bytes = kDefaultSpareBytes);

    // A picture of that size, its bytes not cleared. Throws std::bad_alloc
    // when the memory cannot be had.
    std::shared_ptr<Picture24> make(int width, int height);

    std::size_t spare_count() const;
    std::size_t spare_bytes() const;

    // Four 1080p pictures.
    static constexpr std::size_t kDefaultSpareBytes = std::size_t{4} * 1920 * 1080 * 3;

    explicit PicturePool(std::size_t spare_bytes) : budget_(spare_bytes) {}

  private:
    void give_back(PictureBytes buffer);

    const std::size_t budget_;
    mutable std::mutex mu_;
    std::vector<PictureBytes> spare_;
    std::size_t held_ = 0;  // bytes in spare_
};

}  // namespace rs
