// The rules of the control models that the handlers and the view rely on.
#include "app/controls.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace kelvorin {
namespace {

TEST(CheckBox, AChangedValueRunsClickInsideTheWriteAndNothingElseDoes) {
    const struct { int from, to; bool user; } cases[] = {
        {0, 1, false}, {1, 2, false}, {2, 2, false}, {1, 1, false}, {1, 0, true}, {2, 1, true}, {0, 1, true}};
    for (auto c : cases) {
        CheckBox box("Chk", 1, {}, "", c.from);
        std::vector<int> clicks;
        int redraws = 0;
        box.onClick = [&] { clicks.push_back(box.Value()); };
        box.onChanged = [&] { ++redraws; };
        c.user ? box.UserToggle() : box.SetValue(c.to);
        EXPECT_EQ(box.Value(), c.to);
        EXPECT_EQ(clicks, c.from == c.to ? std::vector<int>{} : std::vector<int>{c.to}) << c.from << "->" << c.to;
        EXPECT_EQ(redraws, c.from == c.to ? 0 : 1);
    }
}

TEST(Slider, ValuesClampToTheRangeAndOnlyAUserMoveThatLandsElsewhereRaisesChange) {
    const struct { char op; int to, min, max, value, changes; } steps[] = {
        {'M', 255, 0, 255, 0, 0},   {'v', 300, 0, 255, 255, 0}, {'v', -5, 0, 255, 0, 0},
        {'m', 64, 64, 255, 64, 0},  {'u', 128, 64, 255, 128, 1}, {'u', 128, 64, 255, 128, 1},
        {'u', 10, 64, 255, 64, 2},  {'u', 0, 64, 255, 64, 2},    {'m', 200, 200, 255, 200, 2},
        {'M', 150, 150, 150, 150, 2}};
    Slider slider("Sld", 1, {});
    int changes = 0;
    slider.onChange = [&] { ++changes; };
    for (auto s : steps) {
        if (s.op == 'm') slider.SetMin(s.to);
        if (s.op == 'M') slider.SetMax(s.to);
        if (s.op == 'v') slider.SetValue(s.to);
        if (s.op == 'u') slider.UserMoved(s.to);
        EXPECT_EQ(std::vector<int>({slider.Min(), slider.Max(), slider.Value(), changes}),
                  std::vector<int>({s.min, s.max, s.value, s.changes}))
            << s.op << " " << s.to;
    }
}

// What the view hears from a list.
struct Heard : ListViewObserver {
    std::vector<std::string> events;
    void ListRowsChanged() override { events.push_back("rows"); }
    void ListCellChanged(size_t r, size_t c) override {
        events.push_back("cell " + std::to_string(r) + "," + std::to_string(c));
    }
    void ListSelectionChanged() override { events.push_back("selection"); }
    void ListVisibilityChanged() override { events.push_back("visibility"); }
    void ListColumnsChanged() override { events.push_back("columns"); }
};

// A change the view does not hear of stays off the screen.
TEST(Controls, EveryChangeReachesTheView) {
    TextBox text("Txt", 1, {}, "old");
    CaptionedControl button("Btn", ControlKind::Button, 2, {}, "old");
    ComboBox combo("Cmb", 3, {}, {"a"}, "a");
    ImageList images;
    ListView list("List", 4, {});
    Heard heard;
    int redraws = 0;
    for (ControlModel* c : std::initializer_list<ControlModel*>{&text, &button, &combo})
        c->onChanged = [&] { ++redraws; };
    images.onChanged = [&] { ++redraws; };
    list.AddColumn("A", 1);
    list.AddColumn("B", 1);
    list.AddRow("x");
    list.AddRow("y");
    list.SetObserver(&heard);
    const struct { std::function<void()> act; int redraws; std::vector<std::string> heard; } cases[] = {
        {[&] { text.SetText("new"); }, 1, {}},
        {[&] { text.SetForeSysColour(18); }, 1, {}},
        {[&] { button.SetCaption("new"); }, 1, {}},
        {[&] { button.SetCaption("new"); }, 0, {}},
        {[&] { button.SetEnabled(false); }, 1, {}},
        {[&] { combo.SetText("b"); }, 1, {}},
        {[&] { images.Add(1, Image(1, 1, 0)); }, 1, {}},
        {[&] {
             uint64_t before = images.Generation();
             images.Clear();
             EXPECT_NE(images.Generation(), before) << "a mirror would keep its old pictures";
         }, 1, {}},
        {[&] { list.SetCell(1, 1, "z"); }, 0, {"cell 1,1"}},
        {[&] { list.SetRowImage(0, 1); }, 0, {"cell 0,0"}},
        {[&] { list.SetVisible(false); }, 0, {"visibility"}},
        {[&] { list.SetVisible(false); }, 0, {}},
        {[&] { list.Select(1); }, 0, {"selection"}},
        {[&] { list.Clear(); }, 0, {"rows"}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        redraws = 0;
        heard.events.clear();
        cases[i].act();
        EXPECT_EQ(redraws, cases[i].redraws) << "case " << i;
        EXPECT_EQ(heard.events, cases[i].heard) << "case " << i;
    }
}

// Item, key and tag columns; a row is added as the catalogue adds one.
struct List : ListView {
    List() : ListView("List", 1, {}) {
        for (const char* name : {"Item", "Key", "Tag"}) AddColumn(name, 1);
    }
    size_t Add(char key, char tag) {
        return SetCell(SetCell(AddRow(), 2, std::string(1, tag)), 1, std::string(1, key));
    }
    std::string Tags() const {
        std::string tags;
        for (size_t row = 0; row < RowCount(); ++row) tags += Cell(row, 2);
        return tags;
    }
};

TEST(ListView, ASortInForcePlacesEachRowAddedAndEqualKeysKeepTheirOrder) {
    const struct { int order; std::string keys, tags; } cases[] = {
        {0, "bacb", "1032"}, {1, "bacb", "2031"}, {0, "xyxx", "0231"}, {1, "xyxx", "1023"}};
    for (const auto& c : cases) {
        List list;
        list.SetSortKey(1);
        list.SetSortOrder(c.order);
        list.SetSorted(true);
        for (size_t i = 0; i < c.keys.size(); ++i)
            EXPECT_EQ(list.Cell(list.Add(c.keys[i], char('0' + i)), 2), std::string(1, char('0' + i)));
        EXPECT_EQ(list.Tags(), c.tags) << c.keys << " order " << c.order;
        EXPECT_EQ(list.Cell(*list.Selected(), 2), "0") << "the first row added stays selected";
    }
}

TEST(ListView, RowsKeepTheirIdsAndTheSelectionThroughEveryMove) {
    List list;
    auto expectIds = [&](const char* when) {
        for (size_t row = 0; row < list.RowCount(); ++row)
            EXPECT_EQ(list.IndexOfId(list.RowId(row)), row) << when;
    };
    for (char k : std::string("mcxaq")) list.Add(k, k);
    list.Select(3);  // "a"
    list.SetSortKey(1);
    list.SetSorted(true);
    EXPECT_EQ(list.Tags(), "acmqx");
    EXPECT_EQ(list.Selected(), 0u);
    expectIds("sorted");
    EXPECT_EQ(list.SetCell(0, 1, "z"), 4u);  // a new key moves the row
    EXPECT_EQ(list.SetCell(4, 0, "item"), 4u);
    list.Add('b', 'b');
    EXPECT_EQ(list.Tags(), "bcmqxa");
    EXPECT_EQ(list.Selected(), 5u);
    expectIds("moved");
    list.SetSortOrder(1);
    list.SetSorted(true);
    EXPECT_EQ(list.Tags(), "axqmcb");
    expectIds("sorted the other way");
    uint64_t gone = list.RowId(0);
    list.Clear();
    list.Add('k', 'k');
    EXPECT_EQ(list.IndexOfId(gone), std::nullopt);
    EXPECT_EQ(list.Selected(), 0u) << "the first row of an empty list is selected";
    expectIds("cleared");
}

TEST(ImageList, TheSizeIsFixedOnceItHoldsAPictureAndAddInsertsAtItsIndex) {
    ImageList images;
    EXPECT_TRUE(images.SetSize(21, 21));
    images.Add(1, Image(1, 1, 0), "a");
    images.Add(1, Image(1, 1, 0), "b");
    images.Add(3, Image(1, 1, 0), "c");
    EXPECT_FALSE(images.SetSize(32, 32));
    EXPECT_EQ(images.Width(), 21);
    EXPECT_EQ(images.KeyAt(1) + images.KeyAt(2) + images.KeyAt(3), "bac");
}

}  // namespace
}  // namespace kelvorin
