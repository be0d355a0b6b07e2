#pragma once
// Matrices, cophenetic values and a brute-force clustering for SAHN's tests.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "modules/clustering/sahnClustering.h"

namespace sahntest {

// A symmetric matrix on the heap (matrices do not move), usable where a
// Sym_mx is.
class SymMatrix {
 public:
  SymMatrix(std::int32_t type, std::int32_t n) : m_(std::make_unique<Sym_mx>(type, n)) {}
  operator Sym_mx&() const { return *m_; }
  Sym_mx* operator->() const { return m_.get(); }

 private:
  std::unique_ptr<Sym_mx> m_;
};

// A matrix of working values from its lower triangle, row by row: (2,1),
// (3,1), (3,2), (4,1), ...
inline SymMatrix MatrixOf(std::int32_t n, const std::vector<double>& lower) {
  SymMatrix d(2, n);
  d->Fill(0);
  std::size_t k = 0;
  for (std::int32_t i = 2; i <= n; ++i) {
    for (std::int32_t j = 1; j < i; ++j) d->putxij(i, j, lower.at(k++));
  }
  return d;
}

// Cophenetic values, as a matrix of working values, indexed by OTU.
using Cophenetic = std::vector<std::vector<double>>;

// The level at which two OTUs first share a cluster: the highest gap between
// their positions.
inline Cophenetic CopheneticOf(const TSahnDendrogram& tree) {
  const std::size_t n = tree.order.size();
  Cophenetic c(n + 1, std::vector<double>(n + 1, 0.0));
  for (std::size_t a = 0; a < n; ++a) {
    double high = -kSahnNoValue;
    for (std::size_t b = a + 1; b < n; ++b) {
      high = std::max(high, tree.levels[b - 1]);
      const auto x = static_cast<std::size_t>(tree.order[a]);
      const auto y = static_cast<std::size_t>(tree.order[b]);
      c[x][y] = c[y][x] = high;
    }
  }
  return c;
}

inline void ExpectSameCophenetic(const Cophenetic& actual, const Cophenetic& expected, double tolerance,
                                 const std::string& what) {
  ASSERT_EQ(actual.size(), expected.size()) << what;
  for (std::size_t i = 1; i < actual.size(); ++i) {
    for (std::size_t j = 1; j < i; ++j) {
      ASSERT_NEAR(actual[i][j], expected[i][j], tolerance * std::max(1.0, std::fabs(expected[i][j])))
          << what << ": OTUs " << i << " and " << j;
    }
  }
}

// Clusters joined one chosen pair at a time, by the method's update and its
// level truncation, with the cophenetic values so far: the plain algorithm
// the tests hold SAHN to. Vectors are indexed by OTU; a cluster is named by
// the OTU it started from.
struct PlainClustering {
  std::vector<std::vector<double>> value;
  std::vector<std::vector<std::size_t>> members;
  std::vector<std::int32_t> size;
  std::vector<double> inner;  // the highest level inside each cluster
  std::vector<std::size_t> live;
  Cophenetic coph;

  explicit PlainClustering(const Sym_mx& d)
      : value(Slots(d, Slots(d, 0.0))),
        members(Slots(d, std::vector<std::size_t>{})),
        size(Slots(d, std::int32_t{1})),
        inner(Slots(d, -kSahnNoValue)),
        coph(Slots(d, Slots(d, 0.0))) {
    for (std::size_t i = 1; i < value.size(); ++i) {
      members[i] = {i};
      live.push_back(i);
      for (std::size_t j = 1; j < value.size(); ++j) {
        value[i][j] = d.getxij(static_cast<std::int32_t>(i), static_cast<std::int32_t>(j));
      }
    }
  }

  double Smallest() const {
    double best = kSahnNoValue;
    for (std::size_t a = 0; a < live.size(); ++a) {
      for (std::size_t b = a + 1; b < live.size(); ++b) best = std::min(best, value[live[a]][live[b]]);
    }
    return best;
  }

