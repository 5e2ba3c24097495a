#pragma once
// AVI files the ffmpeg tool's AVI writer cannot make, written here from
// pictures it encodes, each frame marked with its number (test_videos.h):
//  - DV type 1: one interleaved audio and video stream ("iavs", handler
//    "dvsd", a DVINFO format), its chunks the DIF frames of a DV stream, as
//    DV capture programs record a camcorder;
//  - interlaced MJPEG as analogue capture cards record it: each chunk holds
//    the two fields of a frame, each a JPEG picture of half the height with
//    an "AVI1" APP0 marker and no Huffman tables of its own.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/platform/avi_edit.h"
#include "tests/platform/test_videos.h"
#include "tests/support/temp_dir.h"

namespace rs::test {

inline std::string be16_bytes(std::uint16_t v) {
    return std::string{static_cast<char>(v >> 8), static_cast<char>(v & 0xff)};
}

inline std::string be32_bytes(std::uint32_t v) {
    return be16_bytes(static_cast<std::uint16_t>(v >> 16)) +
           be16_bytes(static_cast<std::uint16_t>(v & 0xffff));
}

// What a single-stream AVI holds: its one stream's header values and
// format, and one chunk a frame.
struct OneStreamAvi {
    std::string type = "vids";  // strh fccType
    std::string handler;        // strh fccHandler
    std::string format;         // strf data
    std::uint32_t scale = 1;
    std::uint32_t rate = 25;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::string chunk_id = "00dc";
    std::vector<std::string> chunks;
};

// The file: main header, the stream list, the movie list and an idx1 index
// with every chunk a key frame.
inline std::string one_stream_avi(const OneStreamAvi& a) {
    const auto frames = static_cast<std::uint32_t>(a.chunks.size());
    std::uint32_t largest = 0;
    for (const std::string& c : a.chunks)
        largest = std::max(largest, static_cast<std::uint32_t>(c.size()));
    const auto micro = static_cast<std::uint32_t>(1000000ull * a.scale / a.rate);
    std::string avih = le32_bytes(micro) + le32_bytes(largest * a.rate / a.scale) + le32_bytes(0) +
                       le32_bytes(0x10 | 0x100) + le32_bytes(frames) + le32_bytes(0) +
                       le32_bytes(1) + le32_bytes(largest) + le32_bytes(a.width) +
                       le32_bytes(a.height) + std::string(16, '\0');
    std::string strh = a.type + a.handler + le32_bytes(0) + le16_bytes(0) + le16_bytes(0) +
                       le32_bytes(0) + le32_bytes(a.scale) + le32_bytes(a.rate) + le32_bytes(0) +
                       le32_bytes(frames) + le32_bytes(largest) + le32_bytes(0xffffffff) +
                       le32_bytes(0) + le16_bytes(0) + le16_bytes(0) +
                       le16_bytes(static_cast<std::uint16_t>(a.width)) +
                       le16_bytes(static_cast<std::uint16_t>(a.height));
    const std::string hdrl = riff_list(
        "hdrl", riff_chunk("avih", avih) +
                    riff_list("strl", riff_chunk("strh", strh) + riff_chunk("strf", a.format)));
    std::string movi = "movi";
    std::string index;
    for (const std::string& c : a.chunks) {
        index += a.chunk_id + le32_bytes(kAviKeyFlag) +
                 le32_bytes(static_cast<std::uint32_t>(movi.size())) +
                 le32_bytes(static_cast<std::uint32_t>(c.size()));
        movi += riff_chunk(a.chunk_id, c);
    }
    return riff_avi(hdrl + riff_chunk("LIST", movi) + riff_chunk("idx1", index));
}

// --- DV type 1 -----------------------------------------------------------------

// A DV type 1 AVI of frames marked 0 to frames - 1, NTSC (720 x 480 at
// 30000/1001, 4:1:1) or PAL (720 x 576 at 25, 4:2:0), with stereo sound in
// the DIF frames as a camcorder records it. False when ffmpeg failed.
inline bool make_dv_type1_avi(const std::string& path, int frames, bool ntsc) {
    TempDir work;
    const std::string dv = work.file("frames.dv");
    VideoRecipe recipe{"dv",
                       "dv",
                       "-f lavfi -i sine=frequency=440:sample_rate=48000 -shortest -c:v dvvideo "
                       "-pix_fmt " +
                           std::string(ntsc ? "yuv411p" : "yuv420p") +
                           " -c:a pcm_s16le -ac 2 -ar 48000 -f dv",
                       720,
                       ntsc ? 480 : 576,
                       ntsc ? "30000/1001" : "25",
                       frames,
                       ""};
    if (!make_video(recipe, dv))
        return false;
    const std::string stream = slurp(dv);
    // A DIF frame: 10 (NTSC) or 12 (PAL) sequences of 150 blocks of 80 bytes.
    const size_t frame_bytes = ntsc ? 120000 : 144000;
    if (stream.size() != frame_bytes * static_cast<size_t>(frames))
        return false;
    OneStreamAvi avi;
    avi.type = "iavs";
    avi.handler = "dvsd";
    // DVINFO: the audio and video source and control packs; DV readers
    // take what they need from the DIF frames themselves.
    avi.format = std::string(32, '\0');
    avi.scale = ntsc ? 1001 : 1;
    avi.rate = ntsc ? 30000 : 25;
    avi.width = 720;
    avi.height = ntsc ? 480 : 576;
    for (int n = 0; n < frames; ++n)
        avi.chunks.push_back(stream.substr(frame_bytes * static_cast<size_t>(n), frame_bytes));
    spit(path, one_stream_avi(avi));
    return true;
}

// --- Interlaced MJPEG, a field pair a chunk -------------------------------------

// Rows of the band that tells the fields apart: the top field's rows (even
// rows of the frame) are white there, the bottom field's black. A decoder
// that put the fields in the wrong order, or showed one field stretched,
// shows no such stripes.
inline int field_band_top(int height) {
    return height / 2;
}
inline int field_band_bottom(int height) {
    return height / 2 + height / 8;
}

inline std::vector<std::uint8_t> field_marked_frame(int n, int width, int height) {
    std::vector<std::uint8_t> bgr = marked_frame(n, width, height);
    for (int y = field_band_top(height); y < field_band_bottom(height); ++y) {
        const std::uint8_t v = y % 2 == 0 ? 255 : 0;
        std::fill(bgr.begin() + static_cast<std::ptrdiff_t>(y) * width * 3,
                  bgr.begin() + static_cast<std::ptrdiff_t>(y + 1) * width * 3, v);
    }
    return bgr;
}

// True when the band of the picture holds white top-field rows and black
// bottom-field rows, as field_marked_frame drew them.
inline bool fields_in_place(const Picture24& pic) {
    const int width = pic.width;
    for (int y = field_band_top(pic.height) + 2; y < field_band_bottom(pic.height) - 2; ++y) {
        long sum = 0;
        for (int x = 0; x < width * 3; ++x)
            sum += pic.row(y)[x];
        const long mean = sum / (width * 3);
        if (y % 2 == 0 ? mean < 200 : mean > 55)
            return false;
    }
    return true;
}

// The JPEG pictures of a stream of them, one after another: each from its
// start marker through its end marker, found by walking its segments and
// then the coded data (where a 0xFF byte is followed by 0x00 or a restart
// marker).
inline std::vector<std::string> split_jpegs(const std::string& s) {
    std::vector<std::string> out;
    auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    size_t at = 0;
    while (at + 4 <= s.size() && byte(at) == 0xFF && byte(at + 1) == 0xD8) {
        size_t i = at + 2;
        bool ended = false;
        while (i + 4 <= s.size() && !ended) {
            if (byte(i) != 0xFF)
                return out;
            const unsigned marker = byte(i + 1);
            const size_t length = (static_cast<size_t>(byte(i + 2)) << 8) | byte(i + 3);
            i += 2 + length;
            if (marker != 0xDA)
                continue;
            // Coded data up to the end marker.
            while (i + 1 < s.size()) {
                if (byte(i) == 0xFF && byte(i + 1) != 0x00 &&
                    !(byte(i + 1) >= 0xD0 && byte(i + 1) <= 0xD7)) {
                    if (byte(i + 1) == 0xD9) {
                        i += 2;
                        ended = true;
                    }
                    break;
                }
                ++i;
            }
        }
        if (!ended)
            return out;
        out.push_back(s.substr(at, i - at));
        at = i;
    }
    return out;
}

// A field as a capture card stores it: the "AVI1" APP0 marker (its
// polarity byte: 1 for the first field of a frame, 2 for the second, then
// the field's size twice) in place of JFIF, and no Huffman tables (readers
// use the standard ones).
inline std::string as_capture_field(const std::string& jpeg, int polarity) {
    std::string segments;
    size_t i = 2;
    auto byte = [&](size_t k) { return static_cast<unsigned char>(jpeg[k]); };
    while (i + 4 <= jpeg.size() && byte(i + 1) != 0xDA) {
        const size_t length = (static_cast<size_t>(byte(i + 2)) << 8) | byte(i + 3);
        const unsigned marker = byte(i + 1);
        if (marker != 0xE0 && marker != 0xC4)  // JFIF, Huffman tables
            segments += jpeg.substr(i, 2 + length);
        i += 2 + length;
    }
    const std::string rest = jpeg.substr(i);
    const auto size = static_cast<std::uint32_t>(2 + 18 + segments.size() + rest.size());
    const std::string app0 = std::string("\xFF\xE0", 2) + be16_bytes(16) + "AVI1" +
                             static_cast<char>(polarity) + '\0' + be32_bytes(size) +
                             be32_bytes(size);
    return std::string("\xFF\xD8", 2) + app0 + segments + rest;
}

// An interlaced MJPEG AVI of frames marked 0 to frames - 1 (and the field
// band) at width x height, the bottom field (odd rows) first: FFmpeg's MJPEG
// decoder puts the first field of an "MJPG" chunk there when the file says
// nothing else (it reads no field order from the "AVI1" marker). False when
// ffmpeg failed.
inline bool make_field_mjpeg_avi(const std::string& path, int frames, int width, int height,
                                 const std::string& rate) {
    TempDir work;
    const std::string fields_path = work.file("fields.mjpeg");
    const int field_height = height / 2;
    const std::string cmd =
        "ffmpeg -hide_banner -loglevel error -y -f rawvideo -pix_fmt bgr24 -s " +
        std::to_string(width) + "x" + std::to_string(field_height) +
        " -r 50 -i - -c:v mjpeg -q:v 3 -huffman default -pix_fmt yuvj422p -f mjpeg '" +
        fields_path + "'";
    FILE* pipe = popen(cmd.c_str(), "w");
    if (!pipe)
        return false;
    bool ok = true;
    const size_t row = static_cast<size_t>(width) * 3;
    for (int n = 0; n < frames && ok; ++n) {
        const auto frame = field_marked_frame(n, width, height);
        for (int parity = 1; parity >= 0 && ok; --parity) {
            for (int y = parity; y < height && ok; y += 2)
                ok = std::fwrite(frame.data() + row * static_cast<size_t>(y), 1, row, pipe) == row;
        }
    }
    if (pclose(pipe) != 0 || !ok)
        return false;
    const std::vector<std::string> fields = split_jpegs(slurp(fields_path));
    if (fields.size() != static_cast<size_t>(frames) * 2)
        return false;
    OneStreamAvi avi;
    avi.handler = "MJPG";
    avi.format = le32_bytes(40) + le32_bytes(static_cast<std::uint32_t>(width)) +
                 le32_bytes(static_cast<std::uint32_t>(height)) + le16_bytes(1) + le16_bytes(24) +
                 "MJPG" + le32_bytes(static_cast<std::uint32_t>(width * height * 3)) +
                 std::string(16, '\0');
    const size_t slash = rate.find('/');
    avi.rate = static_cast<std::uint32_t>(std::stoul(rate.substr(0, slash)));
    avi.scale = slash == std::string::npos
                    ? 1
                    : static_cast<std::uint32_t>(std::stoul(rate.substr(slash + 1)));
    avi.width = static_cast<std::uint32_t>(width);
    avi.height = static_cast<std::uint32_t>(height);
    for (int n = 0; n < frames; ++n) {
        avi.chunks.push_back(as_capture_field(fields[static_cast<size_t>(2 * n)], 1) +
                             as_capture_field(fields[static_cast<size_t>(2 * n + 1)], 2));
    }
    spit(path, one_stream_avi(avi));
    return true;
}

}  // namespace rs::test
