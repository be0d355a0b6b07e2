#include "modules/similarity/simqual.h"

#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>

#include "rtl/Format.h"
#include "shell/Config.h"
#include "shell/ModuleRun.h"
#include "shell/Progress.h"

namespace {

// What the module knows of each coefficient, in the order of the choice's items.
struct TSimqualFacts {
  std::string_view name;
  bool twoState;  // counts the 2 x 2 table of the two codes
  // The value fixed for i = j, where the coefficient has one.
  std::optional<double> diagonal;
};

constexpr std::array<TSimqualFacts, SimqualCoeffCount> kCoefficients = {{
    {"SM", false, 1},
    {"UN1", false, 1},
    {"RT", false, 1},
    {"UN3", false, 0},
    {"H", false, {}},
    {"J", true, 1},
    {"RR", true, {}},
    {"DICE", true, {}},
    {"UN2", true, {}},
    {"K1", true, 1},
    {"K2", true, {}},
    {"UN4", true, {}},
    {"O", true, {}},
    {"UN5", true, {}},
    {"Y", true, {}},
    {"PHI", true, 1},
}};

const TSimqualFacts& FactsOf(TSimqualCoeff coeff) {
  if (coeff < 1 || coeff > SimqualCoeffCount) {
    throw E_Morvapc_Internal(rtl::Format("Coefficient number out of range: %d", static_cast<int>(coeff)));
  }
  return kCoefficients[static_cast<std::size_t>(coeff - 1)];
}

enum : std::int32_t { pPlus = pOutput + 1, pMinus };

const std::array<TParamRec, 6> kParams = {
    InFileParam("O", "Input file", "Name of input file", prRequired),
    CheckParam("D", "By rows?", "Check if by rows", false),
    ChoiceParam("C", "Coefficient", "Coefficient", ChoiceItems(kCoefficients)),
    OutFileParam("R", "Output file", "Name of output file"),
    RealParam("+", "Positive code", "Positive state code", 1.0, "-1e20", "1e20", "#####.#####"),
    RealParam("-", "Negative code", "Negative state code", 0.0, "-1e20", "1e20", "#####.#####"),
};

// q / r, or 9999 when the test says the value cannot be computed.
double Ratio(double q, double r, bool undefined) { return undefined ? SimqualUndefined : q / r; }

}  // namespace

bool SimqualTwoState(TSimqualCoeff coeff) { return FactsOf(coeff).twoState; }

double SimqualValue(TSimqualCoeff coeff, const TSimqualCounts& k, bool diagonal) {
  const std::optional<double> fixed = FactsOf(coeff).diagonal;
  if (diagonal && fixed) return *fixed;
  const double m = k.m, u = k.u, a = k.a, b = k.b, c = k.c, d = k.d;
  switch (coeff) {
    case sqSM: return Ratio(m, m + u, m + u <= 0);
    case sqUN1: return Ratio(2 * m, 2 * m + u, 2 * m + u <= 0);
    case sqRT: return Ratio(m, m + 2 * u, m + 2 * u <= 0);
    case sqUN3: return Ratio(m, u, u <= 0);
    case sqH: return Ratio(m - u, m + u, m + u <= 0);
    case sqJ: return Ratio(a, a + b + c, a + b + c <= 0);
    case sqRR: return Ratio(a, a + b + c + d, a + b + c + d <= 0);
    case sqDICE: return Ratio(2 * a, 2 * a + b + c, 2 * a + b + c <= 0);
    case sqUN2: return Ratio(a, a + 2 * (b + c), a + 2 * (b + c) <= 0);
    case sqK1: return Ratio(a, b + c, b + c == 0);
    case sqK2:
      if (a + b <= 0 || a + c <= 0) return SimqualUndefined;
      return (a / (a + b) + a / (a + c)) * 0.5;
    case sqUN4:
      // Undefined, like the others, when a margin is 0.
      if (a + b <= 0 || a + c <= 0 || b + d <= 0 || c + d <= 0) return SimqualUndefined;
      return (a / (a + b) + a / (a + c) + d / (b + d) + d / (c + d)) * 0.25;
    case sqO: {
      const double product = (a + b) * (a + c);
      return product <= 0 ? SimqualUndefined : a / std::sqrt(product);
    }
    case sqUN5: {
      const double product = (a + b) * (a + c) * (b + d) * (c + d);
      return product <= 0 ? SimqualUndefined : a * d / std::sqrt(product);
    }
    case sqY: return Ratio(a * d - b * c, a * d + b * c, a * d + b * c <= 0);
    case sqPHI: {
      const double product = (a + b) * (a + c) * (b + d) * (c + d);
      return product <= 0 ? SimqualUndefined : (a * d - b * c) / std::sqrt(product);
    }
  }
  return SimqualUndefined;
}

