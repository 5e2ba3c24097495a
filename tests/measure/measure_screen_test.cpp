#include "measure/measure_screen.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

#include "app/app.h"
#include "app/main_screen.h"
#include "core/text_lines.h"
#include "measure/impact_marker.h"
#include "platform/picture_canvas_widget.h"
#include "tests/measure/measure_screen_fixture.h"
#include "tests/support/press.h"
#include "tests/support/test_app.h"
#include "video/capture_screen.h"
#include "video/frame_selection_screen.h"

namespace rs {
namespace {

using test::PromptKind;
using test::slurp;
using test::spit;

// With the exchange files written and captured videos kept.
class MeasureScreen : public test::MeasureScreenFixture {
  protected:
    void configure(Configuration& c) override {
        c.wstims = true;
        c.video_save = "Save";
    }
    std::string text(QLineEdit* e) const { return e->text().toStdString(); }
    bool shown(QWidget* w) const { return w->isVisibleTo(m); }
    std::vector<std::string> result_lines() const { return split_lines(results()); }
    std::string status() const { return m->statusBar()->currentMessage().toStdString(); }
    Figure shape(const char* name) const {
        auto f = m->picture->shape(name);
        EXPECT_TRUE(f) << name;
        return f.value_or(Figure{});
    }
};

TEST_F(MeasureScreen, LoadsWithEveryControlCaptionAndMenu) {
    for (const char* name : {"Skier_name",
                             "Jump_no",
                             "distance",
                             "distance_ft",
                             "Comment",
                             "Record",
                             "btnNextJump",
                             "Command1",
                             "Set_grid",
                             "Show_grid",
                             "Unfreeze",
                             "verify",
                             "Frame1",
                             "optJumpOK",
                             "Pass",
                             "Fall",
                             "O_reride",
                             "M_Reride",
                             "Other_Grid",
                             "Make_comment",
                             "Check1",
                             "Frame2",
                             "OptMkYellow",
                             "OptMkWhite",
                             "OptMkBlack",
                             "newMarker",
                             "MarkerWidth",
                             "Label1",
                             "CrossSize",
                             "CrossLabel",
                             "AdjustmentLabel",
                             "AdjustLeft",
                             "AdjustRight",
                             "AdjustUp",
                             "AdjustDown",
                             "gridlabel",
                             "grid_description",
                             "FrozenSign",
                             "UnofficialJump",
                             "barefoot_indicator",
                             "xtwips",
                             "ytwips",
                             "xposition",
                             "yposition",
                             "VerifyDistance",
                             "maxbuoy",
                             "maxbuoym",
                             "minbuoy",
                             "minbuoym",
                             "IWSFlabel",
                             "AWSAlabel",
                             "gif_file_name",
                             "keyTimer",
                             "loadTimer",
                             "cbAutoLoadClipboard",
                             "ImgSnapShot",
                             "ClipSnapShot"})
        EXPECT_TRUE(m->findChild<QObject*>(name)) << name;
    EXPECT_EQ(m->Record->text(), "Record &Jump");
    EXPECT_EQ(m->btnNextJump->text(), "Capture Next Jump");
    EXPECT_EQ(m->Command1->text(), "Reselect capture frame");
    EXPECT_EQ(m->Set_grid->text(), "&Grid 1");
    EXPECT_EQ(m->Unfreeze->text(), "Clear");
    EXPECT_EQ(m->verify->text(), "Verify");
    EXPECT_EQ(m->Check1->text(), "Set Impact Point Contols");
    EXPECT_EQ(m->newMarker->text(), "Gap Marker Style");
    EXPECT_EQ(m->CrossLabel->text(), "Adjust Cross Size (drag-it)");
    EXPECT_EQ(m->AdjustmentLabel->text(), "Micro-Adjust (drag-it)");
    EXPECT_EQ(m->gridlabel->text(), "Grid Description (drag-it)");
    EXPECT_EQ(m->IWSFlabel->text(), "IWSF Official Distance");
    EXPECT_EQ(m->cbAutoLoadClipboard->text(), "Auto Load");
    EXPECT_EQ(m->MarkerWidth->text(), "1");
    EXPECT_EQ(m->keyTimer->interval(), 100);
    EXPECT_TRUE(m->optJumpOK->isChecked());
    // One grid configured: nothing to switch.
    EXPECT_FALSE(shown(m->Set_grid));
    for (QWidget* w : {(QWidget*)m->FrozenSign, (QWidget*)m->xtwips, (QWidget*)m->VerifyDistance,
                       (QWidget*)m->AdjustLeft, (QWidget*)m->Frame2})
        EXPECT_FALSE(shown(w)) << w->objectName().toStdString();

    std::map<std::string, std::string> menus;
    for (QAction* a : m->menuBar()->actions())
        menus[a->objectName().toStdString()] = a->text().toStdString();
    EXPECT_EQ(menus["SavePict"], "&Save Picture");
    EXPECT_EQ(menus["Exit"], "Return to &Main Screen");
    EXPECT_EQ(menus["LoadPict"], "&Load Picture");
    EXPECT_EQ(menus["mnuPaste"], "&Paste");
    EXPECT_EQ(menus["mnuResults"], "&Results");
    EXPECT_EQ(menus["mnuCalibrate"], "&Calibrate");
    EXPECT_EQ(menus["mnuCapture"], "C&apture Next Jump");
    EXPECT_EQ(menus["mnuViewLog"], "&View Log");
}

TEST_F(MeasureScreen, ActivationFromFrameSelectionShowsThePictureUnderTheGrid) {
    show_from_frame_selection();
    EXPECT_EQ(m->picture->picture_pixels(), QSize(640, 480));
    EXPECT_EQ(app->setup_form().txtPicWidth, signed_number(picture_twips_from_pixels(640)));
    EXPECT_EQ(app->setup_form().txtPicHeight, signed_number(picture_twips_from_pixels(480)));
    EXPECT_TRUE(m->keyTimer->isActive());
    EXPECT_NE(t.debug_log().find("Measure form Activated - picture loaded - " + capture),
              std::string::npos);

    // Circles with five dots at the four buoys and the two side lines.
    const auto& figures = m->picture->figures();
    ASSERT_EQ(figures.size(), 4u * 6u + 2u);
    const double c = m->CrossSize->value();
    EXPECT_EQ(figures[0], Figure::circle(0, 0, 2 * c, kWhite, 2));
    EXPECT_EQ(figures[6], Figure::circle(3000, 0, 2 * c, kWhite, 2));
    EXPECT_EQ(figures[24], Figure::line(3000, 0, 3000, 3000, kWhite, 2));
    EXPECT_EQ(m->maxbuoy->text().toStdString(), " 203 feet");
    EXPECT_EQ(m->maxbuoym->text().toStdString(), " 61.8 meters");
    EXPECT_EQ(*m->picture->overlay_position(m->minbuoy), QPointF(2900, -400));
    EXPECT_TRUE(shown(m->grid_description));
    EXPECT_EQ(text(m->grid_description), "Flat test grid");

    // Crosses, no side lines, in the label colour.
    Configuration& cfg = app->configuration();
    cfg.buoy_marker = "cross";
    cfg.line_control_off = true;
    cfg.label_color = kYellow;
    cfg.label_color_name = "yellow";
    m->Show_grid->click();
    ASSERT_EQ(m->picture->figures().size(), 4u);
    EXPECT_EQ(m->picture->figures()[1], Figure::cross(3000, 0, c, kYellow, 2));
}

TEST_F(MeasureScreen, AClickUnderZoomMarksThePixelAndArrowsNudgeItOnePixel) {
    show_from_frame_selection();
    m->picture->resize(600, 400);
    m->picture->set_zoom(4, QPointF(0, 0));
    m->picture->simulate_click(QPoint(403, 202));
    ASSERT_TRUE(m->form().impact);
    EXPECT_EQ(m->form().impact->x, 1500);
    EXPECT_EQ(m->form().impact->y, 750);
    EXPECT_EQ(text(m->distance), "m");
    EXPECT_EQ(text(m->distance_ft), "ft");
    EXPECT_TRUE(shown(m->AdjustRight));
    EXPECT_TRUE(shown(m->AdjustmentLabel));

    // Three right nudges: 45 twips.
    for (int i = 0; i < 3; ++i)
        m->AdjustRight->click();
    EXPECT_EQ(m->form().impact->x, 1545);
    EXPECT_EQ(shape("impactpoint").x1, 1545);

    // A key moves the point one pixel when pressed, then one every tick
    // once held on; two keys, both.
    t.keyboard.press(Key::Right);
    t.keyboard.press(Key::Up);
    m->keyTimer_Timer();
    m->keyTimer_Timer();  // the same press: no second pixel yet
    t.keyboard.advance(300);
    m->keyTimer_Timer();
    t.keyboard.release(Key::Right);
    t.keyboard.release(Key::Up);
    t.keyboard.advance(100);
    m->keyTimer_Timer();
    EXPECT_EQ(m->form().impact->x, 1575);
    EXPECT_EQ(m->form().impact->y, 720);
    EXPECT_EQ(m->focusWidget(), m->distance_ft);

    // Arrow keys typed into the comment move its caret, not the point.
    m->Comment->setFocus();
    ASSERT_EQ(m->focusWidget(), m->Comment);
    t.keyboard.press(Key::Left);
    m->keyTimer_Timer();
    t.keyboard.release(Key::Left);
    EXPECT_EQ(m->form().impact->x, 1575);
    // Nor once the focus has left the comment.
    m->distance_ft->setFocus();
    m->keyTimer_Timer();
    EXPECT_EQ(m->form().impact->x, 1575);

    m->hide();
    EXPECT_FALSE(m->keyTimer->isActive());
}

TEST_F(MeasureScreen, ImpactMarkerInBothStylesAndDirections) {
    show_from_frame_selection();
    app->configuration().impact_color = kRed;
    m->CrossSize->setValue(300);
    m->Form_MouseDown(1500, 4206);
    EXPECT_EQ(shape("lineHorizontalImpact"), Figure::line(1500, 4206, 1200, 4206, kRed));
    EXPECT_EQ(shape("lineVerticalImpact"), Figure::line(1500, 3906, 1500, 4506, kRed));
    EXPECT_FALSE(m->picture->shape_visible("lineVerticalImpactbottom"));
    EXPECT_TRUE(m->picture->shape_visible("lineSplashIndicator"));
    // The grid's own distance ends 2.1 m short of the point.
    const Figure splash = shape("lineSplashIndicator");
    EXPECT_NEAR(screen_to_survey(app->grids().working, splash.x1, splash.y1)->x, 15 - 2.1, 1e-9);
    EXPECT_EQ(splash.y2, splash.y1 - 1000);

    app->configuration().right_to_left = true;
    m->newMarker->click();
    EXPECT_EQ(shape("lineHorizontalImpact"), Figure::line(1500, 4206, 1800, 4206, kRed));
    EXPECT_EQ(shape("lineVerticalImpact"), Figure::line(1500, 3906, 1500, 4176, kRed));
    EXPECT_EQ(shape("lineVerticalImpactbottom"), Figure::line(1500, 4251, 1500, 4506, kRed));
    EXPECT_TRUE(m->picture->shape_visible("lineVerticalImpactbottom"));
    EXPECT_TRUE(m->picture->shape_visible("impactpoint"));

    // The impact line width stays one pixel.
    m->MarkerWidth->setText("4");
    EXPECT_EQ(m->MarkerWidth->text(), "1");

    // The point's own colour.
    m->Check1->click();
    EXPECT_TRUE(shown(m->Frame2));
    m->OptMkBlack->click();
    EXPECT_EQ(shape("impactpoint").colour, kBlack);
    EXPECT_EQ(shape("impactpoint"), Figure::point(1500, 4206, kBlack));
}

TEST_F(MeasureScreen, APointOffTheWaterShowsNoNumberAndCannotBeRecorded) {
    app->grids().working = test::steep_grid();
    show_from_frame_selection();
    m->verify->click();
    m->picture->simulate_move(QPoint(400, 66));  // y = 990 twips: above the horizon
    EXPECT_EQ(text(m->VerifyDistance), kNotOnWater);
    EXPECT_EQ(text(m->xposition), "");

    m->Form_MouseDown(6000, 990);
    EXPECT_EQ(text(m->distance), "m");
    EXPECT_EQ(status(), no_distance_message(1));
    EXPECT_FALSE(m->picture->shape_visible("lineSplashIndicator"));
    m->Record->click();
    EXPECT_EQ(t.dialogs.last().text, no_distance_message(1));
    EXPECT_EQ(results().find("jump"), std::string::npos);
    EXPECT_FALSE(m->last_recorded());

    // Back on the water: the readout and the recording come back.
    m->picture->simulate_move(QPoint(400, 300));
    EXPECT_NE(text(m->VerifyDistance), kNotOnWater);
    m->Form_MouseDown(6000, 4500);
    EXPECT_EQ(status(), "");
    m->Record->click();
    EXPECT_TRUE(m->last_recorded());
}

TEST_F(MeasureScreen, RecordingOnceForADoubleClickAndTheResultShown) {
    show_from_frame_selection();
    m->Skier_name->setEditText("Smith");
    m->Jump_no->setText("2");
    int calls = 0;
    m->jump_recorded = [&](const RecordedJump& r) {
        ++calls;
        EXPECT_EQ(r.skier, "Smith");
    };
    m->Form_MouseDown(1500, 4206);
    QApplication::processEvents();
    const QRect next = m->btnNextJump->geometry();
    m->Record->click();
    QApplication::processEvents();
    // Nothing moves under the pointer: the second click of a double click
    // lands on the same button.
    EXPECT_EQ(m->btnNextJump->geometry(), next);
    m->Record->click();
    EXPECT_EQ(calls, 1);
    const auto lines = result_lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(),
              "03-01-2007 09:05:03 Smith  jump 2 -  20m  (IWSF) 66ft  (AWSA) ( 15/ 57.94) ( 1500/ "
              "4206) ( 20.04)");
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.find("jump 2") != l.npos; }),
              1);
    EXPECT_EQ(slurp(t.exchange_folder + "/rsraw.dst"), "09:05:03 ,Smith,OK,  20,  66, 2\r\n");
    EXPECT_EQ(text(m->distance), " 20m");
    EXPECT_EQ(text(m->distance_ft), " 66ft");
    EXPECT_FALSE(shown(m->Comment));
    EXPECT_NE(status().find("already recorded"), std::string::npos);

    // A new point may be recorded again.
    m->AdjustDown->click();
    m->Record->click();
    EXPECT_EQ(calls, 2);
}

