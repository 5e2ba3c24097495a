#include "platform/ffmpeg_capture_device.h"

#include <QMetaObject>
#include <QObject>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/avi_writer.h"
#include "platform/capture_profile.h"
#include "platform/ffmpeg_holders.h"

extern "C" {
#include <libavdevice/avdevice.h>
}

namespace rs {

using ffmpeg::error_text;

namespace {

struct Size {
    int width;
    int height;
};
constexpr Size kSizes[] = {{640, 480}, {1280, 720}, {1920, 1080}};
constexpr int kSizeCount = 3;

// Bytes of pictures a recording may hold waiting for the file before frames
// are dropped (about two seconds of raw 1080p at 30 frames per second).
constexpr std::size_t kQueueBytes = 192u * 1024 * 1024;

std::string size_name(const Size& s) {
    return std::to_string(s.width) + "x" + std::to_string(s.height);
}

// The lavfi graph of the test source: the pattern, a black strip with a
// white square for each set bit of the frame number, the number in figures.
std::string test_source_graph(const Size& s, double rate, std::int64_t frames, bool figures) {
    const int square = std::max(8, s.width / 32);
    std::string g = "testsrc2=size=" + size_name(s) + ":rate=" + std::to_string(rate);
    if (frames > 0)
        g += ":duration=" + std::to_string(static_cast<double>(frames) / rate);
    g += ",drawbox=x=0:y=" + std::to_string(s.height - square) +
         ":w=" + std::to_string(square * 16) + ":h=" + std::to_string(square) +
         ":color=black:t=fill";
    for (int bit = 0; bit < 16; ++bit) {
        g += ",drawbox=x=" + std::to_string(bit * square) +
             ":y=" + std::to_string(s.height - square) + ":w=" + std::to_string(square) +
             ":h=" + std::to_string(square) + ":color=white:t=fill:enable='mod(floor(n/" +
             std::to_string(1 << bit) + ")\\,2)'";
    }
    if (figures) {
        g += ",drawtext=text='%{frame_num}':fontsize=" + std::to_string(s.height / 10) +
             ":fontcolor=white:box=1:boxcolor=black:x=" + std::to_string(square) +
             ":y=" + std::to_string(square);
    }
    // Paced to the clock like a camera; pictures in the encoder's own format.
    return g + ",realtime,format=yuvj420p";
}

struct Camera {
    std::string name;  // shown in the list
    std::string url;   // what the demuxer opens
};

const char* camera_format_name() {
#ifdef _WIN32
    return "dshow";
#elif defined(__linux__)
    return "video4linux2";
#else
    return nullptr;
#endif
}

std::vector<Camera> list_cameras() {
    std::vector<Camera> cameras;
    const char* name = camera_format_name();
    if (!name)
        return cameras;
    const AVInputFormat* format = av_find_input_format(name);
    if (!format)
        return cameras;
    AVDeviceInfoList* list = nullptr;
    if (avdevice_list_input_sources(format, nullptr, nullptr, &list) < 0 || !list)
        return cameras;
    for (int i = 0; i < list->nb_devices; ++i) {
        const AVDeviceInfo* d = list->devices[i];
        if (!d || !d->device_name)
            continue;
        Camera c;
        const std::string device = d->device_name;
        const std::string description = d->device_description ? d->device_description : device;
#ifdef _WIN32
        c.url = "video=" + device;
        c.name = description;
#else
        c.url = device;
        c.name = description + " (" + device + ")";
#endif
        cameras.push_back(std::move(c));
    }
    avdevice_free_list_devices(&list);
    return cameras;
}

// A file replayed as a camera sends its pictures: each frame is given when
// its time since the first frame has come, and each round after the first
// carries on the time of the round before, so time stamps only grow.
class Replay {
  public:
    explicit Replay(AVRational time_base) : time_base_(time_base) {}

    bool started() const { return first_ != AV_NOPTS_VALUE; }
    std::int64_t first_time() const { return first_; }
    void next_round() { offset_ = end_ - first_; }

    // Gives the packet its time in the replay and waits until it has come;
    // false when the reader is asked to stop first.
    bool pace(AVPacket* pkt, const std::atomic<bool>& stop) {
        using Clock = std::chrono::steady_clock;
        std::int64_t t = pkt->dts != AV_NOPTS_VALUE ? pkt->dts : pkt->pts;
        if (t == AV_NOPTS_VALUE)
            t = started() ? end_ - offset_ : 0;
        if (!started()) {
            first_ = t;
            end_ = t;
            began_ = Clock::now();
        }
        const std::int64_t shift = offset_;
        if (pkt->pts != AV_NOPTS_VALUE)
            pkt->pts += shift;
        pkt->dts = t + shift;
        end_ = std::max(end_, pkt->dts + std::max<std::int64_t>(pkt->duration, 1));
        const auto due =
            began_ + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
                         static_cast<double>(pkt->dts - first_) * av_q2d(time_base_)));
        for (auto now = Clock::now(); now < due; now = Clock::now()) {
            if (stop)
                return false;
            std::this_thread::sleep_for(
                std::min<Clock::duration>(due - now, std::chrono::milliseconds(20)));
        }
        return !stop;
    }

