// The options region at work on real windows of another process: the state
// read into the boxes when a row is loaded, each box and command applied to
// the loaded window, and a hung window that must never freeze the program.
#include <windows.h>

#include <commctrl.h>

#include <functional>

#include "harness/desktop.h"
#include "harness/fixture.h"
#include "harness/input.h"
#include "harness/wait.h"

namespace e2e {
namespace {

bool IsTopmost(HWND h) {
    return (GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

std::string WideText(HWND h) {
    wchar_t text[512] = {};
    int n = GetWindowTextW(h, text, 512);
    return Utf8(std::wstring_view(text, size_t(n > 0 ? n : 0)));
}

// Gives a control of another process the keyboard focus: its window to the
// front, then SetFocus while sharing the owner thread's input state.
bool FocusControl(HWND control) {
    SetForegroundWindow(GetAncestor(control, GA_ROOT));
    DWORD owner = GetWindowThreadProcessId(control, nullptr), self = GetCurrentThreadId();
    AttachThreadInput(self, owner, TRUE);
    SetFocus(control);
    AttachThreadInput(self, owner, FALSE);
    return WaitUntil([&] {
        GUITHREADINFO info{sizeof info};
        return GetGUIThreadInfo(owner, &info) && info.hwndFocus == control;
    });
}

// One program for the suite, with the options region open, and a stand-in
// for the desktop shell: a hidden window of class "Progman".
class AdjustmentsTest : public KelvorinTest {
  protected:
    static void SetUpTestSuite() {
        shell_ = std::make_unique<HelperProcess>(
            HelperProcess::Start({"window", "progman", "--class", "Progman", "--hidden"}));
        shared_ = KelvorinApp::Launch();
        shared_->Click(ids::Command2);
    }
    static void TearDownTestSuite() {
        if (shared_) shared_->Quit();
        shared_.reset();
        shell_.reset();
    }
    void SetUp() override {
        if (!shared_ || !shared_->Process().Running()) GTEST_SKIP() << "kelvorin.exe is not running";
    }
    static HWND Progman() { return shell_->Window("progman"); }

    // Loads the row of window h, as a user's pick of it does; false (and a
    // failure) when it is not listed. The desktop is listed anew only when h
    // has no row yet: a refresh loads the top row, whose state would then
    // stand in the boxes that a hidden h leaves alone.
    bool Load(HWND h) {
        KelvorinApp& app = *shared_;
        int row = app.List().FindRow(kHandleCol, HandleText(h));
        if (row < 0) {
            if (!app.Click(ids::PRefreshBtn)) return false;
            row = app.List().FindRow(kHandleCol, HandleText(h));
        }
        if (row < 0) {
            ADD_FAILURE() << "no row for window " << HandleText(h);
            return false;
        }
        // The selected row was loaded when it became selected.
        if (app.List().SelectedRow() != row && !app.List().Select(row)) return false;
        std::string caption = app.List().Cell(row, kCaptionCol);
        bool loaded = app.Text(ids::CaptionTxt) == caption;
        EXPECT_TRUE(loaded) << "the caption field shows \"" << app.Text(ids::CaptionTxt)
                            << "\", not the loaded row's \"" << caption << "\"";
        return loaded;
    }
    bool Enabled(int id) { return IsWindowEnabled(shared_->Control(id)) != FALSE; }

    // One step of the slider by a real key on it; returns its new position.
    int SliderKey(const std::string& key) {
        HWND slider = shared_->Control(ids::ToumeiSld);
        EXPECT_TRUE(FocusControl(slider)) << "the slider did not take the focus";
        int before = int(SendMessageW(slider, TBM_GETPOS, 0, 0));
        EXPECT_TRUE(XKey(key));
        WaitUntil([&] { return SendMessageW(slider, TBM_GETPOS, 0, 0) != before; });
        return int(SendMessageW(slider, TBM_GETPOS, 0, 0));
    }

    static std::unique_ptr<HelperProcess> shell_;
    static std::unique_ptr<KelvorinApp> shared_;
};
std::unique_ptr<HelperProcess> AdjustmentsTest::shell_;
std::unique_ptr<KelvorinApp> AdjustmentsTest::shared_;

TEST_F(AdjustmentsTest, VisibilityBoxHidesAndShowsTheWindow) {
    auto& helper = StartHelper({{"window", "w", "--title", "E2E visibility"}});
    HWND w = helper.Window("w");
    KelvorinApp& app = *shared_;
    ASSERT_TRUE(Load(w));
    ASSERT_EQ(app.CheckState(ids::WinVisibleChk), BST_CHECKED);

    ASSERT_TRUE(app.Click(ids::WinVisibleChk));
    EXPECT_EQ(app.CheckState(ids::WinVisibleChk), BST_UNCHECKED);
    // Another program's window shows and hides itself when it gets to it.
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(w); }));
    int row = app.List().FindRow(kHandleCol, HandleText(w));
    EXPECT_EQ(app.List().Cell(row, kVisibilityCol), kShown) << "the row changes only at a refresh";