std::string DefaultRealText(double value) {
  std::string text = rtl::Format("%.15e", value);
  const std::size_t e = text.find('E');
  if (e != std::string::npos) {
    const std::size_t digits = e + 2;  // after the exponent's sign
    if (text.size() - digits < 4) text.insert(digits, 4 - (text.size() - digits), '0');
  }
  if (text.size() < 23) text.insert(0, 23 - text.size(), ' ');
  return text;
}

namespace {

// True for the positive code, false for the negative one; any other value is refused.
bool IsPositive(double x, double plus, double minus) {
  if (x == plus) return true;
  if (x == minus) return false;
  throw E_Morvapc("Value in data matrix (" + DefaultRealText(x) + ") not + - codes or missing");
}

}  // namespace

TSimqualCounts SimqualCount(const TOtuTable& table, std::int32_t i, std::int32_t j, TSimqualCoeff coeff, double plus,
                            double minus) {
  TSimqualCounts counts;
  const double* x = table.Values(i);
  const double* y = table.Values(j);
  const bool twoState = SimqualTwoState(coeff);
  for (std::int32_t k = 1; k <= table.p(); ++k) {
    if (!table.IsPresent(i, k) || !table.IsPresent(j, k)) continue;
    const double xk = x[k - 1];
    const double yk = y[k - 1];
    if (!twoState) {
      (xk == yk ? counts.m : counts.u) += 1.0;
      continue;
    }
    const bool xPlus = IsPositive(xk, plus, minus);
    const bool yPlus = IsPositive(yk, plus, minus);
    (xPlus ? (yPlus ? counts.a : counts.b) : (yPlus ? counts.c : counts.d)) += 1.0;
  }
  return counts;
}

void SimqualDescribe(TModuleRec& module) {
  DescribeAs(module, "SimQual", "Similarity, qualitative data", 519, SimqualRun, kParams, SimqualRelease);
}

void SimqualRelease() {}

namespace {

struct TSimqualRun : TSimilarityRun {
  TSimqualCoeff coeff = sqSM;
  double plus = 1;
  double minus = 0;
};

// The lower triangle with its diagonal, written as it is computed.
void SimqualCoefficient(const TSimqualRun& run, const TOtuData& data) {
  const TOtuTable table(*data.matrix);
  TTriangleWriter writer(run.out.get(), 7);
  const std::int32_t n = data.n();
  for (std::int32_t i = 1; i <= n; ++i) {
    ProgressRow(i, n);
    for (std::int32_t j = 1; j <= i; ++j) {
      const TSimqualCounts counts = SimqualCount(table, i, j, run.coeff, run.plus, run.minus);
      writer.PutValue(i, j, " %10.7f", SimqualValue(run.coeff, counts, i == j));
    }
  }
}

std::string TitleSecondLine(const TSimqualRun& run) {
  std::string line = std::string(" by ") + (run.byRows ? "Rows" : "Cols");
  if (SimqualTwoState(run.coeff)) line += rtl::Format(", +=%10.5f, -=%10.5f", run.plus, run.minus);
  return line;
}

void SimqualCompute(const TSimqualRun& run) {
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader header;
  ReadMatrixHeader(*run.in, comments, header, true, {mtRectangular});
  RefuseEmptyMatrix(header);
  if (run.out) {
    WriteTitleComments(*run.out, comments.get(),
                       {" SIMQUAL: input=" + run.input + ", coeff=" + run.keyword, TitleSecondLine(run)});
  }
  comments.reset();
  const TOtuData data = ReadOtuData(*run.in, header, run.byRows);
  ListingWriteLine(rtl::Format("Result will be a %d by %d matrix", data.n(), data.n()));
  if (run.out) WriteOtuHeader(*run.out, mtSimilarity, data, Config().fileFormat);
  SimqualCoefficient(run, data);
  ListingWriteLine("Results stored in file: " + run.output);
}

}  // namespace

void SimqualRun(std::span<const TParamRec> params) {
  Progress("", 0);
  TSimqualRun run;
  run.TakeCommonParams(params, kCoefficients);
  run.coeff = static_cast<TSimqualCoeff>(params[pCoeff].index + 1);
  run.plus = params[pPlus].real;
  run.minus = params[pMinus].real;

  run.ListCommonParams();
  ListOutputFile(run.output);
  ListingWriteLine("Coefficient: " + run.keyword);
  if (SimqualTwoState(run.coeff)) {
    ListingWriteLine(rtl::Format("Positive: %" + Config().listingFormat, run.plus));
    ListingWriteLine(rtl::Format("Negative: %" + Config().listingFormat, run.minus));
  }
  ListingWriteLine("");

  if (!run.Open("coefficients")) return;
  ForEachDataSet(*run.in, [&] { SimqualCompute(run); });
  run.Finish();
}
