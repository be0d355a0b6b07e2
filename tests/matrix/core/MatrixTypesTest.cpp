#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <iterator>
#include <limits>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "matrix/Matrixob.h"
#include "tests/matrix/core/ErrorText.h"

namespace {

TEST(MatrixTypes, IndexAndSizeErrorsCarryTheirTexts) {
  Rect_mx r(3, 2);
  Rect_mx small(2, 2);
  Sym_mx s(2, 3);
  Sym_mx smallSym(2, 2);
  Tree_mx t(5, 4);
  vect_mx v(3);
  ivect_mx iv(3);
  iLvect_mx ilv(3);
  bvect_mx bv(3);
  Label_mx labels(2);
  Index_mx index(2);
  Graph_mx g(7, 3, 2);
  TVectMxList list;

  const std::pair<std::function<void()>, std::string> cases[] = {
      {[&] { r.getxij(4, 1); }, "Index error in Rect_mx (3,2) getxij: 4 1"},
      {[&] { r.getxij(1, 0); }, "Index error in Rect_mx (3,2) getxij: 1 0"},
      {[&] { r.putxij(0, 3, 1.0); }, "Index error in Rect_mx.putxij: 0 3"},
      {[&] { s.putxij(4, 1, 1.0); }, "Index error in Sym_mx.putxij: 4 1"},
      {[&] { s.getxij(1, -1); }, "Index error in Sym_mx.getxij: 1 -1"},
      {[&] { s.Row(4); }, "Index error in Sym_mx.Row: 4 4"},
      {[&] { r.CopyTo(small); }, "Error: tried to copy rect. ms to too small mx."},
      {[&] { r.TransposeTo(small); }, "Error: tried to transpose to too small mx."},
      {[&] { s.CopyTo(smallSym); }, "Error: tried to copy sym. mx. to too small mx."},
      {[&] { s.CopyToRect(small); }, "Error: tried to copy sym. mx. to too small rect. mx."},
      {[&] { t.PutPointer(5, 1); }, "Attempt to store out of range pointer in tree matrix"},
      {[&] { t.PutPointer(1, 5); }, "Attempt to store out of range pointer in tree matrix"},
      {[&] { t.PutNode(0, 1, 1.0); }, "Attempt to store out of range pointer in tree matrix"},
      {[&] { t.PutValue(0, 1.0); }, "Attempt to store out of range value in tree matrix"},
      {[&] { t.GetValue(5); }, "Index error in Tree_mx.GetValue: 5"},
      {[&] { v.Get(4); }, "Index error in vect_mx.Get: 4"},
      {[&] { v.AddTo(0, 1.0); }, "Index error in vect_mx.AddTo: 0"},
      {[&] { iv.Put(4, 1); }, "Index error in ivect_mx.Put: 4"},
      {[&] { ilv.Get(0); }, "Index error in iLvect_mx.Get: 0"},
      {[&] { bv.Put(4, true); }, "Index error in bvect_mx.Put: 4"},
      {[&] { labels.GetLabel(3); }, "Index error in Label_mx.GetLabel: 3"},
      {[&] { index.Put(3, 1); }, "Index error in Index_mx.Put: 3"},
      {[&] { g.GetEdge(3); }, "Index error in Graph_mx.GetEdge: 3"},
      {[&] { list[0]; }, "List index out of bounds (0)"},
  };
  for (const auto& [action, text] : cases) EXPECT_EQ(ErrorText<E_Morvapc_Internal>(action), text);
}

TEST(RectMx, CreationKeepsTheMissingValuePair) {
  const Rect_mx none(2, 3, 0, -999.0);
  EXPECT_EQ(none.rows(), 2);
  EXPECT_EQ(none.cols(), 3);
  EXPECT_EQ(none.getxij(2, 3), 0.0);
  EXPECT_EQ(none.missCode(), 0);
  EXPECT_EQ(none.missValue(), std::numeric_limits<double>::infinity()) << "code 0 holds +Infinity";
  const Rect_mx coded(2, 3, 1, -999.0);
  EXPECT_EQ(coded.missValue(), -999.0);
}

TEST(RectMx, CurrentSizeBoundsAccessAndShrinksWithinTheAllocation) {
  Rect_mx m(3, 4);
  EXPECT_FALSE(m.SetSize(4, 4));
  EXPECT_FALSE(m.SetSize(3, 5));
  EXPECT_FALSE(m.SetSize(-1, 2));
  m.putxij(3, 4, 9.0);
  ASSERT_TRUE(m.SetSize(2, 2));
  EXPECT_EQ(m.rows() * 10 + m.cols(), 22);
  EXPECT_EQ(ErrorText<E_Morvapc_Internal>([&] { m.getxij(3, 1); }), "Index error in Rect_mx (2,2) getxij: 3 1");
  m.ResetSize();
  EXPECT_EQ(m.getxij(3, 4), 9.0) << "cells outside the current size keep their values";
}

TEST(RectMx, FillTouchesAllocatedCellsButScaleOnlyCurrentOnes) {
  Rect_mx m(2, 3);
  m.Fill(2.0);
  ASSERT_TRUE(m.SetSize(1, 2));
  m.Scale(5.0);
  m.ResetSize();
  const std::vector<double> expected = {10, 10, 2, 2, 2, 2};
  std::vector<double> got;
  for (int i = 1; i <= 2; ++i)
    for (int j = 1; j <= 3; ++j) got.push_back(m.getxij(i, j));
  EXPECT_EQ(got, expected);
}

TEST(RectMx, CopyAndTransposeLeaveTheDestinationSize) {
  Rect_mx a(2, 3);
  for (int i = 1; i <= 2; ++i)
    for (int j = 1; j <= 3; ++j) a.putxij(i, j, 10 * i + j);

  Rect_mx copy(3, 4);
  a.CopyTo(copy);
  EXPECT_EQ(copy.rows() * 10 + copy.cols(), 34);
  EXPECT_EQ(copy.getxij(2, 3), 23.0);
  EXPECT_EQ(copy.getxij(3, 4), 0.0);

  Rect_mx t(3, 3);
  a.TransposeTo(t);
  EXPECT_EQ(t.rows() * 10 + t.cols(), 33);
  for (int i = 1; i <= 2; ++i)
    for (int j = 1; j <= 3; ++j) EXPECT_EQ(t.getxij(j, i), a.getxij(i, j));
}

TEST(RectMx, SymmetrizeCopiesTheLowerTriangleUpwards) {
  Rect_mx m(3, 3);
  m.putxij(2, 1, 21);
  m.putxij(3, 1, 31);
  m.putxij(3, 2, 32);
  m.putxij(1, 3, -1);
  m.Symmetrize();
  EXPECT_EQ(m.getxij(1, 2), 21.0);
  EXPECT_EQ(m.getxij(1, 3), 31.0);
  EXPECT_EQ(m.getxij(2, 3), 32.0);

  Rect_mx tall(3, 2);
  EXPECT_EQ(ErrorText<E_Morvapc_Internal>([&] { tall.Symmetrize(); }), "Index error in Rect_mx.putxij: 1 3");
}

TEST(SymMx, PacksTheLowerTriangleOnASmallGrid) {
  struct Case {
    int n;
    int count, gridRows, gridCols;
  };
  const Case cases[] = {{1, 1, 1, 1}, {2, 3, 2, 2}, {4, 10, 4, 3}, {5000, 12502500, 3536, 3536}};
  for (const Case& c : cases) {
    const Sym_mx s(2, c.n);
    EXPECT_EQ(s.count(), c.count) << c.n;
    EXPECT_EQ(s.GridRows(), c.gridRows) << c.n;
    EXPECT_EQ(s.GridCols(), c.gridCols) << c.n;
    // The grid holds the count, plus less than one grid row of rounding.
    const long cells = static_cast<long>(s.GridRows()) * s.GridCols();
    EXPECT_GE(cells, c.count) << c.n;
    EXPECT_LT(cells - c.count, s.GridRows()) << c.n;
  }
  EXPECT_EQ(Sym_mx::PackedIndex(2, 3), 4u);
  EXPECT_EQ(Sym_mx::PackedIndex(3, 2), 4u);
}

TEST(SymMx, RefusesAnOrderWhoseTriangleDoesNotFit) {
  for (int n : {0, -3, 65536}) {
    EXPECT_THROW(Sym_mx(2, n), EUtContainerError) << n;
  }
}

TEST(SymMx, OneStoreServesBothTriangles) {
  Sym_mx s(3, 4, 1, -9.0);
  EXPECT_EQ(s.rows(), 4);
  EXPECT_EQ(s.cols(), 4);
  EXPECT_EQ(s.matrixType(), 3);
  EXPECT_EQ(s.missValue(), -9.0);
  s.putxij(2, 3, 1.5);
  EXPECT_EQ(s.getxij(3, 2), 1.5);
  s.putxij(4, 4, 2.0);
  s.Scale(2.0);
  EXPECT_EQ(s.getxij(2, 3), 3.0);
  EXPECT_EQ(s.getxij(4, 4), 4.0);
  s.Fill(1.0);
  EXPECT_EQ(s.getxij(1, 4), 1.0);
}

TEST(SymMx, ARowHoldsItsCellsUpToTheDiagonal) {
  Sym_mx s(2, 4);
  for (std::int32_t i = 1; i <= 4; ++i) {
    for (std::int32_t j = 1; j <= i; ++j) s.putxij(i, j, 10 * i + j);
  }
  const std::span<const double> row = std::as_const(s).Row(3);
  EXPECT_EQ(std::vector<double>(row.begin(), row.end()), (std::vector<double>{31, 32, 33}));
  s.Row(4)[1] = 7;
  EXPECT_EQ(s.getxij(2, 4), 7);
}

TEST(SymMx, CopiesByPackedIndexAcrossOrders) {
  Sym_mx s(2, 3);
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= i; ++j) s.putxij(i, j, 10 * i + j);

