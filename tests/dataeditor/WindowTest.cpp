// The editor's window driven offscreen: a scripted session through its
// controls and menus, a picture of a labelled matrix, and the program started
// on a file.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <cstdio>
#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "AnalysisReadBack.h"
#include "EditorTestSupport.h"
#include "dataeditor/EdReader.h"
#include "dataeditor/forms/MveditF.h"
#include "platform/Form.h"
#include "platform/Guard.h"
#include "platform/IniFile.h"
#include "platform/Input.h"
#include "platform/MessageQueue.h"
#include "platform/Snapshot.h"
#include "platform/TextMetrics.h"
#include "platform/qt/Peer.h"
#include "platform/DisplayText.h"
#include "tests/controls/base/Utf8KeyCases.h"
#include "tests/support/GenerousWait.h"

namespace {

using namespace dataeditor_test;
using namespace plat;

class EditorWindow : public EditorTest {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "test_dataeditor_ui";
    static char* argv[] = {name, nullptr};
    InitApplication(argc, argv);
    SetApplicationTitle("Mvedit");
  }
  void TearDown() override {
    DestroyForms();
    input::Flush();
    MessageQueue::Clear();
  }

  TMveditF& OpenWindow(const std::vector<std::string>& args) {
    auto& form = CreateForm<TMveditF>();
    form.Start(args);
    form.ShowForm();
    input::Flush();
    return form;
  }

  // Opens the in-place editor of a grid cell, as the user does.
  static StringGrid& OpenCellEditor(TMveditF& form, int col, int row) {
    StringGrid& grid = form.DataGrid();
    grid.SetFocus();
    grid.SetCurrent(col, row);
    input::Flush();
    grid.SetEditorMode(true);
    input::Flush();
    return grid;
  }

  // Types into a grid cell through the cell's in-place editor, as the user does.
  static void TypeIntoCell(TMveditF& form, int col, int row, const std::string& text) {
    StringGrid& grid = OpenCellEditor(form, col, row);
    input::PressKey(grid, 'A', ssCtrl);
    input::TypeText(grid, text);
    input::PressKey(grid, vk::Return);
    input::Flush();
  }

  // Types into an edit and leaves it, so that its exit handler runs.
  static void TypeIntoEdit(TMveditF& form, Edit& edit, const std::string& text) {
    edit.SetFocus();
    input::Flush();
    edit.SetText(text);
    form.DataGrid().SetFocus();
    input::Flush();
  }

  // Drags a cell of the grid onto another, as the user does with the mouse.
  static void DragCell(TMveditF& form, int fromCol, int fromRow, int toCol, int toRow) {
    StringGrid& grid = form.DataGrid();
    const Rect from = grid.CellRect(fromCol, fromRow), to = grid.CellRect(toCol, toRow);
    input::Drag(grid, (from.left + from.right) / 2, (from.top + from.bottom) / 2, (to.left + to.right) / 2,
                (to.top + to.bottom) / 2);
    input::Flush();
  }

  // The window shows one picture, drawn in several colours (not left blank).
  static void ExpectAColourfulPicture(Form& form) {
    std::vector<Image*> pictures;
    for (Control* child : form.Children())
      if (auto* picture = dynamic_cast<Image*>(child)) pictures.push_back(picture);
    ASSERT_EQ(pictures.size(), 1u);
    const RasterImage shown = GrabImage(*pictures[0]);
    const std::set<std::uint32_t> colours(shown.pixels.begin(), shown.pixels.end());
    EXPECT_GE(colours.size(), 4u);
  }

  static void ClickMenu(TMveditF& form, const std::string& caption) {
    MenuItem* item = form.Menu().Find(caption);
    ASSERT_NE(item, nullptr) << caption;
    item->Click();
    input::Flush();
  }
};

