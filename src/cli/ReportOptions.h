// The printing date of a report, as `kdt report` and `kdt-print` take it.
#pragma once

#include <string>

#include "report/ReportText.h"

namespace kdt::cli {

// D.MM.YYYY, the form the report prints (a day of two digits is accepted
// too); anything else is a UsageError.
ReportDate ParseReportDate(const std::string& text);
// Today by the local clock.
ReportDate TodaysDate();

}  // namespace kdt::cli
