#include <functional>

#include "icons/bmp_writer.h"
#include "icons/icon_data.h"
#include "world.h"

namespace kelvorin::unit {

// Click runs inside a write that changes a box; Change only for a user's move; every change
// is told to the view, or it never reaches the screen.
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
    ListEvents heard(list);
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
        {[&] { box.SetValue(2); }, "redraw click2 "},  {[&] { box.SetValue(2); }, ""},
        {[&] { box.UserToggle(); }, "redraw click1 "},
        {[&] { box.UserToggle(); }, "redraw click0 "}, {[&] { text.SetText("new"); }, "redraw "},
        {[&] { text.SetForeSysColour(18); }, "redraw "},
        {[&] { button.SetCaption("new"); }, "redraw "}, {[&] { button.SetCaption("new"); }, ""},
        {[&] { button.SetEnabled(false); }, "redraw "},
        {[&] { combo.SetText("b"); }, "redraw "},      {[&] { slider.SetValue(300); }, "slider10 "},
        {[&] { slider.SetMin(20); }, "slider20 "},     {[&] { slider.UserMoved(-5); }, ""},
        {[&] { slider.SetMax(255), slider.UserMoved(300); }, "slider20 change255 "},
        {[&] { slider.SetMax(100); }, "slider100 "},
        {[&] { images.Add(1, Image(1, 1, 0)); }, "redraw "},
        {[&] { images.SetSize(32, 32); }, ""},  // refused while it holds a picture
        {[&] { images.Clear(); }, "redraw "},          {[&] { list.SetCell(1, 1, "z"); }, "11+ "},
        {[&] { list.SetRowImage(0, 1); }, "0+ "},
        {[&] { list.SetVisible(false); }, "visibility "},
        {[&] { list.SetVisible(false); }, ""},         {[&] { list.Select(1); }, "selection "},
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

// Every field of the two windows' controls, their Tab order and the list's columns, digested.
TEST(Inventory, TheControlsAreAsDesigned) {
    World w;
    IconGetter extractor(w.platform, w.view);
    w.form.Form_Load();
    std::string text;
    for (const auto* list : {&w.form.Controls(), &extractor.Controls(), &w.form.TabOrder()})
        for (const ControlModel* c : *list) {
            const TwipsRect& r = c->Rect();
            auto* captioned = dynamic_cast<const CaptionedControl*>(c);
            for (int v : {c->Id(), int(c->Kind()), r.left, r.top, r.width, r.height,
                          captioned ? captioned->FontPoints() : 0})
                text += std::to_string(v) + ",";
            text += c->Name() + " " + (captioned ? captioned->Caption() : "") + "\n";
        }
    for (const ListColumn& c : w.form.ListView1.Columns())
        text += c.text + std::to_string(c.widthTwips) + " ";
    for (const std::string& item : w.form.ButtonCmb.Items()) text += item + " ";
    text += w.form.ButtonCmb.Text() + std::to_string(w.form.IMEUnShowChk.Value()) + "\n";
    uint64_t digest = 14695981039346656037u;  // FNV-1a
    for (unsigned char c : text) digest = (digest ^ c) * 1099511628211u;
    EXPECT_EQ(digest, 9866550015712835043u) << text;
}

constexpr Colour kWhite = Rgb(255, 255, 255);

// Its left columns outside the mask, so a surface left dirty before would show there.
Image Masked(Colour colour, int clearColumns, Colour clear = fake::kClear) {
    Image large(32, 32, colour);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < clearColumns; ++x) large.Set(x, y, clear);
    return large;
}

struct Extractor {
    fake::Desktop desktop;
    Platform platform = desktop.platform();
    fake::View view{desktop};
    IconGetter form{platform, view};
    const Image red = Masked(Rgb(200, 0, 0), 4), green = Masked(Rgb(0, 150, 0), 9);
    const Image blue = Masked(Rgb(0, 0, 250), 0);

    explicit Extractor(const std::string& path = "three.exe") {
        desktop.iconFiles["three.exe"] = {{red, {}}, {green, {}}, {blue, {}}};
        form.Text1.SetText(path);
    }
    std::string Rows() const {
        std::string rows;
        for (size_t i = 0; i < form.ListView1.RowCount(); ++i) {
            const ListRow& row = form.ListView1.Row(i);
            rows += row.cells[0] + row.key + form.ImageList1.KeyAt(row.image) + " ";
        }
        return rows;
    }
};

