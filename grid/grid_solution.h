#pragma once
// The plane projective mapping between picture twips and survey meters, its
// solution from the four corners of a grid, and the jump distance.

#include <optional>

#include "grid/grid_definition.h"

namespace rs {

struct SurveyPoint {
    double x = 0;
    double y = 0;
};
struct ScreenPoint {
    double x = 0;
    double y = 0;
};

// Builds the 8 x 9 system from the four corners (upper right, lower right,
// upper left, lower left) and solves it by Gauss-Jordan elimination with the
// first exactly non-zero pivot. Column 9 of the system is the coefficient
// storage: on success grid.c holds c1..c8; without a unique solution it holds
// what the elimination left there, and the result is false.
[[nodiscard]] bool solve_grid(GridDefinition& grid);

// The forward mapping. No value for a point on or beyond the vanishing line
// (w = 0, or w of the other sign than at the grid's corners: the sky side of
// the horizon, where the mapping would fold back onto the water).
std::optional<SurveyPoint> screen_to_survey(const GridDefinition& grid, double x, double y);

// The inverse mapping (adjugate formulas). No value where d = 0, or where the
// survey point's image would lie beyond the vanishing line.
std::optional<ScreenPoint> survey_to_screen(const GridDefinition& grid, double X, double Y);

// How far, in meters on each survey axis, a grid's coefficients may map one
// of its own corners from that corner's survey position and still count as
// solved from those corners. Rounding in a written file stays far below it;
// a grid saved before "Complete" (all coefficients 0) or with corners edited
// after solving lies far beyond it.
inline constexpr double kCornerFitTolerance = 0.01;

// True when the grid's coefficients map each of its four corners' screen
// positions onto that corner's survey position within kCornerFitTolerance,
// and the corners themselves have a unique solution: the grid can measure.
bool solution_fits_corners(const GridDefinition& grid);

// Tournament type: the offset added to the distance on the water.
enum class JumpKind { Normal, SitSki, Barefoot };
// "barefoot" and "sitski" from the setting "tournamentType"; anything else
// is a normal tournament.
JumpKind jump_kind_from_text(const std::string& tournament_type);
double jump_offset(JumpKind kind);  // 2.1 normal, 1.9 sit-ski, 0 barefoot

struct JumpDistance {
    SurveyPoint survey;
    double distance = 0;  // meters, offset included
};
// The survey point of a screen point and its distance from the jump point.
std::optional<JumpDistance> distance_calculation(const GridDefinition& grid, double x, double y,
                                                 JumpKind kind);

}  // namespace rs
