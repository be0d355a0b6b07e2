#pragma once
// Reads matrices saved by the editor back with the analysis program's readers,
// as its modules do, and compares every label and value with the editor's.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "dataeditor/MatrixStr.h"
#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "matrix/Matrixob.h"
#include "rtl/Convert.h"
#include "rtl/TextFile.h"

namespace dataeditor_test {

inline double Value(const TMatrixStr& m, int r, int c) { return rtl::StrToFloat(m.GetCell(r, c)); }

inline void ExpectLabels(const Label_mx& labels, const TMatrixStr& m, const std::string& where) {
  for (int k = 1; k <= m.Rows; ++k) EXPECT_EQ(labels.GetLabel(k), m.GetCell(k, 0)) << where << " label " << k;
}

// Reads one matrix with the analysis program's readers, as its modules do, and
// compares every label and value with what the editor holds.
inline void ExpectAnalysisReads(rtl::TextReader& f, const TMatrixStr& m, int number) {
  const std::string where = "matrix " + std::to_string(number);
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader h;
  ASSERT_TRUE(ReadMatrixHeader(f, comments, h, false, {1, 2, 3, 4, 5, 6, 7, 8})) << where;
  ASSERT_EQ(h.type, m.MatType) << where;
  ASSERT_EQ(h.rows, m.Rows) << where;
  ASSERT_EQ(h.cols, m.Cols) << where;
  EXPECT_EQ(h.missingCode, m.MissingCode) << where;
  if (m.MissingCode != 0) {
    EXPECT_EQ(h.missingValue, rtl::StrToFloat(m.MissingText)) << where;
  }
  Label_mx labels(h.rows);
  switch (m.MatType) {
    case 1: {
      Label_mx colLabels(h.cols);
      Rect_mx x(h.rows, h.cols, h.missingCode, h.missingValue);
      ASSERT_TRUE(Read(x, f, true, {&labels, h.rowLabelCode, true}, {&colLabels, h.colLabelCode, true})) << where;
      ExpectLabels(labels, m, where);
      for (int c = 1; c <= m.Cols; ++c) EXPECT_EQ(colLabels.GetLabel(c), m.GetCell(0, c)) << where;
      for (int r = 1; r <= m.Rows; ++r)
        for (int c = 1; c <= m.Cols; ++c) EXPECT_EQ(x.getxij(r, c), Value(m, r, c)) << where << " " << r << "," << c;
      break;
    }
    case 2:
    case 3: {
      ReadLabels(labels, f);
      Sym_mx x(h.type, h.rows);
      ASSERT_TRUE(Read(x, f)) << where;
      ExpectLabels(labels, m, where);
      for (int r = 1; r <= m.Rows; ++r)
        for (int c = 1; c <= r; ++c) EXPECT_EQ(x.getxij(r, c), Value(m, r, c)) << where;
      break;
    }
    case 4: {
      ReadLabels(labels, f);
      vect_mx x(h.rows);
      ASSERT_TRUE(Read(x, f)) << where;
      ExpectLabels(labels, m, where);
      for (int r = 1; r <= m.Rows; ++r) EXPECT_EQ(x.Get(r), Value(m, r, 1)) << where;
      break;
    }
    case 5:
    case 6: {
      Tree_mx x(h.type, h.rows);
      ReadTreeMatrix(x, f, h, &labels);
      ExpectLabels(labels, m, where);
      for (int r = 1; r <= m.Rows; ++r) {
        EXPECT_EQ(x.GetPointer(r), Value(m, r, 1)) << where;
        if (r < m.Rows) {
          EXPECT_EQ(x.GetValue(r), Value(m, r, 2)) << where;
        }
      }
      break;
    }
    default: {
      Graph_mx x(h.type, h.rows, h.cols);
      ReadGraphMatrix(x, f, h, &labels);
      ExpectLabels(labels, m, where);
      for (int e = 1; e <= m.Cols; ++e) {
        TGraphEdge edge = x.GetEdge(e);
        EXPECT_EQ(edge.i, Value(m, e, 1)) << where;
        EXPECT_EQ(edge.j, Value(m, e, 2)) << where;
        EXPECT_EQ(edge.value, Value(m, e, 3)) << where;
      }
      break;
    }
  }
}

}  // namespace dataeditor_test
