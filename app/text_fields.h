#pragma once
// Field reading of text files: fields separated by commas or line ends,
// blanks around a field ignored, a field that begins with a double quote
// running to its closing quote (the quotes removed). Blank lines hold no
// field.

#include <string>
#include <vector>

namespace rs {

struct TextField {
    std::string text;
    size_t line = 0;  // 1-based line the field starts on
};

std::vector<TextField> split_text_fields(const std::vector<std::string>& lines, size_t first = 0);

// The fields of a whole text, as plain texts.
std::vector<std::string> comma_fields(const std::string& text);

}  // namespace rs
