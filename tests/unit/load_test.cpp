// Loading the selected row (ItemLoad, GetWindowData, OSHantei) and the
// column sort.
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
    w.form.ListView1.Select(w.RowOf(beta));
    w.form.ToumeiSld.SetValue(100);
    w.desktop.clipboard = "another program's";
    std::vector<std::string> moments;
    w.desktop.onCall = [&](const std::string& call) {
        const Slider& s = w.form.ToumeiSld;
        moments.push_back(call.substr(0, call.find('(')) + " " + std::to_string(s.Value()) + "/" +
                          std::to_string(s.Min()) + (w.desktop.clipboard ? " old" : ""));
        if (moments.size() == 1) {  // the reader reads the new window, its caption already shown
            EXPECT_EQ(call + w.form.CaptionTxt.Text(), "IsWindowVisible(" + Text(beta) + ")Beta");
        }
    };
    w.form.ItemLoad();
    // Alpha and Beta read alike: the reader changes no box, so no handler runs.
    EXPECT_EQ(moments, (std::vector<std::string>{
                           "IsWindowVisible 100/64 old", "GetParent 100/64 old", "FindWindowA 100/64 old",
                           "GetParent 100/64 old", "GetWindowLongA 100/64 old", "GetVersionPlatformId 255/64 old",
                           "Clipboard.Empty 255/64 old", "Clipboard.SetText 255/64"}));
    EXPECT_EQ(w.desktop.clipboard, Text(beta) + "\t\tBeta\t\t");
}

TEST(Load, PutsColumnsTwoToSixOfTheSelectedRowOnTheClipboard) {
    World w;
    w.desktop.processes = {{7, "editor.exe", "C:\\editor.exe"}, {9, "mail.exe", "C:\\mail.exe"}};
    WindowHandle japanese = w.desktop.Add({.title = "受信トレイ", .processId = 9});
    WindowHandle orphan = w.desktop.Add({.title = "No process", .processId = 99});
    WindowHandle hidden = w.desktop.Add({.title = "Hidden", .visible = false, .processId = 7});
    WindowHandle broken = w.desktop.Add({.title = "a\tb\r\nc", .processId = 9});
    w.form.Form_Load();
    const std::pair<WindowHandle, std::string> cases[] = {
        {japanese, "\tmail.exe\t受信トレイ\t9\tC:\\mail.exe"},
        {orphan, "\t\tNo process\t\t"},
        {hidden, "\teditor.exe\tHidden\t7\tC:\\editor.exe"},
        {broken, "\tmail.exe\ta b  c\t9\tC:\\mail.exe"}};  // always five fields
    for (const auto& [h, summary] : cases) {
        w.Click(h);
        EXPECT_EQ(w.form.SelectedWindow(), h);
        EXPECT_EQ(w.form.CaptionTxt.Text(), w.Cell(h, col::Caption));
        EXPECT_EQ(w.desktop.clipboard, Text(h) + summary);
    }
    // Without a selected row the window and the caption stay; the clipboard
    // is emptied first, so a failed write leaves nothing stale.
    w.form.CaptionTxt.UserEdited("typed");
    w.form.ListView1.Select(std::nullopt);
    w.desktop.Fail("Clipboard.SetText");
    w.form.ItemLoad();
    EXPECT_EQ(w.desktop.clipboard, std::nullopt);
    w.desktop.Restore();
    w.form.ItemLoad();
    EXPECT_EQ(w.desktop.clipboard, "");
    EXPECT_EQ(w.form.SelectedWindow(), broken);
    EXPECT_EQ(w.form.CaptionTxt.Text(), "typed");
}

TEST(Load, OnlyTheWindows9xFamilyDisablesTheSliderAndTheFinderLabelForGood) {
    const struct { std::optional<uint32_t> platformId; bool fails, disabled; } cases[] = {
        {1, false, true}, {2, false, false}, {0, false, false}, {1, true, false}};
    for (auto c : cases) {
        World w;
        w.desktop.platformId = c.platformId;
        if (c.fails) w.desktop.Fail("GetVersionPlatformId");
        for (uint32_t later : {0u, 2u}) {
            if (later) w.desktop.platformId = later, w.desktop.Restore();
            w.form.ItemLoad();
            EXPECT_EQ(w.form.ToumeiSld.Enabled(), !c.disabled) << c.platformId.value_or(9);
            EXPECT_EQ(w.form.Label2.Enabled(), !c.disabled) << c.platformId.value_or(9);
        }
    }
}

TEST(ColumnSort, TheFirstClickSortsDescendingAsTextAndEveryClickFlipsTheOrder) {
    World w;
    w.desktop.processes = {{100, "hundred.exe"}, {20, "twenty.exe"}};
    w.desktop.Add({.handle = WindowHandle(100), .title = "b", .processId = 100});
    w.desktop.Add({.handle = WindowHandle(20), .title = "C", .processId = 20});
    w.desktop.Add({.handle = WindowHandle(3), .title = "a"});
    w.form.Form_Load();
    const struct { int header; std::string column; } clicks[] = {
        {2, "3|20|100"}, {2, "100|20|3"}, {4, "C|b|a"}, {5, "|100|20"}, {5, "20|100|"}};
    for (const auto& c : clicks) {
        w.form.ListView1_ColumnClick(c.header);
        EXPECT_EQ(w.form.ListView1.SortKey(), c.header - 1);
        EXPECT_EQ(w.Column(size_t(c.header - 1)), c.column) << "header " << c.header;
    }
}

}  // namespace
}  // namespace kelvorin
