#include "modules/ordination/svd.h"

#include <array>
#include <string>

#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "modules/ordination/ordinationRun.h"
#include "modules/ordination/svdCompute.h"
#include "rtl/Format.h"
#include "shell/Config.h"
#include "shell/ModuleRun.h"
#include "shell/Progress.h"

namespace {

enum TSvdParam {
  vpInput,
  vpDimensions,
  vpLeft,
  vpRight,
  vpValues,
  vpLeftScaling,
  vpRightScaling,
  vpIterations,
  vpCount
};

const std::array<TParamRec, vpCount> kParams = {
    InFileParam("O", "Input file", "Name of input file", prRequired),
    IntegerParam("N", "Number of dimensions", "Number of dimensions", 3, "1", "99", "##"),
    OutFileParam("L", "Output left file", "Name of output left file"),
    OutFileParam("R", "Output right file", "Name of output right file"),
    OutFileParam("VAL", "Output singular values", "Name for singular values"),
    ScalingParam("SL", "Scale for left vectors", "Scale for left vectors"),
    ScalingParam("SR", "Scale for right vectors", "Scale for right vectors"),
    IntegerParam("MI", "Maximum iterations", "Maximum iterations", 40, "1", "999", "###"),
};

const std::array<TbuttonsRec, 4> kButtons = {{
    {"2D plot of \nleft vectors", "2DPlot", SvdPlot2DLeft},
    {"2D plot of \nright vectors", "2DPlot", SvdPlot2DRight},
    {"3D plot of \nleft vectors", "3DPlot", SvdPlot3DLeft},
    {"3D plot of \nright vectors", "3DPlot", SvdPlot3DRight},
}};

TKeptMatrices& KeptLeft() {
  static TKeptMatrices kept;
  return kept;
}
TKeptMatrices& KeptRight() {
  static TKeptMatrices kept;
  return kept;
}

// The values and files of one run: the left vectors are its output, the
// right vectors and the singular values outputs of their own.
struct TSvdRun : TRunFiles {
  std::string rightFile{};
  std::string valueFile{};
  TOutputMatrixFile rightOut{};
  TOutputMatrixFile valueOut{};
  std::int32_t dimensions = 3;  // reduced to the columns of a smaller matrix
  TScalingFacts leftScaling = ScalingFacts(TScalingItem::SqrtLambda);
  TScalingFacts rightScaling = ScalingFacts(TScalingItem::SqrtLambda);
  std::int32_t maxIterations = 40;

  std::string LeftKeyword() const { return std::string(leftScaling.name); }
  std::string RightKeyword() const { return std::string(rightScaling.name); }

  bool Open() {
    return OpenInput() && OpenOutput("left matrix") &&
           (rightFile.empty() || OpenOutputMatrixFile(rightOut, rightFile, "right matrix")) &&
           (valueFile.empty() || OpenOutputMatrixFile(valueOut, valueFile, "singular values matrix"));
  }
};

void TakeValues(TSvdRun& run, std::span<const TParamRec> params) {
  if (params.size() != vpCount) throw E_Morvapc_Internal("SVD needs its eight parameters");
  run.input = params[vpInput].fileName;
  run.output = params[vpLeft].fileName;
  run.rightFile = params[vpRight].fileName;
  run.valueFile = params[vpValues].fileName;
  run.dimensions = params[vpDimensions].integer;
  run.leftScaling = ChosenFacts(kScalings, params[vpLeftScaling]);
  run.rightScaling = ChosenFacts(kScalings, params[vpRightScaling]);
  run.maxIterations = params[vpIterations].integer;
}

void ListRunValues(const TSvdRun& run) {
  ListInputParameters(run.input);
  ListingWriteLine(rtl::Format("Number of dimensions: %d", run.dimensions));
  if (!run.output.empty()) {
    ListingWriteLine("Save left matrix in output file: " + run.output);
    ListingWriteLine("Scaling: " + run.LeftKeyword());
  }
  if (!run.rightFile.empty()) {
    ListingWriteLine("Save right matrix in output file: " + run.rightFile);
    ListingWriteLine("Scaling: " + run.RightKeyword());
  }
  ListOutputFile(run.valueFile, "Save singular values in output file: ");
  ListingWriteLine(rtl::Format("Number of iterations: %10d", run.maxIterations));
  ListingWriteLine("");
}

// One data set: a data matrix and its decomposition.
class TSvdDataSet {
 public:
  explicit TSvdDataSet(TSvdRun& run)
      : run_(run), input_(*run.in), left_(run.out.get()), right_(run.rightOut.get()), singular_(run.valueOut.get()) {}

