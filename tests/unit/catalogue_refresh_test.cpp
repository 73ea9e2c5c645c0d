// Start-up and the catalogue refresh of MainFrm over the fake desktop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "app/main_frm.h"
#include "catalogue/refresh.h"
#include "fake/fake.h"
#include "platform/constants.h"

namespace kelvorin {
namespace {

std::string Text(WindowHandle h) {
    return std::to_string(h.value);
}

// What the user sees of a row: handle, title and visibility.
struct Row {
    std::string handle;
    std::string title;
    std::string shown;
    friend bool operator==(const Row&, const Row&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Row& r) {
        return out << "{" << r.handle << ", \"" << r.title << "\", " << r.shown << "}";
    }
};

class CatalogueRefresh : public ::testing::Test {
  protected:
    fake::FakeDesktop desktop;
    fake::FakeMainFrmView view{desktop};
    Platform platform = desktop.platform();
    MainFrm form{platform, view};

    // Every desktop has its shell window at the bottom of the Z-order;
    // untitled here, so it gives no row.
    WindowHandle shell = desktop.AddWindow({.className = "Progman"});

    WindowHandle Add(const std::string& title, bool visible = true, int32_t handle = 0) {
        WindowHandle h =
            desktop.AddWindow({.handle = WindowHandle(handle), .title = title, .visible = visible});
        desktop.SendToBottom(shell);
        return h;
    }

    std::vector<Row> Rows() const {
        std::vector<Row> rows;
        for (size_t i = 0; i < form.ListView1.RowCount(); ++i) {
            const auto& cells = form.ListView1.Row(i).cells;
            rows.push_back({cells[col::Handle], cells[col::Caption], cells[col::Visibility]});
        }
        return rows;
    }

    std::vector<std::string> Titles() const {
        std::vector<std::string> titles;
        for (const Row& r : Rows()) titles.push_back(r.title);
        return titles;
    }

