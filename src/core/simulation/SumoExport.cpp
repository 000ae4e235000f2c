#include "simulation/SumoExport.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <map>
#include <set>

#include "common/TextEscaping.h"
#include "report/ReportVocabulary.h"
#include "simulation/ScheduleLookup.h"
#include "simulation/SimulationEngine.h"

namespace kdt {
namespace {

constexpr std::uint8_t kRed = 1;
constexpr std::uint8_t kYellow = 2;
constexpr std::uint8_t kGreen = 3;
constexpr int kMinutesPerDay = 24 * 60;
// A cycle is looked for over at most this many half-seconds (about 23 days);
// real programs repeat within minutes.
constexpr std::size_t kMaxScanTicks = 4'000'000;

int DirectionCountOf(const TSignalPlan& plan) {
    return std::clamp<int>(plan.DirectionCount, 0, kMaxDirections);
}
int ProgramCountOf(const TSignalPlan& plan) {
    return std::clamp<int>(plan.ProgramCount, 1, kMaxPrograms);
}

// ---- link maps --------------------------------------------------------------

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

bool ReadNumber(std::string_view text, int& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= 0;
}

// ---- states -------------------------------------------------------------------

// A direction's signal in 3 bits, sixteen directions to a word.
constexpr char kLetters[] = {kSumoDark, kSumoRed, kSumoYellow, kSumoRedYellow, kSumoGreen};

int LetterCode(char letter) {
    return static_cast<int>(std::find(std::begin(kLetters), std::end(kLetters), letter) -
                            std::begin(kLetters));
}

struct Signals {
    std::uint64_t code = 0;
    std::uint16_t conflicts = 0;  // directions showing green with red or yellow
};

// Each direction's channels by colour, so that a tick's lamps read fast: a
// day of them is read for every export.
struct ColouredChannels {
    std::uint32_t red = 0;
    std::uint32_t yellow = 0;
    std::uint32_t green = 0;
};

ColouredChannels ColouredChannelsOf(const TSignalPlan& plan, int direction) {
    const TDirectionSettings& settings = plan.Direction[direction];
    const std::uint32_t channels =
        settings.HeadMask | settings.GreenMask | settings.RedMask | settings.TailMask | settings.BlinkMask;
    ColouredChannels coloured;
    for (int k = 0; k < kChannelCount; ++k) {
        if (((channels >> k) & 1u) == 0) continue;
        if (plan.ChannelColour[k] == kRed) coloured.red |= 1u << k;
        if (plan.ChannelColour[k] == kYellow) coloured.yellow |= 1u << k;
        if (plan.ChannelColour[k] == kGreen) coloured.green |= 1u << k;
    }
    return coloured;
}

char SignalOf(const ColouredChannels& coloured, std::uint32_t lamps, bool& conflict) {
    const bool red = (lamps & coloured.red) != 0;
    const bool yellow = (lamps & coloured.yellow) != 0;
    const bool green = (lamps & coloured.green) != 0;
    conflict = green && (red || yellow);
    if (green) return kSumoGreen;
    if (red && yellow) return kSumoRedYellow;
    if (red) return kSumoRed;
    if (yellow) return kSumoYellow;
    return kSumoDark;
}

class SignalReader {
public:
    explicit SignalReader(const TSignalPlan& plan) : count_(DirectionCountOf(plan)) {
        for (int d = 0; d < count_; ++d) directions_[d] = ColouredChannelsOf(plan, d);
    }
    Signals operator()(std::uint32_t lamps) const {
        Signals signals;
        for (int d = 0; d < count_; ++d) {
            bool conflict = false;
            signals.code |= std::uint64_t(LetterCode(SignalOf(directions_[d], lamps, conflict))) << (3 * d);
            if (conflict) signals.conflicts |= static_cast<std::uint16_t>(1u << d);
        }
        return signals;
    }

private:
    int count_;
    std::array<ColouredChannels, kMaxDirections> directions_{};
};

std::string StateOf(const TSignalPlan& plan, std::uint64_t code) {
    std::string state;
    for (int d = 0; d < DirectionCountOf(plan); ++d) state += kLetters[(code >> (3 * d)) & 7u];
    return state;
}

// Consecutive equal states as one phase; the first phase stays first.
std::vector<SumoPhase> Phases(const TSignalPlan& plan, const std::vector<std::uint64_t>& codes,
                              std::size_t from, std::size_t to) {
    std::vector<SumoPhase> phases;
    for (std::size_t t = from; t < to; ++t) {
        if (t > from && codes[t] == codes[t - 1]) {
            ++phases.back().ticks;
        } else {
            phases.push_back({1, StateOf(plan, codes[t])});
        }
    }
    return phases;
}

std::string Directions(std::uint16_t mask) {
    std::string text;
    for (int d = 0; d < kMaxDirections; ++d) {
        if (((mask >> d) & 1u) == 0) continue;
        text += (text.empty() ? "" : ", ") + std::to_string(d + 1);
    }
    return text;
}

// ---- one signal program -------------------------------------------------------

struct Scan {
    std::vector<std::uint64_t> cycle;  // signals per tick, from the tick that enters tact 1
    std::uint16_t conflicts = 0;
    std::string error;
};

// Whether the tick just run entered tact 1 of the running program: the tact
// changes on a tick that finds the countdown at zero, and a program's own
// start (from off, all red or flashing) is no entry of its cycle.
bool EnteredTactOne(const SimulationEngine& engine, std::uint16_t countdownBefore,
                    std::uint8_t commandBefore) {
    return engine.command() == kSimCommandPhase && engine.mode() == SimMode::Program &&
           commandBefore == kSimCommandPhase && countdownBefore == 0 && engine.currentTact() == 1;
}

// Runs the program from a start out of flashing and takes the cycle between
// two entries into tact 1 once it repeats exactly.
Scan ScanProgram(const TSignalPlan& plan, int program) {
    Scan scan;
    if ((plan.Program[program - 1].TactCount & 0xFF) == 0) {
        scan.error = std::string(kProgramShortName) + " " + std::to_string(program) + " has no tacts";
        return scan;
    }
    TSignalPlan run = plan;
    run.PowerOnState = kSimCommandYellowFlash;
    run.PowerOnDuration = 0;
    SimulationEngine engine(run, 12 * 60 * 60 * 1000);
    engine.WindowShown(1);
    engine.ChooseProgram(program);
    engine.ToggleRunning();

    const SignalReader signalsOf(plan);
    std::vector<std::uint64_t> codes;
    std::vector<std::uint16_t> conflicts;
    std::vector<std::size_t> entries;  // indices into codes
    while (codes.size() < kMaxScanTicks) {
        const std::uint16_t countdownBefore = engine.tactCountdown();
        const std::uint8_t commandBefore = engine.command();
        engine.Tick();
        const Signals signals = signalsOf(engine.actualLamps());
        codes.push_back(signals.code);
        conflicts.push_back(signals.conflicts);
        if (!EnteredTactOne(engine, countdownBefore, commandBefore)) continue;
        entries.push_back(codes.size() - 1);
        // A cycle may span more than one entry: a program of one tact enters it
        // every tick, and a blinking green repeats only every second tick.
        for (std::size_t span = 1; 2 * span + 1 <= entries.size() && span <= 4; ++span) {
            const std::size_t end = entries.size() - 1;
            const std::size_t a = entries[end - 2 * span];
            const std::size_t b = entries[end - span];
            const std::size_t c = entries[end];
            if (b - a != c - b || !std::equal(codes.begin() + a, codes.begin() + b, codes.begin() + b))
                continue;
            scan.cycle.assign(codes.begin() + a, codes.begin() + b);
            for (std::size_t t = a; t < b; ++t) scan.conflicts |= conflicts[t];
            return scan;
        }
    }
    scan.error = std::string(kProgramShortName) + " " + std::to_string(program) +
                 " does not settle into a repeating cycle within " + std::to_string(kMaxScanTicks / 2) + " s";
    return scan;
}

// ---- the day --------------------------------------------------------------------

constexpr int kTicksPerDay = 2 * 24 * 60 * 60;

struct DayRun {
    std::vector<std::uint64_t> codes;       // by half-second of the day
    std::vector<std::uint8_t> program;      // the program running then, 0 for none
    std::vector<std::vector<int>> entries;  // by program: the half-seconds that enter its tact 1
};

// The engine following the day's schedule from midnight, already running:
// the power-on period is left out and the state of the midnight row comes
// on at 00:00:00.0, as the day begins in SUMO.
DayRun RunDay(const TSignalPlan& plan, int weekday) {
    DayRun day;
    day.codes.resize(kTicksPerDay);
    day.program.resize(kTicksPerDay);
    day.entries.resize(kMaxPrograms + 1);
    TSignalPlan run = plan;
    const int midnight = ScheduleCommandAt(plan, weekday, 0, 0);
    run.PowerOnState =
        midnight <= kCommandYellowFlash ? static_cast<std::uint8_t>(midnight) : kSimCommandPhase;
    run.PowerOnDuration = 0;
    const SignalReader signalsOf(plan);
    SimulationEngine engine(run, kMillisecondsPerDay - kMillisecondsPerTick);
    engine.WindowShown((weekday + kDayCount - 1) % kDayCount);
    engine.ToggleRunning();
    for (int t = 0; t < kTicksPerDay; ++t) {
        const std::uint16_t countdownBefore = engine.tactCountdown();
        const std::uint8_t commandBefore = engine.command();
        engine.Tick();
        day.codes[t] = signalsOf(engine.actualLamps()).code;
        const bool runs = engine.command() == kSimCommandPhase && engine.mode() == SimMode::Program;
        const int program = engine.currentProgram();
        day.program[t] = runs ? static_cast<std::uint8_t>(program) : 0;
        if (EnteredTactOne(engine, countdownBefore, commandBefore)) day.entries[program].push_back(t);
    }
    return day;
}

// The first half-second from which the day shows the program otherwise than
// its cycle, while the program runs on from an entry into its tact 1.
std::optional<int> FirstDeparture(const DayRun& day, int program, int entry,
                                  const std::vector<std::uint64_t>& cycle) {
    for (int t = entry; t < kTicksPerDay && day.program[t] == program; ++t)
        if (day.codes[t] != cycle[static_cast<std::size_t>(t - entry) % cycle.size()]) return t;
    return std::nullopt;
}

// ---- the schedule -------------------------------------------------------------

std::string StateProgram(int command) {
    switch (command) {
        case kCommandSignalsOff:
            return std::string(kSumoDarkProgram);
        case kCommandAllRed:
            return std::string(kSumoAllRedProgram);
        default:
            return std::string(kSumoFlashProgram);
    }
}

// The program running at each minute of the day, as the engine follows the
// schedule: a row naming a program beyond the count runs program 1, and a
// row without a valid program (or no row) keeps the program that runs.
std::vector<std::string> ProgramsByMinute(const TSignalPlan& plan, int weekday) {
    std::vector<std::string> programs(kMinutesPerDay);
    int current = 1;
    for (int minute = 0; minute < kMinutesPerDay; ++minute) {
        const int command = ScheduleCommandAt(plan, weekday, minute / 60, minute % 60);
        if (command <= kCommandYellowFlash) {
            programs[minute] = StateProgram(command);
            continue;
        }
        if (command >= kCommandFirstProgram && command < kCommandFirstProgram + kMaxPrograms) {
            current = command - (kCommandFirstProgram - 1);
            if (current > ProgramCountOf(plan)) current = 1;
        }
        programs[minute] = std::to_string(current);
    }
    return programs;
}

// ---- the file -----------------------------------------------------------------

std::string Seconds(int ticks) {
    return std::to_string(ticks / 2) + (ticks % 2 != 0 ? ".5" : "");
}

std::string LinkState(const std::string& directionState, const std::optional<SumoLinkMap>& links) {
    if (!links) return directionState;
    std::string state(static_cast<std::size_t>(links->linkCount), kSumoDark);
    for (std::size_t d = 0; d < links->linksOf.size() && d < directionState.size(); ++d)
        for (const int link : links->linksOf[d]) state[static_cast<std::size_t>(link)] = directionState[d];
    return state;
}

std::string Xml(const SumoExport& result, const SumoExportOptions& options) {
    const std::string tls = XmlEscaped(options.tlsId);
    const std::string waut = XmlEscaped(options.tlsId + "_schedule");
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    xml += "<!-- Written by kdt export-sumo. Run SUMO with step length 0.5 s; time 0 is midnight of " +
           std::string(kDayNames[options.weekday]) + ". -->\n<additional>\n";
    for (const SumoProgram& program : result.programs) {
        xml += "    <!-- " + program.note + " -->\n";
        xml += "    <tlLogic id=\"" + tls + "\" type=\"static\" programID=\"" + XmlEscaped(program.id) +
               "\" offset=\"" + Seconds(program.offsetTicks) + "\">\n";
        for (const SumoPhase& phase : program.phases)
            xml += "        <phase duration=\"" + Seconds(phase.ticks) + "\" state=\"" +
                   LinkState(phase.state, options.links) + "\"/>\n";
        xml += "    </tlLogic>\n";
    }
    xml += "    <WAUT refTime=\"0\" id=\"" + waut + "\" startProg=\"" + XmlEscaped(result.startProgram) +
           "\">\n";
    for (const SumoSwitch& change : result.switches)
        xml += "        <wautSwitch time=\"" + std::to_string(change.second) + "\" to=\"" +
               XmlEscaped(change.program) + "\"/>\n";
    xml += "    </WAUT>\n";
    xml += "    <wautJunction wautID=\"" + waut + "\" junctionID=\"" + tls + "\"/>\n";
    xml += "</additional>\n";
    return xml;
}

std::string TwoDigits(int value) {
    std::string text = value < 10 ? "0" : "";
    text += std::to_string(value);
    return text;
}

// "06:01:18.5" for half-second 43357 of the day.
std::string TimeOfDay(int tick) {
    const int second = tick / 2;
    return TwoDigits(second / 3600) + ":" + TwoDigits(second / 60 % 60) + ":" + TwoDigits(second % 60) +
           (tick % 2 != 0 ? ".5" : "");
}

// A state of the schedule, from the lamps the engine commands for it.
SumoProgram StateLogic(const TSignalPlan& plan, std::string_view id, std::vector<std::uint32_t> lampsByTick,
                       std::string note) {
    const SignalReader signalsOf(plan);
    std::vector<std::uint64_t> codes;
    for (const std::uint32_t lamps : lampsByTick) codes.push_back(signalsOf(lamps).code);
    SumoProgram program;
    program.id = std::string(id);
    program.phases = Phases(plan, codes, 0, codes.size());
    program.cycleTicks = static_cast<int>(codes.size());
    program.note = std::move(note);
    return program;
}

}  // namespace

SumoLinkMapRead ParseSumoLinkMap(std::string_view text, int directionCount) {
    SumoLinkMapRead result;
    result.map.linksOf.resize(static_cast<std::size_t>(std::max(directionCount, 0)));
    std::map<int, int> lineOfLink;
    std::set<int> directionsSeen;
    int lineNumber = 0;
    const auto fail = [&](const std::string& what) {
        result.error = "line " + std::to_string(lineNumber) + ": " + what;
        result.map = {};
        return result;
    };
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (const std::size_t hash = line.find('#'); hash != std::string_view::npos)
            line = line.substr(0, hash);
        line = Trimmed(line);
        if (line.empty()) continue;
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) return fail("expected \"direction: link link ...\"");
        int direction = 0;
        const std::string_view directionText = Trimmed(line.substr(0, colon));
        if (!ReadNumber(directionText, direction) || direction < 1 || direction > directionCount)
            return fail("\"" + std::string(directionText) + "\" is not a direction of the plan (1.." +
                        std::to_string(directionCount) + ")");
        if (!directionsSeen.insert(direction).second)
            return fail("direction " + std::to_string(direction) + " is named twice");
        std::string_view links = line.substr(colon + 1);
        bool any = false;
        while (true) {
            links = Trimmed(links);
            if (links.empty()) break;
            const std::size_t blank = links.find_first_of(" \t");
            const std::string_view word = links.substr(0, blank);
            links.remove_prefix(blank == std::string_view::npos ? links.size() : blank);
            int link = 0;
            if (!ReadNumber(word, link) || link > 0xFFFF)
                return fail("\"" + std::string(word) + "\" is not a link index (0, 1, 2, ...)");
            if (const auto [at, inserted] = lineOfLink.emplace(link, lineNumber); !inserted)
                return fail("link " + std::to_string(link) + " is named twice (also on line " +
                            std::to_string(at->second) + ")");
            result.map.linksOf[static_cast<std::size_t>(direction - 1)].push_back(link);
            any = true;
        }
        if (!any) return fail("direction " + std::to_string(direction) + " has no link index");
    }
    if (lineOfLink.empty()) {
        result.error = "the map names no link";
        result.map = {};
        return result;
    }
    const int highest = lineOfLink.rbegin()->first;
    for (int link = 0; link <= highest; ++link) {
        if (lineOfLink.contains(link)) continue;
        result.error = "link " + std::to_string(link) + " is not named: every link index from 0 to " +
                       std::to_string(highest) + " must be named once";
        result.map = {};
        return result;
    }
    result.map.linkCount = highest + 1;
    return result;
}

