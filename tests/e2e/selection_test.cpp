// What a row says about its window's process, what loading a row puts on the
// clipboard, and how the header sorts the list: checked against helper windows
// and Wine's own notepad, through real clicks where a user would click.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>
#include <stdexcept>

#include "harness/desktop.h"
#include "harness/fixture.h"
#include "harness/input.h"
#include "harness/options.h"
#include "harness/wait.h"

namespace e2e {
namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(tolower(c)); });
    return s;
}

// Wine's notepad, started by name as a user would start it.
class Notepad {
  public:
    Notepad() {
        STARTUPINFOW si{sizeof si};
        PROCESS_INFORMATION pi{};
        wchar_t line[] = L"notepad.exe";
        if (!CreateProcessW(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            throw std::runtime_error("notepad.exe did not start: " + std::to_string(GetLastError()));
        CloseHandle(pi.hThread);
        process_ = UniqueHandle(pi.hProcess);
        id_ = pi.dwProcessId;
        WaitUntil([&] { return !TopLevelWindows(id_, L"Notepad", true).empty(); }, 15s);
        auto found = TopLevelWindows(id_, L"Notepad", true);
        if (found.empty()) {
            TerminateProcess(process_.Get(), 0);
            throw std::runtime_error("notepad.exe showed no window");
        }
        window_ = found.front();
        // Out of the way of the program's window, whose list the tests look at.
        SetWindowPos(window_, nullptr, 1008, 700, 270, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ~Notepad() {
        TerminateProcess(process_.Get(), 0);
        WaitForSingleObject(process_.Get(), 5000);
    }
    DWORD Id() const { return id_; }
    HWND Window() const { return window_; }

  private:
    UniqueHandle process_;
    DWORD id_ = 0;
    HWND window_ = nullptr;
};

bool PutOnClipboard(const std::string& text) {
    std::wstring w = Wide(text);
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (w.size() + 1) * sizeof(wchar_t));
    if (!data) return false;
    memcpy(GlobalLock(data), w.c_str(), (w.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(data);
    if (!WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 1s)) return false;
    EmptyClipboard();
    bool ok = SetClipboardData(CF_UNICODETEXT, data) != nullptr;
    CloseClipboard();
    return ok;
}

std::string Summary(const std::vector<std::string>& fields) {
    std::string s;
    for (size_t i = 0; i < fields.size(); ++i) s += (i ? "\t" : "") + fields[i];
    return s;
}

// A row's summary as the clipboard should get it: its cells from "ハンドル" to "フルパス".
std::string RowSummary(const std::vector<std::string>& row) {
    return Summary({row[kHandleCol], row[kProcessNameCol], row[kCaptionCol], row[kProcessIdCol],
                    row[kFullPathCol]});
}

// The screen's pixels in a rectangle of screen coordinates, row by row, as
// 0xRRGGBB values.
std::vector<DWORD> ScreenPixels(RECT r) {
    int w = r.right - r.left, h = r.bottom - r.top;
    std::vector<DWORD> pixels;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib) {
        HGDIOBJ old = SelectObject(memory, dib);
        if (BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY)) {
            auto p = static_cast<const DWORD*>(bits);
            for (size_t i = 0; i < size_t(w) * size_t(h); ++i) pixels.push_back(p[i] & 0xFFFFFF);
        }
        SelectObject(memory, old);
        DeleteObject(dib);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// A COLORREF (0xBBGGRR) as ScreenPixels gives it.
DWORD ScreenColour(COLORREF c) {
    return DWORD(GetRValue(c)) << 16 | DWORD(GetGValue(c)) << 8 | GetBValue(c);
}

class SelectionTest : public KelvorinTest {
  protected:
    int RowOf(HWND h) { return app_->List().FindRow(kHandleCol, HandleText(h)); }

    // A row's first cell, inside the grid lines: where its icon is drawn.
    std::optional<RECT> IconCell(int row) {
        RemoteListView& list = app_->List();
        SendMessageW(list.Handle(), LVM_ENSUREVISIBLE, WPARAM(row), FALSE);
        auto bounds = list.ItemRect(row);
        if (!bounds) return std::nullopt;
        RECT r{bounds->left + 2, bounds->top + 2, bounds->left + list.Column(kIconCol).width - 2,
               bounds->bottom - 2};
        MapWindowPoints(list.Handle(), HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    // A real click in the row's caption cell, the widest one on screen.
    bool ClickRow(int row) {
        RemoteListView& list = app_->List();
        SendMessageW(list.Handle(), LVM_ENSUREVISIBLE, WPARAM(row), FALSE);
        auto bounds = list.ItemRect(row);
        if (!bounds) return false;
        POINT p{bounds->left + list.Column(kIconCol).width + 40, (bounds->top + bounds->bottom) / 2};
        ClientToScreen(list.Handle(), &p);
        if (WindowFromPoint(p) != list.Handle()) {
            ADD_FAILURE() << "row " << row << " is covered where the click would go";
            return false;
        }
        return XClick(p);
    }

    // A header item's rectangle on the screen; the list never scrolls
    // sideways, so each header starts where the widths of those before it end.
    std::optional<RECT> HeaderItem(int column) {
        RemoteListView& list = app_->List();
        HWND header = reinterpret_cast<HWND>(SendMessageW(list.Handle(), LVM_GETHEADER, 0, 0));
        RECT r{};
        if (!header || !GetWindowRect(header, &r)) return std::nullopt;
        for (int c = 0; c < column; ++c) r.left += list.Column(c).width;
        r.right = r.left + list.Column(column).width;
        return r;
    }

    // A real click on a column's header, in the middle of the part of it that
    // is not beneath IMEUnShowChk, which lies over the top of the list.
    bool ClickHeader(int column) {
        auto item = HeaderItem(column);
        if (!item) return false;
        HWND header = reinterpret_cast<HWND>(SendMessageW(app_->List().Handle(), LVM_GETHEADER, 0, 0));
        int y = (item->top + item->bottom) / 2, first = -1, last = -1;
        for (int x = item->left + 2; x < item->right - 2; ++x) {
            if (WindowFromPoint({x, y}) != header) continue;
            if (first < 0) first = x;
            last = x;
        }
        if (first < 0) {
            ADD_FAILURE() << "header " << column << " is wholly covered";
            return false;
        }
        // Successive clicks land apart, so that no two make a double click.
        int x = (first + last) / 2 + (headerClicks_++ % 2 ? 6 : -6);
        return XClick({std::clamp(x, first, last), y});
    }
    int headerClicks_ = 0;

    std::vector<std::string> ColumnTexts(int column) {
        std::vector<std::string> texts;
        for (const auto& row : app_->List().Rows()) texts.push_back(row[size_t(column)]);
        return texts;
    }
};

// The list's own text order: case-insensitive, in the user's locale.
int CompareAsTheListDoes(const std::string& a, const std::string& b) {
    std::wstring wa = Wide(a), wb = Wide(b);
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wa.c_str(), int(wa.size()),
                          wb.c_str(), int(wb.size())) -
           CSTR_EQUAL;
}

testing::AssertionResult InOrder(const std::vector<std::string>& texts, bool descending) {
    for (size_t i = 1; i < texts.size(); ++i) {
        int c = CompareAsTheListDoes(texts[i - 1], texts[i]);
        if (descending ? c < 0 : c > 0)
            return testing::AssertionFailure()
                   << "row " << i - 1 << " \"" << texts[i - 1] << "\" before row " << i << " \""
                   << texts[i] << "\"";
    }
    return testing::AssertionSuccess();
}

// Where each of `wanted` stands in `texts`, in the order they appear.
std::vector<std::string> Subsequence(const std::vector<std::string>& texts,
                                     const std::set<std::string>& wanted) {
    std::vector<std::string> found;
    for (const auto& t : texts)
        if (wanted.count(t)) found.push_back(t);
    return found;
}

TEST_F(SelectionTest, RowsShowTheOwningProcessNameIdPathAndAnIconOfTheirOwn) {
    Notepad notepad;
    auto& helper = StartHelper({
        {"window", "shown", "--title", "E2E process shown"},
        {"window", "hidden", "--title", "E2E process hidden", "--hidden"},
    });
    ASSERT_EQ(helper.Reported("pid"), std::to_string(helper.ProcessId()));
    ASSERT_FALSE(helper.Reported("path").empty());
    KelvorinApp& app = Launch();
    RemoteListView& list = app.List();

    for (const char* name : {"shown", "hidden"}) {
        SCOPED_TRACE(name);
        int row = RowOf(helper.Window(name));
        ASSERT_GE(row, 0);
        EXPECT_EQ(list.Cell(row, kProcessNameCol), "e2e_helper.exe");
        EXPECT_EQ(list.Cell(row, kProcessIdCol), helper.Reported("pid"));
        EXPECT_EQ(list.Cell(row, kFullPathCol), helper.Reported("path"));
    }
    int pad = RowOf(notepad.Window());
    ASSERT_GE(pad, 0) << "notepad's window is not listed";
    EXPECT_EQ(Lower(list.Cell(pad, kProcessNameCol)), "notepad.exe");
    EXPECT_EQ(list.Cell(pad, kProcessIdCol), std::to_string(notepad.Id()));
    EXPECT_EQ(Lower(list.Cell(pad, kFullPathCol)), "c:\\windows\\system32\\notepad.exe");
    int own = RowOf(app.MainWindow());
    ASSERT_GE(own, 0);
    EXPECT_EQ(list.Cell(own, kProcessIdCol), std::to_string(app.ProcessId()));
    EXPECT_EQ(Lower(list.Cell(own, kFullPathCol)), Lower(Utf8(GetOptions().kelvorinExe)));

    // Each row has an image of its own, also two windows of one executable.
    std::set<int> images;
    for (int row = 0; row < list.RowCount(); ++row) {
        int image = list.Image(row);
        if (list.Cell(row, kProcessIdCol).empty()) continue;  // its window went meanwhile
        EXPECT_GE(image, 0) << "row " << row << " has process data but no icon";
        EXPECT_TRUE(images.insert(image).second) << "row " << row << " shares image " << image;
    }

    // The icons as drawn: notepad's own icon, and the placeholder for the helper,
    // whose file has none. Neither cell is blank, and they differ. The selection
    // goes to the program's own row first, so neither cell is highlighted.
    ASSERT_TRUE(list.Select(own));
    DWORD background = ScreenColour(COLORREF(SendMessageW(list.Handle(), LVM_GETBKCOLOR, 0, 0)));
    auto drawn = [&](int row) {
        std::vector<DWORD> pixels;
        WaitUntil([&] {
            auto cell = IconCell(row);
            pixels = cell ? ScreenPixels(*cell) : std::vector<DWORD>();
            return std::count_if(pixels.begin(), pixels.end(),
                                 [&](DWORD c) { return c != background; }) >= 16;
        });
        return pixels;
    };
    std::vector<DWORD> padIcon = drawn(pad), helperIcon = drawn(RowOf(helper.Window("shown")));
    ASSERT_FALSE(padIcon.empty()) << "the screen could not be read";
    EXPECT_NE(padIcon, helperIcon) << "notepad's row shows the same picture as the helper's";
    for (auto* pixels : {&padIcon, &helperIcon}) {
        std::set<DWORD> colours(pixels->begin(), pixels->end());
        EXPECT_GE(colours.size(), 2u) << "an icon cell is blank";
    }
}

TEST_F(SelectionTest, ClickingARowPutsThatRowsSummaryOnTheClipboardAndRefreshTheFirstRows) {
    const std::string title = "E2E 選択の窓";
    auto& helper = StartHelper({
        {"window", "picked", "--title", title},
        {"window", "other", "--title", "E2E other row"},
    });
    KelvorinApp& app = Launch();
    RemoteListView& list = app.List();
    // Code page 1252 has no such characters: each reads as '?'.
    const std::string caption = GetACP() == 932 ? title : "E2E ????";
    const std::string expected =
        Summary({HandleText(helper.Window("picked")), "e2e_helper.exe", caption,
                 helper.Reported("pid"), helper.Reported("path")});

    int row = RowOf(helper.Window("picked"));
    ASSERT_GE(row, 0);
    EXPECT_EQ(list.Cell(row, kCaptionCol), caption);
    ASSERT_TRUE(PutOnClipboard("E2E before the click"));
    ASSERT_TRUE(ClickRow(row));
    ASSERT_TRUE(WaitUntil([&] { return ClipboardText() == expected; }))
        << "clipboard: " << ClipboardText().value_or("<none>") << "\nexpected: " << expected;
    EXPECT_EQ(list.SelectedRow(), row);
    EXPECT_EQ(app.Text(ids::CaptionTxt), caption) << "the load fills the caption field";

    // A refresh loads the first row it adds, which is the top row while unsorted.
    ASSERT_TRUE(PutOnClipboard("E2E before the refresh"));
    ASSERT_TRUE(app.Click(ids::PRefreshBtn));
    ASSERT_GT(list.RowCount(), 0);
    std::vector<std::string> first = list.Row(0);
    EXPECT_EQ(ClipboardText(), RowSummary(first));
    EXPECT_FALSE(first[kProcessNameCol].empty()) << "the top row has no process data";
}

TEST_F(SelectionTest, HeaderClicksSortDescendingThenAscendingWhicheverColumn) {
    // Letter case differs from the alphabetical order, and two titles differ
    // only in case: equal keys, which keep their order both ways. Each click
    // is checked against the whole column, so at most one of the two can find
    // the list in its order already.
    auto& helper = StartHelper({
        {"window", "b", "--title", "E2E sort b"},
        {"window", "c", "--title", "E2E sort C"},
        {"window", "a", "--title", "e2e SORT a", "--hidden"},
        {"window", "x", "--title", "E2E sort x"},
        {"window", "X", "--title", "e2e SORT X"},
    });
    KelvorinApp& app = Launch();
    RemoteListView& list = app.List();
    const std::set<std::string> ours = {"E2E sort b", "e2e SORT a", "E2E sort C"};
    const std::set<std::string> sameKey = {"E2E sort x", "e2e SORT X"};
    const int rows = list.RowCount();
    ASSERT_TRUE(list.Select(RowOf(helper.Window("b"))));
    auto selectedHandle = [&] { return list.Cell(list.SelectedRow(), kHandleCol); };
    const std::string selected = selectedHandle();
    ASSERT_EQ(selected, HandleText(helper.Window("b")));

    ASSERT_TRUE(ClickHeader(kCaptionCol));
    ASSERT_TRUE(WaitUntil([&] { return InOrder(ColumnTexts(kCaptionCol), true); }))
        << InOrder(ColumnTexts(kCaptionCol), true).message();
    EXPECT_EQ(Subsequence(ColumnTexts(kCaptionCol), ours),
              (std::vector<std::string>{"E2E sort C", "E2E sort b", "e2e SORT a"}));
    const auto sameKeyOrder = Subsequence(ColumnTexts(kCaptionCol), sameKey);
    EXPECT_EQ(list.RowCount(), rows);
    EXPECT_EQ(selectedHandle(), selected) << "the selection stays with its row";

    ASSERT_TRUE(ClickHeader(kCaptionCol));
    ASSERT_TRUE(WaitUntil([&] { return InOrder(ColumnTexts(kCaptionCol), false); }))
        << InOrder(ColumnTexts(kCaptionCol), false).message();
    EXPECT_EQ(Subsequence(ColumnTexts(kCaptionCol), ours),
              (std::vector<std::string>{"e2e SORT a", "E2E sort b", "E2E sort C"}));
    EXPECT_EQ(Subsequence(ColumnTexts(kCaptionCol), sameKey), sameKeyOrder)
        << "keys equal but for the letter case swapped places";
    EXPECT_EQ(selectedHandle(), selected);

    // Another column continues from the last order: descending again. The
    // visibility header lies wholly beneath IMEUnShowChk, out of a person's
    // reach, so the click goes to the header itself.
    auto item = HeaderItem(kVisibilityCol);
    ASSERT_TRUE(item);
    HWND header = reinterpret_cast<HWND>(SendMessageW(list.Handle(), LVM_GETHEADER, 0, 0));
    POINT p{(item->left + item->right) / 2, (item->top + item->bottom) / 2};
    ScreenToClient(header, &p);
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    ASSERT_TRUE(WaitUntil([&] { return InOrder(ColumnTexts(kVisibilityCol), true); }))
        << InOrder(ColumnTexts(kVisibilityCol), true).message();
    std::vector<std::string> visibility = ColumnTexts(kVisibilityCol);
    EXPECT_EQ(std::set<std::string>(visibility.begin(), visibility.end()), (std::set<std::string>{kShown, kHidden})) << "both kinds of row are there";

    // And the sort stays in force through a refresh.
    ASSERT_TRUE(app.Click(ids::PRefreshBtn));
    EXPECT_TRUE(InOrder(ColumnTexts(kVisibilityCol), true));
}

}  // namespace
}  // namespace e2e
