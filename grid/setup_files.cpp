#include "grid/setup_files.h"

#include <cmath>

#include "grid/grid_file.h"
#include "grid/grid_solution.h"
#include "grid/grid_validation.h"
#include "platform/file_writer.h"
#include "platform/paths.h"

namespace rs {

namespace {

constexpr const char* kSaveFilter =
    "All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|Parameter Files (*.IPT)|*.IPT|";
constexpr const char* kLoadFilter =
    "All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|Parameter Files (*.ipt)|*.ipt|";
constexpr const char* kMissingCheckBuoyOnLoad =
    "I cannot find a  check  buoy file for this setup.  That means "
    "you are inputting an old set-up file that does not"
    " have a check buoy.  To complete the set up correctly,"
    " you must have a check buoy input to the set up.";

std::string grid_file_key(int n) {
    return "grid" + std::to_string(n) + "File";
}

GridDefinition& grid_record(GridContext& ctx, int n) {
    return ctx.grids.grid(n);
}

// The set-up files folder stands in for the working folder of the file
// dialogs; without it nothing is saved or loaded.
bool setup_folder_ok(GridContext& ctx) {
    if (!ctx.shared.setup_folder.empty() && PathExists(ctx.shared.setup_folder, 1))
        return true;
    ctx.dialogs.ok("Invalid path, change in configuration screen", MsgIcon::Exclamation);
    return false;
}

void report_unreadable(GridContext& ctx, const std::string& error) {
    ctx.WriteDebugLog("Set-up file not loaded: " + error);
    ctx.dialogs.ok("The set-up file cannot be used: " + error, MsgIcon::Exclamation,
                   "Error Message");
}

void show_accuracy_controls(SetupForm& form) {
    form.btnAccuracyCheck_visible = true;
    form.fmAccuracyDisplay_visible = true;
    if (form.optAdvancedAccuracy)
        form.fmAccuracyConfig_visible = true;
}

void hide_accuracy_controls(SetupForm& form) {
    form.btnAccuracyCheck_visible = false;
    form.fmAccuracyDisplay_visible = false;
    form.fmAccuracyConfig_visible = false;
}

// Grid n holds values that cannot measure: it is not ready anywhere (the
// main screen's indicator, the set-up screen's state picture, measuring).
void mark_not_ready(GridContext& ctx, int n) {
    if (n >= 1 && n <= 3)
        grid_record(ctx, n).loaded = false;
    ctx.grids.complete = 0;
    ctx.form.grid_state_icon = "msgbox03.ico";
    hide_accuracy_controls(ctx.form);
    ctx.show_indicator(n, false);
}

// A set-up file whose coefficients were never solved from its corners
// (saved before "Complete", or edited afterwards) would give every jump the
// same wrong distance: it is refused as a ready grid, naming the file.
bool refuse_unsolved(GridContext& ctx, const std::string& path, int n) {
    if (solution_fits_corners(ctx.grids.working))
        return false;
    ctx.WriteDebugLog("Grid " + std::to_string(n) + " not ready: " + path +
                      " holds no solved grid");
    ctx.dialogs.ok(not_solved_message(path, n), MsgIcon::Exclamation);
    mark_not_ready(ctx, n);
    return true;
}

void clear_drawings(SetupForm& form) {
    form.drawings_cleared = true;
    form.figures.clear();
    form.show_grid_requested = false;
}

// Steps 5 and 7 of a load: the set-up file's values into the record of
// grid n, the working values and the boxes.
void take_setup_values(GridContext& ctx, const std::string& path, int n, const SetupFileData& d) {
    GridDefinition& rec = grid_record(ctx, n);
    GridDefinition& w = ctx.grids.working;
    rec.setup_file = path;
    ctx.form.ipt_file_description = path;
    rec.description = d.description;
    ctx.form.ipt_file_description_2 = d.description;
    ctx.show_measure_description(d.description);
    for (size_t i = 0; i < 4; ++i) {
        w.corners[i] = d.corners[i];
        rec.corners[i] = d.corners[i];
    }
    w.c = d.c;
    rec.c = d.c;
    w.jump_x = rec.jump_x = d.jump_x;
    w.jump_y = rec.jump_y = d.jump_y;
}

void take_check_buoy(GridContext& ctx, int n, const CheckBuoyData& cb) {
    GridPoint p{cb.screen_x, cb.screen_y, cb.survey_x, cb.survey_y};
    grid_record(ctx, n).check_buoy = p;
    ctx.grids.working.check_buoy = p;
    ctx.form.txtCheckX = plain_number(cb.survey_x);
    ctx.form.txtCheckY = plain_number(cb.survey_y);
    ctx.form.txtCheckXpix = plain_number(cb.screen_x);
    ctx.form.txtCheckYpix = plain_number(cb.screen_y);
}

// Sets the grids-complete flag when the condition holds; true when it does.
bool check_complete(GridContext& ctx) {
    if (!grids_complete(ctx.grids, ctx.shared.grid_count))
        return false;
    ctx.grids.complete = 1;
    return true;
}

// The grid and set-up file are read completely before anything is stored,
// so that a damaged file leaves the grid as it was.
struct ReadSetup {
    SetupFileData data;
    std::optional<CheckBuoyData> check_buoy;  // empty: no ".cb" beside the file
};
std::optional<ReadSetup> read_setup(GridContext& ctx, const std::string& path) {
    auto setup = read_setup_file(path);
    if (!setup.value) {
        report_unreadable(ctx, setup.error);
        return std::nullopt;
    }
    ReadSetup r{*setup.value, std::nullopt};
    const std::string cb_path = check_buoy_path(path);
    if (FileExists(cb_path)) {
        auto cb = read_check_buoy_file(cb_path);
        if (!cb.value) {
            report_unreadable(ctx, cb.error);
            return std::nullopt;
        }
        r.check_buoy = *cb.value;
    }
    return r;
}

}  // namespace

std::string not_solved_message(const std::string& path, int n) {
    return "Grid " + std::to_string(n) + " is not ready: the set-up file " + path +
           " holds a grid that was never completed (its coefficients do not map its own corner "
           "buoys). Set the grid up again and press \"Complete\".";
}

std::string not_accepted_question(int n) {
    return "This set-up has not been accepted with \"Complete\". Saved as it is, grid " +
           std::to_string(n) + " will not be ready when the file is loaded again. Save it anyway?";
}

bool setup_accepted(const SetupForm& form, const GridDefinition& working) {
    return form.grid_state_icon == "face02.ico" && solution_fits_corners(working);
}

bool grids_complete(const GridState& grids, int grid_count) {
    if (grid_count < 1 || grid_count > 3)
        return false;
    for (int n = 1; n <= grid_count; ++n)
        if (!grids.grid(n).loaded)
            return false;
    return true;
}

double direction_sign(const std::string& ur_survey_x, const std::string& ul_survey_x) {
    return text_to_number(ur_survey_x) < text_to_number(ul_survey_x) ? 1.0 : -1.0;
}

std::vector<std::string> new_setup_block(const SetupForm& f, const GridDefinition& w, int grid,
                                         const DateTime& now, SetupBlockKind kind) {
    const std::string unit = kind == SetupBlockKind::Accept ? "Pixels: " : "Twips: ";
    std::vector<std::string> lines;
    lines.push_back(date_text(now) + " " + time_text(now) + " New Set-up now in place");
    lines.push_back(f.ipt_file_description);
    lines.push_back(f.ipt_file_description_2);
    lines.push_back("Grid Number: " + print_number(grid));
    lines.push_back(" ");
    struct Corner {
        const char* name;
        const std::string *x, *y, *sx, *sy;
    };
    const Corner corners[4] = {
        {"Upper Left", &f.upper_left_x, &f.upper_left_y, &f.ul_survey_x, &f.ul_survey_y},
        {"Lower Left", &f.lower_left_x, &f.lower_left_y, &f.ll_survey_x, &f.ll_survey_y},
        {"Upper Right", &f.upper_right_x, &f.upper_right_y, &f.ur_survey_x, &f.ur_survey_y},
        {"Lower Right", &f.lower_right_x, &f.lower_right_y, &f.lr_survey_x, &f.lr_survey_y},
    };
    for (const Corner& c : corners) {
        lines.push_back(std::string(c.name) + " X,Y " + unit + *c.x + "  " + *c.y);
        lines.push_back(std::string(c.name) + " X,Y Survey: " + *c.sx + "  " + *c.sy);
        lines.push_back(" ");
    }
    lines.push_back("Jump X,Y Survey: " + f.jump_x + "  " + f.jump_y);
    lines.push_back(" ");
    const GridPoint& cb = w.check_buoy;
    switch (kind) {
        case SetupBlockKind::Load:
            if (cb.screen_x > 0) {
                lines.push_back("Check Buoy X,Y Twips: " + print_number(cb.screen_x) + "  " +
                                print_number(cb.screen_y));
                lines.push_back("Check Buoyt X,Y Survey: " + print_number(cb.survey_x) + "  " +
                                print_number(cb.survey_y));
            } else {
                lines.push_back("No check buoy for this set up");
            }
            break;
        case SetupBlockKind::Reload:
            lines.push_back("Check Buoy X,Y Twips: " + f.txtCheckXpix + "  " + f.txtCheckYpix);
            lines.push_back("Check Buoy X,Y Survey: " + f.txtCheckX + "  " + f.txtCheckY);
            break;
        case SetupBlockKind::Accept:
            lines.push_back("Check Buoy X,Y Pixels: " + print_number(cb.screen_x) + "  " +
                            print_number(cb.screen_y));
            lines.push_back("Check Buoy X,Y Survey: " + print_number(cb.survey_x) + "  " +
                            print_number(cb.survey_y));
            break;
    }
    lines.push_back(" ");
    return lines;
}

void append_new_setup_block(GridContext& ctx, int grid, SetupBlockKind kind) {
    const auto lines = new_setup_block(ctx.form, ctx.grids.working, grid, ctx.clock.now(), kind);
    if (ctx.shared.results_file_path.empty() ||
        !ctx.files.append_lines(ctx.shared.results_file_path, lines))
        ctx.WriteDebugLog("Results file not written: " + ctx.shared.results_file_path);
}

void show_values_in_boxes(SetupForm& form, const GridDefinition& w) {
    for (int i = 0; i < 4; ++i) {
        CornerBoxes b = corner_boxes(form, i);
        const GridPoint& p = w.corners[static_cast<size_t>(i)];
        *b.screen_x = plain_number(p.screen_x);
        *b.screen_y = plain_number(p.screen_y);
        *b.survey_x = plain_number(p.survey_x);
        *b.survey_y = plain_number(p.survey_y);
    }
    form.jump_x = plain_number(w.jump_x);
    form.jump_y = plain_number(w.jump_y);
}

int ask_grid_number(GridContext& ctx, const std::string& verb) {
    while (true) {
        const double n =
            text_to_number(ctx.dialogs.input("What grid are you " + verb + "?", "Grid Number", ""));
        if (n >= 1 && n <= ctx.shared.grid_count)
            return static_cast<int>(n);
    }
}

namespace {

// The file dialog of saving and loading: the set-up files folder, "*.ipt"
// proposed, the parameter files filter selected.
FileRequest setup_file_request(const GridContext& ctx, const char* filter) {
    FileRequest request;
    request.filter = filter;
    request.filter_index = 3;
    request.initial_folder = ctx.shared.setup_folder;
    request.file_name = ctx.shared.setup_folder + kPathSeparator + "*.ipt";
    return request;
}

}  // namespace

void save_setup(GridContext& ctx) {
    SetupForm& form = ctx.form;
    form.chkboxGridLock = false;
    form.gridLockedLabel_visible = false;
    if (!setup_folder_ok(ctx))
        return;

    FileRequest request = setup_file_request(ctx, kSaveFilter);
    const int shown = grid_from_caption(form.grid_select);
    if (shown != 0)
        request.file_name = ctx.settings.get(grid_file_key(shown), "");
    auto chosen = ctx.dialogs.save_file(request);
    if (!chosen || chosen->empty())
        return;
    const std::string path = *chosen;

    int n = shown;
    const std::string description = ctx.dialogs.input(
        "Enter descriptive line about grid", "Grid Description", form.ipt_file_description_2);
    const bool same = ctx.dialogs.message({"Save " + form.grid_select, MsgButtons::YesNo,
                                           MsgIcon::None, "Current Grid", false}) == MsgResult::Yes;
    if (!same || n == 0)
        n = ask_grid_number(ctx, "saving");
    ctx.grids.current = n;

    // A set-up saved before "Complete" is no grid anyone can measure with;
    // the official hears so before the file is written.
    GridDefinition& w = ctx.grids.working;
    const bool accepted = setup_accepted(form, w);
    if (!accepted &&
        ctx.dialogs.message({not_accepted_question(n), MsgButtons::YesNo, MsgIcon::Exclamation,
                             kProgramTitle, true}) != MsgResult::Yes) {
        ctx.WriteDebugLog("save grid " + std::to_string(n) + " cancelled: not accepted");
        return;
    }

    // Both files are written before anything points at them: a failed write
    // must not leave the grid's configured file naming a file that does not
    // hold this set-up. The check buoy's survey values are the numbers the
    // screen read from its boxes.
    GridDefinition saved = w;
    saved.check_buoy.survey_x = text_to_number(form.txtCheckX);
    saved.check_buoy.survey_y = text_to_number(form.txtCheckY);
    if (const WriteResult written = write_setup_files(ctx.files, path, description, saved, n);
        !written) {
        ctx.WriteDebugLog("save grid " + std::to_string(n) + " failed: " + written.error());
        ctx.dialogs.ok("The set-up file could not be written: " + path, MsgIcon::Exclamation,
                       "Error Message");
        return;
    }

    GridDefinition& rec = grid_record(ctx, n);
    rec.description = description;
    ctx.show_measure_description(description);
    ctx.show_main_description(n, description);
    ctx.settings.save(grid_file_key(n), path);
    ctx.WriteDebugLog("save grid " + std::to_string(n));
    rec.setup_file = path;
    form.ipt_file_description = path;
    form.ipt_file_description_2 = description;
    rec.corners = w.corners;
    rec.c = w.c;
    rec.jump_x = w.jump_x;
    rec.jump_y = w.jump_y;
    rec.check_buoy = saved.check_buoy;
    // The record now holds the values saved; unaccepted, they are not ready.
    if (!accepted && rec.loaded)
        mark_not_ready(ctx, n);
}

bool load_setup(GridContext& ctx) {
    SetupForm& form = ctx.form;
    form.chkboxGridLock = false;
    form.gridLockedLabel_visible = false;

    int n = 1;
    if (ctx.shared.grid_count != 1) {
        const bool same =
            ctx.dialogs.message({"Load " + form.grid_select, MsgButtons::YesNo, MsgIcon::None,
                                 "Current Grid", false}) == MsgResult::Yes;
        n = same ? grid_from_caption(form.grid_select) : 0;
        if (n == 0)
            n = ask_grid_number(ctx, "loading");
    }
    ctx.grids.current = n;

    if (!setup_folder_ok(ctx))
        return false;
    const FileRequest request = setup_file_request(ctx, kLoadFilter);
    auto chosen = ctx.dialogs.open_file(request);
    if (!chosen || chosen->empty())
        return false;
    const std::string path = *chosen;

    ctx.WriteDebugLog("load grid " + std::to_string(n));
    ctx.grids.loading = true;
    auto read = read_setup(ctx, path);
    if (!read) {
        ctx.grids.loading = false;
        return false;
    }
    take_setup_values(ctx, path, n, read->data);
    if (read->check_buoy) {
        take_check_buoy(ctx, n, *read->check_buoy);
    } else {
        ctx.dialogs.ok(kMissingCheckBuoyOnLoad, MsgIcon::Critical);
        take_check_buoy(ctx, n, CheckBuoyData{});
        form.txtCheckX.clear();
        form.txtCheckY.clear();
        form.txtCheckXpix = "auto";
        form.txtCheckYpix = "auto";
    }
    show_values_in_boxes(ctx.form, ctx.grids.working);
    ctx.grids.direction = direction_sign(form.ur_survey_x, form.ul_survey_x);
    append_new_setup_block(ctx, n, SetupBlockKind::Load);

    ctx.grids.loading = false;
    clear_drawings(form);
    grid_check(ctx);

    // The record of grid n now holds this file's values: without a check
    // buoy, or unsolved, it must not go on counting as the grid it was.
    if (!(ctx.grids.working.check_buoy.screen_x > 0)) {
        mark_not_ready(ctx, n);
        return true;
    }
    if (refuse_unsolved(ctx, path, n))
        return true;
    form.grid_state_icon = "face02.ico";
    show_accuracy_controls(form);
    ctx.WriteDebugLog("Load grid file names on main page below");
    const int cur = ctx.grids.current;
    if (cur >= 1 && cur <= 3) {
        grid_record(ctx, cur).loaded = true;
        form.grid_select = grid_caption(cur);
        ctx.settings.save(grid_file_key(cur), path);
        ctx.show_indicator(cur, true);
        ctx.show_main_description(cur, grid_record(ctx, cur).description);
        ctx.WriteDebugLog("Load grid " + std::to_string(cur));
    }
    ctx.WriteDebugLog("Grid load message above");
    if (check_complete(ctx)) {
        const int count = ctx.shared.grid_count;
        ctx.WriteDebugLog(count == 1 ? "1 grid - OK" : std::to_string(count) + " grids - OK");
    }
    ctx.WriteDebugLog("Number of grids loaded message above");
    return true;
}

void reload_configured_setup(GridContext& ctx, const std::string& path, int n) {
    if (n < 1 || n > 3)
        return;
    SetupForm& form = ctx.form;
    auto read = read_setup(ctx, path);
    if (!read)
        return;
    take_setup_values(ctx, path, n, read->data);
    ctx.show_main_description(n, read->data.description);
    if (!read->check_buoy) {
        ctx.dialogs.ok("Error in load - no check buoy found - setup grid again");
        mark_not_ready(ctx, n);
        return;
    }
    take_check_buoy(ctx, n, *read->check_buoy);
    show_values_in_boxes(ctx.form, ctx.grids.working);
    ctx.grids.direction = direction_sign(form.ur_survey_x, form.ul_survey_x);
    if (refuse_unsolved(ctx, path, n))
        return;
    append_new_setup_block(ctx, n, SetupBlockKind::Reload);

    form.grid_state_icon = "face02.ico";
    show_accuracy_controls(form);
    grid_record(ctx, n).loaded = true;
    form.grid_select = grid_caption(n);
    ctx.settings.save(grid_file_key(n), path);
    ctx.show_indicator(n, true);
    check_complete(ctx);
}

}  // namespace rs
