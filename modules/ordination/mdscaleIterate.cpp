#include "modules/ordination/mdscaleIterate.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "matrix/Constu.h"
#include "rtl/Format.h"
#include "shell/Progress.h"

namespace {

// A distance of exactly 0 would divide the gradient by 0; it counts as this.
constexpr double kZeroDistance = 1e-05;
// Below this gradient size a pass is taken without the acceptance test.
constexpr double kTinyGradient = 1e-05;
// The slope LINEAR takes instead of a negative one.
constexpr double kSlopeFloor = 0.01;
// The weights of the running averages of the cosine and of its size.
constexpr double kCosineWeight = 0.66;
constexpr double kAbsoluteCosineWeight = 0.66;
// Passes refused in a row before one is taken whatever it gives.
constexpr std::int32_t kMaxBacktracks = 4;
// Stop rules 2 to 5 apply from this iteration on.
constexpr std::int32_t kFirstFullStopTest = 5;

double Square(double x) { return x * x; }

}  // namespace

// ---- The configuration ----

TMdscaleConfiguration::TMdscaleConfiguration(const Rect_mx& x) : TMdscaleConfiguration(x.rows(), x.cols()) {
  for (std::int32_t i = 1; i <= n_; ++i)
    for (std::int32_t a = 1; a <= k_; ++a) Point(i)[a - 1] = x.getxij(i, a);
}

void TMdscaleConfiguration::CopyTo(Rect_mx& x) const {
  for (std::int32_t i = 1; i <= n_; ++i)
    for (std::int32_t a = 1; a <= k_; ++a) x.putxij(i, a, Point(i)[a - 1]);
}

// ---- The regressions ----

// A block from s to e keeps its size in sizes[s] and sizes[e] and the sum of
// its values in values[s]; the positions between are stale until the blocks
// are expanded at the end.
void MonotoneRegression(std::span<double> values, std::vector<std::int32_t>& blockSizes) {
  const std::size_t m = values.size();
  blockSizes.assign(m, 1);
  std::vector<std::int32_t>& size = blockSizes;
  const auto mean = [&](std::size_t s) { return static_cast<long double>(values[s]) / size[s]; };
  // Joins the block at `second` to the block at `first`, which ends just before it.
  const auto merge = [&](std::size_t first, std::size_t second) {
    const std::int32_t joined = size[first] + size[second];
    values[first] += values[second];
    size[first] = joined;
    size[first + static_cast<std::size_t>(joined) - 1] = joined;
  };

  std::size_t s = 0;
  while (s < m) {
    // Look up and down in turn, starting up, until two looks in a row merge nothing.
    std::int32_t quietLooks = 0;
    for (bool up = true; quietLooks < 2; up = !up) {
      bool merged = false;
      if (up) {
        const std::size_t next = s + static_cast<std::size_t>(size[s]);
        if (next < m && mean(s) >= mean(next)) {
          merge(s, next);
          merged = true;
        }
      } else if (s > 0) {
        const std::size_t previous = s - static_cast<std::size_t>(size[s - 1]);
        if (mean(previous) >= mean(s)) {
          merge(previous, s);
          s = previous;
          merged = true;
        }
      }
      quietLooks = merged ? 0 : quietLooks + 1;
    }
    s += static_cast<std::size_t>(size[s]);
  }

  for (s = 0; s < m; s += static_cast<std::size_t>(size[s])) {
    if (size[s] > 1)
      std::fill_n(values.begin() + static_cast<std::ptrdiff_t>(s), size[s], static_cast<double>(mean(s)));
  }
}

void LinearRegression(std::span<double> values, std::span<const double> delta) {
  long double product = 0;
  long double squares = 0;
  for (std::size_t m = 0; m < values.size(); ++m) {
    product += static_cast<long double>(values[m]) * delta[m];
    squares += static_cast<long double>(delta[m]) * delta[m];
  }
  if (squares == 0) throw E_Morvapc("All dissimilarities are zero: no LINEAR regression can be fitted");
  double slope = static_cast<double>(product / squares);
  if (slope < 0) slope = kSlopeFloor;
  for (std::size_t m = 0; m < values.size(); ++m) values[m] = slope * delta[m];
}

// ---- Distances, stress and gradient ----

