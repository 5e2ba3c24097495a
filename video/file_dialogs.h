#pragma once
// The save-file and open-file dialogs of the capture set-up, with their
// three filter sets: pictures (kind 0), AVI videos (kind 1) and capture
// profiles (kind 2).

#include <string>

#include "platform/dialogs.h"

namespace rs {

struct DialogFilterSet {
    std::string filter;             // "description|pattern|..." for Dialogs
    std::string default_extension;  // without the dot
};

// The filters and default extension of a dialog kind; an unknown kind has
// neither.
DialogFilterSet dialog_filter_set(int kind);

// The chosen file's full path, or path unchanged when the operator cancels.
// The dialog starts in the folder part of path (up to its last separator)
// with no file name filled in; a name chosen without an extension gets the
// kind's default one.
std::string ShowSaveDialog(const std::string& path, int kind, Dialogs& dialogs);
std::string ShowOpenDialog(const std::string& path, int kind, Dialogs& dialogs);

}  // namespace rs
