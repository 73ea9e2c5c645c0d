// FakeMainFrmView: the main window as the logic sees it, recording what the
// logic asks of it in the desktop's call log (as View.<name>), so its calls
// and the platform calls read in one order.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/main_frm.h"
#include "fake/fake_desktop.h"

namespace kelvorin::fake {

class FakeMainFrmView : public IMainFrmView {
  public:
    // The designed client height of the main window, options region closed.
    static constexpr int kDesignClientHeightTwips = 4635;

    explicit FakeMainFrmView(FakeDesktop& desktop);

    // Makes the main window a window of the desktop, as the real one is:
    // captioned "Kelvorin", of the desktop's current process, hidden until
    // Show(). Controls handed out by ControlHandle become its child windows.
    void PlaceOnDesktop();

    WindowHandle Handle() override;
    // A distinct handle per control id, the same one each time.
    WindowHandle ControlHandle(int id) override;
    int ClientHeightTwips() override;
    void GrowHeightTwips(int deltaTwips) override;
    void Show() override;
    void Hide() override;
    bool IsVisible() override;
    void Unload() override;
    void ShowPopupMenu(uint32_t flags) override;
    IconHandle WindowIcon() override;
    void ShowIconGetterModal(const std::string& path) override;
    void UnloadIconGetter() override;
    void SetFinderDragging(bool dragging) override;

    bool Shown() const { return shown_; }
    bool Unloaded() const { return unloaded_; }
    bool FinderDragging() const { return finderDragging_; }
    void SetClientHeightTwips(int twips) { clientHeightTwips_ = twips; }
    const std::vector<uint32_t>& PopupMenus() const { return popupMenus_; }
    const std::vector<std::string>& IconGetterPaths() const { return iconGetterPaths_; }

    // Run by Unload before the window goes, as the real window runs Form_Unload.
    std::function<void()> onUnload;
    // Run while the icon extractor is "open", with its path.
    std::function<void(const std::string&)> onIconGetterModal;

  private:
    void Record(const std::string& name, std::vector<std::string> args = {});
    void AddControlWindow(WindowHandle control);

    FakeDesktop& desktop_;
    WindowHandle handle_;
    IconHandle icon_;
    std::map<int, WindowHandle> controls_;
    bool placed_ = false;
    bool shown_ = false;
    bool unloaded_ = false;
    bool finderDragging_ = false;
    int clientHeightTwips_ = kDesignClientHeightTwips;
    std::vector<uint32_t> popupMenus_;
    std::vector<std::string> iconGetterPaths_;
};

}  // namespace kelvorin::fake
