// The text report of a signal plan: a header, the sections the user chose in
// their fixed order, and a note, laid out for a fixed-pitch font.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "common/Outcome.h"
#include "data/TypeKDT.h"

namespace kdt {

// The fourteen section switches of the report dialog, switch n at [n - 1]:
// 1 parameters, 2 colours, 3 channel settings, 4 directions, 5 phases,
// 6 green streets, 7 programs, 8 pedestrian call, 9 daily schedule,
// 10 power-on, 11 coordinator, 12 speed indicator, 13 transport detectors,
// 14 additional parameters.
inline constexpr int kReportSectionCount = 14;
using ReportSections = std::array<bool, kReportSectionCount>;

// Switches 1..9, those the report dialog ticks when it opens.
ReportSections DefaultReportSections();
ReportSections AllReportSections();

// The day the report is printed; passed in so that the text is reproducible.
struct ReportDate {
    int day = 1;
    int month = 1;
    int year = 2000;
};

// The lines of the report (UTF-8, no line ends).
//
// Numbers are printed right-aligned in three characters; a number that needs
// more prints in full and pushes the rest of its line to the right. A code
// that has no name (a colour above 3, a ROM type above 5, a schedule command
// from 3 to 127) prints as "?" followed by the code. Counts above the record's
// arrays are printed as stored but list at most the array's elements.
std::vector<std::string> ComposeReport(const TSignalPlan& plan, const ReportSections& sections,
                                       const ReportDate& today);

// The report as a text file holds it: Windows-1251, CR LF after every line,
// the last one included, so that a trailing empty line survives a reload.
std::string ReportFileText(const std::vector<std::string>& lines);

// Replaces the file with the report, crash-safe; a read-only one is refused.
Outcome WriteReportFile(const std::filesystem::path& path, const std::vector<std::string>& lines);

}  // namespace kdt
