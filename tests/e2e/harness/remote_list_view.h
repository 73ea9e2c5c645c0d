// Reads (and selects in) a list view that belongs to another process. The
// list messages carry pointers, so the structures live in a page of the
// owner's memory: written there, sent, and the answer read back.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "harness/process.h"

namespace e2e {

struct ListColumnInfo {
    std::string text;
    int width = 0;
};

class RemoteListView {
  public:
    // Throws std::runtime_error when the owner's memory cannot be reached.
    explicit RemoteListView(HWND list);
    RemoteListView(const RemoteListView&) = delete;
    RemoteListView& operator=(const RemoteListView&) = delete;
    ~RemoteListView();

    HWND Handle() const { return list_; }
    int RowCount() const;
    int ColumnCount() const;
    ListColumnInfo Column(int column) const;
    std::string Cell(int row, int column) const;
    std::vector<std::string> Row(int row) const;
    // Every row's cells, top to bottom.
    std::vector<std::vector<std::string>> Rows() const;
    int Image(int row) const;
    // The first selected row, or -1.
    int SelectedRow() const;
    // The first row whose cell in `column` reads `text`, or -1.
    int FindRow(int column, const std::string& text) const;
    // Selects and focuses one row, as LVM_SETITEMSTATE does (no click).
    bool Select(int row) const;
    // The row's bounds in the list's client coordinates (LVIR_BOUNDS).
    std::optional<RECT> ItemRect(int row) const;

  private:
    LRESULT Send(UINT msg, WPARAM wp, LPARAM lp) const;
    bool Write(size_t offset, const void* data, size_t size) const;
    bool Read(size_t offset, void* data, size_t size) const;
    LPARAM Remote(size_t offset) const {
        return reinterpret_cast<LPARAM>(static_cast<char*>(remote_) + offset);
    }

    HWND list_;
    UniqueHandle process_;
    void* remote_ = nullptr;
};

}  // namespace e2e