TEST_F(MeasureScreen, PassRecordedAdvancesTheJumpAndLeavesNoOption) {
    show_from_frame_selection();
    m->Jump_no->setText("3");
    m->Pass->click();
    EXPECT_EQ(text(m->Comment), "Pass");
    m->Record->click();
    EXPECT_EQ(slurp(t.exchange_folder + "/rsresult.dst"), "Pass, 0, 0,3\r\n");
    EXPECT_EQ(text(m->distance), "");
    EXPECT_EQ(text(m->Jump_no), " 4");
    for (QRadioButton* r : {m->optJumpOK, m->Pass, m->Fall, m->Other_Grid})
        EXPECT_FALSE(r->isChecked()) << r->objectName().toStdString();

    // A new skier starts at jump 1.
    m->Skier_name->setEditText("Jones");
    EXPECT_EQ(text(m->Jump_no), "1");
    EXPECT_EQ(m->form().Skier_name, "Jones");
}

TEST_F(MeasureScreen, VerifyModeShowsTheReadoutAndMarksTheJumpUnofficial) {
    show_from_frame_selection();
    m->verify->click();
    EXPECT_EQ(m->verify->text(), "Verify off");
    for (QWidget* w :
         {(QWidget*)m->xtwips, (QWidget*)m->ytwips, (QWidget*)m->xposition, (QWidget*)m->yposition,
          (QWidget*)m->VerifyDistance, (QWidget*)m->UnofficialJump})
        EXPECT_TRUE(shown(w)) << w->objectName().toStdString();
    m->picture->simulate_move(QPoint(100, 280));
    EXPECT_EQ(text(m->xtwips), " 1500");
    EXPECT_EQ(text(m->ytwips), " 4200");
    EXPECT_EQ(text(m->yposition), " 58");
    EXPECT_EQ(text(m->VerifyDistance), " 20.1m  66ft");
    m->Form_MouseDown(1500, 4206);
    m->Record->click();
    EXPECT_NE(result_lines().back().find("(AWSA) UNOFFICIAL JUMP - verify mode  ("),
              std::string::npos);
    m->verify->click();
    EXPECT_EQ(m->verify->text(), "Verify");
    EXPECT_FALSE(shown(m->UnofficialJump));
}

