#include <gtest/gtest.h>

#include <cstring>

#include "data/PlanProcedures.h"

namespace kdt {
namespace {

TSignalPlan NewPlan() {
    TSignalPlan plan;
    ResetPlan(plan, kRom421, 60);
    return plan;
}

// A plan with distinctive data in every slot, used and unused alike.
TSignalPlan CrowdedPlan() {
    TSignalPlan plan = NewPlan();
    for (int p = 0; p < kMaxPrograms; ++p) {
        plan.Program[p].TactCount = 3;
        plan.Program[p].CycleLength = std::uint16_t(100 + p);
        for (int t = 0; t < kMaxTacts; ++t) {
            plan.Program[p].TactPhase[t] = std::uint8_t(t % 4);
            plan.Program[p].TactDuration[t] = std::uint16_t(50 + p + t);
            plan.Program[p].TactInterDuration[t] = std::uint16_t(8 + t);
        }
        for (int k = 0; k < kMaxCoordControllers; ++k) plan.CoordDelay[p][k] = std::uint8_t(30 + k);
    }
    for (int d = 0; d < kMaxDirections; ++d) {
        for (TDirectionSettings* table : {plan.Direction, plan.DirectionManual}) {
            table[d] = {0x11u << (d % 8), 0x22, 0x33, 0x44, 0x55, 7, 9, 4, 5, 6};
        }
    }
    for (int p = 0; p < kMaxPhases; ++p) {
        plan.PhaseInterTact[p] = 20;
        plan.GreenStreet[p] = 9;
    }
    for (int b = 0; b <= 5; ++b) plan.Tvp[b] = {2, 30, 0xF0};
    for (auto& day : plan.Schedule) day[0] = {6, 30, 129};
    plan.CoordControllerCount = 5;
    plan.CurrentChannelMask = 0x80;
    return plan;
}

TEST(NormalisePlan, CopiesTheLastProgramOverUnusedProgramsAndResetsTheirTailTacts) {
    TSignalPlan plan = CrowdedPlan();
    plan.ProgramCount = 2;
    const TSignalProgram last = plan.Program[1];
    const TSignalProgram first = plan.Program[0];
    NormalisePlan(plan, 0);

    EXPECT_EQ(std::memcmp(&plan.Program[0], &first, sizeof first), 0) << "used programs never change";
    EXPECT_EQ(std::memcmp(&plan.Program[1], &last, sizeof last), 0);
    for (int p = 2; p < kMaxPrograms; ++p) {
        SCOPED_TRACE(p + 1);
        const TSignalProgram& copy = plan.Program[p];
        // The copy keeps the last program's first tacts but its count becomes 1.
        EXPECT_EQ(copy.TactCount, 1);
        EXPECT_EQ(copy.CycleLength, last.CycleLength);
        for (int t = 0; t < 3; ++t) {
            EXPECT_EQ(copy.TactPhase[t], last.TactPhase[t]);
            EXPECT_EQ(copy.TactDuration[t], last.TactDuration[t]);
            EXPECT_EQ(plan.CoordDelay[p][t], 30 + t);
        }
        for (int t = 3; t < kMaxTacts; ++t) {
            EXPECT_EQ(copy.TactPhase[t], 0);
            EXPECT_EQ(copy.TactDuration[t], 40);
            EXPECT_EQ(copy.TactInterDuration[t], 12);
            EXPECT_EQ(plan.CoordDelay[p][t], 1);  // reset by tact index
        }
        for (int k = 16; k < kMaxCoordControllers; ++k) EXPECT_EQ(plan.CoordDelay[p][k], 30 + k);
    }
    EXPECT_EQ(plan.CoordDelay[1][5], 35) << "used programs keep their delays";
}

TEST(NormalisePlan, ACopyOfASixteenTactProgramKeepsItsCount) {
    TSignalPlan plan = CrowdedPlan();
    plan.ProgramCount = 15;
    plan.Program[14].TactCount = 16;
    NormalisePlan(plan, 0);
    EXPECT_EQ(plan.Program[15].TactCount, 16);
    EXPECT_EQ(plan.Program[15].TactDuration[15], plan.Program[14].TactDuration[15]);
}

TEST(NormalisePlan, ResetsUnusedDirectionsPhasesAndButtons) {
    TSignalPlan plan = CrowdedPlan();
    plan.DirectionCount = 3;
    plan.PhaseCount = 4;
    plan.TvpButtonCount = 1;
    const TDirectionSettings usedDirection = plan.Direction[2];
    NormalisePlan(plan, 0);

    EXPECT_EQ(std::memcmp(&plan.Direction[2], &usedDirection, sizeof usedDirection), 0);
    for (int d = 3; d < kMaxDirections; ++d) {
        SCOPED_TRACE(d + 1);
        const TDirectionSettings& direction = plan.Direction[d];
        EXPECT_EQ(direction.HeadMask | direction.GreenMask | direction.RedMask | direction.TailMask |
                      direction.BlinkMask,
                  0u);
        EXPECT_EQ(direction.HeadDuration, 2);
        EXPECT_EQ(direction.TailDuration, 6);
        EXPECT_EQ(direction.GreenBlinkCount, 3);
        EXPECT_EQ(direction.ExtraGreenAfterGreen, 4) << "additional green stays";
        EXPECT_EQ(direction.ExtraGreenAfterRed, 5);
        const TDirectionSettings& manual = plan.DirectionManual[d];
        EXPECT_EQ(manual.HeadDuration, 2);
        EXPECT_EQ(manual.TailDuration, 6);
        EXPECT_EQ(manual.GreenBlinkCount, 3);
        EXPECT_EQ(manual.GreenMask, 0x22u) << "manual masks stay";
        EXPECT_EQ(manual.ExtraGreenAfterRed, 5);
    }
    for (int p = 0; p < kMaxPhases; ++p) {
        EXPECT_EQ(plan.PhaseInterTact[p], p < 4 ? 20 : 12);
        EXPECT_EQ(plan.GreenStreet[p], p < 4 ? 9 : p);
    }
    EXPECT_EQ(plan.Tvp[1].Duration, 30);
    EXPECT_EQ(plan.TvpInsertPhase[0], 0);
    for (int b = 2; b <= 4; ++b) {
        EXPECT_EQ(plan.TvpInsertPhase[b - 1], 255);
        EXPECT_EQ(plan.Tvp[b].Phase, 0);
        EXPECT_EQ(plan.Tvp[b].Duration, 40);
        EXPECT_EQ(plan.Tvp[b].WaitMask, 0u);
    }
    EXPECT_EQ(plan.Tvp[5].Duration, 30) << "slot 5 is not a button";
}

TEST(NormalisePlan, PlanWideFields) {
    struct Case {
        std::uint8_t networkType;
        std::uint8_t expectedControllers;
    };
    for (const Case c : {Case{0, 1}, Case{3, 5}, Case{4, 1}}) {
        TSignalPlan plan = CrowdedPlan();
        plan.NetworkType = c.networkType;
        NormalisePlan(plan, 17);
        EXPECT_EQ(plan.CoordControllerCount, c.expectedControllers) << "network type " << int(c.networkType);
        EXPECT_EQ(plan.NetworkAddress, 17);
        EXPECT_EQ(plan.CurrentChannelMask, 1u);
        for (int day = 0; day < kDayCount; ++day) {
            EXPECT_EQ(plan.Schedule[day][0].Hour, 0);
            EXPECT_EQ(plan.Schedule[day][0].Minute, 0);
            EXPECT_EQ(plan.Schedule[day][0].Command, 129) << "only the time of row 1 is reset";
        }
    }
}

TEST(NormalisePlan, CountsOutsideTheirLimitsStayInsideTheRecord) {
    TSignalPlan plan = CrowdedPlan();
    plan.ProgramCount = 0;
    plan.DirectionCount = 200;
    plan.PhaseCount = 0;
    plan.TvpButtonCount = 9;
    plan.Program[0].TactCount = 60000;
    NormalisePlan(plan, 0);
    EXPECT_EQ(plan.Program[5].TactCount, 60000) << "program 1 copied over the rest";
    EXPECT_EQ(plan.Direction[15].GreenMask, 0x22u);
    EXPECT_EQ(plan.PhaseInterTact[0], 12);
    EXPECT_EQ(plan.Tvp[4].Duration, 30);
}

TEST(DoubleTimeValues, DoublesHalfSecondFieldsOnly) {
    TSignalPlan plan = CrowdedPlan();
    plan.Program[0].CycleLength = 30;
    plan.Program[3].TactDuration[7] = 40000;  // wraps modulo 65536
    plan.MinPhaseDuration = 3;
    plan.ConflictExitPeriod = 5;
    plan.PhaseMinTime[0] = 3;
    plan.PhaseMaxTime[0] = 60;
    plan.PowerOnDuration = 10;
    TSignalPlan before = plan;
    DoubleTimeValues(plan);

    EXPECT_EQ(plan.Program[0].CycleLength, 60);
    EXPECT_EQ(plan.Program[3].TactDuration[7], (40000 * 2) % 65536);
    EXPECT_EQ(plan.Program[15].TactInterDuration[15], 2 * before.Program[15].TactInterDuration[15]);
    EXPECT_EQ(plan.MinPhaseDuration, 6);
    EXPECT_EQ(plan.ConflictExitPeriod, 10);
    for (int b = 1; b <= 4; ++b) EXPECT_EQ(plan.Tvp[b].Duration, 60);
    EXPECT_EQ(plan.Tvp[0].Duration, 30) << "unused slots 0 and 5 are not buttons";
    EXPECT_EQ(plan.Tvp[5].Duration, 30);
    for (const TDirectionSettings* table : {plan.Direction, plan.DirectionManual}) {
        EXPECT_EQ(table[15].HeadDuration, 14);
        EXPECT_EQ(table[15].TailDuration, 18);
        EXPECT_EQ(table[15].ExtraGreenAfterGreen, 8);
        EXPECT_EQ(table[15].ExtraGreenAfterRed, 10);
        EXPECT_EQ(table[15].GreenBlinkCount, 6) << "a count, not a time";
    }
    EXPECT_EQ(plan.PhaseInterTact[9], 40);

    // Undo the documented changes: nothing else may differ.
    plan.MinPhaseDuration = before.MinPhaseDuration;
    plan.ConflictExitPeriod = before.ConflictExitPeriod;
    for (int b = 1; b <= 4; ++b) plan.Tvp[b].Duration = before.Tvp[b].Duration;
    for (int d = 0; d < kMaxDirections; ++d) {
        plan.Direction[d] = before.Direction[d];
        plan.DirectionManual[d] = before.DirectionManual[d];
        plan.PhaseInterTact[d] = before.PhaseInterTact[d];
    }
    for (int p = 0; p < kMaxPrograms; ++p) plan.Program[p] = before.Program[p];
    EXPECT_EQ(std::memcmp(&plan, &before, sizeof plan), 0);
}

TEST(RefreshEditor, AddressFollowsTheNetworkTypeAndTheEditorLimits) {
    struct Case {
        const char* why;
        std::uint8_t networkType;
        std::uint16_t storedAddress;
        std::uint16_t expectedAddress;
        bool expectedEnabled;
    };
    const Case cases[] = {
        {"no network keeps the stored address in an unlimited editor", 0, 7, 7, false},
        {"ТСКУ clamps to 20", 1, 25, 20, true},
        {"ТСКУ keeps an address within 20", 1, 15, 15, true},
        {"АСУДД clamps to 2", 2, 9, 2, true},
        {"master keeps the previous limit", 3, 300, 300, false},
        {"slave allows any address", 4, 65535, 65535, true},
        {"САУДТ allows any address", 5, 1234, 1234, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TSignalPlan plan = NewPlan();
        plan.NetworkType = c.networkType;
        plan.NetworkAddress = c.storedAddress;
        plan.CurrentChannelMask = 0x10;
        plan.Schedule[2][0] = {5, 15, 130};
        NetworkAddressEditor editor;
        RefreshEditorRecord(plan, editor);
        EXPECT_EQ(plan.NetworkAddress, c.expectedAddress);
        EXPECT_EQ(plan.NetworkAddressByte, c.expectedAddress & 0xFF);
        EXPECT_EQ(editor.value, c.expectedAddress);
        EXPECT_EQ(editor.enabled, c.expectedEnabled);
        EXPECT_EQ(plan.CurrentChannelMask, 1u);
        EXPECT_EQ(plan.Schedule[2][0].Hour, 0);
        EXPECT_EQ(plan.Schedule[2][0].Minute, 0);
        EXPECT_EQ(plan.Schedule[2][0].Command, 130);
    }
}

TEST(RefreshEditor, AMasterKeepsTheLimitOfTheTypeBeforeIt) {
    TSignalPlan plan = NewPlan();
    NetworkAddressEditor editor;
    plan.NetworkType = 1;  // ТСКУ: the editor's maximum becomes 20
    RefreshEditorRecord(plan, editor);
    plan.NetworkType = 3;
    plan.NetworkAddress = 300;
    RefreshEditorRecord(plan, editor);
    EXPECT_EQ(plan.NetworkAddress, 20);
}

}  // namespace
}  // namespace kdt
