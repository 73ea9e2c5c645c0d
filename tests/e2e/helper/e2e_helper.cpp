// e2e_helper: makes the target windows an end-to-end test needs, in a process
// of its own, reports them and pumps messages until it is told to quit.
//
//   e2e_helper.exe [--hang-after MS | --deaf-after MS] [--slow-show MS] [--close-log FILE]
//                  TARGET...
//   TARGET: window NAME [--title TEXT] [--class CLASS] [--hidden] [--owner NAME]
//                       [--rect X Y W H] [--tool] [--button TEXT] [--disabled-button TEXT]
//           dialog NAME [--title TEXT] [--owner NAME] [--rect X Y W H] [--hidden]
//
// A window without --title has an empty title; without --rect the windows
// cascade down the right edge of the desktop. A dialog is a real dialog box
// (class #32770, its size fixed, --rect moves it) holding an enabled "OK" and a
// disabled "Disabled" button.
// --hang-after pumps messages for MS milliseconds after the report and then
// sleeps for good: a faithful hung window for the system's hang detection.
// --deaf-after pumps for MS milliseconds and then waits on its queue without
// ever taking a message: a window that stopped answering a moment ago, which
// the system does not count as hung for as long as a test needs.
// --slow-show makes each WM_SHOWWINDOW after the report take MS milliseconds.
// --close-log appends "closed NAME" to FILE when a window gets WM_CLOSE, before
// it is destroyed, so the driver sees who was asked to close. It answers after
// 200 ms, so a close request that does not wait for the answer shows.
//
// The report goes to standard output, one line each, ended by "ready":
//   pid N
//   path FILE                   (GetModuleFileNameA, in UTF-8)
//   thread N
//   window NAME HANDLE          (HANDLE in signed 32-bit decimal)
//   window NAME/button HANDLE   (and NAME/disabled, NAME/ok for the children)
// It quits on WM_QUIT posted to its thread, or when the driver ends it.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr WORD kDisabledButtonId = 100;

// By default the windows cascade down the right edge of the 1280-pixel
// desktop, clear of the program's centred main window.
struct Placement {
    int x = 1008;
    int y = 0;
    int width = 270;
    int height = 160;
};

struct Target {
    std::wstring kind;  // window | dialog
    std::wstring name;
    std::wstring title;
    std::wstring className = L"KelvorinE2eTarget";
    std::wstring owner;
    std::wstring buttonText;
    std::wstring disabledButtonText;
    bool hidden = false;
    bool tool = false;
    Placement place;
};

struct Options {
    std::vector<Target> targets;
    int hangAfterMs = -1;
    int deafAfterMs = -1;
    int slowShowMs = 0;
    std::wstring closeLog;
};

[[noreturn]] void Fail(const std::wstring& message) {
    std::fwprintf(stderr, L"e2e_helper: %ls\n", message.c_str());
    std::exit(2);
}

Options ParseArgs(int argc, wchar_t** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i];
        auto value = [&] {
            if (i + 1 >= argc) Fail(arg + L" needs a value");
            return std::wstring(argv[++i]);
        };
        if (arg == L"--hang-after") {
            options.hangAfterMs = _wtoi(value().c_str());
        } else if (arg == L"--deaf-after") {
            options.deafAfterMs = _wtoi(value().c_str());
        } else if (arg == L"--slow-show") {
            options.slowShowMs = _wtoi(value().c_str());
        } else if (arg == L"--close-log") {
            options.closeLog = value();
        } else if (arg == L"window" || arg == L"dialog") {
            Target target{arg, value()};
            target.place.y = 30 + 24 * int(options.targets.size() % 30);
            options.targets.push_back(target);
        } else if (options.targets.empty()) {
            Fail(L"option before the first window: " + arg);
        } else {
            Target& target = options.targets.back();
            if (arg == L"--title")
                target.title = value();
            else if (arg == L"--class")
                target.className = value();
            else if (arg == L"--owner")
                target.owner = value();
            else if (arg == L"--button")
                target.buttonText = value();
            else if (arg == L"--disabled-button")
                target.disabledButtonText = value();
            else if (arg == L"--hidden")
                target.hidden = true;
            else if (arg == L"--tool")
                target.tool = true;
            else if (arg == L"--rect") {
                target.place.x = _wtoi(value().c_str());
                target.place.y = _wtoi(value().c_str());
                target.place.width = _wtoi(value().c_str());
                target.place.height = _wtoi(value().c_str());
            } else
                Fail(L"unknown option " + arg);
        }
    }
    return options;
}

