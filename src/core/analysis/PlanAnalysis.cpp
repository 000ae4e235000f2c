#include "analysis/PlanAnalysis.h"

#include <algorithm>
#include <cstdio>

#include "data/PlanRules.h"

namespace kdt {
namespace {

const char* const kDayNames[kDayCount] = {"Воскресенье", "Понедельник", "Вторник", "Среда",
                                          "Четверг",     "Пятница",     "Суббота"};

std::string Number(long value) {
    return std::to_string(value);
}

// "Err", the check number right-aligned in three characters, " | ".
std::string Prefix(int check) {
    char text[16];
    std::snprintf(text, sizeof text, "Err%3d | ", check);
    return text;
}

std::string Time(int hour, int minute) {
    char text[16];
    std::snprintf(text, sizeof text, "%.2d:%.2d", hour, minute);
    return text;
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// Loop bounds of a damaged plan stay inside the arrays.
int ProgramLoopCount(const TSignalPlan& plan) {
    return std::min<int>(plan.ProgramCount, kMaxPrograms);
}
int TactLoopCount(const TSignalProgram& program) {
    return std::min<int>(program.TactCount, kMaxTacts);
}
int ButtonLoopCount(const TSignalPlan& plan) {
    return std::min<int>(plan.TvpButtonCount, kMaxTvpButtons);
}
int PhaseLoopCount(const TSignalPlan& plan) {
    return std::min<int>(plan.PhaseCount, kMaxPhases);
}
int DirectionLoopCount(const TSignalPlan& plan) {
    return std::min<int>(plan.DirectionCount, kMaxDirections);
}

// The tact before tact t (1-based), cyclic: tact 1 follows the last one.
int PreviousTact(const TSignalProgram& program, int t) {
    const int n = program.TactCount & 0xFF;
    return (n > 1 && t > 1) ? t - 1 : n;
}

// Tact values by 1-based number; a number outside 1..16 reads as 0.
std::uint8_t TactPhaseAt(const TSignalProgram& program, int t) {
    return t >= 1 && t <= kMaxTacts ? program.TactPhase[t - 1] : 0;
}
std::uint16_t TactInterDurationAt(const TSignalProgram& program, int t) {
    return t >= 1 && t <= kMaxTacts ? program.TactInterDuration[t - 1] : 0;
}

class Analysis {
public:
    explicit Analysis(const TSignalPlan& plan) : plan_(plan) {}

    AnalysisResult Run(int firstCheck) {
        for (int check = std::max(firstCheck, 0); check <= kLastCheck; ++check) {
            prefix_ = Prefix(check);
            RunCheck(check);
        }
        AnalysisResult result;
        result.clean = findings_.empty();
        result.findings = std::move(findings_);
        return result;
    }

private:
    void Report(const std::string& message) { findings_.push_back(prefix_ + message); }

    void RunCheck(int check) {
        switch (check) {
            case 0:
                if (plan_.PhaseCount < 2) Report("Недостаточно фаз");
                break;
            case 1:
                if (plan_.DirectionCount < 2) Report("Недостаточно направлений");
                break;
            case 2:
                for (int n = 1; n <= PhaseLoopCount(plan_); ++n)
                    if (plan_.PhaseDirections[n - 1] == 0)
                        Report("Нет установленных направлений в фазе № " + Number(n));
                break;
            case 3:
                for (int p = 1; p <= ProgramLoopCount(plan_); ++p)
                    if (plan_.Program[p - 1].TactCount < 2)
                        Report("<возможно ошибка> Недостаточно тактов в программе № " + Number(p));
                break;
            case 4:
                CheckRepeatedPhases();
                break;
            case 5:
                for (int b = 1; b <= ButtonLoopCount(plan_); ++b)
                    if (plan_.Tvp[b].WaitMask == 0)
                        Report("Незадана \"уставка ждите\" для ТВП № " + Number(b));
                break;
            case 7:
                CheckSettingMasks();
                break;
            case 8:
                CheckDirections();
                break;
            case 9:
                CheckSchedule();
                break;
            case 11:
                CheckProgramInterTacts();
                break;
            case 12:
                CheckPhaseChanges();
                break;
            default:
                if (check >= 13 && check <= 17 && IsRom42x(plan_)) RunPedestrianCheck(check);
                break;
        }
    }

    void RunPedestrianCheck(int check) {
        switch (check) {
            case 13:
                CheckPedestrianPeriods();
                break;
            case 14:
                CheckPedestrianPhaseInPrograms();
                break;
            case 15:
                for (int b = 1; b <= ButtonLoopCount(plan_); ++b)
                    if (plan_.Tvp[b].Phase == plan_.TvpInsertPhase[b - 1])
                        Report("Фаза ТВП внедрена сама в себя см. ТВП:Фазы ТВП кнопка №" + Number(b));
                break;
            case 16:
                CheckDuplicateButtons();
                break;
            case 17:
                CheckSharedDirections();
                break;
            default:
                break;
        }
    }

    void CheckRepeatedPhases() {
        for (int p = 1; p <= ProgramLoopCount(plan_); ++p) {
            const TSignalProgram& program = plan_.Program[p - 1];
            for (int t = 1; t <= TactLoopCount(program); ++t) {
                const int previous = PreviousTact(program, t);
                if (TactPhaseAt(program, previous) == TactPhaseAt(program, t))
                    Report("В программе № " + Number(p) + " в тактах №№ " + Number(t) + " и " +
                           Number(previous) + " подряд установлена одна и та же ФАЗА");
            }
        }
    }

    void CheckSettingMasks() {
        if (plan_.YellowFlashMask == 0) Report("Не задана \"уставка желтое мигание\"");
        if (plan_.AllRedMask == 0) Report("Не задана \"уставка кругом красное\"");
        if (plan_.GreenConflictMask == 0) Report("Не задана \"уставка конфликт зеленого\"");
        if (plan_.RedConflictMask == 0) Report("Не задана \"уставка конфликт красного\"");
    }

    void CheckDirections() {
        for (int d = 1; d <= DirectionLoopCount(plan_); ++d) {
            const TDirectionSettings& direction = plan_.Direction[d - 1];
            const std::string number = Number(d);
            if (direction.HeadMask == 0)
                Report("Не задана \"уставка начало фазы (голова)\" для направления № " + number);
            else if (direction.HeadDuration == 0)
                Report("Не задана \"длительность включения фазы (голова)\" для направления № " + number);
            if (direction.GreenMask == 0) Report("Не задана \"уставка зеленые\" для направления № " + number);
            if (direction.RedMask == 0) Report("Не задана \"уставка красные\" для направления № " + number);
            if (direction.TailMask == 0)
                Report("Не задана \"уставка завершение фазы (хвост)\" для направления № " + number);
            else if (direction.TailDuration == 0)
                Report("Не задана \"длительность выключения фазы (хвост)\" для направления № " + number);
        }
    }

    void CheckSchedule() {
        for (int w = 0; w < kDayCount; ++w) {
            long commandSum = 0;
            for (const TScheduleEntry& row : plan_.Schedule[w]) {
                if (row.Command - 127 > plan_.ProgramCount)
                    Report("Задана несуществующая программа в Сут.Графике на " + Quoted(kDayNames[w]) +
                           " в " + Quoted(Time(row.Hour, row.Minute)) + " - АПП № " +
                           Number(row.Command - 127));
                commandSum += row.Command;
            }
            if (commandSum == 0) Report("Не сформирован Сут.Графике на день - " + Quoted(kDayNames[w]));
        }
    }

    void CheckProgramInterTacts() {
        for (int p = 1; p <= ProgramLoopCount(plan_); ++p) {
            const TSignalProgram& program = plan_.Program[p - 1];
            for (int t = 1; t <= TactLoopCount(program); ++t) {
                const int previous = PreviousTact(program, t);
                const int result =
                    InterTactCheck(plan_, TactPhaseAt(program, t), TactPhaseAt(program, previous), false,
                                   static_cast<std::uint8_t>(TactInterDurationAt(program, previous) & 0xFF));
                if (result == 0) continue;
                const std::string where = "=ед.(Программа-" + Number(p) + " ТАКТ-" + Number(t) + ")";
                if (result < 0)
                    Report("Длительность ТПром не достаточна " + Number(result) + where + " см. Программы");
                else
                    Report("Включаемые и выключаемые \"зеленые\" в ТПром горят одновременно ! " +
                           Number(result) + where + " см. Направления (Доп.Зелен.) и Программы");
            }
        }
    }

    void CheckPhaseChanges() {
        const int phaseCount = PhaseLoopCount(plan_);
        for (int from = 0; from < phaseCount; ++from) {
            for (int to = 0; to < phaseCount; ++to) {
                if (from == to) continue;
                const int result = InterTactCheck(
                    plan_, to, from, true, static_cast<std::uint8_t>(plan_.PhaseInterTact[from] & 0xFF));
                if (result == 0) continue;
                const std::string where =
                    "=ед.(с фазы-" + Number(from + 1) + " на фазу-" + Number(to + 1) + ")";
                if (result < 0)
                    Report("Длительность ТПром не достаточна " + Number(result) + where + " см. Фазы");
                else
                    Report("Включаемые и выключаемые \"зеленые\" в ТПром горят одновременно ! " +
                           Number(result) + where + " см. Направления (Доп.Зелен.) и Фазы");
            }
        }
    }

    void CheckPedestrianPeriods() {
        for (int b = 1; b <= ButtonLoopCount(plan_); ++b) {
            for (int p = 1; p <= ProgramLoopCount(plan_); ++p) {
                const TSignalProgram& program = plan_.Program[p - 1];
                for (int t = 1; t <= TactLoopCount(program); ++t) {
                    if (program.TactPhase[t - 1] != plan_.TvpInsertPhase[b - 1]) continue;
                    const int period = PedestrianPeriod(plan_, p - 1, t - 1, b);
                    const std::string phase = Number(program.TactPhase[t - 1] + 1);
                    if (period < 0) {
                        Report("Период ТВП отрицателен (фаза ТВП слишком велика) " + Number(period) +
                               "=ед.(в программе-" + Number(p) + " в фазе-" + phase +
                               ") см. Программы и ТВП:Фазы");
                    } else if (period < plan_.MinPhaseDuration) {
                        Report("Период ТВП (=" + Number(period / 2) +
                               " сек.) должен быть больше ТМин (в данном случае > " +
                               Number(plan_.MinPhaseDuration / 2) + " сек.)\r\n         (в программе-" +
                               Number(p) + " увеличьте фазу-" + phase + ", или уменьшите фазу ТВП кнопки №" +
                               Number(b) + ") см. Программы и ТВП");
                    }
                }
            }
        }
    }

    void CheckPedestrianPhaseInPrograms() {
        for (int b = 1; b <= ButtonLoopCount(plan_); ++b)
            for (int p = 1; p <= ProgramLoopCount(plan_); ++p) {
                const TSignalProgram& program = plan_.Program[p - 1];
                for (int t = 1; t <= TactLoopCount(program); ++t)
                    if (program.TactPhase[t - 1] == plan_.Tvp[b].Phase)
                        Report("Фаза ТВП присутствует в программе-" + Number(p) + " в такте-" + Number(t) +
                               ") см. Программы и ТВП:Фазы");
            }
    }

    void CheckDuplicateButtons() {
        const int count = ButtonLoopCount(plan_);
        for (int i = 1; i <= count; ++i) {
            for (int j = 1; j <= count; ++j) {
                if (i == j) continue;
                const std::string pair = Number(i) + " и " + Number(j);
                if (plan_.Tvp[i].Phase == plan_.Tvp[j].Phase)
                    Report("Повторное определение фазы ТВП  см. ТВП:Фазы ТВП кнопки №" + pair);
                if (plan_.TvpInsertPhase[i - 1] == plan_.TvpInsertPhase[j - 1])
                    Report("Повторное внедрение фазы ТВП в фазу программы  см. ТВП:Фазы ТВП кнопки №" + pair);
            }
        }
    }

    void CheckSharedDirections() {
        const int count = PhaseLoopCount(plan_);
        for (int i = 1; i <= count; ++i) {
            for (int j = i + 1; j <= count; ++j) {
                if ((plan_.PhaseDirections[i - 1] & plan_.PhaseDirections[j - 1]) == 0) continue;
                Report("Повторное использование направления в фазе см. Привязка направлений к фазе:Фазы № " +
                       Number(i) + " и " + Number(j));
                findings_.push_back("  Возможны не корректные показания обратного отсчёта в ТВП и ТОО!");
            }
        }
    }

    const TSignalPlan& plan_;
    std::string prefix_;
    std::vector<std::string> findings_;
};

}  // namespace

int InterTactCheck(const TSignalPlan& plan, unsigned newPhase, unsigned oldPhase, bool manualSet,
                   std::uint8_t interTact) {
    const std::uint16_t newDirections = PhaseDirectionsOf(plan, newPhase);
    const std::uint16_t oldDirections = PhaseDirectionsOf(plan, oldPhase);
    const std::uint16_t switchedOn = newDirections & ~oldDirections;
    const std::uint16_t switchedOff = oldDirections & ~newDirections;
    const int t = interTact;
    int earliestOnGreen = t;
    int latestOffGreen = 0;
    const TDirectionSettings* set = manualSet ? plan.DirectionManual : plan.Direction;
    for (int d = 0; d < std::min<int>(plan.DirectionCount, kMaxDirections); ++d) {
        const TDirectionSettings& direction = set[d];
        const std::uint16_t bit = static_cast<std::uint16_t>(1u << d);
        if (switchedOn & bit) {
            const int slack = t - (direction.HeadDuration + direction.ExtraGreenAfterRed);
            if (slack < 0) return slack;
            earliestOnGreen = std::min(earliestOnGreen, t - direction.ExtraGreenAfterRed);
        }
        if (switchedOff & bit) {
            const int greenEnd = direction.ExtraGreenAfterGreen + 2 * direction.GreenBlinkCount;
            const int slack = t - (greenEnd + direction.TailDuration);
            if (slack < 0) return slack;
            latestOffGreen = std::max(latestOffGreen, greenEnd);
        }
    }
    if (latestOffGreen == 0) return 0;
    return earliestOnGreen < latestOffGreen ? latestOffGreen - earliestOnGreen : 0;
}

AnalysisResult AnalizSOD(const TSignalPlan& plan, int firstCheck) {
    return Analysis(plan).Run(firstCheck);
}

}  // namespace kdt
