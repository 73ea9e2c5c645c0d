// One program session along the typical road and on through a user's whole
// journey, on helper targets and with real input throughout: pick a row, keep
// its window in front, pick a dialog's control with the finder, save an icon
// of the row's program, retire to the notification area and quit from there.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <optional>

#include "harness/desktop.h"
#include "harness/fixture.h"
#include "harness/icon_file.h"
#include "harness/input.h"
#include "harness/modal.h"
#include "harness/options.h"
#include "harness/wait.h"

namespace e2e {
namespace {

bool IsTopmost(HWND h) {
    return (GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

bool PutOnClipboard(const std::wstring& text) {
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (!data) return false;
    std::memcpy(GlobalLock(data), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(data);
    if (!WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 1s)) return false;
    EmptyClipboard();
    bool ok = SetClipboardData(CF_UNICODETEXT, data) != nullptr;
    CloseClipboard();
    return ok;
}

// The notification icon of (window, id 0) exists exactly when a modify that
// changes nothing succeeds.
bool TrayIconExists(HWND owner) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = owner;
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

// A bitmap file as far as the walk checks it: 24-bit uncompressed, its size
// and the colour at its centre.
struct Bitmap24 {
    LONG width = 0, height = 0;
    COLORREF centre = 0;
};
std::optional<Bitmap24> ReadBitmap24(const std::wstring& path) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    if (!file) return std::nullopt;
    std::string bytes(GetFileSize(file.Get(), nullptr), '\0');
    DWORD read = 0;
    BITMAPFILEHEADER head{};
    BITMAPINFOHEADER info{};
    if (!ReadFile(file.Get(), bytes.data(), DWORD(bytes.size()), &read, nullptr) ||
        read < sizeof head + sizeof info)
        return std::nullopt;
    std::memcpy(&head, bytes.data(), sizeof head);
    std::memcpy(&info, bytes.data() + sizeof head, sizeof info);
    if (head.bfType != 0x4D42 || info.biBitCount != 24 || info.biCompression != BI_RGB)
        return std::nullopt;
    Bitmap24 bmp{info.biWidth, std::abs(info.biHeight), 0};
    size_t stride = (size_t(bmp.width) * 3 + 3) & ~size_t(3);
    LONG y = bmp.height / 2, x = bmp.width / 2;  // the middle row reads the same either way up
    size_t at = head.bfOffBits + stride * size_t(y) + 3 * size_t(x);
    if (at + 3 > bytes.size()) return std::nullopt;
    auto p = reinterpret_cast<const BYTE*>(bytes.data() + at);
    bmp.centre = RGB(p[2], p[1], p[0]);
    return bmp;
}

class WalkThroughTest : public KelvorinTest {
  protected:
    // A real click in the caption cell of window h's row, `offset` pixels in.
    bool ClickRowOf(HWND h, int offset) {
        RemoteListView& list = app_->List();
        int row = list.FindRow(kHandleCol, HandleText(h));
        auto bounds = row >= 0 ? list.ItemRect(row) : std::nullopt;
        if (!bounds) return false;
        POINT p{bounds->left + list.Column(kIconCol).width + offset,
                (bounds->top + bounds->bottom) / 2};
        ClientToScreen(list.Handle(), &p);
        EXPECT_EQ(WindowFromPoint(p), list.Handle()) << "the row is covered";
        return XClick(p);
    }
    bool ClickControl(HWND control) { return XClick(CentreOf(control)); }
};

TEST_F(WalkThroughTest, FromPickingARowToQuittingFromTheNotificationArea) {
    // The row's program carries icons of known pictures; the desktop has a
    // shell, as every real one does (README: "Progman").
    StartHelper({{"window", "progman", "--class", "Progman", "--hidden"}});
    std::wstring scratch = WindowsPath(GetOptions().workDir + "/walkthrough");
    CreateDirectoryW(scratch.c_str(), nullptr);
    const std::wstring exe = scratch + L"\\walker.exe";
    ASSERT_TRUE(CopyFileW(GetOptions().helperExe.c_str(), exe.c_str(), FALSE) && AddIcons(exe));
    const std::string title = "E2E walk-through target";
    helpers_.push_back(std::make_unique<HelperProcess>(
        HelperProcess::Start({"window", "target", "--title", title, "dialog", "dlg", "--title",
                              "E2E walk-through dialog"},
                             exe)));
    HelperProcess& helper = *helpers_.back();
    HWND target = helper.Window("target"), dialog = helper.Window("dlg");
    KelvorinApp& app = Launch();
    HWND main = app.MainWindow();
    RemoteListView& list = app.List();
    // Made after the start: hidden windows are listed too, so a refresh would add its row.
    HWND late = StartHelper({{"window", "late", "--title", "E2E walk-through late", "--hidden"}})
                    .Window("late");
    // The dialog beside the main window, level with the finder's box, as far
    // in as the screen needs (it is wider in code page 1252).
    RECT frame{}, box{};
    GetWindowRect(main, &frame);
    GetWindowRect(dialog, &box);
    int x = std::min(frame.right + 4, GetSystemMetrics(SM_CXSCREEN) - (box.right - box.left));
    SetWindowPos(dialog, nullptr, x, frame.top + 200, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    HWND button = helper.Window("dlg/disabled");
    ASSERT_FALSE(PtInRect(&frame, CentreOf(button)))
        << "the dialog's button is under the main window";

    // 1. A click on the target's row makes its window the selected one.
    const std::string path = helper.Reported("path");
    const std::string summary =
        HandleText(target) + "\twalker.exe\t" + title + "\t" + helper.Reported("pid") + "\t" + path;
    ASSERT_TRUE(PutOnClipboard(L"E2E before the walk"));
    ASSERT_TRUE(ClickRowOf(target, 40));
    ASSERT_TRUE(WaitUntil([&] { return ClipboardText() == summary; }))
        << "clipboard: " << ClipboardText().value_or("<none>") << "\nexpected: " << summary;
    EXPECT_EQ(app.Text(ids::CaptionTxt), title);
    const int row = list.SelectedRow();
    EXPECT_EQ(list.Cell(row, kHandleCol), HandleText(target));

    // 2. Options open, 常に手前に表示 checked: the target goes on top, and nothing
    // else happens: no load (the clipboard keeps a marker), no refresh.
    SIZE closed = ClientSize(main);
    ASSERT_TRUE(ClickControl(app.Control(ids::Command2)));
    ASSERT_TRUE(WaitUntil([&] { return ClientSize(main).cy > closed.cy; })) << "no options region";
    const auto rows = list.Rows();
    RECT place{};
    GetWindowRect(target, &place);
    const int boxes[] = {ids::WinVisibleChk, ids::SaihaimenChk, ids::TaskBarShowChk};
    std::vector<int> states;
    for (int id : boxes) states.push_back(app.CheckState(id));
    ASSERT_TRUE(PutOnClipboard(L"E2E before the box"));
    ASSERT_FALSE(IsTopmost(target));
    ASSERT_TRUE(ClickControl(app.Control(ids::TemaeChk)));
    ASSERT_TRUE(WaitUntil([&] { return IsTopmost(target); })) << "the target did not go on top";
    EXPECT_EQ(app.CheckState(ids::TemaeChk), BST_CHECKED);
    EXPECT_TRUE(HoldsFor([&] { return ClipboardText() == "E2E before the box"; }, 300ms))
        << "a row was loaded";
    EXPECT_EQ(list.Rows(), rows) << "the list changed";
    EXPECT_EQ(list.FindRow(kHandleCol, HandleText(late)), -1) << "the list was refreshed";
    EXPECT_EQ(list.SelectedRow(), row);
    EXPECT_EQ(app.Text(ids::CaptionTxt), title);
    for (size_t i = 0; i < std::size(boxes); ++i)
        EXPECT_EQ(app.CheckState(boxes[i]), states[i]) << "box " << boxes[i] << " changed";
    RECT placeAfter{};
    GetWindowRect(target, &placeAfter);
    EXPECT_TRUE(EqualRect(&place, &placeAfter)) << "the target moved";
    EXPECT_TRUE(IsWindowVisible(target));
    EXPECT_EQ(GetAncestor(target, GA_PARENT), GetDesktopWindow());
    EXPECT_EQ(GetWindow(target, GW_OWNER), nullptr);
    EXPECT_FALSE(IsTopmost(dialog)) << "another window went on top too";

    // 3. The cross-hair dragged onto the dialog's disabled button picks it.
    ASSERT_TRUE(XDrag(CentreOf(app.Control(ids::picFinder)), CentreOf(button)));
    EXPECT_TRUE(WaitUntil([&] { return app.Text(ids::HandleTxt) == HandleText(button); }))
        << "HandleTxt shows " << app.Text(ids::HandleTxt);
    EXPECT_EQ(app.Text(ids::txtClassName), "Button");
    EXPECT_TRUE(IsTopmost(target)) << "the drag undid the target's place on top";

    // 4. The row selected again and one of its program's icons saved.
    ASSERT_TRUE(PutOnClipboard(L"E2E before the second pick"));
    ASSERT_TRUE(ClickRowOf(target, 80));
    ASSERT_TRUE(WaitUntil([&] { return ClipboardText() == summary; })) << "the row was not loaded";
    ASSERT_TRUE(ClickControl(app.Control(ids::PIconGetBtn)));
    HWND extractor = WaitForOwnedWindow(app.ProcessId(), ids::kIconGetterClass, main, 10s);
    ASSERT_TRUE(extractor) << "no icon extractor";
    HWND count = FindControl(extractor, ids::IconLabel3);
    ASSERT_TRUE(WaitUntil([&] { return WindowText(count) == std::to_string(kIconCount); }, 10s))
        << "the extractor found " << WindowText(count) << " icons";
    RemoteListView items(FindControl(extractor, ids::IconListView1));
    std::optional<RECT> first = items.ItemRect(0);
    ASSERT_TRUE(first);
    POINT itemPoint{(first->left + first->right) / 2, (first->top + first->bottom) / 2};
    ClientToScreen(items.Handle(), &itemPoint);
    ASSERT_TRUE(XClick(itemPoint));
    ASSERT_TRUE(WaitUntil([&] { return items.SelectedRow() == 0; })) << "item 1 not selected";
    ASSERT_TRUE(ClickControl(FindControl(extractor, ids::IconCommand2)));
    HWND save = WaitForOwnedWindow(app.ProcessId(), L"#32770", extractor, 10s);
    ASSERT_TRUE(save) << "no save dialog";
    const std::wstring file = scratch + L"\\first icon.bmp";
    SendMessageW(FileNameField(save), WM_SETTEXT, 0, LPARAM(file.c_str()));
    ASSERT_TRUE(PressButton(save, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(save); }, 10s)) << "the save dialog stayed";
    std::optional<Bitmap24> saved;
    EXPECT_TRUE(WaitUntil([&] { return (saved = ReadBitmap24(file)).has_value(); }))
        << "no 24-bit bitmap was written";
    if (saved) {
        EXPECT_EQ(saved->width, GetSystemMetrics(SM_CXICON));
        EXPECT_EQ(saved->height, GetSystemMetrics(SM_CYICON));
        EXPECT_EQ(saved->centre, kIconColours[0]) << "not the first icon";
    }
    ASSERT_TRUE(ClickControl(FindControl(extractor, ids::IconCommand3)));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(extractor) && IsWindowEnabled(main); }))
        << "閉じる did not give the main window back";

