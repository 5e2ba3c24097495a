// The camera-moved warning through the App on the demo course: the grid set
// up and saved on the set-up screen keeps its set-up picture beside the
// set-up file; a frame from a camera knocked 3 pixels sideways, or turned by
// 0.3 degrees, is reported to the official naming the grid and how far the
// picture moved, written to the debug log and kept with the recorded jump;
// the limit is the one set on the configuration screen.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <regex>

#include "app/app.h"
#include "app/config_screen.h"
#include "demo/course_renderer.h"
#include "demo/demo_course.h"
#include "measure/camera_check.h"
#include "measure/measure_screen.h"
#include "platform/picture_canvas_widget.h"
#include "tests/demo/demo_truth.h"
#include "tests/support/press.h"
#include "video/dib.h"

namespace rs {
namespace {

struct CameraMoved : ::testing::Test {
    test::TestApp t;
    std::string course_dir = t.tmp.make_dir("course");
    std::string setups = t.tmp.make_dir("setups");
    demo::DemoCourse course = demo::make_demo_course(2);
    test::Truth truth;
    App* app = nullptr;

    void SetUp() override {
        FileWriter files;
        ASSERT_TRUE(write_picture_bmp(files, demo::CourseRenderer(course).setup_picture(),
                                      course_dir + "/DemoSetup.bmp"));
        ASSERT_TRUE(files.replace(course_dir + "/truth.json",
                                  demo::truth_json(course, "Demojump1.avi", "DemoSetup.bmp")));
        truth = test::read_truth(course_dir + "/truth.json");
        (void)t.settings->save("grids", "1");
        (void)t.settings->save("SetupFiles", setups);
        t.install_assets();
        app = &t.started();
        Grid_Setup& s = test::set_up_demo_grid(t, *app, truth, course_dir + "/DemoSetup.bmp");
        ASSERT_EQ(s.grid_state_icon->property("picture").toString(), "face02.ico");
        s.hide();
    }

    // The frame of first contact seen through another camera, taken for
    // measuring.
    Measure& take_frame(const demo::CameraSetup& camera) {
        FileWriter files;
        EXPECT_TRUE(write_picture_bmp(
            files, demo::CourseRenderer(course, camera).frame(course.contact_frame),
            t.app_folder + "/currentcapture.bmp"));
        app->shared().navigation_state = "SelectFrame";
        t.dialogs.clear();
        Measure& m = app->measure();
        m.show();
        return m;
    }
};

TEST_F(CameraMoved, AKnockedCameraIsReportedFromThePictureKeptBesideTheSavedSetup) {
    Grid_Setup& s = app->grid_setup();
    s.show();
    t.dialogs.file(setups + "/demo.ipt").text("Demo course").yes();
    test::press(s, "gridSave");
    s.hide();
    const std::string kept = setups + "/demo.ipt.bmp";
    ASSERT_TRUE(std::filesystem::exists(kept));
    const auto read = read_bitmap_picture(kept);
    ASSERT_TRUE(read);
    EXPECT_TRUE(read->bgr == demo::CourseRenderer(course).setup_picture().bgr);

    // As in a later run: nothing in memory, the picture beside the file.
    app->grids().setup_pictures = {};
    demo::CameraSetup knocked = course.camera;
    knocked.shift_x_px = 3;
    Measure& m = take_frame(knocked);
    ASSERT_EQ(t.dialogs.messages().size(), 1u);
    const std::string said = t.dialogs.messages()[0];
    EXPECT_EQ(t.dialogs.last().icon, MsgIcon::Exclamation);
    std::smatch got;
    ASSERT_TRUE(std::regex_search(
        said, got,
        std::regex("^The camera seems to have moved since grid 1 was set up: on this picture the "
                   "buoys lie ([0-9.]+) pixels from where they were set up \\(the picture is "
                   "shifted ([0-9.]+) pixels right and [0-9.]+ pixels (down|up), turned [0-9.]+ "
                   "degrees (anti)?clockwise\\)\\. Distances measured on it may be wrong\\. Check "
                   "the camera and set up grid 1 again before measuring\\.$")))
        << said;
    EXPECT_NEAR(std::stod(got[1]), 3, 0.3);
    EXPECT_NEAR(std::stod(got[2]), 3, 0.3);
    EXPECT_NE(t.debug_log().find("Camera moved: grid 1, "), std::string::npos);

    // The figure goes with the jump recorded on that picture.
    m.Skier_name->setEditText("Demo");
    m.picture->simulate_click(QPoint(static_cast<int>(std::lround(truth.contact.px)),
                                     static_cast<int>(std::lround(truth.contact.py))));
    m.Record->click();
    ASSERT_TRUE(m.last_recorded() && m.last_recorded()->camera_moved_px);
    EXPECT_NEAR(*m.last_recorded()->camera_moved_px, 3, 0.3);
}

TEST_F(CameraMoved, ATurnedCameraIsReportedAboveTheLimitSetOnTheConfigurationScreen) {
    demo::CameraSetup turned = course.camera;
    turned.roll_deg = 0.3;
    Measure& m = take_frame(turned);
    ASSERT_EQ(t.dialogs.messages().size(), 1u);
    EXPECT_NE(t.dialogs.messages()[0].find("turned 0.3"), std::string::npos)
        << t.dialogs.messages()[0];
    ASSERT_TRUE(m.form().camera_moved_px);
    const double moved = *m.form().camera_moved_px;
    EXPECT_GT(moved, 2.5);

    // A limit above the movement, typed on the configuration screen: the
    // same picture measured again says nothing and logs the limit.
    Config& c = app->config();
    auto* limit = c.findChild<QLineEdit*>("txtCameraMoved");
    ASSERT_NE(limit, nullptr);
    limit->setText("4.5");
    EXPECT_EQ(t.reopen_settings().get("cameraMoved", ""), "4.5");
    limit->setText("0");  // not a limit: the last one stands
    EXPECT_EQ(app->configuration().camera_moved_limit_px, 4.5);
    t.dialogs.clear();
    m.Set_grid->click();
    EXPECT_TRUE(t.dialogs.messages().empty());
    EXPECT_NE(t.debug_log().find("clockwise), limit 4.5 pixels"), std::string::npos)
        << t.debug_log();
}

TEST_F(CameraMoved, APictureOfAnotherSizeIsNotComparedAndSaysSoInTheLog) {
    FileWriter files;
    Picture24 small{320, 240, PictureBytes(320 * 240 * 3, 128)};
    ASSERT_TRUE(write_picture_bmp(files, small, t.app_folder + "/currentcapture.bmp"));
    app->shared().navigation_state = "SelectFrame";
    t.dialogs.clear();
    Measure& m = app->measure();
    m.show();
    EXPECT_TRUE(t.dialogs.messages().empty());
    EXPECT_FALSE(m.form().camera_moved_px);
    EXPECT_NE(t.debug_log().find("Camera check for grid 1 not made: the set-up picture is 1280 x "
                                 "720 pixels and this picture 320 x 240"),
              std::string::npos);
}

}  // namespace
}  // namespace rs
