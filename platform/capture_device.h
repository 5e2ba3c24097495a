#pragma once
// The capture device as the screens command it. One interface over every
// kind of source (a camera through v4l2 or DirectShow, the built-in test
// source); the screens connect, set the values, start and stop recordings
// and poll the counters. Recording runs on the device's own thread: no call
// here waits for a frame.
//
// Counting: frames_processed counts the frames the device has put into
// stream captures since it was connected; a frame the recorder cannot keep
// is counted in frames_dropped instead. So the frame at index k of the file
// (counted from 0 as the frame selection screen counts) is the one the
// counter passed from frames_processed_at_start() + k to + k + 1, and the
// frames processed read when "Contact" is pressed, less the count at the
// start, is the index in the file of the first frame taken after the press.
// Between recordings the counter stands still, so it still tells the length
// of a recording that ended on its own.
//
// Events (device changes, status texts and codes, warnings) are delivered
// to the handlers on the thread that runs the screens.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace rs {

// The configuration dialogs a device may offer (member "show dialog").
namespace capture_dialog {
inline constexpr int kVideoSource = 35;
// Added to kVideoSource when an effect is chosen.
inline constexpr int kWithEffect = 4096;
inline constexpr int kCompression = 256;
inline constexpr int kAudioFormat = 1032;
}  // namespace capture_dialog

// Status codes of status_code events.
namespace capture_status {
// The counters changed: read them again.
inline constexpr int kCountersChanged = 510;
// A stream capture ended (asked for, time limit reached, device lost, disk full).
inline constexpr int kCaptureEnded = 301;
}  // namespace capture_status

// A device plugged in or pulled out.
struct CaptureDeviceChange {
    // "Video Capture Sources" or "Audio Capture Sources".
    std::string category;
    enum Kind { added = 0, removed = 1 } kind = added;
    // Index of the device in its list after an addition, before a removal.
    int index = 0;
    std::string name;
};

inline constexpr const char* kVideoSources = "Video Capture Sources";
inline constexpr const char* kAudioSources = "Audio Capture Sources";

struct CaptureEventHandlers {
    std::function<void(const CaptureDeviceChange&)> device_change;
    std::function<void(const std::string& text)> status_text;
    std::function<void(int code, const std::string& text)> status_code;
    std::function<void(const std::string& text)> warning;
};

class CaptureDevice {
  public:
    virtual ~CaptureDevice() = default;

    // --- devices and connection ---------------------------------------
    // Number of video capture devices (below 1: none installed).
    virtual int device_count() const = 0;
    // Name of the video device at index; empty outside 0 .. count - 1.
    virtual std::string device_name(int index) const = 0;
    // Every device name, in list order.
    std::vector<std::string> devices() const {
        std::vector<std::string> names;
        for (int i = 0; i < device_count(); ++i)
            names.push_back(device_name(i));
        return names;
    }
    // The device connect uses and the lists describe.
    virtual int current_device() const = 0;
    virtual void set_current_device(int index) = 0;
    // Connects to the video device at index (it becomes the current one).
    // False and a reason when it cannot be opened.
    [[nodiscard]] virtual bool connect(int index, std::string* error = nullptr) = 0;
    // Ends a recording (its file stays readable) and closes the device.
    virtual void disconnect() = 0;
    virtual bool connected() const = 0;

    // --- preview ---------------------------------------------------------
    virtual bool previewing() const = 0;
    virtual void set_preview(bool on) = 0;
    // Number of the latest frame the device took (counted from 0 at the
    // connection, recorded or not), and its picture as 24-bit rows top to bottom (blue,
    // green, red). False when no frame has come since connecting.
    virtual bool latest_frame(std::int64_t* number, int* width, int* height,
                              std::vector<std::uint8_t>* bgr) const = 0;

    // --- still frames ------------------------------------------------------
    virtual std::string still_file_name() const = 0;
    virtual void set_still_file_name(const std::string& path) = 0;
    // Writes the latest frame to the still file as a 24-bit bitmap.
    [[nodiscard]] virtual bool grab_still(std::string* error = nullptr) = 0;
    // Still-frame compression and options.
    virtual double chroma_factor() const = 0;
    virtual void set_chroma_factor(double value) = 0;
    virtual double luma_factor() const = 0;
    virtual void set_luma_factor(double value) = 0;
    virtual bool progressive_jpeg() const = 0;
    virtual void set_progressive_jpeg(bool on) = 0;
    virtual bool auto_save() const = 0;
    virtual void set_auto_save(bool on) = 0;
    virtual bool auto_increment() const = 0;
    virtual void set_auto_increment(bool on) = 0;
    virtual std::string still_password() const = 0;
    virtual void set_still_password(const std::string& text) = 0;
    virtual double still_interval() const = 0;
    virtual void set_still_interval(double value) = 0;
    virtual double caption_left() const = 0;
    virtual void set_caption_left(double value) = 0;
    virtual double caption_top() const = 0;
    virtual void set_caption_top(double value) = 0;
    virtual std::string caption_text() const = 0;
    virtual void set_caption_text(const std::string& text) = 0;

