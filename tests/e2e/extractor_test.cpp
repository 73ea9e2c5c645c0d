// The icon extractor opened on a helper whose file has three icons: the
// window, the listing, and the real save dialog with its questions.
#include "harness/e2e.h"

namespace e2e {
namespace {

class ExtractorTest : public KelvorinTest {
  protected:
    void SetUp() override {
        dir_ = WinPath(Opt().workDir + "/" + testing::UnitTest::GetInstance()->current_test_info()->name());
        CreateDirectoryW(dir_.c_str(), nullptr);
        exe_ = dir_ + L"\\icons.exe";
        ASSERT_TRUE(CopyFileW(Opt().helper.c_str(), exe_.c_str(), FALSE) && AddIcons(exe_));
        HWND w = StartHelper({"window", "w", "--title", "E2E extractor"}, exe_)["w"];
        App& app = Launch();
        ASSERT_TRUE(app.List().Select(app.RowOf(w)));
        opening_ = std::make_unique<AsyncClick>(app(ids::PIconGetBtn));
        extractor_ = WaitWindow(app.Process().Id(), ids::kIconGetterClass, nullptr);
        ASSERT_TRUE(extractor_);
        ASSERT_TRUE(WaitUntil([&] { return Count() == "3"; })) << "listed " << Count();
        items_ = std::make_unique<RemoteList>((*this)(ids::IconListView1));
    }
    void TearDown() override {
        items_.reset();
        if (IsWindow(extractor_)) PostMessageW((*this)(ids::IconCommand3), BM_CLICK, 0, 0);
        opening_.reset();
        KelvorinTest::TearDown();
    }
    HWND operator()(int id) const { return GetDlgItem(extractor_, id); }
    std::string Count() const { return Text((*this)(ids::IconLabel3)); }
    std::vector<std::string> Items() const {
        std::vector<std::string> texts;
        for (int i = 0; i < items_->Count(); ++i) texts.push_back(items_->Cell(i, 0));
        return texts;
    }
    // Types a path into the field and relists; the click returns when listed.
    void Relist(const std::wstring& path) {
        SendMessageW((*this)(ids::IconText1), WM_SETTEXT, 0, LPARAM(path.c_str()));
        SendMessageTimeoutW((*this)(ids::IconCommand1), BM_CLICK, 0, 0, SMTO_NORMAL, 30000, nullptr);
    }
    // Presses 保存 with item `index` selected (-1: none) and types `name` into
    // the dialog (null: cancels it). A replace question gets `replace` (No, then
    // the dialog is cancelled); any other box is read and closed.
    struct Saving {
        bool asked = false;
        std::string box;
    };
    Saving Save(int index, const std::wstring* name, bool replace = true) {
        if (index >= 0) {
            EXPECT_TRUE(items_->Select(index));
        }
        AsyncClick click((*this)(ids::IconCommand2));
        DWORD pid = app_->Process().Id();
        HWND dialog = WaitWindow(pid, L"#32770", extractor_), box = nullptr;
        Saving result;
        std::wstring path = name ? dir_ + L"\\" + *name : L"";
        SendMessageW(FileNameField(dialog), WM_SETTEXT, 0, LPARAM(path.c_str()));
        EXPECT_TRUE(Press(dialog, name ? IDOK : IDCANCEL)) << "no save dialog";
        while (WaitUntil([&] { return click.Done() || (box = WaitWindow(pid, L"#32770", nullptr, 0ms, dialog)); }, 10s) &&
               !click.Done()) {
            if (GetWindow(box, GW_OWNER) == dialog) {
                result.asked = true;
                Press(box, replace ? IDYES : IDNO);
                if (!replace && WaitUntil([&] { return !IsWindow(box); })) Press(dialog, IDCANCEL);
            } else {
                result.box = ReadBox(box).text;
                Press(box, IDOK);
            }
            WaitUntil([&] { return !IsWindow(box); });
        }
        EXPECT_TRUE(click.Done()) << "saving did not finish";
        return result;
    }
    std::string Saved(const std::wstring& name) const { return FileText(dir_ + L"\\" + name); }

