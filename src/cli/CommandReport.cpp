#include <optional>
#include <ostream>

#include "Cli.h"
#include "CommandLine.h"
#include "Commands.h"
#include "PlanSession.h"
#include "ReportOptions.h"
#include "common/FileIO.h"
#include "report/ReportText.h"

namespace kdt::cli {
namespace {

// "all" or a comma-separated list of switch numbers 1..14.
ReportSections ParseSections(const std::string& text) {
    if (text == "all") return AllReportSections();
    ReportSections sections{};
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string item =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        sections[ParseNumber(item, 1, kReportSectionCount, "a section number") - 1] = true;
        if (comma == std::string::npos) return sections;
        start = comma + 1;
    }
}

}  // namespace

int RunReport(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
    const CommandWords command(words, {"--sections", "--date", "--out", "--rom"});
    const std::string planPath = command.onlyPositional("PLAN");
    const auto rom =
        command.value("--rom") ? std::optional(ParseRomType(*command.value("--rom"))) : std::nullopt;
    const ReportSections sections =
        command.value("--sections") ? ParseSections(*command.value("--sections")) : DefaultReportSections();
    const ReportDate today =
        command.value("--date") ? ParseReportDate(*command.value("--date")) : TodaysDate();
    if (const auto output = command.value("--out"))
        CheckOutput(Utf8ToPath(*output), Utf8ToPath(*output), InputFilesOf(planPath));

    PlanSession session;
    if (const auto status = OpenPlanArgument(session, "report", planPath, rom, err)) return *status;
    const std::vector<std::string> lines = ComposeReport(session.plan, sections, today);

    if (const auto output = command.value("--out")) {
        if (const Outcome written = WriteReportFile(Utf8ToPath(*output), lines); !written.ok()) {
            err << "kdt report: " << written.error << "\n";
            return kExitUsage;
        }
        return kExitOk;
    }
    for (const std::string& line : lines) out << line << "\n";
    return kExitOk;
}

}  // namespace kdt::cli
