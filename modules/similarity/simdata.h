#pragma once
// What the similarity modules share: the data matrix of one data set with the
// OTUs as columns whatever the file's orientation, a copy of it laid out OTU by
// OTU with the pairwise-deletion mask, the lower-triangle writer of their
// output bodies, and the title comments of their output files.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "matrix/MatrixFiles.h"
#include "matrix/Matrixob.h"
#include "rtl/TextFile.h"
#include "shell/ModuleRun.h"
#include "shell/Modules.h"

// The characters (rows) by OTUs (columns) of one data set and the OTU labels.
struct TOtuData {
  std::unique_ptr<Rect_mx> matrix;
  std::shared_ptr<Label_mx> labels;  // without storage when the OTUs carry none
  int outputLabelCode = lcNone;      // lcBlock when the OTUs carry labels

  std::int32_t n() const { return matrix->cols(); }
  std::int32_t p() const { return matrix->rows(); }
};

// Reads the body that follows header: with byRows the file's rows are the
// OTUs, else its columns are.
TOtuData ReadOtuData(rtl::TextReader& f, const TMatrixHeader& header, bool byRows);

// The output header for an n by n matrix of the given type, with the OTU
// labels as a block when there are any, and no missing values.
void WriteOtuHeader(rtl::TextWriter& f, int type, const TOtuData& data, std::string_view format);

// The input's comments, each behind a double-quote mark, then the title lines
// (each written behind a double-quote mark).
void WriteTitleComments(rtl::TextWriter& f, const rtl::StringList* comments, const std::vector<std::string>& title);

// The values of a data set OTU by OTU, each OTU's p values in one block, with
// the mask of present values when the matrix has a missing-value code. A value
// is present when it differs from the missing value by more than 1e-6.
class TOtuTable {
 public:
  explicit TOtuTable(const Rect_mx& data);

  std::int32_t n() const { return n_; }
  std::int32_t p() const { return p_; }
  bool HasMissing() const { return !present_.empty(); }
  const double* Values(std::int32_t otu) const { return values_.data() + Offset(otu); }
  // Null when nothing is missing.
  const char* Present(std::int32_t otu) const { return HasMissing() ? present_.data() + Offset(otu) : nullptr; }
  bool IsPresent(std::int32_t otu, std::int32_t k) const { return !HasMissing() || Present(otu)[k - 1] != 0; }

 private:
  std::size_t Offset(std::int32_t otu) const {
    return static_cast<std::size_t>(otu - 1) * static_cast<std::size_t>(p_);
  }

  std::int32_t n_;
  std::int32_t p_;
  std::vector<double> values_;
  std::vector<char> present_;
};

// Writes a lower triangle row by row as the values come: each value's text,
// a line end after the j-th value of row i when j is a multiple of perLine
// and j <> i, and a line end after the value j = i. Without a file it writes
// nothing. Write failures raise E_Morvapc "I/O error saving matrix - disk full?".
class TTriangleWriter {
 public:
  TTriangleWriter(rtl::TextWriter* f, std::int32_t perLine) : f_(f), perLine_(perLine) {}

  bool Writes() const { return f_ != nullptr; }
  void Put(std::int32_t i, std::int32_t j, std::string_view text);
  // Puts the value by the pattern; one that is not finite is refused (WritableValue).
  void PutValue(std::int32_t i, std::int32_t j, const std::string& pattern, double value);

 private:
  rtl::TextWriter* f_;
  std::int32_t perLine_;
};

// The four parameters every similarity table starts with, in this order.
enum TSimilarityParam : std::int32_t { pInput, pByRows, pCoeff, pOutput };

// What every similarity run holds: its files, the direction and the chosen
// coefficient's keyword.
struct TSimilarityRun : TRunFiles {
  bool byRows = true;
  std::string keyword;

  // Takes the four common parameters and returns the facts of the chosen
  // coefficient.
  template <class Facts, std::size_t N>
  const Facts& TakeCommonParams(std::span<const TParamRec> params, const std::array<Facts, N>& facts) {
    input = params[pInput].fileName;
    byRows = params[pByRows].check;
    output = params[pOutput].fileName;
    const Facts& chosen = ChosenFacts(facts, params[pCoeff]);
    keyword = chosen.name;
    return chosen;
  }

  // "Input parameters", the input file and "Compute by: " with the direction.
  void ListCommonParams() const;
};
