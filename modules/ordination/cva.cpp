#include "modules/ordination/cva.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "matrix/MatrixList.h"
#include "matrix/Matrixu.h"
#include "modules/ordination/cvaCompute.h"
#include "modules/ordination/ordinationRun.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"
#include "shell/Config.h"
#include "shell/ModuleRun.h"
#include "shell/Progress.h"

namespace {

enum TCvaParam {
  vpMeans,
  vpByRows,
  vpWithin,
  vpSizes,
  vpVectors,
  vpRegressions,
  vpScores,
  vpDistances,
  vpTest,
  vpCutoff,
  vpCount
};

const std::array<TParamRec, vpCount> kParams = {
    InFileParam("M", "Input group means", "Name of input group means", prRequired),
    CheckParam("D", "Variables are rows?", "Check if by rows", true),
    InFileParam("V", "Input VCV", "Name of input VCV", prRequired),
    InFileParam("GS", "Input group sizes", "Name of input group sizes", prRequired),
    OutFileParam("CV", "Output canonical vect.", "Name for canonical vectors"),
    OutFileParam("VV", "Output cov. with var.", "Name for cov. with var."),
    OutFileParam("CS", "Output canonical scores", "Name for canonical scores"),
    OutFileParam("GD", "Output gen. dist.", "Name for generalized dist."),
    InFileParam("TD", "Input test data", "Name of  test data"),
    RealParam("CO", "Cutoff for roots", "Cutoff value for roots", 0.0, "0", "1e20", "#.##########"),
};

const std::array<TbuttonsRec, 4> kButtons = {{
    {"2D plot of scores", "2DPlot", CvaPlotScores2D},
    {"2D plot of \ncov. vectors", "2DPlot", CvaPlotCovVectors2D},
    {"3D plot of scores", "3DPlot", CvaPlotScores3D},
    {"3D plot of \ncov. vectors", "3DPlot", CvaPlotCovVectors3D},
}};

// The scores of the group means: each row (group) is a point.
TKeptMatrices& KeptScores() {
  static TKeptMatrices kept;
  return kept;
}

// The regressions: each column (variable) is a point.
TKeptMatrices& KeptRegressions() {
  static TKeptMatrices kept;
  return kept;
}

// The values and files of one run. With a within-groups matrix (V) the run
// computes the canonical vectors and may write them (CV); without, it reads
// them from CV and only projects.
struct TCvaRun {
  std::string means, within, sizes, vectors, regressions, scores, distances, test;
  bool byRows = true;
  double cutoff = 0;
  // The number of canonical dimensions, for the plot buttons.
  std::int32_t dimensions = 0;

  TInputMatrixFile meansIn, withinIn, sizesIn, vectorsIn, testIn;
  TOutputMatrixFile vectorsOut, regressionsOut, scoresOut, distancesOut;

  bool Computing() const { return !within.empty(); }

  // The inputs first, so that no output is opened over one of them.
  bool Open() {
    return OpenOptionalInput(meansIn, means, "group means") && OpenOptionalInput(withinIn, within, "pooled cov. mx.") &&
           OpenOptionalInput(sizesIn, sizes, "group sample sizes") &&
           (Computing() || OpenOptionalInput(vectorsIn, vectors, "Canonical vectors")) &&
           OpenOptionalInput(testIn, test, "Test data") &&
           (!Computing() || OpenOptionalOutput(vectorsOut, vectors, "Canonical vectors")) &&
           OpenOptionalOutput(regressionsOut, regressions, "Covariances") &&
           OpenOptionalOutput(scoresOut, scores, "Scores") &&
           OpenOptionalOutput(distancesOut, distances, "Generalized distances");
  }
};

void TakeValues(TCvaRun& run, std::span<const TParamRec> params) {
  if (params.size() != vpCount) throw E_Morvapc_Internal("CVA needs its ten parameters");
  run.means = params[vpMeans].fileName;
  run.byRows = params[vpByRows].check;
  run.within = params[vpWithin].fileName;
  run.sizes = params[vpSizes].fileName;
  run.vectors = params[vpVectors].fileName;
  run.regressions = params[vpRegressions].fileName;
  run.scores = params[vpScores].fileName;
  run.distances = params[vpDistances].fileName;
  run.test = params[vpTest].fileName;
  run.cutoff = params[vpCutoff].real;
}

// The parameter listing; false, after an error box, when a required input is
// missing.
bool ListRunValues(const TCvaRun& run) {
  ListingWriteLine("");
  ListingWriteLine("Input parameters");
  ListingWriteLine("Read input group means from file: " + run.means);
  if (run.means.empty()) {
    ShowErrorMessage("Matrix of group means is required");
    return false;
  }
  ListingWriteLine("Variables are: " + std::string(DirectionWord(run.byRows)));
  ListingWriteLine("Read input sample sizes from file: " + run.sizes);
  if (run.sizes.empty()) {
    ShowErrorMessage("Diagonal matrix of group sample sizes is required");
    return false;
  }
  if (run.Computing()) {
    ListingWriteLine("Read input VCV from file: " + run.within);
    ListOutputFile(run.vectors, "Save canonical vectors in output file: ");
  } else if (!run.vectors.empty()) {
    ListingWriteLine("Read input canonical vectors from file: " + run.vectors);
  } else {
    ShowErrorMessage("Canonical vectors are required");
    return false;
  }
  ListOutputFile(run.regressions, "Save covariances in output file: ");
  ListOutputFile(run.scores, "Save scores in output file: ");
  ListOutputFile(run.distances, "Save generalized distances in output file: ");
  ListOutputFile(run.test, "Input test data from file: ");
  if (run.cutoff != 0.0) ListingWriteLine(rtl::Format("Cut off threshold: %10.5f", run.cutoff));
  ListingWriteLine("");
  return true;
}

// "Number of variables in <what> (n) does not match those in group means (p)".
std::string VariableCountRefusal(std::string_view what, std::int32_t n, std::int32_t p) {
  return rtl::Format("Number of variables in %s (%d) does not match those in group means (%d)", std::string(what), n,
                     p);
}

std::unique_ptr<Rect_mx> Product(const Rect_mx& a, const Rect_mx& b) {
  auto c = std::make_unique<Rect_mx>(a.rows(), b.cols());
  MatMul(a, b, *c);
  return c;
}

// Reads the inputs, computes or reads the canonical vectors, writes the
// results and assigns the test specimens. Each step that ends the run early
// after an error box returns false.
class TCvaDriver {
 public:
  explicit TCvaDriver(TCvaRun& run) : run_(run) {}

