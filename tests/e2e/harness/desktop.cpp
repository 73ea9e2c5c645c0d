#include "harness/desktop.h"

#include "harness/options.h"
#include "harness/process.h"
#include "harness/text.h"
#include "harness/wait.h"

namespace e2e {

std::string WindowText(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, 5000, &copied))
        return {};
    text.resize(copied);
    return Utf8(text);
}

std::string ClassName(HWND hwnd) {
    wchar_t name[256] = {};
    int n = GetClassNameW(hwnd, name, 256);
    return Utf8(std::wstring_view(name, size_t(n > 0 ? n : 0)));
}

RECT RectInClientOf(HWND hwnd, HWND reference) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    MapWindowPoints(HWND_DESKTOP, reference, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

SIZE ClientSize(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    return {r.right - r.left, r.bottom - r.top};
}

std::vector<HWND> TopLevelWindows(DWORD processId, const wchar_t* className, bool visibleOnly) {
    struct Query {
        DWORD pid;
        const wchar_t* cls;
        bool visibleOnly;
        std::vector<HWND> found;
    } q{processId, className, visibleOnly, {}};
    EnumWindows(
        [](HWND h, LPARAM p) -> BOOL {
            auto& query = *reinterpret_cast<Query*>(p);
            DWORD pid = 0;
            GetWindowThreadProcessId(h, &pid);
            wchar_t cls[256] = {};
            GetClassNameW(h, cls, 256);
            if (pid == query.pid && (!query.cls || wcscmp(cls, query.cls) == 0) &&
                (!query.visibleOnly || IsWindowVisible(h)))
                query.found.push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&q));
    return q.found;
}

HWND FindControl(HWND parent, int id) {
    if (HWND h = GetDlgItem(parent, id)) return h;
    struct Query {
        int id;
        HWND found;
    } q{id, nullptr};
    EnumChildWindows(
        parent,
        [](HWND h, LPARAM p) -> BOOL {
            auto& query = *reinterpret_cast<Query*>(p);
            if (GetDlgCtrlID(h) != query.id) return TRUE;
            query.found = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&q));
    return q.found;
}

std::optional<std::string> ClipboardText() {
    // Another process may hold the clipboard for a moment.
    if (!WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 1s)) return std::nullopt;
    std::optional<std::string> text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (auto p = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = Utf8(p);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

std::string SaveScreenshot(const std::string& name) {
    const std::string& dir = GetOptions().screenshotDir;
    if (dir.empty()) return {};
    std::string file = dir + "/" + name + ".png";
    UnixResult r = RunUnix({"/usr/bin/import", "-window", "root", file}, 20s);
    return r.finished && r.exitCode == 0 ? file : std::string();
}

}  // namespace e2e
