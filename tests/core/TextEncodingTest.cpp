#include "data/TextEncoding.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

// glibc's converter is the independent reference the tables are checked against.
class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("iconv_open failed: ") + from + " -> " + to);
        }
    }
    ~Iconv() { iconv_close(cd_); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // nullopt when glibc refuses the input (no mapping or malformed).
    std::optional<std::string> operator()(std::string_view in) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // forget state left by an earlier failure
        std::string input(in);
        std::string output(in.size() * 4 + 8, '\0');
        char* inPtr = input.data();
        std::size_t inLeft = input.size();
        char* outPtr = output.data();
        std::size_t outLeft = output.size();
        if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
            return std::nullopt;
        }
        output.resize(output.size() - outLeft);
        return output;
    }

private:
    iconv_t cd_;
};

std::string Hex(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        char buf[4];
        std::snprintf(buf, sizeof buf, "%02X ", static_cast<unsigned char>(c));
        out += buf;
    }
    return out.empty() ? "(empty)" : out;
}

std::string Utf8(char32_t cp) {
    std::string out;
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
    return out;
}

std::string Byte(int b) {
    return std::string(1, static_cast<char>(b));
}

std::string AllBytes() {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    return all;
}

// Bytes where glibc has no mapping, with the UTF-8 the program documents instead.
struct Divergence {
    unsigned char byte;
    const char* utf8;
};

struct CodePage {
    const char* name;
    const char* iconvName;
    std::string (*toUtf8)(std::string_view);
    std::string (*fromUtf8)(std::string_view);
    std::vector<Divergence> notInGlibc;

    const Divergence* Find(unsigned char b) const {
        for (const Divergence& d : notInGlibc) {
            if (d.byte == b) return &d;
        }
        return nullptr;
    }
    const Divergence* Find(std::string_view utf8) const {
        for (const Divergence& d : notInGlibc) {
            if (utf8 == d.utf8) return &d;
        }
        return nullptr;
    }
};

const CodePage kCp1251Page{"Cp1251",
                           "CP1251",
                           kdt::Cp1251ToUtf8,
                           kdt::Utf8ToCp1251,
                           // Microsoft leaves 0x98 unassigned and glibc rejects it; the program keeps
                           // it as U+0098 so that arbitrary record bytes survive a round trip.
                           {{0x98, "\xC2\x98"}}};

const CodePage kCp866Page{"Cp866", "CP866", kdt::Cp866ToUtf8, kdt::Utf8ToCp866, {}};

void PrintTo(const CodePage& page, std::ostream* os) {
    *os << page.name;
}

class SingleBytePageTest : public ::testing::TestWithParam<CodePage> {};

TEST_P(SingleBytePageTest, EveryByteDecodesLikeGlibc) {
    const CodePage& page = GetParam();
    Iconv glibc("UTF-8", page.iconvName);
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE("byte " + Hex(Byte(b)));
        const std::string ours = page.toUtf8(Byte(b));
        if (const Divergence* d = page.Find(static_cast<unsigned char>(b))) {
            EXPECT_EQ(ours, d->utf8) << Hex(ours);
            continue;
        }
        const std::optional<std::string> theirs = glibc(Byte(b));
        ASSERT_TRUE(theirs.has_value()) << "glibc does not map this byte; document it as a divergence";
        EXPECT_EQ(ours, *theirs) << "ours " << Hex(ours) << " glibc " << Hex(*theirs);
    }
}

// Reverse direction over the whole BMP: every code point glibc can encode must
// give the same byte, and every one it cannot must give '?'.
TEST_P(SingleBytePageTest, EveryBmpCodePointEncodesLikeGlibc) {
    const CodePage& page = GetParam();
    Iconv glibc(page.iconvName, "UTF-8");
    int mapped = 0;
    for (char32_t cp = 1; cp < 0x10000; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;  // not encodable in UTF-8
        const std::string utf8 = Utf8(cp);
        const std::string ours = page.fromUtf8(utf8);
        std::optional<std::string> reference;
        if (const Divergence* d = page.Find(utf8)) {
            reference = Byte(d->byte);
        } else {
            reference = glibc(utf8);
        }
        if (reference) ++mapped;
        const std::string expected = reference.value_or("?");
        ASSERT_EQ(Hex(ours), Hex(expected)) << "code point U+" << std::hex << static_cast<unsigned>(cp);
    }
    // A single-byte page holds exactly 256 characters; U+0000 was skipped above.
    EXPECT_EQ(mapped, 255);
}

TEST_P(SingleBytePageTest, EveryByteSurvivesRoundTrip) {
    const CodePage& page = GetParam();
    const std::string all = AllBytes();
    EXPECT_EQ(Hex(page.fromUtf8(page.toUtf8(all))), Hex(all));
}

