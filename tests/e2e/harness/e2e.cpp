#include "harness/e2e.h"

#include <sstream>

namespace e2e {

Options opt;

namespace {

// Each argument quoted so that the C runtime gives it back as it was.
std::wstring CommandLine(const std::wstring& exe, const std::vector<std::wstring>& args) {
    std::wstring line = L"\"" + exe + L"\"";
    for (const std::wstring& arg : args) {
        line += L" \"";
        size_t slashes = 0;
        for (wchar_t c : arg) {
            line.append(c == L'"' ? slashes + 1 : 0, L'\\') += c;
            slashes = c == L'\\' ? slashes + 1 : 0;
        }
        line.append(slashes, L'\\') += L'"';
    }
    return line;
}

}  // namespace

std::string Utf8(std::wstring_view w) {
    std::string s(w.size() * 3, '\0');
    s.resize(size_t(WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), s.data(),
                                        int(s.size()), nullptr, nullptr)));
    return s;
}

std::wstring Wide(std::string_view s) {
    std::wstring w(s.size(), L'\0');
    w.resize(
        size_t(MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), w.data(), int(w.size()))));
    return w;
}

std::wstring WinPath(const std::string& unixPath) {
    std::wstring w = L"Z:" + Wide(unixPath);
    for (auto& c : w) c = c == L'/' ? L'\\' : c;
    return w;
}

std::string FileText(const std::wstring& path) {
    std::string text;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read) text.append(buffer, read);
    CloseHandle(file);
    return text;
}

std::string Text(HWND h) {
    wchar_t text[1024] = {};
    SendMessageTimeoutW(h, WM_GETTEXT, 1024, LPARAM(text), SMTO_ABORTIFHUNG, 5000, nullptr);
    return Utf8(text);
}

HWND WaitWindow(DWORD pid, const wchar_t* cls, HWND owner, ms timeout, HWND except) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND h = GetTopWindow(nullptr); h && !found; h = GetWindow(h, GW_HWNDNEXT)) {
                DWORD process = 0;
                wchar_t name[256] = {};
                GetWindowThreadProcessId(h, &process);
                GetClassNameW(h, name, 256);
                if ((!pid || process == pid) && !wcscmp(name, cls) && IsWindowVisible(h) &&
                    (!owner || GetWindow(h, GW_OWNER) == owner) && h != except)
                    found = h;
            }
            return found != nullptr;
        },
        timeout);
    return found;
}

GUITHREADINFO Gui(HWND window) {
    GUITHREADINFO info{sizeof info};
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info;
}

HWND Focused(HWND window) {
    for (HWND h = Gui(window).hwndFocus; h; h = GetAncestor(h, GA_PARENT))
        if (GetAncestor(h, GA_PARENT) == window) return h;
    return nullptr;
}

SIZE ClientSize(HWND h) {
    RECT r{};
    GetClientRect(h, &r);
    return {r.right, r.bottom};
}

int Pixels(int twips) {
    HDC screen = GetDC(nullptr);
    int pixels = MulDiv(twips, GetDeviceCaps(screen, LOGPIXELSY), 1440);
    ReleaseDC(nullptr, screen);
    return pixels;
}

int CountPixels(RECT r, COLORREF colour) {
    HDC screen = GetDC(nullptr);
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) n += GetPixel(screen, x, y) == colour;
    ReleaseDC(nullptr, screen);
    return n;
}

POINT TrayIconPoint() {
    RECT r = WindowRect(FindWindowW(L"Shell_TrayWnd", nullptr));
    return {r.right - 10, (r.top + r.bottom) / 2};
}

std::optional<std::string> Clipboard() {
    if (!WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 1s)) return std::nullopt;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    auto text = data ? std::optional(Utf8(static_cast<wchar_t*>(GlobalLock(data)))) : std::nullopt;
    if (data) GlobalUnlock(data);
    CloseClipboard();
    return text;
}

bool EmptyClipboard() {
    return WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 1s) && ::EmptyClipboard() &&
           CloseClipboard();
}

std::string MessageText(HWND box) {
    return Text(GetDlgItem(box, 0xFFFF));
}

HWND FileNameField(HWND dialog) {  // the edit of cmb13, cmb13 itself or edt1
    HWND combo = GetDlgItem(dialog, 0x47c), edit = FindWindowExW(combo, nullptr, L"Edit", nullptr);
    return edit ? edit : combo ? combo : GetDlgItem(dialog, 0x480);
}

