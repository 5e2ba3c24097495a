#pragma once
// A pinhole camera without lens distortion: where it stands, where it looks,
// its focal length in pixels and its picture size. World coordinates are the
// survey's: X and Y in meters on the water plane, Z up from the water.
// Picture coordinates are pixels with the centre of pixel (i, j) at (i, j),
// x to the right and y down: the twips of a click are these times 15.

#include <optional>

namespace rs::demo {

struct Vec3 {
    double x = 0;
    double y = 0;
    double z = 0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(Vec3 a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline double dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec3 cross(Vec3 a, Vec3 b);
Vec3 normalized(Vec3 v);

struct PixelPoint {
    double x = 0;
    double y = 0;
};

struct CameraSetup {
    Vec3 position;
    Vec3 aim;                // a point the optical axis passes through
    double focal_px = 2400;  // focal length in pixels
    int width = 1280;
    int height = 720;
    double roll_deg = 0;  // turn about the optical axis, clockwise on the picture
    // Where the optical axis meets the picture, from its centre: a camera
    // knocked sideways shows the same scene shifted by this much.
    double shift_x_px = 0;
    double shift_y_px = 0;
};

class PinholeCamera {
  public:
    explicit PinholeCamera(const CameraSetup& setup);

    const CameraSetup& setup() const { return setup_; }
    // The picture position of a world point; nothing behind the camera.
    std::optional<PixelPoint> project(Vec3 world) const;
    // The unit direction of the ray through a picture position.
    Vec3 ray(double x, double y) const;
    // Where the ray through a picture position meets the water plane (Z =
    // 0); nothing above the horizon.
    std::optional<Vec3> on_water(double x, double y) const;

  private:
    CameraSetup setup_;
    Vec3 right_;
    Vec3 up_;
    Vec3 forward_;
    double cx_ = 0;
    double cy_ = 0;
};

}  // namespace rs::demo
