#include "modules/similarity/simgend.h"

#include <array>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "matrix/MatrixIO.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"
#include "shell/Config.h"
#include "shell/ModuleRun.h"
#include "shell/Progress.h"

namespace {

// What the module knows of each coefficient, in the order of the choice's
// items (alphabetical), with the computation's code of each.
struct TSimgendFacts {
  std::string_view name;
  TSimgendCode code;
  bool countsLoci;        // sums per locus; needs the loci array
  bool needsSampleSizes;  // needs the array of sample sizes
  bool needsLociCount;    // needs the number of loci
};

constexpr std::array<TSimgendFacts, SimgendCoeffCount> kCoefficients = {{
    {"ARC", sgARC, true, false, false},
    {"B&S", sgBS, false, false, false},
    {"CHORD", sgCHORD, false, false, true},
    {"HILLIS", sgHILLIS, true, false, false},
    {"HILLIS-UB", sgHILLISUB, true, true, false},
    {"J&C", sgJC, false, false, false},
    {"NEI72", sgNEI72, false, false, false},
    {"NEI-UB", sgNEIUB, false, true, true},
    {"PREVOSTI", sgPREVOSTI, true, false, false},
    {"ROGERS", sgROGERS, true, false, false},
    {"ROGERS-W", sgROGERSW, false, false, true},
}};

const TSimgendFacts& FactsOf(TSimgendCode code) {
  for (const TSimgendFacts& facts : kCoefficients) {
    if (facts.code == code) return facts;
  }
  throw E_Morvapc_Internal(rtl::Format("Coefficient number out of range: %d", static_cast<int>(code)));
}

enum : std::int32_t { pNArray = pOutput + 1, pLociArray, pLoci };

const std::array<TParamRec, 7> kParams = {
    InFileParam("O", "Input data file", "Name of input data file", prRequired),
    CheckParam("D", "By rows?", "Check if by rows", true),
    ChoiceParam("C", "Coefficient", "Coefficient", ChoiceItems(kCoefficients), 6),  // NEI72
    OutFileParam("R", "Output file", "Name of output file"),
    InFileParam("NA", "Name of N array", "Name of input N array file"),
    InFileParam("LA", "Name of loci array file", "Name of input loci array file"),
    IntegerParam("L", "Number of loci", "Number of loci", 0, "1", "99", "##"),
};

constexpr long double HalfPi = 1.570796326794896619231321691639751442L;
constexpr long double OneOverPi = 0.318309886183790671537767526745028724L;

// The unbiased estimate of a population's homozygosity term: (2 N s - k) / (2 N - 1).
long double Unbiased(long double n, long double s, long double k) { return (2 * n * s - k) / (2 * n - 1); }

// q / sqrt(denominator), or 0 when the denominator is not positive.
long double IdentityRatio(long double q, long double denominator) {
  return denominator <= 0 ? 0 : q / std::sqrt(denominator);
}

// The sums of one locus or of all alleles of a pair.
struct TAlleleSums {
  long double sxy = 0, sxx = 0, syy = 0;
  long double sqrtXY = 0;  // sum of sqrt(x y)
  long double abs = 0;     // sum of |x - y|
  long double d2 = 0;      // sum of (x - y)^2
  long double bs = 0;      // sum of (x - y)^2 / (x + y) over x + y <> 0
  std::int32_t counted = 0;
  std::int32_t equal = 0;  // counted alleles with x = y exactly

  void Add(long double x, long double y) {
    sxy += x * y;
    sxx += x * x;
    syy += y * y;
    sqrtXY += std::sqrt(x * y);
    const long double d = x - y;
    abs += std::fabs(d);
    d2 += d * d;
    if (x + y != 0) bs += d * d / (x + y);
    ++counted;
    if (x == y) ++equal;
  }
};

}  // namespace

TSimgendCode SimgendCodeOfChoice(std::int32_t choice) {
  if (choice < 1 || choice > SimgendCoeffCount) {
    throw E_Morvapc_Internal(rtl::Format("Coefficient number out of range: %d", choice));
  }
  return kCoefficients[static_cast<std::size_t>(choice - 1)].code;
}

