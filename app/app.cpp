#include "app/app.h"

#include <QApplication>
#include <QLineEdit>
#include <QTimer>

#include "app/config_screen.h"
#include "app/log_view.h"
#include "app/main_screen.h"
#include "app/manual_screen.h"
#include "grid/calibration_screen.h"
#include "grid/grid_setup_screen.h"
#include "measure/audit_trail.h"
#include "measure/measure_screen.h"
#include "measure/results_screen.h"
#include "platform/qt_file_hasher.h"
#include "video/capture_screen.h"
#include "video/frame_selection_screen.h"

namespace rs {

App::App(Services services)
    : s_(services),
      debug_log_(services.files, services.paths.exchange_folder, services.clock),
      retire_context_(std::make_unique<QObject>()) {
    // Only the main screen ends the program (its exit menu or its window):
    // a screen closed, or a message box dismissed, while no other window is
    // showing must not end it behind the official's back.
    if (qApp)
        QGuiApplication::setQuitOnLastWindowClosed(false);
}

App::~App() {
    // Every jump recorded has its audit line before the program ends.
    if (audit_)
        audit_->finish();
}

namespace {
// A screen is created on first use and its load runs once it is reachable
// through the App, so a load may refer to its own screen.
template <typename Screen>
Screen& screen(std::unique_ptr<Screen>& slot, App& app) {
    if (!slot) {
        slot = std::make_unique<Screen>(app);
        slot->Form_Load();
    }
    return *slot;
}
}  // namespace

MainForm& App::main_form() {
    return screen(main_form_, *this);
}
Config& App::config() {
    return screen(config_, *this);
}
Results& App::results() {
    return screen(results_, *this);
}
frmManual& App::manual() {
    return screen(manual_, *this);
}
Grid_Setup& App::grid_setup() {
    return screen(grid_setup_, *this);
}
Measure& App::measure() {
    if (measure_)
        return *measure_;
    Measure& m = screen(measure_, *this);
    m.jump_recorded = [this](const RecordedJump& r) {
        audit_trail().add(r, measure_->audit_facts());
    };
    return m;
}

FileHasher& App::hasher() {
    if (!hasher_)
        hasher_ = std::make_unique<QtFileHasher>();
    return *hasher_;
}

AuditTrail& App::audit_trail() {
    if (!audit_)
        audit_ = std::make_unique<AuditTrail>(s_.files, hasher(), debug_log_, RS_PROGRAM_VERSION);
    return *audit_;
}
PreviewForm& App::preview_form() {
    return screen(preview_form_, *this);
}
frmSetStart& App::set_start() {
    return screen(set_start_, *this);
}
LogView& App::log_view() {
    return screen(log_view_, *this);
}
PictureLogView& App::picture_log_view() {
    return screen(picture_log_view_, *this);
}
Calibrate& App::calibrate() {
    return screen(calibrate_, *this);
}

void App::retire(std::unique_ptr<QWidget> screen) {
    if (!screen)
        return;
    screen->hide();
    retired_.push_back(std::move(screen));
    // The context object goes with the App, and the pending deletion with it.
    QTimer::singleShot(0, retire_context_.get(), [this] { retired_.clear(); });
}

void App::drop_log_view() {
    retire(std::move(log_view_));
}
void App::drop_picture_log_view() {
    retire(std::move(picture_log_view_));
}

void App::quit() {
    quit_requested_ = true;
    if (qApp)
        QCoreApplication::exit(0);
}

void App::start() {
    main_form();
}

GridContext App::grid_context() {
    GridHooks hooks;
    hooks.set_grid_indicator = [this](int n, bool ready) {
        main_form().set_grid_indicator(n, ready);
    };
    hooks.set_grid_description = [this](int n, const std::string& text) {
        if (n >= 1 && n <= 3)
            main_form().txtGridDescription[n - 1]->setText(QString::fromStdString(text));
    };
    return GridContext{grids_,   setup_form_, s_.settings, s_.dialogs,          debug_log_,
                       s_.clock, s_.files,    shared_,     s_.paths.app_folder, hooks};
}

}  // namespace rs