    std::wstring dir_, exe_;
    HWND extractor_ = nullptr;
    std::unique_ptr<AsyncClick> opening_;
    std::unique_ptr<RemoteList> items_;
};

TEST_F(ExtractorTest, OpensModallyOnTheRowsFileAndListsWhatIsTyped) {
    HWND main = app_->Main();
    EXPECT_EQ(Text(extractor_), "プロセスアイコン取得ツール");
    EXPECT_EQ(ClientSize(extractor_).cx, Pixels(6360));
    EXPECT_EQ(ClientSize(extractor_).cy, Pixels(6465));
    EXPECT_EQ(GetWindow(extractor_, GW_OWNER), main);
    EXPECT_FALSE(IsWindowEnabled(main)) << "not modal";
    EXPECT_FALSE(opening_->Done()) << "the click must wait in the modal loop";
    EXPECT_EQ(Utf8(Wide(Text((*this)(ids::IconText1)))), Utf8(exe_));
    EXPECT_EQ(GetWindowLongW((*this)(ids::IconListView1), GWL_STYLE) & LVS_TYPEMASK, LVS_ICON);
    EXPECT_EQ(Items(), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(items_->Selected(), -1) << "saving needs a deliberate choice";

    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring shell32 = std::wstring(system) + L"\\shell32.dll";
    const int many = int(reinterpret_cast<UINT_PTR>(ExtractIconW(nullptr, shell32.c_str(), UINT(-1))));
    Relist(shell32);
    EXPECT_EQ(Count(), std::to_string(many));
    EXPECT_EQ(items_->Count(), many);
    Relist(dir_ + L"\\no such file.exe");
    EXPECT_EQ(Count(), "0");
    EXPECT_EQ(items_->Count(), many) << "a file without icons leaves the list alone";
    Relist(exe_);
    EXPECT_EQ(Items(), (std::vector<std::string>{"1", "2", "3"}));

    ASSERT_TRUE(SendMessageTimeoutW((*this)(ids::IconCommand3), BM_CLICK, 0, 0, SMTO_NORMAL, 10000, nullptr));
    EXPECT_TRUE(opening_->Done(5s) && !IsWindow(extractor_) && IsWindowEnabled(main));
}

TEST_F(ExtractorTest, SavingAsksBeforeReplacingAndSaysWhyNothingWasWritten) {
    const std::wstring name = L"icon.bmp", plain = L"no extension";
    Save(-1, &name);
    Save(1, nullptr);
    EXPECT_EQ(Saved(name), "") << "written when cancelled or with nothing selected";
    EXPECT_FALSE(Save(0, &name).asked) << "asked to replace a file that was not there";
    const std::string first = Saved(name);
    EXPECT_EQ(first.substr(0, 2), "BM");
    EXPECT_TRUE(Save(2, &name, false).asked) << "replaced without asking";
    EXPECT_EQ(Saved(name), first) << "replaced after No";
    Save(2, &name, true);
    const std::string third = Saved(name);
    EXPECT_TRUE(third.size() == first.size() && third != first) << "not replaced after Yes";
    Save(2, &plain);
    EXPECT_EQ(Saved(plain), third) << "a typed name is kept as it is";

    // A read-only file stays as it was, and the user is told why.
    const std::wstring path = dir_ + L"\\" + name;
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    std::string box = Save(0, &name).box;
    EXPECT_EQ(box.rfind("ファイルを保存できませんでした。\r\n" + Utf8(path) + "\r\n", 0), 0u) << box;
    EXPECT_EQ(Saved(name), third);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);

    // The dialog offers the one bitmap filter, and a path past MAX_PATH never
    // reaches its own code.
    AsyncClick click((*this)(ids::IconCommand2));
    HWND dialog = WaitWindow(app_->Process().Id(), L"#32770", extractor_);
    ASSERT_TRUE(dialog);
    HWND types = GetDlgItem(dialog, 0x470);  // cmb1
    EXPECT_EQ(SendMessageW(types, CB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(Text(types), "ビットマップ(*.bmp)");
    std::wstring tooLong = dir_ + L"\\" + std::wstring(270 - dir_.size(), L'a') + L".bmp";
    SendMessageW(FileNameField(dialog), WM_SETTEXT, 0, LPARAM(tooLong.c_str()));
    ASSERT_TRUE(Press(dialog, IDOK));
    HWND guard = WaitWindow(app_->Process().Id(), L"#32770", dialog);
    ASSERT_TRUE(guard) << "a path past MAX_PATH went unremarked";
    EXPECT_TRUE(Press(guard, IDOK) && WaitUntil([&] { return !IsWindow(guard); }) && Press(dialog, IDCANCEL));
    EXPECT_TRUE(click.Done(10s));
    EXPECT_TRUE(app_->Process().Running());
}

}  // namespace
}  // namespace e2e
