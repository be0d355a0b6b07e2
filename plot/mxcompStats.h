#pragma once
// Matrix comparison: the association of two symmetric matrices X and Y over
// the same n objects, over the pairs (i, j), i > j, that hold a value in both
// (the diagonal is never used). It gives the matrix correlation r, the raw or
// normalised Mantel statistic Z (the sum of the products), Mantel's
// approximate t-test with its normal probability and a test over random
// permutations of Y's objects, and lists them.
//
// Which entries hold values is taken once, when a matrix is read (TEntryMask):
// standardised values written back into the matrices are never mistaken for
// the missing value. Fewer than 4 objects, no usable pair and a matrix whose
// sum of squares vanishes against its sum of squared values are refused with
// E_Morvapc before anything is divided by them.

#include <cstdint>
#include <memory>
#include <vector>

#include "matrix/Matrixob.h"

// Which entries of a symmetric matrix hold a value: all of them without a
// missing-value code, else those that differ from the missing value.
class TEntryMask {
 public:
  explicit TEntryMask(const Sym_mx& matrix);

  bool operator()(std::int32_t i, std::int32_t j) const { return valid_[Sym_mx::PackedIndex(i, j)] != 0; }
  // True when every entry holds a value.
  bool All() const { return all_; }

 private:
  std::vector<unsigned char> valid_;
  bool all_ = true;
};

// The matrices a comparison keeps for its plot: the X and the Y matrix of each
// data set in file order, each with the mask of its entries.
struct TMxCompData {
  TSymMxList X;
  TSymMxList Y;
  std::vector<TEntryMask> XValid;
  std::vector<TEntryMask> YValid;

  std::int32_t Count() const { return X.Count(); }
  // Takes one data set's pair; the masks are taken from the values as read.
  void Add(std::unique_ptr<Sym_mx> x, std::unique_ptr<Sym_mx> y);
};

// One pair of matrices of the same order with their masks.
struct TMxCompPair {
  Sym_mx& X;
  Sym_mx& Y;
  const TEntryMask& XValid;
  const TEntryMask& YValid;

  std::int32_t n() const { return X.n(); }
  // The pair (i, j) takes part: both matrices hold a value there.
  bool Used(std::int32_t i, std::int32_t j) const { return XValid(i, j) && YValid(i, j); }
};

// What the association of one pair comes to.
struct TMxCompStatistics {
  double N = 0;  // pairs used
  double SX = 0, SY = 0, SXX = 0, SYY = 0;
  double meanX = 0, meanY = 0;
  double SSx = 0, SSy = 0;  // sums of squares about the means
  double Z = 0;             // sum of the products: raw, or of standardised values
  double QX = 0, QY = 0;    // sums of the squared row totals of those values
  double r = 0;             // matrix correlation (= Z when normalised)
  double t = 0;             // Mantel's approximate t
};

// The permutation mean E and variance V of the full-matrix statistic 2Z
// over all orderings of Y's objects, from sums over the half matrix.
struct TMantelMoments {
  double E = 0;
  double V = 0;
};
TMantelMoments MxCompMantelMoments(std::int32_t n, double SX, double SY, double SXX, double SYY, double QX, double QY);

// Mantel's approximate t, (2Z - E) / sqrt(V); 0 when V is not positive.
double MxCompMantelT(std::int32_t n, double SX, double SY, double SXX, double SYY, double Z, double QX, double QY);

// The lower-tail standard normal probability, by the polynomial
// approximation of ACM Algorithm 209 (Gauss).
double MxCompNormalCdf(double z);

// Shuffles P[1..n] in place from its current order with the process-wide
// generator: for i = 1..n, P[i] swaps with P[j], j drawn from i..n.
void MxCompPermute(std::int32_t n, ivect_mx& P);

// The association of a pair. Normalising standardises the values with the
// means and the square roots of the sums of squares; with writeBack the
// standardised values replace every entry that holds a value, in both
// matrices, so that permutations and the plot see them.
TMxCompStatistics MxCompAssociation(TMxCompPair pair, bool normalize, bool writeBack);

// Z of Y with its objects put in the order P: the sum of X(i, j) * Y(P[i], P[j])
// over i > j where X holds a value at (i, j) and Y at (P[i], P[j]).
double MxCompPermutedZ(const TMxCompPair& pair, const ivect_mx& P);

// How the permuted statistics fall against the observed Z.
struct TMxCompCounts {
  std::int32_t less = 0;
  std::int32_t equal = 0;
  std::int32_t greater = 0;

  // Equal within 1e-10 relative to |Z| (at least 1e-10) counts as equal,
  // whatever the sign of the difference; then less or greater.
  void Tally(double Zp, double Z);
};

// np random permutations of Y's objects, the generator seeded once from the
// clock; progress "Permuting" after every fifth.
TMxCompCounts MxCompPermutationTest(const TMxCompPair& pair, double Z, std::int32_t np);

// The computation of one data set with its listing: the sums, r, Z, the
// t-test and, for np > 0, the permutation test.
void MxCompCompute(TMxCompPair pair, bool normalize, std::int32_t np);
