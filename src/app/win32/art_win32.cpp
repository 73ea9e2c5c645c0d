#include "app/win32/art_win32.h"

#include <cstdint>
#include <vector>

#include "platform/win32/win32_platform.h"

namespace kelvorin::win32 {
namespace {

HICON CreateIconFromArt(const IconArt& art, bool cursor) {
    const int w = art.colour.width;
    const int h = art.colour.height;
    // A 32-bit colour bitmap with alpha: the system draws by alpha when it has
    // one, so transparent pixels get alpha 0 and the rest 255.
    UniqueBitmap colour = CreateBitmapFromImage(art.colour);
    if (colour) {
        DIBSECTION dib{};
        ::GetObjectW(colour.get(), sizeof(dib), &dib);
        auto* bits = static_cast<uint32_t*>(dib.dsBm.bmBits);
        for (int y = 0; y < h && bits != nullptr; ++y)
            for (int x = 0; x < w; ++x)
                if (art.IsTransparent(x, y)) bits[size_t(y) * size_t(w) + size_t(x)] = 0;
    }
    // The AND mask is a monochrome bitmap with word-aligned rows.
    const int stride = ((w + 15) / 16) * 2;
    std::vector<BYTE> maskBits(static_cast<size_t>(stride) * static_cast<size_t>(h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (art.IsTransparent(x, y))
                maskBits[size_t(y) * size_t(stride) + size_t(x / 8)] |= BYTE(0x80 >> (x % 8));
    UniqueBitmap mask(::CreateBitmap(w, h, 1, 1, maskBits.data()));
    ICONINFO info{};
    info.fIcon = cursor ? FALSE : TRUE;
    info.xHotspot = static_cast<DWORD>(art.hotSpot.x);
    info.yHotspot = static_cast<DWORD>(art.hotSpot.y);
    info.hbmMask = mask.get();
    info.hbmColor = colour.get();
    // The icon has copies of both bitmaps; ours go at the end of the scope.
    return ::CreateIconIndirect(&info);
}

}  // namespace

UniqueIcon CreateMainIcon(int size) {
    return UniqueIcon(CreateIconFromArt(MainWindowIcon(size), false));
}

UniqueIcon CreateExtractorIcon(int size) {
    return UniqueIcon(CreateIconFromArt(IconExtractorIcon(size), false));
}

UniqueIcon CreateCrossHair() { return UniqueIcon(CreateIconFromArt(CrossHairIcon(), false)); }

UniqueCursor CreateCrossHairCursor() {
    return UniqueCursor(CreateIconFromArt(CrossHairIcon(), true));
}

UniqueBitmap CreateBanner() { return CreateBitmapFromImage(BannerImage()); }

}  // namespace kelvorin::win32
