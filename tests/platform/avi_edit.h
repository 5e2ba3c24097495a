#pragma once
// Edits of AVI files made by the ffmpeg tool, for the faults of real files a
// test needs: the chunks of the first stream as the idx1 index lists them,
// the index's key flags, an index cut short, another FourCC.

#include <cstdint>
#include <string>
#include <vector>

#include "tests/video/avi_test_files.h"

namespace rs::test {

inline std::uint32_t read_le32(const std::string& s, size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(s[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 3])) << 24;
}

inline void write_le32(std::string& s, size_t at, std::uint32_t v) {
    s.replace(at, 4, le32_bytes(v));
}

struct AviIndexEntry {
    size_t entry_at;  // where the 16-byte entry stands in the file
    size_t data_at;   // where the chunk's data starts
    std::uint32_t size;
    std::uint32_t flags;
};

// The idx1 entries of the frame chunks of stream 00, in file order; empty
// when the file has no idx1.
inline std::vector<AviIndexEntry> avi_frame_entries(const std::string& avi) {
    std::vector<AviIndexEntry> out;
    const size_t movi = avi.find("movi");
    const size_t idx1 = avi.rfind("idx1");
    if (movi == std::string::npos || idx1 == std::string::npos)
        return out;
    const std::uint32_t bytes = read_le32(avi, idx1 + 4);
    for (size_t at = idx1 + 8; at + 16 <= idx1 + 8 + bytes && at + 16 <= avi.size(); at += 16) {
        const std::string id = avi.substr(at, 4);
        if (id != "00dc" && id != "00db")
            continue;
        out.push_back({at, movi + read_le32(avi, at + 8) + 8, read_le32(avi, at + 12),
                       read_le32(avi, at + 4)});
    }
    return out;
}

inline constexpr std::uint32_t kAviKeyFlag = 0x10;

// Every frame chunk flagged as a key frame, as some capture programs write.
inline void flag_every_frame_key(std::string& avi) {
    for (const AviIndexEntry& e : avi_frame_entries(avi))
        write_le32(avi, e.entry_at + 4, e.flags | kAviKeyFlag);
}

// The index keeps only its first entries; the file keeps every frame.
inline void cut_index(std::string& avi, size_t keep) {
    const size_t idx1 = avi.rfind("idx1");
    const std::uint32_t bytes = read_le32(avi, idx1 + 4);
    const std::uint32_t kept = static_cast<std::uint32_t>(std::min<size_t>(bytes, keep * 16));
    write_le32(avi, idx1 + 4, kept);
    avi.resize(idx1 + 8 + kept);
    write_le32(avi, 4, static_cast<std::uint32_t>(avi.size() - 8));
}

// The video's FourCC (in the stream header and the bitmap header) replaced.
inline void set_fourcc(std::string& avi, const std::string& fourcc) {
    const size_t strh = avi.find("strh");
    avi.replace(strh + 12, 4, fourcc);
    const size_t strf = avi.find("strf");
    avi.replace(strf + 8 + 16, 4, fourcc);
}

// The same video with its empty chunks (frames a muxer left empty to keep
// time) taken out: one chunk a frame, as a capture program writes it, with
// a fresh index and the lengths in the headers set to match; last_chunk,
// when given, is stored as one more frame at the end.
inline std::string without_empty_chunks(const std::string& avi,
                                        const std::string& last_chunk = "") {
    const auto entries = avi_frame_entries(avi);
    const size_t movi_list = avi.find("movi") - 8;  // "LIST" size "movi"
    std::string head = avi.substr(0, movi_list);
    std::string movi = "movi";
    std::string index;
    std::uint32_t frames = 0;
    for (const AviIndexEntry& e : entries) {
        if (e.size == 0)
            continue;
        index += "00dc" + le32_bytes(e.flags & kAviKeyFlag) +
                 le32_bytes(static_cast<std::uint32_t>(movi.size())) + le32_bytes(e.size);
        movi += riff_chunk("00dc", avi.substr(e.data_at, e.size));
        ++frames;
    }
    if (!last_chunk.empty()) {
        index += "00dc" + le32_bytes(0) + le32_bytes(static_cast<std::uint32_t>(movi.size())) +
                 le32_bytes(static_cast<std::uint32_t>(last_chunk.size()));
        movi += riff_chunk("00dc", last_chunk);
        ++frames;
    }
    // The frame counts: the main header's, the stream header's and the
    // OpenDML header's.
    write_le32(head, head.find("avih") + 8 + 16, frames);
    write_le32(head, head.find("strh") + 8 + 32, frames);
    if (size_t dmlh = head.find("dmlh"); dmlh != std::string::npos)
        write_le32(head, dmlh + 8, frames);
    std::string body = head.substr(12) + riff_chunk("LIST", movi) + riff_chunk("idx1", index);
    return riff_avi(body);
}

}  // namespace rs::test
