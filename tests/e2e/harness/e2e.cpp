#include "harness/e2e.h"

namespace e2e {

// --- icons of known pictures -----------------------------------------------------------

bool Painted(int icon, int x, int y) {
    if (icon == 0) return x >= 8 && x < 24 && y >= 8 && y < 24;
    if (icon == 1) return std::abs(2 * x - 31) + std::abs(2 * y - 31) <= 24;
    return y >= 4 && y < 28 && (y / 4) % 2 == 0 && x >= 2 && x < 30;
}

std::wstring IconHelper(const std::string& dir, const std::wstring& name) {
#pragma pack(push, 2)
    struct Group {  // a group of one icon
        WORD reserved = 0, type = 1, count = 1;
        BYTE width = 32, height = 32, colours = 0, reserved2 = 0;
        WORD planes = 1, bitCount = 32;
        DWORD bytes = 0;
        WORD id = 0;
    } group;
#pragma pack(pop)
    std::wstring exe = WinPath(opt.workDir + "/" + dir);
    CreateDirectoryW(exe.c_str(), nullptr);
    exe += L"\\" + name;
    HANDLE update = CopyFileW(opt.helper.c_str(), exe.c_str(), FALSE)
                        ? BeginUpdateResourceW(exe.c_str(), FALSE)
                        : nullptr;
    bool ok = update != nullptr;
    for (int i = 0; ok && i < 3; ++i) {
        // 32-bit colour with alpha, rows bottom-up, then the AND mask.
        BITMAPINFOHEADER header{sizeof header, 32, 64, 1, 32, BI_RGB};
        std::vector<BYTE> data(reinterpret_cast<BYTE*>(&header),
                               reinterpret_cast<BYTE*>(&header + 1));
        std::vector<BYTE> mask;
        for (int y = 31; y >= 0; --y)
            for (int x = 0; x < 32; ++x) {
                BYTE on = Painted(i, x, y) ? 255 : 0;
                COLORREF c = kIconColours[i];
                data.insert(data.end(), {BYTE(GetBValue(c) & on), BYTE(GetGValue(c) & on),
                                         BYTE(GetRValue(c) & on), on});
                if (x % 8 == 0) mask.push_back(0);
                mask.back() |= on ? 0 : BYTE(0x80 >> (x % 8));
            }
        data.insert(data.end(), mask.begin(), mask.end());
        group.bytes = DWORD(data.size());
        group.id = WORD(i + 1);
        ok = UpdateResourceW(update, RT_ICON, MAKEINTRESOURCEW(i + 1), 0, data.data(),
                             group.bytes) &&
             UpdateResourceW(update, RT_GROUP_ICON, MAKEINTRESOURCEW(101 + i), 0, &group,
                             sizeof group);
    }
    if (!update || !EndUpdateResourceW(update, !ok) || !ok)
        throw std::runtime_error("the helper copy got no icons");
    return exe;
}

bool DamageFirstIcon(const std::wstring& exe) {
    std::string file = FileText(exe);  // the helper's own layout: no bounds to doubt
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS64*>(
        file.data() + reinterpret_cast<IMAGE_DOS_HEADER*>(file.data())->e_lfanew);
    DWORD root = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_RESOURCE].VirtualAddress;
    IMAGE_SECTION_HEADER* rsrc = IMAGE_FIRST_SECTION(nt);
    while (root < rsrc->VirtualAddress || root >= rsrc->VirtualAddress + rsrc->SizeOfRawData)
        ++rsrc;
    size_t base = rsrc->PointerToRawData + (root - rsrc->VirtualAddress), at = base;
    for (WORD id : {WORD(3), WORD(0), WORD(0)}) {  // RT_ICON, then its first name and language
        auto* dir = reinterpret_cast<IMAGE_RESOURCE_DIRECTORY*>(file.data() + at);
        auto* entry = reinterpret_cast<IMAGE_RESOURCE_DIRECTORY_ENTRY*>(dir + 1);
        while (id && entry->Id != id) ++entry;
        at = base + entry->OffsetToDirectory;
    }
    auto* data = reinterpret_cast<IMAGE_RESOURCE_DATA_ENTRY*>(file.data() + at);
    data->OffsetToData = rsrc->VirtualAddress + rsrc->SizeOfRawData + 0x100000;
    rsrc->SizeOfRawData += 0x200000;
    HANDLE out = CreateFileW(exe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    bool ok = WriteFile(out, file.data(), DWORD(file.size()), &written, nullptr) &&
              written == file.size();
    CloseHandle(out);
    return ok;
}

}  // namespace e2e

int wmain(int argc, wchar_t** argv) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);  // a crash ends the driver
    testing::InitGoogleTest(&argc, argv);
    std::map<std::wstring, std::wstring> args;
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i];
        args[arg.substr(0, arg.find(L'='))] = arg.substr(arg.find(L'=') + 1);
    }
    e2e::opt = {args[L"--kelvorin"], args[L"--helper"],
                unsigned(_wtoi(args[L"--codepage"].c_str())), e2e::Utf8(args[L"--work-dir"]),
                e2e::Utf8(args[L"--screenshots"])};
    if (e2e::opt.kelvorin.empty() || e2e::opt.helper.empty() || e2e::opt.workDir.empty() ||
        !e2e::opt.codepage || args.size() > 5)
        return std::fprintf(stderr,
                            "kelvorin_e2e: run_e2e.sh passes --kelvorin= --helper= "
                            "--codepage= --work-dir= [--screenshots=]\n"),
               2;
    struct ShotOnFailure : testing::EmptyTestEventListener {  // the screen as the test left it
        void OnTestEnd(const testing::TestInfo& test) override {
            if (test.result()->Failed())
                e2e::Screenshot(std::string(test.test_suite_name()) + "." + test.name());
        }
    };
    testing::UnitTest::GetInstance()->listeners().Append(new ShotOnFailure);
    return RUN_ALL_TESTS();
}
