#include "report/PlanFields.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "data/TextEncoding.h"
#include "report/ReportVocabulary.h"

namespace kdt {
namespace {

// ---- values ---------------------------------------------------------------

unsigned LittleEndian(std::span<const std::uint8_t> bytes) {
    unsigned value = 0;
    for (std::size_t i = 0; i < bytes.size() && i < 4; ++i) value |= unsigned{bytes[i]} << (8 * i);
    return value;
}

// Built by appending: GCC 12 warns falsely about "?" + std::string at -O3.
std::string Unnamed(unsigned code) {
    std::string text = "?";
    text += std::to_string(code);
    return text;
}

template <std::size_t N>
std::string Named(const std::string_view (&names)[N], unsigned code) {
    return code < N ? std::string(names[code]) : Unnamed(code);
}

// "1, 4, 7": channel and direction numbers have one or two digits.
std::string NumberList(unsigned mask, int bits) {
    if (mask == 0) return "—";
    std::string text;
    text.reserve(4 * static_cast<std::size_t>(bits));
    for (int bit = 0; bit < bits; ++bit) {
        if (((mask >> bit) & 1u) == 0) continue;
        if (!text.empty()) text += ", ";
        const int number = bit + 1;
        if (number >= 10) text += static_cast<char>('0' + number / 10);
        text += static_cast<char>('0' + number % 10);
    }
    return text;
}

std::string TwoDigits(unsigned value) {
    std::string text = value < 10 ? "0" : "";
    text += std::to_string(value);
    return text;
}

std::string CommandName(unsigned command) {
    if (command < std::size(kCommandShortNames)) return std::string(kCommandShortNames[command]);
    if (command >= kCommandFirstProgram && command < kCommandFirstProgram + kMaxPrograms)
        return std::string(kProgramShortName) + " " + std::to_string(command - 127);
    return Unnamed(command);
}

std::string QuotedText(std::span<const std::uint8_t> bytes) {
    std::string text = "\"";
    text += VisibleCp1251ToUtf8(std::string(bytes.begin(), bytes.end()));
    text += '"';
    return text;
}

std::span<const std::uint8_t> UpToZero(std::span<const std::uint8_t> bytes) {
    return bytes.first(static_cast<std::size_t>(std::find(bytes.begin(), bytes.end(), 0) - bytes.begin()));
}

// A record string's valid characters: the length byte says how many.
std::span<const std::uint8_t> ValidCharacters(std::span<const std::uint8_t> bytes) {
    return bytes.subspan(1, std::min<std::size_t>(bytes[0], bytes.size() - 1));
}

// ---- the table's columns --------------------------------------------------

// "Всего фаз" reads "всего фаз" inside a line.
std::string LowerFirst(std::string_view label) {
    if (label.empty()) return {};
    const std::size_t first = (static_cast<unsigned char>(label[0]) & 0x80) ? 2 : 1;
    return LowerCaseCp1251Letters(label.substr(0, first)) + std::string(label.substr(first));
}
std::string Quote(std::string_view label) {
    std::string text = "\"";
    text += label;
    text += '"';
    return text;
}

int Capped(int count, int size) {
    return std::clamp(count, 0, size);
}

bool AnyRom(std::uint8_t rom) {
    return rom < kRomTypeCount;
}
bool NoRom(std::uint8_t) {
    return false;
}
// The direction record of 4.1.0 has the head and tail durations only.
bool RomFrom411(std::uint8_t rom) {
    return rom >= 1 && rom < kRomTypeCount;
}
bool RomFrom413(std::uint8_t rom) {
    return rom >= kRom413 && rom < kRomTypeCount;
}
bool Rom42x(std::uint8_t rom) {
    return rom == kRom420 || rom == kRom421;
}
bool Rom421(std::uint8_t rom) {
    return rom == kRom421;
}

bool Always(const TSignalPlan&, int, int) {
    return true;
}
bool DirectionInUse(const TSignalPlan& plan, int d, int) {
    return d < Capped(plan.DirectionCount, kMaxDirections);
}
bool PhaseInUse(const TSignalPlan& plan, int p, int) {
    return p < Capped(plan.PhaseCount, kMaxPhases);
}
bool ProgramInUse(const TSignalPlan& plan, int p, int) {
    return p < Capped(plan.ProgramCount, kMaxPrograms);
}
bool TactInUse(const TSignalPlan& plan, int p, int t) {
    if (!ProgramInUse(plan, p, 0)) return false;
    const int tactCount = plan.Program[p].TactCount;
    return t < Capped(tactCount, kMaxTacts);
}
bool ButtonInUse(const TSignalPlan& plan, int b, int) {
    return b < Capped(plan.TvpButtonCount, kMaxTvpButtons);
}
// The rows up to the one that ends the day, as the report lists them, and
// any later row with a time of day, which the schedule lookup still reads.
bool ScheduleRowInUse(const TSignalPlan& plan, int day, int row) {
    for (int r = 0; r < row; ++r)
        if (plan.Schedule[day][r].Hour > 23) return plan.Schedule[day][row].Hour <= 23;
    return true;
}
bool DelayInUse(const TSignalPlan& plan, int p, int k) {
    return ProgramInUse(plan, p, 0) && k < Capped(plan.CoordControllerCount, kMaxCoordControllers);
}
bool DetectorInUse(const TSignalPlan& plan, int i, int) {
    return i < Capped(plan.DetectorCount, kMaxDetectors);
}

std::string Number(int value) {
    return std::to_string(value + 1);
}

std::string ItemParameters(int, int) {
    return std::string(kReportSectionNames[0]);
}
std::string ItemProjectName(int, int) {
    return std::string(kLabelProjectName);
}
std::string ItemComment(int, int) {
    return std::string(kLabelComment);
}
std::string ItemChannel(int k, int) {
    return "Канал " + Number(k);
}
std::string ItemSettings(int, int) {
    return std::string(kLabelSettings);
}
std::string ItemDirections(int, int) {
    return std::string(kReportSectionNames[3]);
}
std::string ItemDirection(int d, int) {
    return "Направление " + Number(d);
}
std::string ItemPhase(int p, int) {
    return "Фаза " + Number(p);
}
std::string ItemProgram(int p, int) {
    return "Программа " + Number(p);
}
std::string ItemTact(int p, int t) {
    return "Программа " + Number(p) + ", такт " + Number(t);
}
std::string ItemButton(int b, int) {
    return "Кнопка ТВП " + Number(b);
}
std::string ItemScheduleRow(int day, int row) {
    return std::string(kReportSectionNames[8]) + ", " + std::string(kDayShortNames[day]) + ", строка " +
           Number(row);
}
std::string ItemPowerOn(int, int) {
    return std::string(kReportSectionNames[9]);
}
std::string ItemCoordinator(int, int) {
    return std::string(kReportSectionNames[10]);
}
std::string ItemDelay(int p, int k) {
    return std::string(kReportSectionNames[10]) + ", программа " + Number(p) + ", контроллер " + Number(k);
}
std::string ItemSpeedRow(int row, int) {
    return std::string(kReportSectionNames[11]) + ", строка " + Number(row);
}
std::string ItemDetectors(int, int) {
    return std::string(kReportSectionNames[12]);
}
std::string ItemDetector(int i, int) {
    return "Детектор " + Number(i);
}
std::string ItemZone(int i, int z) {
    return "Детектор " + Number(i) + ", зона " + Number(z);
}
std::string ItemAdditional(int, int) {
    return std::string(kReportSectionNames[13]);
}
std::string ItemExtraLine(int n, int) {
    return std::string(kReportSectionNames[13]) + ", строка " + Number(n);
}

#define KDT_AT(member) offsetof(TSignalPlan, member)

constexpr std::size_t kButton1 = KDT_AT(Tvp) + sizeof(TTvpButton);  // slot 0 is not a button
constexpr std::size_t kDirectionSize = sizeof(TDirectionSettings);
constexpr std::size_t kProgramSize = sizeof(TSignalProgram);
constexpr std::size_t kDaySize = sizeof(TScheduleEntry) * kScheduleRows;
constexpr std::size_t kTcpIpSlots = 4;

std::vector<PlanField> BuildTable() {
    using S = PlanSection;
    using F = ValueFormat;
    std::vector<PlanField> t;
    // A field of its own, and an array along one or two indices.
    const auto one = [&](S section, std::string field, std::string (*item)(int, int), std::size_t offset,
                         std::size_t width, F format, bool (*inImage)(std::uint8_t)) {
        t.push_back({section, std::move(field), item, 1, 1, offset, 0, 0, width, format, Always, inImage});
    };
    const auto row = [&](S section, std::string field, std::string (*item)(int, int), int count,
                         std::size_t offset, std::size_t stride, std::size_t width, F format,
                         bool (*inUse)(const TSignalPlan&, int, int), bool (*inImage)(std::uint8_t)) {
        t.push_back(
            {section, std::move(field), item, count, 1, offset, stride, 0, width, format, inUse, inImage});
    };
    const auto grid = [&](S section, std::string field, std::string (*item)(int, int), int count1, int count2,
                          std::size_t offset, std::size_t stride1, std::size_t stride2, std::size_t width,
                          F format, bool (*inUse)(const TSignalPlan&, int, int),
                          bool (*inImage)(std::uint8_t)) {
        t.push_back({section, std::move(field), item, count1, count2, offset, stride1, stride2, width, format,
                     inUse, inImage});
    };

    one(S::Header, "", ItemProjectName, KDT_AT(ProjectFileName), sizeof(TString255), F::RecordString, NoRom);
    one(S::Header, "", ItemComment, KDT_AT(Comment), sizeof(TString255), F::RecordString, NoRom);

    one(S::Parameters, LowerFirst(kLabelRomVersion), ItemParameters, KDT_AT(RomVersion), 1, F::RomVersion,
        AnyRom);
    one(S::Parameters, LowerFirst(kLabelPhaseCount), ItemParameters, KDT_AT(PhaseCount), 1, F::Number,
        AnyRom);
    one(S::Parameters, LowerFirst(kLabelDirectionCount), ItemParameters, KDT_AT(DirectionCount), 1, F::Number,
        AnyRom);
    // The count decides how many delays the coordinator block holds in every layout.
    one(S::Parameters, LowerFirst(kLabelProgramCount), ItemParameters, KDT_AT(ProgramCount), 1, F::Number,
        AnyRom);
    one(S::Parameters, LowerFirst(kLabelTvpButtonCount), ItemParameters, KDT_AT(TvpButtonCount), 1, F::Number,
        Rom42x);
    one(S::Parameters, LowerFirst(kLabelMinPhaseDuration), ItemParameters, KDT_AT(MinPhaseDuration), 2,
        F::HalfSeconds, AnyRom);
    one(S::Parameters, LowerFirst(kLabelPhaseEndBlinkCount), ItemParameters, KDT_AT(PhaseEndBlinkCount), 1,
        F::Number, AnyRom);
    one(S::Parameters, LowerFirst(kLabelConflictExitPeriod), ItemParameters, KDT_AT(ConflictExitPeriod), 2,
        F::HalfSeconds, AnyRom);
    one(S::Parameters, LowerFirst(kLabelConflictRepeatCount), ItemParameters, KDT_AT(ConflictRepeatCount), 1,
        F::Number, AnyRom);
    one(S::Parameters, LowerFirst(kLabelVpuInterface), ItemParameters, KDT_AT(VpuInterface), 1, F::Interface,
        AnyRom);
    one(S::Parameters, LowerFirst(kLabelTvpInterface), ItemParameters, KDT_AT(TvpInterface), 1, F::Interface,
        Rom42x);
    one(S::Parameters, LowerFirst(kLabelNetworkType), ItemParameters, KDT_AT(NetworkType), 1, F::NetworkType,
        AnyRom);
    one(S::Parameters, LowerFirst(kLabelNetworkAddress), ItemParameters, KDT_AT(NetworkAddress), 2, F::Number,
        AnyRom);
    one(S::Parameters, "используются", ItemParameters, KDT_AT(OptionFlags), 1, F::OptionFlags, Rom42x);

    row(S::Colours, "цвет", ItemChannel, kChannelCount, KDT_AT(ChannelColour), 1, 1, F::Colour, Always,
        NoRom);

    one(S::Settings, LowerFirst(kLabelYellowFlash), ItemSettings, KDT_AT(YellowFlashMask), 4, F::Channels,
        AnyRom);
    one(S::Settings, LowerFirst(kLabelAllRed), ItemSettings, KDT_AT(AllRedMask), 4, F::Channels, AnyRom);
    one(S::Settings, LowerFirst(kLabelGreenConflict), ItemSettings, KDT_AT(GreenConflictMask), 4, F::Channels,
        AnyRom);
    one(S::Settings, LowerFirst(kLabelRedConflict), ItemSettings, KDT_AT(RedConflictMask), 4, F::Channels,
        AnyRom);

    one(S::Directions, "длительности РУ соответствуют АПП", ItemDirections, KDT_AT(ManualFollowsProgram), 1,
        F::YesNo, NoRom);
    struct Duration {
        std::string name;
        std::size_t offset;
        F format;
        bool (*program)(std::uint8_t);
    };
    const Duration durations[] = {
        {"длительность " + Quote(kLabelHead), offsetof(TDirectionSettings, HeadDuration), F::HalfSeconds,
         AnyRom},
        {"длительность " + Quote(kLabelTail), offsetof(TDirectionSettings, TailDuration), F::HalfSeconds,
         AnyRom},
        {LowerFirst(kLabelExtraGreenAfterGreen), offsetof(TDirectionSettings, ExtraGreenAfterGreen),
         F::HalfSeconds, RomFrom411},
        {LowerFirst(kLabelExtraGreenAfterRed), offsetof(TDirectionSettings, ExtraGreenAfterRed),
         F::HalfSeconds, RomFrom411},
        {LowerFirst(kLabelGreenBlinkCount), offsetof(TDirectionSettings, GreenBlinkCount), F::Number,
         RomFrom411},
    };
    for (const Duration& duration : durations)
        row(S::Directions, duration.name, ItemDirection, kMaxDirections, KDT_AT(Direction) + duration.offset,
            kDirectionSize, 2, duration.format, DirectionInUse, duration.program);
    for (const Duration& duration : durations)
        row(S::Directions, duration.name + " " + std::string(kLabelManual), ItemDirection, kMaxDirections,
            KDT_AT(DirectionManual) + duration.offset, kDirectionSize, 2, duration.format, DirectionInUse,
            RomFrom413);
    const std::pair<std::string_view, std::size_t> masks[] = {
        {kLabelHead, offsetof(TDirectionSettings, HeadMask)},
        {kLabelGreens, offsetof(TDirectionSettings, GreenMask)},
        {kLabelReds, offsetof(TDirectionSettings, RedMask)},
        {kLabelTail, offsetof(TDirectionSettings, TailMask)},
        {kLabelBlinks, offsetof(TDirectionSettings, BlinkMask)}};
    const std::string setting = "уставка ";
    for (const auto& [name, offset] : masks)
        row(S::Directions, setting + Quote(name), ItemDirection, kMaxDirections, KDT_AT(Direction) + offset,
            kDirectionSize, 4, F::Channels, DirectionInUse, AnyRom);
    // Manual control's channel sets are copies the image never holds.
    for (const auto& [name, offset] : masks)
        row(S::Directions, setting + Quote(name) + " " + std::string(kLabelManual), ItemDirection,
            kMaxDirections, KDT_AT(DirectionManual) + offset, kDirectionSize, 4, F::Channels, DirectionInUse,
            NoRom);
    row(S::Directions, "каналы направления", ItemDirection, kMaxDirections, KDT_AT(DirectionChannels), 4, 4,
        F::Channels, DirectionInUse, NoRom);

    row(S::Phases, "длительность промтакта после фазы", ItemPhase, kMaxPhases, KDT_AT(PhaseInterTact), 2, 2,
        F::HalfSeconds, PhaseInUse, AnyRom);
    row(S::Phases, "направления", ItemPhase, kMaxPhases, KDT_AT(PhaseDirections), 2, 2, F::Directions,
        PhaseInUse, AnyRom);
    row(S::Phases, "минимальная длительность", ItemPhase, kMaxPhases, KDT_AT(PhaseMinTime), 2, 2, F::Seconds,
        PhaseInUse, Rom421);
    row(S::Phases, "максимальная длительность", ItemPhase, kMaxPhases, KDT_AT(PhaseMaxTime), 2, 2, F::Seconds,
        PhaseInUse, Rom421);

    row(S::GreenStreets, "зеленая улица", ItemPhase, kMaxPhases, KDT_AT(GreenStreet), 1, 1, F::PhaseNumber,
        PhaseInUse, AnyRom);

    row(S::Programs, "число тактов", ItemProgram, kMaxPrograms,
        KDT_AT(Program) + offsetof(TSignalProgram, TactCount), kProgramSize, 2, F::Number, ProgramInUse,
        AnyRom);
    row(S::Programs, LowerFirst(kLabelCycle), ItemProgram, kMaxPrograms,
        KDT_AT(Program) + offsetof(TSignalProgram, CycleLength), kProgramSize, 2, F::HalfSeconds,
        ProgramInUse, AnyRom);
    grid(S::Programs, "фаза", ItemTact, kMaxPrograms, kMaxTacts,
         KDT_AT(Program) + offsetof(TSignalProgram, TactPhase), kProgramSize, 1, 1, F::PhaseNumber, TactInUse,
         AnyRom);
    grid(S::Programs, "длительность фазы", ItemTact, kMaxPrograms, kMaxTacts,
         KDT_AT(Program) + offsetof(TSignalProgram, TactDuration), kProgramSize, 2, 2, F::HalfSeconds,
         TactInUse, AnyRom);
    grid(S::Programs, "длительность промтакта", ItemTact, kMaxPrograms, kMaxTacts,
         KDT_AT(Program) + offsetof(TSignalProgram, TactInterDuration), kProgramSize, 2, 2, F::HalfSeconds,
         TactInUse, AnyRom);

    row(S::PedestrianCall, "фаза", ItemButton, kMaxTvpButtons, kButton1 + offsetof(TTvpButton, Phase),
        sizeof(TTvpButton), 2, F::PhaseNumber, ButtonInUse, AnyRom);
    row(S::PedestrianCall, "длительность", ItemButton, kMaxTvpButtons,
        kButton1 + offsetof(TTvpButton, Duration), sizeof(TTvpButton), 2, F::HalfSeconds, ButtonInUse,
        AnyRom);
    row(S::PedestrianCall, "уставка " + Quote(kLabelWait), ItemButton, kMaxTvpButtons,
        kButton1 + offsetof(TTvpButton, WaitMask), sizeof(TTvpButton), 4, F::Channels, ButtonInUse, AnyRom);
    row(S::PedestrianCall, LowerFirst(kLabelInsertPhase), ItemButton, kMaxTvpButtons, KDT_AT(TvpInsertPhase),
        1, 1, F::InsertPhase, ButtonInUse, Rom42x);

    grid(S::DailySchedule, "", ItemScheduleRow, kDayCount, kScheduleRows, KDT_AT(Schedule), kDaySize,
         sizeof(TScheduleEntry), sizeof(TScheduleEntry), F::ScheduleRow, ScheduleRowInUse, AnyRom);

    one(S::PowerOn, LowerFirst(kLabelPowerOnState), ItemPowerOn, KDT_AT(PowerOnState), 1, F::PowerOnState,
        AnyRom);
    one(S::PowerOn, LowerFirst(kLabelPowerOnDuration), ItemPowerOn, KDT_AT(PowerOnDuration), 1, F::Seconds,
        AnyRom);

    one(S::Coordinator, LowerFirst(kLabelControllerCount), ItemCoordinator, KDT_AT(CoordControllerCount), 1,
        F::Number, AnyRom);
    grid(S::Coordinator, "задержка", ItemDelay, kMaxPrograms, kMaxCoordControllers, KDT_AT(CoordDelay),
         kMaxCoordControllers, 1, 1, F::Seconds, DelayInUse, AnyRom);

    row(S::SpeedIndicator, "время", ItemSpeedRow, kSpeedRows, KDT_AT(SpeedSchedule), sizeof(TSpeedEntry), 2,
        F::TimeOfDay, Always, RomFrom413);
    for (int indicator = 0; indicator < kSpeedIndicators; ++indicator)
        row(S::SpeedIndicator, "скорость " + Number(indicator), ItemSpeedRow, kSpeedRows,
            KDT_AT(SpeedSchedule) + offsetof(TSpeedEntry, Speed) + indicator, sizeof(TSpeedEntry), 1,
            F::Speed, Always, RomFrom413);

    one(S::Detectors, "число детекторов", ItemDetectors, KDT_AT(DetectorCount), 1, F::Number, Rom421);
    row(S::Detectors, "число зон", ItemDetector, kMaxDetectors, KDT_AT(Detector), sizeof(TDetectorSettings),
        1, F::Number, DetectorInUse, Rom421);
    grid(S::Detectors, "направления", ItemZone, kMaxDetectors, kMaxDetectorZones,
         KDT_AT(Detector) + offsetof(TDetectorSettings, ZoneDirections), sizeof(TDetectorSettings), 2, 2,
         F::Directions, DetectorInUse, Rom421);

    one(S::Additional, std::string(kLabelTcpIp), ItemAdditional, KDT_AT(ExtraLines),
        kTcpIpSlots * kExtraLineLength, F::FixedText, Rom421);
    row(S::Additional, "", ItemExtraLine, kExtraLineSlots - kTcpIpSlots,
        KDT_AT(ExtraLines) + kTcpIpSlots * kExtraLineLength, kExtraLineLength, kExtraLineLength, F::FixedText,
        Always, Rom421);
    return t;
}

#undef KDT_AT

}  // namespace

std::string_view PlanSectionName(PlanSection section) {
    if (section == PlanSection::Header) return "Заголовок";
    return kReportSectionNames[static_cast<int>(section) - 1];
}

std::span<const PlanField> PlanFields() {
    static const std::vector<PlanField> table = BuildTable();
    return table;
}

std::span<const std::uint8_t> FieldBytes(const PlanField& field, const TSignalPlan& plan, int i, int j) {
    return RecordBytes(plan).subspan(field.OffsetOf(i, j), field.width);
}

bool SameFieldValue(const PlanField& field, const TSignalPlan& a, const TSignalPlan& b, int i, int j) {
    std::span<const std::uint8_t> x = FieldBytes(field, a, i, j);
    std::span<const std::uint8_t> y = FieldBytes(field, b, i, j);
    if (field.format == ValueFormat::RecordString) {
        x = ValidCharacters(x);
        y = ValidCharacters(y);
    }
    return std::equal(x.begin(), x.end(), y.begin(), y.end());
}

std::string FormatFieldValue(ValueFormat format, std::span<const std::uint8_t> bytes) {
    const unsigned value = LittleEndian(bytes);
    switch (format) {
        case ValueFormat::Number:
        case ValueFormat::Seconds:
        case ValueFormat::Speed:
            return std::to_string(value);
        case ValueFormat::PhaseNumber:
            return std::to_string(value + 1);
        case ValueFormat::InsertPhase:
            return value == kNoInsertPhase ? "нет" : std::to_string(value + 1);
        case ValueFormat::HalfSeconds:
            return std::to_string(value / 2) + (value % 2 != 0 ? ",5" : "");
        case ValueFormat::YesNo:
            return value == 0 ? "нет" : value == 1 ? "да" : Unnamed(value);
        case ValueFormat::Channels:
            return NumberList(value, kChannelCount);
        case ValueFormat::Directions:
            return NumberList(value, kMaxDirections);
        case ValueFormat::Colour:
            return Named(kColourNames, value);
        case ValueFormat::RomVersion:
            return RomVersionName(static_cast<std::uint8_t>(value));
        case ValueFormat::Interface:
            return Named(kInterfaceNames, value);
        case ValueFormat::NetworkType:
            return Named(kNetworkTypeNames, value);
        case ValueFormat::PowerOnState:
            return value == 3 ? std::string(kProgramShortName) : Named(kCommandShortNames, value);
        case ValueFormat::OptionFlags: {
            std::string text;
            for (int bit = 0; bit < 8; ++bit) {
                if (((value >> bit) & 1u) == 0) continue;
                if (!text.empty()) text += ", ";
                text += bit == 0 ? "УСк и ТОО" : bit == 1 ? "ДТ" : "бит " + std::to_string(bit);
            }
            return text.empty() ? "—" : text;
        }
        case ValueFormat::ScheduleRow:
            return TwoDigits(bytes[0]) + ":" + TwoDigits(bytes[1]) + " " + CommandName(bytes[2]);
        case ValueFormat::TimeOfDay:
            return TwoDigits(bytes[0]) + ":" + TwoDigits(bytes[1]);
        case ValueFormat::RecordString:
            return QuotedText(ValidCharacters(bytes));
        case ValueFormat::FixedText:
            return QuotedText(UpToZero(bytes));
    }
    return Unnamed(value);
}

std::string_view FieldUnit(ValueFormat format) {
    switch (format) {
        case ValueFormat::HalfSeconds:
        case ValueFormat::Seconds:
            return "с";
        case ValueFormat::Speed:
            return "км/ч";
        default:
            return "";
    }
}

}  // namespace kdt
