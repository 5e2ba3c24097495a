// The picture pool reuses buffers within its byte budget, whatever the
// picture size; the frame cache keeps to its picture count even when one
// picture is larger than its whole budget.

#include "platform/picture_pool.h"

#include <gtest/gtest.h>

#include "platform/frame_cache.h"

namespace rs {
namespace {

TEST(PicturePool, ReusesBuffersWithinItsBudget) {
    const std::size_t picture = 640 * 480 * 3;
    auto pool = PicturePool::create(2 * picture);
    {
        auto a = pool->make(640, 480);
        auto b = pool->make(640, 480);
        auto c = pool->make(640, 480);
        EXPECT_EQ(a->bgr.size(), picture);
    }
    // Three let go, two kept.
    EXPECT_EQ(pool->spare_count(), 2u);
    EXPECT_EQ(pool->spare_bytes(), 2 * picture);
    auto again = pool->make(640, 480);
    EXPECT_EQ(pool->spare_count(), 1u);
    EXPECT_EQ(again->width, 640);
    EXPECT_EQ(again->height, 480);
}

TEST(PicturePool, APictureLargerThanTheBudgetIsNotKept) {
    auto pool = PicturePool::create(1 << 20);
    {
        auto big = pool->make(1920, 1080);  // 6 MB
    }
    EXPECT_EQ(pool->spare_count(), 0u);
    EXPECT_EQ(pool->spare_bytes(), 0u);
    // Buffers of an older size go when pictures change size.
    auto sized = PicturePool::create(std::size_t{64} << 20);
    { auto small = sized->make(320, 240); }
    { auto large = sized->make(1280, 720); }
    EXPECT_EQ(sized->spare_count(), 1u);
    EXPECT_EQ(sized->spare_bytes(), std::size_t{1280} * 720 * 3);
}

TEST(PicturePool, PicturesOutliveTheirPool) {
    std::shared_ptr<Picture24> kept;
    {
        auto pool = PicturePool::create();
        kept = pool->make(64, 48);
    }
    kept->bgr[0] = 7;  // still the picture's own memory
    EXPECT_EQ(kept->bgr.size(), 64u * 48 * 3);
}

TEST(FrameCacheBudget, OnePictureLargerThanTheBudgetIsStillHeldAlone) {
    FrameCache cache(1);
    EXPECT_EQ(cache.capacity(), 1);
    auto pic = std::make_shared<Picture24>();
    cache.set_position(5);
    EXPECT_TRUE(cache.put(5, pic).empty());
    EXPECT_EQ(cache.get(5), pic);
    // Nothing else fits: a picture beside the position is not kept.
    EXPECT_FALSE(cache.wanted(6));
    cache.set_position(6);
    auto dropped = cache.put(6, std::make_shared<Picture24>());
    EXPECT_EQ(cache.size(), 1);
}

}  // namespace
}  // namespace rs
