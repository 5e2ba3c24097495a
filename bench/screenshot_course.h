#pragma once
// The drawn course of the screenshot programs: a 30 m by 30 m course seen
// from the shore on an 800 x 600 picture, its buoys, and the grid set up on
// it as an official would, clicking each buoy and typing its survey values.

#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPoint>
#include <QRadioButton>
#include <cmath>
#include <optional>

#include "bench/bench_app.h"
#include "grid/grid_setup_screen.h"

namespace rs::bench {

struct Buoy {
    int px, py;  // picture pixels
    const char* survey_x;
    const char* survey_y;
};
// Upper left, lower left, upper right, lower right, check buoy; the far
// side narrower.
inline constexpr Buoy kBuoys[5] = {{100, 100, "0", "100"},
                                   {40, 400, "0", "70"},
                                   {700, 100, "30", "100"},
                                   {760, 400, "30", "70"},
                                   {400, 236, "15", "85"}};

// The course, with the splash of a skier's first touch of the water where
// one is given.
inline QImage course_picture(std::optional<QPoint> splash = std::nullopt) {
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
    p.setPen(Qt::NoPen);
    if (splash) {
        p.setBrush(QColor(240, 245, 250));
        p.drawEllipse(QPoint(splash->x() - 4, splash->y()), 9, 4);
        p.setBrush(QColor(255, 255, 255));
        p.drawEllipse(QPoint(splash->x() - 2, splash->y() - 2), 4, 3);
    }
    // The ramp, near the camera.
    p.setBrush(QColor(235, 235, 225));
    p.drawPolygon(
        QPolygon({QPoint(330, 520), QPoint(470, 520), QPoint(450, 585), QPoint(350, 585)}));
    p.setBrush(QColor(255, 140, 20));
    for (const Buoy& b : kBuoys) {
        const int r = 2 + b.py / 150;
        p.drawEllipse(QPoint(b.px, b.py), r, r);
    }
    return img;
}

// The pictures the screens show beside their messages, from beside the
// screenshot program into the application folder.
inline void copy_screen_pictures(const BenchApp& b, const QString& from) {
    for (const char* name : {"SmallSmiley.jpg", "SmallCaution.jpg", "face02.ico", "msgbox03.ico"})
        QFile::copy(from + "/" + name, b.folder("app") + "/" + name);
}

// The grid set up on the course picture shown at sx, sy times its size:
// each buoy clicked and its survey values typed, the jump point, the
// description, then "Complete". Messages are shown in yellow.
inline void set_up_course_grid(App& app, double sx = 1, double sy = 1) {
    app.configuration().label_color = kYellow;
    app.configuration().label_color_name = "yellow";
    Grid_Setup& s = app.grid_setup();
    s.show();
    s.mnuMeasurePic_Click();
    QRadioButton* points[5] = {s.upper_left_button, s.lower_left_button, s.upper_right_button,
                               s.lower_right_button, s.optCheckBuoy};
    const ValueBox survey[5][2] = {{ValueBox::ul_survey_x, ValueBox::ul_survey_y},
                                   {ValueBox::ll_survey_x, ValueBox::ll_survey_y},
                                   {ValueBox::ur_survey_x, ValueBox::ur_survey_y},
                                   {ValueBox::lr_survey_x, ValueBox::lr_survey_y},
                                   {ValueBox::txtCheckX, ValueBox::txtCheckY}};
    for (int i = 0; i < 5; ++i) {
        points[i]->setChecked(true);
        s.Form_MouseDown(std::round(kBuoys[i].px * sx) * 15.0,
                         std::round(kBuoys[i].py * sy) * 15.0);
        s.box(survey[i][0])->setText(kBuoys[i].survey_x);
        s.box(survey[i][1])->setText(kBuoys[i].survey_y);
    }
    s.box(ValueBox::jump_x)->setText("15");
    s.box(ValueBox::jump_y)->setText("40");
    s.ipt_file_description_2->setText("North shore camera");
    s.Load_Click();
}

}  // namespace rs::bench
