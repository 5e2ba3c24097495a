#include "measure/camera_movement.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace rs {

namespace {

constexpr int kPatch = 40;          // patch side, full resolution
constexpr int kStep = 24;           // candidate patches every kStep pixels
constexpr int kScale = 4;           // the coarse level: 4 x 4 pixels per pixel
constexpr int kCoarseReach = 12;    // coarse search, coarse pixels (48 full)
constexpr int kFineReach = 3;       // fine search about the coarse match
constexpr double kGridMargin = 30;  // pixels around the grid's area left out
constexpr int kMaxPatches = 150;
constexpr double kMinMatch = 0.85;  // normalised correlation of a kept match
constexpr double kAgree = 0.8;      // pixels within which matches agree
constexpr int kMinAgreeing = 6;

struct Gray {
    int width = 0;
    int height = 0;
    std::vector<float> v;
    float at(int x, int y) const { return v[static_cast<size_t>(y) * width + x]; }
};

Gray gray_of(const Picture24& p) {
    Gray g{p.width, p.height, std::vector<float>(static_cast<size_t>(p.width) * p.height)};
    for (int y = 0; y < p.height; ++y) {
        const std::uint8_t* row = p.row(y);
        for (int x = 0; x < p.width; ++x)
            g.v[static_cast<size_t>(y) * p.width + x] =
                0.114f * row[x * 3] + 0.587f * row[x * 3 + 1] + 0.299f * row[x * 3 + 2];
    }
    return g;
}

Gray reduced(const Gray& g) {
    Gray r{g.width / kScale, g.height / kScale, {}};
    r.v.assign(static_cast<size_t>(r.width) * r.height, 0.f);
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x) {
            float s = 0;
            for (int dy = 0; dy < kScale; ++dy)
                for (int dx = 0; dx < kScale; ++dx)
                    s += g.at(x * kScale + dx, y * kScale + dy);
            r.v[static_cast<size_t>(y) * r.width + x] = s / (kScale * kScale);
        }
    return r;
}

// Normalised correlation of the size x size patch at (ax, ay) in a with the
// one at (bx, by) in b (top-left corners); -1 when b's patch leaves b.
double correlation(const Gray& a, int ax, int ay, const Gray& b, int bx, int by, int size) {
    if (bx < 0 || by < 0 || bx + size > b.width || by + size > b.height)
        return -1;
    double sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0;
    for (int y = 0; y < size; ++y) {
        const float* pa = &a.v[static_cast<size_t>(ay + y) * a.width + ax];
        const float* pb = &b.v[static_cast<size_t>(by + y) * b.width + bx];
        for (int x = 0; x < size; ++x) {
            sa += pa[x];
            sb += pb[x];
            saa += double(pa[x]) * pa[x];
            sbb += double(pb[x]) * pb[x];
            sab += double(pa[x]) * pb[x];
        }
    }
    const double n = double(size) * size;
    const double va = saa - sa * sa / n, vb = sbb - sb * sb / n;
    if (va <= 1e-6 || vb <= 1e-6)
        return -1;
    return (sab - sa * sb / n) / std::sqrt(va * vb);
}

// The smaller eigenvalue of the patch's gradient structure: large only where
// the patch has edges in two directions, so that it can be placed exactly.
double texture(const Gray& g, int x0, int y0) {
    double xx = 0, yy = 0, xy = 0;
    for (int y = y0 + 1; y < y0 + kPatch - 1; ++y)
        for (int x = x0 + 1; x < x0 + kPatch - 1; ++x) {
            const double gx = g.at(x + 1, y) - g.at(x - 1, y);
            const double gy = g.at(x, y + 1) - g.at(x, y - 1);
            xx += gx * gx;
            yy += gy * gy;
            xy += gx * gy;
        }
    const double n = double(kPatch - 2) * (kPatch - 2);
    xx /= n;
    yy /= n;
    xy /= n;
    return (xx + yy) / 2 - std::sqrt((xx - yy) * (xx - yy) / 4 + xy * xy);
}

bool inside_convex(const std::array<PicturePoint, 4>& hull, double x, double y) {
    // The corners in the order upper left, upper right, lower right, lower
    // left go round the grid; inside means on the same side of every edge.
    int sign = 0;
    for (size_t i = 0; i < 4; ++i) {
        const PicturePoint a = hull[i], b = hull[(i + 1) % 4];
        const double c = (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
        const int s = c > 0 ? 1 : (c < 0 ? -1 : 0);
        if (s != 0) {
            if (sign != 0 && s != sign)
                return false;
            sign = s;
        }
    }
    return true;
}

double distance_to_segment(PicturePoint a, PicturePoint b, double x, double y) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(a.x + t * dx - x, a.y + t * dy - y);
}

