// Scripted sessions of the editor's model: the user's commands in order, the
// questions answered from a script, the files checked on disk.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EditorTestSupport.h"
#include "dataeditor/EdReader.h"
#include "dataeditor/MveditModel.h"
#include "matrix/Constu.h"
#include "rtl/Exception.h"

namespace {

using namespace dataeditor_test;
using plat::mrCancel;
using plat::mrNo;
using plat::mrOk;
using plat::mrYes;

const char* const kKeepChanges = "Keep changes to current matrix?";
const char* const kSaveChanges = "Save changes to file?";

class Session : public EditorTest {
 protected:
  // Types a text into a grid cell as the user would.
  static void Type(TMveditModel& m, int col, int row, const std::string& text) {
    ASSERT_TRUE(m.CanSelectCell(col, row)) << col << "," << row;
    m.StartEdit(col, row);
    m.SetEditText(col, row, text);
  }
  static void FillValues(TMveditModel& m, const std::string& text) {
    for (int r = 1; r < m.Grid.RowCount(); ++r)
      for (int c = 1; c < m.Grid.ColCount(); ++c)
        if (m.CanSelectCell(c, r) && m.Grid.Cell(c, r).empty()) Type(m, c, r, text);
  }
  std::vector<std::string> Row(const TMveditModel& m, int r) const {
    std::vector<std::string> cells;
    for (int c = 0; c < m.Grid.ColCount(); ++c) cells.emplace_back(m.Grid.Cell(c, r));
    return cells;
  }
  std::vector<std::unique_ptr<TMatrixStr>> ReadBack(const std::string& path) const {
    rtl::TextReader f(path);
    return ReadEditorMatrices(f);
  }
};

TEST_F(Session, StartsOnANewMatrixWithoutExactlyOneExistingFile) {
  const std::string good = folder.CopyFixture("all-types.qmx");
  const std::vector<std::vector<std::string>> cases = {{}, {folder.File("absent.qmx")}, {good, good}};
  for (const auto& args : cases) {
    TMveditModel m;
    m.Start(args);
    EXPECT_EQ(m.View.caption, "Mvedit 1.07b");
    EXPECT_EQ(m.MatrixList.size(), 1u);
    EXPECT_EQ(m.MatType, 1);
    EXPECT_EQ(m.Rows, 7);
    EXPECT_EQ(m.Cols, 4);
    EXPECT_TRUE(m.BlankMatrix);
    EXPECT_EQ(m.Grid.Cell(0, 7), "R7");
    EXPECT_EQ(m.Grid.Cell(4, 0), "C4");
    EXPECT_EQ(m.Grid.Cell(0, 0), "Rows\\Cols");
  }
  TMveditModel opened;
  opened.Start({good});
  EXPECT_EQ(opened.View.caption, "Mvedit 1.07b : " + good);
  EXPECT_EQ(opened.FileName, good);
  EXPECT_EQ(opened.View.spinMax, 8);
  EXPECT_TRUE(opened.View.spinEnabled);
}

TEST_F(Session, EditsValueLabelCommentsTypeAndSizeThenSavesAndReopens) {
  const std::string path = folder.CopyFixture("all-types.qmx");
  TMveditModel m;
  m.Start({path});
  Type(m, 1, 1, "7.5");
  Type(m, 0, 2, "Second");
  m.ShowComments();
  m.CommentsEdited({"Edited comment"});
  m.CloseComments();
  m.RowsEditExit("4");  // grows: a new row "R4" with empty cells
  EXPECT_EQ(m.Grid.Cell(0, 4), "R4");
  Type(m, 1, 4, "8");
  Type(m, 2, 4, "9");
  m.SpinChanged(2);  // stores matrix 1
  m.TypeChanged(2);  // dissimilarity to similarity: same family, no question
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_TRUE(m.SaveFileCommand());
  EXPECT_FALSE(m.FileChanged);
  EXPECT_TRUE(boxes.Boxes().empty()) << boxes.LastText();

  auto back = ReadBack(path);
  ASSERT_EQ(back.size(), 8u);
  const TMatrixStr& first = *back[0];
  EXPECT_EQ(first.Rows, 4);
  EXPECT_EQ(first.GetCell(1, 1), "7.5");
  EXPECT_EQ(first.GetCell(2, 0), "Second");
  EXPECT_EQ(first.GetCell(4, 0), "R4");
  EXPECT_EQ(first.GetCell(4, 2), "9");
  EXPECT_EQ(first.MissingText, "-9");
  ASSERT_TRUE(first.Comments);
  EXPECT_EQ(first.Comments->Text(), "Edited comment\r\n");
  EXPECT_EQ(back[1]->MatType, 3);
  EXPECT_EQ(back[7]->GetCell(2, 3), "0.6");
}

TEST_F(Session, FailedOpenKeepsTheOpenFileAndStartsTheAlternativeEditor) {
  const std::string path = folder.CopyFixture("all-types.qmx");
  const std::string bad = folder.File("my data.qmx");
  WriteBytes(bad, "9 1 1 0\r\n5\r\n");
  TMveditModel m;
  m.Start({path});
  m.AltEditor = "sh";
  Type(m, 1, 1, "42");
  boxes.Answer(mrNo);  // keep changes to the matrix?
  boxes.Answer(mrNo);  // save the file first?
  dialogs.AnswerFile(bad);
  m.OpenFile();

  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{kKeepChanges, kSaveChanges, "Bad value for matrix type code: 9"}));
  EXPECT_EQ(m.MatrixList.size(), 8u);
  EXPECT_EQ(m.FileName, path);
  EXPECT_EQ(m.View.caption, "Mvedit 1.07b : " + path);
  EXPECT_TRUE(m.FileChanged);
  EXPECT_EQ(m.Grid.Cell(1, 1), "42");
  ASSERT_EQ(launcher.Launches().size(), 1u);
  EXPECT_EQ(launcher.Launches()[0].args, std::vector<std::string>{bad});
  EXPECT_EQ(ReadBytes(path), ReadBytes(FixturePath("all-types.qmx")));
}

