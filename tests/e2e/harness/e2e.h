// The end-to-end driver's tools: waiting, text, windows of any process,
// real input, the programs it starts (kelvorin.exe, e2e_helper.exe, Unix tools
// through Wine) and a list view read across the process boundary.
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
#include <string>
#include <vector>

#include "app/control_ids.h"

namespace e2e {

using namespace std::chrono_literals;
using ms = std::chrono::milliseconds;
namespace ids = kelvorin::ids;

// What run_e2e.sh passes: Windows paths of the programs, the code page, and
// Unix paths of a scratch directory and (optionally) a screenshot directory.
struct Options {
    std::wstring kelvorin, helper;
    unsigned codepage = 0;
    std::string workDir, shots;
};
const Options& Opt();
std::wstring WinPath(const std::string& unixPath);  // drive Z: maps the root

// Polls until done() or the deadline, and once more at it: never a bare sleep.
template <class F>
bool WaitUntil(F&& done, ms timeout = 5s) {
    for (auto end = std::chrono::steady_clock::now() + timeout;
         std::chrono::steady_clock::now() < end; Sleep(10))
        if (done()) return true;
    return done();
}
// For what must not happen: holds() stays true for the whole period.
template <class F>
bool HoldsFor(F&& holds, ms period) {
    return !WaitUntil([&] { return !holds(); }, period);
}

std::string Utf8(std::wstring_view w);
std::wstring Wide(std::string_view s);
// A handle as the program writes it: the signed 32-bit value in decimal.
inline std::string HandleText(HWND h) {
    return std::to_string(int32_t(reinterpret_cast<intptr_t>(h)));
}

// --- windows of any process ---------------------------------------------------
std::string Text(HWND h);  // WM_GETTEXT, also of edits of other processes
std::string ClassOf(HWND h);
// Visible top-level windows of a process (0: any) with this class (null: any).
std::vector<HWND> TopWindows(DWORD pid, const wchar_t* cls);
// Waits for one of them owned by `owner` (null: any), other than `except`.
HWND WaitWindow(DWORD pid, const wchar_t* cls, HWND owner, ms timeout = 10s,
                HWND except = nullptr);
// The child of `window` holding its thread's focus (a combo box for its edit).
HWND Focused(HWND window);
HWND CaptureOf(HWND window);
POINT Centre(HWND h);
SIZE ClientSize(HWND h);
int Pixels(int twips);  // at the screen's resolution
inline bool IsTopmost(HWND h) { return GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST; }
std::string FileText(const std::wstring& path);
// Whether (window, id 0) has a notification icon: a modify of nothing fails without one.
inline bool TrayIconExists(HWND owner) {
    NOTIFYICONDATAW data{sizeof data, owner};
    return Shell_NotifyIconW(NIM_MODIFY, &data);
}
POINT TrayIconPoint();  // the only icon sits at the taskbar's right end
std::optional<std::string> Clipboard();
bool PutClipboard(const std::string& text);
// The screen's pixels in a rectangle, row by row, as 0xRRGGBB.
std::vector<DWORD> ScreenPixels(RECT r);
inline DWORD ScreenColour(COLORREF c) {
    return DWORD(GetRValue(c)) << 16 | DWORD(GetGValue(c)) << 8 | GetBValue(c);
}

// --- input --------------------------------------------------------------------
// xdotool makes real X events; SendInput reaches GetAsyncKeyState too.
bool Xdo(std::vector<std::string> args);
bool XClick(POINT p, int button = 1);
// Press at `from`, move there in steps, release unless `hold`.
bool XDrag(POINT from, POINT to, bool hold = false);
bool Keys(const std::vector<WORD>& keys, bool down = true, bool up = true);
// Holds keys until `until` or the time is up, then lets go. They are pressed
// again at every poll: Wine takes its key state afresh from X when the X focus
// moves, which may happen just after a press.
template <class F>
bool Hold(const std::vector<WORD>& keys, F&& until, ms timeout) {
    bool done = WaitUntil([&] { return Keys(keys, true, false) && until(); }, timeout);
    Keys(keys, false, true);
    return done;
}
// One Tab (or Shift+Tab) in `window`; true when control `id` then has the focus.
testing::AssertionResult Tab(HWND window, int id, bool back = false);

// --- processes ----------------------------------------------------------------
class Child {
  public:
    static Child Start(const std::wstring& exe, const std::vector<std::wstring>& args,
                       HANDLE out = nullptr);
    Child() = default;
    Child(Child&& o) noexcept : h_(std::exchange(o.h_, nullptr)), id_(o.id_) {}
    Child& operator=(Child&& o) noexcept;
    ~Child() { Kill(); }
    DWORD Id() const { return id_; }
    HANDLE Handle() const { return h_; }
    bool Running() const { return h_ && WaitForSingleObject(h_, 0) == WAIT_TIMEOUT; }
    bool WaitExit(ms timeout) const { return !h_ || WaitForSingleObject(h_, DWORD(timeout.count())) == 0; }
    std::optional<DWORD> ExitCode() const;
    void Kill();

