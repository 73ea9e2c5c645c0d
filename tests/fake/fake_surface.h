// FakeSurface: an off-screen drawing surface over an Image, drawing the
// FakeDesktop's icons. Its calls are logged by the desktop as Surface.<name>
// with the surface's number first.
#pragma once

#include "fake/fake_desktop.h"

namespace kelvorin::fake {

class FakeSurface : public ISurface {
  public:
    // Starts as a 16 x 16 black picture, like the Win32 surface's first bitmap.
    FakeSurface(FakeDesktop& desktop, int number)
        : desktop_(desktop), number_(number), canvas_(16, 16, Rgb(0, 0, 0)) {}

    // A new black picture of that size (a new DIB section is all zeros);
    // sizes below 1 are ignored.
    void Resize(int width, int height) override;
    void Clear(Colour background) override;
    void DrawImage(const Image& image, int x, int y) override;
    // The icon's picture at its own size, through its mask; false for a dead icon.
    bool DrawIconEx(IconHandle icon, int x, int y) override;
    // The icon stretched to the desktop's SM_CXICON x SM_CYICON, through its mask.
    bool DrawIcon(IconHandle icon, int x, int y) override;
    Image Capture() const override;

    int Number() const { return number_; }
    // The picture, without logging a call.
    const Image& Canvas() const { return canvas_; }

  private:
    // Copies pixels clipped to the canvas; kTransparent pixels are skipped when masked.
    void Blit(const Image& image, int x, int y, bool masked);

    FakeDesktop& desktop_;
    int number_;
    Image canvas_;
};

}  // namespace kelvorin::fake
