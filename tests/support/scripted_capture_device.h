#pragma once
// A capture device whose every value is a public field: a test sets the
// lists, counters and formats the device reports, drives the device-change
// and status events, and reads back what the program set and called.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/capture_device.h"

namespace rs::test {

class ScriptedCaptureDevice final : public CaptureDevice {
  public:
    // What the device reports.
    std::vector<std::string> device_names;
    int current = -1;
    bool is_connected = false;
    bool preview = false;
    std::string connect_error;  // connect fails with it when not empty
    std::string start_error;    // start_stream_capture fails with it when not empty
    std::string grab_error;     // grab_still fails with it when not empty
    std::string profile_error;  // profiles fail with it when not empty

    std::string still_file;
    double chroma = 0, luma = 0, interval = 0, cap_left = 0, cap_top = 0;
    bool progressive = false, autosave = false, autoinc = false;
    std::string password, caption;

    std::string stream_file;
    bool is_capturing = false;
    std::string last_capture_error;
    double rate = 30;
    double limit = 0;

    std::int64_t processed = 0;
    std::int64_t processed_at_start = 0;
    std::int64_t dropped = 0;
    std::int64_t samples = 0;
    std::int64_t elapsed_ms = 0;

    int channels = 1, bits = 8, sample_rate = 11025;
    bool listen = false;

    std::vector<std::string> resolutions, color_formats, inputs, video_compressors,
        audio_compressors, audio_devices, effects;
    int current_resolution = -1, current_color_format = -1, current_input = -1;
    int current_video_compressor = -1, current_audio_compressor = -1, current_audio_device = -1;
    int current_effect = -1;
    bool channels_present = false;
    int current_channel = 0, low_channel = 0, high_channel = 0;
    std::vector<int> dialogs_available;

    // What the program did.
    std::vector<std::string> calls;  // "connect 0", "start_stream_capture <file>", ...
    std::vector<int> dialogs_shown;
    std::vector<std::string> profiles_saved, profiles_loaded;
    CaptureEventHandlers handlers;

    // Events as the device would send them.
    void device_changed(const CaptureDeviceChange& change) {
        if (handlers.device_change)
            handlers.device_change(change);
    }
    void status(int code, const std::string& text) {
        if (handlers.status_code)
            handlers.status_code(code, text);
    }

    int device_count() const override { return static_cast<int>(device_names.size()); }
    std::string device_name(int i) const override { return at(device_names, i); }
    int current_device() const override { return current; }
    void set_current_device(int i) override {
        current = i;
        calls.push_back("set_current_device " + std::to_string(i));
    }
    bool connect(int i, std::string* error) override {
        calls.push_back("connect " + std::to_string(i));
        if (!connect_error.empty()) {
            if (error)
                *error = connect_error;
            return false;
        }
        current = i;
        is_connected = true;
        return true;
    }
    void disconnect() override {
        calls.push_back("disconnect");
        is_connected = false;
        is_capturing = false;
    }
    bool connected() const override { return is_connected; }
    bool previewing() const override { return preview; }
    void set_preview(bool on) override { preview = on; }
    bool latest_frame(std::int64_t*, int*, int*, std::vector<std::uint8_t>*) const override {
        return false;
    }

    std::string still_file_name() const override { return still_file; }
    void set_still_file_name(const std::string& p) override { still_file = p; }
    bool grab_still(std::string* error) override {
        calls.push_back("grab_still " + still_file);
        if (!grab_error.empty()) {
            if (error)
                *error = grab_error;
            return false;
        }
        return true;
    }
    double chroma_factor() const override { return chroma; }
    void set_chroma_factor(double v) override { chroma = v; }
    double luma_factor() const override { return luma; }
    void set_luma_factor(double v) override { luma = v; }
    bool progressive_jpeg() const override { return progressive; }
    void set_progressive_jpeg(bool on) override { progressive = on; }
    bool auto_save() const override { return autosave; }
    void set_auto_save(bool on) override { autosave = on; }
    bool auto_increment() const override { return autoinc; }
    void set_auto_increment(bool on) override { autoinc = on; }
    std::string still_password() const override { return password; }
    void set_still_password(const std::string& t) override { password = t; }
    double still_interval() const override { return interval; }
    void set_still_interval(double v) override { interval = v; }
    double caption_left() const override { return cap_left; }
    void set_caption_left(double v) override { cap_left = v; }
    double caption_top() const override { return cap_top; }
    void set_caption_top(double v) override { cap_top = v; }
    std::string caption_text() const override { return caption; }
    void set_caption_text(const std::string& t) override { caption = t; }

