// Reads the selected window's state into the check boxes. Each box written
// with a new value runs its own handler at once, which applies the value to
// the selected window before the reader goes on.
#include "app/main_frm.h"
#include "platform/constants.h"

namespace kelvorin {

namespace {
constexpr const char* kShellClass = "Progman";
}  // namespace

void MainFrm::GetChkValue() {
    IWindows& windows = platform_.windows;
    const WindowHandle h = selectedWindow_;

    WinVisibleChk.SetValue(windows.IsWindowVisible(h) ? 1 : 0);
    Command1.SetCaption(WinVisibleChk.Value() == 1 ? "隠す" : "表示する");
    // A hidden window leaves the other boxes as the previous window left them.
    if (WinVisibleChk.Value() != 1) return;

    if (windows.GetParent(h)) {
        SaihaimenChk.SetEnabled(false);
        TaskBarShowChk.SetEnabled(false);
    } else {
        SaihaimenChk.SetEnabled(true);
        TaskBarShowChk.SetEnabled(true);
        WindowHandle shell = windows.FindWindowA(std::string(kShellClass), std::nullopt);
        if (windows.GetParent(h) == shell) {
            SaihaimenChk.SetValue(1);
            TaskBarShowChk.SetValue(0);
        } else {
            SaihaimenChk.SetValue(0);
            TaskBarShowChk.SetValue(1);
        }
    }

    uint32_t exStyle = static_cast<uint32_t>(windows.GetWindowLongA(h, win::kGwlExStyle));
    TemaeChk.SetValue((exStyle & win::kWsExTopmost) ? 1 : 0);
}

}  // namespace kelvorin
