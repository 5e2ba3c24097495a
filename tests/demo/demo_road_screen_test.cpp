// The whole road of a jump on the demo course, through the App: the grid
// set up on the demo's set-up picture by clicking the buoys at their
// rounded picture positions, the contact frame taken on the frame selection
// screen, the contact point clicked on the measurement screen and recorded.
// The recorded distance must match the course's truth within what half a
// pixel at the contact point allows on the grid the clicks made.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <regex>
#include <sstream>

#include "app/app.h"
#include "cli/command_registry.h"
#include "grid/grid_setup_screen.h"
#include "grid/grid_solution.h"
#include "measure/measure_screen.h"
#include "platform/frame_player_widget.h"
#include "platform/picture_canvas_widget.h"
#include "tests/demo/demo_truth.h"
#include "tests/support/test_app.h"
#include "video/avi_info.h"
#include "video/frame_selection_screen.h"

namespace rs {
namespace {

// The largest change of the distance (no offset) when the point moves by
// half a pixel on either axis, through the grid's own mapping.
double half_pixel_bound(const GridDefinition& g, double x, double y) {
    const auto at = [&](double dx, double dy) {
        return distance_calculation(g, x + dx, y + dy, JumpKind::Barefoot).value().distance;
    };
    const double d = at(0, 0);
    double worst = 0;
    for (double dx : {-7.5, 7.5})
        for (double dy : {-7.5, 7.5})
            worst = std::max(worst, std::abs(at(dx, dy) - d));
    return worst;
}

TEST(DemoRoad, TheMeasuredDistanceMatchesTheTruthWithinHalfAPixel) {
    test::TestApp t;
    const std::string course = t.tmp.make_dir("course");
    std::ostringstream out, err;
    ASSERT_EQ(cli::run_cli({"demo-course", course, "--seed", "1"}, out, err), 0) << err.str();
    const test::Truth truth = test::read_truth(course + "/truth.json");
    ASSERT_EQ(truth.buoys.size(), 5u);
    ASSERT_EQ(truth.video, "Demojump1.avi");
    const std::string video = course + "/" + truth.video;

    // The video is what the capture screen writes: MJPEG, 1280 x 720, 30
    // frames a second.
    AviFileInfoRecord info;
    ASSERT_EQ(read_avi_info(video, info), AviReadStatus::Ok);
    EXPECT_EQ(info.dwWidth, 1280u);
    EXPECT_EQ(info.dwHeight, 720u);
    EXPECT_EQ(info.dwRate / info.dwScale, 30u);

    (void)t.settings->save("grids", "1");
    (void)t.settings->save("SetupFiles", t.tmp.make_dir("setups"));
    t.install_assets();
    App& app = t.started();

    // The set-up: the buoys clicked at their rounded picture positions.
    Grid_Setup& s = test::set_up_demo_grid(t, app, truth, course + "/" + truth.setup_picture);
    // Accepted without a word: the demo camera is a good set-up.
    EXPECT_TRUE(t.dialogs.messages().empty()) << t.dialogs.messages().front();
    EXPECT_EQ(s.grid_state_icon->property("picture").toString(), "face02.ico");
    EXPECT_EQ(app.grids().complete, 1.0);
    s.hide();

    // Frame selection: the video opened, stepped to the contact frame, taken.
    frmSetStart& f = app.set_start();
    f.free_space = [](const std::string&) { return std::uintmax_t{5'000'000'000}; };
    f.show();
    t.dialogs.file(video);
    f.Command6->click();
    f.MediaPlayer1->setCurrentPosition(truth.contact_frame - 1);
    f.Command4->click();
    f.cmdMarkStart->click();
    EXPECT_EQ(app.shared().current_frame_number, truth.contact_frame);
    // The same camera, the water moved on, the skier landing: no warning.
    EXPECT_TRUE(t.dialogs.messages().empty()) << t.dialogs.messages().front();
    EXPECT_NE(t.debug_log().find("Camera check: grid 1, 0."), std::string::npos) << t.debug_log();

    Measure& m = app.measure();
    ASSERT_TRUE(m.isVisible());
    m.Skier_name->setEditText("Demo");
    m.Jump_no->setText("1");
    const QPoint click(static_cast<int>(std::lround(truth.contact.px)),
                       static_cast<int>(std::lround(truth.contact.py)));
    m.picture->simulate_click(click);
    m.Record->click();
    const auto& r = m.last_recorded();
    ASSERT_TRUE(r && r->distance);
    const double measured = *r->distance - jump_offset(JumpKind::Normal);
    const double bound = half_pixel_bound(app.grids().grid(1), click.x() * 15.0, click.y() * 15.0);
    EXPECT_GT(bound, 0.001);
    EXPECT_LT(bound, 0.2);
    EXPECT_NEAR(measured, truth.distance_m, bound)
        << "measured " << measured << " m, truth " << truth.distance_m << " m";
    ASSERT_TRUE(r->camera_moved_px);
    EXPECT_LT(*r->camera_moved_px, 0.5);
    EXPECT_EQ(t.dialogs.pending(), 0u);
}

}  // namespace
}  // namespace rs