TEST_F(MeasureScreen, GridButtonCyclesTheConfiguredGrids) {
    app->shared().grid_count = 2;
    GridDefinition second = test::steep_grid();
    second.description = "South camera";
    app->grids().grid(2) = second;
    Measure& screen = *m;
    screen.show();
    EXPECT_TRUE(shown(screen.Set_grid));
    screen.Set_grid->click();
    EXPECT_EQ(screen.Set_grid->text(), "&Grid 2");
    EXPECT_EQ(app->grids().current, 2);
    EXPECT_EQ(app->grids().working.corners[kUpperRight].screen_x, 6500);
    EXPECT_EQ(text(screen.grid_description), "South camera");
    screen.Set_grid->click();
    EXPECT_EQ(screen.Set_grid->text(), "&Grid 1");
    EXPECT_EQ(app->grids().working.corners[kUpperRight].screen_x, 3000);
}

TEST_F(MeasureScreen, DragLabelsCarryTheirControls) {
    show_from_frame_selection();
    const QPointF label = *m->picture->overlay_position(m->CrossLabel);
    const QPointF bar = *m->picture->overlay_position(m->CrossSize);
    auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        const QPointF global = m->CrossLabel->mapToGlobal(QPointF(at));
        QMouseEvent e(type, QPointF(at), global, Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(m->CrossLabel, &e);
    };
    send(QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton);
    send(QEvent::MouseMove, QPoint(25, 15), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPoint(25, 15), Qt::NoButton);
    EXPECT_EQ(*m->picture->overlay_position(m->CrossLabel), label + QPointF(300, 150));
    EXPECT_EQ(*m->picture->overlay_position(m->CrossSize), bar + QPointF(300, 150));
}

