#include "modules/ordination/mdscale.h"

#include <array>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "modules/ordination/mdscaleIterate.h"
#include "modules/ordination/mdscalePairs.h"
#include "modules/ordination/ordinationRun.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"
#include "rtl/Random.h"
#include "shell/Config.h"
#include "shell/ModuleRun.h"
#include "shell/Progress.h"

namespace {

enum TMdscaleParam {
  mpInput,
  mpDimensions,
  mpInitial,
  mpByRows,
  mpFinal,
  mpStress,
  mpRegression,
  mpMaxIterations,
  mpMinStress,
  mpMaxRatio,
  mpMinGradient,
  mpDhat,
  mpDconfig,
  mpCount
};

// The stress coefficients and regressions in choice order.
struct TStressFacts {
  std::string_view name;
  TMdscaleStress coefficient;
};
constexpr std::array<TStressFacts, 2> kStressCoefficients = {
    {{"STRESS1", TMdscaleStress::Stress1}, {"STRESS2", TMdscaleStress::Stress2}}};

struct TRegressionFacts {
  std::string_view name;
  TMdscaleRegression regression;
};
constexpr std::array<TRegressionFacts, 2> kRegressions = {
    {{"LINEAR", TMdscaleRegression::Linear}, {"MONO", TMdscaleRegression::Mono}}};

const std::array<TParamRec, mpCount> kParams = {
    InFileParam("O", "Input file", "Name of input file", prRequired),
    IntegerParam("N", "Number of dimensions", "Number of dimensions", 4, "1", "99", "##"),
    InFileParam("I", "Input initial matrix", "Name of input initial file"),
    CheckParam("D", "Vectors are rows?", "Check if by rows", true),
    OutFileParam("R", "Output final file", "Name of output final file"),
    ChoiceParam("SC", "Stress coeff.", "Stress coeff. option", ChoiceItems(kStressCoefficients), 0),
    ChoiceParam("RT", "Regression type", "Regression type", ChoiceItems(kRegressions), 1),  // MONO
    IntegerParam("MI", "Maximum iterations", "Maximum number of iterations", 4, "1", "999", "###"),
    RealParam("MS", "Minimum stress", "Minimum stress", 0.0, "0.0", "1.0", "#.########"),
    RealParam("MR", "Maximum stress ratio", "Maximum stress ratio", 0.0, "-1e20", "1e20", "###.########"),
    RealParam("MG", "Minimum gradient", "Minimum gradient", 0.0, "0.0", "1e20", "#.########"),
    OutFileParam("DH", "Output dhat file", "Name of output dhat file"),
    OutFileParam("DC", "Output config. d file", "Name of output config. d file"),
};

const std::array<TbuttonsRec, 2> kButtons = {{
    {"2D plot of \nordination", "2DPlot", MdscalePlot2D},
    {"3D plot of \nordination", "3DPlot", MdscalePlot3D},
}};

// The sizes the module takes: beyond kMaxPoints the pairs, n (n - 1) / 2 of
// them, would not fit the 16-bit pair numbers the sort of the monotone fit
// works on (362 points give 65341 pairs).
constexpr std::int32_t kMinPoints = 5;
constexpr std::int32_t kMaxPoints = 362;
static_assert(std::int64_t{kMaxPoints} * (kMaxPoints - 1) / 2 <= kMaxPairNumber);
static_assert(std::int64_t{kMaxPoints + 1} * kMaxPoints / 2 > kMaxPairNumber);

TKeptMatrices& Kept() {
  static TKeptMatrices kept;
  return kept;
}

// The values and files of one run: the final configuration is its output;
// the initial configuration an input, the fitted distances and the
// configuration's distances outputs of their own.
struct TMdscaleRun : TRunFiles {
  std::int32_t k = 4;
  std::string initialFile{};
  bool byRows = true;
  TStressFacts coefficient = kStressCoefficients[0];
  TRegressionFacts regression = kRegressions[1];
  TMdscaleSettings settings{};
  std::string dhatFile{};
  std::string dconfigFile{};
  TInputMatrixFile initialIn{};
  TOutputMatrixFile dhatOut{};
  TOutputMatrixFile dconfigOut{};

