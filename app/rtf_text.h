#pragma once
// Plain text of an RTF document: control words are skipped, destination
// groups (font and colour tables, pictures, "\*" groups, info) are dropped,
// \par and \line become line ends, \tab a tab, \'hh and \uN characters are
// decoded (code page 1252 for \'hh), escaped braces and backslashes kept.

#include <string>

namespace rs {

// UTF-8 text of the document.
std::string rtf_to_plain_text(const std::string& rtf);

}  // namespace rs
