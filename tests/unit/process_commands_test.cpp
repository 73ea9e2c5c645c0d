// Closing the selected window, terminating the selected row's process and
// opening the icon extractor on the selected row's executable.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/main_frm.h"
#include "catalogue/refresh.h"
#include "fake/fake.h"

namespace kelvorin {
namespace {

using fake::FakeProcess;

std::string Text(WindowHandle h) { return std::to_string(h.value); }

constexpr int kYes = 6, kNo = 7;

// The selected row is the editor's; the viewer belongs to another process
// and is what the finder picks.
class ProcessCommands : public ::testing::Test {
  protected:
    fake::FakeDesktop desktop;
    fake::FakeMainFrmView view{desktop};
    Platform platform = desktop.platform();
    MainFrm form{platform, view};
    WindowHandle shell = desktop.AddWindow({.className = "Progman"});
    WindowHandle editor =
        desktop.AddWindow({.title = "Editor", .processId = 7, .rect = {0, 0, 100, 100}});
    WindowHandle viewer =
        desktop.AddWindow({.title = "Viewer", .processId = 8, .rect = {200, 0, 300, 100}});
    WindowHandle viewerButton = desktop.AddWindow(
        {.className = "Button", .parent = viewer, .processId = 8, .rect = {210, 10, 260, 40}});

    void SetUp() override {
        desktop.AddProcess({.processId = 7, .exeFile = "editor.exe", .exePath = "C:\\Apps\\editor.exe"});
        desktop.AddProcess({.processId = 8, .exeFile = "viewer.exe", .exePath = "C:\\Apps\\viewer.exe"});
        form.Form_Load();
        ASSERT_EQ(form.ListView1.Selected(), std::optional<size_t>(0));
        ASSERT_EQ(form.ListView1.Cell(0, col::ProcessId), "7");
        desktop.Log().Clear();
    }

    void PickViewerWithTheFinder(Point at = {280, 80}) {
        desktop.SetCursor(at);
        form.picFinder_MouseDown(1, 0, 0, 0);
        form.picFinder_MouseUp(1, 0, 0, 0);
        desktop.Log().Clear();
    }

