// The HEX file goes to an external EEPROM programmer, so its reading by
// independent tools must give the very bytes of our own BIN file: srec_cat
// (package srecord) and objcopy (binutils), both installed by
// scripts/setup-deps. A missing tool fails the tests instead of skipping them.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "ExampleCrossing.h"
#include "data/PlanProcedures.h"
#include "data/TypeKDT.h"
#include "rom/KonvertHexBin.h"
#include "support/TempFolder.h"

namespace kdt {
namespace {

// BIN sizes of ROM types 0..5: the byte after each layout's highest address.
constexpr std::size_t kBinSize[kRomTypeCount] = {1702, 1750, 1750, 1910, 2001, 2974};

struct PlanCase {
    const char* name;
    TSignalPlan plan;
};

// A new plan, the bundled example, and a network master whose coordinator
// block (3 + 11 x 9 = 102 bytes) runs 3 bytes into the power-on and
// interface records: the later records must win in every reading.
std::vector<PlanCase> Plans(std::uint8_t romVersion) {
    std::vector<PlanCase> plans(3);
    plans[0].name = "new";
    ResetPlan(plans[0].plan, romVersion, 60);

    plans[1].name = "example";
    example::BuildExampleCrossing(plans[1].plan);
    plans[1].plan.RomVersion = romVersion;

    plans[2].name = "overlapping-coordinator";
    TSignalPlan& master = plans[2].plan;
    ResetPlan(master, romVersion, 60);
    master.NetworkType = 3;
    master.ProgramCount = 11;
    master.CoordControllerCount = 9;
    for (int p = 0; p < kMaxPrograms; ++p)
        for (int k = 0; k < kMaxCoordControllers; ++k) master.CoordDelay[p][k] = std::uint8_t(0xA0 + k);
    master.PowerOnDuration = 7;
    master.PowerOnState = 2;
    master.VpuInterface = 1;
    master.Schedule[1][0].Command = 127 + 11;
    return plans;
}

// Bytes of the coordinator room the records leave unwritten, and for 4.2.1
// the 7 bytes between the option flags (2000) and the extension (2008).
std::size_t UnwrittenBytes(const TSignalPlan& plan) {
    const std::size_t block = 3 + std::size_t(plan.ProgramCount) * plan.CoordControllerCount;
    return (block < 99 ? 99 - block : 0) + (plan.RomVersion == kRom421 ? 7 : 0);
}

std::string Quoted(const std::filesystem::path& path) {
    return "'" + path.string() + "'";
}

struct ToolRun {
    int status = -1;
    std::string output;
};

ToolRun RunTool(const std::string& command, const std::filesystem::path& log) {
    ToolRun run;
    const int raw = std::system((command + " >" + Quoted(log) + " 2>&1").c_str());
    run.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream file(log, std::ios::binary);
    run.output.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return run;
}

bool ToolInstalled(const std::string& tool) {
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// Index of the first differing byte, or -1; sizes are compared by the caller.
long FirstDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] != b[i]) return static_cast<long>(i);
    return -1;
}

// Writes base.hex and base.bin with the program's own writers and returns
// the BIN bytes.
std::vector<std::uint8_t> WriteOwnFiles(const TSignalPlan& plan, const std::filesystem::path& base) {
    const RomFileResult hex = WriteHexFile(plan, base.string() + ".hex");
    EXPECT_TRUE(hex.ok()) << hex.error;
    const RomFileResult bin = WriteBinFile(plan, base.string() + ".bin");
    EXPECT_TRUE(bin.ok()) << bin.error;
    return test::ReadBytes(base.string() + ".bin");
}

