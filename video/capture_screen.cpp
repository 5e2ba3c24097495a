#include "video/capture_screen.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPixmap>
#include <QTimer>
#include <QVBoxLayout>

#include "app/app.h"
#include "app/main_screen.h"
#include "app/screen_widgets.h"
#include "core/text_forms.h"
#include "grid/grid_setup_screen.h"
#include "measure/measure_screen.h"
#include "measure/results_screen.h"
#include "platform/file_reader.h"
#include "platform/paths.h"
#include "video/capture_rules.h"
#include "video/frame_selection.h"
#include "video/frame_selection_screen.h"
#include "video/select_skier_screen.h"
#include "video/skier_names.h"

namespace rs {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}
std::string s(const QString& q) {
    return q.toStdString();
}

const char* const kTimes[] = {"3.0", "4.0", "5.0", "6.0"};

// The button colour with the focus: green (65280 with red in the low byte).
const char* const kFocusStyle = "background-color: rgb(0, 255, 0);";

}  // namespace

PreviewForm::PreviewForm(App& app) : app_(app) {
    setObjectName("PreviewForm");
    setWindowTitle(kCaptureCaption);
    build();
}

PreviewForm::~PreviewForm() {
    // Leaving the program ends a recording with its file finished.
    app_.capture().stop_capture();
}

void PreviewForm::build() {
    using namespace widgets;
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* row = new QHBoxLayout(central);

    CapturePRO1 = label(central, "CapturePRO1", "");
    CapturePRO1->setMinimumSize(640, 480);
    CapturePRO1->setAlignment(Qt::AlignCenter);
    CapturePRO1->setStyleSheet("background-color: black; color: white;");
    row->addWidget(CapturePRO1, 1);

    auto* side = new QVBoxLayout();
    row->addLayout(side);
    auto* names = new QGridLayout();
    side->addLayout(names);
    txtSkierName = text_box(central, "txtSkierName", "SkierName");
    cmdSelect = button(central, "cmdSelect", "Select Name");
    btnGetName = button(central, "btnGetName", "Get WSTIMS name");
    Label2 = label(central, "Label2", "Attempt Number");
    txtPass = text_box(central, "txtPass", "1", 60);
    Label9 = label(central, "Label9", "Length of time to record");
    captureTimeValue = new QComboBox(central);
    captureTimeValue->setObjectName("captureTimeValue");
    for (const char* t : kTimes)
        captureTimeValue->addItem(t);
    names->addWidget(txtSkierName, 0, 0, 1, 2);
    names->addWidget(cmdSelect, 1, 0);
    names->addWidget(btnGetName, 1, 1);
    names->addWidget(Label2, 2, 0);
    names->addWidget(txtPass, 2, 1);
    names->addWidget(Label9, 3, 0);
    names->addWidget(captureTimeValue, 3, 1);

    cmdStartCapture = button(central, "cmdStartCapture", "Start Recording     (skier hits ramp)");
    cmdStartTimer = button(central, "cmdStartTimer", "Contact");
    cmdEndCapture = button(central, "cmdEndCapture", "Stop Recording");
    btnCaptureFrame = button(central, "btnCaptureFrame", "Capture Frame");
    cmdGoToTimer = button(central, "cmdGoToTimer", "View Already Recorded Jumps");
    cmdGoSetup = button(central, "cmdGoSetup", "Go Back To Main Screen");
    for (QPushButton* b : {cmdStartCapture, cmdStartTimer, cmdEndCapture})
        b->setMinimumHeight(48);
    for (QPushButton* b :
         {cmdStartCapture, cmdStartTimer, cmdEndCapture, btnCaptureFrame, cmdGoToTimer, cmdGoSetup})
        side->addWidget(b);

    auto* counts = new QGridLayout();
    side->addLayout(counts);
    Label7 = label(central, "Label7", "Capture Time Left");
    captime = label(central, "captime", "");
    Label5 = label(central, "Label5", "Frames Recorded");
    LblFrame = label(central, "LblFrame", "");
    Label6 = label(central, "Label6", "Frames Dropped");
    LblFrmDrop = label(central, "LblFrmDrop", "");
    lblStartFrame = label(central, "lblStartFrame", " ");
    counts->addWidget(Label7, 0, 0);
    counts->addWidget(captime, 0, 1);
    counts->addWidget(Label5, 1, 0);
    counts->addWidget(LblFrame, 1, 1);
    counts->addWidget(Label6, 2, 0);
    counts->addWidget(LblFrmDrop, 2, 1);
    counts->addWidget(label(central, "lblContact", "Frames processed at contact"), 3, 0);
    counts->addWidget(lblStartFrame, 3, 1);

    Label4 = label(central, "Label4", "");
    Label4->setWordWrap(true);
    Label4->setStyleSheet("color: red; font-weight: bold;");
    Label4->hide();
    Label3 = label(central, "Label3", "Hit ESC to stop recording");
    Text1 = text_box(central, "Text1", "", 60);
    Text1->setReadOnly(true);
    Text1->setFocusPolicy(Qt::NoFocus);
    side->addWidget(Label4);
    side->addWidget(Label3);
    side->addWidget(Text1);
    side->addStretch(1);

    Timer40 = new QTimer(this);
    Timer40->setObjectName("Timer40");
    Timer40->setInterval(1000);
    previewTimer = new QTimer(this);
    previewTimer->setObjectName("previewTimer");
    previewTimer->setInterval(66);

    mnuStart = menuBar()->addAction("&Start Recording");
    mnuStart->setObjectName("mnuStart");
    mnuResults = menuBar()->addAction("&Results");
    mnuResults->setObjectName("mnuResults");

    connect(captureTimeValue, &QComboBox::activated, this, [this] { captureTimeValue_Click(); });
    connect(txtSkierName, &QLineEdit::textChanged, this, [this] { txtSkierName_Change(); });
    connect(txtPass, &QLineEdit::textChanged, this,
            [this] { app_.shared().capture.pass = s(txtPass->text()); });
    connect(cmdStartCapture, &QPushButton::clicked, this, [this] { cmdStartCapture_Click(); });
    connect(mnuStart, &QAction::triggered, this, [this] {
        if (cmdStartCapture->isEnabled())
            cmdStartCapture_Click();
    });
    connect(cmdStartTimer, &QPushButton::clicked, this, [this] { cmdStartTimer_Click(); });
    connect(cmdEndCapture, &QPushButton::clicked, this, [this] { cmdEndCapture_Click(); });
    connect(btnCaptureFrame, &QPushButton::clicked, this, [this] { btnCaptureFrame_Click(); });
    connect(cmdGoToTimer, &QPushButton::clicked, this, [this] { cmdGoToTimer_Click(); });
    connect(cmdGoSetup, &QPushButton::clicked, this, [this] { cmdGoSetup_Click(); });
    connect(cmdSelect, &QPushButton::clicked, this, [this] { cmdSelect_Click(); });
    connect(btnGetName, &QPushButton::clicked, this, [this] { btnGetName_Click(); });
    connect(mnuResults, &QAction::triggered, this, [this] { mnuResults_Click(); });
    connect(Timer40, &QTimer::timeout, this, [this] { Timer40_Timer(); });
    connect(previewTimer, &QTimer::timeout, this, [this] { previewTimer_Timer(); });
    for (QPushButton* b : {cmdSelect, cmdStartCapture, cmdStartTimer})
        b->installEventFilter(this);
    // A double click in the name field opens the skier list.
    txtSkierName->installEventFilter(this);
    resize(1100, 620);
}

