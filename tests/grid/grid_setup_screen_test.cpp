#include "grid/grid_setup_screen.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>
#include <cmath>
#include <filesystem>

#include "app/app.h"
#include "app/main_screen.h"
#include "core/text_forms.h"
#include "core/text_lines.h"
#include "grid/grid_file.h"
#include "grid/setup_files.h"
#include "platform/picture_canvas_widget.h"
#include "tests/support/press.h"
#include "tests/support/test_app.h"

namespace rs {
namespace {

using test::PromptKind;
using test::TestApp;

// A camera view of a 30 m by 30 m course that the acceptance takes without a
// word: field of view 11.4 degrees, 90 % of the 12000-twip picture wide.
struct Buoy {
    double x, y;
    const char* survey_x;
    const char* survey_y;
};
constexpr Buoy kUL{1500, 1500, "0", "100"};
constexpr Buoy kLL{600, 6000, "0", "70"};
constexpr Buoy kUR{10500, 1500, "30", "100"};
constexpr Buoy kLR{11400, 6000, "30", "70"};
constexpr Buoy kCheckBuoy{6000, 3540, "15", "85"};  // expected at (6000, 3545.45)

class SetupScreen : public ::testing::Test {
  protected:
    TestApp t;
    App* app = nullptr;
    Grid_Setup* s = nullptr;
    std::string setups = t.tmp.make_dir("setups");

    void start(int grids = 1) {
        (void)t.settings->save("grids", std::to_string(grids));
        (void)t.settings->save("SetupFiles", setups);
        t.install_assets();
        app = &t.started();
        s = &app->grid_setup();
        s->show();
    }

    void place(QRadioButton* point, double x, double y) {
        point->setChecked(true);
        s->Form_MouseDown(x, y);
    }
    void type(ValueBox which, const std::string& text) {
        s->box(which)->setText(QString::fromStdString(text));
    }
    std::string text(ValueBox which) const { return s->box(which)->text().toStdString(); }

    // Clicks the five points and types every survey value.
    void enter_setup(double check_x = kCheckBuoy.x) {
        place(s->upper_left_button, kUL.x, kUL.y);
        place(s->lower_left_button, kLL.x, kLL.y);
        place(s->upper_right_button, kUR.x, kUR.y);
        place(s->lower_right_button, kLR.x, kLR.y);
        place(s->optCheckBuoy, check_x, kCheckBuoy.y);
        type(ValueBox::ul_survey_x, kUL.survey_x);
        type(ValueBox::ul_survey_y, kUL.survey_y);
        type(ValueBox::ll_survey_x, kLL.survey_x);
        type(ValueBox::ll_survey_y, kLL.survey_y);
        type(ValueBox::ur_survey_x, kUR.survey_x);
        type(ValueBox::ur_survey_y, kUR.survey_y);
        type(ValueBox::lr_survey_x, kLR.survey_x);
        type(ValueBox::lr_survey_y, kLR.survey_y);
        type(ValueBox::jump_x, "15");
        type(ValueBox::jump_y, "40");
        type(ValueBox::txtCheckX, kCheckBuoy.survey_x);
        type(ValueBox::txtCheckY, kCheckBuoy.survey_y);
    }
    void accept_setup() {
        enter_setup();
        s->Load->click();
        ASSERT_EQ(s->grid_state_icon->property("picture").toString(), "face02.ico");
    }

