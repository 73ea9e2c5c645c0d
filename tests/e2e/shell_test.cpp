// The program's own shell: the Ctrl+1 watcher, the notification-area icon with
// its menu, the main window's commands and every way the program ends.
#include <windows.h>

#include <shellapi.h>

#include <cmath>

#include "harness/desktop.h"
#include "harness/fixture.h"
#include "harness/input.h"
#include "harness/wait.h"

namespace e2e {
namespace {

// Keys held down through SendInput until released or destroyed. The program
// polls the key state every 100 ms, so a chord must still be down at a tick;
// the release is certain, since a key left down would reach every later test.
class HeldKeys {
  public:
    explicit HeldKeys(std::vector<WORD> keys) : keys_(std::move(keys)) { Send(false); }
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;
    ~HeldKeys() { Release(); }
    void Release() {
        if (keys_.empty()) return;
        Send(true);
        keys_.clear();
    }

  private:
    void Send(bool up) {
        std::vector<INPUT> in;
        for (size_t i = 0; i < keys_.size(); ++i) {
            INPUT key{};
            key.type = INPUT_KEYBOARD;
            key.ki.wVk = keys_[up ? keys_.size() - 1 - i : i];
            key.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            in.push_back(key);
        }
        EXPECT_EQ(SendInput(UINT(in.size()), in.data(), sizeof(INPUT)), in.size())
            << "SendInput failed: " << GetLastError();
    }
    std::vector<WORD> keys_;
};

bool BringToFront(HWND h) {
    return WaitUntil(
        [&] {
            if (GetForegroundWindow() == h) return true;
            SetForegroundWindow(h);
            return false;
        },
        3s, 50ms);
}

// The notification icon of (window, id 0) exists exactly when a modify that
// changes nothing succeeds.
bool TrayIconExists(HWND owner) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = owner;
    data.uID = 0;
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

// The only icon in the notification area sits at the right end of the taskbar.
POINT TrayIconPoint() {
    RECT r{};
    GetWindowRect(FindWindowW(L"Shell_TrayWnd", nullptr), &r);
    return {r.right - 10, (r.top + r.bottom) / 2};
}

int Pixels(int twips) {
    HDC dc = GetDC(nullptr);
    int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return int(std::lround(twips * double(dpi) / 1440.0));
}

class ShellTest : public KelvorinTest {
  protected:
    // Started and done with its start-up work, so that its timer ticks on time.
    KelvorinApp& LaunchIdle() {
        KelvorinApp& app = Launch();
        WaitForInputIdle(app.Process().Handle(), 10000);
        return app;
    }
    // The program's visible pop-up menu window, or null.
    HWND Menu() {
        auto menus = TopLevelWindows(app_->ProcessId(), L"#32768", true);
        return menus.empty() ? nullptr : menus.front();
    }
    // Opens the icon's menu with a real click of the given X button.
    HWND OpenTrayMenu(int button) {
        if (!XClick(TrayIconPoint(), button)) return nullptr;
        HWND menu = nullptr;
        WaitUntil([&] { return (menu = Menu()) != nullptr; });
        return menu;
    }
    // Picks item `index` of the two-item menu with a real click.
    bool PickMenuItem(HWND menu, int index) {
        RECT client{};
        GetClientRect(menu, &client);
        POINT p{client.right / 2, client.bottom * (2 * index + 1) / 4};
        ClientToScreen(menu, &p);
        return XClick(p);
    }
    // Sends the program to the notification area and checks that it went.
    void SendToTray() {
        ASSERT_TRUE(app_->Click(ids::Command3));
        EXPECT_FALSE(IsWindowVisible(app_->MainWindow()));
        ASSERT_TRUE(WaitUntil([&] { return TrayIconExists(app_->MainWindow()); }))
            << "no notification icon after タスクトレイに格納";
    }
};

// --- Ctrl+1 -----------------------------------------------------------------

using HotkeyTest = ShellTest;

TEST_F(HotkeyTest, CtrlOneHidesOnlyTheForegroundWindowAlsoFromTheNotificationArea) {
    auto& helper = StartHelper({
        {"window", "front", "--title", "E2E front"},
        {"window", "other", "--title", "E2E other"},
    });
    KelvorinApp& app = LaunchIdle();
    HWND front = helper.Window("front"), other = helper.Window("other");
    ASSERT_TRUE(BringToFront(front));
    {
        HeldKeys keys({VK_CONTROL, '1'});
        auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(front); }, 3s))
            << "Ctrl+1 did not hide the foreground window";
        EXPECT_LE(std::chrono::steady_clock::now() - start, 500ms)
            << "Ctrl+1 took longer than the watcher's few ticks";
    }
    // One press, one window: the rest of the desktop stays as it was.
    EXPECT_TRUE(HoldsFor([&] { return IsWindowVisible(other) && IsWindowVisible(app.MainWindow()); },
                         300ms));

    ASSERT_NO_FATAL_FAILURE(SendToTray());
    ASSERT_TRUE(BringToFront(other));
    HeldKeys keys({VK_CONTROL, '1'});
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(other); }, 500ms))
        << "the watcher stopped while the program sits in the notification area";
}

