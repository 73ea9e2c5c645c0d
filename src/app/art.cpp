#include "app/art.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdlib>
#include <string_view>
#include <utility>

namespace kelvorin {
namespace {

// The palette the pictures share, so they look like one family.
constexpr Colour kInk = Rgb(0x26, 0x32, 0x45);         // outlines
constexpr Colour kTitleLeft = Rgb(0x1F, 0x5F, 0xB8);   // title bar gradient
constexpr Colour kTitleRight = Rgb(0x5A, 0xA0, 0xE8);
constexpr Colour kPaper = Rgb(0xFF, 0xFF, 0xFF);
constexpr Colour kRule = Rgb(0xC4, 0xCC, 0xD8);        // list lines
constexpr Colour kTarget = Rgb(0xD0, 0x2A, 0x2A);
constexpr Colour kWhite = Rgb(0xFF, 0xFF, 0xFF);
constexpr Colour kNoOutline = 0xFFFFFFFF;  // outside the 24-bit range of real colours

uint8_t Mix(uint8_t a, uint8_t b, int num, int den) {
    return static_cast<uint8_t>(a + (int(b) - int(a)) * num / den);
}

// Colour `num/den` of the way from a to b.
Colour Blend(Colour a, Colour b, int num, int den) {
    if (den <= 0) return a;
    return Rgb(Mix(RedOf(a), RedOf(b), num, den), Mix(GreenOf(a), GreenOf(b), num, den),
               Mix(BlueOf(a), BlueOf(b), num, den));
}

// A transparent sheet to draw on; every plotted pixel becomes opaque.
// Coordinates outside the sheet are clipped. Rectangles are inclusive.
class Canvas {
public:
    Canvas(int w, int h)
        : art_{Image(w, h, 0), std::vector<bool>(size_t(w) * size_t(h), true), {}} {}

    void Plot(int x, int y, Colour c) {
        if (x < 0 || y < 0 || x >= art_.colour.width || y >= art_.colour.height) return;
        art_.colour.Set(x, y, c);
        art_.transparent[size_t(y) * size_t(art_.colour.width) + size_t(x)] = false;
    }

    void Fill(int x0, int y0, int x1, int y1, Colour c) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) Plot(x, y, c);
    }

    void Frame(int x0, int y0, int x1, int y1, Colour c) {
        Fill(x0, y0, x1, y0, c);
        Fill(x0, y1, x1, y1, c);
        Fill(x0, y0, x0, y1, c);
        Fill(x1, y0, x1, y1, c);
    }

    void HorizontalGradient(int x0, int y0, int x1, int y1, Colour left, Colour right) {
        for (int x = x0; x <= x1; ++x) Fill(x, y0, x, y1, Blend(left, right, x - x0, x1 - x0));
    }

    // Midpoint circle: plots all eight octants at once, so the ring is exactly
    // symmetric about its centre.
    void Circle(int cx, int cy, int r, Colour c) {
        for (int x = r, y = 0, err = 1 - r; x >= y; ++y) {
            for (auto [px, py] : {std::pair{x, y}, std::pair{y, x}}) {
                Plot(cx + px, cy + py, c);
                Plot(cx - px, cy + py, c);
                Plot(cx + px, cy - py, c);
                Plot(cx - px, cy - py, c);
            }
            if (err < 0) {
                err += 2 * y + 3;
            } else {
                err += 2 * (y - x) + 5;
                --x;
            }
        }
    }

    void Disc(int cx, int cy, int r, Colour c) {
        for (int y = -r; y <= r; ++y)
            for (int x = -r; x <= r; ++x)
                if (x * x + y * y <= r * r + r) Plot(cx + x, cy + y, c);
    }

