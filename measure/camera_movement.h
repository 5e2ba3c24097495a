#pragma once
// How far the camera has moved since a grid was set up, from the picture
// the grid was set up on and a picture taken for measuring. Only the parts
// of the scene that stand still can tell: the banks, the ramp, the fixed
// marks. The water moves and the buoys bob, so the grid's area (buoys
// included) is left out, and of the rest only small patches with texture in
// both directions are followed; a patch on water finds no steady match, or
// one that disagrees with the others, and is outvoted. The patches that
// agree give the shift and the turn of the picture.

#include <array>
#include <optional>
#include <string>

#include "platform/video_file.h"

namespace rs {

struct PicturePoint {
    double x = 0;  // pixels, the centre of pixel (i, j) at (i, j)
    double y = 0;
};

struct CameraMovement {
    // The picture's shift at its centre (pixels, right and down) and its
    // turn about the centre (degrees, clockwise on the screen).
    double shift_x = 0;
    double shift_y = 0;
    double turn_deg = 0;
    // How far the grid's buoys lie from where they were set up: the largest
    // movement of the five points, in pixels.
    double moved_px = 0;
    int patches = 0;  // the patches of still scenery that agree
};

// The five points of a grid on the picture: four corners and the check
// buoy (pixels).
using GridPoints = std::array<PicturePoint, 5>;

// Nothing when the pictures cannot be compared; why says so in the
// operator's words (another picture size, too little still scenery).
std::optional<CameraMovement> estimate_camera_movement(const Picture24& setup,
                                                       const Picture24& frame,
                                                       const GridPoints& grid, std::string* why);

}  // namespace rs
