#include "platform/capture_profile.h"

#include <functional>
#include <vector>

#include "core/text_forms.h"
#include "platform/file_reader.h"

namespace rs {

namespace {

// One value of the file: its name, how it is written, how it is read back.
struct Field {
    const char* name;
    std::function<std::string(const CaptureProfile&)> write;
    std::function<bool(CaptureProfile&, const std::string&)> read;
};

Field text_field(const char* name, std::string CaptureProfile::*member) {
    return {name, [member](const CaptureProfile& p) { return p.*member; },
            [member](CaptureProfile& p, const std::string& v) {
                p.*member = v;
                return true;
            }};
}

Field number_field(const char* name, double CaptureProfile::*member) {
    return {name, [member](const CaptureProfile& p) { return plain_number(p.*member); },
            [member](CaptureProfile& p, const std::string& v) {
                if (!is_number_text(v))
                    return false;
                p.*member = text_to_number(v);
                return true;
            }};
}

Field int_field(const char* name, int CaptureProfile::*member) {
    return {name, [member](const CaptureProfile& p) { return std::to_string(p.*member); },
            [member](CaptureProfile& p, const std::string& v) {
                if (!is_number_text(v))
                    return false;
                const double d = text_to_number(v);
                if (d != static_cast<double>(static_cast<long long>(d)) || d < -1e9 || d > 1e9)
                    return false;
                p.*member = static_cast<int>(d);
                return true;
            }};
}

Field flag_field(const char* name, bool CaptureProfile::*member) {
    return {name, [member](const CaptureProfile& p) { return std::string(p.*member ? "1" : "0"); },
            [member](CaptureProfile& p, const std::string& v) {
                if (v != "0" && v != "1")
                    return false;
                p.*member = v == "1";
                return true;
            }};
}

const std::vector<Field>& fields() {
    static const std::vector<Field> all = {
        text_field("device", &CaptureProfile::device),
        int_field("resolution", &CaptureProfile::resolution),
        int_field("color_format", &CaptureProfile::color_format),
        int_field("input", &CaptureProfile::input),
        int_field("channel", &CaptureProfile::channel),
        number_field("frame_rate", &CaptureProfile::frame_rate),
        number_field("time_limit", &CaptureProfile::time_limit),
        int_field("video_compressor", &CaptureProfile::video_compressor),
        int_field("audio_compressor", &CaptureProfile::audio_compressor),
        int_field("audio_device", &CaptureProfile::audio_device),
        int_field("audio_channels", &CaptureProfile::audio_channels),
        int_field("audio_bits", &CaptureProfile::audio_bits),
        int_field("audio_sample_rate", &CaptureProfile::audio_sample_rate),
        flag_field("audio_listen", &CaptureProfile::audio_listen),
        text_field("still_file", &CaptureProfile::still_file),
        text_field("stream_file", &CaptureProfile::stream_file),
        number_field("chroma_factor", &CaptureProfile::chroma_factor),
        number_field("luma_factor", &CaptureProfile::luma_factor),
        flag_field("progressive_jpeg", &CaptureProfile::progressive_jpeg),
        flag_field("auto_save", &CaptureProfile::auto_save),
        flag_field("auto_increment", &CaptureProfile::auto_increment),
        text_field("still_password", &CaptureProfile::still_password),
        number_field("still_interval", &CaptureProfile::still_interval),
        number_field("caption_left", &CaptureProfile::caption_left),
        number_field("caption_top", &CaptureProfile::caption_top),
        text_field("caption_text", &CaptureProfile::caption_text),
        int_field("effect", &CaptureProfile::effect),
    };
    return all;
}

std::string one_line(std::string text) {
    std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
    return text;
}

}  // namespace

std::string capture_profile_text(const CaptureProfile& profile) {
    std::string out = std::string(kCaptureProfileHeader) + "\r\n";
    for (const Field& f : fields())
        out += std::string(f.name) + "=" + one_line(f.write(profile)) + "\r\n";
    return out;
}

bool parse_capture_profile(const std::string& bytes, CaptureProfile* profile, std::string* error) {
    auto fail = [error](const std::string& why) {
        if (error)
            *error = why;
        return false;
    };
    CaptureProfile p;
    std::size_t start = 0;
    int line_number = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        start = end + 1;
        ++line_number;
        if (line_number == 1) {
            if (line != kCaptureProfileHeader)
                return fail("not a capture profile (its first line is not \"" +
                            std::string(kCaptureProfileHeader) + "\")");
            continue;
        }
        if (line.empty())
            continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos)
            return fail("line " + std::to_string(line_number) + " is not name=value");
        const std::string name = line.substr(0, eq);
        const std::string value = line.substr(eq + 1);
        for (const Field& f : fields()) {
            if (name == f.name && !f.read(p, value))
                return fail("line " + std::to_string(line_number) + ": \"" + value +
                            "\" is not a value of " + name);
        }
    }
    if (line_number == 0)
        return fail("the file is empty");
    *profile = p;
    return true;
}

bool save_capture_profile(FileWriter& files, const std::string& path, const CaptureProfile& profile,
                          std::string* error) {
    WriteResult r = files.replace(path, capture_profile_text(profile));
    if (!r) {
        if (error)
            *error = r.error();
        return false;
    }
    return true;
}

bool load_capture_profile(const std::string& path, CaptureProfile* profile, std::string* error) {
    std::string why;
    auto bytes = read_whole_file(path, kSmallTextLimit, &why);
    if (!bytes) {
        if (error)
            *error = why;
        return false;
    }
    if (!parse_capture_profile(*bytes, profile, &why)) {
        if (error)
            *error = path + ": " + why;
        return false;
    }
    return true;
}

}  // namespace rs
