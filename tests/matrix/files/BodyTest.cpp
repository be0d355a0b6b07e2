// Bodies of matrix files: labels, rectangular and symmetric values, vectors,
// trees in rows form and in parenthesis notation, graphs.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <limits>
#include <string>

#include "FilesTestSupport.h"
#include "matrix/MatrixFiles.h"
#include "matrix/MatrixIO.h"
#include "tests/support/RecordedServices.h"

namespace {

using filetest::ErrorOf;
using filetest::Text;
using filetest::Written;

std::vector<std::string> LabelsOf(const Label_mx& labels) {
  std::vector<std::string> out;
  for (std::int32_t k = 1; k <= labels.n(); ++k) out.push_back(labels.GetLabel(k));
  return out;
}

std::vector<std::vector<double>> RowsOf(const Rect_mx& m) {
  std::vector<std::vector<double>> out(static_cast<std::size_t>(m.rows()));
  for (std::int32_t i = 1; i <= m.rows(); ++i) {
    for (std::int32_t j = 1; j <= m.cols(); ++j) out[static_cast<std::size_t>(i - 1)].push_back(m.getxij(i, j));
  }
  return out;
}

std::string RestOf(rtl::TextReader& f) {
  std::string line;
  f.ReadLine(line);
  return line;
}

// ---- Messages: one malformed input per text ----

struct BodyRefusal {
  const char* what;
  std::function<void()> read;
  std::string message;
};

std::string Lines(int count, const std::string& line) {
  std::string text;
  for (int k = 0; k < count; ++k) text += line + "\r\n";
  return text;
}

// The text as a file whose first lines (the comments and the header before a
// body) have been read already.
rtl::TextReader TextAfterLines(const std::string& text, int skipped) {
  auto f = Text(text);
  std::string line;
  for (int k = 0; k < skipped; ++k) f.ReadLine(line);
  return f;
}

template <class M>
std::function<void()> Reading(std::function<M()> make, std::string text, int skipped = 0) {
  return [make, text, skipped] {
    M m = make();
    auto f = TextAfterLines(text, skipped);
    Read(m, f);
  };
}

std::function<void()> ReadingRect(int rows, int cols, std::string text, int skipped = 0) {
  return [=] {
    Rect_mx m(rows, cols);
    auto f = TextAfterLines(text, skipped);
    Read(m, f, true, {}, {});
  };
}

std::function<void()> ReadingTree(int type, int n, std::string text) {
  return [=] {
    Tree_mx t(type, n);
    auto f = Text(text);
    Read(t, f);
  };
}

std::function<void()> ReadingGraph(int n, int m, std::string text) {
  return [=] {
    Graph_mx g(mtGraphDissimilarity, n, m);
    auto f = Text(text);
    Read(g, f);
  };
}

void PrintTo(const BodyRefusal& c, std::ostream* os) { *os << c.what; }

class BodyMessages : public ::testing::TestWithParam<BodyRefusal> {};

TEST_P(BodyMessages, RefusesWithItsText) { EXPECT_EQ(ErrorOf(GetParam().read), GetParam().message); }

INSTANTIATE_TEST_SUITE_P(
    EveryMessage, BodyMessages,
    ::testing::Values(
        BodyRefusal{"LabelsEndOfFile",
                    [] {
                      Label_mx labels(3);
                      auto f = Text("a b\r\n");
                      ReadLabels(labels, f);
                    },
                    "End of file encountered when trying to read labels on line 1 of input file."},
        BodyRefusal{"RectEndOfFile", ReadingRect(2, 3, "1 2 3\r\n\r\n4 5\r\n"),
                    "End of file encountered when trying to read row 2 column 3 from line 3 of input file."},
        BodyRefusal{"RectEndOfFileByColumns",
                    [] {
                      Rect_mx m(3, 2);
                      auto f = Text("1 2 3\r\n4\r\n");
                      Read(m, f, false, {}, {});
                    },
                    "End of file encountered when trying to read row 2 column 2 from line 2 of input file."},
        BodyRefusal{"RectEndOfFileRowCutToFourCharacters", ReadingRect(12345, 1, Lines(12344, "1")),
                    "End of file encountered when trying to read row 1234 column 1 from line 12344 of input file."},
        BodyRefusal{"RectBadValue", ReadingRect(2, 3, "1 2 x\r\n"),
                    "Problem in reading value: x on data line 1 in input file."},
        // Lines are counted from the file's first line, not from the body's.
        BodyRefusal{"RectBadValueAfterCommentAndHeader",
                    ReadingRect(2, 3, "\"data\r\n1 2 3 0\r\n1 2 3\r\n4 x 6\r\n", 2),
                    "Problem in reading value: x on data line 4 in input file."},
        BodyRefusal{"RectEndOfFileAfterHeader", ReadingRect(2, 3, "1 2 3 0\r\n1 2 3\r\n4 5\r\n", 1),
                    "End of file encountered when trying to read row 2 column 3 from line 3 of input file."},
        BodyRefusal{"SymBadValueAfterHeader",
                    Reading<Sym_mx>([] { return Sym_mx(2, 2); }, "2 2 2 0\r\n1\r\n2 z\r\n", 1),
                    "Problem in reading value: z on data line 3 of input file."},
        BodyRefusal{"RectEndLabelMissing",
                    [] {
                      Rect_mx m(1, 2);
                      auto labels = std::make_shared<Label_mx>(1);
                      auto f = Text("1 2\r\n");
                      Read(m, f, true, {labels.get(), lcEnd, true}, {});
                    },
                    "End of file encountered when trying to read labels on line 1 of input file."},
        BodyRefusal{"RecordsEndOfFile",
                    [] {
                      Rect_mx m(3, 3);
                      auto f = Text("1\r\n2 3\r\n");
                      ReadRecords(m, f);
                    },
                    "End of file encountered when trying to read record 3 position 1 in input file."},
        BodyRefusal{"RecordsBadValue",
                    [] {
                      Rect_mx m(3, 3);
                      auto f = Text("1\r\n2 y\r\n");
                      ReadRecords(m, f);
                    },
                    "Problem in reading value: y at record 2 position 2 in input file."},
        BodyRefusal{"SymEndOfFile", Reading<Sym_mx>([] { return Sym_mx(2, 2); }, "1\r\n2\r\n"),
                    "End of file encountered when trying to read row 2 column 2 in input file."},
        BodyRefusal{"SymBadValue", Reading<Sym_mx>([] { return Sym_mx(2, 2); }, "1\r\n2 z\r\n"),
                    "Problem in reading value: z on data line 2 of input file."},
        BodyRefusal{"VectorEndOfFile", Reading<vect_mx>([] { return vect_mx(3); }, "1 2\r\n"),
                    "End of file error in trying to read element 3 from vector on line 1 of input file."},
        BodyRefusal{"VectorBadValue", Reading<vect_mx>([] { return vect_mx(3); }, "1 q 3\r\n"),
                    "Error in trying to read element 2 from vector on line 1 of input file."},
        BodyRefusal{"VectorTwoBlankLines", Reading<vect_mx>([] { return vect_mx(3); }, "1\r\n\r\n\r\n2 3\r\n"),
                    "Error in trying to read element 2 from vector on line 3 of input file."},
        BodyRefusal{"IntVectorEndOfFile", Reading<ivect_mx>([] { return ivect_mx(2); }, "1"),
                    "End of file error in trying to read element 2 from vector on line 1 of input file."},
        BodyRefusal{"IntVectorNotInteger", Reading<ivect_mx>([] { return ivect_mx(2); }, "1 2.5"),
                    "Error in trying to read element 2 of integer vector on line 1 of input file."},
        BodyRefusal{"TreePointerOutOfRange", ReadingTree(6, 3, "4 1.0\r\n1 2.0\r\n2\r\n"),
                    "Pointer value, 4, in tree matrix is out of range on line 1 of input file."},
        BodyRefusal{"TreePointerNotNumber", ReadingTree(6, 3, "1 1.0\r\na 2.0\r\n2\r\n"),
                    "Problem in reading value: a on line 2 of input file."},
        BodyRefusal{"TreeValueNotNumber", ReadingTree(5, 3, "\r\n1 b\r\n"),
                    "Problem in reading value: b on line 2 of input file."},
        BodyRefusal{"TreeRowMissing", ReadingTree(6, 3, "1 1.0\r\n"),
                    "End of file encountered when trying to read row 2 of tree matrix on line 1 of input file."},
        BodyRefusal{"TreeRepeatedPointer", ReadingTree(6, 3, "1 1.0\r\n2 2.0\r\n1\r\n"),
                    "Pointer value, 1, occurs twice in tree matrix on line 3 of input file."},
        BodyRefusal{"TreeLastRowNotNumber", ReadingTree(6, 3, "1 1.0\r\n2 2.0\r\nx\r\n"),
                    "Problem in reading last row of tree matrix on line 3 of input file."},
        BodyRefusal{"TreeLastRowMissing", ReadingTree(6, 3, "1 1.0\r\n2 2.0\r\n\r\n"),
                    "Problem in reading last row of tree matrix on line 3 of input file."},
        BodyRefusal{"TreeLastPointerOutOfRange", ReadingTree(6, 3, "1 1.0\r\n2 2.0\r\n0\r\n"),
                    "Last pointer value in tree matrix out of range on line 3 of input file."},
        BodyRefusal{"NotationNoBranchLength", ReadingTree(5, 3, "(1:,2,3);"),
                    "No branch length given after :  on line 1 of input file."},
        BodyRefusal{"NotationBadBranchLength", ReadingTree(5, 2, "(1:1.2.3,2);"),
                    "Bad branch length (1.2.3) in NEXUS format tree on line 1 of input file."},
        BodyRefusal{"NotationOtuAboveN", ReadingTree(5, 3, "(1,2,4);"),
                    "OTU number (4) greater than number of OTUs on line 1 of input file."},
        BodyRefusal{"NotationOtuZero", ReadingTree(5, 3, "(0,1,2);"),
                    "OTU number (0) less than 1 on line 1 of input file."},
        BodyRefusal{"NotationOtuNotNumber", ReadingTree(5, 3, "(a,1,2);"),
                    "OTU number (a) is not a number on line 1 of input file."},
        BodyRefusal{"NotationOtuTwice", ReadingTree(5, 3, "(1,1,2);"),
                    "OTU number (1) occurs twice in NEXUS format tree on line 1 of input file."},
        // A sign is part of the word: it is no OTU number, and the line is named.
        BodyRefusal{"NotationNegativeOtu", ReadingTree(5, 3, "((-1,2),3);"),
                    "OTU number (-1) less than 1 on line 1 of input file."},
        BodyRefusal{"NotationForeignCharacterOnThirdLine", ReadingTree(5, 3, "((1,\r\n 2),\r\n 3_);"),
                    "OTU number (3_) is not a number on line 3 of input file."},
        BodyRefusal{"NotationMoreLeaves", ReadingTree(5, 3, "(1,2,3,1);"),
                    "More OTUs in NEXUS format tree than number of OTUs (3) on line 1 of input file."},
        BodyRefusal{"NotationFewerLeaves", ReadingTree(5, 3, "(1,2);"),
                    "Fewer OTUs in NEXUS format tree (2) than number of OTUs (3) on line 1 of input file."},
        BodyRefusal{"NotationStackDeeperThanN", ReadingTree(5, 2, "(1,,,2);"),
                    "More branches in NEXUS format tree than number of OTUs (2) on line 1 of input file."},
        BodyRefusal{"NotationEmptyBranch", ReadingTree(5, 2, "((,1),2);"),
                    "Error in structure of NEXUS format tree on line 1 of input file."},
        BodyRefusal{"NotationTooManyClosings", ReadingTree(5, 2, "(1,2));"),
                    "Error in structure of NEXUS format tree on line 1 of input file."},
        BodyRefusal{"NotationUnbalanced", ReadingTree(5, 2, "((1,2);"),
                    "Unbalanced parentheses in NEXUS format tree on line 1 of input file."},
        BodyRefusal{"GraphNotNumber", ReadingGraph(5, 2, "1 2 0.5\r\n1 x 0.5\r\n"),
                    "Problem in reading row 2 of graph matrix on line 2 of input file."},
        BodyRefusal{"GraphEndOfFile", ReadingGraph(5, 2, "1 2 0.5\r\n1 3\r\n"),
                    "Problem in reading row 2 of graph matrix on line 2 of input file."},
        BodyRefusal{"GraphOutOfRange", ReadingGraph(5, 1, "6 1 0.3\r\n"),
                    "I,J pointers in graph matrix out of range on line 1 of input file."},
        BodyRefusal{"GraphNegativeOutOfRange", ReadingGraph(5, 1, "1 -6 0.3\r\n"),
                    "I,J pointers in graph matrix out of range on line 1 of input file."},
        BodyRefusal{"WordTooLongForAnItem", ReadingRect(1, 2, "1 " + std::string(256, '7') + "\r\n"),
                    "Word too long to be a matrix item (more than 255 characters): " + std::string(40, '7') +
                        "... on line 1 of input file."},
        BodyRefusal{"TreeWordTooLongForAnItem", ReadingTree(5, 3, "(" + std::string(256, '1')),
                    "Word too long to be a matrix item (more than 255 characters): " + std::string(40, '1') +
                        "... on line 1 of input file."},
        BodyRefusal{"BadValueQuotedByItsStart", ReadingRect(1, 1, std::string(41, 'x') + "\r\n"),
                    "Problem in reading value: " + std::string(40, 'x') + "... on data line 1 in input file."},
        BodyRefusal{"BadValueOf40CharactersQuotedWhole", ReadingRect(1, 1, std::string(40, 'x') + "\r\n"),
                    "Problem in reading value: " + std::string(40, 'x') + " on data line 1 in input file."},
        BodyRefusal{"LowerTriangleNotSquare",
                    [] { Written([](rtl::TextWriter& f) { WriteLowerTriangle(Rect_mx(2, 3), f, false, "e"); }); },
                    "Matrix is not square"}),
    [](const auto& param) { return std::string(param.param.what); });

// ---- Values that are not finite ----

// No writer writes a value that no reader takes back: each refuses it, naming
// where it belongs and the file.
TEST(Writers, RefuseValuesThatAreNotFinite) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* what;
    std::function<void(rtl::TextWriter&)> write;
    std::string start;
    std::string value;
  };
  const Case cases[] = {
      {"Rect",
       [&](rtl::TextWriter& f) {
         Rect_mx m(2, 2);
         m.putxij(1, 2, inf);
         Write(m, f, true, "e");
       },
       "Row 1, column 2 of the matrix", "INF"},
      {"RectByColumns",
       [&](rtl::TextWriter& f) {
         Rect_mx m(2, 2);
         m.putxij(2, 1, -inf);
         Write(m, f, false, "e");
       },
       "Row 2, column 1 of the matrix", "-INF"},
      {"Sym",
       [&](rtl::TextWriter& f) {
         Sym_mx m(mtSimilarity, 2);
         m.putxij(2, 1, std::nan(""));
         Write(m, f, "e");
       },
       "Row 2, column 1 of the matrix", "NAN"},
      {"Vector",
       [&](rtl::TextWriter& f) {
         vect_mx v(3);
         v.Put(2, inf);
         Write(v, f, "e");
       },
       "Element 2 of the vector", "INF"},
      {"Tree",
       [&](rtl::TextWriter& f) {
         Tree_mx t(mtTreeDissimilarity, 2);
         t.PutNode(1, 1, inf);
         t.PutNode(2, 2, 0.0);
         Write(t, f, "e");
       },
       "Level of node 1 of the tree", "INF"},
      {"Graph",
       [&](rtl::TextWriter& f) {
         Graph_mx g(mtGraphDissimilarity, 2, 1);
         g.PutEdge(1, 1, 2, std::nan(""));
         Write(g, f, "e");
       },
       "Value of edge 1 of the graph", "NAN"},
  };
  for (const Case& c : cases) {
    const std::string message = ErrorOf([&] { Written(c.write); });
    EXPECT_TRUE(message.starts_with(c.start + " for output file ")) << c.what << ": " << message;
    EXPECT_TRUE(message.ends_with("written.qmx overflowed (" + c.value + ") and cannot be written."))
        << c.what << ": " << message;
  }
}

