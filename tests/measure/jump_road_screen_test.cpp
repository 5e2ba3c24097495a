// The whole road of a jump through the App, on a generated video: frame
// selection, the frame taken, the impact clicked and recorded, the picture
// saved, and on to the capture of the next jump; then every file an
// official or the scoring program reads, byte for byte.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>

#include "app/app.h"
#include "core/text_forms.h"
#include "measure/measure_screen.h"
#include "platform/frame_player_widget.h"
#include "platform/picture_canvas_widget.h"
#include "tests/measure/measure_fixture.h"
#include "tests/platform/test_videos.h"
#include "tests/support/press.h"
#include "tests/support/test_app.h"
#include "video/capture_screen.h"
#include "video/frame_selection_screen.h"

namespace rs {
namespace {

using test::slurp;

int mark_of_picture(const QImage& picture) {
    const QImage image = picture.convertToFormat(QImage::Format_RGB888);
    Picture24 pic;
    pic.width = image.width();
    pic.height = image.height();
    for (int y = 0; y < pic.height; ++y) {
        const uchar* row = image.constScanLine(y);
        pic.bgr.insert(pic.bgr.end(), row, row + pic.width * 3);
    }
    return test::read_mark(pic);
}

TEST(JumpRoad, FromTheVideoToTheScoringProgramAndOnToTheNextJump) {
    test::TestApp t;
    const std::string video = t.video_folder + "/Smithjump2.avi";
    const test::VideoRecipe recipe{"mjpeg", "avi", "-c:v mjpeg -q:v 3", 320, 240, "30", 40, ""};
    ASSERT_TRUE(test::make_video(recipe, video)) << "ffmpeg could not make the test video";

    App& app = t.started();
    GridState& g = app.grids();
    g.grid(1) = test::flat_grid();
    g.working = g.grid(1);
    g.current = 1;
    g.complete = 1;
    Configuration& cfg = app.configuration();
    cfg.wstims = true;
    cfg.picture_save = "Ask";
    cfg.video_save = "Save";
    // The capture screen has moved on to the next pass of this skier.
    app.shared().capture.skier_name = "Smith";
    app.shared().capture.pass = "3";
    const std::string results_before = slurp(app.shared().results_file_path);
    const std::string log_before = slurp(t.video_folder + "/JumpMeasurementLog030107.txt");

    // Frame selection: the video opened, stepped to frame 18, taken.
    frmSetStart& f = app.set_start();
    f.free_space = [](const std::string&) { return std::uintmax_t{5'000'000'000}; };
    f.show();
    t.dialogs.file(video);
    f.Command6->click();
    f.MediaPlayer1->setCurrentPosition(17);
    f.Command4->click();
    f.cmdMarkStart->click();

    Measure& m = app.measure();
    ASSERT_TRUE(m.isVisible());
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(m.picture->picture_pixels(), QSize(320, 240));
    EXPECT_EQ(mark_of_picture(m.picture->picture()), 18);

    // The impact clicked at pixel (100, 200): survey (15, 70), 30 m from the
    // jump point, 32.1 m with the offset.
    m.Skier_name->setEditText("Smith");
    m.Jump_no->setText("2");
    m.picture->simulate_click(QPoint(100, 200));
    m.Record->click();
    EXPECT_EQ(m.distance->text().toStdString(), " 32.1m");
    EXPECT_EQ(m.distance_ft->text().toStdString(), " 105ft");

    test::press(m, "SavePict");
    const std::string picture = t.video_folder + "/Smithjump2.bmp";
    t.dialogs.no();  // "Do you want to save this picture?": it is saved already
    test::press(m, "mnuCapture");
    EXPECT_FALSE(m.isVisible());
    EXPECT_TRUE(app.preview_form().isVisible());
    EXPECT_EQ(app.shared().navigation_state, "Measure");
    EXPECT_EQ(m.Jump_no->text().toStdString(), " 3");

    EXPECT_EQ(slurp(app.shared().results_file_path),
              results_before +
                  "03-01-2007 09:05:03 Smith  jump 2 -  32.1m  (IWSF) 105ft  (AWSA) ( 15/ 70) ( "
                  "1500/ 3000) ( 32.1)\r\n"
                  "03-01-2007 09:05:03 Saved picture: " +
                  picture + "\r\n");
    EXPECT_EQ(slurp(t.exchange_folder + "/rsresult.dst"), "OK,  32.1,  105, 2\r\n");
    EXPECT_EQ(slurp(t.exchange_folder + "/rsraw.dst"), "09:05:03 ,Smith,OK,  32.1,  105, 2\r\n");
    EXPECT_EQ(slurp(t.video_folder + "/JumpMeasurementLog030107.txt"),
              log_before +
                  "03-01-2007    09:05:03      Skier: Smith  Jump:  2      Distance:  32.1m"
                  "            File: " +
                  picture +
                  "\r\n"
                  "03-01-2007    09:05:03      Skier: Smith  Jump: 2       Contact Frame:  18"
                  "          File: " +
                  video + "\r\n");
    EXPECT_EQ(slurp(picture + ".info"), picture + ", Smith, 3\r\n");
    EXPECT_EQ(slurp(video + ".info"), video + ", 18\r\n");

    // The saved picture is the frame that was measured.
    EXPECT_EQ(mark_of_picture(QImage(QString::fromStdString(picture))), 18);
    EXPECT_TRUE(std::filesystem::exists(video));
}

}  // namespace
}  // namespace rs