    bool shown(QWidget* w) const { return w->isVisibleTo(s); }
    std::string icon() const {
        return s->grid_state_icon->property("picture").toString().toStdString();
    }
    std::vector<std::string> debug_lines() const {
        std::vector<std::string> out;
        for (const std::string& l : split_lines(t.debug_log()))
            out.push_back(l.size() > 14 ? l.substr(14) : "");
        return out;
    }
    bool logged(const std::string& line) const {
        const auto lines = debug_lines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    std::vector<std::string> report_lines() const {
        return split_lines(test::slurp(t.video_folder + "/acc0301.txt"));
    }
};

TEST_F(SetupScreen, LoadsWithNothingPlacedAndEveryControlNamed) {
    start();
    EXPECT_EQ(s->windowTitle(), "Grid Setup");
    EXPECT_EQ(icon(), "msgbox03.ico");
    EXPECT_FALSE(shown(s->btnAccuracyCheck));
    EXPECT_FALSE(shown(s->fmAccuracyDisplay));
    EXPECT_FALSE(shown(s->lblCB));
    EXPECT_TRUE(s->optStandardAccuracy->isChecked());
    EXPECT_TRUE(s->optHomolgationLevel->isChecked());
    EXPECT_EQ(s->grid_select->text(), "Grid 1");
    EXPECT_EQ(s->txtPicWidth->text(), " 12000");
    EXPECT_EQ(s->txtPicHeight->text(), " 9000");
    EXPECT_EQ(text(ValueBox::upper_left_x), "auto");
    EXPECT_EQ(text(ValueBox::lr_survey_y), "input");
    EXPECT_EQ(s->keyTimer->interval(), 100);
    EXPECT_TRUE(s->keyTimer->isActive());
    for (const char* name : {"upper_left_button", "optCheckBuoy",
                             "txtCheckXpix",      "ipt_file_description_2",
                             "Setup_Cross_size",  "CrossSizeLabel",
                             "AdjustUp",          "AdjustmentLabel",
                             "chkboxGridLock",    "gridLockedLabel",
                             "lblGridDragIt",     "grid_select",
                             "show_alignment",    "Load",
                             "cmdCBlabel",        "lblCB",
                             "grid_state_icon",   "btnAccuracyCheck",
                             "fmAccuracyConfig",  "optDetailMeasurement",
                             "keyTimer",          "gridLoad",
                             "mnuSetupPicture",   "mnuLoadPicture",
                             "mnuClearPicture",   "mnuPaste",
                             "mnuMeasurePic",     "gridSave",
                             "mnuCalibrate",      "gridExit"}) {
        EXPECT_NE(s->findChild<QObject*>(name), nullptr) << name;
    }
}

TEST_F(SetupScreen, ClicksPlaceTheSelectedPointOrTheWholeLockedGrid) {
    start();
    s->Form_MouseDown(3000, 3000);  // no point chosen: nothing happens
    EXPECT_EQ(text(ValueBox::upper_left_x), "auto");
    EXPECT_TRUE(s->picture->figures().empty());

    enter_setup();
    EXPECT_EQ(text(ValueBox::upper_left_x), "1500");
    EXPECT_EQ(text(ValueBox::txtCheckYpix), "3540");
    EXPECT_EQ(app->grids().working.corners[kLowerRight].screen_x, 11400);
    EXPECT_EQ(app->grids().working.check_buoy.screen_y, 3540);
    EXPECT_EQ(app->grids().working.corners[kUpperLeft].survey_y, 100);
    // Each point carries one marker: a circle and a cross.
    EXPECT_EQ(s->picture->figures().size(), 10u);

    s->chkboxGridLock->click();
    EXPECT_TRUE(s->chkboxGridLock->isChecked());
    EXPECT_TRUE(shown(s->gridLockedLabel));
    place(s->upper_left_button, kUL.x + 150, kUL.y);
    EXPECT_EQ(text(ValueBox::upper_left_x), "1650");
    EXPECT_EQ(text(ValueBox::lower_left_x), "750");
    EXPECT_EQ(text(ValueBox::upper_right_x), "10650");
    EXPECT_EQ(text(ValueBox::lower_right_x), "11550");
    EXPECT_EQ(text(ValueBox::txtCheckXpix), "6150");
    EXPECT_EQ(text(ValueBox::lower_right_y), "6000");
    EXPECT_EQ(app->grids().working.corners[kUpperRight].screen_x, 10650);
    EXPECT_EQ(s->picture->figures().size(), 10u);  // the old markers are gone
}

TEST_F(SetupScreen, LockNeedsEveryPointPlaced) {
    start();
    place(s->upper_left_button, 1500, 1500);
    s->chkboxGridLock->click();
    EXPECT_EQ(t.dialogs.last().text,
              "Cannot Lock Grid Until buoy positions have been entered for all four buoys and "
              "check buoy");
    EXPECT_FALSE(s->chkboxGridLock->isChecked());
    EXPECT_FALSE(shown(s->gridLockedLabel));
    EXPECT_FALSE(shown(s->lblGridDragIt));
}

TEST_F(SetupScreen, NudgesByArrowImagesAndHeldArrowKeys) {
    start();
    place(s->upper_left_button, 1500, 1500);
    s->AdjustRight->click();
    s->AdjustDown->click();
    EXPECT_EQ(text(ValueBox::upper_left_x), "1515");
    EXPECT_EQ(text(ValueBox::upper_left_y), "1515");

    // A tap moves one pixel, however many polls see it down.
    t.keyboard.press(Key::Up);
    s->keyTimer_Timer();
    t.keyboard.advance(100);
    s->keyTimer_Timer();
    t.keyboard.release(Key::Up);
    t.keyboard.advance(100);
    s->keyTimer_Timer();
    EXPECT_EQ(text(ValueBox::upper_left_y), "1500");

    // A held key moves a pixel at once, then a pixel a poll once held on.
    t.keyboard.press(Key::Left);
    s->keyTimer_Timer();
    EXPECT_EQ(text(ValueBox::upper_left_x), "1500");
    for (int tick = 0; tick < 4; ++tick) {  // the repeat starts after 250 ms
        t.keyboard.advance(100);
        s->keyTimer_Timer();
    }
    EXPECT_EQ(text(ValueBox::upper_left_x), "1470");
    EXPECT_EQ(text(ValueBox::upper_left_y), "1500");
    t.keyboard.release(Key::Left);
    t.keyboard.advance(100);
    s->keyTimer_Timer();
    EXPECT_EQ(text(ValueBox::upper_left_x), "1470");
    // The marker followed: one circle and one cross, at the new place.
    ASSERT_EQ(s->picture->figures().size(), 2u);
    EXPECT_EQ(s->picture->figures()[0].x1, 1470);

    s->hide();
    EXPECT_FALSE(s->keyTimer->isActive());
}

TEST_F(SetupScreen, TypingInvalidatesAnAcceptedAndSavedGrid) {
    start();
    accept_setup();
    const std::string path = setups + "/pier.ipt";
    t.dialogs.file(path).text("Pier").yes();
    test::press(*s, "gridSave");
    ASSERT_EQ(t.reopen_settings().get("grid1File", ""), path);
    ASSERT_EQ(app->grids().complete, 1);
    ASSERT_TRUE(shown(s->btnAccuracyCheck));
    t.dialogs.text("2");  // standard mode: the row question
    s->btnAccuracyCheck->click();
    ASSERT_TRUE(shown(s->AccuracyIndicator[6]));

    type(ValueBox::ul_survey_x, "0.5");
    EXPECT_EQ(icon(), "msgbox03.ico");
    EXPECT_FALSE(shown(s->btnAccuracyCheck));
    EXPECT_FALSE(shown(s->fmAccuracyDisplay));
    EXPECT_FALSE(shown(s->AccuracyIndicator[6]));
    EXPECT_EQ(app->grids().complete, 0);
    EXPECT_EQ(t.reopen_settings().get("grid1File", "unset"), "");
    EXPECT_EQ(app->grids().working.corners[kUpperLeft].survey_x, 0.5);
    MainForm& m = app->main_form();
    EXPECT_EQ(m.ImageGrid[0]->property("picture").toString(), "SmallCaution.jpg");
    EXPECT_EQ(m.txtGridDescription[0]->text(), "");
}

TEST_F(SetupScreen, GridSelectorCyclesTheConfiguredGrids) {
    for (int grids = 1; grids <= 3; ++grids) {
        SCOPED_TRACE(grids);
        TestApp fresh;
        (void)fresh.settings->save("grids", std::to_string(grids));
        App& a = fresh.started();
        Grid_Setup& g = a.grid_setup();
        std::vector<std::string> captions;
        for (int click = 0; click < 3; ++click) {
            g.grid_select->click();
            captions.push_back(g.grid_select->text().toStdString());
            EXPECT_EQ(a.grids().current, captions.back().back() - '0');
        }
        const std::vector<std::vector<std::string>> expected = {{"Grid 1", "Grid 1", "Grid 1"},
                                                                {"Grid 2", "Grid 1", "Grid 2"},
                                                                {"Grid 2", "Grid 3", "Grid 1"}};
        EXPECT_EQ(captions, expected[static_cast<size_t>(grids - 1)]);
        const std::string log = fresh.debug_log();
        EXPECT_EQ(log.find("Changed from grid 1 to grid 2") != std::string::npos, grids >= 2);
        EXPECT_EQ(log.find("Changed from grid 2 to grid 3") != std::string::npos, grids == 3);
        EXPECT_EQ(log.find("Changed from grid 2 to grid 1") != std::string::npos, grids == 2);
        EXPECT_EQ(log.find("Changed from grid 3 to grid 1") != std::string::npos, grids == 3);
    }
}

TEST_F(SetupScreen, SwitchingBackShowsTheAcceptedGridsRecord) {
    start(2);
    accept_setup();
    s->grid_select->click();
    EXPECT_EQ(s->grid_select->text(), "Grid 2");
    EXPECT_EQ(text(ValueBox::upper_left_x), "0");
    EXPECT_EQ(icon(), "msgbox03.ico");
    EXPECT_FALSE(shown(s->btnAccuracyCheck));
    s->grid_select->click();
    EXPECT_EQ(text(ValueBox::upper_left_x), "1500");
    EXPECT_EQ(text(ValueBox::ur_survey_x), "30");
    EXPECT_EQ(icon(), "face02.ico");
    EXPECT_TRUE(shown(s->btnAccuracyCheck));
    EXPECT_EQ(app->grids().complete, 0);  // grid 2 is not set up
}

TEST_F(SetupScreen, SaveAsksWhichGridAndWritesBothFiles) {
    start(3);
    accept_setup();
    const std::string path = setups + "/north.ipt";
    t.dialogs.clear();
    t.dialogs.file(path).text("North camera").no().text("0").text("4").text("2");
    test::press(*s, "gridSave");
    const auto& p = t.dialogs.prompts();
    ASSERT_EQ(p.size(), 6u);
    EXPECT_EQ(p[2].text, "Save Grid 1");
    for (size_t i = 3; i < 6; ++i)
        EXPECT_EQ(p[i].text, "What grid are you saving?");
    EXPECT_EQ(split_lines(test::slurp(path)).size(), 19u);
    EXPECT_EQ(test::slurp(path + ".cb"), " 6000 \r\n 3540 \r\n 15 \r\n 85 \r\n");
    EXPECT_EQ(t.reopen_settings().get("grid2File", ""), path);
    EXPECT_EQ(app->grids().current, 2);
    EXPECT_EQ(s->ipt_file_description->text().toStdString(), path);
    EXPECT_EQ(s->ipt_file_description_2->text(), "North camera");
}

TEST_F(SetupScreen, LoadWithAndWithoutTheCheckBuoyFile) {
    start();
    accept_setup();
    const std::string path = setups + "/pier.ipt";
    t.dialogs.file(path).text("Pier").yes();
    test::press(*s, "gridSave");

    // A fresh run loads it: one grid, so no question.
    TestApp next;
    (void)next.settings->save("SetupFiles", setups);
    next.install_assets();
    App& a = next.started();
    Grid_Setup& g = a.grid_setup();
    next.dialogs.clear();
    next.dialogs.file(path);
    test::press(g, "gridLoad");
    ASSERT_EQ(next.dialogs.prompts().size(), 1u);
    EXPECT_EQ(g.box(ValueBox::lower_right_x)->text(), "11400");
    EXPECT_EQ(g.box(ValueBox::txtCheckXpix)->text(), "6000");
    EXPECT_EQ(g.grid_state_icon->property("picture").toString(), "face02.ico");
    EXPECT_TRUE(g.btnAccuracyCheck->isVisibleTo(&g));
    EXPECT_EQ(a.grids().complete, 1);
    EXPECT_NE(test::slurp(a.shared().results_file_path).find("New Set-up now in place"),
              std::string::npos);

    // Without its ".cb" the set-up is not proven: not ready, not complete.
    std::filesystem::remove(path + ".cb");
    next.dialogs.file(path);
    test::press(g, "gridLoad");
    EXPECT_EQ(next.dialogs.last().icon, MsgIcon::Critical);
    EXPECT_EQ(next.dialogs.last().text.substr(0, 45),
              "I cannot find a  check  buoy file for this se");
    EXPECT_EQ(g.box(ValueBox::txtCheckXpix)->text(), "auto");
    EXPECT_EQ(g.box(ValueBox::txtCheckX)->text(), "");
    EXPECT_EQ(g.grid_state_icon->property("picture").toString(), "msgbox03.ico");
    EXPECT_FALSE(g.btnAccuracyCheck->isVisibleTo(&g));
    EXPECT_EQ(a.grids().complete, 0);
    EXPECT_FALSE(a.grids().grid(1).loaded);
}

TEST_F(SetupScreen, AReloadedGridIsWhatTheScreenShowsFirst) {
    GridDefinition g;
    g.corners[kUpperRight] = {10500, 1500, 30, 100};
    g.corners[kLowerRight] = {11400, 6000, 30, 70};
    g.corners[kUpperLeft] = {1500, 1500, 0, 100};
    g.corners[kLowerLeft] = {600, 6000, 0, 70};
    ASSERT_TRUE(solve_grid(g));
    const std::string path = setups + "/grid1.ipt";
    test::spit(path, format_setup_file(path, "reloaded", g, 1));
    test::spit(path + ".cb", format_check_buoy_file({6000, 3540, 15, 85}));
    (void)t.settings->save("grid1File", path);
    start();
    EXPECT_EQ(icon(), "face02.ico");
    EXPECT_TRUE(shown(s->btnAccuracyCheck));
    EXPECT_EQ(text(ValueBox::upper_right_x), "10500");
    EXPECT_EQ(app->grids().working.corners[kUpperRight].screen_x, 10500);
    EXPECT_EQ(app->grids().complete, 1);
}

TEST_F(SetupScreen, AcceptanceRefusedDrawsTheExpectedCheckBuoy) {
    start();
    enter_setup(kCheckBuoy.x + 45);
    s->Load->click();
    EXPECT_EQ(t.dialogs.last().text, "Check Buoy Does not Validate");
    EXPECT_EQ(icon(), "msgbox03.ico");
    EXPECT_TRUE(shown(s->lblCB));
    const QPointF at = *s->picture->overlay_position(s->lblCB);
    EXPECT_NEAR(at.x(), 6000 + 15, 1e-6);
    EXPECT_NEAR(at.y(), 3545.4545 - 105, 1e-3);
    const auto& figures = s->picture->figures();
    const double radius = 4.0 * s->Setup_Cross_size->value();
    EXPECT_EQ(std::count_if(figures.begin(), figures.end(),
                            [&](const Figure& f) {
                                return f.kind == Figure::Kind::Circle && f.size == radius &&
                                       std::abs(f.x1 - 6000) < 1e-6 && f.colour == kWhite;
                            }),
              1);
    EXPECT_EQ(app->grids().complete, 0);

    s->cmdCBlabel->click();
    EXPECT_FALSE(shown(s->lblCB));
    EXPECT_EQ(s->cmdCBlabel->text(), "Show Check Buoy");
    s->cmdCBlabel->click();
    EXPECT_TRUE(shown(s->lblCB));

    place(s->optCheckBuoy, kCheckBuoy.x, kCheckBuoy.y);
    s->Load->click();
    EXPECT_EQ(icon(), "face02.ico");
    EXPECT_FALSE(shown(s->lblCB));
    EXPECT_TRUE(logged("grid 1 OK and loaded - not saved"));
    EXPECT_EQ(app->grids().complete, 1);
    EXPECT_TRUE(app->grids().grid(1).loaded);
}

TEST_F(SetupScreen, LeavingReportsEveryGridAndPlacesTheBuoyLabels) {
    start();
    t.dialogs.no();
    test::press(*s, "gridExit");
    EXPECT_EQ(t.dialogs.last().text,
              "Do you want to leave the grid setup with all configured grids not setup?");
    EXPECT_EQ(t.dialogs.last().title, "Grid Setup Error");
    EXPECT_TRUE(s->isVisible());
    auto lines = debug_lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "status on exit of grid setup");
    EXPECT_EQ(lines.back(), "end of status");

