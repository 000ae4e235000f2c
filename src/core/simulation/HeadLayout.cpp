#include "simulation/HeadLayout.h"

#include <algorithm>
#include <cmath>

namespace kdt {
namespace {

// A colour the plan does not know (a damaged file) has no lamp to show.
LampKind DirectionLampKind(std::uint8_t colour) {
    switch (colour) {
        case 1:
            return LampKind::Red;
        case 2:
            return LampKind::Yellow;
        case 3:
            return LampKind::Green;
        default:
            return LampKind::None;
    }
}

int RowTop(LampKind kind) {
    switch (kind) {
        case LampKind::Yellow:
            return kLampRowTop + kLampStep;
        case LampKind::Green:
            return kLampRowTop + 2 * kLampStep;
        default:
            return kLampRowTop;
    }
}

// Lamps of one kind stand side by side, so the head is as wide as its
// longest row.
HeadPlace PlaceHead(bool pedestrian, int number, int left, const std::array<LampKind, kChannelCount>& kinds) {
    HeadPlace head;
    head.pedestrian = pedestrian;
    head.number = number;
    head.left = left;
    int red = 0, yellow = 0, green = 0, wait = 0;
    for (int k = 0; k < kChannelCount; ++k) {
        const LampKind kind = kinds[k];
        int* count = nullptr;
        switch (kind) {
            case LampKind::Red:
                count = &red;
                break;
            case LampKind::Yellow:
                count = &yellow;
                break;
            case LampKind::Green:
                count = &green;
                break;
            case LampKind::Wait:
                count = &wait;
                break;
            case LampKind::None:
                continue;
        }
        head.lamps.push_back({k + 1, kind, left + 4 + kLampStep * *count, RowTop(kind)});
        ++*count;
    }
    head.right = left + kLampStep * std::max({red, yellow, green, wait});
    return head;
}

}  // namespace

HeadLayout LayOutHeads(const std::array<ChannelRecord, kChannelCount>& channels, int directionCount,
                       int buttonCount) {
    HeadLayout layout;
    int left = kHeadGap;
    auto add = [&](bool pedestrian, int number, const std::array<LampKind, kChannelCount>& kinds) {
        layout.heads.push_back(PlaceHead(pedestrian, number, left, kinds));
        left = layout.heads.back().right + kHeadGap;
    };
    std::array<LampKind, kChannelCount> kinds{};
    for (int d = 1; d <= std::clamp(directionCount, 0, kMaxDirections); ++d) {
        for (int k = 0; k < kChannelCount; ++k) kinds[k] = DirectionLampKind(channels[k].colourOf[d - 1]);
        add(false, d, kinds);
    }
    for (int b = 1; b <= std::clamp(buttonCount, 0, kMaxTvpButtons); ++b) {
        for (int k = 0; k < kChannelCount; ++k)
            kinds[k] = channels[k].wait[b - 1] == 9 ? LampKind::Wait : LampKind::None;
        add(true, b, kinds);
    }
    layout.width = layout.heads.empty() ? 0 : left;
    return layout;
}

std::vector<int> HeadLayout::LampsAt(int x, int y) const {
    std::vector<int> hit;
    if (heads.empty() || y < kHeadTop || y > kLampClickBottom) return hit;
    const HeadPlace* head = &heads.back();
    for (const HeadPlace& candidate : heads) {
        if (x < candidate.left) return hit;  // the gap before this head
        if (x <= candidate.right) {
            head = &candidate;
            break;
        }
    }
    for (const LampPlace& lamp : head->lamps) {
        const int boxTop = lamp.top - 2;
        if (x >= lamp.left && x <= lamp.left + kLampSize && y >= boxTop && y <= boxTop + 34)
            hit.push_back(lamp.channel);
    }
    return hit;
}

int HorizontalScrollMax(const HeadLayout& layout, int surfaceWidth) {
    return std::max(0, layout.width - surfaceWidth);
}

double PrintScale(int pageWidth, int pageHeight, int pictureWidth, int pictureHeight) {
    if (pictureWidth <= 0 || pageWidth <= 0 || pictureHeight <= 0 || pageHeight <= 0) return 0;
    const int whole = pageWidth / pictureWidth;
    const double across = whole >= 1 ? whole : static_cast<double>(pageWidth) / pictureWidth;
    const double down = static_cast<double>(pageHeight) / pictureHeight;
    if (across <= down) return across;
    return down >= 1 ? std::floor(down) : down;
}

}  // namespace kdt
