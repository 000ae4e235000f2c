#include "rom/RomImageBuilder.h"

#include <array>
#include <initializer_list>
#include <span>

#include "data/PlanRules.h"
#include "rom/KonvertHexBin.h"
#include "rom/RomLayout.h"

namespace kdt {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Appends records to the list: single fields as one record of their size,
// blocks as consecutive records of at most 16 bytes from their first address.
class RecordList {
public:
    explicit RecordList(std::vector<std::string>& lines) : lines_(lines) {
        lines_.reserve(lines_.size() + 256);
    }

    void Record(std::uint16_t address, std::span<const std::uint8_t> bytes) {
        lines_.push_back(
            FormatHexRecord(static_cast<std::uint8_t>(bytes.size()), kHexDataRecord, address, bytes));
    }
    void Record(std::uint16_t address, std::initializer_list<std::uint8_t> bytes) {
        Record(address, std::span<const std::uint8_t>(bytes.begin(), bytes.size()));
    }
    void Block(std::uint32_t address, std::span<const std::uint8_t> bytes) {
        for (std::size_t offset = 0; offset < bytes.size(); offset += kRecordSize) {
            const std::size_t length = std::min(kRecordSize, bytes.size() - offset);
            Record(static_cast<std::uint16_t>(address + offset), bytes.subspan(offset, length));
        }
    }
    void EndOfFile() { lines_.push_back(FormatHexRecord(0, kHexEndOfFileRecord, 0, {})); }

private:
    static constexpr std::size_t kRecordSize = 16;
    std::vector<std::string>& lines_;
};

std::uint8_t Low(std::uint32_t value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

// Whole seconds from half-seconds: shifted first, then cut to a byte, so
// values up to 255 s survive.
std::uint8_t Secs(std::uint16_t halfSeconds) {
    return Low(halfSeconds >> 1u);
}

void AppendLe(Bytes& bytes, std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i) bytes.push_back(Low(value >> (8 * i)));
}

class ImageBuilder {
public:
    ImageBuilder(const TSignalPlan& plan, const RomLayout& layout, std::vector<std::string>& lines)
        : plan_(plan), layout_(layout), records_(lines) {}

    void Build() {
        records_.Record(0, {Half(plan_.ConflictExitPeriod)});
        records_.Record(1, {plan_.ConflictRepeatCount});
        if (layout_.networkHeadAt2) {
            records_.Record(2, NetworkHeadBytes());
        } else {
            records_.Record(2, {plan_.RomVersion});
            records_.Record(3, {0xFF});
        }
        records_.Block(kProgramBlockAddress, ProgramBlock());
        records_.Block(kCycleLineAddress, CycleLine());
        if (layout_.family == RomFamily::Rom42x) {
            BuildSettings42x();
        } else {
            BuildSettings41x();
        }
        records_.Block(layout_.directions, DirectionBlock());
        records_.Block(layout_.phases, PhaseBlock());
        if (layout_.family == RomFamily::Rom42x) BuildPedestrianBlocks();
        records_.Block(layout_.schedule, ScheduleBlock());
        records_.Block(layout_.coordinator, CoordinatorBlock());
        records_.Record(layout_.powerOn, {plan_.PowerOnDuration, plan_.PowerOnState});
        records_.Record(static_cast<std::uint16_t>(layout_.powerOn + 2), {plan_.VpuInterface});
        if (layout_.speedTable != 0) {
            for (int r = 0; r < kSpeedRows; ++r) {
                const TSpeedEntry& row = plan_.SpeedSchedule[r];
                Bytes bytes{row.Hour, row.Minute};
                bytes.insert(bytes.end(), std::begin(row.Speed), std::end(row.Speed));
                records_.Record(static_cast<std::uint16_t>(layout_.speedTable + 10 * r), bytes);
            }
        }
        if (layout_.family == RomFamily::Rom42x) records_.Record(kOptionFlagsAddress, {plan_.OptionFlags});
        if (layout_.extension421) BuildExtension421();
        records_.EndOfFile();
    }

private:
    std::uint8_t Half(std::uint16_t value) const { return layout_.halfInSeconds ? Secs(value) : Low(value); }

