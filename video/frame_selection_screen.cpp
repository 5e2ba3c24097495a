#include "video/frame_selection_screen.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

#include "app/app.h"
#include "app/log_view.h"
#include "app/main_screen.h"
#include "app/screen_widgets.h"
#include "core/text_forms.h"
#include "grid/grid_setup_screen.h"
#include "measure/measure_screen.h"
#include "platform/frame_player_widget.h"
#include "platform/frame_slider_widget.h"
#include "platform/paths.h"
#include "video/avi_info.h"
#include "video/capture_screen.h"
#include "video/frame_extraction.h"

namespace rs {

namespace {

using namespace widgets;

constexpr const char* kSelectStart = "Select Start Position using direction buttons and/or slider";
constexpr const char* kSelectContact =
    "Select First Contact by using direction buttons and/or slider";

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

std::string s(const QString& text) {
    return text.toStdString();
}

// The player's open video lent to the frame extraction, so that the frame
// on screen comes from the player's cache instead of a second opening of
// the file. The player keeps the file open for longer than the extraction.
class BorrowedVideo final : public VideoFile {
  public:
    explicit BorrowedVideo(VideoFile& video) : video_(video) {}
    const std::string& path() const override { return video_.path(); }
    std::int64_t frame_count() const override { return video_.frame_count(); }
    double frame_rate() const override { return video_.frame_rate(); }
    int width() const override { return video_.width(); }
    int height() const override { return video_.height(); }
    FramePtr frame(std::int64_t n, std::string* error) override { return video_.frame(n, error); }
    std::string problem() const override { return video_.problem(); }

