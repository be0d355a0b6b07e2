#include "plot/mxcompHighlight.h"

std::vector<std::string> HighlightItems(const Label_mx& labels, std::int32_t n) {
  std::vector<std::string> items{"-none-"};
  for (std::int32_t k = 1; k <= n; ++k) items.push_back(labels.GetLabel(k));
  return items;
}

std::int32_t StepHighlight(std::int32_t highlight, std::int32_t itemCount, int direction) {
  if (direction > 0 && highlight < itemCount - 1) return highlight + 1;
  if (direction < 0 && highlight > 0) return highlight - 1;
  return highlight;
}
