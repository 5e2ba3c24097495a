#pragma once
// The process-wide values that screens hand to one another. Each is written
// by the screen that owns it and read by the others directly.

#include <string>

namespace rs {

struct SharedValues {
    // Folder of the setting "logpath", without a trailing separator.
    std::string video_folder;
    // File name of the measurement log, fixed at start-up for the run.
    std::string measurement_log_name;
    // How the next screen was reached ("Setup", "Timer", "SelectFrame", ...).
    std::string navigation_state;
    // Path of the results file, built when the configuration screen loads.
    std::string results_file_path;
    // Folder of the grid set-up files (setting "SetupFiles").
    std::string setup_folder;
    // Configured number of grids, 1 to 3.
    int grid_count = 1;
    // Set by the main screen's "Show Video Configuration" button.
    bool video_config_shown = false;
};

}  // namespace rs
