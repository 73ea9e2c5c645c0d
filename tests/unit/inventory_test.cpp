// The two windows' controls and the program's own pictures, pinned as a whole: names, ids,
// captions (the program's own texts), places, fonts, columns, the tab order and every pixel.
// A deliberate change updates the digest; the failure prints what it covers.
#include "app/art.h"
#include "world.h"

namespace kelvorin {
namespace {

struct Digest {
    std::string text;
    void Add(const std::vector<ControlModel*>& controls) {
        for (const ControlModel* c : controls) {
            const TwipsRect& r = c->Rect();
            for (int v : {c->Id(), int(c->Kind()), r.left, r.top, r.width, r.height})
                text += std::to_string(v) + ",";
            auto* captioned = dynamic_cast<const CaptionedControl*>(c);
            text += c->Name() + " " + (captioned ? captioned->Caption() : "") + " " +
                    std::to_string(captioned ? captioned->FontPoints() : 0) + "\n";
        }
    }
    void Add(const IconArt& art) {
        Add(art.colour);
        for (bool clear : art.transparent) text += clear ? '0' : '1';
        text += std::to_string(art.hotSpot.x) + "," + std::to_string(art.hotSpot.y) + "\n";
    }
    void Add(const Image& image) {
        for (Colour c : image.pixels) text += std::to_string(c) + ",";
        text += std::to_string(image.width) + "x" + std::to_string(image.height);
    }
    uint64_t Value() const {  // FNV-1a
        uint64_t h = 14695981039346656037u;
        for (unsigned char c : text) h = (h ^ c) * 1099511628211u;
        return h;
    }
};

TEST(Inventory, TheControlsAndPicturesAreAsDesigned) {
    unit::World w;
    IconGetter extractor(w.platform, w.view);
    w.form.Form_Load();
    Digest controls, art;
    controls.Add(w.form.Controls());
    controls.Add(extractor.Controls());
    controls.Add(w.form.TabOrder());
    for (const ListColumn& c : w.form.ListView1.Columns())
        controls.text += c.text + std::to_string(c.widthTwips) + " ";
    for (const std::string& item : w.form.ButtonCmb.Items()) controls.text += item + " ";
    controls.text += w.form.ButtonCmb.Text() + std::to_string(w.form.IMEUnShowChk.Value());
    EXPECT_EQ(controls.Value(), 16242721682649001963u) << controls.text;
    for (int size : {16, 32, 48}) art.Add(MainWindowIcon(size)), art.Add(IconExtractorIcon(size));
    art.Add(CrossHairIcon()), art.Add(PlaceholderIcon()), art.Add(BannerImage());
    EXPECT_EQ(art.Value(), 14525470564856994904u);
}

}  // namespace
}  // namespace kelvorin