    std::string stream_file_name() const override { return stream_file; }
    void set_stream_file_name(const std::string& p) override { stream_file = p; }
    bool start_stream_capture(std::string* error) override {
        calls.push_back("start_stream_capture " + stream_file);
        if (!start_error.empty()) {
            if (error)
                *error = start_error;
            return false;
        }
        is_capturing = true;
        processed_at_start = processed;
        return true;
    }
    void stop_capture() override {
        calls.push_back("stop_capture");
        is_capturing = false;
    }
    bool capturing() const override { return is_capturing; }
    std::string capture_error() const override { return last_capture_error; }
    double frame_rate() const override { return rate; }
    void set_frame_rate(double fps) override { rate = fps; }
    double time_limit() const override { return limit; }
    void set_time_limit(double s) override { limit = s; }

    std::int64_t frames_processed() const override { return processed; }
    std::int64_t frames_processed_at_start() const override { return processed_at_start; }
    std::int64_t frames_dropped() const override { return dropped; }
    std::int64_t audio_samples() const override { return samples; }
    std::int64_t elapsed_time_ms() const override { return elapsed_ms; }

    int audio_channels() const override { return channels; }
    void set_audio_channels(int c) override { channels = c; }
    int audio_bits() const override { return bits; }
    void set_audio_bits(int b) override { bits = b; }
    int audio_sample_rate() const override { return sample_rate; }
    void set_audio_sample_rate(int hz) override { sample_rate = hz; }
    bool audio_listen() const override { return listen; }
    void set_audio_listen(bool on) override { listen = on; }

    int resolution() const override { return current_resolution; }
    void set_resolution(int i) override { current_resolution = i; }
    std::string resolution_name(int i) const override { return at(resolutions, i); }
    int resolution_count() const override { return size(resolutions); }
    int color_format() const override { return current_color_format; }
    void set_color_format(int i) override { current_color_format = i; }
    std::string color_format_name(int i) const override { return at(color_formats, i); }
    int color_format_count() const override { return size(color_formats); }
    int input_count() const override { return size(inputs); }
    int input() const override { return current_input; }
    void set_input(int i) override { current_input = i; }
    std::string input_name(int i) const override { return at(inputs, i); }
    bool has_channels() const override { return channels_present; }
    int channel() const override { return current_channel; }
    void set_channel(int n) override { current_channel = n; }
    int lowest_channel() const override { return low_channel; }
    int highest_channel() const override { return high_channel; }
    int video_compressor() const override { return current_video_compressor; }
    void set_video_compressor(int i) override { current_video_compressor = i; }
    std::string video_compressor_name(int i) const override { return at(video_compressors, i); }
    int video_compressor_count() const override { return size(video_compressors); }
    int audio_compressor() const override { return current_audio_compressor; }
    void set_audio_compressor(int i) override { current_audio_compressor = i; }
    std::string audio_compressor_name(int i) const override { return at(audio_compressors, i); }
    int audio_compressor_count() const override { return size(audio_compressors); }
    int audio_device() const override { return current_audio_device; }
    void set_audio_device(int i) override { current_audio_device = i; }
    std::string audio_device_name(int i) const override { return at(audio_devices, i); }
    int audio_device_count() const override { return size(audio_devices); }

    int effect_count(const std::string&) const override { return size(effects); }
    std::string effect_name(const std::string&, int i) const override { return at(effects, i); }
    int effect(const std::string&) const override { return current_effect; }
    void set_effect(int, const std::string&, int e) override { current_effect = e; }
    int find_effect(const std::string& name) const override {
        for (int i = 0; i < size(effects); ++i)
            if (effects[static_cast<size_t>(i)] == name)
                return i;
        return -1;
    }

    bool dialog_available(int d) const override {
        for (int a : dialogs_available)
            if (a == d)
                return true;
        return false;
    }
    void show_dialog(int d, const std::string&) override { dialogs_shown.push_back(d); }

    bool load_profile(const std::string& path, std::string* error) override {
        profiles_loaded.push_back(path);
        return profile_result(error);
    }
    bool save_profile(const std::string& path, std::string* error) override {
        profiles_saved.push_back(path);
        return profile_result(error);
    }
    void set_event_handlers(CaptureEventHandlers h) override { handlers = std::move(h); }

  private:
    static std::string at(const std::vector<std::string>& v, int i) {
        return i >= 0 && i < static_cast<int>(v.size()) ? v[static_cast<size_t>(i)] : std::string();
    }
    static int size(const std::vector<std::string>& v) { return static_cast<int>(v.size()); }
    bool profile_result(std::string* error) const {
        if (profile_error.empty())
            return true;
        if (error)
            *error = profile_error;
        return false;
    }
};

}  // namespace rs::test
