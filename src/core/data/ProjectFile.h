// Project files (.kdt, .kdt2): the signal plan record byte for byte, with the
// upgrade of the two older layouts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "common/Outcome.h"
#include "data/TypeKDT.h"

namespace kdt {

inline constexpr std::uint8_t kCurrentFormatVersion = 2;
inline constexpr std::size_t kFormatVersionOffset = 5;
// The fixed part of a layout-0 file: everything up to the old PowerOnState.
inline constexpr std::size_t kLayout0FixedPartSize = 2268;

// Whether the bytes can be taken as a project file, and why not.
Outcome CheckProjectFileBytes(std::span<const std::uint8_t> fileBytes);

// Brings the bytes of a project file to the current layout (in memory) and
// returns how many of them to read into the record. Layout 0 is rebuilt as
// layout 1; layouts 0 and 1 get the speed table of the plan in memory and the
// low byte of their network address from byte 12. Requires
// CheckProjectFileBytes to have passed.
std::size_t UpgradeProjectFile(std::vector<std::uint8_t>& fileBytes, const TSignalPlan& planInMemory);

// Whether an upgraded old file is written back in place (the editor does) or
// left as it is (the command line never rewrites its input).
enum class OldLayoutHandling { RewriteFile, KeepFile };

// On failure the plan is unchanged.
struct [[nodiscard]] ProjectFileRead : Outcome {
    std::uint8_t layoutVersion = 0;  // byte 5 of the file as found
    std::string rewriteError;        // set when an upgraded file could not be written back
    std::string shortFileWarning;    // set when the file held less than a record, naming its size
};

// Reads a project file into the plan: at most 6756 bytes; a shorter file
// leaves the rest of the record as it was.
ProjectFileRead ReadProjectFile(const std::filesystem::path& path, TSignalPlan& plan,
                                OldLayoutHandling oldLayouts);

// Writes the record with FormatVersion 2, crash-safe. An existing longer file
// keeps its bytes beyond the record; a read-only one is refused.
Outcome SaveProjectFile(const std::filesystem::path& path, TSignalPlan& plan);

// A path's extension, dot included, in lower case: how every file kind is told apart.
std::string LowerCaseExtension(const std::filesystem::path& path);

// The name a save writes to: ".kdt" is appended unless the extension is .kdt.
std::filesystem::path ProjectSaveName(const std::filesystem::path& chosen);

// Paths are compared and stored in lower case only where the file system
// ignores case; elsewhere a lower-cased path would name another file.
std::string ProjectPathText(const std::filesystem::path& path);

// Ties the plan to a file: ProjectFileName gets the first 255 bytes of the
// path in Windows-1251.
void StoreProjectFileName(TSignalPlan& plan, const std::filesystem::path& path);

}  // namespace kdt
