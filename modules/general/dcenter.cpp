#include "modules/general/dcenter.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "modules/general/recordLines.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"
#include "shell/Config.h"
#include "shell/ModuleRun.h"
#include "shell/Progress.h"

namespace {

enum : std::int32_t { pInput, pOutput, pSquare };

const std::array<TParamRec, 3> kParams = {
    InFileParam("O", "Input matrix file", "Name of input file", prRequired),
    OutFileParam("R", "Result matrix", "Name for output matrix"),
    CheckParam("S", "Square distances?", "Check if should square", true),
};

constexpr std::size_t kValuesPerLine = 10;

struct TDcenterRun : TRunFiles {
  bool square = true;
};

void DcenterDriver(TDcenterRun& run) {
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader header;
  ReadMatrixHeader(*run.in, comments, header, true, {mtDissimilarity, mtSimilarity});
  if (header.missingCode != 0) throw E_Morvapc("Sorry, no missing data allowed");
  RefuseEmptyMatrix(header);
  const std::int32_t n = header.rows;
  Label_mx labels(header.rowLabelCode != lcNone ? n : 0);
  ReadLabels(labels, *run.in);
  const std::string& format = Config().fileFormat;
  if (run.out) {
    GuardMatrixWrite([&] {
      WriteMatrixComments(*run.out, comments.get());
      run.out->WriteLine("\" DCENTER: input=" + run.input + " type was =" + rtl::Format("%2d", header.type));
      const int labelCode = header.rowLabelCode != lcNone ? lcBlock : lcNone;
      WriteMatrixHeader(*run.out, mtSimilarity, n, n, 0, 0, format, labelCode, lcNone);
      if (labelCode != lcNone) WriteLabels(labels, *run.out);
    });
  }
  Sym_mx x(header.type, n);
  Read(x, *run.in);
  DcenterCompute(x, run.square);
  if (run.out) {
    for (std::int32_t i = 1; i <= n; ++i) WriteRecordLines(*run.out, x.Row(i), format, kValuesPerLine, i);
  }
  ListingWriteLine("Double-centered matrix stored in file: " + run.output);
}

}  // namespace

void DcenterCompute(Sym_mx& x, bool square) {
  const std::int32_t n = x.n();
  Progress("Computing row & column sums ...", 10);
  if (x.matrixType() == mtDissimilarity) {
    for (std::int32_t i = 2; i <= n; ++i) {
      for (std::int32_t j = 1; j < i; ++j) {
        const double d = x.getxij(i, j);
        x.putxij(i, j, square ? -0.5 * d * d : -0.5 * d);
      }
    }
  }
  std::vector<long double> r(static_cast<std::size_t>(n) + 1, 0.0L);
  for (std::int32_t i = 1; i <= n; ++i) {
    for (std::int32_t j = 1; j <= i; ++j) {
      r[static_cast<std::size_t>(i)] += x.getxij(i, j);
      if (j != i) r[static_cast<std::size_t>(j)] += x.getxij(i, j);
    }
  }
  long double g = 0;
  for (std::int32_t i = 1; i <= n; ++i) {
    r[static_cast<std::size_t>(i)] /= n;
    g += r[static_cast<std::size_t>(i)];
  }
  g /= n;
  for (std::int32_t i = 1; i <= n; ++i) {
    Progress("Computing transformation", 30 + static_cast<std::int32_t>(rtl::Round(70.0L * (i - 1) / n)));
    for (std::int32_t j = 1; j <= i; ++j) {
      const long double b = x.getxij(i, j) - r[static_cast<std::size_t>(i)] - r[static_cast<std::size_t>(j)] + g;
      x.putxij(i, j, static_cast<double>(b));
    }
  }
}

void DcenterDescribe(TModuleRec& module) {
  DescribeAs(module, "dcenter", "double center", 507, DcenterRun, kParams, DcenterRelease);
}

void DcenterRelease() {}

void DcenterRun(std::span<const TParamRec> params) {
  Progress("", 0);
  TDcenterRun run;
  run.input = params[pInput].fileName;
  run.output = params[pOutput].fileName;
  run.square = params[pSquare].check;

  ListInputParameters(run.input);
  ListOutputFile(run.output);
  if (run.square) ListingWriteLine("Square matrix elements ");
  ListingWriteLine("");

  if (!run.OpenInput() || !run.OpenOutput("Results")) return;
  ForEachDataSet(*run.in, [&] { DcenterDriver(run); });
  run.Finish();
}
