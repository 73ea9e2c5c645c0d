#include "app/art.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace kelvorin {
namespace {

struct NamedIcon {
    std::string name;
    IconArt art;
    int size;
};

std::vector<NamedIcon> AllIcons() {
    return {{"main 16", MainWindowIcon(16), 16},
            {"main 32", MainWindowIcon(32), 32},
            {"main 48", MainWindowIcon(48), 48},
            {"extractor 16", IconExtractorIcon(16), 16},
            {"extractor 32", IconExtractorIcon(32), 32},
            {"cross-hair", CrossHairIcon(), 32},
            {"placeholder", PlaceholderIcon(), 16}};
}

std::set<Colour> OpaqueColours(const IconArt& a) {
    std::set<Colour> colours;
    for (int y = 0; y < a.colour.height; ++y)
        for (int x = 0; x < a.colour.width; ++x)
            if (!a.IsTransparent(x, y)) colours.insert(a.colour.At(x, y));
    return colours;
}

TEST(Art, IconsHaveTheirSizeAMatchingMaskAndBlackUnderTheMask) {
    for (const auto& [name, art, size] : AllIcons()) {
        SCOPED_TRACE(name);
        ASSERT_EQ(art.colour.width, size);
        ASSERT_EQ(art.colour.height, size);
        ASSERT_EQ(art.colour.pixels.size(), size_t(size * size));
        ASSERT_EQ(art.transparent.size(), size_t(size * size));
        // Anything but black under a set AND bit would XOR the screen instead of showing it.
        for (size_t i = 0; i < art.transparent.size(); ++i)
            ASSERT_TRUE(!art.transparent[i] || art.colour.pixels[i] == 0) << "pixel " << i;
    }
}

TEST(Art, IconsAreDrawnPictures) {
    for (const auto& [name, art, size] : AllIcons()) {
        SCOPED_TRACE(name);
        const auto opaque = std::count(art.transparent.begin(), art.transparent.end(), false);
        EXPECT_GT(opaque, size * size / 8);
        EXPECT_LT(opaque, size * size);  // some background shows through
        EXPECT_GE(OpaqueColours(art).size(), 2u);
    }
    EXPECT_GE(OpaqueColours(MainWindowIcon(16)).size(), 4u);
    EXPECT_GE(OpaqueColours(IconExtractorIcon(16)).size(), 4u);
    EXPECT_FALSE(MainWindowIcon(32).colour == IconExtractorIcon(32).colour);
    EXPECT_FALSE(MainWindowIcon(16).colour == IconExtractorIcon(16).colour);
}

TEST(Art, CrossHairIsSymmetricAboutItsHotSpotWithAClearCentre) {
    const IconArt c = CrossHairIcon();
    EXPECT_EQ(c.hotSpot, (Point{16, 16}));
    // Row and column 0 have no mirror partner, so they must stay empty.
    for (int i = 0; i < 32; ++i) {
        EXPECT_TRUE(c.IsTransparent(i, 0)) << i;
        EXPECT_TRUE(c.IsTransparent(0, i)) << i;
    }
    for (int dy = -15; dy <= 15; ++dy)
        for (int dx = -15; dx <= 15; ++dx) {
            const int x = 16 + dx, y = 16 + dy;
            // Mirrored left-right, top-bottom and across the diagonal.
            for (auto [mx, my] : {std::pair{16 - dx, y}, std::pair{x, 16 - dy},
                                  std::pair{16 + dy, 16 + dx}}) {
                ASSERT_EQ(c.IsTransparent(x, y), c.IsTransparent(mx, my)) << x << "," << y;
                ASSERT_EQ(c.colour.At(x, y), c.colour.At(mx, my)) << x << "," << y;
            }
        }
    for (int y = 14; y <= 18; ++y)
        for (int x = 14; x <= 18; ++x) EXPECT_TRUE(c.IsTransparent(x, y)) << x << "," << y;
    // The arms reach out past the ring along both axes.
    EXPECT_FALSE(c.IsTransparent(16, 4));
    EXPECT_FALSE(c.IsTransparent(28, 16));
}

TEST(Art, PlaceholderLaysTheIconOnTheGivenBackground) {
    const IconArt icon = PlaceholderIcon();
    for (Colour bg : {Rgb(0xFF, 0xFF, 0xFF), Rgb(0x12, 0x34, 0x56)}) {
        const Image img = PlaceholderImage(bg);
        ASSERT_EQ(img.width, 16);
        ASSERT_EQ(img.height, 16);
        int drawn = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                if (icon.IsTransparent(x, y)) {
                    EXPECT_EQ(img.At(x, y), bg) << x << "," << y;
                } else {
                    EXPECT_EQ(img.At(x, y), icon.colour.At(x, y));
                    drawn += img.At(x, y) != bg;
                }
            }
        EXPECT_GT(drawn, 16);
        EXPECT_EQ(img.At(0, 0), bg);  // a neutral outline, not a filled tile
    }
}

TEST(Art, BannerShowsTheNameInsideAGradient) {
    const Image b = BannerImage();
    ASSERT_EQ(b.width, 152);
    ASSERT_EQ(b.height, 23);
    EXPECT_NE(b.At(1, 11), b.At(150, 11));  // the gradient runs across
    // The lettering is pure white and must not be cut off at any edge.
    int lit = 0, minX = b.width, maxX = -1;
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x)
            if (b.At(x, y) == Rgb(0xFF, 0xFF, 0xFF)) {
                ++lit;
                minX = std::min(minX, x), maxX = std::max(maxX, x);
                EXPECT_TRUE(y > 0 && y < b.height - 1) << x << "," << y;
            }
    EXPECT_GT(lit, 8 * 12);  // eight letters of a few dozen pixels each
    EXPECT_GT(minX, 0);
    EXPECT_LT(maxX, b.width - 1);
}

}  // namespace
}  // namespace kelvorin
