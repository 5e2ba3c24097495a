#include "demo/scene_noise.h"

#include <cmath>

namespace rs::demo {

std::uint64_t mix64(std::uint64_t x) {
    x ^= x >> 30;
    x *= 0xBF58476D1CE4E5B9ull;
    x ^= x >> 27;
    x *= 0x94D049BB133111EBull;
    x ^= x >> 31;
    return x;
}

namespace {

double lattice(std::int64_t ix, std::int64_t iy, std::uint64_t scene_number) {
    const std::uint64_t h = mix64(static_cast<std::uint64_t>(ix) * 0x8CB92BA72F3D8DD7ull ^
                                  mix64(static_cast<std::uint64_t>(iy) + scene_number));
    return static_cast<double>(h >> 11) * 0x1.0p-53;
}

double smooth(double t) {
    return t * t * (3 - 2 * t);
}

}  // namespace

double value_noise(double x, double y, std::uint64_t scene_number) {
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const auto ix = static_cast<std::int64_t>(fx);
    const auto iy = static_cast<std::int64_t>(fy);
    const double tx = smooth(x - fx);
    const double ty = smooth(y - fy);
    const double a = lattice(ix, iy, scene_number);
    const double b = lattice(ix + 1, iy, scene_number);
    const double c = lattice(ix, iy + 1, scene_number);
    const double d = lattice(ix + 1, iy + 1, scene_number);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

double fractal_noise(double x, double y, std::uint64_t scene_number, int octaves) {
    double sum = 0;
    double weight = 0;
    double amplitude = 1;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * value_noise(x, y, scene_number + static_cast<std::uint64_t>(i) * 7919);
        weight += amplitude;
        amplitude *= 0.5;
        x *= 2.03;
        y *= 2.03;
    }
    return sum / weight;
}

}  // namespace rs::demo
