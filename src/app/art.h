// The program's own pictures, drawn in code: the window icons, the finder's
// cross-hair (also the drag cursor), the "no icon" placeholder for list rows
// and the banner on the main window.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/types.h"

namespace kelvorin {

// An icon or cursor in the shape CreateIconIndirect takes: a colour bitmap
// plus an AND mask. Transparent pixels are black in `colour`, so the screen
// shows through unchanged (screen AND 1 XOR 0).
struct IconArt {
    Image colour;
    std::vector<bool> transparent;  // same layout as colour.pixels; true = AND bit set
    Point hotSpot;                  // used when the art becomes a cursor

    bool IsTransparent(int x, int y) const {
        return transparent[size_t(y) * size_t(colour.width) + size_t(x)];
    }
};

// The main window's icon: a window with a finder target over its body.
// Drawn for 16 and 32 pixels; any other size gets the nearer of the two layouts
// scaled to fit.
IconArt MainWindowIcon(int size);

// The icon extractor window's icon: a framed picture with a downward arrow.
// Drawn for 16 and 32 pixels like MainWindowIcon.
IconArt IconExtractorIcon(int size);

// 32 x 32 finder cross-hair on a transparent background; hot spot (16, 16).
IconArt CrossHairIcon();

// 16 x 16 "no icon" picture: a blank grey application window outline.
IconArt PlaceholderIcon();
// The same picture laid on an opaque background, ready to draw into a list cell.
Image PlaceholderImage(Colour background);

// 152 x 23 banner: the name "Kelvorin" on a gradient.
Image BannerImage();

}  // namespace kelvorin