    // The handles of the last n IsWindowVisible calls.
    std::vector<std::string> LastVisibilityQueries(size_t n) {
        auto calls = desktop.Log().Named("IsWindowVisible");
        std::vector<std::string> handles;
        for (size_t i = calls.size() - std::min(n, calls.size()); i < calls.size(); ++i)
            handles.push_back(calls[i].args[0]);
        return handles;
    }
};

TEST_F(CatalogueRefresh, StartUpListsTitledWindowsInEnumerationOrderWithHandleAndVisibility) {
    Add("Alpha", true, -5);
    Add("", true);  // never a row, however visible
    Add("Hidden tool", false, INT32_MIN);
    Add("Beta", true, INT32_MAX);
    Add("Gamma", false, 131072);

    form.Form_Load();

    EXPECT_EQ(Rows(), (std::vector<Row>{{"-5", "Alpha", "表示"},
                                        {"-2147483648", "Hidden tool", "非表示"},
                                        {"2147483647", "Beta", "表示"},
                                        {"131072", "Gamma", "非表示"}}));
    for (size_t i = 0; i < form.ListView1.RowCount(); ++i)
        EXPECT_EQ(form.ListView1.Row(i).cells[col::Icon], "") << "row " << i;
    // The last pass reads each row's handle cell back and asks about that window.
    EXPECT_EQ(LastVisibilityQueries(4),
              (std::vector<std::string>{"-5", "-2147483648", "2147483647", "131072"}));
    EXPECT_TRUE(form.ListView1.Visible());
}

TEST_F(CatalogueRefresh, HideFilterFollowsTheBoxAndEveryValueChangeRebuilds) {
    for (const char* title : {"Default IME", "Editor", "ATOK31 helper", "imejp", "Tessaly 2",
                              "atok lower case", "My Default IME"})
        Add(title);
    const std::vector<std::string> all = {"Default IME",   "Editor",    "ATOK31 helper",
                                          "imejp",         "Tessaly 2", "atok lower case",
                                          "My Default IME"};
    const std::vector<std::string> filtered = {"Editor", "atok lower case", "My Default IME"};

    form.Form_Load();  // the box starts checked
    EXPECT_EQ(form.IMEUnShowChk.Value(), 1);
    EXPECT_EQ(Titles(), filtered);

    const std::pair<int, const std::vector<std::string>*> steps[] = {
        {0, &all}, {1, &filtered}, {2, &all}, {1, &filtered}};
    for (auto [value, expected] : steps) {
        size_t before = desktop.Log().Count("EnumWindows");
        form.IMEUnShowChk.SetValue(value);
        EXPECT_EQ(desktop.Log().Count("EnumWindows"), before + 1) << "box " << value;
        EXPECT_EQ(Titles(), *expected) << "box " << value;
    }
}

TEST_F(CatalogueRefresh, UserClickOnTheFilterBoxRebuildsAtOnceBothWays) {
    Add("Default IME");
    Add("Editor");
    form.Form_Load();
    ASSERT_EQ(Titles(), std::vector<std::string>{"Editor"});

    form.IMEUnShowChk.UserToggle();
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Default IME", "Editor"}));
    form.IMEUnShowChk.UserToggle();
    EXPECT_EQ(Titles(), std::vector<std::string>{"Editor"});
    EXPECT_EQ(desktop.Log().Count("EnumWindows"), 3u);
}

TEST_F(CatalogueRefresh, UnreadableTitleGivesNoRow) {
    Add("First");
    Add("Unreadable");
    Add("Third");
    form.Form_Load();
    desktop.Fail("GetWindowTextA", 1, 1);
    form.PRefreshBtn_Click();
    EXPECT_EQ(Titles(), (std::vector<std::string>{"First", "Third"}));
}

TEST_F(CatalogueRefresh, EnumerationFailureShowsTheMessageOncePerRefreshAndKeepsTheRows) {
    struct Case {
        const char* name;
        std::function<void()> fail;
        std::vector<std::string> titles;
    };
    const Case cases[] = {
        {"fails after two windows", [&] { desktop.FailEnumWindowsAfter(2); }, {"One", "Two"}},
        {"fails at once", [&] { desktop.Fail("EnumWindows"); }, {}},
    };
    for (const char* title : {"One", "Two", "Three", "Four"}) Add(title);
    form.Form_Load();
    for (const auto& c : cases) {
        desktop.RestoreAll();
        c.fail();
        for (int refresh = 1; refresh <= 2; ++refresh) {
            desktop.Log().Clear();
            form.PRefreshBtn_Click();
            ASSERT_EQ(desktop.Log().Count("MessageBox"), 1u) << c.name << ", refresh " << refresh;
            const auto& box = desktop.MessageBoxes().back();
            EXPECT_EQ(box.text, "取得に失敗しました") << c.name;
            EXPECT_EQ(box.title, "Kelvorin") << c.name;
            EXPECT_EQ(box.style, 0u) << c.name;
            EXPECT_EQ(Titles(), c.titles) << c.name;
            // The refresh goes on after the message: the rows get their visibility.
            for (const Row& r : Rows()) EXPECT_EQ(r.shown, "表示") << c.name;
            auto names = desktop.Log().Names({"EnumWindows", "MessageBox", "IsWindowVisible"});
            EXPECT_EQ(names.front(), "EnumWindows") << c.name;
            EXPECT_EQ(names[1], "MessageBox") << c.name;
            EXPECT_TRUE(form.ListView1.Visible()) << c.name;
        }
    }
    desktop.RestoreAll();
    form.PRefreshBtn_Click();
    EXPECT_EQ(Titles().size(), 4u);
    EXPECT_EQ(desktop.MessageBoxes().size(), 4u) << "no message once enumeration succeeds";
}

// Records every list event with the list's visibility at that moment.
class ListEvents : public ListViewObserver {
  public:
    explicit ListEvents(const ListView& list) : list_(list) {}
    void ListRowsChanged() override { Note("rows"); }
    void ListCellChanged(size_t, size_t) override { Note("cell"); }
    void ListSelectionChanged() override { Note("selection"); }
    void ListVisibilityChanged() override { Note("visibility"); }
    void ListColumnsChanged() override { Note("columns"); }

    std::vector<std::pair<std::string, bool>> events;

