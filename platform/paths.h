#pragma once
// The program's folders and the two existence tests every screen uses.

#include <string>
#include <string_view>

namespace rs {

// Where the program keeps its files. Tests point both at temporary folders.
struct Paths {
    // "currentcapture.bmp", "SkierNames.txt", the manual and the indicator
    // pictures live here.
    std::string app_folder;
    // "rsio": debug log, exchange files for the scoring program, clipboard
    // hand-shake.
    std::string exchange_folder;
};

// Separator between a folder and a name in paths the program builds.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// folder + separator + name; an empty folder gives the name alone, and a
// folder that already ends in a separator gets none added.
std::string join_path(std::string_view folder, std::string_view name);

// The text less one trailing backslash (or slash, the separator here).
std::string strip_trailing_separator(std::string_view path);

// Kind 0: a file exists; 1: a folder exists; 2: a drive (a root) exists; any
// other kind answers false. A folder given with one trailing separator counts.
bool PathExists(std::string_view path, int kind);

// True when the length of the file can be read.
bool FileExists(std::string_view path);

// Where the program's pictures and manual are: beside the program when it
// runs from the build folder (they are copied there), else the installed
// data folder "../share/rampsight" from the program's folder (a Debian
// package puts the program in /usr/bin and them in /usr/share/rampsight).
// The program's folder when neither holds the manual.
inline constexpr const char* kInstalledAssetFolder = "share/rampsight";
std::string asset_folder_for(std::string_view program_folder);

// The exchange folder for an application folder: "rsio" at the root of the
// application's drive (on POSIX the root of the file system).
std::string exchange_folder_for(std::string_view app_folder);

}  // namespace rs
