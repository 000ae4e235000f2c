// The report text. Expected lines are written with S(n) for n blanks and
// D(n) for n dashes, so that every column can be checked against the layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>

#include "ExampleCrossing.h"
#include "report/ReportText.h"
#include "support/TempFolder.h"

namespace kdt {
namespace {

std::string S(std::size_t n) {
    return std::string(n, ' ');
}
std::string D(std::size_t n) {
    return std::string(n, '-');
}
const std::string kSep(64, '=');
const std::vector<std::string> kNote = {"", "Примечание: Все длительности измеряются в секундах", ""};
constexpr ReportDate kDate{1, 1, 2027};

TSignalPlan Example() {
    TSignalPlan plan{};
    example::BuildExampleCrossing(plan);
    StoreText(plan.ProjectFileName, "c:\\kdt_win\\project\\crossing.kdt");
    return plan;
}

ReportSections Only(std::initializer_list<int> switches) {
    ReportSections sections{};
    for (const int number : switches) sections[number - 1] = true;
    return sections;
}

std::vector<std::string> Body(const std::vector<std::string>& lines) {
    return std::vector<std::string>(lines.begin() + std::min<std::size_t>(5, lines.size()), lines.end());
}

std::vector<std::string> Joined(std::vector<std::string> first, const std::vector<std::string>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

bool ContainsBlock(const std::vector<std::string>& lines, const std::vector<std::string>& block) {
    return std::search(lines.begin(), lines.end(), block.begin(), block.end()) != lines.end();
}

std::string Numbered(const std::vector<std::string>& lines) {
    std::ostringstream text;
    for (std::size_t i = 0; i < lines.size(); ++i) text << i + 1 << ": [" << lines[i] << "]\n";
    return text.str();
}

TEST(ReportText, HeaderAndNoteAloneWhenNothingIsSelected) {
    TSignalPlan plan = Example();
    StoreText(plan.Comment, "\xCF\xF0\xE8\xEC\xE5\xF0");  // "Пример" in Windows-1251
    const std::vector<std::string> lines = ComposeReport(plan, ReportSections{}, ReportDate{8, 12, 2026});
    const std::vector<std::string> expected = {
        S(12) + "Имя проекта : \"c:\\kdt_win\\project\\crossing.kdt\"",
        S(8) + "Дата распечатки : 8.12.2026 г.",
        S(4) + "Комментарий к файлу : Пример",
        "Версия ПЗУ пользователя : v4.2.1",
        kSep,
        "",
        "Примечание: Все длительности измеряются в секундах",
        "",
    };
    EXPECT_EQ(lines, expected) << Numbered(lines);
}

// Cases whose whole text after the header is known.
struct WholeCase {
    const char* name;
    std::function<void(TSignalPlan&)> change;
    ReportSections sections;
    std::vector<std::string> body;
};

class ReportWholeText : public testing::TestWithParam<WholeCase> {};

TEST_P(ReportWholeText, Body) {
    TSignalPlan plan = Example();
    GetParam().change(plan);
    const std::vector<std::string> body = Body(ComposeReport(plan, GetParam().sections, kDate));
    EXPECT_EQ(body, GetParam().body) << Numbered(body);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReportWholeText,
                         testing::
                             Values(
                                 WholeCase{"NoDirectionsLeaveOneEmptyLineAndNoSeparator",
                                           [](TSignalPlan& p) { p.DirectionCount = 0; }, Only({4}),
                                           Joined({""}, kNote)},
                                 WholeCase{"NoProgramsLeaveOnlyTheSeparator",
                                           [](TSignalPlan& p) { p.ProgramCount = 0; }, Only({7}),
                                           Joined({kSep}, kNote)},
                                 WholeCase{"NoProgramsLeaveTheCoordinatorItsTitleAndCount",
                                           [](TSignalPlan& p) { p.ProgramCount = 0; }, Only({11}),
                                           Joined({"", " Тип данных: КООРДИНАТОР ", S(3) + D(37),
                                                   S(4) + "Число контроллеров :  1", kSep},
                                                  kNote)},
                                 WholeCase{"PowerOnWithTheScheduleProgramHasNoNumber",
                                           [](TSignalPlan& p) { p.PowerOnState = 3; }, Only({10}),
                                           Joined({"", " Тип данных: ВКЛЮЧЕНИЕ ", "",
                                                   S(7) + "Состояние при включении : Программа ",
                                                   S(7) + "Длительность состояния  :  10", kSep},
                                                  kNote)},
                                 WholeCase{"PowerOnStateOutsideItsLimitsIsAProgramToo",
                                           [](TSignalPlan& p) { p.PowerOnState = 200; }, Only({10}),
                                           Joined({"", " Тип данных: ВКЛЮЧЕНИЕ ", "",
                                                   S(7) + "Состояние при включении : Программа ",
                                                   S(7) + "Длительность состояния  :  10", kSep},
                                                  kNote)},
                                 WholeCase{"SpeedIndicatorFollowsTheNoteAndListsAllEightRows",
                                           [](TSignalPlan& p) {
                                               p.SpeedSchedule[1] = {7, 5, {40, 50, 60, 70, 80, 90, 100, 5}};
                                           },
                                           Only({12}),
                                           Joined(kNote, {"",
                                                          " Тип данных: УСК          (Направление/Скорость)",
                                                          S(10) + D(40),
                                                          S(11) + "Часы   Минуты   1  2  3  4  5  6  7  8",
                                                          S(10) + D(40),
                                                          S(11) + "  0" + S(5) + "  0" + S(4) +
                                                              " 60 60 60 60 60 60 60 60",
                                                          S(11) + "  7" +
                                                              S(5) + "  5" + S(4) + " 40 50 60 70 80 90100  5",
                                                          S(11) + " 24" +
                                                              S(5) + "  0" + S(4) + " 60 60 60 60 60 60 60 60",
                                                          S(11) + " 24" +
                                                              S(5) + "  0" + S(4) + " 60 60 60 60 60 60 60 60",
                                                          S(11) + " 24" +
                                                              S(5) + "  0" + S(4) + " 60 60 60 60 60 60 60 60",
                                                          S(11) + " 24" +
                                                              S(5) + "  0" + S(4) + " 60 60 60 60 60 60 60 60",
                                                          S(11) + " 24" +
                                                              S(5) + "  0" + S(4) + " 60 60 60 60 60 60 60 60",
                                                          S(11) + " 24" +
                                                              S(5) + "  0" + S(4) + " 60 60 60 60 60 60 60 60",
                                                          kSep})},
                                 WholeCase{"DetectorsListEveryUsedZoneWhateverTheZoneCount",
                                           [](TSignalPlan& p) {
                                               p.DetectorCount = 2;
                                               p.Detector[1].ZoneCount = 0;
                                               p.Detector[1].ZoneDirections[47] = 0x8001;
                                               p.Detector[2].ZoneDirections[0] =
                                                   0xFFFF;  // detector 3 is beyond the count
                                           },
                                           Only({13}),
                                           Joined(kNote,
                                                  {"", " Тип данных: Детекторы транспорта (направления)",
                                                   S(10) + D(41),
                                                   S(11) + "Детектор  Зона         1234567890123456",
                                                   S(10) + D(41),
                                                   S(11) + "  2" + S(5) + " 48" + S(12) + "O||||||||||||||O",
                                                   kSep})},
                                 WholeCase{"ExtraLinesRunOnWhenASlotHasNoTerminator",
                                           [](TSignalPlan& p) {
                                               std::memset(p.ExtraLines, 0, sizeof p.ExtraLines);
                                               std::memcpy(p.ExtraLines[0], "ip=10.0.0.1", 11);
                                               std::memcpy(p.ExtraLines[4], "\xD3\xEB. 1", 5);  // "Ул. 1"
                                               std::memcpy(p.ExtraLines[5], "0123456789ABCDEF", 16);
                                               std::memcpy(p.ExtraLines[6], "xy", 2);
                                               std::memcpy(p.ExtraLines[31], "last line 16 ch.", 16);
                                           },
                                           Only({14}),
                                           [] {
                                               std::vector<std::string> body = Joined(
                                                   kNote,
                                                   {"", " Тип данных: Дополнительные параметры",
                                                    S(10) + D(40), S(1) + "TCP/IP   : \"ip=10.0.0.1\"",
                                                    S(10) + D(40), S(11) + "строка №  строка (16 символов)",
                                                    S(10) + D(40), S(11) + "  1" + S(8) + "\"Ул. 1\"",
                                                    S(11) + "  2" + S(8) + "\"0123456789ABCDEFxy\"",
                                                    S(11) + "  3" + S(8) + "\"xy\""});
                                               for (int n = 4; n <= 27; ++n)
                                                   body.push_back(S(11) + (n < 10 ? "  " : " ") +
                                                                  std::to_string(n) + S(8) + "\"\"");
                                               body.push_back(S(11) + " 28" + S(8) + "\"last line 16 ch.\"");
                                               body.push_back(kSep);
                                               return body;
                                           }()}),
                         [](const testing::TestParamInfo<WholeCase>& info) { return info.param.name; });

// Cases checked by a run of lines that must appear together.
struct BlockCase {
    const char* name;
    std::function<void(TSignalPlan&)> change;
    ReportSections sections;
    std::vector<std::string> block;
};

class ReportLines : public testing::TestWithParam<BlockCase> {};

TEST_P(ReportLines, ContainBlock) {
    TSignalPlan plan = Example();
    GetParam().change(plan);
    const std::vector<std::string> lines = ComposeReport(plan, GetParam().sections, kDate);
    EXPECT_TRUE(ContainsBlock(lines, GetParam().block)) << "expected\n"
                                                        << Numbered(GetParam().block) << "in\n"
                                                        << Numbered(lines);
}

void NoChange(TSignalPlan&) {}

void OnlyColours(TSignalPlan& p, std::initializer_list<std::pair<int, std::uint8_t>> colours) {
    std::memset(p.ChannelColour, 0, sizeof p.ChannelColour);
    for (const auto& [channel, colour] : colours) p.ChannelColour[channel - 1] = colour;
}

const std::string kDayRule = S(10) + D(37);
const std::string kDayHeading = S(11) + "Часы   Минуты   Состояние/Программа";
const std::string kButton1 =
    S(2) + "  1" + S(7) + "  4" + S(7) + " 12" + S(5) + std::string(26, '|') + "O|||||";
const std::string kButton2 =
    S(2) + "  2" + S(7) + "  5" + S(7) + " 12" + S(5) + std::string(27, '|') + "O||||";

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, ReportLines,
    testing::Values(
        BlockCase{"TheClosingRowOfADayIsPrinted", NoChange, Only({9}),
                  {" Тип данных: СУТОЧНЫЙ ГРАФИК Воскресенье", kDayRule, kDayHeading, kDayRule,
                   S(11) + "  0" + S(5) + "  0" + S(5) + "Желтое мигание",
                   S(11) + "  7" + S(5) + " 30" + S(5) + "Программа   1",
                   S(11) + " 23" + S(5) + "  0" + S(5) + "Желтое мигание",
                   S(11) + " 24" + S(5) + "  0" + S(5) + "Отключенный светофор", "",
                   " Тип данных: СУТОЧНЫЙ ГРАФИК Понедельник"}},
        BlockCase{"ADayStartingAt24PrintsOnlyThatRow", [](TSignalPlan& p) { p.Schedule[3][0] = {24, 0, 1}; },
                  Only({9}),
                  {" Тип данных: СУТОЧНЫЙ ГРАФИК Среда", kDayRule, kDayHeading, kDayRule,
                   S(11) + " 24" + S(5) + "  0" + S(5) + "Кругом красное", "", " Тип данных: СУТОЧНЫЙ ГРАФИК Четверг"}},
        BlockCase{"ADayOfSixteenRowsEndsAfterTheLastRow",
                  [](TSignalPlan& p) {
                      for (int r = 0; r < kScheduleRows; ++r)
                          p.Schedule[2][r] = {static_cast<std::uint8_t>(r), 0, kCommandAllRed};
                  },
                  Only({9}),
                  {S(11) + " 14" + S(5) + "  0" + S(5) + "Кругом красное",
                   S(11) + " 15" + S(5) + "  0" + S(5) + "Кругом красное", "", " Тип данных: СУТОЧНЫЙ ГРАФИК Среда"}},
        BlockCase{"ProgramCommandsCountFrom128",
                  [](TSignalPlan& p) {
                      p.Schedule[6][1] = {7, 30, 128};
                      p.Schedule[6][2] = {23, 0, 143};
                  },
                  Only({9}),
                  {S(11) + "  7" + S(5) + " 30" + S(5) + "Программа   1",
                   S(11) + " 23" + S(5) + "  0" + S(5) + "Программа  16"}},
        BlockCase{"ColourNamesInTheColourTable",
                  [](TSignalPlan& p) { OnlyColours(p, {{1, 1}, {2, 2}, {3, 3}, {18, 3}, {19, 2}, {20, 1}}); },
                  Only({2}),
                  {S(1) + D(24) + S(8) + D(24), S(1) + "№ канала     Цвет" + S(15) + "№ канала     Цвет",
                   S(1) + D(24) + S(8) + D(24),
                   S(4) + "  1" + S(3) + "Красный" + S(19) + " 17" + S(3) + "Не используется",
                   S(4) + "  2" + S(3) + S(4) + "Желтый" + S(16) + " 18" + S(3) + S(8) + "Зеленый",
                   S(4) + "  3" + S(3) + S(8) + "Зеленый" + S(11) + " 19" + S(3) + S(4) + "Желтый",
                   S(4) + "  4" + S(3) + "Не используется" + S(11) + " 20" + S(3) + "Красный"}},
        BlockCase{"ColourLettersAboveTheSettings",
                  [](TSignalPlan& p) { OnlyColours(p, {{1, 1}, {2, 2}, {3, 3}, {18, 3}, {19, 2}, {20, 1}}); },
                  Only({3}),
                  {"", " Тип данных : УСТАВКИ    Номера каналов ", S(23) + S(9) + "1         2         3" + S(2),
                   S(23) + "12345678901234567890123456789012",
                   S(23) + "KЖЗ" + std::string(14, '.') + "ЗЖK" + std::string(12, '.')}},
        BlockCase{"MaskBitsRunFromChannelOne", [](TSignalPlan& p) { p.YellowFlashMask = 0x80000003u; }, Only({3}),
                  {S(8) + "Желтое мигание OO" + std::string(29, '|') + "O"}},
        BlockCase{"InsertionPhase255PrintsAs256OnA42xRom", [](TSignalPlan& p) { p.TvpInsertPhase[0] = 255; },
                  Only({8}), {kButton1, S(4) + "Внедряется в фазу256", kButton2, S(4) + "Внедряется в фазу  3", kSep}},
        BlockCase{"NoInsertionLinesBeforeThe42xRoms", [](TSignalPlan& p) { p.RomVersion = kRom413; }, Only({8}),
                  {S(1) + D(28) + S(1) + "KЖЗKЖЗKЖЗKЖЗKЗKЗKЗKЗKЖЗKЖЗЖЖ....", kButton1, kButton2, kSep}},
        BlockCase{"AnOddHalfSecondValueDropsTheHalf", [](TSignalPlan& p) { p.MinPhaseDuration = 7; }, Only({1}),
                  {"Минимальная длительность фазы : 3"}},
        BlockCase{"AnOddTactDurationDropsTheHalf", [](TSignalPlan& p) { p.Program[0].TactDuration[0] = 7; },
                  Only({7}),
                  {" ПРОГРАММА  1" + S(6) + "N Такта   N Фазы   Длит.фазы  Длит.промтакта", S(18) + D(46),
                   S(21) + "  1" + S(7) + "  1" + S(7) + "  3" + S(8) + "  6"}},
        BlockCase{"NetworkAddressOfASaudtController",
                  [](TSignalPlan& p) {
                      p.NetworkType = 5;
                      p.NetworkAddress = 17;
                  },
                  Only({1}),
                  {S(4) + "Работа контроллера в сети : САУДТ \"НАРТ\"", S(17) + "Адрес в сети : 17", kSep}},
        BlockCase{"NoAddressWithoutANetwork", [](TSignalPlan& p) { p.NetworkAddress = 17; }, Only({1}),
                  {S(4) + "Работа контроллера в сети : НЕТ", S(17) + "Адрес в сети : ", kSep}},
        BlockCase{"NoAddressWhenItIsZero", [](TSignalPlan& p) { p.NetworkType = 3; }, Only({1}),
                  {S(4) + "Работа контроллера в сети : Ведущий", S(17) + "Адрес в сети : ", kSep}},
        BlockCase{"InterfaceNames",
                  [](TSignalPlan& p) {
                      p.VpuInterface = 1;
                      p.TvpInterface = 0;
                  },
                  Only({1}), {S(22) + "Тип ВПУ : Последовательный", S(22) + "Тип ТВП : Параллельный"}},
        BlockCase{"RecordTextKeepsToItsLine", [](TSignalPlan& p) { StoreText(p.Comment, "a\tb\r\nc"); },
                  ReportSections{}, {S(4) + "Комментарий к файлу : a?b??c"}}),
    [](const testing::TestParamInfo<BlockCase>& info) { return info.param.name; });

// Values no valid plan holds still print in their fields: a number too wide
// for three characters in full, a code without a name as "?" and the code.
INSTANTIATE_TEST_SUITE_P(
    OutOfLimits, ReportLines,
    testing::Values(
        BlockCase{"ColourAbove3",
                  [](TSignalPlan& p) {
                      OnlyColours(p, {{1, 7}});
                  },
                  Only({2, 3}),
                  {S(4) + "  1" + S(3) + "?7" + S(24) + " 17" + S(3) + "Не используется"}},
        BlockCase{"ColourAbove3IsADotAmongTheLetters",
                  [](TSignalPlan& p) {
                      OnlyColours(p, {{1, 7}});
                  },
                  Only({2, 3}),
                  {S(23) + std::string(32, '.')}},
        BlockCase{"RomTypeAbove5",
                  [](TSignalPlan& p) { p.RomVersion = 9; },
                  ReportSections{},
                  {"Версия ПЗУ пользователя : ?9", kSep}},
        BlockCase{"ScheduleCommandWithoutAName",
                  [](TSignalPlan& p) { p.Schedule[0][1].Command = 50; },
                  Only({9}),
                  {S(11) + "  7" + S(5) + " 30" + S(5) + "?50"}},
        BlockCase{"NetworkTypeAbove5",
                  [](TSignalPlan& p) { p.NetworkType = 9; },
                  Only({1}),
                  {S(4) + "Работа контроллера в сети : НЕТ"}},
        BlockCase{
            "InterfaceAbove1", [](TSignalPlan& p) { p.VpuInterface = 2; }, Only({1}), {S(22) + "Тип ВПУ : "}},
        BlockCase{"FiveDigitCycle",
                  [](TSignalPlan& p) { p.Program[1].CycleLength = 20000; },
                  Only({7, 11}),
                  {S(18) + D(46), S(23) + "Цикл программы:" + S(3) + "10000"}},
        BlockCase{"FiveDigitCycleForTheCoordinator",
                  [](TSignalPlan& p) { p.Program[1].CycleLength = 20000; },
                  Only({7, 11}),
                  {S(4) + "Программа :  2" + S(2) + "Длительность(сек) : 10000"}},
        BlockCase{"FourDigitBlinkCount",
                  [](TSignalPlan& p) { p.Direction[0].GreenBlinkCount = 1234; },
                  Only({4}),
                  {S(23) + "Число миганий зеленого" + S(2) + "1234" + S(5) + "  3"}},
        BlockCase{"PedestrianPhaseOfSixteenBits",
                  [](TSignalPlan& p) { p.Tvp[1].Phase = 65535; },
                  Only({8}),
                  {S(2) + "  1" + S(7) + "65536" + S(7) + " 12" + S(5) + std::string(26, '|') + "O|||||"}},
        BlockCase{"GreenStreet255",
                  [](TSignalPlan& p) { p.GreenStreet[4] = 255; },
                  Only({6}),
                  {S(36) + "256" + S(7) + "  5", kSep}}),
    [](const testing::TestParamInfo<BlockCase>& info) { return info.param.name; });

// A damaged plan's counts may exceed the arrays they count. The report lists
// each whole array and nothing beyond it: apart from the lines that print the
// counts themselves, it is the report of the same plan with every count at
// its array's size.
TEST(ReportText, CountsAboveTheArraysListTheWholeArraysOnly) {
    TSignalPlan full = Example();
    for (int d = 0; d < kMaxDetectors; ++d)
        for (int z = 0; z < kMaxDetectorZones; ++z) full.Detector[d].ZoneDirections[z] = 0x0101;
    full.PhaseCount = kMaxPhases;
    full.DirectionCount = kMaxDirections;
    full.ProgramCount = kMaxPrograms;
    for (auto& program : full.Program) program.TactCount = kMaxTacts;
    full.TvpButtonCount = kMaxTvpButtons;
    full.DetectorCount = kMaxDetectors;
    full.CoordControllerCount = kMaxCoordControllers;

    TSignalPlan damaged = full;
    damaged.PhaseCount = 200;
    damaged.DirectionCount = 255;
    damaged.ProgramCount = 99;
    for (auto& program : damaged.Program) program.TactCount = 1000;
    damaged.TvpButtonCount = 200;
    damaged.DetectorCount = 9;
    damaged.CoordControllerCount = 255;

    const auto fullLines = ComposeReport(full, AllReportSections(), kDate);
    const auto damagedLines = ComposeReport(damaged, AllReportSections(), kDate);
    ASSERT_EQ(damagedLines.size(), fullLines.size());
    std::vector<std::pair<std::string, std::string>> differences;
    for (std::size_t i = 0; i < fullLines.size(); ++i)
        if (fullLines[i] != damagedLines[i]) differences.emplace_back(fullLines[i], damagedLines[i]);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {S(20) + "Всего фаз : 16", S(20) + "Всего фаз : 200"},
        {S(12) + "Всего направлений : 16", S(12) + "Всего направлений : 255"},
        {S(15) + "Всего программ : 16", S(15) + "Всего программ : 99"},
        {S(13) + "Всего кнопок ТВП : 4", S(13) + "Всего кнопок ТВП : 200"},
        {S(4) + "Число контроллеров : 32", S(4) + "Число контроллеров :255"},
    };
    EXPECT_EQ(differences, expected);

