// The file argument of a start: taken from the command line, tested by its
// extension, and made usable when the main window is shown.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kdt {

// The project extensions a start or a hand-off accepts.
inline constexpr std::string_view kProjectExtensionList = ".kdt;.kdt2;";

// True when the extension of the path's file name (from its last dot, dot
// included; empty without a dot) followed by ";" occurs in the list. The
// extension is compared in lower case.
bool PassesExtensionTest(std::string_view path, std::string_view extensionList);

// A command line as the platform hands it over when it has an argument vector:
// the quoted program path, then the arguments joined by single blanks.
std::string CommandLineFromArguments(std::string_view programPath, const std::vector<std::string>& arguments);

// The file argument of a command line: everything after the program's quoted
// path, as one path, without its surrounding quotes. lowerCase applies where
// paths ignore case.
std::string ExtractFileArgument(std::string_view commandLine, bool lowerCase);

// The argument as the main window uses it on show: one shorter than five
// characters is dropped, the rest is trimmed of blanks and control characters.
std::string UsableFileArgument(std::string_view argument);

}  // namespace kdt
