#include "PlanSession.h"

#include <ostream>

#include "Cli.h"
#include "CommandLine.h"
#include "common/FileIO.h"
#include "data/TextEncoding.h"

namespace kdt::cli {
namespace {

bool IsImage(const std::filesystem::path& path) {
    const std::string extension = LowerCaseCp1251Letters(PathToUtf8(path.extension()));
    return extension == ".hex" || extension == ".bin";
}

}  // namespace

PlanSession::PlanSession() { ResetPlan(plan, kDefaultRomVersion, kDefaultSpeed); }

OpenPlanResult PlanSession::open(const std::filesystem::path& path, std::optional<std::uint8_t> romType) {
    if (IsImage(path)) {
        if (!romType) throw UsageError("an image needs --rom 4.1.3, 4.2.0 or 4.2.1 to be read");
        plan.RomVersion = *romType;  // the reader takes the layout of the ROM type chosen
    }
    const OpenPlanResult result = OpenPlanFile(path, plan, editor, OldLayoutHandling::KeepFile);
    if (result.ok()) layoutVersion = result.layoutVersion;
    return result;
}

std::optional<int> OpenPlanArgument(PlanSession& session, const std::string& command,
                                    const std::string& planPath, std::optional<std::uint8_t> romType,
                                    std::ostream& err) {
    const OpenPlanResult result = session.open(Utf8ToPath(planPath), romType);
    if (result.ok()) return std::nullopt;
    err << "kdt " << command << ": " << result.error;
    if (result.failure == OpenFailure::NoPlan) err << " (" << planPath << ")";
    err << "\n";
    return result.failure == OpenFailure::NoPlan ? kExitProblem : kExitUsage;
}

}  // namespace kdt::cli
