#include "modules/ordination/canpls.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "matrix/MatrixList.h"
#include "modules/ordination/canplsCompute.h"
#include "modules/ordination/canplsSets.h"
#include "modules/ordination/ordinationRun.h"
#include "rtl/Format.h"
#include "shell/Config.h"
#include "shell/ModuleRun.h"
#include "shell/Progress.h"

namespace {

enum TCanPlsParam {
  cpInput,
  cpSet1,
  cpMethod,
  cpDimensions,
  cpLeft,
  cpRight,
  cpValues,
  cpLeftCorr,
  cpRightCorr,
  cpW,
  cpResidual,
  cpCount
};

// The residual has a keyword of its own: under a second RC a batch command
// could not name it.
const std::array<TParamRec, cpCount> kParams = {
    InFileParam("O", "Input file", "Name of input file", prRequired),
    TextParam("S", "Variables in set 1", "Variables in set 1", std::string(18, ' ')),
    ChoiceParam("M", "Method", "Method of analyaia", {"CanCor", "PLS"}, 1),
    IntegerParam("K", "Number of dimensions", "Number of dimensions", 2, "1", "99", "##"),
    OutFileParam("L", "Left matrix", "Name of output left file"),
    OutFileParam("R", "Right matrix", "Name of output right file"),
    OutFileParam("VAL", "Singular values matrix", "Name of sing. values file"),
    OutFileParam("LC", "Left corr. matrix", "Name of left corr. file"),
    OutFileParam("RC", "Right corr. matrix", "Name of right corr. file"),
    OutFileParam("W", "W matrix", "Name of output W file"),
    OutFileParam("RES", "Residual matrix", "Name of output residual file"),
};

const std::array<TbuttonsRec, 4> kButtons = {{
    {"2D plot of \nleft vectors", "2DPlot", CanPlsPlot2DLeft},
    {"2D plot of \nright vectors", "2DPlot", CanPlsPlot2DRight},
    {"3D plot of \nleft vectors", "3DPlot", CanPlsPlot3DLeft},
    {"3D plot of \nright vectors", "3DPlot", CanPlsPlot3DRight},
}};

TKeptMatrices& KeptLeft() {
  static TKeptMatrices kept;
  return kept;
}
TKeptMatrices& KeptRight() {
  static TKeptMatrices kept;
  return kept;
}

// The outputs in the order of the table, listing and writing.
enum TCanPlsOutput { coLeft, coRight, coValues, coLeftCorr, coRightCorr, coW, coResidual, coCount };

// The values and files of one run.
struct TCanPlsRun {
  std::string input{};
  std::string set1{};  // normalised by the first data set
  bool pls = true;
  std::int32_t k = 2;  // adjusted to the sets of a data set, for the rest of the run
  TInputMatrixFile in{};
  std::array<TOptionalOutput, coCount> outputs{{
      {.wording = "Save left results in output file: ", .role = "left matrix"},
      {.wording = "Save right results in output file: ", .role = "right matrix"},
      {.wording = "Save eigenvalue results in output file: ", .role = "eigenvalue matrix"},
      {.wording = "Save left correlation results in output file: ", .role = "left correlation matrix"},
      {.wording = "Save right correlation results in output file: ", .role = "right correlation matrix"},
      {.wording = "Save W results in output file: ", .role = "W matrix"},
      {.wording = "Save residual matrix results in output file: ", .role = "residual matrix"},
  }};

