#include "modules/similarity/simint.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <utility>

#include "rtl/Format.h"
#include "shell/Config.h"
#include "shell/ModuleRun.h"
#include "shell/Progress.h"

namespace {

// The sums a coefficient needs over the characters that count for a pair.
// They are accumulated in double precision, which keeps the pair loop as fast
// as a plain one (extended-precision sums cost twice as much); the formulas
// that combine them, where cancellation happens, work in extended precision.
struct TSums {
  double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;  // moments
  double d2 = 0, d1 = 0, a = 0;                      // squared, signed and absolute differences
  double sumMin = 0, sumXY = 0;                      // sum of min(x, y), sum of (x + y)
  double chi = 0, canberra = 0;
  std::int32_t n = 0;  // characters that count
};

// Which sums a coefficient accumulates, so that each coefficient's loop does
// only its own work.
enum : unsigned {
  kSx = 1u << 0,
  kSy = 1u << 1,
  kSxx = 1u << 2,
  kSyy = 1u << 3,
  kSxy = 1u << 4,
  kD2 = 1u << 5,
  kD1 = 1u << 6,
  kAbs = 1u << 7,
  kMin = 1u << 8,
  kSumXY = 1u << 9,
  kChi = 1u << 10,
  kCanberra = 1u << 11,
  kMoments = kSx | kSy | kSxx | kSyy | kSxy,
};

// What the module knows of each coefficient, in the order of the choice's items.
struct TSimintFacts {
  std::string_view name;
  int outputType;     // mtSimilarity or mtDissimilarity
  bool zeroDiagonal;  // the diagonal is 0 without visiting the characters
  unsigned sums;      // the sums its loop accumulates
};

constexpr std::array<TSimintFacts, SimintCoeffCount> kCoefficients = {{
    {"CORR", mtSimilarity, false, kMoments},
    {"DIST", mtDissimilarity, true, kD2},
    {"COSINE", mtSimilarity, false, kSxx | kSyy | kSxy},
    {"VARCOV", mtSimilarity, false, kSx | kSy | kSxy},
    {"EUCLID", mtDissimilarity, true, kD2},
    {"MANHAT", mtDissimilarity, true, kAbs},
    {"DISTSQ", mtDissimilarity, true, kD2},
    {"PSHAPE", mtDissimilarity, false, kD2 | kD1},
    {"PSIZE", mtDissimilarity, false, kD1},
    {"N", mtSimilarity, false, 0},
    {"XXT", mtSimilarity, false, kSxy},
    {"CHISQ", mtDissimilarity, true, kChi},
    {"MORISITA", mtSimilarity, false, kMoments},
    {"MORISIT2", mtSimilarity, false, kMoments},
    {"RENKONEN", mtSimilarity, false, kMin},
    {"BRAYCURT", mtDissimilarity, true, kAbs | kSumXY},
    {"CANBERRA", mtDissimilarity, true, kCanberra},
    {"EUCLIDSQ", mtDissimilarity, true, kD2},
}};

constexpr const TSimintFacts& FactsOf(TSimintCoeff coeff) { return kCoefficients[static_cast<std::size_t>(coeff - 1)]; }

const std::array<TParamRec, 4> kParams = {
    InFileParam("O", "Input file", "Name of input file", prRequired),
    CheckParam("D", "By rows?", "Check if by rows", true),
    ChoiceParam("C", "Coefficient", "Coefficient", ChoiceItems(kCoefficients), siDIST - 1),
    OutFileParam("R", "Output file", "Name of output file"),
};

// The values of two OTUs, their masks of present values (null when nothing
// is missing) and the CHISQ weights.
struct TPair {
  const double* x;
  const double* y;
  const char* px;
  const char* py;
  std::int32_t p;
  const double* w;
};

template <unsigned F>
inline void AddCharacter(TSums& s, const TPair& pair, std::int32_t k) {
  const double x = pair.x[k];
  const double y = pair.y[k];
  if constexpr ((F & kSx) != 0) s.sx += x;
  if constexpr ((F & kSy) != 0) s.sy += y;
  if constexpr ((F & kSxx) != 0) s.sxx += x * x;
  if constexpr ((F & kSyy) != 0) s.syy += y * y;
  if constexpr ((F & kSxy) != 0) s.sxy += x * y;
  const double d = x - y;
  if constexpr ((F & kD2) != 0) s.d2 += d * d;
  if constexpr ((F & kD1) != 0) s.d1 += d;
  if constexpr ((F & kAbs) != 0) s.a += std::fabs(d);
  if constexpr ((F & kMin) != 0) s.sumMin += y <= x ? y : x;
  if constexpr ((F & kSumXY) != 0) s.sumXY += x + y;
  if constexpr ((F & kChi) != 0) {
    if (pair.w[k] > 0) s.chi += d * d / pair.w[k];
  }
  if constexpr ((F & kCanberra) != 0) {
    if (x + y > 0) s.canberra += std::fabs(d) / (x + y);
  }
}

// The sums over the characters that count (a local of the inlined caller,
// so that the sums stay in registers).
template <unsigned F>
inline TSums Sums(const TPair& pair) {
  TSums s;
  if (pair.px == nullptr) {
    for (std::int32_t k = 0; k < pair.p; ++k) AddCharacter<F>(s, pair, k);
    s.n = pair.p;
  } else {
    for (std::int32_t k = 0; k < pair.p; ++k) {
      if (pair.px[k] == 0 || pair.py[k] == 0) continue;
      AddCharacter<F>(s, pair, k);
      ++s.n;
    }
  }
  return s;
}

using Ext = long double;

long double Corr(const TSums& s) {
  if (s.n < 2) return 0;
  const Ext n = s.n;
  const Ext sx = s.sx, sy = s.sy;
  const Ext product = (s.syy - sy * sy / n) * (s.sxx - sx * sx / n);
  if (product <= 0) return 0;
  return (s.sxy - sx * sy / n) / std::sqrt(product);
}

long double Cosine(const TSums& s) {
  const Ext product = static_cast<Ext>(s.sxx) * s.syy;
  if (s.n < 2 || product <= 0) return 0;  // an all-zero OTU: 0
  return s.sxy / std::sqrt(product);
}

// 2 Sxy / ((Lx + Ly) Sx Sy) with the dispersion terms lx and ly.
long double MorisitaForm(const TSums& s, Ext lx, Ext ly) {
  if (lx + ly == 0 || s.sx == 0 || s.sy == 0) return 0;
  return 2 * static_cast<Ext>(s.sxy) / ((lx + ly) * s.sx * s.sy);
}

long double Morisita(const TSums& s) {
  // Sum x(x - 1) = Sxx - Sx; an OTU total of 0 or 1 leaves the index undefined: 0.
  const Ext sx = s.sx, sy = s.sy;
  const Ext dx = (sx - 1) * sx;
  const Ext dy = (sy - 1) * sy;
  if (dx == 0 || dy == 0) return 0;
  return MorisitaForm(s, (s.sxx - sx) / dx, (s.syy - sy) / dy);
}

long double Morisita2(const TSums& s) {
  const Ext sx = s.sx, sy = s.sy;
  const Ext lx = sx == 0 ? 0 : s.sxx / (sx * sx);
  const Ext ly = sy == 0 ? 0 : s.syy / (sy * sy);
  return MorisitaForm(s, lx, ly);
}

// The coefficient from the sums of one pair; 0 where its guard says so.
template <TSimintCoeff C>
inline long double Coefficient(const TSums& s) {
  const Ext n = s.n;
  const Ext d2 = s.d2, d1 = s.d1;
  switch (C) {
    case siCORR: return Corr(s);
    case siDIST: return s.n == 0 ? 0 : std::sqrt(d2 / n);
    case siCOSINE: return Cosine(s);
    case siVARCOV: return s.n < 2 ? 0 : (s.sxy - static_cast<Ext>(s.sx) * s.sy / n) / (n - 1);
    case siEUCLID: return s.n == 0 ? 0 : std::sqrt(d2);
    case siMANHAT: return s.n == 0 ? 0 : s.a / n;
    case siDISTSQ: return s.n == 0 ? 0 : d2 / n;
    case siPSHAPE: return s.n == 0 ? 0 : d2 / n - (d1 / n) * (d1 / n);
    case siPSIZE: return s.n == 0 ? 0 : (d1 / n) * (d1 / n);
    case siN: return n;
    case siXXT: return s.n < 2 ? 0 : s.sxy;
    case siCHISQ: return std::sqrt(static_cast<Ext>(s.chi));
    case siMORISITA: return Morisita(s);
    case siMORISIT2: return Morisita2(s);
    case siRENKONEN: return s.sumMin;
    case siBRAYCURT: return s.sumXY <= 0 ? 0 : s.a / s.sumXY;
    case siCANBERRA: return s.n == 0 ? 0 : s.canberra / n;
    case siEUCLIDSQ: return s.n == 0 ? 0 : s.d2;
  }
  return 0;
}

// s(i, j) for j = first .. last, into out[0 ..]: one loop per coefficient.
template <TSimintCoeff C>
void RowValues(const TOtuTable& table, const double* w, std::int32_t i, std::int32_t first, std::int32_t last,
               double* out) {
  for (std::int32_t j = first; j <= last; ++j, ++out) {
    if (FactsOf(C).zeroDiagonal && i == j) {
      *out = 0;
      continue;
    }
    const TPair pair{table.Values(i), table.Values(j), table.Present(i), table.Present(j), table.p(), w};
    *out = static_cast<double>(Coefficient<C>(Sums<FactsOf(C).sums>(pair)));
  }
}

template <std::size_t... I>
constexpr std::array<TSimintComputer::TRowValues, SimintCoeffCount> RowValuesTable(std::index_sequence<I...>) {
  return {&RowValues<static_cast<TSimintCoeff>(I + 1)>...};
}

constexpr auto RowValuesByCoeff = RowValuesTable(std::make_index_sequence<SimintCoeffCount>());

}  // namespace

