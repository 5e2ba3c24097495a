#pragma once
// cDIB: one bitmap held as the two parts of a BMP file, the pixel rows
// (bottom-up, each padded to a multiple of 4 bytes) and the information
// block, with the file header that goes in front of them. It takes a frame
// from memory or from a BMP file and writes it as a BMP file. The object
// owns both byte arrays; the pointers it hands out live as long as it does
// and until its next Create call.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/file_writer.h"
#include "platform/video_file.h"

namespace rs {

inline constexpr std::uint32_t kBmpFileHeaderSize = 14;
inline constexpr std::uint32_t kBmpInfoHeaderSize = 40;

// Bytes in one pixel row of a BMP: width x bits per pixel, rounded up to a
// multiple of 4 bytes (a 641-pixel 24-bit row takes 1924 bytes). 0 when the
// row would not fit in 32 bits.
std::uint32_t bmp_row_stride(std::int64_t width, int bit_count);

// Writes a decoded picture as the 24-bit BMP file cDIB would write for it
// (CreateFromPicture, then WriteToFile), straight from the picture's rows:
// no copy of a whole picture is made on the way. *refused is set when the
// picture is not one a bitmap can hold (no pixels, or too large).
[[nodiscard]] WriteResult write_picture_bmp(FileWriter& files, const Picture24& picture,
                                            const std::string& filename, bool* refused = nullptr);

class cDIB {
  public:
    // Loads a BMP file. A missing, locked or unreadable file gets its
    // message box; a file that is not a complete bitmap gets "File is not a
    // supported bitmap format:" and the path. On failure the object keeps
    // what it held.
    bool CreateFromFile(const std::string& filename, Dialogs& dialogs);

    // Takes a packed bitmap: a 40-byte information header directly followed
    // by biSizeImage pixel bytes, of which available bytes may be read.
    // Refused (false, object unchanged) below 16 bits per pixel, with no
    // pixel bytes, or when the header promises more bytes than are there.
    bool CreateFromPackedDIBPointer(const std::uint8_t* pDIB, std::size_t available);

    // Takes a decoded frame (rows top to bottom, no padding) as a 24-bit
    // bottom-up bitmap; the layout CreateFromPackedDIBPointer would hold for
    // the same frame, without the packed copy in between.
    bool CreateFromPicture(const Picture24& picture);

    // Replaces filename with the BMP file (file header, information block,
    // pixel rows) in one write: the new file is written beside it and
    // renamed over it, so no byte of an older, larger file survives and a
    // reader never sees half a picture.
    [[nodiscard]] WriteResult WriteToFile(FileWriter& files, const std::string& filename) const;

    // The whole BMP file as WriteToFile writes it.
    std::vector<std::uint8_t> FileBytes() const;

    std::uint16_t BitCount() const { return bi_bit_count_; }
    std::int32_t Height() const { return bi_height_; }
    std::int32_t Width() const { return bi_width_; }
    std::uint32_t Compression() const { return bi_compression_; }
    std::uint32_t SizeInfoHeader() const { return bi_size_; }
    std::uint32_t SizeImage() const { return bi_size_image_; }
    std::uint16_t Planes() const { return bi_planes_; }
    std::uint32_t ClrImportant() const { return bi_clr_important_; }
    std::uint32_t ClrUsed() const { return bi_clr_used_; }
    std::int32_t XPPM() const { return bi_x_pels_per_meter_; }
    std::int32_t YPPM() const { return bi_y_pels_per_meter_; }
    std::uint16_t FileType() const { return bf_type_; }
    // The bfSize field: the size of the file this object writes.
    std::uint32_t SizeFileHeader() const { return bf_size_; }
    std::uint32_t BitOffset() const { return bf_off_bits_; }
    const std::uint8_t* PointerToBits() const { return bits_.data(); }
    const std::uint8_t* PointerToBitmapInfo() const { return bitmap_info_.data(); }
    std::size_t SizeBitmapInfo() const { return bitmap_info_.size(); }

  private:
    struct InfoHeader;
    void take(const InfoHeader& h, std::vector<std::uint8_t> info, std::vector<std::uint8_t> bits);

    std::vector<std::uint8_t> bits_;
    std::vector<std::uint8_t> bitmap_info_;

    std::uint32_t bi_size_ = 0;
    std::int32_t bi_width_ = 0;
    std::int32_t bi_height_ = 0;
    std::uint16_t bi_planes_ = 0;
    std::uint16_t bi_bit_count_ = 0;
    std::uint32_t bi_compression_ = 0;
    std::uint32_t bi_size_image_ = 0;
    std::int32_t bi_x_pels_per_meter_ = 0;
    std::int32_t bi_y_pels_per_meter_ = 0;
    std::uint32_t bi_clr_used_ = 0;
    std::uint32_t bi_clr_important_ = 0;

    std::uint16_t bf_type_ = 0;
    std::uint32_t bf_size_ = 0;
    std::uint16_t bf_reserved1_ = 0;
    std::uint16_t bf_reserved2_ = 0;
    std::uint32_t bf_off_bits_ = 0;
};

}  // namespace rs
