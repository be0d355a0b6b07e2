#pragma once
// The search framework shared by the clusterings that can meet ties in the
// choice of the pair to join: the candidate list of tied pairs, the choice of
// the pair that goes first, the branch limit, and the chain of search states
// that are finished one after another, first opened first.
//
// A state is one branch of the search: its clusters at matrix positions
// 1 .. live, each named by its head OTU. The method supplies the scan of a
// state's pairs (in its own order, by its own criterion), the join, and what
// becomes of a finished tree.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "matrix/Constu.h"

// (h - 1)(h - 2) div 2 + l, h the larger and l the smaller of a and b.
std::int64_t PairKey(std::int32_t a, std::int32_t b);

// A tied pair: two positions, the one whose cluster has the smaller head
// first, and the working value between them.
struct TTiedPair {
  std::int32_t a;
  std::int32_t b;
  double value;

  bool SharesClusterWith(const TTiedPair& o) const { return a == o.a || a == o.b || b == o.a || b == o.b; }
};

// The pairs of one scan whose criterion lies within the tolerance of the
// smallest, at most maxTrees of them. Criterion is the type the criterion is
// compared in.
template <class Criterion>
class TTieCandidates {
 public:
  TTieCandidates(double tol, std::int32_t maxTrees) : tol_(tol), maxTrees_(maxTrees) {}

  void Restart() {
    g_ = kNoValue;
    pairs_.clear();
    overflow_ = false;
  }

  // A pair more than the tolerance below the smallest so far starts the list
  // (and the count of pairs that did not fit) again; one within the
  // tolerance joins it while there is room.
  void Offer(Criterion s, const TTiedPair& pair) {
    if (!(std::fabs(s - g_) <= tol_)) {
      if (s < g_) {
        g_ = s;
        pairs_.assign(1, pair);
        overflow_ = false;
      }
    } else if (static_cast<std::int32_t>(pairs_.size()) < maxTrees_) {
      pairs_.push_back(pair);
    } else {
      overflow_ = true;
    }
  }

  std::vector<TTiedPair>& pairs() { return pairs_; }
  const std::vector<TTiedPair>& pairs() const { return pairs_; }
  // Tied pairs were left out for want of room.
  bool overflow() const { return overflow_; }

 private:
  static constexpr Criterion kNoValue = 9e200;
  double tol_;
  std::int32_t maxTrees_;
  Criterion g_ = kNoValue;
  std::vector<TTiedPair> pairs_;
  bool overflow_ = false;
};

struct TTieRules {
  std::int32_t maxTrees = 25;
  bool follow = true;        // open a branch for every further choice; else only note the tie
  bool dropDisjoint = true;  // tied pairs disjoint from the first lead to the same trees
};

// The search. Method supplies, for its State:
//   void Progress(const State&);
//   void Scan(const State&, TTieCandidates<Criterion>&);   (leaves at least one pair)
//   std::int32_t Head(const State&, std::int32_t position);
//   std::int32_t Live(const State&);
//   void Join(State&, const TTiedPair&);
//   void Finish(State&, std::int32_t number, bool more);   (more: other states wait)
template <class State, class Criterion, class Method>
class TTiedTreeSearch {
 public:
  TTiedTreeSearch(const TTieRules& rules, double tol, Method& method)
      : rules_(rules), candidates_(tol, rules.maxTrees), method_(method) {}

  // Runs the search from the first state; returns the number of trees made.
  std::int32_t Run(State first) {
    chain_.push_back(std::move(first));
    while (!chain_.empty()) {
      State& state = chain_.front();
      if (method_.Live(state) <= 1) {
        FinishTree(state);
        chain_.pop_front();
        continue;
      }
      method_.Progress(state);
      candidates_.Restart();
      method_.Scan(state, candidates_);
      std::vector<TTiedPair>& pairs = candidates_.pairs();
      ChooseFront(state, pairs);
      if (rules_.dropDisjoint) DropDisjoint(pairs);
      if (rules_.follow) {
        LimitBranches(pairs);
        for (std::size_t e = 1; e < pairs.size(); ++e) {
          chain_.push_back(state);
          method_.Join(chain_.back(), pairs[e]);
        }
      } else if (pairs.size() > 1 || candidates_.overflow()) {
        tie_ = true;
      }
      method_.Join(state, pairs.front());
    }
    return trees_;
  }

  // The search was cut short at maxTrees trees.
  bool truncated() const { return truncated_; }
  // Without following: a tie was seen in the choice of a pair to join.
  bool tie() const { return tie_; }

 private:
  // The pair of the smallest key of its heads (the first of equal keys) goes first.
  void ChooseFront(const State& state, std::vector<TTiedPair>& pairs) const {
    const auto key = [&](const TTiedPair& p) { return PairKey(method_.Head(state, p.a), method_.Head(state, p.b)); };
    std::size_t best = 0;
    for (std::size_t e = 1; e < pairs.size(); ++e) {
      if (key(pairs[e]) < key(pairs[best])) best = e;
    }
    std::swap(pairs[0], pairs[best]);
  }

  // Every other pair that shares no cluster with the first is dropped, the
  // last taking its place.
  static void DropDisjoint(std::vector<TTiedPair>& pairs) {
    for (std::size_t e = 1; e < pairs.size();) {
      if (pairs[e].SharesClusterWith(pairs[0])) {
        ++e;
      } else {
        pairs[e] = pairs.back();
        pairs.pop_back();
      }
    }
  }

  // Each pair beyond the first opens a branch, and every branch ends in a
  // tree: the branches opened so far and these stay below maxTrees.
  void LimitBranches(std::vector<TTiedPair>& pairs) {
    const auto count = static_cast<std::int32_t>(pairs.size());
    const std::int32_t allowed = rules_.maxTrees - branches_;
    if (count > allowed || candidates_.overflow()) {
      truncated_ = true;
      if (count > allowed) pairs.resize(static_cast<std::size_t>(std::max(allowed, 1)));
    }
    branches_ += static_cast<std::int32_t>(pairs.size()) - 1;
  }

  void FinishTree(State& state) {
    ++trees_;
    if (trees_ > 1 && trees_ > rules_.maxTrees) {
      ListingWriteLine("*** Maximum number of tied trees exceeded! ***");
      throw E_Morvapc("Maximum number (" + std::to_string(rules_.maxTrees) +
                      ") of trees exceeded -- search abandonded.");
    }
    method_.Finish(state, trees_, chain_.size() > 1);
  }

  TTieRules rules_;
  TTieCandidates<Criterion> candidates_;
  Method& method_;
  std::deque<State> chain_;
  bool truncated_ = false;
  bool tie_ = false;
  std::int32_t branches_ = 0;
  std::int32_t trees_ = 0;
};