int SimintOutputType(TSimintCoeff coeff) { return FactsOf(coeff).outputType; }

bool SimintChisqPrepare(Rect_mx& data, std::vector<double>& weights) {
  const std::int32_t p = data.rows();
  const bool missing = data.missCode() != 0;
  const auto present = [&](double x) { return !missing || RealsDiffer(x, data.missValue()); };
  std::vector<long double> w(static_cast<std::size_t>(p), 0.0L);
  long double grand = 0;
  for (std::int32_t i = 1; i <= data.cols(); ++i) {
    long double total = 0;
    for (std::int32_t k = 1; k <= p; ++k) {
      const double x = data.getxij(k, i);
      if (!present(x)) continue;
      total += x;
      w[static_cast<std::size_t>(k - 1)] += x;
    }
    if (total <= 0) throw E_Morvapc("Row sum is less than or equal to zero");
    for (std::int32_t k = 1; k <= p; ++k) {
      const double x = data.getxij(k, i);
      if (present(x)) data.putxij(k, i, static_cast<double>(x / total));
    }
    grand += total;
  }
  if (grand <= 0) {
    ShowErrorMessage("Sum of all elements in matrix is less than or equal to zero");
    return false;
  }
  weights.assign(static_cast<std::size_t>(p), 0.0);
  for (std::size_t k = 0; k < w.size(); ++k) weights[k] = static_cast<double>(w[k] / grand);
  return true;
}