TEST_F(Session, FileDialogsStartInTheDataFolderOrTheCurrentOne) {
  const fs::path before = fs::current_path();
  fs::create_directories(folder.File("data"));
  fs::current_path(folder.File(""));
  const std::string current = fs::current_path().string() + "/";
  const std::string data = folder.File("data") + "/";
  fs::copy_file(FixturePath("all-types.qmx"), data + "all-types.qmx");
  const struct {
    const char* name;
    std::string directory;  // remembered from the last open or save
    bool fileOpen;          // a file of the data folder opened at start
    std::string expected;
  } cases[] = {
      {"nothing remembered", "", false, current},
      {"a folder that is gone", folder.File("gone") + "/", false, current},
      {"the remembered folder", data, false, data},
      {"the open file's folder", current, true, data},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TMveditModel m;
    m.Directory = c.directory;
    m.Start(c.fileOpen ? std::vector<std::string>{data + "all-types.qmx"} : std::vector<std::string>{});
    m.OpenFile();
    ASSERT_FALSE(dialogs.FileRequests().empty());
    EXPECT_EQ(dialogs.FileRequests().back().request.initialDir, c.expected);
    if (!c.fileOpen) {
      FillValues(m, "2");
      m.SaveFileAsCommand();
      EXPECT_EQ(dialogs.FileRequests().back().kind, "save");
      EXPECT_EQ(dialogs.FileRequests().back().request.initialDir, c.expected);
    }
  }
  fs::current_path(before);
}

TEST_F(Session, AnAlternativeEditorThatCannotStartIsReported) {
  const std::string bad = folder.File("bad.qmx");
  WriteBytes(bad, "1 2 2 0\r\n1\r\n");
  TMveditModel m;
  m.Start({});
  m.AltEditor = "sh";
  launcher.SetSucceed(false);
  dialogs.AnswerFile(bad);
  m.OpenFile();
  EXPECT_EQ(BoxTexts(),
            (std::vector<std::string>{"EOF trying to read line", "Unable to open alternative editor\n(sh)"}));
  EXPECT_TRUE(m.BlankMatrix);
  EXPECT_EQ(m.FileName, "");
}

