#include "video/dib.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>

#include "core/text_forms.h"
#include "platform/binary_file.h"

namespace rs {

namespace {

constexpr std::uint16_t kBitmapType = 0x4D42;  // "BM"
constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kBitFields = 3;
// Room for the largest information header (124 bytes), a 256-colour table
// and bit masks; a bitmap whose pixels start further on is not one we read.
constexpr std::uint32_t kMaxBitmapInfo = 64 * 1024;
constexpr std::uint64_t kMaxFileSize = std::numeric_limits<std::uint32_t>::max();

}  // namespace

struct cDIB::InfoHeader {
    std::uint32_t size = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t planes = 0;
    std::uint16_t bit_count = 0;
    std::uint32_t compression = 0;
    std::uint32_t size_image = 0;
    std::int32_t x_ppm = 0;
    std::int32_t y_ppm = 0;
    std::uint32_t clr_used = 0;
    std::uint32_t clr_important = 0;

    static InfoHeader parse(const std::uint8_t* p) {
        InfoHeader h;
        h.size = le32(p);
        h.width = static_cast<std::int32_t>(le32(p + 4));
        h.height = static_cast<std::int32_t>(le32(p + 8));
        h.planes = le16(p + 12);
        h.bit_count = le16(p + 14);
        h.compression = le32(p + 16);
        h.size_image = le32(p + 20);
        h.x_ppm = static_cast<std::int32_t>(le32(p + 24));
        h.y_ppm = static_cast<std::int32_t>(le32(p + 28));
        h.clr_used = le32(p + 32);
        h.clr_important = le32(p + 36);
        return h;
    }

    // Pixel bytes an uncompressed bitmap of this header holds; 0 when the
    // header is not one of an uncompressed bitmap or the size is absurd.
    std::uint64_t plain_image_size() const {
        if (compression != kRgb && compression != kBitFields)
            return 0;
        if (width <= 0 || height == 0 || height == std::numeric_limits<std::int32_t>::min()) {
            return 0;
        }
        const std::uint64_t rows = static_cast<std::uint64_t>(height < 0 ? -height : height);
        return static_cast<std::uint64_t>(bmp_row_stride(width, bit_count)) * rows;
    }
};

std::uint32_t bmp_row_stride(std::int64_t width, int bit_count) {
    if (width <= 0 || bit_count <= 0)
        return 0;
    const std::uint64_t bits = static_cast<std::uint64_t>(width) * static_cast<unsigned>(bit_count);
    const std::uint64_t stride = (bits + 31) / 32 * 4;
    return stride > std::numeric_limits<std::uint32_t>::max() ? 0
                                                              : static_cast<std::uint32_t>(stride);
}

void cDIB::take(const InfoHeader& h, std::vector<std::uint8_t> info,
                std::vector<std::uint8_t> bits) {
    bi_size_ = h.size;
    bi_width_ = h.width;
    bi_height_ = h.height;
    bi_planes_ = h.planes;
    bi_bit_count_ = h.bit_count;
    bi_compression_ = h.compression;
    bi_size_image_ = h.size_image;
    bi_x_pels_per_meter_ = h.x_ppm;
    bi_y_pels_per_meter_ = h.y_ppm;
    bi_clr_used_ = h.clr_used;
    bi_clr_important_ = h.clr_important;
    bitmap_info_ = std::move(info);
    bits_ = std::move(bits);
    bf_type_ = kBitmapType;
    bf_reserved1_ = 0;
    bf_reserved2_ = 0;
    bf_off_bits_ = kBmpFileHeaderSize + static_cast<std::uint32_t>(bitmap_info_.size());
    bf_size_ = bf_off_bits_ + static_cast<std::uint32_t>(bits_.size());
}

bool cDIB::CreateFromFile(const std::string& filename, Dialogs& dialogs) {
    auto file = open_reporting(filename, dialogs);
    if (!file)
        return false;
    auto unsupported = [&] {
        dialogs.ok("File is not a supported bitmap format:" + std::string(kCrLf) + filename,
                   MsgIcon::Information);
        return false;
    };
    std::uint8_t fh[kBmpFileHeaderSize];
    if (!file->read_at(0, fh, sizeof fh) || le16(fh) != kBitmapType)
        return unsupported();
    const std::uint32_t off_bits = le32(fh + 10);
    if (off_bits < kBmpFileHeaderSize + kBmpInfoHeaderSize ||
        off_bits - kBmpFileHeaderSize > kMaxBitmapInfo || off_bits > file->size()) {
        return unsupported();
    }
    std::vector<std::uint8_t> info(off_bits - kBmpFileHeaderSize);
    if (!file->read_at(kBmpFileHeaderSize, info.data(), info.size()))
        return unsupported();
    const InfoHeader h = InfoHeader::parse(info.data());
    if (h.size < kBmpInfoHeaderSize || h.size > info.size())
        return unsupported();
    // Uncompressed bitmaps may leave biSizeImage 0; their size follows from
    // the frame. A size the file does not hold is a cut-off file.
    std::uint64_t n = h.size_image;
    if (n == 0)
        n = h.plain_image_size();
    if (n == 0 || n > file->size() - off_bits || off_bits + n > kMaxFileSize) {
        return unsupported();
    }
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(n));
    if (!file->read_at(off_bits, bits.data(), bits.size()))
        return unsupported();
    take(h, std::move(info), std::move(bits));
    return true;
}

