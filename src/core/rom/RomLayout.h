// Addresses of the user-ROM layouts. Every constant is part of the
// controller's interface; the asserts tie the blocks to their neighbours.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kdt {

enum class RomFamily { Rom41x, Rom42x };

// What a direction's record holds after its five channel masks.
enum class DirectionRecord {
    MasksHeadTail,              // 22 bytes: head and tail durations (4.1.0)
    ProgramDurations,           // 25 bytes: five values of program control (4.1.1, 4.1.2)
    ProgramAndManualDurations,  // 30 bytes: program and manual control (4.1.3, 4.2.x)
};

constexpr std::size_t DirectionRecordSize(DirectionRecord record) {
    switch (record) {
        case DirectionRecord::MasksHeadTail:
            return 22;
        case DirectionRecord::ProgramDurations:
            return 25;
        case DirectionRecord::ProgramAndManualDurations:
            return 30;
    }
    return 0;
}

struct RomLayout {
    RomFamily family;
    bool halfInSeconds;    // half-second fields stored as whole seconds
    bool networkHeadAt2;   // a three-byte network record at 2 instead of RomVersion and 0xFF
    bool networkHighByte;  // the coordinator head carries the address's high byte
    DirectionRecord directionRecord;
    std::uint16_t directions;
    std::uint16_t phases;
    std::uint16_t schedule;
    std::uint16_t coordinator;
    std::uint16_t powerOn;     // PowerOnDuration, PowerOnState, then VpuInterface
    std::uint16_t speedTable;  // 0: the layout has none
    bool extension421;
    std::size_t imageSize;
};

inline constexpr std::uint16_t kProgramBlockAddress = 4;
inline constexpr std::size_t kProgramRecordSize = 49;
inline constexpr std::uint16_t kCycleLineAddress = 788;

inline constexpr std::uint16_t kButtonsAddress41x = 804;  // 4 x (phase, duration, wait mask)
inline constexpr std::size_t kButtonRecordSize41x = 6;
inline constexpr std::uint16_t kMasksAddress41x = 828;
inline constexpr std::uint16_t kCountsAddress41x = 844;
inline constexpr std::uint16_t kMasksAddress42x = 804;
inline constexpr std::uint16_t kCountsAddress42x = 820;
inline constexpr std::uint16_t kGreenStreetOffset = 4;  // from the counts

inline constexpr std::uint16_t kTvpInterfaceAddress = 1368;  // then TvpButtonCount
inline constexpr std::uint16_t kTvpButtonsAddress = 1370;
inline constexpr std::uint16_t kTvpPeriodAddress = 1386;
inline constexpr std::uint16_t kInsertionMapAddress = 1450;
inline constexpr std::uint16_t kWaitMasksAddress = 1466;
inline constexpr std::uint16_t kOptionFlagsAddress = 2000;

inline constexpr std::uint16_t kExtraLinesAddress = 2008;
inline constexpr std::uint16_t kDetectorsAddress = 2520;
inline constexpr std::uint16_t kZonesAddress = 2525;
inline constexpr std::uint16_t kLoadSumsAddress = 2909;
inline constexpr std::uint16_t kPhaseMinTimeAddress = 2941;
inline constexpr std::uint16_t kPhaseMaxTimeAddress = 2957;
inline constexpr std::uint16_t kProgramCountAddress = 2973;

inline constexpr std::uint8_t kNetworkMasterType = 3;
inline constexpr std::size_t kPhaseRecordSize = 3;
inline constexpr std::size_t kScheduleBlockSize = 7 * 16 * 3;
inline constexpr std::size_t kSpeedRowSize = 10;

inline constexpr RomLayout kLayout410{RomFamily::Rom41x,
                                      false,
                                      true,
                                      false,
                                      DirectionRecord::MasksHeadTail,
                                      864,
                                      1216,
                                      1264,
                                      1600,
                                      1699,
                                      0,
                                      false,
                                      1702};
inline constexpr RomLayout kLayout411{RomFamily::Rom41x,
                                      false,
                                      true,
                                      false,
                                      DirectionRecord::ProgramDurations,
                                      864,
                                      1264,
                                      1312,
                                      1648,
                                      1747,
                                      0,
                                      false,
                                      1750};
inline constexpr RomLayout kLayout413{RomFamily::Rom41x,
                                      false,
                                      false,
                                      true,
                                      DirectionRecord::ProgramAndManualDurations,
                                      864,
                                      1344,
                                      1392,
                                      1728,
                                      1827,
                                      1830,
                                      false,
                                      1910};
