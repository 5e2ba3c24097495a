// rampsight-cli describe VIDEO: the information lines of an AVI video.
// rampsight-cli extract VIDEO N OUT.bmp: frame N (0-based, presentation
// order) as the 24-bit BMP the program writes to "currentcapture.bmp".

#include <charconv>
#include <cstdint>
#include <ostream>

#include "cli/command_registry.h"
#include "platform/ffmpeg_video_file.h"
#include "video/avi_info.h"
#include "video/frame_extraction.h"

namespace rs::cli {

namespace {

int describe(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        err << "usage: rampsight-cli describe VIDEO\n";
        return kExitUsage;
    }
    const std::string& path = args[0];
    AviFileInfoRecord record;
    switch (read_avi_info(path, record)) {
        case AviReadStatus::Ok:
            break;
        case AviReadStatus::CannotOpen:
            err << "rampsight-cli: Unable to open file: " << path << "\n";
            return kExitUsage;
        case AviReadStatus::BadHeader:
            err << "rampsight-cli: Unable to read AVI file info from: " << path << "\n";
            return kExitUsage;
    }
    for (const auto& line : describe_avi_lines(path, record))
        out << line << "\n";
    return kExitOk;
}

int extract(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    (void)out;
    std::int64_t n = -1;
    bool number = false;
    if (args.size() == 3) {
        const std::string& text = args[1];
        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
        number = ec == std::errc() && end == text.data() + text.size() && n >= 0;
    }
    if (!number) {
        err << "usage: rampsight-cli extract VIDEO N OUT.bmp (N counts from 0)\n";
        return kExitUsage;
    }
    std::string detail;
    FileWriter files;
    switch (extract_frame_to_bmp(files, args[0], n, args[2], open_video_file, &detail)) {
        case ExtractOutcome::Written:
            return kExitOk;
        case ExtractOutcome::BeyondEnd:
            err << "rampsight-cli: frame " << n << " is beyond the end of the video: " << detail
                << "\n";
            return kExitNoImage;
        case ExtractOutcome::CannotOpen:
        case ExtractOutcome::NoDecoder:
        case ExtractOutcome::NoFrame:
        case ExtractOutcome::Refused:
            err << "rampsight-cli: " << detail << "\n";
            return kExitUsage;
        case ExtractOutcome::WriteFailed:
            err << "rampsight-cli extract: " << detail << "\n";
            return kExitWriteFailed;
    }
    return kExitUsage;
}

const CommandRegistrar describe_command{
    {"describe", "describe VIDEO   (the information lines of an AVI video)", describe}};
const CommandRegistrar extract_command{
    {"extract", "extract VIDEO N OUT.bmp   (frame N, counted from 0, as a 24-bit BMP)", extract}};

}  // namespace

}  // namespace rs::cli
