// Any bytes as a flat ROM image, read as 4.1.3, 4.2.0 and 4.2.1 by one reader
// kept across inputs, then opened, analysed and compiled again.
#include <cstddef>
#include <cstdint>

#include "FuzzMain.h"
#include "PlanHarnesses.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static kdt::fuzz::RomImageHarness harness;
    return kdt::fuzz::Verdict(harness.Run({data, size}));
}
