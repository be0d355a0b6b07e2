// CANPLS without files: the set-1 texts and the sets or messages they give,
// and both analyses against R (svd of the cross block, cancor on the
// standardised data, the residual matrices from their formulas, made once by
// tests/fixtures/canpls/references.R).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "matrix/Constu.h"
#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "modules/ordination/canplsCompute.h"
#include "modules/ordination/canplsSets.h"
#include "tests/modules/ordination/OrdinationTestSupport.h"

namespace {

const std::filesystem::path Fixtures = std::filesystem::path(MORVA_FIXTURES) / "canpls";

const ordtest::References& Refs() {
  static const ordtest::References refs(Fixtures / "references.txt");
  return refs;
}

// ---- The set-1 texts ----

struct SetCase {
  const char* name;
  std::string text;
  std::int32_t p;
  std::string normalised;  // the text after normalising
  std::vector<std::int32_t> set1;
  std::string message;  // the refusal, or empty
};

std::vector<std::int32_t> Range(std::int32_t a, std::int32_t b) {
  std::vector<std::int32_t> v;
  for (std::int32_t i = a; i <= b; ++i) v.push_back(i);
  return v;
}

TEST(CanPlsSets, TextsGiveTheirSetsOrMessages) {
  std::vector<std::int32_t> wide = Range(250, 260);
  wide.push_back(299);
  const SetCase cases[] = {
      {"a list with a range", "2, 4-6", 7, "2, 4-6", {2, 4, 5, 6}, ""},
      {"dots and blanks", " 2  4 .. 6 ", 7, "2 4-6", {2, 4, 5, 6}, ""},
      {"a range to the last", "7-", 9, "7-", {7, 8, 9}, ""},
      {"a range from the first", "-3", 7, "-3", {1, 2, 3}, ""},
      {"a variable named twice", "3,3 2-3", 7, "3,3 2-3", {2, 3}, ""},
      {"a letter", "2, a", 7, "2, a", {}, "invalid character - (a)"},
      {"a plus sign", "1+2", 7, "1+2", {}, "invalid character - (+)"},
      {"zero", "0", 7, "0", {}, "index (0) out of range"},
      {"one past the last", "8", 7, "8", {}, "index (8) out of range"},
      {"a range that runs backwards", "5-3", 7, "5-3", {}, "index (3) out of range"},
      {"a range past the last", "2-8", 7, "2-8", {}, "index (8) out of range"},
      {"a range from zero", "0-3", 7, "0-3", {}, "index (0) out of range"},
      {"a number too large for any matrix", "99999999999", 7, "99999999999", {}, "index (99999999999) out of range"},
      {"a text of length zero: every variable", "", 7, "1-", {}, "No variables in sectond set"},
      {"18 blanks: no variable", std::string(18, ' '), 7, "", {}, "No variables in first set"},
      {"more than 255 variables", "250-260, 299", 300, "250-260, 299", wide, ""},
  };
  for (const SetCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string text = c.text;
    if (!c.message.empty()) {
      try {
        CanPlsSetUp(c.p, text);
        ADD_FAILURE() << "no refusal";
      } catch (const E_Morvapc& e) {
        EXPECT_EQ(std::string(e.what()), c.message);
      }
      EXPECT_EQ(text, c.normalised);
      continue;
    }
    const TCanPlsSets sets = CanPlsSetUp(c.p, text);
    EXPECT_EQ(text, c.normalised);
    EXPECT_EQ(sets.set1, c.set1);
    EXPECT_EQ(sets.size1() + sets.size2(), c.p);
    for (std::int32_t v : sets.set2) EXPECT_TRUE(std::find(c.set1.begin(), c.set1.end(), v) == c.set1.end()) << v;
  }
}

TEST(CanPlsSets, ListsMembersJoinedByCommas) {
  EXPECT_EQ(CanPlsListSet({2, 4, 5, 6}), "2,4,5,6");
  EXPECT_EQ(CanPlsListSet({7}), "7");
}

// ---- The analyses against R ----

// Data set `set` of a fixture file as a symmetric matrix.
std::unique_ptr<Sym_mx> LoadCorrelations(const std::string& file, int set) {
  rtl::TextReader f((Fixtures / file).string());
  const auto read = [&f](const TMatrixHeader& header) {
    auto z = std::make_unique<Sym_mx>(header.type, header.rows);
    if (header.rowLabelCode == lcBlock) SkipItems(f, header.rows);
    Read(*z, f);
    return z;
  };
  return read(ordtest::SeekDataSet(f, set, {mtSimilarity}, read));
}

// Each of the first cols columns of m equals the reference's, or its negative.
void ExpectColumnsUpToSign(const Rect_mx& m, const std::string& name, int cols, double tolerance) {
  ASSERT_EQ(m.rows(), Refs().Rows(name)) << name;
  for (int j = 1; j <= cols; ++j) {
    const double sign = (m.getxij(1, j) < 0) == (Refs().At(name, 1, j) < 0) ? 1.0 : -1.0;
    for (int i = 1; i <= m.rows(); ++i)
      EXPECT_NEAR(m.getxij(i, j), sign * Refs().At(name, i, j), tolerance) << name << " (" << i << ", " << j << ")";
  }
}

void ExpectValues(const std::vector<double>& v, const std::string& name, double tolerance) {
  const std::vector<double> expected = Refs().Column(name);
  ASSERT_EQ(v.size(), expected.size()) << name;
  for (std::size_t i = 0; i < v.size(); ++i) EXPECT_NEAR(v[i], expected[i], tolerance) << name << " [" << i + 1 << "]";
}

void ExpectResidual(const Sym_mx& e, const std::string& name, double tolerance) {
  ASSERT_EQ(e.n(), Refs().Rows(name));
  for (int i = 1; i <= e.n(); ++i)
    for (int j = 1; j <= i; ++j)
      EXPECT_NEAR(e.getxij(i, j), Refs().At(name, i, j), tolerance) << name << " (" << i << ", " << j << ")";
}

struct AnalysisCase {
  const char* name;  // the references' prefix
  int set;           // data set of two.qmx
  std::string text;  // set 1
  std::int32_t k;
};

class CanPlsAnalysis : public ::testing::TestWithParam<AnalysisCase> {
 protected:
  void SetUp() override {
    z = LoadCorrelations("two.qmx", GetParam().set);
    std::string text = GetParam().text;
    sets = CanPlsSetUp(z->n(), text);
    r12 = CanPlsBlock(*z, sets.set1, sets.set2);
  }
  std::string Ref(const std::string& what) const { return std::string(GetParam().name) + "." + what; }
  std::int32_t m() const { return std::min(sets.size1(), sets.size2()); }

