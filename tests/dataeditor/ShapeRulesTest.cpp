// The data editor's shape rules, case by case: a change of type, a new row
// count, and a row inserted or deleted, for each layout.

#include <gtest/gtest.h>

#include "dataeditor/ShapeRules.h"

namespace {

TEST(ShapeRules, AnotherTypeReshapesTheMatrixUnlessItSharesTheLayout) {
  struct Case {
    const char* name;
    TMatrixShape from;
    int type;
    TMatrixShape to;
  };
  const Case cases[] = {
      {"dissimilarity to similarity keeps the sizes", {mtDissimilarity, 4, 4}, mtSimilarity, {mtSimilarity, 4, 4}},
      {"tree to tree keeps the sizes", {mtTreeSimilarity, 6, 2}, mtTreeDissimilarity, {mtTreeDissimilarity, 6, 2}},
      {"graph to graph keeps nodes and edges",
       {mtGraphDissimilarity, 3, 7},
       mtGraphSimilarity,
       {mtGraphSimilarity, 3, 7}},
      {"a symmetric matrix takes the larger size", {mtRectangular, 3, 5}, mtSimilarity, {mtSimilarity, 5, 5}},
      {"a diagonal takes as many columns as rows", {mtRectangular, 3, 5}, mtDiagonal, {mtDiagonal, 3, 3}},
      {"a graph takes as many edges as rows", {mtRectangular, 4, 2}, mtGraphSimilarity, {mtGraphSimilarity, 4, 4}},
      {"a tree has two columns", {mtDissimilarity, 5, 5}, mtTreeDissimilarity, {mtTreeDissimilarity, 5, 2}},
      {"back to rectangular keeps the sizes", {mtTreeSimilarity, 5, 2}, mtRectangular, {mtRectangular, 5, 2}},
  };
  for (const Case& c : cases) EXPECT_EQ(ShapeOfType(c.from, c.type), c.to) << c.name;
}

TEST(ShapeRules, RowsInsertedAndDeleted) {
  struct Case {
    const char* name;
    TMatrixShape from;
    int at;
    bool insert;
    TMatrixShape to;
  };
  const Case cases[] = {
      {"rectangular: a row, the columns stay", {mtRectangular, 3, 5}, 2, true, {mtRectangular, 4, 5}},
      {"symmetric: a row is a column too", {mtSimilarity, 3, 3}, 1, true, {mtSimilarity, 4, 4}},
      {"diagonal: likewise", {mtDiagonal, 3, 3}, 4, false, {mtDiagonal, 2, 2}},
      {"tree: two columns stay", {mtTreeDissimilarity, 4, 2}, 1, false, {mtTreeDissimilarity, 3, 2}},
      {"graph: among nodes and edges, both", {mtGraphSimilarity, 3, 5}, 2, true, {mtGraphSimilarity, 4, 6}},
      {"graph: below the nodes, an edge", {mtGraphSimilarity, 3, 5}, 5, true, {mtGraphSimilarity, 3, 6}},
      {"graph: below the edges, a node", {mtGraphSimilarity, 5, 3}, 5, true, {mtGraphSimilarity, 6, 3}},
      {"graph: the last node stays", {mtGraphSimilarity, 1, 4}, 1, false, {mtGraphSimilarity, 1, 3}},
      {"graph: a node row below the edges", {mtGraphSimilarity, 5, 3}, 5, false, {mtGraphSimilarity, 4, 3}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.insert ? ShapeAfterRowInsert(c.from, c.at) : ShapeAfterRowDelete(c.from, c.at), c.to) << c.name;
  }
  EXPECT_EQ(ShapeWithRows({mtSimilarity, 3, 3}, 6), (TMatrixShape{mtSimilarity, 6, 6}));
  EXPECT_EQ(ShapeWithRows({mtRectangular, 3, 4}, 6), (TMatrixShape{mtRectangular, 6, 4}));
}

TEST(ShapeRules, ValueCellsOfEachLayout) {
  EXPECT_EQ(LastValueColumn({mtSimilarity, 4, 4}, 3), 3);
  EXPECT_EQ(LastValueColumn({mtRectangular, 4, 6}, 3), 6);
  EXPECT_EQ(LastValueColumn({mtDiagonal, 4, 4}, 3), 1);
  EXPECT_EQ(LastValueColumn({mtTreeSimilarity, 4, 2}, 3), 2);
  EXPECT_EQ(LastValueColumn({mtGraphDissimilarity, 4, 9}, 3), 3);
  EXPECT_EQ(ValueRowCount({mtGraphDissimilarity, 4, 9}), 9);
  EXPECT_EQ(ValueRowCount({mtRectangular, 4, 9}), 4);
}

}  // namespace
