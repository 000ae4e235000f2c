// The timing diagram's shapes. Positions are written in half seconds from
// the diagram's left edge (At) at 300 dpi, where one half second is 6 dots
// and a 1-dot overlap is 1 device unit.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "data/PlanProcedures.h"
#include "report/TimingDiagram.h"

namespace kdt {
namespace {

constexpr double kTop = 1000;
constexpr double kLeft = 500;
constexpr double kU = 6;    // 300 dpi, 0.5 mm per half second
constexpr double kK = 45;   // scale band
constexpr double kR = 24;   // row pitch
constexpr double kHb = 18;  // bar height

double At(double halfSeconds, double dots = 0) {
    return kLeft + halfSeconds * kU + dots;
}

DiagramPlacement At300() {
    return {kTop, kLeft, 300, 300, kU};
}

std::uint16_t Bit(int direction) {
    return static_cast<std::uint16_t>(1u << (direction - 1));
}

// Two directions; program 1: tact 1 (phase 1, 20 + 8), tact 2 (phase 2, 30 + 8).
// Direction 1 is green in phase 1, direction 2 in phase 2.
TSignalPlan TwoTactPlan() {
    TSignalPlan plan{};
    ResetPlan(plan, kRom421, kDefaultSpeed);
    plan.DirectionCount = 2;
    plan.PhaseCount = 2;
    plan.PhaseDirections[0] = Bit(1);
    plan.PhaseDirections[1] = Bit(2);
    plan.ProgramCount = 1;
    TSignalProgram& program = plan.Program[0];
    program.TactCount = 2;
    program.TactPhase[0] = 0;
    program.TactPhase[1] = 1;
    program.TactDuration[0] = 20;
    program.TactInterDuration[0] = 8;
    program.TactDuration[1] = 30;
    program.TactInterDuration[1] = 8;
    for (TDirectionSettings& direction : plan.Direction) {
        direction.HeadMask = 0b011;  // red and yellow
        direction.RedMask = 0b001;
        direction.TailMask = 0b010;  // yellow
        direction.HeadDuration = 2;
        direction.TailDuration = 4;
        direction.ExtraGreenAfterGreen = 0;
        direction.ExtraGreenAfterRed = 0;
        direction.GreenBlinkCount = 1;
    }
    return plan;
}

template <class Shape>
std::vector<Shape> All(const TimingDiagram& diagram) {
    std::vector<Shape> shapes;
    for (const DiagramShape& shape : diagram.shapes)
        if (const Shape* found = std::get_if<Shape>(&shape)) shapes.push_back(*found);
    return shapes;
}

double RowTop(int direction) {
    return kTop + 2 * kK + (direction - 1) * kR;
}

// One shape of a direction's bar: its colour and its left and right edges
// (a triangle's right edge is one dot right of its right corners).
struct BarPiece {
    char colour;         // G green, R red, D dark green, W white dash, Y yellow, T yellow triangle
    double left, right;  // device units
    friend bool operator==(const BarPiece&, const BarPiece&) = default;
};

std::ostream& operator<<(std::ostream& out, const BarPiece& piece) {
    return out << piece.colour << ' ' << (piece.left - kLeft) / kU << ".." << (piece.right - kLeft) / kU;
}

char ColourLetter(const DiagramColour& colour, bool outlined) {
    if (colour == kDiagramGreen) return 'G';
    if (colour == kDiagramRed) return 'R';
    if (colour == kDiagramDarkGreen) return 'D';
    if (colour == kDiagramYellow) return 'Y';
    if (colour == kDiagramWhite && !outlined) return 'W';
    return '?';
}

std::vector<BarPiece> Bar(const TimingDiagram& diagram, int direction) {
    const double top = RowTop(direction);
    std::vector<BarPiece> pieces;
    for (const DiagramShape& shape : diagram.shapes) {
        if (const auto* rect = std::get_if<DiagramRect>(&shape)) {
            if (rect->top < top - 1 || rect->bottom > top + kHb + 1) continue;
            const bool dash = !rect->outlined;
            // Dashes sit inside the outline, one dot below the top and above the bottom.
            EXPECT_EQ(rect->top, dash ? top + 1 : top);
            EXPECT_EQ(rect->bottom, dash ? top + kHb - 1 : top + kHb);
            pieces.push_back({ColourLetter(rect->fill, rect->outlined), rect->left, rect->right});
        } else if (const auto* polygon = std::get_if<DiagramPolygon>(&shape)) {
            if (polygon->points.empty() || polygon->points[1].y != top) continue;
            EXPECT_EQ(polygon->fill, kDiagramYellow);
            const auto& p = polygon->points;
            EXPECT_EQ(p.size(), 3u);
            // Lower left, upper right, lower right, one dot inside the right and bottom edges.
            EXPECT_EQ(p[0].y, top + kHb - 1);
            EXPECT_EQ(p[1].x, p[2].x);
            EXPECT_EQ(p[2].y, top + kHb - 1);
            pieces.push_back({'T', p[0].x, p[1].x + 1});
        }
    }
    return pieces;
}

// -------------------------------------------------------------- bars

struct BarCase {
    const char* name;
    void (*change)(TSignalPlan&);
    int direction;
    std::vector<BarPiece> expected;
};

BarPiece P(char colour, double left, double right) {
    return {colour, left, right};
}

// Direction 1 of the two-tact plan as it is: green 0..20, its change to red
// in 20..28 (blink 20..22, yellow from 22 - 1 dot for 4), red until 58, the
// change back to green in 58..66 (red-yellow 64..66).
std::vector<BarPiece> PlainDirectionOne() {
    return {P('G', At(0), At(20)),      P('R', At(20, -1), At(28)),     P('D', At(20), At(22)),
            P('W', At(20), At(21)),     P('Y', At(22, -1), At(26, -1)), P('R', At(28, -1), At(58)),
            P('R', At(58, -1), At(66)), P('R', At(64), At(66)),         P('T', At(64), At(66))};
}

std::vector<BarPiece> Replaced(std::vector<BarPiece> pieces, std::size_t from, std::size_t count,
                               std::vector<BarPiece> instead) {
    pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(from),
                 pieces.begin() + static_cast<std::ptrdiff_t>(from + count));
    pieces.insert(pieces.begin() + static_cast<std::ptrdiff_t>(from), instead.begin(), instead.end());
    return pieces;
}

const BarCase kBarCases[] = {
    {"GreenToRedAndBack", [](TSignalPlan&) {}, 1, PlainDirectionOne()},
    // Direction 2 is red in tact 1 and green in the last one: the change to
    // green lies in tact 1's inter-tact, the change back to red at the end
    // of the diagram, where the last tact wraps to tact 1. Nothing before 0.
    {"LastTactWrapsToTheFirst",
     [](TSignalPlan&) {},
     2,
     {P('R', At(0), At(20)), P('R', At(20, -1), At(28)), P('R', At(26), At(28)), P('T', At(26), At(28)),
      P('G', At(28, -1), At(58)), P('R', At(58, -1), At(66)), P('D', At(58), At(60)), P('W', At(58), At(59)),
      P('Y', At(60, -1), At(64, -1))}},
    {"GreenInEveryTactIsOneGreenBar",
     [](TSignalPlan& plan) { plan.PhaseDirections[1] |= Bit(1); },
     1,
     {P('G', At(0), At(66))}},
    {"NeverGreenWithRedChannelsIsOneRedBar",
     [](TSignalPlan& plan) { plan.PhaseDirections[0] = 0; },
     1,
     {P('R', At(0), At(66))}},
    {"NeverGreenWithoutRedChannelsHasNoBar",
     [](TSignalPlan& plan) {
         plan.PhaseDirections[0] = 0;
         plan.Direction[0].RedMask = 0;
     },
     1,
     {}},
    // Three blinks at 0.5 mm per half second: 3 mm of dark green with three
    // dashes of 0.5 mm, the first at its left edge.
    {"ThreeBlinksGiveThreeDashes",
     [](TSignalPlan& plan) {
         plan.Direction[0].GreenBlinkCount = 3;
         plan.Direction[0].TailDuration = 2;
     },
     1,
     Replaced(PlainDirectionOne(), 2, 3,
              {P('D', At(20), At(26)), P('W', At(20), At(21)), P('W', At(22), At(23)), P('W', At(24), At(25)),
               P('Y', At(26, -1), At(28, -1))})},
    {"ExtraGreenAfterGreenComesBeforeTheBlink",
     [](TSignalPlan& plan) { plan.Direction[0].ExtraGreenAfterGreen = 2; }, 1,
     Replaced(PlainDirectionOne(), 2, 3,
              {P('G', At(20), At(22)), P('D', At(22), At(24)), P('W', At(22), At(23)),
               P('Y', At(24, -1), At(28, -1))})},
    {"YellowIsCutAtTheEndOfTheInterTact", [](TSignalPlan& plan) { plan.Direction[0].TailDuration = 10; }, 1,
     Replaced(PlainDirectionOne(), 4, 1, {P('Y', At(22, -1), At(28))})},
    // Longer than the inter-tact: cut at its end, and what it leaves no room for is not drawn.
    {"ExtraGreenLongerThanTheInterTactIsCut",
     [](TSignalPlan& plan) { plan.Direction[0].ExtraGreenAfterGreen = 12; }, 1,
     Replaced(PlainDirectionOne(), 2, 3, {P('G', At(20), At(28))})},
    {"BlinkLongerThanTheInterTactIsCut", [](TSignalPlan& plan) { plan.Direction[0].GreenBlinkCount = 5; }, 1,
     Replaced(PlainDirectionOne(), 2, 3,
              {P('D', At(20), At(28)), P('W', At(20), At(21)), P('W', At(22), At(23)), P('W', At(24), At(25)),
               P('W', At(26), At(27))})},
    {"NoYellowWhenTheHeadShowsOnlyRed", [](TSignalPlan& plan) { plan.Direction[0].HeadMask = 0b001; }, 1,
     Replaced(PlainDirectionOne(), 4, 1, {})},
    {"ExtraGreenAfterRedEndsTheInterTact",
     [](TSignalPlan& plan) { plan.Direction[0].ExtraGreenAfterRed = 3; }, 1,
     Replaced(PlainDirectionOne(), 7, 2,
              {P('G', At(63, -1), At(66)), P('R', At(61), At(63)), P('T', At(61), At(63))})},
    // A head longer than the inter-tact starts its red-yellow at the
    // inter-tact, not over the red run before it.
    {"HeadLongerThanTheInterTactStartsInIt", [](TSignalPlan& plan) { plan.Direction[0].HeadDuration = 12; },
     1, Replaced(PlainDirectionOne(), 7, 2, {P('R', At(58, -1), At(66)), P('T', At(58, -1), At(66))})},
    {"ExtraGreenAfterRedFillingTheInterTactLeavesNoRedYellow",
     [](TSignalPlan& plan) { plan.Direction[0].ExtraGreenAfterRed = 20; }, 1,
     Replaced(PlainDirectionOne(), 7, 2, {P('G', At(58, -1), At(66))})},
    {"NoRedYellowWhenTheTailShowsOnlyRed", [](TSignalPlan& plan) { plan.Direction[0].TailMask = 0b001; }, 1,
     Replaced(PlainDirectionOne(), 7, 2, {})},
    // An inter-tact of 0: the change keeps its one-dot red rectangle and
    // nothing else fits.
    {"NoInterTactLeavesOnlyTheOverlap",
     [](TSignalPlan& plan) { plan.Program[0].TactInterDuration[0] = 0; },
     1,
     {P('G', At(0), At(20)), P('R', At(20, -1), At(20)), P('R', At(20, -1), At(50)),
      P('R', At(50, -1), At(58)), P('R', At(56), At(58)), P('T', At(56), At(58))}},
};

void PrintTo(const BarCase& row, std::ostream* out) {
    *out << row.name;
}

class DiagramBars : public testing::TestWithParam<BarCase> {};

TEST_P(DiagramBars, DrawsTheRunsAndTheirChanges) {
    TSignalPlan plan = TwoTactPlan();
    GetParam().change(plan);
    const TimingDiagram diagram = DrawTimingDiagram(plan, 1, At300());
    EXPECT_EQ(Bar(diagram, GetParam().direction), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, DiagramBars, testing::ValuesIn(kBarCases),
                         [](const testing::TestParamInfo<BarCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(DiagramBars, EveryPartOfAChangeStaysInsideItsInterTact) {
    // Durations far beyond the inter-tact, in every combination of masks.
    for (const std::uint32_t head : {0b001u, 0b011u})
        for (const std::uint32_t tail : {0b001u, 0b010u}) {
            TSignalPlan plan = TwoTactPlan();
            for (TDirectionSettings& direction : plan.Direction) {
                direction.HeadMask = head;
                direction.TailMask = tail;
                direction.HeadDuration = 500;
                direction.TailDuration = 500;
                direction.ExtraGreenAfterGreen = 3;
                direction.ExtraGreenAfterRed = 5;
                direction.GreenBlinkCount = 200;
            }
            const TimingDiagram diagram = DrawTimingDiagram(plan, 1, At300());
            for (const int direction : {1, 2})
                for (const BarPiece& piece : Bar(diagram, direction)) {
                    EXPECT_LT(piece.left, piece.right) << piece;
                    const bool firstInterTact = piece.right <= At(28) + 0.5;
                    const bool run = piece.colour == 'G' || piece.colour == 'R';
                    if (run && (piece.left <= At(0) || piece.left == At(28, -1))) continue;
                    // Changes lie in [20 - 1 dot, 28] or [58 - 1 dot, 66].
                    EXPECT_GE(piece.left, firstInterTact ? At(20, -1) : At(58, -1)) << piece;
                    EXPECT_LE(piece.right, firstInterTact ? At(28) : At(66)) << piece;
                }
        }
}

// -------------------------------------------------------------- scale, boxes, labels

TEST(DiagramScale, TicksAndElapsedSecondsPerPeriod) {
    TSignalPlan plan = TwoTactPlan();
    plan.Program[0].TactDuration[0] = 40;
    plan.Program[0].TactInterDuration[0] = 12;
    plan.Program[0].TactDuration[1] = 31;  // odd half seconds: each period is rounded down by itself
    plan.Program[0].TactInterDuration[1] = 5;
    const TimingDiagram diagram = DrawTimingDiagram(plan, 1, At300());
    const double y0 = kTop + kK;

    std::vector<DiagramText> scale;
    for (const DiagramText& text : All<DiagramText>(diagram))
        if (text.top == y0 + 8) scale.push_back(text);
    ASSERT_EQ(scale.size(), 5u);
    const struct {
        const char* text;
        double x;
        bool centred;
    } expected[] = {{"1", kLeft - 4, false},
                    {"20", At(40), true},
                    {"26", At(52), true},
                    {"41", At(83), true},
                    {"43", At(88), true}};
    for (std::size_t i = 0; i < scale.size(); ++i) {
        EXPECT_EQ(scale[i].text, expected[i].text);
        EXPECT_EQ(scale[i].x, expected[i].x) << expected[i].text;
        EXPECT_EQ(scale[i].centred, expected[i].centred) << expected[i].text;
    }

    std::vector<double> ticks;
    std::vector<std::pair<double, double>> topLines;
    for (const DiagramLine& line : All<DiagramLine>(diagram)) {
        if (line.x1 == line.x2 && line.y1 == y0) {
            EXPECT_EQ(line.y2, y0 + kK);
            ticks.push_back(line.x1);
        }
        if (line.y1 == y0 && line.y2 == y0) topLines.emplace_back(line.x1, line.x2);
    }
    EXPECT_EQ(ticks, (std::vector<double>{At(0), At(40), At(52), At(83), At(88)}));
    EXPECT_EQ(topLines, (std::vector<std::pair<double, double>>{
                            {At(0), At(40)}, {At(40), At(52)}, {At(52), At(83)}, {At(83), At(88)}}));
}

TEST(DiagramScale, PhaseBoxesUnderTheRowsOpenAtTheTop) {
    TSignalPlan plan = TwoTactPlan();
    plan.Program[0].TactPhase[1] = 20;  // no such phase: shown by its number, green nowhere
    const TimingDiagram diagram = DrawTimingDiagram(plan, 1, At300());
    const double boxTop = kTop + kK + 2 * kR + kK;

    std::vector<DiagramText> names;
    for (const DiagramText& text : All<DiagramText>(diagram))
        if (text.top == boxTop) names.push_back(text);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0].text, "Ф.1");
    EXPECT_EQ(names[0].x, At(10));
    EXPECT_EQ(names[1].text, "Ф.21");
    EXPECT_EQ(names[1].x, At(28 + 15));
    EXPECT_TRUE(names[0].centred && names[1].centred);

    // Right side down, bottom back to the start, left side up; no top side.
    std::vector<DiagramLine> box;
    for (const DiagramLine& line : All<DiagramLine>(diagram))
        if (std::max(line.y1, line.y2) > boxTop - 1) box.push_back(line);
    ASSERT_EQ(box.size(), 6u);
    const double bottom = boxTop + kR;
    const auto same = [](const DiagramLine& a, const DiagramLine& b) {
        return a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2;
    };
    EXPECT_TRUE(same(box[0], {At(20), boxTop, At(20), bottom}));
    EXPECT_TRUE(same(box[1], {At(20), bottom, At(0), bottom}));
    EXPECT_TRUE(same(box[2], {At(0), bottom, At(0), boxTop}));
    EXPECT_TRUE(same(box[3], {At(58), boxTop, At(58), bottom}));

    // Direction 2's phase is the missing one: it is red throughout.
    EXPECT_EQ(Bar(diagram, 2), (std::vector<BarPiece>{P('R', At(0), At(66))}));
}

TEST(DiagramScale, ProgramWithoutTactsHasTheFirstTickAndTheLabelsOnly) {
    TSignalPlan plan = TwoTactPlan();
    plan.Program[0].TactCount = 0;
    const TimingDiagram diagram = DrawTimingDiagram(plan, 1, At300());
    ASSERT_EQ(diagram.shapes.size(), 4u);
    const auto& tick = std::get<DiagramLine>(diagram.shapes[0]);
    EXPECT_EQ(tick.x1, kLeft);
    EXPECT_EQ(std::get<DiagramText>(diagram.shapes[1]).text, "1");
    const auto& label1 = std::get<DiagramText>(diagram.shapes[2]);
    const auto& label2 = std::get<DiagramText>(diagram.shapes[3]);
    EXPECT_EQ(label1.text, "Н.1");
    EXPECT_EQ(label2.text, "Н.2");
    EXPECT_EQ(label1.x, kLeft - 64);
    EXPECT_EQ(label1.top, RowTop(1));
    EXPECT_EQ(label2.top, RowTop(2));
}

TEST(DiagramScale, CountsBeyondTheRecordAreCapped) {
    TSignalPlan plan = TwoTactPlan();
    plan.DirectionCount = 200;
    plan.Program[0].TactCount = 300;
    const TimingDiagram diagram = DrawTimingDiagram(plan, 1, At300());
    int rowLabels = 0;
    int phaseNames = 0;
    for (const DiagramText& text : All<DiagramText>(diagram)) {
        rowLabels += text.text.starts_with("Н.");
        phaseNames += text.text.starts_with("Ф.");
    }
    EXPECT_EQ(rowLabels, kMaxDirections);
    EXPECT_EQ(phaseNames, kMaxTacts);
    // A program number outside 1..16 has no tacts: the first tick, "1" and the row labels.
    EXPECT_EQ(DrawTimingDiagram(plan, 0, At300()).shapes.size(), 2u + kMaxDirections);
    EXPECT_EQ(DrawTimingDiagram(plan, 17, At300()).shapes.size(), 2u + kMaxDirections);
}

// -------------------------------------------------------------- resolution

struct ResolutionCase {
    double dpi;
    double scaleBand, fontHeight, outline, firstLabelLeft, labelDown, rowLabelLeft, rowPitch, barHeight;
};

void PrintTo(const ResolutionCase& row, std::ostream* out) {
    *out << row.dpi << " dpi";
}

class DiagramResolution : public testing::TestWithParam<ResolutionCase> {};

// The distances laid out for 300 dpi scale with the resolution, so the
// picture's parts keep their sizes against the 2 mm rows at any resolution.
TEST_P(DiagramResolution, DistancesFollowTheResolution) {
    const ResolutionCase& c = GetParam();
    TSignalPlan plan = TwoTactPlan();
    const double u = ReportHalfSecondWidth(c.dpi);
    const TimingDiagram diagram = DrawTimingDiagram(plan, 1, {kTop, kLeft, c.dpi, c.dpi, u});
    EXPECT_DOUBLE_EQ(diagram.fontHeight, c.fontHeight);
    EXPECT_DOUBLE_EQ(diagram.outlineWidth, c.outline);
    const DiagramMeasures measures = DiagramMeasuresAt(c.dpi);
    EXPECT_DOUBLE_EQ(measures.scaleBand, c.scaleBand);
    EXPECT_DOUBLE_EQ(measures.rowPitch, c.rowPitch);
    EXPECT_DOUBLE_EQ(measures.barHeight, c.barHeight);

    const auto texts = All<DiagramText>(diagram);
    const auto first =
        std::find_if(texts.begin(), texts.end(), [](const DiagramText& t) { return t.text == "1"; });
    ASSERT_NE(first, texts.end());
    EXPECT_DOUBLE_EQ(first->x, kLeft - c.firstLabelLeft);
    EXPECT_DOUBLE_EQ(first->top, kTop + c.scaleBand + c.labelDown);
    const auto row =
        std::find_if(texts.begin(), texts.end(), [](const DiagramText& t) { return t.text == "Н.2"; });
    ASSERT_NE(row, texts.end());
    EXPECT_DOUBLE_EQ(row->x, kLeft - c.rowLabelLeft);
    EXPECT_DOUBLE_EQ(row->top, kTop + 2 * c.scaleBand + c.rowPitch);

    // The change to red starts one outline width before the green run ends.
    const auto rects = All<DiagramRect>(diagram);
    ASSERT_GE(rects.size(), 2u);
    EXPECT_DOUBLE_EQ(rects[1].left, rects[0].right - c.outline);
}

INSTANTIATE_TEST_SUITE_P(Rows, DiagramResolution,
                         testing::Values(ResolutionCase{300, 45, 24, 1, 4, 8, 64, 24, 18},
                                         ResolutionCase{600, 90, 48, 2, 8, 16, 128, 47, 35},
                                         ResolutionCase{1200, 180, 96, 4, 16, 32, 256, 94, 71},
                                         ResolutionCase{96, 14.4, 7.68, 0.32, 1.28, 2.56, 20.48, 8, 6}),
                         [](const testing::TestParamInfo<ResolutionCase>& info) {
                             return std::to_string(static_cast<int>(info.param.dpi)) + "dpi";
                         });

// -------------------------------------------------------------- the time scale

TEST(DiagramTimeScale, HalfAMillimetrePerHalfSecondWhenTheCycleFits) {
    TSignalPlan plan = TwoTactPlan();  // 66 half seconds
    EXPECT_EQ(ReportHalfSecondWidth(300), 6);
    EXPECT_EQ(ReportHalfSecondWidth(600), 12);
    EXPECT_EQ(DiagramCycle(plan, 1), 66);
    EXPECT_EQ(FittingHalfSecondWidth(plan, 1, 300, 66 * 6), 6);
    EXPECT_EQ(FittingHalfSecondWidth(plan, 1, 300, 2000), 6);
    // A cycle too long for the width takes the widest scale that fits.
    EXPECT_DOUBLE_EQ(FittingHalfSecondWidth(plan, 1, 300, 330), 5);
    // The longest cycle a plan holds: 16 tacts of 195 s and 60 s.
    for (int t = 0; t < kMaxTacts; ++t) {
        plan.Program[0].TactPhase[t] = 0;
        plan.Program[0].TactDuration[t] = 390;
        plan.Program[0].TactInterDuration[t] = 120;
    }
    plan.Program[0].TactCount = kMaxTacts;
    EXPECT_DOUBLE_EQ(FittingHalfSecondWidth(plan, 1, 600, 3724), 3724.0 / (16 * 510));
    const double u = FittingHalfSecondWidth(plan, 1, 600, 3724);
    const TimingDiagram diagram = DrawTimingDiagram(plan, 1, {kTop, kLeft, 600, 600, u});
    double right = 0;
    for (const DiagramRect& rect : All<DiagramRect>(diagram)) right = std::max(right, rect.right);
    EXPECT_NEAR(right, kLeft + 3724, 1e-6);
    // No tacts: nothing to fit.
    plan.Program[0].TactCount = 0;
    EXPECT_EQ(FittingHalfSecondWidth(plan, 1, 300, 10), 6);
}

}  // namespace
}  // namespace kdt