    ASSERT_TRUE(app.Click(ids::WinVisibleChk));
    EXPECT_EQ(app.CheckState(ids::WinVisibleChk), BST_CHECKED);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(w) != FALSE; }));
}

TEST_F(AdjustmentsTest, CaptionCommandRenamesTheWindowThroughTheAnsiCodePage) {
    auto& helper = StartHelper({{"window", "w", "--title", "E2E caption before"}});
    HWND w = helper.Window("w");
    KelvorinApp& app = *shared_;
    const std::string text = "新しい題名 E2E";
    // Code page 1252 cannot hold the Japanese characters: each arrives as '?'.
    const std::string expected = GetACP() == 932 ? text : "????? E2E";

    ASSERT_TRUE(Load(w));
    SendMessageW(app.Control(ids::CaptionTxt), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(Wide(text).c_str()));
    ASSERT_TRUE(app.Click(ids::CaptionChangeBtn));
    EXPECT_EQ(WideText(w), expected);
    int row = app.List().FindRow(kHandleCol, HandleText(w));
    ASSERT_GE(row, 0) << "the command relists the desktop";
    EXPECT_EQ(app.List().Cell(row, kCaptionCol), expected);

    // An empty text empties the caption, and an untitled window has no row.
    ASSERT_TRUE(Load(w));
    SendMessageW(app.Control(ids::CaptionTxt), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    ASSERT_TRUE(app.Click(ids::CaptionChangeBtn));
    EXPECT_EQ(WideText(w), "");
    EXPECT_EQ(app.List().FindRow(kHandleCol, HandleText(w)), -1);
}

TEST_F(AdjustmentsTest, TopmostBoxSetsAndClearsTheTopmostStyle) {
    auto& helper = StartHelper({
        {"window", "w", "--title", "E2E topmost"},
        {"window", "hidden", "--title", "E2E topmost hidden", "--hidden"},
    });
    HWND w = helper.Window("w");
    KelvorinApp& app = *shared_;
    ASSERT_TRUE(Load(w));
    ASSERT_FALSE(IsTopmost(w));
    ASSERT_TRUE(app.Click(ids::TemaeChk));
    EXPECT_TRUE(WaitUntil([&] { return IsTopmost(w); }));
    ASSERT_TRUE(app.Click(ids::TemaeChk));
    EXPECT_TRUE(WaitUntil([&] { return !IsTopmost(w); }));

    // Either way the window is shown as well: a hidden one comes up.
    ASSERT_TRUE(Load(helper.Window("hidden")));
    ASSERT_TRUE(app.Click(ids::TemaeChk));
    HWND hidden = helper.Window("hidden");
    EXPECT_TRUE(WaitUntil([&] { return IsTopmost(hidden) && IsWindowVisible(hidden); }));
}

TEST_F(AdjustmentsTest, BottomMostBoxMovesTheWindowUnderTheShellAndBack) {
    auto& helper = StartHelper({{"window", "w", "--title", "E2E bottom-most"}});
    HWND w = helper.Window("w");
    KelvorinApp& app = *shared_;
    ASSERT_TRUE(Load(w));
    ASSERT_EQ(app.CheckState(ids::SaihaimenChk), BST_UNCHECKED);
    // GetParent says 0 for a re-parented window without WS_CHILD; the ancestry tells.
    ASSERT_TRUE(app.Click(ids::SaihaimenChk));
    EXPECT_EQ(GetAncestor(w, GA_PARENT), Progman());
    ASSERT_TRUE(app.Click(ids::SaihaimenChk));
    EXPECT_EQ(GetAncestor(w, GA_PARENT), GetDesktopWindow());
}

TEST_F(AdjustmentsTest, TaskbarBoxGivesTheWindowTheDesktopAsOwnerAndTakesItAway) {
    auto& helper = StartHelper({{"window", "w", "--title", "E2E taskbar"}});
    HWND w = helper.Window("w");
    KelvorinApp& app = *shared_;
    ASSERT_TRUE(Load(w));
    ASSERT_EQ(app.CheckState(ids::TaskBarShowChk), BST_CHECKED);
    ASSERT_TRUE(app.Click(ids::TaskBarShowChk));
    EXPECT_EQ(GetWindow(w, GW_OWNER), GetDesktopWindow());
    ASSERT_TRUE(app.Click(ids::TaskBarShowChk));
    EXPECT_EQ(GetWindow(w, GW_OWNER), nullptr);
}

TEST_F(AdjustmentsTest, SliderKeyStepsMakeTheWindowLayeredWithThatAlpha) {
    // A tool window, so that there is another extended-style bit to keep.
    auto& helper = StartHelper({
        {"window", "w", "--title", "E2E opacity", "--tool"},
        {"window", "other", "--title", "E2E opacity other"},
    });
    HWND w = helper.Window("w");
    KelvorinApp& app = *shared_;
    HWND slider = app.Control(ids::ToumeiSld);
    const LONG exStyle = GetWindowLongW(w, GWL_EXSTYLE);
    ASSERT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    ASSERT_FALSE(exStyle & WS_EX_LAYERED);
    ASSERT_TRUE(Load(w));
    ASSERT_EQ(SendMessageW(slider, TBM_GETPOS, 0, 0), 255);
    ASSERT_EQ(SendMessageW(slider, TBM_GETRANGEMIN, 0, 0), 64);
    auto alpha = [&] {
        BYTE a = 0;
        DWORD flags = 0;
        return GetLayeredWindowAttributes(w, nullptr, &a, &flags) && (flags & LWA_ALPHA) ? int(a)
                                                                                        : -1;
    };

    int position = SliderKey("Left");
    EXPECT_EQ(position, 254);
    EXPECT_TRUE(WaitUntil([&] { return alpha() == position; })) << "alpha " << alpha();
    EXPECT_EQ(GetWindowLongW(w, GWL_EXSTYLE), exStyle | WS_EX_LAYERED)
        << "only the layered bit is added";
    position = SliderKey("Prior");
    EXPECT_LT(position, 254);
    EXPECT_GE(position, 64);
    EXPECT_TRUE(WaitUntil([&] { return alpha() == position; })) << "alpha " << alpha();

    // Loading another window resets the slider, and the faded one keeps its alpha.
    ASSERT_TRUE(Load(helper.Window("other")));
    EXPECT_EQ(SendMessageW(slider, TBM_GETPOS, 0, 0), 255);
    EXPECT_EQ(alpha(), position);
    EXPECT_FALSE(GetWindowLongW(helper.Window("other"), GWL_EXSTYLE) & WS_EX_LAYERED)
        << "the reset from code changed the newly loaded window";
}

TEST_F(AdjustmentsTest, AHungWindowNeverFreezesTheProgram) {
    auto& helper = StartHelper({{"--hang-after", "300"}, {"window", "w", "--title", "E2E hung"}});
    HWND w = helper.Window("w");
    KelvorinApp& app = *shared_;
    ASSERT_TRUE(WaitUntil([&] { return IsHungAppWindow(w) != FALSE; }, 15s, 100ms))
        << "the helper's window never counted as hung";
    // Each refresh loads the top row, so every command below loads w again first.
    auto answersWithin2s = [&](const char* after) {
        EXPECT_TRUE(app.Click(ids::PRefreshBtn, 2s)) << "after " << after;
    };

    ASSERT_TRUE(Load(w));
    answersWithin2s("loading the row");
    for (int id : {ids::WinVisibleChk, ids::TemaeChk, ids::TaskBarShowChk, ids::SaihaimenChk}) {
        SCOPED_TRACE(id);
        ASSERT_TRUE(Load(w));
        ASSERT_TRUE(app.Click(id, 10s));
        answersWithin2s("a box");
    }
    ASSERT_TRUE(Load(w));
    SendMessageW(app.Control(ids::CaptionTxt), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(L"E2E hung renamed"));
    // The text cannot be delivered; the command still rebuilds the list.
    ASSERT_TRUE(app.Click(ids::CaptionChangeBtn, 10s));
    answersWithin2s("the caption command");
    for (int id : {ids::ButtonUnEnabledBtn, ids::ButtonEnabledBtn}) {
        ASSERT_TRUE(Load(w));
        ASSERT_TRUE(app.Click(id, 10s));
        answersWithin2s("a caption-bar command");
    }
    ASSERT_TRUE(Load(w));
    SliderKey("Left");
    answersWithin2s("a slider step");
}

// A window that stopped answering a moment ago (the system does not yet call
// it hung) and one that takes seconds to show: no row load, command or refresh
// may hold the program for more than a second on either.
TEST_F(AdjustmentsTest, NoCommandWaitsOverASecondOnAWindowThatDoesNotAnswer) {
    KelvorinApp& app = *shared_;
    auto& slow = StartHelper({{"--slow-show", "3000"},
                              {"window", "slow", "--title", "E2E slow", "--hidden"},
                              {"window", "other", "--title", "E2E other", "--hidden"}});
    ASSERT_TRUE(app.Click(ids::PRefreshBtn));
    // Made last, so it is the top row of the next refresh.
    HWND w =
        StartHelper({{"--deaf-after", "0"}, {"window", "w", "--title", "E2E deaf"}}).Window("w");
    DWORD_PTR answer = 0;
    ASSERT_FALSE(SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &answer));
    auto within1s = [](const std::string& what, const std::function<bool()>& action) {
        auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(action()) << what;
        EXPECT_LT(std::chrono::steady_clock::now() - start, 1s) << what;
    };
    auto selectRow = [&](HWND h) {
        return app.List().Select(app.List().FindRow(kHandleCol, HandleText(h)));
    };

    // A hidden row first, so that loading w runs the visibility box's handler.
    ASSERT_TRUE(selectRow(slow.Window("other")));
    within1s("更新 with it the top row", [&] { return app.Click(ids::PRefreshBtn, 1s); });
    ASSERT_EQ(app.List().FindRow(kHandleCol, HandleText(w)), 0);
    for (int id : {ids::WinVisibleChk, ids::TemaeChk, ids::TaskBarShowChk, ids::SaihaimenChk,
                   ids::ButtonUnEnabledBtn, ids::ButtonEnabledBtn, ids::PEnd})
        within1s("control " + std::to_string(id), [&] { return app.Click(id, 1s); });
    HWND slider = app.Control(ids::ToumeiSld);
    within1s("a slider step", [&] {
        SendMessageW(slider, TBM_SETPOS, TRUE, 200);
        return SendMessageTimeoutW(app.MainWindow(), WM_HSCROLL, TB_ENDTRACK, LPARAM(slider),
                                   SMTO_NORMAL, 1000, &answer) != 0;
    });

    // The slow window is shown, once it has taken its time.
    ASSERT_TRUE(selectRow(slow.Window("slow")));
    within1s("showing the slow window", [&] { return app.Click(ids::WinVisibleChk, 1s); });
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(slow.Window("slow")) != FALSE; }, 6s));

    // Every box now differs from w's state: its load runs all four handlers.
    ASSERT_TRUE(selectRow(slow.Window("other")));
    within1s("loading its row", [&] { return selectRow(w); });
    within1s("変更", [&] { return app.Click(ids::CaptionChangeBtn, 1s); });
    EXPECT_FALSE(IsHungAppWindow(w)) << "it counted as hung: the test no longer shows a fresh stop";
}

