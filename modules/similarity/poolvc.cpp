#include "modules/similarity/poolvc.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "matrix/MatrixList.h"
#include "matrix/Matrixob.h"
#include "matrix/Matrixu.h"
#include "matrix/Probd.h"
#include "modules/similarity/simdata.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"
#include "shell/Config.h"
#include "shell/ModuleRun.h"
#include "shell/Progress.h"

namespace {

enum : std::int32_t { pDataFile, pVarsAreRows, pCovFile, pMeansFile, pPooledFile, pSizesFile, pTest };

const std::array<TParamRec, 7> kParams = {
    InFileParam("O", "Input data file", "Name of input data file"),
    CheckParam("D", "Variables are rows?", "Check if variables are rows", true),
    InFileParam("C", "Input cov. mxs. file", "Name of input cov. matrices"),
    OutFileParam("M", "Output group means file", "Name for output group means"),
    OutFileParam("V", "Output pooled cov. file", "Name for pooled cov. file"),
    OutFileParam("GS", "Output group n file", "Name for output group n file"),
    CheckParam("TH", "Test homogeneity?", "Test for homogeneity?", true),
};

constexpr std::string_view kNoMissing = "Sorry, no missing data allowed";
constexpr std::string_view kSmallGroup = "Each group sample size must be > number of variables. ";

// The working values and files of one run, and what the groups add up to.
struct TPoolvcRun {
  std::string input, covariances, means, pooled, sizes;  // file names; empty: not given
  bool varsAreRows = true;
  bool test = true;
  bool fromCovariances = false;  // mode 2: C given

  TInputMatrixFile in, vcv;
  TOutputMatrixFile meansOut, pooledOut, sizesOut;

  std::int32_t p = 0;  // variables
  std::int32_t g = 0;  // groups
  std::shared_ptr<Label_mx> labels = std::make_shared<Label_mx>(0);
  std::unique_ptr<TPoolvcPool> pool;
  std::vector<std::vector<double>> groupMeans;
  std::vector<std::int32_t> groupSizes;

  std::vector<TOutputMatrixFile*> Outputs() { return {&pooledOut, &meansOut, &sizesOut}; }
  bool Labelled() const { return labels->HasStorage(); }
};

std::int32_t Count(std::int64_t n) { return static_cast<std::int32_t>(n); }

// The product of the diagonal of s.
double ProductOfVariances(const Sym_mx& s) {
  double product = 1.0;
  for (std::int32_t j = 1; j <= s.n(); ++j) product *= s.getxij(j, j);
  return product;
}

// Below this share of its own variance, what a variable keeps apart from the
// others is rounding: its matrix counts as singular.
constexpr double kRelativePivot = 1e-12;

// A copy of s as a full matrix, each element divided by the root of the
// product of its two variances when scaled (a correlation matrix).
std::unique_ptr<Rect_mx> FullCopy(const Sym_mx& s, bool scaled) {
  const std::int32_t p = s.n();
  auto a = std::make_unique<Rect_mx>(p, p);
  for (std::int32_t i = 1; i <= p; ++i)
    for (std::int32_t j = 1; j <= p; ++j) {
      const double f = scaled ? std::sqrt(s.getxij(i, i)) * std::sqrt(s.getxij(j, j)) : 1.0;
      a->putxij(i, j, s.getxij(i, j) / f);
    }
  return a;
}

// True when a variance is not above 0, or when the Cholesky factorisation of
// the correlation matrix meets a pivot below kRelativePivot: the matrix is
// singular whatever its scale, even where rounding leaves its determinant a
// little above 0.
bool SingularToScale(const Sym_mx& s) {
  for (std::int32_t j = 1; j <= s.n(); ++j) {
    if (!(s.getxij(j, j) > 0.0)) return true;
  }
  double det = 0;
  return !MatInverse(*FullCopy(s, true), det, true, kRelativePivot);
}

// The determinant of a covariance matrix, from the Cholesky factorisation of
// the inverse's determinant-only mode. A matrix that is singular or not
// positive definite has no logarithm of its determinant: it is refused,
// naming whose matrix it is.
double Determinant(const Sym_mx& s, const std::string& whose) {
  double det = 0;
  if (SingularToScale(s) || !MatInverse(*FullCopy(s, false), det, true, 0.0) || !(det > 0.0)) {
    throw E_Morvapc(whose + " is singular or not positive definite");
  }
  return det;
}

// A group's determinant line in the listing.
void ListGroupDeterminant(const TPoolvcPool& pool, std::string_view determinantFormat) {
  ListingWriteLine(rtl::Format("Determinant: %" + std::string(determinantFormat) + " (product of variances: %e)",
                               pool.GroupDeterminant(), pool.GroupProduct()));
}

}  // namespace