  Sym_mx larger(2, 6);  // a different grid shape
  s.CopyTo(larger);
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) EXPECT_EQ(larger.getxij(i, j), s.getxij(i, j)) << i << "," << j;
  EXPECT_EQ(larger.getxij(4, 1), 0.0);

  Rect_mx square(3, 4);
  s.CopyToRect(square);
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) EXPECT_EQ(square.getxij(i, j), s.getxij(i, j)) << i << "," << j;
  EXPECT_EQ(square.getxij(1, 3), 31.0);
}

TEST(LabelMx, WithoutStorageLabelsAreTheirNumbers) {
  Label_mx none(0);
  EXPECT_FALSE(none.HasStorage());
  EXPECT_EQ(none.GetLabel(7), "7");
  EXPECT_EQ(none.GetWidth(), 3);
  none.PutLabel(7, "ignored");
  EXPECT_EQ(none.GetLabel(7), "7");

  Label_mx copy(3);
  none.CopyTo(copy);
  EXPECT_EQ(copy.GetLabel(3), "3");
}

TEST(LabelMx, StoresTrimmedLabelsOfAtMostFifteenCharacters) {
  struct Case {
    const char* stored;
    const char* label;
  };
  const Case cases[] = {
      {"  Homo  ", "Homo"},
      {"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNO"},
      {"   ", ""},
      {"a b", "a b"},
      // Fifteen characters, however many bytes they take in UTF-8.
      {"Staphylococcus\xC3\xA9s", "Staphylococcus\xC3\xA9"},
      {"\xC3\x89\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9",
       "\xC3\x89\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"},
      {"\xF0\x9F\x8C\xBF\xF0\x9F\x8C\xBF\xF0\x9F\x8C\xBF\xF0\x9F\x8C\xBF\xF0\x9F\x8C\xBF"
       "\xF0\x9F\x8C\xBF\xF0\x9F\x8C\xBF\xF0\x9F\x8C\xBF\xF0\x9F\x8C\xBF\xF0\x9F\x8C\xBF"
       "\xF0\x9F\x8C\xBF\xF0\x9F\x8C\xBF\xF0\x9F\x8C\xBF\xF0\x9F\x8C\xBF\xF0\x9F\x8C\xBF\xF0\x9F\x8C\xBF",
       "\xF0\x9F\x8C\xBF\xF0\x9F\x8C\xBF\xF0\x9F\x8C\xBF\xF0\x9F\x8C\xBF\xF0\x9F\x8C\xBF"
       "\xF0\x9F\x8C\xBF\xF0\x9F\x8C\xBF\xF0\x9F\x8C\xBF\xF0\x9F\x8C\xBF\xF0\x9F\x8C\xBF"
       "\xF0\x9F\x8C\xBF\xF0\x9F\x8C\xBF\xF0\x9F\x8C\xBF\xF0\x9F\x8C\xBF\xF0\x9F\x8C\xBF"},
      // Windows-1252 text (not valid UTF-8) is one byte a character, as files written before read.
      {"Staphylococcus\xE9\xE9", "Staphylococcus\xE9"},
  };
  constexpr int kCount = static_cast<int>(std::size(cases));
  Label_mx labels(kCount);
  EXPECT_EQ(labels.GetWidth(), 0);
  for (int k = 0; k < kCount; ++k) labels.PutLabel(k + 1, cases[k].stored);
  for (int k = 0; k < kCount; ++k) EXPECT_EQ(labels.GetLabel(k + 1), cases[k].label) << cases[k].stored;
  EXPECT_EQ(labels.GetWidth(), 15);
}

