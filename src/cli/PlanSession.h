// The plan of one command-line run, started as the editor starts: a new plan
// with the default settings, then opened from a file the way the open command does.
#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

#include "data/PlanCommands.h"

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

// Opens the command's PLAN argument; on failure prints the one error line and
// returns the exit status (1 for an image without a plan, 2 otherwise). A
// legacy table whose import stopped early or skipped rows gets a warning line.
std::optional<int> OpenPlanArgument(PlanSession& session, const std::string& command,
                                    const std::string& planPath, std::optional<std::uint8_t> romType,
                                    std::ostream& err);
// The same for another program: its lines begin with prefix.
std::optional<int> OpenPlanArgumentFor(PlanSession& session, const std::string& prefix,
                                       const std::string& planPath, std::optional<std::uint8_t> romType,
                                       std::ostream& err);

}  // namespace kdt::cli
