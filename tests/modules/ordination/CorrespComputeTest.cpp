// The correspondence analysis of a table against R (ca::ca, chisq.test and
// the formulas of masses, distances, contributions and squared correlations,
// made once by tests/fixtures/corresp/references.R), for a plain table, a
// turned one (more rows than columns) and a small one; and its refusals.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "matrix/Constu.h"
#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "modules/ordination/correspCompute.h"
#include "tests/modules/ordination/OrdinationTestSupport.h"

namespace {

const std::filesystem::path Fixtures = std::filesystem::path(MORVA_FIXTURES) / "corresp";
constexpr double Tolerance = 1e-10;

const ordtest::References& Refs() {
  static const ordtest::References refs(Fixtures / "references.txt");
  return refs;
}

// A table read with its smaller side as the rows.
std::unique_ptr<Rect_mx> LoadWorking(const std::string& file, bool& turned) {
  rtl::TextReader f((Fixtures / file).string());
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader header;
  ReadMatrixHeader(f, comments, header, false, {mtRectangular});
  turned = header.rows > header.cols;
  auto x = turned ? std::make_unique<Rect_mx>(header.cols, header.rows)
                  : std::make_unique<Rect_mx>(header.rows, header.cols);
  Read(*x, f, !turned, {nullptr, turned ? header.colLabelCode : header.rowLabelCode, false},
       {nullptr, turned ? header.rowLabelCode : header.colLabelCode, false});
  return x;
}

// The reference of the file's rows or columns for the working side.
std::string Side(const std::string& table, bool fileRows, const std::string& what) {
  return table + (fileRows ? ".row" : ".col") + what;
}

void ExpectVector(const std::vector<double>& v, const std::string& name) {
  const std::vector<double> expected = Refs().Column(name);
  ASSERT_EQ(v.size(), expected.size()) << name;
  for (std::size_t i = 0; i < v.size(); ++i) EXPECT_NEAR(v[i], expected[i], Tolerance) << name << " [" << i + 1 << "]";
}

// Dimension a of the working rows' and the working columns' coordinates
// equals R's, both turned the same way when R's point the other way.
void ExpectCoordinates(const TCorrespResult& r, const std::string& table, bool turned, std::int32_t k) {
  const std::string rows = Side(table, !turned, "coord"), cols = Side(table, turned, "coord");
  for (int a = 1; a <= k; ++a) {
    const double sign = (r.rows->getxij(1, a) < 0) == (Refs().At(rows, 1, a) < 0) ? 1.0 : -1.0;
    for (int i = 1; i <= r.rows->rows(); ++i)
      EXPECT_NEAR(r.rows->getxij(i, a), sign * Refs().At(rows, i, a), Tolerance) << rows << " " << i << " " << a;
    for (int j = 1; j <= r.columns->rows(); ++j)
      EXPECT_NEAR(r.columns->getxij(j, a), sign * Refs().At(cols, j, a), Tolerance) << cols << " " << j << " " << a;
  }
}

// Contributions and squared correlations of one side, as the module writes them.
void ExpectContributions(const Rect_mx& coordinates, const std::vector<double>& masses,
                         const std::vector<double>& distances, const std::vector<double>& eigenvalues,
                         const std::string& abs, const std::string& corr) {
  for (int i = 1; i <= coordinates.rows(); ++i) {
    for (int a = 1; a <= coordinates.cols(); ++a) {
      const double f = coordinates.getxij(i, a);
      const std::size_t at = static_cast<std::size_t>(i - 1);
      EXPECT_NEAR(AbsoluteContribution(masses[at], f, eigenvalues[static_cast<std::size_t>(a - 1)]),
                  Refs().At(abs, i, a), Tolerance)
          << abs << " " << i << " " << a;
      EXPECT_NEAR(SquaredCorrelation(f, distances[at]), Refs().At(corr, i, a), Tolerance)
          << corr << " " << i << " " << a;
    }
  }
}

class CorrespAnalysis : public ::testing::TestWithParam<const char*> {};

TEST_P(CorrespAnalysis, EqualsR) {
  const std::string table = GetParam();
  bool turned = false;
  std::unique_ptr<Rect_mx> x = LoadWorking(table + ".qmx", turned);
  const std::int32_t k = x->rows() - 1;
  const TCorrespResult r = CorrespCompute(*x, k, turned);

  ExpectVector(r.eigenvalues, table + ".values");
  EXPECT_NEAR(r.trace * r.total, Refs().At(table + ".X2", 1), 1e-9);
  ExpectVector(r.rowMass, Side(table, !turned, "mass"));
  ExpectVector(r.columnMass, Side(table, turned, "mass"));
  ExpectVector(r.rowDistance, Side(table, !turned, "dist"));
  ExpectVector(r.columnDistance, Side(table, turned, "dist"));
  ExpectCoordinates(r, table, turned, k);
  ExpectContributions(*r.rows, r.rowMass, r.rowDistance, r.eigenvalues, Side(table, !turned, "abs"),
                      Side(table, !turned, "corr"));
  ExpectContributions(*r.columns, r.columnMass, r.columnDistance, r.eigenvalues, Side(table, turned, "abs"),
                      Side(table, turned, "corr"));
}

INSTANTIATE_TEST_SUITE_P(Tables, CorrespAnalysis, ::testing::Values("plain", "turned", "small"));

TEST(CorrespCompute, RefusesTablesWithoutMasses) {
  struct Case {
    const char* name;
    int rows, cols;
    std::initializer_list<double> values;
    bool turned;
    std::string message;
  };
  const Case cases[] = {
      {"all zeros", 2, 3, {0, 0, 0, 0, 0, 0}, false, "Total of table must be positive"},
      {"positive and negative entries cancelling",
       2,
       3,
       {1, -1, 0, 2, 0, -2},
       false,
       "Negative entry in row 1, column 2"},
      {"a negative entry of a turned table", 2, 3, {1, 2, -3, 4, 5, 6}, true, "Negative entry in row 3, column 1"},
      {"an empty row", 2, 3, {1, 2, 3, 0, 0, 0}, false, "Row sum 2 <= 0"},
      {"an empty column", 2, 3, {1, 0, 3, 4, 0, 6}, false, "Column sum 2 <= 0"},
      {"an empty row of a turned table", 2, 3, {1, 0, 3, 4, 0, 6}, true, "Row sum 2 <= 0"},
      {"an empty column of a turned table", 2, 3, {1, 2, 3, 0, 0, 0}, true, "Column sum 2 <= 0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<Rect_mx> x = ordtest::Matrix(c.rows, c.cols, c.values);
    try {
      CorrespCompute(*x, 1, c.turned);
      ADD_FAILURE() << "no refusal";
    } catch (const E_Morvapc& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
  }
}

// Rows proportional to each other: no inertia, every coordinate 0, and each
// row at distance 0 from the centroid.
TEST(CorrespCompute, ProportionalRowsHaveNoInertia) {
  std::unique_ptr<Rect_mx> x = ordtest::Matrix(2, 3, {1, 2, 3, 2, 4, 6});
  const TCorrespResult r = CorrespCompute(*x, 1, false);
  EXPECT_NEAR(r.trace, 0.0, 1e-15);
  EXPECT_EQ(r.eigenvalues.size(), 1u);
  for (int i = 1; i <= 2; ++i) EXPECT_EQ(r.rows->getxij(i, 1), 0.0);
  for (int j = 1; j <= 3; ++j) EXPECT_EQ(r.columns->getxij(j, 1), 0.0);
  EXPECT_NEAR(r.rowDistance[0], 0.0, 1e-15);
  EXPECT_EQ(SquaredCorrelation(0.0, r.rowDistance[0]), 0.0);
}

}  // namespace
