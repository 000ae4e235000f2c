#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>

#include "Cli.h"
#include "data/TextEncoding.h"
#include "support/KdtRun.h"
#include "support/TempFolder.h"

namespace kdt {
namespace {

using test::ReadBytes;
using test::TempFolder;

using test::Kdt;
using test::KdtRun;

const std::string kExample = KDT_EXAMPLES_DIR "/crossing.kdt";

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t at = text.find(separator); at != std::string::npos; at = text.find(separator, start)) {
        parts.push_back(text.substr(start, at - start));
        start = at + separator.size();
    }
    parts.push_back(text.substr(start));
    return parts;
}

// Lines of text that ends with a line break after its last line.
std::vector<std::string> LinesOf(const std::string& text, const std::string& lineBreak) {
    EXPECT_TRUE(text.size() >= lineBreak.size() && text.ends_with(lineBreak))
        << "the last line ends with a break";
    std::vector<std::string> lines = Split(text, lineBreak);
    lines.pop_back();
    return lines;
}

// The reviewed report of the example, every section on, printed 1.01.2027.
std::vector<std::string> ExpectedReport() {
    std::ifstream file(KDT_TEST_DATA_DIR "/report/crossing-all.txt", std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return LinesOf(text.str(), "\n");
}

// The first header line names the file the plan was opened from, which
// depends on where the sources are; the rest of the report does not.
void ExpectReportOfTheOpenedExample(std::vector<std::string> lines, std::vector<std::string> expected) {
    ASSERT_FALSE(lines.empty());
    const std::string prefix = std::string(12, ' ') + "Имя проекта : \"";
    EXPECT_EQ(lines[0].rfind(prefix, 0), 0u) << lines[0];
    EXPECT_TRUE(lines[0].ends_with("/crossing.kdt\"")) << lines[0];
    lines.erase(lines.begin());
    expected.erase(expected.begin());
    EXPECT_EQ(lines, expected);
}

std::vector<std::string> TitleLines(const std::vector<std::string>& lines) {
    std::vector<std::string> titles;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(titles),
                 [](const std::string& line) { return line.rfind(" Тип данных", 0) == 0; });
    return titles;
}

TEST(KdtReport, WritesTheWholeReportInWindows1251WithCrLf) {
    TempFolder folder;
    const auto output = folder / "r.txt";
    const KdtRun run =
        Kdt({"report", kExample, "--sections", "all", "--date", "1.01.2027", "--out", output.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");

    const std::vector<std::uint8_t> bytes = ReadBytes(output);
    const std::string text(bytes.begin(), bytes.end());
    std::vector<std::string> lines = LinesOf(text, "\r\n");
    for (std::string& line : lines) {
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "a bare line break in: " << line;
        line = Cp1251ToUtf8(line);
    }
    EXPECT_NE(text.find("\xD2\xE8\xEF \xE4\xE0\xED\xED\xFB\xF5"), std::string::npos)
        << "\"Тип данных\" in Windows-1251";
    ExpectReportOfTheOpenedExample(lines, ExpectedReport());
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"r.txt"});
}