TEST_F(HotkeyTest, OtherChordsAndTheKeypadOneHideNothing) {
    auto& helper = StartHelper({{"window", "front", "--title", "E2E front"}});
    LaunchIdle();
    HWND front = helper.Window("front");
    ASSERT_TRUE(BringToFront(front));
    struct Chord {
        const char* name;
        std::vector<WORD> keys;
    };
    for (const Chord& chord : {Chord{"Shift+Ctrl+1", {VK_SHIFT, VK_CONTROL, '1'}},
                               Chord{"Ctrl+numpad 1", {VK_CONTROL, VK_NUMPAD1}},
                               Chord{"1 alone", {'1'}}}) {
        HeldKeys keys(chord.keys);
        EXPECT_TRUE(HoldsFor([&] { return IsWindowVisible(front) != FALSE; }, 400ms))
            << chord.name << " hid the foreground window";
    }
    // The same window goes at once to the real chord: the watcher was listening.
    HeldKeys keys({VK_CONTROL, '1'});
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(front); }, 500ms));
}

TEST_F(HotkeyTest, CtrlOneOverAHungWindowLeavesTheProgramAnswering) {
    KelvorinApp& app = LaunchIdle();
    // Made after the start, so only a refresh can list it.
    auto& helper = StartHelper({{"--hang-after", "1500"}, {"window", "hung", "--title", "E2E hung"}});
    HWND hung = helper.Window("hung");
    ASSERT_TRUE(BringToFront(hung));
    ASSERT_TRUE(WaitUntil([&] { return IsHungAppWindow(hung) != FALSE; }, 15s))
        << "the helper's window never counted as hung";
    ASSERT_EQ(GetForegroundWindow(), hung);
    {
        // Held through three ticks of the watcher with the hung window in
        // front; nothing shows when a tick has passed, so this one waits.
        HeldKeys keys({VK_CONTROL, '1'});
        Sleep(350);
    }
    // Posted, not sent: a thread stuck in a call to another thread still
    // handles sent messages, only its queue stops.
    PostMessageW(app.Control(ids::PRefreshBtn), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return app.List().FindRow(kHandleCol, HandleText(hung)) >= 0; }, 2s))
        << "更新 did not run within 2 s: the program hangs with the window it tried to hide";
}

// --- Notification area ----------------------------------------------------------

using TrayTest = ShellTest;

