#include "grid/grid_solution.h"

#include <cmath>

namespace rs {

bool solve_grid(GridDefinition& grid) {
    constexpr int n = 8;
    double a[n][n + 1] = {};
    for (int i = 0; i < 4; ++i) {
        const GridPoint& p = grid.corners[static_cast<size_t>(i)];
        const double x = p.screen_x, y = p.screen_y, X = p.survey_x, Y = p.survey_y;
        double* rx = a[i];
        rx[0] = 1;
        rx[1] = x;
        rx[2] = y;
        rx[3] = -x * X;
        rx[4] = -y * X;
        rx[8] = X;
        double* ry = a[i + 4];
        ry[3] = -x * Y;
        ry[4] = -y * Y;
        ry[5] = 1;
        ry[6] = x;
        ry[7] = y;
        ry[8] = Y;
    }
    // The system shares its storage with the coefficients: column 9 is
    // c1..c8 whether or not the elimination completes.
    auto store = [&] {
        for (int i = 0; i < n; ++i)
            grid.c[static_cast<size_t>(i)] = a[i][n];
    };
    for (int k = 0; k < n; ++k) {
        int p = k;
        while (p < n && a[p][k] == 0.0)
            ++p;
        if (p == n) {
            store();
            return false;
        }
        for (int j = 0; j <= n; ++j)
            std::swap(a[k][j], a[p][j]);
        const double t = 1.0 / a[k][k];
        for (int j = 0; j <= n; ++j)
            a[k][j] *= t;
        for (int i = 0; i < n; ++i) {
            if (i == k)
                continue;
            const double f = -a[i][k];
            for (int j = 0; j <= n; ++j)
                a[i][j] = a[k][j] * f + a[i][j];
        }
    }
    store();
    return true;
}

bool solution_fits_corners(const GridDefinition& grid) {
    // Four corners that admit no unique solution (all at one point, blank
    // boxes) are matched by almost any coefficients: they prove nothing.
    GridDefinition fresh = grid;
    if (!solve_grid(fresh))
        return false;
    for (const GridPoint& p : grid.corners) {
        const auto mapped = screen_to_survey(grid, p.screen_x, p.screen_y);
        if (!mapped || !std::isfinite(mapped->x) || !std::isfinite(mapped->y))
            return false;
        if (!(std::fabs(mapped->x - p.survey_x) <= kCornerFitTolerance) ||
            !(std::fabs(mapped->y - p.survey_y) <= kCornerFitTolerance))
            return false;
    }
    return true;
}

namespace {

// The side of the vanishing line on which the grid lies: the sign of w at
// the corners (all corners lie on one side for a real camera view). A point
// whose w has the other sign is above the horizon.
double water_side(const GridDefinition& g) {
    double sum = 0;
    for (const GridPoint& p : g.corners)
        sum += 1 + g.c[3] * p.screen_x + g.c[4] * p.screen_y;
    return sum < 0 ? -1.0 : 1.0;
}

bool finite(double v) {
    return std::isfinite(v);
}

}  // namespace

std::optional<SurveyPoint> screen_to_survey(const GridDefinition& g, double x, double y) {
    const auto& c = g.c;
    const double w = 1 + c[3] * x + c[4] * y;
    if (w == 0 || w * water_side(g) < 0)
        return std::nullopt;
    const double X = (c[0] + c[1] * x + c[2] * y) / w;
    const double Y = (c[5] + c[6] * x + c[7] * y) / w;
    if (!finite(X) || !finite(Y))
        return std::nullopt;
    return SurveyPoint{X, Y};
}

std::optional<ScreenPoint> survey_to_screen(const GridDefinition& g, double X, double Y) {
    const double c1 = g.c[0], c2 = g.c[1], c3 = g.c[2], c4 = g.c[3], c5 = g.c[4], c6 = g.c[5],
                 c7 = g.c[6], c8 = g.c[7];
    const double d = (c7 * c5 - c8 * c4) * X + (c3 * c4 - c2 * c5) * Y + (c2 * c8 - c3 * c7);
    if (d == 0)
        return std::nullopt;
    const double x = ((c8 - c6 * c5) * X + (c1 * c5 - c3) * Y + (c3 * c6 - c1 * c8)) / d;
    const double y = ((c6 * c4 - c7) * X + (c2 - c1 * c4) * Y + (c1 * c7 - c2 * c6)) / d;
    if (!finite(x) || !finite(y))
        return std::nullopt;
    // A survey point behind the camera has an image only through the fold of
    // the mapping; it is not seen on the picture.
    const double w = 1 + c4 * x + c5 * y;
    if (w == 0 || w * water_side(g) < 0)
        return std::nullopt;
    return ScreenPoint{x, y};
}

JumpKind jump_kind_from_text(const std::string& t) {
    if (t == "barefoot")
        return JumpKind::Barefoot;
    if (t == "sitski")
        return JumpKind::SitSki;
    return JumpKind::Normal;
}

double jump_offset(JumpKind kind) {
    switch (kind) {
        case JumpKind::Barefoot:
            return 0;
        case JumpKind::SitSki:
            return 2.1 + 0.2 * -1;
        default:
            return 2.1;
    }
}

std::optional<JumpDistance> distance_calculation(const GridDefinition& g, double x, double y,
                                                 JumpKind kind) {
    auto s = screen_to_survey(g, x, y);
    if (!s)
        return std::nullopt;
    const double dx = g.jump_x - s->x, dy = g.jump_y - s->y;
    const double r = std::sqrt(dx * dx + dy * dy);
    if (!finite(r))
        return std::nullopt;
    if (kind == JumpKind::Barefoot)
        return JumpDistance{*s, r};
    // Evaluated as r + 2.1 + 0.2 * s, left to right, so that the recorded
    // rounding sees the same last bit as every earlier measurement.
    const double sit = kind == JumpKind::SitSki ? -1.0 : 0.0;
    return JumpDistance{*s, r + 2.1 + 0.2 * sit};
}

}  // namespace rs
