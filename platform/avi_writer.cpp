#include "platform/avi_writer.h"

#include <cmath>
#include <cstring>

#include "platform/ffmpeg_holders.h"

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/mathematics.h>
}

namespace rs {

using ffmpeg::AvFramePtr;
using ffmpeg::CodecPtr;
using ffmpeg::error_text;
using ffmpeg::OutputFormatPtr;
using ffmpeg::PacketPtr;
using ffmpeg::SwsPtr;

bool jpeg_picture_size(const std::uint8_t* data, std::size_t size, int* width, int* height) {
    if (!data || size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return false;
    std::size_t i = 2;
    while (i + 4 <= size) {
        if (data[i] != 0xFF)
            return false;
        const std::uint8_t marker = data[i + 1];
        if (marker == 0xFF) {  // fill byte before a marker
            ++i;
            continue;
        }
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            i += 2;  // markers without a length
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA)  // end of image, or scan data before a frame header
            return false;
        const std::size_t length = (std::size_t{data[i + 2]} << 8) | data[i + 3];
        if (length < 2 || i + 2 + length > size)
            return false;
        const bool frame_header =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame_header) {
            if (length < 8)
                return false;
            const std::uint8_t* p = data + i + 4;
            *height = (p[1] << 8) | p[2];
            *width = (p[3] << 8) | p[4];
            return true;
        }
        i += 2 + length;
    }
    return false;
}

struct AviWriter::Impl {
    std::string path;
    AviWriterOptions options;
    OutputFormatPtr format;
    CodecPtr encoder;
    SwsPtr scaler;
    AvFramePtr frame;
    PacketPtr packet;
    AVStream* stream = nullptr;  // owned by format
    AVRational frame_time{1, 30};
    std::int64_t written = 0;
    bool finished = false;
    bool broken = false;  // a write failed: the file ends where it ended

    bool fail(std::string* error, const std::string& reason) const {
        if (error)
            *error = path + ": " + reason;
        return false;
    }
    bool fail(std::string* error, const std::string& what, int err) const {
        return fail(error, what + ": " + error_text(err));
    }

    bool usable(std::string* error) const {
        if (finished)
            return fail(error, "the video is already finished");
        if (broken)
            return fail(error, "an earlier frame could not be written");
        return true;
    }

    // Writes one packet whose time stamp counts frames, and hands it to the
    // operating system so the frame survives the program.
    bool store(AVPacket* pkt, std::string* error) {
        pkt->stream_index = stream->index;
        pkt->pts = pkt->dts = written;
        pkt->duration = 1;
        av_packet_rescale_ts(pkt, frame_time, stream->time_base);
        pkt->flags |= AV_PKT_FLAG_KEY;
        int r = av_write_frame(format.get(), pkt);
        if (r < 0) {
            broken = true;
            return fail(error, "cannot write frame " + std::to_string(written), r);
        }
        avio_flush(format->pb);
        if (format->pb->error < 0) {
            broken = true;
            return fail(error, "cannot write frame " + std::to_string(written), format->pb->error);
        }
        ++written;
        return true;
    }
};

