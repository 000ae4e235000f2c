// A read-only, forward-only reader of the dBase tables the legacy import takes:
// dBase III (.dbt memos ending at 0x1A), dBase IV (.dbt memos with a block
// header and length, any block size) and FoxPro / Visual FoxPro (.fpt memos).
//
// The table and its memo file are read whole at Open: such tables are a few
// kilobytes, and bounds are then checked against bytes in memory, so damaged
// input can never make the reader read outside a file. A file longer than
// kMaxTableFileSize is refused before it is read.
//
// Where damage is found: everything about the table file (header, field
// descriptors, record count), the presence of the memo file and the memo file
// header is checked at Open, which then fails. A single memo (its block
// number, end marker or length) is checked when the field is read, so the rows
// before a damaged memo can still be imported; AsText then returns nothing and
// says why.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Outcome.h"

namespace kdt {

struct DbaseTableOpen;

// Far above any table of a plan, and low enough to read whole without concern.
inline constexpr std::size_t kMaxTableFileSize = 64 * 1024 * 1024;

class DbaseTable {
public:
    // Opens the table file named tableName (UTF-8, with its extension) in the
    // folder (an empty folder is the current one). The table and memo file
    // names are matched without regard to case, also on a case-sensitive
    // file system. On success the table's first live row is current;
    // otherwise the error says why, naming the file.
    static DbaseTableOpen Open(const std::filesystem::path& folder, std::string_view tableName);

    // Forgets the table; afterwards it is at its end and has no fields.
    void Close();

    // Rows marked deleted ('*') are skipped.
    void First();
    void Next();
    bool AtEnd() const;

    // The field of that name, compared without regard to ASCII case.
    std::optional<std::size_t> FieldIndex(std::string_view name) const;

    // Whether the field of the current row holds nothing: only blanks (or NUL
    // bytes), or for a memo field no block or a memo of no bytes. True when
    // there is no current row or no such field. A damaged memo is not empty:
    // AsText then reports the damage.
    bool IsEmpty(std::size_t field) const;

    // The field's text (see AsText) as a whole number: optional blanks and
    // sign, digits, and optionally a point followed by zeros only. Anything
    // else, an empty field and a number outside long give nothing and an
    // error; the caller decides what an empty field means.
    std::optional<long> AsInteger(std::size_t field, std::string* error = nullptr) const;

    // The field's bytes as stored, in the table's code page (the caller
    // converts). Character and other fields lose their trailing blanks, as
    // dBase shows them; numeric fields lose blanks on both sides; a memo field
    // gives the memo's bytes exactly, trailing blanks included (they are
    // significant in pattern texts), without its end marker.
    std::optional<std::string> AsText(std::size_t field, std::string* error = nullptr) const;

private:
    enum class MemoFormat { Dbase3, Dbase4, FoxPro };

    struct Field {
        std::string name;
        char type = 'C';
        std::size_t offset = 0;  // from the start of the record, after the deletion flag
        std::size_t length = 0;
    };

    DbaseTable() = default;
    static std::optional<DbaseTable> OpenTable(const std::filesystem::path& tableFolder,
                                               std::string_view tableName, std::string& error);

    bool CurrentRowDeleted() const;
    std::optional<std::string_view> Cell(std::size_t field, std::string* error) const;
    std::optional<std::string> ReadMemo(std::size_t field, std::string_view cell, std::string* error) const;
    std::nullopt_t Fail(std::string* error, std::size_t field, const std::string& reason) const;

    std::string tableName_;  // UTF-8, for messages
    std::string memoName_;
    std::vector<std::uint8_t> table_;
    std::vector<std::uint8_t> memo_;
    MemoFormat memoFormat_ = MemoFormat::Dbase3;
    std::uint64_t memoBlockSize_ = 512;
    std::vector<Field> fields_;
    std::size_t dataStart_ = 0;
    std::size_t recordLength_ = 0;
    std::size_t recordCount_ = 0;
    std::size_t row_ = 0;  // == recordCount_ at the end
};

struct [[nodiscard]] DbaseTableOpen : Outcome {
    std::optional<DbaseTable> table;  // set exactly on success
};

}  // namespace kdt