  bool Open() {
    return OpenInput() && (initialFile.empty() || OpenInputMatrixFile(initialIn, initialFile, "init")) &&
           OpenOutput("final") && (dhatFile.empty() || OpenOutputMatrixFile(dhatOut, dhatFile, "dhat")) &&
           (dconfigFile.empty() || OpenOutputMatrixFile(dconfigOut, dconfigFile, "dconfig"));
  }
};

void TakeValues(TMdscaleRun& run, std::span<const TParamRec> params) {
  if (params.size() != mpCount) throw E_Morvapc_Internal("MDSCALE needs its thirteen parameters");
  run.input = params[mpInput].fileName;
  run.k = params[mpDimensions].integer;
  run.initialFile = params[mpInitial].fileName;
  run.byRows = params[mpByRows].check;
  run.output = params[mpFinal].fileName;
  run.coefficient = ChosenFacts(kStressCoefficients, params[mpStress]);
  run.regression = ChosenFacts(kRegressions, params[mpRegression]);
  run.settings = {.regression = run.regression.regression,
                  .coefficient = run.coefficient.coefficient,
                  .coefficientName = run.coefficient.name,
                  .maxIterations = params[mpMaxIterations].integer,
                  .minStress = params[mpMinStress].real,
                  .maxStressRatio = params[mpMaxRatio].real,
                  .minGradient = params[mpMinGradient].real};
  run.dhatFile = params[mpDhat].fileName;
  run.dconfigFile = params[mpDconfig].fileName;
  if (run.k < 1 || run.k > 99) throw E_Morvapc_Internal("Number of dimensions out of range: " + rtl::IntToStr(run.k));
}

void ListNonZero(const char* pattern, double value) {
  if (value != 0) ListingWriteLine(rtl::Format(pattern, value));
}

void ListRunValues(const TMdscaleRun& run) {
  ListInputParameters(run.input);
  ListingWriteLine(rtl::Format("Number of dimensions: %d", run.k));
  ListOutputFile(run.initialFile, "Read initial config. from file: ");
  ListingWriteLine("Direction of vectors: " + std::string(DirectionWord(run.byRows)));
  ListOutputFile(run.output, "Save final results in output file: ");
  ListingWriteLine("Stress coefficient: " + std::string(run.coefficient.name));
  ListingWriteLine("Regression type: " + std::string(run.regression.name));
  ListingWriteLine(rtl::Format("Maximum iterations: %d", run.settings.maxIterations));
  ListNonZero("Minimum stress: %10.5f", run.settings.minStress);
  ListNonZero("Maximum stress ratio: %10.5f", run.settings.maxStressRatio);
  ListNonZero("Minimum gradient: %10.5f", run.settings.minGradient);
  ListOutputFile(run.dhatFile, "Save dhat matrix in output file: ");
  ListOutputFile(run.dconfigFile, "Save d config. matrix in output file: ");
  ListingWriteLine("");
}

// A uniform value in (0, 1): a draw of exactly 0 is drawn again.
double PositiveUniform() {
  double u = rtl::Random();
  while (u == 0) u = rtl::Random();
  return u;
}

// One data set: a dissimilarity or similarity matrix, scaled.
class TMdscaleDataSet {
 public:
  explicit TMdscaleDataSet(TMdscaleRun& run) : run_(run), input_(*run.in) {}

  void Run() {
    std::unique_ptr<rtl::StringList> comments;
    ReadMatrixHeader(input_, comments, header_, true, {mtDissimilarity, mtSimilarity});
    CheckMatrixSize(n(), kMaxPoints);
    if (n() < kMinPoints) throw E_Morvapc("It does not much sense to use MDSCALE  on so few points");
    // n points span at most n - 1 dimensions.
    if (k() >= n()) {
      throw E_Morvapc(rtl::Format("Number of dimensions (%d) must be less than the number of points (%d)", k(), n()));
    }
    WriteTitles(comments.get());
    pointLabels_ = std::make_shared<Label_mx>(HasLabels() ? n() : 0);
    if (HasLabels()) ReadLabels(*pointLabels_, input_);
    ListingWriteLine("Regression method: " + std::string(run_.regression.name));
    ListingWriteLine("Stress coefficient: " + std::string(run_.coefficient.name));

    TMdscalePairList list = ReadPairList(input_, header_);
    ListingWriteLine(
        rtl::Format("A total of %d elements in input matrix.", static_cast<std::int32_t>(PairCount(list))));
    std::unique_ptr<Rect_mx> x = StartingConfiguration();
    if (run_.settings.regression == TMdscaleRegression::Mono) SortPairsByDissimilarity(list, n());

    std::vector<double> d(PairCount(list));
    std::vector<double> dhat(PairCount(list));
    ListingWriteLine("");
    MdscaleIterate(*x, list.pairs, d, dhat, list.delta, run_.settings);

    x->FrLabels = pointLabels_;
    x->FcLabels = DimensionLabels();
    const Rect_mx& kept = Kept().Add(std::move(x));
    WriteFinal(kept);
    WriteDistances(run_.dhatOut.get(), list.pairs, dhat, "Matrix of regression distances (dhat) stored in ",
                   run_.dhatFile);
    WriteDistances(run_.dconfigOut.get(), list.pairs, d, "Matrix of distances in configuration space stored in ",
                   run_.dconfigFile);
  }

