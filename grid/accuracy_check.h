#pragma once
// The accuracy check of an accepted grid: at a 6 x 6 lattice of test points
// spread over the grid, how much the jump distance changes when the point
// moves one pixel right or down, classed for homologation, and the report
// appended to "acc" + month + day + ".txt" in the video folder. The set-up
// screen shows the classes on its picture; rampsight-cli prints the same
// report lines.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/text_forms.h"
#include "grid/grid_definition.h"
#include "grid/grid_solution.h"
#include "grid/setup_form.h"
#include "platform/dialogs.h"

namespace rs {

inline constexpr int kLatticeSize = 6;
inline constexpr int kLatticePoints = kLatticeSize * kLatticeSize;
// The indicator labels the set-up screen holds: one per test point, with
// room to spare (indices 0 to 50).
inline constexpr int kAccuracyIndicators = 51;
// The row question accepts one more than the lattice rows; the seventh row
// shows no test point (the skier lands beyond the lattice).
inline constexpr int kAccuracyRowChoices = kLatticeSize + 1;

// Test point (row, column), both from 1: rows run from the upper edge to the
// lower edge, columns from the left edge to the right. Linear in screen
// twips: each edge is cut into five equal steps, then each column likewise
// between its upper-edge and lower-edge points.
ScreenPoint lattice_point(const GridDefinition& grid, int row, int column);
// Index of a test point (and of its indicator label): row by row, 0 to 35.
inline int lattice_index(int row, int column) {
    return (row - 1) * kLatticeSize + (column - 1);
}

// Meters of jump distance per pixel: "R" at most 0.1, "L" at most 0.15, "C"
// at most 0.2, "NH" above. delta is a difference of two distances of tens of
// meters, so its last bits are rounding noise: a grid of exactly 0.15 m per
// pixel must class "L" however the subtraction rounds. The edges therefore
// take a nanometre of slack, far below anything a pixel can resolve.
std::string accuracy_class(double delta);

enum class AccuracyDisplay { Distance, Detail, HomologationLevel };

struct AccuracyPoint {
    ScreenPoint screen;
    // Empty when the point, or the point a pixel right or down, has no image
    // on the water (on or beyond the horizon): no distance, no label.
    std::optional<SurveyPoint> survey;
    double d0 = 0;  // distance of the point
    double dh = 0;  // one pixel (15 twips) right
    double dv = 0;  // one pixel down
    double delta = 0;
    std::string text;  // what its indicator label shows
    bool has_image() const { return survey.has_value(); }
};

// The 36 test points of the working grid, row by row, with their distances
// for the tournament's jump kind and the label text of the display choice.
std::vector<AccuracyPoint> accuracy_points(const GridDefinition& working, JumpKind kind,
                                           AccuracyDisplay display);

// What the report names besides the test points.
struct AccuracyReportHeader {
    DateTime now;
    int grid = 1;
    double front_ratio = 0;  // percent, of the last grid_check
    double back_ratio = 0;
};

// Every line of one check, without line ends: the set-up (from the set-up
// screen's boxes and the working check buoy), one line per test point,
// "Accuracy Check Complete" and an empty line.
std::vector<std::string> accuracy_report_lines(const SetupForm& form, const GridDefinition& working,
                                               const AccuracyReportHeader& header,
                                               const std::vector<AccuracyPoint>& points);
// One test point's line of the report.
std::string accuracy_point_line(const AccuracyPoint& point);

// "acc" + MM + DD + ".txt": the checks of one day collect in one file.
std::string accuracy_report_name(const DateTime& now);

// Asks "Pick the line number ..." until the answer reads as a whole number
// from 1 to 7; returns it.
int ask_accuracy_row(Dialogs& dialogs);
// The row an answer names, or nothing when the question must be asked again.
std::optional<int> accuracy_row_from_answer(const std::string& answer);

}  // namespace rs
