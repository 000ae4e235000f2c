#include "data/ProjectFile.h"

#include <algorithm>
#include <cstring>

#include "common/FileIO.h"
#include "data/TextEncoding.h"

namespace kdt {
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kNetworkAddressByteOffset = 12;
constexpr std::size_t kSpeedScheduleOffset = 3876;
constexpr std::size_t kSpeedScheduleSize = sizeof(TSpeedEntry) * kSpeedRows;
constexpr std::size_t kNetworkAddressOffset = 3956;

// Layout 0 stored every duration in one byte and had narrower blocks; these
// are its block positions and sizes next to the current ones.
constexpr std::size_t kLayout0ButtonsOffset = 76;
constexpr std::size_t kLayout0DirectionsOffset = 124;
constexpr std::size_t kLayout0ManualOffset = 572;
constexpr std::size_t kLayout0DirectionSize = 28;
constexpr std::size_t kLayout0PhasesOffset = 1020;
constexpr std::size_t kLayout0ScheduleOffset = 1100;
constexpr std::size_t kLayout0ProgramsOffset = 1436;
constexpr std::size_t kLayout0ProgramSize = 52;
constexpr std::size_t kLayout0ToCurrentShift = 2843 - kLayout0FixedPartSize;

void Copy(const std::vector<std::uint8_t>& from, std::size_t fromOffset, std::vector<std::uint8_t>& to,
          std::size_t toOffset, std::size_t count) {
    std::memcpy(to.data() + toOffset, from.data() + fromOffset, count);
}

// A byte becomes a little-endian uint16 with the same value.
void Widen(const std::vector<std::uint8_t>& from, std::size_t fromOffset, std::vector<std::uint8_t>& to,
           std::size_t toOffset) {
    to[toOffset] = from[fromOffset];
    to[toOffset + 1] = 0;
}

void ConvertLayout0Direction(const std::vector<std::uint8_t>& old, std::size_t oldOffset,
                             std::vector<std::uint8_t>& current, std::size_t newOffset) {
    Copy(old, oldOffset, current, newOffset, 20);  // the five masks
    for (std::size_t i = 0; i < 5; ++i) Widen(old, oldOffset + 20 + i, current, newOffset + 20 + 2 * i);
}

std::vector<std::uint8_t> ConvertLayout0ToLayout1(const std::vector<std::uint8_t>& old) {
    std::vector<std::uint8_t> current(old.size() + kLayout0ToCurrentShift, 0);
    Copy(old, 0, current, 0, 17);
    current[kFormatVersionOffset] = 1;
    Widen(old, 17, current, 17);     // MinPhaseDuration
    current[19] = old[18];           // PhaseEndBlinkCount
    Widen(old, 19, current, 20);     // ConflictExitPeriod
    current[22] = old[20];           // ConflictRepeatCount
    Copy(old, 21, current, 23, 32);  // ChannelColour; old bytes 53..55 are dropped
    Copy(old, 56, current, 55, 20);  // the five channel masks
    for (std::size_t i = 0; i < 6; ++i) {
        const std::size_t from = kLayout0ButtonsOffset + 8 * i;
        const std::size_t to = offsetof(TSignalPlan, Tvp) + 8 * i;
        Widen(old, from, current, to);            // Phase
        Widen(old, from + 1, current, to + 2);    // Duration
        Copy(old, from + 4, current, to + 4, 4);  // WaitMask
    }
    for (std::size_t d = 0; d < kMaxDirections; ++d) {
        ConvertLayout0Direction(old, kLayout0DirectionsOffset + kLayout0DirectionSize * d, current,
                                offsetof(TSignalPlan, Direction) + sizeof(TDirectionSettings) * d);
        ConvertLayout0Direction(old, kLayout0ManualOffset + kLayout0DirectionSize * d, current,
                                offsetof(TSignalPlan, DirectionManual) + sizeof(TDirectionSettings) * d);
    }
    Copy(old, kLayout0PhasesOffset, current, offsetof(TSignalPlan, PhaseDirections), 80);
    Copy(old, kLayout0ScheduleOffset, current, offsetof(TSignalPlan, Schedule), 336);
    for (std::size_t p = 0; p < kMaxPrograms; ++p) {
        const std::size_t from = kLayout0ProgramsOffset + kLayout0ProgramSize * p;
        const std::size_t to = offsetof(TSignalPlan, Program) + sizeof(TSignalProgram) * p;
        Copy(old, from, current, to, 20);  // TactCount, CycleLength, TactPhase
        for (std::size_t t = 0; t < kMaxTacts; ++t) {
            Widen(old, from + 20 + t, current, to + 20 + 2 * t);  // TactDuration
            Widen(old, from + 36 + t, current, to + 52 + 2 * t);  // TactInterDuration
        }
    }
    Copy(old, kLayout0FixedPartSize, current, offsetof(TSignalPlan, PowerOnState),
         old.size() - kLayout0FixedPartSize);
    return current;
}

// Old layouts had no speed table and kept the address in one byte.
void PlaceSpeedTableAndAddress(std::vector<std::uint8_t>& file, const TSignalPlan& planInMemory,
                               std::uint8_t addressLowByte) {
    if (file.size() < kNetworkAddressOffset + 1) file.resize(kNetworkAddressOffset + 1, 0);
    std::memcpy(file.data() + kSpeedScheduleOffset, planInMemory.SpeedSchedule, kSpeedScheduleSize);
    file[kNetworkAddressOffset] = addressLowByte;
}

// A file too short to hold byte 12 has no address to carry over.
std::uint8_t NetworkAddressLowByte(const std::vector<std::uint8_t>& file) {
    return file.size() > kNetworkAddressByteOffset ? file[kNetworkAddressByteOffset] : 0;
}

bool IsOldLayout(std::uint8_t version) {
    return version == 0 || version == 1;
}

}  // namespace

