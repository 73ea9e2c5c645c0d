// The window list: what the start-up refresh and later refreshes put in it,
// checked against real windows that the helper makes in a process of its own.
#include <windows.h>

#include <algorithm>
#include <set>

#include "harness/desktop.h"
#include "harness/fixture.h"
#include "harness/input.h"
#include "harness/options.h"
#include "harness/wait.h"

namespace e2e {
namespace {

class CatalogueTest : public KelvorinTest {
  protected:
    // The row showing window h, or -1.
    int RowOf(HWND h) { return app_->List().FindRow(kHandleCol, HandleText(h)); }
    std::string CellOf(HWND h, Column column) {
        int row = RowOf(h);
        return row < 0 ? "<no row>" : app_->List().Cell(row, column);
    }
};

TEST_F(CatalogueTest, StartUpListsEachTitledWindowWithHandleTitleAndVisibility) {
    auto& helper = StartHelper({
        {"window", "shown", "--title", "E2E shown window"},
        {"window", "hidden", "--title", "E2E hidden window", "--hidden"},
        {"window", "untitled"},
        {"window", "tool", "--title", "E2E tool window", "--tool"},
        {"dialog", "owned", "--title", "E2E owned dialog", "--owner", "shown"},
    });
    KelvorinApp& app = Launch();
    RemoteListView& list = app.List();

    struct Expected {
        const char* name;
        const char* title;
        const std::string& visibility;
    };
    for (const Expected& e : {Expected{"shown", "E2E shown window", kShown},
                              Expected{"hidden", "E2E hidden window", kHidden},
                              Expected{"tool", "E2E tool window", kShown},
                              Expected{"owned", "E2E owned dialog", kShown}}) {
        SCOPED_TRACE(e.name);
        int row = RowOf(helper.Window(e.name));
        ASSERT_GE(row, 0) << "no row for handle " << HandleText(helper.Window(e.name));
        EXPECT_EQ(list.Cell(row, kCaptionCol), e.title);
        EXPECT_EQ(list.Cell(row, kVisibilityCol), e.visibility);
        EXPECT_EQ(list.Cell(row, kIconCol), "") << "the first column shows only the icon";
    }
    EXPECT_EQ(RowOf(helper.Window("untitled")), -1) << "a window without a title gets no row";

    // The program's own window was still hidden while the list was built.
    int own = RowOf(app.MainWindow());
    ASSERT_GE(own, 0) << "the program's own window is not listed";
    EXPECT_EQ(list.Cell(own, kCaptionCol), "Kelvorin");
    EXPECT_EQ(list.Cell(own, kVisibilityCol), kHidden);

    EXPECT_EQ(list.SelectedRow(), 0) << "start-up marks the top row selected";
}

TEST_F(CatalogueTest, RefreshButtonRebuildsTheListFromTheDesktopAsItIsNow) {
    auto& early = StartHelper({
        {"window", "stays", "--title", "E2E stays", "--hidden"},
        {"window", "goes", "--title", "E2E goes"},
    });
    KelvorinApp& app = Launch();
    auto& late = StartHelper({
        {"window", "new", "--title", "E2E new window"},
        {"window", "newhidden", "--title", "E2E new hidden window", "--hidden"},
    });
    PostMessageW(early.Window("goes"), WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(early.Window("goes")); }));
    ShowWindow(early.Window("stays"), SW_SHOWNOACTIVATE);

    // Nothing changes until the user asks.
    EXPECT_EQ(RowOf(late.Window("new")), -1);
    EXPECT_EQ(CellOf(early.Window("stays"), kVisibilityCol), kHidden);

    ASSERT_TRUE(app.Click(ids::PRefreshBtn));
    EXPECT_TRUE(IsWindowVisible(app.List().Handle()))
        << "the list is shown again after the rebuild";
    EXPECT_EQ(CellOf(late.Window("new"), kCaptionCol), "E2E new window");
    EXPECT_EQ(CellOf(late.Window("new"), kVisibilityCol), kShown);
    EXPECT_EQ(CellOf(late.Window("newhidden"), kVisibilityCol), kHidden);
    EXPECT_EQ(RowOf(early.Window("goes")), -1) << "a closed window keeps its row";
    EXPECT_EQ(CellOf(early.Window("stays"), kVisibilityCol), kShown);
    EXPECT_EQ(CellOf(app.MainWindow(), kVisibilityCol), kShown)
        << "the program's own window is shown by now";
    EXPECT_EQ(app.List().SelectedRow(), 0)
        << "the first row added is the selection after a refresh";
}

TEST_F(CatalogueTest, ImeCheckBoxHidesAndRestoresPrefixedTitlesAtOnce) {
    auto& helper = StartHelper({
        {"window", "ime", "--title", "Default IME E2E", "--hidden"},
        {"window", "atok", "--title", "ATOK E2E"},
        {"window", "imejp", "--title", "imejp E2E", "--hidden"},
        {"window", "tessaly", "--title", "Tessaly E2E", "--hidden"},
        {"window", "lower", "--title", "default IME E2E", "--hidden"},
        {"window", "later", "--title", "E2E ATOK", "--hidden"},
    });
    KelvorinApp& app = Launch();
    const char* prefixed[] = {"ime", "atok", "imejp", "tessaly"};
    // Another letter case, or the prefix later in the title, never hides.
    const char* unaffected[] = {"lower", "later"};
    auto expectListed = [&](bool prefixedListed) {
        for (const char* name : prefixed)
            EXPECT_EQ(RowOf(helper.Window(name)) >= 0, prefixedListed) << name;
        for (const char* name : unaffected) EXPECT_GE(RowOf(helper.Window(name)), 0) << name;
    };

    ASSERT_EQ(app.CheckState(ids::IMEUnShowChk), BST_CHECKED);
    expectListed(false);

    ASSERT_TRUE(app.Click(ids::IMEUnShowChk));
    EXPECT_EQ(app.CheckState(ids::IMEUnShowChk), BST_UNCHECKED);
    expectListed(true);
    EXPECT_EQ(CellOf(helper.Window("atok"), kCaptionCol), "ATOK E2E");

    // Back again with a real click: the box sits over the list and must stay clickable there.
    ASSERT_TRUE(XClick(CentreOf(app.Control(ids::IMEUnShowChk))));
    ASSERT_TRUE(WaitUntil([&] { return app.CheckState(ids::IMEUnShowChk) == BST_CHECKED; }))
        << "a click on the box did not check it";
    ASSERT_TRUE(WaitUntil([&] { return RowOf(helper.Window("atok")) < 0; }));
    expectListed(false);
}

TEST_F(CatalogueTest, TitlesAreReadThroughTheAnsiCodePage) {
    std::string longTitle;
    for (int i = 0; longTitle.size() < 300; ++i) longTitle += char('A' + i % 26);
    const std::string japanese = "日本語のウィンドウ";
    auto& helper = StartHelper({
        {"window", "long", "--title", longTitle, "--hidden"},
        {"window", "jp", "--title", japanese, "--hidden"},
    });
    Launch();

    EXPECT_EQ(CellOf(helper.Window("long"), kCaptionCol), longTitle.substr(0, 255));
    // Code page 1252 has no such characters: each reads as '?', as any ANSI program sees it.
    std::string expected = GetACP() == 932 ? japanese : std::string(9, '?');
    EXPECT_EQ(CellOf(helper.Window("jp"), kCaptionCol), expected);
}

}  // namespace
}  // namespace e2e
