// The icon extractor's list and save, and the bitmap writer.
#include <gtest/gtest.h>

#include "fake/fake.h"
#include "icons/bmp_writer.h"
#include "icons/icon_getter.h"

namespace kelvorin {
namespace {

constexpr Colour kWhite = Rgb(255, 255, 255);
const std::string kExe = "C:\\Apps\\three.exe";

// Its left columns outside the mask, so a surface left dirty by the icon
// before would show there.
fake::Icon Masked(Colour colour, int clearColumns) {
    Image large(32, 32, colour);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < clearColumns; ++x) large.Set(x, y, fake::kClear);
    return {large, Image(16, 16, colour)};
}

Image OnWhite(Image image) {
    for (auto& pixel : image.pixels)
        if (pixel == fake::kClear) pixel = kWhite;
    return image;
}

struct Extractor {
    fake::Desktop desktop;
    Platform platform = desktop.platform();
    fake::View view{desktop};
    IconGetter form{platform, view};
    std::vector<fake::Icon> three = {Masked(Rgb(200, 0, 0), 4), Masked(Rgb(0, 150, 0), 9), Masked(Rgb(0, 0, 250), 0)};

    explicit Extractor(const std::string& path = kExe) {
        desktop.iconFiles[kExe] = three;
        form.Text1.SetText(path);
    }
    std::string Numbers() const {
        std::string numbers;
        for (size_t row = 0; row < form.ListView1.RowCount(); ++row) numbers += form.ListView1.Cell(row, 0) + " ";
        return numbers;
    }
};

TEST(IconGetter, ListsEveryIconOnWhiteWithItsNumberAndKeyRedrawingTheListOnce) {
    Extractor x;
    x.desktop.onCall = [&](const std::string& call) {
        EXPECT_TRUE(!call.starts_with("ExtractIconA") || !x.form.ListView1.Visible()) << "redrawn per icon";
    };
    x.form.Form_Activate();
    EXPECT_EQ(x.form.Label3.Caption(), "3");
    EXPECT_EQ(x.Numbers(), "1 2 3 ");
    ASSERT_EQ(x.form.ImageList1.Count(), 3);
    for (int i = 1; i <= 3; ++i) {
        const ListRow& row = x.form.ListView1.Row(size_t(i - 1));
        EXPECT_EQ(x.form.ImageList1.KeyAt(i) + row.key, "K" + std::to_string(i + 1) + "K" + std::to_string(i + 1));
        EXPECT_EQ(row.image, i);
        EXPECT_EQ(x.form.ImageList1.At(i), OnWhite(x.three[size_t(i - 1)].large)) << i;
    }
    EXPECT_FALSE(x.form.ListView1.Selected()) << "saving needs a deliberate choice";
    EXPECT_TRUE(x.form.ListView1.Visible());
    EXPECT_EQ(x.desktop.LiveIcons(), 0u);
    x.form.Command3.Click();
    EXPECT_EQ(x.view.unloads, 1);
}

TEST(IconGetter, PicturesTakeTheSystemIconSize) {
    const struct { int cx, cy; bool unreadable; int width, height; } cases[] = {
        {48, 48, false, 48, 48}, {32, 24, false, 32, 24}, {48, 48, true, 32, 32}};
    for (auto c : cases) {
        Extractor x;
        x.desktop.metrics = {{11, c.cx}, {12, c.cy}};
        if (c.unreadable) x.desktop.Fail("GetSystemMetrics");
        x.form.Form_Activate();
        EXPECT_EQ(x.form.ImageList1.Width() * 100 + x.form.ImageList1.Height(), c.width * 100 + c.height);
        EXPECT_EQ(x.form.ImageList1.At(3), Image(c.width, c.height, Rgb(0, 0, 250))) << c.cx << "x" << c.cy;
    }
}

TEST(IconGetter, ABrokenIconIsABlankEntryAndAFileWithoutIconsLeavesTheListAsItWas) {
    Extractor x;
    x.desktop.Fail("ExtractIconA", 1, 1);
    x.form.Form_Activate();
    EXPECT_EQ(x.form.ImageList1.At(2), Image(32, 32, kWhite));
    EXPECT_EQ(x.form.ImageList1.KeyAt(2), "K3");
    EXPECT_EQ(x.form.ImageList1.At(3), OnWhite(x.three[2].large));
    x.form.ListView1.Select(1);
    x.desktop.iconFiles["C:\\empty.txt"] = {};
    for (const char* path : {"C:\\nowhere.exe", "C:\\empty.txt", ""}) {
        x.form.Text1.UserEdited(path);
        x.form.Command1.Click();
        EXPECT_EQ(x.form.Label3.Caption(), "0") << path;
        EXPECT_EQ(x.Numbers(), "1 2 3 ") << path;
        EXPECT_EQ(x.form.ListView1.Selected(), 1u) << path;
    }
}

TEST(IconGetter, AFileClaimingMoreIconsThanEntryNumbersListsUpToTheLast) {
    Extractor x("damaged.exe");
    x.desktop.metrics = {{11, 1}, {12, 1}};
    x.desktop.iconFiles["damaged.exe"].assign(40000, {Image(1, 1, 5), Image(1, 1, 5)});
    x.form.Form_Activate();
    EXPECT_EQ(x.form.Label3.Caption(), "40000");
    ASSERT_EQ(x.form.ListView1.RowCount(), 32767u);
    EXPECT_EQ(x.form.ListView1.Cell(32766, 0), "32767");
    EXPECT_EQ(x.form.ImageList1.KeyAt(32767), "K32768");
}

TEST(IconGetter, SaveWritesTheSelectedPictureOrSaysWhyNot) {
    const std::string device = "この名前は装置の名前なので、ファイル名には使えません。";
    const struct { std::optional<std::string> name; std::optional<size_t> row; bool fails; std::string reason; } cases[] = {
        {"C:\\out\\second", 1, false, ""}, {"C:\\out\\old.bmp", 2, false, ""}, {"C:\\out\\COM10.bmp", 0, false, ""},
        {"C:\\out\\COM0.bmp", 0, false, ""}, {"C:\\con\\auxiliary.bmp", 0, false, ""},
        {std::nullopt, 1, false, "-"}, {"", 1, false, "-"}, {"C:\\out\\none.bmp", std::nullopt, false, "-"},
        {"C:\\out\\icon.bmp", 0, true, "Access is denied."}, {"C:\\out\\COM1.bmp", 0, false, device},
        {"C:\\out\\nul", 0, false, device}, {"C:\\out\\Lpt9 .txt.bmp", 0, false, device},
        {"\\\\.\\PhysicalDrive0", 0, false, device}};
    for (const auto& c : cases) {
        Extractor x;
        x.form.Form_Activate();
        x.form.ListView1.Select(c.row);
        x.desktop.saveNames = {c.name};
        if (c.fails) x.desktop.Fail("WriteFileReplacing");
        x.desktop.files[c.name.value_or("")] = "old";
        x.desktop.logging = true;
        x.form.Command2.Click();
        const std::string what = c.name.value_or("cancelled");
        EXPECT_EQ(x.desktop.Calls({"GetSaveFileName"}), std::vector<std::string>{"GetSaveFileName(\"ビットマップ(*.bmp)|*.bmp\")"});
        EXPECT_EQ(x.desktop.files[c.name.value_or("")],
                  c.reason.empty() ? EncodeBmp24(x.form.ImageList1.At(int(*c.row) + 1)) : "old") << what;
        ASSERT_EQ(x.desktop.boxes.size(), c.reason.size() > 1 ? 1u : 0u) << what;
        if (c.reason.size() <= 1) continue;
        EXPECT_EQ(x.desktop.boxes[0].text, "ファイルを保存できませんでした。\r\n" + *c.name + "\r\n" + c.reason);
        EXPECT_EQ(x.desktop.boxes[0].title + std::to_string(x.desktop.boxes[0].style), "プロセスアイコン取得ツール48");
    }
}

uint32_t Le(const std::string& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | uint8_t(b[at + size_t(i)]);
    return v;
}

TEST(BmpWriter, WritesA24BitBottomUpFileWithRowsPaddedToWholeWords) {
    for (auto [w, h] : {std::pair{3, 5}, std::pair{4, 1}, std::pair{21, 21}}) {
        Image image(w, h, 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) image.Set(x, y, Rgb(uint8_t(x * 7 + 1), uint8_t(y * 5 + 2), uint8_t(x ^ y)));
        const std::string b = EncodeBmp24(image);
        const size_t stride = (size_t(w) * 3 + 3) / 4 * 4;
        ASSERT_EQ(b.size(), 54 + stride * size_t(h));
        EXPECT_EQ(b.substr(0, 2), "BM");
        const uint32_t header[] = {uint32_t(b.size()), 0, 54, 40, uint32_t(w), uint32_t(h)};
        for (size_t i = 0; i < 6; ++i) EXPECT_EQ(Le(b, 2 + 4 * i, 4), header[i]) << "header word " << i;
        EXPECT_EQ(Le(b, 26, 2) * 100 + Le(b, 28, 2), 124u) << "1 plane, 24 bits";
        const uint32_t info[] = {0, uint32_t(stride * size_t(h)), 2835, 2835, 0, 0};
        for (size_t i = 0; i < 6; ++i) EXPECT_EQ(Le(b, 30 + 4 * i, 4), info[i]) << "info word " << i;
        for (int y = 0; y < h; ++y) {
            const size_t row = 54 + size_t(h - 1 - y) * stride;  // the bottom row comes first
            for (int x = 0; x < w; ++x)
                EXPECT_EQ(Le(b, row + 3 * size_t(x), 3), image.At(x, y) >> 16 | (image.At(x, y) & 0xFF00) | (image.At(x, y) & 0xFF) << 16);
            EXPECT_EQ(b.substr(row + 3 * size_t(w), stride - 3 * size_t(w)), std::string(stride - 3 * size_t(w), '\0'));
        }
    }
    EXPECT_EQ(EncodeBmp24(Image()) + EncodeBmp24(Image(0, 4, 0)) + EncodeBmp24(Image(4, 0, 0)), "");
}

}  // namespace
}  // namespace kelvorin
