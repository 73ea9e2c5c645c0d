// The rules of the control models that the handlers rely on: check-box Click
// on change, slider clamping and Change, list-view selection and sort.
#include "app/controls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace kelvorin {
namespace {

// --- check box -------------------------------------------------------------------

TEST(CheckBox, WriteRunsClickOnceInsideTheWriteOnlyWhenTheValueChanges) {
    struct Case {
        int from;
        int to;
        bool clicks;
    };
    const Case cases[] = {{0, 1, true}, {1, 0, true},  {0, 2, true},  {2, 1, true},
                          {1, 2, true}, {0, 0, false}, {1, 1, false}, {2, 2, false}};
    for (const auto& c : cases) {
        CheckBox box("Chk", 1, {}, "", c.from);
        std::vector<std::string> events;
        box.onClick = [&] { events.push_back("click sees " + std::to_string(box.Value())); };
        box.SetValue(c.to);
        events.push_back("write returned");
        std::vector<std::string> expected;
        if (c.clicks) expected.push_back("click sees " + std::to_string(c.to));
        expected.push_back("write returned");
        EXPECT_EQ(events, expected) << c.from << " -> " << c.to;
    }
}

TEST(CheckBox, UserToggleClearsACheckedBoxAndChecksAnyOther) {
    const std::pair<int, int> cases[] = {{0, 1}, {1, 0}, {2, 1}};
    for (auto [from, to] : cases) {
        CheckBox box("Chk", 1, {}, "", from);
        int clicks = 0;
        box.onClick = [&] { ++clicks; };
        box.UserToggle();
        EXPECT_EQ(box.Value(), to) << "from " << from;
        EXPECT_EQ(clicks, 1) << "from " << from;
    }
}

// --- slider ------------------------------------------------------------------------

TEST(Slider, CodeWritesClampToTheRangeAndNeverRaiseChange) {
    enum class Set { Min, Max, Value };
    struct Step {
        Set what;
        int to;
        int min, max, value;  // expected afterwards
    };
    const Step steps[] = {
        {Set::Max, 255, 0, 255, 0},     {Set::Value, 255, 0, 255, 255},
        {Set::Value, 300, 0, 255, 255}, {Set::Value, -5, 0, 255, 0},
        {Set::Value, 100, 0, 255, 100}, {Set::Min, 64, 64, 255, 100},
        {Set::Value, 10, 64, 255, 64},   // below a raised minimum
        {Set::Min, 200, 200, 255, 200},  // the minimum pushes the value up
        {Set::Max, 150, 150, 150, 150},  // a maximum below the minimum pulls both down
    };
    Slider slider("Sld", 1, {});
    int changes = 0;
    slider.onChange = [&] { ++changes; };
    for (const auto& s : steps) {
        if (s.what == Set::Min) slider.SetMin(s.to);
        if (s.what == Set::Max) slider.SetMax(s.to);
        if (s.what == Set::Value) slider.SetValue(s.to);
        EXPECT_EQ(slider.Min(), s.min) << "after setting " << s.to;
        EXPECT_EQ(slider.Max(), s.max) << "after setting " << s.to;
        EXPECT_EQ(slider.Value(), s.value) << "after setting " << s.to;
    }
    EXPECT_EQ(changes, 0);
}

TEST(Slider, UserMoveRaisesChangeOnlyWhenTheClampedPositionDiffers) {
    struct Move {
        int to;
        int value;     // expected position afterwards
        bool changes;  // whether Change ran (seeing that position)
    };
    const Move moves[] = {{255, 255, false}, {300, 255, false}, {128, 128, true},
                          {128, 128, false}, {10, 64, true},    {64, 64, false}};
    Slider slider("Sld", 1, {});
    slider.SetMax(255);
    slider.SetMin(64);
    slider.SetValue(255);
    for (const auto& m : moves) {
        std::vector<int> seen;
        slider.onChange = [&] { seen.push_back(slider.Value()); };
        slider.UserMoved(m.to);
        EXPECT_EQ(slider.Value(), m.value) << "move to " << m.to;
        EXPECT_EQ(seen, m.changes ? std::vector<int>{m.value} : std::vector<int>{})
            << "move to " << m.to;
    }
}

// --- list view ---------------------------------------------------------------------

constexpr size_t kKey = 1;
constexpr size_t kTag = 2;

// A list with an item column, a key column and a tag column.
struct ThreeColumnList : ListView {
    ThreeColumnList() : ListView("List", 1, {}) {
        AddColumn("Item", 100);
        AddColumn("Key", 100);
        AddColumn("Tag", 100);
    }
};

// Adds a row the way the catalogue does: an empty row, then its cells.
size_t AddTagged(ListView& list, const std::string& key, const std::string& tag) {
    size_t row = list.AddRow();
    row = list.SetCell(row, kTag, tag);
    return list.SetCell(row, kKey, key);
}

std::vector<std::string> Column(const ListView& list, size_t column) {
    std::vector<std::string> cells;
    for (size_t row = 0; row < list.RowCount(); ++row) cells.push_back(list.Row(row).cells[column]);
    return cells;
}

int CompareIgnoringCase(const std::string& a, const std::string& b) {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        int x = std::toupper(static_cast<unsigned char>(a[i]));
        int y = std::toupper(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

TEST(ListView, FirstRowAddedToAnEmptyListBecomesTheSelection) {
    ThreeColumnList list;
    EXPECT_EQ(list.Selected(), std::nullopt);
    list.AddRow();
    EXPECT_EQ(list.Selected(), 0u);
    list.AddRow();
    list.Select(1);
    list.AddRow();
    EXPECT_EQ(list.Selected(), 1u) << "a later row leaves the selection alone";
    list.Select(std::nullopt);
    list.AddRow();
    EXPECT_EQ(list.Selected(), std::nullopt) << "only a row that starts an empty list is selected";

    list.Clear();
    EXPECT_EQ(list.RowCount(), 0u);
    EXPECT_EQ(list.Selected(), std::nullopt);
    list.AddRow();
    EXPECT_EQ(list.Selected(), 0u);
}

TEST(ListView, SortInForcePlacesEachAddedRow) {
    struct Case {
        const char* name;
        int order;
        std::vector<std::string> keys;  // in arrival order; row i is tagged "i"
        std::vector<std::string> tags;  // expected from top to bottom
        bool ignoreCase = false;
    };
    const Case cases[] = {
        {"ascending", 0, {"b", "a", "c"}, {"1", "0", "2"}},
        {"descending", 1, {"b", "a", "c"}, {"2", "0", "1"}},
        {"equal keys ascending", 0, {"x", "y", "x", "x"}, {"0", "2", "3", "1"}},
        {"equal keys descending", 1, {"x", "y", "x", "x"}, {"1", "0", "2", "3"}},
        {"digits compare as text", 0, {"20", "100", "3"}, {"1", "0", "2"}},
        {"the list's compare decides case", 0, {"b", "C", "a"}, {"2", "0", "1"}, true},
    };
    for (const auto& c : cases) {
        ThreeColumnList list;
        if (c.ignoreCase) list.SetCompare(CompareIgnoringCase);
        list.SetSortKey(static_cast<int>(kKey));
        list.SetSortOrder(c.order);
        list.SetSorted(true);
        for (size_t i = 0; i < c.keys.size(); ++i) {
            size_t at = AddTagged(list, c.keys[i], std::to_string(i));
            EXPECT_EQ(list.Row(at).cells[kTag], std::to_string(i)) << c.name << ": returned index";
        }
        EXPECT_EQ(Column(list, kTag), c.tags) << c.name;
        EXPECT_EQ(list.Row(*list.Selected()).cells[kTag], "0")
            << c.name << ": the first row added stays selected wherever it went";
    }
}

TEST(ListView, RewritingTheKeyCellMovesTheRowOtherCellsDoNot) {
    ThreeColumnList list;
    list.SetSortKey(static_cast<int>(kKey));
    list.SetSorted(true);
    for (const char* key : {"a", "b", "c"}) AddTagged(list, key, std::string("row ") + key);
    list.Select(0);
    uint64_t id = list.RowId(0);

    EXPECT_EQ(list.SetCell(0, kKey, "d"), 2u);
    EXPECT_EQ(Column(list, kKey), (std::vector<std::string>{"b", "c", "d"}));
    EXPECT_EQ(list.IndexOfId(id), 2u);
    EXPECT_EQ(list.Selected(), 2u);

    EXPECT_EQ(list.SetCell(0, kTag, "zzz"), 0u);
    EXPECT_EQ(Column(list, kKey), (std::vector<std::string>{"b", "c", "d"}));
}

TEST(ListView, SwitchingTheSortOnKeepsTheSelectedRow) {
    ThreeColumnList list;
    for (const char* key : {"c", "a", "b"}) AddTagged(list, key, key);
    list.Select(0);  // "c"

    list.SetSortKey(static_cast<int>(kKey));
    list.SetSortOrder(0);
    list.SetSorted(true);
    EXPECT_EQ(Column(list, kKey), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(list.Selected(), 2u);

    list.SetSortOrder(1);
    list.SetSorted(true);
    EXPECT_EQ(Column(list, kKey), (std::vector<std::string>{"c", "b", "a"}));
    EXPECT_EQ(list.Selected(), 0u);
}

TEST(ListView, EqualKeysGoBackToTheOrderTheRowsWereAdded) {
    ThreeColumnList list;
    for (const char* key : {"b", "a", "c"}) AddTagged(list, key, key);
    list.SetSortKey(static_cast<int>(kKey));
    list.SetSorted(true);
    ASSERT_EQ(Column(list, kTag), (std::vector<std::string>{"a", "b", "c"}));

    // The item column is empty in every row: every key is equal.
    for (int order : {1, 0}) {
        list.SetSortKey(0);
        list.SetSortOrder(order);
        list.SetSorted(true);
        EXPECT_EQ(Column(list, kTag), (std::vector<std::string>{"b", "a", "c"})) << order;
    }
}

TEST(ListView, EveryRowIdFindsItsRowThroughMovesResortsAndClears) {
    ThreeColumnList list;
    auto expectIdsFindTheirRows = [&](const char* when) {
        for (size_t row = 0; row < list.RowCount(); ++row)
            EXPECT_EQ(list.IndexOfId(list.RowId(row)), row) << when << ", row " << row;
    };
    for (const char* key : {"m", "c", "x", "a", "q"}) AddTagged(list, key, key);
    expectIdsFindTheirRows("added unsorted");

    list.SetSortKey(static_cast<int>(kKey));
    list.SetSorted(true);
    expectIdsFindTheirRows("sorted");
    for (const char* key : {"b", "z", "m", "a"}) AddTagged(list, key, key);
    expectIdsFindTheirRows("added sorted");
    list.SetCell(0, kKey, "zz");                   // first row to the bottom
    list.SetCell(list.RowCount() - 1, kKey, "0");  // and back to the top
    list.SetCell(3, kKey, "n");                    // a short move
    expectIdsFindTheirRows("moved by key rewrites");
    list.SetSortOrder(1);
    list.SetSorted(true);
    expectIdsFindTheirRows("sorted the other way");

    uint64_t gone = list.RowId(0);
    uint64_t lastBefore = 0;
    for (size_t row = 0; row < list.RowCount(); ++row)
        lastBefore = std::max(lastBefore, list.RowId(row));
    list.Clear();
    EXPECT_EQ(list.IndexOfId(gone), std::nullopt);
    for (const char* key : {"k", "d"}) AddTagged(list, key, key);
    expectIdsFindTheirRows("after a clear");
    EXPECT_EQ(list.IndexOfId(gone), std::nullopt) << "a row of before the clear";
    EXPECT_EQ(list.IndexOfId(lastBefore + 100), std::nullopt) << "an id never given";
}

// --- image list ------------------------------------------------------------------------

TEST(ImageList, SizeChangesOnlyWhileTheListIsEmpty) {
    ImageList images;
    EXPECT_TRUE(images.SetSize(21, 21));
    images.Add(1, Image(21, 21, Rgb(255, 0, 0)));
    EXPECT_FALSE(images.SetSize(32, 32));
    EXPECT_EQ(images.Width(), 21);
    EXPECT_EQ(images.Height(), 21);
    images.Clear();
    EXPECT_TRUE(images.SetSize(32, 48));
    EXPECT_EQ(images.Width(), 32);
    EXPECT_EQ(images.Height(), 48);
}

}  // namespace
}  // namespace kelvorin
