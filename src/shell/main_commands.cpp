// The main window's own commands, the notification area, the hotkey watcher
// and shutdown.
#include "app/handle_text.h"
#include "app/main_frm.h"
#include "catalogue/refresh.h"
#include "platform/constants.h"
#include "shell/key_chord.h"
#include "shell/tray.h"

namespace kelvorin {
namespace {

constexpr uint32_t kTrayIconId = 0;
// The options region is 2505 twips tall; below 5500 twips of client height it is closed.
constexpr int kOptionsHeightTwips = 2505;
constexpr int kOptionsOpenThresholdTwips = 5500;

}  // namespace

void MainFrm::Command1_Click() {
    // Shows and hides only through the box, whose handler does the work.
    if (WinVisibleChk.Value() == 1) {
        WinVisibleChk.SetValue(0);
        Command1.SetCaption("表示する");
    } else {
        WinVisibleChk.SetValue(1);
        Command1.SetCaption("隠す");
    }
    auto selected = ListView1.Selected();
    if (!selected) return;
    auto rowWindow = ParseHandle(ListView1.Cell(*selected, col::Handle));
    // A window picked with the finder is not the row's: the list stays as it is.
    if (!rowWindow || *rowWindow != selectedWindow_) return;
    ListView1.SetCell(*selected, col::Visibility,
                      WinVisibleChk.Value() == 1 ? kShownText : kHiddenText);
}

void MainFrm::Command2_Click() {
    if (view_.ClientHeightTwips() < kOptionsOpenThresholdTwips)
        view_.GrowHeightTwips(kOptionsHeightTwips);
    else
        view_.GrowHeightTwips(-kOptionsHeightTwips);
}

void MainFrm::Command3_Click() {
    view_.Hide();
    AddTrayIcon();
}

void MainFrm::AddTrayIcon() {
    inTray_ = TrayAdd(platform_.shell, view_.Handle(), kTrayIconId, win::kWmMouseMove,
                      view_.WindowIcon(), kCaption, [this](const std::string& text) {
                          return platform_.ui.AnsiLength(text);
                      }) != 0;
    if (!inTray_) view_.Show();
}

void MainFrm::Form_TaskbarCreated() {
    if (!inTray_) return;
    // A restarted shell has lost the icon; this one may still have it, and
    // adding an icon that exists fails.
    TrayDelete(platform_.shell, view_.Handle(), kTrayIconId);
    AddTrayIcon();
}

void MainFrm::Command4_Click() { view_.Unload(); }

void MainFrm::MNU_OPEN_Click() {
    view_.Show();
    TrayDelete(platform_.shell, view_.Handle(), kTrayIconId);
    inTray_ = false;
}

void MainFrm::MNU_END_Click() {
    view_.UnloadIconGetter();
    view_.Unload();
}

void MainFrm::Form_Unload() {
    // Whether or not an icon exists: it must never outlive the program.
    TrayDelete(platform_.shell, view_.Handle(), kTrayIconId);
}

void MainFrm::Form_MouseMove(int /*buttons*/, int x, int /*y*/) {
    // The icon exists only while the window is hidden, so the window's own
    // mouse moves never open the menu.
    if (view_.IsVisible()) return;
    if (x == static_cast<int>(win::kWmLButtonDown))
        view_.ShowPopupMenu(win::kTpmLeftButton);
    else if (x == static_cast<int>(win::kWmRButtonDown))
        view_.ShowPopupMenu(win::kTpmRightButton);
}

void MainFrm::Timer1_Timer() {
    if (GetKeyChord(platform_.keyboard) != kHideChord) return;
    platform_.windows.ShowWindow(platform_.windows.GetForegroundWindow(), win::kSwHide);
}

}  // namespace kelvorin