TEST(LabelMx, DefaultAndFixedWidthLabels) {
  Label_mx labels(12);
  labels.SetDefaultLabels("OTU");
  EXPECT_EQ(labels.GetLabel(12), "OTU12");
  EXPECT_EQ(labels.GetWidth(), 5);
  EXPECT_EQ(labels.GetFixedWidthLabel(12, 3), "OTU");
  EXPECT_EQ(labels.GetFixedWidthLabel(1, 6), "OTU1  ");
  EXPECT_EQ(labels.GetFixedWidthLabel(1, 0), "OTU1");
  labels.PutLabel(2, "Z\xC3\xBCrich");
  EXPECT_EQ(labels.GetFixedWidthLabel(2, 2), "Z\xC3\xBC") << "cut by characters";
  EXPECT_EQ(labels.GetFixedWidthLabel(2, 8), "Z\xC3\xBCrich  ") << "padded by characters";
  labels.PutLabel(3, "Z\xFCrich");
  EXPECT_EQ(labels.GetFixedWidthLabel(3, 8), "Z\xFCrich  ") << "Windows-1252 text: a byte a character";

  Label_mx copy(12);
  labels.CopyTo(copy);
  EXPECT_EQ(copy.GetLabel(7), "OTU7");
}

TEST(IndexMx, CountsStoresAndKeepsEntriesBeyondSixteenBits) {
  Index_mx index(5);
  index.Put(3, 70000);
  EXPECT_EQ(index.Highest(), 3);
  EXPECT_EQ(index.StoreCount(), 0);
  index.Put(1, 1);  // below the highest position, into an entry that held 0
  index.Put(1, 2);  // the entry holds 2 now: not counted
  index.Put(3, 5);
  EXPECT_EQ(index.StoreCount(), 1);
  EXPECT_EQ(index.Get(1), 2);
  EXPECT_EQ(index.Get(3), 5);
  index.Put(5, 70001);
  EXPECT_EQ(index.Highest(), 5);
  EXPECT_EQ(index.Get(5), 70001);
  index.Clear();
  EXPECT_EQ(index.Get(5), 0);
  EXPECT_EQ(index.Highest(), 0);
  EXPECT_EQ(index.StoreCount(), 0);
}

