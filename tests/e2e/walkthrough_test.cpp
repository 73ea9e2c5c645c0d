// One session as a user has it, with real input throughout: pick a row, keep
// its window in front, pick a control with the finder, save an icon of the
// row's program, retire to the notification area and quit from there.
#include <cstring>

#include "harness/e2e.h"

namespace e2e {
namespace {

// The pixels of a 24-bit BMP file as COLORREFs, top row first; empty for anything else.
std::vector<COLORREF> ReadBmp24(const std::wstring& path, SIZE expected) {
    std::string bytes = FileText(path);
    size_t read = bytes.size();
    BITMAPFILEHEADER head{};
    BITMAPINFOHEADER info{};
    if (read < sizeof head + sizeof info) return {};
    memcpy(&head, bytes.data(), sizeof head);
    memcpy(&info, bytes.data() + sizeof head, sizeof info);
    size_t stride = (size_t(expected.cx) * 3 + 3) & ~size_t(3);
    if (head.bfType != 0x4D42 || info.biBitCount != 24 || info.biCompression != BI_RGB ||
        info.biWidth != expected.cx || info.biHeight != expected.cy ||
        head.bfOffBits + stride * size_t(expected.cy) > read)
        return {};
    std::vector<COLORREF> pixels;
    for (int y = expected.cy - 1; y >= 0; --y)  // stored bottom-up
        for (int x = 0; x < expected.cx; ++x) {
            auto p = reinterpret_cast<const BYTE*>(bytes.data() + head.bfOffBits + stride * y + 3 * x);
            pixels.push_back(RGB(p[2], p[1], p[0]));
        }
    return pixels;
}

// What the extractor must save for an icon: DrawIcon at the system size onto white.
std::vector<COLORREF> DrawnOnWhite(const std::wstring& exe, int index, SIZE size) {
    HICON icon = ExtractIconW(GetModuleHandleW(nullptr), exe.c_str(), UINT(index));
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB}};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, dib);
    PatBlt(dc, 0, 0, size.cx, size.cy, WHITENESS);
    DrawIcon(dc, 0, 0, icon);
    GdiFlush();
    std::vector<COLORREF> pixels;
    for (int i = 0; i < size.cx * size.cy; ++i) {
        DWORD p = static_cast<DWORD*>(bits)[i];
        pixels.push_back(RGB(BYTE(p >> 16), BYTE(p >> 8), BYTE(p)));
    }
    SelectObject(dc, old);
    DeleteObject(dib);
    DeleteDC(dc);
    DestroyIcon(icon);
    return pixels;
}

using WalkThroughTest = KelvorinTest;

