#include "rom/RomImageReader.h"

#include <algorithm>
#include <cstring>

#include "common/FileIO.h"
#include "data/ProjectFile.h"
#include "rom/KonvertHexBin.h"
#include "rom/RomLayout.h"

namespace kdt {
namespace {

// The largest image file taken in: the 16-bit address space, or the text of
// a HEX file that fills it.
constexpr std::size_t kMaxBinFileSize = 0x10000;
constexpr std::size_t kMaxHexFileSize = 8 * 1024 * 1024;

constexpr std::uint8_t kColourRed = 1;
constexpr std::uint8_t kColourYellow = 2;
constexpr std::uint8_t kColourGreen = 3;

// Reads the image from an address on; a read past its end yields 0 and is
// remembered, so the caller refuses the image instead of reading outside it.
class ImageCursor {
public:
    explicit ImageCursor(std::span<const std::uint8_t> image) : image_(image) {}

    void Seek(std::size_t address) { position_ = address; }
    void Skip(std::size_t count) { position_ += count; }
    std::uint8_t Byte() {
        if (position_ >= image_.size()) {
            overrun_ = true;
            ++position_;
            return 0;
        }
        return image_[position_++];
    }
    std::uint16_t Word() {
        const std::uint16_t low = Byte();
        return static_cast<std::uint16_t>(low | (Byte() << 8));
    }
    std::uint32_t Mask() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value |= std::uint32_t(Byte()) << (8 * i);
        return value;
    }
    bool overrun() const { return overrun_; }

private:
    std::span<const std::uint8_t> image_;
    std::size_t position_ = 0;
    bool overrun_ = false;
};

void Paint(TSignalPlan& plan, std::uint32_t mask, std::uint8_t colour) {
    for (int k = 0; k < kChannelCount; ++k)
        if (mask & (1u << k)) plan.ChannelColour[k] = colour;
}

// A 4.1.3 image has the four buttons but not their count: the count becomes
// the last button that differs from an unused one, so the normalisation after
// the open keeps the buttons the plan used.
std::uint8_t TvpButtonCountFromButtons(const TSignalPlan& plan) {
    constexpr std::uint16_t kUnusedDuration = 40;
    std::uint8_t count = 0;
    for (int b = 1; b <= kMaxTvpButtons; ++b) {
        const TTvpButton& button = plan.Tvp[b];
        if (button.Phase != 0 || button.Duration != kUnusedDuration || button.WaitMask != 0)
            count = static_cast<std::uint8_t>(b);
    }
    return count;
}

class ImageDecoder {
public:
    ImageDecoder(std::span<const std::uint8_t> image, const RomLayout& layout, TSignalPlan& scratch)
        : in_(image), layout_(layout), s_(scratch) {}

    // The fields every readable layout carries, with the checks in order.
    bool DecodeBase() {
        s_.ConflictExitPeriod = in_.Byte();
        if (s_.ConflictExitPeriod < (is42x() ? 5 : 10)) return false;
        s_.ConflictRepeatCount = in_.Byte();
        if (s_.ConflictRepeatCount < 1 || s_.ConflictRepeatCount > 10) return false;

        ReadPrograms();
        if (!is42x()) ReadButtons41x();
        in_.Seek(is42x() ? kMasksAddress42x : kMasksAddress41x);
        s_.YellowFlashMask = in_.Mask();
        s_.AllRedMask = in_.Mask();
        s_.GreenConflictMask = in_.Mask();
        s_.RedConflictMask = in_.Mask();
        s_.PhaseCount = in_.Byte();
        if (s_.PhaseCount < 1 || s_.PhaseCount > kMaxPhases) return false;
        s_.DirectionCount = in_.Byte();
        if (s_.DirectionCount < 1 || s_.DirectionCount > kMaxDirections) return false;
        s_.MinPhaseDuration = in_.Byte();
        s_.PhaseEndBlinkCount = in_.Byte();
        if (s_.PhaseEndBlinkCount > 9) return false;
        for (auto& street : s_.GreenStreet) street = in_.Byte();
        Paint(s_, s_.YellowFlashMask, kColourYellow);
        Paint(s_, s_.AllRedMask, kColourRed);

        ReadDirections();
        ReadPhases();
        if (is42x()) ReadButtons42x();
        if (!ReadSchedule()) return false;
        if (!ReadCoordinator()) return false;

        in_.Seek(layout_.powerOn);
        s_.PowerOnDuration = in_.Byte();
        s_.PowerOnState = in_.Byte();
        s_.VpuInterface = in_.Byte();
        in_.Seek(layout_.speedTable);
        for (TSpeedEntry& row : s_.SpeedSchedule) {
            row.Hour = in_.Byte();
            row.Minute = in_.Byte();
            for (auto& speed : row.Speed) speed = in_.Byte();
        }
        if (is42x()) {
            in_.Seek(kOptionFlagsAddress);
            s_.OptionFlags = in_.Byte();
        }
        if (!is42x()) s_.TvpButtonCount = TvpButtonCountFromButtons(s_);
        return !in_.overrun();
    }

