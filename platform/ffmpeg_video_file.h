#pragma once
// The VideoFile read through FFmpeg. Opening builds the frame index from the
// demuxer (no decoding); frames are decoded from the nearest key picture and
// kept in a bounded cache around the reader's position, which a worker
// thread fills ahead of the operator in both directions.

#include <cstddef>
#include <memory>
#include <string>

#include "platform/video_file.h"

namespace rs {

struct VideoOpenOptions {
    // Memory for decoded pictures (24-bit). 256 MB holds 41 pictures of
    // 1920x1080 and 290 of 640x480.
    std::size_t cache_bytes = std::size_t{256} << 20;
    // A worker thread prepares the pictures around the position once the
    // reader moves; off, every frame is decoded when it is asked for.
    bool prefetch = true;
};

[[nodiscard]] std::unique_ptr<VideoFile> open_ffmpeg_video(const std::string& path,
                                                           const VideoOpenOptions& options,
                                                           std::string* error = nullptr);

// The program's way of opening a video (VideoFile::open), as a VideoOpener.
inline std::unique_ptr<VideoFile> open_video_file(const std::string& path, std::string* error) {
    return VideoFile::open(path, error);
}

}  // namespace rs
