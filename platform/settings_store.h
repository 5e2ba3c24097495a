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

}  // namespace rs
