#include "modules/general/output.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "matrix/Matrixob.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"
#include "rtl/TextChars.h"
#include "shell/ModuleRun.h"
#include "shell/Progress.h"

namespace {

enum : std::int32_t { pInput, pWidth, pDecimals, pPageWidth, pRowOrder, pColumnOrder };

const std::array<TParamRec, 6> kParams = {
    InFileParam("O", "Input file", "Name of input file", prRequired),
    IntegerParam("W", "Field width", "Width of field", 9, "1", "99", "##"),
    IntegerParam("D", "Decimal places", "Number of decimal places", 4, "0", "99", "##"),
    IntegerParam("PW", "Page width", "Width of output page", 80, "20", "9999", "####"),
    InFileParam("RO", "Row order", "Name of row order matrix"),
    InFileParam("CO", "Column order", "Name of column order matrix"),
};

struct TOutputRun {
  std::string input, rowOrderFile, columnOrderFile;
  std::int32_t width = 9, decimals = 4, pageWidth = 80;
  TInputMatrixFile in, rowOrder, columnOrder;
};

// A printed value: W characters with D decimals.
std::string Value(const TOutputRun& run, double x) { return rtl::Format(" %*.*f", run.width - 1, run.decimals, x); }

std::string Blanks(std::int32_t count) { return std::string(static_cast<std::size_t>(std::max(count, 0)), ' '); }

// The order of n rows or columns read from the next matrix of an order file;
// entry k (from 0) is the number of the row or column printed at k + 1.
std::vector<std::int32_t> ReadOrder(rtl::TextReader& f, std::string_view role, std::int32_t n) {
  ListingWriteLine(std::string(role) + " order matrix");
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader header;
  ReadMatrixHeader(f, comments, header, true, {mtRectangular, mtTreeDissimilarity, mtTreeSimilarity});
  if (header.missingCode != 0) throw E_Morvapc("No missing values allowed in order matrix.");
  std::vector<std::int32_t> order;
  if (header.type == mtRectangular) {
    const bool column = header.cols == 1;
    if (column && header.rows != n) throw E_Morvapc("Matrix giving new order has wrong number of rows");
    if (!column && header.cols != n) throw E_Morvapc("Matrix giving new order has wrong number of columns");
    Rect_mx m(header.rows, header.cols);
    Read(m, f, !column, {nullptr, header.rowLabelCode, false}, {nullptr, header.colLabelCode, false});
    for (std::int32_t k = 1; k <= n; ++k) {
      const double x = column ? m.getxij(k, 1) : m.getxij(1, k);
      order.push_back(static_cast<std::int32_t>(rtl::Round(std::clamp(x, -1e9, 1e9))));
    }
  } else {
    if (header.rows != n) throw E_Morvapc("Tree matrix is the wrong size");
    Tree_mx tree(header.type, n);
    ReadTreeMatrix(tree, f, header);
    for (std::int32_t k = 1; k <= n; ++k) order.push_back(tree.GetPointer(k));
  }
  for (const std::int32_t entry : order) {
    if (entry < 1 || entry > n) throw E_Morvapc("Values in " + std::string(role) + " order matrix out of range");
  }
  return order;
}

std::vector<std::int32_t> NaturalOrder(std::int32_t n) {
  std::vector<std::int32_t> order(static_cast<std::size_t>(n));
  std::iota(order.begin(), order.end(), 1);
  return order;
}

// A column label centred over the decimal point of its values.
std::string ColumnLabel(const TOutputRun& run, const Label_mx& labels, std::int32_t j) {
  std::string label = labels.GetLabel(j);
  const auto length = static_cast<std::int32_t>(rtl::CharacterCount(label));
  const std::int32_t pad = run.decimals - (length + 1) / 2;
  if (pad > 0) {
    label += Blanks(pad);
  } else if (labels.GetWidth() >= run.width && length > run.width) {
    label.resize(rtl::CharactersLength(label, static_cast<std::size_t>(run.width)));
  }
  return rtl::Format("%*s", run.width, label);
}

// The rows and columns of a rectangular or symmetric matrix in pages of as
// many columns as the page width holds; a symmetric page prints its lower
// triangle from its first column down.
struct TPagedMatrix {
  std::function<double(std::int32_t, std::int32_t)> value;
  const Label_mx& rowLabels;
  const Label_mx& colLabels;
  std::vector<std::int32_t> rowOrder;
  std::vector<std::int32_t> colOrder;
  bool symmetric;
};

void PrintPages(const TOutputRun& run, const TPagedMatrix& m) {
  const std::int32_t lw = m.rowLabels.GetWidth();
  const auto rows = static_cast<std::int32_t>(m.rowOrder.size());
  const auto cols = static_cast<std::int32_t>(m.colOrder.size());
  const std::int32_t perPage = std::clamp((run.pageWidth - lw - 2) / run.width, 1, std::max(cols, 1));
  const std::int32_t pages = (cols + perPage - 1) / perPage;
  for (std::int32_t page = 0; page < pages; ++page) {
    Progress("Listing", static_cast<std::int32_t>(rtl::Round(100.0L * page / pages)));
    const std::int32_t first = page * perPage, last = std::min(cols, first + perPage);
    std::string heading = Blanks(lw + (m.symmetric ? 2 : 1));
    std::string rule = Blanks(lw + 2) + "-";
    for (std::int32_t c = first; c < last; ++c) {
      heading += ColumnLabel(run, m.colLabels, m.colOrder[static_cast<std::size_t>(c)]);
      rule += std::string(static_cast<std::size_t>(run.width), '-');
    }
    ListingWriteLine("");
    ListingWriteLine(heading);
    ListingWriteLine(rule);
    for (std::int32_t r = m.symmetric ? first : 0; r < rows; ++r) {
      const std::int32_t i = m.rowOrder[static_cast<std::size_t>(r)];
      std::string line = rtl::Format("%*s", lw, m.rowLabels.GetLabel(i)) + (m.symmetric ? " |" : "  |");
      const std::int32_t end = m.symmetric ? std::min(last, r + 1) : last;
      for (std::int32_t c = first; c < end; ++c)
        line += Value(run, m.value(i, m.colOrder[static_cast<std::size_t>(c)]));
      ListingWriteLine(line);
    }
  }
}

class TOutputDataSet {
 public:
  explicit TOutputDataSet(TOutputRun& run) : run_(run) {}

