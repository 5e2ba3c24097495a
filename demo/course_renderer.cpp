#include "demo/course_renderer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

#include "demo/scene_noise.h"

namespace rs::demo {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kGravity = 9.81;
constexpr double kNoHit = std::numeric_limits<double>::infinity();
// Four samples per pixel, at the quarter points.
constexpr std::array<std::array<double, 2>, 4> kSamples{
    {{-0.25, -0.25}, {0.25, -0.25}, {-0.25, 0.25}, {0.25, 0.25}}};

struct Rgb {
    double r = 0;
    double g = 0;
    double b = 0;
};
Rgb operator*(Rgb c, double s) {
    return {c.r * s, c.g * s, c.b * s};
}
Rgb operator+(Rgb a, Rgb b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
Rgb mix(Rgb a, Rgb b, double t) {
    return a * (1 - t) + b * t;
}
Rgb from_hex(std::uint32_t rgb) {
    return {double((rgb >> 16) & 0xFF), double((rgb >> 8) & 0xFF), double(rgb & 0xFF)};
}

// A vertical pole of fixed marks: striped, standing on the ground.
struct Pole {
    double x, y, radius, height, stripe;
    Rgb colour;
};

struct Hit {
    double t = kNoHit;
    Rgb colour;
    bool water = false;
};

void take(Hit& best, double t, Rgb colour, bool water = false) {
    if (t > 1e-6 && t < best.t) {
        best.t = t;
        best.colour = colour;
        best.water = water;
    }
}

double clamp01(double v) {
    return std::clamp(v, 0.0, 1.0);
}

// The ray's distance to a vertical cylinder; kNoHit when it misses.
double hit_pole(Vec3 o, Vec3 d, const Pole& p) {
    const double ox = o.x - p.x, oy = o.y - p.y;
    const double a = d.x * d.x + d.y * d.y;
    const double b = 2 * (ox * d.x + oy * d.y);
    const double c = ox * ox + oy * oy - p.radius * p.radius;
    const double disc = b * b - 4 * a * c;
    if (a <= 0 || disc < 0)
        return kNoHit;
    const double t = (-b - std::sqrt(disc)) / (2 * a);
    const double z = o.z + t * d.z;
    return z >= 0 && z <= p.height ? t : kNoHit;
}

}  // namespace

// A sphere (a == b) or a capsule of the moving things, in one colour.
struct CourseRenderer::Shape {
    Vec3 a;
    Vec3 b;
    double radius = 0;
    Rgb colour;
};

namespace {

// Where a ray meets a capsule, and the surface normal there.
std::optional<std::pair<double, Vec3>> hit_capsule(Vec3 o, Vec3 d, Vec3 a, Vec3 b, double r) {
    // Closest approach of the ray to the segment, then the sphere about that
    // point of the segment: exact for spheres, close enough for limbs.
    const Vec3 ab = b - a;
    const double len2 = dot(ab, ab);
    double s = 0;
    if (len2 > 0) {
        const Vec3 w0 = o - a;
        const double dd = dot(d, ab);
        const double denom = len2 - dd * dd;
        const double tr = denom > 1e-12 ? (dot(w0, ab) - dd * dot(w0, d)) / denom : 0;
        s = std::clamp(tr, 0.0, 1.0);
    }
    const Vec3 centre = a + ab * s;
    const Vec3 oc = o - centre;
    const double bq = dot(oc, d);
    const double cq = dot(oc, oc) - r * r;
    const double disc = bq * bq - cq;
    if (disc < 0)
        return std::nullopt;
    const double t = -bq - std::sqrt(disc);
    if (t <= 0)
        return std::nullopt;
    const Vec3 p = o + d * t;
    return std::make_pair(t, normalized(p - centre));
}

const Vec3 kSun = normalized(Vec3{-0.35, -0.55, 0.75});

Rgb sky_colour(Vec3 d, std::uint64_t scene_number) {
    const double up = clamp01(d.z * 6);
    Rgb sky = mix(Rgb{205, 218, 232}, Rgb{110, 150, 210}, up);
    const double cloud = fractal_noise(d.x * 9, d.z * 40, scene_number + 11, 4);
    return mix(sky, Rgb{238, 240, 244}, clamp01((cloud - 0.55) * 3));
}

}  // namespace

CourseRenderer::CourseRenderer(const DemoCourse& course) : CourseRenderer(course, course.camera) {}

CourseRenderer::CourseRenderer(const DemoCourse& course, const CameraSetup& camera)
    : course_(course), camera_(camera), width_(camera.width), height_(camera.height) {
    trace_scenery();
}

void CourseRenderer::trace_scenery() {
    const std::uint64_t scene_number = course_.scene_number;
    const size_t n = static_cast<size_t>(width_) * static_cast<size_t>(height_);
    scenery_rgb_.assign(n * 3, 0.f);
    water_samples_.assign(n, 0);
    water_x_.assign(n, 0.f);
    water_y_.assign(n, 0.f);
    water_footprint_.assign(n, 0.f);
    depth_.assign(n, std::numeric_limits<float>::infinity());

    const Vec3 o = camera_.setup().position;
    const double far_y = course_.far_bank_y;
    const double near_y = course_.near_bank_y;
    const double rl = course_.ramp_length, rw = course_.ramp_half_width, rh = course_.ramp_height;
    const double slope = rh / rl;

    std::vector<Pole> poles;
    for (double x : {6.0, 21.0, 44.0, 61.0})
        poles.push_back({x, near_y - 3, 0.07, 2.2, 0.2, Rgb{200, 30, 30}});
    for (double x : {-3.0, 67.0})
        poles.push_back({x, far_y - 4, 0.3, 13, 1.0, Rgb{220, 60, 20}});
    // Houses on the far bank: left edge, width, height, wall colour.
    struct House {
        double x, w, h;
        Rgb wall;
    };
    std::vector<House> houses;
    {
        SceneRandom r(scene_number * 31 + 5);
        for (int i = 0; i < 7; ++i) {
            const double x = r.between(-20, 90);
            houses.push_back({x, r.between(6, 14), r.between(4, 8),
                              r.next() % 2 ? Rgb{225, 215, 195} : Rgb{185, 85, 60}});
        }
    }
    const auto tree_top = [&](double x) {
        return 6 + 9 * fractal_noise(x / 16, 0.5, scene_number + 3, 3) +
               2.5 * fractal_noise(x / 2.5, 3.5, scene_number + 4, 2);
    };

    const auto trace = [&](double px, double py, Vec3* water_at) {
        const Vec3 d = camera_.ray(px, py);
        Hit best;
        // The water plane and the ground of the near bank.
        if (d.z < 0) {
            const double t = -o.z / d.z;
            const Vec3 p = o + d * t;
            if (p.y < near_y) {
                const double grass = fractal_noise(p.x * 2.2, p.y * 2.2, scene_number + 21, 4);
                const double stone = value_noise(p.x * 1.3, p.y * 1.3, scene_number + 22);
                Rgb c = p.y > near_y - 1.5 ? Rgb{185, 170, 125} * (0.8 + 0.4 * grass)
                                           : Rgb{70, 112, 52} * (0.55 + 0.8 * grass);
                if (stone > 0.82)
                    c = Rgb{160, 158, 150} *
                        (0.7 + 0.5 * fractal_noise(p.x * 9, p.y * 9, scene_number, 2));
                take(best, t, c);
            } else if (p.y < far_y) {
                take(best, t, Rgb{}, true);
                if (water_at)
                    *water_at = p;
            }
        }
        // The far bank: trees, houses and the bank itself on a wall.
        if (d.y > 0) {
            const double t = (far_y - o.y) / d.y;
            const Vec3 p = o + d * t;
            if (p.z >= 0) {
                std::optional<Rgb> c;
                if (p.z < 0.9) {
                    c = Rgb{96, 86, 70} *
                        (0.6 + 0.7 * fractal_noise(p.x * 3, p.z * 5, scene_number + 5, 3));
                }
                for (const House& h : houses) {
                    if (!c && p.x >= h.x && p.x <= h.x + h.w && p.z <= h.h) {
                        const double wx = std::fmod(p.x - h.x, 2.2), wz = std::fmod(p.z, 2.6);
                        const bool window = wx > 0.7 && wx < 1.6 && wz > 1.1 && wz < 2.0;
                        c = window ? Rgb{45, 55, 70} : h.wall;
                    }
                }
                if (!c && p.z <= tree_top(p.x)) {
                    const double leaf = fractal_noise(p.x / 1.4, p.z / 1.4, scene_number + 6, 4);
                    c = Rgb{38, 78, 36} * (0.45 + 1.1 * leaf);
                }
                if (c)
                    take(best, t, *c);
            }
        }
        // The ramp: its surface, the side the camera sees, and its end.
        {
            const double denom = d.z - slope * d.x;
            if (std::abs(denom) > 1e-12) {
                const double t = (slope * (o.x + rl) - o.z) / denom;
                const Vec3 p = o + d * t;
                if (p.x >= -rl && p.x <= 0 && std::abs(p.y) <= rw) {
                    const double stripe = std::fmod(p.x + rl, 1.0);
                    take(best, t, stripe < 0.15 ? Rgb{40, 70, 170} : Rgb{236, 236, 232});
                }
            }
            if (d.y != 0) {
                const double t = (-rw - o.y) / d.y;
                const Vec3 p = o + d * t;
                if (p.x >= -rl && p.x <= 0 && p.z >= 0 && p.z <= slope * (p.x + rl)) {
                    const bool dark = std::fmod(p.x + p.z + 20, 0.8) < 0.35;
                    take(best, t, dark ? Rgb{30, 30, 30} : Rgb{232, 200, 40});
                }
            }
            if (d.x != 0) {
                const double t = (0 - o.x) / d.x;
                const Vec3 p = o + d * t;
                if (std::abs(p.y) <= rw && p.z >= 0 && p.z <= rh)
                    take(best, t, p.z > rh - 0.3 ? Rgb{240, 240, 240} : Rgb{200, 40, 40});
            }
        }
        for (const Pole& pole : poles) {
            const double t = hit_pole(o, d, pole);
            if (t < best.t) {
                const double z = o.z + t * d.z;
                const bool band = static_cast<int>(std::floor(z / pole.stripe)) % 2 == 0;
                take(best, t, band ? pole.colour : Rgb{240, 240, 240});
            }
        }
        if (best.t == kNoHit)
            best.colour = sky_colour(d, scene_number);
        return best;
    };

    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const size_t i = static_cast<size_t>(y) * width_ + x;
            Rgb sum;
            int water = 0;
            double nearest = kNoHit;
            for (const auto& s : kSamples) {
                const Hit h = trace(x + s[0], y + s[1], nullptr);
                nearest = std::min(nearest, h.t);
                if (h.water)
                    ++water;
                else
                    sum = sum + h.colour;
            }
            scenery_rgb_[i * 3] = static_cast<float>(sum.r / 4);
            scenery_rgb_[i * 3 + 1] = static_cast<float>(sum.g / 4);
            scenery_rgb_[i * 3 + 2] = static_cast<float>(sum.b / 4);
            water_samples_[i] = static_cast<std::uint8_t>(water);
            depth_[i] = static_cast<float>(nearest);
            if (water) {
                const auto p = camera_.on_water(x, y);
                if (p) {
                    water_x_[i] = static_cast<float>(p->x);
                    water_y_[i] = static_cast<float>(p->y);
                    // The pixel's length on the water, along the line of sight.
                    const Vec3 dd = camera_.ray(x, y);
                    const double dist = std::sqrt(dot(*p - o, *p - o));
                    water_footprint_[i] =
                        static_cast<float>(dist / camera_.setup().focal_px / std::max(0.02, -dd.z));
                }
            }
        }
    }
}

