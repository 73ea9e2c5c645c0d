// The state reader (GetChkValue) and the commands that change the selected window.
#include <array>
#include <functional>
#include <tuple>

#include "world.h"

namespace kelvorin {
namespace {

using unit::Text;
using unit::World;

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
        std::string calls;
        for (const auto& call : w.desktop.log) calls += call + " ";
        EXPECT_EQ(calls, c.calls) << int(c.kind);
        EXPECT_EQ(Boxes({f.WinVisibleChk.Value(), f.SaihaimenChk.Value(), f.SaihaimenChk.Enabled(),
                         f.TaskBarShowChk.Value(), f.TaskBarShowChk.Enabled(), f.TemaeChk.Value()}),
                  c.read);
        EXPECT_EQ(f.Command1.Caption(), c.read[0] ? "隠す" : "表示する");
        if (c.kind == Kind::NoShell) {  // what those handlers did
            EXPECT_EQ(w.Win(h).owner.value + int(w.Win(h).exStyle), 0x10010 + 0x80008);
        }
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
    // A hung window takes none of them, and nothing is said about it.
    win.hung = true;
    const fake::Window before = win;
    for (size_t i = 0; i + 1 < std::size(steps); ++i) steps[i].act();
    EXPECT_EQ(std::tie(win.visible, win.exStyle, win.parent, win.owner, win.alpha, win.title),
              std::tie(before.visible, before.exStyle, before.parent, before.owner, before.alpha,
                       before.title));
    EXPECT_TRUE(w.desktop.boxes.empty());
}

TEST(Adjustments, ACaptionBarButtonIsGreyedAndRenumberedUntilEveryButtonIsReset) {
    const std::pair<std::string, uint32_t> cases[] = {
        {"閉じるボタン", 0xF060},
        {"最大化ボタン", 0xF030},
        {"元に戻すボタン", 0xF120},
        {"最小化ボタン", 0xF020},
        {"閉じるボタン ", 0}};  // anything else is 0, the separator
    for (const auto& [name, id] : cases) {
        World w;
        WindowHandle t = w.desktop.Add({.title = "Target"});
        w.form.Form_Load();
        w.form.ButtonCmb.UserEdited(name);
        auto expected = fake::DefaultMenu();
        for (auto& item : expected) item = item.id == id ? fake::MenuItem{0xFFFFFFF6u, 3} : item;
        w.desktop.logging = true;
        for (int click = 0; click < 2; ++click) {  // the second finds no such item any more
            w.form.ButtonUnEnabledBtn.Click();
            EXPECT_EQ(w.Win(t).menu, expected) << name;
        }
        w.form.ButtonEnabledBtn.Click();
        EXPECT_EQ(w.Win(t).menu, fake::DefaultMenu()) << name;
        EXPECT_EQ(w.desktop.Count("DrawMenuBar"), 3u) << "the caption bar shows each change";
    }
}

}  // namespace
}  // namespace kelvorin