TEST_F(Session, OpenAsksToSaveUnsavedChangesFirst) {
  const std::string path = folder.CopyFixture("all-types.qmx");
  const std::string other = folder.File("other.qmx");
  WriteBytes(other, "1 1 1 0\r\n5\r\n");
  {
    TMveditModel m;
    m.Start({path});
    Type(m, 1, 1, "42");
    boxes.Answer(mrYes);     // keep changes to the matrix
    boxes.Answer(mrCancel);  // save the file first? Cancel: nothing is opened
    m.OpenFile();
    EXPECT_TRUE(dialogs.FileRequests().empty());
    EXPECT_EQ(m.FileName, path);

    boxes.Answer(mrYes);  // save the file first
    dialogs.AnswerFile(other);
    m.OpenFile();
    EXPECT_EQ(m.FileName, other);
    EXPECT_EQ(m.MatrixList.size(), 1u);
    EXPECT_FALSE(m.FileChanged);
    ASSERT_EQ(dialogs.FileRequests().size(), 1u);
    EXPECT_EQ(dialogs.FileRequests()[0].request.title, "Load data file...");
    EXPECT_EQ(dialogs.FileRequests()[0].request.filter, "Morva files|*.QMX|All files|*.*");
  }
  EXPECT_EQ(ReadBack(path)[0]->GetCell(1, 1), "42");
  EXPECT_NE(folder.SettingsText().find("Directory="), std::string::npos);
}

TEST_F(Session, DeletingAMatrixIsAnUnsavedChange) {
  const std::string path = folder.CopyFixture("all-types.qmx");
  TMveditModel m;
  m.Start({path});
  m.SpinChanged(8);
  m.DeleteMatrix();
  EXPECT_EQ(m.MatrixList.size(), 7u);
  EXPECT_EQ(m.CurrentMatrix, 7);
  EXPECT_EQ(m.MatType, 7);
  EXPECT_TRUE(m.FileChanged);
  EXPECT_TRUE(m.View.savedShown);
  boxes.Answer(mrYes);
  EXPECT_TRUE(m.CloseQuery());
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{kSaveChanges});
  EXPECT_EQ(ReadBack(path).size(), 7u);
}

TEST_F(Session, DeletingTheLastMatrixStartsANewOneAndForgetsItsEdits) {
  const std::string path = folder.File("one.qmx");
  WriteBytes(path, "4 3L 3L 0 \r\n X Y Z\r\n 1\r\n 2\r\n 3\r\n");
  TMveditModel m;
  m.Start({path});
  Type(m, 1, 2, "20");
  m.DeleteMatrix();
  // No question about the deleted matrix's edits, and they do not come back.
  EXPECT_TRUE(boxes.Boxes().empty());
  ASSERT_EQ(m.MatrixList.size(), 1u);
  EXPECT_TRUE(m.MatrixList[0]->Untouched);
  EXPECT_EQ(m.MatType, 4);
  EXPECT_EQ(m.Rows, 3);
  EXPECT_EQ(m.Grid.Cell(1, 0), "Diag");
}

TEST_F(Session, AFailedSaveKeepsTheWindowTheDataAndTheOldFile) {
  const std::string path = folder.CopyFixture("all-types.qmx");
  const std::string before = ReadBytes(path);
  TMveditModel m;
  m.Start({path});
  m.SetRowLabelsEditable(true);
  Type(m, 0, 1, "Big cat");
  EXPECT_FALSE(m.SaveFileCommand());
  EXPECT_EQ(boxes.LastText(), "Cell in matrix 1 at (row 1, col 0) holds a blank or a comma: Big cat");
  EXPECT_EQ(ReadBytes(path), before);
  EXPECT_TRUE(m.FileChanged);

  // Closing with "Yes" while the save fails keeps the window open with the edit.
  boxes.Answer(mrYes);
  EXPECT_FALSE(m.CloseQuery());
  EXPECT_EQ(m.Grid.Cell(0, 1), "Big cat");
  EXPECT_EQ(ReadBytes(path), before);
  EXPECT_EQ(folder.Files(), std::vector<std::string>{"all-types.qmx"});
}

TEST_F(Session, AFileThatCannotBeWrittenIsReportedAndNothingIsLost) {
  fs::create_directories(folder.File("sub"));
  const std::string path = folder.File("sub/data.qmx");
  WriteBytes(path, "1 1 1 0\r\n5\r\n");
  TMveditModel m;
  m.Start({path});
  Type(m, 1, 1, "6");
  fs::remove_all(folder.File("sub"));
  boxes.Answer(mrYes);
  EXPECT_FALSE(m.CloseQuery());
  EXPECT_EQ(BoxTexts().size(), 2u);
  EXPECT_NE(boxes.LastText().find("Cannot create file"), std::string::npos) << boxes.LastText();
  EXPECT_TRUE(m.FileChanged);
  EXPECT_EQ(m.Grid.Cell(1, 1), "6");
}

