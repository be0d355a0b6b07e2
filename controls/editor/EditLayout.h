#pragma once
// The arithmetic of the editor's window: how many rows and columns show, and
// the scroll bars. The vertical bar works in a 16-bit range, so a text of more
// than 32767 lines scrolls in steps of several lines per thumb position.

#include <cstdint>

// A scroll bar's range and thumb; min = max = 0 hides the bar.
struct TScrollRange {
  std::int32_t min = 0;
  std::int32_t max = 0;
  std::int32_t pos = 0;
  bool operator==(const TScrollRange&) const = default;
};

// Lines per thumb position and the thumb's largest position.
struct TVertScale {
  std::int32_t scale = 1;
  std::int32_t max = 0;
  bool operator==(const TVertScale&) const = default;
};

inline constexpr std::int32_t kMaxScrollRange = 32767;
// The horizontal bar never spans more columns than this.
inline constexpr std::int32_t kMaxHorzColumns = 512;

// Columns of text between the margins, at least 1.
std::int32_t VisibleColumns(int clientWidth, int leftMargin, int rightMargin, int charWidth);
// Whole lines in the window, at least 1.
std::int32_t VisibleRows(int clientHeight, int lineHeight);
// The wrap column that makes wrapped lines fit the window; never below 1.
std::int32_t WindowWrapColumn(std::int32_t visibleColumns);

TVertScale VerticalScale(std::int32_t lineCount, std::int32_t visibleRows, bool barsAlways);
TScrollRange VerticalRange(std::int32_t lineCount, std::int32_t visibleRows, std::int32_t topLine, bool hasBar,
                           bool barsAlways);
// The first visible line for a thumb dragged to `pos`.
std::int32_t LineOfThumb(std::int32_t pos, std::int32_t lineCount, std::int32_t visibleRows, bool barsAlways);

// `width` is the wrap column with word wrap, else the paragraph length limit.
TScrollRange HorizontalRange(std::int32_t width, std::int32_t visibleColumns, std::int32_t leftColumn, bool hasBar,
                             bool barsAlways);

// Milliseconds between two rounds of mouse tracking outside the window: the
// further out the mouse, the faster the text scrolls; never below 1.
std::uint32_t TrackingInterval(int scrollArrowSize, int distanceOutside);