  bool Run() {
    ReadMeans();
    ReadSizes();
    if (!(run_.Computing() ? ReadWithin() : ReadVectors())) return false;
    if (run_.Computing() && !ComputeVectors()) return false;
    run_.dimensions = k();

    Rect_mx grandMean(1, p());
    CvaGrandMean(*means_.matrix, sizes_, grandMean);
    auto scores = std::make_unique<Rect_mx>(g(), k());
    auto regressions = std::make_unique<Rect_mx>(k(), p());
    CvaScores(*means_.matrix, grandMean, *vectors_, *scores, *regressions);
    scores->FrLabels = means_.rowLabels;
    scores->FcLabels = DimensionLabels();
    regressions->FrLabels = DimensionLabels();
    regressions->FcLabels = variableLabels_;
    WriteRegressions(*regressions);
    WriteScores(*scores);
    const Rect_mx& kept = KeptScores().Add(std::move(scores));
    KeptRegressions().Add(std::move(regressions));
    WriteDistances(kept);
    return !run_.testIn || AssignTestData();
  }

 private:
  std::int32_t p() const { return means_.matrix->cols(); }
  std::int32_t g() const { return means_.matrix->rows(); }
  std::int32_t k() const { return vectors_->cols(); }
  const std::string& Format() const { return Config().fileFormat; }

  std::shared_ptr<Label_mx> DimensionLabels() const {
    auto labels = std::make_shared<Label_mx>(k());
    labels->SetDefaultLabels("Dim-");
    return labels;
  }

  // The means as groups x variables, with the labels of both.
  void ReadMeans() {
    rtl::TextReader& f = *run_.meansIn;
    std::unique_ptr<rtl::StringList> comments;
    TMatrixHeader header;
    ReadMatrixHeader(f, comments, header, true, {mtRectangular});
    if (run_.vectorsOut) GuardMatrixWrite([&] { WriteMatrixComments(*run_.vectorsOut, comments.get()); });
    const std::int32_t p = run_.byRows ? header.rows : header.cols;
    const std::int32_t g = run_.byRows ? header.cols : header.rows;
    ListingWriteLine(rtl::Format("Number of variables = %d", p));
    if (g < 2) throw E_Morvapc("Must have at least two groups");
    means_ = ReadLabelledBody(f, header, run_.byRows, "Grp-", "Var-");
    variableLabels_ = means_.colLabels;
    labelled_ = (run_.byRows ? header.rowLabelCode : header.colLabelCode) != lcNone;
    expected_ = std::min(g - 1, p);
    run_.dimensions = expected_;
  }

