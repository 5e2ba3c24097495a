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
// The 4 lines of a check-buoy file: the screen position in print form and the
// two survey texts as typed.
std::string format_check_buoy_file(double screen_x, double screen_y,
                                   const std::string& survey_x_text,
                                   const std::string& survey_y_text);

// Writes a set-up file and its check-buoy file as a pair: both are written
// and flushed before either replaces its old file, so a failure never leaves
// a new set-up beside an old check buoy.
[[nodiscard]] WriteResult write_setup_pair(FileWriter& files, const std::string& setup_path,
                                           const std::string& setup_text,
                                           const std::string& check_buoy_text);

// Lines 1 and 2 are whole lines (a comma in a path or a description is part
// of it); the rest is read as fields separated by commas and line ends.
FileRead<SetupFileData> parse_setup_file(const std::string& content);
FileRead<CheckBuoyData> parse_check_buoy_file(const std::string& content);

// Reads and parses a file; the error names the file when it cannot be read.
FileRead<SetupFileData> read_setup_file(const std::string& path);
FileRead<CheckBuoyData> read_check_buoy_file(const std::string& path);

}  // namespace rs
