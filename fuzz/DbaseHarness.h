// The dBase table reader and the legacy import on any table and memo bytes.
// One input holds both files: two bytes (little-endian) give the table's
// length, the table follows, and the rest, when there is any, is the memo
// file, named for the memo format the table's first byte announces.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <system_error>

#include "PlanHarnesses.h"
#include "data/DbaseTable.h"
#include "data/LegacyImport.h"

namespace kdt::fuzz {

struct DbaseInput {
    std::span<const std::uint8_t> table;
    std::span<const std::uint8_t> memo;
};

inline DbaseInput SplitDbaseInput(std::span<const std::uint8_t> data) {
    if (data.size() < 2) return {data.subspan(0, 0), data.subspan(0, 0)};
    const std::size_t tableLength = std::min<std::size_t>(data[0] | (data[1] << 8), data.size() - 2);
    return {data.subspan(2, tableLength), data.subspan(2 + tableLength)};
}

class DbaseHarness {
public:
    explicit DbaseHarness(std::filesystem::path folder) : folder_(std::move(folder)) {}

    std::string Run(std::span<const std::uint8_t> data) {
        const DbaseInput input = SplitDbaseInput(data);
        std::error_code ignored;
        std::filesystem::remove(folder_ / "input.dbt", ignored);
        std::filesystem::remove(folder_ / "input.fpt", ignored);
        const std::filesystem::path table = folder_ / "input.dbf";
        if (std::string error = WriteFileAtomically(table, input.table).error; !error.empty())
            return "writing: " + error;
        if (!input.memo.empty()) {
            const bool foxPro = !input.table.empty() && (input.table[0] == 0x30 || input.table[0] == 0x31 ||
                                                         input.table[0] == 0x32 || input.table[0] == 0xF5);
            const std::filesystem::path memo = folder_ / (foxPro ? "input.fpt" : "input.dbt");
            if (std::string error = WriteFileAtomically(memo, input.memo).error; !error.empty())
                return "writing: " + error;
        }

        // The name in another case: DOS names reach the reader in any case.
        DbaseTableOpen opened = DbaseTable::Open(folder_, "INPUT.DBF");
        if (opened.table.has_value() != opened.ok()) return "Open's table and its outcome disagree";
        if (opened.ok()) {
            if (std::string failure = ReadEveryCell(*opened.table, ProbedFields(input.table));
                !failure.empty())
                return failure;
        }
        return CheckImport(table, opened.ok());
    }

private:
    // Fields are probed by index one past the most the header has room for,
    // where every accessor must say there is no such field.
    static std::size_t ProbedFields(std::span<const std::uint8_t> table) {
        if (table.size() < 10) return 1;
        const std::size_t headerLength = table[8] | (table[9] << 8);
        return std::min<std::size_t>(headerLength / 32 + 1, 64);
    }

    static std::string ReadEveryCell(DbaseTable& table, std::size_t probedFields) {
        std::size_t rows = 0;
        for (table.First(); !table.AtEnd(); table.Next()) {
            ++rows;
            for (std::size_t field = 0; field < probedFields; ++field) {
                std::string error;
                const std::optional<std::string> text = table.AsText(field, &error);
                if (!text && error.empty()) return "AsText failed without a reason";
                if (table.IsEmpty(field) && text && !text->empty())
                    return "an empty field has text: " + *text;
                error.clear();
                const std::optional<long> number = table.AsInteger(field, &error);
                if (!number && error.empty()) return "AsInteger failed without a reason";
                if (number && !text) return "a field without text has a number";
            }
        }
        std::size_t again = 0;
        for (table.First(); !table.AtEnd(); table.Next()) ++again;
        if (again != rows) return "a second pass over the table saw another number of rows";
        table.Next();  // past the end stays at the end
        if (!table.AtEnd()) return "Next left the end";

        table.Close();
        table.First();
        if (!table.AtEnd() || table.FieldIndex("Kod") || !table.IsEmpty(0) || table.AsText(0))
            return "a closed table still has rows or fields";
        return {};
    }

    // The open command on the table: the import, then what every open does.
    std::string CheckImport(const std::filesystem::path& table, bool readable) const {
        const TSignalPlan inMemory = PlanInMemory();
        TSignalPlan imported = inMemory;
        const LegacyImportResult result = ImportLegacyTable(table, imported);
        if (result.status == LegacyImportResult::Status::Refused)
            return "a table named input.dbf was refused";
        if (result.status == LegacyImportResult::Status::Empty) {
            // Nothing to import: the open command refuses it and the plan stays.
            if (!readable) return "an unreadable table was found empty";
            if (!SameRecord(imported, inMemory)) return "an empty table changed the plan";
            TSignalPlan plan = inMemory;
            PlanEditorState editor;
            const OpenPlanResult open = OpenPlanFile(table, plan, editor, OldLayoutHandling::KeepFile);
            if (open.ok() || open.failure != OpenFailure::NoPlan)
                return "OpenPlanFile took a table without rows";
            return SameRecord(plan, inMemory) ? std::string() : "a table without rows changed the plan";
        }
        if ((result.status == LegacyImportResult::Status::CannotOpen) == readable)
            return readable ? "a table the reader opens could not be imported"
                            : "an unreadable table was imported";

        TSignalPlan plan = inMemory;
        PlanEditorState editor;
        const OpenPlanResult open = OpenPlanFile(table, plan, editor, OldLayoutHandling::KeepFile);
        if (!readable) {
            if (open.ok()) return "OpenPlanFile took a table the reader refuses";
            return SameRecord(plan, inMemory) ? std::string() : "a refused table changed the plan";
        }
        if (!open.ok()) return "OpenPlanFile failed on an imported table: " + open.error;
        OpenRecord(imported, true);
        StoreProjectFileName(imported, table);
        if (!SameRecord(plan, imported)) return "OpenPlanFile opened " + FirstDifference(plan, imported);

        if (std::string failure = CheckAnalysis(plan); !failure.empty()) return failure;
        const BuiltImage image = BuildImage(plan);
        if (!image.error.empty()) return image.error;
        if (image.bytes.empty() || plan.RomVersion < kRom413) return {};
        RomImageReader reader;
        TSignalPlan decoded{};
        if (!reader.DecodeRomImage(image.bytes, plan.RomVersion, decoded)) return {};
        OpenRecord(decoded, true);
        return CheckReopenedImageIsStable(decoded);
    }

    std::filesystem::path folder_;
};

}  // namespace kdt::fuzz
