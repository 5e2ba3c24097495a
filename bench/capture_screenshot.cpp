// Shows the capture screen recording from the built-in test source, presses
// "Contact", and saves the window as a PNG (scripts/screenshot_capture runs
// it under Xvfb for the README). The recording is then stopped and handed to
// the frame selection screen.
//
//   capture_screenshot OUTPUT.png
//
// The program runs over a temporary application, exchange and video folder;
// every prompt is answered without a window (the start-up's reset question
// with No).

#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <cstdio>

#include "app/main_screen.h"
#include "bench/bench_app.h"
#include "platform/ffmpeg_capture_device.h"
#include "video/capture_screen.h"
#include "video/frame_selection_screen.h"

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: capture_screenshot OUTPUT.png\n");
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    rs::FileWriter files;
    rs::FfmpegCaptureOptions options;
    options.list_cameras = false;
    rs::FfmpegCaptureDevice capture(files, nullptr, options);
    rs::bench::BenchApp b(capture, "");
    rs::App& app = b.app;
    app.start();
    app.main_form().EdtRate->setText("30");

    rs::PreviewForm& f = app.preview_form();
    f.txtSkierName->setText("John Smith");
    app.main_form().cmdGoCapture_Click();
    int status = 1;
    QTimer::singleShot(800, [&] { f.cmdStartCapture_Click(); });
    QTimer::singleShot(2000, [&] { f.cmdStartTimer_Click(); });
    QTimer::singleShot(3200, [&] {
        f.raise();
        if (f.grab().save(output)) {
            std::fprintf(stderr, "wrote %s\n", argv[1]);
            status = 0;
        }
        f.cmdEndCapture_Click();
    });
    QTimer::singleShot(4000, [&] {
        const auto& c = app.shared().capture;
        std::fprintf(stderr, "recorded %s: %.0f frames, contact at frame %.0f\n",
                     c.video_path.c_str(), c.length, c.start_frame);
        QCoreApplication::exit(0);
    });
    QApplication::exec();
    return status;
}
