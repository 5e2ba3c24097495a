// Shows the grid set-up screen with an accepted grid and its accuracy
// labels on a drawn picture of a course, and saves the window as a PNG
// (scripts/screenshot_grid_setup runs it under Xvfb for the README).
//
//   grid_setup_screenshot OUTPUT.png [--fit]

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <string>

#include "bench/bench_app.h"
#include "bench/screenshot_course.h"
#include "platform/picture_canvas_widget.h"

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

    rs::NoCaptureDevice capture;
    rs::bench::BenchApp b(capture, "3");
    rs::bench::copy_screen_pictures(b, QCoreApplication::applicationDirPath());
    QImage course = rs::bench::course_picture();
    if (fit)
        course = course.scaled(1280, 720, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    course.save(b.folder("app") + "/currentcapture.bmp");
    (void)b.settings.save("labelcolor", "yellow");
    b.app.start();

    rs::Grid_Setup& s = b.app.grid_setup();
    if (fit)
        s.resize(1200, 760);
    else
        s.resize(1240, 700);
    rs::bench::set_up_course_grid(b.app, sx, sy);
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