  void ReadSizes() {
    rtl::TextReader& f = *run_.sizesIn;
    std::unique_ptr<rtl::StringList> comments;
    TMatrixHeader header;
    ReadMatrixHeader(f, comments, header, true, {mtDiagonal});
    if (header.rowLabelCode != lcNone) SkipItems(f, header.cols);
    vect_mx sizes(g());
    Read(sizes, f);
    for (std::int32_t i = 1; i <= g(); ++i) sizes_.push_back(sizes.Get(i));
    double total = 0;
    for (double n : sizes_) total += n;
    const double freedom = total - g();
    ListingWriteLine("");
    ListingWriteLine(rtl::Format("Number of groups  = %5d", g()));
    ListingWriteLine(rtl::Format("Total sample size = %5.0f", total));
    ListingWriteLine(rtl::Format("Within-groups df  = %5.0f", freedom));
    ListingWriteLine("");
    if (freedom <= 0.0) {
      throw E_Morvapc("Must have sufficient samples sizes\nso that degrees of freedom within\nare greater than zero");
    }
  }

  bool ReadWithin() {
    rtl::TextReader& f = *run_.withinIn;
    std::unique_ptr<rtl::StringList> comments;
    TMatrixHeader header;
    ReadMatrixHeader(f, comments, header, true, {mtSimilarity});
    if (header.rows != p()) {
      ShowErrorMessage("Number of variables in VCV matrix does not match those in group means");
      return false;
    }
    if (header.rowLabelCode != lcNone) SkipItems(f, header.cols);
    within_ = std::make_unique<Rect_mx>(p(), p());
    ReadRecords(*within_, f);
    const std::string title = "\" CVA: means=" + run_.means + ", ngroups=" + rtl::IntToStr(g());
    for (const TOutputMatrixFile* out : {&run_.vectorsOut, &run_.scoresOut, &run_.distancesOut}) {
      if (*out) GuardMatrixWrite([&] { (*out)->WriteLine(title); });
    }
    return true;
  }

  // Canonical vectors of an earlier run, laid out as D says, the way the
  // computing run with the same D wrote them: the variables as rows when D is
  // on, as columns when it is off. The shape decides nothing, so a square file
  // is never read the wrong way round.
  bool ReadVectors() {
    rtl::TextReader& f = *run_.vectorsIn;
    std::unique_ptr<rtl::StringList> comments;
    TMatrixHeader header;
    ReadMatrixHeader(f, comments, header, true, {mtRectangular});
    const std::int32_t variables = run_.byRows ? header.rows : header.cols;
    if (variables != p()) {
      ShowErrorMessage(VariableCountRefusal("canonical vectors", variables, p()));
      return false;
    }
    TLabelledMatrix vectors = ReadLabelledBody(f, header, !run_.byRows, "", "");
    labelled_ = (run_.byRows ? header.rowLabelCode : header.colLabelCode) != lcNone;
    variableLabels_ = vectors.rowLabels;
    vectors_ = std::move(vectors.matrix);
    return true;
  }

  // The computation, and the vectors' file. No root above the cutoff leaves
  // no canonical variate to score: an error box ends the run.
  bool ComputeVectors() {
    std::int32_t k = expected_;
    TCvaSolution solution = CvaCompute(*means_.matrix, sizes_, *within_, run_.cutoff, k);
    if (!solution.vectors) {
      run_.dimensions = 0;
      ShowErrorMessage("No canonical roots above the cut-off value: there are no canonical variates");
      return false;
    }
    vectors_ = std::move(solution.vectors);
    if (run_.vectorsOut) {
      // The variables lie as in the means: rows when D is on, columns when off.
      rtl::TextWriter& f = *run_.vectorsOut;
      const int variableCode = labelled_ ? lcBlock : lcNone;
      GuardMatrixWrite([&] {
        if (run_.byRows) {
          WriteMatrixHeader(f, mtRectangular, p(), k, 0, 0, Format(), variableCode, lcNone);
        } else {
          WriteMatrixHeader(f, mtRectangular, k, p(), 0, 0, Format(), lcNone, variableCode);
        }
        if (labelled_) WriteLabels(*variableLabels_, f);
        Write(*vectors_, f, run_.byRows, Format());
      });
    }
    return true;
  }

  void WriteRegressions(const Rect_mx& regressions) {
    if (!run_.regressionsOut) return;
    rtl::TextWriter& f = *run_.regressionsOut;
    GuardMatrixWrite([&] {
      WriteMatrixHeader(f, mtRectangular, k(), p(), 0, 0, Format(), lcNone, labelled_ ? lcBlock : lcNone);
      if (labelled_) WriteLabels(*variableLabels_, f);
      Write(regressions, f, true, Format());
    });
  }

  void WriteScores(const Rect_mx& scores) {
    if (!run_.scoresOut) return;
    rtl::TextWriter& f = *run_.scoresOut;
    GuardMatrixWrite([&] {
      WriteMatrixHeader(f, mtRectangular, g(), k(), 0, 0, Format(), lcNone, lcNone);
      Write(scores, f, true, Format());
    });
  }

