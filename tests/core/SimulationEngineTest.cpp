// The engine driven tick by tick. The fixture is a two-direction crossing:
// direction 1 on channels 1 (red), 2 (yellow), 3 (green), direction 2 on
// 4, 5, 6; phase 1 shows direction 1, phase 2 direction 2; program 1 runs
// phase 1 and phase 2 for 20 ticks each with inter-tacts of 12 ticks.
#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>

#include "data/PlanProcedures.h"
#include "simulation/SimulationEngine.h"

namespace kdt {
namespace {

constexpr int kEight = 8 * 3600 * 1000;

std::uint32_t Channels(std::initializer_list<int> channels) {
    std::uint32_t mask = 0;
    for (const int k : channels) mask |= 1u << (k - 1);
    return mask;
}

void Direction(TSignalPlan& plan, int d, int red, int yellow, int green) {
    TDirectionSettings& direction = plan.Direction[d - 1];
    direction.HeadMask = Channels({red, yellow});
    direction.GreenMask = Channels({green});
    direction.RedMask = Channels({red});
    direction.TailMask = Channels({yellow});
    direction.BlinkMask = 0;
    direction.HeadDuration = 2;
    direction.TailDuration = 6;
    direction.ExtraGreenAfterGreen = 0;
    direction.ExtraGreenAfterRed = 0;
    direction.GreenBlinkCount = 3;
    plan.DirectionManual[d - 1] = direction;
}

TSignalPlan TwoPhasePlan(std::uint8_t rom) {
    TSignalPlan plan;
    ResetPlan(plan, rom, 60);
    plan.DirectionCount = 2;
    Direction(plan, 1, 1, 2, 3);
    Direction(plan, 2, 4, 5, 6);
    plan.PhaseCount = 2;
    plan.PhaseDirections[0] = 0b01;
    plan.PhaseDirections[1] = 0b10;
    plan.PhaseInterTact[0] = plan.PhaseInterTact[1] = 12;
    TSignalProgram& program = plan.Program[0];
    program.TactCount = 2;
    program.TactPhase[0] = 0;
    program.TactPhase[1] = 1;
    program.TactDuration[0] = program.TactDuration[1] = 20;
    program.TactInterDuration[0] = program.TactInterDuration[1] = 12;
    program.CycleLength = 64;
    plan.MinPhaseDuration = 6;
    plan.PowerOnState = 3;
    plan.PowerOnDuration = 0;
    for (auto& day : plan.Schedule) day[0] = {0, 0, kCommandFirstProgram};
    plan.YellowFlashMask = Channels({2, 5});
    plan.AllRedMask = Channels({1, 4});
    plan.GreenConflictMask = Channels({3, 6});
    plan.RedConflictMask = Channels({1, 4});
    plan.ConflictExitPeriod = 10;
    return plan;
}

// Runs ticks and keeps what the window shows after each.
class Drive {
public:
    Drive(TSignalPlan& plan, int weekday = 1, int time = kEight) : engine(plan, time) {
        engine.WindowShown(weekday);
        engine.ToggleRunning();
    }
    // Runs up to and including tick `tick` (ticks are numbered from 1).
    void To(int tick) {
        while (ticks < tick) {
            engine.Tick();
            ++ticks;
        }
    }
    std::uint32_t Lit() const {
        std::uint32_t lit = 0;
        for (int k = 0; k < kChannelCount; ++k)
            if (engine.channels()[k].lit) lit |= 1u << k;
        return lit;
    }
    SimulationEngine engine;
    int ticks = 0;
};

TEST(SimulationEngine, APhaseChangeRunsItsInterTactHoldAndMainTime) {
    TSignalPlan plan = TwoPhasePlan(kRom413);
    Drive run(plan);
    // Tick 1: the program starts with the switch-on of phase 1: the longest
    // head is 2, so the stage counter is 1 and direction 1 shows red-yellow.
    run.To(1);
    EXPECT_EQ(run.engine.statusLine(), "АПП -  Фаза 1 промтакт  0");
    EXPECT_EQ(run.Lit(), Channels({1, 2, 4}));
    // Tick 2: main start; the hold of 6 ticks begins (5 left), tact countdown 18.
    run.To(2);
    EXPECT_EQ(run.engine.statusLine(), "АПП -  Фаза 1 основной  9 [выдержка  2]");
    EXPECT_EQ(run.Lit(), Channels({3, 4}));
    // Tick 8: hold over; countdown 20 - 8 = 12.
    run.To(8);
    EXPECT_EQ(run.engine.statusLine(), "АПП -  Фаза 1 основной  6");
    // Tick 21: the countdown ran out at tick 20; the inter-tact of 12 begins.
    // Direction 1 blinks green (off first), direction 2 stays red.
    run.To(21);
    EXPECT_EQ(run.engine.statusLine(), "АПП -  Фаза 2 промтакт  6");
    EXPECT_EQ(run.Lit(), Channels({4}));
    run.To(22);
    EXPECT_EQ(run.Lit(), Channels({3, 4}));
    // Ticks 21..26 blink (3 flashes), 27..32 yellow.
    run.To(26);
    EXPECT_EQ(run.Lit(), Channels({3, 4}));
    run.To(27);
    EXPECT_EQ(run.Lit(), Channels({2, 4}));
    // Direction 2 is red for 12 - 2 = 10 ticks (21..30), red-yellow for 2.
    run.To(30);
    EXPECT_EQ(run.Lit(), Channels({2, 4}));
    run.To(31);
    EXPECT_EQ(run.Lit(), Channels({2, 4, 5}));
    run.To(32);
    EXPECT_EQ(run.Lit(), Channels({2, 4, 5}));
    // Tick 33: main start of phase 2; countdown 31 set at tick 21, less 12.
    run.To(33);
    EXPECT_EQ(run.Lit(), Channels({1, 6}));
    EXPECT_EQ(run.engine.statusLine(), "АПП -  Фаза 2 основной  9 [выдержка  2]");
}

TEST(SimulationEngine, WithoutAMinimumPhaseDurationTheMainStageHasNoHold) {
    TSignalPlan plan = TwoPhasePlan(kRom413);
    plan.MinPhaseDuration = 0;
    Drive run(plan);
    run.To(2);
    EXPECT_EQ(run.engine.statusLine(), "АПП -  Фаза 1 основной  9");
    EXPECT_EQ(run.engine.tactStage(), 3);
}

TEST(SimulationEngine, PowerOnYellowFlashingThenTheProgram) {
    TSignalPlan plan = TwoPhasePlan(kRom421);
    plan.PowerOnState = kCommandYellowFlash;
    plan.PowerOnDuration = 5;
    Drive run(plan);
    // Ticks 1..10 (tick counts 0..9): power-on, yellow flashing.
    for (int tick = 1; tick <= 10; ++tick) {
        run.To(tick);
        EXPECT_EQ(run.engine.statusLine(), "Вкл. - ЖМ") << tick;
        EXPECT_EQ(run.Lit() & Channels({2, 5}), tick % 2 == 1 ? 0u : Channels({2, 5}))
            << "flashing, tick " << tick;
    }
    // Tick 11 (count 10 = 2 x 5): the last tick of the period, in program mode.
    run.To(11);
    EXPECT_EQ(run.engine.statusLine(), "АПП - ЖМ");
    // Tick 12: the schedule's program starts.
    run.To(12);
    EXPECT_EQ(run.engine.statusLine(), "АПП -  Фаза 1 промтакт  0");
    EXPECT_EQ(run.engine.mode(), SimMode::Program);
}

// The window's box "Работа в текущей программе" and kdt's --program: the
// schedule (yellow flashing all day here) is not followed, so only the end of
// the power-on period can turn the command into the program.
TEST(SimulationEngine, WithoutTheScheduleTheChosenProgramRunsWhenPowerOnEnds) {
    struct Case {
        const char* how;
        std::optional<int> chosen;  // a click on the program list; nullopt: only the box
        int program;
        const char* status;
    };
    const Case cases[] = {
        {"program 2 chosen in the list", 2, 2, "АПП -  Фаза 2 промтакт  0"},
        {"the box ticked, program 1 shown", std::nullopt, 1, "АПП -  Фаза 1 промтакт  0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        TSignalPlan plan = TwoPhasePlan(kRom421);
        plan.ProgramCount = 2;
        plan.Program[1] = plan.Program[0];
        plan.Program[1].TactPhase[0] = 1;  // program 2 starts with phase 2
        plan.Program[1].TactPhase[1] = 0;
        for (auto& day : plan.Schedule) day[0] = {0, 0, kCommandYellowFlash};
        plan.PowerOnState = kCommandYellowFlash;
        plan.PowerOnDuration = 5;
        SimulationEngine engine(plan, kEight);
        engine.WindowShown(1);
        if (c.chosen) {
            engine.ChooseProgram(c.chosen);
        } else {
            engine.SetFollowSchedule(false);
        }
        engine.ToggleRunning();
        // Ticks 1..10 power-on, tick 11 its last tick in program mode, as with the schedule.
        for (int tick = 1; tick <= 11; ++tick) engine.Tick();
        EXPECT_EQ(engine.statusLine(), "АПП - ЖМ");
        engine.Tick();
        EXPECT_EQ(engine.statusLine(), c.status);
        EXPECT_EQ(engine.command(), kSimCommandPhase);
        EXPECT_EQ(engine.currentProgram(), c.program);
        for (int tick = 13; tick <= 200; ++tick) engine.Tick();
        EXPECT_EQ(engine.command(), kSimCommandPhase) << "the program keeps running";
        EXPECT_EQ(engine.timeOfDay(), kEight) << "the clock stands still";
    }
}

TEST(SimulationEngine, ATactShowingThePhaseAlreadyShownIsPassedOver) {
    TSignalPlan plan = TwoPhasePlan(kRom413);
    TSignalProgram& program = plan.Program[0];
    program.TactCount = 3;
    program.TactPhase[1] = 0;  // tacts 1 and 2 both phase 1
    program.TactPhase[2] = 1;
    program.TactDuration[2] = 20;
    Drive run(plan);
    // Tact 1 runs its 20 ticks; at tick 21 tact 2 shows the same phase and
    // gets no countdown, so tick 22 moves on to tact 3.
    run.To(21);
    EXPECT_EQ(run.engine.currentTact(), 2);
    EXPECT_EQ(run.engine.tactCountdown(), 0);
    run.To(22);
    EXPECT_EQ(run.engine.currentTact(), 3);
    EXPECT_EQ(run.engine.statusLine(), "АПП -  Фаза 2 промтакт  6");
}

TEST(SimulationEngine, MidnightMovesSaturdayToSunday) {
    TSignalPlan plan = TwoPhasePlan(kRom413);
    plan.Schedule[0][0] = {0, 0, kCommandYellowFlash};     // Sunday flashes all day
    const int beforeMidnight = kMillisecondsPerDay - 200;  // 23:59:59.8
    Drive run(plan, 6, beforeMidnight);
    run.To(1);  // 00:00:00.3
    EXPECT_EQ(run.engine.weekday(), 0);
    EXPECT_EQ(run.engine.timeOfDay(), 300);
    run.To(3);
    EXPECT_EQ(run.engine.weekday(), 0) << "once per midnight";
    EXPECT_EQ(run.engine.command(), kCommandYellowFlash) << "Sunday's rows apply";
}

TEST(SimulationEngine, ThePedestrianPhaseOf41xRunsAtTheWrap) {
    TSignalPlan plan = TwoPhasePlan(kRom413);
    plan.PhaseCount = 3;
    plan.PhaseDirections[2] = 0;
    plan.PhaseInterTact[2] = 4;
    plan.TvpButtonCount = 1;
    plan.Tvp[1] = {2, 10, Channels({9})};
    Drive run(plan);
    run.To(30);
    EXPECT_EQ(run.engine.PressPedestrianButton(1), SimulationMessage::None);
    run.To(31);
    EXPECT_TRUE(run.Lit() & Channels({9})) << "the wait display lights";
    EXPECT_EQ(run.engine.PressPedestrianButton(1), SimulationMessage::ButtonAlreadyPressed);
    // Tact 2 ends at tick 21 + 31 = 52; tick 53 wraps to tact 1 and serves
    // the call: duration 10 + inter-tact 4 - 1 = 13 ticks of pedestrian phase.
    run.To(52);
    EXPECT_EQ(run.engine.mode(), SimMode::Program);
    run.To(53);
    EXPECT_EQ(run.engine.mode(), SimMode::Pedestrian);
    EXPECT_EQ(run.engine.tactCountdown(), 13);
    EXPECT_EQ(run.engine.waitLamps(), 0u);
    run.To(54);
    EXPECT_EQ(run.engine.statusLine().substr(0, 20), "ТВП -  Фаза 3");
    // Tick 54 + 13 = 67: the countdown is out; the cycle starts again at tact 1.
    run.To(67);
    EXPECT_EQ(run.engine.mode(), SimMode::Program);
    EXPECT_EQ(run.engine.currentTact(), 1);
    EXPECT_EQ(run.engine.targetPhase(), 0);
}

TEST(SimulationEngine, ThePedestrianPhaseOf42xIsInsertedWhenItsCountdownEnds) {
    TSignalPlan plan = TwoPhasePlan(kRom421);
    plan.PhaseCount = 3;
    plan.PhaseInterTact[2] = 4;
    plan.TvpButtonCount = 1;
    plan.Tvp[1] = {2, 6, Channels({9})};
    plan.TvpInsertPhase[0] = 0;
    Drive run(plan);
    EXPECT_TRUE(run.engine.controls().pedestrianEnabled[0]) << "the program shows phase 1";
    // Countdown at program start: offset 1, tact 1: 20 + 12 - (12 + 6 + 4) + 1 = 11.
    EXPECT_EQ(run.engine.pedestrianCountdown(1), 11);
    run.engine.PressPedestrianButton(1);
    // Each tick counts it down; at tick 11 it reaches 0 while phase 1 is the target.
    run.To(10);
    EXPECT_EQ(run.engine.mode(), SimMode::Program);
    run.To(11);
    EXPECT_EQ(run.engine.mode(), SimMode::Pedestrian);
    EXPECT_EQ(run.engine.targetPhase(), 2);
    EXPECT_EQ(run.engine.callQueue()[0], 0);
    EXPECT_EQ(run.engine.waitLamps(), 0u) << "dark already in the tick of the insertion";
    EXPECT_EQ(run.engine.pedestrianCountdown(1), 63) << "the next cycle";
}

TEST(SimulationEngine, ManualModeDropsTheQueueAndCallsPhases) {
    TSignalPlan plan = TwoPhasePlan(kRom413);
    plan.TvpButtonCount = 1;
    plan.Tvp[1] = {0, 10, Channels({9})};
    Drive run(plan);
    run.To(5);
    run.engine.PressPedestrianButton(1);
    run.To(6);
    EXPECT_TRUE(run.Lit() & Channels({9}));
    run.engine.ToggleManual();
    EXPECT_EQ(run.engine.callQueue()[0], 0);
    EXPECT_EQ(run.engine.waitLamps(), 0u);
    run.To(7);
    EXPECT_FALSE(run.Lit() & Channels({9}));
    EXPECT_EQ(run.engine.statusLine().rfind("РУ - ", 0), 0u) << run.engine.statusLine();
    // The hold of phase 1 ends at tick 8; then "Ф.2" calls phase 2 with the
    // phase's inter-tact of 12 and the manual durations.
    run.To(10);
    EXPECT_EQ(run.engine.statusLine(), "РУ -  Фаза 1") << "no countdown in manual mode";
    run.engine.PressManualButton(kManualPhase1 + 1);
    run.To(11);
    EXPECT_EQ(run.engine.currentPhase(), 1);
    EXPECT_EQ(run.engine.statusLine(), "РУ -  Фаза 2 промтакт  6");
    run.engine.PressManualButton(kManualYellowFlash);
    run.To(12);
    EXPECT_EQ(run.engine.statusLine(), "РУ - ЖМ");
    run.engine.ToggleManual();
    EXPECT_EQ(run.engine.mode(), SimMode::Program);
}

TEST(SimulationEngine, ConflictsPutTheControllerIntoFaultModeUntilTheExitPeriodEnds) {
    {
        SCOPED_TRACE("a green lamp failed lit while it should be dark");
        TSignalPlan plan = TwoPhasePlan(kRom413);
        Drive run(plan);
        run.To(10);  // phase 1 main: channel 6 (green of direction 2) is dark
        ASSERT_TRUE(run.engine.ClickLamp(6));
        ASSERT_TRUE(run.engine.ClickLamp(6));  // failed lit
        run.To(11);
        EXPECT_EQ(run.engine.faultResult(), 1);
        run.To(12);
        EXPECT_EQ(run.engine.statusLine(), "ФБ - ОС");
        EXPECT_EQ(run.Lit(), Channels({6})) << "all off but the failed lamp";
        ASSERT_TRUE(run.engine.ClickLamp(6));  // mended
        // The verdict stands for the exit period of 10 ticks (ticks 12..21),
        // then the monitor finds nothing and the program starts again.
        run.To(21);
        EXPECT_EQ(run.engine.mode(), SimMode::Fault);
        run.To(22);
        EXPECT_EQ(run.engine.mode(), SimMode::Program);
        run.To(23);
        EXPECT_EQ(run.engine.statusLine(), "АПП -  Фаза 1 промтакт  0");
    }
    {
        SCOPED_TRACE("a red lamp failed dark while it should be lit");
        TSignalPlan plan = TwoPhasePlan(kRom413);
        Drive run(plan);
        run.To(10);
        ASSERT_TRUE(run.engine.ClickLamp(4));  // failed dark: direction 2's red
        run.To(11);
        EXPECT_EQ(run.engine.faultResult(), 2);
        run.To(12);
        EXPECT_EQ(run.engine.statusLine(), "ФБ - ЖМ");
        // While the mark stays the fault is renewed after every exit period.
        run.To(40);
        EXPECT_EQ(run.engine.mode(), SimMode::Fault);
    }
}

// The window beeps only for a click the engine took.
TEST(SimulationEngine, ALampClickIsTakenOnlyWhileRunningAndNotPaused) {
    TSignalPlan plan = TwoPhasePlan(kRom413);
    SimulationEngine engine(plan, kEight);
    engine.WindowShown(1);
    EXPECT_FALSE(engine.ClickLamp(3)) << "stopped";
    EXPECT_EQ(engine.channels()[2].fault, 0);
    engine.ToggleRunning();
    engine.Tick();
    engine.Tick();  // phase 1 main: channel 3 lit, channel 1 dark
    ASSERT_TRUE(engine.channels()[2].lit);
    EXPECT_FALSE(engine.ClickLamp(0));
    EXPECT_FALSE(engine.ClickLamp(33));
    // 0 -> 1 failed dark -> 2 failed lit -> 0, the lamp set at once.
    const std::uint8_t faults[] = {1, 2, 0};
    const std::uint8_t lit[] = {0, 1, 1};
    for (int click = 0; click < 3; ++click) {
        SCOPED_TRACE(click);
        EXPECT_TRUE(engine.ClickLamp(3));
        EXPECT_EQ(engine.channels()[2].fault, faults[click]);
        EXPECT_EQ(engine.channels()[2].lit, lit[click]);
    }
    engine.SetPaused(true);
    EXPECT_FALSE(engine.ClickLamp(3)) << "paused";
    EXPECT_EQ(engine.channels()[2].fault, 0);
}

// Coming back to the window is not showing it: the weekday stays and the
// running cycle is not selected anew (which would start it again in fault
// mode and jump back to the first tact showing the phase).
TEST(SimulationEngine, ActivationRereadsThePlanButLeavesTheRunningCycleAlone) {
    TSignalPlan plan = TwoPhasePlan(kRom413);
    TSignalProgram& program = plan.Program[0];
    program.TactCount = 3;  // phases 1, 2, 1
    program.TactPhase[2] = 0;
    program.TactDuration[2] = 20;
    program.TactInterDuration[2] = 12;
    {
        SCOPED_TRACE("in the third tact, showing phase 1 again");
        Drive run(plan);
        run.To(80);  // tact 3 began at 53 (inter-tact) and holds phase 1
        ASSERT_EQ(run.engine.currentTact(), 3);
        ASSERT_EQ(run.engine.tactStage(), 3);
        run.engine.ChooseWeekday(4);
        plan.ChannelColour[2] = 2;  // edited in the main window meanwhile
        run.engine.WindowActivated();
        EXPECT_EQ(run.engine.weekday(), 4);
        EXPECT_EQ(run.engine.currentTact(), 3);
        EXPECT_EQ(run.engine.channels()[2].colourOf[0], 2) << "the channel records are read again";
        EXPECT_EQ(run.engine.programListSelection(), 1);
        plan.ChannelColour[2] = 3;
        // Showing the window does all of it, as when it first appears.
        run.engine.WindowShown(1);
        EXPECT_EQ(run.engine.weekday(), 1);
        EXPECT_EQ(run.engine.currentTact(), 1);
    }
    {
        SCOPED_TRACE("in fault mode, all lamps off");
        Drive run(plan);
        run.To(10);
        ASSERT_TRUE(run.engine.ClickLamp(6));
        ASSERT_TRUE(run.engine.ClickLamp(6));  // a green lit that should be dark
        run.To(12);
        ASSERT_EQ(run.engine.statusLine(), "ФБ - ОС");
        run.engine.WindowActivated();
        run.To(13);
        EXPECT_EQ(run.engine.statusLine(), "ФБ - ОС");
        EXPECT_EQ(run.Lit(), Channels({6})) << "no tick of the program's lamps";
    }
}

TEST(SimulationEngine, ARestartedProgramLightsNoLeftoverGreen) {
    TSignalPlan plan = TwoPhasePlan(kRom413);
    Drive run(plan);
    // Stop during the switch-on of phase 2 (direction 2 at step 7 or 8),
    // then start again: phase 1 must come up with direction 2 red only.
    run.To(32);
    run.engine.ToggleRunning();
    run.engine.ToggleRunning();
    run.ticks = 0;
    run.To(1);
    EXPECT_EQ(run.Lit(), Channels({1, 2, 4}));
    run.To(2);
    EXPECT_EQ(run.Lit(), Channels({3, 4}));
}

TEST(SimulationEngine, ProgramChoicesStayWithinTheProgramCount) {
    TSignalPlan plan = TwoPhasePlan(kRom413);
    plan.ProgramCount = 2;
    plan.Program[1] = plan.Program[0];
    plan.Schedule[1][1] = {9, 0, kCommandFirstProgram + 1};
    Drive run(plan, 1, 9 * 3600 * 1000 - 1000);  // 08:59:59
    run.To(1);
    EXPECT_EQ(run.engine.currentProgram(), 1);
    run.To(3);  // 09:00:00.5: the schedule switches to program 2
    EXPECT_EQ(run.engine.currentProgram(), 2);
    run.engine.ChooseProgram(std::nullopt);
    EXPECT_EQ(run.engine.currentProgram(), 2) << "no selection keeps the program";
    EXPECT_FALSE(run.engine.followSchedule());
    run.engine.ChooseProgram(9);
    EXPECT_EQ(run.engine.currentProgram(), 1) << "a program above the count becomes program 1";
    // A row running program 12 of a 2-program plan is never run.
    TSignalPlan raw = TwoPhasePlan(kRom413);
    raw.Schedule[1][0].Command = kCommandFirstProgram + 11;
    Drive rawRun(raw);
    rawRun.To(50);
    EXPECT_EQ(rawRun.engine.currentProgram(), 1);
}

TEST(SimulationEngine, DamagedCountsStayInsideTheRecord) {
    TSignalPlan plan = TwoPhasePlan(kRom421);
    plan.DirectionCount = 200;
    plan.PhaseCount = 200;
    plan.ProgramCount = 0;
    plan.TvpButtonCount = 9;
    plan.Program[0].TactCount = 0x1FF;  // low byte 255 tacts
    plan.Program[0].TactPhase[3] = 200;
    plan.PowerOnState = 9;
    Drive run(plan);
    run.engine.PressPedestrianButton(4);
    run.To(3000);
    EXPECT_EQ(run.engine.tickCount(), 3000u);
}

}  // namespace
}  // namespace kdt
