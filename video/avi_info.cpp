#include "video/avi_info.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "core/text_forms.h"
#include "platform/binary_file.h"

namespace rs {

namespace {

// A header list larger than this is hostile or broken; the main header sits
// in its first bytes, so the rest is not read.
constexpr std::uint64_t kMaxHeaderBytes = 16u << 20;
// A RIFF file has a handful of top-level chunks ("hdrl", "INFO", "JUNK",
// "movi", "idx1"); a walk that meets more stops there.
constexpr int kMaxTopLevelChunks = 4096;
constexpr int kMaxListDepth = 4;
// Bytes of the legacy index scanned for key-frame flags (a million frames of
// video with its audio fit well within this).
constexpr std::uint64_t kMaxIndexScanBytes = 64u << 20;
constexpr std::uint32_t kIndexKeyFrame = 0x10;

bool is_id(const std::uint8_t* p, const char* id) {
    return std::memcmp(p, id, 4) == 0;
}

std::string fourcc_upper(const std::uint8_t* p) {
    std::string s(reinterpret_cast<const char*>(p), 4);
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

struct VideoStream {
    std::uint32_t scale = 0;
    std::uint32_t rate = 0;
    std::uint32_t length = 0;
    std::string handler;            // strh fccHandler, upper case
    bool has_format = false;        // a BITMAPINFOHEADER was found in strf
    std::uint32_t compression = 0;  // biCompression
    std::string compression_fourcc;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

struct ParsedHeaders {
    bool has_avih = false;
    bool avih_short = false;
    std::uint32_t flags = 0;
    std::uint32_t total_frames = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool odml = false;
    int streams = 0;
    int video_index = -1;
    VideoStream video;
};

// Calls fn(id, data offset, data size) for each chunk of buf in [begin, end).
// A chunk whose size passes the end is cut to what is there.
template <typename Fn>
void for_each_chunk(const std::vector<std::uint8_t>& buf, std::size_t begin, std::size_t end,
                    Fn fn) {
    std::size_t pos = begin;
    while (end >= 8 && pos <= end - 8) {
        const std::uint8_t* h = buf.data() + pos;
        std::uint64_t size = le32(h + 4);
        std::size_t data = pos + 8;
        std::size_t avail = end - data;
        std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(size, avail));
        fn(h, data, n);
        std::uint64_t next = static_cast<std::uint64_t>(data) + size + (size & 1);
        if (next > end)
            break;
        pos = static_cast<std::size_t>(next);
    }
}

void parse_stream_list(const std::vector<std::uint8_t>& buf, std::size_t begin, std::size_t end,
                       ParsedHeaders& out) {
    const int index = out.streams++;
    VideoStream vs;
    bool is_video = false;
    // DV recorded as one stream of audio and video interleaved (DV type 1):
    // its frames are the video's, its format a DVINFO record, not a bitmap
    // header.
    bool interleaved_dv = false;
    for_each_chunk(buf, begin, end, [&](const std::uint8_t* id, std::size_t data, std::size_t n) {
        const std::uint8_t* p = buf.data() + data;
        if (is_id(id, "strh") && n >= 36) {
            interleaved_dv = is_id(p, "iavs") || is_id(p, "ivas");
            is_video = is_id(p, "vids") || interleaved_dv;
            vs.handler = fourcc_upper(p + 4);
            vs.scale = le32(p + 20);
            vs.rate = le32(p + 24);
            vs.length = le32(p + 32);
        } else if (is_id(id, "strf") && n >= 20 && !interleaved_dv) {
            vs.has_format = true;
            vs.width = le32(p + 4);
            auto h = static_cast<std::int32_t>(le32(p + 8));
            // A top-down frame stores a negative height.
            vs.height = h < 0 ? 0u - static_cast<std::uint32_t>(h) : static_cast<std::uint32_t>(h);
            vs.compression = le32(p + 16);
            vs.compression_fourcc = fourcc_upper(p + 16);
        }
    });
    if (is_video && out.video_index < 0) {
        out.video_index = index;
        out.video = vs;
    }
}

void parse_header_list(const std::vector<std::uint8_t>& buf, std::size_t begin, std::size_t end,
                       int depth, ParsedHeaders& out) {
    if (depth > kMaxListDepth)
        return;
    for_each_chunk(buf, begin, end, [&](const std::uint8_t* id, std::size_t data, std::size_t n) {
        const std::uint8_t* p = buf.data() + data;
        if (is_id(id, "avih")) {
            if (out.has_avih)
                return;
            out.has_avih = true;
            if (n < 40) {
                out.avih_short = true;
                return;
            }
            out.flags = le32(p + 12);
            out.total_frames = le32(p + 16);
            out.width = le32(p + 32);
            out.height = le32(p + 36);
        } else if (is_id(id, "LIST") && n >= 4) {
            if (is_id(p, "strl")) {
                parse_stream_list(buf, data + 4, data + n, out);
            } else {
                if (is_id(p, "odml"))
                    out.odml = true;
                parse_header_list(buf, data + 4, data + n, depth + 1, out);
            }
        }
    });
}

bool in_list(const std::string& fourcc, std::initializer_list<const char*> list) {
    return std::any_of(list.begin(), list.end(), [&](const char* s) { return fourcc == s; });
}

// Video stored as plain pixels: Windows bitmaps (BI_RGB, BI_BITFIELDS) and
// the packed and planar YUV layouts that carry no compression.
bool is_uncompressed(const VideoStream& v) {
    static const std::initializer_list<const char*> kRaw = {
        "DIB ", "RAW ", "RGB ", "Y800", "Y8  ", "GREY", "YUY2", "YUYV", "UYVY",
        "YVYU", "YV12", "I420", "IYUV", "NV12", "NV21", "Y41P", "YV16", "Y42B"};
    if (v.has_format) {
        return v.compression == 0 || v.compression == 3 || in_list(v.compression_fourcc, kRaw);
    }
    return v.handler == std::string(4, '\0') || in_list(v.handler, kRaw);
}

// Codecs whose every frame is a key frame.
bool is_intra_only(const VideoStream& v) {
    static const std::initializer_list<const char*> kIntra = {
        "MJPG", "AVRN", "LJPG", "JPGL", "DMB1", "MJLS", "HFYU", "FFVH", "FFV1",
        "DVSD", "DV25", "DV50", "CDVC", "UTVD", "MAGY", "APCN", "APCH"};
    if (is_uncompressed(v))
        return true;
    return in_list(v.compression_fourcc, kIntra) || in_list(v.handler, kIntra);
}

enum class IndexKeys { Unknown, AllKey, NotAllKey };

// Scans the legacy index for the chunks of the video stream ("NNdb" or
// "NNdc"): all key frames, not all, or no such entries.
IndexKeys scan_index(const BinaryFile& file, std::uint64_t offset, std::uint64_t size, int stream) {
    if (stream < 0 || stream > 99)
        return IndexKeys::Unknown;
    const char d0 = static_cast<char>('0' + stream / 10);
    const char d1 = static_cast<char>('0' + stream % 10);
    size = std::min(size, kMaxIndexScanBytes);
    size -= size % 16;
    constexpr std::size_t kBlock = 16 * 4096;
    std::vector<std::uint8_t> block(kBlock);
    bool seen = false;
    for (std::uint64_t done = 0; done < size;) {
        std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, size - done));
        if (!file.read_at(offset + done, block.data(), n))
            break;
        for (std::size_t i = 0; i + 16 <= n; i += 16) {
            const std::uint8_t* e = block.data() + i;
            if (e[0] != d0 || e[1] != d1 || e[2] != 'd' || (e[3] != 'b' && e[3] != 'c'))
                continue;
            seen = true;
            if ((le32(e + 4) & kIndexKeyFrame) == 0)
                return IndexKeys::NotAllKey;
        }
        done += n;
    }
    return seen ? IndexKeys::AllKey : IndexKeys::Unknown;
}

std::string yes_no(bool b) {
    return b ? "True" : "False";
}

AviFileInfoRecord read_or_empty(const std::string& path, Dialogs& dialogs) {
    AviFileInfoRecord r;
    if (!ReadAviFileInfo(path, r, dialogs))
        r = AviFileInfoRecord{};
    return r;
}

}  // namespace

