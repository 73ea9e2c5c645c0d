#include "lean_platform.h"

#include <algorithm>
#include <cctype>

#include "platform/constants.h"

namespace kelvorin::bench {
namespace {

constexpr uint64_t kProcessSnapshot = 0x100;
constexpr uint64_t kModuleSnapshot = 0x200;
constexpr uint64_t kFileHandle = 0x300;
// Icon handles carry the icon's colour above this bit, so drawing needs no table.
constexpr uint64_t kIconBit = uint64_t{1} << 32;

Colour IconColour(IconHandle icon) {
    return static_cast<Colour>(icon.value & 0xFFFFFF);
}

}  // namespace

const LeanWindow* LeanDesktop::Find(WindowHandle h) const {
    int64_t offset = int64_t{h.value} - kFirstHandle;
    if (offset < 0 || offset % kHandleStep != 0) return nullptr;
    size_t index = static_cast<size_t>(offset / kHandleStep);
    return index < windows.size() ? &windows[index] : nullptr;
}

LeanDesktop MakeDesktop(size_t windowCount, size_t processCount) {
    LeanDesktop desktop;
    size_t executables = std::max<size_t>(processCount / 10, 1);
    desktop.processes.reserve(processCount);
    for (size_t p = 0; p < processCount; ++p) {
        size_t exe = p % executables;
        std::string file = "app" + std::to_string(exe) + ".exe";
        desktop.processes.push_back({static_cast<uint32_t>(1000 + 4 * p), file,
                                     "C:\\Program Files\\App " + std::to_string(exe) + "\\" + file,
                                     p % 10 != 9});
    }
    desktop.windows.reserve(windowCount);
    for (size_t w = 0; w < windowCount; ++w) {
        const LeanProcess& owner = desktop.processes[w % processCount];
        desktop.windows.push_back(
            {"Document " + std::to_string(w) + " - " + owner.exeFile, w % 8 != 7, owner.processId});
    }
    return desktop;
}

Platform LeanPlatform::platform() {
    return Platform{
        *this, *this, *this, *this, *this, *this, *this,
        [] { return std::make_unique<LeanSurface>(); }};
}

// --- IWindows ---------------------------------------------------------------

bool LeanPlatform::EnumWindows(const std::function<bool(WindowHandle)>& visit) {
    for (size_t i = 0; i < desktop_.windows.size(); ++i)
        if (!visit(LeanDesktop::HandleOf(i))) break;
    return true;
}

std::string LeanPlatform::GetWindowTextA(WindowHandle h, int maxCount) {
    const LeanWindow* window = desktop_.Find(h);
    if (window == nullptr || maxCount <= 0) return {};
    return window->title.substr(0, static_cast<size_t>(maxCount - 1));
}

bool LeanPlatform::IsWindowVisible(WindowHandle h) {
    const LeanWindow* window = desktop_.Find(h);
    return window != nullptr && window->visible;
}

WindowHandle LeanPlatform::GetParent(WindowHandle) {
    return WindowHandle();
}

WindowHandle LeanPlatform::FindWindowA(const std::optional<std::string>&,
                                       const std::optional<std::string>&) {
    return WindowHandle(0x10004);
}

int32_t LeanPlatform::GetWindowLongA(WindowHandle, int) {
    return 0;
}
int32_t LeanPlatform::SetWindowLongA(WindowHandle, int, int32_t) {
    return 0;
}
bool LeanPlatform::ShowWindow(WindowHandle h, int) {
    return desktop_.Find(h) != nullptr;
}
bool LeanPlatform::SetWindowPos(WindowHandle h, WindowHandle, int, int, int, int, uint32_t) {
    return desktop_.Find(h) != nullptr;
}
WindowHandle LeanPlatform::SetParent(WindowHandle, WindowHandle) {
    return WindowHandle();
}
WindowHandle LeanPlatform::GetDesktopWindow() {
    return WindowHandle(0x10004);
}
bool LeanPlatform::SetLayeredWindowAttributes(WindowHandle, Colour, uint8_t, uint32_t) {
    return true;
}
bool LeanPlatform::SendSetText(WindowHandle, const std::string&) {
    return true;
}
bool LeanPlatform::SendClose(WindowHandle) {
    return true;
}
MenuHandle LeanPlatform::GetSystemMenu(WindowHandle, bool) {
    return MenuHandle();
}
bool LeanPlatform::SetMenuItemInfoA(MenuHandle, uint32_t, bool, const MenuItemInfo&) {
    return false;
}
bool LeanPlatform::DrawMenuBar(WindowHandle) {
    return true;
}
Point LeanPlatform::GetCursorPos() {
    return {};
}
WindowHandle LeanPlatform::WindowFromPoint(Point) {
    return WindowHandle();
}
Point LeanPlatform::MapWindowPoints(WindowHandle, WindowHandle, Point p) {
    return p;
}
WindowHandle LeanPlatform::ChildWindowFromPoint(WindowHandle, Point) {
    return WindowHandle();
}
void LeanPlatform::SetCapture(WindowHandle) {}
void LeanPlatform::ReleaseCapture() {}
ClassNameResult LeanPlatform::GetClassNameA(WindowHandle, int) {
    return {};
}
WindowHandle LeanPlatform::GetForegroundWindow() {
    return WindowHandle();
}

uint32_t LeanPlatform::GetWindowThreadProcessId(WindowHandle h) {
    const LeanWindow* window = desktop_.Find(h);
    return window != nullptr ? window->processId : 0;
}

int LeanPlatform::GetSystemMetrics(int index) {
    return index == win::kSmCxIcon || index == win::kSmCyIcon ? 32 : 0;
}

Colour LeanPlatform::GetSysColor(int) {
    return Rgb(255, 255, 255);
}

// --- IProcesses -------------------------------------------------------------

KernelHandle LeanPlatform::CreateToolhelp32Snapshot(uint32_t flags, uint32_t processId) {
    if (flags == win::kTh32csSnapProcess) {
        snapshot_ = {true, false, 0, 0};
        return KernelHandle(kProcessSnapshot);
    }
    if (flags == win::kTh32csSnapModule) {
        snapshot_ = {true, true, processId, 0};
        return KernelHandle(kModuleSnapshot);
    }
    return kInvalidHandle;
}

std::optional<ProcessEntry> LeanPlatform::Process32First(KernelHandle snapshot) {
    if (snapshot.value != kProcessSnapshot || !snapshot_.open) return std::nullopt;
    snapshot_.cursor = 0;
    return Process32Next(snapshot);
}

std::optional<ProcessEntry> LeanPlatform::Process32Next(KernelHandle snapshot) {
    if (snapshot.value != kProcessSnapshot || !snapshot_.open) return std::nullopt;
    if (snapshot_.cursor >= desktop_.processes.size()) return std::nullopt;
    const LeanProcess& process = desktop_.processes[snapshot_.cursor++];
    return ProcessEntry{process.processId, process.exeFile};
}

std::optional<ModuleEntry> LeanPlatform::Module32First(KernelHandle snapshot) {
    if (snapshot.value != kModuleSnapshot || !snapshot_.open) return std::nullopt;
    // Processes are numbered 1000 + 4 * index by MakeDesktop; others are searched.
    uint32_t id = snapshot_.processId;
    const LeanProcess* process = nullptr;
    if (id >= 1000 && (id - 1000) % 4 == 0 && (id - 1000) / 4 < desktop_.processes.size() &&
        desktop_.processes[(id - 1000) / 4].processId == id) {
        process = &desktop_.processes[(id - 1000) / 4];
    } else {
        for (const auto& p : desktop_.processes)
            if (p.processId == id) process = &p;
    }
    if (process == nullptr || !process->modulesReadable) return std::nullopt;
    return ModuleEntry{process->processId, process->exePath};
}

bool LeanPlatform::CloseHandle(KernelHandle h) {
    if (h != KernelHandle(kProcessSnapshot) && h != KernelHandle(kModuleSnapshot)) return false;
    snapshot_.open = false;
    return true;
}

KernelHandle LeanPlatform::OpenProcess(uint32_t, bool, uint32_t) {
    return KernelHandle();
}
bool LeanPlatform::TerminateProcess(KernelHandle, uint32_t) {
    return false;
}
std::optional<uint32_t> LeanPlatform::GetVersionPlatformId() {
    return 2;
}

// --- IShell -----------------------------------------------------------------

IconPair LeanPlatform::ExtractIconExA(const std::string& path, int index) {
    // Only a full path names a file; a bare name left by an unreadable module
    // list finds nothing, as on Windows.
    if (index != 0 || path.size() < 3 || path[1] != ':') return {};
    Colour colour = static_cast<Colour>(std::hash<std::string>{}(path)&0xFFFFFF);
    return {IconHandle(kIconBit | 0x1000000 | colour), IconHandle(kIconBit | colour)};
}

int LeanPlatform::ExtractIconCount(const std::string& path) {
    return ExtractIconExA(path, 0).small ? 1 : 0;
}

IconHandle LeanPlatform::ExtractIconA(const std::string& path, int index) {
    return ExtractIconExA(path, index).large;
}

bool LeanPlatform::DestroyIcon(IconHandle icon) {
    return (icon.value & kIconBit) != 0;
}
bool LeanPlatform::Shell_NotifyIconA(uint32_t, const NotifyIconData&) {
    return true;
}

// --- IClipboard, IKeyboard, IUserInterface ---------------------------------

bool LeanPlatform::Empty() {
    desktop_.clipboard.clear();
    return true;
}

bool LeanPlatform::SetText(const std::string& text) {
    desktop_.clipboard = text;
    return true;
}

uint16_t LeanPlatform::GetAsyncKeyState(int) {
    return 0;
}

int LeanPlatform::MessageBox(const std::string&, const std::string&, uint32_t) {
    return 1;
}
std::optional<std::string> LeanPlatform::GetSaveFileName(const std::string&) {
    return std::nullopt;
}
WriteResult LeanPlatform::WriteFileReplacing(const std::string&, const std::string&) {
    return {};
}

int LeanPlatform::CompareText(const std::string& a, const std::string& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        int ca = std::tolower(static_cast<unsigned char>(a[i]));
        int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

size_t LeanPlatform::AnsiLength(const std::string& text) {
    return text.size();
}

// --- IFiles -------------------------------------------------------------------

// Every full path reads as the same sound .ico of one 1 x 1 image, so the
// refresh checks it as it would a real file and goes on to extract.
namespace {
const std::string& LeanIcoFile() {
    static const std::string ico =
        std::string("\0\0\1\0\1\0\1\1\0\0\1\0\x20\0\x30\0\0\0\x16\0\0\0", 22) +
        std::string("\x28\0\0\0\1\0\0\0\2\0\0\0\1\0\x20\0", 16) + std::string(32, '\0');
    return ico;
}
}  // namespace

KernelHandle LeanPlatform::OpenFileForReading(const std::string& path) {
    return path.size() >= 3 && path[1] == ':' ? KernelHandle(kFileHandle) : kInvalidHandle;
}

std::optional<uint64_t> LeanPlatform::GetFileSize(KernelHandle) {
    return LeanIcoFile().size();
}

std::string LeanPlatform::ReadFileAt(KernelHandle, uint64_t offset, size_t count) {
    return offset < LeanIcoFile().size() ? LeanIcoFile().substr(size_t(offset), count) : "";
}

bool LeanPlatform::CloseFile(KernelHandle file) {
    return file == KernelHandle(kFileHandle);
}

// --- LeanSurface ------------------------------------------------------------

void LeanSurface::Resize(int width, int height) {
    if (width > 0 && height > 0) canvas_ = Image(width, height, 0);
}

void LeanSurface::Fill(int x, int y, int width, int height, Colour colour) {
    for (int row = std::max(y, 0); row < std::min(y + height, canvas_.height); ++row)
        for (int column = std::max(x, 0); column < std::min(x + width, canvas_.width); ++column)
            canvas_.Set(column, row, colour);
}

void LeanSurface::Clear(Colour background) {
    std::fill(canvas_.pixels.begin(), canvas_.pixels.end(), background);
}

void LeanSurface::DrawImage(const Image& image, int x, int y) {
    for (int row = 0; row < image.height; ++row)
        for (int column = 0; column < image.width; ++column) {
            int tx = x + column, ty = y + row;
            if (tx >= 0 && ty >= 0 && tx < canvas_.width && ty < canvas_.height)
                canvas_.Set(tx, ty, image.At(column, row));
        }
}

bool LeanSurface::DrawIconEx(IconHandle icon, int x, int y) {
    if ((icon.value & kIconBit) == 0) return false;
    Fill(x, y, 16, 16, IconColour(icon));
    return true;
}

bool LeanSurface::DrawIcon(IconHandle icon, int x, int y) {
    if ((icon.value & kIconBit) == 0) return false;
    Fill(x, y, 32, 32, IconColour(icon));
    return true;
}

}  // namespace kelvorin::bench
