#pragma once
// The data of the scatter plots (MXPLOT, MOD3D and the plot buttons of the
// ordination modules): a data matrix seen as points on variables, the check
// of a variable an axis shows, the names of points and variables, and the
// reading of data matrices with their labels and of graph matrices.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "matrix/MatrixFiles.h"
#include "matrix/Matrixob.h"
#include "rtl/TextFile.h"

// One data matrix seen as points on variables: with pointsAreColumns each
// column is a point and the rows are the variables, else each row is a point.
class TPointView {
 public:
  TPointView(const Rect_mx& m, bool pointsAreColumns)
      : m_(m),
        byColumns_(pointsAreColumns),
        points_(pointsAreColumns ? m.cols() : m.rows()),
        variables_(pointsAreColumns ? m.rows() : m.cols()),
        missing_(m.missCode() != 0) {}

  std::int32_t Points() const { return points_; }
  std::int32_t Variables() const { return variables_; }
  // Point k's value on variable v.
  double Value(std::int32_t k, std::int32_t v) const { return byColumns_ ? m_.getxij(v, k) : m_.getxij(k, v); }
  // True for the matrix's missing value, when it has one.
  bool IsMissing(double value) const { return missing_ && !RealsDiffer(value, m_.missValue()); }
  const Label_mx* VariableLabels() const { return (byColumns_ ? m_.FrLabels : m_.FcLabels).get(); }
  const Label_mx* PointLabels() const { return (byColumns_ ? m_.FcLabels : m_.FrLabels).get(); }

 private:
  const Rect_mx& m_;
  bool byColumns_;
  std::int32_t points_;
  std::int32_t variables_;
  bool missing_;
};

// The variable an axis shows must be one of the count variables; else
// E_Morvapc "<axis> (<v>) is not one of the <count> variables".
void CheckPlotVariable(std::string_view axis, std::int32_t v, std::int32_t count);

// Label k of the list, or the number k where the list has no label k.
std::string PointLabelOf(const Label_mx* labels, std::int32_t k);
// Label v of the list, or "Var-" and v.
std::string VariableLabelOf(const Label_mx* labels, std::int32_t v);

// The body of the rectangular matrix whose header was just read, read by
// rows, with its labels attached: the file's, and where the file has none,
// labels made of the default prefix and the number, or no labels when the
// prefix is null.
std::unique_ptr<Rect_mx> ReadPlotMatrix(rtl::TextReader& f, const TMatrixHeader& header, const char* rowDefault,
                                        const char* colDefault);

// The header of a data file's next matrix. The first must be there: an empty
// or comment-only file is refused by the header reader, so a run never ends
// with nothing to show and nothing said. After the first, the end of the data
// (comment lines at most) gives false.
bool ReadDataSetHeader(rtl::TextReader& f, bool first, std::unique_ptr<rtl::StringList>& comments,
                       TMatrixHeader& header, bool list, TMatrixTypeSet allowed);

// Reads up to one graph per data set, each header listed, the labels the
// header announces skipped (as many as its rows for row labels, 3 for column
// labels); reading stops at the end of the file. When fewer graphs than data
// sets were read, one graph serves every data set ("Same graph matrix will be
// used for all data sets"); any other count raises E_Morvapc.
void ReadPlotGraphs(rtl::TextReader& g, std::int32_t dataCount, TGraphMxList& graphs);

// The graph of data set g (from 1): the only graph of the list, or the g-th;
// null without a list or without a g-th graph.
const Graph_mx* GraphOfDataSet(const TGraphMxList* graphs, std::int32_t g);
