// The cross-hair finder, dragged with real X input: what it picks, what the
// box shows during and after the drag, and that the commands then act on the
// pick; and the parent button's climb from a control to the top.
#include <windows.h>

#include <algorithm>
#include <functional>

#include "harness/desktop.h"
#include "harness/fixture.h"
#include "harness/input.h"
#include "harness/options.h"
#include "harness/process.h"
#include "harness/wait.h"

namespace e2e {
namespace {

std::string Str(int n) {
    return std::to_string(n);
}

// The window holding the capture in the program's user-interface thread, or null.
HWND CaptureOf(HWND window) {
    GUITHREADINFO info{sizeof info};
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndCapture;
}

struct Finally {
    std::function<void()> run;
    ~Finally() { run(); }
};

bool ShowsPicture(HWND box) {
    return SendMessageW(box, STM_GETICON, 0, 0) != 0;
}

// Saves the screen rectangle with the X pointer drawn in, for the
// documentation, when the run asked for screenshots. cursor_shot, a Linux tool
// built beside the driver, draws the pointer; import cannot.
void SavePictureWithPointer(const std::string& name, RECT area) {
    const std::string& dir = GetOptions().screenshotDir;
    if (dir.empty()) return;
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::string tool = Utf8(self);  // Z:\dir\kelvorin_e2e.exe
    tool = tool.substr(2, tool.rfind('\\') - 2) + "\\cursor_shot";
    std::replace(tool.begin(), tool.end(), '\\', '/');
    std::string ppm = GetOptions().workDir + "/" + name + ".ppm", png = dir + "/" + name + ".png";
    UnixResult shot = RunUnix({tool, ppm, Str(area.left), Str(area.top),
                               Str(area.right - area.left), Str(area.bottom - area.top)},
                              20s);
    UnixResult saved = RunUnix({"/usr/bin/convert", ppm, png}, 20s);
    if (shot.exitCode == 0 && saved.exitCode == 0)
        std::printf("picture: %s\n", png.c_str());
    else
        std::printf("note: no picture %s: %s%s\n", name.c_str(), shot.output.c_str(),
                    saved.output.c_str());
}

class FinderTest : public KelvorinTest {
  protected:
    void SetUp() override {
        // A stand-in for the desktop shell, as on any real desktop. Without one
        // the state reader takes every parentless window the drag passes over
        // for a bottom-most one and re-parents it, the program's own window too
        // when the pointer crosses its frame: Wine hides and shows it again, X
        // ends the pointer grab with it, and the release never reaches the box.
        StartHelper({{"window", "progman", "--class", "Progman", "--hidden"}});
        Launch();
        box_ = app_->Control(ids::picFinder);
        ASSERT_TRUE(box_);
        ASSERT_TRUE(ShowsPicture(box_)) << "the box shows no cross-hair at start";
    }
    // A helper with a dialog (holding a disabled button) owned by a plain
    // window, the dialog placed just below the box, clear of the main window.
    HelperProcess& StartDialog() {
        RECT main{};
        GetWindowRect(app_->MainWindow(), &main);
        POINT box = CentreOf(box_);
        HelperProcess& helper = StartHelper({
            {"window", "owner", "--title", "E2E finder owner", "--rect", "10", "10", "240", "120"},
            {"dialog", "dlg", "--title", "E2E finder dialog", "--owner", "owner", "--rect",
             Str(box.x - 200), Str(main.bottom + 16), "0", "0"},
        });
        // Wine activates the new dialog, shown without activation or not, and
        // may do so a moment after the report. Mouse input goes to the capture
        // only while the capturing thread is in front, so a late activation
        // would take the release away from the box: settle the front first.
        HWND front = app_->MainWindow();
        EXPECT_TRUE(WaitUntil(
            [&] {
                SetForegroundWindow(front);
                return HoldsFor([&] { return GetForegroundWindow() == front; }, 300ms);
            },
            5s))
            << "the main window does not stay in front";
        return helper;
    }
    // Presses on the box and moves in steps to `to`, the button still held.
    bool PressAndDragTo(POINT to, int steps = 8) {
        POINT from = CentreOf(box_);
        // No --sync on the first move: it waits for good when the pointer is there already.
        std::vector<std::string> args = {"mousemove", Str(from.x), Str(from.y), "mousedown", "1"};
        for (int i = 1; i <= steps; ++i)
            args.insert(args.end(), {"mousemove", "--sync", Str(from.x + (to.x - from.x) * i / steps),
                                     Str(from.y + (to.y - from.y) * i / steps)});
        return Xdotool(args);
    }
    bool Release() { return Xdotool({"mouseup", "1"}); }
    bool Shows(HWND h) { return app_->Text(ids::HandleTxt) == HandleText(h); }
    // Waits until the finder fields show `h`.
    bool WaitForPick(HWND h) {
        return WaitUntil([&] { return Shows(h); });
    }
    HWND box_ = nullptr;
};

TEST_F(FinderTest, DragOntoADisabledButtonPicksItAndTheCommandsActOnIt) {
    auto& helper = StartDialog();
    HWND dialog = helper.Window("dlg"), button = helper.Window("dlg/disabled");
    ASSERT_FALSE(IsWindowEnabled(button));
    RemoteListView& list = app_->List();
    const auto rowsBefore = list.Rows();
    const int selectedBefore = list.SelectedRow();

    // Escape mid-drag ends it and leaves the fields as they were at the press.
    ASSERT_TRUE(PressAndDragTo(CentreOf(button)));
    EXPECT_TRUE(WaitForPick(button));
    ASSERT_TRUE(SendKeys({VK_ESCAPE}));
    EXPECT_TRUE(
        WaitUntil([&] { return app_->Text(ids::HandleTxt).empty() && ShowsPicture(box_); }));
    EXPECT_EQ(CaptureOf(app_->MainWindow()), nullptr);
    ASSERT_TRUE(Release());

    ASSERT_TRUE(PressAndDragTo(CentreOf(button)));
    {
        // Whatever goes wrong, the button must not stay down for later tests.
        Finally up([this] { Release(); });
        EXPECT_TRUE(WaitForPick(button)) << "the pick is not live during the drag";
        EXPECT_EQ(CaptureOf(app_->MainWindow()), box_) << "the box does not hold the capture";
        EXPECT_FALSE(ShowsPicture(box_)) << "the cross-hair stayed in the box";
        RECT area{};
        GetWindowRect(app_->MainWindow(), &area);
        RECT target{};
        GetWindowRect(dialog, &target);
        UnionRect(&area, &area, &target);
        InflateRect(&area, 12, 12);
        SavePictureWithPointer("finder-drag", area);
    }
    ASSERT_TRUE(WaitUntil([&] { return CaptureOf(app_->MainWindow()) == nullptr; }))
        << "the capture outlived the release";
    EXPECT_TRUE(WaitUntil([&] { return ShowsPicture(box_); })) << "the cross-hair did not come back";

    // The release picks nothing more: the last pick stays.
    EXPECT_EQ(app_->Text(ids::HandleTxt), HandleText(button));
    EXPECT_EQ(app_->Text(ids::txtClassName), "Button");
    EXPECT_EQ(app_->CheckState(ids::WinVisibleChk), BST_CHECKED);
    EXPECT_FALSE(IsWindowEnabled(app_->Control(ids::SaihaimenChk))) << "a child cannot go to the back";
    EXPECT_FALSE(IsWindowEnabled(app_->Control(ids::TaskBarShowChk)))
        << "a child has no taskbar button";
    EXPECT_EQ(list.SelectedRow(), selectedBefore) << "the finder moved the list selection";

    // The commands act on the pick: the button goes, its dialog stays.
    ASSERT_TRUE(app_->Click(ids::WinVisibleChk));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(button); }));
    EXPECT_TRUE(IsWindowVisible(dialog));
    // Command1 toggles the pick back, and no row is the pick's: the list stays as it was.
    ASSERT_TRUE(app_->Click(ids::Command1));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(button) != FALSE; }));
    EXPECT_EQ(app_->Text(ids::Command1), "隠す");
    EXPECT_EQ(list.Rows(), rowsBefore);
}

