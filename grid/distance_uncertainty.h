#pragma once
// How far a jump distance can be trusted: how much it moves when the
// impact point moves by half a picture pixel (the finest a click can place
// it), and the check buoy's own miss where that is larger. Shown beside the
// distance; never written to the results or exchange files.

#include <optional>
#include <string>

#include "grid/grid_definition.h"

namespace rs {

// Half a picture pixel in twips, as a click is converted (15 twips a pixel).
inline constexpr double kHalfPixelTwips = 7.5;

// The largest change of the jump distance for a move of the screen point by
// `radius` twips in any direction, to first order: the length of the
// distance's gradient (the mapping's Jacobian at the point applied to the
// direction from the jump point) times the radius. At the jump point itself
// the largest stretch of the mapping is taken. Nothing for a point with no
// image.
std::optional<double> distance_change_for_move(const GridDefinition& grid, double x, double y,
                                               double radius = kHalfPixelTwips);

// Meters between the check buoy's surveyed position and where its clicked
// position maps to; nothing when the grid has no check buoy (screen X 0) or
// its click has no image.
std::optional<double> check_buoy_residual(const GridDefinition& grid);

// The uncertainty of the distance of a screen point: the half-pixel change,
// or the check buoy's residual where that is larger.
std::optional<double> distance_uncertainty(const GridDefinition& grid, double x, double y);

// "± 0.05 m": the uncertainty rounded up to the next hundredth of a meter
// (never shown as less than 0.01 m).
std::string uncertainty_text(double meters);

}  // namespace rs
