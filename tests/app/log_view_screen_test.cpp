#include "app/log_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <filesystem>

#include "app/app.h"
#include "app/logs.h"
#include "app/main_screen.h"
#include "measure/measure_screen.h"
#include "platform/frame_player_widget.h"
#include "platform/picture_canvas_widget.h"
#include "tests/measure/measure_fixture.h"
#include "tests/platform/test_videos.h"
#include "tests/support/press.h"
#include "tests/support/test_app.h"
#include "video/frame_selection_screen.h"

namespace rs {
namespace {

using test::PromptKind;
using test::TestApp;

const DateTime kMarch1{2007, 3, 1, 9, 5, 3};
const DateTime kFeb28{2007, 2, 28, 17, 30, 0};

// Runs what waits for the event loop: the deletion of closed viewers and the
// set-up of a screen just shown.
void settle() {
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

std::vector<std::string> rows(const LogList* list) {
    std::vector<std::string> out;
    for (int i = 0; i < list->count(); ++i)
        out.push_back(list->item(i)->text().toStdString());
    return out;
}

std::string text(const QLineEdit* box) {
    return box->text().toStdString();
}

class LogViewers : public ::testing::Test {
  protected:
    TestApp t;
    App* app = nullptr;
    std::string day_log;

    void SetUp() override {
        app = &t.started();
        day_log = t.video_folder + "/JumpMeasurementLog030107.txt";
        t.dialogs.clear();
    }
    void TearDown() override { settle(); }

    void log(const std::string& path, const std::string& line) {
        ASSERT_TRUE(t.files.append_lines(path, {line}));
    }
    std::string video_line(const std::string& skier, const std::string& file,
                           const DateTime& when = kMarch1) {
        return video_log_line(when, skier, "1", "97", file);
    }
    std::string picture_line(const std::string& file) {
        return picture_log_line(kMarch1, "Smith", "3", "55.2", file);
    }
    LogView& open_video_log() {
        test::press(app->main_form(), "mnuViewLog");
        return app->log_view();
    }
};

TEST_F(LogViewers, EachListsItsLinesOfTheDaysLog) {
    const std::string smith = video_line("Smith", t.video_folder + "/Smithjump3.avi");
    const std::string jones = video_line("Jones", t.video_folder + "/Jonesjump1.avi");
    const std::string picture = picture_line(t.video_folder + "/Smith3.bmp");
    log(day_log, smith);
    log(day_log, picture);
    log(day_log, jones);
    log(day_log, video_line("Brown", t.video_folder + "/BROWNJUMP1.AVI"));

    LogView& v = open_video_log();
    EXPECT_TRUE(v.isVisible());
    EXPECT_EQ(v.windowTitle(), "Log Viewer");
    EXPECT_EQ(v.Label1->text(), "Log File to View");
    EXPECT_EQ(v.Label2->text(),
              "Click to Select and use View Selected File button to View or Double Click to view");
    EXPECT_EQ(v.cmdSelectLogFile->text(), "Select Different Log File");
    EXPECT_EQ(v.cmdView->text(), "View Selected File");
    EXPECT_EQ(v.cmdDismiss->text(), "Exit Log Viewer");
    EXPECT_EQ(text(v.txtLogFile), day_log);
    // The session header, the picture line and the upper-case video are left out.
    EXPECT_EQ(rows(v.lstLog), (std::vector<std::string>{smith, jones}));
    EXPECT_EQ(text(v.txtFileToView), "");
    v.lstLog->setCurrentRow(1);
    EXPECT_EQ(text(v.txtFileToView), t.video_folder + "/Jonesjump1.avi");

    test::press(app->main_form(), "mnuPictureLog");
    PictureLogView& p = app->picture_log_view();
    EXPECT_TRUE(p.isVisible());
    EXPECT_EQ(p.windowTitle(), "Contact Picture Log");
    EXPECT_EQ(p.cmdSelPicLog->text(), "Select a Log File");
    EXPECT_EQ(p.cmdViewPicLog->text(), "View Picture");
    EXPECT_EQ(text(p.txtPicLogToView), day_log);
    EXPECT_EQ(rows(p.lstPicLog), std::vector<std::string>{picture});
    p.lstPicLog->setCurrentRow(0);
    EXPECT_EQ(text(p.txtPictureToView), t.video_folder + "/Smith3.bmp");
    EXPECT_TRUE(t.dialogs.prompts().empty());
}

TEST_F(LogViewers, WithNoLogOfTheDayBothStayEmpty) {
    std::filesystem::remove(day_log);
    LogView& v = open_video_log();
    EXPECT_EQ(v.lstLog->count(), 0);
    EXPECT_EQ(text(v.txtLogFile), "");
    test::press(app->main_form(), "mnuPictureLog");
    EXPECT_EQ(app->picture_log_view().lstPicLog->count(), 0);
    EXPECT_EQ(text(app->picture_log_view().txtPicLogToView), "");

    // Nor with no video folder at all: the working folder is not looked in.
    v.cmdDismiss->click();
    app->shared().video_folder.clear();
    const auto working = std::filesystem::current_path();
    std::filesystem::current_path(t.tmp.make_dir("working"));
    test::spit("JumpMeasurementLog030107.txt", video_line("Smith", "/v/Smithjump1.avi") + "\r\n");
    const int listed = open_video_log().lstLog->count();
    std::filesystem::current_path(working);
    EXPECT_EQ(listed, 0);
    EXPECT_TRUE(t.dialogs.prompts().empty());
}

TEST_F(LogViewers, ALineWithoutAPathChoosesNothingAndViewWithNothingDoesNothing) {
    log(day_log, "a note about the old.avi");
    LogView& v = open_video_log();
    ASSERT_EQ(v.lstLog->count(), 1);
    v.txtFileToView->setText("left over");
    v.lstLog->setCurrentRow(0);
    EXPECT_EQ(text(v.txtFileToView), "");
    app->shared().navigation_state = "Measure";
    v.lstLog_DblClick();
    v.cmdView->click();
    EXPECT_EQ(app->shared().navigation_state, "Measure");
    EXPECT_TRUE(v.isVisible());
    EXPECT_EQ(&app->log_view(), &v);
}

TEST_F(LogViewers, ChoosingAnotherLogAsksInTheVideoFolderAndACancelChangesNothing) {
    const std::string other = t.video_folder + "/JumpMeasurementLog022807.txt";
    const std::string old_line = video_line("Ames", t.video_folder + "/Amesjump2.avi", kFeb28);
    log(other, session_header_line(kFeb28));
    log(other, old_line);
    log(day_log, video_line("Smith", t.video_folder + "/Smithjump1.avi"));
    LogView& v = open_video_log();
    ASSERT_EQ(v.lstLog->count(), 1);

    t.dialogs.cancel_file();
    v.cmdSelectLogFile->click();
    EXPECT_EQ(t.dialogs.last().kind, PromptKind::OpenFile);
    EXPECT_EQ(t.dialogs.last().file.filter, "*.txt|JumpMeasurementLog*.txt");
    EXPECT_EQ(t.dialogs.last().file.initial_folder, t.video_folder);
    EXPECT_EQ(t.dialogs.last().file.file_name, "");
    EXPECT_EQ(text(v.txtLogFile), day_log);
    EXPECT_EQ(v.lstLog->count(), 1);

    t.dialogs.file(other);
    v.cmdSelectLogFile->click();
    EXPECT_EQ(text(v.txtLogFile), other);
    EXPECT_EQ(rows(v.lstLog), std::vector<std::string>{old_line});

    // A log that is not there empties the list; the dialog offers the last
    // choice again.
    t.dialogs.file(t.video_folder + "/JumpMeasurementLog010107.txt");
    v.cmdSelectLogFile->click();
    EXPECT_EQ(t.dialogs.last().file.file_name, other);
    EXPECT_EQ(text(v.txtLogFile), t.video_folder + "/JumpMeasurementLog010107.txt");
    EXPECT_EQ(v.lstLog->count(), 0);
    EXPECT_EQ(v.lstLog->horizontal_extent(), v.lstLog->fontMetrics().horizontalAdvance(" "));

    // The picture viewer chooses the same way.
    test::press(app->main_form(), "mnuPictureLog");
    PictureLogView& p = app->picture_log_view();
    log(other, picture_line("/v/Ames2.bmp"));
    t.dialogs.file(other);
    p.cmdSelPicLog->click();
    EXPECT_EQ(t.dialogs.last().file.filter, "*.txt|JumpMeasurementLog*.txt");
    EXPECT_EQ(text(p.txtPicLogToView), other);
    EXPECT_EQ(rows(p.lstPicLog), std::vector<std::string>{picture_line("/v/Ames2.bmp")});
}

TEST_F(LogViewers, TheLongestLineCanBeScrolledToItsEnd) {
    const std::string deep = t.video_folder + "/" + std::string(300, 'd') + "/Smithjump1.avi";
    const std::string long_line = video_line("Smith", deep);
    log(day_log, video_line("Jones", "/v/Jonesjump1.avi"));
    log(day_log, long_line);
    LogView& v = open_video_log();
    const QFontMetrics metrics = v.lstLog->fontMetrics();
    const int extent = metrics.horizontalAdvance(QString::fromStdString(long_line + " "));
    EXPECT_EQ(v.lstLog->horizontal_extent(), extent);
    EXPECT_GT(extent, v.lstLog->viewport()->width());
    const QScrollBar* bar = v.lstLog->horizontalScrollBar();
    EXPECT_GE(bar->maximum() + v.lstLog->viewport()->width(), extent);
}

TEST_F(LogViewers, AVideoOfAnotherDayOpensOnTheFrameSelectionScreen) {
    const std::string video = t.video_folder + "/Amesjump2.avi";
    ASSERT_TRUE(
        test::make_video({"mjpeg", "avi", "-c:v mjpeg -q:v 3", 160, 120, "30", 10, ""}, video))
        << "ffmpeg could not make the test video";
    const std::string other = t.video_folder + "/JumpMeasurementLog022807.txt";
    log(other, video_line("Ames", video, kFeb28));
    LogView& v = open_video_log();
    QPointer<LogView> viewer(&v);
    t.dialogs.file(other);
    v.cmdSelectLogFile->click();
    app->main_form().show();

    v.lstLog->setCurrentRow(0);
    v.lstLog_DblClick();
    EXPECT_EQ(app->shared().navigation_state, "View");
    EXPECT_EQ(app->shared().current_video_path, video);
    EXPECT_FALSE(v.isVisible());
    EXPECT_FALSE(app->main_form().isVisible());
    frmSetStart& f = app->set_start();
    EXPECT_TRUE(f.isVisible());
    settle();
    EXPECT_TRUE(viewer.isNull());
    EXPECT_EQ(f.Text6->text().toStdString(), video);
    EXPECT_EQ(f.MediaPlayer1->fileName(), video);
    EXPECT_TRUE(f.view_done());
}

TEST_F(LogViewers, ClosingByTheFrameEndsTheViewerAndTheNextShowingReadsTheDayAgain) {
    log(day_log, video_line("Smith", "/v/Smithjump1.avi"));
    log(day_log, picture_line("/v/Smith1.bmp"));
    app->main_form().show();
    LogView& v = open_video_log();
    QPointer<LogView> first(&v);
    v.lstLog->setCurrentRow(0);
    v.close();
    EXPECT_FALSE(v.isVisible());
    EXPECT_TRUE(app->main_form().isVisible());
    settle();
    EXPECT_TRUE(first.isNull());

    log(day_log, video_line("Jones", "/v/Jonesjump1.avi"));
    LogView& again = open_video_log();
    EXPECT_EQ(again.lstLog->count(), 2);
    EXPECT_EQ(text(again.txtFileToView), "");
    again.cmdDismiss->click();
    EXPECT_FALSE(again.isVisible());

    test::press(app->main_form(), "mnuPictureLog");
    QPointer<PictureLogView> pictures(&app->picture_log_view());
    EXPECT_EQ(pictures->lstPicLog->count(), 1);
    pictures->close();
    EXPECT_FALSE(pictures->isVisible());
    settle();
    EXPECT_TRUE(pictures.isNull());
    EXPECT_TRUE(app->main_form().isVisible());
    EXPECT_FALSE(app->quit_requested());
}

class PictureLogViewing : public LogViewers {
  protected:
    std::string picture = t.video_folder + "/Smith3.bmp";

    void SetUp() override {
        LogViewers::SetUp();
        GridState& g = app->grids();
        g.grid(1) = test::flat_grid();
        g.working = g.grid(1);
        g.complete = 1;
        QImage image(320, 200, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        ASSERT_TRUE(image.save(QString::fromStdString(picture)));
        log(day_log, picture_line(picture));
    }
    PictureLogView& choose_first_picture() {
        test::press(app->main_form(), "mnuPictureLog");
        PictureLogView& p = app->picture_log_view();
        p.lstPicLog->setCurrentRow(0);
        return p;
    }
};

TEST_F(PictureLogViewing, APictureOfTheLogOpensOnTheMeasurementScreen) {
    QPointer<PictureLogView> viewer(&choose_first_picture());
    viewer->lstPicLog_DblClick();
    Measure& m = app->measure();
    EXPECT_TRUE(m.isVisible());
    EXPECT_FALSE(viewer->isVisible());
    EXPECT_EQ(app->shared().navigation_state, "PictureLog");
    EXPECT_EQ(m.canvas().picture_pixels(), QSize(320, 200));
    EXPECT_EQ(text(m.gif_file_name), picture);
    EXPECT_TRUE(m.gif_file_name->isVisibleTo(&m));
    EXPECT_EQ(m.form().gif_file_name, picture);
    settle();
    EXPECT_TRUE(viewer.isNull());
    EXPECT_TRUE(t.dialogs.prompts().empty());

    // From the measurement screen's own log menu, over the screen: the
    // picture is replaced where it is.
    const std::string other = t.video_folder + "/Jones1.bmp";
    QImage image(160, 100, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(QString::fromStdString(other)));
    log(day_log, picture_line(other));
    test::press(m, "mnuViewLog");
    PictureLogView& again = app->picture_log_view();
    again.lstPicLog->setCurrentRow(1);
    again.cmdViewPicLog->click();
    EXPECT_TRUE(m.isVisible());
    EXPECT_EQ(m.canvas().picture_pixels(), QSize(160, 100));
    EXPECT_EQ(text(m.gif_file_name), other);
}

TEST_F(PictureLogViewing, WithNoPictureChosenTheScreenOpensWithoutAFileName) {
    app->measure().gif_file_name->setText("/v/earlier.bmp");
    test::press(app->main_form(), "mnuPictureLog");
    app->picture_log_view().cmdViewPicLog->click();
    EXPECT_TRUE(app->measure().isVisible());
    EXPECT_EQ(text(app->measure().gif_file_name), "");
    EXPECT_NE(app->shared().navigation_state, "PictureLog");
}

TEST_F(PictureLogViewing, APictureThatCannotBeShownOrAnIncompleteGridKeepsTheViewer) {
    std::filesystem::remove(picture);
    PictureLogView& p = choose_first_picture();
    p.cmdViewPicLog->click();
    ASSERT_EQ(t.dialogs.messages().size(), 1u);
    EXPECT_NE(t.dialogs.last().text.find("The picture could not be loaded: "), std::string::npos);
    EXPECT_TRUE(p.isVisible());
    EXPECT_FALSE(app->measure().isVisible());
    EXPECT_EQ(&app->picture_log_view(), &p);

    app->grids().complete = 0;
    p.cmdViewPicLog->click();
    ASSERT_EQ(t.dialogs.messages().size(), 2u);
    EXPECT_EQ(t.dialogs.last().icon, MsgIcon::Critical);
    EXPECT_TRUE(p.isVisible());
    EXPECT_FALSE(app->measure().isVisible());
}

}  // namespace
}  // namespace rs
