// The icon extractor's save, through the real save dialog, of a helper's
// icons: the questions it asks, what it refuses, and what it says.
#include "harness/e2e.h"

namespace e2e {
namespace {

class ExtractorTest : public KelvorinTest {
  protected:
    void SetUp() override {
        HWND w =
            StartHelper("window|w|--title|E2E extractor", IconHelper("save", L"icons.exe"))["w"];
        App& app = Launch();
        ASSERT_TRUE(app.List().Select(app.RowOf(w)));
        opening_ = std::make_unique<AsyncClick>(app(ids::PIconGetBtn));
        extractor_ = WaitWindow(app.Process().Id(), ids::kIconGetterClass, app.Main());
        ASSERT_TRUE(
            WaitUntil([&] { return Text(GetDlgItem(extractor_, ids::IconLabel3)) == "3"; }));
        items_ = std::make_unique<RemoteList>(GetDlgItem(extractor_, ids::IconListView1));
    }
    void TearDown() override {
        items_.reset();
        PostMessageW(GetDlgItem(extractor_, ids::IconCommand3), BM_CLICK, 0, 0);
        KelvorinTest::TearDown();
    }
    static std::wstring Path(const std::wstring& name) {
        return WinPath(opt.workDir + "/save/") + name;
    }
    static std::string Saved(const std::wstring& name) { return FileText(Path(name)); }
    // Presses 保存 with item `index` selected (-1: none) and types `name` into
    // the dialog (empty: cancels it). A replace question gets `replace` (No,
    // then the dialog is cancelled); a message box is read and closed. Says
    // "asked", the box's text, or nothing.
    std::string Save(int index, const std::wstring& name, bool replace = true) {
        EXPECT_TRUE(index < 0 || items_->Select(index));
        AsyncClick click(GetDlgItem(extractor_, ids::IconCommand2));
        const DWORD pid = app_->Process().Id();
        HWND dialog = WaitWindow(pid, L"#32770", extractor_), box = nullptr;
        SendMessageW(FileNameField(dialog), WM_SETTEXT, 0, LPARAM(Path(name).c_str()));
        EXPECT_TRUE(Press(dialog, name.empty() ? IDCANCEL : IDOK)) << "no save dialog";
        auto next = [&] {
            return click.Done() || (box = WaitWindow(pid, L"#32770", nullptr, 0ms, dialog));
        };
        std::string said;
        for (int i = 0; i < 3 && WaitUntil(next, 10s) && !click.Done(); ++i) {
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

    HWND extractor_ = nullptr;
    std::unique_ptr<AsyncClick> opening_;
    std::unique_ptr<RemoteList> items_;
};

TEST_F(ExtractorTest, SaveAsksBeforeReplacingAndSaysWhyNothingWasWritten) {
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
    AsyncClick click(GetDlgItem(extractor_, ids::IconCommand2));
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
