#include "controls/table/VirTCStr.h"

#include <algorithm>

namespace {

bool IsLeft(TVirTblAdjust a) { return a == otaTopLeft || a == otaCenterLeft || a == otaBottomLeft; }
bool IsRight(TVirTblAdjust a) { return a == otaTopRight || a == otaCenterRight || a == otaBottomRight; }
bool IsTop(TVirTblAdjust a) { return a == otaTopLeft || a == otaTopCenter || a == otaTopRight; }
bool IsBottom(TVirTblAdjust a) { return a == otaBottomLeft || a == otaBottomCenter || a == otaBottomRight; }

int HorizontalAt(plat::Rect r, int width, TVirTblAdjust adjust) {
  if (IsLeft(adjust)) return r.left;
  if (IsRight(adjust)) return r.right - width;
  return r.left + (r.Width() - width) / 2;
}

// The lines of a word-wrapped text: broken at line ends, and between words
// where the next word would pass the width. A word wider than the width stays whole.
std::vector<std::string> WrapLines(const plat::Canvas& canvas, std::string_view text, int width) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view paragraph = text.substr(start, end - start);
    if (!paragraph.empty() && paragraph.back() == '\r') paragraph.remove_suffix(1);
    std::string line;
    std::size_t pos = 0;
    while (pos < paragraph.size()) {
      const std::size_t wordEnd = std::min(paragraph.find(' ', pos), paragraph.size());
      const std::string_view word = paragraph.substr(pos, wordEnd - pos);
      const std::string candidate = line.empty() ? std::string(word) : line + " " + std::string(word);
      if (!line.empty() && canvas.TextWidth(candidate) > width) {
        lines.push_back(line);
        line = std::string(word);
      } else {
        line = candidate;
      }
      pos = wordEnd + 1;
    }
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

}  // namespace

std::string CellDataText(TVirCellData data, bool zeroTerminated) {
  if (data.empty()) return {};
  if (zeroTerminated) {
    auto end = std::find(data.begin(), data.end(), std::uint8_t{0});
    return std::string(data.begin(), end);
  }
  const std::size_t length = std::min<std::size_t>(data[0], data.size() - 1);
  return std::string(data.begin() + 1, data.begin() + 1 + static_cast<std::ptrdiff_t>(length));
}

std::vector<TextPlacement> PlaceCellText(const plat::Canvas& canvas, plat::Rect rect, std::string_view text,
                                         TVirTblAdjust adjust, bool wordWrap) {
  std::vector<TextPlacement> placed;
  if (wordWrap) {
    // Always from the top, one line under the other.
    int y = rect.top;
    for (std::string& line : WrapLines(canvas, text, rect.Width())) {
      const plat::Size extent = canvas.TextExtent(line);
      placed.push_back({std::move(line), {HorizontalAt(rect, extent.cx, adjust), y}});
      y += extent.cy;
    }
    return placed;
  }
  const plat::Size extent = canvas.TextExtent(text);
  // Too wide: a centred or right text keeps its row but starts at the left.
  if (extent.cx > rect.Width() && !IsLeft(adjust))
    adjust = IsTop(adjust) ? otaTopLeft : IsBottom(adjust) ? otaBottomLeft : otaCenterLeft;
  const int y = IsTop(adjust)      ? rect.top
                : IsBottom(adjust) ? rect.bottom - extent.cy
                                   : rect.top + (rect.Height() - extent.cy) / 2;
  placed.push_back({std::string(text), {HorizontalAt(rect, extent.cx, adjust), y}});
  return placed;
}

std::string ColumnLetters(int n) {
  std::string letters;
  while (n >= 1) {
    --n;
    letters.insert(letters.begin(), static_cast<char>('A' + n % 26));
    n /= 26;
  }
  return letters;
}

