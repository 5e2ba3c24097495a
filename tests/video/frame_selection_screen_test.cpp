#include "video/frame_selection_screen.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <filesystem>

#include "app/app.h"
#include "app/log_view.h"
#include "app/main_screen.h"
#include "grid/grid_setup_screen.h"
#include "measure/measure_screen.h"
#include "platform/frame_player_widget.h"
#include "platform/frame_slider_widget.h"
#include "tests/platform/avi_edit.h"
#include "tests/platform/dv_and_field_avi.h"
#include "tests/platform/test_videos.h"
#include "tests/support/press.h"
#include "tests/support/test_app.h"
#include "video/capture_screen.h"

namespace rs {
namespace {

using test::PromptKind;
using test::TestApp;

constexpr int kFrames = 40;

// One generated jump video for the whole suite (MJPEG in AVI, 30 frames per
// second, each frame marked with its number), copied into each test's video
// folder.
const std::string& suite_video() {
    static test::TempDir dir;
    static const std::string path = [] {
        std::string p = dir.file("jump.avi");
        test::VideoSpec layout{"mjpeg", "avi", "-c:v mjpeg -q:v 3", 320, 240, "30", kFrames, ""};
        if (!test::make_video(layout, p))
            p.clear();
        return p;
    }();
    return path;
}

// A long-group video (a key picture every 12 frames, B-pictures), where a
// picture far into a group is decoded from the group's key picture.
const std::string& long_group_video() {
    static test::TempDir dir;
    static const std::string path = [] {
        std::string p = dir.file("long.avi");
        test::VideoSpec layout{"long", "avi", test::long_gop_args(12), 320, 240, "30", 62, ""};
        if (!test::make_video(layout, p))
            p.clear();
        return p;
    }();
    return path;
}

// Runs the event loop until done() holds or five seconds pass.
bool wait_until(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

// The frame number marked on a BMP file; -1 when it cannot be read.
int mark_of_bitmap(const std::string& path) {
    QImage image(QString::fromStdString(path));
    if (image.isNull())
        return -1;
    image = image.convertToFormat(QImage::Format_RGB888);
    Picture24 pic;
    pic.width = image.width();
    pic.height = image.height();
    for (int y = 0; y < pic.height; ++y) {
        const uchar* row = image.constScanLine(y);
        pic.bgr.insert(pic.bgr.end(), row, row + pic.width * 3);
    }
    return test::read_mark(pic);
}

struct FrameSelectionScreen : ::testing::Test {
    TestApp t;
    App* app = nullptr;
    frmSetStart* f = nullptr;
    std::string video;
    std::uintmax_t free_bytes = 5'000'000'000;

    void SetUp() override {
        ASSERT_FALSE(suite_video().empty()) << "ffmpeg could not make the test video";
        app = &t.started();
        video = t.video_folder + "/Smithjump2.avi";
        std::filesystem::copy_file(suite_video(), video);
        f = &app->set_start();
        f->free_space = [this](const std::string&) { return free_bytes; };
        t.dialogs.clear();
    }

    // The set-up the screen makes when shown with a navigation state.
    void paint_with(const std::string& state) {
        app->shared().navigation_state = state;
        f->Form_Paint();
    }

    void browse(const std::string& path) {
        t.dialogs.file(path);
        f->Command6->click();
    }

    void hand_over_capture(const std::string& path, double start_frame) {
        CaptureValues& c = app->shared().capture;
        c.video_path = path;
        c.skier_name = "Smith";
        c.pass = " 3";
        c.start_frame = start_frame;
        c.length = kFrames;
        c.frame_rate = 30;
        paint_with("Capture");
    }

    std::int64_t position() const { return f->MediaPlayer1->currentPosition(); }
    // Waits for the picture of the position to be on screen.
    bool settle() {
        return wait_until([&] { return f->MediaPlayer1->shownFrame() == position(); });
    }
    int shown_mark() const {
        FramePtr pic = f->MediaPlayer1->shownPicture();
        return pic ? test::read_mark(*pic) : -1;
    }
    std::string capture_bmp() const { return t.app_folder + "/currentcapture.bmp"; }
};

TEST_F(FrameSelectionScreen, LoadsWithEveryControlAndNoVideo) {
    EXPECT_EQ(f->windowTitle(), "Rampsight 2005 Frame Selection");
    for (const char* name :
         {"MediaPlayer1",   "Command1",     "Command4",        "Text9",        "Command6",
          "Label3",         "Text6",        "lstFileInfo",     "Command5",     "Text4",
          "Text5",          "txtStartLoop", "Command7",        "Text7",        "txtEndLoop",
          "cbPlayAfter",    "cbFullScreen", "cmdPlayAndPause", "cmdMarkStart", "btnGoToSetup",
          "cmdGoToCapture", "cmdGoToSetup", "cmdViewLog",      "Label5",       "Label10",
          "lblDiskSpace",   "Label11",      "Label9",          "Label4",       "Label6",
          "Label1",         "Label2",       "Label7",          "Label8",       "Label12",
          "Text1",          "Text2",        "Text3",           "Text8",        "Timer1",
          "Timer2"}) {
        EXPECT_TRUE(f->findChild<QObject*>(name)) << name;
    }
    EXPECT_EQ(f->Label3->text(), "Browse for File to View -------->");
    EXPECT_EQ(f->Command5->text(), "Play before start -->");
    EXPECT_EQ(f->cmdMarkStart->text(), "Use displayed frame to measure jump");
    EXPECT_EQ(f->btnGoToSetup->text(), "Use displayed frame to set up Grid");
    EXPECT_EQ(f->cmdGoToCapture->text(), "Go To Record Next Jump Pass");
    EXPECT_EQ(f->cmdGoToSetup->text(), "Go Back To Main Screen");
    EXPECT_EQ(f->Text4->text(), "2");
    EXPECT_EQ(f->Text7->text(), "5");
    EXPECT_EQ(f->Label5->text(), "Select Start Position using direction buttons and/or slider");
    EXPECT_EQ(f->Timer2->interval(), 100);
    for (QWidget* w : {(QWidget*)f->Command5, (QWidget*)f->Command7, (QWidget*)f->cmdMarkStart,
                       (QWidget*)f->btnGoToSetup})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    for (QWidget* w : {(QWidget*)f->Command7, (QWidget*)f->cmdPlayAndPause, (QWidget*)f->Text7,
                       (QWidget*)f->Label2, (QWidget*)f->Label6, (QWidget*)f->cbFullScreen})
        EXPECT_TRUE(w->isHidden()) << w->objectName().toStdString();
}

TEST_F(FrameSelectionScreen, DiskSpaceOfTheVideoFolderWithTheWarningAtTwoHundred) {
    free_bytes = 199'900'000;
    paint_with("Setup");
    EXPECT_EQ(f->lblDiskSpace->text(), " 199 MB");
    EXPECT_FALSE(f->Label11->isHidden());
#ifndef _WIN32
    EXPECT_EQ(f->Label10->text().toStdString(), "Disk Space Available " + t.video_folder);
#endif
    free_bytes = 200'000'000;
    paint_with("Setup");
    EXPECT_EQ(f->lblDiskSpace->text(), " 200 MB");
    EXPECT_TRUE(f->Label11->isHidden());
    EXPECT_NE(t.debug_log().find("SetStart Form painted"), std::string::npos);

    // The barefoot label follows the main screen's box.
    EXPECT_TRUE(f->Label9->isHidden());
    app->main_form().cb15->setChecked(true);
    paint_with("");
    EXPECT_FALSE(f->Label9->isHidden());
}

TEST_F(FrameSelectionScreen, BrowsingRefusesWhatIsNotAnAviAndLoadsWhatIs) {
    const std::string wave = t.video_folder + "/sound.avi";
    test::spit(wave, std::string("RIFF\x10\0\0\0WAVEfmt ", 16));
    browse(wave);
    ASSERT_EQ(t.dialogs.messages().size(), 1u);
    EXPECT_EQ(t.dialogs.last().text, "Not a valid avi file");
    EXPECT_EQ(t.dialogs.last().icon, MsgIcon::Exclamation);
    EXPECT_EQ(t.dialogs.last().title, kProgramTitle);
    EXPECT_TRUE(f->Text6->text().isEmpty());
    EXPECT_FALSE(f->cmdMarkStart->isEnabled());

    t.dialogs.clear();
    browse(video);
    const auto& request = t.dialogs.prompts().at(0);
    EXPECT_EQ(request.kind, PromptKind::OpenFile);
    EXPECT_EQ(request.file.initial_folder, t.video_folder);
    EXPECT_NE(request.file.filter.find("*.avi"), std::string::npos);
    EXPECT_TRUE(t.dialogs.messages().empty());
    EXPECT_EQ(f->Text6->text().toStdString(), video);
    EXPECT_EQ(f->MediaPlayer1->fileName(), video);
    EXPECT_EQ(f->MediaPlayer1->frameCount(), kFrames);
    EXPECT_EQ(f->values().frame_rate, 30);
    EXPECT_EQ(f->values().video_length, kFrames);
    ASSERT_EQ(f->lstFileInfo->count(), 19);
    EXPECT_EQ(f->lstFileInfo->item(0)->text().toStdString(), "Filename: " + video);
    EXPECT_EQ(f->lstFileInfo->item(5)->text(), "Rate: 30fps");
    EXPECT_TRUE(f->Command5->isEnabled());
    EXPECT_FALSE(f->Command7->isEnabled());
    EXPECT_TRUE(f->cmdMarkStart->isEnabled());
    EXPECT_TRUE(f->btnGoToSetup->isEnabled());
}

TEST_F(FrameSelectionScreen, AMeasuredVideoWarnsWithItsFrameAndCanBeMeasuredAgain) {
    test::spit(video + ".info", video + ", 412\r\n");
    browse(video);
    ASSERT_EQ(t.dialogs.messages().size(), 1u);
    EXPECT_EQ(t.dialogs.last().text, "File already measured - start frame is  412");
    EXPECT_EQ(t.dialogs.last().title, "Start Already Measured Warning");
    EXPECT_EQ(t.dialogs.last().icon, MsgIcon::None);
    EXPECT_EQ(t.dialogs.last().buttons, MsgButtons::Ok);

    app->grids().complete = 1;
    f->MediaPlayer1->setCurrentPosition(17);
    f->cmdMarkStart->click();
    EXPECT_EQ(mark_of_bitmap(capture_bmp()), 17);
    EXPECT_EQ(app->shared().navigation_state, "SelectFrame");
    EXPECT_TRUE(f->isHidden());
    EXPECT_TRUE(app->measure().isVisible());
}

TEST_F(FrameSelectionScreen, StepsByButtonsArrowKeysAndKeypad) {
    browse(video);
    f->MediaPlayer1->setCurrentPosition(1);
    f->Command1->click();  // at 1: no step back
    EXPECT_EQ(position(), 1);
    EXPECT_EQ(f->Text9->text(), " 1");
    f->Command4->click();
    f->Command4->click();
    EXPECT_EQ(position(), 3);
    EXPECT_EQ(f->Text9->text(), " 3");

    // Arrow keys step once for a press, then once a poll while held on,
    // while their buttons are enabled.
    t.keyboard.press(Key::Right);
    f->Timer2_Timer();
    f->Timer2_Timer();
    EXPECT_EQ(position(), 4);
    t.keyboard.advance(300);
    f->Timer2_Timer();
    EXPECT_EQ(position(), 5);
    t.keyboard.release(Key::Right);
    t.keyboard.press(Key::Left);
    f->Timer2_Timer();
    EXPECT_EQ(position(), 4);
    f->Command1->setEnabled(false);
    t.keyboard.advance(300);
    f->Timer2_Timer();
    EXPECT_EQ(position(), 4);
    t.keyboard.release(Key::Left);

    // Keypad 6 and 4 in the player; the code shows in the diagnostic box.
    f->MediaPlayer1_KeyDown(102);
    EXPECT_EQ(position(), 5);
    EXPECT_EQ(f->Text8->text(), " 102");
    f->MediaPlayer1_KeyDown(100);
    f->MediaPlayer1_KeyDown(65);
    EXPECT_EQ(position(), 4);
    EXPECT_EQ(f->Text8->text(), " 65");
}

TEST_F(FrameSelectionScreen, SecondsFieldsKeepTheirLimits) {
    f->Text4->setText("9");
    EXPECT_EQ(f->Text4->text(), "5");
    f->Text4->setText("0");
    EXPECT_EQ(f->Text4->text(), "1");
    f->Text7->setText("30");
    EXPECT_EQ(f->Text7->text(), "22");
    f->Text7->setText("0");
    EXPECT_EQ(f->Text7->text(), "1");
    f->Text7->setText("12");
    EXPECT_EQ(f->Text7->text(), "12");
}

TEST_F(FrameSelectionScreen, TakingTheFrameAtZeroOrOneTakesFrameTwo) {
    browse(video);
    app->grids().complete = 0;
    for (int at : {0, 1}) {
        SCOPED_TRACE(at);
        std::filesystem::remove(capture_bmp());
        f->show();
        f->MediaPlayer1->setCurrentPosition(at);
        t.dialogs.clear();
        f->cmdMarkStart->click();
        EXPECT_EQ(mark_of_bitmap(capture_bmp()), 2);
        EXPECT_EQ(app->shared().current_frame_number, 2);
        EXPECT_EQ(app->shared().current_video_path, video);
        // Grids missing: the warning, then the grid set-up screen.
        ASSERT_FALSE(t.dialogs.messages().empty());
        EXPECT_EQ(t.dialogs.messages().front(),
                  "One or more grids are not configured.  You may not use the Measure Screen "
                  "until all listed grids are configured");
        EXPECT_TRUE(f->isHidden());
        EXPECT_TRUE(app->grid_setup().isVisible());
        app->grid_setup().hide();
    }
    EXPECT_NE(t.debug_log().find("Frame  2 Selected in " + video), std::string::npos);
}

TEST_F(FrameSelectionScreen, AFrameThatCannotBeExtractedKeepsTheOperatorHere) {
    // An AVI by its header whose frames cannot be decoded.
    const std::string broken = t.video_folder + "/Brokenjump1.avi";
    test::spit(broken, std::string("RIFF\x40\0\0\0AVI LIST", 16) + std::string(64, '\0'));
    browse(broken);
    EXPECT_EQ(f->Text6->text().toStdString(), broken);
    app->grids().complete = 1;
    test::spit(capture_bmp(), "earlier picture");
    f->show();
    t.dialogs.clear();
    f->cmdMarkStart->click();
    // The earlier picture is not measured as this jump's.
    EXPECT_EQ(test::slurp(capture_bmp()), "earlier picture");
    ASSERT_FALSE(t.dialogs.messages().empty());
    EXPECT_NE(t.dialogs.messages().back().find("There was an error working with the file:"),
              std::string::npos);
    EXPECT_FALSE(f->isHidden());
    EXPECT_NE(app->shared().navigation_state, "SelectFrame");
}

TEST_F(FrameSelectionScreen, GridSetUpButtonAsksAndGoesToGridSetUpWithGridsComplete) {
    browse(video);
    app->grids().complete = 1;
    f->show();
    t.dialogs.no();
    f->btnGoToSetup->click();
    EXPECT_FALSE(f->isHidden());
    EXPECT_EQ(t.dialogs.last().text, "Are you sure you want to go to Setup Screen?");
    EXPECT_TRUE(t.dialogs.last().default_no);

    f->MediaPlayer1->setCurrentPosition(9);
    t.dialogs.clear();
    t.dialogs.yes();
    f->btnGoToSetup->click();
    EXPECT_EQ(mark_of_bitmap(capture_bmp()), 9);
    // All grids are configured: no warning about them.
    EXPECT_EQ(t.dialogs.messages().size(), 1u);
    EXPECT_TRUE(app->grid_setup().isVisible());
    EXPECT_FALSE(f->for_setup());

    // The next frame taken for measuring goes to the measurement screen.
    app->grid_setup().hide();
    app->grids().complete = 1;  // the set-up screen checks the grids anew
    f->show();
    f->cmdMarkStart->click();
    EXPECT_TRUE(app->measure().isVisible());
}

TEST_F(FrameSelectionScreen, ACaptureIsSetUpAtItsStartFrameOnce) {
    free_bytes = 150'000'000;
    hand_over_capture(video, 12.4);
    EXPECT_TRUE(app->shared().navigation_state.empty());
    EXPECT_TRUE(f->capture_handled());
    EXPECT_EQ(f->Text6->text().toStdString(), video);
    EXPECT_EQ(f->MediaPlayer1->fileName(), video);
    EXPECT_EQ(position(), 12);
    EXPECT_EQ(f->values().start_frame, 12);
    EXPECT_EQ(f->values().frames_to_end, 599);
    EXPECT_EQ(f->values().video_length, kFrames);
    EXPECT_TRUE(f->cmdMarkStart->isEnabled());
    EXPECT_TRUE(f->Command5->isEnabled());
    EXPECT_TRUE(f->btnGoToSetup->isEnabled());
    EXPECT_EQ(f->lblDiskSpace->text(), " 150 MB");
    EXPECT_TRUE(t.dialogs.prompts().empty());

    // Barefoot timing: 15 seconds.
    app->main_form().cb15->setChecked(true);
    hand_over_capture(video, 12);
    EXPECT_EQ(f->values().frames_to_end, 450);
}

TEST_F(FrameSelectionScreen, ACaptureAfterViewingALoggedVideoIsStillSetUp) {
    app->shared().current_video_path = video;
    test::spit(video + ".info", video + ", 7\r\n");
    paint_with("View");
    ASSERT_EQ(t.dialogs.messages().size(), 1u);
    EXPECT_EQ(t.dialogs.last().text, "File already measured - contact frame is  7");
    EXPECT_EQ(f->Label5->text(), "Select First Contact by using direction buttons and/or slider");
    EXPECT_TRUE(f->view_done());
    EXPECT_EQ(f->lstFileInfo->count(), 19);
    // Painted again for the same viewed video: nothing is repeated.
    f->Form_Paint();
    EXPECT_EQ(t.dialogs.messages().size(), 1u);

    const std::string next = t.video_folder + "/Jonesjump1.avi";
    std::filesystem::copy_file(suite_video(), next);
    free_bytes = 100'000'000;
    hand_over_capture(next, 20);
    EXPECT_EQ(f->Text6->text().toStdString(), next);
    EXPECT_EQ(position(), 20);
    EXPECT_EQ(f->lblDiskSpace->text(), " 100 MB");
}

TEST_F(FrameSelectionScreen, TheLogViewerOverTheScreenHandsItAnotherVideo) {
    app->shared().current_video_path = video;
    f->show();
    paint_with("View");
    EXPECT_EQ(f->Text6->text().toStdString(), video);

    f->cmdViewLog->click();
    EXPECT_FALSE(f->view_done());
    EXPECT_TRUE(app->log_view().isVisible());
    const std::string other = t.video_folder + "/Jonesjump1.avi";
    std::filesystem::copy_file(suite_video(), other);
    app->shared().current_video_path = other;
    app->log_view().close();
    f->Form_GotFocus();  // back in front, still showing
    EXPECT_EQ(f->Text6->text().toStdString(), other);
    EXPECT_EQ(f->MediaPlayer1->fileName(), other);
    EXPECT_TRUE(f->view_done());
}

TEST_F(FrameSelectionScreen, ARenamedCaptureIsMovedToTheNameTyped) {
    const std::string captured = t.video_folder + "/SmithXjump1.avi";
    std::filesystem::rename(video, captured);
    test::spit(t.video_folder + "/Smithjump1.avi", "an earlier pass");
    app->shared().capture.name_changed = true;
    t.dialogs.text("Smith");    // taken
    t.dialogs.text("Smith J");  // free
    hand_over_capture(captured, 5);
    const std::string renamed = t.video_folder + "/Smith Jjump1.avi";
    EXPECT_EQ(f->Text6->text().toStdString(), renamed);
    EXPECT_TRUE(FileExists(renamed));
    EXPECT_FALSE(FileExists(captured));
    EXPECT_EQ(test::slurp(t.video_folder + "/Smithjump1.avi"), "an earlier pass");
    EXPECT_EQ(f->MediaPlayer1->fileName(), renamed);
    const CaptureValues& c = app->shared().capture;
    EXPECT_FALSE(c.name_changed);
    EXPECT_EQ(c.skier_name, "Smith J");
    EXPECT_EQ(c.pass, "2");
    EXPECT_EQ(c.video_path, renamed);
    ASSERT_EQ(t.dialogs.prompts().size(), 2u);
    EXPECT_EQ(t.dialogs.prompts()[0].default_text, "Smith");
}

TEST_F(FrameSelectionScreen, ReplayBeforeTheEndChecksTheLengthOfTheVideo) {
    hand_over_capture(video, 5);
    f->Command7_Click();  // not on the screen's face: its handler alone
    ASSERT_EQ(t.dialogs.messages().size(), 1u);
    EXPECT_EQ(t.dialogs.last().title, "Captured File too short Warning");
    EXPECT_EQ(t.dialogs.last().text, too_short_message(kFrames, 604, false));
    EXPECT_FALSE(f->Timer1->isActive());
    EXPECT_FALSE(f->MediaPlayer1->isPlaying());
    EXPECT_FALSE(f->cmdMarkStart->isEnabled());
}

TEST_F(FrameSelectionScreen, ReplayBeforeTheStartPlaysAndTheTimerEndsIt) {
    hand_over_capture(video, 30);
    f->MediaPlayer1->setCurrentPosition(30);
    f->Text4->setText("1");
    f->Command5->click();
    EXPECT_EQ(f->Text5->text(), " 1300");
    EXPECT_EQ(f->MediaPlayer1->selectionStart(), 0);  // 30 - 30 <= 1
    EXPECT_EQ(f->MediaPlayer1->selectionEnd(), 30);
    EXPECT_TRUE(f->MediaPlayer1->isPlaying());
    EXPECT_TRUE(f->Timer1->isActive());
    EXPECT_EQ(f->Timer1->interval(), 1300);
    f->Timer1_Timer();
    EXPECT_FALSE(f->Timer1->isActive());
    EXPECT_FALSE(f->values().before_start);
}

TEST_F(FrameSelectionScreen, LeavingAsksThenGoesToCaptureOrTheMainScreen) {
    f->show();
    t.dialogs.no();
    f->cmdGoToCapture->click();
    EXPECT_EQ(t.dialogs.last().text, "Are you sure you want to go to Capture Screen?");
    EXPECT_EQ(t.dialogs.last().icon, MsgIcon::None);
    EXPECT_TRUE(t.dialogs.last().default_no);
    EXPECT_FALSE(f->isHidden());

    f->Command1->setEnabled(false);
    t.dialogs.yes();
    f->cmdGoToCapture->click();
    EXPECT_TRUE(f->isHidden());
    EXPECT_TRUE(app->preview_form().isVisible());
    EXPECT_TRUE(app->shared().capture.focus_start);
    EXPECT_EQ(app->shared().navigation_state, "Timer");
    EXPECT_TRUE(f->Command1->isEnabled());
    EXPECT_FALSE(f->Timer2->isActive());

    f->show();
    t.dialogs.yes();
    f->cmdGoToSetup->click();
    EXPECT_EQ(t.dialogs.last().text, "Are you sure you want to go to Main Screen?");
    EXPECT_TRUE(f->isHidden());
    EXPECT_TRUE(app->main_form().isVisible());
    EXPECT_EQ(app->shared().navigation_state, "Timer");
}

TEST_F(FrameSelectionScreen, ShownFromTheMainScreenItStartsEmpty) {
    browse(video);
    t.dialogs.clear();
    test::press(app->main_form(), "cmdGoTimer");
    QApplication::processEvents();  // the set-up runs once the show is done
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(f->Text6->text().isEmpty());
    EXPECT_TRUE(f->Timer2->isActive());
}

// What is taken is what the operator saw, however far the position ran
// ahead of the picture: after a held key and after a jump across groups.
TEST_F(FrameSelectionScreen, TheFrameTakenIsThePictureOnTheScreen) {
    ASSERT_FALSE(long_group_video().empty());
    const std::string path = t.video_folder + "/Longjump1.avi";
    std::filesystem::copy_file(long_group_video(), path);
    browse(path);
    app->grids().complete = 1;
    ASSERT_TRUE(settle());
    auto take_and_check = [&](const char* when) {
        SCOPED_TRACE(when);
        const std::int64_t seen = f->MediaPlayer1->shownFrame();
        const std::string text9 = f->Text9->text().toStdString();
        ASSERT_GE(seen, 2);
        EXPECT_EQ(text9, " " + std::to_string(seen));
        EXPECT_EQ(shown_mark(), seen);
        f->show();
        f->cmdMarkStart->click();
        EXPECT_EQ(app->shared().current_frame_number, seen);
        EXPECT_EQ(mark_of_bitmap(capture_bmp()), seen);
        EXPECT_EQ(f->Text9->text().toStdString(), text9);
        app->measure().hide();
    };
    // Holding the right arrow: a step each poll, the picture trailing.
    f->MediaPlayer1->setCurrentPosition(4);
    ASSERT_TRUE(settle());
    t.keyboard.press(Key::Right);
    for (int tick = 0; tick < 12; ++tick) {
        f->Timer2_Timer();
        t.keyboard.advance(100);
        QApplication::processEvents(QEventLoop::AllEvents, 2);
    }
    t.keyboard.release(Key::Right);
    take_and_check("after a held key");
    // A jump from one group deep into another, taken at once.
    f->show();
    f->sldFrames->setValue(47);
    take_and_check("right after a jump");
    // And with the picture caught up: the frame jumped to.
    f->show();
    f->sldFrames->setValue(23);
    ASSERT_TRUE(settle());
    take_and_check("with the picture caught up");
    EXPECT_EQ(app->shared().current_frame_number, 23);
}

TEST_F(FrameSelectionScreen, TheSliderAndATypedNumberReachAnyFrameExactly) {
    browse(video);
    EXPECT_TRUE(f->sldFrames->isEnabled());
    EXPECT_EQ(f->sldFrames->maximum(), kFrames - 1);
    EXPECT_EQ(f->sldFrames->focusPolicy(), Qt::NoFocus);  // arrows stay with the screen
    // Dragged through the frames, let go at 17.
    f->sldFrames->setSliderDown(true);
    for (int v : {5, 11, 17})
        f->sldFrames->setSliderPosition(v);
    f->sldFrames->setSliderDown(false);
    EXPECT_EQ(position(), 17);
    ASSERT_TRUE(settle());
    EXPECT_EQ(shown_mark(), 17);
    EXPECT_EQ(f->Text9->text(), " 17");
    // Steps move the handle with them.
    f->Command4->click();
    EXPECT_EQ(f->sldFrames->value(), 18);
    // A number typed into the frame box.
    f->Text9->setText("31");
    f->Text9_Enter();
    EXPECT_EQ(position(), 31);
    ASSERT_TRUE(settle());
    EXPECT_EQ(f->Text9->text(), " 31");
    EXPECT_EQ(shown_mark(), 31);
    // Past the end: the last frame; not a number: nothing moves.
    f->Text9->setText("900");
    f->Text9_Enter();
    EXPECT_EQ(position(), kFrames - 1);
    f->Text9->setText("abc");
    f->Text9_Enter();
    EXPECT_EQ(position(), kFrames - 1);
    ASSERT_TRUE(settle());
    EXPECT_EQ(f->Text9->text().toStdString(), " " + std::to_string(kFrames - 1));
}

TEST_F(FrameSelectionScreen, TheStartAndTheContactFrameAreMarkedOnTheSlider) {
    hand_over_capture(video, 12);
    EXPECT_EQ(f->sldFrames->mark("contact"), 12);
    EXPECT_EQ(f->sldFrames->mark("start"), -1);
    f->MediaPlayer1->setCurrentPosition(20);
    f->Command5->click();  // the start is taken where the player stands
    EXPECT_EQ(f->sldFrames->mark("start"), 20);
    // Another video: no marks of the old one.
    const std::string other = t.video_folder + "/Jonesjump1.avi";
    std::filesystem::copy_file(suite_video(), other);
    browse(other);
    EXPECT_EQ(f->sldFrames->mark("contact"), -1);
}

TEST_F(FrameSelectionScreen, ASecondVideoShowsItsFirstFrame) {
    browse(video);
    f->MediaPlayer1->setCurrentPosition(25);
    ASSERT_TRUE(settle());
    EXPECT_EQ(f->Text9->text(), " 25");
    const std::string shorter = t.video_folder + "/Jonesjump1.avi";
    ASSERT_TRUE(
        test::make_video({"short", "avi", "-c:v mjpeg -q:v 3", 320, 240, "30", 12, ""}, shorter));
    browse(shorter);
    EXPECT_EQ(position(), 0);
    EXPECT_EQ(f->Text9->text(), " 0");
    EXPECT_EQ(f->sldFrames->value(), 0);
    EXPECT_EQ(f->sldFrames->maximum(), 11);
    ASSERT_TRUE(settle());
    EXPECT_EQ(shown_mark(), 0);
    EXPECT_EQ(f->Text9->text(), " 0");
}

TEST_F(FrameSelectionScreen, BackWithNoVideoNothingOfThePreviousIsShownOrTaken) {
    browse(video);
    ASSERT_TRUE(settle());
    paint_with("Setup");
    EXPECT_TRUE(f->Text6->text().isEmpty());
    EXPECT_TRUE(f->MediaPlayer1->fileName().empty());
    EXPECT_FALSE(f->MediaPlayer1->shownPicture());
    EXPECT_FALSE(f->cmdMarkStart->isEnabled());
    EXPECT_FALSE(f->btnGoToSetup->isEnabled());
    EXPECT_TRUE(f->Text9->text().isEmpty());
    EXPECT_FALSE(f->sldFrames->isEnabled());
    EXPECT_EQ(f->lstFileInfo->count(), 0);
}

TEST_F(FrameSelectionScreen, AVideoRecordedAgainUnderTheSameNameIsOpenedAfresh) {
    browse(video);
    app->grids().complete = 1;
    f->MediaPlayer1->setCurrentPosition(30);
    ASSERT_TRUE(settle());
    // The pass is recorded again: a shorter video under the same name.
    const std::string again = t.tmp.file("again.avi");
    ASSERT_TRUE(
        test::make_video({"again", "avi", "-c:v mjpeg -q:v 5", 320, 240, "30", 20, ""}, again));
    std::filesystem::remove(video);
    std::filesystem::copy_file(again, video);
    test::spit(capture_bmp(), "earlier picture");
    f->show();
    t.dialogs.clear();
    f->cmdMarkStart->click();
    // Not taken from the old video: opened again, and the operator told.
    EXPECT_EQ(test::slurp(capture_bmp()), "earlier picture");
    ASSERT_EQ(t.dialogs.messages().size(), 1u);
    EXPECT_NE(t.dialogs.last().text.find("has changed since it was opened"), std::string::npos);
    EXPECT_EQ(f->MediaPlayer1->frameCount(), 20);
    EXPECT_EQ(position(), 19);
    EXPECT_FALSE(f->isHidden());
    // Taken now, it is the new video's frame.
    ASSERT_TRUE(settle());
    f->cmdMarkStart->click();
    EXPECT_EQ(mark_of_bitmap(capture_bmp()), 19);
    app->measure().hide();

    // Handed over again by the capture screen under the same name.
    std::filesystem::remove(video);
    std::filesystem::copy_file(suite_video(), video);
    hand_over_capture(video, 33);
    EXPECT_EQ(f->MediaPlayer1->frameCount(), kFrames);
    EXPECT_EQ(position(), 33);
}

TEST_F(FrameSelectionScreen, MissingFramesAreNamedOnTheScreenAndInTheDebugLog) {
    const std::string gap = t.video_folder + "/Gapjump1.avi";
    ASSERT_TRUE(test::make_video(
        {"gap", "avi", "-c:v mjpeg -q:v 3", 320, 240, "30", 12, "select='not(eq(n\\,5))'"}, gap));
    browse(gap);
    EXPECT_FALSE(f->lblVideoProblem->isHidden());
    const std::string shown = f->lblVideoProblem->text().toStdString();
    EXPECT_NE(shown.find("1 frame is missing: frame 5"), std::string::npos) << shown;
    EXPECT_NE(t.debug_log().find("frame 5 (the frame before is shown in place)"),
              std::string::npos);
    browse(video);
    EXPECT_TRUE(f->lblVideoProblem->isHidden());
}

TEST_F(FrameSelectionScreen, AStreamWithNoDecoderSaysSo) {
    std::string avi = test::slurp(suite_video());
    test::set_fourcc(avi, "ZQ9X");
    const std::string odd = t.video_folder + "/Oddjump1.avi";
    test::spit(odd, avi);
    browse(odd);
    ASSERT_FALSE(t.dialogs.messages().empty());
    EXPECT_EQ(t.dialogs.last().text, "No suitable decompressor found for this video stream!");
    EXPECT_EQ(t.dialogs.last().icon, MsgIcon::Information);
    app->grids().complete = 1;
    test::spit(capture_bmp(), "earlier picture");
    t.dialogs.clear();
    f->show();
    f->cmdMarkStart->click();
    EXPECT_EQ(test::slurp(capture_bmp()), "earlier picture");
    ASSERT_FALSE(t.dialogs.messages().empty());
    EXPECT_EQ(t.dialogs.last().text, "No suitable decompressor found for this video stream!");
    EXPECT_FALSE(f->isHidden());
}

// Videos at the NTSC rate of 30000/1001 as cameras record them: a
// long-group H.264 one made by the ffmpeg tool, and DV type 1 (one
// interleaved stream). The screen counts their frames, times the run at 30
// frames per second, and steps to and takes every frame exactly.
TEST_F(FrameSelectionScreen, NtscVideosStepAndTakeEveryFrameTheScreenCounts) {
    struct Ntsc {
        std::string name;
        int frames;
        std::function<bool(const std::string&)> make;
    };
    const std::vector<Ntsc> videos = {
        {"h264", 62,
         [](const std::string& p) {
             return test::make_video(
                 {"h264", "avi", test::long_gop_args(12), 320, 240, "30000/1001", 62, ""}, p);
         }},
        {"dv1", 30, [](const std::string& p) { return test::make_dv_type1_avi(p, 30, true); }},
    };
    app->grids().complete = 1;
    for (const Ntsc& v : videos) {
        SCOPED_TRACE(v.name);
        const std::string path = t.video_folder + "/" + v.name + "jump1.avi";
        ASSERT_TRUE(v.make(path));
        f->show();
        browse(path);
        EXPECT_EQ(f->lstFileInfo->item(4)->text().toStdString(),
                  "Length: " + std::to_string(v.frames) + " frames");
        EXPECT_EQ(f->lstFileInfo->item(5)->text(), "Rate: 30fps");
        EXPECT_EQ(f->values().video_length, v.frames);
        EXPECT_EQ(f->values().frame_rate, 30);
        EXPECT_EQ(f->MediaPlayer1->frameCount(), v.frames);
        EXPECT_EQ(f->sldFrames->maximum(), v.frames - 1);
        // Forwards through every frame, then back over the last ones.
        for (std::int64_t n = 1; n < v.frames; ++n) {
            f->Command4->click();
            ASSERT_EQ(position(), n);
            ASSERT_TRUE(settle());
            ASSERT_EQ(shown_mark(), n);
        }
        for (std::int64_t n = v.frames - 2; n >= v.frames - 15; --n) {
            f->Command1->click();
            ASSERT_TRUE(settle());
            ASSERT_EQ(shown_mark(), n);
        }
        // The last frame and one in the middle, taken.
        for (std::int64_t n : {std::int64_t{v.frames - 1}, std::int64_t{v.frames / 2 + 1}}) {
            f->show();
            f->sldFrames->setValue(static_cast<int>(n));
            ASSERT_TRUE(settle());
            f->cmdMarkStart->click();
            EXPECT_EQ(app->shared().current_frame_number, n);
            EXPECT_EQ(mark_of_bitmap(capture_bmp()), n);
            app->measure().hide();
        }
    }
}

}  // namespace
}  // namespace rs
