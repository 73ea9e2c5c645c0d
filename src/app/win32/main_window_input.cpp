// The main window's input that is more than a forward to one handler: the
// finder's mouse messages, the activation and the Tab key.
#include <windowsx.h>

#include "app/win32/main_window.h"

namespace kelvorin::win32 {
namespace {

// The VB-style button mask of a mouse message: 1 left, 2 right, 4 middle.
int ButtonOf(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
        return 1;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        return 2;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        return 4;
    default:
        return 0;
    }
}

int ShiftOf(WPARAM keys) {
    return ((keys & MK_SHIFT) ? 1 : 0) | ((keys & MK_CONTROL) ? 2 : 0) |
           ((::GetKeyState(VK_MENU) & 0x8000) ? 4 : 0);
}

}  // namespace

int MainWindow::ButtonsHeld(WPARAM keys) {
    return ((keys & MK_LBUTTON) ? 1 : 0) | ((keys & MK_RBUTTON) ? 2 : 0) |
           ((keys & MK_MBUTTON) ? 4 : 0);
}

void MainWindow::OnFinderMouse(UINT message, WPARAM wParam) {
    int shift = ShiftOf(wParam);
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:  // a quick second press on the box is a press all the same
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        frm_->picFinder_MouseDown(ButtonOf(message), shift, 0, 0);
        break;
    case WM_MOUSEMOVE:
        if (frm_->finderDrag.Dragging()) ::SetCursor(crossCursor_);
        frm_->picFinder_MouseMove(ButtonsHeld(wParam), shift, 0, 0);
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        frm_->picFinder_MouseUp(ButtonOf(message), shift, 0, 0);
        break;
    default:
        break;
    }
}

LRESULT CALLBACK MainWindow::FinderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR /*id*/, DWORD_PTR self) {
    auto* window = reinterpret_cast<MainWindow*>(self);
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        window->OnFinderMouse(message, wParam);
        return 0;
    case WM_CAPTURECHANGED:
        // Another window took the mouse mid-drag: no release will come here.
        if (reinterpret_cast<HWND>(lParam) != hwnd) window->frm_->picFinder_CaptureLost();
        break;
    case WM_CANCELMODE:
        window->frm_->picFinder_CaptureLost();
        break;
    case WM_SETCURSOR:
        if (window->frm_->finderDrag.Dragging()) {
            ::SetCursor(window->crossCursor_);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

void MainWindow::OnActivate(WPARAM wParam) {
    // As in a dialog box, the focus goes back to the control that had it; the
    // default would give it to the window itself, where no key does anything.
    if (LOWORD(wParam) == WA_INACTIVE) {
        // Another window in front keeps the mouse from us: a drag ends here.
        frm_->picFinder_CaptureLost();
        HWND focus = ::GetFocus();
        if (focus != nullptr && ::IsChild(hwnd_, focus)) lastFocus_ = focus;
        return;
    }
    if (HIWORD(wParam) != 0) return;  // minimised
    bool back = lastFocus_ != nullptr && ::IsWindow(lastFocus_) && CanTakeFocus(lastFocus_);
    ::SetFocus(back ? lastFocus_ : controls_[ids::ListView1]);
}

bool MainWindow::OnTabKey(const MSG& message) {
    // Tab and Shift+Tab follow the form's reading order rather than the z-order
    // that IsDialogMessage walks.
    if (message.message != WM_KEYDOWN || message.wParam != VK_TAB) return false;
    if (message.hwnd != hwnd_ && !::IsChild(hwnd_, message.hwnd)) return false;
    LRESULT code = ::SendMessageW(message.hwnd, WM_GETDLGCODE, message.wParam,
                                  reinterpret_cast<LPARAM>(&message));
    if (code & (DLGC_WANTTAB | DLGC_WANTMESSAGE)) return false;
    if (HWND next = NextTabStop(::GetFocus(), ::GetKeyState(VK_SHIFT) < 0)) {
        // A text box reached by Tab has its text selected, as in a dialog box.
        if (::SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
            ::SendMessageW(next, EM_SETSEL, 0, -1);
        ::SetFocus(next);
    }
    // Someone using the keyboard needs to see where the focus is.
    ::SendMessageW(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    return true;
}

HWND MainWindow::NextTabStop(HWND from, bool back) {
    const auto& order = frm_->TabOrder();
    const int count = static_cast<int>(order.size());
    int at = -1;  // where the focus is; a combo box's edit counts as the combo box
    for (int i = 0; i < count; ++i) {
        HWND control = controls_[order[static_cast<size_t>(i)]->Id()];
        if (from != nullptr && (control == from || ::IsChild(control, from))) at = i;
    }
    for (int step = 1; step <= count; ++step) {
        int i = at < 0 ? (back ? count - step : step - 1)
                       : ((at + (back ? -step : step)) % count + count) % count;
        HWND control = controls_[order[static_cast<size_t>(i)]->Id()];
        if (CanTakeFocus(control)) return control;
    }
    return nullptr;
}

bool MainWindow::CanTakeFocus(HWND control) {
    if (!::IsWindowVisible(control) || !::IsWindowEnabled(control)) return false;
    // While the options region is closed its controls lie below the client
    // area: focus there would be out of sight.
    RECT r{};
    RECT client{};
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    ::GetClientRect(hwnd_, &client);
    return r.top < client.bottom;
}

}  // namespace kelvorin::win32
