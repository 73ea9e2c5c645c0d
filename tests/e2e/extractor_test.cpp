// The icon extractor, opened by keyboard on a helper whose file has three
// icons: the window, its keyboard order, the listing and the real save dialog.
#include "harness/e2e.h"

namespace e2e {
namespace {

class ExtractorTest : public KelvorinTest {
  protected:
    void SetUp() override {
        dir_ = testing::UnitTest::GetInstance()->current_test_info()->name();
        exe_ = IconHelper(dir_, L"icons.exe");
        StartShell();
        HWND w = StartHelper("window|w|--title|E2E extractor", exe_)["w"];
        App& app = Launch();
        ASSERT_TRUE(app.List().Select(app.RowOf(w)));
        ASSERT_TRUE(app.Click(ids::Command2));
        ASSERT_TRUE(Front(app.Main()) && TabTo(app.Main(), ids::PIconGetBtn) && Keys({VK_SPACE}));
        extractor_ = WaitWindow(app.Process().Id(), ids::kIconGetterClass, app.Main());
        ASSERT_TRUE(extractor_) << "Space on プロセスのアイコン取得 opened nothing";
        ASSERT_TRUE(WaitUntil([&] { return Count() == "3"; })) << "listed " << Count();
        items_ = std::make_unique<RemoteList>((*this)(ids::IconListView1));
    }
    void TearDown() override {
        items_.reset();
        PostMessageW((*this)(ids::IconCommand3), BM_CLICK, 0, 0);
        KelvorinTest::TearDown();
    }
    HWND operator()(int id) const { return GetDlgItem(extractor_, id); }
    std::string Count() const { return Text((*this)(ids::IconLabel3)); }
    std::vector<std::string> Items() const {
        std::vector<std::string> texts;
        for (int i = 0; i < items_->Count(); ++i) texts.push_back(items_->Cell(i, 0));
        return texts;
    }
    // Types a path and relists; the click returns when listed.
    void Relist(const std::wstring& path) {
        SendMessageW((*this)(ids::IconText1), WM_SETTEXT, 0, LPARAM(path.c_str()));
        SendMessageTimeoutW((*this)(ids::IconCommand1), BM_CLICK, 0, 0, SMTO_NORMAL, 30000,
                            nullptr);
    }
    std::wstring Path(const std::wstring& name) {
        return WinPath(opt.workDir + "/" + dir_) + L"\\" + name;
    }
    // Presses 保存 with item `index` selected (-1: none) and types `name` into
    // the dialog (empty: cancels it). A replace question gets `replace` (No,
    // then the dialog is cancelled); a message box is read and closed. Says
    // "asked", the box's text, or nothing.
    std::string Save(int index, const std::wstring& name, bool replace = true) {
        EXPECT_TRUE(index < 0 || items_->Select(index));
        AsyncClick click((*this)(ids::IconCommand2));
        DWORD pid = app_->Process().Id();
        HWND dialog = WaitWindow(pid, L"#32770", extractor_), box = nullptr;
        SendMessageW(FileNameField(dialog), WM_SETTEXT, 0, LPARAM(Path(name).c_str()));
        EXPECT_TRUE(Press(dialog, name.empty() ? IDCANCEL : IDOK)) << "no save dialog";
        std::string said;
        for (int i = 0; i < 3 &&
                        WaitUntil(
                            [&] {
                                return click.Done() ||
                                       (box = WaitWindow(pid, L"#32770", nullptr, 0ms, dialog));
                            },
                            10s) &&
                        !click.Done();
             ++i) {
            bool question = GetWindow(box, GW_OWNER) == dialog;
            said += question ? "asked" : MessageText(box);
            Press(box, !question ? IDOK : replace ? IDYES : IDNO);
            if (WaitUntil([&] { return !IsWindow(box); }) && question && !replace)
                Press(dialog, IDCANCEL);
        }
        EXPECT_TRUE(click.Done(10s)) << "saving did not finish";
        EXPECT_FALSE(IsWindowEnabled(app_->Main())) << "a box gave the main window back";
        return said;
    }
    std::string Saved(const std::wstring& name) { return FileText(Path(name)); }