bool IsAviFile(const std::string& path, Dialogs& dialogs) {
    auto file = open_reporting(path, dialogs);
    if (!file)
        return false;
    std::uint8_t head[12];
    if (!file->read_at(0, head, 4) || !is_id(head, "RIFF"))
        return false;
    return file->read_at(8, head + 8, 4) && is_id(head + 8, "AVI ");
}

AviReadStatus read_avi_info(const std::string& path, AviFileInfoRecord& record) {
    record = AviFileInfoRecord{};
    auto file = BinaryFile::open(path);
    if (!file)
        return AviReadStatus::CannotOpen;
    std::uint8_t head[12];
    if (!file->read_at(0, head, 12) || !is_id(head, "RIFF") || !is_id(head + 8, "AVI ")) {
        return AviReadStatus::CannotOpen;
    }
    // A capture still being written (or cut off) has a RIFF size of 0 or one
    // that passes the end: the file's own size bounds the walk then.
    const std::uint64_t riff_size = le32(head + 4);
    std::uint64_t end = file->size();
    if (riff_size >= 4)
        end = std::min(end, 8 + riff_size);

    ParsedHeaders hdr;
    bool has_index = false;
    std::uint64_t index_offset = 0;
    std::uint64_t index_size = 0;
    std::uint64_t pos = 12;
    for (int count = 0; count < kMaxTopLevelChunks && pos + 8 <= end; ++count) {
        std::uint8_t ch[12];
        if (!file->read_at(pos, ch, 8))
            break;
        const std::uint64_t size = le32(ch + 4);
        const std::uint64_t data = pos + 8;
        const std::uint64_t avail = std::min(size, end - data);
        if (is_id(ch, "LIST") && avail >= 4 && file->read_at(data, ch + 8, 4) &&
            is_id(ch + 8, "hdrl") && !hdr.has_avih) {
            std::vector<std::uint8_t> buf(
                static_cast<std::size_t>(std::min(avail - 4, kMaxHeaderBytes)));
            if (!file->read_at(data + 4, buf.data(), buf.size()))
                break;
            parse_header_list(buf, 0, buf.size(), 0, hdr);
        } else if (is_id(ch, "idx1") && !has_index) {
            has_index = true;
            index_offset = data;
            index_size = avail;
        }
        pos = data + size + (size & 1);
    }
    if (!hdr.has_avih || hdr.avih_short)
        return AviReadStatus::BadHeader;

    const bool video = hdr.video_index >= 0;
    const VideoStream& v = hdr.video;
    record.dwFlags = hdr.flags;
    record.dwWidth = hdr.width != 0 || !video ? hdr.width : v.width;
    record.dwHeight = hdr.height != 0 || !video ? hdr.height : v.height;
    record.dwScale = video ? v.scale : 0;
    record.dwRate = video ? v.rate : 0;
    // The video stream's own length counts every frame of an OpenDML file;
    // the main header's total covers only the first RIFF part.
    record.dwLength = video && v.length != 0 ? v.length : hdr.total_frames;

    // The capability bits describe what this reader can do with the file:
    // it reads it, and never writes into a recorded video. "No compression"
    // holds when the video stream stores plain pixels. "All key frames"
    // follows the index when it lists the video's chunks, else the codec
    // (intra-only codecs and plain pixels have nothing but key frames).
    record.dwCaps = kAviCapsCanRead;
    if (video) {
        if (is_uncompressed(v))
            record.dwCaps |= kAviCapsNoCompression;
        IndexKeys keys = has_index ? scan_index(*file, index_offset, index_size, hdr.video_index)
                                   : IndexKeys::Unknown;
        if (keys == IndexKeys::AllKey || (keys == IndexKeys::Unknown && is_intra_only(v))) {
            record.dwCaps |= kAviCapsAllKeyFrames;
        }
    }
    // The file type names the container as found; an OpenDML header list
    // marks the extended (over 1 GB) form.
    record.szFileType = hdr.odml ? "AVI file (OpenDML)" : "AVI file";
    return AviReadStatus::Ok;
}