TEST_P(SingleBytePageTest, RussianSentenceMatchesGlibc) {
    const CodePage& page = GetParam();
    const std::string sentence =
        "Съешь же ещё этих мягких французских булок, да выпей чаю! ЁЛКИ-ПАЛКИ № 5, 20° (ok)";
    Iconv glibc(page.iconvName, "UTF-8");
    const std::optional<std::string> theirs = glibc(sentence);
    ASSERT_TRUE(theirs.has_value());
    const std::string ours = page.fromUtf8(sentence);
    EXPECT_EQ(Hex(ours), Hex(*theirs));
    EXPECT_EQ(page.toUtf8(ours), sentence);
}

TEST_P(SingleBytePageTest, CodePointWithoutByteBecomesOneQuestionMark) {
    const CodePage& page = GetParam();
    const struct {
        const char* utf8;
        const char* expected;
    } cases[] = {
        {"中", "?"}, {"a中b", "a?b"},       {"😀", "?"},  // four-byte sequence is still one character
        {"Ä", "?"},  {"x\xC2\x80y", "x?y"},              // U+0080 is in neither page
    };
    for (const auto& c : cases) {
        EXPECT_EQ(page.fromUtf8(c.utf8), c.expected) << Hex(c.utf8);
    }
}

TEST_P(SingleBytePageTest, EachMalformedByteBecomesQuestionMark) {
    const CodePage& page = GetParam();
    const struct {
        std::string_view utf8;
        const char* expected;
    } cases[] = {
        {"\x80", "?"},  // lone continuation byte
        {"A\xBF"
         "B",
         "A?B"},
        {"ok\xE2\x82", "ok??"},  // three-byte sequence cut at the end
        {"\xD0", "?"},           // two-byte lead at the end
        {"\xD0"
         "A",
         "?A"},  // lead followed by ASCII
        {"\xE2\x82"
         "A",
         "??A"},
        {"\xC0\xAF", "??"},                 // overlong '/'
        {"\xE0\x80\xAF", "???"},            // overlong '/'
        {"\xED\xA0\x80", "???"},            // UTF-16 surrogate
        {"\xF4\x90\x80\x80", "????"},       // above U+10FFFF
        {"\xF8\x88\x80\x80\x80", "?????"},  // five-byte form
        {"\xFE\xFF", "??"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(page.fromUtf8(c.utf8), c.expected) << Hex(c.utf8);
    }
}

// The bytes after the view would complete the sequence; taking them would show
// up as a letter instead of '?'.
TEST_P(SingleBytePageTest, TruncatedSequenceDoesNotReadPastView) {
    const CodePage& page = GetParam();
    const std::string ya = "Я";
    ASSERT_NE(page.fromUtf8(ya), "?");
    EXPECT_EQ(page.fromUtf8(std::string_view(ya.data(), 1)), "?");

    // Exactly sized heap block so a sanitizer build also catches an overread.
    const std::string cut = "\xE2\x82";
    const auto block = std::make_unique<char[]>(cut.size());
    std::copy(cut.begin(), cut.end(), block.get());
    EXPECT_EQ(page.fromUtf8(std::string_view(block.get(), cut.size())), "??");
}

INSTANTIATE_TEST_SUITE_P(Pages, SingleBytePageTest, ::testing::Values(kCp1251Page, kCp866Page),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Cp1251Test, TypographicCharactersHaveBytes) {
    // These are in 1251 but not in 866, so they are checked here only.
    EXPECT_EQ(Hex(kdt::Utf8ToCp1251("€ «—» “…” ™")), Hex("\x88 \xAB\x97\xBB \x93\x85\x94 \x99"));
    EXPECT_EQ(kdt::Utf8ToCp866("€«—»"), "????");
}

// The keystroke test agrees with the encoder on the whole BMP: a character
// has a byte exactly when encoding it does not give '?'.
TEST(Cp1251Test, HasByteAgreesWithEncoder) {
    int withByte = 0;
    for (char32_t cp = 1; cp < 0x10000; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        const bool encodes = cp == U'?' || kdt::Utf8ToCp1251(Utf8(cp)) != "?";
        ASSERT_EQ(kdt::HasCp1251Byte(cp), encodes)
            << "code point U+" << std::hex << static_cast<unsigned>(cp);
        withByte += encodes;
    }
    EXPECT_EQ(withByte, 255);
    EXPECT_FALSE(kdt::HasCp1251Byte(U'\U0001F600'));
}

TEST(Cp1251Test, EmptyInput) {
    EXPECT_EQ(kdt::Cp1251ToUtf8(""), "");
    EXPECT_EQ(kdt::Utf8ToCp1251(""), "");
    EXPECT_EQ(kdt::Cp866ToCp1251(""), "");
    EXPECT_EQ(kdt::LowerCaseCp1251Letters(""), "");
}

TEST(Cp866ToCp1251Test, RussianAlphabet) {
    // 866: А..п at 0x80..0xAF, р..я at 0xE0..0xEF, Ё ё at 0xF0 0xF1.
    // 1251: А..я at 0xC0..0xFF, Ё at 0xA8, ё at 0xB8.
    std::string oem;
    std::string windows;
    for (int i = 0; i < 48; ++i) oem += static_cast<char>(0x80 + i);
    for (int i = 0; i < 16; ++i) oem += static_cast<char>(0xE0 + i);
    oem += "\xF0\xF1";
    for (int i = 0; i < 64; ++i) windows += static_cast<char>(0xC0 + i);
    windows += "\xA8\xB8";

    EXPECT_EQ(Hex(kdt::Cp866ToCp1251(oem)), Hex(windows));
    EXPECT_EQ(kdt::Cp1251ToUtf8(kdt::Cp866ToCp1251(oem)),
              "АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдежзийклмнопрстуфхцчшщъыьэюяЁё");
}

// Every OEM byte against glibc's 866 -> UTF-8 -> 1251 path; box drawing and the
// other characters 1251 lacks must come out as '?'.
TEST(Cp866ToCp1251Test, EveryByteMatchesGlibc) {
    Iconv oemToUtf8("UTF-8", "CP866");
    Iconv utf8ToWindows("CP1251", "UTF-8");
    int unmapped = 0;
    for (int b = 0; b < 256; ++b) {
        const std::optional<std::string> utf8 = oemToUtf8(Byte(b));
        ASSERT_TRUE(utf8.has_value()) << Hex(Byte(b));
        const std::string expected = utf8ToWindows(*utf8).value_or("?");
        if (expected == "?") ++unmapped;
        EXPECT_EQ(Hex(kdt::Cp866ToCp1251(Byte(b))), Hex(expected)) << "OEM byte " << Hex(Byte(b));
    }
    EXPECT_GT(unmapped, 48);  // at least the 0xB0..0xDF graphics block
    EXPECT_EQ(kdt::Cp866ToCp1251("\xC9\xCD\xBB \xF8 \xFC"), "??? \xB0 \xB9");  // ╔═╗ ° №
}

TEST(LowerCaseCp1251LettersTest, Examples) {
    const struct {
        std::string_view in;
        std::string_view expected;
    } cases[] = {
        {"ПУТЬ/К/ФАЙЛУ.KDT", "путь/к/файлу.kdt"},
        {"ЁЇІЎ", "ёїіў"},
        {"ЂЃЄЅІЇЈЉЊЋЌЎЏҐ", "ђѓєѕіїјљњћќўџґ"},
        {"@AZ[`az{", "@az[`az{"},  // neighbours of the ASCII letter ranges
        {"уже строчные ёїґ", "уже строчные ёїґ"},
        // Letters with case but no pair in 1251 stay as they are.
        {"Ä", "Ä"},
        {"ÀÖΩ Ѐ Ѝ Ѣ Ӑ", "ÀÖΩ Ѐ Ѝ Ѣ Ӑ"},
        // Malformed bytes are copied, not replaced.
        {"A\x80Б", "a\x80б"},
        {"Я\xE2\x82", "я\xE2\x82"},
        {"\xD0", "\xD0"},
        {"\xC1\x81", "\xC1\x81"},  // overlong 'A' is not a letter
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Hex(kdt::LowerCaseCp1251Letters(c.in)), Hex(c.expected)) << c.in;
    }

    const std::string capitalYa = "Я";
    EXPECT_EQ(kdt::LowerCaseCp1251Letters(std::string_view(capitalYa.data(), 1)), "\xD0");
}

