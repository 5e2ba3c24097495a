#include "grid/distance_uncertainty.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "grid/grid_solution.h"
#include "tests/grid/grid_fixture.h"

namespace rs {
namespace {

// The largest change of the distance found by moving the point half a
// pixel in many directions, against the distance at the point itself.
double finite_difference(const GridDefinition& g, double x, double y) {
    const auto at = distance_calculation(g, x, y, JumpKind::Barefoot);
    double largest = 0;
    for (int i = 0; i < 720; ++i) {
        const double t = i * std::numbers::pi / 360;
        const auto moved =
            distance_calculation(g, x + kHalfPixelTwips * std::cos(t),
                                 y + kHalfPixelTwips * std::sin(t), JumpKind::Barefoot);
        largest = std::max(largest, std::fabs(moved->distance - at->distance));
    }
    return largest;
}

TEST(DistanceUncertainty, HalfPixelChangeMatchesFiniteDifferencesOverAPerspectiveGrid) {
    GridDefinition g = test::perspective_grid();
    ASSERT_TRUE(solve_grid(g));
    // Far side, near side, corners, off the grid and near the jump point.
    for (double x : {2500.0, 4000.0, 6000.0, 8000.0, 9500.0}) {
        for (double y : {2200.0, 3000.0, 5000.0, 6900.0, 8000.0}) {
            const auto u = distance_change_for_move(g, x, y);
            ASSERT_TRUE(u) << x << "," << y;
            const double fd = finite_difference(g, x, y);
            // First order against the exact change: within a few percent.
            EXPECT_NEAR(*u, fd, 0.03 * fd + 1e-9) << x << "," << y;
            EXPECT_GT(*u, 0);
        }
    }
    // The far side of the course is coarser than the near side.
    EXPECT_GT(*distance_change_for_move(g, 6000, 2200), *distance_change_for_move(g, 6000, 6900));
}

TEST(DistanceUncertainty, OnAnEvenGridHalfAPixelIsHalfThePixelSize) {
    GridDefinition g = test::worked_grid();  // 0.01 m per twip: 0.15 m per pixel
    ASSERT_TRUE(solve_grid(g));
    EXPECT_NEAR(*distance_change_for_move(g, 1500, 1500), 0.075, 1e-9);
    // At the jump point itself every direction moves the distance: the
    // mapping's largest stretch.
    const auto j = survey_to_screen(g, g.jump_x, g.jump_y);
    ASSERT_TRUE(j);
    EXPECT_NEAR(*distance_change_for_move(g, j->x, j->y), 0.075, 1e-9);
}

TEST(DistanceUncertainty, CheckBuoyResidualCountsWhereItIsLarger) {
    GridDefinition g = test::worked_grid();
    ASSERT_TRUE(solve_grid(g));
    EXPECT_FALSE(check_buoy_residual(g));  // no check buoy
    EXPECT_NEAR(*distance_uncertainty(g, 1500, 1500), 0.075, 1e-9);

    g.check_buoy = {1500, 1500, 15, 85.02};  // 2 cm off: smaller
    EXPECT_NEAR(*check_buoy_residual(g), 0.02, 1e-9);
    EXPECT_NEAR(*distance_uncertainty(g, 1500, 1500), 0.075, 1e-9);

    g.check_buoy = {1500, 1500, 15.3, 85.4};  // 0.5 m off: larger
    EXPECT_NEAR(*distance_uncertainty(g, 1500, 1500), 0.5, 1e-9);
}

TEST(DistanceUncertainty, NoValueAboveTheHorizon) {
    GridDefinition g = test::perspective_grid();
    ASSERT_TRUE(solve_grid(g));
    EXPECT_FALSE(distance_change_for_move(g, 6000, -50000));
    EXPECT_FALSE(distance_uncertainty(g, 6000, -50000));
}

TEST(DistanceUncertainty, TextRoundsUpToTheHundredth) {
    EXPECT_EQ(uncertainty_text(0.05), "\u00b1 0.05 m");
    EXPECT_EQ(uncertainty_text(0.0501), "\u00b1 0.06 m");
    EXPECT_EQ(uncertainty_text(0.001), "\u00b1 0.01 m");
    EXPECT_EQ(uncertainty_text(1.234), "\u00b1 1.24 m");
}

}  // namespace
}  // namespace rs