TPoolvcPool::TPoolvcPool(std::int32_t p, bool test) : p_(p), test_(test), sum_(mtSimilarity, p) {}

std::vector<double> TPoolvcPool::AddData(const Rect_mx& x) {
  const std::int32_t n = x.rows();
  std::vector<double> means(static_cast<std::size_t>(p_), 0.0);
  for (std::int32_t j = 1; j <= p_; ++j) {
    long double sum = 0;
    for (std::int32_t r = 1; r <= n; ++r) sum += x.getxij(r, j);
    means[static_cast<std::size_t>(j - 1)] = static_cast<double>(sum / n);
  }
  Sym_mx covariance(mtSimilarity, test_ ? p_ : 1);
  for (std::int32_t j = 1; j <= p_; ++j) {
    const double mj = means[static_cast<std::size_t>(j - 1)];
    for (std::int32_t h = 1; h <= j; ++h) {
      const double mh = means[static_cast<std::size_t>(h - 1)];
      long double s = 0;
      for (std::int32_t r = 1; r <= n; ++r) s += (x.getxij(r, j) - mj) * (x.getxij(r, h) - mh);
      sum_.putxij(j, h, sum_.getxij(j, h) + static_cast<double>(s));
      if (test_) covariance.putxij(j, h, static_cast<double>(s / (n - 1)));
    }
  }
  ++g_;
  N_ += n;
  if (test_) AddToTest(covariance, n);
  return means;
}

void TPoolvcPool::AddCovariance(const Sym_mx& s, std::int32_t n) {
  ++g_;
  N_ += n;
  if (test_) AddToTest(s, n);
  for (std::int32_t j = 1; j <= p_; ++j)
    for (std::int32_t h = 1; h <= j; ++h) sum_.putxij(j, h, sum_.getxij(j, h) + (n - 1) * s.getxij(j, h));
}

void TPoolvcPool::AddToTest(const Sym_mx& covariance, std::int32_t n) {
  groupProduct_ = ProductOfVariances(covariance);
  groupDet_ = Determinant(covariance, rtl::Format("Covariance matrix of group %d", g_));
  A_ += static_cast<long double>(n) * std::log(static_cast<long double>(groupDet_));
  B_ += 1.0L / static_cast<long double>(n);
}

std::unique_ptr<Sym_mx> TPoolvcPool::Pooled() const {
  auto pooled = std::make_unique<Sym_mx>(mtSimilarity, p_);
  const double df = static_cast<double>(N_ - g_);
  for (std::int32_t j = 1; j <= p_; ++j)
    for (std::int32_t h = 1; h <= j; ++h) pooled->putxij(j, h, sum_.getxij(j, h) / df);
  return pooled;
}

TPoolvcPool::TTest TPoolvcPool::Homogeneity(const Sym_mx& pooled) const {
  TTest t{};
  t.product = ProductOfVariances(pooled);
  t.determinant = Determinant(pooled, "Pooled covariance matrix");
  const long double p = p_;
  const long double g = g_;
  const long double N = static_cast<long double>(N_);
  const long double c = 1.0L - (B_ - 1.0L / N) * (2.0L * p * p + 3.0L * p - 1.0L) / (6.0L * (p + 1.0L) * (g - 1.0L));
  t.x2 = static_cast<double>((N * std::log(static_cast<long double>(t.determinant)) - A_) * c);
  t.df = static_cast<double>((g - 1.0L) * p * (p + 1.0L) * 0.5L);
  t.prob = ChiSqProb(t.x2, t.df);
  return t;
}

