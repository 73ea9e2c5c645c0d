// The catalogue: start-up, the refresh with its filter, and each row's
// process and icon.
#include "app/art.h"
#include "world.h"

namespace kelvorin {
namespace {

using unit::Text;
using unit::World;

TEST(Refresh, StartUpListsEveryTitledWindowInEnumerationOrder) {
    World w;
    w.desktop.metrics = {{11, 16}, {12, 48}};
    w.desktop.Add({.handle = WindowHandle(-5), .title = "Alpha"});
    w.desktop.Add({.title = ""});
    w.desktop.Add({.handle = WindowHandle(INT32_MIN), .title = "Hidden", .visible = false});
    w.desktop.Add({.handle = WindowHandle(INT32_MAX), .title = std::string(300, 'x')});
    w.desktop.onCall = [&](const std::string& call) {
        const Slider& s = w.form.ToumeiSld;  // set before the first refresh
        EXPECT_TRUE(call != "EnumWindows" ||
                    s.Max() * 1000 + s.Value() + s.TickFrequency() == 255271);
    };
    w.form.Form_Load();
    const std::string rows =
        "-2147483648|Hidden|非表示;2147483647|" + std::string(255, 'x') + "|表示;";
    EXPECT_EQ(w.Rows({col::Handle, col::Caption, col::Visibility}), "-5|Alpha|表示;" + rows);
    EXPECT_EQ(w.form.ImageList1.Width() * 100 + w.form.ImageList1.Height(), 1132)
        << "icon / 1.5, rounded";
    w.desktop.Fail("GetWindowTextA", 1, 1);  // an unreadable title gives no row
    w.form.PRefreshBtn_Click();
    EXPECT_EQ(w.Rows({col::Handle, col::Caption, col::Visibility}), rows);
    w.desktop.Fail("EnumWindows");  // said each time, and the refresh goes on
    for (size_t refresh = 1; refresh <= 2; ++refresh) {
        w.desktop.clipboard = "before";
        w.form.PRefreshBtn_Click();
        EXPECT_EQ(w.desktop.boxes,
                  std::vector<std::string>(refresh, "Kelvorin|取得に失敗しました|0"));
        EXPECT_EQ(w.desktop.clipboard, "") << "the selection is still loaded";
    }
}

TEST(Refresh, TheFilterBoxLeavesOutIMEAndOwnWindowsOnlyWhileCheckedAndEachChangeRebuilds) {
    World w;
    for (const char* title : {"Default IME", "Editor", "ATOK31", "imejp", "Tessaly 2", "atok",
                              "My Default IME", "Default IM"})
        w.desktop.Add({.title = title});
    const std::string all =
        "Default IME;Editor;ATOK31;imejp;Tessaly 2;atok;My Default IME;Default IM;";
    const std::string filtered = "Editor;atok;My Default IME;Default IM;";
    w.desktop.logging = true;
    w.form.Form_Load();
    EXPECT_EQ(w.Rows({col::Caption}), filtered) << "the box starts checked";
    const std::pair<int, std::string> steps[] = {{0, all}, {1, filtered}, {2, all}, {1, filtered}};
    for (size_t i = 0; i < 4; ++i) {
        steps[i].first == 1 ? w.form.IMEUnShowChk.UserToggle()
                            : w.form.IMEUnShowChk.SetValue(steps[i].first);
        EXPECT_EQ(w.Rows({col::Caption}), steps[i].second) << steps[i].first;
        EXPECT_EQ(w.desktop.Count("EnumWindows"), i + 2);
    }
}

TEST(Refresh, UnderASortEveryRowIsPlacedAndMarkedByItsOwnWindowWhileTheListIsHidden) {
    World w;
    const bool visible[] = {true, false, true, false, false, true};
    std::vector<WindowHandle> h;
    for (size_t i = 0; i < 6; ++i)
        h.push_back(w.desktop.Add({.title = {"bCadfE"[i]}, .visible = visible[i]}));
    w.form.Form_Load();
    // clang-format off
    const struct { size_t key; int order; std::string rows; } cases[] = {
        {col::Caption, 0, "a|表示;b|表示;C|非表示;d|非表示;E|表示;f|非表示;"},
        {col::Caption, 1, "f|非表示;E|表示;d|非表示;C|非表示;b|表示;a|表示;"},
        {col::Visibility, 0, "b|表示;a|表示;E|表示;C|非表示;d|非表示;f|非表示;"},
        {col::Visibility, 1, "C|非表示;d|非表示;f|非表示;b|表示;a|表示;E|表示;"}};
    // clang-format on
    w.desktop.onCall = [&](const std::string& call) {
        EXPECT_FALSE(w.form.ListView1.Visible()) << call << ": redrawn row by row";
    };
    for (const auto& c : cases) {
        w.form.ListView1.SetSortKey(int(c.key));
        w.form.ListView1.SetSortOrder(c.order);
        w.form.ListView1.SetSorted(true);
        w.form.ListView1.Select(5);
        w.form.PRefreshBtn_Click();
        EXPECT_EQ(w.Rows({col::Caption, col::Visibility}), c.rows);
        EXPECT_EQ(w.form.SelectedWindow(), h[0]) << "the first window enumerated is loaded";
        EXPECT_TRUE(w.form.ListView1.Visible());
    }
}

// --- each row's process and icon ----------------------------------------------

constexpr Colour kBackground = Rgb(250, 240, 200);

// A green large icon and a small one whose bottom row lies outside its mask:
// a row shows the small one through its mask on the list background.
fake::Icon TwoSizes(Colour colour) {
    Image small(16, 16, colour);
    for (int x = 0; x < 16; ++x) small.Set(x, 15, fake::kClear);
    return {Image(32, 32, Rgb(0, 160, 0)), small};
}

Image Cell(const Image& picture) {
    Image cell(21, 21, kBackground);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            if (picture.At(x, y) != fake::kClear) cell.Set(x, y, picture.At(x, y));
    return cell;
}

std::string ProcessCells(const World& w, WindowHandle h) {
    return w.Cell(h, col::ProcessName) + "|" + w.Cell(h, col::ProcessId) + "|" +
           w.Cell(h, col::FullPath);
}

TEST(ProcessLookup, EachRowGetsItsProcessAndTheIconOfItsOwnExecutable) {
    World w;
    w.desktop.windowColour = kBackground;
    w.desktop.processes = {
        {7, "app.exe", "C:\\One\\app.exe"},       {8, "app.exe", "C:\\Two\\app.exe"},
        {9, "csrss.exe", "C:\\csrss.exe", false}, {10, "plain.exe", "C:\\plain.exe"},
        {0, "[System Process]", "C:\\never.exe"}, {4242, "own.exe", "C:\\own.exe"},
        {11, "broken.exe", "C:\\broken.exe"}};
    const fake::Icon red = TwoSizes(Rgb(200, 0, 0)), blue = TwoSizes(Rgb(0, 0, 200));
    w.desktop.iconFiles = {
        {"C:\\One\\app.exe", {red}}, {"C:\\Two\\app.exe", {blue}}, {"C:\\csrss.exe", {red}},
        {"C:\\plain.exe", {}}, {"C:\\broken.exe", {red}}};
    // Damaged icon data would take the system's icon code down: never handed over.
    w.desktop.files["C:\\broken.exe"] = fake::IcoFileBytes().substr(0, 40);
    const Image none = Cell(PlaceholderImage(kBackground));
    // clang-format off
    const struct { uint32_t process; std::string cells; Image picture; } rows[] = {
        {7, "app.exe|7|C:\\One\\app.exe", Cell(red.small)},
        {8, "app.exe|8|C:\\Two\\app.exe", Cell(blue.small)},
        {7, "app.exe|7|C:\\One\\app.exe", Cell(red.small)},
        {9, "csrss.exe|9|csrss.exe", none},  // unreadable modules never give the icon's path
        {10, "plain.exe|10|C:\\plain.exe", none}, {11, "broken.exe|11|C:\\broken.exe", none},
        {99, "||", Image()},  // started after the snapshot
        {7, "||", Image()}};  // gone while the lookup runs: process 0
    // clang-format on
    std::vector<WindowHandle> h;
    for (const auto& r : rows) h.push_back(w.desktop.Add({.title = "w", .processId = r.process}));
    w.desktop.onCall = [&](const std::string& call) {
        if (call == "CreateToolhelp32Snapshot") w.desktop.Destroy(h.back());
    };
    w.desktop.logging = true;
    w.form.Form_Load();
    for (size_t i = 0; i < std::size(rows); ++i) {
        int image = w.form.ListView1.Row(*w.RowOf(h[i])).image;
        EXPECT_EQ(ProcessCells(w, h[i]), rows[i].cells) << i;
        EXPECT_EQ(image ? w.form.ImageList1.At(image) : Image(), rows[i].picture) << i;
    }
    EXPECT_EQ(w.desktop.Count("ExtractIconExA"), 3u) << "once per sound executable";
    // A module snapshot of process 0 reads the program's own: the path goes to that process.
    EXPECT_EQ(w.form.ProcessTable()[4].exePath + w.form.ProcessTable()[5].exePath,
              "[System Process]C:\\own.exe");
    EXPECT_EQ(w.desktop.LiveIcons(), 0u);
    w.form.PRefreshBtn_Click();
    EXPECT_EQ(w.form.ImageList1.Count(), 6) << "one picture per row with a process, afresh";
}

TEST(ProcessLookup, EverySnapshotIsClosedAndAFailedCallLosesOnlyWhatItWouldHaveRead) {
    const std::string editor = "editor.exe|7|C:\\editor.exe;", mail = "mail.exe|9|C:\\mail.exe;";
    // clang-format off
    const struct { const char* call; int after; size_t snapshots; std::string rows; } cases[] = {
        {"", 0, 3, editor + mail}, {"CreateToolhelp32Snapshot", 0, 1, "||;||;"},
        {"Process32First", 0, 1, "||;||;"}, {"Process32Next", 0, 2, editor + "||;"},
        {"CreateToolhelp32Snapshot", 1, 3, "editor.exe|7|editor.exe;" + mail},
        {"Module32First", 1, 3, editor + "mail.exe|9|mail.exe;"},
        {"ExtractIconExA", 0, 3, editor + mail}};
    // clang-format on
    for (const auto& c : cases) {
        World w;
        w.desktop.processes = {{7, "editor.exe", "C:\\editor.exe"},
                               {9, "mail.exe", "C:\\mail.exe"}};
        w.desktop.iconFiles = {{"C:\\editor.exe", {fake::Solid(1)}}};
        w.desktop.Add({.title = "Editor", .processId = 7});
        w.desktop.Add({.title = "Inbox", .processId = 9});
        w.desktop.logging = true;
        w.desktop.Fail(c.call, c.after, 1);
        w.form.Form_Load();
        EXPECT_EQ(w.Rows({col::ProcessName, col::ProcessId, col::FullPath}), c.rows) << c.call;
        EXPECT_EQ(w.desktop.Count("CreateToolhelp32Snapshot"), c.snapshots) << c.call;
        EXPECT_EQ(w.desktop.OpenHandles() + w.desktop.LiveIcons(), 0u) << c.call;
    }
}

}  // namespace
}  // namespace kelvorin