    bool DecodeExtension421() {
        in_.Seek(kExtraLinesAddress);
        for (auto& slot : s_.ExtraLines)
            for (char& c : slot) c = static_cast<char>(in_.Byte());
        s_.DetectorCount = in_.Byte();
        for (TDetectorSettings& detector : s_.Detector) detector.ZoneCount = in_.Byte();
        for (TDetectorSettings& detector : s_.Detector)
            for (int z = 0; z < kMaxDetectorZones; ++z) detector.ZoneDirections[z] = in_.Word();
        in_.Seek(kPhaseMinTimeAddress);
        for (int p = 0; p < kMaxPhases; ++p) s_.PhaseMinTime[p] = in_.Byte();
        for (int p = 0; p < kMaxPhases; ++p) s_.PhaseMaxTime[p] = in_.Byte();
        return !in_.overrun();
    }

private:
    bool is42x() const { return layout_.family == RomFamily::Rom42x; }

    void ReadPrograms() {
        in_.Seek(kProgramBlockAddress);
        for (TSignalProgram& program : s_.Program) {
            program.TactCount = in_.Byte();
            for (auto& phase : program.TactPhase) phase = in_.Byte();
            for (int t = 0; t < kMaxTacts; ++t) program.TactDuration[t] = in_.Byte();
            for (int t = 0; t < kMaxTacts; ++t) program.TactInterDuration[t] = in_.Byte();
        }
        for (TSignalProgram& program : s_.Program) {
            const std::uint8_t cycle = in_.Byte();
            program.CycleLength = is42x() ? cycle : static_cast<std::uint16_t>(cycle * 2);
        }
    }

    void ReadButtons41x() {
        in_.Seek(kButtonsAddress41x);
        for (int b = 1; b <= kMaxTvpButtons; ++b) {
            s_.Tvp[b].Phase = in_.Byte();
            s_.Tvp[b].Duration = in_.Byte();
            s_.Tvp[b].WaitMask = in_.Mask();
        }
    }

    void ReadDurations(TDirectionSettings& direction) {
        direction.HeadDuration = in_.Byte();
        direction.TailDuration = in_.Byte();
        direction.ExtraGreenAfterGreen = in_.Byte();
        direction.ExtraGreenAfterRed = in_.Byte();
        direction.GreenBlinkCount = in_.Byte();
    }

    void ReadDirections() {
        in_.Seek(layout_.directions);
        for (int d = 0; d < kMaxDirections; ++d) {
            TDirectionSettings& direction = s_.Direction[d];
            direction.HeadMask = in_.Mask();
            direction.GreenMask = in_.Mask();
            direction.RedMask = in_.Mask();
            direction.TailMask = in_.Mask();
            direction.BlinkMask = in_.Mask();
            ReadDurations(direction);
            ReadDurations(s_.DirectionManual[d]);
            Paint(s_, direction.GreenMask, kColourGreen);
            Paint(s_, direction.RedMask, kColourRed);
        }
    }

    void ReadPhases() {
        in_.Seek(layout_.phases);
        for (int p = 0; p < kMaxPhases; ++p) {
            s_.PhaseDirections[p] = in_.Word();
            s_.PhaseInterTact[p] = in_.Byte();
        }
    }

    void ReadButtons42x() {
        in_.Seek(kTvpInterfaceAddress);
        s_.TvpInterface = in_.Byte();
        s_.TvpButtonCount = in_.Byte();
        for (int b = 1; b <= kMaxTvpButtons; ++b) {
            s_.TvpInsertPhase[b - 1] = in_.Byte();
            s_.Tvp[b].Phase = in_.Byte();
            s_.Tvp[b].Duration = in_.Byte();
            in_.Skip(1);
        }
        in_.Seek(kWaitMasksAddress);
        for (int b = 1; b <= kMaxTvpButtons; ++b) s_.Tvp[b].WaitMask = in_.Mask();
    }

