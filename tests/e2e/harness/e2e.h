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
struct Options {
    std::wstring kelvorin, helper;
    unsigned codepage = 0;
    std::string workDir, shots;
};
extern Options opt;

// Polls, and once more at the deadline: never a bare sleep.
template <class F>
bool WaitUntil(F&& done, ms timeout = 5s) {
    for (auto end = std::chrono::steady_clock::now() + timeout;
         std::chrono::steady_clock::now() < end; Sleep(10))
        if (done()) return true;
    return done();
}
template <class F>
bool HoldsFor(F&& holds, ms period) {  // for what must not happen
    return !WaitUntil([&] { return !holds(); }, period);
}

std::string Utf8(std::wstring_view w);
std::wstring Wide(std::string_view s);
std::wstring WinPath(const std::string& unixPath);  // drive Z: is the root
std::string FileText(const std::wstring& path);
inline std::string HandleText(HWND h) {  // as the program writes a handle
    return std::to_string(int32_t(reinterpret_cast<intptr_t>(h)));
}

// --- windows of any process ---------------------------------------------------
std::string Text(HWND h);  // WM_GETTEXT: also edit controls of other processes
// Waits for a visible top-level window of the process (0: any) and class,
// owned by `owner` (null: any), that is not `except`.
HWND WaitWindow(DWORD pid, const wchar_t* cls, HWND owner, ms timeout = 10s, HWND except = nullptr);
GUITHREADINFO Gui(HWND window);  // its thread's focus, capture, ...
HWND Focused(HWND window);       // the child holding the focus (a combo box for its edit)
inline RECT WindowRect(HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    return r;
}
inline POINT Centre(HWND h) {
    RECT r = WindowRect(h);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}
SIZE ClientSize(HWND h);
int Pixels(int twips);
inline bool IsTopmost(HWND h) {
    return GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST;
}
inline bool TrayIconExists(HWND owner) {  // a modify of nothing fails without an icon
    NOTIFYICONDATAW data{sizeof data, owner};
    return Shell_NotifyIconW(NIM_MODIFY, &data);
}
POINT TrayIconPoint();  // the only icon sits at the taskbar's right end
std::optional<std::string> Clipboard();
bool EmptyClipboard();
int CountPixels(RECT screen, COLORREF colour);
std::string MessageText(HWND box);

// --- input: xdotool makes real X events; SendInput reaches GetAsyncKeyState --
bool Xdo(std::vector<std::string> args);
bool XClick(POINT p, int button = 1);
bool XDrag(POINT from, POINT to, bool release = true);
bool Keys(const std::vector<WORD>& keys, bool down = true, bool up = true);
// Holds keys until `until` or the time is up. They are pressed again at every
// poll: Wine takes its key state afresh from X when the focus moves.
template <class F>
bool Hold(const std::vector<WORD>& keys, F&& until, ms timeout) {
    bool done = WaitUntil([&] { return Keys(keys, true, false) && until(); }, timeout);
    Keys(keys, false, true);
    return done;
}

// Keys go to the focus of the window in front.
bool Front(HWND window);
// One Tab (or Shift+Tab) in `window`; success when control `id` then has the focus.
testing::AssertionResult Tab(HWND window, int id, bool back = false);
testing::AssertionResult TabTo(HWND window, int id);  // as many Tabs as it takes

// --- processes --------------------------------------------------------------------
// A Unix program under /bin/sh, which leaves the status in a file: Wine hands
// back no process for it. The exit code is -1 when it did not finish.
std::pair<int, std::string> RunUnix(const std::vector<std::string>& argv, ms timeout = 20s);
// The screen (an area of it, with the pointer) for the screenshot directory.
void Screenshot(const std::string& name, const RECT* area = nullptr);

class Child {
  public:
    Child(const std::wstring& exe, const std::vector<std::wstring>& args, HANDLE out = nullptr);
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
// line with "|" between the arguments).
class Helper {
  public:
    explicit Helper(const std::string& args, const std::wstring& exe = {});
    HWND operator[](const std::string& name) const { return windows_.at(name); }
    DWORD Pid() const { return process_->Id(); }
    const Child& Process() const { return *process_; }
    std::string path;  // its ANSI module name, in UTF-8

  private:
    std::unique_ptr<Child> process_;  // ended with the object
    std::map<std::string, HWND> windows_;
};

// ListView1's columns, and its visibility texts.
enum Column { kIconCol, kHandleCol, kNameCol, kCaptionCol, kPidCol, kPathCol, kVisibleCol };
inline const std::string kShown = "表示", kHidden = "非表示";

// A list view of another process. Its messages carry pointers, so the
// structures live in a page of the owner's memory: written, sent, read back.
class RemoteList {
  public:
    explicit RemoteList(HWND list);
    ~RemoteList() { VirtualFreeEx(process_, remote_, 0, MEM_RELEASE), CloseHandle(process_); }
    HWND Handle() const { return list_; }
    int Count() const { return int(Send(LVM_GETITEMCOUNT, 0, 0)); }
    std::string Cell(int row, int column) const;
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
    RECT ItemRect(int row) const;  // on the screen, scrolled into view
    int ColumnWidth(int column) const { return int(Send(LVM_GETCOLUMNWIDTH, column, 0, false)); }

  private:
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
    App();  // starts kelvorin.exe and waits for its window
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
// Posted, as the press may open another modal window.
inline bool Press(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    return button && PostMessageW(button, BM_CLICK, 0, 0);
}
HWND FileNameField(HWND saveDialog);

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
        if (app_ && app_->Process().Running()) {
            EXPECT_EQ(app_->Quit(), "exit button");
        }
        helpers_.clear();
    }
    std::unique_ptr<App> app_;
    std::vector<std::unique_ptr<Helper>> helpers_;
};

}  // namespace e2e
