// The controller running the plan, tick by tick: one tick is one timer run of
// the simulation window (488 ms) and stands for half a second of the plan.
// The engine reads the plan live at every tick and keeps no copy of it; the
// window drives it and draws what it reports.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "data/TypeKDT.h"

namespace kdt {

inline constexpr int kMillisecondsPerDay = 24 * 60 * 60 * 1000;
inline constexpr int kMillisecondsPerTick = 500;

enum class SimMode : std::uint8_t {
    Fault = 0,       // "ФБ": after a conflict
    Manual = 1,      // "РУ"
    Pedestrian = 2,  // "ТВП": a pedestrian phase is served
    Program = 6,     // "АПП"
    PowerOn = 7,     // "Вкл."
    Stopped = 255,
};

// Commands of the schedule and the power-on state, and the phase display.
inline constexpr std::uint8_t kSimCommandOff = 0;
inline constexpr std::uint8_t kSimCommandAllRed = 1;
inline constexpr std::uint8_t kSimCommandYellowFlash = 2;
inline constexpr std::uint8_t kSimCommandPhase = 3;

// Manual buttons, by their codes.
inline constexpr std::uint8_t kManualOff = 0;
inline constexpr std::uint8_t kManualYellowFlash = 2;
inline constexpr std::uint8_t kManualPhase1 = 4;  // .. 7 for phase 4
inline constexpr std::uint8_t kNoManualCommand = 255;

// What the window draws for one channel.
struct ChannelRecord {
    std::uint8_t lit = 0;                                 // the lamp after the last tick
    std::array<std::uint8_t, kMaxDirections> colourOf{};  // its colour in each direction using it, else 0
    std::array<std::uint8_t, kMaxTvpButtons> wait{};      // 9 where it is button b's "wait" display
    std::uint8_t fault = 0;                               // 0 none, 1 failed dark, 2 failed lit
};

// Which controls of the window can be used.
struct SimulationControls {
    bool pauseEnabled = false;
    bool buttonGroupUsable = false;  // the pedestrian and manual buttons
    bool manualShown = false;        // manual buttons shown, pedestrian ones hidden
    std::array<bool, kMaxTvpButtons> pedestrianEnabled{};
    std::array<bool, 3> phaseButtonEnabled{};  // "Ф.2", "Ф.3", "Ф.4" ("Ф.1" always)
};

enum class SimulationMessage { None, ButtonAlreadyPressed };

inline constexpr std::string_view kButtonAlreadyPressedMessage = "Кнпка уже была нажата";

class SimulationEngine {
public:
    // The window is created at a time of day (milliseconds since midnight).
    SimulationEngine(TSignalPlan& plan, int timeOfDay);

    // ---- what the window does ---------------------------------------------
    void Tick();
    void ToggleRunning();
    void SetPaused(bool paused);
    // A click on the program list: following the schedule stops, and the
    // program is selected (no selection keeps the current program).
    void ChooseProgram(std::optional<int> program);
    void SetFollowSchedule(bool follow) { followSchedule_ = follow; }
    void ChooseWeekday(int weekday);
    void SetTimeOfDay(int milliseconds);
    SimulationMessage PressPedestrianButton(int button);
    void ToggleManual();
    void PressManualButton(std::uint8_t code);
    // A click on channel k (1..32) marks it failed dark, failed lit, or mends
    // it. False when the click is not taken (stopped, paused, no such channel).
    [[nodiscard]] bool ClickLamp(int channel);
    // The window is shown on the given weekday (0 Sunday): the weekday, what
    // the window reads off the plan, and the program selection.
    void WindowShown(int todayWeekday);
    // The window comes back to the front (from the main window, a box, a
    // dialog): the plan may have been edited meanwhile, so what the window
    // reads off it is read again. The weekday stays; the program is selected
    // again only while stopped, since a running cycle would jump back.
    void WindowActivated();
    // The two halves of the window-shown step.
    void RefreshFromPlan();
    void SelectShownProgram();

    // ---- what the window shows --------------------------------------------
    const std::array<ChannelRecord, kChannelCount>& channels() const { return channels_; }
    const std::string& statusLine() const { return statusLine_; }
    const std::array<std::string, 5>& panels() const { return panels_; }
    const SimulationControls& controls() const { return controls_; }
    int timeOfDay() const { return timeOfDay_; }
    int weekday() const { return weekday_; }
    bool running() const { return running_; }
    bool paused() const { return paused_; }
    bool followSchedule() const { return followSchedule_; }
    int programListSize() const { return programListSize_; }
    std::optional<int> programListSelection() const { return programListSelection_; }
    bool manualMode() const { return mode_ == SimMode::Manual; }

