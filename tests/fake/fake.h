// An in-memory desktop behind the unit tests and the core benchmark: every
// platform interface over plain state that a test sets up and reads back
// (windows, processes, icon files, the notification area, clipboard, keys,
// dialogs and files). Like Win32, a call on a destroyed or unknown window
// fails, and a hung window refuses every call that would wait on its thread.
//
// Fail(name) makes a platform call fail without effect. The call log is kept
// only while `logging` is on, so the benchmark pays nothing for it.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/main_frm.h"
#include "icons/icon_getter.h"
#include "platform/platform.h"

namespace kelvorin::fake {

// Win32's own numbers, written out rather than taken from the program's
// constants, so a wrong constant there shows as a wrong effect here.
inline constexpr uint32_t kWsPopup = 0x80000000u;
inline constexpr uint32_t kWsChild = 0x40000000u;
inline constexpr uint32_t kTopmost = 0x8;
inline constexpr uint32_t kLayered = 0x80000;
// An icon pixel outside the icon's mask: drawing leaves the surface as it was.
inline constexpr Colour kClear = 0xFF000000u;

struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
};

struct MenuItem {
    uint32_t id = 0, state = 0;
    friend bool operator==(const MenuItem&, const MenuItem&) = default;
};
// Restore, move, size, minimise, maximise, a separator and close.
std::vector<MenuItem> DefaultMenu();

struct Window {
    WindowHandle handle;  // null: Add numbers it
    std::string title;
    std::string className = "Fake";
    WindowHandle parent;  // set: a child window (Add adds WS_CHILD)
    WindowHandle owner;   // GetParent reports it for a WS_POPUP window
    uint32_t style = 0, exStyle = 0;
    bool visible = true, enabled = true;
    uint32_t processId = 0;
    Rect rect;  // screen coordinates; the client area is all of it
    bool hung = false;
    bool refusesText = false;  // keeps its title on WM_SETTEXT
    // What the program's calls leave behind.
    bool destroyed = false;
    std::optional<uint8_t> alpha;
    std::vector<MenuItem> menu = DefaultMenu();
};

struct Process {
    uint32_t processId = 0;
    std::string exeFile, exePath;
    bool modulesReadable = true, openable = true, terminated = false;
};

// One icon of a file: ExtractIconA hands out the large picture,
// ExtractIconExA both.
struct Icon {
    Image large, small;
};
Icon Solid(Colour colour);

struct MessageBoxRecord {
    std::string text, title;
    uint32_t style = 0;
};

