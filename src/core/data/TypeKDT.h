// The signal plan record: the complete configuration of one traffic-light
// controller. The project file is this record byte for byte, so every size and
// offset below is a file format and is checked at compile time.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kdt {

static_assert(std::endian::native == std::endian::little,
              "the signal plan record is stored as its little-endian memory image");

inline constexpr std::size_t kSignalPlanSize = 6756;
inline constexpr int kChannelCount = 32;
inline constexpr int kMaxPhases = 16;
inline constexpr int kMaxDirections = 16;
inline constexpr int kMaxPrograms = 16;
inline constexpr int kMaxTacts = 16;
inline constexpr int kMaxTvpButtons = 4;
inline constexpr int kDayCount = 7;
inline constexpr int kScheduleRows = 16;
inline constexpr int kSpeedRows = 8;
inline constexpr int kSpeedIndicators = 8;
inline constexpr int kMaxCoordControllers = 32;
inline constexpr int kMaxDetectors = 4;
inline constexpr int kMaxDetectorZones = 48;
inline constexpr int kExtraLineSlots = 32;
inline constexpr int kExtraLineLength = 16;

// Schedule and power-on commands; 127 + n selects signal program n.
inline constexpr std::uint8_t kCommandSignalsOff = 0;   // "ОС"
inline constexpr std::uint8_t kCommandAllRed = 1;       // "КК"
inline constexpr std::uint8_t kCommandYellowFlash = 2;  // "ЖМ"
inline constexpr std::uint8_t kCommandFirstProgram = 128;
inline constexpr std::uint8_t kUnusedScheduleHour = 24;
inline constexpr std::uint8_t kNoInsertPhase = 255;

#pragma pack(push, 1)

// A length byte followed by 255 Windows-1251 characters.
struct TString255 {
    std::uint8_t Length;
    char Text[255];
};

struct TTvpButton {
    std::uint16_t Phase;     // 0-based pedestrian phase
    std::uint16_t Duration;  // half-seconds
    std::uint32_t WaitMask;  // channels of the "Ждите" display
};

struct TDirectionSettings {
    std::uint32_t HeadMask;
    std::uint32_t GreenMask;
    std::uint32_t RedMask;
    std::uint32_t TailMask;
    std::uint32_t BlinkMask;
    std::uint16_t HeadDuration;          // half-seconds
    std::uint16_t TailDuration;          // half-seconds
    std::uint16_t ExtraGreenAfterGreen;  // half-seconds
    std::uint16_t ExtraGreenAfterRed;    // half-seconds
    std::uint16_t GreenBlinkCount;       // a count, not scaled
};

struct TScheduleEntry {
    std::uint8_t Hour;  // 24 marks an unused row
    std::uint8_t Minute;
    std::uint8_t Command;
};

struct TSignalProgram {
    std::uint16_t TactCount;
    std::uint16_t CycleLength;                   // half-seconds
    std::uint8_t TactPhase[kMaxTacts];           // 0-based phases, tact t at [t-1]
    std::uint16_t TactDuration[kMaxTacts];       // half-seconds
    std::uint16_t TactInterDuration[kMaxTacts];  // half-seconds
};

struct TSpeedEntry {
    std::uint8_t Hour;  // 24 marks an unused row
    std::uint8_t Minute;
    std::uint8_t Speed[kSpeedIndicators];  // km/h
};

struct TDetectorSettings {
    std::uint8_t ZoneCount;
    std::uint8_t Reserved[kMaxDetectorZones];
    std::uint16_t ZoneDirections[kMaxDetectorZones];
};

