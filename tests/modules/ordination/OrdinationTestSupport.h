#pragma once
// Shared by the ordination tests: the data sets of the fixture files and the
// numbers that R computed on them once (references.R beside the fixtures
// writes both).

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "matrix/Matrixob.h"
#include "tests/support/ReferenceTable.h"

namespace ordtest {

inline const std::filesystem::path Fixtures = std::filesystem::path(MORVA_FIXTURES) / "ordination";

inline constexpr double Tolerance = 1e-10;

// The reference matrices of a references.txt by name (this folder's unless
// another file is given).
class References : public testsupport::ReferenceTable {
 public:
  explicit References(const std::filesystem::path& file = Fixtures / "references.txt") : ReferenceTable(file) {}
};

inline const References& Refs() {
  static const References refs(Fixtures / "references.txt");
  return refs;
}

// Reads the headers of a fixture file up to data set `set` (from 1), leaving
// the reader at that set's body; bodies before it are read by readBody.
template <class ReadBody>
TMatrixHeader SeekDataSet(rtl::TextReader& f, int set, TMatrixTypeSet types, ReadBody readBody) {
  for (int k = 1;; ++k) {
    std::unique_ptr<rtl::StringList> comments;
    TMatrixHeader header;
    ReadMatrixHeader(f, comments, header, false, types);
    if (k == set) return header;
    readBody(header);
  }
}

// The square similarity matrix of data set `set`, both triangles filled.
inline std::unique_ptr<Rect_mx> LoadSimilarity(const std::string& file, int set) {
  rtl::TextReader f((Fixtures / file).string());
  const auto read = [&f](const TMatrixHeader& header) {
    auto a = std::make_unique<Rect_mx>(header.rows, header.rows);
    if (header.rowLabelCode == lcBlock) SkipItems(f, header.rows);
    ReadRecords(*a, f);
    return a;
  };
  return read(SeekDataSet(f, set, {mtSimilarity}, read));
}

// The rectangular matrix of data set `set`, as it stands in the file or
// transposed.
inline std::unique_ptr<Rect_mx> LoadRectangular(const std::string& file, int set, bool transposed = false) {
  rtl::TextReader f((Fixtures / file).string());
  const auto read = [&f, transposed](const TMatrixHeader& header) {
    auto a = transposed ? std::make_unique<Rect_mx>(header.cols, header.rows)
                        : std::make_unique<Rect_mx>(header.rows, header.cols);
    const TLabelRead rows{nullptr, transposed ? header.colLabelCode : header.rowLabelCode, false};
    const TLabelRead cols{nullptr, transposed ? header.rowLabelCode : header.colLabelCode, false};
    Read(*a, f, !transposed, rows, cols);
    return a;
  };
  return read(SeekDataSet(f, set, {mtRectangular}, read));
}

// A matrix of the given size filled row by row.
inline std::unique_ptr<Rect_mx> Matrix(int rows, int cols, std::initializer_list<double> values) {
  auto m = std::make_unique<Rect_mx>(rows, cols);
  auto v = values.begin();
  for (int i = 1; i <= rows; ++i)
    for (int j = 1; j <= cols; ++j) m->putxij(i, j, *v++);
  return m;
}

// The reference matrix `name` as a Rect_mx.
inline std::unique_ptr<Rect_mx> ReferenceMatrix(const std::string& name) {
  const References& refs = Refs();
  auto m = std::make_unique<Rect_mx>(refs.Rows(name), refs.Cols(name));
  for (int i = 1; i <= m->rows(); ++i)
    for (int j = 1; j <= m->cols(); ++j) m->putxij(i, j, refs.At(name, i, j));
  return m;
}

// Every cell of the leading block of m equals the reference `name`, whose
// columns may be a subset (the first cols).
inline void ExpectMatchesReference(const Rect_mx& m, const std::string& name, int cols, double tolerance = Tolerance) {
  const References& refs = Refs();
  ASSERT_EQ(m.rows(), refs.Rows(name)) << name;
  for (int i = 1; i <= m.rows(); ++i)
    for (int j = 1; j <= cols; ++j)
      EXPECT_NEAR(m.getxij(i, j), refs.At(name, i, j), tolerance) << name << " (" << i << ", " << j << ")";
}

inline void ExpectMatchesReference(const std::vector<double>& v, const std::string& name,
                                   double tolerance = Tolerance) {
  const std::vector<double> expected = Refs().Column(name);
  ASSERT_EQ(v.size(), expected.size()) << name;
  for (std::size_t i = 0; i < v.size(); ++i) EXPECT_NEAR(v[i], expected[i], tolerance) << name << " [" << i + 1 << "]";
}

}  // namespace ordtest
