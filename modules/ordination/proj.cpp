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

const std::array<TParamRec, ppCount>& ProjTable() {
  static const std::array<TParamRec, ppCount> table = {{
      {.keyword = "O", .prompt = "Input file", .hint = "Name of input file", .required = true, .type = ptInFile},
      {.keyword = "D", .prompt = "OTUs are rows?", .hint = "Check if by rows", .type = ptCheck, .check = true},
      {.keyword = "F",
       .prompt = "Input factor matrix file",
       .hint = "Name of input factor matrix",
       .required = true,
       .type = ptInFile},
      {.keyword = "R", .prompt = "Output projection file", .hint = "Name for projections", .type = ptOutFile},
      {.keyword = "PT",
       .prompt = "Projection type option",
       .hint = "Projection type",
       .type = ptChoice,
       .items = {"MULT", "PROJ", "ORTH"},
       .index = 1},
      {.keyword = "E", .prompt = "Input eigenvalues file", .hint = "Name of  eigenvalue matrix", .type = ptInFile},
  }};
  return table;
}

const std::array<TbuttonsRec, 2> kButtons = {{
    {"2D plot of \nprojections", "2DPlot", ProjPlot2D},
    {"3D plot of \nprojections", "3DPlot", ProjPlot3D},
}};

TKeptMatrices& Kept() {
  static TKeptMatrices kept;
  return kept;
}

// The working values of one run.
struct TProjRunValues {
  std::string input;
  bool byRows = true;
  std::string factorFile;
  std::string output;
  std::string methodName;
  TProjMethod method = TProjMethod::Proj;
  std::string eigenvalueFile;
};

TProjRunValues RunValues(std::span<const TParamRec> params) {
  if (params.size() != ppCount) throw E_Morvapc_Internal("PROJ needs its six parameters");
  const std::int32_t index = params[ppMethod].index;
  if (index < 0 || static_cast<std::size_t>(index) >= kMethods.size()) {
    throw E_Morvapc_Internal(rtl::Format("PROJ choice index out of range: %d", index));
  }
  const TProjMethodFacts& method = kMethods[static_cast<std::size_t>(index)];
  return {.input = params[ppInput].fileName,
          .byRows = params[ppByRows].check,
          .factorFile = params[ppFactors].fileName,
          .output = params[ppOutput].fileName,
          .methodName = std::string(method.name),
          .method = method.method,
          .eigenvalueFile = params[ppEigenvalues].fileName};
}

void ListRunValues(const TProjRunValues& values) {
  ListingWriteLine("Input parameters");
  ListingWriteLine("Read input data from file: " + values.input);
  ListingWriteLine("OTUs are: " + std::string(DirectionWord(values.byRows)));
  ListingWriteLine("Read factor matrix from file: " + values.factorFile);
  ListingWriteLine("Projection method: " + values.methodName);
  ListOutputFile(values.eigenvalueFile, "Read eigenvalues from file: ");
  ListOutputFile(values.output, "Save projections to file: ");
  ListingWriteLine("");
}

// Labels a dimension read without any: the prefix and the number.
std::shared_ptr<Label_mx> LabelsOrDefaults(std::shared_ptr<Label_mx> read, std::int32_t n, std::string_view prefix) {
  if (read->HasStorage()) return read;
  auto labels = std::make_shared<Label_mx>(n);
  labels->SetDefaultLabels(prefix);
  return labels;
}

// A matrix read with the labels of both dimensions, those missing from the
// file named by default.
struct TLabelledMatrix {
  std::unique_ptr<Rect_mx> matrix;
  std::shared_ptr<Label_mx> rowLabels;
  std::shared_ptr<Label_mx> colLabels;
  std::unique_ptr<rtl::StringList> comments;
};

// Reads the next matrix of f (type 1). With transposed, the file's rows
// become the matrix's columns.
TLabelledMatrix ReadLabelledMatrix(rtl::TextReader& f, bool transposed, std::string_view rowPrefix,
                                   std::string_view colPrefix) {
  TLabelledMatrix m;
  TMatrixHeader header;
  ReadMatrixHeader(f, m.comments, header, true, {mtRectangular});
  const std::int32_t rows = transposed ? header.cols : header.rows;
  const std::int32_t cols = transposed ? header.rows : header.cols;
  const int rowCode = transposed ? header.colLabelCode : header.rowLabelCode;
  const int colCode = transposed ? header.rowLabelCode : header.colLabelCode;
  m.matrix = std::make_unique<Rect_mx>(rows, cols, header.missingCode,
                                       header.missingCode == 0 ? NoMissingValue : header.missingValue);
  auto rowLabels = std::make_shared<Label_mx>(rowCode != lcNone ? rows : 0);
  auto colLabels = std::make_shared<Label_mx>(colCode != lcNone ? cols : 0);
  Read(*m.matrix, f, !transposed, {rowLabels.get(), rowCode, true}, {colLabels.get(), colCode, true});
  m.rowLabels = LabelsOrDefaults(std::move(rowLabels), rows, rowPrefix);
  m.colLabels = LabelsOrDefaults(std::move(colLabels), cols, colPrefix);
  return m;
}

