#include "platform/video_decoder.h"

#include <algorithm>
#include <new>

#include "platform/file_reader.h"
#include "platform/packet_index.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace rs {

namespace {

// The demuxer landed after the key packet it was asked for.
constexpr int kLandedLate = FFERRTAG('R', 'S', 'L', 'T');

bool is_key_picture(const AVFrame* f, bool intra_only) {
    return intra_only || f->key_frame || f->pict_type == AV_PICTURE_TYPE_I;
}

}  // namespace

FormatPtr open_container(const std::string& path, std::string* error) {
    // Only a regular file is a video: FFmpeg's own open would wait forever
    // on a FIFO with no writer. The name is read as a file name, never as
    // another protocol ("pipe:0", "http://"), and nothing the file names
    // is fetched from anywhere but files.
    std::string why;
    if (!is_regular_file(path, &why)) {
        if (error)
            *error = "cannot open " + path + ": " + why;
        return nullptr;
    }
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    AVFormatContext* raw = nullptr;
    int r = avformat_open_input(&raw, ("file:" + path).c_str(), nullptr, &options);
    av_dict_free(&options);
    if (r < 0) {
        if (error)
            *error = "cannot open " + path + ": " + av_error_text(r);
        return nullptr;
    }
    return FormatPtr(raw);
}

VideoDecoder::VideoDecoder(const StreamInfo& info, std::shared_ptr<PicturePool> pool)
    : info_(info),
      pool_(pool ? std::move(pool) : PicturePool::create()),
      key_truth_(static_cast<size_t>(info.index.gop_count()), 0) {}

