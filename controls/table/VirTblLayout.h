#pragma once
// The geometry of the grid along one direction (rows or columns): which rows
// are on screen and where, how far the view may scroll, the range rules that
// skip hidden rows, bringing a row into view and the scroll-bar values. Plain
// arithmetic over the row heights (column widths), hidden flags and the
// client extent.

#include <vector>

#include "controls/table/VirTblModel.h"

// Sizes along one direction.
class TVirTableAxis {
 public:
  virtual ~TVirTableAxis() = default;
  virtual int Count() const = 0;
  virtual int Extent(int n) const = 0;
  virtual bool IsHidden(int n) const = 0;
};

class TVirRowAxis : public TVirTableAxis {
 public:
  explicit TVirRowAxis(const TVirTableRows& rows) : rows_(rows) {}
  int Count() const override { return rows_.Limit(); }
  int Extent(int n) const override { return rows_.Height(n); }
  bool IsHidden(int n) const override { return rows_.Hidden(n); }

 private:
  const TVirTableRows& rows_;
};

class TVirColumnAxis : public TVirTableAxis {
 public:
  explicit TVirColumnAxis(const TVirTableColumns& columns) : columns_(columns) {}
  int Count() const override { return columns_.Count(); }
  int Extent(int n) const override { return columns_.Column(n)->Width(); }
  bool IsHidden(int n) const override { return columns_.Column(n)->Hidden(); }

 private:
  const TVirTableColumns& columns_;
};

struct TVirVisibleEntry {
  int Number;
  int Offset;  // starting pixel
};

// The rows (columns) on screen: the locked ones that are not hidden, then the
// scrolling ones from the first shown on, skipping hidden ones, while the
// running offset is below the client extent. The last may be cut by the edge.
class TVirVisibleList {
 public:
  void Layout(const TVirTableAxis& axis, int locked, int first, int clientExtent);
  int Count() const { return static_cast<int>(entries_.size()); }
  const TVirVisibleEntry& operator[](int pos) const { return entries_[static_cast<std::size_t>(pos)]; }
  // The pixel offset where the last entry ends (0 when empty).
  int End() const { return end_; }
  // Where entry `pos` ends.
  int EndOf(int pos) const { return pos + 1 < Count() ? (*this)[pos + 1].Offset : end_; }
  // The position of a row number, or -1 when it is not on screen.
  int PositionOf(int number) const;
  // The position whose band holds the offset, or -1.
  int PositionAt(int offset) const;

 private:
  std::vector<TVirVisibleEntry> entries_;
  int end_ = 0;
};

// The first row after n that is not hidden, or -1.
int NextVisible(const TVirTableAxis& axis, int n);
// The last row before n, not below `locked`, that is not hidden, or -1.
int PreviousVisible(const TVirTableAxis& axis, int n, int locked);
// The range rules: a number below the locked count or beyond the last row
// becomes the locked count; then with direction 0 the number itself when
// visible, else the next visible one, else the nearest visible one before it;
// with +1 the next visible one after it, else the number; with -1 the nearest
// visible one before it, else the number.
int ApplyRangeRules(const TVirTableAxis& axis, int locked, int n, int direction);
// The largest first scrolling row: the earliest row from which the rows to the
// end, after the locked ones, end strictly above the client extent (the last
// visible row at least).
int LargestFirst(const TVirTableAxis& axis, int locked, int clientExtent);
// The first scrolling row that brings `target` into view, starting from
// `first`: the target itself when it is not on screen; otherwise rows are
// taken off the top until the target's end fits, stopping at the target
// itself or at `largest` (a row taller than the scrolling area ends on top).
int FirstToShow(const TVirTableAxis& axis, int locked, int first, int largest, int target,
                const TVirVisibleList& visible, int clientExtent);

// How a scroll from `before` to `after` moves the scrolling rows (those from
// `locked` on): the pixel distance when the two views share a scrolling row,
// with the scrolling rows of `after` that the move does not bring whole into
// view (new ones, and ones the client edge cut before). Nothing when they
// share none.
struct TVirScrollMove {
  bool shared = false;
  int delta = 0;
  std::vector<int> exposed;  // positions in `after`
};
TVirScrollMove ScrollMoveBetween(const TVirVisibleList& before, const TVirVisibleList& after, int locked,
                                 int clientExtent);

// The first scrolling row of one page back from `first`: the latest earlier
// row from which the rows laid out reach the client extent and show `first`
// last (possibly cut), or the first scrolling row when the rows run out;
// `first` itself when no visible row precedes it.
int PageBackFirst(const TVirTableAxis& axis, int locked, int first, int clientExtent);

struct TVirScrollBarValues {
  int Min = 0;
  int Max = 0;
  int Pos = 0;
  friend bool operator==(const TVirScrollBarValues&, const TVirScrollBarValues&) = default;
};

// Horizontal bar: one step per visible scrolling column up to the largest left column.
TVirScrollBarValues HorizontalScrollValues(const TVirTableAxis& columns, int lockedCols, int largestLeft, int leftCol);
int HorizontalThumbColumn(const TVirTableAxis& columns, int lockedCols, int pos);

// Vertical bar: the row number itself below 16384 rows; from 16384 rows on a
// scaled position (the platform's scroll positions were 16-bit), whose end
// stands for the largest top row.
constexpr int kScaledScrollRows = 16384;
TVirScrollBarValues VerticalScrollValues(int rowLimit, int lockedRows, int largestTop, int topRow);
int VerticalThumbRow(int rowLimit, int lockedRows, int largestTop, int pos);
