#include <algorithm>
#include <cstdio>
#include <map>
#include <ostream>

#include "Cli.h"
#include "CommandLine.h"
#include "Commands.h"
#include "PlanSession.h"
#include "common/FileIO.h"
#include "simulation/SimulationEngine.h"

namespace kdt::cli {
namespace {

int ParseTimeOfDay(const std::string& text) {
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    char end = 0;
    if (std::sscanf(text.c_str(), "%2d:%2d:%2d%c", &hours, &minutes, &seconds, &end) != 3 || hours > 23 ||
        minutes > 59 || seconds > 59 || hours < 0 || minutes < 0 || seconds < 0)
        throw UsageError("--time must be HH:MM:SS, not \"" + text + "\"");
    return ((hours * 60 + minutes) * 60 + seconds) * 1000;
}

// "--press 120:2": before tick 120, press button 2.
std::multimap<long, int> ParseEvents(const std::vector<std::string>& values, const std::string& option,
                                     int highest, long ticks) {
    std::multimap<long, int> events;
    for (const std::string& value : values) {
        const std::size_t colon = value.find(':');
        if (colon == std::string::npos)
            throw UsageError(option + " must be TICK:NUMBER, not \"" + value + "\"");
        const long tick = ParseNumber(value.substr(0, colon), 1, ticks, option + " tick");
        events.emplace(
            tick, static_cast<int>(ParseNumber(value.substr(colon + 1), 1, highest, option + " number")));
    }
    return events;
}

std::string TimeText(int milliseconds) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%d", milliseconds / 3600000, milliseconds / 60000 % 60,
                  milliseconds / 1000 % 60, milliseconds % 1000 / 100);
    return text;
}

std::string LampText(const SimulationEngine& engine) {
    std::string lamps(kChannelCount, '0');
    for (int k = 0; k < kChannelCount; ++k)
        if (engine.channels()[k].lit) lamps[k] = '1';
    return lamps;
}

}  // namespace

int RunSimulate(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
    const CommandWords command(words, {"--day", "--time", "--ticks", "--program", "--trace", "--rom"}, {},
                               {"--press", "--fault"});
    const std::string planPath = command.onlyPositional("PLAN");
    const int day = static_cast<int>(ParseNumber(command.requiredValue("--day"), 0, 6, "--day"));
    const int timeOfDay = ParseTimeOfDay(command.requiredValue("--time"));
    const long ticks = ParseNumber(command.requiredValue("--ticks"), 0, 1000L * 1000 * 1000, "--ticks");
    const auto presses = ParseEvents(command.values("--press"), "--press", kMaxTvpButtons, ticks);
    const auto faults = ParseEvents(command.values("--fault"), "--fault", kChannelCount, ticks);
    const auto rom =
        command.value("--rom") ? std::optional(ParseRomType(*command.value("--rom"))) : std::nullopt;
    const auto tracePath = command.value("--trace");
    if (tracePath) CheckOutput(Utf8ToPath(*tracePath), Utf8ToPath(*tracePath), InputFilesOf(planPath));

    PlanSession session;
    if (const auto status = OpenPlanArgument(session, "simulate", planPath, rom, err)) return *status;
    std::optional<int> program;
    if (const auto chosen = command.value("--program"))
        program = static_cast<int>(ParseNumber(*chosen, 1, session.plan.ProgramCount, "--program"));
    // A press of a button the plan does not have would be ignored unseen.
    const int buttons = std::min<int>(session.plan.TvpButtonCount, kMaxTvpButtons);
    for (const auto& [tick, button] : presses)
        if (button > buttons)
            throw UsageError("--press " + std::to_string(tick) + ":" + std::to_string(button) +
                             " names a button the plan does not have (it has " + std::to_string(buttons) +
                             ")");

    std::optional<AtomicFileWriter> trace;
    if (tracePath) {
        trace.emplace(Utf8ToPath(*tracePath));
        trace->Write(std::string_view("tick,time,weekday,mode,command,phase,status,lamps\n"));
        if (!trace->ok()) {
            err << "kdt simulate: " << trace->error() << "\n";
            return kExitUsage;
        }
    }

    SimulationEngine engine(session.plan, timeOfDay);
    engine.WindowShown(day);
    if (program) engine.ChooseProgram(program);
    engine.ToggleRunning();
    std::string row;
    for (long tick = 1; tick <= ticks; ++tick) {
        for (auto [it, last] = presses.equal_range(tick); it != last; ++it)
            if (engine.PressPedestrianButton(it->second) == SimulationMessage::ButtonAlreadyPressed)
                err << "kdt simulate: tick " << tick << ", ТВП " << it->second << ": "
                    << kButtonAlreadyPressedMessage << "\n";
        // The simulation runs unpaused here, so every click is taken.
        for (auto [it, last] = faults.equal_range(tick); it != last; ++it) (void)engine.ClickLamp(it->second);
        engine.Tick();
        if (trace) {
            row = std::to_string(tick) + ',' + TimeText(engine.timeOfDay()) + ',' +
                  std::to_string(engine.weekday()) + ',' + std::to_string(int(engine.mode())) + ',' +
                  std::to_string(int(engine.command())) + ',' + std::to_string(engine.currentPhase() + 1) +
                  ",\"" + engine.statusLine() + "\"," + LampText(engine) + '\n';
            trace->Write(std::string_view(row));
            if (!trace->ok()) break;
        }
    }
    if (trace) {
        if (const Outcome written = trace->Commit(); !written.ok()) {
            err << "kdt simulate: " << written.error << "\n";
            return kExitUsage;
        }
    }
    out << "after " << ticks << " ticks, " << TimeText(engine.timeOfDay()) << " day " << engine.weekday()
        << ": " << engine.statusLine() << "\n";
    return kExitOk;
}

}  // namespace kdt::cli