TEST_F(MeasureScreen, ClosingTheWindowReturnsToTheMainScreen) {
    show_from_frame_selection();
    app->main_form().hide();
    m->Form_MouseDown(1500, 4206);
    m->close();
    EXPECT_FALSE(m->isVisible());
    EXPECT_TRUE(app->main_form().isVisible());
    EXPECT_EQ(app->shared().navigation_state, "");
    EXPECT_FALSE(m->picture->has_picture());
    EXPECT_EQ(m->maxbuoy->text(), "");
    EXPECT_TRUE(t.dialogs.prompts().empty());  // "NoSave": nothing asked
    EXPECT_FALSE(m->picture->shape_visible("lineVerticalImpact"));
}

TEST_F(MeasureScreen, CaptureNextJumpClearsAndShowsTheCaptureScreen) {
    show_from_frame_selection();
    m->Form_MouseDown(1500, 4206);
    m->Record->click();
    app->configuration().warn_message = true;
    t.dialogs.no();
    m->btnNextJump->click();  // "Are you sure ...?" No: stays
    EXPECT_TRUE(m->isVisible());
    EXPECT_TRUE(t.dialogs.last().default_no);

    t.dialogs.yes();
    m->btnNextJump->click();
    EXPECT_FALSE(m->isVisible());
    EXPECT_TRUE(app->preview_form().isVisible());
    EXPECT_TRUE(app->shared().capture.focus_start);
    EXPECT_EQ(app->shared().navigation_state, "Measure");
    EXPECT_EQ(text(m->Jump_no), " 2");
}