    accept_setup();
    t.dialogs.clear();
    test::press(*s, "gridExit");
    EXPECT_TRUE(t.dialogs.prompts().empty());
    EXPECT_FALSE(s->isVisible());
    EXPECT_FALSE(s->keyTimer->isActive());
    EXPECT_TRUE(app->main_form().isVisible());
    lines = debug_lines();
    const std::vector<std::string> tail(lines.end() - 4, lines.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"status on exit of grid setup", "Grid 1 is loaded",
                                              "setup is OK", "end of status"}));
    EXPECT_EQ(app->grids().complete, 1);
    EXPECT_EQ(icon(), "face02.ico");

    // 61.85 m from the jump point (15, 40) to either upper corner.
    const auto& labels = app->configuration().measure_buoy_labels;
    EXPECT_EQ(labels.at("maxbuoy").caption, "203 feet");
    EXPECT_EQ(labels.at("maxbuoym").caption, "61.8 meters");
    EXPECT_EQ(labels.at("maxbuoy").left, 1400);
    EXPECT_EQ(labels.at("maxbuoy").top, 1100);
    EXPECT_EQ(labels.at("minbuoym").left, 10400);
    EXPECT_EQ(labels.at("minbuoym").top, 900);
    const auto& figures = s->picture->figures();
    EXPECT_EQ(std::count_if(
                  figures.begin(), figures.end(),
                  [](const Figure& f) { return f.kind == Figure::Kind::Cross && f.size == 100; }),
              5);
}

