// The fake desktop answers as user32, kernel32 and shell32 do where handler
// tests depend on it; a fake that drifts from Windows would let them pass
// for the wrong reason.
#include <gtest/gtest.h>

#include <stdexcept>

#include "fake/fake.h"
#include "platform/constants.h"

namespace kelvorin::fake {
namespace {

TEST(FakeDesktop, FailureSwitchesCountCallsFromTheMomentTheyAreSet) {
    FakeDesktop desktop;
    WindowHandle h = desktop.AddWindow({.title = "W"});
    desktop.IsWindowVisible(h);  // before the switch: not counted
    desktop.Fail("IsWindowVisible", 1, 2);
    std::vector<bool> answers;
    for (int i = 0; i < 4; ++i) answers.push_back(desktop.IsWindowVisible(h));
    EXPECT_EQ(answers, (std::vector<bool>{true, false, false, true}));
    std::vector<bool> failed;
    for (const auto& call : desktop.Log().Named("IsWindowVisible")) failed.push_back(call.failed);
    EXPECT_EQ(failed, (std::vector<bool>{false, false, true, true, false}));
    EXPECT_EQ(desktop.Log().All().back().ToString(), "IsWindowVisible(" + Arg(h) + ")");
    EXPECT_THROW(desktop.Fail("IsWindowVisibel"), std::invalid_argument);
}

TEST(FakeDesktop, TitleIsCutToTheBufferWithoutSplittingACharacter) {
    FakeDesktop desktop;
    WindowHandle h = desktop.AddWindow({.title = "aあb"});  // 1 + 3 + 1 bytes
    const std::pair<int, const char*> cases[] = {{0, ""},    {1, ""},     {2, "a"},     {4, "a"},
                                                 {5, "aあ"}, {6, "aあb"}, {256, "aあb"}};
    for (auto [maxCount, title] : cases)
        EXPECT_EQ(desktop.GetWindowTextA(h, maxCount), title) << "buffer " << maxCount;
}

TEST(FakeDesktop, DestroyedWindowsFailAndHungWindowsRefuseWhatWouldWait) {
    FakeDesktop desktop;
    WindowHandle gone = desktop.AddWindow({.title = "Gone", .processId = 9});
    WindowHandle child = desktop.AddWindow({.title = "Child", .parent = gone});
    desktop.DestroyWindow(gone);
    EXPECT_FALSE(desktop.IsWindowVisible(gone));
    EXPECT_FALSE(desktop.IsWindowVisible(child)) << "children go with their parent";
    EXPECT_EQ(desktop.GetWindowThreadProcessId(gone), 0u);
    EXPECT_EQ(desktop.GetClassNameA(gone, 100).length, 0);
    EXPECT_EQ(desktop.GetWindowTextA(gone, 256), "");
    EXPECT_EQ(desktop.TopLevelWindows(), std::vector<WindowHandle>{});

    WindowHandle hung = desktop.AddWindow({.title = "Busy", .hung = true});
    EXPECT_TRUE(desktop.IsWindowVisible(hung));
    EXPECT_FALSE(desktop.ShowWindow(hung, win::kSwHide));
    EXPECT_FALSE(desktop.SendSetText(hung, "New"));
    EXPECT_FALSE(desktop.GetSystemMenu(hung, false));
    EXPECT_TRUE(desktop.Visible(hung));
    EXPECT_EQ(desktop.Window(hung).title, "Busy");
}

TEST(FakeDesktop, GetParentAndSetParentFollowUser32) {
    FakeDesktop desktop;
    WindowHandle shell = desktop.AddWindow({.title = "Program Manager", .className = "Progman"});
    WindowHandle owner = desktop.AddWindow({.title = "Owner"});
    WindowHandle popup = desktop.AddWindow({.title = "Popup", .owner = owner, .style = kWsPopup});
    WindowHandle owned = desktop.AddWindow({.title = "Owned overlapped", .owner = owner});
    WindowHandle button = desktop.AddWindow({.className = "Button", .parent = owner});
    EXPECT_EQ(desktop.GetParent(popup), owner);
    EXPECT_EQ(desktop.GetParent(owned), WindowHandle()) << "an overlapped window reports no owner";
    EXPECT_EQ(desktop.GetParent(button), owner);
    EXPECT_EQ(desktop.FindWindowA(std::string("progman"), std::nullopt), shell);

    // An overlapped window put under the shell keeps its style: GetParent
    // still reports none, but it is no longer a top-level window.
    EXPECT_EQ(desktop.SetParent(owned, shell), desktop.DesktopHandle());
    EXPECT_EQ(desktop.GetParent(owned), WindowHandle());
    EXPECT_EQ(desktop.TopLevelWindows(), (std::vector<WindowHandle>{shell, owner, popup}));
    EXPECT_EQ(desktop.SetParent(owned, WindowHandle()), shell);
    EXPECT_EQ(desktop.TopLevelWindows().front(), owned) << "SetParent brings the window to the top";
    EXPECT_FALSE(desktop.SetParent(owner, button)) << "no window goes under its own child";
}

TEST(FakeDesktop, HitTestsSkipDisabledWindowsExceptChildWindowFromPoint) {
    FakeDesktop desktop;
    desktop.AddWindow({.title = "Hidden on top", .visible = false, .rect = {0, 0, 500, 500}});
    WindowHandle dialog = desktop.AddWindow({.title = "Dialog", .rect = {100, 100, 300, 300}});
    WindowHandle group = desktop.AddWindow({.parent = dialog, .rect = {110, 110, 250, 250}});
    WindowHandle ok = desktop.AddWindow({.parent = group, .rect = {120, 120, 160, 140}});
    WindowHandle greyed =
        desktop.AddWindow({.parent = group, .enabled = false, .rect = {170, 120, 210, 140}});

    EXPECT_EQ(desktop.WindowFromPoint({130, 130}), ok);
    EXPECT_EQ(desktop.WindowFromPoint({180, 130}), group) << "the disabled button is passed over";
    EXPECT_EQ(desktop.WindowFromPoint({290, 290}), dialog);
    EXPECT_EQ(desktop.WindowFromPoint({400, 400}), WindowHandle());

    Point inGroup = desktop.MapWindowPoints(WindowHandle(), group, {180, 130});
    EXPECT_EQ(inGroup, (Point{70, 20}));
    EXPECT_EQ(desktop.ChildWindowFromPoint(group, inGroup), greyed);
    EXPECT_EQ(desktop.ChildWindowFromPoint(group, {5, 5}), group);
    EXPECT_EQ(desktop.ChildWindowFromPoint(group, {-5, 5}), WindowHandle());
    EXPECT_EQ(desktop.MapWindowPoints(group, greyed, inGroup), (Point{10, 10}));
}

TEST(FakeDesktop, SystemMenuItemsChangeUntilTheMenuIsReverted) {
    FakeDesktop desktop;
    WindowHandle h = desktop.AddWindow({.title = "W"});
    MenuHandle menu = desktop.GetSystemMenu(h, false);
    ASSERT_TRUE(menu);
    const MenuItemInfo grey{win::kMiimState, win::kMfsGrayed, 0};
    const MenuItemInfo renumber{win::kMiimId, 0, 0xFFFFFFF6};
    EXPECT_TRUE(desktop.SetMenuItemInfoA(menu, win::kScClose, false, grey));
    EXPECT_TRUE(desktop.SetMenuItemInfoA(menu, win::kScClose, false, renumber));
    EXPECT_FALSE(desktop.SetMenuItemInfoA(menu, win::kScClose, false, grey)) << "id is gone";
    EXPECT_EQ(desktop.SystemMenuItems(h).back(), (MenuItem{0xFFFFFFF6, win::kMfsGrayed}));

    EXPECT_FALSE(desktop.GetSystemMenu(h, true)) << "a revert returns NULL";
    EXPECT_EQ(desktop.SystemMenuItems(h), DefaultSystemMenu());
    EXPECT_FALSE(desktop.SetMenuItemInfoA(menu, win::kScMinimize, false, grey)) << "old copy gone";
}

TEST(FakeDesktop, SnapshotsListProcessesInOrderAndModulesWhereReadable) {
    FakeDesktop desktop;
    desktop.SetCurrentProcessId(300);
    desktop.AddProcess({.processId = 0, .exeFile = "[System Process]", .modulesReadable = false});
    desktop.AddProcess(
        {.processId = 300, .exeFile = "kelvorin.exe", .exePath = "C:\\k\\kelvorin.exe"});
    desktop.AddProcess({.processId = 4, .exeFile = "System", .modulesReadable = false});

    KernelHandle snapshot = desktop.CreateToolhelp32Snapshot(win::kTh32csSnapProcess, 0);
    std::vector<uint32_t> ids;
    for (auto e = desktop.Process32First(snapshot); e; e = desktop.Process32Next(snapshot))
        ids.push_back(e->processId);
    EXPECT_EQ(ids, (std::vector<uint32_t>{0, 300, 4}));

    KernelHandle system = desktop.CreateToolhelp32Snapshot(win::kTh32csSnapModule, 4);
    ASSERT_NE(system, kInvalidHandle);
    EXPECT_EQ(desktop.Module32First(system), std::nullopt);
    // Process 0 means the caller's own process, as in kernel32.
    KernelHandle own = desktop.CreateToolhelp32Snapshot(win::kTh32csSnapModule, 0);
    auto module = desktop.Module32First(own);
    ASSERT_TRUE(module);
    EXPECT_EQ(module->processId, 300u);
    EXPECT_EQ(desktop.CreateToolhelp32Snapshot(win::kTh32csSnapModule, 77), kInvalidHandle);

    EXPECT_EQ(desktop.OpenKernelHandles(), 3u);
    for (KernelHandle h : {snapshot, system, own}) EXPECT_TRUE(desktop.CloseHandle(h));
    EXPECT_FALSE(desktop.CloseHandle(own));
    EXPECT_EQ(desktop.OpenKernelHandles(), 0u);
}

TEST(FakeDesktop, IconsAreFreshPerExtractionAndDrawThroughTheirMask) {
    FakeDesktop desktop;
    FileIcon icon = SolidIcon(Rgb(255, 0, 0));
    icon.small.Set(0, 0, kTransparent);
    desktop.AddIconFile("C:\\app.exe", {icon});
    IconPair first = desktop.ExtractIconExA("C:\\app.exe", 0);
    IconPair second = desktop.ExtractIconExA("C:\\app.exe", 0);
    EXPECT_NE(first.small, second.small);
    EXPECT_EQ(desktop.ExtractIconExA("C:\\app.exe", 1).small, IconHandle());
    EXPECT_EQ(desktop.LiveExtractedIcons(), 4u);

    Platform platform = desktop.platform();
    auto surface = platform.createSurface();
    surface->Resize(21, 21);
    surface->Clear(Rgb(255, 255, 255));
    EXPECT_TRUE(surface->DrawIconEx(first.small, 0, 0));
    Image picture = surface->Capture();
    EXPECT_EQ(picture.At(0, 0), Rgb(255, 255, 255)) << "masked out";
    EXPECT_EQ(picture.At(15, 15), Rgb(255, 0, 0));
    EXPECT_EQ(picture.At(16, 16), Rgb(255, 255, 255)) << "drawn at its own 16 x 16";

    desktop.SetMetric(win::kSmCxIcon, 48);
    desktop.SetMetric(win::kSmCyIcon, 48);
    surface->Resize(48, 48);
    EXPECT_TRUE(surface->DrawIcon(first.small, 0, 0));
    EXPECT_EQ(surface->Capture().At(47, 47), Rgb(255, 0, 0)) << "stretched to the icon metric";

    for (IconHandle h : {first.large, first.small, second.large, second.small})
        EXPECT_TRUE(desktop.DestroyIcon(h));
    EXPECT_FALSE(desktop.DestroyIcon(first.small));
    EXPECT_FALSE(surface->DrawIconEx(first.small, 0, 0));
    EXPECT_EQ(desktop.LiveExtractedIcons(), 0u);
}

TEST(FakeDesktop, TrayKeepsOneIconPerWindowAndId) {
    FakeDesktop desktop;
    NotifyIconData data{88, WindowHandle(10), 0, 7, win::kWmMouseMove, IconHandle(1), "Kelvorin"};
    EXPECT_TRUE(desktop.Shell_NotifyIconA(win::kNimAdd, data));
    EXPECT_FALSE(desktop.Shell_NotifyIconA(win::kNimAdd, data));
    EXPECT_EQ(desktop.TrayIcons().at({10, 0}).tip, "Kelvorin");
    EXPECT_TRUE(desktop.Shell_NotifyIconA(win::kNimDelete, data));
    EXPECT_FALSE(desktop.Shell_NotifyIconA(win::kNimDelete, data)) << "nothing left to remove";
    EXPECT_TRUE(desktop.TrayIcons().empty());
}

TEST(FakeDesktop, CompareTextFoldsOnlyAsciiLetters) {
    FakeDesktop desktop;
    struct Case {
        const char* a;
        const char* b;
        int sign;
    };
    const Case cases[] = {{"abc", "ABC", 0}, {"a", "B", -1}, {"_", "a", 1},         {"Z", "_", -1},
                          {"100", "20", -1}, {"ab", "a", 1}, {"表示", "非表示", -1}};
    for (const auto& c : cases) {
        int r = desktop.CompareText(c.a, c.b);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " vs " << c.b;
    }
}

}  // namespace
}  // namespace kelvorin::fake
