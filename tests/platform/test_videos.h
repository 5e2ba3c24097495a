#pragma once
// Small videos made by the tests with the ffmpeg program, each frame marked
// with its own number so the number can be read back from the decoded
// pixels: a row of 16 black or white blocks across the top (most significant
// bit first), large enough to survive lossy coding, over a picture that moves
// so that long-GOP encoders predict rather than repeat.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "platform/video_file.h"

namespace rs::test {

inline constexpr int kMarkBits = 16;

struct VideoRecipe {
    std::string name;        // for test names
    std::string container;   // file extension: "avi", "mp4"
    std::string codec_args;  // ffmpeg output options
    int width = 320;
    int height = 240;
    std::string rate = "30";
    int frames = 40;
    std::string filter;  // an optional -vf filter (e.g. dropping a frame)
};

// The name the frame selection screen's tests know it by.
using VideoSpec = VideoRecipe;

// gtest names a video by its name rather than dumping its bytes.
inline void PrintTo(const VideoRecipe& recipe, std::ostream* os) {
    *os << recipe.name;
}

inline std::vector<std::uint8_t> marked_frame(int n, int width, int height) {
    std::vector<std::uint8_t> bgr(static_cast<size_t>(width) * height * 3);
    const int block = width / kMarkBits;
    const int mark_height = height / 4;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* px = &bgr[(static_cast<size_t>(y) * width + x) * 3];
            if (y < mark_height) {
                int bit = kMarkBits - 1 - std::min(x / block, kMarkBits - 1);
                std::uint8_t v = ((n >> bit) & 1) ? 255 : 0;
                px[0] = px[1] = px[2] = v;
            } else {
                px[0] = static_cast<std::uint8_t>((x + n * 3) & 0xff);
                px[1] = static_cast<std::uint8_t>((y * 2 + n) & 0xff);
                px[2] = static_cast<std::uint8_t>(((x ^ y) + n * 5) & 0xff);
            }
        }
    }
    return bgr;
}

// The number marked on a decoded picture; -1 when the marks cannot be read.
inline int read_mark(const Picture24& pic) {
    if (pic.width <= 0 || pic.height <= 0)
        return -1;
    const int block = pic.width / kMarkBits;
    const int y = pic.height / 8;
    int n = 0;
    for (int b = 0; b < kMarkBits; ++b) {
        const std::uint8_t* px = pic.row(y) + (b * block + block / 2) * 3;
        int v = (px[0] + px[1] + px[2]) / 3;
        if (v > 80 && v < 175)
            return -1;
        n = (n << 1) | (v >= 175 ? 1 : 0);
    }
    return n;
}

// Whether the ffmpeg program offers the encoder. Asked once per name and
// process: the test lists ask it while they are built, before any test runs.
inline bool have_encoder(const std::string& name) {
    static std::map<std::string, bool> known;
    auto it = known.find(name);
    if (it == known.end()) {
        std::string cmd = "ffmpeg -hide_banner -encoders 2>/dev/null | grep -q ' " + name + " '";
        it = known.emplace(name, std::system(cmd.c_str()) == 0).first;
    }
    return it->second;
}

// Writes the video to path; false when ffmpeg failed.
inline bool make_video(const VideoRecipe& recipe, const std::string& path) {
    std::string cmd = "ffmpeg -hide_banner -loglevel error -y -f rawvideo -pix_fmt bgr24 -s " +
                      std::to_string(recipe.width) + "x" + std::to_string(recipe.height) + " -r " +
                      recipe.rate + " -i - ";
    if (!recipe.filter.empty())
        cmd += "-vf \"" + recipe.filter + "\" -fps_mode passthrough ";
    cmd += recipe.codec_args + " '" + path + "'";
    FILE* pipe = popen(cmd.c_str(), "w");
    if (!pipe)
        return false;
    bool ok = true;
    for (int n = 0; n < recipe.frames && ok; ++n) {
        auto frame = marked_frame(n, recipe.width, recipe.height);
        ok = std::fwrite(frame.data(), 1, frame.size(), pipe) == frame.size();
    }
    return pclose(pipe) == 0 && ok;
}

// The long-GOP codec with B-frames this machine's ffmpeg offers.
inline std::string long_gop_args(int gop) {
    if (have_encoder("libx264")) {
        return "-c:v libx264 -preset veryfast -crf 12 -bf 3 -pix_fmt yuv420p -x264-params "
               "keyint=" +
               std::to_string(gop) + ":min-keyint=" + std::to_string(gop) + ":scenecut=0";
    }
    return "-c:v mpeg4 -q:v 2 -bf 2 -g " + std::to_string(gop) + " -flags +cgop";
}

}  // namespace rs::test
