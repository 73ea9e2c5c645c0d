// The finder: the drag, its hit test, and the handle and class-name fields
// with the parent button.
#include "app/control_ids.h"
#include "finder/finder.h"
#include "world.h"

namespace kelvorin {
namespace {

using unit::Text;

constexpr int kLeft = 1, kRight = 2, kMiddle = 4;
constexpr Point kOnButton{200, 200}, kOnDialog{110, 110}, kOnEditor{500, 400}, kOnNothing{5000, 5000};

// An editor that owns a settings dialog above it; in the dialog a disabled
// panel holds a group, which holds a disabled button. WindowFromPoint stops
// at the dialog, so only the descent finds the button.
struct FinderWorld : unit::World {
    WindowHandle editor{0x30000};
    WindowHandle dialog = desktop.Add({.title = "Settings", .className = "#32770", .owner = editor,
                                       .style = fake::kWsPopup, .rect = {100, 100, 400, 300}});
    WindowHandle added = desktop.Add({.handle = editor, .title = "Editor", .className = "EditorFrame",
                                      .rect = {0, 0, 600, 500}});
    WindowHandle panel = desktop.Add({.className = "Panel", .parent = dialog, .enabled = false,
                                      .rect = {150, 150, 350, 280}});
    WindowHandle group = desktop.Add({.className = "Group", .parent = panel, .rect = {160, 160, 300, 260}});
    WindowHandle button = desktop.Add({.className = "Button", .parent = group, .enabled = false,
                                       .rect = {170, 170, 250, 220}});

    FinderWorld() { form.Form_Load(); }  // selects the dialog's row
    void Mouse(char event, int buttons, Point at) {
        desktop.cursor = at;
        if (event == 'd') form.picFinder_MouseDown(buttons, 0, 0, 0);
        if (event == 'm') form.picFinder_MouseMove(buttons, 0, 0, 0);
        if (event == 'u') form.picFinder_MouseUp(buttons, 0, 0, 0);
    }
};

TEST(Finder, ALeftDragFollowsThePointerWhateverElseIsHeldAndTheReleasePicksNothing) {
    FinderWorld w;
    const struct { char event; int buttons; Point at; WindowHandle picked; bool dragging; } steps[] = {
        {'d', kRight, kOnButton, w.dialog, false}, {'m', kMiddle, kOnButton, w.dialog, false},
        {'u', 0, kOnButton, w.dialog, false},      {'d', kLeft, kOnButton, w.button, true},
        {'m', kLeft | kRight, kOnEditor, w.editor, true}, {'d', kRight, kOnButton, w.editor, true},
        {'u', kRight, kOnButton, w.editor, true},  {'u', kLeft, kOnDialog, w.editor, false}};
    for (const auto& s : steps) {
        w.Mouse(s.event, s.buttons, s.at);
        EXPECT_EQ(w.form.SelectedWindow(), s.picked) << s.event << s.buttons;
        EXPECT_EQ(w.view.dragging, s.dragging) << s.event << s.buttons;
        EXPECT_EQ(w.desktop.capture, s.dragging ? w.view.ControlHandle(ids::picFinder) : WindowHandle());
        EXPECT_EQ(w.form.HandleTxt.Text(), s.picked == w.dialog ? "" : Text(s.picked));
    }
    EXPECT_EQ(w.form.txtClassName.Text(), "EditorFrame");
    EXPECT_EQ(w.form.CaptionTxt.Text(), "Settings") << "the finder leaves the list's selection alone";
}

TEST(Finder, TheHitTestDescendsThroughHiddenAndDisabledChildren) {
    FinderWorld w;
    const std::pair<Point, WindowHandle> cases[] = {
        {kOnButton, w.button}, {kOnDialog, w.dialog}, {kOnEditor, w.editor}, {kOnNothing, WindowHandle()}};
    w.desktop.Win(w.group).visible = false;
    for (auto [at, found] : cases) EXPECT_EQ(GetPointWindow(w.form, at), found) << at.x;
    w.desktop.Fail("ChildWindowFromPoint", 1);  // no answer below the panel
    EXPECT_EQ(GetPointWindow(w.form, kOnButton), w.panel);
}

TEST(Finder, EachPickResetsTheDetailsWhileThePreviousWindowIsStillSelected) {
    FinderWorld w;
    w.form.ToumeiSld.SetValue(100);
    w.desktop.logging = true;
    w.desktop.onCall = [&](const std::string& call) {
        EXPECT_TRUE(!call.starts_with("GetVersionPlatformId") || w.form.SelectedWindow() == w.dialog);
    };
    w.Mouse('m', kLeft, kOnEditor);
    EXPECT_EQ(w.form.ToumeiSld.Value(), 255);
    std::vector<std::string> order;
    for (const auto& call : w.desktop.Calls({"GetVersionPlatformId", "IsWindowVisible", "GetClassNameA"}))
        order.push_back(call.substr(0, call.find('(')));
    EXPECT_EQ(order, (std::vector<std::string>{"GetVersionPlatformId", "IsWindowVisible", "GetClassNameA"}));
}

TEST(Finder, TheFieldsShowTheSignedHandleAndTheWholeClassNameOrKeepWhatTheyShowed) {
    FinderWorld w;
    for (int length : {98, 99, 100, 199, 250}) {
        std::string name;
        for (int i = 0; i < length; ++i) name += char('A' + i % 26);
        w.form.SetSelectedWindow(w.desktop.Add({.handle = WindowHandle(-length), .className = name}));
        w.form.GetControlData();
        EXPECT_EQ(w.form.HandleTxt.Text(), "-" + std::to_string(length));
        EXPECT_EQ(w.form.txtClassName.Text(), name);
        EXPECT_EQ(w.form.txtClassName.ForeSysColour(), 18);
    }
    w.desktop.Fail("GetClassNameA", 1);  // the second, larger read fails
    try {
        GetWndClassName(w.desktop, WindowHandle(-199));
        ADD_FAILURE() << "no error for a name that could not be read";
    } catch (const ClassNameError& e) {
        EXPECT_EQ(e.Number(), -2147221504);
        EXPECT_STREQ(e.what(), "ウィンドウのクラス名の取得に失敗しました。");
    }
    w.form.SetSelectedWindow(w.dialog);
    w.form.GetControlData();
    EXPECT_EQ(w.form.HandleTxt.Text(), Text(w.dialog));
    EXPECT_EQ(w.form.txtClassName.Text().size(), 250u);
}

TEST(Finder, TheParentButtonClimbsToTheOwnerAndStopsThereWithoutReadingState) {
    FinderWorld w;
    w.Mouse('d', kLeft, kOnButton);
    w.desktop.logging = true;
    for (WindowHandle h : {w.group, w.panel, w.dialog, w.editor, w.editor}) {
        w.form.GetParentHandleBtn.Click();
        EXPECT_EQ(w.form.SelectedWindow(), h);
        EXPECT_EQ(w.form.HandleTxt.Text(), Text(h));
        EXPECT_EQ(w.form.txtClassName.Text(), w.desktop.Win(h).className);
    }
    EXPECT_EQ(w.desktop.Count("IsWindowVisible") + w.desktop.Count("GetVersionPlatformId"), 0u);
    w.desktop.Destroy(w.editor);
    w.form.GetParentHandleBtn.Click();
    EXPECT_EQ(w.form.SelectedWindow(), w.editor);
    EXPECT_EQ(w.form.txtClassName.Text(), "EditorFrame");
}

}  // namespace
}  // namespace kelvorin
