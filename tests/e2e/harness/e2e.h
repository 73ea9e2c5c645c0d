// The end-to-end driver's tools: waiting, windows of any process, real input,
// the programs it starts (kelvorin.exe, e2e_helper.exe, Unix tools through
// Wine) and a list view read across the process boundary.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app/control_ids.h"

namespace e2e {

using namespace std::chrono_literals;
using ms = std::chrono::milliseconds;
namespace ids = kelvorin::ids;

// From run_e2e.sh: Windows paths of the programs, the ANSI code page, and Unix
// paths of a scratch directory and of a screenshot directory (may be empty).
inline struct Options {
    std::wstring kelvorin, helper;
    unsigned codepage = 0;
    std::string workDir, shots;
} opt;

// Polls, and once more at the deadline: never a bare sleep.
template <class F>
bool WaitUntil(F&& done, ms timeout = 5s) {
    for (auto end = std::chrono::steady_clock::now() + timeout;
         std::chrono::steady_clock::now() < end; Sleep(10))
        if (done()) return true;
    return done();
}

inline std::string Utf8(std::wstring_view w) {
    std::string s(w.size() * 3, '\0');
    s.resize(size_t(WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), s.data(),
                                        int(s.size()), nullptr, nullptr)));
    return s;
}
inline std::wstring Wide(std::string_view s) {
    std::wstring w(s.size(), L'\0');
    w.resize(
        size_t(MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), w.data(), int(w.size()))));
    return w;
}
inline std::wstring WinPath(const std::string& unixPath) {  // drive Z: is the root
    std::wstring w = L"Z:" + Wide(unixPath);
    for (auto& c : w) c = c == L'/' ? L'\\' : c;
    return w;
}
inline std::string FileText(const std::wstring& path) {
    std::string text;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read) text.append(buffer, read);
    CloseHandle(file);
    return text;
}
inline std::string HandleText(HWND h) {  // as the program writes a handle
    return std::to_string(int32_t(reinterpret_cast<intptr_t>(h)));
}

// --- windows of any process ---------------------------------------------------
inline std::string Text(HWND h) {  // WM_GETTEXT: also edit controls of other processes
    wchar_t text[1024] = {};
    SendMessageTimeoutW(h, WM_GETTEXT, 1024, LPARAM(text), SMTO_ABORTIFHUNG, 5000, nullptr);
    return Utf8(text);
}
// A visible top-level window of the process (0: any) and class, owned by
// `owner` (null: any), that is not `except`.
inline HWND WaitWindow(DWORD pid, const wchar_t* cls, HWND owner, ms timeout = 10s,
                       HWND except = nullptr) {
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
inline GUITHREADINFO Gui(HWND window) {  // its thread's focus, capture, ...
    GUITHREADINFO info{sizeof info};
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info;
}
inline HWND Focused(HWND window) {  // the child holding the focus (a combo box for its edit)
    for (HWND h = Gui(window).hwndFocus; h; h = GetAncestor(h, GA_PARENT))
        if (GetAncestor(h, GA_PARENT) == window) return h;
    return nullptr;
}
inline RECT WindowRect(HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    return r;
}
inline POINT Centre(HWND h) {
    RECT r = WindowRect(h);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}
inline SIZE ClientSize(HWND h) {
    RECT r{};
    GetClientRect(h, &r);
    return {r.right, r.bottom};
}
inline int Pixels(int twips) {
    HDC screen = GetDC(nullptr);
    int pixels = MulDiv(twips, GetDeviceCaps(screen, LOGPIXELSY), 1440);
    ReleaseDC(nullptr, screen);
    return pixels;
}
inline bool IsTopmost(HWND h) {
    return GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST;
}
inline bool TrayIconExists(HWND owner) {  // a modify of nothing fails without an icon
    NOTIFYICONDATAW data{sizeof data, owner};
    return Shell_NotifyIconW(NIM_MODIFY, &data);
}
inline std::optional<std::string> Clipboard() {
    if (!WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 1s)) return std::nullopt;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    auto text = data ? std::optional(Utf8(static_cast<wchar_t*>(GlobalLock(data)))) : std::nullopt;
    if (data) GlobalUnlock(data);
    CloseClipboard();
    return text;
}
inline bool EmptyClipboard() {
    return WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 1s) && ::EmptyClipboard() &&
           CloseClipboard();
}
inline std::string MessageText(HWND box) {
    return Text(GetDlgItem(box, 0xFFFF));
}
inline HWND FileNameField(HWND dialog) {  // the edit of cmb13, cmb13 itself or edt1
    HWND combo = GetDlgItem(dialog, 0x47c), edit = FindWindowExW(combo, nullptr, L"Edit", nullptr);
    return edit ? edit : combo ? combo : GetDlgItem(dialog, 0x480);
}
// Posted, as the press may open another modal window.
inline bool Press(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    return button && PostMessageW(button, BM_CLICK, 0, 0);
}