TEST_F(MeasureScreen, ReselectGoesBackToFrameSelection) {
    show_from_frame_selection();
    t.dialogs.no();
    m->Command1->click();
    EXPECT_TRUE(m->isVisible());
    EXPECT_EQ(t.dialogs.last().text, "Are you sure you want to re-select the frame?");
    t.dialogs.yes();
    m->Command1->click();
    EXPECT_FALSE(m->isVisible());
    EXPECT_TRUE(app->set_start().isVisible());
}

TEST_F(MeasureScreen, ClipboardHandShakeLoadsOncePerSignal) {
    show_from_frame_selection();
    m->cbAutoLoadClipboard->click();
    EXPECT_TRUE(m->loadTimer->isActive());
    EXPECT_EQ(m->loadTimer->interval(), 1000);

    QImage pasted(320, 200, QImage::Format_RGB32);
    pasted.fill(Qt::green);
    QGuiApplication::clipboard()->setImage(pasted);
    const std::string flag = t.exchange_folder + "/clipflag.txt";
    spit(flag, "Ready\r\n");
    m->loadTimer_Timer();
    EXPECT_EQ(m->picture->picture_pixels(), QSize(320, 200));
    EXPECT_EQ(slurp(flag), "  \r\n");

    QImage other(100, 100, QImage::Format_RGB32);
    other.fill(Qt::red);
    QGuiApplication::clipboard()->setImage(other);
    m->loadTimer_Timer();
    EXPECT_EQ(m->picture->picture_pixels(), QSize(320, 200));

    m->cbAutoLoadClipboard->click();
    EXPECT_FALSE(m->loadTimer->isActive());
}