namespace {

// The comment lines of the input's current matrix, to each given output.
void CopyComments(const rtl::StringList* comments, const std::vector<TOutputMatrixFile*>& outputs) {
  for (TOutputMatrixFile* f : outputs) {
    if (*f) GuardMatrixWrite([&] { WriteMatrixComments(**f, comments); });
  }
}

// The first group sets the variable count; a later one must have as many.
void TakeVariableCount(TPoolvcRun& run, std::int32_t p, std::string_view mismatch) {
  if (run.g == 1) {
    run.p = p;
    ListingWriteLine(rtl::Format("Number of variables = %d", p));
    run.pool = std::make_unique<TPoolvcPool>(p, run.test);
  } else if (p != run.p) {
    throw E_Morvapc(std::string(mismatch));
  }
}

// Mode 1: one rectangular data matrix per group, until the input is used up.
void PoolFromData(TPoolvcRun& run) {
  do {
    std::unique_ptr<rtl::StringList> comments;
    TMatrixHeader header;
    ReadMatrixHeader(*run.in, comments, header, true, {mtRectangular});
    if (header.missingCode != 0) throw E_Morvapc(std::string(kNoMissing));
    RefuseEmptyMatrix(header);
    ++run.g;
    CopyComments(comments.get(), run.Outputs());
    const std::int32_t n = run.varsAreRows ? header.cols : header.rows;
    TakeVariableCount(run, run.varsAreRows ? header.rows : header.cols,
                      run.varsAreRows ? "Numbers of variables not the same"
                                      : "Numbers of variables not the same as in previous matrix");
    ListingWriteLine(rtl::Format("Group: %d, n = %d", run.g, n));
    // The variables are read as the columns of the matrix, the observations
    // as its rows.
    TOtuData data = ReadOtuData(*run.in, header, run.varsAreRows);
    if (run.g == 1) run.labels = data.labels;
    if (run.test && n <= run.p) throw E_Morvapc(std::string(kSmallGroup));
    run.groupMeans.push_back(run.pool->AddData(*data.matrix));
    run.groupSizes.push_back(n);
    if (run.test) ListGroupDeterminant(*run.pool, "f");
  } while (!run.in->SeekEof());

  const std::string title = "\" POOLVC: input=" + run.input + ", ngroups=" + std::to_string(run.g);
  for (TOutputMatrixFile* f : run.Outputs()) {
    if (*f) GuardMatrixWrite([&] { (*f)->WriteLine(title); });
  }
}

// Mode 2's sample sizes, from a 1 x g or g x 1 data matrix or a diagonal one.
void ReadSampleSizes(TPoolvcRun& run) {
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader header;
  ReadMatrixHeader(*run.in, comments, header, true, {mtRectangular, mtDiagonal});
  if (header.missingCode != 0) throw E_Morvapc("No missing values allowed in sample size array");
  std::vector<double> values;
  if (header.type == mtRectangular) {
    if (header.rows != 1 && header.cols != 1) throw E_Morvapc("List of sample sizes should be a 1xn or nx1 matrix");
    Rect_mx sizes(header.rows, header.cols);
    Read(sizes, *run.in, true, {nullptr, header.rowLabelCode, false}, {nullptr, header.colLabelCode, false});
    for (std::int32_t i = 1; i <= header.rows; ++i)
      for (std::int32_t j = 1; j <= header.cols; ++j) values.push_back(sizes.getxij(i, j));
  } else {
    if (header.rowLabelCode != lcNone) SkipItems(*run.in, header.rows);
    vect_mx sizes(header.rows);
    Read(sizes, *run.in);
    for (std::int32_t i = 1; i <= header.rows; ++i) values.push_back(sizes.Get(i));
  }
  for (double value : values) {
    const std::int64_t n = rtl::Trunc(value);
    // A group of no observation has no covariance matrix to weigh.
    if (n < 1 || n > INT32_MAX) {
      throw E_Morvapc(rtl::Format("Sample size of group %d must be a whole number of at least 1",
                                  static_cast<std::int32_t>(run.groupSizes.size() + 1)));
    }
    run.groupSizes.push_back(static_cast<std::int32_t>(n));
  }
}

// Mode 2: the groups' covariance matrices, weighted by n_i - 1.
void PoolFromCovariances(TPoolvcRun& run) {
  ReadSampleSizes(run);
  const std::int32_t groups = static_cast<std::int32_t>(run.groupSizes.size());
  for (std::int32_t i = 1; i <= groups; ++i) {
    std::unique_ptr<rtl::StringList> comments;
    TMatrixHeader header;
    if (run.vcv->SeekEof()) {
      throw E_Morvapc(rtl::Format("Only %d covariance matrices in VCV file for %d groups", i - 1, groups));
    }
    ReadMatrixHeader(*run.vcv, comments, header, true, {mtSimilarity});
    if (header.missingCode != 0) throw E_Morvapc(std::string(kNoMissing));
    RefuseEmptyMatrix(header);
    run.g = i;
    CopyComments(comments.get(), {&run.pooledOut});
    TakeVariableCount(run, header.rows, "Numbers of variables not the same as in previous matrix");
    if (header.rowLabelCode != lcNone) {
      auto labels = std::make_shared<Label_mx>(header.rows);
      ReadLabels(*labels, *run.vcv);
      if (i == 1) run.labels = labels;
    }
    const std::int32_t n = run.groupSizes[static_cast<std::size_t>(i - 1)];
    ListingWriteLine(rtl::Format("Group: %2d, n = %5d", i, n));
    Sym_mx s(mtSimilarity, run.p);
    Read(s, *run.vcv);
    if (run.test && n <= run.p) throw E_Morvapc(std::string(kSmallGroup));
    run.pool->AddCovariance(s, n);
    if (run.test) ListGroupDeterminant(*run.pool, "e");
  }
  if (!run.vcv->SeekEof()) {
    throw E_Morvapc("Additional data in VCV file after reading " + std::to_string(groups) + " matrices");
  }
}

// The listing of the test of homogeneity of the group covariance matrices.
void ListHomogeneity(const TPoolvcPool::TTest& t) {
  ListingWriteLine("");
  ListingWriteLine(rtl::Format("Determinant of pooled VCV matrix:%e", t.determinant));
  ListingWriteLine(rtl::Format("  (product of variances:%e)", t.product));
  ListingWriteLine("");
  ListingWriteLine("Note: the ratio of the determinant to the product of the variances");
  ListingWriteLine("      is a measure of the degree of intercorrelation of the variables.");
  ListingWriteLine("      These statistics help one assess the reasons for any heterogeneity");
  ListingWriteLine("");
  ListingWriteLine("Test for homogeneity of variance-covariance matrices:");
  ListingWriteLine(rtl::Format("X2 =%15.4f df =%8.0f Prob = %8.4f", t.x2, t.df, t.prob));
  ListingWriteLine("");
  ListingWriteLine("Note: it is often useful to do a PCA on each group to look");
  ListingWriteLine("      for differences in the shapes of the ellipsoids and their");
  ListingWriteLine("      orientations.  One can also perform common principal comp.");
  ListingWriteLine("      analysis.");
  ListingWriteLine("");
}

// The group means, g rows by p variables.
std::unique_ptr<Rect_mx> MeansMatrix(const TPoolvcRun& run) {
  auto means = std::make_unique<Rect_mx>(run.g, run.p);
  for (std::int32_t i = 1; i <= run.g; ++i)
    for (std::int32_t j = 1; j <= run.p; ++j)
      means->putxij(i, j, run.groupMeans[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j - 1)]);
  return means;
}

