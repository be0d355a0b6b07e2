// Rows, columns, the repaint list and the selection list.

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

#include "controls/table/VirTblModel.h"
#include "controls/table/VirTblSel.h"

namespace {

using Change = std::tuple<int, int, TVirTblActions>;

struct RowsFixture : ::testing::Test {
  TVirTableRows rows;
  std::vector<Change> changes;
  void SetUp() override {
    rows.OnChanged = [this](int a, int b, TVirTblActions act) { changes.emplace_back(a, b, act); };
  }
};

TEST_F(RowsFixture, RowStyleRules) {
  struct Case {
    const char* what;
    bool styledBefore;
    TRowStyle set;
    bool styledAfter;
    TRowStyle read;
  };
  const Case cases[] = {
      {"default height, shown: no style", false, {30, false}, false, {30, false}},
      {"default height, shown, styled before: style removed", true, {30, false}, false, {30, false}},
      {"height 0, hidden: kept with the default height", false, {0, true}, true, {30, true}},
      {"height 0, hidden, styled before", true, {0, true}, true, {30, true}},
      {"a real height", false, {12, false}, true, {12, false}},
      {"negative height, shown: no style", true, {-5, false}, false, {30, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    rows.Clear();
    if (c.styledBefore) rows.SetRowStyle(3, {44, true});
    rows.SetRowStyle(3, c.set);
    EXPECT_EQ(rows.IsStyled(3), c.styledAfter);
    EXPECT_EQ(rows.RowStyle(3), c.read);
  }
}

TEST_F(RowsFixture, RowHeightRulesAndNotifications) {
  rows.SetRowHeight(2, 30);  // the default on an unstyled row: nothing
  EXPECT_TRUE(changes.empty());
  rows.SetRowHeight(2, 40);
  rows.SetRowStyle(2, {40, true});
  rows.SetRowHeight(2, 0);  // hidden: kept with -1
  EXPECT_TRUE(rows.IsStyled(2));
  EXPECT_EQ(rows.Height(2), 30);
  rows.SetRowStyle(2, {-1, false});
  EXPECT_FALSE(rows.IsStyled(2));
  EXPECT_EQ(changes, (std::vector<Change>{{2, 0, tbaOne}, {2, 0, tbaOne}, {2, 0, tbaOne}, {2, 0, tbaOne}}));
  changes.clear();
  rows.SetDefaultHeight(0);
  rows.SetDefaultHeight(30);
  EXPECT_TRUE(changes.empty());
  rows.SetDefaultHeight(25);
  rows.SetLimit(0);
  EXPECT_EQ(rows.Limit(), 1);
  EXPECT_EQ(changes, (std::vector<Change>{{0, 0, tbaEvery}, {-2, 0, tbaOverall}}));
}

TEST_F(RowsFixture, BoundsAndRowsThatCannotBeStyled) {
  EXPECT_THROW(rows.RowStyle(10), EVireoTable);
  EXPECT_THROW(rows.SetRowHeight(-1, 5), EVireoTable);
  try {
    rows.Hidden(10);
  } catch (const EVireoTable& e) {
    EXPECT_STREQ(e.what(), "row number out of bounds");
  }
  rows.SetLimit(500000);
  rows.SetRowStyle(400000, {50, true});
  EXPECT_FALSE(rows.IsStyled(400000));
  EXPECT_EQ(rows.RowStyle(400000), (TRowStyle{30, false}));
}

TEST_F(RowsFixture, ExchangeAndRescale) {
  rows.SetRowHeight(1, 60);
  rows.Exchange(1, 4);
  EXPECT_EQ(rows.Height(4), 60);
  EXPECT_FALSE(rows.IsStyled(1));
  rows.Rescale(1, 100);  // heights never fall below 1
  EXPECT_EQ(rows.DefaultHeight(), 1);
  EXPECT_EQ(rows.Height(4), 1);
  rows.Rescale(3, 0);  // refused
  EXPECT_EQ(rows.DefaultHeight(), 1);
  rows.Rescale(150, 1);
  EXPECT_EQ(rows.DefaultHeight(), 150);
}

struct ColumnsFixture : ::testing::Test {
  std::unique_ptr<TVirTableColumns> columns = TVirTableColumns::Create(nullptr, 10);
  std::vector<Change> changes;
  void SetUp() override {
    columns->SetOnChanged([this](int a, int b, TVirTblActions act) { changes.emplace_back(a, b, act); });
  }
};

TEST_F(ColumnsFixture, Counts) {
  struct Case {
    int set;
    int count;
  };
  for (Case c : {Case{0, 10}, Case{-3, 10}, Case{12, 12}, Case{10, 10}, Case{1, 1}}) {
    columns->SetCount(c.set);
    EXPECT_EQ(columns->Count(), c.count) << "set " << c.set;
  }
  columns->SetCount(3);
  EXPECT_EQ(columns->Column(2)->Width(), 150);
  EXPECT_EQ(columns->Column(2)->Number(), 2);
  EXPECT_EQ(columns->Column(3), nullptr);
  EXPECT_EQ(columns->Column(-1), nullptr);
}

TEST_F(ColumnsFixture, NotificationsAndNumbers) {
  columns->SetCount(12);
  columns->Column(3)->SetWidth(0);  // refused
  columns->Column(3)->SetWidth(-20);
  columns->Column(3)->SetWidth(80);
  columns->Exchange(3, 5);
  columns->Delete(0);
  EXPECT_EQ(columns->Column(4)->Width(), 80);
  EXPECT_EQ(columns->Column(4)->Number(), 4);
  EXPECT_EQ(changes,
            (std::vector<Change>{
                {10, 0, tbaAdded}, {11, 0, tbaAdded}, {3, 0, tbaOne}, {3, 5, tbaSwapped}, {0, 0, tbaRemoved}}));
}

TEST_F(ColumnsFixture, AColumnOfAnotherTableOrClassIsNotAdded) {
  struct OtherColumn : TVirTableColumn {
    using TVirTableColumn::TVirTableColumn;
  };
  int otherTable = 0;
  std::unique_ptr<TVirTableColumn> foreign =
      std::make_unique<TVirTableColumn>(reinterpret_cast<TVirTableAncestor*>(&otherTable));
  std::unique_ptr<TVirTableColumn> otherClass = std::make_unique<OtherColumn>(nullptr);
  std::unique_ptr<TVirTableColumn> own = std::make_unique<TVirTableColumn>(nullptr);
  EXPECT_FALSE(columns->Add(foreign));
  EXPECT_FALSE(columns->Add(otherClass));
  EXPECT_TRUE(foreign && otherClass);
  EXPECT_TRUE(columns->Add(own));
  EXPECT_FALSE(own);
  EXPECT_EQ(columns->Count(), 11);
}

TEST(TableColors, DefaultsAndChanges) {
  TVirTableColors colors;
  int calls = 0;
  colors.OnChange = [&calls] { ++calls; };
  EXPECT_EQ(colors[TVirTableColors::Locked], plat::clBtnFace);
  EXPECT_EQ(colors[TVirTableColors::SelectedText], plat::clHighlightText);
  colors.Set(TVirTableColors::Locked, plat::clBtnFace);
  colors.Set(TVirTableColors::Locked, plat::clWhite);
  EXPECT_EQ(calls, 1);
  TVirGridPenSet pens;
  EXPECT_EQ(pens.NormalGrid.Style(), plat::PenStyle::Dot);
  EXPECT_EQ(pens.LockedGrid.Effect(), ge3D);
  EXPECT_EQ(pens.CellWhenUnfocused.Style(), plat::PenStyle::Dash);
  EXPECT_EQ(pens.CellWhenFocused.NormalColor(), plat::clBlack);
}

TEST(CellArray, KeepsSortedUniquePairsAndMerges) {
  TVirCellArray a, b;
  for (auto [r, c] : {std::pair{3, 1}, {1, 5}, {3, 1}, {1, 2}}) a.Add(r, c);
  b.Add(2, 0);
  b.Add(1, 5);
  b.MarkUnusedArea();
  a.Merge(b);
  EXPECT_EQ(a.Count(), 4);
  EXPECT_EQ(a.CellAt(0), (std::pair{1, 2}));
  EXPECT_EQ(a.CellAt(3), (std::pair{3, 1}));
  EXPECT_EQ(a.CellAt(9), (std::pair{0, 0}));
  EXPECT_TRUE(a.UnusedAreaMarked());
  EXPECT_FALSE(a.Remove(7, 7));
  EXPECT_TRUE(a.Remove(2, 0));
  a.Clear();
  EXPECT_TRUE(a.IsEmpty());
}

// The selection list against a plain set of cells.
TEST(SelectionList, RandomRectanglesAgreeWithASetOfCells) {
  constexpr int kCols = 6, kRows = 40;
  std::mt19937 random(7);
  for (int round = 0; round < 30; ++round) {
    TVirSelectionList list(kCols, kRows);
    std::set<std::pair<int, int>> model;
    for (int step = 0; step < 60; ++step) {
      const int r1 = static_cast<int>(random() % kRows), r2 = static_cast<int>(random() % kRows);
      const int c1 = static_cast<int>(random() % kCols), c2 = static_cast<int>(random() % kCols);
      const bool select = random() % 3 != 0;
      bool applies = true;
      if (random() % 2) {
        // A pending rectangle whose corner is its anchor selects nothing.
        applies = !(r1 == r2 && c1 == c2);
        // Through a pending rectangle, committed by the next start.
        list.StartRange(r1, c1, true);
        list.ExtendRange(r2, c2, select);
        if (random() % 2) list.StartRange(r2, c2, true);
      } else if (select) {
        list.StartRange(0, 0, true);  // a pending rectangle outranks the ranges: commit it first
        list.SelectRect(r1, c1, r2, c2);
      } else {
        list.StartRange(0, 0, true);
        list.DeselectRect(r1, c1, r2, c2);
      }
      if (applies) {
        for (int r = std::min(r1, r2); r <= std::max(r1, r2); ++r)
          for (int c = std::min(c1, c2); c <= std::max(c1, c2); ++c)
            if (select)
              model.insert({r, c});
            else
              model.erase({r, c});
      }
      for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c) ASSERT_EQ(list.IsSelected(r, c), model.count({r, c}) == 1) << r << "," << c;
    }
    std::set<std::pair<int, int>> iterated;
    int columnsSeen = -1;
    list.Iterate([&](int first, int col, int last) {
      EXPECT_GE(col, columnsSeen);
      columnsSeen = col;
      for (int r = first; r <= last; ++r) iterated.insert({r, col});
      return true;
    });
    EXPECT_EQ(iterated, model);
    EXPECT_EQ(list.HasSelection(), !model.empty());
  }
}

TEST(SelectionList, RectanglesInAnyCornerOrderSplitsAndBounds) {
  TVirSelectionList list(10, 10);
  list.SelectRect(2, 5, 0, 1);
  for (int c = 1; c <= 5; ++c) EXPECT_EQ(list.RangesOf(c), (std::vector<TVirSelectionList::Range>{{0, 2}}));
  EXPECT_EQ(list.ColumnsWithRanges(), 5);
  list.SelectRect(0, 0, 10, 0);  // reaches outside: ignored
  EXPECT_FALSE(list.IsSelected(0, 0));
  list.SelectRect(0, 3, 9, 3);
  list.DeselectRect(4, 3, 5, 3);
  EXPECT_EQ(list.RangesOf(3), (std::vector<TVirSelectionList::Range>{{0, 3}, {6, 9}}));
  list.DeselectRect(0, 1, 9, 1);  // the column's last range goes
  EXPECT_EQ(list.ColumnsWithRanges(), 4);
  int visits = 0;
  list.Iterate([&visits](int, int, int) { return ++visits < 2; });
  EXPECT_EQ(visits, 2);
  list.SetColCount(3);
  EXPECT_EQ(list.ColumnsWithRanges(), 1);
  list.SetRowCount(2);
  EXPECT_EQ(list.RangesOf(2), (std::vector<TVirSelectionList::Range>{{0, 1}}));
  list.StartRange(0, 0, false);
  EXPECT_FALSE(list.HasSelection());
}

}  // namespace
