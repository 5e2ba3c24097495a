#include "app/main_screen.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>

#include "app/app.h"
#include "app/config_screen.h"
#include "app/log_view.h"
#include "app/manual_screen.h"
#include "app/startup.h"
#include "grid/calibration_screen.h"
#include "grid/grid_setup_screen.h"
#include "measure/measure_screen.h"
#include "measure/results_screen.h"
#include "tests/support/press.h"
#include "tests/support/test_app.h"
#include "video/capture_screen.h"
#include "video/frame_selection_screen.h"

namespace rs {
namespace {

using test::PromptKind;
using test::TestApp;

constexpr const char* kResetTitle = "Emergency Parameter Reset";

TEST(StartUp, FirstRunAsksTheResetQuestionsWithZeroValuesThenAFolder) {
    TestApp t;
    t.dialogs.yes().yes();
    for (int i = 0; i < 8; ++i)
        t.dialogs.no();
    t.dialogs.cancel_input();               // cancelled: an invalid path
    t.dialogs.text(t.video_folder + "\\");  // a folder typed with a backslash
    t.make().start();

    const auto& p = t.dialogs.prompts();
    ASSERT_GE(p.size(), 14u);
    EXPECT_EQ(p[0].text, "Do you want to reset all parameters to install values?");
    EXPECT_EQ(p[1].text, "Are you certain? This means you are crashing and can't operate");
    const char* keys[] = {"Logpath = 0 Clear it?",     "barefoot = 0 Clear it?",
                          "compression = 0 Clear it?", "device = 0 Clear it?",
                          "framerate = 0 Clear it?",   "Grid 1 File = 0 Clear it?",
                          "Grid 2 File = 0 Clear it?", "Grid 3 File = 0 Clear it?"};
    for (int i = 0; i < 10; ++i) {
        if (i >= 2) {
            EXPECT_EQ(p[i].text, keys[i - 2]);
        }
        EXPECT_EQ(p[i].title, kResetTitle);
        EXPECT_EQ(p[i].buttons, MsgButtons::YesNo);
        EXPECT_EQ(p[i].icon, MsgIcon::Question);
        EXPECT_TRUE(p[i].default_no);
    }
    EXPECT_EQ(p[10].kind, PromptKind::Input);
    EXPECT_EQ(p[10].title, "Input Save Video Files Path");
    EXPECT_EQ(p[10].text,
              "No Correct Save Video Directory has been set.  Please put in the path of the Save "
              "Video Directory here.");
    EXPECT_EQ(p[11].text, "You entered an invalid path - try  again");
    EXPECT_EQ(p[11].title, kProgramTitle);
    EXPECT_EQ(p[12].kind, PromptKind::Input);
    EXPECT_EQ(p[13].text, "Please Verify all Setup Parameters");

    App& app = *t.app;
    // The video folder in memory has no trailing backslash; the setting holds
    // the text as typed.
    EXPECT_EQ(app.shared().video_folder, t.video_folder);
    EXPECT_EQ(t.reopen_settings().get("logpath", ""), t.video_folder + "\\");
    EXPECT_EQ(app.shared().measurement_log_name, "JumpMeasurementLog030107.txt");
    EXPECT_EQ(test::slurp(t.video_folder + "/JumpMeasurementLog030107.txt"),
              "03-01-2007    09:05:03      Rampsight Measurement Session started  \r\n");
    EXPECT_EQ(t.reopen_settings().get("logfile", ""), "JumpMeasurementLog030107.txt");
    EXPECT_EQ(t.debug_log(),
              "09:05:03      Debug Log Session Started\r\n09:05:03      MainForm Load\r\n");
    EXPECT_EQ(app.main_form().windowTitle(), "Rampsight 2007 Version 1.3");
    EXPECT_FALSE(app.main_form().isVisible());
    EXPECT_TRUE(app.config().isVisible());
}

TEST(StartUp, ResetClearsTheKeysAnsweredYes) {
    TestApp t;
    (void)t.settings->save("logpath", t.video_folder);
    (void)t.settings->save("logfile", "JumpMeasurementLog010107.txt");
    (void)t.settings->save("grid2File", "/setups/g2.ipt");
    (void)t.settings->save("barefoot", "1");
    t.dialogs.yes().yes();
    t.dialogs.yes();                     // logpath
    t.dialogs.no().no().no().no().no();  // barefoot .. grid 1
    t.dialogs.yes();                     // grid 2
    t.dialogs.no();                      // grid 3
    t.dialogs.text(t.video_folder);      // logpath was cleared
    t.make().start();
    const auto msgs = t.dialogs.messages();
    EXPECT_EQ(msgs[2], "Logpath = " + t.video_folder + " Clear it?");
    EXPECT_EQ(msgs[3], "barefoot = 1 Clear it?");
    EXPECT_EQ(msgs[8], "Grid 2 File = /setups/g2.ipt Clear it?");
    auto s = t.reopen_settings();
    EXPECT_EQ(s.get("grid2File", "x"), "");
    EXPECT_EQ(s.get("barefoot", 0), "1");
    EXPECT_TRUE(t.app->main_form().cb15->isChecked());
    // The header of this start wrote "logfile" again after the reset cleared it.
    EXPECT_EQ(s.get("logfile", "x"), "JumpMeasurementLog030107.txt");
}

TEST(StartUp, ConfiguredFrameRateSetsTheCaption) {
    struct Case {
        const char* rate;
        const char* caption;
    };
    for (const Case& c :
         {Case{"30", "Currently Configured for R"}, Case{"20", "Currently Configured for L"},
          Case{"10", "Currently Configured for Normal/C"},
          Case{"3", "Currently Configured for R"}}) {
        TestApp t;
        (void)t.settings->save("framerate", c.rate);
        App& app = t.started();
        EXPECT_EQ(app.main_form().EdtRate->text().toStdString(), c.rate);
        EXPECT_EQ(app.main_form().lblConfig->text().toStdString(), c.caption) << c.rate;
    }
    EXPECT_EQ(config_caption_for_rate(5, "x"), "Currently Configured for Normal/C");
    EXPECT_EQ(config_caption_for_rate(4.99, "x"), "x");
    EXPECT_EQ(config_caption_for_rate(15, "x"), "Currently Configured for L");
    EXPECT_EQ(config_caption_for_rate(25, "x"), "Currently Configured for R");
}

TEST(MainScreen, VideoFolderEditsAndTheFolderBrowser) {
    TestApp t;
    App& app = t.started();
    MainForm& m = app.main_form();
    m.txtVideoDir->setText(QString::fromStdString(t.tmp.path() + "/other/"));
    EXPECT_EQ(app.shared().video_folder, t.tmp.path() + "/other");
    EXPECT_EQ(t.reopen_settings().get("logpath", ""), t.tmp.path() + "/other");

    t.dialogs.folder("");  // cancelled: nothing changes
    test::press(m, "btnChangeDirectory");
    EXPECT_EQ(m.txtVideoDir->text().toStdString(), t.tmp.path() + "/other/");
    EXPECT_EQ(t.dialogs.last().kind, PromptKind::Folder);
    EXPECT_EQ(t.dialogs.last().text, "Select Directory");

    t.dialogs.folder(t.video_folder);
    test::press(m, "btnChangeDirectory");
    EXPECT_EQ(m.txtVideoDir->text().toStdString(), t.video_folder);
    EXPECT_EQ(m.findChild<QLabel*>("lblVideodir")->text().toStdString(), t.video_folder);
    EXPECT_EQ(app.shared().video_folder, t.video_folder);
    EXPECT_EQ(t.reopen_settings().get("logpath", ""), t.video_folder);

    m.cb15->setChecked(false);
    m.cb15->click();
    EXPECT_EQ(t.reopen_settings().get("barefoot", 0), "1");
}

TEST(MainScreen, CaptureAndPlaybackNeedAnExistingFolder) {
    TestApp t;
    App& app = t.started();
    MainForm& m = app.main_form();
    m.txtVideoDir->setText(QString::fromStdString(t.tmp.path() + "/missing"));
    m.show();
    test::press(m, "cmdGoCapture");
    EXPECT_EQ(t.dialogs.last().text,
              "The Log File Folder you specified does not exist. Please change it to a Folder "
              "that does exist.");
    EXPECT_EQ(t.dialogs.last().title, "Path Error");
    EXPECT_EQ(t.dialogs.last().icon, MsgIcon::Exclamation);
    EXPECT_TRUE(m.isVisible());

    m.txtVideoDir->setText(QString::fromStdString(t.video_folder));
    test::press(m, "cmdGoTimer");
    EXPECT_EQ(app.shared().navigation_state, "Setup");
    EXPECT_TRUE(app.set_start().isVisible());
    EXPECT_FALSE(m.isVisible());
}

TEST(MainScreen, MeasurementNeedsEveryGridSetUp) {
    TestApp t;
    App& app = t.started();
    MainForm& m = app.main_form();
    m.show();
    app.grids().complete = 0;
    test::press(m, "ccmdGoToMeasure");
    EXPECT_EQ(t.dialogs.last().text,
              "At least one measurement grid that you have specified has not been set up.  All "
              "grids specified must be set up correctly before you can use the measurement screen");
    EXPECT_EQ(t.dialogs.last().icon, MsgIcon::Critical);
    EXPECT_TRUE(app.grid_setup().isVisible());
    EXPECT_FALSE(app.measure().isVisible());

    app.grid_setup().hide();
    app.grids().complete = 1;
    const size_t prompts = t.dialogs.prompts().size();
    test::press(m, "ccmdGoToMeasure");
    EXPECT_EQ(t.dialogs.prompts().size(), prompts);
    EXPECT_TRUE(app.measure().isVisible());
}

TEST(MainScreen, ExitAsksFirst) {
    TestApp t;
    App& app = t.started();
    t.dialogs.no();
    test::press(app.main_form(), "mnuExit");
    EXPECT_EQ(t.dialogs.last().text, "Are you sure you want to quit?");
    EXPECT_TRUE(t.dialogs.last().default_no);
    EXPECT_FALSE(app.quit_requested());
    t.dialogs.yes();
    test::press(app.main_form(), "mnuExit");
    EXPECT_TRUE(app.quit_requested());
}

TEST(MainScreen, VersionNotesAndManual) {
    TestApp t;
    t.install_assets();
    App& app = t.started();
    test::press(app.main_form(), "mnuVersions");
    Results& r = app.results();
    EXPECT_TRUE(r.isVisible());
    EXPECT_EQ(r.windowTitle().toStdString(), "Version Notes");
    const std::string notes = r.output_box->toPlainText().toStdString();
    EXPECT_EQ(notes.rfind("Rampsight Version Notes\nRS07v1.0\nBase Release for 2007\n", 0), 0u);
    EXPECT_NE(notes.find("\n\nRS07v1.3\n1. Corrected which directory the setup load/save points "
                         "to\n"),
              std::string::npos);
    EXPECT_EQ(version_notes_text().find("\r\n\r\nRS07v1.1\r\n"), 120u);
    EXPECT_EQ(version_notes_text().substr(version_notes_text().size() - 2), "\r\n");

    test::press(app.main_form(), "munManual");
    auto* box = app.manual().findChild<QPlainTextEdit*>("RichTextBox1");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->toPlainText().startsWith("Rampsight Measurement Manual"));

