// The commands that change the selected window: visibility, caption, always
// on top, bottom-most, taskbar presence, opacity and the caption-bar buttons.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "form_on_fake.h"

namespace kelvorin {
namespace {

using fake::MenuItem;
using unit::Calls;
using unit::FormOnFake;
using unit::FormWorld;
using unit::Text;

constexpr uint32_t kRetiredId = 0xFFFFFFF6u;

class Adjustments : public FormOnFake {
  protected:
    void SetUp() override {
        desktop.AddProcess(
            {.processId = 7, .exeFile = "editor.exe", .exePath = "C:\\Apps\\editor.exe"});
        target = Add({.title = "Target", .processId = 7});
        other = Add({.title = "Other", .processId = 7});
        form.Form_Load();
        ASSERT_EQ(form.SelectedWindow(), target);
        desktop.Log().Clear();
    }

    std::vector<std::string> Log() { return desktop.Log().Strings(); }

    WindowHandle target, other;
};

TEST_F(Adjustments, VisibilityBoxShowsOnlyForOneAndHidesForAnyOtherValue) {
    const std::pair<int, int> steps[] = {
        {0, win::kSwHide}, {1, win::kSwShow}, {2, win::kSwHide}, {1, win::kSwShow}};
    for (auto [value, command] : steps) {
        desktop.Log().Clear();
        form.WinVisibleChk.SetValue(value);
        EXPECT_EQ(Log(), Calls(target, {"ShowWindow({h}," + std::to_string(command) + ")"}))
            << "value " << value;
        EXPECT_EQ(desktop.Visible(target), value == 1) << "value " << value;
        // Neither the big button nor the list row follows until the next read.
        EXPECT_EQ(form.Command1.Caption(), "隠す");
        EXPECT_EQ(CellOf(target, col::Visibility), "表示");
    }
}

TEST_F(Adjustments, CaptionIsSentThenTheListRefreshedWhateverBecameOfIt) {
    struct Case {
        const char* what;
        std::string text;
        bool sendFails;
        bool refusesText;
        std::string title;  // the window's caption afterwards; "" leaves it without a row
    };
    const Case cases[] = {
        {"accepted", "新しい題名", false, false, "新しい題名"},
        {"send fails", "Lost", true, false, "Target"},
        {"window refuses", "Refused", false, true, "Target"},
        {"empty text", "", false, false, ""},
    };
    for (const auto& c : cases) {
        desktop.RestoreAll();
        desktop.Window(target).title = "Target";
        desktop.Window(target).refusesText = c.refusesText;
        if (c.sendFails) desktop.Fail("SendSetText");
        form.SetSelectedWindow(target);
        form.CaptionTxt.UserEdited(c.text);
        desktop.Log().Clear();

        form.CaptionChangeBtn.Click();

        EXPECT_EQ(desktop.Log().Names({"SendSetText", "EnumWindows"}),
                  (std::vector<std::string>{"SendSetText", "EnumWindows"}))
            << c.what;
        EXPECT_EQ(desktop.Log().Strings({"SendSetText"}),
                  Calls(target, {"SendSetText({h},\"" + c.text + "\")"}))
            << c.what;
        EXPECT_EQ(desktop.Window(target).title, c.title) << c.what;
        if (c.title.empty())
            EXPECT_EQ(RowOf(target), std::nullopt) << c.what;
        else
            EXPECT_EQ(CellOf(target, col::Caption), c.title) << c.what;
        EXPECT_TRUE(desktop.MessageBoxes().empty()) << c.what;
    }
}

TEST_F(Adjustments, AlwaysOnTopBoxPlacesWithTheSameFlagsBothWays) {
    const std::pair<int, int> steps[] = {{1, -1}, {0, -2}, {1, -1}, {2, -2}};
    for (auto [value, insertAfter] : steps) {
        desktop.Log().Clear();
        form.TemaeChk.SetValue(value);
        EXPECT_EQ(Log(), Calls(target, {"SetWindowPos({h}," + std::to_string(insertAfter) +
                                        ",0,0,0,0,83)"}))
            << "value " << value;
        EXPECT_EQ((desktop.Window(target).exStyle & win::kWsExTopmost) != 0, value == 1)
            << "value " << value;
    }
}

TEST_F(Adjustments, AlwaysOnTopBoxShowsAHiddenWindow) {
    WindowHandle hidden = Add({.title = "Hidden", .visible = false});
    form.PRefreshBtn_Click();
    ClickRow(hidden);  // the reader leaves the box as the previous window left it
    for (int insertAfter : {-1, -2}) {
        desktop.Window(hidden).visible = false;
        desktop.Log().Clear();
        form.TemaeChk.UserToggle();
        EXPECT_EQ(Log(), Calls(hidden, {"SetWindowPos({h}," + std::to_string(insertAfter) +
                                        ",0,0,0,0,83)"}));
        EXPECT_TRUE(desktop.Visible(hidden)) << "insert after " << insertAfter;
    }
}

TEST_F(Adjustments, BottomMostBoxLooksTheShellUpFirstAndReParents) {
    const std::pair<int, WindowHandle> withShell[] = {
        {1, shell}, {0, WindowHandle()}, {1, shell}, {2, WindowHandle()}};
    for (auto [value, parent] : withShell) {
        desktop.Log().Clear();
        form.SaihaimenChk.SetValue(value);
        EXPECT_EQ(Log(), Calls(target, {"FindWindowA(\"Progman\",null)",
                                        "SetParent({h}," + Text(parent) + ")"}))
            << "value " << value;
        EXPECT_EQ(desktop.Window(target).parent, parent) << "value " << value;
    }

    // Without a shell window both states make the window top-level.
    desktop.DestroyWindow(shell);
    for (int value : {0, 1}) {
        desktop.Log().Clear();
        form.SaihaimenChk.SetValue(value);
        EXPECT_EQ(Log(), Calls(target, {"FindWindowA(\"Progman\",null)", "SetParent({h},0)"}))
            << "no shell, value " << value;
        EXPECT_EQ(desktop.Window(target).parent, WindowHandle()) << "no shell, value " << value;
    }
}

TEST_F(Adjustments, TaskbarBoxGivesTheDesktopAsOwnerOrNoOwner) {
    WindowHandle owned = Add({.title = "Owned", .owner = other});
    form.SetSelectedWindow(owned);
    ASSERT_EQ(form.TaskBarShowChk.Value(), 1);
    const std::pair<int, WindowHandle> steps[] = {
        {0, desktop.DesktopHandle()}, {1, WindowHandle()}, {2, desktop.DesktopHandle()}};
    for (auto [value, owner] : steps) {
        desktop.Log().Clear();
        form.TaskBarShowChk.SetValue(value);
        EXPECT_EQ(Log(), value == 1 ? Calls(owned, {"SetWindowLongA({h},-8,0)"})
                                    : Calls(owned, {"GetDesktopWindow()",
                                                    "SetWindowLongA({h},-8," +
                                                        Text(desktop.DesktopHandle()) + ")"}))
            << "value " << value;
        // The owner it had before is not brought back.
        EXPECT_EQ(desktop.Window(owned).owner, owner) << "value " << value;
    }
}

TEST_F(Adjustments, OpacityAddsTheLayeredBitToTheOthersAndSetsTheSlidersAlpha) {
    struct Case {
        uint32_t before;
        int value;
        uint32_t after;
    };
    // Each value differs from the one before, so every move is a change.
    const Case cases[] = {
        {0, 100, 0x80000},
        {win::kWsExTopmost | 0x100 | 0x200, 64, 0x80308},
        {win::kWsExLayered, 200, 0x80000},  // written back even when already layered
        {win::kWsExLayered | win::kWsExTopmost, 255, 0x80008},
        {0x08000000, 128, 0x08080000},
    };
    for (const auto& c : cases) {
        desktop.Window(target).exStyle = c.before;
        desktop.Log().Clear();

        form.ToumeiSld.UserMoved(c.value);

        const std::string v = std::to_string(c.value);
        EXPECT_EQ(Log(), Calls(target, {"GetWindowLongA({h},-20)",
                                        "SetWindowLongA({h},-20," + std::to_string(c.after) + ")",
                                        "SetLayeredWindowAttributes({h},0," + v + ",2)"}))
            << "value " << c.value;
        const auto& w = desktop.Window(target);
        EXPECT_EQ(w.exStyle, c.after) << "value " << c.value;
        EXPECT_EQ(w.alpha, c.value) << "value " << c.value;
        EXPECT_EQ(w.layeredFlags, win::kLwaAlpha);
        EXPECT_EQ(w.colourKey, 0u);
    }

    // A platform without layered attributes: the style change stays, nothing is said.
    desktop.Fail("SetLayeredWindowAttributes");
    desktop.Window(target).exStyle = win::kWsExTopmost;
    form.ToumeiSld.UserMoved(90);
    EXPECT_EQ(desktop.Window(target).exStyle, win::kWsExTopmost | win::kWsExLayered);
    EXPECT_EQ(desktop.Window(target).alpha, 128);
    EXPECT_TRUE(desktop.MessageBoxes().empty());
}

TEST_F(Adjustments, CaptionBarButtonIsGreyedAndRenumberedThenEveryButtonReset) {
    struct Case {
        std::string name;
        uint32_t id;
    };
    const Case cases[] = {
        {"閉じるボタン", win::kScClose},
        {"最大化ボタン", win::kScMaximize},
        {"元に戻すボタン", win::kScRestore},
        {"最小化ボタン", win::kScMinimize},
        // Exact text only; anything else is identifier 0, the menu's separator.
        {"閉じるボタン ", 0},
        {"Close", 0},
    };
    for (const auto& c : cases) {
        WindowHandle h = Add({.title = "Menu " + c.name});
        form.SetSelectedWindow(h);
        form.ButtonCmb.UserEdited(c.name);
        std::vector<MenuItem> disabled = fake::DefaultSystemMenu();
        for (auto& item : disabled)
            if (item.id == c.id) item = {kRetiredId, win::kMfsGrayed};
        const std::string name = "\"" + c.name + "\"";

        for (int click = 1; click <= 2; ++click) {
            desktop.Log().Clear();
            form.ButtonUnEnabledBtn.Click();

            const auto& log = desktop.Log();
            ASSERT_EQ(log.Names(), (std::vector<std::string>{"GetSystemMenu", "SetMenuItemInfoA",
                                                             "SetMenuItemInfoA", "DrawMenuBar"}))
                << name;
            EXPECT_EQ(log.All()[0].ToString(), "GetSystemMenu(" + Text(h) + ",0)") << name;
            const auto& grey = log.All()[1].args;
            const auto& renumber = log.All()[2].args;
            EXPECT_NE(grey[0], "0") << name;
            EXPECT_EQ(renumber[0], grey[0]) << name;
            for (const auto* args : {&grey, &renumber}) {
                EXPECT_EQ((*args)[1], std::to_string(c.id)) << name;
                EXPECT_EQ((*args)[2], "0") << name << ": by command, not by position";
            }
            EXPECT_EQ(grey[3].rfind("{mask:1,state:3,", 0), 0u) << name << ": " << grey[3];
            EXPECT_EQ(renumber[3].rfind("{mask:2,", 0), 0u) << name << ": " << renumber[3];
            EXPECT_NE(renumber[3].find(",id:4294967286}"), std::string::npos) << renumber[3];
            EXPECT_EQ(log.All()[3].ToString(), "DrawMenuBar(" + Text(h) + ")") << name;
            // The second time no item carries the id any more: the menu stays.
            EXPECT_EQ(desktop.SystemMenuItems(h), disabled) << name << ", click " << click;
        }

        desktop.Log().Clear();
        form.ButtonEnabledBtn.Click();
        EXPECT_EQ(Log(), Calls(h, {"GetSystemMenu({h},1)", "DrawMenuBar({h})"})) << name;
        EXPECT_EQ(desktop.SystemMenuItems(h), fake::DefaultSystemMenu()) << name;
    }
}

// What a test can see of every window of a desktop, in one comparable text.
std::string DesktopState(fake::FakeDesktop& desktop, const std::vector<WindowHandle>& windows) {
    std::ostringstream out;
    for (WindowHandle h : windows) {
        const fake::FakeWindow& w = desktop.Window(h);
        out << Text(h) << ": \"" << w.title << "\" visible " << w.visible << " parent "
            << Text(w.parent) << " owner " << Text(w.owner) << " style " << w.style << " ex "
            << w.exStyle << " alpha " << (w.alpha ? int(*w.alpha) : -1) << " destroyed "
            << w.destroyed << " menu";
        for (const auto& item : desktop.SystemMenuItems(h))
            out << " " << item.id << "/" << item.state;
        out << "\n";
    }
    out << "z-order";
    for (WindowHandle h : desktop.TopLevelWindows()) out << " " << Text(h);
    return out.str();
}

TEST(AdjustmentsOnUnreachableWindows, EveryHandlerRunsWithoutEffectAndWithoutAMessage) {
    enum class Target { Null, Destroyed, Hung };
    const std::pair<Target, const char*> targets[] = {
        {Target::Null, "handle 0"}, {Target::Destroyed, "destroyed"}, {Target::Hung, "hung"}};
    const std::pair<const char*, std::function<void(MainFrm&)>> handlers[] = {
        {"WinVisibleChk", [](MainFrm& f) { f.WinVisibleChk.UserToggle(); }},
        {"TemaeChk",
         [](MainFrm& f) {
             f.TemaeChk.UserToggle();
             f.TemaeChk.UserToggle();
         }},
        {"SaihaimenChk",
         [](MainFrm& f) {
             f.SaihaimenChk.UserToggle();
             f.SaihaimenChk.UserToggle();
         }},
        {"TaskBarShowChk",
         [](MainFrm& f) {
             f.TaskBarShowChk.UserToggle();
             f.TaskBarShowChk.UserToggle();
         }},
        {"ToumeiSld", [](MainFrm& f) { f.ToumeiSld.UserMoved(100); }},
        {"CaptionChangeBtn",
         [](MainFrm& f) {
             f.CaptionTxt.UserEdited("New caption");
             f.CaptionChangeBtn.Click();
         }},
        {"ButtonUnEnabledBtn", [](MainFrm& f) { f.ButtonUnEnabledBtn.Click(); }},
        {"ButtonEnabledBtn", [](MainFrm& f) { f.ButtonEnabledBtn.Click(); }},
    };
    for (auto [kind, kindName] : targets) {
        for (const auto& [handlerName, handler] : handlers) {
            FormWorld w;
            WindowHandle target = w.Add({.title = "Target", .exStyle = win::kWsExTopmost});
            WindowHandle other = w.Add({.title = "Other"});
            w.form.Form_Load();
            // A menu changed before, so a reset would show.
            std::vector<MenuItem> menu = fake::DefaultSystemMenu();
            menu.back().state = win::kMfsGrayed;
            w.desktop.Window(target).systemMenu = menu;
            if (kind == Target::Null) w.form.SetSelectedWindow(WindowHandle());
            if (kind == Target::Destroyed) w.desktop.DestroyWindow(target);
            if (kind == Target::Hung) w.desktop.Window(target).hung = true;
            const std::vector<WindowHandle> all = {target, other, w.shell};
            const std::string before = DesktopState(w.desktop, all);

            handler(w.form);

            EXPECT_EQ(DesktopState(w.desktop, all), before) << handlerName << ", " << kindName;
            EXPECT_TRUE(w.desktop.MessageBoxes().empty()) << handlerName << ", " << kindName;
        }
    }
}

}  // namespace
}  // namespace kelvorin
