#include "icons/icon_data.h"

#include <gtest/gtest.h>

#include <functional>

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
    Put(pe, 0x46, 1, 2);                            // one section
    Put(pe, 0x54, 0xF0, 2);                         // optional header size
    Put(pe, 0x58, 0x20B, 2);                        // PE32+
    Put(pe, 0x58 + 108, 16);                        // data directories
    Put(pe, 0x58 + 128, 0x1000);                    // resources
    Put(pe, 0x148 + 12, 0x1000);                    // section address
    Put(pe, 0x148 + 16, 228);                       // its size in the file
    Put(pe, 0x148 + 20, uint32_t(kRsrc));           // and where
    // Directories: root {3, 14}, then per type one name, per name one language.
    const uint32_t dirs[][3] = {{0, 3, 32}, {0, 14, 80}, {32, 1, 56}, {56, 0x409, 128},
                                {80, 1, 104}, {104, 0, 144}};
    for (uint32_t offset : {0u, 32u, 56u, 80u, 104u}) Put(pe, kRsrc + offset + 14, offset ? 1 : 2, 2);
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
    Put(pe, kRsrc + 210, 1, 2);   // group: type 1
    Put(pe, kRsrc + 212, 1, 2);   // one image
    Put(pe, kRsrc + 226, 1, 2);   // named RT_ICON 1
    return pe;
}

TEST(IconData, OnlyWholeExecutablesAndIconFilesWithSaneImagesPass) {
    using Damage = std::function<void(std::string&)>;
    const std::string png("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\1\0\0\0\1\0\x08\x06", 26);
    struct Case {
        const char* what;
        bool pe;  // else an .ico
        Damage damage;
        bool sound;
    } cases[] = {
        {"executable", true, [](std::string&) {}, true},
        {"icon file", false, [](std::string&) {}, true},
        {"256-pixel PNG image", false, [&](std::string& f) { f.replace(22, 26, png); }, true},
        {"half an executable", true, [](std::string& f) { f.resize(f.size() / 2); }, false},
        {"truncated icon file", false, [](std::string& f) { f.pop_back(); }, false},
        {"RT_ICON data running past the end", true,
         [](std::string& f) { Put(f, 0x148 + 16, 0x100000); Put(f, kRsrc + 132, 0x10000); }, false},
        {"group naming a missing RT_ICON", true, [](std::string& f) { Put(f, kRsrc + 226, 2, 2); },
         false},
        {"directory claiming 65535 entries", true, [](std::string& f) { Put(f, kRsrc + 14, 0xFFFF, 2); },
         false},
        {"language directory left empty", true, [](std::string& f) { Put(f, kRsrc + 56 + 14, 0, 2); },
         false},
        {"executable image of 2^31 pixels", true,
         [](std::string& f) { Put(f, kRsrc + 160 + 8, 0x80000000u); }, false},
        {"icon file claiming 65535 images", false, [](std::string& f) { Put(f, 4, 0xFFFF, 2); }, false},
        {"image at a 2 GiB offset", false, [](std::string& f) { Put(f, 18, 0x80000000u); }, false},
        {"image of 2^31 pixels", false, [](std::string& f) { Put(f, 22 + 4, 0x7FFFFFFF); }, false},
        {"PNG of 100000 pixels", false,
         [&](std::string& f) { f.replace(22, 26, png); Put(f, 22 + 16, 0xA0860100); }, false},
        {"cursor file", false, [](std::string& f) { Put(f, 2, 2, 2); }, false},
    };
    for (const Case& c : cases) {
        fake::FakeDesktop desktop;
        std::string& file = desktop.Files()["file"] = c.pe ? PeFile() : fake::IcoFileBytes();
        c.damage(file);
        EXPECT_EQ(IconDataIsSound(desktop, "file"), c.sound) << c.what;
        EXPECT_EQ(desktop.Log().Count("OpenFileForReading"), desktop.Log().Count("CloseFile"));
    }
}

}  // namespace
}  // namespace kelvorin