// --- Load, activation, paint -------------------------------------------------

void PreviewForm::Form_Load() {
    SettingsStore& settings = app_.settings();
    capture_time_ = text_to_number(settings.get("captureTime", 0));
    if (capture_time_ <= 0) {
        captureTimeValue->setCurrentIndex(2);
        capture_time_ = 5;
        settings.save("captureTime", "5");
    } else {
        for (int i = 0; i < captureTimeValue->count(); ++i)
            if (text_to_number(s(captureTimeValue->itemText(i))) == capture_time_)
                captureTimeValue->setCurrentIndex(i);
    }
    const std::string name = capture_default_name(app_.paths().app_folder, s(txtSkierName->text()));
    txtSkierName->setText(q(name));
    app_.shared().capture.skier_name = s(txtSkierName->text());
    app_.shared().capture.pass = s(txtPass->text());
    painted_ = false;
    set_ready_state();
}

void PreviewForm::Form_Activate() {
    if (app_.shared().capture.focus_start)
        cmdStartCapture->setFocus();
    app_.WriteDebugLog("Capture Video Form Activated");
}

void PreviewForm::Form_Paint() {
    if (painted_)
        return;
    painted_ = true;
    ensure_connected();
    captime->setText(q(signed_number(capture_time_)));
    SharedValues& shared = app_.shared();
    const std::string state = shared.navigation_state;
    if (state == "Setup" || state == "Timer") {
        Label4->hide();
        const RaisedPass raised =
            raise_pass_past_files(shared.video_folder, s(txtSkierName->text()), s(txtPass->text()));
        if (raised.raised) {
            txtPass->setText(q(raised.pass));
            app_.dialogs().ok(
                "Warning, the pass number was changed because a file for that pass already "
                "existed.  You may need to change the skier name",
                MsgIcon::Exclamation, "Duplicate File Warning");
        }
    }
    if (text_to_number(s(txtPass->text())) > 3) {
        app_.dialogs().ok(
            "Warning, the jump number is greater than 3.  You may need to change the skier name",
            MsgIcon::Exclamation, "Possible Name Change Warning");
    }
    shared.navigation_state.clear();
}

void PreviewForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    previewTimer->start();
    // The screen that shows this one sets the navigation state after its
    // show(): the set-up waits until that handler has finished.
    if (!event->spontaneous()) {
        QTimer::singleShot(0, this, [this] {
            if (isVisible()) {
                Form_Paint();
                Form_Activate();
            }
        });
    }
}

void PreviewForm::hideEvent(QHideEvent* event) {
    if (!event->spontaneous()) {
        previewTimer->stop();
        // The next showing sets the screen up again.
        painted_ = false;
    }
    QMainWindow::hideEvent(event);
}

void PreviewForm::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && painted_)
        Form_Activate();
    QMainWindow::changeEvent(event);
}

void PreviewForm::closeEvent(QCloseEvent* event) {
    // The screen lives as long as the program: closing its window is going
    // back to the main screen, which a recording must first be stopped for.
    event->ignore();
    if (cmdGoSetup->isEnabled())
        cmdGoSetup_Click();
}

// The live picture comes from a camera connected on the main screen or, when
// none is, from the device chosen there (the built-in test source without a
// camera), so the operator always sees what will be recorded.
void PreviewForm::ensure_connected() {
    CaptureDevice& device = app_.capture();
    if (device.connected() || device.device_count() < 1)
        return;
    int index = static_cast<int>(text_to_number(app_.settings().get("device", -1)));
    if (index < 0 || index >= device.device_count())
        index = device.current_device() >= 0 ? device.current_device() : 0;
    std::string error;
    if (!device.connect(index, &error))
        app_.WriteDebugLog("Capture device not connected: " + error);
}

void PreviewForm::previewTimer_Timer() {
    CaptureDevice& device = app_.capture();
    if (recording_) {
        LblFrmDrop->setText(q(signed_number(static_cast<double>(device.frames_dropped()))));
        // A recording the device ended on its own (device lost, disk full,
        // time limit) is handed over as if stopped.
        if (!device.capturing()) {
            Timer40->stop();
            const std::string why = device.capture_error();
            if (!why.empty()) {
                app_.WriteDebugLog(why);
                app_.dialogs().ok(why, MsgIcon::Exclamation);
            }
            if (!contact_pressed_)
                contact_count_ = 0;
            stop_procedure();
            return;
        }
    }
    if (!device.previewing() || !isVisible())
        return;
    std::int64_t number = 0;
    int w = 0, h = 0;
    std::vector<std::uint8_t> bgr;
    if (!device.latest_frame(&number, &w, &h, &bgr)) {
        CapturePRO1->setText(device.device_count() > 0 ? "No picture from the capture device"
                                                       : "No Capture Devices");
        return;
    }
    const QImage image(bgr.data(), w, h, w * 3, QImage::Format_BGR888);
    CapturePRO1->setPixmap(QPixmap::fromImage(
        image.scaled(CapturePRO1->size(), Qt::KeepAspectRatio, Qt::FastTransformation)));
}

// --- Name and time ------------------------------------------------------------

void PreviewForm::captureTimeValue_Click() {
    capture_time_ = text_to_number(s(captureTimeValue->currentText()));
    app_.settings().save("captureTime", plain_number(capture_time_));
    captime->setText(q(signed_number(capture_time_)));
}

void PreviewForm::set_pass(const std::string& pass) {
    txtPass->setText(q(pass));
    app_.shared().capture.pass = pass;
}

void PreviewForm::txtSkierName_Change() {
    if (cleaning_)
        return;
    set_pass("1");
    const CleanedName cleaned = apply_name_rules(s(txtSkierName->text()));
    for (int i = 0; i < cleaned.replaced; ++i)
        app_.dialogs().ok(kInvalidNameCharacterMessage);
    if (cleaned.had_comma)
        app_.dialogs().ok(kCommaMessage, MsgIcon::None, kCommaTitle);
    if (q(cleaned.text) != txtSkierName->text()) {
        cleaning_ = true;
        const int cursor = txtSkierName->cursorPosition();
        txtSkierName->setText(q(cleaned.text));
        txtSkierName->setCursorPosition(std::min(cursor, static_cast<int>(cleaned.text.size())));
        cleaning_ = false;
    }
    app_.shared().capture.skier_name = cleaned.text;
}