// For --close-log: the file and the name of each window made.
std::wstring g_closeLog;
std::map<HWND, std::wstring> g_names;
int g_slowShowMs = 0;  // set once the windows are made

void LogClose(HWND hwnd) {
    auto it = g_names.find(hwnd);
    if (g_closeLog.empty() || it == g_names.end()) return;
    Sleep(200);
    HANDLE file = CreateFileW(g_closeLog.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                              OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    std::wstring line = L"closed " + it->second + L"\n";
    char utf8[512] = {};
    int n = WideCharToMultiByte(CP_UTF8, 0, line.data(), int(line.size()), utf8, 512, nullptr,
                                nullptr);
    DWORD written = 0;
    WriteFile(file, utf8, DWORD(n), &written, nullptr);
    CloseHandle(file);
}

LRESULT CALLBACK TargetProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE) LogClose(hwnd);
    if (msg == WM_SHOWWINDOW) Sleep(DWORD(g_slowShowMs));
    return DefWindowProcW(hwnd, msg, wp, lp);
}

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg == WM_CLOSE) {
        DestroyWindow(hwnd);
        return TRUE;
    }
    return FALSE;
}

void RegisterTargetClass(const std::wstring& name) {
    WNDCLASSEXW wc{sizeof wc};
    if (GetClassInfoExW(GetModuleHandleW(nullptr), name.c_str(), &wc)) return;
    wc.lpfnWndProc = TargetProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = name.c_str();
    if (!RegisterClassExW(&wc)) Fail(L"RegisterClassExW failed for " + name);
}

// A DLGTEMPLATE in memory: the template words must be DWORD-aligned per item.
class DialogTemplate {
  public:
    DialogTemplate(const std::wstring& title, short cx, short cy) {
        Align();
        DLGTEMPLATE t{};
        t.style = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
        t.cx = cx;
        t.cy = cy;
        Append(&t, sizeof t);
        Word(0);  // no menu
        Word(0);  // the dialog class
        String(title);
        Word(9);
        String(L"MS Shell Dlg");
    }
    void AddButton(WORD id, const std::wstring& text, short x, short y, bool disabled) {
        Align();
        DLGITEMTEMPLATE item{};
        item.style =
            WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | (disabled ? WS_DISABLED : 0);
        item.x = x;
        item.y = y;
        item.cx = 60;
        item.cy = 14;
        item.id = id;
        Append(&item, sizeof item);
        Word(0xFFFF);
        Word(0x0080);  // the button class atom
        String(text);
        Word(0);  // no creation data
        ++reinterpret_cast<DLGTEMPLATE*>(bytes_.data())->cdit;
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }

  private:
    void Append(const void* p, size_t n) {
        auto b = static_cast<const unsigned char*>(p);
        bytes_.insert(bytes_.end(), b, b + n);
    }
    void Word(WORD w) { Append(&w, sizeof w); }
    void String(const std::wstring& s) { Append(s.c_str(), (s.size() + 1) * sizeof(wchar_t)); }
    void Align() {
        while (bytes_.size() % 4) bytes_.push_back(0);
    }
    std::vector<unsigned char> bytes_;
};

void Report(const std::string& line) {
    std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), DWORD(text.size()), &written, nullptr);
}

