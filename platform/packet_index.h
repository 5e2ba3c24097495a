#pragma once
// Where the packets of a video stream lie, read without decoding: from the
// container's own index when it covers the whole file (an AVI's idx1 or
// OpenDML indexes), else by reading every packet. An index is checked
// against the file: fewer entries than the stream header's length, or frame
// chunks stored after the last indexed one, mean the index covers only part
// of the file and the file is read instead. Platform-internal.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ffmpeg_holders.h"
#include "platform/frame_index.h"

namespace rs {

struct PacketScan {
    std::vector<PacketInfo> packets;
    // Read packet by packet: the file had no usable index of its own and
    // may end in the middle of a group (a capture cut short).
    bool scanned = false;
    // The file's own index left packets out: the demuxers that decode must
    // be told of them to seek there (add_seek_points).
    bool index_incomplete = false;
    // Why reading stopped before the end of the file; empty when it did not.
    std::string problem;
};

// Packets as the demuxer's own index lists them; false when it has none,
// or one that points past the end of the file. An empty chunk (a frame
// dropped at capture) is left out: its frame shows the one before.
bool index_from_demuxer(AVStream* st, bool avi, std::int64_t file_size,
                        std::vector<PacketInfo>* out);

// Packets as the demuxer delivers them, reading the whole file from where
// it stands. A file that ends in the middle of a packet loses that packet;
// a read error that is not the end of the file is told in *problem with
// the frames read so far kept.
bool index_by_reading(AVFormatContext* fmt, int stream, std::vector<PacketInfo>* out,
                      std::string* problem);

// True when an AVI holds a frame chunk of the stream right after the byte
// end_of_last (the end of the last chunk the index lists).
bool avi_chunk_follows(const std::string& path, int stream, std::int64_t end_of_last);

// The packets of the stream of an open container, by the rules above.
PacketScan read_packet_index(AVFormatContext* fmt, int stream, const std::string& path, bool avi);

// Tells a demuxer where key packets lie that its own index left out, so
// that it can seek to them.
void add_seek_points(AVStream* st, bool avi, const std::vector<PacketInfo>& packets);

}  // namespace rs
