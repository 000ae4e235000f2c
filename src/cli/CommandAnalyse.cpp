#include <ostream>

#include "Cli.h"
#include "CommandLine.h"
#include "Commands.h"
#include "PlanSession.h"
#include "analysis/ErrorFile.h"
#include "analysis/PlanAnalysis.h"
#include "common/FileIO.h"

namespace kdt::cli {
namespace {

// A finding may hold CR LF (it spans two lines of the error file); on a
// terminal it becomes a plain line break.
void PrintLines(const std::vector<std::string>& lines, std::ostream& out) {
    for (const std::string& line : lines) {
        std::string text = line;
        for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
            text.erase(at, 1);
        out << text << "\n";
    }
}

}  // namespace

int ReportAnalysis(const TSignalPlan& plan, const std::optional<std::string>& errorFile, std::ostream& out,
                   std::ostream& err, const std::string& command,
                   const std::vector<std::string>& moreFindings) {
    AnalysisResult result = AnalizSOD(plan, 0);
    std::vector<std::string> findings = std::move(result.findings);
    findings.insert(findings.end(), moreFindings.begin(), moreFindings.end());
    if (findings.empty()) return kExitOk;
    if (!errorFile) {
        PrintLines(FindingLines(plan, findings), out);
        return kExitProblem;
    }
    const std::filesystem::path file = Utf8ToPath(*errorFile);
    const std::vector<std::string> lines = ErrorFileLines(plan, file, findings);
    if (const Outcome written = WriteErrorFile(file, lines); !written.ok()) {
        // The findings matter more than the file: they are shown all the same,
        // without the line that would claim the file was written.
        PrintLines(FindingLines(plan, findings), out);
        err << "kdt " << command << ": " << written.error << "\n";
        return kExitUsage;
    }
    PrintLines(lines, out);
    return kExitProblem;
}

int RunAnalyse(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
    const CommandWords command(words, {"--error-file", "--rom"});
    const std::string planPath = command.onlyPositional("PLAN");
    const auto rom =
        command.value("--rom") ? std::optional(ParseRomType(*command.value("--rom"))) : std::nullopt;
    const auto errorFile = command.value("--error-file");
    if (errorFile) CheckOutput(Utf8ToPath(*errorFile), Utf8ToPath(*errorFile), InputFilesOf(planPath));
    PlanSession session;
    if (const auto status = OpenPlanArgument(session, "analyse", planPath, rom, err)) return *status;
    const int status = ReportAnalysis(session.plan, errorFile, out, err, "analyse");
    if (status == kExitProblem) err << "kdt analyse: the plan has findings\n";
    return status;
}

}  // namespace kdt::cli
