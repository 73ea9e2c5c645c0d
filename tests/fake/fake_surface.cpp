#include "fake/fake_surface.h"

#include "platform/constants.h"

namespace kelvorin::fake {

void FakeSurface::Resize(int width, int height) {
    if (desktop_.Enter("Surface.Resize", {Arg(number_), Arg(width), Arg(height)})) return;
    if (width <= 0 || height <= 0) return;
    canvas_ = Image(width, height, Rgb(0, 0, 0));
}

void FakeSurface::Clear(Colour background) {
    if (desktop_.Enter("Surface.Clear", {Arg(number_), Arg(background)})) return;
    canvas_ = Image(canvas_.width, canvas_.height, background);
}

void FakeSurface::Blit(const Image& image, int x, int y, bool masked) {
    for (int row = 0; row < image.height; ++row) {
        for (int column = 0; column < image.width; ++column) {
            int cx = x + column, cy = y + row;
            if (cx < 0 || cy < 0 || cx >= canvas_.width || cy >= canvas_.height) continue;
            Colour c = image.At(column, row);
            if (masked && c == kTransparent) continue;
            canvas_.Set(cx, cy, c);
        }
    }
}

void FakeSurface::DrawImage(const Image& image, int x, int y) {
    if (desktop_.Enter("Surface.DrawImage", {Arg(number_), Arg(image), Arg(x), Arg(y)})) return;
    Blit(image, x, y, false);
}

bool FakeSurface::DrawIconEx(IconHandle icon, int x, int y) {
    if (desktop_.Enter("Surface.DrawIconEx", {Arg(number_), Arg(icon), Arg(x), Arg(y)}))
        return false;
    const Image* image = desktop_.IconImage(icon);
    if (!image) return false;
    Blit(*image, x, y, true);
    return true;
}

bool FakeSurface::DrawIcon(IconHandle icon, int x, int y) {
    if (desktop_.Enter("Surface.DrawIcon", {Arg(number_), Arg(icon), Arg(x), Arg(y)})) return false;
    const Image* image = desktop_.IconImage(icon);
    if (!image || image->Empty()) return false;
    int width = desktop_.Metric(win::kSmCxIcon), height = desktop_.Metric(win::kSmCyIcon);
    // Nearest-neighbour stretch to the system icon size.
    Image sized(width, height, kTransparent);
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column)
            sized.Set(column, row,
                      image->At(column * image->width / width, row * image->height / height));
    Blit(sized, x, y, true);
    return true;
}

Image FakeSurface::Capture() const {
    if (desktop_.Enter("Surface.Capture", {Arg(number_)})) return {};
    return canvas_;
}

}  // namespace kelvorin::fake
