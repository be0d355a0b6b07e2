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

const std::array<TParamRec, epCount> kParams = {
    InFileParam("O", "Input matrix file", "Name of input file", prRequired),
    IntegerParam("N", "Number of dimensions", "Number of dimensions", 3, "1", "99", "##"),
    OutFileParam("R", "Output eigenvector file", "Name for eigenvector file"),
    OutFileParam("VAL", "Output eigenvalue file", "Name for eigenvalue file"),
    ScalingParam("S", "Vector scaling", "Vector scaling"),
    IntegerParam("NS", "Sample size", "Sample size for matrix", 0, "1", "9999", "####"),
    IntegerParam("DF", "Degrees of freedom", "Degrees of freedom for matrix", 0, "1", "9999", "####"),
};

const std::array<TbuttonsRec, 2> kButtons = {{
    {"2D plot of \neigenvectors", "2DPlot", EigenPlot2D},
    {"3D plot of \neigenvectors", "3DPlot", EigenPlot3D},
}};

TKeptMatrices& Kept() {
  static TKeptMatrices kept;
  return kept;
}

// The values and files of one run: the eigenvectors are its output, the
// eigenvalues a second output of its own.
struct TEigenRun : TRunFiles {
  std::string valueFile{};
  TOutputMatrixFile valueOut{};
  std::int32_t dimensions = 3;  // reduced to the order of a smaller matrix
  TScalingFacts scaling = ScalingFacts(TScalingItem::SqrtLambda);
  std::int32_t sampleSize = 0;
  std::int32_t freedom = 0;

  bool Open() {
    return OpenInput() && OpenOutput("eigenvectors") &&
           (valueFile.empty() || OpenOutputMatrixFile(valueOut, valueFile, "eigenvalues"));
  }
};

void TakeValues(TEigenRun& run, std::span<const TParamRec> params) {
  if (params.size() != epCount) throw E_Morvapc_Internal("EIGEN needs its seven parameters");
  run.input = params[epInput].fileName;
  run.output = params[epVectors].fileName;
  run.valueFile = params[epValues].fileName;
  run.dimensions = params[epDimensions].integer;
  run.scaling = ChosenFacts(kScalings, params[epScaling]);
  run.sampleSize = params[epSampleSize].integer;
  run.freedom = params[epFreedom].integer;
}

void ListRunValues(const TEigenRun& run) {
  ListInputParameters(run.input);
  ListingWriteLine(rtl::Format("Number of dimensions: %d", run.dimensions));
  ListOutputFile(run.output, "Save eigenvectors in output file: ");
  ListOutputFile(run.valueFile, "Save eigenvalues in output file: ");
  ListingWriteLine("Scaling: " + std::string(run.scaling.name));
  if (run.sampleSize > 0) ListingWriteLine(rtl::Format("Sample size: %d", run.sampleSize));
  if (run.freedom > 0) ListingWriteLine(rtl::Format("Number of degrees of freedom: %d", run.freedom));
  ListingWriteLine("");
}

// One data set: a correlation or covariance matrix and what the run makes of it.
class TEigenDataSet {
 public:
  explicit TEigenDataSet(TEigenRun& run)
      : run_(run), input_(*run.in), vectorFile_(run.out.get()), valueFile_(run.valueOut.get()) {}

  void Run() {
    std::unique_ptr<rtl::StringList> comments;
    ReadMatrixHeader(input_, comments, header_, true, {mtSimilarity});
    RefuseMissingValues(header_);
    WriteTitles(comments.get());
    ReduceDimensions(run_.dimensions, n());
    ReadLabelsOrDefaults();
    WriteHeaders();

    Rect_mx a(n(), n());
    ReadRecords(a, input_);
    const TSimilarityKind kind = CheckSimilarity(a, n());
    Progress("Computing eigenvectors", 10);
    vect_mx d(n());
    {
      const TDecompositionProgress decomposition("Computing eigenvectors", 10, 90);
      ScaledEigenvectors(a, n(), d, run_.scaling.item, run_.dimensions);
    }
    Progress("Eigenvectors computer", 90);

    if (valueFile_) {
      GuardMatrixWrite([&] { Write(d, *valueFile_, Config().fileFormat); });
      ListingWriteLine("Eigenvalues stored in file: " + run_.valueFile);
    }
    const Rect_mx& vectors = Kept().Add(LabelledColumns(a, run_.dimensions, labels_, "Dim-"));
    if (vectorFile_) {
      GuardMatrixWrite([&] { Write(vectors, *vectorFile_, true, Config().fileFormat); });
      ListingWriteLine("Eigenvectors stored in file: " + run_.output);
    }
    Progress("Compute statistics", 85);
    std::vector<double> roots;
    for (std::int32_t i = 1; i <= n(); ++i) roots.push_back(d.Get(i));
    ListEigenStatistics(roots, kind, run_.sampleSize, run_.freedom);
  }

 private:
  std::int32_t n() const { return header_.rows; }

  void WriteTitles(const rtl::StringList* comments) {
    const std::string input = "\" EIGEN: input=" + run_.input;
    if (vectorFile_) {
      WriteTitle(
          *vectorFile_, comments,
          input + ", k=" + std::to_string(run_.dimensions) + " vectors, length=" + std::string(run_.scaling.name));
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
        WriteMatrixHeader(*vectorFile_, mtRectangular, n(), run_.dimensions, 0, 0, Config().fileFormat, labelCode,
                          lcNone);
        if (labelCode == lcBlock) WriteLabels(*labels_, *vectorFile_);
      });
    }
    if (valueFile_) {
      GuardMatrixWrite(
          [&] { WriteMatrixHeader(*valueFile_, mtDiagonal, n(), n(), 0, 0, Config().fileFormat, lcNone, lcNone); });
    }
  }

  TEigenRun& run_;
  rtl::TextReader& input_;
  rtl::TextWriter* vectorFile_;
  rtl::TextWriter* valueFile_;
  TMatrixHeader header_;
  std::shared_ptr<Label_mx> labels_;
};

}  // namespace

void EigenDescribe(TModuleRec& module) {
  DescribeAs(module, "eigen", "Eigenvalues and eigenvectors", 508, EigenRun, kParams, kButtons, EigenRelease);
}

void EigenRun(std::span<const TParamRec> params) {
  Progress("", 0);
  Kept().Start();
  TEigenRun run;
  TakeValues(run, params);
  ListRunValues(run);
  if (!run.Open()) return;
  ForEachDataSet(*run.in, [&] { TEigenDataSet(run).Run(); });
  FinishRun("Done", Kept().Dimensions(), 1, {&run.out, &run.valueOut});
}

void EigenPlot2D() { Kept().Plot2D(1, "EigenMxPlotF1"); }
void EigenClose2D() { Kept().ClosePlot(1); }
void EigenPlot3D() { Kept().Plot3D(2, "EigenMod3DF2"); }
void EigenClose3D() { Kept().ClosePlot(2); }

void EigenRelease() { Kept().Release(); }

std::shared_ptr<const TRectMxList> EigenResults() { return Kept().Results(); }
