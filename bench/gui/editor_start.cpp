// The editor must be ready quickly and stay small: a cold start of kdt-gui
// with the bundled example, to its main window shown with the plan open.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// Starts the program as a user would and waits until it has ended; returns
// its peak resident size in kilobytes, or -1 when it failed.
long StartAndWait(const std::string& home) {
    const pid_t child = fork();
    if (child == 0) {
        setenv("HOME", home.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
        setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", home.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        setenv("KDT_EXIT_WHEN_SHOWN", "1", 1);
        execl(KDT_GUI_PATH, KDT_GUI_PATH, KDT_EXAMPLES_DIR "/crossing.kdt", static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return usage.ru_maxrss;
}

void BM_ColdStartToShownWindow(benchmark::State& state) {
    char folder[] = "/tmp/kdt-start-XXXXXX";
    const std::string home = mkdtemp(folder);
    long peak = 0;
    for (auto _ : state) {
        const long resident = StartAndWait(home);
        if (resident < 0) {
            state.SkipWithError("kdt-gui did not start and end cleanly");
            break;
        }
        peak = std::max(peak, resident);
    }
    state.counters["peak_resident_MB"] = static_cast<double>(peak) / 1024.0;
    std::filesystem::remove_all(home);
}
BENCHMARK(BM_ColdStartToShownWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
