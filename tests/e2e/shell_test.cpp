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
    EXPECT_EQ(GetWindowLongW(main, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_SYSMENU),
              WS_MINIMIZEBOX | WS_SYSMENU);
    RECT frame{};
    GetWindowRect(main, &frame);
    EXPECT_NEAR(frame.left + frame.right, GetSystemMetrics(SM_CXSCREEN), 2) << "not centred";
    EXPECT_NEAR(frame.top + frame.bottom, GetSystemMetrics(SM_CYSCREEN), 2) << "not centred";

    struct Control {
        int id;
        const char* cls;
        LONG mask, style;  // the bits of mask that must be as in style
        RECT twips;        // left, top, width, height
    };
    const Control controls[] = {
        {ids::ListView1, "SysListView32", LVS_TYPEMASK | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | WS_TABSTOP,
         LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | WS_TABSTOP, {120, 120, 5295, 3975}},
        {ids::Command1, "Button", BS_TYPEMASK | BS_MULTILINE | WS_TABSTOP, BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP,
         {5520, 120, 3255, 1695}},
        {ids::IMEUnShowChk, "Button", BS_TYPEMASK | WS_TABSTOP, BS_CHECKBOX | WS_TABSTOP, {1680, 120, 3615, 495}},
        {ids::Frame2, "Button", BS_TYPEMASK | WS_TABSTOP, BS_GROUPBOX, {5520, 2640, 5295, 1335}},
        {ids::HandleTxt, "Edit", ES_AUTOHSCROLL | WS_TABSTOP, ES_AUTOHSCROLL | WS_TABSTOP, {6960, 2880, 1335, 270}},
        {ids::picFinder, "Static", SS_TYPEMASK | SS_NOTIFY | SS_CENTERIMAGE, SS_ICON | SS_NOTIFY | SS_CENTERIMAGE,
         {10080, 3240, 540, 540}},
        {ids::Label2, "Static", SS_TYPEMASK, SS_LEFT, {5760, 3600, 4335, 255}},
        {ids::ToumeiSld, "msctls_trackbar32", TBS_VERT | TBS_AUTOTICKS | TBS_TOP | WS_TABSTOP,
         TBS_AUTOTICKS | WS_TABSTOP, {240, 5640, 4815, 495}},
        {ids::ButtonCmb, "ComboBox", 3 | CBS_AUTOHSCROLL | WS_TABSTOP, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_TABSTOP,
         {240, 6720, 2295, 300}},
        {ids::Image2, "Static", SS_TYPEMASK, SS_BITMAP, {8520, 6720, 2280, 345}},
        {ids::Line1, "Static", SS_TYPEMASK, SS_ETCHEDHORZ, {0, 4710, 10890, 30}},
    };
    for (const Control& c : controls) {
        SCOPED_TRACE(c.id);
        HWND h = app(c.id);
        EXPECT_EQ(ClassOf(h), c.cls);
        EXPECT_EQ(GetWindowLongW(h, GWL_STYLE) & (c.mask | WS_CHILD | WS_VISIBLE), c.style | WS_CHILD | WS_VISIBLE);
        RECT r{};
        GetWindowRect(h, &r);
        MapWindowPoints(HWND_DESKTOP, main, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_NEAR(r.left, Pixels(c.twips.left), 1);
        EXPECT_NEAR(r.top, Pixels(c.twips.top), 1);
        EXPECT_NEAR(r.right - r.left, Pixels(c.twips.right), 2);  // an etched line is 2 wider
        EXPECT_NEAR(r.bottom - r.top, Pixels(c.twips.bottom), 1);
    }
    HWND list = app(ids::ListView1), combo = app(ids::ButtonCmb);
    EXPECT_EQ(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & (LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES),
              LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    LRESULT small = SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0);
    EXPECT_TRUE(small && small == SendMessageW(list, LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
    for (int column : {kIconCol, kCaptionCol, kVisibleCol})
        EXPECT_EQ(app.List().ColumnWidth(column), Pixels(column == kIconCol ? 500 : column == kCaptionCol ? 3500 : 1000));
    EXPECT_EQ(app.List().ColumnWidth(kHandleCol), 0);
    EXPECT_EQ(app.Check(ids::IMEUnShowChk), BST_CHECKED);
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(app.Text(ids::ButtonCmb), "閉じるボタン");
    RECT dropped{};
    SendMessageW(combo, CB_GETDROPPEDCONTROLRECT, 0, LPARAM(&dropped));
    EXPECT_GE(dropped.bottom - dropped.top, Pixels(300) + 4 * SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0))
        << "the drop-down list has no room for its four items";
    EXPECT_TRUE(SendMessageW(app(ids::Image2), STM_GETIMAGE, IMAGE_BITMAP, 0)) << "no banner";
}

TEST_F(ShellTest, TheNotificationIconWatchesCtrlOneAndItsMenuOpensTheWindowAsItWas) {
    HWND front = StartHelper({"window", "front", "--title", "E2E front"})["front"];
    App& app = Launch();
    HWND main = app.Main();
    ASSERT_TRUE(app.Click(ids::Command2));
    const SIZE opened = ClientSize(main);
    EXPECT_FALSE(TrayIconExists(main));
    ASSERT_TRUE(app.Click(ids::Command3));
    EXPECT_FALSE(IsWindowVisible(main));
    ASSERT_TRUE(WaitUntil([&] { return TrayIconExists(main); }));

    // Ctrl+1 hides the window in front, also while the program is in the tray.
    ASSERT_TRUE(WaitUntil([&] { SetForegroundWindow(front); return GetForegroundWindow() == front; }, 3s));
    EXPECT_TRUE(Hold({VK_CONTROL, '1'}, [&] { return !IsWindowVisible(front); }, 1s)) << "Ctrl+1 did not hide it";

    // Either button opens the menu; a click elsewhere closes it and changes nothing.
    ASSERT_TRUE(XClick(TrayIconPoint()));
    ASSERT_TRUE(WaitWindow(app.Process().Id(), L"#32768", nullptr, 5s)) << "a left click opened no menu";
    ASSERT_TRUE(XClick({300, 150}));
    EXPECT_TRUE(WaitUntil([&] { return TopWindows(app.Process().Id(), L"#32768").empty(); }));
    EXPECT_TRUE(TrayIconExists(main) && !IsWindowVisible(main));
    ASSERT_TRUE(XClick(TrayIconPoint(), 3));
    HWND menu = WaitWindow(app.Process().Id(), L"#32768", nullptr, 5s);
    ASSERT_TRUE(menu) << "a right click opened no menu";
    RECT m{};
    GetWindowRect(menu, &m);
    ASSERT_TRUE(XClick({(m.left + m.right) / 2, m.top + (m.bottom - m.top) / 4}));  // 開く
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) && !TrayIconExists(main); }));
    EXPECT_EQ(ClientSize(main).cy, opened.cy) << "the options region did not come back open";
}