  void Run() {
    std::unique_ptr<rtl::StringList> comments;
    ReadMatrixHeader(input_, comments, header_, true, {mtRectangular});
    RefuseMissingValues(header_);
    RefuseEmptyMatrix(header_);
    WriteTitles(comments.get());
    const std::int32_t r = header_.rows, c = header_.cols;
    const bool transposed = SvdTransposes(r, c);
    if (transposed) ListingWriteLine("Matrix will be transposed for computation.");
    ReduceDimensions(run_.dimensions, transposed ? r : c);
    const std::int32_t k = run_.dimensions;

    rowLabels_ = std::make_shared<Label_mx>(header_.rowLabelCode != lcNone ? r : 0);
    colLabels_ = std::make_shared<Label_mx>(header_.colLabelCode != lcNone ? c : 0);
    auto a = std::make_unique<Rect_mx>(transposed ? c : r, transposed ? r : c);
    const TLabelRead rows{rowLabels_.get(), header_.rowLabelCode, true};
    const TLabelRead cols{colLabels_.get(), header_.colLabelCode, true};
    Read(*a, input_, !transposed, transposed ? cols : rows, transposed ? rows : cols);

    const TDecompositionProgress decomposition("Computing", 0, 95);
    const TSvdResult result = DecomposeData(std::move(a), transposed,
                                            {.k = k,
                                             .rowScaling = run_.leftScaling.item,
                                             .columnScaling = run_.rightScaling.item,
                                             .maxIterations = run_.maxIterations});
    ListSingularValues(result.values, k, Config().listingFormat);
    const Rect_mx& left = KeptLeft().Add(LabelledColumns(*result.rowVectors, k, rowLabels_, "Dim"));
    const Rect_mx& right = KeptRight().Add(LabelledColumns(*result.columnVectors, k, colLabels_, "Dim"));

    if (left_) {
      WriteVectors(*left_, left, header_.rowLabelCode);
      ListingWriteLine("Left vectors stored on disk in file " + run_.output);
      ListingWriteLine("Scale for left matrix: " + run_.LeftKeyword());
    }
    if (right_) {
      WriteVectors(*right_, right, header_.colLabelCode);
      ListingWriteLine("Right vectors stored on disk in file " + run_.rightFile);
      ListingWriteLine("Scale for right matrix: " + run_.RightKeyword());
    }
    if (singular_) {
      WriteSingularValues(*singular_, result.values);
      ListingWriteLine("Singular values stored on disk in file " + run_.valueFile);
    }
  }

 private:
  void WriteTitles(const rtl::StringList* comments) {
    const std::string tail = run_.input + ", maxiter=" + std::to_string(run_.maxIterations) +
                             " scales=" + run_.LeftKeyword() + "+" + run_.RightKeyword() +
                             ", k=" + std::to_string(run_.dimensions);
    if (left_) WriteTitle(*left_, comments, "\" SVD: left matrix, input=" + tail);
    if (right_) WriteTitle(*right_, comments, "\" SVD: right matrix, input=" + tail);
    if (singular_) WriteTitle(*singular_, comments, "\" SVD: eigenvalues matrix, input=" + tail);
  }

  // The vectors with their row labels when the data had them, and the "Dim" labels.
  static void WriteVectors(rtl::TextWriter& f, const Rect_mx& vectors, int labelCode) {
    const int rowCode = labelCode != lcNone ? lcBlock : lcNone;
    GuardMatrixWrite([&] {
      WriteMatrixHeader(f, mtRectangular, vectors.rows(), vectors.cols(), 0, 0, Config().fileFormat, rowCode, lcBlock);
      if (rowCode == lcBlock) WriteLabels(*vectors.FrLabels, f);
      WriteLabels(*vectors.FcLabels, f);
      Write(vectors, f, true, Config().fileFormat);
    });
  }

  static void WriteSingularValues(rtl::TextWriter& f, const std::vector<double>& values) {
    const auto n = static_cast<std::int32_t>(values.size());
    Label_mx labels(n);
    labels.SetDefaultLabels("Dim");
    vect_mx w(n);
    for (std::int32_t i = 1; i <= n; ++i) w.Put(i, values[static_cast<std::size_t>(i - 1)]);
    GuardMatrixWrite([&] {
      WriteMatrixHeader(f, mtDiagonal, n, n, 0, 0, Config().fileFormat, lcBlock, lcNone);
      WriteLabels(labels, f);
      Write(w, f, Config().fileFormat);
    });
  }

  TSvdRun& run_;
  rtl::TextReader& input_;
  rtl::TextWriter* left_;
  rtl::TextWriter* right_;
  rtl::TextWriter* singular_;
  TMatrixHeader header_;
  std::shared_ptr<Label_mx> rowLabels_;
  std::shared_ptr<Label_mx> colLabels_;
};

}  // namespace

void SvdDescribe(TModuleRec& module) {
  DescribeAs(module, "svd", "Singular value decomposition", 521, SvdRun, kParams, kButtons, SvdRelease);
}

void SvdRun(std::span<const TParamRec> params) {
  Progress("", 0);
  KeptLeft().Start();
  KeptRight().Start();
  TSvdRun run;
  TakeValues(run, params);
  ListRunValues(run);
  if (!run.Open()) return;
  ForEachDataSet(*run.in, [&] { TSvdDataSet(run).Run(); });
  FinishRun("", KeptLeft().Dimensions(), 2, {&run.out, &run.rightOut, &run.valueOut});
}

void SvdPlot2DLeft() { KeptLeft().Plot2D(1, "SVDMxPlotF1"); }
void SvdPlot2DRight() { KeptRight().Plot2D(2, "SVDMxPlotF2"); }
void SvdPlot3DLeft() { KeptLeft().Plot3D(3, "SVDMod3DF3"); }
void SvdPlot3DRight() { KeptRight().Plot3D(4, "SVDMod3DF4"); }
void SvdClose2DLeft() { KeptLeft().ClosePlot(1); }
void SvdClose2DRight() { KeptRight().ClosePlot(2); }
void SvdClose3DLeft() { KeptLeft().ClosePlot(3); }
void SvdClose3DRight() { KeptRight().ClosePlot(4); }

void SvdRelease() {
  KeptLeft().Release();
  KeptRight().Release();
}

std::shared_ptr<const TRectMxList> SvdLeftResults() { return KeptLeft().Results(); }
std::shared_ptr<const TRectMxList> SvdRightResults() { return KeptRight().Results(); }