TEST_F(Session, DiagonalMatricesStaySquareAsRowsChange) {
  const std::string path = folder.File("diag.qmx");
  WriteBytes(path, "4 3L 3L 0 \r\n X Y Z\r\n 1\r\n 2\r\n 3\r\n");
  TMveditModel m;
  m.Start({path});
  m.RowsEditExit("5");
  EXPECT_EQ(m.Cols, 5);
  EXPECT_EQ(m.View.colsText, "5");
  FillValues(m, "4");
  m.InsertRow(2);
  EXPECT_EQ(m.Rows, 6);
  EXPECT_EQ(m.Cols, 6);
  Type(m, 0, 2, "New");
  Type(m, 1, 2, "1.5");
  m.DeleteRow(1);
  EXPECT_EQ(m.Rows, 5);
  EXPECT_EQ(m.Cols, 5);
  ASSERT_TRUE(m.SaveFileCommand());
  auto back = ReadBack(path);
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0]->Rows, 5);
  EXPECT_EQ(back[0]->Cols, 5);
  EXPECT_EQ(back[0]->GetCell(1, 0), "New");
  EXPECT_EQ(back[0]->GetCell(2, 1), "2");
}

TEST_F(Session, InsertingAndDeletingRowsOfAGraphKeepsItsEdges) {
  const std::string path = folder.CopyFixture("all-types.qmx");
  const std::string before = ReadBytes(path);
  TMveditModel m;
  m.Start({path});
  m.SpinChanged(7);  // 4 nodes, 5 edges
  ASSERT_EQ(m.Grid.RowCount(), 6);
  const auto lastEdge = Row(m, 5);

  m.InsertRow(5);  // below the nodes, among the edges: a new edge row
  EXPECT_EQ(m.Rows, 4);
  EXPECT_EQ(m.Cols, 6);
  EXPECT_EQ(Row(m, 6), lastEdge);
  m.DeleteRow(5);
  EXPECT_EQ(m.Cols, 5);

  m.InsertRow(2);  // among nodes and edges: both grow
  EXPECT_EQ(m.Rows, 5);
  EXPECT_EQ(m.Cols, 6);
  EXPECT_EQ(Row(m, 6), lastEdge);
  EXPECT_EQ(m.Grid.Cell(0, 3), "N2");
  m.DeleteRow(2);
  EXPECT_EQ(m.Rows, 4);
  EXPECT_EQ(m.Cols, 5);
  ASSERT_TRUE(m.SaveFileCommand());
  EXPECT_EQ(ReadBytes(path), before);
}

TEST_F(Session, InsertingARowInASymmetricMatrixKeepsItsTriangle) {
  const std::string path = folder.File("sym.qmx");
  WriteBytes(path, "2 3L 3L 0 \r\n A B C\r\n 0\r\n 1.5 0\r\n 2.5 3.5 0\r\n");
  TMveditModel m;
  m.Start({path});
  m.InsertRow(2);
  EXPECT_EQ(m.Rows, 4);
  EXPECT_EQ(m.Cols, 4);
  EXPECT_EQ(Row(m, 3), (std::vector<std::string>{"B", "1.5", "", "0", ""}));
  EXPECT_EQ(Row(m, 4), (std::vector<std::string>{"C", "2.5", "", "3.5", "0"}));
  m.DeleteRow(2);
  EXPECT_EQ(Row(m, 3), (std::vector<std::string>{"C", "2.5", "3.5", "0"}));
  ASSERT_TRUE(m.SaveFileCommand());
  EXPECT_EQ(ReadBytes(path), "2 3L 3L 0 \r\n A B C\r\n 0\r\n 1.5 0\r\n 2.5 3.5 0\r\n");
}

