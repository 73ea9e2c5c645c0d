#include "app/win32/main_window.h"

#include <windowsx.h>

#include <algorithm>

#include "app/win32/art_win32.h"
#include "app/win32/fonts.h"
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

// The VB-style button mask of a mouse message: 1 left, 2 right, 4 middle.
int ButtonOf(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
        return 1;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        return 2;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        return 4;
    default:
        return 0;
    }
}

int ButtonsHeld(WPARAM keys) {
    return ((keys & MK_LBUTTON) ? 1 : 0) | ((keys & MK_RBUTTON) ? 2 : 0) |
           ((keys & MK_MBUTTON) ? 4 : 0);
}

int ShiftOf(WPARAM keys) {
    return ((keys & MK_SHIFT) ? 1 : 0) | ((keys & MK_CONTROL) ? 2 : 0) |
           ((::GetKeyState(VK_MENU) & 0x8000) ? 4 : 0);
}

}  // namespace

MainWindow::MainWindow(Win32Platform& platform, HINSTANCE instance)
    : FormWindow(instance), platform_(platform) {}

MainWindow::~MainWindow() = default;

bool MainWindow::Create() {
    frm_ = std::make_unique<MainFrm>(platform_.platform, *this);
    if (!CreateFrame({ids::kMainFrmClass, MainFrm::kCaption, kWindowStyle, kClientWidthTwips,
                      kClientHeightTwips, nullptr, true}))
        return false;
    SetIcons(CreateMainIcon(32), CreateMainIcon(16));
    platform_.clipboard.SetOwner(Hwnd());
    platform_.ui.SetOwner(Hwnd());

    const wchar_t* face = ChooseFontFace();
    font_ = CreateUiFont(face, 9, scale_);
    bigFont_ = CreateUiFont(face, 18, scale_);
    crossHair_ = CreateCrossHair();
    crossCursor_ = CreateCrossHairCursor();
    CreateControls(frm_->Controls(), frm_->TabOrder());
    list_ = std::make_unique<NativeList>(Control(ids::ListView1), frm_->ListView1,
                                         frm_->ImageList1, scale_, LVSIL_SMALL);
    list_->onItemClick = [this] { frm_->ListView1_ItemClick(); };
    list_->onColumnClick = [this](int column) { frm_->ListView1_ColumnClick(column); };
    KeepTheListClearOfTheImeBox();
    ::SetWindowSubclass(Control(ids::picFinder), FinderProc, 1, reinterpret_cast<DWORD_PTR>(this));
    // Timer1 runs from the window's creation to its end.
    ::SetTimer(Hwnd(), kTimer1, kTimer1IntervalMs, nullptr);

    taskbarCreated_ = ::RegisterWindowMessageW(L"TaskbarCreated");
    // Run as administrator, the window would not hear the shell otherwise.
    ::ChangeWindowMessageFilterEx(Hwnd(), taskbarCreated_, MSGFLT_ALLOW, nullptr);
    popup_.reset(::CreatePopupMenu());
    ::AppendMenuW(popup_.get(), MF_STRING, ids::MNU_OPEN, L"開く");
    ::AppendMenuW(popup_.get(), MF_STRING, ids::MNU_END, L"終了");
    return true;
}

