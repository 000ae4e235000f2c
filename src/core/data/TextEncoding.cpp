#include "data/TextEncoding.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace kdt {
namespace {

// Code points of bytes 0x80..0xFF; 0x00..0x7F are ASCII in both pages.
using ByteTable = std::array<char16_t, 128>;

constexpr ByteTable kCp1251 = {
    // 0x80
    u'\u0402',
    u'\u0403',
    u'\u201A',
    u'\u0453',
    u'\u201E',
    u'\u2026',
    u'\u2020',
    u'\u2021',
    u'\u20AC',
    u'\u2030',
    u'\u0409',
    u'\u2039',
    u'\u040A',
    u'\u040C',
    u'\u040B',
    u'\u040F',
    // 0x90; 0x98 is unassigned by Microsoft, kept as U+0098 so the byte round-trips
    u'\u0452',
    u'\u2018',
    u'\u2019',
    u'\u201C',
    u'\u201D',
    u'\u2022',
    u'\u2013',
    u'\u2014',
    u'\u0098',
    u'\u2122',
    u'\u0459',
    u'\u203A',
    u'\u045A',
    u'\u045C',
    u'\u045B',
    u'\u045F',
    // 0xA0
    u'\u00A0',
    u'\u040E',
    u'\u045E',
    u'\u0408',
    u'\u00A4',
    u'\u0490',
    u'\u00A6',
    u'\u00A7',
    u'\u0401',
    u'\u00A9',
    u'\u0404',
    u'\u00AB',
    u'\u00AC',
    u'\u00AD',
    u'\u00AE',
    u'\u0407',
    // 0xB0
    u'\u00B0',
    u'\u00B1',
    u'\u0406',
    u'\u0456',
    u'\u0491',
    u'\u00B5',
    u'\u00B6',
    u'\u00B7',
    u'\u0451',
    u'\u2116',
    u'\u0454',
    u'\u00BB',
    u'\u0458',
    u'\u0405',
    u'\u0455',
    u'\u0457',
    // 0xC0: А..Я
    u'\u0410',
    u'\u0411',
    u'\u0412',
    u'\u0413',
    u'\u0414',
    u'\u0415',
    u'\u0416',
    u'\u0417',
    u'\u0418',
    u'\u0419',
    u'\u041A',
    u'\u041B',
    u'\u041C',
    u'\u041D',
    u'\u041E',
    u'\u041F',
    u'\u0420',
    u'\u0421',
    u'\u0422',
    u'\u0423',
    u'\u0424',
    u'\u0425',
    u'\u0426',
    u'\u0427',
    u'\u0428',
    u'\u0429',
    u'\u042A',
    u'\u042B',
    u'\u042C',
    u'\u042D',
    u'\u042E',
    u'\u042F',
    // 0xE0: а..я
    u'\u0430',
    u'\u0431',
    u'\u0432',
    u'\u0433',
    u'\u0434',
    u'\u0435',
    u'\u0436',
    u'\u0437',
    u'\u0438',
    u'\u0439',
    u'\u043A',
    u'\u043B',
    u'\u043C',
    u'\u043D',
    u'\u043E',
    u'\u043F',
    u'\u0440',
    u'\u0441',
    u'\u0442',
    u'\u0443',
    u'\u0444',
    u'\u0445',
    u'\u0446',
    u'\u0447',
    u'\u0448',
    u'\u0449',
    u'\u044A',
    u'\u044B',
    u'\u044C',
    u'\u044D',
    u'\u044E',
    u'\u044F',
};

constexpr ByteTable kCp866 = {
    // 0x80: А..Я
    u'\u0410',
    u'\u0411',
    u'\u0412',
    u'\u0413',
    u'\u0414',
    u'\u0415',
    u'\u0416',
    u'\u0417',
    u'\u0418',
    u'\u0419',
    u'\u041A',
    u'\u041B',
    u'\u041C',
    u'\u041D',
    u'\u041E',
    u'\u041F',
    u'\u0420',
    u'\u0421',
    u'\u0422',
    u'\u0423',
    u'\u0424',
    u'\u0425',
    u'\u0426',
    u'\u0427',
    u'\u0428',
    u'\u0429',
    u'\u042A',
    u'\u042B',
    u'\u042C',
    u'\u042D',
    u'\u042E',
    u'\u042F',
    // 0xA0: а..п
    u'\u0430',
    u'\u0431',
    u'\u0432',
    u'\u0433',
    u'\u0434',
    u'\u0435',
    u'\u0436',
    u'\u0437',
    u'\u0438',
    u'\u0439',
    u'\u043A',
    u'\u043B',
    u'\u043C',
    u'\u043D',
    u'\u043E',
    u'\u043F',
    // 0xB0: shades and box drawing
    u'\u2591',
    u'\u2592',
    u'\u2593',
    u'\u2502',
    u'\u2524',
    u'\u2561',
    u'\u2562',
    u'\u2556',
    u'\u2555',
    u'\u2563',
    u'\u2551',
    u'\u2557',
    u'\u255D',
    u'\u255C',
    u'\u255B',
    u'\u2510',
    u'\u2514',
    u'\u2534',
    u'\u252C',
    u'\u251C',
    u'\u2500',
    u'\u253C',
    u'\u255E',
    u'\u255F',
    u'\u255A',
    u'\u2554',
    u'\u2569',
    u'\u2566',
    u'\u2560',
    u'\u2550',
    u'\u256C',
    u'\u2567',
    u'\u2568',
    u'\u2564',
    u'\u2565',
    u'\u2559',
    u'\u2558',
    u'\u2552',
    u'\u2553',
    u'\u256B',
    u'\u256A',
    u'\u2518',
    u'\u250C',
    u'\u2588',
    u'\u2584',
    u'\u258C',
    u'\u2590',
    u'\u2580',
    // 0xE0: р..я
    u'\u0440',
    u'\u0441',
    u'\u0442',
    u'\u0443',
    u'\u0444',
    u'\u0445',
    u'\u0446',
    u'\u0447',
    u'\u0448',
    u'\u0449',
    u'\u044A',
    u'\u044B',
    u'\u044C',
    u'\u044D',
    u'\u044E',
    u'\u044F',
    // 0xF0
    u'\u0401',
    u'\u0451',
    u'\u0404',
    u'\u0454',
    u'\u0407',
    u'\u0457',
    u'\u040E',
    u'\u045E',
    u'\u00B0',
    u'\u2219',
    u'\u00B7',
    u'\u221A',
    u'\u2116',
    u'\u00A4',
    u'\u25A0',
    u'\u00A0',
};

struct ReverseEntry {
    char16_t codePoint;
    unsigned char byte;
};
// Sorted by code point for binary search.
using ReverseTable = std::array<ReverseEntry, 128>;

consteval ReverseTable MakeReverse(const ByteTable& table) {
    ReverseTable reverse{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        reverse[i] = {table[i], static_cast<unsigned char>(0x80 + i)};
    }
    std::sort(reverse.begin(), reverse.end(),
              [](const ReverseEntry& a, const ReverseEntry& b) { return a.codePoint < b.codePoint; });
    return reverse;
}

// A duplicate or an ASCII code point in the upper half would make the reverse
// mapping ambiguous and break the byte round trip.
consteval bool IsUnambiguous(const ReverseTable& reverse) {
    for (std::size_t i = 0; i < reverse.size(); ++i) {
        if (reverse[i].codePoint < 0x80) return false;
        if (i > 0 && reverse[i - 1].codePoint == reverse[i].codePoint) return false;
    }
    return true;
}

constexpr ReverseTable kCp1251Reverse = MakeReverse(kCp1251);
constexpr ReverseTable kCp866Reverse = MakeReverse(kCp866);
static_assert(IsUnambiguous(kCp1251Reverse));
static_assert(IsUnambiguous(kCp866Reverse));

constexpr char32_t ByteToCodePoint(const ByteTable& table, unsigned char byte) {
    return byte < 0x80 ? char32_t{byte} : char32_t{table[byte - 0x80]};
}

constexpr int kNoByte = -1;

constexpr int CodePointToByte(const ReverseTable& reverse, char32_t codePoint) {
    if (codePoint < 0x80) return static_cast<int>(codePoint);
    const auto it =
        std::lower_bound(reverse.begin(), reverse.end(), codePoint,
                         [](const ReverseEntry& entry, char32_t cp) { return entry.codePoint < cp; });
    if (it != reverse.end() && it->codePoint == codePoint) return it->byte;
    return kNoByte;
}

// Unicode simple lower-case mapping, limited to the scripts a Cyrillic
// single-byte page can hold (Basic Latin and the Cyrillic block); the table
// then decides which of these pairs exist in 1251.
constexpr char32_t SimpleLowerCase(char32_t cp) {
    if (cp >= U'A' && cp <= U'Z') return cp + 0x20;
    if (cp >= 0x0400 && cp <= 0x040F) return cp + 0x50;  // Ѐ..Џ -> ѐ..џ
    if (cp >= 0x0410 && cp <= 0x042F) return cp + 0x20;  // А..Я -> а..я
    // Ѡ..ҁ and Ҋ..ҿ alternate capital (even) / small (odd), e.g. Ґ/ґ.
    if ((cp >= 0x0460 && cp <= 0x0481) || (cp >= 0x048A && cp <= 0x04BF)) return cp | 1;
    return cp;
}

using ByteMap = std::array<unsigned char, 256>;

// For each 1251 byte, the byte of its lower-case letter, or the byte itself
// when the letter has no lower-case partner inside 1251.
consteval ByteMap MakeCp1251LowerCase() {
    ByteMap lower{};
    for (std::size_t b = 0; b < lower.size(); ++b) {
        const auto byte = static_cast<unsigned char>(b);
        lower[b] = byte;
        const char32_t cp = ByteToCodePoint(kCp1251, byte);
        const char32_t lowerCp = SimpleLowerCase(cp);
        if (lowerCp == cp) continue;
        const int lowerByte = CodePointToByte(kCp1251Reverse, lowerCp);
        if (lowerByte != kNoByte) lower[b] = static_cast<unsigned char>(lowerByte);
    }
    return lower;
}

constexpr ByteMap kCp1251LowerCase = MakeCp1251LowerCase();

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

struct Decoded {
    char32_t codePoint;
    std::size_t length;  // 0 when the byte at the position does not start a well-formed sequence
};

// Strict decoding: overlong forms, surrogates and values above U+10FFFF are
// malformed. A failed sequence reports length 0 so the caller consumes only its
// first byte; the following bytes are then judged on their own, which yields
// one '?' per bad byte.
Decoded DecodeUtf8(std::string_view text, std::size_t pos) {
    const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byteAt(pos);
    if (lead < 0x80) return {lead, 1};

    std::size_t length = 0;
    char32_t cp = 0;
    unsigned char low = 0x80;  // allowed range of the second byte
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;   // overlong
        if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07;
        if (lead == 0xF0) low = 0x90;   // overlong
        if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
    } else {
        return {0, 0};
    }
    if (text.size() - pos < length) return {0, 0};

    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = byteAt(pos + i);
        if (next < low || next > high) return {0, 0};
        cp = (cp << 6) | (next & 0x3F);
        low = 0x80;
        high = 0xBF;
    }
    return {cp, length};
}