TEST(KdtReport, PrintsTheFirstNineSectionsOnStdoutByDefault) {
    const KdtRun run = Kdt({"report", kExample, "--date", "1.01.2027"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out.find('\r'), std::string::npos) << "stdout gets plain line breaks";

    // Sections 1..9 come first in the whole report, and the note follows them.
    const std::vector<std::string> all = ExpectedReport();
    const auto powerOn = std::find(all.begin(), all.end(), " Тип данных: ВКЛЮЧЕНИЕ ");
    ASSERT_NE(powerOn, all.end());
    std::vector<std::string> expected(all.begin(), powerOn - 1);
    expected.insert(expected.end(), {"", "Примечание: Все длительности измеряются в секундах", ""});
    ExpectReportOfTheOpenedExample(LinesOf(run.out, "\n"), expected);
}

TEST(KdtReport, ChosenSectionsKeepTheirFixedOrder) {
    const KdtRun run = Kdt({"report", kExample, "--sections", "10,2"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(TitleLines(LinesOf(run.out, "\n")),
              (std::vector<std::string>{" Тип данных : ЦВЕТА", " Тип данных: ВКЛЮЧЕНИЕ "}));
}

TEST(KdtReport, TodayIsTheDefaultDate) {
    const KdtRun run = Kdt({"report", kExample, "--sections", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = LinesOf(run.out, "\n");
    ASSERT_GE(lines.size(), 2u);
    const std::regex printed("        Дата распечатки : [1-9][0-9]?\\.(0[1-9]|1[0-2])\\.20[0-9]{2} г\\.");
    EXPECT_TRUE(std::regex_match(lines[1], printed)) << lines[1];
}

TEST(KdtReport, AcceptedDates) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"29.02.2028", "29.02.2028 г."},  // a leap day
        {"01.01.2027", "1.01.2027 г."},   // a day of two digits loses its zero
        {"31.12.1999", "31.12.1999 г."},
    };
    for (const auto& [given, printed] : cases) {
        const KdtRun run = Kdt({"report", kExample, "--sections", "1", "--date", given});
        ASSERT_EQ(run.status, 0) << given << ": " << run.err;
        EXPECT_EQ(LinesOf(run.out, "\n").at(1), "        Дата распечатки : " + printed);
    }
}

TEST(KdtReport, ReadsAnImageOfTheRomTypeGiven) {
    TempFolder folder;
    const std::string image = (folder / "crossing.hex").string();
    ASSERT_EQ(Kdt({"compile", kExample, "--out", image}).status, 0);
    const KdtRun run = Kdt({"report", image, "--rom", "4.2.1", "--sections", "5", "--date", "1.01.2027"});
    ASSERT_EQ(run.status, 0) << run.err;

    const std::vector<std::string> all = ExpectedReport();
    const auto phases =
        std::find(all.begin(), all.end(), " Тип данных : ФАЗЫ          Длительность  NN направлений");
    ASSERT_NE(phases, all.end());
    const auto phasesEnd = std::find(phases, all.end(), std::string(64, '='));
    const std::vector<std::string> lines = LinesOf(run.out, "\n");
    EXPECT_NE(std::search(lines.begin(), lines.end(), phases, phasesEnd + 1), lines.end()) << run.out;
}

TEST(KdtReport, BadUsageIsOneLineAndWritesNothing) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {kExample, kExample},
        {kExample, "--format", "hex"},
        {kExample, "--sections", "0"},
        {kExample, "--sections", "15"},
        {kExample, "--sections", "1,,2"},
        {kExample, "--sections", "3,"},
        {kExample, "--sections", ""},
        {kExample, "--sections", "ALL"},
        {kExample, "--sections", "1-3"},
        {kExample, "--date"},
        {kExample, "--date", "32.01.2027"},
        {kExample, "--date", "29.02.2027"},
        {kExample, "--date", "31.04.2027"},
        {kExample, "--date", "0.01.2027"},
        {kExample, "--date", "1.13.2027"},
        {kExample, "--date", "1.1.2027"},
        {kExample, "--date", "1.01.27"},
        {kExample, "--date", "1.01.2027."},
        {kExample, "--date", "2027-01-01"},
        {kExample, "--rom", "4.3.0"},
        {KDT_EXAMPLES_DIR "/missing.kdt"},
        {KDT_EXAMPLES_DIR "/crossing.hex"},  // an image needs --rom
    };
    TempFolder folder;
    const std::string output = (folder / "r.txt").string();
    for (const std::vector<std::string>& words : cases) {
        std::vector<std::string> arguments = {"report", "--out", output};
        arguments.insert(arguments.end(), words.begin(), words.end());
        SCOPED_TRACE(testing::PrintToString(words));
        const KdtRun run = Kdt(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.rfind("kdt report: ", 0), 0u) << run.err;
        EXPECT_EQ(run.errLines(), 1u) << run.err;
        EXPECT_TRUE(folder.entries().empty());
    }
}

TEST(KdtReport, AnOutputThatCannotBeWrittenIsAClearError) {
    TempFolder folder;
    const KdtRun run = Kdt({"report", kExample, "--out", (folder / "none" / "r.txt").string()});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.errLines(), 1u) << run.err;
}

}  // namespace
}  // namespace kdt
