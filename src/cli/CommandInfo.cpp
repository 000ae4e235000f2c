#include <filesystem>
#include <ostream>

#include "Cli.h"
#include "CommandLine.h"
#include "Commands.h"
#include "PlanSession.h"
#include "common/FileIO.h"
#include "data/TextEncoding.h"

namespace kdt::cli {
namespace {

std::string RomTypeText(std::uint8_t romVersion) {
    if (romVersion >= kRomTypeCount) return "unknown (" + std::to_string(romVersion) + ")";
    return std::string(kRomTypeNames[romVersion]) + " (" + std::string(kRomTypeCaptions[romVersion]) + ")";
}

}  // namespace

int RunInfo(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
    const CommandWords command(words, {"--rom"});
    const std::string planPath = command.onlyPositional("PLAN");
    const auto rom =
        command.value("--rom") ? std::optional(ParseRomType(*command.value("--rom"))) : std::nullopt;

    PlanSession session;
    if (const auto status = OpenPlanArgument(session, "info", planPath, rom, err)) return *status;
    const std::filesystem::path path = Utf8ToPath(planPath);
    const TSignalPlan& plan = session.plan;
    std::error_code ignored;
    out << "File: " << PathToUtf8(std::filesystem::absolute(path, ignored).lexically_normal()) << "\n"
        << "Layout version: " << int(session.layoutVersion) << "\n"
        << "ROM type: " << RomTypeText(plan.RomVersion) << "\n"
        << "Phases: " << int(plan.PhaseCount) << "\n"
        << "Directions: " << int(plan.DirectionCount) << "\n"
        << "Programs: " << int(plan.ProgramCount) << "\n"
        << "Pedestrian buttons: " << int(plan.TvpButtonCount) << "\n"
        << "Detectors: " << int(plan.DetectorCount) << "\n"
        << "Comment: " << VisibleCp1251ToUtf8(StoredText(plan.Comment)) << "\n";
    return kExitOk;
}

}  // namespace kdt::cli