// A broken icon is a blank entry; a file without sound icons leaves the list as it was.
TEST(IconGetter, ListsEveryIconOnWhiteWithItsNumberAndKeyRedrawingTheListOnce) {
    Extractor x;
    ListEvents heard(x.form.ListView1);
    x.desktop.Fail("ExtractIconA", 4);  // the third
    x.form.Form_Activate();
    EXPECT_EQ(heard.events.find('+'), heard.events.rfind('+'))
        << "redrawn per icon: " << heard.events;
    EXPECT_EQ(x.form.Label3.Caption() + x.Rows(), "31K2K2 2K3K3 3K4K4 ");
    EXPECT_EQ(x.form.ImageList1.At(1), Masked(Rgb(200, 0, 0), 4, kWhite));
    EXPECT_EQ(x.form.ImageList1.At(2), Masked(Rgb(0, 150, 0), 9, kWhite))
        << "white where its mask is clear";
    EXPECT_EQ(x.form.ImageList1.At(3), Image(32, 32, kWhite));
    EXPECT_FALSE(x.form.ListView1.Selected()) << "saving needs a deliberate choice";
    EXPECT_EQ(x.desktop.LiveIcons(), 0u);
    for (auto [cx, cy, fails, size] :  // the system's icon size, or the usual one when unknown
         {std::tuple{48, 48, 0, 4848}, {32, 24, 0, 3224}, {48, 48, -1, 3232}}) {
        Extractor y;
        y.desktop.iconSize = {cx, cy};
        y.desktop.Fail("GetSystemMetrics", fails);
        y.form.Form_Activate();
        const Image& picture = y.form.ImageList1.At(3);
        EXPECT_EQ(y.form.ImageList1.Width() * 100 + y.form.ImageList1.Height(), size);
        EXPECT_EQ(picture.width * 100 + picture.height, size);
    }
    x.form.ListView1.Select(1);
    x.desktop.iconFiles = {{"empty.txt", {}}, {"damaged.exe", {{x.red, x.red}}}};
    x.desktop.files["damaged.exe"] = fake::IcoFileBytes().substr(0, 40);
    x.desktop.logging = true;
    for (const char* path : {"nowhere.exe", "empty.txt", "", "damaged.exe"}) {
        x.form.Text1.UserEdited(path);
        x.form.Command1.Click();
        EXPECT_EQ(x.form.Label3.Caption() + x.Rows(), "01K2K2 2K3K3 3K4K4 ") << path;
        EXPECT_EQ(x.form.ListView1.Selected(), 1u) << path;
    }
    EXPECT_EQ(x.desktop.Count("ExtractIconCount"), 1u) << "a damaged file never goes to the system";
    // A sound file's icons replace the list, up to the last entry number, drawn when asked for.
    x.desktop.iconSize = {1, 1};
    x.desktop.iconFiles["many.exe"].assign(40000, {Image(1, 1, 5), Image(1, 1, 5)});
    x.form.Text1.UserEdited("many.exe");
    x.form.Command1.Click();
    EXPECT_EQ(x.form.Label3.Caption(), "40000");
    ASSERT_EQ(x.form.ListView1.RowCount() + x.form.ImageList1.Count(), 2 * 32767u);
    EXPECT_EQ(x.form.ListView1.Cell(32766, 0) + x.form.ImageList1.KeyAt(32767), "32767K32768");
    EXPECT_EQ(x.desktop.Count("ExtractIconA"), 0u) << "only the pictures asked for are drawn";
    x.form.Command3.Click();
    EXPECT_EQ(x.view.unloads, 1);
}

void Put(std::string& bytes, size_t at, uint32_t value, int size = 4) {
    for (int i = 0; i < size; ++i) bytes[at + size_t(i)] = char(value >> (8 * i));
}

