#include "modules/general/stand.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <string_view>

#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "modules/general/itemFacts.h"
#include "rtl/Format.h"
#include "shell/Config.h"
#include "shell/ModuleRun.h"
#include "shell/Progress.h"

namespace {

enum : std::int32_t { pInput, pByRows, pOutput, pSubtract, pDivide, pConstant };

constexpr std::array<TItemFacts<TStandSubtract>, 3> kSubtract = {{
    {"YBAR", TStandSubtract::Mean},
    {"", TStandSubtract::Nothing},
    {"MIN", TStandSubtract::Min},
}};

constexpr std::array<TItemFacts<TStandDivide>, 8> kDivide = {{
    {"STD", TStandDivide::Std},
    {"", TStandDivide::One},
    {"SQRT(SS)", TStandDivide::SqrtSS},
    {"SQRT(SY2)", TStandDivide::SqrtSY2},
    {"RANGE", TStandDivide::Range},
    {"MAX", TStandDivide::Max},
    {"SQRT(SY)", TStandDivide::SqrtSY},
    {"SUMY", TStandDivide::SumY},
}};

const std::array<TParamRec, 6> kParams = {
    InFileParam("O", "Input file", "Name of input file", prRequired),
    CheckParam("D", "Stand by rows?", "Check if by rows", true),
    OutFileParam("R", "Output file", "Name of output file"),
    ChoiceParam("A", "Subtract option", "Value to be subtracted", ChoiceItems(kSubtract)),
    ChoiceParam("B", "Divide option", "Value to divide by", ChoiceItems(kDivide)),
    RealParam("C", "Constant", "Value to add", 0, "-1e5", "1e5", "#####.#####"),
};

constexpr double kInvariantSS = 1e-9;

// The divisor of a variable; nothing when it is 0 or has no value.
std::optional<double> Divisor(TStandDivide divide, const TStandVariable& v, long double ss, long double sum,
                              long double squares) {
  double s = 1;
  switch (divide) {
    case TStandDivide::Std: s = v.sd; break;
    case TStandDivide::One: s = 1; break;
    case TStandDivide::SqrtSS: s = static_cast<double>(std::sqrt(ss)); break;
    case TStandDivide::SqrtSY2: s = static_cast<double>(std::sqrt(squares)); break;
    case TStandDivide::Range: s = v.max - v.min; break;
    case TStandDivide::Max: s = v.max; break;
    case TStandDivide::SqrtSY:
      if (sum < 0) return std::nullopt;
      s = static_cast<double>(std::sqrt(sum));
      break;
    case TStandDivide::SumY: s = static_cast<double>(sum); break;
  }
  if (s == 0 || !std::isfinite(s)) return std::nullopt;
  return s;
}

double Location(TStandSubtract subtract, const TStandVariable& v) {
  switch (subtract) {
    case TStandSubtract::Mean: return v.mean;
    case TStandSubtract::Nothing: return 0;
    case TStandSubtract::Min: return v.min;
  }
  return 0;
}

}  // namespace

std::vector<TStandVariable> StandStatistics(Rect_mx& x, const TStandOptions& options) {
  const std::int32_t p = x.rows(), m = x.cols();
  const auto present = [&](double y) { return !options.hasMissing || y != options.missingValue; };
  std::vector<TStandVariable> stats(static_cast<std::size_t>(p));
  for (std::int32_t v = 1; v <= p; ++v) {
    ProgressRow(v, p);
    TStandVariable& s = stats[static_cast<std::size_t>(v - 1)];
    long double sum = 0, squares = 0;
    for (std::int32_t j = 1; j <= m; ++j) {
      const double y = x.getxij(v, j);
      if (!present(y)) continue;
      ++s.n;
      sum += y;
      squares += static_cast<long double>(y) * y;
      if (y < s.min) s.min = y;
      if (y > s.max) s.max = y;
    }
    s.mean = s.n == 0 ? options.missingValue : static_cast<double>(sum / s.n);
    long double ss = 0;
    for (std::int32_t j = 1; j <= m; ++j) {
      const double y = x.getxij(v, j);
      if (present(y)) ss += (static_cast<long double>(y) - s.mean) * (static_cast<long double>(y) - s.mean);
    }
    if (s.n <= 1 || ss < kInvariantSS) {
      s.outcome = TStandOutcome::Invariant;
      continue;
    }
    s.sd = static_cast<double>(std::sqrt(ss / (s.n - 1)));
    const std::optional<double> divisor = Divisor(options.divide, s, ss, sum, squares);
    if (!divisor) {
      s.outcome = TStandOutcome::NoDivisor;
      continue;
    }
    const double location = Location(options.subtract, s);
    for (std::int32_t j = 1; j <= m; ++j) {
      const double y = x.getxij(v, j);
      if (present(y)) x.putxij(v, j, (y - location) / *divisor + options.constant);
    }
  }
  return stats;
}