class Desktop final : public IWindows,
                      public IProcesses,
                      public IShell,
                      public IClipboard,
                      public IKeyboard,
                      public IUserInterface {
public:
    Platform platform();

    // --- call log and failures ------------------------------------------
    bool logging = false;
    std::vector<std::string> log;  // "Name(arg,...)", while logging
    // Runs as each call is made, before its effect.
    std::function<void(const std::string&)> onCall;
    // The logged calls with one of these names (all calls when none given).
    std::vector<std::string> Calls(std::initializer_list<std::string> names = {}) const;
    size_t Count(const std::string& name) const { return Calls({name}).size(); }
    // Lets `after` calls of that name succeed, then fails `times` of them.
    void Fail(const std::string& name, int after = 0, int times = 1 << 30) {
        fails_[name] = {after, times};
    }
    void Restore() { fails_.clear(); }
    template <typename... A>
    bool Enter(const char* name, const A&... args) {
        if (logging || onCall) Record(name, {Arg(args)...});
        return !fails_.empty() && ShouldFail(name);
    }

    // --- the desktop ------------------------------------------------------
    WindowHandle Add(Window w);  // EnumWindows reports windows in the order added
    Window& Win(WindowHandle h) { return windows_.at(h.value); }
    void Destroy(WindowHandle h);  // with its children and owned windows
    std::vector<WindowHandle> TopLevel() const;
    size_t OpenHandles() const { return kernel_.size(); }  // snapshots and processes
    size_t LiveIcons() const { return icons_.size(); }      // extracted, not destroyed
    const Image* IconImage(IconHandle icon) const;

    WindowHandle desktopWindow{0x10010}, foreground, capture;
    Point cursor;
    std::map<int, int> metrics{{11, 32}, {12, 32}};  // SM_CXICON, SM_CYICON
    Colour windowColour = Rgb(255, 255, 255);        // COLOR_WINDOW
    std::vector<Process> processes;
    uint32_t currentProcessId = 4242;
    std::optional<uint32_t> platformId = 2;
    std::map<std::string, std::vector<Icon>> iconFiles;
    std::map<std::pair<int32_t, uint32_t>, NotifyIconData> tray;
    std::optional<std::string> clipboard;
    std::map<int, std::deque<uint16_t>> keys;  // readings; the last one stays
    std::vector<MessageBoxRecord> boxes;
    std::deque<int> answers;  // else a box answers with its first button
    std::deque<std::optional<std::string>> saveNames;  // else the dialog is cancelled
    std::map<std::string, std::string> files;

    // --- IWindows ---------------------------------------------------------
    bool EnumWindows(const std::function<bool(WindowHandle)>& visit) override;
    std::string GetWindowTextA(WindowHandle h, int maxCount) override;
    bool IsWindowVisible(WindowHandle h) override;
    WindowHandle GetParent(WindowHandle h) override;
    WindowHandle FindWindowA(const std::optional<std::string>& className,
                             const std::optional<std::string>& windowName) override;
    int32_t GetWindowLongA(WindowHandle h, int index) override;
    int32_t SetWindowLongA(WindowHandle h, int index, int32_t value) override;
    bool ShowWindow(WindowHandle h, int cmdShow) override;
    bool SetWindowPos(WindowHandle h, WindowHandle after, int x, int y, int cx, int cy,
                      uint32_t flags) override;
    WindowHandle SetParent(WindowHandle h, WindowHandle newParent) override;
    WindowHandle GetDesktopWindow() override;
    bool SetLayeredWindowAttributes(WindowHandle h, Colour key, uint8_t alpha,
                                    uint32_t flags) override;
    bool SendSetText(WindowHandle h, const std::string& text) override;
    bool SendClose(WindowHandle h) override;
    MenuHandle GetSystemMenu(WindowHandle h, bool revert) override;
    bool SetMenuItemInfoA(MenuHandle menu, uint32_t item, bool byPosition,
                          const MenuItemInfo& info) override;
    bool DrawMenuBar(WindowHandle h) override;
    Point GetCursorPos() override;
    WindowHandle WindowFromPoint(Point p) override;
    Point MapWindowPoints(WindowHandle from, WindowHandle to, Point p) override;
    WindowHandle ChildWindowFromPoint(WindowHandle parent, Point p) override;
    void SetCapture(WindowHandle h) override;
    void ReleaseCapture() override;
    ClassNameResult GetClassNameA(WindowHandle h, int capacity) override;
    WindowHandle GetForegroundWindow() override;
    uint32_t GetWindowThreadProcessId(WindowHandle h) override;
    int GetSystemMetrics(int index) override;
    Colour GetSysColor(int index) override;

    // --- IProcesses ---------------------------------------------------------
    KernelHandle CreateToolhelp32Snapshot(uint32_t flags, uint32_t processId) override;
    std::optional<ProcessEntry> Process32First(KernelHandle snapshot) override;
    std::optional<ProcessEntry> Process32Next(KernelHandle snapshot) override;
    std::optional<ModuleEntry> Module32First(KernelHandle snapshot) override;
    bool CloseHandle(KernelHandle h) override;
    KernelHandle OpenProcess(uint32_t access, bool inherit, uint32_t processId) override;
    bool TerminateProcess(KernelHandle process, uint32_t exitCode) override;
    std::optional<uint32_t> GetVersionPlatformId() override;

    // --- IShell, IClipboard, IKeyboard, IUserInterface ------------------------
    IconPair ExtractIconExA(const std::string& path, int index) override;
    int ExtractIconCount(const std::string& path) override;
    IconHandle ExtractIconA(const std::string& path, int index) override;
    bool DestroyIcon(IconHandle icon) override;
    bool Shell_NotifyIconA(uint32_t message, const NotifyIconData& data) override;
    bool Empty() override;
    bool SetText(const std::string& text) override;
    uint16_t GetAsyncKeyState(int virtualKey) override;
    int MessageBox(const std::string& text, const std::string& title, uint32_t style) override;
    std::optional<std::string> GetSaveFileName(const std::string& filter) override;
    WriteResult WriteFileReplacing(const std::string& path, const std::string& bytes) override;
    int CompareText(const std::string& a, const std::string& b) override;
    size_t AnsiLength(const std::string& text) override { return text.size(); }  // UTF-8 itself

private:
    struct Kernel {
        std::vector<ProcessEntry> entries;  // a process snapshot
        size_t next = 0;
        std::optional<ModuleEntry> module;  // a module snapshot's first module
        uint32_t processId = 0, access = 0;  // an open process
    };
    struct Switch {
        int after, times;
    };

    static std::string Arg(const std::string& s) { return '"' + s + '"'; }
    static std::string Arg(const char* s) { return Arg(std::string(s)); }
    static std::string Arg(const std::optional<std::string>& s) { return s ? Arg(*s) : "null"; }
    static std::string Arg(WindowHandle h) { return std::to_string(h.value); }
    static std::string Arg(Point p) { return std::to_string(p.x) + ":" + std::to_string(p.y); }
    template <typename T>
    static std::string Arg(const T& v) {
        if constexpr (requires { v.value; }) return std::to_string(v.value);
        else return std::to_string(v);
    }
    void Record(const char* name, std::vector<std::string> args);
    bool ShouldFail(const std::string& name);
    Window* Live(WindowHandle h);
    Window* Responsive(WindowHandle h);  // live and not hung
    std::vector<WindowHandle> Children(WindowHandle parent) const;
    WindowHandle Deepest(WindowHandle h, Point p) const;
    Point Origin(WindowHandle h);
    KernelHandle NewKernel(Kernel k);
    IconHandle NewIcon(const Image& image);

    std::map<std::string, Switch, std::less<>> fails_;
    std::unordered_map<int32_t, Window> windows_;
    std::vector<WindowHandle> order_;
    int32_t nextHandle_ = 0x20000;
    std::map<uint64_t, Kernel> kernel_;
    uint64_t nextKernel_ = 0x100;
    std::map<uint64_t, Image> icons_;
    uint64_t nextIcon_ = 0x5000;
};

