#include "app/logs.h"

#include <fstream>

#include "app/paths.h"
#include "app/text_file.h"

namespace rs {

DebugLog::DebugLog(std::string exchange_folder, const Clock& clock)
    : folder_(std::move(exchange_folder)), clock_(clock) {}

std::string DebugLog::path() const {
    return join_path(folder_, "DebugLog.txt");
}

void DebugLog::StartDebugLog() {
    if (!PathExists(folder_, 1))
        return;
    std::ofstream out(path(), std::ios::binary | std::ios::trunc);
    if (!out)
        return;
    out << print_zones({time_text(clock_.now()), "Debug Log Session Started"}) << kCrLf;
}

void DebugLog::WriteDebugLog(const std::string& message) {
    if (!PathExists(folder_, 1))
        return;
    std::ofstream out(path(), std::ios::binary | std::ios::app);
    if (!out)
        return;
    out << print_zones({time_text(clock_.now()), message}) << kCrLf;
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

bool append_measurement_log(const std::string& video_folder, const std::string& log_name,
                            const std::string& line) {
    if (video_folder.empty())
        return false;
    return append_lines(join_path(video_folder, log_name), {line});
}

}  // namespace rs
