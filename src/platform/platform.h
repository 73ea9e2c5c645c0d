// The program's only way to the operating system. Each method is one Win32
// call (or one tight group of them) spoken in the program's own terms: UTF-8
// text, WindowHandle, small records. src/platform/win32/ implements them for
// Windows; tests/fake/ implements them as an in-memory desktop.
//
// Text crossing these interfaces is UTF-8. Calls on other programs' windows and
// files convert to and from the system ANSI code page inside the implementation.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/types.h"

namespace kelvorin {

// One entry of a process snapshot (PROCESSENTRY32A), text already converted.
struct ProcessEntry {
    uint32_t processId = 0;
    std::string exeFile;  // szExeFile cut at its first zero
};

// The first entry of a module snapshot (MODULEENTRY32A).
struct ModuleEntry {
    uint32_t processId = 0;
    std::string exePath;  // szExePath cut at its first zero
};

// The fields of MENUITEMINFOA that the caption-bar commands use; fMask says
// which of state and id the call carries.
struct MenuItemInfo {
    uint32_t mask = 0;
    uint32_t state = 0;
    uint32_t id = 0;
};

// NOTIFYICONDATAA in its first (88-byte) version.
struct NotifyIconData {
    uint32_t cbSize = 0;
    WindowHandle hWnd;
    uint32_t uID = 0;
    uint32_t uFlags = 0;
    uint32_t uCallbackMessage = 0;
    IconHandle hIcon;
    std::string szTip;  // already cut to fit 64 bytes in the ANSI code page
};

struct IconPair {
    IconHandle large;
    IconHandle small;
};

// What a file write came to: written, or the system's reason why not.
struct WriteResult {
    bool written = false;
    std::string reason;
};

struct ClassNameResult {
    int length = 0;  // GetClassNameA's result: 0 on failure
    std::string text;
};

// Windows of the desktop: user32's window functions.
class IWindows {
public:
    virtual ~IWindows() = default;

    // EnumWindows: calls visit for every top-level window until it returns
    // false; the result is EnumWindows' (false when the enumeration failed).
    virtual bool EnumWindows(const std::function<bool(WindowHandle)>& visit) = 0;
    // GetWindowTextA with a buffer of maxCount bytes; "" when it returns 0.
    // A title cut by the buffer never ends in half a double-byte character.
    virtual std::string GetWindowTextA(WindowHandle h, int maxCount) = 0;
    virtual bool IsWindowVisible(WindowHandle h) = 0;
    virtual WindowHandle GetParent(WindowHandle h) = 0;
    // FindWindowA; nullopt stands for a null pointer.
    virtual WindowHandle FindWindowA(const std::optional<std::string>& className,
                                     const std::optional<std::string>& windowName) = 0;
    virtual int32_t GetWindowLongA(WindowHandle h, int index) = 0;
    // SetWindowLongA (SetWindowLongPtrA on x64); returns the previous value.
    virtual int32_t SetWindowLongA(WindowHandle h, int index, int32_t value) = 0;
    virtual bool ShowWindow(WindowHandle h, int cmdShow) = 0;
    virtual bool SetWindowPos(WindowHandle h, WindowHandle insertAfter, int x, int y, int cx,
                              int cy, uint32_t flags) = 0;
    virtual WindowHandle SetParent(WindowHandle h, WindowHandle newParent) = 0;
    virtual WindowHandle GetDesktopWindow() = 0;
    // false also when user32 has no SetLayeredWindowAttributes.
    virtual bool SetLayeredWindowAttributes(WindowHandle h, Colour key, uint8_t alpha,
                                            uint32_t flags) = 0;
    // SendMessageA(WM_SETTEXT) with text in the ANSI code page, bounded so a
    // hung window cannot hold the program.
    virtual bool SendSetText(WindowHandle h, const std::string& text) = 0;
    // SendMessageA(WM_CLOSE), bounded the same way.
    virtual bool SendClose(WindowHandle h) = 0;

    virtual MenuHandle GetSystemMenu(WindowHandle h, bool revert) = 0;
    virtual bool SetMenuItemInfoA(MenuHandle menu, uint32_t item, bool byPosition,
                                  const MenuItemInfo& info) = 0;
    virtual bool DrawMenuBar(WindowHandle h) = 0;

    virtual Point GetCursorPos() = 0;
    virtual WindowHandle WindowFromPoint(Point p) = 0;
    // MapWindowPoints for one point; a null handle stands for the screen.
    virtual Point MapWindowPoints(WindowHandle from, WindowHandle to, Point p) = 0;
    virtual WindowHandle ChildWindowFromPoint(WindowHandle parent, Point p) = 0;
    virtual void SetCapture(WindowHandle h) = 0;
    virtual void ReleaseCapture() = 0;
    virtual ClassNameResult GetClassNameA(WindowHandle h, int capacity) = 0;

    virtual WindowHandle GetForegroundWindow() = 0;
    // GetWindowThreadProcessId: the owning process id, 0 when the window is gone.
    virtual uint32_t GetWindowThreadProcessId(WindowHandle h) = 0;
    virtual int GetSystemMetrics(int index) = 0;
    virtual Colour GetSysColor(int index) = 0;
};

// Processes: kernel32's tool-help snapshots and process calls.
class IProcesses {
public:
    virtual ~IProcesses() = default;

