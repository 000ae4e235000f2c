// Where the printout puts lines, page numbers and diagrams. The metrics are
// those of a 10-point fixed-pitch font on a 300 dpi A4 printable area:
// w = 25, h = 47, so X = 250, P = 27, Y = 94, L = 3390 - 94 = 3296, and a
// page holds the rows at y = 94, 141, ..., 3290: 69 rows.
#include <gtest/gtest.h>

#include "data/PlanProcedures.h"
#include "report/PrintLayout.h"
#include "report/TimingDiagram.h"

namespace kdt {
namespace {

constexpr PrintMetrics kA4At300{25, 47, 2362, 3390, 300, 300};
constexpr int kRowsPerPage = 69;

std::vector<std::string> Lines(int count, const std::string& text = "x") {
    return std::vector<std::string>(static_cast<std::size_t>(count), text);
}

TSignalPlan PlanWithPrograms(int programs, int directions) {
    TSignalPlan plan{};
    ResetPlan(plan, kRom421, kDefaultSpeed);
    plan.ProgramCount = static_cast<std::uint8_t>(programs);
    plan.DirectionCount = static_cast<std::uint8_t>(directions);
    for (int p = 0; p < kMaxPrograms; ++p) {
        plan.Program[p].TactCount = 2;
        plan.Program[p].TactDuration[0] = 60;
        plan.Program[p].TactInterDuration[0] = 6;
        plan.Program[p].TactDuration[1] = 60;
        plan.Program[p].TactInterDuration[1] = 6;
    }
    return plan;
}

std::size_t RowCount(const PrintedPage& page) {
    return page.rows.size();
}

TEST(PrintLayout, MarginsPitchAndPageNumberFromTheCharacterSize) {
    const PrintLayout layout = LayOutPrintout(Lines(1), PlanWithPrograms(0, 0), false, kA4At300);
    EXPECT_EQ(layout.left, 250);
    EXPECT_EQ(layout.pitch, 27);
    EXPECT_EQ(layout.top, 94);
    EXPECT_EQ(layout.bottomLimit, 3296);
    EXPECT_EQ(layout.numberLeft, 2362 - 250);
    // Character k of a row at X + k P; the last one ends inside the page.
    EXPECT_EQ(layout.rowCharacters, 77);
    EXPECT_LE(layout.left + layout.rowCharacters * layout.pitch + 25, 2362);
    EXPECT_GT(layout.left + (layout.rowCharacters + 1) * layout.pitch + 25, 2362);
}

struct PageCase {
    const char* name;
    int lines;
    std::vector<std::size_t> rowsPerPage;
};

void PrintTo(const PageCase& row, std::ostream* out) {
    *out << row.lines << " lines";
}

class PrintLayoutPages : public testing::TestWithParam<PageCase> {};

// A page ends after the line that passes L; the next page is begun only
// when a line is left for it, so a text that fills its last page exactly
// feeds no blank sheet.
TEST_P(PrintLayoutPages, BreaksAfterTheLineThatPassesTheBottomLimit) {
    const PrintLayout layout =
        LayOutPrintout(Lines(GetParam().lines), PlanWithPrograms(0, 0), false, kA4At300);
    std::vector<std::size_t> rows;
    for (const PrintedPage& page : layout.pages) rows.push_back(RowCount(page));
    EXPECT_EQ(rows, GetParam().rowsPerPage);
    for (std::size_t p = 0; p < layout.pages.size(); ++p) {
        const PrintedPage& page = layout.pages[p];
        EXPECT_EQ(page.number, static_cast<int>(p) + 1);
        for (std::size_t r = 0; r < page.rows.size(); ++r)
            EXPECT_EQ(page.rows[r].top, 94 + static_cast<int>(r) * 47);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PrintLayoutPages,
    testing::Values(PageCase{"OneLine", 1, {1}},
                    PageCase{"OneShortOfAPage", kRowsPerPage - 1, {kRowsPerPage - 1}},
                    PageCase{"ExactlyOnePage", kRowsPerPage, {kRowsPerPage}},
                    PageCase{"OneLineOver", kRowsPerPage + 1, {kRowsPerPage, 1}},
                    PageCase{"ExactlyTwoPages", 2 * kRowsPerPage, {kRowsPerPage, kRowsPerPage}},
                    PageCase{"NoLines", 0, {0}}),
    [](const testing::TestParamInfo<PageCase>& info) { return std::string(info.param.name); });

TEST(PrintLayout, LongLinesContinueOnTheNextRow) {
    const std::string cyrillic = "Ж";
    std::string longLine;
    for (int i = 0; i < 160; ++i) longLine += cyrillic;  // 160 characters, 320 bytes
    const std::string blanksAfter = std::string(77, 'x') + std::string(30, ' ');
    const PrintLayout layout =
        LayOutPrintout({longLine, blanksAfter, "", "  a  "}, PlanWithPrograms(0, 0), false, kA4At300);
    ASSERT_EQ(layout.pages.size(), 1u);
    const auto& rows = layout.pages[0].rows;
    ASSERT_EQ(rows.size(), 6u);
    const struct {
        int line, first, count;
    } expected[] = {{0, 0, 77}, {0, 77, 77}, {0, 154, 6}, {1, 0, 77}, {2, 0, 0}, {3, 0, 3}};
    for (std::size_t r = 0; r < rows.size(); ++r) {
        EXPECT_EQ(rows[r].line, expected[r].line) << r;
        EXPECT_EQ(rows[r].first, expected[r].first) << r;
        EXPECT_EQ(rows[r].count, expected[r].count) << r;
        EXPECT_EQ(rows[r].top, 94 + static_cast<int>(r) * 47) << r;
    }
}

TEST(PrintLayout, DiagramsFollowTheTextEachTitledOneLineLower) {
    // B = D d + 2 h = 10 * 24 + 94 = 334; each diagram takes h + B = 381.
    const TSignalPlan plan = PlanWithPrograms(3, 10);
    const PrintLayout layout = LayOutPrintout(Lines(5), plan, true, kA4At300);
    EXPECT_EQ(layout.diagramBlock, 334);
    ASSERT_EQ(layout.pages.size(), 1u);
    const auto& diagrams = layout.pages[0].diagrams;
    ASSERT_EQ(diagrams.size(), 3u);
    const double textEnd = 94 + 5 * 47;
    for (int p = 0; p < 3; ++p) {
        EXPECT_EQ(diagrams[p].program, p + 1);
        EXPECT_EQ(diagrams[p].top, textEnd + 47 + p * 381);
        EXPECT_EQ(diagrams[p].left, 250);
        EXPECT_EQ(diagrams[p].halfSecondWidth, 6);
    }
}

TEST(PrintLayout, NoDiagramsUnlessTickedAndAtMostSixteen) {
    EXPECT_TRUE(LayOutPrintout(Lines(3), PlanWithPrograms(3, 4), false, kA4At300).pages[0].diagrams.empty());
    EXPECT_TRUE(LayOutPrintout(Lines(3), PlanWithPrograms(0, 4), true, kA4At300).pages[0].diagrams.empty());
    int diagrams = 0;
    for (const PrintedPage& page : LayOutPrintout(Lines(3), PlanWithPrograms(200, 4), true, kA4At300).pages)
        diagrams += static_cast<int>(page.diagrams.size());
    EXPECT_EQ(diagrams, kMaxPrograms);
}

// Each diagram is checked for room before it is drawn: one that would pass
// L goes to the next page, unless nothing is on its page yet.
TEST(PrintLayout, ADiagramWithoutRoomStartsANewPage) {
    const TSignalPlan plan = PlanWithPrograms(16, 16);  // B = 16 * 24 + 94 = 478, h + B = 525
    for (const int lines : {1, 40, 60, kRowsPerPage, kRowsPerPage + 1}) {
        const PrintLayout layout = LayOutPrintout(Lines(lines), plan, true, kA4At300);
        int drawn = 0;
        for (const PrintedPage& page : layout.pages) {
            EXPECT_FALSE(page.rows.empty() && page.diagrams.empty()) << "blank page " << page.number;
            for (std::size_t d = 0; d < page.diagrams.size(); ++d) {
                const PrintedDiagram& diagram = page.diagrams[d];
                EXPECT_EQ(diagram.program, ++drawn);
                const bool firstOnPage = d == 0 && page.rows.empty();
                if (firstOnPage) {
                    EXPECT_EQ(diagram.top, 94 + 47);
                } else {
                    EXPECT_LE(diagram.top + layout.diagramBlock, layout.bottomLimit)
                        << lines << " lines, program " << diagram.program;
                }
            }
        }
        EXPECT_EQ(drawn, 16) << lines << " lines";
    }
}

TEST(PrintLayout, ADiagramTallerThanAPageStillGetsItsOwnPage) {
    const PrintMetrics small{25, 47, 2362, 700, 300, 300};  // L = 606, B = 478
    const PrintLayout layout = LayOutPrintout(Lines(1), PlanWithPrograms(3, 16), true, small);
    ASSERT_EQ(layout.pages.size(), 4u);
    EXPECT_EQ(layout.pages[0].diagrams.size(), 0u);
    for (int p = 1; p <= 3; ++p) {
        ASSERT_EQ(layout.pages[p].diagrams.size(), 1u);
        EXPECT_EQ(layout.pages[p].diagrams[0].top, 94 + 47);
    }
}

TEST(PrintLayout, ALongCycleIsScaledToTheWidthBetweenTheMargins) {
    TSignalPlan plan = PlanWithPrograms(2, 2);
    plan.Program[1].TactDuration[0] = 390;
    plan.Program[1].TactDuration[1] = 390;  // 792 half seconds: 4752 dots at 6 a half second
    const PrintLayout layout = LayOutPrintout(Lines(1), plan, true, kA4At300);
    const auto& diagrams = layout.pages[0].diagrams;
    ASSERT_EQ(diagrams.size(), 2u);
    EXPECT_EQ(diagrams[0].halfSecondWidth, 6);
    EXPECT_DOUBLE_EQ(diagrams[1].halfSecondWidth, (2362 - 2 * 250) / 792.0);
}

TEST(PrintLayout, Texts) {
    EXPECT_EQ(PageNumberText(2), "Стр.2");
    EXPECT_EQ(DiagramTitle(16), "Сигнальная программа № (АПП №) 16");
}

}  // namespace
}  // namespace kdt
