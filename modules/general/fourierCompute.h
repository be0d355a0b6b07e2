#pragma once
// The computations of FOURIER: elliptic Fourier analysis of closed outlines in
// 2-D and 3-D with the normalisation of the 2-D coefficients, the outline
// points given back by a series of elliptic coefficients, Fourier analysis of
// radii at equally spaced angles, and the area and perimeter of an outline
// for its size standardisation. Points are kept as one row of values x1, y1
// (, z1), x2, ...; each routine works on one object and only reports its
// progress.

#include <cstdint>
#include <span>
#include <vector>

// The angle of the vector (x, y); 0 and 0 give -pi/2.
double FourierArcTan2(double y, double x);

// Brings an angle into -pi .. pi.
void FourierNormalizeAngle(double& angle);

// The area (absolute) and the perimeter of the closed polygon of the points
// x1, y1, x2, y2, ...
double FourierOutlineArea(std::span<const double> points);
double FourierOutlinePerimeter(std::span<const double> points);

// The polygon of radii r1 .. rK drawn at the angles (k - 1) 2pi / K.
std::vector<double> FourierRadiiPolygon(std::span<const double> radii);

// The elliptic Fourier coefficients of an outline: its length, the constant
// terms (A0, C0 and in 3-D E0) and per harmonic 1 .. N its coefficients (a, b,
// c, d and in 3-D e, f).
struct TEllipticFourier {
  double length = 0;
  std::vector<double> constants;
  std::vector<std::vector<double>> harmonics;
};

// The elliptic Fourier analysis of the closed outline of points (dimensions
// 2 or 3 values a point) with N harmonics, without normalisation. A repeated
// point adds nothing; an outline of length 0 has zero harmonics and its first
// point as constant terms.
TEllipticFourier FourierEFA(std::span<const double> points, std::int32_t dimensions, std::int32_t harmonics);

// The ellipse of a 2-D first harmonic: the angle of its semi-major axis
// (orientation psi), the phase of the start point (theta) and the length of
// the semi-major axis (radius E).
struct TFirstHarmonic {
  double psi = 0;
  double theta = 0;
  double radius = 0;
};

TFirstHarmonic FourierFirstHarmonic(const TEllipticFourier& fit);

// Rotates a 2-D fit by psi, shifts its start by theta and divides it by
// scale: each harmonic n becomes (1/scale) R(psi) [a b; c d] S(n theta), the
// constant terms (1/scale) R(psi) (A0, C0).
void FourierNormalize(TEllipticFourier& fit, double psi, double theta, double scale);

// The outline points 1 .. count of the series of coefficients (A0, C0 (, E0),
// then the 2 x dimensions coefficients of each harmonic), at the parameters
// (p - 1) 2pi / count, from harmonics 1 .. H.
std::vector<double> FourierInverseEFA(std::span<const double> coefficients, std::int32_t dimensions, std::int32_t H,
                                      std::int32_t count);

// One harmonic of a radius function: the cosine and sine coefficients, the
// amplitude and the phase (radians) with A = amplitude sin(phase) and
// B = amplitude cos(phase).
struct TRadiusHarmonic {
  double A = 0;
  double B = 0;
  double amplitude = 0;
  double phase = 0;
};

// The harmonics 0 .. N of the radii r1 .. rK at the angles (k - 1) 2pi / K,
// A = 2/K sum rk cos(n theta_k), B = 2/K sum rk sin(n theta_k). With rotate
// the phases are taken relative to the first harmonic's (which becomes 0),
// and A and B are made again from the amplitude and the new phase.
std::vector<TRadiusHarmonic> FourierEqualSpaced(std::span<const double> radii, std::int32_t N, bool rotate);
