#pragma once
// The data editor's matrix: every cell kept as text, with the header values it
// was read with. Row 0 holds the column labels and column 0 the row labels.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dataeditor/CellTexts.h"
#include "dataeditor/ShapeRules.h"
#include "rtl/StringList.h"

// The largest number of cells a matrix may have: a bigger header is refused
// before anything is allocated.
inline constexpr std::int64_t kMaxMatrixCells = 16'000'000;

// Number of texts a matrix of this type and size keeps (labels included), or
// -1 for a type outside 1 .. 8 or a negative size. Computed in 64 bits.
std::int64_t MatrixCellCount(int type, std::int64_t rows, std::int64_t cols);

// Raises E_Morvapc "Matrix too large (<rows> x <cols>)." when the matrix would
// hold more than kMaxMatrixCells cells.
void CheckMatrixSize(int type, std::int64_t rows, std::int64_t cols);

// Fixed column headings of the types without column labels of their own
// ("Diag"; "Pointer", "Level"; "OTU i", "OTU j", "Dist"); empty for 1 to 3.
const std::vector<std::string>& FixedHeadings(int type);

// Number of grid columns a type shows (labels column included).
int GridColumnsOf(int type, int cols);
// Number of grid rows a type shows (heading row included).
int GridRowsOf(int type, int rows, int cols);

class TMatrixStr {
 public:
  // Cells are allocated by type as the index rule needs; every cell starts empty.
  TMatrixStr(int type, int rows, int cols, int missingCode, std::string missingText, const rtl::StringList* comments);

  int MatType;
  int Rows;
  int Cols;
  int MissingCode;
  std::string MissingText;
  // Absent when the matrix was made without comments.
  std::unique_ptr<rtl::StringList> Comments;
  // A new matrix nobody has typed into yet: it is not written to the file.
  bool Untouched = false;

  // Cell (r, c); an index outside the store reads as empty and writes nothing.
  // A text read stays valid as long as the matrix.
  std::string_view GetCell(int r, int c) const;
  void SetCell(int r, int c, std::string_view text);
  std::int64_t CellCount() const { return static_cast<std::int64_t>(cells_.size()); }

 private:
  // Index of (r, c) in the store, -1 when outside.
  std::int64_t IndexOf(int r, int c) const;
  std::vector<TCellTexts::Ref> cells_;
  TCellTexts texts_;
};
