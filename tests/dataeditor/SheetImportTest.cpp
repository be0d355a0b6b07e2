// The spreadsheet import: the sheet layout read through the sheet-reader
// interface under the rules of both ways in, and the workbook files of the
// three formats read directly.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "EditorTestSupport.h"
#include "dataeditor/SheetImport.h"
#include "dataeditor/WorkbookSheet.h"
#include "matrix/Constu.h"

namespace {

using namespace dataeditor_test;
using Cell = TSheetCell;

using Table = std::vector<std::vector<Cell>>;
using Texts = std::vector<std::vector<std::string>>;

Cell N(double v) { return Cell::OfNumber(v); }
Cell T(const std::string& v) { return Cell::OfText(v); }
const Cell E = Cell::Empty();

// A sheet holding `rows` from its top-left corner.
void Fill(TLoadedSheet& sheet, const Table& rows) {
  for (std::size_t r = 0; r < rows.size(); ++r)
    for (std::size_t c = 0; c < rows[r].size(); ++c)
      sheet.Set(static_cast<int>(r) + 1, static_cast<int>(c) + 1, rows[r][c]);
}

// The labels and values of a matrix, row 0 the column labels and column 0 the row labels.
Texts TextsOf(const TMatrixStr& m) {
  Texts texts;
  for (int r = 0; r <= m.Rows; ++r) {
    texts.emplace_back();
    for (int c = 0; c <= m.Cols; ++c) texts.back().emplace_back(r == 0 && c == 0 ? "" : m.GetCell(r, c));
  }
  return texts;
}

std::string ImportError(TSheetReader& sheet, const TSheetImportRules& rules) {
  try {
    ImportSheet(sheet, rules);
  } catch (const E_Morvapc& e) {
    return e.what();
  }
  return "(imported)";
}

const Table kLabelledSheet = {{N(1), N(3), N(2), N(-999)},
                              {E, T("Length"), T("Width")},
                              {T("A"), N(1.5), N(-999)},
                              {N(102), N(0.1), N(2)},
                              {T("C"), N(1e20), N(-2.5e-10)}};
const Texts kLabelledTexts = {{"", "Length", "Width"}, {"A", "1.5", "-999"}, {"102", "0.1", "2"}, {"C", "1E20", "-2.5E-10"}};
const Texts kDefaultLabelTexts = {{"", "C1", "C2"}, {"R1", "4", "5"}, {"R2", "6", "7"}, {"R3", "8", "9"}};

// --- The workbook files ------------------------------------------------------------

TEST(WorkbookImport, ReadsEachFixtureInEachFormat) {
  struct Case {
    std::string name;
    Texts texts;  // empty when the import is refused
    int missingCode;
    std::string missingText;
    std::string error;
  };
  const std::vector<Case> cases = {
      {"labelled", kLabelledTexts, 1, "-999", ""},
      {"empty-labels", kDefaultLabelTexts, 0, "", ""},
      {"bad-missing", {}, 0, "", "Bad code given for missing values: -9.5"},
      {"type2", {}, 0, "", "Invalid matrix type: 2."},
  };
  for (const char* format : {".xls", ".xlsx", ".ods"}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(c.name + format);
      auto sheet = OpenWorkbookSheet(FixturePath("workbooks/" + c.name + format));
      if (!c.error.empty()) {
        EXPECT_EQ(ImportError(*sheet, kWorkbookImportRules), c.error);
        continue;
      }
      auto m = ImportSheet(*sheet, kWorkbookImportRules);
      EXPECT_EQ(m->MatType, 1);
      EXPECT_EQ(m->Rows, 3);
      EXPECT_EQ(m->Cols, 2);
      EXPECT_EQ(m->MissingCode, c.missingCode);
      EXPECT_EQ(m->MissingText, c.missingText);
      EXPECT_EQ(TextsOf(*m), c.texts);
    }
  }
}

TEST(WorkbookImport, AFileThatIsNoReadableWorkbookIsNamedInTheError) {
  ScratchFolder folder;
  std::vector<std::string> files;
  // Each format cut short, as a copy broken off in the middle would be.
  for (const char* format : {".xls", ".xlsx", ".ods"}) {
    const std::string whole = ReadBytes(FixturePath(std::string("workbooks/labelled") + format));
    files.push_back(folder.File(std::string("cut") + format));
    WriteBytes(files.back(), whole.substr(0, whole.size() / 2));
  }
  files.push_back(FixturePath("workbooks/inline-strings.xlsx"));
  files.push_back(folder.File("text.xls"));
  WriteBytes(files.back(), "1 3 2\r\nnot a workbook\r\n");
  files.push_back(folder.File("empty.xlsx"));
  WriteBytes(files.back(), "");
  files.push_back(folder.File("absent.ods"));
  for (const auto& file : files) {
    SCOPED_TRACE(file);
    try {
      auto sheet = OpenWorkbookSheet(file);
      FAIL() << "read";
    } catch (const E_Morvapc& e) {
      EXPECT_EQ(std::string(e.what()), "Problem reading workbook file (" + file + ").");
    }
  }
}

