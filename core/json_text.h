#pragma once
// Text as a JSON string: the form the audit trail and the command-line
// tool's JSON answers share.

#include <string>

namespace rs {

// text in double quotes, with quotes, backslashes and control characters
// escaped; other bytes (UTF-8 included) stand as they are.
std::string json_string(const std::string& text);

}  // namespace rs