  private:
    VideoFile& video_;
};

}  // namespace

frmSetStart::frmSetStart(App& app) : app_(app) {
    setObjectName("frmSetStart");
    setWindowTitle("Rampsight 2005 Frame Selection");
    build();
}

frmSetStart::~frmSetStart() = default;

void frmSetStart::build() {
    auto* central = new QWidget(this);
    auto* outer = new QHBoxLayout(central);

    // Left: the player and the frame step controls.
    auto* left = new QVBoxLayout;
    MediaPlayer1 = new FramePlayerWidget(central);
    MediaPlayer1->setObjectName("MediaPlayer1");
    left->addWidget(MediaPlayer1, 1);
    sldFrames = new FrameSliderWidget(central);
    sldFrames->setObjectName("sldFrames");
    sldFrames->setToolTip("Drag to any frame of the video");
    left->addWidget(sldFrames);
    auto* steps = new QHBoxLayout;
    Command1 = button(central, "Command1", "");
    Command1->setIcon(style()->standardIcon(QStyle::SP_MediaSeekBackward));
    Command1->setToolTip("One frame back");
    Text9 = text_box(central, "Text9", "", 120);
    Text9->setToolTip("The frame on the screen; type a frame number and press Enter to go there");
    Command4 = button(central, "Command4", "");
    Command4->setIcon(style()->standardIcon(QStyle::SP_MediaSeekForward));
    Command4->setToolTip("One frame forward");
    steps->addStretch();
    steps->addWidget(Command1);
    steps->addWidget(Text9);
    steps->addWidget(Command4);
    steps->addStretch();
    left->addLayout(steps);
    Label5 = label(central, "Label5", kSelectStart);
    left->addWidget(Label5);
    lblVideoProblem = label(central, "lblVideoProblem", "");
    lblVideoProblem->setStyleSheet("color: #b00000; font-weight: bold;");
    lblVideoProblem->setWordWrap(true);
    lblVideoProblem->setVisible(false);
    left->addWidget(lblVideoProblem);
    outer->addLayout(left, 3);

    // Right: file, replays, taking the frame, leaving.
    auto* right = new QGridLayout;
    int row = 0;
    Label3 = label(central, "Label3", "Browse for File to View -------->");
    Command6 = button(central, "Command6", "");
    Command6->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    Command6->setToolTip("Browse for a video");
    right->addWidget(Label3, row, 0, 1, 3);
    right->addWidget(Command6, row++, 3);
    Text6 = text_box(central, "Text6", "");
    right->addWidget(Text6, row++, 0, 1, 4);
    lstFileInfo = new QListWidget(central);
    lstFileInfo->setObjectName("lstFileInfo");
    lstFileInfo->setMinimumHeight(120);
    right->addWidget(lstFileInfo, row++, 0, 1, 4);

    Command5 = button(central, "Command5", "Play before start -->");
    Text4 = text_box(central, "Text4", "2", 40);
    Label1 = label(central, "Label1", "sec.");
    Text5 = text_box(central, "Text5", "", 70);
    Text5->setReadOnly(true);
    right->addWidget(Command5, row, 0);
    right->addWidget(Text4, row, 1);
    right->addWidget(Label1, row, 2);
    right->addWidget(Text5, row++, 3);
    Label4 = label(central, "Label4", "Loop");
    txtStartLoop = text_box(central, "txtStartLoop", "1", 40);
    right->addWidget(Label4, row, 0, Qt::AlignRight);
    right->addWidget(txtStartLoop, row++, 1);

    Command7 = button(central, "Command7", "Play before end -->");
    Text7 = text_box(central, "Text7", "5", 40);
    Label2 = label(central, "Label2", "sec.");
    right->addWidget(Command7, row, 0);
    right->addWidget(Text7, row, 1);
    right->addWidget(Label2, row++, 2);
    txtEndLoop = text_box(central, "txtEndLoop", "1", 40);
    Label6 = label(central, "Label6", "and then continue");
    right->addWidget(txtEndLoop, row, 1);
    right->addWidget(Label6, row++, 2, 1, 2);
    cbPlayAfter = new QCheckBox(central);
    cbPlayAfter->setObjectName("cbPlayAfter");
    right->addWidget(cbPlayAfter, row++, 0, 1, 4);
    cbFullScreen =
        new QCheckBox("Play using Full Screen, ESC returns Click Mouse to repeat Play", central);
    cbFullScreen->setObjectName("cbFullScreen");
    right->addWidget(cbFullScreen, row++, 0, 1, 4);
    cmdPlayAndPause = button(central, "cmdPlayAndPause", "Play to end, pause, continue");
    right->addWidget(cmdPlayAndPause, row++, 0, 1, 4);

    cmdMarkStart = button(central, "cmdMarkStart", "Use displayed frame to measure jump");
    btnGoToSetup = button(central, "btnGoToSetup", "Use displayed frame to set up Grid");
    cmdGoToCapture = button(central, "cmdGoToCapture", "Go To Record Next Jump Pass");
    cmdGoToSetup = button(central, "cmdGoToSetup", "Go Back To Main Screen");
    cmdViewLog = button(central, "cmdViewLog", "View Log File");
    for (QPushButton* b : {cmdMarkStart, btnGoToSetup, cmdGoToCapture, cmdGoToSetup, cmdViewLog})
        right->addWidget(b, row++, 0, 1, 4);

    Label10 = label(central, "Label10", "Disk Space Available ");
    lblDiskSpace = label(central, "lblDiskSpace", "");
    right->addWidget(Label10, row, 0, 1, 2);
    right->addWidget(lblDiskSpace, row++, 2, 1, 2);
    Label11 = label(central, "Label11", "Warning! Disk Space Low");
    Label11->setStyleSheet("color: red; font-weight: bold;");
    Label11->setVisible(false);
    right->addWidget(Label11, row++, 0, 1, 4);
    Label9 = label(central, "Label9", "Barefoot Mode");
    Label9->setStyleSheet("font-weight: bold;");
    Label9->setVisible(false);
    right->addWidget(Label9, row++, 0, 1, 4);

    // The last key codes seen, for checking a keyboard or a remote.
    Label7 = label(central, "Label7", "key test");
    Label8 = label(central, "Label8", "Key Down");
    Label12 = label(central, "Label12", "media key");
    Text1 = text_box(central, "Text1", "", 50);
    Text2 = text_box(central, "Text2", "", 50);
    Text3 = text_box(central, "Text3", "", 50);
    Text8 = text_box(central, "Text8", "", 50);
    for (QLineEdit* t : {Text1, Text2, Text3, Text8}) {
        t->setReadOnly(true);
        t->setFocusPolicy(Qt::NoFocus);
    }
    auto* keys = new QHBoxLayout;
    keys->addWidget(Label7);
    keys->addWidget(Text1);
    keys->addWidget(Label8);
    keys->addWidget(Text2);
    keys->addWidget(Text3);
    keys->addWidget(Label12);
    keys->addWidget(Text8);
    right->addLayout(keys, row++, 0, 1, 4);
    right->setRowStretch(row, 1);
    outer->addLayout(right, 2);
    setCentralWidget(central);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setSingleShot(true);  // every tick stops the timer first
    Timer2 = new QTimer(this);
    Timer2->setObjectName("Timer2");
    Timer2->setInterval(100);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(Command7, &QPushButton::clicked, this, [this] { Command7_Click(); });
    connect(cmdPlayAndPause, &QPushButton::clicked, this, [this] { cmdPlayAndPause_Click(); });
    connect(cmdMarkStart, &QPushButton::clicked, this, [this] { cmdMarkStart_Click(); });
    connect(btnGoToSetup, &QPushButton::clicked, this, [this] { btnGoToSetup_Click(); });
    connect(cmdGoToCapture, &QPushButton::clicked, this, [this] { cmdGoToCapture_Click(); });
    connect(cmdGoToSetup, &QPushButton::clicked, this, [this] { cmdGoToSetup_Click(); });
    connect(cmdViewLog, &QPushButton::clicked, this, [this] { cmdViewLog_Click(); });
    connect(cbFullScreen, &QCheckBox::clicked, this, [this] { cbFullScreen_Click(); });
    connect(cbPlayAfter, &QCheckBox::clicked, this, [this] { cbPlayAfter_Click(); });
    connect(Text4, &QLineEdit::textChanged, this, [this] { Text4_Change(); });
    connect(Text7, &QLineEdit::textChanged, this, [this] { Text7_Change(); });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    connect(Timer2, &QTimer::timeout, this, [this] { Timer2_Timer(); });
    connect(MediaPlayer1, &FramePlayerWidget::keyDown, this,
            [this](int code) { MediaPlayer1_KeyDown(code); });
    // Text9 and the slider follow the picture on screen, not a position the
    // picture has not caught up with.
    connect(MediaPlayer1, &FramePlayerWidget::shownFrameChanged, this, [this] { show_position(); });
    connect(MediaPlayer1, &FramePlayerWidget::positionChanged, this,
            [this](qint64 frame) { sldFrames->showFrame(frame); });
    connect(sldFrames, &FrameSliderWidget::frameDragged, this,
            [this](qint64 frame) { sldFrames_Scroll(frame); });
    connect(sldFrames, &FrameSliderWidget::frameChosen, this,
            [this](qint64 frame) { sldFrames_Change(frame); });
    connect(Text9, &QLineEdit::returnPressed, this, [this] { Text9_Enter(); });
}

// --- Load, set-up by navigation state, focus ----------------------------------

void frmSetStart::Form_Load() {
    if (Text6->text().isEmpty()) {
        Command5->setEnabled(false);
        Command7->setEnabled(false);
        cmdMarkStart->setEnabled(false);
        btnGoToSetup->setEnabled(false);
    }
    values_.marking = false;
    values_.before_start = false;
    values_.start_taken = false;
    Label5->setText(kSelectStart);
    // Replays before the end are not offered on this screen's face.
    for (QWidget* w : std::initializer_list<QWidget*>{Command7, cmdPlayAndPause, Text7, Label2,
                                                      Label6, cbFullScreen})
        w->setVisible(false);
}

void frmSetStart::Form_Paint() {
    if (view_done_ && app_.shared().navigation_state == "View")
        return;
    app_.WriteDebugLog("SetStart Form painted");
    Timer2->start();
    show_disk_space();
    SharedValues& shared = app_.shared();
    const std::string state = shared.navigation_state;
    if (state == "Capture") {
        set_up_capture();
    } else if (state == "Setup" || state == "CaptureGoToTimer") {
        Text6->clear();
    } else if (state == "View") {
        set_up_view();
    }
    // Back with no video: the previous one is not shown nor offered to
    // take; back with one: the file under it is checked.
    if (Text6->text().isEmpty())
        clear_video();
    else if (MediaPlayer1->video() && !MediaPlayer1->videoUnchanged())
        load_player(s(Text6->text()));
    Label9->setVisible(barefoot());
}

void frmSetStart::Form_GotFocus() {
    Timer2->start();
    // The log viewer opens over this screen and hands it a video when it
    // closes: the screen is already showing, so it is set up as it comes
    // back to the front.
    if (isVisible() && !view_done_ && app_.shared().navigation_state == "View")
        Form_Paint();
}

void frmSetStart::Form_LostFocus() {
    Timer2->stop();
}

void frmSetStart::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The screen that shows this one sets the navigation state around its
    // show(): the set-up waits until that handler has finished.
    if (!event->spontaneous())
        QTimer::singleShot(0, this, [this] {
            if (isVisible())
                Form_Paint();
        });
}

