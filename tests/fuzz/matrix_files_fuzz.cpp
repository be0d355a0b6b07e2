// Fuzz target over the matrix file readers: the header reader, then the body
// reader that the header's type calls for, for every matrix of the input.
//
// The first byte of the input chooses among the readers' variants (by rows or
// by columns, a selection, labels wanted or skipped, the lower-triangle and
// integer readers, the listing); the rest is the file. A reader may refuse the
// file with E_Morvapc; anything else it raises, and any crash, is a finding.

#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <memory>
#include <string>

#include "FuzzInput.h"
#include "matrix/Constu.h"
#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "matrix/Matrixob.h"
#include "matrix/util/UtExcept.h"
#include "rtl/TextFile.h"

namespace {

// Sizes above this are refused before any matrix is made, to keep runs fast.
constexpr int kMaxSize = 300;

enum Option : unsigned {
  kByColumns = 1u << 0,
  kSelection = 1u << 1,
  kSkipLabels = 1u << 2,
  kLowerTriangle = 1u << 3,
  kIntegers = 1u << 4,
  kList = 1u << 5,
  kSkipItems = 1u << 6,
};

// Every second file position, backwards: a selection that skips and reorders.
std::unique_ptr<Index_mx> SelectionOf(std::int32_t fileSize, std::int32_t& selected) {
  auto sel = std::make_unique<Index_mx>(fileSize);
  selected = (fileSize + 1) / 2;
  for (std::int32_t k = 1; k <= fileSize; ++k) sel->Put(k, k % 2 == 1 ? selected - k / 2 : 0);
  return sel;
}

void ReadRect(rtl::TextReader& f, const TMatrixHeader& h, unsigned options) {
  const bool wanted = !(options & kSkipLabels);
  if (options & kLowerTriangle) {
    Rect_mx m(h.rows, h.rows);
    ReadRecords(m, f);
    return;
  }
  std::int32_t rows = h.rows, cols = h.cols;
  std::unique_ptr<Index_mx> rowSel, colSel;
  if (options & kSelection) {
    rowSel = SelectionOf(h.rows, rows);
    colSel = SelectionOf(h.cols, cols);
  }
  Rect_mx m(rows, cols, h.missingCode, h.missingValue);
  Label_mx rowLabels(rows), colLabels(cols);
  Read(m, f, !(options & kByColumns), {&rowLabels, h.rowLabelCode, wanted}, {&colLabels, h.colLabelCode, wanted},
       rowSel.get(), colSel.get());
}

void ReadBody(rtl::TextReader& f, const TMatrixHeader& h, unsigned options) {
  Label_mx labels(h.rows);
  Label_mx* const wantedLabels = (options & kSkipItems) ? nullptr : &labels;
  const bool square = h.type == mtDissimilarity || h.type == mtSimilarity || h.type == mtDiagonal;
  if (square && h.rowLabelCode == lcBlock) {
    if (options & kSkipItems) {
      SkipItems(f, h.rows);
    } else {
      ReadLabels(labels, f);
    }
  }
  switch (h.type) {
    case mtRectangular: ReadRect(f, h, options); break;
    case mtDissimilarity:
    case mtSimilarity: {
      Sym_mx m(h.type, h.rows, h.missingCode, h.missingValue);
      Read(m, f);
      break;
    }
    case mtDiagonal:
      if (options & kIntegers) {
        ivect_mx v(h.rows);
        Read(v, f);
      } else {
        vect_mx v(h.rows);
        Read(v, f);
      }
      break;
    case mtTreeDissimilarity:
    case mtTreeSimilarity: {
      Tree_mx t(h.type, h.rows);
      ReadTreeMatrix(t, f, h, wantedLabels);
      break;
    }
    default: {
      Graph_mx g(h.type, h.rows, h.cols);
      ReadGraphMatrix(g, f, h, wantedLabels);
      break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const unsigned options = data[0];
  auto f = rtl::TextReader::FromText(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));

  return fuzz::TakeInput<E_Morvapc>([&] {
    while (!f.Eof()) {
      std::unique_ptr<rtl::StringList> comments;
      TMatrixHeader h;
      ReadMatrixHeader(f, comments, h, (options & kList) != 0, {1, 2, 3, 4, 5, 6, 7, 8});
      if (h.rows < 1 || h.rows > kMaxSize || h.cols < 1 || h.cols > kMaxSize) return;
      ReadBody(f, h, options);
    }
  });
}
