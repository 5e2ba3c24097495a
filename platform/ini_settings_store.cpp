#include "platform/ini_settings_store.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "core/text_forms.h"
#include "platform/file_reader.h"
#include "platform/paths.h"

namespace rs {

namespace {

constexpr std::string_view kSection = "settings";
constexpr std::string_view kFirstLine =
    "; RS05 settings: each value stands exactly as written after the \"=\"";

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

bool is_control(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7F;
}

std::string_view trim_blanks(std::string_view s) {
    while (!s.empty() && is_blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && is_blank(s.back()))
        s.remove_suffix(1);
    return s;
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A value between double quotes with C escapes, or nothing when the text is
// not exactly one such string.
std::optional<std::string> unquote(std::string_view v) {
    if (v.size() < 2 || v.front() != '"' || v.back() != '"')
        return std::nullopt;
    std::string out;
    for (std::size_t i = 1; i + 1 < v.size(); ++i) {
        const char c = v[i];
        if (c == '"')
            return std::nullopt;
        if (c != '\\') {
            out.push_back(c);
            continue;
        }
        if (i + 2 >= v.size())
            return std::nullopt;
        const char e = v[++i];
        switch (e) {
            case '\\':
            case '"':
                out.push_back(e);
                break;
            case 'n':
                out.push_back('\n');
                break;
            case 'r':
                out.push_back('\r');
                break;
            case 't':
                out.push_back('\t');
                break;
            case 'x': {
                if (i + 3 >= v.size())
                    return std::nullopt;
                const int hi = hex_digit(v[i + 1]);
                const int lo = hex_digit(v[i + 2]);
                if (hi < 0 || lo < 0)
                    return std::nullopt;
                out.push_back(static_cast<char>(hi * 16 + lo));
                i += 2;
                break;
            }
            default:
                return std::nullopt;
        }
    }
    return out;
}

std::string quote(std::string_view v) {
    static const char* const kHex = "0123456789ABCDEF";
    std::string out = "\"";
    for (char c : v) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (is_control(c)) {
                    const auto u = static_cast<unsigned char>(c);
                    out += "\\x";
                    out.push_back(kHex[u >> 4]);
                    out.push_back(kHex[u & 15]);
                } else {
                    out.push_back(c);
                }
        }
    }
    out += "\"";
    return out;
}

bool needs_quotes(std::string_view v) {
    if (v.empty())
        return false;
    if (v.front() == '"' || is_blank(v.front()) || is_blank(v.back()))
        return true;
    for (char c : v) {
        if (is_control(c))
            return true;
    }
    return false;
}

// A value of a file written by QSettings: "\\" and "\"" escapes, double
// quotes around parts that hold a comma or a semicolon, "@@" for a leading
// "@". A backslash before anything else was typed by hand and stands.
std::string legacy_value(std::string_view v) {
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (v[i] != '\\')
            continue;
        if (i + 1 < v.size() && (v[i + 1] == '\\' || v[i + 1] == '"'))
            ++i;
        else
            return std::string(v);
    }
    std::string out;
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (v[i] == '\\')
            out.push_back(v[++i]);
        else if (v[i] != '"')
            out.push_back(v[i]);
    }
    if (out.rfind("@@", 0) == 0)
        out.erase(0, 1);
    return out;
}

}  // namespace

bool is_settings_key(std::string_view key) {
    if (key.empty() || is_blank(key.front()) || is_blank(key.back()))
        return false;
    for (char c : key) {
        if (is_control(c) || c == '=' || c == '[' || c == ']' || c == ';' || c == '#')
            return false;
    }
    return true;
}

