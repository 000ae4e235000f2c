#include "data/LegacyImport.h"

#include <array>
#include <charconv>
#include <cstring>
#include <optional>

#include "common/FileIO.h"
#include "data/DbaseTable.h"
#include "data/TextEncoding.h"

namespace kdt {
namespace {

struct RefusedName {
    const char* fileName;
    const char* message;
};

constexpr RefusedName kRefusedNames[] = {
    {"help.dbf", "Данный файл является файлом справки и не содержит СОД"},
    {"foxuser.dbf", "Данный файл является файлом конфигурации и не содержит СОД"},
    {"karkas.dbf", "Данный файл является схемой таблицы и не содержит СОД"},
};

// A row that cannot be read ends the import; the rows before it stay.
struct RowError {
    std::string detail;
};

// A row whose index lies outside the plan's arrays is skipped, never written.
struct OutsideRecord {};

// Kod: up to four whole numbers separated by blanks. The numbers a row does
// not give keep the previous row's values.
void SplitKod(std::string_view kod, std::array<long, 4>& numbers) {
    std::size_t position = 0;
    std::size_t index = 0;
    while (true) {
        while (position < kod.size() && kod[position] == ' ') ++position;
        if (position >= kod.size()) break;
        const std::size_t end = std::min(kod.find(' ', position), kod.size());
        std::string_view part = kod.substr(position, end - position);
        if (!part.empty() && part.front() == '+') part.remove_prefix(1);
        long number = 0;
        const auto [stop, error] = std::from_chars(part.data(), part.data() + part.size(), number);
        if (error != std::errc() || stop != part.data() + part.size() || part.empty())
            throw RowError{"Kod \"" + std::string(kod) + "\" holds \"" +
                           std::string(kod.substr(position, end - position)) + "\", not a number"};
        if (index < numbers.size()) numbers[index] = number;
        ++index;
        position = end;
    }
}

// Index i (1-based) of an array of `size` elements, as a 0-based index.
std::size_t Index(long i, std::size_t size) {
    if (i < 1 || static_cast<std::size_t>(i) > size) throw OutsideRecord{};
    return static_cast<std::size_t>(i - 1);
}

class TableImport {
public:
    TableImport(DbaseTable& table, TSignalPlan& plan) : table_(table), plan_(plan) {}

    LegacyImportResult Run() {
        LegacyImportResult result;
        try {
            kod_ = RequiredField("Kod");
            val1_ = RequiredField("Val1");
            val2_ = RequiredField("Val2");
            for (table_.First(); !table_.AtEnd(); table_.Next()) {
                ++rowNumber_;
                ImportRow(result);
            }
        } catch (const RowError& error) {
            result.stopMessage = std::string(kLegacyRowErrorMessage);
            result.stopDetail =
                rowNumber_ > 0 ? "row " + std::to_string(rowNumber_) + ": " + error.detail : error.detail;
        }
        result.truncatedValues = std::move(truncatedValues_);
        if (result.stopMessage.empty() && rowsWithKod_ == 0) {
            // Nothing was applied, so the plan is as it was.
            result.status = LegacyImportResult::Status::Empty;
            result.error = std::string(kLegacyOpenErrorMessage);
            result.stopDetail = "the table has no row with a Kod";
            return result;
        }
        // The table counts ROM types from 1. Applied also when a later row
        // stopped the import, so an imported ROM type is never one too high.
        if (romVersion_) plan_.RomVersion = static_cast<std::uint8_t>(*romVersion_ - 1);
        if (result.stopMessage.empty()) StoreText(plan_.ProjectFileName, "");
        return result;
    }

private:
    std::size_t RequiredField(const char* name) const {
        const auto index = table_.FieldIndex(name);
        if (!index) throw RowError{std::string("the table has no field ") + name};
        return *index;
    }

    long Value(std::size_t field) const {
        if (table_.IsEmpty(field)) return 0;
        std::string error;
        const auto value = table_.AsInteger(field, &error);
        if (!value) throw RowError{error};
        return *value;
    }
    long Val1() const { return Value(val1_); }
    long Val2() const { return Value(val2_); }
    long Val3() const { return Value(RequiredField("Val3")); }
    bool Val1Empty() const { return table_.IsEmpty(val1_); }
    bool Val3Empty() const { return table_.IsEmpty(RequiredField("Val3")); }
    std::string Str() const {
        const std::size_t field = RequiredField("Str");
        if (table_.IsEmpty(field)) return {};
        std::string error;
        auto text = table_.AsText(field, &error);
        if (!text) throw RowError{error};
        return *text;
    }

