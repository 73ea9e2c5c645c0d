// FakeDesktop: an in-memory Windows desktop that implements every platform
// interface, so the program's handlers run in unit tests.
//
// Set-up methods (AddWindow, AddProcess, AddIconFile, ...) and inspection
// methods (Window, Process, ClipboardText, ...) are not logged; every method
// of a platform interface is logged in Log() and can be made to fail with
// Fail(name). A failing call returns its failure value (false, 0, "", a null
// handle, nullopt, kInvalidHandle; CompareText 0) and has no effect.
//
// Log names are the interface method names (ShowWindow, Process32Next, ...);
// the generic names of the clipboard and surface methods carry a prefix:
// Clipboard.Empty, Clipboard.SetText, Surface.Resize, Surface.Clear,
// Surface.DrawImage, Surface.DrawIconEx, Surface.DrawIcon, Surface.Capture
// (a surface call's first argument is the surface's number).
//
// Like Win32, a call on a destroyed or unknown window fails: IsWindowVisible
// false, GetWindowThreadProcessId 0, GetClassNameA length 0, and so on. A hung
// window answers queries but every call that would wait on its thread
// (ShowWindow, SetWindowPos, SetParent, SetWindowLongA, GetSystemMenu,
// DrawMenuBar, SetLayeredWindowAttributes, SendSetText, SendClose) fails
// without effect, as the Win32 layer skips them.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "fake/call_log.h"
#include "platform/platform.h"

namespace kelvorin::fake {

// Window styles the fake interprets (GWL_STYLE). WS_VISIBLE and WS_DISABLED
// are kept in FakeWindow::visible and ::enabled and folded in on reading.
inline constexpr int kGwlStyle = -16;
inline constexpr uint32_t kWsPopup = 0x80000000;
inline constexpr uint32_t kWsChild = 0x40000000;
inline constexpr uint32_t kWsVisible = 0x10000000;
inline constexpr uint32_t kWsDisabled = 0x08000000;
inline constexpr uint32_t kWsOverlappedWindow = 0x00CF0000;

// SetWindowPos's insert-after values and flags beyond constants.h.
inline constexpr int32_t kHwndTop = 0;
inline constexpr int32_t kHwndBottom = 1;
inline constexpr uint32_t kSwpNoZOrder = 0x0004;
inline constexpr uint32_t kSwpHideWindow = 0x0080;

inline constexpr uint32_t kNimModify = 1;
inline constexpr int kSmCxSmIcon = 49;
inline constexpr int kSmCySmIcon = 50;

// An icon pixel of this value is outside the icon's mask: drawing an icon
// leaves the surface's pixel there as it was.
inline constexpr Colour kTransparent = 0xFF000000;

struct ScreenRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool Contains(Point p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
};

struct MenuItem {
    uint32_t id = 0;
    uint32_t state = 0;
    friend bool operator==(const MenuItem&, const MenuItem&) = default;
};

// The menu GetSystemMenu(h, TRUE) goes back to: restore, move, size,
// minimise, maximise, a separator (id 0) and close.
std::vector<MenuItem> DefaultSystemMenu();

// One window. Passed to AddWindow with designated initialisers; read and
// changed through Window(h).
struct FakeWindow {
    WindowHandle handle;  // null: AddWindow numbers the window
    std::string title;
    std::string className = "FakeWindow";
    WindowHandle parent;  // null: a top-level window (AddWindow adds WS_CHILD otherwise)
    WindowHandle owner;   // of a top-level window; GetParent reports it for WS_POPUP
    uint32_t style = kWsOverlappedWindow;
    uint32_t exStyle = 0;
    bool visible = true;
    bool enabled = true;
    uint32_t processId = 0;
    ScreenRect rect;  // in screen coordinates; the client area is the whole rectangle
    bool hung = false;
    bool refusesText = false;   // its WM_SETTEXT handling keeps the old title
    bool ignoresClose = false;  // its WM_CLOSE handling does not destroy it
    bool hasSystemMenu = true;