double PairDistances(const TMdscaleConfiguration& x, std::span<const TMdscalePair> pairs, std::span<double> d) {
  const std::int32_t k = x.k();
  long double sum = 0;
  for (std::size_t m = 0; m < pairs.size(); ++m) {
    const double* xi = x.Point(pairs[m].i);
    const double* xj = x.Point(pairs[m].j);
    double squares = 0;
    for (std::int32_t a = 0; a < k; ++a) squares += Square(xi[a] - xj[a]);
    d[m] = std::sqrt(squares);
    sum += d[m];
  }
  return pairs.empty() ? 0.0 : static_cast<double>(sum / static_cast<long double>(pairs.size()));
}

TStressTerms StressTerms(std::span<const double> d, std::span<const double> dhat, double reference) {
  TStressTerms terms;
  terms.reference = reference;
  for (std::size_t m = 0; m < d.size(); ++m) {
    terms.sStar += Square(d[m] - dhat[m]);
    terms.tStar += Square(d[m] - reference);
  }
  const long double rootT = std::sqrt(terms.tStar);
  terms.stress = rootT > 0 ? static_cast<double>(std::sqrt(terms.sStar) / rootT) : 0.0;
  return terms;
}

TStressTerms FitAndStress(std::span<const double> d, std::span<double> dhat, std::span<const double> delta,
                          double meanDistance, const TMdscaleSettings& settings,
                          std::vector<std::int32_t>& blockSizes) {
  std::copy(d.begin(), d.end(), dhat.begin());
  if (settings.regression == TMdscaleRegression::Mono) {
    MonotoneRegression(dhat, blockSizes);
  } else {
    LinearRegression(dhat, delta);
  }
  const double reference = settings.coefficient == TMdscaleStress::Stress2 ? meanDistance : 0.0;
  const TStressTerms terms = StressTerms(d, dhat, reference);
  if (terms.tStar == 0 && terms.sStar > 0) {
    throw E_Morvapc("Every distance in the configuration equals their mean: STRESS2 cannot be computed");
  }
  return terms;
}

void AddStressGradient(const TMdscaleConfiguration& x, std::span<const TMdscalePair> pairs, std::span<double> d,
                       std::span<const double> dhat, const TStressTerms& terms, std::span<double> gradient) {
  const std::int32_t k = x.k();
  const long double rootS = std::sqrt(terms.sStar);
  const long double rootT = std::sqrt(terms.tStar);
  const double spread = static_cast<double>(rootS / (terms.tStar * rootT));  // weight of d - r
  const double misfit = static_cast<double>(1 / (rootS * rootT));            // weight of d - dhat
  const double r = terms.reference;
  for (std::size_t m = 0; m < pairs.size(); ++m) {
    if (d[m] == 0) d[m] = kZeroDistance;
    const double c = ((d[m] - r) * spread - (d[m] - dhat[m]) * misfit) / d[m];
    const double* xi = x.Point(pairs[m].i);
    const double* xj = x.Point(pairs[m].j);
    double* gi = gradient.data() + static_cast<std::size_t>(pairs[m].i - 1) * k;
    double* gj = gradient.data() + static_cast<std::size_t>(pairs[m].j - 1) * k;
    for (std::int32_t a = 0; a < k; ++a) {
      const double delta = c * (xi[a] - xj[a]);
      gi[a] += delta;
      gj[a] -= delta;
    }
  }
}

// ---- Step size and stop rules ----

void MdscaleStepSize(TMdscaleStep& state, std::int32_t iteration, double cosine, double stress, double gradientSize,
                     double stressRatio) {
  state.cosineAverage = kCosineWeight * cosine + (1 - kCosineWeight) * state.cosineAverage;
  state.absoluteCosineAverage =
      kAbsoluteCosineWeight * std::abs(cosine) + (1 - kAbsoluteCosineWeight) * state.absoluteCosineAverage;
  if (stressRatio > 0) {
    state.stressRatioAverage = std::exp(0.33333 * std::log(stressRatio) + 0.66667 * std::log(state.stressRatioAverage));
  }
  if (iteration <= 0) {
    state.step = 25 * stress * gradientSize;
    return;
  }
  const double angle = std::pow(4.0, state.cosineAverage);
  const double e = state.stressRatioAverage > 1 ? std::pow(state.stressRatioAverage, 5) : 1.0;
  const double relaxation = 1.3 / ((1 + e) * (1 + state.absoluteCosineAverage - std::abs(state.cosineAverage)));
  const double goodLuck = stressRatio < 1 ? std::sqrt(stressRatio) : 1.0;
  const double candidate = state.step * angle * relaxation * goodLuck;
  state.step = std::min(candidate, 2 * state.step);
}

