// The finder drag tool, its hit test, and the handle and class-name fields
// with the parent button.
#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/main_frm.h"
#include "finder/finder.h"
#include "fake/fake.h"

namespace kelvorin {
namespace {

std::string Text(WindowHandle h) { return std::to_string(h.value); }

constexpr int kLeft = 1, kRight = 2, kMiddle = 4;

// An editor that owns a settings dialog; inside the dialog a disabled panel
// holds a group, which holds a disabled button. WindowFromPoint stops at the
// dialog, so only the descent finds the button.
class Finder : public ::testing::Test {
  protected:
    fake::FakeDesktop desktop;
    fake::FakeMainFrmView view{desktop};
    Platform platform = desktop.platform();
    MainFrm form{platform, view};
    WindowHandle shell = desktop.AddWindow({.className = "Progman"});
    WindowHandle editor = desktop.AddWindow(
        {.title = "Editor", .className = "EditorFrame", .rect = {0, 0, 600, 500}});
    WindowHandle dialog = desktop.AddWindow({.title = "Settings",
                                             .className = "#32770",
                                             .owner = editor,
                                             .style = fake::kWsPopup,
                                             .rect = {100, 100, 400, 300}});
    WindowHandle panel = Child(dialog, "Panel", {150, 150, 350, 280}, false);
    WindowHandle group = Child(panel, "Group", {160, 160, 300, 260}, true);
    WindowHandle button = Child(group, "Button", {170, 170, 250, 220}, false);
    WindowHandle picFinder;

    static constexpr Point kOnButton{200, 200};
    static constexpr Point kOnDialogOnly{110, 110};
    static constexpr Point kOnEditorOnly{500, 400};
    static constexpr Point kOnNothing{5000, 5000};

    WindowHandle Child(WindowHandle parent, const std::string& cls, fake::ScreenRect rect,
                       bool enabled) {
        return desktop.AddWindow(
            {.className = cls, .parent = parent, .enabled = enabled, .rect = rect});
    }

    void SetUp() override {
        desktop.BringToTop(dialog);
        form.Form_Load();  // rows: Settings (selected), Editor
        view.PlaceOnDesktop();
        picFinder = view.ControlHandle(ids::picFinder);
        ASSERT_EQ(form.SelectedWindow(), dialog);
        desktop.Log().Clear();
    }

