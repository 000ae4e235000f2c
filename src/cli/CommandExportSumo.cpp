#include <ostream>

#include "Cli.h"
#include "CommandLine.h"
#include "Commands.h"
#include "PlanSession.h"
#include "common/FileIO.h"
#include "simulation/SumoExport.h"

namespace kdt::cli {
namespace {

// A link map is a few lines; anything this large is not one.
constexpr std::size_t kMaxLinkMapSize = 1024 * 1024;

}  // namespace

int RunExportSumo(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
    const CommandWords command(words, {"--out", "--tls", "--links", "--day", "--rom"});
    const std::string planPath = command.onlyPositional("PLAN");
    const std::string outPath = command.requiredValue("--out");
    const auto rom =
        command.value("--rom") ? std::optional(ParseRomType(*command.value("--rom"))) : std::nullopt;
    const int day =
        command.value("--day") ? static_cast<int>(ParseNumber(*command.value("--day"), 0, 6, "--day")) : 1;
    const auto linksPath = command.value("--links");
    std::vector<std::filesystem::path> inputs = InputFilesOf(planPath);
    if (linksPath) inputs.push_back(Utf8ToPath(*linksPath));
    CheckOutput(Utf8ToPath(outPath), Utf8ToPath(outPath), inputs);

    SumoExportOptions options;
    options.weekday = day;
    // The junction's traffic light; by default named after the plan's file.
    options.tlsId = command.value("--tls").value_or(PathToUtf8(Utf8ToPath(planPath).stem()));
    if (!IsSumoId(options.tlsId)) throw UsageError("--tls must be a non-empty id without control characters");

    PlanSession session;
    if (const auto status = OpenPlanArgument(session, "export-sumo", planPath, rom, err)) return *status;
    if (linksPath) {
        const FileReadResult text =
            ReadFileBytes(Utf8ToPath(*linksPath), kMaxLinkMapSize, BeyondLimit::Refuse);
        if (!text.ok()) {
            err << "kdt export-sumo: " << text.error << "\n";
            return kExitUsage;
        }
        const SumoLinkMapRead links =
            ParseSumoLinkMap(std::string(text.bytes.begin(), text.bytes.end()), session.plan.DirectionCount);
        if (!links.ok()) {
            err << "kdt export-sumo: " << *linksPath << ", " << links.error << "\n";
            return kExitUsage;
        }
        options.links = links.map;
    }

    const SumoExport exported = BuildSumoExport(session.plan, options);
    if (!exported.ok()) {
        err << "kdt export-sumo: " << exported.error << "\n";
        return kExitProblem;
    }
    const Outcome written = WriteFileAtomically(
        Utf8ToPath(outPath),
        std::span(reinterpret_cast<const std::uint8_t*>(exported.xml.data()), exported.xml.size()));
    if (!written.ok()) {
        err << "kdt export-sumo: " << written.error << "\n";
        return kExitUsage;
    }
    for (const std::string& warning : exported.warnings)
        err << "kdt export-sumo: warning: " << warning << "\n";
    out << outPath << "\n";
    return kExitOk;
}

}  // namespace kdt::cli
