#include "harness/e2e.h"

#include <commctrl.h>

#include <cwchar>
#include <sstream>
#include <stdexcept>

namespace e2e {
namespace {

Options g_options;

std::wstring Quote(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
    std::wstring quoted = L"\"";
    size_t slashes = 0;
    for (wchar_t c : arg) {
        if (c == L'"') quoted.append(slashes + 1, L'\\');
        slashes = c == L'\\' ? slashes + 1 : 0;
        quoted += c;
    }
    return quoted.append(slashes, L'\\') + L"\"";
}

std::wstring CommandLine(const std::wstring& exe, const std::vector<std::wstring>& args) {
    std::wstring line = Quote(exe);
    for (const auto& a : args) line += L" " + Quote(a);
    return line;
}

}  // namespace

std::string FileText(const std::wstring& path) {
    std::string text;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    char buffer[4096];
    DWORD read = 0;
    while (file != INVALID_HANDLE_VALUE && ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read)
        text.append(buffer, read);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return text;
}

namespace {

// Keeps a picture of the screen as it was when a test failed.
struct ShotOnFailure : testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo& test) override {
        if (test.result()->Failed())
            Screenshot(std::string(test.test_suite_name()) + "." + test.name());
    }
};

}  // namespace

const Options& Opt() { return g_options; }

std::wstring WinPath(const std::string& unixPath) {
    std::wstring w = L"Z:" + Wide(unixPath);
    for (auto& c : w) c = c == L'/' ? L'\\' : c;
    return w;
}

std::string Utf8(std::wstring_view w) {
    std::string s(w.size() * 3, '\0');
    s.resize(size_t(WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), s.data(),
                                        int(s.size()), nullptr, nullptr)));
    return s;
}

std::wstring Wide(std::string_view s) {
    std::wstring w(s.size(), L'\0');
    w.resize(size_t(MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), w.data(), int(w.size()))));
    return w;
}

std::string Text(HWND h) {
    wchar_t text[1024] = {};
    DWORD_PTR n = 0;
    SendMessageTimeoutW(h, WM_GETTEXT, 1024, LPARAM(text), SMTO_ABORTIFHUNG, 5000, &n);
    return Utf8(text);
}

std::string ClassOf(HWND h) {
    wchar_t name[256] = {};
    GetClassNameW(h, name, 256);
    return Utf8(name);
}

std::vector<HWND> TopWindows(DWORD pid, const wchar_t* cls) {
    std::vector<HWND> found;
    for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        if ((!pid || owner == pid) && (!cls || ClassOf(h) == Utf8(cls)) && IsWindowVisible(h))
            found.push_back(h);
    }
    return found;
}

HWND WaitWindow(DWORD pid, const wchar_t* cls, HWND owner, ms timeout, HWND except) {
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND h : TopWindows(pid, cls))
            if ((!owner || GetWindow(h, GW_OWNER) == owner) && h != except) return (found = h) != nullptr;
        return false;
    }, timeout);
    return found;
}

HWND Focused(HWND window) {
    GUITHREADINFO info{sizeof info};
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    for (HWND h = info.hwndFocus; h; h = GetAncestor(h, GA_PARENT))
        if (GetAncestor(h, GA_PARENT) == window) return h;
    return nullptr;
}

HWND CaptureOf(HWND window) {
    GUITHREADINFO info{sizeof info};
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndCapture;
}

