// The refresh benchmark: the real kelvorin.exe on a desktop of many windows.
// It prints figures and asserts nothing; scripts/bench.sh runs it under Wine.
//
//   refresh_bench.exe --kelvorin=PATH --helper=PATH [--windows=1000,2000]
//                     [--processes=10] [--runs=9] [--launches=5] [--idle=60]
//                     [--refreshes=200] [--visible]
//
// For each window count W (the first is the main desktop):
//   - P helper processes (bench_windows.exe) make W titled top-level windows;
//   - start-up: launch -> main window visible with the list filled (median of
//     the launches);
//   - refresh: SendMessage BM_CLICK on PRefreshBtn, which returns when the
//     handler has finished (median of the runs after one warm-up);
//   - floor: the platform work a refresh cannot avoid, done here in one
//     process on the same desktop (median of the runs after one warm-up).
// On the main desktop also: private bytes after 10 and after N refreshes, and
// the program's CPU time over the idle seconds.
// <windows.h> first: the other system headers build on it.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>
#include <shellapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/control_ids.h"
#include "bench_util.h"
#include "refresh_floor.h"

#undef Process32First
#undef Process32Next
#undef Module32First
#undef PROCESSENTRY32
#undef MODULEENTRY32

namespace {

using namespace std::chrono_literals;
using bench::Child;
using bench::Clock;
using bench::Median;
using bench::MsSince;
using bench::FloorList;
using bench::FloorTimes;
using bench::MeasureFloor;
using bench::MedianFloor;

std::string List(const std::vector<double>& values) {
    std::string text;
    for (double v : values) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%s%.0f", text.empty() ? "" : " ", v);
        text += buffer;
    }
    return text;
}

struct Options {
    std::wstring kelvorin;
    std::wstring helper;
    std::vector<int> windowCounts{1000, 2000};
    int processes = 10;
    int runs = 9;
    int launches = 5;
    int idleSeconds = 60;
    int refreshes = 200;
    bool visible = false;
};

std::optional<Options> ParseOptions(int argc, wchar_t** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i];
        std::wstring v;
        // True when arg is "name=value", with the value in v.
        auto take = [&](const wchar_t* name) {
            std::wstring prefix = std::wstring(name) + L"=";
            if (arg.rfind(prefix, 0) != 0) return false;
            v = arg.substr(prefix.size());
            return true;
        };
        if (take(L"--kelvorin")) {
            options.kelvorin = v;
        } else if (take(L"--helper")) {
            options.helper = v;
        } else if (take(L"--windows")) {
            options.windowCounts.clear();
            for (size_t at = 0; at < v.size();) {
                size_t comma = v.find(L',', at);
                if (comma == std::wstring::npos) comma = v.size();
                options.windowCounts.push_back(std::stoi(v.substr(at, comma - at)));
                at = comma + 1;
            }
        } else if (take(L"--processes")) {
            options.processes = std::stoi(v);
        } else if (take(L"--runs")) {
            options.runs = std::stoi(v);
        } else if (take(L"--launches")) {
            options.launches = std::stoi(v);
        } else if (take(L"--idle")) {
            options.idleSeconds = std::stoi(v);
        } else if (take(L"--refreshes")) {
            options.refreshes = std::stoi(v);
        } else if (arg == L"--visible") {
            options.visible = true;
        } else {
            std::fprintf(stderr, "unknown argument: %ls\n", arg.c_str());
            return std::nullopt;
        }
    }
    if (options.kelvorin.empty() || options.helper.empty() || options.windowCounts.empty() ||
        options.processes < 1 || options.runs < 1 || options.launches < 1) {
        std::fprintf(stderr, "usage: refresh_bench --kelvorin=PATH --helper=PATH [options]\n");
        return std::nullopt;
    }
    return options;
}

