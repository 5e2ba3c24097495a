#include "video/file_dialogs.h"

#include "platform/paths.h"

namespace rs {

namespace {

bool is_separator(char c) {
    return c == '\\' || c == '/';
}

FileRequest request_for(const std::string& path, const DialogFilterSet& set) {
    FileRequest r;
    r.filter = set.filter;
    r.filter_index = 1;
    // Paths typed on Windows use backslashes, paths made here slashes.
    for (std::size_t i = path.size(); i-- > 0;) {
        if (is_separator(path[i])) {
            r.initial_folder = path.substr(0, i);
            break;
        }
    }
    return r;
}

// As the platform's dialogs do: a name typed without an extension gets the
// default one.
std::string with_default_extension(std::string chosen, const std::string& ext) {
    if (ext.empty() || chosen.empty())
        return chosen;
    std::size_t name = 0;
    for (std::size_t i = chosen.size(); i-- > 0;) {
        if (is_separator(chosen[i])) {
            name = i + 1;
            break;
        }
    }
    if (name < chosen.size() && chosen.find('.', name) == std::string::npos) {
        chosen += "." + ext;
    }
    return chosen;
}

}  // namespace

DialogFilterSet dialog_filter_set(int kind) {
    switch (kind) {
        case 0:
            return {
                "All Supported Types|*.bmp;*.jpg;*.pic|BMP Files|*.bmp|JPEG Files|*.jpg|"
                "ePIC Files|*.pic|",
                "jpg"};
        case 1:
            return {"AVI File|*.avi|", "avi"};
        case 2:
            return {"CapturePro 3.0 profile (.cpf)|*.cpf|", "cpf"};
        default:
            return {};
    }
}

std::string ShowSaveDialog(const std::string& path, int kind, Dialogs& dialogs) {
    const DialogFilterSet set = dialog_filter_set(kind);
    auto chosen = dialogs.save_file(request_for(path, set));
    if (!chosen || chosen->empty())
        return path;
    return with_default_extension(*chosen, set.default_extension);
}

std::string ShowOpenDialog(const std::string& path, int kind, Dialogs& dialogs) {
    const DialogFilterSet set = dialog_filter_set(kind);
    auto chosen = dialogs.open_file(request_for(path, set));
    if (!chosen || chosen->empty())
        return path;
    // A file picked as it stands is taken as it is named.
    if (FileExists(*chosen))
        return *chosen;
    return with_default_extension(*chosen, set.default_extension);
}

}  // namespace rs