  TOptionalOutput& Out(TCanPlsOutput o) { return outputs[o]; }
  bool Open() { return OpenInputMatrixFile(in, input, "input") && OpenOutputs(outputs); }
};

void TakeValues(TCanPlsRun& run, std::span<const TParamRec> params) {
  if (params.size() != cpCount) throw E_Morvapc_Internal("CANPLS needs its eleven parameters");
  run.input = params[cpInput].fileName;
  run.set1 = params[cpSet1].text;
  run.pls = params[cpMethod].ChoiceText() == "PLS";
  run.k = params[cpDimensions].integer;
  for (std::size_t o = 0; o < coCount; ++o) run.outputs[o].name = params[cpLeft + o].fileName;
}

void ListRunValues(const TCanPlsRun& run) {
  ListInputParameters(run.input);
  ListingWriteLine(rtl::Format("Number of dimensions = %d", run.k));
  ListOutputs(run.outputs);
  ListingWriteLine("");
}

std::string ValuePattern() { return "%" + Config().listingFormat; }

// The table of the pairs: number, value, its square, its percent of the total
// and the cumulative percent, which shows the overflow text once the squares
// pass the total. A total of 0 (nothing to share out) gives percentages of 0.
void ListCrossSetTable(std::string_view value, std::string_view square, const std::vector<double>& values,
                       const std::vector<double>& squares, long double total, std::string_view overflow,
                       std::int32_t k) {
  const std::string f = ValuePattern();
  const std::int32_t w = ValueWidth(Config().listingFormat);
  const auto percent = [total](long double x) {
    return static_cast<double>(total != 0.0L ? 100.0L * x / total : 0.0L);
  };
  ListingWriteLine("");
  ListingWriteLine("Cross set analysis:");
  ListingWriteLine("");
  ListingWriteLine(rtl::Format("%3s %*s %*s %*s %*s", "i", w, std::string(value), w, std::string(square), w, "Percent",
                               w, "Cumulative"));
  long double c = 0.0L;
  for (std::int32_t a = 1; a <= k; ++a) {
    const std::size_t i = static_cast<std::size_t>(a - 1);
    c += squares[i];
    const std::string start =
        rtl::Format("%3d " + f + " " + f + " " + f + " ", a, values[i], squares[i], percent(squares[i]));
    ListingWriteLine(start + (c > total ? rtl::Format("%*s", w, std::string(overflow)) : rtl::Format(f, percent(c))));
  }
  ListingWriteLine("");
}

// One data set: the matrix, its two sets and the chosen analysis.
class TCanPlsDataSet {
 public:
  explicit TCanPlsDataSet(TCanPlsRun& run) : run_(run), input_(*run.in) {}

  void Run() {
    std::unique_ptr<rtl::StringList> comments;
    ReadMatrixHeader(input_, comments, header_, true, {mtSimilarity});
    if (header_.missingCode != 0) throw E_Morvapc("Sorry, no missing data allowed");
    RefuseEmptyMatrix(header_);
    // The matrix first: a size it cannot have is refused before the labels
    // and the sets of variables take memory in proportion to it.
    z_ = std::make_unique<Sym_mx>(header_.type, p());
    fileLabels_ = std::make_shared<Label_mx>(Labelled() ? p() : 0);
    if (Labelled()) ReadLabels(*fileLabels_, input_);
    sets_ = CanPlsSetUp(p(), run_.set1);
    AdjustDimensions();
    MakeLabels();
    WriteHeaders(comments.get());

    ::Read(*z_, input_);
    ListSets();
    r12_ = CanPlsBlock(*z_, sets_.set1, sets_.set2);
    if (run_.pls) {
      ListingWriteLine("Two-block partial least-squares analysis");
      Pls();
    } else {
      ListingWriteLine("Canonical correlation analysis");
      CanCor();
    }
  }

 private:
  std::int32_t p() const { return header_.rows; }
  std::int32_t k() const { return run_.k; }
  std::int32_t m() const { return std::min(sets_.size1(), sets_.size2()); }
  bool Labelled() const { return header_.rowLabelCode == lcBlock; }
  int RowCode() const { return Labelled() ? lcBlock : lcNone; }
  const std::string& FileFormat() const { return Config().fileFormat; }
  TOptionalOutput& Out(TCanPlsOutput o) { return run_.Out(o); }

  void AdjustDimensions() {
    if (run_.k < 1) {
      run_.k = 1;
      ListingWriteLine(rtl::Format("Number of dimensions set to %d", run_.k));
    } else if (run_.k > m()) {
      run_.k = m();
      ListingWriteLine(rtl::Format("Number of dimensions reduced to %d", run_.k));
    }
  }

