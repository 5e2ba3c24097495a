#pragma once
// Acceptance of a grid set-up (the set-up screen's Load button, "Complete")
// and grid_check, the front and back set-up ratios. Both work on the set-up
// screen's texts and the working values; every message goes through the
// dialogs, every trace line to the debug log.

#include <optional>

#include "grid/grid_context.h"

namespace rs {

enum class AcceptOutcome {
    MissingValues,     // logged
    NoUniqueSolution,  // logged
    CheckBuoy,         // not logged
    FieldOfView,       // not logged
    GridWidth,         // not logged
    Accepted,          // logged
};

struct AcceptResult {
    AcceptOutcome outcome = AcceptOutcome::MissingValues;
    std::optional<double> field_of_view;       // degrees, rounded to 0.1
    std::optional<double> grid_width_percent;  // of the picture width
    double left_angle = 0;
    double right_angle = 0;
};

AcceptResult accept_setup(GridContext& ctx);

// Front and back set-up ratios into the form; warns on a small front ratio.
// Without a picture width the ratios are left as they were.
void grid_check(GridContext& ctx);

// The steps of the acceptance that judge the camera set-up; each returns
// false when the acceptance ends there.
bool judge_field_of_view(GridContext& ctx, double field_of_view);
bool judge_grid_width(GridContext& ctx, double width_percent, double picture_width);

// Field of view of two edge angles, rounded to one decimal as the operator
// sees it.
double field_of_view(double left_angle, double right_angle);

// Direction on the water of a line running straight up the picture at the
// screen point (x, y): atan((X2 - X1) / (Y2 - Y1)) in degrees, 90 degrees
// when Y2 = Y1 (or when the point 45 twips up has no image: the line runs
// into the horizon).
double edge_angle(const GridDefinition& grid, double x, double y);

}  // namespace rs
