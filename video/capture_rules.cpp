#include "video/capture_rules.h"

#include "core/text_forms.h"
#include "platform/paths.h"
#include "video/frame_selection.h"

namespace rs {

bool unsafe_in_file_name(unsigned char c) {
    switch (c) {
        case '/':
        case '\\':
        case ':':
        case '*':
        case '?':
        case '"':
        case '<':
        case '>':
        case '|':
            return true;
        default:
            return false;
    }
}

CleanedName apply_name_rules(std::string_view typed) {
    CleanedName out;
    for (std::size_t i = 0; i < typed.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(typed[i]);
        if (c >= 0x80) {
            // One character of several bytes is one "_".
            while (i + 1 < typed.size() &&
                   (static_cast<unsigned char>(typed[i + 1]) & 0xC0) == 0x80)
                ++i;
            out.text += '_';
            ++out.replaced;
        } else if (c < 32 || c > 126 || unsafe_in_file_name(c)) {
            out.text += '_';
            ++out.replaced;
        } else if (c == ',') {
            out.text += ' ';
            out.had_comma = true;
        } else {
            out.text += static_cast<char>(c);
        }
    }
    return out;
}

RaisedPass raise_pass_past_files(std::string_view video_folder, std::string_view name,
                                 std::string_view pass) {
    RaisedPass out{std::string(pass), false};
    double number = text_to_number(pass);
    while (FileExists(jump_video_path(video_folder, name, out.pass))) {
        number += 1;
        out.pass = signed_number(number);
        out.raised = true;
    }
    return out;
}

FreeCaptureName free_capture_name(std::string_view video_folder, std::string_view name,
                                  std::string_view pass) {
    FreeCaptureName out{std::string(name), std::string(pass), {}, false};
    out.path = jump_video_path(video_folder, out.name, out.pass);
    while (FileExists(out.path)) {
        out.name = trim(out.name) + "X";
        out.pass = "1";
        out.changed = true;
        out.path = jump_video_path(video_folder, out.name, out.pass);
    }
    return out;
}

std::string name_changed_warning(std::string_view name) {
    return "WARNING! Skier Name has been changed to " + std::string(name) +
           " to prevent duplicate files";
}

double capture_start_frame(bool contact_pressed, std::int64_t contact_count,
                           std::int64_t start_count, double rate, double capture_time) {
    if (contact_pressed)
        return static_cast<double>(contact_count - start_count);
    return rate * capture_time / 2;
}

}  // namespace rs
