#include "app/win32/native_control.h"

#include "platform/win32/text.h"

namespace kelvorin::win32 {

HWND CreateNativeControl(HWND parent, HINSTANCE instance, const ControlModel& model,
                         const ScreenScale& scale, const wchar_t* windowClass, DWORD style,
                         DWORD exStyle, HFONT font, int extraHeightTwips) {
    std::wstring caption;
    if (auto* captioned = dynamic_cast<const CaptionedControl*>(&model))
        caption = Widen(captioned->Caption());
    const TwipsRect& r = model.Rect();
    HWND control = ::CreateWindowExW(
        exStyle, windowClass, caption.c_str(), style | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
        scale.X(r.left), scale.Y(r.top), scale.X(r.width), scale.Y(r.height + extraHeightTwips),
        parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(model.Id())), instance, nullptr);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

std::wstring WindowText(HWND control) {
    int length = ::GetWindowTextLengthW(control);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = ::GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

void SetWindowTextIfChanged(HWND control, const std::wstring& text) {
    if (text != WindowText(control)) ::SetWindowTextW(control, text.c_str());
}

}  // namespace kelvorin::win32