namespace {

struct TStandRun : TRunFiles {
  bool byRows = true;
  std::string subtractName;
  std::string divideName;
  TStandOptions options;
};

// The statistics lines of the listing.
void ListStatistics(const std::vector<TStandVariable>& stats, const Label_mx& labels, const std::string& divideName) {
  const std::string& lf = Config().listingFormat;
  const auto lw = static_cast<std::int32_t>(labels.GetWidth());
  const auto w = static_cast<std::int32_t>(rtl::Format("%" + lf, -12.34).size());
  ListingWriteLine("");
  ListingWriteLine(
      rtl::Format("%*s %*s %*s %5s %*s %*s", lw, "Var.", w, "Mean", w, "Std.Dev", "n", w, "Min", w, "Max"));
  const std::string row = "%s %" + lf + " %" + lf + " %5d %" + lf + " %" + lf;
  for (std::int32_t v = 1; v <= static_cast<std::int32_t>(stats.size()); ++v) {
    const TStandVariable& s = stats[static_cast<std::size_t>(v - 1)];
    const std::string label = labels.GetLabel(v);
    switch (s.outcome) {
      case TStandOutcome::Standardized:
        ListingWriteLine(rtl::Format(row, label, s.mean, s.sd, s.n, s.min, s.max));
        break;
      case TStandOutcome::Invariant: ListingWriteLine(rtl::Format("%*s%10.4f - invariant -", lw, label, s.mean)); break;
      case TStandOutcome::NoDivisor:
        ListingWriteLine(rtl::Format("%*s%10.4f - cannot divide by %s -", lw, label, s.mean, divideName));
        break;
    }
  }
}

// The standardised variables of x with their labels, the others left out.
void WriteStandardized(TStandRun& run, const TMatrixHeader& header, const Rect_mx& x, const Label_mx& varLabels,
                       const Label_mx& objectLabels, const std::vector<TStandVariable>& stats, std::int32_t kept) {
  Rect_mx out(kept, x.cols());
  Label_mx keptLabels(varLabels.HasStorage() ? kept : 0);
  std::int32_t k = 0;
  for (std::int32_t v = 1; v <= x.rows(); ++v) {
    if (stats[static_cast<std::size_t>(v - 1)].outcome != TStandOutcome::Standardized) continue;
    ++k;
    keptLabels.PutLabel(k, varLabels.GetLabel(v));
    for (std::int32_t j = 1; j <= x.cols(); ++j) out.putxij(k, j, x.getxij(v, j));
  }
  const Label_mx& rowLabels = run.byRows ? keptLabels : objectLabels;
  const Label_mx& colLabels = run.byRows ? objectLabels : keptLabels;
  const auto code = [](const Label_mx& labels) { return labels.HasStorage() ? lcBlock : lcNone; };
  const std::string& format = Config().fileFormat;
  GuardMatrixWrite([&] {
    WriteMatrixHeader(*run.out, mtRectangular, run.byRows ? kept : x.cols(), run.byRows ? x.cols() : kept,
                      header.missingCode, header.missingValue, format, code(rowLabels), code(colLabels));
    WriteLabels(rowLabels, *run.out);
    WriteLabels(colLabels, *run.out);
    Write(out, *run.out, run.byRows, format);
  });
}

// The warning for variables left out, naming why: no variation, or a divisor
// that is 0 or has no value.
std::string DeletionWarning(const std::vector<TStandVariable>& stats, const std::string& divideName) {
  const auto any = [&](TStandOutcome outcome) {
    return std::any_of(stats.begin(), stats.end(), [&](const TStandVariable& s) { return s.outcome == outcome; });
  };
  const bool invariant = any(TStandOutcome::Invariant);
  std::string deleted = invariant ? "Invariant characters" : "";
  if (any(TStandOutcome::NoDivisor)) {
    deleted += std::string(invariant ? " and variables" : "Variables") + " that cannot be divided by " + divideName;
  }
  return deleted + " were deleted.  The output matrix will not be the same size as the input matrix.";
}

void StandCompute(TStandRun& run) {
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader header;
  ReadMatrixHeader(*run.in, comments, header, true, {mtRectangular});
  if (run.out) {
    GuardMatrixWrite([&] {
      WriteMatrixComments(*run.out, comments.get());
      run.out->WriteLine("\" STAND: input=" + run.input + ", divide=" + run.divideName + ", subts=" + run.subtractName +
                         ", direction=" + (run.byRows ? "Row" : "Col"));
    });
  }
  const int varCode = run.byRows ? header.rowLabelCode : header.colLabelCode;
  const int objectCode = run.byRows ? header.colLabelCode : header.rowLabelCode;
  const std::int32_t p = run.byRows ? header.rows : header.cols;
  const std::int32_t m = run.byRows ? header.cols : header.rows;
  Label_mx varLabels(varCode != lcNone ? p : 0);
  Label_mx objectLabels(objectCode != lcNone ? m : 0);
  Rect_mx x(p, m);
  Read(x, *run.in, run.byRows, {&varLabels, varCode, true}, {&objectLabels, objectCode, true});

  run.options.hasMissing = header.missingCode != 0;
  run.options.missingValue = header.missingValue;
  const std::vector<TStandVariable> stats = StandStatistics(x, run.options);
  ListStatistics(stats, varLabels, run.divideName);
  std::int32_t kept = 0;
  for (const TStandVariable& s : stats) kept += s.outcome == TStandOutcome::Standardized ? 1 : 0;
  if (kept == 0) throw E_Morvapc("All variables deleted, nothing to output");
  if (kept < p) ShowWarningMessage(DeletionWarning(stats, run.divideName));
  if (run.out) WriteStandardized(run, header, x, varLabels, objectLabels, stats, kept);
  ListingWriteLine("Standardized matrix stored in file: " + run.output);
}

}  // namespace

