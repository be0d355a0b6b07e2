#include "modules/ordination/proj.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "modules/ordination/ordinationRun.h"
#include "modules/ordination/projCompute.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"
#include "shell/Config.h"
#include "shell/ModuleRun.h"
#include "shell/Progress.h"

namespace {

enum TProjParam { ppInput, ppByRows, ppFactors, ppOutput, ppMethod, ppEigenvalues, ppCount };

// The methods in choice order.
struct TProjMethodFacts {
  std::string_view name;
  TProjMethod method;
};
constexpr std::array<TProjMethodFacts, 3> kMethods = {
    {{"MULT", TProjMethod::Mult}, {"PROJ", TProjMethod::Proj}, {"ORTH", TProjMethod::Orth}}};

const std::array<TParamRec, ppCount> kParams = {
    InFileParam("O", "Input file", "Name of input file", prRequired),
    CheckParam("D", "OTUs are rows?", "Check if by rows", true),
    InFileParam("F", "Input factor matrix file", "Name of input factor matrix", prRequired),
    OutFileParam("R", "Output projection file", "Name for projections"),
    ChoiceParam("PT", "Projection type option", "Projection type", ChoiceItems(kMethods), 1),  // PROJ
    InFileParam("E", "Input eigenvalues file", "Name of  eigenvalue matrix"),
};

const std::array<TbuttonsRec, 2> kButtons = {{
    {"2D plot of \nprojections", "2DPlot", ProjPlot2D},
    {"3D plot of \nprojections", "3DPlot", ProjPlot3D},
}};

TKeptMatrices& Kept() {
  static TKeptMatrices kept;
  return kept;
}

// The values and files of one run: the data is its input, the projections its
// output, the factor matrix and the eigenvalues inputs of their own.
struct TProjRun : TRunFiles {
  bool byRows = true;
  std::string factorFile{};
  std::string eigenvalueFile{};
  TInputMatrixFile factorIn{};
  TInputMatrixFile eigenvalueIn{};
  TProjMethodFacts method = kMethods[1];

  bool Open() {
    return OpenInput() && OpenInputMatrixFile(factorIn, factorFile, "factor") &&
           (eigenvalueFile.empty() || OpenInputMatrixFile(eigenvalueIn, eigenvalueFile, "eigenvalues")) &&
           OpenOutput("projections");
  }
};

void TakeValues(TProjRun& run, std::span<const TParamRec> params) {
  if (params.size() != ppCount) throw E_Morvapc_Internal("PROJ needs its six parameters");
  run.input = params[ppInput].fileName;
  run.byRows = params[ppByRows].check;
  run.factorFile = params[ppFactors].fileName;
  run.output = params[ppOutput].fileName;
  run.method = ChosenFacts(kMethods, params[ppMethod]);
  run.eigenvalueFile = params[ppEigenvalues].fileName;
}

void ListRunValues(const TProjRun& run) {
  ListingWriteLine("Input parameters");
  ListingWriteLine("Read input data from file: " + run.input);
  ListingWriteLine("OTUs are: " + std::string(DirectionWord(run.byRows)));
  ListingWriteLine("Read factor matrix from file: " + run.factorFile);
  ListingWriteLine("Projection method: " + std::string(run.method.name));
  ListOutputFile(run.eigenvalueFile, "Read eigenvalues from file: ");
  ListOutputFile(run.output, "Save projections to file: ");
  ListingWriteLine("");
}

// What stays from one data set to the next: the factor matrix and the
// eigenvalues, until their files hold a further matrix.
struct TProjInputs {
  std::optional<TLabelledMatrix> factors;
  std::optional<std::vector<double>> eigenvalues;
};

// One data set: its projections or residuals.
class TProjDataSet {
 public:
  TProjDataSet(const TProjRun& run, TProjInputs& inputs)
      : run_(run), input_(*run.in), inputs_(inputs), output_(run.out.get()) {}

