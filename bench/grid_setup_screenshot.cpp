// Shows the grid set-up screen with an accepted grid and its accuracy
// labels on a drawn picture of a course, and saves the window as a PNG
// (scripts/screenshot_grid_setup runs it under Xvfb for the README).
//
//   grid_setup_screenshot OUTPUT.png
//
// The program runs over a temporary application, exchange and video folder;
// every prompt is answered without a window (the start-up's reset question
// with No).

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <string>

#include "app/app.h"
#include "grid/grid_setup_screen.h"
#include "platform/capture_device.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/ini_settings_store.h"
#include "platform/keyboard_state.h"
#include "platform/picture_canvas_widget.h"
#include "platform/program_starter.h"

namespace {

class QuietDialogs final : public rs::Dialogs {
  public:
    rs::MsgResult message(const rs::MessageRequest& r) override {
        std::fprintf(stderr, "message: %s\n", r.text.c_str());
        return r.buttons == rs::MsgButtons::YesNo ? rs::MsgResult::No : rs::MsgResult::Ok;
    }
    std::string input(const std::string& prompt, const std::string&, const std::string&) override {
        std::fprintf(stderr, "input: %s\n", prompt.c_str());
        return "3";
    }
    std::optional<std::string> open_file(const rs::FileRequest&) override { return std::nullopt; }
    std::optional<std::string> save_file(const rs::FileRequest&) override { return std::nullopt; }
    std::string browse_folder(const std::string&) override { return ""; }
};

class NoStarter final : public rs::ProgramStarter {
  public:
    bool start(const std::string&) override { return false; }
};

struct Buoy {
    int px, py;  // picture pixels
    const char* survey_x;
    const char* survey_y;
};
// Upper left, lower left, upper right, lower right, check buoy: a 30 m by
// 30 m course seen from the shore, the far side narrower.
constexpr Buoy kBuoys[5] = {{100, 100, "0", "100"},
                            {40, 400, "0", "70"},
                            {700, 100, "30", "100"},
                            {760, 400, "30", "70"},
                            {400, 236, "15", "85"}};

QImage course_picture() {
    QImage img(800, 600, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient sky(0, 0, 0, 60);
    sky.setColorAt(0, QColor(150, 185, 220));
    sky.setColorAt(1, QColor(200, 215, 230));
    p.fillRect(0, 0, 800, 60, sky);
    p.fillRect(0, 52, 800, 10, QColor(60, 90, 55));  // far shore
    QLinearGradient water(0, 60, 0, 600);
    water.setColorAt(0, QColor(40, 85, 110));
    water.setColorAt(1, QColor(20, 60, 80));
    p.fillRect(0, 62, 800, 538, water);
    p.setPen(QColor(70, 115, 140));
    for (int y = 70; y < 600; y += 14) {
        for (int x = (y * 7) % 50; x < 800; x += 60)
            p.drawLine(x, y, x + 18 + (y % 9), y);
    }
    // The ramp, near the camera.
    p.setBrush(QColor(235, 235, 225));
    p.setPen(Qt::NoPen);
    p.drawPolygon(
        QPolygon({QPoint(330, 520), QPoint(470, 520), QPoint(450, 585), QPoint(350, 585)}));
    p.setBrush(QColor(255, 140, 20));
    for (const Buoy& b : kBuoys) {
        const int r = 2 + b.py / 150;
        p.drawEllipse(QPoint(b.px, b.py), r, r);
    }
    return img;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    // --fit: a 1280 x 720 camera picture, larger than the room beside the
    // panel, fitted to the window.
    const bool fit = argc == 3 && std::string(argv[2]) == "--fit";
    if (argc != 2 && !fit) {
        std::fprintf(stderr, "usage: grid_setup_screenshot OUTPUT.png [--fit]\n");
        return 2;
    }
    const double sx = fit ? 1280.0 / 800 : 1, sy = fit ? 720.0 / 600 : 1;
    const QString output = QString::fromLocal8Bit(argv[1]);

    QTemporaryDir tmp;
    QDir(tmp.path()).mkpath("app");
    QDir(tmp.path()).mkpath("rsio");
    QDir(tmp.path()).mkpath("videos");
    const std::string root = tmp.path().toStdString();
    const QString exe_dir = QCoreApplication::applicationDirPath();
    for (const char* name : {"SmallSmiley.jpg", "SmallCaution.jpg", "face02.ico", "msgbox03.ico"})
        QFile::copy(exe_dir + "/" + name, tmp.path() + "/app/" + name);
    QImage course = course_picture();
    if (fit)
        course = course.scaled(1280, 720, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    course.save(tmp.path() + "/app/currentcapture.bmp");

    rs::IniSettingsStore settings(root + "/RS05.ini");
    (void)settings.save("logpath", root + "/videos");
    (void)settings.save("labelcolor", "yellow");
    QuietDialogs dialogs;
    rs::SystemClock clock;
    rs::ScriptedKeyboard keyboard;
    rs::NoCaptureDevice capture;
    NoStarter starter;
    rs::FileWriter files;
    rs::App app({settings, dialogs, clock, rs::Paths{root + "/app", root + "/rsio"}, keyboard,
                 capture, starter, files});
    app.start();
    app.configuration().label_color = rs::kYellow;
    app.configuration().label_color_name = "yellow";

    rs::Grid_Setup& s = app.grid_setup();
    if (fit)
        s.resize(1200, 760);
    else
        s.resize(1240, 700);
    s.show();
    s.mnuMeasurePic_Click();
    QRadioButton* points[5] = {s.upper_left_button, s.lower_left_button, s.upper_right_button,
                               s.lower_right_button, s.optCheckBuoy};
    const rs::ValueBox survey[5][2] = {{rs::ValueBox::ul_survey_x, rs::ValueBox::ul_survey_y},
                                       {rs::ValueBox::ll_survey_x, rs::ValueBox::ll_survey_y},
                                       {rs::ValueBox::ur_survey_x, rs::ValueBox::ur_survey_y},
                                       {rs::ValueBox::lr_survey_x, rs::ValueBox::lr_survey_y},
                                       {rs::ValueBox::txtCheckX, rs::ValueBox::txtCheckY}};
    for (int i = 0; i < 5; ++i) {
        points[i]->setChecked(true);
        s.Form_MouseDown(std::round(kBuoys[i].px * sx) * 15.0,
                         std::round(kBuoys[i].py * sy) * 15.0);
        s.box(survey[i][0])->setText(kBuoys[i].survey_x);
        s.box(survey[i][1])->setText(kBuoys[i].survey_y);
    }
    s.box(rs::ValueBox::jump_x)->setText("15");
    s.box(rs::ValueBox::jump_y)->setText("40");
    s.ipt_file_description_2->setText("North shore camera");
    s.Load_Click();
    s.optAdvancedAccuracy->click();
    s.btnAccuracyCheck_Click();
    if (fit)
        s.picture->fit_action()->trigger();
    s.raise();
    s.activateWindow();

    int status = 1;
    QTimer::singleShot(800, [&] {
        if (s.grab().save(output)) {
            std::fprintf(stderr, "wrote %s\n", argv[1]);
            status = 0;
        }
        QCoreApplication::exit(0);
    });
    QApplication::exec();
    return status;
}
