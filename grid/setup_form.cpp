#include "grid/setup_form.h"

#include "grid/grid_definition.h"

namespace rs {

CornerBoxes corner_boxes(SetupForm& f, int corner) {
    switch (corner) {
        case kUpperRight:
            return {&f.upper_right_x, &f.upper_right_y, &f.ur_survey_x, &f.ur_survey_y};
        case kLowerRight:
            return {&f.lower_right_x, &f.lower_right_y, &f.lr_survey_x, &f.lr_survey_y};
        case kUpperLeft:
            return {&f.upper_left_x, &f.upper_left_y, &f.ul_survey_x, &f.ul_survey_y};
        default:
            return {&f.lower_left_x, &f.lower_left_y, &f.ll_survey_x, &f.ll_survey_y};
    }
}

ConstCornerBoxes corner_boxes(const SetupForm& f, int corner) {
    CornerBoxes b = corner_boxes(const_cast<SetupForm&>(f), corner);
    return {b.screen_x, b.screen_y, b.survey_x, b.survey_y};
}

int grid_from_caption(const std::string& caption) {
    if (caption == "Grid 1")
        return 1;
    if (caption == "Grid 2")
        return 2;
    if (caption == "Grid 3")
        return 3;
    return 0;
}

std::string grid_caption(int grid) {
    return "Grid " + std::to_string(grid);
}

}  // namespace rs