POINT Centre(HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

SIZE ClientSize(HWND h) {
    RECT r{};
    GetClientRect(h, &r);
    return {r.right, r.bottom};
}

int Pixels(int twips) {
    HDC dc = GetDC(nullptr);
    int pixels = MulDiv(twips, GetDeviceCaps(dc, LOGPIXELSY), 1440);
    ReleaseDC(nullptr, dc);
    return pixels;
}

POINT TrayIconPoint() {
    RECT r{};
    GetWindowRect(FindWindowW(L"Shell_TrayWnd", nullptr), &r);
    return {r.right - 10, (r.top + r.bottom) / 2};
}

std::optional<std::string> Clipboard() {
    if (!WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 1s)) return std::nullopt;
    std::optional<std::string> text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = Utf8(static_cast<const wchar_t*>(GlobalLock(data)));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

bool PutClipboard(const std::string& text) {
    std::wstring w = Wide(text);
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (w.size() + 1) * sizeof(wchar_t));
    memcpy(GlobalLock(data), w.c_str(), (w.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(data);
    if (!WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 1s)) return false;
    EmptyClipboard();
    bool ok = SetClipboardData(CF_UNICODETEXT, data) != nullptr;
    CloseClipboard();
    return ok;
}

std::vector<DWORD> ScreenPixels(RECT r) {
    int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB}};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, dib);
    std::vector<DWORD> pixels;
    if (BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY))
        for (size_t i = 0; i < size_t(w) * size_t(h); ++i)
            pixels.push_back(static_cast<DWORD*>(bits)[i] & 0xFFFFFF);
    SelectObject(memory, old);
    DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// --- input ----------------------------------------------------------------------------

bool Xdo(std::vector<std::string> args) {
    args.insert(args.begin(), "/usr/bin/xdotool");
    UnixResult r = RunUnix(args, 10s);
    EXPECT_EQ(r.code, 0) << "xdotool: " << r.output;
    return r.code == 0;
}

bool XClick(POINT p, int button) {
    // A --sync move to where the pointer already is waits for good: go away first.
    return Xdo({"mousemove", std::to_string(p.x + 3), std::to_string(p.y + 3), "mousemove",
                "--sync", std::to_string(p.x), std::to_string(p.y), "click", std::to_string(button)});
}

bool XDrag(POINT from, POINT to, bool hold) {
    std::vector<std::string> args = {"mousemove", std::to_string(from.x), std::to_string(from.y),
                                     "mousedown", "1"};
    for (int i = 1; i <= 8; ++i)
        args.insert(args.end(), {"mousemove", "--sync", std::to_string(from.x + (to.x - from.x) * i / 8),
                                 std::to_string(from.y + (to.y - from.y) * i / 8)});
    if (!hold) args.insert(args.end(), {"mouseup", "1"});
    return Xdo(args);
}

bool Keys(const std::vector<WORD>& keys, bool down, bool up) {
    std::vector<INPUT> in;
    for (size_t i = 0; down && i < keys.size(); ++i)
        in.push_back(INPUT{INPUT_KEYBOARD, {.ki = {keys[i], 0, 0, 0, 0}}});
    for (size_t i = keys.size(); up && i-- > 0;)
        in.push_back(INPUT{INPUT_KEYBOARD, {.ki = {keys[i], 0, KEYEVENTF_KEYUP, 0, 0}}});
    return SendInput(UINT(in.size()), in.data(), sizeof(INPUT)) == in.size();
}

testing::AssertionResult Tab(HWND window, int id, bool back) {
    Keys(back ? std::vector<WORD>{VK_SHIFT, VK_TAB} : std::vector<WORD>{VK_TAB});
    if (WaitUntil([&] { return Focused(window) == GetDlgItem(window, id); }, 2s))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << (back ? "Shift+Tab" : "Tab") << " to control " << id
                                       << " reached " << GetDlgCtrlID(Focused(window));
}

// --- processes -----------------------------------------------------------------------

Child Child::Start(const std::wstring& exe, const std::vector<std::wstring>& args, HANDLE out) {
    std::wstring line = CommandLine(exe, args);
    STARTUPINFOW si{sizeof si};
    if (out) {
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = out;
        si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    }
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, out != nullptr, 0, nullptr,
                        nullptr, &si, &pi))
        throw std::runtime_error("could not start " + Utf8(line));
    CloseHandle(pi.hThread);
    Child child;
    child.h_ = pi.hProcess;
    child.id_ = pi.dwProcessId;
    return child;
}

