#include "data/DbaseTable.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <system_error>

#include "common/FileIO.h"
#include "data/TextEncoding.h"

namespace kdt {
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kFileHeaderSize = 32;
constexpr std::size_t kDescriptorSize = 32;
constexpr std::uint8_t kDescriptorsEnd = 0x0D;
constexpr std::uint8_t kMemoEnd = 0x1A;
// dBase III and FoxPro memo files start with a header of this size.
constexpr std::uint64_t kMemoHeaderSize = 512;
// A dBase IV memo file header must reach its block size (bytes 20..21).
constexpr std::uint64_t kDbase4MemoHeaderMinimum = 22;
constexpr std::uint64_t kMemoBlockHeaderSize = 8;

std::uint32_t Le16(const std::uint8_t* p) {
    return p[0] | (std::uint32_t{p[1]} << 8);
}
std::uint32_t Le32(const std::uint8_t* p) {
    return Le16(p) | (Le16(p + 2) << 16);
}
std::uint32_t Be16(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 8) | p[1];
}
std::uint32_t Be32(const std::uint8_t* p) {
    return (Be16(p) << 16) | Be16(p + 2);
}

bool IsPadding(char c) {
    return c == ' ' || c == '\0';
}

std::string_view TrimRight(std::string_view text) {
    while (!text.empty() && IsPadding(text.back())) text.remove_suffix(1);
    return text;
}

std::string_view Trim(std::string_view text) {
    text = TrimRight(text);
    while (!text.empty() && IsPadding(text.front())) text.remove_prefix(1);
    return text;
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Hex(std::uint8_t byte) {
    const char* digits = "0123456789ABCDEF";
    return std::string{digits[byte >> 4], digits[byte & 15], 'h'};
}

// The exact name first, whatever it is (the read then refuses what is not a
// regular file); otherwise the one entry of the folder whose name differs
// only in case (the smallest, should there be several), since DOS names
// reach us in any case and the file system may tell case apart.
std::optional<fs::path> FindIgnoringCase(const fs::path& folder, const std::string& name) {
    std::error_code status;
    const fs::path exact = folder / Utf8ToPath(name);
    if (fs::exists(fs::symlink_status(exact, status))) return exact;
    const std::string wanted = LowerCaseCp1251Letters(name);
    std::optional<fs::path> found;
    fs::directory_iterator entry(folder, status), end;
    for (; !status && entry != end; entry.increment(status)) {
        const fs::path candidate = entry->path();
        if (LowerCaseCp1251Letters(PathToUtf8(candidate.filename())) != wanted) continue;
        if (!found || candidate.filename() < found->filename()) found = candidate;
    }
    return found;
}

}  // namespace

DbaseTableOpen DbaseTable::Open(const fs::path& folder, std::string_view tableName) {
    DbaseTableOpen result;
    std::string error;
    result.table = OpenTable(folder, tableName, error);
    if (!result.table) static_cast<Outcome&>(result) = Outcome::Failure(std::move(error));
    return result;
}