TEST_F(EditorWindow, ScriptedSessionThroughTheControls) {
  const std::string path = folder.CopyFixture("all-types.qmx");
  TMveditF& form = OpenWindow({path});
  EXPECT_EQ(form.Caption(), "Mvedit 1.07b : " + path);
  EXPECT_EQ(form.DataGrid().Cell(1, 1), "1.5");
  EXPECT_FALSE(form.SavedMark().Visible());

  TypeIntoCell(form, 1, 1, "6.5");
  EXPECT_EQ(form.Model().Grid.Cell(1, 1), "6.5");
  EXPECT_TRUE(form.SavedMark().Visible());

  ClickMenu(form, "Edit row labels");
  EXPECT_EQ(form.DataGrid().FixedCols(), 0);
  TypeIntoCell(form, 0, 3, "Third");
  ClickMenu(form, "Edit row labels");
  EXPECT_EQ(form.DataGrid().FixedCols(), 1);

  form.CommentsButton().Click();
  input::Flush();
  TCommentsF& comments = form.CommentsWindow();
  ASSERT_TRUE(comments.Visible());
  comments.MemoControl().SetLines({"From the window"});
  comments.Close();
  input::Flush();
  EXPECT_FALSE(comments.Visible());

  TypeIntoEdit(form, form.RowsEdit(), "4");
  EXPECT_EQ(form.DataGrid().RowCount(), 5);
  EXPECT_EQ(form.DataGrid().Cell(0, 4), "R4");
  TypeIntoCell(form, 1, 4, "1");
  TypeIntoCell(form, 2, 4, "2");

  form.MatrixNumSpin().SetValue(5);  // the tree
  input::Flush();
  EXPECT_EQ(form.TypeCB().ItemIndex(), 4);
  boxes.Answer(mrOk);
  form.TypeCB().SetFocus();
  input::PressKey(form.TypeCB(), vk::Home);  // to rectangular: asks first
  input::Flush();
  EXPECT_EQ(boxes.LastText(), "Changing the matrix shape can lose data,\nare you sure?");
  EXPECT_EQ(form.DataGrid().Cell(1, 0), "C1");

  ClickMenu(form, "&Save file");
  EXPECT_FALSE(form.SavedMark().Visible()) << boxes.LastText();

  ClickMenu(form, "&About...");  // its picture is kept among the test artefacts
  Form* about = FindForm("MveditAboutF");
  ASSERT_NE(about, nullptr);
  EXPECT_TRUE(about->Visible());
  EXPECT_EQ(about->Caption(), "About Mvedit");
  ExpectAColourfulPicture(*about);
  EXPECT_TRUE(SaveSnapshot(*about, std::string(MORVA_ARTEFACTS) + "/dataeditor/mvedit-about.png"));
  about->Close();
  input::Flush();

  rtl::TextReader f(path);
  auto back = ReadEditorMatrices(f);
  ASSERT_EQ(back.size(), 8u);
  EXPECT_EQ(back[0]->GetCell(1, 1), "6.5");
  EXPECT_EQ(back[0]->GetCell(3, 0), "Third");
  EXPECT_EQ(back[0]->GetCell(4, 2), "2");
  ASSERT_TRUE(back[0]->Comments);
  EXPECT_EQ(back[0]->Comments->Text(), "From the window\r\n");
  EXPECT_EQ(back[4]->MatType, 1);
  EXPECT_EQ(back[4]->GetCell(0, 2), "C2");
  EXPECT_EQ(back[4]->GetCell(4, 1), "3");

  // Reopened in a new window, the file shows the edits.
  form.Close();
  input::Flush();
  TMveditF& again = OpenWindow({path});
  EXPECT_EQ(again.DataGrid().Cell(1, 1), "6.5");
  EXPECT_EQ(again.DataGrid().Cell(0, 3), "Third");
}

