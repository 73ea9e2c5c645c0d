// The catalogue: start-up, the refresh with its filter, and the process and
// icon lookup of each row.
#include "app/art.h"
#include "world.h"

namespace kelvorin {
namespace {

using unit::Text;
using unit::World;

// Handle, caption and visibility of every row.
std::string Rows(const World& w) {
    std::string rows;
    for (size_t row = 0; row < w.form.ListView1.RowCount(); ++row)
        for (size_t column : {col::Handle, col::Caption, col::Visibility})
            rows += w.form.ListView1.Cell(row, column) + (column == col::Visibility ? ";" : "|");
    return rows;
}

TEST(Refresh, ListsEveryTitledWindowInEnumerationOrder) {
    World w;
    w.desktop.Add({.handle = WindowHandle(-5), .title = "Alpha"});
    w.desktop.Add({.title = ""});
    w.desktop.Add({.handle = WindowHandle(INT32_MIN), .title = "Hidden", .visible = false});
    w.desktop.Add({.handle = WindowHandle(INT32_MAX), .title = std::string(300, 'x')});
    w.form.Form_Load();
    const std::string hidden = "-2147483648|Hidden|非表示;", longest = "2147483647|" + std::string(255, 'x') + "|表示;";
    EXPECT_EQ(Rows(w), "-5|Alpha|表示;" + hidden + longest);
    w.desktop.Fail("GetWindowTextA", 1, 1);  // an unreadable title gives no row
    w.form.PRefreshBtn_Click();
    EXPECT_EQ(Rows(w), hidden + longest);
}

TEST(Refresh, StartUpSizesTheIconCellAndTheSliderBeforeTheFirstRefresh) {
    const struct { int cx, cy, width, height; } cases[] = {{32, 32, 21, 21}, {16, 16, 11, 11}, {32, 48, 21, 32}};
    for (auto c : cases) {
        World w;
        w.desktop.metrics = {{11, c.cx}, {12, c.cy}};
        w.desktop.processes.push_back({.processId = 7, .exeFile = "a.exe"});
        w.desktop.Add({.title = "Window", .processId = 7});
        bool enumerated = false;
        w.desktop.onCall = [&](const std::string& call) {
            if (call != "EnumWindows()") return;
            enumerated = true;
            const Slider& s = w.form.ToumeiSld;
            EXPECT_EQ(std::vector<int>({s.Min(), s.Max(), s.Value(), s.TickFrequency()}),
                      std::vector<int>({0, 255, 255, 16}));
        };
        w.form.Form_Load();
        EXPECT_TRUE(enumerated);
        EXPECT_EQ(w.form.ImageList1.Width(), c.width);
        EXPECT_EQ(w.form.ImageList1.Height(), c.height);
        const Image& cell = w.form.ImageList1.At(1);
        EXPECT_EQ(cell.width * 100 + cell.height, c.width * 100 + c.height) << c.cx << "x" << c.cy;
    }
}

TEST(Refresh, TheFilterBoxLeavesOutIMEAndOwnWindowsOnlyWhileCheckedAndEveryChangeRebuilds) {
    World w;
    for (const char* title : {"Default IME", "Editor", "ATOK31 helper", "imejp", "Tessaly 2", "atok",
                              "My Default IME", "Default IM"})
        w.desktop.Add({.title = title});
    const std::string all = "Default IME|Editor|ATOK31 helper|imejp|Tessaly 2|atok|My Default IME|Default IM";
    const std::string filtered = "Editor|atok|My Default IME|Default IM";
    w.desktop.logging = true;
    w.form.Form_Load();
    EXPECT_EQ(w.Column(col::Caption), filtered) << "the box starts checked";
    const std::pair<int, std::string> steps[] = {{0, all}, {1, filtered}, {2, all}, {1, filtered}};
    for (const auto& [value, titles] : steps) {
        size_t before = w.desktop.Count("EnumWindows");
        value == 1 ? w.form.IMEUnShowChk.UserToggle() : w.form.IMEUnShowChk.SetValue(value);
        EXPECT_EQ(w.desktop.Count("EnumWindows"), before + 1);
        EXPECT_EQ(w.Column(col::Caption), titles) << "box " << value;
    }
}

TEST(Refresh, AFailedEnumerationSaysSoEachTimeAndTheRefreshGoesOn) {
    World w;
    w.desktop.Fail("EnumWindows");
    for (size_t refresh = 1; refresh <= 2; ++refresh) {
        w.desktop.clipboard = "before";
        w.form.PRefreshBtn_Click();
        ASSERT_EQ(w.desktop.boxes.size(), refresh);
        EXPECT_EQ(w.desktop.boxes.back().text + "|" + w.desktop.boxes.back().title, "取得に失敗しました|Kelvorin");
        EXPECT_EQ(w.desktop.boxes.back().style, 0u);
        EXPECT_EQ(w.desktop.clipboard, "") << "the selection is still loaded";
        EXPECT_TRUE(w.form.ListView1.Visible());
    }
}

TEST(Refresh, TheListIsHiddenWhileItIsRebuilt) {
    World w;
    w.desktop.Add({.title = "One"});
    w.form.Form_Load();
    size_t calls = 0;
    w.desktop.onCall = [&](const std::string& call) {
        ++calls;
        EXPECT_FALSE(w.form.ListView1.Visible()) << call;
    };
    w.form.PRefreshBtn_Click();
    EXPECT_GT(calls, 5u);
    EXPECT_TRUE(w.form.ListView1.Visible());
}

TEST(Refresh, UnderASortEveryRowIsPlacedAndMarkedByItsOwnWindow) {
    World w;
    const bool visible[] = {true, false, true, false, false, true};
    std::vector<std::string> h;
    for (size_t i = 0; i < 6; ++i)
        h.push_back(Text(w.desktop.Add({.title = std::string(1, "bCadfE"[i]), .visible = visible[i]})));
    w.form.Form_Load();
    const struct { size_t key; int order; std::string captions; } cases[] = {
        {col::Caption, 0, "a|b|C|d|E|f"}, {col::Caption, 1, "f|E|d|C|b|a"},
        {col::Visibility, 0, "b|a|E|C|d|f"}, {col::Visibility, 1, "C|d|f|b|a|E"}};
    for (const auto& c : cases) {
        w.form.ListView1.SetSortKey(int(c.key));
        w.form.ListView1.SetSortOrder(c.order);
        w.form.ListView1.SetSorted(true);
        w.form.ListView1.Select(5);
        w.form.PRefreshBtn_Click();
        EXPECT_EQ(w.Column(col::Caption), c.captions);
        for (size_t i = 0; i < 6; ++i)
            EXPECT_EQ(w.Cell(WindowHandle(std::stoi(h[i])), col::Visibility), visible[i] ? "表示" : "非表示");
        EXPECT_EQ(w.form.SelectedWindow(), WindowHandle(std::stoi(h[0]))) << "the first window enumerated";
    }
}

// --- process and icon lookup ---------------------------------------------------

constexpr Colour kBackground = Rgb(250, 240, 200);

// A green large icon and a small one whose bottom row lies outside its mask:
// a row's cell shows the small one through its mask on the list background.
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
    return w.Cell(h, col::ProcessName) + "|" + w.Cell(h, col::ProcessId) + "|" + w.Cell(h, col::FullPath);
}

Image Picture(const World& w, WindowHandle h) {
    int image = w.form.ListView1.Row(*w.RowOf(h)).image;
    return image ? w.form.ImageList1.At(image) : Image();
}

TEST(ProcessLookup, EachRowGetsItsProcessAndTheIconOfItsOwnExecutable) {
    World w;
    w.desktop.windowColour = kBackground;
    w.desktop.processes = {{7, "app.exe", "C:\\One\\app.exe"}, {8, "app.exe", "C:\\Two\\app.exe"},
                           {9, "csrss.exe", "C:\\Win\\csrss.exe", false}, {10, "plain.exe", "C:\\plain.exe"},
                           {0, "[System Process]"}};
    w.desktop.iconFiles = {{"C:\\One\\app.exe", {TwoSizes(Rgb(200, 0, 0))}},
                           {"C:\\Two\\app.exe", {TwoSizes(Rgb(0, 0, 200))}},
                           {"C:\\Win\\csrss.exe", {TwoSizes(Rgb(1, 1, 1))}}};
    WindowHandle one = w.desktop.Add({.title = "one", .processId = 7});
    WindowHandle two = w.desktop.Add({.title = "two", .processId = 8});
    WindowHandle oneAgain = w.desktop.Add({.title = "one again", .processId = 7});
    WindowHandle system = w.desktop.Add({.title = "system", .processId = 9});
    WindowHandle plain = w.desktop.Add({.title = "plain", .processId = 10});
    WindowHandle newcomer = w.desktop.Add({.title = "started after the snapshot", .processId = 99});
    WindowHandle closing = w.desktop.Add({.title = "closing", .processId = 7});
    // A window that goes while the lookup runs reports process 0.
    w.desktop.onCall = [&](const std::string& call) {
        if (call.starts_with("CreateToolhelp32Snapshot")) w.desktop.Destroy(closing);
    };
    w.desktop.logging = true;
    w.form.Form_Load();
    const Image placeholder = Cell(PlaceholderImage(kBackground));
    const struct { WindowHandle h; std::string cells; Image picture; } rows[] = {
        {one, "app.exe|7|C:\\One\\app.exe", Cell(TwoSizes(Rgb(200, 0, 0)).small)},
        {two, "app.exe|8|C:\\Two\\app.exe", Cell(TwoSizes(Rgb(0, 0, 200)).small)},
        {oneAgain, "app.exe|7|C:\\One\\app.exe", Cell(TwoSizes(Rgb(200, 0, 0)).small)},
        // The icon is at the full path, which unreadable modules never give.
        {system, "csrss.exe|9|csrss.exe", placeholder},
        {plain, "plain.exe|10|C:\\plain.exe", placeholder},
        {newcomer, "||", Image()},
        {closing, "||", Image()}};
    for (const auto& r : rows) {
        EXPECT_EQ(ProcessCells(w, r.h), r.cells) << Text(r.h);
        EXPECT_EQ(Picture(w, r.h), r.picture) << w.Cell(r.h, col::Caption);
    }
    EXPECT_EQ(w.form.ImageList1.Count(), 5) << "one picture per row with a process";
    EXPECT_EQ(w.desktop.Count("ExtractIconExA"), 4u) << "once per executable";
    EXPECT_EQ(w.desktop.LiveIcons(), 0u);
    w.form.PRefreshBtn_Click();
    EXPECT_EQ(w.form.ImageList1.Count(), 5) << "each lookup starts the pictures afresh";
    EXPECT_EQ(Picture(w, two), rows[1].picture);
}

TEST(ProcessLookup, EverySnapshotIsClosedAndAFailedCallLeavesOnlyWhatItCouldNotRead) {
    const struct { const char* call; int after; size_t snapshots; std::string editor, mail; } cases[] = {
        {"", 0, 3, "editor.exe|7|C:\\editor.exe", "mail.exe|9|C:\\mail.exe"},
        {"CreateToolhelp32Snapshot", 0, 1, "||", "||"},
        {"Process32First", 0, 1, "||", "||"},
        {"Process32Next", 0, 2, "editor.exe|7|C:\\editor.exe", "||"},
        {"CreateToolhelp32Snapshot", 1, 3, "editor.exe|7|editor.exe", "mail.exe|9|C:\\mail.exe"},
        {"Module32First", 0, 3, "editor.exe|7|editor.exe", "mail.exe|9|C:\\mail.exe"},
        {"ExtractIconExA", 0, 3, "editor.exe|7|C:\\editor.exe", "mail.exe|9|C:\\mail.exe"}};
    for (const auto& c : cases) {
        World w;
        w.desktop.processes = {{7, "editor.exe", "C:\\editor.exe"}, {9, "mail.exe", "C:\\mail.exe"}};
        w.desktop.iconFiles = {{"C:\\editor.exe", {fake::Solid(1)}}, {"C:\\mail.exe", {fake::Solid(2)}}};
        WindowHandle editor = w.desktop.Add({.title = "Editor", .processId = 7});
        WindowHandle mail = w.desktop.Add({.title = "Inbox", .processId = 9});
        w.desktop.logging = true;
        if (*c.call) w.desktop.Fail(c.call, c.after, 1);
        w.form.Form_Load();
        EXPECT_EQ(w.desktop.Count("CreateToolhelp32Snapshot"), c.snapshots) << c.call;
        EXPECT_EQ(ProcessCells(w, editor) + " " + ProcessCells(w, mail), c.editor + " " + c.mail) << c.call;
        EXPECT_EQ(w.desktop.OpenHandles(), 0u) << c.call;
        EXPECT_EQ(w.desktop.LiveIcons(), 0u) << c.call;
    }
}

TEST(ProcessLookup, TheTableKeepsSnapshotOrderPast1001EntriesAndEachModuleGoesToItsProcess) {
    World w;
    // A module snapshot of process 0 reads the caller's own process.
    w.desktop.processes = {{0, "[System Process]", "C:\\never.exe"},
                           {w.desktop.currentProcessId, "kelvorin.exe", "C:\\kelvorin.exe"}};
    for (uint32_t i = 0; i < 1500; ++i)
        w.desktop.processes.push_back({10000 - 4 * i, "p" + std::to_string(i) + ".exe", "C:\\p" + std::to_string(i)});
    WindowHandle last = w.desktop.Add({.title = "last", .processId = 10000 - 4 * 1499});
    w.form.Form_Load();
    ASSERT_EQ(w.form.ProcessTable().size(), 1502u);
    EXPECT_EQ(w.form.ProcessTable()[0].exePath, "[System Process]");
    EXPECT_EQ(w.form.ProcessTable()[1].exePath, "C:\\kelvorin.exe");
    EXPECT_EQ(w.form.ProcessTable()[1501].processId, 10000u - 4 * 1499);
    EXPECT_EQ(ProcessCells(w, last), "p1499.exe|4004|C:\\p1499");
}

}  // namespace
}  // namespace kelvorin
