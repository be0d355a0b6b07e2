#pragma once
// Text routines of the multi-line editor: display columns with tabs expanded,
// and the break search of word wrap. Text is kept as bytes; a character
// (rtl/TextChars.h: a UTF-8 character of a line that is UTF-8, else a byte)
// takes one column, and a tab moves the display column on to the next multiple
// of the tab size, so "\t\tx" with tabs of 8 shows x in column 17.

#include <cstdint>
#include <string>
#include <string_view>

#include "rtl/TextChars.h"

inline bool IsBlankChar(char c) { return c == ' ' || c == '\t'; }

// A byte that continues a UTF-8 character takes no column of its own, in a
// text that is UTF-8.
inline bool ContinuesCharacter(char ch, bool utf8) { return utf8 && (static_cast<unsigned char>(ch) & 0xC0) == 0x80; }

// The width in columns of a line after `ch`, given its width before it.
inline std::int32_t AdvanceWidth(std::int32_t width, char ch, int tabSize) {
  return ch == '\t' ? (width / tabSize + 1) * tabSize : width + 1;
}

// The number of columns `text` takes when it starts in column 1.
std::int32_t ExpandedWidth(std::string_view text, int tabSize);

// The display column (1-based) of byte position `pos` (1-based) of a line.
// Positions beyond the end count one column each. Position 0 gives column 1.
std::int32_t PositionToColumn(std::string_view text, std::int32_t pos, int tabSize);

// The byte position that shows display column `column` of a line: the start
// of the character covering that column (a tab covers the columns up to its stop), or
// past the end one position per column.
std::int32_t ColumnToPosition(std::string_view text, std::int32_t column, int tabSize);

// Word wrap of one paragraph. `Text` is anything indexable by byte offset;
// `utf8` says that the paragraph is UTF-8, whose characters take a column
// each and are never cut. Given a display line that starts at byte offset
// `start`, returns the offset at which the next line starts, or `length` when
// the rest fits in `wrapColumn` columns. The break is searched backwards from
// the first character that does not fit: a blank or tab breaks there (the
// blanks stay at the end of the upper line), a hyphen breaks just after
// itself; without either the line is cut hard, between two characters. The
// next line starts at the first byte that is no blank.
template <class Text>
std::int32_t NextLineStart(const Text& text, std::int32_t length, std::int32_t start, std::int32_t wrapColumn,
                           int tabSize, bool utf8) {
  std::int32_t width = 0;
  std::int32_t overflow = start;
  while (overflow < length) {
    if (ContinuesCharacter(text[overflow], utf8)) {
      ++overflow;
      continue;
    }
    std::int32_t next = AdvanceWidth(width, text[overflow], tabSize);
    if (next > wrapColumn) break;
    width = next;
    ++overflow;
  }
  if (overflow >= length) return length;

  auto skipBlanks = [&](std::int32_t at) {
    while (at < length && IsBlankChar(text[at])) ++at;
    return at;
  };
  for (std::int32_t at = overflow; at >= start; --at) {
    if (IsBlankChar(text[at])) return skipBlanks(at);
    if (text[at] == '-') return skipBlanks(at + 1);
  }
  // A hard break always takes at least one character, so wrapping ends.
  if (overflow > start) return overflow;
  std::int32_t next = start + 1;
  while (next < length && ContinuesCharacter(text[next], utf8)) ++next;
  return next;
}

// Whether the `length` bytes of `text` are UTF-8 (rtl/TextChars.h).
template <class Text>
bool ReadsAsUtf8(const Text& text, std::int32_t length) {
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(length));
  for (std::int32_t i = 0; i < length; ++i) bytes += text[i];
  return rtl::IsUtf8(bytes);
}