std::optional<DbaseTable> DbaseTable::OpenTable(const fs::path& tableFolder, std::string_view tableName,
                                                std::string& error) {
    const std::string requested(tableName);
    // A table named without a folder lies in the current one, and so does its memo file.
    const fs::path folder = tableFolder.empty() ? fs::path(".") : tableFolder;
    std::optional<fs::path> path = FindIgnoringCase(folder, requested);
    if (path && tableFolder.empty()) path = path->filename();  // named as the caller named it
    if (!path) {
        error = "Таблица " + Quoted(PathToUtf8(tableFolder / Utf8ToPath(requested))) + " не найдена";
        return std::nullopt;
    }
    DbaseTable table;
    table.tableName_ = PathToUtf8(path->filename());
    const auto fail = [&](const std::string& reason) {
        error = "Таблица " + Quoted(PathToUtf8(*path)) + " повреждена: " + reason;
        return std::nullopt;
    };

    FileReadResult file = ReadFileBytes(*path, kMaxTableFileSize, BeyondLimit::Refuse);
    if (!file.ok()) {
        error = file.error;
        return std::nullopt;
    }
    table.table_ = std::move(file.bytes);
    const std::vector<std::uint8_t>& bytes = table.table_;
    const std::size_t size = bytes.size();
    if (size < kFileHeaderSize)
        return fail("заголовок обрезан (" + std::to_string(size) + " байт из " +
                    std::to_string(kFileHeaderSize) + ")");
    // The version byte tells the memo file's format; other first bytes are not
    // tables we know (a text file, or a dBase 7 table that would be misread).
    switch (bytes[0]) {
        case 0x03:  // no memo file; dBase III rules should a memo field turn up
        case 0x83:
            table.memoFormat_ = MemoFormat::Dbase3;
            break;
        case 0x8B:
            table.memoFormat_ = MemoFormat::Dbase4;
            break;
        case 0x30:
        case 0x31:
        case 0x32:
        case 0xF5:
            table.memoFormat_ = MemoFormat::FoxPro;
            break;
        default:
            return fail("это не таблица dBase (байт версии " + Hex(bytes[0]) + ")");
    }

    const std::uint64_t recordCount = Le32(&bytes[4]);
    const std::size_t headerLength = Le16(&bytes[8]);
    table.recordLength_ = Le16(&bytes[10]);
    if (headerLength > size)
        return fail("длина заголовка " + std::to_string(headerLength) + " больше длины файла " +
                    std::to_string(size));
    if (headerLength < kFileHeaderSize + 1)
        return fail("длина заголовка " + std::to_string(headerLength) + " меньше " +
                    std::to_string(kFileHeaderSize + 1));

    // Descriptors end at 0x0D; bytes between it and the header length (the
    // Visual FoxPro backlink, padding of some writers) are not fields.
    std::size_t fieldsLength = 0;
    bool hasMemo = false;
    for (std::size_t pos = kFileHeaderSize;; pos += kDescriptorSize) {
        if (pos < headerLength && bytes[pos] == kDescriptorsEnd) break;
        if (pos + kDescriptorSize > headerLength)
            return fail("описания полей выходят за заголовок длиной " + std::to_string(headerLength));
        const auto* descriptor = reinterpret_cast<const char*>(&bytes[pos]);
        Field field;
        field.name.assign(descriptor, std::find(descriptor, descriptor + 11, '\0'));
        field.name = std::string(TrimRight(field.name));
        field.type = descriptor[11];
        field.length = bytes[pos + 16];
        field.offset = 1 + fieldsLength;
        fieldsLength += field.length;
        hasMemo = hasMemo || field.type == 'M';
        table.fields_.push_back(std::move(field));
    }
    if (table.fields_.empty()) return fail("в таблице нет полей");
    if (table.recordLength_ < 1 + fieldsLength)
        return fail("поля (" + std::to_string(fieldsLength) + " байт) не помещаются в запись длиной " +
                    std::to_string(table.recordLength_));
    const std::uint64_t roomForRecords = (size - headerLength) / table.recordLength_;
    if (recordCount > roomForRecords)
        return fail("в заголовке записей " + std::to_string(recordCount) + ", а файл вмещает " +
                    std::to_string(roomForRecords));
    table.recordCount_ = static_cast<std::size_t>(recordCount);
    table.dataStart_ = headerLength;

    if (hasMemo) {
        const bool foxPro = table.memoFormat_ == MemoFormat::FoxPro;
        const std::string memoName = PathToUtf8(path->stem()) + (foxPro ? ".fpt" : ".dbt");
        const std::optional<fs::path> memoPath = FindIgnoringCase(folder, memoName);
        if (!memoPath) return fail("нет файла memo " + Quoted(memoName));
        table.memoName_ = PathToUtf8(memoPath->filename());
        FileReadResult memo = ReadFileBytes(*memoPath, kMaxTableFileSize, BeyondLimit::Refuse);
        if (!memo.ok()) {
            error = memo.error;
            return std::nullopt;
        }
        table.memo_ = std::move(memo.bytes);
        const std::uint64_t headerNeeded =
            table.memoFormat_ == MemoFormat::Dbase4 ? kDbase4MemoHeaderMinimum : kMemoHeaderSize;
        if (table.memo_.size() < headerNeeded)
            return fail("заголовок файла memo " + Quoted(table.memoName_) + " обрезан");
        if (table.memoFormat_ == MemoFormat::Dbase4) {
            table.memoBlockSize_ = Le16(&table.memo_[20]);
            if (table.memoBlockSize_ == 0)
                return fail("в файле memo " + Quoted(table.memoName_) + " размер блока 0");
        } else if (foxPro) {
            // FoxPro's SET BLOCKSIZE TO 0 means blocks of one byte.
            table.memoBlockSize_ = std::max<std::uint32_t>(1, Be16(&table.memo_[6]));
        }
    }
    table.First();
    return table;
}

