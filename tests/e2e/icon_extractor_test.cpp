// The icon extractor window, opened from the main window on a helper whose
// executable carries three icons of known pictures: its layout, the listing,
// saving through the real save dialog, and closing back to the main window.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <optional>
#include <stdexcept>

#include "harness/desktop.h"
#include "harness/fixture.h"
#include "harness/icon_file.h"
#include "harness/input.h"
#include "harness/modal.h"
#include "harness/options.h"
#include "harness/wait.h"

namespace e2e {
namespace {

// --- pictures ------------------------------------------------------------------

// Pixels as COLORREF, rows top-down.
struct Picture {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

// What the extractor must show for an icon: DrawIcon at the system size onto white.
Picture DrawnOnWhite(HICON icon) {
    Picture p{GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), {}};
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), p.width, -p.height, 1, 32, BI_RGB}};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, dib);
    PatBlt(dc, 0, 0, p.width, p.height, WHITENESS);
    DrawIcon(dc, 0, 0, icon);
    GdiFlush();
    auto* px = static_cast<const DWORD*>(bits);
    for (int i = 0; i < p.width * p.height; ++i)
        p.pixels.push_back(RGB(GetBValue(px[i]), GetGValue(px[i]), GetRValue(px[i])));  // BGRA
    SelectObject(dc, old);
    DeleteObject(dib);
    DeleteDC(dc);
    return p;
}

std::optional<std::string> ReadWholeFile(const std::wstring& path) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    if (!file) return std::nullopt;
    std::string bytes(size_t(GetFileSize(file.Get(), nullptr)), '\0');
    DWORD read = 0;
    if (!ReadFile(file.Get(), bytes.data(), DWORD(bytes.size()), &read, nullptr))
        return std::nullopt;
    bytes.resize(read);
    return bytes;
}

// A 24-bit uncompressed BMP file; nullopt for anything else.
std::optional<Picture> ReadBmp24(const std::string& bytes) {
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    if (bytes.size() < sizeof file + sizeof info) return std::nullopt;
    std::memcpy(&file, bytes.data(), sizeof file);
    std::memcpy(&info, bytes.data() + sizeof file, sizeof info);
    if (file.bfType != 0x4D42 || info.biBitCount != 24 || info.biCompression != BI_RGB ||
        info.biWidth <= 0 || info.biHeight == 0)
        return std::nullopt;
    Picture p{info.biWidth, std::abs(info.biHeight), {}};
    size_t stride = (size_t(p.width) * 3 + 3) & ~size_t(3);
    if (file.bfOffBits + stride * size_t(p.height) > bytes.size()) return std::nullopt;
    for (int y = 0; y < p.height; ++y) {
        int stored = info.biHeight > 0 ? p.height - 1 - y : y;
        auto row = reinterpret_cast<const BYTE*>(bytes.data() + file.bfOffBits + stride * stored);
        for (int x = 0; x < p.width; ++x)
            p.pixels.push_back(RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]));
    }
    return p;
}

