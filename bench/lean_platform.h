// A lean in-memory desktop for the micro benchmarks: every platform interface
// over plain vectors, with no call log and no failure switches, so what a
// benchmark times is the program's own logic and not the stand-in's
// bookkeeping. Unlike tests/fake it checks nothing and records nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/main_frm.h"
#include "platform/platform.h"

namespace kelvorin::bench {

struct LeanWindow {
    std::string title;  // "" for an untitled window
    bool visible = true;
    uint32_t processId = 0;
};

struct LeanProcess {
    uint32_t processId = 0;
    std::string exeFile;
    std::string exePath;
    bool modulesReadable = true;  // false: the module snapshot is refused
};

// The desktop: windows in Z-order, processes in snapshot order. Window i has
// the handle kFirstHandle + i * kHandleStep, so a handle finds its window by
// arithmetic, as user32 finds it through its handle table.
struct LeanDesktop {
    static constexpr int32_t kFirstHandle = 0x10010;
    static constexpr int32_t kHandleStep = 4;

    std::vector<LeanWindow> windows;
    std::vector<LeanProcess> processes;
    std::string clipboard;

    static WindowHandle HandleOf(size_t index) {
        return WindowHandle(kFirstHandle + static_cast<int32_t>(index) * kHandleStep);
    }
    // nullptr for a handle that names no window.
    const LeanWindow* Find(WindowHandle h) const;
};

// A desktop of `windows` titled top-level windows spread evenly over
// `processes` processes, which run `processes / 10` distinct executables; every
// eighth window is hidden and every tenth process's modules are unreadable.
LeanDesktop MakeDesktop(size_t windows, size_t processes);

// Every platform interface over one LeanDesktop.
class LeanPlatform final : public IWindows,
                           public IProcesses,
                           public IShell,
                           public IClipboard,
                           public IKeyboard,
                           public IUserInterface,
                           public IFiles {
  public:
    explicit LeanPlatform(LeanDesktop& desktop) : desktop_(desktop) {}
    Platform platform();

    // IWindows
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

    // IProcesses
    KernelHandle CreateToolhelp32Snapshot(uint32_t flags, uint32_t processId) override;
    std::optional<ProcessEntry> Process32First(KernelHandle snapshot) override;
    std::optional<ProcessEntry> Process32Next(KernelHandle snapshot) override;
    std::optional<ModuleEntry> Module32First(KernelHandle snapshot) override;
    bool CloseHandle(KernelHandle h) override;
    KernelHandle OpenProcess(uint32_t access, bool inherit, uint32_t processId) override;
    bool TerminateProcess(KernelHandle process, uint32_t exitCode) override;
    std::optional<uint32_t> GetVersionPlatformId() override;

    // IShell
    IconPair ExtractIconExA(const std::string& path, int index) override;
    int ExtractIconCount(const std::string& path) override;
    IconHandle ExtractIconA(const std::string& path, int index) override;
    bool DestroyIcon(IconHandle icon) override;
    bool Shell_NotifyIconA(uint32_t message, const NotifyIconData& data) override;

    // IClipboard
    bool Empty() override;
    bool SetText(const std::string& text) override;

    // IKeyboard
    uint16_t GetAsyncKeyState(int virtualKey) override;

    // IUserInterface
    int MessageBox(const std::string& text, const std::string& title, uint32_t style) override;
    std::optional<std::string> GetSaveFileName(const std::string& filter) override;
    WriteResult WriteFileReplacing(const std::string& path, const std::string& bytes) override;
    int CompareText(const std::string& a, const std::string& b) override;
    size_t AnsiLength(const std::string& text) override;

    // IFiles
    KernelHandle OpenFileForReading(const std::string& path) override;
    std::optional<uint64_t> GetFileSize(KernelHandle file) override;
    std::string ReadFileAt(KernelHandle file, uint64_t offset, size_t count) override;
    bool CloseFile(KernelHandle file) override;

  private:
    // The one snapshot open at a time: a process snapshot walks the process
    // list; a module snapshot holds the process it was taken of.
    struct Snapshot {
        bool open = false;
        bool modules = false;
        uint32_t processId = 0;
        size_t cursor = 0;
    };

    LeanDesktop& desktop_;
    Snapshot snapshot_;
};

// A drawing surface over a portable picture. An icon is drawn as a 16 x 16
// square of the colour its handle encodes.
class LeanSurface final : public ISurface {
  public:
    void Resize(int width, int height) override;
    void Clear(Colour background) override;
    void DrawImage(const Image& image, int x, int y) override;
    bool DrawIconEx(IconHandle icon, int x, int y) override;
    bool DrawIcon(IconHandle icon, int x, int y) override;
    Image Capture() const override { return canvas_; }

  private:
    void Fill(int x, int y, int width, int height, Colour colour);
    Image canvas_{16, 16, 0};
};

// The main window as the logic sees it: never shown, never unloaded.
class LeanView final : public IMainFrmView {
  public:
    WindowHandle Handle() override { return WindowHandle(0x7FF0); }
    WindowHandle ControlHandle(int id) override { return WindowHandle(0x8000 + id); }
    int ClientHeightTwips() override { return 4635; }
    void GrowHeightTwips(int) override {}
    void Show() override {}
    void Hide() override {}
    bool IsVisible() override { return true; }
    void Unload() override {}
    void ShowPopupMenu(uint32_t) override {}
    IconHandle WindowIcon() override { return IconHandle(1); }
    void ShowIconGetterModal(const std::string&) override {}
    void UnloadIconGetter() override {}
    void SetFinderDragging(bool) override {}
};

}  // namespace kelvorin::bench
