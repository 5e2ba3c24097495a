#include "measure/live_pictures.h"

#include "core/text_forms.h"
#include "measure/exchange_files.h"
#include "measure/jump_recording.h"
#include "measure/results_file.h"
#include "platform/file_reader.h"

namespace rs {

std::string first_field(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    if (i < text.size() && text[i] == '"') {
        const size_t close = text.find('"', i + 1);
        return text.substr(i + 1, close == std::string::npos ? std::string::npos : close - i - 1);
    }
    const size_t end = text.find_first_of(",\r\n", i);
    std::string field = text.substr(i, end == std::string::npos ? std::string::npos : end - i);
    while (!field.empty() && (field.back() == ' ' || field.back() == '\t'))
        field.pop_back();
    return field;
}

bool take_clipboard_signal(FileWriter& files, const std::string& exchange_folder) {
    const std::string path = join_path(exchange_folder, kClipFlagFile);
    const auto text = read_whole_file(path, kSmallTextLimit);
    if (!text || first_field(*text) != "Ready")
        return false;
    return files.replace(path, "  " + std::string(kCrLf)).ok();
}

void freeze(MeasureForm& f) {
    f.frozen = true;
    f.distance.clear();
    f.distance_ft.clear();
    f.recorded = false;
}

void picture_loaded(MeasureContext& ctx, const std::string& path) {
    MeasureForm& f = ctx.form;
    f.gif_file_name = path;
    f.gif_file_name_visible = true;
    f.recorded = false;
    (void)append_results_line(ctx, dated_results_line(ctx.clock.now(), "Loaded picture: " + path));
    ctx.shared.navigation_state = "PictureLoadMenu";
}

void unfreeze(MeasureContext& ctx) {
    MeasureForm& f = ctx.form;
    f.impact.reset();
    f.distance = "m";
    f.distance_ft = "ft";
    f.Jump_no = next_jump_number(f.Jump_no);
    f.option = ResultOption::JumpOK;
    f.Comment.clear();
    f.Comment_visible = true;
    f.gif_file_name_visible = false;
    f.frozen = false;
    f.recorded = false;
    (void)remove_exchange_pictures(ctx.files, ctx.paths.exchange_folder);
}

}  // namespace rs
