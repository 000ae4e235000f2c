// The plan of one command-line run, started as the editor starts: a new plan
// with the default settings, then opened from a file the way the open command does.
#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "project/PlanCommands.h"

namespace kdt::cli {

struct PlanSession {
    // A new plan with the ROM type and speed a new plan of the editor gets.
    explicit PlanSession(std::uint8_t romVersion = kDefaultRomVersion, std::uint8_t speed = kDefaultSpeed);

    // Opens without ever rewriting the file. An image is read with the
    // layout of romType, which it needs (a UsageError without it).
    OpenPlanResult open(const std::filesystem::path& path, std::optional<std::uint8_t> romType);

    TSignalPlan plan{};
    PlanEditorState editor;
    OpenPlanResult lastOpen;
    std::uint8_t layoutVersion = 0;
};

// The files a PLAN argument reads: the file and, for a legacy table, the
// memo files beside it (any case of their names).
std::vector<std::filesystem::path> InputFilesOf(const std::string& planPath);

// Refuses an output before anything is read or written (a UsageError naming
// it): a name that cannot be written (chosen as given, before ".kdt" is
// appended to a project name), or a file that is one of the inputs (written
// is the name the output will have).
void CheckOutput(const std::filesystem::path& chosen, const std::filesystem::path& written,
                 const std::vector<std::filesystem::path>& inputs);

// Opens the command's PLAN argument; on failure prints the one error line and
// returns the exit status (1 for an image or a table without a plan, 2
// otherwise). Warning lines: a project file shorter than the record, a legacy
// table whose import stopped early or skipped rows, each value it cut.
std::optional<int> OpenPlanArgument(PlanSession& session, const std::string& command,
                                    const std::string& planPath, std::optional<std::uint8_t> romType,
                                    std::ostream& err);
// The same for another program: its lines begin with prefix.
std::optional<int> OpenPlanArgumentFor(PlanSession& session, const std::string& prefix,
                                       const std::string& planPath, std::optional<std::uint8_t> romType,
                                       std::ostream& err);

}  // namespace kdt::cli
