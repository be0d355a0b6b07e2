#pragma once
// The clustering with the tie check driven plainly, one step after the other
// in the order the algorithm is described: the first search (row 1, then rows
// 2 .. n-1, each followed by the minimum so far), then the joins, scanning
// the live clusters in the order of the active list and reading every value
// where it lies. The bookkeeping rules are the clustering's own; what this
// pins down is the order in which values reach them, which the clustering
// changes to read its matrix row by row and to skip most of it.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "modules/clustering/sahnClustering.h"
#include "modules/clustering/sahnNeighbours.h"
#include "tests/modules/clustering/SahnTestSupport.h"

namespace sahntest {

struct PlainOrderResult {
  TSahnDendrogram tree;
  bool tie = false;
};

class PlainOrderClustering {
 public:
  PlainOrderClustering(const Sym_mx& d, const TSahnOptions& options)
      : d_(Copy(d)), options_(options), n_(d.n()), chains_(n_), neighbours_(n_, options.tol) {
    for (std::int32_t k = 1; k <= n_; ++k) active_.push_back(k);
  }

  PlainOrderResult Run() {
    for (std::int32_t k = 2; k <= n_; ++k) neighbours_.TakeRowOne(k, D(1, k));
    neighbours_.FinishRowOne();
    for (std::int32_t r = 2; r < n_; ++r) {
      for (std::int32_t c = r + 1; c <= n_; ++c) neighbours_.TakeFirst(r, c, D(r, c));
      neighbours_.FoldFirst(r);
    }
    bool tie = false;
    while (active_.size() > 1) {
      tie = tie || neighbours_.tieG();
      Join();
    }
    return {chains_.Dendrogram(), tie};
  }

 private:
  template <class T>
  std::vector<T> Slots(T value) const {
    return std::vector<T>(static_cast<std::size_t>(n_) + 1, value);
  }
  static std::size_t Ix(std::int32_t k) { return static_cast<std::size_t>(k); }

  double D(std::int32_t a, std::int32_t b) const { return d_->getxij(a, b); }

  void Join() {
    const std::int32_t p = neighbours_.p();
    const std::int32_t i = std::min(p, neighbours_.nn(p));
    const std::int32_t j = std::max(p, neighbours_.nn(p));
    const std::int32_t ni = chains_.size(i);
    const std::int32_t nj = chains_.size(j);
    const double v = chains_.Join(i, j, neighbours_.g(), SahnMethodInfo(options_.method).centroid);
    const TSahnUpdate update(options_, v, ni, nj);
    neighbours_.StartJoin(i, j);
    std::vector<std::int32_t> research;
    std::size_t jPosition = 0;
    for (std::size_t a = 0; a < active_.size(); ++a) {
      const std::int32_t k = active_[a];
      if (k == j) jPosition = a;
      if (k == i || k == j) continue;
      const double value = update(D(k, i), D(k, j));
      d_->putxij(k, i, value);
      if (neighbours_.TakeJoined(k, i, j, value)) research.push_back(k);
    }
    active_[jPosition] = active_.back();
    active_.pop_back();
    for (std::int32_t r : research) {
      for (std::int32_t s : active_) {
        if (s != r) neighbours_.TakeAgain(r, s, D(r, s));
      }
      neighbours_.CompareWithMinimum(r);
    }
  }

  SymMatrix d_;
  TSahnOptions options_;
  std::int32_t n_;
  TSahnChains chains_;
  TSahnNeighbours neighbours_;
  std::vector<std::int32_t> active_;
};

// The dendrogram and the tie flag of the plain clustering of d (left as it is).
inline PlainOrderResult SahnPlainOrder(const Sym_mx& d, const TSahnOptions& options) {
  return PlainOrderClustering(d, options).Run();
}

}  // namespace sahntest