  private:
    AVRational time_base_;
    std::int64_t first_ = AV_NOPTS_VALUE;
    std::int64_t end_ = AV_NOPTS_VALUE;
    std::int64_t offset_ = 0;
    std::chrono::steady_clock::time_point began_{};
};

// Stops a blocking read when the reader is asked to end.
int interrupt_requested(void* flag) {
    return static_cast<std::atomic<bool>*>(flag)->load() ? 1 : 0;
}

}  // namespace

std::int64_t test_source_frame_number(const Picture24& picture) {
    if (picture.width < 16 * 8 || picture.height < 8)
        return -1;
    const int square = std::max(8, picture.width / 32);
    const int y = picture.height - square / 2;
    std::int64_t n = 0;
    for (int bit = 0; bit < 16; ++bit) {
        const int x = bit * square + square / 2;
        const std::uint8_t* p = picture.row(y) + static_cast<size_t>(x) * 3;
        const int level = (p[0] + p[1] + p[2]) / 3;
        if (level > 170)
            n |= std::int64_t{1} << bit;
        else if (level > 85)
            return -1;  // neither black nor white: no squares here
    }
    return n;
}

std::int64_t frames_missed(double seconds, double rate, std::int64_t seen) {
    if (!(seconds >= 0) || !(rate > 0))
        return 0;
    const double expected = std::round(seconds * rate);
    if (expected > 1e15)
        return 0;
    return std::max<std::int64_t>(0, static_cast<std::int64_t>(expected) - seen);
}

struct FfmpegCaptureDevice::Impl {
    FileWriter& files;
    StillWriter still_writer;
    FfmpegCaptureOptions options;

    // Values set by the screens (the screens' thread only).
    CaptureProfile values;
    int current = 0;
    bool preview = true;
    std::vector<Camera> cameras;

    // The open source: set up by connect before the reader starts, read-only
    // while it runs.
    ffmpeg::InputFormatPtr input;
    AVCodecParameters* params = nullptr;  // owned by input
    int stream_index = -1;
    double open_rate = 0;
    bool replaying = false;  // a file replayed at its own rate: the demo course
    bool is_connected = false;
    std::atomic<bool> stop_reader{false};
    std::thread reader;

    // Shared between the reader, the writer and the screens.
    mutable std::mutex m;
    std::condition_variable queued;
    std::deque<ffmpeg::PacketPtr> queue;
    std::size_t queue_bytes = 0;
    ffmpeg::PacketPtr latest;  // the newest frame, for the preview and stills
    std::int64_t latest_number = -1;
    std::int64_t taken = 0;  // every frame since connecting, recorded or not
    std::int64_t processed = 0;
    std::int64_t start_count = 0;
    std::int64_t dropped = 0;
    std::int64_t frames_in_recording = 0;
    // Time stamp of the recording's first frame, and the frames found
    // missing between its time stamps since.
    std::int64_t first_pts = AV_NOPTS_VALUE;
    std::int64_t missed = 0;
    std::int64_t frames_allowed = 0;  // time limit in frames; 0: none
    bool recording = false;
    bool writer_running = false;
    std::string end_error;
    std::chrono::steady_clock::time_point started_at{};
    std::int64_t elapsed_ms = 0;
    CaptureEventHandlers handlers;

    std::thread writer;
    std::unique_ptr<AviWriter> avi;

    // The preview's own decoder (the screens' thread only).
    mutable ffmpeg::CodecPtr preview_decoder;
    mutable ffmpeg::SwsPtr preview_scaler;

    // Delivers events on the screens' thread.
    std::unique_ptr<QObject> context = std::make_unique<QObject>();
    QTimer* watch = nullptr;  // owned by context

    Impl(FileWriter& f, StillWriter s, FfmpegCaptureOptions o)
        : files(f), still_writer(std::move(s)), options(o) {
        values.device = kTestSourceName;
        values.resolution = 0;
        values.color_format = 0;
        values.input = 0;
        values.video_compressor = 0;
    }

    // The test source, the demo course when offered, then the cameras.
    int first_camera() const { return options.demo_course ? 2 : 1; }
    bool is_demo(int index) const { return options.demo_course && index == 1; }
    int device_count() const { return first_camera() + static_cast<int>(cameras.size()); }

    void post(std::function<void(const CaptureEventHandlers&)> send) {
        QMetaObject::invokeMethod(
            context.get(),
            [this, send = std::move(send)] {
                CaptureEventHandlers h;
                {
                    std::lock_guard lock(m);
                    h = handlers;
                }
                send(h);
            },
            Qt::QueuedConnection);
    }

