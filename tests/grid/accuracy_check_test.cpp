#include "grid/accuracy_check.h"

#include <gtest/gtest.h>

#include <set>

#include "grid/setup_files.h"
#include "tests/grid/grid_fixture.h"

namespace rs {
namespace {

using test::PromptKind;
using test::ScriptedDialogs;

// A picture of uniform scale: `per_twip` meters of survey per twip, survey Y
// growing up the picture, the jump point at (jump_x, jump_y).
GridDefinition uniform_grid(double per_twip, double jump_x, double jump_y) {
    GridDefinition g;
    const double side = 6000 * per_twip;
    test::set_corners(g, {{6000, 0, side, 100},
                          {6000, 6000, side, 100 - side},
                          {0, 0, 0, 100},
                          {0, 6000, 0, 100 - side}});
    g.jump_x = jump_x;
    g.jump_y = jump_y;
    EXPECT_TRUE(solve_grid(g));
    return g;
}

std::set<std::string> classes(const std::vector<AccuracyPoint>& points) {
    std::set<std::string> out;
    for (const AccuracyPoint& p : points)
        out.insert(p.text);
    return out;
}

TEST(AccuracyLattice, EdgesCutInFiveEqualStepsThenEachColumn) {
    const GridDefinition g = test::perspective_grid();
    // Upper left (4000, 2000), upper right (8000, 2000), lower left
    // (2000, 7000), lower right (10000, 7000).
    EXPECT_EQ(lattice_point(g, 1, 1).x, 4000);
    EXPECT_EQ(lattice_point(g, 1, 6).x, 8000);
    EXPECT_EQ(lattice_point(g, 6, 1).y, 7000);
    EXPECT_EQ(lattice_point(g, 6, 6).x, 10000);
    // Column 2 runs from (4800, 2000) to (3600, 7000); row 3 is 2/5 down it.
    const ScreenPoint p = lattice_point(g, 3, 2);
    EXPECT_DOUBLE_EQ(p.x, 4800 + (3600 - 4800) * 0.4);
    EXPECT_DOUBLE_EQ(p.y, 2000 + 5000 * 0.4);
    EXPECT_EQ(lattice_index(1, 1), 0);
    EXPECT_EQ(lattice_index(3, 2), 13);
    EXPECT_EQ(lattice_index(6, 6), 35);
}

TEST(AccuracyClasses, EachClassIncludesItsUpperEdge) {
    EXPECT_EQ(accuracy_class(0), "R");
    EXPECT_EQ(accuracy_class(0.1), "R");
    EXPECT_EQ(accuracy_class(0.1001), "L");
    EXPECT_EQ(accuracy_class(0.15), "L");
    EXPECT_EQ(accuracy_class(0.1501), "C");
    EXPECT_EQ(accuracy_class(0.2), "C");
    EXPECT_EQ(accuracy_class(0.2001), "NH");
    // A subtraction that lands a last bit above the edge is still the edge.
    EXPECT_EQ(accuracy_class(0.15 + 1e-14), "L");
}

TEST(AccuracyClasses, UniformScalesClassEveryPoint) {
    // 0.01 m per twip is 0.15 m per pixel; 0.02 m per twip 0.3 m.
    EXPECT_EQ(classes(accuracy_points(uniform_grid(0.01, 30, 0), JumpKind::Normal,
                                      AccuracyDisplay::HomologationLevel)),
              std::set<std::string>{"L"});
    EXPECT_EQ(classes(accuracy_points(uniform_grid(0.02, 60, -20), JumpKind::Normal,
                                      AccuracyDisplay::HomologationLevel)),
              std::set<std::string>{"NH"});
    // With the jump point far off to the left of the upper edge a pixel right
    // runs straight away from it: delta is the scale itself, at the edges.
    const std::pair<double, const char*> edges[] = {{0.1, "R"}, {0.15, "L"}, {0.2, "C"}};
    for (const auto& [per_pixel, expected] : edges) {
        const auto points = accuracy_points(uniform_grid(per_pixel / 15, -2000, 100),
                                            JumpKind::Barefoot, AccuracyDisplay::HomologationLevel);
        EXPECT_NEAR(points[0].delta, per_pixel, 1e-9);
        EXPECT_EQ(classes(points), std::set<std::string>{expected}) << per_pixel;
    }
}

TEST(AccuracyPoints, DisplayChoicesAndJumpKind) {
    const GridDefinition g = test::worked_grid();
    GridDefinition solved = g;
    ASSERT_TRUE(solve_grid(solved));
    // Point (1, 1) is the upper-left corner: survey (0, 100), 50 m from the
    // jump point; a pixel down is 0.15 m nearer, a pixel right about as far.
    const auto normal = accuracy_points(solved, JumpKind::Normal, AccuracyDisplay::Distance);
    ASSERT_EQ(normal.size(), 36u);
    EXPECT_DOUBLE_EQ(normal[0].d0, 52.1);
    EXPECT_EQ(normal[0].text, "52.1");
    EXPECT_NEAR(normal[0].dv, 51.95, 1e-9);
    EXPECT_NEAR(normal[0].delta, 0.15, 1e-9);
    const auto sitski = accuracy_points(solved, JumpKind::SitSki, AccuracyDisplay::Detail);
    EXPECT_DOUBLE_EQ(sitski[0].d0, 51.9);
    EXPECT_EQ(sitski[0].text, ".15");
    EXPECT_NEAR(sitski[0].delta, normal[0].delta, 1e-12);
}

TEST(AccuracyPoints, APointWithoutImageHasNoDistanceAndSaysSo) {
    // w = 1 - y / 1500: the upper edge of the grid lies on the horizon.
    GridDefinition g;
    test::set_corners(
        g, {{3000, 1500, 30, 100}, {3000, 4500, 30, 70}, {0, 1500, 0, 100}, {0, 4500, 0, 70}});
    g.c = {0, 1, 0, 0, -1.0 / 1500, 0, 0, 1};
    const auto points = accuracy_points(g, JumpKind::Normal, AccuracyDisplay::HomologationLevel);
    for (int column = 1; column <= 6; ++column) {
        const AccuracyPoint& p = points[static_cast<size_t>(lattice_index(1, column))];
        EXPECT_FALSE(p.has_image());
        EXPECT_EQ(p.text, "");
    }
    EXPECT_TRUE(points[static_cast<size_t>(lattice_index(2, 1))].has_image());
    EXPECT_EQ(accuracy_point_line(points[1]),
              "xpix: 600  ypix: 1500  no image: the point lies on or beyond the horizon of the "
              "grid");
}

TEST(AccuracyReport, LinesOfOneCheck) {
    GridDefinition w = test::worked_grid();
    ASSERT_TRUE(solve_grid(w));
    w.check_buoy = {1500, 1500, 15, 85};
    SetupForm form;
    show_values_in_boxes(form, w);
    form.txtCheckX = "15.0";
    form.txtCheckY = "85";
    form.ipt_file_description = "/setups/pier.ipt";
    form.ipt_file_description_2 = "Pier camera";
    const AccuracyReportHeader header{DateTime{2007, 12, 7, 14, 3, 9}, 2, 87.6, 62.2};
    const auto points = accuracy_points(w, JumpKind::Normal, AccuracyDisplay::HomologationLevel);
    const auto lines = accuracy_report_lines(form, w, header, points);

    ASSERT_EQ(lines.size(), 25u + 36u + 2u);
    const std::vector<std::string> head(lines.begin(), lines.begin() + 25);
    EXPECT_EQ(head, (std::vector<std::string>{"12-07-2007  14:03:09 Accuracy Check",
                                              "Grid Set-up for accuracy check",
                                              "/setups/pier.ipt",
                                              "Pier camera",
                                              "Grid Number:  2 ",
                                              " ",
                                              "Front Ratio: 87",
                                              "Back Ratio: 62",
                                              "Upper Left X,Y Pixels: 0  0",
                                              "Upper Left X,Y Survey: 0  100",
                                              " ",
                                              "Lower Left X,Y Pixels: 0  3000",
                                              "Lower Left X,Y Survey: 0  70",
                                              " ",
                                              "Upper Right X,Y Pixels: 3000  0",
                                              "Upper Right X,Y Survey: 30  100",
                                              " ",
                                              "Lower Right X,Y Pixels: 3000  3000",
                                              "Lower Right X,Y Survey: 30  70",
                                              " ",
                                              "Jump X,Y Survey: 0  50",
                                              " ",
                                              "Check Buoy X,Y Pixels:  1500    1500 ",
                                              "Check Buoy X,Y Survey: 15.0  85",
                                              " "}));
    EXPECT_EQ(lines[25],
              "xpix: 0  ypix: 0  x: 0  y: 100  distance: 52.1  v inc: 51.95  h inc: 52.1  "
              "delta: .15");
    // Row 2, column 3: (1200, 600) on the screen is (12, 94) on the water.
    EXPECT_EQ(lines[25 + 8],
              "xpix: 1200  ypix: 600  x: 12  y: 94  distance: 47.71  v inc: 47.56  h inc: "
              "47.75  delta: .14");
    EXPECT_EQ(lines[61], "Accuracy Check Complete");
    EXPECT_EQ(lines[62], "");
    EXPECT_EQ(accuracy_report_name(header.now), "acc1207.txt");
    EXPECT_EQ(accuracy_report_name(DateTime{2007, 3, 1}), "acc0301.txt");
}

TEST(AccuracyRow, AskedAgainUntilAWholeNumberFromOneToSeven) {
    for (const char* bad : {"0", "8", "", "abc", "2.5", "-1"})
        EXPECT_FALSE(accuracy_row_from_answer(bad)) << bad;
    EXPECT_EQ(accuracy_row_from_answer("1"), 1);
    EXPECT_EQ(accuracy_row_from_answer(" 7 "), 7);

    ScriptedDialogs dialogs;
    dialogs.text("0").text("three").text("8").text("3");
    EXPECT_EQ(ask_accuracy_row(dialogs), 3);
    ASSERT_EQ(dialogs.prompts().size(), 4u);
    for (const auto& p : dialogs.prompts()) {
        EXPECT_EQ(p.kind, PromptKind::Input);
        EXPECT_EQ(p.text, "Pick the line number that best represents where the skier will land");
        EXPECT_EQ(p.title, "Input the skier path line");
    }
}

}  // namespace
}  // namespace rs
