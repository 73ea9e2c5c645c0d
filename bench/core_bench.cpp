// The portable catalogue's own cost: a refresh and the process lookup over
// the fake desktop of the unit tests with its call log off, so what remains is
// the program's logic. Figures are printed; nothing is asserted.
//
//   build/native/bench/kelvorin_core_bench [--benchmark_repetitions=5]
#include <benchmark/benchmark.h>

#include "catalogue/refresh.h"
#include "fake/fake.h"

namespace kelvorin::bench {
namespace {

constexpr size_t kProcesses = 500;

// One loaded main window over a desktop of the benchmark's window count:
// titled top-level windows spread evenly over the processes, which run a
// tenth as many executables; every eighth window is hidden and every tenth
// process's modules are unreadable.
struct Scene {
    explicit Scene(size_t windows) {
        const size_t executables = kProcesses / 10;
        for (size_t p = 0; p < kProcesses; ++p) {
            std::string exe = "app" + std::to_string(p % executables) + ".exe";
            std::string path =
                "C:\\Program Files\\App " + std::to_string(p % executables) + "\\" + exe;
            desktop.processes.push_back({uint32_t(1000 + 4 * p), exe, path, p % 10 != 9});
            desktop.iconFiles[path] = {fake::Solid(Rgb(uint8_t(p % executables), 0, 0))};
        }
        for (size_t w = 0; w < windows; ++w) {
            const fake::Process& owner = desktop.processes[w % kProcesses];
            desktop.Add({.title = "Document " + std::to_string(w) + " - " + owner.exeFile,
                         .visible = w % 8 != 7,
                         .processId = owner.processId});
        }
        form.Form_Load();
    }
    fake::Desktop desktop;
    fake::View view{desktop};
    Platform platform = desktop.platform();
    MainFrm form{platform, view};
};

void ReportRows(benchmark::State& state, const MainFrm& form) {
    state.counters["rows"] = static_cast<double>(form.ListView1.RowCount());
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(form.ListView1.RowCount()));
}

// The whole refresh: enumeration, process and icon lookup, the load of the
// selected row and the visibility pass.
void BM_Refresh(benchmark::State& state) {
    Scene scene(static_cast<size_t>(state.range(0)));
    for (auto _ : state) scene.form.PRefreshBtn_Click();
    ReportRows(state, scene.form);
}
BENCHMARK(BM_Refresh)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The same with a column sort in force, which places every row as it is written.
void BM_RefreshSortedByCaption(benchmark::State& state) {
    Scene scene(static_cast<size_t>(state.range(0)));
    scene.form.ListView1_ColumnClick(static_cast<int>(col::Caption) + 1);
    for (auto _ : state) scene.form.PRefreshBtn_Click();
    ReportRows(state, scene.form);
}
BENCHMARK(BM_RefreshSortedByCaption)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The lookup alone, on the rows the last refresh left: snapshot, paths, and
// each row's process, cells and image.
void BM_PIdGet(benchmark::State& state) {
    Scene scene(static_cast<size_t>(state.range(0)));
    for (auto _ : state) scene.form.PIdGet();
    ReportRows(state, scene.form);
}
BENCHMARK(BM_PIdGet)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kelvorin::bench

BENCHMARK_MAIN();
