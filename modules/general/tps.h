#pragma once
// The thin-plate spline computations of TPSWTS: the spline of a reference
// configuration of p landmarks in 2-D or 3-D (its matrix L and the blocks of
// its inverse), the bending energy matrix with its principal warps and their
// bending energies, the partial warp scores of every object with the alpha
// weighting, and in 2-D the uniform component, either from the spline's
// affine part or by linearised Procrustes after fitting every object to the
// aligned reference.

#include <cstdint>
#include <memory>

#include "matrix/Matrixob.h"

// A rectangular matrix read through three indices: element (i, j, k) is
// column (j - 1) m3 + k of row i. Landmark data are (objects, landmarks,
// coordinates), weights (objects, warps, coordinates).
class rect_mx3 : public Rect_mx {
 public:
  rect_mx3(std::int32_t rows, std::int32_t m2, std::int32_t m3, std::int32_t missCode = 0,
           double missValue = NoMissingValue)
      : Rect_mx(rows, m2 * m3, missCode, missValue), m2_(m2), m3_(m3) {}

  std::int32_t m2() const { return m2_; }
  std::int32_t m3() const { return m3_; }
  double get(std::int32_t i, std::int32_t j, std::int32_t k) const { return getxij(i, (j - 1) * m3_ + k); }
  void put(std::int32_t i, std::int32_t j, std::int32_t k, double x) { putxij(i, (j - 1) * m3_ + k, x); }

 private:
  std::int32_t m2_;
  std::int32_t m3_;
};

// How the two columns of the uniform component are estimated, if at all.
enum class TTpsAffine { None, IncludeXY, IncludeU };

struct TTpsSettings {
  std::int32_t dimensions = 2;
  TTpsAffine affine = TTpsAffine::None;
  double alpha = 0;
  bool detail = false;  // the detail listings: principal warps, alignment, uniform tables
};

// The spline of a reference: the upper left p x p block of the inverse of L
// and its affine rows p + 1 .. p + DIM + 1, the principal warps (the
// eigenvectors of the bending energy matrix as columns) and their bending
// energies in decreasing order.
struct TTpsSpline {
  std::unique_ptr<Rect_mx> inverse;
  std::unique_ptr<Rect_mx> affine;
  std::unique_ptr<Rect_mx> warps;
  std::unique_ptr<vect_mx> energies;
};

// The spline of the reference (DIM x p: row d holds coordinate d of every
// landmark), with its listing. Refuses a reference of p <= DIM + 1
// landmarks, coinciding landmarks, and one whose L is singular.
TTpsSpline TpsBendingEnergy(const TTpsSettings& settings, const Rect_mx& reference);

// Crout's LU factorisation of the n x n matrix a with implicit scaling and
// partial pivoting; index records the pivot row of each column. Returns the
// sign of the row exchanges. A row of zeros, or a pivot that is zero or lost
// in the rounding of the terms that made it, lists "Problem in calculation -
// matrix is singular" and raises E_Morvapc "Matrix is singular".
double TpsLUDecompose(Rect_mx& a, std::int32_t n, ivect_mx& index);
// Solves a x = b in place with the factors of TpsLUDecompose.
void TpsLUSolve(const Rect_mx& a, std::int32_t n, const ivect_mx& index, vect_mx& b);

// The partial warp scores of warps 1 .. k + uniform columns of every object:
// W(i, j, d) = f sum over l of (X(i, l, d) - Ref(d, l)) PW(l, j), with
// f = 1/sqrt(n) times the bending energy of warp j to the power -alpha/2
// for the k warps with bending energy, 1/sqrt(n) alone for the rest. With
// alpha other than 0 a bending energy that is not positive refuses the
// reference.
void TpsPartialWarpScores(const rect_mx3& x, const Rect_mx& reference, const TTpsSpline& spline, double alpha,
                          rect_mx3& weights);

// The anisotropy, the tangent of the principal direction and the size of the
// affine map [b11 b12; b21 b22]; 99 stands for an anisotropy or a tangent that
// has no value.
struct TTpsAffineSummary {
  double anisotropy = 0;
  double tangent = 0;
  double size = 0;
};
TTpsAffineSummary TpsAffineSummary(double b11, double b12, double b21, double b22);

// Centres the reference (DIM x p), scales it to unit centroid size and turns
// it to its principal axes, with the listing of its means and size; returns
// the sums of squares along the first two axes.
struct TTpsAxes {
  double alpha = 0;
  double beta = 0;
};
TTpsAxes TpsAlignReference(Rect_mx& reference, bool detail);

// Replaces every object by its least-squares fit to the aligned reference:
// centred, scaled to unit centroid size and turned (reflections allowed).
void TpsFitSpecimens(rect_mx3& x, const Rect_mx& reference);

// The last pair of weight columns: the uniform component of every object,
// from the spline's affine part (IncludeXY) or by linearised Procrustes
// (IncludeU, which aligns the reference and fits the objects in place).
void TpsUniformComponent(const TTpsSettings& settings, rect_mx3& x, Rect_mx& reference, const TTpsSpline& spline,
                         rect_mx3& weights);

// The whole computation of one data set: the weight matrix of the objects of
// x (objects, landmarks, DIM) against the reference (DIM x p), and the
// principal warps (p x p).
struct TTpsResult {
  std::unique_ptr<rect_mx3> weights;
  std::unique_ptr<Rect_mx> warps;
};
TTpsResult TpsWeightMatrix(const TTpsSettings& settings, const rect_mx3& x, const Rect_mx& reference);
