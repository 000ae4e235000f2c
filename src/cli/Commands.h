// One function per kdt command; each returns the exit status.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kdt::cli {

int RunNew(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);
int RunInfo(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);
int RunCompile(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);
int RunDecode(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);

}  // namespace kdt::cli
