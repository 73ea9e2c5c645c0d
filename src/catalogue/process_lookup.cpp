// Process and icon lookup: one process snapshot per call, one module
// snapshot per process, then each row's owner looked up in that table.
#include <unordered_map>

#include "app/art.h"
#include "app/handle_text.h"
#include "app/main_frm.h"
#include "catalogue/refresh.h"
#include "icons/icon_data.h"
#include "platform/constants.h"
#include "platform/scoped_release.h"

namespace kelvorin {
namespace {

void FillProcessTable(IProcesses& processes, std::vector<ProcessRecord>& table) {
    table.clear();
    ScopedKernelHandle snapshot(processes,
                                processes.CreateToolhelp32Snapshot(win::kTh32csSnapProcess, 0));
    if (!snapshot) return;
    for (auto entry = processes.Process32First(snapshot.get()); entry;
         entry = processes.Process32Next(snapshot.get())) {
        table.push_back({entry->processId, entry->exeFile, entry->exeFile});
    }
}

// The first module of a process is its executable: its path replaces the bare
// name wherever the module list can be read.
void FillExecutablePaths(IProcesses& processes, std::vector<ProcessRecord>& table) {
    std::unordered_multimap<uint32_t, size_t> byId;
    for (size_t i = 0; i < table.size(); ++i) byId.emplace(table[i].processId, i);
    for (size_t i = 0; i < table.size(); ++i) {
        ScopedKernelHandle snapshot(
            processes,
            processes.CreateToolhelp32Snapshot(win::kTh32csSnapModule, table[i].processId));
        if (!snapshot) continue;
        if (auto module = processes.Module32First(snapshot.get())) {
            auto [first, last] = byId.equal_range(module->processId);
            for (auto it = first; it != last; ++it) table[it->second].exePath = module->exePath;
        }
    }
}

}  // namespace

std::optional<ProcessRecord> LookUpProcess(IProcesses& processes, uint32_t processId) {
    std::vector<ProcessRecord> table;
    FillProcessTable(processes, table);
    for (const ProcessRecord& record : table) {
        if (record.processId != processId) continue;
        std::vector<ProcessRecord> one{record};
        FillExecutablePaths(processes, one);
        return one.front();
    }
    return std::nullopt;
}

void MainFrm::PIdGet() {
    // Every row that could refer to an older image went with the refresh's
    // clear, so the image list starts empty and never reaches its limit.
    ImageList1.Clear();
    IProcesses& processes = platform_.processes;
    FillProcessTable(processes, processTable_);
    FillExecutablePaths(processes, processTable_);

    // The first entry of each process id, in snapshot order.
    std::unordered_map<uint32_t, size_t> firstEntry;
    for (size_t i = 0; i < processTable_.size(); ++i)
        firstEntry.emplace(processTable_[i].processId, i);

    // One extraction per executable: every row of it gets its own copy of the
    // same cell picture.
    std::unordered_map<std::string, Image> cellByPath;
    const Colour background = platform_.windows.GetSysColor(win::kColorWindow);

    for (uint64_t id : RowIds(ListView1)) {
        size_t row = *ListView1.IndexOfId(id);
        auto h = ParseHandle(ListView1.Cell(row, col::Handle));
        if (!h) continue;
        uint32_t processId = platform_.windows.GetWindowThreadProcessId(*h);
        // 0 means the window has gone: such a row keeps no process data.
        if (processId == 0) continue;
        auto found = firstEntry.find(processId);
        if (found == firstEntry.end()) continue;
        const ProcessRecord& process = processTable_[found->second];

        auto cached = cellByPath.find(process.exePath);
        if (cached == cellByPath.end()) {
            ISurface& surface = Picture1();
            surface.Clear(background);
            // Damaged icon data would take the system's icon code, and the
            // program with it, down: such a file shows the placeholder.
            ScopedIcons icons(platform_.shell,
                              IconDataIsSound(platform_.files, process.exePath)
                                  ? platform_.shell.ExtractIconExA(process.exePath, 0)
                                  : IconPair{});
            if (!icons.small())
                surface.DrawImage(PlaceholderImage(background), 0, 0);
            else
                surface.DrawIconEx(icons.small(), 0, 0);
            cached = cellByPath.emplace(process.exePath, surface.Capture()).first;
        }
        int image = ImageList1.Count() + 1;
        ImageList1.Add(image, cached->second);
        ListView1.SetRowImage(row, image);
        row = ListView1.SetCell(row, col::ProcessName, process.exeName);
        row = ListView1.SetCell(row, col::ProcessId, std::to_string(process.processId));
        ListView1.SetCell(row, col::FullPath, process.exePath);
    }
}

}  // namespace kelvorin
