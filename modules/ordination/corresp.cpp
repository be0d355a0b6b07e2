#include "modules/ordination/corresp.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "matrix/MatrixList.h"
#include "matrix/Probd.h"
#include "modules/ordination/correspCompute.h"
#include "modules/ordination/ordinationRun.h"
#include "rtl/Format.h"
#include "shell/Config.h"
#include "shell/ModuleRun.h"
#include "shell/Progress.h"

namespace {

enum TCorrespParam { rpInput, rpDimensions, rpOutputs, rpCount = rpOutputs + 7 };

const std::array<TParamRec, rpCount> kParams = {
    InFileParam("O", "Input data file", "Name of input data matrix", prRequired),
    IntegerParam("N", "Number of dimensions", "Number of dimensions", 4, "1", "10", "##"),
    OutFileParam("RF", "Row factor matrix", "Name for row factors"),
    OutFileParam("CF", "Column factor matrix", "Name for column factors matrix"),
    OutFileParam("VAL", "Eigenvalue matrix", "Eigenvalue"),
    OutFileParam("RA", "Row abs. matrix", "Name for row abs. contribution"),
    OutFileParam("CA", "Column abs. matrix", "Name for col abs. contribution"),
    OutFileParam("RC", "Row corr. sq. matrix", "Name for row correlations sq."),
    OutFileParam("CC", "Column corr. sq. matrix", "Name for col correlations sq."),
};

const std::array<TbuttonsRec, 4> kButtons = {{
    {"2D plot of \nleft vectors", "2DPlot", CorrespPlot2DRows},
    {"2D plot of \nright vectors", "2DPlot", CorrespPlot2DColumns},
    {"3D plot of \nleft vectors", "3DPlot", CorrespPlot3DRows},
    {"3D plot of \nright vectors", "3DPlot", CorrespPlot3DColumns},
}};

TKeptMatrices& KeptRows() {
  static TKeptMatrices kept;
  return kept;
}
TKeptMatrices& KeptColumns() {
  static TKeptMatrices kept;
  return kept;
}

// The outputs in the order of the table, listing and writing.
enum TCorrespOutput {
  roRowFactors,
  roColumnFactors,
  roValues,
  roRowAbs,
  roColumnAbs,
  roRowCorr,
  roColumnCorr,
  roCount
};

// The end of each output's title line.
constexpr std::array<std::string_view, roCount> kTitleEnds = {" row factors", " col factors", " values",     " row abs",
                                                              " col abs",     " row corr sq", " col corr sq"};

// The values and files of one run.
struct TCorrespRun {
  std::string input{};
  std::int32_t k = 4;  // reduced to what a table has, for the rest of the run
  TInputMatrixFile in{};
  std::array<TOptionalOutput, roCount> outputs{{
      {.wording = "Save row factor results in output file: ", .role = "row factors"},
      {.wording = "Save column factor results in output file: ", .role = "column factors"},
      {.wording = "Save eigenvalue results in output file: ", .role = "eigenvalues"},
      {.wording = "Save row abs. contribution results in output file: ", .role = "row abs. contr."},
      {.wording = "Save column abs. contribution results in output file: ", .role = "column abs. contr."},
      {.wording = "Save row correlation squared results in output file: ", .role = "row corr. sq."},
      {.wording = "Save column correlation squared results in output file: ", .role = "column corr. sq."},
  }};

  bool Open() { return OpenInputMatrixFile(in, input, "input") && OpenOutputs(outputs); }
};

void TakeValues(TCorrespRun& run, std::span<const TParamRec> params) {
  if (params.size() != rpCount) throw E_Morvapc_Internal("CORRESP needs its nine parameters");
  run.input = params[rpInput].fileName;
  run.k = params[rpDimensions].integer;
  for (std::size_t o = 0; o < roCount; ++o) run.outputs[o].name = params[rpOutputs + o].fileName;
}

// The factor, absolute contribution and squared correlation files of one
// side of the table (the file's rows or its columns).
struct TSide {
  TOptionalOutput* factors;
  TOptionalOutput* contributions;
  TOptionalOutput* correlations;
};

// One data set: its table turned so that its smaller side is the working rows.
class TCorrespDataSet {
 public:
  explicit TCorrespDataSet(TCorrespRun& run) : run_(run), input_(*run.in) {}

