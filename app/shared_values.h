#pragma once
// The process-wide values that screens hand to one another. Each is written
// by the screen that owns it and read by the others directly.

#include <cstdint>
#include <string>

namespace rs {

// The capture screen's values that the frame selection screen reads after a
// recording, and changes when it renames a capture. Kept here until the
// capture screen is built on its own; it then owns them.
struct CaptureValues {
    std::string video_path;     // the file just recorded
    std::string skier_name;     // txtSkierName
    std::string pass = "1";     // txtPass
    bool name_changed = false;  // its name-changed warning (Label4) is showing
    double start_frame = 0;     // contact frame in the file, or the middle
    double length = 0;          // captured length in frames
    double frame_rate = 0;      // frames per second of the recording
    bool focus_start = false;   // its start-recording button takes the focus when shown
};

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
    // The video and frame taken on the frame selection screen, which the
    // frame extraction reads; the log viewer sets the path of a video to view.
    std::string current_video_path;
    std::int64_t current_frame_number = 0;
    // Handed over by the capture screen after a recording.
    CaptureValues capture;
};

}  // namespace rs