  // The labels of a set's members: their file labels, or their numbers.
  std::shared_ptr<Label_mx> SetLabels(const std::vector<std::int32_t>& members) const {
    auto labels = std::make_shared<Label_mx>(static_cast<std::int32_t>(members.size()));
    for (std::size_t i = 0; i < members.size(); ++i)
      labels->PutLabel(static_cast<std::int32_t>(i + 1), fileLabels_->GetLabel(members[i]));
    return labels;
  }

  void MakeLabels() {
    set1Labels_ = SetLabels(sets_.set1);
    set2Labels_ = SetLabels(sets_.set2);
    leftDimensions_ = std::make_shared<Label_mx>(k());
    leftDimensions_->SetDefaultLabels("");
    rightDimensions_ = std::make_shared<Label_mx>(k());
    leftDimensions_->CopyTo(*rightDimensions_);
  }

  // Each output's comments, title, header and labels.
  void WriteHeaders(const rtl::StringList* comments) {
    const std::string title = "\" CANPLS: input=" + run_.input + " sets:" + run_.set1;
    const auto write = [&](TCanPlsOutput o, int type, std::int32_t rows, std::int32_t cols, int colCode,
                           const Label_mx* rowLabels, const Label_mx* colLabels) {
      TOptionalOutput& f = Out(o);
      if (!f) return;
      WriteTitle(*f.file, comments, title);
      const int rowCode = type == mtDiagonal ? lcNone : RowCode();
      GuardMatrixWrite([&] {
        WriteMatrixHeader(*f.file, type, rows, cols, 0, 0, FileFormat(), rowCode, colCode);
        if (rowCode == lcBlock) WriteLabels(*rowLabels, *f.file);
        if (colLabels) WriteLabels(*colLabels, *f.file);
      });
    };
    write(coLeft, mtRectangular, sets_.size1(), k(), lcBlock, set1Labels_.get(), leftDimensions_.get());
    write(coRight, mtRectangular, sets_.size2(), k(), lcBlock, set2Labels_.get(), rightDimensions_.get());
    write(coValues, mtDiagonal, k(), k(), lcNone, nullptr, nullptr);
    write(coLeftCorr, mtRectangular, p(), k(), lcBlock, fileLabels_.get(), leftDimensions_.get());
    write(coRightCorr, mtRectangular, p(), k(), lcBlock, fileLabels_.get(), leftDimensions_.get());
    write(coW, mtRectangular, p(), 2 * k(), lcNone, fileLabels_.get(), nullptr);
    write(coResidual, header_.type, p(), p(), lcNone, fileLabels_.get(), nullptr);
  }

  void ListSets() const {
    ListingWriteLine("Set 1: " + CanPlsListSet(sets_.set1));
    ListingWriteLine(rtl::Format("Number of variables: %4d", sets_.size1()));
    ListingWriteLine("Set 2: " + CanPlsListSet(sets_.set2));
    ListingWriteLine(rtl::Format("Number of variables: %4d", sets_.size2()));
    ListingWriteLine(rtl::Format("Dimensions to be extracted: %4d", k()));
    ListingWriteLine("");
  }

  void ListCrossBlock() const {
    ListingWriteLine("");
    ListingWriteLine("Cross set correlations to be analyzed:");
    ListWithLabels(*r12_, *set1Labels_, *set2Labels_, Config().listingFormat);
  }

  // Writes a body with its listing line when the output was given.
  template <class Body>
  void Store(TCanPlsOutput o, const Body& body, std::string_view stored) {
    TOptionalOutput& f = Out(o);
    if (!f) return;
    GuardMatrixWrite([&] { ::Write(body, *f.file, FileFormat()); });
    ListingWriteLine(std::string(stored) + f.name);
  }

  void StoreMatrix(TCanPlsOutput o, const Rect_mx& body, std::string_view stored) {
    TOptionalOutput& f = Out(o);
    if (!f) return;
    GuardMatrixWrite([&] { ::Write(body, *f.file, true, FileFormat()); });
    ListingWriteLine(std::string(stored) + f.name);
  }