// P helper processes holding W windows between them.
class Desktop {
  public:
    bool Make(const Options& options, int windowCount) {
        helpers_.clear();
        int processes = options.processes;
        std::vector<HANDLE> events;
        auto start = Clock::now();
        for (int p = 0; p < processes; ++p) {
            int count = windowCount / processes + (p < windowCount % processes ? 1 : 0);
            std::wstring eventName = L"Local\\KelvorinBenchReady-" +
                                     std::to_wstring(GetCurrentProcessId()) + L"-" +
                                     std::to_wstring(windowCount) + L"-" + std::to_wstring(p);
            HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, eventName.c_str());
            std::wstring args = std::to_wstring(count) + L" \"Bench " + std::to_wstring(p) +
                                L"\" " + eventName + (options.visible ? L" visible" : L"");
            auto child = Child::Start(options.helper, args);
            if (!ready || !child) {
                std::fprintf(stderr, "could not start helper %d\n", p);
                if (ready) CloseHandle(ready);
                for (HANDLE e : events) CloseHandle(e);
                return false;
            }
            events.push_back(ready);
            helpers_.push_back(std::move(*child));
        }
        bool ok = true;
        for (HANDLE e : events) {
            if (WaitForSingleObject(e, 120000) != WAIT_OBJECT_0) ok = false;
            CloseHandle(e);
        }
        std::printf("desktop: %d windows in %d helper processes, made in %.1f s\n", windowCount,
                    processes, MsSince(start) / 1000);
        if (!ok) std::fprintf(stderr, "a helper did not report its windows within 120 s\n");
        return ok;
    }
    void Clear() { helpers_.clear(); }

  private:
    std::vector<Child> helpers_;
};

// --- the program under test -------------------------------------------------

// NtQuerySystemInformation(SystemProcessInformation): user plus kernel time
// of one process in milliseconds, or -1.
double ListedProcessCpuMs(DWORD processId) {
    using Query = LONG(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
    static const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr) return -1;
    std::vector<unsigned char> buffer(1 << 20);
    ULONG length = 0;
    constexpr ULONG kSystemProcessInformation = 5;
    while (query(kSystemProcessInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                 &length) != 0) {
        if (buffer.size() >= (64u << 20)) return -1;
        buffer.resize(buffer.size() * 2);
    }
    for (size_t at = 0;;) {
        auto* info = reinterpret_cast<SYSTEM_PROCESS_INFORMATION*>(buffer.data() + at);
        if (static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(info->UniqueProcessId)) == processId)
            return static_cast<double>(info->UserTime.QuadPart + info->KernelTime.QuadPart) /
                   10000.0;
        if (info->NextEntryOffset == 0) return -1;
        at += info->NextEntryOffset;
    }
}

class Program {
  public:
    // Starts kelvorin.exe and waits until its main window is visible with at
    // least minRows rows; returns the time that took, or nullopt. The program
    // shows its window only after the start-up refresh has filled and shown
    // the list, so the timed poll asks only for visibility: two cheap queries
    // every 2 ms that neither wait on the program nor crowd the Wine server
    // it is busy with. The rows are counted once the clock has stopped.
    std::optional<double> Launch(const std::wstring& exe, int minRows) {
        Quit();
        auto start = Clock::now();
        auto child = Child::Start(exe, L"");
        if (!child) return std::nullopt;
        child_ = std::move(*child);
        HWND main = nullptr;
        HWND list = nullptr;
        while (MsSince(start) < 60000) {
            if (list == nullptr) {
                // The main window comes first, its controls a moment later.
                if (!child_.Running()) return std::nullopt;
                if (main == nullptr) main = FindMain();
                if (main != nullptr) list = GetDlgItem(main, kelvorin::ids::ListView1);
            } else if (IsWindowVisible(main) && IsWindowVisible(list)) {
                double ms = MsSince(start);
                main_ = main;
                if (Rows() >= minRows) return ms;
                std::fprintf(stderr, "the main window showed %d rows, fewer than %d\n", Rows(),
                             minRows);
                return std::nullopt;
            }
            Sleep(2);
        }
        return std::nullopt;
    }

