// Compiling is the program's main job: building an image and converting it
// must stay far below what a user notices, also for batch compiles.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "ExampleCrossing.h"
#include "data/ProjectFile.h"
#include "rom/KonvertHexBin.h"
#include "rom/RomImageBuilder.h"
#include "rom/RomImageReader.h"

namespace {

kdt::TSignalPlan Example(std::uint8_t rom) {
    kdt::TSignalPlan plan{};
    kdt::example::BuildExampleCrossing(plan);
    plan.RomVersion = rom;
    return plan;
}

void BM_BuildAndConvert(benchmark::State& state) {
    const kdt::TSignalPlan plan = Example(static_cast<std::uint8_t>(state.range(0)));
    for (auto _ : state) {
        std::vector<std::string> lines;
        kdt::BuildRomImage(plan, lines);
        kdt::HexConversion image = kdt::HexToBin(lines);
        benchmark::DoNotOptimize(image.image.data());
    }
}
BENCHMARK(BM_BuildAndConvert)->DenseRange(0, 5)->ArgName("rom");

void BM_DecodeRomImage(benchmark::State& state) {
    const kdt::TSignalPlan plan = Example(static_cast<std::uint8_t>(state.range(0)));
    std::vector<std::string> lines;
    kdt::BuildRomImage(plan, lines);
    const std::vector<std::uint8_t> image = kdt::HexToBin(lines).image;
    kdt::RomImageReader reader;
    for (auto _ : state) {
        kdt::TSignalPlan decoded{};
        benchmark::DoNotOptimize(reader.DecodeRomImage(image, plan.RomVersion, decoded));
    }
}
BENCHMARK(BM_DecodeRomImage)->DenseRange(3, 5)->ArgName("rom");

// A whole `kdt compile` process: start, open, build, write.
void BM_KdtCompileProcess(benchmark::State& state) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "kdt-bench-compile";
    std::filesystem::create_directories(folder);
    kdt::TSignalPlan plan = Example(kdt::kRom421);
    if (const kdt::Outcome saved = kdt::SaveProjectFile(folder / "crossing.kdt", plan); !saved.ok()) {
        state.SkipWithError(saved.error.c_str());
        return;
    }
    const std::string command =
        std::string(KDT_CLI_PATH) + " compile '" + (folder / "crossing.kdt").string() + "' >/dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("kdt compile failed");
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_KdtCompileProcess)->Unit(benchmark::kMillisecond);

}  // namespace
