#include "platform/packet_index.h"

#include <filesystem>

#include "platform/binary_file.h"

namespace rs {

namespace {

// An AVI index entry gives the position of the chunk's header; a packet
// read from the file gives the position of its data, 8 bytes on.
constexpr std::int64_t kAviChunkHeader = 8;

}  // namespace

bool index_from_demuxer(AVStream* st, bool avi, std::int64_t file_size,
                        std::vector<PacketInfo>* out) {
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
        p.pos = avi ? e->pos + kAviChunkHeader : e->pos;
        p.key = (e->flags & AVINDEX_KEYFRAME) != 0;
        p.discard = (e->flags & AVINDEX_DISCARD_FRAME) != 0;
        p.size = e->size;
        out->push_back(p);
    }
    return !out->empty();
}

bool index_by_reading(AVFormatContext* fmt, int stream, std::vector<PacketInfo>* out,
                      std::string* problem) {
    PacketPtr pkt(av_packet_alloc());
    if (!pkt) {
        if (problem)
            *problem = "out of memory";
        return false;
    }
    std::vector<bool> corrupt;
    for (;;) {
        int r = av_read_frame(fmt, pkt.get());
        if (r == AVERROR_EOF)
            break;
        if (r < 0) {
            // Not the end: the rest of the file cannot be read. What came
            // before is shown, and the operator is told.
            if (problem) {
                *problem = "the file cannot be read after frame " + std::to_string(out->size()) +
                           ": " + av_error_text(r);
            }
            break;
        }
        // A packet with no data holds no picture: an empty chunk (a frame
        // dropped at capture, whose frame shows the one before, as the
        // index's reading has it), or what the DV reader of an AVI hands on
        // for a DIF frame cut short.
        if (pkt->stream_index == stream && pkt->size > 0) {
            PacketInfo p;
            p.dts = pkt->dts == AV_NOPTS_VALUE ? kNoTime : pkt->dts;
            p.pts = pkt->pts == AV_NOPTS_VALUE ? kNoTime : pkt->pts;
            p.pos = pkt->pos;
            p.size = pkt->size;
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

bool avi_chunk_follows(const std::string& path, int stream, std::int64_t end_of_last) {
    if (stream < 0 || stream > 99 || end_of_last < 0)
        return false;
    auto file = BinaryFile::open(path);
    if (!file)
        return false;
    // Chunks are padded to an even length.
    std::uint64_t at = static_cast<std::uint64_t>(end_of_last + (end_of_last & 1));
    // Skip "JUNK" padding and the list headers a writer puts between chunks.
    for (int hops = 0; hops < 8; ++hops) {
        std::uint8_t head[12];
        if (!file->read_at(at, head, sizeof head))
            return false;
        const std::string id(reinterpret_cast<const char*>(head), 4);
        if (id == "LIST") {
            at += 12;  // into the list: "LIST", size, "rec " or "movi"
            continue;
        }
        if (id == "JUNK") {
            const std::uint64_t size = le32(head + 4);
            at += 8 + size + (size & 1);
            continue;
        }
        const char tens = static_cast<char>('0' + stream / 10);
        const char ones = static_cast<char>('0' + stream % 10);
        return id[0] == tens && id[1] == ones && (id.substr(2) == "dc" || id.substr(2) == "db");
    }
    return false;
}

PacketScan read_packet_index(AVFormatContext* fmt, int stream, const std::string& path, bool avi) {
    PacketScan scan;
    AVStream* st = fmt->streams[stream];
    std::error_code ec;
    auto size = std::filesystem::file_size(path, ec);
    const std::int64_t file_size = ec ? -1 : static_cast<std::int64_t>(size);
    bool indexed = avi && index_from_demuxer(st, avi, file_size, &scan.packets);
    if (indexed) {
        // Checked against the file: the length its stream header gives, and
        // what is stored after the last chunk the index lists.
        const int entries = avformat_index_get_entries_count(st);
        const AVIndexEntry* last = avformat_index_get_entry(st, entries - 1);
        const bool short_of_header = st->nb_frames > 0 && entries < st->nb_frames;
        const bool more_chunks =
            last && avi_chunk_follows(path, stream, last->pos + kAviChunkHeader + last->size);
        if (short_of_header || more_chunks) {
            indexed = false;
            scan.index_incomplete = true;
        }
    }
    if (!indexed) {
        scan.packets.clear();
        scan.scanned = true;
        index_by_reading(fmt, stream, &scan.packets, &scan.problem);
        // The demuxer read the file through: back to its start for the
        // decoder that takes it over.
        av_seek_frame(fmt, -1, 0, AVSEEK_FLAG_BYTE);
        avformat_flush(fmt);
    }
    return scan;
}

void add_seek_points(AVStream* st, bool avi, const std::vector<PacketInfo>& packets) {
    int distance = 0;
    for (const PacketInfo& p : packets) {
        if (p.key)
            distance = 0;
        if (p.key && p.pos >= 0 && p.dts != kNoTime) {
            av_add_index_entry(st, avi ? p.pos - kAviChunkHeader : p.pos, p.dts,
                               static_cast<int>(p.size), distance, AVINDEX_KEYFRAME);
        }
        ++distance;
    }
}

}  // namespace rs