    test::press(app.main_form(), "mnulicense");
    EXPECT_EQ(t.dialogs.last().text, license_text());
}

TEST(ResultsViewer, ShowsTheFileOnceWithItsPathAsCaption) {
    TestApp t;
    App& app = t.started();
    const std::string path = t.video_folder + "/JumpMeasurementResults030107.txt";
    test::spit(path, "");
    app.shared().results_file_path = "  " + path;
    test::press(app.main_form(), "mnuResults");
    Results& r = app.results();
    EXPECT_TRUE(r.isVisible());
    EXPECT_EQ(r.windowTitle().toStdString(), path);
    EXPECT_EQ(r.output_box->toPlainText().toStdString(), "");

    test::spit(path, "line 1\r\nline 2\r\n");
    test::press(app.main_form(), "mnuResults");
    test::press(app.main_form(), "mnuResults");
    EXPECT_EQ(r.output_box->toPlainText().toStdString(), "line 1\nline 2\n");
    test::press(r, "Exit_results");
    EXPECT_FALSE(r.isVisible());
    EXPECT_TRUE(r.output_box->toPlainText().isEmpty());
}

TEST(ResultsViewer, MissingFileGivesAMessageAndNoViewer) {
    TestApp t;
    App& app = t.started();
    app.shared().results_file_path = t.video_folder + "/none.txt";
    test::press(app.main_form(), "mnuResults");
    EXPECT_FALSE(app.results().isVisible());
    EXPECT_NE(t.dialogs.last().text.find("none.txt"), std::string::npos);
    EXPECT_EQ(t.dialogs.last().icon, MsgIcon::Exclamation);
}

TEST(ResultsViewer, AReopenOnAFileThatCannotBeReadHidesTheViewer) {
    TestApp t;
    App& app = t.started();
    const std::string path = t.video_folder + "/JumpMeasurementResults030107.txt";
    test::spit(path, "line 1\r\n");
    app.shared().results_file_path = path;
    test::press(app.main_form(), "mnuResults");
    Results& r = app.results();
    ASSERT_TRUE(r.isVisible());
    app.shared().results_file_path = t.video_folder + "/gone.txt";
    test::press(app.main_form(), "mnuResults");
    // Not an empty viewer under the old file's caption.
    EXPECT_FALSE(r.isVisible());
    EXPECT_NE(t.dialogs.last().text.find("gone.txt"), std::string::npos);
}

// Only the main screen ends the program. Every other screen closed by its
// window frame runs its own way out, and no window closing ends the run.
TEST(Screens, ClosingAnyScreenByItsFrameRunsItsOwnWayOut) {
    TestApp t;
    t.install_assets();
    App& app = t.started();
    EXPECT_FALSE(QGuiApplication::quitOnLastWindowClosed());
    int last_closed = 0;
    QObject::connect(qApp, &QGuiApplication::lastWindowClosed, [&] { ++last_closed; });
    MainForm& main = app.main_form();

    // The configuration screen: its exit, with the name typed kept.
    Config& config = app.config();
    ASSERT_TRUE(config.isVisible());
    ASSERT_FALSE(main.isVisible());
    config.TournamentName->setText("Spring Open");
    config.close();
    EXPECT_FALSE(config.isVisible());
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(t.reopen_settings().get("TournamentName", ""), "Spring Open");
    const std::string results = test::slurp(app.shared().results_file_path);
    EXPECT_NE(results.find("New Configuration: 03-01-2007  09:05:03 Spring Open\r\n"),
              std::string::npos)
        << results;

    // The screens of the work flow go back to the main screen.
    auto closes_to_main = [&](QWidget& screen, const char* name) {
        main.hide();
        screen.show();
        screen.close();
        EXPECT_FALSE(screen.isVisible()) << name;
        EXPECT_TRUE(main.isVisible()) << name;
    };
    t.dialogs.yes();  // "Do you want to leave the grid setup with all configured grids not setup?"
    closes_to_main(app.grid_setup(), "Grid_Setup");
    EXPECT_EQ(t.dialogs.last().title, "Grid Setup Error");
    closes_to_main(app.measure(), "Measure");
    closes_to_main(app.manual(), "frmManual");
    t.dialogs.yes();  // "Are you sure you want to go to Main Screen?"
    closes_to_main(app.set_start(), "frmSetStart");

    // The viewers beside the main screen hide.
    main.show();
    test::press(app.main_form(), "mnuVersions");
    app.results().close();
    EXPECT_FALSE(app.results().isVisible());
    app.calibrate().show();
    app.calibrate().close();
    EXPECT_FALSE(app.calibrate().isVisible());
    QPointer<QWidget> log = &app.log_view();
    log->show();
    log->close();
    EXPECT_TRUE(!log || !log->isVisible());
    QPointer<QWidget> pictures = &app.picture_log_view();
    pictures->show();
    pictures->close();
    EXPECT_TRUE(!pictures || !pictures->isVisible());

    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(app.quit_requested());
    EXPECT_EQ(last_closed, 0);

    // The main screen's own window ends the program.
    main.close();
    EXPECT_TRUE(app.quit_requested());
}

}  // namespace
}  // namespace rs
