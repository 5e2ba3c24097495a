#include "app/logs.h"

#include "platform/file_writer.h"
#include "platform/paths.h"

namespace rs {

DebugLog::DebugLog(FileWriter& files, std::string exchange_folder, const Clock& clock)
    : files_(files), folder_(std::move(exchange_folder)), clock_(clock) {}

std::string DebugLog::path() const {
    return join_path(folder_, "DebugLog.txt");
}

void DebugLog::StartDebugLog() {
    if (!PathExists(folder_, 1))
        return;
    (void)files_.replace(
        path(),
        print_zones({time_text(clock_.now()), "Debug Log Session Started"}) + std::string(kCrLf),
        Flush::No);
}

void DebugLog::WriteDebugLog(const std::string& message) {
    if (!PathExists(folder_, 1))
        return;
    // A technical trace: not worth a disk flush per line.
    (void)files_.append_lines(path(), {print_zones({time_text(clock_.now()), message})}, Flush::No);
}

std::string measurement_log_name(const DateTime& start) {
    return "JumpMeasurementLog" + mmddyy(start) + ".txt";
}

std::string session_header_line(const DateTime& now) {
    return print_zones({date_text(now), time_text(now), "Rampsight Measurement Session started  "});
}

std::string video_log_line(const DateTime& now, const std::string& skier, const std::string& jump,
                           const std::string& frame, const std::string& path) {
    return print_zones({date_text(now), time_text(now), "Skier: " + skier, "Jump: " + jump,
                        "Contact Frame: " + frame, "File: " + path});
}

std::string picture_log_line(const DateTime& now, const std::string& skier, const std::string& jump,
                             const std::string& distance, const std::string& path) {
    return print_zones({date_text(now), time_text(now), "Skier: " + skier, "Jump: " + jump,
                        "Distance: " + distance, "File: " + path});
}

bool append_measurement_log(FileWriter& files, const std::string& video_folder,
                            const std::string& log_name, const std::string& line) {
    if (video_folder.empty())
        return false;
    return files.append_lines(join_path(video_folder, log_name), {line}).ok();
}

}  // namespace rs
