#include "grid/grid_validation.h"

#include <cmath>
#include <numbers>

#include "core/text_forms.h"
#include "grid/grid_solution.h"
#include "grid/setup_files.h"

namespace rs {

namespace {

constexpr double kCheckBuoyTolerance = 1.5 * 15;  // twips, each axis
constexpr double kEdgeStep = 45;                  // twips up the picture

std::string int_text(double v) {
    return plain_number(std::floor(v));
}

void invalid_allowed(GridContext& ctx) {
    ctx.dialogs.ok("Invalid Configurations allowed for test", MsgIcon::Critical);
}

// The first box, in the order the operator is asked to fill them, that
// still holds its placeholder.
bool all_entered(const SetupForm& f) {
    const std::pair<const std::string*, const char*> boxes[] = {
        {&f.upper_left_x, "auto"},  {&f.upper_left_y, "auto"},  {&f.upper_right_x, "auto"},
        {&f.upper_right_y, "auto"}, {&f.lower_left_x, "auto"},  {&f.lower_left_y, "auto"},
        {&f.lower_right_x, "auto"}, {&f.lower_right_y, "auto"}, {&f.ul_survey_x, "input"},
        {&f.ul_survey_y, "input"},  {&f.ur_survey_x, "input"},  {&f.ur_survey_y, "input"},
        {&f.ll_survey_x, "input"},  {&f.ll_survey_y, "input"},  {&f.lr_survey_x, "input"},
        {&f.lr_survey_y, "input"},  {&f.jump_x, "jump x"},      {&f.jump_y, "jump y"},
        {&f.txtCheckX, "CheckX"},   {&f.txtCheckY, "CheckY"},
    };
    for (const auto& [text, placeholder] : boxes)
        if (*text == placeholder)
            return false;
    return true;
}

void log_and_check(GridContext& ctx, int grid) {
    append_new_setup_block(ctx, grid, SetupBlockKind::Accept);
    grid_check(ctx);
}

// The check buoy proves the mapping: its surveyed position, mapped back to
// the picture, must lie within 1.5 pixels of where it was clicked.
bool check_buoy_validates(GridContext& ctx) {
    SetupForm& f = ctx.form;
    const GridDefinition& w = ctx.grids.working;
    const double sx = text_to_number(f.txtCheckX), sy = text_to_number(f.txtCheckY);
    ctx.WriteDebugLog("check buoy x = " + f.txtCheckX);
    ctx.WriteDebugLog("check buoy y = " + f.txtCheckY);
    const auto expected = survey_to_screen(w, sx, sy);
    const double cx = text_to_number(f.txtCheckXpix), cy = text_to_number(f.txtCheckYpix);
    const auto mapped = screen_to_survey(w, cx, cy);
    ctx.WriteDebugLog("check buoy on screen x = " + (mapped ? plain_number(mapped->x) : "none"));
    ctx.WriteDebugLog("check buoy on screen y = " + (mapped ? plain_number(mapped->y) : "none"));
    if (expected && std::fabs(cx - expected->x) <= kCheckBuoyTolerance &&
        std::fabs(cy - expected->y) <= kCheckBuoyTolerance)
        return true;

    ctx.dialogs.ok("Check Buoy Does not Validate");
    const std::string ex = expected ? plain_number(expected->x) : "none";
    const std::string ey = expected ? plain_number(expected->y) : "none";
    ctx.WriteDebugLog("measured x: " + f.txtCheckXpix + " Actual: " + ex);
    ctx.WriteDebugLog("measured y: " + f.txtCheckYpix + " Actual: " + ey);
    if (expected) {
        const double x = expected->x, y = expected->y;
        f.figures.push_back({SetupFigure::Point, x, y});
        f.figures.push_back({SetupFigure::Circle, x, y, 4.0 * f.Setup_Cross_size});
        f.figures.push_back({SetupFigure::Line, x, y, 0, x + 100, y});
        f.lblCB_left = x + 15;
        f.lblCB_top = y - 105;
        f.lblCB_visible = true;
    }
    f.show_grid_requested = true;
    return false;
}

}  // namespace

double edge_angle(const GridDefinition& g, double x, double y) {
    const auto p1 = distance_calculation(g, x, y, JumpKind::Normal);
    const auto p2 = distance_calculation(g, x, y - kEdgeStep, JumpKind::Normal);
    if (!p1 || !p2)
        return 90;
    const double dx = p2->survey.x - p1->survey.x, dy = p2->survey.y - p1->survey.y;
    // atan of an infinite ratio: a line up the picture that runs along the
    // survey X axis.
    if (dy == 0)
        return dx < 0 ? -90 : 90;
    return std::atan(dx / dy) * 180 / std::numbers::pi;
}

double field_of_view(double left_angle, double right_angle) {
    return std::floor(std::fabs(left_angle - right_angle) * 10 + 0.5) / 10;
}

bool judge_field_of_view(GridContext& ctx, double F) {
    const std::string fov = plain_number(F);
    if (F > 30 && F <= 35) {
        ctx.dialogs.ok(
            "Warning! Field of View is " + fov +
            " degrees where the maximum allowed is 35 degrees "
            "and the desired is less than 30 degrees. If your grid is not taking up as much of "
            "the screen "
            " as possible then your fov is even greater and may lead to inaccurate readings. "
            "You should consider moving the camera further away or making the measurement grid "
            "shorter.");
    }
    if (F > 35) {
        ctx.dialogs.ok("Setup is not valid, Field of View is " + fov +
                       " degrees where the maximum allowed is 35 degrees."
                       "You either need to move the camera further away or make the measurement "
                       "grid shorter.");
        if (!ctx.form.chkBadSetup)
            return false;
        invalid_allowed(ctx);
    }
    ctx.WriteDebugLog("Field of view  = " + fov + " degrees");
    return true;
}

bool judge_grid_width(GridContext& ctx, double G, double picture_width) {
    if (picture_width != 0)
        ctx.WriteDebugLog("Screen width of Grid  = " + int_text(G) + "%");
    ctx.WriteDebugLog("Screen width  = " + ctx.form.txtPicWidth);
    if (picture_width == 0) {
        // Without a picture the grid's share of it cannot be judged.
        ctx.dialogs.ok(
            "The picture width is unknown, so the width of the grid on the screen cannot be "
            "checked.  Load the set-up picture and complete the set-up again.",
            MsgIcon::Critical);
        if (!ctx.form.chkBadSetup)
            return false;
        invalid_allowed(ctx);
        return true;
    }
    if (G < 80) {
        ctx.dialogs.ok("Warning - Grid is " + int_text(G) +
                           "% which is less than 80% of screen width.  Zoom your camera until "
                           "the grid nearly fills the screen.",
                       MsgIcon::Critical);
        if (G > 75) {
            ctx.dialogs.ok("Grid is greater than 75% so continue");
        } else {
            if (!ctx.form.chkBadSetup)
                return false;
            invalid_allowed(ctx);
        }
    }
    return true;
}

AcceptResult accept_setup(GridContext& ctx) {
    SetupForm& f = ctx.form;
    GridDefinition& w = ctx.grids.working;
    AcceptResult result;
    const int caption_grid = grid_from_caption(f.grid_select);
    const int block_grid = caption_grid != 0 ? caption_grid : ctx.grids.current;

    f.grid_state_icon = "msgbox03.ico";
    bool entered = all_entered(f);
    if (entered && text_to_number(f.txtCheckXpix) == 0) {
        ctx.dialogs.ok("Setup of Check Buoy is Mandatory");
        entered = false;
    }
    if (!entered) {
        ctx.dialogs.ok("Warning - Not all parameters have been set up on grid",
                       MsgIcon::Exclamation, "Error Message");
        log_and_check(ctx, block_grid);
        result.outcome = AcceptOutcome::MissingValues;
        return result;
    }

    ctx.WriteDebugLog("Record Grid Setup");
    f.btnAccuracyCheck_visible = true;
    f.fmAccuracyDisplay_visible = true;
    if (f.optAdvancedAccuracy)
        f.fmAccuracyConfig_visible = true;
    f.drawings_cleared = true;
    f.figures.clear();
    f.lblCB_visible = false;
    // The markers come back at once, as "Draw Buoys" draws them: whatever
    // the outcome, the official sees the points the set-up was judged on.
    f.show_grid_requested = true;

    if (!solve_grid(w)) {
        ctx.dialogs.ok("No Unique Solution - Re-enter data", MsgIcon::Exclamation, "Error Message");
        log_and_check(ctx, block_grid);
        result.outcome = AcceptOutcome::NoUniqueSolution;
        return result;
    }

    if (!check_buoy_validates(ctx)) {
        result.outcome = AcceptOutcome::CheckBuoy;
        return result;
    }

    // Field of view: the outermost corner on each side of the picture.
    const double ulx = text_to_number(f.upper_left_x), llx = text_to_number(f.lower_left_x);
    const double urx = text_to_number(f.upper_right_x), lrx = text_to_number(f.lower_right_x);
    const bool left_upper = ulx <= llx;
    const double left_x = left_upper ? ulx : llx;
    const double left_y = text_to_number(left_upper ? f.upper_left_y : f.lower_left_y);
    const bool right_upper = urx >= lrx;
    const double right_x = right_upper ? urx : lrx;
    const double right_y = text_to_number(right_upper ? f.upper_right_y : f.lower_right_y);
    result.left_angle = edge_angle(w, left_x, left_y);
    result.right_angle = edge_angle(w, right_x, right_y);
    ctx.WriteDebugLog("left angle= " + plain_number(result.left_angle) + " degrees");
    ctx.WriteDebugLog("left position = " + plain_number(left_x));
    ctx.WriteDebugLog("right angle= " + plain_number(result.right_angle) + " degrees");
    ctx.WriteDebugLog("right position = " + plain_number(right_x));
    const double F = field_of_view(result.left_angle, result.right_angle);
    result.field_of_view = F;
    if (!judge_field_of_view(ctx, F)) {
        result.outcome = AcceptOutcome::FieldOfView;
        return result;
    }

    const double picture_width = text_to_number(f.txtPicWidth);
    double G = 0;
    if (picture_width != 0) {
        G = std::fabs(left_x - right_x) * 100 / picture_width;
        result.grid_width_percent = G;
    }
    if (!judge_grid_width(ctx, G, picture_width)) {
        result.outcome = AcceptOutcome::GridWidth;
        return result;
    }

    f.grid_state_icon = "face02.ico";
    if (caption_grid != 0) {
        const int n = caption_grid;
        GridDefinition& rec = ctx.grids.grid(n);
        rec.loaded = true;
        ctx.grids.current = n;
        ctx.show_indicator(n, true);
        ctx.show_main_description(n, "not saved");
        ctx.WriteDebugLog("grid " + std::to_string(n) + " OK and loaded - not saved");
        rec.setup_file = f.ipt_file_description;
        rec.description = f.ipt_file_description_2;
        rec.corners = w.corners;
        rec.c = w.c;
        rec.jump_x = w.jump_x;
        rec.jump_y = w.jump_y;
        rec.check_buoy = w.check_buoy;
    }
    ctx.WriteDebugLog("Check if Setup OK");
    for (int count = 3; count >= 1; --count) {
        if (ctx.shared.grid_count == count && grids_complete(ctx.grids, count)) {
            ctx.grids.complete = 1;
            ctx.WriteDebugLog(count == 1 ? "1 grid - all loaded on OK"
                                         : std::to_string(count) + " grids - all loaded on OK");
        }
    }
    ctx.WriteDebugLog(
        "If setup is OK there should be a message above this saying so otherwise - not OK");
    ctx.grids.direction = direction_sign(f.ur_survey_x, f.ul_survey_x);
    log_and_check(ctx, block_grid);
    result.outcome = AcceptOutcome::Accepted;
    return result;
}

void grid_check(GridContext& ctx) {
    SetupForm& f = ctx.form;
    const double width = text_to_number(f.txtPicWidth);
    if (width == 0) {
        ctx.WriteDebugLog("Picture width unknown - set-up ratios not computed");
        return;
    }
    f.front_ratio =
        std::fabs(text_to_number(f.lower_right_x) - text_to_number(f.lower_left_x)) * 100 / width;
    f.back_ratio =
        std::fabs(text_to_number(f.upper_right_x) - text_to_number(f.upper_left_x)) * 100 / width;
    ctx.WriteDebugLog("Front set-up ratio = " + plain_number(f.front_ratio));
    ctx.WriteDebugLog("Back set-up ratio = " + plain_number(f.back_ratio));
    if (f.front_ratio < 80)
        ctx.dialogs.ok("Front ratio is " + int_text(f.front_ratio) +
                       "%  Zoom camera in until front is > 85%");
}

}  // namespace rs
