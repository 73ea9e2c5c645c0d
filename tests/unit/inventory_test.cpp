// The two windows' controls and the program's own pictures, pinned as a
// whole: names, ids, captions (the program's own texts), places, fonts and
// every pixel. A deliberate change updates the digest printed on failure.
#include "app/art.h"
#include "world.h"

namespace kelvorin {
namespace {

uint64_t Digest(const std::string& text) {  // FNV-1a
    uint64_t h = 14695981039346656037u;
    for (unsigned char c : text) h = (h ^ c) * 1099511628211u;
    return h;
}

std::string Describe(const std::vector<ControlModel*>& controls) {
    std::string text;
    for (const ControlModel* c : controls) {
        const TwipsRect& r = c->Rect();
        text += c->Name() + " " + std::to_string(c->Id()) + " " + std::to_string(int(c->Kind())) +
                " " + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
                std::to_string(r.width) + "," + std::to_string(r.height);
        if (auto* captioned = dynamic_cast<const CaptionedControl*>(c))
            text += " " + captioned->Caption() + " " + std::to_string(captioned->FontPoints());
        text += "\n";
    }
    return text;
}

std::string Describe(const Image& image) {
    std::string text = std::to_string(image.width) + "x" + std::to_string(image.height);
    for (Colour c : image.pixels) text += std::to_string(c) + ",";
    return text;
}

std::string Describe(const IconArt& art) {
    std::string mask;
    for (bool clear : art.transparent) mask += clear ? '0' : '1';
    return Describe(art.colour) + mask + std::to_string(art.hotSpot.x) + "," +
           std::to_string(art.hotSpot.y);
}

TEST(Inventory, TheControlsAndPicturesAreAsDesigned) {
    unit::World w;
    IconGetter extractor(w.platform, w.view);
    w.form.Form_Load();
    std::string controls = Describe(w.form.Controls()) + Describe(extractor.Controls());
    for (const ControlModel* c : w.form.TabOrder()) controls += c->Name() + " ";
    for (const ListColumn& c : w.form.ListView1.Columns())
        controls += c.text + std::to_string(c.widthTwips);
    for (const std::string& item : w.form.ButtonCmb.Items()) controls += item + " ";
    controls += w.form.ButtonCmb.Text() + std::to_string(w.form.IMEUnShowChk.Value());
    EXPECT_EQ(Digest(controls), 18112336479999657447u) << controls;
    std::string art;
    for (int size : {16, 32, 48})
        art += Describe(MainWindowIcon(size)) + Describe(IconExtractorIcon(size));
    art += Describe(CrossHairIcon()) + Describe(PlaceholderIcon()) + Describe(BannerImage());
    EXPECT_EQ(Digest(art), 15237666429987303106u);
}

}  // namespace
}  // namespace kelvorin