Child& Child::operator=(Child&& o) noexcept {
    Kill();
    h_ = std::exchange(o.h_, nullptr);
    id_ = o.id_;
    return *this;
}

std::optional<DWORD> Child::ExitCode() const {
    DWORD code = 0;
    if (Running() || !GetExitCodeProcess(h_, &code)) return std::nullopt;
    return code;
}

void Child::Kill() {
    if (Running()) TerminateProcess(h_, 99), WaitExit(5s);
    if (h_) CloseHandle(h_);
    h_ = nullptr;
}

UnixResult RunUnix(const std::vector<std::string>& argv, ms timeout) {
    static std::atomic<int> counter{0};
    std::string base = Opt().workDir + "/unix-" + std::to_string(++counter);
    std::vector<std::wstring> args = {
        L"-c", L"o=$1; r=$2; shift 2; \"$@\" >\"$o\" 2>&1; echo $? >\"$r.t\"; mv \"$r.t\" \"$r\"",
        L"sh", Wide(base + ".out"), Wide(base + ".rc")};
    for (const auto& a : argv) args.push_back(Wide(a));
    std::wstring line = CommandLine(L"/bin/sh", args);
    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return {};
    // No process comes back for a Unix program, and the thread field may then
    // hold a value that is no handle of ours: both are closed only with a process.
    if (pi.hProcess) CloseHandle(pi.hProcess), CloseHandle(pi.hThread);
    std::wstring rc = WinPath(base + ".rc"), out = WinPath(base + ".out");
    UnixResult result;
    if (!WaitUntil([&] { return GetFileAttributesW(rc.c_str()) != INVALID_FILE_ATTRIBUTES; }, timeout))
        return result;
    result = {std::atoi(FileText(rc).c_str()), FileText(out)};
    DeleteFileW(rc.c_str());
    DeleteFileW(out.c_str());
    return result;
}

void Screenshot(const std::string& name, const RECT* area) {
    if (Opt().shots.empty()) return;
    std::string png = Opt().shots + "/" + name + ".png";
    if (!area) {
        RunUnix({"/usr/bin/import", "-window", "root", png});
        return;
    }
    // cursor_shot (built beside the driver) draws the pointer in; import cannot.
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::string tool = Utf8(self).substr(2), ppm = Opt().workDir + "/" + name + ".ppm";
    tool = tool.substr(0, tool.rfind('\\')) + "\\cursor_shot";
    for (auto& c : tool) c = c == '\\' ? '/' : c;
    RunUnix({tool, ppm, std::to_string(area->left), std::to_string(area->top),
             std::to_string(area->right - area->left), std::to_string(area->bottom - area->top)});
    RunUnix({"/usr/bin/convert", ppm, png});
}

Helper::Helper(const std::vector<std::string>& args, const std::wstring& exe) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE reader = nullptr, writer = nullptr;
    CreatePipe(&reader, &writer, &inherit, 0);
    SetHandleInformation(reader, HANDLE_FLAG_INHERIT, 0);
    std::vector<std::wstring> wide;
    for (const auto& a : args) wide.push_back(Wide(a));
    process_ = Child::Start(exe.empty() ? Opt().helper : exe, wide, writer);
    CloseHandle(writer);
    std::string report;
    WaitUntil([&] {
        DWORD n = 0;
        char chunk[4096];
        while (PeekNamedPipe(reader, nullptr, 0, nullptr, &n, nullptr) && n &&
               ReadFile(reader, chunk, sizeof chunk, &n, nullptr))
            report.append(chunk, n);
        return report.find("ready\n") != std::string::npos || !process_.Running();
    }, 15s);
    CloseHandle(reader);
    if (report.find("ready\n") == std::string::npos)
        throw std::runtime_error("e2e_helper did not report its windows: " + report);
    std::istringstream lines(report);
    for (std::string kind, rest; lines >> kind && std::getline(lines >> std::ws, rest);) {
        if (kind == "thread") thread_ = DWORD(std::stoul(rest));
        if (kind == "path") path = rest;
        if (kind == "window") {
            size_t space = rest.rfind(' ');
            windows_[rest.substr(0, space)] =
                reinterpret_cast<HWND>(intptr_t(std::stoi(rest.substr(space + 1))));
        }
    }
}