// Arrays the documentation numbers from 1 are stored from index 0 here
// (direction d is Direction[d-1]); Tvp keeps its unused slot 0, so button b
// is Tvp[b].
struct TSignalPlan {
    std::uint8_t Reserved0[5];
    std::uint8_t FormatVersion;
    std::uint8_t Reserved6;
    std::uint8_t DetectorCount;
    std::uint8_t OptionFlags;
    std::uint8_t ManualFollowsProgram;
    std::uint8_t TvpInterface;
    std::uint8_t NetworkType;
    std::uint8_t NetworkAddressByte;
    std::uint8_t PhaseCount;
    std::uint8_t DirectionCount;
    std::uint8_t ProgramCount;
    std::uint8_t TvpButtonCount;
    std::uint16_t MinPhaseDuration;  // half-seconds
    std::uint8_t PhaseEndBlinkCount;
    std::uint16_t ConflictExitPeriod;  // half-seconds
    std::uint8_t ConflictRepeatCount;
    std::uint8_t ChannelColour[kChannelCount];  // 0 unused, 1 red, 2 yellow, 3 green
    std::uint32_t CurrentChannelMask;
    std::uint32_t YellowFlashMask;
    std::uint32_t AllRedMask;
    std::uint32_t GreenConflictMask;
    std::uint32_t RedConflictMask;
    TTvpButton Tvp[6];
    TDirectionSettings Direction[kMaxDirections];
    TDirectionSettings DirectionManual[kMaxDirections];
    std::uint16_t PhaseDirections[kMaxPhases];
    std::uint16_t PhaseInterTact[kMaxPhases];  // half-seconds
    std::uint8_t GreenStreet[kMaxPhases];
    TScheduleEntry Schedule[kDayCount][kScheduleRows];  // day 0 is Sunday
    TSignalProgram Program[kMaxPrograms];
    std::uint8_t PowerOnState;
    std::uint8_t PowerOnDuration;  // whole seconds
    std::uint8_t RomVersion;
    std::uint8_t VpuInterface;
    std::uint8_t CoordControllerCount;
    std::uint8_t CoordDelay[kMaxPrograms][kMaxCoordControllers];  // whole seconds
    TString255 ProjectFileName;
    TString255 Comment;
    std::uint8_t TvpInsertPhase[kMaxTvpButtons];
    TSpeedEntry SpeedSchedule[kSpeedRows];
    std::uint16_t NetworkAddress;
    std::uint8_t Reserved3958[2];
    std::uint32_t DirectionChannels[kMaxDirections];
    std::uint8_t Reserved4024[616];
    char ExtraLines[kExtraLineSlots][kExtraLineLength];
    TDetectorSettings Detector[kMaxDetectors];
    std::uint16_t PhaseMinTime[kMaxPhases];  // whole seconds
    std::uint16_t PhaseMaxTime[kMaxPhases];  // whole seconds
    std::uint8_t Reserved5796[960];
};

#pragma pack(pop)

static_assert(sizeof(TString255) == 256, "TString255 has the wrong size");
static_assert(sizeof(TTvpButton) == 8, "TTvpButton has the wrong size");
static_assert(offsetof(TTvpButton, Duration) == 2);
static_assert(offsetof(TTvpButton, WaitMask) == 4);
static_assert(sizeof(TDirectionSettings) == 30, "TDirectionSettings has the wrong size");
static_assert(offsetof(TDirectionSettings, GreenMask) == 4);
static_assert(offsetof(TDirectionSettings, RedMask) == 8);
static_assert(offsetof(TDirectionSettings, TailMask) == 12);
static_assert(offsetof(TDirectionSettings, BlinkMask) == 16);
static_assert(offsetof(TDirectionSettings, HeadDuration) == 20);
static_assert(offsetof(TDirectionSettings, TailDuration) == 22);
static_assert(offsetof(TDirectionSettings, ExtraGreenAfterGreen) == 24);
static_assert(offsetof(TDirectionSettings, ExtraGreenAfterRed) == 26);
static_assert(offsetof(TDirectionSettings, GreenBlinkCount) == 28);
static_assert(sizeof(TScheduleEntry) == 3, "TScheduleEntry has the wrong size");
static_assert(sizeof(TSignalProgram) == 84, "TSignalProgram has the wrong size");
static_assert(offsetof(TSignalProgram, CycleLength) == 2);
static_assert(offsetof(TSignalProgram, TactPhase) == 4);
static_assert(offsetof(TSignalProgram, TactDuration) == 20);
static_assert(offsetof(TSignalProgram, TactInterDuration) == 52);
static_assert(sizeof(TSpeedEntry) == 10, "TSpeedEntry has the wrong size");
static_assert(offsetof(TSpeedEntry, Speed) == 2);
static_assert(sizeof(TDetectorSettings) == 145, "TDetectorSettings has the wrong size");
static_assert(offsetof(TDetectorSettings, Reserved) == 1);
static_assert(offsetof(TDetectorSettings, ZoneDirections) == 49);