void DbaseTable::Close() {
    *this = DbaseTable();
}

bool DbaseTable::CurrentRowDeleted() const {
    return table_[dataStart_ + row_ * recordLength_] == '*';
}

void DbaseTable::First() {
    row_ = 0;
    while (row_ < recordCount_ && CurrentRowDeleted()) ++row_;
}

void DbaseTable::Next() {
    if (row_ >= recordCount_) return;
    ++row_;
    while (row_ < recordCount_ && CurrentRowDeleted()) ++row_;
}

bool DbaseTable::AtEnd() const {
    return row_ >= recordCount_;
}

std::optional<std::size_t> DbaseTable::FieldIndex(std::string_view name) const {
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const std::string& candidate = fields_[i].name;
        if (candidate.size() == name.size() &&
            std::equal(candidate.begin(), candidate.end(), name.begin(),
                       [](char a, char b) { return AsciiLower(a) == AsciiLower(b); }))
            return i;
    }
    return std::nullopt;
}

std::nullopt_t DbaseTable::Fail(std::string* error, std::size_t field, const std::string& reason) const {
    if (error != nullptr) {
        std::string where = "Таблица " + Quoted(tableName_);
        if (!AtEnd()) where += ", запись " + std::to_string(row_ + 1);
        if (field < fields_.size()) where += ", поле " + fields_[field].name;
        *error = where + ": " + reason;
    }
    return std::nullopt;
}

std::optional<std::string_view> DbaseTable::Cell(std::size_t field, std::string* error) const {
    if (AtEnd()) return Fail(error, field, "нет текущей записи");
    if (field >= fields_.size()) return Fail(error, field, "нет поля с номером " + std::to_string(field));
    const auto* record = reinterpret_cast<const char*>(&table_[dataStart_ + row_ * recordLength_]);
    return std::string_view(record + fields_[field].offset, fields_[field].length);
}

