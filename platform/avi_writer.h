#pragma once
// An AVI file of MJPEG pictures written through FFmpeg: pictures are encoded
// as JPEG, or JPEG frames from a camera are stored as they come. Frames go
// to the file one by one and are handed to the system as each call returns, so a
// program that ends without finishing leaves every written frame readable;
// finishing adds the index and the frame count to the headers. No FFmpeg
// type leaves the platform layer. One writer is used from one thread at a
// time.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/video_file.h"

namespace rs {

struct AviWriterOptions {
    int width = 0;
    int height = 0;
    // Frames per second as the fraction rate_num / rate_den (30000 / 1001
    // for NTSC video).
    int rate_num = 30;
    int rate_den = 1;
    // JPEG quality of encoded pictures, 1 (smallest file) to 100 (best);
    // frames stored with write_jpeg keep their own.
    int quality = 90;
};

class AviWriter {
  public:
    // Creates (or empties) the file at path and writes its headers. Nothing
    // and an error ("<path>: <reason>") when the options are not a picture
    // size, a rate and a quality, or the file cannot be written.
    [[nodiscard]] static std::unique_ptr<AviWriter> create(const std::string& path,
                                                           const AviWriterOptions& options,
                                                           std::string* error);

    // Finishes the file when finish was not called (its error, if any, is
    // lost; call finish to hear of it).
    ~AviWriter();
    AviWriter(const AviWriter&) = delete;
    AviWriter& operator=(const AviWriter&) = delete;

    // Encodes a picture of the writer's size as the next frame.
    [[nodiscard]] bool write_picture(const Picture24& picture, std::string* error = nullptr);

    // Stores one JPEG picture of the writer's size as the next frame, byte
    // for byte. Data that is not a JPEG picture (no start-of-image marker, no
    // frame header) or whose frame header gives another size is refused.
    [[nodiscard]] bool write_jpeg(const std::uint8_t* data, std::size_t size,
                                  std::string* error = nullptr);

    std::int64_t frames_written() const;
    const std::string& path() const;

    // Writes the index and the final headers and closes the file. Nothing
    // can be written after it; a second call does nothing and succeeds.
    [[nodiscard]] bool finish(std::string* error = nullptr);

  private:
    struct Impl;
    explicit AviWriter(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

// The width and height in the frame header of a JPEG picture; false when
// the data is not a JPEG picture with a frame header within size bytes.
bool jpeg_picture_size(const std::uint8_t* data, std::size_t size, int* width, int* height);

}  // namespace rs
