// The spreadsheet import over the link, against a fake server holding the
// sheet: the layout read into a matrix, values in blocks of whole rows, the
// link's own refusals, and the close, quit and disconnect on every path.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "FakeSheetServer.h"
#include "dataeditor/LinkSheetReader.h"
#include "matrix/Constu.h"
#include "platform/record/ManualClock.h"

namespace dataeditor_test {
namespace {

// A fake server holding a workbook's sheet, and a link to it.
struct Session {
  FakeSheetServer server;
  TAdvExcel link{server};

  Session() { server.selection = "[DATA.XLS]Sheet1!R1C1"; }

  // Row 1 of the layout: type, rows, columns and missing value as the cells hold them.
  void ParameterLine(XlCell type, XlCell rows, XlCell cols, XlCell missing = {}) {
    server.sheet[{1, 1}] = type;
    server.sheet[{1, 2}] = rows;
    server.sheet[{1, 3}] = cols;
    server.sheet[{1, 4}] = missing;
  }

  // A rows x cols matrix whose value (i, j) is i * 1000 + j, labelled "c<j>" and "r<i>".
  void Numbered(int rows, int cols) {
    ParameterLine(double(1), double(rows), double(cols));
    for (int j = 1; j <= cols; ++j) server.sheet[{2, j + 1}] = "c" + std::to_string(j);
    for (int i = 1; i <= rows; ++i) {
      server.sheet[{i + 2, 1}] = "r" + std::to_string(i);
      for (int j = 1; j <= cols; ++j) server.sheet[{i + 2, j + 1}] = double(i * 1000 + j);
    }
  }

  std::unique_ptr<TMatrixStr> Import() { return ImportSheetOverLink(link, "C:\\data\\data.xls"); }

  std::string ImportError() {
    try {
      Import();
    } catch (const rtl::Exception& e) {
      return e.Message();
    }
    return "no error";
  }

  // The import's last steps ran: workbook closed, program asked to quit, conversation ended.
  void ExpectFinished(const std::string& name = {}) const {
    ASSERT_GE(server.log.size(), 3u) << name;
    const std::vector<std::string> tail(server.log.end() - 3, server.log.end());
    EXPECT_EQ(tail,
              (std::vector<std::string>{"execute [UNHIDE(\"DATA.XLS\")]", "execute [CLOSE(FALSE)]", "execute [QUIT]"}))
        << name;
    EXPECT_FALSE(link.Connected()) << name;
    EXPECT_FALSE(server.open) << name;
    EXPECT_EQ(link.Workbook(), "") << name;
  }
};

class LinkImport : public ::testing::Test {
 protected:
  plat::ManualClock clock_;
  plat::ScopedManualClock useClock_{clock_};
  Session s_;
};

TEST_F(LinkImport, ReadsTheLayoutIntoARectangularMatrix) {
  s_.ParameterLine(1.0, 3.0, 2.0, std::string("-99"));
  s_.server.sheet[{2, 2}] = std::string("length");  // column 2's label is left empty
  s_.server.sheet[{4, 1}] = std::string("fish");    // rows 1 and 3 keep their default labels
  const std::vector<std::vector<XlCell>> values = {{0.1, XlIntCell{-7}}, {true, XlCell{}}, {1e20, std::string("-99")}};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 2; ++j) s_.server.sheet[{i + 3, j + 2}] = values[i][j];
  }
  auto m = s_.Import();
  EXPECT_EQ(m->MatType, 1);
  EXPECT_EQ(m->Rows, 3);
  EXPECT_EQ(m->Cols, 2);
  EXPECT_EQ(m->MissingCode, 1);
  EXPECT_EQ(m->MissingText, "-99");
  const std::vector<std::vector<std::string>> expected = {
      {"", "length", "C2"}, {"R1", "0.1", "-7"}, {"fish", "1", ""}, {"R3", "1E20", "-99"}};
  for (int i = 0; i <= 3; ++i) {
    for (int j = 0; j <= 2; ++j) EXPECT_EQ(m->GetCell(i, j), expected[i][j]) << i << "," << j;
  }
  s_.ExpectFinished();
}

TEST_F(LinkImport, EmptyTypeAndMissingCellsGiveARectangularMatrixWithoutMissingCode) {
  s_.ParameterLine(XlCell{}, 3.0, 2.0);
  auto m = s_.Import();
  EXPECT_EQ(m->MatType, 1);
  EXPECT_EQ(m->MissingCode, 0);
  EXPECT_EQ(m->GetCell(0, 2), "C2");
  EXPECT_EQ(m->GetCell(3, 0), "R3");
}

