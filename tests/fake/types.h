// What the fake desktop holds: its windows, processes and icon files, and the Win32 numbers
// it reads the program's calls by.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/types.h"

namespace kelvorin::fake {

// Win32's own numbers, written out rather than taken from the program's
// constants, so a wrong constant there shows as a wrong effect here.
inline constexpr uint32_t kWsPopup = 0x80000000u, kWsChild = 0x40000000u;
inline constexpr uint32_t kTopmost = 0x8, kLayered = 0x80000;
// An icon pixel outside the icon's mask: drawing leaves the surface as it was.
inline constexpr Colour kClear = 0xFF000000u;

struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool Has(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
};

struct MenuItem {
    uint32_t id = 0, state = 0;
    friend bool operator==(const MenuItem&, const MenuItem&) = default;
};
// Restore, move, size, minimise, maximise, a separator and close.
inline std::vector<MenuItem> DefaultMenu() {
    return {{0xF120, 0}, {0xF010, 0}, {0xF000, 0}, {0xF020, 0}, {0xF030, 0}, {0, 0}, {0xF060, 0}};
}

struct Window {
    WindowHandle handle;  // null: Add numbers it
    std::string title;
    std::string className = "Fake";
    WindowHandle parent;  // set: a child window (Add adds WS_CHILD)
    WindowHandle owner;   // GetParent reports it for a WS_POPUP window
    uint32_t style = 0, exStyle = 0;
    bool visible = true, enabled = true;
    uint32_t processId = 0;
    Rect rect;  // screen coordinates; the client area is all of it
    bool hung = false, refusesText = false;
    // What the program's calls leave behind.
    bool destroyed = false;
    std::optional<uint8_t> alpha;
    std::vector<MenuItem> menu = DefaultMenu();
};

struct Process {
    uint32_t processId = 0;
    std::string exeFile, exePath;
    bool modulesReadable = true, openable = true, terminated = false;
};

// One icon of a file: ExtractIconA hands out the large picture, ExtractIconExA both.
struct Icon {
    Image large, small;
};
inline Icon Solid(Colour colour) {
    return {Image(32, 32, colour), Image(16, 16, colour)};
}
// A sound .ico file of one 1 x 1 32-bit image: directory, header, colour and mask rows.
inline std::string IcoFileBytes() {
    return std::string("\0\0\1\0\1\0\1\1\0\0\1\0\x20\0\x30\0\0\0\x16\0\0\0", 22) +
           std::string("\x28\0\0\0\1\0\0\0\2\0\0\0\1\0\x20\0", 16) + std::string(32, '\0');
}

}  // namespace kelvorin::fake
