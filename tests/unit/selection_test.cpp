// Loading the selected row (ItemLoad, GetWindowData, OSHantei), the click
// that sets it off and the column sort of ListView1.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "form_on_fake.h"

namespace kelvorin {
namespace {

using unit::FormOnFake;
using unit::FormWorld;
using unit::Text;

class Selection : public FormOnFake {
  protected:
    // Two processes; windows are added by each test.
    void SetUp() override {
        desktop.AddProcess(
            {.processId = 7, .exeFile = "editor.exe", .exePath = "C:\\Apps\\editor.exe"});
        desktop.AddProcess(
            {.processId = 9, .exeFile = "mail.exe", .exePath = "C:\\Apps\\mail.exe"});
    }
};

TEST_F(Selection, LoadRunsItsStepsInOrder) {
    Add({.title = "Alpha", .processId = 7});
    WindowHandle beta = Add({.title = "Beta", .processId = 9});
    form.Form_Load();
    form.ListView1.Select(RowOf(beta));
    form.CaptionTxt.UserEdited("typed");
    form.ToumeiSld.SetValue(100);
    desktop.PutOnClipboard("another program's text");

    // What the form and the clipboard hold as each call is made.
    struct Moment {
        std::string call;
        WindowHandle selected;
        std::string caption;
        int slider;
        int sliderMin;
        std::optional<std::string> clipboard;
    };
    std::vector<Moment> moments;
    desktop.Log().Clear();
    desktop.Log().onCall = [&](const fake::Call& call) {
        moments.push_back({call.name, form.SelectedWindow(), form.CaptionTxt.Text(),
                           form.ToumeiSld.Value(), form.ToumeiSld.Min(), desktop.ClipboardText()});
    };

    form.ItemLoad();

    // Alpha and Beta read alike, so the reader changes no box and runs no handler.
    std::vector<std::string> calls;
    for (const auto& m : moments) calls.push_back(m.call);
    ASSERT_EQ(calls,
              (std::vector<std::string>{"IsWindowVisible", "GetParent", "FindWindowA", "GetParent",
                                        "GetWindowLongA", "GetVersionPlatformId", "Clipboard.Empty",
                                        "Clipboard.SetText"}));
    const Moment& reading = moments[0];
    EXPECT_EQ(reading.selected, beta) << "the reader reads the new selected window";
    EXPECT_EQ(reading.caption, "Beta") << "the caption is filled before the reader runs";
    EXPECT_EQ(reading.slider, 100) << "the slider is reset after the reader";
    EXPECT_EQ(desktop.Log().All()[0].args[0], Text(beta));
    const Moment& platformCheck = moments[5];
    EXPECT_EQ(platformCheck.slider, 255) << "the slider is reset before OSHantei";
    EXPECT_EQ(platformCheck.sliderMin, 64);
    EXPECT_EQ(moments[6].clipboard, "another program's text");
    EXPECT_EQ(moments[7].clipboard, std::nullopt) << "emptied before the summary goes on";
    EXPECT_EQ(desktop.ClipboardText(), Text(beta) + "\tmail.exe\tBeta\t9\tC:\\Apps\\mail.exe");
}

TEST_F(Selection, ClickLoadsTheClickedRowAndPutsColumnsTwoToSixOnTheClipboard) {
    WindowHandle editor = Add({.title = "a.txt - Editor", .processId = 7});
    WindowHandle japanese = Add({.title = "受信トレイ - メール", .processId = 9});
    WindowHandle orphan = Add({.title = "No process", .processId = 99});
    WindowHandle hidden = Add({.title = "Hidden", .visible = false, .processId = 7});
    WindowHandle broken = Add({.title = "a\tb\r\nc", .processId = 9});
    const std::pair<WindowHandle, std::string> cases[] = {
        {japanese, Text(japanese) + "\tmail.exe\t受信トレイ - メール\t9\tC:\\Apps\\mail.exe"},
        // Without process data the fields are empty; the four tabs stay.
        {orphan, Text(orphan) + "\t\tNo process\t\t"},
        // Neither the icon cell nor the visibility column takes part.
        {hidden, Text(hidden) + "\teditor.exe\tHidden\t7\tC:\\Apps\\editor.exe"},
        {editor, Text(editor) + "\teditor.exe\ta.txt - Editor\t7\tC:\\Apps\\editor.exe"},
        // Tabs and line breaks inside a cell would break the five fields apart.
        {broken, Text(broken) + "\tmail.exe\ta b  c\t9\tC:\\Apps\\mail.exe"},
    };
    form.Form_Load();
    for (const auto& [h, summary] : cases) {
        desktop.PutOnClipboard("previous");

        ClickRow(h);

        EXPECT_EQ(form.SelectedWindow(), h);
        EXPECT_EQ(form.CaptionTxt.Text(), CellOf(h, col::Caption));
        EXPECT_TRUE(desktop.ClipboardEmptied());
        EXPECT_EQ(desktop.ClipboardText(), summary);
    }
}

TEST_F(Selection, LoadWithoutSelectedRowKeepsTheWindowAndCaptionAndLeavesEmptyText) {
    WindowHandle alpha = Add({.title = "Alpha", .processId = 7});
    Add({.title = "Beta", .processId = 9});
    form.Form_Load();
    form.CaptionTxt.UserEdited("typed by the user");
    form.ToumeiSld.SetValue(100);
    form.ListView1.Select(std::nullopt);
    desktop.PutOnClipboard("another program's text");
    desktop.Log().Clear();

    form.ItemLoad();

    EXPECT_EQ(form.SelectedWindow(), alpha);
    EXPECT_EQ(form.CaptionTxt.Text(), "typed by the user");
    EXPECT_EQ(desktop.ClipboardText(), "");
    // The reader and the slider reset still run, for the previous window.
    EXPECT_EQ(desktop.Log().Strings({"IsWindowVisible"}),
              std::vector<std::string>{"IsWindowVisible(" + Text(alpha) + ")"});
    EXPECT_EQ(form.ToumeiSld.Value(), 255);
}

TEST_F(Selection, OnlyTheWindows9xFamilyDisablesTheSliderAndTheFinderLabelForGood) {
    struct Case {
        const char* what;
        std::optional<uint32_t> platformId;
        bool versionFails;
        bool disabled;
    };
    const Case cases[] = {
        {"95/98/Me", 1, false, true},
        {"NT family", 2, false, false},
        {"Win32s", 0, false, false},
        {"GetVersionExA fails", 1, true, false},
    };
    for (const auto& c : cases) {
        FormWorld w;
        w.Add({.title = "Window"});
        w.desktop.SetPlatformId(c.platformId);
        if (c.versionFails) w.desktop.Fail("GetVersionPlatformId");

        w.form.Form_Load();

        EXPECT_EQ(w.form.ToumeiSld.Enabled(), !c.disabled) << c.what;
        EXPECT_EQ(w.form.Label2.Enabled(), !c.disabled) << c.what;

        // A later load on the NT family enables nothing again.
        w.desktop.RestoreAll();
        w.desktop.SetPlatformId(2);
        w.form.ListView1_ItemClick();
        EXPECT_EQ(w.form.ToumeiSld.Enabled(), !c.disabled) << c.what << ", later load";
        EXPECT_EQ(w.form.Label2.Enabled(), !c.disabled) << c.what << ", later load";
    }
}

// --- column sort ----------------------------------------------------------------

// Folds ASCII letters as the fake's compare does.
int CompareAsText(const std::string& a, const std::string& b) {
    auto fold = [](const std::string& s) {
        std::string out = s;
        for (auto& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return out;
    };
    return fold(a).compare(fold(b));
}

class ColumnSort : public Selection {
  protected:
    // Clicks the header until the list is sorted on it in `order`.
    void SortBy(int header, int order) {
        form.ListView1_ColumnClick(header);
        if (form.ListView1.SortOrder() != order) form.ListView1_ColumnClick(header);
    }

    // Rows of the key column in order; with `equalKeysEnumerated`, rows with
    // equal keys in the order they were enumerated (true of rows just added).
    void ExpectSorted(size_t key, int order, const std::string& when,
                      bool equalKeysEnumerated = true) {
        std::vector<WindowHandle> enumerated = desktop.TopLevelWindows();
        auto rank = [&](size_t row) {
            auto h = std::find_if(enumerated.begin(), enumerated.end(), [&](WindowHandle w) {
                return Text(w) == form.ListView1.Cell(row, col::Handle);
            });
            return h - enumerated.begin();
        };
        for (size_t i = 1; i < form.ListView1.RowCount(); ++i) {
            int c = CompareAsText(form.ListView1.Cell(i - 1, key), form.ListView1.Cell(i, key));
            if (order == 1) c = -c;
            EXPECT_LE(c, 0) << when << ": rows " << i - 1 << " and " << i;
            if (c == 0 && equalKeysEnumerated) {
                EXPECT_LT(rank(i - 1), rank(i)) << when << ": equal keys, rows " << i;
            }
        }
    }
};

TEST_F(ColumnSort, DigitsSortAsTextAndTheFirstClickSortsDescending) {
    desktop.AddProcess({.processId = 100, .exeFile = "hundred.exe"});
    desktop.AddProcess({.processId = 20, .exeFile = "twenty.exe"});
    Add({.handle = WindowHandle(100), .title = "hundred", .processId = 100});
    Add({.handle = WindowHandle(20), .title = "twenty", .processId = 20});
    form.Form_Load();
    for (int header : {2, 5}) {  // ハンドル, プロセスID
        const size_t key = static_cast<size_t>(header - 1);
        form.ListView1_ColumnClick(header);
        EXPECT_EQ(form.ListView1.SortOrder(), 1) << "header " << header;
        EXPECT_EQ(Column(key), (std::vector<std::string>{"20", "100"})) << "header " << header;
        form.ListView1_ColumnClick(header);
        EXPECT_EQ(form.ListView1.SortOrder(), 0) << "header " << header;
        EXPECT_EQ(Column(key), (std::vector<std::string>{"100", "20"})) << "header " << header;
    }
}

TEST_F(ColumnSort, EveryHeaderClickFlipsTheOrderWhicheverColumnItIs) {
    for (const char* title : {"b", "D", "a", "c"}) Add({.title = title, .processId = 7});
    Add({.title = "e", .processId = 9});
    form.Form_Load();
    ASSERT_FALSE(form.ListView1.Sorted());
    const std::pair<int, int> clicks[] = {{4, 1}, {4, 0}, {3, 1}, {6, 0}, {4, 1}, {7, 0}, {4, 1}};
    for (auto [header, order] : clicks) {
        form.ListView1_ColumnClick(header);
        std::string when = "after a click on header " + std::to_string(header);
        EXPECT_TRUE(form.ListView1.Sorted()) << when;
        EXPECT_EQ(form.ListView1.SortKey(), header - 1) << when;
        EXPECT_EQ(form.ListView1.SortOrder(), order) << when;
        ExpectSorted(static_cast<size_t>(header - 1), order, when, false);
    }
    EXPECT_EQ(Column(col::Caption), (std::vector<std::string>{"e", "D", "c", "b", "a"}));
}

}  // namespace
}  // namespace kelvorin