  // Joins the clusters at live positions a < b.
  void Join(std::size_t a, std::size_t b, const TSahnOptions& options) {
    const std::size_t i = live[a];
    const std::size_t j = live[b];
    const TSahnMethodInfo& info = SahnMethodInfo(options.method);
    double v = value[i][j];
    if (info.centroid) v = std::max({v, inner[i], inner[j]});
    for (std::size_t x : members[i]) {
      for (std::size_t y : members[j]) coph[x][y] = coph[y][x] = v;
    }
    const TSahnUpdate update(options, v, size[i], size[j]);
    for (std::size_t k : live) {
      if (k != i && k != j) value[k][i] = value[i][k] = update(value[k][i], value[k][j]);
    }
    members[i].insert(members[i].end(), members[j].begin(), members[j].end());
    size[i] += size[j];  // weighs only where the method asks for sizes
    inner[i] = v;
    live.erase(live.begin() + static_cast<std::ptrdiff_t>(b));
  }

 private:
  template <class T>
  static std::vector<T> Slots(const Sym_mx& d, T fill) {
    return std::vector<T>(static_cast<std::size_t>(d.n()) + 1, fill);
  }
};

// Joins the live pair of smallest value (the first in row order), again and
// again: what SAHN must do on tie-free data.
inline Cophenetic BruteForceCophenetic(const Sym_mx& d, const TSahnOptions& options) {
  PlainClustering plain(d);
  while (plain.live.size() > 1) {
    const double best = plain.Smallest();
    std::size_t a = 0;
    std::size_t b = 1;
    while (plain.value[plain.live[a]][plain.live[b]] != best) {
      if (++b == plain.live.size()) b = ++a + 1;
    }
    plain.Join(a, b, options);
  }
  return plain.coph;
}

// Distances between n random points in dim dimensions (no ties).
inline SymMatrix RandomEuclidean(std::mt19937_64& random, std::int32_t n, int dim) {
  std::uniform_real_distribution<double> u(0.0, 1.0);
  std::vector<std::vector<double>> p(static_cast<std::size_t>(n), std::vector<double>(static_cast<std::size_t>(dim)));
  for (auto& point : p) {
    for (double& x : point) x = u(random);
  }
  SymMatrix d(2, n);
  for (std::int32_t i = 1; i <= n; ++i) {
    for (std::int32_t j = 1; j <= i; ++j) {
      double s = 0;
      for (int k = 0; k < dim; ++k) {
        const double t = p[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(k)] -
                         p[static_cast<std::size_t>(j - 1)][static_cast<std::size_t>(k)];
        s += t * t;
      }
      d->putxij(i, j, std::sqrt(s));
    }
  }
  return d;
}

// Working values of the cosine similarities of n random unit vectors.
inline SymMatrix RandomNegatedCosines(std::mt19937_64& random, std::int32_t n) {
  std::normal_distribution<double> g(0.0, 1.0);
  std::vector<std::array<double, 3>> p(static_cast<std::size_t>(n));
  for (auto& v : p) {
    const double x = g(random), y = g(random), z = g(random);
    const double r = std::sqrt(x * x + y * y + z * z);
    v = {x / r, y / r, z / r};
  }
  SymMatrix d(3, n);
  for (std::int32_t i = 1; i <= n; ++i) {
    for (std::int32_t j = 1; j <= i; ++j) {
      const auto& a = p[static_cast<std::size_t>(i - 1)];
      const auto& b = p[static_cast<std::size_t>(j - 1)];
      d->putxij(i, j, -(a[0] * b[0] + a[1] * b[1] + a[2] * b[2]));
    }
  }
  return d;
}

// A copy of a matrix (the clustering overwrites its input).
inline SymMatrix Copy(const Sym_mx& d) {
  SymMatrix copy(d.matrixType(), d.n());
  d.CopyTo(copy);
  return copy;
}

}  // namespace sahntest
