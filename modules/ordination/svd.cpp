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

const std::array<TParamRec, vpCount>& SvdTable() {
  static const std::array<TParamRec, vpCount> table = {{
      {.keyword = "O", .prompt = "Input file", .hint = "Name of input file", .required = true, .type = ptInFile},
      {.keyword = "N",
       .prompt = "Number of dimensions",
       .hint = "Number of dimensions",
       .type = ptInteger,
       .integer = 3,
       .min = "1",
       .max = "99",
       .mask = "##"},
      {.keyword = "L", .prompt = "Output left file", .hint = "Name of output left file", .type = ptOutFile},
      {.keyword = "R", .prompt = "Output right file", .hint = "Name of output right file", .type = ptOutFile},
      {.keyword = "VAL", .prompt = "Output singular values", .hint = "Name for singular values", .type = ptOutFile},
      ScalingParam("SL", "Scale for left vectors", "Scale for left vectors"),
      ScalingParam("SR", "Scale for right vectors", "Scale for right vectors"),
      {.keyword = "MI",
       .prompt = "Maximum iterations",
       .hint = "Maximum iterations",
       .type = ptInteger,
       .integer = 40,
       .min = "1",
       .max = "999",
       .mask = "###"},
  }};
  return table;
}

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

// The working values of one run.
struct TSvdRunValues {
  std::string input;
  std::string leftFile;
  std::string rightFile;
  std::string valueFile;
  std::int32_t dimensions = 3;  // reduced to the columns of a smaller matrix
  TScalingItem leftScaling = TScalingItem::SqrtLambda;
  TScalingItem rightScaling = TScalingItem::SqrtLambda;
  std::int32_t maxIterations = 40;

  std::string LeftKeyword() const { return std::string(ScalingKeyword(leftScaling)); }
  std::string RightKeyword() const { return std::string(ScalingKeyword(rightScaling)); }
};

TSvdRunValues RunValues(std::span<const TParamRec> params) {
  if (params.size() != vpCount) throw E_Morvapc_Internal("SVD needs its eight parameters");
  return {.input = params[vpInput].fileName,
          .leftFile = params[vpLeft].fileName,
          .rightFile = params[vpRight].fileName,
          .valueFile = params[vpValues].fileName,
          .dimensions = params[vpDimensions].integer,
          .leftScaling = ScalingItemAt(params[vpLeftScaling].index),
          .rightScaling = ScalingItemAt(params[vpRightScaling].index),
          .maxIterations = params[vpIterations].integer};
}

void ListRunValues(const TSvdRunValues& values) {
  ListInputParameters(values.input);
  ListingWriteLine(rtl::Format("Number of dimensions: %d", values.dimensions));
  if (!values.leftFile.empty()) {
    ListingWriteLine("Save left matrix in output file: " + values.leftFile);
    ListingWriteLine("Scaling: " + values.LeftKeyword());
  }
  if (!values.rightFile.empty()) {
    ListingWriteLine("Save right matrix in output file: " + values.rightFile);
    ListingWriteLine("Scaling: " + values.RightKeyword());
  }
  ListOutputFile(values.valueFile, "Save singular values in output file: ");
  ListingWriteLine(rtl::Format("Number of iterations: %10d", values.maxIterations));
  ListingWriteLine("");
}

// The output files of a run.
struct TSvdFiles {
  rtl::TextWriter* left = nullptr;
  rtl::TextWriter* right = nullptr;
  rtl::TextWriter* values = nullptr;
};

// One data set: a data matrix and its decomposition.
class TSvdDataSet {
 public:
  TSvdDataSet(TSvdRunValues& values, rtl::TextReader& input, const TSvdFiles& files)
      : values_(values), input_(input), files_(files) {}

