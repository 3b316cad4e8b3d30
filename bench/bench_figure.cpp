// The figure rebuild alone, as every drag move runs it: time per call and heap allocations
// per call.
#include "alloc_counter.h"
#include "figure/construction.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>

namespace {

void BM_RebuildFigure(benchmark::State &state)
{
    figure::FigureState figure;
    scene::Scene scene;
    figure::resetScreen(figure, scene, 900, 541);

    // A walks a circle around its starting place, one step per call, like a steady drag;
    // the path is worked out beforehand so that only the rebuild is timed.
    std::array<std::array<double, 2>, 256> path;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const double t = static_cast<double>(i) * (2 * 3.14159265 / path.size());
        path[i] = {figure.xA + 60 * std::cos(t), figure.yA + 60 * std::sin(t)};
    }

    std::size_t step = 0;
    const std::size_t allocationsBefore = bench::allocationCount();
    for (auto _ : state) {
        const auto &a = path[step++ & 255];
        figure.xA = a[0];
        figure.yA = a[1];
        figure::RebuildFigure(figure, scene);
        benchmark::DoNotOptimize(scene);
        benchmark::ClobberMemory();
    }
    const std::size_t allocations = bench::allocationCount() - allocationsBefore;
    state.counters["allocs_per_call"] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_RebuildFigure);

} // namespace

BENCHMARK_MAIN();
