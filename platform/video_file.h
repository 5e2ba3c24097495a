#pragma once
// A video file read through FFmpeg: frame count, frame rate, and frame N as
// a 24-bit picture, exactly the frame with that presentation index. Frames
// are counted from 0 in presentation order, from the first frame presented.
// No FFmpeg type leaves the platform layer.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/picture_bytes.h"

namespace rs {

// A decoded frame: rows top to bottom, each row width * 3 bytes of blue,
// green, red, with no padding between rows.
struct Picture24 {
    int width = 0;
    int height = 0;
    PictureBytes bgr;

    const std::uint8_t* row(int y) const { return bgr.data() + static_cast<size_t>(y) * width * 3; }
};

using FramePtr = std::shared_ptr<const Picture24>;

// The largest picture side the program takes. A larger picture is refused
// before anything is allocated for it: one 8192 x 8192 picture already
// holds 192 MB.
inline constexpr int kMaxPictureSide = 8192;

// How an opening error says that no decoder can read the video stream.
inline constexpr const char* kNoDecoderText = "no decoder for this video";

class VideoFile {
  public:
    virtual ~VideoFile() = default;

    // Opens the file; nothing and an error text ("cannot open <path>: ...")
    // when it cannot be read as a video.
    [[nodiscard]] static std::unique_ptr<VideoFile> open(const std::string& path,
                                                         std::string* error = nullptr);

    virtual const std::string& path() const = 0;
    virtual std::int64_t frame_count() const = 0;
    // Frames per second as the stream declares it (rate / scale).
    virtual double frame_rate() const = 0;
    virtual int width() const = 0;
    virtual int height() const = 0;

    // Frame n (0-based, presentation order). Nothing when n is outside
    // 0 .. frame_count() - 1 or the frame cannot be decoded (error says why).
    [[nodiscard]] virtual FramePtr frame(std::int64_t n, std::string* error = nullptr) = 0;

    // Frame n when it can be had without waiting for a decode; nothing when
    // it is still being prepared. Also tells the file where the reader is,
    // so the frames around n are prepared ahead of time. A file that keeps
    // no cache decodes here.
    [[nodiscard]] virtual FramePtr ready_frame(std::int64_t n) { return frame(n); }

    // Empty for a sound file; otherwise what is wrong with its frames (some
    // missing or stored twice, named; a part that cannot be read; pictures
    // that could not be prepared in the background).
    virtual std::string problem() const { return {}; }

    // False once the file at path() is no longer the one that was opened
    // (replaced, rewritten or deleted): its frames must not be shown or
    // taken as the file's.
    virtual bool unchanged_on_disk() const { return true; }
};

}  // namespace rs
