#include "modules/clustering/mst.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "matrix/MatrixList.h"
#include "rtl/Format.h"
#include "shell/Config.h"
#include "shell/ModuleRun.h"
#include "shell/Progress.h"

namespace {

enum : std::int32_t { pInput, pOutput };

const std::array<TParamRec, 2> kParams = {
    InFileParam("O", "Input file", "Name of input file", prRequired),
    OutFileParam("R", "Output graph file", "Name of output graph file"),
};

}  // namespace

void MstDescribe(TModuleRec& module) {
  DescribeAs(module, "MST", "Minimum spanning tree", 511, MstRun, kParams, MstRelease);
}

void MstRelease() {}

bool MstPrim(const Sym_mx& d, bool similarity, Graph_mx& graph) {
  const std::int32_t n = d.n();
  const auto at = [](std::int32_t k) { return static_cast<std::size_t>(k); };
  // Vectors over 1 .. n; the tree is positions 1 .. c of perm.
  std::vector<std::int32_t> perm(at(n) + 1);
  std::vector<std::int32_t> from(at(n) + 1, 0);
  std::vector<double> best(at(n) + 1, similarity ? -9e200 : 9e200);
  for (std::int32_t k = 1; k <= n; ++k) perm[at(k)] = k;
  const auto better = [similarity](double a, double b) { return similarity ? a > b : a < b; };

  std::int32_t b = 1;  // position of the OTU added last
  std::int32_t c = 1;
  for (std::int32_t s = 2; s <= n; ++s) {
    ProgressRow(s, n);
    const std::int32_t t = perm[at(b)];
    std::swap(perm[at(b)], perm[at(c)]);
    ++c;
    double bestValue = best[at(perm[at(c)])];
    std::int32_t bestPos = c;
    for (std::int32_t q = c; q <= n; ++q) {
      const std::int32_t u = perm[at(q)];
      const double link = d.getxij(u, t);
      if (better(link, best[at(u)])) {
        best[at(u)] = link;
        from[at(u)] = t;
      }
      if (better(best[at(u)], bestValue)) {
        bestValue = best[at(u)];
        bestPos = q;
      }
    }
    const std::int32_t added = perm[at(bestPos)];
    graph.PutEdge(s - 1, from[at(added)], added, bestValue);
    b = bestPos;
  }
  return true;
}

namespace {

// The working values of one run.
struct TMstRun : TRunFiles {};

// The listing's table of links: labels right-aligned in the width of the
// widest label, the lengths in the listing format.
void ListLinks(const Graph_mx& graph, const Label_mx& labels) {
  const std::int32_t w = labels.GetWidth();
  const std::string format = Config().listingFormat;
  const std::int32_t v = ValueWidth(format);
  ListingWriteLine("");
  ListingWriteLine("Minimum-length spanning tree:");
  ListingWriteLine("");
  ListingWriteLine(rtl::Format("%*s %*s %*s", w, "i", w, "j", v, "length"));
  ListingWriteLine(std::string(static_cast<std::size_t>(w), '-') + " " + std::string(static_cast<std::size_t>(w), '-') +
                   " " + std::string(static_cast<std::size_t>(v), '-'));
  const std::string pattern = "%*s %*s %" + format;
  for (std::int32_t k = 1; k <= graph.m(); ++k) {
    const TGraphEdge edge = graph.GetEdge(k);
    ListingWriteLine(rtl::Format(pattern, w, labels.GetLabel(edge.i), w, labels.GetLabel(edge.j), edge.value));
  }
}

// One data set: header, labels, matrix, tree, listing and graph file.
void MstCompute(TMstRun& run) {
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader header;
  ReadMatrixHeader(*run.in, comments, header, true, {mtDissimilarity, mtSimilarity});
  // A missing-value marker would compete as a link like any other value.
  if (header.missingCode != 0) throw E_Morvapc("This program cannot handle missing values");
  RefuseEmptyMatrix(header);
  const std::int32_t n = header.rows;
  const bool similarity = header.type == mtSimilarity;
  const int graphType = similarity ? mtGraphSimilarity : mtGraphDissimilarity;

  Label_mx labels(header.rowLabelCode != lcNone ? n : 0);
  if (header.rowLabelCode != lcNone) ReadLabels(labels, *run.in);
  if (run.out) {
    GuardMatrixWrite([&] {
      WriteMatrixComments(*run.out, comments.get());
      run.out->WriteLine("\" MST: input=" + run.input);
      WriteMatrixHeader(*run.out, graphType, n, n - 1, 0, 0, Config().fileFormat, header.rowLabelCode, lcNone);
      if (labels.HasStorage()) WriteLabels(labels, *run.out);
    });
  }

  Graph_mx graph(graphType, n, n - 1);
  {
    Sym_mx d(header.type, n, header.missingCode, header.missingValue);
    Read(d, *run.in);
    MstPrim(d, similarity, graph);
  }
  ListLinks(graph, labels);
  if (run.out) Write(graph, *run.out, Config().fileFormat);
}

}  // namespace

void MstRun(std::span<const TParamRec> params) {
  Progress("", 0);
  TMstRun run;
  run.input = params[pInput].fileName;
  run.output = params[pOutput].fileName;
  ListInputParameters(run.input);
  ListOutputFile(run.output, "Save graph in output file: ");
  ListingWriteLine("");
  if (!run.Open("MST graph")) return;
  ForEachDataSet(*run.in, [&] { MstCompute(run); });
  run.Finish();
}