Vec3 CourseRenderer::ski_tail(double seconds) const {
    const double fps = course_.frame_rate;
    const double t0 = course_.takeoff_frame / fps;
    const double flight = (course_.contact_frame - course_.takeoff_frame) / fps;
    const double vx = (course_.contact.x - course_.jump.x) / flight;
    const double vy = (course_.contact.y - course_.jump.y) / flight;
    const double tau = seconds - t0;
    const double h0 = course_.ramp_height;
    if (tau <= 0) {
        const double x = course_.jump.x + vx * 0.85 * tau;
        const double z = x >= -course_.ramp_length
                             ? course_.ramp_height * (x + course_.ramp_length) / course_.ramp_length
                             : 0.0;
        return {x, course_.jump.y, z};
    }
    if (tau < flight) {
        const double vz = (kGravity * flight * flight / 2 - h0) / flight;
        return {course_.jump.x + vx * tau, course_.jump.y + vy * tau,
                h0 + vz * tau - kGravity * tau * tau / 2};
    }
    // On the water: slowing down after the landing.
    const double after = tau - flight;
    const double run = vx * (after - 0.25 * after * after);
    return {course_.contact.x + run, course_.contact.y + vy * after, 0};
}

std::vector<CourseRenderer::Shape> CourseRenderer::buoy_shapes(double seconds) const {
    std::vector<Shape> shapes;
    for (int i = 0; i < kDemoBuoys; ++i) {
        const SurveyXY b = course_.buoys[static_cast<size_t>(i)];
        // Buoys bob on the waves, a few centimetres.
        const double z = 0.08 + 0.03 * std::sin(1.7 * seconds + i * 1.3);
        const Vec3 c{b.x, b.y, z};
        const Rgb colour =
            static_cast<DemoBuoy>(i) == DemoBuoy::Check ? Rgb{250, 225, 30} : Rgb{255, 115, 20};
        shapes.push_back({c, c, 0.25, colour});
    }
    return shapes;
}

