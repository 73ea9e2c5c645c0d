#include "icons/icon_getter.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "fake/fake.h"
#include "icons/bmp_writer.h"
#include "platform/constants.h"

namespace kelvorin {
namespace {

using fake::FakeDesktop;
using fake::FileIcon;
using fake::kTransparent;

constexpr Colour kWhite = Rgb(255, 255, 255);
const std::string kExe = "C:\\Apps\\three.exe";

class RecordingView : public IIconGetterView {
public:
    void Unload() override { ++unloads; }
    int unloads = 0;
};

// A 32 x 32 icon of one colour whose left `clearColumns` columns are outside
// its mask, so a surface left dirty by the previous icon would show there.
FileIcon MaskedIcon(Colour colour, int clearColumns) {
    Image large(32, 32, colour);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < clearColumns; ++x) large.Set(x, y, kTransparent);
    return {large, Image(16, 16, colour)};
}

// What DrawIcon on a white surface leaves for a 32 x 32 icon at 32 x 32.
Image OnWhite(const FileIcon& icon) {
    Image out = icon.large;
    for (auto& pixel : out.pixels)
        if (pixel == kTransparent) pixel = kWhite;
    return out;
}

struct Fixture {
    FakeDesktop desktop;
    Platform platform = desktop.platform();
    RecordingView view;
    IconGetter form{platform, view};
    std::vector<FileIcon> three = {MaskedIcon(Rgb(200, 0, 0), 4), MaskedIcon(Rgb(0, 150, 0), 9),
                                   MaskedIcon(Rgb(0, 0, 250), 0)};

    Fixture() { desktop.AddIconFile(kExe, three); }
    void Open(const std::string& path) {
        form.Text1.SetText(path);
        form.Form_Activate();
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (size_t row = 0; row < form.ListView1.RowCount(); ++row)
            texts.push_back(form.ListView1.Row(row).cells[0]);
        return texts;
    }
};

TEST(IconGetter, ListsEveryIconDrawnOnWhiteWithItsKeyAndNumberThenCloses) {
    Fixture f;
    f.Open(kExe);
    EXPECT_EQ(f.form.Label3.Caption(), "3");
    ASSERT_EQ(f.form.ImageList1.Count(), 3);
    EXPECT_EQ(f.Texts(), (std::vector<std::string>{"1", "2", "3"}));
    for (int i = 1; i <= 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(f.form.ImageList1.KeyAt(i), "K" + std::to_string(i + 1));
        EXPECT_EQ(f.form.ListView1.Row(size_t(i - 1)).key, "K" + std::to_string(i + 1));
        EXPECT_EQ(f.form.ListView1.Row(size_t(i - 1)).image, i);
        // White where the mask is clear, also after a differently coloured icon.
        EXPECT_EQ(f.form.ImageList1.At(i), OnWhite(f.three[size_t(i - 1)]));
    }
    EXPECT_FALSE(f.form.ListView1.Selected());
    EXPECT_TRUE(f.form.ListView1.Visible());
    // Every handle handed out was given back, each as soon as it was drawn.
    EXPECT_EQ(f.desktop.LiveExtractedIcons(), 0u);
    EXPECT_EQ(f.desktop.Log().Names({"ExtractIconA", "Surface.DrawIcon", "DestroyIcon"}),
              (std::vector<std::string>{"ExtractIconA", "Surface.DrawIcon", "DestroyIcon",
                                        "ExtractIconA", "Surface.DrawIcon", "DestroyIcon",
                                        "ExtractIconA", "Surface.DrawIcon", "DestroyIcon"}));
    EXPECT_TRUE(f.desktop.MessageBoxes().empty());
    f.form.Command3.Click();
    EXPECT_EQ(f.view.unloads, 1);
}

TEST(IconGetter, ActivationSizesSurfaceAndImagesToTheSystemIconSize) {
    struct Case {
        int cx, cy;
        bool unreadable;  // GetSystemMetrics fails
        int width, height;
    } cases[] = {{48, 48, false, 48, 48}, {32, 24, false, 32, 24}, {32, 32, true, 32, 32}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.cx) + "x" + std::to_string(c.cy));
        Fixture f;
        f.desktop.SetMetric(win::kSmCxIcon, c.cx);
        f.desktop.SetMetric(win::kSmCyIcon, c.cy);
        if (c.unreadable) f.desktop.Fail("GetSystemMetrics");
        f.desktop.AddIconFile("solid.dll", {fake::SolidIcon(Rgb(1, 2, 3))});
        f.Open("solid.dll");
        EXPECT_EQ(f.form.ImageList1.Width(), c.width);
        EXPECT_EQ(f.form.ImageList1.Height(), c.height);
        ASSERT_EQ(f.form.ImageList1.Count(), 1);
        const Image& image = f.form.ImageList1.At(1);
        EXPECT_EQ(image.width, c.width);
        EXPECT_EQ(image.height, c.height);
        EXPECT_EQ(image.At(c.width - 1, c.height - 1), Rgb(1, 2, 3));
    }
}

