#pragma once
// What the rectangular engine of TRANSF and that of the other matrix types
// share: the missing-value state of a data set, the kinds of codes, the
// deletion of variables and the line length of the records written.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "matrix/MatrixFiles.h"
#include "modules/general/transfCodes.h"
#include "rtl/TextFile.h"

// The missing-value code and value of a data set. A matrix that declared no
// missing values marks those the codes introduce by +Infinity until it is
// written, when they get an integral value of their own.
struct TTransfMissing {
  explicit TTransfMissing(const TMatrixHeader& header);

  bool IsMissing(double x) const { return code != 0 && x == value; }
  // The code and value the output declares, the values about to be written
  // given to choose an introduced value.
  double OutputValue(std::span<const double> values) const;

  int code = 0;
  double value = 0;
  bool declared = false;  // the input declared missing values
};

// The codes whose work is the element function, value by value.
bool IsElementCode(int code);

// Whether the code changes a symmetric, tree or graph matrix into the other
// kind (dissimilarities to similarities and back).
bool SwapsMatrixKind(const TParsedCode& parsed);

// DELETE, DEL and KEEP on the flags of the variables 1 .. n (index 0 unused).
bool MarksDeletions(const TParsedCode& parsed, std::vector<char>& deleted);

std::int32_t KeptCount(const std::vector<char>& deleted);

// TRANSF writes the records of a matrix it has changed seven values to a line.
inline constexpr std::size_t kTransfValuesPerLine = 7;

// Where the introduced missing values (+Infinity) go at the output: marker.
void MarkIntroduced(std::span<double> values, double marker);
