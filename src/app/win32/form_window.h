// What the views of the program's two windows share: the window class and the
// window itself, the window procedure, one native control per control model
// with the model mirrored into it, command and notify dispatch, the Tab order,
// the focus given back on activation, and the clean-up when the window goes.
// Each view keeps only what is its own (its controls' particular styles, its
// messages, its pictures).
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "app/controls.h"
#include "app/win32/twips.h"
#include "platform/win32/scoped.h"

namespace kelvorin::win32 {

class NativeList;

// How one control is made: its window class, styles, font and any extra
// height beyond its design height (a combo box's drop-down).
struct NativeStyle {
    const wchar_t* windowClass = L"STATIC";
    DWORD style = 0;
    DWORD exStyle = 0;
    HFONT font = nullptr;
    int extraHeightTwips = 0;
};

class FormWindow {
public:
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    HWND Hwnd() const { return hwnd_.get(); }
    bool IsOpen() const { return static_cast<bool>(hwnd_); }
    HWND Control(int id) const;
    // Keyboard navigation for a message of the message loop: Tab and Shift+Tab
    // in the form's reading order, the rest as in a dialog box. True when taken.
    bool HandleDialogMessage(MSG& message);

protected:
    explicit FormWindow(HINSTANCE instance);
    // The window goes with the object; its procedure no longer reaches the
    // object from the moment this starts.
    virtual ~FormWindow();

    struct Frame {
        const wchar_t* className;
        std::string caption;
        DWORD style;
        int clientWidthTwips;
        int clientHeightTwips;
        HWND owner;
        bool centred;  // else the system chooses the first position
    };
    // Registers the window class (once per process) and creates the window,
    // hidden. The class carries no icons: they are the window's, set with SetIcons.
    bool CreateFrame(const Frame& frame);
    void SetIcons(UniqueIcon big, UniqueIcon small);
    HICON BigIcon() const { return bigIcon_.get(); }
    // Destroys the window now (its messages still reach the view meanwhile).
    void DestroyNow() { hwnd_.reset(); }
    // Makes a native control for every model, in this order (their z-order),
    // and keeps each mirrored from then on. tabOrder: the controls that Tab
    // goes through.
    void CreateControls(const std::vector<ControlModel*>& models,
                        std::vector<ControlModel*> tabOrder);

    virtual NativeStyle StyleOf(const ControlModel& model) = 0;
    // Called once each control exists, for what only this window adds.
    virtual void ControlCreated(ControlModel& /*model*/, HWND /*control*/) {}
    // The window's own messages; DefaultMessage for everything else.
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // A button of this window was pressed.
    virtual void OnClick(CaptionedControl& button) { button.Click(); }
    // A menu item (WM_COMMAND without a control).
    virtual void OnMenu(int /*id*/) {}
    // The list that notifies with this control id, if any.
    virtual NativeList* ListOf(int /*id*/) { return nullptr; }

    // Commands, notifications and activation as every form handles them.
    LRESULT DefaultMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Mirror(ControlModel& model);

    HINSTANCE instance_;
    ScreenScale scale_;
    UniqueFont font_;

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int code, HWND control);
    void OnActivate(WPARAM wParam);
    bool OnTabKey(const MSG& message);
    HWND NextTabStop(HWND from, bool back);
    bool CanTakeFocus(HWND control);
    ControlModel* ModelOf(int id);

    UniqueWindow hwnd_;
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
    std::vector<ControlModel*> models_;
    std::vector<ControlModel*> tabOrder_;
    std::map<int, HWND> controls_;
    // The control that had the focus when the window was last deactivated.
    HWND lastFocus_ = nullptr;
};

std::wstring WindowText(HWND control);
// Writes only a real change, so the user's caret and selection stay put.
void SetWindowTextIfChanged(HWND control, const std::wstring& text);

}  // namespace kelvorin::win32
