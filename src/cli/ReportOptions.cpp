#include "ReportOptions.h"

#include <algorithm>
#include <cctype>
#include <ctime>

#include "CommandLine.h"

namespace kdt::cli {
namespace {

bool AllDigits(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

int DaysInMonth(int month, int year) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

ReportDate ParseReportDate(const std::string& text) {
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

ReportDate TodaysDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return {local.tm_mday, local.tm_mon + 1, local.tm_year + 1900};
}

}  // namespace kdt::cli
