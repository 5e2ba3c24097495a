// How quickly the measurement screen answers the operator, as medians:
//
//   click_to_distance_p50_ms  from a click on a 1080p picture to the marker
//                             drawn on the screen and the distance under the
//                             pointer read out (verify mode)
//   record_to_disk_p50_ms     from "Record &Jump" to the results file and
//                             both exchange files written and flushed to disk
//
//   measure_bench [FOLDER]
//
// The files are written in a temporary folder inside FOLDER (the current
// folder by default), so the flushes reach the disk a tournament would use
// rather than a memory file system. One figure a line.

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "bench/bench_app.h"
#include "grid/grid_solution.h"
#include "measure/measure_screen.h"
#include "platform/picture_canvas_widget.h"

namespace {

using Clock = std::chrono::steady_clock;

double median_ms(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double ms_since(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// A course seen from the shore across a 1920 x 1080 picture.
rs::GridDefinition course_grid() {
    rs::GridDefinition g;
    g.corners[rs::kUpperRight] = {1500 * 15.0, 300 * 15.0, 30, 100};
    g.corners[rs::kLowerRight] = {1800 * 15.0, 900 * 15.0, 30, 70};
    g.corners[rs::kUpperLeft] = {420 * 15.0, 300 * 15.0, 0, 100};
    g.corners[rs::kLowerLeft] = {120 * 15.0, 900 * 15.0, 0, 70};
    (void)rs::solve_grid(g);
    g.jump_x = 15;
    g.jump_y = 40;
    g.loaded = true;
    g.description = "Bench course";
    return g;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    const QString base = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    rs::NoCaptureDevice capture;
    rs::bench::BenchApp b(capture, "", base + "/measure_bench-XXXXXX");
    if (!b.valid()) {
        std::fprintf(stderr, "cannot make a folder in %s\n", qPrintable(base));
        return 1;
    }
    rs::App& app = b.app;

    QImage frame(1920, 1080, QImage::Format_RGB888);
    frame.fill(QColor(30, 70, 95));
    {
        QPainter p(&frame);
        p.setPen(QColor(70, 115, 140));
        for (int y = 0; y < 1080; y += 9)
            p.drawLine((y * 7) % 60, y, 1920, y);
    }
    frame.save(b.folder("app") + "/currentcapture.bmp");

    (void)b.settings.save("WSTIMS", "1");
    app.start();
    rs::GridState& g = app.grids();
    g.grid(1) = course_grid();
    g.working = g.grid(1);
    g.current = 1;
    g.complete = 1;
    app.configuration().wstims = true;
    app.configuration().picture_save = "NoSave";

    rs::Measure& m = app.measure();
    m.resize(1600, 1000);
    app.shared().navigation_state = "SelectFrame";
    m.show();
    m.verify_Click();
    QApplication::processEvents();
    rs::PictureCanvas& canvas = m.canvas();

    std::vector<double> click;
    for (int i = 0; i < 200; ++i) {
        const QPoint at(500 + (i * 37) % 700, 400 + (i * 23) % 300);
        const auto t0 = Clock::now();
        canvas.simulate_click(at);
        canvas.simulate_move(at);
        canvas.repaint();
        click.push_back(ms_since(t0));
    }

    std::vector<double> record;
    for (int i = 0; i < 60; ++i) {
        m.Form_MouseDown(900 * 15.0, (500 + i) * 15.0);
        const auto t0 = Clock::now();
        m.Record->click();
        record.push_back(ms_since(t0));
    }

    std::printf("click_to_distance_p50_ms %.3f\n", median_ms(click));
    std::printf("record_to_disk_p50_ms %.3f\n", median_ms(record));
    return 0;
}