    // A count the plan uses as a loop bound, or the ROM type: a value outside
    // its range is not a truncation to live with but a table that is wrong.
    long InRange(long value, long lowest, long highest, const char* field) const {
        if (value < lowest || value > highest)
            throw RowError{std::string(field) + " " + std::to_string(value) + " lies outside " +
                           std::to_string(lowest) + ".." + std::to_string(highest)};
        return value;
    }

    // The value (less 1 where the table's 1-based numbers become the plan's
    // 0-based ones) cut to the field's width, as the DOS tool stored it; the
    // subtraction is unsigned, so the smallest number a table can hold wraps
    // instead of overflowing. A value outside the field's signed and unsigned
    // range is named in a warning; negative values are no fault, they carry
    // addresses above 32767 and 255 for "none".
    template <typename Field>
    Field Cut(long value, const char* field, long less = 0) {
        constexpr long long kBits = static_cast<long long>(sizeof(Field)) * 8;
        constexpr long long kLowest = -(1LL << (kBits - 1));
        constexpr long long kHighest = (1LL << kBits) - 1;
        const Field stored =
            static_cast<Field>(static_cast<unsigned long>(value) - static_cast<unsigned long>(less));
        if (value < kLowest + less || value > kHighest + less) {
            std::string text =
                "row " + std::to_string(rowNumber_) + " (Kod \"" + kodText_ + "\"): " + field + " ";
            text += less != 0 ? std::to_string(value) + " - " + std::to_string(less) : std::to_string(value);
            text += " does not fit " + std::to_string(kBits) + " bits, stored as " + std::to_string(stored);
            truncatedValues_.push_back(std::move(text));
        }
        return stored;
    }

    void ImportRow(LegacyImportResult& result) {
        if (table_.IsEmpty(kod_)) return;
        std::string error;
        const auto kod = table_.AsText(kod_, &error);
        if (!kod) throw RowError{error};
        ++rowsWithKod_;
        kodText_ = *kod;
        SplitKod(*kod, numbers_);
        try {
            Apply(numbers_[0], numbers_[1], numbers_[2], numbers_[3]);
        } catch (const OutsideRecord&) {
            ++result.skippedRows;
        }
    }