    Bytes NetworkHeadBytes() const {
        const std::uint8_t address = Low(plan_.NetworkAddress);
        return {plan_.NetworkType == 1 ? address : std::uint8_t(0xFF),
                plan_.NetworkType == 2 ? address : std::uint8_t(0xFF), 0};
    }

    Bytes ProgramBlock() const {
        Bytes bytes;
        bytes.reserve(kMaxPrograms * kProgramRecordSize);
        for (const TSignalProgram& program : plan_.Program) {
            bytes.push_back(Low(program.TactCount));
            bytes.insert(bytes.end(), std::begin(program.TactPhase), std::end(program.TactPhase));
            for (int t = 0; t < kMaxTacts; ++t) bytes.push_back(Half(program.TactDuration[t]));
            for (int t = 0; t < kMaxTacts; ++t) bytes.push_back(Half(program.TactInterDuration[t]));
        }
        return bytes;
    }

    Bytes CycleLine() const {
        Bytes bytes;
        for (const TSignalProgram& program : plan_.Program) bytes.push_back(Secs(program.CycleLength));
        return bytes;
    }

    void BuildSettings42x() {
        BuildMasks(kMasksAddress42x);
        BuildCounts(kCountsAddress42x);
    }

    void BuildSettings41x() {
        Bytes buttons;
        for (int b = 1; b <= kMaxTvpButtons; ++b) {
            buttons.push_back(Low(plan_.Tvp[b].Phase));
            buttons.push_back(Half(plan_.Tvp[b].Duration));
            AppendLe(buttons, plan_.Tvp[b].WaitMask, 4);
        }
        records_.Block(kButtonsAddress41x, buttons);  // 16 bytes, then 8
        BuildMasks(kMasksAddress41x);
        BuildCounts(kCountsAddress41x);
    }

    void BuildMasks(std::uint16_t address) {
        for (const std::uint32_t mask :
             {plan_.YellowFlashMask, plan_.AllRedMask, plan_.GreenConflictMask, plan_.RedConflictMask}) {
            Bytes bytes;
            AppendLe(bytes, mask, 4);
            records_.Record(address, bytes);
            address = static_cast<std::uint16_t>(address + 4);
        }
    }

    // Counts, minimum phase duration and blink count, then the green streets.
    void BuildCounts(std::uint16_t address) {
        records_.Record(address, {plan_.PhaseCount});
        records_.Record(address + 1, {plan_.DirectionCount});
        records_.Record(address + 2, {Half(plan_.MinPhaseDuration)});
        records_.Record(address + 3, {plan_.PhaseEndBlinkCount});
        records_.Record(address + 4, Bytes(std::begin(plan_.GreenStreet), std::end(plan_.GreenStreet)));
    }

    void AppendDurations(Bytes& bytes, const TDirectionSettings& direction, bool withExtraGreen) const {
        bytes.push_back(Half(direction.HeadDuration));
        bytes.push_back(Half(direction.TailDuration));
        if (!withExtraGreen) return;
        bytes.push_back(Half(direction.ExtraGreenAfterGreen));
        bytes.push_back(Half(direction.ExtraGreenAfterRed));
        bytes.push_back(Low(direction.GreenBlinkCount));
    }

    Bytes DirectionBlock() const {
        Bytes bytes;
        bytes.reserve(kMaxDirections * DirectionRecordSize(layout_.directionRecord));
        for (int d = 0; d < kMaxDirections; ++d) {
            const TDirectionSettings& direction = plan_.Direction[d];
            for (const std::uint32_t mask : {direction.HeadMask, direction.GreenMask, direction.RedMask,
                                             direction.TailMask, direction.BlinkMask})
                AppendLe(bytes, mask, 4);
            switch (layout_.directionRecord) {
                case DirectionRecord::MasksHeadTail:
                    AppendDurations(bytes, direction, false);
                    break;
                case DirectionRecord::ProgramDurations:
                    AppendDurations(bytes, direction, true);
                    break;
                case DirectionRecord::ProgramAndManualDurations:
                    AppendDurations(bytes, direction, true);
                    AppendDurations(bytes, plan_.DirectionManual[d], true);
                    break;
            }
        }
        return bytes;
    }

