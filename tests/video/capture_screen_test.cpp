// The capture screen driven through its controls over a scripted capture
// device, and one real recording from the built-in test source handed to
// the frame selection screen.

#include "video/capture_screen.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <chrono>
#include <filesystem>
#include <thread>

#include "app/app.h"
#include "app/main_screen.h"
#include "grid/grid_setup_screen.h"
#include "platform/ffmpeg_capture_device.h"
#include "platform/frame_player_widget.h"
#include "tests/support/press.h"
#include "tests/support/test_app.h"
#include "video/dib.h"
#include "video/frame_selection_screen.h"

namespace rs {
namespace {

using test::TestApp;

void settle() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

class CaptureScreen : public ::testing::Test {
  protected:
    TestApp t;
    App* app = nullptr;
    PreviewForm* f = nullptr;

    void SetUp() override {
        app = &t.started();
        t.dialogs.clear();
        app->main_form().EdtRate->setText("30");
        f = &app->preview_form();
    }
    std::string video(const std::string& name) const { return t.video_folder + "/" + name; }
    void open_from_main() {
        test::press(app->main_form(), "cmdGoCapture");
        settle();
    }
};

TEST_F(CaptureScreen, LoadsWithTheStoredTimeAndTheFirstNameOfTheSkierList) {
    EXPECT_EQ(f->windowTitle(), "Rampsight 2005 Capture Screen");
    EXPECT_EQ(f->captureTimeValue->currentText(), "5.0");
    EXPECT_EQ(t.reopen_settings().get("captureTime", ""), "5");
    EXPECT_EQ(f->txtSkierName->text(), "Skier Name");
    EXPECT_EQ(f->txtPass->text(), "1");
    for (const char* name : {"CapturePRO1",   "cmdSelect",     "btnGetName",
                             "Label2",        "Label9",        "cmdStartCapture",
                             "cmdStartTimer", "cmdEndCapture", "btnCaptureFrame",
                             "cmdGoToTimer",  "cmdGoSetup",    "captime",
                             "Label7",        "LblFrame",      "Label5",
                             "LblFrmDrop",    "Label6",        "lblStartFrame",
                             "Label4",        "Label3",        "Text1"})
        EXPECT_TRUE(f->findChild<QWidget*>(name)) << name;
    EXPECT_EQ(f->Label3->text(), "Hit ESC to stop recording");
    EXPECT_FALSE(f->cmdStartTimer->isEnabled());
    EXPECT_FALSE(f->cmdEndCapture->isEnabled());

    test::choose(f->captureTimeValue, 3);
    EXPECT_EQ(f->capture_time(), 6);
    EXPECT_EQ(f->captime->text(), " 6");
    EXPECT_EQ(t.reopen_settings().get("captureTime", ""), "6");

    // A new run: the stored time, and the list's first line turned round.
    TestApp t2;
    test::spit(t2.app_folder + "/SkierNames.txt", "Smith,John\r\nJones,Ann\r\n");
    (void)t2.settings->save("captureTime", "4");
    PreviewForm& g = t2.started().preview_form();
    EXPECT_EQ(g.captureTimeValue->currentText(), "4.0");
    EXPECT_EQ(g.txtSkierName->text(), "John Smith");
}

TEST_F(CaptureScreen, OpenedFromTheMainScreenRaisesThePassPastExistingFiles) {
    f->txtSkierName->setText("Smith");
    f->txtPass->setText("2");
    test::spit(video("Smithjump2.avi"), "x");
    test::spit(video("Smithjump3.avi"), "x");
    open_from_main();
    EXPECT_EQ(f->txtPass->text(), " 4");
    ASSERT_EQ(t.dialogs.prompts().size(), 2u);
    EXPECT_EQ(t.dialogs.prompts()[0].title, "Duplicate File Warning");
    EXPECT_EQ(t.dialogs.prompts()[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(t.dialogs.prompts()[1].title, "Possible Name Change Warning");
    EXPECT_EQ(t.dialogs.prompts()[1].text,
              "Warning, the jump number is greater than 3.  You may need to change the skier "
              "name");
    EXPECT_EQ(app->shared().navigation_state, "");
    EXPECT_TRUE(app->shared().capture.focus_start);
    EXPECT_EQ(QApplication::focusWidget() == f->cmdStartCapture || !f->isActiveWindow(), true);
    EXPECT_NE(t.debug_log().find("Capture Video Form Activated"), std::string::npos);

    // Back from the main screen without files in the way: nothing asked.
    f->cmdGoSetup->click();
    EXPECT_EQ(app->shared().navigation_state, "Capture");
    EXPECT_FALSE(app->shared().capture.focus_start);
    EXPECT_TRUE(app->main_form().isVisible());
    EXPECT_FALSE(f->isVisible());
}

TEST_F(CaptureScreen, NameRulesReplaceCommasAndInvalidCharactersWithTheirMessages) {
    f->txtPass->setText("3");
    f->txtSkierName->setText("Smith, John");
    EXPECT_EQ(f->txtSkierName->text(), "Smith  John");
    EXPECT_EQ(f->txtPass->text(), "1");
    ASSERT_EQ(t.dialogs.prompts().size(), 1u);
    EXPECT_EQ(t.dialogs.last().text, "Sorry, you cannot use the \",\" character in this box");
    EXPECT_EQ(t.dialogs.last().title, "Input Error");
    EXPECT_EQ(t.dialogs.last().icon, MsgIcon::None);

    t.dialogs.clear();
    f->txtSkierName->setText("Ann\tLee/2");
    EXPECT_EQ(f->txtSkierName->text(), "Ann_Lee_2");
    EXPECT_EQ(t.dialogs.messages(),
              (std::vector<std::string>{"replacing invalid character in name",
                                        "replacing invalid character in name"}));
    EXPECT_EQ(app->shared().capture.skier_name, "Ann_Lee_2");
}

TEST_F(CaptureScreen, AFileInTheWayGivesTheNameAnXAndContactBecomesAFrameOfTheFile) {
    test::ScriptedCaptureDevice& d = t.capture;
    d.device_names = {"Cam"};
    d.processed = 500;
    f->txtSkierName->setText("Smith");
    f->txtPass->setText("2");
    test::spit(video("Smithjump2.avi"), "x");
    f->cmdStartCapture->click();
    EXPECT_EQ(d.stream_file, video("SmithXjump1.avi"));
    EXPECT_TRUE(d.is_connected);
    EXPECT_EQ(f->txtSkierName->text(), "SmithX");
    EXPECT_EQ(f->txtPass->text(), "1");
    EXPECT_FALSE(f->Label4->isHidden());
    EXPECT_EQ(f->Label4->text(),
              "WARNING! Skier Name has been changed to SmithX to prevent duplicate files");
    EXPECT_TRUE(app->shared().capture.name_changed);
    EXPECT_TRUE(f->recording());
    EXPECT_FALSE(f->cmdStartCapture->isEnabled());
    EXPECT_FALSE(f->btnCaptureFrame->isEnabled());
    EXPECT_FALSE(f->cmdGoToTimer->isEnabled());
    EXPECT_FALSE(f->cmdGoSetup->isEnabled());
    EXPECT_TRUE(f->cmdStartTimer->isEnabled());
    EXPECT_TRUE(f->cmdEndCapture->isEnabled());
    EXPECT_TRUE(f->Timer40->isActive());
    EXPECT_EQ(f->lblStartFrame->text(), " ");

    d.processed = 600;
    f->cmdStartTimer->click();
    EXPECT_EQ(f->lblStartFrame->text(), " 600");
    d.processed = 650;
    // Closing the window while recording keeps recording.
    QCloseEvent close;
    QApplication::sendEvent(f, &close);
    EXPECT_TRUE(f->recording());
    f->cmdEndCapture->click();
    const CaptureValues& c = app->shared().capture;
    EXPECT_EQ(c.start_frame, 100);
    EXPECT_EQ(c.length, 150);
    EXPECT_EQ(c.frame_rate, 30);
    EXPECT_EQ(c.video_path, video("SmithXjump1.avi"));
    EXPECT_EQ(f->LblFrame->text(), " 150");
    EXPECT_EQ(f->txtPass->text(), " 2");
    EXPECT_EQ(app->shared().navigation_state, "Capture");
    EXPECT_FALSE(f->isVisible());
    EXPECT_EQ(d.calls.back(), "stop_capture");
    const std::string log = t.debug_log();
    for (const char* line :
         {"Start Capture", "Capture File: ", "Frames Processed (at start of capture):  500",
          "Frames Processed (at impact point):  600", "Capture Complete", "videolength:  150",
          "startingFrame:  100"})
        EXPECT_NE(log.find(line), std::string::npos) << line;
    EXPECT_TRUE(f->cmdStartCapture->isEnabled());
    EXPECT_TRUE(f->btnCaptureFrame->isEnabled());
    EXPECT_FALSE(f->cmdEndCapture->isEnabled());
}

TEST_F(CaptureScreen, WithoutContactTheMiddleOfTheRecordingIsHandedOver) {
    t.capture.device_names = {"Cam"};
    f->txtSkierName->setText("Jones");
    f->cmdStartCapture->click();
    ASSERT_TRUE(f->recording());
    for (int second = 1; second <= 4; ++second) {
        t.capture.processed = 30 * second;
        f->Timer40_Timer();
        EXPECT_EQ(f->captime->text().toStdString(), " " + std::to_string(5 - second));
        EXPECT_TRUE(f->recording());
    }
    EXPECT_EQ(f->LblFrame->text(), " 120");  // frames of this recording
    t.capture.processed = 150;
    f->Timer40_Timer();
    EXPECT_FALSE(f->recording());
    EXPECT_FALSE(f->Timer40->isActive());
    EXPECT_EQ(f->captime->text(), " 5");
    EXPECT_EQ(app->shared().capture.start_frame, 75);
    EXPECT_EQ(app->shared().capture.length, 150);

    // ESC ends a recording the same way; another key only shows its code.
    app->preview_form().show();
    f->cmdStartCapture->click();
    f->Form_KeyDown(65);
    EXPECT_EQ(f->Text1->text(), "65");
    EXPECT_TRUE(f->recording());
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(f, &esc);
    EXPECT_EQ(f->Text1->text(), "27");
    EXPECT_FALSE(f->recording());
    EXPECT_NE(t.debug_log().find("ESC pressed"), std::string::npos);
    EXPECT_EQ(app->shared().capture.start_frame, 75);
}

TEST_F(CaptureScreen, ARecordingThatCannotStartOrEndsOnItsOwnIsReported) {
    t.capture.device_names = {"Cam"};
    t.capture.start_error = "the disk is full";
    f->cmdStartCapture->click();
    EXPECT_FALSE(f->recording());
    EXPECT_EQ(t.dialogs.last().text, "The recording could not be started: the disk is full");
    EXPECT_TRUE(f->cmdStartCapture->isEnabled());
    EXPECT_TRUE(f->btnCaptureFrame->isEnabled());
    EXPECT_TRUE(f->cmdGoSetup->isEnabled());

    t.capture.start_error.clear();
    f->show();
    f->cmdStartCapture->click();
    ASSERT_TRUE(f->recording());
    t.capture.processed = 40;
    t.capture.is_capturing = false;
    t.capture.last_capture_error = "The capture device stopped during the recording";
    f->previewTimer_Timer();
    EXPECT_FALSE(f->recording());
    EXPECT_EQ(t.dialogs.last().text, "The capture device stopped during the recording");
    EXPECT_EQ(app->shared().capture.length, 40);
    EXPECT_EQ(app->shared().navigation_state, "Capture");
}

TEST_F(CaptureScreen, CaptureFrameTakesAStillOrSaysWhyNot) {
    t.capture.device_names = {"Cam"};
    f->show();
    t.capture.grab_error = "no picture from the capture device";
    f->btnCaptureFrame->click();
    EXPECT_EQ(t.dialogs.last().text,
              "The picture could not be taken: no picture from the capture device");
    EXPECT_TRUE(f->isVisible());

    t.capture.grab_error.clear();
    f->btnCaptureFrame->click();
    EXPECT_EQ(t.capture.still_file, t.app_folder + "/currentcapture.bmp");
    EXPECT_EQ(t.dialogs.last().text,
              "One or more grids are not configured.  You may not use the Measure Screen until "
              "all listed grids are configured");
    EXPECT_TRUE(app->grid_setup().isVisible());
    EXPECT_FALSE(f->isVisible());
}

TEST_F(CaptureScreen, TheFocusedButtonIsGreenAndClosingGoesBackToTheMainScreen) {
    f->show();
    f->activateWindow();
    f->cmdStartCapture->setFocus();
    settle();
    if (QApplication::focusWidget() == f->cmdStartCapture) {
        EXPECT_NE(f->cmdStartCapture->styleSheet().indexOf("0, 255, 0"), -1);
        f->cmdSelect->setFocus();
        settle();
        EXPECT_EQ(f->cmdStartCapture->styleSheet(), "");
        EXPECT_NE(f->cmdSelect->styleSheet().indexOf("0, 255, 0"), -1);
    }
    f->close();
    EXPECT_FALSE(f->isVisible());
    EXPECT_TRUE(app->main_form().isVisible());
    EXPECT_EQ(app->shared().navigation_state, "Capture");
}

// --- A real recording --------------------------------------------------------

void wait(int ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < until) {
        QApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

std::int64_t shown_number(const CaptureDevice& d) {
    std::int64_t n = -1;
    int w = 0, h = 0;
    std::vector<std::uint8_t> bgr;
    return d.latest_frame(&n, &w, &h, &bgr) ? n : -1;
}

// The frame number drawn in the picture the frame selection screen shows.
std::int64_t number_on_frame_selection(App& app) {
    frmSetStart& s = app.set_start();
    VideoFile* v = s.MediaPlayer1->video();
    if (!v)
        return -1;
    FramePtr frame = v->frame(s.MediaPlayer1->currentPosition());
    return frame ? test_source_frame_number(*frame) : -1;
}

TEST(CaptureRecording, TwoSecondsFromTheTestSourceLandOnFrameSelectionAtTheContactFrame) {
    FileWriter files;
    FfmpegCaptureOptions options;
    options.list_cameras = false;
    FfmpegCaptureDevice device(files, nullptr, options);
    TestApp t;
    t.real_capture = &device;
    App& app = t.started();
    app.main_form().EdtRate->setText("30");
    t.dialogs.clear();
    PreviewForm& f = app.preview_form();
    f.txtSkierName->setText("Smith");
    test::press(app.main_form(), "cmdGoCapture");
    settle();
    ASSERT_TRUE(device.connected());
    wait(300);

    f.cmdStartCapture->click();
    ASSERT_TRUE(f.recording()) << (t.dialogs.prompts().empty() ? "" : t.dialogs.last().text);
    wait(1000);
    const std::int64_t before = shown_number(device);
    f.cmdStartTimer->click();
    const std::int64_t after = shown_number(device);
    wait(1000);
    f.cmdEndCapture->click();
    settle();

    const CaptureValues& c = app.shared().capture;
    EXPECT_EQ(c.video_path, t.video_folder + "/Smithjump1.avi");
    EXPECT_GT(c.start_frame, 15);
    EXPECT_GT(c.length, 45);
    frmSetStart& s = app.set_start();
    ASSERT_TRUE(s.isVisible());
    ASSERT_TRUE(s.MediaPlayer1->video());
    EXPECT_EQ(s.MediaPlayer1->video()->frame_count(), static_cast<std::int64_t>(c.length));
    EXPECT_EQ(s.MediaPlayer1->currentPosition(), static_cast<std::int64_t>(c.start_frame));
    // The picture at the contact frame is the first the source made after
    // the picture on show at the press.
    const std::int64_t at_contact = number_on_frame_selection(app);
    EXPECT_GE(at_contact, before + 1);
    EXPECT_LE(at_contact, after + 1);
    const std::int64_t first_video_number = at_contact - static_cast<std::int64_t>(c.start_frame);

    // A reride: the first video is deleted and the pass recorded again
    // under the same name. Frame selection shows the new video.
    std::filesystem::remove(c.video_path);
    s.hide();
    f.txtPass->setText("1");
    f.show();
    settle();
    f.cmdStartCapture->click();
    ASSERT_TRUE(f.recording());
    EXPECT_EQ(device.stream_file_name(), t.video_folder + "/Smithjump1.avi");
    wait(700);
    f.cmdEndCapture->click();
    settle();
    ASSERT_TRUE(s.isVisible());
    ASSERT_TRUE(s.MediaPlayer1->video());
    EXPECT_EQ(s.MediaPlayer1->video()->frame_count(), static_cast<std::int64_t>(c.length));
    // No contact: the middle of 5 s at 30 frames per second.
    EXPECT_EQ(c.start_frame, 75);
    s.MediaPlayer1->setCurrentPosition(0);
    const std::int64_t first = number_on_frame_selection(app);
    EXPECT_GT(first, first_video_number + static_cast<std::int64_t>(c.length));
}

}  // namespace
}  // namespace rs
