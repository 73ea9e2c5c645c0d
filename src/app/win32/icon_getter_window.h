// The Win32 view of IconGetter: a fixed-size top-level window with a close
// box, owned by the main window, whose controls mirror IconGetter's models.
// One object serves one opening; MainWindow makes it, runs the modal loop and
// throws it away when the window is gone.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <map>
#include <memory>

#include "app/win32/native_list.h"
#include "app/win32/twips.h"
#include "icons/icon_getter.h"
#include "platform/win32/win32_platform.h"

namespace kelvorin::win32 {

class IconGetterWindow final : public IIconGetterView {
public:
    IconGetterWindow(Win32Platform& platform, HINSTANCE instance, HWND owner);
    ~IconGetterWindow() override;
    IconGetterWindow(const IconGetterWindow&) = delete;
    IconGetterWindow& operator=(const IconGetterWindow&) = delete;

    // Creates the window and its controls, hidden. False when it could not.
    bool Create();
    void Show();
    bool IsOpen() const { return hwnd_ != nullptr; }
    IconGetter& Form() { return *form_; }
    // Keyboard navigation between the controls (Tab, arrows); true when taken.
    bool HandleDialogMessage(MSG& message);

    // Runs just before the window is destroyed, while it is still active, so
    // the owner can take input back and the system activates the owner rather
    // than another program.
    std::function<void()> onClosing;

    // IIconGetterView
    void Unload() override;

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    HWND CreateControl(ControlModel& model);
    void Mirror(ControlModel& model);
    void OnCommand(int id, int code, HWND control);
    void OnActivate(WPARAM wParam);
    void RunBusy(const std::function<void()>& handler);

    Win32Platform& platform_;
    HINSTANCE instance_;
    HWND owner_;
    ScreenScale scale_;
    HWND hwnd_ = nullptr;
    std::unique_ptr<IconGetter> form_;
    std::unique_ptr<NativeList> list_;
    std::map<int, HWND> controls_;
    HWND lastFocus_ = nullptr;
    HFONT font_ = nullptr;
    HICON icon_ = nullptr;
    HICON smallIcon_ = nullptr;
    bool activated_ = false;
};

}  // namespace kelvorin::win32
