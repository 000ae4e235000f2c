// kdt verify: is what the controller holds what the plan says?
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "support/KdtRun.h"
#include "support/TempFolder.h"

namespace kdt {
namespace {

namespace fs = std::filesystem;
using test::Kdt;
using test::KdtRun;
using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;
using Bytes = std::vector<std::uint8_t>;

const std::string kExample = KDT_EXAMPLES_DIR "/crossing.kdt";

// Program p (1-based) of the program block at 4: the tact count, 16
// phases, then 16 phase durations.
constexpr std::size_t PhaseDurationAddress(int program, int tact) {
    return 4 + 49 * (program - 1) + 17 + (tact - 1);
}

struct Images {
    explicit Images(const TempFolder& folder, const std::string& rom = "4.2.1")
        : hex((folder / "c.hex").string()), bin((folder / "c.bin").string()) {
        EXPECT_EQ(Kdt({"compile", kExample, "--rom", rom, "--out", hex}).status, 0);
        EXPECT_EQ(Kdt({"compile", kExample, "--rom", rom, "--format", "bin", "--out", bin}).status, 0);
    }
    std::string hex, bin;
};

std::string Changed(const TempFolder& folder, const std::string& bin, std::size_t address,
                    std::uint8_t value) {
    Bytes bytes = ReadBytes(bin);
    bytes.at(address) = value;
    const std::string path = (folder / "changed.bin").string();
    WriteBytes(path, bytes);
    return path;
}

TEST(KdtVerify, AnImageOfThePlanHoldsThePlan) {
    TempFolder folder;
    for (const char* rom : {"4.1.0", "4.1.3", "4.2.1"}) {
        const Images images(folder, rom);
        for (const std::string& image : {images.hex, images.bin}) {
            const KdtRun run = Kdt({"verify", kExample, image, "--rom", rom});
            EXPECT_EQ(run.status, 0) << run.out << run.err;
            EXPECT_EQ(run.out.rfind("the image holds the plan: ", 0), 0u) << run.out;
        }
    }
    // A chip read back whole: what lies past the layout is not the plan's.
    const Images images(folder);
    Bytes chip = ReadBytes(images.bin);
    chip.resize(8192, 0x00);
    WriteBytes(folder / "chip.bin", chip);
    EXPECT_EQ(Kdt({"verify", kExample, (folder / "chip.bin").string()}).status, 0);
}

TEST(KdtVerify, OneChangedPhaseDurationIsNamed) {
    TempFolder folder;
    const Images images(folder);
    // Program 2, tact 3 holds 22 s; the image now says 27 s.
    const std::size_t address = PhaseDurationAddress(2, 3);
    ASSERT_EQ(ReadBytes(images.bin)[address], 22);
    const KdtRun run = Kdt({"verify", kExample, Changed(folder, images.bin, address, 27)});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out,
              "the image differs from the plan at 1 of 2874 addresses of the 4.2.1 layout\n"
              "values (plan → image):\n"
              "Программы\n"
              "  Программа 2, такт 3: длительность фазы 22 → 27 с\n");
}

// The same change made in a HEX file, its checksum put right.
TEST(KdtVerify, AHexFileIsComparedAsItsImage) {
    TempFolder folder;
    const Images images(folder);
    const Bytes text = ReadBytes(images.hex);
    std::string hex(text.begin(), text.end());
    // The program block's record at 0x0044 holds program 2's tact 3 duration.
    const std::size_t line = hex.find(":10004400");
    ASSERT_NE(line, std::string::npos);
    const std::size_t end = hex.find('\r', line);
    std::string record = hex.substr(line, end - line);
    const std::size_t at = 9 + 2 * (PhaseDurationAddress(2, 3) - 0x44);
    ASSERT_EQ(record.substr(at, 2), "16");
    record.replace(at, 2, "1B");
    unsigned sum = 0;
    for (std::size_t i = 1; i + 2 < record.size(); i += 2)
        sum += std::stoul(record.substr(i, 2), nullptr, 16);
    char checksum[3];
    std::snprintf(checksum, sizeof checksum, "%02X", (0x100 - sum % 0x100) % 0x100);
    record.replace(record.size() - 2, 2, checksum);
    hex.replace(line, end - line, record);
    WriteBytes(folder / "changed.hex", Bytes(hex.begin(), hex.end()));
    const KdtRun run = Kdt({"verify", kExample, (folder / "changed.hex").string()});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.out.find("  Программа 2, такт 3: длительность фазы 22 → 27 с\n"), std::string::npos)
        << run.out;
}

