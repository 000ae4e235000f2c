#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "data/ProjectFile.h"
#include "project/PlanCommands.h"
#include "support/TempFolder.h"

namespace kdt {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

TSignalPlan NewPlan(std::uint8_t speed = 60) {
    TSignalPlan plan;
    ResetPlan(plan, kRom421, speed);
    return plan;
}

// Every byte random, the counts inside their limits, so a normalised copy
// survives a save and an open unchanged.
TSignalPlan RandomPlan(unsigned seed) {
    std::mt19937 random(seed);
    TSignalPlan plan;
    for (auto& byte : RecordBytes(plan)) byte = static_cast<std::uint8_t>(random());
    plan.PhaseCount = 1 + random() % 16;
    plan.DirectionCount = 1 + random() % 16;
    plan.ProgramCount = 1 + random() % 16;
    plan.TvpButtonCount = random() % 5;
    plan.NetworkType = 4;  // a slave keeps any address through the editor
    plan.NetworkAddressByte = static_cast<std::uint8_t>(plan.NetworkAddress);  // the editor writes both
    return plan;
}

::testing::AssertionResult SameBytes(const TSignalPlan& a, const TSignalPlan& b) {
    for (std::size_t i = 0; i < kSignalPlanSize; ++i)
        if (RecordBytes(a)[i] != RecordBytes(b)[i])
            return ::testing::AssertionFailure() << "first difference at byte " << i;
    return ::testing::AssertionSuccess();
}

// ---- layout 0 fixture ----------------------------------------------------
// Values chosen so no kept byte is 0xEE: the bytes the upgrade must drop are
// 0xEE, and none of them may survive.
constexpr std::uint8_t kDropped = 0xEE;
constexpr std::size_t kLayout0TailSize = 2000;

std::vector<std::uint8_t> Layout0File(std::size_t tailSize = kLayout0TailSize) {
    std::vector<std::uint8_t> old(kLayout0FixedPartSize + tailSize);
    for (std::size_t i = 0; i < old.size(); ++i) old[i] = static_cast<std::uint8_t>(i % 199);
    old[5] = 0;
    old[12] = 0x2B;
    old[17] = 6;   // MinPhaseDuration
    old[18] = 3;   // PhaseEndBlinkCount
    old[19] = 10;  // ConflictExitPeriod
    old[20] = 5;   // ConflictRepeatCount
    std::fill(old.begin() + 53, old.begin() + 56, kDropped);
    for (std::size_t b = 0; b < 6; ++b) {
        old[76 + 8 * b] = std::uint8_t(b);       // Phase
        old[77 + 8 * b] = std::uint8_t(40 + b);  // Duration
        old[78 + 8 * b] = old[79 + 8 * b] = kDropped;
    }
    for (std::size_t d = 0; d < 32; ++d) {  // both direction tables
        const std::size_t at = 124 + 28 * d;
        const std::uint8_t durations[5] = {2, 6, std::uint8_t(4 + d), 5, 3};
        std::copy(durations, durations + 5, old.begin() + at + 20);
        std::fill(old.begin() + at + 25, old.begin() + at + 28, kDropped);
    }
    for (std::size_t p = 0; p < 16; ++p) {
        const std::size_t at = 1436 + 52 * p;
        old[at] = 3;  // TactCount low byte
        old[at + 1] = 0;
        for (std::size_t t = 0; t < 16; ++t) {
            old[at + 20 + t] = std::uint8_t(20 + t + p);  // TactDuration
            old[at + 36 + t] = std::uint8_t(12 + t);      // TactInterDuration
        }
    }
    return old;
}

TEST(ProjectFileUpgrade, Layout0IsRebuiltInTheCurrentLayout) {
    const std::vector<std::uint8_t> old = Layout0File();
    std::vector<std::uint8_t> bytes = old;
    const TSignalPlan inMemory = NewPlan(70);
    EXPECT_EQ(UpgradeProjectFile(bytes, inMemory), kSignalPlanSize);

    ASSERT_EQ(bytes.size(), 2843 + kLayout0TailSize);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), kDropped), 0) << "dropped old bytes survived";
    TSignalPlan plan{};
    std::memcpy(&plan, bytes.data(), std::min(bytes.size(), kSignalPlanSize));

    EXPECT_EQ(plan.FormatVersion, 1);
    EXPECT_EQ(plan.MinPhaseDuration, 6);
    EXPECT_EQ(plan.PhaseEndBlinkCount, 3);
    EXPECT_EQ(plan.ConflictExitPeriod, 10);
    EXPECT_EQ(plan.ConflictRepeatCount, 5);
    EXPECT_EQ(plan.ChannelColour[0], old[21]);
    EXPECT_EQ(plan.ChannelColour[31], old[52]);
    EXPECT_EQ(std::memcmp(&plan.CurrentChannelMask, &old[56], 20), 0);
    for (int b = 0; b < 6; ++b) {
        EXPECT_EQ(plan.Tvp[b].Phase, b);
        EXPECT_EQ(plan.Tvp[b].Duration, 40 + b);
        EXPECT_EQ(std::memcmp(&plan.Tvp[b].WaitMask, &old[80 + 8 * b], 4), 0);
    }
    for (int d = 0; d < 16; ++d) {
        EXPECT_EQ(std::memcmp(&plan.Direction[d], &old[124 + 28 * d], 20), 0);
        EXPECT_EQ(plan.Direction[d].HeadDuration, 2);
        EXPECT_EQ(plan.Direction[d].TailDuration, 6);
        EXPECT_EQ(plan.Direction[d].ExtraGreenAfterGreen, 4 + d);
        EXPECT_EQ(plan.Direction[d].ExtraGreenAfterRed, 5);
        EXPECT_EQ(plan.Direction[d].GreenBlinkCount, 3);
        EXPECT_EQ(std::memcmp(&plan.DirectionManual[d], &old[572 + 28 * d], 20), 0);
        EXPECT_EQ(plan.DirectionManual[d].ExtraGreenAfterGreen, 4 + 16 + d);
    }
    EXPECT_EQ(std::memcmp(plan.PhaseDirections, &old[1020], 80), 0);
    EXPECT_EQ(std::memcmp(plan.Schedule, &old[1100], 336), 0);
    for (int p = 0; p < 16; ++p) {
        EXPECT_EQ(std::memcmp(&plan.Program[p], &old[1436 + 52 * p], 20), 0);
        for (int t = 0; t < 16; ++t) {
            // Half-second values keep their numbers: a stored 20 stays 20.
            EXPECT_EQ(plan.Program[p].TactDuration[t], 20 + t + p);
            EXPECT_EQ(plan.Program[p].TactInterDuration[t], 12 + t);
        }
    }
    // The rest moves up by 575 bytes, then the speed table of the plan in
    // memory and the old address byte are laid over it.
    for (std::size_t i = 2843; i < bytes.size(); ++i) {
        if (i >= 3876 && i <= 3956) continue;
        ASSERT_EQ(bytes[i], old[i - 575]) << "byte " << i;
    }
    EXPECT_EQ(std::memcmp(plan.SpeedSchedule, inMemory.SpeedSchedule, sizeof plan.SpeedSchedule), 0);
    EXPECT_EQ(bytes[3956], 0x2B);
}

