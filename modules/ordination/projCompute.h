#pragma once
// Projection of the OTUs of a data matrix onto the factors of a factor matrix
// for the PROJ module: plain products (MULT), products with normalised
// factors (PROJ) with a test for outliers, and the residuals orthogonal to the
// space of the factors (ORTH) with a test of their sums of squares.
//
// The data x is arranged as p variables × n OTUs; a value equal to its
// declared missing value (when the matrix declares one) is skipped in every
// sum. The factor matrix f is p × k, one factor per column, with no missing
// values. Eigenvalues, when given, are the p eigenvalues of the matrix the
// factors came from, in decreasing order.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "matrix/Matrixob.h"

enum class TProjMethod : std::uint8_t { Mult, Proj, Orth };

// y(o, j) = c_j · Σ_i x(i, o) f(i, j), n × k, with c_j = 1 for MULT and
// 1/√(p·|f_j|²) for PROJ. A factor of squared length below 1e-20 gets
// c_j = 0 and the listing line "Warning: factor j seems to be of zero length".
// beforeFactor(j) runs before factor j is projected.
std::unique_ptr<Rect_mx> ProjectOnFactors(const Rect_mx& x, const Rect_mx& f, TProjMethod method,
                                          const std::function<void(std::int32_t j)>& beforeFactor);

// One OTU's line of the outlier test. T2 sums over the k factors, so it is
// Hotelling's T2 in k dimensions and is referred to F with k and n − k
// degrees of freedom (with k = p, the usual p and n − p).
struct TOutlier {
  double t2 = 0;    // Σ_j (Σ_i (x(i, o) − mean_i) f(i, j))² / (|f_j|² λ_j)
  double fs = 0;    // T2 (n − k) / ((n − 1) k)
  double prob = 0;  // upper tail of F with k and n − k degrees of freedom
};

// The outlier test of every OTU; needs n > p, k <= p and p eigenvalues. A
// factor of zero length or an eigenvalue at or below 0 adds nothing to T2.
std::vector<TOutlier> OutlierTest(const Rect_mx& x, const Rect_mx& f, const std::vector<double>& eigenvalues);

// "Analysis of outliers based on k dimensions" and the table, then the note
// on the degrees of freedom (k over n − k).
void ListOutliers(const std::vector<TOutlier>& outliers, std::int32_t k);

// Q = I − F (FᵀF)⁻¹ Fᵀ (p × p), the projector onto the residual space. One
// factor is scaled to unit length; with more, the determinant of FᵀF is
// listed ("Determinant =%e"). A factor of zero length, or a determinant that
// is not above 0 (pivot tolerance 1e-30), raises E_Morvapc "Determinant is too
// small -- factors may be redundant".
std::unique_ptr<Rect_mx> ResidualProjector(const Rect_mx& f);

struct TResiduals {
  std::unique_ptr<Rect_mx> values;  // n × p: r(o, m) = Σ_i Q(i, m) x(i, o)
  std::vector<double> q;            // each OTU's residual sum of squares
};
TResiduals Residuals(const Rect_mx& x, const Rect_mx& projector);

// The normal deviate of each residual sum of squares, from the eigenvalues
// beyond the first k. Nothing when those eigenvalues give no test (none left,
// or no positive sum).
std::optional<std::vector<double>> NormalDeviates(const std::vector<double>& q, const std::vector<double>& eigenvalues,
                                                  std::int32_t k);

// The table of residual sums of squares, with the normal deviates when there
// are any, and the note that fits: deviates, no eigenvalues given
// (eigenvaluesGiven false), or eigenvalues that allow no test.
void ListResiduals(const std::vector<double>& q, const std::optional<std::vector<double>>& deviates,
                   bool eigenvaluesGiven);
