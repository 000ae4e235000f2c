// The simulation window's heads: places, widths, the picture width, the
// click boxes and the print scale, from channel records built by hand.
#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>
#include <vector>

#include "simulation/HeadLayout.h"

namespace kdt {
namespace {

using Channels = std::array<ChannelRecord, kChannelCount>;

// Direction d (1-based) uses the given channels with the given colours.
void Direction(Channels& channels, int d, std::initializer_list<std::pair<int, int>> lamps) {
    for (const auto& [k, colour] : lamps) channels[k - 1].colourOf[d - 1] = static_cast<std::uint8_t>(colour);
}
void Button(Channels& channels, int b, std::initializer_list<int> waitChannels) {
    for (const int k : waitChannels) channels[k - 1].wait[b - 1] = 9;
}

constexpr int R = 1, Y = 2, G = 3;

// Three vehicle directions (one lamp of each colour) and two buttons.
Channels ThreeDirectionsTwoButtons() {
    Channels channels{};
    Direction(channels, 1, {{1, R}, {2, Y}, {3, G}});
    Direction(channels, 2, {{4, R}, {5, Y}, {6, G}});
    Direction(channels, 3, {{7, R}, {8, Y}, {9, G}});
    Button(channels, 1, {27});
    Button(channels, 2, {28});
    return channels;
}

TEST(HeadLayout, DirectionHeadsComeFirstThenButtonHeadsFourPixelsApart) {
    const HeadLayout layout = LayOutHeads(ThreeDirectionsTwoButtons(), 3, 2);
    struct Expected {
        bool pedestrian;
        int number;
        int left;
        int right;
    };
    const Expected expected[] = {
        {false, 1, 4, 42}, {false, 2, 46, 84}, {false, 3, 88, 126}, {true, 1, 130, 168}, {true, 2, 172, 210},
    };
    ASSERT_EQ(layout.heads.size(), std::size(expected));
    for (std::size_t h = 0; h < layout.heads.size(); ++h) {
        SCOPED_TRACE(h);
        EXPECT_EQ(layout.heads[h].pedestrian, expected[h].pedestrian);
        EXPECT_EQ(layout.heads[h].number, expected[h].number);
        EXPECT_EQ(layout.heads[h].left, expected[h].left);
        EXPECT_EQ(layout.heads[h].right, expected[h].right);
    }
    EXPECT_EQ(layout.width, 214);
    EXPECT_EQ(HorizontalScrollMax(layout, 200), 14);
    EXPECT_EQ(HorizontalScrollMax(layout, 446), 0);
}

TEST(HeadLayout, AHeadIsAsWideAsItsLongestRowOfOneKind) {
    struct Case {
        const char* name;
        std::vector<std::pair<int, int>> lamps;  // channel, colour of direction 1
        std::vector<int> wait;                   // "wait" channels of button 1
        int width;                               // of the first head
    };
    const Case cases[] = {
        {"two red, one yellow, two green", {{1, R}, {2, R}, {3, Y}, {4, G}, {5, G}}, {}, 76},
        {"one of each", {{1, R}, {2, Y}, {3, G}}, {}, 38},
        {"three yellow", {{7, Y}, {8, Y}, {9, Y}}, {}, 114},
        {"kinds counted apart, not together", {{1, R}, {2, Y}, {3, G}, {4, R}}, {}, 76},
        {"a colour no lamp has is left out", {{1, 7}, {2, 0}, {3, R}}, {}, 38},
        {"no lamps at all", {}, {}, 0},
        {"a button head counts its wait lamps", {}, {10, 11}, 76},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Channels channels{};
        for (const auto& [k, colour] : c.lamps)
            channels[k - 1].colourOf[0] = static_cast<std::uint8_t>(colour);
        for (const int k : c.wait) channels[k - 1].wait[0] = 9;
        const bool button = !c.wait.empty();
        const HeadLayout layout = LayOutHeads(channels, button ? 0 : 1, button ? 1 : 0);
        ASSERT_EQ(layout.heads.size(), 1u);
        EXPECT_EQ(layout.heads[0].right - layout.heads[0].left, c.width);
        EXPECT_EQ(layout.width, 4 + c.width + 4);
    }
}

TEST(HeadLayout, LampsStandInChannelOrderInTheRowOfTheirKind) {
    Channels channels{};
    Direction(channels, 1, {{2, G}, {5, R}, {9, R}, {12, Y}, {20, G}, {31, R}});
    Direction(channels, 2, {{5, Y}});  // channel 5 has another kind in another head
    Button(channels, 1, {3, 4});
    const HeadLayout layout = LayOutHeads(channels, 2, 1);
    ASSERT_EQ(layout.heads.size(), 3u);
    struct Expected {
        int channel;
        LampKind kind;
        int left;
        int top;
    };
    const std::vector<Expected> first = {
        {2, LampKind::Green, 8, 86},   {5, LampKind::Red, 8, 10},     {9, LampKind::Red, 46, 10},
        {12, LampKind::Yellow, 8, 48}, {20, LampKind::Green, 46, 86}, {31, LampKind::Red, 84, 10},
    };
    const auto check = [](const HeadPlace& head, const std::vector<Expected>& lamps) {
        ASSERT_EQ(head.lamps.size(), lamps.size());
        for (std::size_t i = 0; i < lamps.size(); ++i) {
            SCOPED_TRACE(lamps[i].channel);
            EXPECT_EQ(head.lamps[i].channel, lamps[i].channel);
            EXPECT_EQ(head.lamps[i].kind, lamps[i].kind);
            EXPECT_EQ(head.lamps[i].left, lamps[i].left);
            EXPECT_EQ(head.lamps[i].top, lamps[i].top);
        }
    };
    check(layout.heads[0], first);
    EXPECT_EQ(layout.heads[0].right, 4 + 3 * 38);
    check(layout.heads[1], {{5, LampKind::Yellow, 122 + 4, 48}});
    check(layout.heads[2], {{3, LampKind::Wait, 164 + 4, 10}, {4, LampKind::Wait, 164 + 42, 10}});
    EXPECT_EQ(layout.width, 164 + 76 + 4);
}

// Counts from a damaged file: the heads stop at the record's 16 directions
// and 4 buttons (the sanitizer build would report a read past them).
TEST(HeadLayout, CountsBeyondTheRecordAreCutToIt) {
    Channels channels{};
    for (int d = 1; d <= kMaxDirections; ++d) Direction(channels, d, {{d, R}});
    for (int b = 1; b <= kMaxTvpButtons; ++b) Button(channels, b, {20 + b});
    const HeadLayout layout = LayOutHeads(channels, 200, 255);
    ASSERT_EQ(layout.heads.size(), 20u);
    EXPECT_EQ(layout.heads[15].number, 16);
    EXPECT_FALSE(layout.heads[15].pedestrian);
    EXPECT_EQ(layout.heads[19].number, 4);
    EXPECT_TRUE(layout.heads[19].pedestrian);
    EXPECT_EQ(layout.width, 4 + 20 * 42);
}

TEST(HeadLayout, WithoutHeadsThereIsNoPictureAndNothingToHit) {
    const HeadLayout layout = LayOutHeads(ThreeDirectionsTwoButtons(), 0, 0);
    EXPECT_TRUE(layout.heads.empty());
    EXPECT_EQ(layout.width, 0);
    EXPECT_TRUE(layout.LampsAt(20, 20).empty());
    EXPECT_EQ(HorizontalScrollMax(layout, 446), 0);
    EXPECT_EQ(PrintScale(4960, 7016, layout.width, 177), 0);
}

TEST(HeadLayout, AClickHitsTheLampWhoseBoxHoldsIt) {
    // Head 1 spans 4..42 (lamps at x 8, rows 10/48/86), head 2 46..84
    // (lamps at x 50); the button heads follow at 130 and 172.
    const HeadLayout layout = LayOutHeads(ThreeDirectionsTwoButtons(), 3, 2);
    struct Case {
        const char* name;
        int x;
        int y;
        std::vector<int> channels;
    };
    const Case cases[] = {
        {"red lamp's centre", 23, 25, {1}},
        {"yellow lamp's centre", 23, 63, {2}},
        {"green lamp's centre", 23, 101, {3}},
        {"second head's green", 65, 101, {6}},
        {"button 2's wait lamp", 187, 25, {28}},
        {"box's left edge", 8, 25, {1}},
        {"box's right edge, left + 30", 38, 25, {1}},
        {"left of the box", 7, 25, {}},
        {"right of the box, in the head", 39, 25, {}},
        {"box's top, row top - 2", 23, 8, {1}},
        {"box's bottom, row top + 32", 23, 42, {1}},
        {"between the red and yellow boxes", 23, 44, {}},
        {"above the heads", 23, 3, {}},
        {"head top", 23, 4, {}},
        {"the last lamp row's bottom edge, 118", 23, 118, {3}},
        {"below the lamps, 119", 23, 119, {}},
        {"the gap before the second head", 44, 25, {}},
        {"left of the first head", 2, 25, {}},
        {"past the last head: its lamps are far to the left", 300, 25, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(layout.LampsAt(c.x, c.y), c.channels);
    }
}

TEST(HeadLayout, PastTheLastHeadTheLastHeadIsTaken) {
    // A head without lamps has no width: a point at its left edge is in it,
    // a point past it is taken for it too, and there is no lamp to hit. A
    // last head that did have lamps under the point would be hit.
    Channels channels{};
    Direction(channels, 1, {{1, R}});
    const HeadLayout layout = LayOutHeads(channels, 2, 0);
    ASSERT_EQ(layout.heads.size(), 2u);
    EXPECT_EQ(layout.heads[1].left, layout.heads[1].right);
    EXPECT_TRUE(layout.LampsAt(layout.heads[1].left + 10, 25).empty());
    EXPECT_EQ(layout.LampsAt(23, 25), std::vector<int>{1});
}

TEST(HeadLayout, ThePrintScaleIsWholeWhenThePictureFitsTheRealRatioWhenNot) {
    struct Case {
        int pageWidth;
        int pageHeight;
        int picture;
        double scale;
    };
    // The picture is 177 pixels high; A4 at 600 dpi is 4960 x 7016.
    const Case cases[] = {
        {4960, 7016, 508, 9},           // the example's twelve heads
        {508, 7016, 508, 1},            // exactly one page wide
        {1015, 7016, 508, 1},           // just under twice
        {400, 7016, 500, 0.8},          // wider than the page: shrunk, never 0
        {4960, 7016, 46, 39},           // one head: as tall as the page allows, not 107 times
        {7016, 4960, 88, 28},           // landscape, two heads: the height bounds it
        {4960, 100, 508, 100.0 / 177},  // a strip of a page: shrunk to its height
        {4960, 7016, 0, 0},             // no heads: nothing to print
        {0, 7016, 508, 0},              // a page without width
        {4960, 0, 508, 0},              // or without height
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pageWidth << " x " << c.pageHeight << " / " << c.picture);
        EXPECT_DOUBLE_EQ(PrintScale(c.pageWidth, c.pageHeight, c.picture, 177), c.scale);
    }
}

}  // namespace
}  // namespace kdt
