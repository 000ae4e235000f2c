// The daily schedule as the controller reads it at a time of day.
#pragma once

#include "data/TypeKDT.h"

namespace kdt {

inline constexpr int kNoScheduleRow = 255;

// The command of the schedule row that applies on the weekday (0 Sunday) at
// hour:minute: scanning rows 16 down to 1 and skipping unused rows (hour 24),
// the first whose time has come. Rows need not be in time order: a later row
// wins over an earlier one whose time is later. kNoScheduleRow when none applies.
int ScheduleCommandAt(const TSignalPlan& plan, int weekday, int hour, int minute);

}  // namespace kdt
