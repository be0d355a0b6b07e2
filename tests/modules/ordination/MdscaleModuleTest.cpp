// MDSCALE run as the batch runner runs it: the configuration it keeps and the
// buttons it enables, the random start, the starting files, the files of
// distances that read back with their missing cells, and the refusals.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "modules/ordination/mdscale.h"
#include "rtl/Random.h"
#include "rtl/TextFile.h"
#include "shell/PlotWindows.h"
#include "tests/modules/clustering/ModuleRunSupport.h"
#include "tests/support/RecordingPlotBar.h"
#include "tests/support/RecordingPlotOpeners.h"
#include "tests/support/ScopedHook.h"

namespace {

namespace fs = std::filesystem;

const fs::path Fixtures = fs::path(MORVA_FIXTURES) / "mdscale";
const fs::path Inputs = Fixtures / "golden" / "inputs";

const std::vector<std::string> SixLabels = {"Alpha", "Beta", "Gamma", "Delta", "Epsilon", "Zeta"};

std::vector<std::string> LabelsOf(const Label_mx& labels) {
  std::vector<std::string> texts;
  for (std::int32_t i = 1; i <= labels.n(); ++i) texts.push_back(labels.GetLabel(i));
  return texts;
}

class MdscaleRun : public moduletest::ModuleRunTest {
 protected:
  MdscaleRun() : ModuleRunTest(MdscaleDescribe) { rtl::SetRandSeed(0); }

  // A copy of the input fixture in the test's folder.
  std::string Input(const std::string& name) const {
    fs::copy_file(Inputs / name, Path(name), fs::copy_options::overwrite_existing);
    return Path(name);
  }

  // The symmetric matrix of a result file, with its header.
  std::unique_ptr<Sym_mx> ReadSymmetric(const std::string& name, TMatrixHeader& header) const {
    rtl::TextReader f(Path(name));
    std::unique_ptr<rtl::StringList> comments;
    ReadMatrixHeader(f, comments, header, false, {mtDissimilarity});
    auto m = std::make_unique<Sym_mx>(header.type, header.rows, header.missingCode, header.missingValue);
    if (header.rowLabelCode == lcBlock) SkipItems(f, header.rows);
    Read(*m, f);
    return m;
  }

