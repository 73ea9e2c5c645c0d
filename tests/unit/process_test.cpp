// Closing the selected window, terminating the selected row's process and
// opening the icon extractor on the selected row's executable.
#include "world.h"

namespace kelvorin {
namespace {

// The selected row is the editor's; the viewer, another process's, is what the finder picks.
struct ProcessWorld : unit::World {
    WindowHandle editor = desktop.Add({.title = "Editor", .processId = 7});
    WindowHandle viewer =
        desktop.Add({.title = "Viewer", .processId = 8, .rect = {200, 0, 300, 100}});
    WindowHandle button =
        desktop.Add({.parent = viewer, .processId = 8, .rect = {210, 10, 260, 40}});
    ProcessWorld() {
        desktop.processes = {{7, "editor.exe", "C:\\Apps\\editor.exe"},
                             {8, "viewer.exe", "C:\\viewer.exe"}};
        form.Form_Load();
    }
    void Pick(Point at) {
        desktop.cursor = at;
        form.picFinder_MouseDown(1, 0, 0, 0);
        form.picFinder_MouseUp(1, 0, 0, 0);
    }
};

TEST(ForceClose, OnlyYesToTheWarningTerminatesAndOnlyTheSelectedRowsProcess) {
    ProcessWorld w;
    w.Pick({280, 80});
    w.desktop.answers = {7, 2, 1, 0};  // no, cancel, OK, a box that could not be shown
    for (int click = 0; click < 5; ++click) {
        EXPECT_FALSE(w.desktop.processes[0].terminated) << click;
        w.form.PForceCloseBtn.Click();
    }
    EXPECT_EQ(
        w.desktop.boxes.back(),
        "タスク マネージャの警告|警告: プロセスが終了すると、データが失われたり、システムが\r\n"
        "不安定になったりするなどの、予期しない結果になることがあります。\r\n"
        "プロセスを終了する前に、状態またはデータを保存するかどうかの\r\n"
        "確認メッセージは表示されません。プロセスを終了しますか?|52");
    EXPECT_TRUE(w.desktop.processes[0].terminated && !w.desktop.processes[1].terminated);
    EXPECT_EQ(w.desktop.OpenHandles(), 0u);
    EXPECT_EQ(w.form.ListView1.Cell(0, col::Caption), "Editor") << "rows stay until a refresh";
    // Closing goes to the selected window, even a control; the extractor opens on the row's path.
    w.Pick({220, 20});
    w.form.PEnd.Click();
    EXPECT_TRUE(w.Win(w.button).destroyed && !w.Win(w.viewer).destroyed);
    w.form.PIconGetBtn.Click();
    w.form.ListView1.Select(std::nullopt);
    w.form.PIconGetBtn.Click();
    EXPECT_EQ(w.view.iconGetterPaths, std::vector<std::string>{"C:\\Apps\\editor.exe"});
}

TEST(ForceClose, NothingIsTerminatedUnlessTheIdStillNamesTheRowsProgram) {
    // clang-format off
    const struct { std::optional<std::string> idCell; fake::Process now; bool ends; } cases[] = {
        {"7", {7, "EDITOR.EXE", "c:\\apps\\Editor.exe"}, true},  // case aside, the same
        {"7", {7, "game.exe", "C:\\Games\\game.exe"}, false},
        {"7", {7, "editor.exe", "C:\\Temp\\editor.exe"}, false},
        {"7", {7, "editor.exe", "C:\\Apps\\editor.exe", false}, false},        // modules unreadable
        {"7", {7, "editor.exe", "C:\\Apps\\editor.exe", true, false}, false},  // refused to open
        {"7x", {7, "editor.exe", "C:\\Apps\\editor.exe"}, false},
        {"+7", {7, "editor.exe", "C:\\Apps\\editor.exe"}, false},
        {"4294967303", {7, "editor.exe", "C:\\Apps\\editor.exe"}, false},
        {std::nullopt, {7, "editor.exe", "C:\\Apps\\editor.exe"}, false}};  // no selected row
    // clang-format on
    for (const auto& c : cases) {
        ProcessWorld w;
        w.desktop.processes[0] = c.now;
        if (c.idCell)
            w.form.ListView1.SetCell(0, col::ProcessId, *c.idCell);
        else
            w.form.ListView1.Select(std::nullopt);
        w.form.PForceCloseBtn.Click();
        EXPECT_EQ(w.desktop.processes[0].terminated, c.ends)
            << c.idCell.value_or("-") << c.now.exePath;
        EXPECT_EQ(w.desktop.OpenHandles(), 0u);
    }
}

}  // namespace
}  // namespace kelvorin
