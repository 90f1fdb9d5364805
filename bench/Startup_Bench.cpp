// Start-up of the configurator: the whole start-up sequence with every window created, on the
// offscreen platform, and the process's peak memory afterwards.
#include "main_window/Tessaro_App.h"

#include "Bench_Support.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

double Peak_Memory_MiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // ru_maxrss is in KiB on Linux
}

void BM_Startup_All_Windows(benchmark::State& state) {
    QTemporaryDir folder;
    Silent_Messages messages;
    for (auto _ : state) {
        Tessaro_App app(folder.path(), &messages);
        benchmark::DoNotOptimize(&app.Main_Window());
    }
    state.counters["peak_MiB"] = Peak_Memory_MiB();
}
BENCHMARK(BM_Startup_All_Windows)->Unit(benchmark::kMillisecond);

} // namespace
