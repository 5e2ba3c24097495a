#include "demo/pinhole_camera.h"

#include <cmath>
#include <numbers>

namespace rs::demo {

Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vec3 normalized(Vec3 v) {
    const double n = std::sqrt(dot(v, v));
    return n > 0 ? v * (1.0 / n) : v;
}

PinholeCamera::PinholeCamera(const CameraSetup& setup) : setup_(setup) {
    forward_ = normalized(setup.aim - setup.position);
    // No roll: the picture's rows stay level with the water.
    Vec3 right = normalized(cross(forward_, Vec3{0, 0, 1}));
    Vec3 up = cross(right, forward_);
    const double r = setup.roll_deg * std::numbers::pi / 180.0;
    right_ = right * std::cos(r) + up * std::sin(r);
    up_ = up * std::cos(r) - right * std::sin(r);
    cx_ = (setup.width - 1) / 2.0 + setup.shift_x_px;
    cy_ = (setup.height - 1) / 2.0 + setup.shift_y_px;
}

std::optional<PixelPoint> PinholeCamera::project(Vec3 world) const {
    const Vec3 d = world - setup_.position;
    const double z = dot(d, forward_);
    if (z <= 1e-9)
        return std::nullopt;
    return PixelPoint{cx_ + setup_.focal_px * dot(d, right_) / z,
                      cy_ - setup_.focal_px * dot(d, up_) / z};
}

Vec3 PinholeCamera::ray(double x, double y) const {
    const double a = (x - cx_) / setup_.focal_px;
    const double b = (cy_ - y) / setup_.focal_px;
    return normalized(forward_ + right_ * a + up_ * b);
}

std::optional<Vec3> PinholeCamera::on_water(double x, double y) const {
    const Vec3 d = ray(x, y);
    if (d.z >= -1e-12)
        return std::nullopt;
    const double t = -setup_.position.z / d.z;
    return setup_.position + d * t;
}

}  // namespace rs::demo
