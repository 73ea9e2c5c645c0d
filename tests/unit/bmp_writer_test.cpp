#include "icons/bmp_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace kelvorin {
namespace {

uint32_t Le(const std::string& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | uint8_t(b[at + size_t(i)]);
    return v;
}

size_t Stride(int width) { return (size_t(width) * 3 + 3) / 4 * 4; }

// An independent reader for what the writer promises: 24-bit, bottom-up rows.
Image Decode(const std::string& b) {
    const int w = int(Le(b, 18, 4)), h = int(Le(b, 22, 4));
    Image img(w, h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const size_t at = Le(b, 10, 4) + size_t(h - 1 - y) * Stride(w) + size_t(x) * 3;
            img.Set(x, y, Rgb(uint8_t(b[at + 2]), uint8_t(b[at + 1]), uint8_t(b[at])));
        }
    return img;
}

// Every pixel distinct, so swapped rows, columns or channels show up.
Image Pattern(int w, int h) {
    Image img(w, h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.Set(x, y, Rgb(uint8_t(x * 7 + 1), uint8_t(y * 5 + 2), uint8_t(x ^ (y * 3) ^ 0x80)));
    return img;
}

TEST(BmpWriter, HeadersDescribeA24BitBottomUpFile) {
    const int sizes[][2] = {{16, 16}, {32, 32}, {48, 48}, {21, 21}, {3, 5}, {1, 1}};
    for (auto [w, h] : sizes) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        const std::string b = EncodeBmp24(Pattern(w, h));
        const uint32_t imageSize = uint32_t(Stride(w)) * uint32_t(h);
        ASSERT_EQ(b.size(), 54 + imageSize);
        EXPECT_EQ(b.substr(0, 2), "BM");
        EXPECT_EQ(Le(b, 2, 4), b.size());
        EXPECT_EQ(Le(b, 6, 4), 0u);    // reserved
        EXPECT_EQ(Le(b, 10, 4), 54u);  // pixel offset
        EXPECT_EQ(Le(b, 14, 4), 40u);  // info header size
        EXPECT_EQ(Le(b, 18, 4), uint32_t(w));
        EXPECT_EQ(Le(b, 22, 4), uint32_t(h));  // positive: bottom-up
        EXPECT_EQ(Le(b, 26, 2), 1u);           // planes
        EXPECT_EQ(Le(b, 28, 2), 24u);          // bits per pixel
        EXPECT_EQ(Le(b, 30, 4), 0u);           // BI_RGB
        EXPECT_EQ(Le(b, 34, 4), imageSize);
        EXPECT_EQ(Le(b, 38, 4), 2835u);
        EXPECT_EQ(Le(b, 42, 4), 2835u);
        EXPECT_EQ(Le(b, 46, 4), 0u);  // colours used
        EXPECT_EQ(Le(b, 50, 4), 0u);  // important colours
    }
}

TEST(BmpWriter, PixelsRoundTripAndRowPaddingIsZero) {
    const int sizes[][2] = {{16, 16}, {32, 32}, {48, 48}, {21, 21}, {3, 5}, {7, 2}, {1, 1}};
    for (auto [w, h] : sizes) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        const Image original = Pattern(w, h);
        const std::string b = EncodeBmp24(original);
        EXPECT_EQ(Decode(b), original);
        for (int row = 0; row < h; ++row)
            for (size_t pad = size_t(w) * 3; pad < Stride(w); ++pad)
                EXPECT_EQ(b[54 + size_t(row) * Stride(w) + pad], '\0') << "row " << row;
    }
}

TEST(BmpWriter, BytesAreBlueGreenRedAndTheBottomRowComesFirst) {
    Image img(1, 2, 0);
    img.Set(0, 0, Rgb(0x11, 0x22, 0x33));  // top
    img.Set(0, 1, Rgb(0xAA, 0xBB, 0xCC));  // bottom
    const std::string b = EncodeBmp24(img);
    ASSERT_EQ(b.size(), 54u + 8u);
    EXPECT_EQ(b.substr(54), std::string("\xCC\xBB\xAA\0\x33\x22\x11\0", 8));
}

TEST(BmpWriter, EmptyImageGivesNoFile) {
    EXPECT_EQ(EncodeBmp24(Image()), "");
    EXPECT_EQ(EncodeBmp24(Image(0, 4, 0)), "");
    EXPECT_EQ(EncodeBmp24(Image(4, 0, 0)), "");
}

}  // namespace
}  // namespace kelvorin