TSimintComputer::TSimintComputer(const Rect_mx& data, TSimintCoeff coeff, std::vector<double> weights)
    : table_(data), coeff_(coeff), weights_(std::move(weights)) {
  if (coeff_ < 1 || coeff_ > SimintCoeffCount) {
    throw E_Morvapc_Internal(rtl::Format("Coefficient number out of range: %d", static_cast<int>(coeff_)));
  }
  if (coeff_ == siCHISQ && weights_.size() != static_cast<std::size_t>(table_.p())) {
    throw E_Morvapc_Internal("CHISQ weights do not match the data");
  }
  rowValues_ = RowValuesByCoeff[static_cast<std::size_t>(coeff_ - 1)];
}

double TSimintComputer::Value(std::int32_t i, std::int32_t j) const {
  double value = 0;
  rowValues_(table_, weights_.data(), i, j, j, &value);
  return value;
}

void TSimintComputer::Row(std::int32_t i, std::span<double> values) const {
  if (values.size() < static_cast<std::size_t>(i)) throw E_Morvapc_Internal("Row buffer too small");
  rowValues_(table_, weights_.data(), i, 1, i, values.data());
}

void SimintDescribe(TModuleRec& module) {
  DescribeAs(module, "Simint", "Similarity for interval data", 518, SimintRun, kParams, SimintRelease);
}

