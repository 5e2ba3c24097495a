#pragma once
// The per-user settings store: a flat list of named text values under the
// application "RS05", section "Settings". Key names are matched without
// regard to case; values are always text.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace rs {

class SettingsStore {
  public:
    virtual ~SettingsStore() = default;

    // The stored text of key, or def when the key was never written.
    virtual std::string get(std::string_view key, std::string_view def) const = 0;
    std::string get(std::string_view key, const char* def) const {
        return get(key, std::string_view(def));
    }
    // A numeric default arrives as its text: 0 as "0", -1 as "-1".
    std::string get(std::string_view key, int def) const {
        return get(key, std::string_view(std::to_string(def)));
    }
    // A Boolean default arrives as "True" or "False".
    std::string get(std::string_view key, bool def) const {
        return get(key, std::string_view(def ? "True" : "False"));
    }

    // Creates or replaces the entry; true only when the value is on disk.
    // A failed write keeps the value in memory for this run.
    virtual bool save(std::string_view key, std::string_view value) = 0;
};

// Receives a line for the debug log (the store is created before the log).
using LogSink = std::function<void(const std::string&)>;

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
