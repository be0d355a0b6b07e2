// The spreadsheet import as the user runs it from the editor: the questions,
// the file dialog, where the imported matrix goes, and that Cancel and every
// failure leave the editor exactly as it was.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AnalysisReadBack.h"
#include "EditorTestSupport.h"
#include "dataeditor/EdReader.h"
#include "dataeditor/MveditModel.h"
#include "matrix/Constu.h"

namespace {

using namespace dataeditor_test;
using plat::mrCancel;
using plat::mrNo;
using plat::mrYes;

const char* const kOverwrite = "Overwrite current matrix?";
const char* const kKeepChanges = "Keep changes to current matrix?";

// Everything of the editor an import may change.
struct EditorState {
  std::vector<std::vector<std::string>> matrices;  // header values and cells of each matrix
  std::vector<std::string> grid;
  int current = 0;
  bool matrixChanged = false, fileChanged = false, blankMatrix = false, matrixChecked = false;
  std::string fileName, caption, rows, cols, missing;
  bool operator==(const EditorState&) const = default;
};

std::vector<std::string> MatrixTexts(const TMatrixStr& m) {
  std::vector<std::string> texts = {std::to_string(m.MatType), std::to_string(m.Rows), std::to_string(m.Cols),
                                    std::to_string(m.MissingCode), m.MissingText};
  for (int r = 0; r <= GridRowsOf(m.MatType, m.Rows, m.Cols) - 1; ++r)
    for (int c = 0; c <= GridColumnsOf(m.MatType, m.Cols) - 1; ++c) texts.emplace_back(m.GetCell(r, c));
  return texts;
}

EditorState StateOf(const TMveditModel& m) {
  EditorState s;
  for (const auto& matrix : m.MatrixList) s.matrices.push_back(MatrixTexts(*matrix));
  for (int r = 0; r < m.Grid.RowCount(); ++r)
    for (int c = 0; c < m.Grid.ColCount(); ++c) s.grid.emplace_back(m.Grid.Cell(c, r));
  s.current = m.CurrentMatrix;
  s.matrixChanged = m.MatrixChanged;
  s.fileChanged = m.FileChanged;
  s.blankMatrix = m.BlankMatrix;
  s.matrixChecked = m.MatrixChecked;
  s.fileName = m.FileName;
  s.caption = m.View.caption;
  s.rows = m.View.rowsText;
  s.cols = m.View.colsText;
  s.missing = m.View.missingText;
  return s;
}

std::vector<std::string> GridRow(const TMveditModel& m, int r) {
  std::vector<std::string> cells;
  for (int c = 0; c < m.Grid.ColCount(); ++c) cells.emplace_back(m.Grid.Cell(c, r));
  return cells;
}

class Import : public EditorTest {
 protected:
  // An editor on a file of eight matrices, the second shown.
  void OpenFileOfEight(TMveditModel& m) {
    m.LoadFile(folder.CopyFixture("all-types.qmx"));
    m.SpinChanged(2);
  }
  std::string Workbook(const std::string& name) const { return FixturePath("workbooks/" + name); }
};

TEST_F(Import, AnsweringNoAppendsTheImportAfterTheShownMatrix) {
  TMveditModel m;
  OpenFileOfEight(m);
  m.StartEdit(1, 1);
  m.SetEditText(1, 1, "0.25");
  boxes.Answer(mrNo);
  dialogs.AnswerFile(Workbook("labelled.ods"));
  m.ImportWorkbook();

  EXPECT_EQ(BoxTexts(), std::vector<std::string>{kOverwrite});
  ASSERT_EQ(m.MatrixList.size(), 9u);
  EXPECT_EQ(m.CurrentMatrix, 9);
  // The shown matrix kept its edit.
  EXPECT_EQ(m.MatrixList[1]->GetCell(1, 1), "0.25");
  EXPECT_EQ(GridRow(m, 0), (std::vector<std::string>{"Rows\\Cols", "Length", "Width"}));
  EXPECT_EQ(GridRow(m, 3), (std::vector<std::string>{"C", "1E20", "-2.5E-10"}));
  EXPECT_EQ(m.View.rowsText, "3");
  EXPECT_EQ(m.View.colsText, "2");
  EXPECT_EQ(m.View.missingText, "-999");
  EXPECT_EQ(m.View.spinMax, 9);
  EXPECT_TRUE(m.View.spinEnabled);
  EXPECT_TRUE(m.View.rowColMoving);
  EXPECT_TRUE(m.FileChanged);
  EXPECT_TRUE(m.View.savedShown);
  EXPECT_FALSE(m.MatrixChanged);
  EXPECT_FALSE(m.MatrixChecked);
  EXPECT_FALSE(m.BlankMatrix);
  // The import joins the open file.
  EXPECT_EQ(m.FileName, folder.File("all-types.qmx"));

  // The dialog offered the three formats and the chosen folder is remembered.
  ASSERT_EQ(dialogs.FileRequests().size(), 1u);
  const auto& asked = dialogs.FileRequests()[0].request;
  EXPECT_EQ(asked.title, "Open Excel file");
  EXPECT_EQ(asked.filter, "Excel files|*.XLS;*.XLSX;*.ODS");
  EXPECT_EQ(asked.defaultExt, "XLS");
  EXPECT_NE(folder.SettingsText().find("Directory=" + FixturePath("workbooks/")), std::string::npos);
}

TEST_F(Import, AnsweringYesReplacesTheShownMatrix) {
  struct Case {
    bool edited;
    std::vector<plat::ModalResult> answers;
    std::vector<std::string> asked;
  };
  const std::vector<Case> cases = {
      {false, {mrYes}, {kOverwrite}},
      {true, {mrYes, mrYes}, {kOverwrite, kKeepChanges}},
      {true, {mrYes, mrNo}, {kOverwrite, kKeepChanges}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answers.size());
    boxes.Clear();
    TMveditModel m;
    OpenFileOfEight(m);
    if (c.edited) {
      m.StartEdit(1, 1);
      m.SetEditText(1, 1, "0.25");
    }
    for (auto answer : c.answers) boxes.Answer(answer);
    dialogs.AnswerFile(Workbook("empty-labels.xlsx"));
    m.ImportWorkbook();
    EXPECT_EQ(BoxTexts(), c.asked);
    ASSERT_EQ(m.MatrixList.size(), 8u);
    EXPECT_EQ(m.CurrentMatrix, 2);
    EXPECT_EQ(m.MatrixList[1]->MatType, 1);
    EXPECT_EQ(m.MatrixList[1]->GetCell(0, 2), "C2");
    EXPECT_EQ(m.MatrixList[2]->MatType, 3);
    EXPECT_EQ(GridRow(m, 1), (std::vector<std::string>{"R1", "4", "5"}));
    EXPECT_TRUE(m.FileChanged);
  }
}

TEST_F(Import, AnUntouchedNewMatrixIsReplacedWithoutAQuestion) {
  TMveditModel m;
  m.Start({});
  dialogs.AnswerFile(Workbook("labelled.xls"));
  m.ImportWorkbook();
  EXPECT_TRUE(boxes.Boxes().empty());
  ASSERT_EQ(m.MatrixList.size(), 1u);
  EXPECT_EQ(m.CurrentMatrix, 1);
  EXPECT_EQ(m.MatrixList[0]->GetCell(1, 0), "A");
  EXPECT_FALSE(m.BlankMatrix);
}

TEST_F(Import, CancelAndFailuresLeaveTheEditorAsItWas) {
  const std::string cut = folder.File("cut.xlsx");
  const std::string whole = ReadBytes(Workbook("labelled.xlsx"));
  WriteBytes(cut, whole.substr(0, whole.size() / 3));
  struct Case {
    std::string what;
    std::vector<plat::ModalResult> answers;
    std::string file;   // empty: the dialog is cancelled
    std::string error;  // empty: nothing is raised
  };
  const std::vector<Case> cases = {
      {"cancel at the overwrite question", {mrCancel}, "", ""},
      {"cancel at the keep question", {mrYes, mrCancel}, "", ""},
      {"cancel in the dialog after yes", {mrYes, mrYes}, "", ""},
      {"cancel in the dialog after no", {mrNo}, "", ""},
      {"a missing value that is no integer", {mrYes, mrNo}, Workbook("bad-missing.xls"),
       "Bad code given for missing values: -9.5"},
      {"a symmetric matrix", {mrNo}, Workbook("type2.ods"), "Invalid matrix type: 2."},
      {"a damaged workbook", {mrYes, mrYes}, cut, "Problem reading workbook file (" + cut + ")."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TMveditModel m;
    OpenFileOfEight(m);
    m.StartEdit(2, 2);
    m.SetEditText(2, 2, "7.5");
    const EditorState before = StateOf(m);
    for (auto answer : c.answers) boxes.Answer(answer);
    if (!c.file.empty()) dialogs.AnswerFile(c.file);
    if (c.error.empty()) {
      m.ImportWorkbook();
    } else {
      try {
        m.ImportWorkbook();
        ADD_FAILURE() << "imported";
      } catch (const E_Morvapc& e) {
        EXPECT_EQ(e.what(), c.error);
      }
    }
    EXPECT_TRUE(StateOf(m) == before);
    EXPECT_EQ(m.Grid.Cell(2, 2), "7.5");
    EXPECT_TRUE(m.MatrixChanged);
  }
}

TEST_F(Import, ImportedMatricesSaveAndReadBackThroughBothReaders) {
  for (const char* format : {".xls", ".xlsx", ".ods"}) {
    for (const char* name : {"labelled", "empty-labels"}) {
      SCOPED_TRACE(std::string(name) + format);
      TMveditModel m;
      m.Start({});
      dialogs.AnswerFile(Workbook(std::string(name) + format));
      m.ImportWorkbook();
      const std::string saved = folder.File(std::string(name) + ".qmx");
      dialogs.AnswerFile(saved);
      ASSERT_TRUE(m.SaveFileAsCommand());
      ASSERT_EQ(m.MatrixList.size(), 1u);
      const TMatrixStr& imported = *m.MatrixList[0];

      rtl::TextReader editorFile(saved);
      auto back = ReadEditorMatrices(editorFile);
      ASSERT_EQ(back.size(), 1u);
      EXPECT_EQ(MatrixTexts(*back[0]), MatrixTexts(imported));

      rtl::TextReader analysisFile(saved);
      ExpectAnalysisReads(analysisFile, imported, 1);
    }
  }
}

TEST_F(Import, TheLinkItemSaysThatNothingAnswersIt) {
  TMveditModel m;
  OpenFileOfEight(m);
  const EditorState before = StateOf(m);
  m.ImportOverLink();
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text,
            "No spreadsheet program answers the DDE link on this system.\n"
            "Use \"using OLE ...\" to import a workbook file.");
  EXPECT_TRUE(dialogs.FileRequests().empty());
  EXPECT_TRUE(StateOf(m) == before);
}

}  // namespace