TEST_F(Session, TheMissingValueTypedByTheUserReachesTheHeader) {
  TMveditModel m;
  m.Start({});
  FillValues(m, "1");
  Type(m, 4, 7, "");
  EXPECT_THROW(m.MissingEditExit("x"), E_Morvapc);
  EXPECT_EQ(m.View.missingText, "");
  m.View.missingText = "-99";  // typed, not yet left: Save takes it
  boxes.Answer(mrYes);         // fill empty cells with the missing value
  const std::string path = folder.File("new.qmx");
  dialogs.AnswerFile(path);
  ASSERT_TRUE(m.SaveFileCommand());
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{
                            "Empty cell found at (row 7, col 4),\nfill all empty cells with\nmissing value code?"});
  const std::string text = ReadBytes(path);
  EXPECT_EQ(text.substr(0, 14), "1 7L 4L 1 -99\r");
  EXPECT_NE(text.find(" 1 1 1 -99\r\n"), std::string::npos);
  EXPECT_EQ(m.FileName, path);
  EXPECT_EQ(m.View.caption, "Mvedit 1.07b : " + path);
}

TEST_F(Session, CheckRefusesTextAndEmptyCellsWithoutAMissingValue) {
  TMveditModel m;
  m.Start({});
  FillValues(m, "1");
  Type(m, 1, 2, "abc");
  try {
    m.CheckMatrix();
    ADD_FAILURE() << "passed";
  } catch (const E_Morvapc& e) {
    EXPECT_STREQ(e.what(), "Invalid numeric value in cell (row 2, col 1)");
  }
  Type(m, 1, 2, "");
  boxes.Answer(mrCancel);
  EXPECT_FALSE(m.CheckMatrix());
  boxes.Answer(mrYes);
  EXPECT_FALSE(m.CheckMatrix());
  EXPECT_EQ(boxes.LastText(), "Missing value code must be set.");
  EXPECT_EQ(m.Grid.Cell(1, 2), "");
}

TEST_F(Session, AnUntouchedNewMatrixIsNeverWrittenNorDeleted) {
  TMveditModel blank;
  blank.Start({});
  try {
    blank.SaveFileCommand();
    ADD_FAILURE() << "saved";
  } catch (const E_Morvapc& e) {
    EXPECT_STREQ(e.what(), "No matrices to save.");
  }

  const std::string path = folder.File("two.qmx");
  WriteBytes(path, "1 1L 1L 0 \r\n A\r\n X\r\n 5\r\n4 1L 1L 0 \r\n B\r\n 6\r\n");
  TMveditModel m;
  m.Start({path});
  m.NewMatrix();
  ASSERT_EQ(m.MatrixList.size(), 3u);
  m.SpinChanged(1);
  Type(m, 1, 1, "7");
  m.FileName = path;  // New matrix forgot it
  ASSERT_TRUE(m.SaveFileCommand());
  EXPECT_EQ(m.MatrixList.size(), 3u);
  EXPECT_EQ(ReadBytes(path), "1 1L 1L 0 \r\n A\r\n X\r\n 7\r\n4 1L 1L 0 \r\n B\r\n 6\r\n");
}

TEST_F(Session, RowsAndColumnsEditsParseTheirNumbers) {
  TMveditModel m;
  m.Start({});
  m.RowsEditExit("0");
  EXPECT_EQ(m.Rows, 1);
  EXPECT_EQ(m.View.rowsText, "1");
  EXPECT_THROW(m.ColsEditExit("abc"), rtl::EConvertError);
  EXPECT_EQ(m.Cols, 4);
  EXPECT_EQ(m.View.colsText, "4");
  EXPECT_THROW(m.RowsEditExit("99999999"), E_Morvapc);
  EXPECT_EQ(m.Rows, 1);
  Type(m, 1, 1, "1");
  boxes.Answer(mrCancel);
  m.ColsEditExit("2");
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Deleting columns can lose data,\nare you sure?"});
  EXPECT_EQ(m.Cols, 4);
  EXPECT_EQ(m.View.colsText, "4");
  m.ColsEditExit("6");
  EXPECT_EQ(m.Grid.Cell(6, 0), "V6");
}

