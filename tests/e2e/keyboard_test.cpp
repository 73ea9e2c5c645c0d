// The keyboard on both windows: Tab and Shift+Tab through the controls in
// reading order with the focus shown, Space on the focused button or box, and
// the arrow keys moving the list selection, each move loading its row.
#include <windows.h>

#include <iterator>

#include "harness/desktop.h"
#include "harness/fixture.h"
#include "harness/input.h"
#include "harness/modal.h"
#include "harness/wait.h"

namespace e2e {
namespace {

// The main window's keyboard order; the first kUpperControls lie in the upper
// region, the rest in the options region.
// clang-format off
const int kMainOrder[] = {
    ids::ListView1, ids::IMEUnShowChk, ids::Command1, ids::Command3, ids::Command4,
    ids::HandleTxt, ids::GetParentHandleBtn, ids::txtClassName,
    ids::PRefreshBtn, ids::PForceCloseBtn, ids::PEnd, ids::Command2,
    ids::CaptionTxt, ids::CaptionChangeBtn,
    ids::WinVisibleChk, ids::TemaeChk, ids::TaskBarShowChk, ids::SaihaimenChk, ids::PIconGetBtn,
    ids::ToumeiSld, ids::ButtonCmb, ids::ButtonUnEnabledBtn, ids::ButtonEnabledBtn};
// clang-format on
constexpr size_t kUpperControls = 12;
const int kExtractorOrder[] = {ids::IconText1, ids::IconCommand1, ids::IconListView1,
                               ids::IconCommand2, ids::IconCommand3};

// The child of `window` that holds the focus of its thread (a combo box when
// the edit inside it has it), or null.
HWND FocusedChild(HWND window) {
    GUITHREADINFO info{sizeof info};
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    for (HWND h = info.hwndFocus; h && h != GetDesktopWindow(); h = GetAncestor(h, GA_PARENT))
        if (GetAncestor(h, GA_PARENT) == window) return h;
    return nullptr;
}

// Where the keys would go, for failure messages.
std::string KeyTarget(HWND window) {
    HWND front = GetForegroundWindow();
    return "focus on control " + std::to_string(GetDlgCtrlID(FocusedChild(window))) +
           ", foreground \"" + WindowText(front) + "\" (" + ClassName(front) + ")";
}

bool ShowsFocusCues(HWND window) {
    DWORD_PTR state = 0;
    return SendMessageTimeoutW(window, WM_QUERYUISTATE, 0, 0, SMTO_ABORTIFHUNG, 5000, &state) &&
           !(state & UISF_HIDEFOCUS);
}

// A window's pixels on the screen, as 0xRRGGBB values row by row.
std::vector<DWORD> Picture(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB}};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, dib);
    std::vector<DWORD> pixels;
    if (BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY))
        pixels.assign(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + size_t(w) * size_t(h));
    SelectObject(memory, old);
    DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

