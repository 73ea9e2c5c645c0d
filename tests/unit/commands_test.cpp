// The main window's commands, the hotkey, the notification area and the process commands.
#include <functional>

#include "shell/key_chord.h"
#include "shell/tray.h"
#include "world.h"

namespace kelvorin::unit {

constexpr int kShift = 0x10, kCtrl = 0x11, kAlt = 0x12;
constexpr uint16_t kDown = 0x8000, kPressed = 0x8001;

// At each timer tick Ctrl+1 alone hides the foreground window, however long it is held.
TEST(KeyChord, NamesTheModifiersHeldAndTheFirstTableKeyDownAndCtrlOneHidesTheFrontWindow) {
    // clang-format off
    const std::pair<std::vector<int>, std::string> cases[] = {
        {{kShift, kCtrl, kAlt}, ""}, {{kCtrl, '1'}, "Ctrl+1"}, {{kCtrl, '1'}, "Ctrl+1"}, {{kCtrl, 0x61}, ""},
        {{kShift, kCtrl, '1'}, "Shift+Ctrl+1"}, {{kCtrl, '2'}, "Ctrl+2"}, {{'1'}, "1"},
        {{kAlt, kCtrl, kShift, 'Z'}, "Shift+Ctrl+Alt+Z"}, {{kCtrl, 'A', '1'}, "Ctrl+A"},
        {{'9', 0x0D}, "9"}, {{0x0D, 0x70}, "Enter"}, {{kAlt, 0x7B}, "Alt+F12"}, {{0x74, 0x09}, "F5"},
        {{0x09, 0x08}, "Tab"}, {{0x08, 0x13}, "BS"}, {{0x13, 0x1B}, "Pause"}, {{0x1B, 0x20}, "ESC"},
        {{0x20, 0x2E}, "Space"}, {{0x2E, 0x25}, "Delete"}, {{kShift, 0x25}, "Shift+←"},
        {{0x26}, "↑"}, {{0x27}, "→"}, {{0x28}, "↓"}, {{0x2D, 0x24, 0x60, 0xBA}, ""}};
    // A modifier is read twice: held if the second reading is 0x8000 or the first 0x8001.
    const struct { uint16_t first, second, key; std::string chord; } states[] = {
        {kPressed, 0, kDown, "Ctrl+1"}, {0, kDown, kDown, "Ctrl+1"}, {kDown, 0, kDown, "1"},
        {0, kPressed, kDown, "1"}, {kDown, kDown, kPressed, "Ctrl+1"}, {kDown, kDown, 0xC000, ""}};
    // clang-format on
    World w;
    fake::Desktop& desktop = w.desktop;
    for (const auto& [held, chord] : cases) {
        desktop.keys.clear();
        for (int key : held) desktop.keys[key] = {kDown};
        EXPECT_EQ(GetKeyChord(desktop), chord) << held.back();
        desktop.foreground = desktop.Add({.title = "Front"});
        w.form.Timer1_Timer();
        EXPECT_EQ(w.Win(desktop.foreground).visible, chord != "Ctrl+1") << chord;
    }
    for (auto c : states) {
        desktop.keys = {{kCtrl, {c.first, c.second}}, {'1', {c.key}}};
        EXPECT_EQ(GetKeyChord(desktop), c.chord) << c.first;
    }
}

TEST(Tray, TheTipIsCutToSixtyThreeBytesBetweenWholeCharacters) {
    auto times = [](const std::string& one, int n) {
        std::string all;
        while (n-- > 0) all += one;
        return all;
    };
    const std::string a = "あ", x = "a";
    // Measured in the code page (ASCII one byte, anything else two) or, the last, in UTF-8 bytes.
    // clang-format off
    const struct { std::string tip, kept; bool utf8 = false; } cases[] = {
        {times(x, 63), times(x, 63)}, {times(x, 64), times(x, 63)}, {times(a, 32), times(a, 31)},
        {"ab" + times(a, 31), "ab" + times(a, 30)}, {times(x, 62) + a + "b", times(x, 62)},
        {times("😀", 32), times("😀", 31)}, {x + times(a, 21), x + times(a, 20), true}};
    // clang-format on
    for (const auto& c : cases) {
        NotifyIconData data;
        SetTrayData(data, WindowHandle(1), 0, 0x200, IconHandle(1), c.tip, [&](auto& text) {
            size_t bytes = 0;
            for (unsigned char ch : text) bytes += c.utf8 || ch < 0x80 ? 1 : ch >= 0xC0 ? 2 : 0;
            return bytes;
        });
        EXPECT_EQ(data.szTip, c.kept) << c.tip;
    }
}

TEST(Tray, TheWindowGoesToTheNotificationAreaAndBackAndTheIconNeverOutlivesIt) {
    World w;
    w.desktop.logging = true;
    w.form.Command3.Click();
    const NotifyIconData& i = w.desktop.tray[{0x7000, 0}];
    EXPECT_EQ(std::vector<uint64_t>({i.cbSize, i.uFlags, i.uCallbackMessage, i.hIcon.value}),
              std::vector<uint64_t>({88, 7, 0x200, 0x77}));
    EXPECT_EQ(i.szTip + std::to_string(w.desktop.tray.size()), "Kelvorin1");
    // Only a button press on the icon opens the menu, and only while the window is hidden.
    for (int x : {0x201, 0x204, 0x200, 0x202, 0x203, 0x205, 0}) w.form.Form_MouseMove(0, x, 0);
    EXPECT_EQ(w.view.menus, (std::vector<uint32_t>{0, 2}));  // picked with the left / either button
    w.form.MNU_OPEN_Click();
    EXPECT_TRUE(w.desktop.tray.empty());
    for (int x : {0x201, 0x204}) w.form.Form_MouseMove(0, x, 0);
    EXPECT_EQ(w.view.menus.size(), 2u);
    // Quitting from the menu: the extractor goes first, the icon before the window.
    w.form.Command3.Click();
    w.form.MNU_END_Click();
    EXPECT_EQ(Calls(w.desktop),
              "View.Hide Shell_NotifyIconA View.Show Shell_NotifyIconA View.Hide "
              "Shell_NotifyIconA View.UnloadIconGetter View.Unload Shell_NotifyIconA ");
    EXPECT_TRUE(w.desktop.tray.empty());
    World other;
    other.form.Command4.Click();
    EXPECT_EQ(other.view.unloads, 1);
}

// A new taskbar gets the icon back only while the program sits in the notification area; an
// icon the shell refuses, there or at Command3, shows the window, so it can always be reached.
TEST(Tray, ANewTaskbarGetsTheIconBackOnlyFromTheNotificationAreaElseTheWindowShows) {
    auto lost = [](World& w) { w.form.Command3_Click(), w.desktop.tray.clear(); };
    // clang-format off
    const struct { std::function<void(World&)> before; bool icon, shown; } cases[] = {
        {[](World&) {}, false, true}, {[](World& w) { w.view.Hide(); }, false, false},
        {[](World& w) { w.form.Command3_Click(), w.form.MNU_OPEN_Click(); }, false, true},
        {lost, true, false}, {[](World& w) { w.form.Command3_Click(); }, true, false},
        {[&](World& w) { lost(w), w.desktop.Fail("Shell_NotifyIconA"); }, false, true},
        {[](World& w) { w.desktop.Fail("Shell_NotifyIconA", 1), w.form.Command3_Click(); }, false, true}};
    // clang-format on
    for (size_t i = 0; i < std::size(cases); ++i) {
        World w;
        cases[i].before(w);
        w.form.Form_TaskbarCreated();
        EXPECT_EQ(w.desktop.tray.size() * 10 + w.view.shown, cases[i].icon * 10u + cases[i].shown)
            << "case " << i;
    }
}

// The selected row is the editor's; the viewer, another process's, is what the finder picks.
struct ProcessWorld : World {
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

TEST(MainCommands, TheBigButtonTogglesTheBoxAndMarksOnlyTheRowOfTheWindowItActsOn) {
    ProcessWorld w;
    w.Click(w.viewer);  // the second row, so a fault that writes row 0 shows
    // clang-format off
    const struct { int from, to; const char* caption; const char* cells; } cases[] = {
        {1, 0, "表示する", "表示;非表示;"}, {0, 1, "隠す", "表示;表示;"}, {2, 1, "隠す", "表示;表示;"}};
    // clang-format on
    for (auto c : cases) {
        w.form.WinVisibleChk.SetValue(c.from);
        w.form.ListView1.SetCell(1, col::Visibility, "?");
        w.form.Command1.Click();
        EXPECT_EQ(w.form.WinVisibleChk.Value() + w.Win(w.viewer).visible * 10, c.to * 11) << c.from;
        EXPECT_EQ(w.form.Command1.Caption(), c.caption);
        EXPECT_EQ(w.Rows({col::Visibility}), c.cells);
    }
    // A window picked with the finder is not the row's: the list stays as it is.
    w.Pick({220, 20});
    w.form.Command1.Click();
    EXPECT_FALSE(w.Win(w.button).visible);
    EXPECT_EQ(w.Rows({col::Visibility}), "表示;表示;");
    w.form.ListView1.Select(std::nullopt);
    w.form.Command1.Click();
    EXPECT_TRUE(w.Win(w.button).visible);
    // Closing goes to the selected window, even a control; the extractor opens on the row's path.
    w.form.PEnd.Click();
    EXPECT_TRUE(w.Win(w.button).destroyed && !w.Win(w.viewer).destroyed);
    w.form.PIconGetBtn.Click();
    w.form.ListView1.Select(0);
    w.form.PIconGetBtn.Click();
    EXPECT_EQ(w.view.iconGetterPaths, std::vector<std::string>{"C:\\Apps\\editor.exe"});
    // The options button opens the region below the threshold and closes it from there.
    for (auto [height, after] : {std::pair{4635, 7140}, {5499, 8004}, {5500, 2995}, {7140, 4635}}) {
        w.view.clientHeight = height;
        w.form.Command2.Click();
        EXPECT_EQ(w.view.clientHeight, after) << height;
    }
}

// The warning comes first; only Yes goes on, to the selected row's process (not the finder's
// pick), and only while the row's id still names that program.
TEST(ForceClose, OnlyYesTerminatesTheSelectedRowsProcessAndOnlyWhileItsIdNamesThatProgram) {
    const std::string warning =
        "タスク マネージャの警告|警告: プロセスが終了すると、データが失われたり、システムが\r\n"
        "不安定になったりするなどの、予期しない結果になることがあります。\r\n"
        "プロセスを終了する前に、状態またはデータを保存するかどうかの\r\n"
        "確認メッセージは表示されません。プロセスを終了しますか?|52";
    const fake::Process same{7, "editor.exe", "C:\\Apps\\editor.exe"};
    // clang-format off
    const struct { std::optional<std::string> idCell; fake::Process now; int answer; bool ends; } cases[] = {
        {"7", same, 6, true}, {"7", {7, "EDITOR.EXE", "c:\\apps\\Editor.exe"}, 6, true},  // case aside, the same
        {"7", same, 7, false}, {"7", same, 2, false}, {"7", same, 1, false}, {"7", same, 0, false},  // or no box
        {"7", {7, "game.exe", "C:\\Games\\game.exe"}, 6, false}, {"7", {7, "editor.exe", "C:\\Temp\\editor.exe"}, 6, false},
        {"7", {7, "editor.exe", "C:\\Apps\\editor.exe", false}, 6, false},        // modules unreadable
        {"7", {7, "editor.exe", "C:\\Apps\\editor.exe", true, false}, 6, false},  // refused to open
        {"7x", same, 6, false}, {"+7", same, 6, false}, {"4294967303", same, 6, false}, {{}, same, 6, false}};
    // clang-format on
    for (const auto& c : cases) {
        ProcessWorld w;
        w.Pick({280, 80});
        w.desktop.processes[0] = c.now;
        w.desktop.answers = {c.answer};
        w.form.ListView1.SetCell(0, col::ProcessId, c.idCell.value_or("7"));
        if (!c.idCell) w.form.ListView1.Select(std::nullopt);
        w.form.PForceCloseBtn.Click();
        EXPECT_EQ(w.desktop.boxes, std::vector<std::string>{warning});
        EXPECT_EQ(w.desktop.processes[0].terminated + w.desktop.processes[1].terminated * 10,
                  c.ends)
            << c.idCell.value_or("-") << c.now.exePath << c.answer;
        EXPECT_EQ(w.desktop.Unpaired(), 0u);
    }
}

}  // namespace kelvorin::unit
