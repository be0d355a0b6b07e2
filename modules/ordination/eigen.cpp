#include "modules/ordination/eigen.h"

#include <array>
#include <string>
#include <vector>

#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "modules/ordination/eigenCompute.h"
#include "modules/ordination/ordinationRun.h"
#include "rtl/Format.h"
#include "shell/Config.h"
#include "shell/ModuleRun.h"
#include "shell/Progress.h"

namespace {

enum TEigenParam { epInput, epDimensions, epVectors, epValues, epScaling, epSampleSize, epFreedom, epCount };

const std::array<TParamRec, epCount>& EigenTable() {
  static const std::array<TParamRec, epCount> table = {{
      {.keyword = "O", .prompt = "Input matrix file", .hint = "Name of input file", .required = true, .type = ptInFile},
      {.keyword = "N",
       .prompt = "Number of dimensions",
       .hint = "Number of dimensions",
       .type = ptInteger,
       .integer = 3,
       .min = "1",
       .max = "99",
       .mask = "##"},
      {.keyword = "R", .prompt = "Output eigenvector file", .hint = "Name for eigenvector file", .type = ptOutFile},
      {.keyword = "VAL", .prompt = "Output eigenvalue file", .hint = "Name for eigenvalue file", .type = ptOutFile},
      ScalingParam("S", "Vector scaling", "Vector scaling"),
      {.keyword = "NS",
       .prompt = "Sample size",
       .hint = "Sample size for matrix",
       .type = ptInteger,
       .integer = 0,
       .min = "1",
       .max = "9999",
       .mask = "####"},
      {.keyword = "DF",
       .prompt = "Degrees of freedom",
       .hint = "Degrees of freedom for matrix",
       .type = ptInteger,
       .integer = 0,
       .min = "1",
       .max = "9999",
       .mask = "####"},
  }};
  return table;
}

const std::array<TbuttonsRec, 2> kButtons = {{
    {"2D plot of \neigenvectors", "2DPlot", EigenPlot2D},
    {"3D plot of \neigenvectors", "3DPlot", EigenPlot3D},
}};

TKeptMatrices& Kept() {
  static TKeptMatrices kept;
  return kept;
}

// The working values of one run.
struct TEigenRunValues {
  std::string input;
  std::string vectorFile;
  std::string valueFile;
  std::int32_t dimensions = 3;  // reduced to the order of a smaller matrix
  TScalingItem scaling = TScalingItem::SqrtLambda;
  std::int32_t sampleSize = 0;
  std::int32_t freedom = 0;
};

TEigenRunValues RunValues(std::span<const TParamRec> params) {
  if (params.size() != epCount) throw E_Morvapc_Internal("EIGEN needs its seven parameters");
  return {.input = params[epInput].fileName,
          .vectorFile = params[epVectors].fileName,
          .valueFile = params[epValues].fileName,
          .dimensions = params[epDimensions].integer,
          .scaling = ScalingItemAt(params[epScaling].index),
          .sampleSize = params[epSampleSize].integer,
          .freedom = params[epFreedom].integer};
}

void ListRunValues(const TEigenRunValues& values) {
  ListInputParameters(values.input);
  ListingWriteLine(rtl::Format("Number of dimensions: %d", values.dimensions));
  ListOutputFile(values.vectorFile, "Save eigenvectors in output file: ");
  ListOutputFile(values.valueFile, "Save eigenvalues in output file: ");
  ListingWriteLine("Scaling: " + std::string(ScalingKeyword(values.scaling)));
  if (values.sampleSize > 0) ListingWriteLine(rtl::Format("Sample size: %d", values.sampleSize));
  if (values.freedom > 0) ListingWriteLine(rtl::Format("Number of degrees of freedom: %d", values.freedom));
  ListingWriteLine("");
}

// One data set: a correlation or covariance matrix and what the run makes of it.
class TEigenDataSet {
 public:
  TEigenDataSet(TEigenRunValues& values, rtl::TextReader& input, rtl::TextWriter* vectorFile,
                rtl::TextWriter* valueFile)
      : values_(values), input_(input), vectorFile_(vectorFile), valueFile_(valueFile) {}

