#include <cstring>

#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"

namespace kelvorin::win32 {
namespace {

// Portable pictures are 0x00BBGGRR; a 32-bit DIB pixel is 0xAARRGGBB.
uint32_t ToDib(Colour c) { return (uint32_t(RedOf(c)) << 16) | (uint32_t(GreenOf(c)) << 8) | BlueOf(c); }
Colour FromDib(uint32_t p) {
    return Rgb(static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p));
}

HBITMAP CreateTopDownDib(HDC dc, int width, int height, uint32_t** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    *bits = static_cast<uint32_t*>(pixels);
    return bitmap;
}

}  // namespace

UniqueBitmap CreateBitmapFromImage(const Image& image) {
    if (image.Empty()) return {};
    uint32_t* bits = nullptr;
    UniqueBitmap bitmap(CreateTopDownDib(nullptr, image.width, image.height, &bits));
    if (!bitmap) return {};
    // Opaque alpha: a 32-bit image list may otherwise draw all-zero alpha as
    // fully transparent.
    for (size_t i = 0; i < image.pixels.size(); ++i) bits[i] = 0xFF000000u | ToDib(image.pixels[i]);
    return bitmap;
}

Surface::Surface() : dc_(::CreateCompatibleDC(nullptr)) { Resize(16, 16); }

void Surface::Resize(int width, int height) {
    if (!dc_ || width <= 0 || height <= 0) return;
    selected_.reset();
    bits_ = nullptr;
    bitmap_.reset(CreateTopDownDib(dc_.get(), width, height, &bits_));
    if (!bitmap_) {
        bits_ = nullptr;
        width_ = height_ = 0;
        return;
    }
    selected_.emplace(dc_.get(), bitmap_.get());
    width_ = width;
    height_ = height;
}

void Surface::Clear(Colour background) {
    if (bits_ == nullptr) return;
    ::GdiFlush();
    uint32_t value = ToDib(background);
    for (size_t i = 0; i < size_t(width_) * size_t(height_); ++i) bits_[i] = value;
}

void Surface::DrawImage(const Image& image, int x, int y) {
    if (bits_ == nullptr) return;
    ::GdiFlush();
    for (int row = 0; row < image.height; ++row) {
        int ty = y + row;
        if (ty < 0 || ty >= height_) continue;
        for (int column = 0; column < image.width; ++column) {
            int tx = x + column;
            if (tx < 0 || tx >= width_) continue;
            bits_[size_t(ty) * size_t(width_) + size_t(tx)] = ToDib(image.At(column, row));
        }
    }
}

bool Surface::DrawIconEx(IconHandle icon, int x, int y) {
    if (bits_ == nullptr || !icon) return false;
    return ::DrawIconEx(dc_.get(), x, y, ToNative<HICON>(icon.value), 0, 0, 0, nullptr, DI_NORMAL) !=
           FALSE;
}

bool Surface::DrawIcon(IconHandle icon, int x, int y) {
    if (bits_ == nullptr || !icon) return false;
    return ::DrawIcon(dc_.get(), x, y, ToNative<HICON>(icon.value)) != FALSE;
}

Image Surface::Capture() const {
    Image image;
    if (bits_ == nullptr) return image;
    ::GdiFlush();
    image = Image(width_, height_, 0);
    for (size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = FromDib(bits_[i]);
    return image;
}

}  // namespace kelvorin::win32
