// Opening a video and decoding frames: any file is opened or refused with
// its reason; an opened one gives its first, middle and last frames (or
// says why not), each of the size the file declared, and a frame written
// as a BMP reads back as the same picture.

#include "fuzz/fuzz_support.h"
#include "platform/ffmpeg_video_file.h"
#include "video/dib.h"

extern "C" {
#include <libavutil/log.h>
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    av_log_set_level(AV_LOG_QUIET);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = rs::fuzz::input_file(data, size, "clip.avi");
    std::string error;
    auto video = rs::VideoFile::open(path, &error);
    if (!video) {
        if (error.rfind("cannot open " + path + ": ", 0) != 0)
            rs::fuzz::broken("a refused video gave no reason naming it");
        return 0;
    }
    (void)video->problem();
    const std::int64_t count = video->frame_count();
    if (count < 0)
        rs::fuzz::broken("a negative frame count");
    rs::FileWriter files;
    rs::fuzz::SilentDialogs dialogs;
    for (std::int64_t n : {std::int64_t{0}, count / 2, count - 1, count}) {
        std::string why;
        rs::FramePtr frame = video->frame(n, &why);
        if (!frame) {
            if (why.empty())
                rs::fuzz::broken("a frame was refused without a reason");
            continue;
        }
        if (n >= count)
            rs::fuzz::broken("a frame beyond the end was given");
        if (frame->width <= 0 || frame->height <= 0 ||
            frame->bgr.size() != static_cast<std::size_t>(frame->width) * frame->height * 3)
            rs::fuzz::broken("a frame's bytes do not match its size");
        rs::cDIB dib;
        if (!dib.CreateFromPicture(*frame))
            continue;
        const std::string bmp = rs::fuzz::scratch_folder() + "/frame.bmp";
        if (!dib.WriteToFile(files, bmp))
            std::abort();
        rs::cDIB back;
        if (!back.CreateFromFile(bmp, dialogs) || back.FileBytes() != dib.FileBytes())
            rs::fuzz::broken("a frame written as a BMP does not read back");
    }
    // Stepping as the operator does, through the cache and the worker.
    for (std::int64_t n = 0; n < count && n < 8; ++n)
        (void)video->ready_frame(n);
    return 0;
}
