// The ".info" file beside a video: any bytes give a sidecar or nothing, and
// a sidecar's path is a part of its first line.

#include "fuzz/fuzz_support.h"
#include "video/frame_selection.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto sidecar = rs::parse_info_sidecar(bytes);
    if (sidecar) {
        if (bytes.find(sidecar->video_path) != 0)
            rs::fuzz::broken("the video path is not where the line starts");
        (void)rs::already_measured_message(*sidecar, true);
    }
    // The file read from disk gives the same (up to the size a sidecar
    // can have).
    if (size > 64 * 1024)
        return 0;
    const std::string video = rs::fuzz::scratch_folder() + "/v.avi";
    (void)rs::fuzz::input_file(data, size, "v.avi.info");
    auto read = rs::read_info_sidecar(video);
    if (read.has_value() != sidecar.has_value() ||
        (read && (read->video_path != sidecar->video_path ||
                  !(read->frame == sidecar->frame || read->frame != read->frame))))
        rs::fuzz::broken("the file and its bytes read differently");
    return 0;
}
