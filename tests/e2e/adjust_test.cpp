// The options region at work on real windows of another process, a hung one
// among them, and the caption-bar buttons of the program's own window.
#include <tuple>

#include "harness/e2e.h"

namespace e2e {
namespace {

// One program for the suite, its options region open, on a desktop with a shell.
class AdjustTest : public KelvorinTest {
  protected:
    static void SetUpTestSuite() {
        shell_ = new Helper("window|progman|--class|Progman|--hidden");
        shared_ = new App;
        shared_->Click(ids::Command2);
    }
    static void TearDownTestSuite() { delete shared_, delete shell_; }
    // Loads window h's row as a pick of it does, relisting when h has no row yet.
    static bool Load(HWND h) {
        App& app = *shared_;
        if (app.RowOf(h) < 0) app.Click(ids::PRefreshBtn);
        int row = app.RowOf(h);
        if (row < 0 || (app.List().Selected() != row && !app.List().Select(row))) return false;
        return app.Text(ids::CaptionTxt) == app.List().Cell(row, kCaptionCol);
    }
    static Helper* shell_;
    static App* shared_;
};
Helper* AdjustTest::shell_;
App* AdjustTest::shared_;

TEST_F(AdjustTest, EachControlActsOnTheLoadedWindowOnlyAndForceCloseWarnsFirst) {
    auto& helper = StartHelper(
        "window|w|--title|E2E adjusted|window|other|--title|E2E other|window|goes|--title|E2E "
        "goes");
    HWND w = helper["w"], desktop = GetDesktopWindow(), slider = (*shared_)(ids::ToumeiSld);
    App& app = *shared_;
    ASSERT_TRUE(Load(w));
    const RECT place = WindowRect(w);
    // Shown, on top, parent, owner, and the row's visibility and Command1 as shown.
    auto state = [&] {
        return std::tuple(IsWindowVisible(w) != 0, IsTopmost(w), GetAncestor(w, GA_PARENT),
                          GetWindow(w, GW_OWNER), app.List().Cell(app.RowOf(w), kVisibleCol),
                          app.Text(ids::Command1));
    };
    using State = decltype(state());
    const State before = state(), shown{true, false, desktop, nullptr, kShown, "隠す"};
    ASSERT_EQ(before, shown);
    const std::pair<int, State> boxes[] = {
        {ids::WinVisibleChk, {false, false, desktop, nullptr, kShown, "隠す"}},
        {ids::TemaeChk, {true, true, desktop, nullptr, kShown, "隠す"}},
        {ids::SaihaimenChk, {false, false, (*shell_)["progman"], nullptr, kShown, "隠す"}},
        {ids::TaskBarShowChk, {true, false, desktop, desktop, kShown, "隠す"}},
        {ids::Command1, {false, false, desktop, nullptr, kHidden, "表示する"}},
    };
    for (const auto& [id, on] : boxes) {
        SCOPED_TRACE(id);
        // Another program's window changes when it gets to it.
        ASSERT_TRUE(app.Click(id));
        EXPECT_TRUE(WaitUntil([&] { return state() == on; }));
        ASSERT_TRUE(app.Click(id));
        EXPECT_TRUE(WaitUntil([&] { return state() == before; }));
        RECT now = WindowRect(w);
        EXPECT_TRUE(EqualRect(&now, &place)) << "the window moved";
    }
    // 変更 writes the caption through the ANSI code page, and the list shows it.
    SendMessageW(app(ids::CaptionTxt), WM_SETTEXT, 0, LPARAM(L"新しい題名 E2E"));
    ASSERT_TRUE(app.Click(ids::CaptionChangeBtn));
    const std::string title = opt.codepage == 932 ? "新しい題名 E2E" : "????? E2E";
    EXPECT_EQ(Text(w), title);
    EXPECT_EQ(app.List().Cell(app.RowOf(w), kCaptionCol), title) << "the list was not rebuilt";
    // A click beside the slider's thumb pages it and focuses it for a key; the
    // window is faded, and only its layered bit added.
    auto alpha = [&](HWND h) {
        BYTE a = 0;
        DWORD flags = 0;
        return GetLayeredWindowAttributes(h, nullptr, &a, &flags) && flags == LWA_ALPHA ? a : -1;
    };
    auto position = [&] { return int(SendMessageW(slider, TBM_GETPOS, 0, 0)); };
    const LONG style = GetWindowLongW(w, GWL_EXSTYLE);
    RECT r = WindowRect(slider);
    ASSERT_TRUE(XClick({r.left + 20, (r.top + r.bottom) / 2}));
    ASSERT_TRUE(WaitUntil([&] { return position() < 255; }));
    const int paged = position();
    EXPECT_TRUE(WaitUntil([&] { return alpha(w) == paged; }));
    EXPECT_EQ(GetWindowLongW(w, GWL_EXSTYLE), style | WS_EX_LAYERED) << "only the layered bit";
    ASSERT_TRUE(Keys({VK_LEFT}));
    EXPECT_TRUE(WaitUntil([&] { return position() == paged - 1 && alpha(w) == paged - 1; }));
    // Loading another window resets the slider from code, which fades nothing.
    ASSERT_TRUE(Load(helper["other"]));
    EXPECT_EQ(position(), 255);
    EXPECT_EQ(SendMessageW(slider, TBM_GETRANGEMIN, 0, 0), 64);
    EXPECT_EQ(alpha(w), paged - 1);
    EXPECT_EQ(alpha(helper["other"]), -1);
    // プロセスを閉じる asks the loaded window only; プロセス強制終了 warns first.
    auto& victim = StartHelper("window|victim|--title|E2E victim");
    ASSERT_TRUE(Load(helper["goes"]) && app.Click(ids::PEnd));
    // Sent, not posted: the window, which answers 200 ms late, is gone when the click returns.
    EXPECT_TRUE(!IsWindow(helper["goes"]) && IsWindow(w) && helper.Process().Running());

    ASSERT_TRUE(Load(victim["victim"]));
    for (int answer : {IDNO, IDYES}) {
        AsyncClick click(app(ids::PForceCloseBtn));
        HWND box = WaitWindow(app.Process().Id(), L"#32770", app.Main());
        ASSERT_TRUE(box) << "no warning";
        EXPECT_EQ(Text(box), "タスク マネージャの警告");
        const std::string text = Text(GetDlgItem(box, 0xFFFF));  // the box's static text
        EXPECT_EQ(text.rfind("警告: プロセスが終了すると、", 0), 0u) << text;
        EXPECT_FALSE(IsWindowEnabled(app.Main())) << "the warning is not modal";
        ASSERT_TRUE(Press(box, answer) && click.Done(10s));
        EXPECT_EQ(victim.Process().WaitExit(answer == IDYES ? 5s : 300ms), answer == IDYES);
    }
    EXPECT_EQ(victim.Process().ExitCode(), 0u);
    EXPECT_TRUE(app.Process().Running());
}

TEST_F(AdjustTest, KeysFollowTheFormsOrderAndTheCloseButtonIsGreyedUntilAllAreEnabled) {
    HWND w = StartHelper("window|w|--title|E2E keys")["w"], main = shared_->Main();
    App& app = *shared_;
    RemoteList& list = app.List();
    ASSERT_TRUE(Load(w));  // a plain window: every box enabled
    ASSERT_TRUE(Front(main) && TabTo(main, ids::ListView1));
    // Tab and Shift+Tab follow the form's order, round at both ends.
    for (auto [id, back] : {std::pair{ids::IMEUnShowChk, false},
                            {ids::Command1, false},
                            {ids::IMEUnShowChk, true},
                            {ids::ListView1, true},
                            {ids::ButtonEnabledBtn, true},
                            {ids::ListView1, false}})
        ASSERT_TRUE(Tab(main, id, back));
    // A text box reached by Tab has its text selected; Space acts on the box in focus.
    ASSERT_TRUE(TabTo(main, ids::CaptionTxt));
    EXPECT_EQ(SendMessageW(app(ids::CaptionTxt), EM_GETSEL, 0, 0), MAKELONG(0, 8));
    ASSERT_TRUE(TabTo(main, ids::TemaeChk) && Keys({VK_SPACE}));
    EXPECT_TRUE(WaitUntil([&] {
        return IsTopmost(w) && SendMessageW(app(ids::TemaeChk), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }));
    // An arrow step in the list loads its row: the row's summary goes to the clipboard.
    ASSERT_TRUE(TabTo(main, ids::ListView1));
    const int row = list.Selected() + 1;
    ASSERT_TRUE(Keys({VK_DOWN}) && WaitUntil([&] { return list.Selected() == row; }));
    const std::vector<std::string> c = list.Row(row);
    const std::string summary = c[1] + "\t" + c[2] + "\t" + c[3] + "\t" + c[4] + "\t" + c[5];
    EXPECT_TRUE(WaitUntil([&] { return Clipboard() == summary; }));
    // With the options region closed its controls are out of reach both ways.
    ASSERT_TRUE(app.Click(ids::Command2));
    EXPECT_TRUE(Tab(main, ids::ListView1) && Tab(main, ids::Command2, true));
    ASSERT_TRUE(app.Click(ids::Command2));
    // The caption-bar buttons, tried on the program's own window (Wine gives no system
    // menu of another process's window) as its caption bar draws the close button.
    ASSERT_TRUE(Load(main) && app.Text(ids::ButtonCmb) == "閉じるボタン");
    RECT r = WindowRect(main);
    int x = r.right - 4,
        y = r.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    while (x > r.right - 80 && SendMessageW(main, WM_NCHITTEST, 0, MAKELPARAM(x, y)) != HTCLOSE)
        --x;
    auto dark = [&] {  // the glyph's black pixels
        return CountPixels({x - 16, y - 7, x, y + 7}, [](COLORREF p, int) { return p == 0; });
    };
    const int enabled = dark();
    ASSERT_TRUE(app.Click(ids::ButtonUnEnabledBtn));
    EXPECT_TRUE(WaitUntil([&] { return dark() < enabled / 2; })) << enabled << " " << dark();
    ASSERT_TRUE(app.Click(ids::ButtonEnabledBtn));
    EXPECT_TRUE(WaitUntil([&] { return dark() == enabled; })) << enabled << " " << dark();
}

// A window that stopped answering a moment ago (the system does not call it
// hung yet) and one slow to show itself: no key, load, command or refresh may
// hold the program for over a second.
TEST_F(AdjustTest, NothingWaitsOverASecondOnAWindowThatDoesNotAnswer) {
    HWND slow = StartHelper("--slow-show|3000|window|slow|--hidden|--title|E2E slow")["slow"];
    HWND w = StartHelper("--deaf-after|500|window|w|--title|E2E deaf")["w"];
    App& app = *shared_;
    ASSERT_TRUE(Front(w) && WaitUntil([&] {
                    return !SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 100, nullptr);
                }));
    auto quick = [](auto&& action) {
        auto start = std::chrono::steady_clock::now();
        return action() && std::chrono::steady_clock::now() - start < 1s;
    };
    // Ctrl+1 held through three ticks of the watcher with it in front. Posted:
    // a thread stuck in a call to another thread still handles sent messages.
    EXPECT_FALSE(Hold(
        {VK_CONTROL, '1'}, [&] { return !IsWindowVisible(w); }, 350ms));
    PostMessageW(app(ids::PRefreshBtn), BM_CLICK, 0, 0);
    EXPECT_TRUE(
        WaitUntil([&] { return IsWindowVisible(app(ids::ListView1)) && app.RowOf(w) >= 0; }, 2s))
        << "Ctrl+1 held the program";
    // Loaded after a hidden window, its state runs every box's handler.
    ASSERT_TRUE(Load(slow));
    EXPECT_TRUE(quick([&] { return Load(w); })) << "loading its row";
    for (int id :
         {ids::WinVisibleChk, ids::TemaeChk, ids::TaskBarShowChk, ids::SaihaimenChk,
          ids::CaptionChangeBtn, ids::ButtonUnEnabledBtn, ids::ButtonEnabledBtn, ids::PEnd})
        EXPECT_TRUE(quick([&] { return app.Click(id, 1s); })) << id;
    HWND slider = app(ids::ToumeiSld);
    EXPECT_TRUE(quick([&] {
        SendMessageW(slider, TBM_SETPOS, TRUE, 200);
        return SendMessageTimeoutW(app.Main(), WM_HSCROLL, TB_ENDTRACK, LPARAM(slider), SMTO_NORMAL,
                                   1000, nullptr);
    })) << "a slider step";
    // The slow window is shown, once it has taken its time.
    ASSERT_TRUE(Load(slow));
    EXPECT_TRUE(quick([&] { return app.Click(ids::WinVisibleChk, 1s); }));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(slow) != FALSE; }, 6s));
    EXPECT_FALSE(IsHungAppWindow(w)) << "it counted as hung: the test no longer shows a fresh stop";
}

}  // namespace
}  // namespace e2e