NativeStyle MainWindow::StyleOf(const ControlModel& model) {
    NativeStyle native;
    switch (model.Kind()) {
    case ControlKind::Button:
        native = {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP | BS_MULTILINE};
        break;
    case ControlKind::CheckBox:
        // The model toggles the box, so its Click runs exactly on a change.
        native = {L"BUTTON", BS_CHECKBOX | WS_TABSTOP};
        break;
    case ControlKind::Label:
        native = {L"STATIC", SS_LEFT};
        break;
    case ControlKind::TextBox:
        native = {L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
        break;
    case ControlKind::Frame:
        native = {L"BUTTON", BS_GROUPBOX};
        break;
    case ControlKind::ListView:
        // The mirror owns the image list, so the list must not destroy it.
        native = {WC_LISTVIEWW,
                  LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | WS_TABSTOP,
                  WS_EX_CLIENTEDGE};
        break;
    case ControlKind::Slider:
        native = {TRACKBAR_CLASSW, TBS_HORZ | TBS_AUTOTICKS | TBS_BOTTOM | WS_TABSTOP};
        break;
    case ControlKind::ComboBox:
        native = {L"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP};
        native.extraHeightTwips = 1500;  // room for the drop-down list
        break;
    case ControlKind::Picture:
        native.style = SS_NOTIFY | SS_CENTERIMAGE |
                       (model.Id() == ids::picFinder ? SS_ICON : SS_BITMAP);
        if (model.Id() == ids::picFinder) native.exStyle = WS_EX_CLIENTEDGE;
        break;
    case ControlKind::Line:
        native.style = SS_ETCHEDHORZ;
        break;
    }
    if (auto* captioned = dynamic_cast<const CaptionedControl*>(&model);
        captioned != nullptr && captioned->FontPoints() == 18)
        native.font = bigFont_.get();
    return native;
}

void MainWindow::ControlCreated(ControlModel& model, HWND control) {
    if (model.Kind() == ControlKind::ListView)
        ListView_SetExtendedListViewStyle(control, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    if (model.Id() == ids::picFinder) {
        ::SendMessageW(control, STM_SETICON, reinterpret_cast<WPARAM>(crossHair_.get()), 0);
    } else if (model.Id() == ids::Image2) {
        banner_ = CreateBanner();
        ::SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(banner_.get()));
    }
}

void MainWindow::KeepTheListClearOfTheImeBox() {
    // The box keeps its place over the list's top edge but takes only the size
    // its text needs, and the list keeps a band free beneath it: every column
    // header stays clickable and every row readable.
    HWND box = Control(ids::IMEUnShowChk);
    HWND list = Control(ids::ListView1);
    std::wstring text = WindowText(box);
    SIZE extent{};
    {
        ScopedGetDc dc(box);
        ScopedSelectObject font(dc.get(), font_.get());
        ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
    }
    const int check = ::GetSystemMetrics(SM_CXMENUCHECK);
    ::SetWindowPos(box, nullptr, 0, 0, check + 6 + extent.cx, std::max<int>(check, extent.cy) + 4,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT boxRect{};
    ::GetWindowRect(box, &boxRect);
    POINT clientTop{0, 0};
    ::ClientToScreen(list, &clientTop);
    list_->ReserveTopBand(boxRect.bottom - clientTop.y + 1);
}

NativeList* MainWindow::ListOf(int id) { return id == ids::ListView1 ? list_.get() : nullptr; }

void MainWindow::OnMenu(int id) {
    if (id == ids::MNU_OPEN) frm_->MNU_OPEN_Click();
    if (id == ids::MNU_END) frm_->MNU_END_Click();
    // Escape, as IsDialogMessage turns it.
    if (id == IDCANCEL) frm_->picFinder_Escape();
}

void MainWindow::OnFinderMouse(UINT message, WPARAM wParam) {
    int shift = ShiftOf(wParam);
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:  // a quick second press on the box is a press all the same
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        frm_->picFinder_MouseDown(ButtonOf(message), shift, 0, 0);
        break;
    case WM_MOUSEMOVE:
        if (frm_->finderDrag.Dragging()) ::SetCursor(crossCursor_.get());
        frm_->picFinder_MouseMove(ButtonsHeld(wParam), shift, 0, 0);
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        frm_->picFinder_MouseUp(ButtonOf(message), shift, 0, 0);
        break;
    default:
        break;
    }
}

LRESULT CALLBACK MainWindow::FinderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR self) {
    auto* window = reinterpret_cast<MainWindow*>(self);
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        window->OnFinderMouse(message, wParam);
        return 0;
    case WM_CAPTURECHANGED:
        // Another window took the mouse mid-drag: no release will come here.
        // (WM_CANCELMODE ends here too: the default handling releases the capture.)
        if (reinterpret_cast<HWND>(lParam) != hwnd) window->frm_->picFinder_CaptureLost();
        break;
    case WM_SETCURSOR:
        if (window->frm_->finderDrag.Dragging()) {
            ::SetCursor(window->crossCursor_.get());
            return TRUE;
        }
        break;
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(hwnd, FinderProc, id);
        break;
    default:
        break;
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        frm_->Form_TaskbarCreated();
        return 0;
    }
    switch (message) {
    case WM_ACTIVATE:
        // Another window in front keeps the mouse from us: a drag ends here.
        if (LOWORD(wParam) == WA_INACTIVE) frm_->picFinder_CaptureLost();
        return DefaultMessage(message, wParam, lParam);
    case WM_CANCELMODE:
        frm_->picFinder_CaptureLost();
        return DefaultMessage(message, wParam, lParam);
    case WM_HSCROLL: {
        HWND slider = reinterpret_cast<HWND>(lParam);
        // Every finished step counts; the continuous drag itself does not.
        if (slider == Control(ids::ToumeiSld) && LOWORD(wParam) != TB_THUMBTRACK) {
            int position = static_cast<int>(::SendMessageW(slider, TBM_GETPOS, 0, 0));
            frm_->ToumeiSld.UserMoved(position);
        }
        return 0;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
        LRESULT brush = ::DefWindowProcW(Hwnd(), message, wParam, lParam);
        if (reinterpret_cast<HWND>(lParam) == Control(ids::txtClassName) &&
            frm_->txtClassName.ForeSysColour())
            ::SetTextColor(reinterpret_cast<HDC>(wParam),
                           ::GetSysColor(*frm_->txtClassName.ForeSysColour()));
        return brush;
    }
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
        Unload();
        return 0;
    case WM_DESTROY:
        frm_->Form_Unload();
        ::KillTimer(Hwnd(), kTimer1);
        ::PostQuitMessage(0);
        return 0;
    default:
        return DefaultMessage(message, wParam, lParam);
    }
}

