#pragma once
// Recording a jump: the marked impact point becomes the official distance
// (meters to a tenth, feet whole or to a tenth for barefoot), one line in
// the results file and, with the scoring link on, the result in the
// exchange files. Passes, falls, a distance typed from another camera's
// grid, rerides and free comments are recorded the same way.

#include <optional>
#include <string>

#include "measure/measure_form.h"

namespace rs {

// Everything about one recorded jump, for whoever keeps a record of it.
struct RecordedJump {
    DateTime when;
    std::string skier;
    std::string jump_number;  // Jump_no as recorded, before any advance
    int grid = 1;
    std::optional<ScreenPoint> impact;  // twips; nothing for pass, fall, other grid
    std::optional<SurveyPoint> survey;  // meters
    std::optional<double> distance;     // meters, offset included, full precision
    std::string meters_text;            // the recorded meters (" 20.1", or as typed)
    std::string feet_text;              // the recorded feet (" 66", or " " + as typed)
    std::string precise_text;           // Str of the distance to four decimals
    // Meters the distance may be off: half a pixel at the impact point, or
    // the check buoy's residual where larger. Shown, never written to the
    // results or exchange files.
    std::optional<double> uncertainty;
    // How far the picture had moved from the grid's set-up picture, pixels
    // at the buoys; nothing when it was not measured.
    std::optional<double> camera_moved_px;
    std::string distance_shown;     // `distance` after recording (" 20.1m")
    std::string distance_ft_shown;  // `distance_ft` after recording (" 66ft")
    std::string comment;
    ResultOption option = ResultOption::JumpOK;
    bool frozen = false;
    bool verify = false;  // recorded in verify mode: unofficial
    std::string results_line;
    bool results_written = false;
    std::string exchange_result;      // the result part of the exchange lines
    bool exchange_attempted = false;  // the scoring link is on
    bool exchange_written = false;
    std::string exchange_error;
    bool advanced = false;  // the jump number was advanced
};

// The coordinates that end the jump line of a distance measured on the grid.
struct LineCoordinates {
    SurveyPoint survey;
    ScreenPoint impact;
    std::string precise;
};

// The results-file jump line, without its line end: date, time, skier,
// "  jump ", number, " - ", distance, "  (IWSF)", feet, "  (AWSA)", the
// barefoot and verify marks, the comment, then the coordinates when given.
std::string results_jump_line(const DateTime& now, const std::string& skier,
                              const std::string& jump_number, const std::string& distance,
                              const std::string& distance_ft, bool barefoot_tournament, bool verify,
                              const std::string& comment,
                              const std::optional<LineCoordinates>& coordinates);

// Str(Val(text) + 1): the jump number after an advance (" 4").
std::string next_jump_number(const std::string& jump_number);

// The other-grid distances are refused when the feet lie more than 2 ft
// from the meters converted by 3.2808.
bool other_grid_distances_match(double meters, double feet);

inline constexpr const char* kNoPointMarked =
    "No impact point is marked. Click the point where the skier first touched the water, then "
    "record the jump.";

// The whole recording, in order. Nothing when it is refused (no marked
// point, a point with no image, a repeated press) or the operator cancels
// the other-grid questions; the form is then as it was.
std::optional<RecordedJump> record_jump(MeasureContext& ctx);

// The option buttons that set the comment: "Fall", "Pass",
// "Distance from other grid".
void Fall_Click(MeasureForm& form);
void Pass_Click(MeasureForm& form);
void Other_Grid_Click(MeasureForm& form);
void optJumpOK_Click(MeasureForm& form);
// The comment options: a dated line in the results file.
void M_Reride_Click(MeasureContext& ctx);
void O_reride_Click(MeasureContext& ctx);
void Make_comment_Click(MeasureContext& ctx);

}  // namespace rs
