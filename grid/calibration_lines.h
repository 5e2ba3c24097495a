#pragma once
// Calibration lines: a straight reference line over the picture, given by two
// survey points or by two screen points, with the other form of each point
// worked out through the current grid's mapping.

#include <cstdint>
#include <optional>

#include "grid/grid_solution.h"

namespace rs {

// The screen point (twips, rounded half up to whole twips) of a survey point;
// nothing when the point has no image on the picture.
std::optional<ScreenPoint> calibration_screen_point(const GridDefinition& grid, double survey_x,
                                                    double survey_y);

// The survey point (meters, rounded half up to two decimals) of a screen
// point; nothing when the point lies on or beyond the horizon.
std::optional<SurveyPoint> calibration_survey_point(const GridDefinition& grid, double screen_x,
                                                    double screen_y);

// A line between two screen points (twips).
struct CalibrationLine {
    ScreenPoint from;
    ScreenPoint to;
};

// Colours of a calibration line: drawn in white; removed by drawing it again
// in magenta.
inline constexpr std::uint32_t kCalibrationLineColour = 16777215;
inline constexpr std::uint32_t kCalibrationEraseColour = 16711935;

}  // namespace rs