bool ReadAviFileInfo(const std::string& path, AviFileInfoRecord& record, Dialogs& dialogs) {
    const std::string crlf(kCrLf);
    switch (read_avi_info(path, record)) {
        case AviReadStatus::Ok:
            return true;
        case AviReadStatus::CannotOpen:
            dialogs.ok("Unable to open file:" + crlf + path, MsgIcon::Critical);
            return false;
        case AviReadStatus::BadHeader:
            dialogs.ok("Unable to read AVI file info from:" + crlf + path, MsgIcon::Critical);
            return false;
    }
    return false;
}

std::uint32_t avi_frame_rate(std::uint32_t rate, std::uint32_t scale) {
    if (scale == 0)
        return 0;
    const std::uint32_t q = rate / scale;
    const std::uint64_t twice_rest = 2ull * (rate % scale);
    if (twice_rest > scale || (twice_rest == scale && (q & 1u) != 0))
        return q + 1;
    return q;
}

std::uint32_t AviWidth(const std::string& path, Dialogs& dialogs) {
    return read_or_empty(path, dialogs).dwWidth;
}
std::uint32_t AviHeight(const std::string& path, Dialogs& dialogs) {
    return read_or_empty(path, dialogs).dwHeight;
}
std::uint32_t AviLength(const std::string& path, Dialogs& dialogs) {
    return read_or_empty(path, dialogs).dwLength;
}
std::uint32_t AviFrameRate(const std::string& path, Dialogs& dialogs) {
    auto r = read_or_empty(path, dialogs);
    return avi_frame_rate(r.dwRate, r.dwScale);
}
std::string AviFileType(const std::string& path, Dialogs& dialogs) {
    return read_or_empty(path, dialogs).szFileType;
}
bool AviCompressed(const std::string& path, Dialogs& dialogs) {
    // An unreadable file reports false for every bit, this one included.
    AviFileInfoRecord r;
    if (!ReadAviFileInfo(path, r, dialogs))
        return false;
    return (r.dwCaps & kAviCapsNoCompression) == 0;
}
bool AviAllKeyFrames(const std::string& path, Dialogs& dialogs) {
    return (read_or_empty(path, dialogs).dwCaps & kAviCapsAllKeyFrames) != 0;
}
bool AviCanRead(const std::string& path, Dialogs& dialogs) {
    return (read_or_empty(path, dialogs).dwCaps & kAviCapsCanRead) != 0;
}
bool AviCanWrite(const std::string& path, Dialogs& dialogs) {
    return (read_or_empty(path, dialogs).dwCaps & kAviCapsCanWrite) != 0;
}
bool AviCopyrighted(const std::string& path, Dialogs& dialogs) {
    return (read_or_empty(path, dialogs).dwFlags & kAviFlagCopyrighted) != 0;
}
bool AviWasCaptureFile(const std::string& path, Dialogs& dialogs) {
    return (read_or_empty(path, dialogs).dwFlags & kAviFlagWasCaptureFile) != 0;
}
bool AviHasIndex(const std::string& path, Dialogs& dialogs) {
    return (read_or_empty(path, dialogs).dwFlags & kAviFlagHasIndex) != 0;
}
bool AviMustUseIndex(const std::string& path, Dialogs& dialogs) {
    return (read_or_empty(path, dialogs).dwFlags & kAviFlagMustUseIndex) != 0;
}
bool AviIsInterleaved(const std::string& path, Dialogs& dialogs) {
    return (read_or_empty(path, dialogs).dwFlags & kAviFlagIsInterleaved) != 0;
}

