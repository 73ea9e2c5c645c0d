// The hotkey, the notification area and the main window's own commands.
#include <set>

#include "shell/key_chord.h"
#include "shell/tray.h"
#include "world.h"

namespace kelvorin {
namespace {

using unit::Text;
using unit::World;

constexpr int kShift = 0x10, kCtrl = 0x11, kAlt = 0x12;
constexpr uint16_t kDown = 0x8000, kPressed = 0x8001;

std::string ChordOf(const std::map<int, std::deque<uint16_t>>& keys) {
    fake::Desktop desktop;
    desktop.keys = keys;
    return GetKeyChord(desktop);
}

TEST(KeyChord, NamesTheModifiersHeldAndTheFirstTableKeyDown) {
    const std::pair<std::vector<int>, std::string> cases[] = {
        {{}, ""}, {{kShift, kCtrl, kAlt}, ""}, {{kCtrl, '1'}, "Ctrl+1"}, {{kCtrl, 0x61}, ""},
        {{kAlt, kCtrl, kShift, 'Z'}, "Shift+Ctrl+Alt+Z"}, {{kCtrl, 'A', '1'}, "Ctrl+A"},
        {{kCtrl, '0', '1'}, "Ctrl+0"}, {{'9', 0x0D}, "9"}, {{0x0D, 0x70}, "Enter"}, {{kAlt, 0x7B}, "Alt+F12"},
        {{0x74, 0x09}, "F5"}, {{0x09, 0x08}, "Tab"}, {{0x08, 0x13}, "BS"}, {{0x13, 0x1B}, "Pause"},
        {{0x1B, 0x20}, "ESC"}, {{0x20, 0x2E}, "Space"}, {{0x2E, 0x25}, "Delete"}, {{kShift, 0x25}, "Shift+←"},
        {{0x26}, "↑"}, {{0x27}, "→"}, {{0x28}, "↓"}, {{0x2D, 0x24, 0x60, 0xBA}, ""}};
    for (const auto& [held, chord] : cases) {
        std::map<int, std::deque<uint16_t>> keys;
        for (int key : held) keys[key] = {kDown};
        EXPECT_EQ(ChordOf(keys), chord) << held.size() << " keys, first " << (held.empty() ? 0 : held[0]);
    }
}

TEST(KeyChord, OnlyTheTwoDownPatternsCount) {
    // A modifier is read twice: held if the second reading is 0x8000 or the first 0x8001.
    const struct { uint16_t first, second, key; std::string chord; } cases[] = {
        {kPressed, 0, kDown, "Ctrl+1"}, {0, kDown, kDown, "Ctrl+1"}, {kDown, 0, kDown, "1"},
        {0, kPressed, kDown, "1"},      {0xFFFF, 0xFFFF, kDown, "1"}, {kDown, kDown, kPressed, "Ctrl+1"},
        {kDown, kDown, 0x0001, ""},     {kDown, kDown, 0xC000, ""}};
    for (auto c : cases)
        EXPECT_EQ(ChordOf({{kCtrl, {c.first, c.second}}, {'1', {c.key}}}), c.chord)
            << std::hex << c.first << " " << c.second << " " << c.key;
}

TEST(Hotkey, CtrlOneHidesTheForegroundWindowAtEachTickAndNoOtherChordDoes) {
    World w;
    WindowHandle front = w.desktop.Add({.title = "Front"});
    WindowHandle next = w.desktop.Add({.title = "Next"});
    w.desktop.foreground = front;
    for (std::vector<int> held : {std::vector<int>{'1'}, {kCtrl}, {kShift, kCtrl, '1'}, {kCtrl, '2'}, {kCtrl, 'A', '1'}}) {
        w.desktop.keys.clear();
        for (int key : held) w.desktop.keys[key] = {kDown};
        w.form.Timer1_Timer();
        EXPECT_TRUE(w.Win(front).visible) << held.size();
    }
    w.desktop.keys = {{kCtrl, {kDown}}, {'1', {kDown}}};
    w.form.Timer1_Timer();
    EXPECT_FALSE(w.Win(front).visible);
    w.desktop.foreground = next;  // held on, the next tick hides what came to the front
    w.form.Timer1_Timer();
    EXPECT_FALSE(w.Win(next).visible);
}

size_t DoubleByte(const std::string& text) {  // ASCII one byte, anything else two
    size_t bytes = 0;
    for (unsigned char c : text) bytes += c < 0x80 ? 1 : c >= 0xC0 ? 2 : 0;
    return bytes;
}

size_t Utf8(const std::string& text) { return text.size(); }

TEST(Tray, TheTipIsCutToSixtyThreeBytesBetweenWholeCharacters) {
    auto times = [](const std::string& s, int n) {
        std::string out;
        while (n--) out += s;
        return out;
    };
    const std::string a = "あ";
    const struct { std::string tip, kept; size_t (*length)(const std::string&); } cases[] = {
        {times("a", 63), times("a", 63), DoubleByte},  {times("a", 64), times("a", 63), DoubleByte},
        {times(a, 32), times(a, 31), DoubleByte},      {"ab" + times(a, 31), "ab" + times(a, 30), DoubleByte},
        {times("a", 62) + a + "b", times("a", 62), DoubleByte},  // the cut ends the tip
        {times("😀", 32), times("😀", 31), DoubleByte}, {"a" + times(a, 21), "a" + times(a, 20), Utf8}};
    for (const auto& c : cases) {
        NotifyIconData data;
        SetTrayData(data, WindowHandle(1), 0, 0x200, IconHandle(1), c.tip, c.length);
        EXPECT_EQ(data.szTip, c.kept) << c.tip;
    }
}

TEST(Tray, TheWindowGoesToTheNotificationAreaAndBack) {
    World w;
    w.desktop.logging = true;
    w.form.Command3.Click();
    EXPECT_FALSE(w.view.shown);
    ASSERT_EQ(w.desktop.tray.size(), 1u);
    const NotifyIconData& icon = w.desktop.tray.begin()->second;
    EXPECT_EQ(std::vector<uint64_t>({icon.cbSize, uint64_t(icon.hWnd.value), icon.uID, icon.uFlags,
                                     icon.uCallbackMessage, icon.hIcon.value}),
              std::vector<uint64_t>({88, 0x7000, 0, 7, 0x200, 0x77}));
    EXPECT_EQ(icon.szTip, "Kelvorin");
    // Only a button press on the icon opens the menu, and only while the window is hidden.
    for (int x : {0x201, 0x204, 0x200, 0x202, 0x203, 0x205, 0}) w.form.Form_MouseMove(0, x, 0);
    EXPECT_EQ(w.view.menus, (std::vector<uint32_t>{0, 2}));  // items picked with the left / either button
    w.form.MNU_OPEN_Click();
    EXPECT_TRUE(w.view.shown);
    EXPECT_TRUE(w.desktop.tray.empty());
    for (int x : {0x201, 0x204}) w.form.Form_MouseMove(0, x, 0);
    EXPECT_EQ(w.view.menus.size(), 2u);
    EXPECT_EQ(w.desktop.Calls({"View.Hide", "View.Show", "Shell_NotifyIconA"}),
              (std::vector<std::string>{"View.Hide()", "Shell_NotifyIconA(0,28672,0)", "View.Show()",
                                        "Shell_NotifyIconA(2,28672,0)"}));
}

TEST(Shutdown, TheIconGoesBeforeTheWindowAndTheExtractorBeforeBoth) {
    for (bool fromMenu : {true, false}) {
        World w;
        w.form.Command3.Click();
        w.desktop.logging = true;
        fromMenu ? w.form.MNU_END_Click() : w.form.Command4.Click();
        EXPECT_EQ(w.desktop.Calls({"View.UnloadIconGetter", "View.Unload", "Shell_NotifyIconA"}),
                  (fromMenu ? std::vector<std::string>{"View.UnloadIconGetter()", "View.Unload()",
                                                       "Shell_NotifyIconA(2,28672,0)"}
                            : std::vector<std::string>{"View.Unload()", "Shell_NotifyIconA(2,28672,0)"}));
        EXPECT_TRUE(w.desktop.tray.empty());
    }
}

struct Commands : World {
    WindowHandle alpha = desktop.Add({.title = "Alpha", .rect = {0, 0, 100, 100}});
    WindowHandle beta = desktop.Add({.title = "Beta"});
    Commands() {
        form.Form_Load();
        Click(beta);  // the second row, so a fault that writes row 0 shows
    }
};

TEST(MainCommands, TheBigButtonTogglesTheBoxAndMarksOnlyTheRowOfTheWindowItActsOn) {
    Commands w;
    const struct { int from, to; const char* caption; const char* cell; } cases[] = {
        {1, 0, "表示する", "非表示"}, {0, 1, "隠す", "表示"}, {2, 1, "隠す", "表示"}};
    for (auto c : cases) {
        w.form.WinVisibleChk.SetValue(c.from);
        w.form.Command1.Click();
        EXPECT_EQ(w.form.WinVisibleChk.Value(), c.to);
        EXPECT_EQ(w.form.Command1.Caption(), c.caption);
        EXPECT_EQ(w.Win(w.beta).visible, c.to == 1);
        EXPECT_EQ(w.Column(col::Visibility), std::string("表示|") + c.cell);
    }
    // A window picked with the finder is not the row's: the list stays as it is.
    w.desktop.cursor = {50, 50};
    w.form.picFinder_MouseDown(1, 0, 0, 0);
    w.form.Command1.Click();
    EXPECT_FALSE(w.Win(w.alpha).visible);
    EXPECT_EQ(w.Column(col::Visibility), "表示|表示");
    w.form.ListView1.Select(std::nullopt);
    w.form.Command1.Click();
    EXPECT_TRUE(w.Win(w.alpha).visible);
}

TEST(MainCommands, TheOptionsButtonOpensTheRegionBelowTheThresholdAndClosesItFromThere) {
    Commands w;
    const std::pair<int, int> cases[] = {{4635, 7140}, {5499, 8004}, {5500, 2995}, {7140, 4635}};
    for (auto [height, after] : cases) {
        w.view.clientHeight = height;
        w.form.Command2.Click();
        EXPECT_EQ(w.view.clientHeight, after) << height;
    }
}

TEST(MainCommands, TabReachesEveryControlThatTakesInputOnceListFirst) {
    Commands w;
    std::multiset<int> reached, taking;
    for (const ControlModel* c : w.form.TabOrder()) reached.insert(c->Id());
    for (const ControlModel* c : w.form.Controls())
        if (c->Kind() != ControlKind::Label && c->Kind() != ControlKind::Frame &&
            c->Kind() != ControlKind::Picture && c->Kind() != ControlKind::Line)
            taking.insert(c->Id());
    EXPECT_EQ(reached, taking);
    EXPECT_EQ(w.form.TabOrder().front(), &w.form.ListView1);
}

}  // namespace
}  // namespace kelvorin
