#include "grid/grid_validation.h"

#include <gtest/gtest.h>

#include "core/text_forms.h"
#include "grid/setup_files.h"
#include "tests/grid/grid_fixture.h"

namespace rs {
namespace {

using test::GridFixture;
using Lines = std::vector<std::string>;

// A set-up whose mapping is exact in binary: survey X = x / 16,
// survey Y = 100 - y / 16, so the check buoy (100, 0) belongs at (1600, 1600).
void fill_exact(GridFixture& f, const std::string& check_x_pix = "1600",
                const std::string& check_y_pix = "1600") {
    GridDefinition& w = f.grids.working;
    test::set_corners(
        w, {{3200, 0, 200, 100}, {3200, 3200, 200, -100}, {0, 0, 0, 100}, {0, 3200, 0, -100}});
    w.jump_x = 0;
    w.jump_y = 0;
    show_values_in_boxes(f.form, w);
    f.form.txtCheckX = "100";
    f.form.txtCheckY = "0";
    f.form.txtCheckXpix = check_x_pix;
    f.form.txtCheckYpix = check_y_pix;
    w.check_buoy = {text_to_number(check_x_pix), text_to_number(check_y_pix), 100, 0};
    f.form.txtPicWidth = " 3200";
    f.form.ipt_file_description = "/s/exact.ipt";
    f.form.ipt_file_description_2 = "exact";
}

size_t index_of(const Lines& lines, const std::string& line) {
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i] == line)
            return i;
    return lines.size();
}