// Every 1251 character against pairs taken from the code chart: exactly the
// listed capitals change, and everything else is untouched.
TEST(LowerCaseCp1251LettersTest, EveryCp1251Character) {
    std::map<std::string, std::string> lowerOf;
    for (char32_t c = U'A'; c <= U'Z'; ++c) lowerOf[Utf8(c)] = Utf8(c + 0x20);
    for (char32_t c = U'А'; c <= U'Я'; ++c) lowerOf[Utf8(c)] = Utf8(c + 0x20);
    const char* const others[][2] = {
        {"Ё", "ё"}, {"Ђ", "ђ"}, {"Ѓ", "ѓ"}, {"Є", "є"}, {"Ѕ", "ѕ"}, {"І", "і"}, {"Ї", "ї"}, {"Ј", "ј"},
        {"Љ", "љ"}, {"Њ", "њ"}, {"Ћ", "ћ"}, {"Ќ", "ќ"}, {"Ў", "ў"}, {"Џ", "џ"}, {"Ґ", "ґ"},
    };
    for (const auto& pair : others) lowerOf[pair[0]] = pair[1];
    ASSERT_EQ(lowerOf.size(), 26u + 32u + 15u);

    int changed = 0;
    for (int b = 0; b < 256; ++b) {
        const std::string ch = kdt::Cp1251ToUtf8(Byte(b));
        const auto it = lowerOf.find(ch);
        const std::string expected = it == lowerOf.end() ? ch : it->second;
        EXPECT_EQ(Hex(kdt::LowerCaseCp1251Letters(ch)), Hex(expected)) << "1251 byte " << Hex(Byte(b));
        if (it != lowerOf.end()) ++changed;
    }
    EXPECT_EQ(changed, 73);  // every listed capital is actually in the page
}

}  // namespace