  void Print() {
    std::unique_ptr<rtl::StringList> comments;
    ReadMatrixHeader(*run_.in, comments, header_, true, {1, 2, 3, 4, 5, 6, 7, 8});
    RefuseEmptyMatrix(header_);
    switch (header_.type) {
      case mtRectangular: PrintRectangular(); break;
      case mtDissimilarity:
      case mtSimilarity: PrintSymmetric(); break;
      case mtDiagonal: PrintDiagonal(); break;
      case mtTreeDissimilarity:
      case mtTreeSimilarity:
        RefuseOrder();
        PrintTree();
        break;
      default:
        RefuseOrder();
        PrintGraph();
        break;
    }
  }

 private:
  std::vector<std::int32_t> Order(const TInputMatrixFile& f, std::string_view role, std::int32_t n) const {
    return f ? ReadOrder(*f, role, n) : NaturalOrder(n);
  }

  void RefuseOrder() const {
    if (run_.rowOrder || run_.columnOrder) throw E_Morvapc("Cannot reoder this kind of matrix");
  }

  void PrintRectangular() {
    const std::int32_t r = header_.rows, c = header_.cols;
    Label_mx rowLabels(header_.rowLabelCode != lcNone ? r : 0);
    Label_mx colLabels(header_.colLabelCode != lcNone ? c : 0);
    Rect_mx m(r, c);
    Read(m, *run_.in, true, {&rowLabels, header_.rowLabelCode, true}, {&colLabels, header_.colLabelCode, true});
    PrintPages(run_, {[&m](std::int32_t i, std::int32_t j) { return m.getxij(i, j); }, rowLabels, colLabels,
                      Order(run_.rowOrder, "row", r), Order(run_.columnOrder, "col", c), false});
  }

  void PrintSymmetric() {
    if (header_.rows != header_.cols) throw E_Morvapc("Number of rows and columns must be equal");
    const std::int32_t n = header_.rows;
    Label_mx labels(header_.rowLabelCode != lcNone ? n : 0);
    ReadLabels(labels, *run_.in);
    Sym_mx s(header_.type, n);
    Read(s, *run_.in);
    std::vector<std::int32_t> order = Order(run_.rowOrder, "row", n);
    PrintPages(run_,
               {[&s](std::int32_t i, std::int32_t j) { return s.getxij(i, j); }, labels, labels, order, order, true});
  }

  void PrintDiagonal() {
    const bool byRows = header_.rows >= header_.cols;
    const std::int32_t n = byRows ? header_.rows : header_.cols;
    const int labelCode = byRows ? header_.rowLabelCode : header_.colLabelCode;
    Label_mx labels(labelCode != lcNone ? n : 0);
    ReadLabels(labels, *run_.in);
    vect_mx d(n);
    Read(d, *run_.in);
    const std::int32_t lw = labels.GetWidth();
    ListingWriteLine(Blanks(lw + 1) + "-" + std::string(static_cast<std::size_t>(run_.width), '-'));
    for (std::int32_t i = 1; i <= n; ++i) {
      ListingWriteLine(rtl::Format("%*s |", lw, labels.GetLabel(i)) + Value(run_, d.Get(i)));
    }
  }

