#include "grid/calibration_screen.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "app/app.h"
#include "grid/grid_setup_screen.h"
#include "measure/measure_screen.h"
#include "platform/picture_canvas_widget.h"
#include "tests/grid/grid_fixture.h"
#include "tests/support/press.h"
#include "tests/support/test_app.h"

namespace rs {
namespace {

using test::TestApp;

std::string text(const QLineEdit* box) {
    return box->text().toStdString();
}

class CalibrationScreen : public ::testing::Test {
  protected:
    TestApp t;
    App* app = nullptr;
    Grid_Setup* setup = nullptr;
    Calibrate* c = nullptr;

    void SetUp() override {
        app = &t.started();
        setup = &app->grid_setup();
        setup->show();
        // The worked grid as the current grid's working values.
        app->grids().working = test::worked_grid();
        ASSERT_TRUE(solve_grid(app->grids().working));
        t.dialogs.clear();
        test::press(*setup, "mnuCalibrate");
        c = &app->calibrate();
    }

    void screen_points(const char* x1, const char* y1, const char* x2, const char* y2) {
        if (c->CalibrationLineUnitsSelect->text() != "Screen")
            c->CalibrationLineUnitsSelect->click();
        c->CalibrationLineXTwips->setText(x1);
        c->CalibrationLineYTwips->setText(y1);
        c->CalibrationLineXTwips2->setText(x2);
        c->CalibrationLineYTwips2->setText(y2);
    }
    void actual_points(const char* x1, const char* y1, const char* x2, const char* y2) {
        if (c->CalibrationLineUnitsSelect->text() != "Actual")
            c->CalibrationLineUnitsSelect->click();
        c->CalibrationLineXActual->setText(x1);
        c->CalibrationLineYActual->setText(y1);
        c->CalibrationLineXActual2->setText(x2);
        c->CalibrationLineYActual2->setText(y2);
    }
    // The lines on the set-up screen's picture.
    std::vector<Figure> lines() const {
        std::vector<Figure> out;
        for (const Figure& f : setup->picture->figures())
            if (f.kind == Figure::Kind::Line)
                out.push_back(f);
        return out;
    }
};

TEST_F(CalibrationScreen, OpensFromTheSetupScreenWithItsControls) {
    EXPECT_TRUE(c->isVisible());
    EXPECT_EQ(c->windowTitle(), "Calibration Assistant");
    EXPECT_EQ(c->CalibrationLineUnitsSelect->text(), "Actual");
    EXPECT_EQ(c->CalibrationLineActualLabel->text(), "Actual");
    EXPECT_EQ(c->CalibrationLineScreenLabel->text(), "Screen");
    EXPECT_EQ(c->CalibrateLineDrawCommand->text(), "Draw");
    EXPECT_EQ(c->CalibrationLineErase->text(), "Erase");
    EXPECT_EQ(c->formexit->text(), "E&xit");
    c->CalibrationLineUnitsSelect->click();
    EXPECT_EQ(c->CalibrationLineUnitsSelect->text(), "Screen");
    c->CalibrationLineUnitsSelect->click();
    EXPECT_EQ(c->CalibrationLineUnitsSelect->text(), "Actual");
    EXPECT_TRUE(t.dialogs.prompts().empty());
}

TEST_F(CalibrationScreen, ScreenPointsShowTheirSurveyPointsAndDrawTheLine) {
    screen_points("0", "0", "3000", "3000");
    c->CalibrateLineDrawCommand->click();
    EXPECT_EQ(text(c->CalibrationLineXActual), "0");
    EXPECT_EQ(text(c->CalibrationLineYActual), "100");
    EXPECT_EQ(text(c->CalibrationLineXActual2), "30");
    EXPECT_EQ(text(c->CalibrationLineYActual2), "70");
    ASSERT_EQ(lines().size(), 1u);
    EXPECT_EQ(lines()[0], Figure::line(0, 0, 3000, 3000, kCalibrationLineColour));

    // Survey points give whole twips, and the line moves to them.
    actual_points("15", "85", "12.346", "100");
    c->CalibrateLineDrawCommand->click();
    EXPECT_EQ(text(c->CalibrationLineXTwips), "1500");
    EXPECT_EQ(text(c->CalibrationLineYTwips), "1500");
    EXPECT_EQ(text(c->CalibrationLineXTwips2), "1235");
    EXPECT_EQ(text(c->CalibrationLineYTwips2), "0");
    ASSERT_EQ(lines().size(), 1u);
    EXPECT_EQ(lines()[0], Figure::line(1500, 1500, 1235, 0, kCalibrationLineColour));
    EXPECT_TRUE(t.dialogs.prompts().empty());
}

TEST_F(CalibrationScreen, DrawingTwiceLeavesOneLineAndEraseRemovesIt) {
    // A marker of the set-up stays through all of it.
    setup->picture->draw(Figure::circle(700, 700, 90, 255));
    screen_points("0", "0", "3000", "3000");
    c->CalibrateLineDrawCommand->click();
    c->CalibrateLineDrawCommand->click();
    ASSERT_EQ(lines().size(), 1u);
    EXPECT_EQ(c->last_line().to.x, 3000);

    c->CalibrationLineErase->click();
    EXPECT_TRUE(lines().empty());
    // Erasing again, or drawing after an erase, brings no stray line back.
    c->CalibrationLineErase->click();
    EXPECT_TRUE(lines().empty());
    screen_points("0", "3000", "3000", "0");
    c->CalibrateLineDrawCommand->click();
    ASSERT_EQ(lines().size(), 1u);
    EXPECT_EQ(lines()[0], Figure::line(0, 3000, 3000, 0, kCalibrationLineColour));
    EXPECT_EQ(setup->picture->figures().size(), 2u);
}

TEST_F(CalibrationScreen, APointOffThePictureIsExplained) {
    app->grids().working = test::perspective_grid();
    ASSERT_TRUE(solve_grid(app->grids().working));
    actual_points("0", "100", "30", "70");
    c->CalibrateLineDrawCommand->click();
    ASSERT_EQ(lines().size(), 1u);
    EXPECT_EQ(text(c->CalibrationLineXTwips), "4000");
    EXPECT_EQ(text(c->CalibrationLineYTwips2), "7000");

    // Behind the camera: nothing changes and the line stays.
    actual_points("15", "-100000", "30", "70");
    c->CalibrateLineDrawCommand->click();
    ASSERT_EQ(t.dialogs.messages().size(), 1u);
    EXPECT_EQ(t.dialogs.last().text,
              "The first point of the line has no place on the picture with the current grid: "
              "it lies on or beyond the horizon, or the grid is not set up. No line is drawn.");
    EXPECT_EQ(text(c->CalibrationLineXTwips), "4000");
    ASSERT_EQ(lines().size(), 1u);
    EXPECT_EQ(lines()[0].x1, 4000);

    // A screen point in the sky is still a line on the picture, with no
    // survey position shown for it.
    screen_points("6000", "3000", "6000", "-50000");
    c->CalibrateLineDrawCommand->click();
    ASSERT_EQ(t.dialogs.messages().size(), 2u);
    EXPECT_EQ(t.dialogs.last().text,
              "The second point of the line lies on or beyond the horizon of the current grid: "
              "it has no position on the water.");
    EXPECT_FALSE(text(c->CalibrationLineYActual).empty());
    EXPECT_EQ(text(c->CalibrationLineXActual2), "");
    EXPECT_EQ(text(c->CalibrationLineYActual2), "");
    ASSERT_EQ(lines().size(), 1u);
    EXPECT_EQ(lines()[0], Figure::line(6000, 3000, 6000, -50000, kCalibrationLineColour));
}

TEST_F(CalibrationScreen, ClosingByTheFrameHidesItAndKeepsItsValues) {
    screen_points("0", "0", "3000", "3000");
    c->CalibrateLineDrawCommand->click();
    c->close();
    EXPECT_FALSE(c->isVisible());
    EXPECT_TRUE(setup->isVisible());
    test::press(*setup, "mnuCalibrate");
    EXPECT_EQ(&app->calibrate(), c);
    EXPECT_TRUE(c->isVisible());
    EXPECT_EQ(text(c->CalibrationLineYActual), "100");
    c->formexit->click();
    EXPECT_FALSE(c->isVisible());
    EXPECT_EQ(lines().size(), 1u);
}

TEST_F(CalibrationScreen, TheLineGoesOnTheMeasurementScreenToo) {
    app->grids().complete = 1;
    Measure& m = app->measure();
    m.show();
    auto measure_lines = [&] {
        const Figure drawn = Figure::line(0, 0, 3000, 3000, kCalibrationLineColour);
        return std::count(m.canvas().figures().begin(), m.canvas().figures().end(), drawn);
    };
    const size_t before = m.canvas().figures().size();
    test::press(m, "mnuCalibrate");
    EXPECT_TRUE(c->isVisible());
    screen_points("0", "0", "3000", "3000");
    c->CalibrateLineDrawCommand->click();
    c->CalibrateLineDrawCommand->click();
    EXPECT_EQ(measure_lines(), 1);
    EXPECT_EQ(lines().size(), 1u);
    EXPECT_EQ(m.canvas().figures().size(), before + 1);
    c->CalibrationLineErase->click();
    EXPECT_EQ(measure_lines(), 0);
    EXPECT_TRUE(lines().empty());
    EXPECT_EQ(m.canvas().figures().size(), before);
}

TEST(CalibrationWithoutSetupScreen, DrawsOnlyOnScreensThatExist) {
    TestApp t;
    App& app = t.started();
    app.grids().working = test::worked_grid();
    ASSERT_TRUE(solve_grid(app.grids().working));
    Calibrate& c = app.calibrate();
    c.CalibrationLineUnitsSelect->click();
    c.CalibrationLineXTwips2->setText("3000");
    c.CalibrationLineYTwips2->setText("3000");
    c.CalibrateLineDrawCommand->click();
    EXPECT_EQ(c.CalibrationLineYActual2->text(), "70");
    // Building the set-up screen would have reset the working grid.
    EXPECT_EQ(app.built_grid_setup(), nullptr);
    EXPECT_EQ(app.grids().working.corners[kLowerRight].screen_x, 3000);
}

}  // namespace
}  // namespace rs
