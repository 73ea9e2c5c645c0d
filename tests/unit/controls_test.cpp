// The rules of the control models, and that every change reaches the view.
#include <functional>

#include "world.h"

namespace kelvorin {
namespace {

// A check box runs Click inside a write that changes it, and only then; a slider clamps to
// its range and raises Change only for a user's move that lands elsewhere; and a change the
// view does not hear of never reaches the screen.
TEST(Controls, ChangesRunTheirHandlersAndReachTheView) {
    CheckBox box("Chk", 1, {}, "", 0);
    TextBox text("Txt", 2, {}, "old");
    CaptionedControl button("Btn", ControlKind::Button, 3, {}, "old");
    ComboBox combo("Cmb", 4, {}, {"a"}, "a");
    Slider slider("Sld", 5, {});
    ImageList images;
    ListView list("List", 6, {});
    list.AddColumn("A", 1);
    list.AddColumn("B", 1);
    list.AddRow("x");
    list.AddRow("y");
    unit::ListEvents heard(list);
    std::string& events = heard.events;
    for (ControlModel* c : std::initializer_list<ControlModel*>{&box, &text, &button, &combo})
        c->onChanged = [&] { events += "redraw "; };
    images.onChanged = [&] { events += "redraw "; };
    box.onClick = [&] { events += "click" + std::to_string(box.Value()) + " "; };
    slider.onChanged = [&] { events += "slider" + std::to_string(slider.Value()) + " "; };
    slider.onChange = [&] { events += "change" + std::to_string(slider.Value()) + " "; };
    const uint64_t generation = images.Generation();
    // clang-format off
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[&] { box.SetValue(2); }, "redraw click2 "}, {[&] { box.SetValue(2); }, ""},
        {[&] { box.UserToggle(); }, "redraw click1 "}, {[&] { box.UserToggle(); }, "redraw click0 "},
        {[&] { text.SetText("new"); }, "redraw "}, {[&] { text.SetForeSysColour(18); }, "redraw "},
        {[&] { button.SetCaption("new"); }, "redraw "}, {[&] { button.SetCaption("new"); }, ""},
        {[&] { button.SetEnabled(false); }, "redraw "}, {[&] { combo.SetText("b"); }, "redraw "},
        {[&] { slider.SetValue(300); }, "slider10 "}, {[&] { slider.SetMin(20); }, "slider20 "},
        {[&] { slider.UserMoved(-5); }, ""},
        {[&] { slider.SetMax(255), slider.UserMoved(300); }, "slider20 change255 "},
        {[&] { images.Add(1, Image(1, 1, 0)); }, "redraw "},
        {[&] { images.SetSize(32, 32); }, ""},  // refused while it holds a picture
        {[&] { images.Clear(); }, "redraw "}, {[&] { list.SetCell(1, 1, "z"); }, "11+ "},
        {[&] { list.SetRowImage(0, 1); }, "0+ "}, {[&] { list.SetVisible(false); }, "visibility "},
        {[&] { list.SetVisible(false); }, ""}, {[&] { list.Select(1); }, "selection "},
        {[&] { list.Clear(); }, "rows "}};
    // clang-format on
    for (size_t i = 0; i < std::size(cases); ++i) {
        events.clear();
        cases[i].first();
        EXPECT_EQ(events, cases[i].second) << "case " << i;
    }
    EXPECT_EQ(images.Width(), 16);
    EXPECT_NE(images.Generation(), generation) << "a cleared list is a new one for the mirror";
}

// Rows added as the catalogue adds them (tag, then key) under a sort by key.
TEST(ListView, ASortInForcePlacesEachRowAddedAndEqualKeysKeepTheOrderTheyCameIn) {
    for (auto [order, tags] : {std::pair{0, "1032"}, std::pair{1, "2031"}}) {
        ListView list("List", 1, {});
        for (const char* name : {"Item", "Key", "Tag"}) list.AddColumn(name, 1);
        list.SetSortKey(1);
        list.SetSortOrder(order);
        list.SetSorted(true);
        for (int i = 0; i < 4; ++i)
            list.SetCell(list.SetCell(list.AddRow(), 2, {char('0' + i)}), 1, {"bacb"[i]});
        std::string found;
        for (size_t row = 0; row < list.RowCount(); ++row) found += list.Cell(row, 2);
        EXPECT_EQ(found + list.Cell(*list.Selected(), 2), tags + std::string("0")) << order;
    }
}

}  // namespace
}  // namespace kelvorin
