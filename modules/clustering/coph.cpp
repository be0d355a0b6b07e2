#include "modules/clustering/coph.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "rtl/Format.h"
#include "shell/Config.h"
#include "shell/ModuleRun.h"
#include "shell/Progress.h"

namespace {

enum : std::int32_t { pInput, pOutput };

const std::array<TParamRec, 2> kParams = {
    InFileParam("O", "Input tree file", "Name of input tree file", prRequired),
    OutFileParam("R", "Output coph. file", "Name of output coph. mx. file", prRequired),
};

// pos[otu] := the otu's position in the tree's order. The pointers must be the
// OTUs 1 .. n each once, or some OTU would have no position.
std::vector<std::int32_t> Positions(const Tree_mx& tree) {
  const std::int32_t n = tree.n();
  std::vector<std::int32_t> pos(static_cast<std::size_t>(n) + 1, 0);
  for (std::int32_t k = 1; k <= n; ++k) {
    const std::int32_t otu = tree.GetPointer(k);
    if (otu < 1 || otu > n || pos[static_cast<std::size_t>(otu)] != 0) {
      throw E_Morvapc(rtl::Format("The pointers of the tree are not the OTUs 1 to %d, each once", n));
    }
    pos[static_cast<std::size_t>(otu)] = k;
  }
  return pos;
}

}  // namespace

void CophDescribe(TModuleRec& module) {
  DescribeAs(module, "Coph", "Cophenetic values", 503, CophRun, kParams, CophRelease);
}

void CophRelease() {}

bool CophCompute(const Tree_mx& tree, rtl::TextWriter& f, std::string_view format) {
  const std::int32_t n = tree.n();
  const std::vector<std::int32_t> pos = Positions(tree);
  const bool similarity = tree.matrixType() == mtTreeSimilarity;
  const double diagonal = similarity ? 1.0 : 0.0;
  // The level joining two positions is the largest (type 5) or smallest
  // (type 6) level between them.
  const auto join = [similarity](double a, double b) { return similarity ? std::min(a, b) : std::max(a, b); };

  // joined[q]: the level that joins the row's OTU to the OTU at position q,
  // found by walking outward from the row's position, so a row costs O(n).
  std::vector<double> joined(static_cast<std::size_t>(n) + 1, 0.0);
  const auto at = [](std::int32_t k) { return static_cast<std::size_t>(k); };
  const std::string pattern = "%" + std::string(format) + " ";
  GuardMatrixWrite([&] {
    f.WriteLine(rtl::Format(pattern, diagonal));
    for (std::int32_t i = 2; i <= n; ++i) {
      ProgressRow(i + 1, n);  // i * 100 / n
      const std::int32_t p = pos[at(i)];
      if (p < n) {
        joined[at(p + 1)] = tree.GetValue(p);
        for (std::int32_t q = p + 2; q <= n; ++q) joined[at(q)] = join(joined[at(q - 1)], tree.GetValue(q - 1));
      }
      if (p > 1) {
        joined[at(p - 1)] = tree.GetValue(p - 1);
        for (std::int32_t q = p - 2; q >= 1; --q) joined[at(q)] = join(joined[at(q + 1)], tree.GetValue(q));
      }
      std::string line;
      for (std::int32_t j = 1; j < i; ++j) {
        line += rtl::Format(pattern, joined[at(pos[at(j)])]);
        if (j % 10 == 0) {
          f.WriteLine(line);
          line.clear();
        }
      }
      f.WriteLine(line + rtl::Format(pattern, diagonal));
    }
  });
  return true;
}

namespace {

struct TCophRun : TRunFiles {};

// One data set: header, labels, tree and its cophenetic values.
void CophDriver(TCophRun& run) {
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader header;
  ReadMatrixHeader(*run.in, comments, header, true, {mtTreeDissimilarity, mtTreeSimilarity});
  RefuseEmptyMatrix(header);
  const std::int32_t n = header.rows;
  const int outputType = header.type == mtTreeSimilarity ? mtSimilarity : mtDissimilarity;
  if (run.out) {
    GuardMatrixWrite([&] {
      WriteMatrixComments(*run.out, comments.get());
      run.out->WriteLine("\" COPH: tree=" + run.input);
      WriteMatrixHeader(*run.out, outputType, n, n, header.missingCode, header.missingValue, Config().fileFormat,
                        header.rowLabelCode, lcNone);
    });
  }
  Label_mx labels(header.rowLabelCode != lcNone ? n : 0);
  Tree_mx tree(header.type, n);
  ReadTreeMatrix(tree, *run.in, header, &labels);
  if (run.out) GuardMatrixWrite([&] { WriteLabels(labels, *run.out); });
  ListingWriteLine("");
  if (run.out) {
    CophCompute(tree, *run.out, Config().fileFormat);
    ListingWriteLine("Cophenetic value matrix stored in file: " + run.output);
  }
}

}  // namespace

void CophRun(std::span<const TParamRec> params) {
  Progress("", 0);
  TCophRun run;
  run.input = params[pInput].fileName;
  run.output = params[pOutput].fileName;
  ListInputParameters(run.input);
  ListOutputFile(run.output);
  ListingWriteLine("");
  if (!run.Open("cophenetic values")) return;
  ForEachDataSet(*run.in, [&] { CophDriver(run); });
  run.Finish();
}
