// The spreadsheet link against a fake server: connecting and starting the
// program, commands in bursts and their retry, waiting for "Ready" with its
// time-out, topics, the letters of references and their parsing, and cell
// and block reads.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "FakeSheetServer.h"
#include "tests/matrix/core/ErrorText.h"
#include "dataeditor/SheetLink.h"
#include "platform/record/ManualClock.h"

namespace dataeditor_test {
namespace {

std::string ErrorOf(const std::function<void()>& action) { return ErrorText<ExcelError>(action); }

class SheetLink : public ::testing::Test {
 protected:
  plat::ManualClock clock_;
  plat::ScopedManualClock useClock_{clock_};
  FakeSheetServer server_;
  TAdvExcel link_{server_};

  // The log's entries from `from` on that start with `prefix`.
  std::vector<std::string> Logged(const std::string& prefix, std::size_t from = 0) const {
    std::vector<std::string> found;
    for (std::size_t k = from; k < server_.log.size(); ++k) {
      if (server_.log[k].rfind(prefix, 0) == 0) found.push_back(server_.log[k]);
    }
    return found;
  }
};

// --- References ------------------------------------------------------------------

TEST_F(SheetLink, ParsesReferencesOfTheSelection) {
  struct Case {
    const char* selection;
    const char* sheet;
    TCellPos topLeft, bottomRight;
  };
  const Case cases[] = {
      {"[Book1.xls]Sheet1!R3C2:R5C4", "[Book1.xls]Sheet1", {3, 2}, {5, 4}},
      {"'[My Book.xls]My Sheet'!R7C1", "[My Book.xls]My Sheet", {7, 1}, {7, 1}},
      {"Sheet1!C2R3:C4R5", "Sheet1", {3, 2}, {5, 4}},
      {"Sheet1!R3C2:C4R5", "Sheet1", {3, 2}, {5, 4}},
      {"Sheet1!R10C20;R1C1", "Sheet1", {10, 20}, {10, 20}},
      {"'[B.xls]a;b'!R2C3:R4C5;'[B.xls]a;b'!R9C9", "[B.xls]a;b", {2, 3}, {4, 5}},
      {"'[B.xls]x!y'!R1C2", "[B.xls]x!y", {1, 2}, {1, 2}},
  };
  link_.Connect();
  for (const auto& c : cases) {
    server_.selection = c.selection;
    TCellPos topLeft, bottomRight;
    std::string sheet;
    EXPECT_TRUE(link_.GetSelectionRange(topLeft, sheet, bottomRight)) << c.selection;
    EXPECT_EQ(sheet, c.sheet) << c.selection;
    EXPECT_EQ(topLeft, c.topLeft) << c.selection;
    EXPECT_EQ(bottomRight, c.bottomRight) << c.selection;
  }
  EXPECT_EQ(link_.RowLetter(), "R");
  EXPECT_EQ(link_.ColLetter(), "C");
}

TEST_F(SheetLink, RefusesMalformedReferences) {
  const char* const refs[] = {
      "S!R3X2", "S!X3C2",       "S!R3C2:", "S!R3C2-R5C4", "S!R3C2:R5",        "S!R3",
      "S!RC2",  "S!R3C2:R5C4Z", "S!R3R2",  "S!R0C1",      "S!R99999999999C1", "S!",
  };
  link_.Connect();
  for (const char* ref : refs) {
    TCellPos topLeft{9, 9}, bottomRight{9, 9};
    std::string sheet;
    EXPECT_EQ(ErrorOf([&] { link_.ParseCellRef(ref, topLeft, sheet, bottomRight); }), "Unexpected Excel cell format")
        << ref;
  }
  // Without a "!" nothing is parsed.
  TCellPos topLeft{9, 9}, bottomRight{9, 9};
  std::string sheet = "old";
  EXPECT_FALSE(link_.ParseCellRef("R1C1", topLeft, sheet, bottomRight));
  EXPECT_EQ(sheet, "");
  EXPECT_EQ(topLeft, (TCellPos{9, 9}));
}

TEST_F(SheetLink, LearnsTheLettersOfTheProgramsLanguage) {
  server_.selection = "[MAPPE1.XLS]Tabelle1!Z3S2";
  link_.Connect();
  TCellPos topLeft, bottomRight;
  std::string sheet;
  link_.ParseCellRef("Tabelle1!Z4S5:S6Z7", topLeft, sheet, bottomRight);
  EXPECT_EQ(link_.RowLetter(), "Z");
  EXPECT_EQ(link_.ColLetter(), "S");
  EXPECT_EQ(topLeft, (TCellPos{4, 5}));
  EXPECT_EQ(bottomRight, (TCellPos{7, 6}));
  // Once learned, the letters stay.
  server_.selection = std::nullopt;
  link_.ParseCellRef("T!Z1S1", topLeft, sheet, bottomRight);
  EXPECT_EQ(link_.RowLetter(), "Z");
}

TEST_F(SheetLink, LettersThatCannotBeLearned) {
  struct Case {
    std::optional<std::string> selection;
    const char* error;
  };
  const Case cases[] = {
      {std::nullopt, "*** Excel - No Reply ***"},
      {"R1C1", "Could not identify letters for row / column"},
      {"Sheet1!", "Could not identify letters for row / column"},
      {"Sheet1!R12", "Could not identify letters for row / column"},
  };
  for (const auto& c : cases) {
    FakeSheetServer server;
    TExcel link(server);
    server.open = true;
    server.topic = "System";
    server.selection = c.selection;
    TCellPos topLeft, bottomRight;
    std::string sheet;
    EXPECT_EQ(ErrorOf([&] { link.ParseCellRef("S!R1C1", topLeft, sheet, bottomRight); }), c.error)
        << c.selection.value_or("no reply");
  }
}

TEST_F(SheetLink, SelectionSheetIsTheTextBeforeTheLastBang) {
  link_.Connect();
  server_.selection = "'[B.xls]x!y'!R1C2";
  EXPECT_EQ(link_.GetSelectionSheet(), "'[B.xls]x!y'");
  server_.selection = std::nullopt;
  EXPECT_EQ(link_.GetSelection(), TCustomExcel::kNoReply);
  EXPECT_EQ(link_.GetSelectionSheet(), "");
}

// --- Connecting ---------------------------------------------------------------------

TEST_F(SheetLink, ConnectOpensOnSystemAndLearnsTheLetters) {
  int opened = 0;
  link_.OnOpen = [&] { ++opened; };
  server_.selection = "[B]S!Z1S1";
  link_.Connect();
  EXPECT_TRUE(link_.Connected());
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(server_.topic, "System");
  EXPECT_EQ(link_.RowLetter(), "Z");
  link_.Connect();  // connected already: nothing happens
  EXPECT_EQ(Logged("open ").size(), 1u);
  link_.Disconnect();
  EXPECT_FALSE(link_.Connected());
}

TEST_F(SheetLink, ConnectStartsTheProgramFoundForWorkbooks) {
  server_.running = false;
  server_.startable = true;
  server_.classValues = {{".xls", "Excel.Sheet.8"},
                         {"Excel.Sheet.8\\shell\\Open\\command", "\"C:\\Office\\Excel.exe\" /e"}};
  server_.files = {"C:\\OFFICE\\EXCEL.EXE"};
  link_.Connect();
  EXPECT_TRUE(link_.Connected());
  EXPECT_EQ(server_.program, "C:\\OFFICE\\EXCEL");
  EXPECT_EQ(Logged("open "), (std::vector<std::string>{"open System", "open System"}));
}

TEST_F(SheetLink, ConnectFailsWhenNoProgramAnswers) {
  server_.running = false;
  EXPECT_EQ(ErrorOf([&] { link_.Connect(); }), "Excel could not be launched");
  EXPECT_FALSE(link_.Connected());
}

TEST_F(SheetLink, FindsTheProgramThroughTheRegistry) {
  struct Case {
    const char* name;
    std::map<std::string, std::string> classes;
    std::set<std::string> files;
    const char* exeName;
  };
  const std::string key = "X.Sheet\\shell\\Open\\command";
  const Case cases[] = {
      {"quoted command with arguments",
       {{".xls", "X.Sheet"}, {key, "\"C:\\Prog Files\\Excel.EXE\" /e \"%1\""}},
       {"C:\\PROG FILES\\EXCEL.EXE"},
       "C:\\PROG FILES\\EXCEL"},
      {"plain command",
       {{".xls", "X.Sheet"}, {key, "c:\\office\\excel.exe /dde"}},
       {"C:\\OFFICE\\EXCEL.EXE"},
       "C:\\OFFICE\\EXCEL"},
      {"program file missing", {{".xls", "X.Sheet"}, {key, "c:\\office\\excel.exe"}}, {}, ""},
      {"no file class", {}, {}, "Excel"},
      {"empty file class", {{".xls", ""}}, {}, "Excel"},
      {"no open command", {{".xls", "X.Sheet"}}, {}, "Excel"},
  };
  for (const auto& c : cases) {
    FakeSheetServer server;
    server.running = false;
    server.classValues = c.classes;
    server.files = c.files;
    TExcel link(server);
    EXPECT_EQ(ErrorOf([&] { link.Connect(); }), "Excel could not be launched") << c.name;
    EXPECT_EQ(link.ExeName(), c.exeName) << c.name;
    EXPECT_EQ(server.program, c.exeName) << c.name;
  }
}

TEST_F(SheetLink, ExeNameDropsItsExtensionAndDisconnects) {
  link_.Connect();
  link_.SetExeName("C:\\A.B\\calc.exe");
  EXPECT_FALSE(link_.Connected());
  EXPECT_EQ(link_.ExeName(), "C:\\A.B\\calc");
  link_.SetExeName("C:\\A.B\\calc");
  EXPECT_EQ(link_.ExeName(), "C:\\A.B\\calc");
}

// --- Topics -----------------------------------------------------------------------------

TEST_F(SheetLink, ChangingTopicReopensQuietly) {
  int opened = 0, closed = 0;
  link_.Connect();
  link_.OnOpen = [&] { ++opened; };
  link_.OnClose = [&] { ++closed; };
  EXPECT_TRUE(link_.SelectTopic("[B]S"));
  EXPECT_EQ(server_.topic, "[B]S");
  EXPECT_TRUE(link_.SelectTopic("[B]S"));  // the same topic: nothing happens
  EXPECT_EQ(Logged("open "), (std::vector<std::string>{"open System", "open [B]S"}));
  EXPECT_EQ(opened + closed, 0);
  EXPECT_TRUE(link_.Connected());
  // The server ending the conversation is heard.
  server_.Hangup();
  EXPECT_FALSE(link_.Connected());
  EXPECT_EQ(closed, 1);
}

// --- Commands and waiting -----------------------------------------------------------------

TEST_F(SheetLink, EveryBurstCountthCommandWaitsForReady) {
  link_.Connect();
  for (int k = 1; k <= 127; ++k) link_.Execute("[A()]");
  EXPECT_EQ(server_.statusRequests, 0);
  const std::size_t before = server_.log.size();
  link_.Execute("[B()]");
  // The 128th command waits for "Ready" before it is sent.
  const std::vector<std::string> after(server_.log.begin() + static_cast<std::ptrdiff_t>(before), server_.log.end());
  EXPECT_EQ(after, (std::vector<std::string>{"request System|Status", "execute [B()]"}));
  for (int k = 1; k <= 127; ++k) link_.Execute("[A()]");
  EXPECT_EQ(server_.statusRequests, 1);
  link_.Execute("[A()]");
  EXPECT_EQ(server_.statusRequests, 2);

  link_.BurstCount = -1;
  for (int k = 1; k <= 300; ++k) link_.Execute("[A()]");
  EXPECT_EQ(server_.statusRequests, 2);
}

TEST_F(SheetLink, RefusedCommandIsSentAgainAfterAWait) {
  link_.Connect();
  server_.refusals = 1;
  server_.busyPolls = 2;
  const std::size_t before = server_.log.size();
  link_.Execute("[HIDE()]");
  EXPECT_EQ(Logged("execute", before), (std::vector<std::string>{"execute [HIDE()]", "execute-wait [HIDE()]"}));
  EXPECT_EQ(server_.statusRequests, 3);

  server_.refusals = 2;
  EXPECT_EQ(ErrorOf([&] { link_.Execute("[OPEN(\"a %s.xls\")]"); }), "\"[OPEN(\"a %s.xls\")]\" not accepted by Excel");
}

TEST_F(SheetLink, WaitReadyReportsItsWaiting) {
  link_.Connect();
  std::string events;
  link_.OnBeginWait = [&] { events += "b"; };
  link_.OnWaiting = [&] { events += "w"; };
  link_.OnEndWait = [&] { events += "e"; };
  server_.busyPolls = 3;
  link_.WaitReady();
  EXPECT_EQ(events, "bwwwe");
}

TEST_F(SheetLink, WaitReadyGivesUpAfterItsTimeOut) {
  link_.Connect();
  bool ended = false;
  link_.OnEndWait = [&] { ended = true; };
  server_.busyPolls = -1;
  const std::uint32_t start = clock_.TickCount();
  EXPECT_EQ(ErrorOf([&] { link_.WaitReady(); }), "The spreadsheet program did not report \"Ready\" within 60 seconds");
  EXPECT_GE(clock_.TickCount() - start, 60000u);
  EXPECT_LT(clock_.TickCount() - start, 61000u);
  EXPECT_TRUE(ended);

  // A program that went away never reports ready either.
  link_.WaitTimeoutMs = 2000;
  server_.busyPolls = 0;
  server_.Hangup();
  EXPECT_EQ(ErrorOf([&] { link_.Execute("[A()]"); }),
            "The spreadsheet program did not report \"Ready\" within 2 seconds");
}

// --- Reading cells --------------------------------------------------------------------------

TEST_F(SheetLink, ReadsOneCellAsText) {
  link_.Connect();
  server_.selection = "[B]Sheet1!R4C3";
  server_.sheet[{2, 5}] = std::string("label");
  server_.sheet[{4, 3}] = 2.5;
  server_.texts["[B]My Sheet|R1C1"] = "one\r\n";
  EXPECT_EQ(link_.GetCell(2, 5, "'[B]Sheet1'"), "label");
  EXPECT_EQ(server_.topic, "[B]Sheet1");
  // Below 1: the selection's top-left cell.
  EXPECT_EQ(link_.GetCell(0, 0, "[B]Sheet1"), "2.5");
  EXPECT_EQ(link_.GetCellOfSelectionSheet(2, 5), "label");
  EXPECT_EQ(link_.GetCell(1, 1, "'[B]My Sheet'"), "one\r\n");
  link_.StripCRLF = true;
  EXPECT_EQ(link_.GetCell(1, 1, "'[B]My Sheet'"), "one");
  server_.Hangup();
  EXPECT_EQ(link_.GetCell(1, 1, "[B]Sheet1"), TCustomExcel::kNoReply);
}

TEST_F(SheetLink, ReadsBlocksOfCells) {
  link_.Connect();
  server_.selection = "'[B]My Sheet'!R2C2:R3C3";
  server_.sheet[{2, 2}] = 1.0;
  server_.sheet[{2, 4}] = std::string("x");
  auto block = link_.GetCellsOfSelectionSheet(2, 2, 1, 3);
  EXPECT_EQ(server_.topic, "[B]My Sheet");
  EXPECT_EQ(server_.rangeRequests, (std::vector<std::string>{"R2C2:R2C4"}));
  EXPECT_EQ(block->Rows(), 1);
  EXPECT_EQ(block->Columns(), 3);
  EXPECT_EQ(block->ReadFloat(), 1.0);
  block->SkipCell();
  EXPECT_EQ(block->ReadString(), "x");

  // A top or left below 1 is the selection's.
  link_.GetCells("[B]My Sheet", 0, 0, 2, 1);
  EXPECT_EQ(server_.rangeRequests.back(), "R2C2:R3C2");

  for (auto [rows, cols] : std::vector<std::pair<int, int>>{{0, 1}, {1, 0}, {-1, 5}, {2147483647, 1}}) {
    EXPECT_EQ(ErrorOf([&, rows = rows, cols = cols] { link_.GetCells("S", 2, 2, rows, cols); }),
              "Bad row or column count")
        << rows << " x " << cols;
  }

  // Nothing came: an empty table.
  server_.Hangup();
  auto none = link_.GetCells("S", 1, 1, 2, 2);
  EXPECT_EQ(none->Rows(), 0);
  EXPECT_EQ(none->DataType(), xlNoData);
}

// --- Workbooks ----------------------------------------------------------------------------------

TEST_F(SheetLink, OpensAndClosesOneWorkbookAtATime) {
  link_.Connect();
  link_.OpenFile("C:\\data\\Fish.xls");
  EXPECT_EQ(link_.Workbook(), "FISH.XLS");
  link_.OpenFile("D:\\other\\fish.XLS");  // the same name: nothing is sent
  link_.OpenFile("C:\\data\\birds.xls");
  link_.CloseFile();
  link_.CloseFile();  // none open: nothing is sent
  EXPECT_EQ(link_.Workbook(), "");
  EXPECT_EQ(Logged("execute"), (std::vector<std::string>{
                                   "execute [OPEN(\"C:\\data\\Fish.xls\")]",
                                   "execute [HIDE()]",
                                   "execute [UNHIDE(\"FISH.XLS\")]",
                                   "execute [CLOSE(FALSE)]",
                                   "execute [OPEN(\"C:\\data\\birds.xls\")]",
                                   "execute [HIDE()]",
                                   "execute [UNHIDE(\"BIRDS.XLS\")]",
                                   "execute [CLOSE(FALSE)]",
                               }));
}

}  // namespace
}  // namespace dataeditor_test
