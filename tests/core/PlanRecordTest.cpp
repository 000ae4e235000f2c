// The record is the project file: fields must land on the documented bytes,
// little-endian, and a new plan must hold the documented values.
#include <gtest/gtest.h>

#include <cstring>

#include "data/PlanProcedures.h"
#include "data/TypeKDT.h"

namespace kdt {
namespace {

std::uint32_t ReadLe(const TSignalPlan& plan, std::size_t offset, std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < width; ++i) value |= std::uint32_t(RecordBytes(plan)[offset + i]) << (8 * i);
    return value;
}

struct FieldPosition {
    const char* name;
    std::size_t offset;
    std::size_t width;
    void (*store)(TSignalPlan&, std::uint32_t);
};

// Every row writes a distinctive value through the field and reads it back
// from the bytes at the documented offset.
const FieldPosition kPositions[] = {
    {"FormatVersion", 5, 1, [](TSignalPlan& p, std::uint32_t v) { p.FormatVersion = std::uint8_t(v); }},
    {"NetworkAddressByte", 12, 1,
     [](TSignalPlan& p, std::uint32_t v) { p.NetworkAddressByte = std::uint8_t(v); }},
    {"MinPhaseDuration", 17, 2,
     [](TSignalPlan& p, std::uint32_t v) { p.MinPhaseDuration = std::uint16_t(v); }},
    {"ConflictExitPeriod", 20, 2,
     [](TSignalPlan& p, std::uint32_t v) { p.ConflictExitPeriod = std::uint16_t(v); }},
    {"ChannelColour[32]", 54, 1,
     [](TSignalPlan& p, std::uint32_t v) { p.ChannelColour[31] = std::uint8_t(v); }},
    {"CurrentChannelMask", 55, 4, [](TSignalPlan& p, std::uint32_t v) { p.CurrentChannelMask = v; }},
    {"RedConflictMask", 71, 4, [](TSignalPlan& p, std::uint32_t v) { p.RedConflictMask = v; }},
    {"Tvp[1].Phase", 83, 2, [](TSignalPlan& p, std::uint32_t v) { p.Tvp[1].Phase = std::uint16_t(v); }},
    {"Tvp[4].WaitMask", 111, 4, [](TSignalPlan& p, std::uint32_t v) { p.Tvp[4].WaitMask = v; }},
    {"Direction[2].GreenMask", 157, 4, [](TSignalPlan& p, std::uint32_t v) { p.Direction[1].GreenMask = v; }},
    {"Direction[16].GreenBlinkCount", 601, 2,
     [](TSignalPlan& p, std::uint32_t v) { p.Direction[15].GreenBlinkCount = std::uint16_t(v); }},
    {"DirectionManual[1].HeadDuration", 623, 2,
     [](TSignalPlan& p, std::uint32_t v) { p.DirectionManual[0].HeadDuration = std::uint16_t(v); }},
    {"PhaseDirections[16]", 1113, 2,
     [](TSignalPlan& p, std::uint32_t v) { p.PhaseDirections[15] = std::uint16_t(v); }},
    {"PhaseInterTact[1]", 1115, 2,
     [](TSignalPlan& p, std::uint32_t v) { p.PhaseInterTact[0] = std::uint16_t(v); }},
    {"GreenStreet[16]", 1162, 1,
     [](TSignalPlan& p, std::uint32_t v) { p.GreenStreet[15] = std::uint8_t(v); }},
    {"Schedule[Saturday][16].Command", 1163 + 48 * 6 + 3 * 15 + 2, 1,
     [](TSignalPlan& p, std::uint32_t v) { p.Schedule[6][15].Command = std::uint8_t(v); }},
    {"Program[2].TactDuration[3]", 1499 + 84 + 20 + 4, 2,
     [](TSignalPlan& p, std::uint32_t v) { p.Program[1].TactDuration[2] = std::uint16_t(v); }},
    {"Program[16].TactInterDuration[16]", 1499 + 84 * 15 + 52 + 30, 2,
     [](TSignalPlan& p, std::uint32_t v) { p.Program[15].TactInterDuration[15] = std::uint16_t(v); }},
    {"PowerOnState", 2843, 1, [](TSignalPlan& p, std::uint32_t v) { p.PowerOnState = std::uint8_t(v); }},
    {"RomVersion", 2845, 1, [](TSignalPlan& p, std::uint32_t v) { p.RomVersion = std::uint8_t(v); }},
    {"CoordDelay[3][5]", 2848 + 64 + 4, 1,
     [](TSignalPlan& p, std::uint32_t v) { p.CoordDelay[2][4] = std::uint8_t(v); }},
    {"ProjectFileName length", 3360, 1,
     [](TSignalPlan& p, std::uint32_t v) { p.ProjectFileName.Length = std::uint8_t(v); }},
    {"Comment length", 3616, 1, [](TSignalPlan& p, std::uint32_t v) { p.Comment.Length = std::uint8_t(v); }},
    {"TvpInsertPhase[4]", 3875, 1,
     [](TSignalPlan& p, std::uint32_t v) { p.TvpInsertPhase[3] = std::uint8_t(v); }},
    {"SpeedSchedule[8].Speed[8]", 3876 + 70 + 9, 1,
     [](TSignalPlan& p, std::uint32_t v) { p.SpeedSchedule[7].Speed[7] = std::uint8_t(v); }},
    {"NetworkAddress", 3956, 2, [](TSignalPlan& p, std::uint32_t v) { p.NetworkAddress = std::uint16_t(v); }},
    {"DirectionChannels[1]", 3960, 4, [](TSignalPlan& p, std::uint32_t v) { p.DirectionChannels[0] = v; }},
    {"ExtraLines[31][15]", 4640 + 16 * 31 + 15, 1,
     [](TSignalPlan& p, std::uint32_t v) { p.ExtraLines[31][15] = char(v); }},
    {"Detector[2].ZoneCount", 5152 + 145, 1,
     [](TSignalPlan& p, std::uint32_t v) { p.Detector[1].ZoneCount = std::uint8_t(v); }},
    {"Detector[4].ZoneDirections[48]", 5152 + 145 * 3 + 49 + 94, 2,
     [](TSignalPlan& p, std::uint32_t v) { p.Detector[3].ZoneDirections[47] = std::uint16_t(v); }},
    {"PhaseMinTime[1]", 5732, 2,
     [](TSignalPlan& p, std::uint32_t v) { p.PhaseMinTime[0] = std::uint16_t(v); }},
    {"PhaseMaxTime[16]", 5794, 2,
     [](TSignalPlan& p, std::uint32_t v) { p.PhaseMaxTime[15] = std::uint16_t(v); }},
};

TEST(PlanRecord, FieldsLandOnTheirBytesLittleEndian) {
    for (const FieldPosition& field : kPositions) {
        SCOPED_TRACE(field.name);
        TSignalPlan plan{};
        const std::uint32_t value = field.width == 1 ? 0xA5u : field.width == 2 ? 0xBEEFu : 0x12345678u;
        field.store(plan, value);
        EXPECT_EQ(ReadLe(plan, field.offset, field.width), value);
        // Nothing else moved: the bytes around the field stay zero.
        std::size_t nonZero = 0;
        for (std::size_t i = 0; i < kSignalPlanSize; ++i)
            if (RecordBytes(plan)[i] != 0 && (i < field.offset || i >= field.offset + field.width)) ++nonZero;
        EXPECT_EQ(nonZero, 0u);
    }
}

TEST(PlanRecord, StoreTextKeepsTheFirst255BytesAndZeroesTheRest) {
    TString255 field{};
    StoreText(field, std::string(300, 'x'));
    EXPECT_EQ(field.Length, 255);
    EXPECT_EQ(StoredText(field), std::string(255, 'x'));
    StoreText(field, "ab");
    EXPECT_EQ(StoredText(field), "ab");
    EXPECT_EQ(field.Text[2], 0);
    EXPECT_EQ(field.Text[254], 0);
}

TEST(NewPlan, HoldsTheNewPlanValues) {
    TSignalPlan plan;
    std::memset(&plan, 0x5A, sizeof plan);  // every value below must be set, not left over
    ResetPlan(plan, 4, 70);

    EXPECT_EQ(plan.FormatVersion, 0);
    EXPECT_EQ(plan.RomVersion, 4);
    EXPECT_EQ(plan.PhaseCount, 1);
    EXPECT_EQ(plan.DirectionCount, 1);
    EXPECT_EQ(plan.ProgramCount, 1);
    EXPECT_EQ(plan.TvpButtonCount, 0);
    EXPECT_EQ(plan.MinPhaseDuration, 6);
    EXPECT_EQ(plan.PhaseEndBlinkCount, 3);
    EXPECT_EQ(plan.ConflictExitPeriod, 10);
    EXPECT_EQ(plan.ConflictRepeatCount, 5);
    EXPECT_EQ(plan.CurrentChannelMask, 1u);
    EXPECT_EQ(plan.PowerOnState, 3);
    EXPECT_EQ(plan.CoordControllerCount, 1);
    EXPECT_EQ(plan.ProjectFileName.Length, 0);
    EXPECT_EQ(plan.Comment.Length, 0);
    for (int p = 0; p < kMaxPrograms; ++p) {
        EXPECT_EQ(plan.Program[p].TactCount, 1);
        EXPECT_EQ(plan.Program[p].CycleLength, 26);
        for (int t = 0; t < kMaxTacts; ++t) {
            EXPECT_EQ(plan.Program[p].TactPhase[t], 0);
            EXPECT_EQ(plan.Program[p].TactDuration[t], 40) << "program " << p + 1 << " tact " << t + 1;
            EXPECT_EQ(plan.Program[p].TactInterDuration[t], 12);
        }
        for (int k = 0; k < kMaxCoordControllers; ++k) EXPECT_EQ(plan.CoordDelay[p][k], k < 16 ? 1 : 0);
    }
    for (const TDirectionSettings* table : {plan.Direction, plan.DirectionManual}) {
        for (int d = 0; d < kMaxDirections; ++d) {
            EXPECT_EQ(table[d].HeadDuration, 2);
            EXPECT_EQ(table[d].TailDuration, 6);
            EXPECT_EQ(table[d].GreenBlinkCount, 3);
            EXPECT_EQ(table[d].GreenMask, 0u);
            EXPECT_EQ(table[d].ExtraGreenAfterRed, 0);
        }
    }
    for (int p = 0; p < kMaxPhases; ++p) {
        EXPECT_EQ(plan.PhaseInterTact[p], 12);
        EXPECT_EQ(plan.GreenStreet[p], p);
        EXPECT_EQ(plan.PhaseMinTime[p], 3);
        EXPECT_EQ(plan.PhaseMaxTime[p], 60);
        EXPECT_EQ(plan.PhaseDirections[p], 0);
    }
    for (int b = 1; b <= 4; ++b) EXPECT_EQ(plan.Tvp[b].Duration, 40);
    EXPECT_EQ(plan.Tvp[0].Duration, 0);
    EXPECT_EQ(plan.Tvp[5].Duration, 0);
    for (int b = 0; b < 4; ++b) EXPECT_EQ(plan.TvpInsertPhase[b], 0);
    for (int day = 0; day < kDayCount; ++day) {
        EXPECT_EQ(plan.Schedule[day][0].Hour, 0);
        EXPECT_EQ(plan.Schedule[day][0].Command, 0);
        for (int r = 1; r < kScheduleRows; ++r) {
            EXPECT_EQ(plan.Schedule[day][r].Hour, 24);
            EXPECT_EQ(plan.Schedule[day][r].Minute, 0);
            EXPECT_EQ(plan.Schedule[day][r].Command, 0);
        }
    }
    for (int r = 0; r < kSpeedRows; ++r) {
        EXPECT_EQ(plan.SpeedSchedule[r].Hour, r == 0 ? 0 : 24);
        for (int i = 0; i < kSpeedIndicators; ++i) EXPECT_EQ(plan.SpeedSchedule[r].Speed[i], 70);
    }
    for (std::size_t i = 0; i < sizeof plan.Reserved5796; ++i) ASSERT_EQ(plan.Reserved5796[i], 0);
}

}  // namespace
}  // namespace kdt
