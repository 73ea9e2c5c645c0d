// The portable catalogue's own cost: a refresh and the process lookup over a
// lean in-memory desktop, so what remains is the program's logic and not the
// platform's. Figures are printed; nothing is asserted.
//
//   build/native/bench/kelvorin_core_bench [--benchmark_repetitions=5]
#include <benchmark/benchmark.h>

#include "app/main_frm.h"
#include "catalogue/refresh.h"
#include "lean_platform.h"

namespace kelvorin::bench {
namespace {

constexpr size_t kProcesses = 500;

// One loaded main window over a desktop of the benchmark's window count.
struct Scene {
    explicit Scene(size_t windowCount)
        : desktop(MakeDesktop(windowCount, kProcesses)),
          lean(desktop),
          platform(lean.platform()),
          form(platform, view) {
        form.Form_Load();
    }
    LeanDesktop desktop;
    LeanPlatform lean;
    Platform platform;
    LeanView view;
    MainFrm form;
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
