#include "app/win32/native_list.h"

#include <algorithm>
#include <cwchar>

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

// Images go to the native list in strips of at most this many, so even a full
// image list never needs one enormous bitmap.
constexpr int kStripImages = 1024;
// Slots for drawn pictures: far more than a list shows at once, so a picture
// is never replaced while the list is still drawing with it.
constexpr int kSlots = 128;

// Copies a picture into cell `cell` of a strip of cells of the native size,
// whatever the picture's own size.
void PutCell(Image& strip, int cell, int width, int height, const Image& image) {
    for (int y = 0; y < std::min(image.height, height); ++y)
        for (int x = 0; x < std::min(image.width, width); ++x)
            strip.Set(cell * width + x, y, image.At(x, y));
}

}  // namespace

NativeList::NativeList(HWND list, ListView& model, ImageList& images, const ScreenScale& scale,
                       int imageListKind)
    : hwnd_(list),
      model_(model),
      images_(images),
      scale_(scale),
      imageListKind_(imageListKind),
      ownerData_((::GetWindowLongW(list, GWL_STYLE) & LVS_OWNERDATA) != 0) {
    model_.SetObserver(this);
    images_.onChanged = [this] { ImagesChanged(); };
    // A classic subclass that finds this object in the window's user data:
    // comctl32's SetWindowSubclass looks its chain up with GetProp on every
    // message, which under Wine is a round trip to the server each time.
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    listProc_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListProc)));
    ListColumnsChanged();
    SyncImages();
    Rebuild();
}

NativeList::~NativeList() {
    if (::IsWindow(hwnd_)) {
        if (::GetWindowLongPtrW(hwnd_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(ListProc))
            ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listProc_));
        ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        // The image list goes with this mirror; the list must not keep it.
        ListView_SetImageList(hwnd_, nullptr, LVSIL_SMALL);
        ListView_SetImageList(hwnd_, nullptr, LVSIL_NORMAL);
    }
    model_.SetObserver(nullptr);
    images_.onChanged = nullptr;
}

void NativeList::ImagesChanged() {
    // Image changes come in bursts while the list is hidden; mirror them when
    // the list is next written to the screen.
    if (Live()) SyncImages();
}

void NativeList::SyncImages() {
    if (!native_ || nativeWidth_ != images_.Width() || nativeHeight_ != images_.Height()) {
        // Made and handed to the list before the old one goes, so the list
        // never holds a destroyed image list.
        UniqueImageList fresh(ImageList_Create(images_.Width(), images_.Height(), ILC_COLOR32, 0, 64));
        if (imageListKind_ == LVSIL_SMALL) {
            ListView_SetImageList(hwnd_, fresh.get(), LVSIL_SMALL);
            ListView_SetImageList(hwnd_, fresh.get(), LVSIL_NORMAL);
        } else {
            ListView_SetImageList(hwnd_, fresh.get(), imageListKind_);
        }
        native_ = std::move(fresh);
        nativeWidth_ = images_.Width();
        nativeHeight_ = images_.Height();
        mirroredImages_ = 0;
        slotImage_.clear();
        imageSlot_.clear();
        nextSlot_ = 0;
    }
    if (mirroredGeneration_ != images_.Generation() || mirroredImages_ > images_.Count()) {
        ImageList_RemoveAll(native_.get());
        mirroredImages_ = 0;
        mirroredGeneration_ = images_.Generation();
        slotImage_.clear();
        imageSlot_.clear();
        nextSlot_ = 0;
    }
    if (images_.IsDrawn()) {
        // Pictures are made as the list asks for them (SlotFor).
        if (slotImage_.empty()) {
            ImageList_SetImageCount(native_.get(), kSlots);
            slotImage_.assign(kSlots, 0);
        }
        return;
    }
    // New images go in strips, one bitmap and one ImageList_Add each: the
    // native list then grows once per strip rather than every few images. Each
    // image takes exactly one cell of the strip, whatever its own size.
    while (mirroredImages_ < images_.Count()) {
        int count = std::min(images_.Count() - mirroredImages_, kStripImages);
        Image strip(nativeWidth_ * count, nativeHeight_, 0);
        for (int i = 0; i < count; ++i)
            PutCell(strip, i, nativeWidth_, nativeHeight_, images_.At(mirroredImages_ + 1 + i));
        UniqueBitmap bitmap = CreateBitmapFromImage(strip);
        ImageList_Add(native_.get(), bitmap.get(), nullptr);
        mirroredImages_ += count;
    }
}

void NativeList::ReserveTopBand(int pixels) {
    topBand_ = std::max(pixels, 0);
    ::SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void NativeList::PaintTopBand() {
    // The band sits inside the list's border, above its client area, in the
    // form's colour, so what lies over it reads as lying on the form.
    RECT window{};
    RECT client{};
    ::GetWindowRect(hwnd_, &window);
    ::GetClientRect(hwnd_, &client);
    ::MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&client), 2);
    RECT band{client.left - window.left, client.top - window.top - topBand_,
              window.right - window.left - (client.left - window.left), client.top - window.top};
    ScopedGetWindowDc dc(hwnd_);
    ::FillRect(dc.get(), &band, ::GetSysColorBrush(COLOR_BTNFACE));
}

