#pragma once
// SAHN clustering (sequential, agglomerative, hierarchic, non-overlapping) of
// a symmetric matrix of working values by one of eight methods, with the
// detection of ties (one tree and a tie flag) or the search for every tied
// tree.
//
// Working values: a dissimilarity as it stands, a similarity times -1, so
// that every method joins the pair with the smallest working value. Every
// join takes a pair whose value is the smallest of all live pairs, whatever
// the method: the joined cluster takes part in the search for the next pair.
//
// Values: the matrix's off-diagonal values must be numbers whose size is below
// 9e200 (the "no value yet" mark of the searches); anything else, and a join
// whose new values leave that range, raises E_Morvapc. The diagonal is never
// read.

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "matrix/Matrixob.h"

enum class TSahnMethod { Complete, Flexi, Single, Upgma, Upgmc, Wpgma, Wpgmc, Wpgms };

// What the method keyword selects.
struct TSahnMethodInfo {
  TSahnMethod method;
  std::string_view keyword;
  bool centroid;  // levels may reverse; a join is never recorded below a level inside it
  // The value between two clusters depends only on their members, not on the
  // order in which they were joined: tied pairs that share no cluster then
  // lead to the same trees whichever is joined first.
  bool membersOnly;
};

// The method of a keyword ("UPGMA", ...), exactly as written; nothing for any other.
std::optional<TSahnMethodInfo> SahnMethodOf(std::string_view keyword);
const TSahnMethodInfo& SahnMethodInfo(TSahnMethod method);

// A value no working value reaches: the start of every minimum search.
inline constexpr double kSahnNoValue = 9e200;

struct TSahnOptions {
  TSahnMethod method = TSahnMethod::Upgma;
  double beta = 0;  // FLEXI only
  double tol = 0;   // tie tolerance
};

// The value between a cluster k and the cluster made by joining i and j at
// level v, from x = value(k, i) and y = value(k, j). The per-join constants
// are computed once, when the join is made.
class TSahnUpdate {
 public:
  TSahnUpdate(const TSahnOptions& options, double v, std::int32_t ni, std::int32_t nj);
  double operator()(double x, double y) const;

 private:
  TSahnMethod method_;
  double beta_;
  double alpha_;
  double v_;
  double ni_;
  double nj_;
  double q_ = 0;  // UPGMC: ni nj / (ni + nj) v²
  double c_ = 0;  // WPGMS: 1 / sqrt(2 - 2v), or 0
};

// A tree in dendrogram order: order[k] is the OTU at position k + 1 and
// levels[k] the working value at which positions up to k + 1 join those after
// it (n - 1 levels).
struct TSahnDendrogram {
  std::vector<std::int32_t> order;
  std::vector<double> levels;
};

// The members of every cluster as chains of OTUs 1 .. n. A cluster is named
// by the OTU heading its chain; joining two clusters hangs the chain of the
// one with the larger name after the other's, so the chain that starts at
// OTU 1 is in the end the dendrogram order.
class TSahnChains {
 public:
  // Every OTU a cluster of its own.
  explicit TSahnChains(std::int32_t n);

  // The number of OTUs in the cluster named k.
  std::int32_t size(std::int32_t k) const { return size_[static_cast<std::size_t>(k)]; }

  // Hangs cluster hi after cluster lo (lo < hi) at level v and returns the
  // level recorded. For the centroid-type methods that is the largest of v
  // and the levels inside either cluster: a join is never recorded below a
  // level already inside it.
  double Join(std::int32_t lo, std::int32_t hi, double v, bool centroid);

  // The tree in dendrogram order: the chain that starts at OTU 1.
  TSahnDendrogram Dendrogram() const;

 private:
  // By OTU (entry 0 unused): the OTU after k in its cluster (0 at the end)
  // and the level at which k's part of the chain was joined to the part
  // after it; for the OTU naming a cluster, the last OTU and the size.
  std::vector<std::int32_t> next_;
  std::vector<double> level_;
  std::vector<std::int32_t> last_;
  std::vector<std::int32_t> size_;
};

// Raises E_Morvapc: a join made a value of 9e200 or more in size, or no number.
[[noreturn]] void SahnRefuseGrownValues();

// Raises E_Morvapc when an off-diagonal value is not a number or its size is
// 9e200 or more.
void SahnCheckValues(const Sym_mx& d);

// One clustering of the working matrix d (which it overwrites) with the tie
// check: ties are looked for within options.tol in the first search and
// exactly afterwards. tie is set when a tie among the pairs to join was seen.
// Reports progress as "Clustering".
TSahnDendrogram SahnClusterWithTieCheck(Sym_mx& d, const TSahnOptions& options, bool& tie);

// The tied-tree search: at every join every pair within options.tol of the
// smallest value is a candidate, and each choice that can give another tree is
// followed as a branch of its own. Each finished tree goes to onTree with its
// number (from 1), in dendrogram order (its node children not yet sorted). At
// most maxTrees trees are made; the result is true when the search was cut
// short at that number. d is read, not changed.
bool SahnFindTiedTrees(const Sym_mx& d, const TSahnOptions& options, std::int32_t maxTrees,
                       const std::function<void(std::int32_t number, const TSahnDendrogram& tree)>& onTree);

// (h - 1)(h - 2) div 2 + l, h the larger and l the smaller of a and b.
std::int64_t SahnPairKey(std::int32_t a, std::int32_t b);

// Puts the children of every node of a finished tree in ascending order of
// their first OTU, so that trees that differ only in that order come out
// alike; lists "Sorting tree nodes ..." and " done." or " none needed.".
// Raises E_Morvapc for a node of more than 25 children.
void SahnSortTreeNodes(TSahnDendrogram& tree);
