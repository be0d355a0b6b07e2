#include "dataeditor/ShapeRules.h"

#include <algorithm>

namespace {

// The layout a type shares with its other form.
int LayoutOf(int type) {
  if (IsSymmetricType(type)) return mtDissimilarity;
  if (IsTreeType(type)) return mtTreeDissimilarity;
  if (IsGraphType(type)) return mtGraphDissimilarity;
  return type;
}

}  // namespace

bool SameLayout(int a, int b) { return LayoutOf(a) == LayoutOf(b); }

TMatrixShape ShapeOfType(const TMatrixShape& shape, int type) {
  TMatrixShape to{type, shape.rows, shape.cols};
  if (SameLayout(type, shape.type)) return to;
  if (IsSymmetricType(type)) to.rows = to.cols = std::max(shape.rows, shape.cols);
  if (type == mtDiagonal || IsGraphType(type)) to.cols = shape.rows;
  if (IsTreeType(type)) to.cols = 2;
  return to;
}

TMatrixShape ShapeWithRows(const TMatrixShape& shape, int rows) {
  return {shape.type, rows, IsSquareType(shape.type) ? rows : shape.cols};
}

TMatrixShape ShapeAfterRowInsert(const TMatrixShape& shape, int at) {
  TMatrixShape to = shape;
  if (IsGraphType(shape.type)) {
    if (at <= shape.rows || at > shape.cols) ++to.rows;
    if (at <= shape.cols) ++to.cols;
    return to;
  }
  return ShapeWithRows(shape, shape.rows + 1);
}

TMatrixShape ShapeAfterRowDelete(const TMatrixShape& shape, int at) {
  TMatrixShape to = shape;
  if (IsGraphType(shape.type)) {
    if (at <= shape.rows && shape.rows > 1) --to.rows;
    if (at <= shape.cols) --to.cols;
    return to;
  }
  return ShapeWithRows(shape, shape.rows - 1);
}

int ValueRowCount(const TMatrixShape& shape) { return IsGraphType(shape.type) ? shape.cols : shape.rows; }

int LastValueColumn(const TMatrixShape& shape, int r) {
  if (IsSymmetricType(shape.type)) return r;
  if (shape.type == mtDiagonal) return 1;
  if (IsTreeType(shape.type)) return 2;
  if (IsGraphType(shape.type)) return 3;
  return shape.cols;
}

bool IsValueCell(const TMatrixShape& shape, int r, int c) {
  return r >= 1 && r <= ValueRowCount(shape) && c >= 1 && c <= LastValueColumn(shape, r);
}