TEST_F(EditorWindow, WorkbooksImportedFromTheMenuAreAppendedShownAndSaved) {
  for (const char* format : {".xls", ".xlsx", ".ods"}) {
    for (const char* name : {"labelled", "empty-labels"}) {
      SCOPED_TRACE(std::string(name) + format);
      const std::string path = folder.CopyFixture("all-types.qmx");
      TMveditF& form = OpenWindow({path});
      boxes.Answer(mrNo);
      dialogs.AnswerFile(FixturePath("workbooks/") + name + format);
      ClickMenu(form, "using OLE ...");
      EXPECT_EQ(boxes.LastText(), "Overwrite current matrix?");
      EXPECT_EQ(form.MatrixNumSpin().Value(), 9);
      EXPECT_TRUE(form.SavedMark().Visible());
      EXPECT_EQ(form.DataGrid().RowCount(), 4);
      EXPECT_EQ(form.DataGrid().ColCount(), 3);
      EXPECT_EQ(form.DataGrid().Cell(2, 3), std::string(name) == "labelled" ? "-2.5E-10" : "9");

      ClickMenu(form, "&Save file");
      EXPECT_FALSE(form.SavedMark().Visible()) << boxes.LastText();
      const auto& matrices = form.Model().MatrixList;
      ASSERT_EQ(matrices.size(), 9u);
      rtl::TextReader editorFile(path);
      auto back = ReadEditorMatrices(editorFile);
      ASSERT_EQ(back.size(), 9u);
      for (int r = 0; r <= 3; ++r)
        for (int c = r == 0 ? 1 : 0; c <= 2; ++c)
          EXPECT_EQ(back[8]->GetCell(r, c), form.DataGrid().Cell(c, r)) << r << "," << c;
      rtl::TextReader analysisFile(path);
      int number = 0;
      for (const auto& m : matrices) ExpectAnalysisReads(analysisFile, *m, ++number);
      form.Close();
      input::Flush();
      boxes.Clear();
    }
  }
}

TEST_F(EditorWindow, CancelADamagedWorkbookAndTheLinkItemLeaveTheWindowAsItWas) {
  const std::string path = folder.CopyFixture("all-types.qmx");
  const std::string damaged = folder.File("damaged.ods");
  const std::string whole = ReadBytes(FixturePath("workbooks/labelled.ods"));
  WriteBytes(damaged, whole.substr(0, whole.size() / 2));
  TMveditF& form = OpenWindow({path});
  TypeIntoCell(form, 1, 1, "6.5");
  auto shown = [&form] {
    std::vector<std::string> texts;
    for (int r = 0; r < form.DataGrid().RowCount(); ++r)
      for (int c = 0; c < form.DataGrid().ColCount(); ++c) texts.push_back(form.DataGrid().Cell(c, r));
    return texts;
  };
  const auto before = shown();
  const std::string dde = "No spreadsheet program answers the DDE link on this system.\n"
                          "Use \"using OLE ...\" to import a workbook file.";
  const std::string unreadable = "Problem reading workbook file (" + damaged + ").";
  struct Case {
    std::string item;
    std::vector<plat::ModalResult> answers;
    std::string file;
    std::string lastBox;
  };
  const std::vector<Case> cases = {
      {"using OLE ...", {mrCancel}, "", "Overwrite current matrix?"},
      {"using OLE ...", {mrNo}, "", "Overwrite current matrix?"},
      {"using OLE ...", {mrYes, mrYes}, damaged, unreadable},
      {"using DDE ...", {}, "", dde},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lastBox);
    for (auto answer : c.answers) boxes.Answer(answer);
    if (!c.file.empty()) dialogs.AnswerFile(c.file);
    ClickMenu(form, c.item);
    EXPECT_EQ(boxes.LastText(), c.lastBox);
    EXPECT_EQ(shown(), before);
    EXPECT_EQ(form.Model().MatrixList.size(), 8u);
    EXPECT_EQ(form.MatrixNumSpin().Value(), 1);
    EXPECT_TRUE(form.SavedMark().Visible());
    EXPECT_TRUE(form.Model().MatrixChanged);
  }
}

TEST_F(EditorWindow, ClosingWithUnsavedChangesAsksOnceAndCancelKeepsTheWindow) {
  const std::string path = folder.CopyFixture("all-types.qmx");
  const struct {
    const char* way;
    std::function<void(TMveditF&)> close;
  } ways[] = {
      {"Exit", [](TMveditF& form) { ClickMenu(form, "E&xit"); }},
      {"Close button",
       [](TMveditF& form) {
         input::Click(form.CloseButton());
         input::Flush();
       }},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.way);
    TMveditF& form = OpenWindow({path});
    TypeIntoCell(form, 2, 2, "8");
    boxes.Clear();
    boxes.Answer(mrCancel);
    way.close(form);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.LastText(), "Save changes to file?");
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(form.DataGrid().Cell(2, 2), "8");
    DestroyForms();
  }
}

