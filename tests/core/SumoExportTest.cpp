// The plan as SUMO traffic light programs: the signal of a direction, the
// link map, the cycles taken from the engine and the schedule's switches.
// The cross-check against SUMO itself is in tests/peers.
#include <gtest/gtest.h>

#include <numeric>

#include "ExampleCrossing.h"
#include "data/PlanProcedures.h"
#include "simulation/SumoExport.h"

namespace kdt {
namespace {

TSignalPlan Example() {
    TSignalPlan plan{};
    example::BuildExampleCrossing(plan);
    return plan;
}

std::uint32_t Channels(std::initializer_list<int> channels) {
    std::uint32_t mask = 0;
    for (const int k : channels) mask |= 1u << (k - 1);
    return mask;
}

int CycleOf(const SumoProgram& program) {
    return std::accumulate(program.phases.begin(), program.phases.end(), 0,
                           [](int sum, const SumoPhase& phase) { return sum + phase.ticks; });
}

const SumoProgram& ProgramOf(const SumoExport& exported, const std::string& id) {
    for (const SumoProgram& program : exported.programs)
        if (program.id == id) return program;
    ADD_FAILURE() << "no program " << id;
    return exported.programs.front();
}

TEST(SumoSignal, TheColoursOfTheLitChannelsOfTheDirection) {
    TSignalPlan plan;
    ResetPlan(plan, kRom421, 60);
    plan.ChannelColour[0] = 1;                     // red
    plan.ChannelColour[1] = 2;                     // yellow
    plan.ChannelColour[2] = 3;                     // green
    plan.ChannelColour[4] = 3;                     // green, of no mask of direction 1
    plan.Direction[0].RedMask = Channels({1, 4});  // channel 4 has no colour
    plan.Direction[0].TailMask = Channels({2});
    plan.Direction[0].GreenMask = Channels({3});
    struct Case {
        std::uint32_t lamps;
        char signal;
        bool conflict;
    };
    const Case cases[] = {
        {0, 'O', false},
        {Channels({1}), 'r', false},
        {Channels({2}), 'y', false},
        {Channels({1, 2}), 'u', false},
        {Channels({3}), 'G', false},
        {Channels({1, 3}), 'G', true},
        {Channels({2, 3}), 'G', true},
        {Channels({4}), 'O', false},
        {Channels({5}), 'O', false},
        {Channels({1, 4, 5}), 'r', false},
    };
    for (const Case& c : cases) {
        bool conflict = false;
        EXPECT_EQ(SumoSignalOf(plan, 0, c.lamps, &conflict), c.signal) << std::hex << c.lamps;
        EXPECT_EQ(conflict, c.conflict) << std::hex << c.lamps;
    }
}

TEST(SumoLinkMap, ReadsDirectionsAndTheirLinks) {
    const SumoLinkMapRead read =
        ParseSumoLinkMap("# north and south\r\n1: 0 3\r\n\n 2 :\t1 # the left turn\n4: 2\n", 4);
    ASSERT_TRUE(read.ok()) << read.error;
    EXPECT_EQ(read.map.linkCount, 4);
    EXPECT_EQ(read.map.linksOf, (std::vector<std::vector<int>>{{0, 3}, {1}, {}, {2}}));
}

TEST(SumoLinkMap, RefusesWhatNamesNoJunctionsLinksClearly) {
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"1 0\n", "line 1: expected \"direction: link link ...\""},
        {"0: 1\n", "line 1: \"0\" is not a direction of the plan (1..4)"},
        {"5: 1\n", "line 1: \"5\" is not a direction of the plan (1..4)"},
        {"one: 1\n", "line 1: \"one\" is not a direction of the plan (1..4)"},
        {"1: 0\n1: 1\n", "line 2: direction 1 is named twice"},
        {"1: # none\n", "line 1: direction 1 has no link index"},
        {"1: 0 x\n", "line 1: \"x\" is not a link index (0, 1, 2, ...)"},
        {"1: -1\n", "line 1: \"-1\" is not a link index (0, 1, 2, ...)"},
        {"1: 0\n\n2: 1 0\n", "line 3: link 0 is named twice (also on line 1)"},
        {"1: 0 2\n", "link 1 is not named: every link index from 0 to 2 must be named once"},
        {"# nothing\n", "the map names no link"},
    };
    for (const Case& c : cases) {
        const SumoLinkMapRead read = ParseSumoLinkMap(c.text, 4);
        EXPECT_FALSE(read.ok()) << c.text;
        EXPECT_EQ(read.error, c.error) << c.text;
    }
}

