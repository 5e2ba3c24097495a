#pragma once
// Lines the measurement screen appends to the results file: the jump line
// of a recording, comment lines, and the saved and loaded picture lines.
// Each is appended and flushed within the operator's event.

#include <string>

#include "measure/measure_form.h"

namespace rs {

// date, " ", time, " ", text: the comment, saved and loaded picture lines.
std::string dated_results_line(const DateTime& now, const std::string& text);

// Appends one line to the results file. A line that cannot be written is
// reported to the operator with its full text, so it can be kept by hand,
// and to the debug log; false then.
bool append_results_line(MeasureContext& ctx, const std::string& line);

}  // namespace rs
