#pragma once
// SIMGEND, module 20: one of 11 genetic distances between populations (the
// OTUs) from a matrix of allele frequencies, optionally with the sample size
// of each population and the grouping of the alleles into loci.
//
// Missing values are deleted pairwise; the loci sums restart at each locus
// and a locus counts for a pair when one of its alleles does.

#include <cstdint>
#include <memory>
#include <span>

#include "modules/similarity/simdata.h"
#include "shell/Modules.h"

// The computation's codes of the coefficients (the choice lists them
// alphabetically; SimgendCodeOfChoice maps one to the other).
enum TSimgendCode : std::int32_t {
  sgBS = 1,
  sgCHORD = 2,
  sgJC = 3,
  sgNEI72 = 4,
  sgPREVOSTI = 5,
  sgROGERS = 6,
  sgHILLIS = 7,
  sgHILLISUB = 8,
  sgNEIUB = 9,
  sgARC = 10,
  sgROGERSW = 11,
};
inline constexpr std::int32_t SimgendCoeffCount = 11;
// Stored by J&C when the share of identical values is 0.25 or less.
inline constexpr double SimgendUndefined = 9999;

// The code of the choice item numbered 1 .. 11.
TSimgendCode SimgendCodeOfChoice(std::int32_t choice);

// pi/2 - arctan(x / sqrt(1 - x^2)), with arguments of 1 or more giving
// exactly 0 (rounding can lift a sum of square roots of frequencies above 1).
long double ArcCos(long double x);

// Raises E_Morvapc naming the population and the allele when a present
// frequency is negative.
void SimgendCheckFrequencies(const Rect_mx& data, const Label_mx& labels);

struct TSimgendDistance {
  double value = 0;
  std::int32_t loci = 0;  // loci counted for the pair (by the coefficients that count loci)
};

// The distances between the populations of one data set.
class TSimgendComputer {
 public:
  // sampleSizes: one per population, or null (every size 1); loci: the locus
  // of each allele, or null (one locus); L: the parameter "Number of loci".
  TSimgendComputer(const Rect_mx& data, TSimgendCode code, std::int32_t L, const vect_mx* sampleSizes,
                   const ivect_mx* loci);

  TSimgendDistance Distance(std::int32_t i, std::int32_t j) const;

 private:
  bool LocusEnds(std::int32_t k) const;
  double SampleSize(std::int32_t otu) const;

  TOtuTable table_;
  TSimgendCode code_;
  bool countsLoci_;
  std::int32_t L_;
  const vect_mx* sampleSizes_;
  const ivect_mx* loci_;
};

void SimgendDescribe(TModuleRec& module);
void SimgendRun(std::span<const TParamRec> params);
void SimgendRelease();
