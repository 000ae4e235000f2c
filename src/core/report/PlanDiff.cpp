#include "report/PlanDiff.h"

#include <algorithm>
#include <cstring>
#include <tuple>

#include "common/TextEscaping.h"

namespace kdt {
namespace {

// Bytes as hexadecimal pairs, for two values that read alike but are stored
// differently (text after its terminating zero, say).
std::string HexBytes(std::span<const std::uint8_t> bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text = "[";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0) text += ' ';
        text += kHex[bytes[i] >> 4];
        text += kHex[bytes[i] & 0x0F];
    }
    return text + "]";
}

std::string WithUnit(const std::string& value, std::string_view unit) {
    return unit.empty() ? value : value + " " + std::string(unit);
}

std::string_view HeadingOf(const PlanDifference& difference) {
    return difference.inImage ? PlanSectionName(difference.section) : kNotInImageHeading;
}

}  // namespace

std::vector<PlanDifference> ComparePlans(const TSignalPlan& a, const TSignalPlan& b) {
    struct Keyed {
        std::tuple<bool, int, int, int, std::size_t> key;
        PlanDifference difference;
    };
    std::vector<Keyed> found;
    const std::span<const PlanField> fields = PlanFields();
    for (std::size_t f = 0; f < fields.size(); ++f) {
        const PlanField& field = fields[f];
        const bool inImage = field.inImage(a.RomVersion) || field.inImage(b.RomVersion);
        for (int i = 0; i < field.count1; ++i) {
            for (int j = 0; j < field.count2; ++j) {
                if (!field.inUse(a, i, j) && !field.inUse(b, i, j)) continue;
                if (SameFieldValue(field, a, b, i, j)) continue;
                const auto before = FieldBytes(field, a, i, j);
                const auto after = FieldBytes(field, b, i, j);
                PlanDifference difference{field.section, inImage, field.item(i, j), field.field,
                                          FormatFieldValue(field.format, before),
                                          FormatFieldValue(field.format, after), FieldUnit(field.format), &field, i, j};
                if (difference.oldValue == difference.newValue) {
                    difference.oldValue = HexBytes(before);
                    difference.newValue = HexBytes(after);
                    difference.unit = {};
                }
                // Elements of one item stay together: program 2's own values, then its tacts in turn.
                const int first = field.count1 > 1 ? i : -1;
                const int second = field.count2 > 1 ? j : -1;
                found.push_back({{!inImage, static_cast<int>(field.section), first, second, f}, std::move(difference)});
            }
        }
    }
    std::sort(found.begin(), found.end(), [](const Keyed& x, const Keyed& y) { return x.key < y.key; });
    std::vector<PlanDifference> differences;
    differences.reserve(found.size());
    for (Keyed& keyed : found) differences.push_back(std::move(keyed.difference));
    return differences;
}

std::string DifferenceLine(const PlanDifference& difference) {
    std::string line = difference.item + ": ";
    if (!difference.field.empty()) line += difference.field + " ";
    line += difference.oldValue + " → " + WithUnit(difference.newValue, difference.unit);
    return line;
}

std::vector<std::string> DifferenceLines(const std::vector<PlanDifference>& differences, bool imageOnly) {
    std::vector<std::string> lines;
    std::string_view heading;
    for (const PlanDifference& difference : differences) {
        if (imageOnly && !difference.inImage) continue;
        if (lines.empty() || HeadingOf(difference) != heading) {
            heading = HeadingOf(difference);
            lines.emplace_back(heading);
        }
        lines.push_back("  " + DifferenceLine(difference));
    }
    return lines;
}

std::string DifferencesJson(const std::vector<PlanDifference>& differences, bool imageOnly) {
    std::string json = "[";
    bool first = true;
    for (const PlanDifference& difference : differences) {
        if (imageOnly && !difference.inImage) continue;
        json += first ? "\n  " : ",\n  ";
        first = false;
        json += "{\"section\": " + JsonString(HeadingOf(difference)) + ", \"item\": " + JsonString(difference.item) +
                ", \"field\": " + JsonString(difference.field) +
                ", \"old\": " + JsonString(WithUnit(difference.oldValue, difference.unit)) +
                ", \"new\": " + JsonString(WithUnit(difference.newValue, difference.unit)) + "}";
    }
    json += first ? "]\n" : "\n]\n";
    return json;
}

void CopyFieldValue(const PlanDifference& difference, const TSignalPlan& from, TSignalPlan& to) {
    const PlanField& field = *difference.source;
    const std::size_t offset = field.OffsetOf(difference.i, difference.j);
    std::memcpy(RecordBytes(to).data() + offset, RecordBytes(from).data() + offset, field.width);
}

}  // namespace kdt
