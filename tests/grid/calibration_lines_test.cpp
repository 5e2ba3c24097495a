#include "grid/calibration_lines.h"

#include <gtest/gtest.h>

#include "tests/grid/grid_fixture.h"

namespace rs {
namespace {

GridDefinition solved(GridDefinition g) {
    EXPECT_TRUE(solve_grid(g));
    return g;
}

TEST(CalibrationLines, ScreenPointsGiveSurveyPointsToTwoDecimals) {
    const GridDefinition g = solved(test::worked_grid());
    auto at = [&](double x, double y) {
        const auto p = calibration_survey_point(g, x, y);
        EXPECT_TRUE(p.has_value()) << x << ", " << y;
        return p.value_or(SurveyPoint{-999, -999});
    };
    EXPECT_EQ(at(0, 0).x, 0);
    EXPECT_EQ(at(0, 0).y, 100);
    EXPECT_EQ(at(3000, 3000).x, 30);
    EXPECT_EQ(at(3000, 3000).y, 70);
    EXPECT_EQ(at(1500, 1500).x, 15);
    EXPECT_EQ(at(1500, 1500).y, 85);
    // One twip is a centimetre on this grid; a third of one rounds away, two
    // thirds round up, and below zero halves still go up.
    EXPECT_DOUBLE_EQ(at(1, 1).x, 0.01);
    EXPECT_DOUBLE_EQ(at(1, 1).y, 99.99);
    EXPECT_DOUBLE_EQ(at(1.0 / 3, 0).x, 0);
    EXPECT_DOUBLE_EQ(at(2.0 / 3, 0).x, 0.01);
    EXPECT_DOUBLE_EQ(at(-2.0 / 3, 0).x, -0.01);
    EXPECT_DOUBLE_EQ(at(-1.0 / 3, 0).x, 0);
    EXPECT_DOUBLE_EQ(at(1234, 0).x, 12.34);
}

TEST(CalibrationLines, SurveyPointsGiveWholeTwips) {
    const GridDefinition g = solved(test::worked_grid());
    auto at = [&](double x, double y) {
        const auto p = calibration_screen_point(g, x, y);
        EXPECT_TRUE(p.has_value()) << x << ", " << y;
        return p.value_or(ScreenPoint{-999, -999});
    };
    EXPECT_EQ(at(0, 100).x, 0);
    EXPECT_EQ(at(0, 100).y, 0);
    EXPECT_EQ(at(30, 70).x, 3000);
    EXPECT_EQ(at(30, 70).y, 3000);
    EXPECT_EQ(at(12.344, 85).x, 1234);
    EXPECT_EQ(at(12.346, 85).x, 1235);
    EXPECT_EQ(at(-0.004, 85).x, 0);
    EXPECT_EQ(at(-0.006, 85).x, -1);

    // Under perspective the corners come back where they were clicked.
    const GridDefinition p = solved(test::perspective_grid());
    for (const GridPoint& c : p.corners) {
        const auto s = calibration_screen_point(p, c.survey_x, c.survey_y);
        ASSERT_TRUE(s.has_value());
        EXPECT_EQ(s->x, c.screen_x);
        EXPECT_EQ(s->y, c.screen_y);
    }
}

TEST(CalibrationLines, PointsWithoutAnImageGiveNothing) {
    const GridDefinition p = solved(test::perspective_grid());
    // High above the top of the picture: the sky side of the horizon.
    EXPECT_FALSE(calibration_survey_point(p, 6000, -50000).has_value());
    // Far behind the camera on the water.
    EXPECT_FALSE(calibration_screen_point(p, 15, -100000).has_value());
    // A grid never solved maps nothing onto the picture.
    EXPECT_FALSE(calibration_screen_point(GridDefinition{}, 15, 85).has_value());
}

}  // namespace
}  // namespace rs
