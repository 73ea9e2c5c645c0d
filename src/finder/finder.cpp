// The finder: drag the cross-hair onto any window or control to select it.
// The pick is live while the left button is held; releasing picks nothing.
#include "finder/finder.h"

#include "app/handle_text.h"
#include "app/main_frm.h"
#include "platform/constants.h"

namespace kelvorin {

WindowHandle GetPointWindow(MainFrm& form, Point screen) {
    IWindows& windows = form.platform().windows;
    WindowHandle h = windows.WindowFromPoint(screen);
    Point point = windows.MapWindowPoints(WindowHandle(), h, screen);
    for (;;) {
        WindowHandle child = windows.ChildWindowFromPoint(h, point);
        if (!child || child == h) break;
        point = windows.MapWindowPoints(h, child, point);
        h = child;
    }
    // Resets the detail controls while the previous window is still selected.
    form.GetWindowData();
    return h;
}

std::string GetWndClassName(IWindows& windows, WindowHandle h) {
    constexpr int kStep = 100;
    for (int capacity = kStep;; capacity += kStep) {
        ClassNameResult name = windows.GetClassNameA(h, capacity);
        if (name.length == 0) throw ClassNameError();
        // A name that fills the buffer may have been cut: read it again, larger.
        if (name.length < capacity - 1) return name.text;
    }
}

void MainFrm::picFinder_MouseDown(int button, int shift, int x, int y) {
    if (!finderDrag.Press(button, {selectedWindow_, HandleTxt.Text(), txtClassName.Text()})) return;
    platform_.windows.SetCapture(view_.ControlHandle(ids::picFinder));
    view_.SetFinderDragging(true);
    picFinder_MouseMove(button, shift, x, y);
}

void MainFrm::picFinder_MouseMove(int button, int /*shift*/, int /*x*/, int /*y*/) {
    if (!FinderDrag::MoveActs(button)) return;
    Point cursor = platform_.windows.GetCursorPos();
    WindowHandle h = GetPointWindow(*this, cursor);
    selectedWindow_ = h;
    GetChkValue();
    GetControlData();
}

void MainFrm::picFinder_MouseUp(int button, int /*shift*/, int /*x*/, int /*y*/) {
    if (!finderDrag.Release(button)) return;
    platform_.windows.ReleaseCapture();
    view_.SetFinderDragging(false);
}

void MainFrm::picFinder_CaptureLost() {
    // No release will come: the drag ends as one would end it, keeping the pick.
    if (finderDrag.Dragging()) picFinder_MouseUp(FinderDrag::kLeftButton, 0, 0, 0);
}

void MainFrm::picFinder_Escape() {
    if (!finderDrag.Dragging()) return;
    picFinder_CaptureLost();
    const FinderDrag::Selection& before = finderDrag.AtPress();
    selectedWindow_ = before.window;
    HandleTxt.SetText(before.handleText);
    txtClassName.SetText(before.className);
}

void MainFrm::GetControlData() {
    HandleTxt.SetText(FormatHandle(selectedWindow_));
    txtClassName.SetForeSysColour(win::kColorBtnText);
    try {
        txtClassName.SetText(GetWndClassName(platform_.windows, selectedWindow_));
    } catch (const ClassNameError&) {
        // The field keeps the name it showed before.
    }
}

void MainFrm::GetParentHandleBtn_Click() {
    WindowHandle parent = platform_.windows.GetParent(selectedWindow_);
    if (parent) selectedWindow_ = parent;
    GetControlData();
}

}  // namespace kelvorin
