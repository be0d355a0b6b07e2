#pragma once
// The rectangular part of the TRANSF engine (transfEngine.h).

#include <string>

#include "matrix/MatrixFiles.h"
#include "rtl/TextFile.h"

void TransfRectangular(rtl::TextReader& in, const TMatrixHeader& header, const std::string& codes, bool byRows,
                       rtl::TextWriter* out);
