// The plan comparison: one table over the record, named as the report names
// the fields, split by what the ROM image holds.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <set>
#include <sstream>

#include "ExampleCrossing.h"
#include "data/TextEncoding.h"
#include "report/PlanDiff.h"
#include "rom/KonvertHexBin.h"
#include "rom/RomImageBuilder.h"

namespace kdt {
namespace {

TSignalPlan Example() {
    TSignalPlan plan{};
    example::BuildExampleCrossing(plan);
    return plan;
}

std::string Lines(const std::vector<PlanDifference>& differences, bool imageOnly = false) {
    std::string text;
    for (const std::string& line : DifferenceLines(differences, imageOnly)) text += line + "\n";
    return text;
}

// One changed value per case; together the cases reach every section.
struct SectionCase {
    const char* name;
    std::function<void(TSignalPlan&)> change;
    PlanSection section;
    const char* heading;
    const char* line;
};

const SectionCase kSectionCases[] = {
    {"Header", [](TSignalPlan& p) { StoreText(p.Comment, "x"); }, PlanSection::Header,
     "Не входит в образ ПЗУ", "Комментарий к файлу: \"Пример: перекрёсток ул. Ленина и пр. Мира\" → \"x\""},
    {"Parameters", [](TSignalPlan& p) { p.MinPhaseDuration = 9; }, PlanSection::Parameters, "Параметры",
     "Параметры: минимальная длительность фазы 3 → 4,5 с"},
    {"Colours", [](TSignalPlan& p) { p.ChannelColour[4] = 3; }, PlanSection::Colours, "Не входит в образ ПЗУ",
     "Канал 5: цвет Желтый → Зеленый"},
    {"Settings", [](TSignalPlan& p) { p.YellowFlashMask |= 1u << 29; }, PlanSection::Settings, "Уставки",
     "Уставки: желтое мигание 2, 5, 8, 11, 22, 25 → 2, 5, 8, 11, 22, 25, 30"},
    {"Directions", [](TSignalPlan& p) { p.Direction[2].TailDuration = 8; }, PlanSection::Directions,
     "Направления", "Направление 3: длительность \"Хвост\" 3 → 4 с"},
    {"Phases", [](TSignalPlan& p) { p.PhaseDirections[1] = 1u << 8; }, PlanSection::Phases, "Фазы",
     "Фаза 2: направления 9, 10 → 9"},
    {"GreenStreets", [](TSignalPlan& p) { p.GreenStreet[2] = 0; }, PlanSection::GreenStreets, "Зеленые улицы",
     "Фаза 3: зеленая улица 3 → 1"},
    {"Programs", [](TSignalPlan& p) { p.Program[1].TactDuration[2] = 50; }, PlanSection::Programs,
     "Программы", "Программа 2, такт 3: длительность фазы 22 → 25 с"},
    {"PedestrianCall", [](TSignalPlan& p) { p.Tvp[2].Duration = 30; }, PlanSection::PedestrianCall,
     "Табло вызова пешеходом", "Кнопка ТВП 2: длительность 12 → 15 с"},
    {"DailySchedule", [](TSignalPlan& p) { p.Schedule[1][3].Minute = 30; }, PlanSection::DailySchedule,
     "Суточный график", "Суточный график, пн, строка 4: 10:00 АПП 1 → 10:30 АПП 1"},
    {"PowerOn", [](TSignalPlan& p) { p.PowerOnDuration = 20; }, PlanSection::PowerOn, "Включение контроллера",
     "Включение контроллера: длительность состояния 10 → 20 с"},
    {"Coordinator", [](TSignalPlan& p) { p.CoordDelay[0][0] = 5; }, PlanSection::Coordinator,
     "План координации", "План координации, программа 1, контроллер 1: задержка 1 → 5 с"},
    {"SpeedIndicator", [](TSignalPlan& p) { p.SpeedSchedule[0].Speed[2] = 50; }, PlanSection::SpeedIndicator,
     "УСК", "УСК, строка 1: скорость 3 60 → 50 км/ч"},
    {"Detectors", [](TSignalPlan& p) { p.DetectorCount = 1; }, PlanSection::Detectors, "Детекторы",
     "Детекторы: число детекторов 0 → 1"},
    {"Additional", [](TSignalPlan& p) { std::memcpy(p.ExtraLines[6], "abc", 3); }, PlanSection::Additional,
     "Дополнительно", "Дополнительно, строка 3: \"\" → \"abc\""},
};

class EverySection : public testing::TestWithParam<SectionCase> {};

TEST_P(EverySection, OneChangeIsOneLineUnderItsHeading) {
    const SectionCase& c = GetParam();
    const TSignalPlan a = Example();
    TSignalPlan b = a;
    c.change(b);
    const std::vector<PlanDifference> differences = ComparePlans(a, b);
    ASSERT_EQ(differences.size(), 1u) << Lines(differences);
    EXPECT_EQ(differences[0].section, c.section);
    EXPECT_EQ(Lines(differences), std::string(c.heading) + "\n  " + c.line + "\n");
}

INSTANTIATE_TEST_SUITE_P(PlanDiff, EverySection, testing::ValuesIn(kSectionCases),
                         [](const testing::TestParamInfo<SectionCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(PlanDiff, TheSectionCasesReachEverySectionOfTheReport) {
    std::set<PlanSection> reached;
    for (const SectionCase& c : kSectionCases) reached.insert(c.section);
    EXPECT_EQ(reached.size(), 15u) << "the fourteen report sections and the header";
}

TEST(PlanDiff, AnyPlanEqualsItself) {
    const TSignalPlan example = Example();
    EXPECT_TRUE(ComparePlans(example, example).empty());
    TSignalPlan full = example;
    full.DetectorCount = 4;
    full.ProgramCount = 16;
    full.NetworkType = 3;
    full.CoordControllerCount = 6;
    for (auto& program : full.Program) program.TactCount = 16;
    EXPECT_TRUE(ComparePlans(full, full).empty());
}

// The lines come in the report's order: sections as the report has them,
// a program's own values before its tacts, tacts in turn; what no image
// holds comes last.
TEST(PlanDiff, LinesFollowTheReportsOrder) {
    const TSignalPlan a = Example();
    TSignalPlan b = a;
    StoreText(b.Comment, "");
    b.Program[0].TactInterDuration[1] = 14;
    b.Program[0].TactPhase[0] = 4;
    b.Program[0].CycleLength = 168;
    b.ConflictRepeatCount = 6;
    b.Schedule[0][1].Command = kCommandFirstProgram + 1;
    EXPECT_EQ(Lines(ComparePlans(a, b)),
              "Параметры\n"
              "  Параметры: число повторов на конфликт 5 → 6\n"
              "Программы\n"
              "  Программа 1: цикл программы 83 → 84 с\n"
              "  Программа 1, такт 1: фаза 1 → 5\n"
              "  Программа 1, такт 2: длительность промтакта 6 → 7 с\n"
              "Суточный график\n"
              "  Суточный график, вс, строка 2: 07:30 АПП 1 → 07:30 АПП 2\n"
              "Не входит в образ ПЗУ\n"
              "  Комментарий к файлу: \"Пример: перекрёсток ул. Ленина и пр. Мира\" → \"\"\n");
    EXPECT_EQ(Lines(ComparePlans(a, b), true).find("Комментарий"), std::string::npos);
}

// Slots beyond the counts are neither reported nor run; a slot one plan
// uses is compared, and so is a schedule row after the end row that the
// lookup still reads.
TEST(PlanDiff, OnlyElementsInUseInEitherPlanAreCompared) {
    const TSignalPlan a = Example();
    TSignalPlan b = a;
    b.Program[0].TactDuration[5] = 2;  // tact 6 of a three-tact program
    b.Direction[12].HeadMask = 1;      // direction 13 of ten
    b.Schedule[0][9] = {24, 5, 0};     // an unused row after the end row
    EXPECT_TRUE(ComparePlans(a, b).empty()) << Lines(ComparePlans(a, b));

    b.Program[0].TactCount = 6;
    b.Schedule[0][9] = {12, 5, 0};
    EXPECT_EQ(Lines(ComparePlans(a, b)),
              "Программы\n"
              "  Программа 1: число тактов 3 → 6\n"
              "  Программа 1, такт 6: длительность фазы 20 → 1 с\n"
              "Суточный график\n"
              "  Суточный график, вс, строка 10: 24:00 ОС → 12:05 ОС\n");
}

TEST(PlanDiff, ValuesThatReadAlikeShowTheirBytes) {
    const TSignalPlan a = Example();
    TSignalPlan b = a;
    b.ExtraLines[4][15] = 'x';  // after the line's terminating zero
    const std::vector<PlanDifference> differences = ComparePlans(a, b);
    ASSERT_EQ(differences.size(), 1u);
    EXPECT_EQ(differences[0].oldValue.substr(0, 6), "[CF E5");
    EXPECT_EQ(differences[0].newValue.substr(differences[0].newValue.size() - 4), " 78]");
    EXPECT_NE(differences[0].oldValue, differences[0].newValue);

    // A record string counts its valid characters only.
    TSignalPlan c = a;
    c.Comment.Text[200] = 'y';
    EXPECT_TRUE(ComparePlans(a, c).empty());
}

TEST(PlanDiff, JsonListsTheTextsFields) {
    const TSignalPlan a = Example();
    TSignalPlan b = a;
    StoreText(b.Comment, "a \"b\" \\c\x01");
    b.Program[1].TactDuration[2] = 50;
    EXPECT_EQ(
        DifferencesJson(ComparePlans(a, b), false),
        "[\n"
        "  {\"section\": \"Программы\", \"item\": \"Программа 2, такт 3\", \"field\": \"длительность фазы\", "
        "\"old\": \"22 с\", \"new\": \"25 с\"},\n"
        "  {\"section\": \"Не входит в образ ПЗУ\", \"item\": \"Комментарий к файлу\", \"field\": \"\", "
        "\"old\": \"\\\"Пример: перекрёсток ул. Ленина и пр. Мира\\\"\", \"new\": \"\\\"a \\\"b\\\" "
        "\\\\c?\\\"\"}\n"
        "]\n");
    EXPECT_EQ(DifferencesJson(ComparePlans(a, a), false), "[]\n");
    EXPECT_EQ(DifferencesJson(ComparePlans(a, b), true).find("Комментарий"), std::string::npos);
}

// The command line writes the differences as it finds them; what it writes
// is the collected text, also when it is written in many pieces.
TEST(PlanDiff, WritingAsTheyAreFoundGivesTheCollectedText) {
    const TSignalPlan a = Example();
    TSignalPlan b = a;
    std::uint8_t* bytes = RecordBytes(b).data();
    for (std::size_t i = 0; i < kSignalPlanSize; ++i) bytes[i] = static_cast<std::uint8_t>(bytes[i] * 7 + 3);
    b.PhaseCount = b.DirectionCount = b.ProgramCount = 16;
    b.RomVersion = a.RomVersion;
    const std::vector<PlanDifference> differences = ComparePlans(a, b);
    ASSERT_GT(differences.size(), 1000u);
    for (const bool imageOnly : {false, true}) {
        std::ostringstream text;
        std::ostringstream json;
        const std::size_t lines = WriteDifferences(a, b, imageOnly, DifferenceFormat::Text, text);
        WriteDifferences(a, b, imageOnly, DifferenceFormat::Json, json);
        EXPECT_EQ(text.str(), DifferenceText(differences, imageOnly));
        EXPECT_GT(text.str().size(), 64u * 1024);
        EXPECT_EQ(json.str(), DifferencesJson(differences, imageOnly));
        EXPECT_EQ(lines, imageOnly ? static_cast<std::size_t>(
                                         std::count_if(differences.begin(), differences.end(),
                                                       [](const PlanDifference& d) { return d.inImage; }))
                                   : differences.size());
    }
}

// ---- the table against the ROM image builder ---------------------------------

std::vector<std::uint8_t> Image(const TSignalPlan& plan) {
    std::vector<std::string> lines;
    EXPECT_TRUE(BuildRomImage(plan, lines));
    return HexToBin(lines).image;
}

// A change the element's encoding keeps in every layout: half-seconds by a
// whole second (4.2.x images store whole seconds), text by a character,
// anything else by its lowest bit.
void ChangeElement(const PlanField& field, TSignalPlan& plan, int i, int j) {
    std::uint8_t* bytes = RecordBytes(plan).data() + field.OffsetOf(i, j);
    switch (field.format) {
        case ValueFormat::HalfSeconds:
            bytes[0] = static_cast<std::uint8_t>(bytes[0] + 2);
            break;
        case ValueFormat::RecordString:
            bytes[1] ^= 1;
            break;
        case ValueFormat::FixedText:
            bytes[0] = bytes[0] == 'x' ? 'y' : 'x';
            break;
        case ValueFormat::ScheduleRow:
        case ValueFormat::TimeOfDay:
            bytes[1] ^= 1;
            break;
        default:
            bytes[0] ^= 1;
            break;
    }
}

// Whether the image of each ROM type holds a field is checked against the
// builder itself: changing a value in use changes the image exactly when the
// table says the image holds it.
TEST(PlanFields, WhatTheImageHoldsAgreesWithTheBuilder) {
    for (std::uint8_t rom = 0; rom < kRomTypeCount; ++rom) {
        TSignalPlan base = Example();
        base.RomVersion = rom;
        base.NetworkType = 1;  // "ТСКУ": every layout holds the address
        base.NetworkAddress = 4;
        base.DetectorCount = 1;
        const std::vector<std::uint8_t> image = Image(base);
        for (const PlanField& field : PlanFields()) {
            if (field.format == ValueFormat::RomVersion) continue;  // it chooses the layout itself
            bool tried = false;
            for (int i = 0; i < field.count1 && !tried; ++i) {
                for (int j = 0; j < field.count2 && !tried; ++j) {
                    if (!field.inUse(base, i, j)) continue;
                    tried = true;
                    TSignalPlan changed = base;
                    ChangeElement(field, changed, i, j);
                    EXPECT_EQ(Image(changed) != image, field.inImage(rom))
                        << field.item(i, j) << ": " << field.field << ", ROM " << kRomTypeNames[rom];
                }
            }
            EXPECT_TRUE(tried) << field.item(0, 0) << ": " << field.field
                               << " is in use nowhere in the base plan";
        }
    }
}

}  // namespace
}  // namespace kdt
