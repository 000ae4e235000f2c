// Any text as an Intel HEX file: split, converted, and the image read as each
// readable ROM type.
#include <cstddef>
#include <cstdint>

#include "FuzzMain.h"
#include "PlanHarnesses.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static kdt::fuzz::HexTextHarness harness;
    return kdt::fuzz::Verdict(harness.Run({data, size}));
}
