// Where the compile command puts the ROM file, and the parameter string the
// programmer program is started with.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace kdt {

enum class RomFileType { Hex = 0, Bin = 1 };

// The ROM file folder, then the file part of the project path with its final
// extension replaced: a plan saved as x.kdt2 anywhere compiles to x.hex there.
std::filesystem::path RomFilePath(std::string_view projectFileName, const std::filesystem::path& romFolder,
                                  RomFileType type);

// The template with its first "%n" replaced by the ROM file path and its
// first "%v" by RomVersion + 1, the placeholders in either case. Where file
// names ignore case (Windows) the template is lower-cased first; elsewhere
// the rest keeps its case. Only the template's own "%v" counts, never one
// inside the substituted path.
std::string ProgrammerParameters(std::string_view parameterTemplate, std::string_view romFilePath,
                                 std::uint8_t romVersion);

}  // namespace kdt