void TVirTCBaseString::PaintText(plat::Canvas& canvas, plat::Rect cellRect, const TVirCellAttributes& attr,
                                 std::string_view text) {
  TVirBaseTableCell::PaintCell(canvas, cellRect, 0, 0, attr, {});
  if (attr.Access == otxInvisible || text.empty()) return;
  plat::Font font = attr.Font;
  font.color = plat::ColorToRGB(attr.FontColor);
  canvas.SetFont(font);
  canvas.SetBrush({plat::clWhite, plat::BrushStyle::Clear});
  const int inset = Margin() / 2;
  const plat::Rect textRect{cellRect.left + inset, cellRect.top + inset, cellRect.right - inset,
                            cellRect.bottom - inset};
  const int offset = attr.TextStyle == tsRaised ? -1 : attr.TextStyle == tsLowered ? 1 : 0;
  for (const TextPlacement& p : PlaceCellText(canvas, textRect, text, attr.Adjust, useWordWrap_)) {
    if (offset != 0) {
      plat::Font hi = font;
      hi.color = plat::ColorToRGB(attr.FontHiColor);
      canvas.SetFont(hi);
      canvas.TextRect(textRect, p.at.x + offset, p.at.y + offset, p.line);
      canvas.SetFont(font);
    }
    canvas.TextRect(textRect, p.at.x, p.at.y, p.line);
  }
}

void TVirTCBaseString::PaintCell(plat::Canvas& canvas, plat::Rect cellRect, int, int, const TVirCellAttributes& attr,
                                 TVirCellData data) {
  PaintText(canvas, cellRect, attr, CellDataText(data, useASCIIZStrings_));
}

TVirTCColHead::TVirTCColHead() {
  SetAccess(otxReadOnly);
  SetUseASCIIZStrings(false);
}

void TVirTCColHead::PaintCell(plat::Canvas& canvas, plat::Rect cellRect, int, int colNum,
                              const TVirCellAttributes& attr, TVirCellData data) {
  const bool answers = TableAnswers();
  const int lockedCols = answers ? Table()->LockedCols() : 0;
  const int activeCol = answers ? Table()->ActiveCol() : -1;
  if (showActiveCol_ && colNum == activeCol) {
    PaintText(canvas, cellRect, attr, {});
    // A triangle pointing down, placed by the adjustment.
    const int w = cellRect.Width(), h = cellRect.Height(), s = std::min(w, h) / 3;
    const int x = cellRect.left + (IsLeft(attr.Adjust)    ? Margin()
                                   : IsRight(attr.Adjust) ? w - Margin() - s
                                                          : (w - s) / 2);
    const int y = cellRect.top + (IsTop(attr.Adjust)      ? Margin()
                                  : IsBottom(attr.Adjust) ? h - Margin() - s
                                                          : (h - s) / 2);
    const plat::Color color = plat::ColorToRGB(attr.FontColor);
    canvas.SetPen({color, plat::PenStyle::Solid, 1});
    canvas.SetBrush({color, plat::BrushStyle::Solid});
    canvas.Polygon({{x, y}, {x + s, y}, {x + s / 2, y + s}});
    return;
  }
  std::string text;
  if (showLetters_)
    text = ColumnLetters(colNum - lockedCols + 1);
  else if (!data.empty())
    text = CellDataText(data, false);
  else if (colNum >= 0 && colNum < static_cast<int>(headings_.size()))
    text = headings_[static_cast<std::size_t>(colNum)];
  PaintText(canvas, cellRect, attr, text);
}

void TVirTCColHead::ColumnsChanged(int colNum1, int colNum2, TVirTblActions action) {
  const int count = static_cast<int>(headings_.size());
  switch (action) {
    case tbaAdded:
      if (colNum1 >= 0 && colNum1 <= count) headings_.insert(headings_.begin() + colNum1, std::string());
      break;
    case tbaRemoved:
      if (colNum1 >= 0 && colNum1 < count) headings_.erase(headings_.begin() + colNum1);
      break;
    case tbaSwapped:
      if (colNum1 < 0 || colNum2 < 0) break;
      if (static_cast<int>(headings_.size()) <= std::max(colNum1, colNum2))
        headings_.resize(static_cast<std::size_t>(std::max(colNum1, colNum2)) + 1);
      std::swap(headings_[static_cast<std::size_t>(colNum1)], headings_[static_cast<std::size_t>(colNum2)]);
      break;
    default: break;
  }
}
