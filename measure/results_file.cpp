#include "measure/results_file.h"

namespace rs {

std::string dated_results_line(const DateTime& now, const std::string& text) {
    return date_text(now) + " " + time_text(now) + " " + text;
}

bool append_results_line(MeasureContext& ctx, const std::string& line) {
    const std::string& path = ctx.shared.results_file_path;
    WriteResult written = path.empty() ? WriteResult::failure("no results file has been set up")
                                       : ctx.files.append_lines(path, {line});
    if (written)
        return true;
    ctx.WriteDebugLog("Results line not written: " + written.error());
    ctx.dialogs.ok("This line could not be written to the results file (" + written.error() +
                       "). Please write it down:\n\n" + line,
                   MsgIcon::Critical);
    return false;
}

}  // namespace rs