  testsupport::RecordingPlotBar bar;
  const testsupport::ScopedHook<TPlotButtonBar*> installedBar{SetPlotButtonBar, &bar};
};

TEST_F(MdscaleRun, KeepsPointsByDimensionsWhateverTheDirectionAndEnablesButtonsByK) {
  struct Case {
    double k;
    bool byRows;
    std::vector<int> buttons;
    std::vector<std::string> dimensions;
  };
  const Case cases[] = {
      {1, true, {}, {"I"}},  {2, true, {1}, {"I", "II"}},  {3, true, {1, 2}, {"I", "II", "III"}},
      {1, false, {}, {"I"}}, {2, false, {1}, {"I", "II"}}, {3, false, {1, 2}, {"I", "II", "III"}},
  };
  for (const Case& c : cases) {
    bar = testsupport::RecordingPlotBar();
    const std::string final =
        "final-k" + std::to_string(static_cast<int>(c.k)) + (c.byRows ? "-rows.qmx" : "-cols.qmx");
    Run({{"O", Input("six.qmx")}, {"N", c.k}, {"D", c.byRows}, {"R", Path(final)}});
    EXPECT_EQ(bar.enabled, c.buttons) << "k=" << c.k;
    EXPECT_TRUE(bar.shown);
    const std::shared_ptr<const TRectMxList> kept = MdscaleResults();
    ASSERT_TRUE(kept);
    ASSERT_EQ(kept->Count(), 1);
    const Rect_mx& x = (*kept)[0];
    EXPECT_EQ(x.rows(), 6);
    EXPECT_EQ(x.cols(), static_cast<std::int32_t>(c.k));
    EXPECT_EQ(LabelsOf(*x.FrLabels), SixLabels);
    EXPECT_EQ(LabelsOf(*x.FcLabels), c.dimensions);

    // The file holds the same configuration, points as rows only when vectors are rows.
    rtl::TextReader f(Path(final));
    std::unique_ptr<rtl::StringList> comments;
    TMatrixHeader header;
    ReadMatrixHeader(f, comments, header, false, {mtRectangular});
    EXPECT_EQ(c.byRows ? header.rows : header.cols, 6);
    Rect_mx written(6, x.cols());
    Label_mx points(6);
    Label_mx dimensions(x.cols());
    const TLabelRead pointLabels{&points, c.byRows ? header.rowLabelCode : header.colLabelCode, true};
    const TLabelRead dimensionLabels{&dimensions, c.byRows ? header.colLabelCode : header.rowLabelCode, true};
    Read(written, f, c.byRows, pointLabels, dimensionLabels);
    EXPECT_EQ(LabelsOf(points), SixLabels);
    EXPECT_EQ(LabelsOf(dimensions), c.dimensions);
    for (std::int32_t i = 1; i <= 6; ++i)
      for (std::int32_t a = 1; a <= x.cols(); ++a) EXPECT_NEAR(written.getxij(i, a), x.getxij(i, a), 1e-13);
  }
}

TEST_F(MdscaleRun, DimensionsBeyondTheTenthAreNamedByRomanNumerals) {
  const std::map<std::int32_t, std::string> labels = {
      {1, "I"},   {4, "IV"},    {9, "IX"},        {10, "X"},  {11, "XI"},   {14, "XIV"},  {19, "XIX"},
      {40, "XL"}, {49, "XLIX"}, {88, "LXXXVIII"}, {90, "XC"}, {94, "XCIV"}, {99, "XCIX"},
  };
  for (const auto& [a, label] : labels) EXPECT_EQ(DimensionLabel(a), label) << a;

  // Twelve dimensions need thirteen points at least.
  std::string thirteen = "2 13 13 0\r\n";
  for (int i = 1; i <= 13; ++i) {
    for (int j = 1; j <= i; ++j) thirteen += std::to_string(i == j ? 0 : (i - j) * (i + j) % 17 + 1) + ' ';
    thirteen += "\r\n";
  }
  Run({{"O", Write("thirteen.qmx", thirteen)}, {"N", 12.0}});
  const Rect_mx& x = (*MdscaleResults())[0];
  ASSERT_EQ(x.FcLabels->n(), 12);
  EXPECT_EQ(x.FcLabels->GetLabel(11), "XI");
  EXPECT_EQ(x.FcLabels->GetLabel(12), "XII");
}

// The coordinates of random-start.txt (random_start.py), by configuration.
std::vector<std::vector<double>> RandomStarts() {
  std::ifstream in(Fixtures / "random-start.txt");
  std::vector<std::vector<double>> starts;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::int32_t n = 0;
    std::int32_t k = 0;
    words >> n >> k;
    std::vector<double> values(static_cast<std::size_t>(n) * k);
    for (double& v : values) words >> v;
    starts.push_back(std::move(values));
  }
  return starts;
}

void ExpectConfiguration(const Rect_mx& x, const std::vector<double>& values, const char* what) {
  for (std::int32_t i = 1; i <= x.rows(); ++i)
    for (std::int32_t a = 1; a <= x.cols(); ++a)
      EXPECT_NEAR(x.getxij(i, a), values[static_cast<std::size_t>((i - 1) * x.cols() + a - 1)], 1e-13)
          << what << " (" << i << ", " << a << ")";
}

TEST_F(MdscaleRun, RandomStartDrawsFromTheGeneratorFromSeedZero) {
  const std::vector<std::vector<double>> starts = RandomStarts();
  ASSERT_EQ(starts.size(), 2u);
  rtl::SetRandSeed(0);
  ExpectConfiguration(*RandomConfiguration(6, 2), starts[0], "6 x 2");
  ExpectConfiguration(*RandomConfiguration(5, 3), starts[1], "then 5 x 3");

  // The seed before the one draw of exactly 0: that draw is drawn again, and
  // the draws go on as from seed 0.
  rtl::SetRandSeed(0);
  RandomConfiguration(5, 2);
  const std::uint32_t afterTenDraws = rtl::RandSeed();
  rtl::SetRandSeed(649090867u);
  const std::unique_ptr<Rect_mx> x = RandomConfiguration(5, 2);
  ExpectConfiguration(*x, starts[0], "after a draw of 0");
  EXPECT_EQ(rtl::RandSeed(), afterTenDraws);
}

