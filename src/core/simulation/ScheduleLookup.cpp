#include "simulation/ScheduleLookup.h"

namespace kdt {

int ScheduleCommandAt(const TSignalPlan& plan, int weekday, int hour, int minute) {
    for (int r = kScheduleRows - 1; r >= 0; --r) {
        const TScheduleEntry& row = plan.Schedule[weekday][r];
        if (row.Hour == kUnusedScheduleHour) continue;
        if ((row.Hour == hour && row.Minute <= minute) || row.Hour < hour) return row.Command;
    }
    return kNoScheduleRow;
}

}  // namespace kdt
