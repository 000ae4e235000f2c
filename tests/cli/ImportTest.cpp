#include <gtest/gtest.h>

#include <sstream>

#include "Cli.h"
#include "data/PlanProcedures.h"
#include "data/ProjectFile.h"
#include "data/TextEncoding.h"
#include "support/DbaseBytes.h"
#include "support/KdtRun.h"
#include "support/TempFolder.h"

namespace kdt {
namespace {

using test::Kdt;
using test::KdtRun;

const std::string kTables = KDT_TEST_DATA_DIR "/legacy-import/";

TSignalPlan Read(const std::filesystem::path& path) {
    TSignalPlan plan{};
    EXPECT_TRUE(ReadProjectFile(path, plan, OldLayoutHandling::KeepFile).ok());
    return plan;
}

TEST(KdtImport, WritesAPlanThatInfoAndCompileAccept) {
    test::TempFolder folder;
    const std::string out = (folder / "crossing.kdt").string();
    KdtRun run = Kdt({"import", kTables + "crossing.dbf", "--out", out, "--speed", "50"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, out + "\n");
    const TSignalPlan plan = Read(out);
    EXPECT_EQ(plan.RomVersion, 4);
    EXPECT_EQ(plan.SpeedSchedule[0].Speed[0], 50) << "the new plan under the table had the given speed";
    EXPECT_EQ(Cp1251ToUtf8(StoredText(plan.Comment)), "Перекрёсток Ленина");

    run = Kdt({"info", out});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("ROM type: 4.2.0"), std::string::npos);
    run = Kdt({"compile", out, "--out", (folder / "c.hex").string()});
    EXPECT_EQ(run.status, 0) << run.err;
    // A table reads like a plan for every command.
    run = Kdt({"info", kTables + "crossing.dbf"});
    EXPECT_EQ(run.status, 0) << run.err;
}

TEST(KdtImport, TheTableOverlaysABasePlanAndKeepsItsRomTypeWithoutARow) {
    test::TempFolder folder;
    const std::string base = (folder / "base.kdt").string();
    ASSERT_EQ(Kdt({"new", "--out", base, "--rom", "4.1.3", "--speed", "70"}).status, 0);
    const std::string out = (folder / "out.kdt").string();
    const KdtRun run = Kdt({"import", kTables + "norom.dbf", "--base", base, "--out", out});
    ASSERT_EQ(run.status, 0) << run.err;
    const TSignalPlan plan = Read(out);
    EXPECT_EQ(plan.RomVersion, 3);
    EXPECT_EQ(plan.PhaseCount, 2);
    EXPECT_EQ(plan.SpeedSchedule[2].Speed[1], 70);
}

TEST(KdtImport, ProblemsAndTheirExitStatus) {
    test::TempFolder folder;
    const std::string out = (folder / "out.kdt").string();

    KdtRun run = Kdt({"import", kTables + "badkod.dbf", "--out", out});
    EXPECT_EQ(run.status, 1) << "a bad row: the rows before it are written, and it is a problem";
    EXPECT_EQ(run.errLines(), 1u) << run.err;
    EXPECT_NE(run.err.find("13x"), std::string::npos) << run.err;
    EXPECT_EQ(Read(out).PhaseCount, 4);

    run = Kdt({"import", kTables + "outside.dbf", "--out", out});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.err.find("6 row(s) skipped"), std::string::npos) << run.err;

    std::filesystem::remove(out);
    for (const std::string& table : {kTables + "Help.dbf", (folder / "none.dbf").string()}) {
        run = Kdt({"import", table, "--out", out});
        EXPECT_EQ(run.status, 2) << table;
        EXPECT_EQ(run.errLines(), 1u) << run.err;
    }
    EXPECT_NE(Kdt({"import", kTables + "Help.dbf", "--out", out}).err.find("файлом справки"),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(out));
}

// A table of Kod and values only: wide value fields, so that values beyond
// 16 bits can be stored.
std::filesystem::path WriteTable(const test::TempFolder& folder, const std::vector<test::Row>& rows) {
    const std::vector<test::FieldDef> fields = {{"Kod", 'C', 12}, {"Val1", 'N', 10}, {"Val2", 'N', 10}};
    const auto path = folder / "t.dbf";
    test::WriteBytes(path, test::TableBytes(0x03, fields, rows));
    return path;
}

TEST(KdtImport, ARomTypeOrCountOutsideItsRangeIsABadRow) {
    struct Case {
        const char* kod;
        const char* value;
    };
    const Case cases[] = {
        {"134", "0"},        {"134", "7"}, {"134", "255"}, {"134", "-1"},  // ROM types are 1..6
        {"130", "99999999"}, {"130", "0"}, {"131", "17"},  {"100 2", "17"}, {"100 0 1", "0"}, {"111", "5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.kod) + " = " + c.value);
        test::TempFolder folder;
        const auto table =
            WriteTable(folder, {{false, {"130", "4"}}, {false, {c.kod, c.value}}, {false, {"131", "3"}}});
        const auto out = folder / "out.kdt";
        const KdtRun run = Kdt({"import", table.string(), "--out", out.string()});
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_EQ(run.errLines(), 1u) << run.err;
        EXPECT_NE(run.err.find("row 2"), std::string::npos) << run.err;
        const TSignalPlan plan = Read(out);
        EXPECT_EQ(plan.PhaseCount, 4) << "the row before it was imported";
        EXPECT_EQ(plan.DirectionCount, 1) << "the row after it was not";
        EXPECT_EQ(plan.RomVersion, kDefaultRomVersion);
    }
}

TEST(KdtImport, ACutValueIsNamedInAWarning) {
    test::TempFolder folder;
    // 0 - 1 is 255, "none", in a byte: no fault.
    const auto table =
        WriteTable(folder, {{false, {"112", "1", "300"}}, {false, {"155 1", "0"}}, {false, {"130", "2"}}});
    const auto out = folder / "out.kdt";
    const KdtRun run = Kdt({"import", table.string(), "--out", out.string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.errLines(), 1u) << run.err;
    EXPECT_NE(run.err.find("warning: row 1 (Kod \"112\"): PowerOnDuration 300"), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("stored as 44"), std::string::npos) << run.err;
    const TSignalPlan plan = Read(out);
    EXPECT_EQ(plan.PowerOnDuration, 44);
    EXPECT_EQ(plan.GreenStreet[0], 255);
}

TEST(KdtImport, ATableWithoutRowsWritesNothing) {
    const std::vector<std::vector<test::Row>> tables = {
        {},
        {{true, {"130", "4"}}},  // a deleted row only
        {{false, {"", "4"}}},    // a row without Kod only
    };
    for (const auto& rows : tables) {
        test::TempFolder folder;
        const auto table = WriteTable(folder, rows);
        const auto out = folder / "out.kdt";
        const KdtRun run = Kdt({"import", table.string(), "--out", out.string()});
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_EQ(run.errLines(), 1u) << run.err;
        EXPECT_NE(run.err.find("no row"), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
}

}  // namespace
}  // namespace kdt
