// The measurement screen's additions for a records committee: the
// uncertainty beside the distance, and the audit line of each recorded jump.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/app.h"
#include "measure/measure_screen.h"
#include "tests/measure/measure_fixture.h"
#include "tests/support/test_app.h"

namespace rs {
namespace {

using test::slurp;
using test::TestApp;

class MeasureAdditions : public ::testing::Test {
  protected:
    TestApp t;
    App* app = nullptr;
    Measure* m = nullptr;
    std::string capture = t.app_folder + "/currentcapture.bmp";

    void SetUp() override {
        app = &t.started();
        GridState& g = app->grids();
        g.grid(1) = test::flat_grid();
        g.working = g.grid(1);
        g.current = 1;
        g.complete = 1;
        app->configuration().picture_save = "NoSave";
        QImage image(640, 480, QImage::Format_RGB32);
        image.fill(Qt::darkBlue);
        ASSERT_TRUE(image.save(QString::fromStdString(capture)));
        m = &app->measure();
        t.dialogs.clear();
        app->shared().navigation_state = "SelectFrame";
        m->show();
    }
    std::string results() const { return slurp(app->shared().results_file_path); }
};

TEST_F(MeasureAdditions, UncertaintyStandsBesideTheRecordedDistanceOnly) {
    EXPECT_FALSE(m->lblUncertainty->isVisibleTo(m));
    m->Skier_name->setEditText("Smith");
    m->Form_MouseDown(1500, 4206);
    EXPECT_FALSE(m->lblUncertainty->isVisibleTo(m));  // no distance yet
    m->Record->click();
    // 0.01 m a twip: half a pixel is 0.075 m, shown rounded up.
    EXPECT_EQ(m->distance->text().toStdString(), " 20m");
    EXPECT_TRUE(m->lblUncertainty->isVisibleTo(m));
    EXPECT_EQ(m->lblUncertainty->text().toStdString(), "\u00b1 0.08 m");
    ASSERT_TRUE(m->last_recorded());
    EXPECT_NEAR(*m->last_recorded()->uncertainty, 0.075, 1e-9);
    // Never in the results file.
    EXPECT_EQ(results().find("\u00b1"), std::string::npos);
    EXPECT_EQ(results().find("0.075"), std::string::npos);

    // A new point clears the distance and its uncertainty with it.
    m->Form_MouseDown(1600, 4206);
    EXPECT_FALSE(m->lblUncertainty->isVisibleTo(m));

    // A pass shows no distance and so no uncertainty.
    m->Pass->click();
    m->Record->click();
    EXPECT_FALSE(m->lblUncertainty->isVisibleTo(m));
    EXPECT_FALSE(m->last_recorded()->uncertainty);
}

TEST_F(MeasureAdditions, CheckBuoyMissWidensTheUncertainty) {
    GridState& g = app->grids();
    g.working.check_buoy = {1500, 1500, 15, 85.3};  // clicked 0.3 m from its survey
    m->Form_MouseDown(1500, 4206);
    m->Record->click();
    EXPECT_EQ(m->lblUncertainty->text().toStdString(), "\u00b1 0.30 m");
}

}  // namespace
}  // namespace rs
