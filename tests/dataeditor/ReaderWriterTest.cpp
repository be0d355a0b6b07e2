#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AnalysisReadBack.h"
#include "EditorTestSupport.h"
#include "dataeditor/EdReader.h"
#include "dataeditor/EdWriter.h"
#include "matrix/Constu.h"
#include "rtl/Exception.h"
#include "tests/support/EndlessInput.h"

namespace {

using namespace dataeditor_test;

std::vector<std::unique_ptr<TMatrixStr>> ReadText(const std::string& text) {
  auto f = rtl::TextReader::FromText(text);
  return ReadEditorMatrices(f);
}

std::string ReadError(const std::string& text) {
  try {
    ReadText(text);
  } catch (const std::exception& e) {
    return e.what();
  }
  return "(read without error)";
}

std::string WriteError(const TMatrixStr& m) {
  try {
    EditorFileLines({&m});
  } catch (const E_Morvapc& e) {
    return e.what();
  }
  return "(written without error)";
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\n";
  return text;
}

// --- Reader ------------------------------------------------------------------

struct HeaderCase {
  const char* name;
  const char* text;
  const char* error;
};

TEST(EditorReader, RefusesBadHeadersWithTheirMessages) {
  const HeaderCase cases[] = {
      {"empty file", "", "EOF reading matrix header."},
      {"comments only", "\"a\r\n;b\r\n", "Problem in reading input matrix header."},
      {"blank lines and no header", "\"a\r\n\r\n   \r\n", "EOF reading matrix header"},
      {"type not a number", "x 3 2 0\r\n", "Bad value for matrix type code: x"},
      {"type out of range", "9 3 2 0\r\n", "Bad value for matrix type code: 9"},
      {"type zero", "0 3 2 0\r\n", "Bad value for matrix type code: 0"},
      {"unknown row letter", "1 3X 2 0\r\n", "Bad value for number of rows: 3X"},
      {"negative rows", "1 -3 2 0\r\n", "Bad value for number of rows: -3"},
      {"negative columns", "1 3 -2 0\r\n", "Bad value for number of columns: -2"},
      {"columns not a number", "1 3 2Q 0\r\n", "'2Q' is not a valid integer value"},
      {"missing code not a number", "1 3 2 y\r\n", "Bad value for missing values code: y"},
      {"missing value not an integer", "1 3 2 1 -9.5\r\n", "Bad code given for missing values: -9.5"},
      {"missing value absent", "1 3 2 1\r\n", "Bad code given for missing values: "},
      {"symmetric with B", "2 3B 3 0\r\n", "B or E codes for label positions are not permitted in symmetric matrices."},
      {"symmetric not square", "3 3 4 0\r\n", "Number of rows and columns\n must be equal"},
      {"diagonal not square", "4 3 2 0\r\n", "Number of rows and columns\n must be equal"},
      {"tree with 3 columns", "5 3 3 0\r\n", "Number of columns\nmust equal 2"},
      {"too large", "2 100000 100000 0\r\n", "Matrix too large (100000 x 100000)."},
      {"body ends early", "1 2 2 0\r\n1 2\r\n", "EOF trying to read line"},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadError(c.text), c.error) << c.name;
}

// Lines, words and comment lines beyond the analysis program's limits, and
// inputs without end: refused at the limit, never read on and on.
TEST(EditorReader, TakesTheLimitsOfTheAnalysisReader) {
  const ScratchFolder folder;
  const testsupport::EndlessPipe comments(folder.File("comments.fifo"), "\" a comment\n");
  const testsupport::EndlessPipe values(folder.File("values.fifo"), "1 2 ");
  const std::string longWord(300, '9');
  WriteBytes(folder.File("header.qmx"), "1 " + longWord + " 2 0\r\n");
  const std::string quoted = std::string(40, '9') + "...";
  struct Case {
    const char* name;
    std::string file;
    std::string error;
  };
  const Case cases[] = {
      {"a device without line ends", "/dev/zero",
       "Line too long for a matrix file (more than 16777216 characters) on line 1 of input file."},
      {"a pipe of values without line ends", values.Path().string(),
       "Line too long for a matrix file (more than 16777216 characters) on line 1 of input file."},
      {"endless comment lines from a pipe", comments.Path().string(),
       "Too many comment lines for a matrix file (more than 65536) on line 65537 of input file."},
      {"a header word longer than an item", folder.File("header.qmx"),
       "Word too long to be a matrix item (more than 255 characters): " + quoted + " on line 1 of input file."},
  };
  for (const Case& c : cases) {
    const auto outcome = testsupport::OutcomeWithin(60, [&] {
      rtl::TextReader f(c.file);
      ReadEditorMatrices(f);
      return std::string("(read without error)");
    });
    EXPECT_EQ(outcome, c.error) << c.name;
  }
}

// The body's words are kept as text whatever their length within the line
// limit: a stored file with long labels opens, its labels whole.
TEST(EditorReader, LongLabelsLoadWhole) {
  const std::string label(1000, 'L');
  const auto matrices = ReadText("1 2B 2 0\r\n" + label + " 1 2\r\nPan 3 5\r\n");
  ASSERT_EQ(matrices.size(), 1u);
  EXPECT_EQ(matrices[0]->GetCell(1, 0), label);
  EXPECT_EQ(matrices[0]->GetCell(2, 0), "Pan");
}

// A module that finds no dimension to keep writes matrices without columns or
// without rows. The editor loads them, and what it saves reads back through
// its own reader and the analysis program's.
TEST(EditorReader, EmptyMatricesLoadAndSaveBack) {
  const auto matrices = ReadText("1 4L 0  0\r\nA B C D \r\n\r\n\r\n\r\n\r\n4 0  0  0\r\n");
  ASSERT_EQ(matrices.size(), 2u);
  EXPECT_EQ(matrices[0]->Cols, 0);
  EXPECT_EQ(matrices[0]->GetCell(4, 0), "D");
  EXPECT_EQ(matrices[1]->Rows, 0);
  const std::string saved = Joined(EditorFileLines({matrices[0].get(), matrices[1].get()}));
  EXPECT_EQ(ReadText(saved).size(), 2u);
  auto f = rtl::TextReader::FromText(saved);
  ExpectAnalysisReads(f, *matrices[0], 1);
  ExpectAnalysisReads(f, *matrices[1], 2);
}

TEST(EditorReader, LabelsPlacedByTheRowLetter) {
  // Labels first in each row ("3b", lower case), no column labels.
  auto m = ReadText("1 3b 2 0\r\n A 1 2\r\n B 3 4\r\n C 5 6\r\n");
  ASSERT_EQ(m.size(), 1u);
  EXPECT_EQ(m[0]->GetCell(1, 0), "A");
  EXPECT_EQ(m[0]->GetCell(3, 0), "C");
  EXPECT_EQ(m[0]->GetCell(0, 1), "C1");
  EXPECT_EQ(m[0]->GetCell(0, 2), "C2");
  EXPECT_EQ(m[0]->GetCell(3, 2), "6");

  // Labels last; defaults "R" + k without any.
  auto last = ReadText("1 2E 2 0\r\n1 2 A\r\n3 4 B\r\n1 2 2 0\r\n7 8\r\n9 10\r\n");
  ASSERT_EQ(last.size(), 2u);
  EXPECT_EQ(last[0]->GetCell(2, 0), "B");
  EXPECT_EQ(last[0]->GetCell(2, 1), "3");
  EXPECT_EQ(last[1]->GetCell(2, 0), "R2");
}

TEST(EditorReader, SymmetricColumnLetterMovesToTheRows) {
  auto m = ReadText("2 3 3L 0\r\n A B C\r\n 0\r\n 1 0\r\n 2 3 0\r\n");
  ASSERT_EQ(m.size(), 1u);
  EXPECT_EQ(m[0]->GetCell(2, 0), "B");
  // The label is also the column heading, and (r, c) above the diagonal is its mirror.
  EXPECT_EQ(m[0]->GetCell(0, 2), "B");
  EXPECT_EQ(m[0]->GetCell(1, 3), "2");
  EXPECT_EQ(ReadText("2 2 2 0\r\n0\r\n1 0\r\n")[0]->GetCell(2, 0), "RC2");
}

TEST(EditorReader, RowsTakeTheirWordsFromAsManyLinesAsNeeded) {
  // Extra words on a row's line are dropped; a row split over two lines reads on.
  auto m = ReadText("1 2 3 0\r\n1 2 3 99 99\r\n4,5\r\n6\r\n");
  ASSERT_EQ(m.size(), 1u);
  EXPECT_EQ(m[0]->GetCell(1, 3), "3");
  EXPECT_EQ(m[0]->GetCell(2, 1), "4");
  EXPECT_EQ(m[0]->GetCell(2, 3), "6");
  // A tab ends a word as a blank does.
  EXPECT_EQ(ReadText("1 1 1 0\r\na\tb\r\n")[0]->GetCell(1, 1), "a");
}

TEST(EditorReader, EachMatrixKeepsItsOwnComments) {
  auto m = ReadText("\"first\r\n'second\r\n1 1 1 0\r\n5\r\n;third\r\n\r\n`fourth\r\n4 1 1 0\r\n7\r\n");
  ASSERT_EQ(m.size(), 2u);
  ASSERT_TRUE(m[0]->Comments);
  EXPECT_EQ(m[0]->Comments->Text(), "first\r\nsecond\r\n");
  ASSERT_TRUE(m[1]->Comments);
  EXPECT_EQ(m[1]->Comments->Text(), "third\r\nfourth\r\n");
  EXPECT_EQ(m[1]->GetCell(0, 1), "Diag");
}

TEST(EditorReader, MissingValueKeptAsItsText) {
  auto m = ReadText("1 1 1 2 -999\r\n-999\r\n");
  EXPECT_EQ(m[0]->MissingCode, 2);
  EXPECT_EQ(m[0]->MissingText, "-999");
  EXPECT_EQ(ReadText("1 1 1 0 77\r\n5\r\n")[0]->MissingText, "");
}

// Every cell, row by row, the label row and column included.
std::vector<std::vector<std::string>> CellsOf(const TMatrixStr& m) {
  std::vector<std::vector<std::string>> cells;
  for (int r = 0; r <= m.Rows; ++r) {
    cells.emplace_back();
    for (int c = 0; c <= m.Cols; ++c) cells.back().emplace_back(m.GetCell(r, c));
  }
  return cells;
}

TEST(EditorReader, TabsSeparateAndAByteOrderMarkIsPassedOver) {
  const std::string bom = "\xEF\xBB\xBF";
  const std::string body = "a b\r\nx y z\r\n1 2 3\r\n4 5 6\r\n";
  const std::vector<std::vector<std::string>> labelled = {
      {"", "x", "y", "z"}, {"a", "1", "2", "3"}, {"b", "4", "5", "6"}};
  struct Case {
    const char* name;
    std::string bytes;
    std::string comments;
  };
  const Case cases[] = {
      {"tab-separated", "1\t2L\t3L\t0\r\na\tb\r\nx\ty\tz\r\n1\t2\t3\r\n4\t5\t6\r\n", ""},
      {"tabs mixed with blanks and commas", "\t1 \t2L\t 3L 0\t\r\n\ta  b\r\nx,\ty z\r\n 1\t\t2 ,3\t\r\n4 \t5\t6\r\n",
       ""},
      {"mark before the header", bom + "1 2L 3L 0\r\n" + body, ""},
      {"mark before a comment", bom + "\"tabbed\tcomment\r\n1 2L 3L 0\r\n" + body, "tabbed\tcomment\r\n"},
  };
  ScratchFolder folder;
  const std::string file = folder.File("foreign.qmx");
  for (const Case& c : cases) {
    WriteBytes(file, c.bytes);
    rtl::TextReader f(file);
    const auto m = ReadEditorMatrices(f);
    ASSERT_EQ(m.size(), 1u) << c.name;
    EXPECT_EQ(m[0]->MatType, mtRectangular) << c.name;
    EXPECT_EQ(CellsOf(*m[0]), labelled) << c.name;
    EXPECT_EQ(m[0]->Comments ? m[0]->Comments->Text() : "", c.comments) << c.name;
  }

  WriteBytes(file, bom);
  rtl::TextReader onlyMark(file);
  try {
    ReadEditorMatrices(onlyMark);
    ADD_FAILURE() << "a file holding only the mark read without error";
  } catch (const E_Morvapc& e) {
    EXPECT_EQ(e.Message(), "EOF reading matrix header.") << "a file holding only the mark is empty";
  }
}

// --- Writer --------------------------------------------------------------------

TEST(EditorWriter, BlocksBreakOnceALinePassesEightyCharacters) {
  TMatrixStr m(1, 1, 30, 0, "", nullptr);
  for (int c = 1; c <= 30; ++c) {
    m.SetCell(0, c, "L" + std::string(3 - std::to_string(c).size(), '0') + std::to_string(c) + "x");
    m.SetCell(1, c, "1");
  }
  m.SetCell(1, 0, "Only");
  auto lines = EditorFileLines({&m});
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], "1 1L 30L 0 ");
  EXPECT_EQ(lines[1], " Only");
  // 30 labels of 5 characters: 14 items give 84 characters, then a new line begins.
  EXPECT_EQ(lines[2].size(), 84u);
  EXPECT_EQ(lines[3].size(), 84u);
  EXPECT_EQ(lines[4].size(), 12u);
  for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_EQ(lines[i][0], ' ') << i;
}

