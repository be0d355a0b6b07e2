#pragma once
// Correspondence analysis of a two-way table of non-negative frequencies, held
// with its smaller dimension as the working rows (p × n, p <= n): the masses
// of the rows and columns, the eigen-analysis of S = D_r^(-1/2) P D_c^(-1) Pᵀ
// D_r^(-1/2) (P the table over its total), whose first, trivial eigenvalue is
// dropped; the principal inertias, the rows' principal coordinates from S's
// eigenvectors and the columns' by the transition formula, and the squared
// chi-square distances of every row and column to its centroid.
//
// The table must hold no missing values (the module refuses a file that
// declares them). A negative entry, a total or a row or column sum that is
// not positive is refused with a message naming it by the file's dimension.

#include <cstdint>
#include <memory>
#include <vector>

#include "matrix/Matrixob.h"

struct TCorrespResult {
  double total = 0;                    // of the table
  std::vector<double> rowMass;         // r_i, p values
  std::vector<double> columnMass;      // c_j, n values
  std::vector<double> rowDistance;     // d_i
  std::vector<double> columnDistance;  // d_j
  double trace = 0;                    // the sum of the non-trivial eigenvalues, as computed
  std::vector<double> eigenvalues;     // e_1 .. e_(p-1), negative ones as 0
  std::unique_ptr<Rect_mx> rows;       // F: p × k principal coordinates
  std::unique_ptr<Rect_mx> columns;    // G: n × k
};

// Analyses x (p × n, p <= n), which is divided by its total in place, keeping
// k <= p - 1 dimensions. turned tells that the working rows are the file's
// columns, for the messages. Eigenvectors whose eigenvalue is not above 1e-8
// give coordinates of 0.
TCorrespResult CorrespCompute(Rect_mx& x, std::int32_t k, bool turned);

// A point's absolute contribution to dimension a, mass × coordinate² / e_a,
// and its squared correlation, coordinate² / d; each 0 where its divisor is
// not above 0.
double AbsoluteContribution(double mass, double coordinate, double eigenvalue);
double SquaredCorrelation(double coordinate, double distance);