void Helper::Quit() {
    // A hung helper would never read the request.
    for (const auto& [name, h] : windows_)
        if (IsHungAppWindow(h)) return process_.Kill();
    PostThreadMessageW(thread_, WM_QUIT, 0, 0);
    if (!process_.WaitExit(3s)) process_.Kill();
}

// --- the program ----------------------------------------------------------------------

App::App() : process_(Child::Start(Opt().kelvorin, {})) {
    WaitUntil([&] {
        auto found = TopWindows(process_.Id(), ids::kMainFrmClass);
        main_ = found.empty() ? nullptr : found.front();
        return main_ || !process_.Running();
    }, 20s);
    if (!main_) throw std::runtime_error("kelvorin.exe showed no main window");
    // A slow first start can outlast the 5 s after which the system calls a
    // window hung; one answer clears that for the sends with SMTO_ABORTIFHUNG.
    SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_NORMAL, 30000, nullptr);
}

bool App::Click(int id, ms timeout) const {
    bool done = SendMessageTimeoutW((*this)(id), BM_CLICK, 0, 0, SMTO_NORMAL,
                                    UINT(timeout.count()), nullptr);
    EXPECT_TRUE(done) << "control " << id << " did not answer a click within " << timeout.count() << " ms";
    return done;
}

RemoteList& App::List() {
    if (!list_) list_ = std::make_unique<RemoteList>((*this)(ids::ListView1));
    return *list_;
}

std::string App::Quit() {
    list_.reset();
    if (!process_.Running()) return "already ended";
    PostMessageW((*this)(ids::Command4), BM_CLICK, 0, 0);
    if (process_.WaitExit(5s)) return "exit button";
    PostMessageW(main_, WM_CLOSE, 0, 0);
    if (process_.WaitExit(5s)) return "WM_CLOSE";
    process_.Kill();
    return "TerminateProcess";
}

// --- a list view of another process: its messages carry pointers, so the
// structures live in a page of the owner's memory, written, sent and read back.

namespace {
constexpr size_t kPage = 4096, kText = 512;  // the structure first, its text after it
}

RemoteList::RemoteList(HWND list) : list_(list) {
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    remote_ = static_cast<char*>(
        VirtualAllocEx(process_, nullptr, kPage, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!remote_) throw std::runtime_error("no memory in the list's process");
}

RemoteList::~RemoteList() {
    VirtualFreeEx(process_, remote_, 0, MEM_RELEASE);
    CloseHandle(process_);
}

LRESULT RemoteList::Send(UINT msg, WPARAM wp, size_t offset) const {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(list_, msg, wp, LPARAM(remote_ + offset), SMTO_ABORTIFHUNG, 10000, &result))
        return -1;
    return LRESULT(result);
}

bool RemoteList::Copy(size_t offset, void* data, size_t size, bool write) const {
    SIZE_T n = 0;
    return (write ? WriteProcessMemory(process_, remote_ + offset, data, size, &n)
                  : ReadProcessMemory(process_, remote_ + offset, data, size, &n)) &&
           n == size;
}

int RemoteList::Count() const { return int(Send(LVM_GETITEMCOUNT, 0, 0)); }