    // 5. Off to the notification area.
    ASSERT_TRUE(ClickControl(app.Control(ids::Command3)));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); })) << "the main window stayed";
    ASSERT_TRUE(WaitUntil([&] { return TrayIconExists(main); })) << "no notification icon";

    // 6. The icon's menu by a real click, and 終了 from it.
    RECT tray{};
    GetWindowRect(FindWindowW(L"Shell_TrayWnd", nullptr), &tray);
    ASSERT_TRUE(XClick({tray.right - 10, (tray.top + tray.bottom) / 2}));
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        auto menus = TopLevelWindows(app.ProcessId(), L"#32768", true);
        return (menu = menus.empty() ? nullptr : menus.front()) != nullptr;
    })) << "the icon opened no menu";
    RECT menuArea{};
    GetClientRect(menu, &menuArea);
    POINT quit{menuArea.right / 2, menuArea.bottom * 3 / 4};  // the second of two items
    ClientToScreen(menu, &quit);
    ASSERT_TRUE(XClick(quit));
    ASSERT_TRUE(app.Process().WaitForExit(5s)) << "終了 did not end the program";
    EXPECT_EQ(app.Process().ExitCode(), 0u);
    EXPECT_FALSE(TrayIconExists(main)) << "the icon outlived the program";
    app_.reset();
}

}  // namespace
}  // namespace e2e
