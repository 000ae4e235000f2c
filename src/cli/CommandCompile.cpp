#include <ostream>

#include "Cli.h"
#include "CommandLine.h"
#include "Commands.h"
#include "PlanSession.h"
#include "common/FileIO.h"
#include "rom/KonvertHexBin.h"
#include "rom/RomFileNames.h"
#include "rom/RomImageBuilder.h"

namespace kdt::cli {

int RunCompile(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
    const CommandWords command(words, {"--rom", "--format", "--out"}, {"--analyse"});
    const std::string planPath = command.onlyPositional("PLAN");
    const auto rom =
        command.value("--rom") ? std::optional(ParseRomType(*command.value("--rom"))) : std::nullopt;
    const std::string format = command.value("--format").value_or("hex");
    if (format != "hex" && format != "bin")
        throw UsageError("--format must be hex or bin, not \"" + format + "\"");
    const RomFileType type = format == "hex" ? RomFileType::Hex : RomFileType::Bin;

    std::filesystem::path output;
    if (const auto chosen = command.value("--out")) {
        output = Utf8ToPath(*chosen);
    } else {
        // An image's default name is the image itself (x.hex compiles to x.hex).
        const std::string extension = LowerCaseExtension(Utf8ToPath(planPath));
        if (extension == ".hex" || extension == ".bin")
            throw UsageError("an image as PLAN needs --out: the default output would be the image itself");
        std::error_code ignored;
        const std::filesystem::path plan = std::filesystem::absolute(Utf8ToPath(planPath), ignored);
        output = RomFilePath(PathToUtf8(plan), plan.parent_path(), type);
    }
    CheckOutput(output, output, InputFilesOf(planPath));

    PlanSession session;
    if (const auto status = OpenPlanArgument(session, "compile", planPath, rom, err)) return *status;
    if (rom) session.plan.RomVersion = *rom;
    if (command.flag("--analyse")) {
        // An overrunning coordinator block overwrites the records after it:
        // the image would not hold the plan, so it counts as a finding here.
        std::vector<std::string> overrun;
        if (std::string warning = CoordinatorOverrunWarning(session.plan); !warning.empty())
            overrun.push_back(std::move(warning));
        if (const int status = ReportAnalysis(session.plan, std::nullopt, out, err, "compile", overrun);
            status != kExitOk) {
            if (status == kExitProblem) err << "kdt compile: the plan has findings; nothing was compiled\n";
            return status;
        }
    }

    const RomFileResult written =
        type == RomFileType::Hex ? WriteHexFile(session.plan, output) : WriteBinFile(session.plan, output);
    if (!written.ok()) {
        err << "kdt compile: " << written.error << "\n";
        return kExitUsage;
    }
    if (!written.warning.empty()) err << "kdt compile: warning: " << written.warning << "\n";
    out << PathToUtf8(output) << "\n";
    return kExitOk;
}

}  // namespace kdt::cli
