#pragma once
// The capture device over libavdevice: cameras through v4l2 (Linux) or
// DirectShow (Windows), a built-in test source that is always listed first,
// and (when the program offers it) the demo course, so a recording can be
// made and checked on a machine without a camera. The test source is
// FFmpeg's lavfi test pattern with each frame's number drawn twice: in
// figures at the top left, and as a row of 16 black or white squares along
// the bottom (least significant bit at the left) that a program can read
// back after compression. The demo course is its jump video replayed at its
// own rate, round after round.
//
// Frames are read on the device's own thread; a recording writes AVI on a
// second thread: a camera's MJPEG frames are stored as they come, any other
// picture is encoded as MJPEG. A device that stops delivering or a file that
// cannot be written any more ends the recording: the file is finished and
// stays readable, capture_error() says why, and the warning and
// "capture ended" events are sent.

#include <functional>
#include <memory>

#include "platform/capture_device.h"
#include "platform/file_writer.h"
#include "platform/video_file.h"

namespace rs {

// Writes a picture as a 24-bit bitmap file; false and a reason when it cannot.
using StillWriter = std::function<bool(const Picture24&, const std::string& path, std::string*)>;

struct FfmpegCaptureOptions {
    // Look for cameras (and watch for cameras plugged in and pulled out).
    bool list_cameras = true;
    // The test source stops after this many frames, as a camera pulled out
    // would; 0: it runs on.
    std::int64_t test_source_frames = 0;
    // How often the list of cameras is compared with the one held, in ms.
    int device_watch_ms = 2000;
    // When set, the demo course is listed after the test source: its jump
    // video replayed at its own rate, over and over, as a camera on the
    // shore would send it, so a capture can be rehearsed without a lake.
    // Gives the video's path (making the course first when it is not there
    // yet); an empty path and a reason when it cannot.
    std::function<std::string(std::string* error)> demo_course;
};

inline constexpr const char* kTestSourceName = "Built-in Test Source";
inline constexpr const char* kDemoCourseSourceName = "Demo Course";

// Reads the frame number drawn as squares along the bottom of a test-source
// picture; -1 when the squares are not there.
std::int64_t test_source_frame_number(const Picture24& picture);

// Frames a device skipped: a frame whose time stamp lies seconds after the
// first frame of the recording should be frame round(seconds x rate); when
// fewer frames (seen, counting those already found missing) came before it,
// the difference was lost before the program saw it (a camera's driver
// drops frames no one took in time). Never negative.
std::int64_t frames_missed(double seconds, double rate, std::int64_t seen);

class FfmpegCaptureDevice final : public CaptureDevice {
  public:
    FfmpegCaptureDevice(FileWriter& files, StillWriter still_writer,
                        FfmpegCaptureOptions options = {});
    ~FfmpegCaptureDevice() override;
    FfmpegCaptureDevice(const FfmpegCaptureDevice&) = delete;
    FfmpegCaptureDevice& operator=(const FfmpegCaptureDevice&) = delete;

    int device_count() const override;
    std::string device_name(int index) const override;
    int current_device() const override;
    void set_current_device(int index) override;
    bool connect(int index, std::string* error = nullptr) override;
    void disconnect() override;
    bool connected() const override;

    bool previewing() const override;
    void set_preview(bool on) override;
    bool latest_frame(std::int64_t* number, int* width, int* height,
                      std::vector<std::uint8_t>* bgr) const override;

    std::string still_file_name() const override;
    void set_still_file_name(const std::string& path) override;
    bool grab_still(std::string* error = nullptr) override;
    double chroma_factor() const override;
    void set_chroma_factor(double value) override;
    double luma_factor() const override;
    void set_luma_factor(double value) override;
    bool progressive_jpeg() const override;
    void set_progressive_jpeg(bool on) override;
    bool auto_save() const override;
    void set_auto_save(bool on) override;
    bool auto_increment() const override;
    void set_auto_increment(bool on) override;
    std::string still_password() const override;
    void set_still_password(const std::string& text) override;
    double still_interval() const override;
    void set_still_interval(double value) override;
    double caption_left() const override;
    void set_caption_left(double value) override;
    double caption_top() const override;
    void set_caption_top(double value) override;
    std::string caption_text() const override;
    void set_caption_text(const std::string& text) override;

    std::string stream_file_name() const override;
    void set_stream_file_name(const std::string& path) override;
    bool start_stream_capture(std::string* error = nullptr) override;
    void stop_capture() override;
    bool capturing() const override;
    std::string capture_error() const override;
    double frame_rate() const override;
    void set_frame_rate(double fps) override;
    double time_limit() const override;
    void set_time_limit(double seconds) override;

    std::int64_t frames_processed() const override;
    std::int64_t frames_processed_at_start() const override;
    std::int64_t frames_dropped() const override;
    std::int64_t audio_samples() const override;
    std::int64_t elapsed_time_ms() const override;

    int audio_channels() const override;
    void set_audio_channels(int channels) override;
    int audio_bits() const override;
    void set_audio_bits(int bits) override;
    int audio_sample_rate() const override;
    void set_audio_sample_rate(int hz) override;
    bool audio_listen() const override;
    void set_audio_listen(bool on) override;

    int resolution() const override;
    void set_resolution(int index) override;
    std::string resolution_name(int index) const override;
    int resolution_count() const override;
    int color_format() const override;
    void set_color_format(int index) override;
    std::string color_format_name(int index) const override;
    int color_format_count() const override;
    int input_count() const override;
    int input() const override;
    void set_input(int index) override;
    std::string input_name(int index) const override;
    bool has_channels() const override;
    int channel() const override;
    void set_channel(int number) override;
    int lowest_channel() const override;
    int highest_channel() const override;
    int video_compressor() const override;
    void set_video_compressor(int index) override;
    std::string video_compressor_name(int index) const override;
    int video_compressor_count() const override;
    int audio_compressor() const override;
    void set_audio_compressor(int index) override;
    std::string audio_compressor_name(int index) const override;
    int audio_compressor_count() const override;
    int audio_device() const override;
    void set_audio_device(int index) override;
    std::string audio_device_name(int index) const override;
    int audio_device_count() const override;

    int effect_count(const std::string& slot) const override;
    std::string effect_name(const std::string& slot, int index) const override;
    int effect(const std::string& slot) const override;
    void set_effect(int stage, const std::string& slot, int effect) override;
    int find_effect(const std::string& name) const override;

    bool dialog_available(int dialog) const override;
    void show_dialog(int dialog, const std::string& text) override;

    bool load_profile(const std::string& path, std::string* error = nullptr) override;
    bool save_profile(const std::string& path, std::string* error = nullptr) override;

    void set_event_handlers(CaptureEventHandlers handlers) override;

    // The list of cameras is looked at again now (the watch does it on its
    // own every device_watch_ms); changes are sent as device-change events.
    void check_devices();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace rs
