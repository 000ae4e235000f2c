#include "report/ReportVocabulary.h"

namespace kdt {

std::string RomVersionName(std::uint8_t romVersion) {
    if (romVersion < kRomTypeCount) return "v" + std::string(kRomTypeNames[romVersion]);
    return "?" + std::to_string(romVersion);
}

}  // namespace kdt
