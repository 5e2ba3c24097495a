#pragma once
// An App over temporary folders, a fixed clock (1 March 2007, 09:05:03),
// scripted dialogs, a scripted keyboard, a scripted capture device (with no
// devices listed unless a test lists some) or a real one, and a recording
// program starter. Screens are driven through their handlers.

#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "platform/capture_device.h"
#include "platform/clock.h"
#include "platform/ini_settings_store.h"
#include "platform/keyboard_state.h"
#include "platform/program_starter.h"
#include "tests/support/failing_file_writer.h"
#include "tests/support/scripted_capture_device.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"

namespace rs::test {

class RecordingStarter final : public ProgramStarter {
  public:
    bool start(const std::string& path) override {
        started.push_back(path);
        return true;
    }
    std::vector<std::string> started;
};

struct TestApp {
    TempDir tmp;
    std::string app_folder = tmp.make_dir("app");
    std::string exchange_folder = tmp.make_dir("rsio");
    std::string video_folder = tmp.make_dir("videos");
    std::string settings_file = tmp.file("config/RS05.ini");
    FixedClock clock{DateTime{2007, 3, 1, 9, 5, 3}};
    ScriptedDialogs dialogs;
    ScriptedKeyboard keyboard;
    ScriptedCaptureDevice capture;
    // Used instead of capture when set before make().
    CaptureDevice* real_capture = nullptr;
    RecordingStarter starter;
    // Fails on request, so every writer's failure path can be driven.
    FailingFileWriter files;
    std::unique_ptr<IniSettingsStore> settings = std::make_unique<IniSettingsStore>(settings_file);
    std::unique_ptr<App> app;

    TestApp();
    // Builds the App (first use creates no screen).
    App& make();
    // Answers the start-up questions (reset declined) and runs the main
    // screen's load with a valid video folder already stored.
    App& started();
    // Copies the program's pictures and manual into the application folder.
    void install_assets();
    // A fresh store instance over the same file (what the next run reads).
    IniSettingsStore reopen_settings() const { return IniSettingsStore(settings_file); }
    std::string debug_log() const;
};

}  // namespace rs::test
