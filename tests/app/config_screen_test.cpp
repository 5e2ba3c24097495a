#include "app/config_screen.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/app.h"
#include "app/main_screen.h"
#include "grid/grid_file.h"
#include "grid/grid_solution.h"
#include "grid/setup_files.h"
#include "measure/measure_screen.h"
#include "tests/support/press.h"
#include "tests/support/test_app.h"

namespace rs {
namespace {

using test::TestApp;

// A set-up file of grid n and, when with_cb, its check-buoy file.
std::string write_setup(const TestApp& t, int n, bool with_cb) {
    GridDefinition g;
    g.corners[kUpperRight] = {9000, 1500, 30, 100};
    g.corners[kLowerRight] = {9000, 6000, 30, 70};
    g.corners[kUpperLeft] = {1500, 1500, 0, 100};
    g.corners[kLowerLeft] = {1500, 6000, 0, 70};
    const bool solved = solve_grid(g);  // a grid that can measure
    EXPECT_TRUE(solved);
    const std::string path = t.tmp.file("grid" + std::to_string(n) + ".ipt");
    test::spit(path, format_setup_file(path, "grid " + std::to_string(n), g, n));
    if (with_cb)
        test::spit(check_buoy_path(path), format_check_buoy_file({4000, 3000, 12, 80}));
    return path;
}

TEST(ConfigScreen, FirstRunWritesDefaultsAndBuildsTheResultsPath) {
    TestApp t;
    App& app = t.started();
    Config& c = app.config();
    EXPECT_TRUE(c.isVisible());
    EXPECT_EQ(c.windowTitle(), "System Configuration Parameters");
    auto s = t.reopen_settings();
    EXPECT_EQ(s.get("labelcolor", ""), "default");
    EXPECT_EQ(s.get("grids", ""), "1");
    EXPECT_EQ(s.get("impactcolor", "unset"), "unset");  // white was already chosen
    EXPECT_EQ(c.TournamentName->text(), "");
    EXPECT_EQ(app.shared().results_file_path, t.video_folder + "/JumpMeasurementResults030107.txt");
    EXPECT_EQ(c.ResultsPathName->text().toStdString(), app.shared().results_file_path);
    EXPECT_EQ(c.CapturesPathName->text().toStdString(), t.video_folder);
    EXPECT_TRUE(c.Opt1Grid->isChecked());
    EXPECT_TRUE(c.OptCircle->isChecked());
    EXPECT_TRUE(c.OptPictureAsk->isChecked());
    EXPECT_TRUE(c.OptVideoAsk->isChecked());
    EXPECT_TRUE(c.left_to_right_button->isChecked());
    EXPECT_TRUE(c.line_control_check->isChecked());
    EXPECT_EQ(app.configuration().tournament_type, "normal");
    EXPECT_EQ(app.configuration().measure_label_colors.at("M_Reride"), kRed);
    EXPECT_EQ(app.configuration().measure_label_colors.at("Fall"), kBlack);
    EXPECT_EQ(app.configuration().measure_label_colors.at("FrozenSign"), kWhite);
    MainForm& m = app.main_form();
    EXPECT_FALSE(m.lblGrid[1]->isVisibleTo(&m));
    EXPECT_FALSE(m.lblGrid[2]->isVisibleTo(&m));
    EXPECT_TRUE(m.lblGrid[0]->isVisibleTo(&m));
    EXPECT_EQ(m.ImageGrid[0]->property("picture").toString(), "SmallCaution.jpg");
}

TEST(ConfigScreen, StoredValuesSelectTheirButtons) {
    TestApp t;
    auto& s = *t.settings;
    (void)s.save("TournamentName", "Spring Open");
    (void)s.save("labelcolor", "yellow");
    (void)s.save("impactcolor", "red");
    (void)s.save("grids", "4");
    (void)s.save("right2left", "true");
    (void)s.save("boxlineoff", "True");
    (void)s.save("tournamentType", "sitski");
    (void)s.save("WSTIMS", "1");
    (void)s.save("buoymarker", "cross");
    (void)s.save("PictureSave", "NoSave");
    (void)s.save("VideoSave", "Save");
    (void)s.save("WarnMessage", "Yes");
    App& app = t.started();
    Config& c = app.config();
    const Configuration& cfg = app.configuration();
    EXPECT_EQ(c.TournamentName->text(), "Spring Open");
    EXPECT_TRUE(c.yellow_color->isChecked());
    for (const auto& [name, color] : cfg.measure_label_colors)
        EXPECT_EQ(color, kYellow) << name;
    EXPECT_EQ(cfg.impact_color, kRed);
    EXPECT_TRUE(c.Opt1Grid->isChecked());
    EXPECT_EQ(t.reopen_settings().get("grids", ""), "1");
    EXPECT_TRUE(cfg.right_to_left);
    EXPECT_EQ(t.reopen_settings().get("right2left", ""), "True");
    EXPECT_TRUE(cfg.line_control_off);
    EXPECT_FALSE(c.line_control_check->isChecked());
    EXPECT_EQ(cfg.tournament_type, "sitski");
    EXPECT_TRUE(c.SitSki_box->isChecked());
    EXPECT_EQ(cfg.barefoot_indicator_text, "Sit Ski Jump");
    EXPECT_EQ(cfg.wstims_state, "WSTIMS ON");
    EXPECT_TRUE(c.RSIOLabel->isVisibleTo(&c));
    EXPECT_EQ(cfg.buoy_marker, "cross");
    EXPECT_EQ(cfg.picture_save, "NoSave");
    EXPECT_EQ(cfg.video_save, "Save");
    EXPECT_TRUE(c.chkWarnMessage->isChecked());
}

TEST(ConfigScreen, TournamentTypeBoxesExcludeEachOther) {
    TestApp t;
    App& app = t.started();
    Config& c = app.config();
    const Configuration& cfg = app.configuration();
    c.SitSki_box->setChecked(false);
    c.SitSki_box->click();
    EXPECT_EQ(cfg.tournament_type, "sitski");
    c.Barefoot_box->setChecked(false);
    c.Barefoot_box->click();
    EXPECT_EQ(cfg.tournament_type, "barefoot");
    EXPECT_FALSE(c.SitSki_box->isChecked());
    EXPECT_TRUE(cfg.barefoot_indicator_visible);
    EXPECT_EQ(cfg.barefoot_indicator_text, "Barefoot Jump");
    EXPECT_EQ(t.reopen_settings().get("tournamentType", ""), "barefoot");
    c.Barefoot_box->setChecked(true);
    c.Barefoot_box->click();
    EXPECT_EQ(cfg.tournament_type, "normal");
    EXPECT_FALSE(cfg.barefoot_indicator_visible);
    EXPECT_EQ(t.reopen_settings().get("tournamentType", ""), "normal");
}

TEST(ConfigScreen, GridCountShowsIndicatorsAndReloadsOnlyExistingFiles) {
    TestApp t;
    t.install_assets();
    const std::string g1 = write_setup(t, 1, true);
    (void)t.settings->save("grids", "3");
    (void)t.settings->save("grid1File", g1);
    (void)t.settings->save("grid2File", t.tmp.file("missing2.ipt"));
    App& app = t.started();
    MainForm& m = app.main_form();
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(m.lblGrid[i]->isVisibleTo(&m)) << i;
    EXPECT_EQ(m.ImageGrid[0]->property("picture").toString(), "SmallSmiley.jpg");
    EXPECT_EQ(m.ImageGrid[1]->property("picture").toString(), "SmallCaution.jpg");
    EXPECT_EQ(m.ImageGrid[2]->property("picture").toString(), "SmallCaution.jpg");
    EXPECT_TRUE(app.grids().grid(1).loaded);
    EXPECT_FALSE(app.grids().grid(2).loaded);
    EXPECT_FALSE(app.grids().grid(3).loaded);
    EXPECT_EQ(app.grids().current, 1);
    EXPECT_FALSE(app.grids().loading);
    EXPECT_EQ(m.txtGridDescription[0]->text(), "grid 1");

    Config& c = app.config();
    c.Opt2grid->setChecked(false);
    c.Opt2grid->click();
    EXPECT_TRUE(m.lblGrid[1]->isVisibleTo(&m));
    EXPECT_FALSE(m.lblGrid[2]->isVisibleTo(&m));
    EXPECT_EQ(app.shared().grid_count, 2);
    EXPECT_EQ(t.reopen_settings().get("grids", ""), "2");
}

// The number of grids changed: every grid shown says at once whether it is
// ready, and measuring follows the grids now configured.
TEST(ConfigScreen, IndicatorsFollowTheNumberOfGridsAtOnce) {
    TestApp t;
    t.install_assets();
    const std::string g1 = write_setup(t, 1, true);
    (void)t.settings->save("grid1File", g1);
    App& app = t.started();
    MainForm& m = app.main_form();
    Config& c = app.config();
    ASSERT_EQ(app.grids().complete, 1);
    auto picture = [&](int n) { return m.ImageGrid[n - 1]->property("picture").toString(); };

    c.Opt3grid->setChecked(false);
    c.Opt3grid->click();
    for (int n = 2; n <= 3; ++n) {
        EXPECT_TRUE(m.ImageGrid[n - 1]->isVisibleTo(&m)) << n;
        EXPECT_EQ(picture(n), "SmallCaution.jpg") << n;
    }
    EXPECT_EQ(picture(1), "SmallSmiley.jpg");
    EXPECT_EQ(app.grids().complete, 0);

    // Back to one grid with grid 1 ready: measuring needs no visit to the
    // set-up screen.
    c.Opt1Grid->setChecked(false);
    c.Opt1Grid->click();
    EXPECT_EQ(app.grids().complete, 1);
    EXPECT_FALSE(m.ImageGrid[1]->isVisibleTo(&m));
    test::press(c, "mnuExit");
    test::press(m, "ccmdGoToMeasure");
    EXPECT_TRUE(app.measure().isVisible());
}

// A grid whose file exists but cannot measure (saved before "Complete") is
// shown with the caution picture, and the message names the file.
TEST(ConfigScreen, AnUnsolvedSetUpFileIsNotReadyAtStart) {
    TestApp t;
    t.install_assets();
    const std::string g1 = write_setup(t, 1, true);
    GridDefinition blank;
    blank.corners[kUpperRight] = {9000, 1500, 30, 100};
    blank.corners[kLowerRight] = {9000, 6000, 30, 70};
    blank.corners[kUpperLeft] = {1500, 1500, 0, 100};
    blank.corners[kLowerLeft] = {1500, 6000, 0, 70};
    test::spit(g1, format_setup_file(g1, "half done", blank, 1));
    (void)t.settings->save("grid1File", g1);
    App& app = t.started();
    MainForm& m = app.main_form();
    EXPECT_EQ(m.ImageGrid[0]->property("picture").toString(), "SmallCaution.jpg");
    EXPECT_FALSE(app.grids().grid(1).loaded);
    EXPECT_EQ(app.grids().complete, 0);
    EXPECT_EQ(app.setup_form().grid_state_icon, "msgbox03.ico");
    const auto messages = t.dialogs.messages();
    EXPECT_NE(std::find(messages.begin(), messages.end(), not_solved_message(g1, 1)),
              messages.end());
}

// The load sets the check boxes as clicks would: their handlers write the
// settings as the option buttons' do; flags read either way they are stored.
TEST(ConfigScreen, LoadRunsTheCheckBoxHandlersAndReadsFlags) {
    TestApp t;
    (void)t.settings->save("TournamentName", "Default");
    (void)t.settings->save("boxlineoff", "1");  // a flag, like "right2left"
    (void)t.settings->save("WarnMessage", "Yes");
    (void)t.settings->save("barefoot", "1");
    App& app = t.started();
    Config& c = app.config();
    const Configuration& cfg = app.configuration();
    auto s = t.reopen_settings();
    EXPECT_TRUE(cfg.line_control_off);
    EXPECT_EQ(cfg.line_text, "line_off");
    EXPECT_FALSE(c.line_control_check->isChecked());
    EXPECT_EQ(s.get("boxlineoff", ""), "True");  // written by its handler
    EXPECT_EQ(s.get("WarnMessage", ""), "Yes");
    EXPECT_TRUE(cfg.warn_message);
    EXPECT_TRUE(app.main_form().cb15->isChecked());
    EXPECT_EQ(s.get("barefoot", ""), "1");
    // The stored name equals the box's designed text, yet it is the name.
    EXPECT_EQ(cfg.tournament_name, "Default");

    TestApp first;  // nothing stored: the handlers write what the boxes show
    first.started();
    auto f = first.reopen_settings();
    EXPECT_EQ(f.get("boxlineoff", ""), "False");
    EXPECT_EQ(f.get("WarnMessage", ""), "No");
    EXPECT_EQ(f.get("barefoot", ""), "0");
}

TEST(ConfigScreen, LoupeButtonAndTheWstimsCaution) {
    TestApp t;
    App& app = t.started();
    Config& c = app.config();
    c.resize(c.sizeHint());
    c.show();
    // "Restart Screen Loupe" does not turn the loupe on against the box.
    auto* cmdLoupe = c.findChild<QPushButton*>("cmdLoupe");
    ASSERT_NE(cmdLoupe, nullptr);
    cmdLoupe->click();
    EXPECT_FALSE(app.configuration().use_loupe);
    EXPECT_FALSE(c.chkLoupe->isChecked());

    // The caution line under "WSTIMS Interface" keeps its place hidden: the
    // boxes below do not move when it shows.
    QApplication::processEvents();
    const QPoint bad_setup = c.chkBadSetup->pos();
    const QPoint loupe = c.chkLoupe->pos();
    c.WSTIMS->click();
    EXPECT_TRUE(c.RSIOLabel->isVisible());
    QApplication::processEvents();
    EXPECT_EQ(c.chkBadSetup->pos(), bad_setup);
    EXPECT_EQ(c.chkLoupe->pos(), loupe);
    c.WSTIMS->click();
    QApplication::processEvents();
    EXPECT_EQ(c.chkBadSetup->pos(), bad_setup);
}

TEST(ConfigScreen, InvalidSetupsAreLoggedToBothLogs) {
    TestApp t;
    App& app = t.started();
    Config& c = app.config();
    c.TournamentName->setText("Lake Cup");
    c.chkBadSetup->setChecked(false);
    c.chkBadSetup->click();
    c.chkBadSetup->setChecked(true);
    c.chkBadSetup->click();
    EXPECT_EQ(test::slurp(app.shared().results_file_path),
              "Invalid Configurations Allowed: 03-01-2007  09:05:03 Lake Cup\r\n"
              "Only valid Configurations Allowed: 03-01-2007  09:05:03 Lake Cup\r\n");
    EXPECT_NE(t.debug_log().find("09:05:03      Warning - Bad Setups allowed\r\n"),
              std::string::npos);
    EXPECT_NE(t.debug_log().find("09:05:03      Bad Setups restricted again\r\n"),
              std::string::npos);
}

TEST(ConfigScreen, EmptyResultsPathIsRefusedWithAMessage) {
    TestApp t;
    App& app = t.started();
    app.config().ResultsPathName->setText("");
    EXPECT_EQ(t.dialogs.last().text, "Enter valid path and filename for results file");
    EXPECT_EQ(app.shared().results_file_path, "");
    // The exit still completes, without the line.
    test::press(app.config(), "mnuExit");
    EXPECT_TRUE(app.main_form().isVisible());
}

TEST(ConfigScreen, ExitSavesLogsAndReadsTheSkierNames) {
    TestApp t;
    App& app = t.started();
    Config& c = app.config();
    c.TournamentName->setText("Lake Cup");
    app.configuration().skier_names = {"kept"};
    const size_t prompts = t.dialogs.prompts().size();
    test::press(c, "mnuExit");  // no skier name file: no message, the list is untouched
    EXPECT_EQ(t.dialogs.prompts().size(), prompts);
    EXPECT_EQ(app.configuration().skier_names, std::vector<std::string>{"kept"});
    EXPECT_FALSE(c.isVisible());
    EXPECT_TRUE(app.main_form().isVisible());
    EXPECT_EQ(t.reopen_settings().get("TournamentName", ""), "Lake Cup");
    EXPECT_EQ(t.reopen_settings().get("labelcolor", ""), "default");
    EXPECT_EQ(app.configuration().captures_folder, t.video_folder + "/");
    EXPECT_EQ(test::slurp(app.shared().results_file_path),
              "New Configuration: 03-01-2007  09:05:03 Lake Cup\r\n");
    test::press(c, "mnuExit");  // a folder that ends in a separator stays as it is
    EXPECT_EQ(app.configuration().captures_folder, t.video_folder + "/");

    const std::string names = t.tmp.file("names.txt");
    test::spit(names, "Smith, Jones\r\n\"Doe, Jane\",Brown\r\n");
    c.SkierNameFile->setText(QString::fromStdString(names));
    test::press(c, "mnuExit");
    EXPECT_EQ(app.configuration().skier_names,
              (std::vector<std::string>{"Smith", "Jones", "Doe, Jane", "Brown"}));

    c.SkierNameFile->setText(QString::fromStdString(t.tmp.file("none.txt")));
    test::press(c, "mnuExit");
    EXPECT_EQ(t.dialogs.last().text, "Names not loaded, check file name and path");
    EXPECT_TRUE(app.configuration().skier_names.empty());
}

TEST(ConfigScreen, FindButtonsAndFolderBrowser) {
    TestApp t;
    App& app = t.started();
    Config& c = app.config();
    t.dialogs.cancel_file();
    test::press(c, "btnFindResults");
    EXPECT_EQ(c.ResultsPathName->text().toStdString(), app.shared().results_file_path);
    const auto& req = t.dialogs.last().file;
    EXPECT_EQ(req.filter,
              "All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|Parameter Files (*.ipt)|*.ipt|");
    EXPECT_EQ(req.filter_index, 2);
    t.dialogs.file("/tmp/results.txt");
    test::press(c, "btnFindResults");
    EXPECT_EQ(app.shared().results_file_path, "/tmp/results.txt");

    t.dialogs.folder("");
    test::press(c, "cmdBrowseForDirectory");
    EXPECT_EQ(c.SetupFilesPathName->text(), "");
    t.dialogs.folder(t.tmp.path());
    test::press(c, "cmdBrowseForDirectory");
    EXPECT_EQ(app.shared().setup_folder, t.tmp.path());
    EXPECT_EQ(t.reopen_settings().get("SetupFiles", ""), t.tmp.path());

    c.chkLoupe->setChecked(false);
    c.chkLoupe->click();
    EXPECT_TRUE(app.configuration().use_loupe);
    EXPECT_EQ(t.reopen_settings().get("Loupe", ""), "1");
}

}  // namespace
}  // namespace rs
