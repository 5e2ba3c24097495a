#include "platform/paths.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace rs {

namespace {
bool is_separator(char c) {
    return c == '\\' || c == '/';
}
}  // namespace

std::string join_path(std::string_view folder, std::string_view name) {
    if (folder.empty())
        return std::string(name);
    std::string out(folder);
    if (!is_separator(out.back()))
        out.push_back(kPathSeparator);
    out += name;
    return out;
}

std::string strip_trailing_separator(std::string_view path) {
    std::string out(path);
    if (out.size() > 1 && is_separator(out.back()))
        out.pop_back();
    return out;
}

bool PathExists(std::string_view path, int kind) {
    if (path.empty())
        return false;
    std::error_code ec;
    switch (kind) {
        case 0:
            return fs::is_regular_file(fs::path(std::string(path)), ec);
        case 1:
            return fs::is_directory(fs::path(strip_trailing_separator(path)), ec);
        case 2: {
            fs::path p{std::string(path)};
            fs::path root = p.root_path();
            if (root.empty())
                return false;
            return fs::exists(root, ec);
        }
        default:
            return false;
    }
}

bool FileExists(std::string_view path) {
    if (path.empty())
        return false;
    std::error_code ec;
    (void)fs::file_size(fs::path{std::string(path)}, ec);
    return !ec;
}

std::string asset_folder_for(std::string_view program_folder) {
    const std::string here(program_folder);
    constexpr const char* kManual = "RS05Manual.rtf";
    if (FileExists(join_path(here, kManual)))
        return here;
    const fs::path installed =
        (fs::path(strip_trailing_separator(here)).parent_path() / kInstalledAssetFolder)
            .lexically_normal();
    if (FileExists((installed / kManual).string()))
        return installed.string();
    return here;
}

std::string exchange_folder_for(std::string_view app_folder) {
    fs::path p{std::string(app_folder)};
    fs::path root = p.root_path();
    if (root.empty())
        root = "/";
    return (root / "rsio").string();
}

}  // namespace rs
