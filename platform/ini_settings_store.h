#pragma once
// The settings store kept in an INI file.

#include <memory>
#include <string>
#include <string_view>

#include "platform/settings_store.h"

namespace rs {

// The store kept in an INI file, written through to disk at every change and
// replaced atomically, so a crash never leaves half a file behind.
class IniSettingsStore final : public SettingsStore {
  public:
    IniSettingsStore(std::string file_path, LogSink log = {});
    ~IniSettingsStore() override;

    std::string get(std::string_view key, std::string_view def) const override;
    bool save(std::string_view key, std::string_view value) override;
    using SettingsStore::get;

    void set_log(LogSink log) { log_ = std::move(log); }
    const std::string& file_path() const { return path_; }

    // The per-user file of the store: <config folder>/RS05/RS05.ini.
    static std::string default_file_path();

  private:
    struct Impl;
    std::string path_;
    LogSink log_;
    std::unique_ptr<Impl> impl_;
};

}  // namespace rs