// --- processes --------------------------------------------------------------------
// Each argument quoted so that the C runtime gives it back as it was.
inline std::wstring CommandLine(const std::wstring& exe, const std::vector<std::wstring>& args) {
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

// A Unix program under /bin/sh, which leaves the status in a file: Wine hands
// back no process for it. The exit code is -1 when it did not finish.
inline std::pair<int, std::string> RunUnix(const std::vector<std::string>& argv, ms timeout = 20s) {
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

// The screen, or an area of it with the pointer drawn in by cursor_shot (built
// beside the driver; import leaves the pointer out), for the screenshot directory.
inline void Screenshot(const std::string& name, const RECT* area = nullptr) {
    std::string png = opt.shots + "/" + name + ".png", ppm = opt.workDir + "/" + name + ".ppm";
    if (opt.shots.empty()) return;
    if (!area) {
        RunUnix({"/usr/bin/import", "-window", "root", png});
        return;
    }
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::string tool = Utf8(self).substr(2);  // Z:\dir\kelvorin_e2e.exe
    tool = tool.substr(0, tool.rfind('\\')) + "/cursor_shot";
    for (auto& c : tool) c = c == '\\' ? '/' : c;
    RunUnix({tool, ppm, std::to_string(area->left), std::to_string(area->top),
             std::to_string(area->right - area->left), std::to_string(area->bottom - area->top)});
    RunUnix({"/usr/bin/convert", ppm, png});
}

class Child {
  public:
    Child(const std::wstring& exe, const std::vector<std::wstring>& args, HANDLE out = nullptr) {
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
        h_ = pi.hProcess, id_ = pi.dwProcessId;
    }
    Child(const Child&) = delete;
    ~Child() { Kill(), CloseHandle(h_); }
    DWORD Id() const { return id_; }
    bool Running() const { return WaitForSingleObject(h_, 0) == WAIT_TIMEOUT; }
    bool WaitExit(ms t) const { return WaitForSingleObject(h_, DWORD(t.count())) == 0; }
    std::optional<DWORD> ExitCode() const {
        DWORD code = 0;
        return !Running() && GetExitCodeProcess(h_, &code) ? std::optional(code) : std::nullopt;
    }
    void Kill() {
        if (Running()) TerminateProcess(h_, 99), WaitExit(5s);
    }

  private:
    HANDLE h_ = nullptr;
    DWORD id_ = 0;
};

// e2e_helper.exe, or a copy of it, making the windows of `args` (its command
// line with "|" between the arguments); ended with the object.
class Helper {
  public:
    explicit Helper(const std::string& args, const std::wstring& exe = {}) {
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
        while (report.find("ready\n") == report.npos && ReadFile(reader, chunk, 4096, &n, nullptr))
            report.append(chunk, n);
        CloseHandle(reader);
        if (report.find("ready\n") == report.npos)
            throw std::runtime_error("e2e_helper did not report its windows: " + report);
        std::istringstream lines(report);
        for (std::string kind, rest; lines >> kind && std::getline(lines >> std::ws, rest);) {
            if (kind == "path") path = rest;
            size_t space = rest.rfind(' ');
            if (kind == "window")
                windows_[rest.substr(0, space)] = HWND(intptr_t(std::stoi(rest.substr(space + 1))));
        }
    }
    HWND operator[](const std::string& name) const { return windows_.at(name); }
    DWORD Pid() const { return process_->Id(); }
    const Child& Process() const { return *process_; }
    std::string path;  // its ANSI module name, in UTF-8

  private:
    std::unique_ptr<Child> process_;
    std::map<std::string, HWND> windows_;
};

// --- input: xdotool makes real X events; SendInput reaches GetAsyncKeyState --
inline bool Xdo(std::vector<std::string> args) {
    args.insert(args.begin(), "/usr/bin/xdotool");
    auto [code, output] = RunUnix(args, 10s);
    EXPECT_EQ(code, 0) << "xdotool: " << output;
    return code == 0;
}
inline bool XClick(POINT p, int button = 1) {
    // A --sync move to where the pointer is already waits for good: from aside.
    std::string x = std::to_string(p.x), y = std::to_string(p.y);
    return Xdo({"mousemove", std::to_string(p.x + 3), y, "mousemove", "--sync", x, y, "click",
                std::to_string(button)});
}
inline bool XDrag(POINT from, POINT to, bool release = true) {
    std::vector<std::string> args = {"mousemove", std::to_string(from.x), std::to_string(from.y),
                                     "mousedown", "1"};
    for (int i = 1; i <= 8; ++i)
        args.insert(args.end(),
                    {"mousemove", "--sync", std::to_string(from.x + (to.x - from.x) * i / 8),
                     std::to_string(from.y + (to.y - from.y) * i / 8)});
    if (release) args.insert(args.end(), {"mouseup", "1"});
    return Xdo(args);
}
inline bool Keys(const std::vector<WORD>& keys, bool down = true, bool up = true) {
    std::vector<INPUT> in;
    for (size_t i = 0; down && i < keys.size(); ++i)
        in.push_back({INPUT_KEYBOARD, {.ki = {keys[i], 0, 0, 0, 0}}});
    for (size_t i = keys.size(); up && i-- > 0;)
        in.push_back({INPUT_KEYBOARD, {.ki = {keys[i], 0, KEYEVENTF_KEYUP, 0, 0}}});
    return SendInput(UINT(in.size()), in.data(), sizeof(INPUT)) == in.size();
}
// Holds keys until `until` or the time is up. They are pressed again at every
// poll: Wine takes its key state afresh from X when the focus moves.
template <class F>
bool Hold(const std::vector<WORD>& keys, F&& until, ms timeout) {
    bool done = WaitUntil([&] { return Keys(keys, true, false) && until(); }, timeout);
    Keys(keys, false, true);
    return done;
}
// Keys go to the focus of the window in front.
inline bool Front(HWND window) {
    return WaitUntil([&] { return SetForegroundWindow(window) && GetForegroundWindow() == window; },
                     3s);
}
// One Tab (or Shift+Tab) in `window`; success when control `id` then has the focus.
inline testing::AssertionResult Tab(HWND window, int id, bool back = false) {
    Keys(back ? std::vector<WORD>{VK_SHIFT, VK_TAB} : std::vector<WORD>{VK_TAB});
    if (WaitUntil([&] { return Focused(window) == GetDlgItem(window, id); }, 2s))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << (back ? "Shift+Tab" : "Tab") << " to " << id
                                       << " reached " << GetDlgCtrlID(Focused(window));
}
inline testing::AssertionResult TabTo(HWND window, int id) {  // as many Tabs as it takes
    for (int i = 0; i < 30 && Focused(window) != GetDlgItem(window, id); ++i) {
        HWND before = Focused(window);
        Keys({VK_TAB});
        WaitUntil([&] { return Focused(window) != before; }, 2s);
    }
    if (Focused(window) == GetDlgItem(window, id)) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "Tab never reached " << id;
}

// ListView1's columns, and its visibility texts.
enum Column { kIconCol, kHandleCol, kNameCol, kCaptionCol, kPidCol, kPathCol, kVisibleCol };
inline const std::string kShown = "表示", kHidden = "非表示";

// A list view of another process. Its messages carry pointers, so the
// structures live in a page of the owner's memory: written, sent, read back.
class RemoteList {
  public:
    explicit RemoteList(HWND list) : list_(list) {
        DWORD pid = 0;
        GetWindowThreadProcessId(list, &pid);
        process_ =
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        remote_ = static_cast<char*>(
            VirtualAllocEx(process_, nullptr, kPage, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        if (!remote_) throw std::runtime_error("no memory in the list's process");
    }
    ~RemoteList() { VirtualFreeEx(process_, remote_, 0, MEM_RELEASE), CloseHandle(process_); }
    HWND Handle() const { return list_; }
    int Count() const { return int(Send(LVM_GETITEMCOUNT, 0, 0)); }
    std::string Cell(int row, int column) const {  // the structure first, its text after it
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = reinterpret_cast<wchar_t*>(remote_ + kText);
        item.cchTextMax = kChars;
        wchar_t text[kChars] = {};
        LRESULT n = Copy(&item, sizeof item, true) ? Send(LVM_GETITEMTEXTW, row, 0) : 0;
        if (n <= 0 || !Copy(text, size_t(n) * sizeof(wchar_t), false, kText)) return {};
        return Utf8(std::wstring_view(text, size_t(n)));
    }
    std::vector<std::string> Row(int row) const {  // all seven cells
        std::vector<std::string> cells;
        for (int c = kIconCol; c <= kVisibleCol; ++c) cells.push_back(Cell(row, c));
        return cells;
    }
    int Find(int column, const std::string& text) const {  // -1: none
        for (int r = Count() - 1; r >= 0; --r)
            if (Cell(r, column) == text) return r;
        return -1;
    }
    int Selected() const { return int(Send(LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED, false)); }
    bool Select(int row) const {  // LVM_SETITEMSTATE: no click
        LVITEMW item{};
        item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
        return row >= 0 && Copy(&item, sizeof item, true) && Send(LVM_SETITEMSTATE, row, 0) > 0;
    }
    RECT ItemRect(int row) const {  // on the screen, scrolled into view
        Send(LVM_ENSUREVISIBLE, row, FALSE, false);
        RECT r{LVIR_BOUNDS};
        if (!Copy(&r, sizeof r, true) || Send(LVM_GETITEMRECT, row, 0) <= 0 ||
            !Copy(&r, sizeof r, false))
            return {};
        MapWindowPoints(list_, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    int ColumnWidth(int column) const { return int(Send(LVM_GETCOLUMNWIDTH, column, 0, false)); }

  private:
    static constexpr size_t kPage = 4096, kText = 512;
    static constexpr int kChars = int((kPage - kText) / sizeof(wchar_t));
    // lp is an offset into the remote page, or the value itself.
    LRESULT Send(UINT msg, WPARAM wp, LPARAM lp, bool remote = true) const {
        DWORD_PTR result = 0;
        bool ok = SendMessageTimeoutW(list_, msg, wp, remote ? LPARAM(remote_ + lp) : lp,
                                      SMTO_ABORTIFHUNG, 10000, &result);
        return ok ? LRESULT(result) : -1;
    }
    bool Copy(void* data, size_t size, bool write, size_t offset = 0) const {
        SIZE_T n = 0;
        return (write ? WriteProcessMemory(process_, remote_ + offset, data, size, &n)
                      : ReadProcessMemory(process_, remote_ + offset, data, size, &n)) &&
               n == size;
    }
    HWND list_;
    HANDLE process_;
    char* remote_;
};

class App {
  public:
    App() : process_(std::make_unique<Child>(opt.kelvorin, std::vector<std::wstring>{})) {
        main_ = WaitWindow(process_->Id(), ids::kMainFrmClass, nullptr, 20s);
        if (!main_) throw std::runtime_error("kelvorin.exe showed no main window");
        // A slow first start can outlast the 5 s after which the system calls a
        // window hung; one answer clears that for the sends with SMTO_ABORTIFHUNG.
        SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_NORMAL, 30000, nullptr);
    }
    ~App() { Quit(); }
    HWND Main() const { return main_; }
    const Child& Process() const { return *process_; }
    HWND operator()(int id) const { return GetDlgItem(main_, id); }
    // BM_CLICK, answered when the handler has run; a failure when not in time.
    bool Click(int id, ms timeout = 30s) const {
        bool done = SendMessageTimeoutW((*this)(id), BM_CLICK, 0, 0, SMTO_NORMAL,
                                        UINT(timeout.count()), nullptr);
        EXPECT_TRUE(done) << "control " << id << " took over " << timeout.count() << " ms";
        return done;
    }
    int Check(int id) const { return int(SendMessageW((*this)(id), BM_GETCHECK, 0, 0)); }
    std::string Text(int id) const { return e2e::Text((*this)(id)); }
    RemoteList& List() {
        if (!list_) list_ = std::make_unique<RemoteList>((*this)(ids::ListView1));
        return *list_;
    }
    int RowOf(HWND h) { return List().Find(kHandleCol, HandleText(h)); }
    // By its exit button, else WM_CLOSE, else TerminateProcess; says which.
    std::string Quit() {
        list_.reset();
        if (!process_->Running()) return "already ended";
        PostMessageW((*this)(ids::Command4), BM_CLICK, 0, 0);
        if (process_->WaitExit(5s)) return "exit button";
        PostMessageW(main_, WM_CLOSE, 0, 0);
        if (process_->WaitExit(5s)) return "WM_CLOSE";
        process_->Kill();
        return "TerminateProcess";
    }

  private:
    std::unique_ptr<Child> process_;
    HWND main_ = nullptr;
    std::unique_ptr<RemoteList> list_;
};

// BM_CLICK from a thread of its own, for a handler that waits on a modal
// window; Done() once the handler has returned.
class AsyncClick {
  public:
    explicit AsyncClick(HWND button) {
        std::thread([button, done = done_] {
            SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, 120000, nullptr);
            *done = true;
        }).detach();
    }
    bool Done(ms timeout = 0ms) const {
        return WaitUntil([&] { return done_->load(); }, timeout);
    }

  private:
    std::shared_ptr<std::atomic<bool>> done_ = std::make_shared<std::atomic<bool>>(false);
};

// --- icons of known pictures (e2e.cpp) ----------------------------------------
// A copy of the helper, in a scratch directory of its own, with three 32x32
// icons in these colours on a transparent ground: a square, a diamond and
// stripes, whose centres are painted and whose corners never are.
constexpr COLORREF kIconColours[3] = {RGB(200, 30, 30), RGB(30, 160, 50), RGB(30, 60, 210)};
bool Painted(int icon, int x, int y);
std::wstring IconHelper(const std::string& dir, const std::wstring& name);
// Damages such a copy as a broken resource editor might: its first icon's data
// lies past the end of the file, in a resource section that claims more bytes
// than the file holds. (Wine will not start a file like that.)
bool DamageFirstIcon(const std::wstring& exe);

// Programs a test starts end with it; the program must end by its exit button.
class KelvorinTest : public testing::Test {
  protected:
    App& Launch() { return *(app_ = std::make_unique<App>()); }
    Helper& StartHelper(const std::string& args, const std::wstring& exe = {}) {
        return *helpers_.emplace_back(std::make_unique<Helper>(args, exe));
    }
    // A hidden stand-in for the shell: without a "Progman" window the program
    // takes every parentless window for a bottom-most one and re-parents it.
    void StartShell() { StartHelper("window|progman|--class|Progman|--hidden"); }
    void TearDown() override {
        EXPECT_TRUE(!app_ || !app_->Process().Running() || app_->Quit() == "exit button");
        helpers_.clear();
    }
    std::unique_ptr<App> app_;
    std::vector<std::unique_ptr<Helper>> helpers_;
};

}  // namespace e2e
