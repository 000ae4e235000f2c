// Intel HEX records with 16-bit addresses, the flat binary image made from
// them, and the two file forms the EEPROM programmer takes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/Outcome.h"
#include "data/TypeKDT.h"

namespace kdt {

inline constexpr std::uint8_t kHexDataRecord = 0;
inline constexpr std::uint8_t kHexEndOfFileRecord = 1;

// One record line: ":" length, address (high byte first), type, data and the
// two's complement checksum, upper-case hexadecimal, without a line end.
std::string FormatHexRecord(std::uint8_t length, std::uint8_t type, std::uint16_t address,
                            std::span<const std::uint8_t> data);

// On failure the image is empty.
struct [[nodiscard]] HexConversion : Outcome {
    std::vector<std::uint8_t> image;
};

// The builder's own records as the flat image: applied in list order to a
// 0xFF-filled image, cut just after the last byte of the last data record. A
// record of length 0 ends the list; lines without ":" and records of other
// types are skipped; checksums are not checked. The BIN file is made this
// way; files read from disk go through ReadHexFileText instead.
HexConversion HexToBin(std::span<const std::string> lines);

// The text of an Intel HEX file from disk as the flat image, read strictly,
// since a wrong byte here is a wrong signal on the street:
// - lines end in CR, LF or CR LF; blank lines and a leading UTF-8 BOM are
//   skipped, and blanks after a record are allowed;
// - any other line that is not a whole record, a record whose length does
//   not match its line, and a wrong checksum are errors naming the line;
// - data records may come in any address order; a later record overwrites an
//   earlier one; a data record of length 0 is simply empty; the image ends
//   after the highest address written, 0xFF wherever nothing was;
// - the end record (type 01) ends the file: whatever follows is ignored (a
//   DOS tool's Ctrl-Z, say); without one the file ends at its last line;
// - extended address records (02, 04) must hold address 0, since the image
//   lies below 64 KiB; start address records (03, 05) are ignored; other
//   record types are errors.
HexConversion ReadHexFileText(std::string_view text);

// The lines of a HEX text: split at line feeds, a carriage return before
// the line feed dropped.
std::vector<std::string> SplitHexLines(std::string_view text);

// The lines joined with CR LF after each, as the programmer expects them.
std::string HexFileText(std::span<const std::string> lines);

struct [[nodiscard]] RomFileResult : Outcome {
    std::string warning;  // the image was written, but something about it needs attention
};

// Build the plan's image and write it, crash-safe, as Intel HEX text or as
// the flat binary image. Nothing is written when the image cannot be built.
RomFileResult WriteHexFile(const TSignalPlan& plan, const std::filesystem::path& file);
RomFileResult WriteBinFile(const TSignalPlan& plan, const std::filesystem::path& file);

}  // namespace kdt
