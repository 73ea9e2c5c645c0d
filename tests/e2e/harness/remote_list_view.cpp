#include "harness/remote_list_view.h"

#include <commctrl.h>

#include <stdexcept>

#include "harness/text.h"

namespace e2e {
namespace {
constexpr size_t kPage = 4096;
constexpr size_t kTextOffset = 512;  // the structure first, its text buffer after it
constexpr int kTextChars = int((kPage - kTextOffset) / sizeof(wchar_t));
}  // namespace

RemoteListView::RemoteListView(HWND list) : list_(list) {
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    process_ = UniqueHandle(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
    if (!process_) throw std::runtime_error("OpenProcess failed for the list's owner");
    remote_ =
        VirtualAllocEx(process_.Get(), nullptr, kPage, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote_) throw std::runtime_error("VirtualAllocEx failed in the list's owner");
}

RemoteListView::~RemoteListView() {
    if (remote_) VirtualFreeEx(process_.Get(), remote_, 0, MEM_RELEASE);
}

LRESULT RemoteListView::Send(UINT msg, WPARAM wp, LPARAM lp) const {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(list_, msg, wp, lp, SMTO_ABORTIFHUNG, 10000, &result)) return -1;
    return LRESULT(result);
}

bool RemoteListView::Write(size_t offset, const void* data, size_t size) const {
    SIZE_T n = 0;
    return WriteProcessMemory(process_.Get(), static_cast<char*>(remote_) + offset, data, size,
                              &n) &&
           n == size;
}

bool RemoteListView::Read(size_t offset, void* data, size_t size) const {
    SIZE_T n = 0;
    return ReadProcessMemory(process_.Get(), static_cast<char*>(remote_) + offset, data, size,
                             &n) &&
           n == size;
}

int RemoteListView::RowCount() const {
    return int(Send(LVM_GETITEMCOUNT, 0, 0));
}

int RemoteListView::ColumnCount() const {
    HWND header = reinterpret_cast<HWND>(Send(LVM_GETHEADER, 0, 0));
    return header ? int(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

ListColumnInfo RemoteListView::Column(int column) const {
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.pszText = reinterpret_cast<wchar_t*>(Remote(kTextOffset));
    col.cchTextMax = kTextChars;
    wchar_t empty = 0;
    ListColumnInfo info;
    if (!Write(0, &col, sizeof col) || !Write(kTextOffset, &empty, sizeof empty)) return info;
    if (Send(LVM_GETCOLUMNW, WPARAM(column), Remote(0)) <= 0) return info;
    std::wstring text(size_t(kTextChars), L'\0');
    Read(0, &col, sizeof col);
    Read(kTextOffset, text.data(), text.size() * sizeof(wchar_t));
    text.resize(wcsnlen(text.c_str(), text.size()));
    info.text = Utf8(text);
    info.width = col.cx;
    return info;
}

std::string RemoteListView::Cell(int row, int column) const {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<wchar_t*>(Remote(kTextOffset));
    item.cchTextMax = kTextChars;
    if (!Write(0, &item, sizeof item)) return {};
    LRESULT n = Send(LVM_GETITEMTEXTW, WPARAM(row), Remote(0));
    if (n <= 0) return {};
    std::wstring text(size_t(n), L'\0');
    Read(kTextOffset, text.data(), text.size() * sizeof(wchar_t));
    return Utf8(text);
}

std::vector<std::string> RemoteListView::Row(int row) const {
    std::vector<std::string> cells;
    int columns = ColumnCount();
    for (int c = 0; c < columns; ++c) cells.push_back(Cell(row, c));
    return cells;
}

std::vector<std::vector<std::string>> RemoteListView::Rows() const {
    std::vector<std::vector<std::string>> rows;
    int count = RowCount();
    for (int r = 0; r < count; ++r) rows.push_back(Row(r));
    return rows;
}

int RemoteListView::Image(int row) const {
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    if (!Write(0, &item, sizeof item) || !Send(LVM_GETITEMW, 0, Remote(0)) ||
        !Read(0, &item, sizeof item))
        return -1;
    return item.iImage;
}

int RemoteListView::SelectedRow() const {
    return int(Send(LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
}

int RemoteListView::FindRow(int column, const std::string& text) const {
    int count = RowCount();
    for (int r = 0; r < count; ++r)
        if (Cell(r, column) == text) return r;
    return -1;
}

bool RemoteListView::Select(int row) const {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    return Write(0, &item, sizeof item) && Send(LVM_SETITEMSTATE, WPARAM(row), Remote(0)) > 0;
}

std::optional<RECT> RemoteListView::ItemRect(int row) const {
    RECT r{LVIR_BOUNDS, 0, 0, 0};
    if (!Write(0, &r, sizeof r) || Send(LVM_GETITEMRECT, WPARAM(row), Remote(0)) <= 0 ||
        !Read(0, &r, sizeof r))
        return std::nullopt;
    return r;
}

}  // namespace e2e
