// The state reader (GetChkValue) and the commands that change the selected
// window.
#include <array>
#include <functional>

#include "world.h"

namespace kelvorin {
namespace {

using unit::Text;
using unit::World;

// Visible, bottom-most, its enabled state, taskbar, its enabled state, always on top.
using Boxes = std::array<int, 6>;

Boxes Read(const MainFrm& f) {
    return {f.WinVisibleChk.Value(), f.SaihaimenChk.Value(), f.SaihaimenChk.Enabled(),
            f.TaskBarShowChk.Value(), f.TaskBarShowChk.Enabled(), f.TemaeChk.Value()};
}

enum class Kind { Hidden, Child, OwnedPopup, Parentless, NoShell, Destroyed, Null };

// Leaves the boxes as a previous read might have (their handlers act on
// handle 0, so no window changes), then makes a window of that kind the
// selected one.
WindowHandle Prepare(World& w, Kind kind, uint32_t exStyle, Boxes prior) {
    MainFrm& f = w.form;
    f.WinVisibleChk.SetValue(prior[0]);
    f.SaihaimenChk.SetValue(prior[1]);
    f.SaihaimenChk.SetEnabled(prior[2]);
    f.TaskBarShowChk.SetValue(prior[3]);
    f.TaskBarShowChk.SetEnabled(prior[4]);
    f.TemaeChk.SetValue(prior[5]);
    f.Command1.SetCaption("");
    WindowHandle top = w.desktop.Add({.title = "Top"});
    fake::Window window{.exStyle = exStyle};
    if (kind == Kind::Hidden) window.visible = false;
    if (kind == Kind::Child) window.parent = top;
    if (kind == Kind::OwnedPopup) window.owner = top, window.style = fake::kWsPopup;
    if (kind == Kind::NoShell) w.desktop.Destroy(w.shell);
    WindowHandle h = kind == Kind::Null ? WindowHandle() : w.desktop.Add(window);
    if (kind == Kind::Destroyed) w.desktop.Destroy(h);
    f.SetSelectedWindow(h);
    w.desktop.logging = true;
    return h;
}

TEST(StateReader, EachStateOfTheWindowGivesItsBoxes) {
    constexpr uint32_t kTop = 0x8;
    const struct { Kind kind; uint32_t exStyle; Boxes prior, read; } cases[] = {
        // Hidden or gone: the other boxes stay as they were, enabled state included.
        {Kind::Hidden, kTop, {1, 1, 0, 0, 0, 0}, {0, 1, 0, 0, 0, 0}},
        {Kind::Destroyed, 0, {1, 0, 1, 1, 1, 1}, {0, 0, 1, 1, 1, 1}},
        {Kind::Null, 0, {1, 0, 0, 1, 1, 0}, {0, 0, 0, 1, 1, 0}},
        // With a parent or an owner: bottom-most and taskbar disabled, values kept.
        {Kind::Child, kTop, {0, 1, 1, 0, 1, 0}, {1, 1, 0, 0, 0, 1}},
        {Kind::OwnedPopup, 0, {1, 0, 1, 1, 1, 1}, {1, 0, 0, 1, 0, 0}},
        // Parentless: the shell decides.
        {Kind::Parentless, 0x100, {1, 1, 0, 0, 0, 1}, {1, 0, 1, 1, 1, 0}},
        {Kind::NoShell, kTop | 0x80000, {1, 0, 0, 1, 0, 0}, {1, 1, 1, 0, 1, 1}},
    };
    for (const auto& c : cases) {
        World w;
        Prepare(w, c.kind, c.exStyle, c.prior);
        w.form.GetChkValue();
        EXPECT_EQ(Read(w.form), c.read) << int(c.kind);
        EXPECT_EQ(w.form.Command1.Caption(), c.read[0] ? "隠す" : "表示する") << int(c.kind);
    }
}

// Each box that changes runs its handler at once, before the next query.
TEST(StateReader, AsksItsQueriesInOrderAndEachChangedBoxActsBeforeTheNext) {
    const std::string d = Text(fake::Desktop().desktopWindow);
    const struct { Kind kind; uint32_t exStyle; Boxes prior; std::vector<std::string> calls; } cases[] = {
        {Kind::Hidden, 0, {1, 0, 1, 1, 1, 0}, {"IsWindowVisible(h)", "ShowWindow(h,0)"}},
        {Kind::Child, 0x8, {1, 0, 1, 1, 1, 1}, {"IsWindowVisible(h)", "GetParent(h)", "GetWindowLongA(h,-20)"}},
        {Kind::Parentless, 0, {0, 0, 1, 0, 1, 1},
         {"IsWindowVisible(h)", "ShowWindow(h,5)", "GetParent(h)", "FindWindowA(\"Progman\",null)", "GetParent(h)",
          "SetWindowLongA(h,-8,0)", "GetWindowLongA(h,-20)", "SetWindowPos(h,-2,0,0,0,0,83)"}},
        {Kind::NoShell, 0x8, {1, 0, 1, 1, 1, 0},
         {"IsWindowVisible(h)", "GetParent(h)", "FindWindowA(\"Progman\",null)", "GetParent(h)",
          "FindWindowA(\"Progman\",null)", "SetParent(h,0)", "GetDesktopWindow()", "SetWindowLongA(h,-8," + d + ")",
          "GetWindowLongA(h,-20)", "SetWindowPos(h,-1,0,0,0,0,83)"}},
    };
    for (const auto& c : cases) {
        World w;
        WindowHandle h = Prepare(w, c.kind, c.exStyle, c.prior);
        w.form.GetChkValue();
        std::vector<std::string> expected;
        for (std::string call : c.calls) {
            for (size_t at; (at = call.find("(h")) != std::string::npos;) call.replace(at + 1, 1, Text(h));
            expected.push_back(call);
        }
        EXPECT_EQ(w.desktop.log, expected) << int(c.kind);
    }
}

TEST(Adjustments, EachControlChangesTheSelectedWindowAsItSays) {
    World w;
    WindowHandle t = w.desktop.Add({.title = "Target", .exStyle = 0x100, .rect = {10, 20, 110, 220}});
    w.form.Form_Load();
    MainFrm& f = w.form;
    fake::Window& win = w.Win(t);
    const struct { const char* what; std::function<void()> act; std::function<bool()> holds; } steps[] = {
        {"hidden", [&] { f.WinVisibleChk.SetValue(0); }, [&] { return !win.visible; }},
        {"shown", [&] { f.WinVisibleChk.SetValue(1); }, [&] { return win.visible; }},
        {"grey hides", [&] { f.WinVisibleChk.SetValue(2); }, [&] { return !win.visible; }},
        {"on top, shown where it was, not activated", [&] { f.TemaeChk.SetValue(1); },
         [&] { return (win.exStyle & 8) && win.visible && win.rect.left == 10 && win.rect.bottom == 220 &&
                      !w.desktop.foreground; }},
        {"grey is not on top", [&] { f.TemaeChk.SetValue(2); }, [&] { return win.exStyle == 0x100; }},
        {"bottom-most", [&] { f.SaihaimenChk.SetValue(1); }, [&] { return win.parent == w.shell; }},
        {"grey is top-level", [&] { f.SaihaimenChk.SetValue(2); }, [&] { return !win.parent; }},
        {"off the taskbar", [&] { f.TaskBarShowChk.SetValue(0); }, [&] { return win.owner == w.desktop.desktopWindow; }},
        {"on the taskbar", [&] { f.TaskBarShowChk.SetValue(1); }, [&] { return !win.owner; }},
        {"grey is off the taskbar", [&] { f.TaskBarShowChk.SetValue(2); }, [&] { return !!win.owner; }},
        {"see-through", [&] { f.ToumeiSld.UserMoved(100); }, [&] { return win.exStyle == 0x80100 && win.alpha == 100; }},
        {"caption", [&] { f.CaptionTxt.UserEdited("新しい題名"); f.CaptionChangeBtn.Click(); },
         [&] { return win.title == "新しい題名" && w.Cell(t, col::Caption) == "新しい題名"; }},
        {"refused caption", [&] { win.refusesText = true; f.CaptionTxt.UserEdited("x"); f.CaptionChangeBtn.Click(); },
         [&] { return w.Cell(t, col::Caption) == "新しい題名"; }},
    };
    for (const auto& s : steps) {
        s.act();
        EXPECT_TRUE(s.holds()) << s.what;
    }
    EXPECT_TRUE(w.desktop.boxes.empty());
}

TEST(Adjustments, ACaptionBarButtonIsGreyedAndRenumberedUntilEveryButtonIsReset) {
    const std::pair<std::string, uint32_t> cases[] = {
        {"閉じるボタン", 0xF060}, {"最大化ボタン", 0xF030}, {"元に戻すボタン", 0xF120},
        {"最小化ボタン", 0xF020}, {"閉じるボタン ", 0}};  // anything else is 0, the separator
    for (const auto& [name, id] : cases) {
        World w;
        WindowHandle t = w.desktop.Add({.title = "Target"});
        w.form.Form_Load();
        w.form.ButtonCmb.UserEdited(name);
        auto expected = fake::DefaultMenu();
        for (auto& item : expected)
            if (item.id == id) item = {0xFFFFFFF6u, 3};
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

// What a test can see of a window.
std::string State(fake::Desktop& d, WindowHandle h) {
    const fake::Window& w = d.Win(h);
    std::string s = w.title + " " + std::to_string(w.visible) + Text(w.parent) + Text(w.owner) +
                    std::to_string(w.exStyle) + std::to_string(w.alpha.value_or(0)) + std::to_string(w.destroyed);
    for (const auto& item : w.menu) s += " " + std::to_string(item.id) + "/" + std::to_string(item.state);
    return s;
}

TEST(Adjustments, OnAGoneOrHungWindowEveryCommandRunsWithoutEffectOrMessage) {
    const std::function<void(MainFrm&)> commands[] = {
        [](MainFrm& f) { f.WinVisibleChk.UserToggle(); },
        [](MainFrm& f) { f.TemaeChk.UserToggle(), f.TemaeChk.UserToggle(); },
        [](MainFrm& f) { f.SaihaimenChk.UserToggle(), f.SaihaimenChk.UserToggle(); },
        [](MainFrm& f) { f.TaskBarShowChk.UserToggle(), f.TaskBarShowChk.UserToggle(); },
        [](MainFrm& f) { f.ToumeiSld.UserMoved(100); },
        [](MainFrm& f) { f.CaptionTxt.UserEdited("New"), f.CaptionChangeBtn.Click(); },
        [](MainFrm& f) { f.ButtonUnEnabledBtn.Click(); },
        [](MainFrm& f) { f.ButtonEnabledBtn.Click(); },
    };
    for (int kind = 0; kind < 3; ++kind) {
        for (size_t i = 0; i < std::size(commands); ++i) {
            World w;
            WindowHandle t = w.desktop.Add({.title = "Target", .exStyle = 0x8});
            WindowHandle other = w.desktop.Add({.title = "Other"});
            w.form.Form_Load();
            w.Win(t).menu.back().state = 3;  // so a reset would show
            if (kind == 0) w.form.SetSelectedWindow(WindowHandle());
            if (kind == 1) w.desktop.Destroy(t);
            if (kind == 2) w.Win(t).hung = true;
            const std::string before = State(w.desktop, t) + State(w.desktop, other) + State(w.desktop, w.shell);
            commands[i](w.form);
            EXPECT_EQ(State(w.desktop, t) + State(w.desktop, other) + State(w.desktop, w.shell), before)
                << "kind " << kind << ", command " << i;
            EXPECT_TRUE(w.desktop.boxes.empty());
        }
    }
}

}  // namespace
}  // namespace kelvorin