AviWriter::AviWriter(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

AviWriter::~AviWriter() {
    if (impl_ && !impl_->finished)
        (void)finish(nullptr);
}

std::unique_ptr<AviWriter> AviWriter::create(const std::string& path,
                                             const AviWriterOptions& options, std::string* error) {
    auto impl = std::make_unique<Impl>();
    impl->path = path;
    impl->options = options;
    if (options.width <= 0 || options.height <= 0 || options.width > 16384 ||
        options.height > 16384) {
        impl->fail(error, "no picture size " + std::to_string(options.width) + "x" +
                              std::to_string(options.height));
        return nullptr;
    }
    if (options.rate_num <= 0 || options.rate_den <= 0) {
        impl->fail(error, "no frame rate " + std::to_string(options.rate_num) + "/" +
                              std::to_string(options.rate_den));
        return nullptr;
    }
    if (options.quality < 1 || options.quality > 100) {
        impl->fail(error,
                   "the quality " + std::to_string(options.quality) + " is not between 1 and 100");
        return nullptr;
    }
    impl->frame_time = av_inv_q(AVRational{options.rate_num, options.rate_den});

    AVFormatContext* raw = nullptr;
    int r = avformat_alloc_output_context2(&raw, nullptr, "avi", path.c_str());
    if (r < 0 || !raw) {
        impl->fail(error, "cannot prepare an AVI file", r);
        return nullptr;
    }
    impl->format.reset(raw);

    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
    if (!codec) {
        impl->fail(error, "this FFmpeg has no MJPEG encoder");
        return nullptr;
    }
    impl->encoder.reset(avcodec_alloc_context3(codec));
    if (!impl->encoder) {
        impl->fail(error, "out of memory");
        return nullptr;
    }
    AVCodecContext* enc = impl->encoder.get();
    enc->width = options.width;
    enc->height = options.height;
    enc->pix_fmt = AV_PIX_FMT_YUVJ420P;
    enc->color_range = AVCOL_RANGE_JPEG;
    enc->time_base = impl->frame_time;
    enc->framerate = AVRational{options.rate_num, options.rate_den};
    // Quality 100 is quantizer 1, quality 1 is quantizer 31.
    const int q = static_cast<int>(std::lround(1 + (100 - options.quality) * 30.0 / 99.0));
    enc->flags |= AV_CODEC_FLAG_QSCALE;
    enc->global_quality = FF_QP2LAMBDA * q;
    enc->qmin = 1;
    enc->qmax = 31;
    if (impl->format->oformat->flags & AVFMT_GLOBALHEADER)
        enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    r = avcodec_open2(enc, codec, nullptr);
    if (r < 0) {
        impl->fail(error, "cannot start the MJPEG encoder", r);
        return nullptr;
    }

    impl->stream = avformat_new_stream(impl->format.get(), nullptr);
    if (!impl->stream) {
        impl->fail(error, "out of memory");
        return nullptr;
    }
    r = avcodec_parameters_from_context(impl->stream->codecpar, enc);
    if (r < 0) {
        impl->fail(error, "cannot describe the video stream", r);
        return nullptr;
    }
    impl->stream->time_base = impl->frame_time;
    impl->stream->avg_frame_rate = enc->framerate;
    impl->stream->r_frame_rate = enc->framerate;

    r = avio_open(&impl->format->pb, path.c_str(), AVIO_FLAG_WRITE);
    if (r < 0) {
        impl->fail(error, "cannot create the file", r);
        return nullptr;
    }
    r = avformat_write_header(impl->format.get(), nullptr);
    if (r < 0) {
        impl->fail(error, "cannot write the AVI headers", r);
        return nullptr;
    }
    avio_flush(impl->format->pb);

    impl->frame.reset(av_frame_alloc());
    impl->packet.reset(av_packet_alloc());
    if (!impl->frame || !impl->packet) {
        impl->fail(error, "out of memory");
        return nullptr;
    }
    impl->frame->format = enc->pix_fmt;
    impl->frame->width = enc->width;
    impl->frame->height = enc->height;
    impl->frame->color_range = AVCOL_RANGE_JPEG;
    r = av_frame_get_buffer(impl->frame.get(), 0);
    if (r < 0) {
        impl->fail(error, "out of memory", r);
        return nullptr;
    }
    // The encoder's full-range planes are converted to as plain 4:2:0 planes
    // with the range stated, the way the scaler wants it.
    impl->scaler.reset(sws_getContext(options.width, options.height, AV_PIX_FMT_BGR24,
                                      options.width, options.height, AV_PIX_FMT_YUV420P,
                                      SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INP, nullptr,
                                      nullptr, nullptr));
    const int* bt601 = sws_getCoefficients(SWS_CS_ITU601);
    if (!impl->scaler ||
        sws_setColorspaceDetails(impl->scaler.get(), bt601, 1, bt601, 1, 0, 1 << 16, 1 << 16) < 0) {
        impl->fail(error, "cannot convert pictures to the encoder's colours");
        return nullptr;
    }
    return std::unique_ptr<AviWriter>(new AviWriter(std::move(impl)));
}

bool AviWriter::write_picture(const Picture24& picture, std::string* error) {
    Impl& m = *impl_;
    if (!m.usable(error))
        return false;
    if (picture.width != m.options.width || picture.height != m.options.height ||
        picture.bgr.size() != static_cast<std::size_t>(picture.width) * picture.height * 3) {
        return m.fail(error, "a picture of " + std::to_string(picture.width) + "x" +
                                 std::to_string(picture.height) + " does not fit a video of " +
                                 std::to_string(m.options.width) + "x" +
                                 std::to_string(m.options.height));
    }
    // The encoder may still hold the last frame's buffer.
    int r = av_frame_make_writable(m.frame.get());
    if (r < 0)
        return m.fail(error, "out of memory", r);
    const std::uint8_t* src[1] = {picture.bgr.data()};
    const int src_stride[1] = {picture.width * 3};
    sws_scale(m.scaler.get(), src, src_stride, 0, picture.height, m.frame->data, m.frame->linesize);
    m.frame->pts = m.written;
    m.frame->quality = m.encoder->global_quality;
    r = avcodec_send_frame(m.encoder.get(), m.frame.get());
    if (r < 0)
        return m.fail(error, "cannot encode frame " + std::to_string(m.written), r);
    for (;;) {
        r = avcodec_receive_packet(m.encoder.get(), m.packet.get());
        if (r == AVERROR(EAGAIN) || r == AVERROR_EOF)
            return true;
        if (r < 0)
            return m.fail(error, "cannot encode frame " + std::to_string(m.written), r);
        const bool ok = m.store(m.packet.get(), error);
        av_packet_unref(m.packet.get());
        if (!ok)
            return false;
    }
}

bool AviWriter::write_jpeg(const std::uint8_t* data, std::size_t size, std::string* error) {
    Impl& m = *impl_;
    if (!m.usable(error))
        return false;
    int w = 0, h = 0;
    if (!jpeg_picture_size(data, size, &w, &h))
        return m.fail(error, "frame " + std::to_string(m.written) + " is not a JPEG picture");
    if (w != m.options.width || h != m.options.height) {
        return m.fail(error, "a JPEG picture of " + std::to_string(w) + "x" + std::to_string(h) +
                                 " does not fit a video of " + std::to_string(m.options.width) +
                                 "x" + std::to_string(m.options.height));
    }
    if (size > static_cast<std::size_t>(INT32_MAX - AV_INPUT_BUFFER_PADDING_SIZE))
        return m.fail(error, "frame " + std::to_string(m.written) + " is too large");
    PacketPtr pkt(av_packet_alloc());
    if (!pkt)
        return m.fail(error, "out of memory");
    int r = av_new_packet(pkt.get(), static_cast<int>(size));
    if (r < 0)
        return m.fail(error, "out of memory", r);
    std::memcpy(pkt->data, data, size);
    return m.store(pkt.get(), error);
}

std::int64_t AviWriter::frames_written() const {
    return impl_->written;
}

const std::string& AviWriter::path() const {
    return impl_->path;
}

bool AviWriter::finish(std::string* error) {
    Impl& m = *impl_;
    if (m.finished)
        return true;
    m.finished = true;
    int r = av_write_trailer(m.format.get());
    int closed = avio_closep(&m.format->pb);
    if (r < 0)
        return m.fail(error, "cannot write the index", r);
    if (closed < 0)
        return m.fail(error, "cannot close the file", closed);
    return true;
}

}  // namespace rs
