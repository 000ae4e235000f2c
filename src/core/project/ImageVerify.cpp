#include "project/ImageVerify.h"

#include <algorithm>
#include <optional>

#include "data/PlanProcedures.h"
#include "rom/KonvertHexBin.h"
#include "rom/RomAddressNames.h"
#include "rom/RomImageBuilder.h"
#include "rom/RomImageReader.h"
#include "rom/RomLayout.h"

namespace kdt {
namespace {

struct CompiledImage {
    std::vector<std::uint8_t> bytes;
    std::vector<bool> written;  // by address: some data record writes it
    std::string error;
};

int HexValue(const std::string& line, std::size_t at, std::size_t digits) {
    return std::stoi(line.substr(at, digits), nullptr, 16);
}

CompiledImage Compile(const TSignalPlan& plan) {
    CompiledImage compiled;
    std::vector<std::string> lines;
    if (!BuildRomImage(plan, lines, &compiled.error)) return compiled;
    // The builder's own lines are well formed, so they are read directly.
    for (const std::string& line : lines) {
        const int length = HexValue(line, 1, 2);
        const int address = HexValue(line, 3, 4);
        if (HexValue(line, 7, 2) != kHexDataRecord) continue;
        if (compiled.written.size() < static_cast<std::size_t>(address + length))
            compiled.written.resize(static_cast<std::size_t>(address + length), false);
        std::fill_n(compiled.written.begin() + address, length, true);
    }
    HexConversion image = HexToBin(lines);
    if (!image.ok()) {
        compiled.error = image.error;
        return compiled;
    }
    compiled.bytes = std::move(image.image);
    compiled.written.resize(compiled.bytes.size(), false);
    return compiled;
}

// The image read back as a plan, in the plan's units; nothing else of the
// open command (no normalisation), so that every slot keeps what it holds.
std::optional<TSignalPlan> ReadBack(std::span<const std::uint8_t> image, std::uint8_t romVersion) {
    RomImageReader reader;
    TSignalPlan plan{};
    if (!reader.DecodeRomImage(image, romVersion, plan)) return std::nullopt;
    if (IsRom42x(plan)) DoubleTimeValues(plan);
    return plan;
}

}  // namespace

ImageVerification VerifyRomImage(const TSignalPlan& source, std::uint8_t romVersion,
                                 std::span<const std::uint8_t> image) {
    ImageVerification result;
    const RomLayout* layout = RomLayoutFor(romVersion);
    if (layout == nullptr) {
        result.error = "unknown ROM type " + std::to_string(romVersion);
        return result;
    }
    TSignalPlan plan = source;
    plan.RomVersion = romVersion;
    const CompiledImage compiled = Compile(plan);
    if (!compiled.error.empty()) {
        result.error = "the plan cannot be compiled: " + compiled.error;
        return result;
    }
    if (image.size() < compiled.bytes.size()) {
        result.error = "the image holds " + std::to_string(image.size()) + " bytes, the " +
                       std::string(kRomTypeNames[romVersion]) + " layout " +
                       std::to_string(compiled.bytes.size());
        return result;
    }

    for (std::size_t a = 0; a < compiled.bytes.size(); ++a) {
        if (!compiled.written[a]) continue;
        ++result.comparedBytes;
        if (compiled.bytes[a] != image[a])
            result.mismatches.push_back({a, compiled.bytes[a], image[a], RomAddressName(romVersion, a)});
    }
    if (result.mismatches.empty()) return result;

    result.unexplained = result.mismatches;
    if (romVersion < kRom413) {
        result.notDecoded = "images of " + std::string(kRomTypeNames[romVersion]) + " cannot be read back";
        return result;
    }
    const std::optional<TSignalPlan> ours = ReadBack(compiled.bytes, romVersion);
    const std::optional<TSignalPlan> theirs = ReadBack(image, romVersion);
    if (!theirs) {
        result.notDecoded =
            "the image does not read back as a plan for " + std::string(kRomTypeNames[romVersion]);
        return result;
    }
    if (!ours) {
        result.notDecoded =
            "the plan's own image does not read back as a plan for " + std::string(kRomTypeNames[romVersion]);
        return result;
    }
    result.decoded = true;
    result.differences = ComparePlans(*ours, *theirs);
    std::erase_if(result.differences, [](const PlanDifference& d) { return !d.inImage; });

    // A byte is explained when the plan, given the image's values of the
    // differing fields, compiles to it.
    TSignalPlan adjusted = plan;
    for (const PlanDifference& difference : result.differences) CopyFieldValue(difference, *theirs, adjusted);
    const CompiledImage recompiled = Compile(adjusted);
    std::erase_if(result.unexplained, [&](const ImageByte& byte) {
        return recompiled.error.empty() && byte.address < recompiled.bytes.size() &&
               recompiled.bytes[byte.address] == byte.imageByte;
    });
    return result;
}

}  // namespace kdt