// ---- Words left after a row: decimal commas ----

// A file written with decimal commas reads by the format's rule (the comma
// separates words, the rest of a row's line is dropped), and the first row
// that left words behind is reported once per matrix, in the listing and as
// a warning.
struct LeftoverCase {
  const char* what;
  std::function<void(rtl::TextReader&)> read;
  const char* text;
  const char* warning;  // empty: none
};

void PrintTo(const LeftoverCase& c, std::ostream* os) { *os << c.what; }

class LeftoverWords : public ::testing::TestWithParam<LeftoverCase> {};

TEST_P(LeftoverWords, AreReportedOnceForTheFirstRow) {
  testsupport::RecordedServices services;
  auto f = Text(GetParam().text);
  GetParam().read(f);
  const std::vector<std::string> expected =
      *GetParam().warning ? std::vector<std::string>{GetParam().warning} : std::vector<std::string>{};
  EXPECT_EQ(services.warnings, expected);
  EXPECT_EQ(services.lines, expected);
}

template <class M>
std::function<void(rtl::TextReader&)> Into(std::function<M()> make) {
  return [make](rtl::TextReader& f) {
    M m = make();
    Read(m, f);
  };
}

std::function<void(rtl::TextReader&)> IntoRect(int rows, int cols, bool byRows = true) {
  return [=](rtl::TextReader& f) {
    Rect_mx m(rows, cols);
    Read(m, f, byRows, {}, {});
  };
}

