#include "rom/KonvertHexBin.h"

#include <algorithm>

#include "common/FileIO.h"
#include "rom/RomImageBuilder.h"

namespace kdt {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr std::size_t kInitialImageSize = 4095;
constexpr std::size_t kAddressSpace = 0x10000;

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Reads the hexadecimal number of `digits` characters at `position`; the
// error names the line, since a file can hold many.
bool ReadHex(const std::string& line, std::size_t position, std::size_t digits, std::size_t lineNumber,
             unsigned& value, std::string& error) {
    if (position + digits > line.size()) {
        error = "строка " + std::to_string(lineNumber) + " файла HEX обрывается до конца записи";
        return false;
    }
    value = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        const int digit = HexDigitValue(line[position + i]);
        if (digit < 0) {
            error = "строка " + std::to_string(lineNumber) + " файла HEX содержит недопустимый символ";
            return false;
        }
        value = value * 16 + static_cast<unsigned>(digit);
    }
    return true;
}

// Compiling replaces an earlier image also when it was marked read-only.
WriteOptions RomFileWriteOptions() {
    WriteOptions options;
    options.readOnly = ReadOnlyTarget::Replace;
    return options;
}

RomFileResult BuildLines(const TSignalPlan& plan, std::vector<std::string>& lines) {
    RomFileResult result;
    if (!BuildRomImage(plan, lines, &result.error)) return result;
    result.warning = CoordinatorOverrunWarning(plan);
    return result;
}

}  // namespace

std::string FormatHexRecord(std::uint8_t length, std::uint8_t type, std::uint16_t address,
                            std::span<const std::uint8_t> data) {
    // Built in a fixed buffer: the builder formats a few hundred records per image.
    char text[1 + 2 * (4 + 255 + 1)];
    char* out = text;
    unsigned sum = 0;
    const auto put = [&](std::uint8_t byte) {
        *out++ = kHexDigits[byte >> 4];
        *out++ = kHexDigits[byte & 0x0F];
        sum += byte;
    };
    *out++ = ':';
    put(length);
    put(static_cast<std::uint8_t>(address >> 8));
    put(static_cast<std::uint8_t>(address & 0xFF));
    put(type);
    for (std::size_t i = 0; i < length && i < data.size(); ++i) put(data[i]);
    put(static_cast<std::uint8_t>(0x100 - (sum & 0xFF)));
    return std::string(text, out);
}

HexConversion HexToBin(std::span<const std::string> lines) {
    HexConversion result;
    result.image.assign(kInitialImageSize, 0xFF);
    std::size_t position = 0;
    for (std::size_t index = 0; index < lines.size() && result.ok(); ++index) {
        const std::string& line = lines[index];
        const std::size_t lineNumber = index + 1;
        if (line.empty() || line[0] != ':') continue;
        unsigned length = 0;
        if (!ReadHex(line, 1, 2, lineNumber, length, result.error)) break;
        if (length == 0) break;  // end of file; later lines are not read
        unsigned address = 0;
        if (!ReadHex(line, 3, 4, lineNumber, address, result.error)) break;
        if (line.size() < 9) {
            result.error = "строка " + std::to_string(lineNumber) + " файла HEX обрывается до конца записи";
            break;
        }
        if (line.compare(7, 2, "00") != 0) continue;  // other record types are skipped unread
        if (line.size() < 9 + 2 * length) {
            result.error = "строка " + std::to_string(lineNumber) + " файла HEX обрывается до конца записи";
            break;
        }
        if (address + length > kAddressSpace) {
            result.error = "запись в строке " + std::to_string(lineNumber) + " файла HEX выходит за 64 КБ";
            break;
        }
        position = address;
        if (result.image.size() < position + length) result.image.resize(position + length, 0xFF);
        for (unsigned i = 0; i < length; ++i) {
            const int high = HexDigitValue(line[9 + 2 * i]);
            const int low = HexDigitValue(line[10 + 2 * i]);
            if (high < 0 || low < 0) {
                result.error =
                    "строка " + std::to_string(lineNumber) + " файла HEX содержит недопустимый символ";
                break;
            }
            result.image[position++] = static_cast<std::uint8_t>(high * 16 + low);
        }
    }
    if (!result.ok()) {
        result.image.clear();
        return result;
    }
    result.image.resize(position);
    return result;
}