    Bytes PhaseBlock() const {
        Bytes bytes;
        for (int p = 0; p < kMaxPhases; ++p) {
            AppendLe(bytes, plan_.PhaseDirections[p], 2);
            bytes.push_back(Half(plan_.PhaseInterTact[p]));
        }
        return bytes;
    }

    void BuildPedestrianBlocks() {
        records_.Record(kTvpInterfaceAddress, {plan_.TvpInterface});
        records_.Record(kTvpInterfaceAddress + 1, {plan_.TvpButtonCount});
        Bytes buttons;
        for (int b = 1; b <= kMaxTvpButtons; ++b) {
            buttons.push_back(plan_.TvpInsertPhase[b - 1]);
            buttons.push_back(Low(plan_.Tvp[b].Phase));
            buttons.push_back(Half(plan_.Tvp[b].Duration));
            buttons.push_back(0);
        }
        records_.Record(kTvpButtonsAddress, buttons);
        for (int b = 1; b <= kMaxTvpButtons; ++b)
            records_.Record(static_cast<std::uint16_t>(kTvpPeriodAddress + 16 * (b - 1)),
                            PedestrianPeriods(b));
        records_.Record(kInsertionMapAddress, InsertionMap());
        Bytes waitMasks;
        for (int b = 1; b <= kMaxTvpButtons; ++b) AppendLe(waitMasks, plan_.Tvp[b].WaitMask, 4);
        records_.Record(kWaitMasksAddress, waitMasks);
    }

    // Byte p-1: half the time left for button b's pedestrian phase in the
    // first tact of program p that runs the phase it is inserted into.
    Bytes PedestrianPeriods(int button) const {
        Bytes periods(kMaxPrograms, 0);
        if (button > plan_.TvpButtonCount) return periods;
        const int programCount = std::min<int>(plan_.ProgramCount, kMaxPrograms);
        for (int p = 0; p < programCount; ++p) {
            const TSignalProgram& program = plan_.Program[p];
            const int tactCount = std::min<int>(program.TactCount, kMaxTacts);
            for (int t = 0; t < tactCount; ++t) {
                if (program.TactPhase[t] != plan_.TvpInsertPhase[button - 1]) continue;
                const std::int16_t period = PedestrianPeriod(plan_, p, t, button);
                periods[p] = Low(static_cast<std::uint16_t>(static_cast<std::int16_t>(period / 2)));
                break;
            }
        }
        return periods;
    }

    Bytes InsertionMap() const {
        Bytes map(kMaxPhases, 0xFF);
        const int phaseCount = std::min<int>(plan_.PhaseCount, kMaxPhases);
        for (int b = 1; b <= std::min<int>(plan_.TvpButtonCount, kMaxTvpButtons); ++b)
            for (int k = 0; k < phaseCount; ++k)
                if (plan_.TvpInsertPhase[b - 1] == k) map[k] = static_cast<std::uint8_t>(b - 1);
        return map;
    }

    Bytes ScheduleBlock() const {
        Bytes bytes;
        bytes.reserve(kScheduleBlockSize);
        for (const auto& day : plan_.Schedule)
            for (const TScheduleEntry& row : day)
                bytes.insert(bytes.end(), {row.Hour, row.Minute, row.Command});
        return bytes;
    }

    Bytes CoordinatorBlock() const {
        const bool master = plan_.NetworkType == kNetworkMasterType;
        Bytes bytes{plan_.NetworkType, master ? plan_.CoordControllerCount : Low(plan_.NetworkAddress),
                    layout_.networkHighByte ? Low(plan_.NetworkAddress >> 8) : std::uint8_t(0)};
        for (int p = 0; p < plan_.ProgramCount; ++p)
            for (int k = 0; k < plan_.CoordControllerCount; ++k)
                bytes.push_back(p < kMaxPrograms && k < kMaxCoordControllers ? plan_.CoordDelay[p][k] : 0);
        return bytes;
    }

