// A MainFrm over the fake desktop, for the catalogue and adjustment suites.
// The desktop has an untitled shell window ("Progman") at the bottom of the
// Z-order, as a real one does; without it the state reader would re-parent
// every parentless window it reads.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/main_frm.h"
#include "catalogue/refresh.h"
#include "fake/fake.h"
#include "platform/constants.h"

namespace kelvorin::unit {

inline std::string Text(WindowHandle h) {
    return std::to_string(h.value);
}

// Call strings as the fake's log writes them, with {h} standing for h.
inline std::vector<std::string> Calls(WindowHandle h, std::vector<std::string> calls) {
    for (std::string& call : calls)
        for (size_t at = call.find("{h}"); at != std::string::npos; at = call.find("{h}"))
            call.replace(at, 3, Text(h));
    return calls;
}

// The world of one test; a table-driven test can make one per case.
struct FormWorld {
    FormWorld() = default;
    FormWorld(const FormWorld&) = delete;
    FormWorld& operator=(const FormWorld&) = delete;

    fake::FakeDesktop desktop;
    fake::FakeMainFrmView view{desktop};
    Platform platform = desktop.platform();
    MainFrm form{platform, view};
    WindowHandle shell = desktop.AddWindow({.className = "Progman"});

    // Adds a window above the shell, below every window added before it.
    WindowHandle Add(fake::FakeWindow window) {
        WindowHandle h = desktop.AddWindow(std::move(window));
        desktop.SendToBottom(shell);
        return h;
    }

    std::optional<size_t> RowOf(WindowHandle h) const {
        for (size_t i = 0; i < form.ListView1.RowCount(); ++i)
            if (form.ListView1.Cell(i, col::Handle) == Text(h)) return i;
        return std::nullopt;
    }

    // A cell of the window's row; fails the test when the window has no row.
    std::string CellOf(WindowHandle h, size_t column) const {
        auto row = RowOf(h);
        EXPECT_TRUE(row) << "no row for " << Text(h);
        return row ? form.ListView1.Cell(*row, column) : std::string("<no row>");
    }

    int ImageOf(WindowHandle h) const {
        auto row = RowOf(h);
        EXPECT_TRUE(row) << "no row for " << Text(h);
        return row ? form.ListView1.Row(*row).image : -1;
    }

    // The texts of one column, top row first.
    std::vector<std::string> Column(size_t column) const {
        std::vector<std::string> texts;
        for (size_t i = 0; i < form.ListView1.RowCount(); ++i)
            texts.push_back(form.ListView1.Cell(i, column));
        return texts;
    }

    // Selects the window's row as a click does, then runs the click's handler.
    void ClickRow(WindowHandle h) {
        auto row = RowOf(h);
        ASSERT_TRUE(row) << "no row for " << Text(h);
        form.ListView1.Select(*row);
        form.ListView1_ItemClick();
    }
};

class FormOnFake : public ::testing::Test, public FormWorld {};

}  // namespace kelvorin::unit