bool cDIB::CreateFromPackedDIBPointer(const std::uint8_t* pDIB, std::size_t available) {
    if (pDIB == nullptr || available < kBmpInfoHeaderSize)
        return false;
    const InfoHeader h = InfoHeader::parse(pDIB);
    if (h.bit_count < 16 || h.size_image < 1)
        return false;
    if (h.size_image > available - kBmpInfoHeaderSize)
        return false;
    if (kBmpFileHeaderSize + kBmpInfoHeaderSize + std::uint64_t{h.size_image} > kMaxFileSize) {
        return false;
    }
    // Pixels that fall short of the frame the header describes would make a
    // bitmap no viewer can show.
    const std::uint64_t frame_bytes = h.plain_image_size();
    if (frame_bytes != 0 && h.size_image < frame_bytes)
        return false;
    std::vector<std::uint8_t> info(pDIB, pDIB + kBmpInfoHeaderSize);
    std::vector<std::uint8_t> bits(pDIB + kBmpInfoHeaderSize,
                                   pDIB + kBmpInfoHeaderSize + h.size_image);
    take(h, std::move(info), std::move(bits));
    return true;
}

bool cDIB::CreateFromPicture(const Picture24& picture) {
    const int w = picture.width;
    const int h = picture.height;
    if (w <= 0 || h <= 0)
        return false;
    const std::size_t src_row = static_cast<std::size_t>(w) * 3;
    if (picture.bgr.size() < src_row * static_cast<std::size_t>(h))
        return false;
    const std::uint32_t stride = bmp_row_stride(w, 24);
    const std::uint64_t size = static_cast<std::uint64_t>(stride) * static_cast<unsigned>(h);
    if (stride == 0 || kBmpFileHeaderSize + kBmpInfoHeaderSize + size > kMaxFileSize)
        return false;

    InfoHeader hdr;
    hdr.size = kBmpInfoHeaderSize;
    hdr.width = w;
    hdr.height = h;
    hdr.planes = 1;
    hdr.bit_count = 24;
    hdr.compression = kRgb;
    hdr.size_image = static_cast<std::uint32_t>(size);
    std::vector<std::uint8_t> info(kBmpInfoHeaderSize, 0);
    put32(&info[0], hdr.size);
    put32(&info[4], static_cast<std::uint32_t>(hdr.width));
    put32(&info[8], static_cast<std::uint32_t>(hdr.height));
    put16(&info[12], hdr.planes);
    put16(&info[14], hdr.bit_count);
    put32(&info[20], hdr.size_image);

    // Rows go bottom-up; the padding bytes stay 0.
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(size), 0);
    for (int y = 0; y < h; ++y) {
        std::memcpy(bits.data() + static_cast<std::size_t>(h - 1 - y) * stride, picture.row(y),
                    src_row);
    }
    take(hdr, std::move(info), std::move(bits));
    return true;
}

