// The plan of one command-line run, started as the editor starts: a new plan
// with the default settings, then opened from a file the way the open command does.
#pragma once

#include <filesystem>
#include <string>

#include "data/PlanCommands.h"

namespace kdt::cli {

struct PlanSession {
    PlanSession();

    // Opens without ever rewriting the file; returns the error, empty on success.
    std::string open(const std::filesystem::path& path);

    TSignalPlan plan{};
    NetworkAddressEditor addressEditor;
    std::uint8_t layoutVersion = 0;
};

}  // namespace kdt::cli
