// The kdt command line: every command reads and writes plans the way the
// editor does, and reports failure by exit status and one line on stderr.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kdt::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitProblem = 1;  // the command ran and found a problem
inline constexpr int kExitUsage = 2;    // bad usage or unreadable input

// Runs one command; arguments exclude the program name.
int RunKdt(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace kdt::cli
