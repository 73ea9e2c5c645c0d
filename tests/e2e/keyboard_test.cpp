// The main window by keyboard: Tab in reading order, the focus where it was
// on activation, Space on the focused control, arrow keys that load rows.
#include <iterator>

#include "harness/e2e.h"

namespace e2e {
namespace {

// clang-format off
const int kOrder[] = {
    ids::ListView1, ids::IMEUnShowChk, ids::Command1, ids::Command3, ids::Command4,
    ids::HandleTxt, ids::GetParentHandleBtn, ids::txtClassName, ids::PRefreshBtn,
    ids::PForceCloseBtn, ids::PEnd, ids::Command2, ids::CaptionTxt, ids::CaptionChangeBtn,
    ids::WinVisibleChk, ids::TemaeChk, ids::TaskBarShowChk, ids::SaihaimenChk, ids::PIconGetBtn,
    ids::ToumeiSld, ids::ButtonCmb, ids::ButtonUnEnabledBtn, ids::ButtonEnabledBtn};
// clang-format on

using KeyboardTest = KelvorinTest;

TEST_F(KeyboardTest, TabGoesInReadingOrderAndSpaceAndArrowKeysAct) {
    StartShell();  // else each load re-parents the window it reads
    HWND a = StartHelper("window|a|--title|E2E keys a")["a"];
    App& app = Launch();
    HWND main = app.Main(), late = StartHelper("window|late|--title|E2E late|--hidden")["late"];
    RemoteList& list = app.List();
    ASSERT_TRUE(Front(main));
    EXPECT_TRUE(WaitUntil([&] { return Focused(main) == app(ids::ListView1); }));
    // A plain window loaded, so that every box is enabled; the click takes the focus along.
    ASSERT_TRUE(list.Select(app.RowOf(a)));
    ASSERT_TRUE(app.Click(ids::Command2));
    ASSERT_TRUE(TabTo(main, ids::ListView1));
    const size_t n = std::size(kOrder);
    for (size_t i = 1; i <= n; ++i) ASSERT_TRUE(Tab(main, kOrder[i % n]));
    for (size_t i = n; i-- > 0;) ASSERT_TRUE(Tab(main, kOrder[i], true));
    // A text box reached by Tab has its text selected.
    ASSERT_TRUE(TabTo(main, ids::CaptionTxt));
    EXPECT_EQ(SendMessageW(app(ids::CaptionTxt), EM_GETSEL, 0, 0),
              MAKELONG(0, 10));  // "E2E keys a"

    ASSERT_TRUE(TabTo(main, ids::TemaeChk));
    ASSERT_TRUE(Keys({VK_SPACE}));
    EXPECT_TRUE(WaitUntil([&] { return IsTopmost(a) && app.Check(ids::TemaeChk) == BST_CHECKED; }));
    ASSERT_TRUE(TabTo(main, ids::PRefreshBtn));
    ASSERT_TRUE(Keys({VK_SPACE}));
    EXPECT_TRUE(WaitUntil([&] { return app.RowOf(late) >= 0; })) << "Space on 更新 did not relist";

    // Each arrow step loads its row: the row's summary goes to the clipboard.
    ASSERT_TRUE(TabTo(main, ids::ListView1));
    for (int row = list.Selected() + 1, end = row + 2; row < end; ++row) {
        ASSERT_TRUE(Keys({VK_DOWN}));
        ASSERT_TRUE(WaitUntil([&] { return list.Selected() == row; }));
        std::vector<std::string> c = list.Row(row);
        std::string summary = c[1] + "\t" + c[2] + "\t" + c[3] + "\t" + c[4] + "\t" + c[5];
        EXPECT_TRUE(WaitUntil([&] { return Clipboard() == summary; })) << "row " << row;
    }

    // The focus comes back where it was when the window is activated again.
    ASSERT_TRUE(TabTo(main, ids::PRefreshBtn));
    ASSERT_TRUE(Front(a) && Front(main));
    EXPECT_TRUE(WaitUntil([&] { return Focused(main) == app(ids::PRefreshBtn); }));
    // With the options region closed its controls are out of reach both ways.
    ASSERT_TRUE(app.Click(ids::Command2));
    ASSERT_TRUE(Tab(main, ids::ListView1));
    ASSERT_TRUE(Tab(main, ids::Command2, true));
}

}  // namespace
}  // namespace e2e