  void PrintTree() {
    const std::int32_t n = header_.rows;
    Label_mx labels(header_.rowLabelCode != lcNone ? n : 0);
    Tree_mx tree(header_.type, n);
    ReadTreeMatrix(tree, *run_.in, header_, &labels);
    const std::int32_t lw = std::max(labels.GetWidth(), 3);
    const std::int32_t w = run_.width;
    ListingWriteLine(rtl::Format("%*s %*s", lw, "OTU", w, "Level"));
    ListingWriteLine(std::string(static_cast<std::size_t>(lw + 1 + w), '-'));
    for (std::int32_t k = 1; k < n; ++k) {
      ListingWriteLine(
          rtl::Format("%*s %*.*f", lw, labels.GetLabel(tree.GetPointer(k)), w, run_.decimals, tree.GetValue(k)));
    }
    ListingWriteLine(rtl::Format("%*s%*s", lw, labels.GetLabel(tree.GetPointer(n)), w, " -----"));
    ListingWriteLine("");
  }

  // One end of an edge: an OTU's label, or an inner node.
  std::string EdgeEnd(const Label_mx& labels, std::int32_t lw, std::int32_t end, std::string_view which) const {
    const std::int32_t n = header_.rows;
    if (end == 0 || std::abs(end) > n)
      throw E_Morvapc(std::string(which) + " pointer out of range: " + std::to_string(end));
    if (end > 0) return rtl::Format("%*s", lw, labels.GetLabel(end));
    return rtl::Format("%*s", lw, "HTU-" + std::to_string(-end));
  }

  void PrintGraph() {
    const std::int32_t n = header_.rows;
    Label_mx labels(header_.rowLabelCode != lcNone ? n : 0);
    Graph_mx graph(header_.type, n, header_.cols);
    ReadGraphMatrix(graph, *run_.in, header_, &labels);
    const std::int32_t lw = std::max(labels.GetWidth(), static_cast<std::int32_t>(std::to_string(n).size()) + 4);
    const std::int32_t half = lw / 2;
    const auto end = [&](std::string_view name) { return rtl::Format("%*s", half + 1, name) + Blanks(half); };
    ListingWriteLine(end("i") + " - " + end("j") + " " + rtl::Format("%*s", run_.width, "length"));
    ListingWriteLine(std::string(static_cast<std::size_t>(2 * lw + run_.width + 3), '-'));
    for (std::int32_t k = 1; k <= graph.m(); ++k) {
      const TGraphEdge edge = graph.GetEdge(k);
      ListingWriteLine(rtl::Format("%3d | ", k) + EdgeEnd(labels, lw, edge.i, "i") + " - " +
                       EdgeEnd(labels, lw, edge.j, "j") + Value(run_, edge.value));
    }
  }

  TOutputRun& run_;
  TMatrixHeader header_;
};

}  // namespace

void OutputDescribe(TModuleRec& module) {
  DescribeAs(module, "Output", "Output matrices", 513, OutputRun, kParams, OutputRelease);
}

void OutputRelease() {}

void OutputRun(std::span<const TParamRec> params) {
  Progress("", 0);
  TOutputRun run;
  run.input = params[pInput].fileName;
  run.width = params[pWidth].integer;
  run.decimals = params[pDecimals].integer;
  run.pageWidth = params[pPageWidth].integer;
  run.rowOrderFile = params[pRowOrder].fileName;
  run.columnOrderFile = params[pColumnOrder].fileName;

  ListInputParameters(run.input);
  ListingWriteLine("Format: width=" + std::to_string(run.width) + " decimals=" + std::to_string(run.decimals));
  ListingWriteLine("Page width: " + std::to_string(run.pageWidth));
  ListOutputFile(run.rowOrderFile, "Row order matrix: ");
  ListOutputFile(run.columnOrderFile, "Column order matrix: ");
  ListingWriteLine(rtl::Format("Field width: %d", run.width));
  ListingWriteLine(rtl::Format("Decimal places: %d", run.decimals));
  ListingWriteLine(rtl::Format("Page width: %d", run.pageWidth));
  if (run.decimals > run.width) {
    throw E_Morvapc(
        rtl::Format("Number of decimal places (%d) greater than field width (%d)", run.decimals, run.width));
  }
  if (run.pageWidth < 2 * run.width) {
    throw E_Morvapc(rtl::Format("Page width (%d) too small or field width (%d) too large", run.pageWidth, run.width));
  }

  if (!OpenInputMatrixFile(run.in, run.input, "input file")) return;
  if (!run.rowOrderFile.empty() && !OpenInputMatrixFile(run.rowOrder, run.rowOrderFile, "row order")) return;
  if (!run.columnOrderFile.empty() && !OpenInputMatrixFile(run.columnOrder, run.columnOrderFile, "column order")) {
    return;
  }
  for (;;) {
    TOutputDataSet(run).Print();
    if (run.in->SeekEof()) break;
    ListingWriteLine("");
    ListingWriteLine("---- next dataset ----");
    ListingWriteLine("");
  }
  Progress("", 100);
}
