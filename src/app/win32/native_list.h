// Mirrors a ListView model and its ImageList into a native list view. While
// the model is hidden the mirror only notes that it is out of date and rebuilds
// once when the model is shown again, so a refresh costs one native rebuild.
//
// The native rows are callback items: the list asks for a cell's text and a
// row's image (LVN_GETDISPINFO) when it draws or is read, and gets them from
// the model. A rebuild is then one message per row, a cell change one redraw;
// an owner-data list (LVS_OWNERDATA) holds no items at all, only their count.
//
// The pictures of a drawn image list (ImageList::IsDrawn) are made only when
// the list asks for one, into a small native image list used as a ring of
// slots, so a list of thousands costs the pictures on screen, not all of them.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <unordered_map>
#include <vector>

#include "app/controls.h"
#include "app/win32/twips.h"
#include "platform/win32/scoped.h"

namespace kelvorin::win32 {

class NativeList final : public ListViewObserver {
public:
    // imageListKind: LVSIL_SMALL (report view; also bound as the large list)
    // or LVSIL_NORMAL (large-icon view).
    NativeList(HWND list, ListView& model, ImageList& images, const ScreenScale& scale,
               int imageListKind);
    ~NativeList() override;
    NativeList(const NativeList&) = delete;
    NativeList& operator=(const NativeList&) = delete;

    // The user clicked a row or moved the selection to one.
    std::function<void()> onItemClick;

    // Keeps a band of this many pixels at the top of the list free of the
    // header and the rows: a control that lies over the list there (the IME
    // box) then covers no column header and no row.
    void ReserveTopBand(int pixels);
    // The user clicked a column header (1-based).
    std::function<void(int)> onColumnClick;

    LRESULT OnNotify(NMHDR* header);

    // ListViewObserver
    void ListRowsChanged() override;
    void ListCellChanged(size_t row, size_t column) override;
    void ListSelectionChanged() override;
    void ListVisibilityChanged() override;
    void ListColumnsChanged() override;

private:
    static LRESULT CALLBACK ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void ImagesChanged();
    void SyncImages();
    void Rebuild();
    void SyncSelection();
    void FillDisplayInfo(LVITEMW& item);
    int SlotFor(int image);
    void FlushPendingLoad();
    void PaintTopBand();
    bool Live() const { return model_.Visible() && !dirty_; }

    HWND hwnd_;
    WNDPROC listProc_ = nullptr;  // the list's own window procedure, beneath ListProc
    ListView& model_;
    ImageList& images_;
    ScreenScale scale_;
    int imageListKind_;
    UniqueImageList native_;
    int nativeWidth_ = 0;
    int nativeHeight_ = 0;
    int mirroredImages_ = 0;
    uint64_t mirroredGeneration_ = 0;
    bool dirty_ = true;
    bool syncing_ = false;
    bool inMouseDown_ = false;
    bool pendingLoad_ = false;
    int topBand_ = 0;
    bool ownerData_ = false;
    std::vector<int> slotImage_;  // the image each slot of the ring holds, 0 for none
    std::unordered_map<int, int> imageSlot_;
    int nextSlot_ = 0;
};

}  // namespace kelvorin::win32