TEST(IconGetter, SaveWritesTheSelectedPictureOrSaysWhyNot) {
    const std::string device = "この名前は装置の名前なので、ファイル名には使えません。";
    // clang-format off
    const struct { std::optional<std::string> name; std::optional<size_t> row; std::string why; }
        cases[] = {
        {"C:\\out\\second", 1, ""},         {"C:\\out\\old.bmp", 2, ""},
        {"C:\\out\\COM10.bmp", 0, ""},      {"C:\\out\\COM0.bmp", 0, ""},
        {"C:\\con\\auxiliary.bmp", 0, ""},  {std::nullopt, 1, "-"},
        {"", 1, "-"},                       {"C:\\out\\none.bmp", std::nullopt, "-"},
        {"C:\\out\\x.bmp", 0, "Access is denied."},
        {"C:\\out\\COM1.bmp", 0, device},   {"C:\\out\\nul", 0, device},
        {"C:\\out\\Lpt9 .txt.bmp", 0, device}, {"\\\\.\\PhysicalDrive0", 0, device}};
    // clang-format on
    for (const auto& c : cases) {
        Extractor x;
        x.form.Form_Activate();
        x.form.ListView1.Select(c.row);
        x.desktop.saveNames = {c.name};
        if (c.why.size() > 1 && c.why != device) x.desktop.Fail("WriteFileReplacing");
        std::string& file = x.desktop.files[c.name.value_or("")] = "old";
        x.form.Command2.Click();
        EXPECT_EQ(x.desktop.saveFilter, "ビットマップ(*.bmp)|*.bmp");
        EXPECT_EQ(file, c.why.empty() ? EncodeBmp24(x.form.ImageList1.At(int(*c.row) + 1)) : "old")
            << c.name.value_or("cancelled");
        const std::string box = "プロセスアイコン取得ツール|ファイルを保存できませんでした。\r\n" +
                                c.name.value_or("") + "\r\n" + c.why + "|48";
        EXPECT_EQ(x.desktop.boxes,
                  c.why.size() > 1 ? std::vector<std::string>{box} : std::vector<std::string>{});
    }
    // The writer: 24-bit, bottom-up, each row padded to whole words.
    Image image(3, 2, Rgb(1, 2, 3));
    image.Set(0, 1, Rgb(4, 5, 6));  // the bottom row comes first, each pixel blue, green, red
    std::string bmp = "BM" + std::string(52, '\0') + "\6\5\4\3\2\1\3\2\1" + std::string(3, '\0');
    bmp += std::string("\3\2\1\3\2\1\3\2\1\0\0\0", 12);
    const uint32_t words[] = {78, 0, 54, 40, 3, 2, 0x180001, 0, 24, 2835, 2835, 0, 0};
    for (size_t i = 0; i < std::size(words); ++i) Put(bmp, 2 + 4 * i, words[i]);
    EXPECT_EQ(EncodeBmp24(image), bmp);
}

// A PE32+ file of one section: RT_ICON 1 (a 1 x 1 32-bit picture), RT_GROUP_ICON 1 naming it.
constexpr size_t kRsrc = 0x200;  // the section's bytes; its address is 0x1000
std::string PeFile() {
    std::string pe(kRsrc + 228, '\0');
    // clang-format off
    const uint32_t fields[][3] = {  // offset, value, size
        {0, 0x5A4D, 2}, {0x3C, 0x40, 4}, {0x40, 0x4550, 4}, {0x46, 1, 2}, {0x54, 0xF0, 2},
        {0x58, 0x20B, 2}, {0x58 + 108, 16, 4}, {0x58 + 128, 0x1000, 4}, {0x148 + 12, 0x1000, 4},
        {0x158, 228, 4}, {0x148 + 20, kRsrc, 4},
        // Directories: root {3, 14}, then per type one name, per name one language.
        {kRsrc + 14, 2, 2}, {kRsrc + 32 + 14, 1, 2}, {kRsrc + 56 + 14, 1, 2},
        {kRsrc + 80 + 14, 1, 2}, {kRsrc + 104 + 14, 1, 2}, {kRsrc + 16, 3, 4},
        {kRsrc + 20, 0x80000020, 4},
        {kRsrc + 24, 14, 4}, {kRsrc + 28, 0x80000050, 4}, {kRsrc + 48, 1, 4},
        {kRsrc + 52, 0x80000038, 4}, {kRsrc + 72, 0x409, 4}, {kRsrc + 76, 128, 4},
        {kRsrc + 96, 1, 4}, {kRsrc + 100, 0x80000068, 4}, {kRsrc + 120, 0, 4},
        {kRsrc + 124, 144, 4},
        {kRsrc + 128, 0x1000 + 160, 4}, {kRsrc + 132, 48, 4},  // the image's data entry
        {kRsrc + 144, 0x1000 + 208, 4}, {kRsrc + 148, 20, 4}};  // the group's
    // clang-format on
    for (const auto& f : fields) Put(pe, f[0], f[1], int(f[2]));
    pe.replace(kRsrc + 160, 48, fake::IcoFileBytes().substr(22));
    Put(pe, kRsrc + 210, 1, 2);  // group: type 1
    Put(pe, kRsrc + 212, 1, 2);  // one image
    Put(pe, kRsrc + 226, 1, 2);  // named RT_ICON 1
    return pe;
}

