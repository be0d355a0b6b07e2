#include "controls/table/VirTblDef.h"

#include <cstdint>
#include <cstdlib>

#include "controls/base/StrRes.h"

EVireoTable EVireoTable::RowOutOfBounds() { return EVireoTable(GetLibraryString(34223)); }

EVireoTable EVireoTable::MaxColumns() { return EVireoTable(GetLibraryString(34221)); }

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const std::int64_t p = static_cast<std::int64_t>(a) * b;
  const std::int64_t q = (std::llabs(p) + std::llabs(static_cast<std::int64_t>(c)) / 2) / std::llabs(c);
  return static_cast<int>(((p < 0) != (c < 0)) ? -q : q);
}