TEST(ProjectFileUpgrade, ALongLayout0FileIsCarriedWholeAndAShortOneGrowsToHoldTheAddress) {
    std::vector<std::uint8_t> longFile = Layout0File(5000);
    UpgradeProjectFile(longFile, NewPlan());
    EXPECT_EQ(longFile.size(), 2843 + 5000u);

    std::vector<std::uint8_t> shortFile = Layout0File(0);
    EXPECT_EQ(UpgradeProjectFile(shortFile, NewPlan()), kSignalPlanSize);
    ASSERT_EQ(shortFile.size(), 3957u);
    EXPECT_EQ(shortFile[3956], 0x2B);
    EXPECT_EQ(shortFile[3000], 0) << "the gap before the speed table is zero";
}

TEST(ProjectFileUpgrade, Layout1GetsTheSpeedTableInMemoryAndItsAddressByte) {
    std::vector<std::uint8_t> bytes(kSignalPlanSize, 0x77);
    bytes[5] = 1;
    bytes[12] = 0x42;
    const std::vector<std::uint8_t> before = bytes;
    const TSignalPlan inMemory = NewPlan(55);
    EXPECT_EQ(UpgradeProjectFile(bytes, inMemory), kSignalPlanSize);
    EXPECT_EQ(bytes[5], 2);
    EXPECT_EQ(std::memcmp(&bytes[3876], inMemory.SpeedSchedule, 80), 0);
    EXPECT_EQ(bytes[3956], 0x42);
    EXPECT_EQ(bytes[3957], 0x77) << "only the low byte of the address is written";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i == 5 || (i >= 3876 && i <= 3956)) continue;
        ASSERT_EQ(bytes[i], before[i]) << "byte " << i;
    }

    std::vector<std::uint8_t> shortFile(3000, 0x77);
    shortFile[5] = 1;
    EXPECT_EQ(UpgradeProjectFile(shortFile, inMemory), 3000u) << "the read count is the old size";
}

