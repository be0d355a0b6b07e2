#include "matrix/Probd.h"

#include <cmath>

namespace {

bool probError = false;

// Series and continued fractions stop when the last step changes the result
// by less than this fraction of it. Near x = a the series terms shrink slowly
// and the tail left behind is many times the last term, so the bound is kept
// well below the accuracy the callers print (1e-6 at df in the thousands).
constexpr long double kEps = 1e-10L;

// The loops converge in a number of steps that grows with the square root of
// the shape parameters; this limit leaves room for degrees of freedom far
// beyond any data set, and a loop that converges stops at the same step
// whatever the limit.
constexpr int kMaxIterations = 10000;

long double Fail() {
  probError = true;
  return 0.0L;
}

}  // namespace

bool ProbErrorSet() { return probError; }

void ClearProbError() { probError = false; }

long double LnGamma(long double xx) {
  static constexpr long double coefficients[] = {76.18009173L,  -86.50532033L,   24.01409822L,
                                                 -1.231739516L, 0.120858003e-2L, -0.536382e-5L};
  long double x = xx - 1.0L;
  long double tmp = x + 5.5L;
  tmp = (x + 0.5L) * std::log(tmp) - tmp;
  long double ser = 1.0L;
  for (long double c : coefficients) {
    x += 1.0L;
    ser += c / x;
  }
  return tmp + std::log(2.50662827465L * ser);
}

long double GammaSeries(long double a, long double x, long double& lnGammaA) {
  lnGammaA = LnGamma(a);
  if (x < 0.0L) return Fail();
  if (x == 0.0L) return 0.0L;
  long double ap = a;
  long double del = 1.0L / a;
  long double sum = del;
  for (int n = 1; n <= kMaxIterations; ++n) {
    ap += 1.0L;
    del *= x / ap;
    sum += del;
    if (std::fabs(del) < std::fabs(sum) * kEps) return sum * std::exp(-x + a * std::log(x) - lnGammaA);
  }
  return Fail();
}

long double GammaContFrac(long double a, long double x, long double& lnGammaA) {
  lnGammaA = LnGamma(a);
  long double gold = 0.0L, a0 = 1.0L, a1 = x, b0 = 0.0L, b1 = 1.0L, fac = 1.0L;
  for (int n = 1; n <= kMaxIterations; ++n) {
    const long double ana = n - a;
    a0 = (a1 + a0 * ana) * fac;
    b0 = (b1 + b0 * ana) * fac;
    const long double anf = n * fac;
    a1 = x * a0 + anf * a1;
    b1 = x * b0 + anf * b1;
    if (a1 == 0.0L) continue;
    fac = 1.0L / a1;
    const long double g = b1 * fac;
    if (std::fabs((g - gold) / g) < kEps) {
      const long double e = -x + a * std::log(x) - lnGammaA;
      return e < -10000.0L ? 0.0L : std::exp(e) * g;
    }
    gold = g;
  }
  return Fail();
}

long double GammaP(long double a, long double x) {
  if (!(x >= 0.0L) || !(a > 0.0L)) return Fail();  // also NaN
  long double lnGammaA;
  if (x < a + 1.0L) return GammaSeries(a, x, lnGammaA);
  const long double q = GammaContFrac(a, x, lnGammaA);
  return probError ? 0.0L : 1.0L - q;
}

long double BetaContFrac(long double a, long double b, long double x) {
  long double am = 1.0L, bm = 1.0L, az = 1.0L;
  const long double qab = a + b, qap = a + 1.0L, qam = a - 1.0L;
  long double bz = 1.0L - qab * x / qap;
  for (int m = 1; m <= kMaxIterations; ++m) {
    const long double em = m;
    const long double tem = em + em;
    long double d = em * (b - em) * x / ((qam + tem) * (a + tem));
    const long double ap = az + d * am;
    const long double bp = bz + d * bm;
    d = -(a + em) * (qab + em) * x / ((a + tem) * (qap + tem));
    const long double app = ap + d * az;
    const long double bpp = bp + d * bz;
    const long double aold = az;
    am = ap / bpp;
    bm = bp / bpp;
    az = app / bpp;
    bz = 1.0L;
    if (std::fabs(az - aold) < kEps * std::fabs(az)) return az;
  }
  return Fail();
}

long double BetaI(long double a, long double b, long double x) {
  // ln Γ is undefined at shape parameters <= 0; NaN fails every comparison.
  if (!(a > 0.0L) || !(b > 0.0L) || !(x >= 0.0L && x <= 1.0L)) return Fail();
  long double bt = 0.0L;
  if (x != 0.0L && x != 1.0L)
    bt = std::exp(LnGamma(a + b) - LnGamma(a) - LnGamma(b) + a * std::log(x) + b * std::log(1.0L - x));
  if (x < (a + 1.0L) / (a + b + 2.0L)) return bt * BetaContFrac(a, b, x) / a;
  return 1.0L - bt * BetaContFrac(b, a, 1.0L - x) / b;
}

double ChiSqProb(double chi2, double df) {
  ClearProbError();
  // A statistic that rounding pushed just below 0 is still "no deviation".
  if (chi2 <= 0.0 && df > 0.0) return 1.0;
  const long double p = GammaP(0.5L * df, 0.5L * chi2);
  return probError ? 0.0 : static_cast<double>(1.0L - p);
}

double FProb(double f, double df1, double df2) {
  ClearProbError();
  const long double n1 = df1, n2 = df2;
  const long double x = n2 / (n2 + n1 * f);
  const long double p = BetaI(0.5L * n2, 0.5L * n1, x);
  return probError ? 99.0 : static_cast<double>(p);
}