  void Run() {
    std::unique_ptr<rtl::StringList> comments;
    ReadMatrixHeader(input_, comments, header_, true, {mtSimilarity});
    RefuseMissingValues(header_);
    WriteTitles(comments.get());
    ReduceDimensions(values_.dimensions, n());
    ReadLabelsOrDefaults();
    WriteHeaders();

    Rect_mx a(n(), n());
    ReadRecords(a, input_);
    const TSimilarityKind kind = CheckSimilarity(a, n());
    Progress("Computing eigenvectors", 10);
    vect_mx d(n());
    ScaledEigenvectors(a, n(), d, values_.scaling);
    Progress("Eigenvectors computer", 90);

    if (valueFile_) {
      GuardMatrixWrite([&] { Write(d, *valueFile_, Config().fileFormat); });
      ListingWriteLine("Eigenvalues stored in file: " + values_.valueFile);
    }
    const Rect_mx& vectors = Kept().Add(LabelledColumns(a, values_.dimensions, labels_, "Dim-"));
    if (vectorFile_) {
      GuardMatrixWrite([&] { Write(vectors, *vectorFile_, true, Config().fileFormat); });
      ListingWriteLine("Eigenvectors stored in file: " + values_.vectorFile);
    }
    Progress("Compute statistics", 85);
    std::vector<double> roots;
    for (std::int32_t i = 1; i <= n(); ++i) roots.push_back(d.Get(i));
    ListEigenStatistics(roots, kind, values_.sampleSize, values_.freedom);
  }

 private:
  std::int32_t n() const { return header_.rows; }

  void WriteTitles(const rtl::StringList* comments) {
    const std::string input = "\" EIGEN: input=" + values_.input;
    if (vectorFile_) {
      WriteTitle(*vectorFile_, comments,
                 input + ", k=" + std::to_string(values_.dimensions) +
                     " vectors, length=" + std::string(ScalingKeyword(values_.scaling)));
    }
    if (valueFile_) WriteTitle(*valueFile_, comments, input);
  }

  void ReadLabelsOrDefaults() {
    labels_ = std::make_shared<Label_mx>(n());
    if (header_.rowLabelCode == lcBlock) {
      ReadLabels(*labels_, input_);
    } else {
      labels_->SetDefaultLabels("Var-");
    }
  }

  // The eigenvalue file is square like every diagonal matrix, so that the
  // system's reader takes it back.
  void WriteHeaders() {
    const int labelCode = header_.rowLabelCode == lcBlock ? lcBlock : lcNone;
    if (vectorFile_) {
      GuardMatrixWrite([&] {
        WriteMatrixHeader(*vectorFile_, mtRectangular, n(), values_.dimensions, 0, 0, Config().fileFormat, labelCode,
                          lcNone);
        if (labelCode == lcBlock) WriteLabels(*labels_, *vectorFile_);
      });
    }
    if (valueFile_) {
      GuardMatrixWrite(
          [&] { WriteMatrixHeader(*valueFile_, mtDiagonal, n(), n(), 0, 0, Config().fileFormat, lcNone, lcNone); });
    }
  }

  TEigenRunValues& values_;
  rtl::TextReader& input_;
  rtl::TextWriter* vectorFile_;
  rtl::TextWriter* valueFile_;
  TMatrixHeader header_;
  std::shared_ptr<Label_mx> labels_;
};

}  // namespace

void EigenDescribe(TModuleRec& module) {
  module.name = "eigen";
  module.title = "Eigenvalues and eigenvectors";
  module.run = EigenRun;
  module.helpContext = 508;
  module.params = EigenTable();
  module.buttons = kButtons;
  module.release = EigenRelease;
}

void EigenRun(std::span<const TParamRec> params) {
  Progress("", 0);
  Kept().Start();
  TEigenRunValues values = RunValues(params);
  ListRunValues(values);

  TInputMatrixFile input;
  if (!OpenInputMatrixFile(input, values.input, "input")) return;
  TOutputMatrixFile vectorFile, valueFile;
  if (!values.vectorFile.empty() && !OpenOutputMatrixFile(vectorFile, values.vectorFile, "eigenvectors")) return;
  if (!values.valueFile.empty() && !OpenOutputMatrixFile(valueFile, values.valueFile, "eigenvalues")) return;
  ForEachDataSet(*input, [&] { TEigenDataSet(values, *input, vectorFile.get(), valueFile.get()).Run(); });
  Progress("Done", 100);
  EnableDimensionButtons(Kept().Dimensions(), 1);
  if (vectorFile) CloseOutputMatrixFile(vectorFile);
  if (valueFile) CloseOutputMatrixFile(valueFile);
}

void EigenPlot2D() {}
void EigenClose2D() {}
void EigenPlot3D() {}
void EigenClose3D() {}

void EigenRelease() {
  EigenClose2D();
  EigenClose3D();
  Kept().Release();
}

std::shared_ptr<const TRectMxList> EigenResults() { return Kept().Results(); }
