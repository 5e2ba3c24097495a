// rampsight-cli accuracy: the accuracy check of a set-up file, printed as
// the lines the set-up screen appends to the day's accuracy report.

#include <ostream>

#include "cli/cli_args.h"
#include "cli/command_registry.h"
#include "cli/setup_input.h"
#include "core/text_forms.h"
#include "core/text_lines.h"
#include "grid/accuracy_check.h"
#include "grid/grid_validation.h"

namespace rs::cli {

namespace {

int cmd_accuracy(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::string cmd = "accuracy";
    auto p = parse_args(args, {"--picture-width", "--type"}, {});
    int status = kExitUsage;
    const auto picture_width = setup_command_picture_width(p, cmd, err, &status);
    if (!picture_width)
        return status;
    const auto kind = jump_kind_option(p);
    if (!kind)
        return usage_error(err, cmd, "--type must be normal, sitski or barefoot");

    SetupFromFile setup;
    std::string error;
    if (!read_setup_from_file(p.positional[0], *picture_width, setup, error))
        return usage_error(err, cmd, error);
    // The ratios of the report are those of the set-up's last grid_check.
    GridContext ctx = setup.context();
    grid_check(ctx);

    const GridDefinition& w = setup.grids.working;
    const auto points = accuracy_points(w, *kind, AccuracyDisplay::HomologationLevel);
    const AccuracyReportHeader header{setup.clock.now(), setup.grid, setup.form.front_ratio,
                                      setup.form.back_ratio};
    // CR LF as in the report file, so that the output appended to a report
    // is the same as the screen's check.
    out << join_crlf(accuracy_report_lines(setup.form, w, header, points));
    return kExitOk;
}

const CommandRegistrar accuracy_command{
    {"accuracy",
     "accuracy FILE.ipt [--picture-width TWIPS] [--type normal|sitski|barefoot] (the report "
     "lines, CR LF)",
     cmd_accuracy}};

}  // namespace

}  // namespace rs::cli
