#pragma once
// Numbers for the demo scene that are the same on every machine and with
// every standard library: a splitmix64 sequence and value noise built on
// the same hash (the standard distributions are not specified bit for bit).

#include <cstdint>

namespace rs::demo {

std::uint64_t mix64(std::uint64_t x);

class SceneRandom {
  public:
    explicit SceneRandom(std::uint64_t scene_number)
        : state_(scene_number * 0x9E3779B97F4A7C15ull + 1) {}
    std::uint64_t next() {
        state_ += 0x9E3779B97F4A7C15ull;
        return mix64(state_);
    }
    // Uniform in [low, high).
    double between(double low, double high) {
        return low + (high - low) * static_cast<double>(next() >> 11) * 0x1.0p-53;
    }

  private:
    std::uint64_t state_;
};

// Smooth noise in [0, 1] over the plane, one lattice cell per unit.
double value_noise(double x, double y, std::uint64_t scene_number);
// Octaves of value noise, each twice as fine and half as strong; in [0, 1].
double fractal_noise(double x, double y, std::uint64_t scene_number, int octaves);

}  // namespace rs::demo
