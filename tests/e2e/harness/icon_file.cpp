#include "harness/icon_file.h"

#include "harness/process.h"

#include <cstdlib>
#include <vector>

namespace e2e {
namespace {

bool Painted(int icon, int x, int y) {
    switch (icon) {
        case 0:
            return x >= 8 && x < 24 && y >= 8 && y < 24;
        case 1:
            return std::abs(2 * x - 31) + std::abs(2 * y - 31) <= 24;
        default:
            return y >= 4 && y < 28 && (y / 4) % 2 == 0 && x >= 2 && x < 30;
    }
}

// An RT_ICON resource: 32-bit colour with alpha, and the AND mask to match.
std::vector<BYTE> IconResource(int icon) {
    BITMAPINFOHEADER header{sizeof header, kIconSize, 2 * kIconSize, 1, 32, BI_RGB};
    std::vector<BYTE> data(reinterpret_cast<BYTE*>(&header),
                           reinterpret_cast<BYTE*>(&header) + sizeof header);
    for (int y = kIconSize - 1; y >= 0; --y) {  // rows bottom-up
        for (int x = 0; x < kIconSize; ++x) {
            COLORREF c = kIconColours[icon];
            bool on = Painted(icon, x, y);
            data.insert(data.end(), {on ? GetBValue(c) : BYTE(0), on ? GetGValue(c) : BYTE(0),
                                     on ? GetRValue(c) : BYTE(0), on ? BYTE(255) : BYTE(0)});
        }
    }
    for (int y = kIconSize - 1; y >= 0; --y) {
        BYTE row[4] = {};
        for (int x = 0; x < kIconSize; ++x)
            if (!Painted(icon, x, y)) row[x / 8] |= BYTE(0x80 >> (x % 8));
        data.insert(data.end(), row, row + 4);
    }
    return data;
}

#pragma pack(push, 2)
struct IconGroup {
    WORD reserved = 0, type = 1, count = 1;
    BYTE width = kIconSize, height = kIconSize, colours = 0, reserved2 = 0;
    WORD planes = 1, bitCount = 32;
    DWORD bytes = 0;
    WORD id = 0;
};
#pragma pack(pop)

}  // namespace

bool AddIcons(const std::wstring& exe) {
    HANDLE update = BeginUpdateResourceW(exe.c_str(), FALSE);
    if (!update) return false;
    const WORD neutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
    bool ok = true;
    for (int i = 0; i < kIconCount; ++i) {
        std::vector<BYTE> image = IconResource(i);
        IconGroup group;
        group.bytes = DWORD(image.size());
        group.id = WORD(i + 1);
        ok = ok &&
             UpdateResourceW(update, RT_ICON, MAKEINTRESOURCEW(i + 1), neutral, image.data(),
                             DWORD(image.size())) &&
             UpdateResourceW(update, RT_GROUP_ICON, MAKEINTRESOURCEW(101 + i), neutral, &group,
                             sizeof group);
    }
    return EndUpdateResourceW(update, ok ? FALSE : TRUE) && ok;
}

bool DamageFirstIcon(const std::wstring& exe) {
    UniqueHandle handle(CreateFileW(exe.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    HANDLE h = handle.Get();
    if (!h) return false;
    std::vector<char> file(GetFileSize(h, nullptr));
    DWORD done = 0;
    bool ok = ReadFile(h, file.data(), DWORD(file.size()), &done, nullptr) && done == file.size();
    auto at = [&](size_t offset, size_t size) {
        return offset + size <= file.size() ? file.data() + offset : nullptr;
    };
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(at(0, sizeof(IMAGE_DOS_HEADER)));
    auto* nt = dos ? reinterpret_cast<IMAGE_NT_HEADERS64*>(
                         at(size_t(dos->e_lfanew), sizeof(IMAGE_NT_HEADERS64)))
                   : nullptr;
    if (!ok || !nt) return false;
    DWORD root = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_RESOURCE].VirtualAddress;
    IMAGE_SECTION_HEADER* rsrc = nullptr;
    IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section)
        if (root >= section->VirtualAddress &&
            root < section->VirtualAddress + section->SizeOfRawData)
            rsrc = section;
    if (!rsrc) return false;
    size_t base = rsrc->PointerToRawData + (root - rsrc->VirtualAddress);
    // RT_ICON, then its first name and first language: a data entry.
    size_t offset = base;
    for (WORD wanted : {WORD(3), WORD(0), WORD(0)}) {
        auto* dir = reinterpret_cast<IMAGE_RESOURCE_DIRECTORY*>(
            at(offset, sizeof(IMAGE_RESOURCE_DIRECTORY)));
        int n = dir ? dir->NumberOfNamedEntries + dir->NumberOfIdEntries : 0;
        auto* entry = reinterpret_cast<IMAGE_RESOURCE_DIRECTORY_ENTRY*>(dir + 1);
        int i = 0;
        while (i < n && wanted != 0 && entry[i].Id != wanted) ++i;
        if (i == n) return false;
        offset = base + entry[i].OffsetToDirectory;
    }
    auto* data =
        reinterpret_cast<IMAGE_RESOURCE_DATA_ENTRY*>(at(offset, sizeof(IMAGE_RESOURCE_DATA_ENTRY)));
    if (!data) return false;
    data->OffsetToData = rsrc->VirtualAddress + rsrc->SizeOfRawData + 0x100000;
    rsrc->SizeOfRawData += 0x200000;
    return SetFilePointer(h, 0, nullptr, FILE_BEGIN) == 0 &&
           WriteFile(h, file.data(), DWORD(file.size()), &done, nullptr) && done == file.size();
}

}  // namespace e2e
