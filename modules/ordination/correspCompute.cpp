#include "modules/ordination/correspCompute.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "matrix/Constu.h"
#include "matrix/Matrixu.h"
#include "rtl/Format.h"
#include "shell/Progress.h"

namespace {

std::size_t At(std::int32_t i) { return static_cast<std::size_t>(i - 1); }

// "Row sum 3 <= 0" for the working rows (file columns when turned) or columns.
[[noreturn]] void RefuseSum(bool fileRows, std::int32_t i) {
  throw E_Morvapc((fileRows ? "Row sum " : "Column sum ") + std::to_string(i) + " <= 0");
}

// Refuses the first negative entry, by the file's row and column, and a table
// whose total is not positive: neither has masses to analyse.
void RefuseBadTable(const Rect_mx& x, long double total, bool turned) {
  for (std::int32_t i = 1; i <= x.rows(); ++i) {
    for (std::int32_t j = 1; j <= x.cols(); ++j) {
      if (x.getxij(i, j) < 0.0) {
        throw E_Morvapc(rtl::Format("Negative entry in row %d, column %d", turned ? j : i, turned ? i : j));
      }
    }
  }
  if (!(total > 0.0L)) throw E_Morvapc("Total of table must be positive");
}

// A points × k matrix of coordinates; k is 0 for a table of one row or
// column, whose points have no dimension to be placed in.
std::unique_ptr<Rect_mx> Coordinates(std::int32_t points, std::int32_t k) {
  auto m = std::make_unique<Rect_mx>(points, std::max(k, 1));
  m->SetSize(points, k);
  return m;
}

}  // namespace

TCorrespResult CorrespCompute(Rect_mx& x, std::int32_t k, bool turned) {
  const std::int32_t p = x.rows(), n = x.cols();
  Progress("Starting computation", 1);
  std::vector<long double> r(static_cast<std::size_t>(p), 0.0L), c(static_cast<std::size_t>(n), 0.0L);
  long double total = 0.0L;
  for (std::int32_t i = 1; i <= p; ++i) {
    for (std::int32_t j = 1; j <= n; ++j) {
      r[At(i)] += x.getxij(i, j);
      c[At(j)] += x.getxij(i, j);
    }
    total += r[At(i)];
  }
  RefuseBadTable(x, total, turned);

  Progress("Normalizing", 5);
  TCorrespResult result;
  result.total = static_cast<double>(total);
  std::vector<long double> s(static_cast<std::size_t>(p));
  for (std::int32_t i = 1; i <= p; ++i) {
    const long double mass = r[At(i)] / total;
    if (mass <= 0.0L) RefuseSum(!turned, i);
    result.rowMass.push_back(static_cast<double>(mass));
    s[At(i)] = std::sqrt(static_cast<long double>(result.rowMass.back()));
    for (std::int32_t j = 1; j <= n; ++j) x.putxij(i, j, static_cast<double>(x.getxij(i, j) / total));
  }
  for (std::int32_t j = 1; j <= n; ++j) {
    if (c[At(j)] <= 0.0L) RefuseSum(turned, j);
    result.columnMass.push_back(static_cast<double>(c[At(j)] / total));
  }

  Rect_mx a(p, p);
  for (std::int32_t i = 1; i <= p; ++i) {
    for (std::int32_t h = 1; h <= i; ++h) {
      long double sum = 0.0L;
      for (std::int32_t j = 1; j <= n; ++j)
        sum += static_cast<long double>(x.getxij(i, j)) * x.getxij(h, j) / result.columnMass[At(j)];
      a.putxij(i, h, static_cast<double>(sum / (s[At(i)] * s[At(h)])));
      a.putxij(h, i, a.getxij(i, h));
    }
  }
  Progress("Eigencomputations", 10);
  vect_mx lambda(p);
  std::int32_t count = 0;
  EigenSymNoListing(p, a, lambda, 3, 1e-8, count);

  Progress("Scaling results", 80);
  long double trace = 0.0L;
  for (std::int32_t e = 2; e <= p; ++e) {
    trace += lambda.Get(e);
    result.eigenvalues.push_back(std::max(lambda.Get(e), 0.0));
  }
  result.trace = static_cast<double>(trace);

  Progress("Row & col. distances", 85);
  result.rows = Coordinates(p, k);
  for (std::int32_t i = 1; i <= p; ++i) {
    for (std::int32_t d = 1; d <= k; ++d) result.rows->putxij(i, d, static_cast<double>(a.getxij(i, d + 1) / s[At(i)]));
    long double distance = 0.0L;
    for (std::int32_t j = 1; j <= n; ++j) {
      const long double dev =
          x.getxij(i, j) / static_cast<long double>(result.rowMass[At(i)]) - result.columnMass[At(j)];
      distance += dev * dev / result.columnMass[At(j)];
    }
    result.rowDistance.push_back(static_cast<double>(distance));
  }
  result.columns = Coordinates(n, k);
  for (std::int32_t j = 1; j <= n; ++j) {
    const long double cj = result.columnMass[At(j)];
    long double distance = 0.0L;
    for (std::int32_t i = 1; i <= p; ++i) {
      const long double dev = x.getxij(i, j) / cj - result.rowMass[At(i)];
      distance += dev * dev / result.rowMass[At(i)];
    }
    result.columnDistance.push_back(static_cast<double>(distance));
    for (std::int32_t d = 1; d <= k; ++d) {
      const long double q = std::sqrt(static_cast<long double>(result.eigenvalues[At(d)]));
      long double sum = 0.0L;
      for (std::int32_t i = 1; i <= p; ++i) sum += static_cast<long double>(x.getxij(i, j)) * result.rows->getxij(i, d);
      result.columns->putxij(j, d, q > 0.0L ? static_cast<double>(sum / (cj * q)) : 0.0);
    }
  }
  return result;
}

double AbsoluteContribution(double mass, double coordinate, double eigenvalue) {
  return eigenvalue > 0.0 ? mass * coordinate * coordinate / eigenvalue : 0.0;
}

double SquaredCorrelation(double coordinate, double distance) {
  return distance > 0.0 ? coordinate * coordinate / distance : 0.0;
}
