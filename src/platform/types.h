// Small value types shared by the platform interfaces and the code above them.
// Nothing here knows about <windows.h>: handles are carried as plain integers.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kelvorin {

// A window handle as the program shows and stores it: the signed 32-bit value
// (on x64 the handle is truncated to 32 bits and sign-extended back).
struct WindowHandle {
    int32_t value = 0;

    constexpr WindowHandle() = default;
    constexpr explicit WindowHandle(int32_t v) : value(v) {}
    constexpr explicit operator bool() const { return value != 0; }
    friend constexpr bool operator==(WindowHandle a, WindowHandle b) { return a.value == b.value; }
    friend constexpr bool operator!=(WindowHandle a, WindowHandle b) { return a.value != b.value; }
    friend constexpr bool operator<(WindowHandle a, WindowHandle b) { return a.value < b.value; }
};

// Handles of platform objects that never leave the platform layer's hands for
// long (icons, menus, snapshots, processes). 0 means none; the platform's own
// invalid value (INVALID_HANDLE_VALUE) is reported as kInvalidHandle.
template <typename Tag>
struct Handle {
    uint64_t value = 0;
    constexpr Handle() = default;
    constexpr explicit Handle(uint64_t v) : value(v) {}
    constexpr explicit operator bool() const { return value != 0; }
    friend constexpr bool operator==(Handle a, Handle b) { return a.value == b.value; }
    friend constexpr bool operator!=(Handle a, Handle b) { return a.value != b.value; }
};
using IconHandle = Handle<struct IconTag>;
using MenuHandle = Handle<struct MenuTag>;
using KernelHandle = Handle<struct KernelTag>;  // snapshots and processes
inline constexpr KernelHandle kInvalidHandle{~uint64_t{0}};

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(Point a, Point b) { return a.x == b.x && a.y == b.y; }
};

// An RGB colour as 0x00BBGGRR, the layout Windows uses for COLORREF.
using Colour = uint32_t;
constexpr Colour Rgb(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<Colour>(r) | (static_cast<Colour>(g) << 8) | (static_cast<Colour>(b) << 16);
}
constexpr uint8_t RedOf(Colour c) { return static_cast<uint8_t>(c & 0xFF); }
constexpr uint8_t GreenOf(Colour c) { return static_cast<uint8_t>((c >> 8) & 0xFF); }
constexpr uint8_t BlueOf(Colour c) { return static_cast<uint8_t>((c >> 16) & 0xFF); }

// A picture held in portable memory: row-major, top row first, one Colour per
// pixel. Row icons, the extractor's icons and the program's own art use it.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<Colour> pixels;

    Image() = default;
    Image(int w, int h, Colour fill) : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}
    Colour At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    void Set(int x, int y, Colour c) { pixels[size_t(y) * size_t(width) + size_t(x)] = c; }
    bool Empty() const { return width == 0 || height == 0; }
    friend bool operator==(const Image& a, const Image& b) {
        return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
    }
};

}  // namespace kelvorin