    bool open(int index, std::string* error) {
        avdevice_register_all();
        const Size size = kSizes[std::clamp(values.resolution, 0, kSizeCount - 1)];
        const double rate = values.frame_rate > 0 ? values.frame_rate : 30;
        AVDictionary* opts = nullptr;
        const AVInputFormat* format = nullptr;
        std::string url;
        replaying = is_demo(index);
        if (index == 0) {
            format = av_find_input_format("lavfi");
            url = test_source_graph(size, rate, options.test_source_frames, true);
        } else if (replaying) {
            std::string why;
            url = options.demo_course(&why);
            if (url.empty()) {
                if (error)
                    *error = "cannot open " + device_name(index) + ": " + why;
                return false;
            }
            format = av_find_input_format("avi");
        } else {
            format = av_find_input_format(camera_format_name() ? camera_format_name() : "");
            url = cameras[static_cast<size_t>(index - first_camera())].url;
            av_dict_set(&opts, "video_size", size_name(size).c_str(), 0);
            av_dict_set(&opts, "framerate", std::to_string(rate).c_str(), 0);
            if (values.color_format == 1)
                av_dict_set(&opts, "input_format", "mjpeg", 0);
            else if (values.color_format == 2)
                av_dict_set(&opts, "input_format", "yuyv422", 0);
        }
        if (!format) {
            if (error)
                *error = "this FFmpeg cannot open " + std::string(index == 0  ? "lavfi"
                                                                  : replaying ? "AVI files"
                                                                              : "cameras");
            return false;
        }
        AVFormatContext* raw = avformat_alloc_context();
        stop_reader = false;
        raw->interrupt_callback.callback = interrupt_requested;
        raw->interrupt_callback.opaque = &stop_reader;
        int r = avformat_open_input(&raw, url.c_str(), format, &opts);
        av_dict_free(&opts);
        if (r < 0 && index == 0) {
            // An FFmpeg without fonts: the squares alone still number frames.
            raw = avformat_alloc_context();
            raw->interrupt_callback.callback = interrupt_requested;
            raw->interrupt_callback.opaque = &stop_reader;
            url = test_source_graph(size, rate, options.test_source_frames, false);
            r = avformat_open_input(&raw, url.c_str(), format, nullptr);
        }
        if (r < 0) {
            if (error)
                *error = "cannot open " + device_name(index) + ": " + error_text(r);
            return false;
        }
        input.reset(raw);
        r = avformat_find_stream_info(raw, nullptr);
        stream_index = av_find_best_stream(raw, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        if (r < 0 || stream_index < 0) {
            input.reset();
            if (error)
                *error = device_name(index) + " gives no video";
            return false;
        }
        params = raw->streams[stream_index]->codecpar;
        const AVRational fr = raw->streams[stream_index]->avg_frame_rate.num > 0
                                  ? raw->streams[stream_index]->avg_frame_rate
                                  : raw->streams[stream_index]->r_frame_rate;
        open_rate = fr.num > 0 && fr.den > 0 ? av_q2d(fr) : rate;
        preview_decoder.reset();
        preview_scaler.reset();
        return true;
    }

    std::string device_name(int index) const {
        if (index == 0)
            return kTestSourceName;
        if (is_demo(index))
            return kDemoCourseSourceName;
        if (index >= first_camera() && index < device_count())
            return cameras[static_cast<size_t>(index - first_camera())].name;
        return {};
    }

    // The reader thread: takes every frame the device gives and counts it.
    void read_frames() {
        ffmpeg::PacketPtr pkt(av_packet_alloc());
        Replay replay(input->streams[stream_index]->time_base);
        for (;;) {
            if (stop_reader)
                return;
            int r = av_read_frame(input.get(), pkt.get());
            if (r == AVERROR(EAGAIN)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                continue;
            }
            if (r == AVERROR_EOF && replaying && replay.started()) {
                // The replayed video starts again, its time going on.
                replay.next_round();
                r = av_seek_frame(input.get(), stream_index, replay.first_time(),
                                  AVSEEK_FLAG_BACKWARD);
                if (r >= 0)
                    continue;
            }
            if (r < 0) {
                if (stop_reader)
                    return;
                device_lost(r == AVERROR_EOF ? std::string("the device stopped sending pictures")
                                             : error_text(r));
                return;
            }
            if (pkt->stream_index != stream_index) {
                av_packet_unref(pkt.get());
                continue;
            }
            if (replaying && !replay.pace(pkt.get(), stop_reader))
                return;
            take(std::move(pkt));
            pkt.reset(av_packet_alloc());
        }
    }

    void take(ffmpeg::PacketPtr pkt) {
        std::lock_guard lock(m);
        latest.reset(av_packet_clone(pkt.get()));
        latest_number = taken++;
        if (!recording)
            return;
        if (pkt->pts != AV_NOPTS_VALUE) {
            if (first_pts == AV_NOPTS_VALUE)
                first_pts = pkt->pts;
            const double seconds = static_cast<double>(pkt->pts - first_pts) *
                                   av_q2d(input->streams[stream_index]->time_base);
            const std::int64_t gap =
                frames_missed(seconds, open_rate, frames_in_recording + missed);
            missed += gap;
            dropped += gap;
        }
        if (queue_bytes + static_cast<std::size_t>(pkt->size) > kQueueBytes) {
            ++missed;
            ++dropped;
            return;
        }
        ++processed;
        ++frames_in_recording;
        queue_bytes += static_cast<std::size_t>(pkt->size);
        queue.push_back(std::move(pkt));
        // About once a second the screens are told to read the counters.
        if (frames_in_recording % std::max<std::int64_t>(1, std::llround(open_rate)) == 0) {
            post([](const CaptureEventHandlers& h) {
                if (h.status_code)
                    h.status_code(capture_status::kCountersChanged, "Capturing");
            });
        }
        if (frames_allowed > 0 && frames_in_recording >= frames_allowed)
            end_recording_locked();
        queued.notify_one();
    }

    void end_recording_locked() {
        if (!recording)
            return;
        recording = false;
        elapsed_ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::steady_clock::now() - started_at)
                         .count();
        queued.notify_all();
    }

