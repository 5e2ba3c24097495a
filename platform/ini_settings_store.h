#pragma once
// The settings store kept in an INI file of its own making.
//
// The file is the one an official may open in a text editor:
//
//   ; RS05 settings: each value stands exactly as written after the "="
//   [Settings]
//   logpath=C:\new\tests
//   lastsetup=Lake, north.ipt
//
// A value is written as it is, commas, semicolons, backslashes and quotes
// included, so what is typed by hand reads back as typed. Only a value that
// could not stand alone on its line (a line break or another control
// character, a blank at either end, a leading double quote) is written
// between double quotes with C escapes (\\ \" \r \n \t \xHH).
//
// Files written before this store existed (by QSettings: "C:\\Videos",
// "Lake, north.ipt" in quotes) have no first line of this kind and are
// read with that writer's escapes, except that a value holding a backslash
// no such writer would put there ("C:\new") is taken as typed.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_writer.h"
#include "platform/settings_store.h"

namespace rs {

// The settings file's text (a file of a few kilobytes; anything larger is
// not a settings file).
inline constexpr std::uint64_t kSettingsFileLimit = 1024 * 1024;

// The [Settings] values of a settings file's text, by lower-case key, or
// nothing when the text is not a settings file (a NUL byte, a broken
// section line). Lines of other sections go to other_sections as they
// stand (when given), so they survive a rewrite.
std::optional<std::map<std::string, std::string>> parse_settings_text(
    std::string_view text, std::string* other_sections = nullptr);
// The text of a settings file holding values (and other_sections after them).
std::string format_settings_text(const std::map<std::string, std::string>& values,
                                 std::string_view other_sections = {});
// A key the file can hold: not empty, no "=", "[", "]", ";", "#", control
// character or blank at either end.
bool is_settings_key(std::string_view key);

// The store kept in an INI file, written through to disk at every change and
// replaced atomically through the FileWriter, so a crash never leaves half a
// file behind.
class IniSettingsStore final : public SettingsStore {
  public:
    // files: the writer of the file (a test's failing double); the store's
    // own when none is given.
    IniSettingsStore(std::string file_path, LogSink log = {}, FileWriter* files = nullptr);
    ~IniSettingsStore() override;
    IniSettingsStore(IniSettingsStore&&) noexcept;

    std::string get(std::string_view key, std::string_view def) const override;
    bool save(std::string_view key, std::string_view value) override;
    using SettingsStore::get;

    void set_log(LogSink log) { log_ = std::move(log); }
    const std::string& file_path() const { return path_; }

    // The per-user file of the store: <config folder>/RS05/RS05.ini (the
    // config folder is $XDG_CONFIG_HOME or ~/.config; %LOCALAPPDATA% on
    // Windows).
    static std::string default_file_path();

  private:
    std::string path_;
    LogSink log_;
    std::unique_ptr<FileWriter> own_files_;
    FileWriter* files_;
    // Every value read at start and every value written since, by lower-case
    // key: a write that did not reach the disk still holds for this run.
    std::map<std::string, std::string> values_;
    std::string other_sections_;
};

}  // namespace rs