TEST_F(TrayTest, IconComesBackWithANewTaskbarAndItsMenuRestoresTheWindowAsItWas) {
    KelvorinApp& app = Launch();
    HWND main = app.MainWindow();
    ASSERT_FALSE(TrayIconExists(main)) << "an icon before the program was sent there";
    // The options region open: the window must come back with it.
    ASSERT_TRUE(app.Click(ids::Command2));
    SIZE opened = ClientSize(main);
    ASSERT_NO_FATAL_FAILURE(SendToTray());

    // A restarted shell has lost the icon and says so to every window.
    NOTIFYICONDATAW icon{sizeof icon, main, 0};
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &icon));
    SendMessageW(main, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return TrayIconExists(main); })) << "the icon did not come back";

    HWND menu = OpenTrayMenu(1);
    ASSERT_TRUE(menu) << "a left click on the icon opened no menu";
    // A click elsewhere closes it and changes nothing else.
    ASSERT_TRUE(XClick({300, 150}));
    EXPECT_TRUE(WaitUntil([&] { return Menu() == nullptr; })) << "the menu stayed open";
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_TRUE(TrayIconExists(main));

    menu = OpenTrayMenu(3);
    ASSERT_TRUE(menu) << "a right click on the icon opened no menu";
    ASSERT_TRUE(PickMenuItem(menu, 0));  // 開く
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }))
        << "開く did not show the main window";
    EXPECT_TRUE(WaitUntil([&] { return !TrayIconExists(main); })) << "開く left the icon";
    SIZE back = ClientSize(main);
    EXPECT_EQ(back.cx, opened.cx);
    EXPECT_EQ(back.cy, opened.cy) << "the options region did not come back open";
    EXPECT_TRUE(app.Process().Running());
}

// --- Main window commands --------------------------------------------------------------

using CommandTest = ShellTest;

TEST_F(CommandTest, OptionsButtonOpensAndClosesTheRegionBelow) {
    KelvorinApp& app = Launch();
    HWND main = app.MainWindow();
    SIZE before = ClientSize(main);
    RECT place{};
    GetWindowRect(main, &place);

    ASSERT_TRUE(app.Click(ids::Command2));
    SIZE opened = ClientSize(main);
    EXPECT_EQ(opened.cx, before.cx);
    EXPECT_EQ(opened.cy, before.cy + Pixels(2505));
    // The lowest controls of the region now lie inside the window.
    for (int id : {ids::Frame3, ids::ButtonCmb, ids::Image2, ids::PIconGetBtn}) {
        RECT r = RectInClientOf(app.Control(id), main);
        EXPECT_LE(r.bottom, opened.cy) << "control " << id << " is still cut off";
    }
    RECT openedPlace{};
    GetWindowRect(main, &openedPlace);
    EXPECT_EQ(openedPlace.left, place.left);
    EXPECT_EQ(openedPlace.top, place.top);

    ASSERT_TRUE(app.Click(ids::Command2));
    SIZE closed = ClientSize(main);
    EXPECT_EQ(closed.cx, before.cx);
    EXPECT_EQ(closed.cy, before.cy);
}

TEST_F(CommandTest, ShowHideButtonTogglesTheSelectedWindowAndItsRow) {
    auto& helper = StartHelper({{"window", "target", "--title", "E2E toggled"}});
    KelvorinApp& app = Launch();
    HWND target = helper.Window("target");
    RemoteListView& list = app.List();
    int row = list.FindRow(kHandleCol, HandleText(target));
    ASSERT_GE(row, 0) << "the target is not listed";
    ASSERT_TRUE(list.Select(row));
    ASSERT_EQ(app.CheckState(ids::WinVisibleChk), BST_CHECKED);
    ASSERT_EQ(app.Text(ids::Command1), "隠す");

    ASSERT_TRUE(app.Click(ids::Command1));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(target); }));
    EXPECT_EQ(list.Cell(row, kVisibilityCol), kHidden);
    EXPECT_EQ(app.Text(ids::Command1), "表示する");
    EXPECT_EQ(app.CheckState(ids::WinVisibleChk), BST_UNCHECKED);

    ASSERT_TRUE(app.Click(ids::Command1));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(target) != FALSE; }));
    EXPECT_EQ(list.Cell(row, kVisibilityCol), kShown);
    EXPECT_EQ(app.Text(ids::Command1), "隠す");
    EXPECT_EQ(app.CheckState(ids::WinVisibleChk), BST_CHECKED);
}

}  // namespace
}  // namespace e2e
