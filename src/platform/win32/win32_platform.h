// The real platform: each method is the Win32 call its name says. A call that
// would make the program wait on another thread's window goes ahead only when
// that window answers at once: it is skipped when the window is hung (it has
// not taken a message for 5 s) or does not answer a short probe, so no window
// can freeze the program; such a call fails like one on a vanished window.
// Showing and placing another thread's window do not wait for it at all.
#pragma once

#include <windows.h>

#include <map>
#include <memory>

#include "platform/platform.h"
#include "platform/win32/scoped.h"

namespace kelvorin::win32 {

class Windows final : public IWindows {
public:
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

private:
    // Whether a call that waits on h's thread may go ahead; remembers for a
    // moment a window that did not answer.
    bool Answers(HWND h);
    std::map<HWND, ULONGLONG> silentUntil_;
};

class Processes final : public IProcesses {
public:
    KernelHandle CreateToolhelp32Snapshot(uint32_t flags, uint32_t processId) override;
    std::optional<ProcessEntry> Process32First(KernelHandle snapshot) override;
    std::optional<ProcessEntry> Process32Next(KernelHandle snapshot) override;
    std::optional<ModuleEntry> Module32First(KernelHandle snapshot) override;
    bool CloseHandle(KernelHandle h) override;
    KernelHandle OpenProcess(uint32_t access, bool inherit, uint32_t processId) override;
    bool TerminateProcess(KernelHandle process, uint32_t exitCode) override;
    std::optional<uint32_t> GetVersionPlatformId() override;
};

class Shell final : public IShell {
public:
    IconPair ExtractIconExA(const std::string& path, int index) override;
    int ExtractIconCount(const std::string& path) override;
    IconHandle ExtractIconA(const std::string& path, int index) override;
    bool DestroyIcon(IconHandle icon) override;
    bool Shell_NotifyIconA(uint32_t message, const NotifyIconData& data) override;
};

class Files final : public IFiles {
public:
    KernelHandle OpenFileForReading(const std::string& path) override;
    std::optional<uint64_t> GetFileSize(KernelHandle file) override;
    std::string ReadFileAt(KernelHandle file, uint64_t offset, size_t count) override;
    bool CloseFile(KernelHandle file) override;
};

class Clipboard final : public IClipboard {
public:
    void SetOwner(HWND owner) { owner_ = owner; }
    bool Empty() override;
    bool SetText(const std::string& text) override;

private:
    bool Open();
    HWND owner_ = nullptr;
};

class Keyboard final : public IKeyboard {
public:
    uint16_t GetAsyncKeyState(int virtualKey) override;
};

class UserInterface final : public IUserInterface {
public:
    void SetOwner(HWND owner) { owner_ = owner; }
    int MessageBox(const std::string& text, const std::string& title, uint32_t style) override;
    std::optional<std::string> GetSaveFileName(const std::string& filter) override;
    WriteResult WriteFileReplacing(const std::string& path, const std::string& bytes) override;
    int CompareText(const std::string& a, const std::string& b) override;
    size_t AnsiLength(const std::string& text) override;

private:
    HWND owner_ = nullptr;
};

// An off-screen surface: a memory DC holding a top-down 32-bit DIB section,
// so its pixels can be read back directly.
class Surface final : public ISurface {
public:
    Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    void Resize(int width, int height) override;
    void Clear(Colour background) override;
    void DrawImage(const Image& image, int x, int y) override;
    bool DrawIconEx(IconHandle icon, int x, int y) override;
    bool DrawIcon(IconHandle icon, int x, int y) override;
    Image Capture() const override;

private:
    UniqueDc dc_;
    UniqueBitmap bitmap_;
    // Declared last, so the bitmap is deselected before it or the DC goes.
    std::optional<ScopedSelectObject> selected_;
    uint32_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// The whole real platform in one place, for WinMain.
struct Win32Platform {
    Windows windows;
    Processes processes;
    Shell shell;
    Clipboard clipboard;
    Keyboard keyboard;
    UserInterface ui;
    Files files;
    Platform platform{windows, processes, shell, clipboard, keyboard, ui, files,
                      [] { return std::make_unique<Surface>(); }};
};

// Makes a 32-bit DIB section from a portable picture (for image lists and
// static pictures).
UniqueBitmap CreateBitmapFromImage(const Image& image);

}  // namespace kelvorin::win32
