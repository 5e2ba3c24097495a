#include "grid/calibration_lines.h"

#include <cmath>

namespace rs {

std::optional<ScreenPoint> calibration_screen_point(const GridDefinition& grid, double survey_x,
                                                    double survey_y) {
    const auto p = survey_to_screen(grid, survey_x, survey_y);
    if (!p)
        return std::nullopt;
    return ScreenPoint{std::floor(p->x + 0.5), std::floor(p->y + 0.5)};
}

std::optional<SurveyPoint> calibration_survey_point(const GridDefinition& grid, double screen_x,
                                                    double screen_y) {
    const auto p = screen_to_survey(grid, screen_x, screen_y);
    if (!p)
        return std::nullopt;
    return SurveyPoint{std::floor(100 * p->x + 0.5) / 100, std::floor(100 * p->y + 0.5) / 100};
}

}  // namespace rs
