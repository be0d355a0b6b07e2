#pragma once
// The nearest-neighbour bookkeeping of a SAHN clustering with the tie check:
// for every live cluster its smallest value to another cluster, that cluster,
// and whether a second one was found at that value; and the smallest value of
// all, the cluster holding it, and whether another pair ties with it. The
// rules by which values are taken in are here; the order in which they come,
// which decides among equal values, is the caller's.

#include <cmath>
#include <cstdint>
#include <vector>

#include "modules/clustering/sahnClustering.h"

class TSahnNeighbours {
 public:
  // OTUs 1 .. n; ties within tol count in the first search.
  TSahnNeighbours(std::int32_t n, double tol)
      : tol_(tol), nnDist_(Slots(n, kSahnNoValue)), nn_(Slots(n, 0)), tie_(Slots(n, false)) {}

  double nnDist(std::int32_t k) const { return nnDist_[Ix(k)]; }
  std::int32_t nn(std::int32_t k) const { return nn_[Ix(k)]; }
  // The smallest value of all, its cluster, and whether a tie was seen.
  double g() const { return g_; }
  std::int32_t p() const { return p_; }
  bool tieG() const { return tieG_; }

  bool MutualPair(std::int32_t a, std::int32_t b) const { return a == b || (nn_[Ix(a)] == b && nn_[Ix(b)] == a); }

  // --- The first search: row 1, then the other pairs, then the minimum ---

  // The value v between OTU 1 and k, k = 2 .. n in order; the tolerance is
  // tested before "smaller" here.
  void TakeRowOne(std::int32_t k, double v) {
    nnDist_[Ix(k)] = v;
    nn_[Ix(k)] = 1;
    if (WithinTol(v, g_)) {
      tieG_ = true;
    } else if (v < g_) {
      g_ = v;
      p_ = k;
      tieG_ = false;
    }
  }
  void FinishRowOne() {
    nnDist_[1] = g_;
    nn_[1] = p_;
    tie_[1] = tieG_;
  }

  // The value v between r < c, seen from r and then from c.
  void TakeFirst(std::int32_t r, std::int32_t c, double v) {
    TakeFirstFrom(r, c, v);
    TakeFirstFrom(c, r, v);
  }

  // Row r's nearest neighbour against the smallest value so far.
  void FoldFirst(std::int32_t r) {
    if (nnDist_[Ix(r)] < g_) {
      g_ = nnDist_[Ix(r)];
      p_ = r;
      tieG_ = false;
    } else if (WithinTol(nnDist_[Ix(r)], g_) && !MutualPair(r, p_)) {
      tieG_ = true;
    }
  }

  // --- A join of i and j into i ---

  void StartJoin(std::int32_t i, std::int32_t j) {
    nnDist_[Ix(i)] = kSahnNoValue;
    g_ = kSahnNoValue;
    p_ = 0;
    tie_[Ix(i)] = false;
    tie_[Ix(j)] = false;
    tieG_ = false;
  }

  // Cluster k with its new value to i, in the order of the active list; true
  // when k's nearest neighbour was i or j and must be looked for again (it is
  // i for now). The joined cluster may become the nearest neighbour of any
  // other k: the new value can lie below both old ones for the centroid
  // methods and FLEXI with beta > 0.
  bool TakeJoined(std::int32_t k, std::int32_t i, std::int32_t j, double value) {
    const bool lostNeighbour = nn_[Ix(k)] == i || nn_[Ix(k)] == j;
    if (lostNeighbour) tie_[Ix(k)] = false;
    if (nnDist_[Ix(i)] > value) {
      nnDist_[Ix(i)] = value;
      nn_[Ix(i)] = k;
      tie_[Ix(i)] = false;
    } else if (nnDist_[Ix(i)] == value && !MutualPair(k, i)) {
      tie_[Ix(i)] = true;
    }
    if (lostNeighbour || value < nnDist_[Ix(k)]) {
      nnDist_[Ix(k)] = value;
      nn_[Ix(k)] = i;
      tie_[Ix(k)] = false;
    }
    if (!lostNeighbour) CompareWithMinimum(k);
    return lostNeighbour;
  }

  // The value v between r, whose neighbour is looked for again, and s, in
  // the order of the active list.
  void TakeAgain(std::int32_t r, std::int32_t s, double v) {
    if (nnDist_[Ix(r)] > v) {
      nnDist_[Ix(r)] = v;
      nn_[Ix(r)] = s;
      tie_[Ix(r)] = false;
    } else if (nnDist_[Ix(r)] == v && nn_[Ix(r)] != s) {
      tie_[Ix(r)] = true;
    }
  }

  // r's nearest neighbour s at v, held by s alone: what taking all of r's
  // values in any order comes to.
  void SetNearest(std::int32_t r, std::int32_t s, double v) {
    nnDist_[Ix(r)] = v;
    nn_[Ix(r)] = s;
    tie_[Ix(r)] = false;
  }

  // k's nearest-neighbour value against the smallest value of all.
  void CompareWithMinimum(std::int32_t k) {
    if (nnDist_[Ix(k)] < g_) {
      g_ = nnDist_[Ix(k)];
      p_ = k;
      tieG_ = tie_[Ix(k)];
    } else if (nnDist_[Ix(k)] == g_ && !MutualPair(k, p_)) {
      tieG_ = true;
    }
  }

 private:
  template <class T>
  static std::vector<T> Slots(std::int32_t n, T value) {
    return std::vector<T>(static_cast<std::size_t>(n) + 1, value);
  }
  static std::size_t Ix(std::int32_t k) { return static_cast<std::size_t>(k); }
  bool WithinTol(double a, double b) const { return std::fabs(a - b) <= tol_; }

  // Value v between a and b, seen from a, in the first search.
  void TakeFirstFrom(std::int32_t a, std::int32_t b, double v) {
    if (nnDist_[Ix(a)] > v) {
      nnDist_[Ix(a)] = v;
      nn_[Ix(a)] = b;
      tie_[Ix(a)] = false;
    } else if (WithinTol(nnDist_[Ix(a)], v) && !MutualPair(a, b)) {
      tie_[Ix(a)] = true;
    }
  }

  double tol_;
  std::vector<double> nnDist_;
  std::vector<std::int32_t> nn_;
  std::vector<bool> tie_;
  double g_ = kSahnNoValue;
  std::int32_t p_ = 0;
  bool tieG_ = false;
};