// What stays from one data set to the next: the factor matrix and the
// eigenvalues, until their files hold a further matrix.
struct TProjInputs {
  rtl::TextReader* factorFile = nullptr;
  rtl::TextReader* eigenvalueFile = nullptr;
  std::optional<TLabelledMatrix> factors;
  std::optional<std::vector<double>> eigenvalues;
};

// One data set: its projections or residuals.
class TProjDataSet {
 public:
  TProjDataSet(const TProjRunValues& values, rtl::TextReader& input, TProjInputs& inputs, rtl::TextWriter* output)
      : values_(values), input_(input), inputs_(inputs), output_(output) {}

  void Run() {
    // Arranged variables × OTUs whichever way the file holds them.
    data_ = ReadLabelledMatrix(input_, values_.byRows, "Var-", "OTU-");
    ReadFactors();
    if (output_) WriteTitles();
    ReadEigenvalues();
    const bool orth = values_.method == TProjMethod::Orth;
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
    rtl::TextReader& f = *inputs_.factorFile;
    if (!f.SeekEof()) {
      inputs_.factors.reset();
      ListingWriteLine("Factor matrix:" + values_.factorFile);
      inputs_.factors = ReadLabelledMatrix(f, false, "Var-", "Dim-");
    }
    if (!inputs_.factors) throw E_Morvapc("No factor matrix found in file: " + values_.factorFile);
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
      output_->WriteLine("\" PROJ: data=" + values_.input + ", fact=" + values_.factorFile +
                         ", type=" + values_.methodName + ", dir=" + (values_.byRows ? "Rows" : "Cols"));
    });
  }

  // The eigenvalues are read for every method: ORTH tests its residuals with them.
  void ReadEigenvalues() {
    if (!inputs_.eigenvalueFile) return;
    rtl::TextReader& f = *inputs_.eigenvalueFile;
    if (!f.SeekEof()) {
      inputs_.eigenvalues.reset();
      ListingWriteLine("Eigenvalue matrix:" + values_.eigenvalueFile);
      const TLabelledMatrix m = ReadLabelledMatrix(f, false, "", "");
      CheckEigenvalueCount(m.matrix->rows());
      std::vector<double> values;
      for (std::int32_t i = 1; i <= m.matrix->rows(); ++i) values.push_back(m.matrix->getxij(i, 1));
      inputs_.eigenvalues = std::move(values);
    }
    if (!inputs_.eigenvalues) throw E_Morvapc("No eigenvalue matrix found in file: " + values_.eigenvalueFile);
    CheckEigenvalueCount(static_cast<std::int32_t>(inputs_.eigenvalues->size()));
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
    auto y = ProjectOnFactors(*data_.matrix, *Factors().matrix, values_.method, [this](std::int32_t j) {
      Progress("Computing", static_cast<std::int32_t>(rtl::Round(100.0L * (j - 1) / k())));
    });
    ListingWriteLine("");
    if (outlierTest) {
      ListOutliers(OutlierTest(*data_.matrix, *Factors().matrix, *inputs_.eigenvalues), k(), p());
    } else if (inputs_.eigenvalues && n() > p()) {
      ListingWriteLine("Note: more factors than variables, so no analysis of outliers.");
    } else if (!inputs_.eigenvalues && values_.method == TProjMethod::Proj) {
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

  const TProjRunValues& values_;
  rtl::TextReader& input_;
  TProjInputs& inputs_;
  rtl::TextWriter* output_;
  TLabelledMatrix data_;
};

}  // namespace

void ProjDescribe(TModuleRec& module) {
  module.name = "Proj";
  module.title = "Projection";
  module.run = ProjRun;
  module.helpContext = 515;
  module.params = ProjTable();
  module.buttons = kButtons;
  module.release = ProjRelease;
}

void ProjRun(std::span<const TParamRec> params) {
  Progress("", 0);
  Kept().Start();
  const TProjRunValues values = RunValues(params);
  ListRunValues(values);

  TInputMatrixFile input, factors, eigenvalues;
  if (!OpenInputMatrixFile(input, values.input, "input")) return;
  if (!OpenInputMatrixFile(factors, values.factorFile, "factor")) return;
  if (!values.eigenvalueFile.empty() && !OpenInputMatrixFile(eigenvalues, values.eigenvalueFile, "eigenvalues")) return;
  TOutputMatrixFile output;
  if (!values.output.empty() && !OpenOutputMatrixFile(output, values.output, "projections")) return;
  TProjInputs inputs{
      .factorFile = factors.get(), .eigenvalueFile = eigenvalues.get(), .factors = {}, .eigenvalues = {}};
  ForEachDataSet(*input, [&] { TProjDataSet(values, *input, inputs, output.get()).Run(); });
  Progress("", 100);
  EnableDimensionButtons(Kept().Dimensions(), 1);
  if (output) CloseOutputMatrixFile(output);
}

void ProjPlot2D() {}
void ProjClose2D() {}
void ProjPlot3D() {}
void ProjClose3D() {}

void ProjRelease() {
  ProjClose2D();
  ProjClose3D();
  Kept().Release();
}

std::shared_ptr<const TRectMxList> ProjResults() { return Kept().Results(); }
