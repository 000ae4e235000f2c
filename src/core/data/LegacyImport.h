// Import of the code/value tables (.dbf) of the earlier DOS tool: each row
// names a plan item by a numeric code and indices and overlays the plan.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "common/Outcome.h"
#include "data/TypeKDT.h"

namespace kdt {

inline constexpr std::string_view kLegacyOpenErrorMessage =
    "Неожиданная ошибка во время чтения СОД\n\rвозможно данный файл не содержит СОД или поврежден";
inline constexpr std::string_view kLegacyRowErrorMessage =
    "Неожиданная ошибка во время чтения СОД?возможно данный файл не содержит СОД или поврежден";

// The error is the message to show when the table was not imported (ok()
// exactly when the status is Imported).
struct [[nodiscard]] LegacyImportResult : Outcome {
    enum class Status {
        Imported,    // the plan holds the rows read (all, or those before `stopMessage`)
        Refused,     // a file name that holds no plan; nothing changed
        CannotOpen,  // the table could not be opened; nothing changed
        Empty,       // the table has no row with a Kod; nothing changed
    };
    Status status = Status::Imported;
    std::string stopMessage;  // Imported: set when a bad row ended the import early
    std::string stopDetail;   // why, for the command line (which row, which field)
    int skippedRows = 0;      // rows whose indices lie outside the plan's arrays
    // Values cut to their field's width beyond its signed and unsigned
    // range, one text per value naming the row and the field.
    std::vector<std::string> truncatedValues;
};

// Imports the table into the plan. Rows a table does not have leave the
// plan's values as they were. A table without a ROM type row keeps the plan's
// ROM type. A ROM type outside 1..6, or a count outside its range (phases,
// directions, programs, tacts 1..16, buttons 0..4), is a bad row: it ends
// the import, the rows before it stay.
LegacyImportResult ImportLegacyTable(const std::filesystem::path& path, TSignalPlan& plan);

// A pattern of blank and non-blank characters as a channel mask: the last
// character is bit 31, the one before it bit 30, and so on.
std::uint32_t PatternMask(std::string_view pattern);

}  // namespace kdt