TEST(EditorWriter, EmptyLabelsGetTheReadersDefaults) {
  TMatrixStr rect(1, 2, 2, 0, "", nullptr);
  TMatrixStr sym(2, 2, 2, 0, "", nullptr);
  TMatrixStr graph(7, 2, 1, 0, "", nullptr);
  for (TMatrixStr* m : {&rect, &sym}) {
    m->SetCell(1, 1, "1");
    m->SetCell(2, 1, "2");
    m->SetCell(2, 2, "3");
  }
  rect.SetCell(1, 2, "4");
  graph.SetCell(1, 1, "1");
  graph.SetCell(1, 2, "2");
  graph.SetCell(1, 3, "0.5");
  EXPECT_EQ(Joined(EditorFileLines({&rect, &sym, &graph})),
            "1 2L 2L 0 \n R1 R2\n C1 C2\n 1 4\n 2 3\n"
            "2 2L 2L 0 \n RC1 RC2\n 1\n 2 3\n"
            "7 2L 1L 0 \n R1 R2\nOTU i OTU j Dist\n 1 2 0.5\n");
}

struct RefusalCase {
  const char* name;
  int type, rows, cols;
  int r, c;
  const char* text;
  const char* error;
};

TEST(EditorWriter, RefusesCellsThatWouldBeMisread) {
  const RefusalCase cases[] = {
      {"empty value", 1, 2, 2, 2, 1, "", "Empty cell in matrix 1 at (row 2, col 1)."},
      {"blank inside a value", 1, 2, 2, 1, 2, "1 2",
       "Cell in matrix 1 at (row 1, col 2) holds a blank or a comma: 1 2"},
      {"label with a blank", 1, 2, 2, 1, 0, "Big cat",
       "Cell in matrix 1 at (row 1, col 0) holds a blank or a comma: Big cat"},
      {"column label with a comma", 1, 2, 2, 0, 2, "a,b",
       "Cell in matrix 1 at (row 0, col 2) holds a blank or a comma: a,b"},
      {"tab in a value", 1, 2, 2, 2, 2, "1\t2", "Cell in matrix 1 at (row 2, col 2) holds a blank or a comma: 1\t2"},
      {"empty tree column label", 5, 2, 2, 0, 2, "", "Empty cell in matrix 1 at (row 0, col 2)."},
      {"empty diagonal value", 4, 2, 2, 2, 1, "", "Empty cell in matrix 1 at (row 2, col 1)."},
      {"empty graph end", 7, 2, 1, 1, 2, "", "Empty cell in matrix 1 at (row 1, col 2)."},
  };
  for (const auto& k : cases) {
    TMatrixStr m(k.type, k.rows, k.cols, 0, "", nullptr);
    for (int r = 0; r <= std::max(k.rows, k.cols); ++r)
      for (int c = 0; c <= 3; ++c) m.SetCell(r, c, "1");
    m.SetCell(k.r, k.c, k.text);
    EXPECT_EQ(WriteError(m), k.error) << k.name;
  }
}