TEST(ProjectFileUpgrade, CurrentAndUnknownVersionsAreLeftAlone) {
    for (const std::uint8_t version : {std::uint8_t(2), std::uint8_t(3), std::uint8_t(255)}) {
        std::vector<std::uint8_t> bytes(8000, 0x31);
        bytes[5] = version;
        const std::vector<std::uint8_t> before = bytes;
        EXPECT_EQ(UpgradeProjectFile(bytes, NewPlan()), kSignalPlanSize);
        EXPECT_EQ(bytes, before);
    }
}

// ---- reading and saving files --------------------------------------------

TEST(ProjectFile, SaveWritesTheRecordAndOpenRestoresEveryByte) {
    TempFolder folder;
    for (unsigned seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE(seed);
        TSignalPlan plan = RandomPlan(seed);
        NetworkAddressEditor editor;
        editor.value = plan.NetworkAddress;
        const SavePlanResult saved = SavePlanAs(folder / "plan.kdt", plan, editor);
        ASSERT_TRUE(saved.ok()) << saved.error;

        const std::vector<std::uint8_t> file = ReadBytes(saved.written);
        ASSERT_EQ(file.size(), kSignalPlanSize);
        EXPECT_EQ(file[5], 2);

        TSignalPlan opened = NewPlan();
        PlanEditorState openEditor;
        const OpenPlanResult result =
            OpenPlanFile(saved.written, opened, openEditor, OldLayoutHandling::RewriteFile);
        ASSERT_TRUE(result.ok()) << result.error;
        EXPECT_EQ(result.layoutVersion, 2);
        EXPECT_TRUE(SameBytes(opened, plan));
        // The file holds the record as it was before the plan was tied to its
        // new name; every other byte is the plan's.
        constexpr std::size_t nameStart = offsetof(TSignalPlan, ProjectFileName);
        EXPECT_EQ(std::memcmp(file.data(), &plan, nameStart), 0);
        EXPECT_EQ(std::memcmp(file.data() + nameStart + 256, RecordBytes(plan).data() + nameStart + 256,
                              kSignalPlanSize - nameStart - 256),
                  0);
    }
}

TEST(ProjectFile, OpeningNormalisesAndResetsRowOne) {
    TempFolder folder;
    TSignalPlan plan = NewPlan();
    plan.ProgramCount = 1;
    plan.Program[4].TactCount = 9;
    plan.Schedule[3][0] = {7, 45, 128};
    std::vector<std::uint8_t> bytes(RecordBytes(plan).begin(), RecordBytes(plan).end());
    bytes[5] = 2;
    WriteBytes(folder / "raw.kdt", bytes);

    TSignalPlan opened = NewPlan();
    PlanEditorState editor;
    ASSERT_TRUE(OpenPlanFile(folder / "raw.kdt", opened, editor, OldLayoutHandling::RewriteFile).ok());
    EXPECT_EQ(opened.Program[4].TactCount, 1);
    EXPECT_EQ(opened.Schedule[3][0].Hour, 0);
    EXPECT_EQ(opened.Schedule[3][0].Minute, 0);
    EXPECT_EQ(opened.Schedule[3][0].Command, 128);
    EXPECT_EQ(StoredText(opened.ProjectFileName), (folder / "raw.kdt").string());
}