TMdscaleStop MdscaleStopRule(const TMdscaleSettings& settings, std::int32_t iteration, double stress,
                             double gradientSize, double stressRatio, double stressRatioAverage) {
  if (iteration < kFirstFullStopTest) {
    return stress <= settings.minStress ? TMdscaleStop::TooGoodToBeTrue : TMdscaleStop::None;
  }
  if (gradientSize <= settings.minGradient) return TMdscaleStop::MinimumGradient;
  // The window MR .. 1 (for MR up to 1) of the stress ratio and its average.
  const double centre = (1 + settings.maxStressRatio) * 0.5;
  const double halfWidth = 1 - centre;
  if (std::abs(stressRatio - centre) <= halfWidth) {
    return std::abs(stressRatioAverage - centre) <= halfWidth ? TMdscaleStop::MinimumStressRatio : TMdscaleStop::None;
  }
  if (stress <= settings.minStress) return TMdscaleStop::SatisfactoryStress;
  if (settings.maxIterations <= iteration) return TMdscaleStop::MaximumIterations;
  return TMdscaleStop::None;
}

// ---- The iterations ----

namespace {

void ListStop(TMdscaleStop stop, std::int32_t iteration) {
  ListingWriteLine("");
  switch (stop) {
    case TMdscaleStop::TooGoodToBeTrue:
      ListingWriteLine(rtl::Format("Satisfactory stress was reached in only %d iterations.", iteration));
      ListingWriteLine("This may be too good to be true!  Please double-check the results");
      ListingWriteLine("and the parameters used.");
      break;
    case TMdscaleStop::MinimumGradient:
    case TMdscaleStop::MinimumStressRatio: ListingWriteLine("Minimum was achieved"); break;
    case TMdscaleStop::SatisfactoryStress: ListingWriteLine("Satisfactory stress was reached"); break;
    case TMdscaleStop::MaximumIterations: ListingWriteLine("Maximum number of iterations were used"); break;
    case TMdscaleStop::None: break;
  }
}

// One call of MdscaleIterate: the configuration, its gradient and the state
// carried from pass to pass.
class TMdscaleIteration {
 public:
  TMdscaleIteration(const Rect_mx& x, std::span<const TMdscalePair> pairs, std::span<double> d, std::span<double> dhat,
                    std::span<const double> delta, const TMdscaleSettings& settings)
      : x_(x),
        pairs_(pairs),
        d_(d),
        dhat_(dhat),
        delta_(delta),
        settings_(settings),
        gradient_(x_.Values().size(), std::sqrt(1.0 / x_.k())),
        previousGradient_(gradient_.size()),
        gradientSize_(std::sqrt(static_cast<double>(x_.n()))) {}

  const TMdscaleConfiguration& Run() {
    ListingWriteLine("Iteration Stress  SRat  SRatAv  SfGr     Step");
    Progress("Computing", 5);
    for (;;) {
      Progress("", -2);
      while (!PassAccepted()) Backtrack();
      stressRatio_ = iteration_ == 0 ? 0.8 : stress_ / previousStress_;
      MdscaleStepSize(step_, iteration_, cosine_, stress_, gradientSize_, stressRatio_);
      backtracks_ = 0;
      ListingWriteLine(rtl::Format("%5d%11.3f%7.3f%7.3f%8.4f%8.4f", iteration_, stress_, stressRatio_,
                                   step_.stressRatioAverage, gradientSize_, step_.step));
      Progress("", -2);
      const TMdscaleStop stop =
          MdscaleStopRule(settings_, iteration_, stress_, gradientSize_, stressRatio_, step_.stressRatioAverage);
      if (stop != TMdscaleStop::None) ListStop(stop, iteration_);
      Progress("", -2);
      if (stop != TMdscaleStop::None) break;
      Move();
    }
    ListingWriteLine("");
    ListingWriteLine(rtl::Format("Final %s = %8.5f", settings_.coefficientName, stress_));
    Progress("Done, output results", 95);
    return x_;
  }

