// The record procedures run on every open and save; these keep an eye on them.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "ExampleCrossing.h"
#include "data/PlanProcedures.h"
#include "data/ProjectFile.h"
#include "project/PlanCommands.h"

namespace {

void BM_NormalisePlan(benchmark::State& state) {
    kdt::TSignalPlan example{};
    kdt::example::BuildExampleCrossing(example);
    for (auto _ : state) {
        kdt::TSignalPlan plan = example;
        kdt::NormalisePlan(plan, 0);
        benchmark::DoNotOptimize(plan);
    }
}
BENCHMARK(BM_NormalisePlan);

void BM_UpgradeLayout0(benchmark::State& state) {
    kdt::TSignalPlan inMemory;
    kdt::ResetPlan(inMemory, kdt::kRom421, 60);
    std::vector<std::uint8_t> old(kdt::kLayout0FixedPartSize + 3000, 0x11);
    old[kdt::kFormatVersionOffset] = 0;
    for (auto _ : state) {
        std::vector<std::uint8_t> bytes = old;
        benchmark::DoNotOptimize(kdt::UpgradeProjectFile(bytes, inMemory));
    }
}
BENCHMARK(BM_UpgradeLayout0);

// A whole open as the command line does it: read, refresh, normalise.
void BM_OpenExampleProject(benchmark::State& state) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "kdt-bench-open.kdt";
    kdt::TSignalPlan example{};
    kdt::example::BuildExampleCrossing(example);
    if (const kdt::Outcome saved = kdt::SaveProjectFile(path, example); !saved.ok()) {
        state.SkipWithError(saved.error.c_str());
        return;
    }
    for (auto _ : state) {
        kdt::TSignalPlan plan{};
        kdt::PlanEditorState editor;
        benchmark::DoNotOptimize(kdt::OpenPlanFile(path, plan, editor, kdt::OldLayoutHandling::KeepFile));
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_OpenExampleProject);

}  // namespace