TEST(ProjectFile, SaveKeepsTheBytesOfALongerFileAndLeavesNoTemporaryFile) {
    TempFolder folder;
    const auto path = folder / "long.kdt";
    std::vector<std::uint8_t> existing(kSignalPlanSize + 100, 0xCD);
    WriteBytes(path, existing);

    TSignalPlan plan = NewPlan();
    ASSERT_EQ(SaveProjectFile(path, plan).error, "");
    const std::vector<std::uint8_t> file = ReadBytes(path);
    ASSERT_EQ(file.size(), kSignalPlanSize + 100);
    EXPECT_EQ(std::memcmp(file.data(), &plan, kSignalPlanSize), 0);
    EXPECT_TRUE(std::all_of(file.begin() + kSignalPlanSize, file.end(), [](auto b) { return b == 0xCD; }));
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"long.kdt"});
}

TEST(ProjectFile, AFailedSaveLeavesTheTargetAndThePlanAsTheyWere) {
    TempFolder folder;
    std::filesystem::create_directory(folder / "folder.kdt");
    TSignalPlan plan = NewPlan();
    StoreText(plan.ProjectFileName, "before.kdt");
    NetworkAddressEditor editor;

    const SavePlanResult intoFolder = SavePlanAs(folder / "folder.kdt", plan, editor);
    EXPECT_FALSE(intoFolder.ok());
    EXPECT_TRUE(std::filesystem::is_directory(folder / "folder.kdt"));

    const SavePlanResult missingFolder = SavePlanAs(folder / "no" / "such.kdt", plan, editor);
    EXPECT_FALSE(missingFolder.ok());
    EXPECT_FALSE(missingFolder.error.empty());
    EXPECT_EQ(StoredText(plan.ProjectFileName), "before.kdt");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"folder.kdt"});
}

TEST(ProjectFile, OldLayoutsAreRewrittenOnlyWhenAsked) {
    TempFolder folder;
    const auto path = folder / "old.kdt";
    const std::vector<std::uint8_t> old = Layout0File();
    const TSignalPlan start = NewPlan(45);

    WriteBytes(path, old);
    TSignalPlan kept = start;
    ASSERT_TRUE(ReadProjectFile(path, kept, OldLayoutHandling::KeepFile).ok());
    EXPECT_EQ(ReadBytes(path), old) << "reading for the command line never rewrites";

    TSignalPlan rewritten = start;
    const ProjectFileRead read = ReadProjectFile(path, rewritten, OldLayoutHandling::RewriteFile);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.layoutVersion, 0);
    EXPECT_EQ(read.rewriteError, "");
    EXPECT_TRUE(SameBytes(kept, rewritten));
    const std::vector<std::uint8_t> upgraded = ReadBytes(path);
    EXPECT_EQ(upgraded.size(), 2843 + kLayout0TailSize);
    EXPECT_EQ(upgraded[5], 1);
    EXPECT_EQ(std::memcmp(upgraded.data(), &rewritten, upgraded.size()), 0);
    EXPECT_EQ(rewritten.SpeedSchedule[3].Speed[2], 45);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"old.kdt"});
}

