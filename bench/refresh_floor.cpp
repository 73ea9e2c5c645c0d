// The refresh floor: the platform work a refresh cannot avoid, done in the
// benchmark's own process on the same desktop, the cheapest way known.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "bench_util.h"
#include "refresh_floor.h"

#undef Process32First
#undef Process32Next
#undef Module32First
#undef PROCESSENTRY32
#undef MODULEENTRY32

namespace bench {
namespace {

struct EnumState {
    std::vector<HWND> titled;
    int all = 0;
    int visible = 0;
};

BOOL CALLBACK CollectWindow(HWND h, LPARAM param) {
    auto& state = *reinterpret_cast<EnumState*>(param);
    char title[256];
    ++state.all;
    if (IsWindowVisible(h)) ++state.visible;
    if (GetWindowTextA(h, title, sizeof title) > 0) state.titled.push_back(h);
    return TRUE;
}

}  // namespace

FloorTimes MeasureFloor(FloorList& list) {
    FloorTimes times;

    auto start = Clock::now();
    EnumState state;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&state));
    times.enumerate = MsSince(start);
    times.windows = state.all;
    times.titled = static_cast<int>(state.titled.size());

    start = Clock::now();
    std::map<DWORD, std::string> paths;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot != INVALID_HANDLE_VALUE) {
        PROCESSENTRY32 entry{};
        entry.dwSize = sizeof(entry);
        for (BOOL ok = Process32First(snapshot, &entry); ok; ok = Process32Next(snapshot, &entry))
            paths[entry.th32ProcessID] = entry.szExeFile;
        CloseHandle(snapshot);
    }
    for (auto& [pid, path] : paths) {
        HANDLE modules = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
        if (modules == INVALID_HANDLE_VALUE) continue;
        MODULEENTRY32 module{};
        module.dwSize = sizeof(module);
        if (Module32First(modules, &module)) path = module.szExePath;
        CloseHandle(modules);
    }
    times.snapshots = MsSince(start);
    times.processes = static_cast<int>(paths.size());

    start = Clock::now();
    std::set<DWORD> owners;
    for (HWND h : state.titled) {
        DWORD pid = 0;
        if (GetWindowThreadProcessId(h, &pid)) owners.insert(pid);
    }
    times.threads = MsSince(start);

    std::set<std::string> executables;
    for (DWORD pid : owners)
        if (auto it = paths.find(pid); it != paths.end()) executables.insert(it->second);
    start = Clock::now();
    for (const auto& path : executables) {
        HICON large = nullptr, small = nullptr;
        ExtractIconExA(path.c_str(), 0, &large, &small, 1);
        if (large) DestroyIcon(large);
        if (small) DestroyIcon(small);
    }
    times.icons = MsSince(start);
    times.executables = static_cast<int>(executables.size());

    start = Clock::now();
    list.Fill(times.titled);
    times.list = MsSince(start);
    return times;
}

FloorTimes MedianFloor(const std::vector<FloorTimes>& runs) {
    auto pick = [&](double FloorTimes::*field) {
        std::vector<double> values;
        for (const auto& r : runs) values.push_back(r.*field);
        return Median(values);
    };
    FloorTimes m = runs.back();
    m.enumerate = pick(&FloorTimes::enumerate);
    m.snapshots = pick(&FloorTimes::snapshots);
    m.threads = pick(&FloorTimes::threads);
    m.icons = pick(&FloorTimes::icons);
    m.list = pick(&FloorTimes::list);
    return m;
}

}  // namespace bench
