#include "video/dib.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"
#include "tests/video/avi_test_files.h"

namespace rs {
namespace {

using test::le16_bytes;
using test::le32_bytes;
using test::ScriptedDialogs;
using test::slurp;
using test::spit;
using test::TempDir;

// A frame whose every pixel tells its position: blue = x, green = y,
// red = x + y (mod 256).
Picture24 marked_picture(int w, int h) {
    Picture24 p;
    p.width = w;
    p.height = h;
    p.bgr.resize(static_cast<size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            std::uint8_t* px = p.bgr.data() + (static_cast<size_t>(y) * w + x) * 3;
            px[0] = static_cast<std::uint8_t>(x);
            px[1] = static_cast<std::uint8_t>(y);
            px[2] = static_cast<std::uint8_t>(x + y);
        }
    }
    return p;
}

std::uint32_t u32_at(const std::string& s, size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<std::uint8_t>(s[at + i]);
    return v;
}

TEST(Dib, RowStrideRoundsUpToFourBytes) {
    EXPECT_EQ(bmp_row_stride(641, 24), 1924u);
    EXPECT_EQ(bmp_row_stride(640, 24), 1920u);
    EXPECT_EQ(bmp_row_stride(1, 24), 4u);
    EXPECT_EQ(bmp_row_stride(3, 8), 4u);
    EXPECT_EQ(bmp_row_stride(1, 32), 4u);
    EXPECT_EQ(bmp_row_stride(0, 24), 0u);
    EXPECT_EQ(bmp_row_stride(std::int64_t{1} << 40, 24), 0u);
}

TEST(Dib, WritesAFrame641PixelsWideByteForByte) {
    TempDir tmp;
    FileWriter files;
    const int w = 641;
    const int h = 3;
    cDIB dib;
    ASSERT_TRUE(dib.CreateFromPicture(marked_picture(w, h)));
    const std::string path = tmp.file("f.bmp");
    ASSERT_TRUE(dib.WriteToFile(files, path));
    const std::string f = slurp(path);

    const size_t stride = 1924;
    ASSERT_EQ(f.size(), 54 + stride * h);
    // File header.
    EXPECT_EQ(f.substr(0, 2), "BM");
    EXPECT_EQ(u32_at(f, 2), f.size());
    EXPECT_EQ(u32_at(f, 6), 0u);  // both reserved fields
    EXPECT_EQ(u32_at(f, 10), 54u);
    // Information header.
    const std::string info =
        le32_bytes(40) + le32_bytes(w) + le32_bytes(h) + le16_bytes(1) + le16_bytes(24) +
        le32_bytes(0) + le32_bytes(static_cast<std::uint32_t>(stride * h)) + std::string(16, '\0');
    EXPECT_EQ(f.substr(14, 40), info);
    // Rows bottom-up, blue-green-red, padded with zeros.
    for (int row = 0; row < h; ++row) {
        const int y = h - 1 - row;
        const size_t at = 54 + row * stride;
        EXPECT_EQ(static_cast<std::uint8_t>(f[at + 0]), 0);
        EXPECT_EQ(static_cast<std::uint8_t>(f[at + 1]), y);
        EXPECT_EQ(static_cast<std::uint8_t>(f[at + 3 * 640]), 640 % 256);
        EXPECT_EQ(static_cast<std::uint8_t>(f[at + 3 * 640 + 2]), (640 + y) % 256);
        EXPECT_EQ(f.substr(at + 1923, 1), std::string(1, '\0'));
    }
    EXPECT_EQ(dib.SizeFileHeader(), f.size());
    EXPECT_EQ(dib.BitOffset(), 54u);
    EXPECT_EQ(dib.FileType(), 0x4D42);
    EXPECT_EQ(dib.SizeImage(), stride * h);
    EXPECT_EQ(dib.SizeBitmapInfo(), 40u);
    EXPECT_EQ(std::memcmp(dib.PointerToBits(), f.data() + 54, stride * h), 0);
}

TEST(Dib, SmallerFrameOverALargerFileLeavesNoStaleBytes) {
    TempDir tmp;
    FileWriter files;
    const std::string path = tmp.file("currentcapture.bmp");
    cDIB big;
    ASSERT_TRUE(big.CreateFromPicture(marked_picture(64, 48)));
    ASSERT_TRUE(big.WriteToFile(files, path));
    cDIB small;
    ASSERT_TRUE(small.CreateFromPicture(marked_picture(8, 4)));
    ASSERT_TRUE(small.WriteToFile(files, path));
    const std::string f = slurp(path);
    EXPECT_EQ(f.size(), 54u + 24 * 4);
    const auto expect = small.FileBytes();
    EXPECT_EQ(f, std::string(expect.begin(), expect.end()));
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

TEST(Dib, WriteFailureIsReported) {
    TempDir tmp;
    FileWriter files;
    cDIB dib;
    EXPECT_FALSE(dib.WriteToFile(files, tmp.file("empty.bmp")));  // nothing held
    ASSERT_TRUE(dib.CreateFromPicture(marked_picture(4, 4)));
    EXPECT_FALSE(dib.WriteToFile(files, tmp.file("no/such/folder/x.bmp")));
    // A folder in the way of the new file.
    const std::string dir = tmp.make_dir("taken.bmp");
    EXPECT_FALSE(dib.WriteToFile(files, dir));
    EXPECT_FALSE(std::filesystem::exists(dir + ".tmp"));
}

TEST(Dib, PackedBitmapIsCheckedAgainstItsBytes) {
    const int w = 5;
    const int h = 2;
    const std::uint32_t size = bmp_row_stride(w, 24) * h;
    auto packed = [&](std::uint16_t bits, std::uint32_t size_image) {
        std::string s = le32_bytes(40) + le32_bytes(w) + le32_bytes(h) + le16_bytes(1) +
                        le16_bytes(bits) + le32_bytes(0) + le32_bytes(size_image) +
                        std::string(16, '\0');
        for (std::uint32_t i = 0; i < size; ++i)
            s.push_back(static_cast<char>(i));
        return s;
    };
    auto take = [](cDIB& d, const std::string& s, size_t n) {
        return d.CreateFromPackedDIBPointer(reinterpret_cast<const std::uint8_t*>(s.data()), n);
    };
    cDIB dib;
    const std::string good = packed(24, size);
    ASSERT_TRUE(take(dib, good, good.size()));
    EXPECT_EQ(dib.Width(), w);
    EXPECT_EQ(dib.Height(), h);
    EXPECT_EQ(dib.BitCount(), 24);
    EXPECT_EQ(dib.Planes(), 1);
    EXPECT_EQ(dib.SizeInfoHeader(), 40u);
    EXPECT_EQ(dib.SizeFileHeader(), 54u + size);
    EXPECT_EQ(std::memcmp(dib.PointerToBits(), good.data() + 40, size), 0);
    EXPECT_EQ(std::memcmp(dib.PointerToBitmapInfo(), good.data(), 40), 0);

    // Refusals leave the object as it was.
    EXPECT_FALSE(take(dib, packed(8, size), good.size()));
    EXPECT_FALSE(take(dib, packed(24, 0), good.size()));
    EXPECT_FALSE(take(dib, good, good.size() - 1));              // fewer bytes than promised
    EXPECT_FALSE(take(dib, packed(24, size - 4), good.size()));  // short of the frame
    EXPECT_FALSE(take(dib, good, 39));
    EXPECT_FALSE(dib.CreateFromPackedDIBPointer(nullptr, 1000));
    EXPECT_EQ(dib.BitCount(), 24);
    EXPECT_EQ(dib.SizeImage(), size);
}

TEST(Dib, LoadsWhatItWrites) {
    TempDir tmp;
    FileWriter files;
    cDIB out;
    ASSERT_TRUE(out.CreateFromPicture(marked_picture(641, 7)));
    const std::string path = tmp.file("r.bmp");
    ASSERT_TRUE(out.WriteToFile(files, path));
    ScriptedDialogs dialogs;
    cDIB in;
    ASSERT_TRUE(in.CreateFromFile(path, dialogs));
    EXPECT_EQ(in.FileBytes(), out.FileBytes());
    EXPECT_TRUE(dialogs.prompts().empty());
}

TEST(Dib, LoadingChecksTheFileAgainstItsHeaders) {
    TempDir tmp;
    FileWriter files;
    cDIB good;
    ASSERT_TRUE(good.CreateFromPicture(marked_picture(9, 5)));
    const auto bytes = good.FileBytes();
    const std::string whole(bytes.begin(), bytes.end());
    const std::string path = tmp.file("b.bmp");
    const std::string unsupported = "File is not a supported bitmap format:\r\n" + path;

    // Every cut-off version is refused with the format message.
    for (size_t n = 0; n < whole.size(); ++n) {
        const std::string cut = tmp.file("cut" + std::to_string(n) + ".bmp");
        spit(cut, whole.substr(0, n));
        ScriptedDialogs dialogs;
        cDIB dib;
        EXPECT_FALSE(dib.CreateFromFile(cut, dialogs)) << n;
        EXPECT_EQ(dialogs.messages(),
                  std::vector<std::string>{"File is not a supported bitmap format:\r\n" + cut})
            << n;
    }

    ScriptedDialogs dialogs;
    cDIB dib;
    auto with = [&](size_t at, const std::string& field) {
        std::string s = whole;
        s.replace(at, field.size(), field);
        spit(path, s);
        return dib.CreateFromFile(path, dialogs);
    };
    EXPECT_FALSE(with(0, "PK"));
    EXPECT_FALSE(with(10, le32_bytes(0xfffffff0)));  // pixels past the end
    EXPECT_FALSE(with(10, le32_bytes(20)));          // pixels inside the headers
    EXPECT_FALSE(with(34, le32_bytes(0x7fffffff)));  // biSizeImage past the end
    EXPECT_FALSE(with(14, le32_bytes(0xffff)));      // header larger than its block
    EXPECT_EQ(dialogs.messages().size(), 5u);
    EXPECT_EQ(dialogs.last().icon, MsgIcon::Information);

    // Uncompressed bitmaps may leave biSizeImage 0.
    dialogs.clear();
    ASSERT_TRUE(with(34, le32_bytes(0)));
    EXPECT_EQ(std::memcmp(dib.PointerToBits(), good.PointerToBits(), good.SizeImage()), 0);
    EXPECT_TRUE(dialogs.prompts().empty());

    const std::string missing = tmp.file("none.bmp");
    EXPECT_FALSE(dib.CreateFromFile(missing, dialogs));
    EXPECT_EQ(dialogs.last().text, "File does not exist:\r\n" + missing);
    EXPECT_EQ(dialogs.last().icon, MsgIcon::Critical);
}

}  // namespace
}  // namespace rs
