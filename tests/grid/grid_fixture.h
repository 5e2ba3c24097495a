#pragma once
// A grid context over a temporary folder: settings file, scripted dialogs,
// a fixed clock, the debug log in an exchange folder and a results file.

#include <string>

#include "app/logs.h"
#include "app/shared_values.h"
#include "core/text_lines.h"
#include "grid/grid_context.h"
#include "grid/grid_solution.h"
#include "platform/clock.h"
#include "platform/file_reader.h"
#include "platform/ini_settings_store.h"
#include "tests/support/failing_file_writer.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"

namespace rs::test {

// Screen (twips) and survey (meters) of the four corners, in corner order.
inline void set_corners(GridDefinition& g, const double (&v)[4][4]) {
    for (size_t i = 0; i < 4; ++i)
        g.corners[i] = {v[i][0], v[i][1], v[i][2], v[i][3]};
}

// The worked grid: a square picture of 3000 twips onto 30 m by 30 m.
inline GridDefinition worked_grid() {
    GridDefinition g;
    set_corners(g, {{3000, 0, 30, 100}, {3000, 3000, 30, 70}, {0, 0, 0, 100}, {0, 3000, 0, 70}});
    g.jump_x = 0;
    g.jump_y = 50;
    return g;
}

// A camera view: the far side of the course (survey Y 100) is the narrower
// top edge of the picture, the horizon lies above it.
inline GridDefinition perspective_grid() {
    GridDefinition g;
    set_corners(
        g,
        {{8000, 2000, 30, 100}, {10000, 7000, 30, 70}, {4000, 2000, 0, 100}, {2000, 7000, 0, 70}});
    g.jump_x = 15;
    g.jump_y = 40;
    return g;
}

struct GridFixture {
    TempDir tmp;
    std::string app_folder = tmp.make_dir("app");
    std::string exchange = tmp.make_dir("rsio");
    std::string setup_folder = tmp.make_dir("setups");
    std::string results = tmp.file("videos/JumpMeasurementResults030107.txt");
    FixedClock clock{DateTime{2007, 3, 1, 9, 5, 3}};
    ScriptedDialogs dialogs;
    IniSettingsStore settings{tmp.file("config/RS05.ini")};
    test::FailingFileWriter files;
    DebugLog log{files, exchange, clock};
    GridState grids;
    SetupForm form;
    SharedValues shared;
    std::vector<std::pair<int, bool>> indicators;
    std::vector<std::pair<int, std::string>> main_descriptions;
    GridContext ctx{grids, form, settings, dialogs, log, clock, files, shared, app_folder, {}};

    GridFixture() {
        tmp.make_dir("videos");
        shared.results_file_path = results;
        shared.setup_folder = setup_folder;
        shared.grid_count = 1;
        ctx.hooks.set_grid_indicator = [this](int n, bool ready) {
            indicators.push_back({n, ready});
        };
        ctx.hooks.set_grid_description = [this](int n, const std::string& t) {
            main_descriptions.push_back({n, t});
        };
    }

    std::vector<std::string> debug_lines() const {
        auto text = read_whole_file(log.path());
        std::vector<std::string> out;
        if (!text)
            return out;
        for (const std::string& l : split_lines(*text))
            out.push_back(l.size() > 14 ? l.substr(14) : "");
        return out;
    }
    std::vector<std::string> results_lines() const {
        auto text = read_whole_file(results);
        return text ? split_lines(*text) : std::vector<std::string>{};
    }
};

}  // namespace rs::test