// --- The layout under the rules of each way in -------------------------------------

TEST(SheetImport, ChecksTheParameterLine) {
  struct Case {
    std::vector<Cell> row1;
    std::string linkResult;      // "(imported)" or the error
    std::string workbookResult;
  };
  const std::string ok = "(imported)";
  const std::vector<Case> cases = {
      {{N(1), N(1), N(1)}, ok, ok},
      {{T("1"), T(" 1 "), T("1")}, ok, ok},
      // An empty type cell is a rectangular matrix over the link only.
      {{E, N(1), N(1)}, ok, "Problem getting parameter line\nfrom row 1, columns 1 to 4"},
      {{N(2), N(1), N(1)}, "Invalid matrix type: 2.", "Invalid matrix type: 2."},
      {{T("rect"), N(1), N(1)}, "Invalid matrix type: rect.", "Invalid matrix type: rect."},
      {{N(1), T("three"), N(1)}, "Bad value for number of rows: three", "Bad value for number of rows: three"},
      {{N(1), N(2.5), N(1)}, "Bad value for number of rows: 2.5", "Bad value for number of rows: 2.5"},
      {{N(1), E, N(1)}, "Bad value for number of rows: ", "Bad value for number of rows: "},
      {{N(1), N(0), N(1)}, "Number of rows (0) must be > 0", "Number of rows (0) must be > 0"},
      {{N(1), N(1), N(-4)}, "Number of columns (-4) must be > 0", "Number of columns (-4) must be > 0"},
      {{N(1), N(1), T("x")}, "Bad value for number of columns: x", "Bad value for number of columns: x"},
      {{N(1), N(100000), N(100000)}, "Matrix too large (100000 x 100000).", "Matrix too large (100000 x 100000)."},
      {{N(1), N(1e12), N(1)}, "Bad value for number of rows: 1000000000000",
       "Bad value for number of rows: 1000000000000"},
      // The missing value must be an integer.
      {{N(1), N(1), N(1), N(-9.5)}, "Bad code given for missing values: -9.5",
       "Bad code given for missing values: -9.5"},
      {{N(1), N(1), N(1), T("NA")}, "Bad code given for missing values: NA", "Bad code given for missing values: NA"},
  };
  for (const auto& c : cases) {
    TLoadedSheet sheet;
    Fill(sheet, {c.row1, {E, T("a")}, {T("b"), N(1)}});
    SCOPED_TRACE(::testing::PrintToString(c.linkResult));
    EXPECT_EQ(ImportError(sheet, kLinkImportRules), c.linkResult);
    EXPECT_EQ(ImportError(sheet, kWorkbookImportRules), c.workbookResult);
  }
}

TEST(SheetImport, TurnsCellsIntoTextsByTheRulesOfEachWayIn) {
  struct Case {
    Cell label;  // put in the first column label's cell
    Cell value;  // put in the first value's cell
    std::string linkLabel, linkValue;  // a text, or the error of the import
    std::string workbookLabel, workbookValue;
  };
  const std::string badType = "Bad data type demanded";
  const std::string badValue = "Invalid numeric value in Excel (row 1, col 1).";
  const std::vector<Case> cases = {
      {T("Length"), N(0.1), "Length", "0.1", "Length", "0.1"},
      {E, N(1.0 / 3.0), "C1", "0.333333333333333", "C1", "0.333333333333333"},
      {T("x"), N(-7), "x", "-7", "x", "-7"},
      {T("x"), N(123456789012345678.0), "x", "1.23456789012346E17", "x", "1.23456789012346E17"},
      {T("x"), Cell::OfBoolean(true), "x", "1", "x", "1"},
      {T("x"), Cell::OfBoolean(false), "x", "0", "x", "0"},
      {T("x"), T("n/a"), "x", "n/a", "x", "n/a"},
      {T("x"), E, "x", "", "x", ""},
      // A label that is no text is refused over the link, and taken as its text directly.
      {N(102), N(1), badType, "", "102", "1"},
      {Cell::OfBoolean(true), N(1), badType, "", "1", "1"},
      {Cell::OfError("#N/A"), N(1), badType, "", "#N/A", "1"},
      // An error value is refused over the link with its place, and kept as shown directly.
      {T("x"), Cell::OfError("#DIV/0!"), "x", badValue, "x", "#DIV/0!"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.linkLabel + " / " + c.linkValue);
    TLoadedSheet sheet;
    Fill(sheet, {{N(1), N(1), N(1)}, {E, c.label}, {T("r"), c.value}});
    auto check = [&](const TSheetImportRules& rules, const std::string& label, const std::string& value) {
      try {
        auto m = ImportSheet(sheet, rules);
        EXPECT_EQ(m->GetCell(0, 1), label);
        EXPECT_EQ(m->GetCell(1, 1), value);
      } catch (const E_Morvapc& e) {
        EXPECT_EQ(e.what(), label == badType ? label : value);
      }
    };
    check(kLinkImportRules, c.linkLabel, c.linkValue);
    check(kWorkbookImportRules, c.workbookLabel, c.workbookValue);
  }
}

