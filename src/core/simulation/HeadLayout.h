// Where the simulation window draws the signal heads: one head per
// direction, then one per pedestrian button, each with its lamps in rows by
// colour; the picture's width, and which lamps a click lands on. Pixels of
// the drawing surface, before it is scrolled.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "simulation/SimulationEngine.h"

namespace kdt {

enum class LampKind : std::uint8_t { None = 0, Red = 1, Yellow = 2, Green = 3, Wait = 9 };

inline constexpr int kHeadTop = 4;
inline constexpr int kHeadBottom = 134;
inline constexpr int kHeadGap = 4;
inline constexpr int kLampStep = (kHeadBottom - 16) / 3 - 1;  // 38
inline constexpr int kLampSize = 30;
inline constexpr int kLampRowTop = 10;  // red and "wait"; yellow and green one and two steps lower
// A click lower than this is on the channel strip or the caption, not a lamp.
inline constexpr int kLampClickBottom = kHeadBottom - 16;
inline constexpr int kHeadVerticalScrollMax = 128;

struct LampPlace {
    int channel = 0;  // 1..32
    LampKind kind = LampKind::None;
    int left = 0;
    int top = 0;
    int right() const { return left + kLampSize; }
    int bottom() const { return top + kLampSize; }
};

struct HeadPlace {
    bool pedestrian = false;  // a button's "wait" display, else a direction
    int number = 0;           // direction 1..16 or button 1..4
    int left = 0;
    int right = 0;
    std::vector<LampPlace> lamps;  // in channel order
};

struct HeadLayout {
    std::vector<HeadPlace> heads;
    // The last head's right edge + 4; 0 when there is no head.
    int width = 0;

    // The channels of the lamps whose click box holds the point; a point in
    // the gap before a head hits nothing, a point past the last head is
    // taken for the last head.
    std::vector<int> LampsAt(int x, int y) const;
};

// The heads of the plan's directions and buttons, read from the channel
// records. Counts beyond the 16 directions and 4 buttons are cut to them.
HeadLayout LayOutHeads(const std::array<ChannelRecord, kChannelCount>& channels, int directionCount,
                       int buttonCount);

// How far the surface scrolls sideways to show the whole picture.
int HorizontalScrollMax(const HeadLayout& layout, int surfaceWidth);

// The scale of the printed picture on a page of this many device pixels:
// the whole number of times the picture fits across, or the fraction that
// fits it when it is wider than the page; either way no taller than the page
// holds (a few heads would otherwise run off its bottom). 0 when there is
// nothing to print.
double PrintScale(int pageWidth, int pageHeight, int pictureWidth, int pictureHeight);

}  // namespace kdt
