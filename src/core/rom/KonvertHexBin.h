// Intel HEX records with 16-bit addresses, the flat binary image made from
// them, and the two file forms the EEPROM programmer takes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data/TypeKDT.h"

namespace kdt {

inline constexpr std::uint8_t kHexDataRecord = 0;
inline constexpr std::uint8_t kHexEndOfFileRecord = 1;

// One record line: ":" length, address (high byte first), type, data and the
// two's complement checksum, upper-case hexadecimal, without a line end.
std::string FormatHexRecord(std::uint8_t length, std::uint8_t type, std::uint16_t address,
                            std::span<const std::uint8_t> data);

struct HexConversion {
    std::vector<std::uint8_t> image;
    std::string error;  // empty on success
    bool ok() const { return error.empty(); }
};

// Applies the data records in list order to a 0xFF-filled image and cuts it
// just after the last byte of the last data record. A record of length 0
// ends the list; lines without ":" and records of other types are skipped;
// checksums are not checked.
HexConversion HexToBin(std::span<const std::string> lines);

// The lines of a HEX text: split at line feeds, a carriage return before
// the line feed dropped.
std::vector<std::string> SplitHexLines(std::string_view text);

// The lines joined with CR LF after each, as the programmer expects them.
std::string HexFileText(std::span<const std::string> lines);

struct RomFileResult {
    std::string error;    // empty on success
    std::string warning;  // the image was written, but something about it needs attention
    bool ok() const { return error.empty(); }
};

// Build the plan's image and write it, crash-safe, as Intel HEX text or as
// the flat binary image. Nothing is written when the image cannot be built.
RomFileResult WriteHexFile(const TSignalPlan& plan, const std::filesystem::path& file);
RomFileResult WriteBinFile(const TSignalPlan& plan, const std::filesystem::path& file);

}  // namespace kdt