TEST_F(MeasureScreen, PicturesFromTheClipboardAndTheSnapshotAreFrozen) {
    show_from_frame_selection();
    m->Jump_no->setText("4");
    m->ImgSnapShot->click();  // no snapshot in the exchange folder
    EXPECT_EQ(t.dialogs.last().text,
              "Warning, snapshot file has not been saved in the \\rsio directory");
    EXPECT_TRUE(m->form().frozen);
    EXPECT_TRUE(shown(m->FrozenSign));

    QImage snap(200, 100, QImage::Format_RGB32);
    snap.fill(Qt::yellow);
    const std::string snapshot = t.exchange_folder + "/snapshot.bmp";
    ASSERT_TRUE(snap.save(QString::fromStdString(snapshot)));
    m->ImgSnapShot->click();
    EXPECT_EQ(m->picture->picture_pixels(), QSize(200, 100));
    EXPECT_EQ(text(m->gif_file_name), snapshot);

    // A frozen fall keeps the jump number; "Clear" ends the frozen picture
    // and advances it, every time.
    m->Fall->click();
    m->Record->click();
    EXPECT_EQ(text(m->Jump_no), "4");
    m->Unfreeze->click();
    EXPECT_FALSE(m->form().frozen);
    EXPECT_FALSE(shown(m->FrozenSign));
    EXPECT_FALSE(m->picture->has_picture());
    EXPECT_EQ(text(m->Jump_no), " 5");
    m->Unfreeze->click();
    EXPECT_EQ(text(m->Jump_no), " 6");

    // "&Paste" takes "currentcapture.bmp" again, frozen.
    test::press(*m, "mnuPaste");
    EXPECT_TRUE(m->form().frozen);
    EXPECT_EQ(m->picture->picture_pixels(), QSize(640, 480));
    EXPECT_EQ(text(m->gif_file_name), "Picture from Clipboard");
}

TEST_F(MeasureScreen, AClipboardPictureIsSavedAsTheOneShown) {
    show_from_frame_selection();
    QImage pasted(64, 48, QImage::Format_RGB32);
    pasted.fill(QColor(10, 200, 30));
    QGuiApplication::clipboard()->setImage(pasted);
    m->ClipSnapShot->click();
    m->Skier_name->setEditText("Smith");
    test::press(*m, "SavePict");
    const QImage saved(QString::fromStdString(t.video_folder + "/Smithjump1.bmp"));
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.size(), QSize(64, 48));
    EXPECT_EQ(saved.pixelColor(5, 5), QColor(10, 200, 30));
    // "currentcapture.bmp" is left as frame selection wrote it.
    EXPECT_EQ(QImage(QString::fromStdString(capture)).size(), QSize(640, 480));
}

TEST_F(MeasureScreen, LoadPictureShowsItsNameBelowTheDescription) {
    show_from_frame_selection();
    QImage image(300, 200, QImage::Format_RGB32);
    image.fill(Qt::gray);
    const std::string file = t.video_folder + "/Smithjump1.bmp";
    ASSERT_TRUE(image.save(QString::fromStdString(file)));
    app->configuration().captures_folder = t.video_folder;
    t.dialogs.file(file);
    test::press(*m, "LoadPict");
    const auto& request = t.dialogs.last().file;
    EXPECT_EQ(request.filter_index, 4);
    EXPECT_EQ(request.initial_folder, t.video_folder);
    EXPECT_EQ(m->picture->picture_pixels(), QSize(300, 200));
    EXPECT_EQ(result_lines().back(), "03-01-2007 09:05:03 Loaded picture: " + file);
    EXPECT_EQ(app->shared().navigation_state, "PictureLoadMenu");
    EXPECT_EQ(text(m->gif_file_name), file);
    const QPointF below = *m->picture->overlay_position(m->grid_description) +
                          QPointF(0, m->grid_description->height() * 15.0);
    EXPECT_EQ(*m->picture->overlay_position(m->gif_file_name), below);

    t.dialogs.file(t.video_folder + "/missing.bmp");
    test::press(*m, "LoadPict");
    EXPECT_EQ(t.dialogs.last().text, "Invalid path, change in configuration screen");
    EXPECT_EQ(m->picture->picture_pixels(), QSize(300, 200));
}

}  // namespace
}  // namespace rs
