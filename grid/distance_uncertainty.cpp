#include "grid/distance_uncertainty.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "grid/grid_solution.h"

namespace rs {

std::optional<double> distance_change_for_move(const GridDefinition& g, double x, double y,
                                               double radius) {
    const auto s = screen_to_survey(g, x, y);
    if (!s)
        return std::nullopt;
    const auto& c = g.c;
    const double w = 1 + c[3] * x + c[4] * y;
    // Jacobian of (X, Y) over (x, y): dX/dx = (c2 - X c4) / w, and so on.
    const double a = (c[1] - s->x * c[3]) / w, b = (c[2] - s->x * c[4]) / w;
    const double d = (c[6] - s->y * c[3]) / w, e = (c[7] - s->y * c[4]) / w;
    const double ux = s->x - g.jump_x, uy = s->y - g.jump_y;
    const double r = std::hypot(ux, uy);
    double rate = 0;
    if (r > 0) {
        // Gradient of the distance: the Jacobian's transpose applied to the
        // unit vector from the jump point.
        const double gx = (a * ux + d * uy) / r, gy = (b * ux + e * uy) / r;
        rate = std::hypot(gx, gy);
    } else {
        // The largest singular value of the Jacobian.
        const double p = a * a + b * b + d * d + e * e;
        const double q = a * e - b * d;
        rate = std::sqrt((p + std::sqrt(std::max(0.0, p * p - 4 * q * q))) / 2);
    }
    const double change = rate * radius;
    if (!std::isfinite(change))
        return std::nullopt;
    return change;
}

std::optional<double> check_buoy_residual(const GridDefinition& g) {
    const GridPoint& cb = g.check_buoy;
    if (!(cb.screen_x > 0))
        return std::nullopt;
    const auto s = screen_to_survey(g, cb.screen_x, cb.screen_y);
    if (!s)
        return std::nullopt;
    return std::hypot(s->x - cb.survey_x, s->y - cb.survey_y);
}

std::optional<double> distance_uncertainty(const GridDefinition& g, double x, double y) {
    auto u = distance_change_for_move(g, x, y);
    if (!u)
        return std::nullopt;
    if (const auto residual = check_buoy_residual(g))
        return std::max(*u, *residual);
    return u;
}

std::string uncertainty_text(double meters) {
    // Rounded up: a bound shown smaller than it is would overstate the
    // measurement. The small allowance keeps 0.05 from showing as 0.06.
    double hundredths = std::ceil(meters * 100 - 1e-9);
    hundredths = std::max(1.0, hundredths);
    char buf[48];
    std::snprintf(buf, sizeof buf, "\u00b1 %.2f m", hundredths / 100);
    return buf;
}

}  // namespace rs
