// Frame stepping as the operator does it: one step every 100 ms (the frame
// selection screen's key poll) while an arrow key is held, forwards and then
// backwards across several groups of pictures; a cold seek to a random
// frame; the extraction of a frame to a BMP file by opening and decoding
// the video (open, decode, write); and the take of the frame on the screen
// after a run of steps, which writes the picture already decoded.
//
//   frame_step_bench VIDEO [--steps N] [--pace-ms MS] [--seeks N]
//
// Prints one figure a line, "name value", times in milliseconds:
//   open_ms, forward_step_median_ms, forward_step_p99_ms,
//   backward_step_median_ms, backward_step_p99_ms, cold_seek_median_ms,
//   cold_seek_p99_ms, extract_median_ms, extract_p99_ms, take_displayed_p50_ms,
//   take_displayed_p99_ms
// A step is the time from asking for the next frame to holding its picture.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/ffmpeg_video_file.h"
#include "video/frame_extraction.h"

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double percentile(std::vector<double> v, double p) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    auto rank = static_cast<size_t>(std::ceil(p * static_cast<double>(v.size())));
    return v[std::clamp<size_t>(rank, 1, v.size()) - 1];
}

void report(const std::string& name, const std::vector<double>& times) {
    std::printf("%s_median_ms %.2f\n", name.c_str(), percentile(times, 0.5));
    std::printf("%s_p99_ms %.2f\n", name.c_str(), percentile(times, 0.99));
}

[[noreturn]] void usage() {
    std::fprintf(stderr, "usage: frame_step_bench VIDEO [--steps N] [--pace-ms MS] [--seeks N]\n");
    std::exit(2);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        usage();
    const std::string path = argv[1];
    int steps = 200;
    int pace_ms = 100;
    int seeks = 30;
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        if (i + 1 >= argc)
            usage();
        if (arg == "--steps") {
            steps = std::atoi(argv[++i]);
        } else if (arg == "--pace-ms") {
            pace_ms = std::atoi(argv[++i]);
        } else if (arg == "--seeks") {
            seeks = std::atoi(argv[++i]);
        } else {
            usage();
        }
    }
    const auto pace = std::chrono::milliseconds(pace_ms);
    // RS_BENCH_TRACE=MS names every step slower than MS milliseconds on stderr.
    const bool trace = std::getenv("RS_BENCH_TRACE") != nullptr;
    const double trace_ms = trace ? std::atof(std::getenv("RS_BENCH_TRACE")) : 0;

    std::string error;
    auto start = Clock::now();
    auto video = rs::VideoFile::open(path, &error);
    const double open_ms = ms_since(start);
    if (!video) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const std::int64_t count = video->frame_count();
    std::printf("frames %lld\n", static_cast<long long>(count));
    std::printf("open_ms %.2f\n", open_ms);
    if (count < 3) {
        std::fprintf(stderr, "%s is too short to step through\n", path.c_str());
        return 1;
    }
    steps = static_cast<int>(std::min<std::int64_t>(steps, count - 1));

    // Where the operator starts: far enough in that the walk back crosses
    // as many groups as the walk forward.
    std::int64_t n = std::max<std::int64_t>(0, (count - 1 - steps) / 2);
    auto step_to = [&](std::int64_t to, std::vector<double>& times) {
        auto next = Clock::now() + pace;
        auto t = Clock::now();
        rs::FramePtr pic = video->frame(to, &error);
        times.push_back(ms_since(t));
        if (trace && times.back() > trace_ms) {
            std::fprintf(stderr, "slow step to %lld: %.1f ms\n", static_cast<long long>(to),
                         times.back());
        }
        if (!pic) {
            std::fprintf(stderr, "frame %lld: %s\n", static_cast<long long>(to), error.c_str());
            std::exit(1);
        }
        std::this_thread::sleep_until(next);
    };
    std::vector<double> first;
    step_to(n, first);  // the jump to the start is a cold seek, not a step
    // The operator looks at the picture before holding the key down.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    std::vector<double> forward;
    for (int i = 0; i < steps; ++i)
        step_to(++n, forward);
    std::vector<double> backward;
    for (int i = 0; i < steps; ++i)
        step_to(--n, backward);
    report("forward_step", forward);
    report("backward_step", backward);

    std::mt19937_64 rng(12345);
    std::uniform_int_distribution<std::int64_t> any(0, count - 1);
    std::vector<double> cold;
    for (int i = 0; i < seeks; ++i) {
        // A fresh file each time: nothing cached, the decoder not positioned.
        auto fresh = rs::VideoFile::open(path, &error);
        if (!fresh)
            return 1;
        std::int64_t to = any(rng);
        auto t = Clock::now();
        if (!fresh->frame(to, &error)) {
            std::fprintf(stderr, "frame %lld: %s\n", static_cast<long long>(to), error.c_str());
            return 1;
        }
        cold.push_back(ms_since(t));
    }
    report("cold_seek", cold);

    const std::string out =
        (std::filesystem::temp_directory_path() / "frame_step_bench_extract.bmp").string();
    std::vector<double> extract;
    rs::FileWriter files;
    for (int i = 0; i < seeks; ++i) {
        std::int64_t to = any(rng);
        auto t = Clock::now();
        auto outcome = rs::extract_frame_to_bmp(files, path, to, out, rs::open_video_file, &error);
        extract.push_back(ms_since(t));
        if (outcome != rs::ExtractOutcome::Written) {
            std::fprintf(stderr, "extract %lld: %s\n", static_cast<long long>(to), error.c_str());
            return 1;
        }
    }
    report("extract", extract);

    // The take: the operator steps a few frames from somewhere and clicks
    // on the picture shown; it is written as it is.
    std::vector<double> take;
    for (int i = 0; i < seeks; ++i) {
        std::int64_t at = std::min<std::int64_t>(any(rng), count - 6);
        rs::FramePtr shown;
        for (int s = 0; s < 5; ++s) {
            shown = video->frame(at + s, &error);
            if (!shown) {
                std::fprintf(stderr, "frame %lld: %s\n", static_cast<long long>(at + s),
                             error.c_str());
                return 1;
            }
        }
        auto t = Clock::now();
        auto outcome = rs::write_picture_to_bmp(files, *shown, out, &error);
        take.push_back(ms_since(t));
        if (outcome != rs::ExtractOutcome::Written) {
            std::fprintf(stderr, "take: %s\n", error.c_str());
            return 1;
        }
    }
    std::filesystem::remove(out);
    std::printf("take_displayed_p50_ms %.2f\n", percentile(take, 0.5));
    std::printf("take_displayed_p99_ms %.2f\n", percentile(take, 0.99));
    return 0;
}
