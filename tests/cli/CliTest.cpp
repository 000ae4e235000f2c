#include <gtest/gtest.h>

#include <sys/wait.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "Cli.h"
#include "common/FileIO.h"
#include "data/PlanProcedures.h"
#include "data/ProjectFile.h"
#include "support/KdtRun.h"
#include "support/TempFolder.h"

namespace kdt {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

using test::Kdt;
using test::KdtRun;

TEST(KdtNew, WritesANormalisedNewPlanTiedToItsFile) {
    TempFolder folder;
    const std::string path = (folder / "x.kdt").string();
    const KdtRun run = Kdt({"new", "--out", path, "--rom", "4.2.1", "--speed", "70"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, path + "\n");

    const std::vector<std::uint8_t> file = ReadBytes(path);
    ASSERT_EQ(file.size(), kSignalPlanSize);
    TSignalPlan expected;
    ResetPlan(expected, kRom421, 70);
    NormalisePlan(expected, 0);
    expected.FormatVersion = 2;
    StoreText(expected.ProjectFileName, path);
    EXPECT_EQ(std::memcmp(file.data(), &expected, kSignalPlanSize), 0);
    EXPECT_EQ(file[5], 2);
    for (int b = 0; b < 4; ++b) EXPECT_EQ(file[3872 + b], 255);
    EXPECT_EQ(file[2845], 5);
    EXPECT_EQ(file[3876 + 2], 70);
}

TEST(KdtNew, RomTypeByIndexAndTheKdtExtension) {
    TempFolder folder;
    const KdtRun run = Kdt({"new", "--out", (folder / "plan.kdt2").string(), "--rom", "3"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, (folder / "plan.kdt2.kdt").string() + "\n");
    EXPECT_EQ(ReadBytes(folder / "plan.kdt2.kdt")[2845], 3);
}

TEST(KdtInfo, SummarisesAPlanInUtf8) {
    TempFolder folder;
    TSignalPlan plan;
    ResetPlan(plan, kRom413, 60);
    plan.PhaseCount = 4;
    plan.DirectionCount = 9;
    plan.ProgramCount = 3;
    plan.TvpButtonCount = 2;
    StoreText(plan.Comment, "\xCF\xE5\xF0\xE5\xEA\xF0\xB8\xF1\xF2\xEE\xEA");  // "Перекрёсток"
    ASSERT_EQ(SaveProjectFile(folder / "p.kdt", plan).error, "");

    const KdtRun run = Kdt({"info", (folder / "p.kdt").string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "File: " + (folder / "p.kdt").string() +
                           "\n"
                           "Layout version: 2\n"
                           "ROM type: 4.1.3 (УК 4.1.3)\n"
                           "Phases: 4\n"
                           "Directions: 9\n"
                           "Programs: 3\n"
                           "Pedestrian buttons: 2\n"
                           "Detectors: 0\n"
                           "Comment: Перекрёсток\n");
}

TEST(KdtInfo, ControlCharactersOfTheCommentShowAsQuestionMarks) {
    TempFolder folder;
    TSignalPlan plan;
    ResetPlan(plan, kRom421, 60);
    StoreText(plan.Comment, "a\x1B[2Jb\rc\nd\x7F\xCF");  // ESC, CR, LF, DEL and "П"
    ASSERT_EQ(SaveProjectFile(folder / "p.kdt", plan).error, "");
    const KdtRun run = Kdt({"info", (folder / "p.kdt").string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Comment: a?[2Jb?c?d?П\n"), std::string::npos) << run.out;
}

TEST(Kdt, TwoDashesEndTheOptions) {
    TempFolder folder;
    const test::CurrentFolder here(folder.path());
    ASSERT_EQ(Kdt({"new", "--out", "x.kdt"}).status, 0);
    std::filesystem::rename(folder / "x.kdt", folder / "--odd.kdt");
    EXPECT_EQ(Kdt({"info", "--odd.kdt"}).status, 2);
    const KdtRun run = Kdt({"info", "--", "--odd.kdt"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("--odd.kdt"), std::string::npos);
}

// A stream that takes nothing, as a full disk or a closed pipe does.
class RefusingBuffer final : public std::streambuf {
protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

TEST(Kdt, OutputThatCannotBeWrittenGivesStatusTwoAndOneLine) {
    RefusingBuffer refusing;
    std::ostream out(&refusing);
    std::ostringstream err;
    EXPECT_EQ(cli::RunKdt({"info", KDT_EXAMPLES_DIR "/crossing.kdt"}, out, err), 2);
    const std::string lines = err.str();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 1) << lines;
    // A command that fails already keeps its own line and status.
    std::ostream failingErr(&refusing);
    std::ostringstream fine;
    EXPECT_EQ(cli::RunKdt({"info", KDT_EXAMPLES_DIR "/crossing.kdt"}, fine, failingErr), 0)
        << "nothing went to stderr";
    EXPECT_EQ(cli::RunKdt({"info", "/nonexistent/x.kdt"}, fine, failingErr), 2);
}

TEST(KdtInfo, NeverRewritesAnOldLayout) {
    TempFolder folder;
    std::vector<std::uint8_t> old(6756, 0);
    old[5] = 1;
    old[13] = old[14] = old[15] = 1;
    WriteBytes(folder / "old.kdt", old);
    const KdtRun run = Kdt({"info", (folder / "old.kdt").string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Layout version: 1\n"), std::string::npos);
    EXPECT_EQ(ReadBytes(folder / "old.kdt"), old);
}

TEST(KdtInfo, TheBundledExample) {
    const KdtRun run = Kdt({"info", KDT_EXAMPLES_DIR "/crossing.kdt"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("ROM type: 4.2.1 (УК 4.2.1)\n"), std::string::npos);
    EXPECT_NE(run.out.find("Comment: Пример"), std::string::npos);
}

TEST(Kdt, BadUsageAndBadInputExitWithTwoAndOneLine) {
    TempFolder folder;
    WriteBytes(folder / "tiny.kdt", {1, 2, 3});
    std::filesystem::create_directory(folder / "dir.kdt");
    const std::string out = (folder / "n.kdt").string();
    const std::vector<std::vector<std::string>> cases = {
        {"frobnicate"},
        {"info"},
        {"info", "a.kdt", "b.kdt"},
        {"info", (folder / "missing.kdt").string()},
        {"info", (folder / "tiny.kdt").string()},
        {"info", (folder / "dir.kdt").string()},
        {"info", (folder / "notes.txt").string()},
        {"new"},
        {"new", "--out"},
        {"new", "--out", out, "--rom", "4.3.0"},
        {"new", "--out", out, "--rom", "6"},
        {"new", "--out", out, "--speed", "0"},
        {"new", "--out", out, "--speed", "7x"},
        {"new", "--out", out, "--colour", "red"},
        {"new", "--out", (folder / "dir.kdt").string()},
        {"new", "--out", (folder / "no" / "such.kdt").string()},
    };
    for (const auto& arguments : cases) {
        const KdtRun run = Kdt(arguments);
        std::string joined;
        for (const auto& word : arguments) joined += word + " ";
        EXPECT_EQ(run.status, 2) << joined;
        EXPECT_EQ(run.errLines(), 1u) << joined << "\n" << run.err;
        EXPECT_EQ(run.err.rfind("kdt", 0), 0u) << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(ReadBytes(folder / "tiny.kdt"), (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(Kdt, TheProgramItselfReportsThroughItsExitStatus) {
    TempFolder folder;
    const std::string command = std::string(KDT_CLI_PATH) + " new --out '" + (folder / "p.kdt").string() +
                                "' >/dev/null && " + KDT_CLI_PATH + " info '" + (folder / "p.kdt").string() +
                                "' >/dev/null && " + KDT_CLI_PATH + " info '" +
                                (folder / "none.kdt").string() + "' 2>/dev/null";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_EQ(ReadBytes(folder / "p.kdt").size(), kSignalPlanSize);
}

}  // namespace
}  // namespace kdt