  void WriteDistances(const Rect_mx& scores) {
    if (!run_.distancesOut) return;
    rtl::TextWriter& f = *run_.distancesOut;
    Sym_mx dist(mtDissimilarity, g());
    CvaDistances(scores, dist);
    GuardMatrixWrite([&] {
      WriteMatrixHeader(f, mtDissimilarity, g(), g(), 0, 0, Format(), lcNone, lcNone);
      Write(dist, f, Format());
    });
  }

  // Each test matrix's specimens, assigned to the group whose mean lies
  // nearest in the canonical space.
  bool AssignTestData() {
    rtl::TextReader& f = *run_.testIn;
    const std::unique_ptr<Rect_mx> centres = Product(*means_.matrix, *vectors_);
    ivect_mx counts(g());
    for (std::int32_t set = 1;; ++set) {
      ListingWriteLine("");
      ListingWriteLine(rtl::Format("Test group: %d", set));
      std::unique_ptr<rtl::StringList> comments;
      TMatrixHeader header;
      ReadMatrixHeader(f, comments, header, true, {mtRectangular});
      if (header.missingCode != 0) {
        ShowErrorMessage("No missing data allowed");
        return false;
      }
      RefuseEmptyMatrix(header);
      const std::int32_t n = run_.byRows ? header.cols : header.rows;
      const std::int32_t variables = run_.byRows ? header.rows : header.cols;
      if (variables != p()) {
        ShowErrorMessage(VariableCountRefusal("test data", variables, p()));
        return false;
      }
      Rect_mx specimens(n, p());
      const int specimenCode = run_.byRows ? header.colLabelCode : header.rowLabelCode;
      const int variableCode = run_.byRows ? header.rowLabelCode : header.colLabelCode;
      Read(specimens, f, !run_.byRows, {nullptr, specimenCode, false}, {nullptr, variableCode, false});
      const std::unique_ptr<Rect_mx> points = Product(specimens, *vectors_);
      counts.Fill(0);
      ListingWriteLine("");
      ListingWriteLine(rtl::Format("%10s%15s%10s", "Specimen", "Distance", "Group"));
      for (std::int32_t r = 1; r <= n; ++r) {
        const TCvaNearest nearest = CvaNearestGroup(*points, r, *centres);
        counts.Put(nearest.group, counts.Get(nearest.group) + 1);
        ListingWriteLine(rtl::Format("%10d%15.5f%10d", r, std::sqrt(nearest.squaredDistance), nearest.group));
      }
      ListingWriteLine("");
      ListingWriteLine("Numbers of specimens assigned to each original group:");
      List(counts, 4);
      if (f.SeekEof()) break;
    }
    ListingWriteLine("");
    ListingWriteLine("Note: the apparent accuracy of identification is highly");
    ListingWriteLine("      unrealistic when testing is done with the data used to");
    ListingWriteLine("      compute the functions");
    return true;
  }

  TCvaRun& run_;
  TLabelledMatrix means_;
  std::shared_ptr<Label_mx> variableLabels_;
  bool labelled_ = false;
  std::int32_t expected_ = 0;
  std::vector<double> sizes_;
  std::unique_ptr<Rect_mx> within_;
  std::unique_ptr<Rect_mx> vectors_;
};

}  // namespace

void CvaDescribe(TModuleRec& module) {
  DescribeAs(module, "cva", "canonical vectors analysis", 506, CvaRun, kParams, kButtons, CvaRelease);
}

void CvaRun(std::span<const TParamRec> params) {
  KeptScores().Start();
  KeptRegressions().Start();
  Progress("", 0);
  TCvaRun run;
  TakeValues(run, params);
  if (!ListRunValues(run)) return;
  if (!run.Open()) return;
  TCvaDriver(run).Run();
  FinishRun("", run.dimensions, 2, {&run.vectorsOut, &run.regressionsOut, &run.scoresOut, &run.distancesOut});
}

void CvaPlotScores2D() { KeptScores().Plot2D(1, "CVAMxPlotF1"); }
void CvaPlotCovVectors2D() { KeptRegressions().Plot2D(2, "CVAMxPlotF2", true); }
void CvaPlotScores3D() { KeptScores().Plot3D(3, "CVAMod3DF3"); }
void CvaPlotCovVectors3D() { KeptRegressions().Plot3D(4, "CVAMod3DF4", true); }
void CvaCloseScores2D() { KeptScores().ClosePlot(1); }
void CvaCloseCovVectors2D() { KeptRegressions().ClosePlot(2); }
void CvaCloseScores3D() { KeptScores().ClosePlot(3); }
void CvaCloseCovVectors3D() { KeptRegressions().ClosePlot(4); }

void CvaRelease() {
  KeptScores().Release();
  KeptRegressions().Release();
}

std::shared_ptr<const TRectMxList> CvaScoreResults() { return KeptScores().Results(); }
std::shared_ptr<const TRectMxList> CvaRegressionResults() { return KeptRegressions().Results(); }
