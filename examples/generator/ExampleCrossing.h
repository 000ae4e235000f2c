// The bundled example: a four-arm crossing with protected left turns and a
// pedestrian phase on call.
#pragma once

#include "data/TypeKDT.h"

namespace kdt::example {

// Fills the plan with the example crossing, normalised as a save leaves it.
void BuildExampleCrossing(TSignalPlan& plan);

}  // namespace kdt::example
