#include "data/PlanProcedures.h"

#include <algorithm>
#include <cstring>

namespace kdt {
namespace {

constexpr std::uint16_t kNewTactDuration = 40;
constexpr std::uint16_t kNewTactInterDuration = 12;
constexpr std::uint16_t kNewCycleLength = 26;
constexpr std::uint16_t kNewHeadDuration = 2;
constexpr std::uint16_t kNewTailDuration = 6;
constexpr std::uint16_t kNewGreenBlinkCount = 3;
constexpr std::uint16_t kNewPhaseInterTact = 12;
constexpr std::uint16_t kNewTvpDuration = 40;
constexpr std::uint8_t kNewCoordDelay = 1;
constexpr int kControllersWithNewDelay = 16;
constexpr std::uint8_t kNetworkMaster = 3;

void ResetDirectionDurations(TDirectionSettings& direction) {
    direction.HeadDuration = kNewHeadDuration;
    direction.TailDuration = kNewTailDuration;
    direction.GreenBlinkCount = kNewGreenBlinkCount;
}

void ResetTact(TSignalPlan& plan, int programIndex, int tactIndex) {
    TSignalProgram& program = plan.Program[programIndex];
    program.TactPhase[tactIndex] = 0;
    program.TactDuration[tactIndex] = kNewTactDuration;
    program.TactInterDuration[tactIndex] = kNewTactInterDuration;
    plan.CoordDelay[programIndex][tactIndex] = kNewCoordDelay;
}

void ResetTvpButton(TSignalPlan& plan, int button) {
    plan.Tvp[button].Phase = 0;
    plan.Tvp[button].Duration = kNewTvpDuration;
    plan.Tvp[button].WaitMask = 0;
}

void SetFirstScheduleRowsToMidnight(TSignalPlan& plan) {
    for (auto& day : plan.Schedule) {
        day[0].Hour = 0;
        day[0].Minute = 0;
    }
}

std::uint16_t Doubled(std::uint16_t value) {
    return static_cast<std::uint16_t>(value * 2u);
}

}  // namespace

void ResetPlan(TSignalPlan& plan, std::uint8_t defaultRomVersion, std::uint8_t defaultSpeed) {
    std::memset(&plan, 0, sizeof plan);

    for (int p = 0; p < kMaxPrograms; ++p) {
        TSignalProgram& program = plan.Program[p];
        program.TactCount = 1;
        program.CycleLength = kNewCycleLength;
        for (int t = 0; t < kMaxTacts; ++t) {
            program.TactDuration[t] = kNewTactDuration;
            program.TactInterDuration[t] = kNewTactInterDuration;
        }
        for (int k = 0; k < kControllersWithNewDelay; ++k) plan.CoordDelay[p][k] = kNewCoordDelay;
    }
    for (int d = 0; d < kMaxDirections; ++d) {
        ResetDirectionDurations(plan.Direction[d]);
        ResetDirectionDurations(plan.DirectionManual[d]);
    }
    for (int p = 0; p < kMaxPhases; ++p) {
        plan.PhaseInterTact[p] = kNewPhaseInterTact;
        plan.GreenStreet[p] = static_cast<std::uint8_t>(p);
        plan.PhaseMinTime[p] = 3;
        plan.PhaseMaxTime[p] = 60;
    }
    for (int b = 1; b <= kMaxTvpButtons; ++b) plan.Tvp[b].Duration = kNewTvpDuration;
    for (auto& day : plan.Schedule)
        for (int r = 1; r < kScheduleRows; ++r) day[r].Hour = kUnusedScheduleHour;
    for (int r = 0; r < kSpeedRows; ++r) {
        TSpeedEntry& row = plan.SpeedSchedule[r];
        row.Hour = r == 0 ? 0 : kUnusedScheduleHour;
        std::fill(std::begin(row.Speed), std::end(row.Speed), defaultSpeed);
    }

    plan.RomVersion = defaultRomVersion;
    plan.PowerOnState = 3;
    plan.CurrentChannelMask = 1;
    plan.CoordControllerCount = 1;
    plan.PhaseCount = 1;
    plan.DirectionCount = 1;
    plan.ProgramCount = 1;
    plan.TvpButtonCount = 0;
    plan.MinPhaseDuration = 6;
    plan.PhaseEndBlinkCount = 3;
    plan.ConflictExitPeriod = 10;
    plan.ConflictRepeatCount = 5;
}

void SetEditorNetworkAddress(TSignalPlan& plan, NetworkAddressEditor& editor, std::uint16_t value) {
    editor.value = std::min(value, editor.maximum);
    plan.NetworkAddress = editor.value;
    plan.NetworkAddressByte = static_cast<std::uint8_t>(editor.value & 0xFF);
}

void ApplyNetworkTypeToAddressEditor(TSignalPlan& plan, NetworkAddressEditor& editor) {
    switch (plan.NetworkType) {
        case 0:  // "Нет сети"
            editor.enabled = false;
            SetEditorNetworkAddress(plan, editor, 0);
            break;
        case 1:  // "ТСКУ"
            editor.enabled = true;
            editor.maximum = 20;
            SetEditorNetworkAddress(plan, editor, 1);
            break;
        case 2:  // "АСУДД"
            editor.enabled = true;
            editor.maximum = 2;
            SetEditorNetworkAddress(plan, editor, 1);
            break;
        case 3:  // "ВЕДУЩИЙ"
            editor.enabled = false;
            SetEditorNetworkAddress(plan, editor, 1);
            break;
        case 4:  // "ВЕДОМЫЙ"
            editor.enabled = true;
            editor.maximum = 65535;
            SetEditorNetworkAddress(plan, editor, plan.NetworkAddress);
            break;
        case 5:  // "САУДТ"
            editor.enabled = true;
            editor.maximum = 65535;
            SetEditorNetworkAddress(plan, editor, 1);
            break;
        default:  // no such network type: the editor keeps what it had
            break;
    }
}

void RefreshEditorRecord(TSignalPlan& plan, NetworkAddressEditor& editor) {
    plan.CurrentChannelMask = 1;
    const std::uint16_t address = plan.NetworkAddress;
    ApplyNetworkTypeToAddressEditor(plan, editor);
    SetEditorNetworkAddress(plan, editor, address);
    SetFirstScheduleRowsToMidnight(plan);
}

void NormalisePlan(TSignalPlan& plan, std::uint16_t shownNetworkAddress) {
    const int programCount = std::clamp<int>(plan.ProgramCount, 1, kMaxPrograms);
    const TSignalProgram& last = plan.Program[programCount - 1];
    for (int p = programCount; p < kMaxPrograms; ++p) {
        plan.Program[p] = last;
        // Kept as the editor has always done it: the copy gets TactCount 1 and
        // CoordDelay is reset by tact index, not by controller.
        const int tactCount = plan.Program[p].TactCount;
        if (tactCount <= 15) {
            for (int t = tactCount; t < kMaxTacts; ++t) {
                plan.Program[p].TactCount = 1;
                ResetTact(plan, p, t);
            }
        }
    }

    for (int d = plan.DirectionCount; d < kMaxDirections; ++d) {
        TDirectionSettings& direction = plan.Direction[d];
        direction.HeadMask = direction.GreenMask = direction.RedMask = 0;
        direction.TailMask = direction.BlinkMask = 0;
        ResetDirectionDurations(direction);
        ResetDirectionDurations(plan.DirectionManual[d]);
    }

    for (int p = plan.PhaseCount; p < kMaxPhases; ++p) {
        plan.PhaseInterTact[p] = kNewPhaseInterTact;
        plan.GreenStreet[p] = static_cast<std::uint8_t>(p);
    }

    for (int b = plan.TvpButtonCount + 1; b <= kMaxTvpButtons; ++b) {
        plan.TvpInsertPhase[b - 1] = kNoInsertPhase;
        ResetTvpButton(plan, b);
    }

    SetFirstScheduleRowsToMidnight(plan);
    if (plan.NetworkType != kNetworkMaster) plan.CoordControllerCount = 1;
    plan.NetworkAddress = shownNetworkAddress;
    plan.CurrentChannelMask = 1;
}

void DoubleTimeValues(TSignalPlan& plan) {
    plan.MinPhaseDuration = Doubled(plan.MinPhaseDuration);
    plan.ConflictExitPeriod = Doubled(plan.ConflictExitPeriod);
    for (int b = 1; b <= kMaxTvpButtons; ++b) plan.Tvp[b].Duration = Doubled(plan.Tvp[b].Duration);
    for (TDirectionSettings* table : {plan.Direction, plan.DirectionManual}) {
        for (int d = 0; d < kMaxDirections; ++d) {
            TDirectionSettings& direction = table[d];
            direction.HeadDuration = Doubled(direction.HeadDuration);
            direction.TailDuration = Doubled(direction.TailDuration);
            direction.ExtraGreenAfterGreen = Doubled(direction.ExtraGreenAfterGreen);
            direction.ExtraGreenAfterRed = Doubled(direction.ExtraGreenAfterRed);
        }
    }
    for (int p = 0; p < kMaxPhases; ++p) plan.PhaseInterTact[p] = Doubled(plan.PhaseInterTact[p]);
    for (TSignalProgram& program : plan.Program) {
        program.CycleLength = Doubled(program.CycleLength);
        for (int t = 0; t < kMaxTacts; ++t) {
            program.TactDuration[t] = Doubled(program.TactDuration[t]);
            program.TactInterDuration[t] = Doubled(program.TactInterDuration[t]);
        }
    }
}

}  // namespace kdt
