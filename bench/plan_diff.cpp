// kdt diff scripts into change control, where it runs once per plan and
// commit: two maximal plans must compare in under a millisecond of process
// CPU beyond what starting kdt costs.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "Cli.h"
#include "data/PlanProcedures.h"
#include "data/ProjectFile.h"
#include "report/PlanDiff.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// Every count at its limit, and every value drawn anew, so that nearly
// every element of two such plans differs.
kdt::TSignalPlan MaximalPlan(std::uint32_t seed) {
    kdt::TSignalPlan plan;
    kdt::ResetPlan(plan, kdt::kRom421, 60);
    std::mt19937 random(seed);
    std::uint8_t* bytes = kdt::RecordBytes(plan).data();
    for (const kdt::PlanField& field : kdt::PlanFields())
        for (int i = 0; i < field.count1; ++i)
            for (int j = 0; j < field.count2; ++j)
                for (std::size_t b = 0; b < field.width; ++b)
                    bytes[field.OffsetOf(i, j) + b] = static_cast<std::uint8_t>(random());
    plan.RomVersion = kdt::kRom421;
    plan.PhaseCount = plan.DirectionCount = plan.ProgramCount = 16;
    plan.TvpButtonCount = 4;
    plan.DetectorCount = 4;
    plan.NetworkType = 3;
    plan.CoordControllerCount = 6;
    plan.ProjectFileName.Length = 200;
    plan.Comment.Length = 140;
    for (auto& program : plan.Program) program.TactCount = 16;
    for (auto& day : plan.Schedule)
        for (auto& row : day) row.Hour = static_cast<std::uint8_t>(random() % 24);
    return plan;
}

// Two maximal plans: a few values apart (a change under review) or apart
// in nearly every value (the longest output there can be).
struct Plans {
    explicit Plans(bool everywhere)
        : folder(fs::temp_directory_path() / ("kdt-bench-diff-" + std::to_string(::getpid()))) {
        fs::create_directories(folder);
        a = MaximalPlan(1);
        if (everywhere) {
            b = MaximalPlan(2);
        } else {
            b = a;
            b.Program[3].TactDuration[5] = static_cast<std::uint16_t>(b.Program[3].TactDuration[5] + 4);
            b.Schedule[2][7].Minute = static_cast<std::uint8_t>((b.Schedule[2][7].Minute + 1) % 60);
            b.ChannelColour[9] = static_cast<std::uint8_t>((b.ChannelColour[9] + 1) % 4);
        }
        kdt::TSignalPlan saved = a;
        ok = kdt::SaveProjectFile(folder / "a.kdt", saved).ok();
        saved = b;
        ok = ok && kdt::SaveProjectFile(folder / "b.kdt", saved).ok();
    }
    ~Plans() {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    std::vector<std::string> DiffArguments() const {
        return {"diff", (folder / "a.kdt").string(), (folder / "b.kdt").string()};
    }
    fs::path folder;
    kdt::TSignalPlan a{};
    kdt::TSignalPlan b{};
    bool ok = false;
};

// The CPU seconds (user and system) of one kdt run, output discarded.
double KdtCpuSeconds(const std::vector<std::string>& arguments) {
    std::vector<std::string> words = {KDT_CLI_PATH};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    rusage usage{};
    if (::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) > 1)
        return -1;
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void BM_ComparePlansMaximal(benchmark::State& state) {
    const Plans plans(state.range(0) != 0);
    std::size_t length = 0;
    for (auto _ : state) {
        const std::string text = kdt::DifferenceText(kdt::ComparePlans(plans.a, plans.b), false);
        length = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["bytes"] = double(length);
}
BENCHMARK(BM_ComparePlansMaximal)->Arg(0)->Arg(1)->ArgName("everywhere")->Unit(benchmark::kMicrosecond);

// Output sent nowhere, as to /dev/null: what the command costs, not what
// keeping its text would.
struct Discard : std::streambuf {
    std::size_t written = 0;
    int_type overflow(int_type c) override {
        ++written;
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char*, std::streamsize n) override {
        written += static_cast<std::size_t>(n);
        return n;
    }
};

// The whole command in this process: both plans opened from their files,
// compared, the text written. This is what a kdt diff process does beyond
// starting up, without the noise of starting one.
void BM_KdtDiffCommand(benchmark::State& state) {
    const Plans plans(state.range(0) != 0);
    if (!plans.ok) {
        state.SkipWithError("the plans could not be saved");
        return;
    }
    const std::vector<std::string> arguments = plans.DiffArguments();
    Discard discard;
    std::ostream out(&discard);
    for (auto _ : state) {
        std::ostringstream err;
        if (kdt::cli::RunKdt(arguments, out, err) != 1) state.SkipWithError("kdt diff found no difference");
    }
    state.counters["bytes"] = double(discard.written) / double(state.iterations());
}
BENCHMARK(BM_KdtDiffCommand)->Arg(0)->Arg(1)->ArgName("everywhere")->Unit(benchmark::kMicrosecond);

// The same as processes: the diff's CPU time less a start-up's (kdt
// --help), run in turn so that both see the same machine. The iteration
// time is CPU time, not the wall clock.
void BM_KdtDiffProcessBeyondStartup(benchmark::State& state) {
    const Plans plans(state.range(0) != 0);
    if (!plans.ok) {
        state.SkipWithError("the plans could not be saved");
        return;
    }
    const std::vector<std::string> arguments = plans.DiffArguments();
    double diff = 0;
    double startup = 0;
    for (auto _ : state) {
        const double one = KdtCpuSeconds(arguments);
        const double base = KdtCpuSeconds({"--help"});
        if (one < 0 || base < 0) state.SkipWithError("kdt failed");
        diff += one;
        startup += base;
        state.SetIterationTime(std::max(one - base, 0.0));
    }
    state.counters["diff_ms"] = 1000 * diff / double(state.iterations());
    state.counters["startup_ms"] = 1000 * startup / double(state.iterations());
    state.counters["beyond_ms"] = 1000 * (diff - startup) / double(state.iterations());
}
BENCHMARK(BM_KdtDiffProcessBeyondStartup)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("everywhere")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(300);

}  // namespace