INSTANTIATE_TEST_SUITE_P(
    EveryReader, LeftoverWords,
    ::testing::Values(
        LeftoverCase{"RectWithDecimalCommas", IntoRect(2, 2), "17,5 16,7\r\n1,5 2,5\r\n",
                     "2 values after the end of row 1 ignored (decimal commas?)"},
        LeftoverCase{"RectFirstRowThatLeftWords", IntoRect(3, 2), "1 2\r\n3 4 5\r\n6 7 8 9\r\n",
                     "1 values after the end of row 2 ignored (decimal commas?)"},
        LeftoverCase{"RectByColumns", IntoRect(2, 2, false), "1 2\r\n3 4 x\r\n",
                     "1 values after the end of row 2 ignored (decimal commas?)"},
        LeftoverCase{"RectRecordOverTwoLines", IntoRect(1, 7), "1 2 3 4 5 6\r\n7\r\n", ""},
        LeftoverCase{"SymWithDecimalCommas", Into<Sym_mx>([] { return Sym_mx(2, 2); }), "0,0\r\n2,5 0,0\r\n",
                     "1 values after the end of row 1 ignored (decimal commas?)"},
        LeftoverCase{"VectorAfterItsLastElement", Into<vect_mx>([] { return vect_mx(3); }), "1,5 2,5 3,5\r\n",
                     "3 values after the end of row 3 ignored (decimal commas?)"},
        LeftoverCase{"TreeRow", Into<Tree_mx>([] { return Tree_mx(6, 3); }), "1 0,5\r\n2 1,5\r\n3\r\n",
                     "1 values after the end of row 1 ignored (decimal commas?)"},
        // The last row holds the last pointer; writers put 0.0 or a rule after it.
        LeftoverCase{"TreeLastRowAsWritten", Into<Tree_mx>([] { return Tree_mx(6, 2); }), "1 0.5\r\n   2 0.0\r\n", ""},
        LeftoverCase{"GraphRow", Into<Graph_mx>([] { return Graph_mx(7, 3, 2); }), "1 2 0,5\r\n2 3 1,5\r\n",
                     "1 values after the end of row 1 ignored (decimal commas?)"}),
    [](const auto& param) { return std::string(param.param.what); });

