// The SUMO export checked against SUMO itself: a one-junction network is
// built with netconvert, sumo runs the exported programs at half-second
// steps and saves the signal states, and these must be the lamps of every
// direction as kdt simulate shows them, for every program of the example and
// of generated plans, with the programs switched at the schedule's times.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>

#include "ExampleCrossing.h"
#include "data/PlanProcedures.h"
#include "data/ProjectFile.h"
#include "support/KdtRun.h"
#include "support/TempFolder.h"

namespace kdt {
namespace {

namespace fs = std::filesystem;
using test::Kdt;
using test::KdtRun;
using test::TempFolder;

constexpr int kTicksPerDay = 2 * 24 * 3600;

// ---- the peer programs ------------------------------------------------------

std::optional<std::string> OnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');) {
        const fs::path candidate = fs::path(folder) / program;
        if (!folder.empty() && ::access(candidate.c_str(), X_OK) == 0) return candidate.string();
    }
    return std::nullopt;
}

// SUMO is installed by `make test-peers`; it sets KDT_PEERS_UNAVAILABLE only
// when the package could not be installed, and only then is this skipped.
#define KDT_REQUIRE_SUMO()                                                                                   \
    do {                                                                                                     \
        if (!OnPath("sumo") || !OnPath("netconvert")) {                                                      \
            if (const char* why = std::getenv("KDT_PEERS_UNAVAILABLE"))                                      \
                GTEST_SKIP() << "SUMO is not installed and could not be (" << why                            \
                             << "): peer check skipped";                                                     \
            FAIL() << "sumo or netconvert is not on PATH; `make test-peers` installs Debian's sumo package"; \
        }                                                                                                    \
    } while (false)