std::string RemoteList::Cell(int row, int column) const {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<wchar_t*>(remote_ + kText);
    item.cchTextMax = int((kPage - kText) / sizeof(wchar_t));
    wchar_t text[(kPage - kText) / sizeof(wchar_t)] = {};
    if (!Copy(0, &item, sizeof item, true)) return {};
    LRESULT n = Send(LVM_GETITEMTEXTW, WPARAM(row), 0);
    if (n <= 0 || !Copy(kText, text, size_t(n) * sizeof(wchar_t), false)) return {};
    return Utf8(std::wstring_view(text, size_t(n)));
}

std::vector<std::string> RemoteList::Row(int row) const {
    std::vector<std::string> cells;
    for (int c = 0; c < kVisibleCol + 1; ++c) cells.push_back(Cell(row, c));
    return cells;
}

std::vector<std::vector<std::string>> RemoteList::Rows() const {
    std::vector<std::vector<std::string>> rows;
    for (int r = 0, n = Count(); r < n; ++r) rows.push_back(Row(r));
    return rows;
}

int RemoteList::Find(int column, const std::string& text) const {
    for (int r = 0, n = Count(); r < n; ++r)
        if (Cell(r, column) == text) return r;
    return -1;
}

int RemoteList::Selected() const { return int(Send(LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED)); }

int RemoteList::Image(int row) const {
    LVITEMW item{LVIF_IMAGE, row};
    return Copy(0, &item, sizeof item, true) && Send(LVM_GETITEMW, 0, 0) > 0 &&
                   Copy(0, &item, sizeof item, false)
               ? item.iImage
               : -1;
}

bool RemoteList::Select(int row) const {
    LVITEMW item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    return row >= 0 && Copy(0, &item, sizeof item, true) && Send(LVM_SETITEMSTATE, WPARAM(row), 0) > 0;
}

