#include <ostream>

#include "Cli.h"
#include "CommandLine.h"
#include "Commands.h"
#include "PlanSession.h"
#include "common/FileIO.h"

namespace kdt::cli {

int RunImport(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
    const CommandWords command(words, {"--out", "--base", "--rom", "--speed"});
    const std::string tablePath = command.onlyPositional("TABLE.dbf");
    const std::string outPath = command.requiredValue("--out");
    const std::uint8_t rom =
        command.value("--rom") ? ParseRomType(*command.value("--rom")) : kDefaultRomVersion;
    const auto speed = static_cast<std::uint8_t>(
        command.value("--speed") ? ParseNumber(*command.value("--speed"), 1, 255, "--speed") : kDefaultSpeed);

    std::vector<std::filesystem::path> inputs = InputFilesOf(tablePath);
    if (const auto base = command.value("--base")) {
        const std::vector<std::filesystem::path> baseFiles = InputFilesOf(*base);
        inputs.insert(inputs.end(), baseFiles.begin(), baseFiles.end());
    }
    CheckOutput(Utf8ToPath(outPath), ProjectSaveName(Utf8ToPath(outPath)), inputs);

    // The table overlays the plan in memory: a new plan, or the base project.
    PlanSession session(rom, speed);
    if (const auto base = command.value("--base"))
        if (const auto status = OpenPlanArgument(session, "import", *base, std::nullopt, err)) return *status;
    if (const auto status = OpenPlanArgument(session, "import", tablePath, std::nullopt, err)) return *status;
    const SavePlanResult saved = SavePlanAs(Utf8ToPath(outPath), session.plan, session.editor.addressEditor);
    if (!saved.ok()) {
        err << "kdt import: " << saved.error << "\n";
        return kExitUsage;
    }
    out << PathToUtf8(saved.written) << "\n";
    // A bad row ended the import early: the plan holds the rows before it.
    return session.lastOpen.importStopMessage.empty() ? kExitOk : kExitProblem;
}

}  // namespace kdt::cli