    // One refresh through the button, timed; nullopt if it did not finish.
    std::optional<double> Refresh() {
        HWND button = GetDlgItem(main_, kelvorin::ids::PRefreshBtn);
        if (button == nullptr) return std::nullopt;
        DWORD_PTR result = 0;
        auto start = Clock::now();
        if (!SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, 120000, &result))
            return std::nullopt;
        ++refreshes_;
        return MsSince(start);
    }

    int Rows() const {
        return static_cast<int>(
            SendMessageW(GetDlgItem(main_, kelvorin::ids::ListView1), LVM_GETITEMCOUNT, 0, 0));
    }

    int RefreshCount() const { return refreshes_; }

    // Kernel plus user time in milliseconds, from GetProcessTimes.
    double CpuMs() const {
        FILETIME created, exited, kernel, user;
        if (!GetProcessTimes(child_.Process(), &created, &exited, &kernel, &user)) return -1;
        auto ms = [](FILETIME t) {
            return static_cast<double>((uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime) /
                   10000.0;
        };
        return ms(kernel) + ms(user);
    }

    // Kernel plus user time in milliseconds, from the system's process list.
    // Wine 8 answers GetProcessTimes for another process with a constant, but
    // fills this list from the kernel's accounting.
    double ListedCpuMs() const { return ListedProcessCpuMs(child_.Id()); }

    // PrivateUsage in bytes, and PagefileUsage (the commit charge, which equals
    // PrivateUsage on Windows; Wine 8 leaves PrivateUsage 0 and fills
    // PagefileUsage with the process's anonymous memory).
    std::pair<double, double> PrivateBytes() const {
        PROCESS_MEMORY_COUNTERS_EX counters{};
        counters.cb = sizeof(counters);
        if (!GetProcessMemoryInfo(child_.Process(),
                                  reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                  sizeof(counters)))
            return {-1, -1};
        return {static_cast<double>(counters.PrivateUsage),
                static_cast<double>(counters.PagefileUsage)};
    }

    void Quit() {
        if (child_.Running() && main_ != nullptr) {
            PostMessageW(main_, WM_CLOSE, 0, 0);
            WaitForSingleObject(child_.Process(), 5000);
        }
        child_.End();
        main_ = nullptr;
        refreshes_ = 0;
    }

    ~Program() { Quit(); }

  private:
    HWND FindMain() const {
        HWND found = nullptr;
        while ((found = FindWindowExW(nullptr, found, kelvorin::ids::kMainFrmClass, nullptr))) {
            DWORD pid = 0;
            GetWindowThreadProcessId(found, &pid);
            if (pid == child_.Id()) return found;
        }
        return nullptr;
    }

    Child child_;
    HWND main_ = nullptr;
    int refreshes_ = 0;
};

// --- the run ------------------------------------------------------------------

struct DesktopFigures {
    int windows = 0;
    double startup = 0;
    double refresh = 0;
    double floor = 0;
    // Main desktop only; negative when not measured.
    double memoryGrowthMiB = -1;  // the larger of the PrivateUsage and PagefileUsage growths
    double idlePercent = -1;      // the larger of the two CPU readings
};

