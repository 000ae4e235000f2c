#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "data/DbaseTable.h"
#include "data/TextEncoding.h"
#include "support/DbaseBytes.h"
#include "support/TempFolder.h"

namespace kdt {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;
using test::WriteBytes;

using Bytes = std::vector<std::uint8_t>;

// Tables made by tests/data/dbase/make_fixtures.py.
const fs::path kFixtures = fs::path(KDT_TEST_DATA_DIR) / "dbase";

std::optional<DbaseTable> OpenTable(const fs::path& folder, const std::string& name) {
    DbaseTableOpen opened = DbaseTable::Open(folder, name);
    EXPECT_TRUE(opened.ok()) << opened.error;
    EXPECT_EQ(opened.table.has_value(), opened.ok());
    return std::move(opened.table);
}

std::size_t Field(const DbaseTable& table, const char* name) {
    const std::optional<std::size_t> index = table.FieldIndex(name);
    EXPECT_TRUE(index.has_value()) << name;
    return index.value_or(0);
}

std::string Text(const DbaseTable& table, const char* field) {
    std::string error;
    const std::optional<std::string> text = table.AsText(Field(table, field), &error);
    EXPECT_TRUE(text.has_value()) << error;
    return text.value_or("<none>");
}

// ---- the plan tables, one per format ----------------------------------------

// The memo longer than a block in every format (1400 bytes).
std::string LongMemo() {
    std::string text;
    char line[32];
    for (int i = 1; i <= 100; ++i) {
        std::snprintf(line, sizeof line, "%03d:abcdefgh\r\n", i);
        text += line;
    }
    return text;
}

struct PlanRow {
    std::string kod;
    std::optional<long> val1, val2, val3;  // nullopt: blank
    std::string str;                       // UTF-8; empty: no memo or a memo of no bytes
    std::string comment;                   // UTF-8
};

// The live rows of PLAN_ROWS in make_fixtures.py; its two deleted rows
// (Kod 131 in the middle, 999 last) must not show.
std::vector<PlanRow> PlanRows() {
    return {
        {"100 1 3 5", 2, 40, 12, "", "tact 5 of program 3"},
        {"120", 1, std::nullopt, std::nullopt, "Y" + std::string(31, ' '), "yellow flash"},
        {"150 2", 1, 0, std::nullopt, "X X", "Val3 blank"},
        {"180", std::nullopt, std::nullopt, std::nullopt, "Перекрёсток №1: ул. Ленина - пр. Мира",
         "Комментарий"},
        {"140 1", -5, 3, 0, LongMemo(), ""},
        {"134", 5, std::nullopt, std::nullopt, "", ""},
    };
}

class DbasePlanTable : public ::testing::TestWithParam<const char*> {};

TEST_P(DbasePlanTable, ReadsTheLiveRowsWithTheirValues) {
    std::optional<DbaseTable> table = OpenTable(kFixtures, GetParam());
    ASSERT_TRUE(table);
    const std::size_t kod = Field(*table, "Kod");
    const std::size_t values[] = {Field(*table, "Val1"), Field(*table, "Val2"), Field(*table, "Val3")};
    const std::size_t str = Field(*table, "Str");
    const std::size_t comment = Field(*table, "COMMENT");

    // Twice, to see that First starts over.
    for (int pass = 0; pass < 2; ++pass) {
        table->First();
        for (const PlanRow& row : PlanRows()) {
            SCOPED_TRACE("Kod " + row.kod);
            ASSERT_FALSE(table->AtEnd());
            EXPECT_EQ(table->AsText(kod), row.kod);
            const std::optional<long> expected[] = {row.val1, row.val2, row.val3};
            for (int v = 0; v < 3; ++v) {
                SCOPED_TRACE("Val" + std::to_string(v + 1));
                EXPECT_EQ(table->IsEmpty(values[v]), !expected[v].has_value());
                std::string error;
                EXPECT_EQ(table->AsInteger(values[v], &error), expected[v]);
                EXPECT_EQ(error.empty(), expected[v].has_value()) << error;
            }
            EXPECT_EQ(table->IsEmpty(str), row.str.empty());
            std::string error;
            const std::optional<std::string> memo = table->AsText(str, &error);
            ASSERT_TRUE(memo) << error;
            EXPECT_EQ(Cp866ToUtf8(*memo), row.str);
            EXPECT_EQ(Cp866ToUtf8(table->AsText(comment).value_or("<none>")), row.comment);
            table->Next();
        }
        EXPECT_TRUE(table->AtEnd());
        table->Next();
        EXPECT_TRUE(table->AtEnd());
    }
}

TEST_P(DbasePlanTable, LooksFieldsUpWithoutRegardToCase) {
    std::optional<DbaseTable> table = OpenTable(kFixtures, GetParam());
    ASSERT_TRUE(table);
    const std::optional<std::size_t> kod = table->FieldIndex("Kod");
    ASSERT_TRUE(kod);
    EXPECT_EQ(table->FieldIndex("KOD"), kod);
    EXPECT_EQ(table->FieldIndex("kod"), kod);
    EXPECT_EQ(table->FieldIndex("comment"), table->FieldIndex("COMMENT"));
    EXPECT_NE(table->FieldIndex("Val1"), table->FieldIndex("Val2"));
    for (const char* absent : {"Val4", "Ko", "Kod ", "", "Str1"})
        EXPECT_FALSE(table->FieldIndex(absent)) << absent;
}

INSTANTIATE_TEST_SUITE_P(DbaseFormats, DbasePlanTable,
                         ::testing::Values("plan3.dbf",    // dBase III
                                           "planfox.dbf",  // FoxPro, 64-byte memo blocks
                                           "planvfp.dbf",  // Visual FoxPro, binary block numbers
                                           "plan4.dbf"),   // dBase IV, 1024-byte memo blocks
                         [](const auto& info) {
                             const std::string name = info.param;
                             return name.substr(0, name.size() - 4);
                         });

// ---- the other fixtures ------------------------------------------------------

TEST(DbaseTableFiles, FindsTableAndMemoWhateverTheCaseOfTheirNames) {
    // On disk: CASED.DBF with CASED.dbt, Mixed.dbf with MIXED.FPT.
    const struct {
        const char* requested;
        const char* memo;
    } cases[] = {
        {"CASED.DBF", "memo of CASED"}, {"cased.dbf", "memo of CASED"}, {"Cased.Dbf", "memo of CASED"},
        {"Mixed.dbf", "memo of Mixed"}, {"MIXED.DBF", "memo of Mixed"}, {"mixed.dbf", "memo of Mixed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.requested);
        std::optional<DbaseTable> table = OpenTable(kFixtures, c.requested);
        ASSERT_TRUE(table);
        ASSERT_FALSE(table->AtEnd());
        EXPECT_EQ(Text(*table, "Str"), c.memo);
    }
}

TEST(DbaseTableFiles, StartsRecordsWhereTheHeaderLengthSaysNotAfterTheDescriptors) {
    // padded.dbf has a descriptor-like field BOGUS and two more bytes after the 0Dh.
    std::optional<DbaseTable> table = OpenTable(kFixtures, "padded.dbf");
    ASSERT_TRUE(table);
    EXPECT_FALSE(table->FieldIndex("BOGUS"));
    const struct {
        const char* kod;
        long val1, val2, val3;
        const char* str;
        const char* comment;
    } rows[] = {{"113", 1, 2, 3, "memo of padded", "first"}, {"114", 4, 5, 6, "", "second"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.kod);
        ASSERT_FALSE(table->AtEnd());
        EXPECT_EQ(Text(*table, "Kod"), row.kod);
        EXPECT_EQ(table->AsInteger(Field(*table, "Val1")), row.val1);
        EXPECT_EQ(table->AsInteger(Field(*table, "Val2")), row.val2);
        EXPECT_EQ(table->AsInteger(Field(*table, "Val3")), row.val3);
        EXPECT_EQ(Text(*table, "Str"), row.str);
        EXPECT_EQ(Text(*table, "COMMENT"), row.comment);
        table->Next();
    }
    EXPECT_TRUE(table->AtEnd());
}

TEST(DbaseTableFiles, RefusesATableWhoseMemoFileIsMissing) {
    const struct {
        const char* table;
        const char* memo;
    } cases[] = {{"plan3.dbf", "plan3.dbt"}, {"planfox.dbf", "planfox.fpt"}, {"plan4.dbf", "plan4.dbt"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        TempFolder folder;
        fs::copy_file(kFixtures / c.table, folder / c.table);
        const DbaseTableOpen opened = DbaseTable::Open(folder.path(), c.table);
        EXPECT_FALSE(opened.table);
        EXPECT_NE(opened.error.find(c.memo), std::string::npos) << opened.error;
    }
}

// ---- tables made from bytes --------------------------------------------------

using test::FieldDef;
using test::PutBe;
using test::PutLe;
using test::Row;
using test::TableBytes;

std::string Binary32(std::uint32_t value) {
    Bytes bytes(4);
    PutLe(bytes, 0, value, 4);
    return std::string(bytes.begin(), bytes.end());
}

// A memo file: a header, then entries each starting at a block boundary.
class MemoFile {
public:
    MemoFile(std::size_t blockSize, std::size_t headerSize) : blockSize_(blockSize), bytes_(headerSize, 0) {}
    static MemoFile Dbase3() { return MemoFile(512, 512); }
    static MemoFile Dbase4(std::size_t blockSize) {
        MemoFile memo(blockSize, std::max<std::size_t>(blockSize, 512));
        PutLe(memo.bytes_, 20, static_cast<std::uint32_t>(blockSize), 2);
        return memo;
    }
    static MemoFile FoxPro(std::size_t blockSize, std::uint16_t storedBlockSize) {
        MemoFile memo(blockSize, 512);
        PutBe(memo.bytes_, 6, storedBlockSize, 2);
        return memo;
    }

    // Returns the entry's block number, as text.
    std::string Add(const std::string& entry) {
        bytes_.resize((bytes_.size() + blockSize_ - 1) / blockSize_ * blockSize_, 0);
        const std::size_t block = bytes_.size() / blockSize_;
        bytes_.insert(bytes_.end(), entry.begin(), entry.end());
        return std::to_string(block);
    }
    const Bytes& bytes() const { return bytes_; }

private:
    std::size_t blockSize_;
    Bytes bytes_;
};

std::string Dbase4Entry(const std::string& text, std::uint32_t storedLength) {
    Bytes header = {0xFF, 0xFF, 0x08, 0x00, 0, 0, 0, 0};
    PutLe(header, 4, storedLength, 4);
    return std::string(header.begin(), header.end()) + text;
}
std::string Dbase4Entry(const std::string& text) {
    return Dbase4Entry(text, static_cast<std::uint32_t>(text.size() + 8));
}

std::string FoxProEntry(const std::string& text, std::uint32_t storedLength) {
    Bytes header(8, 0);
    PutBe(header, 0, 1, 4);
    PutBe(header, 4, storedLength, 4);
    return std::string(header.begin(), header.end()) + text;
}
std::string FoxProEntry(const std::string& text) {
    return FoxProEntry(text, static_cast<std::uint32_t>(text.size()));
}

const std::vector<FieldDef> kSmallFields = {{"Kod", 'C', 12}, {"Val1", 'N', 6}};

std::optional<DbaseTable> WriteAndOpen(const TempFolder& folder, const Bytes& table, std::string& error,
                                       const char* memoName = nullptr, const Bytes& memo = {}) {
    WriteBytes(folder / "t.dbf", table);
    if (memoName != nullptr) WriteBytes(folder / memoName, memo);
    DbaseTableOpen opened = DbaseTable::Open(folder.path(), "t.dbf");
    error = opened.error;
    return std::move(opened.table);
}

TEST(DbaseTableRows, SkipsDeletedRowsWherever) {
    const struct {
        const char* name;
        std::vector<Row> rows;
        std::vector<std::string> live;
    } cases[] = {
        {"deleted first, between and last",
         {{true, {"a"}}, {false, {"b"}}, {true, {"c"}}, {true, {"d"}}, {false, {"e"}}, {true, {"f"}}},
         {"b", "e"}},
        {"all deleted", {{true, {"a"}}, {true, {"b"}}}, {}},
        {"no rows", {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        std::string error;
        std::optional<DbaseTable> table = WriteAndOpen(folder, TableBytes(0x03, kSmallFields, c.rows), error);
        ASSERT_TRUE(table) << error;
        std::vector<std::string> seen;
        for (table->First(); !table->AtEnd(); table->Next()) seen.push_back(Text(*table, "Kod"));
        EXPECT_EQ(seen, c.live);
    }
}

TEST(DbaseTableRows, ReadsWholeNumbersAndRefusesTheRest) {
    const struct {
        const char* cell;
        std::optional<long> value;  // nullopt: not a whole number
    } cases[] = {
        {"12", 12},
        {"   -12", -12},
        {"+7", 7},
        {"  007  ", 7},
        {"0", 0},
        {"-0", 0},
        {"12.00", 12},
        {"12.", 12},
        {"-9223372036854775808", std::numeric_limits<long>::min()},
        {"12.50", std::nullopt},
        {".5", std::nullopt},
        {"1 2", std::nullopt},
        {"100 1 3 5", std::nullopt},
        {"abc", std::nullopt},
        {"12abc", std::nullopt},
        {"******", std::nullopt},
        {"-", std::nullopt},
        {"+-5", std::nullopt},
        {"--5", std::nullopt},
        {"- 5", std::nullopt},
        {"1e3", std::nullopt},
        {"0x10", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"", std::nullopt},
    };
    std::vector<Row> rows;
    for (const auto& c : cases) rows.push_back({false, {c.cell, c.cell}});
    TempFolder folder;
    std::string error;
    std::optional<DbaseTable> table =
        WriteAndOpen(folder, TableBytes(0x03, {{"Text", 'C', 24}, {"Number", 'N', 24}}, rows), error);
    ASSERT_TRUE(table) << error;
    for (const auto& c : cases) {
        ASSERT_FALSE(table->AtEnd());
        if (sizeof(long) == 4 && std::string(c.cell).size() > 10) {  // beyond a 32-bit long
            table->Next();
            continue;
        }
        for (std::size_t field : {0, 1}) {
            SCOPED_TRACE(std::string("\"") + c.cell + "\" in field " + std::to_string(field));
            std::string reason;
            EXPECT_EQ(table->AsInteger(field, &reason), c.value);
            EXPECT_EQ(reason.empty(), c.value.has_value()) << reason;
            EXPECT_EQ(table->IsEmpty(field), std::string(c.cell).empty());
        }
        table->Next();
    }
}

TEST(DbaseTableRows, KeepsLeadingBlanksOfTextAndDropsTrailingOnes) {
    TempFolder folder;
    std::string error;
    std::optional<DbaseTable> table = WriteAndOpen(
        folder, TableBytes(0x03, {{"Kod", 'C', 12}, {"Val1", 'N', 6}}, {{false, {"  100 1", "   42 "}}}),
        error);
    ASSERT_TRUE(table) << error;
    EXPECT_EQ(Text(*table, "Kod"), "  100 1");
    EXPECT_EQ(Text(*table, "Val1"), "42");
}

TEST(DbaseTableRows, GivesNothingWithoutACurrentRowOrField) {
    TempFolder folder;
    std::string error;
    std::optional<DbaseTable> table =
        WriteAndOpen(folder, TableBytes(0x03, kSmallFields, {{false, {"1", "5"}}}), error);
    ASSERT_TRUE(table) << error;
    std::string reason;
    EXPECT_FALSE(table->AsText(2, &reason));  // only fields 0 and 1
    EXPECT_FALSE(reason.empty());
    EXPECT_TRUE(table->IsEmpty(2));

    table->Next();
    ASSERT_TRUE(table->AtEnd());
    reason.clear();
    EXPECT_FALSE(table->AsInteger(1, &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_TRUE(table->IsEmpty(1));

    table->First();
    EXPECT_EQ(table->AsInteger(1), 5);
    table->Close();
    EXPECT_TRUE(table->AtEnd());
    EXPECT_FALSE(table->FieldIndex("Kod"));
    EXPECT_FALSE(table->AsText(0));
    table->First();
    EXPECT_TRUE(table->AtEnd());
}

TEST(DbaseTableOpen, OpensATableWithoutMemoFieldsWithoutAMemoFile) {
    TempFolder folder;
    std::string error;
    std::optional<DbaseTable> table =
        WriteAndOpen(folder, TableBytes(0x83, kSmallFields, {{false, {"7", "1"}}}), error);
    ASSERT_TRUE(table) << error;
    EXPECT_EQ(Text(*table, "Kod"), "7");
}

TEST(DbaseTableOpen, RefusesDamagedTables) {
    const Bytes good = TableBytes(0x03, kSmallFields, {{false, {"1", "10"}}, {false, {"2", "20"}}});
    constexpr std::size_t headerLength = 32 + 2 * 32 + 1;
    const struct {
        const char* name;
        std::function<void(Bytes&)> damage;
        const char* reason;  // part of the message
    } cases[] = {
        {"empty file", [](Bytes& b) { b.clear(); }, "заголовок обрезан"},
        {"header cut at 20 bytes", [](Bytes& b) { b.resize(20); }, "заголовок обрезан"},
        {"a text file", [](Bytes& b) { b[0] = 'K'; }, "не таблица dBase"},
        {"a dBase 7 table", [](Bytes& b) { b[0] = 0x04; }, "не таблица dBase"},
        {"header length beyond the file",
         [](Bytes& b) { PutLe(b, 8, static_cast<std::uint32_t>(b.size() + 1), 2); }, "больше длины файла"},
        {"header length without room for the terminator", [](Bytes& b) { PutLe(b, 8, 32, 2); }, "меньше"},
        {"no terminator before the header length", [](Bytes& b) { b[headerLength - 1] = 'X'; },
         "описания полей выходят за заголовок"},
        {"header length cutting a descriptor", [](Bytes& b) { PutLe(b, 8, 32 + 32 + 16, 2); },
         "описания полей выходят за заголовок"},
        {"descriptors running to the end of the file",
         [](Bytes& b) {
             b.resize(32 + 32 + 10);
             PutLe(b, 8, static_cast<std::uint32_t>(b.size()), 2);
             PutLe(b, 4, 0, 4);
         },
         "описания полей выходят за заголовок"},
        {"no fields",
         [](Bytes& b) {
             b[32] = 0x0D;
             PutLe(b, 8, 33, 2);
             PutLe(b, 4, 0, 4);
         },
         "нет полей"},
        {"record length shorter than the fields", [](Bytes& b) { PutLe(b, 10, 18, 2); }, "не помещаются"},
        {"one record more than the file holds", [](Bytes& b) { PutLe(b, 4, 3, 4); }, "вмещает"},
        {"record count near 2^32", [](Bytes& b) { PutLe(b, 4, 0xFFFFFFFF, 4); }, "вмещает"},
        {"records cut short", [](Bytes& b) { b.resize(b.size() - 3); }, "вмещает"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes bytes = good;
        c.damage(bytes);
        TempFolder folder;
        std::string error;
        EXPECT_FALSE(WriteAndOpen(folder, bytes, error));
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_NE(error.find("t.dbf"), std::string::npos) << error;
    }
}

TEST(DbaseTableOpen, RefusesAMissingTableOrADamagedMemoFileHeader) {
    const std::vector<FieldDef> fields = {{"Kod", 'C', 12}, {"Str", 'M', 10}};
    const struct {
        const char* name;
        std::uint8_t version;
        const char* memoName;  // nullptr: none written
        Bytes memo;
        const char* reason;
    } cases[] = {
        {"no .dbt", 0x83, nullptr, {}, "t.dbt"},
        {"a .dbt beside an .fpt table", 0xF5, "t.dbt", MemoFile::Dbase3().bytes(), "t.fpt"},
        {"dBase III memo header cut", 0x83, "t.dbt", Bytes(100, 0), "обрезан"},
        {"FoxPro memo header cut", 0xF5, "t.fpt", Bytes(300, 0), "обрезан"},
        {"dBase IV memo header without block size", 0x8B, "t.dbt", Bytes(21, 0), "обрезан"},
        {"dBase IV memo block size 0", 0x8B, "t.dbt", Bytes(512, 0), "размер блока 0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        std::string error;
        EXPECT_FALSE(
            WriteAndOpen(folder, TableBytes(c.version, fields, {{false, {"1"}}}), error, c.memoName, c.memo));
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }

    TempFolder folder;
    const DbaseTableOpen opened = DbaseTable::Open(folder.path(), "absent.dbf");
    EXPECT_FALSE(opened.table);
    EXPECT_NE(opened.error.find("absent.dbf"), std::string::npos) << opened.error;
}

// ---- memos -------------------------------------------------------------------

struct MemoTable {
    std::uint8_t version;
    const char* memoName;
    std::uint8_t pointerLength;  // 4: binary (Visual FoxPro)
};

constexpr MemoTable kDbase3{0x83, "t.dbt", 10};
constexpr MemoTable kDbase4{0x8B, "t.dbt", 10};
constexpr MemoTable kFoxPro{0xF5, "t.fpt", 10};
constexpr MemoTable kVisualFoxPro{0x30, "t.fpt", 4};

std::string Pointer(const MemoTable& format, const std::string& block) {
    return format.pointerLength == 4 ? Binary32(static_cast<std::uint32_t>(std::stoul(block))) : block;
}

// A table whose rows have the memos of the given block numbers in field Str.
std::optional<DbaseTable> OpenWithMemos(const TempFolder& folder, const MemoTable& format, const Bytes& memo,
                                        const std::vector<std::string>& pointers) {
    std::vector<Row> rows;
    for (const std::string& pointer : pointers) rows.push_back({false, {"row", pointer}});
    std::string error;
    std::optional<DbaseTable> table = WriteAndOpen(
        folder, TableBytes(format.version, {{"Kod", 'C', 4}, {"Str", 'M', format.pointerLength}}, rows),
        error, format.memoName, memo);
    EXPECT_TRUE(table) << error;
    return table;
}

TEST(DbaseTableMemo, ReadsMemoVariantsOfEachFormat) {
    const auto build = [](MemoFile memo, const std::string& entry) {
        const std::string block = memo.Add(entry);
        return std::make_pair(memo.bytes(), block);
    };
    const struct {
        const char* name;
        MemoTable format;
        std::pair<Bytes, std::string> memo;  // the file and the block to read
        std::string text;
    } cases[] = {
        {"dBase III ending at a single 1Ah", kDbase3, build(MemoFile::Dbase3(), "one\x1A"), "one"},
        {"dBase III keeping trailing blanks", kDbase3, build(MemoFile::Dbase3(), "two  \x1A\x1A"), "two  "},
        {"dBase IV with 1Ah 1Ah inside its length", kDbase4,
         build(MemoFile::Dbase4(512), Dbase4Entry("three\x1A\x1A")), "three"},
        {"dBase IV with 64-byte blocks past its first block", kDbase4,
         build(MemoFile::Dbase4(64), Dbase4Entry(std::string(100, 'f'))), std::string(100, 'f')},
        {"FoxPro text with a 1Ah byte", kFoxPro, build(MemoFile::FoxPro(64, 64), FoxProEntry("six\x1A")),
         "six\x1A"},
        {"FoxPro of block size 0, meaning 1", kFoxPro, build(MemoFile::FoxPro(1, 0), FoxProEntry("seven")),
         "seven"},
        {"Visual FoxPro", kVisualFoxPro, build(MemoFile::FoxPro(32, 32), FoxProEntry("eight")), "eight"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        std::optional<DbaseTable> table =
            OpenWithMemos(folder, c.format, c.memo.first, {Pointer(c.format, c.memo.second)});
        ASSERT_TRUE(table);
        EXPECT_FALSE(table->IsEmpty(1));
        std::string error;
        EXPECT_EQ(table->AsText(1, &error), c.text) << error;
    }
}

TEST(DbaseTableMemo, ReportsADamagedMemoWhenItIsReadAndReadsTheOtherRows) {
    // Each case: the block number of a damaged memo in a memo file whose block
    // 'good' holds "good".
    struct Case {
        const char* name;
        MemoTable format;
        Bytes memo;
        std::string good;
        std::string damaged;
        const char* reason;
    };
    std::vector<Case> cases;
    {
        MemoFile memo = MemoFile::Dbase3();
        const std::string good = memo.Add("good\x1A\x1A");
        cases.push_back({"dBase III block beyond the file", kDbase3, memo.bytes(), good, "99", "за концом"});
        cases.push_back(
            {"dBase III block number not a number", kDbase3, memo.bytes(), good, "1x", "не число"});
        cases.push_back(
            {"dBase III block number of 10 nines", kDbase3, memo.bytes(), good, "9999999999", "за концом"});
        const std::string open = memo.Add("no end marker, the file ends");
        cases.push_back({"dBase III memo without its end", kDbase3, memo.bytes(), good, open, "метки конца"});
    }
    {
        MemoFile memo = MemoFile::Dbase4(256);
        const std::string good = memo.Add(Dbase4Entry("good"));
        const std::string bare = memo.Add("text without a block header");
        const std::string tooShort = memo.Add(Dbase4Entry("", 4));
        const std::string tooLong = memo.Add(Dbase4Entry("abc", 5000));
        cases.push_back(
            {"dBase IV block without FF FF 08 00", kDbase4, memo.bytes(), good, bare, "FF FF 08 00"});
        cases.push_back({"dBase IV length below 8", kDbase4, memo.bytes(), good, tooShort, "меньше 8"});
        cases.push_back(
            {"dBase IV length beyond the file", kDbase4, memo.bytes(), good, tooLong, "конец файла"});
        const std::string cut = memo.Add("\xFF\xFF\x08");
        cases.push_back({"dBase IV block header cut", kDbase4, memo.bytes(), good, cut, "обрезан"});
    }
    {
        MemoFile memo = MemoFile::FoxPro(64, 64);
        const std::string good = memo.Add(FoxProEntry("good"));
        const std::string tooLong = memo.Add(FoxProEntry("abc", 1000));
        cases.push_back(
            {"FoxPro length beyond the file", kFoxPro, memo.bytes(), good, tooLong, "конец файла"});
        cases.push_back({"FoxPro block inside the header", kFoxPro, memo.bytes(), good, "3", "заголовка"});
        cases.push_back({"FoxPro block beyond the file", kFoxPro, memo.bytes(), good, "4000", "за концом"});
        const std::string cut = memo.Add(std::string("\0\0\0\1\0", 5));
        cases.push_back({"FoxPro block header cut", kFoxPro, memo.bytes(), good, cut, "обрезан"});
    }
    {
        MemoFile memo = MemoFile::FoxPro(64, 64);
        const std::string good = memo.Add(FoxProEntry("good"));
        cases.push_back({"Visual FoxPro block beyond the file", kVisualFoxPro, memo.bytes(), good,
                         "4294967295", "за концом"});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        std::optional<DbaseTable> table = OpenWithMemos(
            folder, c.format, c.memo,
            {Pointer(c.format, c.good), Pointer(c.format, c.damaged), Pointer(c.format, c.good)});
        ASSERT_TRUE(table);
        EXPECT_EQ(table->AsText(1), "good");

        table->Next();
        std::string error;
        EXPECT_FALSE(table->AsText(1, &error));
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_NE(error.find("Str"), std::string::npos) << error;
        EXPECT_NE(error.find("запись 2"), std::string::npos) << error;
        EXPECT_FALSE(table->IsEmpty(1));
        EXPECT_FALSE(table->AsInteger(1));
        EXPECT_EQ(table->AsText(0), "row");

        table->Next();
        EXPECT_EQ(table->AsText(1), "good");
    }
}

TEST(DbaseTableMemo, TreatsNoBlockAndAMemoOfNoBytesAsEmpty) {
    const struct {
        const char* name;
        MemoTable format;
        Bytes memo;
        std::string pointer;
    } cases[] = {
        {"dBase III blank block number", kDbase3, MemoFile::Dbase3().bytes(), ""},
        {"dBase III block 0", kDbase3, MemoFile::Dbase3().bytes(), "         0"},
        {"Visual FoxPro block 0", kVisualFoxPro, MemoFile::FoxPro(64, 64).bytes(), Binary32(0)},
        {"dBase IV memo of no bytes", kDbase4,
         [] {
             MemoFile memo = MemoFile::Dbase4(512);
             memo.Add(Dbase4Entry(""));
             return memo.bytes();
         }(),
         "1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        std::optional<DbaseTable> table = OpenWithMemos(folder, c.format, c.memo, {c.pointer});
        ASSERT_TRUE(table);
        EXPECT_TRUE(table->IsEmpty(1));
        EXPECT_EQ(table->AsText(1), "");
    }
}

}  // namespace
}  // namespace kdt