TEST_F(EditorWindow, SavingFromTheMenuTakesTheTextStillInTheCellEditor) {
  const std::string path = folder.CopyFixture("all-types.qmx");
  TMveditF& form = OpenWindow({path});
  StringGrid& grid = OpenCellEditor(form, 1, 2);
  input::PressKey(grid, 'A', ssCtrl);
  input::TypeText(grid, "25");
  input::PressKey(grid, vk::Home);
  input::TypeText(grid, "4.");
  input::Flush();
  // A menu command runs while the cell's editor still holds the typed text.
  ClickMenu(form, "&Save file");
  EXPECT_FALSE(form.SavedMark().Visible()) << boxes.LastText();
  rtl::TextReader f(path);
  EXPECT_EQ(ReadEditorMatrices(f)[0]->GetCell(2, 1), "4.25");
}

TEST_F(EditorWindow, DraggedRowsAndColumnsTakeLabelsAndValuesIntoTheSavedFile) {
  const std::string path = folder.CopyFixture("all-types.qmx");
  TMveditF& form = OpenWindow({path});
  StringGrid& grid = form.DataGrid();
  DragCell(form, 0, 3, 0, 1);  // the row of "OTU3" by its label, to the top
  DragCell(form, 1, 0, 2, 0);  // the column "Length" by its heading, to the right
  const std::vector<std::vector<std::string>> expected = {
      {"Rows\\Cols", "Width", "Length"}, {"OTU3", "5", "4E-3"}, {"OTU1", "2.25", "1.5"}, {"OTU2", "3", "-9"}};
  for (int r = 0; r <= 3; ++r)
    for (int c = 0; c <= 2; ++c) {
      EXPECT_EQ(form.Model().Grid.Cell(c, r), expected[r][c]) << c << "," << r;
      EXPECT_EQ(grid.Cell(c, r), expected[r][c]) << c << "," << r;
    }
  EXPECT_TRUE(form.SavedMark().Visible());

  // A symmetric matrix keeps its rows where they are.
  form.MatrixNumSpin().SetValue(2);
  input::Flush();
  DragCell(form, 0, 3, 0, 1);
  EXPECT_EQ(grid.Cell(0, 1), "A");
  EXPECT_EQ(grid.Cell(1, 3), "2.5");
  form.MatrixNumSpin().SetValue(1);
  input::Flush();
  EXPECT_EQ(grid.Cell(0, 1), "OTU3");

  ClickMenu(form, "&Save file");
  EXPECT_FALSE(form.SavedMark().Visible()) << boxes.LastText();
  rtl::TextReader editorReader(path);
  auto back = ReadEditorMatrices(editorReader);
  ASSERT_EQ(back.size(), 8u);
  for (int r = 0; r <= 3; ++r)
    for (int c = r == 0 ? 1 : 0; c <= 2; ++c) EXPECT_EQ(back[0]->GetCell(r, c), expected[r][c]) << c << "," << r;
  EXPECT_EQ(back[1]->GetCell(1, 0), "A");
  rtl::TextReader analysisReader(path);
  int number = 0;
  for (const auto& m : back) ExpectAnalysisReads(analysisReader, *m, ++number);
}

TEST_F(EditorWindow, PictureOfALabelledTenByFiveMatrix) {
  std::string text = "\"Ten OTUs, five variables\r\n1 10L 5L 0 \r\n";
  for (int r = 1; r <= 10; ++r) text += " OTU" + std::to_string(r);
  text += "\r\n Length Width Height Weight Colour\r\n";
  for (int r = 1; r <= 10; ++r) {
    for (int c = 1; c <= 5; ++c) text += " " + std::to_string(r * 10 + c) + "." + std::to_string(c);
    text += "\r\n";
  }
  const std::string path = folder.File("ten-by-five.qmx");
  WriteBytes(path, text);
  // A font every machine with the project's packages has.
  WriteProfileString("morva.ini", "Mvedit", "FontFace", "Liberation Mono");
  WriteProfileString("morva.ini", "Mvedit", "FontSize", "9");
  TMveditF& form = OpenWindow({path});
  form.SetClientSize(form.ClientWidth(), 400);
  input::Flush();
  EXPECT_EQ(form.DataGrid().Cell(5, 10), "105.5");
  const std::string made = std::string(MORVA_ARTEFACTS) + "/dataeditor/mvedit-10x5.png";
  ASSERT_TRUE(SaveSnapshot(form, made));
  const std::string stored = FixturePath("mvedit-10x5.png");
  ASSERT_TRUE(fs::exists(stored)) << "no stored picture; look at " << made << " and copy it there";
  ImageDifference diff = CompareImages(made, stored);
  ASSERT_TRUE(diff.loaded);
  ASSERT_TRUE(diff.sameSize);
  // Glyph shapes may differ a little between font builds; layout and colours may not.
  EXPECT_LT(diff.meanDelta, 4.0);
  EXPECT_LT(diff.changedShare, 0.03);
}

