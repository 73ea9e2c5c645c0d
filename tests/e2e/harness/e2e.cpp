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
    std::map<std::wstring, std::wstring> arg;  // --name=value, from run_e2e.sh
    for (int i = 1; i < argc; ++i)
        if (wchar_t* eq = wcschr(argv[i], L'=')) arg[std::wstring(argv[i], eq)] = eq + 1;
    e2e::opt = {arg[L"--kelvorin"], arg[L"--helper"], unsigned(_wtoi(arg[L"--codepage"].c_str())),
                e2e::Utf8(arg[L"--work-dir"])};
    if (e2e::opt.kelvorin.empty() || e2e::opt.helper.empty() || e2e::opt.workDir.empty() ||
        !e2e::opt.codepage || arg.size() != 4 || argc > 5)
        return std::fputs(
                   "kelvorin_e2e: run_e2e.sh passes --kelvorin= --helper= --codepage= "
                   "--work-dir=\n",
                   stderr),
               2;
    return RUN_ALL_TESTS();
}