bool VideoDecoder::open(FormatPtr fmt, std::string* error, int threads) {
    fmt_ = fmt ? std::move(fmt) : open_container(info_.path, error);
    if (!fmt_)
        return false;
    if (info_.stream >= static_cast<int>(fmt_->nb_streams)) {
        if (error)
            *error = "cannot open " + info_.path + ": the video stream is gone";
        return false;
    }
    if (info_.index_incomplete) {
        std::vector<PacketInfo> packets;
        for (std::int64_t p = 0; p < info_.index.packet_count(); ++p)
            packets.push_back(info_.index.packet(p));
        add_seek_points(fmt_->streams[info_.stream], info_.avi, packets);
    }
    const AVCodec* codec = avcodec_find_decoder(info_.params->codec_id);
    if (!codec) {
        if (error)
            *error = "cannot open " + info_.path + ": " + kNoDecoderText;
        return false;
    }
    codec_.reset(avcodec_alloc_context3(codec));
    packet_.reset(av_packet_alloc());
    frame_.reset(av_frame_alloc());
    previous_.reset(av_frame_alloc());
    if (!codec_ || !packet_ || !frame_ || !previous_) {
        if (error)
            *error = "cannot open " + info_.path + ": out of memory";
        return false;
    }
    int r = avcodec_parameters_to_context(codec_.get(), info_.params.get());
    if (r >= 0) {
        codec_->thread_count = threads;
        codec_->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
        codec_->pkt_timebase = info_.time_base;
        // A picture larger than the headers said is refused by the decoder
        // before it allocates it.
        codec_->max_pixels = static_cast<std::int64_t>(kMaxPictureSide) * kMaxPictureSide;
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
    const AVCodecDescriptor* d = avcodec_descriptor_get(info_.params->codec_id);
    intra_only_ = d && (d->props & AV_CODEC_PROP_INTRA_ONLY);
    return true;
}

std::int64_t VideoDecoder::seek_cost(std::int64_t q) const {
    const FrameIndex& ix = info_.index;
    const std::int64_t start = start_group_for(q);
    const std::int64_t first = ix.decoder_orders() ? ix.first_picture_of_gop(start)
                                                   : ix.picture_of_packet(ix.key_packet(start));
    return q - std::min(first, q) + 1;
}

std::int64_t VideoDecoder::cost_to(std::int64_t q) const {
    return continues_to(q) ? q - last_out_ : seek_cost(q);
}

// Going on from where the decoder stands beats a seek when fewer pictures
// lie between (always so for the next step forwards; never for a jump in an
// intra-only stream, where a seek costs one picture).
bool VideoDecoder::continues_to(std::int64_t q) const {
    return live_ && last_out_ >= 0 && last_out_ < q && q - last_out_ <= seek_cost(q);
}

VideoDecoder::Outcome VideoDecoder::fail(std::string* error, const std::string& text) {
    live_ = false;
    if (error)
        *error = text;
    return Outcome::Failed;
}

// A picture that comes out damaged or not at all after a seek to its own
// group may need the group before.
bool VideoDecoder::may_start_earlier(std::int64_t q) const {
    return fresh_gop_ > 0 && fresh_gop_ == info_.index.gop_of_picture(q);
}

// The group a decode of picture q starts at: its own (or the one before for
// the decoders that need it), passing over keys known to be false.
std::int64_t VideoDecoder::start_group_for(std::int64_t q) const {
    std::int64_t g = std::max<std::int64_t>(0, info_.index.gop_of_picture(q) - info_.lead_gops);
    while (g > 0 && key_truth_[static_cast<size_t>(g)] < 0)
        --g;
    return g;
}

// After a false key at group g: an earlier start, going back twice as far
// each time, so a file whose every packet claims to be a key is not decoded
// once per packet back to the real one.
std::int64_t VideoDecoder::earlier_start(std::int64_t g) {
    std::int64_t s = std::max<std::int64_t>(0, g - back_step_);
    back_step_ *= 2;
    while (s > 0 && key_truth_[static_cast<size_t>(s)] < 0)
        --s;
    return s;
}

VideoDecoder::Outcome VideoDecoder::decode_to(std::int64_t q, const Keep& keep, const Store& store,
                                              const Abandon& abandon, FramePtr* out,
                                              std::string* error) {
    try {
        return decode(q, keep, store, abandon, out, error);
    } catch (const std::bad_alloc&) {
        return fail(error, "cannot decode frame " + std::to_string(q) + " of " + info_.path +
                               ": out of memory");
    }
}

VideoDecoder::Outcome VideoDecoder::decode(std::int64_t q, const Keep& keep, const Store& store,
                                           const Abandon& abandon, FramePtr* out,
                                           std::string* error) {
    std::int64_t start = start_group_for(q);
    bool carry_on = continues_to(q);
    back_step_ = 1;
    for (int attempt = 0; attempt < 40; ++attempt) {
        if (!carry_on) {
            int r = start_at(start);
            if (r < 0)
                return fail(error, "cannot seek in " + info_.path + ": " + av_error_text(r));
        }
        carry_on = false;
        auto result = run(q, keep, store, abandon, out, error);
        if (result == Run::Failed && error && error->empty())
            *error = "cannot decode frame " + std::to_string(q) + " of " + info_.path;
        if (result != Run::Retry) {
            return result == Run::Done      ? Outcome::Done
                   : result == Run::Abandon ? Outcome::Abandoned
                                            : Outcome::Failed;
        }
        // The picture depends on pictures before the group (an open group,
        // or a key flag on a picture that is none): start earlier.
        if (fresh_gop_ <= 0)
            break;
        start = earlier_start(fresh_gop_);
    }
    return fail(error, "cannot decode frame " + std::to_string(q) + " of " + info_.path);
}

int VideoDecoder::start_at(std::int64_t g) {
    const FrameIndex& ix = info_.index;
    const std::int64_t key = ix.key_packet(g);
    const PacketInfo& k = ix.packet(key);
    // Containers index their key packets by decode time (AVI, MP4) or by
    // presentation time (Matroska); landing early is harmless, the packets
    // before the key are read past.
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
    av_frame_unref(previous_.get());
    previous_pic_ = -1;
    untrusted_gop_ = info_.lead_gops > 0 && g > 0 ? g : -1;
    skip_until_ = key;
    live_ = true;
    draining_ = false;
    last_out_ = -1;
    count_gop_ = -1;
    count_ = 0;
    fresh_gop_ = g;
    rewound_ = false;
    key_seen_ = false;
    return 0;
}

// The next packet of the stream, stamped with its packet number so the
// picture it holds can be told when it comes out of the decoder, even
// reordered.
int VideoDecoder::next_packet() {
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

// A decoder that puts pictures out in the order their packets went in (no
// B-pictures) tells each picture by the packet it came from, so a packet
// that makes no picture (a frame not coded, a damaged packet) shifts
// nothing. A reordering one, in a container without presentation times,
// can only be counted.
bool VideoDecoder::by_packet() const {
    return info_.index.decoder_orders() && reorders_ == 0;
}

// Known once the decoder has read the stream's headers: at the first
// picture it puts out. A codec that cannot reorder never does; one that
// can says so through its reorder delay.
void VideoDecoder::learn_reordering() {
    if (reorders_ > 0)
        return;
    const AVCodecDescriptor* d = avcodec_descriptor_get(info_.params->codec_id);
    const bool can = d && (d->props & AV_CODEC_PROP_REORDER);
    if (reorders_ < 0 || (can && codec_->has_b_frames > 0))
        reorders_ = can && codec_->has_b_frames > 0 ? 1 : 0;
}

// The picture a decoded frame is; -1 when it is none of the indexed ones.
std::int64_t VideoDecoder::identify(const AVFrame* f) {
    const FrameIndex& ix = info_.index;
    const std::int64_t p = f->pts;
    const bool known = p != AV_NOPTS_VALUE && p >= 0 && p < ix.packet_count();
    if (!ix.decoder_orders())
        return known ? ix.picture_of_packet(p) : -1;
    if (by_packet())
        return known && p < ix.picture_count() ? p : -1;
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

FramePtr VideoDecoder::convert(const AVFrame* f) {
    if (f->width <= 0 || f->height <= 0 || f->width > kMaxPictureSide ||
        f->height > kMaxPictureSide)
        return nullptr;
    auto fmt = static_cast<AVPixelFormat>(f->format);
    bool full_range = f->color_range == AVCOL_RANGE_JPEG;
    // The JPEG formats are the plain ones at full range; swscale wants the
    // range said explicitly.
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
        sws_.reset(sws_getContext(f->width, f->height, fmt, f->width, f->height, AV_PIX_FMT_BGR24,
                                  SWS_BILINEAR, nullptr, nullptr, nullptr));
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
    auto pic = pool_->make(f->width, f->height);
    uint8_t* dst[4] = {pic->bgr.data(), nullptr, nullptr, nullptr};
    int dst_stride[4] = {f->width * 3, 0, 0, 0};
    if (sws_scale(sws_.get(), f->data, f->linesize, 0, f->height, dst, dst_stride) != f->height)
        return nullptr;
    return pic;
}

// The loop of FFmpeg's demuxing_decoding example: take every frame the
// decoder has ready, then feed it the next packet; at the end of the
// stream, flush it.
VideoDecoder::Run VideoDecoder::run(std::int64_t q, const Keep& keep, const Store& store,
                                    const Abandon& abandon, FramePtr* out, std::string* error) {
    // Picture q made no picture of its own (its packet was not coded or
    // was damaged): the frame shows the picture before it, as a player does.
    auto stand_in = [&]() -> Run {
        if (previous_pic_ < 0 || previous_pic_ >= q ||
            info_.index.gop_of_picture(previous_pic_) != info_.index.gop_of_picture(q)) {
            return Run::Failed;
        }
        FramePtr made = convert(previous_.get());
        if (!made)
            return Run::Failed;
        store(q, made);
        *out = made;
        return Run::Done;
    };
    for (;;) {
        for (;;) {
            int r = avcodec_receive_frame(codec_.get(), frame_.get());
            if (r == AVERROR(EAGAIN))
                break;
            if (r == AVERROR_EOF) {
                live_ = false;
                if (by_packet() && stand_in() == Run::Done)
                    return Run::Done;
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
            learn_reordering();
            // The first picture after a seek shows whether the group's key
            // flag told the truth.
            const bool first_out = last_out_ < 0 && !key_seen_ && previous_pic_ < 0;
            const bool key_picture = is_key_picture(frame_.get(), intra_only_);
            if (first_out && !key_picture && fresh_gop_ > 0) {
                key_truth_[static_cast<size_t>(fresh_gop_)] = -1;
                av_frame_unref(frame_.get());
                live_ = false;
                return Run::Retry;
            }
            if (first_out && key_picture && fresh_gop_ >= 0)
                key_truth_[static_cast<size_t>(fresh_gop_)] = 1;
            key_seen_ = key_seen_ || key_picture;
            const std::int64_t pic = identify(frame_.get());
            // Before any key picture a delta picture stands on a grey
            // reference: it is not a picture of the video.
            const bool corrupt = (frame_->flags & AV_FRAME_FLAG_CORRUPT) != 0 ||
                                 frame_->decode_error_flags != 0 || !key_seen_;
            FramePtr made;
            if (pic >= 0) {
                if (pic > q && by_packet() && last_out_ < q) {
                    // q's packet made no picture.
                    av_frame_unref(frame_.get());
                    live_ = false;
                    if (stand_in() == Run::Done)
                        return Run::Done;
                    if (error)
                        *error =
                            "frame " + std::to_string(q) + " of " + info_.path + " made no picture";
                    return Run::Failed;
                }
                last_out_ = pic;
                if (pic == q && corrupt && may_start_earlier(q)) {
                    av_frame_unref(frame_.get());
                    return Run::Retry;
                }
                if (pic == q || (!corrupt && keep(pic)))
                    made = convert(frame_.get());
                if (by_packet() && !corrupt) {
                    av_frame_unref(previous_.get());
                    av_frame_ref(previous_.get(), frame_.get());
                    previous_pic_ = pic;
                }
            }
            av_frame_unref(frame_.get());
            if (pic < 0)
                continue;
            if (made && pic != q)
                store(pic, made);
            if (pic == q) {
                if (!made) {
                    if (error)
                        *error = corrupt ? "frame " + std::to_string(q) + " of " + info_.path +
                                               " depends on pictures the file does not hold"
                                         : "cannot convert frame " + std::to_string(q) + " of " +
                                               info_.path;
                    return Run::Failed;
                }
                if (corrupt && !key_seen_) {
                    if (error)
                        *error = "frame " + std::to_string(q) + " of " + info_.path +
                                 " depends on pictures the file does not hold";
                    return Run::Failed;
                }
                if (!corrupt)
                    store(pic, made);
                *out = made;
                return Run::Done;
            }
            if (pic > q && !info_.index.decoder_orders()) {
                // The decoder skipped the picture: its references lie in the
                // group before.
                if (may_start_earlier(q))
                    return Run::Retry;
                if (error)
                    *error = "frame " + std::to_string(q) + " of " + info_.path +
                             " depends on pictures the file does not hold";
                return Run::Failed;
            }
            if (abandon())
                return Run::Abandon;
        }
        if (draining_) {
            live_ = false;
            if (by_packet() && stand_in() == Run::Done)
                return Run::Done;
            if (error)
                *error = "frame " + std::to_string(q) + " of " + info_.path + " is not in the file";
            return Run::Failed;
        }
        int r = next_packet();
        if (r == kLandedLate) {
            // Seek to the very start and read forwards to the key packet.
            const auto& first = info_.index.packet(0);
            std::int64_t ts = first.dts != kNoTime ? first.dts : first.pts;
            if (rewound_ || av_seek_frame(fmt_.get(), info_.stream, ts, AVSEEK_FLAG_BACKWARD) < 0) {
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

std::int64_t VideoDecoder::decodable_pictures() {
    const FrameIndex& ix = info_.index;
    const std::int64_t count = ix.picture_count();
    if (count == 0)
        return 0;
    std::int64_t best = -1;
    auto keep = [&](std::int64_t x) {
        best = std::max(best, x);
        return false;
    };
    auto store = [](std::int64_t, const FramePtr&) {};
    try {
        // The last picture; when it does not come out, what came out before
        // it, or failing that the group before.
        std::int64_t target = count - 1;
        for (int tries = 0; tries < 4 && target >= 0 && best < 0; ++tries) {
            FramePtr out;
            std::string ignored;
            if (decode(
                    target, keep, store, [] { return false; }, &out, &ignored) == Outcome::Done) {
                best = target;
                break;
            }
            const std::int64_t g = ix.gop_of_picture(target);
            target = (ix.decoder_orders() ? ix.first_picture_of_gop(g)
                                          : ix.picture_of_packet(ix.key_packet(g))) -
                     1;
        }
    } catch (const std::bad_alloc&) {
        return -1;
    }
    live_ = false;
    if (best < 0)
        return -1;
    // A reordering stream counted without timestamps: the reference put out
    // last may have lost B-pictures shown before it, so its frame is not
    // certain.
    if (ix.decoder_orders() && reorders_ > 0)
        return best;
    return best + 1;
}

}  // namespace rs