long double ArcCos(long double x) {
  if (x >= 1) return 0;
  return HalfPi - std::atan(x / std::sqrt(1 - x * x));
}

void SimgendCheckFrequencies(const Rect_mx& data, const Label_mx& labels) {
  const TOtuTable table(data);
  for (std::int32_t i = 1; i <= table.n(); ++i) {
    for (std::int32_t k = 1; k <= table.p(); ++k) {
      const double x = table.Values(i)[k - 1];
      if (table.IsPresent(i, k) && x < 0) {
        throw E_Morvapc("Negative allele frequency (" + rtl::FloatToStr(x) + ") of population " + labels.GetLabel(i) +
                        ", allele " + rtl::IntToStr(k));
      }
    }
  }
}

TSimgendComputer::TSimgendComputer(const Rect_mx& data, TSimgendCode code, std::int32_t L, const vect_mx* sampleSizes,
                                   const ivect_mx* loci)
    : table_(data), code_(code), countsLoci_(FactsOf(code).countsLoci), L_(L), sampleSizes_(sampleSizes), loci_(loci) {
  // Arrays kept from an earlier data set are checked by the module before use;
  // a mismatch here is a caller's fault.
  if ((sampleSizes_ && sampleSizes_->length() != table_.n()) || (loci_ && loci_->length() != table_.p())) {
    throw E_Morvapc_Internal("Sample size or loci array does not match the data");
  }
}

bool TSimgendComputer::LocusEnds(std::int32_t k) const {
  return k == table_.p() || (loci_ != nullptr && loci_->Get(k + 1) != loci_->Get(k));
}

double TSimgendComputer::SampleSize(std::int32_t otu) const {
  return sampleSizes_ != nullptr ? sampleSizes_->Get(otu) : 1.0;
}

TSimgendDistance TSimgendComputer::Distance(std::int32_t i, std::int32_t j) const {
  const double* x = table_.Values(i);
  const double* y = table_.Values(j);
  const long double ni = SampleSize(i);
  const long double nj = SampleSize(j);
  const long double L = L_;

  TAlleleSums all;
  TAlleleSums locus;
  long double T = 0;  // the sum over loci of the per-locus terms
  std::int32_t Lc = 0;
  for (std::int32_t k = 1; k <= table_.p(); ++k) {
    if (table_.IsPresent(i, k) && table_.IsPresent(j, k)) {
      all.Add(x[k - 1], y[k - 1]);
      locus.Add(x[k - 1], y[k - 1]);
    }
    if (!LocusEnds(k)) continue;
    if (locus.counted > 0) {
      ++Lc;
      switch (code_) {
        case sgPREVOSTI: T += locus.abs; break;
        case sgROGERS: T += std::sqrt(locus.d2); break;
        // Loci whose denominator is not positive add nothing.
        case sgHILLIS: T += IdentityRatio(locus.sxy, locus.sxx * locus.syy); break;
        case sgHILLISUB: T += IdentityRatio(locus.sxy, Unbiased(ni, locus.sxx, 1) * Unbiased(nj, locus.syy, 1)); break;
        case sgARC: {
          const long double angle = 2 * ArcCos(locus.sqrtXY) * OneOverPi;
          T += angle * angle;
          break;
        }
        default: break;
      }
    }
    locus = TAlleleSums();
  }

  TSimgendDistance result;
  if (countsLoci_) result.loci = Lc;
  long double d = 0;
  switch (code_) {
    case sgBS: d = all.bs; break;
    case sgCHORD: d = 4 * (L - all.sqrtXY); break;
    case sgJC: {
      // With no allele counted the share is undefined, like a share of 0.25 or less.
      const long double f = all.counted == 0 ? 0 : static_cast<long double>(all.equal) / all.counted;
      d = f > 0.25L ? 0.75L * std::log(3 / (4 * f - 1)) : SimgendUndefined;
      break;
    }
    case sgNEI72:
    case sgNEIUB: {
      const long double den =
          code_ == sgNEI72 ? all.sxx * all.syy : Unbiased(ni, all.sxx, L) * Unbiased(nj, all.syy, L);
      const long double identity = IdentityRatio(all.sxy, den);
      d = identity > 0 ? -std::log(identity) : 0;
      break;
    }
    case sgPREVOSTI: d = T > 0 && Lc >= 1 ? T / (2 * Lc) : 0; break;
    case sgROGERS: d = Lc == 0 ? 0 : T / (2 * Lc); break;
    case sgHILLIS:
    case sgHILLISUB: d = T > 0 ? -std::log(T / Lc) : 0; break;
    case sgARC: d = T > 0 ? std::sqrt(T / Lc) : 0; break;
    case sgROGERSW: d = std::sqrt(all.d2 / (2 * L)); break;
  }
  result.value = static_cast<double>(d);
  return result;
}