  void Run() {
    // Arranged variables × OTUs whichever way the file holds them.
    data_ = ReadLabelledMatrix(input_, run_.byRows, "Var-", "OTU-");
    ReadFactors();
    if (output_) WriteTitles();
    ReadEigenvalues();
    const bool orth = run_.method.method == TProjMethod::Orth;
    const std::shared_ptr<Label_mx>& columnLabels = orth ? data_.rowLabels : Factors().colLabels;
    if (output_) {
      GuardMatrixWrite([&] {
        WriteMatrixHeader(*output_, mtRectangular, n(), columnLabels->n(), 0, 0, Config().fileFormat, lcBlock, lcBlock);
        WriteLabels(*data_.colLabels, *output_);
        WriteLabels(*columnLabels, *output_);
      });
    }
    std::unique_ptr<Rect_mx> result = orth ? Residuals() : Projections();
    result->FrLabels = data_.colLabels;
    result->FcLabels = columnLabels;
    const Rect_mx& kept = Kept().Add(std::move(result));
    if (output_) GuardMatrixWrite([&] { Write(kept, *output_, true, Config().fileFormat); });
  }

 private:
  std::int32_t p() const { return data_.matrix->rows(); }
  std::int32_t n() const { return data_.matrix->cols(); }
  const TLabelledMatrix& Factors() const { return *inputs_.factors; }
  std::int32_t k() const { return Factors().matrix->cols(); }

  void ReadFactors() {
    rtl::TextReader& f = *run_.factorIn;
    if (!f.SeekEof()) {
      inputs_.factors.reset();
      ListingWriteLine("Factor matrix:" + run_.factorFile);
      inputs_.factors = ReadLabelledMatrix(f, false, "Var-", "Dim-");
    }
    if (!inputs_.factors) throw E_Morvapc("No factor matrix found in file: " + run_.factorFile);
    const std::int32_t pf = Factors().matrix->rows();
    if (p() != pf) {
      throw E_Morvapc("Number of variables in data (" + rtl::IntToStr(p()) + ") does not match number of " +
                      "variables in factor matrix (" + rtl::IntToStr(pf) + ")");
    }
  }

  void WriteTitles() {
    GuardMatrixWrite([&] {
      WriteMatrixComments(*output_, data_.comments.get());
      WriteMatrixComments(*output_, Factors().comments.get());
      output_->WriteLine("\" PROJ: data=" + run_.input + ", fact=" + run_.factorFile +
                         ", type=" + std::string(run_.method.name) + ", dir=" + (run_.byRows ? "Rows" : "Cols"));
    });
  }

  // The eigenvalues are read for every method: ORTH tests its residuals with them.
  void ReadEigenvalues() {
    if (!run_.eigenvalueIn) return;
    rtl::TextReader& f = *run_.eigenvalueIn;
    if (!f.SeekEof()) {
      inputs_.eigenvalues.reset();
      ListingWriteLine("Eigenvalue matrix:" + run_.eigenvalueFile);
      inputs_.eigenvalues = ReadEigenvalueList(f);
    }
    if (!inputs_.eigenvalues) throw E_Morvapc("No eigenvalue matrix found in file: " + run_.eigenvalueFile);
    CheckEigenvalueCount(static_cast<std::int32_t>(inputs_.eigenvalues->size()));
  }

  // The eigenvalues as a column of a data matrix (type 1) or as the diagonal
  // matrix (type 4) that EIGEN and SVD write, its labels skipped.
  std::vector<double> ReadEigenvalueList(rtl::TextReader& f) const {
    std::unique_ptr<rtl::StringList> comments;
    TMatrixHeader header;
    ReadMatrixHeader(f, comments, header, true, {mtRectangular, mtDiagonal});
    CheckEigenvalueCount(header.rows);
    std::vector<double> values;
    if (header.type == mtRectangular) {
      const TLabelledMatrix m = ReadLabelledBody(f, header, false, "", "");
      for (std::int32_t i = 1; i <= m.matrix->rows(); ++i) values.push_back(m.matrix->getxij(i, 1));
    } else {
      if (header.rowLabelCode != lcNone) SkipItems(f, header.rows);
      vect_mx diagonal(header.rows);
      Read(diagonal, f);
      for (std::int32_t i = 1; i <= header.rows; ++i) values.push_back(diagonal.Get(i));
    }
    return values;
  }