int NativeList::SlotFor(int image) {
    if (auto found = imageSlot_.find(image); found != imageSlot_.end()) return found->second;
    int slot = nextSlot_;
    nextSlot_ = (nextSlot_ + 1) % kSlots;
    if (slotImage_[size_t(slot)] != 0) imageSlot_.erase(slotImage_[size_t(slot)]);
    Image cell(nativeWidth_, nativeHeight_, 0);
    PutCell(cell, 0, nativeWidth_, nativeHeight_, images_.At(image));
    UniqueBitmap bitmap = CreateBitmapFromImage(cell);
    ImageList_Replace(native_.get(), slot, bitmap.get(), nullptr);
    slotImage_[size_t(slot)] = image;
    imageSlot_[image] = slot;
    return slot;
}

void NativeList::FillDisplayInfo(LVITEMW& item) {
    // Only while the model is hidden can the two disagree on the rows (a
    // refresh in progress); a row the model does not have reads as empty.
    bool known = item.iItem >= 0 && static_cast<size_t>(item.iItem) < model_.RowCount();
    if ((item.mask & LVIF_TEXT) && item.pszText != nullptr && item.cchTextMax > 0) {
        std::wstring text;
        if (known && item.iSubItem >= 0)
            text = Widen(model_.Cell(static_cast<size_t>(item.iItem),
                                     static_cast<size_t>(item.iSubItem)));
        size_t length = std::min(text.size(), static_cast<size_t>(item.cchTextMax) - 1);
        std::wmemcpy(item.pszText, text.data(), length);
        item.pszText[length] = L'\0';
    }
    if (item.mask & LVIF_IMAGE) {
        int image = known ? model_.Row(static_cast<size_t>(item.iItem)).image : 0;
        if (!images_.IsDrawn())
            item.iImage = image > 0 ? image - 1 : I_IMAGENONE;
        else if (image > 0 && image <= images_.Count() && !slotImage_.empty())
            item.iImage = SlotFor(image);
        else
            item.iImage = I_IMAGENONE;
    }
}

void NativeList::Rebuild() {
    Guard guard(syncing_);
    SyncImages();
    ::SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(hwnd_);
    int rows = static_cast<int>(model_.RowCount());
    ListView_SetItemCount(hwnd_, rows);
    // Every cell and image of the row comes from the model when asked for.
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.pszText = LPSTR_TEXTCALLBACKW;
    item.iImage = I_IMAGECALLBACK;
    // An owner-data list holds only the count, set above.
    for (item.iItem = 0; item.iItem < rows && !ownerData_; ++item.iItem)
        ::SendMessageW(hwnd_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
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
    // The list holds no copy of the cells: drawing the row again shows the change.
    ListView_RedrawItems(hwnd_, static_cast<int>(row), static_cast<int>(row));
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
    case LVN_GETDISPINFOW:
        FillDisplayInfo(reinterpret_cast<NMLVDISPINFOW*>(header)->item);
        return 0;
    case LVN_ITEMCHANGED: {
        auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        if (syncing_ || !(change->uChanged & LVIF_STATE)) return 0;
        // An owner-data list reports a change to every item at once as item -1.
        if (change->iItem < 0 && ownerData_) {
            Guard guard(syncing_);
            if (ListView_GetNextItem(hwnd_, -1, LVNI_SELECTED) < 0) model_.Select(std::nullopt);
            return 0;
        }
        if (change->iItem < 0) return 0;
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

LRESULT CALLBACK NativeList::ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* list = reinterpret_cast<NativeList*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (list == nullptr) {
        // The mirror has gone while a later subclass kept this procedure in the chain.
        auto classProc = reinterpret_cast<WNDPROC>(::GetClassLongPtrW(hwnd, GCLP_WNDPROC));
        return ::CallWindowProcW(classProc, hwnd, message, wParam, lParam);
    }
    switch (message) {
    case WM_NCCALCSIZE: {
        LRESULT result = ::CallWindowProcW(list->listProc_, hwnd, message, wParam, lParam);
        // The band is frame, not client: the header and the rows start below it.
        RECT& client = wParam ? reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                              : *reinterpret_cast<RECT*>(lParam);
        client.top = std::min(client.top + list->topBand_, client.bottom);
        return result;
    }
    case WM_NCPAINT: {
        LRESULT result = ::CallWindowProcW(list->listProc_, hwnd, message, wParam, lParam);
        if (list->topBand_ > 0) list->PaintTopBand();
        return result;
    }
    case WM_LBUTTONDOWN: {
        list->inMouseDown_ = true;
        LRESULT result = ::CallWindowProcW(list->listProc_, hwnd, message, wParam, lParam);
        // Where the list's own drag loop already took the button-up, the click
        // is over; otherwise the button-up below finishes it.
        if ((::GetKeyState(VK_LBUTTON) & 0x8000) == 0) {
            list->inMouseDown_ = false;
            list->FlushPendingLoad();
        }
        return result;
    }
    case WM_LBUTTONUP: {
        LRESULT result = ::CallWindowProcW(list->listProc_, hwnd, message, wParam, lParam);
        list->inMouseDown_ = false;
        list->FlushPendingLoad();
        return result;
    }
    default:
        return ::CallWindowProcW(list->listProc_, hwnd, message, wParam, lParam);
    }
}

}  // namespace kelvorin::win32
