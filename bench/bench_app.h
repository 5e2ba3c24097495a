#pragma once
// The program as the bench and screenshot programs run it: over a temporary
// application, exchange and video folder, every prompt answered without a
// window (a Yes/No question with No, an input box with a set answer), no
// other program started, the clock the system's.

#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <cstdio>
#include <optional>
#include <string>

#include "app/app.h"
#include "platform/capture_device.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/ini_settings_store.h"
#include "platform/keyboard_state.h"
#include "platform/program_starter.h"

namespace rs::bench {

class QuietDialogs final : public Dialogs {
  public:
    explicit QuietDialogs(std::string input_answer) : input_answer_(std::move(input_answer)) {}
    MsgResult message(const MessageRequest& r) override {
        // The start-up's reset question is asked on every run.
        if (r.text.find("reset all parameters") == std::string::npos)
            std::fprintf(stderr, "message: %s\n", r.text.c_str());
        return r.buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Ok;
    }
    std::string input(const std::string& prompt, const std::string&, const std::string&) override {
        std::fprintf(stderr, "input: %s\n", prompt.c_str());
        return input_answer_;
    }
    std::optional<std::string> open_file(const FileRequest&) override { return std::nullopt; }
    std::optional<std::string> save_file(const FileRequest&) override { return std::nullopt; }
    std::string browse_folder(const std::string&) override { return ""; }

  private:
    std::string input_answer_;
};

class NoStarter final : public ProgramStarter {
  public:
    bool start(const std::string&) override { return false; }
};

// The folders "app", "rsio" and "videos" in a fresh folder made from
// pattern; the settings file beside them names "videos" as the log folder.
// Further settings may be saved before app.start().
class BenchApp {
  public:
    BenchApp(CaptureDevice& capture, std::string input_answer,
             const QString& pattern = QDir::tempPath() + "/rs-bench-XXXXXX")
        : tmp_(pattern),
          root(made_folders(tmp_)),
          settings(root + "/RS05.ini"),
          dialogs(std::move(input_answer)),
          app({settings, dialogs, clock, Paths{root + "/app", root + "/rsio"}, keyboard, capture,
               starter, files}) {
        (void)settings.save("logpath", root + "/videos");
    }

    bool valid() const { return tmp_.isValid(); }
    QString folder(const char* name) const { return tmp_.path() + "/" + name; }

  private:
    static std::string made_folders(const QTemporaryDir& tmp) {
        for (const char* d : {"app", "rsio", "videos"})
            QDir(tmp.path()).mkpath(d);
        return tmp.path().toStdString();
    }
    QTemporaryDir tmp_;

  public:
    const std::string root;
    IniSettingsStore settings;
    QuietDialogs dialogs;
    SystemClock clock;
    ScriptedKeyboard keyboard;
    NoStarter starter;
    FileWriter files;
    App app;
};

}  // namespace rs::bench
