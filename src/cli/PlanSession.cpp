#include "PlanSession.h"

#include <ostream>

#include "Cli.h"
#include "CommandLine.h"
#include "common/FileIO.h"
#include "data/TextEncoding.h"

namespace kdt::cli {
namespace {

bool IsImage(const std::filesystem::path& path) {
    const std::string extension = LowerCaseExtension(path);
    return extension == ".hex" || extension == ".bin";
}

// Messages meant for a box may hold line breaks; a terminal line may not.
std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\n') c = ' ';
    std::erase(text, '\r');
    return text;
}

}  // namespace

PlanSession::PlanSession(std::uint8_t romVersion, std::uint8_t speed) { ResetPlan(plan, romVersion, speed); }

OpenPlanResult PlanSession::open(const std::filesystem::path& path, std::optional<std::uint8_t> romType) {
    if (IsImage(path)) {
        if (!romType) throw UsageError("an image needs --rom 4.1.3, 4.2.0 or 4.2.1 to be read");
        plan.RomVersion = *romType;  // the reader takes the layout of the ROM type chosen
    }
    lastOpen = OpenPlanFile(path, plan, editor, OldLayoutHandling::KeepFile);
    if (lastOpen.ok()) layoutVersion = lastOpen.layoutVersion;
    return lastOpen;
}

std::optional<int> OpenPlanArgument(PlanSession& session, const std::string& command,
                                    const std::string& planPath, std::optional<std::uint8_t> romType,
                                    std::ostream& err) {
    return OpenPlanArgumentFor(session, "kdt " + command, planPath, romType, err);
}

std::optional<int> OpenPlanArgumentFor(PlanSession& session, const std::string& prefix,
                                       const std::string& planPath, std::optional<std::uint8_t> romType,
                                       std::ostream& err) {
    const OpenPlanResult result = session.open(Utf8ToPath(planPath), romType);
    if (result.ok()) {
        if (!result.importStopMessage.empty())
            err << prefix << ": warning: " << OneLine(result.importStopMessage) << " (" << result.detail
                << "); the rows before it were imported\n";
        if (result.skippedRows > 0)
            err << prefix << ": warning: " << result.skippedRows
                << " row(s) skipped: their indices lie outside the plan\n";
        return std::nullopt;
    }
    err << prefix << ": " << OneLine(result.error);
    if (!result.detail.empty()) err << " (" << result.detail << ")";
    if (result.failure == OpenFailure::NoPlan) err << " (" << planPath << ")";
    err << "\n";
    return result.failure == OpenFailure::NoPlan ? kExitProblem : kExitUsage;
}

}  // namespace kdt::cli
