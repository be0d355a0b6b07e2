#pragma once
// Kruskal's multidimensional scaling, the numerical core: moves a
// configuration of n points in k dimensions down the gradient of the stress,
// a step size adapted from the history of the gradients and of the stress,
// fitting at every pass the configuration's distances d to the
// dissimilarities, either monotonically (MONO) or proportionally (LINEAR).
//
// Stress: with r = 0 (STRESS1) or the mean distance (STRESS2),
//   S = sqrt(S* / T*),  S* = sum (d - dhat)^2,  T* = sum (d - r)^2,
// and S = 0 when T* = 0. The gradient is -dS/dX with dhat held fixed.
//
// Input: pairs (i, j) of points 1 .. n with j < i, each pair once; for MONO
// in the order of increasing dissimilarity, for LINEAR with the
// dissimilarities beside them. Values are finite. A LINEAR fit needs a
// dissimilarity other than 0, and STRESS2 a spread in the distances while the
// fit is not exact: either lack raises E_Morvapc rather than let a division
// by 0 put NaN into the configuration.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "matrix/Matrixob.h"

// A pair of points, numbered from 1: i the row of the lower triangle, j < i.
// One 32-bit record, i in the low half.
struct TMdscalePair {
  std::uint16_t i = 0;
  std::uint16_t j = 0;
};
static_assert(sizeof(TMdscalePair) == 4);

enum class TMdscaleRegression : std::uint8_t { Linear, Mono };
enum class TMdscaleStress : std::uint8_t { Stress1, Stress2 };

struct TMdscaleSettings {
  TMdscaleRegression regression = TMdscaleRegression::Mono;
  TMdscaleStress coefficient = TMdscaleStress::Stress1;
  std::string_view coefficientName = "STRESS1";  // for the final line of the listing
  std::int32_t maxIterations = 4;                // MI
  double minStress = 0;                          // MS
  double maxStressRatio = 0;                     // MR
  double minGradient = 0;                        // MG
};

// The configuration, point by point: the k coordinates of point i (from 1)
// lie side by side.
class TMdscaleConfiguration {
 public:
  explicit TMdscaleConfiguration(const Rect_mx& x);
  TMdscaleConfiguration(std::int32_t n, std::int32_t k) : n_(n), k_(k), x_(static_cast<std::size_t>(n) * k) {}

  std::int32_t n() const { return n_; }
  std::int32_t k() const { return k_; }
  double* Point(std::int32_t i) { return x_.data() + static_cast<std::size_t>(i - 1) * k_; }
  const double* Point(std::int32_t i) const { return x_.data() + static_cast<std::size_t>(i - 1) * k_; }
  std::span<double> Values() { return x_; }
  std::span<const double> Values() const { return x_; }
  void CopyTo(Rect_mx& x) const;

 private:
  std::int32_t n_;
  std::int32_t k_;
  std::vector<double> x_;
};

// Replaces values (d in the order of increasing dissimilarity) by their
// least-squares non-decreasing fit, by Kruskal's up-and-down blocks: a block
// is merged with the next one when its mean is not below the next one's, and
// with the previous one when that one's mean is not below its own. blockSizes
// is working room, resized as needed.
void MonotoneRegression(std::span<double> values, std::vector<std::int32_t>& blockSizes);

// Replaces values (d) by b * delta, b the least-squares slope through the
// origin, or 0.01 when that slope is negative. All delta 0 raises E_Morvapc.
void LinearRegression(std::span<double> values, std::span<const double> delta);

// The configuration's distance of each pair into d; returns their mean (0
// without pairs).
double PairDistances(const TMdscaleConfiguration& x, std::span<const TMdscalePair> pairs, std::span<double> d);

// The two sums of the stress and the stress itself.
struct TStressTerms {
  long double sStar = 0;  // sum (d - dhat)^2
  long double tStar = 0;  // sum (d - reference)^2
  double reference = 0;   // 0 for STRESS1, the mean distance for STRESS2
  double stress = 0;
};
TStressTerms StressTerms(std::span<const double> d, std::span<const double> dhat, double reference);

// Fits dhat to d by the settings' regression and returns the stress terms of
// the fit; meanDistance is the mean of d.
TStressTerms FitAndStress(std::span<const double> d, std::span<double> dhat, std::span<const double> delta,
                          double meanDistance, const TMdscaleSettings& settings, std::vector<std::int32_t>& blockSizes);

// Adds -dS/dX (dhat held fixed) to gradient, which is laid out like x. Needs
// sStar > 0; a distance of exactly 0 is first replaced by 1e-05 in d.
void AddStressGradient(const TMdscaleConfiguration& x, std::span<const TMdscalePair> pairs, std::span<double> d,
                       std::span<const double> dhat, const TStressTerms& terms, std::span<double> gradient);

// The step size and the averages it is adapted from, carried from one
// accepted pass to the next.
struct TMdscaleStep {
  double step = 0;
  double cosineAverage = 0;          // C
  double absoluteCosineAverage = 0;  // A
  double stressRatioAverage = 0.8;   // SRatAv
};

// Updates the step after an accepted pass of iteration `iteration` with the
// cosine between its gradient and the previous one, its stress, its gradient
// size and its stress ratio.
void MdscaleStepSize(TMdscaleStep& state, std::int32_t iteration, double cosine, double stress, double gradientSize,
                     double stressRatio);

// What ends the iterations after an accepted pass.
enum class TMdscaleStop : std::uint8_t {
  None,
  TooGoodToBeTrue,     // stress at or below MS before iteration 5
  MinimumGradient,     // gradient size at or below MG
  MinimumStressRatio,  // stress ratio and its average within MR .. 1
  SatisfactoryStress,  // stress at or below MS
  MaximumIterations,   // MI iterations done
};

// The stop rules, in their order, after the accepted pass of `iteration`.
TMdscaleStop MdscaleStopRule(const TMdscaleSettings& settings, std::int32_t iteration, double stress,
                             double gradientSize, double stressRatio, double stressRatioAverage);

// Iterates from the configuration x (n × k, changed in place) and lists every
// pass. On return x is the last pass's configuration (centred, sum of squares
// n), d its distances and dhat their fit, in the order of pairs. delta is
// read by LINEAR only. Cancel raises the user abort at a Progress call.
void MdscaleIterate(Rect_mx& x, std::span<const TMdscalePair> pairs, std::span<double> d, std::span<double> dhat,
                    std::span<const double> delta, const TMdscaleSettings& settings);
