// The refresh floor: what one refresh of W windows must cost at least, done
// here with the plain Win32 calls and a hidden list like the program's.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <vector>

namespace bench {

struct FloorTimes {
    double enumerate = 0;  // EnumWindows, GetWindowTextA and IsWindowVisible per window
    double snapshots = 0;  // one process snapshot, one module snapshot per process
    double threads = 0;    // GetWindowThreadProcessId per titled window
    double icons = 0;      // ExtractIconExA per distinct executable
    double list = 0;       // the rows, one image each, into a hidden report list
    int windows = 0;
    int titled = 0;
    int processes = 0;
    int executables = 0;
    double Total() const { return enumerate + snapshots + threads + icons + list; }
};

// A hidden report list view like the program's, in this process, filled the
// cheapest way known: one bitmap strip holding every row's image, added to the
// image list in one call, and the rows inserted with redrawing switched off
// (under Wine each insertion otherwise updates the list's layout).
class FloorList {
  public:
    explicit FloorList(int cell) : cell_(cell) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KelvorinBenchFloorHost";
        RegisterClassW(&wc);
        host_ = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                                nullptr, nullptr, wc.hInstance, nullptr);
        list_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                                WS_CHILD | LVS_REPORT | LVS_SINGLESEL | LVS_SHAREIMAGELISTS, 0, 0,
                                380, 260, host_, nullptr, wc.hInstance, nullptr);
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH;
        column.cx = 33;
        SendMessageW(list_, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
        images_ = ImageList_Create(cell_, cell_, ILC_COLOR32, 0, 64);
        ListView_SetImageList(list_, images_, LVSIL_SMALL);
    }
    ~FloorList() {
        DestroyWindow(host_);
        ImageList_Destroy(images_);
    }
    FloorList(const FloorList&) = delete;
    FloorList& operator=(const FloorList&) = delete;

    void Fill(int rows) {
        SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
        ListView_DeleteAllItems(list_);
        ImageList_RemoveAll(images_);
        if (rows > 0) {
            BITMAPINFO info{};
            info.bmiHeader.biSize = sizeof(info.bmiHeader);
            info.bmiHeader.biWidth = cell_ * rows;
            info.bmiHeader.biHeight = -cell_;
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            void* bits = nullptr;
            HBITMAP strip = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
            if (bits != nullptr)
                std::fill_n(static_cast<uint32_t*>(bits), size_t(cell_) * cell_ * rows,
                            0xFFFFFFFFu);
            ImageList_Add(images_, strip, nullptr);
            DeleteObject(strip);
        }
        ListView_SetItemCount(list_, rows);
        for (int i = 0; i < rows; ++i) {
            LVITEMW item{};
            item.mask = LVIF_TEXT | LVIF_IMAGE;
            item.iItem = i;
            item.pszText = const_cast<wchar_t*>(L"");
            item.iImage = i;
            SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        }
        SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    }

  private:
    int cell_;
    HWND host_ = nullptr;
    HWND list_ = nullptr;
    HIMAGELIST images_ = nullptr;
};

// One run of the floor on the desktop as it is; the median of several runs.
FloorTimes MeasureFloor(FloorList& list);
FloorTimes MedianFloor(const std::vector<FloorTimes>& runs);

}  // namespace bench