    void device_lost(const std::string& why) {
        bool was_recording = false;
        {
            std::lock_guard lock(m);
            was_recording = recording;
            if (recording) {
                end_error = "The capture device stopped during the recording (" + why +
                            "); the frames recorded until then are kept.";
                end_recording_locked();
            }
        }
        post([this, was_recording, why](const CaptureEventHandlers& h) {
            is_connected = false;
            if (!was_recording && h.warning)
                h.warning("The capture device stopped: " + why);
        });
    }

    // The writer thread: stores or encodes each queued frame, then finishes
    // the file.
    void write_frames() {
        ffmpeg::CodecPtr decoder, encoder;
        ffmpeg::SwsPtr scaler;
        ffmpeg::AvFramePtr frame(av_frame_alloc()), yuv;
        ffmpeg::PacketPtr out(av_packet_alloc());
        std::string error;
        const bool copy = params->codec_id == AV_CODEC_ID_MJPEG;
        bool failed = false;
        for (;;) {
            ffmpeg::PacketPtr pkt;
            {
                std::unique_lock lock(m);
                queued.wait(lock, [this] { return !queue.empty() || !recording; });
                if (queue.empty())
                    break;
                pkt = std::move(queue.front());
                queue.pop_front();
                queue_bytes -= static_cast<std::size_t>(pkt->size);
            }
            bool ok = true;
            if (copy) {
                ok = avi->write_jpeg(pkt->data, static_cast<std::size_t>(pkt->size), &error);
            } else {
                ok = encode(pkt.get(), decoder, encoder, scaler, frame, yuv, out, &error);
            }
            if (!ok) {
                failed = true;
                break;
            }
        }
        if (!avi->finish(failed ? nullptr : &error))
            failed = true;
        std::int64_t in_file = avi->frames_written();
        if (failed) {
            // A write cut short may have left the last frames incomplete:
            // the file is read back to count the frames it gives.
            std::string ignored;
            auto video = VideoFile::open(avi->path(), &ignored);
            in_file = video ? std::min(in_file, video->frame_count()) : 0;
        }
        {
            std::lock_guard lock(m);
            if (failed) {
                // Frames taken but not in the file are no longer counted, so
                // the counters still describe the file.
                const std::int64_t lost = frames_in_recording - in_file;
                processed -= lost;
                frames_in_recording -= lost;
                dropped += lost;
                queue.clear();
                queue_bytes = 0;
                if (end_error.empty())
                    end_error = "The recording could not be written any further (" + error +
                                "); the frames recorded until then are kept.";
                end_recording_locked();
            }
            writer_running = false;
        }
        std::string message;
        {
            std::lock_guard lock(m);
            message = end_error;
        }
        post([message](const CaptureEventHandlers& h) {
            if (!message.empty() && h.warning)
                h.warning(message);
            if (h.status_code)
                h.status_code(capture_status::kCaptureEnded, "Capture ended");
        });
    }