TEST_F(EditorWindow, ProgramOutputShowsWholeValuesWithTheirExponents) {
  // A correlation matrix as SIMINT writes it: values of 21 characters.
  const std::string path = folder.File("simint-corr.qmx");
  fs::copy_file(std::string(MORVA_FIXTURES) + "/similarity/golden/simint-corr.qmx", path);
  WriteProfileString("morva.ini", "Mvedit", "FontFace", "Liberation Mono");
  WriteProfileString("morva.ini", "Mvedit", "FontSize", "9");
  TMveditF& form = OpenWindow({path});
  StringGrid& grid = form.DataGrid();
  const std::string value = "-3.23011803439152E-001";
  ASSERT_EQ(grid.Cell(1, 3), value);
  for (int c = 1; c <= 5; ++c) {
    SCOPED_TRACE(c);
    EXPECT_GT(grid.ColWidth(c), TextWidthIn(grid, value)) << "the column shows the value whole";
  }
  EXPECT_GT(grid.ColWidth(0), TextWidthIn(grid, "Rows\\Cols"));
  EXPECT_EQ(grid.CellHint(2, 4), "8.45488903030971E-001");
  EXPECT_EQ(grid.CellHint(3, 1), "") << "an empty cell has no tooltip";
  // Switching to the second matrix fits its columns again.
  form.MatrixNumSpin().SetValue(2);
  input::Flush();
  EXPECT_EQ(grid.Cell(1, 2), "-5.44704779401922E-001");
  EXPECT_GT(grid.ColWidth(2), TextWidthIn(grid, value));
  form.MatrixNumSpin().SetValue(1);
  input::Flush();
  form.SetClientSize(900, 300);
  input::Flush();
  ASSERT_TRUE(SaveSnapshot(form, std::string(MORVA_ARTEFACTS) + "/dataeditor/mvedit-simint.png"));
}

TEST_F(EditorWindow, UtfEightAndWindows1252TextShowsRightAndIsSavedAsItWasRead) {
  // Labels in UTF-8 and in Windows-1252, a comment in Windows-1252, written as the editor writes.
  const std::string bytes =
      "\"Gew\xE4sser in M\xFCnchen\r\n1 3L 2L 0 \r\n Z\xC3\xBCrich M\xFCnchen Bern\r\n L\xC3\xA4nge Breite\r\n"
      " 1 2\r\n 3 4\r\n 5 6\r\n";
  const std::string path = folder.File("seen.qmx");
  WriteBytes(path, bytes);
  TMveditF& form = OpenWindow({path});
  StringGrid& grid = form.DataGrid();
  EXPECT_EQ(grid.CellHint(0, 1), "Z\xC3\xBCrich");
  EXPECT_EQ(grid.CellHint(0, 2), "M\xC3\xBCnchen") << "shown as Windows-1252";
  EXPECT_EQ(grid.CellHint(1, 0), "L\xC3\xA4nge");
  // Visiting cells and saving changes no byte.
  TypeIntoCell(form, 2, 3, "6");
  ClickMenu(form, "&Save file");
  EXPECT_EQ(ReadBytes(path), bytes);

  // A comment added in the window keeps the one read; a typed label is saved in UTF-8.
  form.CommentsButton().Click();
  input::Flush();
  form.CommentsWindow().MemoControl().SetLines({"Gew\xC3\xA4sser in M\xC3\xBCnchen", "K\xC3\xB6ln"});
  form.CommentsWindow().Close();
  input::Flush();
  ClickMenu(form, "Edit row labels");
  TypeIntoCell(form, 0, 3, "K\xC3\xB6ln");
  ClickMenu(form, "&Save file");
  EXPECT_EQ(ReadBytes(path),
            "\"Gew\xE4sser in M\xFCnchen\r\n\"K\xC3\xB6ln\r\n1 3L 2L 0 \r\n Z\xC3\xBCrich M\xFCnchen K\xC3\xB6ln\r\n"
            " L\xC3\xA4nge Breite\r\n 1 2\r\n 3 4\r\n 5 6\r\n");
}

