#include "app/main_screen.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app.h"
#include "app/config_screen.h"
#include "app/log_view.h"
#include "app/manual_screen.h"
#include "app/screen_widgets.h"
#include "app/startup.h"
#include "core/text_forms.h"
#include "grid/grid_setup_screen.h"
#include "measure/measure_screen.h"
#include "measure/results_screen.h"
#include "video/capture_screen.h"
#include "video/frame_selection_screen.h"
#include "video/select_skier_screen.h"
#include "video/skier_names.h"

namespace rs {

namespace {

using namespace widgets;

}  // namespace

MainForm::MainForm(App& app) : app_(app) {
    setObjectName("MainForm");
    build();
}

void MainForm::build() {
    auto* central = new QWidget(this);
    auto* outer = new QHBoxLayout(central);

    Frame1 = new QGroupBox("Rampsight Controls and Configuration", central);
    Frame1->setObjectName("Frame1");
    auto* grid = new QGridLayout(Frame1);
    int row = 0;
    auto* cmdConfigure = button(Frame1, "cmdConfigure", "System Configuration");
    auto* cmdSetup = button(Frame1, "cmdSetup", "Grid Setup");
    auto* cmdGoCapture = button(Frame1, "cmdGoCapture", "Proceed to Capture Video");
    auto* cmdGoTimer = button(Frame1, "cmdGoTimer", "View Already Recorded Jump Videos");
    auto* ccmdGoToMeasure = button(Frame1, "ccmdGoToMeasure", "View Already Recorded Jump Pics");
    for (QPushButton* b : {cmdConfigure, cmdSetup, cmdGoCapture, cmdGoTimer, ccmdGoToMeasure}) {
        grid->addWidget(b, row++, 0, 1, 3);
    }
    connect(cmdConfigure, &QPushButton::clicked, this, [this] { cmdConfigure_Click(); });
    connect(cmdSetup, &QPushButton::clicked, this, [this] { cmdSetup_Click(); });
    connect(cmdGoCapture, &QPushButton::clicked, this, [this] { cmdGoCapture_Click(); });
    connect(cmdGoTimer, &QPushButton::clicked, this, [this] { cmdGoTimer_Click(); });
    connect(ccmdGoToMeasure, &QPushButton::clicked, this, [this] { ccmdGoToMeasure_Click(); });

    grid->addWidget(label(Frame1, "Label2", "Save Video Files in this Directory"), row++, 0, 1, 3);
    txtVideoDir = new QLineEdit(Frame1);
    txtVideoDir->setObjectName("txtVideoDir");
    grid->addWidget(txtVideoDir, row++, 0, 1, 3);
    connect(txtVideoDir, &QLineEdit::textChanged, this, [this] { txtVideoDir_Change(); });
    lblVideodir = label(Frame1, "lblVideodir", "");
    grid->addWidget(lblVideodir, row++, 0, 1, 3);
    auto* btnChangeDirectory = button(Frame1, "btnChangeDirectory", "Change Video File Directory");
    grid->addWidget(btnChangeDirectory, row++, 0, 1, 3);
    connect(btnChangeDirectory, &QPushButton::clicked, this,
            [this] { btnChangeDirectory_Click(); });

    cb15 = new QCheckBox("Enable Barefoot Timing (15 sec)", Frame1);
    cb15->setObjectName("cb15");
    grid->addWidget(cb15, row++, 0, 1, 3);
    connect(cb15, &QCheckBox::clicked, this, [this] { cb15_Click(); });

    auto* cmdImport = button(Frame1, "cmdImport", "Import Skier Names File");
    cmdShowConfig = button(Frame1, "cmdShowConfig", "Show Video Configuration");
    grid->addWidget(cmdImport, row++, 0, 1, 3);
    grid->addWidget(cmdShowConfig, row++, 0, 1, 3);
    connect(cmdImport, &QPushButton::clicked, this, [this] { cmdImport_Click(); });

    const char* grid_captions[3] = {"Grid 1", "Grid 2", "Grid3"};
    for (int i = 0; i < 3; ++i) {
        lblGrid[i] = label(Frame1, ("lblGrid" + std::to_string(i + 1)).c_str(), grid_captions[i]);
        ImageGrid[i] = label(Frame1, ("ImageGrid" + std::to_string(i + 1)).c_str(), "");
        ImageGrid[i]->setFixedSize(32, 32);
        ImageGrid[i]->setScaledContents(true);
        txtGridDescription[i] = new QLineEdit(Frame1);
        txtGridDescription[i]->setObjectName(QString("txtGridDescription_%1").arg(i));
        grid->addWidget(lblGrid[i], row, 0);
        grid->addWidget(ImageGrid[i], row, 1);
        grid->addWidget(txtGridDescription[i], row++, 2);
        lblGrid[i]->setVisible(false);
        ImageGrid[i]->setVisible(false);
        txtGridDescription[i]->setVisible(false);
    }
    lblConfig = label(Frame1, "lblConfig", "Currently Configured for R");
    grid->addWidget(lblConfig, row++, 0, 1, 3);
    outer->addWidget(Frame1);

    // The capture device controls (app/capture_setup_view.cpp).
    build_capture_controls(central, outer);
    connect(cmdShowConfig, &QPushButton::clicked, this, [this] { cmdShowConfig_Click(); });

    setCentralWidget(central);
    // Wide enough for the whole menu bar.
    setMinimumWidth(640);

    auto add_menu = [this](const char* name, const char* caption, void (MainForm::*handler)()) {
        QAction* a = menuBar()->addAction(caption);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    };
    add_menu("mnuViewLog", "&Video Log", &MainForm::mnuViewLog_Click);
    add_menu("mnuPictureLog", "&Picture Log", &MainForm::mnuPictureLog_Click);
    add_menu("munManual", "View &Manual", &MainForm::munManual_Click);
    add_menu("mnuResults", "&Results", &MainForm::mnuResults_Click);
    add_menu("mnulicense", "&License", &MainForm::mnulicense_Click);
    add_menu("mnuVersions", "Version &Notes", &MainForm::mnuVersions_Click);
    add_menu("mnuExit", "E&xit", &MainForm::mnuExit_Click);
}

void MainForm::Form_Load() {
    app_.debug_log().StartDebugLog();
    app_.WriteDebugLog("MainForm Load");
    app_.shared().video_config_shown = false;
    setWindowTitle("Rampsight 2007 Version 1.3");
    EmergencyParameterReset(app_.settings(), app_.dialogs());
    prepare_capture_controls();
    settle_video_folder();

    auto& shared = app_.shared();
    const DateTime now = app_.clock().now();
    shared.measurement_log_name = measurement_log_name(now);
    shared.video_folder = strip_trailing_separator(trim(txtVideoDir->text().toStdString()));
    if (!shared.video_folder.empty()) {
        if (!append_measurement_log(app_.files(), shared.video_folder, shared.measurement_log_name,
                                    session_header_line(now))) {
            app_.WriteDebugLog("Measurement log not written: " +
                               join_path(shared.video_folder, shared.measurement_log_name));
        }
        app_.settings().save("logfile", shared.measurement_log_name);
    }
    lblVideodir->setText(QString::fromStdString(shared.video_folder));
    app_.capture().set_preview(true);
    // Set as a click would set it: its handler writes the setting again.
    cb15->setChecked(text_to_number(app_.settings().get("barefoot", 0)) != 0);
    cb15_Click();
    lblConfig->setText(QString::fromStdString(config_caption_for_rate(
        text_to_number(EdtRate->text().toStdString()), lblConfig->text().toStdString())));
    app_.dialogs().ok("Please Verify all Setup Parameters");
    app_.config().show();
    hide();
}

void MainForm::settle_video_folder() {
    auto& settings = app_.settings();
    const std::string stored = settings.get("logpath", "");
    if (!stored.empty() && PathExists(stored, 1)) {
        txtVideoDir->setText(QString::fromStdString(stored));
        return;
    }
    app_.shared().video_folder.clear();
    for (;;) {
        const std::string answer = app_.dialogs().input(
            "No Correct Save Video Directory has been set.  Please put in the path of the Save "
            "Video Directory here.",
            "Input Save Video Files Path", "");
        txtVideoDir->setText(QString::fromStdString(answer));
        app_.shared().video_folder = strip_trailing_separator(txtVideoDir->text().toStdString());
        if (!app_.shared().video_folder.empty() && PathExists(app_.shared().video_folder, 1))
            break;
        app_.dialogs().ok("You entered an invalid path - try  again");
    }
    settings.save("logpath", txtVideoDir->text().toStdString());
}

void MainForm::txtVideoDir_Change() {
    app_.shared().video_folder = strip_trailing_separator(txtVideoDir->text().toStdString());
    app_.settings().save("logpath", app_.shared().video_folder);
}

void MainForm::btnChangeDirectory_Click() {
    const std::string folder = app_.dialogs().browse_folder("Select Directory");
    if (folder.empty())
        return;
    txtVideoDir->setText(QString::fromStdString(folder));
    lblVideodir->setText(QString::fromStdString(folder));
    app_.settings().save("logpath", folder);
    app_.shared().video_folder = folder;
}

void MainForm::cb15_Click() {
    app_.settings().save("barefoot", cb15->isChecked() ? "1" : "0");
}

void MainForm::cmdImport_Click() {
    FileRequest request;
    request.initial_folder = app_.paths().app_folder;
    const auto chosen = app_.dialogs().open_file(request);
    if (!chosen || chosen->empty())
        return;
    const SkierImport imported = import_skier_names(app_.files(), *chosen, app_.paths().app_folder);
    if (!imported.ok) {
        app_.WriteDebugLog("Skier names not imported: " + imported.error);
        app_.dialogs().ok("The skier names were not imported: " + imported.error,
                          MsgIcon::Exclamation);
        return;
    }
    app_.WriteDebugLog("Skier names imported from " + *chosen);
    if (imported.last_name)
        set_capture_skier_name(app_, *imported.last_name);
}

void MainForm::cmdConfigure_Click() {
    app_.config().show();
    hide();
}

void MainForm::cmdSetup_Click() {
    app_.grid_setup().show();
    hide();
}

void MainForm::go_to_video_screen(bool capture) {
    if (!PathExists(txtVideoDir->text().toStdString(), 1)) {
        app_.dialogs().ok(
            "The Log File Folder you specified does not exist. Please change it to a Folder that "
            "does exist.",
            MsgIcon::Exclamation, "Path Error");
        return;
    }
    if (capture) {
        app_.shared().capture.focus_start = true;
        app_.preview_form().show();
        app_.capture().set_preview(true);
        app_.shared().navigation_state = "Setup";
    } else {
        app_.set_start().show();
        app_.shared().navigation_state = "Setup";
        app_.capture().set_preview(true);
    }
    hide();
}

void MainForm::cmdGoCapture_Click() {
    app_.shared().capture.focus_start = true;
    go_to_video_screen(true);
}
void MainForm::cmdGoTimer_Click() {
    go_to_video_screen(false);
}

void MainForm::ccmdGoToMeasure_Click() {
    if (app_.grids().complete == 1) {
        hide();
        app_.measure().show();
        return;
    }
    app_.dialogs().ok(
        "At least one measurement grid that you have specified has not been set up.  All grids "
        "specified must be set up correctly before you can use the measurement screen",
        MsgIcon::Critical);
    hide();
    app_.grid_setup().show();
}

void MainForm::mnuViewLog_Click() {
    app_.log_view().show();
    app_.log_view().raise();
}
void MainForm::mnuPictureLog_Click() {
    app_.picture_log_view().show();
    app_.picture_log_view().raise();
}
void MainForm::munManual_Click() {
    app_.manual().show();
}
void MainForm::mnuResults_Click() {
    app_.results().mnuResults_Click();
}
void MainForm::mnulicense_Click() {
    app_.dialogs().ok(license_text());
}

void MainForm::mnuVersions_Click() {
    app_.results().show_text(version_notes_text(), "Version Notes");
}

void MainForm::mnuExit_Click() {
    if (app_.dialogs().ask_yes_no("Are you sure you want to quit?", kProgramTitle, MsgIcon::None,
                                  true)) {
        app_.quit();
    }
}

void MainForm::set_grid_indicator(int n, bool ready) {
    if (n < 1 || n > 3)
        return;
    QPixmap pic(QString::fromStdString(
        join_path(app_.paths().app_folder, ready ? "SmallSmiley.jpg" : "SmallCaution.jpg")));
    ImageGrid[n - 1]->setPixmap(pic);
    ImageGrid[n - 1]->setProperty("picture", ready ? "SmallSmiley.jpg" : "SmallCaution.jpg");
}

void MainForm::Form_Paint() {
    app_.shared().navigation_state.clear();
}

void MainForm::paintEvent(QPaintEvent* event) {
    Form_Paint();
    QMainWindow::paintEvent(event);
}

void MainForm::closeEvent(QCloseEvent* event) {
    event->accept();
    app_.quit();
}

}  // namespace rs
