// Checks of the harness itself, so that a fault in the run set-up shows as
// such and not as a fault of the program: the code page asked for, the
// helper's windows, and real input reaching Wine.
#include <windows.h>

#include "harness/desktop.h"
#include "harness/fixture.h"
#include "harness/input.h"
#include "harness/options.h"
#include "harness/wait.h"

namespace e2e {
namespace {

using HarnessTest = KelvorinTest;

TEST_F(HarnessTest, RunsUnderTheRequestedCodePageOnOneSharedDesktop) {
    EXPECT_EQ(GetACP(), GetOptions().codepage)
        << "the locale the run script set did not reach Wine";
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1000);
    EXPECT_TRUE(FindWindowW(L"Shell_TrayWnd", nullptr))
        << "no taskbar: the shared desktop is not set up";
}

TEST_F(HarnessTest, HelperMakesTheWindowsItReports) {
    auto& helper = StartHelper({
        {"window", "plain", "--title", "日本語のウィンドウ"},
        {"window", "hidden", "--title", "E2E hidden", "--hidden", "--class", "Progman"},
        {"dialog", "dlg", "--title", "E2E dialog", "--owner", "plain"},
    });
    HWND plain = helper.Window("plain");
    DWORD pid = 0;
    GetWindowThreadProcessId(plain, &pid);
    EXPECT_EQ(pid, helper.ProcessId());
    EXPECT_EQ(WindowText(plain), "日本語のウィンドウ");
    EXPECT_TRUE(IsWindowVisible(plain));
    EXPECT_FALSE(IsWindowVisible(helper.Window("hidden")));
    EXPECT_EQ(ClassName(helper.Window("hidden")), "Progman");
    EXPECT_EQ(GetWindow(helper.Window("dlg"), GW_OWNER), plain);
    EXPECT_EQ(ClassName(helper.Window("dlg")), "#32770");
    EXPECT_FALSE(IsWindowEnabled(helper.Window("dlg/disabled")));
    EXPECT_TRUE(IsWindowEnabled(helper.Window("dlg/ok")));

    helper.Quit();
    EXPECT_FALSE(IsWindow(plain));
}

TEST_F(HarnessTest, XdotoolAndSendInputClicksReachWindows) {
    auto& helper = StartHelper({
        {"window", "a", "--title", "E2E a", "--rect", "100", "100", "300", "200"},
        {"window", "b", "--title", "E2E b", "--rect", "500", "100", "300", "200"},
    });
    ASSERT_TRUE(XClick(CentreOf(helper.Window("a"))));
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == helper.Window("a"); }))
        << "an xdotool click did not activate the window";
    ASSERT_TRUE(SendClick(CentreOf(helper.Window("b"))));
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == helper.Window("b"); }))
        << "a SendInput click did not activate the window";
}

}  // namespace
}  // namespace e2e
