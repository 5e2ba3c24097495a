#pragma once
// One measurement grid and the grid state shared by the set-up and
// measurement screens.

#include <array>
#include <memory>
#include <string>

#include "platform/video_file.h"

namespace rs {

// A surveyed point seen on the picture: screen X, Y in twips, survey X, Y in
// meters.
struct GridPoint {
    double screen_x = 0;
    double screen_y = 0;
    double survey_x = 0;
    double survey_y = 0;
};

// Corner order everywhere: upper right, lower right, upper left, lower left.
enum Corner { kUpperRight = 0, kLowerRight = 1, kUpperLeft = 2, kLowerLeft = 3 };

struct GridDefinition {
    std::array<GridPoint, 4> corners{};
    std::array<double, 8> c{};  // c1..c8 of the screen-to-survey mapping
    double jump_x = 0;
    double jump_y = 0;
    GridPoint check_buoy{};  // screen X of 0: no check buoy
    std::string description;
    std::string setup_file;
    bool loaded = false;
};

// The picture a grid was set up on, with the coefficients it was solved to
// then: a picture taken for measuring is compared with it to tell whether
// the camera has moved. It belongs to the set-up while the coefficients are
// the grid's own.
struct SetupPicture {
    std::shared_ptr<const Picture24> picture;
    std::array<double, 8> c{};
};

struct GridState {
    std::array<GridDefinition, 3> grids{};  // grids 1 to 3
    GridDefinition working{};               // the current grid's working values
    int current = 1;                        // 1 to 3
    double direction = 1;                   // +1 or -1
    double complete = 0;                    // grids-complete flag, 0 or 1
    bool loading = false;
    // The description the measurement screen shows in its grid_description
    // box; kept here so that the screen shows it whenever it is built.
    std::string measure_description;
    // The set-up picture of grids 1 to 3, when one is known.
    std::array<SetupPicture, 3> setup_pictures{};

    GridDefinition& grid(int n) { return grids.at(static_cast<size_t>(n - 1)); }
    const GridDefinition& grid(int n) const { return grids.at(static_cast<size_t>(n - 1)); }
};

}  // namespace rs