    bool encode(AVPacket* pkt, ffmpeg::CodecPtr& decoder, ffmpeg::CodecPtr& encoder,
                ffmpeg::SwsPtr& scaler, ffmpeg::AvFramePtr& frame, ffmpeg::AvFramePtr& yuv,
                ffmpeg::PacketPtr& out, std::string* error) {
        auto fail = [error](const std::string& why) {
            *error = why;
            return false;
        };
        if (!decoder) {
            const AVCodec* codec = avcodec_find_decoder(params->codec_id);
            if (!codec)
                return fail("no decoder for the device's pictures");
            decoder.reset(avcodec_alloc_context3(codec));
            avcodec_parameters_to_context(decoder.get(), params);
            if (avcodec_open2(decoder.get(), codec, nullptr) < 0)
                return fail("cannot start the decoder of the device's pictures");
        }
        int r = avcodec_send_packet(decoder.get(), pkt);
        if (r < 0)
            return fail("a picture of the device cannot be decoded: " + error_text(r));
        while ((r = avcodec_receive_frame(decoder.get(), frame.get())) >= 0) {
            AVFrame* picture = frame.get();
            if (!encoder) {
                const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
                if (!codec)
                    return fail("this FFmpeg has no MJPEG encoder");
                encoder.reset(avcodec_alloc_context3(codec));
                AVCodecContext* enc = encoder.get();
                enc->width = picture->width;
                enc->height = picture->height;
                enc->pix_fmt = AV_PIX_FMT_YUVJ420P;
                enc->color_range = AVCOL_RANGE_JPEG;
                enc->time_base = AVRational{1, 30};
                enc->flags |= AV_CODEC_FLAG_QSCALE;
                enc->global_quality = FF_QP2LAMBDA * 3;
                enc->thread_count = 2;
                enc->thread_type = FF_THREAD_SLICE;
                if (avcodec_open2(enc, codec, nullptr) < 0)
                    return fail("cannot start the MJPEG encoder");
            }
            if (picture->format != AV_PIX_FMT_YUVJ420P) {
                scaler.reset(sws_getCachedContext(
                    scaler.release(), picture->width, picture->height,
                    static_cast<AVPixelFormat>(picture->format), picture->width, picture->height,
                    AV_PIX_FMT_YUVJ420P, SWS_BILINEAR, nullptr, nullptr, nullptr));
                if (!yuv) {
                    yuv.reset(av_frame_alloc());
                    yuv->format = AV_PIX_FMT_YUVJ420P;
                    yuv->width = picture->width;
                    yuv->height = picture->height;
                    if (av_frame_get_buffer(yuv.get(), 0) < 0)
                        return fail("out of memory");
                }
                sws_scale(scaler.get(), picture->data, picture->linesize, 0, picture->height,
                          yuv->data, yuv->linesize);
                picture = yuv.get();
            }
            r = avcodec_send_frame(encoder.get(), picture);
            av_frame_unref(frame.get());
            if (r < 0)
                return fail("the MJPEG encoder refused a picture: " + error_text(r));
            while ((r = avcodec_receive_packet(encoder.get(), out.get())) >= 0) {
                const bool ok =
                    avi->write_jpeg(out->data, static_cast<std::size_t>(out->size), error);
                av_packet_unref(out.get());
                if (!ok)
                    return false;
            }
            if (r != AVERROR(EAGAIN))
                return fail("the MJPEG encoder failed: " + error_text(r));
        }
        if (r != AVERROR(EAGAIN) && r != AVERROR_EOF)
            return fail("a picture of the device cannot be decoded: " + error_text(r));
        return true;
    }

    void join_writer() {
        {
            std::lock_guard lock(m);
            end_recording_locked();
        }
        if (writer.joinable())
            writer.join();
        avi.reset();
    }

    void close() {
        join_writer();
        stop_reader = true;
        if (reader.joinable())
            reader.join();
        input.reset();
        params = nullptr;
        is_connected = false;
        std::lock_guard lock(m);
        latest.reset();
    }

    bool reopen_if_connected() {
        if (!is_connected)
            return true;
        {
            std::lock_guard lock(m);
            if (recording || writer_running)
                return false;  // applied at the next connection
        }
        close();
        std::string ignored;
        return connect(current, &ignored);
    }

    bool connect(int index, std::string* error) {
        close();
        if (index < 0 || index >= device_count()) {
            if (error)
                *error = "there is no capture device " + std::to_string(index);
            return false;
        }
        current = index;
        values.device = device_name(index);
        if (!open(index, error))
            return false;
        is_connected = true;
        {
            std::lock_guard lock(m);
            taken = processed = start_count = dropped = 0;
            latest_number = -1;
        }
        reader = std::thread([this] { read_frames(); });
        return true;
    }
};

FfmpegCaptureDevice::FfmpegCaptureDevice(FileWriter& files, StillWriter still_writer,
                                         FfmpegCaptureOptions options)
    : impl_(std::make_unique<Impl>(files, std::move(still_writer), options)) {
    avdevice_register_all();
    if (impl_->options.list_cameras) {
        impl_->cameras = list_cameras();
        impl_->watch = new QTimer(impl_->context.get());
        QObject::connect(impl_->watch, &QTimer::timeout, impl_->context.get(),
                         [this] { check_devices(); });
        impl_->watch->start(std::max(200, impl_->options.device_watch_ms));
    }
}

FfmpegCaptureDevice::~FfmpegCaptureDevice() {
    impl_->close();
}

