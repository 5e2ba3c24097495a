// Shows the measurement screen with the grid overlay and a marked, recorded
// impact on a drawn picture of a course, and saves the window as a PNG
// (scripts/screenshot_measure runs it under Xvfb for the README).
//
//   measure_screenshot OUTPUT.png
//
// The program runs over a temporary application, exchange and video folder;
// every prompt is answered without a window (the start-up's reset question
// with No).

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>
#include <cstdio>

#include "bench/bench_app.h"
#include "bench/screenshot_course.h"
#include "measure/measure_screen.h"

namespace {

constexpr QPoint kImpact(452, 214);  // picture pixels

}  // namespace

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: measure_screenshot OUTPUT.png\n");
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);

    rs::NoCaptureDevice capture;
    rs::bench::BenchApp b(capture, "3");
    rs::bench::copy_screen_pictures(b, QCoreApplication::applicationDirPath());
    rs::bench::course_picture(kImpact).save(b.folder("app") + "/currentcapture.bmp");
    (void)b.settings.save("labelcolor", "yellow");
    b.app.start();
    rs::App& app = b.app;
    app.grid_setup().resize(1240, 700);
    rs::bench::set_up_course_grid(app);
    app.grid_setup().gridExit_Click();

    app.configuration().impact_color = rs::kRed;
    app.configuration().tournament_name = "Lakeside Open";
    app.configuration().skier_names = {"Smith", "Jones", "Garcia"};
    app.shared().navigation_state = "SelectFrame";
    rs::Measure& m = app.measure();
    m.resize(1240, 760);
    m.show();
    m.Skier_name->setEditText("Smith");
    m.Jump_no->setText("2");
    m.CrossSize->setValue(300);
    m.Show_grid_Click();
    m.Form_MouseDown(kImpact.x() * 15.0, kImpact.y() * 15.0);
    m.AdjustRight_Click();
    m.Record_Click();
    m.raise();
    m.activateWindow();

    int status = 1;
    QTimer::singleShot(800, [&] {
        if (m.grab().save(output)) {
            std::fprintf(stderr, "wrote %s\n", argv[1]);
            status = 0;
        }
        QCoreApplication::exit(0);
    });
    QApplication::exec();
    return status;
}
