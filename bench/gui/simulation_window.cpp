// The simulation window must finish a tick well inside its 488 ms timer: the
// engine's tick with the widgets brought up to date and the heads painted,
// and, as an upper bound, the same with the whole window painted.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QTemporaryDir>

#include "shell/Unit1.h"
#include "simulation/Unit2.h"

namespace {

kdt::gui::TForm2* window = nullptr;

// What the timer runs: the tick, the widgets, the surface painted at once.
void BM_TickAndSurfaceRepaint(benchmark::State& state) {
    for (auto _ : state) window->Timer1Timer();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TickAndSurfaceRepaint)->Unit(benchmark::kMicrosecond);

// The tick and every widget of the window painted, as after an exposure.
void BM_TickAndWholeWindowRepaint(benchmark::State& state) {
    for (auto _ : state) {
        window->Timer1Timer();
        window->repaint();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TickAndWholeWindowRepaint)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    // A home of its own: the editor writes its settings and association there.
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(home.path()));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    kdt::gui::TKDT editor;
    if (!editor.FileOpen1Accept(std::filesystem::path(KDT_EXAMPLES_DIR) / "crossing.kdt")) return 1;
    editor.ImitacClick();
    window = editor.simulationWindow();
    if (window == nullptr) return 1;
    QCoreApplication::processEvents();
    // Running the example's day program, past the power-on period.
    window->findChild<QAction*>(QStringLiteral("SpeedButton1"))->trigger();
    if (!window->engine().running()) return 1;
    for (int tick = 0; tick < 40; ++tick) window->Timer1Timer();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
