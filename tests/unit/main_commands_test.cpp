// The main window's own commands and its shutdown: Command1, Command2,
// Command4, MNU_END and Form_Unload; and its keyboard order.
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/main_frm.h"
#include "catalogue/refresh.h"
#include "fake/fake.h"

namespace kelvorin {
namespace {

std::string Text(WindowHandle h) { return std::to_string(h.value); }

class MainCommands : public ::testing::Test {
  protected:
    fake::FakeDesktop desktop;
    fake::FakeMainFrmView view{desktop};
    Platform platform = desktop.platform();
    MainFrm form{platform, view};
    WindowHandle shell = desktop.AddWindow({.className = "Progman"});
    WindowHandle alpha = desktop.AddWindow({.title = "Alpha", .rect = {0, 0, 100, 100}});
    WindowHandle beta = desktop.AddWindow({.title = "Beta", .rect = {200, 0, 300, 100}});

    void SetUp() override {
        view.onUnload = [this] { form.Form_Unload(); };
        form.Form_Load();
        view.PlaceOnDesktop();
        view.Show();
        // The second row is the selected one, so a fault that writes row 0 shows.
        form.ListView1.Select(1);
        form.ListView1_ItemClick();
        ASSERT_EQ(form.SelectedWindow(), beta);
        desktop.Log().Clear();
    }

    std::vector<std::string> VisibilityCells() const {
        std::vector<std::string> cells;
        for (size_t row = 0; row < form.ListView1.RowCount(); ++row)
            cells.push_back(form.ListView1.Cell(row, col::Visibility));
        return cells;
    }

