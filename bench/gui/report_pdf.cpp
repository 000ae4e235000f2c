// The whole report of a plan with sixteen programs, every section and every
// timing diagram, printed into a PDF in memory: target under 300 ms.
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QGuiApplication>

#include "ExampleCrossing.h"
#include "report/ReportBoxes.h"
#include "report/ReportPages.h"
#include "report/ReportText.h"
#include "shell/QtText.h"

namespace {

// The example crossing with its three programs repeated up to sixteen, and
// sixteen directions (the last six copies of the first six, green with them).
kdt::TSignalPlan SixteenPrograms() {
    kdt::TSignalPlan plan{};
    kdt::example::BuildExampleCrossing(plan);
    for (int p = 3; p < kdt::kMaxPrograms; ++p) plan.Program[p] = plan.Program[p % 3];
    plan.ProgramCount = kdt::kMaxPrograms;
    for (int d = 10; d < kdt::kMaxDirections; ++d) plan.Direction[d] = plan.Direction[d - 10];
    for (std::uint16_t& phase : plan.PhaseDirections)
        phase = static_cast<std::uint16_t>(phase | (phase & 0x3F) << 10);
    plan.DirectionCount = kdt::kMaxDirections;
    plan.NetworkType = 3;  // the coordinator section too
    return plan;
}

void BM_WholeReportToPdf(benchmark::State& state) {
    kdt::gui::ReportPrintout report;
    report.plan = SixteenPrograms();
    const kdt::ReportBoxes boxes = kdt::AvailableReportBoxes(report.plan);
    report.diagrams = boxes[kdt::kDiagramBox - 1];
    for (const std::string& line : kdt::ComposeReport(report.plan, kdt::SectionsOf(boxes), {1, 1, 2027}))
        report.lines << kdt::gui::ToQString(line);
    qint64 bytes = 0;
    for (auto _ : state) {
        QBuffer pdf;
        pdf.open(QIODevice::WriteOnly);
        if (!kdt::gui::WritePdfReport(pdf, report).isEmpty())
            state.SkipWithError("the report was not printed");
        bytes = pdf.size();
    }
    state.counters["lines"] = static_cast<double>(report.lines.size());
    state.counters["pdf_kB"] = static_cast<double>(bytes) / 1024;
}
BENCHMARK(BM_WholeReportToPdf)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
