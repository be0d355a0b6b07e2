#pragma once
// Text routines of the multi-line editor: display columns with tabs expanded,
// and the break search of word wrap. Text is kept as bytes; a character
// (rtl/TextChars.h: a UTF-8 character of a line that is UTF-8, else a byte)
// takes one column, and a tab moves the display column on to the next multiple
// of the tab size, so "\t\tx" with tabs of 8 shows x in column 17.

#include <cstdint>
#include <string_view>

inline bool IsBlankChar(char c) { return c == ' ' || c == '\t'; }

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

// Word wrap of one paragraph. `Text` is anything indexable by byte offset.
// Given a display line that starts at byte offset `start`, returns the offset
// at which the next line starts, or `length` when the rest fits in
// `wrapColumn` columns. The break is searched backwards from the first byte
// that does not fit: a blank or tab breaks there (the blanks stay at the end
// of the upper line), a hyphen breaks just after itself; without either the
// line is cut hard. The next line starts at the first byte that is no blank.
template <class Text>
std::int32_t NextLineStart(const Text& text, std::int32_t length, std::int32_t start, std::int32_t wrapColumn,
                           int tabSize) {
  std::int32_t width = 0;
  std::int32_t overflow = start;
  while (overflow < length) {
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
  // A hard break always takes at least one byte, so wrapping ends.
  return overflow > start ? overflow : start + 1;
}
