#include "platform/picture_pool.h"

namespace rs {

std::shared_ptr<PicturePool> PicturePool::create(std::size_t spare_bytes) {
    return std::make_shared<PicturePool>(spare_bytes);
}

std::shared_ptr<Picture24> PicturePool::make(int width, int height) {
    const std::size_t bytes =
        static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
    auto pic = std::make_unique<Picture24>();
    pic->width = width;
    pic->height = height;
    {
        std::lock_guard lock(mu_);
        for (auto it = spare_.begin(); it != spare_.end(); ++it) {
            if (it->size() == bytes) {
                pic->bgr = std::move(*it);
                held_ -= bytes;
                spare_.erase(it);
                break;
            }
        }
    }
    if (pic->bgr.size() != bytes)
        pic->bgr.resize(bytes);
    std::weak_ptr<PicturePool> home = weak_from_this();
    return std::shared_ptr<Picture24>(pic.release(), [home](Picture24* p) {
        if (auto pool = home.lock())
            pool->give_back(std::move(p->bgr));
        delete p;
    });
}

void PicturePool::give_back(PictureBytes buffer) {
    const std::size_t bytes = buffer.size();
    // Freed after the lock is let go: unmapping megabytes takes a while.
    std::vector<PictureBytes> dropped;
    std::lock_guard lock(mu_);
    // Buffers of another size than the newest are of no more use (the
    // pictures changed size): the newest always has room.
    while (!spare_.empty() && (held_ + bytes > budget_ || spare_.front().size() != bytes)) {
        held_ -= spare_.front().size();
        dropped.push_back(std::move(spare_.front()));
        spare_.erase(spare_.begin());
    }
    if (held_ + bytes <= budget_) {
        held_ += bytes;
        spare_.push_back(std::move(buffer));
    }
}

std::size_t PicturePool::spare_count() const {
    std::lock_guard lock(mu_);
    return spare_.size();
}

std::size_t PicturePool::spare_bytes() const {
    std::lock_guard lock(mu_);
    return held_;
}

}  // namespace rs
