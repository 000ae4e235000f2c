// Each case starts from the bundled example, which the analysis finds clean,
// breaks one thing and lists every line the analysis must report for it.
#include <gtest/gtest.h>

#include <iconv.h>
#include <cstring>
#include <functional>

#include "ExampleCrossing.h"
#include "analysis/ErrorFile.h"
#include "analysis/PlanAnalysis.h"
#include "data/PlanProcedures.h"
#include "support/TempFolder.h"

namespace kdt {
namespace {

TSignalPlan Example() {
    TSignalPlan plan{};
    example::BuildExampleCrossing(plan);
    return plan;
}

struct AnalysisCase {
    const char* fault;
    std::function<void(TSignalPlan&)> breakPlan;
    std::vector<std::string> expected;
};

const std::vector<AnalysisCase>& Cases() {
    static const std::vector<AnalysisCase> cases = {
        {"the example is clean", [](TSignalPlan&) {}, {}},
        {"last and first tacts show the same phase",
         [](TSignalPlan& p) { p.Program[0].TactPhase[2] = 0; },
         {"Err  4 | В программе № 1 в тактах №№ 1 и 3 подряд установлена одна и та же ФАЗА"}},
        {"a button without its wait display",
         [](TSignalPlan& p) { p.Tvp[2].WaitMask = 0; },
         {"Err  5 | Незадана \"уставка ждите\" для ТВП № 2"}},
        {"no yellow flashing setting",
         [](TSignalPlan& p) { p.YellowFlashMask = 0; },
         {"Err  7 | Не задана \"уставка желтое мигание\""}},
        {"a head without its duration",
         [](TSignalPlan& p) { p.Direction[2].HeadDuration = 0; },
         {"Err  8 | Не задана \"длительность включения фазы (голова)\" для направления № 3"}},
        {"a direction without head and tail masks",
         [](TSignalPlan& p) {
             p.Direction[3].HeadMask = 0;
             p.Direction[3].TailMask = 0;
             p.Direction[3].TailDuration = 0;
         },
         {"Err  8 | Не задана \"уставка начало фазы (голова)\" для направления № 4",
          "Err  8 | Не задана \"уставка завершение фазы (хвост)\" для направления № 4"}},
        {"Monday switches the signals off all day, times set",
         [](TSignalPlan& p) {
             for (auto& row : p.Schedule[1]) row.Command = kCommandSignalsOff;
         },
         {"Err  9 | Не сформирован Сут.Графике на день - \"Понедельник\""}},
        {"an unused 24:00 row runs a program that does not exist",
         [](TSignalPlan& p) {
             p.Schedule[0][5] = {24, 0, kCommandFirstProgram + 4};
         },
         {"Err  9 | Задана несуществующая программа в Сут.Графике на \"Воскресенье\" в \"24:00\" - АПП № 5"}},
        {"an inter-tact of 260 acts as 4",
         [](TSignalPlan& p) { p.Program[0].TactInterDuration[0] = 260; },
         // Direction 1 goes off: 4 - (0 + 2 x 3 + 6) = -8.
         {"Err 11 | Длительность ТПром не достаточна -8=ед.(Программа-1 ТАКТ-2) см. Программы"}},
        {"an early additional green overlaps the greens going off",
         [](TSignalPlan& p) { p.Direction[8].ExtraGreenAfterRed = 8; },
         // Direction 9 is green from 12 - 8 = 4, direction 1 blinks until 6.
         {"Err 11 | Включаемые и выключаемые \"зеленые\" в ТПром горят одновременно ! 2=ед.(Программа-1 "
          "ТАКТ-2) "
          "см. Направления (Доп.Зелен.) и Программы",
          "Err 11 | Включаемые и выключаемые \"зеленые\" в ТПром горят одновременно ! 2=ед.(Программа-2 "
          "ТАКТ-2) "
          "см. Направления (Доп.Зелен.) и Программы",
          "Err 11 | Включаемые и выключаемые \"зеленые\" в ТПром горят одновременно ! 2=ед.(Программа-3 "
          "ТАКТ-2) "
          "см. Направления (Доп.Зелен.) и Программы"}},
        {"a long manual yellow does not fit the phase inter-tacts",
         [](TSignalPlan& p) { p.DirectionManual[0].TailDuration = 20; },
         // 12 - (0 + 6 + 20) = -14 whenever phase 1 ends.
         {"Err 12 | Длительность ТПром не достаточна -14=ед.(с фазы-1 на фазу-2) см. Фазы",
          "Err 12 | Длительность ТПром не достаточна -14=ед.(с фазы-1 на фазу-3) см. Фазы",
          "Err 12 | Длительность ТПром не достаточна -14=ед.(с фазы-1 на фазу-4) см. Фазы",
          "Err 12 | Длительность ТПром не достаточна -14=ед.(с фазы-1 на фазу-5) см. Фазы"}},
        {"a pedestrian phase longer than the tacts it is inserted into",
         [](TSignalPlan& p) { p.Tvp[1].Duration = 60; },
         // U = D + 12 - 12 - 60 - 12: 60 -> -12, 80 -> 8, 50 -> -22.
         {"Err 13 | Период ТВП отрицателен (фаза ТВП слишком велика) -12=ед.(в программе-1 в фазе-1) "
          "см. Программы и ТВП:Фазы",
          "Err 13 | Период ТВП отрицателен (фаза ТВП слишком велика) -22=ед.(в программе-3 в фазе-1) "
          "см. Программы и ТВП:Фазы"}},
        {"pedestrian periods below the minimum phase duration",
         [](TSignalPlan& p) { p.MinPhaseDuration = 20; },
         // U = D - 36: button 1 gets 24, 44, 14; button 2 gets 14, 8, 34.
         {"Err 13 | Период ТВП (=7 сек.) должен быть больше ТМин (в данном случае > 10 сек.)\r\n"
          "         (в программе-3 увеличьте фазу-1, или уменьшите фазу ТВП кнопки №1) см. Программы и ТВП",
          "Err 13 | Период ТВП (=7 сек.) должен быть больше ТМин (в данном случае > 10 сек.)\r\n"
          "         (в программе-1 увеличьте фазу-3, или уменьшите фазу ТВП кнопки №2) см. Программы и ТВП",
          "Err 13 | Период ТВП (=4 сек.) должен быть больше ТМин (в данном случае > 10 сек.)\r\n"
          "         (в программе-2 увеличьте фазу-3, или уменьшите фазу ТВП кнопки №2) см. Программы и ТВП"}},
        {"a pedestrian phase that programs run and that is inserted into itself",
         [](TSignalPlan& p) { p.Tvp[1].Phase = 0; },
         {"Err 14 | Фаза ТВП присутствует в программе-1 в такте-1) см. Программы и ТВП:Фазы",
          "Err 14 | Фаза ТВП присутствует в программе-2 в такте-1) см. Программы и ТВП:Фазы",
          "Err 14 | Фаза ТВП присутствует в программе-3 в такте-1) см. Программы и ТВП:Фазы",
          "Err 15 | Фаза ТВП внедрена сама в себя см. ТВП:Фазы ТВП кнопка №1"}},
        {"two buttons with the same pedestrian phase are reported both ways",
         [](TSignalPlan& p) { p.Tvp[2].Phase = 3; },
         {"Err 16 | Повторное определение фазы ТВП  см. ТВП:Фазы ТВП кнопки №1 и 2",
          "Err 16 | Повторное определение фазы ТВП  см. ТВП:Фазы ТВП кнопки №2 и 1"}},
        {"two phases share a direction",
         [](TSignalPlan& p) { p.PhaseDirections[3] |= 1u << 4; },
         {"Err 17 | Повторное использование направления в фазе см. Привязка направлений к фазе:Фазы № 4 и 5",
          "  Возможны не корректные показания обратного отсчёта в ТВП и ТОО!"}},
        {"a 4.1.x ROM skips every pedestrian check",
         [](TSignalPlan& p) {
             p.RomVersion = kRom413;
             p.Tvp[1].Phase = 0;
             p.Tvp[2].Phase = 0;
             p.Tvp[1].Duration = 200;
             p.PhaseDirections[3] = p.PhaseDirections[4];
         },
         {}},
        {"a new plan",
         [](TSignalPlan& p) { ResetPlan(p, kRom421, 60); },
         {"Err  0 | Недостаточно фаз",
          "Err  1 | Недостаточно направлений",
          "Err  2 | Нет установленных направлений в фазе № 1",
          "Err  3 | <возможно ошибка> Недостаточно тактов в программе № 1",
          "Err  4 | В программе № 1 в тактах №№ 1 и 1 подряд установлена одна и та же ФАЗА",
          "Err  7 | Не задана \"уставка желтое мигание\"",
          "Err  7 | Не задана \"уставка кругом красное\"",
          "Err  7 | Не задана \"уставка конфликт зеленого\"",
          "Err  7 | Не задана \"уставка конфликт красного\"",
          "Err  8 | Не задана \"уставка начало фазы (голова)\" для направления № 1",
          "Err  8 | Не задана \"уставка зеленые\" для направления № 1",
          "Err  8 | Не задана \"уставка красные\" для направления № 1",
          "Err  8 | Не задана \"уставка завершение фазы (хвост)\" для направления № 1",
          "Err  9 | Не сформирован Сут.Графике на день - \"Воскресенье\"",
          "Err  9 | Не сформирован Сут.Графике на день - \"Понедельник\"",
          "Err  9 | Не сформирован Сут.Графике на день - \"Вторник\"",
          "Err  9 | Не сформирован Сут.Графике на день - \"Среда\"",
          "Err  9 | Не сформирован Сут.Графике на день - \"Четверг\"",
          "Err  9 | Не сформирован Сут.Графике на день - \"Пятница\"",
          "Err  9 | Не сформирован Сут.Графике на день - \"Суббота\""}},
        {"counts beyond their limits stay inside the record",
         [](TSignalPlan& p) {
             p.ProgramCount = 200;
             p.Program[0].TactCount = 300;  // low byte 44
             p.TvpButtonCount = 9;
             p.PhaseCount = 3;
             p.Program[1].TactPhase[0] = 250;
         },
         {}},  // not checked line by line: it must simply run
    };
    return cases;
}

TEST(AnalizSOD, FindingsOfOneFaultEach) {
    for (const AnalysisCase& c : Cases()) {
        SCOPED_TRACE(c.fault);
        TSignalPlan plan = Example();
        c.breakPlan(plan);
        const TSignalPlan before = plan;
        const AnalysisResult result = AnalizSOD(plan);
        EXPECT_EQ(std::memcmp(&plan, &before, sizeof plan), 0) << "the analysis only reads";
        if (std::string(c.fault).rfind("counts beyond", 0) == 0) {
            EXPECT_FALSE(result.clean);
            continue;
        }
        EXPECT_EQ(result.findings, c.expected);
        EXPECT_EQ(result.clean, c.expected.empty());
    }
}

TEST(AnalizSOD, FirstCheckSkipsTheEarlierOnes) {
    TSignalPlan plan = Example();
    ResetPlan(plan, kRom421, 60);
    const AnalysisResult fromNine = AnalizSOD(plan, 9);
    ASSERT_EQ(fromNine.findings.size(), 7u);
    EXPECT_EQ(fromNine.findings.front().substr(0, 9), "Err  9 | ");
    EXPECT_TRUE(AnalizSOD(plan, 20).clean);
}

TEST(InterTactCheck, ResultsOfOnePhaseChange) {
    TSignalPlan plan = Example();
    // Phase 1 to phase 3: directions 1 and 2 go off (0 + 6 + 6 = 12), 3 and 4 come on (head 4).
    EXPECT_EQ(InterTactCheck(plan, 2, 0, false, 12), 0);
    EXPECT_EQ(InterTactCheck(plan, 2, 0, false, 11), -1);
    EXPECT_EQ(InterTactCheck(plan, 2, 2, false, 0), 0) << "no change, nothing to check";
    plan.Direction[2].ExtraGreenAfterRed = 8;  // direction 3 green from 12 - 8 = 4, direction 1 blinks to 6
    EXPECT_EQ(InterTactCheck(plan, 2, 0, false, 12), 2);
    EXPECT_EQ(InterTactCheck(plan, 2, 0, true, 12), 0) << "the manual set is unchanged";
}

// An independent converter for the expected bytes of the file.
std::string ToCp1251(const std::string& utf8) {
    iconv_t converter = iconv_open("CP1251", "UTF-8");
    std::string input = utf8;
    std::string output(input.size() * 2 + 4, '\0');
    char* in = input.data();
    char* out = output.data();
    std::size_t inLeft = input.size();
    std::size_t outLeft = output.size();
    iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    output.resize(output.size() - outLeft);
    return output;
}

TEST(ErrorFile, HeaderFindingsWindows1251AndCrLf) {
    test::TempFolder folder;
    TSignalPlan plan = Example();
    StoreText(plan.ProjectFileName, ToCp1251("c:\\kdt_win\\project\\перекрёсток.kdt"));
    StoreText(plan.Comment, "");
    plan.MinPhaseDuration = 20;
    const auto path = folder / "Error.txt";
    const AnalysisResult result = AnalizSOD(plan);
    ASSERT_EQ(WriteErrorFile(path, ErrorFileLines(plan, path, result.findings)).error, "");

    const std::string expected = ToCp1251(
        "*** Результат анализа проекта СОД сохранен в файле: \"" + path.string() +
        "\"\r\n"
        "***\r\n"
        "*** Проект СОД: \"c:\\kdt_win\\project\\перекрёсток.kdt\"\r\n"
        "*** Комментарий к проекту: \"\"\r\n"
        "***\r\n"
        "Err 13 | Период ТВП (=7 сек.) должен быть больше ТМин (в данном случае > 10 сек.)\r\n"
        "         (в программе-3 увеличьте фазу-1, или уменьшите фазу ТВП кнопки №1) см. Программы и ТВП\r\n"
        "Err 13 | Период ТВП (=7 сек.) должен быть больше ТМин (в данном случае > 10 сек.)\r\n"
        "         (в программе-1 увеличьте фазу-3, или уменьшите фазу ТВП кнопки №2) см. Программы и ТВП\r\n"
        "Err 13 | Период ТВП (=4 сек.) должен быть больше ТМин (в данном случае > 10 сек.)\r\n"
        "         (в программе-2 увеличьте фазу-3, или уменьшите фазу ТВП кнопки №2) см. Программы и "
        "ТВП\r\n");
    const std::vector<std::uint8_t> bytes = test::ReadBytes(path);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"Error.txt"});
}

TEST(ErrorFile, AFolderThatCannotBeWrittenIsAnError) {
    test::TempFolder folder;
    test::WriteBytes(folder / "file", {1});
    const TSignalPlan plan = Example();
    EXPECT_FALSE(
        WriteErrorFile(folder / "missing" / "Error.txt", ErrorFileLines(plan, "x", {"Err  0 | x"})).ok());
    EXPECT_FALSE(
        WriteErrorFile(folder / "file" / "Error.txt", ErrorFileLines(plan, "x", {"Err  0 | x"})).ok());
}

}  // namespace
}  // namespace kdt
