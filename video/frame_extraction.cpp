#include "video/frame_extraction.h"

#include <cerrno>
#include <cstring>

#include "core/text_forms.h"
#include "platform/paths.h"
#include "video/dib.h"

namespace rs {

ExtractOutcome extract_frame_to_bmp(FileWriter& files, const std::string& video_path,
                                    std::int64_t n, const std::string& out_path,
                                    const VideoOpener& open_video, std::string* detail) {
    std::string error;
    auto fail = [&](ExtractOutcome outcome) {
        if (detail)
            *detail = error;
        return outcome;
    };
    std::unique_ptr<VideoFile> video = open_video ? open_video(video_path, &error) : nullptr;
    if (!video) {
        if (error.empty())
            error = "cannot open " + video_path;
        return fail(error.find(kNoDecoderText) != std::string::npos ? ExtractOutcome::NoDecoder
                                                                    : ExtractOutcome::CannotOpen);
    }
    const std::int64_t count = video->frame_count();
    if (n < 0 || n >= count) {
        error = "frame " + std::to_string(n) + " is outside the " + std::to_string(count) +
                " frames of " + video_path;
        return fail(ExtractOutcome::BeyondEnd);
    }
    FramePtr frame = video->frame(n, &error);
    if (!frame) {
        if (error.empty())
            error = "frame " + std::to_string(n) + " cannot be decoded";
        return fail(ExtractOutcome::NoFrame);
    }
    const ExtractOutcome outcome = write_picture_to_bmp(files, *frame, out_path, &error);
    if (outcome == ExtractOutcome::Refused)
        error = "frame " + std::to_string(n) + " " + error;
    return fail(outcome);
}

ExtractOutcome write_picture_to_bmp(FileWriter& files, const Picture24& picture,
                                    const std::string& out_path, std::string* detail) {
    bool refused = false;
    const WriteResult written = write_picture_bmp(files, picture, out_path, &refused);
    if (refused) {
        if (detail) {
            *detail = "is not a picture (" + std::to_string(picture.width) + "x" +
                      std::to_string(picture.height) + ")";
        }
        return ExtractOutcome::Refused;
    }
    if (!written) {
        if (detail)
            *detail = "cannot write " + written.error();
        return ExtractOutcome::WriteFailed;
    }
    return ExtractOutcome::Written;
}

namespace {

// The operator's word for each failure; the debug log has the detail.
void report(ExtractOutcome outcome, const std::string& video_path, std::int64_t frame_number,
            const std::string& out_path, const std::string& detail, Dialogs& dialogs,
            DebugLog* debug_log) {
    const std::string crlf(kCrLf);
    if (outcome != ExtractOutcome::Written && debug_log)
        debug_log->WriteDebugLog("Frame extraction failed: " + detail);
    switch (outcome) {
        case ExtractOutcome::Written:
        case ExtractOutcome::Refused:
            // A frame the bitmap refuses leaves the earlier picture in place
            // without a word to the operator; the debug log has the reason.
            break;
        case ExtractOutcome::CannotOpen:
            dialogs.ok("There was an error working with the file:" + crlf + video_path,
                       MsgIcon::Information);
            break;
        case ExtractOutcome::BeyondEnd:
            dialogs.ok("Frame " + std::to_string(frame_number) +
                           (frame_number < 0 ? " is before the start of the video:"
                                             : " is beyond the end of the video:") +
                           crlf + video_path,
                       MsgIcon::Information);
            break;
        case ExtractOutcome::NoDecoder:
        case ExtractOutcome::NoFrame:
            dialogs.ok("No suitable decompressor found for this video stream!",
                       MsgIcon::Information);
            break;
        case ExtractOutcome::WriteFailed:
            // The operator would otherwise measure on the earlier picture.
            dialogs.ok("Unable to write the picture file:" + crlf + out_path, MsgIcon::Critical);
            break;
    }
}

}  // namespace

ExtractOutcome TakePictureToBitmap(const Picture24& picture, const std::string& video_path,
                                   std::int64_t frame_number, const std::string& app_folder,
                                   FileWriter& files, Dialogs& dialogs, DebugLog* debug_log) {
    const std::string out_path = join_path(app_folder, kCurrentCaptureName);
    std::string detail;
    ExtractOutcome outcome = write_picture_to_bmp(files, picture, out_path, &detail);
    if (outcome == ExtractOutcome::Refused)
        detail = "frame " + std::to_string(frame_number) + " of " + video_path + " " + detail;
    report(outcome, video_path, frame_number, out_path, detail, dialogs, debug_log);
    return outcome;
}

ExtractOutcome ExtractFrameToBitmap(const std::string& video_path, std::int64_t frame_number,
                                    const std::string& app_folder, FileWriter& files,
                                    Dialogs& dialogs, DebugLog* debug_log,
                                    const VideoOpener& open_video) {
    const std::string out_path = join_path(app_folder, kCurrentCaptureName);
    std::string detail;
    const ExtractOutcome outcome =
        extract_frame_to_bmp(files, video_path, frame_number, out_path, open_video, &detail);
    report(outcome, video_path, frame_number, out_path, detail, dialogs, debug_log);
    return outcome;
}

}  // namespace rs
