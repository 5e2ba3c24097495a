#include "grid/setup_procedures.h"

#include <cmath>

#include "core/text_forms.h"
#include "grid/setup_files.h"

namespace rs {

namespace {

struct BoxInfo {
    const char* name;
    std::string SetupForm::*text;
};

// In the order of ValueBox.
constexpr BoxInfo kBoxes[kValueBoxes] = {
    {"upper_left_x", &SetupForm::upper_left_x},
    {"upper_left_y", &SetupForm::upper_left_y},
    {"lower_left_x", &SetupForm::lower_left_x},
    {"lower_left_y", &SetupForm::lower_left_y},
    {"upper_right_x", &SetupForm::upper_right_x},
    {"upper_right_y", &SetupForm::upper_right_y},
    {"lower_right_x", &SetupForm::lower_right_x},
    {"lower_right_y", &SetupForm::lower_right_y},
    {"ul_survey_x", &SetupForm::ul_survey_x},
    {"ul_survey_y", &SetupForm::ul_survey_y},
    {"ll_survey_x", &SetupForm::ll_survey_x},
    {"ll_survey_y", &SetupForm::ll_survey_y},
    {"ur_survey_x", &SetupForm::ur_survey_x},
    {"ur_survey_y", &SetupForm::ur_survey_y},
    {"lr_survey_x", &SetupForm::lr_survey_x},
    {"lr_survey_y", &SetupForm::lr_survey_y},
    {"jump_x", &SetupForm::jump_x},
    {"jump_y", &SetupForm::jump_y},
    {"txtCheckX", &SetupForm::txtCheckX},
    {"txtCheckY", &SetupForm::txtCheckY},
    {"txtCheckXpix", &SetupForm::txtCheckXpix},
    {"txtCheckYpix", &SetupForm::txtCheckYpix},
};

// Where a survey-kind box stores its number; null for the screen boxes,
// which only display the working positions.
double* survey_value(GridDefinition& w, ValueBox box) {
    switch (box) {
        case ValueBox::ul_survey_x:
            return &w.corners[kUpperLeft].survey_x;
        case ValueBox::ul_survey_y:
            return &w.corners[kUpperLeft].survey_y;
        case ValueBox::ll_survey_x:
            return &w.corners[kLowerLeft].survey_x;
        case ValueBox::ll_survey_y:
            return &w.corners[kLowerLeft].survey_y;
        case ValueBox::ur_survey_x:
            return &w.corners[kUpperRight].survey_x;
        case ValueBox::ur_survey_y:
            return &w.corners[kUpperRight].survey_y;
        case ValueBox::lr_survey_x:
            return &w.corners[kLowerRight].survey_x;
        case ValueBox::lr_survey_y:
            return &w.corners[kLowerRight].survey_y;
        case ValueBox::jump_x:
            return &w.jump_x;
        case ValueBox::jump_y:
            return &w.jump_y;
        case ValueBox::txtCheckX:
            return &w.check_buoy.survey_x;
        case ValueBox::txtCheckY:
            return &w.check_buoy.survey_y;
        default:
            return nullptr;
    }
}

struct PointBoxes {
    ValueBox x;
    ValueBox y;
};
PointBoxes screen_boxes(SetupPoint p) {
    switch (p) {
        case SetupPoint::UpperLeft:
            return {ValueBox::upper_left_x, ValueBox::upper_left_y};
        case SetupPoint::LowerLeft:
            return {ValueBox::lower_left_x, ValueBox::lower_left_y};
        case SetupPoint::UpperRight:
            return {ValueBox::upper_right_x, ValueBox::upper_right_y};
        case SetupPoint::LowerRight:
            return {ValueBox::lower_right_x, ValueBox::lower_right_y};
        default:
            return {ValueBox::txtCheckXpix, ValueBox::txtCheckYpix};
    }
}

GridPoint& working_point(GridDefinition& w, SetupPoint p) {
    switch (p) {
        case SetupPoint::UpperLeft:
            return w.corners[kUpperLeft];
        case SetupPoint::LowerLeft:
            return w.corners[kLowerLeft];
        case SetupPoint::UpperRight:
            return w.corners[kUpperRight];
        case SetupPoint::LowerRight:
            return w.corners[kLowerRight];
        default:
            return w.check_buoy;
    }
}

void hide_accuracy_controls(SetupForm& f) {
    f.btnAccuracyCheck_visible = false;
    f.fmAccuracyConfig_visible = false;
    f.fmAccuracyDisplay_visible = false;
}

void show_accuracy_controls(SetupForm& f) {
    f.btnAccuracyCheck_visible = true;
    f.fmAccuracyDisplay_visible = true;
    if (f.optAdvancedAccuracy)
        f.fmAccuracyConfig_visible = true;
}

PlacedLabel distance_label(std::string caption, const GridPoint& corner, double above) {
    return PlacedLabel{std::move(caption), corner.screen_x - 100, corner.screen_y - above};
}

}  // namespace

std::string& value_box(SetupForm& form, ValueBox box) {
    return form.*kBoxes[static_cast<int>(box)].text;
}
const std::string& value_box(const SetupForm& form, ValueBox box) {
    return form.*kBoxes[static_cast<int>(box)].text;
}
const char* value_box_name(ValueBox box) {
    return kBoxes[static_cast<int>(box)].name;
}

std::vector<std::string> value_box_texts(const SetupForm& form) {
    std::vector<std::string> texts;
    for (const BoxInfo& b : kBoxes)
        texts.push_back(form.*b.text);
    return texts;
}

void value_box_changed(GridContext& ctx, ValueBox box) {
    SetupForm& f = ctx.form;
    f.grid_state_icon = "msgbox03.ico";
    if (!ctx.grids.loading) {
        // An edited grid must not be reloaded at the next start until it is
        // saved or loaded again.
        const int n = grid_from_caption(f.grid_select);
        if (n != 0) {
            ctx.show_indicator(n, false);
            ctx.settings.save("grid" + std::to_string(n) + "File", "");
            ctx.show_main_description(n, "");
        }
    }
    hide_accuracy_controls(f);
    ctx.grids.complete = 0;
    if (double* v = survey_value(ctx.grids.working, box))
        *v = text_to_number(value_box(f, box));
}

bool set_value_box(GridContext& ctx, ValueBox box, const std::string& text) {
    std::string& current = value_box(ctx.form, box);
    if (current == text)
        return false;
    current = text;
    value_box_changed(ctx, box);
    return true;
}

ScreenPoint point_position(const GridDefinition& w, SetupPoint p) {
    const GridPoint& g = working_point(const_cast<GridDefinition&>(w), p);
    return {g.screen_x, g.screen_y};
}

std::vector<PointMove> place_point(GridContext& ctx, SetupPoint selected, double x, double y) {
    GridDefinition& w = ctx.grids.working;
    const ScreenPoint s = point_position(w, selected);
    const double dx = x - s.x, dy = y - s.y;
    std::vector<PointMove> moves;
    for (SetupPoint p : kSetupPoints) {
        if (p != selected && !ctx.form.chkboxGridLock)
            continue;
        GridPoint& g = working_point(w, p);
        PointMove m{p, {g.screen_x, g.screen_y}, {}};
        m.to = p == selected ? ScreenPoint{x, y} : ScreenPoint{g.screen_x + dx, g.screen_y + dy};
        // The check buoy's position is a working value like the corners':
        // saving writes it to the ".cb" file.
        g.screen_x = m.to.x;
        g.screen_y = m.to.y;
        const PointBoxes b = screen_boxes(p);
        set_value_box(ctx, b.x, plain_number(m.to.x));
        set_value_box(ctx, b.y, plain_number(m.to.y));
        moves.push_back(m);
    }
    return moves;
}

std::vector<PointMove> nudge_point(GridContext& ctx, SetupPoint selected, double dx, double dy) {
    const ScreenPoint s = point_position(ctx.grids.working, selected);
    return place_point(ctx, selected, s.x + dx, s.y + dy);
}

bool lock_allowed(const SetupForm& f) {
    for (const std::string* x :
         {&f.upper_left_x, &f.upper_right_x, &f.lower_left_x, &f.lower_right_x}) {
        if (*x == "auto")
            return false;
    }
    return f.txtCheckX != "CheckX";
}

void show_grid_record(GridContext& ctx, int n) {
    const GridDefinition& rec = ctx.grids.grid(n);
    GridDefinition& w = ctx.grids.working;
    w.corners = rec.corners;
    w.c = rec.c;
    w.jump_x = rec.jump_x;
    w.jump_y = rec.jump_y;
    w.check_buoy = rec.check_buoy;
    struct CornerIds {
        Corner corner;
        ValueBox x, y, survey_x, survey_y;
    };
    static constexpr CornerIds kCorners[] = {
        {kUpperLeft, ValueBox::upper_left_x, ValueBox::upper_left_y, ValueBox::ul_survey_x,
         ValueBox::ul_survey_y},
        {kLowerLeft, ValueBox::lower_left_x, ValueBox::lower_left_y, ValueBox::ll_survey_x,
         ValueBox::ll_survey_y},
        {kUpperRight, ValueBox::upper_right_x, ValueBox::upper_right_y, ValueBox::ur_survey_x,
         ValueBox::ur_survey_y},
        {kLowerRight, ValueBox::lower_right_x, ValueBox::lower_right_y, ValueBox::lr_survey_x,
         ValueBox::lr_survey_y},
    };
    for (const CornerIds& c : kCorners) {
        const GridPoint& p = rec.corners[c.corner];
        set_value_box(ctx, c.x, plain_number(p.screen_x));
        set_value_box(ctx, c.y, plain_number(p.screen_y));
        set_value_box(ctx, c.survey_x, plain_number(p.survey_x));
        set_value_box(ctx, c.survey_y, plain_number(p.survey_y));
    }
    set_value_box(ctx, ValueBox::jump_x, plain_number(rec.jump_x));
    set_value_box(ctx, ValueBox::jump_y, plain_number(rec.jump_y));
    set_value_box(ctx, ValueBox::txtCheckX, plain_number(rec.check_buoy.survey_x));
    set_value_box(ctx, ValueBox::txtCheckY, plain_number(rec.check_buoy.survey_y));
    set_value_box(ctx, ValueBox::txtCheckXpix, plain_number(rec.check_buoy.screen_x));
    set_value_box(ctx, ValueBox::txtCheckYpix, plain_number(rec.check_buoy.screen_y));
    ctx.form.ipt_file_description = rec.setup_file;
    ctx.form.ipt_file_description_2 = rec.description;
}

void select_next_grid(GridContext& ctx) {
    SetupForm& f = ctx.form;
    GridState& g = ctx.grids;
    const int count = ctx.shared.grid_count;
    g.loading = true;
    const int from = grid_from_caption(f.grid_select);
    int to = 1;
    if (from == 1 && count >= 2)
        to = 2;
    else if (from == 2 && count >= 3)
        to = 3;
    f.grid_select = grid_caption(to);
    g.current = to;
    if (from != to)
        ctx.WriteDebugLog("Changed from grid " + std::to_string(from) + " to grid " +
                          std::to_string(to));
    show_grid_record(ctx, to);
    if (g.grid(to).loaded) {
        f.grid_state_icon = "face02.ico";
        f.btnAccuracyCheck_visible = true;
        f.fmAccuracyDisplay_visible = true;
    }
    g.loading = false;
    if (grids_complete(g, count))
        g.complete = 1;
}

std::map<std::string, PlacedLabel> buoy_labels(const GridDefinition& grid) {
    auto meters_to = [&](const GridPoint& corner) {
        return std::hypot(grid.jump_x - corner.survey_x, grid.jump_y - corner.survey_y);
    };
    // 3.28 feet to the meter: the labels are a guide for the eye, and the
    // operators know them by these figures.
    auto feet = [](double d) { return plain_number(std::floor(3.28 * d + 0.5)) + " feet"; };
    auto meters = [](double d) { return plain_number(std::floor(10 * d + 0.5) / 10) + " meters"; };
    const GridPoint& ul = grid.corners[kUpperLeft];
    const GridPoint& ur = grid.corners[kUpperRight];
    const double max_d = meters_to(ul), min_d = meters_to(ur);
    return {
        {"maxbuoy", distance_label(feet(max_d), ul, 400)},
        {"maxbuoym", distance_label(meters(max_d), ul, 600)},
        {"minbuoy", distance_label(feet(min_d), ur, 400)},
        {"minbuoym", distance_label(meters(min_d), ur, 600)},
    };
}

LeaveResult leave_setup(GridContext& ctx, Configuration& configuration) {
    GridState& g = ctx.grids;
    SetupForm& f = ctx.form;
    const bool complete_on_entry = g.complete == 1;
    LeaveResult r;
    if (complete_on_entry) {
        r.leave = true;
        r.complete = true;
        f.grid_select = grid_caption(1);
        g.current = 1;
        g.loading = true;
        show_grid_record(ctx, 1);
        configuration.measure_buoy_labels = buoy_labels(g.working);
        ctx.show_measure_description(g.grid(1).description);
    } else {
        r.leave =
            ctx.dialogs.message(
                {"Do you want to leave the grid setup with all configured grids not setup?",
                 MsgButtons::YesNo, MsgIcon::None, "Grid Setup Error", true}) == MsgResult::Yes;
    }
    g.loading = false;
    if (complete_on_entry) {
        // Filling the boxes with grid 1 counted as changes; grid 1 and the
        // others are still every one ready.
        g.complete = 1;
        f.grid_state_icon = "face02.ico";
        show_accuracy_controls(f);
    }
    ctx.WriteDebugLog("status on exit of grid setup");
    for (int n = 1; n <= 3; ++n) {
        if (g.grid(n).loaded)
            ctx.WriteDebugLog("Grid " + std::to_string(n) + " is loaded");
    }
    if (g.complete == 1)
        ctx.WriteDebugLog("setup is OK");
    ctx.WriteDebugLog("end of status");
    return r;
}

bool settle_after_load(GridContext& ctx, const std::vector<std::string>& texts_before) {
    if (value_box_texts(ctx.form) == texts_before)
        return false;
    if (!(ctx.grids.working.check_buoy.screen_x > 0)) {
        SetupForm& f = ctx.form;
        f.grid_state_icon = "msgbox03.ico";
        hide_accuracy_controls(f);
        ctx.grids.complete = 0;
        const int n = ctx.grids.current;
        if (n >= 1 && n <= 3 && ctx.grids.grid(n).loaded) {
            ctx.grids.grid(n).loaded = false;
            ctx.show_indicator(n, false);
        }
    }
    return true;
}

}  // namespace rs
