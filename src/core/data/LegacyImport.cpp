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
            throw RowError{"Kod \"" + std::string(kod) + "\" holds \"" + std::string(kod.substr(position, end - position)) +
                           "\", not a number"};
        if (index < numbers.size()) numbers[index] = number;
        ++index;
        position = end;
    }
}

// The table's 1-based numbers as the plan's 0-based ones; unsigned, so that
// the smallest number a table can hold wraps instead of overflowing.
unsigned long MinusOne(long value) { return static_cast<unsigned long>(value) - 1u; }

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
            result.stopDetail = rowNumber_ > 0 ? "row " + std::to_string(rowNumber_) + ": " + error.detail : error.detail;
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

    void ImportRow(LegacyImportResult& result) {
        if (table_.IsEmpty(kod_)) return;
        std::string error;
        const auto kod = table_.AsText(kod_, &error);
        if (!kod) throw RowError{error};
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
        case 100: ApplyProgram(i1, i2, i3); break;
        case 110: {
            const std::size_t b = Index(i1, kMaxTvpButtons);
            TTvpButton& button = p.Tvp[b + 1];
            button.Phase = static_cast<std::uint16_t>(MinusOne(Val1()));
            button.Duration = static_cast<std::uint16_t>(Val2());
            p.TvpInsertPhase[b] = static_cast<std::uint8_t>(MinusOne(Val2()));
            button.WaitMask = PatternMask(Str());
            break;
        }
        case 111: p.TvpButtonCount = static_cast<std::uint8_t>(Val1()); break;
        case 112:
            p.PowerOnState = static_cast<std::uint8_t>(MinusOne(Val1()));
            p.PowerOnDuration = static_cast<std::uint8_t>(Val2());
            break;
        case 113: p.VpuInterface = static_cast<std::uint8_t>(MinusOne(Val1())); break;
        case 114: p.TvpInterface = static_cast<std::uint8_t>(MinusOne(Val1())); break;
        case 120: p.YellowFlashMask = PatternMask(Str()); break;
        case 121: p.AllRedMask = PatternMask(Str()); break;
        case 122: p.GreenConflictMask = PatternMask(Str()); break;
        case 123: p.RedConflictMask = PatternMask(Str()); break;
        case 130: p.PhaseCount = static_cast<std::uint8_t>(Val1()); break;
        case 131: p.DirectionCount = static_cast<std::uint8_t>(Val1()); break;
        case 132: p.MinPhaseDuration = static_cast<std::uint16_t>(Val1()); break;
        case 133: p.PhaseEndBlinkCount = static_cast<std::uint8_t>(Val1()); break;
        case 134: romVersion_ = static_cast<std::uint8_t>(Val1()); break;
        case 140: {
            TDirectionSettings& direction = p.Direction[Index(i1, kMaxDirections)];
            direction.HeadDuration = static_cast<std::uint16_t>(Val1());
            direction.TailDuration = static_cast<std::uint16_t>(Val2());
            const std::string patterns = Str();
            if (patterns.empty()) break;
            // Five patterns of 32 characters: head, green, red, tail, blink.
            std::uint32_t masks[5];
            for (std::size_t m = 0; m < 5; ++m)
                masks[m] = m * 32 < patterns.size() ? PatternMask(std::string_view(patterns).substr(m * 32, 32)) : 0;
            direction.HeadMask = masks[0];
            direction.GreenMask = masks[1];
            direction.RedMask = masks[2];
            direction.TailMask = masks[3];
            direction.BlinkMask = masks[4];
            break;
        }
        case 141: ApplyExtraGreen(p.Direction[Index(i1, kMaxDirections)]); break;
        case 142: {
            TDirectionSettings& direction = p.DirectionManual[Index(i1, kMaxDirections)];
            direction.HeadDuration = static_cast<std::uint16_t>(Val1());
            direction.TailDuration = static_cast<std::uint16_t>(Val2());
            break;
        }
        case 143: ApplyExtraGreen(p.DirectionManual[Index(i1, kMaxDirections)]); break;
        case 150: {
            const std::size_t phase = Index(i1, kMaxPhases);
            if (!Val3Empty()) p.PhaseInterTact[phase] = static_cast<std::uint16_t>(Val3());
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
            if (!Val1Empty()) p.GreenStreet[phase] = static_cast<std::uint8_t>(MinusOne(Val1()));
            break;
        }
        case 160: {
            TScheduleEntry& row = p.Schedule[Index(i1, kDayCount)][Index(i2, kScheduleRows)];
            row.Hour = static_cast<std::uint8_t>(Val1());
            row.Minute = static_cast<std::uint8_t>(Val2());
            row.Command = Val3Empty() ? 0 : static_cast<std::uint8_t>(Val3());
            break;
        }
        case 170: p.ConflictExitPeriod = static_cast<std::uint16_t>(Val1()); break;
        case 171: p.ConflictRepeatCount = static_cast<std::uint8_t>(Val1()); break;
        case 180: StoreText(p.Comment, Cp866ToCp1251(Str())); break;
        case 181: ApplyColours(Str()); break;
        case 190: ApplyNetwork(i1); break;
        case 191: p.CoordDelay[Index(i1, kMaxPrograms)][Index(i2, kMaxCoordControllers)] =
                      static_cast<std::uint8_t>(Val1());
            break;
        default: break;  // codes the plan has no use for
        }
    }

    void ApplyProgram(long kind, long program, long tact) {
        switch (kind) {
        case 0:
            plan_.Program[Index(program, kMaxPrograms)].TactCount = static_cast<std::uint16_t>(Val1());
            break;
        case 1: {
            TSignalProgram& target = plan_.Program[Index(program, kMaxPrograms)];
            const std::size_t t = Index(tact, kMaxTacts);
            target.TactPhase[t] = static_cast<std::uint8_t>(MinusOne(Val1()));
            target.TactDuration[t] = static_cast<std::uint16_t>(Val2());
            target.TactInterDuration[t] = static_cast<std::uint16_t>(Val3());
            break;
        }
        case 2: plan_.ProgramCount = static_cast<std::uint8_t>(Val1()); break;
        default: break;
        }
    }

    void ApplyExtraGreen(TDirectionSettings& direction) {
        direction.ExtraGreenAfterGreen = static_cast<std::uint16_t>(Val1());
        direction.ExtraGreenAfterRed = static_cast<std::uint16_t>(Val2());
        direction.GreenBlinkCount = static_cast<std::uint16_t>(Val3());
    }

    // Character k of the text sets the colour of channel k: "1" yellow,
    // "2" green, "3" red; other characters leave the channel as it is.
    void ApplyColours(const std::string& colours) {
        for (std::size_t k = 0; k < colours.size() && k < kChannelCount; ++k) {
            switch (colours[k]) {
            case '1': plan_.ChannelColour[k] = 2; break;
            case '2': plan_.ChannelColour[k] = 3; break;
            case '3': plan_.ChannelColour[k] = 1; break;
            default: break;
            }
        }
    }

    // Sub-code 0 is the network type, 4 the controller count; any other
    // sub-code s holds the address for network type s + 1.
    void ApplyNetwork(long subCode) {
        if (subCode == 0) {
            plan_.NetworkType = static_cast<std::uint8_t>(MinusOne(Val1()));
        } else if (subCode == 4) {
            plan_.CoordControllerCount = static_cast<std::uint8_t>(Val1());
        } else if (plan_.NetworkType == subCode + 1) {
            plan_.NetworkAddress = static_cast<std::uint16_t>(Val1());
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
            result.message = refused.message;
            return result;
        }
    }
    std::string error;
    std::optional<DbaseTable> table = DbaseTable::Open(path.parent_path(), PathToUtf8(path.filename()), error);
    if (!table) {
        result.status = LegacyImportResult::Status::CannotOpen;
        result.message = std::string(kLegacyOpenErrorMessage);
        result.stopDetail = error;
        return result;
    }
    result = TableImport(*table, plan).Run();
    table->Close();
    return result;
}

}  // namespace kdt
