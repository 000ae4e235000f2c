// Whether a controller's ROM image is what a plan says: the plan compiled
// for a ROM type, compared with the image byte for byte over the layout,
// and a mismatch explained in the plan's words where the image can be read.
// It sits above rom and report, since it needs the builder, the reader and
// the plan comparison.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/Outcome.h"
#include "data/TypeKDT.h"
#include "report/PlanDiff.h"

namespace kdt {

struct ImageByte {
    std::size_t address;
    std::uint8_t planByte;   // what the plan compiles to
    std::uint8_t imageByte;  // what the image holds
    std::string holds;       // what the address holds in the layout
};

// A failure (error set) is input that cannot be compared: a ROM type without
// a layout, a plan the builder refuses, an image shorter than its layout.
struct [[nodiscard]] ImageVerification : Outcome {
    std::size_t comparedBytes = 0;      // the addresses the layout's records write
    std::vector<ImageByte> mismatches;  // in address order
    // On a mismatch: whether both the plan's image and the given one read
    // back as plans; if not, why not.
    bool decoded = false;
    std::string notDecoded;
    // The plan as its own image reads back against the given image read
    // back: the values the two images hold differently. Both go through the
    // same reading, so what the reading loses (odd half-seconds, the channel
    // colours) is lost on both sides and never shows as a difference.
    std::vector<PlanDifference> differences;
    // The mismatched bytes that these differences do not account for (all of
    // them when the image could not be read back): derived tables, slots the
    // plan does not use, filler.
    std::vector<ImageByte> unexplained;

    bool identical() const { return ok() && mismatches.empty(); }
};

// Compares the plan, compiled with RomVersion = romVersion, with the flat
// image (a BIN file's bytes or a HEX file converted). Bytes beyond the
// layout's end and addresses no record writes (the end of the coordinator
// room) are not compared: a programmer reads back the whole chip.
ImageVerification VerifyRomImage(const TSignalPlan& plan, std::uint8_t romVersion,
                                 std::span<const std::uint8_t> image);

}  // namespace kdt
