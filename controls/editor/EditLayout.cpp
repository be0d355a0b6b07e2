#include "controls/editor/EditLayout.h"

#include <algorithm>

std::int32_t VisibleColumns(int clientWidth, int leftMargin, int rightMargin, int charWidth) {
  if (charWidth < 1) return 1;
  return std::max(1, (clientWidth - leftMargin - rightMargin) / charWidth);
}

std::int32_t VisibleRows(int clientHeight, int lineHeight) {
  if (lineHeight < 1) return 1;
  return std::max(1, clientHeight / lineHeight);
}

std::int32_t WindowWrapColumn(std::int32_t visibleColumns) { return std::max(1, visibleColumns - 2); }

namespace {

std::int32_t ScrollableLines(std::int32_t lineCount, std::int32_t visibleRows) {
  return std::max(0, lineCount - (visibleRows - 1));
}

}  // namespace

TVertScale VerticalScale(std::int32_t lineCount, std::int32_t visibleRows, bool barsAlways) {
  const std::int32_t range = ScrollableLines(lineCount, visibleRows);
  TVertScale result;
  result.scale = range > kMaxScrollRange ? 2 * (range / (kMaxScrollRange + 1)) : 1;
  result.max = range / result.scale;
  if (barsAlways && result.max < 2) result.max = 2;
  return result;
}

TScrollRange VerticalRange(std::int32_t lineCount, std::int32_t visibleRows, std::int32_t topLine, bool hasBar,
                           bool barsAlways) {
  if (!hasBar) return {};
  const TVertScale v = VerticalScale(lineCount, visibleRows, barsAlways);
  const std::int32_t pos = topLine / v.scale;
  if (lineCount <= visibleRows && !barsAlways) return {1, 1, pos};
  return {1, v.max, pos};
}

std::int32_t LineOfThumb(std::int32_t pos, std::int32_t lineCount, std::int32_t visibleRows, bool barsAlways) {
  const TVertScale v = VerticalScale(lineCount, visibleRows, barsAlways);
  if (pos <= 1) return 1;
  const std::int32_t last = std::max(ScrollableLines(lineCount, visibleRows), 1);
  if (pos >= v.max) return last;
  return std::min(pos * v.scale, last);
}

TScrollRange HorizontalRange(std::int32_t width, std::int32_t visibleColumns, std::int32_t leftColumn, bool hasBar,
                             bool barsAlways) {
  width = std::min(width, kMaxHorzColumns);
  if (barsAlways && width < 1) width = 1;
  if (!hasBar || (width <= visibleColumns && !barsAlways)) return {};
  return {0, width, leftColumn};
}

std::uint32_t TrackingInterval(int scrollArrowSize, int distanceOutside) {
  return static_cast<std::uint32_t>(std::max(1, 3 * scrollArrowSize - std::max(0, distanceOutside)));
}
