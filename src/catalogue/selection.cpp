// Loading the selected row, the opacity reset and the column sort.
#include "app/handle_text.h"
#include "app/main_frm.h"
#include "catalogue/refresh.h"
#include "platform/constants.h"

namespace kelvorin {
namespace {

// A title may hold a tab or a line break; in the summary it becomes a space,
// so the summary always has exactly five tab-separated fields.
std::string SummaryField(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    return text;
}

}  // namespace

void MainFrm::ItemLoad() {
    // Each step that has nothing to work on is skipped; with no selected row
    // the previous selected window stays and the clipboard gets empty text.
    auto selected = ListView1.Selected();
    std::optional<uint64_t> rowId;
    if (selected) {
        rowId = ListView1.RowId(*selected);
        if (auto h = ParseHandle(ListView1.Cell(*selected, col::Handle))) selectedWindow_ = *h;
        CaptionTxt.SetText(ListView1.Cell(*selected, col::Caption));
    }
    GetChkValue();
    GetWindowData();
    platform_.clipboard.Empty();
    std::string summary;
    if (rowId) {
        if (auto index = ListView1.IndexOfId(*rowId)) {
            // Columns 2 to 6, always with their four tabs.
            for (size_t column = col::Handle; column <= col::FullPath; ++column) {
                if (column != col::Handle) summary += '\t';
                summary += SummaryField(ListView1.Cell(*index, column));
            }
        }
    }
    platform_.clipboard.SetText(summary);
}

void MainFrm::GetWindowData() {
    // Written from code, so the slider raises no Change for it.
    ToumeiSld.SetTickFrequency(16);
    ToumeiSld.SetMax(255);
    ToumeiSld.SetMin(64);
    ToumeiSld.SetValue(255);
    OSHantei();
}

void MainFrm::OSHantei() {
    // Windows 95/98/Me have no layered windows; nothing enables these again.
    auto platformId = platform_.processes.GetVersionPlatformId();
    if (platformId && *platformId == win::kVerPlatformWin32Windows) {
        ToumeiSld.SetEnabled(false);
        Label2.SetEnabled(false);
    }
}

void MainFrm::ListView1_ItemClick() { ItemLoad(); }

void MainFrm::ListView1_ColumnClick(int columnIndex1Based) {
    // The order flips on every header click, whichever column it is.
    ListView1.SetSortOrder(ListView1.SortOrder() == 0 ? 1 : 0);
    ListView1.SetSortKey(columnIndex1Based - 1);
    ListView1.SetSorted(true);
}

}  // namespace kelvorin