void WriteOutputs(TPoolvcRun& run, const Sym_mx& pooled) {
  const std::string& format = Config().fileFormat;
  const int labelCode = run.Labelled() ? lcBlock : lcNone;
  if (!run.fromCovariances && run.meansOut) {
    GuardMatrixWrite([&] {
      WriteMatrixHeader(*run.meansOut, mtRectangular, run.g, run.p, 0, 0, format, lcNone, labelCode);
      if (run.Labelled()) WriteLabels(*run.labels, *run.meansOut);
    });
    Write(*MeansMatrix(run), *run.meansOut, true, format);
  }
  if (!run.fromCovariances && run.sizesOut) {
    ivect_mx sizes(run.g);
    for (std::int32_t i = 1; i <= run.g; ++i) sizes.Put(i, run.groupSizes[static_cast<std::size_t>(i - 1)]);
    // A diagonal matrix is square; its line ends with the values, so mode 2
    // reads the file back and a matrix appended later starts on its own line.
    GuardMatrixWrite([&] { WriteMatrixHeader(*run.sizesOut, mtDiagonal, run.g, run.g, 0, 0, format, lcNone, lcNone); });
    Write(sizes, *run.sizesOut);
    GuardMatrixWrite([&] { run.sizesOut->WriteLine(""); });
  }
  if (run.pooledOut) {
    GuardMatrixWrite([&] {
      WriteMatrixHeader(*run.pooledOut, mtSimilarity, run.p, run.p, 0, 0, format, labelCode, lcNone);
      if (run.Labelled()) WriteLabels(*run.labels, *run.pooledOut);
    });
    Write(pooled, *run.pooledOut, format);
  }
}