TEST(SheetImport, ReportsAnErrorValueAtItsMatrixRowAndColumn) {
  TLoadedSheet sheet;
  Fill(sheet, {{N(1), N(3), N(2)}, {}, {E, N(1), N(2)}, {E, N(3), Cell::OfError("#VALUE!")}, {E, N(5), N(6)}});
  EXPECT_EQ(ImportError(sheet, kLinkImportRules), "Invalid numeric value in Excel (row 2, col 2).");
}

// A sheet that records the blocks asked of it and may hand out blocks that are
// narrower or hold fewer cells than asked for.
class RecordingSheet : public TLoadedSheet {
 public:
  struct Asked {
    int top, left, rows, cols;
    bool operator==(const Asked&) const = default;
  };
  std::vector<Asked> asked;
  int givenCols = 0;            // 0: as asked
  long long cellsPerBlock = -1;  // -1: all

  std::unique_ptr<TSheetBlock> Block(int top, int left, int rows, int cols) override {
    asked.push_back({top, left, rows, cols});
    return std::make_unique<CutBlock>(TLoadedSheet::Block(top, left, rows, cols), givenCols ? givenCols : cols,
                                      cellsPerBlock);
  }

 private:
  class CutBlock : public TSheetBlock {
   public:
    CutBlock(std::unique_ptr<TSheetBlock> inner, int cols, long long cells)
        : inner_(std::move(inner)), cols_(cols), left_(cells) {}
    int Rows() const override { return inner_->Rows(); }
    int Cols() const override { return cols_; }
    bool Next(TSheetCell& cell) override {
      if (left_ == 0) return false;
      --left_;
      return inner_->Next(cell);
    }

   private:
    std::unique_ptr<TSheetBlock> inner_;
    int cols_;
    long long left_;
  };
};

TEST(SheetImport, ReadsTheValuesInBlocksOfWholeRows) {
  struct Case {
    int rows, cols;
    std::vector<int> blockRows;
  };
  const std::vector<Case> cases = {
      {100, 200, {35, 35, 30}},   // 7000 div 200 rows a block
      {70, 100, {70}},
      {3, 7000, {1, 1, 1}},
      {2, 7001, {1, 1}},          // wider than a block still reads a row at a time
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.rows) + " x " + std::to_string(c.cols));
    RecordingSheet sheet;
    Fill(sheet, {{N(1), N(c.rows), N(c.cols)}});
    sheet.Set(c.rows + 2, c.cols + 1, N(42));
    int rowsDone = 0;
    auto m = ImportSheet(sheet, kLinkImportRules, [&] { ++rowsDone; });
    EXPECT_EQ(m->GetCell(c.rows, c.cols), "42");
    EXPECT_EQ(rowsDone, c.rows);
    std::vector<RecordingSheet::Asked> expected = {{2, 2, 1, c.cols}, {3, 1, c.rows, 1}};
    int top = 3;
    for (int n : c.blockRows) {
      expected.push_back({top, 2, n, c.cols});
      top += n;
    }
    EXPECT_EQ(sheet.asked, expected);
  }
}

TEST(SheetImport, RefusesABlockThatIsNarrowerOrShorterThanAskedFor) {
  RecordingSheet narrow;
  Fill(narrow, {{N(1), N(2), N(3)}});
  narrow.givenCols = 2;
  EXPECT_EQ(ImportError(narrow, kLinkImportRules), "Too few columns (2) returned by DDE (should be 3)");

  RecordingSheet shortBlocks;
  Fill(shortBlocks, {{N(1), N(2), N(3)}});
  shortBlocks.cellsPerBlock = 2;
  // Column labels run short: refused over the link, the defaults directly, and
  // then the values run short.
  EXPECT_EQ(ImportError(shortBlocks, kLinkImportRules), "Bad data type demanded");
  EXPECT_EQ(ImportError(shortBlocks, kWorkbookImportRules),
            "Trying to read too many values at a time from Excel (1 x 3)");
}

TEST(SheetImport, ReadsOnlyTheFirstSheetOfAWorkbook) {
  // The fixtures hold a second sheet whose first cell is 99: read, it would be a wrong type.
  for (const char* format : {".xls", ".xlsx", ".ods"}) {
    auto sheet = OpenWorkbookSheet(FixturePath(std::string("workbooks/labelled") + format));
    EXPECT_EQ(sheet->Cell(1, 1).kind, TSheetCell::Kind::Number) << format;
    EXPECT_EQ(sheet->Cell(1, 1).number, 1) << format;
  }
}

}  // namespace