// The schedule as the engine reads it: the last row whose time has come
// wins, also over a later time in an earlier row; a program beyond the
// count runs program 1; a row without a valid program keeps the program.
TEST(SumoExport, TheWautSwitchesWhereTheEnginesScheduleChanges) {
    TSignalPlan plan;
    ResetPlan(plan, kRom421, 60);
    plan.ProgramCount = 2;
    plan.Schedule[1][0] = {0, 0, kCommandAllRed};
    plan.Schedule[1][1] = {8, 0, kCommandFirstProgram + 1};  // never wins: row 3 comes later and is earlier
    plan.Schedule[1][2] = {6, 0, kCommandFirstProgram};
    plan.Schedule[1][3] = {9, 30, kCommandSignalsOff};
    plan.Schedule[1][4] = {10, 15, kCommandFirstProgram + 8};  // program 9 of 2
    plan.Schedule[1][5] = {11, 0, kCommandYellowFlash};
    plan.Schedule[1][6] = {12, 0, 50};  // no program: the last one goes on
    plan.Schedule[1][7] = {13, 0, kCommandFirstProgram + 1};
    const SumoExport exported = BuildSumoExport(plan, {"J", 1, std::nullopt});
    ASSERT_TRUE(exported.ok()) << exported.error;
    EXPECT_EQ(exported.startProgram, "allred");
    std::vector<std::pair<int, std::string>> switches;
    for (const SumoSwitch& change : exported.switches) switches.emplace_back(change.second, change.program);
    EXPECT_EQ(switches, (std::vector<std::pair<int, std::string>>{
                            {6 * 3600, "1"},
                            {9 * 3600 + 1800, "dark"},
                            {10 * 3600 + 900, "1"},
                            {11 * 3600, "flash"},
                            {12 * 3600, "1"},
                            {13 * 3600, "2"},
                        }));
    EXPECT_NE(exported.xml.find("<WAUT refTime=\"0\" id=\"J_schedule\" startProg=\"allred\">\n"
                                "        <wautSwitch time=\"21600\" to=\"1\"/>\n"),
              std::string::npos)
        << exported.xml;
    EXPECT_EQ(exported.xml.find("\"off\""), std::string::npos) << "SUMO reserves the id off";
}

// Every program is one cycle of the engine's lamps: the example's programs
// last the sum of their tacts' main and inter-tact times, and phase 0 opens
// the inter-tact into tact 1 (the east-west greens of tact 3 blinking).
TEST(SumoExport, EachProgramIsOneCycleOfTheEngine) {
    const SumoExport exported = BuildSumoExport(Example(), {"J", 1, std::nullopt});
    ASSERT_TRUE(exported.ok()) << exported.error;
    const int expectedSeconds[] = {30 + 6 + 10 + 6 + 25 + 6, 40 + 6 + 12 + 6 + 22 + 6,
                                   25 + 6 + 10 + 6 + 35 + 6};
    for (int p = 1; p <= 3; ++p) {
        const SumoProgram& program = ProgramOf(exported, std::to_string(p));
        EXPECT_EQ(program.cycleTicks, 2 * expectedSeconds[p - 1]);
        EXPECT_EQ(CycleOf(program), program.cycleTicks);
        EXPECT_EQ(program.phases.front().state, "rrOOrrrrrr") << p;
        for (std::size_t i = 1; i < program.phases.size(); ++i)
            EXPECT_NE(program.phases[i].state, program.phases[i - 1].state) << "equal states are merged";
        ASSERT_TRUE(program.firstEntryTick.has_value());
        EXPECT_EQ(program.offsetTicks, *program.firstEntryTick % program.cycleTicks);
    }
    // Program 1 starts out of flashing at 06:00:00.0: the start-up
    // inter-tact of the largest head (2 s) makes tact 1's main time begin
    // 3 ticks later and last 59 ticks; tacts 2 and 3 follow (12 + 20, 12 +
    // 50 ticks) and the cycle then enters tact 1 again: 3 + 59 + 32 + 62 =
    // 156 ticks after 06:00.
    EXPECT_EQ(ProgramOf(exported, "1").firstEntryTick, 2 * 6 * 3600 + 156);
    EXPECT_EQ(ProgramOf(exported, "flash").phases,
              (std::vector<SumoPhase>{{1, "OOOOOOOOOO"}, {1, "yyyyOOOOyy"}}));
    EXPECT_EQ(ProgramOf(exported, "dark").phases, (std::vector<SumoPhase>{{2, "OOOOOOOOOO"}}));
    EXPECT_EQ(ProgramOf(exported, "allred").phases, (std::vector<SumoPhase>{{2, "rrrrrrrrrr"}}));
}

