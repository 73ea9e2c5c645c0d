// The Win32 view of MainFrm: it creates a native control for every model,
// mirrors each model into its control, and turns native input into calls on
// MainFrm. It keeps only what a view needs (handles, fonts, a re-entrancy
// guard); everything the program's logic reads lives in the models.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <memory>

#include "app/main_frm.h"
#include "app/win32/icon_getter_window.h"
#include "app/win32/native_list.h"
#include "app/win32/twips.h"
#include "platform/win32/win32_platform.h"

namespace kelvorin::win32 {

class MainWindow final : public IMainFrmView {
public:
    MainWindow(Win32Platform& platform, HINSTANCE instance);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window hidden, runs Form_Load, shows it and pumps messages
    // until the window is gone. Returns the exit code.
    int Run(int showCommand);

    // IMainFrmView
    WindowHandle Handle() override;
    WindowHandle ControlHandle(int id) override;
    int ClientHeightTwips() override;
    void GrowHeightTwips(int deltaTwips) override;
    void Show() override;
    void Hide() override;
    bool IsVisible() override;
    void Unload() override;
    void ShowPopupMenu(uint32_t flags) override;
    IconHandle WindowIcon() override;
    void ShowIconGetterModal(const std::string& path) override;
    void UnloadIconGetter() override;
    void SetFinderDragging(bool dragging) override;

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK FinderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool Create();
    void CreateControls();
    HWND CreateControl(ControlModel& model);
    void Mirror(ControlModel& model);
    void OnCommand(int id, int code, HWND control);
    LRESULT OnNotify(NMHDR* header);
    void OnFinderMouse(UINT message, WPARAM wParam);
    // The VB-style mask of the mouse buttons held: 1 left, 2 right, 4 middle.
    static int ButtonsHeld(WPARAM keys);
    void OnActivate(WPARAM wParam);
    bool OnTabKey(const MSG& message);
    HWND NextTabStop(HWND from, bool back);
    bool CanTakeFocus(HWND control);
    ControlModel* ModelOf(int id);

    Win32Platform& platform_;
    HINSTANCE instance_;
    ScreenScale scale_;
    HWND hwnd_ = nullptr;
    std::unique_ptr<MainFrm> frm_;
    std::unique_ptr<NativeList> list_;
    std::map<int, HWND> controls_;
    HFONT font_ = nullptr;
    HFONT bigFont_ = nullptr;
    HICON icon_ = nullptr;
    HICON smallIcon_ = nullptr;
    HICON crossHair_ = nullptr;
    HCURSOR crossCursor_ = nullptr;
    HBITMAP banner_ = nullptr;
    HMENU popup_ = nullptr;
    HBRUSH classTextBrush_ = nullptr;
    bool inTimer_ = false;
    // The shell's broadcast that the taskbar was made anew (Explorer restarted).
    UINT taskbarCreated_ = 0;
    // The control that had the focus when the window was last deactivated.
    HWND lastFocus_ = nullptr;
    // The open icon extractor, only while its modal loop runs.
    std::unique_ptr<IconGetterWindow> iconGetter_;
};

}  // namespace kelvorin::win32