    void BuildExtension421() {
        Bytes lines;
        for (const auto& slot : plan_.ExtraLines) lines.insert(lines.end(), std::begin(slot), std::end(slot));
        records_.Block(kExtraLinesAddress, lines);
        Bytes detectors{plan_.DetectorCount};
        for (const TDetectorSettings& detector : plan_.Detector) detectors.push_back(detector.ZoneCount);
        records_.Record(kDetectorsAddress, detectors);
        for (int i = 0; i < kMaxDetectors; ++i) {
            Bytes zones;
            for (int z = 0; z < kMaxDetectorZones; ++z)
                AppendLe(zones, plan_.Detector[i].ZoneDirections[z], 2);
            records_.Block(static_cast<std::uint16_t>(kZonesAddress + 96 * i), zones);
        }
        records_.Block(kLoadSumsAddress, ProgramLoadSums());
        Bytes minimum;
        Bytes maximum;
        for (int p = 0; p < kMaxPhases; ++p) {
            minimum.push_back(Low(plan_.PhaseMinTime[p]));
            maximum.push_back(Low(plan_.PhaseMaxTime[p]));
        }
        records_.Record(kPhaseMinTimeAddress, minimum);
        records_.Record(kPhaseMaxTimeAddress, maximum);
        records_.Record(kProgramCountAddress, {plan_.ProgramCount});
    }

    // Per program: the sum over its tacts of the main time in seconds less
    // the minimum time of the tact's phase, in 16-bit arithmetic.
    Bytes ProgramLoadSums() const {
        std::array<std::uint16_t, kMaxPrograms> sums{};
        const int programCount = std::min<int>(plan_.ProgramCount, kMaxPrograms);
        for (int p = 0; p < programCount; ++p) {
            const TSignalProgram& program = plan_.Program[p];
            for (int t = 0; t < std::min<int>(program.TactCount, kMaxTacts); ++t)
                sums[p] = static_cast<std::uint16_t>(sums[p] + (program.TactDuration[t] >> 1) -
                                                     PhaseMinTimeOf(plan_, program.TactPhase[t]));
        }
        Bytes bytes;
        for (const std::uint16_t sum : sums) AppendLe(bytes, sum, 2);
        return bytes;
    }

    const TSignalPlan& plan_;
    const RomLayout& layout_;
    RecordList records_;
};

}  // namespace

std::size_t CoordinatorBlockSize(const TSignalPlan& plan) {
    return 3 + std::size_t(plan.ProgramCount) * plan.CoordControllerCount;
}

std::string CoordinatorOverrunWarning(const TSignalPlan& plan) {
    const std::size_t size = CoordinatorBlockSize(plan);
    if (size <= kCoordinatorRoom) return {};
    return "Блок координатора занимает " + std::to_string(size) + " байт при месте в " +
           std::to_string(kCoordinatorRoom) + " и перекрывает записи за ним";
}

std::size_t RomImageSize(std::uint8_t romVersion) {
    const RomLayout* layout = RomLayoutFor(romVersion);
    return layout == nullptr ? 0 : layout->imageSize;
}

bool BuildRomImage(const TSignalPlan& plan, std::vector<std::string>& lines, std::string* why) {
    const RomLayout* layout = RomLayoutFor(plan.RomVersion);
    if (layout == nullptr) {
        if (why) *why = "неизвестный тип ПЗУ " + std::to_string(plan.RomVersion) + " (допустимы 0..5)";
        return false;
    }
    if (layout->coordinator + CoordinatorBlockSize(plan) > 0x10000) {
        if (why) *why = "блок координатора не помещается в адресное пространство ПЗУ";
        return false;
    }
    ImageBuilder(plan, *layout, lines).Build();
    return true;
}

}  // namespace kdt