    // --- stream capture ----------------------------------------------------
    virtual std::string stream_file_name() const = 0;
    virtual void set_stream_file_name(const std::string& path) = 0;
    // Starts recording the frames that come from now on to the stream file
    // (AVI). False and a reason when nothing was started (not connected,
    // file not writable, already recording).
    [[nodiscard]] virtual bool start_stream_capture(std::string* error = nullptr) = 0;
    // Ends the recording and finishes the file; returns when it is closed.
    // Harmless when nothing records.
    virtual void stop_capture() = 0;
    // A recording is running (it also ends at the time limit, on a device
    // lost or a disk full).
    virtual bool capturing() const = 0;
    // Why the last recording ended on its own; empty when it was stopped or
    // ran to its time limit.
    virtual std::string capture_error() const = 0;
    // Frames per second asked of the device and written in the file.
    virtual double frame_rate() const = 0;
    virtual void set_frame_rate(double fps) = 0;
    // Longest recording in seconds; 0: no limit.
    virtual double time_limit() const = 0;
    virtual void set_time_limit(double seconds) = 0;

    // --- counters ------------------------------------------------------------
    virtual std::int64_t frames_processed() const = 0;
    // frames_processed when the running (or last) stream capture started.
    virtual std::int64_t frames_processed_at_start() const = 0;
    virtual std::int64_t frames_dropped() const = 0;
    virtual std::int64_t audio_samples() const = 0;
    // Milliseconds since the running (or last) stream capture started.
    virtual std::int64_t elapsed_time_ms() const = 0;

    // --- audio format ----------------------------------------------------------
    virtual int audio_channels() const = 0;  // 1 or 2
    virtual void set_audio_channels(int channels) = 0;
    virtual int audio_bits() const = 0;  // 8 or 16
    virtual void set_audio_bits(int bits) = 0;
    virtual int audio_sample_rate() const = 0;  // Hz
    virtual void set_audio_sample_rate(int hz) = 0;
    virtual bool audio_listen() const = 0;
    virtual void set_audio_listen(bool on) = 0;

    // --- lists of the connected device ---------------------------------------
    virtual int resolution() const = 0;
    virtual void set_resolution(int index) = 0;
    virtual std::string resolution_name(int index) const = 0;
    virtual int resolution_count() const = 0;

    virtual int color_format() const = 0;
    virtual void set_color_format(int index) = 0;
    virtual std::string color_format_name(int index) const = 0;
    virtual int color_format_count() const = 0;

    virtual int input_count() const = 0;
    virtual int input() const = 0;
    virtual void set_input(int index) = 0;
    virtual std::string input_name(int index) const = 0;

    virtual bool has_channels() const = 0;
    virtual int channel() const = 0;
    virtual void set_channel(int number) = 0;
    virtual int lowest_channel() const = 0;
    virtual int highest_channel() const = 0;

    virtual int video_compressor() const = 0;
    virtual void set_video_compressor(int index) = 0;
    virtual std::string video_compressor_name(int index) const = 0;
    virtual int video_compressor_count() const = 0;

    virtual int audio_compressor() const = 0;
    virtual void set_audio_compressor(int index) = 0;
    virtual std::string audio_compressor_name(int index) const = 0;
    virtual int audio_compressor_count() const = 0;

    virtual int audio_device() const = 0;
    virtual void set_audio_device(int index) = 0;
    virtual std::string audio_device_name(int index) const = 0;
    virtual int audio_device_count() const = 0;

    // --- video effects ---------------------------------------------------------
    virtual int effect_count(const std::string& slot) const = 0;
    virtual std::string effect_name(const std::string& slot, int index) const = 0;
    // The effect in slot; -1 when none.
    virtual int effect(const std::string& slot) const = 0;
    virtual void set_effect(int stage, const std::string& slot, int effect) = 0;
    // Number of the effect with that name; negative when there is none.
    virtual int find_effect(const std::string& name) const = 0;

    // --- configuration dialogs (capture_dialog numbers) -----------------------
    virtual bool dialog_available(int dialog) const = 0;
    virtual void show_dialog(int dialog, const std::string& text) = 0;

    // --- profiles: the device's values in a file of the program's own ---------
    [[nodiscard]] virtual bool load_profile(const std::string& path,
                                            std::string* error = nullptr) = 0;
    [[nodiscard]] virtual bool save_profile(const std::string& path,
                                            std::string* error = nullptr) = 0;

    // --- events ----------------------------------------------------------------
    virtual void set_event_handlers(CaptureEventHandlers handlers) = 0;

    // Frames per second the connected device delivers; 0 when none is.
    double native_frame_rate() const { return connected() ? frame_rate() : 0; }
};

