// The check of a file's icon data before the system's icon code reads it.
#include "icons/icon_data.h"

#include <gtest/gtest.h>

#include "fake/fake.h"

namespace kelvorin {
namespace {

void Put(std::string& bytes, size_t at, uint32_t value, int size = 4) {
    for (int i = 0; i < size; ++i) bytes[at + size_t(i)] = char(value >> (8 * i));
}

// A PE32+ file of one section holding the resources: RT_ICON 1 (a 1 x 1
// 32-bit picture) and RT_GROUP_ICON 1 naming it.
constexpr size_t kRsrc = 0x200;  // the section's bytes; its address is 0x1000
std::string PeFile() {
    std::string pe(kRsrc + 228, '\0');
    // clang-format off
    const uint32_t fields[][3] = {  // offset, value, size
        {0, 0x5A4D, 2}, {0x3C, 0x40, 4}, {0x40, 0x4550, 4}, {0x46, 1, 2}, {0x54, 0xF0, 2},
        {0x58, 0x20B, 2}, {0x58 + 108, 16, 4}, {0x58 + 128, 0x1000, 4}, {0x148 + 12, 0x1000, 4},
        {0x158, 228, 4}, {0x148 + 20, kRsrc, 4},
        // Directories: root {3, 14}, then per type one name, per name one language.
        {kRsrc + 14, 2, 2}, {kRsrc + 32 + 14, 1, 2}, {kRsrc + 56 + 14, 1, 2}, {kRsrc + 80 + 14, 1, 2},
        {kRsrc + 104 + 14, 1, 2}, {kRsrc + 16, 3, 4}, {kRsrc + 20, 0x80000020, 4},
        {kRsrc + 24, 14, 4}, {kRsrc + 28, 0x80000050, 4}, {kRsrc + 48, 1, 4},
        {kRsrc + 52, 0x80000038, 4}, {kRsrc + 72, 0x409, 4}, {kRsrc + 76, 128, 4},
        {kRsrc + 96, 1, 4}, {kRsrc + 100, 0x80000068, 4}, {kRsrc + 120, 0, 4}, {kRsrc + 124, 144, 4},
        {kRsrc + 128, 0x1000 + 160, 4}, {kRsrc + 132, 48, 4},  // the image's data entry
        {kRsrc + 144, 0x1000 + 208, 4}, {kRsrc + 148, 20, 4}};  // the group's
    // clang-format on
    for (const auto& f : fields) Put(pe, f[0], f[1], int(f[2]));
    pe.replace(kRsrc + 160, 48, fake::IcoFileBytes().substr(22));
    Put(pe, kRsrc + 210, 1, 2);  // group: type 1
    Put(pe, kRsrc + 212, 1, 2);  // one image
    Put(pe, kRsrc + 226, 1, 2);  // named RT_ICON 1
    return pe;
}

TEST(IconData, OnlyWholeExecutablesAndIconFilesWithSaneImagesPass) {
    enum Base { kPe, kIco, kPngIco };  // the last: an .ico of a 256-pixel PNG
    struct Patch {
        size_t at;
        uint32_t value;
        int size = 4;
    };
    // clang-format off
    const struct { const char* what; Base base; int grow; std::vector<Patch> patches; bool sound; } cases[] = {
        {"executable", kPe, 0, {}, true}, {"icon file", kIco, 0, {}, true},
        {"PNG image", kPngIco, 0, {}, true}, {"half an executable", kPe, -370, {}, false},
        {"truncated icon file", kIco, -1, {}, false},
        {"data running past the end", kPe, 0, {{0x158, 0x100000}, {kRsrc + 132, 0x10000}}, false},
        {"group naming a missing RT_ICON", kPe, 0, {{kRsrc + 226, 2, 2}}, false},
        {"directory claiming 65535 entries", kPe, 0x80000, {{kRsrc + 14, 0xFFFF, 2}}, false},
        {"language directory left empty", kPe, 0, {{kRsrc + 104 + 14, 0, 2}}, false},
        {"executable image of 2^31 pixels", kPe, 0, {{kRsrc + 160 + 8, 0x80000000u}}, false},
        {"icon file claiming 65535 images", kIco, 0, {{4, 0xFFFF, 2}}, false},
        {"image at a 2 GiB offset", kIco, 0, {{18, 0x80000000u}}, false},
        {"image of 2^31 pixels", kIco, 0, {{26, 0x7FFFFFFF}}, false},
        {"image 1025 pixels wide", kIco, 8400, {{14, 48 + 8400}, {26, 1025}}, false},
        {"image larger than its data", kIco, 0, {{26, 32}, {30, 64}}, false},
        {"PNG of 100000 pixels", kPngIco, 0, {{22 + 16, 0xA0860100}}, false},
        {"cursor file", kIco, 0, {{2, 2, 2}}, false}};
    // clang-format on
    for (const auto& c : cases) {
        fake::Desktop desktop;
        std::string& file = desktop.files["f"] = c.base == kPe ? PeFile() : fake::IcoFileBytes();
        if (c.base == kPngIco)
            file.replace(22, 26, "\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\1\0\0\0\1\0\x08\x06", 26);
        file.resize(size_t(int(file.size()) + c.grow));
        for (const Patch& p : c.patches) Put(file, p.at, p.value, p.size);
        EXPECT_EQ(IconDataIsSound(desktop, "f"), c.sound) << c.what;
        EXPECT_EQ(desktop.OpenHandles(), 0u) << c.what;
    }
}

}  // namespace
}  // namespace kelvorin
