// The keyboard on both windows: Tab in reading order, the focus back where
// it was, Space on the focused control, and arrow keys that load rows.
#include <iterator>

#include "harness/e2e.h"

namespace e2e {
namespace {

// clang-format off
const int kMainOrder[] = {
    ids::ListView1, ids::IMEUnShowChk, ids::Command1, ids::Command3, ids::Command4,
    ids::HandleTxt, ids::GetParentHandleBtn, ids::txtClassName,
    ids::PRefreshBtn, ids::PForceCloseBtn, ids::PEnd, ids::Command2,
    ids::CaptionTxt, ids::CaptionChangeBtn, ids::WinVisibleChk, ids::TemaeChk, ids::TaskBarShowChk,
    ids::SaihaimenChk, ids::PIconGetBtn, ids::ToumeiSld, ids::ButtonCmb, ids::ButtonUnEnabledBtn,
    ids::ButtonEnabledBtn};
const int kExtractorOrder[] = {ids::IconText1, ids::IconCommand1, ids::IconListView1,
                               ids::IconCommand2, ids::IconCommand3};
// clang-format on

class KeyboardTest : public KelvorinTest {
  protected:
    void SetUp() override { StartShell(); }  // else each load re-parents the window it reads
    // Keys go to the focus of the window in front.
    static bool Front(HWND h) {
        return WaitUntil([&] { SetForegroundWindow(h); return GetForegroundWindow() == h; }, 3s);
    }
    static testing::AssertionResult TabTo(HWND window, int id) {
        for (int i = 0; i < 30 && Focused(window) != GetDlgItem(window, id); ++i) {
            HWND before = Focused(window);
            Keys({VK_TAB});
            WaitUntil([&] { return Focused(window) != before; }, 2s);
        }
        return Focused(window) == GetDlgItem(window, id) ? testing::AssertionSuccess()
                                                         : testing::AssertionFailure() << "Tab never reached " << id;
    }
};

TEST_F(KeyboardTest, TabGoesInReadingOrderAndSpaceAndArrowKeysAct) {
    auto& helper = StartHelper({"window", "a", "--title", "E2E keys a"});
    App& app = Launch();
    HWND main = app.Main(), late = StartHelper({"window", "late", "--title", "E2E keys late", "--hidden"})["late"];
    RemoteList& list = app.List();
    ASSERT_TRUE(Front(main));
    EXPECT_TRUE(WaitUntil([&] { return Focused(main) == app(ids::ListView1); })) << "the list has not the focus at first";
    // A plain window loaded, so that every box is enabled; the click takes the focus along.
    ASSERT_TRUE(list.Select(app.RowOf(helper["a"])));
    ASSERT_TRUE(app.Click(ids::Command2));
    ASSERT_TRUE(TabTo(main, ids::ListView1));
    const size_t n = std::size(kMainOrder);
    for (size_t i = 1; i <= n; ++i) ASSERT_TRUE(Tab(main, kMainOrder[i % n]));
    for (size_t i = n; i-- > 0;) ASSERT_TRUE(Tab(main, kMainOrder[i], true));
    // A text box reached by Tab has its text selected.
    ASSERT_TRUE(TabTo(main, ids::CaptionTxt));
    EXPECT_EQ(SendMessageW(app(ids::CaptionTxt), EM_GETSEL, 0, 0), MAKELONG(0, 10));  // "E2E keys a"

    ASSERT_TRUE(TabTo(main, ids::TemaeChk));
    ASSERT_TRUE(Keys({VK_SPACE}));
    EXPECT_TRUE(WaitUntil([&] { return IsTopmost(helper["a"]) && app.Check(ids::TemaeChk) == BST_CHECKED; }));
    ASSERT_TRUE(TabTo(main, ids::PRefreshBtn));
    ASSERT_TRUE(Keys({VK_SPACE}));
    EXPECT_TRUE(WaitUntil([&] { return app.RowOf(late) >= 0; })) << "Space on 更新 did not relist";

    ASSERT_TRUE(TabTo(main, ids::ListView1));
    for (int step = 1; step <= 2; ++step) {
        int row = list.Selected() + 1;
        ASSERT_TRUE(Keys({VK_DOWN}));
        ASSERT_TRUE(WaitUntil([&] { return list.Selected() == row; }));
        std::vector<std::string> cells = list.Row(row);
        EXPECT_TRUE(WaitUntil([&] {
            return Clipboard() == cells[kHandleCol] + "\t" + cells[kNameCol] + "\t" + cells[kCaptionCol] + "\t" +
                                      cells[kPidCol] + "\t" + cells[kPathCol];
        })) << "row " << row << " was not loaded";
    }

    // With the options region closed, its controls are out of reach both ways.
    ASSERT_TRUE(app.Click(ids::Command2));
    ASSERT_TRUE(Tab(main, ids::ListView1));
    ASSERT_TRUE(Tab(main, ids::Command2, true));
}

TEST_F(KeyboardTest, TheExtractorOpensTabsAndClosesByKeysAndTheFocusComesBack) {
    auto& helper = StartHelper({"window", "w", "--title", "E2E keys extractor"});
    App& app = Launch();
    HWND main = app.Main();
    ASSERT_TRUE(app.List().Select(app.RowOf(helper["w"])));
    ASSERT_TRUE(app.Click(ids::Command2));
    ASSERT_TRUE(Front(main));
    ASSERT_TRUE(TabTo(main, ids::PIconGetBtn));
    ASSERT_TRUE(Keys({VK_SPACE}));
    HWND extractor = WaitWindow(app.Process().Id(), ids::kIconGetterClass, main);
    ASSERT_TRUE(extractor) << "Space opened no extractor";
    EXPECT_TRUE(WaitUntil([&] { return Focused(extractor) == GetDlgItem(extractor, ids::IconText1); }));
    const size_t n = std::size(kExtractorOrder);
    for (size_t i = 1; i <= n; ++i) ASSERT_TRUE(Tab(extractor, kExtractorOrder[i % n]));
    for (size_t i = n; i-- > 0;) ASSERT_TRUE(Tab(extractor, kExtractorOrder[i], true));
    ASSERT_TRUE(Tab(extractor, ids::IconCommand3, true));
    ASSERT_TRUE(Keys({VK_SPACE}));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(extractor) && IsWindowEnabled(main) && GetForegroundWindow() == main; }));
    EXPECT_TRUE(WaitUntil([&] { return Focused(main) == app(ids::PIconGetBtn); })) << "the focus did not come back";
}

}  // namespace
}  // namespace e2e
