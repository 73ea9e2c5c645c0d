#include <vector>

#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"

namespace kelvorin::win32 {
namespace {

// A window of another thread must answer WM_NULL within this before a call
// that waits on its thread. One that does not is then left alone for
// kSilenceMs, so that one user action making several calls on it (a row load
// runs up to four handlers) waits once and stays well under a second.
constexpr UINT kProbeTimeoutMs = 250;
constexpr ULONGLONG kSilenceMs = 1000;

// SendMessageTimeout bound for WM_SETTEXT and WM_CLOSE: a window that answered
// the probe finishes before we return, one that hangs meanwhile is given up on.
constexpr UINT kSendFlags = SMTO_ABORTIFHUNG | SMTO_NOTIMEOUTIFNOTHUNG;
constexpr UINT kSendTimeoutMs = 5000;

bool OfOtherThread(HWND h) {
    return ::GetWindowThreadProcessId(h, nullptr) != ::GetCurrentThreadId();
}

BOOL CALLBACK VisitWindow(HWND h, LPARAM param) {
    auto& visit = *reinterpret_cast<const std::function<bool(WindowHandle)>*>(param);
    return visit(FromHwnd(h)) ? TRUE : FALSE;
}

}  // namespace

bool Windows::Answers(HWND h) {
    if (h == nullptr || !::IsWindow(h)) return false;
    if (!OfOtherThread(h)) return true;
    // Measured under Wine: ShowWindow, SetWindowPos, SetParent and SetWindowLong
    // on a hung window of another process block until it wakes; IsHungAppWindow
    // answers at once.
    if (::IsHungAppWindow(h)) return false;
    const ULONGLONG now = ::GetTickCount64();
    std::erase_if(silentUntil_, [now](const auto& entry) { return entry.second <= now; });
    if (silentUntil_.count(h) != 0) return false;
    // SMTO_BLOCK: no other program's message is handled in the middle of ours.
    DWORD_PTR result = 0;
    if (::SendMessageTimeoutW(h, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kProbeTimeoutMs,
                              &result) != 0)
        return true;
    silentUntil_[h] = ::GetTickCount64() + kSilenceMs;
    return false;
}

bool Windows::EnumWindows(const std::function<bool(WindowHandle)>& visit) {
    return ::EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&visit)) != FALSE;
}

std::string Windows::GetWindowTextA(WindowHandle h, int maxCount) {
    if (maxCount <= 0) return {};
    std::vector<char> buffer(static_cast<size_t>(maxCount), '\0');
    int n = ::GetWindowTextA(ToHwnd(h), buffer.data(), maxCount);
    if (n <= 0) return {};
    size_t length = CompleteAnsiLength(buffer.data(), static_cast<size_t>(n));
    return FromAnsi(std::string_view(buffer.data(), length));
}

bool Windows::IsWindowVisible(WindowHandle h) { return ::IsWindowVisible(ToHwnd(h)) != FALSE; }

WindowHandle Windows::GetParent(WindowHandle h) { return FromHwnd(::GetParent(ToHwnd(h))); }

WindowHandle Windows::FindWindowA(const std::optional<std::string>& className,
                                  const std::optional<std::string>& windowName) {
    std::string cls = className ? ToAnsi(*className) : std::string();
    std::string name = windowName ? ToAnsi(*windowName) : std::string();
    return FromHwnd(::FindWindowA(className ? cls.c_str() : nullptr,
                                  windowName ? name.c_str() : nullptr));
}

int32_t Windows::GetWindowLongA(WindowHandle h, int index) {
    return static_cast<int32_t>(::GetWindowLongA(ToHwnd(h), index));
}

int32_t Windows::SetWindowLongA(WindowHandle h, int index, int32_t value) {
    HWND hwnd = ToHwnd(h);
    if (!Answers(hwnd)) return 0;
#ifdef _WIN64
    // The owner slot is pointer-sized on x64: the handle is sign-extended back.
    if (index == GWLP_HWNDPARENT) {
        return static_cast<int32_t>(
            ::SetWindowLongPtrA(hwnd, GWLP_HWNDPARENT, static_cast<LONG_PTR>(value)));
    }
#endif
    return static_cast<int32_t>(::SetWindowLongA(hwnd, index, static_cast<LONG>(value)));
}

bool Windows::ShowWindow(WindowHandle h, int cmdShow) {
    HWND hwnd = ToHwnd(h);
    if (!Answers(hwnd)) return false;
    // Another thread's window shows itself when it gets to it: a slow
    // WM_SHOWWINDOW handler there cannot hold us.
    if (OfOtherThread(hwnd)) return ::ShowWindowAsync(hwnd, cmdShow) != FALSE;
    return ::ShowWindow(hwnd, cmdShow) != FALSE;
}

