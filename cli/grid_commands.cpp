// rampsight-cli grid commands: write a set-up file from surveyed corners,
// measure a screen point with a set-up file, map a survey point back to the
// picture, and run the set-up acceptance on a file, all without a display.

#include <filesystem>
#include <ostream>

#include "app/logs.h"
#include "cli/cli_args.h"
#include "cli/command_registry.h"
#include "cli/setup_input.h"
#include "core/json_text.h"
#include "core/text_forms.h"
#include "grid/distance_rounding.h"
#include "grid/grid_context.h"
#include "grid/grid_file.h"
#include "grid/grid_solution.h"
#include "grid/grid_validation.h"
#include "grid/setup_files.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/file_writer.h"
#include "platform/paths.h"
#include "platform/settings_store.h"

namespace rs::cli {

namespace {

// The grid of a set-up file, for mapping (no check buoy needed).
std::optional<GridDefinition> grid_of_file(const std::string& path, std::string& error) {
    auto r = read_setup_file(path);
    if (!r.value) {
        error = r.error;
        return std::nullopt;
    }
    GridDefinition g;
    g.corners = r.value->corners;
    g.c = r.value->c;
    g.jump_x = r.value->jump_x;
    g.jump_y = r.value->jump_y;
    g.description = r.value->description;
    g.setup_file = path;
    return g;
}

int cmd_solve(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::string cmd = "solve";
    auto p = parse_args(
        args,
        {"--ur", "--lr", "--ul", "--ll", "--jump", "--check", "--grid", "--description", "-o"}, {});
    if (!p.error.empty())
        return usage_error(err, cmd, p.error);
    if (!p.positional.empty())
        return usage_error(err, cmd, "unexpected " + p.positional[0]);

    GridDefinition g;
    const char* const corner_options[4] = {"--ur", "--lr", "--ul", "--ll"};
    for (size_t i = 0; i < 4; ++i) {
        const std::string* text = p.option(corner_options[i]);
        if (!text)
            return usage_error(err, cmd, std::string(corner_options[i]) + " is missing");
        auto v = parse_number_list(*text, 4);
        if (!v)
            return usage_error(err, cmd,
                               std::string(corner_options[i]) +
                                   " needs four numbers x,y,X,Y (twips, meters), got \"" + *text +
                                   "\"");
        g.corners[i] = {(*v)[0], (*v)[1], (*v)[2], (*v)[3]};
    }
    const std::string* jump = p.option("--jump");
    if (!jump)
        return usage_error(err, cmd, "--jump is missing");
    auto j = parse_number_list(*jump, 2);
    if (!j)
        return usage_error(err, cmd, "--jump needs two numbers X,Y, got \"" + *jump + "\"");
    g.jump_x = (*j)[0];
    g.jump_y = (*j)[1];

    if (const std::string* check = p.option("--check")) {
        auto v = parse_number_list(*check, 4);
        if (!v)
            return usage_error(err, cmd,
                               "--check needs four numbers x,y,X,Y, got \"" + *check + "\"");
        g.check_buoy = {(*v)[0], (*v)[1], (*v)[2], (*v)[3]};
    }
    int grid = 1;
    if (const std::string* n = p.option("--grid")) {
        auto v = parse_number(*n);
        if (!v || (*v != 1 && *v != 2 && *v != 3))
            return usage_error(err, cmd, "--grid must be 1, 2 or 3, got \"" + *n + "\"");
        grid = static_cast<int>(*v);
    }
    const std::string description = p.option("--description") ? *p.option("--description") : "";
    // The description is one line of the file; a line break in it would make
    // a file that no reader takes.
    if (description.find_first_of("\r\n") != std::string::npos)
        return usage_error(err, cmd, "--description must be one line");
    const std::string* output = p.option("-o");
    if (!output || output->empty())
        return usage_error(err, cmd, "-o FILE.ipt is missing");

    if (!solve_grid(g)) {
        err << "No Unique Solution - Re-enter data\n";
        return kExitRefused;
    }
    std::error_code ec;
    std::string path = std::filesystem::absolute(*output, ec).string();
    if (ec)
        path = *output;
    FileWriter files;
    if (const WriteResult written = write_setup_files(files, path, description, g, grid);
        !written) {
        err << "rampsight-cli solve: cannot write " << written.error() << "\n";
        return kExitWriteFailed;
    }
    out << "wrote " << path << " and " << check_buoy_path(path) << "\n";
    for (size_t i = 0; i < 8; ++i)
        out << "c" << i + 1 << " = " << json_number(g.c[i]) << "\n";
    return kExitOk;
}

int cmd_measure(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::string cmd = "measure";
    auto p = parse_args(args, {"--type"}, {"--json"});
    if (!p.error.empty())
        return usage_error(err, cmd, p.error);
    if (p.positional.size() != 3)
        return usage_error(err, cmd, "needs FILE.ipt x y");
    auto x = parse_number(p.positional[1]);
    auto y = parse_number(p.positional[2]);
    if (!x || !y)
        return usage_error(err, cmd, "x and y must be numbers (twips)");
    const auto jump_kind = jump_kind_option(p);
    if (!jump_kind)
        return usage_error(err, cmd, "--type must be normal, sitski or barefoot");
    const JumpKind kind = *jump_kind;
    std::string error;
    auto g = grid_of_file(p.positional[0], error);
    if (!g)
        return usage_error(err, cmd, error);
    auto d = distance_calculation(*g, *x, *y, kind);
    if (!d) {
        err << "rampsight-cli measure: the point (" << plain_number(*x) << ", " << plain_number(*y)
            << ") is on or beyond the horizon of the grid: it has no place on the water\n";
        return kExitNoImage;
    }
    const RecordedDistance r = recorded_distance(d->distance, kind == JumpKind::Barefoot);
    if (p.has("--json")) {
        out << "{\"survey_x\": " << json_number(d->survey.x)
            << ", \"survey_y\": " << json_number(d->survey.y)
            << ", \"distance\": " << json_number(d->distance)
            << ", \"meters\": " << json_number(r.meters) << ", \"feet\": " << json_number(r.feet)
            << "}\n";
    } else {
        out << "survey X: " << json_number(d->survey.x) << "\n"
            << "survey Y: " << json_number(d->survey.y) << "\n"
            << "distance: " << json_number(d->distance) << " m\n"
            << "recorded: " << json_number(r.meters) << " m, " << json_number(r.feet) << " ft\n";
    }
    return kExitOk;
}

int cmd_to_screen(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::string cmd = "to-screen";
    auto p = parse_args(args, {}, {"--json"});
    if (!p.error.empty())
        return usage_error(err, cmd, p.error);
    if (p.positional.size() != 3)
        return usage_error(err, cmd, "needs FILE.ipt X Y");
    auto X = parse_number(p.positional[1]);
    auto Y = parse_number(p.positional[2]);
    if (!X || !Y)
        return usage_error(err, cmd, "X and Y must be numbers (meters)");
    std::string error;
    auto g = grid_of_file(p.positional[0], error);
    if (!g)
        return usage_error(err, cmd, error);
    auto s = survey_to_screen(*g, *X, *Y);
    if (!s) {
        err << "rampsight-cli to-screen: the survey point (" << plain_number(*X) << ", "
            << plain_number(*Y) << ") has no image on the picture\n";
        return kExitNoImage;
    }
    if (p.has("--json"))
        out << "{\"x\": " << json_number(s->x) << ", \"y\": " << json_number(s->y) << "}\n";
    else
        out << "x: " << json_number(s->x) << "\ny: " << json_number(s->y) << "\n";
    return kExitOk;
}

const char* outcome_text(AcceptOutcome o) {
    switch (o) {
        case AcceptOutcome::MissingValues:
            return "refused: not all values are set";
        case AcceptOutcome::NoUniqueSolution:
            return "refused: no unique solution";
        case AcceptOutcome::CheckBuoy:
            return "refused: the check buoy does not validate";
        case AcceptOutcome::FieldOfView:
            return "refused: field of view";
        case AcceptOutcome::GridWidth:
            return "refused: grid width";
        default:
            return "accepted";
    }
}

int cmd_check(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::string cmd = "check";
    auto p = parse_args(args, {"--picture-width"}, {"--allow-invalid", "--json"});
    int status = kExitUsage;
    const auto picture_width = setup_command_picture_width(p, cmd, err, &status);
    if (!picture_width)
        return status;
    SetupFromFile setup;
    std::string error;
    if (!read_setup_from_file(p.positional[0], *picture_width, setup, error))
        return usage_error(err, cmd, error);
    SetupForm& form = setup.form;
    const RecordingDialogs& dialogs = setup.dialogs;
    GridContext ctx = setup.context();
    form.chkBadSetup = p.has("--allow-invalid");

    const AcceptResult result = accept_setup(ctx);
    const bool accepted = result.outcome == AcceptOutcome::Accepted;
    // grid_check runs only when the acceptance reaches the results file.
    const bool ratios = *picture_width != 0 && (result.outcome == AcceptOutcome::Accepted ||
                                                result.outcome == AcceptOutcome::MissingValues ||
                                                result.outcome == AcceptOutcome::NoUniqueSolution);
    auto opt = [](const std::optional<double>& v) { return v ? json_number(*v) : "null"; };
    if (p.has("--json")) {
        out << "{\"accepted\": " << (accepted ? "true" : "false") << ", \"messages\": [";
        for (size_t i = 0; i < dialogs.messages.size(); ++i)
            out << (i ? ", " : "") << json_string(dialogs.messages[i]);
        out << "], \"field_of_view\": " << opt(result.field_of_view)
            << ", \"grid_width_percent\": " << opt(result.grid_width_percent)
            << ", \"front_ratio\": " << (ratios ? json_number(form.front_ratio) : "null")
            << ", \"back_ratio\": " << (ratios ? json_number(form.back_ratio) : "null") << "}\n";
    } else {
        for (const std::string& m : dialogs.messages)
            out << "message: " << m << "\n";
        if (result.field_of_view)
            out << "field of view: " << opt(result.field_of_view) << "\n";
        if (result.grid_width_percent)
            out << "grid width: " << opt(result.grid_width_percent) << " %\n";
        if (ratios)
            out << "front ratio: " << json_number(form.front_ratio)
                << " %\nback ratio: " << json_number(form.back_ratio) << " %\n";
        out << "outcome: " << outcome_text(result.outcome) << "\n";
    }
    return accepted ? kExitOk : kExitRefused;
}

const CommandRegistrar solve_command{
    {"solve",
     "solve --ur x,y,X,Y --lr x,y,X,Y --ul x,y,X,Y --ll x,y,X,Y --jump X,Y [--check x,y,X,Y] "
     "[--grid N] [--description TEXT] -o FILE.ipt",
     cmd_solve}};
const CommandRegistrar measure_command{
    {"measure", "measure FILE.ipt x y [--type normal|sitski|barefoot] [--json]", cmd_measure}};
const CommandRegistrar to_screen_command{
    {"to-screen", "to-screen FILE.ipt X Y [--json]", cmd_to_screen}};
const CommandRegistrar check_command{
    {"check", "check FILE.ipt [--picture-width TWIPS] [--allow-invalid] [--json]", cmd_check}};

}  // namespace

}  // namespace rs::cli
