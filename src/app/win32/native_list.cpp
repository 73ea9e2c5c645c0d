#include "app/win32/native_list.h"

#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"

namespace kelvorin::win32 {
namespace {

// Restores the flag on every way out of a scope.
class Guard {
public:
    explicit Guard(bool& flag) : flag_(flag), before_(flag) { flag_ = true; }
    ~Guard() { flag_ = before_; }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

private:
    bool& flag_;
    bool before_;
};

}  // namespace

NativeList::NativeList(HWND list, ListView& model, ImageList& images, const ScreenScale& scale,
                       int imageListKind)
    : hwnd_(list), model_(model), images_(images), scale_(scale), imageListKind_(imageListKind) {
    model_.SetObserver(this);
    images_.onChanged = [this] { ImagesChanged(); };
    ::SetWindowSubclass(hwnd_, ListProc, 1, reinterpret_cast<DWORD_PTR>(this));
    ListColumnsChanged();
    SyncImages();
    Rebuild();
}

NativeList::~NativeList() {
    ::RemoveWindowSubclass(hwnd_, ListProc, 1);
    model_.SetObserver(nullptr);
    images_.onChanged = nullptr;
    if (native_ != nullptr) ImageList_Destroy(native_);
}

void NativeList::ImagesChanged() {
    // Image changes come in bursts while the list is hidden; mirror them when
    // the list is next written to the screen.
    if (Live()) SyncImages();
}

void NativeList::SyncImages() {
    if (native_ == nullptr || nativeWidth_ != images_.Width() || nativeHeight_ != images_.Height()) {
        if (native_ != nullptr) ImageList_Destroy(native_);
        native_ = ImageList_Create(images_.Width(), images_.Height(), ILC_COLOR32, 0, 64);
        nativeWidth_ = images_.Width();
        nativeHeight_ = images_.Height();
        mirroredImages_ = 0;
        if (imageListKind_ == LVSIL_SMALL) {
            ListView_SetImageList(hwnd_, native_, LVSIL_SMALL);
            ListView_SetImageList(hwnd_, native_, LVSIL_NORMAL);
        } else {
            ListView_SetImageList(hwnd_, native_, imageListKind_);
        }
    }
    if (mirroredGeneration_ != images_.Generation() || mirroredImages_ > images_.Count()) {
        ImageList_RemoveAll(native_);
        mirroredImages_ = 0;
        mirroredGeneration_ = images_.Generation();
    }
    for (int i = mirroredImages_ + 1; i <= images_.Count(); ++i) {
        HBITMAP bitmap = CreateBitmapFromImage(images_.At(i));
        ImageList_Add(native_, bitmap, nullptr);
        if (bitmap != nullptr) ::DeleteObject(bitmap);
    }
    mirroredImages_ = images_.Count();
}

void NativeList::WriteRow(size_t row, bool insert) {
    const ListRow& r = model_.Row(row);
    std::wstring text = Widen(r.cells.empty() ? std::string() : r.cells[0]);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = static_cast<int>(row);
    item.pszText = text.data();
    item.iImage = r.image > 0 ? r.image - 1 : I_IMAGENONE;
    if (insert)
        ::SendMessageW(hwnd_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    else
        ::SendMessageW(hwnd_, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    for (size_t column = 1; column < r.cells.size(); ++column) {
        if (insert && r.cells[column].empty()) continue;
        std::wstring cell = Widen(r.cells[column]);
        LVITEMW sub{};
        sub.iSubItem = static_cast<int>(column);
        sub.pszText = cell.data();
        ::SendMessageW(hwnd_, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&sub));
    }
}

void NativeList::Rebuild() {
    Guard guard(syncing_);
    SyncImages();
    ::SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(hwnd_);
    ListView_SetItemCount(hwnd_, static_cast<int>(model_.RowCount()));
    for (size_t row = 0; row < model_.RowCount(); ++row) WriteRow(row, true);
    dirty_ = false;
    SyncSelection();
    ::SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void NativeList::SyncSelection() {
    Guard guard(syncing_);
    auto selected = model_.Selected();
    int current = ListView_GetNextItem(hwnd_, -1, LVNI_SELECTED);
    if (selected && static_cast<int>(*selected) == current) return;
    if (current >= 0) ListView_SetItemState(hwnd_, current, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (selected) {
        int row = static_cast<int>(*selected);
        ListView_SetItemState(hwnd_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(hwnd_, row, FALSE);
    }
}

void NativeList::ListRowsChanged() {
    if (model_.Visible())
        Rebuild();
    else
        dirty_ = true;
}

void NativeList::ListCellChanged(size_t row, size_t /*column*/) {
    if (!Live()) {
        dirty_ = true;
        return;
    }
    Guard guard(syncing_);
    SyncImages();
    WriteRow(row, false);
}

void NativeList::ListSelectionChanged() {
    if (Live()) SyncSelection();
}

void NativeList::ListVisibilityChanged() {
    if (model_.Visible()) {
        if (dirty_) Rebuild();
        ::ShowWindow(hwnd_, SW_SHOWNA);
    } else {
        ::ShowWindow(hwnd_, SW_HIDE);
    }
}

void NativeList::ListColumnsChanged() {
    HWND header = ListView_GetHeader(hwnd_);
    int existing = header != nullptr ? Header_GetItemCount(header) : 0;
    for (int i = existing - 1; i >= 0; --i) ListView_DeleteColumn(hwnd_, i);
    const auto& columns = model_.Columns();
    for (size_t i = 0; i < columns.size(); ++i) {
        std::wstring text = Widen(columns[i].text);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM | LVCF_FMT;
        column.fmt = LVCFMT_LEFT;
        column.cx = scale_.X(columns[i].widthTwips);
        column.pszText = text.data();
        column.iSubItem = static_cast<int>(i);
        ::SendMessageW(hwnd_, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    dirty_ = true;
    if (model_.Visible()) Rebuild();
}

void NativeList::FlushPendingLoad() {
    if (!pendingLoad_) return;
    pendingLoad_ = false;
    if (onItemClick) onItemClick();
}

LRESULT NativeList::OnNotify(NMHDR* header) {
    switch (header->code) {
    case LVN_ITEMCHANGED: {
        auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        if (syncing_ || !(change->uChanged & LVIF_STATE) || change->iItem < 0) return 0;
        bool nowSelected = (change->uNewState & LVIS_SELECTED) != 0;
        bool wasSelected = (change->uOldState & LVIS_SELECTED) != 0;
        if (nowSelected == wasSelected) return 0;
        {
            Guard guard(syncing_);
            if (nowSelected)
                model_.Select(static_cast<size_t>(change->iItem));
            else if (ListView_GetNextItem(hwnd_, -1, LVNI_SELECTED) < 0)
                model_.Select(std::nullopt);
        }
        // A mouse click loads once, on its NM_CLICK; the keyboard and other
        // programs' selections load here.
        if (nowSelected) {
            pendingLoad_ = true;
            if (!inMouseDown_) FlushPendingLoad();
        }
        return 0;
    }
    case NM_CLICK: {
        auto* click = reinterpret_cast<NMITEMACTIVATE*>(header);
        if (click->iItem >= 0) {
            pendingLoad_ = true;
            FlushPendingLoad();
        }
        return 0;
    }
    case LVN_COLUMNCLICK: {
        auto* click = reinterpret_cast<NMLISTVIEW*>(header);
        if (onColumnClick) onColumnClick(click->iSubItem + 1);
        return 0;
    }
    default:
        return 0;
    }
}

LRESULT CALLBACK NativeList::ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR /*id*/, DWORD_PTR self) {
    auto* list = reinterpret_cast<NativeList*>(self);
    switch (message) {
    case WM_LBUTTONDOWN: {
        list->inMouseDown_ = true;
        LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
        // Where the list's own drag loop already took the button-up, the click
        // is over; otherwise the button-up below finishes it.
        if ((::GetKeyState(VK_LBUTTON) & 0x8000) == 0) {
            list->inMouseDown_ = false;
            list->FlushPendingLoad();
        }
        return result;
    }
    case WM_LBUTTONUP: {
        LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
        list->inMouseDown_ = false;
        list->FlushPendingLoad();
        return result;
    }
    default:
        return ::DefSubclassProc(hwnd, message, wParam, lParam);
    }
}

}  // namespace kelvorin::win32
