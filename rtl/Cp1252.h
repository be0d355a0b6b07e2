#pragma once
// Single-byte text: the system's texts are Windows-1252; these convert them
// to and from Unicode at the edges (the toolkit, metafiles, string tables).
// A character outside the code page becomes '?'.

#include <optional>
#include <string>
#include <string_view>

namespace rtl {

// The Unicode code point of a byte; the five bytes the code page leaves
// unassigned stand for themselves.
char32_t Cp1252ToCodePoint(unsigned char c);
// The byte of a code point, or '?' when the code page has none.
char CodePointToCp1252(char32_t u);
// The byte of a code point; nothing when the code page has none.
std::optional<char> Cp1252ByteOf(char32_t u);
// A code point in UTF-8.
std::string CodePointToUtf8(char32_t u);

std::string Cp1252ToUtf8(std::string_view text);
// Invalid UTF-8 sequences become '?' as well.
std::string Utf8ToCp1252(std::string_view text);
std::u16string Cp1252ToUtf16(std::string_view text);

}  // namespace rtl