std::string DecodeSingleByte(std::string_view bytes, const ByteTable& table) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        AppendUtf8(out, ByteToCodePoint(table, static_cast<unsigned char>(c)));
    }
    return out;
}

std::string EncodeSingleByte(std::string_view utf8, const ReverseTable& reverse) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const Decoded d = DecodeUtf8(utf8, pos);
        if (d.length == 0) {
            out += '?';
            ++pos;
            continue;
        }
        const int byte = CodePointToByte(reverse, d.codePoint);
        out += byte == kNoByte ? '?' : static_cast<char>(byte);
        pos += d.length;
    }
    return out;
}

}  // namespace

std::string Cp1251ToUtf8(std::string_view bytes) {
    return DecodeSingleByte(bytes, kCp1251);
}

std::string VisibleCp1251ToUtf8(std::string_view bytes) {
    std::string visible(bytes);
    for (char& c : visible) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) c = '?';
    }
    return Cp1251ToUtf8(visible);
}

std::string Utf8ToCp1251(std::string_view utf8) {
    return EncodeSingleByte(utf8, kCp1251Reverse);
}

bool HasCp1251Byte(char32_t codePoint) {
    return CodePointToByte(kCp1251Reverse, codePoint) != kNoByte;
}

std::string Cp866ToUtf8(std::string_view bytes) {
    return DecodeSingleByte(bytes, kCp866);
}

std::string Utf8ToCp866(std::string_view utf8) {
    return EncodeSingleByte(utf8, kCp866Reverse);
}

std::string Cp866ToCp1251(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const char32_t cp = ByteToCodePoint(kCp866, static_cast<unsigned char>(c));
        const int byte = CodePointToByte(kCp1251Reverse, cp);
        out += byte == kNoByte ? '?' : static_cast<char>(byte);
    }
    return out;
}

std::string LowerCaseCp1251Letters(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const Decoded d = DecodeUtf8(utf8, pos);
        if (d.length == 0) {
            out += utf8[pos];
            ++pos;
            continue;
        }
        const int byte = CodePointToByte(kCp1251Reverse, d.codePoint);
        if (byte != kNoByte && kCp1251LowerCase[byte] != byte) {
            AppendUtf8(out, ByteToCodePoint(kCp1251, kCp1251LowerCase[byte]));
        } else {
            out.append(utf8.substr(pos, d.length));
        }
        pos += d.length;
    }
    return out;
}

}  // namespace kdt