TEST_F(MdscaleRun, StartingFilesGiveTheirFirstDimensionsAndAreReadWhole) {
  struct Case {
    const char* name;
    const char* input;
    const char* initial;
    double k;
    bool byRows;
    std::int32_t dataSets;
  };
  const Case cases[] = {
      {"fewer dimensions, points as rows", "six.qmx", "init2.qmx", 3, false, 1},
      {"more dimensions as rows", "six2.qmx", "init3rows.qmx", 2, true, 2},
      {"more dimensions as columns", "six2.qmx", "init3cols.qmx", 2, false, 2},
  };
  for (const Case& c : cases) {
    Run({{"O", Input(c.input)}, {"I", Input(c.initial)}, {"N", c.k}, {"D", c.byRows}});
    ASSERT_EQ(MdscaleResults()->Count(), c.dataSets) << c.name;
    EXPECT_TRUE(Listed(c.byRows ? "Rows of configuration matrix correspond to the dimensions"
                                : "Columns of configuration matrix correspond to the dimensions"))
        << c.name;
  }
}

TEST_F(MdscaleRun, AbsentPairsReadBackAsMissingFromTheDistanceFiles) {
  Run({{"O", Input("sixmiss.qmx")}, {"N", 2.0}, {"DH", Path("dhat.qmx")}, {"DC", Path("dc.qmx")}});
  EXPECT_TRUE(Listed("A total of 13 elements in input matrix."));
  for (const char* file : {"dhat.qmx", "dc.qmx"}) {
    TMatrixHeader header;
    const std::unique_ptr<Sym_mx> m = ReadSymmetric(file, header);
    EXPECT_EQ(header.missingCode, 1) << file;
    EXPECT_EQ(header.missingValue, 999) << file;
    for (std::int32_t i = 1; i <= 6; ++i) {
      for (std::int32_t j = 1; j <= i; ++j) {
        const bool absent = (i == 4 && j == 2) || (i == 6 && j == 5);
        const double v = m->getxij(i, j);
        if (i == j) {
          EXPECT_EQ(v, 0) << file;
        } else if (absent) {
          EXPECT_EQ(v, header.missingValue) << file << " (" << i << ", " << j << ")";
        } else {
          EXPECT_GT(v, 0) << file << " (" << i << ", " << j << ")";
          EXPECT_LT(v, 10) << file << " (" << i << ", " << j << ")";
        }
      }
    }
  }
}

TEST_F(MdscaleRun, MonotoneFitOfSimilaritiesGivesTheMostSimilarPairsTheSmallestDistances) {
  Run({{"O", Input("sixsim.qmx")}, {"N", 2.0}, {"DH", Path("dhat.qmx")}});
  TMatrixHeader header;
  const std::unique_ptr<Sym_mx> dhat = ReadSymmetric("dhat.qmx", header);
  rtl::TextReader f(Path("sixsim.qmx"));
  std::unique_ptr<rtl::StringList> comments;
  ReadMatrixHeader(f, comments, header, false, {mtSimilarity});
  Sym_mx similarity(mtSimilarity, 6);
  SkipItems(f, 6);
  Read(similarity, f);
  for (std::int32_t i = 2; i <= 6; ++i)
    for (std::int32_t j = 1; j < i; ++j)
      for (std::int32_t p = 2; p <= 6; ++p)
        for (std::int32_t q = 1; q < p; ++q)
          if (similarity.getxij(i, j) > similarity.getxij(p, q)) {
            EXPECT_LE(dhat->getxij(i, j), dhat->getxij(p, q) + 1e-9);
          }
}

