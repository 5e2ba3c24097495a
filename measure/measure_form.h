#pragma once
// The measurement screen's record: the texts and choices the operator sees
// and the marked impact point. The procedures of measure/ (recording,
// picture saving, the live pictures) work on it with the services of a
// MeasureContext; the screen mirrors it into its widgets after each one.

#include <optional>
#include <string>

#include "app/configuration.h"
#include "app/logs.h"
#include "app/shared_values.h"
#include "grid/grid_definition.h"
#include "grid/grid_solution.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/file_writer.h"
#include "platform/paths.h"

namespace rs {

// The result options of Frame1; None when recording has deselected them.
enum class ResultOption { None, JumpOK, Pass, Fall, O_reride, M_Reride, Other_Grid, Make_comment };

struct MeasureForm {
    std::string Skier_name;
    std::string Jump_no = "1";
    std::string Comment;
    bool Comment_visible = true;
    std::string distance = "m";
    std::string distance_ft = "ft";
    // The uncertainty of the distance shown, in meters, and the `distance`
    // text it belongs to: shown only while that text is the one on the screen.
    std::optional<double> uncertainty;
    std::string uncertainty_of;
    ResultOption option = ResultOption::JumpOK;
    // The verify button reads "Verify off": recorded jumps are unofficial.
    bool verify = false;
    // The picture came from the snapshot, the clipboard or "&Paste".
    bool frozen = false;
    std::string gif_file_name;
    bool gif_file_name_visible = false;

    // The marked impact point (twips); nothing before the first click and
    // after the screen is cleared, so an unmarked picture cannot be recorded.
    std::optional<ScreenPoint> impact;
    // Where the marker was last drawn; nudges start from here.
    ScreenPoint last_drawn{0, 0};

    // Set when a jump is recorded, cleared by anything that makes another
    // recording meaningful (a new point, another option, a typed change, a
    // new picture). A second press of "Record &Jump" while it is set writes
    // nothing: one click, one line.
    bool recorded = false;

    // How far the picture shown lies from the grid's set-up picture, pixels
    // at the buoys; nothing when it could not be compared.
    std::optional<double> camera_moved_px;
};

struct MeasureContext {
    MeasureForm& form;
    GridState& grids;
    const Configuration& config;
    SharedValues& shared;
    Dialogs& dialogs;
    FileWriter& files;
    const Clock& clock;
    DebugLog& log;
    Paths paths;

    void WriteDebugLog(const std::string& line) { log.WriteDebugLog(line); }
    JumpKind jump_kind() const { return jump_kind_from_text(config.tournament_type); }
};

}  // namespace rs