  // The first k vectors of a set, written and kept for the plots.
  void KeepVectors(TCanPlsOutput o, TKeptMatrices& kept, const Rect_mx& all, std::shared_ptr<Label_mx> rowLabels,
                   std::shared_ptr<Label_mx> dimensions, std::string_view stored) {
    std::unique_ptr<Rect_mx> vectors = LeadingColumns(all, k());
    vectors->FrLabels = std::move(rowLabels);
    vectors->FcLabels = std::move(dimensions);
    StoreMatrix(o, *vectors, stored);
    kept.Add(std::move(vectors));
  }

  void StoreValues(const std::vector<double>& values) {
    vect_mx v(k());
    for (std::int32_t a = 1; a <= k(); ++a) v.Put(a, values[static_cast<std::size_t>(a - 1)]);
    TOptionalOutput& f = Out(coValues);
    if (f) GuardMatrixWrite([&] { ::Write(v, *f.file, FileFormat()); });
  }

  void StoreW(const Rect_mx& w) { StoreMatrix(coW, w, "W matrix stored in file: "); }

  void StoreCorrelations(const TComponentCorrelations& r) {
    StoreMatrix(coLeftCorr, *r.left, "Left correlations stored in file: ");
    StoreMatrix(coRightCorr, *r.right, "Right correlations stored in file: ");
  }

  void StoreResidual(const Sym_mx& e) { Store(coResidual, e, "Residual of correlations stored in file: "); }

  void Pls() {
    if (k() > m()) throw E_Morvapc("Number of dimensions larger\nthan size of matrix");
    ListCrossBlock();
    Progress("setup SVD", 15);
    const TPlsDecomposition svd = CanPlsDecompose(*r12_);
    KeepVectors(coLeft, KeptLeft(), *svd.vectors.left, set1Labels_, leftDimensions_, "Left vectors stored in file: ");
    KeepVectors(coRight, KeptRight(), *svd.vectors.right, set2Labels_, rightDimensions_,
                "Right vectors stored in file: ");
    if (Out(coValues)) {
      StoreValues(svd.values);
      ListingWriteLine("Singular values stored in file: " + Out(coValues).name);
    }

    Progress("Singular values", 55);
    std::vector<double> squares;
    long double total = 0.0L;
    for (double s : svd.values) {
      squares.push_back(s * s);
      total += squares.back();
    }
    ListCrossSetTable("Covariance", "Covar^2", svd.values, squares, total, " > 100%", k());
    ListingWriteLine(rtl::Format("Sum of squared covariances = " + ValuePattern(), static_cast<double>(total)));

    Progress("compute W", 65);
    const std::unique_ptr<Rect_mx> w = CanPlsW(p(), sets_, *svd.vectors.left, *svd.vectors.right, k());
    StoreW(*w);
    Progress("covariance", 70);
    const TComponentCorrelations r = PlsCorrelations(*z_, *w, k());
    Progress("correlations", 85);
    ListingWriteLine("");
    ListingWriteLine("Correlations between left and right vectors");
    for (std::int32_t a = 1; a <= k(); ++a)
      ListingWriteLine(rtl::Format("%5d " + ValuePattern(), a, r.pairs[static_cast<std::size_t>(a - 1)]));
    StoreCorrelations(r);
    if (Out(coResidual)) {
      Progress("residuals", 95);
      StoreResidual(*PlsResidual(*z_, sets_, svd, k()));
    }
  }

