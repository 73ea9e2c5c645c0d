// The Win32 view of IconGetter: a fixed-size top-level window with a close
// box, owned by the main window, whose controls mirror IconGetter's models.
// One object serves one opening; MainWindow makes it, runs the modal loop and
// throws it away when the window is gone.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>

#include "app/win32/form_window.h"
#include "app/win32/native_list.h"
#include "icons/icon_getter.h"
#include "platform/win32/win32_platform.h"

namespace kelvorin::win32 {

class IconGetterWindow final : public FormWindow, public IIconGetterView {
public:
    IconGetterWindow(Win32Platform& platform, HINSTANCE instance, HWND owner);
    ~IconGetterWindow() override;

    // Creates the window and its controls, hidden. False when it could not.
    bool Create();
    void Show();
    IconGetter& Form() { return *form_; }

    // Runs just before the window is destroyed, while it is still active, so
    // the owner can take input back and the system activates the owner rather
    // than another program.
    std::function<void()> onClosing;

    // IIconGetterView
    void Unload() override;

private:
    NativeStyle StyleOf(const ControlModel& model) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnClick(CaptionedControl& button) override;
    NativeList* ListOf(int id) override;
    void RunBusy(const std::function<void()>& handler);

    Win32Platform& platform_;
    HWND owner_;
    std::unique_ptr<IconGetter> form_;
    // The mirror watches form_'s models, so it goes before them.
    std::unique_ptr<NativeList> list_;
    bool activated_ = false;
};

}  // namespace kelvorin::win32
