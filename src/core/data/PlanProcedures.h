// Plan-wide procedures shared by the file commands: reset to a new plan, the
// record side of refreshing the editor, normalisation of unused slots and the
// conversion of whole-second times to half-seconds.
#pragma once

#include <cstdint>

#include "data/TypeKDT.h"

namespace kdt {

inline constexpr std::uint8_t kDefaultRomVersion = kRom421;
inline constexpr std::uint8_t kDefaultSpeed = 60;

// The network address editor of the parameters page. Its limits decide which
// address RefreshEditor and NormalisePlan leave in the plan, so the core keeps
// its state; the window mirrors it.
struct NetworkAddressEditor {
    std::uint16_t value = 0;
    std::uint16_t maximum = 65535;
    bool enabled = false;
};

// Makes the plan a new plan: zero-filled, then the new-plan values.
void ResetPlan(TSignalPlan& plan, std::uint8_t defaultRomVersion, std::uint8_t defaultSpeed);

// Gives the editor the limits of the plan's network type and stores the
// address it then shows (the editor stores every value it takes).
void ApplyNetworkTypeToAddressEditor(TSignalPlan& plan, NetworkAddressEditor& editor);

// The editor takes a value: clamped to its range, then stored as NetworkAddress
// and NetworkAddressByte.
void SetEditorNetworkAddress(TSignalPlan& plan, NetworkAddressEditor& editor, std::uint16_t value);

// What refreshing the editor after a replaced plan does to the record.
void RefreshEditorRecord(TSignalPlan& plan, NetworkAddressEditor& editor);

// Resets the slots beyond the counts; nothing inside the counts changes.
// shownNetworkAddress is the value the address editor shows.
void NormalisePlan(TSignalPlan& plan, std::uint16_t shownNetworkAddress);

// Doubles (modulo 65536) every half-second field, for data read in whole seconds.
void DoubleTimeValues(TSignalPlan& plan);

}  // namespace kdt