TEST_F(ShellTest, CloseAsksOnlyTheSelectedWindowAndForceCloseWarnsFirst) {
    const std::wstring log = WinPath(Opt().workDir + "/close.log");
    auto& helper = StartHelper({"--close-log", Utf8(log), "window", "stays", "--title", "E2E stays",
                                "window", "goes", "--title", "E2E goes"});
    auto& victim = StartHelper({"window", "victim", "--title", "E2E victim"});
    App& app = Launch();
    ASSERT_TRUE(app.List().Select(app.RowOf(helper["goes"])));
    ASSERT_TRUE(app.Click(ids::PEnd));
    // Sent, not posted: the window has handled WM_CLOSE when the click returns.
    EXPECT_EQ(FileText(log), "closed goes\n");
    EXPECT_TRUE(!IsWindow(helper["goes"]) && IsWindow(helper["stays"]) && helper.Process().Running());

    ASSERT_TRUE(app.List().Select(app.RowOf(victim["victim"])));
    for (int answer : {IDNO, IDYES}) {
        AsyncClick click(app(ids::PForceCloseBtn));
        HWND box = WaitWindow(app.Process().Id(), L"#32770", app.Main());
        ASSERT_TRUE(box) << "no warning";
        Box warning = ReadBox(box);
        EXPECT_EQ(warning.title, "タスク マネージャの警告");
        EXPECT_EQ(warning.text.rfind("警告: プロセスが終了すると、", 0), 0u) << warning.text;
        EXPECT_EQ(warning.buttons, (std::vector<int>{IDYES, IDNO}));
        EXPECT_EQ(warning.byDefault, IDYES);
        EXPECT_FALSE(IsWindowEnabled(app.Main())) << "the warning is not modal";
        ASSERT_TRUE(Press(box, answer));
        ASSERT_TRUE(click.Done(10s));
        EXPECT_EQ(victim.Process().WaitExit(answer == IDYES ? 5s : 300ms), answer == IDYES);
    }
    EXPECT_EQ(victim.Process().ExitCode(), 0u);
    EXPECT_TRUE(app.Process().Running());
}

}  // namespace
}  // namespace e2e