// Whether a patch (top-left x0, y0) touches the grid's area or a buoy.
bool on_the_grid(const GridPoints& grid, int x0, int y0) {
    // Corners in the order of GridPoints: upper right, lower right, upper
    // left, lower left; round the grid: upper left, upper right, lower
    // right, lower left.
    const std::array<PicturePoint, 4> hull{grid[2], grid[0], grid[1], grid[3]};
    const double reach = kGridMargin + kPatch * 0.71;
    const double cx = x0 + kPatch / 2.0, cy = y0 + kPatch / 2.0;
    if (inside_convex(hull, cx, cy))
        return true;
    for (size_t i = 0; i < 4; ++i)
        if (distance_to_segment(hull[i], hull[(i + 1) % 4], cx, cy) < reach)
            return true;
    return std::hypot(grid[4].x - cx, grid[4].y - cy) < reach;
}

struct Match {
    double x, y;    // patch centre in the set-up picture
    double dx, dy;  // where it went
};

// The best of three correlations along one axis, refined to a fraction of a
// pixel by the parabola through them.
double parabola_peak(double left, double mid, double right) {
    const double d = left - 2 * mid + right;
    if (d >= 0)
        return 0;
    return std::clamp(0.5 * (left - right) / d, -0.5, 0.5);
}

struct Motion {
    double angle = 0;  // radians
    double c = 1;      // its cosine and sine
    double s = 0;
    double tx = 0;
    double ty = 0;
    PicturePoint centre;
    PicturePoint apply(double x, double y) const {
        const double rx = x - centre.x, ry = y - centre.y;
        return {centre.x + c * rx - s * ry + tx, centre.y + s * rx + c * ry + ty};
    }
};

// Least squares turn and shift about the picture's centre.
Motion fit(const std::vector<Match>& m, const std::vector<size_t>& use, PicturePoint centre) {
    double ax = 0, ay = 0, bx = 0, by = 0;
    for (size_t i : use) {
        ax += m[i].x;
        ay += m[i].y;
        bx += m[i].x + m[i].dx;
        by += m[i].y + m[i].dy;
    }
    const double n = static_cast<double>(use.size());
    ax /= n;
    ay /= n;
    bx /= n;
    by /= n;
    double sc = 0, ss = 0;
    for (size_t i : use) {
        const double px = m[i].x - ax, py = m[i].y - ay;
        const double qx = m[i].x + m[i].dx - bx, qy = m[i].y + m[i].dy - by;
        sc += px * qx + py * qy;
        ss += px * qy - py * qx;
    }
    Motion mo;
    mo.centre = centre;
    mo.angle = std::atan2(ss, sc);
    // b = R (a - centre) + centre + t
    const double c = std::cos(mo.angle), s = std::sin(mo.angle);
    mo.c = c;
    mo.s = s;
    const double rx = ax - centre.x, ry = ay - centre.y;
    mo.tx = bx - (centre.x + c * rx - s * ry);
    mo.ty = by - (centre.y + s * rx + c * ry);
    return mo;
}

std::vector<size_t> agreeing(const std::vector<Match>& m, const Motion& mo) {
    std::vector<size_t> in;
    for (size_t i = 0; i < m.size(); ++i) {
        const PicturePoint p = mo.apply(m[i].x, m[i].y);
        if (std::hypot(p.x - (m[i].x + m[i].dx), p.y - (m[i].y + m[i].dy)) <= kAgree)
            in.push_back(i);
    }
    return in;
}

}  // namespace