  void Run() {
    std::unique_ptr<rtl::StringList> comments;
    ReadMatrixHeader(input_, comments, header_, true, {mtRectangular});
    if (header_.missingCode != 0) throw E_Morvapc("Missing values not permitted in input matrix");
    turned_ = header_.rows > header_.cols;
    const std::int32_t p = std::min(header_.rows, header_.cols);
    // A single row or column leaves no dimension beyond the trivial one.
    if (p < 2) throw E_Morvapc("Input matrix must have at least 2 rows and 2 columns");
    if (run_.k >= p) {
      ListingWriteLine("No. dimensions too large, reduced to: " + std::to_string(p - 1));
      run_.k = p - 1;
    }
    table_ = ReadLabelledBody(input_, header_, turned_, "", "");
    WriteHeaders(comments.get());

    TCorrespResult result = CorrespCompute(*table_.matrix, k(), turned_);
    ListInertia(result);
    if (run_.outputs[roValues]) {
      vect_mx values(std::max(k(), 1));
      values.SetLength(k());
      for (std::int32_t a = 1; a <= k(); ++a) values.Put(a, result.eigenvalues[static_cast<std::size_t>(a - 1)]);
      GuardMatrixWrite([&] { Write(values, *run_.outputs[roValues].file, Config().fileFormat); });
    }
    ListBothSides(result);
    Keep(std::move(result));
  }

 private:
  std::int32_t k() const { return run_.k; }

  TSide FileRows() { return {&Out(roRowFactors), &Out(roRowAbs), &Out(roRowCorr)}; }
  TSide FileColumns() { return {&Out(roColumnFactors), &Out(roColumnAbs), &Out(roColumnCorr)}; }
  TOptionalOutput& Out(TCorrespOutput o) { return run_.outputs[o]; }

  // The labels of the file's rows and of its columns.
  const Label_mx& RowLabels() const { return turned_ ? *table_.colLabels : *table_.rowLabels; }
  const Label_mx& ColumnLabels() const { return turned_ ? *table_.rowLabels : *table_.colLabels; }

  void WriteHeaders(const rtl::StringList* comments) {
    const std::string title = "\" CORRESP: input=" + run_.input + ", k=" + std::to_string(k());
    const auto write = [&](TCorrespOutput o, int type, std::int32_t rows, int labelCode, const Label_mx* labels) {
      TOptionalOutput& f = Out(o);
      if (!f) return;
      WriteTitle(*f.file, comments, title + std::string(kTitleEnds[o]));
      const int rowCode = labelCode != lcNone ? lcBlock : lcNone;
      GuardMatrixWrite([&] {
        WriteMatrixHeader(*f.file, type, rows, type == mtDiagonal ? rows : k(), 0, 0, Config().fileFormat, rowCode,
                          lcNone);
        if (rowCode == lcBlock) WriteLabels(*labels, *f.file);
      });
    };
    for (TCorrespOutput o : {roRowFactors, roColumnFactors, roValues, roRowAbs, roColumnAbs, roRowCorr, roColumnCorr}) {
      if (o == roValues) {
        write(o, mtDiagonal, k(), lcNone, nullptr);
      } else if (o == roRowFactors || o == roRowAbs || o == roRowCorr) {
        write(o, mtRectangular, header_.rows, header_.rowLabelCode, &RowLabels());
      } else {
        write(o, mtRectangular, header_.cols, header_.colLabelCode, &ColumnLabels());
      }
    }
  }

  void ListInertia(const TCorrespResult& r) const {
    const std::string f = "%" + Config().listingFormat;
    const std::int32_t p = table_.matrix->rows(), n = table_.matrix->cols();
    const double x2 = r.trace * r.total;
    const double df = static_cast<double>(p - 1) * static_cast<double>(n - 1);
    ListingWriteLine("");
    ListingWriteLine(rtl::Format("Trace of matrix = " + f, r.trace));
    ListingWriteLine(rtl::Format("X2              = %10.3f df = %5.0f Prob = %8.4f", x2, df, ChiSqProb(x2, df)));
    ListingWriteLine("");
    ListingWriteLine(rtl::Format("%3s %*s %12s %12s", "i", ValueWidth(Config().listingFormat), "Eigenvalue", "Percent",
                                 "Cumulative"));
    // Without inertia there is nothing to share out: the percentages are 0.
    const auto percent = [&r](long double x) {
      return static_cast<double>(r.trace > 0.0 ? 100.0L * x / r.trace : 0.0L);
    };
    long double cumulative = 0.0L;
    for (std::size_t a = 0; a < r.eigenvalues.size(); ++a) {
      cumulative += r.eigenvalues[a];
      ListingWriteLine(rtl::Format("%3d " + f + " %12.2f %12.2f", static_cast<std::int32_t>(a + 1), r.eigenvalues[a],
                                   percent(r.eigenvalues[a]), percent(cumulative)));
    }
    ListingWriteLine("");
  }

  // One side of the table: its block of the listing (the heading, each
  // point's label, mass and squared distance) and the lines of its files (k
  // coordinates, absolute contributions and squared correlations a point,
  // each value a blank and the value in the file format).
  struct TPoints {
    std::string_view heading;
    std::string_view variable;  // the heading of the labels' column
    const Label_mx& labels;
    TSide side;
    const Rect_mx& coordinates;
    const std::vector<double>& masses;
    const std::vector<double>& distances;
  };

