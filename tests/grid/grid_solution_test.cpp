#include "grid/grid_solution.h"

#include <gtest/gtest.h>

#include <cmath>

#include "grid/distance_rounding.h"
#include "tests/grid/grid_fixture.h"

namespace rs {
namespace {

using test::perspective_grid;
using test::worked_grid;

TEST(SolveGrid, WorkedGridGivesItsCoefficientsAndMapsTheCentre) {
    GridDefinition g = worked_grid();
    ASSERT_TRUE(solve_grid(g));
    const double expected[8] = {0, 0.01, 0, 0, 0, 100, 0, -0.01};
    for (size_t i = 0; i < 8; ++i)
        EXPECT_NEAR(g.c[i], expected[i], 1e-12) << "c" << i + 1;
    auto s = screen_to_survey(g, 1500, 1500);
    ASSERT_TRUE(s);
    EXPECT_NEAR(s->x, 15, 1e-9);
    EXPECT_NEAR(s->y, 85, 1e-9);
}

TEST(SolveGrid, PerspectiveGridMapsEveryCornerOntoItsSurveyPoint) {
    GridDefinition g = perspective_grid();
    ASSERT_TRUE(solve_grid(g));
    EXPECT_NE(g.c[4], 0);  // a true perspective: w varies down the picture
    for (const GridPoint& p : g.corners) {
        auto s = screen_to_survey(g, p.screen_x, p.screen_y);
        ASSERT_TRUE(s);
        EXPECT_NEAR(s->x, p.survey_x, 1e-9);
        EXPECT_NEAR(s->y, p.survey_y, 1e-9);
    }
}

TEST(SolveGrid, CornersAtOnePointHaveNoUniqueSolution) {
    GridDefinition g;
    test::set_corners(
        g,
        {{1500, 1500, 30, 100}, {1500, 1500, 30, 70}, {1500, 1500, 0, 100}, {1500, 1500, 0, 70}});
    EXPECT_FALSE(solve_grid(g));
    for (double c : g.c)
        EXPECT_TRUE(std::isfinite(c));
}

// A grid measures only with coefficients solved from its own corners.
TEST(SolveGrid, OnlyCoefficientsSolvedFromTheCornersFitThem) {
    GridDefinition g = perspective_grid();
    EXPECT_FALSE(solution_fits_corners(g));  // never solved: every point maps to (0, 0)
    ASSERT_TRUE(solve_grid(g));
    EXPECT_TRUE(solution_fits_corners(g));

    // A corner moved on the water after solving: within the tolerance of
    // 1 cm it still fits, beyond it the grid no longer measures.
    GridDefinition near = g;
    near.corners[kLowerLeft].survey_x += 0.009;
    EXPECT_TRUE(solution_fits_corners(near));
    GridDefinition off = g;
    off.corners[kLowerLeft].survey_y -= 0.011;
    EXPECT_FALSE(solution_fits_corners(off));
    GridDefinition clicked = g;
    clicked.corners[kUpperRight].screen_x += 15;  // one pixel on the picture
    EXPECT_FALSE(solution_fits_corners(clicked));

    // Blank corners (all at 0) are matched by zero coefficients, but they
    // have no solution: they prove nothing.
    EXPECT_FALSE(solution_fits_corners(GridDefinition{}));
    GridDefinition nan = g;
    nan.c[1] = std::nan("");
    EXPECT_FALSE(solution_fits_corners(nan));
}

TEST(Mapping, RoundTripBelowTheHorizon) {
    for (GridDefinition g : {worked_grid(), perspective_grid()}) {
        ASSERT_TRUE(solve_grid(g));
        for (double x : {-2000.0, 0.0, 1234.5, 6000.0, 14000.0}) {
            for (double y : {1500.0, 2000.0, 4321.0, 9000.0}) {
                auto s = screen_to_survey(g, x, y);
                ASSERT_TRUE(s) << x << "," << y;
                auto back = survey_to_screen(g, s->x, s->y);
                ASSERT_TRUE(back) << x << "," << y;
                EXPECT_NEAR(back->x, x, 1e-6);
                EXPECT_NEAR(back->y, y, 1e-6);
            }
        }
    }
}

TEST(Mapping, PointsOnOrBeyondTheVanishingLineHaveNoValue) {
    GridDefinition g = perspective_grid();
    ASSERT_TRUE(solve_grid(g));
    // w = 1 + c4 x + c5 y; the horizon row at x = 0.
    const double horizon_y = -(1 + g.c[3] * 0) / g.c[4];
    ASSERT_LT(horizon_y, 2000);
    EXPECT_FALSE(screen_to_survey(g, 0, horizon_y));
    EXPECT_FALSE(screen_to_survey(g, 0, horizon_y - 300));  // the sky
    EXPECT_FALSE(distance_calculation(g, 0, horizon_y - 300, JumpKind::Normal));
    EXPECT_TRUE(screen_to_survey(g, 0, horizon_y + 300));
    // A survey point behind the camera is not on the picture.
    auto behind = screen_to_survey(g, 6000, 9000);
    ASSERT_TRUE(behind);
    EXPECT_FALSE(survey_to_screen(g, 15, behind->y - 1000));
    // Unsolved coefficients: the inverse has no image at all.
    EXPECT_FALSE(survey_to_screen(GridDefinition{}, 1, 1));
}

TEST(Distance, TournamentOffsets) {
    GridDefinition g = worked_grid();
    ASSERT_TRUE(solve_grid(g));
    // (1500, 0) maps to (15, 100); choose the point that maps to (0, 100).
    auto d_bare = distance_calculation(g, 0, 0, JumpKind::Barefoot);
    ASSERT_TRUE(d_bare);
    EXPECT_NEAR(d_bare->distance, 50, 1e-9);
    EXPECT_NEAR(distance_calculation(g, 0, 0, JumpKind::Normal)->distance, 52.1, 1e-9);
    EXPECT_NEAR(distance_calculation(g, 0, 0, JumpKind::SitSki)->distance, 51.9, 1e-9);
    EXPECT_EQ(jump_kind_from_text("barefoot"), JumpKind::Barefoot);
    EXPECT_EQ(jump_kind_from_text("sitski"), JumpKind::SitSki);
    EXPECT_EQ(jump_kind_from_text(""), JumpKind::Normal);
}

TEST(RecordedDistance, RoundsAsTheJumpIsRecorded) {
    RecordedDistance r = recorded_distance(20.04, false);
    EXPECT_DOUBLE_EQ(r.meters, 20);
    EXPECT_DOUBLE_EQ(r.feet, 66);  // 65.75 ft
    EXPECT_DOUBLE_EQ(r.precise, 20.04);
    EXPECT_DOUBLE_EQ(recorded_distance(20.04, true).feet, 65.7);
    EXPECT_DOUBLE_EQ(recorded_distance(52.25, false).meters, 52.3);  // half up
    EXPECT_DOUBLE_EQ(recorded_distance(40.178865529, false).precise, 40.1789);
}

}  // namespace
}  // namespace rs
