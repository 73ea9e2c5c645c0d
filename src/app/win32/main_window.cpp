#include "app/win32/main_window.h"

#include <windowsx.h>

#include <cwchar>

#include "app/win32/art_win32.h"
#include "app/win32/fonts.h"
#include "app/win32/native_control.h"
#include "platform/win32/text.h"

namespace kelvorin::win32 {
namespace {

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimer1IntervalMs = 100;
// The design client area of the upper region.
constexpr int kClientWidthTwips = 10890;
constexpr int kClientHeightTwips = 4635;
// No WS_CLIPCHILDREN: the frames are transparent group boxes, and the window
// must paint its background beneath them.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

}  // namespace

MainWindow::MainWindow(Win32Platform& platform, HINSTANCE instance)
    : platform_(platform), instance_(instance), scale_(ScreenScale::Read()) {}

MainWindow::~MainWindow() {
    list_.reset();
    if (popup_ != nullptr) ::DestroyMenu(popup_);
    if (font_ != nullptr) ::DeleteObject(font_);
    if (bigFont_ != nullptr) ::DeleteObject(bigFont_);
    if (banner_ != nullptr) ::DeleteObject(banner_);
    if (classTextBrush_ != nullptr) ::DeleteObject(classTextBrush_);
    if (icon_ != nullptr) ::DestroyIcon(icon_);
    if (smallIcon_ != nullptr) ::DestroyIcon(smallIcon_);
    if (crossHair_ != nullptr) ::DestroyIcon(crossHair_);
    if (crossCursor_ != nullptr) ::DestroyCursor(crossCursor_);
}

bool MainWindow::Create() {
    icon_ = CreateMainIcon(32);
    smallIcon_ = CreateMainIcon(16);
    crossHair_ = CreateCrossHair(false);
    crossCursor_ = static_cast<HCURSOR>(CreateCrossHair(true));

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance_;
    wc.hIcon = icon_;
    wc.hIconSm = smallIcon_;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = ids::kMainFrmClass;
    if (!::RegisterClassExW(&wc)) return false;

    RECT frame{0, 0, scale_.X(kClientWidthTwips), scale_.Y(kClientHeightTwips)};
    ::AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    int x = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    hwnd_ = ::CreateWindowExW(0, ids::kMainFrmClass, Widen(MainFrm::kCaption).c_str(),
                              kWindowStyle, x, y, width, height, nullptr, nullptr, instance_,
                              this);
    if (hwnd_ == nullptr) return false;
    platform_.clipboard.SetOwner(hwnd_);
    platform_.ui.SetOwner(hwnd_);

    frm_ = std::make_unique<MainFrm>(platform_.platform, *this);
    CreateControls();
    // Timer1 runs from the window's creation to its end.
    ::SetTimer(hwnd_, kTimer1, kTimer1IntervalMs, nullptr);

    taskbarCreated_ = ::RegisterWindowMessageW(L"TaskbarCreated");
    // Run as administrator, the window would not hear the shell otherwise.
    ::ChangeWindowMessageFilterEx(hwnd_, taskbarCreated_, MSGFLT_ALLOW, nullptr);
    popup_ = ::CreatePopupMenu();
    ::AppendMenuW(popup_, MF_STRING, ids::MNU_OPEN, L"開く");
    ::AppendMenuW(popup_, MF_STRING, ids::MNU_END, L"終了");
    return true;
}

void MainWindow::CreateControls() {
    const wchar_t* face = ChooseFontFace();
    font_ = ::CreateFontW(scale_.FontHeight(9), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                          SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                          DEFAULT_QUALITY, DEFAULT_PITCH, face);
    bigFont_ = ::CreateFontW(scale_.FontHeight(18), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                             SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH, face);
    for (ControlModel* model : frm_->Controls()) {
        HWND control = CreateControl(*model);
        controls_[model->Id()] = control;
        model->onChanged = [this, model] { Mirror(*model); };
        Mirror(*model);
    }
    list_ = std::make_unique<NativeList>(controls_[ids::ListView1], frm_->ListView1,
                                         frm_->ImageList1, scale_, LVSIL_SMALL);
    list_->onItemClick = [this] { frm_->ListView1_ItemClick(); };
    list_->onColumnClick = [this](int column) { frm_->ListView1_ColumnClick(column); };
    ::SetWindowSubclass(controls_[ids::picFinder], FinderProc, 1,
                        reinterpret_cast<DWORD_PTR>(this));
}

HWND MainWindow::CreateControl(ControlModel& model) {
    const wchar_t* cls = L"STATIC";
    DWORD style = 0;
    DWORD exStyle = 0;
    int extraHeightTwips = 0;
    switch (model.Kind()) {
    case ControlKind::Button:
        cls = L"BUTTON";
        style = BS_PUSHBUTTON | WS_TABSTOP | BS_MULTILINE;
        break;
    case ControlKind::CheckBox:
        // The model toggles the box, so its Click runs exactly on a change.
        cls = L"BUTTON";
        style = BS_CHECKBOX | WS_TABSTOP;
        break;
    case ControlKind::Label:
        style = SS_LEFT;
        break;
    case ControlKind::TextBox:
        cls = L"EDIT";
        style = ES_AUTOHSCROLL | WS_TABSTOP;
        exStyle = WS_EX_CLIENTEDGE;
        break;
    case ControlKind::Frame:
        cls = L"BUTTON";
        style = BS_GROUPBOX;
        break;
    case ControlKind::ListView:
        cls = WC_LISTVIEWW;
        style = LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | WS_TABSTOP;
        exStyle = WS_EX_CLIENTEDGE;
        break;
    case ControlKind::Slider:
        cls = TRACKBAR_CLASSW;
        style = TBS_HORZ | TBS_AUTOTICKS | TBS_BOTTOM | WS_TABSTOP;
        break;
    case ControlKind::ComboBox:
        cls = L"COMBOBOX";
        style = CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP;
        extraHeightTwips = 1500;  // room for the drop-down list
        break;
    case ControlKind::Picture:
        style = SS_NOTIFY | SS_CENTERIMAGE | (model.Id() == ids::picFinder ? SS_ICON : SS_BITMAP);
        if (model.Id() == ids::picFinder) exStyle = WS_EX_CLIENTEDGE;
        break;
    case ControlKind::Line:
        style = SS_ETCHEDHORZ;
        break;
    }
    HFONT font = font_;
    if (auto* captioned = dynamic_cast<CaptionedControl*>(&model);
        captioned != nullptr && captioned->FontPoints() == 18)
        font = bigFont_;
    HWND control = CreateNativeControl(hwnd_, instance_, model, scale_, cls, style, exStyle, font,
                                       extraHeightTwips);

    switch (model.Kind()) {
    case ControlKind::ListView:
        ListView_SetExtendedListViewStyle(control, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
        break;
    case ControlKind::ComboBox:
        for (const auto& item : static_cast<ComboBox&>(model).Items())
            ::SendMessageW(control, CB_ADDSTRING, 0,
                           reinterpret_cast<LPARAM>(Widen(item).c_str()));
        break;
    case ControlKind::Picture:
        if (model.Id() == ids::picFinder) {
            ::SendMessageW(control, STM_SETICON, reinterpret_cast<WPARAM>(crossHair_), 0);
        } else if (model.Id() == ids::Image2) {
            banner_ = CreateBanner();
            ::SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(banner_));
        }
        break;
    default:
        break;
    }
    return control;
}

void MainWindow::Mirror(ControlModel& model) {
    HWND control = controls_[model.Id()];
    if (control == nullptr) return;
    ::EnableWindow(control, model.Enabled() ? TRUE : FALSE);
    switch (model.Kind()) {
    case ControlKind::Button:
    case ControlKind::Label:
    case ControlKind::Frame: {
        SetWindowTextIfChanged(control, Widen(static_cast<CaptionedControl&>(model).Caption()));
        break;
    }
    case ControlKind::CheckBox: {
        auto& box = static_cast<CheckBox&>(model);
        WPARAM state = box.Value() == 1 ? BST_CHECKED
                                         : box.Value() == 2 ? BST_INDETERMINATE : BST_UNCHECKED;
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

ControlModel* MainWindow::ModelOf(int id) {
    for (ControlModel* model : frm_->Controls())
        if (model->Id() == id) return model;
    return nullptr;
}

void MainWindow::OnCommand(int id, int code, HWND control) {
    if (control == nullptr) {  // menu items, and Escape as IsDialogMessage turns it
        if (id == ids::MNU_OPEN) frm_->MNU_OPEN_Click();
        if (id == ids::MNU_END) frm_->MNU_END_Click();
        if (id == IDCANCEL) frm_->picFinder_Escape();
        return;
    }
    ControlModel* model = ModelOf(id);
    if (model == nullptr) return;
    switch (model->Kind()) {
    case ControlKind::Button:
        if (code == BN_CLICKED) static_cast<CaptionedControl*>(model)->Click();
        break;
    case ControlKind::CheckBox:
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

LRESULT MainWindow::OnNotify(NMHDR* header) {
    if (header->idFrom == static_cast<UINT_PTR>(ids::ListView1) && list_) return list_->OnNotify(header);
    return 0;
}

LRESULT CALLBACK MainWindow::WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* window = WindowFromProc<MainWindow>(hwnd, message, lParam);
    if (window != nullptr && message == WM_NCCREATE) window->hwnd_ = hwnd;
    if (window == nullptr || !window->frm_) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    return window->OnMessage(message, wParam, lParam);
}

LRESULT MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        frm_->Form_TaskbarCreated();
        return 0;
    }
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_HSCROLL: {
        HWND slider = reinterpret_cast<HWND>(lParam);
        // Every finished step counts; the continuous drag itself does not.
        if (slider == controls_[ids::ToumeiSld] && LOWORD(wParam) != TB_THUMBTRACK) {
            int position = static_cast<int>(::SendMessageW(slider, TBM_GETPOS, 0, 0));
            frm_->ToumeiSld.UserMoved(position);
        }
        return 0;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
        HWND control = reinterpret_cast<HWND>(lParam);
        LRESULT brush = ::DefWindowProcW(hwnd_, message, wParam, lParam);
        if (control == controls_[ids::txtClassName] && frm_->txtClassName.ForeSysColour())
            ::SetTextColor(reinterpret_cast<HDC>(wParam),
                           ::GetSysColor(*frm_->txtClassName.ForeSysColour()));
        return brush;
    }
    case WM_ACTIVATE:
        OnActivate(wParam);
        return 0;
    case WM_CANCELMODE:
        frm_->picFinder_CaptureLost();
        return ::DefWindowProcW(hwnd_, message, wParam, lParam);
    case WM_TIMER:
        if (wParam == kTimer1 && !inTimer_) {
            inTimer_ = true;
            frm_->Timer1_Timer();
            inTimer_ = false;
        }
        return 0;
    case WM_MOUSEMOVE:
        // Also the notification icon's callback, which arrives as WM_MOUSEMOVE
        // with the mouse message in the x position.
        frm_->Form_MouseMove(ButtonsHeld(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_CLOSE:
        ::DestroyWindow(hwnd_);
        return 0;
    case WM_DESTROY:
        frm_->Form_Unload();
        ::KillTimer(hwnd_, kTimer1);
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

int MainWindow::Run(int showCommand) {
    if (!Create()) return 1;
    // The start-up refresh runs before the window is shown.
    frm_->Form_Load();
    ::ShowWindow(hwnd_, showCommand);
    ::UpdateWindow(hwnd_);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (OnTabKey(message) || ::IsDialogMessageW(hwnd_, &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

WindowHandle MainWindow::Handle() { return FromHwnd(hwnd_); }

WindowHandle MainWindow::ControlHandle(int id) {
    auto it = controls_.find(id);
    return it == controls_.end() ? WindowHandle() : FromHwnd(it->second);
}

int MainWindow::ClientHeightTwips() {
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    return scale_.TwipsY(client.bottom - client.top);
}

void MainWindow::GrowHeightTwips(int deltaTwips) {
    RECT outer{};
    ::GetWindowRect(hwnd_, &outer);
    ::SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left,
                   outer.bottom - outer.top + scale_.Y(deltaTwips),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::Show() { ::ShowWindow(hwnd_, SW_SHOW); }

void MainWindow::Hide() { ::ShowWindow(hwnd_, SW_HIDE); }

bool MainWindow::IsVisible() { return ::IsWindowVisible(hwnd_) != FALSE; }

void MainWindow::Unload() {
    if (hwnd_ != nullptr && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
}

void MainWindow::ShowPopupMenu(uint32_t flags) {
    POINT pointer{};
    ::GetCursorPos(&pointer);
    // Brought to the front first and nudged after, so the menu closes when
    // the user clicks elsewhere.
    ::SetForegroundWindow(hwnd_);
    ::TrackPopupMenu(popup_, flags, pointer.x, pointer.y, 0, hwnd_, nullptr);
    ::PostMessageW(hwnd_, WM_NULL, 0, 0);
}

IconHandle MainWindow::WindowIcon() { return IconHandle(FromNative(icon_)); }

void MainWindow::ShowIconGetterModal(const std::string& path) {
    // One extractor at a time, whatever slips through while one is open.
    if (iconGetter_) return;
    auto getter = std::make_unique<IconGetterWindow>(platform_, instance_, hwnd_);
    if (!getter->Create()) return;
    iconGetter_ = std::move(getter);
    iconGetter_->Form().Text1.SetText(path);
    // Input comes back before the extractor goes, so the system activates
    // this window rather than another program's.
    iconGetter_->onClosing = [this] { ::EnableWindow(hwnd_, TRUE); };
    ::EnableWindow(hwnd_, FALSE);
    iconGetter_->Show();

    // Everything is dispatched, so Timer1 keeps firing while the extractor is open.
    MSG message{};
    bool quit = false;
    while (iconGetter_->IsOpen()) {
        BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            quit = got == 0;
            break;
        }
        if (!iconGetter_->HandleDialogMessage(message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    ::EnableWindow(hwnd_, TRUE);
    iconGetter_.reset();
    if (quit) {
        // The outer loop must see the quit too.
        ::PostQuitMessage(static_cast<int>(message.wParam));
        return;
    }
    if (::IsWindow(hwnd_)) ::SetForegroundWindow(hwnd_);
}

void MainWindow::UnloadIconGetter() {
    // The modal loop notices the window is gone and cleans up after it.
    if (iconGetter_) iconGetter_->Unload();
}

void MainWindow::SetFinderDragging(bool dragging) {
    HWND finder = controls_[ids::picFinder];
    ::SendMessageW(finder, STM_SETICON, reinterpret_cast<WPARAM>(dragging ? nullptr : crossHair_),
                   0);
    ::SetCursor(dragging ? crossCursor_ : ::LoadCursorW(nullptr, IDC_ARROW));
}

}  // namespace kelvorin::win32