int MainWindow::Run(int showCommand) {
    if (!Create()) return 1;
    // The start-up refresh runs before the window is shown.
    frm_->Form_Load();
    ::ShowWindow(Hwnd(), showCommand);
    ::UpdateWindow(Hwnd());
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (HandleDialogMessage(message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

WindowHandle MainWindow::Handle() { return FromHwnd(Hwnd()); }

WindowHandle MainWindow::ControlHandle(int id) { return FromHwnd(Control(id)); }

int MainWindow::ClientHeightTwips() {
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    return scale_.TwipsY(client.bottom - client.top);
}

void MainWindow::GrowHeightTwips(int deltaTwips) {
    RECT outer{};
    ::GetWindowRect(Hwnd(), &outer);
    ::SetWindowPos(Hwnd(), nullptr, 0, 0, outer.right - outer.left,
                   outer.bottom - outer.top + scale_.Y(deltaTwips),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::Show() { ::ShowWindow(Hwnd(), SW_SHOW); }

void MainWindow::Hide() { ::ShowWindow(Hwnd(), SW_HIDE); }

bool MainWindow::IsVisible() { return ::IsWindowVisible(Hwnd()) != FALSE; }

void MainWindow::Unload() { DestroyNow(); }

void MainWindow::ShowPopupMenu(uint32_t flags) {
    POINT pointer{};
    ::GetCursorPos(&pointer);
    // Brought to the front first and nudged after, so the menu closes when
    // the user clicks elsewhere.
    ::SetForegroundWindow(Hwnd());
    ::TrackPopupMenu(popup_.get(), flags, pointer.x, pointer.y, 0, Hwnd(), nullptr);
    ::PostMessageW(Hwnd(), WM_NULL, 0, 0);
}

IconHandle MainWindow::WindowIcon() { return IconHandle(FromNative(BigIcon())); }

void MainWindow::ShowIconGetterModal(const std::string& path) {
    // One extractor at a time, whatever slips through while one is open.
    if (iconGetter_) return;
    auto getter = std::make_unique<IconGetterWindow>(platform_, instance_, Hwnd());
    if (!getter->Create()) return;
    iconGetter_ = std::move(getter);
    iconGetter_->Form().Text1.SetText(path);
    // Input comes back before the extractor goes, so the system activates
    // this window rather than another program's.
    iconGetter_->onClosing = [this] { ::EnableWindow(Hwnd(), TRUE); };
    ::EnableWindow(Hwnd(), FALSE);
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
    ::EnableWindow(Hwnd(), TRUE);
    iconGetter_.reset();
    if (quit) {
        // The outer loop must see the quit too.
        ::PostQuitMessage(static_cast<int>(message.wParam));
        return;
    }
    if (IsOpen()) ::SetForegroundWindow(Hwnd());
}

void MainWindow::UnloadIconGetter() {
    // The modal loop notices the window is gone and cleans up after it.
    if (iconGetter_) iconGetter_->Unload();
}

void MainWindow::SetFinderDragging(bool dragging) {
    ::SendMessageW(Control(ids::picFinder), STM_SETICON,
                   reinterpret_cast<WPARAM>(dragging ? nullptr : crossHair_.get()), 0);
    ::SetCursor(dragging ? crossCursor_.get() : ::LoadCursorW(nullptr, IDC_ARROW));
}

}  // namespace kelvorin::win32