    // State the program's calls leave behind.
    bool destroyed = false;
    std::optional<uint8_t> alpha;  // from SetLayeredWindowAttributes
    Colour colourKey = 0;
    uint32_t layeredFlags = 0;
    std::optional<std::vector<MenuItem>> systemMenu;  // its own copy; nullopt: the default
};

struct FakeProcess {
    uint32_t processId = 0;
    std::string exeFile;          // szExeFile of the process snapshot
    std::string exePath;          // szExePath of its first module
    bool modulesReadable = true;  // false: Module32First fails, as for system processes
    bool openable = true;         // false: OpenProcess is refused
    bool terminated = false;
    uint32_t exitCode = 0;
};

// One icon of a file, in the two sizes ExtractIconExA hands out. ExtractIconA
// gives the large one.
struct FileIcon {
    Image large;
    Image small;
};
// A 32 x 32 and a 16 x 16 square of one colour.
FileIcon SolidIcon(Colour colour);
// A sound .ico file of one image: what a file given icons reads as.
std::string IcoFileBytes();

struct TrayIcon {
    uint32_t flags = 0;
    uint32_t callbackMessage = 0;
    IconHandle icon;
    std::string tip;
};

struct MessageBoxRecord {
    std::string text;
    std::string title;
    uint32_t style = 0;
};

class FakeDesktop : public IWindows,
                    public IProcesses,
                    public IShell,
                    public IClipboard,
                    public IKeyboard,
                    public IUserInterface,
                    public IFiles {
  public:
    FakeDesktop();
    FakeDesktop(const FakeDesktop&) = delete;
    FakeDesktop& operator=(const FakeDesktop&) = delete;

    // The platform wired to this desktop; createSurface makes FakeSurfaces.
    Platform platform();

    // --- call log and failures --------------------------------------------
    CallLog& Log() { return log_; }
    // Makes the named call fail: after `after` successful calls, `times` times.
    // Throws std::invalid_argument for a name that is no call of the fake.
    void Fail(const std::string& name, size_t after = 0, size_t times = FailureSwitches::kAlways);
    void RestoreAll();
    // EnumWindows visits at most this many windows, then returns false.
    void FailEnumWindowsAfter(size_t visited) { enumFailsAfter_ = visited; }
    // Logs a call made through one of the fake's interfaces; true when it is to fail.
    bool Enter(const std::string& name, std::vector<std::string> args);

    // --- windows ------------------------------------------------------------
    // Adds a window at the bottom of the Z-order (EnumWindows reports windows in
    // the order they were added unless something reorders them).
    WindowHandle AddWindow(FakeWindow window);
    // A handle no window will take, for things that need one of their own.
    WindowHandle ReserveHandle();
    // Throws std::out_of_range for a handle the desktop never had.
    FakeWindow& Window(WindowHandle h);
    // Destroys the window with its children and owned windows.
    void DestroyWindow(WindowHandle h);
    void BringToTop(WindowHandle h);
    void SendToBottom(WindowHandle h);
    // The live top-level windows in Z-order, as EnumWindows reports them.
    std::vector<WindowHandle> TopLevelWindows() const;
    // IsWindowVisible's answer, without logging.
    bool Visible(WindowHandle h) const;
    std::vector<MenuItem> SystemMenuItems(WindowHandle h);
    WindowHandle DesktopHandle() const { return desktopHandle_; }
    void SetForeground(WindowHandle h) { foreground_ = h; }
    WindowHandle CaptureHolder() const { return capture_; }
    void SetCursor(Point p) { cursor_ = p; }
    void SetMetric(int index, int value) { metrics_[index] = value; }
    int Metric(int index) const;
    void SetSysColour(int index, Colour colour) { sysColours_[index] = colour; }

    // --- processes ----------------------------------------------------------
    // Appends to the process list (snapshots report processes in this order).
    void AddProcess(FakeProcess process);
    FakeProcess& Process(uint32_t processId);
    // The program's own process: a module snapshot of process 0 reads it.
    uint32_t CurrentProcessId() const { return currentProcessId_; }
    void SetPlatformId(std::optional<uint32_t> id) { platformId_ = id; }
    // Snapshot and process handles not closed yet.
    size_t OpenKernelHandles() const { return kernelObjects_.size(); }

    // --- icons and files -----------------------------------------------------
    void AddIconFile(const std::string& path, std::vector<FileIcon> icons);
    // A live icon that comes from no file (the program's own icons).
    IconHandle CreateIcon(Image image);
    // The picture of a live icon; nullptr once destroyed.
    const Image* IconImage(IconHandle icon) const;
    // Icons handed out by ExtractIconExA / ExtractIconA and not destroyed yet.
    size_t LiveExtractedIcons() const;
    // Files on disk: written by WriteFileReplacing, or put there by a test. A
    // file given icons and not put here reads as IcoFileBytes().
    std::map<std::string, std::string>& Files() { return files_; }

    // --- notification area, clipboard, keys, dialogs -------------------------
    const std::map<std::pair<int32_t, uint32_t>, TrayIcon>& TrayIcons() const { return tray_; }
    std::optional<std::string> ClipboardText() const { return clipboard_; }
    bool ClipboardEmptied() const { return clipboardEmptied_; }
    // What another program left on the clipboard.
    void PutOnClipboard(const std::string& text);
    void SetKeyState(int virtualKey, uint16_t state) { keys_[virtualKey] = state; }
    // Readings returned one by one before the key falls back to its set state.
    void QueueKeyStates(int virtualKey, std::vector<uint16_t> readings);
    const std::vector<MessageBoxRecord>& MessageBoxes() const { return messageBoxes_; }
    // Answers for the next message boxes; without one a box answers with its
    // first button (IDOK, or IDYES for a Yes/No box).
    void QueueMessageBoxAnswer(int answer) { messageBoxAnswers_.push_back(answer); }
    // Answers for the next save dialogs; without one the dialog is cancelled.
    void QueueSaveFileName(std::optional<std::string> path) { saveAnswers_.push_back(path); }

    // --- IWindows -------------------------------------------------------------
    bool EnumWindows(const std::function<bool(WindowHandle)>& visit) override;
    std::string GetWindowTextA(WindowHandle h, int maxCount) override;
    bool IsWindowVisible(WindowHandle h) override;
    WindowHandle GetParent(WindowHandle h) override;
    WindowHandle FindWindowA(const std::optional<std::string>& className,
                             const std::optional<std::string>& windowName) override;
    int32_t GetWindowLongA(WindowHandle h, int index) override;
    int32_t SetWindowLongA(WindowHandle h, int index, int32_t value) override;
    bool ShowWindow(WindowHandle h, int cmdShow) override;
    bool SetWindowPos(WindowHandle h, WindowHandle insertAfter, int x, int y, int cx, int cy,
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

    // --- IProcesses -------------------------------------------------------------
    KernelHandle CreateToolhelp32Snapshot(uint32_t flags, uint32_t processId) override;
    std::optional<ProcessEntry> Process32First(KernelHandle snapshot) override;
    std::optional<ProcessEntry> Process32Next(KernelHandle snapshot) override;
    std::optional<ModuleEntry> Module32First(KernelHandle snapshot) override;
    bool CloseHandle(KernelHandle h) override;
    KernelHandle OpenProcess(uint32_t access, bool inherit, uint32_t processId) override;
    bool TerminateProcess(KernelHandle process, uint32_t exitCode) override;
    std::optional<uint32_t> GetVersionPlatformId() override;

    // --- IShell ---------------------------------------------------------------
    IconPair ExtractIconExA(const std::string& path, int index) override;
    int ExtractIconCount(const std::string& path) override;
    IconHandle ExtractIconA(const std::string& path, int index) override;
    bool DestroyIcon(IconHandle icon) override;
    bool Shell_NotifyIconA(uint32_t message, const NotifyIconData& data) override;

    // --- IClipboard, IKeyboard, IUserInterface ---------------------------------
    bool Empty() override;
    bool SetText(const std::string& text) override;
    uint16_t GetAsyncKeyState(int virtualKey) override;
    int MessageBox(const std::string& text, const std::string& title, uint32_t style) override;
    std::optional<std::string> GetSaveFileName(const std::string& filter) override;
    WriteResult WriteFileReplacing(const std::string& path, const std::string& bytes) override;
    int CompareText(const std::string& a, const std::string& b) override;
    // The fake's ANSI code page is UTF-8 itself: the length in bytes.
    size_t AnsiLength(const std::string& text) override;

    // --- IFiles -----------------------------------------------------------------
    KernelHandle OpenFileForReading(const std::string& path) override;
    std::optional<uint64_t> GetFileSize(KernelHandle file) override;
    std::string ReadFileAt(KernelHandle file, uint64_t offset, size_t count) override;
    bool CloseFile(KernelHandle file) override;

  private:
    struct ProcessSnapshot {
        std::vector<ProcessEntry> entries;
        size_t next = 0;
    };
    struct ModuleSnapshot {
        std::optional<ModuleEntry> first;  // nullopt: the module list cannot be read
    };
    struct ProcessRef {
        uint32_t processId = 0;
        uint32_t access = 0;
    };
    struct OpenFile {
        std::string bytes;
    };
    using KernelObject = std::variant<ProcessSnapshot, ModuleSnapshot, ProcessRef, OpenFile>;
    struct LiveIcon {
        Image image;
        bool extracted = false;
    };

    // A live window, or nullptr for a destroyed or unknown handle.
    FakeWindow* Live(WindowHandle h);
    const FakeWindow* Live(WindowHandle h) const;
    // A live window that is not hung: one the program may wait on.
    FakeWindow* Responsive(WindowHandle h);
    // The live children of a window (null: the desktop) in Z-order.
    std::vector<WindowHandle> Children(WindowHandle parent) const;
    bool IsAncestor(WindowHandle ancestor, WindowHandle h) const;
    void MoveInZOrder(WindowHandle h, bool toTop);
    WindowHandle DeepestAt(WindowHandle h, Point p) const;
    KernelHandle NewKernelHandle(KernelObject object);
    template <typename T>
    T* Kernel(KernelHandle h);
    IconHandle NewIcon(Image image, bool extracted);
    const std::vector<FileIcon>* IconFile(const std::string& path) const;

    CallLog log_;
    FailureSwitches failures_;
    std::optional<size_t> enumFailsAfter_;

    std::map<int32_t, FakeWindow> windows_;
    std::vector<WindowHandle> zOrder_;  // live windows, top first
    int32_t nextHandle_ = 0x20000;
    WindowHandle desktopHandle_{0x10010};
    WindowHandle foreground_;
    WindowHandle capture_;
    Point cursor_;
    std::map<int, int> metrics_;
    std::map<int, Colour> sysColours_;
    std::map<uint64_t, WindowHandle> menus_;  // system-menu copies and their windows
    uint64_t nextMenu_ = 0x3000;

    std::vector<FakeProcess> processes_;
    uint32_t currentProcessId_ = 4242;
    std::optional<uint32_t> platformId_ = 2;
    std::map<uint64_t, KernelObject> kernelObjects_;
    uint64_t nextKernel_ = 0x100;

    std::map<std::string, std::vector<FileIcon>> iconFiles_;
    std::map<uint64_t, LiveIcon> icons_;
    uint64_t nextIcon_ = 0x5000;
    std::map<std::pair<int32_t, uint32_t>, TrayIcon> tray_;

    std::optional<std::string> clipboard_;
    bool clipboardEmptied_ = false;
    std::map<int, uint16_t> keys_;
    std::map<int, std::deque<uint16_t>> keyReadings_;
    std::vector<MessageBoxRecord> messageBoxes_;
    std::deque<int> messageBoxAnswers_;
    std::deque<std::optional<std::string>> saveAnswers_;
    std::map<std::string, std::string> files_;
    int surfaces_ = 0;
};

}  // namespace kelvorin::fake
