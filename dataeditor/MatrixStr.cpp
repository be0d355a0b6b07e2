#include "dataeditor/MatrixStr.h"

#include <algorithm>

#include "matrix/Constu.h"
#include "matrix/PackedTriangle.h"
#include "rtl/Format.h"

std::int64_t MatrixCellCount(int type, std::int64_t rows, std::int64_t cols) {
  if (rows < 0 || cols < 0) return -1;
  switch (type) {
    case mtRectangular: return (rows + 1) * (cols + 1);
    case mtDissimilarity:
    case mtSimilarity: return rows + rows * (rows + 1) / 2 + 1;
    case mtDiagonal: return 2 * (rows + 1);
    case mtTreeDissimilarity:
    case mtTreeSimilarity: return 3 * (rows + 1);
    case mtGraphDissimilarity:
    case mtGraphSimilarity: return 4 * (std::max(rows, cols) + 1);
    default: return -1;
  }
}

void CheckMatrixSize(int type, std::int64_t rows, std::int64_t cols) {
  // Sizes are capped first so that the cell count cannot overflow.
  constexpr std::int64_t kMaxSide = 1'000'000'000;
  bool tooLarge = rows > kMaxSide || cols > kMaxSide || MatrixCellCount(type, rows, cols) > kMaxMatrixCells;
  if (tooLarge) throw E_Morvapc(rtl::Format("Matrix too large (%d x %d).", rows, cols));
}

const std::vector<std::string>& FixedHeadings(int type) {
  static const std::vector<std::string> none;
  static const std::vector<std::string> diagonal{"Diag"};
  static const std::vector<std::string> tree{"Pointer", "Level"};
  static const std::vector<std::string> graph{"OTU i", "OTU j", "Dist"};
  if (type == mtDiagonal) return diagonal;
  if (IsTreeType(type)) return tree;
  if (IsGraphType(type)) return graph;
  return none;
}

int GridColumnsOf(int type, int cols) {
  if (type == mtDiagonal) return 2;
  if (IsTreeType(type)) return 3;
  if (IsGraphType(type)) return 4;
  return cols + 1;
}

int GridRowsOf(int type, int rows, int cols) { return (IsGraphType(type) ? std::max(rows, cols) : rows) + 1; }

TMatrixStr::TMatrixStr(int type, int rows, int cols, int missingCode, std::string missingText,
                       const rtl::StringList* comments)
    : MatType(type), Rows(rows), Cols(cols), MissingCode(missingCode), MissingText(std::move(missingText)) {
  if (comments != nullptr) Comments = std::make_unique<rtl::StringList>(*comments);
  CheckMatrixSize(type, rows, cols);
  std::int64_t count = MatrixCellCount(type, rows, cols);
  if (count > 0) cells_.resize(static_cast<std::size_t>(count));
}

std::int64_t TMatrixStr::IndexOf(int r, int c) const {
  if (r < 0 || c < 0) return -1;
  std::int64_t row = r, col = c, index;
  switch (MatType) {
    case mtRectangular: index = col > Cols ? -1 : row * (static_cast<std::int64_t>(Cols) + 1) + col; break;
    case mtDissimilarity:
    case mtSimilarity:
      // The lower triangle with the diagonal; (r, c) above it is its mirror.
      if (row < col) std::swap(row, col);
      index = static_cast<std::int64_t>(PackedIndex(row + 1, col + 1));
      break;
    case mtDiagonal: index = col > 1 ? -1 : 2 * row + col; break;
    case mtTreeDissimilarity:
    case mtTreeSimilarity: index = col > 2 ? -1 : 3 * row + col; break;
    case mtGraphDissimilarity:
    case mtGraphSimilarity: index = col > 3 ? -1 : 4 * row + col; break;
    default: return -1;
  }
  return index < CellCount() ? index : -1;
}

std::string_view TMatrixStr::GetCell(int r, int c) const {
  std::int64_t i = IndexOf(r, c);
  return i < 0 ? std::string_view() : texts_.Get(cells_[static_cast<std::size_t>(i)]);
}

void TMatrixStr::SetCell(int r, int c, std::string_view text) {
  std::int64_t i = IndexOf(r, c);
  if (i >= 0) cells_[static_cast<std::size_t>(i)] = texts_.Add(text);
}