    // The full plan itself lists 16 directions, 16 programs and 4 x 48 zones.
    const auto count = [&](const std::string& prefix, const std::string& suffix = "") {
        return std::count_if(fullLines.begin(), fullLines.end(), [&](const std::string& line) {
            return line.rfind(prefix, 0) == 0 && line.ends_with(suffix);
        });
    };
    EXPECT_EQ(count(" Тип данных : НАПРАВЛЕНИЕ "), 16);
    EXPECT_EQ(count(" ПРОГРАММА"), 16);
    EXPECT_EQ(count(S(10) + " 32" + S(8)), 16) << "controller 32 in each program";
    EXPECT_EQ(count(S(11), S(12) + "O|||||||O|||||||"), 4 * 48) << "every zone of every detector";
}

TEST(ReportText, ExtraLinesWithoutAnyTerminatorStopAtTheLastSlot) {
    TSignalPlan plan = Example();
    std::memset(plan.ExtraLines, 'A', sizeof plan.ExtraLines);
    const auto lines = ComposeReport(plan, Only({14}), kDate);
    EXPECT_TRUE(ContainsBlock(lines, {S(1) + "TCP/IP   : \"" + std::string(512, 'A') + "\""}));
    EXPECT_TRUE(ContainsBlock(lines, {S(11) + "  1" + S(8) + "\"" + std::string(448, 'A') + "\""}));
    EXPECT_TRUE(ContainsBlock(lines, {S(11) + " 28" + S(8) + "\"" + std::string(16, 'A') + "\"", kSep}));
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

// The whole report of the bundled example with every section; the expected
// file was checked column by column against the layout.
TEST(ReportText, WholeReportOfTheExampleCrossing) {
    const std::vector<std::string> expected = ReadLines(KDT_TEST_DATA_DIR "/report/crossing-all.txt");
    ASSERT_FALSE(expected.empty());
    const std::vector<std::string> lines = ComposeReport(Example(), AllReportSections(), kDate);
    for (std::size_t i = 0; i < std::min(lines.size(), expected.size()); ++i)
        ASSERT_EQ(lines[i], expected[i]) << "line " << i + 1;
    EXPECT_EQ(lines.size(), expected.size());
}

TEST(ReportText, DefaultSectionsAreTheFirstNine) {
    EXPECT_EQ(DefaultReportSections(), Only({1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(AllReportSections(), Only({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
}

TEST(ReportFile, IsWindows1251WithCrLfAfterEveryLine) {
    test::TempFolder folder;
    const auto path = folder / "report.txt";
    test::WriteBytes(path, std::vector<std::uint8_t>(100, 'x'));
    const std::vector<std::string> lines = {"№ K Ж", "", "Цикл", ""};
    ASSERT_EQ(WriteReportFile(path, lines).error, "");
    const std::vector<std::uint8_t> bytes = test::ReadBytes(path);
    const std::string expected = "\xB9 K \xC6\r\n\r\n\xD6\xE8\xEA\xEB\r\n\r\n";
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected)
        << "the old file is replaced, not appended to";
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"report.txt"}) << "no temporary file is left";
}

TEST(ReportFile, AFolderThatCannotBeWrittenIsReported) {
    test::TempFolder folder;
    EXPECT_FALSE(WriteReportFile(folder / "missing" / "report.txt", {"a"}).ok());
}

}  // namespace
}  // namespace kdt
