// Reading a controller image (4.1.3, 4.2.0, 4.2.1) back into a signal plan.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "common/FileIO.h"
#include "common/Outcome.h"
#include "data/TypeKDT.h"

namespace kdt {

inline constexpr std::string_view kNoPlanInImageMessage = "Файл не содержит СОД, или поврежден!";

// Decodes images into a scratch record that lives as long as the reader:
// fields an image does not carry keep what earlier decodes left there (all
// zeros at first), and a successful decode copies the whole record over the
// plan.
class RomImageReader {
public:
    // Decodes the flat image with the layout of romVersion (3, 4 or 5). On
    // failure (another ROM type, a short image, a failed check) the plan is
    // unchanged.
    bool DecodeRomImage(std::span<const std::uint8_t> image, std::uint8_t romVersion, TSignalPlan& plan);

    const TSignalPlan& scratch() const { return scratch_; }

private:
    TSignalPlan scratch_{};
};

// The error is the reason for Unreadable, the system's message for NoPlan.
struct [[nodiscard]] RomImageFileRead : Outcome {
    enum class Status { Ok, Unreadable, NoPlan };
    Status status = Status::Ok;
};

// The flat image of a .bin file as it is, or of a .hex file read strictly
// with ReadHexFileText (any other name is read as a .bin file).
FileReadResult LoadRomImageFile(const std::filesystem::path& path);

// Loads the image with LoadRomImageFile and decodes it.
RomImageFileRead ReadRomImageFile(const std::filesystem::path& path, std::uint8_t romVersion,
                                  RomImageReader& reader, TSignalPlan& plan);

}  // namespace kdt
