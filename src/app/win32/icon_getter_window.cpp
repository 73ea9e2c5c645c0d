#include "app/win32/icon_getter_window.h"

#include "app/win32/art_win32.h"
#include "app/win32/fonts.h"
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
    : FormWindow(instance), platform_(platform), owner_(owner) {}

IconGetterWindow::~IconGetterWindow() = default;

bool IconGetterWindow::Create() {
    form_ = std::make_unique<IconGetter>(platform_.platform, *this);
    // Owned by the main window: it stays above it and has no taskbar button of
    // its own. The system picks where it first appears.
    if (!CreateFrame({ids::kIconGetterClass, IconGetter::kCaption, kWindowStyle,
                      IconGetter::kClientWidthTwips, IconGetter::kClientHeightTwips, owner_,
                      false}))
        return false;
    SetIcons(CreateExtractorIcon(32), CreateExtractorIcon(16));
    font_ = CreateUiFont(ChooseFontFace(), 9, scale_);
    // Creation order is tab order; the labels take no focus.
    std::vector<ControlModel*> tabOrder;
    for (ControlModel* model : form_->Controls())
        if (model->Kind() != ControlKind::Label) tabOrder.push_back(model);
    CreateControls(form_->Controls(), tabOrder);
    list_ = std::make_unique<NativeList>(Control(ids::IconListView1), form_->ListView1,
                                         form_->ImageList1, scale_, LVSIL_NORMAL);
    return true;
}

NativeStyle IconGetterWindow::StyleOf(const ControlModel& model) {
    switch (model.Kind()) {
    case ControlKind::Button:
        return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP};
    case ControlKind::TextBox:
        return {L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::ListView:
        // The mirror owns the image list, so the list must not destroy it. The
        // items are only a count: a file may hold tens of thousands of icons.
        return {WC_LISTVIEWW,
                LVS_ICON | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                    LVS_SHAREIMAGELISTS | LVS_AUTOARRANGE | LVS_ALIGNTOP | WS_TABSTOP,
                WS_EX_CLIENTEDGE};
    default:
        return {L"STATIC", SS_LEFT};
    }
}

NativeList* IconGetterWindow::ListOf(int id) {
    return id == ids::IconListView1 ? list_.get() : nullptr;
}

void IconGetterWindow::RunBusy(const std::function<void()>& handler) {
    // Nothing is pumped while the icons are read, so the cursor stays until the end.
    HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    handler();
    ::SetCursor(previous);
}

void IconGetterWindow::OnClick(CaptionedControl& button) {
    if (button.Id() == ids::IconCommand1)
        RunBusy([&button] { button.Click(); });
    else
        button.Click();  // after 閉じる the window is gone
}

LRESULT IconGetterWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ACTIVATE: {
        LRESULT result = DefaultMessage(message, wParam, lParam);
        // Listing runs once per opening. Coming back from the save dialog or
        // from another program must not rebuild the list and lose the selection.
        if (LOWORD(wParam) != WA_INACTIVE && !activated_) {
            activated_ = true;
            ::PostMessageW(Hwnd(), kWmFirstActivation, 0, 0);
        }
        return result;
    }
    case kWmFirstActivation:
        ::UpdateWindow(Hwnd());
        RunBusy([this] { form_->Form_Activate(); });
        return 0;
    case WM_CLOSE:
        // The close box does what "閉じる" does.
        form_->Command3_Click();
        return 0;
    default:
        return DefaultMessage(message, wParam, lParam);
    }
}

void IconGetterWindow::Show() {
    ::ShowWindow(Hwnd(), SW_SHOW);
    ::UpdateWindow(Hwnd());
}

void IconGetterWindow::Unload() {
    if (!IsOpen()) return;
    if (onClosing) onClosing();
    DestroyNow();
}

}  // namespace kelvorin::win32
