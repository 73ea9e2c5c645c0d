// The commands that change the selected window. Each acts at once on the
// selected window and reports nothing; a call on a vanished or hung window
// simply has no effect.
#include <array>
#include <string_view>

#include "app/main_frm.h"
#include "platform/constants.h"

namespace kelvorin {
namespace {

constexpr const char* kShellClass = "Progman";
// Both directions show the window without moving, sizing or activating it.
constexpr uint32_t kTopmostFlags =
    win::kSwpNoSize | win::kSwpNoMove | win::kSwpNoActivate | win::kSwpShowWindow;
// What a disabled system-menu item is renumbered to, so the caption button
// that looks for the standard command no longer finds it.
constexpr uint32_t kRetiredCommandId = 0xFFFFFFF6u;

struct CaptionButton {
    std::string_view name;
    uint32_t command;
};
// Compared in this order; the first exact match wins.
constexpr std::array<CaptionButton, 4> kCaptionButtons = {{
    {"閉じるボタン", win::kScClose},
    {"最大化ボタン", win::kScMaximize},
    {"元に戻すボタン", win::kScRestore},
    {"最小化ボタン", win::kScMinimize},
}};

uint32_t CaptionButtonCommand(std::string_view name) {
    for (const auto& button : kCaptionButtons)
        if (button.name == name) return button.command;
    return 0;
}

}  // namespace

void MainFrm::WinVisibleChk_Click() {
    platform_.windows.ShowWindow(selectedWindow_,
                                 WinVisibleChk.Value() == 1 ? win::kSwShow : win::kSwHide);
}

void MainFrm::CaptionChangeBtn_Click() {
    platform_.windows.SendSetText(selectedWindow_, CaptionTxt.Text());
    // Whatever the window made of it, the list shows its caption as it now is.
    PRefreshBtn_Click();
}

void MainFrm::TemaeChk_Click() {
    WindowHandle insertAfter(TemaeChk.Value() == 1 ? win::kHwndTopmost : win::kHwndNoTopmost);
    platform_.windows.SetWindowPos(selectedWindow_, insertAfter, 0, 0, 0, 0, kTopmostFlags);
}

void MainFrm::SaihaimenChk_Click() {
    // Looked up afresh every time: the shell may have restarted.
    WindowHandle shell = platform_.windows.FindWindowA(std::string(kShellClass), std::nullopt);
    platform_.windows.SetParent(selectedWindow_,
                                SaihaimenChk.Value() == 1 ? shell : WindowHandle());
}

void MainFrm::TaskBarShowChk_Click() {
    // The taskbar leaves owned windows out: owned by the desktop window means
    // off the taskbar, no owner means on it.
    IWindows& windows = platform_.windows;
    if (TaskBarShowChk.Value() == 1) {
        windows.SetWindowLongA(selectedWindow_, win::kGwlHwndParent, 0);
    } else {
        WindowHandle desktop = windows.GetDesktopWindow();
        windows.SetWindowLongA(selectedWindow_, win::kGwlHwndParent, desktop.value);
    }
}

void MainFrm::ToumeiSld_Change() {
    IWindows& windows = platform_.windows;
    const auto alpha = static_cast<uint8_t>(ToumeiSld.Value());
    int32_t exStyle = windows.GetWindowLongA(selectedWindow_, win::kGwlExStyle);
    windows.SetWindowLongA(selectedWindow_, win::kGwlExStyle,
                           static_cast<int32_t>(static_cast<uint32_t>(exStyle) | win::kWsExLayered));
    windows.SetLayeredWindowAttributes(selectedWindow_, 0, alpha, win::kLwaAlpha);
}

void MainFrm::ButtonUnEnabledBtn_Click() {
    IWindows& windows = platform_.windows;
    MenuHandle menu = windows.GetSystemMenu(selectedWindow_, false);
    uint32_t command = CaptionButtonCommand(ButtonCmb.Text());
    windows.SetMenuItemInfoA(menu, command, false, {win::kMiimState, win::kMfsGrayed, 0});
    windows.SetMenuItemInfoA(menu, command, false, {win::kMiimId, 0, kRetiredCommandId});
    windows.DrawMenuBar(selectedWindow_);
}

void MainFrm::ButtonEnabledBtn_Click() {
    // Resetting the system menu brings every standard entry back as it was.
    platform_.windows.GetSystemMenu(selectedWindow_, true);
    platform_.windows.DrawMenuBar(selectedWindow_);
}

}  // namespace kelvorin