inline constexpr RomLayout kLayout420{RomFamily::Rom42x,
                                      true,
                                      false,
                                      true,
                                      DirectionRecord::ProgramAndManualDurations,
                                      840,
                                      1320,
                                      1482,
                                      1818,
                                      1917,
                                      1920,
                                      false,
                                      2001};
inline constexpr RomLayout kLayout421{RomFamily::Rom42x,
                                      true,
                                      false,
                                      true,
                                      DirectionRecord::ProgramAndManualDurations,
                                      840,
                                      1320,
                                      1482,
                                      1818,
                                      1917,
                                      1920,
                                      true,
                                      2974};

// The layout of a RomVersion; nullptr for a value that names no ROM type.
constexpr const RomLayout* RomLayoutFor(std::uint8_t romVersion) {
    switch (romVersion) {
        case 0:
            return &kLayout410;
        case 1:
        case 2:
            return &kLayout411;
        case 3:
            return &kLayout413;
        case 4:
            return &kLayout420;
        case 5:
            return &kLayout421;
        default:
            return nullptr;
    }
}

// Each block ends where the next begins, and the coordinator has 99 bytes.
constexpr bool BlocksAreContiguous(const RomLayout& layout) {
    return layout.directions + 16 * DirectionRecordSize(layout.directionRecord) == layout.phases &&
           layout.coordinator - layout.schedule == kScheduleBlockSize &&
           layout.powerOn - layout.coordinator == 99;
}
static_assert(kProgramBlockAddress + 16 * kProgramRecordSize == kCycleLineAddress);
static_assert(kCycleLineAddress + 16 == kMasksAddress42x);
static_assert(kCycleLineAddress + 16 == kButtonsAddress41x);
static_assert(kButtonsAddress41x + 4 * kButtonRecordSize41x == kMasksAddress41x);
static_assert(kMasksAddress41x + 16 == kCountsAddress41x);
static_assert(kMasksAddress42x + 16 == kCountsAddress42x);
static_assert(kCountsAddress42x + kGreenStreetOffset + 16 == 840);
static_assert(kCountsAddress41x + kGreenStreetOffset + 16 == 864);
static_assert(BlocksAreContiguous(kLayout410) && BlocksAreContiguous(kLayout411) &&
              BlocksAreContiguous(kLayout413) && BlocksAreContiguous(kLayout420));
static_assert(kLayout410.phases + 16 * kPhaseRecordSize == kLayout410.schedule);
static_assert(kLayout411.phases + 16 * kPhaseRecordSize == kLayout411.schedule);
static_assert(kLayout413.phases + 16 * kPhaseRecordSize == kLayout413.schedule);
static_assert(kLayout420.phases + 16 * kPhaseRecordSize == kTvpInterfaceAddress);
static_assert(kTvpInterfaceAddress + 2 == kTvpButtonsAddress);
static_assert(kTvpButtonsAddress + 16 == kTvpPeriodAddress);
static_assert(kTvpPeriodAddress + 4 * 16 == kInsertionMapAddress);
static_assert(kInsertionMapAddress + 16 == kWaitMasksAddress);
static_assert(kWaitMasksAddress + 16 == kLayout420.schedule);
static_assert(kLayout410.powerOn + 3 == kLayout410.imageSize);
static_assert(kLayout411.powerOn + 3 == kLayout411.imageSize);
static_assert(kLayout413.powerOn + 3 == kLayout413.speedTable);
static_assert(kLayout413.speedTable + 8 * kSpeedRowSize == kLayout413.imageSize);
static_assert(kLayout420.powerOn + 3 == kLayout420.speedTable);
static_assert(kLayout420.speedTable + 8 * kSpeedRowSize == kOptionFlagsAddress);
static_assert(kOptionFlagsAddress + 1 == kLayout420.imageSize);
static_assert(kExtraLinesAddress + 32 * 16 == kDetectorsAddress);
static_assert(kDetectorsAddress + 5 == kZonesAddress);
static_assert(kZonesAddress + 4 * 96 == kLoadSumsAddress);
static_assert(kLoadSumsAddress + 32 == kPhaseMinTimeAddress);
static_assert(kPhaseMinTimeAddress + 16 == kPhaseMaxTimeAddress);
static_assert(kPhaseMaxTimeAddress + 16 == kProgramCountAddress);
static_assert(kProgramCountAddress + 1 == kLayout421.imageSize);

}  // namespace kdt
