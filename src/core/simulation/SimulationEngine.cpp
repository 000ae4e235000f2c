#include "simulation/SimulationEngine.h"

#include <algorithm>

#include "data/PlanRules.h"
#include "simulation/ScheduleLookup.h"

namespace kdt {
namespace {

constexpr int kMillisecondsPerMinute = 60 * 1000;
constexpr int kMillisecondsPerHour = 60 * kMillisecondsPerMinute;

std::uint8_t LowByte(unsigned value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

bool HasDirection(std::uint16_t directions, int d) {
    return (directions >> d) & 1u;
}

}  // namespace

std::string_view SimModePrefix(SimMode mode) {
    switch (mode) {
        case SimMode::PowerOn:
            return "Вкл. - ";
        case SimMode::Program:
            return "АПП - ";
        case SimMode::Pedestrian:
            return "ТВП - ";
        case SimMode::Manual:
            return "РУ - ";
        case SimMode::Fault:
            return "ФБ - ";
        case SimMode::Stopped:
            return "";
    }
    return "";
}

SimulationEngine::SimulationEngine(TSignalPlan& plan, int timeOfDay) : plan_(plan), timeOfDay_(0) {
    SetTimeOfDay(timeOfDay);
}

// ---- program arithmetic ---------------------------------------------------

const TSignalProgram& SimulationEngine::Program() const {
    return plan_.Program[std::clamp(currentProgram_, 1, kMaxPrograms) - 1];
}

int SimulationEngine::TactCountByte() const {
    return Program().TactCount & 0xFF;
}

int SimulationEngine::NextTact(int tact) const {
    const int n = TactCountByte();
    if (n < 2) return n;
    return tact < n ? tact + 1 : 1;
}

int SimulationEngine::PreviousTact(int tact) const {
    const int n = TactCountByte();
    return (n > 1 && tact > 1) ? tact - 1 : n;
}

// Tact 0 (no tact found for a program choice) and tacts past the 16 read as 0.
std::uint8_t SimulationEngine::TactPhaseAt(int tact) const {
    return tact >= 1 && tact <= kMaxTacts ? Program().TactPhase[tact - 1] : 0;
}
std::uint16_t SimulationEngine::TactDurationAt(int tact) const {
    return tact >= 1 && tact <= kMaxTacts ? Program().TactDuration[tact - 1] : 0;
}
std::uint16_t SimulationEngine::TactInterDurationAt(int tact) const {
    return tact >= 1 && tact <= kMaxTacts ? Program().TactInterDuration[tact - 1] : 0;
}

int SimulationEngine::DirectionLoopCount() const {
    return std::min<int>(plan_.DirectionCount, kMaxDirections);
}

// The longest switch-on of the program set: head plus early green, as a byte.
std::uint8_t SimulationEngine::LargestHeadAndEarlyGreen() const {
    unsigned largest = 0;
    for (int d = 0; d < DirectionLoopCount(); ++d)
        largest = std::max<unsigned>(largest,
                                     plan_.Direction[d].HeadDuration + plan_.Direction[d].ExtraGreenAfterRed);
    return LowByte(largest);
}

// ---- window operations ----------------------------------------------------

void SimulationEngine::SetTimeOfDay(int milliseconds) {
    timeOfDay_ = ((milliseconds % kMillisecondsPerDay) + kMillisecondsPerDay) % kMillisecondsPerDay;
}

void SimulationEngine::ChooseWeekday(int weekday) {
    weekday_ = weekday >= 0 && weekday <= 6 ? weekday : 0;
}

void SimulationEngine::SetPaused(bool paused) {
    paused_ = paused && running_;
}

void SimulationEngine::ChooseProgram(std::optional<int> program) {
    followSchedule_ = false;
    SelectProgram(program);
}

void SimulationEngine::ToggleRunning() {
    if (running_) {
        Stop();
    } else {
        Start();
    }
}

void SimulationEngine::WindowShown(int todayWeekday) {
    ChooseWeekday(todayWeekday);
    RefreshFromPlan();
    SelectShownProgram();
}

void SimulationEngine::WindowActivated() {
    RefreshFromPlan();
    if (!running_) SelectShownProgram();
}

void SimulationEngine::RefreshFromPlan() {
    for (ChannelRecord& channel : channels_) {
        channel.colourOf.fill(0);
        channel.wait.fill(0);
    }
    for (int d = 0; d < DirectionLoopCount(); ++d) {
        const TDirectionSettings& direction = plan_.Direction[d];
        const std::uint32_t used = direction.HeadMask | direction.GreenMask | direction.RedMask |
                                   direction.TailMask | direction.BlinkMask;
        for (int k = 0; k < kChannelCount; ++k)
            if ((used >> k) & 1u) channels_[k].colourOf[d] = plan_.ChannelColour[k];
    }
    for (int b = 1; b <= std::min<int>(plan_.TvpButtonCount, kMaxTvpButtons); ++b)
        for (int k = 0; k < kChannelCount; ++k)
            if ((plan_.Tvp[b].WaitMask >> k) & 1u) channels_[k].wait[b - 1] = 9;
    // The list is rebuilt; it goes on showing the running program.
    programListSize_ = std::min<int>(plan_.ProgramCount, kMaxPrograms);
    programListSelection_.reset();
    if (currentProgram_ >= 1 && currentProgram_ <= programListSize_) programListSelection_ = currentProgram_;
    for (int b = 1; b <= kMaxTvpButtons; ++b) controls_.pedestrianEnabled[b - 1] = plan_.TvpButtonCount >= b;
    for (int f = 2; f <= 4; ++f) controls_.phaseButtonEnabled[f - 2] = plan_.PhaseCount >= f;
    // With 4.2.x a button needs its insertion phase in the program, as after
    // every program selection.
    if (IsRom42x(plan_)) RefreshPedestrianButtons42x();
}

void SimulationEngine::SelectShownProgram() {
    if (followSchedule_) {
        SelectProgram(programListSelection_);
    } else {
        programListSelection_ = currentProgram_;
    }
}

// ---- tick -----------------------------------------------------------------

void SimulationEngine::Tick() {
    controls_.pauseEnabled = running_;
    if (!paused_) {
        AdvanceClock();
        if (mode_ == SimMode::Stopped) lamps_ = 0;
        if (running_) {
            const std::uint16_t powerOnTicks = static_cast<std::uint16_t>(2 * plan_.PowerOnDuration);
            if (tickCount_ <= powerOnTicks) {
                if (tickCount_ == powerOnTicks && mode_ == SimMode::PowerOn) mode_ = SimMode::Program;
                command_ = plan_.PowerOnState;
                if (plan_.PowerOnState == kSimCommandPhase) {
                    plan_.PowerOnDuration = 0;
                    StartProgram();
                }
            } else {
                // Without the schedule nothing else would turn the power-on
                // state into the program: the chosen program starts now.
                if (powerOnEnding_ && !followSchedule_ && mode_ == SimMode::Program)
                    command_ = kSimCommandPhase;
                powerOnEnding_ = false;
                if (mode_ == SimMode::Manual) ApplyManualCommand();
            }
            ApplyCommand();
            if (IsRom42x(plan_)) {
                CycleEngine42x();
            } else {
                CycleEngine41x();
            }
            ++tickCount_;
            Outputs();
        }
    }
    faultResult_ = ConflictMonitor();
    if (faultResult_ == 1) {
        command_ = kSimCommandOff;
        mode_ = SimMode::Fault;
    } else if (faultResult_ == 2) {
        command_ = kSimCommandYellowFlash;
        mode_ = SimMode::Fault;
    }
}

// The clock runs while the schedule is followed. The weekday moves on once,
// on the tick whose clock passes midnight.
void SimulationEngine::AdvanceClock() {
    if (!followSchedule_) return;
    const int before = timeOfDay_;
    timeOfDay_ = (timeOfDay_ + kMillisecondsPerTick) % kMillisecondsPerDay;
    const std::optional<int> program = ScheduleLookup();
    // Only a valid program number is selected: a raw command or a missing row
    // keeps the program that runs.
    if (program && command_ == kSimCommandPhase) SelectProgram(*program);
    if (timeOfDay_ < before) weekday_ = (weekday_ + 1) % kDayCount;
}

std::optional<int> SimulationEngine::ScheduleLookup() {
    const int hour = timeOfDay_ / kMillisecondsPerHour;
    const int minute = (timeOfDay_ / kMillisecondsPerMinute) % 60;
    const int command = ScheduleCommandAt(plan_, weekday_, hour, minute);
    if (mode_ != SimMode::Program && mode_ != SimMode::PowerOn) return std::nullopt;
    if (command < kSimCommandPhase) {
        command_ = static_cast<std::uint8_t>(command);
        return std::nullopt;
    }
    command_ = kSimCommandPhase;
    const int program = command - 127;
    if (program == currentProgram_ || program < 1 || program > kMaxPrograms) return std::nullopt;
    return program;
}

void SimulationEngine::SelectProgram(std::optional<int> program) {
    int p = program.value_or(currentProgram_);
    if (p < 1 || p > kMaxPrograms) p = currentProgram_;
    if (p < 1 || p > plan_.ProgramCount) p = 1;
    programListSelection_ = p;
    currentProgram_ = p;
    currentTact_ = 0;
    const int tactCount = std::min(TactCountByte(), kMaxTacts);
    for (int t = 1; t <= tactCount; ++t) {
        if (TactPhaseAt(t) == previousPhase_) {
            currentTact_ = t;
            break;
        }
    }
    if (appliedCommand_ != kSimCommandPhase) {
        StartProgram();
        command_ = kSimCommandPhase;
    }
    if (IsRom42x(plan_)) RefreshPedestrianButtons42x();
}

// A button can call its phase only where the program shows the phase it is
// inserted into.
void SimulationEngine::RefreshPedestrianButtons42x() {
    const int tactCount = std::min(TactCountByte(), kMaxTacts);
    for (int b = 1; b <= kMaxTvpButtons; ++b) {
        bool enabled = false;
        if (b <= plan_.TvpButtonCount)
            for (int t = 1; t <= tactCount; ++t)
                enabled = enabled || TactPhaseAt(t) == plan_.TvpInsertPhase[b - 1];
        controls_.pedestrianEnabled[b - 1] = enabled;
    }
}

void SimulationEngine::StartProgram() {
    if (currentProgram_ < 1 || currentProgram_ > kMaxPrograms) return;
    currentTact_ = 1;
    targetPhase_ = TactPhaseAt(1);
    const std::uint16_t offset = static_cast<std::uint16_t>(LargestHeadAndEarlyGreen() - 1);
    interTactTime_ = transitionTime_ = sequenceTime_ = offset;
    tactCountdown_ = static_cast<std::uint16_t>(TactDurationAt(1) - 1 + offset);
    programSeconds_ = static_cast<std::int16_t>(1 - offset);
    SetPedestrianCountdowns(offset);
}

void SimulationEngine::ApplyCommand() {
    if (appliedCommand_ == command_) return;
    switch (command_) {
        case kSimCommandOff:
            lamps_ = flashingLamps_ = 0;
            break;
        case kSimCommandAllRed:
            lamps_ = plan_.AllRedMask;
            flashingLamps_ = 0;
            break;
        case kSimCommandYellowFlash:
            lamps_ = flashingLamps_ = plan_.YellowFlashMask;
            break;
        default:
            if (static_cast<std::uint8_t>(mode_) > static_cast<std::uint8_t>(SimMode::Pedestrian))
                StartProgram();
            break;
    }
}

void SimulationEngine::CycleEngine41x() {
    if (!running_) return;
    switch (mode_) {
        case SimMode::Program:
            ++programSeconds_;
            if (tactCountdown_ > 0) {
                --tactCountdown_;
            } else if (command_ == kSimCommandPhase && TactCountByte() > 0) {
                interTactTime_ = TactInterDurationAt(currentTact_);
                currentTact_ = NextTact(currentTact_);
                if (currentTact_ == 1) {
                    servedCalls_.fill(0);
                    if (PedestrianService41x()) return;  // the status line stays as it was this tick
                }
                targetPhase_ = TactPhaseAt(currentTact_);
                if (targetPhase_ != currentPhase_)
                    tactCountdown_ = static_cast<std::uint16_t>(
                        TactInterDurationAt(PreviousTact(currentTact_)) + TactDurationAt(currentTact_) - 1);
            }
            break;
        case SimMode::Pedestrian:
            if (tactCountdown_ > 0) {
                --tactCountdown_;
            } else if (!PedestrianService41x()) {
                // After a pedestrian phase the cycle begins again from its start.
                interTactTime_ = PhaseInterTactOf(plan_, targetPhase_);
                currentTact_ = TactPhaseAt(1) == targetPhase_ ? 2 : 1;
                targetPhase_ = TactPhaseAt(currentTact_);
                tactCountdown_ =
                    static_cast<std::uint16_t>(TactDurationAt(currentTact_) - 1 + interTactTime_);
                transitionTime_ = sequenceTime_ = interTactTime_;
            }
            break;
        default:
            tactCountdown_ = static_cast<std::uint16_t>(TactDurationAt(currentTact_) - 1);
            break;
    }
    StatusTexts();
    panels_[4] = "Сек. Прогр. " + std::to_string(programSeconds_ / 2);
}

void SimulationEngine::CycleEngine42x() {
    if (!running_) return;
    ++programSeconds_;
    PedestrianStep42x();
    switch (mode_) {
        case SimMode::Pedestrian:
            if (tactCountdown_ > 0) {
                --tactCountdown_;
            } else {
                // The cycle goes on with the tact after the inserted phase.
                mode_ = SimMode::Program;
                interTactTime_ =
                    pedestrianPhaseNumber_ >= 1 ? PhaseInterTactOf(plan_, pedestrianPhaseNumber_ - 1u) : 0;
                currentTact_ = NextTact(currentTact_);
                targetPhase_ = TactPhaseAt(currentTact_);
                if (targetPhase_ != currentPhase_)
                    tactCountdown_ =
                        static_cast<std::uint16_t>(TactDurationAt(currentTact_) - 1 + interTactTime_);
            }
            EndOfInsertion42x();
            break;
        case SimMode::Program:
            if (tactCountdown_ > 0) {
                --tactCountdown_;
            } else if (command_ == kSimCommandPhase) {
                interTactTime_ = TactInterDurationAt(currentTact_);
                currentTact_ = NextTact(currentTact_);
                targetPhase_ = TactPhaseAt(currentTact_);
                if (targetPhase_ != currentPhase_)
                    tactCountdown_ = static_cast<std::uint16_t>(
                        TactInterDurationAt(PreviousTact(currentTact_)) + TactDurationAt(currentTact_) - 1);
            }
            break;
        default:
            tactCountdown_ = static_cast<std::uint16_t>(TactDurationAt(currentTact_) - 1);
            break;
    }
    StatusTexts();
    if (mode_ != SimMode::Pedestrian && mode_ != SimMode::Program) {
        for (int b = 0; b < kMaxTvpButtons; ++b) panels_[b].clear();
        return;
    }
    for (int b = 1; b <= std::min<int>(plan_.TvpButtonCount, kMaxTvpButtons); ++b)
        panels_[b - 1] = "ТВП " + std::to_string(b) + "  " + std::to_string(pedestrianCountdown_[b - 1] / 2);
    panels_[4] = "Сек. Прогр. " + std::to_string(programSeconds_ / 2);
}

void SimulationEngine::StatusTexts() {
    std::string commandText;
    switch (command_) {
        case kSimCommandOff:
            commandText = "ОС";
            break;
        case kSimCommandAllRed:
            commandText = "КК";
            break;
        case kSimCommandYellowFlash:
            commandText = "ЖМ";
            break;
        case kSimCommandPhase:
            TactStages();
            commandText = " Фаза " + std::to_string(currentPhase_ + 1);
            break;
        case 4:
            commandText = "Останов";
            break;
        case 5:
            commandText = "ЗУ";
            break;
        default:
            break;  // a power-on state no controller knows
    }
    if (command_ != kSimCommandPhase) {
        appliedCommand_ = command_;
        tactStage_ = 0;
        previousPhase_ = currentPhase_ = targetPhase_ = 0;
    }
    std::string line = std::string(SimModePrefix(mode_)) + commandText;
    switch (tactStage_) {
        case 1:
            line += " промтакт  " + std::to_string(stageCounter_ / 2);
            break;
        case 2:
            line += " основной  " + std::to_string(tactCountdown_ / 2) + " [выдержка  " +
                    std::to_string(stageCounter_ / 2) + "]";
            break;
        case 3:
            if (mode_ != SimMode::Manual) line += " основной  " + std::to_string(tactCountdown_ / 2);
            break;
        default:
            break;
    }
    statusLine_ = std::move(line);
}

void SimulationEngine::Start() {
    running_ = true;
    powerOnEnding_ = true;
    tickCount_ = 0;
    mode_ = SimMode::PowerOn;
    SelectProgram(programListSelection_);
    faultCountdown_ = 0;
    controls_.buttonGroupUsable = true;
}

void SimulationEngine::Stop() {
    if (mode_ == SimMode::Manual) ToggleManual();
    running_ = false;
    powerOnEnding_ = false;
    paused_ = false;
    currentProgram_ = 0;
    currentTact_ = 0;
    previousPhase_ = currentPhase_ = targetPhase_ = 0;
    pedestrianPhaseNumber_ = 0;
    tactCountdown_ = interTactTime_ = transitionTime_ = sequenceTime_ = 0;
    programSeconds_ = 0;
    sourceDirections_ = targetDirections_ = onDirections_ = offDirections_ = 0;
    tactStage_ = stageCounter_ = 0;
    directionStep_.fill(0);
    directionCounter_.fill(0);
    callQueue_.fill(0);
    servedCalls_.fill(0);
    servingCall_ = 0;
    pedestrianCountdown_.fill(0);
    lamps_ = flashingLamps_ = waitLamps_ = computedLamps_ = actualLamps_ = 0;
    faultResult_ = 0;
    for (ChannelRecord& channel : channels_) channel.lit = 0;
    mode_ = SimMode::Stopped;
    command_ = kSimCommandOff;
    appliedCommand_ = 255;
    manualCommand_ = kNoManualCommand;
    controls_.buttonGroupUsable = false;
    statusLine_.clear();
    for (std::string& panel : panels_) panel.clear();
}

// ---- pedestrian calls -----------------------------------------------------

// Each button's countdown reaches 0 at the last moment of the cycle at which
// its phase still fits into the tact showing its insertion phase.
void SimulationEngine::SetPedestrianCountdowns(std::uint16_t startOffset) {
    std::uint16_t elapsed = startOffset;
    const int tactCount = std::min(TactCountByte(), kMaxTacts);
    const int buttonCount = std::min<int>(plan_.TvpButtonCount, kMaxTvpButtons);
    for (int i = 1; i <= tactCount; ++i) {
        const std::uint16_t tactTime = static_cast<std::uint16_t>(TactDurationAt(i) + TactInterDurationAt(i));
        for (int j = 1; j <= buttonCount; ++j) {
            if (plan_.TvpInsertPhase[j - 1] != TactPhaseAt(i)) continue;
            const TTvpButton& button = plan_.Tvp[j];
            pedestrianCountdown_[j - 1] =
                static_cast<std::uint16_t>(tactTime -
                                           (PhaseInterTactOf(plan_, TactPhaseAt(i)) + button.Duration +
                                            PhaseInterTactOf(plan_, button.Phase)) +
                                           elapsed);
            break;
        }
        elapsed = static_cast<std::uint16_t>(elapsed + tactTime);
    }
}

bool SimulationEngine::PedestrianService41x() {
    if (static_cast<std::uint8_t>(mode_) < static_cast<std::uint8_t>(SimMode::Pedestrian)) return false;
    bool anyServed = false;
    for (const std::uint8_t call : callQueue_) {
        if (call == 0) break;
        anyServed =
            anyServed || std::find(servedCalls_.begin(), servedCalls_.end(), call) != servedCalls_.end();
    }
    if (callQueue_[0] == 0 || anyServed) {
        mode_ = SimMode::Program;
        return false;
    }
    const std::uint8_t call = callQueue_[0];
    *std::find(servedCalls_.begin(), servedCalls_.end(), 0) = call;
    const TTvpButton& button = plan_.Tvp[call];
    targetPhase_ = LowByte(button.Phase);
    tactCountdown_ = static_cast<std::uint16_t>(button.Duration + PhaseInterTactOf(plan_, targetPhase_) - 1);
    waitLamps_ &= ~button.WaitMask;
    mode_ = SimMode::Pedestrian;
    std::rotate(callQueue_.begin(), callQueue_.begin() + 1, callQueue_.end());
    callQueue_.back() = 0;
    return true;
}

void SimulationEngine::PedestrianStep42x() {
    for (int b = 1; b <= kMaxTvpButtons; ++b) {
        std::uint16_t& countdown = pedestrianCountdown_[b - 1];
        if (countdown == 0 && TactCountByte() > 1) {
            countdown = static_cast<std::uint16_t>(Program().CycleLength - 1);
            continue;
        }
        if (countdown > 0) --countdown;
        if (countdown != 0) continue;
        for (std::uint8_t& slot : callQueue_) {
            if (slot != b || plan_.TvpInsertPhase[b - 1] != targetPhase_) continue;
            interTactTime_ = PhaseInterTactOf(plan_, targetPhase_);
            targetPhase_ = LowByte(plan_.Tvp[b].Phase);
            pedestrianPhaseNumber_ = static_cast<std::uint8_t>(targetPhase_ + 1);
            tactCountdown_ = static_cast<std::uint16_t>(plan_.Tvp[b].Duration + interTactTime_);
            slot = 0;
            servingCall_ = static_cast<std::uint8_t>(b);
            mode_ = SimMode::Pedestrian;
        }
    }
}

void SimulationEngine::EndOfInsertion42x() {
    if (servingCall_ == 0) return;
    pedestrianCountdown_[servingCall_ - 1] = static_cast<std::uint16_t>(Program().CycleLength - 1);
    waitLamps_ &= ~plan_.Tvp[servingCall_].WaitMask;
    servingCall_ = 0;
}

SimulationMessage SimulationEngine::PressPedestrianButton(int button) {
    if (!running_ || command_ != kSimCommandPhase || button < 1 || button > kMaxTvpButtons)
        return SimulationMessage::None;
    if (std::find(callQueue_.begin(), callQueue_.end(), button) != callQueue_.end())
        return SimulationMessage::ButtonAlreadyPressed;
    const auto empty = std::find(callQueue_.begin(), callQueue_.end(), 0);
    if (empty == callQueue_.end()) return SimulationMessage::None;
    *empty = static_cast<std::uint8_t>(button);
    waitLamps_ |= plan_.Tvp[button].WaitMask;
    return SimulationMessage::None;
}

// ---- manual control -------------------------------------------------------

void SimulationEngine::ToggleManual() {
    if (!running_) return;
    if (mode_ == SimMode::Manual) {
        mode_ = SimMode::Program;
        command_ = kSimCommandPhase;
        manualCommand_ = kNoManualCommand;
        controls_.manualShown = false;
    } else {
        mode_ = SimMode::Manual;
        callQueue_.fill(0);
        lamps_ &= ~waitLamps_;
        waitLamps_ = 0;
        controls_.manualShown = true;
    }
    for (int b = 1; b <= kMaxTvpButtons; ++b) controls_.pedestrianEnabled[b - 1] = plan_.TvpButtonCount >= b;
    for (int f = 2; f <= 4; ++f) controls_.phaseButtonEnabled[f - 2] = plan_.PhaseCount >= f;
}

void SimulationEngine::PressManualButton(std::uint8_t code) {
    if (mode_ != SimMode::Manual) return;
    if (code < kSimCommandPhase) lamps_ = flashingLamps_ = 0;
    manualCommand_ = code;
    if (code >= kManualPhase1 && code - 3 <= plan_.PhaseCount)
        targetPhase_ = static_cast<std::uint8_t>(code - 4);
}

void SimulationEngine::ApplyManualCommand() {
    if (manualCommand_ == kNoManualCommand) return;
    command_ = manualCommand_ < kSimCommandPhase ? manualCommand_ : kSimCommandPhase;
}

// ---- lamp faults and the conflict monitor ---------------------------------

bool SimulationEngine::ClickLamp(int channel) {
    if (!running_ || paused_ || channel < 1 || channel > kChannelCount) return false;
    ChannelRecord& record = channels_[channel - 1];
    record.fault = static_cast<std::uint8_t>((record.fault + 1) % 3);
    if (record.fault != 0) record.lit = static_cast<std::uint8_t>(record.fault - 1);
    return true;
}

std::uint8_t SimulationEngine::ConflictMonitor() {
    std::uint8_t verdict = faultResult_;
    if (faultCountdown_ > 0) {
        --faultCountdown_;
        return verdict;
    }
    if (verdict != 0)
        appliedCommand_ = kSimCommandPhase;  // keep watching while the lamps are off or flashing
    if (appliedCommand_ == kSimCommandPhase) {
        if (plan_.GreenConflictMask & actualLamps_ & ~computedLamps_) {
            verdict = 1;  // a watched lamp is lit that should be dark
        } else if (plan_.RedConflictMask & computedLamps_ & ~actualLamps_) {
            verdict = 2;  // a watched lamp is dark that should be lit
        } else {
            verdict = 0;
        }
    }
    if (verdict != 0) {
        faultCountdown_ = plan_.ConflictExitPeriod;
    } else if (mode_ == SimMode::Fault) {
        // The fault is over: the program starts again from its first tact.
        appliedCommand_ = 0;
        command_ = kSimCommandPhase;
        mode_ = SimMode::Program;
        directionStep_.fill(0);
        directionCounter_.fill(0);
    }
    return verdict;
}

// ---- phase changes --------------------------------------------------------

void SimulationEngine::TactStages() {
    if (appliedCommand_ != kSimCommandPhase) {
        InitialStart();
    } else {
        switch (tactStage_) {
            case 1:
                if (stageCounter_ > 0) {
                    --stageCounter_;
                    if (stageCounter_ == 0) {
                        MainStart();
                    } else {
                        StepDirections();
                    }
                } else {
                    MainStart();
                }
                break;
            case 2:
                if (stageCounter_ > 0) {
                    --stageCounter_;
                } else {
                    HoldEnd();
                }
                break;
            case 3:
                currentPhase_ = targetPhase_;
                if (previousPhase_ != currentPhase_) {
                    transitionTime_ = (mode_ == SimMode::Pedestrian || mode_ == SimMode::Program)
                                          ? interTactTime_
                                          : PhaseInterTactOf(plan_, previousPhase_);
                    sourceDirections_ = PhaseDirectionsOf(plan_, previousPhase_);
                    targetDirections_ = PhaseDirectionsOf(plan_, currentPhase_);
                    onDirections_ = targetDirections_ & ~sourceDirections_;
                    offDirections_ = sourceDirections_ & ~targetDirections_;
                    StartInterTact();
                }
                break;
            default:
                break;
        }
    }
    appliedCommand_ = command_;
}

void SimulationEngine::InitialStart() {
    lamps_ = flashingLamps_ = 0;
    previousPhase_ = 0;
    currentPhase_ = targetPhase_;
    sourceDirections_ = 0;
    targetDirections_ = PhaseDirectionsOf(plan_, currentPhase_);
    transitionTime_ = LargestHeadAndEarlyGreen();
    onDirections_ = targetDirections_;
    offDirections_ = 0;
    // Every direction starts from rest: a step left over from an earlier
    // inter-tact would otherwise light a green no phase asks for.
    directionStep_.fill(0);
    directionCounter_.fill(0);
    for (int d = 0; d < DirectionLoopCount(); ++d) {
        if (HasDirection(onDirections_, d)) directionStep_[d] = 7;
        lamps_ |= plan_.Direction[d].RedMask;
    }
    stageCounter_ = LowByte(transitionTime_ - 1u);
    if (stageCounter_ == 0) {
        MainStart();
    } else {
        tactStage_ = 1;
        StepDirections();
    }
}

void SimulationEngine::MainStart() {
    if (currentTact_ == 1 && mode_ == SimMode::Program) programSeconds_ = 0;
    lamps_ = flashingLamps_ = 0;
    for (int d = 0; d < DirectionLoopCount(); ++d) {
        const TDirectionSettings& direction = plan_.Direction[d];
        if (HasDirection(targetDirections_, d)) {
            lamps_ |= direction.GreenMask;
            flashingLamps_ |= direction.BlinkMask;
        } else {
            lamps_ |= direction.RedMask;
        }
    }
    stageCounter_ = LowByte(plan_.MinPhaseDuration);
    if (stageCounter_ == 0) {
        HoldEnd();
    } else {
        tactStage_ = 2;
        --stageCounter_;
    }
}

void SimulationEngine::HoldEnd() {
    previousPhase_ = currentPhase_;
    sequenceTime_ = transitionTime_;
    tactStage_ = 3;
}

void SimulationEngine::StartInterTact() {
    sequenceTime_ = transitionTime_;
    if (sequenceTime_ == 0) {
        MainStart();
        return;
    }
    stageCounter_ = LowByte(sequenceTime_);
    tactStage_ = 1;
    for (int d = 0; d < DirectionLoopCount(); ++d) {
        directionCounter_[d] = 0;
        directionStep_[d] = 0;
        if (HasDirection(offDirections_, d)) directionStep_[d] = 1;
        if (HasDirection(onDirections_, d)) directionStep_[d] = 6;
    }
    StepDirections();
}

void SimulationEngine::StepDirections() {
    const bool programSet = mode_ == SimMode::Program;
    for (int d = 0; d < DirectionLoopCount(); ++d) {
        if (directionStep_[d] == 0) continue;
        StepDirection(d, programSet ? plan_.Direction[d] : plan_.DirectionManual[d], programSet);
    }
}

// One direction's switching sequence; a step of length L shows for L ticks,
// counting the tick it starts in, and a step of length 0 passes at once.
void SimulationEngine::StepDirection(int d, const TDirectionSettings& durations, bool programSet) {
    const TDirectionSettings& masks = plan_.Direction[d];
    std::uint8_t& step = directionStep_[d];
    std::uint8_t& counter = directionCounter_[d];
    while (true) {
        if (counter > 0) {
            --counter;
            return;
        }
        switch (step) {
            case 1:
                counter = LowByte(durations.ExtraGreenAfterGreen);
                step = 2;
                if (!programSet) return;
                break;
            case 2:
                counter = LowByte(2u * LowByte(durations.GreenBlinkCount));
                lamps_ |= masks.GreenMask;
                flashingLamps_ |= masks.GreenMask;
                step = 3;
                break;
            case 3:
                counter = LowByte(durations.TailDuration);
                lamps_ &= ~masks.GreenMask;
                flashingLamps_ &= ~masks.GreenMask;
                lamps_ |= masks.TailMask;
                step = 4;
                break;
            case 4:
                lamps_ = (lamps_ & ~masks.TailMask) | masks.RedMask;
                step = 5;
                return;
            case 6: {
                const unsigned head = LowByte(durations.HeadDuration);
                const unsigned early = LowByte(durations.ExtraGreenAfterRed);
                counter = head + early < sequenceTime_ ? LowByte(sequenceTime_ - head - early) : 0;
                step = 7;
                break;
            }
            case 7:
                counter = LowByte(durations.HeadDuration);
                lamps_ = (lamps_ & ~masks.RedMask) | masks.HeadMask;
                step = 8;
                break;
            case 8:
                lamps_ = (lamps_ & ~masks.HeadMask) | masks.GreenMask;
                flashingLamps_ |= masks.BlinkMask;
                step = 9;
                return;
            case 10:
                step = 0;
                return;
            default:
                return;  // 0, 5 and 9: at rest
        }
    }
}

// The commanded lamps with flashing applied, the pedestrians' "wait" displays
// and the failed lamps. The result is stored back, so a flashing lamp is lit
// on every other tick.
void SimulationEngine::Outputs() {
    lamps_ = (lamps_ ^ flashingLamps_) | waitLamps_;
    computedLamps_ = lamps_;
    actualLamps_ = 0;
    for (int k = 0; k < kChannelCount; ++k) {
        ChannelRecord& channel = channels_[k];
        channel.lit = channel.fault != 0 ? channel.fault - 1 : (lamps_ >> k) & 1u;
        if (channel.lit) actualLamps_ |= 1u << k;
    }
}

}  // namespace kdt
