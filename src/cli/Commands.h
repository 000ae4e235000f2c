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
int RunDiff(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);
int RunVerify(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);
int RunExportSumo(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);

// Analyses the plan, moreFindings added to the checks' findings: 0 when
// there are none; otherwise prints them and returns 1. With an errorFile they
// are written there too, and the printed lines name it; when it cannot be
// written they are printed without that header and the status is 2.
int ReportAnalysis(const TSignalPlan& plan, const std::optional<std::string>& errorFile, std::ostream& out,
                   std::ostream& err, const std::string& command,
                   const std::vector<std::string>& moreFindings = {});

}  // namespace kdt::cli