TEST_F(FinderTest, ParentButtonClimbsFromTheButtonToTheDialogToItsOwnerAndStops) {
    auto& helper = StartDialog();
    HWND dialog = helper.Window("dlg"), owner = helper.Window("owner");
    HWND button = helper.Window("dlg/disabled");
    ASSERT_TRUE(PressAndDragTo(CentreOf(button)));
    ASSERT_TRUE(Release());
    ASSERT_TRUE(WaitForPick(button));
    ASSERT_TRUE(WaitUntil([&] { return CaptureOf(app_->MainWindow()) == nullptr; }));

    struct Step {
        HWND shown;
        const char* className;
    };
    for (const Step& step : {Step{dialog, "#32770"}, Step{owner, "KelvorinE2eTarget"},
                             Step{owner, "KelvorinE2eTarget"}}) {
        ASSERT_TRUE(app_->Click(ids::GetParentHandleBtn));
        EXPECT_EQ(app_->Text(ids::HandleTxt), HandleText(step.shown));
        EXPECT_EQ(app_->Text(ids::txtClassName), step.className);
    }
    // The commands now act on the owner.
    ASSERT_TRUE(app_->Click(ids::Command1));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(owner); }));
    EXPECT_TRUE(IsWindowVisible(dialog));

    // A row selected afterwards leaves the fields on the finder's last pick.
    ASSERT_TRUE(app_->List().Select(0));
    EXPECT_EQ(app_->Text(ids::HandleTxt), HandleText(owner));
}

TEST_F(FinderTest, ClickOnTheBoxPicksItselfAndTheRightButtonDoesNothing) {
    POINT centre = CentreOf(box_);
    ASSERT_EQ(app_->Text(ids::HandleTxt), "");
    // A right press, held: no capture, the cross-hair stays, no pick.
    ASSERT_TRUE(Xdotool({"mousemove", Str(centre.x), Str(centre.y), "mousedown", "3"}));
    bool unchanged = HoldsFor(
        [&] {
            return CaptureOf(app_->MainWindow()) == nullptr && ShowsPicture(box_) &&
                   app_->Text(ids::HandleTxt).empty();
        },
        400ms);
    ASSERT_TRUE(Xdotool({"mouseup", "3"}));
    EXPECT_TRUE(unchanged) << "a right-button press started a drag or picked";

    ASSERT_TRUE(Xdotool({"click", "1"}));  // where the pointer is: on the box
    EXPECT_TRUE(WaitForPick(box_)) << "a click without moving did not pick the box";
    EXPECT_EQ(app_->Text(ids::txtClassName), "Static");
    EXPECT_TRUE(WaitUntil([&] { return CaptureOf(app_->MainWindow()) == nullptr; }));
    EXPECT_TRUE(ShowsPicture(box_));
}

}  // namespace
}  // namespace e2e
