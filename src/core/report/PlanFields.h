// The plan's fields as one table: where each value lies in the record, what
// the report calls it and in which section, how its value reads, when it is
// in use and which ROM images hold it. The plan comparison walks this table,
// so a field added here is compared, named and placed without more code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "data/TypeKDT.h"

namespace kdt {

// The report's sections by switch number (Parameters = 1 .. Additional =
// 14); Header holds the report header's own lines (project name, comment).
enum class PlanSection : std::uint8_t {
    Header = 0,
    Parameters,
    Colours,
    Settings,
    Directions,
    Phases,
    GreenStreets,
    Programs,
    PedestrianCall,
    DailySchedule,
    PowerOn,
    Coordinator,
    SpeedIndicator,
    Detectors,
    Additional,
};

// The section's name: the report dialog's switch caption, or the header's.
std::string_view PlanSectionName(PlanSection section);

// How a value's bytes read, and in which unit.
enum class ValueFormat : std::uint8_t {
    Number,       // a plain number
    PhaseNumber,  // a 0-based phase, shown from 1
    InsertPhase,  // a 0-based phase or 255 for none
    HalfSeconds,  // seconds, with ",5" for an odd value
    Seconds,      // whole seconds
    Speed,        // km/h
    YesNo,
    Channels,    // a channel mask, as the channel numbers
    Directions,  // a direction mask, as the direction numbers
    Colour,
    RomVersion,
    Interface,  // "Параллельный", "Последовательный"
    NetworkType,
    PowerOnState,  // ОС, КК, ЖМ, АПП
    OptionFlags,
    ScheduleRow,   // hour, minute and command: "07:00 АПП 2"
    TimeOfDay,     // hour and minute: "07:00"
    RecordString,  // a length byte and Windows-1251 text; only the valid characters count
    FixedText,     // Windows-1251 bytes up to the first zero byte
};

// One field, or an array of it along one or two indices (program and tact,
// day and row, ...). Element (i, j) lies at offset + i * stride1 + j * stride2
// and is width bytes long; a field without an index has count 1.
struct PlanField {
    PlanSection section;
    std::string field;                  // the value's name, lower case; empty when the item is the value
    std::string (*item)(int i, int j);  // "Программа 2, такт 3"
    int count1;
    int count2;
    std::size_t offset;
    std::size_t stride1;
    std::size_t stride2;
    std::size_t width;
    ValueFormat format;
    // Whether the plan uses element (i, j): inside its counts, as the report
    // lists it. Slots beyond the counts are neither reported nor run.
    bool (*inUse)(const TSignalPlan& plan, int i, int j);
    // Whether the image of a ROM type (RomVersion) holds the value.
    bool (*inImage)(std::uint8_t romVersion);

    std::size_t OffsetOf(int i, int j) const {
        return offset + static_cast<std::size_t>(i) * stride1 + static_cast<std::size_t>(j) * stride2;
    }
};

// Every field of the plan that is plan content, in the report's order.
// Left out: the reserved areas, the file layout version, the colour page's
// selected channel (editor state) and the address byte that only mirrors
// NetworkAddress.
std::span<const PlanField> PlanFields();

// The element's bytes as stored.
std::span<const std::uint8_t> FieldBytes(const PlanField& field, const TSignalPlan& plan, int i, int j);

// Whether two plans hold the same value in the element: the same bytes, or
// for a record string the same valid characters.
bool SameFieldValue(const PlanField& field, const TSignalPlan& a, const TSignalPlan& b, int i, int j);

// The value as the report's vocabulary reads it, without its unit.
std::string FormatFieldValue(ValueFormat format, std::span<const std::uint8_t> bytes);
// "с", "км/ч" or empty.
std::string_view FieldUnit(ValueFormat format);

}  // namespace kdt
