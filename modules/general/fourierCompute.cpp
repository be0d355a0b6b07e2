#include "modules/general/fourierCompute.h"

#include <cmath>
#include <numbers>

#include "rtl/Convert.h"
#include "shell/Progress.h"

namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;

std::size_t At(std::int32_t i) { return static_cast<std::size_t>(i); }

// Progress "Computing" at base + share (i - 1) / n rounded.
void ProgressShare(std::int32_t base, std::int32_t share, std::int32_t i, std::int32_t n) {
  const long double percent = static_cast<long double>(share) * (i - 1) / n;
  Progress("Computing", base + static_cast<std::int32_t>(rtl::Round(percent)));
}

// The steps of a closed outline: from each point to the next and from the
// last back to the first, with their lengths.
struct TSteps {
  std::int32_t dimensions;
  std::vector<long double> delta;   // the step's coordinates, dimensions a step
  std::vector<long double> length;  // its length
};

TSteps OutlineSteps(std::span<const double> points, std::int32_t dimensions) {
  const auto count = static_cast<std::int32_t>(points.size()) / dimensions;
  TSteps steps{dimensions, std::vector<long double>(points.size()), std::vector<long double>(At(count))};
  for (std::int32_t p = 0; p < count; ++p) {
    const std::int32_t next = p + 1 < count ? p + 1 : 0;
    long double squares = 0;
    for (std::int32_t c = 0; c < dimensions; ++c) {
      const long double d =
          static_cast<long double>(points[At(next * dimensions + c)]) - points[At(p * dimensions + c)];
      steps.delta[At(p * dimensions + c)] = d;
      squares += d * d;
    }
    steps.length[At(p)] = std::sqrt(squares);
  }
  return steps;
}

}  // namespace

double FourierArcTan2(double y, double x) {
  const double halfPi = std::numbers::pi / 2;
  if (x == 0) return y > 0 ? halfPi : -halfPi;
  if (x > 0) return std::atan(y / x);
  if (y == 0) return std::numbers::pi;
  return y > 0 ? std::atan(y / x) + std::numbers::pi : std::atan(y / x) - std::numbers::pi;
}

void FourierNormalizeAngle(double& angle) {
  const double twoPi = 2 * std::numbers::pi;
  while (angle > twoPi || angle < -twoPi) angle += angle > twoPi ? -twoPi : twoPi;
  if (angle > std::numbers::pi) {
    angle -= twoPi;
  } else if (angle < -std::numbers::pi) {
    angle += twoPi;
  }
}

double FourierOutlineArea(std::span<const double> points) {
  const std::size_t count = points.size() / 2;
  long double sum = 0;
  for (std::size_t k = 0; k < count; ++k) {
    const std::size_t next = k + 1 < count ? k + 1 : 0;
    sum += (static_cast<long double>(points[2 * k]) - points[2 * next]) *
           (static_cast<long double>(points[2 * k + 1]) + points[2 * next + 1]);
  }
  return static_cast<double>(std::fabs(0.5L * sum));
}

double FourierOutlinePerimeter(std::span<const double> points) {
  const TSteps steps = OutlineSteps(points.first(points.size() / 2 * 2), 2);
  long double sum = 0;
  for (const long double length : steps.length) sum += length;
  return static_cast<double>(sum);
}

std::vector<double> FourierRadiiPolygon(std::span<const double> radii) {
  const auto K = static_cast<long double>(radii.size());
  std::vector<double> points;
  points.reserve(2 * radii.size());
  for (std::size_t k = 0; k < radii.size(); ++k) {
    const long double angle = 2 * kPi * static_cast<long double>(k) / K;
    points.push_back(static_cast<double>(radii[k] * std::cos(angle)));
    points.push_back(static_cast<double>(radii[k] * std::sin(angle)));
  }
  return points;
}

TEllipticFourier FourierEFA(std::span<const double> points, std::int32_t dimensions, std::int32_t harmonics) {
  const TSteps steps = OutlineSteps(points, dimensions);
  const auto P = static_cast<std::int32_t>(steps.length.size());
  const auto dims = At(dimensions);

  // The length and the constant terms.
  std::vector<long double> sums(dims, 0.0L), accumulated(dims, 0.0L);
  long double t = 0;
  for (std::int32_t p = 1; p <= P; ++p) {
    ProgressShare(0, 50, p, P);
    const long double dt = steps.length[At(p - 1)];
    if (dt <= 0) continue;
    const long double previous = t;
    t += dt;
    for (std::size_t c = 0; c < dims; ++c) {
      const long double d = steps.delta[At(p - 1) * dims + c];
      const long double u = d / dt;
      const long double xi = p == 1 ? 0.0L : sums[c] - u * previous;
      accumulated[c] += 0.5L * u * (t * t - previous * previous) + xi * dt;
      sums[c] += d;
    }
  }
  TEllipticFourier fit;
  fit.length = static_cast<double>(t);
  for (std::size_t c = 0; c < dims; ++c) {
    const long double first = points.empty() ? 0.0L : points[c];
    fit.constants.push_back(static_cast<double>(t > 0 ? accumulated[c] / t + first : first));
  }

  // The harmonics.
  for (std::int32_t n = 1; n <= harmonics; ++n) {
    ProgressShare(50, 50, n, harmonics);
    std::vector<long double> coefficients(2 * dims, 0.0L);
    if (t > 0) {
      const long double omega = 2 * n * kPi / t;
      long double phi = 0, cosBefore = 1, sinBefore = 0;
      for (std::int32_t p = 1; p <= P; ++p) {
        const long double dt = steps.length[At(p - 1)];
        if (dt <= 0) continue;
        phi += omega * dt;
        const long double cosNow = std::cos(phi), sinNow = std::sin(phi);
        for (std::size_t c = 0; c < dims; ++c) {
          const long double u = steps.delta[At(p - 1) * dims + c] / dt;
          coefficients[2 * c] += u * (cosNow - cosBefore);
          coefficients[2 * c + 1] += u * (sinNow - sinBefore);
        }
        cosBefore = cosNow;
        sinBefore = sinNow;
      }
      for (long double& k : coefficients) k /= n * omega * kPi;
    }
    fit.harmonics.emplace_back(coefficients.begin(), coefficients.end());
  }
  return fit;
}