void frmSetStart::hideEvent(QHideEvent* event) {
    if (!event->spontaneous()) {
        // A hidden screen takes no keys and plays nothing; a replay that was
        // running is over.
        Timer1->stop();
        Timer2->stop();
        MediaPlayer1->stop();
        values_.before_start = false;
        values_.before_end = false;
        values_.after_end = false;
        // The next video chosen in the log viewer is set up again.
        view_done_ = false;
    }
    QMainWindow::hideEvent(event);
}

void frmSetStart::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow())
            Form_GotFocus();
        else
            Form_LostFocus();
    }
    QMainWindow::changeEvent(event);
}

void frmSetStart::keyPressEvent(QKeyEvent* event) {
    const int code = FramePlayerWidget::keyCode(*event);
    Text1->setText(q(signed_number(code)));
    Text2->setText(q(signed_number(code)));
    QMainWindow::keyPressEvent(event);
}

void frmSetStart::closeEvent(QCloseEvent* event) {
    // The screen lives as long as the program; closing its window is going
    // back to the main screen.
    event->ignore();
    cmdGoToSetup_Click();
}

bool frmSetStart::barefoot() const {
    return app_.main_form().cb15->isChecked();
}

// --- The video ---------------------------------------------------------------

std::int64_t frmSetStart::position() const {
    return MediaPlayer1->currentPosition();
}