TEST(Vectors, LengthBoundsAccessAndFillReachesTheAllocation) {
  vect_mx v(4);
  v.Put(2, 1.5);
  v.AddTo(2, 1.0);
  EXPECT_EQ(v.Get(2), 2.5);
  EXPECT_FALSE(v.SetLength(5));
  ASSERT_TRUE(v.SetLength(2));
  EXPECT_EQ(v.length(), 2);
  EXPECT_EQ(v.allocLength(), 4);
  EXPECT_THROW(v.Get(3), E_Morvapc_Internal);
  v.Fill(7.0);
  ASSERT_TRUE(v.SetLength(4));
  EXPECT_EQ(v.Get(4), 7.0);

  ivect_mx iv(3);
  iv.Fill(-2);
  iv.Put(3, 9);
  EXPECT_EQ(iv.Get(1), -2);
  EXPECT_EQ(iv.Get(3), 9);

  iLvect_mx ilv(2);
  ilv.Put(2, -7);
  EXPECT_EQ(ilv.Get(2), -7);
  EXPECT_EQ(ilv.Get(1), 0);

  bvect_mx bv(3);
  bv.Fill(true);
  bv.Put(2, false);
  EXPECT_TRUE(bv.Get(1));
  EXPECT_FALSE(bv.Get(2));
}

TEST(TreeMx, PointerAndValueAreStoredApart) {
  Tree_mx t(5, 3);
  t.PutNode(3, 1, 0.25);
  t.PutPointer(1, 2);
  EXPECT_EQ(t.GetValue(1), 0.25) << "PutPointer keeps the value";
  t.PutValue(1, -1.0);
  EXPECT_EQ(t.GetPointer(1), 2) << "PutValue keeps the pointer";
  EXPECT_EQ(t.GetValue(1), -1.0);
  EXPECT_EQ(t.n(), 3);
  EXPECT_EQ(t.matrixType(), 5);
}

