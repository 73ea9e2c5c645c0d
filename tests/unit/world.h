// A MainFrm on the fake desktop, whose shell window ("Progman") is untitled and gives no row.
#pragma once

#include <gtest/gtest.h>

#include "catalogue/refresh.h"
#include "fake/fake.h"

namespace kelvorin::unit {

inline const auto Text = [](WindowHandle h) { return std::to_string(h.value); };

// What a list tells its view; '+' marks what it told while it was showing.
struct ListEvents : ListViewObserver {
    explicit ListEvents(ListView& l) : list(l) { l.SetObserver(this); }
    void Note(const std::string& e) { events += e + (list.Visible() ? "+ " : " "); }
    void ListRowsChanged() override { Note("rows"); }
    void ListCellChanged(size_t r, size_t c) override { Note(std::to_string(r * 10 + c)); }
    void ListSelectionChanged() override { Note("selection"); }
    void ListVisibilityChanged() override { Note("visibility"); }
    void ListColumnsChanged() override { Note("columns"); }
    const ListView& list;
    std::string events;
};

inline std::string Calls(const fake::Desktop& desktop) {  // the calls logged, in order
    std::string calls;
    for (const auto& call : desktop.log) calls += call + " ";
    return calls;
}

struct World {
    fake::Desktop desktop;
    fake::View view{desktop};
    Platform platform = desktop.platform();
    MainFrm form{platform, view};
    WindowHandle shell = desktop.Add({.className = "Progman"});

    World() {
        view.onUnload = [this] { form.Form_Unload(); };
    }
    fake::Window& Win(WindowHandle h) { return desktop.Win(h); }
    std::optional<size_t> RowOf(WindowHandle h) const {
        for (size_t row = 0; row < form.ListView1.RowCount(); ++row)
            if (form.ListView1.Cell(row, col::Handle) == Text(h)) return row;
        return std::nullopt;
    }
    std::string Cell(WindowHandle h, size_t column) const {
        return RowOf(h) ? form.ListView1.Cell(*RowOf(h), column) : "<no row>";
    }
    // The cells of these columns, '|' between columns and ';' after each row.
    std::string Rows(std::initializer_list<size_t> columns) const {
        std::string rows;
        for (size_t row = 0; row < form.ListView1.RowCount(); ++row) {
            for (size_t column : columns) rows += form.ListView1.Cell(row, column) + "|";
            rows.back() = ';';
        }
        return rows;
    }
    // Selects the window's row as a click does and runs the click's handler.
    void Click(WindowHandle h) {
        form.ListView1.Select(RowOf(h));
        form.ListView1_ItemClick();
    }
};

}  // namespace kelvorin::unit
