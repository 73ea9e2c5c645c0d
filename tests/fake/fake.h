// The fake desktop with its drawing surfaces and the program's two windows as the logic sees them.
#pragma once

#include "fake/desktop.h"

namespace kelvorin::fake {

// A drawing surface over a picture, drawing the desktop's icons through their masks.
class Surface final : public ISurface {
  public:
    explicit Surface(Desktop& desktop) : desktop_(desktop) {}
    void Resize(int width, int height) override { canvas_ = Image(width, height, 0); }
    void Clear(Colour c) override { canvas_ = Image(canvas_.width, canvas_.height, c); }
    void DrawImage(const Image& image, int x, int y) override {
        for (int r = 0; r < image.height; ++r)
            for (int c = 0; c < image.width; ++c)
                if (x + c < canvas_.width && y + r < canvas_.height && image.At(c, r) != kClear)
                    canvas_.Set(x + c, y + r, image.At(c, r));
    }
    bool DrawIconEx(IconHandle icon, int x, int y) override {
        const Image* image = desktop_.IconImage(icon);
        if (image) DrawImage(*image, x, y);
        return image;
    }
    bool DrawIcon(IconHandle icon, int x, int y) override { return DrawIconEx(icon, x, y); }
    Image Capture() const override { return canvas_; }

  private:
    Desktop& desktop_;
    Image canvas_{16, 16, 0};
};

inline Platform Desktop::platform() {
    return {*this, *this, *this, *this,
            *this, *this, *this, [this] {
                return std::unique_ptr<ISurface>(new Surface(*this)); }};
}

// The program's windows; the calls whose order matters go to the log as View.<name>.
class View final : public IMainFrmView, public IIconGetterView {
  public:
    explicit View(Desktop& desktop) : desktop_(desktop) {}
    WindowHandle Handle() override { return handle; }
    WindowHandle ControlHandle(int id) override { return WindowHandle(handle.value + id); }
    int ClientHeightTwips() override { return clientHeight; }
    void GrowHeightTwips(int delta) override { clientHeight += delta; }
    void Show() override { desktop_.Enter("View.Show"), shown = true; }
    void Hide() override { desktop_.Enter("View.Hide"), shown = false; }
    bool IsVisible() override { return shown; }
    // Runs Form_Unload through onUnload, as the real window does while it goes.
    void Unload() override {
        desktop_.Enter("View.Unload");
        ++unloads;
        if (onUnload) onUnload();
    }
    void ShowPopupMenu(uint32_t flags) override { menus.push_back(flags); }
    IconHandle WindowIcon() override { return IconHandle(0x77); }
    void ShowIconGetterModal(const std::string& path) override { iconGetterPaths.push_back(path); }
    void UnloadIconGetter() override { desktop_.Enter("View.UnloadIconGetter"); }
    void SetFinderDragging(bool on) override { dragging = on; }

    WindowHandle handle{0x7000};
    bool shown = true, dragging = false;
    int unloads = 0, clientHeight = 4635;
    std::vector<uint32_t> menus;
    std::vector<std::string> iconGetterPaths;
    std::function<void()> onUnload;

  private:
    Desktop& desktop_;
};

}  // namespace kelvorin::fake