TEST_F(WalkThroughTest, FromPickingARowToQuittingFromTheNotificationArea) {
    StartShell();
    const std::string dir = Opt().workDir + "/walk";
    const std::wstring exe = WinPath(dir) + L"\\walker.exe";
    CreateDirectoryW(WinPath(dir).c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(Opt().helper.c_str(), exe.c_str(), FALSE) && AddIcons(exe));
    auto& helper = StartHelper({"window", "target", "--title", "E2E walk target", "window",
                                "owner", "--title", "E2E walk owner", "--disabled-button"}, exe);
    App& app = Launch();
    HWND main = app.Main(), target = helper["target"], button = helper["owner/button"];
    RemoteList& list = app.List();
    HWND late = StartHelper({"window", "late", "--title", "E2E walk late", "--hidden"})["late"];
    // The finder's target beside the main window, level with the cross-hair.
    RECT frame{};
    GetWindowRect(main, &frame);
    SetWindowPos(helper["owner"], nullptr, frame.right + 4, Centre(app(ids::picFinder)).y - 40,
                 260, 120, SWP_NOZORDER | SWP_NOACTIVATE);

    // 1. A click in the row's caption cell loads the row.
    const std::string summary = HandleText(target) + "\twalker.exe\tE2E walk target\t" +
                                std::to_string(helper.Pid()) + "\t" + helper.path;
    ASSERT_TRUE(PutClipboard("E2E before"));
    RECT row = list.ItemRect(app.RowOf(target));
    ASSERT_TRUE(XClick({row.left + list.ColumnWidth(kIconCol) + 40, (row.top + row.bottom) / 2}));
    ASSERT_TRUE(WaitUntil([&] { return Clipboard() == summary; })) << Clipboard().value_or("<none>");
    EXPECT_EQ(app.Text(ids::CaptionTxt), "E2E walk target");

    // 2. The options region opens below, and 常に手前に表示 puts the window on
    // top and does nothing else: no load, no refresh.
    SIZE closed = ClientSize(main);
    ASSERT_TRUE(XClick(Centre(app(ids::Command2))));
    ASSERT_TRUE(WaitUntil([&] { return ClientSize(main).cy == closed.cy + Pixels(2505); }));
    ASSERT_TRUE(PutClipboard("E2E before the box"));
    ASSERT_TRUE(XClick(Centre(app(ids::TemaeChk))));
    EXPECT_TRUE(WaitUntil([&] { return IsTopmost(target); }));
    EXPECT_TRUE(HoldsFor([&] { return Clipboard() == "E2E before the box"; }, 300ms));
    EXPECT_EQ(app.RowOf(late), -1);

    // 3. A right press on the cross-hair does nothing; a left drag onto the
    // disabled button picks it while the button is held.
    POINT box = Centre(app(ids::picFinder));
    ASSERT_TRUE(Xdo({"mousemove", std::to_string(box.x), std::to_string(box.y), "mousedown", "3"}));
    EXPECT_TRUE(HoldsFor([&] { return !CaptureOf(main) && app.Text(ids::HandleTxt).empty(); }, 300ms));
    ASSERT_TRUE(Xdo({"mouseup", "3"}));
    ASSERT_TRUE(XDrag(box, Centre(button), true));
    EXPECT_TRUE(WaitUntil([&] { return app.Text(ids::HandleTxt) == HandleText(button); }));
    EXPECT_EQ(CaptureOf(main), app(ids::picFinder));
    EXPECT_FALSE(SendMessageW(app(ids::picFinder), STM_GETICON, 0, 0)) << "the cross-hair stayed";
    RECT area{frame.left - 12, frame.top - 12, 1280, frame.bottom + 12};
    Screenshot("finder-drag", &area);
    ASSERT_TRUE(Xdo({"mouseup", "1"}));
    EXPECT_TRUE(WaitUntil([&] { return !CaptureOf(main) && SendMessageW(app(ids::picFinder), STM_GETICON, 0, 0); }));
    EXPECT_EQ(app.Text(ids::txtClassName), "Button");
    EXPECT_TRUE(IsTopmost(target));
    ASSERT_TRUE(XClick(Centre(app(ids::GetParentHandleBtn))));
    EXPECT_TRUE(WaitUntil([&] { return app.Text(ids::HandleTxt) == HandleText(helper["owner"]); }));
    EXPECT_EQ(app.Text(ids::txtClassName), "KelvorinE2eTarget");

    // 4. The row again, and the first icon of its program saved as a bitmap.
    row = list.ItemRect(app.RowOf(target));
    ASSERT_TRUE(XClick({row.left + list.ColumnWidth(kIconCol) + 80, (row.top + row.bottom) / 2}));
    ASSERT_TRUE(WaitUntil([&] { return Clipboard() == summary; }));
    ASSERT_TRUE(XClick(Centre(app(ids::PIconGetBtn))));
    HWND extractor = WaitWindow(app.Process().Id(), ids::kIconGetterClass, main);
    ASSERT_TRUE(extractor);
    ASSERT_TRUE(WaitUntil([&] { return Text(GetDlgItem(extractor, ids::IconLabel3)) == "3"; }));
    RemoteList items(GetDlgItem(extractor, ids::IconListView1));
    RECT first = items.ItemRect(0);
    ASSERT_TRUE(XClick({(first.left + first.right) / 2, (first.top + first.bottom) / 2}));
    ASSERT_TRUE(WaitUntil([&] { return items.Selected() == 0; }));
    ASSERT_TRUE(XClick(Centre(GetDlgItem(extractor, ids::IconCommand2))));
    HWND save = WaitWindow(app.Process().Id(), L"#32770", extractor);
    ASSERT_TRUE(save);
    const std::wstring file = WinPath(dir) + L"\\first icon.bmp";
    SendMessageW(FileNameField(save), WM_SETTEXT, 0, LPARAM(file.c_str()));
    ASSERT_TRUE(Press(save, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(save); }));
    SIZE size{GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)};
    EXPECT_EQ(ReadBmp24(file, size), DrawnOnWhite(exe, 0, size)) << "not the first icon on white";
    ASSERT_TRUE(XClick(Centre(GetDlgItem(extractor, ids::IconCommand3))));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(extractor) && IsWindowEnabled(main); }));

    // 5. Off to the notification area: the icon has its tip.
    ASSERT_TRUE(XClick(Centre(app(ids::Command3))));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main) && TrayIconExists(main); }));
    POINT icon = TrayIconPoint();
    ASSERT_TRUE(Xdo({"mousemove", std::to_string(icon.x - 1), std::to_string(icon.y), "mousemove",
                     std::to_string(icon.x), std::to_string(icon.y)}));
    EXPECT_TRUE(WaitUntil([&] {
        for (HWND tip : TopWindows(0, L"tooltips_class32"))
            if (Text(tip) == "Kelvorin") return true;
        return false;
    })) << "no tip on the notification icon";

    // 6. Its menu, and 終了.
    ASSERT_TRUE(XClick(icon));
    HWND menu = WaitWindow(app.Process().Id(), L"#32768", nullptr);
    ASSERT_TRUE(menu);
    RECT m{};
    GetWindowRect(menu, &m);
    ASSERT_TRUE(XClick({(m.left + m.right) / 2, m.top + (m.bottom - m.top) * 3 / 4}));  // the second item
    ASSERT_TRUE(app.Process().WaitExit(5s)) << "終了 did not end the program";
    EXPECT_EQ(app.Process().ExitCode(), 0u);
    EXPECT_FALSE(TrayIconExists(main));
}

}  // namespace
}  // namespace e2e