void SimintRelease() {}

namespace {

// The working values of one run.
struct TSimintRun : TSimilarityRun {
  TSimintCoeff coeff = siDIST;
};

// The coefficients of one data set, written as the output body.
void SimintCoefficient(TSimintRun& run, TOtuData& data) {
  std::vector<double> weights;
  if (run.coeff == siCHISQ && !SimintChisqPrepare(*data.matrix, weights)) return;
  const TSimintComputer computer(*data.matrix, run.coeff, std::move(weights));
  TTriangleWriter writer(run.out.get(), 5);
  const std::string pattern = " %" + Config().fileFormat;
  const std::int32_t n = data.n();
  std::vector<double> row(static_cast<std::size_t>(n));
  for (std::int32_t i = 1; i <= n; ++i) {
    ProgressRow(i, n);
    computer.Row(i, row);
    if (!writer.Writes()) continue;
    for (std::int32_t j = 1; j <= i; ++j) {
      const double s = row[static_cast<std::size_t>(j - 1)];
      if (run.coeff == siN) {
        writer.Put(i, j, rtl::Format(" %d", static_cast<std::int32_t>(s)));
      } else {
        writer.PutValue(i, j, pattern, s);
      }
    }
  }
}

// One data set: header, data, output header and body, listing.
void SimintCompute(TSimintRun& run) {
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader header;
  ReadMatrixHeader(*run.in, comments, header, true, {mtRectangular});
  if (header.type != mtRectangular) {
    throw E_Morvapc(rtl::Format("Wrong type (%d) of input matrix must be 1 (rectangular data matrix)", header.type));
  }
  RefuseEmptyMatrix(header);
  if (run.out) {
    WriteTitleComments(
        *run.out, comments.get(),
        {" SIMINT: input=" + run.input + ", coeff=" + run.keyword + ", direction=" + (run.byRows ? "Rows" : "Cols")});
  }
  comments.reset();
  TOtuData data = ReadOtuData(*run.in, header, run.byRows);
  ListingWriteLine(rtl::Format("Result will be a %d by %d matrix", data.n(), data.n()));
  if (run.out) WriteOtuHeader(*run.out, SimintOutputType(run.coeff), data, Config().fileFormat);
  SimintCoefficient(run, data);
  ListOutputFile(run.output, "Results stored in file: ");
}

}  // namespace

void SimintRun(std::span<const TParamRec> params) {
  Progress("", 0);
  TSimintRun run;
  run.TakeCommonParams(params, kCoefficients);
  run.coeff = static_cast<TSimintCoeff>(params[pCoeff].index + 1);

  run.ListCommonParams();
  ListOutputFile(run.output);
  ListingWriteLine("Coefficient: " + run.keyword);
  ListingWriteLine("");

  if (!run.Open("coefficient")) return;
  ForEachDataSet(*run.in, [&] { SimintCompute(run); });
  run.Finish();
}
