#include "report/ReportText.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "common/FileIO.h"
#include "data/TextEncoding.h"
#include "report/ReportVocabulary.h"

namespace kdt {
namespace {

using Lines = std::vector<std::string>;

// The report is read in a fixed-pitch font, so every layout below counts
// characters; the Cyrillic texts take two bytes each in UTF-8.
std::size_t CharacterCount(std::string_view utf8) {
    return static_cast<std::size_t>(std::count_if(
        utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string Blanks(std::size_t count) {
    return std::string(count, ' ');
}
std::string Dashes(std::size_t count) {
    return std::string(count, '-');
}
std::string Separator() {
    return std::string(64, '=');
}

std::string AlignRight(std::string_view label, std::size_t width) {
    const std::size_t length = CharacterCount(label);
    return Blanks(length < width ? width - length : 0) + std::string(label);
}

std::string FillTo(std::string text, std::size_t width) {
    const std::size_t length = CharacterCount(text);
    if (length < width) text.append(width - length, ' ');
    return text;
}

// A number in a three-character field. Nothing a valid plan holds needs more;
// a wider number is printed whole rather than cut, so it is still readable.
std::string Num(long long value) {
    std::string digits = std::to_string(value);
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), ' ');
    return digits;
}

// A stored half-second duration in whole seconds.
int Seconds(std::uint16_t halfSeconds) {
    return halfSeconds / 2;
}

// A code without a name of its own.
std::string Unnamed(unsigned code) {
    return "?" + std::to_string(code);
}

std::string Bits(std::uint32_t mask, int count) {
    std::string text;
    for (int bit = 0; bit < count; ++bit) text += (mask >> bit) & 1u ? 'O' : '|';
    return text;
}
std::string B32(std::uint32_t mask) {
    return Bits(mask, kChannelCount);
}
std::string B16(std::uint16_t mask) {
    return Bits(mask, 16);
}

std::string ChannelColours(const TSignalPlan& plan) {
    std::string text;
    for (const std::uint8_t colour : plan.ChannelColour) {
        switch (colour) {
            case 1:
                text += "K";
                break;  // Latin K
            case 2:
                text += "Ж";
                break;
            case 3:
                text += "З";
                break;
            default:
                text += ".";
                break;
        }
    }
    return text;
}

// Record text inside a line. A control character would break the line or
// shift its columns, so it shows as "?".
std::string RecordText(std::string_view cp1251) {
    return VisibleCp1251ToUtf8(cp1251);
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

std::string ZeroPadded(int value, std::size_t width) {
    std::string digits = std::to_string(value);
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return digits;
}

std::string FormatDate(const ReportDate& date) {
    return std::to_string(date.day) + "." + ZeroPadded(date.month, 2) + "." + ZeroPadded(date.year, 4) +
           " г.";
}

std::string NetworkTypeName(std::uint8_t networkType) {
    return std::string(networkType < std::size(kNetworkTypeNames) ? kNetworkTypeNames[networkType]
                                                                  : kNetworkTypeNames[0]);
}

std::string InterfaceName(std::uint8_t interfaceType) {
    return interfaceType < std::size(kInterfaceNames) ? std::string(kInterfaceNames[interfaceType]) : "";
}

// The colour table indents yellow and green so that the names stand apart.
std::string ColourName(std::uint8_t colour) {
    static constexpr std::size_t kIndent[] = {0, 0, 4, 8};
    return colour < std::size(kColourNames) ? Blanks(kIndent[colour]) + std::string(kColourNames[colour])
                                            : Unnamed(colour);
}

constexpr std::string_view kProgramPrefix = "Программа ";

// A label followed by " : ", as the label columns print it.
std::string Labelled(std::string_view label) {
    return std::string(label) + " : ";
}
// A label in double quotes.
std::string InQuotes(std::string_view label) {
    return "\"" + std::string(label) + "\"";
}

std::string ScheduleState(std::uint8_t command) {
    if (command < std::size(kStateNames)) return std::string(kStateNames[command]);
    if (command >= kCommandFirstProgram) return std::string(kProgramPrefix) + Num(command - 127);
    return Unnamed(command);
}

std::string PowerOnStateName(std::uint8_t state) {
    return std::string(state < std::size(kStateNames) ? kStateNames[state] : kProgramPrefix);
}

constexpr std::string_view kRulerTitle = "  Номера каналов ";
constexpr std::string_view kRulerTens = "         1         2         3  ";
constexpr std::string_view kRulerUnits = "12345678901234567890123456789012";

void AddChannelRulers(Lines& lines, const TSignalPlan& plan, std::size_t indent, bool withTitle) {
    if (withTitle) lines.push_back(Blanks(indent) + std::string(kRulerTitle));
    lines.push_back(Blanks(indent) + std::string(kRulerTens));
    lines.push_back(Blanks(indent) + std::string(kRulerUnits));
    lines.push_back(Blanks(indent) + ChannelColours(plan));
}

// A count may exceed its array in a damaged plan; the report then lists the
// whole array and no more.
int Capped(int count, int arraySize) {
    return std::min(count, arraySize);
}

// The text of the extra lines from a slot up to the first zero byte. A full
// slot runs on into the next ones, but never past the last slot.
std::string ExtraText(const TSignalPlan& plan, int slot) {
    const auto block = RecordBytes(plan).subspan(offsetof(TSignalPlan, ExtraLines), sizeof plan.ExtraLines);
    const auto from = block.subspan(static_cast<std::size_t>(slot) * kExtraLineLength);
    const auto end = std::find(from.begin(), from.end(), std::uint8_t{0});
    return RecordText(std::string(from.begin(), end));
}

void AddHeader(Lines& lines, const TSignalPlan& plan, const ReportDate& today) {
    lines.push_back(Blanks(12) + Labelled(kLabelProjectName) +
                    Quoted(RecordText(StoredText(plan.ProjectFileName))));
    lines.push_back(Blanks(8) + "Дата распечатки : " + FormatDate(today));
    lines.push_back(Blanks(4) + Labelled(kLabelComment) + RecordText(StoredText(plan.Comment)));
    lines.push_back(Labelled(kLabelRomVersion) + RomVersionName(plan.RomVersion));
    lines.push_back(Separator());
}

void AddParameters(Lines& lines, const TSignalPlan& plan) {
    lines.insert(lines.end(), {"", " Тип данных : ПАРАМЕТРЫ", ""});
    const auto row = [&](std::string_view label, const std::string& value) {
        lines.push_back(AlignRight(Labelled(label), 32) + value);
    };
    row(kLabelChannelCount, "32");
    row(kLabelPhaseCount, std::to_string(plan.PhaseCount));
    row(kLabelDirectionCount, std::to_string(plan.DirectionCount));
    row(kLabelProgramCount, std::to_string(plan.ProgramCount));
    row(kLabelTvpButtonCount, std::to_string(plan.TvpButtonCount));
    row(kLabelMinPhaseDuration, std::to_string(Seconds(plan.MinPhaseDuration)));
    row(kLabelPhaseEndBlinkCount, std::to_string(plan.PhaseEndBlinkCount));
    row(kLabelConflictExitPeriod, std::to_string(Seconds(plan.ConflictExitPeriod)));
    row(kLabelConflictRepeatCount, std::to_string(plan.ConflictRepeatCount));
    row(kLabelVpuInterface, InterfaceName(plan.VpuInterface));
    row(kLabelTvpInterface, InterfaceName(plan.TvpInterface));
    row(kLabelNetworkType, NetworkTypeName(plan.NetworkType));
    row(kLabelNetworkAddress,
        plan.NetworkType != 0 && plan.NetworkAddress != 0 ? std::to_string(plan.NetworkAddress) : "");
    lines.push_back(Separator());
}

void AddColours(Lines& lines, const TSignalPlan& plan) {
    const std::string rule = Blanks(1) + Dashes(24) + Blanks(8) + Dashes(24);
    lines.insert(lines.end(),
                 {"", " Тип данных : ЦВЕТА", "", rule,
                  Blanks(1) + "№ канала     Цвет" + Blanks(7) + Blanks(8) + "№ канала     Цвет", rule});
    for (int i = 0; i < 16; ++i) {
        const std::string left = Blanks(4) + Num(i + 1) + Blanks(3) + ColourName(plan.ChannelColour[i]);
        lines.push_back(FillTo(left, 36) + Num(i + 17) + Blanks(3) + ColourName(plan.ChannelColour[i + 16]));
    }
    lines.push_back(Separator());
}

void AddSettings(Lines& lines, const TSignalPlan& plan) {
    lines.push_back("");
    lines.push_back(" Тип данных : УСТАВКИ  " + std::string(kRulerTitle));
    AddChannelRulers(lines, plan, 23, false);
    const auto row = [&](const std::string& label, std::uint32_t mask) {
        lines.push_back(AlignRight(label, 23) + B32(mask));
    };
    row(std::string(kLabelYellowFlash) + " ", plan.YellowFlashMask);
    row(std::string(kLabelAllRed) + " ", plan.AllRedMask);
    row(std::string(kLabelGreenConflict) + " ", plan.GreenConflictMask);
    row(std::string(kLabelRedConflict) + " ", plan.RedConflictMask);
    lines.push_back(Separator());
}

void AddDirections(Lines& lines, const TSignalPlan& plan) {
    lines.push_back("");
    for (int j = 0; j < Capped(plan.DirectionCount, kMaxDirections); ++j) {
        const TDirectionSettings& program = plan.Direction[j];
        const TDirectionSettings& manual = plan.DirectionManual[j];
        lines.push_back(" Тип данных : НАПРАВЛЕНИЕ " + Num(j + 1));
        lines.push_back("");
        lines.push_back(Blanks(46) + "Прогр.    РУ");
        const auto duration = [&](const std::string& label, int programValue, int manualValue) {
            lines.push_back(label + Num(programValue) + Blanks(5) + Num(manualValue));
        };
        duration(Blanks(16) + "|--------------------" + InQuotes(kLabelHead) + Blanks(2),
                 Seconds(program.HeadDuration), Seconds(manual.HeadDuration));
        duration(Blanks(3) + "Длительность-|" + Blanks(21) + InQuotes(kLabelTail) + Blanks(2),
                 Seconds(program.TailDuration), Seconds(manual.TailDuration));
        duration(Blanks(16) + "|  " + std::string(kLabelExtraGreenAfterGreen) + Blanks(2),
                 Seconds(program.ExtraGreenAfterGreen), Seconds(manual.ExtraGreenAfterGreen));
        duration(Blanks(16) + "|--" + std::string(kLabelExtraGreenAfterRed) + Blanks(2),
                 Seconds(program.ExtraGreenAfterRed), Seconds(manual.ExtraGreenAfterRed));
        duration(Blanks(23) + std::string(kLabelGreenBlinkCount) + Blanks(2), program.GreenBlinkCount,
                 manual.GreenBlinkCount);
        lines.push_back("");
        AddChannelRulers(lines, plan, 21, true);
        lines.push_back(Blanks(9) + "|- " + InQuotes(kLabelHead) + " " + B32(program.HeadMask));
        lines.push_back(Blanks(1) + std::string(kLabelSettings) + "-| " + InQuotes(kLabelGreens) + " " +
                        B32(program.GreenMask));
        lines.push_back(Blanks(9) + "| " + InQuotes(kLabelReds) + " " + B32(program.RedMask));
        lines.push_back(Blanks(9) + "|   " + InQuotes(kLabelTail) + " " + B32(program.TailMask));
        lines.push_back(Blanks(9) + "|-" + InQuotes(kLabelBlinks) + " " + B32(program.BlinkMask));
        lines.push_back(Separator());
    }
}

void AddPhases(Lines& lines, const TSignalPlan& plan) {
    lines.insert(lines.end(), {"", " Тип данных : ФАЗЫ          Длительность  NN направлений",
                               Blanks(21) + "Номер  промтакта             1",
                               Blanks(21) + "фазы   после фазы   1234567890123456"});
    for (int i = 0; i < Capped(plan.PhaseCount, kMaxPhases); ++i)
        lines.push_back(Blanks(21) + Num(i + 1) + Blanks(7) + Num(Seconds(plan.PhaseInterTact[i])) +
                        Blanks(7) + B16(plan.PhaseDirections[i]));
    lines.push_back(Separator());
}

void AddGreenStreets(Lines& lines, const TSignalPlan& plan) {
    lines.insert(lines.end(),
                 {"", " Тип данных: ЗЕЛЕНАЯ УЛИЦА    " + Dashes(22), Blanks(34) + "Номер       Номер",
                  Blanks(30) + "зеленой улицы   фазы", Blanks(30) + Dashes(22)});
    for (int n = 0; n < Capped(plan.PhaseCount, kMaxPhases); ++n)
        lines.push_back(Blanks(36) + Num(plan.GreenStreet[n] + 1) + Blanks(7) + Num(n + 1));
    lines.push_back(Separator());
}

void AddPrograms(Lines& lines, const TSignalPlan& plan) {
    for (int p = 0; p < Capped(plan.ProgramCount, kMaxPrograms); ++p) {
        const TSignalProgram& program = plan.Program[p];
        lines.push_back("");
        lines.push_back(" Тип данных:" + Blanks(6) + Dashes(46));
        lines.push_back(" ПРОГРАММА" + Num(p + 1) + Blanks(6) +
                        "N Такта   N Фазы   Длит.фазы  Длит.промтакта");
        lines.push_back(Blanks(18) + Dashes(46));
        for (int t = 0; t < Capped(program.TactCount, kMaxTacts); ++t)
            lines.push_back(Blanks(21) + Num(t + 1) + Blanks(7) + Num(program.TactPhase[t] + 1) + Blanks(7) +
                            Num(Seconds(program.TactDuration[t])) + Blanks(8) +
                            Num(Seconds(program.TactInterDuration[t])));
        lines.push_back(Blanks(18) + Dashes(46));
        lines.push_back(Blanks(23) + std::string(kLabelCycle) + ":" + Blanks(3) +
                        Num(Seconds(program.CycleLength)));
    }
    lines.push_back(Separator());
}

void AddPedestrianCall(Lines& lines, const TSignalPlan& plan) {
    lines.insert(lines.end(), {"", " Тип данных: ТАБЛО ВЫЗОВА ПЕШЕХОДА", "",
                               Blanks(1) + Dashes(28) + Blanks(8) + "Уставка " + InQuotes(kLabelWait),
                               Blanks(2) + "Номер     Номер   Длитель-    Номера каналов",
                               Blanks(2) + "кнопки    фазы     ность             1         2         3",
                               Blanks(3) + "ТВП                        12345678901234567890123456789012",
                               Blanks(1) + Dashes(28) + Blanks(1) + ChannelColours(plan)});
    for (int b = 1; b <= Capped(plan.TvpButtonCount, kMaxTvpButtons); ++b) {
        const TTvpButton& button = plan.Tvp[b];
        lines.push_back(Blanks(2) + Num(b) + Blanks(7) + Num(button.Phase + 1) + Blanks(7) +
                        Num(Seconds(button.Duration)) + Blanks(5) + B32(button.WaitMask));
        if (IsRom42x(plan))
            lines.push_back(Blanks(4) + std::string(kLabelInsertPhase) + Num(plan.TvpInsertPhase[b - 1] + 1));
    }
    lines.push_back(Separator());
}

void AddDailySchedule(Lines& lines, const TSignalPlan& plan) {
    for (int w = 0; w < kDayCount; ++w) {
        lines.insert(
            lines.end(),
            {"", " Тип данных: СУТОЧНЫЙ ГРАФИК " + std::string(kDayNames[w]), Blanks(10) + Dashes(37),
             Blanks(11) + "Часы   Минуты   Состояние/Программа", Blanks(10) + Dashes(37)});
        for (const TScheduleEntry& row : plan.Schedule[w]) {
            lines.push_back(Blanks(11) + Num(row.Hour) + Blanks(5) + Num(row.Minute) + Blanks(5) +
                            ScheduleState(row.Command));
            if (row.Hour > 23) break;  // the row that closes the day is printed too
        }
    }
    lines.push_back(Separator());
}

void AddPowerOn(Lines& lines, const TSignalPlan& plan) {
    lines.insert(
        lines.end(),
        {"", " Тип данных: ВКЛЮЧЕНИЕ ", "",
         Blanks(7) + Labelled(kLabelPowerOnState) + PowerOnStateName(plan.PowerOnState),
         Blanks(7) + std::string(kLabelPowerOnDuration) + "  : " + Num(plan.PowerOnDuration), Separator()});
}

void AddCoordinator(Lines& lines, const TSignalPlan& plan) {
    const std::string rule = Blanks(3) + Dashes(37);
    lines.insert(lines.end(),
                 {"", " Тип данных: КООРДИНАТОР ", rule,
                  Blanks(4) + std::string(kLabelControllerCount) + " :" + Num(plan.CoordControllerCount)});
    for (int p = 0; p < Capped(plan.ProgramCount, kMaxPrograms); ++p) {
        lines.push_back(rule);
        lines.push_back(Blanks(4) + "Программа :" + Num(p + 1) + Blanks(2) +
                        "Длительность(сек) : " + Num(Seconds(plan.Program[p].CycleLength)));
        lines.push_back(Blanks(10) + "Адрес    Задержка(сек)");
        for (int k = 0; k < Capped(plan.CoordControllerCount, kMaxCoordControllers); ++k)
            lines.push_back(Blanks(10) + Num(k + 1) + Blanks(8) + Num(plan.CoordDelay[p][k]));
    }
    lines.push_back(Separator());
}

void AddNote(Lines& lines) {
    lines.insert(lines.end(), {"", "Примечание: Все длительности измеряются в секундах", ""});
}

void AddSpeedIndicator(Lines& lines, const TSignalPlan& plan) {
    lines.insert(lines.end(),
                 {"", " Тип данных: УСК          (Направление/Скорость)", Blanks(10) + Dashes(40),
                  Blanks(11) + "Часы   Минуты   1  2  3  4  5  6  7  8", Blanks(10) + Dashes(40)});
    for (const TSpeedEntry& row : plan.SpeedSchedule) {
        std::string line = Blanks(11) + Num(row.Hour) + Blanks(5) + Num(row.Minute) + Blanks(4);
        for (const std::uint8_t speed : row.Speed) line += Num(speed);
        lines.push_back(line);
    }
    lines.push_back(Separator());
}

void AddDetectors(Lines& lines, const TSignalPlan& plan) {
    lines.insert(lines.end(),
                 {"", " Тип данных: Детекторы транспорта (направления)", Blanks(10) + Dashes(41),
                  Blanks(11) + "Детектор  Зона         1234567890123456", Blanks(10) + Dashes(41)});
    for (int d = 0; d < Capped(plan.DetectorCount, kMaxDetectors); ++d)
        for (int z = 0; z < kMaxDetectorZones; ++z)  // every zone, whatever ZoneCount says
            if (const std::uint16_t directions = plan.Detector[d].ZoneDirections[z]; directions != 0)
                lines.push_back(Blanks(11) + Num(d + 1) + Blanks(5) + Num(z + 1) + Blanks(12) +
                                B16(directions));
    lines.push_back(Separator());
}

void AddAdditional(Lines& lines, const TSignalPlan& plan) {
    const std::string rule = Blanks(10) + Dashes(40);
    lines.insert(lines.end(), {"", " Тип данных: Дополнительные параметры", rule,
                               Blanks(1) + std::string(kLabelTcpIp) + "   : " + Quoted(ExtraText(plan, 0)),
                               rule, Blanks(11) + "строка №  строка (16 символов)", rule});
    for (int n = 4; n < kExtraLineSlots; ++n)
        lines.push_back(Blanks(11) + Num(n - 3) + Blanks(8) + Quoted(ExtraText(plan, n)));
    lines.push_back(Separator());
}

using SectionWriter = void (*)(Lines&, const TSignalPlan&);

// The sections in switch order; the note stands after the coordinator.
constexpr SectionWriter kSections[kReportSectionCount] = {
    AddParameters,   AddColours,        AddSettings,       AddDirections,    AddPhases,
    AddGreenStreets, AddPrograms,       AddPedestrianCall, AddDailySchedule, AddPowerOn,
    AddCoordinator,  AddSpeedIndicator, AddDetectors,      AddAdditional};
constexpr int kSectionsBeforeNote = 11;

}  // namespace

ReportSections DefaultReportSections() {
    ReportSections sections{};
    std::fill_n(sections.begin(), 9, true);
    return sections;
}

ReportSections AllReportSections() {
    ReportSections sections{};
    sections.fill(true);
    return sections;
}

std::vector<std::string> ComposeReport(const TSignalPlan& plan, const ReportSections& sections,
                                       const ReportDate& today) {
    Lines lines;
    AddHeader(lines, plan, today);
    for (int i = 0; i < kReportSectionCount; ++i) {
        if (i == kSectionsBeforeNote) AddNote(lines);
        if (sections[i]) kSections[i](lines, plan);
    }
    return lines;
}

std::string ReportFileText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += Utf8ToCp1251(line) + "\r\n";
    return text;
}

Outcome WriteReportFile(const std::filesystem::path& path, const std::vector<std::string>& lines) {
    const std::string text = ReportFileText(lines);
    return WriteFileAtomically(path,
                               std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace kdt
