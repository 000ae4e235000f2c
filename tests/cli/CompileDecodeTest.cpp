#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "Cli.h"
#include "ExampleCrossing.h"
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

const std::string kExample = KDT_EXAMPLES_DIR "/crossing.kdt";

TEST(KdtCompile, WritesHexBesideThePlanOrWhereAsked) {
    TempFolder folder;
    const auto plan = folder / "my.plan.kdt2";
    std::filesystem::copy_file(kExample, plan);
    KdtRun run = Kdt({"compile", plan.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, (folder / "my.plan.hex").string() + "\n");
    const std::vector<std::uint8_t> hex = ReadBytes(folder / "my.plan.hex");
    const std::string text(hex.begin(), hex.end());
    EXPECT_EQ(text.substr(0, 15), ":0100000005FA\r\n");
    EXPECT_EQ(text.substr(text.size() - 13), ":00000001FF\r\n");

    run = Kdt({"compile", plan.string(), "--format", "bin", "--rom", "4.1.0", "--out",
               (folder / "o.img").string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadBytes(folder / "o.img").size(), 1702u);
    EXPECT_EQ(run.err, "");
}

TEST(KdtCompile, WarnsWhenTheCoordinatorBlockOverrunsItsRoom) {
    TempFolder folder;
    TSignalPlan plan;
    ResetPlan(plan, kRom421, 60);
    plan.NetworkType = 3;
    plan.ProgramCount = 16;
    plan.CoordControllerCount = 7;
    ASSERT_EQ(SaveProjectFile(folder / "big.kdt", plan).error, "");
    KdtRun run = Kdt({"compile", (folder / "big.kdt").string()});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.err.find("warning: Блок координатора занимает 115 байт"), std::string::npos) << run.err;
    EXPECT_TRUE(std::filesystem::exists(folder / "big.hex"));

    // Checked first, the overrun is a finding: the image would not hold the plan.
    std::filesystem::remove(folder / "big.hex");
    run = Kdt({"compile", (folder / "big.kdt").string(), "--analyse"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("\nБлок координатора занимает 115 байт"), std::string::npos) << run.out;
    EXPECT_FALSE(std::filesystem::exists(folder / "big.hex"));
}

TEST(KdtDecode, AHexFileIsReadStrictly) {
    TempFolder folder;
    const auto image = folder / "c.hex";
    ASSERT_EQ(Kdt({"compile", kExample, "--out", image.string()}).status, 0);
    const std::vector<std::uint8_t> bytes = ReadBytes(image);
    const std::string text(bytes.begin(), bytes.end());
    const std::string out = (folder / "out.kdt").string();
    const auto decode = [&](const std::string& hex) {
        WriteBytes(folder / "x.hex", std::vector<std::uint8_t>(hex.begin(), hex.end()));
        return Kdt({"decode", (folder / "x.hex").string(), "--rom", "4.2.1", "--out", out});
    };

    // A changed data byte on line 3 that keeps the line well formed.
    std::string changed = text;
    const std::size_t line3 = changed.find(':', changed.find(':', changed.find(':') + 1) + 1);
    changed[line3 + 9] = changed[line3 + 9] == '0' ? '1' : '0';
    KdtRun run = decode(changed);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("строка 3 файла HEX имеет неверную контрольную сумму"), std::string::npos)
        << run.err;
    EXPECT_FALSE(std::filesystem::exists(out));

    // The same records after a BOM, with CR and LF line ends, a blank line, the
    // record of address 0 last and a DOS end-of-file mark read as the file itself.
    std::vector<std::string> records;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        records.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    ASSERT_EQ(records.front(), ":0100000005FA");
    std::string reordered = "\xEF\xBB\xBF";
    for (std::size_t i = 1; i + 1 < records.size(); ++i) reordered += records[i] + (i % 2 ? "\r" : "\n");
    reordered += "\n\n" + records.front() + "\r\n" + records.back() + "\r\n\x1A";
    run = decode(reordered);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::uint8_t> fromReordered = ReadBytes(out);
    run = decode(text);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadBytes(out), fromReordered);
}