static_assert(offsetof(TSignalPlan, SpeedSchedule) == kSpeedScheduleOffset);
static_assert(offsetof(TSignalPlan, NetworkAddress) == kNetworkAddressOffset);
static_assert(offsetof(TSignalPlan, NetworkAddressByte) == kNetworkAddressByteOffset);
static_assert(offsetof(TSignalPlan, PowerOnState) - kLayout0FixedPartSize == kLayout0ToCurrentShift);
static_assert(kLayout0ProgramsOffset + kLayout0ProgramSize * kMaxPrograms == kLayout0FixedPartSize);

Outcome CheckProjectFileBytes(std::span<const std::uint8_t> fileBytes) {
    if (fileBytes.empty()) return Outcome::Failure("файл пуст");
    if (fileBytes.size() <= kFormatVersionOffset)
        return Outcome::Failure("файл слишком короткий для файла СОД (" + std::to_string(fileBytes.size()) +
                                " байт)");
    if (fileBytes[kFormatVersionOffset] == 0 && fileBytes.size() < kLayout0FixedPartSize)
        return Outcome::Failure("файл старого формата короче его постоянной части (" +
                                std::to_string(fileBytes.size()) + " из " +
                                std::to_string(kLayout0FixedPartSize) + " байт)");
    return Outcome::Success();
}

std::size_t UpgradeProjectFile(std::vector<std::uint8_t>& fileBytes, const TSignalPlan& planInMemory) {
    const std::size_t originalSize = fileBytes.size();
    const std::uint8_t addressLowByte = NetworkAddressLowByte(fileBytes);
    switch (fileBytes[kFormatVersionOffset]) {
        case 0:
            fileBytes = ConvertLayout0ToLayout1(fileBytes);
            PlaceSpeedTableAndAddress(fileBytes, planInMemory, addressLowByte);
            return kSignalPlanSize;
        case 1:
            fileBytes[kFormatVersionOffset] = kCurrentFormatVersion;
            PlaceSpeedTableAndAddress(fileBytes, planInMemory, addressLowByte);
            return std::min(originalSize, kSignalPlanSize);
        default:  // the current layout, and version bytes no layout knows, are read as they are
            return std::min(originalSize, kSignalPlanSize);
    }
}

ProjectFileRead ReadProjectFile(const fs::path& path, TSignalPlan& plan, OldLayoutHandling oldLayouts) {
    ProjectFileRead result;
    FileReadResult file = ReadFileBytes(path, kSignalPlanSize);
    if (!file.ok()) {
        result.error = file.error;
        return result;
    }
    if (const Outcome check = CheckProjectFileBytes(file.bytes); !check.ok()) {
        result.error = "Файл \"" + PathToUtf8(path) + "\" не является файлом СОД: " + check.error;
        return result;
    }
    result.layoutVersion = file.bytes[kFormatVersionOffset];
    const std::size_t bytesRead = file.bytes.size();

    const std::size_t readCount = UpgradeProjectFile(file.bytes, plan);
    if (IsOldLayout(result.layoutVersion) && oldLayouts == OldLayoutHandling::RewriteFile) {
        // Only the first record's worth was read: the upgrade changes nothing
        // beyond it but its position, so the rest of a longer file is copied
        // from the file itself after the upgraded bytes.
        WriteOptions options;
        options.keepTailFrom = bytesRead;
        result.rewriteError = WriteFileAtomically(path, file.bytes, options).error;
    }

    const std::size_t available = std::min(readCount, file.bytes.size());
    std::memcpy(RecordBytes(plan).data(), file.bytes.data(), available);
    if (available < kSignalPlanSize)
        result.shortFileWarning =
            "файл \"" + PathToUtf8(path) + "\" короче записи СОД: в нём " + std::to_string(bytesRead) +
            " байт, в записи " + std::to_string(kSignalPlanSize) + "; остальные поля плана остались прежними";
    return result;
}

Outcome SaveProjectFile(const fs::path& path, TSignalPlan& plan) {
    plan.FormatVersion = kCurrentFormatVersion;
    // A longer file keeps its bytes beyond the record, streamed rather than read whole.
    WriteOptions options;
    options.keepTailFrom = kSignalPlanSize;
    return WriteFileAtomically(path, RecordBytes(plan), options);
}

std::string LowerCaseExtension(const fs::path& path) {
    return LowerCaseCp1251Letters(PathToUtf8(path.extension()));
}

fs::path ProjectSaveName(const fs::path& chosen) {
    if (LowerCaseExtension(chosen) == ".kdt") return chosen;
    fs::path name = chosen;
    name += ".kdt";
    return name;
}

std::string ProjectPathText(const fs::path& path) {
#if defined(_WIN32)
    return LowerCaseCp1251Letters(PathToUtf8(path));
#else
    return PathToUtf8(path);
#endif
}

void StoreProjectFileName(TSignalPlan& plan, const fs::path& path) {
    StoreText(plan.ProjectFileName, Utf8ToCp1251(ProjectPathText(path)));
}

}  // namespace kdt
