// The checks the fuzz targets run on one input, shared with the tests that
// replay the regression inputs. Each returns an empty string when every
// property held, else what broke; sanitizers report crashes on their own.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "analysis/PlanAnalysis.h"
#include "common/FileIO.h"
#include "data/PlanProcedures.h"
#include "data/ProjectFile.h"
#include "data/TypeKDT.h"
#include "project/PlanCommands.h"
#include "rom/KonvertHexBin.h"
#include "rom/RomImageBuilder.h"
#include "rom/RomImageReader.h"
#include "rom/RomLayout.h"

namespace kdt::fuzz {

constexpr std::uint8_t kReadableRomTypes[] = {kRom413, kRom420, kRom421};

inline bool SameRecord(const TSignalPlan& a, const TSignalPlan& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

inline std::string FirstDifference(const TSignalPlan& a, const TSignalPlan& b) {
    const auto x = RecordBytes(a);
    const auto y = RecordBytes(b);
    for (std::size_t i = 0; i < kSignalPlanSize; ++i)
        if (x[i] != y[i])
            return "byte " + std::to_string(i) + ": " + std::to_string(x[i]) + " vs " + std::to_string(y[i]);
    return "no difference";
}

// The plan the editor holds when a file is opened over it. Distinct values
// in the fields an upgrade takes from it, or a short file leaves alone, so a
// mix-up between the plan and the file shows.
inline TSignalPlan PlanInMemory() {
    TSignalPlan plan;
    ResetPlan(plan, kRom421, 77);
    plan.NetworkType = 4;
    plan.NetworkAddress = 0x4321;
    for (int r = 0; r < kSpeedRows; ++r) plan.SpeedSchedule[r].Minute = static_cast<std::uint8_t>(5 * r);
    StoreText(plan.Comment, "plan in memory");
    for (std::size_t i = 0; i < sizeof plan.Reserved5796; ++i)
        plan.Reserved5796[i] = static_cast<std::uint8_t>(i);
    return plan;
}

// OpenPlanFile's steps after the record is read, with an editor that has not
// shown another plan, so the result depends on the record alone.
inline void OpenRecord(TSignalPlan& plan, bool fromImage) {
    if (fromImage && IsRom42x(plan)) DoubleTimeValues(plan);
    NetworkAddressEditor editor;
    RefreshEditorRecord(plan, editor);
    NormalisePlan(plan, editor.value);
}

struct BuiltImage {
    std::vector<std::uint8_t> bytes;
    std::string error;
};

// Building never fails for a ROM type whose coordinator block fits the
// address space, and the builder's own records always convert to an image of
// the layout's size: the last record written is the layout's last byte.
inline BuiltImage BuildImage(const TSignalPlan& plan) {
    BuiltImage result;
    const RomLayout* layout = RomLayoutFor(plan.RomVersion);
    std::vector<std::string> lines;
    const bool built = BuildRomImage(plan, lines);
    const bool buildable = layout != nullptr && layout->coordinator + CoordinatorBlockSize(plan) <= 0x10000;
    if (built != buildable) {
        result.error = "BuildRomImage returned " + std::to_string(built) + " for RomVersion " +
                       std::to_string(plan.RomVersion);
        return result;
    }
    if (!built) return result;
    HexConversion converted = HexToBin(lines);
    if (!converted.ok()) {
        result.error = "the builder's lines did not convert: " + converted.error;
        return result;
    }
    if (converted.image.size() != layout->imageSize) {
        result.error = "image of " + std::to_string(converted.image.size()) + " bytes for RomVersion " +
                       std::to_string(plan.RomVersion);
        return result;
    }
    result.bytes = std::move(converted.image);
    return result;
}

// An image read and opened is rebuilt; that image, read and opened again,
// must rebuild to itself: whatever the builder writes the reader takes back.
// It must also be readable when the coordinator block ends inside the image.
inline std::string CheckReopenedImageIsStable(const TSignalPlan& opened) {
    const std::uint8_t rom = opened.RomVersion;
    if (rom < kRom413 || rom > kRom421) return {};
    const BuiltImage first = BuildImage(opened);
    if (!first.error.empty()) return "rebuilding an opened image: " + first.error;

    RomImageReader reader;
    TSignalPlan again{};
    if (!reader.DecodeRomImage(first.bytes, rom, again)) {
        if (RomLayoutFor(rom)->coordinator + CoordinatorBlockSize(opened) <= first.bytes.size())
            return "the image built from an opened image was refused (RomVersion " + std::to_string(rom) +
                   ")";
        return {};
    }
    OpenRecord(again, true);
    const BuiltImage second = BuildImage(again);
    if (!second.error.empty()) return "rebuilding a reopened image: " + second.error;
    if (second.bytes != first.bytes) {
        std::size_t at = 0;
        while (at < first.bytes.size() && second.bytes[at] == first.bytes[at]) ++at;
        return "an image read, opened and rebuilt changed at address " + std::to_string(at) +
               " (RomVersion " + std::to_string(rom) + ")";
    }
    return {};
}

// The analysis only reads the plan and never stops on a damaged one; every
// line it gives belongs to a numbered check or continues one.
inline std::string CheckAnalysis(const TSignalPlan& plan) {
    const TSignalPlan before = plan;
    const AnalysisResult result = AnalizSOD(plan);
    if (!SameRecord(plan, before)) return "the analysis changed the plan";
    if (result.clean != result.findings.empty())
        return "the analysis' clean flag disagrees with its findings";
    for (const std::string& line : result.findings)
        if (line.rfind("Err", 0) != 0 && line.rfind("  ", 0) != 0)
            return "analysis line without a check: " + line;
    return {};
}

// ---- project files -----------------------------------------------------

// Reads project-file bytes as ReadProjectFile does, without the file: the
// first bytes only (KeepFile), or all of them (RewriteFile), upgraded.
struct RecordRead {
    TSignalPlan plan;
    std::vector<std::uint8_t> upgraded;
    std::string error;
};

inline RecordRead ReadRecordBytes(std::span<const std::uint8_t> data, const TSignalPlan& inMemory,
                                  bool whole) {
    RecordRead read{inMemory, {}, {}};
    const std::size_t taken = whole ? data.size() : std::min(data.size(), kSignalPlanSize);
    read.upgraded.assign(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(taken));
    const std::size_t count = UpgradeProjectFile(read.upgraded, inMemory);
    const std::size_t available = std::min(count, read.upgraded.size());
    if (available > kSignalPlanSize) {
        read.error = "the upgrade asks to read " + std::to_string(available) + " bytes into the record";
        return read;
    }
    std::memcpy(RecordBytes(read.plan).data(), read.upgraded.data(), available);
    return read;
}

class ProjectFileHarness {
public:
    // folder: where the input is written to go through the file functions
    // too; empty to check the in-memory reading only.
    explicit ProjectFileHarness(std::filesystem::path folder) : folder_(std::move(folder)) {}

    std::string Run(std::span<const std::uint8_t> data) {
        const TSignalPlan inMemory = PlanInMemory();
        if (!CheckProjectFileBytes(data).ok()) return CheckRefused(data, inMemory);

        RecordRead keep = ReadRecordBytes(data, inMemory, false);
        if (!keep.error.empty()) return keep.error;
        RecordRead whole = ReadRecordBytes(data, inMemory, true);
        if (!whole.error.empty()) return whole.error;
        // Rewriting needs the whole file, but the record is its first bytes either way.
        if (!SameRecord(keep.plan, whole.plan))
            return "reading the whole file gives another record: " + FirstDifference(keep.plan, whole.plan);

        TSignalPlan opened = keep.plan;
        OpenRecord(opened, false);
        if (std::string failure = CheckOpened(keep.plan, opened); !failure.empty()) return failure;
        if (!folder_.empty()) {
            if (std::string failure = CheckFiles(data, inMemory, keep.plan, whole.upgraded, opened);
                !failure.empty())
                return failure;
        }
        if (std::string failure = CheckAnalysis(opened); !failure.empty()) return failure;

        // The opened plan compiled, read back as the same ROM type, and opened.
        const BuiltImage image = BuildImage(opened);
        if (!image.error.empty()) return image.error;
        if (image.bytes.empty() || opened.RomVersion < kRom413) return {};
        RomImageReader reader;
        TSignalPlan decoded{};
        if (!reader.DecodeRomImage(image.bytes, opened.RomVersion, decoded)) return {};
        OpenRecord(decoded, true);
        return CheckReopenedImageIsStable(decoded);
    }

private:
    // Normalising again changes nothing, and nothing inside the counts was touched.
    static std::string CheckOpened(const TSignalPlan& read, const TSignalPlan& opened) {
        TSignalPlan twice = opened;
        OpenRecord(twice, false);
        if (!SameRecord(twice, opened))
            return "opening an opened plan changed it: " + FirstDifference(twice, opened);
        const int programs = std::clamp<int>(read.ProgramCount, 1, kMaxPrograms);
        for (int p = 0; p < programs; ++p)
            if (std::memcmp(&read.Program[p], &opened.Program[p], sizeof(TSignalProgram)) != 0)
                return "opening changed program " + std::to_string(p + 1) + " inside the program count";
        for (int d = 0; d < std::min<int>(read.DirectionCount, kMaxDirections); ++d)
            if (std::memcmp(&read.Direction[d], &opened.Direction[d], sizeof(TDirectionSettings)) != 0 ||
                std::memcmp(&read.DirectionManual[d], &opened.DirectionManual[d],
                            sizeof(TDirectionSettings)) != 0)
                return "opening changed direction " + std::to_string(d + 1) + " inside the direction count";
        for (int b = 1; b <= std::min<int>(read.TvpButtonCount, kMaxTvpButtons); ++b)
            if (std::memcmp(&read.Tvp[b], &opened.Tvp[b], sizeof(TTvpButton)) != 0 ||
                read.TvpInsertPhase[b - 1] != opened.TvpInsertPhase[b - 1])
                return "opening changed button " + std::to_string(b) + " inside the button count";
        if (opened.CurrentChannelMask != 1) return "an opened plan's CurrentChannelMask is not 1";
        if (opened.NetworkAddressByte != (opened.NetworkAddress & 0xFF))
            return "an opened plan's address byte is not its address' low byte";
        return {};
    }

    std::string CheckRefused(std::span<const std::uint8_t> data, const TSignalPlan& inMemory) {
        if (folder_.empty()) return {};
        const std::filesystem::path path = folder_ / "input.kdt";
        if (std::string error = WriteFileAtomically(path, data).error; !error.empty())
            return "writing the input: " + error;
        TSignalPlan plan = inMemory;
        PlanEditorState editor;
        const OpenPlanResult result = OpenPlanFile(path, plan, editor, OldLayoutHandling::RewriteFile);
        if (result.ok() || result.failure != OpenFailure::Unreadable)
            return "OpenPlanFile took a file CheckProjectFileBytes refuses";
        if (!SameRecord(plan, inMemory)) return "a refused file changed the plan";
        return {};
    }

    // The file functions agree with the in-memory reading: ReadProjectFile in
    // both modes, the file an upgrade rewrites, and OpenPlanFile.
    std::string CheckFiles(std::span<const std::uint8_t> data, const TSignalPlan& inMemory,
                           const TSignalPlan& record, const std::vector<std::uint8_t>& upgraded,
                           const TSignalPlan& opened) {
        const std::filesystem::path path = folder_ / "input.kdt";
        if (std::string error = WriteFileAtomically(path, data).error; !error.empty())
            return "writing the input: " + error;
        const bool oldLayout = data[kFormatVersionOffset] <= 1;

        TSignalPlan kept = inMemory;
        const ProjectFileRead keepRead = ReadProjectFile(path, kept, OldLayoutHandling::KeepFile);
        if (!keepRead.ok()) return "ReadProjectFile (KeepFile) failed: " + keepRead.error;
        if (!SameRecord(kept, record))
            return "ReadProjectFile (KeepFile) read " + FirstDifference(kept, record);
        if (ReadFileBytes(path).bytes != std::vector<std::uint8_t>(data.begin(), data.end()))
            return "ReadProjectFile (KeepFile) changed the file";

        TSignalPlan rewritten = inMemory;
        const ProjectFileRead rewriteRead = ReadProjectFile(path, rewritten, OldLayoutHandling::RewriteFile);
        if (!rewriteRead.ok()) return "ReadProjectFile (RewriteFile) failed: " + rewriteRead.error;
        if (!rewriteRead.rewriteError.empty())
            return "rewriting the file failed: " + rewriteRead.rewriteError;
        if (!SameRecord(rewritten, record))
            return "ReadProjectFile (RewriteFile) read " + FirstDifference(rewritten, record);
        const std::vector<std::uint8_t> after = ReadFileBytes(path).bytes;
        if (oldLayout ? after != upgraded : after != std::vector<std::uint8_t>(data.begin(), data.end()))
            return oldLayout ? "the rewritten file is not the upgraded bytes"
                             : "a current file was rewritten";

        // OpenPlanFile on the original bytes: the record, opened, tied to the file.
        if (std::string error = WriteFileAtomically(path, data).error; !error.empty())
            return "writing the input: " + error;
        TSignalPlan plan = inMemory;
        PlanEditorState editor;
        const OpenPlanResult result = OpenPlanFile(path, plan, editor, OldLayoutHandling::KeepFile);
        if (!result.ok()) return "OpenPlanFile failed: " + result.error;
        if (result.layoutVersion != data[kFormatVersionOffset]) return "OpenPlanFile reported another layout";
        TSignalPlan expected = opened;
        StoreProjectFileName(expected, path);
        if (!SameRecord(plan, expected)) return "OpenPlanFile opened " + FirstDifference(plan, expected);
        return {};
    }

    std::filesystem::path folder_;
};

// ---- ROM images ----------------------------------------------------------

// Decodes with one reader for every input, as the program keeps one. A
// refused image leaves the plan alone; an accepted one is the scratch record
// and within the reader's checks.
class RomImageHarness {
public:
    std::string Run(std::span<const std::uint8_t> image) {
        for (const std::uint8_t rom : kReadableRomTypes) {
            if (std::string failure = RunOne(image, rom); !failure.empty())
                return failure + " (RomVersion " + std::to_string(rom) + ")";
        }
        return {};
    }

private:
    std::string RunOne(std::span<const std::uint8_t> image, std::uint8_t rom) {
        TSignalPlan plan;
        std::memset(&plan, 0x5A, sizeof plan);
        const TSignalPlan before = plan;
        const bool ok = reader_.DecodeRomImage(image, rom, plan);
        if (!ok) return SameRecord(plan, before) ? std::string() : "a refused image changed the plan";
        if (image.size() < RomImageSize(rom)) return "an image shorter than the layout was accepted";
        if (!SameRecord(plan, reader_.scratch())) return "the decoded plan is not the reader's record";
        if (plan.RomVersion != rom) return "the decoded plan has another RomVersion";
        if (plan.ConflictExitPeriod < (rom > kRom413 ? 5 : 10) || plan.ConflictExitPeriod > 255)
            return "ConflictExitPeriod outside the reader's check";
        if (plan.ConflictRepeatCount < 1 || plan.ConflictRepeatCount > 10)
            return "ConflictRepeatCount outside 1..10";
        if (plan.PhaseCount < 1 || plan.PhaseCount > kMaxPhases) return "PhaseCount outside 1..16";
        if (plan.DirectionCount < 1 || plan.DirectionCount > kMaxDirections)
            return "DirectionCount outside 1..16";
        if (plan.ProgramCount < 1 || plan.ProgramCount > kMaxPrograms) return "ProgramCount outside 1..16";
        if (plan.PhaseEndBlinkCount > 9) return "PhaseEndBlinkCount above 9";
        if (plan.NetworkType > 5) return "NetworkType above 5";

        OpenRecord(plan, true);
        if (std::string failure = CheckAnalysis(plan); !failure.empty()) return failure;
        return CheckReopenedImageIsStable(plan);
    }

    RomImageReader reader_;
};

// ---- Intel HEX text --------------------------------------------------------

// Any text as a HEX file from disk, read strictly as opening a .hex file
// does: a read image is at most the 16-bit address space, a refused one
// empty; the image written back as the builder writes records reads as
// itself, and the builder's conversion (HexToBin, which makes BIN files)
// gives the same bytes; and it is decoded as each ROM type.
class HexTextHarness {
public:
    std::string Run(std::span<const std::uint8_t> data) {
        const std::string text(data.begin(), data.end());
        const HexConversion converted = ReadHexFileText(text);
        if (!converted.ok()) return converted.image.empty() ? std::string() : "a refused file left an image";
        if (converted.image.size() > 0x10000) return "an image beyond 64 KiB";
        for (const std::string& line : SplitHexLines(text))
            if (line.find('\n') != std::string::npos) return "a split line holds a line feed";

        std::vector<std::string> again;
        for (std::size_t at = 0; at < converted.image.size(); at += 16) {
            const std::size_t length = std::min<std::size_t>(16, converted.image.size() - at);
            again.push_back(FormatHexRecord(static_cast<std::uint8_t>(length), kHexDataRecord,
                                            static_cast<std::uint16_t>(at),
                                            std::span(converted.image).subspan(at, length)));
        }
        again.push_back(FormatHexRecord(0, kHexEndOfFileRecord, 0, {}));
        const HexConversion back = ReadHexFileText(HexFileText(again));
        if (!back.ok() || back.image != converted.image) return "the image written as HEX did not read back";
        const HexConversion built = HexToBin(again);
        if (!built.ok() || built.image != converted.image)
            return "the builder's conversion of the same records gave other bytes";

        return roms_.Run(converted.image);
    }

private:
    RomImageHarness roms_;
};

}  // namespace kdt::fuzz
