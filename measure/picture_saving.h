#pragma once
// Keeping what was measured: the still picture saved into the video folder
// under the skier's name and jump number (with its ".info" file, a results
// line and a measurement log line), the picture and video policies applied
// when the operator leaves the measurement screen or goes on to the next
// jump, and the measurement log entry of a kept video with its ".info" file.
//
// A skier name or jump number never makes a path outside the video folder,
// and "currentcapture.bmp" never leaves the application folder: the picture
// file is written beside its final name and renamed into place, so a failed
// save leaves every earlier file as it was.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "measure/measure_form.h"

namespace rs {

inline constexpr const char* kCaptureFile = "currentcapture.bmp";
inline constexpr const char* kPictureExtension = ".bmp";

// Characters a skier name or jump number may not bring into a file name:
// separators, ":", "*", "?", '"', "<", ">", "|" and control characters;
// "." and ".." are no names either.
bool is_safe_file_name(std::string_view name);
// The name with each such character replaced by "_".
std::string safe_file_name(std::string_view name);

// video folder + separator + skier + "jump" + trimmed jump number +
// extension; nothing when the name made is not a safe file name.
std::optional<std::string> picture_path(const std::string& video_folder, const std::string& skier,
                                        const std::string& jump_number,
                                        const std::string& extension = kPictureExtension);

// The operator's answer in the rename box as a path in the video folder: a
// bare name is put in the folder, a path is taken when its folder is the
// video folder. Nothing for a path elsewhere or an unsafe name.
std::optional<std::string> picture_path_in_folder(const std::string& video_folder,
                                                  const std::string& answer);

// The picture shown on the screen, as a file to copy or as BMP bytes.
struct PictureSource {
    std::string path;
    std::string bytes;
};
// Asked only when a picture is saved (encoding the shown picture costs).
using PictureSourceFn = std::function<std::optional<PictureSource>()>;

struct SavedPicture {
    std::string path;
    std::string info_path;
};

// "&Save Picture": the path, the overwrite question and the rename loop, the
// picture written, the results line, the ".info" file and the measurement
// log line. Nothing when the operator cancels the rename or the picture
// cannot be written (the operator is told).
std::optional<SavedPicture> save_picture(MeasureContext& ctx, const PictureSourceFn& source);

// With the picture from frame selection: "Save" saves it, "Ask" asks, and
// "NoSave" does nothing.
void apply_picture_policy(MeasureContext& ctx, const PictureSourceFn& source);

// "Return to &Main Screen": the picture policy, then the navigation state is
// emptied. The screen then clears itself and shows the main screen.
void leave_to_main(MeasureContext& ctx, const PictureSourceFn& source);

// "C&apture Next Jump": the picture questions or policy, then the video
// policy for the video whose frame was measured. False when the operator
// chose to stay on the screen; otherwise the navigation state is "Measure"
// and the screen goes on to the capture screen.
bool go_to_next_jump(MeasureContext& ctx, const PictureSourceFn& source);

// The video policy ("VideoSave") for the current video: erased, or kept with
// its log entry.
void apply_video_policy(MeasureContext& ctx);

// The measurement log line and ".info" file of a kept video whose name holds
// "jump"; any other name gets only the warning. True when both were written.
bool video_log_entry(MeasureContext& ctx);

inline constexpr const char* kNotStandardVideo =
    "Warning, this is not a  standard ZPR file so it will not be saved in the Log for future "
    "reference";

}  // namespace rs