// Only a record's worth is read; the rest of a longer old file is copied
// from the file itself, where the upgrade moves it.
TEST(ProjectFile, AnOldFileLongerThanTheRecordIsRewrittenWhole) {
    for (const std::uint8_t version : {std::uint8_t(0), std::uint8_t(1)}) {
        SCOPED_TRACE(int(version));
        TempFolder folder;
        const auto path = folder / "long.kdt";
        std::vector<std::uint8_t> old = Layout0File(20000);
        old[kFormatVersionOffset] = version;
        std::vector<std::uint8_t> expected = old;
        const TSignalPlan start = NewPlan(45);
        UpgradeProjectFile(expected, start);  // the whole file in memory
        WriteBytes(path, old);
        TSignalPlan plan = start;
        const ProjectFileRead read = ReadProjectFile(path, plan, OldLayoutHandling::RewriteFile);
        ASSERT_TRUE(read.ok()) << read.error;
        EXPECT_EQ(read.rewriteError, "");
        EXPECT_EQ(ReadBytes(path), expected);
        EXPECT_EQ(std::memcmp(&plan, expected.data(), kSignalPlanSize), 0);
    }
}

TEST(ProjectFile, AReadOnlyProjectIsNeitherSavedNorRewritten) {
    TempFolder folder;
    const auto path = folder / "locked.kdt";
    TSignalPlan plan = NewPlan();
    ASSERT_EQ(SaveProjectFile(path, plan).error, "");
    std::vector<std::uint8_t> old = ReadBytes(path);
    old[kFormatVersionOffset] = 1;
    WriteBytes(path, old);
    std::filesystem::permissions(path,
                                 std::filesystem::perms::owner_read | std::filesystem::perms::group_read);

    const SavePlanResult saved = SavePlanAs(path, plan, NetworkAddressEditor{});
    EXPECT_NE(saved.error.find("файл только для чтения"), std::string::npos) << saved.error;
    TSignalPlan opened = NewPlan();
    const ProjectFileRead read = ReadProjectFile(path, opened, OldLayoutHandling::RewriteFile);
    EXPECT_TRUE(read.ok()) << "the plan opens all the same";
    EXPECT_NE(read.rewriteError.find("файл только для чтения"), std::string::npos) << read.rewriteError;
    EXPECT_EQ(ReadBytes(path), old);
}

TEST(ProjectFile, ALayout1FileIsRewrittenAsLayout2) {
    TempFolder folder;
    const auto path = folder / "v1.kdt";
    TSignalPlan source = NewPlan(90);
    source.NetworkAddressByte = 0x0C;
    source.FormatVersion = 1;
    std::vector<std::uint8_t> bytes(RecordBytes(source).begin(), RecordBytes(source).end());
    WriteBytes(path, bytes);

    TSignalPlan plan = NewPlan(60);
    ASSERT_TRUE(ReadProjectFile(path, plan, OldLayoutHandling::RewriteFile).ok());
    EXPECT_EQ(plan.FormatVersion, 2);
    EXPECT_EQ(plan.SpeedSchedule[0].Speed[0], 60) << "the table of the plan that was in memory";
    EXPECT_EQ(plan.NetworkAddress, 0x0C);
    EXPECT_EQ(ReadBytes(path)[5], 2);
}

TEST(ProjectFile, ReadsNoMoreThanTheRecordAndAShortFileLeavesTheRest) {
    TempFolder folder;
    std::vector<std::uint8_t> longFile(10000, 0x21);
    longFile[5] = 2;
    WriteBytes(folder / "long.kdt", longFile);
    TSignalPlan plan = NewPlan();
    ASSERT_TRUE(ReadProjectFile(folder / "long.kdt", plan, OldLayoutHandling::RewriteFile).ok());
    EXPECT_EQ(plan.Reserved5796[959], 0x21);

    std::vector<std::uint8_t> shortFile(100, 0x21);
    shortFile[5] = 2;
    WriteBytes(folder / "short.kdt", shortFile);
    TSignalPlan partly = NewPlan();
    ASSERT_TRUE(ReadProjectFile(folder / "short.kdt", partly, OldLayoutHandling::RewriteFile).ok());
    EXPECT_EQ(partly.Tvp[1].Duration, 0x2121);  // inside the first 100 bytes
    EXPECT_EQ(partly.PhaseInterTact[0], 12);    // beyond them: as it was
    EXPECT_EQ(partly.RomVersion, kRom421);
}