static_assert(sizeof(TSignalPlan) == kSignalPlanSize, "TSignalPlan has the wrong size");
static_assert(offsetof(TSignalPlan, FormatVersion) == 5);
static_assert(offsetof(TSignalPlan, Reserved6) == 6);
static_assert(offsetof(TSignalPlan, DetectorCount) == 7);
static_assert(offsetof(TSignalPlan, OptionFlags) == 8);
static_assert(offsetof(TSignalPlan, ManualFollowsProgram) == 9);
static_assert(offsetof(TSignalPlan, TvpInterface) == 10);
static_assert(offsetof(TSignalPlan, NetworkType) == 11);
static_assert(offsetof(TSignalPlan, NetworkAddressByte) == 12);
static_assert(offsetof(TSignalPlan, PhaseCount) == 13);
static_assert(offsetof(TSignalPlan, DirectionCount) == 14);
static_assert(offsetof(TSignalPlan, ProgramCount) == 15);
static_assert(offsetof(TSignalPlan, TvpButtonCount) == 16);
static_assert(offsetof(TSignalPlan, MinPhaseDuration) == 17);
static_assert(offsetof(TSignalPlan, PhaseEndBlinkCount) == 19);
static_assert(offsetof(TSignalPlan, ConflictExitPeriod) == 20);
static_assert(offsetof(TSignalPlan, ConflictRepeatCount) == 22);
static_assert(offsetof(TSignalPlan, ChannelColour) == 23);
static_assert(offsetof(TSignalPlan, CurrentChannelMask) == 55);
static_assert(offsetof(TSignalPlan, YellowFlashMask) == 59);
static_assert(offsetof(TSignalPlan, AllRedMask) == 63);
static_assert(offsetof(TSignalPlan, GreenConflictMask) == 67);
static_assert(offsetof(TSignalPlan, RedConflictMask) == 71);
static_assert(offsetof(TSignalPlan, Tvp) == 75);
static_assert(offsetof(TSignalPlan, Tvp) + 8 * 1 == 83, "button 1 starts at 83");
static_assert(offsetof(TSignalPlan, Direction) == 123);
static_assert(offsetof(TSignalPlan, DirectionManual) == 603);
static_assert(offsetof(TSignalPlan, PhaseDirections) == 1083);
static_assert(offsetof(TSignalPlan, PhaseInterTact) == 1115);
static_assert(offsetof(TSignalPlan, GreenStreet) == 1147);
static_assert(offsetof(TSignalPlan, Schedule) == 1163);
static_assert(offsetof(TSignalPlan, Program) == 1499);
static_assert(offsetof(TSignalPlan, PowerOnState) == 2843);
static_assert(offsetof(TSignalPlan, PowerOnDuration) == 2844);
static_assert(offsetof(TSignalPlan, RomVersion) == 2845);
static_assert(offsetof(TSignalPlan, VpuInterface) == 2846);
static_assert(offsetof(TSignalPlan, CoordControllerCount) == 2847);
static_assert(offsetof(TSignalPlan, CoordDelay) == 2848);
static_assert(offsetof(TSignalPlan, ProjectFileName) == 3360);
static_assert(offsetof(TSignalPlan, Comment) == 3616);
static_assert(offsetof(TSignalPlan, TvpInsertPhase) == 3872);
static_assert(offsetof(TSignalPlan, SpeedSchedule) == 3876);
static_assert(offsetof(TSignalPlan, NetworkAddress) == 3956);
static_assert(offsetof(TSignalPlan, Reserved3958) == 3958);
static_assert(offsetof(TSignalPlan, DirectionChannels) == 3960);
static_assert(offsetof(TSignalPlan, Reserved4024) == 4024);
static_assert(offsetof(TSignalPlan, ExtraLines) == 4640);
static_assert(offsetof(TSignalPlan, Detector) == 5152);
static_assert(offsetof(TSignalPlan, PhaseMinTime) == 5732);
static_assert(offsetof(TSignalPlan, PhaseMaxTime) == 5764);
static_assert(offsetof(TSignalPlan, Reserved5796) == 5796);

// The ROM types, indexed by RomVersion. Values above 3 are the 4.2.x ROMs.
inline constexpr int kRomTypeCount = 6;
inline constexpr std::string_view kRomTypeNames[kRomTypeCount] = {"4.1.0", "4.1.1", "4.1.2",
                                                                  "4.1.3", "4.2.0", "4.2.1"};
inline constexpr std::string_view kRomTypeCaptions[kRomTypeCount] = {
    "УК 4.1.0 (базовый)", "УК 4.1.1", "УК 4.1.2", "УК 4.1.3", "УК 4.2.0", "УК 4.2.1"};
inline constexpr std::uint8_t kRom413 = 3;
inline constexpr std::uint8_t kRom420 = 4;
inline constexpr std::uint8_t kRom421 = 5;

inline bool IsRom42x(const TSignalPlan& plan) {
    return plan.RomVersion > kRom413;
}

// The record as the bytes of a project file.
inline std::span<const std::uint8_t, kSignalPlanSize> RecordBytes(const TSignalPlan& plan) {
    return std::span<const std::uint8_t, kSignalPlanSize>(reinterpret_cast<const std::uint8_t*>(&plan),
                                                          kSignalPlanSize);
}
inline std::span<std::uint8_t, kSignalPlanSize> RecordBytes(TSignalPlan& plan) {
    return std::span<std::uint8_t, kSignalPlanSize>(reinterpret_cast<std::uint8_t*>(&plan), kSignalPlanSize);
}

// The valid characters of a string255 field, as stored (Windows-1251 bytes).
std::string StoredText(const TString255& field);
// Stores Windows-1251 bytes, keeping the first 255; the unused tail is zeroed.
void StoreText(TString255& field, std::string_view cp1251);

}  // namespace kdt
