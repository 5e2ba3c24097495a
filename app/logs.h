#pragma once
// The debug log (a technical trace in the exchange folder) and the
// measurement log (the operator's record of a day's work in the video
// folder). Neither ever stops the program: a line that cannot be written is
// lost.

#include <string>

#include "core/text_forms.h"
#include "platform/clock.h"
#include "platform/file_writer.h"

namespace rs {

class DebugLog {
  public:
    DebugLog(FileWriter& files, std::string exchange_folder, const Clock& clock);

    // Creates "DebugLog.txt" anew and writes "Debug Log Session Started".
    void StartDebugLog();
    // Appends the time in zone 1 and the message from column 15.
    void WriteDebugLog(const std::string& message);

    std::string path() const;

  private:
    FileWriter& files_;
    std::string folder_;
    const Clock& clock_;
};

// "JumpMeasurementLog" + MM + DD + YY + ".txt", from the start-up date.
std::string measurement_log_name(const DateTime& start);

// date, time, "Rampsight Measurement Session started  " in print zones.
std::string session_header_line(const DateTime& now);

// date, time, "Skier: " + skier, "Jump: " + jump, "Contact Frame: " + frame,
// "File: " + path.
std::string video_log_line(const DateTime& now, const std::string& skier, const std::string& jump,
                           const std::string& frame, const std::string& path);

// date, time, "Skier: " + skier, "Jump: " + jump, "Distance: " + distance,
// "File: " + path.
std::string picture_log_line(const DateTime& now, const std::string& skier, const std::string& jump,
                             const std::string& distance, const std::string& path);

// Appends one line to the measurement log in the video folder; false when it
// could not be written (the caller goes on).
bool append_measurement_log(FileWriter& files, const std::string& video_folder,
                            const std::string& log_name, const std::string& line);

}  // namespace rs
