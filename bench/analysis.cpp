// The analysis runs before every compile when the setting asks for it.
#include <benchmark/benchmark.h>

#include "ExampleCrossing.h"
#include "analysis/PlanAnalysis.h"
#include "data/PlanProcedures.h"

namespace {

void BM_AnalyseExample(benchmark::State& state) {
    kdt::TSignalPlan plan{};
    kdt::example::BuildExampleCrossing(plan);
    for (auto _ : state) benchmark::DoNotOptimize(kdt::AnalizSOD(plan));
}
BENCHMARK(BM_AnalyseExample);

// Every loop at its longest: 16 phases, directions and programs of 16 tacts,
// four buttons, and a finding in most places so the messages are built too.
void BM_AnalyseLargestPlan(benchmark::State& state) {
    kdt::TSignalPlan plan;
    kdt::ResetPlan(plan, kdt::kRom421, 60);
    plan.PhaseCount = plan.DirectionCount = plan.ProgramCount = 16;
    plan.TvpButtonCount = 4;
    for (int p = 0; p < 16; ++p) {
        plan.PhaseDirections[p] = static_cast<std::uint16_t>(0x0101u << (p % 8));
        plan.Program[p].TactCount = 16;
        for (int t = 0; t < 16; ++t) plan.Program[p].TactPhase[t] = static_cast<std::uint8_t>(t);
        plan.Direction[p].HeadMask = plan.Direction[p].GreenMask = 1u << p;
    }
    for (int b = 1; b <= 4; ++b) {
        plan.Tvp[b].Phase = static_cast<std::uint16_t>(b);
        plan.TvpInsertPhase[b - 1] = static_cast<std::uint8_t>(b + 4);
    }
    for (auto _ : state) benchmark::DoNotOptimize(kdt::AnalizSOD(plan));
}
BENCHMARK(BM_AnalyseLargestPlan);

}  // namespace