std::vector<CourseRenderer::Shape> CourseRenderer::skier_shapes(double seconds) const {
    std::vector<Shape> shapes;
    const double fps = course_.frame_rate;
    const double t0 = course_.takeoff_frame / fps;
    const double tc = course_.contact_frame / fps;
    const Vec3 tail = ski_tail(seconds);
    // Tips up: the ramp's angle on the ramp, easing down through the flight,
    // nearly flat on the water. The tails are always the lowest point.
    const double ramp_angle = std::atan2(course_.ramp_height, course_.ramp_length);
    double pitch = 0.05;
    if (seconds <= t0)
        pitch = tail.z > 0 ? ramp_angle : 0.05;
    else if (seconds < tc)
        pitch = ramp_angle + (0.16 - ramp_angle) * (seconds - t0) / (tc - t0);
    const Vec3 along{std::cos(pitch), 0, std::sin(pitch)};
    const Vec3 side{0, 0.11, 0};
    const double ski = 1.75;
    const Rgb ski_colour{22, 22, 28};
    shapes.push_back({tail + side, tail + side + along * ski, 0.075, ski_colour});
    shapes.push_back({tail - side, tail - side + along * ski, 0.075, ski_colour});

    const Rgb suit = from_hex(course_.suit_colour);
    const Vec3 feet = tail + along * 0.8 + Vec3{0, 0, 0.1};
    const Vec3 knees = feet + Vec3{0.22, 0, 0.42};
    const Vec3 hips = knees + Vec3{-0.12, 0, 0.45};
    const Vec3 shoulders = hips + Vec3{0.32, 0, 0.52};
    const Vec3 head = shoulders + Vec3{0.1, 0, 0.24};
    const Vec3 hands = shoulders + Vec3{0.5, 0, -0.22};
    const Rgb skin{60, 60, 70};
    for (double s : {-1.0, 1.0}) {
        const Vec3 off{0, 0.1 * s, 0};
        shapes.push_back({feet + off, knees + off, 0.085, skin});
        shapes.push_back({knees + off, hips + off, 0.1, skin});
        shapes.push_back({shoulders + off * 1.8, hands + off, 0.055, suit});
    }
    shapes.push_back({hips, shoulders, 0.17, suit});
    shapes.push_back({head, head, 0.13, Rgb{240, 240, 240}});

    // Spray where the skis came down.
    const double after = seconds - tc;
    if (after >= 0) {
        SceneRandom r(course_.scene_number * 977 + 3);
        const Vec3 c{course_.contact.x, course_.contact.y, 0};
        for (int i = 0; i < 40; ++i) {
            const Vec3 v{r.between(-2, 5), r.between(-2.5, 2.5), r.between(1, 4.5)};
            // Thrown up after the touch, not before: the contact frame
            // itself shows the skis meeting still water.
            const double t = after - r.between(0.005, 0.1);
            if (t <= 0)
                continue;
            Vec3 p = c + v * t;
            p.z -= kGravity * t * t / 2;
            if (p.z > 0)
                shapes.push_back({p, p, 0.07, Rgb{245, 248, 250}});
        }
    }
    return shapes;
}