void ListResults(const TPoolvcRun& run, const Sym_mx& pooled) {
  const std::string& format = Config().listingFormat;
  if (!run.fromCovariances) {
    ListingWriteLine("Group means:");
    ListingWriteLine("  (rows are groups, columns are variables)");
    List(*MeansMatrix(run), true, format);
  }
  ListingWriteLine("Pooled within-groups variance-covariance matrix:");
  ListingWriteLine("  (rows and columns are variables)");
  List(pooled, format);
}

void PoolvcCompute(TPoolvcRun& run) {
  if (run.fromCovariances) {
    PoolFromCovariances(run);
  } else {
    PoolFromData(run);
  }
  const std::int64_t N = run.pool->TotalSize();
  ListingWriteLine("");
  ListingWriteLine(rtl::Format("Number of groups = %d", run.g));
  ListingWriteLine(rtl::Format("Total sample size = %d", Count(N)));
  ListingWriteLine(rtl::Format("Within-groups df = %d", Count(N - run.g)));
  if (run.g < 2) throw E_Morvapc("Must have at least two groups");
  if (N - run.g < 1) {
    throw E_Morvapc("Must have sufficient samples sizes so that degrees of freedom within are greater than zero");
  }
  ListingWriteLine("");
  const std::unique_ptr<Sym_mx> pooled = run.pool->Pooled();
  if (run.test) ListHomogeneity(run.pool->Homogeneity(*pooled));
  WriteOutputs(run, *pooled);
  ListResults(run, *pooled);
}

void ListParameters(const TPoolvcRun& run) {
  ListingWriteLine("Input parameters");
  if (!run.input.empty()) {
    ListingWriteLine("Read input from file: " + run.input);
    ListingWriteLine("Variables are: " + std::string(run.varsAreRows ? "rows" : "cols"));
    if (!run.means.empty()) ListingWriteLine("Save group means in file: " + run.means);
  }
  if (!run.covariances.empty()) ListingWriteLine("Input covariance mxs. from file: " + run.covariances);
  if (!run.pooled.empty()) ListingWriteLine("Save pooled covariance mx. in file: " + run.pooled);
  if (!run.sizes.empty()) ListingWriteLine("Save group sample sizes in file: " + run.sizes);
  if (run.test) ListingWriteLine("Test of homogeneity of covariance matrices will be performed");
  ListingWriteLine("");
}

bool OpenFiles(TPoolvcRun& run) {
  const auto output = [](TOutputMatrixFile& f, const std::string& name, std::string_view role) {
    return name.empty() || OpenOutputMatrixFile(f, name, role);
  };
  return OpenInputMatrixFile(run.in, run.input, "input") &&
         (run.covariances.empty() || OpenInputMatrixFile(run.vcv, run.covariances, "input vcv")) &&
         output(run.meansOut, run.means, "group means") && output(run.pooledOut, run.pooled, "Pooled cov.") &&
         output(run.sizesOut, run.sizes, "group sample sizes");
}

}  // namespace

void PoolvcDescribe(TModuleRec& module) {
  DescribeAs(module, "PoolVc", "Pool covariance matrices", 514, PoolvcRun, kParams, PoolvcRelease);
}

void PoolvcRelease() {}

void PoolvcRun(std::span<const TParamRec> params) {
  Progress("", 0);
  TPoolvcRun run;
  run.input = params[pDataFile].fileName;
  run.varsAreRows = params[pVarsAreRows].check;
  run.covariances = params[pCovFile].fileName;
  run.means = params[pMeansFile].fileName;
  run.pooled = params[pPooledFile].fileName;
  run.sizes = params[pSizesFile].fileName;
  run.test = params[pTest].check;
  run.fromCovariances = !run.covariances.empty();

  ListParameters(run);
  if (!OpenFiles(run)) return;
  PoolvcCompute(run);
  Progress("", 100);
  for (TOutputMatrixFile* f : run.Outputs()) {
    if (*f) CloseOutputMatrixFile(*f);
  }
}