// Bytes the controller derives from the plan (here a program load sum)
// correspond to no field: their addresses are listed.
TEST(KdtVerify, BytesNoFieldExplainsAreListedByAddress) {
    TempFolder folder;
    const Images images(folder);
    const Bytes original = ReadBytes(images.bin);
    const KdtRun run = Kdt({"verify", kExample, Changed(folder, images.bin, 2911, original[2911] ^ 0x01)});
    EXPECT_EQ(run.status, 1) << run.err;
    char expected[160];
    std::snprintf(
        expected, sizeof expected,
        "bytes no field explains:\n  0x0B5F (2911): plan 0x%02X, image 0x%02X — сумма загрузки программы 2\n",
        unsigned{original[2911]}, unsigned{original[2911] ^ 0x01u});
    EXPECT_EQ(run.out, "the image differs from the plan at 1 of 2874 addresses of the 4.2.1 layout\n" +
                           std::string(expected));
}

TEST(KdtVerify, WithoutAReadableImageTheAddressesAloneAreListed) {
    TempFolder folder;
    {
        // A 4.1.1 image cannot be read back.
        const Images images(folder, "4.1.1");
        const KdtRun run = Kdt({"verify", kExample, Changed(folder, images.bin, 0, 99), "--rom", "4.1.1"});
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.out.find("no values compared: images of 4.1.1 cannot be read back\n"),
                  std::string::npos);
        EXPECT_NE(run.out.find("  0x0000 (0): plan 0x0A, image 0x63 — период выхода из конфликта\n"),
                  std::string::npos)
            << run.out;
    }
    {
        // A conflict exit period the controller refuses: the image holds no plan.
        const Images images(folder);
        const KdtRun run = Kdt({"verify", kExample, Changed(folder, images.bin, 0, 0)});
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.out.find("no values compared: the image does not read back as a plan for 4.2.1\n"),
                  std::string::npos)
            << run.out;
        EXPECT_NE(run.out.find("  0x0000 (0): plan 0x05, image 0x00 — период выхода из конфликта\n"),
                  std::string::npos)
            << run.out;
    }
}

TEST(KdtVerify, ADamagedImageIsStatusTwo) {
    TempFolder folder;
    const Images images(folder);
    const Bytes bin = ReadBytes(images.bin);
    WriteBytes(folder / "short.bin", Bytes(bin.begin(), bin.end() - 1));
    const Bytes text = ReadBytes(images.hex);
    std::string hex(text.begin(), text.end());
    hex[hex.find(":10004400") + 11] ^= 1;  // a data digit: the checksum no longer fits
    WriteBytes(folder / "checksum.hex", Bytes(hex.begin(), hex.end()));
    std::string cut(text.begin(), text.end());
    cut.resize(cut.rfind(":10", cut.size() - 40));  // the last data records are missing
    WriteBytes(folder / "short.hex", Bytes(cut.begin(), cut.end()));

    struct Case {
        const char* why;
        std::vector<std::string> arguments;
        const char* says;
    };
    const Case cases[] = {
        {"a BIN file shorter than its layout",
         {"verify", kExample, (folder / "short.bin").string()},
         "2973 bytes"},
        {"a HEX file whose last records are missing",
         {"verify", kExample, (folder / "short.hex").string()},
         "the 4.2.1 layout 2974"},
        {"a HEX record with a bad checksum",
         {"verify", kExample, (folder / "checksum.hex").string()},
         "контрольную сумму"},
        {"a missing image", {"verify", kExample, (folder / "missing.bin").string()}, "missing.bin"},
        {"a missing plan", {"verify", (folder / "missing.kdt").string(), images.bin}, "missing.kdt"},
        {"an image of no kind kdt reads", {"verify", kExample, kExample}, "must be a .hex or a .bin"},
        {"no image", {"verify", kExample}, "PLAN IMAGE"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const KdtRun run = Kdt(c.arguments);
        EXPECT_EQ(run.status, 2) << run.out;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.errLines(), 1u) << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    }
}

}  // namespace
}  // namespace kdt