// No capture device at all: empty lists, nothing connects, nothing records,
// every counter 0. For tests and the tools that need no camera.
class NoCaptureDevice final : public CaptureDevice {
  public:
    int device_count() const override { return 0; }
    std::string device_name(int) const override { return {}; }
    int current_device() const override { return -1; }
    void set_current_device(int) override {}
    bool connect(int, std::string* error) override {
        if (error)
            *error = "no capture device";
        return false;
    }
    void disconnect() override {}
    bool connected() const override { return false; }
    bool previewing() const override { return false; }
    void set_preview(bool) override {}
    bool latest_frame(std::int64_t*, int*, int*, std::vector<std::uint8_t>*) const override {
        return false;
    }
    std::string still_file_name() const override { return still_file_; }
    void set_still_file_name(const std::string& path) override { still_file_ = path; }
    bool grab_still(std::string* error) override { return connect(0, error); }
    double chroma_factor() const override { return 0; }
    void set_chroma_factor(double) override {}
    double luma_factor() const override { return 0; }
    void set_luma_factor(double) override {}
    bool progressive_jpeg() const override { return false; }
    void set_progressive_jpeg(bool) override {}
    bool auto_save() const override { return false; }
    void set_auto_save(bool) override {}
    bool auto_increment() const override { return false; }
    void set_auto_increment(bool) override {}
    std::string still_password() const override { return {}; }
    void set_still_password(const std::string&) override {}
    double still_interval() const override { return 0; }
    void set_still_interval(double) override {}
    double caption_left() const override { return 0; }
    void set_caption_left(double) override {}
    double caption_top() const override { return 0; }
    void set_caption_top(double) override {}
    std::string caption_text() const override { return {}; }
    void set_caption_text(const std::string&) override {}
    std::string stream_file_name() const override { return stream_file_; }
    void set_stream_file_name(const std::string& path) override { stream_file_ = path; }
    bool start_stream_capture(std::string* error) override { return connect(0, error); }
    void stop_capture() override {}
    bool capturing() const override { return false; }
    std::string capture_error() const override { return {}; }
    double frame_rate() const override { return 0; }
    void set_frame_rate(double) override {}
    double time_limit() const override { return 0; }
    void set_time_limit(double) override {}
    std::int64_t frames_processed() const override { return 0; }
    std::int64_t frames_processed_at_start() const override { return 0; }
    std::int64_t frames_dropped() const override { return 0; }
    std::int64_t audio_samples() const override { return 0; }
    std::int64_t elapsed_time_ms() const override { return 0; }
    int audio_channels() const override { return 1; }
    void set_audio_channels(int) override {}
    int audio_bits() const override { return 8; }
    void set_audio_bits(int) override {}
    int audio_sample_rate() const override { return 11025; }
    void set_audio_sample_rate(int) override {}
    bool audio_listen() const override { return false; }
    void set_audio_listen(bool) override {}
    int resolution() const override { return -1; }
    void set_resolution(int) override {}
    std::string resolution_name(int) const override { return {}; }
    int resolution_count() const override { return 0; }
    int color_format() const override { return -1; }
    void set_color_format(int) override {}
    std::string color_format_name(int) const override { return {}; }
    int color_format_count() const override { return 0; }
    int input_count() const override { return 0; }
    int input() const override { return -1; }
    void set_input(int) override {}
    std::string input_name(int) const override { return {}; }
    bool has_channels() const override { return false; }
    int channel() const override { return 0; }
    void set_channel(int) override {}
    int lowest_channel() const override { return 0; }
    int highest_channel() const override { return 0; }
    int video_compressor() const override { return -1; }
    void set_video_compressor(int) override {}
    std::string video_compressor_name(int) const override { return {}; }
    int video_compressor_count() const override { return 0; }
    int audio_compressor() const override { return -1; }
    void set_audio_compressor(int) override {}
    std::string audio_compressor_name(int) const override { return {}; }
    int audio_compressor_count() const override { return 0; }
    int audio_device() const override { return -1; }
    void set_audio_device(int) override {}
    std::string audio_device_name(int) const override { return {}; }
    int audio_device_count() const override { return 0; }
    int effect_count(const std::string&) const override { return 0; }
    std::string effect_name(const std::string&, int) const override { return {}; }
    int effect(const std::string&) const override { return -1; }
    void set_effect(int, const std::string&, int) override {}
    int find_effect(const std::string&) const override { return -1; }
    bool dialog_available(int) const override { return false; }
    void show_dialog(int, const std::string&) override {}
    bool load_profile(const std::string&, std::string* error) override { return connect(0, error); }
    bool save_profile(const std::string&, std::string* error) override { return connect(0, error); }
    void set_event_handlers(CaptureEventHandlers) override {}

  private:
    std::string still_file_;
    std::string stream_file_;
};

}  // namespace rs
