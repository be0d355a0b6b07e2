#pragma once
// Canonical variates analysis from summary statistics: the g x p group means,
// the g group sizes n_i (N in all) and the pooled within-groups matrix W
// (p x p, divisor N - g). The canonical vectors CV (p x k) are the
// eigenvectors of the among-groups matrix relative to W, scaled so that
// CV^T W CV = I; the roots are the eigenvalues of W^-1 H with H the
// among-groups cross-products and W its within-groups counterpart.
//
// The four multivariate tests and the table of trailing roots take q = g - 1
// as the hypothesis degrees of freedom, whatever number of roots k the data
// give; Rao's F for Wilks' lambda uses t = 1 where p^2 + q^2 - 5 <= 0, which
// makes it exact there.

#include <cstdint>
#include <memory>
#include <vector>

#include "matrix/Matrixob.h"

// The grand mean of the group means weighted by the sizes into gm (1 x p).
void CvaGrandMean(const Rect_mx& means, const std::vector<double>& sizes, Rect_mx& gm);

// The grand mean weighted by the sizes into gm (1 x p), and the among-groups
// cross-products sum n_i (m_i - gm)(m_i - gm)^T added to the lower triangle
// of a.
void CvaAmongMatrix(const Rect_mx& means, const std::vector<double>& sizes, Rect_mx& a, Rect_mx& gm);

// What the computation gives: the roots in decreasing order (all p) and the
// canonical vectors of the first k roots (p x k).
struct TCvaSolution {
  std::vector<double> roots;
  std::unique_ptr<Rect_mx> vectors;
  std::int32_t rankW = 0;
  std::int32_t rankB = 0;
};

// The two eigen-analyses with their listings and the tests, with cutoff as
// the tolerance of both. w is overwritten. k is min(g - 1, p) on entry; when
// fewer than k roots lie above the cutoff it lists the lower rank and becomes
// that number, and the vectors have that many columns. 0 roots give no
// vectors (null).
TCvaSolution CvaCompute(const Rect_mx& means, const std::vector<double>& sizes, Rect_mx& w, double cutoff,
                        std::int32_t& k);

// One line of the tests: the statistic, its F approximation and degrees of
// freedom.
struct TCvaTest {
  double value = 0;
  double f = 0;
  double df1 = 0;
  double df2 = 0;
};

struct TCvaManova {
  TCvaTest wilks, pillai, hotelling, roy;
};

// The tests of the first used roots for p variables, q hypothesis and ve
// error degrees of freedom.
TCvaManova CvaManovaStatistics(const std::vector<double>& roots, std::int32_t used, std::int32_t p, std::int32_t q,
                               double ve);

// The test that roots i .. used are zero, for i = 1 .. used.
struct TCvaTrailingRoot {
  double lambda = 0;  // product of 1 / (1 + root) over the roots tested
  double f = 0;
  std::int32_t df1 = 0;
  double df2 = 0;
};
// Empty when the multiplier m = ve + q - (p + q + 1) / 2 is not positive.
std::vector<TCvaTrailingRoot> CvaTrailingRoots(const std::vector<double>& roots, std::int32_t used, std::int32_t p,
                                               std::int32_t q, double ve);

// The listing of both.
void CvaManovaTests(const std::vector<double>& roots, std::int32_t used, std::int32_t p, std::int32_t q, double ve);

// The scores of the centred group means, Dev CV (g x k), and the regressions
// of the centred means on them, (S^T S)^-1 S^T Dev (k x p), into the callers'
// matrices of those sizes.
void CvaScores(const Rect_mx& means, const Rect_mx& grandMean, const Rect_mx& vectors, Rect_mx& scores,
               Rect_mx& regressions);

// The Euclidean distances between the rows of the scores (the generalized
// distances between the groups).
void CvaDistances(const Rect_mx& scores, Sym_mx& dist);

// The group (from 1) whose row of centres lies nearest to the point, the
// first of equally near ones, and the squared distance.
struct TCvaNearest {
  std::int32_t group = 0;
  double squaredDistance = 0;
};
TCvaNearest CvaNearestGroup(const Rect_mx& points, std::int32_t row, const Rect_mx& centres);
