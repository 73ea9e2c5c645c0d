#include "icons/icon_data.h"

#include <gtest/gtest.h>

#include <vector>

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
    Put(pe, 0, 0x5A4D, 2);
    Put(pe, 0x3C, 0x40);
    Put(pe, 0x40, 0x4550);
    Put(pe, 0x46, 1, 2);                   // one section
    Put(pe, 0x54, 0xF0, 2);                // optional header size
    Put(pe, 0x58, 0x20B, 2);               // PE32+
    Put(pe, 0x58 + 108, 16);               // data directories
    Put(pe, 0x58 + 128, 0x1000);           // resources
    Put(pe, 0x148 + 12, 0x1000);           // section address
    Put(pe, 0x158, 228);                   // its size in the file
    Put(pe, 0x148 + 20, uint32_t(kRsrc));  // and where
    // Directories: root {3, 14}, then per type one name, per name one language.
    const uint32_t dirs[][3] = {{0, 3, 32},       {0, 14, 80},  {32, 1, 56},
                                {56, 0x409, 128}, {80, 1, 104}, {104, 0, 144}};
    for (uint32_t offset : {0u, 32u, 56u, 80u, 104u})
        Put(pe, kRsrc + offset + 14, offset ? 1 : 2, 2);
    for (size_t i = 0; i < 6; ++i) {
        size_t entry = kRsrc + dirs[i][0] + 16 + (i == 1 ? 8 : 0);
        Put(pe, entry, dirs[i][1]);
        Put(pe, entry + 4, dirs[i][2] | (dirs[i][2] < 128 ? 0x80000000u : 0));
    }
    Put(pe, kRsrc + 128, 0x1000 + 160);  // the image's data entry
    Put(pe, kRsrc + 132, 48);
    Put(pe, kRsrc + 144, 0x1000 + 208);  // the group's
    Put(pe, kRsrc + 148, 20);
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
    struct Case {
        const char* what;
        Base base;
        int grow;  // bytes added at the end, or cut when negative
        std::vector<Patch> patches;
        bool sound;
    } cases[] = {
        {"executable", kPe, 0, {}, true},
        {"icon file", kIco, 0, {}, true},
        {"PNG image", kPngIco, 0, {}, true},
        {"half an executable", kPe, -370, {}, false},
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
        {"cursor file", kIco, 0, {{2, 2, 2}}, false},
    };
    for (const Case& c : cases) {
        fake::FakeDesktop desktop;
        std::string& file = desktop.Files()["f"] = c.base == kPe ? PeFile() : fake::IcoFileBytes();
        if (c.base == kPngIco)
            file.replace(22, 26, "\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\1\0\0\0\1\0\x08\x06", 26);
        file.resize(size_t(int(file.size()) + c.grow));
        for (const Patch& p : c.patches) Put(file, p.at, p.value, p.size);
        EXPECT_EQ(IconDataIsSound(desktop, "f"), c.sound) << c.what;
        EXPECT_EQ(desktop.Log().Count("OpenFileForReading"), desktop.Log().Count("CloseFile"));
    }
}

}  // namespace
}  // namespace kelvorin
