#pragma once
// Read-only access to a file of untrusted bytes (videos, bitmaps): every read
// names its offset and length and is refused when it would pass the end of
// the file, so a header that lies about its sizes cannot lead a reader
// outside the file.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/dialogs.h"

namespace rs {

class BinaryFile {
  public:
    BinaryFile() = default;
    ~BinaryFile();
    BinaryFile(BinaryFile&& other) noexcept;
    BinaryFile& operator=(BinaryFile&& other) noexcept;
    BinaryFile(const BinaryFile&) = delete;
    BinaryFile& operator=(const BinaryFile&) = delete;

    enum class OpenError { None, Locked, Other };

    // Opens for reading only. On failure, error says whether access was
    // denied (a locked file) and description holds the system's own text.
    [[nodiscard]] static std::optional<BinaryFile> open(const std::string& path,
                                                        OpenError* error = nullptr,
                                                        std::string* description = nullptr);

    std::uint64_t size() const { return size_; }
    // Reads exactly n bytes at offset; false (and nothing promised about buf)
    // when the file holds fewer.
    [[nodiscard]] bool read_at(std::uint64_t offset, void* buf, std::size_t n) const;

  private:
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

// Opens path the way the probe and the bitmap loader do: a missing file, a
// locked file and any other failure each get their message box (critical,
// critical, information), and nothing is returned.
std::optional<BinaryFile> open_reporting(const std::string& path, Dialogs& dialogs);

// Little-endian fields of a byte buffer; the caller has checked the bounds.
inline std::uint16_t le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline void put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace rs
