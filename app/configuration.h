#pragma once
// The configuration the operator sets on the configuration screen, as the
// other screens read it. Values that belong to screens built on their own
// (the measurement screen's label colours, its barefoot indicator, its
// skier list) are kept here, and those screens apply them when shown.

#include <map>
#include <string>
#include <vector>

namespace rs {

// Colours: 24-bit values with red in the low byte.
inline constexpr unsigned kBlack = 0;
inline constexpr unsigned kRed = 255;
inline constexpr unsigned kYellow = 65535;
inline constexpr unsigned kWhite = 16777215;

// A label placed over the measurement screen's picture (twips) by another
// screen; the measurement screen shows it when it is built.
struct PlacedLabel {
    std::string caption;
    double left = 0;
    double top = 0;
};

struct Configuration {
    std::string tournament_name;
    std::string captures_folder;
    std::string skier_name_file;

    unsigned label_color = kWhite;
    std::string label_color_name = "default";
    // Text colour of each measurement screen label, by control name.
    std::map<std::string, unsigned> measure_label_colors;

    unsigned impact_color = kWhite;

    bool right_to_left = false;
    std::string direction_text = "left";  // "left" for left to right, "right" otherwise

    bool line_control_off = false;
    std::string line_text = "line_on";

    std::string tournament_type = "normal";  // "barefoot", "sitski" or "normal"
    bool barefoot = false;
    bool sitski = false;
    // The measurement screen's barefoot_indicator.
    bool barefoot_indicator_visible = false;
    std::string barefoot_indicator_text;

    std::string wstims_state = "WSTIMS OFF";
    bool wstims = false;

    std::string buoy_marker = "circle";  // "cross" draws crosses, anything else circles
    std::string picture_save = "Ask";    // "Save", "NoSave" or "Ask"
    std::string video_save = "Ask";

    std::string picture_extension = ".bmp";
    std::string picture_type = "bmp";
    std::string picture_format = "1";

    bool use_loupe = false;
    bool warn_message = false;
    bool allow_bad_setups = false;
    // A picture taken for measuring that lies further than this from the
    // grid's set-up picture (pixels at the buoys) is reported as taken by a
    // camera that moved (setting "cameraMoved").
    double camera_moved_limit_px = 2;

    // The measurement screen's UnofficialJump label.
    bool unofficial_jump_visible = false;
    // The measurement screen's skier list (Skier_name), in file order.
    std::vector<std::string> skier_names;
    // The measurement screen's buoy distance labels by control name
    // (maxbuoy, maxbuoym, minbuoy, minbuoym), placed by the grid set-up
    // screen when the operator leaves it with every grid ready.
    std::map<std::string, PlacedLabel> measure_buoy_labels;
};

}  // namespace rs
