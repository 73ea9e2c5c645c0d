#include "icons/bmp_writer.h"

#include <cstddef>
#include <cstdint>

namespace kelvorin {
namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr int32_t kPixelsPerMetre = 2835;  // 72 dpi

// Byte by byte, so the file comes out little-endian on any host.
void Put16(std::string& out, uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

void Put32(std::string& out, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

}  // namespace

std::string EncodeBmp24(const Image& image) {
    if (image.Empty() || image.width < 0 || image.height < 0 ||
        image.pixels.size() != size_t(image.width) * size_t(image.height)) {
        return {};
    }
    // Each row is padded to a whole number of 4-byte words.
    const uint32_t stride = (uint32_t(image.width) * 3 + 3) & ~uint32_t{3};
    const uint32_t imageSize = stride * uint32_t(image.height);
    const uint32_t offset = kFileHeaderSize + kInfoHeaderSize;

    std::string out;
    out.reserve(offset + imageSize);
    out += "BM";
    Put32(out, offset + imageSize);
    Put32(out, 0);  // two reserved words
    Put32(out, offset);

    Put32(out, kInfoHeaderSize);
    Put32(out, uint32_t(image.width));
    Put32(out, uint32_t(image.height));  // positive: bottom-up rows
    Put16(out, 1);                       // planes
    Put16(out, 24);                      // bits per pixel
    Put32(out, 0);                       // BI_RGB
    Put32(out, imageSize);
    Put32(out, uint32_t(kPixelsPerMetre));
    Put32(out, uint32_t(kPixelsPerMetre));
    Put32(out, 0);  // colours used
    Put32(out, 0);  // important colours

    const size_t padding = stride - size_t(image.width) * 3;
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const Colour c = image.At(x, y);
            out.push_back(static_cast<char>(BlueOf(c)));
            out.push_back(static_cast<char>(GreenOf(c)));
            out.push_back(static_cast<char>(RedOf(c)));
        }
        out.append(padding, '\0');
    }
    return out;
}

}  // namespace kelvorin
