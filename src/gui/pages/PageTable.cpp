#include "pages/PageTable.h"

namespace kdt::gui {

bool PageEnabled(int number, const TSignalPlan& plan) {
    switch (number) {
        case 6:
            return plan.TvpButtonCount != 0;
        case 8:
            return plan.NetworkType == kNetworkTypeLeading;
        case 9:
            return plan.RomVersion >= kRom413 && plan.RomVersion <= kRom421;
        case 10:
        case 11:
            return plan.RomVersion == kRom421;
        default:
            return number >= 1 && number <= kPageCount;
    }
}

std::string_view HintShortPart(std::string_view hint) {
    const std::size_t bar = hint.find('|');
    return bar == std::string_view::npos ? hint : hint.substr(0, bar);
}

std::string_view HintLongPart(std::string_view hint) {
    const std::size_t bar = hint.find('|');
    return bar == std::string_view::npos ? hint : hint.substr(bar + 1);
}

}  // namespace kdt::gui