void SimgendDescribe(TModuleRec& module) {
  DescribeAs(module, "Simgend", "Similarity for genetic data", 517, SimgendRun, kParams, SimgendRelease);
}

void SimgendRelease() {}

namespace {

// Ends the run after its message was shown in an error box.
struct TRunEndedQuietly {};

[[noreturn]] void EndQuietly(const std::string& message) {
  ShowErrorMessage(message);
  throw TRunEndedQuietly{};
}

// The texts of one of the two side arrays.
struct TArrayTexts {
  const char* usingPrevious;
  const char* input;
  const char* noMissing;
  const char* badLength;
};

const TArrayTexts SampleSizeTexts = {"Using previous N matrix", "Input sample size matrix: %s",
                                     "No missing values allowed in sample size array",
                                     "Incorrect length of sample size array ("};
const TArrayTexts LociTexts = {"Using previous loci matrix", "Input loci matrix: %s",
                               "No missing values allowed in allele array", "Length of allele grouping array ("};

void CheckArrayLength(const TArrayTexts& texts, std::int32_t length, std::int32_t expected) {
  if (length != expected) EndQuietly(texts.badLength + rtl::IntToStr(length) + ") does not match data");
}

// Reads the next array of the side file, each value rounded to an integer;
// keeps the one held when the file is exhausted, after checking that it still
// fits the data set.
template <class Vector>
void ReadSideArray(rtl::TextReader& f, const std::string& name, const TArrayTexts& texts, std::int32_t expected,
                   std::unique_ptr<Vector>& held) {
  if (f.SeekEof() && held) {
    ListingWriteLine(texts.usingPrevious);
    CheckArrayLength(texts, held->length(), expected);
    return;
  }
  held.reset();
  ListingWriteLine(rtl::Format(texts.input, name));
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader header;
  ReadMatrixHeader(f, comments, header, true, {mtRectangular});
  if (header.missingCode != 0) EndQuietly(texts.noMissing);
  const bool oneRow = header.rows == 1;
  CheckArrayLength(texts, oneRow ? header.cols : header.rows, expected);
  Rect_mx values(1, expected);
  const TLabelRead rowLabels{nullptr, oneRow ? header.rowLabelCode : header.colLabelCode, false};
  const TLabelRead colLabels{nullptr, oneRow ? header.colLabelCode : header.rowLabelCode, false};
  Read(values, f, oneRow, rowLabels, colLabels);
  auto vector = std::make_unique<Vector>(expected);
  for (std::int32_t k = 1; k <= expected; ++k) {
    vector->Put(k, static_cast<decltype(vector->Get(k))>(rtl::Round(values.getxij(1, k))));
  }
  held = std::move(vector);
}

struct TSimgendRun : TSimilarityRun {
  TSimgendCode code = sgNEI72;
  std::string nArray;
  std::string lociArray;
  std::int32_t L = 0;
  TInputMatrixFile nIn;
  TInputMatrixFile lociIn;
  std::unique_ptr<vect_mx> sampleSizes;
  std::unique_ptr<ivect_mx> loci;
};

std::string TitleLine(const TSimgendRun& run) {
  std::string line =
      " SIMGEND: input=" + run.input + ", coeff=" + run.keyword + ", dir=" + (run.byRows ? "Rows" : "Cols");
  if (!run.nArray.empty()) line += ", N array=" + run.nArray;
  if (!run.lociArray.empty()) line += ", L array=" + run.lociArray;
  if (run.L > 0) line += ", no. loci = " + rtl::IntToStr(run.L);
  return line;
}

// The strict lower triangle, each row closed by its diagonal 0; returns the
// loci counted for the last pair.
std::int32_t SimgendCoefficient(const TSimgendRun& run, const TOtuData& data) {
  const TSimgendComputer computer(*data.matrix, run.code, run.L, run.sampleSizes.get(), run.loci.get());
  TTriangleWriter writer(run.out.get(), 7);
  const std::string pattern = " %" + Config().fileFormat;
  std::int32_t loci = 0;
  const std::int32_t n = data.n();
  for (std::int32_t i = 1; i <= n; ++i) {
    ProgressRow(i, n);
    for (std::int32_t j = 1; j < i; ++j) {
      const TSimgendDistance d = computer.Distance(i, j);
      loci = d.loci;
      writer.PutValue(i, j, pattern, d.value);
    }
    writer.PutValue(i, i, pattern, 0.0);
  }
  return loci;
}

void SimgendCompute(TSimgendRun& run) {
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader header;
  ReadMatrixHeader(*run.in, comments, header, true, {mtRectangular});
  RefuseEmptyMatrix(header);
  if (run.out) WriteTitleComments(*run.out, comments.get(), {TitleLine(run)});
  comments.reset();
  const TOtuData data = ReadOtuData(*run.in, header, run.byRows);
  ListingWriteLine(rtl::Format("Results will be a %d by %d matrix", data.n(), data.n()));
  if (run.out) WriteOtuHeader(*run.out, mtDissimilarity, data, Config().fileFormat);
  if (run.nIn) ReadSideArray(*run.nIn, run.nArray, SampleSizeTexts, data.n(), run.sampleSizes);
  if (run.lociIn) ReadSideArray(*run.lociIn, run.lociArray, LociTexts, data.p(), run.loci);
  SimgendCheckFrequencies(*data.matrix, *data.labels);

  const std::int32_t loci = SimgendCoefficient(run, data);
  if (run.L > 0) ListingWriteLine(rtl::Format("Number of loci: %d", run.L));
  if (loci > 0) {
    ListingWriteLine(header.missingCode == 0 ? rtl::Format("Number of loci: %d", loci)
                                             : "Actual number of loci used may vary due to missing values.");
  }
  ListingWriteLine("(Genetic distance matrix stored in file: " + run.output);
}

// The requirements of the coefficients; false after an error box.
bool RequirementsMet(const TSimgendRun& run) {
  const TSimgendFacts& facts = FactsOf(run.code);
  if (facts.needsSampleSizes && run.nArray.empty()) {
    ShowErrorMessage("Array of sample sizes for each OTU is required for this coefficient");
    return false;
  }
  if (facts.countsLoci && run.lociArray.empty()) {
    ShowErrorMessage("Array giving grouping of alleles into loci is required");
    return false;
  }
  if (facts.needsLociCount && run.L <= 0) {
    ShowErrorMessage("Number of loci is required");
    return false;
  }
  return true;
}

}  // namespace

void SimgendRun(std::span<const TParamRec> params) {
  Progress("", 0);
  TSimgendRun run;
  run.code = run.TakeCommonParams(params, kCoefficients).code;
  run.nArray = params[pNArray].fileName;
  run.lociArray = params[pLociArray].fileName;
  run.L = params[pLoci].integer;

  run.ListCommonParams();
  ListOutputFile(run.nArray, "Read N array from file: ");
  ListOutputFile(run.lociArray, "Read loci array from file: ");
  if (run.L != 0) ListingWriteLine(rtl::Format("Number of loci: %10d", run.L));
  ListOutputFile(run.output);
  ListingWriteLine("");
  if (!RequirementsMet(run)) return;

  if (!run.OpenInput()) return;
  if (!run.nArray.empty() && !OpenInputMatrixFile(run.nIn, run.nArray, "N array")) return;
  if (!run.lociArray.empty() && !OpenInputMatrixFile(run.lociIn, run.lociArray, "Loci array")) return;
  if (!run.OpenOutput("coefficients")) return;
  try {
    ForEachDataSet(*run.in, [&] { SimgendCompute(run); });
  } catch (const TRunEndedQuietly&) {
    return;
  }
  run.Finish();
}