TEST_F(EditorWindow, TheCellEditorsCaretStepsOverWholeUtf8Characters) {
  // One row label a case; the cell's editor works on the text as shown.
  std::string bytes = "1 " + std::to_string(std::size(utf8_keys::kCases)) + "L 1L 0\r\n";
  for (const utf8_keys::Case& c : utf8_keys::kCases) bytes += " " + c.text;
  bytes += "\r\n x\r\n";
  for (std::size_t k = 1; k <= std::size(utf8_keys::kCases); ++k) bytes += " " + std::to_string(k) + "\r\n";
  const std::string path = folder.File("keys.qmx");
  WriteBytes(path, bytes);
  TMveditF& form = OpenWindow({path});
  ClickMenu(form, "Edit row labels");
  StringGrid& grid = form.DataGrid();
  int row = 0;
  for (const utf8_keys::Case& c : utf8_keys::kCases) {
    SCOPED_TRACE(c.name);
    grid.SetFocus();
    grid.SetCurrent(0, ++row);
    input::Flush();
    grid.SetEditorMode(true);
    input::Flush();
    utf8_keys::Press(grid, c.keys);
    input::TypeText(grid, c.typed);
    input::PressKey(grid, vk::Return);
    input::Flush();
    EXPECT_EQ(grid.CellHint(0, row), DisplayUtf8(c.result));
  }
}

// A letter Windows-1252 lacks, typed on a key of another layout, reaches a
// row label whole; chords with Alt or Ctrl type nothing into it. The picture
// of the label goes with the test's artefacts.
TEST_F(EditorWindow, ALetterOfAnyScriptReachesALabelWholeAndChordsTypeNothing) {
  TMveditF& form = OpenWindow({});
  ClickMenu(form, "Edit row labels");
  StringGrid& grid = OpenCellEditor(form, 0, 1);
  input::PressKey(grid, vk::End);
  input::PressLayoutKey(grid, 0, "\xC5\x82");
  const ShiftState chords[] = {ssAlt, ssAlt | ssShift, ssCtrl | ssAlt, ssCtrl};
  for (ShiftState shift : chords) input::PressKeyOnKeyboard(grid, '3', shift);
  input::PressLayoutKey(grid, 0, "\xCE\xB1");
  input::PressKey(grid, vk::Return);
  input::Flush();
  EXPECT_EQ(grid.CellHint(0, 1), "R1\xC5\x82\xCE\xB1");
  EXPECT_TRUE(SaveSnapshot(form, std::string(MORVA_ARTEFACTS) + "/dataeditor/mvedit-label-letters.png"));
}

TEST_F(EditorWindow, SizeFieldsAndTheDefaultWindowFitTheirTexts) {
  TMveditF& form = OpenWindow({});
  for (Edit* edit : {&form.RowsEdit(), &form.ColsEdit(), &form.MissingEdit()})
    EXPECT_GT(edit->Width(), TextWidthIn(*edit, "3000000"));
  // Every control of the top panel lies inside the window, none over another.
  int right = 0;
  for (Control* control : std::initializer_list<Control*>{&form.TypeCB(), &form.RowsEdit(), &form.ColsEdit(),
                                                          &form.MissingEdit(), &form.MatrixNumSpin()}) {
    EXPECT_GE(control->Left(), right);
    right = control->Left() + control->Width();
  }
  EXPECT_LE(right, form.ClientWidth());
  EXPECT_GT(form.TypeCB().Width(), TextWidthIn(form.TypeCB(), "Symmetric (dissimilarity)"));
}

TEST_F(EditorWindow, MillionsOfRowsCostNoObjectPerCell) {
  TMveditF& form = OpenWindow({});
  TypeIntoEdit(form, form.RowsEdit(), "3000000");
  EXPECT_EQ(form.DataGrid().RowCount(), 3000001);
  EXPECT_EQ(form.DataGrid().Cell(0, 3000000), "R3000000");
  TypeIntoCell(form, 2, 2999999, "7.5");
  EXPECT_EQ(form.Model().Grid.Cell(2, 2999999), "7.5");
  boxes.Answer(mrOk);
  TypeIntoEdit(form, form.RowsEdit(), "5");
  EXPECT_EQ(form.DataGrid().RowCount(), 6);
}