std::optional<CameraMovement> estimate_camera_movement(const Picture24& setup,
                                                       const Picture24& frame,
                                                       const GridPoints& grid, std::string* why) {
    const auto refuse = [&](const std::string& text) -> std::optional<CameraMovement> {
        if (why)
            *why = text;
        return std::nullopt;
    };
    if (setup.width != frame.width || setup.height != frame.height)
        return refuse("the set-up picture is " + std::to_string(setup.width) + " x " +
                      std::to_string(setup.height) + " pixels and this picture " +
                      std::to_string(frame.width) + " x " + std::to_string(frame.height));
    if (setup.width < kPatch * 3 || setup.height < kPatch * 3)
        return refuse("the pictures are too small to compare");
    const Gray a = gray_of(setup);
    const Gray b = gray_of(frame);
    const Gray ac = reduced(a);
    const Gray bc = reduced(b);

    // The patches with the most texture away from the grid.
    struct Candidate {
        int x0, y0;
        double score;
    };
    std::vector<Candidate> candidates;
    for (int y0 = 2; y0 + kPatch + 2 <= a.height; y0 += kStep)
        for (int x0 = 2; x0 + kPatch + 2 <= a.width; x0 += kStep) {
            if (on_the_grid(grid, x0, y0))
                continue;
            const double t = texture(a, x0, y0);
            if (t > 20)
                candidates.push_back({x0, y0, t});
        }
    std::sort(candidates.begin(), candidates.end(),
              [](const Candidate& l, const Candidate& r) { return l.score > r.score; });
    if (candidates.size() > static_cast<size_t>(kMaxPatches))
        candidates.resize(kMaxPatches);

    std::vector<Match> matches;
    const int cp = kPatch / kScale;
    for (const Candidate& c : candidates) {
        // Coarse: the whole reach at a quarter of the resolution.
        const int cx0 = c.x0 / kScale, cy0 = c.y0 / kScale;
        double best = -2;
        int bdx = 0, bdy = 0;
        for (int dy = -kCoarseReach; dy <= kCoarseReach; ++dy)
            for (int dx = -kCoarseReach; dx <= kCoarseReach; ++dx) {
                const double r = correlation(ac, cx0, cy0, bc, cx0 + dx, cy0 + dy, cp);
                if (r > best) {
                    best = r;
                    bdx = dx;
                    bdy = dy;
                }
            }
        if (best < 0.5)
            continue;
        // Fine: whole pixels about the coarse match, then a fraction.
        best = -2;
        int fdx = 0, fdy = 0;
        for (int dy = bdy * kScale - kFineReach; dy <= bdy * kScale + kFineReach; ++dy)
            for (int dx = bdx * kScale - kFineReach; dx <= bdx * kScale + kFineReach; ++dx) {
                const double r = correlation(a, c.x0, c.y0, b, c.x0 + dx, c.y0 + dy, kPatch);
                if (r > best) {
                    best = r;
                    fdx = dx;
                    fdy = dy;
                }
            }
        if (best < kMinMatch)
            continue;
        const auto r = [&](int dx, int dy) {
            return correlation(a, c.x0, c.y0, b, c.x0 + dx, c.y0 + dy, kPatch);
        };
        const double sx = parabola_peak(r(fdx - 1, fdy), best, r(fdx + 1, fdy));
        const double sy = parabola_peak(r(fdx, fdy - 1), best, r(fdx, fdy + 1));
        matches.push_back(
            {c.x0 + kPatch / 2.0 - 0.5, c.y0 + kPatch / 2.0 - 0.5, fdx + sx, fdy + sy});
    }
    if (static_cast<int>(matches.size()) < kMinAgreeing)
        return refuse(
            "too little still scenery (banks, ramp, fixed marks) is seen on both pictures");

    // Every pair of matches proposes a turn and a shift; the proposal most
    // matches agree with wins, and is refined on them.
    const PicturePoint centre{(a.width - 1) / 2.0, (a.height - 1) / 2.0};
    std::vector<size_t> best_set;
    for (size_t i = 0; i < matches.size(); ++i)
        for (size_t j = i + 1; j < matches.size(); ++j) {
            if (std::hypot(matches[i].x - matches[j].x, matches[i].y - matches[j].y) < 100)
                continue;
            const std::vector<size_t> set = agreeing(matches, fit(matches, {i, j}, centre));
            if (set.size() > best_set.size())
                best_set = set;
        }
    if (static_cast<int>(best_set.size()) < kMinAgreeing)
        return refuse("the still scenery (banks, ramp, fixed marks) does not agree on a movement");
    Motion mo = fit(matches, best_set, centre);
    best_set = agreeing(matches, mo);
    mo = fit(matches, best_set, centre);

    CameraMovement out;
    out.shift_x = mo.tx;
    out.shift_y = mo.ty;
    out.turn_deg = mo.angle * 180 / std::numbers::pi;
    out.patches = static_cast<int>(best_set.size());
    for (const PicturePoint& p : grid) {
        const PicturePoint q = mo.apply(p.x, p.y);
        out.moved_px = std::max(out.moved_px, std::hypot(q.x - p.x, q.y - p.y));
    }
    return out;
}

}  // namespace rs
