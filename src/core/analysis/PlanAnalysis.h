// The numbered consistency checks of a plan ("Анализ СОД"): one text line per
// finding, run before a compile or on request. The plan is only read.
#pragma once

#include <string>
#include <vector>

#include "data/TypeKDT.h"

namespace kdt {

inline constexpr int kLastCheck = 19;

struct AnalysisResult {
    bool clean = true;                  // no finding
    std::vector<std::string> findings;  // UTF-8; a line may hold CR LF and then spans two file lines
};

// Runs checks firstCheck .. 19 in ascending order.
AnalysisResult AnalizSOD(const TSignalPlan& plan, int firstCheck = 0);

// The signed result of the inter-tact check of one phase change: negative
// when the inter-tact is too short by that many half-seconds, positive when
// switched-on and switched-off greens overlap by that many, 0 when fine.
// manualSet picks the manual-control durations instead of the program ones.
int InterTactCheck(const TSignalPlan& plan, unsigned newPhase, unsigned oldPhase, bool manualSet,
                   std::uint8_t interTact);

}  // namespace kdt
