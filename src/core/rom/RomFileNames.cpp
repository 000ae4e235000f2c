#include "rom/RomFileNames.h"

#include "common/FileIO.h"
#include "data/TextEncoding.h"

namespace kdt {

std::filesystem::path RomFilePath(std::string_view projectFileName, const std::filesystem::path& romFolder,
                                  RomFileType type) {
    const std::size_t nameStart = projectFileName.find_last_of("/\\");
    std::string_view fileName =
        nameStart == std::string_view::npos ? projectFileName : projectFileName.substr(nameStart + 1);
    if (const std::size_t dot = fileName.rfind('.'); dot != std::string_view::npos)
        fileName = fileName.substr(0, dot);
    const std::string extension = type == RomFileType::Hex ? ".hex" : ".bin";
    return romFolder / Utf8ToPath(std::string(fileName) + extension);
}

std::string ProgrammerParameters(std::string_view parameterTemplate, std::string_view romFilePath,
                                 std::uint8_t romVersion) {
#if defined(_WIN32)
    // Where file names ignore case the whole template is lower-cased, as always.
    std::string parameters = LowerCaseCp1251Letters(parameterTemplate);
#else
    // Elsewhere a program's -P is not its -p: only the placeholders ignore case.
    std::string parameters(parameterTemplate);
#endif
    const std::string folded = LowerCaseCp1251Letters(parameters);
    const std::size_t pathAt = folded.find("%n");
    const std::size_t versionAt = folded.find("%v");
    const std::string version = std::to_string(romVersion + 1);
    // Replace the later placeholder first so the earlier one's position holds.
    if (versionAt != std::string::npos && (pathAt == std::string::npos || versionAt > pathAt)) {
        parameters.replace(versionAt, 2, version);
        if (pathAt != std::string::npos) parameters.replace(pathAt, 2, romFilePath);
    } else {
        if (pathAt != std::string::npos) parameters.replace(pathAt, 2, romFilePath);
        if (versionAt != std::string::npos) parameters.replace(versionAt, 2, version);
    }
    return parameters;
}

}  // namespace kdt
