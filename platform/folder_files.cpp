#include "platform/folder_files.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace rs {

namespace {
bool ends_with_nocase(const std::string& name, std::string_view ending) {
    if (name.size() < ending.size())
        return false;
    return std::equal(ending.begin(), ending.end(), name.end() - ending.size(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    });
}
}  // namespace

std::vector<std::string> regular_files_with_extension(const std::string& folder,
                                                      std::string_view extension) {
    std::vector<std::string> out;
    std::error_code ec;
    fs::directory_iterator it(fs::path(folder), ec);
    if (ec)
        return out;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec)
            break;
        // symlink_status: the entry itself, never what a link points at.
        const fs::file_status st = it->symlink_status(ec);
        if (ec || !fs::is_regular_file(st))
            continue;
        const std::string name = it->path().filename().string();
        if (ends_with_nocase(name, extension))
            out.push_back(it->path().string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace rs