  void ListPoints(const TPoints& points, const std::vector<double>& eigenvalues) {
    ListingWriteLine(std::string(points.heading));
    ListingWriteLine(rtl::Format("%12s %10s %10s", std::string(points.variable), "Rel. freq", "Dist^2"));
    const std::string pattern = " %" + Config().fileFormat;
    const auto line = [](TOptionalOutput* f, const std::string& text) {
      if (*f) GuardMatrixWrite([&] { f->file->WriteLine(text); });
    };
    for (std::int32_t i = 1; i <= points.coordinates.rows(); ++i) {
      const double mass = points.masses[static_cast<std::size_t>(i - 1)];
      const double distance = points.distances[static_cast<std::size_t>(i - 1)];
      ListingWriteLine(rtl::Format("  %10s %10.5f %10.5f", points.labels.GetFixedWidthLabel(i, 10), mass, distance));
      std::string factors, contributions, correlations;
      for (std::int32_t a = 1; a <= k(); ++a) {
        const double v = points.coordinates.getxij(i, a);
        factors += rtl::Format(pattern, v);
        contributions +=
            rtl::Format(pattern, AbsoluteContribution(mass, v, eigenvalues[static_cast<std::size_t>(a - 1)]));
        correlations += rtl::Format(pattern, SquaredCorrelation(v, distance));
      }
      line(points.side.factors, factors);
      line(points.side.contributions, contributions);
      line(points.side.correlations, correlations);
    }
  }

  // The smaller side first, then the larger side; the files of both in the
  // configured file format, so that they keep every digit the user asked for.
  void ListBothSides(const TCorrespResult& r) {
    ListPoints({turned_ ? "Column variables:" : "Row variables:", "  Variable  ", *table_.rowLabels,
                turned_ ? FileColumns() : FileRows(), *r.rows, r.rowMass, r.rowDistance},
               r.eigenvalues);
    ListingWriteLine("");
    ListPoints({turned_ ? "Row variables:" : "Column variables:", "Variable", *table_.colLabels,
                turned_ ? FileRows() : FileColumns(), *r.columns, r.columnMass, r.columnDistance},
               r.eigenvalues);
  }

  // The coordinates of the file's rows and of its columns, labelled, kept for the plots.
  void Keep(TCorrespResult r) {
    const auto labelled = [this](std::unique_ptr<Rect_mx> m, std::shared_ptr<Label_mx> labels) {
      m->FrLabels = std::move(labels);
      m->FcLabels = std::make_shared<Label_mx>(k());
      m->FcLabels->SetDefaultLabels("Dim-");
      return m;
    };
    std::unique_ptr<Rect_mx> working = labelled(std::move(r.rows), table_.rowLabels);
    std::unique_ptr<Rect_mx> other = labelled(std::move(r.columns), table_.colLabels);
    KeptRows().Add(turned_ ? std::move(other) : std::move(working));
    KeptColumns().Add(turned_ ? std::move(working) : std::move(other));
  }

  TCorrespRun& run_;
  rtl::TextReader& input_;
  TMatrixHeader header_;
  bool turned_ = false;
  TLabelledMatrix table_;
};

}  // namespace

void CorrespDescribe(TModuleRec& module) {
  DescribeAs(module, "corresp", "Correspondence analysis", 504, CorrespRun, kParams, kButtons, CorrespRelease);
}

void CorrespRun(std::span<const TParamRec> params) {
  Progress("", 0);
  TCorrespRun run;
  TakeValues(run, params);
  ListInputParameters(run.input);
  ListOutputs(run.outputs);
  ListingWriteLine("");
  if (!run.Open()) return;
  KeptRows().Start();
  KeptColumns().Start();
  ForEachDataSet(*run.in, [&] { TCorrespDataSet(run).Run(); });
  FinishRun("", run.k, 2, {});
  CloseOutputs(run.outputs);
}

void CorrespPlot2DRows() { KeptRows().Plot2D(1, "CorrespMxPlotF1"); }
void CorrespPlot2DColumns() { KeptColumns().Plot2D(2, "CorrespMxPlotF2"); }
void CorrespPlot3DRows() { KeptRows().Plot3D(3, "CorrespMod3DF3"); }
void CorrespPlot3DColumns() { KeptColumns().Plot3D(4, "CorrespMod3DF4"); }
void CorrespClose2DRows() { KeptRows().ClosePlot(1); }
void CorrespClose2DColumns() { KeptColumns().ClosePlot(2); }
void CorrespClose3DRows() { KeptRows().ClosePlot(3); }
void CorrespClose3DColumns() { KeptColumns().ClosePlot(4); }

void CorrespRelease() {
  KeptRows().Release();
  KeptColumns().Release();
}

std::shared_ptr<const TRectMxList> CorrespRowResults() { return KeptRows().Results(); }
std::shared_ptr<const TRectMxList> CorrespColumnResults() { return KeptColumns().Results(); }
