// The icon extractor's control inventory and handlers. Positions are the
// design values in twips, relative to the client area.
#include "icons/icon_getter.h"

#include <algorithm>

#include "icons/bmp_writer.h"
#include "icons/icon_data.h"
#include "platform/constants.h"
#include "platform/scoped_release.h"

namespace kelvorin {
namespace {

using K = ControlKind;

constexpr Colour kWhite = Rgb(255, 255, 255);
// The usual icon size, for a metric that cannot be read: the surface and the
// image list must agree on one size whatever happens.
constexpr int kUsualIconSize = 32;

constexpr const char* kSaveFailedText = "ファイルを保存できませんでした。";
constexpr const char* kDeviceNameText = "この名前は装置の名前なので、ファイル名には使えません。";
constexpr const char* kNoPictureText = "保存する画像がありません。";

// CON, PRN, AUX, NUL, COM1-9 and LPT1-9 name devices in every folder and with
// any extension ("COM1.bmp" is the serial port); "\\.\" opens devices directly.
bool IsDeviceName(const std::string& path) {
    if (path.rfind("\\\\.\\", 0) == 0) return true;
    size_t start = path.find_last_of("\\/:");
    std::string name = path.substr(start == std::string::npos ? 0 : start + 1);
    name = name.substr(0, name.find('.'));
    while (!name.empty() && name.back() == ' ') name.pop_back();
    for (char& c : name)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (name == "CON" || name == "PRN" || name == "AUX" || name == "NUL") return true;
    return name.size() == 4 && (name.rfind("COM", 0) == 0 || name.rfind("LPT", 0) == 0) &&
           name[3] >= '1' && name[3] <= '9';
}

}  // namespace

IconGetter::IconGetter(Platform& platform, IIconGetterView& view)
    : Text1("Text1", ids::IconText1, {240, 120, 4575, 375}),
      Command1("Command1", K::Button, ids::IconCommand1, {4920, 120, 1335, 375}, "アイコン再取得"),
      Label3("Label3", K::Label, ids::IconLabel3, {600, 600, 1215, 375}, ""),
      Label1("Label1", K::Label, ids::IconLabel1, {2040, 720, 2535, 255},
             "個のアイコンが見つかりました"),
      ListView1("ListView1", ids::IconListView1, {240, 1080, 6015, 4695}),
      Command2("Command2", K::Button, ids::IconCommand2, {4200, 5880, 975, 495}, "保存"),
      Command3("Command3", K::Button, ids::IconCommand3, {5280, 5880, 975, 495}, "閉じる"),
      Label2("Label2", K::Label, ids::IconLabel2, {240, 6000, 4695, 255},
             "※アイコンを選択して保存ボタンで保存できます"),
      platform_(platform),
      view_(view),
      picture1_(platform.createSurface()) {
    // Creation order is tab order; the labels take no focus and come last.
    controls_ = {&Text1, &Command1, &ListView1, &Command2, &Command3, &Label3, &Label1, &Label2};
    // Saving needs a deliberate choice: a freshly filled list has nothing selected.
    ListView1.SetSelectsFirstRow(false);
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    Command3.onClick = [this] { Command3_Click(); };
}

void IconGetter::Form_Activate() {
    int cx = platform_.windows.GetSystemMetrics(win::kSmCxIcon);
    int cy = platform_.windows.GetSystemMetrics(win::kSmCyIcon);
    if (cx <= 0) cx = kUsualIconSize;
    if (cy <= 0) cy = kUsualIconSize;
    picture1_->Resize(cx, cy);
    ImageList1.SetSize(cx, cy);  // while the image list is still empty
    Command1_Click();
}

void IconGetter::Command1_Click() {
    const std::string path = Text1.Text();
    // A file whose icon data would take the system's icon code down counts
    // as one without icons.
    const int n =
        IconDataIsSound(platform_.files, path) ? platform_.shell.ExtractIconCount(path) : 0;
    Label3.SetCaption(std::to_string(n));
    // Nothing to show: the previous file's icons stay listed.
    if (n <= 0) return;

    // A damaged file may claim far more icons than it has; the list ends at
    // the last entry number it can hold.
    const int entries = std::min(n, kMaxEntries);
    auto key = [](int i) {
        std::string text = "K";
        text += std::to_string(i + 1);
        return text;
    };
    // Hidden while it is refilled, so the view rebuilds it once, not per icon.
    ListView1.SetVisible(false);
    listedPath_ = path;
    // A file can hold thousands of icons: each is drawn when it is shown or saved.
    auto draw = [this](int i) { return DrawIcon(i); };
    ImageList1.SetDrawn(entries, draw, key);
    ListView1.Clear();
    for (int i = 1; i <= entries; ++i) {
        size_t row = ListView1.AddRow(std::to_string(i));
        ListView1.SetRowKey(row, key(i));
        ListView1.SetRowImage(row, i);
    }
    ListView1.SetVisible(true);
}

Image IconGetter::DrawIcon(int i) {
    ScopedIcons icon(platform_.shell, platform_.shell.ExtractIconA(listedPath_, i - 1));
    picture1_->Clear(kWhite);
    // An icon that cannot be extracted still gets its entry: a blank square.
    if (icon.large()) picture1_->DrawIcon(icon.large(), 0, 0);
    return picture1_->Capture();
}

void IconGetter::Command2_Click() {
    auto path = platform_.ui.GetSaveFileName(kSaveFilter);
    // A cancelled dialog writes nothing, not even over an earlier save.
    if (!path || path->empty()) return;
    auto selected = ListView1.Selected();
    if (!selected) return;
    int image = ListView1.Row(*selected).image;
    if (image < 1 || image > ImageList1.Count()) return;
    // The user confirmed a name: from here on, a save that writes nothing says why.
    auto fail = [&](const std::string& reason) {
        platform_.ui.MessageBox(kSaveFailedText + ("\r\n" + *path) + "\r\n" + reason, kCaption,
                                win::kMbOk | win::kMbIconExclamation);
    };
    if (IsDeviceName(*path)) return fail(kDeviceNameText);
    std::string bytes = EncodeBmp24(ImageList1.At(image));
    if (bytes.empty()) return fail(kNoPictureText);
    // Written beside the target and renamed over it: a failed save keeps the old file.
    WriteResult result = platform_.ui.WriteFileReplacing(*path, bytes);
    if (!result.written) fail(result.reason);
}

void IconGetter::Command3_Click() { view_.Unload(); }

}  // namespace kelvorin
