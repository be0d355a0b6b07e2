#pragma once
// SAHN clustering (sequential, agglomerative, hierarchic, non-overlapping) of
// a symmetric matrix of working values by one of eight methods, with the
// detection of ties (one tree and a tie flag); sahnTiedTrees.h searches for
// every tied tree.
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
#include <vector>

#include "matrix/Matrixob.h"
#include "modules/clustering/treeNodes.h"
#include "modules/clustering/sahnMethods.h"

// A value no working value reaches: the start of every minimum search.
inline constexpr double kSahnNoValue = 9e200;

// A tree in dendrogram order, its levels the working values of the joins.
using TSahnDendrogram = TDendrogram;

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
