// kdt-print: the report printed into a PDF file from the command line, page
// for page as the editor prints it.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kdt::print {

// Runs with the arguments after the program name; returns the exit status.
// A QGuiApplication must exist.
int RunKdtPrint(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace kdt::print
