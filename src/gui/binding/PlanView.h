// What the pages read off the plan besides its fields: counts capped to the
// arrays (a count from a file is never an index), the limits the ROM type
// sets on fields, and the name lists of phases and programs.
#pragma once

#include <algorithm>

#include <QStringList>

#include "data/TypeKDT.h"

namespace kdt::gui {

inline int Capped(int count, int arraySize) {
    return std::clamp(count, 0, arraySize);
}
inline int PhaseRows(const TSignalPlan& plan) {
    return Capped(plan.PhaseCount, kMaxPhases);
}
inline int DirectionRows(const TSignalPlan& plan) {
    return Capped(plan.DirectionCount, kMaxDirections);
}
inline int ProgramRows(const TSignalPlan& plan) {
    return Capped(plan.ProgramCount, kMaxPrograms);
}
inline int TvpButtonRows(const TSignalPlan& plan) {
    return Capped(plan.TvpButtonCount, kMaxTvpButtons);
}
inline int DetectorRows(const TSignalPlan& plan) {
    return Capped(plan.DetectorCount, kMaxDetectors);
}
inline int CoordControllerRows(const TSignalPlan& plan) {
    return Capped(plan.CoordControllerCount, kMaxCoordControllers);
}
inline int TactRows(const TSignalProgram& program) {
    return Capped(program.TactCount, kMaxTacts);
}

// Limits in shown units (whole seconds, counts) that follow the ROM type.
inline bool IsRom41x(const TSignalPlan& plan) {
    return plan.RomVersion <= kRom413;
}
inline int MinPhaseDurationLimit(const TSignalPlan& plan) {
    return IsRom41x(plan) ? 127 : 255;
}
inline int ConflictExitPeriodLimit(const TSignalPlan& plan) {
    return IsRom41x(plan) ? 127 : 255;
}
inline int InterTactLimit(const TSignalPlan& plan) {
    return IsRom41x(plan) ? 30 : 60;
}
inline int TactDurationLimit(const TSignalPlan& plan) {
    return IsRom41x(plan) ? 97 : 195;
}  // D
inline int TactInterDurationLimit(const TSignalPlan& plan) {
    return IsRom41x(plan) ? 30 : 60;
}  // I
inline int DirectionDurationLimit(const TSignalPlan& plan) {
    return IsRom41x(plan) ? 127 : 255;
}  // R
inline constexpr int kGreenBlinkCountLimit = 127;
inline int PedestrianDurationLimit(const TSignalPlan& plan) {
    return TactDurationLimit(plan);
}

// The coordinator block holds 3 + programs × controllers bytes in its 99.
inline int CoordControllerLimit(const TSignalPlan& plan) {
    return plan.ProgramCount == 0 ? kMaxCoordControllers
                                  : std::min(kMaxCoordControllers, 96 / plan.ProgramCount);
}

// The phase times are 1..120 s; the minimum phase duration raises their floor.
inline constexpr int kPhaseTimeLimit = 120;
inline int PhaseTimeFloor(const TSignalPlan& plan) {
    return std::clamp(plan.MinPhaseDuration / 2, 1, kPhaseTimeLimit);
}

// "Фаза 1" .. "Фаза n" and "АПП 1" .. "АПП n", for the pages' choice boxes.
QStringList PhaseNameList(const TSignalPlan& plan);
QStringList ProgramNameList(const TSignalPlan& plan);

}  // namespace kdt::gui