std::vector<std::uint8_t> cDIB::FileBytes() const {
    std::vector<std::uint8_t> out(kBmpFileHeaderSize);
    put16(&out[0], bf_type_);
    put32(&out[2], bf_size_);
    put16(&out[6], bf_reserved1_);
    put16(&out[8], bf_reserved2_);
    put32(&out[10], bf_off_bits_);
    out.insert(out.end(), bitmap_info_.begin(), bitmap_info_.end());
    out.insert(out.end(), bits_.begin(), bits_.end());
    return out;
}

WriteResult cDIB::WriteToFile(FileWriter& files, const std::string& filename) const {
    if (filename.empty() || bits_.empty())
        return WriteResult::failure(filename + ": no picture to write");
    std::uint8_t header[kBmpFileHeaderSize];
    put16(header, bf_type_);
    put32(header + 2, bf_size_);
    put16(header + 6, bf_reserved1_);
    put16(header + 8, bf_reserved2_);
    put32(header + 10, bf_off_bits_);
    auto view = [](const std::uint8_t* p, std::size_t n) {
        return std::string_view(reinterpret_cast<const char*>(p), n);
    };
    // Not flushed to disk: the picture is rewritten for every frame taken
    // and is worth nothing after a power cut, while a flush would cost the
    // operator a visible pause on a 1080p frame.
    return files.replace_parts(
        filename,
        {view(header, sizeof header), view(bitmap_info_.data(), bitmap_info_.size()),
         view(bits_.data(), bits_.size())},
        Flush::No);
}

WriteResult write_picture_bmp(FileWriter& files, const Picture24& picture,
                              const std::string& filename, bool* refused) {
    if (refused)
        *refused = false;
    const int w = picture.width;
    const int h = picture.height;
    const std::size_t src_row = w > 0 ? static_cast<std::size_t>(w) * 3 : 0;
    const std::uint32_t stride = w > 0 ? bmp_row_stride(w, 24) : 0;
    const std::uint64_t size =
        static_cast<std::uint64_t>(stride) * static_cast<std::uint64_t>(h > 0 ? h : 0);
    if (w <= 0 || h <= 0 || stride == 0 ||
        picture.bgr.size() < src_row * static_cast<std::size_t>(h) ||
        kBmpFileHeaderSize + kBmpInfoHeaderSize + size > kMaxFileSize) {
        if (refused)
            *refused = true;
        return WriteResult::failure(filename + ": not a picture a bitmap can hold");
    }
    // The file header and the information header, as cDIB fills them.
    std::uint8_t head[kBmpFileHeaderSize + kBmpInfoHeaderSize] = {};
    put16(head, 0x4D42);
    put32(head + 2, static_cast<std::uint32_t>(kBmpFileHeaderSize + kBmpInfoHeaderSize + size));
    put32(head + 10, kBmpFileHeaderSize + kBmpInfoHeaderSize);
    std::uint8_t* info = head + kBmpFileHeaderSize;
    put32(info, kBmpInfoHeaderSize);
    put32(info + 4, static_cast<std::uint32_t>(w));
    put32(info + 8, static_cast<std::uint32_t>(h));
    put16(info + 12, 1);
    put16(info + 14, 24);
    put32(info + 20, static_cast<std::uint32_t>(size));
    static constexpr char kPadding[4] = {0, 0, 0, 0};
    const std::size_t pad = stride - src_row;
    std::vector<std::string_view> parts;
    parts.reserve(static_cast<std::size_t>(h) * 2 + 1);
    parts.emplace_back(reinterpret_cast<const char*>(head), sizeof head);
    // Rows go bottom-up.
    for (int y = h - 1; y >= 0; --y) {
        parts.emplace_back(reinterpret_cast<const char*>(picture.row(y)), src_row);
        if (pad)
            parts.emplace_back(kPadding, pad);
    }
    // Not flushed to disk, as WriteToFile.
    return files.replace_parts(filename, parts, Flush::No);
}

}  // namespace rs
