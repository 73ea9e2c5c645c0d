// The main window as the user first sees it: caption, size, place, and every
// control with its caption, kind and design position.
#include <windows.h>

#include <commctrl.h>

#include <cmath>

#include "harness/desktop.h"
#include "harness/fixture.h"
#include "harness/remote_list_view.h"

namespace e2e {
namespace {

enum class Kind { Push, Check, Group, Label, Edit, List, Slider, Combo, Picture, Line };

struct ControlSpec {
    int id;
    const char* name;
    Kind kind;
    const char* caption;           // null: not a fixed caption (text boxes, pictures)
    int left, top, width, height;  // twips, relative to the main window's client area
};

// Controls inside the frames are given at their place on the window.
const ControlSpec kControls[] = {
    {ids::ListView1, "ListView1", Kind::List, nullptr, 120, 120, 5295, 3975},
    {ids::Command1, "Command1", Kind::Push, "表示する", 5520, 120, 3255, 1695},
    {ids::Command3, "Command3", Kind::Push, "タスクトレイに格納", 9000, 120, 1815, 375},
    {ids::Command4, "Command4", Kind::Push, "プログラムの終了", 9000, 600, 1815, 375},
    {ids::Label1, "Label1", Kind::Label,
     "※「Ctrl+1」でも、アクティブウインドウを非表示にできます。(この画面を非表示の場合)", 5520,
     2040, 5175, 375},
    {ids::Frame2, "Frame2", Kind::Group, "コントロール選択ツール", 5520, 2640, 5295, 1335},
    {ids::PRefreshBtn, "PRefreshBtn", Kind::Push, "更新", 120, 4200, 1695, 375},
    {ids::PForceCloseBtn, "PForceCloseBtn", Kind::Push, "プロセス強制終了", 1920, 4200, 1695, 375},
    {ids::PEnd, "PEnd", Kind::Push, "プロセスを閉じる", 3720, 4200, 1575, 375},
    {ids::Command2, "Command2", Kind::Push, "オプション...", 9120, 4200, 1695, 375},
    {ids::IMEUnShowChk, "IMEUnShowChk", Kind::Check, "IME・ATOK関連＆このプロセスを非表示", 1680,
     120, 3615, 495},
    {ids::Label13, "Label13", Kind::Label, "ハンドル", 5640, 2880, 1215, 375},
    {ids::HandleTxt, "HandleTxt", Kind::Edit, nullptr, 6960, 2880, 1335, 270},
    {ids::GetParentHandleBtn, "GetParentHandleBtn", Kind::Push, "親のハンドル取得", 8400, 2880,
     2175, 255},
    {ids::Label11, "Label11", Kind::Label, "コントロール名", 5640, 3240, 1215, 495},
    {ids::txtClassName, "txtClassName", Kind::Edit, nullptr, 6960, 3240, 1335, 270},
    {ids::picFinder, "picFinder", Kind::Picture, nullptr, 10080, 3240, 540, 540},
    {ids::Label2, "Label2", Kind::Label,
     "十字をウインドウまたはコントロールにドラッグして離します→", 5760, 3600, 4335, 255},
    {ids::WinVisibleChk, "WinVisibleChk", Kind::Check, "表示", 5640, 4800, 735, 255},
    {ids::Label10, "Label10", Kind::Label, "キャプション", 120, 4920, 1815, 375},
    {ids::CaptionTxt, "CaptionTxt", Kind::Edit, nullptr, 1200, 4920, 3015, 270},
    {ids::CaptionChangeBtn, "CaptionChangeBtn", Kind::Push, "変更", 4200, 4935, 735, 255},
    {ids::TemaeChk, "TemaeChk", Kind::Check, "常に手前に表示", 5640, 5160, 1815, 255},
    {ids::Frame6, "Frame6", Kind::Group, "不透明度(2000,XP)", 120, 5400, 5055, 975},
    {ids::TaskBarShowChk, "TaskBarShowChk", Kind::Check, "タスクバーに表示", 5640, 5520, 1695, 200},
    {ids::SaihaimenChk, "SaihaimenChk", Kind::Check, "最背面に表示", 5640, 5880, 1575, 200},
    {ids::PIconGetBtn, "PIconGetBtn", Kind::Push, "プロセスのアイコン取得", 5640, 6240, 2415, 375},
    {ids::Frame3, "Frame3", Kind::Group, "コントロールボックス", 120, 6480, 5055, 615},
    {ids::ToumeiSld, "ToumeiSld", Kind::Slider, nullptr, 240, 5640, 4815, 495},
    {ids::Label17, "Label17", Kind::Label, "0", 360, 6120, 375, 255},
    {ids::Label18, "Label18", Kind::Label, "128", 2640, 6120, 375, 255},
    {ids::Label16, "Label16", Kind::Label, "255", 4800, 6120, 375, 255},
    {ids::ButtonCmb, "ButtonCmb", Kind::Combo, "閉じるボタン", 240, 6720, 2295, 300},
    {ids::ButtonUnEnabledBtn, "ButtonUnEnabledBtn", Kind::Push, "無効化", 2640, 6720, 1215, 255},
    {ids::ButtonEnabledBtn, "ButtonEnabledBtn", Kind::Push, "すべて有効化", 3840, 6720, 1215, 255},
    {ids::Image2, "Image2", Kind::Picture, nullptr, 8520, 6720, 2280, 345},
    {ids::Line1, "Line1", Kind::Line, nullptr, 0, 4710, 10890, 30},
};

constexpr int kUpperRegionHeightTwips = 4635;

int ScreenDpi() {
    HDC dc = GetDC(nullptr);
    int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return dpi;
}

int Pixels(int twips, int dpi) {
    return int(std::lround(twips * double(dpi) / 1440.0));
}

// The native control each kind is made of.
void ExpectKind(HWND h, const ControlSpec& c) {
    std::string cls = ClassName(h);
    LONG type = GetWindowLongW(h, GWL_STYLE) & BS_TYPEMASK;
    switch (c.kind) {
        case Kind::Push:
            EXPECT_EQ(cls, "Button") << c.name;
            EXPECT_TRUE(type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)
                << c.name << " style type " << type;
            break;
        case Kind::Check:
            EXPECT_EQ(cls, "Button") << c.name;
            EXPECT_TRUE(type == BS_CHECKBOX || type == BS_AUTOCHECKBOX)
                << c.name << " style type " << type;
            break;
        case Kind::Group:
            EXPECT_EQ(cls, "Button") << c.name;
            EXPECT_EQ(type, BS_GROUPBOX) << c.name;
            break;
        case Kind::Label:
        case Kind::Picture:
        case Kind::Line:
            EXPECT_EQ(cls, "Static") << c.name;
            break;
        case Kind::Edit:
            EXPECT_EQ(cls, "Edit") << c.name;
            break;
        case Kind::List:
            EXPECT_EQ(cls, "SysListView32") << c.name;
            break;
        case Kind::Slider:
            EXPECT_EQ(cls, "msctls_trackbar32") << c.name;
            break;
        case Kind::Combo:
            EXPECT_EQ(cls, "ComboBox") << c.name;
            break;
    }
}

class MainWindowTest : public testing::Test {
  protected:
    // The window is only looked at, so one program serves the whole suite.
    static void SetUpTestSuite() { app_ = KelvorinApp::Launch(); }
    static void TearDownTestSuite() {
        if (app_) app_->Quit();
        app_.reset();
    }
    void SetUp() override {
        if (!app_) GTEST_SKIP() << "kelvorin.exe did not start";
    }
    static std::unique_ptr<KelvorinApp> app_;
};
std::unique_ptr<KelvorinApp> MainWindowTest::app_;

TEST_F(MainWindowTest, HasItsCaptionFixedBorderAndDesignSizeCentredOnTheScreen) {
    HWND main = app_->MainWindow();
    EXPECT_EQ(WindowText(main), "Kelvorin");
    SIZE client = ClientSize(main);
    int dpi = ScreenDpi();
    EXPECT_EQ(client.cx, Pixels(10890, dpi));
    EXPECT_EQ(client.cy, Pixels(kUpperRegionHeightTwips, dpi));

    LONG style = GetWindowLongW(main, GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME) << "the size changes only through Command2";
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & WS_SYSMENU);

