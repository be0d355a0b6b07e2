#include "controls/editor/VirEditU.h"

std::int32_t ExpandedWidth(std::string_view text, int tabSize) {
  std::int32_t width = 0;
  for (char ch : text) width = AdvanceWidth(width, ch, tabSize);
  return width;
}

std::int32_t PositionToColumn(std::string_view text, std::int32_t pos, int tabSize) {
  if (pos == 0) return 1;
  if (pos < 2 || text.empty()) return pos;
  const auto length = static_cast<std::int32_t>(text.size());
  if (pos <= length) return ExpandedWidth(text.substr(0, static_cast<std::size_t>(pos - 1)), tabSize) + 1;
  return ExpandedWidth(text, tabSize) + (pos - length);
}

std::int32_t ColumnToPosition(std::string_view text, std::int32_t column, int tabSize) {
  if (column < 2 || text.empty() || text.find('\t') == std::string_view::npos) return column;
  std::int32_t width = 0;
  std::int32_t pos = 1;
  for (char ch : text) {
    width = AdvanceWidth(width, ch, tabSize);
    if (column <= width) return pos;
    ++pos;
  }
  return static_cast<std::int32_t>(text.size()) + (column - width);
}
