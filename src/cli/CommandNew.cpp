#include <ostream>

#include "Cli.h"
#include "CommandLine.h"
#include "Commands.h"
#include "PlanSession.h"
#include "common/FileIO.h"

namespace kdt::cli {

int RunNew(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
    const CommandWords command(words, {"--out", "--rom", "--speed"});
    if (!command.positional().empty())
        throw UsageError("unexpected argument " + command.positional().front());
    const std::string outPath = command.requiredValue("--out");
    const std::uint8_t rom =
        command.value("--rom") ? ParseRomType(*command.value("--rom")) : kDefaultRomVersion;
    const auto speed = static_cast<std::uint8_t>(
        command.value("--speed") ? ParseNumber(*command.value("--speed"), 1, 255, "--speed") : kDefaultSpeed);

    CheckOutput(Utf8ToPath(outPath), ProjectSaveName(Utf8ToPath(outPath)), {});

    PlanSession session;
    const SavePlanResult saved =
        CreateNewProject(Utf8ToPath(outPath), session.plan, session.editor.addressEditor, rom, speed);
    if (!saved.ok()) {
        err << "kdt new: " << saved.error << "\n";
        return kExitUsage;
    }
    out << PathToUtf8(saved.written) << "\n";
    return kExitOk;
}

}  // namespace kdt::cli
