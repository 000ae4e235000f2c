// Values derived from the plan that more than one part of the program needs.
#pragma once

#include <cstdint>

#include "data/TypeKDT.h"

namespace kdt {

// Phase-indexed values by 0-based phase number. A number outside the 16
// phases (only in a damaged plan) reads as 0 rather than beyond the array.
std::uint16_t PhaseInterTactOf(const TSignalPlan& plan, unsigned phaseIndex);
std::uint16_t PhaseMinTimeOf(const TSignalPlan& plan, unsigned phaseIndex);
std::uint16_t PhaseDirectionsOf(const TSignalPlan& plan, unsigned phaseIndex);

// The time, in half-seconds, that tact t (0-based) of program p (0-based)
// leaves for button b's (1..4) pedestrian phase: the tact and its
// inter-tact, less the inter-tact into the pedestrian phase, the phase
// itself and the inter-tact back. Signed 16-bit, as the controller computes it.
std::int16_t PedestrianPeriod(const TSignalPlan& plan, int programIndex, int tactIndex, int button);

}  // namespace kdt