void frmSetStart::show_position() {
    // The operator is typing a frame number: it is not overwritten.
    if (Text9->hasFocus() && Text9->isModified())
        return;
    if (!MediaPlayer1->video()) {
        Text9->clear();
        return;
    }
    const std::int64_t shown = MediaPlayer1->shownFrame();
    const std::int64_t frame = shown >= 0 ? shown : position();
    Text9->setText(q(signed_number(static_cast<double>(frame))));
    Text9->setModified(false);
}

void frmSetStart::show_marks() {
    sldFrames->setMark("start", values_.start_taken ? values_.start_frame : -1, QColor(0, 170, 0));
    sldFrames->setMark("contact", contact_frame_, QColor(220, 0, 0));
}

void frmSetStart::load_player(const std::string& path) {
    // A file recorded again or replaced under the same name is a new video:
    // nothing of the old one is shown or taken.
    const bool same =
        MediaPlayer1->fileName() == path && (path.empty() || MediaPlayer1->videoUnchanged());
    if (!same) {
        if (!MediaPlayer1->setFileName(path)) {
            const std::string& why = MediaPlayer1->lastError();
            app_.WriteDebugLog("Video not shown: " + why);
            if (why.find(kNoDecoderText) != std::string::npos) {
                app_.dialogs().ok("No suitable decompressor found for this video stream!",
                                  MsgIcon::Information);
            } else {
                app_.dialogs().ok("The video cannot be shown:" + std::string(kCrLf) + path,
                                  MsgIcon::Exclamation);
            }
        }
        video_loaded();
    }
    if (!path.empty())
        MediaPlayer1->stop();
}

