// What the two windows' views share: making a native child control for a
// control model and moving text in and out of native controls.
#pragma once

#include <windows.h>

#include <string>

#include "app/controls.h"
#include "app/win32/twips.h"

namespace kelvorin::win32 {

// The native control for a model, at its twips place (made taller by
// extraHeightTwips, for a combo box's drop-down), with the window's font. The
// model's id is the control id.
HWND CreateNativeControl(HWND parent, HINSTANCE instance, const ControlModel& model,
                         const ScreenScale& scale, const wchar_t* windowClass, DWORD style,
                         DWORD exStyle, HFONT font, int extraHeightTwips = 0);

std::wstring WindowText(HWND control);
// Writes only a real change, so the user's caret and selection stay put.
void SetWindowTextIfChanged(HWND control, const std::wstring& text);

// The object behind a window procedure: handed to CreateWindowEx as its
// parameter, kept in the window's user data from WM_NCCREATE on.
template <typename Window>
Window* WindowFromProc(HWND hwnd, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* window =
            static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
        return window;
    }
    return reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

}  // namespace kelvorin::win32
