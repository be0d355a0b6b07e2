#pragma once
// Upper-tail probabilities of the chi-square and F distributions, built on
// ln Γ, the regularised incomplete gamma function and the regularised
// incomplete beta function. Everything is evaluated in extended precision.
//
// Failures (an argument out of range, NaN, a series that does not converge)
// raise no exception: they set a process-wide error flag. ChiSqProb and FProb
// clear the flag when they start and turn a failure into a fixed result that
// cannot pass for a probability computed from the data: 0.0 for ChiSqProb,
// 99.0 for FProb.

// Probability that a chi-square variable with df degrees of freedom exceeds
// chi2. A chi2 at or below 0 gives 1.0; df <= 0 is a failure (0.0).
double ChiSqProb(double chi2, double df);

// Probability that an F variable with df1 and df2 degrees of freedom exceeds f.
// A negative f or a degree of freedom <= 0 is a failure (99.0).
double FProb(double f, double df1, double df2);

// ln Γ(x) for x > 0, by a six-term series.
long double LnGamma(long double x);

// Regularised lower incomplete gamma function P(a, x); a <= 0 or x < 0 fails.
long double GammaP(long double a, long double x);

// P(a, x) by its series; sets lnGammaA to ln Γ(a).
long double GammaSeries(long double a, long double x, long double& lnGammaA);

// Q(a, x) = 1 - P(a, x) by its continued fraction; sets lnGammaA to ln Γ(a).
long double GammaContFrac(long double a, long double x, long double& lnGammaA);

// Regularised incomplete beta function I_x(a, b); a, b <= 0 or x outside
// [0, 1] fails and gives 0.
long double BetaI(long double a, long double b, long double x);

// The continued fraction of the incomplete beta function.
long double BetaContFrac(long double a, long double b, long double x);

// The error flag: set by a failure, cleared by ClearProbError and at the start
// of ChiSqProb and FProb.
bool ProbErrorSet();
void ClearProbError();
