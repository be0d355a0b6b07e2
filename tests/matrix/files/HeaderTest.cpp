// Comment lines, the header line and its type checks.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "FilesTestSupport.h"
#include "matrix/MatrixFiles.h"
#include "tests/support/EndlessInput.h"
#include "tests/support/RecordedServices.h"

namespace {

using filetest::ErrorOf;
using filetest::Text;
using filetest::Written;

constexpr TMatrixTypeSet kAnyType{1, 2, 3, 4, 5, 6, 7, 8};

TMatrixHeader ReadHeader(const std::string& text, TMatrixTypeSet allowed = kAnyType) {
  auto f = Text(text);
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader header;
  EXPECT_TRUE(ReadMatrixHeader(f, comments, header, false, allowed));
  return header;
}

struct HeaderRefusal {
  const char* what;
  const char* text;
  TMatrixTypeSet allowed;
  const char* message;
  int line;  // of the header; after the last line when the file ends before one (0: an empty file)
};

void PrintTo(const HeaderRefusal& c, std::ostream* os) { *os << c.what; }

class HeaderMessages : public ::testing::TestWithParam<HeaderRefusal> {};

TEST_P(HeaderMessages, RefusesWithTheSystemsText) {
  const HeaderRefusal& c = GetParam();
  auto f = Text(c.text);
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader header;
  const bool ended = c.message == std::string("Problem in reading input matrix header.") ||
                     c.message == std::string("EOF reading matrix header");
  std::string expected = c.message;
  if (c.line > 0) {
    expected += (ended ? "\nNo matrix header after line " : "\nMatrix header on line ") + std::to_string(c.line) +
                " of input file.";
  }
  EXPECT_EQ(ErrorOf([&] { ReadMatrixHeader(f, comments, header, false, c.allowed); }), expected);
}

INSTANTIATE_TEST_SUITE_P(
    EveryMessage, HeaderMessages,
    ::testing::Values(
        HeaderRefusal{"OnlyComments", "\"one\r\n;two\r\n", kAnyType, "Problem in reading input matrix header.", 2},
        HeaderRefusal{"EmptyFile", "", kAnyType, "Problem in reading input matrix header.", 0},
        HeaderRefusal{"BlankLineAtEnd", "'c\r\n   \r\n", kAnyType, "EOF reading matrix header", 2},
        HeaderRefusal{"TypeNotNumber", "x 5 3 0\r\n", kAnyType, "Bad value for matrix type code: x", 1},
        HeaderRefusal{"RectangularForSymmetric",
                      "1 5 5 0",
                      {2, 3},
                      "Wrong type of input matrix (rectangular)\nmust be a symmetric matrix (2, 3).\n"
                      "Compute a dis/similarity matrix and try again.",
                      1},
        HeaderRefusal{"RectangularForTree",
                      "1 5 5 0",
                      {5, 6},
                      "Wrong type of input matrix (rectangular)\nmust be a tree matrix (5, 6).\n"
                      "Compute a dis/similarity matrix\nand then a tree matrix and try again.",
                      1},
        HeaderRefusal{"SymmetricForTree",
                      "2 5 5 0",
                      {5},
                      "Wrong type of input matrix (symmetric)\nmust be a tree matrix (5).\n"
                      "Compute tree matrix from dis/similarity matrix.",
                      1},
        HeaderRefusal{"RectangularForGraph",
                      "1 5 5 0",
                      {7, 8},
                      "Wrong type of input matrix (rectangular)\nmust be a graph matrix (7, 8).\n"
                      "Compute dis/similarity matrix\nand then agraph matrix and try again.",
                      1},
        HeaderRefusal{"SymmetricForGraph",
                      "3 5 5 0",
                      {7},
                      "Wrong type of input matrix (symmetric)\nmust be a graph matrix (7).\n"
                      "Compute graph matrix and try again.",
                      1},
        HeaderRefusal{"TreeForGraph",
                      "6 5 5 0",
                      {7, 8},
                      "Wrong type of input matrix (tree)\nmust be a graph matrix (7, 8).\n"
                      "Compute a tree matrix and try again.",
                      1},
        HeaderRefusal{"OtherWrongType", "4 5 5 0", {1}, "Wrong type of input matrix (4) must be: 1.", 1},
        HeaderRefusal{"TypeOutsideEveryList", "12 5 5 0", {}, "Wrong type of input matrix (12) must be: .", 1},
        HeaderRefusal{"RowsNotNumber", "1 xL 3 0", kAnyType, "Bad value for number of rows: x", 1},
        HeaderRefusal{"RowsMissing", "1", kAnyType, "Bad value for number of rows: ", 1},
        HeaderRefusal{"RowsNegative", "1 -5 3 0", kAnyType, "Bad value for number of rows: -5", 1},
        HeaderRefusal{"ColumnsNotNumber", "\"c\r\n1 5 zz 0\r\n", kAnyType, "Bad value for number of columns: zz", 2},
        HeaderRefusal{"ColumnsMissing", "1 5", kAnyType, "Bad value for number of columns: ", 1},
        HeaderRefusal{"SymmetricWithRowWordLabels", "2 5B 5 0", kAnyType,
                      "B or E codes for label positions\nare not permitted in symmetric matrices.", 1},
        HeaderRefusal{"SymmetricNotSquare", "2 5 6 0", kAnyType,
                      "number of rows and columns must be\nequal for symmetric matrices.", 1},
        HeaderRefusal{"DiagonalNotSquare", "4 5 4 0", kAnyType,
                      "number of rows and columns must be\nequal for symmetric matrices.", 1},
        HeaderRefusal{"TreeWithRowWordLabels", "5 5E 5 0", kAnyType,
                      "B or E codes for label positions\nare not permitted in tree matrices.", 1},
        HeaderRefusal{"GraphWithRowWordLabels", "7 5b 4 0", kAnyType,
                      "B or E codes for label positions\nare not permitted in graph matrices.", 1},
        HeaderRefusal{"NoMissingCode", "1 5 3", kAnyType, "Bad value for missing values code: ", 1},
        HeaderRefusal{"MissingValueNotInteger", "1 5 3 1 -9.5", kAnyType, "Bad code given for missing values: -9.5", 1},
        HeaderRefusal{"BlankLineTakenAsItStands", "\r\n  \r\n", kAnyType, "Bad value for matrix type code: ", 2},
        HeaderRefusal{"CommentCharacterInColumnTwo", " \"5 3 0\r\n", kAnyType, "Bad value for matrix type code: \"5",
                      1}),
    [](const auto& param) { return std::string(param.param.what); });

TEST(MatrixHeader, ReadsLabelLettersInEitherCase) {
  const TMatrixHeader h = ReadHeader("1 10l 5L 0\r\n");
  EXPECT_EQ(h.type, 1);
  EXPECT_EQ(h.rows, 10);
  EXPECT_EQ(h.rowLabelCode, lcBlock);
  EXPECT_EQ(h.cols, 5);
  EXPECT_EQ(h.colLabelCode, lcBlock);
  EXPECT_EQ(h.missingCode, 0);
  EXPECT_DOUBLE_EQ(h.missingValue, 99999.999);

  EXPECT_EQ(ReadHeader("1 4b 3 0").rowLabelCode, lcBegin);
  EXPECT_EQ(ReadHeader("1 4E 3 0").rowLabelCode, lcEnd);
  EXPECT_EQ(ReadHeader("1,4,,3 0").cols, 3);  // commas separate words too
}

TEST(MatrixHeader, ColumnLabelsOfASquareMatrixAreItsRowLabels) {
  const TMatrixHeader h = ReadHeader("3 6 6L 0");
  EXPECT_EQ(h.type, 3);
  EXPECT_EQ(h.rowLabelCode, lcBlock);
  EXPECT_EQ(h.colLabelCode, lcNone);
}

TEST(MatrixHeader, MissingValueIsAnInteger) {
  const TMatrixHeader h = ReadHeader("1 5 3 1 -999");
  EXPECT_EQ(h.missingCode, 1);
  EXPECT_EQ(h.missingValue, -999.0);
}

TEST(MatrixHeader, CollectsCommentsAndStopsAfterTheHeaderLine) {
  for (const char* text :
       {"\"first\r\n'second\r\n;third\r\n`fourth\r\n1 2 3 0\r\nnext\r\n",
        "\"first\n'second\n;third\n`fourth\n1 2 3 0\nnext\n", "\"first\r'second\r;third\r`fourth\r1 2 3 0\rnext\r"}) {
    auto f = Text(text);
    std::unique_ptr<rtl::StringList> comments;
    TMatrixHeader h;
    ASSERT_TRUE(ReadMatrixHeader(f, comments, h, false, kAnyType));
    ASSERT_TRUE(comments);
    EXPECT_EQ(comments->Text(), "first\r\nsecond\r\nthird\r\nfourth\r\n");
    std::string rest;
    f.ReadLine(rest);
    EXPECT_EQ(rest, "next");
  }
}

TEST(MatrixHeader, NoCommentsLeavesTheListNull) {
  auto f = Text("1 2 3 0\r\n");
  auto comments = std::make_unique<rtl::StringList>();  // a list from before is dropped
  TMatrixHeader h;
  ReadMatrixHeader(f, comments, h, false, kAnyType);
  EXPECT_FALSE(comments);
}

TEST(MatrixHeader, CommentsReadBeforeAFailureStayWithTheCaller) {
  auto f = Text("\"kept\r\nx 1 1 0\r\n");
  std::unique_ptr<rtl::StringList> comments;
  TMatrixHeader h;
  ErrorOf([&] { ReadMatrixHeader(f, comments, h, false, kAnyType); });
  ASSERT_TRUE(comments);
  EXPECT_EQ((*comments)[0], "kept");
}

// Comment lines without end (a program that keeps writing them into a pipe)
// are refused once they hold as much as the longest line, as an endless line
// is, or once there are more of them than any file holds.
TEST(MatrixHeader, EndlessCommentLinesAreRefusedAtTheLimits) {
  struct Case {
    std::string line;  // written into the pipe over and over
    const char* message;
  };
  const Case cases[] = {
      {"\"" + std::string(1000, 'c') + "\r\n",
       "Comment lines too long for a matrix file (more than 16777216 characters) on line 16744 of input file."},
      {"\" a comment\n", "Too many comment lines for a matrix file (more than 65536) on line 65537 of input file."},
      {"'\r\n", "Too many comment lines for a matrix file (more than 65536) on line 65537 of input file."},
  };
  const std::filesystem::path folder = filetest::ScratchDir();
  for (const Case& c : cases) {
    const testsupport::EndlessPipe pipe(folder / "comments", c.line);
    const auto outcome = testsupport::OutcomeWithin(60, [&] {
      rtl::TextReader f(pipe.Path().string());
      std::unique_ptr<rtl::StringList> comments;
      TMatrixHeader h;
      ReadMatrixHeader(f, comments, h, false, kAnyType);
      return std::string("(read without error)");
    });
    EXPECT_EQ(outcome, c.message) << c.line.substr(0, 12);
  }
}

TEST(MatrixHeader, ListsCommentsAndSummary) {
  struct Case {
    const char* text;
    std::vector<std::string> lines;
  };
  for (const Case& c : {
           Case{"1 10L 5L 0", {"type=1, size=10 by 5, nc=none  (rectangular)"}},
           Case{"\"a note\r\n7 5 4 1 -999",
                {"Comments:", " a note", "type=7, size=5 by 4, nc=-999  (graph (dissimilarity))"}},
           Case{"2 3 3 2 7", {"type=2, size=3 by 3, nc=none  (dissimilarity)"}},
       }) {
    testsupport::RecordedServices listing;
    auto f = Text(c.text);
    std::unique_ptr<rtl::StringList> comments;
    TMatrixHeader h;
    ReadMatrixHeader(f, comments, h, true, kAnyType);
    EXPECT_EQ(listing.lines, c.lines) << c.text;
  }
}

TEST(MatrixHeader, AllowedTypeList) {
  EXPECT_EQ(ListAllowedTypes({2, 3}), "2, 3");
  EXPECT_EQ(ListAllowedTypes({}), "");
  EXPECT_EQ(ListAllowedTypes({0, 8, 9, 15, 1}), "1, 8");
  EXPECT_FALSE(TMatrixTypeSet({16, -1}).Contains(16));
}

TEST(MatrixHeaderWriter, WritesLettersAndBlanks) {
  EXPECT_EQ(Written([](rtl::TextWriter& f) { WriteMatrixHeader(f, 1, 10, 5, 0, 0, "e", lcBlock, lcBlock); }),
            "1 10L 5L 0\r\n");
  EXPECT_EQ(Written([](rtl::TextWriter& f) { WriteMatrixHeader(f, 1, 10, 5, 0, 0, "e", lcNone, lcNone); }),
            "1 10  5  0\r\n");
  EXPECT_EQ(Written([](rtl::TextWriter& f) { WriteMatrixHeader(f, 1, 4, 2, 0, 0, "e", lcEnd, lcNone); }),
            "1 4E 2  0\r\n");
  // Columns take no word labels: such a header could not be read back.
  EXPECT_THROW(Written([](rtl::TextWriter& f) { WriteMatrixHeader(f, 1, 4, 2, 0, 0, "e", lcNone, lcBegin); }),
               E_Morvapc_Internal);
}

// The missing value goes out as an integer whatever the file format, so the
// header reader takes back what the writer wrote.
TEST(MatrixHeaderWriter, MissingValueReadsBack) {
  for (const char* format : {"e", "8.4f"}) {
    const std::string text = Written([&](rtl::TextWriter& f) { WriteMatrixHeader(f, 1, 2, 3, 1, -999, format, 0, 0); });
    EXPECT_EQ(text, "1 2  3  1 -999\r\n");
    const TMatrixHeader h = ReadHeader(text);
    EXPECT_EQ(h.missingCode, 1);
    EXPECT_EQ(h.missingValue, -999.0);
  }
  EXPECT_THROW(Written([](rtl::TextWriter& f) { WriteMatrixHeader(f, 1, 2, 3, 1, 99999.999, "e", 0, 0); }),
               E_Morvapc_Internal);
}

TEST(MatrixHeaderWriter, CommentLines) {
  rtl::StringList comments;
  comments.Add("first");
  comments.Add("");
  EXPECT_EQ(Written([&](rtl::TextWriter& f) { WriteMatrixComments(f, &comments); }), "\"first\r\n\"\r\n");
  EXPECT_EQ(Written([](rtl::TextWriter& f) { WriteMatrixComments(f, nullptr); }), "");
}

}  // namespace
