#include "app/win32/form_window.h"

#include <commctrl.h>

#include "app/win32/native_list.h"
#include "platform/win32/text.h"

namespace kelvorin::win32 {

FormWindow::FormWindow(HINSTANCE instance) : instance_(instance), scale_(ScreenScale::Read()) {}

FormWindow::~FormWindow() {
    // The derived view is gone already: the window must not reach it while it
    // is being destroyed.
    if (hwnd_) ::SetWindowLongPtrW(hwnd_.get(), GWLP_USERDATA, 0);
    hwnd_.reset();
}

bool FormWindow::CreateFrame(const Frame& frame) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (!::GetClassInfoExW(instance_, frame.className, &wc)) {
        wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = WndProc;
        wc.hInstance = instance_;
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = frame.className;
        if (!::RegisterClassExW(&wc)) return false;
    }
    RECT outer{0, 0, scale_.X(frame.clientWidthTwips), scale_.Y(frame.clientHeightTwips)};
    ::AdjustWindowRectEx(&outer, frame.style, FALSE, 0);
    int width = outer.right - outer.left;
    int height = outer.bottom - outer.top;
    int x = CW_USEDEFAULT;
    int y = CW_USEDEFAULT;
    if (frame.centred) {
        x = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        y = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    }
    // The window procedure takes ownership of the handle on WM_NCCREATE.
    return ::CreateWindowExW(0, frame.className, Widen(frame.caption).c_str(), frame.style, x, y,
                             width, height, frame.owner, nullptr, instance_, this) != nullptr;
}

void FormWindow::SetIcons(UniqueIcon big, UniqueIcon small) {
    ::SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
    ::SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
    // Released only after the window that shows them (the window goes first).
    bigIcon_ = std::move(big);
    smallIcon_ = std::move(small);
}

void FormWindow::CreateControls(const std::vector<ControlModel*>& models,
                                std::vector<ControlModel*> tabOrder) {
    models_ = models;
    tabOrder_ = std::move(tabOrder);
    for (ControlModel* model : models_) {
        NativeStyle native = StyleOf(*model);
        std::wstring caption;
        if (auto* captioned = dynamic_cast<const CaptionedControl*>(model))
            caption = Widen(captioned->Caption());
        const TwipsRect& r = model->Rect();
        HWND control = ::CreateWindowExW(
            native.exStyle, native.windowClass, caption.c_str(),
            native.style | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, scale_.X(r.left),
            scale_.Y(r.top), scale_.X(r.width), scale_.Y(r.height + native.extraHeightTwips),
            Hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(model->Id())), instance_, nullptr);
        ::SendMessageW(control, WM_SETFONT,
                       reinterpret_cast<WPARAM>(native.font != nullptr ? native.font : font_.get()),
                       FALSE);
        controls_[model->Id()] = control;
        if (model->Kind() == ControlKind::ComboBox) {
            for (const auto& item : static_cast<ComboBox*>(model)->Items())
                ::SendMessageW(control, CB_ADDSTRING, 0,
                               reinterpret_cast<LPARAM>(Widen(item).c_str()));
        }
        ControlCreated(*model, control);
        model->onChanged = [this, model] { Mirror(*model); };
        Mirror(*model);
    }
}

