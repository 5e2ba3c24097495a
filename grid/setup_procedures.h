#pragma once
// The set-up screen's own procedures as plain logic over its record
// (SetupForm) and the grid state: a change of a value box, placing and
// nudging points (alone or the whole locked grid), the lock rule, cycling the
// grid selector, and leaving the screen. The screen calls these and mirrors
// the record into its widgets; the drawing of markers stays with the screen.

#include <optional>
#include <string>
#include <vector>

#include "app/configuration.h"
#include "grid/grid_context.h"
#include "grid/grid_solution.h"

namespace rs {

// The boxes whose change invalidates the grid shown (design names).
enum class ValueBox {
    upper_left_x,
    upper_left_y,
    lower_left_x,
    lower_left_y,
    upper_right_x,
    upper_right_y,
    lower_right_x,
    lower_right_y,
    ul_survey_x,
    ul_survey_y,
    ll_survey_x,
    ll_survey_y,
    ur_survey_x,
    ur_survey_y,
    lr_survey_x,
    lr_survey_y,
    jump_x,
    jump_y,
    txtCheckX,
    txtCheckY,
    txtCheckXpix,
    txtCheckYpix,
};
inline constexpr int kValueBoxes = 22;
std::string& value_box(SetupForm& form, ValueBox box);
const std::string& value_box(const SetupForm& form, ValueBox box);
const char* value_box_name(ValueBox box);

// The change of a value box, typed or written by a procedure: the state
// picture goes back to "msgbox03.ico"; unless a set-up is being loaded the
// grid on the selector loses its configured file and its ready indicator;
// the accuracy controls are hidden and the grids-complete flag cleared; a
// survey, jump or check-buoy survey box stores its number into the working
// values. The caller clears the accuracy overlay.
void value_box_changed(GridContext& ctx, ValueBox box);
// Writes a box the way a procedure does; a different text counts as a
// change. True when the text changed.
bool set_value_box(GridContext& ctx, ValueBox box, const std::string& text);
// Texts of every value box, to tell whether a procedure changed any.
std::vector<std::string> value_box_texts(const SetupForm& form);

// The five points a click or a nudge places, in the order they are moved.
enum class SetupPoint { UpperLeft, LowerLeft, UpperRight, LowerRight, CheckBuoy };
inline constexpr SetupPoint kSetupPoints[] = {SetupPoint::UpperLeft, SetupPoint::LowerLeft,
                                              SetupPoint::UpperRight, SetupPoint::LowerRight,
                                              SetupPoint::CheckBuoy};
ScreenPoint point_position(const GridDefinition& working, SetupPoint point);

struct PointMove {
    SetupPoint point;
    ScreenPoint from;
    ScreenPoint to;
};
// A click at (x, y) with `selected` chosen: the selected point goes to the
// click; with the lock ticked every other point moves by the same
// displacement. Working positions and screen boxes are written (each box
// written is a change). Returns the moves, in order, for the markers.
std::vector<PointMove> place_point(GridContext& ctx, SetupPoint selected, double x, double y);
// The same rule for a displacement (a nudge of one pixel is 15 twips).
std::vector<PointMove> nudge_point(GridContext& ctx, SetupPoint selected, double dx, double dy);

// The lock may stay ticked once every corner has a screen X and the check
// buoy a survey X.
bool lock_allowed(const SetupForm& form);
inline constexpr const char* kCannotLock =
    "Cannot Lock Grid Until buoy positions have been entered for all four buoys and check buoy";

// The grid selector's click: the next configured grid becomes current and
// its record the working values, shown in every box.
void select_next_grid(GridContext& ctx);
// With the loading flag set, the working values become grid n's record and
// fill every value box and the two file boxes.
void show_grid_record(GridContext& ctx, int n);

// Leaving the screen. With every configured grid ready, grid 1 becomes
// current and the measurement screen's buoy labels are placed; otherwise the
// operator is asked whether to leave anyway. The status lines are written
// either way.
struct LeaveResult {
    bool leave = false;
    bool complete = false;  // grid 1 was made current and drawn
};
LeaveResult leave_setup(GridContext& ctx, Configuration& configuration);

// The measurement screen's buoy distance labels for a grid: feet and meters
// from the jump point to the upper-left (max) and upper-right (min) corners,
// placed above them.
std::map<std::string, PlacedLabel> buoy_labels(const GridDefinition& grid);

// After the load of a set-up file (texts_before: the value boxes before it).
// Filling the boxes is a change of each, as typing is: the accuracy overlay
// goes, and a load that ended without a check buoy leaves a set-up nobody
// has proven, so its grid counts as not set up (state picture, accuracy
// controls, grids-complete flag, loaded flag). True when any box changed.
bool settle_after_load(GridContext& ctx, const std::vector<std::string>& texts_before);

}  // namespace rs