std::vector<std::string> describe_avi_lines(const std::string& path, const AviFileInfoRecord& r) {
    const bool readable = (r.dwCaps & kAviCapsCanRead) != 0;
    auto caps = [&](std::uint32_t bit) { return yes_no((r.dwCaps & bit) != 0); };
    auto flag = [&](std::uint32_t bit) { return yes_no((r.dwFlags & bit) != 0); };
    return {
        "Filename: " + path,
        "File Type: " + r.szFileType,
        "Height: " + std::to_string(r.dwHeight),
        "Width: " + std::to_string(r.dwWidth),
        "Length: " + std::to_string(r.dwLength) + " frames",
        "Rate: " + std::to_string(avi_frame_rate(r.dwRate, r.dwScale)) + "fps",
        "",
        "=== dwCaps ===",
        // A record that was never read says false for every bit.
        "Compressed: " + yes_no(readable && (r.dwCaps & kAviCapsNoCompression) == 0),
        "All Key Frames: " + caps(kAviCapsAllKeyFrames),
        "Can Read: " + caps(kAviCapsCanRead),
        "Can Write: " + caps(kAviCapsCanWrite),
        "",
        "=== dwFlags ===",
        "Contains Copyright Info: " + flag(kAviFlagCopyrighted),
        "Capture File: " + flag(kAviFlagWasCaptureFile),
        "Has Index: " + flag(kAviFlagHasIndex),
        "Must Use Index: " + flag(kAviFlagMustUseIndex),
        "Interleaved: " + flag(kAviFlagIsInterleaved),
    };
}

std::vector<std::string> DescribeAviFile(const std::string& path, Dialogs& dialogs) {
    return describe_avi_lines(path, read_or_empty(path, dialogs));
}

}  // namespace rs
