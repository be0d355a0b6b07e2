#include "plot/mxcompStats.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "matrix/Constu.h"
#include "rtl/Convert.h"
#include "rtl/Format.h"
#include "rtl/Random.h"
#include "shell/Config.h"
#include "shell/Progress.h"

namespace {

// A sum of squares about the mean at or below this share of the sum of
// squared values is rounding noise: the matrix does not vary.
constexpr long double kInvariantShare = 1e-12L;

// Permuted statistics this close to Z, relative to |Z| (at least 1), are equal to it.
constexpr double kEqualTolerance = 1e-10;

// The t-test divides by n - 2 and (n - 2)(n - 3).
void CheckObjectCount(std::int32_t n) {
  if (n < 4) throw E_Morvapc("At least 4 objects are needed to compare two matrices");
}

// The ordered lower triangle i > j, for each pair that takes part.
template <class Visit>
void ForEachUsedPair(const TMxCompPair& pair, Visit&& visit) {
  const std::int32_t n = pair.n();
  for (std::int32_t i = 2; i <= n; ++i) {
    const std::span<const double> x = std::as_const(pair.X).Row(i);
    const std::span<const double> y = std::as_const(pair.Y).Row(i);
    for (std::int32_t j = 1; j < i; ++j) {
      if (pair.Used(i, j)) visit(i, j, x[static_cast<std::size_t>(j - 1)], y[static_cast<std::size_t>(j - 1)]);
    }
  }
}

// Every entry of the matrix that holds a value, diagonal included, becomes
// (value - mean) / scale.
void Standardize(Sym_mx& m, const TEntryMask& valid, double mean, double scale) {
  for (std::int32_t i = 1; i <= m.n(); ++i) {
    std::span<double> row = m.Row(i);
    for (std::int32_t j = 1; j <= i; ++j) {
      if (valid(i, j)) row[static_cast<std::size_t>(j - 1)] = (row[static_cast<std::size_t>(j - 1)] - mean) / scale;
    }
  }
}

// The sum of squares about the mean, refused with the matrix's warning when
// it vanishes against the sum of squared values.
long double SumOfSquares(long double sum, long double sumOfSquares, long double mean, const char* matrix) {
  const long double ss = sumOfSquares - mean * sum;
  if (ss <= kInvariantShare * sumOfSquares) {
    throw E_Morvapc(std::string("Warning: ") + matrix + "-matrix seems to be invariant, no r can be computed");
  }
  return ss;
}

// Z over the pairs i > j with Y read at (P[i], P[j]); p holds P 0-based at
// 1..n. With masks, pairs without a value on either side are left out.
template <bool kMasks>
double PermutedSum(const TMxCompPair& pair, const std::vector<std::int32_t>& p) {
  const double* y = std::as_const(pair.Y).Row(1).data();
  double z = 0;
  for (std::int32_t i = 2; i <= pair.n(); ++i) {
    const std::span<const double> x = std::as_const(pair.X).Row(i);
    const std::int32_t pi = p[static_cast<std::size_t>(i)];
    for (std::int32_t j = 1; j < i; ++j) {
      const std::int32_t pj = p[static_cast<std::size_t>(j)];
      if constexpr (kMasks) {
        if (!pair.XValid(i, j) || !pair.YValid(pi, pj)) continue;
      }
      z += x[static_cast<std::size_t>(j - 1)] * y[PackedIndex(pi, pj)];
    }
  }
  return z;
}

// "%e" for values too large or too small for the listing format.
std::string FormatZ(double z, const std::string& format) {
  const double a = std::fabs(z);
  return rtl::Format(a > 1e11 || a < 1e-5 ? std::string("%e") : "%" + format, z);
}

void ListCounts(const TMxCompCounts& counts, std::int32_t np) {
  ListingWriteLine("");
  ListingWriteLine(rtl::Format("Out of %d random permutations:", np));
  ListingWriteLine(rtl::Format(" %d", counts.less) +
                   rtl::Format(counts.less == 1 ? " was < Z, %d" : " were < Z, %d", counts.equal) +
                   rtl::Format(counts.equal == 1 ? " was = Z, and %d > Z" : " were = Z, and %d > Z", counts.greater));
  ListingWriteLine("(The observed comparison is not included in these counts.)");
  ListingWriteLine("The one-tail probability is:");
  const double trials = static_cast<double>(np) + 1.0;
  if (np / 2 > counts.less) {
    ListingWriteLine(rtl::Format(" p[random Z <= observed Z] = %7.4f",
                                 (static_cast<double>(counts.less) + counts.equal + 1) / trials));
  } else {
    ListingWriteLine(
        rtl::Format(" p[random Z >= observed Z] = %7.4f", (static_cast<double>(np) - counts.less + 1) / trials));
  }
}

}  // namespace

