#include <array>
#include <functional>

#include "app/art.h"
#include "app/control_ids.h"
#include "finder/finder.h"
#include "shell/key_chord.h"
#include "world.h"

namespace kelvorin::unit {

// Visible, bottom-most, its enabled state, taskbar, its enabled state, always on top.
using Boxes = std::array<int, 6>;
enum class Kind { Hidden, Child, OwnedPopup, Parentless, NoShell, Destroyed, Null };

// The queries run in this order; a box that changes runs its handler before the next query.
TEST(StateReader, EachStateOfTheWindowGivesItsBoxesAndEachChangedBoxActsAtOnce) {
    // clang-format off
    const struct { Kind kind; uint32_t exStyle; Boxes prior, read; std::string calls; } cases[] = {
        // Hidden or gone: the other boxes stay as they were, enabled state included.
        {Kind::Hidden, 0x8, {1, 1, 0, 0, 0, 0}, {0, 1, 0, 0, 0, 0}, "IsWindowVisible ShowWindow "},
        {Kind::Destroyed, 0, {0, 0, 1, 1, 1, 1}, {0, 0, 1, 1, 1, 1}, "IsWindowVisible "},
        {Kind::Null, 0, {1, 0, 0, 1, 1, 0}, {0, 0, 0, 1, 1, 0}, "IsWindowVisible ShowWindow "},
        // With a parent or an owner: bottom-most and taskbar disabled, values kept.
        {Kind::Child, 0x8, {1, 1, 1, 0, 1, 1}, {1, 1, 0, 0, 0, 1},
         "IsWindowVisible GetParent GetWindowLongA "},
        {Kind::OwnedPopup, 0, {0, 0, 1, 1, 1, 1}, {1, 0, 0, 1, 0, 0},
         "IsWindowVisible ShowWindow GetParent GetWindowLongA SetWindowPos "},
        // Parentless: the shell decides.
        {Kind::Parentless, 0x100, {1, 0, 1, 0, 1, 1}, {1, 0, 1, 1, 1, 0},
         "IsWindowVisible GetParent FindWindowA GetParent SetWindowLongA GetWindowLongA "
         "SetWindowPos "},
        {Kind::NoShell, 0x80008, {1, 0, 0, 1, 0, 0}, {1, 1, 1, 0, 1, 1},
         "IsWindowVisible GetParent FindWindowA GetParent FindWindowA SetParent GetDesktopWindow "
         "SetWindowLongA GetWindowLongA SetWindowPos "}};
    // clang-format on
    for (const auto& c : cases) {
        World w;
        MainFrm& f = w.form;
        // The boxes as a previous read might have left them (their handlers act on handle 0).
        f.WinVisibleChk.SetValue(c.prior[0]), f.SaihaimenChk.SetValue(c.prior[1]);
        f.SaihaimenChk.SetEnabled(c.prior[2]), f.TaskBarShowChk.SetValue(c.prior[3]);
        f.TaskBarShowChk.SetEnabled(c.prior[4]), f.TemaeChk.SetValue(c.prior[5]);
        WindowHandle top = w.desktop.Add({.title = "Top"});
        fake::Window window{.exStyle = c.exStyle, .visible = c.kind != Kind::Hidden};
        if (c.kind == Kind::Child) window.parent = top;
        if (c.kind == Kind::OwnedPopup) window.owner = top, window.style = fake::kWsPopup;
        if (c.kind == Kind::NoShell) w.desktop.Destroy(w.shell);
        WindowHandle h = c.kind == Kind::Null ? WindowHandle() : w.desktop.Add(window);
        if (c.kind == Kind::Destroyed) w.desktop.Destroy(h);
        f.SetSelectedWindow(h);
        w.desktop.logging = true;
        f.GetChkValue();
        EXPECT_EQ(Calls(w.desktop), c.calls) << int(c.kind);
        EXPECT_EQ(Boxes({f.WinVisibleChk.Value(), f.SaihaimenChk.Value(), f.SaihaimenChk.Enabled(),
                         f.TaskBarShowChk.Value(), f.TaskBarShowChk.Enabled(), f.TemaeChk.Value()}),
                  c.read);
        EXPECT_EQ(f.Command1.Caption(), c.read[0] ? "隠す" : "表示する");
    }
}

TEST(Adjustments, EachControlChangesTheSelectedWindowAsItSays) {
    World w;
    WindowHandle t = w.desktop.Add({.title = "T", .exStyle = 0x100, .rect = {10, 20, 110, 220}});
    w.form.Form_Load();
    MainFrm& f = w.form;
    fake::Window& win = w.Win(t);
    // clang-format off
    const struct { std::function<void()> act; std::function<bool()> holds; } steps[] = {
        {[&] { f.WinVisibleChk.SetValue(0); }, [&] { return !win.visible; }},
        {[&] { f.WinVisibleChk.SetValue(1); }, [&] { return win.visible; }},
        {[&] { f.WinVisibleChk.SetValue(2); }, [&] { return !win.visible; }},
        // On top, shown where it was and not activated.
        {[&] { f.TemaeChk.SetValue(1); }, [&] { return win.exStyle == 0x108 && win.visible &&
             win.rect.left == 10 && win.rect.bottom == 220 && !w.desktop.foreground; }},
        {[&] { f.TemaeChk.SetValue(2); }, [&] { return win.exStyle == 0x100; }},
        {[&] { f.SaihaimenChk.SetValue(1); }, [&] { return win.parent == w.shell; }},
        {[&] { f.SaihaimenChk.SetValue(2); }, [&] { return !win.parent; }},
        {[&] { f.TaskBarShowChk.SetValue(0); },
         [&] { return win.owner == w.desktop.desktopWindow; }},
        {[&] { f.TaskBarShowChk.SetValue(1); }, [&] { return !win.owner; }},
        {[&] { f.TaskBarShowChk.SetValue(2); }, [&] { return !!win.owner; }},
        {[&] { f.ToumeiSld.UserMoved(100); },
         [&] { return win.exStyle == 0x80100 && win.alpha == 100; }},
        {[&] { f.CaptionTxt.UserEdited("題名"), f.CaptionChangeBtn.Click(); },
         [&] { return win.title == "題名" && w.Cell(t, col::Caption) == "題名"; }},
        {[&] { win.refusesText = true, f.CaptionTxt.UserEdited("x"), f.CaptionChangeBtn.Click(); },
         [&] { return w.Cell(t, col::Caption) == "題名"; }}};
    // clang-format on
    for (size_t i = 0; i < std::size(steps); ++i) {
        steps[i].act();
        EXPECT_TRUE(steps[i].holds()) << "step " << i;
    }
    // A caption-bar button is greyed and renumbered until every button is reset; anything else
    // names 0, the separator. The caption bar shows each change.
    // clang-format off
    const std::pair<std::string, uint32_t> buttons[] = {
        {"閉じるボタン", 0xF060}, {"最大化ボタン", 0xF030}, {"元に戻すボタン", 0xF120},
        {"最小化ボタン", 0xF020}, {"閉じるボタン ", 0}};
    // clang-format on
    w.desktop.logging = true;
    for (const auto& [name, id] : buttons) {
        f.ButtonCmb.UserEdited(name);
        auto expected = fake::DefaultMenu();
        for (auto& item : expected) item = item.id == id ? fake::MenuItem{0xFFFFFFF6u, 3} : item;
        for (int click = 0; click < 2; ++click) {  // the second finds no such item any more
            f.ButtonUnEnabledBtn.Click();
            EXPECT_EQ(win.menu, expected) << name;
        }
        f.ButtonEnabledBtn.Click();
        EXPECT_EQ(win.menu, fake::DefaultMenu()) << name;
    }
    EXPECT_EQ(w.desktop.Count("DrawMenuBar"), 3 * std::size(buttons));
}

constexpr Point kOnButton{200, 200}, kOnDialog{110, 110}, kOnEditor{500, 400};

// Only the descent through a disabled panel and a hidden group finds the dialog's button.
struct FinderWorld : World {
    WindowHandle editor{0x30000};
    WindowHandle dialog = desktop.Add({.title = "Settings",
                                       .className = "#32770",
                                       .owner = editor,
                                       .style = fake::kWsPopup,
                                       .processId = 7,
                                       .rect = {100, 100, 400, 300}});
    WindowHandle added = desktop.Add({.handle = editor,
                                      .title = "Editor",
                                      .className = "Frame",
                                      .processId = 8,
                                      .rect = {0, 0, 600, 500}});
    WindowHandle panel = desktop.Add(
        {.className = "Panel", .parent = dialog, .enabled = false, .rect = {150, 150, 350, 280}});
    WindowHandle group = desktop.Add(
        {.className = "Group", .parent = panel, .visible = false, .rect = {160, 160, 300, 260}});
    WindowHandle button = desktop.Add(
        {.className = "Button", .parent = group, .enabled = false, .rect = {170, 170, 250, 220}});
    FinderWorld() {
        desktop.processes = {{7, "tool.exe", "C:\\Apps\\tool.exe"},
                             {8, "editor.exe", "C:\\editor.exe"}};
        form.Form_Load();  // selects the dialog's row
    }
    void Pick(Point at) {
        desktop.cursor = at;
        form.picFinder_MouseDown(1, 0, 0, 0);
        form.picFinder_MouseUp(1, 0, 0, 0);
    }
};

// The details are reset while the previous window is still selected.
TEST(Finder, ALeftDragFollowsThePointerWhateverElseIsHeldAndTheFieldsShowEachPick) {
    FinderWorld w;
    // clang-format off
    const struct { char event; int buttons; Point at; WindowHandle picked; bool drags; } steps[] = {
        {'d', 2, kOnButton, w.dialog, false},    {'m', 4, kOnButton, w.dialog, false},
        {'u', 0, kOnButton, w.dialog, false},    {'d', 1, kOnButton, w.button, true},
        {'m', 1 | 2, kOnEditor, w.editor, true}, {'d', 2, kOnButton, w.editor, true},
        {'u', 2, kOnButton, w.editor, true},
        {'e', 0, kOnEditor, w.dialog, false},  // escape: back to the pick before the press
        {'d', 1, kOnButton, w.button, true},
        {'c', 0, kOnEditor, w.button, false},  // the mouse taken away: the pick stays
        {'e', 0, kOnEditor, w.button, false},    {'c', 0, kOnEditor, w.button, false},
        {'d', 1, kOnEditor, w.editor, true},     {'m', 1, {5000, 0}, {}, true},
        {'u', 1 | 2, kOnDialog, {}, false}};
    // clang-format on
    WindowHandle previous = w.dialog;
    w.desktop.onCall = [&](const std::string& call) {
        EXPECT_TRUE(call != "GetVersionPlatformId" || w.form.SelectedWindow() == previous);
    };
    for (const auto& s : steps) {
        w.desktop.cursor = s.at;
        s.event == 'd'   ? w.form.picFinder_MouseDown(s.buttons, 0, 0, 0)
        : s.event == 'm' ? w.form.picFinder_MouseMove(s.buttons, 0, 0, 0)
        : s.event == 'u' ? w.form.picFinder_MouseUp(s.buttons, 0, 0, 0)
        : s.event == 'e' ? w.form.picFinder_Escape()
                         : w.form.picFinder_CaptureLost();
        EXPECT_EQ(w.form.SelectedWindow(), s.picked) << s.event << s.buttons;
        EXPECT_EQ(w.view.dragging, s.drags) << s.event << s.buttons;
        EXPECT_EQ(w.desktop.capture,
                  s.drags ? w.view.ControlHandle(ids::picFinder) : WindowHandle());
        EXPECT_EQ(w.form.HandleTxt.Text(), s.picked == w.dialog ? "" : Text(s.picked));
        previous = s.picked;
    }
    EXPECT_EQ(w.form.txtClassName.Text(), "Frame") << "kept where no window is";
    EXPECT_EQ(CrossHairIcon().hotSpot.x * 100 + CrossHairIcon().hotSpot.y, 1616) << "the centre";
    EXPECT_EQ(w.form.CaptionTxt.Text(), "Settings") << "the list's selection is left alone";
    w.desktop.Fail("ChildWindowFromPoint", -2);  // no answer below the panel
    EXPECT_EQ(GetPointWindow(w.form, kOnButton), w.panel);
    // The fields show the signed handle and the whole class name, or keep what they showed.
    w.desktop.onCall = nullptr;
    for (int length : {98, 99, 100, 199, 250}) {
        std::string name;
        for (int i = 0; i < length; ++i) name += char('A' + i % 26);
        w.form.SetSelectedWindow(
            w.desktop.Add({.handle = WindowHandle(-length), .className = name}));
        w.form.GetControlData();
        EXPECT_EQ(w.form.HandleTxt.Text() + "|" + w.form.txtClassName.Text(),
                  "-" + std::to_string(length) + "|" + name);
        EXPECT_EQ(w.form.txtClassName.ForeSysColour(), 18);
    }
    // The parent button climbs to the owner and stops there, without reading the window's state.
    w.form.SetSelectedWindow(w.button);
    for (WindowHandle h : {w.group, w.panel, w.dialog, w.editor, w.editor}) {
        w.form.GetParentHandleBtn.Click();
        EXPECT_EQ(w.form.HandleTxt.Text() + w.form.txtClassName.Text(),
                  Text(h) + w.Win(h).className);
    }
    w.desktop.Fail("GetClassNameA", -2);  // the second, larger read fails: the field keeps its text
    w.form.SetSelectedWindow(WindowHandle(-199));
    w.form.GetControlData();
    w.form.GetParentHandleBtn.Click();  // none: it stays
    EXPECT_EQ(w.form.HandleTxt.Text() + "|" + w.form.txtClassName.Text(), "-199|Frame");
}

constexpr int kShift = 0x10, kCtrl = 0x11, kAlt = 0x12;
constexpr uint16_t kDown = 0x8000, kPressed = 0x8001;

// At each timer tick Ctrl+1 alone hides the foreground window, however long it is held; other
// keys count only when they come before 1 in the key table.
TEST(KeyChord, NamesTheModifiersHeldAndTheFirstTableKeyDownAndCtrlOneHidesTheFrontWindow) {
    // clang-format off
    const std::pair<std::vector<int>, std::string> cases[] = {
        {{kShift, kCtrl, kAlt}, ""},       {{kCtrl, '1'}, "Ctrl+1"},       {{kCtrl, '1'}, "Ctrl+1"},
        {{kCtrl, 0x61}, ""},               {{kShift, kCtrl, '1'}, "Shift+Ctrl+1"},
        {{kCtrl, '2'}, "Ctrl+2"},          {{'1'}, "1"},    {{kCtrl, 'A', '1'}, "Ctrl+A"},
        {{kAlt, kCtrl, kShift, 'Z'}, "Shift+Ctrl+Alt+Z"},   {{'9', 0x0D}, "9"},
        {{kCtrl, 0x7B}, "Ctrl+F12"},       {{kCtrl, 0x25, '1'}, "Ctrl+1"},
        {{0x2D, 0x24, 0x60, 0xBA}, ""}};
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

TEST(Tray, TheWindowGoesToTheNotificationAreaAndBackAndTheIconNeverOutlivesIt) {
    World w;
    w.desktop.logging = true;
    w.form.Command3.Click();
    const NotifyIconData& n = w.desktop.tray[{0x7000, 0}];
    EXPECT_EQ(std::vector<uint64_t>({n.cbSize, n.uFlags, n.uCallbackMessage, n.hIcon.value}),
              std::vector<uint64_t>({88, 7, 0x200, 0x77}));
    EXPECT_EQ(n.szTip + std::to_string(w.desktop.tray.size()), "Kelvorin1");
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
    // A new taskbar gets the icon back only in the tray; a refused icon shows the window instead.
    auto lost = [](World& v) { v.form.Command3_Click(), v.desktop.tray.clear(); };
    // clang-format off
    const struct { std::function<void(World&)> before; bool icon, shown; } cases[] = {
        {[](World&) {}, false, true}, {[](World& v) { v.view.Hide(); }, false, false},
        {[](World& v) { v.form.Command3_Click(), v.form.MNU_OPEN_Click(); }, false, true},
        {lost, true, false}, {[](World& v) { v.form.Command3_Click(); }, true, false},
        {[&](World& v) { lost(v), v.desktop.Fail("Shell_NotifyIconA"); }, false, true},
        {[](World& v) { v.desktop.Fail("Shell_NotifyIconA", 1), v.form.Command3_Click(); },
         false, true}};
    // clang-format on
    for (size_t i = 0; i < std::size(cases); ++i) {
        World v;
        cases[i].before(v);
        v.form.Form_TaskbarCreated();
        EXPECT_EQ(v.desktop.tray.size() * 10 + v.view.shown, cases[i].icon * 10u + cases[i].shown)
            << "case " << i;
    }
}

TEST(MainCommands, TheBigButtonTogglesTheBoxAndMarksOnlyTheRowOfTheWindowItActsOn) {
    FinderWorld w;
    w.Click(w.editor);  // the second row, so a fault that writes row 0 shows
    // clang-format off
    const struct { int from, to; const char* caption; const char* cells; } cases[] = {
        {1, 0, "表示する", "表示;非表示;"}, {0, 1, "隠す", "表示;表示;"},
        {2, 1, "隠す", "表示;表示;"}};
    // clang-format on
    for (auto c : cases) {
        w.form.WinVisibleChk.SetValue(c.from);
        w.form.ListView1.SetCell(1, col::Visibility, "?");
        w.form.Command1.Click();
        EXPECT_EQ(w.form.WinVisibleChk.Value() + w.Win(w.editor).visible * 10, c.to * 11) << c.from;
        EXPECT_EQ(w.form.Command1.Caption(), c.caption);
        EXPECT_EQ(w.Rows({col::Visibility}), c.cells);
    }
    // A window picked with the finder is not the row's: the list stays as it is.
    w.Pick({320, 270});  // the panel
    w.form.Command1.Click();
    EXPECT_FALSE(w.Win(w.panel).visible);
    EXPECT_EQ(w.Rows({col::Visibility}), "表示;表示;");
    w.form.ListView1.Select(std::nullopt);
    // Closing goes to the selected window, even a control; the extractor opens on the row's path.
    w.form.PEnd.Click();
    EXPECT_TRUE(w.Win(w.panel).destroyed && !w.Win(w.dialog).destroyed);
    w.form.PIconGetBtn.Click();
    w.form.ListView1.Select(0);
    w.form.PIconGetBtn.Click();
    EXPECT_EQ(w.view.iconGetterPaths, std::vector<std::string>{"C:\\Apps\\tool.exe"});
    // The options button opens the region below the threshold and closes it from there.
    for (auto [height, after] : {std::pair{4635, 7140}, {5499, 8004}, {5500, 2995}, {7140, 4635}}) {
        w.view.clientHeight = height;
        w.form.Command2.Click();
        EXPECT_EQ(w.view.clientHeight, after) << height;
    }
}

// The warning comes first; only Yes goes on, to the row's process and not the finder's pick.
TEST(ForceClose, OnlyYesTerminatesTheSelectedRowsProcessAndOnlyWhileItsIdNamesThatProgram) {
    const std::string warning =
        "タスク マネージャの警告|警告: プロセスが終了すると、データが失われたり、システムが\r\n"
        "不安定になったりするなどの、予期しない結果になることがあります。\r\n"
        "プロセスを終了する前に、状態またはデータを保存するかどうかの\r\n"
        "確認メッセージは表示されません。プロセスを終了しますか?|52";
    const fake::Process same{7, "tool.exe", "C:\\Apps\\tool.exe"};
    // clang-format off
    const struct { std::optional<std::string> idCell; fake::Process now; int answer; bool ends; }
        cases[] = {
        {"7", same, 6, true}, {"7", {7, "TOOL.EXE", "c:\\apps\\Tool.exe"}, 6, true},  // case aside
        {"7", same, 7, false}, {"7", same, 2, false}, {"7", same, 0, false},  // 0: no box
        {"7", {7, "game.exe", "C:\\Games\\game.exe"}, 6, false},
        {"7", {7, "tool.exe", "C:\\Temp\\tool.exe"}, 6, false},
        {"7", {7, "tool.exe", "C:\\Apps\\tool.exe", false}, 6, false},        // modules unreadable
        {"7", {7, "tool.exe", "C:\\Apps\\tool.exe", true, false}, 6, false},  // refused to open
        {"7x", same, 6, false}, {"4294967303", same, 6, false}, {{}, same, 6, false}};
    // clang-format on
    for (const auto& c : cases) {
        FinderWorld w;
        w.Pick(kOnEditor);
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
