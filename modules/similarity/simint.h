#pragma once
// SIMINT, module 21: one of 18 coefficients between the OTUs of a data matrix
// of interval characters, written as a similarity or dissimilarity matrix.
//
// Missing values are deleted pairwise: a character counts for a pair only when
// both OTUs have it. A coefficient whose denominator is not positive (or whose
// count of characters is too small) is stored as 0.

#include <cstdint>
#include <span>
#include <vector>

#include "modules/similarity/simdata.h"
#include "shell/Modules.h"

// The coefficients, numbered as the items of the choice.
enum TSimintCoeff : std::int32_t {
  siCORR = 1,
  siDIST,
  siCOSINE,
  siVARCOV,
  siEUCLID,
  siMANHAT,
  siDISTSQ,
  siPSHAPE,
  siPSIZE,
  siN,
  siXXT,
  siCHISQ,
  siMORISITA,
  siMORISIT2,
  siRENKONEN,
  siBRAYCURT,
  siCANBERRA,
  siEUCLIDSQ,
};
inline constexpr std::int32_t SimintCoeffCount = 18;

// 3 (similarity) or 2 (dissimilarity) by coefficient.
int SimintOutputType(TSimintCoeff coeff);

// The CHISQ preparation: replaces each OTU's present values by their share of
// the OTU's total and sets the character weights (each character's total over
// the grand total). Missing cells enter neither the totals nor the weights and
// stay missing. Raises E_Morvapc "Row sum is less than or equal to zero" for
// an OTU whose total is not positive; a grand total that is not positive
// shows the error box "Sum of all elements in matrix is less than or equal to
// zero" and returns false.
bool SimintChisqPrepare(Rect_mx& data, std::vector<double>& weights);

// The coefficient between the OTUs of a data set, pair by pair.
class TSimintComputer {
 public:
  // weights: the CHISQ character weights (ignored by the other coefficients).
  TSimintComputer(const Rect_mx& data, TSimintCoeff coeff, std::vector<double> weights = {});

  // s(i, j); for N, the number of characters that count.
  double Value(std::int32_t i, std::int32_t j) const;
  // s(i, 1) .. s(i, i) into values[0 .. i - 1].
  void Row(std::int32_t i, std::span<double> values) const;

  // One coefficient's loop: s(i, first) .. s(i, last) from the table and weights.
  using TRowValues = void (*)(const TOtuTable&, const double*, std::int32_t, std::int32_t, std::int32_t, double*);

 private:
  TOtuTable table_;
  TSimintCoeff coeff_;
  std::vector<double> weights_;
  TRowValues rowValues_ = nullptr;
};

void SimintDescribe(TModuleRec& module);
void SimintRun(std::span<const TParamRec> params);
void SimintRelease();
