#include "platform/ffmpeg_video_file.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <limits>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/file_identity.h"
#include "platform/file_reader.h"
#include "platform/frame_cache.h"
#include "platform/frame_index.h"
#include "platform/packet_index.h"
#include "platform/picture_pool.h"
#include "platform/video_decoder.h"

#if defined(__linux__)
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace rs {

namespace {

// Two decoding threads halve the run of decodes from a key picture to a
// picture far into its group (a seek). The worker starts no work while the
// foreground decodes, so two cores carry both.
int decoding_threads() {
    return std::thread::hardware_concurrency() >= 2 ? 2 : 1;
}

#if defined(__linux__)
constexpr int kWorkerNice = 5;
#endif

// How long after the first frame is asked for the worker begins.
constexpr std::chrono::milliseconds kWorkerDelay{50};

// Pictures the foreground keeps behind the one it was asked for while it
// decodes up to it, so the first steps back after a jump are served at once.
constexpr std::int64_t kKeepBehindOnSeek = 8;

// Pictures the cache holds within its budget; at least one, so that even a
// picture larger than the whole budget is kept while it is shown.
std::int64_t pictures_within(std::size_t budget, int width, int height) {
    const std::size_t picture = std::max<std::size_t>(1, std::size_t(width) * height * 3);
    return std::max<std::int64_t>(1, static_cast<std::int64_t>(budget / picture));
}

// The spare buffers of the picture pool take an eighth of the budget at
// most (four 1080p pictures of the usual 256 MB).
std::size_t spare_bytes_for(std::size_t cache_bytes) {
    return std::min(PicturePool::kDefaultSpareBytes, cache_bytes / 8);
}

class FfmpegVideoFile final : public VideoFile {
  public:
    FfmpegVideoFile(StreamInfo info, const VideoOpenOptions& options, int width, int height,
                    std::optional<FileIdentity> identity, std::string problem)
        : info_(std::move(info)),
          options_(options),
          width_(width),
          height_(height),
          identity_(identity),
          open_problem_(std::move(problem)),
          pool_(PicturePool::create(spare_bytes_for(options.cache_bytes))),
          cache_(pictures_within(options.cache_bytes, width, height)),
          foreground_(info_, pool_) {}

    ~FfmpegVideoFile() override {
        {
            std::lock_guard lock(mu_);
            stop_ = true;
        }
        cv_.notify_all();
        if (worker_.joinable())
            worker_.join();
    }

    bool open_foreground(FormatPtr fmt, std::string* error, int threads) {
        return foreground_.open(std::move(fmt), error, threads);
    }

    const std::string& path() const override { return info_.path; }
    std::int64_t frame_count() const override { return info_.index.frame_count(); }
    double frame_rate() const override { return info_.rate; }
    int width() const override { return width_; }
    int height() const override { return height_; }
    std::string problem() const override {
        std::string text = info_.index.problem();
        for (const std::string* more : {&open_problem_, &worker_problem_}) {
            std::lock_guard lock(mu_);
            if (!more->empty())
                text += (text.empty() ? "" : "; ") + *more;
        }
        return text;
    }

    bool unchanged_on_disk() const override {
        return identity_ && file_identity(info_.path) == identity_;
    }

    FramePtr frame(std::int64_t n, std::string* error) override {
        if (n < 0 || n >= frame_count()) {
            if (error) {
                *error = "frame " + std::to_string(n) + " is beyond the end of " + info_.path +
                         " (" + std::to_string(frame_count()) + " frames)";
            }
            return nullptr;
        }
        const std::int64_t q = info_.index.picture_of_frame(n);
        if (FramePtr hit = move_to(q))
            return hit;

        std::lock_guard fg(foreground_mu_);
        {
            std::unique_lock lock(mu_);
            // The worker may already be on its way to this picture (a step
            // back into the group it is decoding): starting again from the
            // key picture beside it could only be slower.
            const auto& ix = info_.index;
            const std::int64_t target = worker_target_;
            // Waiting pays when the worker is nearer the picture than the
            // foreground decoder would be.
            const std::int64_t worker_cost =
                worker_last_out_ >= 0 && worker_last_out_ < q &&
                        ix.gop_of_picture(worker_last_out_) == ix.gop_of_picture(q)
                    ? q - worker_last_out_
                    : std::numeric_limits<std::int64_t>::max();
            if (target >= q && ix.gop_of_picture(target) == ix.gop_of_picture(q) &&
                worker_cost <= foreground_.cost_to(q)) {
                cv_.wait(lock, [&] { return cache_.get(q) || worker_target_ != target; });
            }
            if (FramePtr hit = cache_.get(q))
                return hit;
            foreground_busy_ = true;
        }
        auto keep = [&](std::int64_t x) {
            std::lock_guard lock(mu_);
            return x >= q - kKeepBehindOnSeek && x < q && cache_.wanted(x);
        };
        auto store = [&](std::int64_t x, const FramePtr& f) {
            std::vector<FramePtr> dropped;
            std::lock_guard lock(mu_);
            dropped = cache_.put(x, f);
        };
        FramePtr out;
        std::string why;
        auto outcome = foreground_.decode_to(
            q, keep, store, [] { return false; }, &out, &why);
        {
            std::lock_guard lock(mu_);
            foreground_busy_ = false;
        }
        cv_.notify_all();
        if (outcome != VideoDecoder::Outcome::Done) {
            if (error)
                *error = why;
            return nullptr;
        }
        return out;
    }

    FramePtr ready_frame(std::int64_t n) override {
        if (n < 0 || n >= frame_count())
            return nullptr;
        if (!options_.prefetch)
            return frame(n, nullptr);
        return move_to(info_.index.picture_of_frame(n));
    }

  private:
    // Moves the cache window to picture q and wakes the worker; the picture
    // when it is held.
    FramePtr move_to(std::int64_t q) {
        FramePtr hit;
        bool start_worker = false;
        {
            std::lock_guard lock(mu_);
            if (q != cache_.position() || !moved_) {
                cache_.set_position(q);
                ++version_;
                start_worker = options_.prefetch && !worker_started_;
                worker_started_ = worker_started_ || start_worker;
                moved_ = true;
            }
            hit = cache_.get(q);
        }
        if (start_worker)
            worker_ = std::thread([this] { work(); });
        cv_.notify_all();
        return hit;
    }

    // The worker: decodes, with a decoder of its own, the pictures the cache
    // window lacks, nearest first. It touches nothing but the cache (under
    // the mutex) and its decoder.
    void work() {
        try {
            work_on();
        } catch (const std::exception& e) {
            // Running out of memory (or any other failure) in the background
            // is a problem of this video, not the end of the program: the
            // foreground still decodes on demand.
            std::lock_guard lock(mu_);
            worker_problem_ = std::string("pictures could not be prepared ahead: ") + e.what();
        }
    }

    void work_on() {
        VideoDecoder decoder(info_, pool_);
        bool opened = false;
#if defined(__linux__)
        // Below the screen's thread, so a step is answered at once even
        // while the worker keeps both cores busy (the decoder's own threads,
        // started from here, inherit this).
        setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), kWorkerNice);
#endif
        std::unique_lock lock(mu_);
        // One frame asked for and the file closed (an extraction) needs no
        // worker: it begins only when the file is still open a moment later.
        if (cv_.wait_for(lock, kWorkerDelay, [&] { return stop_; }))
            return;
        while (!stop_) {
            if (foreground_busy_) {
                cv_.wait(lock, [&] { return stop_ || !foreground_busy_; });
                continue;
            }
            const std::uint64_t seen = version_;
            const std::int64_t q = cache_.next_missing(info_.index.picture_count());
            if (q < 0) {
                cv_.wait(lock, [&] { return stop_ || version_ != seen; });
                continue;
            }
            if (!opened) {
                // Opening reads the file's headers: not while the caller may
                // be waiting for the lock.
                lock.unlock();
                std::string ignored;
                opened = decoder.open(nullptr, &ignored, decoding_threads());
                if (!opened)
                    return;  // the foreground still decodes on demand
                lock.lock();
                continue;
            }
            worker_target_ = q;
            lock.unlock();
            auto keep = [&](std::int64_t x) {
                std::lock_guard g(mu_);
                worker_last_out_ = x;
                return cache_.wanted(x);
            };
            auto store = [&](std::int64_t x, const FramePtr& f) {
                std::vector<FramePtr> dropped;
                {
                    std::lock_guard g(mu_);
                    dropped = cache_.put(x, f);
                }
                cv_.notify_all();
            };
            auto abandon = [&] {
                std::lock_guard g(mu_);
                return stop_ || !cache_.in_window(q);
            };
            FramePtr out;
            std::string ignored;
            auto outcome = decoder.decode_to(q, keep, store, abandon, &out, &ignored);
            lock.lock();
            worker_target_ = -1;
            worker_last_out_ = -1;
            cv_.notify_all();
            if (outcome == VideoDecoder::Outcome::Failed && cache_.in_window(q))
                cache_.mark_failed(q);
        }
    }

    const StreamInfo info_;
    const VideoOpenOptions options_;
    const int width_;
    const int height_;

    const std::optional<FileIdentity> identity_;
    const std::string open_problem_;
    std::shared_ptr<PicturePool> pool_;

    mutable std::mutex mu_;  // guards everything below up to the foreground decoder
    std::string worker_problem_;
    std::condition_variable cv_;
    FrameCache cache_;
    std::uint64_t version_ = 0;  // bumped whenever the position moves
    bool moved_ = false;
    bool worker_started_ = false;
    bool stop_ = false;
    bool foreground_busy_ = false;
    std::int64_t worker_target_ = -1;    // the picture the worker decodes towards
    std::int64_t worker_last_out_ = -1;  // the last picture it put out
    std::thread worker_;

    std::mutex foreground_mu_;  // one caller at a time decodes in the foreground
    VideoDecoder foreground_;
};