    // The calls the handler made after the warning was answered.
    std::vector<std::string> CallsAfterTheBox() {
        auto all = desktop.Log().Strings();
        auto box = std::find_if(all.begin(), all.end(),
                                [](const std::string& s) { return s.rfind("MessageBox(", 0) == 0; });
        return box == all.end() ? all : std::vector<std::string>(box + 1, all.end());
    }
};

TEST_F(ProcessCommands, TheWarningHasItsExactTitleTextAndStyle) {
    desktop.QueueMessageBoxAnswer(kNo);
    form.PForceCloseBtn.Click();
    ASSERT_EQ(desktop.MessageBoxes().size(), 1u);
    const auto& box = desktop.MessageBoxes()[0];
    EXPECT_EQ(box.title, "タスク マネージャの警告");
    EXPECT_EQ(box.text,
              "警告: プロセスが終了すると、データが失われたり、システムが\r\n"
              "不安定になったりするなどの、予期しない結果になることがあります。\r\n"
              "プロセスを終了する前に、状態またはデータを保存するかどうかの\r\n"
              "確認メッセージは表示されません。プロセスを終了しますか?");
    EXPECT_EQ(box.style, 0x34u);
}

TEST_F(ProcessCommands, AnyAnswerButYesDoesNothingMore) {
    for (int answer : {kNo, 2 /* cancel */, 1 /* ok */}) {
        desktop.QueueMessageBoxAnswer(answer);
        desktop.Log().Clear();
        form.PForceCloseBtn_Click();
        EXPECT_EQ(CallsAfterTheBox(), std::vector<std::string>{}) << "answer " << answer;
    }
    desktop.Fail("MessageBox");  // the box could not be shown
    form.PForceCloseBtn_Click();
    EXPECT_EQ(desktop.Log().Count("OpenProcess"), 0u);
    EXPECT_FALSE(desktop.Process(7).terminated);
}

TEST_F(ProcessCommands, YesTerminatesTheSelectedRowsProcessNotThePickedWindows) {
    PickViewerWithTheFinder();
    ASSERT_EQ(form.SelectedWindow(), viewer);
    desktop.QueueMessageBoxAnswer(kYes);

    form.PForceCloseBtn_Click();

    EXPECT_EQ(CallsAfterTheBox().front(), "OpenProcess(1,0,7)");
    EXPECT_TRUE(desktop.Process(7).terminated);
    EXPECT_EQ(desktop.Process(7).exitCode, 0u);
    EXPECT_FALSE(desktop.Process(8).terminated);
    EXPECT_EQ(desktop.OpenKernelHandles(), 0u);
    // The rows stay until the next refresh.
    EXPECT_EQ(form.ListView1.Cell(0, col::Caption), "Editor");
}

TEST_F(ProcessCommands, AnIdThatNoLongerNamesTheRowsProcessTerminatesNothing) {
    struct Case {
        const char* what;
        std::string exeFile, exePath;
        bool modulesReadable;
        bool terminates;
    };
    const Case cases[] = {
        {"the id went to another program", "game.exe", "C:\\Games\\game.exe", true, false},
        {"same name, another folder", "editor.exe", "C:\\Temp\\editor.exe", true, false},
        {"modules no longer readable", "editor.exe", "C:\\Apps\\editor.exe", false, false},
        {"the same program, case aside", "EDITOR.EXE", "c:\\apps\\Editor.exe", true, true},
    };
    for (const auto& c : cases) {
        FakeProcess& process = desktop.Process(7);
        process = {.processId = 7, .exeFile = c.exeFile, .exePath = c.exePath,
                   .modulesReadable = c.modulesReadable};
        desktop.QueueMessageBoxAnswer(kYes);
        form.PForceCloseBtn_Click();
        EXPECT_EQ(desktop.Process(7).terminated, c.terminates) << c.what;
        EXPECT_EQ(desktop.OpenKernelHandles(), 0u) << c.what;
    }
}

TEST_F(ProcessCommands, WithoutAProcessToOpenNothingIsTerminatedOrClosed) {
    struct Case {
        const char* what;
        std::optional<std::string> processIdCell;  // nullopt: no selected row
        std::vector<std::string> afterTheBox;
    };
    const Case cases[] = {
        {"not a number", "7x", {}},
        {"empty", "", {}},
        {"with a plus sign", "+7", {}},
        {"too large", "4294967303", {}},
        {"id 0", "0", {"OpenProcess(1,0,0)"}},
        {"no selected row", std::nullopt, {}},
    };
    for (const auto& c : cases) {
        if (c.processIdCell) {
            form.ListView1.Select(0);
            form.ListView1.SetCell(0, col::ProcessId, *c.processIdCell);
        } else {
            form.ListView1.Select(std::nullopt);
        }
        desktop.QueueMessageBoxAnswer(kYes);
        desktop.Log().Clear();
        form.PForceCloseBtn_Click();
        EXPECT_EQ(desktop.Log().Count("MessageBox"), 1u) << c.what;
        EXPECT_EQ(CallsAfterTheBox(), c.afterTheBox) << c.what;
    }
    EXPECT_FALSE(desktop.Process(7).terminated);
}

TEST_F(ProcessCommands, ARefusedOpenTerminatesNothing) {
    desktop.Process(7).openable = false;
    desktop.QueueMessageBoxAnswer(kYes);
    form.PForceCloseBtn_Click();
    EXPECT_EQ(CallsAfterTheBox(), std::vector<std::string>{"OpenProcess(1,0,7)"});
    EXPECT_FALSE(desktop.Process(7).terminated);
}

TEST_F(ProcessCommands, CloseGoesToTheSelectedWindowEvenAChildControl) {
    PickViewerWithTheFinder({220, 20});
    ASSERT_EQ(form.SelectedWindow(), viewerButton);
    form.PEnd.Click();
    EXPECT_EQ(desktop.Log().Strings(), std::vector<std::string>{"SendClose(" + Text(viewerButton) + ")"});
    EXPECT_TRUE(desktop.Window(viewerButton).destroyed);
    EXPECT_FALSE(desktop.Window(viewer).destroyed);
    EXPECT_FALSE(desktop.Window(editor).destroyed);

    PickViewerWithTheFinder();
    form.PEnd_Click();
    EXPECT_TRUE(desktop.Window(viewer).destroyed);
    EXPECT_EQ(form.ListView1.RowCount(), 2u);  // no refresh
}

TEST_F(ProcessCommands, IconExtractorOpensOnTheSelectedRowsPath) {
    PickViewerWithTheFinder();
    form.PIconGetBtn.Click();
    form.ListView1.SetCell(0, col::FullPath, "");
    form.PIconGetBtn_Click();
    form.ListView1.Select(std::nullopt);
    form.PIconGetBtn_Click();
    EXPECT_EQ(view.IconGetterPaths(), (std::vector<std::string>{"C:\\Apps\\editor.exe", ""}));
}

}  // namespace
}  // namespace kelvorin
