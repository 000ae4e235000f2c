#include "Cli.h"

#include <cerrno>
#include <functional>
#include <map>
#include <ostream>
#include <system_error>

#include "CommandLine.h"
#include "Commands.h"

namespace kdt::cli {
namespace {

constexpr const char* kUsage =
    "usage:\n"
    "  kdt new --out PLAN.kdt [--rom TYPE] [--speed KMH]\n"
    "  kdt info PLAN [--rom TYPE]\n"
    "  kdt compile PLAN [--rom TYPE] [--format hex|bin] [--out FILE] [--analyse]\n"
    "  kdt decode IMAGE.hex|IMAGE.bin --rom 4.1.3|4.2.0|4.2.1 --out PLAN.kdt\n"
    "  kdt analyse PLAN [--error-file FILE]\n"
    "  kdt report PLAN [--sections all|N,N,...] [--date D.MM.YYYY] [--out FILE]\n"
    "  kdt simulate PLAN --day 0..6 --time HH:MM:SS --ticks N [--program N] [--trace FILE.csv]\n"
    "               [--press TICK:BUTTON]... [--fault TICK:CHANNEL]...\n"
    "  kdt import TABLE.dbf --out PLAN.kdt [--base PLAN.kdt] [--rom TYPE] [--speed KMH]\n"
    "  kdt diff A B [--rom TYPE] [--controller-only] [--format text|json]\n"
    "  kdt verify PLAN IMAGE [--rom TYPE]\n"
    "  kdt export-sumo PLAN --out FILE.add.xml [--tls ID] [--links MAP] [--day 0..6]\n"
    "PLAN is a .kdt/.kdt2 project, a .dbf table or a .hex/.bin image (an image needs --rom).\n"
    "TYPE is an index 0..5 or a ROM name 4.1.0, 4.1.1, 4.1.2, 4.1.3, 4.2.0, 4.2.1.\n";

using Command = std::function<int(const std::vector<std::string>&, std::ostream&, std::ostream&)>;

const std::map<std::string, Command>& CommandTable() {
    static const std::map<std::string, Command> table = {
        {"new", RunNew},
        {"info", RunInfo},
        {"compile", RunCompile},
        {"decode", RunDecode},
        {"analyse", RunAnalyse},
        {"simulate", RunSimulate},
        {"report", RunReport},
        {"import", RunImport},
        {"diff", RunDiff},
        {"verify", RunVerify},
        {"export-sumo", RunExportSumo},
    };
    return table;
}

int RunCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    if (arguments.empty()) {
        err << kUsage;
        return kExitUsage;
    }
    if (arguments.front() == "--help" || arguments.front() == "help") {
        out << kUsage;
        return kExitOk;
    }
    const auto command = CommandTable().find(arguments.front());
    if (command == CommandTable().end()) {
        err << "kdt: unknown command \"" << arguments.front() << "\" (kdt --help lists the commands)\n";
        return kExitUsage;
    }
    const std::vector<std::string> words(arguments.begin() + 1, arguments.end());
    try {
        return command->second(words, out, err);
    } catch (const UsageError& error) {
        err << "kdt " << arguments.front() << ": " << error.what() << "\n";
        return kExitUsage;
    }
}

}  // namespace

int RunKdt(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    const int status = RunCommand(arguments, out, err);
    // Text that never arrived is a failure, whatever the command found: a
    // report sent to a full disk must not look written.
    const std::string name = arguments.empty() ? std::string("kdt") : "kdt " + arguments.front();
    if (out) {
        errno = 0;
        out.flush();
    }
    if (!out) {
        const int reason = errno;
        err << name << ": the standard output could not be written completely"
            << (reason != 0 ? ": " + std::generic_category().message(reason) : std::string()) << "\n";
        err.flush();
        return kExitUsage;
    }
    err.flush();
    return err ? status : kExitUsage;
}

}  // namespace kdt::cli
