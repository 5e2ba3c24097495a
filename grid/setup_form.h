#pragma once
// The grid set-up screen's state as plain data: the texts of its value boxes
// and the few control states the grid procedures read or write. The grid
// logic works on this record; the set-up screen mirrors it into its widgets
// (with the loading flag set, so that mirroring is not taken for typing).

#include <array>
#include <string>
#include <vector>

namespace rs {

// A figure the acceptance asks the set-up screen to draw on its picture
// (twips, picture coordinates).
struct SetupFigure {
    enum Kind { Point, Circle, Line } kind = Point;
    double x = 0;
    double y = 0;
    double radius = 0;  // Circle
    double x2 = 0;      // Line end
    double y2 = 0;
    unsigned colour = 16777215;  // white
};

struct SetupForm {
    // Corner screen boxes (twips), placeholder "auto".
    std::string upper_right_x = "auto", upper_right_y = "auto";
    std::string lower_right_x = "auto", lower_right_y = "auto";
    std::string upper_left_x = "auto", upper_left_y = "auto";
    std::string lower_left_x = "auto", lower_left_y = "auto";
    // Corner survey boxes (meters), placeholder "input".
    std::string ur_survey_x = "input", ur_survey_y = "input";
    std::string lr_survey_x = "input", lr_survey_y = "input";
    std::string ul_survey_x = "input", ul_survey_y = "input";
    std::string ll_survey_x = "input", ll_survey_y = "input";
    std::string jump_x = "jump x", jump_y = "jump y";
    std::string txtCheckX = "CheckX", txtCheckY = "CheckY";
    std::string txtCheckXpix, txtCheckYpix;

    std::string ipt_file_description = "No File";  // set-up file path
    std::string ipt_file_description_2;            // description

    std::string grid_select = "Grid 1";  // caption: the grid shown

    bool chkboxGridLock = false;
    bool gridLockedLabel_visible = false;
    // Mirror of the configuration screen's "Allow Invalid Setup" box.
    bool chkBadSetup = false;

    std::string grid_state_icon = "msgbox03.ico";  // picture name in the application folder
    bool btnAccuracyCheck_visible = false;
    bool fmAccuracyDisplay_visible = false;
    bool fmAccuracyConfig_visible = false;
    bool optAdvancedAccuracy = false;

    // Picture size in twips, as texts with the leading blank of the number form.
    std::string txtPicWidth = " 12000";
    std::string txtPicHeight = " 9000";
    int Setup_Cross_size = 60;  // twips

    bool lblCB_visible = false;
    double lblCB_left = 0;
    double lblCB_top = 0;

    // Front and back set-up ratios (percent) of the last grid_check; read by
    // the accuracy check.
    double front_ratio = 0;
    double back_ratio = 0;

    // Drawing requests for the picture since the screen last applied them.
    // drawings_cleared asks the screen to erase its drawings first;
    // show_grid_requested asks it to redraw the grid overlay afterwards.
    bool drawings_cleared = false;
    std::vector<SetupFigure> figures;
    bool show_grid_requested = false;
};

// The screen and survey boxes of one corner (corner order of Corner in
// grid_definition.h: upper right, lower right, upper left, lower left).
struct CornerBoxes {
    std::string* screen_x;
    std::string* screen_y;
    std::string* survey_x;
    std::string* survey_y;
};
CornerBoxes corner_boxes(SetupForm& form, int corner);
struct ConstCornerBoxes {
    const std::string* screen_x;
    const std::string* screen_y;
    const std::string* survey_x;
    const std::string* survey_y;
};
ConstCornerBoxes corner_boxes(const SetupForm& form, int corner);

// Grid number on a grid selector caption ("Grid 1" to "Grid 3"), or 0.
int grid_from_caption(const std::string& caption);
std::string grid_caption(int grid);

}  // namespace rs