// Keys pressed on the window as the window system delivers them: through the
// toolkit's shortcut handling to the focused part of the grid (the cell's
// in-place editor while it is open).
void PressOnWindow(TMveditF& form, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::keyClick(form.Peer().widget->windowHandle(), key, modifiers);
  input::Flush();
}

void TypeOnWindow(TMveditF& form, const std::string& text) {
  for (char c : text) QTest::keyClick(form.Peer().widget->windowHandle(), c);
  input::Flush();
}

struct GridPoint {
  int col, row;
  friend bool operator==(const GridPoint&, const GridPoint&) = default;
};

std::ostream& operator<<(std::ostream& os, const GridPoint& p) { return os << "(" << p.col << ", " << p.row << ")"; }

GridPoint Current(TMveditF& form) { return {form.DataGrid().Col(), form.DataGrid().Row()}; }

// Opens the matrix of the fixture file and the editor of one of its cells.
void EditCell(TMveditF& form, int matrix, GridPoint cell) {
  form.MatrixNumSpin().SetValue(matrix);
  input::Flush();
  StringGrid& grid = form.DataGrid();
  grid.SetFocus();
  grid.SetCurrent(cell.col, cell.row);
  grid.SetEditorMode(true);
  input::Flush();
  ASSERT_TRUE(grid.EditorMode());
}

TEST_F(EditorWindow, KeysStoreTheCellAndMoveAsInASpreadsheet) {
  struct Case {
    const char* name;
    int matrix;  // 1: rectangular, 3 rows and 2 columns; 2: symmetric of order 3
    GridPoint from;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    GridPoint to;
  };
  const Case cases[] = {
      {"Down", 1, {1, 1}, Qt::Key_Down, Qt::NoModifier, {1, 2}},
      {"Up", 1, {2, 3}, Qt::Key_Up, Qt::NoModifier, {2, 2}},
      {"EnterGoesBelow", 1, {2, 1}, Qt::Key_Return, Qt::NoModifier, {2, 2}},
      {"KeypadEnterLikewise", 1, {1, 2}, Qt::Key_Enter, Qt::KeypadModifier, {1, 3}},
      {"EnterOnTheLastRowStays", 1, {1, 3}, Qt::Key_Return, Qt::NoModifier, {1, 3}},
      {"TabGoesAlongTheRow", 1, {1, 1}, Qt::Key_Tab, Qt::NoModifier, {2, 1}},
      {"TabAtTheRowsEndGoesToTheNextRow", 1, {2, 1}, Qt::Key_Tab, Qt::NoModifier, {1, 2}},
      {"ShiftTabGoesBackToThePreviousRow", 1, {1, 2}, Qt::Key_Backtab, Qt::ShiftModifier, {2, 1}},
      {"TabPassesOverTheUpperTriangle", 2, {2, 2}, Qt::Key_Tab, Qt::NoModifier, {1, 3}},
      {"UpIntoTheUpperTriangleStays", 2, {2, 2}, Qt::Key_Up, Qt::NoModifier, {2, 2}},
  };
  const std::string path = folder.CopyFixture("all-types.qmx");
  TMveditF& form = OpenWindow({path});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EditCell(form, c.matrix, c.from);
    TypeOnWindow(form, "7.25");
    PressOnWindow(form, c.key, c.modifiers);
    EXPECT_EQ(form.Model().Grid.Cell(c.from.col, c.from.row), "7.25");
    EXPECT_EQ(Current(form), c.to);
    EXPECT_TRUE(form.DataGrid().EditorMode()) << "the cell reached is open for typing";
  }
  EXPECT_TRUE(boxes.Boxes().empty()) << boxes.LastText();
}