bool Windows::SetWindowPos(WindowHandle h, WindowHandle insertAfter, int x, int y, int cx, int cy,
                           uint32_t flags) {
    HWND hwnd = ToHwnd(h);
    if (!Answers(hwnd)) return false;
    if (OfOtherThread(hwnd)) flags |= SWP_ASYNCWINDOWPOS;
    return ::SetWindowPos(hwnd, ToHwnd(insertAfter), x, y, cx, cy, flags) != FALSE;
}

WindowHandle Windows::SetParent(WindowHandle h, WindowHandle newParent) {
    HWND hwnd = ToHwnd(h);
    if (!Answers(hwnd)) return WindowHandle();
    return FromHwnd(::SetParent(hwnd, ToHwnd(newParent)));
}

WindowHandle Windows::GetDesktopWindow() { return FromHwnd(::GetDesktopWindow()); }

bool Windows::SetLayeredWindowAttributes(WindowHandle h, Colour key, uint8_t alpha,
                                         uint32_t flags) {
    // Looked up at run time, so the program still starts where user32 lacks it.
    using Fn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
    static const Fn fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "SetLayeredWindowAttributes")));
    HWND hwnd = ToHwnd(h);
    if (fn == nullptr || !Answers(hwnd)) return false;
    return fn(hwnd, key, alpha, flags) != FALSE;
}

bool Windows::SendSetText(WindowHandle h, const std::string& text) {
    HWND hwnd = ToHwnd(h);
    if (!Answers(hwnd)) return false;
    std::string ansi = ToAnsi(text);
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(ansi.c_str()),
                                 kSendFlags, kSendTimeoutMs, &result) != 0;
}

bool Windows::SendClose(WindowHandle h) {
    HWND hwnd = ToHwnd(h);
    if (!Answers(hwnd)) return false;
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutA(hwnd, WM_CLOSE, 0, 0, kSendFlags, kSendTimeoutMs, &result) != 0;
}

MenuHandle Windows::GetSystemMenu(WindowHandle h, bool revert) {
    HWND hwnd = ToHwnd(h);
    if (!Answers(hwnd)) return MenuHandle();
    return MenuHandle(FromNative(::GetSystemMenu(hwnd, revert ? TRUE : FALSE)));
}

bool Windows::SetMenuItemInfoA(MenuHandle menu, uint32_t item, bool byPosition,
                               const MenuItemInfo& info) {
    MENUITEMINFOA record{};
    record.cbSize = sizeof(record);
    record.fMask = info.mask;
    record.fState = info.state;
    record.wID = info.id;
    return ::SetMenuItemInfoA(ToNative<HMENU>(menu.value), item, byPosition ? TRUE : FALSE,
                              &record) != FALSE;
}

bool Windows::DrawMenuBar(WindowHandle h) {
    HWND hwnd = ToHwnd(h);
    if (!Answers(hwnd)) return false;
    return ::DrawMenuBar(hwnd) != FALSE;
}

Point Windows::GetCursorPos() {
    POINT p{};
    ::GetCursorPos(&p);
    return {p.x, p.y};
}

WindowHandle Windows::WindowFromPoint(Point p) {
    return FromHwnd(::WindowFromPoint(POINT{p.x, p.y}));
}

Point Windows::MapWindowPoints(WindowHandle from, WindowHandle to, Point p) {
    POINT pt{p.x, p.y};
    ::MapWindowPoints(ToHwnd(from), ToHwnd(to), &pt, 1);
    return {pt.x, pt.y};
}

WindowHandle Windows::ChildWindowFromPoint(WindowHandle parent, Point p) {
    return FromHwnd(::ChildWindowFromPoint(ToHwnd(parent), POINT{p.x, p.y}));
}

void Windows::SetCapture(WindowHandle h) { ::SetCapture(ToHwnd(h)); }

void Windows::ReleaseCapture() { ::ReleaseCapture(); }

ClassNameResult Windows::GetClassNameA(WindowHandle h, int capacity) {
    if (capacity <= 0) return {};
    std::vector<char> buffer(static_cast<size_t>(capacity), '\0');
    int n = ::GetClassNameA(ToHwnd(h), buffer.data(), capacity);
    if (n <= 0) return {};
    return {n, FromAnsi(std::string_view(buffer.data(), static_cast<size_t>(n)))};
}

WindowHandle Windows::GetForegroundWindow() { return FromHwnd(::GetForegroundWindow()); }

uint32_t Windows::GetWindowThreadProcessId(WindowHandle h) {
    DWORD pid = 0;
    if (::GetWindowThreadProcessId(ToHwnd(h), &pid) == 0) return 0;
    return pid;
}

int Windows::GetSystemMetrics(int index) { return ::GetSystemMetrics(index); }

Colour Windows::GetSysColor(int index) { return ::GetSysColor(index); }

}  // namespace kelvorin::win32