// The slider, the frame number and the word on the video's frames for the
// video the player has just opened (or for none).
void frmSetStart::video_loaded() {
    sldFrames->setFrameCount(MediaPlayer1->frameCount());
    contact_frame_ = -1;
    show_marks();
    show_position();
    const VideoFile* video = MediaPlayer1->video();
    const std::string problem = video ? video->problem() : std::string();
    lblVideoProblem->setText(q(problem.empty() ? "" : "Damaged video: " + problem));
    lblVideoProblem->setVisible(!problem.empty());
    if (!problem.empty())
        app_.WriteDebugLog("Video " + video->path() + ": " + problem);
}

// No video: nothing shown, nothing to take.
void frmSetStart::clear_video() {
    Text6->clear();
    load_player("");
    lstFileInfo->clear();
    for (QPushButton* b : {Command5, Command7, cmdMarkStart, btnGoToSetup})
        b->setEnabled(false);
}

// The file under the player's video was recorded again or replaced: it is
// opened afresh (at the frame where the operator was) and the operator is
// told. False when nothing changed.
bool frmSetStart::reload_if_changed() {
    if (!MediaPlayer1->video() || MediaPlayer1->videoUnchanged())
        return false;
    const std::string path = MediaPlayer1->fileName();
    const std::int64_t at = position();
    app_.WriteDebugLog("Video changed on disk, opened again: " + path);
    load_player(path);
    MediaPlayer1->setCurrentPosition(at);
    app_.dialogs().ok(
        "The video file has changed since it was opened and was opened again. Check "
        "the frame before taking it:" +
            std::string(kCrLf) + path,
        MsgIcon::Exclamation);
    return true;
}

void frmSetStart::read_video_values(const std::string& path) {
    AviFileInfoRecord record;
    if (ReadAviFileInfo(path, record, app_.dialogs())) {
        values_.frame_rate = avi_frame_rate(record.dwRate, record.dwScale);
        values_.video_length = record.dwLength;
    } else {
        values_.frame_rate = 0;
        values_.video_length = 0;
    }
    lstFileInfo->clear();
    for (const std::string& line : describe_avi_lines(path, record))
        lstFileInfo->addItem(q(line));
}

void frmSetStart::show_sidecar_warning(const std::string& path, bool contact_frame) {
    if (auto sidecar = read_info_sidecar(path)) {
        app_.dialogs().message({already_measured_message(*sidecar, contact_frame), MsgButtons::Ok,
                                MsgIcon::None, kAlreadyMeasuredTitle, false});
    }
}

void frmSetStart::open_video() {
    FileRequest request;
    request.title = "Open";
    request.filter = "*.avi|*.avi|";
    request.initial_folder = app_.shared().video_folder;
    const std::optional<std::string> chosen = app_.dialogs().open_file(request);
    if (chosen && !chosen->empty()) {
        const std::string& path = *chosen;
        if (!IsAviFile(path, app_.dialogs())) {
            app_.dialogs().ok("Not a valid avi file", MsgIcon::Exclamation);
        } else {
            Text6->setText(q(path));
            show_sidecar_warning(path, false);
            Command5->setEnabled(true);
            Command7->setEnabled(false);
            cmdMarkStart->setEnabled(true);
            btnGoToSetup->setEnabled(true);
            values_.start_taken = false;
            Label5->setText(kSelectStart);
            read_video_values(path);
        }
    }
    MediaPlayer1->giveFocus();
}

void frmSetStart::reset_replay_controls() {
    values_.marking = false;
    for (QWidget* w : std::initializer_list<QWidget*>{Command7, cmdPlayAndPause, Text7, Label2,
                                                      Label6, cbPlayAfter})
        w->setVisible(false);
    cmdMarkStart->setVisible(true);
}

void frmSetStart::Command6_Click() {
    open_video();
    load_player(s(Text6->text()));
    reset_replay_controls();
}