// --- input ----------------------------------------------------------------------

bool Xdo(std::vector<std::string> args) {
    args.insert(args.begin(), "/usr/bin/xdotool");
    auto [code, output] = RunUnix(args, 10s);
    EXPECT_EQ(code, 0) << "xdotool: " << output;
    return code == 0;
}

bool XClick(POINT p, int button) {
    // A --sync move to where the pointer is already waits for good: from aside.
    std::string x = std::to_string(p.x), y = std::to_string(p.y);
    return Xdo({"mousemove", std::to_string(p.x + 3), y, "mousemove", "--sync", x, y, "click",
                std::to_string(button)});
}

bool XDrag(POINT from, POINT to, bool release) {
    std::vector<std::string> args = {"mousemove", std::to_string(from.x), std::to_string(from.y),
                                     "mousedown", "1"};
    for (int i = 1; i <= 8; ++i)
        args.insert(args.end(),
                    {"mousemove", "--sync", std::to_string(from.x + (to.x - from.x) * i / 8),
                     std::to_string(from.y + (to.y - from.y) * i / 8)});
    if (release) args.insert(args.end(), {"mouseup", "1"});
    return Xdo(args);
}

bool Keys(const std::vector<WORD>& keys, bool down, bool up) {
    std::vector<INPUT> in;
    for (size_t i = 0; down && i < keys.size(); ++i)
        in.push_back({INPUT_KEYBOARD, {.ki = {keys[i], 0, 0, 0, 0}}});
    for (size_t i = keys.size(); up && i-- > 0;)
        in.push_back({INPUT_KEYBOARD, {.ki = {keys[i], 0, KEYEVENTF_KEYUP, 0, 0}}});
    return SendInput(UINT(in.size()), in.data(), sizeof(INPUT)) == in.size();
}

bool Front(HWND window) {
    return WaitUntil([&] { return SetForegroundWindow(window) && GetForegroundWindow() == window; },
                     3s);
}

testing::AssertionResult Tab(HWND window, int id, bool back) {
    Keys(back ? std::vector<WORD>{VK_SHIFT, VK_TAB} : std::vector<WORD>{VK_TAB});
    if (WaitUntil([&] { return Focused(window) == GetDlgItem(window, id); }, 2s))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << (back ? "Shift+Tab" : "Tab") << " to " << id
                                       << " reached " << GetDlgCtrlID(Focused(window));
}

testing::AssertionResult TabTo(HWND window, int id) {
    for (int i = 0; i < 30 && Focused(window) != GetDlgItem(window, id); ++i) {
        HWND before = Focused(window);
        Keys({VK_TAB});
        WaitUntil([&] { return Focused(window) != before; }, 2s);
    }
    if (Focused(window) == GetDlgItem(window, id)) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "Tab never reached " << id;
}

// --- processes ---------------------------------------------------------------------

std::pair<int, std::string> RunUnix(const std::vector<std::string>& argv, ms timeout) {
    static std::atomic<int> counter{0};
    std::string base = opt.workDir + "/unix-" + std::to_string(++counter);
    std::vector<std::wstring> args = {
        L"-c", L"o=$1 r=$2; shift 2; \"$@\" >\"$o\" 2>&1; echo $? >\"$r.t\"; mv \"$r.t\" \"$r\"",
        L"sh", Wide(base + ".out"), Wide(base + ".rc")};
    for (const auto& a : argv) args.push_back(Wide(a));
    std::wstring line = CommandLine(L"/bin/sh", args), rc = WinPath(base + ".rc");
    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return {-1, "could not start /bin/sh"};
    // Wine gives no process for a Unix program, and the thread field may then
    // hold a value that is no handle of ours: both are closed only with a process.
    if (pi.hProcess) CloseHandle(pi.hProcess), CloseHandle(pi.hThread);
    if (!WaitUntil([&] { return GetFileAttributesW(rc.c_str()) != INVALID_FILE_ATTRIBUTES; },
                   timeout))
        return {-1, "did not finish"};
    std::pair result{std::atoi(FileText(rc).c_str()), FileText(WinPath(base + ".out"))};
    DeleteFileW(rc.c_str());
    return result;
}