TEST(ProjectFile, BadInputIsRefusedAndChangesNothing) {
    TempFolder folder;
    std::filesystem::create_directory(folder / "dir.kdt");
    WriteBytes(folder / "empty.kdt", {});
    WriteBytes(folder / "five.kdt", {1, 2, 3, 4, 5});
    std::vector<std::uint8_t> shortOld(kLayout0FixedPartSize - 1, 0);
    WriteBytes(folder / "shortold.kdt", shortOld);

    struct Case {
        const char* why;
        std::string name;
    };
    const Case cases[] = {
        {"missing file", "missing.kdt"},
        {"a folder", "dir.kdt"},
        {"empty file", "empty.kdt"},
        {"shorter than the version byte", "five.kdt"},
        {"layout 0 shorter than its fixed part", "shortold.kdt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const auto path = folder / c.name;
        const bool existed = std::filesystem::is_regular_file(path);
        const std::vector<std::uint8_t> before = existed ? ReadBytes(path) : std::vector<std::uint8_t>{};
        TSignalPlan plan = RandomPlan(7);
        const TSignalPlan original = plan;
        PlanEditorState editor;
        const OpenPlanResult result = OpenPlanFile(path, plan, editor, OldLayoutHandling::RewriteFile);
        EXPECT_FALSE(result.ok());
        EXPECT_NE(result.error.find(c.name), std::string::npos) << result.error;
        EXPECT_TRUE(SameBytes(plan, original));
        if (existed) {
            EXPECT_EQ(ReadBytes(path), before);
        }
    }
}

TEST(ProjectFile, OtherExtensionsAreNotImplemented) {
    TempFolder folder;
    WriteBytes(folder / "notes.txt", std::vector<std::uint8_t>(kSignalPlanSize, 2));
    TSignalPlan plan = NewPlan();
    const TSignalPlan original = plan;
    PlanEditorState editor;
    const OpenPlanResult result =
        OpenPlanFile(folder / "notes.txt", plan, editor, OldLayoutHandling::RewriteFile);
    EXPECT_EQ(result.error, "Данная процедура еще не реализована");
    EXPECT_TRUE(SameBytes(plan, original));
}

TEST(ProjectFile, UpperCaseNamesOpenAndKeepTheirCase) {
    TempFolder folder;
    TSignalPlan plan = NewPlan();
    PlanEditorState editor;
    ASSERT_TRUE(SavePlanAs(folder / "PLAN.KDT", plan, editor.addressEditor).ok());
    ASSERT_TRUE(std::filesystem::exists(folder / "PLAN.KDT"));
    TSignalPlan opened = NewPlan();
    ASSERT_TRUE(OpenPlanFile(folder / "PLAN.KDT", opened, editor, OldLayoutHandling::RewriteFile).ok());
    EXPECT_EQ(StoredText(opened.ProjectFileName), (folder / "PLAN.KDT").string());
}

TEST(ProjectFile, SaveNameAlwaysEndsInKdt) {
    const std::pair<const char*, const char*> cases[] = {
        {"/p/a.kdt", "/p/a.kdt"}, {"/p/a.kdt2", "/p/a.kdt2.kdt"}, {"/p/a", "/p/a.kdt"},
        {"/p/A.KDT", "/p/A.KDT"}, {"/p/a.txt", "/p/a.txt.kdt"},   {"/p/a.kdt.bak", "/p/a.kdt.bak.kdt"},
    };
    for (const auto& [chosen, expected] : cases)
        EXPECT_EQ(ProjectSaveName(chosen).string(), expected) << chosen;
}

TEST(ProjectFile, ALongPathIsCutTo255BytesOfWindows1251) {
    TSignalPlan plan = NewPlan();
    const std::string longName = "/" + std::string(200, 'a') + "/Проект" + std::string(100, 'b') + ".kdt";
    StoreProjectFileName(plan, longName);
    EXPECT_EQ(plan.ProjectFileName.Length, 255);
    EXPECT_EQ(std::string(plan.ProjectFileName.Text + 202, 6), "\xCF\xF0\xEE\xE5\xEA\xF2");  // "Проект"
}

}  // namespace
}  // namespace kdt
