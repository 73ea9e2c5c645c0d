#include "fake/fake_desktop.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string_view>

#include "fake/fake_surface.h"
#include "platform/constants.h"

namespace kelvorin::fake {
namespace {

// Every name Enter() logs. Fail() refuses any other, so a misspelt switch
// cannot leave a test passing for the wrong reason.
constexpr std::string_view kCallNames[] = {
    // IWindows
    "EnumWindows", "GetWindowTextA", "IsWindowVisible", "GetParent", "FindWindowA",
    "GetWindowLongA", "SetWindowLongA", "ShowWindow", "SetWindowPos", "SetParent",
    "GetDesktopWindow", "SetLayeredWindowAttributes", "SendSetText", "SendClose", "GetSystemMenu",
    "SetMenuItemInfoA", "DrawMenuBar", "GetCursorPos", "WindowFromPoint", "MapWindowPoints",
    "ChildWindowFromPoint", "SetCapture", "ReleaseCapture", "GetClassNameA", "GetForegroundWindow",
    "GetWindowThreadProcessId", "GetSystemMetrics", "GetSysColor",
    // IProcesses
    "CreateToolhelp32Snapshot", "Process32First", "Process32Next", "Module32First", "CloseHandle",
    "OpenProcess", "TerminateProcess", "GetVersionPlatformId",
    // IShell
    "ExtractIconExA", "ExtractIconCount", "ExtractIconA", "DestroyIcon", "Shell_NotifyIconA",
    // IClipboard, IKeyboard, IUserInterface
    "Clipboard.Empty", "Clipboard.SetText", "GetAsyncKeyState", "MessageBox", "GetSaveFileName",
    "WriteFileReplacing", "CompareText", "AnsiLength",
    // IFiles
    "OpenFileForReading", "GetFileSize", "ReadFileAt", "CloseFile",
    // ISurface
    "Surface.Resize", "Surface.Clear", "Surface.DrawImage", "Surface.DrawIconEx",
    "Surface.DrawIcon", "Surface.Capture"};

}  // namespace

std::vector<MenuItem> DefaultSystemMenu() {
    return {{0xF120, 0},           {0xF010, 0},           {0xF000, 0},
            {win::kScMinimize, 0}, {win::kScMaximize, 0}, {0, 0} /* separator */,
            {win::kScClose, 0}};
}

FileIcon SolidIcon(Colour colour) {
    return {Image(32, 32, colour), Image(16, 16, colour)};
}

FakeDesktop::FakeDesktop()
    : metrics_{{win::kSmCxScreen, 1024}, {win::kSmCyScreen, 768}, {win::kSmCxIcon, 32},
               {win::kSmCyIcon, 32},     {kSmCxSmIcon, 16},       {kSmCySmIcon, 16}},
      sysColours_{{win::kColorWindow, Rgb(255, 255, 255)}, {win::kColorBtnText, Rgb(0, 0, 0)}} {}

Platform FakeDesktop::platform() {
    return Platform{
        *this, *this, *this, *this, *this, *this, *this, [this]() -> std::unique_ptr<ISurface> {
            return std::make_unique<FakeSurface>(*this, ++surfaces_);
        }};
}

void FakeDesktop::Fail(const std::string& name, size_t after, size_t times) {
    if (std::find(std::begin(kCallNames), std::end(kCallNames), name) == std::end(kCallNames))
        throw std::invalid_argument("no call of the fake is named " + name);
    failures_.Fail(name, after, times);
}

void FakeDesktop::RestoreAll() {
    failures_.RestoreAll();
    enumFailsAfter_.reset();
}

bool FakeDesktop::Enter(const std::string& name, std::vector<std::string> args) {
    bool fails = failures_.ShouldFail(name);
    log_.Add(Call{name, std::move(args), fails});
    return fails;
}

}  // namespace kelvorin::fake
