#pragma once
// Decoding of one video stream to 24-bit pictures, frame-exact by the frame
// index. Each VideoDecoder has its own demuxer and decoder, so the
// foreground and the worker thread of a video file never share FFmpeg
// state. Platform-internal.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ffmpeg_holders.h"
#include "platform/frame_index.h"
#include "platform/picture_pool.h"
#include "platform/video_file.h"

namespace rs {

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
    // the pictures of a reordering stream are numbered by counting what the
    // decoder puts out; MPEG-1/2/4 decoders silently drop the leading
    // B-pictures of an open group when its key picture is the first they
    // see, so for them decoding starts one group earlier, where the count is
    // sound.
    int lead_gops = 0;
    // The file's own index leaves packets out: each demuxer is told where
    // the key packets lie.
    bool index_incomplete = false;
};

// Opens the container; nothing and "cannot open <path>: ..." on failure.
FormatPtr open_container(const std::string& path, std::string* error);

class VideoDecoder {
  public:
    enum class Outcome { Done, Abandoned, Failed };
    using Keep = std::function<bool(std::int64_t)>;
    using Store = std::function<void(std::int64_t, const FramePtr&)>;
    using Abandon = std::function<bool()>;

    VideoDecoder(const StreamInfo& info, std::shared_ptr<PicturePool> pool);

    // Takes over a demuxer already open on the file, or opens one.
    // threads: decoding threads; more than one decodes several pictures at
    // once (frame threading), which shortens a run of decodes from a key
    // picture but delays each output by a picture per extra thread.
    [[nodiscard]] bool open(FormatPtr fmt, std::string* error, int threads = 1);

    // Pictures to decode before picture q comes out.
    std::int64_t cost_to(std::int64_t q) const;

    // Decodes until picture q comes out and returns it in *out. Every
    // picture on the way for which keep() holds is converted and handed to
    // store(); abandon() is asked between pictures. Never throws: running
    // out of memory is a failure like any other.
    Outcome decode_to(std::int64_t q, const Keep& keep, const Store& store, const Abandon& abandon,
                      FramePtr* out, std::string* error);

    // The number of pictures that decode, counted from the last groups of a
    // file that may have been cut short: every picture up to the last one
    // whose frame is certain. -1 when the end cannot be decoded at all.
    std::int64_t decodable_pictures();

  private:
    enum class Run { Done, Abandon, Failed, Retry };

    std::int64_t seek_cost(std::int64_t q) const;
    bool continues_to(std::int64_t q) const;
    Outcome fail(std::string* error, const std::string& text);
    bool may_start_earlier(std::int64_t q) const;
    std::int64_t start_group_for(std::int64_t q) const;
    std::int64_t earlier_start(std::int64_t g);
    int start_at(std::int64_t g);
    int next_packet();
    std::int64_t identify(const AVFrame* f);
    bool by_packet() const;
    void learn_reordering();
    FramePtr convert(const AVFrame* f);
    Run run(std::int64_t q, const Keep& keep, const Store& store, const Abandon& abandon,
            FramePtr* out, std::string* error);
    Outcome decode(std::int64_t q, const Keep& keep, const Store& store, const Abandon& abandon,
                   FramePtr* out, std::string* error);

    const StreamInfo& info_;
    std::shared_ptr<PicturePool> pool_;
    FormatPtr fmt_;
    CodecPtr codec_;
    PacketPtr packet_;
    AvFramePtr frame_;
    AvFramePtr previous_;  // the last picture put out, kept for a packet that makes none
    std::int64_t previous_pic_ = -1;
    SwsPtr sws_;
    int sws_w_ = 0;
    int sws_h_ = 0;
    AVPixelFormat sws_fmt_ = AV_PIX_FMT_NONE;
    bool sws_full_ = false;
    bool intra_only_ = false;     // every picture of the codec is a key picture
    bool live_ = false;           // positioned just after last_out_
    bool draining_ = false;       // the end of the stream was sent
    bool rewound_ = false;        // the last seek had to start from the beginning
    bool key_seen_ = false;       // a key picture came out since the last seek
    std::int64_t last_out_ = -1;  // the last picture put out
    std::int64_t skip_until_ = -1;
    std::int64_t fresh_gop_ = -1;  // the group the last seek went to
    std::int64_t back_step_ = 1;   // how far the next start before a false key goes
    std::int64_t count_gop_ = -1;
    std::int64_t count_ = 0;
    std::int64_t untrusted_gop_ = -1;  // a group started at for its successor
    int reorders_ = -1;                // whether pictures come out reordered; -1 not known yet
    // What each group's key packet turned out to be: 0 not known yet, 1 a
    // key picture, -1 a picture that needs earlier ones (a false key flag).
    std::vector<signed char> key_truth_;
};

}  // namespace rs
