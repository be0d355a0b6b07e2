#pragma once
// Neighbour joining of a symmetric matrix of working values, with the
// detection of ties in the choice of the pair to join (one tree and a tie
// flag) or the search for tied trees, the rooting of each finished tree at the
// midpoint of its longest path or on an outgroup, its dendrogram, and its
// graph of 2n - 3 branches.
//
// Working values: a dissimilarity as it stands, a similarity times -1. The
// diagonal is read: it is the value of a single OTU with itself, which every
// pendant branch length subtracts half of (0 for a dissimilarity). Off the
// diagonal, values must be numbers below 9e200 in size; 3 <= n <= 500.
//
// A branch is a split of the unrooted tree, held as the set of OTUs of the
// cluster that a join consumed (never its complement), with its length and
// the two nodes it joins: OTUs 1 .. n and inner nodes above n.

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "matrix/Matrixob.h"
#include "modules/clustering/largeSet.h"
#include "modules/clustering/treeNodes.h"

// The most OTUs a neighbour-joining tree may have (its sets of OTUs would
// hold 511).
inline constexpr std::int32_t kNjoinMaxOtus = 500;
// The most OTUs an outgroup may list.
inline constexpr std::int32_t kNjoinMaxOutgroup = 20;

struct TNjoinBranch {
  TLargeSet set;
  double length = 0;
  std::int32_t lower = 0;  // the node of the cluster
  std::int32_t upper = 0;  // the node it hangs from
};

using TNjoinBranches = std::vector<TNjoinBranch>;

struct TNjoinOptions {
  double tol = 0;              // tie tolerance on the criterion
  std::int32_t maxTrees = 25;  // NT
  bool findTies = false;       // follow every tie; else only note it
};

struct TNjoinSearch {
  std::int32_t trees = 0;
  bool truncated = false;  // following ties: the search stopped at maxTrees
  bool tie = false;        // not following: a tie was seen
};

// Raises E_Morvapc unless 3 <= n <= kNjoinMaxOtus.
void NjoinCheckSize(std::int32_t n);
// Raises E_Morvapc unless the size is right and every value is a number below
// 9e200 in size.
void NjoinCheckInput(const Sym_mx& d);

// Joins the pair of smallest criterion at every step; each finished tree's
// 2n - 3 branches go to onTree with its number (from 1) and whether more
// trees are to come. Progress reports "Computing". d is read, not changed.
using TNjoinOnTree = std::function<void(std::int32_t number, TNjoinBranches& branches, bool more)>;
TNjoinSearch NjoinFindTiedTrees(const Sym_mx& d, const TNjoinOptions& options, const TNjoinOnTree& onTree);

// The OTU numbers of an outgroup text: words of digits between blanks and
// commas, 0 taken as 1. Raises E_Morvapc with the text's fault.
std::vector<std::int32_t> NjoinParseOutgroup(std::string_view text, std::int32_t n);

// True when some branch's set equals the outgroup or all other OTUs.
bool NjoinIsMonophyletic(const TNjoinBranches& branches, std::int32_t n, const TLargeSet& outgroup);

// The two OTUs farthest apart along the tree, the first pair (first < second)
// in the order 1-2, 1-3, ..., 2-3, ... among equal lengths.
struct TNjoinPath {
  std::int32_t first = 0;
  std::int32_t second = 0;
  long double length = 0;
};
TNjoinPath NjoinLongestPath(const TNjoinBranches& branches, std::int32_t n);

// The branches that separate two OTUs, as indexes into branches, from the
// first OTU's end.
std::vector<std::size_t> NjoinPathBranches(const TNjoinBranches& branches, std::int32_t n, std::int32_t first,
                                           std::int32_t second);

// Midpoint rooting: the set (as held in the list) of the branch of the longest
// path at which the running length from its first OTU reaches half the path.
struct TNjoinRoot {
  TLargeSet set;
  long double pathLength = 0;
};
TNjoinRoot NjoinRoot(const TNjoinBranches& branches, std::int32_t n);

// The tree rooted on the branch one of whose sides is root, in dendrogram
// order, with the levels (n - 1 gaps) ranked from 2 upward by nesting depth,
// the deepest gaps lowest. Node children are not yet sorted.
using TNjoinDendrogram = TDendrogram;
TNjoinDendrogram NjoinRootedDendrogram(const TNjoinBranches& branches, std::int32_t n, const TLargeSet& root);

// One edge of the graph: from a node to its parent, OTUs 1 .. n and inner
// nodes -1 .. -(n - 2).
struct TNjoinEdge {
  std::int32_t from = 0;
  std::int32_t to = 0;
  double value = 0;
};
// The unrooted tree as its 2n - 3 edges: the pendant edges of OTUs 1 .. n,
// then the inner edges from node -1 downward. Sorts branches by size. sign
// (1 or -1) turns working values back into the input's.
std::vector<TNjoinEdge> NjoinBranchGraph(TNjoinBranches& branches, std::int32_t n, double sign);
