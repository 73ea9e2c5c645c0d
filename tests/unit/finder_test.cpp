// The finder: the drag, its hit test, and the handle and class-name fields.
#include "finder/finder.h"
#include "app/control_ids.h"
#include "world.h"

namespace kelvorin {
namespace {

using unit::Text;

constexpr Point kOnButton{200, 200}, kOnDialog{110, 110}, kOnEditor{500, 400};

// An editor owning a dialog, where a disabled panel holds a hidden group holding a disabled
// button: WindowFromPoint stops at the dialog, the descent through them finds the button.
struct FinderWorld : unit::World {
    WindowHandle editor{0x30000};
    WindowHandle dialog = desktop.Add({.title = "Settings",
                                       .className = "#32770",
                                       .owner = editor,
                                       .style = fake::kWsPopup,
                                       .rect = {100, 100, 400, 300}});
    WindowHandle added = desktop.Add(
        {.handle = editor, .title = "Editor", .className = "Frame", .rect = {0, 0, 600, 500}});
    WindowHandle panel = desktop.Add(
        {.className = "Panel", .parent = dialog, .enabled = false, .rect = {150, 150, 350, 280}});
    WindowHandle group = desktop.Add(
        {.className = "Group", .parent = panel, .visible = false, .rect = {160, 160, 300, 260}});
    WindowHandle button = desktop.Add(
        {.className = "Button", .parent = group, .enabled = false, .rect = {170, 170, 250, 220}});

    FinderWorld() { form.Form_Load(); }  // selects the dialog's row
};

// The details are reset while the previous window is still selected.
TEST(Finder, ALeftDragFollowsThePointerWhateverElseIsHeldAndTheReleasePicksNothing) {
    FinderWorld w;
    // clang-format off
    const struct { char event; int buttons; Point at; WindowHandle picked; bool dragging; } steps[] = {
        {'d', 2, kOnButton, w.dialog, false}, {'m', 4, kOnButton, w.dialog, false},
        {'u', 0, kOnButton, w.dialog, false}, {'d', 1, kOnButton, w.button, true},
        {'m', 1 | 2, kOnEditor, w.editor, true}, {'d', 2, kOnButton, w.editor, true},
        {'u', 2, kOnButton, w.editor, true}, {'m', 1, {5000, 0}, {}, true},
        {'u', 1 | 2, kOnDialog, {}, false}};
    // clang-format on
    WindowHandle previous = w.dialog;
    w.desktop.onCall = [&](const std::string& call) {
        EXPECT_TRUE(call != "GetVersionPlatformId" || w.form.SelectedWindow() == previous);
    };
    for (const auto& s : steps) {
        w.desktop.cursor = s.at;
        s.event == 'd'   ? w.form.picFinder_MouseDown(s.buttons, 0, 0, 0)
        : s.event == 'm' ? w.form.picFinder_MouseMove(s.buttons, 0, 0, 0)
                         : w.form.picFinder_MouseUp(s.buttons, 0, 0, 0);
        EXPECT_EQ(w.form.SelectedWindow(), s.picked) << s.event << s.buttons;
        EXPECT_EQ(w.view.dragging, s.dragging) << s.event << s.buttons;
        EXPECT_EQ(w.desktop.capture,
                  s.dragging ? w.view.ControlHandle(ids::picFinder) : WindowHandle());
        EXPECT_EQ(w.form.HandleTxt.Text(), s.picked == w.dialog ? "" : Text(s.picked));
        previous = s.picked;
    }
    EXPECT_EQ(w.form.txtClassName.Text(), "Frame") << "kept where no window is";
    EXPECT_EQ(w.form.CaptionTxt.Text(), "Settings") << "the list's selection is left alone";
    w.desktop.Fail("ChildWindowFromPoint", 1);  // no answer below the panel
    EXPECT_EQ(GetPointWindow(w.form, kOnButton), w.panel);
}

TEST(Finder, ADragCutShortKeepsThePickButEscapeGoesBackToThePress) {
    for (bool escape : {false, true}) {
        FinderWorld w;
        w.desktop.cursor = kOnEditor;
        w.form.picFinder_MouseDown(1, 0, 0, 0);
        w.form.picFinder_MouseUp(1, 0, 0, 0);
        w.desktop.cursor = kOnButton;
        w.form.picFinder_MouseDown(1, 0, 0, 0);
        escape ? w.form.picFinder_Escape() : w.form.picFinder_CaptureLost();
        const WindowHandle kept = escape ? w.editor : w.button;
        EXPECT_FALSE(w.view.dragging || w.form.finderDrag.Dragging() || bool(w.desktop.capture));
        EXPECT_EQ(
            Text(w.form.SelectedWindow()) + w.form.HandleTxt.Text() + w.form.txtClassName.Text(),
            Text(kept) + Text(kept) + w.Win(kept).className);
        // Without a drag neither does anything: another window keeps the mouse.
        w.desktop.capture = w.editor;
        w.form.picFinder_Escape();
        w.form.picFinder_CaptureLost();
        EXPECT_EQ(w.desktop.capture, w.editor);
        EXPECT_EQ(w.form.SelectedWindow(), kept);
    }
}

TEST(Finder, TheFieldsShowTheSignedHandleAndTheWholeClassNameOrKeepWhatTheyShowed) {
    FinderWorld w;
    for (int length : {98, 99, 100, 199, 250}) {
        std::string name;
        for (int i = 0; i < length; ++i) name += char('A' + i % 26);
        w.form.SetSelectedWindow(
            w.desktop.Add({.handle = WindowHandle(-length), .className = name}));
        w.form.GetControlData();
        EXPECT_EQ(w.form.HandleTxt.Text() + "|" + w.form.txtClassName.Text(),
                  "-" + std::to_string(length) + "|" + name);
        EXPECT_EQ(w.form.txtClassName.ForeSysColour(), 18);
    }
    w.desktop.Fail("GetClassNameA", 1);  // the second, larger read fails: the field keeps its text
    w.form.SetSelectedWindow(WindowHandle(-199));
    w.form.GetControlData();
    EXPECT_EQ(w.form.HandleTxt.Text() + "|" + std::to_string(w.form.txtClassName.Text().size()),
              "-199|250");
}

TEST(Finder, TheParentButtonClimbsToTheOwnerAndStopsThereWithoutReadingState) {
    FinderWorld w;
    w.form.SetSelectedWindow(w.button);
    w.desktop.logging = true;
    for (WindowHandle h : {w.group, w.panel, w.dialog, w.editor, w.editor}) {
        w.form.GetParentHandleBtn.Click();
        EXPECT_EQ(w.form.HandleTxt.Text() + w.form.txtClassName.Text(),
                  Text(h) + w.Win(h).className);
    }
    EXPECT_EQ(w.desktop.Count("IsWindowVisible") + w.desktop.Count("GetVersionPlatformId"), 0u);
    w.desktop.Destroy(w.editor);
    w.form.GetParentHandleBtn.Click();
    EXPECT_EQ(w.form.HandleTxt.Text() + w.form.txtClassName.Text(), Text(w.editor) + "Frame");
}

}  // namespace
}  // namespace kelvorin
