// PIdGet over the fake desktop: the process table, each row's process cells
// and its picture in ImageList1, and what the lookup asks of the platform.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "app/art.h"
#include "form_on_fake.h"

namespace kelvorin {
namespace {

using fake::FakeProcess;
using fake::FileIcon;
using unit::FormOnFake;
using unit::Text;

// Not white, so a cell cleared to some other colour shows.
constexpr Colour kListBackground = Rgb(250, 240, 200);
constexpr Colour kRed = Rgb(220, 0, 0);
constexpr Colour kBlue = Rgb(0, 0, 230);
constexpr Colour kGreen = Rgb(0, 160, 0);

// A green large icon and a small one of `colour` whose bottom row lies outside
// its mask: only the small one belongs in a row's cell, drawn through its mask.
FileIcon TwoSizeIcon(Colour colour) {
    Image small(16, 16, colour);
    for (int x = 0; x < 16; ++x) small.Set(x, 15, fake::kTransparent);
    return {Image(32, 32, kGreen), small};
}

// A 21 x 21 cell of the list background with `picture` at its top-left.
Image CellWith(const Image& picture) {
    Image cell(21, 21, kListBackground);
    for (int y = 0; y < picture.height && y < cell.height; ++y)
        for (int x = 0; x < picture.width && x < cell.width; ++x)
            if (picture.At(x, y) != fake::kTransparent) cell.Set(x, y, picture.At(x, y));
    return cell;
}

const Image kRedCell = CellWith(TwoSizeIcon(kRed).small);
const Image kBlueCell = CellWith(TwoSizeIcon(kBlue).small);
const Image kPlaceholderCell = CellWith(PlaceholderImage(kListBackground));

// The process cells of a row: name, id and path.
struct ProcessCells {
    std::string name, id, path;
    friend bool operator==(const ProcessCells&, const ProcessCells&) = default;
    friend std::ostream& operator<<(std::ostream& out, const ProcessCells& c) {
        return out << "{" << c.name << ", " << c.id << ", " << c.path << "}";
    }
};
const ProcessCells kNoProcess{"", "", ""};

class ProcessLookup : public FormOnFake {
  protected:
    void SetUp() override { desktop.SetSysColour(win::kColorWindow, kListBackground); }

    ProcessCells CellsOf(WindowHandle h) const {
        return {CellOf(h, col::ProcessName), CellOf(h, col::ProcessId), CellOf(h, col::FullPath)};
    }