void PreviewForm::cmdSelect_Click() {
    open_skier_list(app_, this, true, name_sink());
}

void PreviewForm::btnGetName_Click() {
    take_scoring_program_name(app_, name_sink());
}

std::function<void(const std::string&)> PreviewForm::name_sink() {
    return [this](const std::string& name) { txtSkierName->setText(q(name)); };
}

// --- Recording -------------------------------------------------------------------

void PreviewForm::set_ready_state() {
    cmdStartCapture->setEnabled(true);
    mnuStart->setEnabled(true);
    btnCaptureFrame->setEnabled(true);
    cmdGoToTimer->setEnabled(true);
    cmdGoSetup->setEnabled(true);
    cmdStartTimer->setEnabled(false);
    cmdEndCapture->setEnabled(false);
}

void PreviewForm::cmdStartCapture_Click() {
    if (recording_)
        return;
    SharedValues& shared = app_.shared();
    CaptureDevice& device = app_.capture();
    btnCaptureFrame->setEnabled(false);
    lblStartFrame->setText(" ");
    contact_pressed_ = false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    app_.WriteDebugLog("Start Capture");

    const std::string folder = strip_trailing_separator(shared.video_folder);
    const FreeCaptureName free =
        free_capture_name(folder, s(txtSkierName->text()), s(txtPass->text()));
    if (free.changed) {
        // Writing the name runs the name rules, which set the pass to 1.
        txtSkierName->setText(q(free.name));
        shared.capture.name_changed = true;
        Label4->setText(q(name_changed_warning(free.name)));
        Label4->show();
    }
    capture_path_ = free.path;
    const std::string name = trim(s(txtSkierName->text()));
    shared.capture.skier_name = name;
    shared.capture.pass = s(txtPass->text());
    if (Measure* measure = app_.built_measure()) {
        measure->Skier_name->setEditText(q(name));
        measure->Jump_no->setText(txtPass->text());
    }
    app_.WriteDebugLog("Capture File: " + capture_path_);

    ensure_connected();
    // The main screen's device settings go to the device before every
    // recording; the file name follows, since the settings name a file too.
    if (MainForm* main = app_.built_main_form())
        main->SetCaptureValues();
    device.set_stream_file_name(capture_path_);
    std::string error;
    if (!device.start_stream_capture(&error)) {
        // Nothing records: the screen stays ready, and says why.
        QApplication::restoreOverrideCursor();
        app_.WriteDebugLog("Capture not started: " + error);
        app_.dialogs().ok("The recording could not be started: " + error, MsgIcon::Exclamation);
        set_ready_state();
        return;
    }
    recording_ = true;
    Timer40->start(1000);
    captime->setText(q(signed_number(capture_time_)));
    start_counter_ = device.frames_processed_at_start();
    app_.WriteDebugLog("Frames Processed (at start of capture): " +
                       signed_number(static_cast<double>(start_counter_)));
    cmdStartCapture->setEnabled(false);
    mnuStart->setEnabled(false);
    cmdStartTimer->setEnabled(true);
    cmdEndCapture->setEnabled(true);
    QApplication::restoreOverrideCursor();
    cmdStartTimer->setFocus();
    cmdGoToTimer->setEnabled(false);
    cmdGoSetup->setEnabled(false);
}

void PreviewForm::cmdStartTimer_Click() {
    if (!recording_)
        return;
    contact_count_ = app_.capture().frames_processed();
    contact_pressed_ = true;
    lblStartFrame->setText(q(signed_number(static_cast<double>(contact_count_))));
    app_.WriteDebugLog("Frames Processed (at impact point): " +
                       signed_number(static_cast<double>(contact_count_)));
}

void PreviewForm::Timer40_Timer() {
    if (!recording_) {
        Timer40->stop();
        return;
    }
    CaptureDevice& device = app_.capture();
    const double left = text_to_number(s(captime->text())) - 1;
    captime->setText(q(signed_number(left)));
    // The device counts over its connection: the label shows this recording's.
    LblFrame->setText(
        q(signed_number(static_cast<double>(device.frames_processed() - start_counter_))));
    LblFrmDrop->setText(q(signed_number(static_cast<double>(device.frames_dropped()))));
    app_.WriteDebugLog("Frames Processed (1 sec interval): " +
                       signed_number(static_cast<double>(device.frames_processed())));
    if (left <= 0) {
        Timer40->stop();
        captime->setText(q(signed_number(capture_time_)));
        stop_procedure();
    }
}

