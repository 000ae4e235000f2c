#include <ostream>

#include "Cli.h"
#include "CommandLine.h"
#include "Commands.h"
#include "PlanSession.h"
#include "common/FileIO.h"

namespace kdt::cli {

int RunDecode(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
    const CommandWords command(words, {"--rom", "--out"});
    const std::string imagePath = command.onlyPositional("IMAGE");
    const std::uint8_t rom = ParseRomType(command.requiredValue("--rom"));
    if (rom < kRom413) throw UsageError("only 4.1.3, 4.2.0 and 4.2.1 images can be read");
    const std::string outPath = command.requiredValue("--out");
    CheckOutput(Utf8ToPath(outPath), ProjectSaveName(Utf8ToPath(outPath)), InputFilesOf(imagePath));

    PlanSession session;  // a fresh run: the reader's scratch record is all zeros
    if (const auto status = OpenPlanArgument(session, "decode", imagePath, rom, err)) return *status;
    const SavePlanResult saved = SavePlanAs(Utf8ToPath(outPath), session.plan, session.editor.addressEditor);
    if (!saved.ok()) {
        err << "kdt decode: " << saved.error << "\n";
        return kExitUsage;
    }
    out << PathToUtf8(saved.written) << "\n";
    return kExitOk;
}

}  // namespace kdt::cli