TEST_F(Session, AGraphAsksBeforeDroppingNodesEvenWhenNew) {
  TMveditModel m;
  m.Start({});
  boxes.Answer(mrOk);
  m.TypeChanged(6);
  EXPECT_EQ(boxes.LastText(), "Changing the matrix shape can lose data,\nare you sure?");
  EXPECT_EQ(m.Cols, 7);
  EXPECT_EQ(m.Grid.Cell(3, 0), "Dist");
  boxes.Clear();
  boxes.Answer(mrCancel);
  m.RowsEditExit("3");
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Deleting rows can lose data,\nare you sure?"});
  EXPECT_EQ(m.Rows, 7);
  EXPECT_EQ(m.View.rowsText, "7");
  m.ColsEditExit("2");  // no question while the matrix is new
  EXPECT_EQ(m.Cols, 2);
  EXPECT_EQ(m.Grid.RowCount(), 8);
  m.RowsEditExit("9");
  EXPECT_EQ(m.Grid.RowCount(), 10);
  EXPECT_EQ(BoxTexts().size(), 1u);
}

TEST_F(Session, TypeChangesWithinAFamilyAskNothingOthersReshape) {
  TMveditModel m;
  m.Start({});
  m.RowsEditExit("5");
  m.ColsEditExit("3");
  FillValues(m, "1");
  boxes.Answer(mrOk);
  m.TypeChanged(1);
  EXPECT_EQ(m.Rows, 5);
  EXPECT_EQ(m.Cols, 5);
  EXPECT_EQ(m.Grid.ColCount(), 6);
  EXPECT_EQ(m.Grid.Cell(3, 2), "");
  EXPECT_EQ(m.Grid.Cell(2, 3), "1");
  EXPECT_EQ(m.Grid.Cell(5, 0), "V5");

  boxes.Answer(mrOk);
  m.TypeChanged(4);
  EXPECT_EQ(m.Cols, 2);
  boxes.Clear();
  m.TypeChanged(5);
  EXPECT_EQ(m.MatType, 6);
  EXPECT_TRUE(boxes.Boxes().empty());

  boxes.Answer(mrCancel);
  m.TypeChanged(0);
  EXPECT_EQ(m.MatType, 6);
  EXPECT_EQ(m.View.typeIndex, 5);
}

TEST_F(Session, ClosingUnsavedNewWorkAsksForANameAndStaysOpenOnCancel) {
  TMveditModel m;
  m.Start({});
  FillValues(m, "2");
  boxes.Answer(mrYes);
  EXPECT_FALSE(m.CloseQuery());
  ASSERT_EQ(dialogs.FileRequests().size(), 1u);
  EXPECT_EQ(dialogs.FileRequests()[0].kind, "save");
  EXPECT_EQ(dialogs.FileRequests()[0].request.fileName, "*.QMX");
  EXPECT_TRUE(m.FileChanged);
  const std::string settings = folder.SettingsText();
  EXPECT_NE(settings.find("[Mvedit]"), std::string::npos);
  EXPECT_NE(settings.find("FontFace=Courier New"), std::string::npos);
}

TEST_F(Session, CommentsOpenWhileSwitchingMatricesAreKept) {
  const std::string path = folder.CopyFixture("all-types.qmx");
  TMveditModel m;
  m.Start({path});
  m.ShowComments();
  EXPECT_EQ(m.View.commentsLines, (std::vector<std::string>{"Eight matrices, one of each type, each with labels",
                                                            "Rectangular, with a missing value"}));
  m.CommentsEdited({"Only this"});
  EXPECT_TRUE(m.MatrixChanged);
  m.SpinChanged(2);
  EXPECT_FALSE(m.View.commentsVisible);
  ASSERT_TRUE(m.MatrixList[0]->Comments);
  EXPECT_EQ(m.MatrixList[0]->Comments->Text(), "Only this\r\n");
}

TEST_F(Session, MovedRowsAndColumnsTakeTheirLabelsAndValuesIntoTheFile) {
  const std::string path = folder.CopyFixture("all-types.qmx");
  TMveditModel m;
  m.Start({path});
  m.RowMoved(3, 1);
  EXPECT_EQ(Row(m, 1), (std::vector<std::string>{"OTU3", "4E-3", "5"}));
  EXPECT_EQ(Row(m, 2), (std::vector<std::string>{"OTU1", "1.5", "2.25"}));
  EXPECT_EQ(Row(m, 3), (std::vector<std::string>{"OTU2", "-9", "3"}));
  EXPECT_TRUE(m.MatrixChanged);
  EXPECT_TRUE(m.FileChanged);
  EXPECT_TRUE(m.View.savedShown);
  m.ColumnMoved(1, 2);
  EXPECT_EQ(Row(m, 0), (std::vector<std::string>{"Rows\\Cols", "Width", "Length"}));
  m.SpinChanged(2);  // stores the moved matrix
  m.SpinChanged(1);
  EXPECT_EQ(Row(m, 1), (std::vector<std::string>{"OTU3", "5", "4E-3"}));
  ASSERT_TRUE(m.SaveFileCommand()) << boxes.LastText();
  const std::string text = ReadBytes(path);
  EXPECT_NE(text.find("1 3L 2L 1 -9\r\n OTU3 OTU1 OTU2\r\n Width Length\r\n 5 4E-3\r\n 2.25 1.5\r\n 3 -9\r\n"),
            std::string::npos)
      << text;
}

