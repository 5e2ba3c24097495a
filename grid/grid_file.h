#pragma once
// The set-up file (".ipt", 19 lines) and the check-buoy file (set-up path +
// ".cb", 4 lines), byte for byte: numbers in print form, " , " between the
// four numbers of a corner line, CR LF line ends.

#include <array>
#include <optional>
#include <string>

#include "grid/grid_definition.h"

#include "platform/file_writer.h"

namespace rs {

// What a set-up file holds besides its first line (the path it was written
// to, which is not read back).
struct SetupFileData {
    std::string description;
    std::array<GridPoint, 4> corners{};
    std::array<double, 8> c{};
    double jump_x = 0;
    double jump_y = 0;
    std::array<double, 3> trailer{10, 2, 1};  // 10, 2 and the grid number
};

struct CheckBuoyData {
    double screen_x = 0;
    double screen_y = 0;
    double survey_x = 0;
    double survey_y = 0;
};

// Reading a file either gives its values or says what is wrong with it.
template <typename T>
struct FileRead {
    std::optional<T> value;
    std::string error;  // "line 7: \"abc\" is not a number", when value is empty
};

std::string check_buoy_path(const std::string& setup_path);

// The 19 lines of a set-up file saved at path as grid n.
std::string format_setup_file(const std::string& path, const std::string& description,
                              const GridDefinition& grid, int n);
// The 4 lines of a check-buoy file: the screen position and the survey
// position, each number in print form, so that the file gives back exactly
// the numbers the set-up used (a typed "15,5" or "85.3m" is written as the
// number the screen took from it).
std::string format_check_buoy_file(const GridPoint& check_buoy);

// Writes a set-up file and its check-buoy file as a pair: both are written
// and flushed before either replaces its old file, and a failure at the
// second rename puts the first file back, so a failure never leaves a new
// set-up beside an old check buoy.
[[nodiscard]] WriteResult write_setup_pair(FileWriter& files, const std::string& setup_path,
                                           const std::string& setup_text,
                                           const std::string& check_buoy_text);
// The one routine by which the set-up screen and rampsight-cli save a grid:
// the 19 lines of grid n saved at path and its check-buoy file, as a pair.
[[nodiscard]] WriteResult write_setup_files(FileWriter& files, const std::string& path,
                                            const std::string& description,
                                            const GridDefinition& grid, int n);

// Lines 1 and 2 are whole lines (a comma in a path or a description is part
// of it); the rest is read as fields separated by commas and line ends.
FileRead<SetupFileData> parse_setup_file(const std::string& content);
// Each of the four lines is read whole. The screen position (lines 1, 2) is
// a number in print form. Earlier versions copied the typed survey texts into
// lines 3 and 4, so those are read the way the screen read the text: the
// leading number ("15,5" is 15, "85.3m" is 85.3); a line that starts with no
// number at all is refused.
FileRead<CheckBuoyData> parse_check_buoy_file(const std::string& content);

// Reads and parses a file; the error names the file when it cannot be read.
FileRead<SetupFileData> read_setup_file(const std::string& path);
FileRead<CheckBuoyData> read_check_buoy_file(const std::string& path);

}  // namespace rs