TEST(EditorWriter, RefusesHeadersThatDoNotFitTheirType) {
  struct Case {
    const char* name;
    int type, rows, cols, code;
    const char* missing;
    const char* error;
  };
  const Case cases[] = {
      {"type 0", 0, 2, 2, 0, "", "Matrix 1: Bad value for matrix type code: 0"},
      {"diagonal not square", 4, 3, 2, 0, "", "Matrix 1: Number of rows and columns\n must be equal"},
      {"symmetric not square", 2, 3, 2, 0, "", "Matrix 1: Number of rows and columns\n must be equal"},
      {"tree of three columns", 5, 3, 3, 0, "", "Matrix 1: Number of columns\nmust equal 2"},
      {"missing value not an integer", 1, 1, 1, 1, "-9.5", "Matrix 1: Bad code given for missing values: -9.5"},
      {"missing value absent", 1, 1, 1, 1, "", "Matrix 1: Bad code given for missing values: "},
  };
  for (const auto& k : cases) {
    TMatrixStr m(1, 1, 1, 0, "", nullptr);
    m.MatType = k.type;
    m.Rows = k.rows;
    m.Cols = k.cols;
    m.MissingCode = k.code;
    m.MissingText = k.missing;
    EXPECT_EQ(WriteError(m), k.error) << k.name;
  }
}

