// GetChkValue: the selected window's state read into the check boxes, and
// the box handlers that each changed value sets off on the way.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "form_on_fake.h"

namespace kelvorin {
namespace {

using unit::Calls;
using unit::FormOnFake;
using unit::FormWorld;
using unit::Text;

// What the check boxes of the options region show of the selected window.
struct Boxes {
    int visible = 0;
    int saihaimen = 0;
    bool saihaimenEnabled = true;
    int taskBar = 0;
    bool taskBarEnabled = true;
    int temae = 0;
    friend bool operator==(const Boxes&, const Boxes&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Boxes& b) {
        return out << "{visible " << b.visible << ", saihaimen " << b.saihaimen
                   << (b.saihaimenEnabled ? "" : " disabled") << ", taskbar " << b.taskBar
                   << (b.taskBarEnabled ? "" : " disabled") << ", temae " << b.temae << "}";
    }
};

Boxes Shown(const MainFrm& form) {
    return {form.WinVisibleChk.Value(),  form.SaihaimenChk.Value(),     form.SaihaimenChk.Enabled(),
            form.TaskBarShowChk.Value(), form.TaskBarShowChk.Enabled(), form.TemaeChk.Value()};
}

// The big show/hide button's caption for what the reader found.
std::string Command1For(const Boxes& b) {
    return b.visible == 1 ? "隠す" : "表示する";
}

// Leaves the boxes as a previous read might have, without touching any window
// (their handlers act on handle 0), then selects h with a clean log.
void Prepare(FormWorld& w, const Boxes& prior, WindowHandle h) {
    w.form.SetSelectedWindow(WindowHandle());
    w.form.WinVisibleChk.SetValue(prior.visible);
    w.form.Command1.SetCaption("");
    w.form.SaihaimenChk.SetValue(prior.saihaimen);
    w.form.SaihaimenChk.SetEnabled(prior.saihaimenEnabled);
    w.form.TaskBarShowChk.SetValue(prior.taskBar);
    w.form.TaskBarShowChk.SetEnabled(prior.taskBarEnabled);
    w.form.TemaeChk.SetValue(prior.temae);
    w.form.SetSelectedWindow(h);
    w.desktop.Log().Clear();
}

enum class Kind { Hidden, Child, OwnedPopup, Parentless, ParentlessNoShell, Destroyed, Null };

// A window of that kind, on a desktop that has a shell unless the kind says not.
WindowHandle Make(FormWorld& w, Kind kind, uint32_t exStyle = 0) {
    WindowHandle top = w.Add({.title = "Top"});
    switch (kind) {
        case Kind::Hidden:
            return w.Add({.title = "Hidden", .exStyle = exStyle, .visible = false});
        case Kind::Child:
            return w.desktop.AddWindow({.title = "OK", .parent = top, .exStyle = exStyle});
        case Kind::OwnedPopup:
            return w.Add(
                {.title = "Popup", .owner = top, .style = fake::kWsPopup, .exStyle = exStyle});
        case Kind::Parentless:
            return w.Add({.title = "Plain", .exStyle = exStyle});
        case Kind::ParentlessNoShell:
            w.desktop.DestroyWindow(w.shell);
            return w.Add({.title = "Plain", .exStyle = exStyle});
        case Kind::Destroyed: {
            WindowHandle h = w.Add({.title = "Gone", .exStyle = exStyle});
            w.desktop.DestroyWindow(h);
            return h;
        }
        case Kind::Null:
            return WindowHandle();
    }
    return {};
}

const char* Name(Kind kind) {
    constexpr const char* kNames[] = {"hidden",   "child",     "owned pop-up", "parentless",
                                      "no shell", "destroyed", "handle 0"};
    return kNames[static_cast<int>(kind)];
}

TEST(StateReader, EachStateGivesItsRowOfTheTable) {
    struct Case {
        Kind kind;
        uint32_t exStyle;
        Boxes prior, read;
    };
    constexpr uint32_t kTop = win::kWsExTopmost;
    // Boxes: visible, bottom-most (value, enabled), taskbar (value, enabled), always on top.
    // clang-format off
    const Case cases[] = {
        // Hidden: the other boxes show what they showed, disabled state included.
        {Kind::Hidden,            kTop, {1, 1, false, 0, false, 0}, {0, 1, false, 0, false, 0}},
        {Kind::Hidden,            0,    {1, 0, true,  1, true,  1}, {0, 0, true,  1, true,  1}},
        {Kind::Destroyed,         0,    {1, 1, true,  0, false, 1}, {0, 1, true,  0, false, 1}},
        {Kind::Null,              0,    {1, 0, false, 1, true,  0}, {0, 0, false, 1, true,  0}},
        // With a parent or owner: bottom-most and taskbar disabled, values kept.
        {Kind::Child,             kTop, {0, 1, true,  0, true,  0}, {1, 1, false, 0, false, 1}},
        {Kind::OwnedPopup,        0,    {1, 0, true,  1, true,  1}, {1, 0, false, 1, false, 0}},
        // Parentless: the shell decides.
        {Kind::Parentless,        0,    {1, 1, false, 0, false, 1}, {1, 0, true,  1, true,  0}},
        {Kind::ParentlessNoShell, kTop, {1, 0, false, 1, false, 0}, {1, 1, true,  0, true,  1}},
    };
    // clang-format on
    for (const auto& c : cases) {
        FormWorld w;
        WindowHandle h = Make(w, c.kind, c.exStyle);
        Prepare(w, c.prior, h);

        w.form.GetChkValue();

        EXPECT_EQ(Shown(w.form), c.read) << Name(c.kind);
        EXPECT_EQ(w.form.Command1.Caption(), Command1For(c.read)) << Name(c.kind);
        EXPECT_TRUE(w.desktop.MessageBoxes().empty()) << Name(c.kind);
    }
}

TEST(StateReader, AsksOnlyTheQueriesOfItsBranchInOrderAndASecondReadRunsNoHandler) {
    for (Kind kind : {Kind::Hidden, Kind::Child, Kind::OwnedPopup, Kind::Parentless,
                      Kind::ParentlessNoShell, Kind::Destroyed, Kind::Null}) {
        FormWorld w;
        WindowHandle h = Make(w, kind, win::kWsExTopmost);
        const std::string t = Text(h);
        const std::vector<std::string> hidden = {"IsWindowVisible(" + t + ")"};
        const std::vector<std::string> withParent = {
            "IsWindowVisible(" + t + ")", "GetParent(" + t + ")", "GetWindowLongA(" + t + ",-20)"};
        const std::vector<std::string> parentless = {
            "IsWindowVisible(" + t + ")", "GetParent(" + t + ")", "FindWindowA(\"Progman\",null)",
            "GetParent(" + t + ")", "GetWindowLongA(" + t + ",-20)"};
        const auto& expected = kind == Kind::Child || kind == Kind::OwnedPopup ? withParent
                               : kind == Kind::Parentless || kind == Kind::ParentlessNoShell
                                   ? parentless
                                   : hidden;
        w.form.SetSelectedWindow(h);
        w.form.GetChkValue();
        const Boxes first = Shown(w.form);
        w.desktop.Log().Clear();

        w.form.GetChkValue();

        // Nothing but the queries: no box changed, so no handler ran.
        EXPECT_EQ(w.desktop.Log().Strings(), expected) << Name(kind);
        EXPECT_EQ(Shown(w.form), first) << Name(kind);
    }
}

TEST(StateReader, TemaeFollowsTheTopmostBitAmongOtherBits) {
    const std::pair<uint32_t, int> cases[] = {
        {0, 0},
        {win::kWsExTopmost, 1},
        {win::kWsExTopmost | 0x100 | 0x200 | win::kWsExLayered, 1},
        {0x100 | win::kWsExLayered, 0},
        {~win::kWsExTopmost, 0},
    };
    for (auto [exStyle, temae] : cases) {
        FormWorld w;
        WindowHandle h = Make(w, Kind::Parentless, exStyle);
        Prepare(w, {1, 0, true, 1, true, 1 - temae}, h);
        w.form.GetChkValue();
        EXPECT_EQ(w.form.TemaeChk.Value(), temae) << std::hex << "exStyle 0x" << exStyle;
    }
}

// The handlers that changed boxes set off run inside the write, before the
// reader's next query.
TEST(StateReader, HandlersRunInsideTheStepThatChangedTheirBox) {
    struct Case {
        const char* what;
        Kind kind;
        uint32_t exStyle;
        Boxes prior;
        std::vector<std::string> calls;  // {h}: the window's handle
    };
    const std::string desktopWindow = Text(fake::FakeDesktop().DesktopHandle());
    const Case cases[] = {
        {"hidden window after a visible one",
         Kind::Hidden,
         0,
         {1, 0, true, 1, true, 0},
         {"IsWindowVisible({h})", "ShowWindow({h},0)"}},
        {"visible, shell running",
         Kind::Parentless,
         0,
         {0, 0, true, 0, true, 1},
         {"IsWindowVisible({h})", "ShowWindow({h},5)", "GetParent({h})",
          "FindWindowA(\"Progman\",null)", "GetParent({h})", "SetWindowLongA({h},-8,0)",
          "GetWindowLongA({h},-20)", "SetWindowPos({h},-2,0,0,0,0,83)"}},
        {"visible, no shell",
         Kind::ParentlessNoShell,
         win::kWsExTopmost,
         {1, 0, true, 1, true, 0},
         {"IsWindowVisible({h})", "GetParent({h})", "FindWindowA(\"Progman\",null)",
          "GetParent({h})", "FindWindowA(\"Progman\",null)", "SetParent({h},0)",
          "GetDesktopWindow()", "SetWindowLongA({h},-8," + desktopWindow + ")",
          "GetWindowLongA({h},-20)", "SetWindowPos({h},-1,0,0,0,0,83)"}},
    };
    for (const auto& c : cases) {
        FormWorld w;
        WindowHandle h = Make(w, c.kind, c.exStyle);
        Prepare(w, c.prior, h);

        w.form.GetChkValue();

        EXPECT_EQ(w.desktop.Log().Strings(), Calls(h, c.calls)) << c.what;
    }
}

// The reader as loads from the list run it, one window after another.
using ReaderAcrossLoads = FormOnFake;

TEST_F(ReaderAcrossLoads, ParentlessWindowReadAfterOneTakenOffTheTaskbarLosesItsOwner) {
    WindowHandle first = Add({.title = "First"});
    WindowHandle owner = Add({.title = "Owner"});
    // An overlapped window with an owner: GetParent reports none.
    WindowHandle owned = Add({.title = "Owned", .owner = owner});
    form.Form_Load();
    ASSERT_EQ(form.SelectedWindow(), first);
    form.TaskBarShowChk.UserToggle();
    ASSERT_EQ(form.TaskBarShowChk.Value(), 0);
    ASSERT_EQ(desktop.Window(first).owner, desktop.DesktopHandle());

    ClickRow(owned);

    EXPECT_EQ(form.TaskBarShowChk.Value(), 1);
    EXPECT_EQ(desktop.Window(owned).owner, WindowHandle());
}

}  // namespace
}  // namespace kelvorin
