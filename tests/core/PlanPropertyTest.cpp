// Properties of whole plans over many random ones (fixed seeds): a plan as
// the editor holds it survives save and open byte for byte; its image reads
// back with every field the image carries; the analysis and the report run
// on valid plans and on damaged records alike. The last group replays the
// fuzz targets' checks on the seed inputs and on the inputs saved in
// fuzz/regressions/.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "../../fuzz/DbaseHarness.h"
#include "../../fuzz/PlanHarnesses.h"
#include "ExampleCrossing.h"
#include "analysis/PlanAnalysis.h"
#include "data/PlanProcedures.h"
#include "data/TextEncoding.h"
#include "project/PlanCommands.h"
#include "report/ReportText.h"
#include "rom/KonvertHexBin.h"
#include "rom/RomImageBuilder.h"
#include "rom/RomImageReader.h"
#include "support/RandomPlans.h"
#include "support/TempFolder.h"

namespace kdt {
namespace {

namespace fs = std::filesystem;
using test::Differences;
using test::ExpectedDecode;
using test::RandomValidPlan;
using test::ReadBytes;
using test::Rng;
using test::TempFolder;
using test::U16;
using test::U8;

constexpr std::uint8_t kAllRomTypes[] = {0, 1, 2, kRom413, kRom420, kRom421};
constexpr std::uint8_t kReadableRomTypes[] = {kRom413, kRom420, kRom421};
constexpr int kPlansPerRomType = 200;          // 1200 plans over the six ROM types
constexpr int kPlansPerReadableRomType = 400;  // 1200 plans over the three readable ones
constexpr int kDamagedRecords = 1500;
// Seeds apart from those of the image round-trip tests, so these plans are new ones.
constexpr std::uint32_t kSeedBase = 7000000;

std::uint32_t SeedFor(std::uint8_t romVersion, int index) {
    return kSeedBase + 100000u * romVersion + static_cast<std::uint32_t>(index);
}

// A random valid plan as the editor holds it after opening it: normalised,
// with the network address the address editor shows.
struct HeldPlan {
    TSignalPlan source;  // as generated
    TSignalPlan plan;    // as held
    PlanEditorState editor;
};

HeldPlan EditorHeldPlan(std::uint8_t romVersion, std::uint32_t seed) {
    HeldPlan held{RandomValidPlan(romVersion, seed), {}, {}};
    held.plan = held.source;
    RefreshEditorRecord(held.plan, held.editor.addressEditor);
    NormalisePlan(held.plan, held.editor.addressEditor.value);
    return held;
}

::testing::AssertionResult SameBytes(std::span<const std::uint8_t> got, std::span<const std::uint8_t> want) {
    if (got.size() != want.size())
        return ::testing::AssertionFailure() << got.size() << " bytes, expected " << want.size();
    for (std::size_t i = 0; i < got.size(); ++i)
        if (got[i] != want[i])
            return ::testing::AssertionFailure() << "byte " << i << " (" << test::FieldAt(i)
                                                 << "): " << int(got[i]) << ", expected " << int(want[i]);
    return ::testing::AssertionSuccess();
}

// ---- normalisation -------------------------------------------------------

TEST(PlanProperties, HoldingAPlanResetsOnlyTheSlotsBeyondItsCountsAndTheEditorFields) {
    for (const std::uint8_t romVersion : kAllRomTypes) {
        for (int i = 0; i < kPlansPerRomType; ++i) {
            const std::uint32_t seed = SeedFor(romVersion, i);
            SCOPED_TRACE("RomVersion " + std::to_string(romVersion) + ", seed " + std::to_string(seed));
            const HeldPlan held = EditorHeldPlan(romVersion, seed);
            const TSignalPlan& source = held.source;
            const TSignalPlan& plan = held.plan;

            // The source with only the slots normalisation may touch taken
            // from the held plan must be the held plan.
            TSignalPlan allowed = source;
            for (int p = source.ProgramCount; p < kMaxPrograms; ++p) {
                allowed.Program[p] = plan.Program[p];
                // Reset by tact index, as the editor always has: still a row beyond the count.
                std::memcpy(allowed.CoordDelay[p], plan.CoordDelay[p], sizeof plan.CoordDelay[p]);
            }
            for (int d = source.DirectionCount; d < kMaxDirections; ++d) {
                allowed.Direction[d] = plan.Direction[d];
                allowed.DirectionManual[d] = plan.DirectionManual[d];
            }
            for (int p = source.PhaseCount; p < kMaxPhases; ++p) {
                allowed.PhaseInterTact[p] = plan.PhaseInterTact[p];
                allowed.GreenStreet[p] = plan.GreenStreet[p];
            }
            for (int b = source.TvpButtonCount + 1; b <= kMaxTvpButtons; ++b) {
                allowed.Tvp[b] = plan.Tvp[b];
                allowed.TvpInsertPhase[b - 1] = plan.TvpInsertPhase[b - 1];
            }
            // The editor's own fields: the address it shows, the channel
            // selected on the page, a schedule that starts each day at midnight,
            // and one controller unless the plan leads a coordination.
            allowed.NetworkAddress = plan.NetworkAddress;
            allowed.NetworkAddressByte = plan.NetworkAddressByte;
            allowed.CurrentChannelMask = plan.CurrentChannelMask;
            for (auto& day : allowed.Schedule) day[0].Hour = day[0].Minute = 0;
            if (source.NetworkType != test::kNetworkMaster)
                allowed.CoordControllerCount = plan.CoordControllerCount;
            ASSERT_TRUE(SameBytes(RecordBytes(plan), RecordBytes(allowed)));

            // What those fields became (copied out: packed fields cannot be bound to references).
            EXPECT_EQ(+plan.CurrentChannelMask, 1u);
            const unsigned limit = source.NetworkType == 1 ? 20 : source.NetworkType == 2 ? 2 : 65535;
            EXPECT_EQ(+plan.NetworkAddress, std::min<unsigned>(source.NetworkAddress, limit));
            EXPECT_EQ(+plan.NetworkAddressByte, plan.NetworkAddress & 0xFF);
            if (source.NetworkType != test::kNetworkMaster) {
                EXPECT_EQ(+plan.CoordControllerCount, 1);
            }
            for (int d = source.DirectionCount; d < kMaxDirections; ++d) {
                EXPECT_EQ(plan.Direction[d].HeadMask | plan.Direction[d].GreenMask |
                              plan.Direction[d].RedMask | plan.Direction[d].TailMask |
                              plan.Direction[d].BlinkMask,
                          0u);
            }
            for (int b = source.TvpButtonCount + 1; b <= kMaxTvpButtons; ++b)
                EXPECT_EQ(+plan.TvpInsertPhase[b - 1], +kNoInsertPhase);

            // A held plan is a fixed point: holding it again changes nothing.
            TSignalPlan again = plan;
            NetworkAddressEditor editor;
            RefreshEditorRecord(again, editor);
            NormalisePlan(again, editor.value);
            ASSERT_TRUE(SameBytes(RecordBytes(again), RecordBytes(plan)));
        }
    }
}

// ---- save and open -------------------------------------------------------

TEST(PlanProperties, SavedPlansOpenByteForByte) {
    TempFolder folder;
    for (const std::uint8_t romVersion : kAllRomTypes) {
        for (int i = 0; i < kPlansPerRomType; ++i) {
            const std::uint32_t seed = SeedFor(romVersion, i);
            SCOPED_TRACE("RomVersion " + std::to_string(romVersion) + ", seed " + std::to_string(seed));
            HeldPlan held = EditorHeldPlan(romVersion, seed);
            TSignalPlan plan = held.plan;
            // The generator leaves FormatVersion 0..2 in memory; a save writes
            // layout 2 whatever the plan had. The only byte a save changes.
            TSignalPlan expectedFile = plan;
            expectedFile.FormatVersion = kCurrentFormatVersion;

            const SavePlanResult saved = SavePlanAs(folder / "plan", plan, held.editor.addressEditor);
            ASSERT_TRUE(saved.ok()) << saved.error;
            ASSERT_EQ(saved.written, folder / "plan.kdt");
            // The record is written before the plan is tied to the file, so the
            // file holds the name the plan had; the plan now names the file.
            ASSERT_TRUE(SameBytes(ReadBytes(saved.written), RecordBytes(expectedFile)));
            EXPECT_EQ(StoredText(plan.ProjectFileName), saved.written.string());
            TSignalPlan tied = expectedFile;
            StoreProjectFileName(tied, saved.written);
            ASSERT_TRUE(SameBytes(RecordBytes(plan), RecordBytes(tied)));

            // Opened over another plan by an editor that has shown nothing:
            // every byte, the name included, is the saved plan's.
            TSignalPlan opened;
            ResetPlan(opened, 0, 33);
            PlanEditorState editor;
            const OpenPlanResult result =
                OpenPlanFile(saved.written, opened, editor, OldLayoutHandling::RewriteFile);
            ASSERT_TRUE(result.ok()) << result.error;
            EXPECT_EQ(result.layoutVersion, kCurrentFormatVersion);
            EXPECT_TRUE(result.warning.empty()) << result.warning;
            ASSERT_TRUE(SameBytes(RecordBytes(opened), RecordBytes(plan)));
            EXPECT_EQ(editor.addressEditor.value, held.editor.addressEditor.value);
        }
    }
}

// ---- compile and read back -----------------------------------------------

std::vector<std::uint8_t> BuildBin(const TSignalPlan& plan) {
    std::vector<std::string> lines;
    std::string why;
    if (!BuildRomImage(plan, lines, &why)) {
        ADD_FAILURE() << "the image was not built: " << why;
        return {};
    }
    const HexConversion converted = HexToBin(lines);
    if (!converted.ok()) ADD_FAILURE() << "the builder's lines did not convert: " << converted.error;
    return converted.image;
}

TEST(PlanProperties, CompiledPlansReadBackWithEveryCompiledField) {
    TempFolder folder;
    for (const std::uint8_t romVersion : kReadableRomTypes) {
        int failures = 0;
        for (int i = 0; i < kPlansPerReadableRomType && failures < 3; ++i) {
            const std::uint32_t seed = SeedFor(romVersion, 50000 + i);
            SCOPED_TRACE("RomVersion " + std::to_string(romVersion) + ", seed " + std::to_string(seed));
            const TSignalPlan plan = EditorHeldPlan(romVersion, seed).plan;
            const TSignalPlan expected = ExpectedDecode(plan);

            // In memory, with a fresh reader: the image's fields in its units, the rest zero.
            const std::vector<std::uint8_t> image = BuildBin(plan);
            ASSERT_EQ(image.size(), RomImageSize(romVersion));
            TSignalPlan decoded;
            std::memset(&decoded, 0xA5, sizeof decoded);
            RomImageReader reader;
            ASSERT_TRUE(reader.DecodeRomImage(image, romVersion, decoded))
                << "a held plan's image was refused";
            if (const std::string differences = Differences(decoded, expected); !differences.empty()) {
                ADD_FAILURE() << "decoded plan differs:\n" << differences;
                ++failures;
                continue;
            }

            // Through the files the programmer takes, HEX and BIN in turn, and
            // opened as the open command opens them.
            const bool hex = i % 2 == 0;
            const fs::path file = folder / (hex ? "plan.hex" : "plan.bin");
            const RomFileResult written = hex ? WriteHexFile(plan, file) : WriteBinFile(plan, file);
            ASSERT_TRUE(written.ok()) << written.error;
            TSignalPlan opened;
            ResetPlan(opened, romVersion, 60);
            PlanEditorState editor;
            const OpenPlanResult result = OpenPlanFile(file, opened, editor, OldLayoutHandling::KeepFile);
            ASSERT_TRUE(result.ok()) << result.error;
            TSignalPlan expectedOpen = expected;
            fuzz::OpenRecord(expectedOpen, true);
            StoreProjectFileName(expectedOpen, file);
            if (!SameBytes(RecordBytes(opened), RecordBytes(expectedOpen))) {
                ADD_FAILURE() << "the opened image differs:\n" << Differences(opened, expectedOpen);
                ++failures;
                continue;
            }
            // Not the same image again in general: a schedule that runs fewer
            // programs than the plan has tells a smaller count, and 4.2.x
            // pedestrian periods are worked out from half-seconds the image
            // rounded. But from the opened plan on, compiling and opening is
            // a fixed point.
            EXPECT_EQ(fuzz::CheckReopenedImageIsStable(opened), "");
        }
    }
}

// ---- analysis and report on valid and damaged records --------------------

bool IsUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80         ? 1
                                   : (lead >> 5) == 6  ? 2
                                   : (lead >> 4) == 14 ? 3
                                   : (lead >> 3) == 30 ? 4
                                                       : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

// The report of every section: no line breaks inside a line, UTF-8 that
// the Windows-1251 report file keeps, the same text for the same plan, and
// the plan untouched.
std::string ReportProblem(const TSignalPlan& plan) {
    const TSignalPlan before = plan;
    constexpr ReportDate kDate{31, 12, 2026};
    const std::vector<std::string> lines = ComposeReport(plan, AllReportSections(), kDate);
    if (lines.empty()) return "an empty report";
    if (!fuzz::SameRecord(plan, before)) return "the report changed the plan";
    for (const std::string& line : lines) {
        if (line.find_first_of("\r\n") != std::string::npos) return "a report line holds a line end: " + line;
        if (!IsUtf8(line)) return "a report line is not UTF-8: " + line;
        if (Cp1251ToUtf8(Utf8ToCp1251(line)) != line)
            return "a report line the report file cannot hold: " + line;
    }
    if (ComposeReport(plan, AllReportSections(), kDate) != lines) return "the same plan gave another report";
    return {};
}

// A valid plan with one to eight values out of their ranges: counts beyond
// the arrays or zero, indices beyond the phases, unknown codes.
TSignalPlan DamagedPlan(std::uint32_t seed) {
    Rng rng(seed);
    TSignalPlan plan = RandomValidPlan(U8(rng.In(0, 5)), seed);
    const auto beyond = [&](unsigned limit, unsigned most) {
        return rng.OneIn(4) ? 0u : rng.In(limit + 1, most);
    };
    for (unsigned n = rng.In(1, 8); n > 0; --n) {
        switch (rng.In(0, 15)) {
            case 0:
                plan.PhaseCount = U8(beyond(kMaxPhases, 255));
                break;
            case 1:
                plan.DirectionCount = U8(beyond(kMaxDirections, 255));
                break;
            case 2:
                plan.ProgramCount = U8(beyond(kMaxPrograms, 255));
                break;
            case 3:
                plan.TvpButtonCount = U8(rng.In(kMaxTvpButtons + 1, 255));
                break;
            case 4:
                for (TSignalProgram& program : plan.Program)
                    program.TactCount = U16(beyond(kMaxTacts, 65535));
                break;
            case 5:
                for (TSignalProgram& program : plan.Program)
                    for (std::uint8_t& phase : program.TactPhase) phase = U8(rng.In(kMaxPhases, 255));
                break;
            case 6:
                for (int b = 0; b < 6; ++b) plan.Tvp[b].Phase = U16(rng.In(kMaxPhases, 65535));
                for (std::uint8_t& phase : plan.TvpInsertPhase) phase = U8(rng.In(kMaxPhases, 255));
                break;
            case 7:
                for (std::uint8_t& street : plan.GreenStreet) street = U8(rng.In(kMaxPhases, 255));
                break;
            case 8:
                for (auto& day : plan.Schedule)
                    for (TScheduleEntry& row : day) row = {U8(rng.Bits()), U8(rng.Bits()), U8(rng.Bits())};
                break;
            case 9:
                plan.NetworkType = test::kNetworkMaster;
                plan.CoordControllerCount = U8(rng.In(kMaxCoordControllers + 1, 255));
                break;
            case 10:
                plan.NetworkType = U8(rng.In(6, 255));
                break;
            case 11:
                plan.RomVersion = U8(rng.In(kRomTypeCount, 255));
                break;
            case 12:
                plan.DetectorCount = U8(rng.In(kMaxDetectors + 1, 255));
                for (TDetectorSettings& detector : plan.Detector) detector.ZoneCount = U8(rng.In(0, 255));
                break;
            case 13:
                for (std::uint8_t& colour : plan.ChannelColour) colour = U8(rng.Bits());
                break;
            case 14:
                for (int d = 0; d < kMaxDirections; ++d) {
                    plan.Direction[d].HeadDuration = plan.Direction[d].TailDuration = 65535;
                    plan.DirectionManual[d].GreenBlinkCount = 65535;
                }
                for (int p = 0; p < kMaxPhases; ++p)
                    plan.PhaseMinTime[p] = plan.PhaseMaxTime[p] = U16(rng.Bits());
                break;
            default:
                for (int k = 0; k < 32; ++k)
                    RecordBytes(plan)[rng.In(0, kSignalPlanSize - 1)] = U8(rng.Bits());
                break;
        }
    }
    return plan;
}

TSignalPlan RandomRecord(std::uint32_t seed) {
    Rng rng(seed);
    TSignalPlan plan;
    for (std::uint8_t& byte : RecordBytes(plan)) byte = U8(rng.Bits());
    return plan;
}

TEST(PlanProperties, AnalysisAndReportRunOnValidPlans) {
    for (const std::uint8_t romVersion : kAllRomTypes) {
        for (int i = 0; i < kPlansPerRomType; ++i) {
            const std::uint32_t seed = SeedFor(romVersion, i);
            SCOPED_TRACE("RomVersion " + std::to_string(romVersion) + ", seed " + std::to_string(seed));
            const TSignalPlan plan = EditorHeldPlan(romVersion, seed).plan;
            EXPECT_EQ(fuzz::CheckAnalysis(plan), "");
            EXPECT_EQ(ReportProblem(plan), "");
        }
    }
}

// Damaged records, and records of random bytes, go where a damaged file
// takes them: opened, analysed, reported and compiled (when their ROM type
// is one), and their bytes read as a project file of every layout.
TEST(PlanProperties, DamagedRecordsAreAnalysedReportedAndCompiledWithoutHarm) {
    fuzz::ProjectFileHarness inMemory{fs::path()};
    int analysedWithFindings = 0;
    for (int i = 0; i < kDamagedRecords; ++i) {
        const std::uint32_t seed = kSeedBase + 900000u + static_cast<std::uint32_t>(i);
        SCOPED_TRACE("seed " + std::to_string(seed));
        TSignalPlan plan = i % 3 == 0 ? RandomRecord(seed) : DamagedPlan(seed);

        EXPECT_EQ(fuzz::CheckAnalysis(plan), "");
        if (!AnalizSOD(plan).clean) ++analysedWithFindings;
        EXPECT_EQ(ReportProblem(plan), "");
        // Read as a file: the record's own byte 5 picks the layout.
        EXPECT_EQ(inMemory.Run(RecordBytes(plan)), "");

        fuzz::OpenRecord(plan, false);
        EXPECT_EQ(fuzz::CheckAnalysis(plan), "");
        EXPECT_EQ(ReportProblem(plan), "");
        const fuzz::BuiltImage image = fuzz::BuildImage(plan);
        EXPECT_EQ(image.error, "");
        if (image.bytes.empty()) continue;
        RomImageReader reader;
        for (const std::uint8_t romVersion : kReadableRomTypes) {
            TSignalPlan decoded{};
            if (!reader.DecodeRomImage(image.bytes, romVersion, decoded)) continue;
            fuzz::OpenRecord(decoded, true);
            EXPECT_EQ(fuzz::CheckReopenedImageIsStable(decoded), "")
                << "read as RomVersion " << int(romVersion);
        }
    }
    // Damage the analysis cannot see would make the records above too mild.
    EXPECT_GT(analysedWithFindings, kDamagedRecords * 9 / 10);
}

// ---- the fuzz targets' checks on known inputs -----------------------------

const fs::path kRegressions = fs::path(KDT_EXAMPLES_DIR) / ".." / "fuzz" / "regressions";

std::vector<fs::path> FilesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    std::error_code status;
    for (fs::directory_iterator entry(folder, status), end; !status && entry != end; entry.increment(status))
        if (entry->is_regular_file()) files.push_back(entry->path());
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::uint8_t> ExampleImage(std::uint8_t romVersion) {
    TSignalPlan plan{};
    example::BuildExampleCrossing(plan);
    plan.RomVersion = romVersion;
    return BuildBin(plan);
}

TEST(FuzzHarnesses, TheExampleAndItsImagesPassEveryCheck) {
    TempFolder folder;
    fuzz::ProjectFileHarness project(folder.path());
    const std::vector<std::uint8_t> example = ReadBytes(fs::path(KDT_EXAMPLES_DIR) / "crossing.kdt");
    ASSERT_EQ(example.size(), kSignalPlanSize);
    EXPECT_EQ(project.Run(example), "");
    // The same bytes as the older layouts, cut to the fixed part of layout 0,
    // and too short for any layout.
    for (const std::uint8_t version : {0, 1, 7}) {
        std::vector<std::uint8_t> bytes = example;
        bytes[kFormatVersionOffset] = version;
        EXPECT_EQ(project.Run(bytes), "") << "layout " << int(version);
    }
    EXPECT_EQ(project.Run(std::span(example).first(kLayout0FixedPartSize - 1)), "");
    EXPECT_EQ(project.Run(std::span(example).first(3)), "");

    fuzz::RomImageHarness images;
    fuzz::HexTextHarness hexTexts;
    for (const std::uint8_t romVersion : kAllRomTypes) {
        SCOPED_TRACE("RomVersion " + std::to_string(romVersion));
        TSignalPlan plan{};
        example::BuildExampleCrossing(plan);
        plan.RomVersion = romVersion;
        std::vector<std::string> lines;
        ASSERT_TRUE(BuildRomImage(plan, lines));
        const std::string text = HexFileText(lines);
        EXPECT_EQ(hexTexts.Run(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())),
                  "");
        EXPECT_EQ(images.Run(ExampleImage(romVersion)), "");
    }
}

// One input per test table: its length in two bytes, the table, its memo file.
std::vector<std::uint8_t> PackedTable(const fs::path& table) {
    const std::vector<std::uint8_t> bytes = ReadBytes(table);
    std::vector<std::uint8_t> packed{U8(bytes.size() & 0xFF), U8(bytes.size() >> 8)};
    packed.insert(packed.end(), bytes.begin(), bytes.end());
    const std::string stem = LowerCaseCp1251Letters(table.stem().string());
    for (const fs::path& file : FilesIn(table.parent_path())) {
        const std::string name = LowerCaseCp1251Letters(file.filename().string());
        if (name == stem + ".dbt" || name == stem + ".fpt") {
            const std::vector<std::uint8_t> memo = ReadBytes(file);
            packed.insert(packed.end(), memo.begin(), memo.end());
        }
    }
    return packed;
}

TEST(FuzzHarnesses, TheTestTablesPassEveryCheck) {
    TempFolder folder;
    fuzz::DbaseHarness harness(folder.path());
    int tables = 0;
    for (const char* set : {"dbase", "legacy-import"}) {
        for (const fs::path& file : FilesIn(fs::path(KDT_TEST_DATA_DIR) / set)) {
            if (LowerCaseCp1251Letters(file.extension().string()) != ".dbf") continue;
            SCOPED_TRACE(file.string());
            ++tables;
            EXPECT_EQ(harness.Run(PackedTable(file)), "");
        }
    }
    EXPECT_GE(tables, 10);
}

// Inputs that once broke a fuzz target, kept under fuzz/regressions/TARGET/.
TEST(FuzzHarnesses, SavedRegressionInputsPassEveryCheck) {
    TempFolder folder;
    fuzz::ProjectFileHarness project(folder.path());
    fuzz::HexTextHarness hexTexts;
    fuzz::RomImageHarness images;
    fuzz::DbaseHarness tables(folder.path());
    const std::vector<std::pair<std::string, std::function<std::string(std::span<const std::uint8_t>)>>>
        targets = {
            {"project_file", [&](auto bytes) { return project.Run(bytes); }},
            {"hex_to_bin", [&](auto bytes) { return hexTexts.Run(bytes); }},
            {"rom_image", [&](auto bytes) { return images.Run(bytes); }},
            {"dbase_table", [&](auto bytes) { return tables.Run(bytes); }},
        };
    int inputs = 0;
    for (const auto& [name, run] : targets) {
        for (const fs::path& input : FilesIn(kRegressions / name)) {
            SCOPED_TRACE(input.string());
            ++inputs;
            EXPECT_EQ(run(ReadBytes(input)), "");
        }
    }
    EXPECT_GE(inputs, 1) << "no inputs found under " << kRegressions.string();
}

}  // namespace
}  // namespace kdt