void frmSetStart::set_up_capture() {
    SharedValues& shared = app_.shared();
    CaptureValues& capture = shared.capture;
    shared.navigation_state.clear();
    capture_handled_ = true;
    Text6->setText(q(capture.video_path));

    if (capture.name_changed) {
        capture.name_changed = false;
        const std::string captured = s(Text6->text());
        const RenameDecision d =
            decide_capture_rename(app_.dialogs(), shared.video_folder, captured, capture.skier_name,
                                  [](const std::string& path) { return FileExists(path); });
        std::string error;
        if (!d.move || move_video_file(captured, d.new_path, &error)) {
            Text6->setText(q(d.new_path));
            capture.video_path = d.new_path;
            capture.skier_name = d.name;
            capture.pass = "2";
        } else {
            // The video stays where it was recorded, under the name the
            // capture screen gave it.
            app_.WriteDebugLog("Video not renamed: " + error);
            app_.dialogs().ok("The video could not be renamed and keeps its name:" +
                                  std::string(kCrLf) + captured,
                              MsgIcon::Exclamation);
        }
    }

    load_player(s(Text6->text()));
    reset_replay_controls();
    Command5->setEnabled(true);
    cmdMarkStart->setEnabled(true);
    btnGoToSetup->setEnabled(true);

    if (capture.start_frame > 0) {
        values_.start_frame = static_cast<std::int64_t>(round_half_even(capture.start_frame));
        contact_frame_ = values_.start_frame;
        show_marks();
        MediaPlayer1->setCurrentPosition(values_.start_frame);
        show_position();
        values_.before_start = false;
        values_.start_taken = false;
        Label5->setText(kSelectStart);
    }
    values_.frame_rate = capture.frame_rate;
    values_.video_length = static_cast<std::int64_t>(round_half_even(capture.length));
    values_.frames_to_end = frames_to_end(values_.frame_rate, barefoot());
}

void frmSetStart::set_up_view() {
    view_done_ = true;
    const std::string path = app_.shared().current_video_path;
    Text6->setText(q(path));
    load_player(path);
    show_sidecar_warning(path, true);
    read_video_values(path);
    Command5->setEnabled(true);
    Command7->setEnabled(false);
    cmdMarkStart->setEnabled(true);
    btnGoToSetup->setEnabled(true);
    values_.start_taken = false;
    Label5->setText(kSelectContact);
    reset_replay_controls();
    Command1->setEnabled(true);
    Command4->setEnabled(true);
    MediaPlayer1->giveFocus();
}

void frmSetStart::show_disk_space() {
    const std::string& folder = app_.shared().video_folder;
    Label10->setText(q("Disk Space Available " + disk_space_place(folder)));
    const std::optional<std::uintmax_t> bytes = free_space ? free_space(folder) : std::nullopt;
    if (!bytes)
        app_.WriteDebugLog("Free disk space unknown for " + folder);
    // Space that cannot be asked for is shown as none: the warning stays up.
    const std::uintmax_t free_bytes = bytes.value_or(0);
    lblDiskSpace->setText(q(disk_space_text(free_bytes)));
    Label11->setVisible(disk_space_low(free_bytes));
}

// --- Stepping --------------------------------------------------------------------

void frmSetStart::Command1_Click() {
    if (auto back = frame_back(position()))
        MediaPlayer1->setCurrentPosition(*back);
    show_position();
}

void frmSetStart::Command4_Click() {
    MediaPlayer1->setCurrentPosition(position() + 1);
    show_position();
}

void frmSetStart::sldFrames_Scroll(std::int64_t frame) {
    // Pictures already prepared are shown as the handle passes them.
    MediaPlayer1->setCurrentPosition(frame);
}

void frmSetStart::sldFrames_Change(std::int64_t frame) {
    MediaPlayer1->setCurrentPosition(frame);
    show_position();
}

void frmSetStart::Text9_Enter() {
    const std::string typed = s(Text9->text());
    Text9->setModified(false);
    const double n = text_to_number(typed);
    if (MediaPlayer1->video() && typed.find_first_of("0123456789") != std::string::npos && n >= 0 &&
        n == std::floor(n))
        MediaPlayer1->setCurrentPosition(static_cast<std::int64_t>(n));
    show_position();
    MediaPlayer1->giveFocus();
}

