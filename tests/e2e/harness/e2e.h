// The end-to-end driver's programs (kelvorin.exe, e2e_helper.exe), a list view
// read across the process boundary, and the tests' fixture.
#pragma once

#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "harness/win.h"

namespace e2e {

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
    const Child& Process() const { return *process_; }
    std::string path;  // its ANSI module name, in UTF-8

  private:
    std::unique_ptr<Child> process_;
    std::map<std::string, HWND> windows_;
};

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
    std::string Text(int id) const { return e2e::Text((*this)(id)); }
    RemoteList& List() {
        if (!list_) list_ = std::make_unique<RemoteList>((*this)(ids::ListView1));
        return *list_;
    }
    int RowOf(HWND h) { return List().Find(kHandleCol, HandleText(h)); }
    // By its exit button, else TerminateProcess; true for the former.
    bool Quit() {
        list_.reset();
        if (!process_->Running()) return true;
        PostMessageW((*this)(ids::Command4), BM_CLICK, 0, 0);
        return process_->WaitExit(5s) || (process_->Kill(), false);
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

// Icons of known pictures (e2e.cpp): a copy of e2e_icon_helper.exe, in a scratch directory of
// its own, has three 32x32 icons (helper/icons.rc) in these colours on a transparent ground, a
// square, a diamond and stripes, whose centres are painted and whose corners never are.
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
        EXPECT_TRUE(!app_ || app_->Quit()) << "the exit button did not end the program";
        helpers_.clear();
    }
    std::unique_ptr<App> app_;
    std::vector<std::unique_ptr<Helper>> helpers_;
};

}  // namespace e2e
