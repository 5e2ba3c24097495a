// Rampsight Measurement: the program officials use to measure water-ski
// jumps from video.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <filesystem>

#include "app/app.h"
#include "demo/demo_course_files.h"
#include "platform/clock.h"
#include "platform/ffmpeg_capture_device.h"
#include "platform/ini_settings_store.h"
#include "platform/paths.h"
#include "platform/qt_dialogs.h"
#include "platform/qt_keyboard_state.h"
#include "platform/qt_program_starter.h"
#include "video/dib.h"

namespace {

// The executable's folder, or a per-user data folder where that one cannot
// be written (the program's pictures are copied there on first use).
std::string application_folder() {
    const QString exe_dir = QCoreApplication::applicationDirPath();
    // Run from the build folder: everything beside the program. Installed,
    // the pictures and manual come from the package's data folder.
    const QString assets = QString::fromStdString(rs::asset_folder_for(exe_dir.toStdString()));
    if (QFileInfo(exe_dir).isWritable() && assets == exe_dir)
        return exe_dir.toStdString();
    QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    for (const char* name :
         {"RS05Manual.rtf", "SmallSmiley.jpg", "SmallCaution.jpg", "face02.ico", "msgbox03.ico"}) {
        const QString target = data + "/" + name;
        if (!QFileInfo::exists(target))
            QFile::copy(assets + "/" + name, target);
    }
    return data.toStdString();
}

// The demo course the capture device replays: drawn into the program's
// folder the first time it is chosen (some seconds), kept from then on.
std::string demo_course_video(const std::string& app_folder, std::string* error) {
    const std::string dir = app_folder + "/Demo Course";
    const rs::demo::DemoCourseFiles files = rs::demo::demo_course_files(dir);
    std::error_code ec;
    if (std::filesystem::is_regular_file(files.truth, ec) &&
        std::filesystem::is_regular_file(files.video, ec))
        return files.video;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool made = rs::demo::write_demo_course(dir, 1, error);
    QApplication::restoreOverrideCursor();
    return made ? files.video : std::string();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    QCoreApplication::setApplicationName("RS05");
    rs::Paths paths;
    paths.app_folder = application_folder();
    paths.exchange_folder = rs::exchange_folder_for(paths.app_folder);

    rs::SystemClock clock;
    rs::IniSettingsStore settings(rs::IniSettingsStore::default_file_path());
    rs::QtDialogs dialogs;
    rs::QtKeyboardState keyboard;
    rs::QtProgramStarter starter;
    rs::FileWriter files;
    // Cameras, the built-in test source and the demo course; stills are
    // written as the bitmaps the measurement screen loads.
    rs::FfmpegCaptureOptions capture_options;
    capture_options.demo_course = [&paths](std::string* error) {
        return demo_course_video(paths.app_folder, error);
    };
    rs::FfmpegCaptureDevice capture(
        files,
        [&files](const rs::Picture24& picture, const std::string& path, std::string* error) {
            const rs::WriteResult written = rs::write_picture_bmp(files, picture, path);
            if (!written && error)
                *error = written.error();
            return written.ok();
        },
        capture_options);

    rs::App app({settings, dialogs, clock, paths, keyboard, capture, starter, files});
    settings.set_log([&app](const std::string& line) { app.WriteDebugLog(line); });
    app.start();
    if (app.quit_requested())
        return 0;
    return QApplication::exec();
}