TEST_F(LinkImport, ReadsValuesInBlocksOfWholeRows) {
  s_.Numbered(80, 200);
  auto m = s_.Import();
  // 7000 div 200 = 35 rows a block.
  EXPECT_EQ(s_.server.rangeRequests,
            (std::vector<std::string>{"R2C2:R2C201", "R3C1:R82C1", "R3C2:R37C201", "R38C2:R72C201", "R73C2:R82C201"}));
  for (auto [i, j] : std::vector<std::pair<int, int>>{{1, 1}, {35, 200}, {36, 1}, {80, 200}}) {
    EXPECT_EQ(m->GetCell(i, j), std::to_string(i * 1000 + j)) << i << "," << j;
  }
  EXPECT_EQ(m->GetCell(0, 200), "c200");
  EXPECT_EQ(m->GetCell(80, 0), "r80");
}

TEST_F(LinkImport, MoreThan7000ColumnsReadOneRowABlock) {
  s_.Numbered(2, 7001);
  auto m = s_.Import();
  EXPECT_EQ(s_.server.rangeRequests.back(), "R4C2:R4C7002");
  EXPECT_EQ(m->GetCell(2, 7001), std::to_string(2 * 1000 + 7001));
}

TEST_F(LinkImport, RefusesWhatTheLinkCannotImport) {
  struct Case {
    const char* name;
    std::function<void(Session&)> setUp;
    const char* error;
  };
  const std::vector<Case> cases = {
      {"type 2", [](Session& s) { s.ParameterLine(2.0, 3.0, 2.0); }, "Invalid matrix type: 2."},
      {"program busy after opening",
       [](Session& s) {
         s.Numbered(3, 2);
         s.server.readyAnswers = 1;
       },
       "Problem reading values from Excel."},
      {"error value",
       [](Session& s) {
         s.Numbered(3, 2);
         s.server.sheet[{4, 3}] = XlErrorCell{7};
       },
       "Invalid numeric value in Excel (row 2, col 2)."},
      {"number as a column label",
       [](Session& s) {
         s.Numbered(3, 2);
         s.server.sheet[{2, 3}] = 5.0;
       },
       "Bad data type demanded"},
      {"Boolean as a row label",
       [](Session& s) {
         s.Numbered(3, 2);
         s.server.sheet[{5, 1}] = false;
       },
       "Bad data type demanded"},
      {"non-integer missing value", [](Session& s) { s.ParameterLine(1.0, 3.0, 2.0, std::string("n/a")); },
       "Bad code given for missing values: n/a"},
      {"rows not a number", [](Session& s) { s.ParameterLine(1.0, std::string("x"), 2.0); },
       "Bad value for number of rows: x"},
      {"columns below 1", [](Session& s) { s.ParameterLine(1.0, 3.0, 0.0); }, "Number of columns (0) must be > 0"},
      {"malformed block",
       [](Session& s) {
         s.Numbered(3, 2);
         s.server.blocks["R3C2:R5C3"] = XlTableBuilder().Header(3, 2).Record(1, std::string(5, '\0')).Bytes();
       },
       "Bad data format in xlTable"},
      {"block of fewer columns",
       [](Session& s) {
         s.Numbered(3, 2);
         s.server.blocks["R3C2:R5C3"] = XlTableBuilder().Header(3, 1).Floats({1, 2, 3}).Bytes();
       },
       "Too few columns (1) returned by DDE (should be 2)"},
      {"block of fewer cells",
       [](Session& s) {
         s.Numbered(3, 2);
         s.server.blocks["R3C2:R5C3"] = XlTableBuilder().Header(3, 2).Floats({1, 2, 3}).Bytes();
       },
       "Trying to read too many values at a time from Excel (2 x 2)"},
  };
  for (const auto& c : cases) {
    Session s;
    c.setUp(s);
    EXPECT_EQ(s.ImportError(), c.error) << c.name;
    s.ExpectFinished(c.name);
  }
}

TEST_F(LinkImport, NoProgramAnsweringIsAProblemOpeningTheFile) {
  s_.server.running = false;
  EXPECT_EQ(s_.ImportError(), "Problem opening file in Excel.");
  // Ten tries to connect, each opening twice (before and after looking for the program).
  int opens = 0;
  for (const auto& entry : s_.server.log) opens += entry == "open System";
  EXPECT_EQ(opens, 20);
  EXPECT_FALSE(s_.link.Connected());
}

TEST_F(LinkImport, ProgramNotReadyIsAProblemOpeningTheFile) {
  s_.Numbered(3, 2);
  s_.server.busyPolls = -1;
  EXPECT_EQ(s_.ImportError(), "Problem opening file in Excel.");
  // No workbook was opened.
  for (const auto& entry : s_.server.log) EXPECT_EQ(entry.find("[OPEN("), std::string::npos) << entry;
}

}  // namespace
}  // namespace dataeditor_test
