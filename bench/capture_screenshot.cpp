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
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "app/app.h"
#include "app/main_screen.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/ffmpeg_capture_device.h"
#include "platform/ini_settings_store.h"
#include "platform/keyboard_state.h"
#include "platform/program_starter.h"
#include "video/capture_screen.h"
#include "video/frame_selection_screen.h"

namespace {

class QuietDialogs final : public rs::Dialogs {
  public:
    rs::MsgResult message(const rs::MessageRequest& r) override {
        std::fprintf(stderr, "message: %s\n", r.text.c_str());
        return r.buttons == rs::MsgButtons::YesNo ? rs::MsgResult::No : rs::MsgResult::Ok;
    }
    std::string input(const std::string& prompt, const std::string&, const std::string&) override {
        std::fprintf(stderr, "input: %s\n", prompt.c_str());
        return "";
    }
    std::optional<std::string> open_file(const rs::FileRequest&) override { return std::nullopt; }
    std::optional<std::string> save_file(const rs::FileRequest&) override { return std::nullopt; }
    std::string browse_folder(const std::string&) override { return ""; }
};

class NoStarter final : public rs::ProgramStarter {
  public:
    bool start(const std::string&) override { return false; }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: capture_screenshot OUTPUT.png\n");
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir tmp;
    for (const char* d : {"app", "rsio", "videos"})
        QDir(tmp.path()).mkpath(d);
    const std::string root = tmp.path().toStdString();

    rs::IniSettingsStore settings(root + "/RS05.ini");
    (void)settings.save("logpath", root + "/videos");
    QuietDialogs dialogs;
    rs::SystemClock clock;
    rs::ScriptedKeyboard keyboard;
    rs::FileWriter files;
    rs::FfmpegCaptureOptions options;
    options.list_cameras = false;
    rs::FfmpegCaptureDevice capture(files, nullptr, options);
    NoStarter starter;
    rs::App app({settings, dialogs, clock, rs::Paths{root + "/app", root + "/rsio"}, keyboard,
                 capture, starter, files});
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