    void PickAt(Point p) {
        desktop.SetCursor(p);
        form.picFinder_MouseDown(kLeft, 0, 0, 0);
        form.picFinder_MouseUp(kLeft, 0, 0, 0);
    }
};

TEST_F(Finder, LeftPressCapturesHandsTheCrossHairToTheCursorAndPicksAtOnce) {
    desktop.SetCursor(kOnButton);
    form.picFinder_MouseDown(kLeft, 0, 7, 9);
    EXPECT_EQ(desktop.Log().Strings({"SetCapture", "View.SetFinderDragging", "GetCursorPos"}),
              (std::vector<std::string>{"SetCapture(" + Text(picFinder) + ")",
                                        "View.SetFinderDragging(1)", "GetCursorPos()"}));
    EXPECT_EQ(desktop.CaptureHolder(), picFinder);
    EXPECT_TRUE(view.FinderDragging());
    EXPECT_EQ(form.SelectedWindow(), button);
    EXPECT_EQ(form.HandleTxt.Text(), Text(button));
    EXPECT_EQ(form.txtClassName.Text(), "Button");
}

TEST_F(Finder, OnlyTheLeftBitStartsOrEndsADrag) {
    desktop.SetCursor(kOnButton);
    for (int buttons : {kRight, kMiddle, kRight | kMiddle, 0}) {
        form.picFinder_MouseDown(buttons, 0, 0, 0);
        form.picFinder_MouseMove(buttons, 0, 0, 0);
        form.picFinder_MouseUp(buttons, 0, 0, 0);
        EXPECT_TRUE(desktop.Log().All().empty()) << "buttons " << buttons;
        EXPECT_FALSE(view.FinderDragging());
        EXPECT_FALSE(desktop.CaptureHolder());
        EXPECT_EQ(form.SelectedWindow(), dialog);
        EXPECT_EQ(form.HandleTxt.Text(), "");
    }
    for (int buttons : {kLeft | kRight, kLeft | kMiddle}) {
        form.picFinder_MouseDown(buttons, 0, 0, 0);
        EXPECT_TRUE(view.FinderDragging()) << "buttons " << buttons;
        form.picFinder_MouseUp(buttons, 0, 0, 0);
        EXPECT_FALSE(view.FinderDragging()) << "buttons " << buttons;
    }
}

TEST_F(Finder, ARightClickMidDragLeavesTheDragGoing) {
    desktop.SetCursor(kOnButton);
    form.picFinder_MouseDown(kLeft, 0, 0, 0);
    form.picFinder_MouseDown(kRight, 0, 0, 0);
    form.picFinder_MouseUp(kRight, 0, 0, 0);
    EXPECT_TRUE(view.FinderDragging());
    EXPECT_EQ(desktop.CaptureHolder(), picFinder);
    EXPECT_EQ(desktop.Log().Count("ReleaseCapture"), 0u);

    desktop.SetCursor(kOnEditorOnly);
    form.picFinder_MouseMove(kLeft, 0, 0, 0);
    EXPECT_EQ(form.SelectedWindow(), editor);
}

TEST_F(Finder, ReleasePicksNothingAndGivesTheCrossHairBack) {
    desktop.SetCursor(kOnButton);
    form.picFinder_MouseDown(kLeft, 0, 0, 0);
    desktop.SetCursor(kOnEditorOnly);  // moved, but no move message came
    desktop.Log().Clear();

    form.picFinder_MouseUp(kLeft, 0, 0, 0);

    EXPECT_EQ(desktop.Log().Strings(),
              (std::vector<std::string>{"ReleaseCapture()", "View.SetFinderDragging(0)"}));
    EXPECT_FALSE(desktop.CaptureHolder());
    EXPECT_FALSE(view.FinderDragging());
    EXPECT_EQ(form.SelectedWindow(), button);

    // The next drag starts from there and picks at its own press.
    form.picFinder_MouseDown(kLeft, 0, 0, 0);
    EXPECT_EQ(form.SelectedWindow(), editor);
}

TEST_F(Finder, ADragCutShortKeepsThePickButEscapeGoesBackToThePress) {
    const struct {
        void (MainFrm::*end)();
        WindowHandle selected;
        const char* className;
    } cases[] = {{&MainFrm::picFinder_CaptureLost, button, "Button"},
                 {&MainFrm::picFinder_Escape, editor, "EditorFrame"}};
    for (const auto& c : cases) {
        PickAt(kOnEditorOnly);
        desktop.SetCursor(kOnButton);
        form.picFinder_MouseDown(kLeft, 0, 0, 0);
        (form.*c.end)();
        EXPECT_FALSE(form.finderDrag.Dragging()) << c.className;
        EXPECT_FALSE(desktop.CaptureHolder());
        EXPECT_FALSE(view.FinderDragging());
        EXPECT_EQ(form.SelectedWindow(), c.selected);
        EXPECT_EQ(form.HandleTxt.Text(), Text(c.selected));
        EXPECT_EQ(form.txtClassName.Text(), c.className);
    }
    // Without a drag neither does anything: another window keeps the mouse.
    PickAt(kOnButton);
    desktop.SetCapture(editor);
    form.picFinder_Escape();
    form.picFinder_CaptureLost();
    EXPECT_EQ(desktop.CaptureHolder(), editor);
    EXPECT_EQ(form.SelectedWindow(), button);
}

TEST_F(Finder, HitTestDescendsThroughNestedChildrenToADisabledButton) {
    desktop.SetCursor(kOnButton);
    form.picFinder_MouseMove(kLeft, 0, 0, 0);
    const std::string d = Text(dialog), p = Text(panel), g = Text(group), b = Text(button);
    EXPECT_EQ(desktop.Log().Strings({"WindowFromPoint", "MapWindowPoints", "ChildWindowFromPoint"}),
              (std::vector<std::string>{
                  "WindowFromPoint((200,200))", "MapWindowPoints(0," + d + ",(200,200))",
                  "ChildWindowFromPoint(" + d + ",(100,100))",
                  "MapWindowPoints(" + d + "," + p + ",(100,100))",
                  "ChildWindowFromPoint(" + p + ",(50,50))",
                  "MapWindowPoints(" + p + "," + g + ",(50,50))",
                  "ChildWindowFromPoint(" + g + ",(40,40))",
                  "MapWindowPoints(" + g + "," + b + ",(40,40))",
                  "ChildWindowFromPoint(" + b + ",(30,30))"}));
    EXPECT_EQ(form.SelectedWindow(), button);
}

TEST_F(Finder, TheDescentStopsWhereNoChildAnswers) {
    EXPECT_EQ(GetPointWindow(form, kOnDialogOnly), dialog);  // in none of its children
    EXPECT_EQ(GetPointWindow(form, kOnNothing), WindowHandle());
    desktop.Fail("ChildWindowFromPoint", 1);  // no answer below the panel
    EXPECT_EQ(GetPointWindow(form, kOnButton), panel);
}

TEST_F(Finder, DetailsAreResetWhileThePreviousWindowIsStillSelected) {
    form.ToumeiSld.SetValue(100);
    std::optional<WindowHandle> selectedAtReset;
    desktop.Log().onCall = [&](const fake::Call& call) {
        if (call.name == "GetVersionPlatformId") selectedAtReset = form.SelectedWindow();
    };
    desktop.SetCursor(kOnButton);

    form.picFinder_MouseMove(kLeft, 0, 0, 0);

    EXPECT_EQ(selectedAtReset, std::optional<WindowHandle>(dialog));
    EXPECT_EQ(form.ToumeiSld.Value(), 255);
    EXPECT_EQ(form.ToumeiSld.Min(), 64);
    // Reset, then the new window's state, then its handle and class name.
    auto names = desktop.Log().Names(
        {"ChildWindowFromPoint", "GetVersionPlatformId", "IsWindowVisible", "GetClassNameA"});
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(std::vector<std::string>(names.end() - 3, names.end()),
              (std::vector<std::string>{"GetVersionPlatformId", "IsWindowVisible",
                                        "GetClassNameA"}));
}

TEST_F(Finder, EveryMoveLoadsAndShowsTheWindowUnderTheCursor) {
    // A topmost editor, so its state differs from the dialog's in TemaeChk.
    desktop.Window(editor).exStyle = 0x8;
    desktop.SetCursor(kOnButton);
    form.picFinder_MouseDown(kLeft, 0, 0, 0);
    const struct {
        Point at;
        WindowHandle picked;
        const char* className;
        int temae;
    } moves[] = {{kOnDialogOnly, dialog, "#32770", 0}, {kOnEditorOnly, editor, "EditorFrame", 1}};
    for (const auto& m : moves) {
        desktop.SetCursor(m.at);
        desktop.Log().Clear();
        form.picFinder_MouseMove(kLeft, 0, 0, 0);
        EXPECT_EQ(form.SelectedWindow(), m.picked);
        EXPECT_EQ(desktop.Log().Strings({"IsWindowVisible"}),
                  std::vector<std::string>{"IsWindowVisible(" + Text(m.picked) + ")"});
        EXPECT_EQ(form.TemaeChk.Value(), m.temae) << m.className;
        EXPECT_EQ(form.HandleTxt.Text(), Text(m.picked));
        EXPECT_EQ(form.txtClassName.Text(), m.className);
    }
    // The finder leaves the list's selection and the caption field alone.
    EXPECT_EQ(form.ListView1.Selected(), std::optional<size_t>(0));
    EXPECT_EQ(form.CaptionTxt.Text(), "Settings");
}

TEST_F(Finder, HandleIsSignedDecimalAndTheClassNameIsInButtonTextColour) {
    for (int32_t value : {-123456, INT_MIN, INT_MAX}) {
        WindowHandle h = desktop.AddWindow({.handle = WindowHandle(value), .className = "Odd"});
        form.SetSelectedWindow(h);
        form.GetControlData();
        EXPECT_EQ(form.HandleTxt.Text(), std::to_string(value));
        EXPECT_EQ(form.txtClassName.Text(), "Odd");
        EXPECT_EQ(form.txtClassName.ForeSysColour(), std::optional<int>(18));
    }
}

TEST_F(Finder, LongClassNamesAreReadInFullWithAGrowingBuffer) {
    const struct {
        size_t length;
        std::vector<std::string> capacities;
    } cases[] = {{98, {"100"}},
                 {99, {"100", "200"}},
                 {100, {"100", "200"}},
                 {199, {"100", "200", "300"}},
                 {250, {"100", "200", "300"}}};
    for (const auto& c : cases) {
        std::string name;
        for (size_t i = 0; i < c.length; ++i) name += char('A' + i % 26);
        WindowHandle h = desktop.AddWindow({.className = name});
        form.SetSelectedWindow(h);
        desktop.Log().Clear();
        form.GetControlData();
        EXPECT_EQ(form.txtClassName.Text(), name) << c.length;
        std::vector<std::string> capacities;
        for (const auto& call : desktop.Log().Named("GetClassNameA"))
            capacities.push_back(call.args.at(1));
        EXPECT_EQ(capacities, c.capacities) << c.length;
    }
}

TEST_F(Finder, AnUnreadableClassNameIsAnErrorAndTheFieldKeepsItsText) {
    WindowHandle longName = desktop.AddWindow({.className = std::string(150, 'x')});
    desktop.Fail("GetClassNameA", 1);  // the second, larger read fails
    try {
        GetWndClassName(desktop, longName);
        ADD_FAILURE() << "no error for a failed read";
    } catch (const ClassNameError& e) {
        EXPECT_EQ(e.Number(), -2147221504);
        EXPECT_STREQ(e.what(), "ウィンドウのクラス名の取得に失敗しました。");
    }
    desktop.RestoreAll();

    PickAt(kOnEditorOnly);
    PickAt(kOnNothing);  // no window there: the handle shows 0
    EXPECT_EQ(form.HandleTxt.Text(), "0");
    EXPECT_EQ(form.txtClassName.Text(), "EditorFrame");

    desktop.Fail("GetClassNameA");
    PickAt(kOnDialogOnly);
    EXPECT_EQ(form.HandleTxt.Text(), Text(dialog));
    EXPECT_EQ(form.txtClassName.Text(), "EditorFrame");
}

TEST_F(Finder, ParentButtonClimbsToTheOwnerAndStopsThere) {
    PickAt(kOnButton);
    form.ToumeiSld.SetValue(100);
    int temae = form.TemaeChk.Value();
    desktop.Log().Clear();
    const struct {
        WindowHandle selected;
        const char* className;
    } climb[] = {{group, "Group"},   {panel, "Panel"},       {dialog, "#32770"},
                 {editor, "EditorFrame"}, {editor, "EditorFrame"}};
    for (const auto& step : climb) {
        form.GetParentHandleBtn.Click();
        EXPECT_EQ(form.SelectedWindow(), step.selected);
        EXPECT_EQ(form.HandleTxt.Text(), Text(step.selected));
        EXPECT_EQ(form.txtClassName.Text(), step.className);
    }
    // Neither the state reader nor the detail reset ran.
    EXPECT_EQ(desktop.Log().Count("IsWindowVisible"), 0u);
    EXPECT_EQ(desktop.Log().Count("GetVersionPlatformId"), 0u);
    EXPECT_EQ(form.ToumeiSld.Value(), 100);
    EXPECT_EQ(form.TemaeChk.Value(), temae);
}

TEST_F(Finder, ParentButtonOnADestroyedWindowChangesNothing) {
    PickAt(kOnButton);
    desktop.DestroyWindow(button);
    form.GetParentHandleBtn_Click();
    EXPECT_EQ(form.SelectedWindow(), button);
    EXPECT_EQ(form.HandleTxt.Text(), Text(button));
    EXPECT_EQ(form.txtClassName.Text(), "Button");
}

TEST_F(Finder, AListClickAfterAPickSelectsTheRowsWindowButLeavesTheFields) {
    PickAt(kOnButton);
    form.ListView1.Select(1);
    form.ListView1_ItemClick();
    EXPECT_EQ(form.SelectedWindow(), editor);
    EXPECT_EQ(form.HandleTxt.Text(), Text(button));
    EXPECT_EQ(form.txtClassName.Text(), "Button");
}

}  // namespace
}  // namespace kelvorin
