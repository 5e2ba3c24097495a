#pragma once
// The files of one folder, for the clean-ups the program makes in its own
// folders.

#include <string>
#include <string_view>
#include <vector>

namespace rs {

// Paths of the regular files directly in folder whose name ends in
// extension (".bmp"; letters matched in either case). Links are not listed,
// whatever they point at, and sub-folders are not entered. An unreadable or
// missing folder gives an empty list.
std::vector<std::string> regular_files_with_extension(const std::string& folder,
                                                      std::string_view extension);

}  // namespace rs