void Screenshot(const std::string& name, const RECT* area) {
    std::string png = opt.shots + "/" + name + ".png", ppm = opt.workDir + "/" + name + ".ppm";
    if (opt.shots.empty()) return;
    if (!area) {
        RunUnix({"/usr/bin/import", "-window", "root", png});
        return;
    }
    // cursor_shot, built beside the driver, draws the pointer in; import cannot.
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::string tool = Utf8(self).substr(2);  // Z:\dir\kelvorin_e2e.exe
    tool = tool.substr(0, tool.rfind('\\')) + "/cursor_shot";
    for (auto& c : tool) c = c == '\\' ? '/' : c;
    RunUnix({tool, ppm, std::to_string(area->left), std::to_string(area->top),
             std::to_string(area->right - area->left), std::to_string(area->bottom - area->top)});
    RunUnix({"/usr/bin/convert", ppm, png});
}

Child::Child(const std::wstring& exe, const std::vector<std::wstring>& args, HANDLE out) {
    std::wstring line = CommandLine(exe, args);
    STARTUPINFOW si{sizeof si};
    si.dwFlags = out ? STARTF_USESTDHANDLES : 0;
    si.hStdOutput = out;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, out != nullptr, 0, nullptr,
                        nullptr, &si, &pi))
        throw std::runtime_error("could not start " + Utf8(line));
    CloseHandle(pi.hThread);
    h_ = pi.hProcess;
    id_ = pi.dwProcessId;
}

Helper::Helper(const std::string& args, const std::wstring& exe) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE reader = nullptr, writer = nullptr;
    CreatePipe(&reader, &writer, &inherit, 0);
    SetHandleInformation(reader, HANDLE_FLAG_INHERIT, 0);
    std::vector<std::wstring> wide;
    std::istringstream words(args);
    for (std::string word; std::getline(words, word, '|');) wide.push_back(Wide(word));
    process_ = std::make_unique<Child>(exe.empty() ? opt.helper : exe, wide, writer);
    CloseHandle(writer);
    std::string report;
    char chunk[4096];
    DWORD n = 0;  // the helper dying ends the pipe, and the loop
    while (report.find("ready\n") == std::string::npos &&
           ReadFile(reader, chunk, 4096, &n, nullptr))
        report.append(chunk, n);
    CloseHandle(reader);
    if (report.find("ready\n") == std::string::npos)
        throw std::runtime_error("e2e_helper did not report its windows: " + report);
    std::istringstream lines(report);
    for (std::string kind, rest; lines >> kind && std::getline(lines >> std::ws, rest);) {
        if (kind == "path") path = rest;
        size_t space = rest.rfind(' ');
        if (kind == "window")
            windows_[rest.substr(0, space)] = HWND(intptr_t(std::stoi(rest.substr(space + 1))));
    }
}

// --- the program -------------------------------------------------------------------------

App::App() : process_(std::make_unique<Child>(opt.kelvorin, std::vector<std::wstring>{})) {
    main_ = WaitWindow(process_->Id(), ids::kMainFrmClass, nullptr, 20s);
    if (!main_) throw std::runtime_error("kelvorin.exe showed no main window");
    // A slow first start can outlast the 5 s after which the system calls a
    // window hung; one answer clears that for the sends with SMTO_ABORTIFHUNG.
    SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_NORMAL, 30000, nullptr);
}

namespace {
constexpr size_t kPage = 4096, kText = 512;  // the structure first, its text after it
constexpr int kChars = int((kPage - kText) / sizeof(wchar_t));
}  // namespace

RemoteList::RemoteList(HWND list) : list_(list) {
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    remote_ = static_cast<char*>(
        VirtualAllocEx(process_, nullptr, kPage, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!remote_) throw std::runtime_error("no memory in the list's process");
}

std::string RemoteList::Cell(int row, int column) const {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<wchar_t*>(remote_ + kText);
    item.cchTextMax = kChars;
    wchar_t text[kChars] = {};
    LRESULT n = Copy(&item, sizeof item, true) ? Send(LVM_GETITEMTEXTW, row, 0) : 0;
    if (n <= 0 || !Copy(text, size_t(n) * sizeof(wchar_t), false, kText)) return {};
    return Utf8(std::wstring_view(text, size_t(n)));
}

RECT RemoteList::ItemRect(int row) const {
    Send(LVM_ENSUREVISIBLE, row, FALSE, false);
    RECT r{LVIR_BOUNDS};
    if (!Copy(&r, sizeof r, true) || Send(LVM_GETITEMRECT, row, 0) <= 0 ||
        !Copy(&r, sizeof r, false))
        return {};
    MapWindowPoints(list_, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

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
