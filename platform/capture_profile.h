#pragma once
// A capture profile: the values a capture device was set to, kept in a small
// text file of the program's own so a set-up can be saved and loaded again.
//
// Layout (lines end CR LF): the first line "RampSight capture profile 1",
// then one "name=value" line per value, in any order. Unknown names are
// passed over (a later program may add values); a value that does not read
// as its kind refuses the whole file, naming the line.

#include <string>

#include "platform/file_writer.h"

namespace rs {

struct CaptureProfile {
    std::string device;  // name of the video device
    int resolution = -1;
    int color_format = -1;
    int input = -1;
    int channel = 0;
    double frame_rate = 30;
    double time_limit = 0;
    int video_compressor = -1;
    int audio_compressor = -1;
    int audio_device = -1;
    int audio_channels = 1;
    int audio_bits = 8;
    int audio_sample_rate = 11025;
    bool audio_listen = false;
    std::string still_file;
    std::string stream_file;
    double chroma_factor = 0;
    double luma_factor = 0;
    bool progressive_jpeg = false;
    bool auto_save = false;
    bool auto_increment = false;
    std::string still_password;
    double still_interval = 0;
    double caption_left = 0;
    double caption_top = 0;
    std::string caption_text;
    int effect = -1;

    bool operator==(const CaptureProfile&) const = default;
};

inline constexpr const char* kCaptureProfileHeader = "RampSight capture profile 1";

// The file's bytes. Text values are written as they are; a value holding a
// line break cannot be kept and is written without it.
std::string capture_profile_text(const CaptureProfile& profile);

// Reads the bytes of a profile file; false and a reason when they are not one.
[[nodiscard]] bool parse_capture_profile(const std::string& bytes, CaptureProfile* profile,
                                         std::string* error);

[[nodiscard]] bool save_capture_profile(FileWriter& files, const std::string& path,
                                        const CaptureProfile& profile, std::string* error);
// Reads the file at path (size-limited); false and "<path>: <reason>".
[[nodiscard]] bool load_capture_profile(const std::string& path, CaptureProfile* profile,
                                        std::string* error);

}  // namespace rs
