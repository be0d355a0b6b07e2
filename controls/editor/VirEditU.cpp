#include "controls/editor/VirEditU.h"

#include "rtl/TextChars.h"

namespace {

std::int32_t WidthOf(std::string_view text, bool utf8, int tabSize) {
  std::int32_t width = 0;
  for (char ch : text) {
    if (!ContinuesCharacter(ch, utf8)) width = AdvanceWidth(width, ch, tabSize);
  }
  return width;
}

}  // namespace

std::int32_t ExpandedWidth(std::string_view text, int tabSize) { return WidthOf(text, rtl::IsUtf8(text), tabSize); }

std::int32_t PositionToColumn(std::string_view text, std::int32_t pos, int tabSize) {
  if (pos == 0) return 1;
  if (pos < 2 || text.empty()) return pos;
  const auto length = static_cast<std::int32_t>(text.size());
  const bool utf8 = rtl::IsUtf8(text);
  if (pos <= length) return WidthOf(text.substr(0, static_cast<std::size_t>(pos - 1)), utf8, tabSize) + 1;
  return WidthOf(text, utf8, tabSize) + (pos - length);
}

std::int32_t ColumnToPosition(std::string_view text, std::int32_t column, int tabSize) {
  if (column < 2 || text.empty()) return column;
  const bool utf8 = rtl::IsUtf8(text);
  std::int32_t width = 0;
  std::int32_t pos = 1;
  std::int32_t start = 1;  // the byte position of the character being measured
  for (char ch : text) {
    if (!ContinuesCharacter(ch, utf8)) {
      start = pos;
      width = AdvanceWidth(width, ch, tabSize);
      if (column <= width) return start;
    }
    ++pos;
  }
  return static_cast<std::int32_t>(text.size()) + (column - width);
}
