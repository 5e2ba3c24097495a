#pragma once
// What the measurement screen draws and shows for a point on the picture:
// the impact marker's lines (plain or with a gap around the point, pointing
// back against the jump direction, with the splash indicator where the
// grid's own distance ends), the cursor readout of verify mode, and the buoy
// distance labels of the grid overlay. A point with no image on the water
// gives no number anywhere.

#include <map>
#include <optional>
#include <string>

#include "app/configuration.h"
#include "grid/grid_definition.h"
#include "grid/grid_solution.h"

namespace rs {

struct Segment {
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
    bool operator==(const Segment&) const = default;
};

struct MarkerStyle {
    double cross = 225;          // CrossSize: length of the marker lines, twips
    bool gap = false;            // "Gap Marker Style"
    bool right_to_left = false;  // the skier jumps from right to left
    JumpKind kind = JumpKind::Normal;
    double direction = 1;  // the grid's direction sign
};

struct ImpactMarker {
    Segment horizontal;  // lineHorizontalImpact
    Segment vertical;    // lineVerticalImpact
    Segment bottom;      // lineVerticalImpactbottom, shown with the gap style only
    bool bottom_visible = false;
    ScreenPoint point;  // impactpoint: the one pixel of the point
    // lineSplashIndicator; nothing when the point or the end of the grid's
    // distance has no image.
    std::optional<Segment> splash;
};

ImpactMarker impact_marker(const GridDefinition& grid, const MarkerStyle& style, double x,
                           double y);

// The readout of verify mode for the cursor at (x, y). Off the water the
// survey and distance boxes hold no number.
struct CursorReadout {
    std::string xtwips;
    std::string ytwips;
    std::string xposition;
    std::string yposition;
    std::string VerifyDistance;
    bool on_water = false;
};
inline constexpr const char* kNotOnWater = "not on the water";
CursorReadout cursor_readout(const GridDefinition& grid, JumpKind kind, double x, double y);

// maxbuoy / maxbuoym at the upper-left corner, minbuoy / minbuoym at the
// upper-right one: feet (3.28 to the meter, whole) and meters (to a tenth)
// from the jump point, 400 and 600 twips above and 100 left of the buoy.
std::map<std::string, PlacedLabel> measure_buoy_labels(const GridDefinition& grid);

// What the operator is told about a point with no image on the water.
std::string no_distance_message(int grid);

}  // namespace rs