void CourseRenderer::draw_shapes(Picture24& picture, const std::vector<Shape>& shapes) const {
    const Vec3 o = camera_.setup().position;
    const double f = camera_.setup().focal_px;
    int x0 = width_, y0 = height_, x1 = -1, y1 = -1;
    for (const Shape& s : shapes) {
        for (const Vec3& e : {s.a, s.b}) {
            const auto p = camera_.project(e);
            if (!p)
                continue;
            const double dist = std::sqrt(dot(e - o, e - o));
            const double r = s.radius * f / dist + 2;
            x0 = std::min(x0, static_cast<int>(std::floor(p->x - r)));
            y0 = std::min(y0, static_cast<int>(std::floor(p->y - r)));
            x1 = std::max(x1, static_cast<int>(std::ceil(p->x + r)));
            y1 = std::max(y1, static_cast<int>(std::ceil(p->y + r)));
        }
    }
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, width_ - 1);
    y1 = std::min(y1, height_ - 1);
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const size_t i = static_cast<size_t>(y) * width_ + x;
            const double behind = depth_[i];
            Rgb sum;
            int covered = 0;
            for (const auto& sample : kSamples) {
                const Vec3 d = camera_.ray(x + sample[0], y + sample[1]);
                double best = behind;
                Rgb colour;
                for (const Shape& s : shapes) {
                    const auto h = hit_capsule(o, d, s.a, s.b, s.radius);
                    if (!h || h->first >= best)
                        continue;
                    // Under the water line nothing is seen.
                    if ((o + d * h->first).z < 0)
                        continue;
                    best = h->first;
                    const double light = 0.45 + 0.65 * std::max(0.0, dot(h->second, kSun));
                    colour = s.colour * light;
                }
                if (best < behind) {
                    sum = sum + colour;
                    ++covered;
                }
            }
            if (!covered)
                continue;
            std::uint8_t* px = picture.bgr.data() + i * 3;
            const Rgb under{double(px[2]), double(px[1]), double(px[0])};
            const Rgb c = (sum + under * (4 - covered)) * 0.25;
            px[0] = static_cast<std::uint8_t>(std::clamp(std::lround(c.b), 0L, 255L));
            px[1] = static_cast<std::uint8_t>(std::clamp(std::lround(c.g), 0L, 255L));
            px[2] = static_cast<std::uint8_t>(std::clamp(std::lround(c.r), 0L, 255L));
        }
    }
}

