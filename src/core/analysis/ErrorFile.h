// The analysis error file: five header lines, then the findings, in
// Windows-1251 with CR LF after every line.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "common/Outcome.h"
#include "data/TypeKDT.h"

namespace kdt {

inline constexpr const char* kErrorFileName = "Error.txt";

// The findings under the plan's project path and comment, without the
// header lines that name the error file: for findings that are not saved.
std::vector<std::string> FindingLines(const TSignalPlan& plan, const std::vector<std::string>& findings);

// The lines of the file (UTF-8): the header naming the file, the plan's
// project path and comment, then the findings.
std::vector<std::string> ErrorFileLines(const TSignalPlan& plan, const std::filesystem::path& errorFile,
                                        const std::vector<std::string>& findings);

// The lines as the file holds them: Windows-1251, CR LF after each.
std::string ErrorFileText(const std::vector<std::string>& lines);

// Replaces the error file, crash-safe; a read-only one is refused.
Outcome WriteErrorFile(const std::filesystem::path& errorFile, const std::vector<std::string>& lines);

}  // namespace kdt