void FfmpegCaptureDevice::check_devices() {
    // Listing the cameras may take a moment on some systems: not while a
    // recording runs.
    if (capturing())
        return;
    std::vector<Camera> now = list_cameras();
    std::vector<Camera>& held = impl_->cameras;
    // Removals first, from the end, so each index names the list as it is.
    for (int i = static_cast<int>(held.size()) - 1; i >= 0; --i) {
        const Camera gone = held[static_cast<size_t>(i)];
        bool present = false;
        for (const Camera& c : now)
            present = present || c.url == gone.url;
        if (present)
            continue;
        const int index = i + impl_->first_camera();
        if (impl_->is_connected && impl_->current == index)
            impl_->close();
        held.erase(held.begin() + i);
        if (impl_->current > index)
            --impl_->current;
        else if (impl_->current == index)
            impl_->current = 0;
        impl_->post([gone, index](const CaptureEventHandlers& h) {
            if (h.device_change)
                h.device_change({kVideoSources, CaptureDeviceChange::removed, index, gone.name});
        });
    }
    for (const Camera& c : now) {
        bool known = false;
        for (const Camera& k : held)
            known = known || k.url == c.url;
        if (known)
            continue;
        held.push_back(c);
        const int index = impl_->first_camera() + static_cast<int>(held.size()) - 1;
        impl_->post([c, index](const CaptureEventHandlers& h) {
            if (h.device_change)
                h.device_change({kVideoSources, CaptureDeviceChange::added, index, c.name});
        });
    }
}

int FfmpegCaptureDevice::device_count() const {
    return impl_->device_count();
}
std::string FfmpegCaptureDevice::device_name(int index) const {
    return impl_->device_name(index);
}
int FfmpegCaptureDevice::current_device() const {
    return impl_->current;
}
void FfmpegCaptureDevice::set_current_device(int index) {
    if (index >= 0 && index < device_count())
        impl_->current = index;
}
bool FfmpegCaptureDevice::connect(int index, std::string* error) {
    return impl_->connect(index, error);
}
void FfmpegCaptureDevice::disconnect() {
    impl_->close();
}
bool FfmpegCaptureDevice::connected() const {
    return impl_->is_connected;
}

bool FfmpegCaptureDevice::previewing() const {
    return impl_->preview;
}
void FfmpegCaptureDevice::set_preview(bool on) {
    impl_->preview = on;
}

