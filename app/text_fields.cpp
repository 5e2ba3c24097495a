#include "app/text_fields.h"

#include "core/text_forms.h"
#include "core/text_lines.h"

namespace rs {

std::vector<TextField> split_text_fields(const std::vector<std::string>& lines, size_t first) {
    std::vector<TextField> fields;
    for (size_t li = first; li < lines.size(); ++li) {
        const std::string& line = lines[li];
        if (trim(line).empty())
            continue;
        size_t i = 0;
        for (;;) {
            while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
                ++i;
            std::string text;
            if (i < line.size() && line[i] == '"') {
                size_t close = line.find('"', i + 1);
                if (close == std::string::npos)
                    close = line.size();
                text = line.substr(i + 1, close - i - 1);
                i = close + 1;
                // Anything between the closing quote and the comma is dropped.
                size_t comma = line.find(',', i < line.size() ? i : line.size());
                i = comma == std::string::npos ? line.size() : comma;
            } else {
                size_t comma = line.find(',', i);
                size_t end = comma == std::string::npos ? line.size() : comma;
                text = trim(line.substr(i, end - i));
                i = end;
            }
            fields.push_back({text, li + 1});
            if (i >= line.size())
                break;
            ++i;  // past the comma
        }
    }
    return fields;
}

std::vector<std::string> comma_fields(const std::string& text) {
    std::vector<std::string> out;
    for (auto& f : split_text_fields(split_lines(text)))
        out.push_back(std::move(f.text));
    return out;
}

}  // namespace rs
