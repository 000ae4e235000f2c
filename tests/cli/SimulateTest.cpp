#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "Cli.h"
#include "support/KdtRun.h"
#include "support/TempFolder.h"

namespace kdt {
namespace {

using test::Kdt;
using test::KdtRun;

const std::string kExample = KDT_EXAMPLES_DIR "/crossing.kdt";

struct TraceRow {
    long tick;
    std::string time;
    int weekday;
    int mode;
    int command;
    std::string status;
    std::string lamps;
};

std::vector<TraceRow> ReadTrace(const std::filesystem::path& path) {
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    EXPECT_EQ(line, "tick,time,weekday,mode,command,phase,status,lamps");
    std::vector<TraceRow> rows;
    while (std::getline(file, line)) {
        TraceRow row;
        std::istringstream fields(line);
        std::string field;
        std::getline(fields, field, ',');
        row.tick = std::stol(field);
        std::getline(fields, row.time, ',');
        std::getline(fields, field, ',');
        row.weekday = std::stoi(field);
        std::getline(fields, field, ',');
        row.mode = std::stoi(field);
        std::getline(fields, field, ',');
        row.command = std::stoi(field);
        std::getline(fields, field, ',');  // phase
        std::getline(fields, row.status, ',');
        if (row.status.size() >= 2 && row.status.front() == '"')
            row.status = row.status.substr(1, row.status.size() - 2);
        std::getline(fields, row.lamps, ',');
        rows.push_back(row);
    }
    return rows;
}

// The longest main time announced for phase 1 between two times of day: it
// tells which program runs (30, 40 and 25 s in programs 1, 2 and 3).
int LongestPhase1Main(const std::vector<TraceRow>& rows, const std::string& from, const std::string& to) {
    int longest = -1;
    const std::string marker = "Фаза 1 основной  ";
    for (const TraceRow& row : rows) {
        if (row.time < from || row.time >= to) continue;
        const std::size_t at = row.status.find(marker);
        if (at != std::string::npos)
            longest = std::max(longest, std::stoi(row.status.substr(at + marker.size())));
    }
    return longest;
}

TEST(KdtSimulate, AWholeMondayFollowsTheSchedule) {
    test::TempFolder folder;
    const auto trace = folder / "monday.csv";
    const KdtRun run = Kdt({"simulate", kExample, "--day", "1", "--time", "00:00:00", "--ticks", "172800",
                            "--trace", trace.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<TraceRow> rows = ReadTrace(trace);
    ASSERT_EQ(rows.size(), 172800u);
    EXPECT_EQ(rows.front().status, "Вкл. - ЖМ") << "the power-on state";
    for (const TraceRow& row : rows) {
        if (row.time >= "00:00:30" && row.time < "06:00:00") {
            ASSERT_EQ(row.status, "АПП - ЖМ") << row.time;
        }
        if (row.time >= "23:00:01" && row.time < "24") {
            ASSERT_EQ(row.command, 2) << row.time;
        }
        ASSERT_EQ(row.lamps.size(), 32u);
    }
    EXPECT_EQ(LongestPhase1Main(rows, "06:05", "06:55"), 29);
    EXPECT_EQ(LongestPhase1Main(rows, "07:05", "09:55"), 39);
    EXPECT_EQ(LongestPhase1Main(rows, "10:05", "16:55"), 29);
    EXPECT_EQ(LongestPhase1Main(rows, "17:05", "19:55"), 24);
    EXPECT_EQ(LongestPhase1Main(rows, "20:05", "22:55"), 29);
    EXPECT_EQ(rows.back().time, "00:00:00.0");
    EXPECT_EQ(rows.back().weekday, 2) << "Tuesday after midnight";
    EXPECT_EQ(rows[rows.size() - 2].weekday, 1);
}

TEST(KdtSimulate, AChosenProgramRunsWithTheClockStandingStill) {
    test::TempFolder folder;
    const auto trace = folder / "p3.csv";
    // Monday 08:00 the schedule runs program 2; program 3 is chosen instead.
    const KdtRun run = Kdt({"simulate", kExample, "--day", "1", "--time", "08:00:00", "--ticks", "2000",
                            "--program", "3", "--trace", trace.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<TraceRow> rows = ReadTrace(trace);
    ASSERT_EQ(rows.size(), 2000u);
    EXPECT_EQ(rows.front().status, "Вкл. - ЖМ");
    EXPECT_EQ(LongestPhase1Main(rows, "08:00", "08:01"), 24) << "program 3's phase 1 lasts 25 s";
    EXPECT_EQ(rows.back().time, "08:00:00.0");
    EXPECT_EQ(rows.back().command, 3);
}

TEST(KdtSimulate, PressesAndFaultsActBeforeTheirTick) {
    test::TempFolder folder;
    const auto trace = folder / "t.csv";
    // 07:00 on Monday, program 2 from the schedule. A fault marks channel 3
    // (a green of the conflict watch) failed lit: two clicks before tick 100.
    const KdtRun run =
        Kdt({"simulate", kExample, "--day", "1", "--time", "07:00:00", "--ticks", "130", "--trace",
             trace.string(), "--press", "40:1", "--press", "41:1", "--fault", "100:3", "--fault", "100:3"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("tick 41, ТВП 1: Кнпка уже была нажата"), std::string::npos) << run.err;
    const std::vector<TraceRow> rows = ReadTrace(trace);
    EXPECT_EQ(rows[39].lamps[26], '1') << "button 1's wait display (channel 27) lights at tick 40";
    EXPECT_EQ(rows[99].lamps[2], '1') << "the failed lamp is drawn lit";
    EXPECT_EQ(rows[101].mode, 0) << "fault mode";
    EXPECT_EQ(rows[101].status.rfind("ФБ - ", 0), 0u) << rows[101].status;
}

TEST(KdtSimulate, BadUsage) {
    const std::vector<std::vector<std::string>> cases = {
        {"simulate", kExample, "--time", "07:00:00", "--ticks", "10"},
        {"simulate", kExample, "--day", "7", "--time", "07:00:00", "--ticks", "10"},
        {"simulate", kExample, "--day", "1", "--time", "7 o'clock", "--ticks", "10"},
        {"simulate", kExample, "--day", "1", "--time", "24:00:00", "--ticks", "10"},
        {"simulate", kExample, "--day", "1", "--time", "07:00:00", "--ticks", "-1"},
        {"simulate", kExample, "--day", "1", "--time", "07:00:00", "--ticks", "10", "--program", "4"},
        {"simulate", kExample, "--day", "1", "--time", "07:00:00", "--ticks", "10", "--press", "11:1"},
        {"simulate", kExample, "--day", "1", "--time", "07:00:00", "--ticks", "10", "--press", "5:5"},
        {"simulate", kExample, "--day", "1", "--time", "07:00:00", "--ticks", "10", "--press", "5:3"},
        {"simulate", kExample, "--day", "1", "--time", "07:00:00", "--ticks", "10", "--fault", "5:0"},
        {"simulate", kExample, "--day", "1", "--time", "07:00:00", "--ticks", "10", "--fault", "5"},
        {"simulate", kExample, "--day", "1", "--time", "07:00:00", "--ticks", "10", "--fault", "5:33"},
    };
    for (const auto& arguments : cases) {
        const KdtRun run = Kdt(arguments);
        EXPECT_EQ(run.status, 2) << arguments[2] << " " << arguments.back();
        EXPECT_EQ(run.errLines(), 1u) << run.err;
    }
}

}  // namespace
}  // namespace kdt
