#pragma once
// The smallest values of each cluster in SAHN's working matrix. The matrix is
// a packed lower triangle: a cluster's values to clusters with lower numbers
// lie side by side in its row, those to clusters with higher numbers in its
// column, a row apart each. Once the matrix outgrows the cache, a row costs
// its length in memory traffic and a column a cache miss per value. Keeping
// the few smallest values of each row and of each column lets the search for
// a cluster's nearest neighbour skip both, most of the time.

#include <array>
#include <bitset>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "modules/clustering/sahnClustering.h"

// The smallest value between one cluster and others, the cluster that holds
// it, and whether another holds it too. Nobody holds kSahnNoValue.
struct TSahnNearest {
  double value = kSahnNoValue;
  std::int32_t otu = 0;
  bool tied = false;

  // Value v of cluster s, met after the ones taken so far.
  void Take(double v, std::int32_t s) {
    if (v < value) {
      *this = {v, s, false};
    } else if (v == value) {
      tied = true;
    }
  }
};

// Of two disjoint sets of values, the smallest of both.
TSahnNearest SahnNearer(const TSahnNearest& a, const TSahnNearest& b);

// The smallest values of each of several sets of values between clusters
// (SAHN keeps one set for each row and one for each column). Every value of a
// set not held here is at least the set's floor, so the smallest held value
// is the set's while it lies below the floor. A join offers a value to most
// sets and takes one or two clusters out of them, so each set has a small
// header, kept apart from its held values, that settles most of those calls
// alone.
class TSahnSmallest {
 public:
  static constexpr std::size_t kHeld = 16;

  // Sets 0 .. count - 1, each empty.
  explicit TSahnSmallest(std::int32_t count);

  // Forgets set c's values, before they are offered again whole.
  void Clear(std::int32_t c) { header_[Ix(c)] = THeader(); }

  // Set c's value v of cluster s, new or changed (after Remove).
  void Offer(std::int32_t c, double v, std::int32_t s) {
    THeader& header = header_[Ix(c)];
    if (v < header.admits) {
      Hold(header, held_[Ix(c)], v, s);
    } else if (v < header.floor) {
      header.floor = v;
    }
  }

  // Cluster s has left set c, or its value is about to change.
  void Remove(std::int32_t c, std::int32_t s) {
    THeader& header = header_[Ix(c)];
    if (header.mask.test(Bit(s))) LetGo(header, held_[Ix(c)], s);
  }

  // The smallest of set c's values (kSahnNoValue when it has none); nothing
  // when it is no longer known and the set must be offered again.
  std::optional<TSahnNearest> Minimum(std::int32_t c) const;

 private:
  static constexpr double kUnbounded = std::numeric_limits<double>::infinity();
  static constexpr std::size_t kMaskBits = 256;

  struct THeldValues {  // ascending
    std::array<double, kHeld> value;
    std::array<std::int32_t, kHeld> otu;
  };
  struct THeader {
    std::bitset<kMaskBits> mask;  // a bit for each held cluster, by number modulo kMaskBits
    double admits = kUnbounded;   // a value below this is held
    double floor = kSahnNoValue;  // no value outside lies below this
    std::uint32_t count = 0;
    bool stale = false;  // the mask still has bits of clusters let go
  };

  static std::size_t Ix(std::int32_t k) { return static_cast<std::size_t>(k); }
  static std::size_t Bit(std::int32_t s) { return static_cast<std::size_t>(s) % kMaskBits; }
  static void Hold(THeader& header, THeldValues& held, double v, std::int32_t s);
  static void LetGo(THeader& header, THeldValues& held, std::int32_t s);

  std::vector<THeader> header_;
  std::vector<THeldValues> held_;
};
