#include "PlanSession.h"

namespace kdt::cli {

PlanSession::PlanSession() { ResetPlan(plan, kDefaultRomVersion, kDefaultSpeed); }

std::string PlanSession::open(const std::filesystem::path& path) {
    const OpenPlanResult result = OpenPlanFile(path, plan, addressEditor, OldLayoutHandling::KeepFile);
    if (result.ok()) layoutVersion = result.layoutVersion;
    return result.error;
}

}  // namespace kdt::cli
