#pragma once

// Conversions between the program's internal UTF-8 text and the two legacy
// single-byte Cyrillic code pages it meets at its edges: Windows-1251 (binary
// records, text files for Windows tools) and CP866 (DOS/OEM, legacy import).
//
// Bytes 0x00..0x7F are ASCII in both code pages. Windows-1251 byte 0x98 has no
// official character; it is mapped to U+0098 and back so that any byte string
// survives 1251 -> UTF-8 -> 1251 unchanged.
//
// None of these functions throws on bad input. When encoding, a code point
// without a byte in the target page becomes '?', and every byte that is not
// part of a well-formed UTF-8 sequence becomes its own '?'.

#include <string>
#include <string_view>

namespace kdt {

std::string Cp1251ToUtf8(std::string_view bytes);
// The same for text shown on a line: control characters (below 0x20 and
// 0x7F) become '?', so that a stored CR, LF or ESC can neither break the
// line nor reach a terminal.
std::string VisibleCp1251ToUtf8(std::string_view bytes);
std::string Utf8ToCp1251(std::string_view utf8);
// Whether the character has a byte in Windows-1251, so text typed into the
// record's fields can be refused before it would turn into '?'.
bool HasCp1251Byte(char32_t codePoint);

std::string Cp866ToUtf8(std::string_view bytes);
std::string Utf8ToCp866(std::string_view utf8);

// OEM text to Windows-1251 bytes; characters with no 1251 byte (box drawing,
// ∙, √, ■) become '?'.
std::string Cp866ToCp1251(std::string_view bytes);

// Lower-cases exactly the letters that have both cases in Windows-1251 (ASCII
// A-Z, Cyrillic А-Я, Ё, Ђ Ѓ Є Ѕ І Ї Ј Љ Њ Ћ Ќ Ў Џ Ґ). Every other code point,
// and any malformed byte, is copied unchanged, so the result is still the
// caller's text apart from those letters.
std::string LowerCaseCp1251Letters(std::string_view utf8);

}  // namespace kdt
