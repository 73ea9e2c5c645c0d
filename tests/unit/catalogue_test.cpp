#include "app/art.h"
#include "world.h"

namespace kelvorin::unit {

TEST(Refresh, ListsEveryTitledWindowInEnumerationOrderLessIMEWindowsWhileTheBoxIsChecked) {
    World w;
    w.desktop.iconSize = {16, 48};
    w.desktop.Add({.handle = WindowHandle(-5), .title = "Alpha"});
    w.desktop.Add({.title = ""});
    w.desktop.Add({.handle = WindowHandle(INT32_MIN), .title = "Hidden", .visible = false});
    w.desktop.Add({.handle = WindowHandle(INT32_MAX), .title = std::string(300, 'x')});
    w.desktop.onCall = [&](const std::string& call) {  // the slider is set before the first refresh
        const Slider& s = w.form.ToumeiSld;
        EXPECT_TRUE(call != "EnumWindows" ||
                    s.Max() * 1000 + s.Value() + s.TickFrequency() == 255271);
    };
    w.form.Form_Load();
    const std::string rows =
        "-2147483648|Hidden|非表示;2147483647|" + std::string(255, 'x') + "|表示;";
    EXPECT_EQ(w.Rows({col::Handle, col::Caption, col::Visibility}), "-5|Alpha|表示;" + rows);
    EXPECT_EQ(w.form.ImageList1.Width() * 100 + w.form.ImageList1.Height(), 1132) << "icon / 1.5";
    w.desktop.Fail("GetWindowTextA", 2);  // an unreadable title gives no row
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
    // The filter box, checked from the start, leaves out IME and own windows; each change rebuilds.
    w.desktop.Fail("EnumWindows", 0);
    std::string all = "Alpha;Hidden;" + std::string(255, 'x') + ";";
    const std::string filtered = all + "Editor;atok;My Default IME;Default IM;";
    for (std::string title : {"Default IME", "Editor", "ATOK31", "imejp", "Tessaly 2", "atok",
                              "My Default IME", "Default IM"})
        w.desktop.Add({.title = title}), all += title + ";";
    w.form.PRefreshBtn_Click();
    EXPECT_EQ(w.Rows({col::Caption}), filtered) << "the box starts checked";
    for (int value : {0, 1, 2, 1}) {
        value == 1 ? w.form.IMEUnShowChk.UserToggle() : w.form.IMEUnShowChk.SetValue(value);
        EXPECT_EQ(w.Rows({col::Caption}), value == 1 ? filtered : all) << value;
    }
}

// Small icons through their mask on the list background; the loaded summary keeps five fields.
TEST(ProcessLookup, EachRowGetsItsProcessAndTheIconOfItsOwnExecutable) {
    World w;
    constexpr Colour kBackground = Rgb(250, 240, 200);
    w.desktop.windowColour = kBackground;
    auto cell = [&](const Image& picture) {
        Image out(21, 21, kBackground);
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                if (picture.At(x, y) != fake::kClear) out.Set(x, y, picture.At(x, y));
        return out;
    };
    // clang-format off
    w.desktop.processes = {
        {7, "app.exe", "C:\\One\\app.exe"},         {8, "app.exe", "C:\\Two\\app.exe"},
        {9, "csrss.exe", "C:\\csrss.exe", false},    {10, "plain.exe", "C:\\plain.exe"},
        {0, "[System Process]", "C:\\never.exe"},    {4242, "own.exe", "C:\\own.exe"},
        {11, "broken.exe", "C:\\broken.exe"},        {7, "late.exe"}};  // the first counts
    // clang-format on
    // Small icons with their bottom row outside the mask; the large ones must not show.
    fake::Icon red = fake::Solid(Rgb(200, 0, 0)), blue = fake::Solid(Rgb(0, 0, 200));
    for (int x = 0; x < 16; ++x) red.small.Set(x, 15, fake::kClear);
    for (int x = 0; x < 16; ++x) blue.small.Set(x, 15, fake::kClear);
    red.large = blue.large = Image(32, 32, 0);
    // clang-format off
    w.desktop.iconFiles = {
        {"C:\\One\\app.exe", {red}}, {"C:\\Two\\app.exe", {blue}}, {"C:\\csrss.exe", {red}},
        {"C:\\plain.exe", {}},        {"C:\\broken.exe", {red}}};
    // clang-format on
    // Damaged icon data would take the system's icon code down: never handed over.
    w.desktop.files["C:\\broken.exe"] = fake::IcoFileBytes().substr(0, 40);
    const Image none = cell(PlaceholderImage(kBackground));
    // clang-format off
    const struct { uint32_t process; std::string cells; Image picture; } rows[] = {
        {7, "app.exe|7|C:\\One\\app.exe", cell(red.small)},
        {8, "app.exe|8|C:\\Two\\app.exe", cell(blue.small)},
        {7, "app.exe|7|C:\\One\\app.exe", cell(red.small)},
        {9, "csrss.exe|9|csrss.exe", none},  // unreadable modules never give the icon's path
        {10, "plain.exe|10|C:\\plain.exe", none},
        {11, "broken.exe|11|C:\\broken.exe", none},
        {99, "||", Image()},  // started after the snapshot
        {7, "||", Image()}};  // gone while the lookup runs: process 0
    // clang-format on
    std::vector<WindowHandle> h;
    for (const auto& r : rows)
        h.push_back(
            w.desktop.Add({.title = h.empty() ? "a\tb\r\nc" : "w", .processId = r.process}));
    w.desktop.onCall = [&](const std::string& call) {
        if (call == "CreateToolhelp32Snapshot") w.desktop.Destroy(h.back());
    };
    w.form.Form_Load();
    for (size_t i = 0; i < std::size(rows); ++i) {
        int image = w.form.ListView1.Row(*w.RowOf(h[i])).image;
        EXPECT_EQ(w.Cell(h[i], col::ProcessName) + "|" + w.Cell(h[i], col::ProcessId) + "|" +
                      w.Cell(h[i], col::FullPath),
                  rows[i].cells);
        EXPECT_EQ(image ? w.form.ImageList1.At(image) : Image(), rows[i].picture) << i;
    }
    EXPECT_EQ(none.At(0, 0), kBackground) << "the placeholder lies on the list background";
    EXPECT_EQ(w.desktop.clipboard, Text(h[0]) + "\tapp.exe\ta b  c\t7\tC:\\One\\app.exe");
    // A module snapshot of process 0 reads the program's own: the path goes to that process.
    EXPECT_EQ(w.form.ProcessTable()[4].exePath + w.form.ProcessTable()[5].exePath,
              "[System Process]C:\\own.exe");
    EXPECT_EQ(w.desktop.LiveIcons() + w.desktop.Unpaired(), 0u);
    w.form.PRefreshBtn_Click();
    EXPECT_EQ(w.form.ImageList1.Count(), 6) << "one picture per row with a process, afresh";
    w.desktop.Fail("CreateToolhelp32Snapshot", 1);  // no process data, nothing left open
    w.form.PRefreshBtn_Click();
    EXPECT_EQ(size_t(w.form.ImageList1.Count()) + w.desktop.Unpaired(), 0u);
}

// Each call with the state it finds: Alpha and Beta read alike; the clipboard is emptied first.
TEST(Load, RunsItsStepsInOrder) {
    World w;
    w.desktop.Add({.title = "Alpha"});
    WindowHandle beta = w.desktop.Add({.title = "Beta"});
    w.form.Form_Load();
    w.form.ListView1.Select(1);
    w.form.ToumeiSld.SetValue(100);
    w.desktop.clipboard = "another program's";
    std::string seen;
    w.desktop.onCall = [&](const std::string& call) {
        const Slider& s = w.form.ToumeiSld;
        seen += call + " " + Text(w.form.SelectedWindow()) + w.form.CaptionTxt.Text() +
                std::to_string(s.Value()) + "/" + std::to_string(s.Min()) +
                (w.desktop.clipboard ? "+;" : ";");
    };
    w.form.ItemLoad();
    std::string expected, b = Text(beta) + "Beta";
    for (const char* call :
         {"IsWindowVisible", "GetParent", "FindWindowA", "GetParent", "GetWindowLongA"})
        expected += call + (" " + b + "100/64+;");
    expected += "GetVersionPlatformId " + b + "255/64+;Clipboard.Empty " + b + "255/64+;";
    EXPECT_EQ(seen, expected + "Clipboard.SetText " + b + "255/64;");
    // Only the Windows 9x family disables the slider and the finder's label.
    for (auto [platformId, enabled] : {std::pair{1u, 0}, {2u, 2}}) {
        World v;
        v.desktop.platformId = platformId;
        v.form.ItemLoad();
        EXPECT_EQ(v.form.ToumeiSld.Enabled() + v.form.Label2.Enabled(), enabled);
    }
}

// Equal keys keep the order they came in, "B" after "b", also when a caption changes.
TEST(ColumnSort, TheFirstClickSortsDescendingEveryClickFlipsAndARefreshPlacesRowsUnderIt) {
    World w;
    w.desktop.processes = {{100, "hundred.exe"}, {20, "twenty.exe"}};
    w.desktop.Add({.handle = WindowHandle(100), .title = "b", .processId = 100});
    w.desktop.Add({.handle = WindowHandle(20), .title = "C", .processId = 20});
    w.desktop.Add({.handle = WindowHandle(3), .title = "a", .visible = false});
    w.desktop.Add({.handle = WindowHandle(7), .title = "B"});
    w.form.Form_Load();
    // clang-format off
    const std::pair<int, std::string> clicks[] = {
        {2, "7;3;20;100;"}, {2, "100;20;3;7;"}, {4, "C;b;B;a;"},
        {5, ";;100;20;"},   {5, "20;100;;;"}};
    // clang-format on
    for (const auto& [header, column] : clicks) {
        w.form.ListView1_ColumnClick(header);
        EXPECT_EQ(w.Rows({size_t(header - 1)}), column) << header;
    }
    w.form.ListView1_ColumnClick(4);
    w.Click(WindowHandle(3));
    w.form.CaptionTxt.UserEdited("b"), w.form.CaptionChangeBtn.Click();  // placed among its equals
    EXPECT_EQ(w.Rows({col::Handle}), "100;3;7;20;");
    // A refresh places each row and marks it by its own window while the list is hidden.
    w.form.ListView1_ColumnClick(4);
    w.desktop.onCall = [&](const std::string&) { EXPECT_FALSE(w.form.ListView1.Visible()); };
    w.form.PRefreshBtn_Click();
    EXPECT_EQ(w.Rows({col::Handle, col::Visibility}), "20|表示;100|表示;3|非表示;7|表示;");
    EXPECT_EQ(w.form.SelectedWindow(), WindowHandle(100)) << "the first window is loaded";
    EXPECT_TRUE(w.form.ListView1.Visible());
}

}  // namespace kelvorin::unit