TEntryMask::TEntryMask(const Sym_mx& matrix) : valid_(static_cast<std::size_t>(matrix.count()), 1) {
  if (matrix.missCode() == 0) return;
  for (std::int32_t i = 1; i <= matrix.n(); ++i) {
    const std::span<const double> row = matrix.Row(i);
    for (std::int32_t j = 1; j <= i; ++j) {
      if (RealsDiffer(row[static_cast<std::size_t>(j - 1)], matrix.missValue())) continue;
      valid_[Sym_mx::PackedIndex(i, j)] = 0;
      all_ = false;
    }
  }
}

void TMxCompData::Add(std::unique_ptr<Sym_mx> x, std::unique_ptr<Sym_mx> y) {
  XValid.emplace_back(*x);
  YValid.emplace_back(*y);
  X.Add(std::move(x));
  Y.Add(std::move(y));
}

// E and V are those of Mantel's test with the full-matrix sums 2 SX, 2 SXX and
// the row totals' squares QX (likewise for Y) over m = n(n - 1) ordered pairs.
TMantelMoments MxCompMantelMoments(std::int32_t n, double SX, double SY, double SXX, double SYY, double QX, double QY) {
  // Products of 32-bit counts fit 64 bits: none wraps.
  const auto m = static_cast<double>(static_cast<std::int64_t>(n) * (n - 1));
  const auto n2 = static_cast<double>(static_cast<std::int64_t>(n) - 2);
  const auto n23 = static_cast<double>((static_cast<std::int64_t>(n) - 2) * (static_cast<std::int64_t>(n) - 3));
  TMantelMoments moments;
  moments.E = 4 * SX * SY / m;
  moments.V = (8 * SXX * SYY + 4 * (QX - 2 * SXX) * (QY - 2 * SYY) / n2 +
               (4 * SXX + 4 * SX * SX - 4 * QX) * (4 * SYY + 4 * SY * SY - 4 * QY) / n23 - 16 * SX * SX * SY * SY / m) /
              m;
  return moments;
}

double MxCompMantelT(std::int32_t n, double SX, double SY, double SXX, double SYY, double Z, double QX, double QY) {
  CheckObjectCount(n);
  const TMantelMoments moments = MxCompMantelMoments(n, SX, SY, SXX, SYY, QX, QY);
  return moments.V > 0 ? (2 * Z - moments.E) / std::sqrt(moments.V) : 0.0;
}

double MxCompNormalCdf(double z) {
  if (z == 0) return 0.5;
  long double y = std::fabs(static_cast<long double>(z)) / 2;
  long double w;
  if (y >= 3) {
    w = 1;
  } else if (y < 1) {
    const long double s = y * y;
    w = ((((((((0.000124818987L * s - 0.001075204047L) * s + 0.005198775019L) * s - 0.019198292004L) * s +
             0.059054035642L) *
                s -
            0.151968751364L) *
               s +
           0.319152932694L) *
              s -
          0.531923007300L) *
             s +
         0.797884560593L) *
        y * 2;
  } else {
    y -= 2;
    w = (((((((((((((-0.000045255659L * y + 0.000152529290L) * y - 0.000019538132L) * y - 0.000676904986L) * y +
                  0.001390604284L) *
                     y -
                 0.000794620820L) *
                    y -
                0.002034254874L) *
                   y +
               0.006549791214L) *
                  y -
              0.010557625006L) *
                 y +
             0.011630447319L) *
                y -
            0.009279453341L) *
               y +
           0.005353579108L) *
              y -
          0.002141268741L) *
             y +
         0.000535310849L) *
            y +
        0.999936657524L;
  }
  return static_cast<double>(z > 0 ? (w + 1) / 2 : (1 - w) / 2);
}

void MxCompPermute(std::int32_t n, ivect_mx& P) {
  for (std::int32_t i = 1; i <= n; ++i) {
    const auto j = static_cast<std::int32_t>(rtl::Trunc(i + rtl::Random() * (n + 1 - i)));
    const std::int32_t held = P.Get(i);
    P.Put(i, P.Get(j));
    P.Put(j, held);
  }
}

