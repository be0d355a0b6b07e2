#pragma once
// The data editor's shape rules as pure functions: how a matrix's type, rows
// and columns change when the user picks another type, edits a size, or
// inserts or deletes a row or a column; and which cells hold values.
//
// Types are the matrix files' codes (mtRectangular .. mtGraphSimilarity). A
// graph's rows are its nodes (their labels) and its columns its edges, one a
// grid row.

#include "matrix/MatrixFiles.h"

struct TMatrixShape {
  int type = mtRectangular;
  int rows = 0;
  int cols = 0;

  bool operator==(const TMatrixShape&) const = default;
};

inline bool IsSymmetricType(int type) { return type == mtDissimilarity || type == mtSimilarity; }
inline bool IsTreeType(int type) { return type == mtTreeDissimilarity || type == mtTreeSimilarity; }
inline bool IsGraphType(int type) { return type == mtGraphDissimilarity || type == mtGraphSimilarity; }
// Types whose columns follow their rows: the symmetric ones and the diagonal.
inline bool IsSquareType(int type) { return IsSymmetricType(type) || type == mtDiagonal; }

// True when a change between the two types keeps every cell where it is: the
// dissimilarity and similarity forms of one layout.
bool SameLayout(int a, int b);

// The shape after a change to another type: the sizes stay within one layout;
// otherwise a symmetric matrix takes the larger size both ways, a diagonal and
// a graph take as many columns as rows, a tree 2 columns.
TMatrixShape ShapeOfType(const TMatrixShape& shape, int type);

// The shape after the row count was edited: a square type's columns follow.
TMatrixShape ShapeWithRows(const TMatrixShape& shape, int rows);

// The shape after a grid row is inserted before (or deleted at) grid row at,
// counted from 1. In a graph the row is a node where it meets the node labels
// and an edge where it meets the edges; deleting keeps at least one node.
TMatrixShape ShapeAfterRowInsert(const TMatrixShape& shape, int at);
TMatrixShape ShapeAfterRowDelete(const TMatrixShape& shape, int at);

// The number of grid rows showing values: a graph's edges, else its rows.
int ValueRowCount(const TMatrixShape& shape);
// The last value column of grid row r (the lower triangle of a symmetric type).
int LastValueColumn(const TMatrixShape& shape, int r);
// True when grid cell (r, c) holds one of the matrix's values (no label or heading).
bool IsValueCell(const TMatrixShape& shape, int r, int c);