  std::unique_ptr<Sym_mx> z;
  TCanPlsSets sets;
  std::unique_ptr<Rect_mx> r12;
};

// Set 1 smaller than, larger than and as large as set 2.
class PlsAnalysis : public CanPlsAnalysis {};

TEST_P(PlsAnalysis, SingularValuesVectorsAndResidualEqualR) {
  const TPlsDecomposition svd = CanPlsDecompose(*r12);
  ExpectValues(svd.values, Ref("values"), 1e-10);
  ExpectColumnsUpToSign(*svd.vectors.left, Ref("left"), m(), 1e-10);
  ExpectColumnsUpToSign(*svd.vectors.right, Ref("right"), m(), 1e-10);
  ExpectResidual(*PlsResidual(*z, sets, svd, GetParam().k), Ref("residual"), 1e-10);
}

INSTANTIATE_TEST_SUITE_P(Sets, PlsAnalysis,
                         ::testing::Values(AnalysisCase{"pls3of7", 1, "1-3", 2}, AnalysisCase{"pls4of7", 1, "1-4", 1},
                                           AnalysisCase{"pls3of6", 2, "1-3", 2}),
                         [](const auto& test) { return std::string(test.param.name); });

class CanCorAnalysis : public CanPlsAnalysis {};

TEST_P(CanCorAnalysis, CorrelationsVectorsAndResidualEqualR) {
  const std::unique_ptr<Rect_mx> r11 = CanPlsBlock(*z, sets.set1, sets.set1);
  const std::unique_ptr<Rect_mx> r22 = CanPlsBlock(*z, sets.set2, sets.set2);
  Rect_mx r21(r12->cols(), r12->rows());
  r12->TransposeTo(r21);
  const TCanonicalVectors left = CanPlsCanonicalVectors(*r11, *r12, *CanCorInverse(*r22));
  const TCanonicalVectors right = CanPlsCanonicalVectors(*r22, r21, *CanCorInverse(*r11));
  CanCorAlignRight(*left.vectors, *r12, *right.vectors, GetParam().k);

  const std::vector<double> squares(left.values.begin(), left.values.begin() + m());
  ExpectValues(squares, Ref("cor2"), 1e-9);
  ExpectColumnsUpToSign(*left.vectors, Ref("left"), m(), 1e-9);
  ExpectColumnsUpToSign(*right.vectors, Ref("right"), m(), 1e-9);
  std::vector<double> rho;
  for (double lambda : squares) rho.push_back(std::sqrt(lambda));
  ExpectResidual(*CanCorResidual(*z, sets, *left.vectors, *right.vectors, rho, GetParam().k), Ref("residual"), 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Sets, CanCorAnalysis,
                         ::testing::Values(AnalysisCase{"can3of7", 1, "1-3", 2}, AnalysisCase{"can4of7", 1, "1-4", 3},
                                           AnalysisCase{"can3of6", 2, "1-3", 2}),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