    std::string dir_;
    std::wstring exe_;
    HWND extractor_ = nullptr;
    std::unique_ptr<RemoteList> items_;
};

TEST_F(ExtractorTest, OpensModallyOnTheRowsFileTabsInOrderAndListsWhatIsTyped) {
    HWND main = app_->Main();
    EXPECT_EQ(Text(extractor_), "プロセスアイコン取得ツール");
    EXPECT_EQ(ClientSize(extractor_).cx, Pixels(6360));
    EXPECT_EQ(ClientSize(extractor_).cy, Pixels(6465));
    EXPECT_FALSE(IsWindowEnabled(main)) << "not modal";
    EXPECT_EQ(Text((*this)(ids::IconText1)), Utf8(exe_));
    EXPECT_EQ(GetWindowLongW((*this)(ids::IconListView1), GWL_STYLE) & LVS_TYPEMASK, LVS_ICON);
    EXPECT_EQ(Items(), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(items_->Selected(), -1) << "saving needs a deliberate choice";
    EXPECT_TRUE(WaitUntil([&] { return Focused(extractor_) == (*this)(ids::IconText1); }));
    const int order[] = {ids::IconText1, ids::IconCommand1, ids::IconListView1, ids::IconCommand2,
                         ids::IconCommand3};
    for (int i = 1; i <= 5; ++i) ASSERT_TRUE(Tab(extractor_, order[i % 5]));
    for (int i = 5; i-- > 0;) ASSERT_TRUE(Tab(extractor_, order[i], true));

    // A bare name is looked for on the search path, as the system's icon calls do.
    const int many =
        int(reinterpret_cast<UINT_PTR>(ExtractIconW(nullptr, L"shell32.dll", UINT(-1))));
    Relist(L"shell32.dll");
    EXPECT_EQ(Count(), std::to_string(many));
    EXPECT_EQ(items_->Count(), many);
    const std::wstring damaged = IconHelper(dir_, L"damaged.exe");
    ASSERT_TRUE(DamageFirstIcon(damaged));
    Relist(damaged);
    EXPECT_EQ(Count(), "0");
    EXPECT_EQ(items_->Count(), many) << "a file without sound icons leaves the list alone";
    Relist(exe_);
    EXPECT_EQ(Items(), (std::vector<std::string>{"1", "2", "3"}));

    // Space on 閉じる gives the main window back, the focus where it was.
    ASSERT_TRUE(TabTo(extractor_, ids::IconCommand3) && Keys({VK_SPACE}));
    EXPECT_TRUE(WaitUntil([&] {
        return !IsWindow(extractor_) && IsWindowEnabled(main) && GetForegroundWindow() == main;
    }));
    EXPECT_TRUE(WaitUntil([&] { return Focused(main) == (*app_)(ids::PIconGetBtn); }));
}

TEST_F(ExtractorTest, SavingAsksBeforeReplacingAndSaysWhyNothingWasWritten) {
    const std::wstring name = L"icon.bmp";
    Save(-1, name);
    Save(1, L"");
    EXPECT_EQ(Saved(name), "") << "written when cancelled or with nothing selected";
    EXPECT_EQ(Save(0, name), "") << "asked to replace a file that was not there";
    const std::string first = Saved(name);
    EXPECT_EQ(first.substr(0, 2), "BM");
    EXPECT_EQ(Save(2, name, false), "asked") << "replaced without asking";
    EXPECT_TRUE(Saved(name) == first) << "replaced after No";
    EXPECT_EQ(Save(2, name, true), "asked");
    const std::string third = Saved(name);
    EXPECT_TRUE(third.size() == first.size() && third != first) << "not replaced after Yes";

    // A read-only file stays as it was, and the user is told why.
    ASSERT_TRUE(SetFileAttributesW(Path(name).c_str(), FILE_ATTRIBUTE_READONLY));
    std::string box = Save(0, name);
    EXPECT_NE(box.find("ファイルを保存できませんでした。\r\n" + Utf8(Path(name)) + "\r\n"),
              box.npos)
        << box;
    EXPECT_TRUE(Saved(name) == third);
    SetFileAttributesW(Path(name).c_str(), FILE_ATTRIBUTE_NORMAL);

    // The dialog offers the one filter, and a path past MAX_PATH never reaches
    // its own code.
    AsyncClick click((*this)(ids::IconCommand2));
    HWND dialog = WaitWindow(app_->Process().Id(), L"#32770", extractor_);
    ASSERT_TRUE(dialog);
    HWND types = GetDlgItem(dialog, 0x470);  // cmb1
    EXPECT_EQ(SendMessageW(types, CB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(Text(types), "ビットマップ(*.bmp)");
    std::wstring tooLong = Path(std::wstring(270 - Path(L"").size(), L'a') + L".bmp");
    SendMessageW(FileNameField(dialog), WM_SETTEXT, 0, LPARAM(tooLong.c_str()));
    ASSERT_TRUE(Press(dialog, IDOK));
    HWND guard = WaitWindow(app_->Process().Id(), L"#32770", dialog);
    ASSERT_TRUE(guard) << "a path past MAX_PATH went unremarked";
    EXPECT_TRUE(Press(guard, IDOK) && WaitUntil([&] { return !IsWindow(guard); }) &&
                Press(dialog, IDCANCEL));
    EXPECT_TRUE(click.Done(10s));
}

}  // namespace
}  // namespace e2e