 private:
  std::int32_t n() const { return header_.rows; }
  std::int32_t k() const { return run_.k; }
  bool HasLabels() const { return header_.rowLabelCode != lcNone; }
  static std::size_t PairCount(const TMdscalePairList& list) { return list.pairs.size(); }

  void WriteTitles(const rtl::StringList* comments) {
    const std::string describe = ", input=" + run_.input + ", init=" + run_.initialFile +
                                 ", dir=" + std::string(DirectionWord(run_.byRows)) + ", k=" + rtl::IntToStr(k()) +
                                 " " + std::string(run_.coefficient.name);
    const std::string start = "\" MDSCALE: " + std::string(run_.regression.name);
    if (run_.out) WriteTitle(*run_.out, comments, start + " Final config" + describe);
    if (run_.dhatOut) WriteTitle(*run_.dhatOut, nullptr, start + " Dhat" + describe);
    if (run_.dconfigOut) WriteTitle(*run_.dconfigOut, nullptr, start + " Dconfig." + describe);
  }

  std::unique_ptr<Rect_mx> StartingConfiguration() {
    if (!run_.initialIn) {
      auto x = RandomConfiguration(n(), k());
      ListingWriteLine("Random initial configuration created.");
      return x;
    }
    return ReadInitialConfiguration(*run_.initialIn);
  }

  // The next matrix of the initial file: its first k dimensions, and 0.5 - U
  // for those it lacks. The whole body is read, so the next data set finds
  // the next header.
  std::unique_ptr<Rect_mx> ReadInitialConfiguration(rtl::TextReader& f) {
    ListingWriteLine("Initial configuration matrix:");
    std::unique_ptr<rtl::StringList> comments;
    TMatrixHeader header;
    ReadMatrixHeader(f, comments, header, true, {mtRectangular});
    const bool dimensionsAreRows = run_.byRows;
    ListingWriteLine(dimensionsAreRows ? "Rows of configuration matrix correspond to the dimensions"
                                       : "Columns of configuration matrix correspond to the dimensions");
    const std::int32_t points = dimensionsAreRows ? header.cols : header.rows;
    const std::int32_t m = dimensionsAreRows ? header.rows : header.cols;
    if (points != n()) {
      throw E_Morvapc(std::string(dimensionsAreRows ? "Number of columns (" : "Number of rows (") +
                      rtl::IntToStr(points) + ") in initial configuration " +
                      "matrix doesn't match the number of points (" + rtl::IntToStr(n()) + ") in data");
    }
    auto x = std::make_unique<Rect_mx>(n(), k());
    for (std::int32_t a = m + 1; a <= k(); ++a)
      for (std::int32_t i = 1; i <= n(); ++i) x->putxij(i, a, 0.5 - rtl::Random());
    // File dimension a goes to dimension a; those beyond k are read and dropped.
    Index_mx dimensions(m);
    for (std::int32_t a = 1; a <= m; ++a) dimensions.Put(a, a <= k() ? a : 0);
    const TLabelRead pointLabels{nullptr, dimensionsAreRows ? header.colLabelCode : header.rowLabelCode, false};
    const TLabelRead dimensionLabels{nullptr, dimensionsAreRows ? header.rowLabelCode : header.colLabelCode, false};
    Read(*x, f, !dimensionsAreRows, pointLabels, dimensionLabels, nullptr, &dimensions);
    return x;
  }

  std::shared_ptr<Label_mx> DimensionLabels() const {
    auto labels = std::make_shared<Label_mx>(k());
    for (std::int32_t a = 1; a <= k(); ++a) labels->PutLabel(a, DimensionLabel(a));
    return labels;
  }

