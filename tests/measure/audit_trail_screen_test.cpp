// The measurement screen's additions for a records committee: the
// uncertainty beside the distance, and the audit line of each recorded jump.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "app/app.h"
#include "core/text_lines.h"
#include "measure/audit_trail.h"
#include "measure/measure_screen.h"
#include "tests/measure/measure_screen_fixture.h"
#include "tests/support/test_app.h"

namespace rs {
namespace {

using test::slurp;

class MeasureAdditions : public test::MeasureScreenFixture {
  protected:
    void SetUp() override {
        MeasureScreenFixture::SetUp();
        show_from_frame_selection();
    }
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

std::vector<QJsonObject> audit_lines(const std::string& results_path) {
    std::vector<QJsonObject> out;
    for (const std::string& line : split_lines(slurp(audit_file_path(results_path)))) {
        if (line.empty())
            continue;
        QJsonParseError e;
        const auto doc = QJsonDocument::fromJson(QByteArray::fromStdString(line), &e);
        EXPECT_EQ(e.error, QJsonParseError::NoError) << line;
        out.push_back(doc.object());
    }
    return out;
}

class MeasureAudit : public MeasureAdditions {
  protected:
    std::string video = t.video_folder + "/Smithjump1.avi";
    void SetUp() override {
        MeasureAdditions::SetUp();
        test::spit(video, "not really a video, but bytes to hash");
        // As frame selection hands a frame over.
        m->hide();
        app->shared().current_video_path = video;
        app->shared().current_frame_number = 42;
        app->shared().navigation_state = "SelectFrame";
        m->show();
        m->Skier_name->setEditText("Smith");
    }
};

TEST_F(MeasureAudit, EveryRecordedJumpGetsOneLineWithItsHashes) {
    m->Form_MouseDown(1500, 4206);
    m->Record->click();
    const double distance = *m->last_recorded()->distance;
    m->Pass->click();
    m->Record->click();
    app->audit_trail().finish();
    const auto lines = audit_lines(app->shared().results_file_path);
    ASSERT_EQ(lines.size(), 2u);
    const QJsonObject& a = lines[0];
    EXPECT_EQ(a["skier"].toString(), "Smith");
    EXPECT_EQ(a["jump_number"].toString(), "1");
    EXPECT_EQ(a["video"].toString().toStdString(), video);
    // sha256sum of the bytes above.
    EXPECT_EQ(a["video_sha256"].toString().size(), 64);
    EXPECT_EQ(a["frame"].toInt(), 42);
    EXPECT_EQ(a["picture"].toString().toStdString(), capture);
    EXPECT_EQ(a["picture_sha256"].toString().size(), 64);
    EXPECT_EQ(a["impact_twips"].toArray(), (QJsonArray{1500, 4206}));
    EXPECT_EQ(a["grid"].toInt(), 1);
    EXPECT_EQ(a["distance_m"].toDouble(), distance);  // every bit
    EXPECT_EQ(a["meters_text"].toString(), " 20");
    EXPECT_NEAR(a["uncertainty_m"].toDouble(), 0.075, 1e-12);
    EXPECT_TRUE(a["camera_moved_px"].isNull());
    EXPECT_EQ(a["coefficients"].toArray().size(), 8);
    EXPECT_FALSE(a["program_version"].toString().isEmpty());
    EXPECT_EQ(lines[1]["result"].toString(), "pass");
    EXPECT_TRUE(lines[1]["distance_m"].isNull());
    // The same video: the same hash.
    EXPECT_EQ(lines[1]["video_sha256"], a["video_sha256"]);
}

TEST_F(MeasureAudit, ClosingTheProgramBeforeTheHashIsReadyLosesNoLine) {
    m->Form_MouseDown(1500, 4206);
    m->Record->click();
    const std::string results = app->shared().results_file_path;
    // No event loop ran: the hash's answer has not been handed over yet.
    t.app.reset();
    const auto lines = audit_lines(results);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]["video_sha256"].toString().size(), 64);
}

TEST_F(MeasureAudit, APictureFromElsewhereNamesNoVideo) {
    QImage image(320, 240, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QApplication::clipboard()->setImage(image);
    m->ClipSnapShot->click();  // the clipboard: no video, no frame
    m->Form_MouseDown(1500, 4206);
    m->Record->click();
    app->audit_trail().finish();
    const auto lines = audit_lines(app->shared().results_file_path);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0]["video"].isNull());
    EXPECT_TRUE(lines[0]["frame"].isNull());
}

}  // namespace
}  // namespace rs