void StandDescribe(TModuleRec& module) {
  DescribeAs(module, "Stand", "Standardize data matrix", 520, StandRun, kParams, StandRelease);
}

void StandRelease() {}

void StandRun(std::span<const TParamRec> params) {
  Progress("", 0);
  TStandRun run;
  run.input = params[pInput].fileName;
  run.byRows = params[pByRows].check;
  run.output = params[pOutput].fileName;
  const auto& subtract = ChosenFacts(kSubtract, params[pSubtract]);
  const auto& divide = ChosenFacts(kDivide, params[pDivide]);
  run.subtractName = subtract.name;
  run.divideName = divide.name;
  run.options.subtract = subtract.item;
  run.options.divide = divide.item;
  run.options.constant = params[pConstant].real;

  ListInputParameters(run.input);
  ListingWriteLine("Standardize by: " + std::string(DirectionWord(run.byRows)));
  ListOutputFile(run.output);
  if (!run.subtractName.empty()) ListingWriteLine("Subtract: " + run.subtractName);
  if (!run.divideName.empty()) ListingWriteLine("Divide by: " + run.divideName);
  if (run.options.constant != 0) ListingWriteLine(rtl::Format("Add constant: %10.5f", run.options.constant));
  ListingWriteLine("");

  if (!run.Open("standardized data")) return;
  ForEachDataSet(*run.in, [&] { StandCompute(run); });
  run.Finish();
}