std::optional<std::string> DbaseTable::ReadMemo(std::size_t field, std::string_view cell,
                                                std::string* error) const {
    std::uint64_t block = 0;
    if (cell.size() == 4) {
        // Visual FoxPro keeps the block number as a binary integer.
        block = Le32(reinterpret_cast<const std::uint8_t*>(cell.data()));
    } else {
        const std::string_view digits = Trim(cell);
        if (!digits.empty()) {
            const auto [end, status] = std::from_chars(digits.data(), digits.data() + digits.size(), block);
            if (status != std::errc() || end != digits.data() + digits.size())
                return Fail(error, field, "номер блока memo " + Quoted(std::string(digits)) + " не число");
        }
    }
    if (block == 0) return std::string();

    const std::uint64_t size = memo_.size();
    const std::string where = "блок memo " + std::to_string(block) + " файла " + Quoted(memoName_);
    // Blocks are at least a byte, so this also keeps the product from overflowing.
    if (block >= size) return Fail(error, field, where + " за концом файла");
    const std::uint64_t start = block * memoBlockSize_;
    if (start >= size) return Fail(error, field, where + " за концом файла");
    if (memoFormat_ != MemoFormat::Dbase4 && start < kMemoHeaderSize)
        return Fail(error, field, where + " внутри заголовка файла");
    const auto* data = reinterpret_cast<const char*>(memo_.data());

    if (memoFormat_ == MemoFormat::Dbase3) {
        const auto end = std::find(memo_.begin() + static_cast<std::ptrdiff_t>(start), memo_.end(), kMemoEnd);
        if (end == memo_.end()) return Fail(error, field, where + " не имеет метки конца (1Ah)");
        return std::string(data + start, data + (end - memo_.begin()));
    }
    if (size - start < kMemoBlockHeaderSize) return Fail(error, field, where + " обрезан");
    const std::uint8_t* header = memo_.data() + start;
    if (memoFormat_ == MemoFormat::Dbase4) {
        if (header[0] != 0xFF || header[1] != 0xFF || header[2] != 0x08 || header[3] != 0x00)
            return Fail(error, field, where + " не начинается с FF FF 08 00");
        // The stored length counts the block header too.
        const std::uint64_t length = Le32(header + 4);
        if (length < kMemoBlockHeaderSize)
            return Fail(error, field, where + ": длина " + std::to_string(length) + " меньше 8");
        if (length > size - start) return Fail(error, field, where + ": длина выходит за конец файла");
        std::string_view text(data + start + kMemoBlockHeaderSize, length - kMemoBlockHeaderSize);
        // Some writers end the text with 0x1A inside the counted length.
        return std::string(text.substr(0, text.find(static_cast<char>(kMemoEnd))));
    }
    const std::uint64_t length = Be32(header + 4);
    if (length > size - start - kMemoBlockHeaderSize)
        return Fail(error, field, where + ": длина выходит за конец файла");
    return std::string(data + start + kMemoBlockHeaderSize, length);
}

bool DbaseTable::IsEmpty(std::size_t field) const {
    const std::optional<std::string_view> cell = Cell(field, nullptr);
    if (!cell) return true;
    if (fields_[field].type != 'M') return TrimRight(*cell).empty();
    const std::optional<std::string> memo = ReadMemo(field, *cell, nullptr);
    return memo && memo->empty();
}

std::optional<std::string> DbaseTable::AsText(std::size_t field, std::string* error) const {
    const std::optional<std::string_view> cell = Cell(field, error);
    if (!cell) return std::nullopt;
    switch (fields_[field].type) {
        case 'M':
            return ReadMemo(field, *cell, error);
        case 'N':
        case 'F':
            return std::string(Trim(*cell));
        default:
            return std::string(TrimRight(*cell));
    }
}

std::optional<long> DbaseTable::AsInteger(std::size_t field, std::string* error) const {
    const std::optional<std::string> text = AsText(field, error);
    if (!text) return std::nullopt;
    std::string_view number = Trim(*text);
    if (number.empty()) return Fail(error, field, "пустое значение вместо числа");
    const auto notWhole = [&] { return Fail(error, field, Quoted(*text) + " не целое число"); };
    const bool negative = number.front() == '-';
    if (negative || number.front() == '+') number.remove_prefix(1);
    const std::size_t point = number.find('.');
    const std::string_view whole = number.substr(0, point);
    if (whole.empty() || whole.find_first_not_of("0123456789") != std::string_view::npos) return notWhole();
    if (point != std::string_view::npos && number.find_first_not_of('0', point + 1) != std::string_view::npos)
        return notWhole();
    unsigned long long magnitude = 0;
    const auto [end, status] = std::from_chars(whole.data(), whole.data() + whole.size(), magnitude);
    const unsigned long long limit =
        static_cast<unsigned long long>(std::numeric_limits<long>::max()) + (negative ? 1 : 0);
    if (status != std::errc() || end != whole.data() + whole.size() || magnitude > limit)
        return Fail(error, field, Quoted(*text) + " вне допустимого диапазона");
    // Negated in unsigned arithmetic so that the smallest long survives.
    const long value = negative ? static_cast<long>(0ULL - magnitude) : static_cast<long>(magnitude);
    return value;
}

}  // namespace kdt
