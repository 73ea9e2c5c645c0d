// The notification-area record, its add and delete, and the main window's
// handlers around the icon: Command3, the callback, MNU_OPEN and a new taskbar.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/main_frm.h"
#include "fake/fake.h"
#include "shell/tray.h"

namespace kelvorin {
namespace {

// A double-byte code page as the shell sees it: ASCII one byte, any other
// character two.
size_t DoubleByteLength(const std::string& text) {
    size_t bytes = 0;
    for (unsigned char c : text) {
        if (c < 0x80) bytes += 1;
        else if (c >= 0xC0) bytes += 2;  // a lead byte; continuation bytes add nothing
    }
    return bytes;
}

size_t Utf8Length(const std::string& text) { return text.size(); }

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

std::string Record(uint32_t message, WindowHandle h, uint32_t callback, IconHandle icon,
                   const std::string& tip) {
    return "Shell_NotifyIconA(" + std::to_string(message) + ",{cbSize:88,hWnd:" +
           std::to_string(h.value) + ",uID:0,uFlags:7,uCallbackMessage:" +
           std::to_string(callback) + ",hIcon:" + std::to_string(icon.value) + ",szTip:\"" + tip +
           "\"})";
}

TEST(TrayRecord, FillsAllSevenFields) {
    NotifyIconData data;
    data.szTip = "stale";
    SetTrayData(data, WindowHandle(-4242), 3, 0x200, IconHandle(0x5001), "Kelvorin",
                DoubleByteLength);
    EXPECT_EQ(data.cbSize, 88u);
    EXPECT_EQ(data.hWnd, WindowHandle(-4242));
    EXPECT_EQ(data.uID, 3u);
    EXPECT_EQ(data.uFlags, 7u);
    EXPECT_EQ(data.uCallbackMessage, 0x200u);
    EXPECT_EQ(data.hIcon, IconHandle(0x5001));
    EXPECT_EQ(data.szTip, "Kelvorin");
}

TEST(TrayRecord, TipIsCutToSixtyThreeBytesBetweenCharacters) {
    const std::string a = "あ";
    const struct {
        std::string tip;
        std::string kept;
        size_t (*length)(const std::string&);
    } cases[] = {
        {"", "", DoubleByteLength},
        {Repeat("a", 63), Repeat("a", 63), DoubleByteLength},
        {Repeat("a", 64), Repeat("a", 63), DoubleByteLength},
        {"a" + Repeat(a, 31), "a" + Repeat(a, 31), DoubleByteLength},
        {Repeat(a, 32), Repeat(a, 31), DoubleByteLength},  // 62 bytes: no half character
        {"ab" + Repeat(a, 31), "ab" + Repeat(a, 30), DoubleByteLength},
        // The cut ends the tip: a later character that would still fit is not taken.
        {Repeat("a", 62) + a + "b", Repeat("a", 62), DoubleByteLength},
        {Repeat(a, 31) + "xyz", Repeat(a, 31) + "x", DoubleByteLength},
        {Repeat("😀", 32), Repeat("😀", 31), DoubleByteLength},
        // Measured in UTF-8 bytes, the UTF-8 form is never split either.
        {Repeat(a, 21), Repeat(a, 21), Utf8Length},
        {"a" + Repeat(a, 21), "a" + Repeat(a, 20), Utf8Length},
    };
    for (const auto& c : cases) {
        NotifyIconData data;
        SetTrayData(data, WindowHandle(1), 0, 0x200, IconHandle(1), c.tip, c.length);
        EXPECT_EQ(data.szTip, c.kept) << "tip: " << c.tip;
    }
}

class TrayCalls : public ::testing::Test {
  protected:
    fake::FakeDesktop desktop;
    WindowHandle main{0x3000};
    IconHandle icon = desktop.CreateIcon(Image(32, 32, 0));
};

TEST_F(TrayCalls, AddAndDeleteSendTheirRecordsAndReportTheResult) {
    EXPECT_EQ(TrayAdd(desktop, main, 0, 0x200, icon, "Kelvorin", DoubleByteLength), 1);
    EXPECT_EQ(desktop.TrayIcons().size(), 1u);
    EXPECT_EQ(TrayDelete(desktop, main, 0), 1);
    EXPECT_TRUE(desktop.TrayIcons().empty());
    EXPECT_EQ(desktop.Log().Strings({"Shell_NotifyIconA"}),
              (std::vector<std::string>{Record(0, main, 0x200, icon, "Kelvorin"),
                                        Record(2, main, 0, IconHandle(), "")}));

    // No icon left to delete, and a shell that refuses the add.
    EXPECT_EQ(TrayDelete(desktop, main, 0), 0);
    desktop.Fail("Shell_NotifyIconA");
    EXPECT_EQ(TrayAdd(desktop, main, 0, 0x200, icon, "Kelvorin", DoubleByteLength), 0);
}

class TrayHandlers : public ::testing::Test {
  protected:
    fake::FakeDesktop desktop;
    fake::FakeMainFrmView view{desktop};
    Platform platform = desktop.platform();
    MainFrm form{platform, view};