    std::string Shown(WindowHandle h, int how) {
        return "ShowWindow(" + Text(h) + "," + std::to_string(how) + ")";
    }
};

TEST_F(MainCommands, Command1TogglesTheBoxAndWritesTheSelectedRowOfTheSelectedWindow) {
    const struct {
        int from;
        int to;
        const char* caption;
        int showCommand;
        const char* cell;
    } cases[] = {
        {1, 0, "表示する", 0, "非表示"},
        {0, 1, "隠す", 5, "表示"},
        {2, 1, "隠す", 5, "表示"},  // grey reads as clear
    };
    for (const auto& c : cases) {
        form.WinVisibleChk.SetValue(c.from);
        form.ListView1.SetCell(0, col::Visibility, "?");
        form.ListView1.SetCell(1, col::Visibility, "?");
        desktop.Log().Clear();

        form.Command1.Click();

        EXPECT_EQ(form.WinVisibleChk.Value(), c.to) << "from " << c.from;
        EXPECT_EQ(form.Command1.Caption(), c.caption) << "from " << c.from;
        EXPECT_EQ(desktop.Log().Strings({"ShowWindow"}),
                  std::vector<std::string>{Shown(beta, c.showCommand)})
            << "from " << c.from;
        EXPECT_EQ(VisibilityCells(), (std::vector<std::string>{"?", c.cell})) << "from " << c.from;
    }
}

TEST_F(MainCommands, Command1OnAFinderPickTogglesThatWindowAndLeavesTheList) {
    desktop.SetCursor({50, 50});
    form.picFinder_MouseDown(1, 0, 0, 0);
    form.picFinder_MouseUp(1, 0, 0, 0);
    ASSERT_EQ(form.SelectedWindow(), alpha);
    ASSERT_EQ(form.ListView1.Selected(), std::optional<size_t>(1));
    auto before = VisibilityCells();
    desktop.Log().Clear();

    form.Command1_Click();

    // Alpha has a row of its own, but it is not the selected row.
    EXPECT_EQ(desktop.Log().Strings({"ShowWindow"}), std::vector<std::string>{Shown(alpha, 0)});
    EXPECT_FALSE(desktop.Visible(alpha));
    EXPECT_EQ(VisibilityCells(), before);
}

TEST_F(MainCommands, Command1WithoutASelectedRowStillTogglesTheWindow) {
    form.ListView1.Select(std::nullopt);
    auto before = VisibilityCells();
    form.Command1_Click();
    EXPECT_EQ(desktop.Log().Strings({"ShowWindow"}), std::vector<std::string>{Shown(beta, 0)});
    EXPECT_EQ(VisibilityCells(), before);
}

TEST_F(MainCommands, Command2OpensBelowTheThresholdAndClosesFromIt) {
    const struct {
        int clientHeight;
        int delta;
    } cases[] = {{4635, 2505}, {5499, 2505}, {5500, -2505}, {7140, -2505}};
    for (const auto& c : cases) {
        view.SetClientHeightTwips(c.clientHeight);
        desktop.Log().Clear();
        form.Command2.Click();
        EXPECT_EQ(desktop.Log().Strings({"View.GrowHeightTwips"}),
                  std::vector<std::string>{"View.GrowHeightTwips(" + std::to_string(c.delta) + ")"})
            << c.clientHeight;
    }
}

TEST_F(MainCommands, Command2TwiceReturnsToTheHeightBefore) {
    form.Command2_Click();
    EXPECT_EQ(view.ClientHeightTwips(), 7140);
    form.Command2_Click();
    EXPECT_EQ(view.ClientHeightTwips(), 4635);
}

TEST_F(MainCommands, UnloadRemovesTheIconFirstWithTheRemovalRecord) {
    form.Command3_Click();
    desktop.Log().Clear();
    form.Form_Unload();
    EXPECT_EQ(desktop.Log().Strings({"Shell_NotifyIconA"}),
              std::vector<std::string>{"Shell_NotifyIconA(2,{cbSize:88,hWnd:" +
                                       Text(view.Handle()) +
                                       ",uID:0,uFlags:7,uCallbackMessage:0,hIcon:0,szTip:\"\"})"});
    EXPECT_TRUE(desktop.TrayIcons().empty());
}

TEST_F(MainCommands, Command4UnloadsAndTriesToRemoveAnIconThatDoesNotExist) {
    form.Command4.Click();
    EXPECT_TRUE(view.Unloaded());
    EXPECT_EQ(desktop.Log().Names({"View.Unload", "Shell_NotifyIconA"}),
              (std::vector<std::string>{"View.Unload", "Shell_NotifyIconA"}));
    EXPECT_TRUE(desktop.TrayIcons().empty());
}

TEST_F(MainCommands, QuitFromTheMenuUnloadsTheExtractorThenRemovesTheIconWhileTheWindowLives) {
    form.Command3_Click();
    desktop.Log().Clear();
    std::optional<bool> windowAliveAtRemoval;
    desktop.Log().onCall = [&](const fake::Call& call) {
        if (call.name == "Shell_NotifyIconA")
            windowAliveAtRemoval = !desktop.Window(view.Handle()).destroyed;
    };

    form.MNU_END_Click();

    EXPECT_EQ(desktop.Log().Names({"View.UnloadIconGetter", "View.Unload", "Shell_NotifyIconA"}),
              (std::vector<std::string>{"View.UnloadIconGetter", "View.Unload",
                                        "Shell_NotifyIconA"}));
    EXPECT_EQ(windowAliveAtRemoval, std::optional<bool>(true));
    EXPECT_TRUE(desktop.TrayIcons().empty());
    EXPECT_TRUE(view.Unloaded());
}

TEST_F(MainCommands, TabReachesEveryControlThatTakesInputOnceAndNothingElse) {
    // A control added without a place in the order would be out of the keyboard's reach.
    std::multiset<int> reached;
    for (const ControlModel* control : form.TabOrder()) reached.insert(control->Id());
    std::multiset<int> takingInput;
    for (const ControlModel* control : form.Controls()) {
        switch (control->Kind()) {
        case ControlKind::Button:
        case ControlKind::CheckBox:
        case ControlKind::TextBox:
        case ControlKind::ListView:
        case ControlKind::Slider:
        case ControlKind::ComboBox:
            takingInput.insert(control->Id());
            break;
        default:
            break;
        }
    }
    EXPECT_EQ(reached, takingInput);
    EXPECT_EQ(form.TabOrder().front(), &form.ListView1);
}

}  // namespace
}  // namespace kelvorin
