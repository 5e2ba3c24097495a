#include "platform/ffmpeg_video_file.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <mutex>
#include <thread>

#include "platform/frame_cache.h"
#include "platform/frame_index.h"

#if defined(__linux__)
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace rs {

namespace {

struct FormatCloser {
    void operator()(AVFormatContext* f) const { avformat_close_input(&f); }
};
struct CodecFree {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFree {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFree {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct SwsFree {
    void operator()(SwsContext* s) const { sws_freeContext(s); }
};
struct ParametersFree {
    void operator()(AVCodecParameters* p) const { avcodec_parameters_free(&p); }
};
using FormatPtr = std::unique_ptr<AVFormatContext, FormatCloser>;
using CodecPtr = std::unique_ptr<AVCodecContext, CodecFree>;
using AvFramePtr = std::unique_ptr<AVFrame, FrameFree>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFree>;
using SwsPtr = std::unique_ptr<SwsContext, SwsFree>;
using ParametersPtr = std::unique_ptr<AVCodecParameters, ParametersFree>;

std::string av_error_text(int err) {
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(err, buf, sizeof buf);
    return buf;
}

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

// The demuxer landed after the key packet it was asked for.
constexpr int kLandedLate = FFERRTAG('R', 'S', 'L', 'T');

// Pictures the foreground keeps behind the one it was asked for while it
// decodes up to it, so the first steps back after a jump are served at once.
constexpr std::int64_t kKeepBehindOnSeek = 8;

// Picture buffers handed back when the last holder lets go of a picture,
// so that stepping through a video does not allocate (and fault in) several
// megabytes per frame. Pictures may outlive the decoder that made them: the
// pool lives as long as the last of them.
class PicturePool : public std::enable_shared_from_this<PicturePool> {
  public:
    static std::shared_ptr<PicturePool> create() { return std::make_shared<PicturePool>(); }

    std::shared_ptr<Picture24> make(int width, int height) {
        const size_t bytes = static_cast<size_t>(width) * height * 3;
        auto pic = std::make_unique<Picture24>();
        pic->width = width;
        pic->height = height;
        {
            std::lock_guard lock(mu_);
            while (!spare_.empty() && !pic->bgr.capacity()) {
                if (spare_.back().size() == bytes)
                    pic->bgr = std::move(spare_.back());
                spare_.pop_back();
            }
        }
        if (pic->bgr.size() != bytes)
            pic->bgr.resize(bytes);
        std::weak_ptr<PicturePool> home = weak_from_this();
        return std::shared_ptr<Picture24>(pic.release(), [home](Picture24* p) {
            if (auto pool = home.lock())
                pool->give_back(std::move(p->bgr));
            delete p;
        });
    }

  private:
    void give_back(PictureBytes buffer) {
        std::lock_guard lock(mu_);
        if (spare_.size() < kSpares)
            spare_.push_back(std::move(buffer));
    }
    static constexpr size_t kSpares = 4;
    std::mutex mu_;
    std::vector<PictureBytes> spare_;
};

// What every decoder of one file shares; fixed once the file is open.
struct StreamInfo {
    std::string path;
    int stream = -1;
    bool avi = false;
    ParametersPtr params;
    AVRational time_base{0, 1};
    double rate = 0;
    FrameIndex index;
    // Groups a decode starts before the one it wants. Without timestamps
    // the pictures of a group are numbered by counting what the decoder puts
    // out; MPEG-1/2/4 decoders silently drop the leading B-pictures of an
    // open group when its key picture is the first they see, so for them
    // decoding starts one group earlier, where the count is sound.
    int lead_gops = 0;
};

FormatPtr open_container(const std::string& path, std::string* error) {
    AVFormatContext* raw = nullptr;
    int r = avformat_open_input(&raw, path.c_str(), nullptr, nullptr);
    if (r < 0) {
        if (error)
            *error = "cannot open " + path + ": " + av_error_text(r);
        return nullptr;
    }
    return FormatPtr(raw);
}

// Decodes one stream of the file with its own demuxer and decoder, so that
// the foreground and the worker thread never share FFmpeg state.
class Decoder {
  public:
    enum class Outcome { Done, Abandoned, Failed };
    using Keep = std::function<bool(std::int64_t)>;
    using Store = std::function<void(std::int64_t, const FramePtr&)>;
    using Abandon = std::function<bool()>;

    explicit Decoder(const StreamInfo& info) : info_(info) {}

    // Takes over a demuxer already open on the file, or opens one.
    // threads: decoding threads; more than one decodes several pictures at
    // once (frame threading), which shortens a run of decodes from a key
    // picture but delays each output by a picture per extra thread.
    bool open(FormatPtr fmt, std::string* error, int threads = 1) {
        fmt_ = fmt ? std::move(fmt) : open_container(info_.path, error);
        if (!fmt_)
            return false;
        if (info_.stream >= static_cast<int>(fmt_->nb_streams)) {
            if (error)
                *error = "cannot open " + info_.path + ": the video stream is gone";
            return false;
        }
        const AVCodec* codec = avcodec_find_decoder(info_.params->codec_id);
        if (!codec) {
            if (error)
                *error = "cannot open " + info_.path + ": no decoder for this video";
            return false;
        }
        codec_.reset(avcodec_alloc_context3(codec));
        packet_.reset(av_packet_alloc());
        frame_.reset(av_frame_alloc());
        if (!codec_ || !packet_ || !frame_) {
            if (error)
                *error = "cannot open " + info_.path + ": out of memory";
            return false;
        }
        int r = avcodec_parameters_to_context(codec_.get(), info_.params.get());
        if (r >= 0) {
            codec_->thread_count = threads;
            codec_->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
            codec_->pkt_timebase = info_.time_base;
            // Pictures whose references precede the starting key picture
            // (open groups) still come out, marked corrupt, so the count of
            // pictures a group puts out stays right.
            codec_->flags |= AV_CODEC_FLAG_OUTPUT_CORRUPT;
            codec_->flags2 |= AV_CODEC_FLAG2_SHOW_ALL;
            r = avcodec_open2(codec_.get(), codec, nullptr);
        }
        if (r < 0) {
            if (error)
                *error = "cannot open " + info_.path + ": " + av_error_text(r);
            return false;
        }
        return true;
    }

    // Pictures to decode before picture q comes out.
    std::int64_t cost_to(std::int64_t q) const {
        return continues_to(q) ? q - last_out_ : seek_cost(q);
    }

    // Decodes until picture q comes out and returns it in *out. Every
    // picture on the way for which keep() holds is converted and handed to
    // store(); abandon() is asked between pictures.
    Outcome decode_to(std::int64_t q, const Keep& keep, const Store& store, const Abandon& abandon,
                      FramePtr* out, std::string* error) {
        const FrameIndex& ix = info_.index;
        const std::int64_t own = ix.gop_of_picture(q);
        std::int64_t start = std::max<std::int64_t>(0, own - info_.lead_gops);
        bool carry_on = continues_to(q);
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (!carry_on) {
                int r = start_at(start);
                if (r < 0)
                    return fail(error, "cannot seek in " + info_.path + ": " + av_error_text(r));
            }
            carry_on = false;
            auto result = run(q, keep, store, abandon, out, error);
            if (result != Run::Retry) {
                return result == Run::Done      ? Outcome::Done
                       : result == Run::Abandon ? Outcome::Abandoned
                                                : Outcome::Failed;
            }
            // The picture depends on the group before (an open group):
            // start one group earlier.
            if (fresh_gop_ <= 0)
                break;
            start = fresh_gop_ - 1;
        }
        return fail(error, "cannot decode frame " + std::to_string(q) + " of " + info_.path);
    }

  private:
    enum class Run { Done, Abandon, Failed, Retry };

    std::int64_t seek_cost(std::int64_t q) const {
        const FrameIndex& ix = info_.index;
        const std::int64_t own = ix.gop_of_picture(q);
        const std::int64_t first = ix.decoder_orders() ? ix.first_picture_of_gop(own)
                                                       : ix.picture_of_packet(ix.key_packet(own));
        return q - std::min(first, q) + 1;
    }

    // Going on from where the decoder stands beats a seek when fewer
    // pictures lie between (always so for the next step forwards; never for
    // a jump in an intra-only stream, where a seek costs one picture).
    bool continues_to(std::int64_t q) const {
        return live_ && last_out_ >= 0 && last_out_ < q && q - last_out_ <= seek_cost(q);
    }

    Outcome fail(std::string* error, const std::string& text) {
        live_ = false;
        if (error)
            *error = text;
        return Outcome::Failed;
    }

    // A picture that comes out damaged or not at all after a seek to its own
    // group may need the group before.
    bool may_start_earlier(std::int64_t q) const {
        return fresh_gop_ > 0 && fresh_gop_ == info_.index.gop_of_picture(q);
    }

    int start_at(std::int64_t g) {
        const FrameIndex& ix = info_.index;
        const std::int64_t key = ix.key_packet(g);
        const PacketInfo& k = ix.packet(key);
        // Containers index their key packets by decode time (AVI, MP4) or
        // by presentation time (Matroska); landing early is harmless, the
        // packets before the key are read past.
        int r = -1;
        for (std::int64_t ts : {k.dts, k.pts}) {
            if (ts == kNoTime || r >= 0)
                continue;
            r = av_seek_frame(fmt_.get(), info_.stream, ts, AVSEEK_FLAG_BACKWARD);
            if (r < 0)
                r = avformat_seek_file(fmt_.get(), info_.stream, INT64_MIN, ts, ts, 0);
        }
        if (r < 0) {
            // No seek index at all: from the start, reading forwards.
            const PacketInfo& first = ix.packet(0);
            for (std::int64_t ts : {first.dts, first.pts, std::int64_t{0}}) {
                if (ts != kNoTime && r < 0)
                    r = avformat_seek_file(fmt_.get(), info_.stream, INT64_MIN, ts, ts, 0);
            }
            if (r < 0)
                r = av_seek_frame(fmt_.get(), -1, 0, AVSEEK_FLAG_BYTE);
        }
        if (r < 0)
            return r;
        avcodec_flush_buffers(codec_.get());
        untrusted_gop_ = info_.lead_gops > 0 && g > 0 ? g : -1;
        skip_until_ = key;
        live_ = true;
        draining_ = false;
        last_out_ = -1;
        count_gop_ = -1;
        count_ = 0;
        fresh_gop_ = g;
        rewound_ = false;
        return 0;
    }

    // The next packet of the stream, stamped with its packet number so the
    // picture it holds can be told when it comes out of the decoder, even
    // reordered.
    int next_packet() {
        for (;;) {
            int r = av_read_frame(fmt_.get(), packet_.get());
            if (r < 0)
                return r;
            if (packet_->stream_index != info_.stream) {
                av_packet_unref(packet_.get());
                continue;
            }
            std::int64_t p = info_.index.find_packet(
                packet_->dts == AV_NOPTS_VALUE ? kNoTime : packet_->dts,
                packet_->pts == AV_NOPTS_VALUE ? kNoTime : packet_->pts, packet_->pos);
            if (p < 0 || (skip_until_ >= 0 && p < skip_until_)) {
                av_packet_unref(packet_.get());
                continue;
            }
            if (skip_until_ >= 0 && p > skip_until_) {
                av_packet_unref(packet_.get());
                return kLandedLate;
            }
            skip_until_ = -1;
            packet_->pts = p;
            packet_->dts = AV_NOPTS_VALUE;
            return 0;
        }
    }

    // The picture a decoded frame is; -1 when it is none of the indexed ones.
    std::int64_t identify(const AVFrame* f) {
        const FrameIndex& ix = info_.index;
        const std::int64_t p = f->pts;
        const bool known = p != AV_NOPTS_VALUE && p >= 0 && p < ix.packet_count();
        if (!ix.decoder_orders())
            return known ? ix.picture_of_packet(p) : -1;
        const std::int64_t g = known ? ix.gop_of_packet(p) : count_gop_;
        if (g < 0)
            return -1;
        if (g != count_gop_) {
            count_gop_ = g;
            count_ = 0;
        }
        const std::int64_t q = ix.first_picture_of_gop(g) + count_++;
        if (g == untrusted_gop_)
            return -1;  // its leading pictures may be missing from the count
        const std::int64_t end =
            g + 1 < ix.gop_count() ? ix.first_picture_of_gop(g + 1) : ix.picture_count();
        return q < end ? q : -1;
    }

    FramePtr convert(const AVFrame* f) {
        auto fmt = static_cast<AVPixelFormat>(f->format);
        bool full_range = f->color_range == AVCOL_RANGE_JPEG;
        // The JPEG formats are the plain ones at full range; swscale wants
        // the range said explicitly.
        switch (fmt) {
            case AV_PIX_FMT_YUVJ420P:
                fmt = AV_PIX_FMT_YUV420P;
                full_range = true;
                break;
            case AV_PIX_FMT_YUVJ422P:
                fmt = AV_PIX_FMT_YUV422P;
                full_range = true;
                break;
            case AV_PIX_FMT_YUVJ444P:
                fmt = AV_PIX_FMT_YUV444P;
                full_range = true;
                break;
            case AV_PIX_FMT_YUVJ440P:
                fmt = AV_PIX_FMT_YUV440P;
                full_range = true;
                break;
            default:
                break;
        }
        if (!sws_ || sws_w_ != f->width || sws_h_ != f->height || sws_fmt_ != fmt ||
            sws_full_ != full_range) {
            sws_.reset(sws_getContext(f->width, f->height, fmt, f->width, f->height,
                                      AV_PIX_FMT_BGR24, SWS_BILINEAR, nullptr, nullptr, nullptr));
            if (!sws_)
                return nullptr;
            const int* coefs = sws_getCoefficients(SWS_CS_DEFAULT);
            sws_setColorspaceDetails(sws_.get(), coefs, full_range ? 1 : 0, coefs, 1, 0, 1 << 16,
                                     1 << 16);
            sws_w_ = f->width;
            sws_h_ = f->height;
            sws_fmt_ = fmt;
            sws_full_ = full_range;
        }
        SwsContext* s = sws_.get();
        auto pic = pool_->make(f->width, f->height);
        uint8_t* dst[4] = {pic->bgr.data(), nullptr, nullptr, nullptr};
        int dst_stride[4] = {f->width * 3, 0, 0, 0};
        if (sws_scale(s, f->data, f->linesize, 0, f->height, dst, dst_stride) != f->height) {
            return nullptr;
        }
        return pic;
    }

    // The loop of FFmpeg's demuxing_decoding example: take every frame the
    // decoder has ready, then feed it the next packet; at the end of the
    // stream, flush it.
    Run run(std::int64_t q, const Keep& keep, const Store& store, const Abandon& abandon,
            FramePtr* out, std::string* error) {
        for (;;) {
            for (;;) {
                int r = avcodec_receive_frame(codec_.get(), frame_.get());
                if (r == AVERROR(EAGAIN))
                    break;
                if (r == AVERROR_EOF) {
                    live_ = false;
                    if (error)
                        *error = "frame " + std::to_string(q) + " of " + info_.path +
                                 " never came out of the decoder";
                    return Run::Failed;
                }
                if (r < 0) {
                    live_ = false;
                    if (error)
                        *error = "cannot decode " + info_.path + ": " + av_error_text(r);
                    return Run::Failed;
                }
                const std::int64_t pic = identify(frame_.get());
                const bool corrupt =
                    (frame_->flags & AV_FRAME_FLAG_CORRUPT) != 0 || frame_->decode_error_flags != 0;
                FramePtr made;
                if (pic >= 0) {
                    last_out_ = pic;
                    if (pic == q && corrupt && may_start_earlier(q)) {
                        av_frame_unref(frame_.get());
                        return Run::Retry;
                    }
                    if (pic == q || (!corrupt && keep(pic)))
                        made = convert(frame_.get());
                }
                av_frame_unref(frame_.get());
                if (pic < 0)
                    continue;
                if (made && pic != q)
                    store(pic, made);
                if (pic == q) {
                    if (!made) {
                        if (error)
                            *error =
                                "cannot convert frame " + std::to_string(q) + " of " + info_.path;
                        return Run::Failed;
                    }
                    if (!corrupt)
                        store(pic, made);
                    *out = made;
                    return Run::Done;
                }
                if (pic > q && !info_.index.decoder_orders()) {
                    // The decoder skipped the picture: its references lie in
                    // the group before.
                    return may_start_earlier(q) ? Run::Retry : Run::Failed;
                }
                if (abandon())
                    return Run::Abandon;
            }
            if (draining_) {
                live_ = false;
                if (error)
                    *error =
                        "frame " + std::to_string(q) + " of " + info_.path + " is not in the file";
                return Run::Failed;
            }
            int r = next_packet();
            if (r == kLandedLate) {
                // Seek to the very start and read forwards to the key packet.
                const auto& first = info_.index.packet(0);
                std::int64_t ts = first.dts != kNoTime ? first.dts : first.pts;
                if (rewound_ ||
                    av_seek_frame(fmt_.get(), info_.stream, ts, AVSEEK_FLAG_BACKWARD) < 0) {
                    live_ = false;
                    if (error)
                        *error = "cannot seek in " + info_.path;
                    return Run::Failed;
                }
                skip_until_ = info_.index.key_packet(fresh_gop_);
                rewound_ = true;
                continue;
            }
            if (r == AVERROR_EOF) {
                avcodec_send_packet(codec_.get(), nullptr);
                draining_ = true;
                continue;
            }
            if (r < 0) {
                live_ = false;
                if (error)
                    *error = "cannot read " + info_.path + ": " + av_error_text(r);
                return Run::Failed;
            }
            r = avcodec_send_packet(codec_.get(), packet_.get());
            av_packet_unref(packet_.get());
            // A damaged packet costs its picture, not the decode.
            if (r < 0 && r != AVERROR_INVALIDDATA) {
                live_ = false;
                if (error)
                    *error = "cannot decode " + info_.path + ": " + av_error_text(r);
                return Run::Failed;
            }
        }
    }

    const StreamInfo& info_;
    FormatPtr fmt_;
    CodecPtr codec_;
    PacketPtr packet_;
    AvFramePtr frame_;
    SwsPtr sws_;
    int sws_w_ = 0;
    int sws_h_ = 0;
    AVPixelFormat sws_fmt_ = AV_PIX_FMT_NONE;
    bool sws_full_ = false;
    std::shared_ptr<PicturePool> pool_ = PicturePool::create();
    bool live_ = false;           // positioned just after last_out_
    bool draining_ = false;       // the end of the stream was sent
    bool rewound_ = false;        // the last seek had to start from the beginning
    std::int64_t last_out_ = -1;  // the last picture put out
    std::int64_t skip_until_ = -1;
    std::int64_t fresh_gop_ = -1;  // the group the last seek went to
    std::int64_t count_gop_ = -1;
    std::int64_t count_ = 0;
    std::int64_t untrusted_gop_ = -1;  // a group started at for its successor
};

class FfmpegVideoFile final : public VideoFile {
  public:
    FfmpegVideoFile(StreamInfo info, const VideoOpenOptions& options, int width, int height)
        : info_(std::move(info)),
          options_(options),
          width_(width),
          height_(height),
          cache_(static_cast<std::int64_t>(
              options.cache_bytes / std::max<std::size_t>(1, std::size_t(width) * height * 3))),
          foreground_(info_) {}

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
    std::string problem() const override { return info_.index.problem(); }

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
        if (outcome != Decoder::Outcome::Done) {
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
        Decoder decoder(info_);
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
            if (outcome == Decoder::Outcome::Failed && cache_.in_window(q))
                cache_.mark_failed(q);
        }
    }

    const StreamInfo info_;
    const VideoOpenOptions options_;
    const int width_;
    const int height_;

    std::mutex mu_;  // guards everything below up to the foreground decoder
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
    Decoder foreground_;
};

// Packets as the demuxer's own index lists them, when it has read one
// covering the file (an AVI's idx1 or OpenDML index): no data is read.
bool index_from_demuxer(AVStream* st, std::int64_t file_size, std::vector<PacketInfo>* out) {
    const int n = avformat_index_get_entries_count(st);
    if (n <= 0)
        return false;
    out->reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const AVIndexEntry* e = avformat_index_get_entry(st, i);
        if (!e)
            return false;
        if (e->size <= 0)
            continue;  // an empty chunk: a dropped frame
        // An index that points past the end of the file describes data that
        // is not there.
        if (file_size >= 0 && e->pos + e->size > file_size)
            return false;
        PacketInfo p;
        p.dts = e->timestamp;
        p.pos = e->pos;
        p.key = (e->flags & AVINDEX_KEYFRAME) != 0;
        p.discard = (e->flags & AVINDEX_DISCARD_FRAME) != 0;
        out->push_back(p);
    }
    return !out->empty();
}

// Packets as the demuxer delivers them, reading the whole file once.
bool index_by_reading(AVFormatContext* fmt, int stream, std::vector<PacketInfo>* out,
                      std::string* error, const std::string& path) {
    PacketPtr pkt(av_packet_alloc());
    if (!pkt) {
        if (error)
            *error = "cannot open " + path + ": out of memory";
        return false;
    }
    std::vector<bool> corrupt;
    for (;;) {
        int r = av_read_frame(fmt, pkt.get());
        if (r == AVERROR_EOF)
            break;
        if (r < 0)
            break;  // a damaged or cut file: keep what came before
        if (pkt->stream_index == stream) {
            PacketInfo p;
            p.dts = pkt->dts == AV_NOPTS_VALUE ? kNoTime : pkt->dts;
            p.pts = pkt->pts == AV_NOPTS_VALUE ? kNoTime : pkt->pts;
            p.pos = pkt->pos;
            p.key = (pkt->flags & AV_PKT_FLAG_KEY) != 0;
            p.discard = (pkt->flags & AV_PKT_FLAG_DISCARD) != 0;
            out->push_back(p);
            corrupt.push_back((pkt->flags & AV_PKT_FLAG_CORRUPT) != 0);
        }
        av_packet_unref(pkt.get());
    }
    // A file cut in the middle of a picture ends with a short packet.
    while (!corrupt.empty() && corrupt.back()) {
        corrupt.pop_back();
        out->pop_back();
    }
    return true;
}

}  // namespace

std::unique_ptr<VideoFile> open_ffmpeg_video(const std::string& path,
                                             const VideoOpenOptions& options, std::string* error) {
    FormatPtr fmt = open_container(path, error);
    if (!fmt)
        return nullptr;
    StreamInfo info;
    info.path = path;
    info.avi = std::strcmp(fmt->iformat->name, "avi") == 0;

    int si = av_find_best_stream(fmt.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    // An AVI's headers say all a decoder needs; probing would decode
    // pictures only to learn what the decoder learns anyway.
    if (si < 0 || !info.avi || fmt->streams[si]->codecpar->codec_id == AV_CODEC_ID_NONE ||
        fmt->streams[si]->codecpar->width <= 0 || fmt->streams[si]->codecpar->height <= 0) {
        int r = avformat_find_stream_info(fmt.get(), nullptr);
        if (r < 0) {
            if (error)
                *error = "cannot open " + path + ": " + av_error_text(r);
            return nullptr;
        }
        si = av_find_best_stream(fmt.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    }
    if (si < 0) {
        if (error)
            *error = "cannot open " + path + ": no video stream";
        return nullptr;
    }
    AVStream* st = fmt->streams[si];
    info.stream = si;
    info.time_base = st->time_base;
    info.params.reset(avcodec_parameters_alloc());
    if (!info.params || avcodec_parameters_copy(info.params.get(), st->codecpar) < 0) {
        if (error)
            *error = "cannot open " + path + ": out of memory";
        return nullptr;
    }
    const int width = st->codecpar->width;
    const int height = st->codecpar->height;
    if (width <= 0 || height <= 0 || !avcodec_find_decoder(st->codecpar->codec_id)) {
        if (error)
            *error = "cannot open " + path + ": no decoder for this video";
        return nullptr;
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

    std::vector<PacketInfo> packets;
    std::error_code ec;
    auto size = std::filesystem::file_size(path, ec);
    const std::int64_t file_size = ec ? -1 : static_cast<std::int64_t>(size);
    bool indexed = info.avi && index_from_demuxer(st, file_size, &packets);
    if (!indexed) {
        packets.clear();
        if (!index_by_reading(fmt.get(), si, &packets, error, path))
            return nullptr;
    }
    if (info.avi) {
        // AVI stores no presentation times: what the demuxer reports is made
        // up from the decode order.
        for (auto& p : packets)
            p.pts = kNoTime;
    }
    info.index = FrameIndex::build(std::move(packets), frame_duration, !indexed);
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
    if (info.index.frame_count() == 0) {
        if (error)
            *error = "cannot open " + path + ": the file holds no frames";
        return nullptr;
    }

    auto file = std::make_unique<FfmpegVideoFile>(std::move(info), options, width, height);
    if (!file->open_foreground(std::move(fmt), error, decoding_threads()))
        return nullptr;
    return file;
}

std::unique_ptr<VideoFile> VideoFile::open(const std::string& path, std::string* error) {
    return open_ffmpeg_video(path, VideoOpenOptions{}, error);
}

}  // namespace rs