void PreviewForm::keyPressEvent(QKeyEvent* event) {
    // Key codes as the keyboard's virtual keys: letters, digits and blank
    // are their upper-case characters; ESC 27, Enter 13, Tab 9, Backspace 8.
    int code = event->key();
    switch (event->key()) {
        case Qt::Key_Escape:
            code = 27;
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            code = 13;
            break;
        case Qt::Key_Tab:
            code = 9;
            break;
        case Qt::Key_Backspace:
            code = 8;
            break;
        default:
            if (code > 127)
                code = static_cast<int>(event->nativeVirtualKey());
    }
    Form_KeyDown(code);
    QMainWindow::keyPressEvent(event);
}

void PreviewForm::Form_KeyDown(int key_code) {
    Text1->setText(QString::number(key_code));
    if (key_code != 27 || !recording_)
        return;
    Timer40->stop();
    app_.WriteDebugLog("ESC pressed");
    stop_procedure();
}

void PreviewForm::cmdEndCapture_Click() {
    if (!recording_)
        return;
    stop_procedure();
}

void PreviewForm::stop_procedure() {
    if (!recording_)
        return;
    CaptureDevice& device = app_.capture();
    SharedValues& shared = app_.shared();
    device.stop_capture();
    recording_ = false;
    Timer40->stop();
    const std::int64_t processed = device.frames_processed();
    LblFrame->setText(q(signed_number(static_cast<double>(processed - start_counter_))));
    LblFrmDrop->setText(q(signed_number(static_cast<double>(device.frames_dropped()))));
    set_ready_state();
    set_pass(signed_number(text_to_number(s(txtPass->text())) + 1));
    shared.capture.video_path = capture_path_;
    shared.capture.frame_rate = device.frame_rate();
    shared.capture.length = static_cast<double>(processed - start_counter_);
    const double rate = text_to_number(s(app_.main_form().EdtRate->text()));
    shared.capture.start_frame =
        capture_start_frame(contact_pressed_, contact_count_, start_counter_, rate, capture_time_);
    app_.WriteDebugLog("Capture Complete");
    app_.WriteDebugLog("videolength: " + signed_number(shared.capture.length));
    app_.WriteDebugLog("startingFrame: " + signed_number(shared.capture.start_frame));
    shared.navigation_state = "Capture";
    app_.set_start().show();
    hide();
    shared.capture.focus_start = false;
}

// --- Still and navigation ------------------------------------------------------------

void PreviewForm::btnCaptureFrame_Click() {
    CaptureDevice& device = app_.capture();
    ensure_connected();
    device.set_still_file_name(join_path(app_.paths().app_folder, "currentcapture.bmp"));
    std::string error;
    if (!device.grab_still(&error)) {
        // "currentcapture.bmp" still holds an earlier picture: measuring it
        // would give this jump another jump's distance.
        app_.WriteDebugLog("Still not taken: " + error);
        app_.dialogs().ok("The picture could not be taken: " + error, MsgIcon::Exclamation);
        return;
    }
    app_.shared().navigation_state = "SelectFrame";
    if (app_.grids().complete == 1.0) {
        Measure& measure = app_.measure();
        measure.Skier_name->setEditText(q(trim(s(txtSkierName->text()))));
        measure.Jump_no->setText(txtPass->text());
        app_.set_start().hide();
        hide();
        measure.show();
        return;
    }
    app_.dialogs().ok(
        "One or more grids are not configured.  You may not use the Measure Screen until all "
        "listed grids are configured",
        MsgIcon::Exclamation);
    hide();
    app_.grid_setup().show();
}

void PreviewForm::cmdGoToTimer_Click() {
    app_.shared().capture.focus_start = false;
    app_.shared().navigation_state = "CaptureGoToTimer";
    app_.set_start().show();
    hide();
}

void PreviewForm::cmdGoSetup_Click() {
    app_.shared().navigation_state = "Capture";
    app_.shared().capture.focus_start = false;
    app_.main_form().show();
    hide();
}

void PreviewForm::mnuResults_Click() {
    app_.results().mnuResults_Click();
}

// --- Focus colours -------------------------------------------------------------------

bool PreviewForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtSkierName && event->type() == QEvent::MouseButtonDblClick) {
        open_skier_list(app_, this, false, name_sink());
        return true;
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        for (QPushButton* b : {cmdSelect, cmdStartCapture, cmdStartTimer}) {
            const bool focused = event->type() == QEvent::FocusIn && b == watched;
            b->setStyleSheet(focused ? kFocusStyle : "");
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace rs
