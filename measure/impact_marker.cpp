#include "measure/impact_marker.h"

#include <cmath>

#include "core/text_forms.h"

namespace rs {

ImpactMarker impact_marker(const GridDefinition& grid, const MarkerStyle& s, double x, double y) {
    ImpactMarker m;
    const double c = s.cross;
    // The horizontal line points back towards the ramp.
    m.horizontal = {x, y, s.right_to_left ? x + c : x - c, y};
    if (s.gap) {
        m.vertical = {x, y - c, x, y - 30};
        m.bottom = {x, y + 45, x, y + c};
        m.bottom_visible = true;
    } else {
        m.vertical = {x, y - c, x, y + c};
    }
    m.point = {x, y};

    const auto survey = screen_to_survey(grid, x, y);
    if (!survey)
        return m;
    double sx = survey->x;
    if (s.kind != JumpKind::Barefoot) {
        // The distance of the grid alone ends the offset short of the point.
        const double k = jump_offset(s.kind) * s.direction;
        sx = s.right_to_left ? sx + k : sx - k;
    }
    if (const auto end = survey_to_screen(grid, sx, survey->y))
        m.splash = Segment{end->x, end->y, end->x, end->y - 1000};
    return m;
}

CursorReadout cursor_readout(const GridDefinition& grid, JumpKind kind, double x, double y) {
    CursorReadout r;
    r.xtwips = signed_number(std::floor(x));
    r.ytwips = signed_number(std::floor(y));
    const auto d = distance_calculation(grid, x, y, kind);
    if (!d) {
        r.VerifyDistance = kNotOnWater;
        return r;
    }
    r.on_water = true;
    r.xposition = signed_number(std::floor(d->survey.x * 100 + 0.5) / 100);
    r.yposition = signed_number(std::floor(d->survey.y * 100 + 0.5) / 100);
    // 3.28 feet to the meter here: a guide while the pointer moves; the
    // recorded feet use 0.3048 m to the foot.
    r.VerifyDistance = signed_number(std::floor(d->distance * 10 + 0.5) / 10) + "m " +
                       signed_number(std::floor(d->distance * 3.28 + 0.5)) + "ft";
    return r;
}

std::map<std::string, PlacedLabel> measure_buoy_labels(const GridDefinition& grid) {
    auto meters_to = [&](const GridPoint& p) {
        return std::hypot(grid.jump_x - p.survey_x, grid.jump_y - p.survey_y);
    };
    auto feet = [](double d) { return signed_number(std::floor(3.28 * d + 0.5)) + " feet"; };
    auto meters = [](double d) { return signed_number(std::floor(10 * d + 0.5) / 10) + " meters"; };
    auto above = [](std::string text, const GridPoint& p, double by) {
        return PlacedLabel{std::move(text), p.screen_x - 100, p.screen_y - by};
    };
    const GridPoint& ul = grid.corners[kUpperLeft];
    const GridPoint& ur = grid.corners[kUpperRight];
    const double max_d = meters_to(ul), min_d = meters_to(ur);
    return {
        {"maxbuoy", above(feet(max_d), ul, 400)},
        {"maxbuoym", above(meters(max_d), ul, 600)},
        {"minbuoy", above(feet(min_d), ur, 400)},
        {"minbuoym", above(meters(min_d), ur, 600)},
    };
}

std::string no_distance_message(int grid) {
    return "The marked point is not on the water of grid " + std::to_string(grid) +
           ": it lies on or above the horizon of the picture, so it has no distance. Click the "
           "point where the skier first touched the water.";
}

}  // namespace rs