    RECT r{};
    GetWindowRect(main, &r);
    int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_NEAR(r.left + r.right, screenW, 4) << "left " << r.left << ", right " << r.right;
    EXPECT_NEAR(r.top + r.bottom, screenH, 4) << "top " << r.top << ", bottom " << r.bottom;
}

TEST_F(MainWindowTest, EveryControlHasItsCaptionKindAndDesignPosition) {
    HWND main = app_->MainWindow();
    int dpi = ScreenDpi();
    for (const ControlSpec& c : kControls) {
        SCOPED_TRACE(c.name);
        HWND h = app_->Control(c.id);
        ASSERT_TRUE(h) << c.name << " (id " << c.id << ") is missing";
        ExpectKind(h, c);
        if (c.caption) {
            EXPECT_EQ(WindowText(h), c.caption);
        }

        RECT r = RectInClientOf(h, main);
        EXPECT_NEAR(r.left, Pixels(c.left, dpi), 1);
        EXPECT_NEAR(r.top, Pixels(c.top, dpi), 1);
        // The IME box takes only the room its text needs, within its design box,
        // and leaves the list's headers and rows uncovered.
        if (c.id == ids::IMEUnShowChk) {
            EXPECT_LE(r.right - r.left, Pixels(c.width, dpi));
            EXPECT_LE(r.bottom - r.top, Pixels(c.height, dpi));
            POINT headerTop{0, 0};
            ClientToScreen(ListView_GetHeader(app_->Control(ids::ListView1)), &headerTop);
            ScreenToClient(main, &headerTop);
            EXPECT_GE(headerTop.y, r.bottom) << "the box covers the list's headers";
            continue;
        }
        // An etched line gets a static edge, which the system adds outside the asked width.
        EXPECT_NEAR(r.right - r.left, Pixels(c.width, dpi), c.kind == Kind::Line ? 2 : 1);
        // A closed combo box is as tall as its edit part, the only part it has on screen.
        EXPECT_NEAR(r.bottom - r.top, Pixels(c.height, dpi), 1);
        // The options region lies below the client area until Command2 opens it.
        if (c.top < kUpperRegionHeightTwips) {
            EXPECT_TRUE(IsWindowVisible(h));
        }
    }
}

TEST_F(MainWindowTest, CheckBoxAndComboStartWithTheirDesignValues) {
    EXPECT_EQ(app_->CheckState(ids::IMEUnShowChk), BST_CHECKED);

    HWND combo = app_->Control(ids::ButtonCmb);
    ASSERT_TRUE(combo);
    const char* items[] = {"閉じるボタン", "元に戻すボタン", "最大化ボタン", "最小化ボタン"};
    ASSERT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 4);
    for (int i = 0; i < 4; ++i) {
        wchar_t text[64] = {};
        ASSERT_LT(SendMessageW(combo, CB_GETLBTEXTLEN, WPARAM(i), 0), 64);
        SendMessageW(combo, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text));
        EXPECT_EQ(Utf8(text), items[i]) << "item " << i;
    }
}

