// The main window as made, and its list as read across processes: titles
// through the ANSI code page, visibility, the owning process and its icon,
// and the header sort.
#include "harness/e2e.h"

namespace e2e {
namespace {

using CatalogueTest = KelvorinTest;

TEST_F(CatalogueTest, TheMainWindowAndOneControlOfEachKindAreMadeAsDesigned) {
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
    HWND listView = app(ids::ListView1), combo = app(ids::ButtonCmb), ime = app(ids::IMEUnShowChk);
    // The IME box takes only the room its text needs and leaves the list's headers uncovered.
    r = WindowRect(ime);
    EXPECT_EQ(GetWindowLongW(ime, GWL_STYLE) & (0x1F | WS_TABSTOP), BS_CHECKBOX | WS_TABSTOP);
    EXPECT_TRUE(r.right - r.left <= Pixels(3615) && r.bottom - r.top <= Pixels(495));
    EXPECT_LE(r.bottom, WindowRect(ListView_GetHeader(listView)).top)
        << "the box covers the headers";
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

TEST_F(CatalogueTest, RowsShowEachTitledWindowWithItsProcessAndIcon) {
    const bool dbcs = opt.codepage == 932;
    // 254 letters, then a double-byte character across the end of the 256-byte buffer.
    const std::string cut(254, 'A'), japanese = "日本語のウィンドウ";
    auto& plain = StartHelper(
        "window|shown|--title|E2E shown|window|hidden|--hidden|--title|"
        "E2E hidden|window|untitled|window|ime|--title|Default IME E2E|"
        "window|long|--hidden|--title|" +
        cut +
        "日本|window|jp|--hidden|"
        "--tool|--title|" +
        japanese);
    // A file name the ANSI code page holds, but not plain ASCII.
    auto& icons = StartHelper("window|icons|--title|E2E icons",
                              IconHelper("rows", dbcs ? L"アイコン見本.exe" : L"Icônes.exe"));
    // A file with a damaged icon, put in the running one's place (Wine would not start it).
    const std::wstring exe = IconHelper("damaged", L"damaged.exe"), aside = exe + L".running";
    auto& damaged = StartHelper("window|damaged|--title|E2E damaged", exe);
    ASSERT_TRUE(MoveFileW(exe.c_str(), aside.c_str()) && CopyFileW(aside.c_str(), exe.c_str(), 1));
    ASSERT_TRUE(DamageFirstIcon(exe));
    App& app = Launch();
    RemoteList& list = app.List();
    struct Row {
        Helper& helper;
        const char* name;
        std::string caption;
        const std::string& visibility;
    };
    for (const Row& r :
         {Row{plain, "shown", "E2E shown", kShown}, Row{plain, "hidden", "E2E hidden", kHidden},
          Row{plain, "long", dbcs ? cut : cut + "?", kHidden},
          Row{plain, "jp", dbcs ? japanese : std::string(9, '?'), kHidden},
          Row{icons, "icons", "E2E icons", kShown},
          Row{damaged, "damaged", "E2E damaged", kShown}}) {
        std::string name = r.helper.path.substr(r.helper.path.rfind('\\') + 1);
        EXPECT_EQ(list.Row(app.RowOf(r.helper[r.name])),
                  (std::vector<std::string>{"", HandleText(r.helper[r.name]), name, r.caption,
                                            std::to_string(r.helper.Pid()), r.helper.path,
                                            r.visibility}));
    }
    EXPECT_EQ(app.RowOf(plain["untitled"]), -1);
    EXPECT_EQ(app.RowOf(plain["ime"]), -1) << "IME windows are left out at start";
    int own = app.RowOf(app.Main());
    ASSERT_GE(own, 0);
    EXPECT_EQ(list.Cell(own, kVisibleCol), kHidden) << "listed before it was shown";
    EXPECT_EQ(list.Cell(own, kPidCol), std::to_string(app.Process().Id()));
    EXPECT_EQ(list.Selected(), 0);

    // The icon helper's row shows its square at 16 x 16 (8 x 8 of it coloured);
    // the plain helper's, whose file has none, a placeholder, as the damaged one's.
    ASSERT_TRUE(list.Select(own));  // no highlight on the rows looked at
    auto count = [&](HWND h, COLORREF colour, int* area = nullptr) {
        RECT r = list.ItemRect(app.RowOf(h));
        r = {r.left + 2, r.top + 2, r.left + list.ColumnWidth(kIconCol) - 2, r.bottom - 2};
        if (area) *area = (r.right - r.left) * (r.bottom - r.top);
        return CountPixels(r, colour);
    };
    EXPECT_TRUE(WaitUntil([&] { return count(icons["icons"], kIconColours[0]) == 64; }))
        << count(icons["icons"], kIconColours[0]) << " pixels of the icon's colour";
    int area = 0;
    EXPECT_LT(count(plain["shown"], GetSysColor(COLOR_WINDOW), &area), area) << "a blank cell";
    EXPECT_EQ(count(plain["shown"], kIconColours[0]) + count(damaged["damaged"], kIconColours[0]),
              0);
}

TEST_F(CatalogueTest, HeaderClicksSortAndTheImeBoxRelistsInThatOrder) {
    // Letter case against the alphabet, and two titles equal but for case,
    // which keep their order both ways; "ATOK" titles are left out at start.
    auto& helper = StartHelper(
        "window|b|--title|E2E sort b|window|c|--title|E2E sort C|window|a|"
        "--hidden|--title|e2e SORT a|window|x|--title|e2e sort x|window|X|"
        "--title|E2E SORT X|window|atok|--hidden|--title|ATOK E2E");
    App& app = Launch();
    RemoteList& list = app.List();
    using Order = std::vector<std::string>;
    auto ours = [&] {
        Order found;
        for (int row = 0; row < list.Count(); ++row)
            if (std::string t = list.Cell(row, kCaptionCol);
                t.find("2E") != t.npos || t.find("2e") != t.npos)
                found.push_back(t);
        return found;
    };
    Order unsorted = ours(), x = {"e2e sort x", "E2E SORT X"};  // equal keys: as they came
    if (std::find(unsorted.begin(), unsorted.end(), x[0]) >
        std::find(unsorted.begin(), unsorted.end(), x[1]))
        std::swap(x[0], x[1]);
    // The caption header, where nothing lies over it.
    HWND header = HWND(SendMessageW(list.Handle(), LVM_GETHEADER, 0, 0));
    RECT h = WindowRect(header);
    int left = h.left + list.ColumnWidth(kIconCol) + 4, y = (h.top + h.bottom) / 2, right = left;
    while (right < left + 200 && WindowFromPoint({right + 1, y}) == header) ++right;
    ASSERT_GT(right, left + 20) << "the caption header is covered";
    ASSERT_TRUE(list.Select(app.RowOf(helper["b"])));

    ASSERT_TRUE(XClick({(left + right) / 2 - 6, y}));
    EXPECT_TRUE(WaitUntil([&] {
        return ours() == Order{x[0], x[1], "E2E sort C", "E2E sort b", "e2e SORT a"};
    }));
    EXPECT_EQ(list.Cell(list.Selected(), kHandleCol), HandleText(helper["b"]))
        << "the selection moved";
    ASSERT_TRUE(XClick({(left + right) / 2 + 6, y}));  // apart: the two make no double click
    EXPECT_TRUE(WaitUntil([&] {
        return ours() == Order{"e2e SORT a", "E2E sort b", "E2E sort C", x[0], x[1]};
    }));

    // A real click on the box: the list is rebuilt with the IME window, in the
    // order still in force.
    ASSERT_TRUE(XClick(Centre(app(ids::IMEUnShowChk))));
    EXPECT_TRUE(WaitUntil([&] { return app.Check(ids::IMEUnShowChk) == BST_UNCHECKED; }));
    EXPECT_TRUE(WaitUntil([&] { return ours().front() == "ATOK E2E"; }));
}

}  // namespace
}  // namespace e2e
