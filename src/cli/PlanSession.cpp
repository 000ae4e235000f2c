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

std::vector<std::filesystem::path> InputFilesOf(const std::string& planPath) {
    const std::filesystem::path path = Utf8ToPath(planPath);
    std::vector<std::filesystem::path> inputs = {path};
    if (LowerCaseExtension(path) != ".dbf") return inputs;
    const std::string stem = LowerCaseCp1251Letters(PathToUtf8(path.stem()));
    const std::filesystem::path folder =
        path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    std::error_code status;
    std::filesystem::directory_iterator entry(folder, status), end;
    for (; !status && entry != end; entry.increment(status)) {
        const std::string name = LowerCaseCp1251Letters(PathToUtf8(entry->path().filename()));
        if (name == stem + ".dbt" || name == stem + ".fpt") inputs.push_back(entry->path());
    }
    return inputs;
}

void CheckOutput(const std::filesystem::path& chosen, const std::filesystem::path& written,
                 const std::vector<std::filesystem::path>& inputs) {
    if (const Outcome name = CheckWriteName(chosen); !name.ok()) throw UsageError(name.error);
    for (const std::filesystem::path& input : inputs)
        if (IsSameFile(written, input))
            throw UsageError("the output \"" + PathToUtf8(written) + "\" is the input \"" +
                             PathToUtf8(input) + "\"; nothing was read or written");
}

PlanSession::PlanSession(std::uint8_t romVersion, std::uint8_t speed) {
    ResetPlan(plan, romVersion, speed);
}

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
        if (!result.shortFileWarning.empty())
            err << prefix << ": warning: " << OneLine(result.shortFileWarning) << "\n";
        for (const std::string& truncated : result.truncatedValues)
            err << prefix << ": warning: " << truncated << "\n";
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