TEST(EditorWriter, ReplacesTheFileOnlyAfterACompleteWrite) {
  ScratchFolder folder;
  const std::string target = folder.File("data.qmx");
  WriteBytes(target, "old");
  ReplaceFileWithLines(target, {"1 1L 1L 0 ", " A"});
  EXPECT_EQ(ReadBytes(target), "1 1L 1L 0 \r\n A\r\n");
  EXPECT_EQ(folder.Files(), std::vector<std::string>{"data.qmx"});

  // A target that cannot be replaced (a folder) stays as it was, and no new file is left behind.
  const std::string blocked = folder.File("blocked.qmx");
  fs::create_directories(fs::path(blocked) / "inside");
  EXPECT_THROW(ReplaceFileWithLines(blocked, {"x"}), rtl::EInOutError);
  EXPECT_TRUE(fs::is_directory(fs::path(blocked) / "inside"));
  EXPECT_EQ(folder.Files(), (std::vector<std::string>{"blocked.qmx", "data.qmx"}));

  // A folder that does not exist: nothing is written.
  EXPECT_THROW(ReplaceFileWithLines(folder.File("none/data.qmx"), {"x"}), rtl::EInOutError);
}

TEST(EditorMatrix, CellsFollowTheIndexRuleOfTheirType) {
  // The symmetric store: labels and lower triangle, n + n(n+1)/2 + 1 texts.
  TMatrixStr sym(3, 4, 4, 0, "", nullptr);
  EXPECT_EQ(sym.CellCount(), 4 + 10 + 1);
  sym.SetCell(0, 3, "L3");
  EXPECT_EQ(sym.GetCell(3, 0), "L3");
  sym.SetCell(1, 4, "x");
  EXPECT_EQ(sym.GetCell(4, 1), "x");
  // Outside the store: read empty, written nowhere.
  TMatrixStr rect(1, 2, 2, 0, "", nullptr);
  rect.SetCell(1, 3, "beyond");
  EXPECT_EQ(rect.GetCell(2, 0), "");
  EXPECT_EQ(rect.GetCell(1, 3), "");
  TMatrixStr graph(8, 2, 5, 0, "", nullptr);
  EXPECT_EQ(graph.CellCount(), 4 * 6);
  graph.SetCell(5, 3, "e5");
  EXPECT_EQ(graph.GetCell(5, 3), "e5");
}

}  // namespace
