// The camera-moved estimate on the demo course: the set-up picture against
// a frame of the jump through the same camera (the water moved on, the
// buoys bobbing, the skier in the picture), through a camera knocked
// sideways by 3 pixels and through one turned by 0.3 degrees.

#include "measure/camera_movement.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "demo/course_renderer.h"
#include "demo/demo_course.h"

namespace rs {
namespace {

GridPoints grid_of(const demo::DemoCourse& course) {
    const demo::PinholeCamera cam(course.camera);
    const auto px = [&](demo::DemoBuoy b) {
        const demo::SurveyXY s = course.buoys[static_cast<size_t>(b)];
        const demo::PixelPoint p = cam.project({s.x, s.y, 0}).value();
        return PicturePoint{p.x, p.y};
    };
    using demo::DemoBuoy;
    return {px(DemoBuoy::UpperRight), px(DemoBuoy::LowerRight), px(DemoBuoy::UpperLeft),
            px(DemoBuoy::LowerLeft), px(DemoBuoy::Check)};
}

struct DemoPictures : ::testing::Test {
    static void SetUpTestSuite() {
        course = new demo::DemoCourse(demo::make_demo_course(3));
        setup = new Picture24(demo::CourseRenderer(*course).setup_picture());
    }
    static void TearDownTestSuite() {
        delete course;
        delete setup;
    }
    static Picture24 contact_frame(const demo::CameraSetup& camera) {
        return demo::CourseRenderer(*course, camera).frame(course->contact_frame);
    }
    // The movement estimated from the contact frame through camera; a
    // failure to estimate fails the test with its reason.
    static std::optional<CameraMovement> movement_seen_through(const demo::CameraSetup& camera) {
        std::string why;
        auto m = estimate_camera_movement(*setup, contact_frame(camera), grid_of(*course), &why);
        EXPECT_TRUE(m) << why;
        return m;
    }
    static demo::DemoCourse* course;
    static Picture24* setup;
};
demo::DemoCourse* DemoPictures::course = nullptr;
Picture24* DemoPictures::setup = nullptr;

TEST_F(DemoPictures, TheSameCameraHasNotMovedWhateverTheWaterAndTheSkierDo) {
    const auto m = movement_seen_through(course->camera);
    ASSERT_TRUE(m);
    EXPECT_LT(m->moved_px, 0.5);
    EXPECT_GE(m->patches, 10);
}

TEST_F(DemoPictures, ACameraKnockedSidewaysBy3PixelsHasMoved3Pixels) {
    demo::CameraSetup knocked = course->camera;
    knocked.shift_x_px = 3;
    const auto m = movement_seen_through(knocked);
    ASSERT_TRUE(m);
    EXPECT_NEAR(m->shift_x, 3, 0.25);
    EXPECT_NEAR(m->shift_y, 0, 0.25);
    EXPECT_NEAR(m->turn_deg, 0, 0.02);
    EXPECT_NEAR(m->moved_px, 3, 0.3);
}

TEST_F(DemoPictures, ACameraTurnedByAThirdOfADegreeIsSeenTurned) {
    demo::CameraSetup turned = course->camera;
    turned.roll_deg = 0.3;
    const auto m = movement_seen_through(turned);
    ASSERT_TRUE(m);
    EXPECT_NEAR(m->turn_deg, 0.3, 0.03);
    EXPECT_NEAR(m->shift_x, 0, 0.3);
    EXPECT_NEAR(m->shift_y, 0, 0.3);
    // The grid's outer buoys lie some 550 pixels from the centre.
    EXPECT_GT(m->moved_px, 2.5);
}

TEST(CameraMovement, PicturesOfAnotherSizeOrWithoutStillSceneryAreNotCompared) {
    Picture24 small{320, 240, PictureBytes(320 * 240 * 3, 90)};
    Picture24 large{640, 480, PictureBytes(640 * 480 * 3, 90)};
    GridPoints grid{};
    std::string why;
    EXPECT_FALSE(estimate_camera_movement(small, large, grid, &why));
    EXPECT_EQ(why, "the set-up picture is 320 x 240 pixels and this picture 640 x 480");
    EXPECT_FALSE(estimate_camera_movement(large, large, grid, &why));
    EXPECT_EQ(why, "too little still scenery (banks, ramp, fixed marks) is seen on both pictures");
}

}  // namespace
}  // namespace rs
