#include <ostream>

#include "Cli.h"
#include "CommandLine.h"
#include "Commands.h"
#include "PlanSession.h"
#include "report/PlanDiff.h"

namespace kdt::cli {

int RunDiff(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
    const CommandWords command(words, {"--rom", "--format"}, {"--controller-only"});
    const std::vector<std::string>& plans = command.positional();
    if (plans.size() < 2) throw UsageError("needs two plans, A and B");
    if (plans.size() > 2) throw UsageError("unexpected argument " + plans[2]);
    const auto rom =
        command.value("--rom") ? std::optional(ParseRomType(*command.value("--rom"))) : std::nullopt;
    const std::string format = command.value("--format").value_or("text");
    if (format != "text" && format != "json")
        throw UsageError("--format must be text or json, not \"" + format + "\"");

    // Each plan opens in a run of its own, as two starts of the editor would open them.
    PlanSession a;
    PlanSession b;
    // As with diff(1), trouble with an input is status 2, also a file that holds no plan.
    if (OpenPlanArgument(a, "diff", plans[0], rom, err)) return kExitUsage;
    if (OpenPlanArgument(b, "diff", plans[1], rom, err)) return kExitUsage;

    const bool controllerOnly = command.flag("--controller-only");
    const std::size_t found =
        WriteDifferences(a.plan, b.plan, controllerOnly,
                         format == "json" ? DifferenceFormat::Json : DifferenceFormat::Text, out);
    return found == 0 ? kExitOk : kExitProblem;
}

}  // namespace kdt::cli
