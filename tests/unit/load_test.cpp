// Loading the selected row (ItemLoad, GetWindowData, OSHantei) and the column sort.
#include "world.h"

namespace kelvorin {
namespace {

using unit::Text;
using unit::World;

TEST(Load, RunsItsStepsInOrder) {
    World w;
    w.desktop.Add({.title = "Alpha"});
    WindowHandle beta = w.desktop.Add({.title = "Beta"});
    w.form.Form_Load();
    w.form.ListView1.Select(1);
    w.form.ToumeiSld.SetValue(100);
    w.desktop.clipboard = "another program's";
    std::vector<std::string> seen;  // each call with the state it finds
    w.desktop.onCall = [&](const std::string& call) {
        const Slider& s = w.form.ToumeiSld;
        seen.push_back(call + " " + Text(w.form.SelectedWindow()) + w.form.CaptionTxt.Text() +
                       std::to_string(s.Value()) + "/" + std::to_string(s.Min()) +
                       (w.desktop.clipboard ? "+" : ""));
    };
    w.form.ItemLoad();
    // Alpha and Beta read alike: the reader changes no box, so no handler runs.
    const std::string b = Text(beta) + "Beta";
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "IsWindowVisible " + b + "100/64+", "GetParent " + b + "100/64+",
                        "FindWindowA " + b + "100/64+", "GetParent " + b + "100/64+",
                        "GetWindowLongA " + b + "100/64+", "GetVersionPlatformId " + b + "255/64+",
                        "Clipboard.Empty " + b + "255/64+", "Clipboard.SetText " + b + "255/64"}));
}

TEST(Load, PutsColumnsTwoToSixOfTheSelectedRowOnTheClipboard) {
    World w;
    w.desktop.processes = {{7, "editor.exe", "C:\\editor.exe"}, {9, "mail.exe", "C:\\mail.exe"}};
    const std::pair<fake::Window, std::string> cases[] = {
        {{.title = "受信トレイ", .processId = 9}, "\tmail.exe\t受信トレイ\t9\tC:\\mail.exe"},
        {{.title = "No process", .processId = 99}, "\t\tNo process\t\t"},
        {{.title = "Hidden", .visible = false, .processId = 7},
         "\teditor.exe\tHidden\t7\tC:\\editor.exe"},
        {{.title = "a\tb\r\nc", .processId = 9}, "\tmail.exe\ta b  c\t9\tC:\\mail.exe"}};
    std::vector<WindowHandle> h;
    for (const auto& c : cases) h.push_back(w.desktop.Add(c.first));
    w.form.Form_Load();
    for (size_t i = 0; i < h.size(); ++i) {
        w.Click(h[i]);
        EXPECT_EQ(Text(w.form.SelectedWindow()) + w.form.CaptionTxt.Text(),
                  Text(h[i]) + w.Win(h[i]).title);
        EXPECT_EQ(w.desktop.clipboard, Text(h[i]) + cases[i].second);  // always five fields
    }
    // Without a selected row the window and the caption stay and the text is
    // empty; the clipboard is emptied first, so a failed write leaves nothing stale.
    w.form.CaptionTxt.UserEdited("typed");
    w.form.ListView1.Select(std::nullopt);
    w.desktop.Fail("Clipboard.SetText", 0, 1);
    w.form.ItemLoad();
    EXPECT_EQ(w.desktop.clipboard, std::nullopt);
    w.form.ItemLoad();
    EXPECT_EQ(w.desktop.clipboard, "");
    EXPECT_EQ(Text(w.form.SelectedWindow()) + w.form.CaptionTxt.Text(), Text(h[3]) + "typed");
}

TEST(Load, OnlyTheWindows9xFamilyDisablesTheSliderAndTheFinderLabelForGood) {
    // clang-format off
    const struct { std::optional<uint32_t> platformId; bool fails, disabled; } cases[] = {
        {1, false, true}, {2, false, false}, {0, false, false}, {1, true, false}};
    // clang-format on
    for (auto c : cases) {
        World w;
        w.desktop.platformId = c.platformId;
        if (c.fails) w.desktop.Fail("GetVersionPlatformId", 0, 1);
        w.form.ItemLoad();
        w.desktop.platformId = 2;
        w.form.ItemLoad();
        EXPECT_EQ(w.form.ToumeiSld.Enabled(), !c.disabled) << c.platformId.value_or(9);
        EXPECT_EQ(w.form.Label2.Enabled(), !c.disabled) << c.platformId.value_or(9);
    }
}

TEST(ColumnSort, TheFirstClickSortsDescendingAsTextAndEveryClickFlipsTheOrder) {
    World w;
    w.desktop.processes = {{100, "hundred.exe"}, {20, "twenty.exe"}};
    w.desktop.Add({.handle = WindowHandle(100), .title = "b", .processId = 100});
    w.desktop.Add({.handle = WindowHandle(20), .title = "C", .processId = 20});
    w.desktop.Add({.handle = WindowHandle(3), .title = "a"});
    w.form.Form_Load();
    const std::pair<int, std::string> clicks[] = {
        {2, "3;20;100;"}, {2, "100;20;3;"}, {4, "C;b;a;"}, {5, ";100;20;"}, {5, "20;100;;"}};
    for (const auto& [header, column] : clicks) {
        w.form.ListView1_ColumnClick(header);
        EXPECT_EQ(w.form.ListView1.SortKey(), header - 1);
        EXPECT_EQ(w.Rows({size_t(header - 1)}), column) << header;
    }
}

}  // namespace
}  // namespace kelvorin