    void SetUp() override {
        view.PlaceOnDesktop();
        view.Show();
    }
};

TEST_F(TrayHandlers, Command3HidesThenAddsTheWindowIconWithItsCaption) {
    form.Command3.Click();
    EXPECT_FALSE(view.Shown());
    EXPECT_EQ(desktop.Log().Names({"View.Hide", "Shell_NotifyIconA"}),
              (std::vector<std::string>{"View.Hide", "Shell_NotifyIconA"}));
    EXPECT_EQ(desktop.Log().Strings({"Shell_NotifyIconA"}).at(0),
              Record(0, view.Handle(), 0x200, view.WindowIcon(), "Kelvorin"));
    ASSERT_EQ(desktop.TrayIcons().count({view.Handle().value, 0u}), 1u);
}

// The icon comes back when the shell makes the taskbar anew, but only while the
// program sits in the notification area; an icon the shell refuses, there or
// at Command3, brings the window back instead, so it can always be reached.
TEST(TrayRecreation, AddsTheIconAgainOnlyInTheNotificationAreaOrShowsTheWindow) {
    auto iconLost = [](MainFrm& f, fake::FakeDesktop& d) {
        f.Command3_Click();
        TrayDelete(d, f.view().Handle(), 0);
    };
    const struct {
        const char* name;
        std::function<void(MainFrm&, fake::FakeDesktop&)> before;
        bool refused;  // the shell refuses the next add
        bool icon;
        bool shown;
    } cases[] = {
        {"shown", [](MainFrm&, fake::FakeDesktop&) {}, false, false, true},
        {"hidden by the hotkey", [](MainFrm& f, fake::FakeDesktop&) { f.view().Hide(); }, false,
         false, false},
        {"reopened", [](MainFrm& f, fake::FakeDesktop&) { f.Command3_Click(); f.MNU_OPEN_Click(); },
         false, false, true},
        {"icon lost", iconLost, false, true, false},
        {"icon kept", [](MainFrm& f, fake::FakeDesktop&) { f.Command3_Click(); }, false, true,
         false},
        {"add refused", iconLost, true, false, true},
        {"refused at Command3", [](MainFrm& f, fake::FakeDesktop& d) {
             d.Fail("Shell_NotifyIconA", 0, 1);
             f.Command3_Click();
         }, false, false, true},
    };
    for (const auto& c : cases) {
        fake::FakeDesktop desktop;
        fake::FakeMainFrmView view{desktop};
        Platform platform = desktop.platform();
        MainFrm form{platform, view};
        view.Show();
        c.before(form, desktop);
        if (c.refused) desktop.Fail("Shell_NotifyIconA");
        form.Form_TaskbarCreated();
        EXPECT_EQ(desktop.TrayIcons().size(), c.icon ? 1u : 0u) << c.name;
        EXPECT_EQ(view.Shown(), c.shown) << c.name;
    }
}

TEST_F(TrayHandlers, OnlyButtonPressesOnTheIconOpenTheMenu) {
    form.Command3_Click();
    const struct {
        int x;
        std::vector<uint32_t> menus;
    } cases[] = {
        {0x201, {0}},  // left press: items picked with the left button
        {0x204, {2}},  // right press: with either button
        {0x200, {}}, {0x202, {}}, {0x203, {}}, {0x205, {}}, {0x206, {}}, {0, {}},
    };
    for (const auto& c : cases) {
        size_t before = view.PopupMenus().size();
        form.Form_MouseMove(0, c.x, 0);
        std::vector<uint32_t> opened(view.PopupMenus().begin() + long(before),
                                     view.PopupMenus().end());
        EXPECT_EQ(opened, c.menus) << std::hex << c.x;
    }
}

TEST_F(TrayHandlers, TheShownWindowsOwnMouseMovesNeverOpenTheMenu) {
    for (int x : {0x201, 0x204}) form.Form_MouseMove(0, x, 0);
    form.Form_MouseMove(1, 0x201, 0x204);
    EXPECT_TRUE(view.PopupMenus().empty());
}

TEST_F(TrayHandlers, OpenShowsTheWindowThenRemovesTheIcon) {
    form.Command3_Click();
    desktop.Log().Clear();
    form.MNU_OPEN_Click();
    EXPECT_TRUE(view.Shown());
    EXPECT_EQ(desktop.Log().Names({"View.Show", "Shell_NotifyIconA"}),
              (std::vector<std::string>{"View.Show", "Shell_NotifyIconA"}));
    EXPECT_EQ(desktop.Log().Strings({"Shell_NotifyIconA"}).at(0),
              Record(2, view.Handle(), 0, IconHandle(), ""));
    EXPECT_TRUE(desktop.TrayIcons().empty());
}

}  // namespace
}  // namespace kelvorin