    void Apply(long code, long i1, long i2, long i3) {
        TSignalPlan& p = plan_;
        switch (code) {
            case 100:
                ApplyProgram(i1, i2, i3);
                break;
            case 110: {
                const std::size_t b = Index(i1, kMaxTvpButtons);
                TTvpButton& button = p.Tvp[b + 1];
                button.Phase = Cut<std::uint16_t>(Val1(), "Phase", 1);
                button.Duration = Cut<std::uint16_t>(Val2(), "Duration");
                p.TvpInsertPhase[b] = Cut<std::uint8_t>(Val2(), "TvpInsertPhase", 1);
                button.WaitMask = PatternMask(Str());
                break;
            }
            case 111:
                p.TvpButtonCount =
                    static_cast<std::uint8_t>(InRange(Val1(), 0, kMaxTvpButtons, "TvpButtonCount"));
                break;
            case 112:
                p.PowerOnState = Cut<std::uint8_t>(Val1(), "PowerOnState", 1);
                p.PowerOnDuration = Cut<std::uint8_t>(Val2(), "PowerOnDuration");
                break;
            case 113:
                p.VpuInterface = Cut<std::uint8_t>(Val1(), "VpuInterface", 1);
                break;
            case 114:
                p.TvpInterface = Cut<std::uint8_t>(Val1(), "TvpInterface", 1);
                break;
            case 120:
                p.YellowFlashMask = PatternMask(Str());
                break;
            case 121:
                p.AllRedMask = PatternMask(Str());
                break;
            case 122:
                p.GreenConflictMask = PatternMask(Str());
                break;
            case 123:
                p.RedConflictMask = PatternMask(Str());
                break;
            case 130:
                p.PhaseCount = static_cast<std::uint8_t>(InRange(Val1(), 1, kMaxPhases, "PhaseCount"));
                break;
            case 131:
                p.DirectionCount =
                    static_cast<std::uint8_t>(InRange(Val1(), 1, kMaxDirections, "DirectionCount"));
                break;
            case 132:
                p.MinPhaseDuration = Cut<std::uint16_t>(Val1(), "MinPhaseDuration");
                break;
            case 133:
                p.PhaseEndBlinkCount = Cut<std::uint8_t>(Val1(), "PhaseEndBlinkCount");
                break;
            // 1..6 stand for 4.1.0..4.2.1.
            case 134:
                romVersion_ = static_cast<std::uint8_t>(InRange(Val1(), 1, kRomTypeCount, "RomVersion"));
                break;
            case 140: {
                TDirectionSettings& direction = p.Direction[Index(i1, kMaxDirections)];
                direction.HeadDuration = Cut<std::uint16_t>(Val1(), "HeadDuration");
                direction.TailDuration = Cut<std::uint16_t>(Val2(), "TailDuration");
                const std::string patterns = Str();
                if (patterns.empty()) break;
                // Five patterns of 32 characters: head, green, red, tail, blink.
                std::uint32_t masks[5];
                for (std::size_t m = 0; m < 5; ++m)
                    masks[m] = m * 32 < patterns.size()
                                   ? PatternMask(std::string_view(patterns).substr(m * 32, 32))
                                   : 0;
                direction.HeadMask = masks[0];
                direction.GreenMask = masks[1];
                direction.RedMask = masks[2];
                direction.TailMask = masks[3];
                direction.BlinkMask = masks[4];
                break;
            }
            case 141:
                ApplyExtraGreen(p.Direction[Index(i1, kMaxDirections)]);
                break;
            case 142: {
                TDirectionSettings& direction = p.DirectionManual[Index(i1, kMaxDirections)];
                direction.HeadDuration = Cut<std::uint16_t>(Val1(), "HeadDuration");
                direction.TailDuration = Cut<std::uint16_t>(Val2(), "TailDuration");
                break;
            }
            case 143:
                ApplyExtraGreen(p.DirectionManual[Index(i1, kMaxDirections)]);
                break;
            case 150: {
                const std::size_t phase = Index(i1, kMaxPhases);
                if (!Val3Empty()) p.PhaseInterTact[phase] = Cut<std::uint16_t>(Val3(), "PhaseInterTact");
                const std::string pattern = Str();
                if (!pattern.empty()) {
                    std::string padded = pattern;
                    if (padded.size() < 32) padded.resize(32, ' ');
                    p.PhaseDirections[phase] = static_cast<std::uint16_t>(PatternMask(padded) & 0xFFFF);
                }
                break;
            }
            case 155: {
                const std::size_t phase = Index(i1, kMaxPhases);
                if (!Val1Empty()) p.GreenStreet[phase] = Cut<std::uint8_t>(Val1(), "GreenStreet", 1);
                break;
            }
            case 160: {
                TScheduleEntry& row = p.Schedule[Index(i1, kDayCount)][Index(i2, kScheduleRows)];
                row.Hour = Cut<std::uint8_t>(Val1(), "Hour");
                row.Minute = Cut<std::uint8_t>(Val2(), "Minute");
                row.Command = Val3Empty() ? 0 : Cut<std::uint8_t>(Val3(), "Command");
                break;
            }
            case 170:
                p.ConflictExitPeriod = Cut<std::uint16_t>(Val1(), "ConflictExitPeriod");
                break;
            case 171:
                p.ConflictRepeatCount = Cut<std::uint8_t>(Val1(), "ConflictRepeatCount");
                break;
            case 180:
                StoreText(p.Comment, Cp866ToCp1251(Str()));
                break;
            case 181:
                ApplyColours(Str());
                break;
            case 190:
                ApplyNetwork(i1);
                break;
            case 191: {
                std::uint8_t& delay = p.CoordDelay[Index(i1, kMaxPrograms)][Index(i2, kMaxCoordControllers)];
                delay = Cut<std::uint8_t>(Val1(), "CoordDelay");
                break;
            }
            default:
                break;  // codes the plan has no use for
        }
    }

