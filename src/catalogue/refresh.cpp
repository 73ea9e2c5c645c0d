// Start-up and the catalogue refresh.
#include "catalogue/refresh.h"

#include <cmath>

#include "app/handle_text.h"
#include "app/main_frm.h"
#include "catalogue/hide_filter.h"
#include "platform/constants.h"

namespace kelvorin {

std::vector<uint64_t> RowIds(const ListView& list) {
    std::vector<uint64_t> ids;
    ids.reserve(list.RowCount());
    for (size_t row = 0; row < list.RowCount(); ++row) ids.push_back(list.RowId(row));
    return ids;
}

int IconCellSize(int iconMetric) {
    return static_cast<int>(std::lround(static_cast<double>(iconMetric) / 1.5));
}

void MainFrm::Form_Load() {
    auto& windows = platform_.windows;
    int n = IconCellSize(windows.GetSystemMetrics(win::kSmCxIcon));
    int m = IconCellSize(windows.GetSystemMetrics(win::kSmCyIcon));
    SetIconCell(n, m);
    Picture1().Resize(n, m);
    ImageList1.SetSize(n, m);  // while the image list is still empty

    // Full-row select and grid lines are switched on by the view, which owns
    // the native list's display options.
    ListView1.AddColumn("Icon", 500);
    ListView1.AddColumn("ハンドル", 0);
    ListView1.AddColumn("プロセス名", 0);
    ListView1.AddColumn("キャプション", 3500);
    ListView1.AddColumn("プロセスID", 0);
    ListView1.AddColumn("フルパス", 0);
    ListView1.AddColumn("表示/非表示", 1000);
    ListView1.Clear();

    ToumeiSld.SetTickFrequency(16);
    ToumeiSld.SetMax(255);
    ToumeiSld.SetMin(0);
    ToumeiSld.SetValue(255);

    PRefreshBtn_Click();

    if (ListView1.RowCount() > 0) ListView1.Select(0);
}

bool EnumWindowProc(MainFrm& form, WindowHandle h, intptr_t /*param*/) {
    std::string title = form.platform().windows.GetWindowTextA(h, kTitleBufferBytes);
    if (title.empty()) return true;
    // Read anew for every window: the box is the filter's only switch.
    if (IsHiddenByFilter(title, form.IMEUnShowChk.Value())) return true;
    size_t row = form.ListView1.AddRow();
    row = form.ListView1.SetCell(row, col::Handle, FormatHandle(h));
    form.ListView1.SetCell(row, col::Caption, title);
    return true;
}

void MainFrm::PRefreshBtn_Click() {
    // Hidden for the whole rebuild, so the list is not repainted row by row.
    ListView1.SetVisible(false);
    ListView1.Clear();

    bool ok = platform_.windows.EnumWindows(
        [this](WindowHandle h) { return EnumWindowProc(*this, h, 0); });
    if (!ok) platform_.ui.MessageBox(kEnumFailedText, kCaption, win::kMbOk);

    PIdGet();
    ItemLoad();

    // By row id, since a sort on the visibility column moves rows as they are written.
    for (uint64_t id : RowIds(ListView1)) {
        size_t row = *ListView1.IndexOfId(id);
        auto h = ParseHandle(ListView1.Cell(row, col::Handle));
        if (!h) continue;  // a cell that does not parse fails only this row's step
        bool visible = platform_.windows.IsWindowVisible(*h);
        ListView1.SetCell(row, col::Visibility, visible ? kShownText : kHiddenText);
    }

    ListView1.SetVisible(true);
}

void MainFrm::IMEUnShowChk_Click() { PRefreshBtn_Click(); }

}  // namespace kelvorin
