#include "PrintCommand.h"

#include <optional>
#include <ostream>

#include "Cli.h"
#include "CommandLine.h"
#include "PlanSession.h"
#include "ReportOptions.h"
#include "common/FileIO.h"
#include "report/ReportBoxes.h"
#include "report/ReportPages.h"
#include "report/ReportText.h"
#include "shell/QtText.h"

namespace kdt::print {
namespace {

using cli::UsageError;

constexpr const char* kUsage =
    "usage: kdt-print PLAN --pdf FILE [--sections all|N,N,...] [--date D.MM.YYYY] [--rom TYPE]\n"
    "Prints the report of the plan into a PDF file (A4, 600 dpi), as the editor prints it.\n"
    "N are the boxes of the report dialog: 1..14 the sections of the text, 15 the timing\n"
    "diagrams; all ticks every box the plan offers; the default is 1..9, as the dialog opens.\n"
    "PLAN is a .kdt/.kdt2 project, a .dbf table or a .hex/.bin image (an image needs --rom).\n";

// The boxes named; a box the plan does not offer cannot be ticked in the dialog either.
ReportBoxes ParseBoxes(const std::string& text, const ReportBoxes& available) {
    if (text == "all") return available;
    ReportBoxes boxes{};
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string item =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const long box = cli::ParseNumber(item, 1, kDiagramBox, "a section number");
        if (!available[static_cast<std::size_t>(box - 1)])
            throw UsageError("section " + std::to_string(box) + " is not offered for this plan");
        boxes[static_cast<std::size_t>(box - 1)] = true;
        if (comma == std::string::npos) return boxes;
        start = comma + 1;
    }
}

int Run(const std::vector<std::string>& arguments, std::ostream& err) {
    const cli::CommandWords command(arguments, {"--pdf", "--sections", "--date", "--rom"});
    const std::string planPath = command.onlyPositional("PLAN");
    const std::string pdfPath = command.requiredValue("--pdf");
    const auto rom =
        command.value("--rom") ? std::optional(cli::ParseRomType(*command.value("--rom"))) : std::nullopt;
    const ReportDate today =
        command.value("--date") ? cli::ParseReportDate(*command.value("--date")) : cli::TodaysDate();

    cli::CheckOutput(Utf8ToPath(pdfPath), Utf8ToPath(pdfPath), cli::InputFilesOf(planPath));

    cli::PlanSession session;
    if (const auto status = cli::OpenPlanArgumentFor(session, "kdt-print", planPath, rom, err))
        return *status;
    const ReportBoxes boxes = command.value("--sections") ? ParseBoxes(*command.value("--sections"),
                                                                       AvailableReportBoxes(session.plan))
                                                          : DefaultReportBoxes();

    gui::ReportPrintout printout;
    for (const std::string& line : ComposeReport(session.plan, SectionsOf(boxes), today))
        printout.lines << gui::ToQString(line);
    printout.diagrams = boxes[kDiagramBox - 1];
    printout.plan = session.plan;
    if (const QString error = gui::WritePdfReport(gui::ToQString(pdfPath), printout); !error.isEmpty()) {
        err << "kdt-print: " << gui::ToUtf8(error) << "\n";
        return cli::kExitUsage;
    }
    return cli::kExitOk;
}

}  // namespace

int RunKdtPrint(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    if (arguments.empty()) {
        err << kUsage;
        return cli::kExitUsage;
    }
    if (arguments.front() == "--help") {
        out << kUsage;
        return cli::kExitOk;
    }
    try {
        return Run(arguments, err);
    } catch (const UsageError& error) {
        err << "kdt-print: " << error.what() << "\n";
        return cli::kExitUsage;
    }
}

}  // namespace kdt::print