std::optional<std::map<std::string, std::string>> parse_settings_text(std::string_view text,
                                                                      std::string* other_sections) {
    if (text.find('\0') != std::string_view::npos)
        return std::nullopt;
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::map<std::string, std::string> values;
    std::string others;
    bool own_format = false;
    // Lines before the first section belong to none and are not kept.
    enum class In { None, Settings, Other } in = In::None;
    bool first = true;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view raw = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!raw.empty() && raw.back() == '\r')
            raw.remove_suffix(1);
        const std::string_view line = trim_blanks(raw);
        if (first && line == kFirstLine)
            own_format = true;
        first = false;
        if (line.size() > 1 && line.front() == '[') {
            if (line.back() != ']')
                return std::nullopt;
            in = to_lower(trim_blanks(line.substr(1, line.size() - 2))) == kSection ? In::Settings
                                                                                    : In::Other;
        }
        if (in == In::Other) {
            others.append(raw).append(kCrLf);
            continue;
        }
        if (in == In::None || line.empty() || line.front() == ';' || line.front() == '#' ||
            line.front() == '[')
            continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos)
            continue;  // not an entry; nothing to read from it
        const std::string key = to_lower(trim_blanks(line.substr(0, eq)));
        if (!is_settings_key(key))
            continue;
        const std::string_view v = trim_blanks(line.substr(eq + 1));
        if (own_format) {
            auto unquoted = unquote(v);
            values[key] = unquoted ? *unquoted : std::string(v);
        } else {
            values[key] = legacy_value(v);
        }
    }
    if (other_sections)
        *other_sections = std::move(others);
    return values;
}

std::string format_settings_text(const std::map<std::string, std::string>& values,
                                 std::string_view other_sections) {
    std::string out;
    out.append(kFirstLine).append(kCrLf);
    out.append("[Settings]").append(kCrLf);
    for (const auto& [key, value] : values) {
        out.append(key).append("=");
        out.append(needs_quotes(value) ? quote(value) : value);
        out.append(kCrLf);
    }
    if (!other_sections.empty())
        out.append(kCrLf).append(other_sections);
    return out;
}

IniSettingsStore::IniSettingsStore(std::string file_path, LogSink log, FileWriter* files)
    : path_(std::move(file_path)), log_(std::move(log)) {
    if (!files) {
        own_files_ = std::make_unique<FileWriter>();
        files = own_files_.get();
    }
    files_ = files;
    // No file yet, or a folder or a FIFO at its name: the defaults hold, and
    // a write fails with its reason (a FIFO is never waited on).
    if (!is_regular_file(path_))
        return;
    std::string why;
    auto text = read_whole_file(path_, kSettingsFileLimit, &why);
    auto values = text ? parse_settings_text(*text, &other_sections_) : std::nullopt;
    if (!values) {
        // Defaults rather than half-understood values; the unreadable file is
        // kept beside the new one for whoever wants to look at it.
        if (log_)
            log_("Settings file unreadable, defaults used: " + (text ? path_ : why));
        other_sections_.clear();
        const std::string aside = path_ + ".corrupt";
        if (!files_->remove(aside) || !files_->move(path_, aside)) {
            if (log_)
                log_("Settings file could not be set aside: " + path_);
        }
        return;
    }
    values_ = std::move(*values);
}

IniSettingsStore::~IniSettingsStore() = default;
IniSettingsStore::IniSettingsStore(IniSettingsStore&&) noexcept = default;

std::string IniSettingsStore::get(std::string_view key, std::string_view def) const {
    auto it = values_.find(to_lower(key));
    if (it == values_.end())
        return std::string(def);
    return it->second;
}

bool IniSettingsStore::save(std::string_view key, std::string_view value) {
    const std::string k = to_lower(key);
    if (!is_settings_key(k)) {
        if (log_)
            log_("Setting not saved (" + std::string(key) + "): not a name the file can hold");
        return false;
    }
    values_[k] = std::string(value);
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::path(path_).parent_path();
    if (!folder.empty())
        std::filesystem::create_directories(folder, ec);
    const WriteResult written =
        files_->replace(path_, format_settings_text(values_, other_sections_));
    if (!written && log_)
        log_("Setting not saved (" + std::string(key) + "): " + written.error());
    return written.ok();
}

std::string IniSettingsStore::default_file_path() {
    std::string base;
#ifdef _WIN32
    for (const char* name : {"LOCALAPPDATA", "APPDATA", "USERPROFILE"}) {
        const char* v = std::getenv(name);
        if (v && *v) {
            base = v;
            break;
        }
    }
#else
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home && *home ? home : ".") + "/.config";
    }
#endif
    return join_path(join_path(base, "RS05"), "RS05.ini");
}

}  // namespace rs