TEST(IconGetter, AnIconThatCannotBeExtractedIsABlankEntry) {
    Fixture f;
    f.desktop.Fail("ExtractIconA", 0, 1);  // the first icon drawn, the second, comes back null
    f.Open(kExe);
    ASSERT_EQ(f.form.ImageList1.Count(), 3);
    EXPECT_EQ(f.form.ImageList1.At(2), Image(32, 32, kWhite));
    EXPECT_EQ(f.form.ImageList1.KeyAt(2), "K3");
    EXPECT_EQ(f.form.ImageList1.At(3), OnWhite(f.three[2]));
    EXPECT_EQ(f.Texts(), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(f.desktop.Log().Count("DestroyIcon"), 1u);
    EXPECT_EQ(f.desktop.LiveExtractedIcons(), 0u);
}

TEST(IconGetter, NothingFoundShowsZeroAndKeepsTheList) {
    struct Case {
        const char* what;
        std::string path;
        bool countFails;
        bool counted;  // the system's icon code is asked
    } cases[] = {{"missing file", "C:\\nowhere.exe", false, false},
                 {"file without icons", "C:\\empty.txt", false, true},
                 {"empty path", "", false, false},
                 {"count call failing", kExe, true, true},
                 {"damaged icon data", "C:\\damaged.exe", false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fixture f;
        f.desktop.AddIconFile("C:\\empty.txt", {});
        f.desktop.AddIconFile("C:\\damaged.exe", f.three);
        f.desktop.Files()["C:\\damaged.exe"] = fake::IcoFileBytes().substr(0, 40);
        f.Open(kExe);
        ASSERT_EQ(f.form.ListView1.RowCount(), 3u);
        f.form.ListView1.Select(1);
        if (c.countFails) f.desktop.Fail("ExtractIconCount");
        f.form.Text1.UserEdited(c.path);
        f.form.Command1.Click();
        EXPECT_EQ(f.form.Label3.Caption(), "0");
        EXPECT_EQ(f.Texts(), (std::vector<std::string>{"1", "2", "3"}));
        EXPECT_EQ(f.form.ImageList1.Count(), 3);
        EXPECT_EQ(f.form.ListView1.Selected(), 1u);
        EXPECT_EQ(f.desktop.Log().Count("ExtractIconCount"), c.counted ? 2u : 1u);
    }
    // At the first activation that leaves the list empty.
    Fixture f;
    f.Open("C:\\nowhere.exe");
    EXPECT_EQ(f.form.Label3.Caption(), "0");
    EXPECT_EQ(f.form.ListView1.RowCount(), 0u);
}

// A damaged file can claim more icons than a list can number.
TEST(IconGetter, AnAbsurdCountIsShownButListsAtMostTheLastEntryNumber) {
    struct Boasting : FakeDesktop {
        int ExtractIconCount(const std::string&) override { return 100000; }
    } desktop;
    desktop.SetMetric(win::kSmCxIcon, 1);  // keeps 32767 pictures small
    desktop.SetMetric(win::kSmCyIcon, 1);
    desktop.AddIconFile("damaged.exe", {fake::SolidIcon(Rgb(5, 5, 5))});
    Platform platform = desktop.platform();
    RecordingView view;
    IconGetter form(platform, view);
    form.Text1.SetText("damaged.exe");
    form.Form_Activate();
    EXPECT_EQ(form.Label3.Caption(), "100000");
    // Only the pictures asked for are drawn.
    EXPECT_EQ(desktop.Log().Count("ExtractIconA"), 0u);
    ASSERT_EQ(form.ListView1.RowCount(), size_t(IconGetter::kMaxEntries));
    EXPECT_EQ(form.ListView1.Row(IconGetter::kMaxEntries - 1).cells[0], "32767");
    EXPECT_EQ(form.ImageList1.KeyAt(IconGetter::kMaxEntries), "K32768");
    EXPECT_EQ(form.ImageList1.At(1), Image(1, 1, Rgb(5, 5, 5)));
    EXPECT_EQ(form.ImageList1.At(2), Image(1, 1, kWhite));  // the file has only one
    EXPECT_EQ(desktop.Log().Strings({"ExtractIconA"}),
              (std::vector<std::string>{"ExtractIconA(\"damaged.exe\",0)",
                                        "ExtractIconA(\"damaged.exe\",1)"}));
}

TEST(IconGetter, SaveWritesTheSelectedPictureOnlyWhenThereIsOneAndAName) {
    const std::string kOld = "old bytes";
    struct Case {
        const char* what;
        std::optional<size_t> select;
        std::optional<std::string> answer;  // nullopt: the dialog is cancelled
        std::string written;                // the file expected to change, "" for none
    } cases[] = {
        {"selected item 2", 1, "C:\\out\\second", "C:\\out\\second"},
        {"name typed with its extension", 0, "C:\\out\\first.bmp", "C:\\out\\first.bmp"},
        {"replacing the earlier file", 2, "C:\\out\\earlier.bmp", "C:\\out\\earlier.bmp"},
        {"cancelled", 1, std::nullopt, ""},
        {"no name", 1, "", ""},
        {"nothing selected", std::nullopt, "C:\\out\\none.bmp", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fixture f;
        f.desktop.Files()["C:\\out\\earlier.bmp"] = kOld;
        f.Open(kExe);
        f.form.ListView1.Select(c.select);
        f.desktop.QueueSaveFileName(c.answer);
        f.form.Command2.Click();
        EXPECT_EQ(f.desktop.Log().Strings({"GetSaveFileName"}),
                  (std::vector<std::string>{"GetSaveFileName(\"ビットマップ(*.bmp)|*.bmp\")"}));
        std::map<std::string, std::string> expected = {{"C:\\out\\earlier.bmp", kOld}};
        if (!c.written.empty())
            expected[c.written] = EncodeBmp24(f.form.ImageList1.At(int(*c.select) + 1));
        EXPECT_EQ(f.desktop.Files(), expected);
        EXPECT_TRUE(f.desktop.MessageBoxes().empty());
    }
}

TEST(IconGetter, ASaveThatWritesNothingSaysWhyAndLeavesTheOldFile) {
    struct Case {
        std::string name;
        bool writeFails;
        std::string reason;  // "" when the save goes through
    } cases[] = {
        {"C:\\out\\icon.bmp", true, "Access is denied."},
        {"C:\\out\\COM1.bmp", false, "この名前は装置の名前なので、ファイル名には使えません。"},
        {"C:\\out\\nul", false, "この名前は装置の名前なので、ファイル名には使えません。"},
        {"C:\\out\\Lpt9 .txt.bmp", false, "この名前は装置の名前なので、ファイル名には使えません。"},
        {"\\\\.\\PhysicalDrive0", false, "この名前は装置の名前なので、ファイル名には使えません。"},
        {"C:\\out\\COM10.bmp", false, ""},
        {"C:\\console\\auxiliary.bmp", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.desktop.Files()[c.name] = "old bytes";
        f.Open(kExe);
        f.form.ListView1.Select(0);
        f.desktop.QueueSaveFileName(c.name);
        if (c.writeFails) f.desktop.Fail("WriteFileReplacing");
        f.form.Command2.Click();
        EXPECT_EQ(f.desktop.Files().at(c.name) == "old bytes", !c.reason.empty());
        if (c.reason.empty()) {
            EXPECT_TRUE(f.desktop.MessageBoxes().empty());
            continue;
        }
        EXPECT_EQ(f.desktop.Log().Count("WriteFileReplacing"), c.writeFails ? 1u : 0u);
        ASSERT_EQ(f.desktop.MessageBoxes().size(), 1u);
        const auto& box = f.desktop.MessageBoxes()[0];
        EXPECT_EQ(box.text, "ファイルを保存できませんでした。\r\n" + c.name + "\r\n" + c.reason);
        EXPECT_EQ(box.title, "プロセスアイコン取得ツール");
        EXPECT_EQ(box.style, 0x30u);
    }
}

}  // namespace
}  // namespace kelvorin