TEST_F(SetupScreen, AccuracyCheckLabelsThePictureAndAppendsTheDaysReport) {
    start();
    accept_setup();
    s->optAdvancedAccuracy->click();
    EXPECT_TRUE(shown(s->fmAccuracyConfig));
    s->btnAccuracyCheck->click();
    int visible = 0;
    for (QLabel* l : s->AccuracyIndicator)
        visible += shown(l) ? 1 : 0;
    EXPECT_EQ(visible, 36);
    EXPECT_EQ(s->AccuracyIndicator[0]->text(), "L");  // 0.12 m per pixel
    EXPECT_EQ(*s->picture->overlay_position(s->AccuracyIndicator[0]), QPointF(1500, 1560));

    s->optDisplayDistance->setChecked(true);
    s->btnAccuracyCheck->click();
    EXPECT_EQ(s->AccuracyIndicator[0]->text(), "63.9");  // 63.946 m to one decimal

    // Standard mode forces the classes and shows only the chosen row.
    s->optStandardAccuracy->click();
    EXPECT_FALSE(shown(s->fmAccuracyConfig));
    t.dialogs.clear();
    t.dialogs.text("0").text("row").text("8").text("3");
    s->btnAccuracyCheck->click();
    EXPECT_EQ(t.dialogs.prompts().size(), 4u);
    EXPECT_TRUE(s->optHomolgationLevel->isChecked());
    for (int i = 0; i < 36; ++i)
        EXPECT_EQ(shown(s->AccuracyIndicator[static_cast<size_t>(i)]), i / 6 == 2) << i;
    for (QLabel* l : s->LineLabel)
        EXPECT_FALSE(shown(l));
    EXPECT_EQ(s->AccuracyIndicator[12]->text(), "L");

    const auto lines = report_lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "03-01-2007  09:05:03 Accuracy Check"), 3);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Accuracy Check Complete"), 3);
    EXPECT_EQ(lines.size(), 3u * 63u);
    EXPECT_EQ(lines[6], "Front Ratio: 90");
    EXPECT_EQ(lines[7], "Back Ratio: 75");
}

