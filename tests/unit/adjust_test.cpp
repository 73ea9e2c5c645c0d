// The state reader (GetChkValue), the commands that change the selected window, and the finder:
// the drag, its hit test, and the handle and class-name fields.
#include <array>
#include <functional>
#include <tuple>

#include "app/control_ids.h"
#include "finder/finder.h"
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
        EXPECT_TRUE(c.kind != Kind::NoShell || w.Win(h).owner.value + w.Win(h).exStyle == 0x90018);
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
    const std::pair<std::string, uint32_t> buttons[] = {{"閉じるボタン", 0xF060}, {"最大化ボタン", 0xF030},
        {"元に戻すボタン", 0xF120}, {"最小化ボタン", 0xF020}, {"閉じるボタン ", 0}};
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
    // A hung window takes none of them, and nothing is said about it.
    win.hung = true;
    const fake::Window before = win;
    for (size_t i = 0; i + 1 < std::size(steps); ++i) steps[i].act();
    EXPECT_EQ(std::tie(win.visible, win.exStyle, win.parent, win.owner, win.alpha, win.title),
              std::tie(before.visible, before.exStyle, before.parent, before.owner, before.alpha,
                       before.title));
    EXPECT_TRUE(w.desktop.boxes.empty());
}

constexpr Point kOnButton{200, 200}, kOnDialog{110, 110}, kOnEditor{500, 400};

// An editor owning a dialog, where a disabled panel holds a hidden group holding a disabled
// button: WindowFromPoint stops at the dialog, the descent through them finds the button.
// clang-format off
struct FinderWorld : World {
    WindowHandle editor{0x30000};
    WindowHandle dialog = desktop.Add({.title = "Settings", .className = "#32770", .owner = editor,
                                       .style = fake::kWsPopup, .rect = {100, 100, 400, 300}});
    WindowHandle added = desktop.Add({.handle = editor, .title = "Editor", .className = "Frame", .rect = {0, 0, 600, 500}});
    WindowHandle panel = desktop.Add({.className = "Panel", .parent = dialog, .enabled = false, .rect = {150, 150, 350, 280}});
    WindowHandle group = desktop.Add({.className = "Group", .parent = panel, .visible = false, .rect = {160, 160, 300, 260}});
    WindowHandle button = desktop.Add({.className = "Button", .parent = group, .enabled = false, .rect = {170, 170, 250, 220}});
    FinderWorld() { form.Form_Load(); }  // selects the dialog's row
};
// clang-format on

TEST(Finder, ADragCutShortKeepsThePickButEscapeGoesBackToThePress) {
    for (bool escape : {false, true}) {
        FinderWorld w;
        w.desktop.cursor = kOnEditor;
        w.form.picFinder_MouseDown(1, 0, 0, 0);
        w.form.picFinder_MouseUp(1, 0, 0, 0);
        w.desktop.cursor = kOnButton;
        w.form.picFinder_MouseDown(1, 0, 0, 0);
        escape ? w.form.picFinder_Escape() : w.form.picFinder_CaptureLost();
        const WindowHandle kept = escape ? w.editor : w.button;
        EXPECT_FALSE(w.view.dragging || w.form.finderDrag.Dragging() || bool(w.desktop.capture));
        EXPECT_EQ(
            Text(w.form.SelectedWindow()) + w.form.HandleTxt.Text() + w.form.txtClassName.Text(),
            Text(kept) + Text(kept) + w.Win(kept).className);
        // Without a drag neither does anything: another window keeps the mouse.
        w.desktop.capture = w.editor;
        w.form.picFinder_Escape();
        w.form.picFinder_CaptureLost();
        EXPECT_EQ(w.desktop.capture, w.editor);
        EXPECT_EQ(w.form.SelectedWindow(), kept);
    }
}

// The details are reset while the previous window is still selected.
TEST(Finder, ALeftDragFollowsThePointerWhateverElseIsHeldAndTheFieldsShowEachPick) {
    FinderWorld w;
    // clang-format off
    const struct { char event; int buttons; Point at; WindowHandle picked; bool dragging; } steps[] = {
        {'d', 2, kOnButton, w.dialog, false}, {'m', 4, kOnButton, w.dialog, false},
        {'u', 0, kOnButton, w.dialog, false}, {'d', 1, kOnButton, w.button, true},
        {'m', 1 | 2, kOnEditor, w.editor, true}, {'d', 2, kOnButton, w.editor, true},
        {'u', 2, kOnButton, w.editor, true}, {'m', 1, {5000, 0}, {}, true},
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
                         : w.form.picFinder_MouseUp(s.buttons, 0, 0, 0);
        EXPECT_EQ(w.form.SelectedWindow(), s.picked) << s.event << s.buttons;
        EXPECT_EQ(w.view.dragging, s.dragging) << s.event << s.buttons;
        EXPECT_EQ(w.desktop.capture,
                  s.dragging ? w.view.ControlHandle(ids::picFinder) : WindowHandle());
        EXPECT_EQ(w.form.HandleTxt.Text(), s.picked == w.dialog ? "" : Text(s.picked));
        previous = s.picked;
    }
    EXPECT_EQ(w.form.txtClassName.Text(), "Frame") << "kept where no window is";
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
    w.desktop.logging = true;
    for (WindowHandle h : {w.group, w.panel, w.dialog, w.editor, w.editor}) {
        w.form.GetParentHandleBtn.Click();
        EXPECT_EQ(w.form.HandleTxt.Text() + w.form.txtClassName.Text(),
                  Text(h) + w.Win(h).className);
    }
    EXPECT_EQ(w.desktop.Count("IsWindowVisible") + w.desktop.Count("GetVersionPlatformId"), 0u);
    w.desktop.Fail("GetClassNameA", -2);  // the second, larger read fails: the field keeps its text
    w.form.SetSelectedWindow(WindowHandle(-199));
    w.form.GetControlData();
    w.form.GetParentHandleBtn.Click();  // none: it stays
    EXPECT_EQ(w.form.HandleTxt.Text() + "|" + w.form.txtClassName.Text(), "-199|Frame");
}

}  // namespace kelvorin::unit
