#pragma once
// Owners of FFmpeg objects, each freed by its own free function, and the
// text of an FFmpeg error code. Included only by platform/ sources: no
// FFmpeg type leaves platform/.

#include <memory>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

namespace rs::ffmpeg {

struct OutputFormatFree {
    // An output context owns the file it writes to only once avio_open
    // opened it; closing it here covers a writer that never finished.
    void operator()(AVFormatContext* f) const {
        if (f && f->pb && !(f->oformat->flags & AVFMT_NOFILE))
            avio_closep(&f->pb);
        avformat_free_context(f);
    }
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

// A demuxer opened by avformat_open_input.
struct InputFormatClose {
    void operator()(AVFormatContext* f) const { avformat_close_input(&f); }
};
struct ParametersFree {
    void operator()(AVCodecParameters* p) const { avcodec_parameters_free(&p); }
};

using OutputFormatPtr = std::unique_ptr<AVFormatContext, OutputFormatFree>;
using InputFormatPtr = std::unique_ptr<AVFormatContext, InputFormatClose>;
using ParametersPtr = std::unique_ptr<AVCodecParameters, ParametersFree>;
using CodecPtr = std::unique_ptr<AVCodecContext, CodecFree>;
using AvFramePtr = std::unique_ptr<AVFrame, FrameFree>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFree>;
using SwsPtr = std::unique_ptr<SwsContext, SwsFree>;

inline std::string error_text(int err) {
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    if (av_strerror(err, buf, sizeof buf) < 0)
        return "error " + std::to_string(err);
    return buf;
}

}  // namespace rs::ffmpeg

namespace rs {

// The names the video reading code uses.
using FormatPtr = ffmpeg::InputFormatPtr;
using ffmpeg::AvFramePtr;
using ffmpeg::CodecPtr;
using ffmpeg::PacketPtr;
using ffmpeg::ParametersPtr;
using ffmpeg::SwsPtr;

inline std::string av_error_text(int err) {
    return ffmpeg::error_text(err);
}

}  // namespace rs