  void CanCor() {
    Progress("starting", 5);
    Progress("setup", 10);
    ListCrossBlock();
    const std::unique_ptr<Rect_mx> r11 = CanPlsBlock(*z_, sets_.set1, sets_.set1);
    const std::unique_ptr<Rect_mx> r22 = CanPlsBlock(*z_, sets_.set2, sets_.set2);
    const std::unique_ptr<Rect_mx> r11Inverse = CanCorInverse(*r11);
    const std::unique_ptr<Rect_mx> r22Inverse = CanCorInverse(*r22);

    Progress("compute left vects", 15);
    const TCanonicalVectors left = CanPlsCanonicalVectors(*r11, *r12_, *r22Inverse);
    KeepVectors(coLeft, KeptLeft(), *left.vectors, set1Labels_, leftDimensions_, "Left vectors stored in file: ");
    Progress("compute right vects", 55);
    Rect_mx r21(r12_->cols(), r12_->rows());
    r12_->TransposeTo(r21);
    const TCanonicalVectors right = CanPlsCanonicalVectors(*r22, r21, *r11Inverse);
    CanCorAlignRight(*left.vectors, *r12_, *right.vectors, k());
    KeepVectors(coRight, KeptRight(), *right.vectors, set2Labels_, rightDimensions_, "Right vectors stored in file: ");

    Progress("other computations", 65);
    const std::vector<double> squares(left.values.begin(), left.values.begin() + m());
    std::vector<double> rho;
    long double total = 0.0L;
    for (double lambda : squares) {
      rho.push_back(std::sqrt(lambda));
      total += lambda;
    }
    ListCrossSetTable("Can. Corr.", "Corr. Sqd.", rho, squares, m(), " > 100% ", k());
    ListingWriteLine(rtl::Format("Sum of squared correlations = " + ValuePattern(), static_cast<double>(total)));
    ListingWriteLine(rtl::Format("Percentages are out of a total of %d", m()));
    if (Out(coValues)) {
      StoreValues(squares);
      ListingWriteLine("");
      ListingWriteLine("Singular values (sq. corr.) stored in file: " + Out(coValues).name);
    }

    Progress("other computations", 70);
    const std::unique_ptr<Rect_mx> w = CanPlsW(p(), sets_, *left.vectors, *right.vectors, k());
    StoreW(*w);
    Progress("other computations", 75);
    StoreCorrelations(CanCorCorrelations(*z_, *w, k()));
    if (Out(coResidual)) {
      Progress("residuals", 85);
      StoreResidual(*CanCorResidual(*z_, sets_, *left.vectors, *right.vectors, rho, k()));
    }
  }

  TCanPlsRun& run_;
  rtl::TextReader& input_;
  TMatrixHeader header_;
  TCanPlsSets sets_;
  std::shared_ptr<Label_mx> fileLabels_;
  std::shared_ptr<Label_mx> set1Labels_;
  std::shared_ptr<Label_mx> set2Labels_;
  std::shared_ptr<Label_mx> leftDimensions_;
  std::shared_ptr<Label_mx> rightDimensions_;
  std::unique_ptr<Sym_mx> z_;
  std::unique_ptr<Rect_mx> r12_;
};

}  // namespace

void CanPlsDescribe(TModuleRec& module) {
  DescribeAs(module, "canpls", "canonical corr. & PLS", 501, CanPlsRun, kParams, kButtons, CanPlsRelease);
}

void CanPlsRun(std::span<const TParamRec> params) {
  KeptLeft().Start();
  KeptRight().Start();
  Progress("", 0);
  TCanPlsRun run;
  TakeValues(run, params);
  ListRunValues(run);
  if (!run.Open()) return;
  ForEachDataSet(*run.in, [&] { TCanPlsDataSet(run).Run(); });
  FinishRun("", run.k, 2, {});
  CloseOutputs(run.outputs);
}

void CanPlsPlot2DLeft() { KeptLeft().Plot2D(1, "CanPlsMxPlotF1"); }
void CanPlsPlot2DRight() { KeptRight().Plot2D(2, "CanPlsMxPlotF2"); }
void CanPlsPlot3DLeft() { KeptLeft().Plot3D(3, "CanPlsMod3DF3"); }
void CanPlsPlot3DRight() { KeptRight().Plot3D(4, "CanPlsMod3DF4"); }
void CanPlsClose2DLeft() { KeptLeft().ClosePlot(1); }
void CanPlsClose2DRight() { KeptRight().ClosePlot(2); }
void CanPlsClose3DLeft() { KeptLeft().ClosePlot(3); }
void CanPlsClose3DRight() { KeptRight().ClosePlot(4); }

void CanPlsRelease() {
  KeptLeft().Release();
  KeptRight().Release();
}

std::shared_ptr<const TRectMxList> CanPlsLeftResults() { return KeptLeft().Results(); }
std::shared_ptr<const TRectMxList> CanPlsRightResults() { return KeptRight().Results(); }