  private:
    HANDLE h_ = nullptr;
    DWORD id_ = 0;
};
// Runs a Unix program under /bin/sh, which leaves its status in a file (Wine
// hands back no process for it); the output is empty when it did not finish.
struct UnixResult {
    int code = -1;
    std::string output;
};
UnixResult RunUnix(const std::vector<std::string>& argv, ms timeout = 20s);
// A picture of the screen (with the pointer when `area` is given) for the
// screenshot directory, if the run asked for one.
void Screenshot(const std::string& name, const RECT* area = nullptr);

// e2e_helper.exe (or a copy of it) with the windows of `args`; see its usage.
class Helper {
  public:
    Helper(const std::vector<std::string>& args, const std::wstring& exe = {});
    ~Helper() { Quit(); }
    HWND operator[](const std::string& name) const { return windows_.at(name); }
    DWORD Pid() const { return process_.Id(); }
    const Child& Process() const { return process_; }
    std::string path;  // the ANSI module name, in UTF-8
    void Quit();

  private:
    Child process_;
    DWORD thread_ = 0;
    std::map<std::string, HWND> windows_;
};

// ListView1's columns, and the texts of its visibility column.
enum Column { kIconCol, kHandleCol, kNameCol, kCaptionCol, kPidCol, kPathCol, kVisibleCol };
inline const std::string kShown = "表示", kHidden = "非表示";

// ListView1 or the extractor's list, read and driven from outside.
class RemoteList {
  public:
    explicit RemoteList(HWND list);
    ~RemoteList();
    HWND Handle() const { return list_; }
    int Count() const;
    std::string Cell(int row, int column) const;
    std::vector<std::string> Row(int row) const;
    std::vector<std::vector<std::string>> Rows() const;
    int Find(int column, const std::string& text) const;  // -1: none
    int Selected() const;
    int Image(int row) const;
    bool Select(int row) const;  // LVM_SETITEMSTATE, no click
    RECT ItemRect(int row) const;  // in screen coordinates, scrolled into view
    int ColumnWidth(int column) const;

  private:
    LRESULT Send(UINT msg, WPARAM wp, size_t offset) const;
    bool Copy(size_t offset, void* data, size_t size, bool write) const;
    HWND list_;
    HANDLE process_ = nullptr;
    char* remote_ = nullptr;
};

class App {
  public:
    App();  // starts kelvorin.exe; throws when its window does not appear
    ~App() { Quit(); }
    HWND Main() const { return main_; }
    const Child& Process() const { return process_; }
    HWND operator()(int id) const { return GetDlgItem(main_, id); }
    // BM_CLICK, answered after the handler has run; fails the test if not in time.
    bool Click(int id, ms timeout = 30s) const;
    int Check(int id) const { return int(SendMessageW((*this)(id), BM_GETCHECK, 0, 0)); }
    std::string Text(int id) const { return e2e::Text((*this)(id)); }
    RemoteList& List();
    int RowOf(HWND h) { return List().Find(kHandleCol, HandleText(h)); }
    // Ends it by its exit button, else WM_CLOSE, else TerminateProcess.
    std::string Quit();

  private:
    Child process_;
    HWND main_ = nullptr;
    std::unique_ptr<RemoteList> list_;
};

// BM_CLICK from a thread of its own, for a handler that waits on a modal window.
class AsyncClick {
  public:
    explicit AsyncClick(HWND button);
    ~AsyncClick();
    bool Done(ms timeout = 0ms) const;

  private:
    std::shared_ptr<std::atomic<bool>> done_;
    HANDLE thread_;
};
// A message box's caption, text, buttons and default button.
struct Box {
    std::string title, text;
    std::vector<int> buttons;
    int byDefault = 0;
};
Box ReadBox(HWND box);
bool Press(HWND dialog, int id);  // posted: the press may open another modal window
HWND FileNameField(HWND saveDialog);

// Gives a copy of an executable three 32x32 icons (groups 101-103): the
// colour on a transparent ground, a square, a diamond and stripes whose centre
// is always painted and whose corners never are.
constexpr COLORREF kIconColours[3] = {RGB(200, 30, 30), RGB(30, 160, 50), RGB(30, 60, 210)};
bool AddIcons(const std::wstring& exe);

// Programs a test starts end with it; the program must end by its exit button.
class KelvorinTest : public testing::Test {
  protected:
    App& Launch() { return *(app_ = std::make_unique<App>()); }
    Helper& StartHelper(const std::vector<std::string>& args, const std::wstring& exe = {}) {
        return *helpers_.emplace_back(std::make_unique<Helper>(args, exe));
    }
    // A hidden stand-in for the desktop shell: without a "Progman" window the
    // program takes every parentless window for a bottom-most one.
    void StartShell() { StartHelper({"window", "progman", "--class", "Progman", "--hidden"}); }
    void TearDown() override {
        if (app_ && app_->Process().Running()) {
            EXPECT_EQ(app_->Quit(), "exit button");
        }
        helpers_.clear();
    }
    std::unique_ptr<App> app_;
    std::vector<std::unique_ptr<Helper>> helpers_;
};

}  // namespace e2e
