#include "app/win32/icon_getter_window.h"

#include "app/win32/art_win32.h"
#include "app/win32/fonts.h"
#include "app/win32/native_control.h"
#include "platform/win32/text.h"

namespace kelvorin::win32 {
namespace {

// Fixed single border with a close box only.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
// Posted on the first activation, so the window is drawn before the icons
// are read, which can take a while for a file with hundreds of them.
constexpr UINT kWmFirstActivation = WM_APP + 1;

}  // namespace

IconGetterWindow::IconGetterWindow(Win32Platform& platform, HINSTANCE instance, HWND owner)
    : platform_(platform), instance_(instance), owner_(owner), scale_(ScreenScale::Read()) {}

IconGetterWindow::~IconGetterWindow() {
    if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
    // The mirror watches the models, so it goes before them.
    list_.reset();
    form_.reset();
    if (font_ != nullptr) ::DeleteObject(font_);
    if (icon_ != nullptr) ::DestroyIcon(icon_);
    if (smallIcon_ != nullptr) ::DestroyIcon(smallIcon_);
}

bool IconGetterWindow::Create() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    // Registered by the first opening and kept; the icons are set per window
    // instead, since the class outlives each opening's icons.
    if (!::GetClassInfoExW(instance_, ids::kIconGetterClass, &wc)) {
        wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = WndProc;
        wc.hInstance = instance_;
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = ids::kIconGetterClass;
        if (!::RegisterClassExW(&wc)) return false;
    }

    form_ = std::make_unique<IconGetter>(platform_.platform, *this);
    RECT frame{0, 0, scale_.X(IconGetter::kClientWidthTwips),
               scale_.Y(IconGetter::kClientHeightTwips)};
    ::AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    // Owned by the main window: it stays above it and has no taskbar button of
    // its own. The system picks where it first appears.
    HWND created = ::CreateWindowExW(0, ids::kIconGetterClass, Widen(IconGetter::kCaption).c_str(),
                                     kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                     frame.right - frame.left, frame.bottom - frame.top, owner_,
                                     nullptr, instance_, this);
    if (created == nullptr) return false;

    icon_ = CreateExtractorIcon(32);
    smallIcon_ = CreateExtractorIcon(16);
    ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    CreateControls();
    return true;
}

void IconGetterWindow::CreateControls() {
    font_ = CreateUiFont(ChooseFontFace(), 9, scale_);
    for (ControlModel* model : form_->Controls()) {
        controls_[model->Id()] = CreateControl(*model);
        model->onChanged = [this, model] { Mirror(*model); };
        Mirror(*model);
    }
    list_ = std::make_unique<NativeList>(controls_[ids::IconListView1], form_->ListView1,
                                         form_->ImageList1, scale_, LVSIL_NORMAL);
}

HWND IconGetterWindow::CreateControl(ControlModel& model) {
    const wchar_t* cls = L"STATIC";
    DWORD style = SS_LEFT;
    DWORD exStyle = 0;
    switch (model.Kind()) {
    case ControlKind::Button:
        cls = L"BUTTON";
        style = BS_PUSHBUTTON | WS_TABSTOP;
        break;
    case ControlKind::TextBox:
        cls = L"EDIT";
        style = ES_AUTOHSCROLL | WS_TABSTOP;
        exStyle = WS_EX_CLIENTEDGE;
        break;
    case ControlKind::ListView:
        // The mirror owns the image list, so the list must not destroy it. The
        // items are only a count: a file may hold tens of thousands of icons.
        cls = WC_LISTVIEWW;
        style = LVS_ICON | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS |
                LVS_AUTOARRANGE | LVS_ALIGNTOP | WS_TABSTOP;
        exStyle = WS_EX_CLIENTEDGE;
        break;
    default:
        break;
    }
    return CreateNativeControl(hwnd_, instance_, model, scale_, cls, style, exStyle, font_);
}

void IconGetterWindow::Mirror(ControlModel& model) {
    auto it = controls_.find(model.Id());
    if (it == controls_.end() || it->second == nullptr) return;
    HWND control = it->second;
    ::EnableWindow(control, model.Enabled() ? TRUE : FALSE);
    std::wstring text;
    if (model.Kind() == ControlKind::TextBox)
        text = Widen(static_cast<TextBox&>(model).Text());
    else if (auto* captioned = dynamic_cast<CaptionedControl*>(&model))
        text = Widen(captioned->Caption());
    else
        return;
    SetWindowTextIfChanged(control, text);
}

void IconGetterWindow::RunBusy(const std::function<void()>& handler) {
    // Nothing is pumped while the icons are read, so the cursor stays until the end.
    HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    handler();
    ::SetCursor(previous);
}

void IconGetterWindow::OnCommand(int id, int code, HWND control) {
    if (id == ids::IconText1 && code == EN_CHANGE) {
        form_->Text1.UserEdited(Narrow(WindowText(control)));
        return;
    }
    if (code != BN_CLICKED) return;
    if (id == ids::IconCommand1) RunBusy([this] { form_->Command1.Click(); });
    if (id == ids::IconCommand2) form_->Command2.Click();
    if (id == ids::IconCommand3) form_->Command3.Click();  // the window is gone afterwards
}

void IconGetterWindow::OnActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus != nullptr && ::IsChild(hwnd_, focus)) lastFocus_ = focus;
        return;
    }
    ::SetFocus(lastFocus_ != nullptr ? lastFocus_ : controls_[ids::IconText1]);
    // Listing runs once per opening. Coming back from the save dialog or from
    // another program must not rebuild the list and lose the selection.
    if (!activated_) {
        activated_ = true;
        ::PostMessageW(hwnd_, kWmFirstActivation, 0, 0);
    }
}

LRESULT CALLBACK IconGetterWindow::WndProc(HWND hwnd, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    auto* window = WindowFromProc<IconGetterWindow>(hwnd, message, lParam);
    if (window != nullptr && message == WM_NCCREATE) window->hwnd_ = hwnd;
    if (window == nullptr) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        window->hwnd_ = nullptr;
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return window->OnMessage(message, wParam, lParam);
}

LRESULT IconGetterWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->idFrom == static_cast<UINT_PTR>(ids::IconListView1) && list_)
            return list_->OnNotify(header);
        return 0;
    }
    case WM_ACTIVATE:
        // Handled here instead of by the default, which would focus the window itself.
        OnActivate(wParam);
        return 0;
    case kWmFirstActivation:
        ::UpdateWindow(hwnd_);
        RunBusy([this] { form_->Form_Activate(); });
        return 0;
    case WM_CLOSE:
        // The close box does what "閉じる" does.
        form_->Command3_Click();
        return 0;
    case WM_DESTROY:
        // The controls are going; a late model change must not reach them.
        controls_.clear();
        lastFocus_ = nullptr;
        return 0;
    default:
        return ::DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

void IconGetterWindow::Show() {
    ::ShowWindow(hwnd_, SW_SHOW);
    ::UpdateWindow(hwnd_);
}

bool IconGetterWindow::HandleDialogMessage(MSG& message) {
    return hwnd_ != nullptr && ::IsDialogMessageW(hwnd_, &message) != FALSE;
}

void IconGetterWindow::Unload() {
    if (hwnd_ == nullptr) return;
    if (onClosing) onClosing();
    ::DestroyWindow(hwnd_);
}

}  // namespace kelvorin::win32
