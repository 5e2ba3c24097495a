#pragma once
// What the grid procedures work on: the shared grid state, the set-up
// screen's record, the services, and hooks for the effects they have on
// other screens. The App builds one over its own values; the command-line
// tool and the tests build one over their own.

#include <functional>
#include <string>

#include "app/logs.h"
#include "app/shared_values.h"
#include "grid/grid_definition.h"
#include "grid/setup_form.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/file_writer.h"
#include "platform/settings_store.h"

namespace rs {

struct GridHooks {
    // The main screen's ImageGrid<n>: "SmallSmiley.jpg" when ready, else
    // "SmallCaution.jpg".
    std::function<void(int grid, bool ready)> set_grid_indicator;
    // The main screen's txtGridDescription box of grid n.
    std::function<void(int grid, const std::string& text)> set_grid_description;
    // The measurement screen's grid_description box.
    std::function<void(const std::string& text)> set_measure_description;
};

struct GridContext {
    GridState& grids;
    SetupForm& form;
    SettingsStore& settings;
    Dialogs& dialogs;
    DebugLog& log;
    const Clock& clock;
    FileWriter& files;
    // Results file path, set-up folder and configured grid count.
    const SharedValues& shared;
    std::string app_folder;
    GridHooks hooks;

    void WriteDebugLog(const std::string& line) { log.WriteDebugLog(line); }
    void show_indicator(int grid, bool ready) const {
        if (hooks.set_grid_indicator)
            hooks.set_grid_indicator(grid, ready);
    }
    void show_main_description(int grid, const std::string& text) const {
        if (hooks.set_grid_description)
            hooks.set_grid_description(grid, text);
    }
    void show_measure_description(const std::string& text) {
        grids.measure_description = text;
        if (hooks.set_measure_description)
            hooks.set_measure_description(text);
    }
};

}  // namespace rs
