// The window list as read across processes: titles through the ANSI code
// page, visibility, the owning process and its icon; and the header sort.
#include "harness/e2e.h"

namespace e2e {
namespace {

using CatalogueTest = KelvorinTest;

TEST_F(CatalogueTest, RowsShowEachTitledWindowWithItsProcessAndIcon) {
    const bool dbcs = opt.codepage == 932;
    // 254 letters, then a double-byte character across the end of the 256-byte buffer.
    const std::string cut(254, 'A'), japanese = "日本語のウィンドウ";
    auto& plain = StartHelper(
        "window|shown|--title|E2E shown|window|hidden|--title|E2E hidden|"
        "--hidden|window|untitled|window|ime|--title|Default IME E2E|"
        "window|long|--hidden|--title|" +
        cut +
        "日本|window|jp|--hidden|"
        "--tool|--title|" +
        japanese);
    // A file name the ANSI code page holds, but not plain ASCII.
    auto& icons = StartHelper("window|icons|--title|E2E icons",
                              IconHelper("rows", dbcs ? L"アイコン見本.exe" : L"Icônes.exe"));
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
          Row{icons, "icons", "E2E icons", kShown}}) {
        std::string exe = r.helper.path.substr(r.helper.path.rfind('\\') + 1);
        EXPECT_EQ(list.Row(app.RowOf(r.helper[r.name])),
                  (std::vector<std::string>{"", HandleText(r.helper[r.name]), exe, r.caption,
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
    // the plain helper's, whose file has none, a placeholder.
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
    EXPECT_EQ(count(plain["shown"], kIconColours[0]), 0);
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
    // The caption header's part that IMEUnShowChk, lying over the list, leaves uncovered.
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

    // A real click on the box where it lies over the list: the list is rebuilt
    // with the IME window, in the order still in force.
    ASSERT_TRUE(XClick(Centre(app(ids::IMEUnShowChk))));
    EXPECT_TRUE(WaitUntil([&] { return app.Check(ids::IMEUnShowChk) == BST_UNCHECKED; }));
    EXPECT_TRUE(WaitUntil([&] { return ours().front() == "ATOK E2E"; }));
}

}  // namespace
}  // namespace e2e
