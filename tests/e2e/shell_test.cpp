// The main window as made, its notification icon and Ctrl+1, and the
// process commands on real helper processes.
#include "harness/e2e.h"

namespace e2e {
namespace {

using ShellTest = KelvorinTest;

TEST_F(ShellTest, TheMainWindowAndOneControlOfEachKindAreMadeAsDesigned) {
    App& app = Launch();
    HWND main = app.Main();
    EXPECT_EQ(Text(main), "Kelvorin");
    EXPECT_EQ(ClientSize(main).cx, Pixels(10890));
    EXPECT_EQ(ClientSize(main).cy, Pixels(4635));
    const LONG box = WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_SYSMENU;
    EXPECT_EQ(GetWindowLongW(main, GWL_STYLE) & box, WS_MINIMIZEBOX | WS_SYSMENU);
    RECT r = WindowRect(main);
    EXPECT_NEAR(r.left + r.right, GetSystemMetrics(SM_CXSCREEN), 2) << "not centred";
    EXPECT_NEAR(r.top + r.bottom, GetSystemMetrics(SM_CYSCREEN), 2) << "not centred";

    // The class, the style (its five low bits exactly) and the place in twips.
    struct Control {
        int id;
        const wchar_t* cls;
        LONG style;
        RECT twips;  // left, top, width, height
    };
    const LONG list = LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS;
    for (const Control& c :
         {Control{ids::ListView1, L"SysListView32", list | WS_TABSTOP, {120, 120, 5295, 3975}},
          Control{ids::Command1, L"Button", BS_MULTILINE | WS_TABSTOP, {5520, 120, 3255, 1695}},
          Control{ids::IMEUnShowChk, L"Button", BS_CHECKBOX | WS_TABSTOP, {1680, 120, 3615, 495}},
          Control{ids::Frame2, L"Button", BS_GROUPBOX, {5520, 2640, 5295, 1335}},
          Control{ids::HandleTxt, L"Edit", ES_AUTOHSCROLL | WS_TABSTOP, {6960, 2880, 1335, 270}},
          Control{ids::picFinder,
                  L"Static",
                  SS_ICON | SS_NOTIFY | SS_CENTERIMAGE,
                  {10080, 3240, 540, 540}},
          Control{ids::Label2, L"Static", SS_LEFT, {5760, 3600, 4335, 255}},
          Control{ids::ToumeiSld,
                  L"msctls_trackbar32",
                  TBS_AUTOTICKS | WS_TABSTOP,
                  {240, 5640, 4815, 495}},
          Control{ids::ButtonCmb,
                  L"ComboBox",
                  CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_TABSTOP,
                  {240, 6720, 2295, 300}},
          Control{ids::Image2, L"Static", SS_BITMAP, {8520, 6720, 2280, 345}},
          Control{ids::Line1, L"Static", SS_ETCHEDHORZ, {0, 4710, 10890, 30}}}) {
        SCOPED_TRACE(c.id);
        HWND h = app(c.id);
        wchar_t cls[64] = {};
        GetClassNameW(h, cls, 64);
        EXPECT_STREQ(cls, c.cls);
        const LONG always = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
        EXPECT_EQ(GetWindowLongW(h, GWL_STYLE) & (0x1F | c.style | always | WS_TABSTOP),
                  c.style | always);
        r = WindowRect(h);
        MapWindowPoints(HWND_DESKTOP, main, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_NEAR(r.left, Pixels(c.twips.left), 1);
        EXPECT_NEAR(r.top, Pixels(c.twips.top), 1);
        EXPECT_NEAR(r.right - r.left, Pixels(c.twips.right), 2);  // an etched line is 2 wider
        EXPECT_NEAR(r.bottom - r.top, Pixels(c.twips.bottom), 1);
    }
    HWND listView = app(ids::ListView1), combo = app(ids::ButtonCmb);
    const LONG extended = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES;
    EXPECT_EQ(SendMessageW(listView, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & extended, extended);
    LRESULT small = SendMessageW(listView, LVM_GETIMAGELIST, LVSIL_SMALL, 0);
    EXPECT_TRUE(small && small == SendMessageW(listView, LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
    for (auto [column, twips] :
         {std::pair{kIconCol, 500}, {kHandleCol, 0}, {kCaptionCol, 3500}, {kVisibleCol, 1000}})
        EXPECT_EQ(app.List().ColumnWidth(column), Pixels(twips)) << "column " << column;
    EXPECT_EQ(app.Check(ids::IMEUnShowChk), BST_CHECKED);
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(app.Text(ids::ButtonCmb), "閉じるボタン");
    SendMessageW(combo, CB_GETDROPPEDCONTROLRECT, 0, LPARAM(&r));
    EXPECT_GE(r.bottom - r.top, Pixels(300) + 4 * SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0))
        << "the drop-down list has no room for its four items";
    EXPECT_TRUE(SendMessageW(app(ids::Image2), STM_GETIMAGE, IMAGE_BITMAP, 0)) << "no banner";
}

TEST_F(ShellTest, TheNotificationIconWatchesCtrlOneAndItsMenuOpensTheWindowAsItWas) {
    HWND front = StartHelper("window|front|--title|E2E front")["front"];
    App& app = Launch();
    HWND main = app.Main();
    const RECT place = WindowRect(main);
    ASSERT_TRUE(app.Click(ids::Command2));
    const SIZE opened = ClientSize(main);
    RECT now = WindowRect(main);
    EXPECT_TRUE(now.left == place.left && now.top == place.top) << "オプション... moved the window";
    EXPECT_FALSE(TrayIconExists(main));
    ASSERT_TRUE(app.Click(ids::Command3));
    EXPECT_FALSE(IsWindowVisible(main));
    ASSERT_TRUE(WaitUntil([&] { return TrayIconExists(main); }));

    // Ctrl+1 hides the window in front, also while the program is in the tray.
    ASSERT_TRUE(Front(front));
    EXPECT_TRUE(Hold(
        {VK_CONTROL, '1'}, [&] { return !IsWindowVisible(front); }, 1s));

    // Either button opens the menu; a click elsewhere closes it and changes nothing.
    const DWORD pid = app.Process().Id();
    ASSERT_TRUE(XClick(TrayIconPoint()) && WaitWindow(pid, L"#32768", nullptr, 5s)) << "left";
    ASSERT_TRUE(XClick({300, 150}));
    EXPECT_TRUE(WaitUntil([&] { return !WaitWindow(pid, L"#32768", nullptr, 0ms); }));
    EXPECT_TRUE(TrayIconExists(main) && !IsWindowVisible(main));
    ASSERT_TRUE(XClick(TrayIconPoint(), 3));
    HWND menu = WaitWindow(pid, L"#32768", nullptr, 5s);
    ASSERT_TRUE(menu) << "a right click opened no menu";
    now = WindowRect(menu);
    ASSERT_TRUE(
        XClick({(now.left + now.right) / 2, now.top + (now.bottom - now.top) / 4}));  // 開く
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) && !TrayIconExists(main); }));
    EXPECT_EQ(ClientSize(main).cy, opened.cy) << "the options region did not come back open";
}

TEST_F(ShellTest, CloseAsksOnlyTheSelectedWindowAndForceCloseWarnsFirst) {
    auto& helper = StartHelper("window|stays|--title|E2E stays|window|goes|--title|E2E goes");
    auto& victim = StartHelper("window|victim|--title|E2E victim");
    App& app = Launch();
    ASSERT_TRUE(app.List().Select(app.RowOf(helper["goes"])));
    ASSERT_TRUE(app.Click(ids::PEnd));
    // Sent, not posted: the window, which answers 200 ms late, is gone when the click returns.
    EXPECT_TRUE(!IsWindow(helper["goes"]) && IsWindow(helper["stays"]) &&
                helper.Process().Running());

    ASSERT_TRUE(app.List().Select(app.RowOf(victim["victim"])));
    for (int answer : {IDNO, IDYES}) {
        AsyncClick click(app(ids::PForceCloseBtn));
        HWND box = WaitWindow(app.Process().Id(), L"#32770", app.Main());
        ASSERT_TRUE(box) << "no warning";
        EXPECT_EQ(Text(box), "タスク マネージャの警告");
        EXPECT_EQ(MessageText(box).rfind("警告: プロセスが終了すると、", 0), 0u)
            << MessageText(box);
        EXPECT_FALSE(IsWindowEnabled(app.Main())) << "the warning is not modal";
        ASSERT_TRUE(Press(box, answer) && click.Done(10s));
        EXPECT_EQ(victim.Process().WaitExit(answer == IDYES ? 5s : 300ms), answer == IDYES);
    }
    EXPECT_EQ(victim.Process().ExitCode(), 0u);
    EXPECT_TRUE(app.Process().Running());
}

}  // namespace
}  // namespace e2e