bool FfmpegCaptureDevice::latest_frame(std::int64_t* number, int* width, int* height,
                                       std::vector<std::uint8_t>* bgr) const {
    Impl& d = *impl_;
    if (!d.is_connected || !d.params)
        return false;
    ffmpeg::PacketPtr pkt;
    {
        std::lock_guard lock(d.m);
        if (!d.latest)
            return false;
        pkt.reset(av_packet_clone(d.latest.get()));
        if (number)
            *number = d.latest_number;
    }
    if (!d.preview_decoder) {
        const AVCodec* codec = avcodec_find_decoder(d.params->codec_id);
        if (!codec)
            return false;
        d.preview_decoder.reset(avcodec_alloc_context3(codec));
        avcodec_parameters_to_context(d.preview_decoder.get(), d.params);
        if (avcodec_open2(d.preview_decoder.get(), codec, nullptr) < 0) {
            d.preview_decoder.reset();
            return false;
        }
    }
    ffmpeg::AvFramePtr frame(av_frame_alloc());
    if (avcodec_send_packet(d.preview_decoder.get(), pkt.get()) < 0 ||
        avcodec_receive_frame(d.preview_decoder.get(), frame.get()) < 0)
        return false;
    const int w = frame->width, h = frame->height;
    d.preview_scaler.reset(sws_getCachedContext(
        d.preview_scaler.release(), w, h, static_cast<AVPixelFormat>(frame->format), w, h,
        AV_PIX_FMT_BGR24, SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!d.preview_scaler)
        return false;
    bgr->resize(static_cast<size_t>(w) * h * 3);
    std::uint8_t* dst[4] = {bgr->data(), nullptr, nullptr, nullptr};
    int stride[4] = {w * 3, 0, 0, 0};
    sws_scale(d.preview_scaler.get(), frame->data, frame->linesize, 0, h, dst, stride);
    *width = w;
    *height = h;
    return true;
}

std::string FfmpegCaptureDevice::still_file_name() const {
    return impl_->values.still_file;
}
void FfmpegCaptureDevice::set_still_file_name(const std::string& path) {
    impl_->values.still_file = path;
}
bool FfmpegCaptureDevice::grab_still(std::string* error) {
    Picture24 picture;
    std::vector<std::uint8_t> bgr;
    if (!latest_frame(nullptr, &picture.width, &picture.height, &bgr)) {
        if (error)
            *error = "no picture from the capture device";
        return false;
    }
    picture.bgr.assign(bgr.begin(), bgr.end());
    if (!impl_->still_writer) {
        if (error)
            *error = "no way to write a still picture";
        return false;
    }
    return impl_->still_writer(picture, impl_->values.still_file, error);
}

#define RS_VALUE(type, getter, setter, field)  \
    type FfmpegCaptureDevice::getter() const { \
        return impl_->values.field;            \
    }                                          \
    void FfmpegCaptureDevice::setter(type v) { \
        impl_->values.field = v;               \
    }
RS_VALUE(double, chroma_factor, set_chroma_factor, chroma_factor)
RS_VALUE(double, luma_factor, set_luma_factor, luma_factor)
RS_VALUE(bool, progressive_jpeg, set_progressive_jpeg, progressive_jpeg)
RS_VALUE(bool, auto_save, set_auto_save, auto_save)
RS_VALUE(bool, auto_increment, set_auto_increment, auto_increment)
RS_VALUE(double, still_interval, set_still_interval, still_interval)
RS_VALUE(double, caption_left, set_caption_left, caption_left)
RS_VALUE(double, caption_top, set_caption_top, caption_top)
RS_VALUE(int, audio_channels, set_audio_channels, audio_channels)
RS_VALUE(int, audio_bits, set_audio_bits, audio_bits)
RS_VALUE(int, audio_sample_rate, set_audio_sample_rate, audio_sample_rate)
RS_VALUE(bool, audio_listen, set_audio_listen, audio_listen)
RS_VALUE(double, time_limit, set_time_limit, time_limit)
RS_VALUE(int, input, set_input, input)
RS_VALUE(int, channel, set_channel, channel)
RS_VALUE(int, video_compressor, set_video_compressor, video_compressor)
RS_VALUE(int, audio_compressor, set_audio_compressor, audio_compressor)
RS_VALUE(int, audio_device, set_audio_device, audio_device)
#undef RS_VALUE

std::string FfmpegCaptureDevice::still_password() const {
    return impl_->values.still_password;
}
void FfmpegCaptureDevice::set_still_password(const std::string& text) {
    impl_->values.still_password = text;
}
std::string FfmpegCaptureDevice::caption_text() const {
    return impl_->values.caption_text;
}
void FfmpegCaptureDevice::set_caption_text(const std::string& text) {
    impl_->values.caption_text = text;
}
std::string FfmpegCaptureDevice::stream_file_name() const {
    return impl_->values.stream_file;
}
void FfmpegCaptureDevice::set_stream_file_name(const std::string& path) {
    impl_->values.stream_file = path;
}

bool FfmpegCaptureDevice::start_stream_capture(std::string* error) {
    Impl& d = *impl_;
    auto fail = [error](const std::string& why) {
        if (error)
            *error = why;
        return false;
    };
    if (!d.is_connected || !d.params)
        return fail("no capture device is connected");
    {
        std::lock_guard lock(d.m);
        if (d.recording || d.writer_running)
            return fail("a recording is already running");
    }
    if (d.writer.joinable())
        d.writer.join();
    AviWriterOptions o;
    o.width = d.params->width;
    o.height = d.params->height;
    // The file's rate as a fraction of whole thousandths (29.97 stays exact).
    o.rate_num = static_cast<int>(std::lround(d.open_rate * 1000));
    o.rate_den = 1000;
    std::string why;
    d.avi = AviWriter::create(d.values.stream_file, o, &why);
    if (!d.avi)
        return fail(why);
    std::lock_guard lock(d.m);
    d.queue.clear();
    d.queue_bytes = 0;
    d.start_count = d.processed;
    d.frames_in_recording = 0;
    d.first_pts = AV_NOPTS_VALUE;
    d.missed = 0;
    d.dropped = 0;
    d.end_error.clear();
    d.frames_allowed =
        d.values.time_limit > 0
            ? static_cast<std::int64_t>(std::llround(d.values.time_limit * d.open_rate))
            : 0;
    d.started_at = std::chrono::steady_clock::now();
    d.elapsed_ms = 0;
    d.recording = true;
    d.writer_running = true;
    d.writer = std::thread([&d] { d.write_frames(); });
    return true;
}

void FfmpegCaptureDevice::stop_capture() {
    impl_->join_writer();
}
bool FfmpegCaptureDevice::capturing() const {
    std::lock_guard lock(impl_->m);
    return impl_->recording;
}
std::string FfmpegCaptureDevice::capture_error() const {
    std::lock_guard lock(impl_->m);
    return impl_->end_error;
}
double FfmpegCaptureDevice::frame_rate() const {
    return impl_->is_connected ? impl_->open_rate : impl_->values.frame_rate;
}
void FfmpegCaptureDevice::set_frame_rate(double fps) {
    if (!(fps > 0) || fps > 1000 || fps == impl_->values.frame_rate)
        return;
    impl_->values.frame_rate = fps;
    (void)impl_->reopen_if_connected();
}

std::int64_t FfmpegCaptureDevice::frames_processed() const {
    std::lock_guard lock(impl_->m);
    return impl_->processed;
}
std::int64_t FfmpegCaptureDevice::frames_processed_at_start() const {
    std::lock_guard lock(impl_->m);
    return impl_->start_count;
}
std::int64_t FfmpegCaptureDevice::frames_dropped() const {
    std::lock_guard lock(impl_->m);
    return impl_->dropped;
}
std::int64_t FfmpegCaptureDevice::audio_samples() const {
    return 0;  // no sound is recorded
}
std::int64_t FfmpegCaptureDevice::elapsed_time_ms() const {
    std::lock_guard lock(impl_->m);
    if (impl_->recording) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - impl_->started_at)
            .count();
    }
    return impl_->elapsed_ms;
}