  private:
    void Note(const char* what) { events.emplace_back(what, list_.Visible()); }
    const ListView& list_;
};

TEST_F(CatalogueRefresh, ListStaysHiddenForTheWholeRebuild) {
    Add("One");
    Add("Two", false);
    form.Form_Load();
    ListEvents list(form.ListView1);
    form.ListView1.SetObserver(&list);
    std::vector<std::string> callsWhileShown;
    desktop.Log().onCall = [&](const fake::Call& call) {
        if (form.ListView1.Visible()) callsWhileShown.push_back(call.ToString());
    };

    form.PRefreshBtn_Click();

    EXPECT_EQ(callsWhileShown, std::vector<std::string>{});
    ASSERT_GE(list.events.size(), 3u);
    EXPECT_EQ(list.events.front(), std::make_pair(std::string("visibility"), false));
    EXPECT_EQ(list.events.back(), std::make_pair(std::string("visibility"), true));
    for (size_t i = 1; i + 1 < list.events.size(); ++i)
        EXPECT_FALSE(list.events[i].second) << list.events[i].first << " while shown";
}

TEST_F(CatalogueRefresh, StartUpSetsSliderAndIconCellBeforeTheRefresh) {
    struct Case {
        int cxIcon, cyIcon;
        int cellWidth, cellHeight;
    };
    const Case cases[] = {{32, 32, 21, 21}, {48, 48, 32, 32}, {16, 16, 11, 11}, {32, 48, 21, 32}};
    for (const auto& c : cases) {
        fake::FakeDesktop d;
        fake::FakeMainFrmView v(d);
        Platform p = d.platform();
        MainFrm f(p, v);
        d.AddWindow({.title = "Window"});
        d.SetMetric(win::kSmCxIcon, c.cxIcon);
        d.SetMetric(win::kSmCyIcon, c.cyIcon);
        bool enumerated = false;
        d.Log().onCall = [&](const fake::Call& call) {
            if (call.name != "EnumWindows") return;
            enumerated = true;
            EXPECT_EQ(f.ToumeiSld.Min(), 0);
            EXPECT_EQ(f.ToumeiSld.Max(), 255);
            EXPECT_EQ(f.ToumeiSld.Value(), 255);
            EXPECT_EQ(f.ToumeiSld.TickFrequency(), 16);
            EXPECT_EQ(f.ImageList1.Width(), c.cellWidth);
            EXPECT_EQ(f.ImageList1.Height(), c.cellHeight);
        };

        f.Form_Load();

        EXPECT_TRUE(enumerated);
        auto& picture = dynamic_cast<fake::FakeSurface&>(f.Picture1());
        EXPECT_EQ(picture.Canvas().width, c.cellWidth) << "metric " << c.cxIcon;
        EXPECT_EQ(picture.Canvas().height, c.cellHeight) << "metric " << c.cyIcon;
        EXPECT_EQ(f.IconCellWidth(), c.cellWidth);
        EXPECT_EQ(f.IconCellHeight(), c.cellHeight);
        EXPECT_EQ(f.ImageList1.Width(), c.cellWidth);
        EXPECT_EQ(f.ImageList1.Height(), c.cellHeight);
        EXPECT_EQ(f.ToumeiSld.Max(), 255);
        EXPECT_EQ(f.ToumeiSld.Value(), 255);
        EXPECT_EQ(f.ToumeiSld.TickFrequency(), 16);
    }
}

TEST_F(CatalogueRefresh, EachRefreshSelectsAndLoadsTheFirstWindowEnumerated) {
    WindowHandle first = Add("b first");
    Add("c second");
    Add("a third");
    form.Form_Load();
    ASSERT_EQ(form.ListView1.Selected(), 0u);
    EXPECT_EQ(form.SelectedWindow(), first);

    // Under a sort the first row added lands elsewhere but is still the one selected.
    form.ListView1.SetSortKey(static_cast<int>(col::Caption));
    form.ListView1.SetSortOrder(0);
    form.ListView1.SetSorted(true);
    form.ListView1.Select(0);  // "a third"
    form.PRefreshBtn_Click();
    ASSERT_TRUE(form.ListView1.Selected());
    EXPECT_EQ(Rows()[*form.ListView1.Selected()].title, "b first");
    EXPECT_EQ(form.SelectedWindow(), first);
}

TEST_F(CatalogueRefresh, SortInForcePlacesRefreshedRows) {
    Add("b");
    Add("C");
    Add("a");
    form.Form_Load();
    form.ListView1.SetSortKey(static_cast<int>(col::Caption));
    for (auto [order, expected] : {std::pair{0, std::vector<std::string>{"a", "b", "C"}},
                                   std::pair{1, std::vector<std::string>{"C", "b", "a"}}}) {
        form.ListView1.SetSortOrder(order);
        form.ListView1.SetSorted(true);
        form.PRefreshBtn_Click();
        // Case-insensitive, as the platform's compare sorts.
        EXPECT_EQ(Titles(), expected) << "order " << order;
    }
}

TEST_F(CatalogueRefresh, SortOnTheVisibilityColumnMarksEveryRowByItsOwnWindow) {
    // The visibility pass moves rows as it writes them: each must still be
    // written once, from its own handle, in either order.
    const bool visible[] = {true, false, true, false, false, true};
    std::vector<std::string> h;
    for (size_t i = 0; i < std::size(visible); ++i)
        h.push_back(Text(Add("w" + std::to_string(i), visible[i])));
    const std::vector<Row> shown = {
        {h[0], "w0", "表示"}, {h[2], "w2", "表示"}, {h[5], "w5", "表示"}};
    const std::vector<Row> hidden = {
        {h[1], "w1", "非表示"}, {h[3], "w3", "非表示"}, {h[4], "w4", "非表示"}};
    form.Form_Load();
    form.ListView1.SetSortKey(static_cast<int>(col::Visibility));
    for (int order : {0, 1}) {
        form.ListView1.SetSortOrder(order);
        form.ListView1.SetSorted(true);

        form.PRefreshBtn_Click();

        std::vector<Row> expected = order == 0 ? shown : hidden;
        const auto& after = order == 0 ? hidden : shown;
        expected.insert(expected.end(), after.begin(), after.end());
        EXPECT_EQ(Rows(), expected) << "order " << order;
        auto queried = LastVisibilityQueries(h.size());
        std::sort(queried.begin(), queried.end());
        auto handles = h;
        std::sort(handles.begin(), handles.end());
        EXPECT_EQ(queried, handles) << "order " << order;
    }
}

}  // namespace
}  // namespace kelvorin
