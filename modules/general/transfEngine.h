#pragma once
// The engine of TRANSF: carries out a text of transformation codes, in order,
// on one matrix of any of the eight types read from a matrix file, and writes
// the result.

#include <cstdint>
#include <span>
#include <string>

#include "matrix/MatrixFiles.h"
#include "rtl/TextFile.h"

// Reads the body of the matrix whose header was read, carries out the codes
// (variables are its rows when byRows is set, else its columns) and, when out
// is given, writes the header and body of the result. Raises E_Morvapc with
// the message a user reads for a code that does not apply.
void TransfEngine(rtl::TextReader& in, const TMatrixHeader& header, const std::string& codes, bool byRows,
                  rtl::TextWriter* out);

// The missing value declared for missing values introduced into a matrix
// that had none: the first integer from 99999 up that lies at least 1 from
// every finite value, so that no value is written as it.
double IntroducedMissingValue(std::span<const double> values);
