#include "harness/e2e.h"

namespace e2e {

bool Painted(int icon, int x, int y) {
    if (icon == 0) return x >= 8 && x < 24 && y >= 8 && y < 24;
    if (icon == 1) return std::abs(2 * x - 31) + std::abs(2 * y - 31) <= 24;
    return y >= 4 && y < 28 && (y / 4) % 2 == 0 && x >= 2 && x < 30;
}

std::wstring IconHelper(const std::string& dir, const std::wstring& name) {
    std::wstring exe = WinPath(opt.workDir + "/" + dir), built = opt.helper;
    CreateDirectoryW(exe.c_str(), nullptr);
    exe += L"\\" + name;
    built = built.substr(0, built.rfind(L'\\') + 1) + L"e2e_icon_helper.exe";
    if (!CopyFileW(built.c_str(), exe.c_str(), FALSE))
        throw std::runtime_error("no copy of e2e_icon_helper.exe");
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
    std::ofstream out(std::filesystem::path(exe), std::ios::binary | std::ios::trunc);
    return bool(out.write(file.data(), std::streamsize(file.size())).flush());
}

}  // namespace e2e

int wmain(int argc, wchar_t** argv) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);  // a crash ends the driver
    testing::InitGoogleTest(&argc, argv);
    if (argc != 5 || !_wtoi(argv[3]))  // what run_e2e.sh passes, less GoogleTest's own flags
        return std::fputs("kelvorin_e2e KELVORIN_EXE HELPER_EXE CODEPAGE WORK_DIR\n", stderr), 2;
    e2e::opt = {argv[1], argv[2], unsigned(_wtoi(argv[3])), e2e::Utf8(argv[4])};
    return RUN_ALL_TESTS();
}