TEST(AcceptSetup, UntouchedScreenIsRefusedLoggedAndRatioChecked) {
    GridFixture f;
    AcceptResult r = accept_setup(f.ctx);
    EXPECT_EQ(r.outcome, AcceptOutcome::MissingValues);
    EXPECT_EQ(f.dialogs.messages(),
              (Lines{"Warning - Not all parameters have been set up on grid",
                     "Front ratio is 0%  Zoom camera in until front is > 85%"}));
    EXPECT_EQ(f.dialogs.prompts()[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(f.dialogs.prompts()[0].title, "Error Message");
    EXPECT_EQ(f.form.grid_state_icon, "msgbox03.ico");
    const Lines block = f.results_lines();
    ASSERT_EQ(block.size(), 22u);
    EXPECT_EQ(block[5], "Upper Left X,Y Pixels: auto  auto");
    EXPECT_EQ(block[6], "Upper Left X,Y Survey: input  input");
    EXPECT_EQ(block[17], "Jump X,Y Survey: jump x  jump y");
    EXPECT_EQ(block[19], "Check Buoy X,Y Pixels:  0    0 ");
    EXPECT_EQ(block[20], "Check Buoy X,Y Survey:  0    0 ");
    EXPECT_EQ(f.debug_lines(), (Lines{"Front set-up ratio = 0", "Back set-up ratio = 0"}));
}

TEST(AcceptSetup, CheckBuoyScreenPositionIsMandatory) {
    GridFixture f;
    fill_exact(f, "", "");
    EXPECT_EQ(accept_setup(f.ctx).outcome, AcceptOutcome::MissingValues);
    EXPECT_EQ(f.dialogs.messages(),
              (Lines{"Setup of Check Buoy is Mandatory",
                     "Warning - Not all parameters have been set up on grid"}));
}

TEST(AcceptSetup, AcceptedSetUpBecomesTheGridsRecord) {
    GridFixture f;
    f.shared.grid_count = 2;
    f.grids.grid(1).loaded = true;
    f.form.grid_select = "Grid 2";
    fill_exact(f);
    AcceptResult r = accept_setup(f.ctx);
    EXPECT_EQ(r.outcome, AcceptOutcome::Accepted);
    EXPECT_TRUE(f.dialogs.messages().empty());
    EXPECT_EQ(r.field_of_view, 0);
    EXPECT_EQ(r.grid_width_percent, 100);
    EXPECT_EQ(f.form.grid_state_icon, "face02.ico");
    EXPECT_TRUE(f.form.btnAccuracyCheck_visible);
    const GridDefinition& rec = f.grids.grid(2);
    EXPECT_TRUE(rec.loaded);
    EXPECT_EQ(rec.c[1], 0.0625);
    EXPECT_EQ(rec.check_buoy.screen_x, 1600);
    EXPECT_EQ(rec.setup_file, "/s/exact.ipt");
    EXPECT_EQ(rec.description, "exact");
    EXPECT_EQ(f.grids.current, 2);
    EXPECT_EQ(f.grids.complete, 1);
    EXPECT_EQ(f.grids.direction, -1);
    EXPECT_EQ(f.indicators, (std::vector<std::pair<int, bool>>{{2, true}}));
    EXPECT_EQ(f.main_descriptions, (std::vector<std::pair<int, std::string>>{{2, "not saved"}}));
    EXPECT_DOUBLE_EQ(f.form.front_ratio, 100);

    const Lines log = f.debug_lines();
    const Lines expected = {"Record Grid Setup",
                            "check buoy x = 100",
                            "check buoy y = 0",
                            "check buoy on screen x = 100",
                            "check buoy on screen y = 0",
                            "left angle= 0 degrees",
                            "left position = 0",
                            "right angle= 0 degrees",
                            "right position = 3200",
                            "Field of view  = 0 degrees",
                            "Screen width of Grid  = 100%",
                            "Screen width  =  3200",
                            "grid 2 OK and loaded - not saved",
                            "Check if Setup OK",
                            "2 grids - all loaded on OK",
                            "If setup is OK there should be a message above this saying so "
                            "otherwise - not OK",
                            "Front set-up ratio = 100",
                            "Back set-up ratio = 100"};
    EXPECT_EQ(log, expected);
    const Lines block = f.results_lines();
    ASSERT_EQ(block.size(), 22u);
    EXPECT_EQ(block[3], "Grid Number:  2 ");
    EXPECT_EQ(block[11], "Upper Right X,Y Pixels: 3200  0");
    EXPECT_EQ(block[19], "Check Buoy X,Y Pixels:  1600    1600 ");
    EXPECT_EQ(block[20], "Check Buoy X,Y Survey:  100    0 ");
}

TEST(AcceptSetup, CheckBuoyToleranceIsOneAndAHalfPixels) {
    for (const auto& [x, y, ok] :
         {std::tuple{"1622.5", "1600", true}, std::tuple{"1600", "1577.5", true},
          std::tuple{"1623", "1600", false}, std::tuple{"1600", "1577", false}}) {
        GridFixture f;
        fill_exact(f, x, y);
        AcceptResult r = accept_setup(f.ctx);
        SCOPED_TRACE(std::string(x) + "," + y);
        if (ok) {
            EXPECT_EQ(r.outcome, AcceptOutcome::Accepted);
            EXPECT_FALSE(f.form.lblCB_visible);
            continue;
        }
        EXPECT_EQ(r.outcome, AcceptOutcome::CheckBuoy);
        EXPECT_EQ(f.dialogs.messages(), Lines{"Check Buoy Does not Validate"});
        EXPECT_TRUE(f.form.lblCB_visible);
        EXPECT_EQ(f.form.lblCB_left, 1615);
        EXPECT_EQ(f.form.lblCB_top, 1495);
        ASSERT_EQ(f.form.figures.size(), 3u);
        EXPECT_EQ(f.form.figures[1].kind, SetupFigure::Circle);
        EXPECT_EQ(f.form.figures[1].radius, 4 * f.form.Setup_Cross_size);
        EXPECT_EQ(f.form.figures[2].x2, 1700);
        EXPECT_TRUE(f.form.show_grid_requested);
        EXPECT_FALSE(f.grids.grid(1).loaded);
        EXPECT_EQ(f.form.grid_state_icon, "msgbox03.ico");
        EXPECT_TRUE(f.results_lines().empty());  // not logged, no ratio check
        const Lines log = f.debug_lines();
        EXPECT_LT(index_of(log, "measured x: " + std::string(x) + " Actual: 1600"), log.size());
        EXPECT_EQ(log.back(), "measured y: " + std::string(y) + " Actual: 1600");
    }
}

TEST(AcceptSetup, NoUniqueSolutionIsRefusedAndLogged) {
    GridFixture f;
    fill_exact(f);
    for (GridPoint& p : f.grids.working.corners)
        p.screen_x = p.screen_y = 1500;
    EXPECT_EQ(accept_setup(f.ctx).outcome, AcceptOutcome::NoUniqueSolution);
    EXPECT_EQ(f.dialogs.messages()[0], "No Unique Solution - Re-enter data");
    EXPECT_EQ(f.dialogs.prompts()[0].title, "Error Message");
    EXPECT_EQ(f.dialogs.prompts()[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(f.results_lines().size(), 22u);
    EXPECT_FALSE(f.grids.grid(1).loaded);
}

TEST(AcceptSetup, WideFieldOfViewIsRefusedUnlessInvalidSetUpsAreAllowed) {
    for (bool allow : {false, true}) {
        GridFixture f;
        GridDefinition& w = f.grids.working;
        w = test::perspective_grid();
        show_values_in_boxes(f.form, w);
        f.form.txtCheckX = "15";
        f.form.txtCheckY = "85";
        f.form.txtCheckXpix = "6000";
        f.form.txtCheckYpix = "3667";
        f.form.txtPicWidth = " 9000";
        f.form.chkBadSetup = allow;
        AcceptResult r = accept_setup(f.ctx);
        ASSERT_TRUE(r.field_of_view);
        EXPECT_GT(*r.field_of_view, 35);
        EXPECT_EQ(r.outcome, allow ? AcceptOutcome::Accepted : AcceptOutcome::FieldOfView);
        EXPECT_EQ(f.dialogs.messages().size(), allow ? 2u : 1u);
        EXPECT_EQ(f.results_lines().empty(), !allow);
    }
}

TEST(FieldOfView, EdgesOfTheWarningAndTheRefusal) {
    EXPECT_EQ(field_of_view(-17.52, 17.52), 35);  // 35.04 rounds to 35.0
    EXPECT_EQ(field_of_view(10, -20.06), 30.1);
    struct Case {
        double F;
        bool bad_allowed;
        bool goes_on;
        Lines messages;
    };
    const std::string warning =
        "Warning! Field of View is 35 degrees where the maximum allowed is 35 degrees and the "
        "desired is less than 30 degrees. If your grid is not taking up as much of the screen  "
        "as possible then your fov is even greater and may lead to inaccurate readings. You "
        "should consider moving the camera further away or making the measurement grid shorter.";
    const std::string refusal =
        "Setup is not valid, Field of View is 35.1 degrees where the maximum allowed is 35 "
        "degrees.You either need to move the camera further away or make the measurement grid "
        "shorter.";
    const Case cases[] = {
        {30.0, false, true, {}},
        {35.0, false, true, {warning}},
        {35.1, false, false, {refusal}},
        {35.1, true, true, {refusal, "Invalid Configurations allowed for test"}},
    };
    for (const Case& c : cases) {
        GridFixture f;
        f.form.chkBadSetup = c.bad_allowed;
        SCOPED_TRACE(c.F);
        EXPECT_EQ(judge_field_of_view(f.ctx, c.F), c.goes_on);
        EXPECT_EQ(f.dialogs.messages(), c.messages);
        const Lines log = f.debug_lines();
        EXPECT_EQ(log.empty(), !c.goes_on);
        if (c.goes_on) {
            EXPECT_EQ(log.back(), "Field of view  = " + plain_number(c.F) + " degrees");
        }
    }
}

TEST(GridWidth, EdgesOfTheWarningAndTheRefusal) {
    const std::string warn79 =
        "Warning - Grid is 79% which is less than 80% of screen width.  Zoom your camera until "
        "the grid nearly fills the screen.";
    const std::string warn75 =
        "Warning - Grid is 75% which is less than 80% of screen width.  Zoom your camera until "
        "the grid nearly fills the screen.";
    struct Case {
        double G;
        bool bad_allowed;
        bool goes_on;
        Lines messages;
    };
    const Case cases[] = {
        {80, false, true, {}},
        {79.9, false, true, {warn79, "Grid is greater than 75% so continue"}},
        {75, false, false, {warn75}},
        {75, true, true, {warn75, "Invalid Configurations allowed for test"}},
    };
    for (const Case& c : cases) {
        GridFixture f;
        f.form.chkBadSetup = c.bad_allowed;
        SCOPED_TRACE(c.G);
        EXPECT_EQ(judge_grid_width(f.ctx, c.G, 12000), c.goes_on);
        EXPECT_EQ(f.dialogs.messages(), c.messages);
        if (!c.messages.empty()) {
            EXPECT_EQ(f.dialogs.prompts()[0].icon, MsgIcon::Critical);
        }
        EXPECT_EQ(f.debug_lines(), (Lines{"Screen width of Grid  = " + plain_number(int(c.G)) + "%",
                                          "Screen width  =  12000"}));
    }
}

TEST(GridWidth, UnknownPictureWidthRefusesWithoutDividingByZero) {
    for (bool allow : {false, true}) {
        GridFixture f;
        fill_exact(f);
        f.form.txtPicWidth = " 0";
        f.form.chkBadSetup = allow;
        AcceptResult r = accept_setup(f.ctx);
        EXPECT_EQ(r.outcome, allow ? AcceptOutcome::Accepted : AcceptOutcome::GridWidth);
        EXPECT_FALSE(r.grid_width_percent);
        const Lines messages = f.dialogs.messages();
        ASSERT_FALSE(messages.empty());
        EXPECT_NE(messages[0].find("picture width is unknown"), std::string::npos);
        const Lines log = f.debug_lines();
        EXPECT_EQ(index_of(log, "Screen width of Grid  = 0%"), log.size());
        if (allow) {
            EXPECT_EQ(log.back(), "Picture width unknown - set-up ratios not computed");
            EXPECT_EQ(f.form.front_ratio, 0);
        }
    }
}

TEST(GridCheck, FrontRatioWarnsBelowEightyAlthoughTheMessageNamesEightyFive) {
    GridFixture f;
    f.form.txtPicWidth = " 10000";
    f.form.lower_left_x = "1000";
    f.form.lower_right_x = "9400";
    f.form.upper_left_x = "3000";
    f.form.upper_right_x = "7000";
    grid_check(f.ctx);
    EXPECT_TRUE(f.dialogs.messages().empty());  // 84 %
    EXPECT_DOUBLE_EQ(f.form.front_ratio, 84);
    EXPECT_DOUBLE_EQ(f.form.back_ratio, 40);
    f.form.lower_right_x = "8990";
    grid_check(f.ctx);
    EXPECT_EQ(f.dialogs.messages(),
              Lines{"Front ratio is 79%  Zoom camera in until front is > 85%"});
    EXPECT_EQ(f.dialogs.last().buttons, MsgButtons::Ok);
}

TEST(EdgeAngle, LineAlongTheSurveyXAxisIsNinetyDegrees) {
    // Survey X grows up the picture, survey Y across it: going up changes X only.
    GridDefinition g;
    test::set_corners(g,
                      {{3200, 0, 200, 200}, {3200, 3200, 0, 200}, {0, 0, 200, 0}, {0, 3200, 0, 0}});
    ASSERT_TRUE(solve_grid(g));
    EXPECT_EQ(edge_angle(g, 0, 3200), 90);
    EXPECT_EQ(edge_angle(g, 3200, 3200), 90);
    EXPECT_EQ(field_of_view(edge_angle(g, 0, 0), edge_angle(g, 3200, 0)), 0);
}

}  // namespace
}  // namespace rs
