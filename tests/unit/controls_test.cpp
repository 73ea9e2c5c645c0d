// The control models' rules and notices, and the windows' controls and pictures as designed.
#include <functional>

#include "app/art.h"
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
        {[&] { slider.SetMax(100); }, "slider100 "},
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

// Every field of the two windows' controls and of the program's pictures, digested.
TEST(Inventory, TheControlsAndPicturesAreAsDesigned) {
    unit::World w;
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
    auto add = [&](const Image& image) {
        for (Colour c : image.pixels) text += std::to_string(c) + ",";
        text += std::to_string(image.width) + "x" + std::to_string(image.height) + "\n";
    };
    for (const IconArt& art :
         {MainWindowIcon(16), MainWindowIcon(32), MainWindowIcon(48), IconExtractorIcon(16),
          IconExtractorIcon(32), IconExtractorIcon(48), CrossHairIcon(), PlaceholderIcon()}) {
        add(art.colour);
        for (bool clear : art.transparent) text += clear ? '0' : '1';
        text += std::to_string(art.hotSpot.x) + "," + std::to_string(art.hotSpot.y) + "\n";
    }
    add(BannerImage());
    uint64_t digest = 14695981039346656037u;  // FNV-1a
    for (unsigned char c : text) digest = (digest ^ c) * 1099511628211u;
    EXPECT_EQ(digest, 1740843595440454288u) << text;
}

}  // namespace
}  // namespace kelvorin