RECT RemoteList::ItemRect(int row) const {
    SendMessageW(list_, LVM_ENSUREVISIBLE, WPARAM(row), FALSE);
    RECT r{LVIR_BOUNDS};
    Copy(0, &r, sizeof r, true);
    if (Send(LVM_GETITEMRECT, WPARAM(row), 0) <= 0 || !Copy(0, &r, sizeof r, false)) return {};
    MapWindowPoints(list_, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int RemoteList::ColumnWidth(int column) const {
    return int(SendMessageW(list_, LVM_GETCOLUMNWIDTH, WPARAM(column), 0));
}

// --- modal windows ----------------------------------------------------------------------

AsyncClick::AsyncClick(HWND button) : done_(std::make_shared<std::atomic<bool>>(false)) {
    struct Job {
        HWND button;
        std::shared_ptr<std::atomic<bool>> done;
    };
    thread_ = CreateThread(nullptr, 0, [](void* p) -> DWORD {
        std::unique_ptr<Job> job(static_cast<Job*>(p));
        SendMessageTimeoutW(job->button, BM_CLICK, 0, 0, SMTO_NORMAL, 120000, nullptr);
        *job->done = true;
        return 0;
    }, new Job{button, done_}, 0, nullptr);
}

AsyncClick::~AsyncClick() {
    Done(5s);  // a handler still waiting keeps its thread; the send times out on its own
    CloseHandle(thread_);
}

bool AsyncClick::Done(ms timeout) const { return WaitUntil([&] { return done_->load(); }, timeout); }

Box ReadBox(HWND box) {
    Box content{Text(box)};
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == "Static" && !Text(child).empty()) content.text = Text(child);
        if (ClassOf(child) != "Button" || !IsWindowVisible(child)) continue;
        content.buttons.push_back(GetDlgCtrlID(child));
        if ((GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            content.byDefault = GetDlgCtrlID(child);
    }
    return content;
}

bool Press(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    return button && PostMessageW(button, BM_CLICK, 0, 0);
}

HWND FileNameField(HWND dialog) {
    HWND combo = GetDlgItem(dialog, 0x47c);  // cmb13, with an edit inside
    HWND edit = combo ? FindWindowExW(combo, nullptr, L"Edit", nullptr) : nullptr;
    return edit ? edit : combo ? combo : GetDlgItem(dialog, 0x480);  // or edt1
}

// --- icons of known pictures ---------------------------------------------------------------

namespace {

bool Painted(int icon, int x, int y) {
    if (icon == 0) return x >= 8 && x < 24 && y >= 8 && y < 24;
    if (icon == 1) return std::abs(2 * x - 31) + std::abs(2 * y - 31) <= 24;
    return y >= 4 && y < 28 && (y / 4) % 2 == 0 && x >= 2 && x < 30;
}

#pragma pack(push, 2)
struct IconGroup {
    WORD reserved = 0, type = 1, count = 1;
    BYTE width = 32, height = 32, colours = 0, reserved2 = 0;
    WORD planes = 1, bitCount = 32;
    DWORD bytes = 0;
    WORD id = 0;
};
#pragma pack(pop)

}  // namespace

bool AddIcons(const std::wstring& exe) {
    HANDLE update = BeginUpdateResourceW(exe.c_str(), FALSE);
    bool ok = update != nullptr;
    for (int i = 0; ok && i < 3; ++i) {
        // 32-bit colour with alpha, rows bottom-up, then the AND mask.
        BITMAPINFOHEADER header{sizeof header, 32, 64, 1, 32, BI_RGB};
        std::vector<BYTE> data(reinterpret_cast<BYTE*>(&header), reinterpret_cast<BYTE*>(&header + 1));
        COLORREF c = kIconColours[i];
        for (int y = 31; y >= 0; --y)
            for (int x = 0; x < 32; ++x) {
                BYTE on = Painted(i, x, y) ? 255 : 0;
                data.insert(data.end(), {BYTE(GetBValue(c) & on), BYTE(GetGValue(c) & on),
                                         BYTE(GetRValue(c) & on), on});
            }
        for (int y = 31; y >= 0; --y) {
            BYTE row[4] = {};
            for (int x = 0; x < 32; ++x) row[x / 8] |= Painted(i, x, y) ? 0 : BYTE(0x80 >> (x % 8));
            data.insert(data.end(), row, row + 4);
        }
        IconGroup group;
        group.bytes = DWORD(data.size());
        group.id = WORD(i + 1);
        ok = UpdateResourceW(update, RT_ICON, MAKEINTRESOURCEW(i + 1), 0, data.data(), group.bytes) &&
             UpdateResourceW(update, RT_GROUP_ICON, MAKEINTRESOURCEW(101 + i), 0, &group, sizeof group);
    }
    return update && EndUpdateResourceW(update, !ok) && ok;
}

}  // namespace e2e

int wmain(int argc, wchar_t** argv) {
    // A crash must end the driver, not open a dialog on the virtual screen.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    testing::InitGoogleTest(&argc, argv);
    e2e::Options& o = e2e::g_options;
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i], value = arg.substr(arg.find(L'=') + 1);
        if (arg.rfind(L"--kelvorin=", 0) == 0) o.kelvorin = value;
        else if (arg.rfind(L"--helper=", 0) == 0) o.helper = value;
        else if (arg.rfind(L"--codepage=", 0) == 0) o.codepage = unsigned(std::stoul(value));
        else if (arg.rfind(L"--work-dir=", 0) == 0) o.workDir = e2e::Utf8(value);
        else if (arg.rfind(L"--screenshots=", 0) == 0) o.shots = e2e::Utf8(value);
        else return std::fprintf(stderr, "kelvorin_e2e: unknown argument %ls\n", argv[i]), 2;
    }
    if (o.kelvorin.empty() || o.helper.empty() || o.workDir.empty() || !o.codepage)
        return std::fprintf(stderr, "kelvorin_e2e: run_e2e.sh passes --kelvorin= --helper= "
                                    "--codepage= --work-dir=\n"), 2;
    testing::UnitTest::GetInstance()->listeners().Append(new e2e::ShotOnFailure);
    return RUN_ALL_TESTS();
}
