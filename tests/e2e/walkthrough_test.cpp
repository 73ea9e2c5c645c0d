// One session as a user has it, with real input throughout: pick a row, keep
// its window in front, pick a control with the finder, save an icon of the
// row's program, retire to the notification area, come back, and quit from there.
#include "harness/e2e.h"

namespace e2e {
namespace {

using WalkThroughTest = KelvorinTest;

TEST_F(WalkThroughTest, FromPickingARowToQuittingFromTheNotificationArea) {
    StartShell();
    const std::wstring exe = IconHelper("walk", L"walker.exe");
    auto& helper = StartHelper(
        "window|target|--title|E2E walk target|"
        "window|owner|--title|E2E walk owner|--disabled-button",
        exe);
    App& app = Launch();
    HWND main = app.Main(), target = helper["target"], button = helper["owner/button"];
    RemoteList& list = app.List();
    // The finder's target beside the main window, level with the cross-hair.
    RECT frame = WindowRect(main);
    POINT box = Centre(app(ids::picFinder));
    SetWindowPos(helper["owner"], nullptr, frame.right + 4, box.y - 40, 260, 120,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    auto clickRow = [&](int x) {
        RECT row = list.ItemRect(app.RowOf(target));
        return XClick({row.left + list.ColumnWidth(kIconCol) + x, (row.top + row.bottom) / 2});
    };

    // 1. A click in the row's caption cell loads the row.
    const std::string summary = HandleText(target) + "\twalker.exe\tE2E walk target\t" +
                                std::to_string(helper.Process().Id()) + "\t" + helper.path;
    ASSERT_TRUE(clickRow(40));
    ASSERT_TRUE(WaitUntil([&] { return Clipboard() == summary; })) << Clipboard().value_or("");

    // 2. The options region opens below, and 常に手前に表示 puts the window on top.
    SIZE closed = ClientSize(main);
    ASSERT_TRUE(XClick(Centre(app(ids::Command2))));
    ASSERT_TRUE(WaitUntil([&] { return ClientSize(main).cy == closed.cy + Pixels(2505); }));
    EXPECT_EQ(WindowRect(main).top, frame.top) << "the window moved";
    ASSERT_TRUE(XClick(Centre(app(ids::TemaeChk))));
    EXPECT_TRUE(WaitUntil([&] { return IsTopmost(target); }));

    // 3. A right press on the cross-hair does nothing; a left drag picks what
    // it passes over, Escape ends it as it began, and a drag that loses the
    // mouse (a cancelled mode takes the capture) ends there.
    auto crossHair = [&] { return SendMessageW(app(ids::picFinder), STM_GETICON, 0, 0) != 0; };
    ASSERT_TRUE(Xdo({"mousemove", std::to_string(box.x), std::to_string(box.y), "mousedown", "3"}));
    EXPECT_FALSE(WaitUntil(
        [&] { return Gui(main).hwndCapture || !app.Text(ids::HandleTxt).empty(); }, 300ms));
    ASSERT_TRUE(Xdo({"mouseup", "3"}));
    ASSERT_TRUE(XDrag(box, Centre(button), false));
    EXPECT_TRUE(WaitUntil([&] { return app.Text(ids::HandleTxt) == HandleText(button); }));
    ASSERT_TRUE(Keys({VK_ESCAPE}));
    EXPECT_TRUE(WaitUntil([&] { return app.Text(ids::HandleTxt).empty() && crossHair(); }));
    EXPECT_TRUE(!Gui(main).hwndCapture && Xdo({"mouseup", "1"}));
    ASSERT_TRUE(XDrag(box, {box.x - 40, box.y}, false));
    SendMessageW(app(ids::picFinder), WM_CANCELMODE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !Gui(main).hwndCapture && crossHair(); }));
    ASSERT_TRUE(Xdo({"mouseup", "1"}));
    ASSERT_TRUE(XDrag(box, Centre(button), false));
    EXPECT_TRUE(WaitUntil([&] { return app.Text(ids::HandleTxt) == HandleText(button); }));
    EXPECT_EQ(Gui(main).hwndCapture, app(ids::picFinder));
    EXPECT_FALSE(crossHair()) << "the cross-hair stayed";
    ASSERT_TRUE(Xdo({"mouseup", "1"}));
    EXPECT_TRUE(WaitUntil([&] { return !Gui(main).hwndCapture && crossHair(); }));
    EXPECT_EQ(app.Text(ids::txtClassName), "Button");
    ASSERT_TRUE(XClick(Centre(app(ids::GetParentHandleBtn))));
    EXPECT_TRUE(WaitUntil([&] { return app.Text(ids::HandleTxt) == HandleText(helper["owner"]); }));
    EXPECT_EQ(app.Text(ids::txtClassName), "KelvorinE2eTarget");

