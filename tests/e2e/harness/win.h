// The end-to-end driver's Win32 tools: waiting, windows of any process, Unix
// programs run through Wine (xdotool) and real input.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/control_ids.h"

namespace e2e {

using namespace std::chrono_literals;
using ms = std::chrono::milliseconds;
namespace ids = kelvorin::ids;

// From run_e2e.sh: Windows paths of the programs, the ANSI code page, and the
// Unix path of a scratch directory.
inline struct Options {
    std::wstring kelvorin, helper;
    unsigned codepage = 0;
    std::string workDir;
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
inline std::string FileText(const std::wstring& path) {  // empty when there is none
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}
inline std::string HandleText(HWND h) {  // as the program writes a handle
    return std::to_string(int32_t(reinterpret_cast<intptr_t>(h)));
}

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
// The pixels of a screen area for which `take(colour, row)` holds.
template <class F>
int CountPixels(RECT r, F&& take) {
    HDC screen = GetDC(nullptr);
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) n += take(GetPixel(screen, x, y), y) ? 1 : 0;
    ReleaseDC(nullptr, screen);
    return n;
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
// Posted, as the press may open another modal window.
inline bool Press(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    return button && PostMessageW(button, BM_CLICK, 0, 0);
}

// Each argument quoted so that the C runtime gives it back as it was (none here ends in a
// backslash, so only quotes need one).
inline std::wstring CommandLine(const std::wstring& exe, const std::vector<std::wstring>& args) {
    std::wstring line = L"\"" + exe + L"\"";
    for (const std::wstring& arg : args) {
        line += L" \"";
        for (wchar_t c : arg) line += c == L'"' ? std::wstring(L"\\\"") : std::wstring(1, c);
        line += L'"';
    }
    return line;
}

// Input: xdotool makes real X events; SendInput reaches GetAsyncKeyState.
// xdotool under /bin/sh, which leaves the status in a file: Wine hands back no process for a
// Unix program. A failure, or no end within 10 s, fails the test.
inline bool Xdo(const std::vector<std::string>& argv) {
    static std::atomic<int> counter{0};
    const std::string base = opt.workDir + "/xdo-" + std::to_string(++counter);
    std::vector<std::wstring> args = {
        L"-c", L"/usr/bin/xdotool \"$@\" >\"$0.out\" 2>&1; echo $? >\"$0.t\"; mv \"$0.t\" \"$0\"",
        Wide(base)};
    for (const auto& a : argv) args.push_back(Wide(a));
    std::wstring line = CommandLine(L"/bin/sh", args), rc = WinPath(base);
    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION pi{};
    bool done = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &si, &pi);
    // Wine gives no process for a Unix program, and the thread field may then
    // hold a value that is no handle of ours: both are closed only with a process.
    if (pi.hProcess) CloseHandle(pi.hProcess), CloseHandle(pi.hThread);
    done = done && WaitUntil([&] { return FileText(rc) != ""; }, 10s) && FileText(rc) == "0\n";
    EXPECT_TRUE(done) << "xdotool: " << FileText(WinPath(base + ".out"));
    return done;
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
// Tab (or Shift+Tab) in `window`, at most `presses` times, until control `id` has the focus.
inline testing::AssertionResult Tab(HWND window, int id, bool back = false, int presses = 1) {
    for (int i = 0; i < presses && Focused(window) != GetDlgItem(window, id); ++i) {
        HWND before = Focused(window);
        Keys(back ? std::vector<WORD>{VK_SHIFT, VK_TAB} : std::vector<WORD>{VK_TAB});
        WaitUntil([&] { return Focused(window) != before; }, 2s);
    }
    if (Focused(window) == GetDlgItem(window, id)) return testing::AssertionSuccess();
    return testing::AssertionFailure() << (back ? "Shift+Tab" : "Tab") << " to " << id
                                       << " reached " << GetDlgCtrlID(Focused(window));
}
inline testing::AssertionResult TabTo(HWND window, int id) {
    return Tab(window, id, false, 30);
}

}  // namespace e2e
