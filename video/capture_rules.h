#pragma once
// The capture screen's rules on plain values: the skier-name rules, the
// pass number raised past the files already recorded, the name made free
// with "X" before a recording, and the contact frame handed to the frame
// selection screen.

#include <cstdint>
#include <string>
#include <string_view>

namespace rs {

inline constexpr const char* kInvalidNameCharacterMessage = "replacing invalid character in name";
inline constexpr const char* kCommaMessage =
    "Sorry, you cannot use the \",\" character in this box";
inline constexpr const char* kCommaTitle = "Input Error";

struct CleanedName {
    std::string text;
    // Characters replaced by "_": below 32 or above 126, or not safe in a
    // file name (path separators, ":", "*", "?", quote, "<", ">", "|").
    int replaced = 0;
    // Commas, each replaced by a blank.
    bool had_comma = false;
};

// Characters no file name may hold on the officials' machines: path
// separators, ":", "*", "?", quote, "<" and ">", "|".
bool unsafe_in_file_name(unsigned char c);

// The name rules on a typed name (UTF-8): each character that is not a
// printable ASCII character or not safe in a file name becomes one "_",
// then each comma a blank.
CleanedName apply_name_rules(std::string_view typed);

// The pass number raised until no file of that name and pass exists in the
// video folder.
struct RaisedPass {
    std::string pass;  // with a leading blank when raised, as written back
    bool raised = false;
};
RaisedPass raise_pass_past_files(std::string_view video_folder, std::string_view name,
                                 std::string_view pass);

// The recording's name and path: while a file exists at the path, the
// trimmed name gains an "X" and the pass becomes "1" (a changed name sets
// the pass back to 1).
struct FreeCaptureName {
    std::string name;
    std::string pass;
    std::string path;
    bool changed = false;
};
FreeCaptureName free_capture_name(std::string_view video_folder, std::string_view name,
                                  std::string_view pass);

// The text of the warning label for a changed name.
std::string name_changed_warning(std::string_view name);

// The contact frame in the file handed to the frame selection screen. With
// "Contact" pressed: the frames processed then less the count at the start
// of the recording. Without: the middle of the recording, rate x capture
// time / 2, as a frame of the file.
double capture_start_frame(bool contact_pressed, std::int64_t contact_count,
                           std::int64_t start_count, double rate, double capture_time);

}  // namespace rs
