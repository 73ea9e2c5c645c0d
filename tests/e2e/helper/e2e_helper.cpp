// e2e_helper: makes the target windows a test needs in a process of its own,
// reports them on standard output and pumps messages until the driver ends it.
//   e2e_helper.exe [--deaf-after MS] [--slow-show MS] (window NAME [--title TEXT]
//                  [--class CLASS] [--hidden] [--disabled-button])...
// The windows cascade down the right of the desktop and answer WM_CLOSE 200 ms
// late (a close request that does not wait shows). --disabled-button adds a
// disabled child button, NAME/button. --deaf-after: pumps for MS ms after the
// report, then waits on its queue without ever taking a message (stopped
// answering, yet never hung). --slow-show: each later WM_SHOWWINDOW takes MS ms.
// Report lines: "path FILE" (ANSI module name in UTF-8), "window NAME HANDLE", "ready".
#include <windows.h>

#include <string>

namespace {

void Report(std::wstring line, HWND h = nullptr) {
    if (h) line += L" " + std::to_wstring(int32_t(reinterpret_cast<intptr_t>(h)));
    char bytes[4096];
    int n = WideCharToMultiByte(CP_UTF8, 0, (line + L"\n").c_str(), -1, bytes, 4096, 0, 0) - 1;
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes, DWORD(n), &written, nullptr);
}

int g_slowShowMs = 0;  // set once the windows are made

LRESULT CALLBACK TargetProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE) Sleep(200);
    if (msg == WM_SHOWWINDOW) Sleep(DWORD(g_slowShowMs));
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    MSG msg;
    char path[MAX_PATH] = {};
    wchar_t widePath[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, path, int(GetModuleFileNameA(nullptr, path, MAX_PATH)) + 1,
                        widePath, MAX_PATH);
    Report(L"path " + std::wstring(widePath));

    int deafAfter = -1, slowShow = 0, made = 0;
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i], name = i + 1 < argc ? argv[i + 1] : L"";
        if (arg == L"--deaf-after") deafAfter = _wtoi(argv[++i]);
        if (arg == L"--slow-show") slowShow = _wtoi(argv[++i]);
        if (arg != L"window") continue;
        std::wstring title, cls = L"KelvorinE2eTarget";
        bool hidden = false, button = false;
        for (++i; i + 1 < argc && wcsncmp(argv[i + 1], L"--", 2) == 0;) {
            std::wstring option = argv[++i];
            if (option == L"--title") title = argv[++i];
            if (option == L"--class") cls = argv[++i];
            hidden |= option == L"--hidden";
            button |= option == L"--disabled-button";
        }
        WNDCLASSEXW wc{sizeof wc};
        wc.lpfnWndProc = TargetProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = cls.c_str();
        RegisterClassExW(&wc);  // fails harmlessly for a class made already
        HWND hwnd =
            CreateWindowExW(0, cls.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW, 1008,
                            30 + 24 * made++, 270, 160, nullptr, nullptr, wc.hInstance, nullptr);
        if (!hidden) ShowWindow(hwnd, SW_SHOWNOACTIVATE);
        Report(L"window " + name, hwnd);
        if (button)
            Report(L"window " + name + L"/button",
                   CreateWindowExW(0, L"BUTTON", L"Disabled",
                                   WS_CHILD | WS_VISIBLE | WS_DISABLED | BS_PUSHBUTTON, 10, 10, 120,
                                   40, hwnd, nullptr, wc.hInstance, nullptr));
    }
    Report(L"ready");
    g_slowShowMs = slowShow;
    for (DWORD start = GetTickCount(); deafAfter >= 0 && GetTickCount() - start < DWORD(deafAfter);)
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        else
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    // Waiting on the queue counts as waiting for input: never hung, never answering.
    while (deafAfter >= 0) MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, 0);
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
