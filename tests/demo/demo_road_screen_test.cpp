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
#include "tests/support/test_app.h"
#include "video/avi_info.h"
#include "video/frame_selection_screen.h"

namespace rs {
namespace {

// What a tool reads from "truth.json".
struct Truth {
    struct Point {
        std::string survey_x, survey_y;  // as written, for typing
        double px = 0, py = 0;
    };
    std::map<std::string, Point> buoys;
    Point contact;
    int contact_frame = -1;
    double distance_m = 0;
    std::string video, setup_picture;
};

Truth read_truth(const std::string& path) {
    const std::string json = test::slurp(path);
    Truth t;
    const std::regex point(
        R"re("([a-z_]+)": \{"survey": \[(-?[0-9.]+), (-?[0-9.]+)\], "pixel": \[(-?[0-9.]+), (-?[0-9.]+)\]\})re");
    for (auto it = std::sregex_iterator(json.begin(), json.end(), point);
         it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        Truth::Point p{m[2], m[3], std::stod(m[4]), std::stod(m[5])};
        if (m[1] == "contact")
            t.contact = p;
        else
            t.buoys[m[1]] = p;
    }
    std::smatch m;
    if (std::regex_search(json, m, std::regex(R"re("contact_frame": ([0-9]+))re")))
        t.contact_frame = std::stoi(m[1]);
    if (std::regex_search(json, m, std::regex(R"re("distance_m": ([0-9.]+))re")))
        t.distance_m = std::stod(m[1]);
    if (std::regex_search(json, m, std::regex(R"re("video": "([^"]+)")re")))
        t.video = m[1];
    if (std::regex_search(json, m, std::regex(R"re("setup_picture": "([^"]+)")re")))
        t.setup_picture = m[1];
    return t;
}

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
    const Truth truth = read_truth(course + "/truth.json");
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

    // The set-up: the picture loaded, each buoy clicked at its rounded
    // picture position, the survey typed as the surveyor wrote it.
    Grid_Setup& s = app.grid_setup();
    s.show();
    t.dialogs.file(course + "/" + truth.setup_picture);
    s.mnuLoadPicture_Click();
    ASSERT_EQ(s.picture->picture_pixels(), QSize(1280, 720));
    const auto place = [&](QRadioButton* button, const Truth::Point& p) {
        button->setChecked(true);
        s.Form_MouseDown(std::round(p.px) * 15, std::round(p.py) * 15);
    };
    const auto type = [&](ValueBox box, const std::string& text) {
        s.box(box)->setText(QString::fromStdString(text));
    };
    const Truth::Point& ul = truth.buoys.at("upper_left");
    const Truth::Point& ur = truth.buoys.at("upper_right");
    const Truth::Point& ll = truth.buoys.at("lower_left");
    const Truth::Point& lr = truth.buoys.at("lower_right");
    const Truth::Point& cb = truth.buoys.at("check");
    place(s.upper_left_button, ul);
    place(s.upper_right_button, ur);
    place(s.lower_left_button, ll);
    place(s.lower_right_button, lr);
    place(s.optCheckBuoy, cb);
    type(ValueBox::ul_survey_x, ul.survey_x);
    type(ValueBox::ul_survey_y, ul.survey_y);
    type(ValueBox::ur_survey_x, ur.survey_x);
    type(ValueBox::ur_survey_y, ur.survey_y);
    type(ValueBox::ll_survey_x, ll.survey_x);
    type(ValueBox::ll_survey_y, ll.survey_y);
    type(ValueBox::lr_survey_x, lr.survey_x);
    type(ValueBox::lr_survey_y, lr.survey_y);
    type(ValueBox::jump_x, "0");
    type(ValueBox::jump_y, "0");
    type(ValueBox::txtCheckX, cb.survey_x);
    type(ValueBox::txtCheckY, cb.survey_y);
    // Accepted without a word: the demo camera is a good set-up.
    t.dialogs.clear();
    s.Load_Click();
    EXPECT_TRUE(t.dialogs.messages().empty()) << t.dialogs.messages().front();
    EXPECT_EQ(s.grid_state_icon->property("picture").toString(), "face02.ico");
    EXPECT_EQ(app.grids().complete, 1.0);
    s.hide();

    // Frame selection: the video opened, stepped to the contact frame, taken.
    frmSetStart& f = app.set_start();
    f.free_space = [](const std::string&) { return std::uintmax_t{5'000'000'000}; };
    f.show();
    t.dialogs.file(video);
    f.Command6_Click();
    f.MediaPlayer1->setCurrentPosition(truth.contact_frame - 1);
    f.Command4_Click();
    f.cmdMarkStart_Click();
    EXPECT_EQ(app.shared().current_frame_number, truth.contact_frame);

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
    EXPECT_EQ(t.dialogs.pending(), 0u);
}

}  // namespace
}  // namespace rs