// A one-tact program enters its tact at every tick; with a blinking green
// its lamps repeat every second tick only.
TEST(SumoExport, AProgramOfOneTactWithABlinkingGreen) {
    TSignalPlan plan;
    ResetPlan(plan, kRom421, 60);
    plan.ChannelColour[0] = 1;
    plan.ChannelColour[1] = 3;
    plan.Direction[0].RedMask = Channels({1});
    plan.Direction[0].GreenMask = Channels({2});
    plan.Direction[0].BlinkMask = Channels({2});
    plan.PhaseDirections[0] = 1;
    plan.Schedule[1][0].Command = kCommandFirstProgram;
    const SumoExport exported = BuildSumoExport(plan, {"J", 1, std::nullopt});
    ASSERT_TRUE(exported.ok()) << exported.error;
    const SumoProgram& program = ProgramOf(exported, "1");
    EXPECT_EQ(program.cycleTicks, 2);
    ASSERT_EQ(program.phases.size(), 2u);
    EXPECT_NE(program.phases[0].state, program.phases[1].state);

    plan.Direction[0].BlinkMask = 0;
    EXPECT_EQ(ProgramOf(BuildSumoExport(plan, {"J", 1, std::nullopt}), "1").phases,
              (std::vector<SumoPhase>{{1, "G"}}));
}

TEST(SumoExport, AGreenLitWithARedIsNamedInAWarning) {
    TSignalPlan plan = Example();
    plan.Direction[2].GreenMask |= Channels({7});  // direction 3's red lit with its green
    const SumoExport exported = BuildSumoExport(plan, {"J", 1, std::nullopt});
    ASSERT_TRUE(exported.ok());
    bool named = false;
    for (const std::string& warning : exported.warnings)
        named = named ||
                warning.find("direction(s) 3 show green together with red or yellow") != std::string::npos;
    EXPECT_TRUE(named);
}

TEST(SumoExport, TheLinkMapOrdersTheSignals) {
    const SumoLinkMapRead links =
        ParseSumoLinkMap("1: 10 0\n2: 9\n3: 8\n4: 7\n5: 6\n6: 5\n7: 4\n8: 3\n9: 2\n10: 1\n", 10);
    ASSERT_TRUE(links.ok()) << links.error;
    const SumoExport plain = BuildSumoExport(Example(), {"J", 1, std::nullopt});
    const SumoExport mapped = BuildSumoExport(Example(), {"J", 1, links.map});
    ASSERT_TRUE(plain.ok() && mapped.ok());
    // Direction 1 shows on links 0 and 10, the others in reverse order.
    const std::string state = ProgramOf(plain, "1").phases[8].state;
    std::string expected(1, state[0]);
    for (int d = 9; d >= 0; --d) expected += state[static_cast<std::size_t>(d)];
    EXPECT_NE(mapped.xml.find("state=\"" + expected + "\""), std::string::npos) << state << " " << expected;
}

TEST(SumoExport, TheTrafficLightIdIsEscaped) {
    const SumoExport exported = BuildSumoExport(Example(), {"a&b\"<'", 1, std::nullopt});
    ASSERT_TRUE(exported.ok());
    EXPECT_NE(exported.xml.find("<tlLogic id=\"a&amp;b&quot;&lt;&apos;\""), std::string::npos);
    EXPECT_NE(exported.xml.find("junctionID=\"a&amp;b&quot;&lt;&apos;\""), std::string::npos);
    EXPECT_FALSE(BuildSumoExport(Example(), {"a\x01", 1, std::nullopt}).ok());
}

}  // namespace
}  // namespace kdt
