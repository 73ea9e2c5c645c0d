// IconGetter: the icon extractor window as portable state and handlers. It
// lists every icon of one file (Text1) in ListView1, each drawn on white at the
// system icon size, and saves the selected one as a bitmap file.
//
// A new IconGetter is made for every opening, so nothing carries over from one
// opening to the next.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/controls.h"
#include "platform/platform.h"

namespace kelvorin {

// What the logic asks of the extractor window itself.
class IIconGetterView {
public:
    virtual ~IIconGetterView() = default;
    // Destroys the window; its models go with the IconGetter that owns them.
    virtual void Unload() = 0;
};

class IconGetter {
public:
    IconGetter(Platform& platform, IIconGetterView& view);
    IconGetter(const IconGetter&) = delete;
    IconGetter& operator=(const IconGetter&) = delete;

    // --- event handlers ----------------------------------------------------
    void Form_Activate();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    // Every visible control model, in creation order (= tab order), for the view.
    const std::vector<ControlModel*>& Controls() const { return controls_; }
    // The hidden drawing surface each icon is drawn on before it is kept.
    ISurface& Picture1() { return *picture1_; }

    static constexpr const char* kCaption = "プロセスアイコン取得ツール";
    static constexpr int kClientWidthTwips = 6360;
    static constexpr int kClientHeightTwips = 6465;
    static constexpr const char* kSaveFilter = "ビットマップ(*.bmp)|*.bmp";
    // Entry numbers are 16-bit, and the list holds no more.
    static constexpr int kMaxEntries = 32767;

    // --- controls ----------------------------------------------------------
    TextBox Text1;
    CaptionedControl Command1;
    CaptionedControl Label3;
    CaptionedControl Label1;
    ListView ListView1;
    CaptionedControl Command2;
    CaptionedControl Command3;
    CaptionedControl Label2;
    ImageList ImageList1;

private:
    // Icon i of the listed file on white at the system icon size.
    Image DrawIcon(int i);

    Platform& platform_;
    IIconGetterView& view_;
    std::unique_ptr<ISurface> picture1_;
    std::string listedPath_;  // the file whose icons the list shows
    std::vector<ControlModel*> controls_;
};

}  // namespace kelvorin
