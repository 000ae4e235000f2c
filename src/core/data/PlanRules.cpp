#include "data/PlanRules.h"

namespace kdt {

std::uint16_t PhaseInterTactOf(const TSignalPlan& plan, unsigned phaseIndex) {
    return phaseIndex < kMaxPhases ? plan.PhaseInterTact[phaseIndex] : 0;
}

std::uint16_t PhaseMinTimeOf(const TSignalPlan& plan, unsigned phaseIndex) {
    return phaseIndex < kMaxPhases ? plan.PhaseMinTime[phaseIndex] : 0;
}

std::uint16_t PhaseDirectionsOf(const TSignalPlan& plan, unsigned phaseIndex) {
    return phaseIndex < kMaxPhases ? plan.PhaseDirections[phaseIndex] : 0;
}

std::int16_t PedestrianPeriod(const TSignalPlan& plan, int programIndex, int tactIndex, int button) {
    const TSignalProgram& program = plan.Program[programIndex];
    const TTvpButton& tvp = plan.Tvp[button];
    const unsigned tactPhase = program.TactPhase[tactIndex];
    const unsigned pedestrianPhase = tvp.Phase & 0xFFu;
    return static_cast<std::int16_t>(program.TactDuration[tactIndex] + program.TactInterDuration[tactIndex] -
                                     PhaseInterTactOf(plan, tactPhase) - tvp.Duration -
                                     PhaseInterTactOf(plan, pedestrianPhase));
}

}  // namespace kdt
