// Closing the selected window, terminating the selected row's process and
// opening the icon extractor on the selected row's executable.
#include "world.h"

namespace kelvorin {
namespace {

using unit::Text;

// The selected row is the editor's; the viewer belongs to another process
// and is what the finder picks.
struct ProcessWorld : unit::World {
    WindowHandle editor = desktop.Add({.title = "Editor", .processId = 7, .rect = {0, 0, 100, 100}});
    WindowHandle viewer = desktop.Add({.title = "Viewer", .processId = 8, .rect = {200, 0, 300, 100}});
    WindowHandle button = desktop.Add({.className = "Button", .parent = viewer, .processId = 8,
                                       .rect = {210, 10, 260, 40}});
    ProcessWorld() {
        desktop.processes = {{7, "editor.exe", "C:\\Apps\\editor.exe"}, {8, "viewer.exe", "C:\\Apps\\viewer.exe"}};
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
    w.Pick({280, 80});  // the viewer is the selected window, the editor's row the selected row
    for (int answer : {7, 2, 1, 0}) {  // no, cancel, OK, a box that could not be shown
        w.desktop.answers = {answer};
        w.form.PForceCloseBtn.Click();
        EXPECT_FALSE(w.desktop.processes[0].terminated) << answer;
    }
    const auto& box = w.desktop.boxes.back();
    EXPECT_EQ(box.title, "タスク マネージャの警告");
    EXPECT_EQ(box.text,
              "警告: プロセスが終了すると、データが失われたり、システムが\r\n"
              "不安定になったりするなどの、予期しない結果になることがあります。\r\n"
              "プロセスを終了する前に、状態またはデータを保存するかどうかの\r\n"
              "確認メッセージは表示されません。プロセスを終了しますか?");
    EXPECT_EQ(box.style, 0x34u);
    w.form.PForceCloseBtn.Click();  // yes
    EXPECT_TRUE(w.desktop.processes[0].terminated);
    EXPECT_FALSE(w.desktop.processes[1].terminated);
    EXPECT_EQ(w.desktop.OpenHandles(), 0u);
    EXPECT_EQ(w.form.ListView1.Cell(0, col::Caption), "Editor") << "the rows stay until the next refresh";
}

TEST(ForceClose, NothingIsTerminatedUnlessTheIdStillNamesTheRowsProgram) {
    const struct { const char* what; std::optional<std::string> idCell; fake::Process now; bool terminates; } cases[] = {
        {"the same program, case aside", "7", {7, "EDITOR.EXE", "c:\\apps\\Editor.exe"}, true},
        {"the id went to another program", "7", {7, "game.exe", "C:\\Games\\game.exe"}, false},
        {"same name, another folder", "7", {7, "editor.exe", "C:\\Temp\\editor.exe"}, false},
        {"modules no longer readable", "7", {7, "editor.exe", "C:\\Apps\\editor.exe", false}, false},
        {"refused to open", "7", {7, "editor.exe", "C:\\Apps\\editor.exe", true, false}, false},
        {"not a number", "7x", {7, "editor.exe", "C:\\Apps\\editor.exe"}, false},
        {"a plus sign", "+7", {7, "editor.exe", "C:\\Apps\\editor.exe"}, false},
        {"too large", "4294967303", {7, "editor.exe", "C:\\Apps\\editor.exe"}, false},
        {"no selected row", std::nullopt, {7, "editor.exe", "C:\\Apps\\editor.exe"}, false}};
    for (const auto& c : cases) {
        ProcessWorld w;
        w.desktop.processes[0] = c.now;
        if (c.idCell) w.form.ListView1.SetCell(0, col::ProcessId, *c.idCell);
        else w.form.ListView1.Select(std::nullopt);
        w.form.PForceCloseBtn.Click();
        EXPECT_EQ(w.desktop.processes[0].terminated, c.terminates) << c.what;
        EXPECT_EQ(w.desktop.OpenHandles(), 0u) << c.what;
        EXPECT_EQ(w.desktop.boxes.size(), 1u) << c.what;
    }
}

TEST(CloseAndIcons, CloseGoesToTheSelectedWindowAndTheExtractorOpensOnTheSelectedRowsPath) {
    ProcessWorld w;
    w.Pick({220, 20});  // the viewer's button
    w.form.PEnd.Click();
    EXPECT_TRUE(w.desktop.Win(w.button).destroyed);
    EXPECT_FALSE(w.desktop.Win(w.viewer).destroyed);
    w.Pick({280, 80});
    w.form.PEnd.Click();
    EXPECT_TRUE(w.desktop.Win(w.viewer).destroyed);
    EXPECT_EQ(w.form.ListView1.RowCount(), 2u) << "no refresh";
    w.form.PIconGetBtn.Click();
    w.form.ListView1.Select(std::nullopt);
    w.form.PIconGetBtn.Click();
    EXPECT_EQ(w.view.iconGetterPaths, std::vector<std::string>{"C:\\Apps\\editor.exe"});
}

}  // namespace
}  // namespace kelvorin
