// The simulation must keep up with its timer many times over; a simulated
// week (1,209,600 ticks) is the yardstick for headless runs.
#include <benchmark/benchmark.h>

#include "ExampleCrossing.h"
#include "simulation/SimulationEngine.h"

namespace {

void BM_SimulationTicksFollowingTheSchedule(benchmark::State& state) {
    kdt::TSignalPlan plan{};
    kdt::example::BuildExampleCrossing(plan);
    kdt::SimulationEngine engine(plan, 0);
    engine.WindowShown(1);
    engine.ToggleRunning();
    for (auto _ : state) engine.Tick();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SimulationTicksFollowingTheSchedule);

void BM_SimulatedWeek(benchmark::State& state) {
    for (auto _ : state) {
        kdt::TSignalPlan plan{};
        kdt::example::BuildExampleCrossing(plan);
        kdt::SimulationEngine engine(plan, 0);
        engine.WindowShown(1);
        engine.ToggleRunning();
        for (int tick = 0; tick < 1209600; ++tick) engine.Tick();
        benchmark::DoNotOptimize(engine.statusLine());
    }
}
BENCHMARK(BM_SimulatedWeek)->Unit(benchmark::kMillisecond);

}  // namespace