TEST(IconData, OnlyWholeExecutablesAndIconFilesWithSaneImagesPass) {
    // clang-format off
    enum Base { kPe, kIco, kPngIco };  // the last: an .ico of a 256-pixel PNG
    struct Patch { size_t at; uint32_t value; int size = 4; };
    const struct { const char* what; Base base; int grow; std::vector<Patch> patches; bool sound; }
        cases[] = {
        {"executable", kPe, 0, {}, true}, {"icon file", kIco, 0, {}, true},
        {"PNG image", kPngIco, 0, {}, true}, {"half an executable", kPe, -370, {}, false},
        {"truncated icon file", kIco, -1, {}, false},
        {"data running past the end", kPe, 0, {{0x158, 0x100000}, {kRsrc + 132, 0x10000}}, false},
        {"group naming a missing RT_ICON", kPe, 0, {{kRsrc + 226, 2, 2}}, false},
        {"directory claiming 65535 entries", kPe, 0x80000, {{kRsrc + 14, 0xFFFF, 2}}, false},
        {"language directory left empty", kPe, 0, {{kRsrc + 104 + 14, 0, 2}}, false},
        {"executable image of 2^31 pixels", kPe, 0, {{kRsrc + 160 + 8, 0x80000000u}}, false},
        {"icon file claiming 65535 images", kIco, 0, {{4, 0xFFFF, 2}}, false},
        {"image at a 2 GiB offset", kIco, 0, {{18, 0x80000000u}}, false},
        {"image of 2^31 pixels", kIco, 0, {{26, 0x7FFFFFFF}}, false},
        {"image 1025 pixels wide", kIco, 8400, {{14, 48 + 8400}, {26, 1025}}, false},
        {"image larger than its data", kIco, 0, {{26, 32}, {30, 64}}, false},
        {"PNG of 100000 pixels", kPngIco, 0, {{22 + 16, 0xA0860100}}, false},
        {"cursor file", kIco, 0, {{2, 2, 2}}, false},
        // Every kind of image the system draws passes, and only whole ones.
        {"16-bit grey and alpha PNG", kPngIco, 0, {{22 + 24, 0x0410, 2}}, true},
        {"24-bit image", kIco, 0, {{22 + 14, 24, 2}}, true},
        {"bit-field image", kIco, 12, {{14, 60}, {22 + 16, 3}}, true},
        {"image 1024 pixels tall", kIco, 8400, {{14, 48 + 8400}, {30, 2048}}, true},
        {"image without its mask", kIco, 0, {{14, 44}}, false},
        // Each field the system relies on, damaged.
        {"reserved word set", kIco, 0, {{0, 1, 2}}, false},
        {"PNG header of another length", kPngIco, 0, {{22 + 11, 14, 1}}, false},
        {"no PE signature", kPe, 0, {{0x40, 0}}, false},
        {"two data directories", kPe, 0, {{0x58 + 108, 2}}, false},
        {"no group type", kPe, 0, {{kRsrc + 24, 15}}, false},
        {"the icons' type only by name", kPe, 0, {{kRsrc + 12, 1, 2}, {kRsrc + 14, 1, 2}}, false},
        {"a group of cursors", kPe, 0, {{kRsrc + 210, 2, 2}}, false}};
    // clang-format on
    for (const auto& c : cases) {
        fake::Desktop desktop;
        std::string& file = desktop.files["f"] = c.base == kPe ? PeFile() : fake::IcoFileBytes();
        if (c.base == kPngIco)
            file.replace(22, 26, "\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\1\0\0\0\1\0\x08\x06", 26);
        file.resize(size_t(int(file.size()) + c.grow));
        for (const Patch& p : c.patches) Put(file, p.at, p.value, p.size);
        EXPECT_EQ(IconDataIsSound(desktop, "f"), c.sound) << c.what;
        EXPECT_EQ(desktop.Unpaired(), 0u) << c.what;
    }
}

}  // namespace kelvorin::unit
