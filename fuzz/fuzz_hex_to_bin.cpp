// Any text as an Intel HEX file read from disk: read strictly, the image
// checked against the builder's conversion and decoded as each readable ROM
// type.
#include <cstddef>
#include <cstdint>

#include "FuzzMain.h"
#include "PlanHarnesses.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static kdt::fuzz::HexTextHarness harness;
    return kdt::fuzz::Verdict(harness.Run({data, size}));
}