    // The program count is the highest program the schedule runs.
    bool ReadSchedule() {
        in_.Seek(layout_.schedule);
        std::uint8_t highestCommand = kCommandFirstProgram - 1;
        for (auto& day : s_.Schedule) {
            for (TScheduleEntry& row : day) {
                row.Hour = in_.Byte();
                row.Minute = in_.Byte();
                row.Command = in_.Byte();
                highestCommand = std::max(highestCommand, row.Command);
            }
        }
        if (highestCommand < kCommandFirstProgram || highestCommand > kCommandFirstProgram + kMaxPrograms - 1)
            return false;
        s_.ProgramCount = static_cast<std::uint8_t>(highestCommand - (kCommandFirstProgram - 1));
        return true;
    }

    bool ReadCoordinator() {
        in_.Seek(layout_.coordinator);
        s_.NetworkType = in_.Byte();
        if (s_.NetworkType > 5) return false;
        s_.CoordControllerCount = 1;
        s_.NetworkAddress = 0;
        const std::uint8_t second = in_.Byte();
        if (s_.NetworkType == kNetworkMasterType) {
            s_.CoordControllerCount = second;
        } else {
            s_.NetworkAddress = second;
        }
        s_.NetworkAddress = static_cast<std::uint16_t>(s_.NetworkAddress + in_.Byte() * 256);
        for (int p = 0; p < s_.ProgramCount; ++p) {
            for (int k = 0; k < s_.CoordControllerCount; ++k) {
                const std::uint8_t delay = in_.Byte();
                // The record has room for 32 controllers; the image may list more.
                if (k < kMaxCoordControllers) s_.CoordDelay[p][k] = delay;
            }
        }
        return !in_.overrun();
    }

    ImageCursor in_;
    const RomLayout& layout_;
    TSignalPlan& s_;
};

}  // namespace

bool RomImageReader::DecodeRomImage(std::span<const std::uint8_t> image, std::uint8_t romVersion,
                                    TSignalPlan& plan) {
    if (romVersion < kRom413) return false;
    const RomLayout* layout = RomLayoutFor(romVersion);
    if (layout == nullptr || image.size() < layout->imageSize) return false;

    ImageDecoder decoder(image, *layout, scratch_);
    if (!decoder.DecodeBase()) return false;
    scratch_.RomVersion = layout->extension421 ? kRom420 : romVersion;
    plan = scratch_;
    if (!layout->extension421) return true;
    if (!decoder.DecodeExtension421()) return false;
    scratch_.RomVersion = kRom421;
    plan = scratch_;
    return true;
}

FileReadResult LoadRomImageFile(const std::filesystem::path& path) {
    const bool isHex = LowerCaseExtension(path) == ".hex";
    // A longer file cannot be an image of this controller; cut short, a HEX
    // file could lose the records that overwrite earlier ones.
    FileReadResult file = ReadFileBytes(path, isHex ? kMaxHexFileSize : kMaxBinFileSize, BeyondLimit::Refuse);
    if (!file.ok() || !isHex) return file;
    const std::string text(file.bytes.begin(), file.bytes.end());
    HexConversion converted = ReadHexFileText(text);
    FileReadResult result;
    if (!converted.ok()) {
        result.error = "Файл \"" + PathToUtf8(path) + "\": " + converted.error;
        return result;
    }
    result.bytes = std::move(converted.image);
    return result;
}

RomImageFileRead ReadRomImageFile(const std::filesystem::path& path, std::uint8_t romVersion,
                                  RomImageReader& reader, TSignalPlan& plan) {
    RomImageFileRead result;
    const FileReadResult image = LoadRomImageFile(path);
    if (!image.ok()) {
        result.status = RomImageFileRead::Status::Unreadable;
        result.error = image.error;
        return result;
    }
    if (!reader.DecodeRomImage(image.bytes, romVersion, plan)) {
        result.status = RomImageFileRead::Status::NoPlan;
        result.error = std::string(kNoPlanInImageMessage);
    }
    return result;
}

}  // namespace kdt