    // kInvalidHandle on failure.
    virtual KernelHandle CreateToolhelp32Snapshot(uint32_t flags, uint32_t processId) = 0;
    virtual std::optional<ProcessEntry> Process32First(KernelHandle snapshot) = 0;
    virtual std::optional<ProcessEntry> Process32Next(KernelHandle snapshot) = 0;
    virtual std::optional<ModuleEntry> Module32First(KernelHandle snapshot) = 0;
    virtual bool CloseHandle(KernelHandle h) = 0;
    // A null handle on failure.
    virtual KernelHandle OpenProcess(uint32_t access, bool inherit, uint32_t processId) = 0;
    virtual bool TerminateProcess(KernelHandle process, uint32_t exitCode) = 0;
    // GetVersionExA: dwPlatformId, or nullopt when the call fails.
    virtual std::optional<uint32_t> GetVersionPlatformId() = 0;
};

// Icons from files and the notification area: shell32's icon calls.
class IShell {
public:
    virtual ~IShell() = default;

    // ExtractIconExA(path, index, &large, &small, 1).
    virtual IconPair ExtractIconExA(const std::string& path, int index) = 0;
    // ExtractIconA(instance, path, -1): the number of icons in the file.
    virtual int ExtractIconCount(const std::string& path) = 0;
    // ExtractIconA(instance, path, index); a null handle when there is none.
    virtual IconHandle ExtractIconA(const std::string& path, int index) = 0;
    virtual bool DestroyIcon(IconHandle icon) = 0;
    virtual bool Shell_NotifyIconA(uint32_t message, const NotifyIconData& data) = 0;
};

// Files read for the icons they hold: kernel32's file calls, read-only.
class IFiles {
public:
    virtual ~IFiles() = default;
    // CreateFileA for reading (sharing read, write and delete) of the file that
    // the shell's icon calls read for this path: SearchPathA with ".exe" first,
    // as they do. kInvalidHandle on failure.
    virtual KernelHandle OpenFileForReading(const std::string& path) = 0;
    // GetFileSizeEx; nullopt on failure.
    virtual std::optional<uint64_t> GetFileSize(KernelHandle file) = 0;
    // ReadFile of at most `count` bytes from `offset`: the bytes read, fewer at
    // the end of the file, none on failure.
    virtual std::string ReadFileAt(KernelHandle file, uint64_t offset, size_t count) = 0;
    virtual bool CloseFile(KernelHandle file) = 0;
};

// An off-screen drawing surface (a memory device context with a bitmap).
class ISurface {
public:
    virtual ~ISurface() = default;
    virtual void Resize(int width, int height) = 0;
    virtual void Clear(Colour background) = 0;
    // Copies a portable picture onto the surface at (x, y).
    virtual void DrawImage(const Image& image, int x, int y) = 0;
    // DrawIconEx(dc, x, y, icon, 0, 0, 0, null, DI_NORMAL): the icon at its own size.
    virtual bool DrawIconEx(IconHandle icon, int x, int y) = 0;
    // DrawIcon(dc, x, y, icon): the icon at the system icon size, through its mask.
    virtual bool DrawIcon(IconHandle icon, int x, int y) = 0;
    // The surface's current picture.
    virtual Image Capture() const = 0;
};

// The clipboard; opening it is retried briefly inside the implementation.
class IClipboard {
public:
    virtual ~IClipboard() = default;
    virtual bool Empty() = 0;
    // Puts Unicode text on the clipboard (Windows supplies the ANSI form).
    virtual bool SetText(const std::string& text) = 0;
};

// Key states for the hotkey watcher.
class IKeyboard {
public:
    virtual ~IKeyboard() = default;
    // GetAsyncKeyState as an unsigned 16-bit pattern.
    virtual uint16_t GetAsyncKeyState(int virtualKey) = 0;
};

// The program's own dialogs and the files it writes.
class IUserInterface {
public:
    virtual ~IUserInterface() = default;
    // A message box owned by the program's window; returns the button pressed.
    virtual int MessageBox(const std::string& text, const std::string& title, uint32_t style) = 0;
    // The save-file dialog with one filter "description|pattern"; asks before
    // replacing. nullopt when cancelled.
    virtual std::optional<std::string> GetSaveFileName(const std::string& filter) = 0;
    // Writes the bytes to a temporary file beside path and renames it over path,
    // so a failure leaves any existing file as it was. Only an ordinary disk
    // file is ever written.
    virtual WriteResult WriteFileReplacing(const std::string& path, const std::string& bytes) = 0;
    // Compares two texts as the list view's sort does (case-insensitive).
    virtual int CompareText(const std::string& a, const std::string& b) = 0;
    // The length of a text in bytes of the system ANSI code page.
    virtual size_t AnsiLength(const std::string& text) = 0;
};

// Everything the logic may ask of the platform, handed around by reference.
struct Platform {
    IWindows& windows;
    IProcesses& processes;
    IShell& shell;
    IClipboard& clipboard;
    IKeyboard& keyboard;
    IUserInterface& ui;
    IFiles& files;
    // Makes a new off-screen surface (each form owns its own).
    std::function<std::unique_ptr<ISurface>()> createSurface;
};

}  // namespace kelvorin