TEST(KdtDecode, TheExampleSurvivesCompileAndDecode) {
    TempFolder folder;
    for (const char* format : {"hex", "bin"}) {
        SCOPED_TRACE(format);
        const auto image = folder / (std::string("c.") + format);
        ASSERT_EQ(Kdt({"compile", kExample, "--format", format, "--out", image.string()}).status, 0);
        const auto decoded = folder / (std::string("d-") + format + ".kdt");
        const KdtRun run = Kdt({"decode", image.string(), "--rom", "4.2.1", "--out", decoded.string()});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, decoded.string() + "\n");

        TSignalPlan original{};
        example::BuildExampleCrossing(original);
        TSignalPlan plan{};
        ASSERT_TRUE(ReadProjectFile(decoded, plan, OldLayoutHandling::KeepFile).ok());
        EXPECT_EQ(std::memcmp(&plan.Program, &original.Program, sizeof plan.Program), 0);
        EXPECT_EQ(std::memcmp(&plan.Direction, &original.Direction, sizeof plan.Direction), 0);
        EXPECT_EQ(std::memcmp(&plan.Schedule, &original.Schedule, sizeof plan.Schedule), 0);
        // Colours come back from the masks; the "wait" displays are in none.
        std::uint32_t painted = original.YellowFlashMask | original.AllRedMask;
        for (const TDirectionSettings& direction : original.Direction)
            painted |= direction.GreenMask | direction.RedMask;
        EXPECT_EQ(painted & (3u << 26), 0u);
        for (int k = 0; k < kChannelCount; ++k)
            EXPECT_EQ(plan.ChannelColour[k], (painted >> k) & 1 ? original.ChannelColour[k] : 0)
                << "channel " << k + 1;
        EXPECT_EQ(plan.TvpButtonCount, original.TvpButtonCount);
        EXPECT_EQ(plan.ProgramCount, original.ProgramCount);
        EXPECT_EQ(plan.RomVersion, kRom421);
        // The record was written while the plan was still tied to the image.
        EXPECT_EQ(StoredText(plan.ProjectFileName), image.string());
    }
}

TEST(KdtDecode, ProblemsAndTheirExitStatus) {
    TempFolder folder;
    ASSERT_EQ(Kdt({"compile", kExample, "--rom", "4.1.1", "--out", (folder / "old.hex").string()}).status, 0);
    ASSERT_EQ(Kdt({"compile", kExample, "--format", "bin", "--out", (folder / "full.bin").string()}).status,
              0);
    std::vector<std::uint8_t> bin = ReadBytes(folder / "full.bin");
    bin.resize(2000);
    WriteBytes(folder / "short.bin", bin);
    WriteBytes(folder / "empty.bin", {});
    const std::string broken = ":0100000005FA\r\n:01000100G5F9\r\n";
    WriteBytes(folder / "broken.hex", std::vector<std::uint8_t>(broken.begin(), broken.end()));
    const std::string out = (folder / "out.kdt").string();

    struct Case {
        const char* why;
        std::vector<std::string> arguments;
        int status;
    };
    const Case cases[] = {
        {"4.1.1 image read as 4.2.1 holds no plan",
         {"decode", (folder / "old.hex").string(), "--rom", "4.2.1", "--out", out},
         1},
        {"a .bin shorter than its layout",
         {"decode", (folder / "short.bin").string(), "--rom", "4.2.1", "--out", out},
         1},
        {"an empty image", {"decode", (folder / "empty.bin").string(), "--rom", "4.2.0", "--out", out}, 1},
        {"a malformed HEX line",
         {"decode", (folder / "broken.hex").string(), "--rom", "4.2.0", "--out", out},
         2},
        {"a missing image", {"decode", (folder / "none.hex").string(), "--rom", "4.2.0", "--out", out}, 2},
        {"a ROM type that cannot be read",
         {"decode", (folder / "full.bin").string(), "--rom", "4.1.2", "--out", out},
         2},
        {"no --out", {"decode", (folder / "full.bin").string(), "--rom", "4.2.1"}, 2},
        {"an image needs --rom", {"info", (folder / "full.bin").string()}, 2},
        {"an unknown format", {"compile", kExample, "--format", "srec"}, 2},
        {"compile a missing plan", {"compile", (folder / "none.kdt").string()}, 2},
    };
    for (const Case& c : cases) {
        const KdtRun run = Kdt(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.why << "\n" << run.err;
        EXPECT_EQ(run.errLines(), 1u) << c.why << "\n" << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_NE(Kdt(cases[0].arguments).err.find("Файл не содержит СОД, или поврежден!"), std::string::npos);
}

TEST(KdtInfo, ReadsAnImageWithItsRomType) {
    TempFolder folder;
    ASSERT_EQ(Kdt({"compile", kExample, "--rom", "4.1.3", "--out", (folder / "x.hex").string()}).status, 0);
    const KdtRun run = Kdt({"info", (folder / "x.hex").string(), "--rom", "4.1.3"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("ROM type: 4.1.3"), std::string::npos);
    EXPECT_NE(run.out.find("Pedestrian buttons: 2"), std::string::npos);
}

}  // namespace
}  // namespace kdt