  // Points as rows when vectors are rows, else dimensions as rows.
  void WriteFinal(const Rect_mx& x) {
    rtl::TextWriter* f = run_.out.get();
    if (!f) return;
    const std::string& format = Config().fileFormat;
    GuardMatrixWrite([&] {
      if (run_.byRows) {
        WriteMatrixHeader(*f, mtRectangular, n(), k(), 0, 0, format, header_.rowLabelCode, lcBlock);
        WriteLabels(*x.FrLabels, *f);
        WriteLabels(*x.FcLabels, *f);
      } else {
        WriteMatrixHeader(*f, mtRectangular, k(), n(), 0, 0, format, lcBlock, header_.rowLabelCode);
        WriteLabels(*x.FcLabels, *f);
        WriteLabels(*x.FrLabels, *f);
      }
      Write(x, *f, run_.byRows, format);
    });
    ListingWriteLine("Final configuration matrix stored in " + run_.output);
  }

  // A symmetric matrix of the pairs' values; the cells of absent pairs hold
  // the input's missing value, which the header declares.
  void WriteDistances(rtl::TextWriter* f, const std::vector<TMdscalePair>& pairs, const std::vector<double>& values,
                      std::string_view stored, const std::string& fileName) {
    if (!f) return;
    Sym_mx matrix(mtDissimilarity, n(), header_.missingCode, header_.missingValue);
    PairsToSymmetric(matrix, pairs, values);
    const std::string& format = Config().fileFormat;
    GuardMatrixWrite([&] {
      WriteMatrixHeader(*f, mtDissimilarity, n(), n(), header_.missingCode, header_.missingValue, format,
                        header_.rowLabelCode, lcNone);
      WriteLabels(*pointLabels_, *f);
      Write(matrix, *f, format);
    });
    ListingWriteLine(std::string(stored) + fileName);
  }

  TMdscaleRun& run_;
  rtl::TextReader& input_;
  TMatrixHeader header_;
  std::shared_ptr<Label_mx> pointLabels_;
};

// The driver over the data sets of the input.
void MdscaleCompute(TMdscaleRun& run) {
  ForEachDataSet(*run.in, [&] { TMdscaleDataSet(run).Run(); });
}

}  // namespace

void MdscaleDescribe(TModuleRec& module) {
  DescribeAs(module, "Mdscale", "Multidimensional scaling", 510, MdscaleRun, kParams, kButtons, MdscaleRelease);
}

void MdscaleRun(std::span<const TParamRec> params) {
  Progress("", 0);
  Kept().Start();
  TMdscaleRun run;
  TakeValues(run, params);
  ListRunValues(run);
  if (!run.Open()) return;
  MdscaleCompute(run);
  FinishRun("", run.k, 1, {&run.out, &run.dhatOut, &run.dconfigOut});
}

void MdscalePlot2D() { Kept().Plot2D(1, "MDScaleMxPlotF1"); }
void MdscaleClose2D() { Kept().ClosePlot(1); }
void MdscalePlot3D() { Kept().Plot3D(2, "MDScaleMod3DF2"); }
void MdscaleClose3D() { Kept().ClosePlot(2); }

void MdscaleRelease() { Kept().Release(); }

std::shared_ptr<const TRectMxList> MdscaleResults() { return Kept().Results(); }

std::unique_ptr<Rect_mx> RandomConfiguration(std::int32_t n, std::int32_t k) {
  auto x = std::make_unique<Rect_mx>(n, k);
  x->Fill(0);
  for (std::int32_t i = 1; i <= n; ++i) {
    x->putxij(i, (i - 1) % k + 1, 1.0 + static_cast<double>(i - 1) * k);
    for (std::int32_t a = 1; a <= k; ++a) {
      const double u = PositiveUniform();
      x->putxij(i, a, x->getxij(i, a) + std::log(u / (1 - u)));
    }
  }
  return x;
}

std::string DimensionLabel(std::int32_t a) {
  static constexpr std::array<std::string_view, 10> kTens = {"",  "X",  "XX",  "XXX",  "XL",
                                                             "L", "LX", "LXX", "LXXX", "XC"};
  static constexpr std::array<std::string_view, 10> kUnits = {"",  "I",  "II",  "III",  "IV",
                                                              "V", "VI", "VII", "VIII", "IX"};
  if (a < 1 || a > 99) throw E_Morvapc_Internal("Dimension out of range: " + rtl::IntToStr(a));
  return std::string(kTens[static_cast<std::size_t>(a / 10)]) + std::string(kUnits[static_cast<std::size_t>(a % 10)]);
}