// The file names in a directory.
std::vector<std::string> FilesIn(const std::wstring& dir) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((dir + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(Utf8(name));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

int IconCountOf(const std::wstring& path) {
    return int(reinterpret_cast<UINT_PTR>(
        ExtractIconW(GetModuleHandleW(nullptr), path.c_str(), UINT(-1))));
}

int Pixels(int twips) {
    HDC dc = GetDC(nullptr);
    int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(nullptr, dc);
    return int(std::lround(twips * double(dpi) / 1440.0));
}

std::vector<std::string> Numbered(int n) {
    std::vector<std::string> texts;
    for (int i = 1; i <= n; ++i) texts.push_back(std::to_string(i));
    return texts;
}

// --- the fixture -----------------------------------------------------------------

class IconExtractorTest : public KelvorinTest {
  protected:
    void SetUp() override {
        std::string test = testing::UnitTest::GetInstance()->current_test_info()->name();
        scratch_ = WindowsPath(GetOptions().workDir + "/" + test);
        CreateDirectoryW(scratch_.c_str(), nullptr);
        saveDir_ = scratch_ + L"\\saved";
        CreateDirectoryW(saveDir_.c_str(), nullptr);
    }
    void TearDown() override {
        if (extractor_ && IsWindow(extractor_))
            SendMessageTimeoutW(Control(ids::IconCommand3), BM_CLICK, 0, 0, SMTO_NORMAL, 5000,
                                nullptr);
        items_.reset();
        opening_.reset();
        KelvorinTest::TearDown();
    }

    // A copy of the helper with the three icons, under a name the ANSI code
    // page can hold but that is not plain ASCII, showing one titled window.
    HelperProcess& StartIconHelper(bool damaged = false) {
        iconExe_ =
            scratch_ + (GetOptions().codepage == 932 ? L"\\アイコン見本.exe" : L"\\Icônes.exe");
        if (!CopyFileW(GetOptions().helperExe.c_str(), iconExe_.c_str(), FALSE) ||
            !AddIcons(iconExe_))
            throw std::runtime_error("could not give the helper copy its icons");
        std::vector<std::string> args = {"window", "icons", "--title", "E2E icons"};
        helpers_.push_back(std::make_unique<HelperProcess>(HelperProcess::Start(args, iconExe_)));
        // The system would not start a damaged file; it takes the running one's place.
        const std::wstring aside = iconExe_ + L".running";
        if (damaged &&
            !(MoveFileW(iconExe_.c_str(), aside.c_str()) &&
              CopyFileW(aside.c_str(), iconExe_.c_str(), TRUE) && DamageFirstIcon(iconExe_)))
            throw std::runtime_error("could not damage the helper copy");
        return *helpers_.back();
    }

    // Selects the row of window h in the main list and opens the extractor on
    // it, as the user does; returns once it has listed the file's icons.
    void OpenOn(HWND h) {
        RemoteListView& list = app_->List();
        int row = list.FindRow(kHandleCol, HandleText(h));
        ASSERT_GE(row, 0) << "no row for the window";
        ASSERT_TRUE(list.Select(row));
        ASSERT_EQ(list.SelectedRow(), row);
        rowPath_ = list.Cell(row, kFullPathCol);
        OpenOnSelectedRow();
    }
    void OpenOnSelectedRow() {
        items_.reset();
        opening_ = std::make_unique<AsyncClick>(app_->Control(ids::PIconGetBtn));
        extractor_ = WaitForOwnedWindow(app_->ProcessId(), ids::kIconGetterClass, nullptr, 10s);
        ASSERT_TRUE(extractor_) << "the extractor window did not appear";
        ASSERT_TRUE(WaitUntil([&] { return !WindowText(Control(ids::IconLabel3)).empty(); }, 10s))
            << "the extractor listed nothing after it was shown";
        items_ = std::make_unique<RemoteListView>(Control(ids::IconListView1));
    }
    HWND Control(int id) const { return FindControl(extractor_, id); }
    std::string Count() const { return WindowText(Control(ids::IconLabel3)); }
    std::vector<std::string> Items() const {
        std::vector<std::string> texts;
        for (int i = 0, n = items_->RowCount(); i < n; ++i) texts.push_back(items_->Cell(i, 0));
        return texts;
    }
    // Types a path into Text1 and presses "アイコン再取得"; the click returns when listed.
    void Relist(const std::wstring& path) {
        SendMessageW(Control(ids::IconText1), WM_SETTEXT, 0, LPARAM(path.c_str()));
        ASSERT_TRUE(SendMessageTimeoutW(Control(ids::IconCommand1), BM_CLICK, 0, 0, SMTO_NORMAL,
                                        30000, nullptr));
    }
    void Close() {
        ASSERT_TRUE(SendMessageTimeoutW(Control(ids::IconCommand3), BM_CLICK, 0, 0, SMTO_NORMAL,
                                        10000, nullptr));
        ASSERT_TRUE(opening_->WaitDone(5s)) << "the main window's click did not return";
        EXPECT_FALSE(IsWindow(extractor_));
        items_.reset();
    }

    // Presses "保存" and returns the save dialog, waiting in `click`.
    HWND OpenSaveDialog(std::unique_ptr<AsyncClick>& click) {
        click = std::make_unique<AsyncClick>(Control(ids::IconCommand2));
        HWND dialog = WaitForOwnedWindow(app_->ProcessId(), L"#32770", nullptr, 10s);
        EXPECT_TRUE(dialog) << "no save dialog";
        return dialog;
    }
    // Saves the item at `index` under `name` (in the save directory). A replace
    // question is answered with `replace`; after No the dialog is cancelled.
    // Returns whether the question came.
    bool Save(int index, const std::wstring& name, bool replace = true) {
        if (index >= 0) {
            EXPECT_TRUE(items_->Select(index));
        }
        std::unique_ptr<AsyncClick> click;
        HWND dialog = OpenSaveDialog(click);
        if (!dialog) return false;
        std::wstring path = saveDir_ + L"\\" + name;
        SendMessageW(FileNameField(dialog), WM_SETTEXT, 0, LPARAM(path.c_str()));
        EXPECT_TRUE(PressButton(dialog, IDOK));
        HWND question = nullptr;
        WaitUntil(
            [&] {
                question = WaitForOwnedWindow(app_->ProcessId(), L"#32770", dialog, 0ms);
                return question || click->Done();
            },
            10s);
        if (question) {
            EXPECT_TRUE(PressButton(question, replace ? IDYES : IDNO));
            if (!replace) {
                EXPECT_TRUE(WaitUntil([&] { return !IsWindow(question); }));
                EXPECT_TRUE(IsWindow(dialog)) << "No to replacing closed the dialog";
                EXPECT_TRUE(PressButton(dialog, IDCANCEL));
            }
        }
        EXPECT_TRUE(click->WaitDone(10s)) << "saving did not finish";
        return question != nullptr;
    }
    std::optional<Picture> SavedPicture(const std::wstring& name) {
        auto bytes = ReadWholeFile(saveDir_ + L"\\" + name);
        return bytes ? ReadBmp24(*bytes) : std::nullopt;
    }
    Picture Expected(int index) {
        HICON icon = ExtractIconW(GetModuleHandleW(nullptr), iconExe_.c_str(), UINT(index));
        Picture p = DrawnOnWhite(icon);
        DestroyIcon(icon);
        return p;
    }

    std::wstring scratch_, saveDir_, iconExe_;
    std::string rowPath_;
    HWND extractor_ = nullptr;
    std::unique_ptr<AsyncClick> opening_;
    std::unique_ptr<RemoteListView> items_;
};

// --- the tests ---------------------------------------------------------------------

TEST_F(IconExtractorTest, OpensModallyOnTheSelectedRowsFileAndListsItsIconsNothingSelected) {
    auto& helper = StartIconHelper();
    KelvorinApp& app = Launch();
    ASSERT_NO_FATAL_FAILURE(OpenOn(helper.Window("icons")));

    EXPECT_EQ(rowPath_, Utf8(iconExe_));
    EXPECT_EQ(WindowText(Control(ids::IconText1)), rowPath_);
    EXPECT_EQ(IconCountOf(iconExe_), kIconCount) << "the driver's own count";
    EXPECT_EQ(Count(), std::to_string(kIconCount));
    EXPECT_EQ(Items(), Numbered(kIconCount));
    EXPECT_EQ(items_->SelectedRow(), -1) << "saving must need a deliberate choice";
    EXPECT_EQ(GetWindow(extractor_, GW_OWNER), app.MainWindow());
    EXPECT_FALSE(IsWindowEnabled(app.MainWindow())) << "the main window takes no input";
    EXPECT_FALSE(opening_->Done()) << "the click must wait in the modal loop";
}

// The system's icon code reads past the end of such a file and dies.
TEST_F(IconExtractorTest, ADamagedIconResourceCostsTheFileItsIconsNotTheProgramItsRow) {
    auto& helper = StartIconHelper(true);
    Launch();
    ASSERT_NO_FATAL_FAILURE(OpenOn(helper.Window("icons")));
    EXPECT_EQ(Count(), "0");
    EXPECT_EQ(items_->RowCount(), 0);
}

TEST_F(IconExtractorTest, LaysOutItsControlsAtTheirDesignPlaces) {
    auto& helper = StartIconHelper();
    Launch();
    ASSERT_NO_FATAL_FAILURE(OpenOn(helper.Window("icons")));

    EXPECT_EQ(WindowText(extractor_), "プロセスアイコン取得ツール");
    SIZE client = ClientSize(extractor_);
    EXPECT_EQ(client.cx, Pixels(6360));
    EXPECT_EQ(client.cy, Pixels(6465));
    LONG style = GetWindowLongW(extractor_, GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_SYSMENU);

    struct Place {
        int id;
        const char* caption;  // null: not fixed
        int left, top, width, height;
    };
    const Place places[] = {
        {ids::IconText1, nullptr, 240, 120, 4575, 375},
        {ids::IconCommand1, "アイコン再取得", 4920, 120, 1335, 375},
        {ids::IconLabel3, nullptr, 600, 600, 1215, 375},
        {ids::IconLabel1, "個のアイコンが見つかりました", 2040, 720, 2535, 255},
        {ids::IconListView1, nullptr, 240, 1080, 6015, 4695},
        {ids::IconCommand2, "保存", 4200, 5880, 975, 495},
        {ids::IconCommand3, "閉じる", 5280, 5880, 975, 495},
        {ids::IconLabel2, "※アイコンを選択して保存ボタンで保存できます", 240, 6000, 4695, 255},
    };
    for (const Place& p : places) {
        SCOPED_TRACE(p.id);
        HWND h = Control(p.id);
        ASSERT_TRUE(h);
        if (p.caption) {
            EXPECT_EQ(WindowText(h), p.caption);
        }
        RECT r = RectInClientOf(h, extractor_);
        EXPECT_NEAR(r.left, Pixels(p.left), 1);
        EXPECT_NEAR(r.top, Pixels(p.top), 1);
        EXPECT_NEAR(r.right - r.left, Pixels(p.width), 1);
        EXPECT_NEAR(r.bottom - r.top, Pixels(p.height), 1);
        EXPECT_TRUE(IsWindowVisible(h));
    }
    EXPECT_EQ(GetWindowLongW(Control(ids::IconListView1), GWL_STYLE) & LVS_TYPEMASK, LVS_ICON);

    // Tab order: Text1, Command1, ListView1, Command2, Command3, and round again.
    const int order[] = {ids::IconText1,    ids::IconCommand1, ids::IconListView1,
                         ids::IconCommand2, ids::IconCommand3, ids::IconText1};
    for (size_t i = 0; i + 1 < std::size(order); ++i) {
        HWND next = GetNextDlgTabItem(extractor_, Control(order[i]), FALSE);
        EXPECT_EQ(GetDlgCtrlID(next), order[i + 1]) << "after " << order[i];
    }
}

TEST_F(IconExtractorTest, ListsATypedPathAfreshAndKeepsTheListForAFileWithoutIcons) {
    auto& helper = StartIconHelper();
    Launch();
    ASSERT_NO_FATAL_FAILURE(OpenOn(helper.Window("icons")));

    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    std::wstring shell32 = std::wstring(system) + L"\\shell32.dll";
    int shellIcons = IconCountOf(shell32);
    ASSERT_GT(shellIcons, kIconCount) << "the system's shell32.dll should hold many icons";
    Relist(shell32);
    EXPECT_EQ(Count(), std::to_string(shellIcons));
    EXPECT_EQ(Items(), Numbered(shellIcons));

    Relist(scratch_ + L"\\no such file.exe");
    EXPECT_EQ(Count(), "0");
    EXPECT_EQ(items_->RowCount(), shellIcons) << "a file without icons leaves the list alone";

    Relist(iconExe_);
    EXPECT_EQ(Count(), std::to_string(kIconCount));
    EXPECT_EQ(Items(), Numbered(kIconCount)) << "a new listing replaces the old one";
}

TEST_F(IconExtractorTest, SavesTheSelectedIconAsA24BitBitmapOfItsPictureOnWhite) {
    auto& helper = StartIconHelper();
    Launch();
    ASSERT_NO_FATAL_FAILURE(OpenOn(helper.Window("icons")));

    // The dialog offers exactly the bitmap filter, and belongs to the extractor.
    std::unique_ptr<AsyncClick> click;
    HWND dialog = OpenSaveDialog(click);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), extractor_);
    HWND types = GetDlgItem(dialog, 0x470);  // cmb1, the file type list
    ASSERT_TRUE(types);
    EXPECT_EQ(SendMessageW(types, CB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(WindowText(types), "ビットマップ(*.bmp)");
    EXPECT_TRUE(PressButton(dialog, IDCANCEL));
    ASSERT_TRUE(click->WaitDone(10s));

    const std::wstring name = L"アイコン2.bmp";
    EXPECT_FALSE(Save(1, name)) << "asked to replace a file that did not exist";
    EXPECT_EQ(FilesIn(saveDir_), std::vector<std::string>{Utf8(name)}) << "no temporary left";

    std::string unixFile = GetOptions().workDir + "/" +
                           testing::UnitTest::GetInstance()->current_test_info()->name() +
                           "/saved/" + Utf8(name);
    UnixResult identify =
        RunUnix({"/usr/bin/identify", "-format", "%m|%w|%h|%z|%r|%[channels]", unixFile}, 20s);
    ASSERT_TRUE(identify.finished);
    int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
    EXPECT_EQ(identify.output,
              "BMP3|" + std::to_string(cx) + "|" + std::to_string(cy) + "|8|DirectClass sRGB |srgb")
        << "identify read it as: " << identify.output;

    std::optional<Picture> saved = SavedPicture(name);
    ASSERT_TRUE(saved) << "not a 24-bit bitmap";
    Picture expected = Expected(1);
    ASSERT_EQ(saved->width, expected.width);
    ASSERT_EQ(saved->height, expected.height);
    EXPECT_EQ(saved->At(0, 0), RGB(255, 255, 255)) << "transparent parts must be white";
    EXPECT_EQ(saved->At(cx / 2, cy / 2), kIconColours[1]) << "not the second icon";
    int differing = 0;
    for (size_t i = 0; i < expected.pixels.size(); ++i)
        differing += saved->pixels[i] != expected.pixels[i];
    EXPECT_EQ(differing, 0) << "pixels differ from DrawIcon of the icon on white";
}

TEST_F(IconExtractorTest, SaveAsksBeforeReplacingWritesNothingWhenCancelledAndKeepsTypedNames) {
    auto& helper = StartIconHelper();
    Launch();
    ASSERT_NO_FATAL_FAILURE(OpenOn(helper.Window("icons")));
    const Picture first = Expected(0), third = Expected(2);

    // Nothing selected: the dialog may come, but nothing is written.
    Save(-1, L"unselected.bmp");
    EXPECT_TRUE(FilesIn(saveDir_).empty());

    EXPECT_FALSE(Save(0, L"icon.bmp"));
    ASSERT_EQ(SavedPicture(L"icon.bmp")->pixels, first.pixels);

    // Cancelled: the earlier file stays as it was, and nothing else appears.
    ASSERT_TRUE(items_->Select(2));
    std::unique_ptr<AsyncClick> click;
    HWND dialog = OpenSaveDialog(click);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(PressButton(dialog, IDCANCEL));
    ASSERT_TRUE(click->WaitDone(10s));
    EXPECT_EQ(FilesIn(saveDir_), std::vector<std::string>{"icon.bmp"});
    EXPECT_EQ(SavedPicture(L"icon.bmp")->pixels, first.pixels) << "a cancel overwrote the file";

    // An existing name is replaced only after Yes.
    EXPECT_TRUE(Save(2, L"icon.bmp", false)) << "replaced without asking";
    EXPECT_EQ(SavedPicture(L"icon.bmp")->pixels, first.pixels) << "replaced after No";
    EXPECT_TRUE(Save(2, L"icon.bmp", true));
    EXPECT_EQ(SavedPicture(L"icon.bmp")->pixels, third.pixels) << "not replaced after Yes";

    // No extension is added to a typed name.
    Save(2, L"no extension");
    EXPECT_EQ(FilesIn(saveDir_), (std::vector<std::string>{"icon.bmp", "no extension"}));
    std::optional<Picture> typed = SavedPicture(L"no extension");
    ASSERT_TRUE(typed);
    EXPECT_EQ(typed->pixels, third.pixels);

    // A read-only file cannot be replaced: it stays as it was, and the user is told why.
    std::wstring locked = saveDir_ + L"\\icon.bmp";
    ASSERT_TRUE(SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(items_->Select(0));
    dialog = OpenSaveDialog(click);
    ASSERT_TRUE(dialog);
    SendMessageW(FileNameField(dialog), WM_SETTEXT, 0, LPARAM(locked.c_str()));
    ASSERT_TRUE(PressButton(dialog, IDOK));
    if (HWND question = WaitForOwnedWindow(app_->ProcessId(), L"#32770", dialog, 5s)) {
        ASSERT_TRUE(PressButton(question, IDYES));
    }
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 10s));
    HWND box = WaitForOwnedWindow(app_->ProcessId(), L"#32770", extractor_, 10s);
    ASSERT_TRUE(box) << "a failed save said nothing";
    std::string text = ReadMessageBox(box).text;
    EXPECT_EQ(text.rfind("ファイルを保存できませんでした。\r\n" + Utf8(locked) + "\r\n", 0), 0u) << text;
    EXPECT_TRUE(PressButton(box, IDOK));
    EXPECT_TRUE(click->WaitDone(10s));
    EXPECT_EQ(SavedPicture(L"icon.bmp")->pixels, third.pixels) << "the read-only file changed";
    EXPECT_EQ(FilesIn(saveDir_), (std::vector<std::string>{"icon.bmp", "no extension"}));
    SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_NORMAL);

    // A path past MAX_PATH never reaches the dialog's own code, which is not safe with it.
    dialog = OpenSaveDialog(click);
    ASSERT_TRUE(dialog);
    std::wstring tooLong = saveDir_ + L"\\" + std::wstring(270 - saveDir_.size(), L'a') + L".bmp";
    SendMessageW(FileNameField(dialog), WM_SETTEXT, 0, LPARAM(tooLong.c_str()));
    ASSERT_TRUE(PressButton(dialog, IDOK));
    box = WaitForOwnedWindow(app_->ProcessId(), L"#32770", dialog, 10s);
    ASSERT_TRUE(box) << "a path past MAX_PATH went unremarked";
    EXPECT_TRUE(PressButton(box, IDOK));
    EXPECT_TRUE(PressButton(dialog, IDCANCEL));
    EXPECT_TRUE(click->WaitDone(10s));
    EXPECT_TRUE(app_->Process().Running());
    EXPECT_EQ(FilesIn(saveDir_), (std::vector<std::string>{"icon.bmp", "no extension"}));
}

}  // namespace
}  // namespace e2e