    void ApplyProgram(long kind, long program, long tact) {
        switch (kind) {
            case 0: {
                // The index first: a row outside the plan is skipped whatever its value.
                TSignalProgram& target = plan_.Program[Index(program, kMaxPrograms)];
                target.TactCount = static_cast<std::uint16_t>(InRange(Val1(), 1, kMaxTacts, "TactCount"));
                break;
            }
            case 1: {
                TSignalProgram& target = plan_.Program[Index(program, kMaxPrograms)];
                const std::size_t t = Index(tact, kMaxTacts);
                target.TactPhase[t] = Cut<std::uint8_t>(Val1(), "TactPhase", 1);
                target.TactDuration[t] = Cut<std::uint16_t>(Val2(), "TactDuration");
                target.TactInterDuration[t] = Cut<std::uint16_t>(Val3(), "TactInterDuration");
                break;
            }
            case 2:
                plan_.ProgramCount =
                    static_cast<std::uint8_t>(InRange(Val1(), 1, kMaxPrograms, "ProgramCount"));
                break;
            default:
                break;
        }
    }

    void ApplyExtraGreen(TDirectionSettings& direction) {
        direction.ExtraGreenAfterGreen = Cut<std::uint16_t>(Val1(), "ExtraGreenAfterGreen");
        direction.ExtraGreenAfterRed = Cut<std::uint16_t>(Val2(), "ExtraGreenAfterRed");
        direction.GreenBlinkCount = Cut<std::uint16_t>(Val3(), "GreenBlinkCount");
    }

    // Character k of the text sets the colour of channel k: "1" yellow,
    // "2" green, "3" red; other characters leave the channel as it is.
    void ApplyColours(const std::string& colours) {
        for (std::size_t k = 0; k < colours.size() && k < kChannelCount; ++k) {
            switch (colours[k]) {
                case '1':
                    plan_.ChannelColour[k] = 2;
                    break;
                case '2':
                    plan_.ChannelColour[k] = 3;
                    break;
                case '3':
                    plan_.ChannelColour[k] = 1;
                    break;
                default:
                    break;
            }
        }
    }

    // Sub-code 0 is the network type, 4 the controller count; any other
    // sub-code s holds the address for network type s + 1.
    void ApplyNetwork(long subCode) {
        if (subCode == 0) {
            plan_.NetworkType = Cut<std::uint8_t>(Val1(), "NetworkType", 1);
        } else if (subCode == 4) {
            plan_.CoordControllerCount = Cut<std::uint8_t>(Val1(), "CoordControllerCount");
        } else if (plan_.NetworkType == subCode + 1) {
            plan_.NetworkAddress = Cut<std::uint16_t>(Val1(), "NetworkAddress");
        }
    }

    DbaseTable& table_;
    TSignalPlan& plan_;
    std::size_t kod_ = 0;
    std::size_t val1_ = 0;
    std::size_t val2_ = 0;
    std::array<long, 4> numbers_{};
    std::optional<std::uint8_t> romVersion_;
    long rowNumber_ = 0;
    long rowsWithKod_ = 0;
    std::string kodText_;
    std::vector<std::string> truncatedValues_;
};

}  // namespace

std::uint32_t PatternMask(std::string_view pattern) {
    std::uint32_t mask = 0;
    for (const char c : pattern) {
        mask >>= 1;
        if (c != ' ') mask |= 0x80000000u;
    }
    return mask;
}

LegacyImportResult ImportLegacyTable(const std::filesystem::path& path, TSignalPlan& plan) {
    LegacyImportResult result;
    const std::string fileName = LowerCaseCp1251Letters(PathToUtf8(path.filename()));
    for (const RefusedName& refused : kRefusedNames) {
        if (fileName == refused.fileName) {
            result.status = LegacyImportResult::Status::Refused;
            result.error = refused.message;
            return result;
        }
    }
    DbaseTableOpen opened = DbaseTable::Open(path.parent_path(), PathToUtf8(path.filename()));
    if (!opened.ok()) {
        result.status = LegacyImportResult::Status::CannotOpen;
        result.error = std::string(kLegacyOpenErrorMessage);
        result.stopDetail = opened.error;
        return result;
    }
    result = TableImport(*opened.table, plan).Run();
    opened.table->Close();
    return result;
}

}  // namespace kdt
