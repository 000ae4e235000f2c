#include <gtest/gtest.h>

#include <sstream>

#include "Cli.h"
#include "data/PlanProcedures.h"
#include "data/ProjectFile.h"
#include "support/KdtRun.h"
#include "support/TempFolder.h"

namespace kdt {
namespace {

using test::Kdt;
using test::KdtRun;

const std::string kExample = KDT_EXAMPLES_DIR "/crossing.kdt";

std::string SaveNewPlan(const test::TempFolder& folder) {
    TSignalPlan plan;
    ResetPlan(plan, kRom421, 60);
    const auto path = folder / "new.kdt";
    EXPECT_EQ(SaveProjectFile(path, plan).error, "");
    return path.string();
}

TEST(KdtAnalyse, ACleanPlanExitsZeroAndWritesNothing) {
    test::TempFolder folder;
    const KdtRun run = Kdt({"analyse", kExample, "--error-file", (folder / "Error.txt").string()});
    EXPECT_EQ(run.status, 0) << run.err << run.out;
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(folder.entries().empty());
}

TEST(KdtAnalyse, FindingsArePrintedAndWrittenInWindows1251) {
    test::TempFolder folder;
    const std::string plan = SaveNewPlan(folder);
    const auto errorFile = folder / "err.txt";
    const KdtRun run = Kdt({"analyse", plan, "--error-file", errorFile.string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errLines(), 1u) << run.err;
    EXPECT_EQ(run.out.rfind(
                  "*** Результат анализа проекта СОД сохранен в файле: \"" + errorFile.string() + "\"\n", 0),
              0u)
        << run.out;
    EXPECT_NE(run.out.find("\nErr  0 | Недостаточно фаз\n"), std::string::npos);
    EXPECT_EQ(run.out.find('\r'), std::string::npos) << "stdout gets plain line breaks";

    const std::vector<std::uint8_t> bytes = test::ReadBytes(errorFile);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find("Err  0 | \xCD\xE5\xE4\xEE\xF1\xF2\xE0\xF2\xEE\xF7\xED\xEE \xF4\xE0\xE7\r\n"),
              std::string::npos)
        << "\"Недостаточно фаз\" in Windows-1251 with CR LF";
}

TEST(KdtAnalyse, FindingsNotSavedInAFileNeverClaimToBe) {
    test::TempFolder folder;
    const std::string plan = SaveNewPlan(folder);
    const std::vector<std::vector<std::string>> runs = {
        {"analyse", plan},
        {"analyse", plan, "--error-file", (folder / "none" / "Error.txt").string()},  // cannot be written
        {"compile", plan, "--analyse"},
    };
    const int statuses[] = {1, 2, 1};
    for (std::size_t i = 0; i < runs.size(); ++i) {
        SCOPED_TRACE(runs[i].back());
        const KdtRun run = Kdt(runs[i]);
        EXPECT_EQ(run.status, statuses[i]);
        EXPECT_EQ(run.errLines(), 1u) << run.err;
        EXPECT_EQ(run.out.find("сохранен"), std::string::npos) << run.out;
        EXPECT_EQ(run.out.rfind("*** Проект СОД: \"" + plan + "\"\n", 0), 0u) << run.out;
        EXPECT_NE(run.out.find("\nErr  0 | Недостаточно фаз\n"), std::string::npos)
            << "the findings are shown";
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "none"));
}

TEST(KdtCompile, AnalyseRefusesAPlanWithFindings) {
    test::TempFolder folder;
    const std::string plan = SaveNewPlan(folder);
    KdtRun run = Kdt({"compile", plan, "--analyse"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("Err  0 | Недостаточно фаз"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder / "new.hex"));

    run = Kdt({"compile", kExample, "--analyse", "--out", (folder / "ok.hex").string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(std::filesystem::exists(folder / "ok.hex"));
}

}  // namespace
}  // namespace kdt