void frmSetStart::Timer2_Timer() {
    KeyboardState& keys = app_.keyboard();
    // Both keys are asked every poll, so a press of a disabled button's key
    // is answered (by nothing) rather than saved for later.
    const bool back = keys.take_step(Key::Left);
    const bool forward = keys.take_step(Key::Right);
    if (back && Command1->isEnabled())
        Command1_Click();
    if (forward && Command4->isEnabled())
        Command4_Click();
}

void frmSetStart::MediaPlayer1_KeyDown(int key_code) {
    Text3->setText(q(signed_number(key_code)));
    Text8->setText(q(signed_number(key_code)));
    if (key_code == 102)
        Command4_Click();
    else if (key_code == 100)
        Command1_Click();
}

void frmSetStart::Text4_Change() {
    if (auto limited = limit_seconds_text(s(Text4->text()), kBeforeStartMin, kBeforeStartMax)) {
        Text4->setText(q(*limited));
        // The next key typed replaces the limit rather than adding to it.
        Text4->selectAll();
    }
}

void frmSetStart::Text7_Change() {
    if (auto limited = limit_seconds_text(s(Text7->text()), kBeforeEndMin, kBeforeEndMax)) {
        Text7->setText(q(*limited));
        Text7->selectAll();
    }
}

// --- Replays -------------------------------------------------------------------

ReplayInputs frmSetStart::replay_inputs() const {
    ReplayInputs in;
    in.position = static_cast<double>(position());
    in.seconds_before_start = text_to_number(s(Text4->text()));
    in.start_loops = text_to_number(s(txtStartLoop->text()));
    in.seconds_before_end = text_to_number(s(Text7->text()));
    in.end_loops = text_to_number(s(txtEndLoop->text()));
    in.full_screen = cbFullScreen->isChecked();
    in.play_after = cbPlayAfter->isChecked();
    in.barefoot = barefoot();
    return in;
}

void frmSetStart::carry_out(const ReplayOrder& order) {
    if (order.uncheck_play_after)
        cbPlayAfter->setChecked(false);
    if (order.disable_mark)
        cmdMarkStart->setEnabled(false);
    if (order.text5)
        Text5->setText(q(*order.text5));
    if (order.message) {
        app_.dialogs().message(
            {*order.message, MsgButtons::Ok, MsgIcon::None, kTooShortTitle, false});
        return;
    }
    if (order.display_size)
        MediaPlayer1->setDisplaySize(*order.display_size);
    if (order.selection) {
        MediaPlayer1->setSelectionStart(order.selection->first);
        MediaPlayer1->setSelectionEnd(order.selection->second);
    }
    if (order.timer_ms)
        Timer1->start(*order.timer_ms);
    if (order.play)
        MediaPlayer1->play();
    switch (order.focus) {
        case ReplayFocus::None:
            break;
        case ReplayFocus::Player:
            if (MediaPlayer1->displaySize() != 3)
                MediaPlayer1->giveFocus();
            break;
        case ReplayFocus::PlayBeforeStart:
            Command5->setFocus();
            break;
        case ReplayFocus::PlayBeforeEnd:
            Command7->setFocus();
            break;
        case ReplayFocus::PlayAndPause:
            cmdPlayAndPause->setFocus();
            break;
    }
}

void frmSetStart::Command5_Click() {
    if (auto order = values_.play_before_start(replay_inputs()))
        carry_out(*order);
    show_marks();
}

void frmSetStart::Command7_Click() {
    if (auto order = values_.play_before_end(replay_inputs()))
        carry_out(*order);
    show_marks();
}

void frmSetStart::cmdPlayAndPause_Click() {
    cbPlayAfter->setChecked(true);
    Command7_Click();
}

void frmSetStart::Timer1_Timer() {
    Timer1->stop();
    carry_out(values_.tick(replay_inputs()));
}

void frmSetStart::cbFullScreen_Click() {
    MediaPlayer1->giveFocus();
}

void frmSetStart::cbPlayAfter_Click() {
    if (!cbFullScreen->isChecked())
        MediaPlayer1->giveFocus();
}

// --- Taking the frame ------------------------------------------------------------

