#pragma once
// The three ways a set-up reaches a grid from the set-up screen and the
// configuration screen: save, load and the reload of the configured set-up
// files. Each works on the set-up screen's record and the grid state.

#include <string>

#include "grid/grid_context.h"

namespace rs {

// The gridSave menu entry: asks for the path, description and grid, writes
// the ".ipt" and ".cb" files and makes the file the grid's configured one.
void save_setup(GridContext& ctx);

// The gridLoad menu entry: asks for the grid and the file and reads it.
void load_setup(GridContext& ctx);

// Reload of one configured set-up file when the configuration screen opens.
// The caller sets the current grid number to grid and the loading flag
// before the call (grids 3, 2, 1 in that order) and clears the flag after.
void reload_configured_setup(GridContext& ctx, const std::string& path, int grid);

// The grids-complete condition: every configured grid has its loaded flag.
bool grids_complete(const GridState& grids, int grid_count);

// +1 when the survey X of the upper-right corner is less than that of the
// upper-left corner (both read from their box texts), otherwise -1.
double direction_sign(const std::string& ur_survey_x, const std::string& ul_survey_x);

}  // namespace rs
