// The window list as read across processes: titles through the ANSI code
// page, visibility, the owning process and its icon; and the header sort.
#include <algorithm>
#include <set>

#include "harness/e2e.h"

namespace e2e {
namespace {

using CatalogueTest = KelvorinTest;

// A copy of the helper with icons, under a name the ANSI code page can hold
// but that is not plain ASCII.
std::wstring IconHelperExe(const std::string& dir) {
    std::wstring exe = WinPath(Opt().workDir + "/" + dir);
    CreateDirectoryW(exe.c_str(), nullptr);
    exe += Opt().codepage == 932 ? L"\\アイコン見本.exe" : L"\\Icônes.exe";
    if (!CopyFileW(Opt().helper.c_str(), exe.c_str(), FALSE) || !AddIcons(exe))
        throw std::runtime_error("the helper copy got no icons");
    return exe;
}

TEST_F(CatalogueTest, RowsShowEachTitledWindowWithItsProcessAndIcon) {
    const bool dbcs = Opt().codepage == 932;
    // 254 letters, then a double-byte character across the 256-byte buffer's end.
    const std::string cut(254, 'A'), japanese = "日本語のウィンドウ";
    auto& plain = StartHelper({"window", "shown", "--title", "E2E shown", "window", "hidden",
                               "--title", "E2E hidden", "--hidden", "window", "untitled",
                               "window", "ime", "--title", "Default IME E2E", "window", "long",
                               "--title", cut + "日本", "--hidden", "window", "jp", "--title",
                               japanese, "--hidden", "--tool"});
    auto& icons = StartHelper({"window", "icons", "--title", "E2E icons"}, IconHelperExe("rows"));
    App& app = Launch();
    RemoteList& list = app.List();

    struct Row {
        Helper& helper;
        const char* name;
        std::string caption;
        const std::string& visibility;
    };
    for (const Row& r : {Row{plain, "shown", "E2E shown", kShown},
                         Row{plain, "hidden", "E2E hidden", kHidden},
                         Row{plain, "long", dbcs ? cut : cut + "?", kHidden},
                         Row{plain, "jp", dbcs ? japanese : std::string(9, '?'), kHidden},
                         Row{icons, "icons", "E2E icons", kShown}}) {
        SCOPED_TRACE(r.name);
        int row = app.RowOf(r.helper[r.name]);
        ASSERT_GE(row, 0);
        std::string exe = r.helper.path.substr(r.helper.path.rfind('\\') + 1);
        EXPECT_EQ(list.Row(row), (std::vector<std::string>{"", HandleText(r.helper[r.name]), exe,
                                                           r.caption, std::to_string(r.helper.Pid()),
                                                           r.helper.path, r.visibility}));
    }
    EXPECT_EQ(app.RowOf(plain["untitled"]), -1);
    EXPECT_EQ(app.RowOf(plain["ime"]), -1) << "IME windows are left out at start";
    int own = app.RowOf(app.Main());
    ASSERT_GE(own, 0);
    EXPECT_EQ(list.Cell(own, kCaptionCol), "Kelvorin");
    EXPECT_EQ(list.Cell(own, kVisibleCol), kHidden) << "listed before it was shown";
    EXPECT_EQ(list.Cell(own, kPidCol), std::to_string(app.Process().Id()));
    EXPECT_EQ(list.Selected(), 0);

    // Every row its own image; the icon helper's row shows its icon, the
    // plain helper's (its file has none) a placeholder.
    std::set<int> images;
    for (int row = 0; row < list.Count(); ++row)
        if (!list.Cell(row, kPidCol).empty()) {
            EXPECT_TRUE(images.insert(list.Image(row)).second) << "row " << row << " shares an image";
        }
    ASSERT_TRUE(list.Select(own));
    auto iconCell = [&](HWND h) {
        RECT r = list.ItemRect(app.RowOf(h));
        return ScreenPixels({r.left + 2, r.top + 2, r.left + list.ColumnWidth(kIconCol) - 2, r.bottom - 2});
    };
    const DWORD red = ScreenColour(kIconColours[0]);
    EXPECT_TRUE(WaitUntil([&] { return std::ranges::count(iconCell(icons["icons"]), red) >= 16; }))
        << "the icon helper's row does not show its icon";
    auto placeholder = iconCell(plain["shown"]);
    EXPECT_GE(std::set<DWORD>(placeholder.begin(), placeholder.end()).size(), 2u) << "a blank cell";
    EXPECT_EQ(std::ranges::count(placeholder, red), 0);
}

TEST_F(CatalogueTest, HeaderClicksSortAndTheImeBoxRelistsInThatOrder) {
    // Letter case against the alphabet; "ATOK" titles are left out at start.
    auto& helper = StartHelper({"window", "b", "--title", "E2E sort b", "window", "c", "--title",
                                "E2E sort C", "window", "a", "--title", "e2e SORT a", "--hidden",
                                "window", "atok", "--title", "ATOK E2E", "--hidden"});
    App& app = Launch();
    RemoteList& list = app.List();
    auto ours = [&] {
        std::vector<std::string> found;
        for (const auto& row : list.Rows())
            if (row[kCaptionCol].find("E2E") != std::string::npos ||
                row[kCaptionCol].find("e2e") != std::string::npos)
                found.push_back(row[kCaptionCol]);
        return found;
    };
    // The caption header's part not beneath IMEUnShowChk, which lies over the list.
    HWND header = HWND(SendMessageW(list.Handle(), LVM_GETHEADER, 0, 0));
    RECT h{};
    GetWindowRect(header, &h);
    int left = h.left + list.ColumnWidth(kIconCol) + 4, y = (h.top + h.bottom) / 2, right = left;
    while (right < left + list.ColumnWidth(kCaptionCol) - 8 && WindowFromPoint({right + 1, y}) == header)
        ++right;
    ASSERT_GT(right, left + 10) << "the caption header is covered";
    ASSERT_TRUE(list.Select(app.RowOf(helper["b"])));

    ASSERT_TRUE(XClick({(left + right) / 2 - 6, y}));
    EXPECT_TRUE(WaitUntil([&] { return ours() == std::vector<std::string>{"E2E sort C", "E2E sort b", "e2e SORT a"}; }));
    EXPECT_EQ(list.Cell(list.Selected(), kHandleCol), HandleText(helper["b"])) << "the selection moved";
    ASSERT_TRUE(XClick({(left + right) / 2 + 6, y}));  // apart, so that the two make no double click
    EXPECT_TRUE(WaitUntil([&] { return ours() == std::vector<std::string>{"e2e SORT a", "E2E sort b", "E2E sort C"}; }));

    // A real click on the box where it overlaps the list: the list is rebuilt
    // with the IME window, and the sort stays in force.
    ASSERT_TRUE(XClick(Centre(app(ids::IMEUnShowChk))));
    EXPECT_TRUE(WaitUntil([&] { return app.Check(ids::IMEUnShowChk) == BST_UNCHECKED; }));
    EXPECT_TRUE(WaitUntil([&] {
        return ours() == std::vector<std::string>{"ATOK E2E", "e2e SORT a", "E2E sort b", "E2E sort C"};
    }));
}

}  // namespace
}  // namespace e2e
