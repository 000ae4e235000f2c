// Project files of any size and layout byte: checked, upgraded in both
// handlings, read through the file functions, opened, analysed and compiled.
#include <cstddef>
#include <cstdint>

#include "FuzzMain.h"
#include "PlanHarnesses.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static kdt::fuzz::ProjectFileHarness harness(kdt::fuzz::ScratchFolder());
    return kdt::fuzz::Verdict(harness.Run({data, size}));
}