void frmSetStart::take_frame() {
    SharedValues& shared = app_.shared();
    const bool for_setup = for_setup_;
    // The set-up button's choice holds for this frame only.
    for_setup_ = false;
    if (reload_if_changed())
        return;
    // The frame on the screen at the click: the picture shown, which may
    // lag a position the decoder has not caught up with yet.
    const std::int64_t shown = MediaPlayer1->shownFrame();
    const std::int64_t seen = shown >= 0 ? shown : position();
    const std::int64_t frame = values_.take_frame(static_cast<double>(seen));
    MediaPlayer1->stop();
    if (position() != frame)
        MediaPlayer1->setCurrentPosition(frame);
    // The picture already decoded for the screen is the one written; only a
    // frame not on screen (the first frames are never taken) is decoded,
    // and shown before it is taken.
    std::string why;
    const FramePtr picture = MediaPlayer1->video() ? MediaPlayer1->showPositionNow(&why) : nullptr;
    show_marks();
    shared.current_video_path = MediaPlayer1->fileName();
    shared.current_frame_number = frame;
    app_.WriteDebugLog("Frame " + signed_number(static_cast<double>(frame)) + " Selected in " +
                       shared.current_video_path);
    ExtractOutcome outcome;
    if (picture) {
        outcome =
            TakePictureToBitmap(*picture, shared.current_video_path, frame, app_.paths().app_folder,
                                app_.files(), app_.dialogs(), &app_.debug_log());
    } else {
        // Nothing to show: the extraction says why, in the operator's words.
        const VideoOpener opener = [this](const std::string& path, std::string* error) {
            VideoFile* open = MediaPlayer1->video();
            if (open && path == MediaPlayer1->fileName())
                return std::unique_ptr<VideoFile>(std::make_unique<BorrowedVideo>(*open));
            return VideoFile::open(path, error);
        };
        outcome = ExtractFrameToBitmap(shared.current_video_path, frame, app_.paths().app_folder,
                                       app_.files(), app_.dialogs(), &app_.debug_log(), opener);
    }
    if (outcome != ExtractOutcome::Written) {
        // "currentcapture.bmp" still holds an earlier picture: measuring it
        // would give this jump another jump's distance. The operator was told
        // why and stays here.
        return;
    }
    shared.navigation_state = "SelectFrame";
    const bool grids_complete = app_.grids().complete == 1.0;
    if (grids_complete && !for_setup) {
        leave_for(app_.measure());
        return;
    }
    if (!grids_complete) {
        app_.dialogs().ok(
            "One or more grids are not configured.  You may not use the Measure Screen until all "
            "listed grids are configured",
            MsgIcon::Exclamation);
    }
    leave_for(app_.grid_setup());
}

void frmSetStart::leave_for(QMainWindow& screen) {
    hide();
    screen.show();
}

void frmSetStart::cmdMarkStart_Click() {
    take_frame();
}

void frmSetStart::btnGoToSetup_Click() {
    if (!app_.dialogs().ask_yes_no("Are you sure you want to go to Setup Screen?", kProgramTitle,
                                   MsgIcon::None, true))
        return;
    for_setup_ = true;
    take_frame();
}

// --- Leaving -------------------------------------------------------------------

void frmSetStart::cmdGoToCapture_Click() {
    if (!app_.dialogs().ask_yes_no("Are you sure you want to go to Capture Screen?", kProgramTitle,
                                   MsgIcon::None, true))
        return;
    Command1->setEnabled(true);
    Command4->setEnabled(true);
    Timer2->stop();
    app_.shared().capture.focus_start = true;
    app_.preview_form().show();
    hide();
    app_.shared().navigation_state = "Timer";
}

void frmSetStart::cmdGoToSetup_Click() {
    if (!app_.dialogs().ask_yes_no("Are you sure you want to go to Main Screen?", kProgramTitle,
                                   MsgIcon::None, true))
        return;
    Command1->setEnabled(true);
    Command4->setEnabled(true);
    Timer2->stop();
    app_.main_form().show();
    hide();
    app_.shared().navigation_state = "Timer";
}

void frmSetStart::cmdViewLog_Click() {
    view_done_ = false;
    app_.log_view().show();
    app_.log_view().raise();
}

}  // namespace rs
