#include <algorithm>
#include <cctype>
#include <ctime>
#include <optional>
#include <ostream>

#include "Cli.h"
#include "CommandLine.h"
#include "Commands.h"
#include "PlanSession.h"
#include "common/FileIO.h"
#include "report/ReportText.h"

namespace kdt::cli {
namespace {

// "all" or a comma-separated list of switch numbers 1..14.
ReportSections ParseSections(const std::string& text) {
    if (text == "all") return AllReportSections();
    ReportSections sections{};
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string item =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        sections[ParseNumber(item, 1, kReportSectionCount, "a section number") - 1] = true;
        if (comma == std::string::npos) return sections;
        start = comma + 1;
    }
}

bool AllDigits(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

int DaysInMonth(int month, int year) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// D.MM.YYYY, the form the report prints (a day of two digits is accepted too).
ReportDate ParseDate(const std::string& text) {
    const auto bad = [&] {
        return UsageError("--date must be a date D.MM.YYYY such as 1.01.2027, not \"" + text + "\"");
    };
    const std::size_t first = text.find('.');
    const std::size_t second = first == std::string::npos ? std::string::npos : text.find('.', first + 1);
    if (second == std::string::npos) throw bad();
    const std::string day = text.substr(0, first);
    const std::string month = text.substr(first + 1, second - first - 1);
    const std::string year = text.substr(second + 1);
    if (!AllDigits(day) || day.size() > 2 || !AllDigits(month) || month.size() != 2 || !AllDigits(year) ||
        year.size() != 4)
        throw bad();
    const ReportDate date{std::stoi(day), std::stoi(month), std::stoi(year)};
    if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > DaysInMonth(date.month, date.year))
        throw bad();
    return date;
}

ReportDate Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return {local.tm_mday, local.tm_mon + 1, local.tm_year + 1900};
}

}  // namespace

int RunReport(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
    const CommandWords command(words, {"--sections", "--date", "--out", "--rom"});
    const std::string planPath = command.onlyPositional("PLAN");
    const auto rom =
        command.value("--rom") ? std::optional(ParseRomType(*command.value("--rom"))) : std::nullopt;
    const ReportSections sections =
        command.value("--sections") ? ParseSections(*command.value("--sections")) : DefaultReportSections();
    const ReportDate today = command.value("--date") ? ParseDate(*command.value("--date")) : Today();
    if (const auto output = command.value("--out"))
        CheckOutput(Utf8ToPath(*output), Utf8ToPath(*output), InputFilesOf(planPath));

    PlanSession session;
    if (const auto status = OpenPlanArgument(session, "report", planPath, rom, err)) return *status;
    const std::vector<std::string> lines = ComposeReport(session.plan, sections, today);

    if (const auto output = command.value("--out")) {
        if (const Outcome written = WriteReportFile(Utf8ToPath(*output), lines); !written.ok()) {
            err << "kdt report: " << written.error << "\n";
            return kExitUsage;
        }
        return kExitOk;
    }
    for (const std::string& line : lines) out << line << "\n";
    return kExitOk;
}

}  // namespace kdt::cli