// Message boxes as the platform shows them, taking the focus from the window
// while they are up; each is answered with OK once it has the focus.
class FocusTakingBoxes : public MessageBoxes {
 public:
  ModalResult Show(const std::string& text, MsgKind, MsgButtons) override {
    QMessageBox box(QMessageBox::Critical, "Mvedit", QString::fromStdString(text), QMessageBox::Ok);
    texts.push_back(text);
    // Answered once the box has the focus, or when it has waited for it in vain.
    QTimer poll;
    const auto giveUp = std::chrono::steady_clock::now() + testsupport::kGenerousWait;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      const bool focused = box.isActiveWindow() && box.isAncestorOf(QApplication::focusWidget());
      if (!focused && std::chrono::steady_clock::now() < giveUp) return;
      hadFocus.push_back(focused);
      box.accept();
    });
    poll.start(5);
    box.exec();
    return mrOk;
  }
  std::vector<std::string> texts;
  std::vector<bool> hadFocus;
};

TEST_F(EditorWindow, ACellThatHoldsNoNumberIsReportedAsTheUserLeavesIt) {
  struct Way {
    const char* name;
    std::function<void(TMveditF&)> leave;
  };
  const Way ways[] = {
      {"Down", [](TMveditF& form) { PressOnWindow(form, Qt::Key_Down); }},
      {"Tab", [](TMveditF& form) { PressOnWindow(form, Qt::Key_Tab); }},
      {"ClickOnAnotherCell",
       [](TMveditF& form) {
         const Rect other = form.DataGrid().CellRect(2, 3);
         input::Click(form.DataGrid(), (other.left + other.right) / 2, (other.top + other.bottom) / 2);
         input::Flush();
       }},
  };
  FocusTakingBoxes shown;
  ScopedService<MessageBoxes> showing(shown);
  const std::string path = folder.CopyFixture("all-types.qmx");
  TMveditF& form = OpenWindow({path});
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    shown.texts.clear();
    shown.hadFocus.clear();
    EditCell(form, 1, {2, 2});
    PressOnWindow(form, Qt::Key_A, Qt::ControlModifier);
    TypeOnWindow(form, "12.510.927.0");
    way.leave(form);
    EXPECT_EQ(shown.texts, std::vector<std::string>{"Invalid numeric value in cell (row 2, col 2)"});
    EXPECT_EQ(shown.hadFocus, std::vector<bool>{true});
    EXPECT_EQ(Current(form), (GridPoint{2, 2})) << "the user stays on the cell to mend it";
    EXPECT_EQ(form.Model().Grid.Cell(2, 2), "12.510.927.0") << "nothing typed is lost";

    // The cell's editor has the keys again: the value is mended there, and the user moves on.
    PressOnWindow(form, Qt::Key_A, Qt::ControlModifier);
    TypeOnWindow(form, "12.5");
    way.leave(form);
    EXPECT_EQ(form.Model().Grid.Cell(2, 2), "12.5");
    EXPECT_NE(Current(form), (GridPoint{2, 2}));
    EXPECT_EQ(shown.texts.size(), 1u) << shown.texts.back();
  }

  // Labels are text: a row label is left without a word.
  ClickMenu(form, "Edit row labels");
  EditCell(form, 1, {0, 2});
  TypeOnWindow(form, "Second");
  PressOnWindow(form, Qt::Key_Down);
  EXPECT_EQ(form.Model().Grid.Cell(0, 2), "Second");
  EXPECT_EQ(Current(form), (GridPoint{0, 3}));
  EXPECT_EQ(shown.texts.size(), 1u);
}

// Starts the program on a file with the instruction to quit once it shows, and reads what it printed.
std::string RunProgram(const std::string& file, const std::string& configHome) {
  const std::string command = "QT_QPA_PLATFORM=offscreen MVEDIT_EXIT_AFTER_SHOW=1 XDG_CONFIG_HOME='" + configHome +
                              "' '" + MVEDIT_PROGRAM + "' '" + file + "' 2>/dev/null";
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buffer[512];
    while (fgets(buffer, sizeof buffer, p) != nullptr) out += buffer;
    if (pclose(p) != 0) out += "(failed)";
  }
  return out;
}

TEST_F(EditorWindow, ProgramStartsOnTheFileNamedOnItsCommandLine) {
  const std::string path = folder.CopyFixture("all-types.qmx");
  EXPECT_EQ(RunProgram(path, folder.File("config")), "Mvedit 1.07b : " + path + "\n");
  EXPECT_EQ(RunProgram(folder.File("absent.qmx"), folder.File("config")), "Mvedit 1.07b\n");
}

}  // namespace