TFirstHarmonic FourierFirstHarmonic(const TEllipticFourier& fit) {
  const std::vector<double>& h = fit.harmonics.at(0);
  const double a = h[0], b = h[1], c = h[2], d = h[3];
  TFirstHarmonic first;
  first.theta = 0.5 * FourierArcTan2(2 * (a * b + c * d), a * a + c * c - b * b - d * d);
  const double aStar = a * std::cos(first.theta) + b * std::sin(first.theta);
  const double cStar = c * std::cos(first.theta) + d * std::sin(first.theta);
  first.psi = FourierArcTan2(cStar, aStar);
  first.radius = std::sqrt(aStar * aStar + cStar * cStar);
  return first;
}

void FourierNormalize(TEllipticFourier& fit, double psi, double theta, double scale) {
  const double cosPsi = std::cos(psi), sinPsi = std::sin(psi);
  for (std::size_t n = 1; n <= fit.harmonics.size(); ++n) {
    std::vector<double>& h = fit.harmonics[n - 1];
    const double cosN = std::cos(static_cast<double>(n) * theta), sinN = std::sin(static_cast<double>(n) * theta);
    const double xa = cosPsi * h[0] + sinPsi * h[2], xb = cosPsi * h[1] + sinPsi * h[3];
    const double ya = -sinPsi * h[0] + cosPsi * h[2], yb = -sinPsi * h[1] + cosPsi * h[3];
    h[0] = (xa * cosN + xb * sinN) / scale;
    h[1] = (-xa * sinN + xb * cosN) / scale;
    h[2] = (ya * cosN + yb * sinN) / scale;
    h[3] = (-ya * sinN + yb * cosN) / scale;
  }
  const double a0 = fit.constants[0], c0 = fit.constants[1];
  fit.constants[0] = (cosPsi * a0 + sinPsi * c0) / scale;
  fit.constants[1] = (-sinPsi * a0 + cosPsi * c0) / scale;
}

std::vector<double> FourierInverseEFA(std::span<const double> coefficients, std::int32_t dimensions, std::int32_t H,
                                      std::int32_t count) {
  const auto dims = At(dimensions);
  std::vector<double> points;
  points.reserve(At(count) * dims);
  for (std::int32_t p = 1; p <= count; ++p) {
    ProgressShare(0, 100, p, count);
    const long double t = (p - 1) * 2 * kPi / count;
    std::vector<long double> point(coefficients.begin(), coefficients.begin() + dimensions);
    long double angle = 0;
    for (std::int32_t n = 1; n <= H; ++n) {
      angle += t;
      const long double cosine = std::cos(angle), sine = std::sin(angle);
      const std::size_t first = dims + 2 * dims * At(n - 1);
      for (std::size_t c = 0; c < dims; ++c) {
        point[c] += coefficients[first + 2 * c] * cosine + coefficients[first + 2 * c + 1] * sine;
      }
    }
    for (const long double x : point) points.push_back(static_cast<double>(x));
  }
  return points;
}

std::vector<TRadiusHarmonic> FourierEqualSpaced(std::span<const double> radii, std::int32_t N, bool rotate) {
  const auto K = static_cast<std::int32_t>(radii.size());
  const long double h = 2.0L / K, step = kPi * h;
  const long double cosStep = std::cos(step), sinStep = std::sin(step);
  long double c = 1, s = 0;
  double phase1 = 0;
  std::vector<TRadiusHarmonic> harmonics;
  for (std::int32_t n = 0; n <= N; ++n) {
    Progress("Computing", static_cast<std::int32_t>(rtl::Round(100.0L * n / N)));
    // Clenshaw's recurrence for the sums of rk cos(n (k - 1) step) and rk sin(...).
    long double u1 = 0, u2 = 0;
    for (std::int32_t k = K; k >= 2; --k) {
      const long double u0 = radii[At(k - 1)] + 2 * c * u1 - u2;
      u2 = u1;
      u1 = u0;
    }
    TRadiusHarmonic harmonic;
    harmonic.A = static_cast<double>((c * u1 + radii[0] - u2) * h);
    harmonic.B = static_cast<double>(s * u1 * h);
    const long double turned = s * cosStep + c * sinStep;
    c = c * cosStep - s * sinStep;
    s = turned;
    harmonic.amplitude = std::sqrt(harmonic.A * harmonic.A + harmonic.B * harmonic.B);
    harmonic.phase = FourierArcTan2(harmonic.A, harmonic.B);
    if (rotate) {
      if (n == 1) {
        phase1 = harmonic.phase;
        harmonic.phase = 0;
      } else if (n >= 2) {
        harmonic.phase -= n * phase1;
      }
      FourierNormalizeAngle(harmonic.phase);
      harmonic.A = harmonic.amplitude * std::sin(harmonic.phase);
      harmonic.B = harmonic.amplitude * std::cos(harmonic.phase);
    }
    harmonics.push_back(harmonic);
  }
  return harmonics;
}