TMxCompStatistics MxCompAssociation(TMxCompPair pair, bool normalize, bool writeBack) {
  const std::int32_t n = pair.n();
  CheckObjectCount(n);
  TMxCompStatistics s;
  // The first pass in extended precision: the invariance test weighs the
  // sums of squares against rounding.
  long double sx = 0, sy = 0, sxx = 0, syy = 0;
  std::int64_t used = 0;
  ForEachUsedPair(pair, [&](std::int32_t, std::int32_t, long double x, long double y) {
    ++used;
    sx += x;
    sxx += x * x;
    sy += y;
    syy += y * y;
  });
  if (used == 0) throw E_Morvapc("No pair of objects has a value in both matrices");
  const auto count = static_cast<long double>(used);
  const long double meanX = sx / count;
  const long double meanY = sy / count;
  const long double ssx = SumOfSquares(sx, sxx, meanX, "X");
  const long double ssy = SumOfSquares(sy, syy, meanY, "Y");
  s.N = static_cast<double>(used);
  s.SX = static_cast<double>(sx);
  s.SY = static_cast<double>(sy);
  s.SXX = static_cast<double>(sxx);
  s.SYY = static_cast<double>(syy);
  s.meanX = static_cast<double>(meanX);
  s.meanY = static_cast<double>(meanY);
  s.SSx = static_cast<double>(ssx);
  s.SSy = static_cast<double>(ssy);
  const double scaleX = std::sqrt(s.SSx);
  const double scaleY = std::sqrt(s.SSy);

  const bool standardizeHere = normalize && !writeBack;
  if (normalize && writeBack) {
    Standardize(pair.X, pair.XValid, s.meanX, scaleX);
    Standardize(pair.Y, pair.YValid, s.meanY, scaleY);
  }
  std::vector<double> rx(static_cast<std::size_t>(n) + 1);
  std::vector<double> ry(rx.size());
  double z = 0;
  ForEachUsedPair(pair, [&](std::int32_t i, std::int32_t j, double x, double y) {
    if (standardizeHere) {
      x = (x - s.meanX) / scaleX;
      y = (y - s.meanY) / scaleY;
    }
    rx[static_cast<std::size_t>(i)] += x;
    rx[static_cast<std::size_t>(j)] += x;
    ry[static_cast<std::size_t>(i)] += y;
    ry[static_cast<std::size_t>(j)] += y;
    z += x * y;
  });
  s.Z = z;
  for (std::size_t i = 1; i < rx.size(); ++i) {
    s.QX += rx[i] * rx[i];
    s.QY += ry[i] * ry[i];
  }

  if (normalize) {
    s.r = s.Z;
    s.t = MxCompMantelT(n, 0, 0, 1, 1, s.Z, s.QX, s.QY);
  } else {
    const double d = (s.SXX - s.SX * s.SX / s.N) * (s.SYY - s.SY * s.SY / s.N);
    s.r = d > 0 ? (s.Z - s.SX * s.SY / s.N) / std::sqrt(d) : 0.0;
    s.t = MxCompMantelT(n, s.SX, s.SY, s.SXX, s.SYY, s.Z, s.QX, s.QY);
  }
  return s;
}

double MxCompPermutedZ(const TMxCompPair& pair, const ivect_mx& P) {
  std::vector<std::int32_t> p(static_cast<std::size_t>(pair.n()) + 1);
  for (std::int32_t i = 1; i <= pair.n(); ++i) p[static_cast<std::size_t>(i)] = P.Get(i);
  return pair.XValid.All() && pair.YValid.All() ? PermutedSum<false>(pair, p) : PermutedSum<true>(pair, p);
}

void TMxCompCounts::Tally(double Zp, double Z) {
  if (std::fabs(Zp - Z) <= kEqualTolerance * std::max(1.0, std::fabs(Z))) {
    ++equal;
  } else if (Zp < Z) {
    ++less;
  } else {
    ++greater;
  }
}

TMxCompCounts MxCompPermutationTest(const TMxCompPair& pair, double Z, std::int32_t np) {
  const std::int32_t n = pair.n();
  ivect_mx P(n);
  for (std::int32_t i = 1; i <= n; ++i) P.Put(i, i);
  rtl::Randomize();
  TMxCompCounts counts;
  for (std::int32_t k = 1; k <= np; ++k) {
    MxCompPermute(n, P);
    counts.Tally(MxCompPermutedZ(pair, P), Z);
    if (k % 5 == 0) {
      Progress("Permuting", static_cast<std::int32_t>(rtl::Round(static_cast<long double>(k - 1) / np * 100)));
    }
  }
  return counts;
}

void MxCompCompute(TMxCompPair pair, bool normalize, std::int32_t np) {
  const TMxCompStatistics s = MxCompAssociation(pair, normalize, np > 0);
  const std::string& f = Config().listingFormat;
  ListingWriteLine(rtl::Format("N      = %10.0f", s.N));
  ListingWriteLine(rtl::Format("\nMean X = %" + f + " SSx = %" + f, s.meanX, s.SSx));
  ListingWriteLine(rtl::Format("\nMean Y = %" + f + " SSy = %" + f, s.meanY, s.SSy));
  ListingWriteLine("");
  ListingWriteLine("Tests for association:");
  ListingWriteLine("");
  ListingWriteLine(rtl::Format("Matrix correlation:          r = %10.5f", s.r));
  if (normalize) {
    ListingWriteLine("(= normalized Mantel statistic Z)");
  } else {
    ListingWriteLine("Raw Mantel statistic         Z = " + FormatZ(s.Z, f));
  }
  ListingWriteLine("");
  ListingWriteLine(rtl::Format("Approximate Mantel t-test:   t = %7.4f", s.t));
  ListingWriteLine(rtl::Format("Prob. random Z < obs. Z:     p = %7.4f", MxCompNormalCdf(s.t)));
  if (np <= 0) return;
  ListCounts(MxCompPermutationTest(pair, s.Z, np), np);
}
