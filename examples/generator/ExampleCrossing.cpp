#include "ExampleCrossing.h"

#include <initializer_list>

#include "data/PlanProcedures.h"
#include "data/TextEncoding.h"

namespace kdt::example {
namespace {

enum Colour : std::uint8_t { kRed = 1, kYellow = 2, kGreen = 3 };

std::uint32_t Channels(std::initializer_list<int> channels) {
    std::uint32_t mask = 0;
    for (const int channel : channels) mask |= 1u << (channel - 1);
    return mask;
}

std::uint16_t Directions(std::initializer_list<int> directions) {
    std::uint16_t mask = 0;
    for (const int direction : directions) mask |= static_cast<std::uint16_t>(1u << (direction - 1));
    return mask;
}

std::uint16_t HalfSeconds(int seconds) {
    return static_cast<std::uint16_t>(seconds * 2);
}

// A vehicle signal head: red, yellow, green on three channels.
void VehicleDirection(TSignalPlan& plan, int direction, int red, int yellow, int green) {
    plan.ChannelColour[red - 1] = kRed;
    plan.ChannelColour[yellow - 1] = kYellow;
    plan.ChannelColour[green - 1] = kGreen;
    TDirectionSettings& settings = plan.Direction[direction - 1];
    settings.HeadMask = Channels({red, yellow});
    settings.GreenMask = Channels({green});
    settings.RedMask = Channels({red});
    settings.TailMask = Channels({yellow});
    settings.BlinkMask = 0;  // no section that flashes while green
    settings.HeadDuration = HalfSeconds(2);
    settings.TailDuration = HalfSeconds(3);
    settings.GreenBlinkCount = 3;
    plan.DirectionChannels[direction - 1] = Channels({red, yellow, green});
}

// A pedestrian head: red and green, the green blinks before it goes red.
void PedestrianDirection(TSignalPlan& plan, int direction, int red, int green) {
    plan.ChannelColour[red - 1] = kRed;
    plan.ChannelColour[green - 1] = kGreen;
    TDirectionSettings& settings = plan.Direction[direction - 1];
    settings.HeadMask = Channels({red});
    settings.GreenMask = Channels({green});
    settings.RedMask = Channels({red});
    settings.TailMask = Channels({red});
    settings.BlinkMask = 0;     // no section that flashes while green
    settings.HeadDuration = 2;  // 1 s
    settings.TailDuration = HalfSeconds(2);
    settings.GreenBlinkCount = 3;
    plan.DirectionChannels[direction - 1] = Channels({red, green});
}

struct Tact {
    int phase;  // 1-based
    int mainSeconds;
    int interSeconds;
};

void SignalProgram(TSignalPlan& plan, int number, std::initializer_list<Tact> tacts) {
    TSignalProgram& program = plan.Program[number - 1];
    program.TactCount = static_cast<std::uint16_t>(tacts.size());
    int cycleSeconds = 0;
    int t = 0;
    for (const Tact& tact : tacts) {
        program.TactPhase[t] = static_cast<std::uint8_t>(tact.phase - 1);
        program.TactDuration[t] = HalfSeconds(tact.mainSeconds);
        program.TactInterDuration[t] = HalfSeconds(tact.interSeconds);
        cycleSeconds += tact.mainSeconds + tact.interSeconds;
        ++t;
    }
    program.CycleLength = HalfSeconds(cycleSeconds);
}

struct Switch {
    int hour;
    int minute;
    std::uint8_t command;
};

void Day(TSignalPlan& plan, int day, std::initializer_list<Switch> switches) {
    int row = 0;
    for (const Switch& entry : switches) {
        plan.Schedule[day][row] = {static_cast<std::uint8_t>(entry.hour),
                                   static_cast<std::uint8_t>(entry.minute), entry.command};
        ++row;
    }
}

constexpr std::uint8_t Program(int number) {
    return static_cast<std::uint8_t>(kCommandFirstProgram + number - 1);
}

void StoreExtraLine(TSignalPlan& plan, int slot, std::string_view utf8) {
    const std::string text = Utf8ToCp1251(utf8);
    for (std::size_t i = 0; i < text.size() && i < kExtraLineLength; ++i) plan.ExtraLines[slot][i] = text[i];
}

}  // namespace

void BuildExampleCrossing(TSignalPlan& plan) {
    ResetPlan(plan, kRom421, kDefaultSpeed);

    // Directions: 1 north, 2 south, 3 east, 4 west approach; 5..8 the
    // pedestrian crossings over the north, south, east and west arms; 9 and
    // 10 the left-turn signals of the north and south approaches.
    plan.DirectionCount = 10;
    VehicleDirection(plan, 1, 1, 2, 3);
    VehicleDirection(plan, 2, 4, 5, 6);
    VehicleDirection(plan, 3, 7, 8, 9);
    VehicleDirection(plan, 4, 10, 11, 12);
    PedestrianDirection(plan, 5, 13, 14);
    PedestrianDirection(plan, 6, 15, 16);
    PedestrianDirection(plan, 7, 17, 18);
    PedestrianDirection(plan, 8, 19, 20);
    VehicleDirection(plan, 9, 21, 22, 23);
    VehicleDirection(plan, 10, 24, 25, 26);
    // "Ждите" displays of the two pedestrian buttons.
    plan.ChannelColour[27 - 1] = kYellow;
    plan.ChannelColour[28 - 1] = kYellow;
    plan.ManualFollowsProgram = 1;
    for (int d = 0; d < plan.DirectionCount; ++d) plan.DirectionManual[d] = plan.Direction[d];

    const std::uint32_t reds = Channels({1, 4, 7, 10, 13, 15, 17, 19, 21, 24});
    plan.YellowFlashMask = Channels({2, 5, 8, 11, 22, 25});
    plan.AllRedMask = reds;
    plan.GreenConflictMask = Channels({3, 6, 9, 12, 14, 16, 18, 20, 23, 26});
    plan.RedConflictMask = reds;

    // Phases: 1 north-south, 2 the protected left turns, 3 east-west; the
    // pedestrians cross on call only: 4 over the east and west arms (button
    // 1), 5 over the north and south arms (button 2).
    plan.PhaseCount = 5;
    plan.PhaseDirections[0] = Directions({1, 2});
    plan.PhaseDirections[1] = Directions({9, 10});
    plan.PhaseDirections[2] = Directions({3, 4});
    plan.PhaseDirections[3] = Directions({7, 8});
    plan.PhaseDirections[4] = Directions({5, 6});
    const int minimumSeconds[] = {12, 6, 10, 8, 8};
    for (int p = 0; p < plan.PhaseCount; ++p) {
        plan.PhaseInterTact[p] = HalfSeconds(6);
        plan.PhaseMinTime[p] = static_cast<std::uint16_t>(minimumSeconds[p]);
        plan.PhaseMaxTime[p] = 60;
    }

    plan.ProgramCount = 3;
    SignalProgram(plan, 1, {{1, 30, 6}, {2, 10, 6}, {3, 25, 6}});  // day
    SignalProgram(plan, 2, {{1, 40, 6}, {2, 12, 6}, {3, 22, 6}});  // morning peak into town
    SignalProgram(plan, 3, {{1, 25, 6}, {2, 10, 6}, {3, 35, 6}});  // evening peak out of town

    for (int day = 1; day <= 5; ++day)
        Day(plan, day,
            {{0, 0, kCommandYellowFlash},
             {6, 0, Program(1)},
             {7, 0, Program(2)},
             {10, 0, Program(1)},
             {17, 0, Program(3)},
             {20, 0, Program(1)},
             {23, 0, kCommandYellowFlash}});
    for (int day : {0, 6})
        Day(plan, day, {{0, 0, kCommandYellowFlash}, {7, 30, Program(1)}, {23, 0, kCommandYellowFlash}});
    plan.PowerOnState = kCommandYellowFlash;
    plan.PowerOnDuration = 10;

    // The two buttons insert their pedestrian phase after phase 1 and after
    // phase 3, for 12 s each.
    plan.TvpButtonCount = 2;
    plan.Tvp[1] = {3, HalfSeconds(12), Channels({27})};
    plan.Tvp[2] = {4, HalfSeconds(12), Channels({28})};
    plan.TvpInsertPhase[0] = 0;
    plan.TvpInsertPhase[1] = 2;

    StoreText(plan.Comment, Utf8ToCp1251("Пример: перекрёсток ул. Ленина и пр. Мира"));
    StoreText(plan.ProjectFileName, "crossing.kdt");
    StoreExtraLine(plan, 4, "Перекрёсток 4");
    StoreExtraLine(plan, 5, "Ленина / Мира");

    plan.FormatVersion = 2;
    NormalisePlan(plan, plan.NetworkAddress);
}

}  // namespace kdt::example
