#pragma once
// What the measurement procedures work on, over temporary folders, a fixed
// clock (1 March 2007, 09:05:03), scripted dialogs and a writer that fails
// on request; and two grids with known answers.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/logs.h"
#include "core/text_lines.h"
#include "grid/grid_solution.h"
#include "measure/measure_form.h"
#include "tests/support/failing_file_writer.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"

namespace rs::test {

// The picture maps straight onto the water: survey X = x / 100, survey Y =
// 100 - y / 100. The jump point at (15, 40): the screen point (1500, 4206)
// lies 17.94 m from it.
inline GridDefinition flat_grid() {
    GridDefinition g;
    g.corners[kUpperRight] = {3000, 0, 30, 100};
    g.corners[kLowerRight] = {3000, 3000, 30, 70};
    g.corners[kUpperLeft] = {0, 0, 0, 100};
    g.corners[kLowerLeft] = {0, 3000, 0, 70};
    EXPECT_TRUE(solve_grid(g));
    g.jump_x = 15;
    g.jump_y = 40;
    g.description = "Flat test grid";
    g.loaded = true;
    return g;
}

// A steep view: the far side 1000 twips wide at y = 3000, the near side
// 10800 at y = 6000. The horizon lies near y = 2694; a point above it has
// no image on the water.
inline GridDefinition steep_grid() {
    GridDefinition g;
    g.corners[kUpperRight] = {6500, 3000, 30, 100};
    g.corners[kLowerRight] = {11400, 6000, 30, 70};
    g.corners[kUpperLeft] = {5500, 3000, 0, 100};
    g.corners[kLowerLeft] = {600, 6000, 0, 70};
    EXPECT_TRUE(solve_grid(g));
    g.jump_x = 15;
    g.jump_y = 40;
    g.loaded = true;
    return g;
}

struct MeasureFixture : ::testing::Test {
    TempDir tmp;
    std::string app_folder = tmp.make_dir("app");
    std::string exchange_folder = tmp.make_dir("rsio");
    std::string video_folder = tmp.make_dir("videos");
    FixedClock clock{DateTime{2007, 3, 1, 9, 5, 3}};
    ScriptedDialogs dialogs;
    FailingFileWriter files;
    DebugLog log{files, exchange_folder, clock};
    MeasureForm form;
    GridState grids;
    Configuration config;
    SharedValues shared;

    MeasureFixture() {
        grids.grid(1) = flat_grid();
        grids.working = grids.grid(1);
        grids.complete = 1;
        shared.video_folder = video_folder;
        shared.results_file_path = video_folder + "/JumpMeasurementResults030107.txt";
        shared.measurement_log_name = "JumpMeasurementLog030107.txt";
        config.wstims = true;
        form.Skier_name = "Smith";
    }

    MeasureContext ctx() {
        return MeasureContext{form,   grids,   config,
                              shared, dialogs, files,
                              clock,  log,     Paths{app_folder, exchange_folder}};
    }

    std::string results() const { return slurp(shared.results_file_path); }
    std::string last_result() const { return slurp(exchange_folder + "/rsresult.dst"); }
    std::string all_results() const { return slurp(exchange_folder + "/rsraw.dst"); }
    std::string measurement_log() const {
        return slurp(video_folder + "/JumpMeasurementLog030107.txt");
    }
    static bool exists(const std::string& p) { return std::filesystem::exists(p); }
    // Temporary files left in a folder by a replacement.
    static size_t temporaries(const std::string& folder) {
        size_t n = 0;
        for (const auto& e : std::filesystem::directory_iterator(folder))
            n += e.path().extension() == ".tmp";
        return n;
    }
};

}  // namespace rs::test