    // Fills the pixels of the box for which `inside` holds and, given an
    // outline colour, rings the shape with a one-pixel border.
    template <typename Inside>
    void Shape(int x0, int y0, int x1, int y1, Inside inside, Colour fill,
               Colour outline = kNoOutline) {
        for (int y = y0 - 1; y <= y1 + 1; ++y) {
            for (int x = x0 - 1; x <= x1 + 1; ++x) {
                const bool in = x >= x0 && x <= x1 && y >= y0 && y <= y1 && inside(x, y);
                if (in) {
                    Plot(x, y, fill);
                    continue;
                }
                bool touches = false;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = x + dx, ny = y + dy;
                        if (nx >= x0 && nx <= x1 && ny >= y0 && ny <= y1 && inside(nx, ny))
                            touches = true;
                    }
                if (touches && outline != kNoOutline) Plot(x, y, outline);
            }
        }
    }

    // Rings everything drawn so far with a one-pixel border (eight-connected,
    // so diagonal steps of a circle get no holes).
    void Halo(Colour c) {
        const Image& img = art_.colour;
        std::vector<std::pair<int, int>> border;
        for (int y = 0; y < img.height; ++y)
            for (int x = 0; x < img.width; ++x)
                if (IsClear(x, y) && (!IsClear(x - 1, y - 1) || !IsClear(x, y - 1) ||
                                      !IsClear(x + 1, y - 1) || !IsClear(x - 1, y) ||
                                      !IsClear(x + 1, y) || !IsClear(x - 1, y + 1) ||
                                      !IsClear(x, y + 1) || !IsClear(x + 1, y + 1)))
                    border.emplace_back(x, y);
        for (auto [x, y] : border) Plot(x, y, c);
    }

    IconArt Take(Point hotSpot = {}) {
        art_.hotSpot = hotSpot;
        return std::move(art_);
    }

private:
    bool IsClear(int x, int y) const {
        if (x < 0 || y < 0 || x >= art_.colour.width || y >= art_.colour.height) return true;
        return art_.IsTransparent(x, y);
    }

    IconArt art_;
};

// Nearest-neighbour resize, for icon sizes nobody drew by hand.
IconArt Scaled(const IconArt& src, int size) {
    Canvas canvas(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const int sx = x * src.colour.width / size, sy = y * src.colour.height / size;
            if (!src.IsTransparent(sx, sy)) canvas.Plot(x, y, src.colour.At(sx, sy));
        }
    }
    return canvas.Take();
}

// A target: ring plus cross strokes that stop short of the centre.
void DrawTarget(Canvas& c, int cx, int cy, int ring, int reach, int gap, Colour ink) {
    c.Circle(cx, cy, ring, ink);
    c.Fill(cx - reach, cy, cx - gap, cy, ink);
    c.Fill(cx + gap, cy, cx + reach, cy, ink);
    c.Fill(cx, cy - reach, cx, cy - gap, ink);
    c.Fill(cx, cy + gap, cx, cy + reach, ink);
}

IconArt MainWindow16() {
    Canvas c(16, 16);
    c.Fill(1, 15, 15, 15, Rgb(0x9A, 0xA2, 0xAE));  // drop shadow
    c.Fill(15, 2, 15, 15, Rgb(0x9A, 0xA2, 0xAE));
    c.Frame(0, 1, 14, 14, kInk);
    c.HorizontalGradient(1, 2, 13, 4, kTitleLeft, kTitleRight);
    c.Plot(12, 3, kWhite);  // close box
    c.Fill(1, 5, 13, 13, kPaper);
    // At this size a full cross clogs the ring; ticks outside it read better.
    c.Circle(7, 9, 3, kTarget);
    c.Fill(2, 9, 3, 9, kTarget);
    c.Fill(11, 9, 12, 9, kTarget);
    c.Plot(7, 5, kTarget);
    c.Plot(7, 13, kTarget);
    c.Plot(7, 9, kTarget);
    return c.Take();
}

IconArt MainWindow32() {
    Canvas c(32, 32);
    const Colour shadow = Rgb(0x9A, 0xA2, 0xAE);
    c.Fill(2, 29, 30, 30, shadow);
    c.Fill(29, 3, 30, 30, shadow);
    c.Frame(0, 1, 28, 28, kInk);
    c.Frame(1, 2, 27, 27, kInk);
    c.HorizontalGradient(2, 3, 26, 7, kTitleLeft, kTitleRight);
    c.Fill(4, 5, 11, 5, Rgb(0xDC, 0xE8, 0xF8));  // caption
    for (int i = 0; i < 2; ++i) c.Fill(18 + 4 * i, 4, 20 + 4 * i, 6, kWhite);  // title buttons
    c.Fill(2, 8, 26, 26, kPaper);
    for (int y = 11; y <= 23; y += 4) c.Fill(4, y, 24, y, kRule);  // the window list
    c.Disc(15, 17, 7, kPaper);
    DrawTarget(c, 15, 17, 6, 9, 3, kTarget);
    c.Circle(15, 17, 5, kTarget);  // doubled ring: bolder at this size
    c.Fill(14, 16, 16, 18, kTarget);
    return c.Take();
}

