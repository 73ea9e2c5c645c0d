// The rules of the control models, and that every change reaches the view.
#include <gtest/gtest.h>

#include <functional>

#include "app/controls.h"

namespace kelvorin {
namespace {

// What the view hears from a list, and what the other models report.
struct Heard : ListViewObserver {
    std::string events;
    void ListRowsChanged() override { events += "rows "; }
    void ListCellChanged(size_t r, size_t c) override {
        events += "cell" + std::to_string(r) + std::to_string(c) + " ";
    }
    void ListSelectionChanged() override { events += "selection "; }
    void ListVisibilityChanged() override { events += "visibility "; }
    void ListColumnsChanged() override { events += "columns "; }
};

// A check box runs Click inside a write that changes it and only then; a
// slider clamps to its range and raises Change only for a user's move that
// lands elsewhere; and a change the view does not hear of never reaches the screen.
TEST(Controls, ChangesRunTheirHandlersAndReachTheView) {
    CheckBox box("Chk", 1, {}, "", 0);
    TextBox text("Txt", 2, {}, "old");
    CaptionedControl button("Btn", ControlKind::Button, 3, {}, "old");
    ComboBox combo("Cmb", 4, {}, {"a"}, "a");
    Slider slider("Sld", 5, {});
    ImageList images;
    ListView list("List", 6, {});
    Heard heard;
    int redraws = 0;
    for (ControlModel* c : std::initializer_list<ControlModel*>{&box, &text, &button, &combo})
        c->onChanged = [&] { ++redraws; };
    images.onChanged = [&] { ++redraws; };
    box.onClick = [&] { heard.events += "click" + std::to_string(box.Value()) + " "; };
    slider.onChanged = [&] { heard.events += "slider" + std::to_string(slider.Value()) + " "; };
    slider.onChange = [&] { heard.events += "change" + std::to_string(slider.Value()) + " "; };
    list.AddColumn("A", 1);
    list.AddColumn("B", 1);
    list.AddRow("x");
    list.AddRow("y");
    list.SetObserver(&heard);
    const uint64_t generation = images.Generation();
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[&] { box.SetValue(2); }, "1 click2 "},
        {[&] { box.SetValue(2); }, "0 "},
        {[&] { box.UserToggle(); }, "1 click1 "},
        {[&] { box.UserToggle(); }, "1 click0 "},
        {[&] { text.SetText("new"); }, "1 "},
        {[&] { text.SetForeSysColour(18); }, "1 "},
        {[&] { button.SetCaption("new"); }, "1 "},
        {[&] { button.SetCaption("new"); }, "0 "},
        {[&] { button.SetEnabled(false); }, "1 "},
        {[&] { combo.SetText("b"); }, "1 "},
        {[&] { slider.SetValue(300); }, "0 slider10 "},
        {[&] { slider.SetMin(20); }, "0 slider20 "},
        {[&] { slider.UserMoved(-5); }, "0 "},
        {[&] { slider.SetMax(255), slider.UserMoved(300); }, "0 slider20 change255 "},
        {[&] { images.Add(1, Image(1, 1, 0)); }, "1 "},
        {[&] { images.SetSize(32, 32); }, "0 "},  // refused while it holds a picture
        {[&] { images.Clear(); }, "1 "},
        {[&] { list.SetCell(1, 1, "z"); }, "0 cell11 "},
        {[&] { list.SetRowImage(0, 1); }, "0 cell00 "},
        {[&] { list.SetVisible(false); }, "0 visibility "},
        {[&] { list.SetVisible(false); }, "0 "},
        {[&] { list.Select(1); }, "0 selection "},
        {[&] { list.Clear(); }, "0 rows "}};
    for (size_t i = 0; i < std::size(cases); ++i) {
        redraws = 0;
        heard.events.clear();
        cases[i].first();
        EXPECT_EQ(std::to_string(redraws) + " " + heard.events, cases[i].second) << "case " << i;
    }
    EXPECT_EQ(images.Width(), 16);
    EXPECT_NE(images.Generation(), generation) << "a cleared list is a new one for the mirror";
}

// Rows added as the catalogue adds them (tag, then key) under a sort by key.
TEST(ListView, ASortInForcePlacesEachRowAddedAndEqualKeysKeepTheOrderTheyCameIn) {
    const std::pair<int, std::string> cases[] = {{0, "1032"}, {1, "2031"}};
    for (const auto& [order, tags] : cases) {
        ListView list("List", 1, {});
        for (const char* name : {"Item", "Key", "Tag"}) list.AddColumn(name, 1);
        list.SetSortKey(1);
        list.SetSortOrder(order);
        list.SetSorted(true);
        for (int i = 0; i < 4; ++i)
            list.SetCell(list.SetCell(list.AddRow(), 2, {char('0' + i)}), 1, {"bacb"[i]});
        std::string found;
        for (size_t row = 0; row < list.RowCount(); ++row) found += list.Cell(row, 2);
        EXPECT_EQ(found, tags) << order;
        EXPECT_EQ(list.Cell(*list.Selected(), 2), "0") << "the first row added stays selected";
    }
}

}  // namespace
}  // namespace kelvorin