TEST_F(MainWindowTest, ListIsAReportWithSevenColumnsAndFullRowSelection) {
    RemoteListView& list = app_->List();
    HWND h = list.Handle();
    EXPECT_EQ(GetWindowLongW(h, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
    DWORD ex = DWORD(SendMessageW(h, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    EXPECT_TRUE(ex & LVS_EX_FULLROWSELECT)
        << "a row must be selectable anywhere, its first cell is only an icon";
    EXPECT_TRUE(ex & LVS_EX_GRIDLINES);
    HIMAGELIST small =
        reinterpret_cast<HIMAGELIST>(SendMessageW(h, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    HIMAGELIST large =
        reinterpret_cast<HIMAGELIST>(SendMessageW(h, LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
    EXPECT_TRUE(small);
    EXPECT_EQ(small, large) << "both views share ImageList1";

    struct Header {
        const char* text;
        int widthTwips;
    };
    const Header headers[] = {{"Icon", 500},          {"ハンドル", 0},   {"プロセス名", 0},
                              {"キャプション", 3500}, {"プロセスID", 0}, {"フルパス", 0},
                              {"表示/非表示", 1000}};
    ASSERT_EQ(list.ColumnCount(), 7);
    int dpi = ScreenDpi();
    for (int i = 0; i < 7; ++i) {
        ListColumnInfo column = list.Column(i);
        EXPECT_EQ(column.text, headers[i].text) << "column " << i;
        EXPECT_NEAR(column.width, Pixels(headers[i].widthTwips, dpi), 1) << headers[i].text;
    }
}

}  // namespace
}  // namespace e2e
