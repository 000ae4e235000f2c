// Imports of code/value tables made by an independent writer (see
// tests/data/legacy-import/make_tables.py for every row).
#include <gtest/gtest.h>

#include <cstring>

#include "data/LegacyImport.h"
#include "data/PlanProcedures.h"
#include "data/TextEncoding.h"
#include "project/PlanCommands.h"
#include "support/DbaseBytes.h"
#include "support/TempFolder.h"

namespace kdt {
namespace {

const std::filesystem::path kTables = KDT_TEST_DATA_DIR "/legacy-import";

TSignalPlan NewPlan(std::uint8_t rom = kRom413) {
    TSignalPlan plan;
    ResetPlan(plan, rom, 60);
    return plan;
}

TEST(PatternMask, LastCharacterIsBit31) {
    EXPECT_EQ(PatternMask("Y" + std::string(31, ' ')), 1u) << "32 characters: character k is channel k";
    EXPECT_EQ(PatternMask("Y"), 0x80000000u) << "one character ends at bit 31";
    EXPECT_EQ(PatternMask(std::string(33, 'X')), 0xFFFFFFFFu);
    EXPECT_EQ(PatternMask("X" + std::string(32, ' ')), 0u) << "the first of 33 is shifted out";
    EXPECT_EQ(PatternMask(""), 0u);
}

TEST(LegacyImport, EveryRowCodeOverlaysThePlan) {
    TSignalPlan plan = NewPlan();
    const TSignalPlan before = plan;
    const LegacyImportResult result = ImportLegacyTable(kTables / "crossing.dbf", plan);
    ASSERT_EQ(result.status, LegacyImportResult::Status::Imported) << result.error << result.stopDetail;
    EXPECT_EQ(result.stopMessage, "") << result.stopDetail;
    EXPECT_EQ(result.skippedRows, 0);

    EXPECT_EQ(plan.RomVersion, kRom420) << "the table counts from 1";
    EXPECT_EQ(plan.PhaseCount, 4) << "the deleted row is not read";
    EXPECT_EQ(plan.DirectionCount, 3);
    EXPECT_EQ(plan.ProgramCount, 2);
    EXPECT_EQ(plan.Program[0].TactCount, 2);
    EXPECT_EQ(plan.Program[0].TactPhase[0], 0);
    EXPECT_EQ(plan.Program[0].TactDuration[0], 30);
    EXPECT_EQ(plan.Program[0].TactInterDuration[0], 6);
    EXPECT_EQ(plan.Program[0].TactPhase[1], 1);
    // "100 1 3 5": tact 5 of program 3 gets phase index 1, 40 and 12.
    EXPECT_EQ(plan.Program[2].TactPhase[4], 1);
    EXPECT_EQ(plan.Program[2].TactDuration[4], 40);
    EXPECT_EQ(plan.Program[2].TactInterDuration[4], 12);
    // "100 1 4": the tact number 5 is carried over from the row before.
    EXPECT_EQ(plan.Program[3].TactPhase[4], 2);
    EXPECT_EQ(plan.Program[3].TactDuration[4], 10);
    EXPECT_EQ(plan.Tvp[1].Phase, 3);
    EXPECT_EQ(plan.Tvp[1].Duration, 20);
    EXPECT_EQ(plan.TvpInsertPhase[0], 19) << "read from Val2 - 1, as the old tool did";
    EXPECT_EQ(plan.Tvp[1].WaitMask, 0x80000000u);
    EXPECT_EQ(plan.TvpButtonCount, 1);
    EXPECT_EQ(plan.PowerOnState, 2);
    EXPECT_EQ(plan.PowerOnDuration, 10);
    EXPECT_EQ(plan.VpuInterface, 1);
    EXPECT_EQ(plan.TvpInterface, 0);
    EXPECT_EQ(plan.YellowFlashMask, 1u);
    EXPECT_EQ(plan.AllRedMask, 0x80000000u);
    EXPECT_EQ(plan.GreenConflictMask, 0xFFFFFFFFu);
    EXPECT_EQ(plan.RedConflictMask, 0x80000000u);
    EXPECT_EQ(plan.MinPhaseDuration, 3);
    EXPECT_EQ(plan.PhaseEndBlinkCount, 2);
    const TDirectionSettings& d1 = plan.Direction[0];
    EXPECT_EQ(d1.HeadDuration, 2);
    EXPECT_EQ(d1.TailDuration, 3);
    EXPECT_EQ(d1.HeadMask, 0b11u);
    EXPECT_EQ(d1.GreenMask, 0b100u);
    EXPECT_EQ(d1.RedMask, 0b1u);
    EXPECT_EQ(d1.TailMask, 0b10u);
    EXPECT_EQ(d1.BlinkMask, 0u);
    EXPECT_EQ(d1.ExtraGreenAfterGreen, 1);
    EXPECT_EQ(d1.ExtraGreenAfterRed, 2);
    EXPECT_EQ(d1.GreenBlinkCount, 3);
    EXPECT_EQ(plan.DirectionManual[1].HeadDuration, 4);
    EXPECT_EQ(plan.DirectionManual[1].TailDuration, 5);
    EXPECT_EQ(plan.DirectionManual[1].ExtraGreenAfterGreen, 6);
    EXPECT_EQ(plan.DirectionManual[1].ExtraGreenAfterRed, 7);
    EXPECT_EQ(plan.DirectionManual[1].GreenBlinkCount, 8);
    EXPECT_EQ(plan.PhaseInterTact[0], 6);
    EXPECT_EQ(plan.PhaseDirections[0], 1) << "a single letter, padded to 32, is direction 1";
    EXPECT_EQ(plan.PhaseInterTact[1], 12) << "a blank Val3 leaves the inter-tact";
    EXPECT_EQ(plan.PhaseDirections[1], 4);
    EXPECT_EQ(plan.GreenStreet[0], 1);
    EXPECT_EQ(plan.GreenStreet[1], 1) << "a blank Val1 leaves the green street";
    EXPECT_EQ(plan.Schedule[1][1].Hour, 6);
    EXPECT_EQ(plan.Schedule[1][1].Minute, 30);
    EXPECT_EQ(plan.Schedule[1][1].Command, 128);
    EXPECT_EQ(plan.Schedule[1][2].Hour, 22);
    EXPECT_EQ(plan.Schedule[1][2].Command, 0) << "a blank Val3 is command 0";
    EXPECT_EQ(plan.ConflictExitPeriod, 5);
    EXPECT_EQ(plan.ConflictRepeatCount, 3);
    EXPECT_EQ(Cp1251ToUtf8(StoredText(plan.Comment)), "Перекрёсток Ленина") << "CP866 in the table";
    EXPECT_EQ(plan.ChannelColour[0], 1);
    EXPECT_EQ(plan.ChannelColour[1], 2);
    EXPECT_EQ(plan.ChannelColour[2], 3);
    EXPECT_EQ(plan.ChannelColour[3], before.ChannelColour[3]) << "\"0\" leaves the channel";
    EXPECT_EQ(plan.NetworkType, 4);
    EXPECT_EQ(plan.NetworkAddress, 77) << "only the address row of the imported network type";
    EXPECT_EQ(plan.CoordControllerCount, 1);
    EXPECT_EQ(plan.CoordDelay[1][2], 9);
    EXPECT_EQ(plan.ProjectFileName.Length, 0);
    // Rows the table does not have leave the plan as it was.
    EXPECT_EQ(plan.Direction[2].HeadDuration, before.Direction[2].HeadDuration);
    EXPECT_EQ(std::memcmp(plan.SpeedSchedule, before.SpeedSchedule, sizeof plan.SpeedSchedule), 0);
}

TEST(LegacyImport, OpeningATableDoublesTheTimesOf42xAndTiesThePlanToIt) {
    TSignalPlan plan = NewPlan();
    PlanEditorState editor;
    const OpenPlanResult result =
        OpenPlanFile(kTables / "crossing.dbf", plan, editor, OldLayoutHandling::RewriteFile);
    ASSERT_TRUE(result.ok()) << result.error << result.detail;
    EXPECT_EQ(plan.Program[0].TactDuration[0], 60);
    EXPECT_EQ(plan.Program[0].TactInterDuration[0], 12);
    EXPECT_EQ(plan.Program[2].TactCount, 1) << "program 3 lies beyond the count and is normalised";
    EXPECT_EQ(plan.MinPhaseDuration, 6);
    EXPECT_EQ(plan.Direction[0].GreenBlinkCount, 3);
    EXPECT_EQ(plan.NetworkAddress, 77) << "a slave keeps its address in the editor";
    EXPECT_EQ(StoredText(plan.ProjectFileName), (kTables / "crossing.dbf").lexically_normal().string());
}

TEST(LegacyImport, ABadRowStopsTheImportKeepingTheRowsBeforeIt) {
    TSignalPlan plan = NewPlan();
    const LegacyImportResult result = ImportLegacyTable(kTables / "badkod.dbf", plan);
    ASSERT_EQ(result.status, LegacyImportResult::Status::Imported);
    EXPECT_EQ(result.stopMessage,
              "Неожиданная ошибка во время чтения СОД?возможно данный файл не содержит СОД или поврежден");
    EXPECT_NE(result.stopDetail.find("13x"), std::string::npos) << result.stopDetail;
    EXPECT_EQ(plan.PhaseCount, 4) << "rows before the bad one stay";
    EXPECT_EQ(plan.DirectionCount, 1) << "rows after it are not read";
    EXPECT_EQ(plan.RomVersion, kRom421) << "an imported ROM type is never left one too high";
}

TEST(LegacyImport, ATableWithoutARomTypeRowKeepsTheRomType) {
    for (const std::uint8_t rom : {std::uint8_t(0), std::uint8_t(5)}) {
        TSignalPlan plan = NewPlan(rom);
        ASSERT_EQ(ImportLegacyTable(kTables / "norom.dbf", plan).status,
                  LegacyImportResult::Status::Imported);
        EXPECT_EQ(plan.RomVersion, rom);
        EXPECT_EQ(plan.PhaseCount, 2);
    }
}

TEST(LegacyImport, RowsOutsideThePlanAreSkippedAndCounted) {
    TSignalPlan plan = NewPlan();
    const TSignalPlan before = plan;
    const LegacyImportResult result = ImportLegacyTable(kTables / "outside.dbf", plan);
    ASSERT_EQ(result.status, LegacyImportResult::Status::Imported);
    EXPECT_EQ(result.skippedRows, 6);
    EXPECT_EQ(plan.PhaseCount, 3);
    TSignalPlan expected = before;
    expected.PhaseCount = 3;
    EXPECT_EQ(std::memcmp(&plan, &expected, sizeof plan), 0) << "nothing else was written";
}

TEST(LegacyImport, ATableWithoutRowsChangesNothing) {
    test::TempFolder folder;
    const std::vector<test::FieldDef> fields = {{"Kod", 'C', 12}, {"Val1", 'N', 6}, {"Val2", 'N', 6}};
    test::WriteBytes(folder / "empty.dbf",
                     test::TableBytes(0x03, fields, {{true, {"130", "4"}}, {false, {"", "3"}}}));
    TSignalPlan plan = NewPlan();
    StoreText(plan.ProjectFileName, "kept.kdt");
    const TSignalPlan before = plan;
    const LegacyImportResult result = ImportLegacyTable(folder / "empty.dbf", plan);
    EXPECT_EQ(result.status, LegacyImportResult::Status::Empty);
    EXPECT_EQ(result.error, kLegacyOpenErrorMessage);
    EXPECT_EQ(std::memcmp(&plan, &before, sizeof plan), 0);
}

TEST(LegacyImport, RefusedNamesMissingFieldsAndUnreadableTables) {
    test::TempFolder folder;
    test::WriteBytes(folder / "broken.dbf", {0x03, 0x62, 0x05});
    struct Case {
        const char* why;
        std::filesystem::path path;
        LegacyImportResult::Status status;
        std::string message;
    };
    const Case cases[] = {
        {"a help table, whatever its case", kTables / "Help.dbf", LegacyImportResult::Status::Refused,
         "Данный файл является файлом справки и не содержит СОД"},
        {"a configuration table", folder / "FOXUSER.DBF", LegacyImportResult::Status::Refused,
         "Данный файл является файлом конфигурации и не содержит СОД"},
        {"a schema table", folder / "karkas.dbf", LegacyImportResult::Status::Refused,
         "Данный файл является схемой таблицы и не содержит СОД"},
        {"a truncated header", folder / "broken.dbf", LegacyImportResult::Status::CannotOpen,
         "Неожиданная ошибка во время чтения СОД\n\rвозможно данный файл не содержит СОД или поврежден"},
        {"a missing table", folder / "none.dbf", LegacyImportResult::Status::CannotOpen,
         "Неожиданная ошибка во время чтения СОД\n\rвозможно данный файл не содержит СОД или поврежден"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TSignalPlan plan = NewPlan();
        const TSignalPlan before = plan;
        const LegacyImportResult result = ImportLegacyTable(c.path, plan);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.error, c.message);
        EXPECT_EQ(std::memcmp(&plan, &before, sizeof plan), 0);
    }

    TSignalPlan plan = NewPlan();
    const LegacyImportResult noVal2 = ImportLegacyTable(kTables / "noval2.dbf", plan);
    EXPECT_EQ(noVal2.status, LegacyImportResult::Status::Imported);
    EXPECT_FALSE(noVal2.stopMessage.empty()) << "a table without Val2 stops before its first row";
    EXPECT_EQ(plan.PhaseCount, 1);
}

}  // namespace
}  // namespace kdt