std::optional<DesktopFigures> RunDesktop(const Options& options, int windowCount, bool main,
                                         Program& program) {
    Desktop desktop;
    if (!desktop.Make(options, windowCount)) return std::nullopt;
    DesktopFigures figures;
    figures.windows = windowCount;

    std::vector<double> launches;
    for (int i = 0; i < options.launches; ++i) {
        auto ms = program.Launch(options.kelvorin, windowCount);
        if (!ms) {
            std::fprintf(stderr, "kelvorin.exe did not show its filled list within 60 s\n");
            return std::nullopt;
        }
        launches.push_back(*ms);
    }
    figures.startup = Median(launches);
    std::printf("  start-up (launch -> main window visible, %d rows): median %.0f ms  [%s]\n",
                program.Rows(), figures.startup, List(launches).c_str());

    // Refresh and floor take turns, so both see the machine in the same mood.
    FloorList list(21);
    if (!program.Refresh()) return std::nullopt;  // warm-up
    MeasureFloor(list);  // warm-up: the first enumeration in a process is the slowest
    std::vector<double> refreshes, refreshCpu, totals;
    std::vector<FloorTimes> floors;
    for (int i = 0; i < options.runs; ++i) {
        double cpuBefore = program.ListedCpuMs();
        auto ms = program.Refresh();
        if (!ms) {
            std::fprintf(stderr, "a refresh did not finish within 120 s\n");
            return std::nullopt;
        }
        refreshes.push_back(*ms);
        refreshCpu.push_back(program.ListedCpuMs() - cpuBefore);
        floors.push_back(MeasureFloor(list));
        totals.push_back(floors.back().Total());
    }
    figures.refresh = Median(refreshes);
    std::printf("  refresh (BM_CLICK on PRefreshBtn, %d rows): median %.0f ms  [%s]\n",
                program.Rows(), figures.refresh, List(refreshes).c_str());
    std::printf("    the program's own CPU time per refresh: median %.0f ms  [%s]\n",
                Median(refreshCpu), List(refreshCpu).c_str());

    FloorTimes floor = MedianFloor(floors);
    figures.floor = Median(totals);
    std::printf("  floor: median %.0f ms  [%s]\n", figures.floor, List(totals).c_str());
    std::printf("    enumerate %d windows (title, visibility)  %7.1f ms\n", floor.windows,
                floor.enumerate);
    std::printf("    process + %d module snapshots             %7.1f ms\n", floor.processes,
                floor.snapshots);
    std::printf("    thread ids of %d titled windows         %7.1f ms\n", floor.titled,
                floor.threads);
    std::printf("    icons of %d distinct executables           %7.1f ms\n", floor.executables,
                floor.icons);
    std::printf("    %d rows with an image each, hidden list  %7.1f ms\n", floor.titled,
                floor.list);
    std::printf("  refresh / floor = %.2f\n", figures.refresh / figures.floor);
    std::fflush(stdout);

    if (main) {
        while (program.RefreshCount() < 10)
            if (!program.Refresh()) return std::nullopt;
        auto after10 = program.PrivateBytes();
        auto start = Clock::now();
        while (program.RefreshCount() < options.refreshes)
            if (!program.Refresh()) return std::nullopt;
        auto after = program.PrivateBytes();
        std::printf("  memory after 10 and after %d refreshes (%d refreshes took %.0f s):\n",
                    program.RefreshCount(), program.RefreshCount() - 10, MsSince(start) / 1000);
        std::printf("    PrivateUsage   %8.2f MiB -> %8.2f MiB (%+.3f MiB)\n",
                    after10.first / 1048576, after.first / 1048576,
                    (after.first - after10.first) / 1048576);
        std::printf("    PagefileUsage  %8.2f MiB -> %8.2f MiB (%+.3f MiB)\n",
                    after10.second / 1048576, after.second / 1048576,
                    (after.second - after10.second) / 1048576);
        figures.memoryGrowthMiB =
            std::max(after.first - after10.first, after.second - after10.second) / 1048576;
        std::fflush(stdout);

        double timesBefore = program.CpuMs();
        double listedBefore = program.ListedCpuMs();
        auto idleStart = Clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(options.idleSeconds));
        double wall = MsSince(idleStart);
        double times = program.CpuMs() - timesBefore;
        double listed = program.ListedCpuMs() - listedBefore;
        std::printf("  idle for %.0f s, main window shown:\n", wall / 1000);
        std::printf("    GetProcessTimes          %6.0f ms CPU = %.3f %% of one core\n", times,
                    100.0 * times / wall);
        std::printf("    system process list      %6.0f ms CPU = %.3f %% of one core\n", listed,
                    100.0 * listed / wall);
        figures.idlePercent = 100.0 * std::max(times, listed) / wall;
    }
    program.Quit();
    desktop.Clear();
    std::fflush(stdout);
    return figures;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    auto options = ParseOptions(argc, argv);
    if (!options) return 2;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);

    std::printf(
        "Kelvorin refresh benchmark: %d helper processes, %d refresh runs after one "
        "warm-up, %d launches\n",
        options->processes, options->runs, options->launches);
    Program program;
    std::vector<DesktopFigures> all;
    for (size_t i = 0; i < options->windowCounts.size(); ++i) {
        int w = options->windowCounts[i];
        std::printf("\nW = %d, P = %d\n", w, options->processes);
        std::fflush(stdout);
        auto figures = RunDesktop(*options, w, i == 0, program);
        if (!figures) return 1;
        all.push_back(*figures);
    }

    std::printf("\nsummary\n");
    for (const auto& f : all)
        std::printf(
            "  W = %5d: start-up %5.0f ms, refresh %5.0f ms, floor %5.0f ms, "
            "refresh/floor %.2f, start-up - refresh %+.0f ms\n",
            f.windows, f.startup, f.refresh, f.floor, f.refresh / f.floor, f.startup - f.refresh);
    for (size_t i = 1; i < all.size(); ++i)
        std::printf("  refresh W = %d / W = %d = %.2f\n", all[i].windows, all[0].windows,
                    all[i].refresh / all[0].refresh);
    if (all[0].memoryGrowthMiB > -1)
        std::printf("  memory growth from 10 to %d refreshes: %+.3f MiB\n", options->refreshes,
                    all[0].memoryGrowthMiB);
    if (all[0].idlePercent >= 0)
        std::printf("  idle CPU over %d s: %.3f %% of one core\n", options->idleSeconds,
                    all[0].idlePercent);
    return 0;
}