TEST(HexToolsAgreement, SrecCatFillsTheHexFileToOurBinFile) {
    ASSERT_TRUE(ToolInstalled("srec_cat")) << "srec_cat is not installed (Debian package srecord); "
                                              "run scripts/setup-deps";
    test::TempFolder folder;
    for (std::uint8_t romVersion = 0; romVersion < kRomTypeCount; ++romVersion) {
        for (const PlanCase& plan : Plans(romVersion)) {
            SCOPED_TRACE("RomVersion " + std::to_string(romVersion) + ", " + plan.name + " plan");
            const std::filesystem::path base =
                folder / (std::string(plan.name) + "-" + std::to_string(romVersion));
            const std::vector<std::uint8_t> ours = WriteOwnFiles(plan.plan, base);
            EXPECT_EQ(ours.size(), kBinSize[romVersion]);

            // Overlapping records are part of some layouts (the network head at
            // 2 and the program block at 4; an oversized coordinator block):
            // srec_cat takes the last value when told so, before the input.
            // The fill covers the data's own range, so the BIN size is srec_cat's
            // own finding too; checksums are verified on the way.
            const std::filesystem::path hex = base.string() + ".hex";
            const std::filesystem::path out = base.string() + ".srec_cat.bin";
            const ToolRun run = RunTool("srec_cat -contradictory-bytes=ignore -disable-sequence-warnings " +
                                            Quoted(hex) + " -Intel -fill 0xFF -over " + Quoted(hex) +
                                            " -Intel -o " + Quoted(out) + " -Binary",
                                        folder / "srec_cat.log");
            ASSERT_EQ(run.status, 0) << run.output;
            const std::vector<std::uint8_t> theirs = test::ReadBytes(out);
            EXPECT_EQ(theirs.size(), ours.size());
            EXPECT_EQ(FirstDifference(theirs, ours), -1);
        }
    }
}

// objcopy leaves gaps between records as 0 unless told a fill byte, and its
// output starts at the lowest address written (0 in every layout here). Two
// runs with different fill bytes tell the written bytes from the gaps.
TEST(HexToolsAgreement, ObjcopyWritesOurBytesAndLeavesTheSameGaps) {
    ASSERT_TRUE(ToolInstalled("objcopy")) << "objcopy is not installed (Debian package binutils); "
                                             "run scripts/setup-deps";
    test::TempFolder folder;
    for (std::uint8_t romVersion = 0; romVersion < kRomTypeCount; ++romVersion) {
        for (const PlanCase& plan : Plans(romVersion)) {
            SCOPED_TRACE("RomVersion " + std::to_string(romVersion) + ", " + plan.name + " plan");
            const std::filesystem::path base =
                folder / (std::string(plan.name) + "-" + std::to_string(romVersion));
            const std::vector<std::uint8_t> ours = WriteOwnFiles(plan.plan, base);
            const std::filesystem::path hex = base.string() + ".hex";

            std::vector<std::uint8_t> outputs[2];
            const char* fills[2] = {"", " --gap-fill 0xFF"};
            for (int i = 0; i < 2; ++i) {
                const std::filesystem::path out = base.string() + ".objcopy" + std::to_string(i) + ".bin";
                const ToolRun run = RunTool(std::string("objcopy -I ihex -O binary") + fills[i] + " " +
                                                Quoted(hex) + " " + Quoted(out),
                                            folder / "objcopy.log");
                ASSERT_EQ(run.status, 0) << run.output;
                outputs[i] = test::ReadBytes(out);
                ASSERT_EQ(outputs[i].size(), ours.size()) << "objcopy output " << i;
            }
            EXPECT_EQ(FirstDifference(outputs[1], ours), -1) << "objcopy with --gap-fill 0xFF";

            std::size_t gaps = 0;
            std::ostringstream wrong;
            for (std::size_t a = 0; a < ours.size(); ++a) {
                const bool written = outputs[0][a] == outputs[1][a];
                if (!written) ++gaps;
                const std::uint8_t want = written ? outputs[0][a] : 0xFF;
                if (ours[a] != want && wrong.tellp() < 400)
                    wrong << " address " << a << (written ? " (written)" : " (gap)") << ": ours "
                          << int(ours[a]) << ", objcopy " << int(want) << ";";
            }
            EXPECT_EQ(wrong.str(), "");
            EXPECT_EQ(gaps, UnwrittenBytes(plan.plan));
        }
    }
}

}  // namespace
}  // namespace kdt