  void Run() {
    std::unique_ptr<rtl::StringList> comments;
    ReadMatrixHeader(input_, comments, header_, true, {mtRectangular});
    RefuseMissingValues(header_);
    WriteTitles(comments.get());
    const std::int32_t r = header_.rows, c = header_.cols;
    const bool transposed = SvdTransposes(r, c);
    if (transposed) ListingWriteLine("Matrix will be transposed for computation.");
    ReduceDimensions(values_.dimensions, transposed ? r : c);
    const std::int32_t k = values_.dimensions;

    rowLabels_ = std::make_shared<Label_mx>(header_.rowLabelCode != lcNone ? r : 0);
    colLabels_ = std::make_shared<Label_mx>(header_.colLabelCode != lcNone ? c : 0);
    auto a = std::make_unique<Rect_mx>(transposed ? c : r, transposed ? r : c);
    const TLabelRead rows{rowLabels_.get(), header_.rowLabelCode, true};
    const TLabelRead cols{colLabels_.get(), header_.colLabelCode, true};
    Read(*a, input_, !transposed, transposed ? cols : rows, transposed ? rows : cols);

    const TSvdResult result = DecomposeData(std::move(a), transposed,
                                            {.k = k,
                                             .rowScaling = values_.leftScaling,
                                             .columnScaling = values_.rightScaling,
                                             .maxIterations = values_.maxIterations});
    ListSingularValues(result.values, k, Config().listingFormat);
    const Rect_mx& left = KeptLeft().Add(LabelledColumns(*result.rowVectors, k, rowLabels_, "Dim"));
    const Rect_mx& right = KeptRight().Add(LabelledColumns(*result.columnVectors, k, colLabels_, "Dim"));

    if (files_.left) {
      WriteVectors(*files_.left, left, header_.rowLabelCode);
      ListingWriteLine("Left vectors stored on disk in file " + values_.leftFile);
      ListingWriteLine("Scale for left matrix: " + values_.LeftKeyword());
    }
    if (files_.right) {
      WriteVectors(*files_.right, right, header_.colLabelCode);
      ListingWriteLine("Right vectors stored on disk in file " + values_.rightFile);
      ListingWriteLine("Scale for right matrix: " + values_.RightKeyword());
    }
    if (files_.values) {
      WriteSingularValues(*files_.values, result.values);
      ListingWriteLine("Singular values stored on disk in file " + values_.valueFile);
    }
  }

 private:
  void WriteTitles(const rtl::StringList* comments) {
    const std::string tail = values_.input + ", maxiter=" + std::to_string(values_.maxIterations) +
                             " scales=" + values_.LeftKeyword() + "+" + values_.RightKeyword() +
                             ", k=" + std::to_string(values_.dimensions);
    if (files_.left) WriteTitle(*files_.left, comments, "\" SVD: left matrix, input=" + tail);
    if (files_.right) WriteTitle(*files_.right, comments, "\" SVD: right matrix, input=" + tail);
    if (files_.values) WriteTitle(*files_.values, comments, "\" SVD: eigenvalues matrix, input=" + tail);
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

  TSvdRunValues& values_;
  rtl::TextReader& input_;
  const TSvdFiles& files_;
  TMatrixHeader header_;
  std::shared_ptr<Label_mx> rowLabels_;
  std::shared_ptr<Label_mx> colLabels_;
};

}  // namespace

void SvdDescribe(TModuleRec& module) {
  module.name = "svd";
  module.title = "Singular value decomposition";
  module.run = SvdRun;
  module.helpContext = 521;
  module.params = SvdTable();
  module.buttons = kButtons;
  module.release = SvdRelease;
}

void SvdRun(std::span<const TParamRec> params) {
  Progress("", 0);
  KeptLeft().Start();
  KeptRight().Start();
  TSvdRunValues values = RunValues(params);
  ListRunValues(values);

  TInputMatrixFile input;
  if (!OpenInputMatrixFile(input, values.input, "input")) return;
  TOutputMatrixFile left, right, singular;
  if (!values.leftFile.empty() && !OpenOutputMatrixFile(left, values.leftFile, "left matrix")) return;
  if (!values.rightFile.empty() && !OpenOutputMatrixFile(right, values.rightFile, "right matrix")) return;
  if (!values.valueFile.empty() && !OpenOutputMatrixFile(singular, values.valueFile, "singular values matrix")) return;
  const TSvdFiles files{left.get(), right.get(), singular.get()};
  ForEachDataSet(*input, [&] { TSvdDataSet(values, *input, files).Run(); });
  Progress("", 100);
  EnableDimensionButtons(KeptLeft().Dimensions(), 2);
  for (TOutputMatrixFile* f : {&left, &right, &singular})
    if (*f) CloseOutputMatrixFile(*f);
}

void SvdPlot2DLeft() {}
void SvdPlot2DRight() {}
void SvdPlot3DLeft() {}
void SvdPlot3DRight() {}
void SvdClose2DLeft() {}
void SvdClose2DRight() {}
void SvdClose3DLeft() {}
void SvdClose3DRight() {}

void SvdRelease() {
  SvdClose2DLeft();
  SvdClose2DRight();
  SvdClose3DLeft();
  SvdClose3DRight();
  KeptLeft().Release();
  KeptRight().Release();
}

std::shared_ptr<const TRectMxList> SvdLeftResults() { return KeptLeft().Results(); }
std::shared_ptr<const TRectMxList> SvdRightResults() { return KeptRight().Results(); }