  void CheckEigenvalueCount(std::int32_t rows) const {
    if (rows == p()) return;
    throw E_Morvapc("Eigenvalue matrix the wrong size (" + rtl::IntToStr(rows) + ") " +
                    "must have as many elements as variables (" + rtl::IntToStr(p()) + ")" +
                    " in order to test residuals.");
  }

  std::unique_ptr<Rect_mx> Projections() {
    bool outlierTest = false;
    if (inputs_.eigenvalues) {
      if (n() <= p()) {
        ShowWarningMessage("There must be more points than variables in order to test for outliers");
      } else {
        outlierTest = k() <= p();
      }
    }
    auto y = ProjectOnFactors(*data_.matrix, *Factors().matrix, run_.method.method, [this](std::int32_t j) {
      Progress("Computing", static_cast<std::int32_t>(rtl::Round(100.0L * (j - 1) / k())));
    });
    ListingWriteLine("");
    if (outlierTest) {
      ListOutliers(OutlierTest(*data_.matrix, *Factors().matrix, *inputs_.eigenvalues), k());
    } else if (inputs_.eigenvalues && n() > p()) {
      ListingWriteLine("Note: more factors than variables, so no analysis of outliers.");
    } else if (!inputs_.eigenvalues && run_.method.method == TProjMethod::Proj) {
      ListingWriteLine("Note: eigenvalues needed for an analysis of outliers.");
    }
    return y;
  }

  std::unique_ptr<Rect_mx> Residuals() {
    Progress("Computing", 5);
    const std::unique_ptr<Rect_mx> projector = ResidualProjector(*Factors().matrix);
    Progress("Computing", 20);
    TResiduals residuals = ::Residuals(*data_.matrix, *projector);
    Progress("Computing", 70);
    ListingWriteLine("");
    ListingWriteLine("Analysis of residuals");
    std::optional<std::vector<double>> deviates;
    if (inputs_.eigenvalues) deviates = NormalDeviates(residuals.q, *inputs_.eigenvalues, k());
    ListResiduals(residuals.q, deviates, inputs_.eigenvalues.has_value());
    return std::move(residuals.values);
  }

  const TProjRun& run_;
  rtl::TextReader& input_;
  TProjInputs& inputs_;
  rtl::TextWriter* output_;
  TLabelledMatrix data_;
};

}  // namespace

void ProjDescribe(TModuleRec& module) {
  DescribeAs(module, "Proj", "Projection", 515, ProjRun, kParams, kButtons, ProjRelease);
}

void ProjRun(std::span<const TParamRec> params) {
  Progress("", 0);
  Kept().Start();
  TProjRun run;
  TakeValues(run, params);
  ListRunValues(run);
  if (!run.Open()) return;
  TProjInputs inputs;
  ForEachDataSet(*run.in, [&] { TProjDataSet(run, inputs).Run(); });
  FinishRun("", Kept().Dimensions(), 1, {&run.out});
}

void ProjPlot2D() { Kept().Plot2D(1, "ProjMxPlotF1"); }
void ProjClose2D() { Kept().ClosePlot(1); }
void ProjPlot3D() { Kept().Plot3D(2, "ProjMod3DF2"); }
void ProjClose3D() { Kept().ClosePlot(2); }

void ProjRelease() { Kept().Release(); }

std::shared_ptr<const TRectMxList> ProjResults() { return Kept().Results(); }
