// Field-level differences between two plans, named in the report's
// vocabulary and grouped by its sections; the values a ROM image does not
// hold come last, under a heading of their own.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "data/TypeKDT.h"
#include "report/PlanFields.h"

namespace kdt {

inline constexpr std::string_view kNotInImageHeading = "Не входит в образ ПЗУ";

struct PlanDifference {
    PlanSection section;
    bool inImage;            // the image of either plan's ROM type holds the value
    std::string item;        // "Программа 2, такт 3"
    std::string_view field;  // "длительность фазы"; empty when the item is the value
    std::string oldValue;    // as the report reads it, without the unit
    std::string newValue;
    std::string_view unit;  // "с", "км/ч" or empty
    const PlanField* source;
    int i;
    int j;
};

// Every element in use in either plan (see PlanField::inUse) whose value
// differs, in the report's order; those no image holds last.
std::vector<PlanDifference> ComparePlans(const TSignalPlan& a, const TSignalPlan& b);

// "Программа 2, такт 3: длительность фазы 20 → 25 с"
std::string DifferenceLine(const PlanDifference& difference);

// A heading line per section (the section's name, or kNotInImageHeading),
// then its differences indented by two blanks. With imageOnly the values no
// image holds are left out.
std::vector<std::string> DifferenceLines(const std::vector<PlanDifference>& differences, bool imageOnly);
// The same lines as one text, a line feed after each.
std::string DifferenceText(const std::vector<PlanDifference>& differences, bool imageOnly);

// A JSON list of {section, item, field, old, new}, one object per line; the
// section is the heading the text puts the difference under, and old and
// new carry their unit.
std::string DifferencesJson(const std::vector<PlanDifference>& differences, bool imageOnly);

enum class DifferenceFormat { Text, Json };

// Writes DifferenceText or DifferencesJson of ComparePlans(a, b) as the
// differences are found, without holding them all; returns their number.
std::size_t WriteDifferences(const TSignalPlan& a, const TSignalPlan& b, bool imageOnly,
                             DifferenceFormat format, std::ostream& out);

// Copies the difference's element from one plan to another.
void CopyFieldValue(const PlanDifference& difference, const TSignalPlan& from, TSignalPlan& to);

}  // namespace kdt