namespace {

std::string AtLine(std::size_t lineNumber, const std::string& what) {
    return "строка " + std::to_string(lineNumber) + " файла HEX " + what;
}

std::string TwoDigits(unsigned value) {
    return std::string{kHexDigits[(value >> 4) & 0x0F], kHexDigits[value & 0x0F]};
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

HexConversion ReadHexFileText(std::string_view text) {
    constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
    HexConversion result;
    if (text.starts_with(kUtf8Bom)) text.remove_prefix(kUtf8Bom.size());

    std::size_t imageEnd = 0;
    std::size_t lineNumber = 0;
    std::size_t position = 0;
    const auto fail = [&](const std::string& what) {
        result.error = AtLine(lineNumber, what);
        result.image.clear();
        return result;
    };
    std::vector<std::uint8_t> record;
    while (position < text.size()) {
        std::size_t stop = text.find_first_of("\r\n", position);
        if (stop == std::string_view::npos) stop = text.size();
        std::string_view line = text.substr(position, stop - position);
        position = stop;
        if (position < text.size()) position += text.compare(position, 2, "\r\n") == 0 ? 2 : 1;
        ++lineNumber;

        while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
        if (line.empty() || std::all_of(line.begin(), line.end(), IsBlank)) continue;
        if (line.front() != ':') return fail("не является записью Intel HEX");

        const std::string_view digits = line.substr(1);
        if (digits.size() % 2 != 0 || digits.size() < 10) return fail("не является целой записью Intel HEX");
        record.clear();
        for (std::size_t i = 0; i < digits.size(); i += 2) {
            const int high = HexDigitValue(digits[i]);
            const int low = HexDigitValue(digits[i + 1]);
            if (high < 0 || low < 0) return fail("содержит недопустимый символ");
            record.push_back(static_cast<std::uint8_t>(high * 16 + low));
        }
        const unsigned length = record[0];
        if (record.size() != 5 + length)
            return fail("содержит запись длиной " + std::to_string(record.size() - 5) +
                        " байт вместо указанных " + std::to_string(length));
        unsigned sum = 0;
        for (const std::uint8_t byte : record) sum += byte;
        if ((sum & 0xFF) != 0) {
            const unsigned written = record.back();
            const unsigned expected = (written - sum) & 0xFF;
            return fail("имеет неверную контрольную сумму " + TwoDigits(written) + " (должна быть " +
                        TwoDigits(expected) + ")");
        }
        const unsigned address = (unsigned{record[1]} << 8) | record[2];
        const unsigned type = record[3];
        const std::uint8_t* data = record.data() + 4;

        if (type == kHexEndOfFileRecord) break;
        switch (type) {
            case kHexDataRecord: {
                if (address + length > kAddressSpace) return fail("содержит запись за пределами 64 КБ");
                if (result.image.size() < address + length) result.image.resize(address + length, 0xFF);
                std::copy(data, data + length, result.image.begin() + address);
                if (length > 0) imageEnd = std::max<std::size_t>(imageEnd, address + length);
                break;
            }
            case 2:    // extended segment address
            case 4: {  // extended linear address
                if (length != 2)
                    return fail("содержит запись расширенного адреса длиной " + std::to_string(length));
                const unsigned base = (unsigned{data[0]} << 8) | data[1];
                if (base != 0)
                    return fail("задаёт расширенный адрес " + TwoDigits(base >> 8) + TwoDigits(base) +
                                ": образ ПЗУ лежит ниже 64 КБ");
                break;
            }
            case 3:  // start addresses mean nothing to an EEPROM image
            case 5:
                break;
            default:
                return fail("содержит запись неизвестного типа " + TwoDigits(type));
        }
    }
    result.image.resize(imageEnd);
    return result;
}

std::vector<std::string> SplitHexLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        start = end + 1;
    }
    return lines;
}

std::string HexFileText(std::span<const std::string> lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

RomFileResult WriteHexFile(const TSignalPlan& plan, const std::filesystem::path& file) {
    std::vector<std::string> lines;
    RomFileResult result = BuildLines(plan, lines);
    if (!result.ok()) return result;
    const std::string text = HexFileText(lines);
    result.error =
        WriteFileAtomically(file, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                            RomFileWriteOptions())
            .error;
    return result;
}

RomFileResult WriteBinFile(const TSignalPlan& plan, const std::filesystem::path& file) {
    std::vector<std::string> lines;
    RomFileResult result = BuildLines(plan, lines);
    if (!result.ok()) return result;
    const HexConversion image = HexToBin(lines);
    if (!image.ok()) {
        result.error = image.error;
        return result;
    }
    result.error = WriteFileAtomically(file, image.image, RomFileWriteOptions()).error;
    return result;
}

}  // namespace kdt
