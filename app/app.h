#pragma once
// The App owns the platform services, the process-wide shared values and
// every screen. Each screen exists once and is created (and loaded) on first
// use. There are no globals: a test builds an App over temporary folders, a
// fixed clock and scripted dialogs.

#include <functional>
#include <memory>
#include <vector>

#include "app/configuration.h"
#include "app/logs.h"
#include "app/shared_values.h"
#include "grid/grid_context.h"
#include "grid/grid_definition.h"
#include "grid/setup_form.h"
#include "platform/capture_device.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/file_writer.h"
#include "platform/keyboard_state.h"
#include "platform/paths.h"
#include "platform/program_starter.h"
#include "platform/settings_store.h"

class QObject;
class QWidget;

namespace rs {

class MainForm;
class Config;
class Results;
class frmManual;
class Grid_Setup;
class Measure;
class PreviewForm;
class frmSetStart;
class LogView;
class PictureLogView;
class Calibrate;
class AuditTrail;
class FileHasher;

struct Services {
    SettingsStore& settings;
    Dialogs& dialogs;
    const Clock& clock;
    Paths paths;
    KeyboardState& keyboard;
    CaptureDevice& capture;
    ProgramStarter& starter;
    // Every file the program writes goes through it.
    FileWriter& files;
};

class App {
  public:
    explicit App(Services services);
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    SettingsStore& settings() { return s_.settings; }
    Dialogs& dialogs() { return s_.dialogs; }
    const Clock& clock() const { return s_.clock; }
    const Paths& paths() const { return s_.paths; }
    KeyboardState& keyboard() { return s_.keyboard; }
    CaptureDevice& capture() { return s_.capture; }
    ProgramStarter& starter() { return s_.starter; }
    FileWriter& files() { return s_.files; }

    SharedValues& shared() { return shared_; }
    // What the configuration screen set, as the other screens read it.
    Configuration& configuration() { return configuration_; }
    GridState& grids() { return grids_; }
    // The grid set-up screen's state, kept whether or not that screen exists.
    SetupForm& setup_form() { return setup_form_; }
    // The grid procedures' view of this App, wired to the main screen.
    GridContext grid_context();
    DebugLog& debug_log() { return debug_log_; }
    void WriteDebugLog(const std::string& message) { debug_log_.WriteDebugLog(message); }
    // SHA-256 of files, with its worker thread; made on first use.
    FileHasher& hasher();
    // The audit line of every recorded jump, beside the results file.
    AuditTrail& audit_trail();

    // The screens, created and loaded on first use.
    MainForm& main_form();
    Config& config();
    Results& results();
    frmManual& manual();
    Grid_Setup& grid_setup();
    Measure& measure();
    PreviewForm& preview_form();
    frmSetStart& set_start();
    LogView& log_view();
    PictureLogView& picture_log_view();
    Calibrate& calibrate();

    // The screens that live only while shown (the log viewers): each is hidden
    // at once and destroyed once the event that closed it is over, so the
    // next use builds it anew.
    void drop_log_view();
    void drop_picture_log_view();

    // Screens that are drawn on only when they exist: building one here would
    // run its load (the set-up screen's resets the working grid).
    Grid_Setup* built_grid_setup() { return grid_setup_.get(); }
    Measure* built_measure() { return measure_.get(); }
    PreviewForm* built_preview_form() { return preview_form_.get(); }
    MainForm* built_main_form() { return main_form_.get(); }

    // Ends the program (the event loop, when one runs). Tests see the request.
    void quit();
    bool quit_requested() const { return quit_requested_; }

    // Runs the start-up sequence: the main screen's load.
    void start();

  private:
    Services s_;
    SharedValues shared_;
    Configuration configuration_;
    GridState grids_;
    SetupForm setup_form_;
    DebugLog debug_log_;
    bool quit_requested_ = false;
    // The trail goes before the hasher it waits on.
    std::unique_ptr<FileHasher> hasher_;
    std::unique_ptr<AuditTrail> audit_;

    std::unique_ptr<MainForm> main_form_;
    std::unique_ptr<Config> config_;
    std::unique_ptr<Results> results_;
    std::unique_ptr<frmManual> manual_;
    std::unique_ptr<Grid_Setup> grid_setup_;
    std::unique_ptr<Measure> measure_;
    std::unique_ptr<PreviewForm> preview_form_;
    std::unique_ptr<frmSetStart> set_start_;
    std::unique_ptr<LogView> log_view_;
    std::unique_ptr<PictureLogView> picture_log_view_;
    std::unique_ptr<Calibrate> calibrate_;

    // Closed screens waiting for the end of the event that closed them.
    std::vector<std::unique_ptr<QWidget>> retired_;
    std::unique_ptr<QObject> retire_context_;
    void retire(std::unique_ptr<QWidget> screen);
};

}  // namespace rs