// The caption-bar buttons can only be checked on the program's own window:
// Wine gives no system menu of another process's window.
using CaptionButtonsTest = KelvorinTest;

TEST_F(CaptionButtonsTest, DisabledCloseBoxKeepsTheProgramRunningUntilAllAreEnabledAgain) {
    KelvorinApp& app = Launch();
    HWND main = app.MainWindow();
    RemoteListView& list = app.List();
    int own = list.FindRow(kHandleCol, HandleText(main));
    ASSERT_GE(own, 0) << "the program's own window is listed in spite of the IME box";
    if (list.SelectedRow() != own) {
        ASSERT_TRUE(list.Select(own));
    }
    ASSERT_EQ(app.Text(ids::CaptionTxt), "Kelvorin");
    ASSERT_EQ(app.Text(ids::ButtonCmb), "閉じるボタン");

    // The close box, found by asking the window what lies along its caption.
    RECT r{};
    GetWindowRect(main, &r);
    int y = r.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    int left = -1, right = -1;
    for (int x = r.right - 1; x > r.right - 80; --x) {
        if (SendMessageW(main, WM_NCHITTEST, 0, MAKELPARAM(x, y)) != HTCLOSE) continue;
        if (right < 0) right = x;
        left = x;
    }
    ASSERT_GE(left, 0) << "no close box on the caption";
    const POINT closeBox{(left + right) / 2, y};

    ASSERT_TRUE(app.Click(ids::ButtonUnEnabledBtn));
    ASSERT_TRUE(XClick(closeBox));
    // The click arrived (it activated the window), and the program stays.
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main; }));
    EXPECT_FALSE(app.Process().WaitForExit(1500ms)) << "the disabled close box closed the program";
    ASSERT_TRUE(IsWindow(main));

    ASSERT_TRUE(app.Click(ids::ButtonEnabledBtn));
    // Away first: "xdotool mousemove --sync" to where the pointer already is
    // waits for a move that never comes.
    ASSERT_TRUE(Xdotool({"mousemove", "--sync", std::to_string(closeBox.x - 100),
                         std::to_string(closeBox.y + 100)}));
    ASSERT_TRUE(XClick(closeBox));
    EXPECT_TRUE(app.Process().WaitForExit(5s)) << "the close box, enabled again, did not close it";
}

}  // namespace
}  // namespace e2e