// A down arrow with its tip at (cx, tip): the shaft is 2*shaft+1 wide and
// `length` long, the head `head` rows deep.
bool InDownArrow(int x, int y, int cx, int tip, int shaft, int length, int head) {
    const int headTop = tip - head + 1, dx = std::abs(x - cx);
    if (y >= headTop && y <= tip) return dx <= tip - y;
    return y < headTop && y >= headTop - length && dx <= shaft;
}

constexpr Colour kWood = Rgb(0xA0, 0x6A, 0x32);
constexpr Colour kSky = Rgb(0xA8, 0xD8, 0xF6);
constexpr Colour kHill = Rgb(0x4E, 0xA4, 0x48);
constexpr Colour kHillFar = Rgb(0x86, 0xC2, 0x6E);
constexpr Colour kSun = Rgb(0xF5, 0xC0, 0x2E);
constexpr Colour kArrow = Rgb(0x22, 0x9A, 0x44);

IconArt PictureFrame16() {
    Canvas c(16, 16);
    c.Frame(0, 1, 12, 12, kInk);
    c.Frame(1, 2, 11, 11, kWood);
    c.Fill(2, 3, 10, 10, kSky);
    c.Shape(2, 3, 10, 10, [](int x, int y) { return y >= 7 + std::abs(x - 4) / 2; }, kHillFar);
    c.Shape(2, 3, 10, 10, [](int x, int y) { return y >= 9 - (x > 5 ? 1 : 0); }, kHill);
    c.Fill(8, 4, 9, 5, kSun);
    c.Shape(8, 3, 15, 15, [](int x, int y) { return InDownArrow(x, y, 12, 13, 1, 5, 3); }, kArrow,
            kInk);
    return c.Take();
}

IconArt PictureFrame32() {
    Canvas c(32, 32);
    c.Frame(0, 2, 24, 25, kInk);
    c.Fill(1, 3, 23, 24, kWood);
    c.Frame(3, 5, 21, 22, Rgb(0x6E, 0x44, 0x1C));  // the frame's inner lip
    c.Fill(4, 6, 20, 21, kSky);
    c.Disc(16, 10, 2, kSun);
    c.Shape(4, 6, 20, 21, [](int x, int y) { return y >= 13 + std::abs(x - 9) * 2 / 3; },
            kHillFar);
    c.Shape(4, 6, 20, 21, [](int x, int y) { return y >= 15 + (x - 17) * (x - 17) / 16; },
            kHill);
    c.Shape(16, 10, 31, 31, [](int x, int y) { return InDownArrow(x, y, 25, 29, 2, 9, 6); }, kArrow,
            kInk);
    return c.Take();
}

