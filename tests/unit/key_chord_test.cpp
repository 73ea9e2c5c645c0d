// The Ctrl+1 key-chord reader and the timer that hides the foreground window.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/main_frm.h"
#include "fake/fake.h"
#include "shell/key_chord.h"

namespace kelvorin {
namespace {

constexpr int kShift = 0x10, kCtrl = 0x11, kAlt = 0x12;
constexpr uint16_t kDown = 0x8000, kDownAndPressed = 0x8001;

std::string ChordHolding(const std::vector<int>& held) {
    fake::FakeDesktop desktop;
    for (int key : held) desktop.SetKeyState(key, kDown);
    return GetKeyChord(desktop);
}

TEST(KeyChord, NamesTheChordOfTheKeysHeld) {
    const struct {
        std::vector<int> held;
        std::string chord;
    } cases[] = {
        {{}, ""},
        {{kShift, kCtrl, kAlt}, ""},  // modifiers alone make no chord
        {{kCtrl, '1'}, "Ctrl+1"},
        {{kCtrl, 0x61}, ""},  // numeric-keypad 1 is not in the table
        {{kShift, kCtrl, '1'}, "Shift+Ctrl+1"},
        {{kCtrl, kAlt, '1'}, "Ctrl+Alt+1"},
        {{kCtrl, 'A', '1'}, "Ctrl+A"},  // letters are tested before digits
        {{kCtrl, '0', '1'}, "Ctrl+0"},
        {{kAlt, kCtrl, kShift, 'Z'}, "Shift+Ctrl+Alt+Z"},
        {{0x74}, "F5"},
        {{kAlt, 0x7B}, "Alt+F12"},
        {{kShift, 0x25}, "Shift+←"},
        {{0x0D}, "Enter"}, {{0x08}, "BS"}, {{0x1B}, "ESC"}, {{0x2E}, "Delete"}, {{0x28}, "↓"},
        {{0x2D, 0x24, 0x23, 0x21, 0x22, 0x60, 0x69, 0xBA, 0xBC}, ""},  // Insert, Home, ...
    };
    for (const auto& c : cases) {
        std::string keys;
        for (int k : c.held) keys += std::to_string(k) + " ";
        EXPECT_EQ(ChordHolding(c.held), c.chord) << "keys held: " << keys;
    }
}

TEST(KeyChord, OnlyTheTwoDownPatternsCount) {
    // A modifier is read twice: held if the second reading is 0x8000 or the
    // first is 0x8001.
    const struct {
        std::vector<uint16_t> ctrlReadings;
        uint16_t keyState;
        std::string chord;
    } cases[] = {
        {{kDownAndPressed, 0x0000}, kDown, "Ctrl+1"},
        {{0x0000, kDown}, kDown, "Ctrl+1"},
        {{0x0001, 0x0000}, kDown, "1"},
        {{kDown, 0x0000}, kDown, "1"},             // released between the readings
        {{0x0000, kDownAndPressed}, kDown, "1"},   // only a first 0x8001 counts
        {{0xFFFF, 0xFFFF}, kDown, "1"},
        {{kDown, kDown}, kDownAndPressed, "Ctrl+1"},
        {{kDown, kDown}, 0x0001, ""},
        {{kDown, kDown}, 0x8002, ""},
        {{kDown, kDown}, 0xC000, ""},
    };
    for (const auto& c : cases) {
        fake::FakeDesktop desktop;
        desktop.QueueKeyStates(kCtrl, c.ctrlReadings);
        desktop.SetKeyState('1', c.keyState);
        EXPECT_EQ(GetKeyChord(desktop), c.chord)
            << std::hex << "Ctrl " << c.ctrlReadings[0] << "," << c.ctrlReadings[1] << " key "
            << c.keyState;
    }
}

class HideHotkey : public ::testing::Test {
  protected:
    fake::FakeDesktop desktop;
    fake::FakeMainFrmView view{desktop};
    Platform platform = desktop.platform();
    MainFrm form{platform, view};
    WindowHandle front = desktop.AddWindow({.title = "Front"});
    WindowHandle next = desktop.AddWindow({.title = "Next"});

    void Hold(const std::vector<int>& keys) {
        for (int key : keys) desktop.SetKeyState(key, kDown);
    }
};

TEST_F(HideHotkey, CtrlOneHidesTheForegroundWindowAtEachTick) {
    desktop.SetForeground(front);
    Hold({kCtrl, '1'});
    form.Timer1_Timer();
    EXPECT_EQ(desktop.Log().Strings({"ShowWindow"}),
              (std::vector<std::string>{"ShowWindow(" + std::to_string(front.value) + ",0)"}));
    EXPECT_FALSE(desktop.Window(front).visible);

    // Held on: the next tick hides whatever came to the front meanwhile.
    desktop.SetForeground(next);
    form.Timer1_Timer();
    EXPECT_FALSE(desktop.Window(next).visible);
}

TEST_F(HideHotkey, AnyOtherChordHidesNothing) {
    desktop.SetForeground(front);
    const std::vector<std::vector<int>> chords = {
        {}, {'1'}, {kCtrl}, {kShift, kCtrl, '1'}, {kCtrl, kAlt, '1'}, {kCtrl, 'A', '1'},
        {kCtrl, '0', '1'}, {kCtrl, 0x61}, {kCtrl, '2'}};
    for (const auto& keys : chords) {
        for (int key : {kShift, kCtrl, kAlt, int('0'), int('1'), int('2'), int('A'), 0x61})
            desktop.SetKeyState(key, 0);
        Hold(keys);
        desktop.Log().Clear();
        form.Timer1_Timer();
        EXPECT_EQ(desktop.Log().Count("ShowWindow"), 0u) << "chord " << GetKeyChord(desktop);
    }
    EXPECT_TRUE(desktop.Window(front).visible);
}

}  // namespace
}  // namespace kelvorin