bool IsSumoId(std::string_view id) {
    return !id.empty() &&
           std::none_of(id.begin(), id.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

char SumoSignalOf(const TSignalPlan& plan, int direction, std::uint32_t lamps, bool* conflict) {
    bool both = false;
    const char signal = SignalOf(ColouredChannelsOf(plan, direction), lamps, both);
    if (conflict) *conflict = both;
    return signal;
}

SumoExport BuildSumoExport(const TSignalPlan& plan, const SumoExportOptions& options) {
    SumoExport result;
    if (options.weekday < 0 || options.weekday >= kDayCount) {
        result.error = "no weekday " + std::to_string(options.weekday);
        return result;
    }
    if (!IsSumoId(options.tlsId)) {
        result.error = "the traffic light id must be a non-empty text without control characters";
        return result;
    }
    if (options.links) {
        for (std::size_t d = static_cast<std::size_t>(DirectionCountOf(plan));
             d < options.links->linksOf.size(); ++d)
            if (!options.links->linksOf[d].empty()) {
                result.error = "the link map names direction " + std::to_string(d + 1) + ", the plan has " +
                               std::to_string(DirectionCountOf(plan));
                return result;
            }
    }

    const std::vector<std::string> byMinute = ProgramsByMinute(plan, options.weekday);
    result.startProgram = byMinute[0];
    for (int minute = 1; minute < kMinutesPerDay; ++minute)
        if (byMinute[minute] != byMinute[minute - 1])
            result.switches.push_back({minute * 60, byMinute[minute]});

    const DayRun day = RunDay(plan, options.weekday);
    for (int p = 1; p <= ProgramCountOf(plan); ++p) {
        const Scan scan = ScanProgram(plan, p);
        if (!scan.error.empty()) {
            result.error = scan.error;
            return result;
        }
        SumoProgram program;
        program.id = std::to_string(p);
        program.phases = Phases(plan, scan.cycle, 0, scan.cycle.size());
        program.cycleTicks = static_cast<int>(scan.cycle.size());
        // SUMO places a program it switches to where its offset and the time
        // put it in its cycle: the offset puts phase 0 on the half-second at
        // which the controller first enters the program's tact 1 that day.
        std::string when;
        const std::string name = std::string(kProgramShortName) + " " + program.id;
        if (!day.entries[p].empty()) {
            const int entry = day.entries[p].front();
            program.firstEntryTick = entry;
            program.offsetTicks = entry % program.cycleTicks;
            when = "phase 0 falls on " + TimeOfDay(entry) + ", where the controller first enters tact 1 on " +
                   std::string(kDayNames[options.weekday]);
            // Reached from another program, the controller may enter tact 1
            // the first time without its inter-tact: the cycle is looked at
            // from its second entry on.
            const int steady = entry + program.cycleTicks;
            if (const std::optional<int> departure = FirstDeparture(day, p, steady, scan.cycle))
                result.warnings.push_back(name + " departs from its own cycle at " + TimeOfDay(*departure) +
                                          "; SUMO shows the cycle");
            // A later run takes up the cycle where the program before it left
            // the tact; SUMO's cycle then runs out of step.
            int previous = entry;
            for (const int later : day.entries[p]) {
                const bool newRun = std::any_of(day.program.begin() + previous, day.program.begin() + later,
                                                [&](std::uint8_t running) { return running != p; });
                if (newRun && (later - entry) % program.cycleTicks != 0)
                    result.warnings.push_back(name + " enters tact 1 at " + TimeOfDay(later) + ", " +
                                              Seconds((later - entry) % program.cycleTicks) +
                                              " s into SUMO's cycle; from there SUMO is out of step");
                previous = later;
            }
        } else {
            const auto first = std::find_if(result.switches.begin(), result.switches.end(),
                                            [&](const SumoSwitch& s) { return s.program == program.id; });
            if (first != result.switches.end()) {
                program.offsetTicks = 2 * first->second % program.cycleTicks;
                when = "phase 0 at its switch at " + TimeOfDay(2 * first->second);
            } else {
                when = "not run on " + std::string(kDayNames[options.weekday]);
            }
        }
        program.note = name + ": cycle " + Seconds(program.cycleTicks) +
                       " s from the half-second that enters tact 1; " + when;
        if (scan.conflicts != 0)
            result.warnings.push_back(name + ": direction(s) " + Directions(scan.conflicts) +
                                      " show green together with red or yellow; SUMO shows them green");
        result.programs.push_back(std::move(program));
    }

    // The schedule's states, from the lamps the engine commands: flashing
    // starts dark on the tick it is switched on.
    result.programs.push_back(StateLogic(plan, kSumoFlashProgram, {0, plan.YellowFlashMask},
                                         "ЖМ: yellow flashing, dark on the whole second"));
    result.programs.push_back(StateLogic(plan, kSumoDarkProgram, {0, 0}, "ОС: signals off"));
    result.programs.push_back(
        StateLogic(plan, kSumoAllRedProgram, {plan.AllRedMask, plan.AllRedMask}, "КК: all red"));
    result.xml = Xml(result, options);
    return result;
}

}  // namespace kdt
