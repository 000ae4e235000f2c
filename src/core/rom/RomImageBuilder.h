// The controller's user-ROM image: the plan laid out for its ROM type as an
// ordered list of Intel HEX records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "data/TypeKDT.h"

namespace kdt {

// Room between the coordinator block's first address and the power-on record.
inline constexpr std::size_t kCoordinatorRoom = 99;

// Appends the image's record lines, in the layout's order, and the
// end-of-file record. Returns false (building nothing, the reason in `why`)
// when RomVersion is not a ROM type or the coordinator block would run past
// the 16-bit address space.
bool BuildRomImage(const TSignalPlan& plan, std::vector<std::string>& lines, std::string* why = nullptr);

// Bytes of the coordinator block: three head bytes and the delays of every
// program's controllers.
std::size_t CoordinatorBlockSize(const TSignalPlan& plan);

// Empty when the coordinator block fits its room; otherwise a warning that it
// overlaps the records after it.
std::string CoordinatorOverrunWarning(const TSignalPlan& plan);

// Size of the flat image of a ROM type: the byte after its highest address.
std::size_t RomImageSize(std::uint8_t romVersion);

}  // namespace kdt