Picture24 CourseRenderer::at_time(double seconds, bool with_skier) const {
    // Wave trains: direction, wavelength (m), strength; deep-water speed.
    struct Wave {
        double kx, ky, omega, strength, phase, wavelength;
    };
    std::vector<Wave> waves;
    {
        SceneRandom r(course_.scene_number * 131 + 7);
        for (double wavelength : {0.7, 1.2, 1.9, 3.1, 4.6, 7.5}) {
            const double angle = r.between(0, 2 * kPi);
            const double k = 2 * kPi / wavelength;
            waves.push_back({k * std::cos(angle), k * std::sin(angle), std::sqrt(kGravity * k),
                             r.between(0.6, 1.0), r.between(0, 2 * kPi), wavelength});
        }
    }
    const double tc = course_.contact_frame / course_.frame_rate;
    const Vec3 tail_now = ski_tail(seconds);

    Picture24 pic;
    pic.width = width_;
    pic.height = height_;
    pic.bgr.assign(static_cast<size_t>(width_) * height_ * 3, 0);
    const Vec3 o = camera_.setup().position;
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const size_t i = static_cast<size_t>(y) * width_ + x;
            Rgb c{scenery_rgb_[i * 3], scenery_rgb_[i * 3 + 1], scenery_rgb_[i * 3 + 2]};
            const int water = water_samples_[i];
            if (water) {
                const double wx = water_x_[i], wy = water_y_[i];
                const double foot = water_footprint_[i];
                double slope = 0;
                for (const Wave& w : waves) {
                    // Waves finer than two pixels would only shimmer.
                    const double keep = clamp01(1.2 - 2.0 * foot / w.wavelength);
                    if (keep <= 0)
                        continue;
                    slope += keep * w.strength *
                             std::cos(w.kx * wx + w.ky * wy - w.omega * seconds + w.phase);
                }
                const Vec3 p{wx, wy, 0};
                const double dist = std::sqrt(dot(p - o, p - o));
                const double grazing = clamp01(1 - o.z / dist * 4);
                Rgb wc = mix(Rgb{28, 72, 96}, Rgb{150, 175, 200}, 0.25 + 0.5 * grazing);
                wc = wc + Rgb{1, 1.1, 1.2} * (14 * slope);
                // The wake behind the skier after the landing.
                if (with_skier && seconds >= tc && wx >= course_.contact.x - 0.3 &&
                    wx <= tail_now.x) {
                    const double track_y =
                        course_.contact.y +
                        (tail_now.y - course_.contact.y) *
                            (tail_now.x > course_.contact.x
                                 ? (wx - course_.contact.x) / (tail_now.x - course_.contact.x)
                                 : 0.0);
                    if (std::abs(wy - track_y) < 0.35)
                        wc = mix(wc, Rgb{235, 240, 245}, 0.8);
                }
                c = c + wc * (water / 4.0);
            }
            std::uint8_t* px = pic.bgr.data() + i * 3;
            px[0] = static_cast<std::uint8_t>(std::clamp(std::lround(c.b), 0L, 255L));
            px[1] = static_cast<std::uint8_t>(std::clamp(std::lround(c.g), 0L, 255L));
            px[2] = static_cast<std::uint8_t>(std::clamp(std::lround(c.r), 0L, 255L));
        }
    }
    // Each buoy alone: together they would span the whole picture.
    for (const Shape& buoy : buoy_shapes(seconds))
        draw_shapes(pic, {buoy});
    if (with_skier)
        draw_shapes(pic, skier_shapes(seconds));
    return pic;
}

Picture24 CourseRenderer::frame(int n) const {
    return at_time(n / course_.frame_rate, true);
}

Picture24 CourseRenderer::setup_picture() const {
    return at_time(course_.setup_time, false);
}

}  // namespace rs::demo
