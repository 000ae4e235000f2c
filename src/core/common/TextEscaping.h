// Text placed inside the JSON and XML the command line writes for other
// tools: escaped so that any record text or file name stays one value.
#pragma once

#include <string>
#include <string_view>

namespace kdt {

// A JSON string literal, quotes included. UTF-8 passes through; the quote,
// the backslash and control characters are escaped.
std::string JsonString(std::string_view utf8);

// Text for an XML attribute value or element content: & < > " ' escaped.
// XML 1.0 cannot hold control characters other than tab, line feed and
// carriage return, not even escaped; callers keep them out.
std::string XmlEscaped(std::string_view utf8);

}  // namespace kdt