int FfmpegCaptureDevice::resolution() const {
    return impl_->values.resolution;
}
void FfmpegCaptureDevice::set_resolution(int index) {
    if (index < 0 || index >= kSizeCount || index == impl_->values.resolution)
        return;
    impl_->values.resolution = index;
    (void)impl_->reopen_if_connected();
}
std::string FfmpegCaptureDevice::resolution_name(int index) const {
    return index >= 0 && index < kSizeCount ? size_name(kSizes[index]) : std::string();
}
int FfmpegCaptureDevice::resolution_count() const {
    return kSizeCount;
}

// A camera is asked for its own choice, MJPEG or uncompressed YUYV; the test
// source makes YUV 4:2:0 pictures.
int FfmpegCaptureDevice::color_format() const {
    return impl_->values.color_format;
}
void FfmpegCaptureDevice::set_color_format(int index) {
    if (index < 0 || index >= color_format_count() || index == impl_->values.color_format)
        return;
    impl_->values.color_format = index;
    (void)impl_->reopen_if_connected();
}
std::string FfmpegCaptureDevice::color_format_name(int index) const {
    if (impl_->current == 0)
        return index == 0 ? "YUV 4:2:0" : "";
    static const char* names[] = {"Device default", "MJPEG", "YUYV 4:2:2"};
    return index >= 0 && index < 3 ? names[index] : "";
}
int FfmpegCaptureDevice::color_format_count() const {
    return impl_->current == 0 ? 1 : 3;
}

int FfmpegCaptureDevice::input_count() const {
    return 1;
}
std::string FfmpegCaptureDevice::input_name(int index) const {
    return index == 0 ? (impl_->current == 0 ? "Test pattern" : "Camera") : "";
}
bool FfmpegCaptureDevice::has_channels() const {
    return false;
}
int FfmpegCaptureDevice::lowest_channel() const {
    return 0;
}
int FfmpegCaptureDevice::highest_channel() const {
    return 0;
}
std::string FfmpegCaptureDevice::video_compressor_name(int index) const {
    return index == 0 ? "MJPEG" : "";
}
int FfmpegCaptureDevice::video_compressor_count() const {
    return 1;
}
std::string FfmpegCaptureDevice::audio_compressor_name(int) const {
    return {};
}
int FfmpegCaptureDevice::audio_compressor_count() const {
    return 0;
}
std::string FfmpegCaptureDevice::audio_device_name(int) const {
    return {};
}
int FfmpegCaptureDevice::audio_device_count() const {
    return 0;
}

int FfmpegCaptureDevice::effect_count(const std::string&) const {
    return 0;
}
std::string FfmpegCaptureDevice::effect_name(const std::string&, int) const {
    return {};
}
int FfmpegCaptureDevice::effect(const std::string&) const {
    return impl_->values.effect;
}
void FfmpegCaptureDevice::set_effect(int, const std::string&, int effect) {
    impl_->values.effect = effect;
}
int FfmpegCaptureDevice::find_effect(const std::string&) const {
    return -1;
}

bool FfmpegCaptureDevice::dialog_available(int) const {
    return false;
}
void FfmpegCaptureDevice::show_dialog(int, const std::string&) {}

bool FfmpegCaptureDevice::load_profile(const std::string& path, std::string* error) {
    CaptureProfile p;
    if (!load_capture_profile(path, &p, error))
        return false;
    const bool was_connected = impl_->is_connected;
    impl_->close();
    impl_->values = p;
    int index = 0;
    for (int i = 0; i < device_count(); ++i)
        if (device_name(i) == p.device)
            index = i;
    impl_->current = index;
    if (was_connected)
        return impl_->connect(index, error);
    return true;
}

bool FfmpegCaptureDevice::save_profile(const std::string& path, std::string* error) {
    impl_->values.device = device_name(impl_->current);
    return save_capture_profile(impl_->files, path, impl_->values, error);
}

void FfmpegCaptureDevice::set_event_handlers(CaptureEventHandlers handlers) {
    std::lock_guard lock(impl_->m);
    impl_->handlers = std::move(handlers);
}

}  // namespace rs
