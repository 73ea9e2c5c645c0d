// The main window as made, and its list as read across processes: titles
// through the ANSI code page, visibility, the owning process and its icon,
// and the header sort.
#include <tuple>

#include "harness/e2e.h"

namespace e2e {
namespace {

using CatalogueTest = KelvorinTest;

TEST_F(CatalogueTest, TheWindowIsMadeAsDesignedAndListsEachTitledWindowWithItsProcessAndIcon) {
    const bool dbcs = opt.codepage == 932;
    // 254 letters, then a double-byte character across the end of the 256-byte buffer.
    const std::string cut(254, 'A'), japanese = "日本語のウィンドウ";
    auto& plain = StartHelper(
        "window|shown|--title|E2E shown|window|hidden|--hidden|--title|e2e hidden|window|HIDDEN|"
        "--title|E2E HIDDEN|window|untitled|window|long|"
        "--hidden|--title|" +
        cut + "日本|window|jp|--hidden|--title|" + japanese);
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
    // The main window and one control of each kind.
    HWND main = app.Main(), combo = app(ids::ButtonCmb);
    EXPECT_EQ(Text(main), "Kelvorin");
    EXPECT_EQ(ClientSize(main).cx, Pixels(10890));
    EXPECT_EQ(ClientSize(main).cy, Pixels(4635));
    const LONG frame = WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_SYSMENU;
    EXPECT_EQ(GetWindowLongW(main, GWL_STYLE) & frame, WS_MINIMIZEBOX | WS_SYSMENU);
    RECT r = WindowRect(main);
    EXPECT_NEAR(r.left + r.right, GetSystemMetrics(SM_CXSCREEN), 2) << "not centred";
    // Each kind's class, style (its five low bits exactly) and sunken edge; the slider's ticks.
    using Kind = std::tuple<int, const wchar_t*, LONG>;
    const LONG report = LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS;
    for (auto [id, cls, style] :
         {Kind{ids::ListView1, WC_LISTVIEWW, report | WS_TABSTOP},
          Kind{ids::Command1, L"Button", BS_MULTILINE | WS_TABSTOP},
          Kind{ids::IMEUnShowChk, L"Button", BS_CHECKBOX | WS_TABSTOP},
          Kind{ids::Frame2, L"Button", BS_GROUPBOX}, Kind{ids::Label2, L"Static", SS_LEFT},
          Kind{ids::HandleTxt, L"Edit", ES_AUTOHSCROLL | WS_TABSTOP},
          Kind{ids::picFinder, L"Static", SS_ICON | SS_NOTIFY | SS_CENTERIMAGE},
          Kind{ids::ToumeiSld, TRACKBAR_CLASSW, TBS_AUTOTICKS | WS_TABSTOP},
          Kind{ids::ButtonCmb, L"ComboBox", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_TABSTOP},
          Kind{ids::Image2, L"Static", SS_BITMAP}, Kind{ids::Line1, L"Static", SS_ETCHEDHORZ}}) {
        wchar_t name[64] = {};
        GetClassNameW(app(id), name, 64);
        EXPECT_STREQ(name, cls);
        const LONG always = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
        EXPECT_EQ(GetWindowLongW(app(id), GWL_STYLE) & (0x1F | style | always | WS_TABSTOP),
                  style | always)
            << id;
        const bool sunken = id == ids::ListView1 || id == ids::HandleTxt || id == ids::picFinder;
        EXPECT_EQ(GetWindowLongW(app(id), GWL_EXSTYLE) & WS_EX_CLIENTEDGE,
                  sunken ? WS_EX_CLIENTEDGE : 0)
            << id;
    }
    EXPECT_EQ(SendMessageW(app(ids::ToumeiSld), TBM_GETNUMTICS, 0, 0), 13);
    // 表示する in type twice the height of 更新's, 9 points, as the screen shows them (Wine
    // answers WM_GETFONT from another process with 0).
    auto inkRows = [&](int id) {
        RECT c = WindowRect(app(id));
        std::set<int> rows;
        CountPixels({c.left + 4, c.top + 4, c.right - 4, c.bottom - 4}, [&](COLORREF p, int y) {
            return GetRValue(p) + GetGValue(p) + GetBValue(p) < 200 && rows.insert(y).second;
        });
        return int(rows.size());
    };
    const int big = inkRows(ids::Command1), usual = inkRows(ids::PRefreshBtn);
    EXPECT_TRUE(big * 3 >= usual * 5 && usual <= Pixels(180)) << big << " and " << usual << " rows";
    for (auto [id, x, y, w, h] : {std::tuple{ids::ListView1, 120, 120, 5295, 3975},
                                  {ids::HandleTxt, 6960, 2880, 1335, 270}}) {
        RECT c = WindowRect(app(id));
        MapWindowPoints(HWND_DESKTOP, main, reinterpret_cast<POINT*>(&c), 2);
        EXPECT_EQ(std::tuple(c.left, c.top, c.right - c.left, c.bottom - c.top),
                  std::tuple(Pixels(x), Pixels(y), Pixels(w), Pixels(h)));
    }
    // The IME box takes only the room its text needs and leaves the list's headers uncovered.
    r = WindowRect(app(ids::IMEUnShowChk));
    EXPECT_TRUE(r.right - r.left <= Pixels(3615) && r.bottom - r.top <= Pixels(495));
    EXPECT_LE(r.bottom, WindowRect(ListView_GetHeader(list.Handle())).top)
        << "the box covers the headers";
    const LONG extended = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES;
    EXPECT_EQ(SendMessageW(list.Handle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & extended, extended);
    LRESULT small = SendMessageW(list.Handle(), LVM_GETIMAGELIST, LVSIL_SMALL, 0);
    EXPECT_TRUE(small && small == SendMessageW(list.Handle(), LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
    for (auto [column, width] : {std::pair{kIconCol, 500}, {kHandleCol, 0}, {kCaptionCol, 3500}})
        EXPECT_EQ(list.ColumnWidth(column), Pixels(width)) << "column " << column;
    EXPECT_EQ(SendMessageW(app(ids::IMEUnShowChk), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(app.Text(ids::ButtonCmb), "閉じるボタン");
    SendMessageW(combo, CB_GETDROPPEDCONTROLRECT, 0, LPARAM(&r));
    EXPECT_GE(r.bottom - r.top, Pixels(300) + 4 * SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0))
        << "the drop-down list has no room for its four items";
    EXPECT_TRUE(SendMessageW(app(ids::Image2), STM_GETIMAGE, IMAGE_BITMAP, 0)) << "no banner";
    // The rows.
    using Row = std::tuple<Helper&, const char*, std::string, const std::string&>;
    for (const auto& [helper, name, caption, visibility] :
         {Row{plain, "shown", "E2E shown", kShown}, Row{plain, "hidden", "e2e hidden", kHidden},
          Row{plain, "long", dbcs ? cut : cut + "?", kHidden},
          Row{plain, "jp", dbcs ? japanese : std::string(9, '?'), kHidden},
          Row{icons, "icons", "E2E icons", kShown},
          Row{damaged, "damaged", "E2E damaged", kShown}}) {
        const std::string file = helper.path.substr(helper.path.rfind('\\') + 1);
        EXPECT_EQ(list.Row(app.RowOf(helper[name])),
                  (std::vector<std::string>{"", HandleText(helper[name]), file, caption,
                                            std::to_string(helper.Process().Id()), helper.path,
                                            visibility}));
    }
    EXPECT_EQ(app.RowOf(plain["untitled"]), -1);
    int own = app.RowOf(app.Main());
    ASSERT_GE(own, 0);
    EXPECT_EQ(list.Cell(own, kVisibleCol), kHidden) << "listed before it was shown";

    // The icon helper's row shows its square at 16 x 16 (8 x 8 of it coloured);
    // the plain helper's, whose file has none, a placeholder, as the damaged one's.
    ASSERT_TRUE(list.Select(own));  // no highlight on the rows looked at
    auto count = [&](HWND h, COLORREF colour, int* area = nullptr) {
        RECT c = list.ItemRect(app.RowOf(h));
        c = {c.left + 2, c.top + 2, c.left + list.ColumnWidth(kIconCol) - 2, c.bottom - 2};
        if (area) *area = (c.right - c.left) * (c.bottom - c.top);
        return CountPixels(c, [&](COLORREF pixel, int) { return pixel == colour; });
    };
    int area = 0;
    const COLORREF window = GetSysColor(COLOR_WINDOW);  // the ground, through the mask
    EXPECT_TRUE(WaitUntil([&] {
        return count(icons["icons"], kIconColours[0], &area) == 64 &&
               count(icons["icons"], window) == area - 64;
    })) << count(icons["icons"], kIconColours[0])
        << " pixels of the icon's colour";
    EXPECT_LT(count(plain["shown"], window, &area), area) << "a blank cell";
    EXPECT_EQ(count(plain["shown"], kIconColours[0]) + count(damaged["damaged"], kIconColours[0]),
              0);

    // A click on the caption's header sorts by it, descending, letter case aside;
    // a second click ascending. The selection stays on its row.
    using Order = std::vector<std::string>;
    auto ours = [&] {
        Order found;
        for (int row = 0; row < list.Count(); ++row)
            if (std::string t = list.Cell(row, kCaptionCol); t.find("2") == 1) found.push_back(t);
        return found;
    };
    RECT h = WindowRect(ListView_GetHeader(list.Handle()));
    POINT p{h.left + list.ColumnWidth(kIconCol) + list.ColumnWidth(kCaptionCol) / 2,
            (h.top + h.bottom) / 2};
    Order was = ours(), same = {"e2e hidden", "E2E HIDDEN"};  // equal keys: as they came
    if (std::find(was.begin(), was.end(), same[0]) > std::find(was.begin(), was.end(), same[1]))
        std::swap(same[0], same[1]);
    ASSERT_TRUE(XClick({p.x - 6, p.y}));
    EXPECT_TRUE(WaitUntil([&] {
        return ours() == Order{"E2E shown", "E2E icons", same[0], same[1], "E2E damaged"};
    }));
    EXPECT_EQ(list.Selected(), app.RowOf(app.Main())) << "the selection moved";
    ASSERT_TRUE(XClick({p.x + 6, p.y}));  // apart: the two make no double click
    EXPECT_TRUE(WaitUntil([&] {
        return ours() == Order{"E2E damaged", same[0], same[1], "E2E icons", "E2E shown"};
    }));
}

}  // namespace
}  // namespace e2e
