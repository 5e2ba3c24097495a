// The demo course: the camera model on its own, the truth file against the
// projection and against the grid mapping solved from it, the pictures
// against the truth, and the same course for the same scene_number.

#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <string>

#include "demo/course_renderer.h"
#include "demo/demo_course.h"
#include "demo/pinhole_camera.h"
#include "grid/grid_solution.h"

namespace rs::demo {
namespace {

CameraSetup level_camera() {
    CameraSetup c;
    c.position = {0, -100, 10};
    c.aim = {0, 0, 0};
    c.focal_px = 2000;
    return c;
}

TEST(PinholeCamera, ProjectsThroughTheCentreAndBackOntoTheWater) {
    const PinholeCamera cam(level_camera());
    const PixelPoint centre = cam.project({0, 0, 0}).value();
    EXPECT_NEAR(centre.x, 639.5, 1e-9);
    EXPECT_NEAR(centre.y, 359.5, 1e-9);
    // A point to the right of the aim is right on the picture; a point above
    // the water is higher on it.
    EXPECT_GT(cam.project({5, 0, 0})->x, centre.x);
    EXPECT_LT(cam.project({0, 0, 2})->y, centre.y);
    // 5 m sideways at 100.5 m: f * 5 / 100.5 pixels.
    EXPECT_NEAR(cam.project({5, 0, 0})->x - centre.x, 2000 * 5 / std::hypot(100.0, 10.0), 1e-6);
    for (const Vec3 p : {Vec3{12.5, 30, 0}, Vec3{-20, -40, 0}, Vec3{3, 80, 0}}) {
        const PixelPoint px = cam.project(p).value();
        const Vec3 back = cam.on_water(px.x, px.y).value();
        EXPECT_NEAR(back.x, p.x, 1e-9);
        EXPECT_NEAR(back.y, p.y, 1e-9);
    }
    // Behind the camera and above the horizon: nothing.
    EXPECT_FALSE(cam.project({0, -200, 0}));
    EXPECT_FALSE(cam.on_water(639.5, 0));
}

TEST(PinholeCamera, ARollTurnsAndAShiftMovesThePictureAboutItsCentre) {
    const PinholeCamera still(level_camera());
    CameraSetup turned_spec = level_camera();
    turned_spec.roll_deg = 0.3;
    CameraSetup shifted_spec = level_camera();
    shifted_spec.shift_x_px = 3;
    shifted_spec.shift_y_px = -1;
    const PinholeCamera turned(turned_spec);
    const PinholeCamera shifted(shifted_spec);
    const double a = 0.3 * 3.14159265358979 / 180;
    for (const Vec3 p : {Vec3{20, 10, 0}, Vec3{-15, 40, 0}, Vec3{0, 0, 0}}) {
        const PixelPoint s = still.project(p).value();
        const PixelPoint t = turned.project(p).value();
        const PixelPoint m = shifted.project(p).value();
        const double dx = s.x - 639.5, dy = s.y - 359.5;
        // The picture turns by the roll, clockwise on the screen.
        EXPECT_NEAR(t.x - 639.5, dx * std::cos(a) - dy * std::sin(a), 1e-6);
        EXPECT_NEAR(t.y - 359.5, dx * std::sin(a) + dy * std::cos(a), 1e-6);
        EXPECT_NEAR(m.x - s.x, 3, 1e-9);
        EXPECT_NEAR(m.y - s.y, -1, 1e-9);
    }
}

// The numbers of a "pixel" or "survey" pair after a key in the truth file.
std::pair<double, double> pair_after(const std::string& json, const std::string& key,
                                     const std::string& field) {
    const size_t at = json.find("\"" + key + "\"");
    EXPECT_NE(at, std::string::npos) << key;
    const size_t f = json.find("\"" + field + "\": [", at);
    std::smatch m;
    const std::string rest = json.substr(f);
    EXPECT_TRUE(std::regex_search(rest, m, std::regex(R"(\[(-?[0-9.]+), (-?[0-9.]+)\])")));
    return {std::stod(m[1]), std::stod(m[2])};
}

TEST(DemoCourse, TruthFileHoldsExactlyItsKeysAndTheProjectionOfEverySurveyPoint) {
    for (std::uint64_t scene_number : {1u, 7u, 12345u}) {
        const DemoCourse course = make_demo_course(scene_number);
        const std::string json = truth_json(course, "Demojump1.avi", "DemoSetup.bmp");
        std::vector<std::string> keys;
        const std::regex top(R"re(\n  "([a-z_]+)":)re");
        for (auto it = std::sregex_iterator(json.begin(), json.end(), top);
             it != std::sregex_iterator(); ++it)
            keys.push_back((*it)[1]);
        EXPECT_EQ(keys, (std::vector<std::string>{"buoys", "jump", "contact_frame", "contact",
                                                  "distance_m", "video", "setup_picture"}));
        EXPECT_NE(json.find("\"video\": \"Demojump1.avi\""), std::string::npos);
        EXPECT_NE(json.find("\"setup_picture\": \"DemoSetup.bmp\""), std::string::npos);
        EXPECT_NE(json.find("\"contact_frame\": " + std::to_string(course.contact_frame) + ","),
                  std::string::npos);

        const PinholeCamera cam(course.camera);
        GridDefinition g;
        const Corner corners[] = {kUpperLeft, kUpperRight, kLowerLeft, kLowerRight};
        for (int i = 0; i < kDemoBuoys; ++i) {
            const std::string key = buoy_key(static_cast<DemoBuoy>(i));
            const auto survey = pair_after(json, key, "survey");
            const auto pixel = pair_after(json, key, "pixel");
            const SurveyXY b = course.buoys[static_cast<size_t>(i)];
            EXPECT_DOUBLE_EQ(survey.first, b.x);
            EXPECT_DOUBLE_EQ(survey.second, b.y);
            const PixelPoint p = cam.project({b.x, b.y, 0}).value();
            EXPECT_NEAR(pixel.first, p.x, 0.005) << key;
            EXPECT_NEAR(pixel.second, p.y, 0.005) << key;
            EXPECT_TRUE(p.x > 0 && p.x < 1279 && p.y > 0 && p.y < 719) << key;
            if (i < 4)
                g.corners[corners[i]] = {pixel.first * 15, pixel.second * 15, survey.first,
                                         survey.second};
        }
        // The plane mapping solved from the truth's corners carries the
        // truth's contact pixel to its survey point and the check buoy's
        // survey point to its pixel: the picture is the water plane's.
        ASSERT_TRUE(solve_grid(g));
        const auto contact_px = pair_after(json, "contact", "pixel");
        const auto contact = screen_to_survey(g, contact_px.first * 15, contact_px.second * 15);
        ASSERT_TRUE(contact);
        EXPECT_NEAR(contact->x, course.contact.x, 0.01);
        EXPECT_NEAR(contact->y, course.contact.y, 0.01);
        const auto check_px = pair_after(json, "check", "pixel");
        const auto check = survey_to_screen(g, course.buoys[4].x, course.buoys[4].y);
        EXPECT_NEAR(check->x / 15, check_px.first, 0.02);
        EXPECT_NEAR(check->y / 15, check_px.second, 0.02);
        const double d = std::hypot(course.contact.x, course.contact.y);
        EXPECT_NE(json.find("\"distance_m\": " + fixed_number(d, 3) + ","), std::string::npos);
        EXPECT_GT(d, 20);
        EXPECT_LT(d, 60);
    }
}

TEST(DemoCourse, TheSkisFirstTouchTheWaterAtTheContactPointInTheContactFrame) {
    for (std::uint64_t scene_number : {1u, 2u, 3u}) {
        const DemoCourse course = make_demo_course(scene_number);
        const CourseRenderer r(course);
        const double fps = course.frame_rate;
        const Vec3 at = r.ski_tail(course.contact_frame / fps);
        EXPECT_NEAR(at.x, course.contact.x, 1e-9);
        EXPECT_NEAR(at.y, course.contact.y, 1e-9);
        EXPECT_NEAR(at.z, 0, 1e-9);
        // In the air from the take-off to the frame before.
        for (int n = course.takeoff_frame + 1; n < course.contact_frame; ++n)
            EXPECT_GT(r.ski_tail(n / fps).z, 0.05) << n;
        EXPECT_NEAR(r.ski_tail(course.takeoff_frame / fps).z, course.ramp_height, 1e-9);
        EXPECT_GT(course.frame_count, course.contact_frame + 10);
    }
}

TEST(DemoCourse, PicturesShowTheBuoysAtTheirTruthAndAreTheSameForTheSameSeed) {
    const DemoCourse course = make_demo_course(5);
    const CourseRenderer r(course);
    const Picture24 setup = r.setup_picture();
    const PinholeCamera cam(course.camera);
    for (int i = 0; i < kDemoBuoys; ++i) {
        const SurveyXY b = course.buoys[static_cast<size_t>(i)];
        const PixelPoint p = cam.project({b.x, b.y, 0}).value();
        // The buoy stands on its survey point: just above it on the
        // picture, the buoy's orange or yellow.
        const std::uint8_t* px =
            setup.row(static_cast<int>(std::lround(p.y)) - 1) + std::lround(p.x) * 3;
        EXPECT_GT(px[2], 160) << buoy_key(static_cast<DemoBuoy>(i));
        EXPECT_LT(px[0], 90) << buoy_key(static_cast<DemoBuoy>(i));
    }
    EXPECT_EQ(make_demo_course(5).buoys[0].x, course.buoys[0].x);
    EXPECT_NE(make_demo_course(6).buoys[0].x, course.buoys[0].x);
    const Picture24 again = CourseRenderer(make_demo_course(5)).frame(course.contact_frame);
    EXPECT_TRUE(again.bgr == r.frame(course.contact_frame).bgr);
    // The water moves from frame to frame; the banks do not.
    const Picture24 next = r.frame(course.contact_frame + 1);
    const Picture24 now = r.frame(course.contact_frame);
    const PixelPoint water = cam.project({course.contact.x - 10, -10, 0}).value();
    const auto at = [](const Picture24& pic, PixelPoint p) {
        const std::uint8_t* q = pic.row(static_cast<int>(p.y)) + static_cast<int>(p.x) * 3;
        return q[0] + 256 * q[1] + 65536 * q[2];
    };
    int changed = 0;
    for (int dy = 0; dy < 10; ++dy)
        changed += at(now, {water.x, water.y + dy}) != at(next, {water.x, water.y + dy});
    EXPECT_GT(changed, 5);
    EXPECT_EQ(at(now, {640, 5}), at(next, {640, 5}));
    EXPECT_EQ(at(now, {300, 715}), at(next, {300, 715}));
}

}  // namespace
}  // namespace rs::demo
