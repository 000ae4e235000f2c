// Any table and memo bytes: every cell read through the dBase reader, then
// the table imported and opened as the open command does.
#include <cstddef>
#include <cstdint>

#include "DbaseHarness.h"
#include "FuzzMain.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static kdt::fuzz::DbaseHarness harness(kdt::fuzz::ScratchFolder());
    return kdt::fuzz::Verdict(harness.Run({data, size}));
}
