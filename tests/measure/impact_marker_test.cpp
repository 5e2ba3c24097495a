#include "measure/impact_marker.h"

#include <gtest/gtest.h>

#include "tests/measure/measure_fixture.h"

namespace rs {
namespace {

TEST(ImpactMarker, LinesPointBackAgainstTheJumpWithOrWithoutAGap) {
    const GridDefinition g = test::flat_grid();
    MarkerStyle s;
    s.cross = 300;
    ImpactMarker m = impact_marker(g, s, 1500, 4206);
    EXPECT_EQ(m.horizontal, (Segment{1500, 4206, 1200, 4206}));
    EXPECT_EQ(m.vertical, (Segment{1500, 3906, 1500, 4506}));
    EXPECT_FALSE(m.bottom_visible);
    EXPECT_EQ(m.point.x, 1500);

    s.right_to_left = true;
    s.gap = true;
    m = impact_marker(g, s, 1500, 4206);
    EXPECT_EQ(m.horizontal, (Segment{1500, 4206, 1800, 4206}));
    EXPECT_EQ(m.vertical, (Segment{1500, 3906, 1500, 4176}));
    EXPECT_EQ(m.bottom, (Segment{1500, 4251, 1500, 4506}));
    EXPECT_TRUE(m.bottom_visible);
}

TEST(ImpactMarker, SplashIndicatorEndsTheGridsOwnDistance) {
    const GridDefinition g = test::steep_grid();
    const double x = 6000, y = 4500;
    const SurveyPoint at = *screen_to_survey(g, x, y);
    struct Case {
        bool right_to_left;
        double direction;
        JumpKind kind;
        double shift;  // survey X of the splash minus that of the point
    };
    for (const Case& c :
         {Case{false, 1, JumpKind::Normal, -2.1}, Case{false, -1, JumpKind::Normal, 2.1},
          Case{true, 1, JumpKind::Normal, 2.1}, Case{true, 1, JumpKind::SitSki, 1.9},
          Case{false, 1, JumpKind::Barefoot, 0}}) {
        MarkerStyle s;
        s.right_to_left = c.right_to_left;
        s.direction = c.direction;
        s.kind = c.kind;
        const ImpactMarker m = impact_marker(g, s, x, y);
        ASSERT_TRUE(m.splash);
        const SurveyPoint end = *screen_to_survey(g, m.splash->x1, m.splash->y1);
        EXPECT_NEAR(end.x - at.x, c.shift, 1e-9) << c.shift;
        EXPECT_NEAR(end.y, at.y, 1e-9);
        EXPECT_EQ(m.splash->x2, m.splash->x1);
        EXPECT_EQ(m.splash->y2, m.splash->y1 - 1000);
    }
    // Above the horizon there is no splash to show.
    EXPECT_FALSE(impact_marker(g, MarkerStyle{}, 6000, 1000).splash);
}

TEST(CursorReadout, DistanceForEachTournamentTypeAndNothingOffTheWater) {
    const GridDefinition g = test::flat_grid();
    // 17.94 m on the grid.
    CursorReadout r = cursor_readout(g, JumpKind::Normal, 1500.6, 4206);
    EXPECT_EQ(r.xtwips, " 1500");
    EXPECT_EQ(r.ytwips, " 4206");
    EXPECT_EQ(r.xposition, " 15.01");
    EXPECT_EQ(r.yposition, " 57.94");
    EXPECT_EQ(r.VerifyDistance, " 20m  66ft");  // 20.04 m: Int(20.04 x 3.28 + 0.5) = 66
    EXPECT_EQ(cursor_readout(g, JumpKind::SitSki, 1500, 4206).VerifyDistance, " 19.8m  65ft");
    EXPECT_EQ(cursor_readout(g, JumpKind::Barefoot, 1500, 4206).VerifyDistance, " 17.9m  59ft");

    r = cursor_readout(test::steep_grid(), JumpKind::Normal, 6000, 1000);
    EXPECT_FALSE(r.on_water);
    EXPECT_EQ(r.xtwips, " 6000");
    EXPECT_EQ(r.xposition, "");
    EXPECT_EQ(r.yposition, "");
    EXPECT_EQ(r.VerifyDistance, kNotOnWater);
}

TEST(BuoyLabels, FeetAndMetersAboveTheUpperBuoys) {
    GridDefinition g = test::flat_grid();
    g.jump_x = 0;
    g.jump_y = 50;
    const auto labels = measure_buoy_labels(g);
    // Upper left (0, 100): 50 m; upper right (30, 100): 58.31 m.
    EXPECT_EQ(labels.at("maxbuoy").caption, " 164 feet");
    EXPECT_EQ(labels.at("maxbuoym").caption, " 50 meters");
    EXPECT_EQ(labels.at("minbuoy").caption, " 191 feet");
    EXPECT_EQ(labels.at("minbuoym").caption, " 58.3 meters");
    EXPECT_EQ(labels.at("maxbuoy").left, -100);
    EXPECT_EQ(labels.at("maxbuoy").top, -400);
    EXPECT_EQ(labels.at("minbuoym").left, 2900);
    EXPECT_EQ(labels.at("minbuoym").top, -600);
}

}  // namespace
}  // namespace rs
