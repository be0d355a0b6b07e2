// TRANSF run as the batch runner runs it, on small matrices of every type:
// what each kind of code does to the values, the labels, the shape and the
// type of the matrix written, the refusals, and the files read back.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "modules/general/transf.h"
#include "tests/modules/general/GeneralTestSupport.h"

namespace {

using Values = std::vector<double>;

class TransfRun : public gentest::ModuleRun {
 protected:
  // TRANSF of the matrix file text by the codes; the first matrix written.
  gentest::TReadBack Transf(const std::string& input, const std::string& codes, bool byRows = true) {
    WriteFile("in.qmx", input);
    Run(TransfDescribe, {{"O", "in.qmx"}, {"T", codes}, {"D", byRows ? "YES" : "NO"}, {"R", "out.qmx"}});
    return ReadBack("out.qmx");
  }
  std::string Refusal(const std::string& input, const std::string& codes, bool byRows = true) {
    WriteFile("in.qmx", input);
    return RefusalOf(TransfDescribe, {{"O", "in.qmx"}, {"T", codes}, {"D", byRows ? "YES" : "NO"}, {"R", "out.qmx"}});
  }
};

void ExpectValues(const Values& actual, const Values& expected, const std::string& what) {
  ASSERT_EQ(actual.size(), expected.size()) << what;
  for (std::size_t k = 0; k < expected.size(); ++k)
    EXPECT_NEAR(actual[k], expected[k], 1e-12) << what << " [" << k << "]";
}

const char* const kTwoByThree = "1 2 3 0\n1 2 3\n4 6 8\n";
const char* const kFiveLabelled = "1 5L 2 0\nv1 v2 v3 v4 v5\n1 2\n3 4\n5 6\n7 8\n9 10\n";

TEST_F(TransfRun, RectangularCodesChangeValuesShapeAndDirection) {
  struct Case {
    const char* input;
    const char* codes;
    bool byRows;
    int rows, cols;
    Values values;
  };
  const Case cases[] = {
      {kTwoByThree, "SUBYBAR", true, 2, 3, {-1, 0, 1, -2, 0, 2}},
      {kTwoByThree, "SUBYBAR", false, 2, 3, {-1.5, -2, -2.5, 1.5, 2, 2.5}},
      {kTwoByThree, "TRANSP", true, 3, 2, {1, 4, 2, 6, 3, 8}},
      {kTwoByThree, "TRANSP TRANSP", true, 3, 2, {1, 4, 2, 6, 3, 8}},
      {kTwoByThree, "ADD(10)[2] MUL(2)[1]", true, 2, 3, {2, 4, 6, 14, 16, 18}},
      {kTwoByThree, "SUBMIN DIVMAX", true, 2, 3, {0, 0.5, 1, 0, 0.5, 1}},
      {kTwoByThree, "DIVRANGE", true, 2, 3, {0.5, 1, 1.5, 1, 1.5, 2}},
      {kTwoByThree, "DIVSUMY[1]", true, 2, 3, {1.0 / 6, 2.0 / 6, 3.0 / 6, 4, 6, 8}},
      {kTwoByThree, "DIVSY2[1]", true, 2, 3, {1 / std::sqrt(14.0), 2 / std::sqrt(14.0), 3 / std::sqrt(14.0), 4, 6, 8}},
      {kTwoByThree,
       "DIVSS[1] DIVSTD[2]",
       true,
       2,
       3,
       {1 / std::sqrt(2.0), 2 / std::sqrt(2.0), 3 / std::sqrt(2.0), 2, 3, 4}},
      // Variable 1 as it stood before the code serves every variable.
      {kTwoByThree, "SUBV(1)", true, 2, 3, {0, 0, 0, 3, 4, 5}},
      {kTwoByThree, "DIVV(1)", true, 2, 3, {1, 1, 1, 4, 3, 8.0 / 3}},
      // A constant variable and a variable of one value have no spread: 0.
      {"1 2 3 0\n5 5 5\n1 2 3\n",
       "DIVSTD DIVSS",
       true,
       2,
       3,
       {0, 0, 0, 1 / std::sqrt(2.0), 2 / std::sqrt(2.0), 3 / std::sqrt(2.0)}},
      {"1 1 1 0\n7\n", "DIVSTD", true, 1, 1, {0}},
      {"1 1 4 0\n1 2 3 4\n", "1TO2", true, 2, 2, {1, 3, 2, 4}},
      {"1 1 6 0\n1 2 3 4 5 6\n", "1TO3", true, 3, 2, {1, 4, 2, 5, 3, 6}},
      {"1 2 2 0\n1 3\n2 4\n", "2TO1", true, 1, 4, {1, 2, 3, 4}},
      {"1 1 4 0\n1 2 3 4\n", "1TO2 2TO1", true, 1, 4, {1, 2, 3, 4}},
      // Codes after a reshape see the new number of variables.
      {"1 2 4 0\n1 2 3 4\n5 6 7 8\n", "1TO2 ADD(100)[4]", true, 4, 2, {1, 3, 2, 4, 5, 7, 106, 108}},
      {"1 3 3 0\n1 2 3\n4 5 6\n7 8 9\n", "SYMD", true, 3, 3, {1, 3, 5, 5, 7, 9}},
      {"1 2 4 0\n0 0 2 0\n0 4 1 1\n", "SHAPET2(1,2)", true, 2, 4, {0, 0, 1, 0, 0, 0, 1, 0}},
      {"1 1 6 0\n0 0 2 0 1 1\n", "SHAPET2(1,2)", true, 1, 6, {0, 0, 1, 0, 0.5, 0.5}},
      {"1 1 6 0\n0 0 2 0 1 1\n", "SHAPETU2(1,2)", true, 1, 6, {0, 0, 2, 0, 1, 1}},
  };
  for (const Case& c : cases) {
    const gentest::TReadBack out = Transf(c.input, c.codes, c.byRows);
    const std::string what = std::string(c.codes) + (c.byRows ? " by rows" : " by columns");
    const bool symmetric = std::string(c.codes) == "SYMD";
    EXPECT_EQ(out.header.type, symmetric ? mtDissimilarity : mtRectangular) << what;
    EXPECT_EQ(out.header.rows, c.rows) << what;
    EXPECT_EQ(out.header.cols, c.cols) << what;
    EXPECT_EQ(out.header.missingCode, 0) << what;
    ExpectValues(out.values, c.values, what);
  }
}

TEST_F(TransfRun, ShapeCoordinatesOfLandmarkRows) {
  const char* const triangle = "1 3 2 0\n0 0\n2 0\n1 1\n";
  ExpectValues(Transf(triangle, "SHAPET(1,2)[1-2]", false).values, {0, 0, 1, 0, 0.5, 0.5}, "SHAPET");
  ExpectValues(Transf(triangle, "SHAPETU(1,2)[1-2]", false).values, {0, 0, 2, 0, 1, 1}, "SHAPETU");

  // Against the registration R computes by complex division.
  const testsupport::ReferenceTable& refs = gentest::Refs();
  for (const char* code : {"shapet", "shapetu"}) {
    const std::string codes = std::string(code) + "(1,3)[1-2]";
    const gentest::TReadBack out = Transf(rtl::ReadWholeFile(Path("landmarks.qmx").string()), codes, false);
    for (int i = 1; i <= 4; ++i)
      for (int j = 1; j <= 2; ++j)
        EXPECT_NEAR(out.values[static_cast<std::size_t>((i - 1) * 2 + j - 1)], refs.At(code, i, j), 1e-12) << codes;
  }
  EXPECT_TRUE(Listed("Baseline: x=1 y=2 left=1 right=3"));
}

TEST_F(TransfRun, DeletionsLeaveVariablesAndTheirLabelsOut) {
  const gentest::TReadBack kept = Transf(kFiveLabelled, "KEEP[2-3]");
  EXPECT_EQ(kept.header.rows, 2);
  EXPECT_EQ(kept.rowLabels, (std::vector<std::string>{"v2", "v3"}));
  ExpectValues(kept.values, {3, 4, 5, 6}, "KEEP[2-3]");

  const gentest::TReadBack columns = Transf(kFiveLabelled, "DELETE[1] DEL[4-] TRANSP");
  EXPECT_EQ(columns.header.rows, 2);
  EXPECT_EQ(columns.header.cols, 2);
  EXPECT_EQ(columns.colLabels, (std::vector<std::string>{"v2", "v3"}));
  ExpectValues(columns.values, {3, 5, 4, 6}, "DELETE DEL TRANSP");

  // KEEP after DELETE keeps its range again.
  EXPECT_EQ(Transf(kFiveLabelled, "DELETE[1-5] KEEP[4-5]").rowLabels, (std::vector<std::string>{"v4", "v5"}));
  // A reshaped variable is left out when its source was.
  EXPECT_EQ(Transf(kFiveLabelled, "DELETE[2] 1TO2").rowLabels,
            (std::vector<std::string>{"v1", "v1", "v3", "v3", "v4", "v4", "v5", "v5"}));
}

TEST_F(TransfRun, SymmetricDiagonalTreeAndGraphMatrices) {
  struct Case {
    const char* input;
    const char* codes;
    int type;
    int rows;
    Values values;
  };
  const char* const similarity = "3 3 3 0\n1\n0.5 2\n0.25 0.75 3\n";
  const char* const dissimilarity = "2 3L 3 0\na b c\n0\n2 0\n4 6 0\n";
  const Case cases[] = {
      {similarity, "NEG", mtDissimilarity, 3, {-1, -0.5, -2, -0.25, -0.75, -3}},
      {similarity, "MUL(2)", mtSimilarity, 3, {2, 1, 4, 0.5, 1.5, 6}},
      {similarity, "MUL(-2)", mtDissimilarity, 3, {-2, -1, -4, -0.5, -1.5, -6}},
      {similarity, "DIV(-1) RECIP", mtSimilarity, 3, {-1, -2, -0.5, -4, -4.0 / 3, -1.0 / 3}},
      {similarity, "ASIN[1]", mtDissimilarity, 3, {std::asin(1.0), std::asin(0.5), 2, std::asin(0.25), 0.75, 3}},
      {similarity, "ADD(1)[3]", mtSimilarity, 3, {1, 0.5, 2, 1.25, 1.75, 4}},
      {dissimilarity, "DELETE[2]", mtDissimilarity, 2, {0, 4, 0}},
      {dissimilarity, "KEEP[1-2] SQ", mtDissimilarity, 2, {0, 4, 0}},
      // Double-centring over the kept variables only.
      {dissimilarity, "DEL[3] DCENTER", mtSimilarity, 2, {-1, 1, -1}},
      {"4 3 3 0\n1 2 3\n", "DELETE[2] LOG", mtDiagonal, 2, {0, std::log10(3.0)}},
      {"4 3 3 0\n1 2 3\n", "SQ", mtDiagonal, 3, {1, 4, 9}},
      {"5 3 2 0\n1 2.5\n3 1.5\n2\n", "NEG", mtTreeSimilarity, 3, {-2.5, -1.5}},
      {"6 3 2 0\n1 2.5\n3 1.5\n2\n", "ADD(1)", mtTreeSimilarity, 3, {3.5, 2.5}},
      {"7 3 2 0\n1 2 0.5\n-1 3 2\n", "MUL(-1)", mtGraphSimilarity, 3, {-0.5, -2}},
      {"8 3 2 0\n1 2 0.5\n-1 3 2\n", "SQRT", mtGraphSimilarity, 3, {std::sqrt(0.5), std::sqrt(2.0)}},
  };
  for (const Case& c : cases) {
    const gentest::TReadBack out = Transf(c.input, c.codes);
    EXPECT_EQ(out.header.type, c.type) << c.codes;
    EXPECT_EQ(out.header.rows, c.rows) << c.codes;
    ExpectValues(out.values, c.values, c.codes);
  }
  EXPECT_EQ(Transf(dissimilarity, "DELETE[2]").rowLabels, (std::vector<std::string>{"a", "c"}));
}

TEST_F(TransfRun, CodesThatDoNotApplyAreRefused) {
  struct Case {
    const char* input;
    const char* codes;
    const char* message;
  };
  const char* const similarity = "3 2 2 0\n1\n0.5 2\n";
  const char* const tree = "5 3 2 0\n1 2.5\n3 1.5\n2\n";
  const Case cases[] = {
      {kFiveLabelled, "DELETE[1-5]", "All variables deleted, nothing to output"},
      {kFiveLabelled, "KEEP[5-3]", "All variables deleted, nothing to output"},
      {"1 3 3 0\n1 2 3\n4 5 6\n7 8 9\n", "SYMD LN", "No transformations can follow the SYMD or SYMS transformation"},
      {kTwoByThree, "SYMS", "Matrix must be square and no deletions for the SYMD & SYMS transformations"},
      {"1 2 2 0\n1 2\n3 4\n", "DEL[1] SYMD",
       "Matrix must be square and no deletions for the SYMD & SYMS transformations"},
      {kTwoByThree, "SHAPET(1,2)[1-1]", "The same variable cannot be used for both the x and y coordinate"},
      {kTwoByThree, "SHAPET(1,4)[1-2]", "Landmark number for baseline is out of range"},
      {kTwoByThree, "SHAPET(0,2)[1-2]", "Landmark number for baseline is out of range"},
      {"1 2 3 0\n1 1 3\n4 4 6\n", "SHAPET(1,2)[1-2]", "Baseline for shape coordinates is of zero length"},
      {"1 1 4 0\n0 0 1 1\n", "SHAPET2(1,3)", "Landmark number for baseline is out of range"},
      {"1 1 4 0\n0 0 1 1\n", "SHAPET2(2,2)", "Landmark number for baseline is out of range"},
      {kTwoByThree, "SHAPET2(1,2)", "Number of coordinates must be a multiple of 2"},
      {kTwoByThree, "1TO2", "number of elements not a correct multiple"},
      {kTwoByThree, "3TO1", "number of elements not a correct multiple"},
      {kTwoByThree, "DIVV(3)", "Variable number out of range: DIVV(3)"},
      {kTwoByThree, "SUBV(0)[2]", "Variable number out of range: SUBV(0)[2]"},
      {similarity, "DIVSUMY", "Transformation not defined for symmetric matrices"},
      {similarity, "SUBYBAR", "Transformation not defined for symmetric matrices"},
      {"4 2 2 0\n1 2\n", "DCENTER", "Transformation not defined for diagonal matrices"},
      {tree, "DIVSUMY", "Transformation not defined for tree matrices"},
      {tree, "DELETE[1]", "Transformation not defined for tree matrices"},
      {"7 3 1 0\n1 2 0.5\n", "DIVSUMY", "Transformation not defined for graph matrices"},
      {tree, "ADD(1)[2]", "Transformation must apply to all"},
  };
  for (const Case& c : cases) EXPECT_EQ(Refusal(c.input, c.codes), c.message) << c.codes;
}

// Missing values, present in the input or brought in by a code, read back as
// missing in exactly their cells; an introduced value is an integer that no
// value written equals.
TEST_F(TransfRun, MissingCellsReadBackAsMissing) {
  struct Case {
    const char* input;
    const char* codes;
    std::vector<std::size_t> missing;
    double missingValue;
  };
  const Case cases[] = {
      {"1 2 2 0\n0 1\n2 3\n", "LN", {0}, 99999},
      {"1 2 2 0\n99999.5 1\n0 3\n", "LN[2]", {2}, 100001},
      {"1 2 3 0\n1 0 2\n4 6 8\n", "DIVV(1)", {1, 4}, 99999},
      {"1 2 3 1 -9\n1 -9 0\n4 6 8\n", "DIVV(1) ADD(1)", {1, 2, 5}, -9},
      // A partial reshape leaves the entries of variable 2 empty.
      {"1 2 2 0\n1 2\n3 4\n", "1TO2[1]", {2, 3}, 99999},
      // The mean of a value and a missing value is missing.
      {"1 2 2 1 -9\n1 -9\n3 4\n", "SYMD", {1}, -9},
      {"3 2 2 0\n1\n0 2\n", "RECIP", {1}, 99999},
      {"4 2 2 0\n-1 4\n", "SQRT", {0}, 99999},
      {"5 3 2 0\n1 -2.5\n3 1.5\n2\n", "LN", {0}, 99999},
  };
  for (const Case& c : cases) {
    const gentest::TReadBack out = Transf(c.input, c.codes);
    EXPECT_EQ(out.header.missingCode, 1) << c.codes;
    EXPECT_EQ(out.header.missingValue, c.missingValue) << c.codes;
    EXPECT_EQ(out.MissingCells(), c.missing) << c.codes;
  }
}

}  // namespace
