// Makes a desktop for the refresh benchmark: one process holding N titled
// top-level windows, hidden unless asked otherwise, that answers messages
// until it is ended.
//
//   bench_windows.exe COUNT TITLE_PREFIX READY_EVENT [visible]
//
// Window i is titled "TITLE_PREFIX i". Once every window exists the helper
// sets the named event READY_EVENT (made by the caller), so the caller knows
// the desktop is complete without polling it.
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

constexpr wchar_t kClassName[] = L"KelvorinBenchWindow";

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    if (__argc < 4) return 2;
    int count = _wtoi(__wargv[1]);
    std::wstring prefix = __wargv[2];
    const wchar_t* readyName = __wargv[3];
    bool visible = __argc > 4 && std::wstring(__wargv[4]) == L"visible";

    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    if (!RegisterClassW(&wc)) return 3;

    int made = 0;
    for (int i = 0; i < count; ++i) {
        std::wstring title = prefix + L" " + std::to_wstring(i);
        // Small and spread out, so visible ones do not all sit on one spot.
        HWND window =
            CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, title.c_str(), WS_OVERLAPPED | WS_CAPTION,
                            20 + (i % 40) * 25, 20 + (i / 40 % 30) * 25, 160, 60, nullptr, nullptr,
                            instance, nullptr);
        if (window == nullptr) continue;
        if (visible) ShowWindow(window, SW_SHOWNOACTIVATE);
        ++made;
    }

    if (HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, readyName)) {
        SetEvent(ready);
        CloseHandle(ready);
    }

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return made == count ? 0 : 1;
}