std::string Utf8(const std::wstring& w) {
    if (w.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

// The helper's own file name as ANSI callers (the toolhelp records) see it, in UTF-8.
std::string ModulePath() {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    int wide = MultiByteToWideChar(CP_ACP, 0, path, int(n), nullptr, 0);
    std::wstring w(size_t(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path, int(n), w.data(), wide);
    return Utf8(w);
}

void ReportWindow(const std::wstring& name, HWND hwnd) {
    auto value = static_cast<int32_t>(reinterpret_cast<intptr_t>(hwnd));
    Report("window " + Utf8(name) + " " + std::to_string(value));
}

HWND CreateButton(HWND parent, const std::wstring& text, int y, bool disabled) {
    DWORD style = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | (disabled ? WS_DISABLED : 0);
    return CreateWindowExW(0, L"BUTTON", text.c_str(), style, 10, y, 120, 24, parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

HWND CreateTarget(const Target& target, HWND owner) {
    if (target.kind == L"dialog") {
        DialogTemplate t(target.title, 160, 60);
        t.AddButton(IDOK, L"OK", 10, 30, false);
        t.AddButton(kDisabledButtonId, L"Disabled", 80, 30, true);
        HWND dlg =
            CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), owner, DialogProc, 0);
        if (!dlg) Fail(L"CreateDialogIndirectParamW failed for " + target.name);
        SetWindowPos(dlg, nullptr, target.place.x, target.place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        if (!target.hidden) ShowWindow(dlg, SW_SHOWNOACTIVATE);
        return dlg;
    }
    RegisterTargetClass(target.className);
    DWORD exStyle = target.tool ? WS_EX_TOOLWINDOW : 0;
    HWND hwnd =
        CreateWindowExW(exStyle, target.className.c_str(), target.title.c_str(),
                        WS_OVERLAPPEDWINDOW, target.place.x, target.place.y, target.place.width,
                        target.place.height, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!hwnd) Fail(L"CreateWindowExW failed for " + target.name);
    if (!target.hidden) ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    return hwnd;
}

void PumpFor(DWORD ms) {
    DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < ms) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) std::exit(0);
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Options options = ParseArgs(argc, argv);
    g_closeLog = options.closeLog;
    // Make the message queue first, so a WM_QUIT posted right after the report is kept.
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);

    std::map<std::wstring, HWND> made;
    Report("pid " + std::to_string(GetCurrentProcessId()));
    Report("path " + ModulePath());
    Report("thread " + std::to_string(GetCurrentThreadId()));
    for (const Target& target : options.targets) {
        HWND owner = nullptr;
        if (!target.owner.empty()) {
            auto it = made.find(target.owner);
            if (it == made.end()) Fail(L"unknown owner " + target.owner);
            owner = it->second;
        }
        HWND hwnd = CreateTarget(target, owner);
        made[target.name] = hwnd;
        g_names[hwnd] = target.name;
        ReportWindow(target.name, hwnd);
        if (target.kind == L"dialog") {
            ReportWindow(target.name + L"/ok", GetDlgItem(hwnd, IDOK));
            ReportWindow(target.name + L"/disabled", GetDlgItem(hwnd, kDisabledButtonId));
        }
        if (!target.buttonText.empty())
            ReportWindow(target.name + L"/button",
                         CreateButton(hwnd, target.buttonText, 10, false));
        if (!target.disabledButtonText.empty())
            ReportWindow(target.name + L"/disabled",
                         CreateButton(hwnd, target.disabledButtonText, 40, true));
    }
    Report("ready");
    g_slowShowMs = options.slowShowMs;

    if (options.hangAfterMs >= 0) {
        PumpFor(DWORD(options.hangAfterMs));
        Sleep(INFINITE);
    }
    if (options.deafAfterMs >= 0) {
        PumpFor(DWORD(options.deafAfterMs));
        // Waiting on the queue counts as waiting for input, so the system never
        // calls it hung, and no message is ever taken.
        for (;;) MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, 0);
    }
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(GetActiveWindow(), &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return 0;
}
