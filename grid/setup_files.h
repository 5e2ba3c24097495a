#pragma once
// The three ways a set-up reaches a grid from the set-up screen and the
// configuration screen: save, load and the reload of the configured set-up
// files. Each works on the set-up screen's record and the grid state.

#include <string>
#include <vector>

#include "core/text_forms.h"
#include "grid/grid_context.h"

namespace rs {

// The gridSave menu entry: asks for the path, description and grid, writes
// the ".ipt" and ".cb" files and makes the file the grid's configured one.
// A set-up not accepted is saved only when the official confirms it, and its
// grid is then not ready.
void save_setup(GridContext& ctx);

// The gridLoad menu entry: asks for the grid and the file and reads it.
// True when a file was read into the grid (ready or not).
bool load_setup(GridContext& ctx);

// Reload of one configured set-up file when the configuration screen opens.
// The caller sets the current grid number to grid and the loading flag
// before the call (grids 3, 2, 1 in that order) and clears the flag after.
void reload_configured_setup(GridContext& ctx, const std::string& path, int grid);

// A set-up file whose coefficients do not map its own corners (saved before
// "Complete") loads its values for correction, but its grid is not ready:
// the message names the file.
std::string not_solved_message(const std::string& path, int grid);
// Asked before saving a set-up that was not accepted.
std::string not_accepted_question(int grid);
// The working set-up was accepted ("face02.ico" showing) and its
// coefficients map its corners.
bool setup_accepted(const SetupForm& form, const GridDefinition& working);

// The grids-complete condition: every configured grid has its loaded flag.
bool grids_complete(const GridState& grids, int grid_count);

// +1 when the survey X of the upper-right corner is less than that of the
// upper-left corner (both read from their box texts), otherwise -1.
double direction_sign(const std::string& ur_survey_x, const std::string& ul_survey_x);

// The "New Set-up now in place" block of the results file. A load shows the
// check buoy from the file in print form (or "No check buoy for this set
// up"), a reload the texts of the check-buoy boxes, an acceptance the working
// check buoy in print form and "Pixels" in place of "Twips".
enum class SetupBlockKind { Load, Reload, Accept };
std::vector<std::string> new_setup_block(const SetupForm& form, const GridDefinition& working,
                                         int grid, const DateTime& now, SetupBlockKind kind);
// Appends the block to the results file; a file that cannot be written loses
// the block, with a debug-log line.
void append_new_setup_block(GridContext& ctx, int grid, SetupBlockKind kind);

// The working corners and jump point shown in the corner, survey and jump
// boxes, in plain decimal form.
void show_values_in_boxes(SetupForm& form, const GridDefinition& working);

// Asks "What grid are you <verb>?" until the answer is a configured grid.
int ask_grid_number(GridContext& ctx, const std::string& verb);

}  // namespace rs