// A 5 x 7 font with just the letters the banner needs; '#' is ink.
struct Glyph {
    char ch;
    std::array<std::string_view, 7> rows;
};
constexpr Glyph kFont[] = {
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'e', {".....", ".....", ".###.", "#...#", "#####", "#....", ".###."}},
    {'i', {"..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."}},
    {'l', {".##..", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'n', {".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"}},
    {'o', {".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."}},
    {'r', {".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."}},
    {'v', {".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
};

const Glyph* FindGlyph(char ch) {
    for (const Glyph& g : kFont)
        if (g.ch == ch) return &g;
    return nullptr;
}

// The columns a glyph actually inks, so narrow letters (i, l) space tightly.
std::pair<int, int> InkColumns(const Glyph& g) {
    int first = 5, last = -1;
    for (const auto& row : g.rows)
        for (int x = 0; x < 5; ++x)
            if (row[size_t(x)] == '#') first = std::min(first, x), last = std::max(last, x);
    return {first, last};
}

constexpr int kSpaceAdvance = 3;

int TextWidth(std::string_view text, int scale) {
    int width = 0;
    for (char ch : text) {
        const Glyph* g = FindGlyph(ch);
        if (!g) {
            width += kSpaceAdvance * scale;
            continue;
        }
        const auto [first, last] = InkColumns(*g);
        width += (last - first + 2) * scale;
    }
    return width > 0 ? width - scale : 0;  // no gap after the last letter
}

void DrawText(Image& img, std::string_view text, int left, int top, int scale, Colour ink) {
    int x = left;
    for (char ch : text) {
        const Glyph* g = FindGlyph(ch);
        if (!g) {
            x += kSpaceAdvance * scale;
            continue;
        }
        const auto [first, last] = InkColumns(*g);
        for (int row = 0; row < 7; ++row) {
            for (int col = first; col <= last; ++col) {
                if (g->rows[size_t(row)][size_t(col)] != '#') continue;
                for (int dy = 0; dy < scale; ++dy)
                    for (int dx = 0; dx < scale; ++dx) {
                        const int px = x + (col - first) * scale + dx, py = top + row * scale + dy;
                        if (px >= 0 && py >= 0 && px < img.width && py < img.height)
                            img.Set(px, py, ink);
                    }
            }
        }
        x += (last - first + 2) * scale;
    }
}

IconArt PickSize(int size, IconArt (*small)(), IconArt (*large)()) {
    if (size == 16) return small();
    if (size == 32) return large();
    if (size <= 0) return {};
    return Scaled(size < 24 ? small() : large(), size);
}

}  // namespace

IconArt MainWindowIcon(int size) { return PickSize(size, MainWindow16, MainWindow32); }

IconArt IconExtractorIcon(int size) { return PickSize(size, PictureFrame16, PictureFrame32); }

IconArt CrossHairIcon() {
    Canvas c(32, 32);
    DrawTarget(c, 16, 16, 10, 14, 4, Rgb(0, 0, 0));
    // A white halo round the black strokes keeps the cursor visible over dark
    // and light windows alike; the centre stays clear to show the target pixel.
    c.Halo(kWhite);
    return c.Take({16, 16});
}

IconArt PlaceholderIcon() {
    Canvas c(16, 16);
    c.Frame(1, 2, 14, 13, Rgb(0x80, 0x80, 0x80));
    c.Fill(2, 3, 13, 4, Rgb(0xB4, 0xB4, 0xB4));
    return c.Take();
}

Image PlaceholderImage(Colour background) {
    const IconArt icon = PlaceholderIcon();
    Image img(icon.colour.width, icon.colour.height, background);
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            if (!icon.IsTransparent(x, y)) img.Set(x, y, icon.colour.At(x, y));
    return img;
}

Image BannerImage() {
    constexpr int kWidth = 152, kHeight = 23, kScale = 2;
    Image img(kWidth, kHeight, 0);
    for (int x = 0; x < kWidth; ++x)
        for (int y = 0; y < kHeight; ++y)
            img.Set(x, y, Blend(kTitleLeft, Rgb(0x2B, 0xB3, 0xC0), x, kWidth - 1));
    // A light top edge and a dark bottom edge give the strip a slight bevel.
    for (int x = 0; x < kWidth; ++x) {
        img.Set(x, 0, Blend(img.At(x, 0), kWhite, 1, 3));
        img.Set(x, kHeight - 1, Blend(img.At(x, kHeight - 1), Rgb(0, 0, 0), 1, 3));
    }
    // The finder's target as a faint mark, centred with the name as one group.
    constexpr std::string_view kName = "Kelvorin";
    constexpr int kMarkReach = 8, kMarkGap = 6;
    const int groupWidth = 2 * kMarkReach + 1 + kMarkGap + TextWidth(kName, kScale);
    const int markX = (kWidth - groupWidth) / 2 + kMarkReach;
    Canvas mark(kWidth, kHeight);
    DrawTarget(mark, markX, kHeight / 2, 6, kMarkReach, 3, 0);
    const IconArt marked = mark.Take();
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if (!marked.IsTransparent(x, y)) img.Set(x, y, Blend(img.At(x, y), kWhite, 2, 5));
    const int left = markX + kMarkReach + 1 + kMarkGap;
    const int top = (kHeight - 7 * kScale) / 2;
    DrawText(img, kName, left + 1, top + 1, kScale, Rgb(0x10, 0x30, 0x60));  // shadow
    DrawText(img, kName, left, top, kScale, kWhite);
    return img;
}

}  // namespace kelvorin