TEST_F(SetupScreen, PictureFromFrameSelectionAndClicksUnderZoom) {
    start();
    QImage frame(640, 480, QImage::Format_RGB32);
    frame.fill(Qt::darkBlue);
    ASSERT_TRUE(frame.save(QString::fromStdString(t.app_folder + "/currentcapture.bmp")));
    s->hide();
    app->shared().navigation_state = "SelectFrame";
    s->show();
    EXPECT_EQ(app->shared().navigation_state, "");
    EXPECT_EQ(s->picture->picture_pixels(), QSize(640, 480));
    EXPECT_EQ(s->txtPicWidth->text().toStdString(), signed_number(picture_twips_from_pixels(640)));

    // Zoomed 4 times, a click lands on the twips of the picture pixel under it.
    s->picture->resize(600, 400);
    s->picture->set_zoom(4, QPointF(0, 0));
    s->lower_right_button->setChecked(true);
    s->picture->simulate_click(QPoint(403, 202));
    EXPECT_EQ(text(ValueBox::lower_right_x), "1500");
    EXPECT_EQ(text(ValueBox::lower_right_y), "750");

    // Moving a marker leaves exactly the picture and the new marker.
    s->picture->simulate_click(QPoint(443, 282));
    PictureCanvas expected;
    expected.set_picture(s->picture->picture());
    const std::uint32_t white = kWhite;
    const double cross = s->Setup_Cross_size->value();
    expected.draw(Figure::circle(1650, 1050, 2 * cross, white));
    expected.draw(Figure::cross(1650, 1050, cross, white));
    EXPECT_EQ(s->picture->figures(), expected.figures());
    EXPECT_EQ(s->picture->composed_image(), expected.composed_image());
}