    // ---- state, for tests and traces --------------------------------------
    SimMode mode() const { return mode_; }
    std::uint8_t command() const { return command_; }
    std::uint8_t currentPhase() const { return currentPhase_; }
    std::uint8_t targetPhase() const { return targetPhase_; }
    int currentProgram() const { return currentProgram_; }
    int currentTact() const { return currentTact_; }
    std::uint8_t tactStage() const { return tactStage_; }
    std::uint16_t tactCountdown() const { return tactCountdown_; }
    std::uint32_t computedLamps() const { return computedLamps_; }
    std::uint32_t actualLamps() const { return actualLamps_; }
    std::uint32_t waitLamps() const { return waitLamps_; }
    std::uint8_t faultResult() const { return faultResult_; }
    const std::array<std::uint8_t, 4>& callQueue() const { return callQueue_; }
    std::uint16_t pedestrianCountdown(int button) const { return pedestrianCountdown_[button - 1]; }
    std::uint64_t tickCount() const { return tickCount_; }

private:
    const TSignalProgram& Program() const;
    int TactCountByte() const;
    int NextTact(int tact) const;
    int PreviousTact(int tact) const;
    std::uint8_t TactPhaseAt(int tact) const;
    std::uint16_t TactDurationAt(int tact) const;
    std::uint16_t TactInterDurationAt(int tact) const;
    int DirectionLoopCount() const;
    std::uint8_t LargestHeadAndEarlyGreen() const;

    void AdvanceClock();
    std::optional<int> ScheduleLookup();
    void SelectProgram(std::optional<int> program);
    void StartProgram();
    void ApplyCommand();
    void CycleEngine41x();
    void CycleEngine42x();
    void StatusTexts();
    void Start();
    void Stop();
    void RefreshPedestrianButtons42x();

    // Pedestrian calls, manual control and the conflict monitor.
    void SetPedestrianCountdowns(std::uint16_t startOffset);
    bool PedestrianService41x();
    void PedestrianStep42x();
    void EndOfInsertion42x();
    void ApplyManualCommand();
    std::uint8_t ConflictMonitor();

    // Phase changes and lamp outputs.
    void TactStages();
    void InitialStart();
    void MainStart();
    void HoldEnd();
    void StartInterTact();
    void StepDirections();
    void StepDirection(int d, const TDirectionSettings& durations, bool programSet);
    void Outputs();

    TSignalPlan& plan_;

    // Window and clock.
    int timeOfDay_;
    int weekday_ = 0;
    bool followSchedule_ = true;
    bool running_ = false;
    bool paused_ = false;
    // Set at start until the first tick after the power-on period.
    bool powerOnEnding_ = false;
    int programListSize_ = 0;
    std::optional<int> programListSelection_;
    std::string statusLine_;
    std::array<std::string, 5> panels_;
    SimulationControls controls_;
    std::array<ChannelRecord, kChannelCount> channels_{};

    // Engine state.
    SimMode mode_ = SimMode::Stopped;
    std::uint8_t command_ = kSimCommandOff;
    std::uint8_t appliedCommand_ = 0;
    int currentProgram_ = 1;
    int currentTact_ = 0;
    std::uint8_t previousPhase_ = 0;
    std::uint8_t currentPhase_ = 0;
    std::uint8_t targetPhase_ = 0;
    std::uint8_t pedestrianPhaseNumber_ = 0;
    std::uint16_t tactCountdown_ = 0;
    std::uint16_t interTactTime_ = 0;
    std::uint16_t transitionTime_ = 0;
    std::uint16_t sequenceTime_ = 0;
    std::int16_t programSeconds_ = 0;
    std::uint8_t manualCommand_ = kNoManualCommand;
    std::uint16_t sourceDirections_ = 0;
    std::uint16_t targetDirections_ = 0;
    std::uint16_t onDirections_ = 0;
    std::uint16_t offDirections_ = 0;
    std::uint8_t tactStage_ = 0;
    std::uint8_t stageCounter_ = 0;
    std::array<std::uint8_t, kMaxDirections> directionStep_{};
    std::array<std::uint8_t, kMaxDirections> directionCounter_{};
    std::array<std::uint8_t, 4> callQueue_{};
    std::array<std::uint8_t, 4> servedCalls_{};
    std::uint8_t servingCall_ = 0;
    std::array<std::uint16_t, kMaxTvpButtons> pedestrianCountdown_{};
    std::uint32_t lamps_ = 0;
    std::uint32_t flashingLamps_ = 0;
    std::uint32_t waitLamps_ = 0;
    std::uint32_t computedLamps_ = 0;
    std::uint32_t actualLamps_ = 0;
    std::uint64_t tickCount_ = 0;
    std::uint64_t faultCountdown_ = 0;
    std::uint8_t faultResult_ = 0;
};

// "АПП - " and the other mode prefixes of the status line.
std::string_view SimModePrefix(SimMode mode);

}  // namespace kdt
