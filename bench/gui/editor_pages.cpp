// The editor's pages must switch and fill well within one frame (16 ms):
// a page switch, and filling the parameters page from the example plan;
// and a thousand edits are undone in well under a second.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>

#include "binding/Page.h"
#include "data/ProjectFile.h"
#include "shell/Unit1.h"

namespace {

kdt::gui::TKDT* editor = nullptr;

void BM_PageSwitch(benchmark::State& state) {
    int page = 1;
    for (auto _ : state) {
        page = page == 1 ? 3 : 1;
        editor->ShowPage(page);
    }
}
BENCHMARK(BM_PageSwitch)->Unit(benchmark::kMicrosecond);

// Two plans in turn, so every field's text changes on each fill.
void BM_FillParametersPage(benchmark::State& state) {
    kdt::gui::Page* page = editor->page(1);
    kdt::TSignalPlan& plan = editor->state().plan;
    const kdt::TSignalPlan example = plan;
    kdt::TSignalPlan other = plan;
    other.PhaseCount = 16;
    other.DirectionCount = 16;
    other.ProgramCount = 16;
    other.TvpButtonCount = 4;
    other.MinPhaseDuration = 40;
    other.PhaseEndBlinkCount = 9;
    other.ConflictExitPeriod = 60;
    other.ConflictRepeatCount = 9;
    other.VpuInterface = 1;
    other.TvpInterface = 1;
    other.RomVersion = 4;
    other.OptionFlags = 3;
    kdt::StoreText(other.Comment, "another comment");
    bool flip = false;
    for (auto _ : state) {
        plan = (flip = !flip) ? other : example;
        const kdt::gui::FillGuard guard(editor->state().journal);
        page->Fill();
    }
    plan = example;
}
BENCHMARK(BM_FillParametersPage)->Unit(benchmark::kMicrosecond);

// A thousand edits made through a field, then all taken back: each undo
// replays the entry through the field's handler and shows the page again.
void BM_UndoThousandEdits(benchmark::State& state) {
    auto* field = editor->findChild<QLineEdit*>(QStringLiteral("LabeledEdit8"));
    for (auto _ : state) {
        state.PauseTiming();
        editor->ShowPage(1);
        for (int i = 0; i < 1000; ++i) field->setText(QString::number(1 + i % 10));
        state.ResumeTiming();
        for (int i = 0; i < 1000; ++i) editor->ToolButton20Click();
        state.PauseTiming();
        if (!editor->state().journal.undoList().empty()) state.SkipWithError("edits left in the journal");
        editor->state().journal.Clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_UndoThousandEdits)->Unit(benchmark::kMillisecond);

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
    kdt::gui::TKDT window;
    window.show();
    if (!window.FileOpen1Accept(std::filesystem::path(KDT_EXAMPLES_DIR) / "crossing.kdt")) return 1;
    editor = &window;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
