#pragma once
// Builders for AVI files in tests (header only: the video and the
// command-line suites both use them): RIFF chunks written by hand, so a test
// can make any header it needs (truncated, oversized, hostile), and real
// videos made with the ffmpeg command-line tool when it is installed.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace rs::test {

inline std::string le32_bytes(std::uint32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[i] = static_cast<char>((v >> (8 * i)) & 0xff);
    return s;
}

inline std::string le16_bytes(std::uint16_t v) {
    return std::string{static_cast<char>(v & 0xff), static_cast<char>(v >> 8)};
}

// id + size + data, padded to an even length.
inline std::string riff_chunk(const std::string& id, const std::string& data) {
    std::string s = id + le32_bytes(static_cast<std::uint32_t>(data.size())) + data;
    if (data.size() % 2)
        s.push_back('\0');
    return s;
}

inline std::string riff_list(const std::string& type, const std::string& children) {
    return riff_chunk("LIST", type + children);
}

inline std::string avih_chunk(std::uint32_t flags, std::uint32_t total_frames, std::uint32_t width,
                              std::uint32_t height, std::uint32_t streams = 1) {
    std::string d = le32_bytes(33367) + le32_bytes(0) + le32_bytes(0) + le32_bytes(flags) +
                    le32_bytes(total_frames) + le32_bytes(0) + le32_bytes(streams) + le32_bytes(0) +
                    le32_bytes(width) + le32_bytes(height) + std::string(16, '\0');
    return riff_chunk("avih", d);
}

inline std::string strh_chunk(const std::string& type, const std::string& handler,
                              std::uint32_t scale, std::uint32_t rate, std::uint32_t length) {
    std::string d = type + handler + le32_bytes(0) + le16_bytes(0) + le16_bytes(0) + le32_bytes(0) +
                    le32_bytes(scale) + le32_bytes(rate) + le32_bytes(0) + le32_bytes(length) +
                    le32_bytes(0) + le32_bytes(0xffffffff) + le32_bytes(0) + std::string(8, '\0');
    return riff_chunk("strh", d);
}

// A BITMAPINFOHEADER; compression as a FourCC ("MJPG") or four NULs for
// plain pixels.
inline std::string strf_video_chunk(std::uint32_t width, std::uint32_t height,
                                    const std::string& compression) {
    std::string d = le32_bytes(40) + le32_bytes(width) + le32_bytes(height) + le16_bytes(1) +
                    le16_bytes(24) + compression + le32_bytes(width * height * 3) +
                    std::string(16, '\0');
    return riff_chunk("strf", d);
}

// One legacy index entry.
inline std::string idx1_entry(const std::string& id, std::uint32_t flags) {
    return id + le32_bytes(flags) + le32_bytes(4) + le32_bytes(0);
}

// "RIFF" size "AVI " body.
inline std::string riff_avi(const std::string& body) {
    return "RIFF" + le32_bytes(static_cast<std::uint32_t>(body.size() + 4)) + "AVI " + body;
}

struct AviSpec {
    std::uint32_t flags = 0x10 | 0x100;  // has index, interleaved
    std::uint32_t total_frames = 100;
    std::uint32_t width = 640;
    std::uint32_t height = 480;
    std::string handler = "MJPG";
    std::string compression = "MJPG";
    std::uint32_t scale = 1001;
    std::uint32_t rate = 30000;
    std::uint32_t length = 100;
    bool audio_first = false;  // an audio stream before the video stream
    std::string index;         // idx1 entries; no idx1 chunk when empty
};

// A complete small AVI file by the layout.
inline std::string build_avi(const AviSpec& s) {
    std::string streams;
    if (s.audio_first) {
        streams += riff_list("strl", strh_chunk("auds", std::string(4, '\0'), 1, 44100, 441000) +
                                         riff_chunk("strf", std::string(18, '\0')));
    }
    streams += riff_list("strl", strh_chunk("vids", s.handler, s.scale, s.rate, s.length) +
                                     strf_video_chunk(s.width, s.height, s.compression));
    std::string hdrl = riff_list(
        "hdrl",
        avih_chunk(s.flags, s.total_frames, s.width, s.height, s.audio_first ? 2 : 1) + streams);
    std::string body = hdrl + riff_list("movi", riff_chunk("00dc", "abc"));
    if (!s.index.empty())
        body += riff_chunk("idx1", s.index);
    return riff_avi(body);
}

// Makes a video with the ffmpeg tool (lavfi test source); false when the
// tool is missing or fails. codec_args such as "-c:v mjpeg".
inline bool make_video_with_ffmpeg(const std::string& path, int frames, const std::string& rate,
                                   const std::string& size, const std::string& codec_args) {
    if (!std::filesystem::exists("/usr/bin/ffmpeg"))
        return false;
    std::string cmd =
        "/usr/bin/ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc=size=" + size +
        ":rate=" + rate + " -frames:v " + std::to_string(frames) + " " + codec_args + " '" + path +
        "'";
    return std::system(cmd.c_str()) == 0 && std::filesystem::exists(path);
}

// A video whose frame n is one flat colour: red = 8n, green = 255 - 8n,
// blue = 128, so the index can be read back from any pixel after lossy
// coding (up to 32 frames). False when the ffmpeg tool is missing or fails.
inline bool make_marked_video(const std::string& path, int frames, const std::string& codec_args,
                              const std::string& size = "64x48") {
    if (!std::filesystem::exists("/usr/bin/ffmpeg"))
        return false;
    std::string cmd =
        "/usr/bin/ffmpeg -nostdin -loglevel error -y -f lavfi -i \"color=c=black:s=" + size +
        ":r=25,format=rgb24,geq=r='N*8':g='255-N*8':b='128'\" -frames:v " + std::to_string(frames) +
        " " + codec_args + " '" + path + "'";
    return std::system(cmd.c_str()) == 0 && std::filesystem::exists(path);
}

// The frame index a pixel of a marked video shows (red, green), or -1 when
// the colour is not one of the marks.
inline int marked_frame(int red, int green) {
    const int n = (red + 4) / 8;
    const bool fits = std::abs(red - 8 * n) <= 3 && std::abs(green - (255 - 8 * n)) <= 3;
    return fits ? n : -1;
}

}  // namespace rs::test
