// One function per kdt command; each returns the exit status.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "data/TypeKDT.h"

namespace kdt::cli {

int RunNew(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);
int RunInfo(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);
int RunCompile(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);
int RunDecode(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);
int RunAnalyse(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);
int RunSimulate(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);
int RunReport(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);
int RunImport(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);

// Analyses the plan: 0 when clean; otherwise prints the error file's lines,
// writes them to errorFile when one is given, and returns 1 (2 when that
// file cannot be written).
int ReportAnalysis(const TSignalPlan& plan, const std::optional<std::string>& errorFile, std::ostream& out,
                   std::ostream& err, const std::string& command);

}  // namespace kdt::cli