bool IsTopmost(HWND h) {
    return (GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

std::string RowSummary(const std::vector<std::string>& row) {
    return row[kHandleCol] + "\t" + row[kProcessNameCol] + "\t" + row[kCaptionCol] + "\t" +
           row[kProcessIdCol] + "\t" + row[kFullPathCol];
}

class KeyboardTest : public KelvorinTest {
  protected:
    // A stand-in for the desktop shell, as on every real desktop: without one
    // the state reader takes each parentless window for a bottom-most one, and
    // every load would move the window it loads.
    void SetUp() override {
        StartHelper({{"window", "progman", "--class", "Progman", "--hidden"}});
    }
    // Keys go to the foreground window's focus, so the window comes to the front first.
    bool BringToFront(HWND h) {
        return WaitUntil(
            [&] {
                if (GetForegroundWindow() == h) return true;
                SetForegroundWindow(h);
                return false;
            },
            3s, 50ms);
    }
    // One Tab (or Shift+Tab); true when the focus then lands on control `id`.
    testing::AssertionResult Tab(HWND window, int id, bool back = false) {
        SendKeys(back ? std::vector<WORD>{VK_SHIFT, VK_TAB} : std::vector<WORD>{VK_TAB});
        HWND want = FindControl(window, id);
        if (WaitUntil([&] { return FocusedChild(window) == want; }, 2s))
            return testing::AssertionSuccess();
        return testing::AssertionFailure() << (back ? "Shift+Tab" : "Tab") << " to control " << id
                                           << " left the " << KeyTarget(window);
    }
    // A Tab onto push button `id` that must change its look: the focus
    // rectangle appears. Wine keeps no UI state (WM_QUERYUISTATE answers 0
    // whatever was set), so only the picture tells a hidden focus there.
    testing::AssertionResult TabShowingFocus(HWND window, int id) {
        HWND button = FindControl(window, id);
        std::vector<DWORD> unfocused = Picture(button);
        testing::AssertionResult moved = Tab(window, id);
        if (!moved || WaitUntil([&] { return Picture(button) != unfocused; }, 2s)) return moved;
        return testing::AssertionFailure() << "control " << id << " looks the same with the focus";
    }
    // Tabs forward until control `id` has the focus.
    testing::AssertionResult TabTo(HWND window, int id) {
        HWND want = FindControl(window, id);
        for (int i = 0; i < 30 && FocusedChild(window) != want; ++i) {
            HWND before = FocusedChild(window);
            SendKeys({VK_TAB});
            WaitUntil([&] { return FocusedChild(window) != before; }, 2s);
        }
        if (FocusedChild(window) == want) return testing::AssertionSuccess();
        return testing::AssertionFailure()
               << "Tab never reached control " << id << ": " << KeyTarget(window);
    }
    int RowOf(HWND h) { return app_->List().FindRow(kHandleCol, HandleText(h)); }
};

TEST_F(KeyboardTest, TabWalksTheMainWindowInReadingOrderAndShowsTheFocus) {
    auto& helper = StartHelper({{"window", "plain", "--title", "E2E keyboard plain"}});
    KelvorinApp& app = Launch();
    HWND main = app.MainWindow();
    ASSERT_TRUE(BringToFront(main));
    EXPECT_TRUE(WaitUntil([&] { return FocusedChild(main) == app.Control(ids::ListView1); }))
        << "the list has not the focus at first: " << KeyTarget(main);
    // A plain visible window loaded, so that every box of the options region
    // is enabled; the click on オプション... takes the focus along.
    ASSERT_TRUE(app.List().Select(RowOf(helper.Window("plain"))));
    ASSERT_TRUE(app.Click(ids::Command2));
    ASSERT_TRUE(TabTo(main, ids::ListView1));

    const size_t n = std::size(kMainOrder);
    for (size_t i = 1; i <= n; ++i) {
        int id = kMainOrder[i % n];
        ASSERT_TRUE(id == ids::PRefreshBtn ? TabShowingFocus(main, id) : Tab(main, id));
        if (i == 1) {
            EXPECT_TRUE(ShowsFocusCues(main)) << "the focus is hidden after a Tab";
        }
    }
    for (size_t i = n; i-- > 0;) ASSERT_TRUE(Tab(main, kMainOrder[i], true));

    // With the options region closed its controls are out of reach both ways;
    // the click on オプション... leaves the focus there.
    ASSERT_TRUE(app.Click(ids::Command2));
    ASSERT_EQ(FocusedChild(main), app.Control(ids::Command2));
    ASSERT_TRUE(Tab(main, ids::ListView1));
    ASSERT_TRUE(Tab(main, ids::Command2, true));
}

TEST_F(KeyboardTest, SpaceRunsTheFocusedButtonOrBoxAsAClickDoes) {
    auto& helper = StartHelper({{"window", "target", "--title", "E2E keyboard target"}});
    KelvorinApp& app = Launch();
    HWND main = app.MainWindow(), target = helper.Window("target");
    // Made after the start, so only a refresh lists it; hidden, so it takes no focus.
    HWND late = StartHelper({{"window", "late", "--title", "E2E keyboard late", "--hidden"}})
                    .Window("late");
    RemoteListView& list = app.List();
    ASSERT_EQ(RowOf(late), -1);
    ASSERT_TRUE(app.Click(ids::Command2));
    ASSERT_TRUE(BringToFront(main));

    ASSERT_TRUE(TabTo(main, ids::PRefreshBtn));
    ASSERT_TRUE(SendKeys({VK_SPACE}));
    EXPECT_TRUE(WaitUntil([&] { return RowOf(late) >= 0; })) << "Space on 更新 did not refresh";
    EXPECT_TRUE(WaitUntil([&] { return ClipboardText() == RowSummary(list.Row(0)); }))
        << "the refresh did not load the top row";

    ASSERT_TRUE(list.Select(RowOf(target)));
    ASSERT_EQ(app.Text(ids::CaptionTxt), "E2E keyboard target");
    ASSERT_FALSE(IsTopmost(target));
    ASSERT_TRUE(TabTo(main, ids::TemaeChk));
    ASSERT_TRUE(SendKeys({VK_SPACE}));
    EXPECT_TRUE(WaitUntil([&] { return IsTopmost(target); })) << "Space did not check the box";
    EXPECT_EQ(app.CheckState(ids::TemaeChk), BST_CHECKED);
    ASSERT_TRUE(SendKeys({VK_SPACE}));
    EXPECT_TRUE(WaitUntil([&] { return !IsTopmost(target); })) << "Space did not clear the box";
    EXPECT_EQ(app.CheckState(ids::TemaeChk), BST_UNCHECKED);
}

TEST_F(KeyboardTest, ArrowKeysMoveTheListSelectionAndEachMoveLoadsItsRow) {
    StartHelper({
        {"window", "a", "--title", "E2E arrows a"},
        {"window", "b", "--title", "E2E arrows b"},
        {"window", "c", "--title", "E2E arrows c"},
    });
    KelvorinApp& app = Launch();
    RemoteListView& list = app.List();
    ASSERT_GE(list.RowCount(), 3);
    ASSERT_TRUE(list.Select(0));
    ASSERT_TRUE(BringToFront(app.MainWindow()));
    ASSERT_TRUE(TabTo(app.MainWindow(), ids::ListView1));

    struct Step {
        WORD key;
        int row;
    };
    for (const Step& step : {Step{VK_DOWN, 1}, Step{VK_DOWN, 2}, Step{VK_UP, 1}}) {
        SCOPED_TRACE(step.row);
        ASSERT_TRUE(SendKeys({step.key}));
        ASSERT_TRUE(WaitUntil([&] { return list.SelectedRow() == step.row; }))
            << "row " << list.SelectedRow() << " selected, " << KeyTarget(app.MainWindow());
        std::vector<std::string> row = list.Row(step.row);
        EXPECT_TRUE(WaitUntil([&] { return ClipboardText() == RowSummary(row); }))
            << "clipboard: " << ClipboardText().value_or("<none>");
        EXPECT_EQ(app.Text(ids::CaptionTxt), row[kCaptionCol]);
    }
}

TEST_F(KeyboardTest, ExtractorOpensAndClosesBySpaceAndTabsThroughItsControls) {
    auto& helper = StartHelper({{"window", "w", "--title", "E2E keyboard extractor"}});
    KelvorinApp& app = Launch();
    HWND main = app.MainWindow();
    ASSERT_TRUE(app.List().Select(RowOf(helper.Window("w"))));
    ASSERT_TRUE(app.Click(ids::Command2));
    ASSERT_TRUE(BringToFront(main));
    ASSERT_TRUE(TabTo(main, ids::PIconGetBtn));
    ASSERT_TRUE(SendKeys({VK_SPACE}));
    HWND extractor = WaitForOwnedWindow(app.ProcessId(), ids::kIconGetterClass, main, 10s);
    ASSERT_TRUE(extractor) << "Space on プロセスのアイコン取得 opened no extractor";
    ASSERT_TRUE(WaitUntil(
        [&] { return !WindowText(FindControl(extractor, ids::IconLabel3)).empty(); }, 10s));
    EXPECT_TRUE(WaitUntil([&] {
        return FocusedChild(extractor) == FindControl(extractor, ids::IconText1);
    })) << "the path field has not the focus at first";

    const size_t n = std::size(kExtractorOrder);
    for (size_t i = 1; i <= n; ++i) {
        int id = kExtractorOrder[i % n];
        ASSERT_TRUE(id == ids::IconCommand1 ? TabShowingFocus(extractor, id) : Tab(extractor, id));
        if (i == 1) {
            EXPECT_TRUE(ShowsFocusCues(extractor)) << "the focus is hidden after a Tab";
        }
    }
    for (size_t i = n; i-- > 0;) ASSERT_TRUE(Tab(extractor, kExtractorOrder[i], true));

    // Shift+Tab from the path field reaches 閉じる, and Space on it closes the
    // window; the focus returns to the button that opened it.
    ASSERT_TRUE(Tab(extractor, ids::IconCommand3, true));
    ASSERT_TRUE(SendKeys({VK_SPACE}));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(extractor); })) << "Space on 閉じる left it open";
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main) && GetForegroundWindow() == main; }));
    EXPECT_TRUE(WaitUntil([&] { return FocusedChild(main) == app.Control(ids::PIconGetBtn); }))
        << "the focus is on control " << GetDlgCtrlID(FocusedChild(main));
}

}  // namespace
}  // namespace e2e
