#pragma once
// The camera-moved check of a picture taken for measuring. A bumped or
// drifting camera makes every distance wrong without a sign on the
// picture, so each picture is compared with the picture its grid was set up
// on. That picture is kept in memory from the acceptance of the set-up, and
// beside the set-up file when the set-up is saved ("grid1.ipt" keeps
// "grid1.ipt.bmp"; the set-up file itself is unchanged), so a set-up loaded
// in a later run is checked too.

#include <memory>
#include <optional>
#include <string>

#include "measure/camera_movement.h"
#include "measure/measure_form.h"

namespace rs {

// The set-up picture kept beside a set-up file: its path with ".bmp" added.
std::string setup_picture_path(const std::string& setup_file);

// A 24-bit bitmap file as a picture; nothing for anything else (why says
// what is wrong with it).
std::optional<Picture24> read_bitmap_picture(const std::string& path, std::string* why = nullptr);

// Grid n's set-up picture: the one kept since its acceptance while the
// grid's coefficients are still the ones it was set up with, otherwise the
// one beside its set-up file (kept from then on); null when there is none.
std::shared_ptr<const Picture24> setup_picture_of(GridState& grids, int grid);

// The warning shown to the official, in plain words.
std::string camera_moved_message(int grid, const CameraMovement& movement);

// Compares the picture with the current grid's set-up picture, writes the
// outcome to the debug log, warns the official when the buoys lie further
// from their set-up positions than the configured limit, and keeps the
// figure in the form for the recording. Returns the figure.
std::optional<double> check_camera(MeasureContext& ctx, const Picture24& picture);

}  // namespace rs