// A picture larger than the room beside the panel: scroll bars show at 1:1,
// and fitted to the window the whole picture shows, a click on the
// lower-right buoy still giving that picture pixel's twips.
TEST_F(SetupScreen, ALargePictureScrollsAndFitsWithClicksExactInTwips) {
    start();
    QImage frame(1280, 720, QImage::Format_RGB32);
    frame.fill(Qt::darkBlue);
    for (int y = 649; y <= 651; ++y)
        for (int x = 1219; x <= 1221; ++x)
            frame.setPixel(x, y, qRgb(255, 128, 0));  // the lower-right buoy
    ASSERT_TRUE(frame.save(QString::fromStdString(t.app_folder + "/currentcapture.bmp")));
    s->hide();
    s->resize(1200, 760);
    app->shared().navigation_state = "SelectFrame";
    s->show();
    QApplication::processEvents();
    PictureCanvas* canvas = s->picture;
    auto* across = s->findChild<QScrollBar*>("pictureHorizontalBar");
    auto* down = s->findChild<QScrollBar*>("pictureVerticalBar");
    ASSERT_TRUE(across && down);
    ASSERT_LT(canvas->width(), 1280);  // the panel takes its share
    EXPECT_EQ(canvas->zoom(), 1);
    EXPECT_TRUE(across->isVisible());
    // The bar moves the view: the buoy comes into reach at 1:1.
    across->setValue(across->maximum());
    EXPECT_EQ(canvas->scroll_offset().x(), 1280 - canvas->width());
    EXPECT_EQ(canvas->twips_at(QPointF(canvas->width() - 1, 0)).x(), 1279 * 15);

    canvas->fit_action()->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(canvas->fitting());
    EXPECT_LT(canvas->zoom(), 1);
    EXPECT_FALSE(across->isVisible());
    EXPECT_FALSE(down->isVisible());
    EXPECT_LE(canvas->zoomed_size().width(), canvas->width());
    EXPECT_LE(canvas->zoomed_size().height(), canvas->height());
    EXPECT_EQ(canvas->scroll_offset(), QPoint(0, 0));

    // The screen pixel that shows the buoy's middle.
    const double z = canvas->zoom();
    const QPoint on_buoy(int(std::floor(1220.5 * z)), int(std::floor(650.5 * z)));
    const QImage shown = canvas->grab().toImage();
    EXPECT_EQ(QColor(shown.pixel(on_buoy)), QColor(255, 128, 0));
    s->lower_right_button->setChecked(true);
    const CanvasMouseEvent e = canvas->simulate_click(on_buoy);
    const int px = int(e.x) / 15, py = int(e.y) / 15;
    EXPECT_EQ(e.x, px * 15.0);
    EXPECT_EQ(e.y, py * 15.0);
    EXPECT_EQ(frame.pixel(px, py), qRgb(255, 128, 0)) << px << "," << py;
    EXPECT_EQ(text(ValueBox::lower_right_x), plain_number(px * 15));
    EXPECT_EQ(text(ValueBox::lower_right_y), plain_number(py * 15));

    // Ctrl and the wheel zoom in around the pointer: the buoy stays under it
    // across, and in view (the picture's lower edge stops the scrolling).
    QWheelEvent wheel(QPointF(on_buoy), canvas->mapToGlobal(QPointF(on_buoy)), QPoint(),
                      QPoint(0, 120), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(canvas, &wheel);
    QApplication::processEvents();
    EXPECT_EQ(canvas->zoom(), 1);
    EXPECT_FALSE(canvas->fitting());
    const QPointF under = canvas->twips_at(QPointF(on_buoy));
    EXPECT_NEAR(under.x(), 1220 * 15, 2 * 15);
    const QPointF buoy = canvas->widget_pos_of(QPointF(1220 * 15, 650 * 15));
    EXPECT_TRUE(canvas->rect().contains(buoy.toPoint())) << buoy.x() << "," << buoy.y();
}

// "Complete" clears the picture's drawings; the accepted points are drawn
// again at once, as "Draw Buoys" draws them.
TEST_F(SetupScreen, BuoyMarkersStayAfterCompleteAndAReloadClearsTheAccuracyFigures) {
    start();
    accept_setup();
    const double cross = s->Setup_Cross_size->value();
    auto has_marker = [&](double x, double y) {
        for (const Figure& f : s->picture->figures())
            if (f.same_shape(Figure::circle(x, y, 2 * cross, 0)))
                return true;
        return false;
    };
    for (const Buoy& b : {kUL, kLL, kUR, kLR})
        EXPECT_TRUE(has_marker(b.x, b.y)) << b.x << "," << b.y;
    EXPECT_TRUE(has_marker(kCheckBuoy.x, kCheckBuoy.y));

    s->optAdvancedAccuracy->setChecked(false);
    s->optAdvancedAccuracy->click();
    s->btnAccuracyCheck->click();
    auto any_figure_shown = [&] {
        for (QLabel* l : s->AccuracyIndicator)
            if (shown(l))
                return true;
        return false;
    };
    ASSERT_TRUE(any_figure_shown());

    // Saved, then loaded again with the very same values: the figures were
    // drawn for the set-up before the load, and go.
    const std::string path = setups + "/same.ipt";
    t.dialogs.file(path).text("same").yes();
    test::press(*s, "gridSave");
    t.dialogs.file(path);
    test::press(*s, "gridLoad");
    EXPECT_FALSE(any_figure_shown());
    EXPECT_EQ(icon(), "face02.ico");
}

// Saved without "Complete", the set-up is not a grid anyone can measure
// with: saving says so, and at the next start the grid is not ready.
TEST_F(SetupScreen, SavedWithoutCompleteTheGridIsNotReadyAfterARestart) {
    start();
    enter_setup();
    const std::string path = setups + "/unfinished.ipt";
    t.dialogs.file(path).text("unfinished").yes().yes();
    test::press(*s, "gridSave");
    EXPECT_EQ(t.dialogs.last().text, not_accepted_question(1));
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(t.reopen_settings().get("grid1File", ""), path);

    t.app.reset();  // the program ends; the next start reloads the file
    t.dialogs.clear();
    t.dialogs.no();  // the reset question
    App& again = t.make();
    again.start();
    MainForm& m = again.main_form();
    EXPECT_EQ(m.ImageGrid[0]->property("picture").toString(), "SmallCaution.jpg");
    EXPECT_FALSE(again.grids().grid(1).loaded);
    EXPECT_EQ(again.grids().complete, 0);
    const auto messages = t.dialogs.messages();
    EXPECT_NE(std::find(messages.begin(), messages.end(), not_solved_message(path, 1)),
              messages.end());
    test::press(m, "ccmdGoToMeasure");  // refused: the set-up screen instead
    EXPECT_TRUE(again.grid_setup().isVisible());
    EXPECT_EQ(again.grid_setup().grid_state_icon->property("picture").toString(), "msgbox03.ico");
}

TEST_F(SetupScreen, OverlayInTheMarkerStyleAndLabelColour) {
    start();
    enter_setup();
    s->show_alignment->click();
    auto figures = s->picture->figures();
    // Circles with a centre dot and four dots 5 twips out, white by default.
    ASSERT_EQ(figures.size(), 5u * 6u);
    EXPECT_EQ(figures[0], Figure::circle(kUL.x, kUL.y, 120, kWhite));
    EXPECT_EQ(figures[3], Figure::point(kUL.x, kUL.y + 5, kWhite));

    app->configuration().buoy_marker = "cross";
    app->configuration().label_color = kYellow;
    app->configuration().label_color_name = "yellow";
    s->Show_grid();
    figures = s->picture->figures();
    ASSERT_EQ(figures.size(), 5u);
    EXPECT_EQ(figures[4], Figure::cross(kCheckBuoy.x, kCheckBuoy.y, 60, kYellow));
}

TEST_F(SetupScreen, DragLabelsCarryTheirControls) {
    start();
    const QPointF label = *s->picture->overlay_position(s->AdjustmentLabel);
    const QPointF up = *s->picture->overlay_position(s->AdjustUp);
    auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        const QPointF global = s->AdjustmentLabel->mapToGlobal(QPointF(at));
        QMouseEvent e(type, QPointF(at), global, Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(s->AdjustmentLabel, &e);
    };
    send(QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton);
    send(QEvent::MouseMove, QPoint(25, 15), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPoint(25, 15), Qt::NoButton);
    EXPECT_EQ(*s->picture->overlay_position(s->AdjustmentLabel), label + QPointF(300, 150));
    EXPECT_EQ(*s->picture->overlay_position(s->AdjustUp), up + QPointF(300, 150));
}

TEST_F(SetupScreen, PictureMenus) {
    start();
    QImage shot(320, 240, QImage::Format_RGB32);
    shot.fill(Qt::darkGreen);
    const std::string file = t.tmp.make_dir("shots") + "/course.jpg";
    ASSERT_TRUE(shot.save(QString::fromStdString(file)));
    app->configuration().captures_folder = t.tmp.path() + "/shots/";

    t.dialogs.cancel_file();
    test::press(*s, "mnuLoadPicture");  // cancelled: nothing changes
    EXPECT_FALSE(s->picture->has_picture());
    EXPECT_EQ(s->txtPicWidth->text(), " 12000");

    t.dialogs.file(file);
    test::press(*s, "mnuLoadPicture");
    const auto& request = t.dialogs.last().file;
    EXPECT_EQ(request.initial_folder, t.tmp.path() + "/shots/");
    EXPECT_EQ(request.filter,
              "All Files (*.*)|*.*|Text Files (*.txt)|*.txt|Jump Picture Files (*.gif)|*.gif|Jump "
              "Picture Files (*.bmp)|*.bmp|Jump Picture Files (*.jpg)|*.jpg|");
    EXPECT_EQ(s->picture->picture_pixels(), QSize(320, 240));
    EXPECT_EQ(s->txtPicWidth->text().toStdString(), signed_number(picture_twips_from_pixels(320)));
    EXPECT_EQ(app->setup_form().txtPicHeight, signed_number(picture_twips_from_pixels(240)));

    test::press(*s, "mnuClearPicture");
    EXPECT_FALSE(s->picture->has_picture());
}

}  // namespace
}  // namespace rs