TEST(GraphMx, EdgesKeepNegativeNodes) {
  Graph_mx g(7, 5, 2);
  g.PutEdge(1, -3, 5, 0.25);
  g.PutEdge(2, 1, -1, 2.0);
  const TGraphEdge edge = g.GetEdge(1);
  EXPECT_EQ(edge.i, -3);
  EXPECT_EQ(edge.j, 5);
  EXPECT_EQ(edge.value, 0.25);
  int i = 0, j = 0;
  double value = 0;
  g.GetEdge(2, i, j, value);
  EXPECT_EQ(j, -1);
  EXPECT_EQ(g.m(), 2);
  EXPECT_FALSE(g.NegativePointers);
}

TEST(OwningLists, FreeTheirItemsAndLabelsNoLongerHeld) {
  std::weak_ptr<Label_mx> rowLabels;
  std::weak_ptr<Label_mx> sharedLabels;
  {
    TRectMxList list;
    auto shared = std::make_shared<Label_mx>(2);
    sharedLabels = shared;
    for (int k = 0; k < 2; ++k) {
      auto m = std::make_unique<Rect_mx>(2, 2);
      m->FrLabels = std::make_shared<Label_mx>(2);
      m->FcLabels = shared;  // one label list under two matrices is freed once
      if (k == 0) rowLabels = m->FrLabels;
      list.Add(std::move(m));
    }
    shared.reset();
    EXPECT_EQ(list.Count(), 2);
    list.Delete(0);
    EXPECT_TRUE(rowLabels.expired());
    EXPECT_FALSE(sharedLabels.expired());
  }
  EXPECT_TRUE(sharedLabels.expired());

  TSymMxList syms;
  Sym_mx& s = syms.Add(std::make_unique<Sym_mx>(2, 2));
  s.putxij(1, 2, 4.0);
  EXPECT_EQ(syms[0].getxij(2, 1), 4.0);
  syms.Clear();
  EXPECT_TRUE(syms.Empty());
}

TEST(MatrixTypes, NewContainerDimensionsBoundEveryAccess) {
  vect_mx shrunk(5);
  shrunk.SetDimensions(2, 1);
  EXPECT_EQ(shrunk.length(), 2);
  EXPECT_THROW(shrunk.Get(3), E_Morvapc_Internal);
  vect_mx grown(2);
  grown.SetDimensions(5, 1);
  EXPECT_EQ(grown.Get(5), 0.0);

  Rect_mx r(2, 2);
  r.SetDimensions(3, 4);
  EXPECT_EQ(r.rows() * 10 + r.cols(), 34);
  r.putxij(3, 4, 1.0);

  Sym_mx s(2, 4);
  s.SetDimensions(2, 3);  // 6 cells: the triangle of order 3
  EXPECT_EQ(s.n(), 3);
  EXPECT_EQ(s.count(), 6);
  s.putxij(3, 3, 1.0);
  EXPECT_THROW(s.getxij(4, 1), E_Morvapc_Internal);

  Label_mx labels(0);
  labels.SetDimensions(2, 1);
  labels.PutLabel(2, "b");
  EXPECT_EQ(labels.GetLabel(2), "b");
  EXPECT_EQ(labels.GetWidth(), 1);

  Tree_mx t(5, 4);
  t.SetDimensions(2, 1);
  EXPECT_EQ(t.n(), 2);
  EXPECT_THROW(t.PutNode(3, 1, 0.0), E_Morvapc_Internal);
}

TEST(RealsDiffer, ComparesWithAnAbsoluteToleranceInExtendedPrecision) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* name;
    double a, b;
    bool differ;
  };
  const Case cases[] = {
      {"equal", 3.0, 3.0, false},
      {"1e-6 apart at 0", 0.0, 1e-6, false},
      {"1e-6 apart at 1", 1.0, 1.0 + 1e-6, false},
      {"2e-6 apart", 0.0, 2e-6, true},
      {"order does not matter", 2e-6, 0.0, true},
      {"NaN against a number", nan, 1.0, true},
      {"NaN against NaN", nan, nan, true},
      {"equal infinities", inf, inf, true},
      {"opposite infinities", inf, -inf, true},
  };
  for (const Case& c : cases) EXPECT_EQ(RealsDiffer(c.a, c.b), c.differ) << c.name;
}

}  // namespace
