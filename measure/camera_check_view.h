#pragma once
// The screens' side of the camera-moved check: the pictures on the canvas
// as the check reads them, and the set-up picture kept when a set-up is
// accepted or saved.

#include <QImage>

#include "grid/grid_definition.h"
#include "platform/file_writer.h"

namespace rs {

// A picture on a canvas as rows of blue, green, red.
Picture24 picture24_of(const QImage& image);

// After an acceptance: the picture the grid was set up on, kept with the
// coefficients it gave.
void keep_setup_picture(GridState& grids, int grid, const QImage& shown);

// After a save: the grid's set-up picture written beside its set-up file
// (the one kept since the acceptance, or else the picture shown). A picture
// that cannot be written is reported in why; the set-up file stands.
WriteResult save_setup_picture(GridState& grids, int grid, const QImage& shown, FileWriter& files);

}  // namespace rs