// ---- Labels and SkipItems ----

TEST(Labels, BlockOverTwoLinesDropsTheRestOfTheLastLine) {
  Label_mx labels(5);
  auto f = Text("a b c\r\nd e f\r\n1 2\r\n");
  ASSERT_TRUE(ReadLabels(labels, f));
  EXPECT_EQ(LabelsOf(labels), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
  EXPECT_EQ(RestOf(f), "1 2");
}

TEST(Labels, CommasAndBlankLinesSeparate) {
  Label_mx labels(3);
  auto f = Text("\r\nHomo,,Pan\r\n\r\nGorilla_gorilla_beringei\r\n");
  ReadLabels(labels, f);
  EXPECT_EQ(LabelsOf(labels), (std::vector<std::string>{"Homo", "Pan", "Gorilla_gorilla"}));
}

TEST(Labels, ListWithoutStorageReadsNothing) {
  Label_mx labels(0);
  auto f = Text("a b\r\n");
  EXPECT_FALSE(ReadLabels(labels, f));
  EXPECT_EQ(RestOf(f), "a b");
}

TEST(Labels, SelectedPositionsGoToTheirEntries) {
  Label_mx labels(2);
  Index_mx selection(3);
  selection.Put(1, 2);
  selection.Put(2, 0);
  selection.Put(3, 1);
  auto f = Text("a b c\r\n");
  ReadSelectedLabels(labels, f, &selection);
  EXPECT_EQ(LabelsOf(labels), (std::vector<std::string>{"c", "a"}));
}

TEST(Labels, WriterBreaksLinesLongerThan72) {
  Label_mx labels(20);
  for (int k = 1; k <= 20; ++k) labels.PutLabel(k, std::string(14, 'a' + (k - 1) % 26) + char('A' + k - 1));
  const std::string text = Written([&](rtl::TextWriter& f) { WriteLabels(labels, f); });
  std::vector<std::string> lines;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t end = text.find("\r\n", pos);
    lines.push_back(text.substr(pos, end - pos));
    pos = end + 2;
  }
  ASSERT_EQ(lines.size(), 4u);
  for (const std::string& line : lines) EXPECT_EQ(line.size(), 80u);
  EXPECT_EQ(lines[0].substr(0, 16), "aaaaaaaaaaaaaaA ");

  EXPECT_EQ(Written([](rtl::TextWriter& f) { WriteLabels(Label_mx(0), f); }), "");
  Label_mx two(2);
  two.PutLabel(1, "x");
  EXPECT_EQ(Written([&](rtl::TextWriter& f) { WriteLabels(two, f); }), "x  \r\n");
}

