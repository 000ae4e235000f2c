#include "report/PlanDiff.h"

#include <algorithm>
#include <cstring>
#include <ostream>

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

// An element that differs, found by the walk; its texts are made only when
// it is reported.
struct Found {
    // In this order: in the image first, the section, the item's first and
    // second index (a field without one first), the field's place in the
    // table. So the elements of one item stay together: program 2's own
    // values, then its tacts in turn.
    std::uint64_t key;
    std::uint16_t field;
    std::int8_t i;
    std::int8_t j;
};

std::vector<Found> DifferingElements(const TSignalPlan& a, const TSignalPlan& b, bool imageOnly) {
    std::vector<Found> found;
    const std::span<const PlanField> fields = PlanFields();
    for (std::size_t f = 0; f < fields.size(); ++f) {
        const PlanField& field = fields[f];
        const bool inImage = field.inImage(a.RomVersion) || field.inImage(b.RomVersion);
        if (imageOnly && !inImage) continue;
        for (int i = 0; i < field.count1; ++i) {
            for (int j = 0; j < field.count2; ++j) {
                if (!field.inUse(a, i, j) && !field.inUse(b, i, j)) continue;
                if (SameFieldValue(field, a, b, i, j)) continue;
                const std::uint64_t first = field.count1 > 1 ? static_cast<std::uint64_t>(i) + 1 : 0;
                const std::uint64_t second = field.count2 > 1 ? static_cast<std::uint64_t>(j) + 1 : 0;
                const std::uint64_t key = (std::uint64_t{!inImage} << 48) |
                                          (std::uint64_t{static_cast<std::uint8_t>(field.section)} << 40) |
                                          (first << 32) | (second << 24) | f;
                found.push_back({key, static_cast<std::uint16_t>(f), static_cast<std::int8_t>(i),
                                 static_cast<std::int8_t>(j)});
            }
        }
    }
    std::sort(found.begin(), found.end(), [](const Found& x, const Found& y) { return x.key < y.key; });
    return found;
}

PlanDifference Describe(const Found& at, const TSignalPlan& a, const TSignalPlan& b) {
    const PlanField& field = PlanFields()[at.field];
    const auto before = FieldBytes(field, a, at.i, at.j);
    const auto after = FieldBytes(field, b, at.i, at.j);
    PlanDifference difference{field.section,
                              (at.key >> 48) == 0,
                              field.item(at.i, at.j),
                              field.field,
                              FormatFieldValue(field.format, before),
                              FormatFieldValue(field.format, after),
                              FieldUnit(field.format),
                              &field,
                              at.i,
                              at.j};
    if (difference.oldValue == difference.newValue) {
        difference.oldValue = HexBytes(before);
        difference.newValue = HexBytes(after);
        difference.unit = {};
    }
    return difference;
}

void AppendLine(std::string& text, const PlanDifference& difference) {
    text += difference.item;
    text += ": ";
    if (!difference.field.empty()) {
        text += difference.field;
        text += ' ';
    }
    text += difference.oldValue;
    text += " → ";
    text += difference.newValue;
    if (!difference.unit.empty()) {
        text += ' ';
        text += difference.unit;
    }
}

// Text lines, a heading before each section's first difference.
class TextWriter {
public:
    void Add(const PlanDifference& difference, std::string& text) {
        if (!started_ || HeadingOf(difference) != heading_) {
            heading_ = HeadingOf(difference);
            text += heading_;
            text += '\n';
            started_ = true;
        }
        text += "  ";
        AppendLine(text, difference);
        text += '\n';
    }

private:
    bool started_ = false;
    std::string_view heading_;
};

class JsonWriter {
public:
    void Add(const PlanDifference& difference, std::string& text) {
        text += first_ ? "[\n  " : ",\n  ";
        first_ = false;
        text += "{\"section\": " + JsonString(HeadingOf(difference)) +
                ", \"item\": " + JsonString(difference.item) +
                ", \"field\": " + JsonString(difference.field) +
                ", \"old\": " + JsonString(WithUnit(difference.oldValue, difference.unit)) +
                ", \"new\": " + JsonString(WithUnit(difference.newValue, difference.unit)) + "}";
    }
    void Finish(std::string& text) const { text += first_ ? "[]\n" : "\n]\n"; }

private:
    bool first_ = true;
};

}  // namespace

std::vector<PlanDifference> ComparePlans(const TSignalPlan& a, const TSignalPlan& b) {
    const std::vector<Found> found = DifferingElements(a, b, false);
    std::vector<PlanDifference> differences;
    differences.reserve(found.size());
    for (const Found& at : found) differences.push_back(Describe(at, a, b));
    return differences;
}

std::string DifferenceLine(const PlanDifference& difference) {
    std::string line;
    AppendLine(line, difference);
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

std::string DifferenceText(const std::vector<PlanDifference>& differences, bool imageOnly) {
    std::string text;
    TextWriter writer;
    for (const PlanDifference& difference : differences)
        if (!imageOnly || difference.inImage) writer.Add(difference, text);
    return text;
}

std::string DifferencesJson(const std::vector<PlanDifference>& differences, bool imageOnly) {
    std::string json;
    JsonWriter writer;
    for (const PlanDifference& difference : differences)
        if (!imageOnly || difference.inImage) writer.Add(difference, json);
    writer.Finish(json);
    return json;
}

std::size_t WriteDifferences(const TSignalPlan& a, const TSignalPlan& b, bool imageOnly,
                             DifferenceFormat format, std::ostream& out) {
    // Written in pieces as they are made: a few kilobytes are touched
    // however long the list, which keeps a short-lived process cheap.
    constexpr std::size_t kPiece = 16 * 1024;
    const std::vector<Found> found = DifferingElements(a, b, imageOnly);
    std::string text;
    text.reserve(kPiece + 1024);
    TextWriter lines;
    JsonWriter json;
    for (const Found& at : found) {
        const PlanDifference difference = Describe(at, a, b);
        if (format == DifferenceFormat::Json) {
            json.Add(difference, text);
        } else {
            lines.Add(difference, text);
        }
        if (text.size() >= kPiece) {
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            text.clear();
        }
    }
    if (format == DifferenceFormat::Json) json.Finish(text);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return found.size();
}

void CopyFieldValue(const PlanDifference& difference, const TSignalPlan& from, TSignalPlan& to) {
    const PlanField& field = *difference.source;
    const std::size_t offset = field.OffsetOf(difference.i, difference.j);
    std::memcpy(RecordBytes(to).data() + offset, RecordBytes(from).data() + offset, field.width);
}

}  // namespace kdt