// Packets as the demuxer's own index lists them, when it has read one

// The first video stream of the file, as the AVI information record counts
// them; a cover picture is no video.
int first_video_stream(const AVFormatContext* fmt) {
    for (unsigned i = 0; i < fmt->nb_streams; ++i) {
        const AVStream* st = fmt->streams[i];
        if (st->codecpar->codec_type == AVMEDIA_TYPE_VIDEO &&
            !(st->disposition & AV_DISPOSITION_ATTACHED_PIC))
            return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

std::unique_ptr<VideoFile> open_ffmpeg_video(const std::string& path,
                                             const VideoOpenOptions& options, std::string* error) {
    auto refuse = [&](const std::string& why) -> std::unique_ptr<VideoFile> {
        if (error)
            *error = "cannot open " + path + ": " + why;
        return nullptr;
    };
    std::string why;
    if (!is_regular_file(path, &why))
        return refuse(why);
    const std::optional<FileIdentity> identity = file_identity(path);
    if (!identity)
        return refuse("it is not a file that can be read");
    FormatPtr fmt = open_container(path, error);
    if (!fmt)
        return nullptr;
    StreamInfo info;
    info.path = path;
    info.avi = std::strcmp(fmt->iformat->name, "avi") == 0;

    int si = first_video_stream(fmt.get());
    // An AVI's headers say all a decoder needs; probing would decode
    // pictures only to learn what the decoder learns anyway.
    if (si < 0 || !info.avi || fmt->streams[si]->codecpar->codec_id == AV_CODEC_ID_NONE ||
        fmt->streams[si]->codecpar->width <= 0 || fmt->streams[si]->codecpar->height <= 0) {
        int r = avformat_find_stream_info(fmt.get(), nullptr);
        if (r < 0)
            return refuse(av_error_text(r));
        si = first_video_stream(fmt.get());
    }
    if (si < 0)
        return refuse("no video stream");
    AVStream* st = fmt->streams[si];
    info.stream = si;
    info.time_base = st->time_base;
    info.params.reset(avcodec_parameters_alloc());
    if (!info.params || avcodec_parameters_copy(info.params.get(), st->codecpar) < 0)
        return refuse("out of memory");
    const int width = st->codecpar->width;
    const int height = st->codecpar->height;
    if (!avcodec_find_decoder(st->codecpar->codec_id))
        return refuse(kNoDecoderText);
    if (width <= 0 || height <= 0)
        return refuse("the video has no picture size");
    if (width > kMaxPictureSide || height > kMaxPictureSide) {
        return refuse("its pictures are " + std::to_string(width) + " x " + std::to_string(height) +
                      " pixels; pictures up to " + std::to_string(kMaxPictureSide) +
                      " pixels a side can be shown");
    }

    // Frames per second as the stream declares it. An AVI's time base is its
    // scale / rate, exactly.
    AVRational rate = info.avi ? av_inv_q(st->time_base) : st->avg_frame_rate;
    if (rate.num <= 0 || rate.den <= 0)
        rate = st->r_frame_rate;
    if (rate.num <= 0 || rate.den <= 0)
        rate = av_inv_q(st->time_base);
    info.rate = rate.num > 0 && rate.den > 0 ? av_q2d(rate) : 0;
    const double tb = av_q2d(st->time_base);
    const double frame_duration = info.rate > 0 && tb > 0 ? 1.0 / (info.rate * tb) : 0;

    PacketScan scan = read_packet_index(fmt.get(), si, path, info.avi);
    if (info.avi) {
        // AVI stores no presentation times: what the demuxer reports is made
        // up from the decode order.
        for (auto& p : scan.packets)
            p.pts = kNoTime;
    }
    info.index = FrameIndex::build(scan.packets, frame_duration);
    if (info.index.damaged())
        return refuse("its frame times are out of range");
    switch (info.params->codec_id) {
        case AV_CODEC_ID_MPEG1VIDEO:
        case AV_CODEC_ID_MPEG2VIDEO:
        case AV_CODEC_ID_MPEG4:
            if (info.index.decoder_orders() && info.index.gop_count() < info.index.packet_count())
                info.lead_gops = 1;
            break;
        default:
            break;
    }
    info.index_incomplete = scan.index_incomplete;
    if (scan.scanned && info.index.decoder_orders() && info.index.picture_count() > 0) {
        // Read without an index: the file may end in the middle of a group.
        // What decodes at its end tells how many frames it holds.
        VideoDecoder tail(info, nullptr);
        FormatPtr own = open_container(path, error);
        if (!own)
            return nullptr;
        if (tail.open(std::move(own), error, 1)) {
            const std::int64_t decodable = tail.decodable_pictures();
            if (decodable >= 0 && decodable < info.index.picture_count())
                info.index.limit_pictures(decodable);
        }
    }
    if (info.index.frame_count() == 0)
        return refuse(scan.problem.empty() ? "the file holds no frames" : scan.problem);

    auto file = std::make_unique<FfmpegVideoFile>(std::move(info), options, width, height, identity,
                                                  scan.problem);
    if (!file->open_foreground(std::move(fmt), error, decoding_threads()))
        return nullptr;
    return file;
}

std::unique_ptr<VideoFile> VideoFile::open(const std::string& path, std::string* error) {
    return open_ffmpeg_video(path, VideoOpenOptions{}, error);
}

}  // namespace rs