// A label may be as long as a line holds: every reader that takes labels cuts
// it to the 15 characters a label keeps, and one that skips them passes over
// it, where a number that long is refused (WordTooLongForAnItem).
TEST(Labels, OfAnyLengthAreCutWhereverTheyStand) {
  const std::string label = "Gorilla" + std::string(993, 'g');
  const std::string cut = label.substr(0, 15);
  struct Case {
    const char* what;
    std::string text;
    int rowCode;
    bool wanted;
    std::vector<std::string> labels;  // the row labels read
  };
  const Case cases[] = {
      {"in a block", "Pan " + label + "\r\n1 2\r\n3 4\r\n", lcBlock, true, {"Pan", cut}},
      {"in a block skipped", "Pan " + label + "\r\n1 2\r\n3 4\r\n", lcBlock, false, {"", ""}},
      {"first in its record", "Pan 1 2\r\n" + label + " 3 4\r\n", lcBegin, true, {"Pan", cut}},
      {"last in its record", "1 2 Pan\r\n3 4 " + label + "\r\n", lcEnd, true, {"Pan", cut}},
      {"last, on the next line", "1 2 Pan\r\n3 4\r\n" + label + "\r\n", lcEnd, true, {"Pan", cut}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Rect_mx m(2, 2);
    Label_mx rows(2);
    auto f = Text(c.text);
    Read(m, f, true, {&rows, c.rowCode, c.wanted}, {});
    EXPECT_EQ(LabelsOf(rows), c.labels);
    EXPECT_EQ(RowsOf(m), (std::vector<std::vector<double>>{{1, 2}, {3, 4}}));
  }

  Label_mx labels(2);
  auto f = Text(label + "\r\nPan\r\n1\r\n");
  ReadLabels(labels, f);
  EXPECT_EQ(LabelsOf(labels), (std::vector<std::string>{cut, "Pan"}));
  EXPECT_EQ(RestOf(f), "1");
  auto g = Text(label + " Pan\r\n1\r\n");
  SkipItems(g, 2);
  EXPECT_EQ(RestOf(g), "1");
}

// SkipItems passes over exactly what the label reader would read.
TEST(SkipItems, SkipsWhatTheLabelReaderReads) {
  struct Case {
    const char* what;
    const char* text;
    int count;
    const char* next;  // the line read after skipping
  };
  for (const Case& c : {
           Case{"commas separate", "a,b,c\r\n1 2\r\n", 3, "1 2"},
           Case{"over lines and blank lines", "a b\r\n\r\nc d e\r\n1 2\r\n", 3, "1 2"},
           Case{"rest of the last line dropped", "a b c\r\nx\r\n", 2, "x"},
           Case{"last word at the line end", "a b\r\nx\r\n", 2, "x"},
           Case{"count 0 skips nothing", "a b\r\n", 0, "a b"},
           Case{"tabs separate", "a\tb\r\nx y\r\n", 2, "x y"},
       }) {
    auto f = Text(c.text);
    SkipItems(f, c.count);
    EXPECT_EQ(RestOf(f), c.next) << c.what;
  }
  auto f = Text("a b\r\n");
  SkipItems(f, 5);  // stops at the end of the file
  EXPECT_TRUE(f.Eof());
}

// ---- Rectangular matrices ----

TEST(RectRead, EachRecordStartsOnANewLine) {
  testsupport::RecordedServices services;
  Rect_mx m(2, 3);
  auto f = Text("1 2 3 4 5 6\r\n7 8 9\r\n");
  Read(m, f, true, {}, {});
  EXPECT_EQ(RowsOf(m), (std::vector<std::vector<double>>{{1, 2, 3}, {7, 8, 9}}));
  EXPECT_EQ(services.warnings, std::vector<std::string>{"3 values after the end of row 1 ignored (decimal commas?)"});
}

TEST(RectRead, RecordsRunOverLinesAndCommas) {
  testsupport::RecordedServices services;
  Rect_mx m(2, 3);
  auto f = Text("1,\r\n\r\n2 3 999\r\n  4,5,6\r\n");
  Read(m, f, true, {}, {});
  EXPECT_EQ(RowsOf(m), (std::vector<std::vector<double>>{{1, 2, 3}, {4, 5, 6}}));
  EXPECT_EQ(services.warnings, std::vector<std::string>{"1 values after the end of row 1 ignored (decimal commas?)"});
}

TEST(RectRead, ByColumnsFillsColumns) {
  Rect_mx m(2, 3);
  auto f = Text("1 4\r\n2 5\r\n3 6\r\n");
  Read(m, f, false, {}, {});
  EXPECT_EQ(RowsOf(m), (std::vector<std::vector<double>>{{1, 2, 3}, {4, 5, 6}}));
}

TEST(RectRead, LabelBlocksOfBothDimensions) {
  Rect_mx m(2, 2);
  Label_mx rows(2), cols(2);
  auto f = Text("r1 r2\r\nc1 c2\r\n1 2\r\n3 4\r\n");
  Read(m, f, true, {&rows, lcBlock, true}, {&cols, lcBlock, true});
  EXPECT_EQ(LabelsOf(rows), (std::vector<std::string>{"r1", "r2"}));
  EXPECT_EQ(LabelsOf(cols), (std::vector<std::string>{"c1", "c2"}));
  EXPECT_EQ(RowsOf(m), (std::vector<std::vector<double>>{{1, 2}, {3, 4}}));

  // Stored by columns, the column block comes first.
  Rect_mx t(2, 2);
  auto g = Text("c1 c2\r\nr1 r2\r\n1 3\r\n2 4\r\n");
  Read(t, g, false, {&rows, lcBlock, true}, {&cols, lcBlock, true});
  EXPECT_EQ(LabelsOf(cols), (std::vector<std::string>{"c1", "c2"}));
  EXPECT_EQ(RowsOf(t), (std::vector<std::vector<double>>{{1, 2}, {3, 4}}));
}

TEST(RectRead, UnwantedLabelBlocksAreSkipped) {
  Rect_mx m(2, 2);
  auto f = Text("r1,r2\r\nc1, c2\r\n1 2\r\n3 4\r\n");
  Read(m, f, true, {nullptr, lcBlock, false}, {nullptr, lcBlock, false});
  EXPECT_EQ(RowsOf(m), (std::vector<std::vector<double>>{{1, 2}, {3, 4}}));
}

TEST(RectRead, RowLabelFirstOrLastInEachRecord) {
  Rect_mx m(2, 2);
  Label_mx labels(2);
  auto f = Text("Homo 1.0 2.0\r\nPan 3 4\r\n");
  Read(m, f, true, {&labels, lcBegin, true}, {});
  EXPECT_EQ(LabelsOf(labels), (std::vector<std::string>{"Homo", "Pan"}));
  EXPECT_EQ(RowsOf(m), (std::vector<std::vector<double>>{{1, 2}, {3, 4}}));

  Rect_mx e(2, 2);
  Label_mx endLabels(2);
  auto g = Text("1.0 2.0 Homo\r\n3 4\r\nPan\r\n");
  Read(e, g, true, {&endLabels, lcEnd, true}, {});
  EXPECT_EQ(LabelsOf(endLabels), (std::vector<std::string>{"Homo", "Pan"}));
  EXPECT_EQ(RowsOf(e), (std::vector<std::vector<double>>{{1, 2}, {3, 4}}));
}

TEST(RectRead, SelectionsSkipAndReorder) {
  Rect_mx m(2, 2);
  Index_mx rowSel(3), colSel(3);
  rowSel.Put(1, 2);
  rowSel.Put(2, 0);
  rowSel.Put(3, 1);
  colSel.Put(1, 0);
  colSel.Put(2, 1);
  colSel.Put(3, 2);
  Label_mx rowLabels(2);
  // Words at skipped positions are not converted.
  auto f = Text("a b c\r\n1 11 12\r\nskipped - -\r\n3 31 32\r\n");
  Read(m, f, true, {&rowLabels, lcBlock, true}, {}, &rowSel, &colSel);
  EXPECT_EQ(LabelsOf(rowLabels), (std::vector<std::string>{"c", "a"}));
  EXPECT_EQ(RowsOf(m), (std::vector<std::vector<double>>{{31, 32}, {11, 12}}));
}

TEST(RectRead, NumbersStandForLabelsWhenTheFileHasNone) {
  Rect_mx m(2, 1);
  Label_mx labels(2);
  auto f = Text("5\r\n6\r\n");
  Read(m, f, true, {&labels, lcNone, true}, {});
  EXPECT_EQ(LabelsOf(labels), (std::vector<std::string>{"1", "2"}));
}

TEST(RectRead, FailureKeepsWhatWasStored) {
  Rect_mx m(2, 2);
  m.Fill(-1);
  auto f = Text("1 2\r\n3 x\r\n");
  ErrorOf([&] { Read(m, f, true, {}, {}); });
  EXPECT_EQ(RowsOf(m), (std::vector<std::vector<double>>{{1, 2}, {3, -1}}));
}

TEST(RectRead, RefusesNumbersOutsideTheDecimalSyntax) {
  for (const char* word : {"inf", "nan", "0x10", "1e999", "1e", "+-1"}) {
    Rect_mx m(1, 2);
    auto f = Text(std::string("1 ") + word + "\r\n");
    EXPECT_NE(ErrorOf([&] { Read(m, f, true, {}, {}); }), "") << word;
  }
}

TEST(RectRead, LowerTriangleRecordsFillBothHalves) {
  Rect_mx m(3, 3);
  auto f = Text("1\r\n2 3\r\n4,5\r\n6\r\n");
  ReadRecords(m, f);
  EXPECT_EQ(RowsOf(m), (std::vector<std::vector<double>>{{1, 2, 4}, {2, 3, 5}, {4, 5, 6}}));
}

TEST(RectWrite, SixValuesToALine) {
  Rect_mx m(2, 7);
  for (int i = 1; i <= 2; ++i) {
    for (int j = 1; j <= 7; ++j) m.putxij(i, j, i * 10 + j);
  }
  EXPECT_EQ(Written([&](rtl::TextWriter& f) { Write(m, f, true, "5.1f"); }),
            " 11.0  12.0  13.0  14.0  15.0  16.0 \r\n 17.0 \r\n"
            " 21.0  22.0  23.0  24.0  25.0  26.0 \r\n 27.0 \r\n");
  EXPECT_EQ(Written([&](rtl::TextWriter& f) { Write(m, f, false, "5.1f"); }).substr(0, 14), " 11.0  21.0 \r\n");
  EXPECT_EQ(Written([&](rtl::TextWriter& f) { Write(Rect_mx(1, 1), f, true, "e"); }), "0.00000000000000E+000 \r\n");
}

TEST(RectWrite, LowerTriangle) {
  Rect_mx m(2, 2);
  m.putxij(1, 1, 1);
  m.putxij(1, 2, 2);
  m.putxij(2, 1, 3);
  m.putxij(2, 2, 4);
  EXPECT_EQ(Written([&](rtl::TextWriter& f) { WriteLowerTriangle(m, f, false, "3.0f"); }), "  1 \r\n  3   4 \r\n");
  EXPECT_EQ(Written([&](rtl::TextWriter& f) { WriteLowerTriangle(m, f, true, "3.0f"); }), "  1 \r\n  2   4 \r\n");
}

// ---- Symmetric matrices and vectors ----

TEST(SymRead, LowerTriangleOverLines) {
  testsupport::RecordedServices services;
  Sym_mx m(3, 3);
  auto f = Text("1\r\n\r\n2,3\r\n4 5\r\n6 ignored\r\nnext\r\n");
  Read(m, f);
  EXPECT_EQ(m.getxij(1, 3), 4);
  EXPECT_EQ(m.getxij(3, 2), 5);
  EXPECT_EQ(m.getxij(3, 3), 6);
  EXPECT_EQ(RestOf(f), "next");
  EXPECT_EQ(services.warnings, std::vector<std::string>{"1 values after the end of row 3 ignored (decimal commas?)"});
  EXPECT_EQ(Written([&](rtl::TextWriter& f2) { Write(m, f2, "2.0f"); }), " 1 \r\n 2  3 \r\n 4  5  6 \r\n");
}

TEST(VectorRead, OneBlankLineAtATimeIsPassedOver) {
  vect_mx v(4);
  auto f = Text("1 2\r\n   \r\n3\r\n,\r\n4\r\n");
  Read(v, f);
  EXPECT_EQ(v.Get(3), 3);
  EXPECT_EQ(v.Get(4), 4);
}

TEST(VectorWrite, LineEnds) {
  vect_mx v(7);
  for (int k = 1; k <= 7; ++k) v.Put(k, k);
  EXPECT_EQ(Written([&](rtl::TextWriter& f) { Write(v, f, "2.0f"); }), " 1  2  3  4  5  6 \r\n 7 \r\n");

  ivect_mx six(6), seven(7);
  for (int k = 1; k <= 7; ++k) {
    if (k <= 6) six.Put(k, k);
    seven.Put(k, -k);
  }
  EXPECT_EQ(Written([&](rtl::TextWriter& f) { Write(six, f); }), "     1      2      3      4      5      6 ");
  EXPECT_EQ(Written([&](rtl::TextWriter& f) { Write(seven, f); }),
            "    -1     -2     -3     -4     -5     -6 \r\n    -7 ");
}

// ---- Trees ----

struct TreeNode {
  std::int32_t pointer;
  double value;
  bool operator==(const TreeNode& o) const { return pointer == o.pointer && std::abs(value - o.value) < 1e-12; }
};

std::ostream& operator<<(std::ostream& os, const TreeNode& n) {
  return os << "(" << n.pointer << ", " << n.value << ")";
}

std::vector<TreeNode> NodesOf(const Tree_mx& t) {
  std::vector<TreeNode> out;
  for (std::int32_t k = 1; k <= t.n(); ++k) out.push_back({t.GetPointer(k), t.GetValue(k)});
  return out;
}

TEST(TreeRead, RowsForm) {
  for (int type : {5, 6}) {
    testsupport::RecordedServices services;
    Tree_mx t(type, 3);
    // Only a tree of type 5 may start after blank lines (it may be in notation).
    // Each row is a whole line: words after the value, on the last row too, are dropped.
    auto f = Text(std::string(type == 5 ? "\r\n" : "") + "  2 0.5 x\r\n3,1.5 y\r\n\r\n  1 0.0 rest\r\nnext\r\n");
    ASSERT_TRUE(Read(t, f));
    EXPECT_EQ(NodesOf(t), (std::vector<TreeNode>{{2, 0.5}, {3, 1.5}, {1, 0.0}})) << type;
    EXPECT_EQ(RestOf(f), "next");
    EXPECT_EQ(services.warnings, std::vector<std::string>{"1 values after the end of row 1 ignored (decimal commas?)"});
  }
}

// Levels worked out by hand from the notation: without lengths the depth,
// turned round; with lengths the height of the join.
TEST(TreeRead, ParenthesisNotation) {
  struct Case {
    const char* text;
    std::vector<TreeNode> nodes;
  };
  for (const Case& c : {
           Case{"((1,2),3);", {{1, 1.0}, {2, 2.0}, {3, -1.0}}},
           Case{" \r\n ( ( 1 , 2 ) , 3 ) ; dropped", {{1, 1.0}, {2, 2.0}, {3, -1.0}}},
           Case{"\t\r\n\t(\t(1\t,2),3);", {{1, 1.0}, {2, 2.0}, {3, -1.0}}},
           Case{"((1:1,2:1):1,3:2);", {{1, 1.0}, {2, 2.0}, {3, -1.0}}},
           Case{"((1:1,2:1):2,(3:2,4:2):1);", {{1, 1.0}, {2, 3.0}, {3, 2.0}, {4, -1.0}}},
           Case{"((3,(1,4)),2)", {{3, 2.0}, {1, 1.0}, {4, 3.0}, {2, -1.0}}},
           // A group lower than a member is lifted just above it.
           Case{"((1:4,2:4):0,3:1);", {{1, 4.0}, {2, 4.0001}, {3, -1.0}}},
       }) {
    Tree_mx t(5, static_cast<std::int32_t>(c.nodes.size()));
    auto f = Text(c.text);
    ASSERT_TRUE(Read(t, f)) << c.text;
    EXPECT_EQ(NodesOf(t), c.nodes) << c.text;
  }
}

TEST(TreeRead, NotationEndsTheLineAndLeavesTheNext) {
  Tree_mx t(5, 2);
  auto f = Text("(1,2); rest\r\nnext\r\n");
  Read(t, f);
  EXPECT_EQ(RestOf(f), "next");
}

TEST(TreeWrite, LastNodeInFourCharacters) {
  Tree_mx t(5, 3);
  t.PutNode(2, 1, 0.5);
  t.PutNode(3, 2, 1.25);
  t.PutNode(1, 3, 0);
  EXPECT_EQ(Written([&](rtl::TextWriter& f) { Write(t, f, "8.4f"); }), "  2   0.5000\r\n  3   1.2500\r\n   1 0.0\r\n");
}

// ---- Graphs ----

TEST(GraphRead, NegativePointersAreKeptAndFlagged) {
  testsupport::RecordedServices services;
  Graph_mx g(mtGraphDissimilarity, 5, 2);
  auto f = Text("1 2 0.5 rest\r\n\r\n-3\r\n5 0.25\r\n");
  Read(g, f);
  EXPECT_TRUE(g.NegativePointers);
  const TGraphEdge e = g.GetEdge(2);
  EXPECT_EQ(e.i, -3);
  EXPECT_EQ(e.j, 5);
  EXPECT_EQ(e.value, 0.25);

  Graph_mx plain(mtGraphSimilarity, 5, 1);
  auto p = Text("1 2 0.5\r\n");
  Read(plain, p);
  EXPECT_FALSE(plain.NegativePointers);
}

TEST(GraphWrite, ThreeColumns) {
  Graph_mx g(mtGraphDissimilarity, 5, 2);
  g.PutEdge(1, 1, -2, 0.5);
  g.PutEdge(2, 12, 3, 1.0);
  EXPECT_EQ(Written([&](rtl::TextWriter& f) { Write(g, f, "6.2f"); }), "  1  -2   0.50\r\n 12   3   1.00\r\n");
}

// ---- Write failures ----

// /dev/full takes no byte: the failure surfaces at a write or at the close.
TEST(WriteFailure, RaisesTheDiskFullTextAndNeverPassesForSuccess) {
  const std::string message = std::string(kMatrixWriteError) + " (No space left on device)";
  Rect_mx big(200, 200);
  {
    rtl::TextWriter f("/dev/full");
    EXPECT_EQ(ErrorOf([&] { Write(big, f, true, "e"); }), message);
  }
  {
    TOutputMatrixFile f = std::make_unique<rtl::TextWriter>("/dev/full");
    WriteMatrixHeader(*f, 1, 1, 1, 0, 0, "e", 0, 0);  // still in the buffer
    EXPECT_EQ(ErrorOf([&] { CloseOutputMatrixFile(f); }), message);
    EXPECT_FALSE(f);
  }
  const std::vector<std::function<void(rtl::TextWriter&)>> writers = {
      [](rtl::TextWriter& f) { Write(Sym_mx(2, 200), f, "e"); },
      [](rtl::TextWriter& f) { Write(vect_mx(2000), f, "e"); },
      [](rtl::TextWriter& f) { Write(ivect_mx(2000), f); },
      [](rtl::TextWriter& f) { WriteLowerTriangle(Rect_mx(200, 200), f, false, "e"); },
      [](rtl::TextWriter& f) {
        Tree_mx t(5, 2000);
        for (int k = 1; k <= 2000; ++k) t.PutNode(k, k, 0);
        Write(t, f, "e");
      },
      [](rtl::TextWriter& f) { Write(Graph_mx(7, 2, 2000), f, "e"); },
      [](rtl::TextWriter& f) {
        Label_mx labels(2000);
        labels.SetDefaultLabels("label");
        WriteLabels(labels, f);
      },
      [](rtl::TextWriter& f) {
        rtl::StringList comments;
        for (int k = 0; k < 2000; ++k) comments.Add("a comment line");
        WriteMatrixComments(f, &comments);
      },
  };
  for (const auto& write : writers) {
    rtl::TextWriter f("/dev/full");
    EXPECT_EQ(ErrorOf([&] { write(f); }), message);
  }
}

// ---- Files as other systems write them: tabs and a UTF-8 byte-order mark ----

struct TLabelledRect {
  std::vector<std::string> comments;
  TMatrixHeader header;
  std::vector<std::string> rowLabels;
  std::vector<std::string> colLabels;
  std::vector<std::vector<double>> rows;
};

// Reads a rectangular matrix with its comments and label blocks from a file,
// the way the modules read their input.
TLabelledRect ReadLabelledRect(const std::string& fileName) {
  rtl::TextReader f(fileName);
  std::unique_ptr<rtl::StringList> comments;
  TLabelledRect r;
  ReadMatrixHeader(f, comments, r.header, false, {mtRectangular});
  if (comments) r.comments.assign(comments->begin(), comments->end());
  Rect_mx m(r.header.rows, r.header.cols);
  Label_mx rows(r.header.rows), cols(r.header.cols);
  Read(m, f, true, {&rows, r.header.rowLabelCode, true}, {&cols, r.header.colLabelCode, true});
  r.rowLabels = LabelsOf(rows);
  r.colLabels = LabelsOf(cols);
  r.rows = RowsOf(m);
  return r;
}

TEST(ForeignText, TabsSeparateAndAByteOrderMarkIsPassedOver) {
  const std::string bom = "\xEF\xBB\xBF";
  const std::string body = "a b\r\nx y z\r\n1 2 3\r\n4 5 6\r\n";
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> comments;
    std::vector<std::string> rowLabels = {"a", "b"};
  };
  const Case cases[] = {
      {"tab-separated", "1\t2L\t3L\t0\r\na\tb\r\nx\ty\tz\r\n1\t2\t3\r\n4\t5\t6\r\n", {}},
      {"tabs mixed with blanks and commas",
       "\t1 \t2L\t 3L 0\t\r\n\ta  b\r\nx,\ty z\r\n 1\t\t2 ,3\t\r\n4 \t5\t6\r\n",
       {}},
      {"mark before the header", bom + "1 2L 3L 0\r\n" + body, {}},
      {"mark before a comment", bom + "\"tabbed\tcomment\r\n1 2L 3L 0\r\n" + body, {"tabbed\tcomment"}},
      {"mark inside the file stays text",
       "1 2L 3L 0\r\n" + bom + "a b\r\nx y z\r\n1 2 3\r\n4 5 6\r\n",
       {},
       {bom + "a", "b"}},
  };
  const std::string file = (filetest::ScratchDir() / "foreign.qmx").string();
  for (const Case& c : cases) {
    std::ofstream(file, std::ios::binary) << c.bytes;
    const TLabelledRect r = ReadLabelledRect(file);
    EXPECT_EQ(r.comments, c.comments) << c.name;
    EXPECT_EQ(r.header.type, mtRectangular) << c.name;
    EXPECT_EQ(r.header.rowLabelCode, lcBlock) << c.name;
    EXPECT_EQ(r.header.colLabelCode, lcBlock) << c.name;
    EXPECT_EQ(r.rowLabels, c.rowLabels) << c.name;
    EXPECT_EQ(r.colLabels, (std::vector<std::string>{"x", "y", "z"})) << c.name;
    EXPECT_EQ(r.rows, (std::vector<std::vector<double>>{{1, 2, 3}, {4, 5, 6}})) << c.name;
  }

  std::ofstream(file, std::ios::binary) << bom;
  EXPECT_EQ(ErrorOf([&] { ReadLabelledRect(file); }), "Problem in reading input matrix header.")
      << "a file holding only the mark is empty";
}

}  // namespace
