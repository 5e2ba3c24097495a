#pragma once
// Extraction of one frame of a video to a 24-bit BMP file: the picture the
// measurement and grid set-up screens load as "currentcapture.bmp".

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/logs.h"
#include "platform/dialogs.h"
#include "platform/file_writer.h"
#include "platform/video_file.h"

namespace rs {

inline constexpr const char* kCurrentCaptureName = "currentcapture.bmp";

// Opens a video for reading: open_video_file in the program, a stand-in in
// tests.
using VideoOpener =
    std::function<std::unique_ptr<VideoFile>(const std::string& path, std::string* error)>;

enum class ExtractOutcome {
    Written,      // the file now holds the frame
    CannotOpen,   // the video cannot be opened or read as a video
    NoDecoder,    // the video's stream can be read but no decoder takes it
    BeyondEnd,    // no such frame: past the last one (or before the first)
    NoFrame,      // the frame exists but could not be decoded to 24 bits
    Refused,      // the decoded frame is not a picture the bitmap takes
    WriteFailed,  // the bitmap file could not be written
};

// Writes frame n (0-based, presentation order) of the video to out_path
// without any message. Nothing is written unless the outcome is Written, so
// an earlier file at out_path stays as it was. detail, when given, receives
// the decoder's or the file system's words for a failure.
ExtractOutcome extract_frame_to_bmp(FileWriter& files, const std::string& video_path,
                                    std::int64_t n, const std::string& out_path,
                                    const VideoOpener& open_video, std::string* detail = nullptr);

// Writes a picture already decoded (the one on screen) to out_path as a
// 24-bit BMP, with the outcomes above (Written, Refused, WriteFailed).
ExtractOutcome write_picture_to_bmp(FileWriter& files, const Picture24& picture,
                                    const std::string& out_path, std::string* detail = nullptr);

// Writes the picture shown of frame frame_number of the video to
// "currentcapture.bmp" in the application folder, with the messages of
// ExtractFrameToBitmap for a failure: what is measured is what was seen,
// without decoding it again.
ExtractOutcome TakePictureToBitmap(const Picture24& picture, const std::string& video_path,
                                   std::int64_t frame_number, const std::string& app_folder,
                                   FileWriter& files, Dialogs& dialogs, DebugLog* debug_log);

// Extracts the current frame of the current video (both set by the frame
// selection screen) to "currentcapture.bmp" in the application folder.
// Failures are told to the operator (information messages) and written to
// the debug log when one is given; the outcome is returned for the screen.
ExtractOutcome ExtractFrameToBitmap(const std::string& video_path, std::int64_t frame_number,
                                    const std::string& app_folder, FileWriter& files,
                                    Dialogs& dialogs, DebugLog* debug_log,
                                    const VideoOpener& open_video);

}  // namespace rs
