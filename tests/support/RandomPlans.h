// Random plans the editors could have made, and what the image reader must
// make of their images: shared by the tests of the image round trip and the
// plan property tests.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <utility>

#include "data/PlanProcedures.h"
#include "data/TypeKDT.h"

namespace kdt::test {

inline constexpr std::uint8_t kNetworkMaster =
    3;  // "ВЕДУЩИЙ": the coordinator head holds the controller count

// Image sizes of the readable layouts (the byte after the highest address).
inline std::size_t LayoutImageSize(std::uint8_t romVersion) {
    switch (romVersion) {
        case kRom413:
            return 1910;
        case kRom420:
            return 2001;
        case kRom421:
            return 2974;
        default:
            return 0;
    }
}

// mt19937 draws reduced by modulo, so a seed gives the same plan everywhere.
class Rng {
public:
    explicit Rng(std::uint32_t seed) : engine_(seed) {}
    unsigned In(unsigned low, unsigned high) { return low + engine_() % (high - low + 1); }
    bool OneIn(unsigned n) { return engine_() % n == 0; }
    std::uint32_t Bits() { return engine_(); }
    // None, a few or about half of the channels: sparse masks leave channels
    // without a colour, dense ones make later colours replace earlier ones.
    std::uint32_t Mask() {
        switch (In(0, 3)) {
            case 0:
                return 0;
            case 1:
                return Bits() & Bits() & Bits();
            default:
                return Bits();
        }
    }

private:
    std::mt19937 engine_;
};

inline std::uint8_t U8(unsigned value) {
    return static_cast<std::uint8_t>(value);
}
inline std::uint16_t U16(unsigned value) {
    return static_cast<std::uint16_t>(value);
}

// A plan the editors could have made for this ROM type: counts within their
// limits, values within what the layout keeps, the reader's checks met.
// Fields the image does not carry get random values as well, so a reader
// that leaks them into the decoded plan is caught.
inline TSignalPlan RandomValidPlan(std::uint8_t romVersion, std::uint32_t seed) {
    TSignalPlan plan;
    ResetPlan(plan, romVersion, 60);
    Rng rng(seed);
    const unsigned halfMax = romVersion > kRom413 ? 511 : 255;
    auto half = [&] { return U16(rng.In(0, halfMax)); };

    plan.FormatVersion = U8(rng.In(0, 2));
    plan.ManualFollowsProgram = U8(rng.In(0, 1));
    plan.NetworkAddressByte = U8(rng.Bits());
    plan.CurrentChannelMask = rng.Bits();
    for (std::uint8_t& byte : plan.Reserved0) byte = U8(rng.Bits());
    plan.Tvp[0] = {U16(rng.Bits()), U16(rng.Bits()), rng.Bits()};
    plan.Tvp[5] = {U16(rng.Bits()), U16(rng.Bits()), rng.Bits()};
    // Packed fields are assigned by index: a reference to one may be misaligned.
    for (int d = 0; d < kMaxDirections; ++d) plan.DirectionChannels[d] = rng.Bits();
    StoreText(plan.Comment, "crossing " + std::to_string(seed));
    StoreText(plan.ProjectFileName, "c:\\plans\\" + std::to_string(seed) + ".kdt2");

    plan.ConflictExitPeriod = U16(rng.In(10, halfMax));
    plan.ConflictRepeatCount = U8(rng.In(1, 10));
    plan.PhaseEndBlinkCount = U8(rng.In(0, 9));
    plan.PhaseCount = U8(rng.In(1, kMaxPhases));
    plan.DirectionCount = U8(rng.In(1, kMaxDirections));
    plan.ProgramCount = U8(rng.In(1, kMaxPrograms));
    plan.TvpButtonCount = U8(rng.In(0, kMaxTvpButtons));
    plan.MinPhaseDuration = half();
    plan.TvpInterface = U8(rng.In(0, 1));
    plan.OptionFlags = U8(rng.In(0, 3));
    plan.VpuInterface = U8(rng.In(0, 1));
    plan.PowerOnState = U8(rng.In(0, 3));
    plan.PowerOnDuration = U8(rng.In(0, 255));
    plan.YellowFlashMask = rng.Mask();
    plan.AllRedMask = rng.Mask();
    plan.GreenConflictMask = rng.Mask();
    plan.RedConflictMask = rng.Mask();

    for (TSignalProgram& program : plan.Program) {
        program.TactCount = U16(rng.In(1, kMaxTacts));
        program.CycleLength = U16(rng.In(0, 511));  // stored in whole seconds by every layout
        for (int t = 0; t < kMaxTacts; ++t) {
            program.TactPhase[t] = U8(rng.In(0, kMaxPhases - 1));
            program.TactDuration[t] = half();
            program.TactInterDuration[t] = half();
        }
    }
    // Sixteen dense green and red masks would paint over every channel, so
    // some plans keep them sparse or empty and the earlier colours show.
    const unsigned directionColours = rng.In(0, 2);
    auto colourMask = [&]() -> std::uint32_t {
        switch (directionColours) {
            case 0:
                return rng.Mask();
            case 1:
                return rng.Bits() & rng.Bits() & rng.Bits() & rng.Bits();
            default:
                return 0;
        }
    };
    for (int d = 0; d < kMaxDirections; ++d) {
        for (TDirectionSettings* table : {plan.Direction, plan.DirectionManual}) {
            TDirectionSettings& direction = table[d];
            direction.HeadMask = rng.Mask();
            direction.GreenMask = colourMask();
            direction.RedMask = colourMask();
            direction.TailMask = rng.Mask();
            direction.BlinkMask = rng.Mask();
            direction.HeadDuration = half();
            direction.TailDuration = half();
            direction.ExtraGreenAfterGreen = half();
            direction.ExtraGreenAfterRed = half();
            direction.GreenBlinkCount = U16(rng.In(0, 255));
        }
    }
    for (int p = 0; p < kMaxPhases; ++p) {
        plan.PhaseDirections[p] = U16(rng.Bits());
        plan.PhaseInterTact[p] = half();
        plan.GreenStreet[p] = U8(rng.In(0, kMaxPhases - 1));
        plan.PhaseMinTime[p] = U16(rng.In(1, 120));
        plan.PhaseMaxTime[p] = U16(rng.In(1, 120));
    }

    // Buttons left as unused ones, or differing from them in one attribute
    // only, decide the button count a 4.1.3 image comes back with.
    for (int b = 1; b <= kMaxTvpButtons; ++b) {
        TTvpButton& button = plan.Tvp[b];
        button = {0, 40, 0};
        switch (rng.In(0, 4)) {
            case 0:
                break;
            case 1:
                button.Phase = U16(rng.In(1, kMaxPhases - 1));
                break;
            case 2:
                button.Duration = U16(rng.OneIn(2) ? 42 : rng.In(0, halfMax));
                break;
            case 3:
                button.WaitMask = rng.Bits() | 1u << rng.In(0, 31);
                break;
            default:
                button = {U16(rng.In(0, kMaxPhases - 1)), half(), rng.Mask()};
                break;
        }
        plan.TvpInsertPhase[b - 1] = rng.OneIn(4) ? kNoInsertPhase : U8(rng.In(0, kMaxPhases - 1));
    }

    // The highest program of the schedule is usually the program count, but
    // not always: the reader must take it from the schedule.
    const unsigned highest = rng.OneIn(3) ? rng.In(1, plan.ProgramCount) : plan.ProgramCount;
    for (auto& day : plan.Schedule) {
        const unsigned usedRows = rng.In(1, kScheduleRows);
        for (unsigned r = 0; r < kScheduleRows; ++r) {
            TScheduleEntry& row = day[r];
            if (r >= usedRows) {
                row = {kUnusedScheduleHour, 0, 0};
                continue;
            }
            row.Hour = r == 0 ? 0 : U8(rng.In(0, 23));
            row.Minute = r == 0 ? 0 : U8(rng.In(0, 59));
            row.Command = rng.OneIn(3) ? U8(rng.In(0, 2)) : U8(127 + rng.In(1, highest));
        }
    }
    auto& chosenDay = plan.Schedule[rng.In(0, kDayCount - 1)];
    chosenDay[0].Command = U8(127 + highest);

    plan.NetworkType = U8(rng.OneIn(3) ? kNetworkMaster : rng.In(0, 5));
    plan.NetworkAddress = U16(rng.Bits());
    if (plan.NetworkType == kNetworkMaster) {
        // The coordinator block has room for 96 delay bytes.
        const unsigned most = std::min<unsigned>(kMaxCoordControllers, 96 / plan.ProgramCount);
        plan.CoordControllerCount = U8(rng.OneIn(4) ? most : rng.In(1, most));
    } else {
        plan.CoordControllerCount = 1;
    }
    for (auto& program : plan.CoordDelay)
        for (std::uint8_t& delay : program) delay = U8(rng.Bits());

    for (TSpeedEntry& row : plan.SpeedSchedule) {
        row.Hour = U8(rng.In(0, 24));
        row.Minute = U8(rng.In(0, 59));
        for (std::uint8_t& speed : row.Speed) speed = U8(rng.Bits());
    }
    for (auto& slot : plan.ExtraLines)
        for (char& c : slot) c = static_cast<char>(rng.Bits());
    plan.DetectorCount = U8(rng.In(0, kMaxDetectors));
    for (TDetectorSettings& detector : plan.Detector) {
        detector.ZoneCount = U8(rng.In(0, kMaxDetectorZones));
        for (std::uint8_t& byte : detector.Reserved) byte = U8(rng.Bits());
        for (int z = 0; z < kMaxDetectorZones; ++z) detector.ZoneDirections[z] = U16(rng.Bits());
    }
    return plan;
}

// What a fresh reader must make of the image of `source`: the image's fields
// in the image's units, everything else zero.
inline TSignalPlan ExpectedDecode(const TSignalPlan& source) {
    const std::uint8_t romVersion = source.RomVersion;
    const bool seconds = romVersion > kRom413;
    auto half = [&](std::uint16_t value) { return U16(seconds ? value >> 1 : value); };

    TSignalPlan plan;
    std::memset(&plan, 0, sizeof plan);
    plan.RomVersion = romVersion;
    plan.ConflictExitPeriod = half(source.ConflictExitPeriod);
    plan.ConflictRepeatCount = source.ConflictRepeatCount;
    for (int p = 0; p < kMaxPrograms; ++p) {
        const TSignalProgram& from = source.Program[p];
        TSignalProgram& to = plan.Program[p];
        to.TactCount = from.TactCount;
        to.CycleLength = U16(seconds ? from.CycleLength >> 1 : (from.CycleLength >> 1) * 2);
        for (int t = 0; t < kMaxTacts; ++t) {
            to.TactPhase[t] = from.TactPhase[t];
            to.TactDuration[t] = half(from.TactDuration[t]);
            to.TactInterDuration[t] = half(from.TactInterDuration[t]);
        }
    }
    plan.YellowFlashMask = source.YellowFlashMask;
    plan.AllRedMask = source.AllRedMask;
    plan.GreenConflictMask = source.GreenConflictMask;
    plan.RedConflictMask = source.RedConflictMask;
    plan.PhaseCount = source.PhaseCount;
    plan.DirectionCount = source.DirectionCount;
    plan.MinPhaseDuration = half(source.MinPhaseDuration);
    plan.PhaseEndBlinkCount = source.PhaseEndBlinkCount;
    std::memcpy(plan.GreenStreet, source.GreenStreet, sizeof plan.GreenStreet);

    for (int d = 0; d < kMaxDirections; ++d) {
        const TDirectionSettings& from = source.Direction[d];
        TDirectionSettings& to = plan.Direction[d];
        to.HeadMask = from.HeadMask;
        to.GreenMask = from.GreenMask;
        to.RedMask = from.RedMask;
        to.TailMask = from.TailMask;
        to.BlinkMask = from.BlinkMask;
        // Only the durations of manual control are in the image, not its masks.
        for (auto [f, t] :
             {std::pair{&from, &to}, std::pair{&source.DirectionManual[d], &plan.DirectionManual[d]}}) {
            t->HeadDuration = half(f->HeadDuration);
            t->TailDuration = half(f->TailDuration);
            t->ExtraGreenAfterGreen = half(f->ExtraGreenAfterGreen);
            t->ExtraGreenAfterRed = half(f->ExtraGreenAfterRed);
            t->GreenBlinkCount = f->GreenBlinkCount;
        }
    }
    for (int p = 0; p < kMaxPhases; ++p) {
        plan.PhaseDirections[p] = source.PhaseDirections[p];
        plan.PhaseInterTact[p] = half(source.PhaseInterTact[p]);
    }

    // Colours in the order they are painted: flashing yellow, all red, then
    // each direction's greens followed by its reds.
    auto paint = [&](std::uint32_t mask, std::uint8_t colour) {
        for (int k = 0; k < kChannelCount; ++k)
            if (mask >> k & 1u) plan.ChannelColour[k] = colour;
    };
    paint(source.YellowFlashMask, 2);
    paint(source.AllRedMask, 1);
    for (const TDirectionSettings& direction : source.Direction) {
        paint(direction.GreenMask, 3);
        paint(direction.RedMask, 1);
    }

    for (int b = 1; b <= kMaxTvpButtons; ++b) {
        plan.Tvp[b].Phase = source.Tvp[b].Phase;
        plan.Tvp[b].Duration = half(source.Tvp[b].Duration);
        plan.Tvp[b].WaitMask = source.Tvp[b].WaitMask;
    }
    if (seconds) {
        plan.TvpInterface = source.TvpInterface;
        plan.TvpButtonCount = source.TvpButtonCount;
        std::memcpy(plan.TvpInsertPhase, source.TvpInsertPhase, sizeof plan.TvpInsertPhase);
        plan.OptionFlags = source.OptionFlags;
    } else {
        // No count in a 4.1.3 image: the last button unlike an unused one.
        for (int b = 1; b <= kMaxTvpButtons; ++b) {
            const TTvpButton& button = source.Tvp[b];
            if (button.Phase != 0 || button.Duration != 40 || button.WaitMask != 0)
                plan.TvpButtonCount = U8(b);
        }
    }

    std::memcpy(plan.Schedule, source.Schedule, sizeof plan.Schedule);
    std::uint8_t highest = 0;
    for (const auto& day : source.Schedule)
        for (const TScheduleEntry& row : day) highest = std::max(highest, row.Command);
    plan.ProgramCount = U8(highest - 127);

    plan.NetworkType = source.NetworkType;
    if (source.NetworkType == kNetworkMaster) {
        plan.CoordControllerCount = source.CoordControllerCount;
        plan.NetworkAddress = U16(source.NetworkAddress & 0xFF00);  // the low byte's place holds the count
    } else {
        plan.CoordControllerCount = 1;
        plan.NetworkAddress = source.NetworkAddress;
    }
    for (int p = 0; p < plan.ProgramCount; ++p)
        for (int k = 0; k < plan.CoordControllerCount; ++k) plan.CoordDelay[p][k] = source.CoordDelay[p][k];

    plan.PowerOnDuration = source.PowerOnDuration;
    plan.PowerOnState = source.PowerOnState;
    plan.VpuInterface = source.VpuInterface;
    std::memcpy(plan.SpeedSchedule, source.SpeedSchedule, sizeof plan.SpeedSchedule);

    if (romVersion == kRom421) {
        std::memcpy(plan.ExtraLines, source.ExtraLines, sizeof plan.ExtraLines);
        plan.DetectorCount = source.DetectorCount;
        for (int i = 0; i < kMaxDetectors; ++i) {
            plan.Detector[i].ZoneCount = source.Detector[i].ZoneCount;
            std::memcpy(plan.Detector[i].ZoneDirections, source.Detector[i].ZoneDirections,
                        sizeof plan.Detector[i].ZoneDirections);
        }
        std::memcpy(plan.PhaseMinTime, source.PhaseMinTime, sizeof plan.PhaseMinTime);
        std::memcpy(plan.PhaseMaxTime, source.PhaseMaxTime, sizeof plan.PhaseMaxTime);
    }
    return plan;
}

struct FieldSpan {
    const char* name;
    std::size_t offset;
    std::size_t size;
};

#define KDT_FIELD(name)                                               \
    FieldSpan {                                                       \
#name, offsetof(TSignalPlan, name), sizeof(TSignalPlan::name) \
    }
inline constexpr FieldSpan kFields[] = {
    KDT_FIELD(Reserved0),
    KDT_FIELD(FormatVersion),
    KDT_FIELD(Reserved6),
    KDT_FIELD(DetectorCount),
    KDT_FIELD(OptionFlags),
    KDT_FIELD(ManualFollowsProgram),
    KDT_FIELD(TvpInterface),
    KDT_FIELD(NetworkType),
    KDT_FIELD(NetworkAddressByte),
    KDT_FIELD(PhaseCount),
    KDT_FIELD(DirectionCount),
    KDT_FIELD(ProgramCount),
    KDT_FIELD(TvpButtonCount),
    KDT_FIELD(MinPhaseDuration),
    KDT_FIELD(PhaseEndBlinkCount),
    KDT_FIELD(ConflictExitPeriod),
    KDT_FIELD(ConflictRepeatCount),
    KDT_FIELD(ChannelColour),
    KDT_FIELD(CurrentChannelMask),
    KDT_FIELD(YellowFlashMask),
    KDT_FIELD(AllRedMask),
    KDT_FIELD(GreenConflictMask),
    KDT_FIELD(RedConflictMask),
    KDT_FIELD(Tvp),
    KDT_FIELD(Direction),
    KDT_FIELD(DirectionManual),
    KDT_FIELD(PhaseDirections),
    KDT_FIELD(PhaseInterTact),
    KDT_FIELD(GreenStreet),
    KDT_FIELD(Schedule),
    KDT_FIELD(Program),
    KDT_FIELD(PowerOnState),
    KDT_FIELD(PowerOnDuration),
    KDT_FIELD(RomVersion),
    KDT_FIELD(VpuInterface),
    KDT_FIELD(CoordControllerCount),
    KDT_FIELD(CoordDelay),
    KDT_FIELD(ProjectFileName),
    KDT_FIELD(Comment),
    KDT_FIELD(TvpInsertPhase),
    KDT_FIELD(SpeedSchedule),
    KDT_FIELD(NetworkAddress),
    KDT_FIELD(Reserved3958),
    KDT_FIELD(DirectionChannels),
    KDT_FIELD(Reserved4024),
    KDT_FIELD(ExtraLines),
    KDT_FIELD(Detector),
    KDT_FIELD(PhaseMinTime),
    KDT_FIELD(PhaseMaxTime),
    KDT_FIELD(Reserved5796),
};
#undef KDT_FIELD

inline std::string FieldAt(std::size_t offset) {
    for (const FieldSpan& field : kFields)
        if (offset >= field.offset && offset < field.offset + field.size)
            return std::string(field.name) + "+" + std::to_string(offset - field.offset);
    return "?";
}

// Empty when the records are equal; otherwise the first differing bytes,
// named by field.
inline std::string Differences(const TSignalPlan& decoded, const TSignalPlan& expected) {
    const auto got = RecordBytes(decoded);
    const auto want = RecordBytes(expected);
    std::ostringstream out;
    int count = 0;
    for (std::size_t i = 0; i < kSignalPlanSize; ++i) {
        if (got[i] == want[i]) continue;
        if (++count <= 12)
            out << "  byte " << i << " (" << FieldAt(i) << "): decoded " << int(got[i]) << ", expected "
                << int(want[i]) << "\n";
    }
    if (count > 12) out << "  ... " << count - 12 << " more\n";
    return out.str();
}

}  // namespace kdt::test