 private:
  // Centres every dimension and scales the configuration to a sum of squares
  // of n; returns the scale factor.
  double Normalise() {
    const std::int32_t n = x_.n();
    const std::int32_t k = x_.k();
    for (std::int32_t a = 0; a < k; ++a) {
      long double sum = 0;
      for (std::int32_t i = 1; i <= n; ++i) sum += x_.Point(i)[a];
      const double mean = static_cast<double>(sum / n);
      for (std::int32_t i = 1; i <= n; ++i) x_.Point(i)[a] -= mean;
    }
    long double squares = 0;
    for (const double v : x_.Values()) squares += static_cast<long double>(v) * v;
    const double scale = squares > 0 ? static_cast<double>(std::sqrt(n / squares)) : 1.0;
    for (double& v : x_.Values()) v *= scale;
    return scale;
  }

  // One pass over the configuration as it stands: its fit, stress and
  // gradient. True when the pass is taken.
  bool PassAccepted() {
    scale_ = Normalise();
    for (std::size_t e = 0; e < gradient_.size(); ++e) previousGradient_[e] = scale_ * gradient_[e];
    previousGradientSize_ = scale_ * gradientSize_;
    previousStress_ = stress_;
    std::fill(gradient_.begin(), gradient_.end(), 0.0);

    const double meanDistance = PairDistances(x_, pairs_, d_);
    const TStressTerms terms = FitAndStress(d_, dhat_, delta_, meanDistance, settings_, blockSizes_);
    stress_ = terms.stress;
    if (terms.sStar > 0) AddStressGradient(x_, pairs_, d_, dhat_, terms, gradient_);

    if (stress_ > 0) {
      long double squares = 0;
      long double product = 0;
      for (std::size_t e = 0; e < gradient_.size(); ++e) {
        squares += static_cast<long double>(gradient_[e]) * gradient_[e];
        product += static_cast<long double>(gradient_[e]) * previousGradient_[e];
      }
      gradientSize_ = static_cast<double>(std::sqrt(squares / x_.n()));
      product_ = static_cast<double>(product);
    } else {
      gradientSize_ = 0;
    }
    if (gradientSize_ < kTinyGradient) {
      cosine_ = product_;
      return true;
    }
    cosine_ = product_ / (gradientSize_ * previousGradientSize_ * x_.n());
    return iteration_ == 0 || backtracks_ >= kMaxBacktracks || (cosine_ > -0.95 && stress_ / previousStress_ < 1.2001);
  }

  // Refuses the pass: a tenth of the step, the configuration moved back to
  // it, and the gradient and stress of the pass before.
  void Backtrack() {
    ++backtracks_;
    const double refused = step_.step;
    step_.step = 0.1 * refused;
    ListingWriteLine(rtl::Format("%5s%11.3f%14s%8s%8.4f", "", stress_, "", "", step_.step));
    const double back = (refused - step_.step) / previousGradientSize_ * scale_;
    std::span<double> x = x_.Values();
    for (std::size_t e = 0; e < x.size(); ++e) x[e] -= back * previousGradient_[e];
    gradient_ = previousGradient_;
    stress_ = previousStress_;
  }

  void Move() {
    ++iteration_;
    if (gradientSize_ <= 0) return;
    const double factor = step_.step / gradientSize_;
    std::span<double> x = x_.Values();
    for (std::size_t e = 0; e < x.size(); ++e) x[e] += factor * gradient_[e];
  }

  TMdscaleConfiguration x_;
  std::span<const TMdscalePair> pairs_;
  std::span<double> d_;
  std::span<double> dhat_;
  std::span<const double> delta_;
  const TMdscaleSettings& settings_;
  std::vector<std::int32_t> blockSizes_;

  std::vector<double> gradient_;          // G
  std::vector<double> previousGradient_;  // G_prev
  double gradientSize_;                   // g
  double previousGradientSize_ = 0;       // r_g
  double scale_ = 1;                      // s of the current pass
  double product_ = 0;                    // P
  double cosine_ = 0;
  double stress_ = 1.0;  // S
  double previousStress_ = 1.0;
  double stressRatio_ = 0.8;
  TMdscaleStep step_;
  std::int32_t iteration_ = 0;
  std::int32_t backtracks_ = 0;
};

}  // namespace

void MdscaleIterate(Rect_mx& x, std::span<const TMdscalePair> pairs, std::span<double> d, std::span<double> dhat,
                    std::span<const double> delta, const TMdscaleSettings& settings) {
  TMdscaleIteration(x, pairs, d, dhat, delta, settings).Run().CopyTo(x);
}