TEST_F(Session, OnlyTheLinesOfARectangularMatrixMove) {
  const std::string path = folder.CopyFixture("all-types.qmx");
  const struct {
    const char* what;
    int matrix;
    bool rows;
    int from, to;
  } refused[] = {
      {"the heading row", 1, true, 0, 2},
      {"onto the heading row", 1, true, 2, 0},
      {"beyond the last row", 1, true, 1, 4},
      {"the labels column", 1, false, 0, 1},
      {"beyond the last column", 1, false, 3, 1},
      {"a row of a symmetric matrix", 2, true, 1, 3},
      {"a column of a symmetric matrix", 2, false, 3, 1},
      {"a row of a tree", 5, true, 1, 2},
      {"a column of a graph", 7, false, 1, 3},
  };
  for (const auto& c : refused) {
    SCOPED_TRACE(c.what);
    TMveditModel m;
    m.Start({path});
    m.SpinChanged(c.matrix);
    std::vector<std::vector<std::string>> before;
    for (int r = 0; r < m.Grid.RowCount(); ++r) before.push_back(Row(m, r));
    if (c.rows) {
      m.RowMoved(c.from, c.to);
    } else {
      m.ColumnMoved(c.from, c.to);
    }
    for (int r = 0; r < m.Grid.RowCount(); ++r) EXPECT_EQ(Row(m, r), before[static_cast<std::size_t>(r)]);
    EXPECT_FALSE(m.MatrixChanged);
    EXPECT_FALSE(m.FileChanged);
  }
}

TEST_F(Session, AMoveInANewMatrixIsAnEditThatIsSaved) {
  TMveditModel m;
  m.Start({});  // untouched, so not written unless the user changes it
  m.RowMoved(7, 1);
  EXPECT_FALSE(m.BlankMatrix);
  EXPECT_EQ(m.Grid.Cell(0, 1), "R7");
  m.MissingEditExit("-1");
  boxes.Answer(mrYes);  // fill the empty cells with it
  const std::string path = folder.File("moved.qmx");
  dialogs.AnswerFile(path);
  ASSERT_TRUE(m.SaveFileAsCommand()) << boxes.LastText();
  auto back = ReadBack(path);
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0]->GetCell(1, 0), "R7");
  EXPECT_EQ(back[0]->GetCell(2, 0), "R1");
}

TEST_F(Session, SettingsThatCannotBeWrittenStopNeitherSavingNorOpeningNorClosing) {
  const std::string path = folder.CopyFixture("all-types.qmx");
  // The settings folder lies under a plain file, so no settings file can be written.
  const std::string blocker = folder.File("blocker");
  WriteBytes(blocker, "x");
  setenv("XDG_CONFIG_HOME", blocker.c_str(), 1);
  TMveditModel m;
  m.Start({});
  FillValues(m, "2");
  const std::string copy = folder.File("new.qmx");
  dialogs.AnswerFile(copy);
  EXPECT_TRUE(m.SaveFileAsCommand()) << boxes.LastText();
  EXPECT_EQ(ReadBack(copy).size(), 1u);
  EXPECT_FALSE(m.FileChanged);

  dialogs.AnswerFile(path);
  m.OpenFile();
  EXPECT_EQ(m.FileName, path);
  EXPECT_EQ(m.MatrixList.size(), 8u);

  EXPECT_TRUE(m.CloseQuery());
  EXPECT_FALSE(boxes.Boxes().empty());
  EXPECT_NE(boxes.LastText().find("blocker"), std::string::npos) << boxes.LastText();
}

}  // namespace