    // The row's picture; an empty image for a row without one.
    Image PictureOf(WindowHandle h) const {
        int image = ImageOf(h);
        return image > 0 && image <= form.ImageList1.Count() ? form.ImageList1.At(image) : Image();
    }
};

TEST_F(ProcessLookup, WindowsOfOneProcessShareItsCellsAndEachGetsItsOwnImage) {
    desktop.AddProcess(
        {.processId = 7, .exeFile = "editor.exe", .exePath = "C:\\Apps\\editor.exe"});
    desktop.AddProcess({.processId = 9, .exeFile = "mail.exe", .exePath = "C:\\Apps\\mail.exe"});
    desktop.AddIconFile("C:\\Apps\\editor.exe", {TwoSizeIcon(kRed)});
    desktop.AddIconFile("C:\\Apps\\mail.exe", {TwoSizeIcon(kBlue)});
    WindowHandle first = Add({.title = "a.txt - Editor", .processId = 7});
    WindowHandle mail = Add({.title = "Inbox", .processId = 9});
    WindowHandle second = Add({.title = "b.txt - Editor", .processId = 7});

    form.Form_Load();

    const ProcessCells editor{"editor.exe", "7", "C:\\Apps\\editor.exe"};
    EXPECT_EQ(CellsOf(first), editor);
    EXPECT_EQ(CellsOf(second), editor);
    EXPECT_EQ(CellsOf(mail), (ProcessCells{"mail.exe", "9", "C:\\Apps\\mail.exe"}));
    // One new image per row, numbered in row order.
    EXPECT_EQ(form.ImageList1.Count(), 3);
    EXPECT_EQ(ImageOf(first), 1);
    EXPECT_EQ(ImageOf(mail), 2);
    EXPECT_EQ(ImageOf(second), 3);
    EXPECT_EQ(PictureOf(first), kRedCell);
    EXPECT_EQ(PictureOf(second), kRedCell);
    EXPECT_EQ(PictureOf(mail), kBlueCell);
    for (const auto& call : desktop.Log().Named("ExtractIconExA"))
        EXPECT_EQ(call.args[1], "0") << "the file's first icon";
}

TEST_F(ProcessLookup, RowsWithoutAnIconShowThePlaceholderOnTheListBackground) {
    struct Case {
        const char* what;
        FakeProcess process;
        std::string path;  // what the row's path cell shows, and what the icon is asked of
    };
    const Case cases[] = {
        // The icon sits at the full path, which an unreadable module list never gives.
        {"module list refused",
         {.processId = 11,
          .exeFile = "csrss.exe",
          .exePath = "C:\\Windows\\csrss.exe",
          .modulesReadable = false},
         "csrss.exe"},
        {"file without icons",
         {.processId = 12, .exeFile = "plain.exe", .exePath = "C:\\Tools\\plain.exe"},
         "C:\\Tools\\plain.exe"},
        {"path names no file",
         {.processId = 13, .exeFile = "gone.exe", .exePath = "C:\\Gone\\gone.exe"},
         "C:\\Gone\\gone.exe"},
        // The system's icon code would read past its end: never handed over.
        {"damaged icon data",
         {.processId = 14, .exeFile = "broken.exe", .exePath = "C:\\Apps\\broken.exe"},
         "C:\\Apps\\broken.exe"},
    };
    desktop.AddIconFile("C:\\Windows\\csrss.exe", {TwoSizeIcon(kRed)});
    desktop.AddIconFile("C:\\Tools\\plain.exe", {});
    desktop.AddIconFile("C:\\Apps\\broken.exe", {TwoSizeIcon(kRed)});
    desktop.Files()["C:\\Apps\\broken.exe"] = fake::IcoFileBytes().substr(0, 40);
    std::vector<WindowHandle> windows;
    for (const auto& c : cases) {
        desktop.AddProcess(c.process);
        windows.push_back(Add({.title = c.what, .processId = c.process.processId}));
    }

    form.Form_Load();

    std::vector<std::string> checked, extracted;
    for (const auto& call : desktop.Log().Named("OpenFileForReading"))
        checked.push_back(call.args[0]);
    for (const auto& call : desktop.Log().Named("ExtractIconExA"))
        extracted.push_back(call.args[0]);
    EXPECT_EQ(extracted, std::vector<std::string>{fake::Arg("C:\\Tools\\plain.exe")})
        << "only a readable, sound file goes to the system's icon code";
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        EXPECT_EQ(CellsOf(windows[i]),
                  (ProcessCells{c.process.exeFile, std::to_string(c.process.processId), c.path}))
            << c.what;
        EXPECT_EQ(PictureOf(windows[i]), kPlaceholderCell) << c.what;
        EXPECT_NE(std::find(checked.begin(), checked.end(), fake::Arg(c.path)), checked.end())
            << c.what;
    }
}

TEST_F(ProcessLookup, ModulePathGoesToTheProcessTheModuleReportsSoProcessZeroKeepsItsName) {
    // A module snapshot of process 0 reads the caller's own process.
    desktop.AddProcess({.processId = 0, .exeFile = "[System Process]", .exePath = "C:\\never.exe"});
    desktop.AddProcess({.processId = 4, .exeFile = "System", .modulesReadable = false});
    desktop.AddProcess({.processId = desktop.CurrentProcessId(),
                        .exeFile = "kelvorin.exe",
                        .exePath = "C:\\Kelvorin\\kelvorin.exe"});
    WindowHandle own = Add({.title = "own window", .processId = desktop.CurrentProcessId()});

    form.Form_Load();

    std::vector<std::string> paths;
    for (const auto& entry : form.ProcessTable()) paths.push_back(entry.exePath);
    EXPECT_EQ(paths, (std::vector<std::string>{"[System Process]", "System",
                                               "C:\\Kelvorin\\kelvorin.exe"}));
    EXPECT_EQ(CellOf(own, col::FullPath), "C:\\Kelvorin\\kelvorin.exe");
}

TEST_F(ProcessLookup, TableGrowsPast1001ProcessesInSnapshotOrder) {
    constexpr uint32_t kProcesses = 1500;
    auto id = [](uint32_t i) { return 10000 - 4 * i; };  // descending: order is the snapshot's
    for (uint32_t i = 0; i < kProcesses; ++i)
        desktop.AddProcess({.processId = id(i),
                            .exeFile = "p" + std::to_string(i) + ".exe",
                            .exePath = "C:\\P\\p" + std::to_string(i) + ".exe"});
    std::vector<std::pair<uint32_t, WindowHandle>> windows;
    for (uint32_t i : {0u, 1000u, 1001u, kProcesses - 1})
        windows.emplace_back(i, Add({.title = "window " + std::to_string(i), .processId = id(i)}));

    form.Form_Load();

    ASSERT_EQ(form.ProcessTable().size(), kProcesses);
    for (uint32_t i = 0; i < kProcesses; ++i)
        ASSERT_EQ(form.ProcessTable()[i].processId, id(i)) << "entry " << i;
    for (auto [i, h] : windows) {
        std::string n = std::to_string(i);
        EXPECT_EQ(CellsOf(h),
                  (ProcessCells{"p" + n + ".exe", std::to_string(id(i)), "C:\\P\\p" + n + ".exe"}))
            << "process " << i + 1;
        EXPECT_GT(ImageOf(h), 0) << "process " << i + 1;
    }
}

TEST_F(ProcessLookup, RowWithoutAProcessInTheTableGetsNoDataAndNoImage) {
    // A gone window reports process 0, which every snapshot lists.
    desktop.AddProcess({.processId = 0, .exeFile = "[System Process]"});
    desktop.AddProcess(
        {.processId = 7, .exeFile = "editor.exe", .exePath = "C:\\Apps\\editor.exe"});
    desktop.AddProcess({.processId = 9, .exeFile = "mail.exe", .exePath = "C:\\Apps\\mail.exe"});
    desktop.AddIconFile("C:\\Apps\\mail.exe", {TwoSizeIcon(kBlue)});
    WindowHandle editor = Add({.title = "Editor", .processId = 7});
    WindowHandle closing = Add({.title = "Closing", .processId = 7});
    WindowHandle newcomer = Add({.title = "Started after the snapshot", .processId = 99});
    WindowHandle mail = Add({.title = "Inbox", .processId = 9});
    // The window closes once its row exists, as the lookup takes its snapshot.
    desktop.Log().onCall = [&](const fake::Call& call) {
        if (call.name == "CreateToolhelp32Snapshot") desktop.DestroyWindow(closing);
    };

    form.Form_Load();

    EXPECT_EQ(CellsOf(closing), kNoProcess);
    EXPECT_EQ(ImageOf(closing), 0);
    EXPECT_EQ(CellsOf(newcomer), kNoProcess);
    EXPECT_EQ(ImageOf(newcomer), 0);
    EXPECT_EQ(CellsOf(editor).id, "7");
    EXPECT_EQ(CellsOf(mail).id, "9");
    EXPECT_EQ(form.ImageList1.Count(), 2);
    EXPECT_EQ(PictureOf(mail), kBlueCell);
}

TEST_F(ProcessLookup, EachLookupStartsTheImageListAfreshAndDestroysTheIconsItExtracted) {
    desktop.AddProcess(
        {.processId = 7, .exeFile = "editor.exe", .exePath = "C:\\Apps\\editor.exe"});
    desktop.AddProcess({.processId = 9, .exeFile = "mail.exe", .exePath = "C:\\Apps\\mail.exe"});
    desktop.AddIconFile("C:\\Apps\\editor.exe", {TwoSizeIcon(kRed)});
    desktop.AddIconFile("C:\\Apps\\mail.exe", {TwoSizeIcon(kBlue)});
    WindowHandle e1 = Add({.title = "Editor 1", .processId = 7});
    WindowHandle m = Add({.title = "Inbox", .processId = 9});
    Add({.title = "No process", .processId = 99});
    WindowHandle e2 = Add({.title = "Editor 2", .processId = 7});

    form.Form_Load();
    form.PRefreshBtn_Click();

    EXPECT_EQ(form.ImageList1.Count(), 3) << "one image per row with a process, not per refresh";
    EXPECT_EQ(PictureOf(e1), kRedCell);
    EXPECT_EQ(PictureOf(e2), kRedCell);
    EXPECT_EQ(PictureOf(m), kBlueCell);
    EXPECT_GT(desktop.Log().Count("ExtractIconExA"), 0u);
    EXPECT_EQ(desktop.LiveExtractedIcons(), 0u);
}

TEST_F(ProcessLookup, OneProcessSnapshotAndOneModuleSnapshotPerProcessAllClosed) {
    desktop.AddProcess(
        {.processId = 7, .exeFile = "editor.exe", .exePath = "C:\\Apps\\editor.exe"});
    desktop.AddProcess({.processId = 8, .exeFile = "svc.exe", .modulesReadable = false});
    desktop.AddProcess({.processId = 9, .exeFile = "mail.exe", .exePath = "C:\\Apps\\mail.exe"});
    for (int i = 0; i < 3; ++i) Add({.title = "Editor " + std::to_string(i), .processId = 7});
    Add({.title = "Service", .processId = 8});
    form.Form_Load();
    desktop.Log().Clear();

    form.PRefreshBtn_Click();

    const auto& log = desktop.Log();
    EXPECT_EQ(
        log.Names({"CreateToolhelp32Snapshot", "Process32First", "Process32Next", "Module32First",
                   "CloseHandle"}),
        (std::vector<std::string>{"CreateToolhelp32Snapshot", "Process32First", "Process32Next",
                                  "Process32Next", "Process32Next", "CloseHandle",             //
                                  "CreateToolhelp32Snapshot", "Module32First", "CloseHandle",  //
                                  "CreateToolhelp32Snapshot", "Module32First", "CloseHandle",  //
                                  "CreateToolhelp32Snapshot", "Module32First", "CloseHandle"}));
    EXPECT_EQ(log.Strings({"CreateToolhelp32Snapshot"}),
              (std::vector<std::string>{
                  "CreateToolhelp32Snapshot(2,0)", "CreateToolhelp32Snapshot(8,7)",
                  "CreateToolhelp32Snapshot(8,8)", "CreateToolhelp32Snapshot(8,9)"}));
    EXPECT_EQ(desktop.OpenKernelHandles(), 0u);
}

TEST_F(ProcessLookup, FailingSnapshotCallsLeaveWhatTheyCouldNotReadEmpty) {
    desktop.AddProcess(
        {.processId = 7, .exeFile = "editor.exe", .exePath = "C:\\Apps\\editor.exe"});
    desktop.AddProcess({.processId = 9, .exeFile = "mail.exe", .exePath = "C:\\Apps\\mail.exe"});
    desktop.AddIconFile("C:\\Apps\\editor.exe", {TwoSizeIcon(kRed)});
    desktop.AddIconFile("C:\\Apps\\mail.exe", {TwoSizeIcon(kBlue)});
    WindowHandle editor = Add({.title = "Editor", .processId = 7});
    WindowHandle mail = Add({.title = "Inbox", .processId = 9});
    const ProcessCells editorCells{"editor.exe", "7", "C:\\Apps\\editor.exe"};
    const ProcessCells mailCells{"mail.exe", "9", "C:\\Apps\\mail.exe"};
    const Image none;

    struct Case {
        const char* what;
        std::function<void()> fail;
        size_t snapshots;
        ProcessCells editor, mail;
        Image editorPicture, mailPicture;
    };
    const Case cases[] = {
        {"process snapshot fails", [&] { desktop.Fail("CreateToolhelp32Snapshot", 0, 1); }, 1,
         kNoProcess, kNoProcess, none, none},
        {"Process32First fails", [&] { desktop.Fail("Process32First"); }, 1, kNoProcess, kNoProcess,
         none, none},
        {"Process32Next fails", [&] { desktop.Fail("Process32Next"); }, 2, editorCells, kNoProcess,
         kRedCell, none},
        {"first module snapshot fails",
         [&] { desktop.Fail("CreateToolhelp32Snapshot", 1, 1); },
         3,
         {"editor.exe", "7", "editor.exe"},
         mailCells,
         kPlaceholderCell,
         kBlueCell},
        {"Module32First fails",
         [&] { desktop.Fail("Module32First"); },
         3,
         {"editor.exe", "7", "editor.exe"},
         {"mail.exe", "9", "mail.exe"},
         kPlaceholderCell,
         kPlaceholderCell},
        {"icon extraction fails", [&] { desktop.Fail("ExtractIconExA"); }, 3, editorCells,
         mailCells, kPlaceholderCell, kPlaceholderCell},
    };
    form.Form_Load();
    for (const auto& c : cases) {
        desktop.RestoreAll();
        c.fail();
        desktop.Log().Clear();

        form.PRefreshBtn_Click();

        EXPECT_EQ(desktop.Log().Count("CreateToolhelp32Snapshot"), c.snapshots) << c.what;
        EXPECT_EQ(CellsOf(editor), c.editor) << c.what;
        EXPECT_EQ(CellsOf(mail), c.mail) << c.what;
        EXPECT_EQ(PictureOf(editor), c.editorPicture) << c.what;
        EXPECT_EQ(PictureOf(mail), c.mailPicture) << c.what;
        EXPECT_EQ(desktop.OpenKernelHandles(), 0u) << c.what;
        EXPECT_EQ(desktop.LiveExtractedIcons(), 0u) << c.what;
        EXPECT_TRUE(desktop.MessageBoxes().empty()) << c.what;
    }
}

}  // namespace
}  // namespace kelvorin
