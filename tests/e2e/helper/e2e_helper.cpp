// e2e_helper: makes the target windows a test needs in a process of its own,
// reports them and pumps messages until it gets WM_QUIT.
//
//   e2e_helper.exe [--hang-after MS] [--close-log FILE] TARGET...   (options first)
//   TARGET: window NAME [--title TEXT] [--class CLASS] [--hidden] [--tool]
//                       [--owner NAME] [--rect X Y W H] [--disabled-button]
//
// Without --rect the windows cascade down the right edge of the desktop.
// --disabled-button gives the window a disabled child button, NAME/button.
// --hang-after pumps for MS milliseconds after the report, then sleeps for
// good: a hung window as the system's hang detection sees one.
// --close-log appends "closed NAME" to FILE on WM_CLOSE, 200 ms late, so a
// close request that does not wait for the answer shows.
//
// Report on standard output, one line each: "pid N", "path FILE" (the ANSI
// module name, in UTF-8), "thread N", "window NAME HANDLE" (signed decimal),
// then "ready".
#include <windows.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

std::wstring g_closeLog;
std::map<HWND, std::wstring> g_names;

std::string Utf8(const std::wstring& w) {
    std::string s(w.size() * 3 + 1, '\0');
    s.resize(size_t(WideCharToMultiByte(CP_UTF8, 0, w.c_str(), int(w.size()), s.data(),
                                        int(s.size()), nullptr, nullptr)));
    return s;
}

void Report(const std::string& line) {
    std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), DWORD(text.size()), &written, nullptr);
}

void ReportWindow(const std::wstring& name, HWND h) {
    Report("window " + Utf8(name) + " " + std::to_string(int32_t(reinterpret_cast<intptr_t>(h))));
}

LRESULT CALLBACK TargetProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE && !g_closeLog.empty()) {
        Sleep(200);
        HANDLE file = CreateFileW(g_closeLog.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, 0, nullptr);
        std::string line = "closed " + Utf8(g_names[hwnd]) + "\n";
        DWORD written = 0;
        WriteFile(file, line.data(), DWORD(line.size()), &written, nullptr);
        CloseHandle(file);
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

[[noreturn]] void Fail(const std::wstring& message) {
    std::fwprintf(stderr, L"e2e_helper: %ls\n", message.c_str());
    std::exit(2);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // a queue, so an early WM_QUIT is kept
    char path[MAX_PATH] = {};
    wchar_t widePath[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, path, int(GetModuleFileNameA(nullptr, path, MAX_PATH)) + 1,
                        widePath, MAX_PATH);
    Report("pid " + std::to_string(GetCurrentProcessId()));
    Report("path " + Utf8(widePath));
    Report("thread " + std::to_string(GetCurrentThreadId()));

    int hangAfter = -1, cascade = 0;
    std::map<std::wstring, HWND> made;
    auto value = [&](int& i) {
        if (i + 1 >= argc) Fail(std::wstring(argv[i]) + L" needs a value");
        return std::wstring(argv[++i]);
    };
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i];
        if (arg == L"--hang-after") {
            hangAfter = _wtoi(value(i).c_str());
            continue;
        }
        if (arg == L"--close-log") {
            g_closeLog = value(i);
            continue;
        }
        if (arg != L"window") Fail(L"unknown argument " + arg);
        std::wstring name = value(i), title, cls = L"KelvorinE2eTarget";
        HWND owner = nullptr;
        bool hidden = false, button = false;
        DWORD ex = 0;
        int x = 1008, y = 30 + 24 * (cascade++ % 30), w = 270, h = 160;
        while (i + 1 < argc && wcsncmp(argv[i + 1], L"--", 2) == 0) {
            std::wstring option = argv[++i];
            if (option == L"--title") title = value(i);
            else if (option == L"--class") cls = value(i);
            else if (option == L"--owner") owner = made.at(value(i));
            else if (option == L"--hidden") hidden = true;
            else if (option == L"--tool") ex = WS_EX_TOOLWINDOW;
            else if (option == L"--disabled-button") button = true;
            else if (option == L"--rect") {
                x = _wtoi(value(i).c_str()), y = _wtoi(value(i).c_str());
                w = _wtoi(value(i).c_str()), h = _wtoi(value(i).c_str());
            } else Fail(L"unknown option " + option);
        }
        WNDCLASSEXW wc{sizeof wc};
        wc.lpfnWndProc = TargetProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = cls.c_str();
        RegisterClassExW(&wc);  // fails harmlessly when the class is there already
        HWND hwnd = CreateWindowExW(ex, cls.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW, x, y, w, h,
                                    owner, nullptr, wc.hInstance, nullptr);
        if (!hwnd) Fail(L"CreateWindowExW failed for " + name);
        made[name] = hwnd;
        g_names[hwnd] = name;
        if (!hidden) ShowWindow(hwnd, SW_SHOWNOACTIVATE);
        ReportWindow(name, hwnd);
        if (button)
            ReportWindow(name + L"/button",
                         CreateWindowExW(0, L"BUTTON", L"Disabled",
                                         WS_CHILD | WS_VISIBLE | WS_DISABLED | BS_PUSHBUTTON, 10,
                                         10, 120, 40, hwnd, nullptr, wc.hInstance, nullptr));
    }
    Report("ready");

    if (hangAfter >= 0) {
        for (DWORD start = GetTickCount(); GetTickCount() - start < DWORD(hangAfter);) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        }
        Sleep(INFINITE);
    }
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
