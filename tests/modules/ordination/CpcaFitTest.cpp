// The common principal components fit against what R computes on the same
// groups (references.R beside the fixtures): groups built to share their
// eigenvectors give them back, random groups reach the model's stationarity
// equations, and the pooled matrix and the determinants are R's.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "matrix/Constu.h"
#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "modules/ordination/cpcaFit.h"
#include "tests/matrix/core/ErrorText.h"
#include "tests/modules/ordination/OrdinationTestSupport.h"
#include "tests/shell/ShellTestSupport.h"

namespace {

const std::filesystem::path Folder = std::filesystem::path(MORVA_FIXTURES) / "cpca";

const ordtest::References& Refs() {
  static const ordtest::References refs(Folder / "references.txt");
  return refs;
}

// The covariance matrices of a file of similarity matrices.
TCpcaGroups CovarianceGroups(const std::string& file, std::vector<double> sizes) {
  rtl::TextReader f((Folder / file).string());
  TCpcaGroups groups;
  while (!f.SeekEof()) {
    std::unique_ptr<rtl::StringList> comments;
    TMatrixHeader header;
    ReadMatrixHeader(f, comments, header, false, {mtSimilarity});
    if (header.rowLabelCode == lcBlock) SkipItems(f, header.rows);
    auto s = std::make_unique<Rect_mx>(header.rows, header.rows);
    ReadRecords(*s, f);
    groups.covariances.Add(std::move(s));
  }
  groups.sizes = std::move(sizes);
  return groups;
}

// The covariance matrices of a file of data matrices, variables as rows.
TCpcaGroups RawGroups(const std::string& file) {
  rtl::TextReader f((Folder / file).string());
  TCpcaGroups groups;
  while (!f.SeekEof()) {
    std::unique_ptr<rtl::StringList> comments;
    TMatrixHeader header;
    ReadMatrixHeader(f, comments, header, false, {mtRectangular});
    Rect_mx x(header.cols, header.rows);
    Read(x, f, false, {nullptr, header.colLabelCode, false}, {nullptr, header.rowLabelCode, false});
    auto s = std::make_unique<Rect_mx>(x.cols(), x.cols());
    CpcaCovariance(x, *s);
    groups.covariances.Add(std::move(s));
    groups.sizes.push_back(x.rows());
  }
  return groups;
}

void ExpectMatrix(const Rect_mx& m, const std::string& name, double tolerance) {
  ASSERT_EQ(m.rows(), Refs().Rows(name)) << name;
  ASSERT_EQ(m.cols(), Refs().Cols(name)) << name;
  for (int i = 1; i <= m.rows(); ++i)
    for (int j = 1; j <= m.cols(); ++j)
      EXPECT_NEAR(m.getxij(i, j), Refs().At(name, i, j), tolerance) << name << " (" << i << ", " << j << ")";
}

void ExpectRelative(double value, double expected, double tolerance, const std::string& what) {
  EXPECT_NEAR(value / expected, 1.0, tolerance) << what << ": " << value << " against " << expected;
}

struct TFit {
  std::unique_ptr<Rect_mx> b;
  std::unique_ptr<Rect_mx> lam;
};

TFit Fit(TCpcaGroups& groups) {
  TFit fit{std::make_unique<Rect_mx>(groups.p(), groups.p()), std::make_unique<Rect_mx>(groups.g(), groups.p())};
  CpcaFastAlgorithm(groups, *fit.b, *fit.lam);
  return fit;
}

class CpcaFit : public ::testing::Test {
 protected:
  shelltest::RecordedServices services;
};

TEST_F(CpcaFit, GroupsSharingTheirEigenvectorsGiveThemBack) {
  TCpcaGroups groups = CovarianceGroups("shared.qmx", {20, 25, 30});
  double det = 0;
  ExpectMatrix(*CpcaPooled(groups, det), "shared.W", 1e-10);
  ExpectRelative(det, Refs().At("shared.detW", 1), 1e-10, "det W");

  const TFit fit = Fit(groups);
  // Every fitted column is a reference column turned or not; the distinct
  // eigenvalue sums fix the order.
  for (int j = 1; j <= 4; ++j) {
    const double sign = fit.b->getxij(1, j) * Refs().At("shared.B", 1, j) < 0 ? -1.0 : 1.0;
    for (int i = 1; i <= 4; ++i) EXPECT_NEAR(fit.b->getxij(i, j), sign * Refs().At("shared.B", i, j), 1e-8);
  }
  ExpectMatrix(*fit.lam, "shared.lambda", 1e-8);

  const TCpcaStatistics stats = CpcaStatistics(groups, 75, det, *fit.b);
  EXPECT_LT(std::fabs(stats.modelX2), 1e-8);
  EXPECT_EQ(stats.modelDf, 12);
  EXPECT_EQ(stats.equalityDf, 8);
  ASSERT_EQ(stats.componentDeterminants.size(), 3u);
  for (int i = 1; i <= 3; ++i) {
    ExpectRelative(stats.componentDeterminants[i - 1], Refs().At("shared.det", i), 1e-10, "det C_" + std::to_string(i));
  }
}

// The sweeps stop once B moves by less than the convergence value, which
// bounds how closely the equations hold: at the module's 0.0001 these groups
// stop 2.6e-5 short; run to 1e-12 they meet them within 1e-10.
TEST_F(CpcaFit, RandomGroupsMeetTheStationarityEquations) {
  TCpcaGroups read = RawGroups("groups.qmx");
  for (int i = 1; i <= 3; ++i) ExpectMatrix(read.covariances[i - 1], "raw.S" + std::to_string(i), 1e-10);
  double det = 0;
  ExpectMatrix(*CpcaPooled(read, det), "raw.W", 1e-10);
  ExpectRelative(det, Refs().At("raw.detW", 1), 1e-10, "det W");

  struct Case {
    double convergence;
    double tolerance;
  };
  for (const Case c : {Case{kCpcaConvergence, 1e-4}, Case{1e-12, 1e-6}}) {
    SCOPED_TRACE(c.convergence);
    TCpcaGroups groups = RawGroups("groups.qmx");
    Rect_mx b(3, 3), lam(3, 3);
    CpcaFastAlgorithm(groups, b, lam, c.convergence);
    const auto form = [&b](int j, const Rect_mx& s, int l) {
      double sum = 0;
      for (int r = 1; r <= 3; ++r)
        for (int q = 1; q <= 3; ++q) sum += b.getxij(r, j) * s.getxij(r, q) * b.getxij(q, l);
      return sum;
    };
    for (int j = 1; j <= 3; ++j) {
      for (int l = 1; l <= 3; ++l) {
        double dot = 0;
        for (int r = 1; r <= 3; ++r) dot += b.getxij(r, j) * b.getxij(r, l);
        EXPECT_NEAR(dot, j == l ? 1.0 : 0.0, 1e-12) << "columns " << j << " and " << l;
      }
    }
    // For every pair of components: sum n_i (l_ij - l_il) / (l_ij l_il) b_j' S_i b_l = 0.
    for (int j = 1; j < 3; ++j) {
      for (int l = j + 1; l <= 3; ++l) {
        double equation = 0;
        for (int i = 0; i < 3; ++i) {
          const Rect_mx& s = read.covariances[i];
          const double lj = form(j, s, j), ll = form(l, s, l);
          equation += read.sizes[static_cast<std::size_t>(i)] * (lj - ll) / (lj * ll) * form(j, s, l);
        }
        EXPECT_NEAR(equation, 0.0, c.tolerance) << "components " << j << " and " << l;
      }
    }
    // The fitted matrices are B^T S_i B, their diagonals the eigenvalues.
    for (int i = 0; i < 3; ++i) {
      for (int j = 1; j <= 3; ++j) {
        EXPECT_NEAR(groups.covariances[i].getxij(j, j), form(j, read.covariances[i], j), 1e-10);
        EXPECT_EQ(lam.getxij(i + 1, j), groups.covariances[i].getxij(j, j));
      }
    }
  }
}

// Groups of diagonal matrices: no pair turns, so the FG sweeps stop after
// one and the slower method starts from a perturbed B; it comes back to the
// axes, ordered by eigenvalue sums. The perturbation is a rotation: a B
// shrunk by it would stay shrunk, with eigenvalues of 3.13 for 4.
TEST_F(CpcaFit, DiagonalMatricesFallBackToTheSlowerMethod) {
  TCpcaGroups groups;
  const double diagonals[2][3] = {{1, 4, 2.5}, {2, 5, 1}};
  for (const auto& d : diagonals) {
    auto s = std::make_unique<Rect_mx>(3, 3);
    s->Fill(0.0);
    for (int j = 1; j <= 3; ++j) s->putxij(j, j, d[j - 1]);
    groups.covariances.Add(std::move(s));
  }
  groups.sizes = {10, 12};
  const TFit fit = Fit(groups);
  EXPECT_TRUE(std::find(services.lines.begin(), services.lines.end(),
                        "Fast algorithm failed, trying original (slower) method.") != services.lines.end());
  // Sums 3, 9 and 3.5.
  const int axis[3] = {2, 3, 1};
  for (int j = 1; j <= 3; ++j) {
    for (int r = 1; r <= 3; ++r) EXPECT_NEAR(std::fabs(fit.b->getxij(r, j)), r == axis[j - 1] ? 1.0 : 0.0, 1e-6);
  }
  EXPECT_NEAR(fit.lam->getxij(1, 1), 4, 1e-6);
  EXPECT_NEAR(fit.lam->getxij(2, 1), 5, 1e-6);
}

TEST_F(CpcaFit, EqualEigenvalueSumsKeepTheLaterComponentFirst) {
  TCpcaGroups groups;
  auto f = std::make_unique<Rect_mx>(3, 3);
  f->Fill(0.0);
  f->putxij(1, 1, 1);
  f->putxij(2, 2, 3);
  f->putxij(3, 3, 3);
  f->putxij(2, 3, 0.5);
  f->putxij(3, 2, 0.5);
  groups.covariances.Add(std::move(f));
  groups.sizes = {10};
  Rect_mx b(3, 3);
  b.Fill(0.0);
  for (int j = 1; j <= 3; ++j) b.putxij(j, j, 1.0);
  CpcaSortComponents(groups, b);
  // Components 3, 2, 1: rows and columns of F move with the columns of B.
  const int order[3] = {3, 2, 1};
  for (int j = 1; j <= 3; ++j) {
    for (int r = 1; r <= 3; ++r) EXPECT_EQ(b.getxij(r, j), r == order[j - 1] ? 1.0 : 0.0);
  }
  const Rect_mx& sorted = groups.covariances[0];
  EXPECT_EQ(sorted.getxij(1, 1), 3);
  EXPECT_EQ(sorted.getxij(3, 3), 1);
  EXPECT_EQ(sorted.getxij(1, 2), 0.5);
  EXPECT_EQ(sorted.getxij(2, 1), 0.5);
}

TEST_F(CpcaFit, Eigen2x2GivesTheUnitVectorOfTheLargerEigenvalue) {
  struct Case {
    const char* name;
    Tarrayi t;
    std::array<double, 2> vector;
  };
  const double r = 1 / std::sqrt(2.0);
  const Case cases[] = {
      {"diagonal, first larger", {3, 0, 0, 1}, {1, 0}},
      {"diagonal, equal", {2, 0, 0, 2}, {1, 0}},
      {"diagonal, second larger", {1, 0, 0, 3}, {0, 1}},
      {"equal diagonal, positive coupling", {2, 1, 1, 2}, {r, r}},
      {"equal diagonal, negative coupling", {2, -1, -1, 2}, {-r, r}},
  };
  for (const Case& c : cases) {
    const std::array<double, 2> v = CpcaEigen2x2(c.t);
    EXPECT_NEAR(v[0], c.vector[0], 1e-15) << c.name;
    EXPECT_NEAR(v[1], c.vector[1], 1e-15) << c.name;
  }
}

TEST_F(CpcaFit, GStepRefusesAGroupWithoutPositiveVariances) {
  const Tarray pairs = {{2, 0.5, 0.5, 1}, {1, 0, 0, -1}};
  EXPECT_EQ(ErrorText<E_Morvapc>([&] {
              CpcaGAlgorithm(pairs, {10, 10});
            }),
            "Problem in convergence in GALG for group 2");
}

// A group whose rotated matrix is singular cannot be tested.
TEST_F(CpcaFit, TestsRefuseASingularGroup) {
  TCpcaGroups fitted;
  for (double d : {1.0, 0.0}) {
    auto f = std::make_unique<Rect_mx>(2, 2);
    f->Fill(0.0);
    f->putxij(1, 1, 1.0);
    f->putxij(2, 2, d);
    fitted.covariances.Add(std::move(f));
  }
  fitted.sizes = {5, 5};
  Rect_mx b(2, 2);
  b.Fill(0.0);
  b.putxij(1, 1, 1.0);
  b.putxij(2, 2, 1.0);
  EXPECT_EQ(ErrorText<E_Morvapc>([&] { CpcaStatistics(fitted, 10, 1.0, b); }),
            "Determinate of covariances among CPC is 0 for group 2");
}

}  // namespace
