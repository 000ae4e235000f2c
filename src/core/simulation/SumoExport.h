// The plan's signal programs for the SUMO traffic simulator: an additional
// file with one static tlLogic per program, whose phases are the lamps of
// every direction half-second for half-second over one cycle as the
// simulation engine shows them (no pedestrian calls), and a WAUT that
// switches programs at the daily schedule's times.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Outcome.h"
#include "data/TypeKDT.h"

namespace kdt {

// SUMO's signal letters.
inline constexpr char kSumoRed = 'r';
inline constexpr char kSumoYellow = 'y';
inline constexpr char kSumoRedYellow = 'u';
inline constexpr char kSumoGreen = 'G';
inline constexpr char kSumoDark = 'O';

// The program ids of the schedule's states; SUMO reserves "off".
inline constexpr std::string_view kSumoFlashProgram = "flash";    // "ЖМ"
inline constexpr std::string_view kSumoDarkProgram = "dark";      // "ОС"
inline constexpr std::string_view kSumoAllRedProgram = "allred";  // "КК"

// Which link indices of the SUMO junction show each direction's signal.
struct SumoLinkMap {
    std::vector<std::vector<int>> linksOf;  // by direction, 0-based; empty for a direction without links
    int linkCount = 0;                      // the links are 0 .. linkCount - 1
};

struct [[nodiscard]] SumoLinkMapRead : Outcome {
    SumoLinkMap map;
};

// Reads a link map: one line per direction, "direction: link link ...", with
// "#" starting a comment; the directions are those of the plan (1 ..
// directionCount), each at most once, and every link index from 0 up to the
// highest is named exactly once. Errors name the line.
SumoLinkMapRead ParseSumoLinkMap(std::string_view text, int directionCount);

// The signal of direction d (0-based) when the channels of lamps are lit,
// judged by the colours of the lit channels among the direction's five
// channel sets: any green G, red and yellow u, red r, yellow y, nothing O.
// Uncoloured channels do not count. Green lit together with red or yellow
// (a plan fault) still reads G, and conflict is then set.
char SumoSignalOf(const TSignalPlan& plan, int direction, std::uint32_t lamps, bool* conflict = nullptr);

struct SumoPhase {
    int ticks;          // half-seconds
    std::string state;  // one signal per direction

    bool operator==(const SumoPhase&) const = default;
};

struct SumoProgram {
    std::string id;  // "1" .. "16", or one of the three states
    std::vector<SumoPhase> phases;
    int cycleTicks = 0;
    // Signal programs: the half-second of the day at which the controller,
    // following the schedule, first enters the program's tact 1.
    std::optional<int> firstEntryTick;
    int offsetTicks = 0;  // SUMO's offset, within the cycle
    std::string note;     // how the offset was chosen
};

struct SumoSwitch {
    int second;  // of the day
    std::string program;
};

// Whether text can name a SUMO object here: not empty, no control characters.
bool IsSumoId(std::string_view id);

struct SumoExportOptions {
    std::string tlsId;
    int weekday = 1;  // 0 Sunday
    std::optional<SumoLinkMap> links;
};

struct [[nodiscard]] SumoExport : Outcome {
    std::vector<SumoProgram> programs;
    std::string startProgram;           // at midnight
    std::vector<SumoSwitch> switches;   // later in the day, in time order
    std::vector<std::string> warnings;  // what SUMO cannot show as the controller does
    std::string xml;
};

SumoExport BuildSumoExport(const TSignalPlan& plan, const SumoExportOptions& options);

}  // namespace kdt
