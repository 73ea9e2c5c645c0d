// The Win32 view of MainFrm: a native control for every model, each model
// mirrored into its control, native input turned into calls on MainFrm. It
// keeps only what a view needs (its pictures, fonts, menu and a re-entrancy
// guard); everything the program's logic reads lives in the models.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "app/main_frm.h"
#include "app/win32/form_window.h"
#include "app/win32/icon_getter_window.h"
#include "app/win32/native_list.h"
#include "platform/win32/scoped.h"
#include "platform/win32/win32_platform.h"

namespace kelvorin::win32 {

class MainWindow final : public FormWindow, public IMainFrmView {
public:
    MainWindow(Win32Platform& platform, HINSTANCE instance);
    ~MainWindow() override;

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
    static LRESULT CALLBACK FinderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self);
    bool Create();
    NativeStyle StyleOf(const ControlModel& model) override;
    void ControlCreated(ControlModel& model, HWND control) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnMenu(int id) override;
    NativeList* ListOf(int id) override;
    void OnFinderMouse(UINT message, WPARAM wParam);
    void KeepTheListClearOfTheImeBox();

    Win32Platform& platform_;
    std::unique_ptr<MainFrm> frm_;
    // The mirror watches frm_'s models, so it goes before them.
    std::unique_ptr<NativeList> list_;
    UniqueFont bigFont_;
    UniqueIcon crossHair_;
    UniqueCursor crossCursor_;
    UniqueBitmap banner_;
    UniqueMenu popup_;
    bool inTimer_ = false;
    // The shell's broadcast that the taskbar was made anew (Explorer restarted).
    UINT taskbarCreated_ = 0;
    // The open icon extractor, only while its modal loop runs.
    std::unique_ptr<IconGetterWindow> iconGetter_;
};

}  // namespace kelvorin::win32