TEST_F(MdscaleRun, RefusesWhatItCannotScale) {
  Write("bad.qmx", "2 5 5 0\r\n0\r\n1 0\r\n2 1 0\r\n3 2 x 0\r\n4 3 2 1 0\r\n");
  Write("zeros.qmx", "2 5 5 0\r\n0\r\n0 0\r\n0 0 0\r\n0 0 0 0\r\n0 0 0 0 0\r\n");
  // Two pairs, (2, 1) and (3, 1), from a start where their distances are equal.
  Write("twopairs.qmx", "2 5 5 1 -1\r\n0\r\n1 0\r\n2 -1 0\r\n-1 -1 -1 0\r\n-1 -1 -1 -1 0\r\n");
  Write("cross.qmx", "1 5 2 0\r\n0 0\r\n1 0\r\n-1 0\r\n0 2\r\n0 -2\r\n");
  Write("short.qmx", "2 5 5 0\r\n0\r\n1 0\r\n2 1 0\r\n");
  struct Case {
    const char* name;
    moduletest::Args args;
    const char* message;
  };
  const Case cases[] = {
      {"four points", {{"O", Input("four.qmx")}}, "It does not much sense to use MDSCALE  on so few points"},
      // Five points span four dimensions at most (the default N, which runs).
      {"as many dimensions as points",
       {{"O", Input("five.qmx")}, {"N", 5.0}},
       "Number of dimensions (5) must be less than the number of points (5)"},
      {"six hundred points", {{"O", Input("n600.qmx")}}, "Input matrix is too large, maximum size is 362"},
      {"four hundred points", {{"O", Input("n400.qmx")}}, "Input matrix is too large, maximum size is 362"},
      {"a word that is no number",
       {{"O", Path("bad.qmx")}},
       "Problem in reading value: x on data line 5 of input file."},
      {"a body cut short",
       {{"O", Path("short.qmx")}},
       "End of file encountered when trying to read row 4 column 1 in input file."},
      {"starting file one point short, points as rows",
       {{"O", Input("five.qmx")}, {"I", Input("init3cols.qmx")}, {"D", false}},
       "Number of rows (6) in initial configuration matrix doesn't match the number of points (5) in data"},
      {"starting file one point short, dimensions as rows",
       {{"O", Input("five.qmx")}, {"I", Input("init3rows.qmx")}},
       "Number of columns (6) in initial configuration matrix doesn't match the number of points (5) in data"},
      {"LINEAR on dissimilarities all 0",
       {{"O", Path("zeros.qmx")}, {"RT", std::string("LINEAR")}},
       "All dissimilarities are zero: no LINEAR regression can be fitted"},
      {"STRESS2 on equal distances, LINEAR",
       {{"O", Path("twopairs.qmx")},
        {"I", Path("cross.qmx")},
        {"N", 2.0},
        {"D", false},
        {"RT", std::string("LINEAR")},
        {"SC", std::string("STRESS2")}},
       "Every distance in the configuration equals their mean: STRESS2 cannot be computed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectRefused(c.args, c.message);
  }
}

TEST_F(MdscaleRun, InputsTooLargeLeaveNoOutputs) {
  ExpectRefused({{"O", Input("n400.qmx")}, {"R", Path("final.qmx")}, {"DH", Path("dhat.qmx")}},
                "Input matrix is too large, maximum size is 362");
  EXPECT_FALSE(std::filesystem::exists(Path("final.qmx")));
  EXPECT_FALSE(std::filesystem::exists(Path("dhat.qmx")));
}

TEST_F(MdscaleRun, PlotButtonsOpenTheirPlotsOverTheKeptConfigurations) {
  const testsupport::RecordingPlotOpeners openers;
  const std::vector<TMatrixPlotRequest>& plots = openers.plots;
  const std::vector<TMatrix3DPlotRequest>& plots3D = openers.plots3D;
  MdscalePlot2D();
  EXPECT_TRUE(plots.empty()) << "no run, no results, no plot";

  Run({{"O", Input("six2.qmx")}, {"N", 3.0}});
  MdscalePlot2D();
  MdscalePlot3D();
  ASSERT_EQ(plots.size(), 1u);
  ASSERT_EQ(plots3D.size(), 1u);
  EXPECT_EQ(plots[0].windowName, "MDScaleMxPlotF1");
  EXPECT_EQ(plots[0].results, MdscaleResults());
  EXPECT_EQ(plots[0].results->Count(), 2);
  EXPECT_FALSE(plots[0].pointsAreColumns);
  EXPECT_EQ(std::pair(plots[0].x, plots[0].y), std::pair(1, 2));
  EXPECT_EQ(plots3D[0].windowName, "MDScaleMod3DF2");
  EXPECT_EQ(plots3D[0].results, MdscaleResults());
  EXPECT_FALSE(plots3D[0].pointsAreColumns);
  EXPECT_EQ(plots3D[0].z, 3);
  EXPECT_EQ(std::tuple(plots3D[0].alpha, plots3D[0].beta, plots3D[0].distance), std::tuple(30.0, 30.0, 999.0));

  // A plot that shares the results keeps them after the module lets go.
  const std::shared_ptr<const TRectMxList> shared = plots[0].results;
  MdscaleRelease();
  EXPECT_FALSE(MdscaleResults());
  EXPECT_EQ((*shared)[1].rows(), 6);
}

}  // namespace
