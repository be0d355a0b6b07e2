#pragma once
// The legend rules that its layout and its painting share: which styles it
// lists, when a vertical legend starts a new column, and its orientation.

#include <variant>

#include "plot/bmParts.h"

namespace bmlegend {

inline bool CountsInLegend(const TbmStyleEntry& entry) {
  switch (entry.Kind()) {
    case 0: return std::get<TbmLineClass>(entry.Part).InLegend;
    case 1: return std::get<TbmSymbolClass>(entry.Part).InLegend;
    case 2: return std::get<TbmLineSymbolClass>(entry.Part).InLegend;
    case 3: return std::get<TbmBarClass>(entry.Part).InLegend;
    default: return false;  // texts and quadrilaterals never appear
  }
}

// A vertical legend starts a new column when the next row would run past the
// plot height (a row taller than the plot stays in its own column).
inline bool StartsNewColumn(int columnHeight, int rowHeight, int plotHeight) {
  return columnHeight > 0 && columnHeight + rowHeight > plotHeight;
}

inline bool IsVertical(const TbmLegendClass& legend) {
  return legend.Placement == bmLegendRight || legend.Placement == bmLegendLeft;
}

}  // namespace bmlegend
