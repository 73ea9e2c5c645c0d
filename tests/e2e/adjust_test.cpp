// The options region at work on real windows of another process, a hung one
// among them, and the caption-bar buttons of the program's own window.
#include <functional>

#include "harness/e2e.h"

namespace e2e {
namespace {

// One program for the suite, its options region open, on a desktop with a shell.
class AdjustTest : public KelvorinTest {
  protected:
    static void SetUpTestSuite() {
        shell_ = new Helper({"window", "progman", "--class", "Progman", "--hidden"});
        shared_ = new App;
        shared_->Click(ids::Command2);
    }
    static void TearDownTestSuite() {
        delete shared_;
        delete shell_;
    }
    // Loads window h's row as a pick of it does, relisting when h has no row yet.
    bool Load(HWND h) {
        App& app = *shared_;
        if (app.RowOf(h) < 0) app.Click(ids::PRefreshBtn);
        int row = app.RowOf(h);
        if (row < 0 || (app.List().Selected() != row && !app.List().Select(row))) return false;
        return app.Text(ids::CaptionTxt) == app.List().Cell(row, kCaptionCol);
    }
    // One key on the slider, focused as the user would: its window in front first.
    int SliderKey(WORD key) {
        HWND slider = (*shared_)(ids::ToumeiSld);
        SetForegroundWindow(shared_->Main());
        DWORD owner = GetWindowThreadProcessId(slider, nullptr), self = GetCurrentThreadId();
        AttachThreadInput(self, owner, TRUE);
        SetFocus(slider);
        AttachThreadInput(self, owner, FALSE);
        EXPECT_TRUE(WaitUntil([&] { return Focused(shared_->Main()) == slider; }));
        LRESULT before = SendMessageW(slider, TBM_GETPOS, 0, 0);
        Keys({key});
        WaitUntil([&] { return SendMessageW(slider, TBM_GETPOS, 0, 0) != before; });
        return int(SendMessageW(slider, TBM_GETPOS, 0, 0));
    }
    static Helper* shell_;
    static App* shared_;
};
Helper* AdjustTest::shell_;
App* AdjustTest::shared_;

TEST_F(AdjustTest, EachBoxChangesTheLoadedWindowAndChangesItBack) {
    HWND w = StartHelper({"window", "w", "--title", "E2E adjusted"})["w"], desktop = GetDesktopWindow();
    App& app = *shared_;
    ASSERT_TRUE(Load(w));
    RECT place{};
    GetWindowRect(w, &place);
    auto cell = [&] { return app.List().Cell(app.RowOf(w), kVisibleCol); };
    struct Box {
        int id;
        std::function<bool()> on, off;
    };
    const Box boxes[] = {
        {ids::WinVisibleChk, [&] { return !IsWindowVisible(w); }, [&] { return IsWindowVisible(w); }},
        {ids::Command1, [&] { return !IsWindowVisible(w) && cell() == kHidden && app.Text(ids::Command1) == "表示する"; },
         [&] { return IsWindowVisible(w) && cell() == kShown && app.Text(ids::Command1) == "隠す"; }},
        {ids::TemaeChk, [&] { return IsTopmost(w); }, [&] { return !IsTopmost(w); }},
        {ids::SaihaimenChk, [&] { return GetAncestor(w, GA_PARENT) == (*shell_)["progman"]; },
         [&] { return GetAncestor(w, GA_PARENT) == desktop; }},
        {ids::TaskBarShowChk, [&] { return GetWindow(w, GW_OWNER) == desktop; },
         [&] { return GetWindow(w, GW_OWNER) == nullptr; }},
    };
    for (const Box& box : boxes) {
        SCOPED_TRACE(box.id);
        ASSERT_TRUE(app.Click(box.id));
        EXPECT_TRUE(box.on());
        ASSERT_TRUE(app.Click(box.id));
        EXPECT_TRUE(box.off());
        RECT now{};
        GetWindowRect(w, &now);
        EXPECT_TRUE(EqualRect(&now, &place)) << "the window moved";
    }
}

TEST_F(AdjustTest, CaptionCommandRenamesThroughTheAnsiCodePage) {
    HWND w = StartHelper({"window", "w", "--title", "E2E caption before"})["w"];
    App& app = *shared_;
    ASSERT_TRUE(Load(w));
    SendMessageW(app(ids::CaptionTxt), WM_SETTEXT, 0, LPARAM(L"新しい題名 E2E"));
    ASSERT_TRUE(app.Click(ids::CaptionChangeBtn));
    wchar_t title[64] = {};
    GetWindowTextW(w, title, 64);
    const std::string expected = Opt().codepage == 932 ? "新しい題名 E2E" : "????? E2E";
    EXPECT_EQ(Utf8(title), expected);
    EXPECT_EQ(app.List().Cell(app.RowOf(w), kCaptionCol), expected) << "the list was not rebuilt";
}

TEST_F(AdjustTest, SliderStepsFadeTheLoadedWindowOnly) {
    auto& helper = StartHelper({"window", "w", "--title", "E2E faded", "--tool", "window", "other",
                                "--title", "E2E not faded"});
    HWND w = helper["w"], slider = (*shared_)(ids::ToumeiSld);
    const LONG style = GetWindowLongW(w, GWL_EXSTYLE);
    auto alpha = [&](HWND h) {
        BYTE a = 0;
        DWORD flags = 0;
        return GetLayeredWindowAttributes(h, nullptr, &a, &flags) && (flags & LWA_ALPHA) ? int(a) : -1;
    };
    ASSERT_TRUE(Load(w));
    ASSERT_EQ(SendMessageW(slider, TBM_GETPOS, 0, 0), 255);
    EXPECT_EQ(SliderKey(VK_LEFT), 254);
    EXPECT_TRUE(WaitUntil([&] { return alpha(w) == 254; }));
    EXPECT_EQ(GetWindowLongW(w, GWL_EXSTYLE), style | WS_EX_LAYERED) << "only the layered bit is added";
    int position = SliderKey(VK_PRIOR);
    EXPECT_TRUE(position >= 64 && position < 254) << position;
    EXPECT_TRUE(WaitUntil([&] { return alpha(w) == position; }));

    // Loading another window resets the slider from code, which fades nothing.
    ASSERT_TRUE(Load(helper["other"]));
    EXPECT_EQ(SendMessageW(slider, TBM_GETPOS, 0, 0), 255);
    EXPECT_EQ(SendMessageW(slider, TBM_GETRANGEMIN, 0, 0), 64);
    EXPECT_EQ(alpha(w), position);
    EXPECT_FALSE(GetWindowLongW(helper["other"], GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST_F(AdjustTest, AHungWindowNeverHoldsTheProgram) {
    HWND w = StartHelper({"--hang-after", "1000", "window", "w", "--title", "E2E hung"})["w"];
    App& app = *shared_;
    ASSERT_TRUE(WaitUntil([&] { SetForegroundWindow(w); return GetForegroundWindow() == w; }, 1s));
    ASSERT_TRUE(WaitUntil([&] { return IsHungAppWindow(w) != FALSE; }, 15s));
    // Ctrl+1 held through three ticks of the watcher with the hung window in front.
    EXPECT_FALSE(Hold({VK_CONTROL, '1'}, [&] { return !IsWindowVisible(w); }, 350ms)) << "a hung window was hidden";
    // Posted: a thread stuck in a call to another thread still handles sent messages.
    PostMessageW(app(ids::PRefreshBtn), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(app(ids::ListView1)) && app.RowOf(w) >= 0; }, 2s))
        << "Ctrl+1 left the program hanging";

    for (int id : {ids::WinVisibleChk, ids::TemaeChk, ids::TaskBarShowChk, ids::SaihaimenChk,
                   ids::CaptionChangeBtn, ids::ButtonUnEnabledBtn, ids::ButtonEnabledBtn, ids::PEnd}) {
        SCOPED_TRACE(id);
        ASSERT_TRUE(Load(w));
        EXPECT_TRUE(app.Click(id, 2s));
    }
    ASSERT_TRUE(Load(w));
    SliderKey(VK_LEFT);
    EXPECT_TRUE(app.Click(ids::PRefreshBtn, 2s)) << "after a slider step";
    EXPECT_TRUE(IsWindow(w));
}

// Wine gives no system menu of another process's window: the caption-bar
// buttons are tried on the program's own.
using CaptionButtonsTest = KelvorinTest;

TEST_F(CaptionButtonsTest, ADisabledCloseBoxKeepsTheProgramUntilAllAreEnabled) {
    App& app = Launch();
    HWND main = app.Main();
    ASSERT_TRUE(app.List().Select(app.RowOf(main)));
    ASSERT_EQ(app.Text(ids::ButtonCmb), "閉じるボタン");
    RECT r{};
    GetWindowRect(main, &r);
    POINT close{r.right - 1, r.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2};
    while (close.x > r.right - 80 && SendMessageW(main, WM_NCHITTEST, 0, MAKELPARAM(close.x, close.y)) != HTCLOSE)
        --close.x;
    close.x -= 4;
    ASSERT_EQ(SendMessageW(main, WM_NCHITTEST, 0, MAKELPARAM(close.x, close.y)), HTCLOSE);

    ASSERT_TRUE(app.Click(ids::ButtonUnEnabledBtn));
    ASSERT_TRUE(XClick(close));
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main; })) << "the click did not arrive";
    EXPECT_FALSE(app.Process().WaitExit(1500ms)) << "the disabled close box closed the program";
    ASSERT_TRUE(app.Click(ids::ButtonEnabledBtn));
    ASSERT_TRUE(XClick(close));
    EXPECT_TRUE(app.Process().WaitExit(5s)) << "the close box, enabled again, did not close it";
}

}  // namespace
}  // namespace e2e
