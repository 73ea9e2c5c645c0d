// The process commands on real helper processes: closing the selected window
// politely (also when it hangs) and terminating the selected row's process
// after the warning.
#include <windows.h>

#include "harness/desktop.h"
#include "harness/fixture.h"
#include "harness/modal.h"
#include "harness/options.h"
#include "harness/wait.h"

namespace e2e {
namespace {

class ProcessCommandsTest : public KelvorinTest {
  protected:
    // Selects the row of window h the way a list selection does, and waits
    // until the program has loaded it.
    void SelectRowOf(HWND h, const std::string& title) {
        RemoteListView& list = app_->List();
        int row = list.FindRow(kHandleCol, HandleText(h));
        ASSERT_GE(row, 0) << "no row for " << title;
        ASSERT_TRUE(list.Select(row));
        ASSERT_TRUE(WaitUntil([&] { return app_->Text(ids::CaptionTxt) == title; }))
            << "the row of " << title << " was not loaded";
    }
    std::string ReadCloseLog() {
        UniqueHandle file(CreateFileW(Wide(closeLog_).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                      nullptr));
        char buffer[1024] = {};
        DWORD read = 0;
        if (file) ReadFile(file.Get(), buffer, sizeof buffer - 1, &read, nullptr);
        return std::string(buffer, read);
    }
    // Where the helper records the WM_CLOSE it gets (a Windows path).
    const std::string closeLog_ =
        Utf8(WindowsPath(GetOptions().workDir + "/close-" +
                         testing::UnitTest::GetInstance()->current_test_info()->name() + ".log"));
};

TEST_F(ProcessCommandsTest, CloseAsksOnlyTheSelectedWindowAndReturnsAfterItHasClosed) {
    auto& helper = StartHelper({{"--close-log", closeLog_},
                                {"window", "stays", "--title", "E2E stays open"},
                                {"window", "goes", "--title", "E2E asked to close"}});
    Launch();
    ASSERT_NO_FATAL_FAILURE(SelectRowOf(helper.Window("goes"), "E2E asked to close"));

    ASSERT_TRUE(app_->Click(ids::PEnd));
    // The send is synchronous: the window has handled WM_CLOSE by the time the click returns.
    EXPECT_EQ(ReadCloseLog(), "closed goes\n");
    EXPECT_FALSE(IsWindow(helper.Window("goes")));
    EXPECT_TRUE(IsWindow(helper.Window("stays")));
    EXPECT_TRUE(helper.Process().Running()) << "closing a window is no termination";
    EXPECT_GE(app_->List().FindRow(kHandleCol, HandleText(helper.Window("goes"))), 0)
        << "the list changes only at the next refresh";
}

TEST_F(ProcessCommandsTest, CloseOnAHungWindowReturnsAtOnce) {
    auto& helper = StartHelper({{"--hang-after", "0"}, {"window", "hung", "--title", "E2E hung"}});
    HWND hung = helper.Window("hung");
    // Hung before the program starts, so nothing of its start-up can wait on it.
    ASSERT_TRUE(WaitUntil([&] { return IsHungAppWindow(hung) != FALSE; }, 15s, 100ms))
        << "the system never saw the helper hang";
    Launch();
    ASSERT_NO_FATAL_FAILURE(SelectRowOf(hung, "E2E hung"));

    for (int attempt = 1; attempt <= 2; ++attempt) {
        auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(app_->Click(ids::PEnd, 20s));
        auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start);
        std::printf("PEnd on a hung window, click %d: %lld ms\n", attempt,
                    static_cast<long long>(took.count()));
        EXPECT_LT(took.count(), 2000) << "click " << attempt << " waited on the hung window";
    }
    EXPECT_TRUE(IsWindow(hung));
}

TEST_F(ProcessCommandsTest, ForceCloseWarnsFirstAndTerminatesTheRowsProcessWithCodeZeroOnYes) {
    auto& helper = StartHelper({{"window", "victim", "--title", "E2E victim"}});
    HWND victim = helper.Window("victim");
    KelvorinApp& app = Launch();
    ASSERT_NO_FATAL_FAILURE(SelectRowOf(victim, "E2E victim"));
    int row = app.List().FindRow(kHandleCol, HandleText(victim));
    std::vector<std::string> before = app.List().Row(row);
    ASSERT_EQ(before[kProcessIdCol], std::to_string(helper.ProcessId()));

    // Answered No: nothing happens.
    {
        AsyncClick click(app.Control(ids::PForceCloseBtn));
        HWND box = WaitForOwnedWindow(app.ProcessId(), L"#32770", nullptr, 10s);
        ASSERT_TRUE(box) << "no warning appeared";
        MessageBoxContent warning = ReadMessageBox(box);
        EXPECT_EQ(warning.title, "タスク マネージャの警告");
        EXPECT_EQ(warning.text,
                  "警告: プロセスが終了すると、データが失われたり、システムが\r\n"
                  "不安定になったりするなどの、予期しない結果になることがあります。\r\n"
                  "プロセスを終了する前に、状態またはデータを保存するかどうかの\r\n"
                  "確認メッセージは表示されません。プロセスを終了しますか?");
        EXPECT_EQ(warning.buttons, (std::vector<int>{IDYES, IDNO}));
        EXPECT_EQ(warning.defaultButton, IDYES);
        EXPECT_FALSE(IsWindowEnabled(app.MainWindow())) << "the warning is modal";
        ASSERT_TRUE(PressButton(box, IDNO));
        ASSERT_TRUE(click.WaitDone(10s)) << "the handler did not finish after No";
        EXPECT_FALSE(helper.Process().WaitForExit(300ms)) << "No terminated the process";
    }

    // Answered Yes: the row's process ends with exit code 0; its row stays as it was.
    AsyncClick click(app.Control(ids::PForceCloseBtn));
    HWND box = WaitForOwnedWindow(app.ProcessId(), L"#32770", nullptr, 10s);
    ASSERT_TRUE(box) << "no warning appeared the second time";
    ASSERT_TRUE(PressButton(box, IDYES));
    ASSERT_TRUE(click.WaitDone(10s)) << "the handler did not finish after Yes";
    ASSERT_TRUE(helper.Process().WaitForExit(5s)) << "Yes did not terminate the process";
    EXPECT_EQ(helper.Process().ExitCode(), 0u);
    EXPECT_TRUE(app.Process().Running());
    EXPECT_EQ(app.List().Row(row), before);
}

}  // namespace
}  // namespace e2e