// A drawing surface over a picture, drawing the desktop's icons.
class Surface final : public ISurface {
public:
    explicit Surface(Desktop& desktop) : desktop_(desktop) {}
    void Resize(int width, int height) override { canvas_ = Image(width, height, 0); }
    void Clear(Colour background) override { canvas_ = Image(canvas_.width, canvas_.height, background); }
    void DrawImage(const Image& image, int x, int y) override;
    bool DrawIconEx(IconHandle icon, int x, int y) override;
    // Stretched to the desktop's SM_CXICON x SM_CYICON.
    bool DrawIcon(IconHandle icon, int x, int y) override;
    Image Capture() const override { return canvas_; }

private:
    Desktop& desktop_;
    Image canvas_{16, 16, 0};
};

// Both of the program's windows as the logic sees them; their calls go to the
// desktop's log as View.<name>.
class View final : public IMainFrmView, public IIconGetterView {
public:
    explicit View(Desktop& desktop) : desktop_(desktop) {}
    WindowHandle Handle() override { return handle; }
    WindowHandle ControlHandle(int id) override { return WindowHandle(handle.value + id); }
    int ClientHeightTwips() override { return clientHeight; }
    void GrowHeightTwips(int delta) override;
    void Show() override;
    void Hide() override;
    bool IsVisible() override { return shown; }
    // Runs Form_Unload through onUnload, as the real window does while it goes.
    void Unload() override;
    void ShowPopupMenu(uint32_t flags) override { menus.push_back(flags); }
    IconHandle WindowIcon() override { return IconHandle(0x77); }
    void ShowIconGetterModal(const std::string& path) override { iconGetterPaths.push_back(path); }
    void UnloadIconGetter() override { desktop_.Enter("View.UnloadIconGetter"); }
    void SetFinderDragging(bool on) override;

    WindowHandle handle{0x7000};
    bool shown = true, dragging = false;
    int unloads = 0, clientHeight = 4635;
    std::vector<uint32_t> menus;
    std::vector<std::string> iconGetterPaths;
    std::function<void()> onUnload;

private:
    Desktop& desktop_;
};

}  // namespace kelvorin::fake
