#include "cli/setup_input.h"

#include <ostream>

#include "cli/command_registry.h"
#include "core/text_forms.h"
#include "grid/grid_file.h"
#include "grid/setup_files.h"
#include "platform/paths.h"

namespace rs::cli {

int usage_error(std::ostream& err, const std::string& command, const std::string& problem) {
    err << "rampsight-cli " << command << ": " << problem << "\n";
    return kExitUsage;
}

std::optional<double> setup_command_picture_width(const ParsedArgs& args, const std::string& cmd,
                                                  std::ostream& err, int* status) {
    std::string problem;
    std::optional<double> width;
    if (!args.error.empty()) {
        problem = args.error;
    } else if (args.positional.size() != 1) {
        problem = "needs FILE.ipt";
    } else if (!(width = picture_width_option(args))) {
        problem = "--picture-width must be a number of twips";
    }
    if (!problem.empty()) {
        *status = usage_error(err, cmd, problem);
        return std::nullopt;
    }
    return width;
}

std::optional<double> picture_width_option(const ParsedArgs& args) {
    const std::string* w = args.option("--picture-width");
    if (!w)
        return 12000.0;
    auto v = parse_number(*w);
    if (!v || *v < 0)
        return std::nullopt;
    return v;
}

std::optional<JumpKind> jump_kind_option(const ParsedArgs& p) {
    const std::string* t = p.option("--type");
    if (!t || *t == "normal")
        return JumpKind::Normal;
    if (*t == "sitski")
        return JumpKind::SitSki;
    if (*t == "barefoot")
        return JumpKind::Barefoot;
    return std::nullopt;
}

MsgResult RecordingDialogs::message(const MessageRequest& r) {
    messages.push_back(r.text);
    return r.buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Ok;
}
std::string RecordingDialogs::input(const std::string&, const std::string&, const std::string&) {
    return "";
}
std::optional<std::string> RecordingDialogs::open_file(const FileRequest&) {
    return std::nullopt;
}
std::optional<std::string> RecordingDialogs::save_file(const FileRequest&) {
    return std::nullopt;
}
std::string RecordingDialogs::browse_folder(const std::string&) {
    return "";
}

std::string MemorySettings::get(std::string_view, std::string_view def) const {
    return std::string(def);
}
bool MemorySettings::save(std::string_view, std::string_view) {
    return true;
}

GridContext SetupFromFile::context() {
    return GridContext{grids, form, settings, dialogs, log, clock, files, shared, "", {}};
}

bool read_setup_from_file(const std::string& path, double picture_width, SetupFromFile& s,
                          std::string& error) {
    auto setup = read_setup_file(path);
    if (!setup.value) {
        error = setup.error;
        return false;
    }
    std::optional<CheckBuoyData> cb;
    if (FileExists(check_buoy_path(path))) {
        auto r = read_check_buoy_file(check_buoy_path(path));
        if (!r.value) {
            error = r.error;
            return false;
        }
        cb = *r.value;
    }

    // Range-checked before the conversion: a line 19 of 1E+10 is no grid.
    const double n = setup.value->trailer[2];
    s.grid = n >= 1 && n < 4 ? static_cast<int>(n) : 1;
    s.shared.grid_count = s.grid;
    s.grids.current = s.grid;
    GridDefinition& w = s.grids.working;
    w.corners = setup.value->corners;
    w.c = setup.value->c;
    w.jump_x = setup.value->jump_x;
    w.jump_y = setup.value->jump_y;
    SetupForm& form = s.form;
    show_values_in_boxes(form, w);
    form.ipt_file_description = path;
    form.ipt_file_description_2 = setup.value->description;
    form.grid_select = grid_caption(s.grid);
    if (cb) {
        w.check_buoy = {cb->screen_x, cb->screen_y, cb->survey_x, cb->survey_y};
        form.txtCheckX = plain_number(cb->survey_x);
        form.txtCheckY = plain_number(cb->survey_y);
        form.txtCheckXpix = plain_number(cb->screen_x);
        form.txtCheckYpix = plain_number(cb->screen_y);
    } else {
        form.txtCheckX.clear();
        form.txtCheckY.clear();
        form.txtCheckXpix = "auto";
        form.txtCheckYpix = "auto";
    }
    form.txtPicWidth = signed_number(picture_width);
    return true;
}

}  // namespace rs::cli
