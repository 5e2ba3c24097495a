// Recording from the built-in test source: 10 seconds at 640x480 and
// 1920x1080, 30 and 60 frames per second, into the current folder, with the
// live picture fetched 15 times a second as the capture screen does. Prints
// one figure a line: frames dropped, frames processed, and the processor
// seconds (user and system, all threads) spent per second of video.

#include <QCoreApplication>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/ffmpeg_capture_device.h"

namespace {

double cpu_seconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication qt(argc, argv);
    const double seconds = argc > 1 ? std::stod(argv[1]) : 10;
    struct Case {
        int resolution;  // index in the device's list
        const char* size;
        int fps;
    };
    const Case cases[] = {
        {0, "640x480", 30}, {0, "640x480", 60}, {2, "1920x1080", 30}, {2, "1920x1080", 60}};
    rs::FileWriter files;
    for (const Case& c : cases) {
        rs::FfmpegCaptureOptions options;
        options.list_cameras = false;
        rs::FfmpegCaptureDevice device(files, nullptr, options);
        device.set_resolution(c.resolution);
        device.set_frame_rate(c.fps);
        std::string error;
        if (!device.connect(0, &error)) {
            std::fprintf(stderr, "cannot connect: %s\n", error.c_str());
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        const std::string name = std::string(c.size) + "_" + std::to_string(c.fps);
        device.set_stream_file_name("capture_bench_" + name + ".avi");
        const double cpu0 = cpu_seconds();
        if (!device.start_stream_capture(&error)) {
            std::fprintf(stderr, "cannot record: %s\n", error.c_str());
            return 1;
        }
        const auto end = std::chrono::steady_clock::now() +
                         std::chrono::milliseconds(static_cast<int>(seconds * 1000));
        std::vector<std::uint8_t> bgr;
        while (std::chrono::steady_clock::now() < end) {
            std::int64_t n = 0;
            int w = 0, h = 0;
            (void)device.latest_frame(&n, &w, &h, &bgr);
            std::this_thread::sleep_for(std::chrono::milliseconds(66));
        }
        device.stop_capture();
        const double cpu = cpu_seconds() - cpu0;
        const std::int64_t processed =
            device.frames_processed() - device.frames_processed_at_start();
        std::printf("frames_dropped_%s %lld\n", name.c_str(),
                    static_cast<long long>(device.frames_dropped()));
        std::printf("frames_processed_%s %lld\n", name.c_str(), static_cast<long long>(processed));
        std::printf("cpu_seconds_per_video_second_%s %.3f\n", name.c_str(), cpu / seconds);
        std::fflush(stdout);
    }
    return 0;
}