HWND FormWindow::Control(int id) const {
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

ControlModel* FormWindow::ModelOf(int id) {
    for (ControlModel* model : models_)
        if (model->Id() == id) return model;
    return nullptr;
}

void FormWindow::Mirror(ControlModel& model) {
    HWND control = Control(model.Id());
    if (control == nullptr) return;
    ::EnableWindow(control, model.Enabled() ? TRUE : FALSE);
    switch (model.Kind()) {
    case ControlKind::Button:
    case ControlKind::Label:
    case ControlKind::Frame:
        SetWindowTextIfChanged(control, Widen(static_cast<CaptionedControl&>(model).Caption()));
        break;
    case ControlKind::CheckBox: {
        auto& box = static_cast<CheckBox&>(model);
        WPARAM state = box.Value() == 1   ? BST_CHECKED
                       : box.Value() == 2 ? BST_INDETERMINATE
                                          : BST_UNCHECKED;
        ::SendMessageW(control, BM_SETCHECK, state, 0);
        break;
    }
    case ControlKind::TextBox:
        SetWindowTextIfChanged(control, Widen(static_cast<TextBox&>(model).Text()));
        ::InvalidateRect(control, nullptr, TRUE);  // its colour may have changed
        break;
    case ControlKind::Slider: {
        auto& slider = static_cast<Slider&>(model);
        ::SendMessageW(control, TBM_SETRANGEMIN, FALSE, slider.Min());
        ::SendMessageW(control, TBM_SETRANGEMAX, FALSE, slider.Max());
        ::SendMessageW(control, TBM_SETTICFREQ, static_cast<WPARAM>(slider.TickFrequency()), 0);
        ::SendMessageW(control, TBM_SETPOS, TRUE, slider.Value());
        break;
    }
    case ControlKind::ComboBox:
        SetWindowTextIfChanged(control, Widen(static_cast<ComboBox&>(model).Text()));
        break;
    default:
        break;
    }
}

void FormWindow::OnCommand(int id, int code, HWND control) {
    if (control == nullptr) {
        OnMenu(id);
        return;
    }
    ControlModel* model = ModelOf(id);
    if (model == nullptr) return;
    switch (model->Kind()) {
    case ControlKind::Button:
        if (code == BN_CLICKED) OnClick(static_cast<CaptionedControl&>(*model));
        break;
    case ControlKind::CheckBox:
        // The model toggles the box, so its Click runs exactly on a change.
        if (code == BN_CLICKED) static_cast<CheckBox*>(model)->UserToggle();
        break;
    case ControlKind::TextBox:
        if (code == EN_CHANGE) static_cast<TextBox*>(model)->UserEdited(Narrow(WindowText(control)));
        break;
    case ControlKind::ComboBox: {
        auto* combo = static_cast<ComboBox*>(model);
        if (code == CBN_EDITCHANGE) {
            combo->UserEdited(Narrow(WindowText(control)));
        } else if (code == CBN_SELCHANGE) {
            auto index = ::SendMessageW(control, CB_GETCURSEL, 0, 0);
            if (index >= 0 && static_cast<size_t>(index) < combo->Items().size())
                combo->UserEdited(combo->Items()[static_cast<size_t>(index)]);
        }
        break;
    }
    default:
        break;
    }
}

LRESULT FormWindow::DefaultMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (NativeList* list = ListOf(static_cast<int>(header->idFrom))) return list->OnNotify(header);
        return 0;
    }
    case WM_ACTIVATE:
        // Handled here instead of by the default, which would focus the window itself.
        OnActivate(wParam);
        return 0;
    default:
        return ::DefWindowProcW(Hwnd(), message, wParam, lParam);
    }
}

void FormWindow::OnActivate(WPARAM wParam) {
    // As in a dialog box, the focus goes back to the control that had it.
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus != nullptr && ::IsChild(Hwnd(), focus)) lastFocus_ = focus;
        return;
    }
    if (HIWORD(wParam) != 0) return;  // minimised
    bool back = lastFocus_ != nullptr && ::IsWindow(lastFocus_) && CanTakeFocus(lastFocus_);
    HWND first = tabOrder_.empty() ? nullptr : Control(tabOrder_.front()->Id());
    ::SetFocus(back ? lastFocus_ : first);
}

bool FormWindow::HandleDialogMessage(MSG& message) {
    if (!hwnd_) return false;
    return OnTabKey(message) || ::IsDialogMessageW(Hwnd(), &message) != FALSE;
}

bool FormWindow::OnTabKey(const MSG& message) {
    // Tab and Shift+Tab follow the form's reading order rather than the z-order
    // that IsDialogMessage walks.
    if (message.message != WM_KEYDOWN || message.wParam != VK_TAB) return false;
    if (message.hwnd != Hwnd() && !::IsChild(Hwnd(), message.hwnd)) return false;
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
    ::SendMessageW(Hwnd(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    return true;
}

HWND FormWindow::NextTabStop(HWND from, bool back) {
    const int count = static_cast<int>(tabOrder_.size());
    int at = -1;  // where the focus is; a combo box's edit counts as the combo box
    for (int i = 0; i < count; ++i) {
        HWND control = Control(tabOrder_[static_cast<size_t>(i)]->Id());
        if (from != nullptr && (control == from || ::IsChild(control, from))) at = i;
    }
    for (int step = 1; step <= count; ++step) {
        int i = at < 0 ? (back ? count - step : step - 1)
                       : ((at + (back ? -step : step)) % count + count) % count;
        HWND control = Control(tabOrder_[static_cast<size_t>(i)]->Id());
        if (CanTakeFocus(control)) return control;
    }
    return nullptr;
}

bool FormWindow::CanTakeFocus(HWND control) {
    if (!::IsWindowVisible(control) || !::IsWindowEnabled(control)) return false;
    // Controls that lie below the client area (a closed options region) are
    // out of sight: no focus there.
    RECT r{};
    RECT client{};
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(HWND_DESKTOP, Hwnd(), reinterpret_cast<POINT*>(&r), 2);
    ::GetClientRect(Hwnd(), &client);
    return r.top < client.bottom;
}

LRESULT CALLBACK FormWindow::WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    FormWindow* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_.reset(hwnd);
    } else {
        self = reinterpret_cast<FormWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (self == nullptr) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The system has destroyed the window and its controls: nothing is
        // left to release, and late model changes must not reach them.
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_.release();
        self->controls_.clear();
        self->lastFocus_ = nullptr;
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->OnMessage(message, wParam, lParam);
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
