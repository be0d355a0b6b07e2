#include "controls/table/VirTblLayout.h"

#include <algorithm>

void TVirVisibleList::Layout(const TVirTableAxis& axis, int locked, int first, int clientExtent) {
  entries_.clear();
  int offset = 0;
  auto take = [&](int n) {
    if (axis.IsHidden(n)) return;
    entries_.push_back({n, offset});
    offset += axis.Extent(n);
  };
  const int count = axis.Count();
  for (int n = 0; n < std::min(locked, count) && offset < clientExtent; ++n) take(n);
  for (int n = std::max(first, locked); n < count && offset < clientExtent; ++n) take(n);
  end_ = offset;
}

int TVirVisibleList::PositionOf(int number) const {
  auto it = std::lower_bound(entries_.begin(), entries_.end(), number,
                             [](const TVirVisibleEntry& e, int n) { return e.Number < n; });
  return it != entries_.end() && it->Number == number ? static_cast<int>(it - entries_.begin()) : -1;
}

int TVirVisibleList::PositionAt(int offset) const {
  if (offset < 0 || offset >= end_ || entries_.empty()) return -1;
  auto it = std::upper_bound(entries_.begin(), entries_.end(), offset,
                             [](int o, const TVirVisibleEntry& e) { return o < e.Offset; });
  return static_cast<int>(it - entries_.begin()) - 1;
}

int NextVisible(const TVirTableAxis& axis, int n) {
  for (int m = n + 1; m < axis.Count(); ++m)
    if (!axis.IsHidden(m)) return m;
  return -1;
}

int PreviousVisible(const TVirTableAxis& axis, int n, int locked) {
  for (int m = std::min(n, axis.Count()) - 1; m >= locked && m >= 0; --m)
    if (!axis.IsHidden(m)) return m;
  return -1;
}

int ApplyRangeRules(const TVirTableAxis& axis, int locked, int n, int direction) {
  if (n < locked || n >= axis.Count()) n = locked;
  if (n >= axis.Count()) return n;
  if (direction == 0) {
    if (!axis.IsHidden(n)) return n;
    const int next = NextVisible(axis, n);
    if (next >= 0) return next;
    const int previous = PreviousVisible(axis, n, locked);
    return previous >= 0 ? previous : n;
  }
  const int found = direction > 0 ? NextVisible(axis, n) : PreviousVisible(axis, n, locked);
  return found >= 0 ? found : n;
}

namespace {

int LockedExtent(const TVirTableAxis& axis, int locked) {
  int extent = 0;
  for (int n = 0; n < std::min(locked, axis.Count()); ++n)
    if (!axis.IsHidden(n)) extent += axis.Extent(n);
  return extent;
}

}  // namespace

int LargestFirst(const TVirTableAxis& axis, int locked, int clientExtent) {
  int accepted = PreviousVisible(axis, axis.Count(), locked);
  if (accepted < 0) return locked;
  // A running sum of the rows from the candidate to the end.
  long long extent = static_cast<long long>(LockedExtent(axis, locked)) + axis.Extent(accepted);
  for (;;) {
    const int candidate = PreviousVisible(axis, accepted, locked);
    if (candidate < 0 || extent + axis.Extent(candidate) >= clientExtent) return accepted;
    extent += axis.Extent(candidate);
    accepted = candidate;
  }
}

int FirstToShow(const TVirTableAxis& axis, int locked, int first, int largest, int target,
                const TVirVisibleList& visible, int clientExtent) {
  if (target < locked) return first;
  const int pos = visible.PositionOf(target);
  if (pos < 0) return target;
  if (visible[pos].Offset + axis.Extent(target) <= clientExtent) return first;
  // The rows from `top` to the target, after the locked ones.
  long long extent = static_cast<long long>(visible[pos].Offset) + axis.Extent(target);
  int top = first;
  while (extent > clientExtent && top < target && top < largest) {
    if (!axis.IsHidden(top)) extent -= axis.Extent(top);
    const int next = NextVisible(axis, top);
    if (next < 0) break;
    top = next;
  }
  return top;
}

TVirScrollMove ScrollMoveBetween(const TVirVisibleList& before, const TVirVisibleList& after, int locked,
                                 int clientExtent) {
  TVirScrollMove move;
  for (int pos = 0; pos < after.Count(); ++pos) {
    const int number = after[pos].Number;
    if (number < locked) continue;
    const int old = before.PositionOf(number);
    if (old >= 0 && !move.shared) {
      move.shared = true;
      move.delta = after[pos].Offset - before[old].Offset;
    }
    if (old < 0 || before.EndOf(old) > clientExtent) move.exposed.push_back(pos);
  }
  return move;
}

int PageBackFirst(const TVirTableAxis& axis, int locked, int first, int clientExtent) {
  int candidate = PreviousVisible(axis, first, locked);
  if (candidate < 0) return first;
  for (;;) {
    TVirVisibleList scratch;
    scratch.Layout(axis, locked, candidate, clientExtent);
    if (scratch.End() >= clientExtent && scratch.Count() > 0 && scratch[scratch.Count() - 1].Number <= first)
      return candidate;
    const int earlier = PreviousVisible(axis, candidate, locked);
    if (earlier < 0) return candidate;
    candidate = earlier;
  }
}

namespace {

// Visible columns in [from, to).
int VisibleBetween(const TVirTableAxis& axis, int from, int to) {
  int count = 0;
  for (int n = std::max(from, 0); n < std::min(to, axis.Count()); ++n)
    if (!axis.IsHidden(n)) ++count;
  return count;
}

}  // namespace

TVirScrollBarValues HorizontalScrollValues(const TVirTableAxis& columns, int lockedCols, int largestLeft, int leftCol) {
  return {0, std::max(0, VisibleBetween(columns, lockedCols, largestLeft + 1) - 1),
          VisibleBetween(columns, lockedCols, leftCol)};
}

int HorizontalThumbColumn(const TVirTableAxis& columns, int lockedCols, int pos) {
  int n = lockedCols;
  if (n < columns.Count() && columns.IsHidden(n)) n = std::max(NextVisible(columns, n), n);
  for (int step = 0; step < pos; ++step) {
    const int next = NextVisible(columns, n);
    if (next < 0) break;
    n = next;
  }
  return n;
}

namespace {

int ScaleFactor(int rowLimit) { return rowLimit / 1024 + 1; }
int ScaledMax(int largestTop) { return largestTop / (largestTop / 1024 + 1); }

}  // namespace

TVirScrollBarValues VerticalScrollValues(int rowLimit, int lockedRows, int largestTop, int topRow) {
  if (rowLimit < kScaledScrollRows) return {lockedRows, std::max(lockedRows, largestTop), topRow};
  const int max = std::max(lockedRows, ScaledMax(largestTop));
  const int pos = topRow >= largestTop ? max : topRow / ScaleFactor(rowLimit);
  return {lockedRows, max, std::clamp(pos, lockedRows, std::max(lockedRows, max))};
}

int VerticalThumbRow(int rowLimit, int lockedRows, int largestTop, int pos) {
  if (rowLimit < kScaledScrollRows) return pos;
  if (pos <= lockedRows) return lockedRows;
  if (pos >= ScaledMax(largestTop)) return largestTop;
  return ScaleFactor(rowLimit) * pos;
}