    // 4. The row again (a click on the selected row loads it too), and the
    // extractor on its program, modal and owned: it tabs in its own order, lists
    // a bare name found on the search path, and nothing of a missing file.
    SendMessageW(app(ids::CaptionTxt), WM_SETTEXT, 0, LPARAM(L"typed"));
    ASSERT_TRUE(clickRow(80));
    ASSERT_TRUE(WaitUntil([&] { return app.Text(ids::CaptionTxt) == "E2E walk target"; }));
    ASSERT_TRUE(XClick(Centre(app(ids::PIconGetBtn))));
    HWND extractor = WaitWindow(app.Process().Id(), ids::kIconGetterClass, main);
    ASSERT_TRUE(extractor);
    auto part = [&](int id) { return GetDlgItem(extractor, id); };
    ASSERT_TRUE(WaitUntil([&] { return Text(part(ids::IconLabel3)) == "3"; }));
    EXPECT_EQ(Text(extractor), "プロセスアイコン取得ツール");
    EXPECT_EQ(ClientSize(extractor).cx, Pixels(6360));
    EXPECT_EQ(ClientSize(extractor).cy, Pixels(6465));
    EXPECT_EQ(Text(part(ids::IconText1)), Utf8(exe));
    EXPECT_FALSE(IsWindowEnabled(main)) << "not modal";
    EXPECT_EQ(GetWindowLongW(part(ids::IconListView1), GWL_STYLE) & LVS_TYPEMASK, LVS_ICON);
    RemoteList items(part(ids::IconListView1));
    EXPECT_EQ(items.Selected(), -1) << "saving needs a deliberate choice";
    EXPECT_TRUE(WaitUntil([&] { return Focused(extractor) == part(ids::IconText1); }));
    const int order[] = {ids::IconText1, ids::IconCommand1, ids::IconListView1, ids::IconCommand2,
                         ids::IconCommand3};
    for (int i = 1; i <= 5; ++i) EXPECT_TRUE(Tab(extractor, order[i % 5]));
    for (int i = 5; i-- > 0;) EXPECT_TRUE(Tab(extractor, order[i], true));
    const int many = int(UINT_PTR(ExtractIconW(nullptr, L"shell32.dll", UINT(-1))));
    for (auto [path, count] :
         {std::pair{std::wstring(L"shell32.dll"), many}, {L"nowhere.exe", 0}, {exe, 3}}) {
        SendMessageW(part(ids::IconText1), WM_SETTEXT, 0, LPARAM(path.c_str()));
        ASSERT_TRUE(SendMessageTimeoutW(part(ids::IconCommand1), BM_CLICK, 0, 0, SMTO_NORMAL, 30000,
                                        nullptr));
        EXPECT_EQ(Text(part(ids::IconLabel3)), std::to_string(count));
        EXPECT_EQ(items.Count(), count ? count : many)
            << "a file without sound icons leaves the list";
    }
    // Saving, in boxes that never give the main window back: nothing when cancelled or with
    // nothing picked; a new file at once, the third icon's exact picture; a question before
    // replacing; a read-only file kept and the user told why; a path past MAX_PATH refused.
    // `save` presses 保存 with item `index` selected (-1: as it is) and types `name` (empty:
    // cancels); a question gets Yes; it says "asked", what a box said, or nothing.
    const DWORD pid = app.Process().Id();
    auto path = [](const std::wstring& name) { return WinPath(opt.workDir + "/walk/") + name; };
    auto save = [&](int index, const std::wstring& name) {
        EXPECT_TRUE(index < 0 || items.Select(index));
        AsyncClick click(part(ids::IconCommand2));
        HWND dialog = WaitWindow(pid, L"#32770", extractor), reply = nullptr;
        HWND types = GetDlgItem(dialog, 0x470);  // cmb1: the one filter; cmb13 takes the name
        EXPECT_TRUE(SendMessageW(types, CB_GETCOUNT, 0, 0) == 1 &&
                    Text(types) == "ビットマップ(*.bmp)");
        SendMessageW(GetDlgItem(dialog, 0x47c), WM_SETTEXT, 0, LPARAM(path(name).c_str()));
        EXPECT_TRUE(Press(dialog, name.empty() ? IDCANCEL : IDOK)) << "no save dialog";
        auto next = [&] {
            return click.Done() || (reply = WaitWindow(pid, L"#32770", nullptr, 0ms, dialog));
        };
        std::string said;
        for (int i = 0; i < 3 && WaitUntil(next, 10s) && !click.Done(); ++i) {
            bool question = GetDlgItem(reply, IDYES),
                 inDialog = GetWindow(reply, GW_OWNER) == dialog;
            said += question ? "asked" : Text(GetDlgItem(reply, 0xFFFF));
            Press(reply, question ? IDYES : IDOK);
            if (WaitUntil([&] { return !IsWindow(reply); }) && inDialog && !question)
                Press(dialog, IDCANCEL);
        }
        EXPECT_TRUE(click.Done(10s)) << "saving did not finish";
        EXPECT_FALSE(IsWindowEnabled(main)) << "a box gave the main window back";
        return said;
    };
    const std::wstring name = L"third icon.bmp";
    EXPECT_EQ(save(-1, name), "");
    RECT third = items.ItemRect(2);
    ASSERT_TRUE(XClick({(third.left + third.right) / 2, (third.top + third.bottom) / 2}));
    ASSERT_TRUE(WaitUntil([&] { return items.Selected() == 2; }));
    EXPECT_EQ(save(-1, L""), "");
    EXPECT_EQ(FileText(path(name)), "") << "written when cancelled or with nothing selected";
    EXPECT_EQ(save(-1, name), "") << "asked to replace a file that was not there";
    // 24 bits, bottom-up, the icon drawn at the system size (32 here) on white.
    const std::string bmp = FileText(path(name));
    ASSERT_EQ(bmp.size(), 54u + 32 * 32 * 3);
    EXPECT_EQ(bmp.substr(0, 2) + bmp.substr(18, 12),
              std::string("BM\x20\0\0\0\x20\0\0\0\x01\0\x18\0", 14));
    for (int i = 0; i < 32 * 32; ++i) {
        COLORREF c = Painted(2, i % 32, 31 - i / 32) ? kIconColours[2] : RGB(255, 255, 255);
        ASSERT_EQ(bmp.substr(54 + 3 * i, 3),
                  std::string({char(GetBValue(c)), char(GetGValue(c)), char(GetRValue(c))}))
            << "pixel " << i;
    }
    EXPECT_EQ(save(0, name), "asked") << "replaced without asking";
    const std::string first = FileText(path(name));
    EXPECT_TRUE(first.size() == bmp.size() && first != bmp) << "not replaced after Yes";
    ASSERT_TRUE(SetFileAttributesW(path(name).c_str(), FILE_ATTRIBUTE_READONLY));
    const std::string said = save(2, name);
    EXPECT_EQ(
        said.rfind("askedファイルを保存できませんでした。\r\n" + Utf8(path(name)) + "\r\n", 0), 0u)
        << said;
    EXPECT_TRUE(FileText(path(name)) == first);
    const std::wstring tooLong(270 - path(L".bmp").size(), L'a');
    EXPECT_NE(save(-1, tooLong + L".bmp"), "") << "a path past MAX_PATH went unremarked";
    // Space on 閉じる gives the main window back, the focus where it was.
    ASSERT_TRUE(TabTo(extractor, ids::IconCommand3) && Keys({VK_SPACE}));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(extractor) && IsWindowEnabled(main); }));
    EXPECT_TRUE(WaitUntil([&] { return Focused(main) == app(ids::PIconGetBtn); }));

    // 5. Off to the notification area. A restarted shell, which lost the icon
    // and says so to every window, gets it again; it has its tip; Ctrl+1 still
    // hides the window in front.
    const SIZE opened = ClientSize(main);
    ASSERT_TRUE(XClick(Centre(app(ids::Command3))));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main) && TrayIconExists(main); }));
    NOTIFYICONDATAW lost{sizeof lost, main};
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &lost));
    SendMessageW(main, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return TrayIconExists(main); })) << "the icon did not come back";
    const RECT tray = WindowRect(FindWindowW(L"Shell_TrayWnd", nullptr));
    const POINT icon{tray.right - 10, (tray.top + tray.bottom) / 2};  // the only icon
    ASSERT_TRUE(Xdo({"mousemove", std::to_string(icon.x - 2), std::to_string(icon.y), "mousemove",
                     std::to_string(icon.x), std::to_string(icon.y)}));
    EXPECT_TRUE(WaitUntil([&] {
        return Text(WaitWindow(0, L"tooltips_class32", nullptr, 0ms)) == "Kelvorin";
    })) << "no tip on the notification icon";
    ASSERT_TRUE(Front(target));
    EXPECT_TRUE(Hold(
        {VK_CONTROL, '1'}, [&] { return !IsWindowVisible(target); }, 1s));

    // 6. Either button opens the icon's menu: a click elsewhere closes it,
    // 開く brings the window back as it was, 終了 ends the program.
    auto pick = [&](int mouseButton, int item) {  // -1: elsewhere
        HWND menu = nullptr;  // seen: a click right after the icon came back went unanswered
        for (int i = 0; i < 3 && !menu && XClick(icon, mouseButton); ++i)
            menu = WaitWindow(pid, L"#32768", nullptr, 1s);
        RECT m = WindowRect(menu);
        POINT p{(m.left + m.right) / 2, m.top + (m.bottom - m.top) * (2 * item + 1) / 4};
        return menu && XClick(item < 0 ? POINT{300, 150} : p);
    };
    ASSERT_TRUE(pick(3, -1));
    EXPECT_TRUE(WaitUntil([&] { return !WaitWindow(pid, L"#32768", nullptr, 0ms); }));
    EXPECT_TRUE(TrayIconExists(main) && !IsWindowVisible(main));
    ASSERT_TRUE(pick(1, 0));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) && !TrayIconExists(main); }));
    EXPECT_EQ(ClientSize(main).cy, opened.cy) << "the options region did not come back open";
    ASSERT_TRUE(XClick(Centre(app(ids::Command3))));
    ASSERT_TRUE(WaitUntil([&] { return TrayIconExists(main); }));
    ASSERT_TRUE(pick(1, 1));
    ASSERT_TRUE(app.Process().WaitExit(5s)) << "終了 did not end the program";
    EXPECT_EQ(app.Process().ExitCode(), 0u);
    EXPECT_FALSE(TrayIconExists(main));
}

}  // namespace
}  // namespace e2e