int Run(const std::string& command, const fs::path& log) {
    const int status = std::system((command + " >'" + log.string() + "' 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Text(const fs::path& path) {
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// A junction whose link i comes from the approach of direction linkDirection[i]
// (1-based): one approach lane per direction, each link a connection from it
// to an outgoing edge, with its link index given.
fs::path BuildNetwork(const fs::path& folder, int directions, const std::vector<int>& linkDirection) {
    std::ofstream nodes(folder / "j.nod.xml");
    std::ofstream edges(folder / "j.edg.xml");
    std::ofstream connections(folder / "j.con.xml");
    std::ofstream logic(folder / "j.tll.xml");
    nodes << "<nodes>\n  <node id=\"J\" x=\"0\" y=\"0\" type=\"traffic_light\" tl=\"J\"/>\n";
    edges << "<edges>\n";
    for (int d = 0; d < directions; ++d) {
        const double in = 2 * M_PI * d / directions;
        const double out = in + M_PI + 0.2;
        nodes << "  <node id=\"a" << d << "\" x=\"" << 200 * std::cos(in) << "\" y=\"" << 200 * std::sin(in)
              << "\"/>\n"
              << "  <node id=\"b" << d << "\" x=\"" << 200 * std::cos(out) << "\" y=\"" << 200 * std::sin(out)
              << "\"/>\n";
        edges << "  <edge id=\"in" << d << "\" from=\"a" << d << "\" to=\"J\" numLanes=\"1\"/>\n"
              << "  <edge id=\"out" << d << "\" from=\"J\" to=\"b" << d << "\" numLanes=\"1\"/>\n";
    }
    nodes << "</nodes>\n";
    edges << "</edges>\n";
    connections << "<connections>\n";
    logic << "<tlLogics>\n  <tlLogic id=\"J\" type=\"static\" programID=\"0\" offset=\"0\">\n"
          << "    <phase duration=\"10\" state=\"" << std::string(linkDirection.size(), 'r') << "\"/>\n"
          << "  </tlLogic>\n";
    std::map<int, int> linksFrom;  // a second link of an approach turns to the next arm
    for (std::size_t i = 0; i < linkDirection.size(); ++i) {
        const int d = linkDirection[i] - 1;
        const int to = (d + linksFrom[d]++) % directions;
        const std::string link = "from=\"in" + std::to_string(d) + "\" to=\"out" + std::to_string(to) +
                                 "\" fromLane=\"0\" toLane=\"0\"";
        connections << "  <connection " << link << "/>\n";
        logic << "  <connection " << link << " tl=\"J\" linkIndex=\"" << i << "\"/>\n";
    }
    connections << "</connections>\n";
    logic << "</tlLogics>\n";
    nodes.close();
    edges.close();
    connections.close();
    logic.close();
    const fs::path net = folder / "j.net.xml";
    const std::string command = *OnPath("netconvert") + " --node-files '" + (folder / "j.nod.xml").string() +
                                "' --edge-files '" + (folder / "j.edg.xml").string() +
                                "' --connection-files '" + (folder / "j.con.xml").string() +
                                "' --tllogic-files '" + (folder / "j.tll.xml").string() +
                                "' --no-turnarounds -o '" + net.string() + "'";
    EXPECT_EQ(Run(command, folder / "netconvert.log"), 0) << Text(folder / "netconvert.log");
    return net;
}

struct SumoState {
    std::string program;
    int phase = -1;
    std::string state;
};

std::string Attribute(const std::string& line, const std::string& name) {
    const std::size_t at = line.find(" " + name + "=\"");
    if (at == std::string::npos) return {};
    const std::size_t from = at + name.size() + 3;
    return line.substr(from, line.find('"', from) - from);
}

// Runs a day from midnight and returns the junction's state at every half-second.
std::vector<SumoState> RunSumo(const fs::path& folder, const fs::path& net, const fs::path& additional) {
    std::ofstream(folder / "save.add.xml")
        << "<additional>\n  <timedEvent type=\"SaveTLSStates\" source=\"J\" dest=\""
        << (folder / "states.xml").string() << "\"/>\n</additional>\n";
    const std::string command = *OnPath("sumo") + " -n '" + net.string() + "' -a '" + additional.string() +
                                "," + (folder / "save.add.xml").string() +
                                "' --step-length 0.5 --begin 0 --end 86400 --no-step-log";
    EXPECT_EQ(Run(command, folder / "sumo.log"), 0) << Text(folder / "sumo.log");
    std::vector<SumoState> states(kTicksPerDay);
    std::ifstream file(folder / "states.xml");
    for (std::string line; std::getline(file, line);) {
        if (line.find("<tlsState ") == std::string::npos) continue;
        const long tick = std::lround(std::stod(Attribute(line, "time")) * 2);
        if (tick < 0 || tick >= kTicksPerDay) continue;
        states[tick] = {Attribute(line, "programID"), std::stoi(Attribute(line, "phase")),
                        Attribute(line, "state")};
    }
    return states;
}

// ---- kdt's side -------------------------------------------------------------

struct TraceRow {
    int command;
    int phase;
    std::string lamps;
};

std::vector<TraceRow> Simulate(const fs::path& folder, const std::vector<std::string>& arguments) {
    const fs::path trace = folder / "trace.csv";
    std::vector<std::string> words = {"simulate"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    words.insert(words.end(), {"--trace", trace.string()});
    const KdtRun run = Kdt(words);
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<TraceRow> rows;
    std::ifstream file(trace);
    std::string line;
    std::getline(file, line);
    while (std::getline(file, line)) {
        std::stringstream fields(line);
        std::string field[6];
        for (std::string& f : field) std::getline(fields, f, ',');
        rows.push_back({std::stoi(field[4]), std::stoi(field[5]), line.substr(line.size() - kChannelCount)});
    }
    return rows;
}

// The signal each direction shows, read off the lit lamps by their colours:
// any green G, red with yellow u, red r, yellow y, none O.
std::string Signals(const TSignalPlan& plan, const std::string& lamps) {
    std::string signals;
    for (int d = 0; d < plan.DirectionCount; ++d) {
        const TDirectionSettings& direction = plan.Direction[d];
        const std::uint32_t channels = direction.HeadMask | direction.GreenMask | direction.RedMask |
                                       direction.TailMask | direction.BlinkMask;
        bool lit[4] = {};
        for (int k = 0; k < kChannelCount; ++k)
            if ((channels >> k & 1u) && lamps[k] == '1' && plan.ChannelColour[k] < 4)
                lit[plan.ChannelColour[k]] = true;
        signals += lit[3] ? 'G' : lit[1] && lit[2] ? 'u' : lit[1] ? 'r' : lit[2] ? 'y' : 'O';
    }
    return signals;
}

// The signals on the junction's links.
std::string OnLinks(const std::string& signals, const std::vector<int>& linkDirection) {
    std::string state;
    for (const int d : linkDirection) state += signals[d - 1];
    return state;
}

int CycleTicks(const TSignalProgram& program) {
    int ticks = 0;
    for (int t = 0; t < program.TactCount; ++t)
        ticks += program.TactDuration[t] + program.TactInterDuration[t];
    return ticks;
}

// The first row from `from` on that enters tact 1 of the running program
// (its phase comes up while the program runs on); the plans here show each
// phase in one tact at most.
std::optional<int> TactOneEntry(const std::vector<TraceRow>& rows, const TSignalProgram& program, int from,
                                int to) {
    const int phase = program.TactPhase[0] + 1;
    for (int t = std::max(from, 1); t < to && t < static_cast<int>(rows.size()); ++t)
        if (rows[t].phase == phase && rows[t - 1].phase != phase && rows[t].command == 3 &&
            rows[t - 1].command == 3)
            return t;
    return std::nullopt;
}

// ---- plans ------------------------------------------------------------------

struct Window {
    int from;  // half-second of the day
    int to;
    std::string program;
};

struct PeerPlan {
    std::string name;
    TSignalPlan plan;
    std::vector<Window> monday;  // the schedule's programs, as SUMO must switch them
};

std::uint32_t Bit(int channel) {
    return 1u << (channel - 1);
}

PeerPlan Example() {
    PeerPlan example{"example", {}, {}};
    example::BuildExampleCrossing(example.plan);
    const auto at = [](int hour, int minute) { return 2 * 60 * (60 * hour + minute); };
    example.monday = {{0, at(6, 0), "flash"},
                      {at(6, 0), at(7, 0), "1"},
                      {at(7, 0), at(10, 0), "2"},
                      {at(10, 0), at(17, 0), "1"},
                      {at(17, 0), at(20, 0), "3"},
                      {at(20, 0), at(23, 0), "1"},
                      {at(23, 0), kTicksPerDay, "flash"}};
    return example;
}

// A plan of random vehicle and pedestrian heads, phases and programs, whose
// Monday starts its programs from flashing, from all red and from off, and
// from another program.
PeerPlan Generated(std::uint32_t seed, std::uint8_t rom) {
    std::mt19937 random(seed);
    const auto in = [&](int low, int high) {
        return low + static_cast<int>(random() % unsigned(high - low + 1));
    };
    PeerPlan generated{"seed " + std::to_string(seed), {}, {}};
    TSignalPlan& plan = generated.plan;
    ResetPlan(plan, rom, 60);
    plan.DirectionCount = static_cast<std::uint8_t>(in(3, 8));
    int channel = 1;
    int largestOn = 0;
    int largestOff = 0;
    for (int d = 0; d < plan.DirectionCount; ++d) {
        TDirectionSettings& direction = plan.Direction[d];
        const int red = channel++;
        const bool vehicle = in(0, 3) != 0;
        const int yellow = vehicle ? channel++ : 0;
        const int green = channel++;
        plan.ChannelColour[red - 1] = 1;
        if (vehicle) plan.ChannelColour[yellow - 1] = 2;
        plan.ChannelColour[green - 1] = 3;
        direction.RedMask = Bit(red);
        direction.GreenMask = Bit(green);
        direction.HeadMask = Bit(red) | (vehicle ? Bit(yellow) : 0);
        direction.TailMask = vehicle ? Bit(yellow) : Bit(red);
        direction.BlinkMask = in(0, 5) == 0 ? Bit(green) : 0;  // a green that blinks all through
        direction.HeadDuration = static_cast<std::uint16_t>(vehicle ? in(0, 4) : 0);
        direction.TailDuration = static_cast<std::uint16_t>(in(2, 9));  // odd values too: half-seconds
        direction.ExtraGreenAfterGreen = static_cast<std::uint16_t>(in(0, 3));
        direction.ExtraGreenAfterRed = static_cast<std::uint16_t>(in(0, 2));
        direction.GreenBlinkCount = static_cast<std::uint16_t>(in(0, 4));
        largestOn = std::max(largestOn, direction.HeadDuration + direction.ExtraGreenAfterRed);
        largestOff = std::max(largestOff, direction.ExtraGreenAfterGreen + 2 * direction.GreenBlinkCount +
                                              direction.TailDuration);
        plan.YellowFlashMask |= vehicle ? Bit(yellow) : 0;
        plan.AllRedMask |= d == 0 ? 0 : Bit(red);  // direction 1 stays dark in all red, as the lamps say
    }
    plan.PhaseCount = static_cast<std::uint8_t>(in(3, 5));
    for (int p = 0; p < plan.PhaseCount; ++p)
        plan.PhaseDirections[p] = static_cast<std::uint16_t>(in(1, (1 << plan.DirectionCount) - 1));
    plan.MinPhaseDuration = static_cast<std::uint16_t>(in(0, 6));
    plan.ProgramCount = 4;
    for (int p = 0; p < plan.ProgramCount; ++p) {
        TSignalProgram& program = plan.Program[p];
        std::vector<int> phases(plan.PhaseCount);
        for (int k = 0; k < plan.PhaseCount; ++k) phases[k] = k;
        std::shuffle(phases.begin(), phases.end(), random);
        program.TactCount = static_cast<std::uint16_t>(in(2, plan.PhaseCount));
        for (int t = 0; t < program.TactCount; ++t) {
            program.TactPhase[t] = static_cast<std::uint8_t>(phases[t]);
            program.TactDuration[t] = static_cast<std::uint16_t>(in(plan.MinPhaseDuration + 4, 60));
            program.TactInterDuration[t] =
                static_cast<std::uint16_t>(in(std::max(largestOn, largestOff), 30));
        }
        program.CycleLength = static_cast<std::uint16_t>(CycleTicks(program));
    }
    plan.PowerOnState = kCommandYellowFlash;
    plan.PowerOnDuration = 5;
    // Monday: each program's first run lasts half an hour.
    const auto at = [](int hour, int minute) { return 2 * 60 * (60 * hour + minute); };
    struct Row {
        int hour, minute;
        std::uint8_t command;
        const char* program;
    };
    const Row rows[] = {{0, 0, kCommandYellowFlash, "flash"},   {1, 0, kCommandFirstProgram, "1"},
                        {1, 30, kCommandFirstProgram + 1, "2"}, {2, 0, kCommandAllRed, "allred"},
                        {2, 30, kCommandFirstProgram + 2, "3"}, {3, 0, kCommandSignalsOff, "dark"},
                        {3, 30, kCommandFirstProgram + 3, "4"}, {4, 0, kCommandYellowFlash, "flash"},
                        {4, 30, kCommandFirstProgram, "1"},     {5, 0, kCommandYellowFlash, "flash"}};
    for (std::size_t r = 0; r < std::size(rows); ++r) {
        plan.Schedule[1][r] = {static_cast<std::uint8_t>(rows[r].hour),
                               static_cast<std::uint8_t>(rows[r].minute), rows[r].command};
        const int to = r + 1 < std::size(rows) ? at(rows[r + 1].hour, rows[r + 1].minute) : kTicksPerDay;
        generated.monday.push_back({at(rows[r].hour, rows[r].minute), to, rows[r].program});
    }
    return generated;
}

std::vector<PeerPlan> Plans() {
    return {Example(), Generated(11, kRom421), Generated(12, kRom420), Generated(13, kRom413)};
}

// ---- the checks ---------------------------------------------------------------

// Half-second for half-second over [from, from + ticks), kdt's rows from
// kdtFrom and SUMO's from sumoFrom; the first difference is reported.
void ExpectSameSignals(const TSignalPlan& plan, const std::vector<TraceRow>& rows, int kdtFrom,
                       const std::vector<SumoState>& sumo, int sumoFrom, int ticks,
                       const std::vector<int>& links, const std::string& what) {
    ASSERT_LE(kdtFrom + ticks, static_cast<int>(rows.size())) << what;
    ASSERT_LE(sumoFrom + ticks, static_cast<int>(sumo.size())) << what;
    for (int k = 0; k < ticks; ++k) {
        const std::string expected = OnLinks(Signals(plan, rows[kdtFrom + k].lamps), links);
        ASSERT_EQ(sumo[sumoFrom + k].state, expected)
            << what << ", " << k << " half-seconds in: SUMO at " << (sumoFrom + k) / 2.0 << " s (program "
            << sumo[sumoFrom + k].program << ", phase " << sumo[sumoFrom + k].phase << ")";
    }
}

std::vector<int> OneLinkPerDirection(const TSignalPlan& plan) {
    std::vector<int> links;
    for (int d = 1; d <= plan.DirectionCount; ++d) links.push_back(d);
    return links;
}

void CheckPlan(const PeerPlan& peer, const std::vector<int>& links, const std::string& linkMap) {
    TempFolder folder;
    TSignalPlan saved = peer.plan;
    ASSERT_TRUE(SaveProjectFile(folder / "plan.kdt", saved).ok());
    const std::string plan = (folder / "plan.kdt").string();
    std::vector<std::string> exportArguments = {
        "export-sumo", plan, "--out", (folder / "plan.add.xml").string(), "--tls", "J"};
    if (!linkMap.empty()) {
        std::ofstream(folder / "links.txt") << linkMap;
        exportArguments.insert(exportArguments.end(), {"--links", (folder / "links.txt").string()});
    }
    const KdtRun exported = Kdt(exportArguments);
    ASSERT_EQ(exported.status, 0) << exported.err;
    const fs::path net = BuildNetwork(folder.path(), peer.plan.DirectionCount, links);
    const std::vector<SumoState> sumo = RunSumo(folder.path(), net, folder / "plan.add.xml");

    // SUMO runs the schedule's program at every half-second of the day, and
    // switches exactly at the rows' times.
    for (const Window& window : peer.monday)
        for (int t = window.from; t < window.to; ++t)
            ASSERT_EQ(sumo[t].program, window.program) << "at " << t / 2.0 << " s";

    // Each program on its own, as kdt simulate runs it chosen: two full
    // cycles from the tick that enters tact 1 against SUMO's from phase 0.
    for (int p = 1; p <= peer.plan.ProgramCount; ++p) {
        const TSignalProgram& program = peer.plan.Program[p - 1];
        const int cycle = CycleTicks(program);
        const std::vector<TraceRow> rows =
            Simulate(folder.path(), {plan, "--day", "1", "--time", "12:00:00", "--ticks",
                                     std::to_string(2 * peer.plan.PowerOnDuration + 5 * cycle + 10),
                                     "--program", std::to_string(p)});
        const std::optional<int> entry = TactOneEntry(rows, program, 0, static_cast<int>(rows.size()));
        ASSERT_TRUE(entry.has_value()) << "program " << p;
        const auto window = std::find_if(peer.monday.begin(), peer.monday.end(),
                                         [&](const Window& w) { return w.program == std::to_string(p); });
        ASSERT_NE(window, peer.monday.end());
        int phaseZero = window->from;
        while (phaseZero < window->to && !(sumo[phaseZero].phase == 0 && sumo[phaseZero - 1].phase != 0))
            ++phaseZero;
        ASSERT_LE(phaseZero + 2 * cycle, window->to) << "program " << p << " has no two cycles in SUMO";
        ExpectSameSignals(peer.plan, rows, *entry, sumo, phaseZero, 2 * cycle, links,
                          peer.name + ", program " + std::to_string(p) + " chosen");
    }

    // The day as the controller follows the schedule (kdt's first row is
    // 23:59:59.5 on Sunday): two cycles half-second for half-second in each
    // program's first run; and the first ten seconds of all red, off and
    // flashing after a program.
    const std::vector<TraceRow> day = Simulate(folder.path(), {plan, "--day", "0", "--time", "23:59:59",
                                                               "--ticks", std::to_string(kTicksPerDay + 1)});
    const std::vector<TraceRow> monday(day.begin() + 1, day.end());
    std::set<std::string> checked;
    for (const Window& window : peer.monday) {
        if (window.from == 0 || !checked.insert(window.program).second) continue;
        if (window.program == "flash" || window.program == "dark" || window.program == "allred") {
            ExpectSameSignals(
                peer.plan, monday, window.from, sumo, window.from, 20, links,
                peer.name + ", " + window.program + " from " + std::to_string(window.from / 2) + " s");
            continue;
        }
        // Reached from another program, the controller may enter tact 1 once
        // without its inter-tact; the cycle after that is the program's own.
        const TSignalProgram& program = peer.plan.Program[std::stoi(window.program) - 1];
        const std::optional<int> first = TactOneEntry(monday, program, window.from, window.to);
        ASSERT_TRUE(first.has_value()) << window.program;
        const std::optional<int> entry = TactOneEntry(monday, program, *first + 1, window.to);
        ASSERT_TRUE(entry.has_value()) << window.program;
        ASSERT_LE(*entry + 2 * CycleTicks(program), window.to) << window.program;
        ExpectSameSignals(peer.plan, monday, *entry, sumo, *entry, 2 * CycleTicks(program), links,
                          peer.name + ", program " + window.program + " on the schedule");
    }
}

TEST(SumoPeer, SumoShowsEveryProgramAsKdtSimulatesIt) {
    KDT_REQUIRE_SUMO();
    for (const PeerPlan& peer : Plans()) {
        SCOPED_TRACE(peer.name);
        CheckPlan(peer, OneLinkPerDirection(peer.plan), "");
        if (HasFatalFailure()) return;
    }
}

// The example on a junction whose links are in another order, the north
// approach with a second link that turns.
TEST(SumoPeer, TheLinkMapPutsEachDirectionOnItsLinks) {
    KDT_REQUIRE_SUMO();
    const PeerPlan example = Example();
    const std::vector<int> links = {10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 1};
    std::string map;
    for (int d = 1; d <= 10; ++d)
        map += std::to_string(d) + ": " + std::to_string(10 - d) + (d == 1 ? " 10" : "") + "\n";
    CheckPlan(example, links, map);
}

}  // namespace
}  // namespace kdt
